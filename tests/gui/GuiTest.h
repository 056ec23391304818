// In-process tests of the real program: the real GTK widgets and the real engine under Xvfb,
// driven through the program's one application object.
#pragma once

#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/widget.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "app/FOLIOSCP.h"
#include "bars/CControlBar.h"
#include "window/CFrameWnd.h"

// Runs the main loop until done() holds or the time is up; returns done().
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 15000) {
  gint64 end = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
  while (!done() && g_get_monotonic_time() < end)
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  return done();
}

inline CFrameWnd* MainFrame() { return dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd); }

// Starts the program once for the executable's tests, on a folder with a start page, with idle
// processing as the main loop has it.
inline void StartOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  static gchar* folder = g_dir_make_tmp("folioscope-gui-XXXXXX", nullptr);
  std::string page = std::string(folder) + "/index.html";
  g_file_set_contents(page.c_str(), "<title>Start</title><p>start page", -1, nullptr);
  ASSERT_EQ(chdir(folder), 0);
  ASSERT_TRUE(theApp.InitInstance());
  theApp.BeginIdleProcessing();
  ASSERT_TRUE(RunUntil([] { return MainFrame()->GetMessageText() == "Done"; }));
}
