#include "html/PageWatchdog.h"

#include <gdk/gdk.h>
#include <webkit2/webkit2.h>

#include <cstdlib>

#include "core/Trace.h"

namespace {

// Whether this process serves assistive technology: its accessibility bridge is not switched off
// and an accessibility bus is there to reach it (named in the environment, or announced on the
// display's root window by the bus's launcher). Asked through no D-Bus call, so it cannot block.
bool OnAccessibilityBus() {
  const char* off = std::getenv("NO_AT_BRIDGE");
  if (off != nullptr && std::atoi(off) == 1) return false;
  if (std::getenv("AT_SPI_BUS_ADDRESS") != nullptr) return true;
  GdkWindow* root = gdk_get_default_root_window();
  guchar* address = nullptr;
  const bool announced =
      root != nullptr && gdk_property_get(root, gdk_atom_intern_static_string("AT_SPI_BUS"), GDK_NONE, 0, 1024, FALSE,
                                          nullptr, nullptr, nullptr, &address);
  g_free(address);
  return announced;
}

}  // namespace

PageWatchdog::PageWatchdog(WebKitWebView* webView, std::function<void()> stopped)
    : m_webView(webView), m_stopped(std::move(stopped)) {
  // Connected before the navigation policy, whose handler may end the signal's emission.
  g_signal_connect(webView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(webView, "web-process-terminated", G_CALLBACK(OnProcessEnded), this);
}

gboolean PageWatchdog::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType,
                                      PageWatchdog* self) {
  self->Answered();
  return FALSE;  // the decision is the navigation policy's
}

void PageWatchdog::OnProcessEnded(WebKitWebView*, WebKitWebProcessTerminationReason, PageWatchdog* self) {
  self->Answered();
  self->m_processGone = true;
}

PageWatchdog::~PageWatchdog() {
  g_signal_handlers_disconnect_by_data(m_webView, this);
  if (m_timer != 0) g_source_remove(m_timer);
}

void PageWatchdog::Request(std::function<void()> request) {
  Disarm();
  // Before the first page, and after the page process ended, there is no page process that could hang.
  if (webkit_web_view_get_uri(m_webView) != nullptr && !m_processGone)
    m_timer = g_timeout_add(AnswerMs(), OnTimeout, this);
  m_request = std::move(request);
  const std::function<void()> running = m_request;  // kept whole should it make a request of its own
  running();
}

guint PageWatchdog::AnswerMs() { return OnAccessibilityBus() ? kAssistedAnswerMs : kAnswerMs; }

void PageWatchdog::Answered() {
  Disarm();
  m_processGone = false;
}

void PageWatchdog::Disarm() {
  if (m_timer != 0) g_source_remove(m_timer);
  m_timer = 0;
}

gboolean PageWatchdog::OnTimeout(gpointer data) {
  auto* self = static_cast<PageWatchdog*>(data);
  self->m_timer = 0;
  AfxTrace("The page process did not answer within %u ms: ending it\n", AnswerMs());
  webkit_web_view_terminate_web_process(self->m_webView);
  self->m_stopped();
  const std::function<void()> request = std::move(self->m_request);
  request();  // on a new page process, once: not watched again
  return G_SOURCE_REMOVE;
}
