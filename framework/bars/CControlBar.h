// A bar along an edge of its frame (toolbar, status bar). At idle time it updates its elements
// through the frame's command route. Bars are members of their frame and are not deleted here.
#pragma once

#include "window/CWnd.h"

// Bar styles.
enum : long {
  CBRS_TOOLTIPS = 0x0010,
  CBRS_FLYBY = 0x0020,
  CBRS_SIZE_DYNAMIC = 0x0004,
  CBRS_BORDER_TOP = 0x0200,
  CBRS_BORDER_BOTTOM = 0x0800,
  CBRS_ALIGN_TOP = 0x2000,
  CBRS_ALIGN_BOTTOM = 0x8000,
  CBRS_ALIGN_LEFT = 0x1000,
  CBRS_ALIGN_RIGHT = 0x4000,
  CBRS_ALIGN_ANY = 0xF000,
  CBRS_GRIPPER = 0x00400000,
  CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM,
  CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
};

class CControlBar : public CWnd {
 public:
  DECLARE_DYNAMIC(CControlBar)
  // Updates the bar's elements through pTarget's route.
  virtual void OnUpdateCmdUI(CCmdTarget* pTarget, bool bDisableIfNoHandler) = 0;
  long GetBarStyle() const { return m_dwStyle; }

 protected:
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  long m_dwStyle = 0;

 private:
  DECLARE_MESSAGE_MAP()
};
