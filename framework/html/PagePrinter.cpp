#include "html/PagePrinter.h"

#include <gtk/gtkunixprint.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <utility>

#include "app/CWinApp.h"
#include "core/Trace.h"

namespace {

// The engine prints nothing on a page set up as landscape (its pages come out blank). The same
// page as a portrait one on paper given sideways prints right; the printer gets the same sheet.
GtkPageSetup* Upright(GtkPageSetup* setup) {
  const GtkPageOrientation orientation = gtk_page_setup_get_orientation(setup);
  if (orientation != GTK_PAGE_ORIENTATION_LANDSCAPE && orientation != GTK_PAGE_ORIENTATION_REVERSE_LANDSCAPE)
    return nullptr;
  GtkPageSetup* upright = gtk_page_setup_copy(setup);
  GtkPaperSize* paper = gtk_page_setup_get_paper_size(setup);
  const std::string name = std::string(gtk_paper_size_get_name(paper)) + "-sideways";
  GtkPaperSize* sideways = gtk_paper_size_new_custom(name.c_str(), gtk_paper_size_get_display_name(paper),
                                                     gtk_paper_size_get_height(paper, GTK_UNIT_POINTS),
                                                     gtk_paper_size_get_width(paper, GTK_UNIT_POINTS), GTK_UNIT_POINTS);
  gtk_page_setup_set_orientation(upright, GTK_PAGE_ORIENTATION_PORTRAIT);
  gtk_page_setup_set_paper_size(upright, sideways);
  gtk_paper_size_free(sideways);
  // The margins are those of the page as it lies, which stays as it was.
  const GtkUnit unit = GTK_UNIT_POINTS;
  gtk_page_setup_set_top_margin(upright, gtk_page_setup_get_top_margin(setup, unit), unit);
  gtk_page_setup_set_bottom_margin(upright, gtk_page_setup_get_bottom_margin(setup, unit), unit);
  gtk_page_setup_set_left_margin(upright, gtk_page_setup_get_left_margin(setup, unit), unit);
  gtk_page_setup_set_right_margin(upright, gtk_page_setup_get_right_margin(setup, unit), unit);
  return upright;
}

// A print dialog's confirmation: the page set-up chosen is made upright before the engine reads it.
gboolean OnDialogResponse(GSignalInvocationHint*, guint count, const GValue* values, gpointer) {
  if (count < 2 || !GTK_IS_PRINT_UNIX_DIALOG(g_value_get_object(&values[0])) ||
      g_value_get_int(&values[1]) != GTK_RESPONSE_OK)
    return TRUE;
  auto* dialog = GTK_PRINT_UNIX_DIALOG(g_value_get_object(&values[0]));
  if (GtkPageSetup* upright = Upright(gtk_print_unix_dialog_get_page_setup(dialog))) {
    gtk_print_unix_dialog_set_page_setup(dialog, upright);
    g_object_unref(upright);
  }
  return TRUE;  // stays hooked
}

}  // namespace

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
  const guint responded = g_signal_lookup("response", GTK_TYPE_DIALOG);
  const gulong hook = g_signal_add_emission_hook(responded, 0, OnDialogResponse, nullptr, nullptr);
  const WebKitPrintOperationResponse response = webkit_print_operation_run_dialog(operation, parent);
  g_signal_remove_emission_hook(responded, hook);
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
