// The content view: the engine shows the folder's start page at every initial update; Back and
// Forward step through its history; Print is the framework view's. Ctrl+Shift+F in the page opens
// the bar that searches every page of the folder (SearchBar, FolderSearch); its results are pages
// of their own.
#pragma once

#include <sigc++/connection.h>

#include <memory>
#include <string>
#include <vector>

#include "content/FOLIOSCPDoc.h"
#include "html/CHtmlView.h"

class FolderSearch;
class SearchBar;

class CFOLIOSCPView : public CHtmlView {
 public:
  DECLARE_DYNCREATE(CFOLIOSCPView)
  CFOLIOSCPView() = default;
  ~CFOLIOSCPView() override;

  CFOLIOSCPDoc* GetDocument() const;
  void OnInitialUpdate() override;
  void OnDraw() override {}  // the engine paints the page
  void AssertValid() const override { CHtmlView::AssertValid(); }
  void Dump() const override { CHtmlView::Dump(); }

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override { return CHtmlView::PreCreateWindow(cs); }
  void OnBackBrowser();
  void OnForwardBrowser();
  void OnDestroy();
  void EndSearch();
  // Shows the search bar, made at the first use: nothing of search exists before.
  void OpenSearch();
  void FocusResults();
  void ShowResults(const std::string& typed);
  void ShowSearchStatus(const std::string& text);
  // A hit followed from a results page shows its page with the search's words marked.
  void OnBeforeNavigate2(const std::string& url, const std::string& targetFrameName, bool* cancel) override;
  void OnDocumentComplete(const std::string& url) override;

  std::unique_ptr<SearchBar> m_searchBar;
  std::unique_ptr<FolderSearch> m_search;
  sigc::connection m_searchKey;          // Ctrl+Shift+F in the page
  sigc::connection m_searchKeyInBars;    // and in the find and search bars
  std::string m_markOn;                  // the hit on its way from a results page
  bool m_remakeResults = false;          // the results loading now are made again once loaded
  std::vector<std::string> m_markWords;  // the words to mark on it

  DECLARE_MESSAGE_MAP()
};
