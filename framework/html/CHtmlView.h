// A view that hosts the WebKitGTK engine. It navigates, steps through the engine's history, prints
// the page shown, and turns the engine's signals into the browser events below; of those, only the
// status text does anything by default: it goes to the parent frame's message pane.
#pragma once

#include <string>

#include "window/CView.h"

typedef struct _WebKitWebView WebKitWebView;

class CHtmlView : public CView {
 public:
  DECLARE_DYNCREATE(CHtmlView)
  CHtmlView() = default;

  // Shows a file-system path (or a URI, when it has a scheme).
  void Navigate2(const std::string& url);
  // Shows generated HTML whose relative links resolve against baseDir.
  void LoadHtml(const std::string& html, const std::string& baseDir);
  void GoBack();
  void GoForward();
  WebKitWebView* GetBrowser() const { return m_pBrowserApp; }
  void GiveFocus() override;

  // Browser events.
  virtual void OnStatusTextChange(const std::string& text);
  virtual void OnTitleChange(const std::string&) {}
  virtual void OnDocumentComplete(const std::string&) {}

 protected:
  Gtk::Widget* CreateWidget(const CREATESTRUCT& cs) override;
  void OnDestroy();
  void OnFilePrint();

  WebKitWebView* m_pBrowserApp = nullptr;  // the engine's widget, owned by the view's widget

 private:
  static void OnLoadChanged(WebKitWebView* webView, int loadEvent, CHtmlView* self);
  bool m_bLoadFailed = false;

  DECLARE_MESSAGE_MAP()
};
