// The application: start-up binds the document, the main frame and the content view to the
// resource set and processes the command line; the application handles New, Open, Print Setup,
// Exit and About.
#pragma once

#include "app/CWinApp.h"

class CFOLIOSCPApp : public CWinApp {
 public:
  CFOLIOSCPApp();
  ~CFOLIOSCPApp() override = default;
  BOOL InitInstance() override;

 protected:
  void OnAppAbout();

  DECLARE_MESSAGE_MAP()
};

extern CFOLIOSCPApp theApp;
