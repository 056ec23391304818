#include "content/FOLIOSCPView.h"

#include <glib.h>
#include <gtkmm/widget.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <utility>

#include "content/StartPage.h"
#include "content/search/FolderSearch.h"
#include "content/search/ResultsPage.h"
#include "content/search/SearchBar.h"
#include "content/search/SearchQuery.h"
#include "core/AfxRes.h"
#include "core/Trace.h"
#include "html/BrowserControl.h"
#include "html/GeneratedPages.h"
#include "resources/Resource.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNCREATE(CFOLIOSCPView, CHtmlView)

BEGIN_MESSAGE_MAP(CFOLIOSCPView, CHtmlView)
  ON_COMMAND(ID_BACK_BROWSER, OnBackBrowser)
  ON_COMMAND(ID_FORWARD_BROWSER, OnForwardBrowser)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CFOLIOSCPView::~CFOLIOSCPView() { EndSearch(); }

CFOLIOSCPDoc* CFOLIOSCPView::GetDocument() const {
  g_assert(CView::GetDocument() == nullptr || CView::GetDocument()->IsKindOf(RUNTIME_CLASS(CFOLIOSCPDoc)));
  return static_cast<CFOLIOSCPDoc*>(CView::GetDocument());
}

void CFOLIOSCPView::OnInitialUpdate() {
  CHtmlView::OnInitialUpdate();
  if (!m_searchKey.connected() && GetBrowser() != nullptr) {
    const auto searchKey = [this](GdkEventKey* event) {
      const guint modifiers = event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK);
      if (gdk_keyval_to_lower(event->keyval) != GDK_KEY_f || modifiers != (GDK_CONTROL_MASK | GDK_SHIFT_MASK))
        return false;
      OpenSearch();
      return true;
    };
    m_searchKey = Glib::wrap(GTK_WIDGET(GetBrowser()))->signal_key_press_event().connect(searchKey);
    // A key the bars' entries leave alone goes on up to the control.
    m_searchKeyInBars = GetControl()->signal_key_press_event().connect(searchKey);
  }
  // Looked up afresh each time, in the current directory of this moment.
  const FolderPage page = StartPage::FindInCurrentDirectory();
  if (!page.path.empty())
    Navigate2(page.path);
  else
    LoadHtml(page.html, page.baseDir);
}

void CFOLIOSCPView::OnBackBrowser() { GoBack(); }

void CFOLIOSCPView::OnForwardBrowser() { GoForward(); }

void CFOLIOSCPView::OnDestroy() {
  EndSearch();
  CHtmlView::OnDestroy();
}

// Indexing ends and no event reaches the view once its window goes.
void CFOLIOSCPView::EndSearch() {
  m_searchKey.disconnect();
  m_searchKeyInBars.disconnect();
  if (m_search != nullptr) GeneratedPages::Provide(nullptr);
  m_search.reset();
  m_searchBar.reset();
}

void CFOLIOSCPView::OpenSearch() {
  if (m_searchBar == nullptr && GetControl() != nullptr) {
    m_searchBar = std::make_unique<SearchBar>([this](const std::string& typed) { ShowResults(typed); },
                                              [this] { FocusResults(); },
                                              [this] {
                                                if (m_search != nullptr) m_search->Cancel();
                                              });
    GetControl()->AddBar(*m_searchBar);
  }
  if (m_searchBar != nullptr) m_searchBar->Open();
}

// The page takes the keyboard; on results, their first hit does, so that Enter follows it and Tab
// moves on from it. (Asked in a script world of the view's own, which the page cannot change.)
void CFOLIOSCPView::FocusResults() {
  WebKitWebView* engine = GetBrowser();
  if (engine == nullptr) return;
  gtk_widget_grab_focus(GTK_WIDGET(engine));
  const char* shown = webkit_web_view_get_uri(engine);
  if (shown == nullptr || !ResultsPage::Parse(shown)) return;
  webkit_web_view_evaluate_javascript(engine, "document.querySelector('ol > li > a')?.focus()", -1, "search", nullptr,
                                      nullptr, nullptr, nullptr);
}

void CFOLIOSCPView::ShowResults(const std::string& typed) {
  if (m_search == nullptr) {
    // The folder the viewer shows: the current directory, by its canonical path.
    char* folder = realpath(".", nullptr);
    if (folder == nullptr) return ShowSearchStatus("The current folder cannot be searched.");
    m_search = std::make_unique<FolderSearch>(
        folder, [this](const std::string& text) { ShowSearchStatus(text); },
        [this] {
          ShowSearchStatus("");
          // The results shown, or on their way, made again from the whole index.
          WebKitWebView* engine = GetBrowser();
          const char* shown = engine != nullptr ? webkit_web_view_get_uri(engine) : nullptr;
          if (shown == nullptr || !ResultsPage::Parse(shown)) return;
          // Results still loading may have been made from part of the index: made again once loaded.
          if (webkit_web_view_is_loading(engine))
            m_remakeResults = true;
          else
            webkit_web_view_reload(engine);
        });
    free(folder);
    GeneratedPages::Provide([this](const std::string& address) { return m_search->Page(address); });
  }
  m_search->Refresh();
  // One history entry per search: while results are shown, the next ones take their place.
  const std::string address = ResultsPage::Address({m_search->FolderUri(), typed, 0});
  WebKitWebView* engine = GetBrowser();
  const char* shown = engine != nullptr ? webkit_web_view_get_uri(engine) : nullptr;
  const std::optional<ResultsPage::Request> showing = shown != nullptr ? ResultsPage::Parse(shown) : std::nullopt;
  if (showing && showing->folderUri == m_search->FolderUri() && GetControl() != nullptr)
    GetControl()->Replace(address);
  else
    Navigate2(address);
}

void CFOLIOSCPView::OnBeforeNavigate2(const std::string& url, const std::string&, bool*) {
  if (url == m_markOn) return;  // the same hit, asked for again as the link is handed on
  m_markOn.clear();
  WebKitWebView* engine = GetBrowser();
  const char* shown = engine != nullptr ? webkit_web_view_get_uri(engine) : nullptr;
  const std::optional<ResultsPage::Request> from = shown != nullptr ? ResultsPage::Parse(shown) : std::nullopt;
  if (!from || ResultsPage::Parse(url)) return;
  m_markOn = url;
  m_markWords = SearchQuery::Parse(from->typed).Words();
}

void CFOLIOSCPView::OnDocumentComplete(const std::string& url) {
  if (std::exchange(m_remakeResults, false) && ResultsPage::Parse(url) && GetBrowser() != nullptr)
    webkit_web_view_reload(GetBrowser());
  if (!m_markOn.empty() && url == m_markOn && GetControl() != nullptr) GetControl()->MarkWords(m_markWords);
  m_markOn.clear();
}

void CFOLIOSCPView::ShowSearchStatus(const std::string& text) {
  if (CFrameWnd* frame = GetParentFrame())
    text.empty() ? frame->SetMessageText(AFX_IDS_IDLEMESSAGE) : frame->SetMessageText(text);
}
