#include "html/BrowserControl.h"

#include <webkit2/webkit2.h>

#include <cstring>

#include "core/Trace.h"
#include "html/BrowserTexts.h"
#include "html/StartPage.h"
#include "html/ZoomLevels.h"

namespace {

WebKitWebView* NewWebView() {
  // With overlay scrollbars the engine keeps redrawing a scrollable page and an idle viewer would
  // use CPU; the setting must be made before the engine's view exists.
  g_object_set(gtk_settings_get_default(), "gtk-overlay-scrolling", FALSE, nullptr);
  return WEBKIT_WEB_VIEW(webkit_web_view_new());
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
std::string LocalPath(const char* uri) {
  const std::string location(uri, std::strcspn(uri, "#"));
  gchar* path = g_filename_from_uri(location.c_str(), nullptr, nullptr);
  std::string result = path ? path : "";
  g_free(path);
  return result;
}

}  // namespace

BrowserControl::BrowserControl(BrowserEvents& events, bool sunkenEdge)
    : m_events(&events),
      m_webView(NewWebView()),
      m_findBar(m_webView),
      m_policy(m_webView, *this),
      m_printer(m_webView, [this](const std::string& reason) { ReportStatus(BrowserTexts::PrintFailed(reason)); }) {
  set_shadow_type(sunkenEdge ? Gtk::SHADOW_IN : Gtk::SHADOW_NONE);
  gtk_box_pack_start(m_box.gobj(), GTK_WIDGET(m_webView), TRUE, TRUE, 0);
  m_box.pack_end(m_findBar, Gtk::PACK_SHRINK);
  add(m_box);
  m_box.show();
  gtk_widget_show(GTK_WIDGET(m_webView));

  g_signal_connect(
      m_webView, "load-changed",
      G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, BrowserControl* self) { self->OnLoadChanged(event); }),
      this);
  g_signal_connect(m_webView, "load-failed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gchar* uri, GError* error,
                                  BrowserControl* self) { return gboolean(self->OnLoadFailed(event, uri, error)); }),
                   this);
  g_signal_connect(m_webView, "mouse-target-changed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitHitTestResult* hit, guint, BrowserControl* self) {
                     if (webkit_hit_test_result_context_is_link(hit)) {
                       self->m_overLink = true;
                       self->ReportStatus(BrowserTexts::Address(webkit_hit_test_result_get_link_uri(hit)));
                     } else if (self->m_overLink) {  // only leaving a link clears the text
                       self->m_overLink = false;
                       self->ReportStatus("");
                     }
                   }),
                   this);
  g_signal_connect(m_webView, "notify::title",
                   G_CALLBACK(+[](WebKitWebView* webView, GParamSpec*, BrowserControl* self) {
                     const char* title = webkit_web_view_get_title(webView);
                     if (self->m_events) self->m_events->OnTitleChange(title ? title : "");
                   }),
                   this);
  g_signal_connect(m_webView, "notify::estimated-load-progress",
                   G_CALLBACK(+[](WebKitWebView* webView, GParamSpec*, BrowserControl* self) {
                     const double progress = webkit_web_view_get_estimated_load_progress(webView);
                     if (self->m_events) self->m_events->OnProgressChange(long(progress * 100), 100);
                   }),
                   this);
  g_signal_connect(
      webkit_web_view_get_back_forward_list(m_webView), "changed",
      G_CALLBACK(+[](WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer, BrowserControl* self) {
        if (self->m_events == nullptr) return;
        self->m_events->OnCommandStateChange(CSC_NAVIGATEBACK, webkit_web_view_can_go_back(self->m_webView));
        self->m_events->OnCommandStateChange(CSC_NAVIGATEFORWARD, webkit_web_view_can_go_forward(self->m_webView));
      }),
      this);
  g_signal_connect(m_webView, "enter-fullscreen", G_CALLBACK(+[](WebKitWebView*, BrowserControl* self) {
                     if (self->m_events) self->m_events->OnFullScreen(true);
                     return FALSE;
                   }),
                   this);
  g_signal_connect(m_webView, "leave-fullscreen", G_CALLBACK(+[](WebKitWebView*, BrowserControl* self) {
                     if (self->m_events) self->m_events->OnFullScreen(false);
                     return FALSE;
                   }),
                   this);
  g_signal_connect(m_webView, "web-process-terminated",
                   G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason reason, BrowserControl* self) {
                     if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
                     const bool memory = reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT;
                     AfxTrace("The page's process ended (%s)\n", memory ? "out of memory" : "crashed");
                     self->ReportStatus(BrowserTexts::EngineStopped(memory));
                   }),
                   this);
  ConnectInput(GTK_WIDGET(m_webView));
  ConnectInput(GTK_WIDGET(m_findBar.GetEntry().gobj()));
}

BrowserControl::~BrowserControl() {
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(m_webView), this);
  g_signal_handlers_disconnect_by_data(m_webView, this);
  g_signal_handlers_disconnect_by_data(m_findBar.GetEntry().gobj(), this);
}

// The control's keys, buttons and wheel act before the page sees them; everything else is the page's.
void BrowserControl::ConnectInput(GtkWidget* widget) {
  g_signal_connect(widget, "key-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* event, BrowserControl* self) {
                     const BrowserAction action = BrowserBindings::ForKey(KeyOfFirstGroup(event), event->state);
                     self->Perform(action);
                     return gboolean(action != BrowserAction::none);
                   }),
                   this);
  g_signal_connect(widget, "button-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventButton* event, BrowserControl* self) {
                     const BrowserAction action = BrowserBindings::ForButton(event->button, event->type);
                     self->Perform(action);
                     return gboolean(action != BrowserAction::none);
                   }),
                   this);
  g_signal_connect(widget, "scroll-event", G_CALLBACK(+[](GtkWidget*, GdkEventScroll* event, BrowserControl* self) {
                     double dx = 0;
                     double dy = 0;
                     if (event->direction == GDK_SCROLL_SMOOTH) gdk_event_get_scroll_deltas((GdkEvent*)event, &dx, &dy);
                     const BrowserAction action = self->m_bindings.ForScroll(event->direction, dy, event->state);
                     self->Perform(action);
                     return gboolean(action != BrowserAction::none);
                   }),
                   this);
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
      StopPage();
      webkit_web_view_reload(m_webView);
      return;
    case BrowserAction::find:
      m_findBar.Open();
      return;
    case BrowserAction::guide:
      if (gchar* uri = m_guide.empty() ? nullptr : g_filename_to_uri(m_guide.c_str(), nullptr, nullptr)) {
        Navigate(uri);
        g_free(uri);
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

void BrowserControl::OnLoadChanged(int loadEvent) {
  const char* uri = webkit_web_view_get_uri(m_webView);
  const bool errorPage = uri != nullptr && !m_failedUri.empty() && m_failedUri == uri;
  switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
      m_loadFailed = false;
      if (!errorPage) {
        m_failedUri.clear();
        m_failureText.clear();
        ReportStatus(BrowserTexts::Opening());
      }
      if (m_events) m_events->OnDownloadBegin();
      break;
    case WEBKIT_LOAD_COMMITTED:
      m_pendingStep = 0;
      if (errorPage)
        m_failedUri.clear();
      else
        ReportStatus(BrowserTexts::Loading(BrowserTexts::Address(uri)));
      if (m_events) m_events->OnNavigateComplete2(uri ? uri : "");
      break;
    case WEBKIT_LOAD_FINISHED:
      AfxTrace("Load finished: %s\n", BrowserTexts::Address(uri).c_str());
      if (!m_failureText.empty())
        ReportStatus(m_failureText);
      else if (!m_loadFailed)
        ReportStatus(BrowserTexts::Done());
      if (m_events) m_events->OnDocumentComplete(uri ? uri : "");
      if (m_events) m_events->OnDownloadComplete();
      break;
    default:
      break;
  }
}

bool BrowserControl::OnLoadFailed(int loadEvent, const char* uri, GError* error) {
  m_loadFailed = true;
  // A load replaced by another, or turned away on purpose, is no failure to report.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
    return false;
  AfxTrace("Load failed: %s: %s\n", uri, error->message);
  m_pendingStep = 0;
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
    webkit_web_view_load_alternate_html(m_webView, page.c_str(), uri, nullptr);  // in the failed page's place
  } else {
    m_failedUri = "about:blank";  // the engine cannot hold such a URI even for a page of its own
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
  StopPage();
  webkit_web_view_load_uri(m_webView, uri.c_str());
}

void BrowserControl::LoadHtml(const std::string& html, const std::string& baseUri) {
  StopPage();
  webkit_web_view_load_html(m_webView, html.c_str(), baseUri.empty() ? nullptr : baseUri.c_str());
}

void BrowserControl::ShowFolder(const std::string& dir, std::size_t first) {
  const StartPage page = StartPage::Find(dir, first);
  const bool root = page.baseDir == "/";
  const std::string path = !page.path.empty() ? page.path : root ? page.baseDir : page.baseDir + "/";
  if (!g_utf8_validate(path.c_str(), -1, nullptr)) {
    if (!page.path.empty()) return ShowFileError(page.path, BrowserTexts::NotUtf8());
    return LoadHtml(page.html, "");  // its links name their paths in full
  }
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (uri != nullptr) page.path.empty() ? LoadHtml(page.html, uri) : Navigate(uri);
  g_free(uri);
}

void BrowserControl::ShowFileError(const std::string& path, const std::string& reason) {
  StopPage();
  m_failureText = BrowserTexts::CannotOpen(BrowserTexts::Path(path), reason);
  ReportStatus(m_failureText);
  m_failedUri = "about:blank";
  webkit_web_view_load_html(m_webView, BrowserTexts::ErrorPage(path, reason).c_str(), nullptr);
}

void BrowserControl::GoBack() { Step(-1); }

void BrowserControl::GoForward() { Step(+1); }

// The engine moves its current history entry only when the new page commits; a second press before
// that must step on from the entry the first one went to, not go there again.
void BrowserControl::Step(int direction) {
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(m_webView);
  WebKitBackForwardListItem* target = webkit_back_forward_list_get_nth_item(history, m_pendingStep + direction);
  if (target == nullptr) return;  // no page there: nothing happens
  m_pendingStep += direction;
  StopPage();
  webkit_web_view_go_to_back_forward_list_item(m_webView, target);
}

void BrowserControl::Print() {
  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(gobj()));
  m_printer.Print(GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr);
}

void BrowserControl::GiveFocus() {
  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(gobj()));
  GtkWidget* focus = GTK_IS_WINDOW(toplevel) ? gtk_window_get_focus(GTK_WINDOW(toplevel)) : nullptr;
  if (focus != nullptr && gtk_widget_is_ancestor(focus, GTK_WIDGET(gobj())) && gtk_widget_is_visible(focus))
    gtk_widget_grab_focus(focus);
  else
    gtk_widget_grab_focus(GTK_WIDGET(m_webView));
}

void BrowserControl::ReportStatus(const std::string& text) {
  if (m_events) m_events->OnStatusTextChange(text);
}
