// The application's document templates and the File New and File Open commands that act on them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Afx.h"

class CDocTemplate;
class CDocument;

class CDocManager {
 public:
  CDocManager() = default;
  ~CDocManager();
  CDocManager(const CDocManager&) = delete;
  CDocManager& operator=(const CDocManager&) = delete;

  void AddDocTemplate(CDocTemplate* pTemplate);  // takes ownership
  const std::vector<std::unique_ptr<CDocTemplate>>& GetTemplates() const { return m_templateList; }

  void OnFileNew();
  void OnFileOpen();
  // Opens the named file (normalised to a full path) or, when it is already open, only activates
  // its frame. nullptr on failure, which has been reported.
  CDocument* OpenDocumentFile(const std::string& fileName);
  bool DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog, CDocTemplate* pTemplate);
  bool SaveAllModified();
  void CloseAllDocuments(bool bEndSession);

  // A command-line or dialog name as a full path: a quoted name loses its quotes, and a symbolic
  // link is resolved to its target.
  static std::string NormalizeFileName(const std::string& fileName);

 private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templateList;
};
