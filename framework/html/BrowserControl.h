// The browser control: the WebKit engine's view with a find bar under it, inside the host's sunken
// edge. It reports the engine's events to its host (BrowserEvents) and adds what a user expects of a
// viewer, without the host's help: link addresses and load progress as status texts, Ctrl+F find,
// zoom by keys and Ctrl+wheel, history by Alt+Left/Right and the mouse's back and forward buttons,
// F5 reload, new windows opened in place (NavigationPolicy), and a page naming the path of a local
// file that cannot be opened. No page can keep the view: a page process that does not answer when
// the view is taken elsewhere is ended (PageWatchdog), one that grows past its memory cap is ended
// and a text takes its place (BrowserContext), and a page prints only just after a click or a key in
// it. The engine keeps its secure defaults: pages from files get no universal access and no access to
// other files beyond what it allows on its own.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/GObjectPtr.h"
#include "html/BrowserBindings.h"
#include "html/BrowserEvents.h"
#include "html/FindBar.h"
#include "html/FolderPages.h"
#include "html/FollowedLinks.h"
#include "html/HeldModifiers.h"
#include "html/NavigationPolicy.h"
#include "html/PagePrinter.h"
#include "html/PageTabCycle.h"
#include "html/PageWatchdog.h"

class BrowserControl : public Gtk::Frame, public NavigationHost {
 public:
  BrowserControl(BrowserEvents& events, bool sunkenEdge);
  ~BrowserControl() override;

  WebKitWebView* GetWebView() const { return m_webView; }
  FindBar& GetFindBar() { return m_findBar; }
  // Puts a bar of the host's under the page, beside the find bar; the bar must outlive the control
  // or be removed first. The view's keys (Ctrl+F, F5, Alt+Left...) work in the bar as in the page,
  // where the bar's own widgets leave them alone.
  void AddBar(Gtk::Widget& bar);
  // What stands in the engine's place after a page was stopped for its size; hidden otherwise.
  const Gtk::Label& GetStoppedPage() const { return m_stoppedPage; }
  // The host, or nullptr once it has let go (Detach); events then go nowhere.
  BrowserEvents* GetEvents() const override { return m_events; }
  void Detach() { m_events = nullptr; }

  void Navigate(const std::string& uri) override;
  // Shows uri in place of the page shown: its history entry is replaced, not added to.
  void Replace(const std::string& uri);
  // Marks the words that begin with one of words (letter case aside) in the page shown, as the
  // find bar would highlight them, without moving the page.
  void MarkWords(const std::vector<std::string>& words);
  // Shows generated HTML whose relative links resolve against baseUri ("" for none), as a history
  // entry of its own (GeneratedPages) at the folder's address with query, if any, after it.
  void LoadHtml(const std::string& html, const std::string& baseUri, const std::string& query = "");
  // Shows a folder as the view's start does: its start page, else its generated page.
  void ShowFolder(const std::string& dir, std::size_t first) override;
  void ShowFileError(const std::string& path, const std::string& reason) override;
  // A folder's page, once its listing is made.
  void ShowFolderPage(const FolderPage& page, std::size_t first);
  void GoBack();
  void GoForward();
  void Print();
  // Gives the focus back to the widget inside the control that last had it, else to the page.
  void GiveFocus();
  void Perform(BrowserAction action);
  // Hands the copy key on to the engine once the page is known to have a selection.
  void CopySelection(GdkEventKey* key);
  struct PendingCopy {
    BrowserControl* self;
    GdkEvent* key;
  };
  static void OnSelectionKnown(GObject* view, GAsyncResult* result, gpointer data);
  void ReportStatus(const std::string& text) override;
  void ReportNotice(const std::string& text) override;
  bool ReaderStepPending() const override;
  void PageInTheWay() override;
  // The page F1 shows; "" when there is none.
  void SetGuide(const std::string& path) { m_guide = path; }

 private:
  // The constructor's steps.
  void PackWidgets(bool sunkenEdge);
  void ConnectEngine();
  // The control's keys, buttons and wheel act before the page sees them; everything else is the page's.
  void ConnectInput(GtkWidget* widget);

  // The engine's signals.
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, BrowserControl* self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent loadEvent, gchar* uri, GError* error,
                               BrowserControl* self);
  static void OnMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, guint modifiers, BrowserControl* self);
  static void OnTitleChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self);
  static void OnProgressChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self);
  static void OnHistoryChanged(WebKitBackForwardList*, WebKitBackForwardListItem* added, GList* removed,
                               BrowserControl* self);
  static void OnPageProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, BrowserControl* self);
  static void OnResponsiveChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self);
  static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, BrowserControl* self);
  static gboolean OnPrint(WebKitWebView*, WebKitPrintOperation* operation, BrowserControl* self);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit,
                                BrowserControl*);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, BrowserControl* self);
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, BrowserControl* self);
  static gboolean OnScroll(GtkWidget*, GdkEventScroll* event, BrowserControl* self);

  void FollowLoad(WebKitLoadEvent loadEvent);
  bool ShowLoadFailure(WebKitLoadEvent loadEvent, const char* uri, const GError* error);
  void ShowPageProcessEnded(WebKitWebProcessTerminationReason reason);
  void RemoveEndedPagesDialogs();
  bool AnswerScriptDialog(WebKitScriptDialog* dialog);
  void PrintForPage(WebKitPrintOperation* operation);
  void Step(int direction);
  void GoTo(std::shared_ptr<WebKitBackForwardListItem> item);
  // The entry is a place in the page the engine has begun to show and is still loading.
  bool PlaceInPageLoading(WebKitBackForwardListItem* item) const;
  bool PlaceInShownPage(WebKitBackForwardListItem* item) const;
  void SettleStep(WebKitBackForwardListItem* added, GList* removed);
  // Goes on past a state the page pushed in answer to a step back; true when it does.
  bool StepPastPushedState();
  // The reader pressed a key, a button or turned the wheel in the view: the place on the current
  // entry is the reader's own, which a step back to it restores.
  void NoteReaderMoved();
  bool ReaderMovedOn(WebKitBackForwardListItem* item) const;
  void ShowFragment();
  void StopPage();
  // Runs a request of the host's or the user's that takes the view to another page (PageWatchdog).
  void Leave(std::function<void()> request);
  // The window the control is in; nullptr while it is in none.
  GtkWindow* Window();

  BrowserEvents* m_events;
  WebKitWebView* m_webView;  // owned by m_box
  Gtk::Box m_box{Gtk::ORIENTATION_VERTICAL};
  Gtk::Label m_stoppedPage;  // in the engine's place while no page is shown after a page too large
  FindBar m_findBar;
  PageWatchdog m_watchdog;  // before m_policy: it sees every policy question
  PageTabCycle m_tabCycle;
  HeldModifiers m_heldModifiers;
  FollowedLinks m_followedLinks;  // before m_policy: it sees every link followed
  NavigationPolicy m_policy;
  PagePrinter m_printer;
  BrowserBindings m_bindings;
  // A folder's listing being made on a thread of its own, for this control.
  struct FolderListing {
    BrowserControl* control;
    std::string dir;
    std::size_t first;
    FolderPage page;
  };

  std::shared_ptr<WebKitBackForwardListItem> m_pendingStep;  // where the last step goes, until the engine is there
  int m_stepDirection = 0;                                   // and which way it went
  bool m_stepLoads = false;                                  // and whether it goes to another page
  // The entry the last step arrived at, and when: a page that answers it with a state of its own is
  // stepped past.
  std::shared_ptr<WebKitBackForwardListItem> m_steppedTo;
  gint64 m_steppedAt = 0;
  gint64 m_stepSince = 0;                    // when the reader's or the host's step on its way was asked for
  std::shared_ptr<FolderListing> m_listing;  // the folder page on its way
  std::function<void()> m_request;           // the step on its way, and how often the page got in its way
  int m_inTheWay = 0;
  std::vector<sigc::connection> m_barKeys;  // the host's bars' keys, taken for the view's
  sigc::connection m_endPage;               // ends a page that keeps getting in the way
  bool m_pageEnded = false;                 // the page's process has ended and no page has come since
  std::vector<std::shared_ptr<WebKitBackForwardListItem>> m_readerMoved;  // entries the reader scrolled or acted on
  bool m_fragmentAfterLoad = false;      // a step arrived at an entry of another page: show its section once loaded
  bool m_overLink = false;               // the pointer is on a link, whose address is the status text
  bool m_loadFailed = false;             // the current load failed: no "Done" at its end
  bool m_loadCommitted = false;          // the load on its way has begun to show its page
  bool m_leaving = false;                // asked to leave the page; the page's script dialogs are answered at once
  GObjectPtr<GCancellable> m_copyCheck;  // the open question about the page's selection, if any
  bool m_passCopyKey = false;            // a checked copy key is on its way to the engine
  gint64 m_lastInput = 0;                // when the user last pressed a key or a button in the page
  std::string m_notice;                  // shown instead of "Done" once the next page has loaded
  std::string m_failedUri;               // the failed load whose error page is on its way
  std::string m_failureText;             // shown for the page that failed until the next load starts
  std::string m_guide;                   // the page F1 shows
};
