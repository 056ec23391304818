#include "window/CView.h"

#include "core/AfxRes.h"
#include "core/CCmdUI.h"
#include "doc/CCreateContext.h"
#include "doc/CDocument.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
  // A view outside a splitter window has no panes to switch to and cannot be split.
  ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnNextPaneCmd)
  ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
  ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
  ON_COMMAND(ID_WINDOW_SPLIT, OnSplitCmd)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_SPLIT, OnUpdateSplitCmd)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

bool CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!(cs.style & WS_CHILD)) return false;
  // A plain border becomes a sunken client edge.
  if (cs.style & WS_BORDER) {
    cs.style &= ~WS_BORDER;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
  }
  return true;
}

int CView::OnCreate(CREATESTRUCT* lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (auto* pContext = lpcs->lpCreateParams; pContext != nullptr && pContext->m_pCurrentDoc != nullptr)
    pContext->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::PostNcDestroy() { delete this; }

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) {
  if (m_pWidget != nullptr) m_pWidget->queue_draw();
}

void CView::GiveFocus() {
  if (m_pWidget != nullptr) m_pWidget->grab_focus();
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::OnUpdateNextPaneMenu(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

void CView::OnUpdateSplitCmd(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
