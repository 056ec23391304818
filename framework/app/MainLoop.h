// The application's main loop, with an idle pass once the loop has drained whatever woke it. The
// pass runs at low priority and is armed again only by real work (an event, a timer, a source), so
// an idle program sleeps.
#pragma once

#include <glib.h>
#include <glibmm/main.h>

#include <functional>

class MainLoop {
 public:
  explicit MainLoop(std::function<void()> idlePass);
  ~MainLoop();
  MainLoop(const MainLoop&) = delete;
  MainLoop& operator=(const MainLoop&) = delete;

  // Runs until Quit, with idle processing; returns at once when Quit came first.
  void Run();
  void Quit();
  // Whether the code running now was called by this loop itself, not by a dialog's loop inside it.
  bool IsRunningAtTop() const;

  // Schedules one idle pass.
  void ArmIdle();
  // From here on, an idle pass follows whenever the main loop has drained what woke it. Run does
  // this; code that drives the loop itself (tests) may too.
  void BeginIdleProcessing();
  void EndIdleProcessing();

 private:
  static gint Poll(GPollFD* fds, guint nfds, gint timeout);

  std::function<void()> m_idlePass;
  Glib::RefPtr<Glib::MainLoop> m_loop;
  sigc::connection m_idle;
  bool m_armed = false;
  bool m_quit = false;
};
