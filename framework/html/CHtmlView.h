// A view that hosts the browser control (BrowserControl on the WebKitGTK engine). It navigates,
// steps through the engine's history and prints the page shown; the control's events arrive at the
// hooks below, of which only the status text does anything by default: it goes to the parent
// frame's message pane.
#pragma once

#include <string>

#include "html/BrowserEvents.h"
#include "window/CView.h"

typedef struct _WebKitWebView WebKitWebView;
class BrowserControl;

class CHtmlView : public CView, protected BrowserEvents {
 public:
  DECLARE_DYNCREATE(CHtmlView)
  CHtmlView() = default;

  // Shows a file-system path (or a URI, when it has a scheme).
  void Navigate2(const std::string& url);
  // Shows generated HTML whose relative links resolve against baseDir.
  void LoadHtml(const std::string& html, const std::string& baseDir);
  void GoBack();
  void GoForward();
  // The engine's view and the control around it; nullptr before creation and after destruction.
  WebKitWebView* GetBrowser() const { return m_pBrowserApp; }
  BrowserControl* GetControl() const { return m_pControl; }
  void GiveFocus() override;

 protected:
  // Browser events.
  void OnStatusTextChange(const std::string& text) override;
  void OnProgressChange(long, long) override {}
  void OnCommandStateChange(long, bool) override {}
  void OnDownloadBegin() override {}
  void OnDownloadComplete() override {}
  void OnTitleChange(const std::string&) override {}
  void OnNavigateComplete2(const std::string&) override {}
  void OnBeforeNavigate2(const std::string&, const std::string&, bool*) override {}
  void OnPropertyChange(const std::string&) override {}
  void OnNewWindow2(bool*) override {}
  void OnDocumentComplete(const std::string&) override {}
  void OnQuit() override {}
  void OnVisible(bool) override {}
  void OnToolBar(bool) override {}
  void OnMenuBar(bool) override {}
  void OnStatusBar(bool) override {}
  void OnFullScreen(bool) override {}
  void OnTheaterMode(bool) override {}

  Gtk::Widget* CreateWidget(const CREATESTRUCT& cs) override;
  void OnDestroy();
  void OnFilePrint();

  WebKitWebView* m_pBrowserApp = nullptr;  // the engine's view, inside m_pControl
  BrowserControl* m_pControl = nullptr;    // the view's widget, owned as such by CWnd

 private:
  DECLARE_MESSAGE_MAP()
};
