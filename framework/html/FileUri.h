// Between local paths and file: URIs. Only GLib's conversion survives spaces, "#", "%" and bytes
// that are not UTF-8 in a path.
#pragma once

#include <string>

namespace FileUri {

// The file: URI of an absolute path; "" when the path has none.
std::string FromPath(const std::string& path);
// The path a file: URI names (without a fragment or query: the caller cuts them off); "" for any
// other URI.
std::string ToPath(const std::string& uri);

}  // namespace FileUri
