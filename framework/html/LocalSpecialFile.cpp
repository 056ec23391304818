#include "html/LocalSpecialFile.h"

#include <glib.h>
#include <sys/stat.h>

#include <cstring>

std::string LocalSpecialFile::PathOf(const char* uri) {
  if (uri == nullptr || g_ascii_strncasecmp(uri, "file:", 5) != 0) return "";
  const std::string location(uri, std::strcspn(uri, "?#"));
  gchar* path = g_filename_from_uri(location.c_str(), nullptr, nullptr);
  if (path == nullptr) return "";
  struct stat st {};
  const bool special = stat(path, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
  std::string result = special ? path : "";
  g_free(path);
  return result;
}
