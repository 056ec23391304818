#include "html/CHtmlView.h"

#include <gtkmm/frame.h>
#include <webkit2/webkit2.h>

#include "core/AfxRes.h"
#include "core/Trace.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
  ON_WM_DESTROY()
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
END_MESSAGE_MAP()

namespace {

std::string DisplayUri(const char* uri) {
  if (uri == nullptr) return "";
  gchar* unescaped = g_uri_unescape_string(uri, nullptr);
  std::string result = unescaped && g_utf8_validate(unescaped, -1, nullptr) ? unescaped : uri;
  g_free(unescaped);
  return result;
}

}  // namespace

Gtk::Widget* CHtmlView::CreateWidget(const CREATESTRUCT& cs) {
  // With overlay scrollbars the engine keeps redrawing a scrollable page and an idle viewer
  // would use CPU.
  g_object_set(gtk_settings_get_default(), "gtk-overlay-scrolling", FALSE, nullptr);

  auto* frame = new Gtk::Frame();
  frame->set_shadow_type((cs.dwExStyle & WS_EX_CLIENTEDGE) ? Gtk::SHADOW_IN : Gtk::SHADOW_NONE);
  m_pBrowserApp = WEBKIT_WEB_VIEW(webkit_web_view_new());
  gtk_container_add(GTK_CONTAINER(frame->gobj()), GTK_WIDGET(m_pBrowserApp));
  gtk_widget_show(GTK_WIDGET(m_pBrowserApp));

  g_signal_connect(m_pBrowserApp, "mouse-target-changed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitHitTestResult* hit, guint, CHtmlView* self) {
                     bool isLink = webkit_hit_test_result_context_is_link(hit);
                     self->OnStatusTextChange(isLink ? DisplayUri(webkit_hit_test_result_get_link_uri(hit)) : "");
                   }),
                   this);
  g_signal_connect(m_pBrowserApp, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(m_pBrowserApp, "load-failed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, CHtmlView* self) {
                     self->m_bLoadFailed = true;
                     self->OnStatusTextChange("Cannot open " + DisplayUri(uri) + ": " + error->message);
                     return FALSE;
                   }),
                   this);
  g_signal_connect(m_pBrowserApp, "notify::title", G_CALLBACK(+[](WebKitWebView* webView, GParamSpec*, CHtmlView* self) {
                     const char* title = webkit_web_view_get_title(webView);
                     self->OnTitleChange(title ? title : "");
                   }),
                   this);
  return frame;
}

void CHtmlView::OnLoadChanged(WebKitWebView* webView, int loadEvent, CHtmlView* self) {
  std::string uri = DisplayUri(webkit_web_view_get_uri(webView));
  switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
      self->m_bLoadFailed = false;
      self->OnStatusTextChange("Opening page...");
      break;
    case WEBKIT_LOAD_COMMITTED:
      self->OnStatusTextChange("Loading " + uri + "...");
      break;
    case WEBKIT_LOAD_FINISHED:
      AfxTrace("Load finished: %s\n", uri.c_str());
      if (!self->m_bLoadFailed) self->OnStatusTextChange("Done");
      self->OnDocumentComplete(uri);
      break;
    default:
      break;
  }
}

void CHtmlView::OnDestroy() {
  // The engine's widget goes with the view's; no signal may reach this object after it.
  if (m_pBrowserApp != nullptr) g_signal_handlers_disconnect_by_data(m_pBrowserApp, this);
  m_pBrowserApp = nullptr;
}

void CHtmlView::GiveFocus() {
  if (m_pBrowserApp != nullptr) gtk_widget_grab_focus(GTK_WIDGET(m_pBrowserApp));
}

void CHtmlView::Navigate2(const std::string& url) {
  if (m_pBrowserApp == nullptr) return;
  if (!url.empty() && url.front() == '/') {
    gchar* uri = g_filename_to_uri(url.c_str(), nullptr, nullptr);
    if (uri != nullptr) webkit_web_view_load_uri(m_pBrowserApp, uri);
    g_free(uri);
  } else {
    webkit_web_view_load_uri(m_pBrowserApp, url.c_str());
  }
}

void CHtmlView::LoadHtml(const std::string& html, const std::string& baseDir) {
  if (m_pBrowserApp == nullptr) return;
  gchar* baseUri = baseDir.empty() ? nullptr : g_filename_to_uri((baseDir + "/").c_str(), nullptr, nullptr);
  webkit_web_view_load_html(m_pBrowserApp, html.c_str(), baseUri);
  g_free(baseUri);
}

void CHtmlView::GoBack() {
  if (m_pBrowserApp != nullptr) webkit_web_view_go_back(m_pBrowserApp);
}

void CHtmlView::GoForward() {
  if (m_pBrowserApp != nullptr) webkit_web_view_go_forward(m_pBrowserApp);
}

void CHtmlView::OnFilePrint() {
  if (m_pBrowserApp == nullptr || webkit_web_view_get_uri(m_pBrowserApp) == nullptr) return;
  WebKitPrintOperation* operation = webkit_print_operation_new(m_pBrowserApp);
  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(m_pBrowserApp));
  webkit_print_operation_run_dialog(operation, GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr);
  g_object_unref(operation);
}

void CHtmlView::OnStatusTextChange(const std::string& text) {
  if (CFrameWnd* pFrame = GetParentFrame()) pFrame->SetMessageText(text);
}
