#include "html/PathLink.h"

#include <glib.h>
#include <glibmm/uriutils.h>

#include <cstring>

namespace {

constexpr const char kScheme[] = "local-path:";

}  // namespace

namespace PathLink {

std::string To(const std::string& path, std::size_t first) {
  std::string link = kScheme;
  link += Glib::uri_escape_string(path, "/", false);
  if (first > 0) {
    link += '#';
    link += std::to_string(first);
  }
  return link;
}

std::string PathOf(const char* uri, std::size_t* first) {
  if (uri == nullptr || std::strncmp(uri, kScheme, sizeof kScheme - 1) != 0) return "";
  const std::string link = uri + sizeof kScheme - 1;
  const std::size_t hash = link.find('#');
  if (first != nullptr)
    *first = hash == std::string::npos ? 0 : std::size_t(g_ascii_strtoull(link.c_str() + hash + 1, nullptr, 10));
  return Glib::uri_unescape_string(link.substr(0, hash));
}

}  // namespace PathLink
