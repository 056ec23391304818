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
  CDocument* pDocument = nullptr;
  CFrameWnd* pFrame = nullptr;
  bool bCreated = false;
  if (m_pOnlyDoc != nullptr) {
    pDocument = m_pOnlyDoc;
    if (!pDocument->SaveModified()) return nullptr;
    if (!pDocument->GetViews().empty()) pFrame = pDocument->GetViews().front()->GetParentFrame();
  } else {
    pDocument = CreateNewDocument();
    bCreated = true;
  }
  if (pDocument == nullptr) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
    return nullptr;
  }

  bool bCreatedNewFrame = false;
  if (pFrame == nullptr) {
    bMakeVisible = true;
    bCreatedNewFrame = true;
    // While the frame is built the document must survive its views coming and going.
    bool bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = false;
    pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (pFrame == nullptr) {
      AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
      if (bCreated) delete pDocument;
      return nullptr;
    }
  }

  if (pathName == nullptr) {
    SetDefaultTitle(pDocument);
    if (!pDocument->OnNewDocument()) {
      AfxTrace("CDocument::OnNewDocument returned FALSE.\n");
      if (bCreatedNewFrame) pFrame->DestroyWindow();
      return nullptr;
    }
  } else {
    CWaitCursor wait;
    bool bWasModified = pDocument->IsModified();
    pDocument->SetModifiedFlag(false);
    if (!pDocument->OnOpenDocument(pathName)) {
      AfxTrace("CDocument::OnOpenDocument returned FALSE.\n");
      if (bCreatedNewFrame)
        pFrame->DestroyWindow();  // its view goes, and with it the document
      else if (!pDocument->IsModified())
        pDocument->SetModifiedFlag(bWasModified);
      return nullptr;
    }
    pDocument->SetPathName(pathName);
  }

  CWinApp* pApp = AfxGetApp();
  if (bCreatedNewFrame && pApp->m_pMainWnd == nullptr) pApp->m_pMainWnd = pFrame;
  InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
  return pDocument;
}
