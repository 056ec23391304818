// Driving the content view as a user does, for the in-process browsing tests: the real pointer and
// keyboard through xdotool (XTEST input on the test's display), test pages laid out in blocks whose
// places on screen are known, and waits on the engine's state.
#pragma once

#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../unit/TempDir.h"
#include "GuiTest.h"
#include "content/FOLIOSCPView.h"
#include "resources/Resource.h"

namespace page {

inline CFOLIOSCPView* View() { return dynamic_cast<CFOLIOSCPView*>(MainFrame()->GetActiveView()); }
inline WebKitWebView* Engine() { return View()->GetBrowser(); }

inline std::string Uri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string result = uri ? uri : "";
  g_free(uri);
  return result;
}

inline std::string ShownUri(WebKitWebView* engine = Engine()) {
  const char* uri = webkit_web_view_get_uri(engine);
  return uri ? uri : "";
}

// True when the engine shows uri, completely loaded.
inline bool Showing(const std::string& uri, WebKitWebView* engine = Engine()) {
  return ShownUri(engine) == uri && !webkit_web_view_is_loading(engine);
}

// The process's current directory.
inline std::string CurrentDir() {
  gchar* dir = g_get_current_dir();
  std::string result = dir;
  g_free(dir);
  return result;
}

inline std::string Title(WebKitWebView* engine = Engine()) {
  const char* title = webkit_web_view_get_title(engine);
  return title ? title : "";
}

// True when the engine shows a page with this title, completely loaded.
inline bool ShowingTitle(const std::string& title, WebKitWebView* engine = Engine()) {
  return Title(engine) == title && !webkit_web_view_is_loading(engine);
}

inline std::string Message() { return MainFrame()->GetMessageText(); }

// Lets the main loop run for a while: how long a test lets a page that acts by itself (a timer, a
// retry, a loop) go on trying.
inline void Settle(int ms = 300) {
  RunUntil([] { return false; }, ms);
}

// What the script evaluates to in the page, as text ("" when it cannot run).
inline std::string Evaluated(const std::string& script, WebKitWebView* engine = Engine()) {
  struct Answer {
    bool done = false;
    std::string text;
  };
  auto answer = std::make_shared<Answer>();
  webkit_web_view_evaluate_javascript(
      engine, script.c_str(), -1, nullptr, nullptr, nullptr,
      +[](GObject* view, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<std::shared_ptr<Answer>> answer(static_cast<std::shared_ptr<Answer>*>(data));
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr)) {
          char* text = jsc_value_to_string(value);
          (*answer)->text = text;
          g_free(text);
          g_object_unref(value);
        }
        (*answer)->done = true;
      },
      new std::shared_ptr<Answer>(answer));
  RunUntil([&] { return answer->done; });
  return answer->text;
}

// Waits until the page process has taken in all that came before, and the window all the page
// process said back: two script round trips, each ordered behind the messages sent before it, with
// the window's own follow-up work (idle handlers) done after each. After it, what an earlier key,
// click or command was going to start (a second step, a focus change, a dialog) has started, so a
// test can check that it did not. False when the page does not answer.
inline bool CaughtUp(WebKitWebView* engine = Engine()) {
  const auto drain = [] {
    for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
  };
  // First the window takes in every event the display has for it (keys and pointer from xdotool).
  gdk_display_sync(gdk_display_get_default());
  drain();
  for (int trip = 0; trip < 2; ++trip) {
    auto answered = std::make_shared<bool>(false);
    webkit_web_view_evaluate_javascript(
        engine, "0", -1, nullptr, nullptr, nullptr,
        +[](GObject* view, GAsyncResult* result, gpointer data) {
          const std::unique_ptr<std::shared_ptr<bool>> answered(static_cast<std::shared_ptr<bool>*>(data));
          if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr))
            g_object_unref(value);
          **answered = true;
        },
        new std::shared_ptr<bool>(answered));
    if (!RunUntil([&] { return *answered; })) return false;
    drain();
  }
  return true;
}

// Waits until the engine shows uri, completely loaded.
inline bool WaitFor(const std::string& uri, WebKitWebView* engine = Engine()) {
  return RunUntil([&] { return Showing(uri, engine); });
}

inline void Command(UINT id) { MainFrame()->SendMessage(WM_COMMAND, id); }

// Makes folder the current directory and shows its start page through File New.
inline bool OpenFolder(const TempDir& folder) {
  if (chdir(folder.Path().c_str()) != 0) return false;
  Command(ID_FILE_NEW);
  return WaitFor(Uri(folder / "index.html")) && RunUntil([] { return Message() == "Done"; });
}

// How often text occurs in the page shown, as the engine's find controller counts it. (Tests read
// pages this way and through their titles: running JavaScript from this process would start a
// JavaScript engine here, whose teardown the sanitizers misreport.)
inline unsigned CountText(const std::string& text) {
  struct Count {
    bool done = false;
    unsigned n = 0;
  } count;
  WebKitFindController* finder = webkit_web_view_get_find_controller(Engine());
  const gulong handler =
      g_signal_connect(finder, "counted-matches", G_CALLBACK(+[](WebKitFindController*, guint n, Count* c) {
                         c->n = n;
                         c->done = true;
                       }),
                       &count);
  webkit_find_controller_count_matches(finder, text.c_str(), WEBKIT_FIND_OPTIONS_NONE, 1000);
  RunUntil([&] { return count.done; });
  g_signal_handler_disconnect(finder, handler);
  return count.n;
}

inline bool Xdo(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"xdotool"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  gint status = -1;
  const bool ran = g_spawn_sync(nullptr, const_cast<gchar**>(argv.data()), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                                nullptr, nullptr, nullptr, &status, nullptr);
  return ran && g_spawn_check_wait_status(status, nullptr);
}

// Test pages are stacks of blocks 60 pixels high across the page (see Blocks); this is the screen
// position of the middle of block n at the page's current zoom.
inline std::pair<int, int> ScreenPoint(int n, WebKitWebView* engine = Engine()) {
  const double zoom = webkit_web_view_get_zoom_level(engine);
  const Gdk::Rectangle rect = CControlBar::ScreenRect(*Glib::wrap(GTK_WIDGET(engine)));
  return {rect.get_x() + int(200 * zoom), rect.get_y() + int((n * 60 + 30) * zoom)};
}

// A page of blocks: each entry is the inside of one block's tag, "a href=x" or "p" (a plain block).
inline std::string Blocks(const std::string& title, const std::vector<std::string>& blocks) {
  std::string html = "<!DOCTYPE html><title>" + title +
                     "</title><style>body{margin:0}body>*{display:block;position:absolute;left:0;right:0;"
                     "height:60px;margin:0}</style>";
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const std::string tag = blocks[i].substr(0, blocks[i].find(' '));
    html += "<" + blocks[i] + " style=\"top:" + std::to_string(i * 60) + "px\">block " + std::to_string(i) + "</" +
            tag + ">";
  }
  return html;
}

inline void PointAt(int block, WebKitWebView* engine = Engine()) {
  auto [x, y] = ScreenPoint(block, engine);
  EXPECT_TRUE(Xdo({"mousemove", std::to_string(x), std::to_string(y)}));
}

inline void Click(int block, WebKitWebView* engine = Engine()) {
  PointAt(block, engine);
  EXPECT_TRUE(Xdo({"click", "1"}));
}

// Presses keys one after the other (xdotool's names, "ctrl+f Return") on the focused window.
inline void Keys(const std::string& keys) {
  std::vector<std::string> args{"key", "--clearmodifiers"};
  gchar** names = g_strsplit(keys.c_str(), " ", -1);
  for (gchar** name = names; *name != nullptr; ++name) args.push_back(*name);
  g_strfreev(names);
  EXPECT_TRUE(Xdo(args));
}

// The engine's page processes that this process started, directly or through the sandbox's
// bubblewrap processes.
inline std::vector<pid_t> PageProcesses() {
  std::map<pid_t, std::pair<std::string, pid_t>> processes;  // pid -> (name, parent)
  GDir* proc = g_dir_open("/proc", 0, nullptr);
  while (const char* entry = proc ? g_dir_read_name(proc) : nullptr) {
    const std::string stat = TempDir::Read(std::string("/proc/") + entry + "/stat");  // pid (name) state ppid
    const std::size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    // The name is cut to 15 characters.
    processes[atoi(entry)] = {stat.substr(open + 1, close - open - 1), atoi(stat.c_str() + close + 4)};
  }
  if (proc) g_dir_close(proc);
  std::vector<pid_t> pids;
  for (const auto& [pid, process] : processes) {
    if (std::string("WebKitWebProcess").rfind(process.first, 0) != 0) continue;
    pid_t parent = process.second;
    while (parent > 1 && parent != getpid() && processes.count(parent)) parent = processes[parent].second;
    if (parent == getpid()) pids.push_back(pid);
  }
  return pids;
}

}  // namespace page
