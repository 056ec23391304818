#include "bars/BarDocking.h"

#include <utility>

#include "bars/CDockBar.h"
#include "bars/CMiniDockFrameWnd.h"
#include "core/AfxRes.h"
#include "core/Trace.h"
#include "window/CFrameClientArea.h"
#include "window/CFrameWnd.h"

namespace {

// The dock areas in the order a bar looks for one.
constexpr std::pair<long, UINT> kAreas[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                                            {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                                            {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                                            {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};

}  // namespace

namespace BarDocking {

long DropEdge(const Gdk::Rectangle& clientArea, int x, int y) {
  const int left = clientArea.get_x(), top = clientArea.get_y();
  const int right = left + clientArea.get_width(), bottom = top + clientArea.get_height();
  if (x < left || x >= right || y < top || y >= bottom) return 0;
  if (y < top + kDockMargin) return CBRS_ALIGN_TOP;
  if (y >= bottom - kDockMargin) return CBRS_ALIGN_BOTTOM;
  if (x < left + kDockMargin) return CBRS_ALIGN_LEFT;
  if (x >= right - kDockMargin) return CBRS_ALIGN_RIGHT;
  return 0;
}

void EnableDocking(CFrameWnd& frame, long dwDockStyle) {
  for (auto [align, nID] : kAreas)
    if ((dwDockStyle & align) && GetDockBar(frame, align) == nullptr) (new CDockBar)->Create(&frame, align, nID);
}

CDockBar* GetDockBar(const CFrameWnd& frame, long dwAlign) {
  for (auto [align, nID] : kAreas)
    if (dwAlign & align) return dynamic_cast<CDockBar*>(frame.GetControlBar(nID));
  return nullptr;
}

void DockControlBar(CFrameWnd& frame, CControlBar* pBar, CDockBar* pDockBar) {
  if (pDockBar == nullptr) {
    for (auto [align, nID] : kAreas)
      if ((pBar->GetDockStyle() & align) && (pDockBar = GetDockBar(frame, align)) != nullptr) break;
    if (pDockBar == nullptr) return;
  }
  CWnd* pOldParent = pBar->GetParent();
  pBar->SetBarStyle((pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) |
                    (pDockBar->GetBarStyle() & CBRS_ALIGN_ANY));
  pBar->SetParent(pDockBar);
  pBar->m_pDockBar = pDockBar;
  AfxTrace("Bar %u docked in area %u\n", pBar->GetDlgCtrlID(), pDockBar->GetDlgCtrlID());
  if (auto* pOldDock = dynamic_cast<CDockBar*>(pOldParent)) pOldDock->UpdateVisibility();
  if (auto* pPalette = dynamic_cast<CMiniDockFrameWnd*>(pOldParent)) pPalette->DestroyWindow();  // deletes it
  frame.RecalcLayout();
}

void FloatControlBar(CFrameWnd& frame, CControlBar* pBar, int x, int y) {
  CWnd* pOldParent = pBar->GetParent();
  auto* pPalette = dynamic_cast<CMiniDockFrameWnd*>(pOldParent);
  if (pPalette == nullptr) {
    pPalette = new CMiniDockFrameWnd;  // deletes itself when its window goes
    if (!pPalette->Create(&frame)) return;
  }
  pBar->SetBarStyle((pBar->GetBarStyle() & ~CBRS_ALIGN_ANY) | CBRS_FLOATING | CBRS_ALIGN_TOP);
  pBar->SetParent(pPalette);
  pPalette->MoveTo(x, y);
  AfxTrace("Bar %u floats at %d,%d\n", pBar->GetDlgCtrlID(), x, y);
  if (pBar->IsWindowVisible()) pPalette->ShowPalette(true);
  if (auto* pOldDock = dynamic_cast<CDockBar*>(pOldParent)) pOldDock->UpdateVisibility();
  frame.RecalcLayout();
}

void DropControlBar(CFrameWnd& frame, CControlBar* pBar, int x, int y) {
  CFrameClientArea* area = frame.GetClientArea();
  Gdk::Rectangle client = area->get_allocation();
  int originX = 0, originY = 0;
  area->get_window()->get_origin(originX, originY);
  client.set_x(originX + client.get_x());
  client.set_y(originY + client.get_y());
  const long align = DropEdge(client, x, y);
  CDockBar* pDockBar = (align & pBar->GetDockStyle()) ? GetDockBar(frame, align) : nullptr;
  if (pDockBar != nullptr)
    DockControlBar(frame, pBar, pDockBar);
  else
    FloatControlBar(frame, pBar, x, y);
}

void ToggleFloating(CFrameWnd& frame, CControlBar* pBar) {
  if (pBar->IsFloating()) {
    DockControlBar(frame, pBar, pBar->m_pDockBar);
    return;
  }
  int x = 0, y = 0;
  pBar->GetWidget()->get_window()->get_origin(x, y);
  FloatControlBar(frame, pBar, x, y);
}

}  // namespace BarDocking
