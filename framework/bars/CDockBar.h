// One of the frame's four dock areas (top, bottom, left, right). It lines up the bars docked in
// it and takes no room while none of them shows.
#pragma once

#include "bars/CControlBar.h"

class CDockBar : public CControlBar {
 public:
  DECLARE_DYNAMIC(CDockBar)
  bool Create(CWnd* pParentWnd, long dwAlign, UINT nID);
  void OnUpdateCmdUI(CCmdTarget*, bool) override {}
  // Shows the area exactly while one of its bars shows.
  void UpdateVisibility();

 protected:
  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;
  void AttachChild(CWnd* pChild) override;
  void DetachChild(CWnd* pChild) override;
  void PostNcDestroy() override { delete this; }
};
