#include "app/MainFrm.h"

#include "bars/BarDocking.h"
#include "core/Trace.h"
#include "resources/Resource.h"
#include "window/PrimaryMonitor.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {

const UINT statusIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

}  // namespace

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  GdkRectangle area = AfxPrimaryMonitorWorkArea();  // the size of a maximized window
  cs.cy = area.height;
  cs.cx = area.width;
  cs.y = 0;
  cs.x = 0;
  cs.style = WS_OVERLAPPEDWINDOW;  // without FWS_ADDTOTITLE: the caption never shows a document name
  return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(CREATESTRUCT* lpCreateStruct) {
  if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  if (!m_toolBar.CreateEx(
          this, TBSTYLE_FLAT,
          WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP | CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC) ||
      !m_toolBar.LoadToolBar(IDR_MAINRES)) {
    AfxTrace("%s", "Failed to create toolbar\n");
    return -1;
  }
  if (!m_statusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM) ||
      !m_statusBar.SetIndicators(statusIndicators, int(std::size(statusIndicators)))) {
    AfxTrace("%s", "Failed to create status bar\n");
    return -1;
  }
  m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
  BarDocking::EnableDocking(*this, CBRS_ALIGN_ANY);
  BarDocking::DockControlBar(*this, &m_toolBar);
  return 0;
}
