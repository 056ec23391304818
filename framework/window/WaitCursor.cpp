#include "window/WaitCursor.h"

#include <gdkmm/cursor.h>
#include <gdkmm/window.h>

#include "app/CWinApp.h"
#include "window/CWnd.h"

namespace {
Glib::RefPtr<Gdk::Window> MainGdkWindow() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pMainWnd == nullptr || pApp->m_pMainWnd->GetWidget() == nullptr) return {};
  return pApp->m_pMainWnd->GetWidget()->get_window();
}
}  // namespace

CWaitCursor::CWaitCursor() {
  if (const auto window = MainGdkWindow()) window->set_cursor(Gdk::Cursor::create(window->get_display(), "wait"));
}

CWaitCursor::~CWaitCursor() {
  if (const auto window = MainGdkWindow()) window->set_cursor();
}
