// The toolbar: flat buttons of the bitmap's images (buttons 7 pixels larger than their images,
// separators 6 pixels wide) with tooltips from their commands' strings, fly-by prompts, a gripper
// while docked, and states set at idle time through the frame's command route. Clicking a button
// sends its command to the owner frame.
#pragma once

#include <cairomm/surface.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>

#include <memory>
#include <vector>

#include "bars/CControlBar.h"
#include "bars/CToolBarLayout.h"
#include "bars/FlyByPrompts.h"
#include "core/ResourceModule.h"

enum : long { TBSTYLE_FLAT = 0x0800 };

class CToolBar : public CControlBar {
 public:
  DECLARE_DYNAMIC(CToolBar)
  CToolBar();
  ~CToolBar() override;

  bool CreateEx(CWnd* pParentWnd, long dwCtrlStyle, long dwStyle, UINT nID = AFX_IDW_TOOLBAR);
  // Buttons and separators from the toolbar resource, images from its bitmap.
  bool LoadToolBar(UINT nIDResource);
  void OnUpdateCmdUI(CCmdTarget* pTarget, bool bDisableIfNoHandler) override;
  void SetBarStyle(long dwStyle) override;
  int CalcRowWidth() const override;
  UINT CommandAt(double xRoot, double yRoot) const override;

  Gtk::Button* GetButton(UINT nID) const;
  // The tooltip of a command: its string between the first and the second newline, at most 79
  // characters; "" when it has none.
  static std::string TooltipOf(UINT nID);

 protected:
  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;

 private:
  struct Item {
    UINT nID;
    Gtk::Widget* widget;  // a button, or a separator
    int image;            // -1 for a separator
    // On a dense screen, the picture drawn for it and its dimmed form (GTK dims no picture set
    // from a surface); empty at normal density, where GTK dims the picture itself.
    Cairo::RefPtr<Cairo::Surface> dense, denseDimmed;
    bool dimmedShown = false;
  };
  void LoadImages();
  // Sets a button's dense picture as its state asks: dimmed while it is disabled.
  void ShowDensePicture(Item& item, bool force);
  void Arrange();

  const ToolBarResource* m_pResource = nullptr;
  std::vector<Item> m_items;
  Gtk::Box* m_pBox = nullptr;
  Gtk::DrawingArea* m_pGrip = nullptr;
  CToolBarLayout* m_pFlow = nullptr;
  std::unique_ptr<FlyByPrompts> m_pFlyBy;
};
