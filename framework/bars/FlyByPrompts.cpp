#include "bars/FlyByPrompts.h"

#include <gdkmm/display.h>
#include <gdkmm/seat.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include "bars/CControlBar.h"
#include "core/AfxRes.h"
#include "window/CFrameWnd.h"

FlyByPrompts::~FlyByPrompts() {
  m_restTimer.disconnect();
  m_checkTimer.disconnect();
}

void FlyByPrompts::WatchButton(Gtk::Widget& button, UINT nID) {
  // A pointer that arrives in one movement may bring no motion event over the button: the rest
  // starts when it enters.
  button.signal_enter_notify_event().connect(
      [this, nID](GdkEventCrossing*) {
        Hover(nID, true);
        return false;
      },
      false);
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
  // The pointer is followed over the whole bar and the button under it found by position: a
  // disabled button gets no crossing events of its own, yet it has a prompt like any other.
  background.add_events(Gdk::POINTER_MOTION_MASK | Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
  background.signal_enter_notify_event().connect(
      [this](GdkEventCrossing* e) {
        Hover(m_bar.CommandAt(e->x_root, e->y_root), true);
        return false;
      },
      false);
  background.signal_motion_notify_event().connect(
      [this](GdkEventMotion* e) {
        Hover(m_bar.CommandAt(e->x_root, e->y_root), true);
        return false;
      },
      false);
  background.signal_leave_notify_event().connect(
      [this](GdkEventCrossing* e) {
        if (e->detail != GDK_NOTIFY_INFERIOR) Hover(m_bar.CommandAt(e->x_root, e->y_root), false);
        return false;
      },
      false);
}

void FlyByPrompts::Hover(UINT nID, bool bOnBar) {
  if (nID == m_hoverID) return;
  m_hoverID = nID;
  m_restTimer.disconnect();
  if (nID == 0) {
    // Onto the bar's background: "Ready" at once. Off the bar: the check timer sees to it.
    if (bOnBar) Clear();
    return;
  }
  if (m_bPromptUp) {
    Show(nID);
    return;
  }
  m_restTimer = Glib::signal_timeout().connect(
      [this] {
        // GTK may drop the motion event that leaves a button for its surroundings: the pointer's
        // own position decides.
        if (UINT nID = CommandUnderPointer(); nID != 0) Show(nID);
        return false;
      },
      kRestMs);
}

UINT FlyByPrompts::CommandUnderPointer() const {
  Gtk::Widget* widget = m_bar.GetWidget();
  if (widget == nullptr || !widget->get_realized()) return 0;
  int x = 0, y = 0;
  Glib::RefPtr<Gdk::Screen> screen;
  widget->get_display()->get_default_seat()->get_pointer()->get_position(screen, x, y);
  return m_bar.CommandAt(x, y);
}

void FlyByPrompts::Show(UINT nID) {
  CFrameWnd* pFrame = m_bar.GetOwnerFrame();
  if (pFrame == nullptr) return;
  pFrame->SetMessageText(nID);
  m_bPromptUp = true;
  if (!m_checkTimer.connected())
    m_checkTimer = Glib::signal_timeout().connect(
        [this] {
          if (!PointerStillOnBar()) {
            Clear();
            return false;
          }
          Hover(CommandUnderPointer(), true);  // a motion GTK dropped is made up for here
          return m_bPromptUp;
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
