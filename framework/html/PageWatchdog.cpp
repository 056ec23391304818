#include "html/PageWatchdog.h"

#include <webkit2/webkit2.h>

#include "core/Trace.h"

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
    m_timer = g_timeout_add(kAnswerMs, OnTimeout, this);
  m_request = std::move(request);
  const std::function<void()> running = m_request;  // kept whole should it make a request of its own
  running();
}

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
  AfxTrace("The page process did not answer within %u ms: ending it\n", kAnswerMs);
  webkit_web_view_terminate_web_process(self->m_webView);
  self->m_stopped();
  const std::function<void()> request = std::move(self->m_request);
  request();  // on a new page process, once: not watched again
  return G_SOURCE_REMOVE;
}
