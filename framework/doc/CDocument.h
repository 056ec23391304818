// A document: title, path name, modified flag, its views, and the file commands Save, Save As and
// Close. Its owner is its template; it deletes itself when its last view goes (auto-delete).
#pragma once

#include <string>
#include <vector>

#include "core/CCmdTarget.h"

class CArchive;
class CDocTemplate;
class FileError;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
 public:
  DECLARE_DYNAMIC(CDocument)
  CDocument() = default;
  ~CDocument() override;

  const std::string& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const std::string& title);
  const std::string& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(const std::string& pathName, bool bAddToMRU = true);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }
  const std::vector<CView*>& GetViews() const { return m_viewList; }
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  void UpdateFrameCounts();

  virtual bool OnNewDocument();
  virtual bool OnOpenDocument(const std::string& pathName);
  virtual bool OnSaveDocument(const std::string& pathName);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual bool SaveModified();
  virtual bool CanCloseFrame(CFrameWnd* pFrame);
  virtual void Serialize(CArchive& ar);
  virtual void OnIdle() {}
  virtual void ReportSaveLoadException(const std::string& pathName, const FileError* error, bool bSaving,
                                       UINT nIDPDefault);

  // View → document → template.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  bool m_bAutoDelete = true;

 protected:
  void OnFileClose();
  void OnFileSave();
  void OnFileSaveAs();
  // Saves under pathName, or asks for a name first when pathName is nullptr.
  virtual bool DoSave(const char* pathName, bool bReplace = true);
  virtual bool DoFileSave();

  std::string m_strTitle;
  std::string m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_viewList;
  bool m_bModified = false;

 private:
  friend class CDocTemplate;
  DECLARE_MESSAGE_MAP()
};
