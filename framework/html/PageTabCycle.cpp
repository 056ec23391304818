#include "html/PageTabCycle.h"

#include "html/MadeKey.h"

PageTabCycle::PageTabCycle(WebKitWebView* webView) : m_webView(webView) {
  g_signal_connect(webView, "focus", G_CALLBACK(OnFocus), this);
  g_signal_connect(webView, "key-press-event", G_CALLBACK(OnKeyPress), this);
}

PageTabCycle::~PageTabCycle() {
  g_signal_handlers_disconnect_by_data(m_webView, this);
  if (m_pending != 0) g_source_remove(m_pending);
}

// The window asks the page to take the focus in a direction: still focused, the page is being left;
// not focused right after that, the window has gone round and gives it back.
gboolean PageTabCycle::OnFocus(GtkWidget* widget, GtkDirectionType direction, PageTabCycle* self) {
  if (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD) return FALSE;
  if (gtk_widget_has_focus(widget)) {
    self->m_leaving = direction;
    // A hand-back that another widget took ends here.
    if (self->m_pending == 0)
      self->m_pending = g_idle_add(
          +[](gpointer data) {
            auto* cycle = static_cast<PageTabCycle*>(data);
            cycle->m_pending = 0;
            cycle->m_leaving = -1;
            return G_SOURCE_REMOVE;
          },
          self);
    return FALSE;
  }
  if (self->m_leaving != direction) return FALSE;  // the reader came from another widget
  self->m_leaving = -1;
  // Once only: a page with nothing to focus hands the focus back again.
  if (self->m_sent) return FALSE;
  if (self->m_pending != 0) g_source_remove(self->m_pending);
  self->m_direction = direction;
  self->m_pending = g_idle_add(SendTab, self);
  return FALSE;  // the window's own handling gives the page the focus
}

gboolean PageTabCycle::OnKeyPress(GtkWidget*, GdkEventKey* event, PageTabCycle* self) {
  if (!event->send_event) self->m_sent = false;
  return FALSE;
}

gboolean PageTabCycle::SendTab(gpointer data) {
  auto* self = static_cast<PageTabCycle*>(data);
  self->m_pending = 0;
  self->m_leaving = -1;
  GtkWidget* widget = GTK_WIDGET(self->m_webView);
  if (!gtk_widget_has_focus(widget)) return G_SOURCE_REMOVE;
  const bool backward = self->m_direction == GTK_DIR_TAB_BACKWARD;
  self->m_sent = true;
  MadeKey::PressAndRelease(widget, backward ? GDK_KEY_ISO_Left_Tab : GDK_KEY_Tab, backward ? GDK_SHIFT_MASK : 0);
  return G_SOURCE_REMOVE;
}
