// The browser control: the WebKit engine's view with a find bar under it, inside the host's sunken
// edge. It reports the engine's events to its host (BrowserEvents) and adds what a user expects of a
// viewer, without the host's help: link addresses and load progress as status texts, Ctrl+F find,
// zoom by keys and Ctrl+wheel, history by Alt+Left/Right and the mouse's back and forward buttons,
// F5 reload, new windows opened in place (NavigationPolicy), and a page naming the path of a local
// file that cannot be opened. The engine keeps its secure defaults: pages from files get no
// universal access and no access to other files beyond what it allows on its own.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/frame.h>

#include <memory>
#include <string>

#include "html/BrowserBindings.h"
#include "html/BrowserEvents.h"
#include "html/FindBar.h"
#include "html/NavigationPolicy.h"
#include "html/PagePrinter.h"

typedef struct _WebKitWebView WebKitWebView;

class BrowserControl : public Gtk::Frame {
 public:
  BrowserControl(BrowserEvents& events, bool sunkenEdge);
  ~BrowserControl() override;

  WebKitWebView* GetWebView() const { return m_webView; }
  FindBar& GetFindBar() { return m_findBar; }
  // The host, or nullptr once it has let go (Detach); events then go nowhere.
  BrowserEvents* GetEvents() const { return m_events; }
  void Detach() { m_events = nullptr; }

  void Navigate(const std::string& uri);
  // Shows generated HTML whose relative links resolve against baseUri ("" for none).
  void LoadHtml(const std::string& html, const std::string& baseUri);
  // Shows a folder as the view's start does: its start page, else its generated page.
  void ShowFolder(const std::string& dir, std::size_t first = 0);
  // Shows the page saying that the local file at path cannot be opened, and why.
  void ShowFileError(const std::string& path, const std::string& reason);
  void GoBack();
  void GoForward();
  void Print();
  // Gives the focus back to the widget inside the control that last had it, else to the page.
  void GiveFocus();
  void Perform(BrowserAction action);
  void ReportStatus(const std::string& text);
  // The page F1 shows; "" when there is none.
  void SetGuide(const std::string& path) { m_guide = path; }

 private:
  void ConnectInput(GtkWidget* widget);
  void Step(int direction);
  void StopPage();
  void OnLoadChanged(int loadEvent);
  bool OnLoadFailed(int loadEvent, const char* uri, GError* error);

  BrowserEvents* m_events;
  WebKitWebView* m_webView;  // owned by m_box
  Gtk::Box m_box{Gtk::ORIENTATION_VERTICAL};
  FindBar m_findBar;
  NavigationPolicy m_policy;
  PagePrinter m_printer;
  BrowserBindings m_bindings;
  int m_pendingStep = 0;  // history steps asked for whose page has not committed yet
  bool m_overLink = false;
  bool m_loadFailed = false;
  std::string m_failedUri;    // the failed load whose error page is on its way
  std::string m_failureText;  // shown for the page that failed until the next load starts
  std::string m_guide;
};
