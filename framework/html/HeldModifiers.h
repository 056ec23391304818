// A key that moves the keyboard away from the page (Ctrl+F to the find bar, Ctrl+O to a dialog) is
// pressed with a modifier held: the engine gets the modifier's press, asks its page, and hands the
// press back to the window when the page has not used it, marking the view's next key press to be
// passed on as well. By then the keyboard is elsewhere: the press handed back goes there, and the
// mark stays, so that the first key the page gets afterwards never reaches it (Esc and then Enter on
// a link found did nothing). When the page gets the keyboard back with a modifier the engine still
// takes for held, the engine is given that modifier once more, pressed and let go, which uses the
// mark up if it is there.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <vector>

class HeldModifiers {
 public:
  explicit HeldModifiers(WebKitWebView* webView);
  ~HeldModifiers();
  HeldModifiers(const HeldModifiers&) = delete;
  HeldModifiers& operator=(const HeldModifiers&) = delete;

 private:
  static gboolean OnKey(GtkWidget*, GdkEventKey* event, HeldModifiers* self);
  static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus*, HeldModifiers* self);

  struct Key {
    guint keyval;
    guint16 keycode;
    guint8 group;
  };

  WebKitWebView* m_webView;
  std::vector<Key> m_held;  // the modifiers' presses the engine got without their releases
};
