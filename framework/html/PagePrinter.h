// Prints the page shown through the engine's print operation, which asks with the GTK print dialog
// (printer, pages, preview, output to a PDF file). Printing goes on after the dialog closes; a
// failure is reported through the callback.
#pragma once

#include <glib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPrintOperation WebKitPrintOperation;
typedef struct _GtkWindow GtkWindow;

class PagePrinter {
 public:
  using Failed = std::function<void(const std::string& reason)>;

  PagePrinter(WebKitWebView* webView, Failed failed);
  ~PagePrinter();
  PagePrinter(const PagePrinter&) = delete;
  PagePrinter& operator=(const PagePrinter&) = delete;

  // Does nothing while the engine holds no page.
  void Print(GtkWindow* parent);

 private:
  void Forget(WebKitPrintOperation* operation);
  static void OnFailed(WebKitPrintOperation* operation, GError* error, PagePrinter* self);
  static void OnFinished(WebKitPrintOperation* operation, PagePrinter* self);

  WebKitWebView* m_webView;
  Failed m_failed;
  std::vector<WebKitPrintOperation*> m_running;  // referenced until they finish
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
