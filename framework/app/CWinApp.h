// The application object: start-up (InitInstance), the main loop with its idle pass (Run), the
// settings store, the command line, the document manager, message boxes and shut-down
// (ExitInstance). Exactly one exists, a global of the program's; AfxWinMain drives it.
#pragma once

#include <gtkmm/pagesetup.h>
#include <gtkmm/printsettings.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CCommandLineInfo.h"
#include "core/CCmdTarget.h"
#include "core/ResourceModule.h"

class AppRegistry;
class CCmdUI;
class CDocManager;
class CDocTemplate;
class CDocument;
class CWnd;
class MainLoop;
class SessionEndWatch;
class SettingsStore;

class CWinApp : public CCmdTarget {
 public:
  DECLARE_DYNAMIC(CWinApp)
  explicit CWinApp(const char* lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int Run();
  virtual BOOL OnIdle(long lCount);
  virtual int ExitInstance();
  // Shows a message box captioned with the application's name, owned by the main window.
  virtual int DoMessageBox(const std::string& prompt, UINT nType, UINT nIDPrompt);
  virtual CDocument* OpenDocumentFile(const std::string& fileName);
  // Asks for a file name with the GTK file chooser; false when cancelled.
  virtual bool DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog, CDocTemplate* pTemplate);

  void AddDocTemplate(CDocTemplate* pTemplate);
  void SetRegistryKey(const char* lpszRegistryKey);
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  void SaveStdProfileSettings();
  // Integers of the sections under HKEY_CURRENT_USER\Software\<registry key>\<profile> in the
  // settings store; without a registry key nothing is read or written.
  UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault);
  bool WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);
  SettingsStore& GetSettingsStore();

  // The printer choice confirmed in Print Setup, kept for the run; nullptr before any.
  GtkPrintSettings* GetPrintSettings() const { return m_printSettings ? m_printSettings->gobj() : nullptr; }
  GtkPageSetup* GetPageSetup() const { return m_pageSetup ? m_pageSetup->gobj() : nullptr; }

  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
  // Removes the shell's keys of the document type and the application's settings tree.
  virtual bool Unregister();
  void UnregisterShellFileTypes();

  void HideApplication();
  void CloseAllDocuments(bool bEndSession);
  bool SaveAllModified();
  // The session ends: documents closed and settings written now, then the loop ends.
  void EndSession();
  // From here on (watch) or no longer, SIGTERM, SIGHUP and SIGINT end the session, at any moment
  // (SessionEndWatch). AfxWinMain watches from before InitInstance to the end.
  void WatchSessionEnd(bool watch);
  void PostQuitMessage(int nExitCode);

  // From here on, an idle pass (OnIdle) follows whenever the main loop has drained what woke it. Run
  // does this; code that drives the loop itself (tests) may too.
  void BeginIdleProcessing();
  void EndIdleProcessing();
  // Set by AfxWinMain before InitInstance.
  void SetArguments(int argc, char** argv);

  CWnd* m_pMainWnd = nullptr;
  // The application's name, registry key and profile keep the names the program's code and its
  // settings rules use for them; they are strings.
  std::string m_pszAppName;
  std::string m_pszRegistryKey;
  std::string m_pszProfileName;
  std::string m_strExeName;
  // Given by the program's application object: its name on disk (the settings folder, and the
  // executable's name when the command line has none) and the first line of a new settings store.
  std::string m_strProgramName;
  std::string m_strSettingsHeader;
  std::string m_strHelpFilePath;  // the guide's first page, "" when none is found (AfxFindHelpFile)
  int m_nCmdShow = SW_SHOWNORMAL;
  std::unique_ptr<CDocManager> m_pDocManager;
  int m_nNumPreviewPages = 0;
  CCommandLineInfo* m_pCmdInfo = nullptr;
  std::vector<std::string> m_arguments;  // the command line, program name excluded

 protected:
  void OnFileNew();
  void OnFileOpen();
  void OnFilePrintSetup();
  void OnAppExit();
  void OnOpenRecentFile();
  void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

 private:
  AppRegistry Registry();

  std::unique_ptr<CCommandLineInfo> m_pUnregisterInfo;  // keeps ExitInstance from re-creating the key
  std::unique_ptr<SettingsStore> m_pSettings;
  std::unique_ptr<SessionEndWatch> m_pSessionEndWatch;
  std::unique_ptr<MainLoop> m_pMainLoop;
  int m_nExitCode = 0;
  bool m_bSessionEnded = false;
  Glib::RefPtr<Gtk::PrintSettings> m_printSettings;  // the Print Setup choice, kept for the run
  Glib::RefPtr<Gtk::PageSetup> m_pageSetup;

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The framework's entry: initialises GTK, runs InitInstance and the loop, shuts down.
int AfxWinMain(int argc, char** argv, const CResourceModule& resources);
int AfxMessageBox(const std::string& text, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = UINT(-1));
void AfxPostQuitMessage(int nExitCode);
void AfxEnableControlContainer();
