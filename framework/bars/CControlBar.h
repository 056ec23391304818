// A bar along an edge of its frame (toolbar, status bar). At idle time it updates its elements
// through its owner frame's command route. A bar with docking enabled can be dragged by its
// background to any edge of the frame, or away from the edges to float in a palette; a double
// click there (not on a button) switches between floating and its last docked place. Bars are members of their frame
// and are not deleted here.
#pragma once

#include "window/CWnd.h"
#include "window/FrameBar.h"

// Bar styles.
enum : long {
  CBRS_TOOLTIPS = 0x0010,
  CBRS_FLYBY = 0x0020,
  CBRS_SIZE_DYNAMIC = 0x0004,
  CBRS_BORDER_TOP = 0x0200,
  CBRS_BORDER_BOTTOM = 0x0800,
  CBRS_ALIGN_LEFT = 0x1000,
  CBRS_ALIGN_TOP = 0x2000,
  CBRS_ALIGN_RIGHT = 0x4000,
  CBRS_ALIGN_BOTTOM = 0x8000,
  CBRS_ALIGN_ANY = 0xF000,
  CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM,
  CBRS_FLOATING = 0x0001,
  CBRS_GRIPPER = 0x00400000,
  CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM,
  CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
};

class CDockBar;
class CFrameWnd;

class CControlBar : public CWnd, public FrameBar {
 public:
  DECLARE_DYNAMIC(CControlBar)
  // Updates the bar's elements through pTarget's route.
  virtual void OnUpdateCmdUI(CCmdTarget* pTarget, bool bDisableIfNoHandler) = 0;
  long GetBarStyle() const { return m_dwStyle; }
  // Sets the bar's alignment and floating state; the bar redraws itself for it.
  virtual void SetBarStyle(long dwStyle) { m_dwStyle = dwStyle; }
  bool IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  bool IsHorizontal() const { return IsFloating() || (m_dwStyle & CBRS_ORIENT_HORZ); }
  LayoutEdge GetFrameEdge() const override;
  // The frame that receives the bar's commands and prompts, wherever the bar is docked or floats.
  CFrameWnd* GetOwnerFrame() const { return m_pOwnerFrame; }
  void EnableDocking(long dwDockStyle);
  long GetDockStyle() const { return m_dwDockStyle; }
  void ShowWindow(int nCmdShow) override;
  // The width the bar needs to lie in one row.
  virtual int CalcRowWidth() const;
  // The command of the button at the screen point, enabled or not; 0 off the buttons (on the
  // gripper, a separator or the bar's background).
  virtual UINT CommandAt(double /*xRoot*/, double /*yRoot*/) const { return 0; }
  // Whether the screen point lies on the widget as it is shown.
  static bool Contains(const Gtk::Widget& widget, double xRoot, double yRoot);
  // The widget's area on the screen; the widget must be realized.
  static Gdk::Rectangle ScreenRect(const Gtk::Widget& widget);
  // The dock area the bar went to when it last docked, or nullptr.
  CDockBar* m_pDockBar = nullptr;

 protected:
  // Connects the background drag and double click of a bar whose docking is enabled.
  void ConnectDragging(Gtk::Widget& background);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

  long m_dwStyle = 0;
  long m_dwDockStyle = 0;
  CFrameWnd* m_pOwnerFrame = nullptr;

 private:
  double m_pressX = 0, m_pressY = 0;
  bool m_bPressed = false;
  bool m_bDragging = false;
  DECLARE_MESSAGE_MAP()
};
