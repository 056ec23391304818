#include "html/PagePrinter.h"

#include <gtk/gtkunixprint.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <utility>

#include "app/CWinApp.h"
#include "core/Trace.h"

bool PagePrinter::s_asking = false;
GtkWindow* PagePrinter::s_closeAfterwards = nullptr;

PagePrinter::PagePrinter(WebKitWebView* webView, Failed failed) : m_webView(webView), m_failed(std::move(failed)) {}

PagePrinter::~PagePrinter() {
  *m_alive = false;
  for (WebKitPrintOperation* operation : m_running) {
    g_signal_handlers_disconnect_by_data(operation, this);
    g_object_unref(operation);
  }
}

void PagePrinter::Print(GtkWindow* parent) {
  if (webkit_web_view_get_uri(m_webView) == nullptr || s_asking) return;
  WebKitPrintOperation* operation = webkit_print_operation_new(m_webView);
  Run(operation, parent);
  g_object_unref(operation);
}

bool PagePrinter::PrintForPage(WebKitPrintOperation* operation, GtkWindow* parent) {
  if (s_asking) return false;
  Run(operation, parent);
  return true;
}

void PagePrinter::Run(WebKitPrintOperation* operation, GtkWindow* parent) {
  g_object_ref(operation);
  // The dialog starts with the printer and page set-up chosen in Print Setup.
  if (CWinApp* pApp = AfxGetApp()) {
    if (pApp->GetPrintSettings() != nullptr)
      webkit_print_operation_set_print_settings(operation, pApp->GetPrintSettings());
    if (pApp->GetPageSetup() != nullptr) webkit_print_operation_set_page_setup(operation, pApp->GetPageSetup());
  }
  m_running.push_back(operation);
  g_signal_connect(operation, "failed", G_CALLBACK(OnFailed), this);
  g_signal_connect(operation, "finished", G_CALLBACK(OnFinished), this);
  // The dialog runs a main loop of its own, in which anything may happen, this object's end included.
  std::shared_ptr<bool> alive = m_alive;
  g_object_ref(operation);
  s_asking = true;
  gdk_event_handler_set(OnEvent, nullptr, nullptr);
  const WebKitPrintOperationResponse response = webkit_print_operation_run_dialog(operation, parent);
  gdk_event_handler_set(
      +[](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
  s_asking = false;
  if (*alive && response == WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) Forget(operation);
  g_object_unref(operation);
  if (GtkWindow* window = std::exchange(s_closeAfterwards, nullptr)) {
    // After the caller has returned: the window's end may take this object and the engine's view along.
    g_idle_add(
        +[](gpointer data) {
          gtk_window_close(GTK_WINDOW(data));
          g_object_unref(data);
          return G_SOURCE_REMOVE;
        },
        window);
  }
}

// GTK drops a close-box press on a window that a modal dialog blocks. While the print dialog is up
// such a press cancels the dialog and is repeated once it is gone.
void PagePrinter::OnEvent(GdkEvent* event, gpointer) {
  if (event->type == GDK_DELETE && s_closeAfterwards == nullptr) {
    GtkWidget* widget = gtk_get_event_widget(event);
    GtkWidget* grab = gtk_grab_get_current();
    GtkWidget* dialog = grab != nullptr ? gtk_widget_get_toplevel(grab) : nullptr;
    if (widget != nullptr && GTK_IS_WINDOW(widget) && GTK_IS_PRINT_UNIX_DIALOG(dialog) && widget != dialog) {
      AfxTrace("Close asked while printing: the print dialog is cancelled\n");
      s_closeAfterwards = GTK_WINDOW(g_object_ref(widget));
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
      return;
    }
  }
  gtk_main_do_event(event);
}

void PagePrinter::Forget(WebKitPrintOperation* operation) {
  auto it = std::find(m_running.begin(), m_running.end(), operation);
  if (it == m_running.end()) return;
  m_running.erase(it);
  g_signal_handlers_disconnect_by_data(operation, this);
  g_object_unref(operation);
}

void PagePrinter::OnFailed(WebKitPrintOperation*, GError* error, PagePrinter* self) {
  AfxTrace("Printing failed: %s\n", error->message);
  self->m_failed(error->message);
}

void PagePrinter::OnFinished(WebKitPrintOperation* operation, PagePrinter* self) {
  AfxTrace("Printing finished\n");
  self->Forget(operation);
}
