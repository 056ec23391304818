#include "window/CWnd.h"

#include <glibmm/main.h>

#include <algorithm>

#include "core/CCmdUI.h"
#include "core/Trace.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  for (sigc::connection& posted : m_posted) posted.disconnect();
  m_pWidget.reset();
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) { return true; }

std::unique_ptr<Gtk::Widget> CWnd::CreateWidget(const CREATESTRUCT&) { return nullptr; }

void CWnd::AttachChild(CWnd*) {}

void CWnd::DetachChild(CWnd*) {}

bool CWnd::CreateEx(CREATESTRUCT& cs, CWnd* pParent) {
  m_pParentWnd = pParent;
  if (PreCreateWindow(cs)) {
    m_style = cs.style;
    m_exStyle = cs.dwExStyle;
    m_nID = cs.nID;
    m_pWidget = CreateWidget(cs);
  }
  if (m_pWidget == nullptr) {
    PostNcDestroy();  // may delete this object
    return false;
  }
  if (pParent != nullptr) {
    pParent->m_children.push_back(this);
    pParent->AttachChild(this);
  }
  ConnectEvents();
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow();  // PostNcDestroy may delete this object
    return false;
  }
  if (pParent != nullptr && (m_style & WS_VISIBLE)) m_pWidget->show();
  return true;
}

void CWnd::ConnectEvents() {
  m_pWidget->signal_size_allocate().connect([this](Gtk::Allocation& a) {
    if (a.get_width() == m_lastWidth && a.get_height() == m_lastHeight) return;
    m_lastWidth = a.get_width();
    m_lastHeight = a.get_height();
    SendMessage(WM_SIZE, 0, LPARAM((std::uint64_t(m_lastHeight) << 32) | std::uint32_t(m_lastWidth)));
  });
  m_pWidget->signal_focus_in_event().connect(
      [this](GdkEventFocus*) {
        SendMessage(WM_SETFOCUS);
        return false;
      },
      false);
}

bool CWnd::DestroyWindow() {
  if (m_pWidget == nullptr) return false;
  m_bDestroying = true;
  std::vector<CWnd*> children = m_children;
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->DestroyWindow();
  SendMessage(WM_DESTROY);
  for (sigc::connection& posted : m_posted) posted.disconnect();
  m_posted.clear();
  if (m_pParentWnd != nullptr) {
    m_pParentWnd->DetachChild(this);
    auto& siblings = m_pParentWnd->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  m_pWidget.reset();
  m_bDestroying = false;
  PostNcDestroy();
  return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) { return WindowProc(message, wParam, lParam); }

void CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Delivered by the main loop once it is free, in the order posted; dropped with the window.
  std::erase_if(m_posted, [](const sigc::connection& posted) { return !posted.connected(); });
  m_posted.push_back(Glib::signal_idle().connect(
      [this, message, wParam, lParam] {
        SendMessage(message, wParam, lParam);  // may end this window
        return false;
      },
      Glib::PRIORITY_DEFAULT));
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) {
  std::vector<CWnd*> children = m_children;
  for (CWnd* child : children) {
    child->SendMessage(message, wParam, lParam);
    child->SendMessageToDescendants(message, wParam, lParam);
  }
}

void CWnd::SetParent(CWnd* pNewParent) {
  if (m_pParentWnd == pNewParent) return;
  if (m_pParentWnd != nullptr) {
    m_pParentWnd->DetachChild(this);
    auto& siblings = m_pParentWnd->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  m_pParentWnd = pNewParent;
  if (pNewParent != nullptr) {
    pNewParent->m_children.push_back(this);
    pNewParent->AttachChild(this);
  }
}

CWnd* CWnd::GetDlgItem(UINT nID) const {
  for (CWnd* child : m_children)
    if (child->m_nID == nID) return child;
  return nullptr;
}

CFrameWnd* CWnd::GetParentFrame() const {
  for (CWnd* p = m_pParentWnd; p != nullptr; p = p->m_pParentWnd)
    if (p->IsFrameWnd()) return static_cast<CFrameWnd*>(p);
  return nullptr;
}

void CWnd::ShowWindow(int nCmdShow) {
  if (m_pWidget == nullptr) return;
  if (nCmdShow == SW_HIDE)
    m_pWidget->hide();
  else
    m_pWidget->show();
}

bool CWnd::IsWindowVisible() const { return m_pWidget != nullptr && m_pWidget->get_visible(); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  OnWndMsg(message, wParam, lParam, &result);
  return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    *pResult = OnCommand(wParam, lParam);
    return true;
  }
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), message, 0, 0);
  if (e == nullptr) return false;
  switch (e->nSig) {
    case AfxSig::v_v:
      (this->*e->pfn.v_v)();
      break;
    case AfxSig::i_cs:
      *pResult = (this->*e->pfn.i_cs)(reinterpret_cast<CREATESTRUCT*>(lParam));
      break;
    case AfxSig::v_uii:
      (this->*e->pfn.v_uii)(UINT(wParam), int(std::uint64_t(lParam) & 0xFFFFFFFF), int(std::uint64_t(lParam) >> 32));
      break;
    case AfxSig::b_v:
      *pResult = (this->*e->pfn.b_v)();
      break;
    case AfxSig::v_b:
      (this->*e->pfn.v_b)(BOOL(wParam));
      break;
    case AfxSig::l_wl:
      *pResult = (this->*e->pfn.l_wl)(wParam, lParam);
      break;
    default:
      return false;
  }
  return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  UINT nID = UINT(wParam & 0xFFFF);
  // A command that its update handler disables is dropped, whatever issued it.
  CCmdUI state;
  state.m_nID = nID;
  OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
  if (!state.m_bEnabled) {
    AfxTrace("Warning: not executing disabled command %u\n", nID);
    return TRUE;
  }
  AfxTrace("Command %u\n", nID);
  return OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

int CWnd::OnCreate(CREATESTRUCT*) { return 0; }
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnDestroy() {}
void CWnd::OnSetFocus() {}
void CWnd::OnClose() { DestroyWindow(); }
