// The document: it holds no data. Opening a file reads nothing of it; saving writes an empty file.
#pragma once

#include "doc/CDocument.h"

class CFOLIOSCPDoc : public CDocument {
 public:
  DECLARE_DYNCREATE(CFOLIOSCPDoc)
  CFOLIOSCPDoc() = default;
  ~CFOLIOSCPDoc() override = default;

  void Serialize(CArchive& ar) override;
  void AssertValid() const override { CDocument::AssertValid(); }
  void Dump() const override { CDocument::Dump(); }
  bool OnNewDocument() override;

  DECLARE_MESSAGE_MAP()
};
