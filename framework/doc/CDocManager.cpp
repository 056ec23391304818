#include "doc/CDocManager.h"

#include <glib.h>
#include <glibmm/miscutils.h>
#include <sys/stat.h>

#include <cstdlib>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "dialogs/CFileDialog.h"
#include "doc/CDocTemplate.h"
#include "doc/CDocument.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"

CDocManager::~CDocManager() = default;

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) { m_templateList.emplace_back(pTemplate); }

void CDocManager::OnFileNew() {
  // With a single template there is no choice of document type to offer.
  if (!m_templateList.empty()) m_templateList.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  std::string fileName;
  // Through the application, whose prompt a program may replace.
  if (!AfxGetApp()->DoPromptFileName(fileName, AFX_IDS_OPENFILE, true, nullptr)) return;
  AfxGetApp()->OpenDocumentFile(fileName);
}

std::string CDocManager::NormalizeFileName(const std::string& fileName) {
  std::string name = fileName;
  // Quotes around a name come from a shell that did not remove them; a file whose name really
  // begins with a quote keeps it.
  if (!name.empty() && name.front() == '"' && !g_file_test(name.c_str(), G_FILE_TEST_EXISTS)) {
    name.erase(0, 1);
    if (auto quote = name.rfind('"'); quote != std::string::npos) name.resize(quote);
  }
  if (name.empty()) return name;  // no name stays no name, not the current folder
  std::string full = Glib::canonicalize_filename(name);
  struct stat st {};
  if (lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* target = realpath(full.c_str(), nullptr)) {
      full = target;
      free(target);
    }
  }
  return full;
}

CDocument* CDocManager::OpenDocumentFile(const std::string& fileName) {
  if (m_templateList.empty()) return nullptr;
  std::string fullPath = NormalizeFileName(fileName);
  for (const auto& pTemplate : m_templateList) {
    CDocument* pOpenDocument = nullptr;
    if (pTemplate->MatchDocType(fullPath, pOpenDocument) == CDocTemplate::yesAlreadyOpen) {
      // Nothing to reload: bring its frame to the front.
      if (!pOpenDocument->GetViews().empty())
        if (CFrameWnd* pFrame = pOpenDocument->GetViews().front()->GetParentFrame()) pFrame->ActivateFrame();
      return pOpenDocument;
    }
  }
  return m_templateList.front()->OpenDocumentFile(fullPath.c_str());
}

bool CDocManager::DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog, CDocTemplate*) {
  Gtk::Window* pParent = nullptr;
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetApp()->m_pMainWnd)) pParent = pFrame->GetGtkWindow();
  CFileDialog dialog(bOpenFileDialog, AfxLoadString(nIDSTitle), fileName, pParent);
  if (!dialog.DoModal()) return false;
  fileName = dialog.GetPathName();
  return true;
}

bool CDocManager::SaveAllModified() {
  for (const auto& pTemplate : m_templateList)
    if (!pTemplate->SaveAllModified()) return false;
  return true;
}

void CDocManager::CloseAllDocuments(bool bEndSession) {
  for (const auto& pTemplate : m_templateList) pTemplate->CloseAllDocuments(bEndSession);
}
