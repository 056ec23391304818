// A view that hosts the browser control (BrowserControl on the WebKitGTK engine). It navigates,
// steps through the engine's history and prints the page shown (ID_FILE_PRINT); the control's events
// arrive at the BrowserEvents hooks, of which only the status text does anything by default.
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
  WebKitWebView* GetBrowser() const;
  BrowserControl* GetControl() const { return m_pControl; }
  void GiveFocus() override;

 protected:
  // The status text goes to the parent frame's message pane.
  void OnStatusTextChange(const std::string& text) override;

  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;
  void OnDestroy();
  void OnFilePrint();

  BrowserControl* m_pControl = nullptr;  // the view's widget, owned as such by CWnd

 private:
  DECLARE_MESSAGE_MAP()
};
