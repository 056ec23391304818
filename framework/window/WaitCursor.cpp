#include "window/WaitCursor.h"

#include <gtk/gtk.h>

#include "app/CWinApp.h"
#include "window/CWnd.h"

namespace {
GdkWindow* MainGdkWindow() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pMainWnd == nullptr || pApp->m_pMainWnd->GetWidget() == nullptr) return nullptr;
  return gtk_widget_get_window(pApp->m_pMainWnd->GetWidget()->gobj());
}
}  // namespace

CWaitCursor::CWaitCursor() {
  if (GdkWindow* window = MainGdkWindow()) {
    GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(window), "wait");
    gdk_window_set_cursor(window, cursor);
    if (cursor != nullptr) g_object_unref(cursor);
  }
}

CWaitCursor::~CWaitCursor() {
  if (GdkWindow* window = MainGdkWindow()) gdk_window_set_cursor(window, nullptr);
}
