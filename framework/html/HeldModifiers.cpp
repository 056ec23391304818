#include "html/HeldModifiers.h"

#include <algorithm>
#include <utility>

#include "html/MadeKey.h"

HeldModifiers::HeldModifiers(WebKitWebView* webView) : m_webView(webView) {
  g_signal_connect(webView, "key-press-event", G_CALLBACK(OnKey), this);
  g_signal_connect(webView, "key-release-event", G_CALLBACK(OnKey), this);
  g_signal_connect(webView, "focus-in-event", G_CALLBACK(OnFocusIn), this);
}

HeldModifiers::~HeldModifiers() { g_signal_handlers_disconnect_by_data(m_webView, this); }

gboolean HeldModifiers::OnKey(GtkWidget*, GdkEventKey* event, HeldModifiers* self) {
  if (event->send_event || !event->is_modifier) return FALSE;
  std::erase_if(self->m_held, [event](const Key& held) { return held.keyval == event->keyval; });
  if (event->type == GDK_KEY_PRESS) self->m_held.push_back({event->keyval, event->hardware_keycode, event->group});
  return FALSE;  // the engine's as ever
}

// A modifier the engine saw go down and not come up means the keyboard left the page in the middle
// of a combination.
gboolean HeldModifiers::OnFocusIn(GtkWidget*, GdkEventFocus*, HeldModifiers* self) {
  for (const Key& key : std::exchange(self->m_held, {}))
    MadeKey::PressAndRelease(GTK_WIDGET(self->m_webView), key.keyval, key.keycode, key.group, 0, true);
  return FALSE;
}
