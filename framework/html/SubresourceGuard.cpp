// A module the engine loads into every page process: it refuses any load of a local file that is not
// a regular file or a folder (a FIFO or a device as an image, a style sheet, a script or a frame),
// which would otherwise block a loader or stream into the page process without end. The UI process
// decides over navigations but sees no subresource loads; this is the engine's place for them.
// Built without sanitizers: the page process is not instrumented.
#include <webkit2/webkit-web-extension.h>

#include "html/LocalSpecialFile.h"

namespace {

gboolean OnSendRequest(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse*, gpointer) {
  const std::string path = LocalSpecialFile::PathOf(webkit_uri_request_get_uri(request));
  if (path.empty()) return FALSE;
  g_debug("Refused to load %s: not a regular file", path.c_str());
  return TRUE;  // cancels the load
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "send-request", G_CALLBACK(OnSendRequest), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize(WebKitWebExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
