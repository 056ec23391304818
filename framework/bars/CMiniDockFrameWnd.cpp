#include "bars/CMiniDockFrameWnd.h"

#include <atkmm/object.h>
#include <gtkmm/window.h>

#include "bars/CControlBar.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

bool CMiniDockFrameWnd::Create(CWnd* pParentWnd) {
  CREATESTRUCT cs;
  return CreateEx(cs, pParentWnd);
}

std::unique_ptr<Gtk::Widget> CMiniDockFrameWnd::CreateWidget(const CREATESTRUCT&) {
  auto window = std::make_unique<Gtk::Window>();
  window->set_type_hint(Gdk::WINDOW_TYPE_HINT_TOOLBAR);  // a bar torn off from the main window
  window->set_title("");
  window->set_resizable(true);
  window->set_skip_taskbar_hint(true);
  // The palette never takes the keyboard: after a click on it, the frame's keys and the page's
  // keys go on working. It can be moved, resized and closed, never minimized or maximized: the
  // window manager minimizes it with the frame, and would take the frame down with it otherwise.
  window->set_accept_focus(false);
  window->set_focus_on_map(false);
  window->signal_realize().connect([shown = window.get()] {
    shown->get_window()->set_functions(Gdk::FUNC_MOVE | Gdk::FUNC_RESIZE | Gdk::FUNC_CLOSE);
    shown->get_window()->set_decorations(Gdk::DECOR_BORDER | Gdk::DECOR_RESIZEH | Gdk::DECOR_TITLE | Gdk::DECOR_MENU);
  });
  window->signal_focus_in_event().connect([this](GdkEventFocus*) {
    // A window manager that focuses it all the same: the keyboard goes back to the frame.
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(GetParent())) pFrame->GetGtkWindow()->present();
    return false;
  });
  window->signal_delete_event().connect([this](GdkEventAny*) {
    // Closing the palette hides the bar; View > Toolbar brings it back.
    if (!GetChildren().empty()) GetChildren().front()->ShowWindow(SW_HIDE);
    return true;
  });
  return window;
}

void CMiniDockFrameWnd::AttachChild(CWnd* pChild) {
  auto* window = static_cast<Gtk::Window*>(m_pWidget.get());
  Gtk::Widget* bar = pChild->GetWidget();
  window->add(*bar);
  // Untitled like its caption, but assistive technologies name the palette after its bar.
  window->get_accessible()->set_name(bar->get_accessible()->get_name());
  // The bar in one row, until the palette is resized; the height follows from the width.
  int width = 1;
  if (auto* pBar = dynamic_cast<CControlBar*>(pChild)) width = pBar->CalcRowWidth();
  window->resize(width, 1);
}

void CMiniDockFrameWnd::DetachChild(CWnd*) { static_cast<Gtk::Window*>(m_pWidget.get())->remove(); }

void CMiniDockFrameWnd::MoveTo(int x, int y) {
  m_x = x;
  m_y = y;
  static_cast<Gtk::Window*>(m_pWidget.get())->move(x, y);
}

void CMiniDockFrameWnd::ShowPalette(bool bShow) {
  auto* window = static_cast<Gtk::Window*>(m_pWidget.get());
  if (bShow == window->get_visible()) return;
  if (bShow) {
    window->move(m_x, m_y);
    window->show();
  } else {
    window->get_position(m_x, m_y);
    window->hide();
  }
}
