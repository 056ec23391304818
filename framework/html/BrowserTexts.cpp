#include "html/BrowserTexts.h"

#include <glib.h>
#include <glibmm/convert.h>
#include <glibmm/markup.h>
#include <glibmm/uriutils.h>

#include <cmath>

namespace {

// A status text longer than this is cut: the message pane shows one line, and a data: address can
// be megabytes long.
constexpr std::size_t kMaxAddress = 1000;

// Bytes that must not appear decoded: they would break the one-line message pane or hide text.
constexpr const char kControlCharacters[] =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a"
    "\x1b\x1c\x1d\x1e\x1f\x7f";

std::string Shortened(std::string text) {
  if (text.size() <= kMaxAddress) return text;
  const char* end = text.c_str() + kMaxAddress;
  const char* start = g_utf8_find_prev_char(text.c_str(), end + 1);  // stay on a character boundary
  text.resize(start != nullptr ? std::size_t(start - text.c_str()) : kMaxAddress);
  return text + "\u2026";
}

std::string Html(const std::string& text) { return Glib::Markup::escape_text(text).raw(); }

}  // namespace

std::string BrowserTexts::Address(const char* uri) {
  if (uri == nullptr) return "";
  // "" when an address holds an escaped control character, which stays escaped then.
  const std::string decoded = Glib::uri_unescape_string(uri, kControlCharacters);
  Glib::ustring result = !decoded.empty() && g_utf8_validate(decoded.c_str(), -1, nullptr) ? decoded : uri;
  // What is not decoded is printable ASCII or valid UTF-8 already, unless the engine gave bytes.
  if (!result.validate()) result = result.make_valid();
  return Shortened(result.raw());
}

std::string BrowserTexts::Path(const std::string& path) { return Glib::filename_display_name(path).raw(); }

std::string BrowserTexts::Opening() { return "Opening page..."; }

std::string BrowserTexts::Loading(const std::string& address) { return "Loading " + address + "..."; }

std::string BrowserTexts::Done() { return "Done"; }

std::string BrowserTexts::CannotOpen(const std::string& what, const std::string& reason) {
  return "Cannot open " + what + ": " + reason;
}

std::string BrowserTexts::HandedOn(const std::string& address) {
  return "Opening " + address + " in another application...";
}

std::string BrowserTexts::NotRegularFile() { return "it is not a regular file"; }

std::string BrowserTexts::NoSuchFile() { return "there is no such file"; }

std::string BrowserTexts::NoPermission() { return "permission denied"; }

std::string BrowserTexts::NotUtf8() { return "the browser engine cannot open a path that is not valid UTF-8"; }

std::string BrowserTexts::DataAddressBlocked() {
  return "the browser engine does not let a page open a data: address as a whole page";
}

std::string BrowserTexts::NoGuide() { return "The guide is not installed"; }

std::string BrowserTexts::EngineStopped(bool outOfMemory) {
  return outOfMemory ? "The page stopped: it needed more memory than the browser engine may use"
                     : "The page stopped: the browser engine ended unexpectedly";
}

std::string BrowserTexts::NotAnswering() { return "The page is not answering"; }

std::string BrowserTexts::EndedNotAnswering() { return "The previous page stopped answering and was ended"; }

std::string BrowserTexts::NotHandedOn(const std::string& address) {
  return "Not opening " + address + " in another application: the page asked for it without a click or a key";
}

std::string BrowserTexts::NotSaved(const std::string& address) {
  return "Not saving " + address + ": the page asked for it without a click or a key";
}

std::string BrowserTexts::NotSavedCancelled(const std::string& name) { return "Not saved: " + name; }

std::string BrowserTexts::CannotSave(const std::string& what, const std::string& reason) {
  return "Cannot save " + what + ": " + reason;
}

std::string BrowserTexts::Saved(const std::string& path) { return "Saved as " + path; }

std::string BrowserTexts::PrintIgnored() {
  return "The page asked to print without a click or a key in it, or while printing was under way: ignored";
}

std::string BrowserTexts::Zoom(double level) { return "Zoom " + std::to_string(int(std::lround(level * 100))) + "%"; }

std::string BrowserTexts::PrintFailed(const std::string& reason) { return "Printing failed: " + reason; }

std::string BrowserTexts::Matches(unsigned count) {
  if (count == 0) return "No matches";
  return count == 1 ? "1 match" : std::to_string(count) + " matches";
}

std::string BrowserTexts::ErrorPage(const std::string& path, const std::string& reason) {
  const std::string shown = Html(Path(path));
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Cannot open page</title>"
         "<style>:root{color-scheme:light dark}body{font-family:sans-serif;margin:2em;max-width:50em}"
         "code{word-break:break-all}</style>"
         "</head><body><h1>Cannot open page</h1><p>The file <code>" +
         shown + "</code> cannot be opened: " + Html(reason) +
         ".</p><p><a href=\"javascript:history.back()\">Back to the previous page</a></p></body></html>";
}

std::string BrowserTexts::TooLargePage(const std::string& address, unsigned limitMb) {
  return "<span size=\"x-large\" weight=\"bold\">Page too large</span>\n\nThe page " + Html(address) +
         " needed more than " + std::to_string(limitMb) +
         " MB of memory, the most the browser engine may use for one page, and was stopped.";
}
