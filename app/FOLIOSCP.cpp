#include "app/FOLIOSCP.h"

#include "app/AboutBox.h"
#include "app/MainFrm.h"
#include "content/FOLIOSCPDoc.h"
#include "content/FOLIOSCPView.h"
#include "content/StartPage.h"
#include "doc/CSingleDocTemplate.h"
#include "resources/Resource.h"

BEGIN_MESSAGE_MAP(CFOLIOSCPApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

namespace {

// How folders show: their start page, or a generated page that lists them.
const StartPage kStartPages;

}  // namespace

CFOLIOSCPApp theApp;

CFOLIOSCPApp::CFOLIOSCPApp() {
  m_strProgramName = "folioscope";
  m_strSettingsHeader = "; FOLIOSCOPE settings: registry keys and values, one section a key";
  FolderPages::Use(kStartPages);
}

BOOL CFOLIOSCPApp::InitInstance() {
  AfxEnableControlContainer();
  SetRegistryKey("Local AppWizard-Generated Applications");
  LoadStdProfileSettings(0);

  AddDocTemplate(new CSingleDocTemplate(IDR_MAINRES, RUNTIME_CLASS(CFOLIOSCPDoc), RUNTIME_CLASS(CMainFrame),
                                        RUNTIME_CLASS(CFOLIOSCPView)));

  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (!ProcessShellCommand(cmdInfo)) return FALSE;

  if (m_pMainWnd != nullptr) m_pMainWnd->ShowWindow(SW_SHOW);
  return TRUE;
}

void CFOLIOSCPApp::OnAppAbout() {
  CAboutBox aboutDlg;
  aboutDlg.DoModal();
}
