// A document template binds a document class, a frame class and a view class to a resource set,
// creates them from their runtime-class records and owns the documents it creates.
#pragma once

#include <string>
#include <vector>

#include "core/CCmdTarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
 public:
  DECLARE_DYNAMIC(CDocTemplate)
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  enum Confidence {
    noAttempt,
    maybeAttemptForeign,
    maybeAttemptNative,
    yesAttemptForeign,
    yesAttemptNative,
    yesAlreadyOpen
  };

  CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
               const CRuntimeClass* pViewClass);
  ~CDocTemplate() override;

  UINT GetResourceID() const { return m_nIDResource; }
  virtual bool GetDocString(std::string& rString, DocStringIndex index) const;
  virtual const std::vector<CDocument*>& GetDocuments() const { return m_docList; }
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);

  virtual CDocument* CreateNewDocument();
  // A new frame for the document, with its view; nullptr (after a trace) when it cannot be built.
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible = true);
  virtual CDocument* OpenDocumentFile(const char* pathName, bool bMakeVisible = true) = 0;
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;
  // yesAlreadyOpen (and the document) when pathName names a file one of its documents holds.
  virtual Confidence MatchDocType(const std::string& pathName, CDocument*& rpDocMatch);

  virtual bool SaveAllModified();
  virtual void CloseAllDocuments(bool bEndSession);

 protected:
  UINT m_nIDResource;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
  std::string m_strDocStrings;
  std::vector<CDocument*> m_docList;
};

// True when both names denote the same file: the same device and inode when both exist, else
// exactly the same names.
bool AfxComparePath(const std::string& path1, const std::string& path2);
