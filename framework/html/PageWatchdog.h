// Makes sure that what the host or the user asks of the view (a new page, a step in the history)
// happens even when the page process does not answer: a script in an endless loop, a page that keeps
// opening script dialogs, a page busy for minutes. A page process that has given no sign of life
// (a policy question, a load starting or failing) within kAnswerMs of a request is ended and the
// request is made again, once, on a new page process.
//
// An assistive technology reading a long page keeps the page process busy answering it, single calls
// for seconds while a page is replaced; such a page is alive and must not be ended under the reader.
// While the program is on an accessibility bus the page process is given kAssistedAnswerMs instead.
#pragma once

#include <glib.h>
#include <webkit2/webkit2.h>

#include <functional>

class PageWatchdog {
 public:
  static constexpr guint kAnswerMs = 1200;
  static constexpr guint kAssistedAnswerMs = 20000;

  // stopped runs after a page process was ended for not answering.
  PageWatchdog(WebKitWebView* webView, std::function<void()> stopped);
  ~PageWatchdog();
  PageWatchdog(const PageWatchdog&) = delete;
  PageWatchdog& operator=(const PageWatchdog&) = delete;

  // Makes the request now and watches for the page process's answer.
  void Request(std::function<void()> request);
  // The page process answered: a load started or failed.
  void Answered();
  // Whether a request has not been answered yet.
  bool Waiting() const { return m_timer != 0; }
  // How long the page process has to answer: longer while assistive technology may be reading it.
  static guint AnswerMs();

 private:
  void Disarm();
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType, PageWatchdog* self);
  static void OnProcessEnded(WebKitWebView*, WebKitWebProcessTerminationReason, PageWatchdog* self);
  static gboolean OnTimeout(gpointer data);

  WebKitWebView* m_webView;
  std::function<void()> m_stopped;
  std::function<void()> m_request;
  guint m_timer = 0;
  bool m_processGone = false;  // ended, and no new one has answered yet
};
