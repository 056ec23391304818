// The main frame: placed at the screen's top-left corner with the size of a maximized window, the
// fixed caption, and a status bar with the lock-key indicators.
#pragma once

#include "bars/CStatusBar.h"
#include "window/CFrameWnd.h"

class CMainFrame : public CFrameWnd {
 public:
  DECLARE_DYNCREATE(CMainFrame)
  CMainFrame() = default;
  ~CMainFrame() override = default;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* lpCreateStruct);

  CStatusBar m_statusBar;

  DECLARE_MESSAGE_MAP()
};
