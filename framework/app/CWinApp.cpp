#include "app/CWinApp.h"

#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <csignal>
#include <cstdio>

#include "app/HelpFile.h"
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
GPollFunc g_defaultPoll = nullptr;

// The main loop's poll, watched so that one idle pass runs after the loop has drained whatever woke
// it. A zero-timeout poll that found nothing is the idle pass's own and re-arms nothing, so an
// idle program sleeps.
gint IdlePoll(GPollFD* fds, guint nfds, gint timeout) {
  gint result = g_defaultPoll(fds, nfds, timeout);
  if ((timeout != 0 || result > 0) && g_pApp != nullptr) g_pApp->ArmIdle();
  return result;
}

const char* const kShellKeys[] = {"%s\\DefaultIcon", "%s\\shell\\open\\%s", "%s\\shell\\print\\%s",
                                  "%s\\shell\\printto\\%s"};

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

CWinApp::CWinApp(const char* lpszAppName) {
  g_assert(g_pApp == nullptr);  // a second application object is a programming error
  g_pApp = this;
  if (lpszAppName != nullptr) m_pszAppName = lpszAppName;
}

CWinApp::~CWinApp() {
  m_pSessionEndWatch.reset();
  m_pDocManager.reset();
  if (m_pPrintSettings != nullptr) g_object_unref(m_pPrintSettings);
  if (m_pPageSetup != nullptr) g_object_unref(m_pPageSetup);
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetArguments(int argc, char** argv) {
  m_arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
  gchar* base = g_path_get_basename(argc > 0 ? argv[0] : m_strProgramName.c_str());
  m_pszExeName = base;
  g_free(base);
  if (auto dot = m_pszExeName.rfind('.'); dot != std::string::npos && dot > 0) m_pszExeName.resize(dot);
  if (m_pszAppName.empty()) {
    const char* title = AfxFindString(AFX_IDS_APP_TITLE);
    m_pszAppName = title ? title : m_pszExeName;
  }
  m_pszProfileName = m_pszAppName;
  AfxSetTraceDomain(m_pszAppName);
  AtomicFile::SetTemporaryPrefix("." + m_pszExeName + "-");
  m_pszHelpFilePath = AfxFindHelpFile(m_pszExeName);
}

// Settings ---------------------------------------------------------------------------------------

void CWinApp::SetRegistryKey(const char* lpszRegistryKey) {
  m_pszRegistryKey = lpszRegistryKey;
  m_pszProfileName = m_pszAppName;
}

SettingsStore& CWinApp::GetSettingsStore() {
  if (!m_pSettings)
    m_pSettings = std::make_unique<SettingsStore>(
        SettingsStore::DefaultPath(m_strProgramName.empty() ? m_pszExeName : m_strProgramName), m_strSettingsHeader);
  return *m_pSettings;
}

std::string CWinApp::GetAppRegistryKey() const {
  return "HKEY_CURRENT_USER\\Software\\" + m_pszRegistryKey + "\\" + m_pszProfileName;
}

std::string CWinApp::GetSectionKey(const char* lpszSection) const { return GetAppRegistryKey() + "\\" + lpszSection; }

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) {
  if (m_pszRegistryKey.empty()) return UINT(nDefault);
  const std::string key = GetSectionKey(lpszSection);
  UINT value = UINT(nDefault);
  auto read = [&](const RegistryText& text) {
    if (auto stored = text.GetDword(key, lpszEntry)) value = *stored;
  };
  // Reading creates the keys on the way; a store that cannot be changed is still read.
  if (!GetSettingsStore().Update([&](RegistryText& text) {
        text.CreateKey(key);
        read(text);
      })) {
    RegistryText text;
    if (GetSettingsStore().Read(text)) read(text);
  }
  return value;
}

bool CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue) {
  if (m_pszRegistryKey.empty()) return false;
  const std::string key = GetSectionKey(lpszSection);
  return GetSettingsStore().Update([&](RegistryText& text) { text.SetDword(key, lpszEntry, std::uint32_t(nValue)); });
}

void CWinApp::LoadStdProfileSettings(UINT) { m_nNumPreviewPages = int(GetProfileInt("Settings", "PreviewPages", 0)); }

void CWinApp::SaveStdProfileSettings() {
  if (m_nNumPreviewPages != 0) WriteProfileInt("Settings", "PreviewPages", m_nNumPreviewPages);
}

void CWinApp::UnregisterShellFileTypes() {
  if (!m_pDocManager) return;
  for (CDocTemplate* pTemplate : m_pDocManager->GetTemplates()) {
    std::string typeId;
    if (!pTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId) || typeId.empty()) continue;
    const std::string top = "HKEY_CLASSES_ROOT\\" + typeId;
    GetSettingsStore().Update([&](RegistryText& text) {
      for (const char* format : kShellKeys) {
        gchar* path = g_strdup_printf(format, top.c_str(), "command");
        std::string key = path;
        g_free(path);
        // Delete the key, then every parent it leaves empty (no subkeys, no values), up to the
        // type's own key.
        if (!text.KeyExists(key) || text.HasSubkeys(key)) continue;
        text.DeleteKey(key);
        while (key.size() > top.size()) {
          key.resize(key.rfind('\\'));
          if (text.HasSubkeys(key) || text.HasValues(key)) break;
          text.DeleteKey(key);
        }
      }
    });
  }
}

bool CWinApp::Unregister() {
  UnregisterShellFileTypes();
  const std::string appKey = GetAppRegistryKey();
  const std::string parentKey = "HKEY_CURRENT_USER\\Software\\" + m_pszRegistryKey;
  bool updated = GetSettingsStore().Update([&](RegistryText& text) {
    text.DeleteTree(appKey);
    // The parent goes only when nothing is left in it: no subkeys and no values of its own.
    if (!text.HasSubkeys(parentKey) && !text.HasValues(parentKey)) text.DeleteKey(parentKey);
  });
  RegistryText text;
  return updated && GetSettingsStore().Read(text) && !text.KeyExists(appKey);
}

// Documents and commands -------------------------------------------------------------------------

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
  CPrintSetupDialog::Run(title, pFrame ? pFrame->GetGtkWindow()->gobj() : nullptr, m_pPrintSettings, m_pPageSetup);
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
  m_pSessionEndWatch = std::make_unique<SessionEndWatch>(
      [this] { return m_pLoop != nullptr && g_main_loop_is_running(m_pLoop) && g_main_depth() <= 1; },
      [this] {
        if (m_pMainWnd != nullptr) {
          m_pMainWnd->SendMessage(WM_QUERYENDSESSION);
          m_pMainWnd->SendMessage(WM_ENDSESSION, TRUE);
        } else {
          PostQuitMessage(0);
        }
      });
}

// Command line -----------------------------------------------------------------------------------

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

// Message boxes ----------------------------------------------------------------------------------

int CWinApp::DoMessageBox(const std::string& prompt, UINT nType, UINT) {
  auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  return CMessageBox::Show(prompt, nType, m_pszAppName, pFrame ? pFrame->GetGtkWindow() : nullptr);
}

// Main loop --------------------------------------------------------------------------------------

void CWinApp::BeginIdleProcessing() {
  if (g_defaultPoll != nullptr) return;
  g_defaultPoll = g_main_context_get_poll_func(nullptr);
  g_main_context_set_poll_func(nullptr, IdlePoll);
  ArmIdle();
}

void CWinApp::EndIdleProcessing() {
  if (g_defaultPoll == nullptr) return;
  g_main_context_set_poll_func(nullptr, g_defaultPoll);
  g_defaultPoll = nullptr;
  if (m_idleSource != 0) g_source_remove(m_idleSource);
  m_idleSource = 0;
}

void CWinApp::ArmIdle() {
  if (m_idleSource == 0) m_idleSource = g_idle_add_full(G_PRIORITY_LOW, &CWinApp::OnIdlePass, this, nullptr);
}

gboolean CWinApp::OnIdlePass(gpointer data) {
  auto* self = static_cast<CWinApp*>(data);
  self->m_idleSource = 0;
  for (long lCount = 0; self->OnIdle(lCount); ++lCount) {
  }
  return G_SOURCE_REMOVE;
}

BOOL CWinApp::OnIdle(long lCount) {
  if (lCount == 0) {
    if (m_pMainWnd != nullptr && m_pMainWnd->IsWindowVisible()) {
      m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
      m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE);
    }
    if (m_pDocManager)
      for (CDocTemplate* pTemplate : m_pDocManager->GetTemplates())
        for (CDocument* pDoc : pTemplate->GetDocuments()) pDoc->OnIdle();
    return TRUE;  // one more pass for housekeeping
  }
  return FALSE;
}

void CWinApp::PostQuitMessage(int nExitCode) {
  m_nExitCode = nExitCode;
  m_bQuitPosted = true;
  if (m_pLoop != nullptr) g_main_loop_quit(m_pLoop);
}

int CWinApp::Run() {
  // Without a main window nothing can ever end the loop: no other program drives this one here.
  if (m_pMainWnd == nullptr) return ExitInstance();

  BeginIdleProcessing();
  m_pLoop = g_main_loop_new(nullptr, FALSE);
  if (!m_bQuitPosted) g_main_loop_run(m_pLoop);
  g_main_loop_unref(m_pLoop);
  m_pLoop = nullptr;
  EndIdleProcessing();

  return m_bSessionEnded ? m_nExitCode : ExitInstance();
}

int CWinApp::ExitInstance() {
  if (m_pCmdInfo == nullptr || m_pCmdInfo->m_nShellCommand != CCommandLineInfo::AppUnregister) SaveStdProfileSettings();
  return m_nExitCode;
}

// Entry ------------------------------------------------------------------------------------------

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

  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(nullptr, nullptr)) {
    const char* display = g_getenv("DISPLAY");
    g_printerr(
        "%s: cannot open the display \"%s\". It needs an X11 desktop; without one, run it under a virtual "
        "display: xvfb-run -a %s\n",
        pApp->m_pszExeName.c_str(), display ? display : "", pApp->m_pszExeName.c_str());
    return 1;
  }
  Gtk::Main::init_gtkmm_internals();
  pApp->WatchSessionEnd(true);

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
