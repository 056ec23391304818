#include "bars/CControlBar.h"

#include <gdkmm/cursor.h>
#include <gdkmm/window.h>

#include <cmath>

#include "bars/BarDocking.h"
#include "bars/CDockBar.h"
#include "bars/CMiniDockFrameWnd.h"
#include "core/Trace.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsWindowVisible()) return 0;
  if (CFrameWnd* pTarget = m_pOwnerFrame ? m_pOwnerFrame : GetParentFrame()) OnUpdateCmdUI(pTarget, wParam != 0);
  return 0;
}

LayoutEdge CControlBar::GetFrameEdge() const {
  return m_dwStyle & CBRS_ALIGN_TOP      ? LayoutEdge::top
         : m_dwStyle & CBRS_ALIGN_BOTTOM ? LayoutEdge::bottom
         : m_dwStyle & CBRS_ALIGN_LEFT   ? LayoutEdge::left
                                         : LayoutEdge::right;
}

void CControlBar::EnableDocking(long dwDockStyle) {
  m_dwDockStyle = dwDockStyle;
  if (m_pOwnerFrame == nullptr) m_pOwnerFrame = GetParentFrame();
}

void CControlBar::ShowWindow(int nCmdShow) {
  CWnd::ShowWindow(nCmdShow);
  // A floating bar hides and shows with its palette; a dock area takes room while a bar in it shows.
  if (auto* pPalette = dynamic_cast<CMiniDockFrameWnd*>(m_pParentWnd)) pPalette->ShowPalette(nCmdShow != SW_HIDE);
  if (auto* pDockBar = dynamic_cast<CDockBar*>(m_pParentWnd)) pDockBar->UpdateVisibility();
}

int CControlBar::CalcRowWidth() const {
  int minimum = 0, natural = 0;
  m_pWidget->get_preferred_width(minimum, natural);
  return natural;
}

Gdk::Rectangle CControlBar::ScreenRect(const Gtk::Widget& widget) {
  int x = 0, y = 0;
  widget.get_window()->get_origin(x, y);
  const Gtk::Allocation a = widget.get_allocation();
  if (!widget.get_has_window()) {
    x += a.get_x();
    y += a.get_y();
  }
  return {x, y, a.get_width(), a.get_height()};
}

bool CControlBar::Contains(const Gtk::Widget& widget, double xRoot, double yRoot) {
  if (!widget.get_mapped()) return false;
  const Gdk::Rectangle r = ScreenRect(widget);
  return xRoot >= r.get_x() && yRoot >= r.get_y() && xRoot < r.get_x() + r.get_width() &&
         yRoot < r.get_y() + r.get_height();
}

void CControlBar::ConnectDragging(Gtk::Widget& background) {
  background.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::POINTER_MOTION_MASK);
  background.signal_button_press_event().connect([this](GdkEventButton* e) {
    // Presses on a button are the button's: a double click there is two clicks (the second press
    // of which GTK's button leaves to its parents), and one on a disabled button is nothing.
    if (e->button != 1 || m_dwDockStyle == 0 || CommandAt(e->x_root, e->y_root) != 0) return false;
    if (e->type == GDK_2BUTTON_PRESS) {
      m_bPressed = false;
      BarDocking::ToggleFloating(*m_pOwnerFrame, this);
      return true;
    }
    m_bPressed = true;
    m_bDragging = false;
    m_pressX = e->x_root;
    m_pressY = e->y_root;
    return true;
  });
  background.signal_motion_notify_event().connect([this](GdkEventMotion* e) {
    if (m_bPressed && !m_bDragging && (std::abs(e->x_root - m_pressX) > 4 || std::abs(e->y_root - m_pressY) > 4)) {
      m_bDragging = true;
      AfxTrace("Bar %u is dragged\n", GetDlgCtrlID());
      if (const auto window = Glib::wrap(e->window, true))
        window->set_cursor(Gdk::Cursor::create(window->get_display(), "move"));
    }
    return m_bPressed;
  });
  background.signal_button_release_event().connect([this](GdkEventButton* e) {
    if (e->button != 1 || !m_bPressed) return false;
    m_bPressed = false;
    if (const auto window = Glib::wrap(e->window, true)) window->set_cursor();
    // The bar moves only now: taking it from its parent during the drag would end the pointer grab.
    if (m_bDragging) BarDocking::DropControlBar(*m_pOwnerFrame, this, int(e->x_root), int(e->y_root));
    m_bDragging = false;
    return true;
  });
}
