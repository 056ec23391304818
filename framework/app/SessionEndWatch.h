// Ends the program as the desktop's end of session does when SIGTERM or SIGHUP (log-off, shut-down)
// or SIGINT (Ctrl+C in a terminal) arrives, at any moment: also while a modal dialog runs a main
// loop of its own, before the application's loop runs, and while start-up shows a message. The open
// dialogs are answered as cancelled (and any that opens later, until the end), and the end itself
// waits until the dialogs' callers have returned to the application's main loop, so that nothing a
// dialog still uses is destroyed under it.
#pragma once

#include <glib.h>

#include <functional>
#include <vector>

class SessionEndWatch {
 public:
  // atMainLoop tells whether the code running now was called by the application's main loop itself,
  // not by a dialog's loop inside it; end ends the session from there.
  SessionEndWatch(std::function<bool()> atMainLoop, std::function<void()> end);
  ~SessionEndWatch();
  SessionEndWatch(const SessionEndWatch&) = delete;
  SessionEndWatch& operator=(const SessionEndWatch&) = delete;

  bool IsEnding() const { return m_ending; }

 private:
  static gboolean OnSignal(gpointer data);
  static gboolean OnTick(gpointer data);
  // Closes the dialogs and ends the session if it can be ended now; true once it has been.
  bool TryEnd();

  std::function<bool()> m_atMainLoop;
  std::function<void()> m_end;
  std::vector<guint> m_signalSources;
  guint m_tick = 0;
  bool m_ending = false;
  bool m_ended = false;
};
