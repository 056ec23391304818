// A top-level frame: a GTK window holding the view and the control bars. It routes commands
// (active view, then itself, then the application), shows message texts in its status bar and
// runs the close and end-of-session handling. The frame deletes itself when its window is gone.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>
#include <vector>

#include "window/CWnd.h"

class CAcceleratorTable;
class CFrameClientArea;
struct CCreateContext;
class CDocument;
class CFrameMenu;
class CView;

class CFrameWnd : public CWnd {
 public:
  DECLARE_DYNCREATE(CFrameWnd)
  CFrameWnd();
  ~CFrameWnd() override;

  // Builds the whole frame from resource set nIDResource: caption, window, view and bars.
  // False when no window came into being; the object has then deleted itself.
  virtual bool LoadFrame(UINT nIDResource, long dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext);

  bool IsFrameWnd() const override { return true; }
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pView);
  CDocument* GetActiveDocument() const;
  Gtk::Window* GetGtkWindow() const { return static_cast<Gtk::Window*>(m_pWidget.get()); }
  const std::string& GetTitle() const { return m_strTitle; }
  CFrameMenu* GetMenu() const { return m_pMenu.get(); }
  CFrameClientArea* GetClientArea() const { return m_pClientArea; }

  // Puts the text into the message pane of the status bar at once.
  void SetMessageText(const std::string& text);
  // Shows the prompt of the command or string nID (up to its first newline); blank when none.
  void SetMessageText(UINT nID);
  // The text last put into the message pane.
  const std::string& GetMessageText() const { return m_strMessageText; }

  virtual void RecalcLayout();

  // The bar with this identifier wherever it is docked or floats, or nullptr.
  CWnd* GetControlBar(UINT nID) const;
  virtual void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);
  virtual void ActivateFrame(int nCmdShow = -1);
  virtual void OnUpdateFrameTitle(bool bAddToTitle);
  void ShowWindow(int nCmdShow) override;

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs) override;
  void AttachChild(CWnd* pChild) override;
  void DetachChild(CWnd* pChild) override;
  void PostNcDestroy() override;
  virtual bool OnCreateClient(CREATESTRUCT* lpcs, CCreateContext* pContext);
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

  int OnCreate(CREATESTRUCT* lpcs);
  void OnClose();
  void OnDestroy();
  void OnSetFocus();
  BOOL OnQueryEndSession();
  void OnEndSession(BOOL bEnding);
  LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
  void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  void OnBarCheck(UINT nID);

  std::string m_strTitle;
  CView* m_pViewActive = nullptr;
  Gtk::Box* m_pOuterBox = nullptr;            // the menu bar above the client area, owned by the window
  CFrameClientArea* m_pClientArea = nullptr;  // the bars and the view, owned by the window
  std::unique_ptr<CFrameMenu> m_pMenu;
  std::unique_ptr<CAcceleratorTable> m_pAccelerators;
  std::vector<CWnd*> m_listControlBars;  // the windows that are FrameBars

 private:
  void CorrectPlacement();
  GdkRectangle m_placement{};
  sigc::connection m_placementIdle;
  bool m_bPlacementCorrected = false;

  std::string m_strMessageText;

  DECLARE_MESSAGE_MAP()
};
