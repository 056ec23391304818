#include "html/MadeKey.h"

namespace MadeKey {

void PressAndRelease(GtkWidget* widget, guint keyval, guint16 keycode, guint8 group, guint state, bool modifier) {
  GdkWindow* window = gtk_widget_get_window(widget);
  if (window == nullptr) return;
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(window));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.state = state;
  event->key.keyval = keyval;
  event->key.hardware_keycode = keycode;
  event->key.group = group;
  event->key.is_modifier = modifier;
  GdkDisplay* display = gdk_window_get_display(window);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  gtk_widget_event(widget, event);
  event->type = GDK_KEY_RELEASE;
  gtk_widget_event(widget, event);
  gdk_event_free(event);
}

void PressAndRelease(GtkWidget* widget, guint keyval, guint state) {
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  guint16 keycode = 0;
  guint8 group = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gtk_widget_get_display(widget)), keyval, &keys,
                                        &count) &&
      count > 0) {
    keycode = guint16(keys[0].keycode);
    group = guint8(keys[0].group);
  }
  g_free(keys);
  PressAndRelease(widget, keyval, keycode, group, state, false);
}

}  // namespace MadeKey
