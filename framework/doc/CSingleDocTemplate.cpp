#include "doc/CSingleDocTemplate.h"

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/Trace.h"
#include "doc/CDocument.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"
#include "window/WaitCursor.h"

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
  CDocTemplate::AddDocument(pDoc);
  m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
  CDocTemplate::RemoveDocument(pDoc);
  if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  std::string title;
  if (!GetDocString(title, docName) || title.empty()) title = AfxLoadString(AFX_IDS_UNTITLED);
  pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* pathName, bool bMakeVisible) {
  CFrameWnd* pFrame = nullptr;
  bool bCreated = false;
  CDocument* pDocument = TakeDocument(pFrame, bCreated);
  if (pDocument == nullptr) return nullptr;

  CFrameWnd* pNewFrame = nullptr;
  if (pFrame == nullptr) {
    pFrame = pNewFrame = CreateFrameFor(pDocument);
    if (pFrame == nullptr) {
      AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
      if (bCreated) delete pDocument;
      return nullptr;
    }
    bMakeVisible = true;
  }

  if (!LoadDocument(pDocument, pathName, pNewFrame)) return nullptr;

  CWinApp* pApp = AfxGetApp();
  if (pNewFrame != nullptr && pApp->m_pMainWnd == nullptr) pApp->m_pMainWnd = pNewFrame;
  InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
  return pDocument;
}

CDocument* CSingleDocTemplate::TakeDocument(CFrameWnd*& pFrame, bool& bCreated) {
  if (m_pOnlyDoc != nullptr) {
    if (!m_pOnlyDoc->SaveModified()) return nullptr;
    if (!m_pOnlyDoc->GetViews().empty()) pFrame = m_pOnlyDoc->GetViews().front()->GetParentFrame();
    return m_pOnlyDoc;
  }
  CDocument* pDocument = CreateNewDocument();
  if (pDocument == nullptr) AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
  bCreated = pDocument != nullptr;
  return pDocument;
}

CFrameWnd* CSingleDocTemplate::CreateFrameFor(CDocument* pDocument) {
  const bool bAutoDelete = pDocument->m_bAutoDelete;
  pDocument->m_bAutoDelete = false;
  CFrameWnd* pFrame = CreateNewFrame(pDocument);
  pDocument->m_bAutoDelete = bAutoDelete;
  return pFrame;
}

bool CSingleDocTemplate::LoadDocument(CDocument* pDocument, const char* pathName, CFrameWnd* pNewFrame) {
  if (pathName == nullptr) {
    SetDefaultTitle(pDocument);
    if (pDocument->OnNewDocument()) return true;
    AfxTrace("CDocument::OnNewDocument returned false.\n");
    if (pNewFrame != nullptr) pNewFrame->DestroyWindow();
    return false;
  }
  CWaitCursor wait;
  const bool bWasModified = pDocument->IsModified();
  pDocument->SetModifiedFlag(false);
  if (!pDocument->OnOpenDocument(pathName)) {
    AfxTrace("CDocument::OnOpenDocument returned false.\n");
    if (pNewFrame != nullptr)
      pNewFrame->DestroyWindow();  // its view goes, and with it the document
    else if (!pDocument->IsModified())
      pDocument->SetModifiedFlag(bWasModified);
    return false;
  }
  pDocument->SetPathName(pathName);
  return true;
}
