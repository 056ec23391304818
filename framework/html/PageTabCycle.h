// Tab past a page's last link (Shift+Tab before its first) goes round to its first (last) link, as
// it does in a browser whose window has nothing else to stop at. The engine hands the focus back to
// the window there; the window, with no other widget to give it to, gives it back to the page with
// nothing in it focused: a stop the reader cannot see, after which Tab starts again at the top.
// Such a hand-back is answered with one more Tab in the same direction.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

class PageTabCycle {
 public:
  explicit PageTabCycle(WebKitWebView* webView);
  ~PageTabCycle();
  PageTabCycle(const PageTabCycle&) = delete;
  PageTabCycle& operator=(const PageTabCycle&) = delete;

 private:
  static gboolean OnFocus(GtkWidget* widget, GtkDirectionType direction, PageTabCycle* self);
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, PageTabCycle* self);
  static gboolean SendTab(gpointer data);

  WebKitWebView* m_webView;
  int m_leaving = -1;   // the direction the engine has just handed the focus back in
  guint m_pending = 0;  // the Tab to send, or the end of a hand-back that went elsewhere
  bool m_sent = false;  // a Tab was sent and no key of the reader's has come since
  GtkDirectionType m_direction = GTK_DIR_TAB_FORWARD;
};
