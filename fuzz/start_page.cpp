// The generated folder page: a folder whose entries have hostile names (markup, quotes, newlines,
// invalid UTF-8) gives a page of valid UTF-8 in which no name adds markup.
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/StartPage.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string NewFolder() {
  gchar* dir = g_dir_make_tmp("fuzz-start-page-XXXXXX", nullptr);
  std::string path = dir;
  g_free(dir);
  return path;
}

void Empty(const std::string& dir) {
  GDir* d = g_dir_open(dir.c_str(), 0, nullptr);
  if (d == nullptr) return;
  while (const char* name = g_dir_read_name(d)) {
    std::string path = dir + "/" + name;
    if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) && !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
      Empty(path);
      g_rmdir(path.c_str());
    } else {
      g_unlink(path.c_str());
    }
  }
  g_dir_close(d);
}

struct Entry {
  int kind;  // 0 a page, 1 a folder, 2 a symbolic link to nothing
  std::string name;
};

// The same name with nothing hostile in it: a plain stem, the ending kept where it makes a page.
std::string Plain(const std::string& name, std::size_t i) {
  std::string plain = "n" + std::to_string(i);
  auto dot = name.rfind('.');
  if (dot != std::string::npos) {
    std::string ending = name.substr(dot);
    if (g_ascii_strcasecmp(ending.c_str(), ".html") == 0 || g_ascii_strcasecmp(ending.c_str(), ".htm") == 0)
      plain += ending;
  }
  return plain;
}

void Make(const std::string& dir, const std::vector<Entry>& entries, bool plain) {
  Empty(dir);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string name = plain ? Plain(entries[i].name, i) : entries[i].name;
    const std::string path = dir + "/" + name;
    if (entries[i].kind == 0)
      g_file_set_contents(path.c_str(), "", 0, nullptr);
    else if (entries[i].kind == 1)
      g_mkdir(path.c_str(), 0700);
    else
      Check(symlink(("gone-" + name).c_str(), path.c_str()) == 0);
  }
}

}  // namespace

// Input: entries separated by '/'; the first byte of each says what it is (a page, a folder, a
// link to nothing), the rest is its name. The page for those names must have exactly the markup
// of the page for the same entries under plain names.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string hostile = NewFolder(), plain = NewFolder();
  std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<Entry> entries;
  for (std::size_t pos = 0; pos < input.size() && entries.size() < 32;) {
    std::size_t end = input.find('/', pos);
    if (end == std::string::npos) end = input.size();
    std::string part = input.substr(pos, end - pos);
    pos = end + 1;
    if (part.size() < 2 || part.find('\0') != std::string::npos) continue;
    Entry entry{part[0] % 3, part.substr(1, 200)};
    // Names the folder holds once, that are shown (hidden ones are left out of the page), and that
    // do not name the start page.
    if (entry.name[0] == '.' || g_ascii_strncasecmp(entry.name.c_str(), "index.htm", 9) == 0) continue;
    bool taken = false;
    for (const Entry& e : entries) taken = taken || e.name == entry.name;
    if (!taken) entries.push_back(entry);
  }
  Make(hostile, entries, false);
  Make(plain, entries, true);
  const FolderPage page = StartPage().Find(hostile, 0);
  const FolderPage reference = StartPage().Find(plain, 0);
  Check(page.path.empty() && reference.path.empty());
  Check(g_utf8_validate(page.html.data(), gssize(page.html.size()), nullptr));
  auto tags = [](const std::string& html) { return std::count(html.begin(), html.end(), '<'); };
  Check(tags(page.html) == tags(reference.html));
  return 0;
}
