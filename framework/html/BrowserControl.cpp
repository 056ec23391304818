#include "html/BrowserControl.h"

#include <glibmm/main.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "core/GObjectPtr.h"
#include "core/Trace.h"
#include "html/BrowserContext.h"
#include "html/BrowserTexts.h"
#include "html/EngineSetup.h"
#include "html/FileUri.h"
#include "html/FolderPages.h"
#include "html/GeneratedPages.h"
#include "html/PathLink.h"
#include "html/ZoomLevels.h"

namespace {

WebKitWebView* NewWebView() {
  // With overlay scrollbars the engine keeps redrawing a scrollable page and an idle viewer would
  // use CPU; the setting must be made before the engine's view exists.
  g_object_set(gtk_settings_get_default(), "gtk-overlay-scrolling", FALSE, nullptr);
  WebKitWebContext* context = BrowserContext::Get();
  EngineSetup::PrepareContext(context);
  // Before the first page process starts, so that it starts knowing the scheme as a local one.
  GeneratedPages::Register(context);
  WebKitWebView* view = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context));
  EngineSetup::PrepareView(view);
  return view;
}

// The key as the first keyboard group has it, so that Ctrl+F is Ctrl+F with any layout active.
guint KeyOfFirstGroup(const GdkEventKey* event) {
  guint keyval = event->keyval;
  if (event->group != 0)
    gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_display_get_default()), event->hardware_keycode,
                                        GdkModifierType(event->state), 0, &keyval, nullptr, nullptr, nullptr);
  return keyval;
}

// The file a file: URI names, without its fragment; "" for other URIs.
std::string LocalPath(const char* uri) { return FileUri::ToPath(std::string(uri, std::strcspn(uri, "#"))); }

// A link's address as the reader sees and copies it: a link in the form the navigation policy
// carries out names its path's file: address.
std::string ReaderUri(const char* uri) {
  const std::string path = PathLink::PathOf(uri);
  return !path.empty() ? FileUri::FromPath(path) : uri != nullptr ? uri : "";
}

// The context menu's Copy Link Location, for a link whose address the reader reads otherwise than
// the engine: the item copies that address instead.
void CopyReaderAddress(WebKitContextMenu* menu, WebKitHitTestResult* hit) {
  if (!webkit_hit_test_result_context_is_link(hit)) return;
  const char* link = webkit_hit_test_result_get_link_uri(hit);
  const std::string address = ReaderUri(link);
  if (address == (link != nullptr ? link : "")) return;
  GList* items = webkit_context_menu_get_items(menu);
  for (GList* entry = items; entry != nullptr; entry = entry->next) {
    auto* item = static_cast<WebKitContextMenuItem*>(entry->data);
    if (webkit_context_menu_item_get_stock_action(item) != WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD) continue;
    const guint position = guint(g_list_position(items, entry));
    GObjectPtr<GSimpleAction> action(g_simple_action_new("copy-reader-address", nullptr));
    g_signal_connect_data(
        action.get(), "activate",
        G_CALLBACK(+[](GSimpleAction*, GVariant*, std::string* text) { Gtk::Clipboard::get()->set_text(*text); }),
        new std::string(address), +[](gpointer text, GClosure*) { delete static_cast<std::string*>(text); },
        GConnectFlags(0));
    webkit_context_menu_remove(menu, item);
    webkit_context_menu_insert(
        menu, webkit_context_menu_item_new_from_gaction(G_ACTION(action.get()), "Copy Link Loc_ation", nullptr),
        gint(position));
    return;
  }
}

// A reference to a history entry, held while the owner lives.
std::shared_ptr<WebKitBackForwardListItem> Hold(WebKitBackForwardListItem* item) { return GObjectRef(item); }

// Where item is in the history, counted from the current entry; 0 when it is no longer there.
int OffsetOf(WebKitBackForwardList* history, WebKitBackForwardListItem* item) {
  GList* back = webkit_back_forward_list_get_back_list(history);
  GList* forward = webkit_back_forward_list_get_forward_list(history);
  const int first = -int(g_list_length(back)), last = int(g_list_length(forward));
  g_list_free(back);
  g_list_free(forward);
  for (int n = first; n <= last; ++n)
    if (webkit_back_forward_list_get_nth_item(history, n) == item) return n;
  return 0;
}

}  // namespace

BrowserControl::BrowserControl(BrowserEvents& events, bool sunkenEdge)
    : m_events(&events),
      m_webView(NewWebView()),
      m_findBar(m_webView),
      m_watchdog(m_webView, [this] { m_notice = BrowserTexts::EndedNotAnswering(); }),
      m_tabCycle(m_webView),
      m_heldModifiers(m_webView),
      m_followedLinks(m_webView),
      m_policy(m_webView, *this),
      m_printer(m_webView, [this](const std::string& reason) { ReportStatus(BrowserTexts::PrintFailed(reason)); }) {
  PackWidgets(sunkenEdge);
  ConnectEngine();
  ConnectInput(GTK_WIDGET(m_webView));
  ConnectInput(GTK_WIDGET(m_findBar.GetEntry().gobj()));
}

BrowserControl::~BrowserControl() {
  g_cancellable_cancel(m_copyCheck.get());  // its answer then reaches nothing of this object
  m_endPage.disconnect();
  for (sigc::connection& keys : m_barKeys) keys.disconnect();
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(m_webView), this);
  g_signal_handlers_disconnect_by_data(m_webView, this);
  g_signal_handlers_disconnect_by_data(m_findBar.GetEntry().gobj(), this);
  // The page's process ends with the view, also one busy in a script that would take many seconds
  // to notice that its view has gone.
  if (webkit_web_view_get_uri(m_webView) != nullptr) webkit_web_view_terminate_web_process(m_webView);
}

// The engine's view over the find bar, with the page that stands in its place after a page too large.
void BrowserControl::PackWidgets(bool sunkenEdge) {
  set_shadow_type(sunkenEdge ? Gtk::SHADOW_IN : Gtk::SHADOW_NONE);
  gtk_box_pack_start(m_box.gobj(), GTK_WIDGET(m_webView), TRUE, TRUE, 0);
  m_box.pack_start(m_stoppedPage, Gtk::PACK_EXPAND_WIDGET);
  m_box.pack_end(m_findBar, Gtk::PACK_SHRINK);
  m_stoppedPage.set_line_wrap(true);
  m_stoppedPage.set_selectable(true);
  m_stoppedPage.set_margin_start(24);
  m_stoppedPage.set_margin_end(24);
  m_stoppedPage.set_no_show_all(true);
  add(m_box);
  m_box.show();
  gtk_widget_show(GTK_WIDGET(m_webView));
}

void BrowserControl::ConnectEngine() {
  g_signal_connect(m_webView, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(m_webView, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(m_webView, "mouse-target-changed", G_CALLBACK(OnMouseTargetChanged), this);
  g_signal_connect(m_webView, "notify::title", G_CALLBACK(OnTitleChanged), this);
  g_signal_connect(m_webView, "notify::estimated-load-progress", G_CALLBACK(OnProgressChanged), this);
  g_signal_connect(webkit_web_view_get_back_forward_list(m_webView), "changed", G_CALLBACK(OnHistoryChanged), this);
  g_signal_connect(m_webView, "web-process-terminated", G_CALLBACK(OnPageProcessTerminated), this);
  g_signal_connect(m_webView, "notify::is-web-process-responsive", G_CALLBACK(OnResponsiveChanged), this);
  g_signal_connect(m_webView, "script-dialog", G_CALLBACK(OnScriptDialog), this);
  g_signal_connect(m_webView, "print", G_CALLBACK(OnPrint), this);
  g_signal_connect(m_webView, "context-menu", G_CALLBACK(OnContextMenu), this);
}

void BrowserControl::AddBar(Gtk::Widget& bar) {
  m_box.pack_end(bar, Gtk::PACK_SHRINK);
  // Keys that reach the bar itself: those its entry or buttons did not take.
  m_barKeys.push_back(bar.signal_key_press_event().connect([this](GdkEventKey* event) {
    const BrowserAction action = BrowserBindings::ForKey(KeyOfFirstGroup(event), event->state);
    if (action == BrowserAction::none || action == BrowserAction::copy) return false;
    Perform(action);
    return true;
  }));
}

void BrowserControl::ConnectInput(GtkWidget* widget) {
  g_signal_connect(widget, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(widget, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(widget, "scroll-event", G_CALLBACK(OnScroll), this);
}

void BrowserControl::OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, BrowserControl* self) {
  self->FollowLoad(loadEvent);
}

gboolean BrowserControl::OnLoadFailed(WebKitWebView*, WebKitLoadEvent loadEvent, gchar* uri, GError* error,
                                      BrowserControl* self) {
  return self->ShowLoadFailure(loadEvent, uri, error);
}

void BrowserControl::OnMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, guint, BrowserControl* self) {
  if (webkit_hit_test_result_context_is_link(hit)) {
    self->m_overLink = true;
    self->ReportStatus(BrowserTexts::Address(ReaderUri(webkit_hit_test_result_get_link_uri(hit)).c_str()));
  } else if (self->m_overLink) {  // only leaving a link clears the text
    self->m_overLink = false;
    self->ReportStatus("");
  }
}

void BrowserControl::OnTitleChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self) {
  const char* title = webkit_web_view_get_title(webView);
  if (self->m_events) self->m_events->OnTitleChange(title ? title : "");
}

void BrowserControl::OnProgressChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self) {
  const double progress = webkit_web_view_get_estimated_load_progress(webView);
  if (self->m_events) self->m_events->OnProgressChange(long(progress * 100), 100);
}

void BrowserControl::OnHistoryChanged(WebKitBackForwardList*, WebKitBackForwardListItem* added, GList* removed,
                                      BrowserControl* self) {
  self->SettleStep(added, removed);
  std::erase_if(self->m_readerMoved, [removed](const auto& held) { return g_list_find(removed, held.get()); });
  if (self->m_events == nullptr) return;
  self->m_events->OnCommandStateChange(CSC_NAVIGATEBACK, webkit_web_view_can_go_back(self->m_webView));
  self->m_events->OnCommandStateChange(CSC_NAVIGATEFORWARD, webkit_web_view_can_go_forward(self->m_webView));
}

void BrowserControl::OnPageProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                             BrowserControl* self) {
  self->ShowPageProcessEnded(reason);
}

void BrowserControl::OnResponsiveChanged(WebKitWebView* webView, GParamSpec*, BrowserControl* self) {
  if (!webkit_web_view_get_is_web_process_responsive(webView)) self->ReportStatus(BrowserTexts::NotAnswering());
}

gboolean BrowserControl::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, BrowserControl* self) {
  return self->AnswerScriptDialog(dialog);
}

gboolean BrowserControl::OnPrint(WebKitWebView*, WebKitPrintOperation* operation, BrowserControl* self) {
  self->PrintForPage(operation);
  return TRUE;
}

gboolean BrowserControl::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit,
                                       BrowserControl*) {
  CopyReaderAddress(menu, hit);
  return FALSE;
}

gboolean BrowserControl::OnKeyPress(GtkWidget* widget, GdkEventKey* event, BrowserControl* self) {
  // Keys the view makes up itself are nobody's input.
  if (widget == GTK_WIDGET(self->m_webView) && !event->send_event) self->m_lastInput = g_get_monotonic_time();
  const BrowserAction action = BrowserBindings::ForKey(KeyOfFirstGroup(event), event->state);
  if (action == BrowserAction::copy) {
    // The find bar's entry copies its own text; a key handed back after the check is the engine's.
    if (widget != GTK_WIDGET(self->m_webView) || self->m_passCopyKey) return FALSE;
    self->CopySelection(event);
    return TRUE;
  }
  if (action == BrowserAction::none) self->NoteReaderMoved();
  self->Perform(action);
  return action != BrowserAction::none;
}

gboolean BrowserControl::OnButtonPress(GtkWidget* widget, GdkEventButton* event, BrowserControl* self) {
  if (widget == GTK_WIDGET(self->m_webView)) self->m_lastInput = g_get_monotonic_time();
  const BrowserAction action = BrowserBindings::ForButton(event->button, event->type);
  if (action == BrowserAction::none && widget == GTK_WIDGET(self->m_webView)) self->NoteReaderMoved();
  self->Perform(action);
  return action != BrowserAction::none;
}

gboolean BrowserControl::OnScroll(GtkWidget*, GdkEventScroll* event, BrowserControl* self) {
  const double dy = event->direction == GDK_SCROLL_SMOOTH ? event->delta_y : 0;
  const BrowserAction action = self->m_bindings.ForScroll(event->direction, dy, event->state);
  if (action == BrowserAction::none) self->NoteReaderMoved();
  self->Perform(action);
  return action != BrowserAction::none;
}

void BrowserControl::CopySelection(GdkEventKey* key) {
  // The engine's own copy, with nothing selected, still takes the desktop clipboard and leaves data
  // of its own there in place of the user's text (and its editing state says copying is possible
  // even then). The page's selection decides, read in a script world of the program's own that the
  // page's scripts cannot change; only with one is the key handed on to the engine.
  static constexpr char kHasSelection[] =
      "(() => { const e = document.activeElement;"
      " if (e && typeof e.selectionStart === 'number' && e.selectionStart !== e.selectionEnd) return true;"
      " const s = getSelection(); return !!s && !s.isCollapsed; })()";
  g_cancellable_cancel(m_copyCheck.get());  // a question still open for an earlier key is moot
  m_copyCheck.reset(g_cancellable_new());
  webkit_web_view_evaluate_javascript(m_webView, kHasSelection, -1, "clipboard", nullptr, m_copyCheck.get(),
                                      OnSelectionKnown,
                                      new PendingCopy{this, gdk_event_copy(reinterpret_cast<GdkEvent*>(key))});
}

void BrowserControl::OnSelectionKnown(GObject* view, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<PendingCopy> pending(static_cast<PendingCopy*>(data));
  const std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> key(pending->key, gdk_event_free);
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  const bool selected = value != nullptr && jsc_value_to_boolean(value);
  if (value != nullptr) g_object_unref(value);
  const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);  // the control may be gone
  if (error != nullptr) g_error_free(error);
  if (cancelled || !selected) return;
  BrowserControl* self = pending->self;
  self->m_passCopyKey = true;
  gtk_widget_event(GTK_WIDGET(view), key.get());
  self->m_passCopyKey = false;
}

void BrowserControl::Perform(BrowserAction action) {
  double zoom = webkit_web_view_get_zoom_level(m_webView);
  switch (action) {
    case BrowserAction::none:
    case BrowserAction::swallow:
      return;
    case BrowserAction::back:
      GoBack();
      return;
    case BrowserAction::forward:
      GoForward();
      return;
    case BrowserAction::reload:
      m_pendingStep.reset();
      Leave([this, shown = std::string(webkit_web_view_get_uri(m_webView) ? webkit_web_view_get_uri(m_webView) : "")] {
        StopPage();
        // Without a page process the engine reloads nothing: the page is loaded again instead.
        if (m_pageEnded && !shown.empty()) {
          m_policy.ExpectHostNavigation(shown);
          webkit_web_view_load_uri(m_webView, shown.c_str());
        } else {
          webkit_web_view_reload(m_webView);
        }
      });
      return;
    case BrowserAction::find:
      m_findBar.Open();
      return;
    case BrowserAction::copy:  // the engine's, when there is something to copy
      return;
    case BrowserAction::guide:
      if (const std::string uri = m_guide.empty() ? "" : FileUri::FromPath(m_guide); !uri.empty()) {
        Navigate(uri);
      } else {
        ReportStatus(BrowserTexts::NoGuide());
      }
      return;
    case BrowserAction::findNext:
      m_findBar.IsOpen() ? m_findBar.Next() : m_findBar.Open();
      return;
    case BrowserAction::findPrevious:
      m_findBar.IsOpen() ? m_findBar.Previous() : m_findBar.Open();
      return;
    case BrowserAction::zoomIn:
      zoom = ZoomLevels::Larger(zoom);
      break;
    case BrowserAction::zoomOut:
      zoom = ZoomLevels::Smaller(zoom);
      break;
    case BrowserAction::zoomReset:
      zoom = ZoomLevels::kNormal;
      break;
  }
  webkit_web_view_set_zoom_level(m_webView, zoom);
  ReportStatus(BrowserTexts::Zoom(zoom));
}

void BrowserControl::FollowLoad(WebKitLoadEvent loadEvent) {
  const char* uri = webkit_web_view_get_uri(m_webView);
  const bool errorPage = uri != nullptr && !m_failedUri.empty() && m_failedUri == uri;
  m_watchdog.Answered();
  switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
      m_loadFailed = false;
      m_loadCommitted = false;
      m_stoppedPage.hide();
      gtk_widget_show(GTK_WIDGET(m_webView));
      if (!errorPage) {
        m_failedUri.clear();
        m_failureText.clear();
        ReportStatus(BrowserTexts::Opening());
      }
      if (m_events) m_events->OnDownloadBegin();
      break;
    case WEBKIT_LOAD_COMMITTED:
      m_loadCommitted = true;
      m_leaving = false;
      m_pageEnded = false;
      m_stepSince = 0;
      if (errorPage)
        m_failedUri.clear();
      else
        ReportStatus(BrowserTexts::Loading(BrowserTexts::Address(uri)));
      if (m_events) m_events->OnNavigateComplete2(uri ? uri : "");
      break;
    case WEBKIT_LOAD_FINISHED:
      AfxTrace("Load finished: %s\n", BrowserTexts::Address(uri).c_str());
      if (std::exchange(m_fragmentAfterLoad, false)) ShowFragment();
      if (!m_failureText.empty())
        ReportStatus(m_failureText);
      else if (!m_notice.empty())
        ReportStatus(std::exchange(m_notice, ""));
      else if (!m_loadFailed)
        ReportStatus(BrowserTexts::Done());
      if (m_events) m_events->OnDocumentComplete(uri ? uri : "");
      if (m_events) m_events->OnDownloadComplete();
      break;
    default:
      break;
  }
}

bool BrowserControl::ShowLoadFailure(WebKitLoadEvent loadEvent, const char* uri, const GError* error) {
  m_loadFailed = true;
  m_watchdog.Answered();
  // A load replaced by another, or turned away on purpose, is no failure to report.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)) {
    // Except a data: address as a whole page, which the engine blocks: the page stays, and says so.
    if (g_str_has_prefix(uri, "data:")) {
      AfxTrace("Load blocked: %s\n", BrowserTexts::Address(uri).c_str());
      m_failureText = BrowserTexts::CannotOpen(BrowserTexts::Address(uri), BrowserTexts::DataAddressBlocked());
      ReportStatus(m_failureText);
    }
    return false;
  }
  AfxTrace("Load failed: %s: %s\n", uri, error->message);
  m_failedUri = uri;
  const std::string path = LocalPath(uri);
  const bool fileError = error->domain == G_IO_ERROR ||
                         g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST);
  if (path.empty() || !fileError || loadEvent != WEBKIT_LOAD_STARTED) {
    m_failureText = BrowserTexts::CannotOpen(BrowserTexts::Address(uri), error->message);
    ReportStatus(m_failureText);
    return false;  // the engine's own error page
  }
  const std::string reason =
      g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND) ||
              g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST)
          ? BrowserTexts::NoSuchFile()
      : g_error_matches(error, G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED) ? BrowserTexts::NoPermission()
      : !g_utf8_validate(path.c_str(), -1, nullptr)                      ? BrowserTexts::NotUtf8()
                                                                         : std::string(error->message);
  m_failureText = BrowserTexts::CannotOpen(BrowserTexts::Path(path), reason);
  ReportStatus(m_failureText);
  const std::string page = BrowserTexts::ErrorPage(path, reason);
  if (g_utf8_validate(path.c_str(), -1, nullptr)) {
    m_policy.ExpectHostNavigation(uri);
    webkit_web_view_load_alternate_html(m_webView, page.c_str(), uri, nullptr);  // in the failed page's place
  } else {
    m_failedUri = "about:blank";  // the engine cannot hold such a URI even for a page of its own
    m_policy.ExpectHostNavigation(m_failedUri);
    webkit_web_view_load_html(m_webView, page.c_str(), nullptr);
  }
  return true;
}

// What the host or the user asks for comes first: the page's own loads and any reload or redirect
// it has scheduled are stopped, so that a page that keeps reloading itself cannot take the view back.
void BrowserControl::StopPage() {
  if (webkit_web_view_is_loading(m_webView)) webkit_web_view_stop_loading(m_webView);
}

void BrowserControl::Navigate(const std::string& uri) {
  m_pendingStep.reset();
  Leave([this, uri] {
    StopPage();
    m_policy.ExpectHostNavigation(uri);
    webkit_web_view_load_uri(m_webView, uri.c_str());
  });
}

void BrowserControl::Replace(const std::string& uri) {
  m_pendingStep.reset();
  Leave([this, uri] {
    StopPage();
    m_policy.ExpectHostNavigation(uri);
    // The address goes in as an argument, never as script text; the page's own world is left alone.
    webkit_web_view_call_async_javascript_function(m_webView, "location.replace(uri)", -1,
                                                   g_variant_new_parsed("{'uri': <%s>}", uri.c_str()), "history",
                                                   nullptr, nullptr, nullptr, nullptr);
  });
}

void BrowserControl::LoadHtml(const std::string& html, const std::string& baseUri, const std::string& query) {
  m_pendingStep.reset();
  Leave([this, html, baseUri, query] {
    StopPage();
    // Shown as alternate content for its own address: its links may open the folder's files, and its
    // address is a history entry that the engine asks GeneratedPages for when it comes back to it.
    const std::string address = GeneratedPages::Add(html, baseUri, query);
    m_policy.ExpectHostNavigation(address);
    webkit_web_view_load_alternate_html(m_webView, html.c_str(), address.c_str(),
                                        baseUri.empty() ? nullptr : baseUri.c_str());
  });
}

void BrowserControl::Leave(std::function<void()> request) {
  m_request = request;
  m_inTheWay = 0;
  m_listing.reset();  // a folder's page on its way is no longer wanted
  m_leaving = true;
  m_stepSince = g_get_monotonic_time();
  m_steppedTo.reset();
  m_fragmentAfterLoad = false;
  m_watchdog.Request(std::move(request));
}

// While the host or the user takes the view elsewhere, the page's questions are answered at once
// (no, nothing, leave), so that a page cannot keep the view with a chain of them.
bool BrowserControl::AnswerScriptDialog(WebKitScriptDialog* dialog) {
  if (!m_leaving) return false;  // the engine asks in the view
  if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
    webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
  return true;
}

// A page may print only just after a click or a key in it, once per press, one dialog at a time.
void BrowserControl::PrintForPage(WebKitPrintOperation* operation) {
  constexpr gint64 kAfterInputUs = 2 * G_USEC_PER_SEC;
  const bool byUser = m_lastInput != 0 && g_get_monotonic_time() - m_lastInput < kAfterInputUs;
  m_lastInput = 0;
  if (!byUser || !m_printer.PrintForPage(operation, Window())) {
    AfxTrace("A print the page asked for was ignored\n");
    ReportNotice(BrowserTexts::PrintIgnored());
  }
}

void BrowserControl::ShowPageProcessEnded(WebKitWebProcessTerminationReason reason) {
  m_pageEnded = true;
  RemoveEndedPagesDialogs();
  if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
  const bool memory = reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT;
  AfxTrace("The page's process ended (%s)\n", memory ? "out of memory" : "crashed");
  m_failureText = BrowserTexts::EngineStopped(memory);
  ReportStatus(m_failureText);
  if (!memory) return;
  // Shown in the page's place without a load of its own, so that the history stays as it was: a page
  // in it would put the page that was too large one step back.
  m_stoppedPage.set_markup(BrowserTexts::TooLargePage(BrowserTexts::Address(webkit_web_view_get_uri(m_webView)),
                                                      BrowserContext::MemoryLimitMb()));
  gtk_widget_hide(GTK_WIDGET(m_webView));
  m_stoppedPage.show();
}

// The engine leaves a dialog its page opened (an alert, a confirm, a prompt) over the view when the
// page's process ends: nothing can answer it any more, and it would stay over every page after,
// taking the pointer's events. The engine's dialog is a widget of its own type among the view's children.
void BrowserControl::RemoveEndedPagesDialogs() {
  struct Found {
    GType type = g_type_from_name("WebKitScriptDialogImpl");
    std::vector<GtkWidget*> dialogs;
  } found;
  if (found.type == 0) return;  // no dialog was ever shown
  gtk_container_forall(
      GTK_CONTAINER(m_webView),
      +[](GtkWidget* child, gpointer data) {
        auto* found = static_cast<Found*>(data);
        if (G_TYPE_CHECK_INSTANCE_TYPE(child, found->type)) found->dialogs.push_back(child);
      },
      &found);
  for (GtkWidget* dialog : found.dialogs) gtk_widget_destroy(dialog);
}

// A folder's listing is made on a thread of its own, so that a folder of any size never holds up the
// window; the same folder asked for again while its listing is being made is not made twice, and a
// listing that another request has overtaken is dropped.
void BrowserControl::ShowFolder(const std::string& dir, std::size_t first) {
  if (m_listing != nullptr && m_listing->dir == dir && m_listing->first == first) return;
  auto listing = std::make_shared<FolderListing>(FolderListing{this, dir, first, {}});
  m_listing = listing;
  std::thread([listing, &pages = FolderPages::InUse()]() mutable {
    listing->page = pages.Find(listing->dir, listing->first);
    // Only the control holds the listing while it waits: gone with the control, or once overtaken.
    const std::weak_ptr<FolderListing> made = std::exchange(listing, nullptr);
    Glib::MainContext::get_default()->invoke([made] {
      if (const std::shared_ptr<FolderListing> wanted = made.lock())
        wanted->control->ShowFolderPage(wanted->page, wanted->first);
      return false;
    });
  }).detach();
}

void BrowserControl::ShowFolderPage(const FolderPage& page, std::size_t first) {
  m_listing.reset();
  const bool root = page.baseDir == "/";
  // Each part of a long listing at an address of its own, so that Back returns to the part it left.
  const std::string part = first > 0 ? "first=" + std::to_string(first) : "";
  const std::string path = !page.path.empty() ? page.path : root ? page.baseDir : page.baseDir + "/";
  if (!g_utf8_validate(path.c_str(), -1, nullptr)) {
    if (!page.path.empty()) return ShowFileError(page.path, BrowserTexts::NotUtf8());
    return LoadHtml(page.html, "", part);  // its links name their paths in full
  }
  const std::string uri = FileUri::FromPath(path);
  if (!uri.empty()) page.path.empty() ? LoadHtml(page.html, uri, part) : Navigate(uri);
}

void BrowserControl::ShowFileError(const std::string& path, const std::string& reason) {
  StopPage();
  m_failureText = BrowserTexts::CannotOpen(BrowserTexts::Path(path), reason);
  ReportStatus(m_failureText);
  m_failedUri = "about:blank";
  m_policy.ExpectHostNavigation(m_failedUri);
  webkit_web_view_load_html(m_webView, BrowserTexts::ErrorPage(path, reason).c_str(), nullptr);
}

void BrowserControl::GoBack() { Step(-1); }

void BrowserControl::GoForward() { Step(+1); }

// The engine moves its current history entry only once the page process has taken a step up, a
// moment after it was asked; a second press before that steps on from the entry the first one goes
// to, instead of going there again. Each step is one entry, whether it changes the page or only the
// place in it.
void BrowserControl::Step(int direction) {
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(m_webView);
  const int from = m_pendingStep != nullptr ? OffsetOf(history, m_pendingStep.get()) : 0;
  WebKitBackForwardListItem* target = webkit_back_forward_list_get_nth_item(history, from + direction);
  if (target == nullptr) return;  // no entry there: nothing happens
  m_pendingStep = Hold(target);
  m_stepDirection = direction;
  GoTo(m_pendingStep);
}

// Takes the view to a history entry, the page's own loads stopped first; except where the entry is a
// place in the page whose load is on its way: the engine only scrolls there and loads nothing, so a
// stopped load would leave that page half shown for good.
void BrowserControl::GoTo(std::shared_ptr<WebKitBackForwardListItem> item) {
  m_stepLoads = !PlaceInShownPage(item.get());
  Leave([this, item] {
    if (!PlaceInPageLoading(item.get())) StopPage();
    // A new page process loads the entry as a load of its own, not as a step in the history.
    if (m_pageEnded) m_policy.ExpectHostNavigation(webkit_back_forward_list_item_get_uri(item.get()));
    webkit_web_view_go_to_back_forward_list_item(m_webView, item.get());
  });
}

bool BrowserControl::PlaceInPageLoading(WebKitBackForwardListItem* item) const {
  return m_loadCommitted && webkit_web_view_is_loading(m_webView) && PlaceInShownPage(item);
}

bool BrowserControl::PlaceInShownPage(WebKitBackForwardListItem* item) const {
  const char* shown = webkit_web_view_get_uri(m_webView);
  const char* target = webkit_back_forward_list_item_get_uri(item);
  if (shown == nullptr || target == nullptr) return false;
  const std::size_t page = std::strcspn(shown, "#");
  return page == std::strcspn(target, "#") && std::strncmp(shown, target, page) == 0;
}

// The step has arrived once its entry is the current one; a new entry (a link followed, a page
// loaded) or the step's entry leaving the history ends it too.
void BrowserControl::SettleStep(WebKitBackForwardListItem* added, GList* removed) {
  // A step to a place in the same page loads nothing: the history moving is the page process's answer.
  m_watchdog.Answered();
  if (added != nullptr && StepPastPushedState()) return;
  if (m_pendingStep == nullptr) return;
  WebKitBackForwardListItem* current =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(m_webView));
  const bool arrived = current == m_pendingStep.get();
  if (added != nullptr || arrived || g_list_find(removed, m_pendingStep.get()) != nullptr) m_pendingStep.reset();
  if (!arrived) return;
  // A step to another page is on its way until that page is committed: the engine moves its entry
  // first, and the page being left could still stop the load by navigating itself meanwhile.
  if (!m_stepLoads) m_stepSince = 0;
  m_steppedTo = Hold(current);  // which the page may answer with a state of its own
  m_steppedAt = g_get_monotonic_time();
  if (ReaderMovedOn(current)) return;  // the engine restores the reader's place
  if (webkit_web_view_is_loading(m_webView))
    m_fragmentAfterLoad = true;
  else
    ShowFragment();
}

// A page that answers a step back with a state of its own (one its popstate handler pushes) would
// keep Back in the page for good: within a second of the step, before any click or key in the page,
// the step goes on to the entry before the one it arrived at.
bool BrowserControl::StepPastPushedState() {
  constexpr gint64 kAnswerUs = G_USEC_PER_SEC;
  // The page's new state may come before the engine says the step has arrived.
  if (m_pendingStep != nullptr && m_steppedTo == nullptr) {
    m_steppedTo = m_pendingStep;
    m_steppedAt = g_get_monotonic_time();
  }
  const std::shared_ptr<WebKitBackForwardListItem> arrived = std::exchange(m_steppedTo, nullptr);
  if (arrived == nullptr || m_stepDirection >= 0 || m_lastInput > m_steppedAt ||
      g_get_monotonic_time() - m_steppedAt > kAnswerUs)
    return false;
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(m_webView);
  const int at = OffsetOf(history, arrived.get());
  WebKitBackForwardListItem* target = at < 0 ? webkit_back_forward_list_get_nth_item(history, at - 1) : nullptr;
  if (target == nullptr) return false;
  AfxTrace("The page answered a step back with a state of its own: going on past it\n");
  m_pendingStep = Hold(target);
  GoTo(m_pendingStep);
  return true;
}

// A page's script that sets a location while a load is on its way stops that load, however its own
// navigation is decided: a page that does so again and again would keep the view. Once it has got in
// the way of a step twice, its process is ended and the step made again on a new one.
void BrowserControl::PageInTheWay() {
  if (++m_inTheWay != 2 || !m_request) return;
  AfxTrace("The page keeps navigating while the view is asked to leave it: ending its process\n");
  // Once the engine's policy question has been answered.
  m_endPage.disconnect();
  m_endPage = Glib::signal_idle().connect([this, request = m_request] {
    webkit_web_view_terminate_web_process(m_webView);
    // Once the engine has let the ended process go, the step goes to a new one.
    m_endPage = Glib::signal_timeout().connect(
        [this, request] {
          Leave(request);
          return false;
        },
        50);
    return false;
  });
}

bool BrowserControl::ReaderStepPending() const {
  // Bounded, so that a step the engine drops without a word frees the page again.
  constexpr gint64 kPendingUs = 5 * G_USEC_PER_SEC;
  return m_stepSince != 0 && g_get_monotonic_time() - m_stepSince < kPendingUs;
}

void BrowserControl::NoteReaderMoved() {
  WebKitBackForwardListItem* current =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(m_webView));
  if (current != nullptr && !ReaderMovedOn(current)) m_readerMoved.push_back(Hold(current));
}

bool BrowserControl::ReaderMovedOn(WebKitBackForwardListItem* item) const {
  return std::any_of(m_readerMoved.begin(), m_readerMoved.end(),
                     [item](const auto& held) { return held.get() == item; });
}

// A step back or forward to an entry the reader never moved on shows its fragment's section, as
// following the link did, not the place the engine last saw there: that is the top when the page
// was left by a link there, which took the focus and the view with it, and nothing at all for an
// entry first reached by a step. (Where the reader did move, the engine's remembered place stands.)
// The engine may restore its remembered place with the first layout, after the load has finished:
// the section is shown again once two frames are drawn, unless the page has moved on meanwhile.
void BrowserControl::ShowFragment() {
  static constexpr char kScript[] =
      "(() => { const hash = location.hash; const id = decodeURIComponent(hash.slice(1)); if (!id) return;"
      " const e = document.getElementById(id) || document.getElementsByName(id)[0]; if (!e) return;"
      " const show = () => { if (location.hash === hash) e.scrollIntoView(); }; show();"
      " requestAnimationFrame(() => requestAnimationFrame(show)); })()";
  // In a world of its own, so that nothing the page defines is in the way.
  webkit_web_view_evaluate_javascript(m_webView, kScript, -1, "history", nullptr, nullptr, nullptr, nullptr);
}

void BrowserControl::MarkWords(const std::vector<std::string>& words) {
  // Each text node's matches become <mark> elements, at most 1,000 in a page; script and style
  // text and what is marked already are left alone.
  static constexpr char kScript[] = R"(
    const escape = w => w.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    const wanted = lines.split('\n').filter(w => w.length > 0).map(escape);
    if (wanted.length === 0 || !document.body) return 0;
    const re = new RegExp('(?<![\\p{L}\\p{N}])(?:' + wanted.join('|') + ')[\\p{L}\\p{N}]*', 'giu');
    const skip = n => n.parentElement && n.parentElement.closest('script, style, mark');
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT,
        {acceptNode: n => skip(n) ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT});
    const nodes = [];
    while (walker.nextNode()) nodes.push(walker.currentNode);
    let left = 1000;
    for (const node of nodes) {
      const text = node.nodeValue;
      const parts = document.createDocumentFragment();
      let last = 0, match;
      re.lastIndex = 0;
      while (left > 0 && (match = re.exec(text)) !== null) {
        --left;
        parts.append(text.slice(last, match.index));
        const mark = document.createElement('mark');
        mark.textContent = match[0];
        parts.append(mark);
        last = match.index + match[0].length;
      }
      if (last > 0) {
        parts.append(text.slice(last));
        node.replaceWith(parts);
      }
    }
    return 1000 - left;)";
  // The words go in one a line, as an argument: never as script text.
  std::string lines;
  for (const std::string& word : words) lines += (lines.empty() ? "" : "\n") + word;
  GVariantBuilder arguments;
  g_variant_builder_init(&arguments, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&arguments, "{sv}", "lines", g_variant_new_string(lines.c_str()));
  // In a world of its own, so that nothing the page defines is in the way.
  webkit_web_view_call_async_javascript_function(m_webView, kScript, -1, g_variant_builder_end(&arguments), "marks",
                                                 nullptr, nullptr, nullptr, nullptr);
}

void BrowserControl::Print() { m_printer.Print(Window()); }

void BrowserControl::GiveFocus() {
  auto* window = dynamic_cast<Gtk::Window*>(get_toplevel());
  Gtk::Widget* focus = window != nullptr ? window->get_focus() : nullptr;
  if (focus != nullptr && focus->is_ancestor(*this) && focus->is_visible())
    focus->grab_focus();
  else
    gtk_widget_grab_focus(GTK_WIDGET(m_webView));
}

GtkWindow* BrowserControl::Window() {
  auto* window = dynamic_cast<Gtk::Window*>(get_toplevel());
  return window != nullptr ? window->gobj() : nullptr;
}

void BrowserControl::ReportNotice(const std::string& text) {
  if (webkit_web_view_is_loading(m_webView)) m_notice = text;  // not "Done" then
  ReportStatus(text);
}

void BrowserControl::ReportStatus(const std::string& text) {
  if (m_events) m_events->OnStatusTextChange(text);
}
