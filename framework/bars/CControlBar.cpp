#include "bars/CControlBar.h"

#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsWindowVisible()) return 0;
  if (CFrameWnd* pTarget = GetParentFrame()) OnUpdateCmdUI(pTarget, wParam != 0);
  return 0;
}
