// Links to paths the engine cannot address (not valid UTF-8), in a form of their own that the
// navigation policy carries out; a generated folder page also links the parts of a long listing
// this way (first: the entry a part starts with).
#pragma once

#include <cstddef>
#include <string>

namespace PathLink {

std::string To(const std::string& path, std::size_t first = 0);
// The path a link names (and the listing's first entry), or "" for other URIs.
std::string PathOf(const char* uri, std::size_t* first = nullptr);

}  // namespace PathLink
