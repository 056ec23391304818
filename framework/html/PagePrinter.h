// Prints the page shown through the engine's print operation, which asks with the GTK print dialog
// (printer, pages, preview, output to a PDF file, whose place PrintFileTarget proposes and keeps).
// Printing goes on after the dialog closes; a failure is reported through the callback. At most
// one print dialog exists at a time. While it is up, the close box of a window it blocks still
// works: the dialog is cancelled, then the window is asked to close as if its close box had just
// been pressed.
#pragma once

#include <glib-object.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/GObjectPtr.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPrintOperation WebKitPrintOperation;
typedef struct _GtkWindow GtkWindow;
typedef union _GdkEvent GdkEvent;

class PagePrinter {
 public:
  using Failed = std::function<void(const std::string& reason)>;

  PagePrinter(WebKitWebView* webView, Failed failed);
  ~PagePrinter();
  PagePrinter(const PagePrinter&) = delete;
  PagePrinter& operator=(const PagePrinter&) = delete;

  // Does nothing while the engine holds no page or a print dialog is up.
  void Print(GtkWindow* parent);
  // Runs the dialog for a print the page asked for (window.print()); false when it was refused
  // because a print dialog is up already.
  bool PrintForPage(WebKitPrintOperation* operation, GtkWindow* parent);
  bool IsAsking() const { return s_asking; }

 private:
  void Run(WebKitPrintOperation* operation, GtkWindow* parent);
  void Forget(WebKitPrintOperation* operation);
  static void OnEvent(GdkEvent* event, gpointer);
  static void OnFailed(WebKitPrintOperation* operation, GError* error, PagePrinter* self);
  static void OnFinished(WebKitPrintOperation* operation, PagePrinter* self);

  WebKitWebView* m_webView;
  Failed m_failed;
  std::vector<GObjectPtr<WebKitPrintOperation>> m_running;  // held until they finish
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
  static bool s_asking;                            // a print dialog is up, from any printer in this process
  static GObjectPtr<GtkWindow> s_closeAfterwards;  // a window whose close box was pressed meanwhile
};
