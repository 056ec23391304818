#include "html/PagePrinter.h"

#include <webkit2/webkit2.h>

#include <algorithm>

#include "app/CWinApp.h"
#include "core/Trace.h"

PagePrinter::PagePrinter(WebKitWebView* webView, Failed failed) : m_webView(webView), m_failed(std::move(failed)) {}

PagePrinter::~PagePrinter() {
  *m_alive = false;
  for (WebKitPrintOperation* operation : m_running) {
    g_signal_handlers_disconnect_by_data(operation, this);
    g_object_unref(operation);
  }
}

void PagePrinter::Print(GtkWindow* parent) {
  if (webkit_web_view_get_uri(m_webView) == nullptr) return;
  WebKitPrintOperation* operation = webkit_print_operation_new(m_webView);
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
  const WebKitPrintOperationResponse response = webkit_print_operation_run_dialog(operation, parent);
  if (*alive && response == WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) Forget(operation);
  g_object_unref(operation);
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
