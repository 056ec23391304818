#include "bars/FlyByPrompts.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gdkmm/seat.h>
#include <gtkmm/window.h>

#include "bars/CControlBar.h"
#include "core/AfxRes.h"
#include "window/CFrameWnd.h"

FlyByPrompts::~FlyByPrompts() {
  m_restTimer.disconnect();
  m_checkTimer.disconnect();
}

void FlyByPrompts::WatchButton(Gtk::Widget& button, UINT nID) {
  button.add_events(Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
  button.signal_enter_notify_event().connect([this, nID](GdkEventCrossing*) {
    m_hoverID = nID;
    if (m_bPromptUp) {
      Show(nID);
    } else {
      m_restTimer.disconnect();
      m_restTimer = Glib::signal_timeout().connect(
          [this, nID] {
            if (m_hoverID == nID) Show(nID);
            return false;
          },
          kRestMs);
    }
    return false;
  });
  button.signal_leave_notify_event().connect([this](GdkEventCrossing*) {
    m_hoverID = 0;
    m_restTimer.disconnect();
    return false;
  });
  button.signal_button_press_event().connect(
      [this, nID](GdkEventButton* e) {
        if (e->button == 1) Show(nID);
        return false;
      },
      false);
  button.signal_button_release_event().connect(
      [this](GdkEventButton* e) {
        if (e->button == 1) Clear();
        return false;
      },
      false);
}

void FlyByPrompts::WatchBackground(Gtk::Widget& background) {
  background.add_events(Gdk::POINTER_MOTION_MASK | Gdk::ENTER_NOTIFY_MASK);
  auto onBackground = [this] {
    if (m_hoverID == 0 && m_bPromptUp) Clear();
  };
  background.signal_motion_notify_event().connect([onBackground](GdkEventMotion*) {
    onBackground();
    return false;
  });
}

void FlyByPrompts::Show(UINT nID) {
  CFrameWnd* pFrame = m_bar.GetOwnerFrame();
  if (pFrame == nullptr) return;
  pFrame->SetMessageText(nID);
  m_bPromptUp = true;
  if (!m_checkTimer.connected())
    m_checkTimer = Glib::signal_timeout().connect(
        [this] {
          if (PointerStillOnBar()) return true;
          Clear();
          return false;
        },
        kCheckMs);
}

void FlyByPrompts::Clear() {
  m_checkTimer.disconnect();
  if (!m_bPromptUp) return;
  m_bPromptUp = false;
  if (CFrameWnd* pFrame = m_bar.GetOwnerFrame()) pFrame->SetMessageText(AFX_IDS_IDLEMESSAGE);
}

bool FlyByPrompts::PointerStillOnBar() const {
  Gtk::Widget* widget = m_bar.GetWidget();
  CFrameWnd* pFrame = m_bar.GetOwnerFrame();
  if (widget == nullptr || pFrame == nullptr || !widget->get_realized()) return false;
  // The frame, or the palette the bar floats in, must be the active window.
  auto* toplevel = dynamic_cast<Gtk::Window*>(widget->get_toplevel());
  bool active = pFrame->GetGtkWindow()->is_active() || (toplevel != nullptr && toplevel->is_active());
  if (!active || !pFrame->GetGtkWindow()->get_sensitive()) return false;
  // Another window holding the mouse (a menu, a drag) ends the prompt.
  GtkWidget* grab = gtk_grab_get_current();
  if (grab != nullptr && !gtk_widget_is_ancestor(grab, widget->gobj()) && grab != widget->gobj()) return false;
  int x = 0, y = 0;
  Gdk::ModifierType mask;
  auto seat = widget->get_display()->get_default_seat();
  widget->get_window()->get_device_position(seat->get_pointer(), x, y, mask);
  Gtk::Allocation a = widget->get_allocation();
  if (widget->get_has_window()) {
    a.set_x(0);
    a.set_y(0);
  }
  return x >= a.get_x() && y >= a.get_y() && x < a.get_x() + a.get_width() && y < a.get_y() + a.get_height();
}
