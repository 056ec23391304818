#include "app/CWinApp.h"

#include <glibmm/miscutils.h>
#include <gtkmm/window.h>

#include "app/AppRegistry.h"
#include "app/HelpFile.h"
#include "app/MainLoop.h"
#include "app/SessionEndWatch.h"
#include "core/AfxRes.h"
#include "core/CCmdUI.h"
#include "core/Trace.h"
#include "dialogs/CMessageBox.h"
#include "dialogs/CPrintSetupDialog.h"
#include "doc/AtomicFile.h"
#include "doc/CDocManager.h"
#include "doc/CDocTemplate.h"
#include "doc/CDocument.h"
#include "html/EngineSandbox.h"
#include "html/FolderPages.h"
#include "settings/SettingsStore.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
  ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp* AfxGetApp() { return g_pApp; }

void AfxPostQuitMessage(int nExitCode) {
  if (g_pApp != nullptr) g_pApp->PostQuitMessage(nExitCode);
}

// Hosting the browser control: the page sandbox's check runs while the windows are made.
void AfxEnableControlContainer() { EngineSandbox::StartProbe(); }

int AfxMessageBox(const std::string& text, UINT nType, UINT) { return g_pApp->DoMessageBox(text, nType, 0); }

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT) {
  return g_pApp->DoMessageBox(AfxLoadString(nIDPrompt), nType, nIDPrompt);
}

CWinApp::CWinApp(const char* lpszAppName)
    : m_pMainLoop(std::make_unique<MainLoop>([this] {
        for (long lCount = 0; OnIdle(lCount); ++lCount) {
        }
      })) {
  g_assert(g_pApp == nullptr);  // a second application object is a programming error
  g_pApp = this;
  if (lpszAppName != nullptr) m_pszAppName = lpszAppName;
}

CWinApp::~CWinApp() {
  m_pSessionEndWatch.reset();
  m_pDocManager.reset();
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetArguments(int argc, char** argv) {
  m_arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
  m_strExeName = Glib::path_get_basename(argc > 0 ? argv[0] : m_strProgramName);
  if (auto dot = m_strExeName.rfind('.'); dot != std::string::npos && dot > 0) m_strExeName.resize(dot);
  if (m_pszAppName.empty()) {
    const char* title = AfxFindString(AFX_IDS_APP_TITLE);
    m_pszAppName = title ? title : m_strExeName;
  }
  m_pszProfileName = m_pszAppName;
  AfxSetTraceDomain(m_pszAppName);
  AtomicFile::SetTemporaryPrefix("." + m_strExeName + "-");
  m_strHelpFilePath = AfxFindHelpFile(m_strExeName);
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey) {
  m_pszRegistryKey = lpszRegistryKey;
  m_pszProfileName = m_pszAppName;
}

SettingsStore& CWinApp::GetSettingsStore() {
  if (!m_pSettings)
    m_pSettings = std::make_unique<SettingsStore>(
        SettingsStore::DefaultPath(m_strProgramName.empty() ? m_strExeName : m_strProgramName), m_strSettingsHeader);
  return *m_pSettings;
}

AppRegistry CWinApp::Registry() { return AppRegistry(GetSettingsStore(), m_pszRegistryKey, m_pszProfileName); }

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) {
  return m_pszRegistryKey.empty() ? UINT(nDefault) : Registry().GetInt(lpszSection, lpszEntry, nDefault);
}

bool CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue) {
  return !m_pszRegistryKey.empty() && Registry().WriteInt(lpszSection, lpszEntry, nValue);
}

void CWinApp::LoadStdProfileSettings(UINT) { m_nNumPreviewPages = int(GetProfileInt("Settings", "PreviewPages", 0)); }

void CWinApp::SaveStdProfileSettings() {
  if (m_nNumPreviewPages != 0) WriteProfileInt("Settings", "PreviewPages", m_nNumPreviewPages);
}

void CWinApp::UnregisterShellFileTypes() {
  if (!m_pDocManager) return;
  for (const auto& pTemplate : m_pDocManager->GetTemplates()) {
    std::string typeId;
    if (pTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId) && !typeId.empty())
      Registry().RemoveShellKeys(typeId);
  }
}

bool CWinApp::Unregister() {
  UnregisterShellFileTypes();
  return Registry().RemoveAppTree();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (!m_pDocManager) m_pDocManager = std::make_unique<CDocManager>();
  m_pDocManager->AddDocTemplate(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const std::string& fileName) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(fileName) : nullptr;
}

bool CWinApp::DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog, CDocTemplate* pTemplate) {
  return m_pDocManager && m_pDocManager->DoPromptFileName(fileName, nIDSTitle, bOpenFileDialog, pTemplate);
}

void CWinApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::OnOpenRecentFile() {}  // the program keeps no recent-file list

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

void CWinApp::OnAppExit() {
  if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnFilePrintSetup() {
  auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  std::string title;
  AfxExtractSubString(title, AfxLoadString(ID_FILE_PRINT_SETUP), 1);
  CPrintSetupDialog::Run(title, pFrame ? pFrame->GetGtkWindow() : nullptr, m_printSettings, m_pageSetup);
}

bool CWinApp::SaveAllModified() { return !m_pDocManager || m_pDocManager->SaveAllModified(); }

void CWinApp::CloseAllDocuments(bool bEndSession) {
  if (m_pDocManager) m_pDocManager->CloseAllDocuments(bEndSession);
}

void CWinApp::HideApplication() {
  if (m_pMainWnd == nullptr) return;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (window->get_transient_for() == m_pMainWnd->GetWidget()) window->hide();
  m_pMainWnd->ShowWindow(SW_HIDE);
}

void CWinApp::EndSession() {
  CloseAllDocuments(true);
  ExitInstance();
  m_bSessionEnded = true;
  PostQuitMessage(0);
}

void CWinApp::WatchSessionEnd(bool watch) {
  if (!watch) {
    m_pSessionEndWatch.reset();
    return;
  }
  // The end comes as at log-off, from the main loop once it runs and no dialog's loop runs inside it.
  m_pSessionEndWatch = std::make_unique<SessionEndWatch>([this] { return m_pMainLoop->IsRunningAtTop(); },
                                                         [this] {
                                                           if (m_pMainWnd != nullptr) {
                                                             m_pMainWnd->SendMessage(WM_QUERYENDSESSION);
                                                             m_pMainWnd->SendMessage(WM_ENDSESSION, TRUE);
                                                           } else {
                                                             PostQuitMessage(0);
                                                           }
                                                         });
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) { rCmdInfo.ParseArguments(m_arguments); }

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      if (const std::string folder = CDocManager::NormalizeFileName(rCmdInfo.m_strFileName);
          g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) {
        // A folder is where to look, not a document: it becomes the current directory and its
        // start page shows, with a new, untitled document.
        FolderPages::InUse().Enter(folder);
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
        return m_pMainWnd != nullptr;
      }
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      m_nCmdShow = SW_HIDE;
      OpenDocumentFile(rCmdInfo.m_strFileName);
      m_pCmdInfo = &rCmdInfo;
      // Nothing on this program's route prints directly, so the command finds no handler.
      if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
      m_pCmdInfo = nullptr;
      return FALSE;
    case CCommandLineInfo::FileDDE:
      // No DDE conversation can reach the program here, so nothing will ever ask for a window.
      m_nCmdShow = SW_HIDE;
      return TRUE;
    case CCommandLineInfo::AppUnregister: {
      bool ok = Unregister();
      if (!rCmdInfo.m_bRunEmbedded) AfxMessageBox(ok ? AFX_IDP_UNREG_DONE : AFX_IDP_UNREG_FAILURE);
      m_pUnregisterInfo = std::make_unique<CCommandLineInfo>(rCmdInfo);
      m_pCmdInfo = m_pUnregisterInfo.get();
      return FALSE;
    }
  }
  return FALSE;
}

int CWinApp::DoMessageBox(const std::string& prompt, UINT nType, UINT) {
  auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  return CMessageBox::Show(prompt, nType, m_pszAppName, pFrame ? pFrame->GetGtkWindow() : nullptr);
}

void CWinApp::BeginIdleProcessing() { m_pMainLoop->BeginIdleProcessing(); }

void CWinApp::EndIdleProcessing() { m_pMainLoop->EndIdleProcessing(); }

BOOL CWinApp::OnIdle(long lCount) {
  if (lCount == 0) {
    if (m_pMainWnd != nullptr && m_pMainWnd->IsWindowVisible()) {
      m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
      m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE);
    }
    if (m_pDocManager)
      for (const auto& pTemplate : m_pDocManager->GetTemplates())
        for (CDocument* pDoc : pTemplate->GetDocuments()) pDoc->OnIdle();
    return TRUE;  // one more pass for housekeeping
  }
  return FALSE;
}

void CWinApp::PostQuitMessage(int nExitCode) {
  m_nExitCode = nExitCode;
  m_pMainLoop->Quit();
}

int CWinApp::Run() {
  // Without a main window nothing can ever end the loop: no other program drives this one here.
  if (m_pMainWnd == nullptr) return ExitInstance();

  m_pMainLoop->Run();

  return m_bSessionEnded ? m_nExitCode : ExitInstance();
}

int CWinApp::ExitInstance() {
  if (m_pCmdInfo == nullptr || m_pCmdInfo->m_nShellCommand != CCommandLineInfo::AppUnregister) SaveStdProfileSettings();
  return m_nExitCode;
}
