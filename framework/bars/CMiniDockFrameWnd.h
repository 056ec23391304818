// The small palette window a bar floats in: owned by the frame and kept above it, resizable (the
// bar re-flows its buttons), never holding the keyboard, and closing it hides the bar. It deletes
// itself when its window goes.
#pragma once

#include "window/CWnd.h"

class CMiniDockFrameWnd : public CWnd {
 public:
  DECLARE_DYNAMIC(CMiniDockFrameWnd)
  bool Create(CWnd* pParentWnd);
  // Shows the palette where it last was, or hides it.
  void ShowPalette(bool bShow);
  void MoveTo(int x, int y);

 protected:
  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;
  void AttachChild(CWnd* pChild) override;
  void DetachChild(CWnd* pChild) override;
  void PostNcDestroy() override { delete this; }

 private:
  int m_x = 0;
  int m_y = 0;
};
