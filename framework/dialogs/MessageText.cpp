#include "dialogs/MessageText.h"

#include <glib.h>
#include <glibmm/ustring.h>

namespace {

constexpr const char* kEllipsis = "\u2026";

// The first and the last characters of text around an ellipsis, when it has more than max.
std::string Middle(const std::string& text, std::size_t max) {
  glong length = g_utf8_strlen(text.c_str(), glong(text.size()));
  if (std::size_t(length) <= max) return text;
  glong keep = glong(max / 2);
  const char* start = text.c_str();
  const char* headEnd = g_utf8_offset_to_pointer(start, keep);
  const char* tailStart = g_utf8_offset_to_pointer(start, length - keep);
  return std::string(start, headEnd) + kEllipsis + std::string(tailStart, text.c_str() + text.size());
}

}  // namespace

namespace MessageText {

std::string Shorten(const std::string& prompt) {
  const std::string text = Glib::ustring(prompt).make_valid().raw();
  std::string shown;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t space = text.find_first_of(" \t\n", pos);
    std::size_t wordEnd = space == std::string::npos ? text.size() : space;
    shown += Middle(text.substr(pos, wordEnd - pos), kMaxWord);
    if (space == std::string::npos) break;
    shown += text[space];
    pos = space + 1;
  }
  return Middle(shown, kMaxShown);
}

}  // namespace MessageText
