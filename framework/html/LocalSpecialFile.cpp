#include "html/LocalSpecialFile.h"

#include <glib.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

std::string LocalSpecialFile::PathOf(const char* uri) {
  if (uri == nullptr || g_ascii_strncasecmp(uri, "file:", 5) != 0) return "";
  const std::string location(uri, std::strcspn(uri, "?#"));
  // Built into the page process's module too, which has no glibmm.
  const std::unique_ptr<gchar, decltype(&g_free)> path(g_filename_from_uri(location.c_str(), nullptr, nullptr), g_free);
  if (!path) return "";
  struct stat st {};
  const bool special = stat(path.get(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
  return special ? path.get() : "";
}
