#include "content/FOLIOSCPDoc.h"

#include "doc/CArchive.h"

IMPLEMENT_DYNCREATE(CFOLIOSCPDoc, CDocument)

static_assert(sizeof(CFOLIOSCPDoc) == sizeof(CDocument), "the document holds no data of its own");

BEGIN_MESSAGE_MAP(CFOLIOSCPDoc, CDocument)
END_MESSAGE_MAP()

// Where a new document would be set up; this one holds no data, so the base's reset is all. The
// override stays as the document's own step of File New.
bool CFOLIOSCPDoc::OnNewDocument() { return CDocument::OnNewDocument(); }

void CFOLIOSCPDoc::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    // The stored form is empty.
  } else {
    // Nothing is read.
  }
}
