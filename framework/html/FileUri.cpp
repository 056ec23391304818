#include "html/FileUri.h"

#include <glibmm/convert.h>

namespace FileUri {

std::string FromPath(const std::string& path) {
  try {
    return Glib::filename_to_uri(path);
  } catch (const Glib::ConvertError&) {
    return "";
  }
}

std::string ToPath(const std::string& uri) {
  try {
    return Glib::filename_from_uri(uri);
  } catch (const Glib::ConvertError&) {
    return "";
  }
}

}  // namespace FileUri
