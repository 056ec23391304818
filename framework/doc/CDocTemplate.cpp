#include "doc/CDocTemplate.h"

#include <glib.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "core/ResourceModule.h"
#include "core/Trace.h"
#include "doc/CCreateContext.h"
#include "doc/CDocument.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass),
      m_strDocStrings(AfxLoadString(nIDResource)) {}

CDocTemplate::~CDocTemplate() {
  std::vector<CDocument*> docs = m_docList;
  for (CDocument* pDoc : docs) delete pDoc;
}

bool CDocTemplate::GetDocString(std::string& rString, DocStringIndex index) const {
  return AfxExtractSubString(rString, m_strDocStrings, int(index));
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
  m_docList.push_back(pDoc);
  pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
  m_docList.erase(std::remove(m_docList.begin(), m_docList.end(), pDoc), m_docList.end());
  pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  std::unique_ptr<CObject> object(m_pDocClass ? m_pDocClass->CreateObject() : nullptr);
  auto* pDocument = dynamic_cast<CDocument*>(object.get());
  if (pDocument == nullptr) {
    AfxTrace("Warning: Dynamic create of document type failed.\n");
    return nullptr;
  }
  object.release();  // the document deletes itself when its last view goes (or this template does)
  AddDocument(pDocument);
  return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc) {
  CCreateContext context;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  std::unique_ptr<CObject> object(m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr);
  auto* pFrame = dynamic_cast<CFrameWnd*>(object.get());
  if (pFrame == nullptr) {
    AfxTrace("Warning: Dynamic create of frame failed.\n");
    return nullptr;
  }
  object.release();  // a window deletes itself once destroyed
  // On failure the frame has already deleted itself.
  if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
    AfxTrace("Warning: CDocTemplate couldn't create a frame.\n");
    return nullptr;
  }
  return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible) {
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const std::string& pathName, CDocument*& rpDocMatch) {
  rpDocMatch = nullptr;
  for (CDocument* pDoc : m_docList) {
    if (!pDoc->GetPathName().empty() && AfxComparePath(pDoc->GetPathName(), pathName)) {
      rpDocMatch = pDoc;
      return yesAlreadyOpen;
    }
  }
  return yesAttemptNative;  // no filter extension: every file is this template's type
}

bool CDocTemplate::SaveAllModified() {
  for (CDocument* pDoc : m_docList)
    if (!pDoc->SaveModified()) return false;
  return true;
}

void CDocTemplate::CloseAllDocuments(bool) {
  std::vector<CDocument*> docs = m_docList;
  for (CDocument* pDoc : docs) pDoc->OnCloseDocument();
}

bool AfxComparePath(const std::string& path1, const std::string& path2) {
  struct stat st1 {
  }, st2{};
  if (stat(path1.c_str(), &st1) == 0 && stat(path2.c_str(), &st2) == 0)
    return st1.st_dev == st2.st_dev && st1.st_ino == st2.st_ino;
  // Names differing only in letter case are different files here, unless the file system says
  // otherwise through the inode above.
  return path1 == path2;
}
