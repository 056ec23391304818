// The framework's entry: answers --help and --version without a display, initialises GTK, runs the
// application object's InitInstance and main loop, and shuts down.
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <csignal>

#include "app/CWinApp.h"
#include "app/InfoRequest.h"
#include "window/CWnd.h"

namespace {

volatile std::sig_atomic_t g_endedWhileStarting = 0;

void NoteEnd(int) { g_endedWhileStarting = 1; }

// The end of a session (SIGTERM, SIGHUP, SIGINT) may come before the program has started: from
// before any library initialises, it is noted, and the program then ends with status 0 instead of
// being killed. A launcher that executes the program may hold these signals back until then: once
// the handlers are in place they are let through, and one held meanwhile is noted now.
void NoteEndWhileStarting() {
  struct sigaction action {};
  action.sa_handler = NoteEnd;
  sigemptyset(&action.sa_mask);
  sigset_t ends;
  sigemptyset(&ends);
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
    sigaction(signal, &action, nullptr);
    sigaddset(&ends, signal);
  }
  sigprocmask(SIG_UNBLOCK, &ends, nullptr);
}

[[gnu::used, gnu::section(".preinit_array")]] void (*const kNoteEndWhileStarting)() = NoteEndWhileStarting;

}  // namespace

int AfxWinMain(int argc, char** argv, const CResourceModule& resources) {
  AfxSetResourceModule(&resources);
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return 1;
  pApp->SetArguments(argc, argv);

  // Help and version are answered before anything else: no display, no settings.
  if (const std::optional<int> status = AfxAnswerInfoRequest(pApp->m_arguments)) return *status;

  // The end of a session may come while GTK starts: it is carried out once the main loop runs. One
  // that came before ends the program now, with nothing to write.
  pApp->WatchSessionEnd(true);
  if (g_endedWhileStarting) {
    pApp->WatchSessionEnd(false);
    return 0;
  }
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(nullptr, nullptr)) {
    pApp->WatchSessionEnd(false);
    const char* display = g_getenv("DISPLAY");
    g_printerr(
        "%s: cannot open the display \"%s\". It needs an X11 desktop; without one, run it under a virtual "
        "display: xvfb-run -a %s\n",
        pApp->m_strExeName.c_str(), display ? display : "", pApp->m_strExeName.c_str());
    return 1;
  }
  Gtk::Main::init_gtkmm_internals();

  int nReturnCode;
  if (!pApp->InitInstance()) {
    if (pApp->m_pMainWnd != nullptr) pApp->m_pMainWnd->DestroyWindow();
    nReturnCode = pApp->ExitInstance();
  } else {
    nReturnCode = pApp->Run();
  }
  pApp->WatchSessionEnd(false);
  return nReturnCode;
}
