#include "html/PagePrinter.h"

#include <glibmm/main.h>
#include <gtk/gtkunixprint.h>
#include <gtkmm/pagesetup.h>
#include <gtkmm/printsettings.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <utility>

#include "app/CWinApp.h"
#include "core/Trace.h"
#include "dialogs/PrintFileTarget.h"

namespace {

// The engine prints nothing on a page set up as landscape (its pages come out blank). The same
// page as a portrait one on paper given sideways prints right; the printer gets the same sheet.
// Empty for a page set up upright already.
Glib::RefPtr<Gtk::PageSetup> Upright(const Glib::RefPtr<const Gtk::PageSetup>& setup) {
  const Gtk::PageOrientation orientation = setup->get_orientation();
  if (orientation != Gtk::PAGE_ORIENTATION_LANDSCAPE && orientation != Gtk::PAGE_ORIENTATION_REVERSE_LANDSCAPE)
    return {};
  const Glib::RefPtr<Gtk::PageSetup> upright = setup->copy();
  const Gtk::PaperSize paper = setup->get_paper_size();
  const Gtk::Unit unit = Gtk::UNIT_POINTS;
  upright->set_orientation(Gtk::PAGE_ORIENTATION_PORTRAIT);
  upright->set_paper_size(Gtk::PaperSize(paper.get_name() + "-sideways", paper.get_display_name(),
                                         paper.get_height(unit), paper.get_width(unit), unit));
  // The margins are those of the page as it lies, which stays as it was.
  upright->set_top_margin(setup->get_top_margin(unit), unit);
  upright->set_bottom_margin(setup->get_bottom_margin(unit), unit);
  upright->set_left_margin(setup->get_left_margin(unit), unit);
  upright->set_right_margin(setup->get_right_margin(unit), unit);
  return upright;
}

// A print dialog's confirmation: the page set-up chosen is made upright before the engine reads it.
gboolean OnDialogResponse(GSignalInvocationHint*, guint count, const GValue* values, gpointer) {
  if (count < 2 || !GTK_IS_PRINT_UNIX_DIALOG(g_value_get_object(&values[0])) ||
      g_value_get_int(&values[1]) != GTK_RESPONSE_OK)
    return TRUE;
  auto* dialog = GTK_PRINT_UNIX_DIALOG(g_value_get_object(&values[0]));
  if (const auto upright = Upright(Glib::wrap(gtk_print_unix_dialog_get_page_setup(dialog), true)))
    gtk_print_unix_dialog_set_page_setup(dialog, upright->gobj());
  return TRUE;  // stays hooked
}

// A copy of the settings to start the dialog with: Print Setup's choice, else what the operation
// holds already (a page's own print may bring some), else new ones. The choice itself stays as it was.
Glib::RefPtr<Gtk::PrintSettings> StartingSettings(WebKitPrintOperation* operation, CWinApp* pApp) {
  GtkPrintSettings* start = pApp != nullptr ? pApp->GetPrintSettings() : nullptr;
  if (start == nullptr) start = webkit_print_operation_get_print_settings(operation);
  return start != nullptr ? Glib::wrap(start, true)->copy() : Gtk::PrintSettings::create();
}

// GTK's own handling of events, given back once the print dialog has gone.
void Deliver(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

}  // namespace

bool PagePrinter::s_asking = false;
GObjectPtr<GtkWindow> PagePrinter::s_closeAfterwards;

PagePrinter::PagePrinter(WebKitWebView* webView, Failed failed) : m_webView(webView), m_failed(std::move(failed)) {}

PagePrinter::~PagePrinter() {
  *m_alive = false;
  for (const auto& operation : m_running) g_signal_handlers_disconnect_by_data(operation.get(), this);
}

void PagePrinter::Print(GtkWindow* parent) {
  if (webkit_web_view_get_uri(m_webView) == nullptr || s_asking) return;
  const GObjectPtr<WebKitPrintOperation> operation(webkit_print_operation_new(m_webView));
  Run(operation.get(), parent);
}

bool PagePrinter::PrintForPage(WebKitPrintOperation* operation, GtkWindow* parent) {
  if (s_asking) return false;
  Run(operation, parent);
  return true;
}

void PagePrinter::Run(WebKitPrintOperation* operation, GtkWindow* parent) {
  // The dialog starts with the printer and page set-up chosen in Print Setup, and its file printer
  // with a file named after the page.
  CWinApp* pApp = AfxGetApp();
  const Glib::RefPtr<Gtk::PrintSettings> settings = StartingSettings(operation, pApp);
  const char* title = webkit_web_view_get_title(m_webView);
  const char* uri = webkit_web_view_get_uri(m_webView);
  PrintFileTarget::Propose(settings, title != nullptr ? title : "", uri != nullptr ? uri : "");
  webkit_print_operation_set_print_settings(operation, settings->gobj());
  if (pApp != nullptr && pApp->GetPageSetup() != nullptr)
    webkit_print_operation_set_page_setup(operation, pApp->GetPageSetup());
  m_running.push_back(GObjectRef(operation));
  g_signal_connect(operation, "failed", G_CALLBACK(OnFailed), this);
  g_signal_connect(operation, "finished", G_CALLBACK(OnFinished), this);
  // The dialog runs a main loop of its own, in which anything may happen, this object's end included.
  std::shared_ptr<bool> alive = m_alive;
  const GObjectPtr<WebKitPrintOperation> held = GObjectRef(operation);
  s_asking = true;
  gdk_event_handler_set(OnEvent, nullptr, nullptr);
  const guint responded = g_signal_lookup("response", GTK_TYPE_DIALOG);
  const gulong hook = g_signal_add_emission_hook(responded, 0, OnDialogResponse, nullptr, nullptr);
  const WebKitPrintOperationResponse response = webkit_print_operation_run_dialog(operation, parent);
  g_signal_remove_emission_hook(responded, hook);
  gdk_event_handler_set(Deliver, nullptr, nullptr);
  s_asking = false;
  if (response == WEBKIT_PRINT_OPERATION_RESPONSE_PRINT)
    PrintFileTarget::Keep(Glib::wrap(webkit_print_operation_get_print_settings(operation), true));
  if (*alive && response == WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) Forget(operation);
  if (s_closeAfterwards) {
    // After the caller has returned: the window's end may take this object and the engine's view along.
    Glib::signal_idle().connect_once(
        [window = std::shared_ptr<GtkWindow>(std::move(s_closeAfterwards))] { gtk_window_close(window.get()); });
  }
}

// GTK drops a close-box press on a window that a modal dialog blocks. While the print dialog is up
// such a press cancels the dialog and is repeated once it is gone.
void PagePrinter::OnEvent(GdkEvent* event, gpointer) {
  if (event->type == GDK_DELETE && !s_closeAfterwards) {
    GtkWidget* widget = gtk_get_event_widget(event);
    GtkWidget* grab = gtk_grab_get_current();
    GtkWidget* dialog = grab != nullptr ? gtk_widget_get_toplevel(grab) : nullptr;
    if (widget != nullptr && GTK_IS_WINDOW(widget) && GTK_IS_PRINT_UNIX_DIALOG(dialog) && widget != dialog) {
      AfxTrace("Close asked while printing: the print dialog is cancelled\n");
      s_closeAfterwards = GObjectRef(GTK_WINDOW(widget));
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
      return;
    }
  }
  gtk_main_do_event(event);
}

void PagePrinter::Forget(WebKitPrintOperation* operation) {
  auto it = std::find_if(m_running.begin(), m_running.end(),
                         [operation](const auto& held) { return held.get() == operation; });
  if (it == m_running.end()) return;
  g_signal_handlers_disconnect_by_data(operation, this);
  m_running.erase(it);
}

void PagePrinter::OnFailed(WebKitPrintOperation*, GError* error, PagePrinter* self) {
  AfxTrace("Printing failed: %s\n", error->message);
  self->m_failed(error->message);
}

void PagePrinter::OnFinished(WebKitPrintOperation* operation, PagePrinter* self) {
  AfxTrace("Printing finished\n");
  self->Forget(operation);
}
