#include "doc/CDocument.h"

#include <fcntl.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "doc/AtomicFile.h"
#include "doc/CArchive.h"
#include "doc/CDocTemplate.h"
#include "doc/FileError.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"
#include "window/WaitCursor.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument() {
  if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const std::string& title) {
  m_strTitle = title;
  UpdateFrameCounts();
}

void CDocument::SetPathName(const std::string& pathName, bool) {
  m_strPathName = pathName;
  SetTitle(Glib::filename_display_basename(pathName));
}

void CDocument::AddView(CView* pView) {
  m_viewList.push_back(pView);
  pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
  m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), pView), m_viewList.end());
  pView->m_pDocument = nullptr;
  if (m_viewList.empty() && m_bAutoDelete) OnCloseDocument();
}

void CDocument::UpdateFrameCounts() {
  for (CView* pView : m_viewList)
    if (CFrameWnd* pFrame = pView->GetParentFrame()) pFrame->OnUpdateFrameTitle(true);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.clear();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const std::string& pathName) {
  // Non-blocking, so that a FIFO or a device can neither hang the open nor be read.
  int fd = open(pathName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat st {};
  int err = fd < 0 ? errno : (fstat(fd, &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0));
  if (err != 0) {
    if (fd >= 0) close(fd);
    const FileError error = FileError::FromErrno(err, pathName);
    ReportSaveLoadException(pathName, &error, false, AFX_IDP_FAILED_TO_OPEN_DOC);
    return false;
  }
  DeleteContents();
  SetModifiedFlag(true);
  if (st.st_size != 0) {
    CArchive loadArchive(CArchive::load);
    Serialize(loadArchive);
  }
  close(fd);
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const std::string& pathName) {
  CArchive storeArchive(CArchive::store);
  Serialize(storeArchive);  // the stored form carries no bytes
  AtomicFile::Result result = AtomicFile::ReplaceWithEmpty(pathName);
  if (result.error != 0) {
    const FileError error = FileError::FromErrno(result.error, pathName);
    ReportSaveLoadException(pathName, &error, true,
                            result.created ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_INVALID_FILENAME);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnCloseDocument() {
  bool bAutoDelete = m_bAutoDelete;
  m_bAutoDelete = false;  // the views going away must not delete the document under us
  std::vector<CView*> views = m_viewList;
  for (CView* pView : views) {
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (pFrame != nullptr && pFrame->HasWindow()) pFrame->DestroyWindow();
  }
  m_bAutoDelete = bAutoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

bool CDocument::SaveModified() { return !IsModified() || DoFileSave(); }

bool CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

void CDocument::Serialize(CArchive&) {}

void CDocument::ReportSaveLoadException(const std::string&, const FileError* error, bool, UINT nIDPDefault) {
  if (error != nullptr && error->m_cause != FileError::none)
    AfxMessageBox(error->GetErrorMessage(), MB_ICONEXCLAMATION);
  else
    AfxMessageBox(nIDPDefault, MB_ICONEXCLAMATION);
}

void CDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

bool CDocument::DoFileSave() {
  // Only empty files are ever written, so a file at the path name that holds data is not one of
  // ours (it came from File Open or was changed since): ask for a name rather than silently
  // emptying it. A missing, read-only or special file asks too.
  struct stat st {};
  bool storable = !m_strPathName.empty() && stat(m_strPathName.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                  st.st_size == 0 && !AtomicFile::IsReadOnly(m_strPathName, st);
  return DoSave(storable ? m_strPathName.c_str() : nullptr);
}

bool CDocument::DoSave(const char* pathName, bool bReplace) {
  std::string newName = pathName ? pathName : "";
  if (newName.empty()) {
    newName = m_strPathName;
    if (newName.empty()) {
      newName = m_strTitle.substr(0, m_strTitle.find_first_of(" #%;/\\"));
      std::string ext;
      if (m_pDocTemplate != nullptr && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt)) newName += ext;
    }
    if (!AfxGetApp()->DoPromptFileName(newName, AFX_IDS_SAVEFILE, false, m_pDocTemplate)) return false;
  }
  CWaitCursor wait;
  if (!OnSaveDocument(newName)) return false;
  if (bReplace) SetPathName(Glib::canonicalize_filename(newName));
  return true;
}
