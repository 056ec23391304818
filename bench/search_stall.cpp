// The window while a first search indexes a folder: a timer in the real window ticks every 5 ms
// and the largest gap between two ticks, from the search typed until its results are made again
// from the whole index, is the longest time the window did not answer.
//   search-stall FOLDER SCRATCH
// FOLDER: the folder the window shows; SCRATCH: an empty folder for the settings, the engine's
// stores and the index. Needs a display.
#include <gdk/gdk.h>
#include <glibmm/main.h>
#include <gtkmm/searchentry.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "../tests/gui/InProcess.h"
#include "app/CWinApp.h"
#include "app/FOLIOSCP.h"
#include "content/FOLIOSCPView.h"
#include "html/BrowserControl.h"
#include "window/CFrameWnd.h"

namespace {

constexpr int kTickMs = 5;

CFrameWnd* MainFrame() { return dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd); }
CFOLIOSCPView* View() { return dynamic_cast<CFOLIOSCPView*>(MainFrame()->GetActiveView()); }
std::string Message() { return MainFrame()->GetMessageText(); }

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const gint64 end = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
  while (!done() && g_get_monotonic_time() < end) g_main_context_iteration(nullptr, TRUE);
  return done();
}

Gtk::SearchEntry* SearchEntry() { return in_process::SearchEntry(*View()->GetControl()); }

// Ctrl+Shift+F as the page's view receives it.
void PressSearchKey(WebKitWebView* engine) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(engine))));
  event->key.keyval = GDK_KEY_F;
  event->key.state = GDK_CONTROL_MASK | GDK_SHIFT_MASK;
  event->key.time = GDK_CURRENT_TIME;
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
  gboolean handled = FALSE;
  g_signal_emit_by_name(engine, "key-press-event", event, &handled);
  gdk_event_free(event);
}

bool Fail(const char* what) {
  std::fprintf(stderr, "search-stall: %s (status: %s)\n", what, Message().c_str());
  return false;
}

bool Measure(const std::string& word) {
  if (!RunUntil([] { return Message() == "Done"; }, 60000)) return Fail("the start page did not load");
  WebKitWebView* engine = View()->GetBrowser();
  PressSearchKey(engine);
  if (!RunUntil([] { return SearchEntry() != nullptr; }, 10000)) return Fail("no search bar");
  RunUntil([] { return false; }, 500);  // the bar shown and drawn

  const gint64 start = g_get_monotonic_time();
  gint64 last = start, longest = 0, longestAt = 0;
  sigc::connection ticks = Glib::signal_timeout().connect(
      [&] {
        const gint64 now = g_get_monotonic_time();
        if (now - last > longest) {
          longest = now - last;
          longestAt = last - start;
        }
        last = now;
        return true;
      },
      kTickMs);
  SearchEntry()->set_text(word);
  // The status bar tells the pages read; once all are, the results are made again from the whole
  // index and loaded.
  const std::string title = "Search: " + word;
  bool allRead = false;
  const bool ended = RunUntil(
      [&] {
        const std::string message = Message();
        if (message.rfind("Indexing ", 0) == 0) {
          const std::string counts = message.substr(9, message.find(" pages") - 9);
          const std::size_t of = counts.find(" of ");
          allRead = of != std::string::npos && counts.substr(0, of) == counts.substr(of + 4);
          return false;
        }
        const char* shown = webkit_web_view_get_title(engine);
        return allRead && !webkit_web_view_is_loading(engine) && shown != nullptr && shown == title;
      },
      120000);
  const gint64 indexed = g_get_monotonic_time();
  RunUntil([] { return false; }, 500);  // the results made again settle
  ticks.disconnect();
  if (!ended) return Fail("indexing did not end");
  std::printf("%-44s %10.0f ms   (goal: none over 50; %.0f ms after the search was typed)\n",
              "Longest main-loop stall while indexing", double(longest) / 1000.0 - kTickMs, double(longestAt) / 1000.0);
  std::printf("%-44s %10.0f ms\n", "Search typed to results from the whole index", double(indexed - start) / 1000.0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: search-stall FOLDER SCRATCH\n");
    return 2;
  }
  const std::string scratch = argv[2];
  for (const auto& [variable, kind] : {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"},
                                       std::pair{"XDG_CACHE_HOME", "cache"}}) {
    const std::string dir = scratch + "/" + kind;
    std::filesystem::create_directories(dir);
    setenv(variable, dir.c_str(), 1);
  }
  if (!in_process::StartGtk()) {
    std::fprintf(stderr, "search-stall: no display\n");
    return 2;
  }
  if (chdir(argv[1]) != 0 || !theApp.InitInstance()) return 2;
  theApp.BeginIdleProcessing();
  const bool measured = Measure("socket");
  MainFrame()->SendMessage(WM_CLOSE);
  theApp.ExitInstance();
  return measured ? 0 : 1;
}
