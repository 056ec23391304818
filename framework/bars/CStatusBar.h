// The status bar: a stretching message pane followed by indicator panes whose texts show while
// their command's update handler enables them and are blank (keeping their width) otherwise.
#pragma once

#include <gtkmm/label.h>

#include <string>
#include <vector>

#include "bars/CControlBar.h"

class CStatusBar : public CControlBar {
 public:
  DECLARE_DYNAMIC(CStatusBar)

  bool Create(CWnd* pParentWnd, long dwStyle, UINT nID = AFX_IDW_STATUS_BAR);
  // Sets up one pane per id; ID_SEPARATOR gives the message pane. False when an indicator has no string.
  bool SetIndicators(const UINT* lpIDArray, int nIDCount);
  void SetPaneText(int nIndex, const std::string& text);
  // The frame's message text goes to the first pane.
  void ShowMessageText(const std::string& text) override { SetPaneText(0, text); }
  std::string GetPaneText(int nIndex) const;
  int GetCount() const { return int(m_panes.size()); }

  void OnUpdateCmdUI(CCmdTarget* pTarget, bool bDisableIfNoHandler) override;
  // A quarter of the primary screen's width plus the pane's margin.
  static int MessagePaneMinimumWidth();

 protected:
  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;

 private:
  struct Pane {
    UINT nID;
    std::string text;
    Gtk::Label* label;
  };
  std::vector<Pane> m_panes;
};
