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
};
