#include "html/DesktopHandoff.h"

#include <gdk/gdk.h>
#include <gio/gio.h>

#include "core/Trace.h"
#include "html/GeneratedPages.h"

namespace {

// Schemes the engine loads and shows; "javascript" runs in the page.
constexpr const char* kEngineSchemes[] = {"http",  "https", "file",       "data",
                                          "about", "blob",  "javascript", GeneratedPages::kScheme};

struct Launch {
  DesktopHandoff::Done* done;  // valid while the cancellable is not cancelled
  GCancellable* cancellable;
  std::string uri;
};

void Launched(GObject*, GAsyncResult* result, gpointer data) {
  auto* launch = static_cast<Launch*>(data);
  GError* error = nullptr;
  const bool started = g_app_info_launch_default_for_uri_finish(result, &error);
  if (started)
    AfxTrace("Handed to the desktop: %s\n", launch->uri.c_str());
  else
    AfxTrace("The desktop cannot open %s: %s\n", launch->uri.c_str(), error->message);
  if (!g_cancellable_is_cancelled(launch->cancellable)) (*launch->done)(launch->uri, started ? "" : error->message);
  if (error != nullptr) g_error_free(error);
  g_object_unref(launch->cancellable);
  delete launch;
}

}  // namespace

DesktopHandoff::DesktopHandoff(Done done) : m_done(std::move(done)), m_cancellable(g_cancellable_new()) {}

DesktopHandoff::~DesktopHandoff() {
  // A launch still under way reports nothing.
  g_cancellable_cancel(m_cancellable);
  g_object_unref(m_cancellable);
}

bool DesktopHandoff::EngineShows(const std::string& uri) {
  gchar* scheme = g_uri_parse_scheme(uri.c_str());
  bool shown = false;
  for (const char* known : kEngineSchemes)
    if (scheme != nullptr && g_ascii_strcasecmp(scheme, known) == 0) shown = true;
  g_free(scheme);
  return shown;
}

void DesktopHandoff::Open(const std::string& uri) {
  GdkDisplay* display = gdk_display_get_default();
  GAppLaunchContext* context = display ? G_APP_LAUNCH_CONTEXT(gdk_display_get_app_launch_context(display)) : nullptr;
  g_app_info_launch_default_for_uri_async(uri.c_str(), context, m_cancellable, Launched,
                                          new Launch{&m_done, G_CANCELLABLE(g_object_ref(m_cancellable)), uri});
  if (context != nullptr) g_object_unref(context);
}
