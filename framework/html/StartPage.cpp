#include "html/StartPage.h"

#include <dirent.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kStartPageName = "index.html";

std::string Escaped(const std::string& fileName) {
  gchar* display = g_filename_display_name(fileName.c_str());
  gchar* escaped = g_markup_escape_text(display, -1);
  std::string result = escaped;
  g_free(escaped);
  g_free(display);
  return result;
}

std::string UriEscaped(const std::string& fileName) {
  gchar* escaped = g_uri_escape_string(fileName.c_str(), nullptr, false);
  std::string result = escaped;
  g_free(escaped);
  return result;
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool IsHtmlName(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot != nullptr && (g_ascii_strcasecmp(dot, ".html") == 0 || g_ascii_strcasecmp(dot, ".htm") == 0);
}

std::string Page(const std::string& message, const std::vector<std::string>& links) {
  std::string html =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>FOLIOSCOPE</title>"
      "<style>body{font-family:sans-serif;margin:2em;max-width:50em}li{margin:.2em 0}</style></head><body>"
      "<h1>FOLIOSCOPE</h1><p>" +
      message + "</p>";
  if (!links.empty()) {
    html += "<p>Pages in this folder:</p><ul>";
    for (const std::string& name : links)
      html += "<li><a href=\"" + UriEscaped(name) + "\">" + Escaped(name) + "</a></li>";
    html += "</ul>";
  }
  return html + "</body></html>";
}

StartPage Generated(const std::string& dir, const std::string& message) {
  std::vector<std::string> links;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d))
      if (IsHtmlName(entry->d_name)) links.emplace_back(entry->d_name);
    closedir(d);
  }
  std::sort(links.begin(), links.end());
  return {"", Page(message, links), dir};
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

}  // namespace

StartPage StartPage::FindInCurrentDirectory() {
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) {
    std::string reason = std::strerror(errno);
    return {"", Page("The current folder cannot be read: " + Escaped(reason) + ".", {}), ""};
  }
  std::string dir = cwd;
  free(cwd);
  return Find(dir);
}

StartPage StartPage::Find(const std::string& dir) {
  std::string name = kStartPageName;
  struct stat st {};
  if (lstat(Join(dir, name).c_str(), &st) != 0) name = FindCaseVariant(dir);
  const std::string where = " in the folder " + Escaped(dir);
  if (name.empty()) return Generated(dir, "There is no index.html" + where + ".");

  const std::string path = Join(dir, name);
  const std::string what = Escaped(name) + where;
  if (stat(path.c_str(), &st) != 0) {
    std::string reason = errno == ENOENT ? "it is a symbolic link to nothing" : std::strerror(errno);
    return Generated(dir, what + " cannot be opened: " + Escaped(reason) + ".");
  }
  if (S_ISDIR(st.st_mode)) return Generated(dir, what + " is a folder, not a page.");
  if (!S_ISREG(st.st_mode)) return Generated(dir, what + " is not a regular file.");
  if (access(path.c_str(), R_OK) != 0) {
    std::string reason = std::strerror(errno);
    return Generated(dir, what + " cannot be read: " + Escaped(reason) + ".");
  }
  return {path, "", dir};
}
