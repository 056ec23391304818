#include "html/HeldModifiers.h"

#include <algorithm>
#include <utility>

HeldModifiers::HeldModifiers(WebKitWebView* webView) : m_webView(webView) {
  g_signal_connect(webView, "key-press-event", G_CALLBACK(OnKey), this);
  g_signal_connect(webView, "key-release-event", G_CALLBACK(OnKey), this);
  g_signal_connect(webView, "focus-in-event", G_CALLBACK(OnFocusIn), this);
}

HeldModifiers::~HeldModifiers() { g_signal_handlers_disconnect_by_data(m_webView, this); }

gboolean HeldModifiers::OnKey(GtkWidget*, GdkEventKey* event, HeldModifiers* self) {
  if (event->send_event || !event->is_modifier) return FALSE;
  std::erase_if(self->m_held, [event](const GdkEventKey& held) { return held.keyval == event->keyval; });
  if (event->type == GDK_KEY_PRESS) {
    GdkEventKey press = *event;
    press.window = nullptr;  // not held: what is made of it names the view's own window
    press.string = nullptr;
    press.length = 0;
    self->m_held.push_back(press);
  }
  return FALSE;  // the engine's as ever
}

// A modifier the engine saw go down and not come up means the keyboard left the page in the middle
// of a combination.
gboolean HeldModifiers::OnFocusIn(GtkWidget*, GdkEventFocus*, HeldModifiers* self) {
  for (const GdkEventKey& press : std::exchange(self->m_held, {})) {
    self->Send(GDK_KEY_PRESS, press);
    self->Send(GDK_KEY_RELEASE, press);
  }
  return FALSE;
}

void HeldModifiers::Send(GdkEventType type, const GdkEventKey& key) {
  GtkWidget* widget = GTK_WIDGET(m_webView);
  GdkWindow* window = gtk_widget_get_window(widget);
  if (window == nullptr) return;
  GdkEvent* event = gdk_event_new(type);
  event->key.window = GDK_WINDOW(g_object_ref(window));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.state = type == GDK_KEY_PRESS ? 0 : key.state;
  event->key.keyval = key.keyval;
  event->key.hardware_keycode = key.hardware_keycode;
  event->key.group = key.group;
  event->key.is_modifier = 1;
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_window_get_display(window))));
  gtk_widget_event(widget, event);
  gdk_event_free(event);
}
