// The main frame: placed at the screen's top-left corner with the size of a maximized window, the
// fixed caption, a dockable toolbar and a status bar with the lock-key indicators.
#pragma once

#include "bars/CStatusBar.h"
#include "bars/CToolBar.h"
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
  CToolBar m_toolBar;

  DECLARE_MESSAGE_MAP()
};
