#include "content/StartPage.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <glibmm/convert.h>
#include <glibmm/markup.h>
#include <glibmm/miscutils.h>
#include <glibmm/uriutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "html/PathLink.h"

namespace {

constexpr const char* kStartPageName = "index.html";

// A name or path as a person reads it (bytes that are not UTF-8 shown as replacement characters).
std::string Display(const std::string& name) { return Glib::filename_display_name(name); }

std::string Html(const std::string& text) { return Glib::Markup::escape_text(text); }

std::string UriEscaped(const std::string& name) { return Glib::uri_escape_string(name, "", false); }

bool IsUtf8(const std::string& text) { return g_utf8_validate(text.c_str(), gssize(text.size()), nullptr); }

std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool IsHtmlName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos &&
         (g_ascii_strcasecmp(name.c_str() + dot, ".html") == 0 || g_ascii_strcasecmp(name.c_str() + dot, ".htm") == 0);
}

// The order a file manager shows: letter case aside, runs of digits by their value.
std::string SortKey(const std::string& name) {
  const std::string folded = Glib::ustring(Display(name)).casefold();
  const std::unique_ptr<gchar, decltype(&g_free)> key(g_utf8_collate_key_for_filename(folded.c_str(), -1), g_free);
  return key.get();
}

void SortByName(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(SortKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names.push_back(std::move(name));
}

// The entries of dir, with "." and ".." left out; a symbolic link counts as what it points to.
std::vector<StartPage::Entry> ReadEntries(const std::string& dir, std::string& error) {
  std::vector<StartPage::Entry> entries;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) {
    error = std::strerror(errno);
    return entries;
  }
  while (dirent* entry = readdir(d)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    bool folder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      folder = fstatat(dirfd(d), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back({entry->d_name, folder});
  }
  closedir(d);
  return entries;
}

FolderPage Generated(const std::string& dir, std::string reason, bool list = true, std::size_t first = 0) {
  std::vector<StartPage::Entry> entries;
  if (list) {
    std::string error;
    entries = ReadEntries(dir, error);
    if (!error.empty()) reason += " Its entries cannot be listed: " + error + ".";
  }
  return {"", StartPage::Listing(dir, reason, std::move(entries), first), dir};
}

// The entry whose name equals "index.html" without regard to letter case (the first by byte order
// when there are several), or "".
std::string FindCaseVariant(const std::string& dir) {
  std::string best;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d))
      if (g_ascii_strcasecmp(entry->d_name, kStartPageName) == 0 && (best.empty() || best > entry->d_name))
        best = entry->d_name;
    closedir(d);
  }
  return best;
}

// A folder named on the command line that could not become the current directory, and why.
std::optional<std::pair<std::string, std::string>> g_unentered;

}  // namespace

std::string StartPage::Listing(const std::string& dir, const std::string& reason, std::vector<Entry> entries,
                               std::size_t first) {
  // In a folder whose path is not UTF-8 the engine can resolve no relative link: every link then
  // names its path in full.
  const bool relative = IsUtf8(dir);
  auto href = [&](const std::string& name, bool folder) {
    const std::string path = Join(dir, name);
    if (!relative || !IsUtf8(name)) return Html(PathLink::To(path));
    return UriEscaped(name) + (folder ? "/" : "");
  };

  std::vector<std::string> folders, pages;
  for (Entry& entry : entries) {
    if (entry.name.empty() || entry.name[0] == '.' || entry.name.find('/') != std::string::npos) continue;
    if (entry.folder)
      folders.push_back(std::move(entry.name));
    else if (IsHtmlName(entry.name))
      pages.push_back(std::move(entry.name));
  }
  SortByName(folders);
  SortByName(pages);
  const std::size_t total = folders.size() + pages.size();
  if (first >= total) first = 0;
  const std::size_t end = std::min(total, first + kPerPage);

  std::string title = dir.empty() ? "The current folder" : Glib::path_get_basename(dir);
  std::string html;
  html.reserve(1024 + (end - first) * 100);
  html += "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + Html(Display(title)) +
          "</title><style>:root{color-scheme:light dark}body{font-family:sans-serif;margin:2em;max-width:50em}"
          "h1{word-break:break-all}"
          "li{margin:.2em 0}</style></head><body><h1>" +
          Html(dir.empty() ? title : Display(dir)) + "</h1><p>" + Html(reason) + "</p>";
  if (!dir.empty() && dir != "/") {
    const std::string parent = Glib::path_get_dirname(dir);
    // Named in full: a page process that has been shown only this page may open files below the
    // folder, not beside it.
    html += "<p><a href=\"" + Html(PathLink::To(parent)) + "\">Parent folder</a></p>";
  }
  // A long listing in parts: the engine lays out a hundred thousand links only slowly.
  std::string parts;
  if (total > kPerPage) {
    parts =
        "<p>Entries " + std::to_string(first + 1) + " to " + std::to_string(end) + " of " + std::to_string(total) + ".";
    if (first > 0)
      parts += " <a href=\"" + Html(PathLink::To(dir, first > kPerPage ? first - kPerPage : 0)) + "\">Previous " +
               std::to_string(std::min(first, kPerPage)) + "</a>";
    if (end < total)
      parts += " <a href=\"" + Html(PathLink::To(dir, end)) + "\">Next " +
               std::to_string(std::min(total - end, kPerPage)) + "</a>";
    parts += "</p>";
  }
  html += parts;
  auto list = [&](const char* heading, const std::vector<std::string>& names, std::size_t from, std::size_t to,
                  bool folder) {
    if (from >= to) return;
    html += std::string("<h2>") + heading + "</h2><ul>";
    for (std::size_t i = from; i < to; ++i)
      html += "<li><a href=\"" + href(names[i], folder) + "\">" + Html(Display(names[i])) + (folder ? "/" : "") +
              "</a></li>";
    html += "</ul>";
  };
  const std::size_t nFolders = folders.size();
  list("Folders", folders, std::min(first, nFolders), std::min(end, nFolders), true);
  list("Pages in this folder", pages, first > nFolders ? first - nFolders : 0, end > nFolders ? end - nFolders : 0,
       false);
  if (total == 0) html += "<p>This folder holds no pages and no folders.</p>";
  if (total > kPerPage) html += parts;
  return html + "</body></html>";
}

bool StartPage::Enter(const std::string& dir) const {
  g_unentered.reset();
  if (chdir(dir.c_str()) == 0) return true;
  g_unentered.emplace(dir, std::strerror(errno));
  return false;
}

FolderPage StartPage::FindInCurrentDirectory() {
  if (g_unentered) {
    auto [dir, reason] = std::move(*g_unentered);
    g_unentered.reset();
    return Generated(dir, "This folder cannot be opened: " + reason + ".", false);
  }
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr)
    return Generated("", "The current folder cannot be read: " + std::string(std::strerror(errno)) + ".", false);
  std::string dir = cwd;
  free(cwd);
  return StartPage().Find(dir, 0);
}

FolderPage StartPage::Find(const std::string& given, std::size_t first) const {
  std::string dir = given;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0)
    return Generated(dir, "This folder cannot be opened: " + std::string(std::strerror(errno)) + ".", false);
  if (!S_ISDIR(st.st_mode)) return Generated(dir, "This is not a folder.", false);
  if (access(dir.c_str(), X_OK) != 0)
    return Generated(dir, "This folder cannot be opened: " + std::string(std::strerror(errno)) + ".", false);

  std::string name = kStartPageName;
  if (lstat(Join(dir, name).c_str(), &st) != 0) name = FindCaseVariant(dir);
  if (name.empty()) return Generated(dir, "There is no index.html in this folder.", true, first);

  const std::string path = Join(dir, name);
  const std::string what = Display(name);
  if (stat(path.c_str(), &st) != 0) {
    std::string reason = errno == ENOENT ? "it is a symbolic link to nothing" : std::strerror(errno);
    return Generated(dir, what + " cannot be opened: " + reason + ".", true, first);
  }
  if (S_ISDIR(st.st_mode)) return Generated(dir, what + " is a folder, not a page.", true, first);
  if (!S_ISREG(st.st_mode)) return Generated(dir, what + " is not a regular file.", true, first);
  if (access(path.c_str(), R_OK) != 0)
    return Generated(dir, what + " cannot be read: " + std::strerror(errno) + ".", true, first);
  return {path, "", dir};
}
