#include "html/GeneratedPages.h"

#include <glibmm/bytes.h>
#include <glibmm/error.h>
#include <glibmm/markup.h>
#include <webkit2/webkit2.h>

#include <cstring>
#include <map>
#include <memory>

#include "core/GObjectPtr.h"

namespace {

std::map<std::string, std::string>& Pages() {
  static std::map<std::string, std::string> pages;  // address without fragment -> HTML
  return pages;
}

GeneratedPages::Maker& PageMaker() {
  static GeneratedPages::Maker maker;
  return maker;
}

// "generated:///the/folder/" for the folder file:///the/folder/; "generated:" for no folder.
std::string Address(const std::string& baseUri) {
  constexpr const char kFile[] = "file:";
  const bool file = baseUri.rfind(kFile, 0) == 0;
  return std::string(GeneratedPages::kScheme) + ":" + (file ? baseUri.substr(std::strlen(kFile)) : baseUri);
}

// The folder's address goes first in the head, so that every link resolves against it; before the
// doctype it would put the page into quirks mode.
std::string WithBase(const std::string& html, const std::string& baseUri) {
  if (baseUri.empty()) return html;
  std::size_t at = 0;
  if (g_ascii_strncasecmp(html.c_str(), "<!DOCTYPE", 9) == 0)
    if (const std::size_t end = html.find('>'); end != std::string::npos) at = end + 1;
  std::string result = html;
  result.insert(at, "<base href=\"" + Glib::Markup::escape_text(baseUri) + "\">");
  return result;
}

void Serve(WebKitURISchemeRequest* request, gpointer) {
  const char* uri = webkit_uri_scheme_request_get_uri(request);
  const std::string address(uri, std::strcspn(uri, "#"));
  const auto page = Pages().find(address);
  // A made page is made afresh each time it is shown.
  const std::string html = page != Pages().end() ? page->second : PageMaker() ? PageMaker()(address) : "";
  if (html.empty()) {
    Glib::Error error(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "There is no such page");
    webkit_uri_scheme_request_finish_error(request, error.gobj());
    return;
  }
  const Glib::RefPtr<Glib::Bytes> bytes = Glib::Bytes::create(html.data(), html.size());
  const GObjectPtr<GInputStream> stream(g_memory_input_stream_new_from_bytes(bytes->gobj()));
  const GObjectPtr<WebKitURISchemeResponse> response(webkit_uri_scheme_response_new(stream.get(), gint64(html.size())));
  webkit_uri_scheme_response_set_content_type(response.get(), "text/html; charset=utf-8");
  webkit_uri_scheme_request_finish_with_response(request, response.get());
}

}  // namespace

void GeneratedPages::Register(WebKitWebContext* context) {
  if (g_object_get_data(G_OBJECT(context), kScheme) != nullptr) return;
  g_object_set_data(G_OBJECT(context), kScheme, GINT_TO_POINTER(1));
  webkit_web_context_register_uri_scheme(context, kScheme, Serve, nullptr, nullptr);
  // A local scheme: its pages may link to the folder's files, and pages from the web cannot reach it.
  webkit_security_manager_register_uri_scheme_as_local(webkit_web_context_get_security_manager(context), kScheme);
}

void GeneratedPages::Provide(Maker maker) { PageMaker() = std::move(maker); }

std::string GeneratedPages::Add(const std::string& html, const std::string& baseUri, const std::string& query) {
  std::string address = Address(baseUri);
  if (!query.empty()) address += "?" + query;
  Pages()[address] = WithBase(html, baseUri);
  return address;
}
