// The framework's entry: answers --help and --version without a display, initialises GTK, runs the
// application object's InitInstance and main loop, and shuts down.
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>
#include <string>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "window/CWnd.h"

int AfxWinMain(int argc, char** argv, const CResourceModule& resources) {
  AfxSetResourceModule(&resources);
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return 1;
  pApp->SetArguments(argc, argv);

  // Help and version are answered before anything else: no display, no settings.
  CCommandLineInfo request;
  request.ParseArguments(pApp->m_arguments);
  if (request.m_nInfoRequest != CCommandLineInfo::NoInfo) {
    const std::string text =
        AfxLoadString(request.m_nInfoRequest == CCommandLineInfo::ShowHelp ? AFX_IDS_USAGE : AFX_IDS_VERSION);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }

  // The end of a session may come while GTK starts: it is carried out once the main loop runs.
  pApp->WatchSessionEnd(true);
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
