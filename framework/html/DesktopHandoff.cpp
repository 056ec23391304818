#include "html/DesktopHandoff.h"

#include <gdkmm/applaunchcontext.h>
#include <gdkmm/display.h>
#include <giomm/appinfo.h>
#include <glibmm/uriutils.h>

#include "core/Trace.h"
#include "html/GeneratedPages.h"

namespace {

// Schemes the engine loads and shows; "javascript" runs in the page.
constexpr const char* kEngineSchemes[] = {"http",  "https", "file",       "data",
                                          "about", "blob",  "javascript", GeneratedPages::kScheme};

}  // namespace

DesktopHandoff::DesktopHandoff(Done done) : m_done(std::move(done)), m_cancellable(Gio::Cancellable::create()) {}

DesktopHandoff::~DesktopHandoff() {
  // A launch still under way reports nothing.
  m_cancellable->cancel();
}

bool DesktopHandoff::EngineShows(const std::string& uri) {
  const std::string scheme = Glib::uri_parse_scheme(uri);
  for (const char* known : kEngineSchemes)
    if (!scheme.empty() && g_ascii_strcasecmp(scheme.c_str(), known) == 0) return true;
  return false;
}

void DesktopHandoff::Open(const std::string& uri) {
  Glib::RefPtr<Gio::AppLaunchContext> context;
  if (const Glib::RefPtr<Gdk::Display> display = Gdk::Display::get_default())
    context = display->get_app_launch_context();
  // The slot holds the cancellable, not this object: once cancelled, done is gone or no longer wanted.
  Gio::AppInfo::launch_default_for_uri_async(
      uri, context,
      [done = &m_done, cancellable = m_cancellable, uri](Glib::RefPtr<Gio::AsyncResult>& result) {
        std::string error;
        try {
          Gio::AppInfo::launch_default_for_uri_finish(result);
          AfxTrace("Handed to the desktop: %s\n", uri.c_str());
        } catch (const Glib::Error& e) {
          error = e.what();
          AfxTrace("The desktop cannot open %s: %s\n", uri.c_str(), error.c_str());
        }
        if (!cancellable->is_cancelled()) (*done)(uri, error);
      },
      m_cancellable);
}
