#include "window/CFrameWnd.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <glibmm/main.h>

#include <algorithm>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/CCmdUI.h"
#include "core/ResourceModule.h"
#include "core/Trace.h"
#include "doc/CCreateContext.h"
#include "doc/CDocument.h"
#include "window/CAcceleratorTable.h"
#include "window/CFrameClientArea.h"
#include "window/CFrameMenu.h"
#include "window/CView.h"
#include "window/FrameBar.h"
#include "window/MessagePrompts.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SETFOCUS()
  ON_WM_QUERYENDSESSION()
  ON_WM_ENDSESSION()
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
  ON_COMMAND_ID(ID_VIEW_STATUS_BAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
  ON_COMMAND_ID(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() { m_placementIdle.disconnect(); }

bool CFrameWnd::LoadFrame(UINT nIDResource, long dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  std::string fullString = AfxLoadString(nIDResource);
  AfxExtractSubString(m_strTitle, fullString, 0);
  CREATESTRUCT cs;
  cs.style = dwDefaultStyle;
  cs.strName = m_strTitle;
  cs.lpCreateParams = pContext;
  if (!CreateEx(cs, pParentWnd)) return false;  // the frame has deleted itself

  Gtk::Window* window = GetGtkWindow();
  if (const MenuBarResource* menu = AfxFindMenu(nIDResource)) {
    m_pMenu = std::make_unique<CFrameMenu>(*this, *menu);
    m_pOuterBox->pack_start(m_pMenu->GetMenuBar(), Gtk::PACK_SHRINK);
    m_pOuterBox->reorder_child(m_pMenu->GetMenuBar(), 0);
  }
  if (const AcceleratorTableResource* accelerators = AfxFindAccelerators(nIDResource)) {
    m_pAccelerators = std::make_unique<CAcceleratorTable>(*this, *accelerators);
    window->add_accel_group(m_pAccelerators->GetGroup());
  }
  if (const IconResource* icon = AfxFindIcon(nIDResource)) {
    std::vector<Glib::RefPtr<Gdk::Pixbuf>> images;
    for (const char* path : icon->images) images.push_back(Gdk::Pixbuf::create_from_resource(path));
    window->set_icon_list(images);
  }
  return true;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return true;
}

std::unique_ptr<Gtk::Widget> CFrameWnd::CreateWidget(const CREATESTRUCT& cs) {
  auto window = std::make_unique<Gtk::Window>();
  window->set_title(cs.strName);
  window->set_gravity(Gdk::GRAVITY_NORTH_WEST);
  if (cs.cx > 0 && cs.cy > 0) window->set_default_size(cs.cx, cs.cy);
  window->move(cs.x, cs.y);
  m_pOuterBox = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_VERTICAL);
  m_pClientArea = Gtk::make_managed<CFrameClientArea>();
  m_pOuterBox->pack_end(*m_pClientArea, Gtk::PACK_EXPAND_WIDGET);
  window->add(*m_pOuterBox);
  m_pOuterBox->show_all();
  // The requested placement is that of the outer frame, decorations included; they are known only
  // once the window is mapped, so the size is corrected then, once.
  m_placement = {cs.x, cs.y, cs.cx, cs.cy};
  window->signal_map_event().connect([this](GdkEventAny*) {
    if (!m_bPlacementCorrected) {
      m_bPlacementCorrected = true;
      m_placementIdle = Glib::signal_idle().connect([this] {
        CorrectPlacement();
        return false;
      });
    }
    return false;
  });
  window->signal_delete_event().connect([this](GdkEventAny*) {
    AfxTrace("Close requested\n");
    SendMessage(WM_CLOSE);
    return true;  // the frame decides whether and how the window goes
  });
  return window;
}

void CFrameWnd::CorrectPlacement() {
  Gtk::Window* window = GetGtkWindow();
  if (window == nullptr || !window->get_realized() || m_placement.width <= 0 || m_placement.height <= 0) return;
  GdkRectangle outer{};
  gdk_window_get_frame_extents(window->get_window()->gobj(), &outer);
  int width = 0, height = 0;
  window->get_size(width, height);
  int decorationWidth = outer.width - width, decorationHeight = outer.height - height;
  if (outer.x == m_placement.x && outer.y == m_placement.y && outer.width == m_placement.width &&
      outer.height == m_placement.height)
    return;
  window->resize(std::max(1, m_placement.width - decorationWidth), std::max(1, m_placement.height - decorationHeight));
  window->move(m_placement.x, m_placement.y);
}

void CFrameWnd::AttachChild(CWnd* pChild) {
  Gtk::Widget* widget = pChild->GetWidget();
  if (widget->get_is_toplevel()) {  // a floating palette: owned by the frame, kept above it
    static_cast<Gtk::Window*>(widget)->set_transient_for(*GetGtkWindow());
    return;
  }
  LayoutEdge edge = LayoutEdge::fill;
  if (auto* pBar = dynamic_cast<FrameBar*>(pChild)) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pChild) == m_listControlBars.end())
      m_listControlBars.push_back(pChild);
    edge = pBar->GetFrameEdge();
  }
  m_pClientArea->Add(*widget, edge);
}

void CFrameWnd::DetachChild(CWnd* pChild) {
  // A bar that moves to a palette stays the frame's; one whose window goes is dropped.
  if (dynamic_cast<FrameBar*>(pChild) != nullptr && pChild->IsBeingDestroyed())
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pChild),
                            m_listControlBars.end());
  Gtk::Widget* widget = pChild->GetWidget();
  if (widget != nullptr && widget->get_parent() == m_pClientArea) m_pClientArea->remove(*widget);
}

void CFrameWnd::OnDestroy() {
  // Every window below has gone by now. The menu goes before the window it lies in, so that a menu
  // open at the end closes without its handlers; the bars (members of the derived frame, gone before
  // this part of it) are no longer asked for.
  m_pMenu.reset();
  m_listControlBars.clear();
  m_placementIdle.disconnect();
}

int CFrameWnd::OnCreate(CREATESTRUCT* lpcs) {
  if (!OnCreateClient(lpcs, lpcs->lpCreateParams)) {
    AfxTrace("Failed to create client pane/view for frame.\n");
    return -1;
  }
  PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
  RecalcLayout();
  return 0;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* pContext) {
  if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) return CreateView(pContext) != nullptr;
  return true;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  CObject* pObject = pContext->m_pNewViewClass->CreateObject();
  auto* pView = dynamic_cast<CWnd*>(pObject);
  if (pView == nullptr) {
    AfxTrace("Warning: Dynamic create of view type %s failed.\n", pContext->m_pNewViewClass->m_lpszClassName);
    delete pObject;
    return nullptr;
  }
  CREATESTRUCT cs;
  cs.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
  cs.nID = nID;
  cs.lpCreateParams = pContext;
  if (!pView->CreateEx(cs, this)) {
    AfxTrace("Warning: could not create view for frame.\n");
    return nullptr;  // the view deleted itself when its window went
  }
  // A view with its own sunken edge makes the frame's unnecessary.
  if (pView->GetExStyle() & WS_EX_CLIENTEDGE) ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  return pView;
}

void CFrameWnd::RecalcLayout() {
  if (m_pClientArea != nullptr) m_pClientArea->queue_resize();
}

void CFrameWnd::SetActiveView(CView* pView) {
  m_pViewActive = pView;
  if (pView != nullptr) pView->GiveFocus();
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::InitialUpdateFrame(CDocument*, bool bMakeVisible) {
  if (m_pViewActive == nullptr)
    if (auto* pView = dynamic_cast<CView*>(GetDlgItem(AFX_IDW_PANE_FIRST))) SetActiveView(pView);
  SendMessageToDescendants(WM_INITIALUPDATE);
  if (bMakeVisible) {
    int nCmdShow = -1;
    CWinApp* pApp = AfxGetApp();
    if (pApp->m_pMainWnd == this) {
      nCmdShow = pApp->m_nCmdShow;
      pApp->m_nCmdShow = -1;  // only the first showing uses the launch state
    }
    ActivateFrame(nCmdShow);
    if (m_pViewActive != nullptr) m_pViewActive->GiveFocus();
  }
  OnUpdateFrameTitle(true);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1 && !IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
  if (nCmdShow != -1) ShowWindow(nCmdShow);
  if (IsWindowVisible()) GetGtkWindow()->present();
}

void CFrameWnd::ShowWindow(int nCmdShow) {
  Gtk::Window* window = GetGtkWindow();
  if (window == nullptr) return;
  switch (nCmdShow) {
    case SW_HIDE:
      window->hide();
      return;
    case SW_SHOWMAXIMIZED:
      window->maximize();
      break;
    case SW_SHOWMINIMIZED:
      window->iconify();
      break;
    default:
      window->deiconify();
      break;
  }
  window->show();
}

void CFrameWnd::OnUpdateFrameTitle(bool) {
  // Without FWS_ADDTOTITLE the caption keeps the window title of the document string.
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  if (CDocument* pDoc = GetActiveDocument()) GetGtkWindow()->set_title(pDoc->GetTitle() + " - " + m_strTitle);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (m_pViewActive != nullptr && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::SetMessageText(const std::string& text) {
  m_strMessageText = text;
  if (auto* pBar = dynamic_cast<FrameBar*>(GetControlBar(AFX_IDW_STATUS_BAR))) pBar->ShowMessageText(text);
}

void CFrameWnd::SetMessageText(UINT nID) { SetMessageText(AfxPromptOf(nID)); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  if (lParam != 0)
    SetMessageText(std::string(reinterpret_cast<const char*>(lParam)));
  else
    SetMessageText(UINT(wParam));
  return 0;
}

void CFrameWnd::OnSetFocus() {
  if (m_pViewActive != nullptr) m_pViewActive->GiveFocus();
}

void CFrameWnd::OnClose() {
  CWinApp* pApp = AfxGetApp();
  CDocument* pDocument = GetActiveDocument();
  if (pDocument != nullptr && !pDocument->CanCloseFrame(this)) return;
  if (pApp != nullptr && pApp->m_pMainWnd == this) {
    if (pDocument == nullptr && !pApp->SaveAllModified()) return;
    // The window vanishes at once; the document, view and engine are torn down behind it.
    pApp->HideApplication();
    pApp->CloseAllDocuments(false);
    if (pApp->m_pMainWnd == nullptr) return;  // closing the documents destroyed this frame
  }
  if (pDocument != nullptr && pDocument->m_bAutoDelete) {
    pDocument->OnCloseDocument();
    return;
  }
  DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession() {
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->m_pMainWnd == this ? BOOL(pApp->SaveAllModified()) : TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding) {
  if (!bEnding) return;
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pMainWnd != this) return;
  pApp->EndSession();
}

void CFrameWnd::PostNcDestroy() {
  CWinApp* pApp = AfxGetApp();
  if (pApp != nullptr && pApp->m_pMainWnd == this) {
    pApp->m_pMainWnd = nullptr;
    AfxPostQuitMessage(0);
  }
  delete this;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) {
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
  bool on = false;
  if (pCmdUI->m_nID == ID_INDICATOR_CAPS) on = gdk_keymap_get_caps_lock_state(keymap);
  if (pCmdUI->m_nID == ID_INDICATOR_NUM) on = gdk_keymap_get_num_lock_state(keymap);
  if (pCmdUI->m_nID == ID_INDICATOR_SCRL) on = gdk_keymap_get_scroll_lock_state(keymap);
  pCmdUI->Enable(on);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CWnd* pBar = GetControlBar(pCmdUI->m_nID);
  if (pBar == nullptr) {
    pCmdUI->Enable(FALSE);
    return;
  }
  pCmdUI->SetCheck(pBar->IsWindowVisible() ? 1 : 0);
}

void CFrameWnd::OnBarCheck(UINT nID) {
  CWnd* pBar = GetControlBar(nID);
  if (pBar == nullptr) return;
  pBar->ShowWindow(pBar->IsWindowVisible() ? SW_HIDE : SW_SHOW);
  RecalcLayout();
}

CWnd* CFrameWnd::GetControlBar(UINT nID) const {
  for (CWnd* pBar : m_listControlBars)
    if (pBar->GetDlgCtrlID() == nID) return pBar;
  return nullptr;
}
