#include "doc/CDocManager.h"

#include <gtkmm/filechooserdialog.h>
#include <sys/stat.h>

#include <cstdlib>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "doc/AtomicFile.h"
#include "doc/CDocTemplate.h"
#include "doc/CDocument.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"

CDocManager::~CDocManager() {
  for (CDocTemplate* pTemplate : m_templateList) delete pTemplate;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) { m_templateList.push_back(pTemplate); }

void CDocManager::OnFileNew() {
  // With a single template there is no choice of document type to offer.
  if (!m_templateList.empty()) m_templateList.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  std::string fileName;
  if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, true, nullptr)) return;
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
  std::string full = AtomicFile::FullPath(name);
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
  for (CDocTemplate* pTemplate : m_templateList) {
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
  Gtk::FileChooserDialog dialog(AfxLoadString(nIDSTitle),
                                bOpenFileDialog ? Gtk::FILE_CHOOSER_ACTION_OPEN : Gtk::FILE_CHOOSER_ACTION_SAVE);
  CWinApp* pApp = AfxGetApp();
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pApp->m_pMainWnd); pFrame && pFrame->GetGtkWindow())
    dialog.set_transient_for(*pFrame->GetGtkWindow());
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button(bOpenFileDialog ? "_Open" : "_Save", Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  auto filter = Gtk::FileFilter::create();
  filter->set_name(AfxLoadString(AFX_IDS_ALLFILTER));
  filter->add_pattern("*");
  dialog.add_filter(filter);
  if (!bOpenFileDialog) {
    dialog.set_do_overwrite_confirmation(true);
    if (!fileName.empty() && fileName.front() == '/') {
      gchar* dir = g_path_get_dirname(fileName.c_str());
      gchar* base = g_filename_display_basename(fileName.c_str());
      dialog.set_current_folder(dir);
      dialog.set_current_name(base);
      g_free(dir);
      g_free(base);
    } else {
      gchar* display = g_filename_display_name(fileName.c_str());
      dialog.set_current_name(display);
      g_free(display);
    }
  }
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) return false;
  fileName = dialog.get_filename();
  return !fileName.empty();
}

bool CDocManager::SaveAllModified() {
  for (CDocTemplate* pTemplate : m_templateList)
    if (!pTemplate->SaveAllModified()) return false;
  return true;
}

void CDocManager::CloseAllDocuments(bool bEndSession) {
  for (CDocTemplate* pTemplate : m_templateList) pTemplate->CloseAllDocuments(bEndSession);
}
