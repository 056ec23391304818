// The template of a single-document program: one document, one frame, reused by every File New
// and File Open.
#pragma once

#include "doc/CDocTemplate.h"

class CSingleDocTemplate : public CDocTemplate {
 public:
  DECLARE_DYNAMIC(CSingleDocTemplate)
  using CDocTemplate::CDocTemplate;

  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;
  CDocument* OpenDocumentFile(const char* pathName, bool bMakeVisible = true) override;
  void SetDefaultTitle(CDocument* pDocument) override;

 protected:
  CDocument* m_pOnlyDoc = nullptr;

 private:
  // The document to open into: the only one once its changes are saved or given up (with its
  // frame, when it has one), or a new one. nullptr when the user keeps the changes or, after a
  // message box, when no document could be made.
  CDocument* TakeDocument(CFrameWnd*& pFrame, bool& bCreated);
  // A new frame with its view for the document, which survives its views coming and going meanwhile.
  CFrameWnd* CreateFrameFor(CDocument* pDocument);
  // Makes the document new (pathName nullptr) or reads the file into it. On failure a new frame
  // goes (and with its view the document); a reused document keeps its modified state.
  bool LoadDocument(CDocument* pDocument, const char* pathName, CFrameWnd* pNewFrame);
};
