// A window: a GTK widget with a message map. GTK events reach the class as window messages
// (WM_CREATE, WM_SIZE, WM_SETFOCUS, WM_DESTROY, ...) through WindowProc and the map chain.
//
// Lifetime: a CWnd owns its widget. DestroyWindow destroys the children first, sends WM_DESTROY,
// deletes the widget and then calls PostNcDestroy, where frames and views delete themselves.
//
// Teardown rule: a handler (signal, idle, timeout) that captures an object or a reference is
// disconnected before anything it uses goes: keep its sigc::connection and disconnect it in the
// destructor (or at WM_DESTROY), derive from sigc::trackable and connect a member, or connect it
// only to a widget that the object owns and destroys first. A widget destroyed while a menu, a
// drag or a grab is live still emits on its way out.
#pragma once

#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <memory>
#include <string>
#include <vector>

#include "core/CCmdTarget.h"

struct CCreateContext;
class CFrameWnd;

struct CREATESTRUCT {
  CCreateContext* lpCreateParams = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  long style = 0;
  long dwExStyle = 0;
  std::string strName;  // the window's title
  UINT nID = 0;
};

// Window styles that the framework interprets.
enum : long {
  WS_OVERLAPPEDWINDOW = 0x00CF0000,
  WS_CHILD = 0x40000000,
  WS_VISIBLE = 0x10000000,
  WS_BORDER = 0x00800000,
  FWS_ADDTOTITLE = 0x00008000,
  FWS_PREFIXTITLE = 0x00004000,
  WS_EX_CLIENTEDGE = 0x00000200,
};

class CWnd : public CCmdTarget {
 public:
  DECLARE_DYNAMIC(CWnd)
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Creates the window as a child of pParent (or top-level when nullptr): PreCreateWindow, the
  // widget, then WM_CREATE. When any step refuses it returns false after PostNcDestroy has run, so
  // an object that deletes itself there is gone.
  bool CreateEx(CREATESTRUCT& cs, CWnd* pParent);
  virtual bool DestroyWindow();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Queues the message; it is delivered from the main loop unless the window is destroyed first.
  void PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  Gtk::Widget* GetWidget() const { return m_pWidget.get(); }
  bool HasWindow() const { return m_pWidget != nullptr; }
  // True from the start of DestroyWindow: the window's children are going or gone.
  bool IsBeingDestroyed() const { return m_bDestroying; }
  UINT GetDlgCtrlID() const { return m_nID; }
  CWnd* GetParent() const { return m_pParentWnd; }
  // Moves the window, with its widget, under another parent window.
  void SetParent(CWnd* pNewParent);
  CWnd* GetDlgItem(UINT nID) const;
  const std::vector<CWnd*>& GetChildren() const { return m_children; }
  CFrameWnd* GetParentFrame() const;
  virtual bool IsFrameWnd() const { return false; }

  virtual void ShowWindow(int nCmdShow);
  bool IsWindowVisible() const;
  long GetStyle() const { return m_style; }
  long GetExStyle() const { return m_exStyle; }
  void ModifyStyleEx(long remove, long add) { m_exStyle = (m_exStyle & ~remove) | add; }

 protected:
  virtual bool PreCreateWindow(CREATESTRUCT& cs);
  // Builds the GTK widget for a window of this class; the CWnd owns it.
  virtual std::unique_ptr<Gtk::Widget> CreateWidget(const CREATESTRUCT& cs);
  // Places a new child's widget; windows that hold children override it.
  virtual void AttachChild(CWnd* pChild);
  virtual void DetachChild(CWnd* pChild);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void PostNcDestroy() {}

  int OnCreate(CREATESTRUCT* lpCreateStruct);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();
  void OnSetFocus();
  void OnClose();

  std::unique_ptr<Gtk::Widget> m_pWidget;
  CWnd* m_pParentWnd = nullptr;
  std::vector<CWnd*> m_children;
  UINT m_nID = 0;
  long m_style = 0;
  long m_exStyle = 0;

 private:
  void ConnectEvents();
  std::vector<sigc::connection> m_posted;  // messages waiting for the main loop
  bool m_bDestroying = false;
  int m_lastWidth = -1;
  int m_lastHeight = -1;

  DECLARE_MESSAGE_MAP()
};

// Window-message entries.
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, 0, 0, 0, i_cs, OnCreate)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, 0, 0, 0, v_uii, OnSize)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, 0, 0, 0, v_v, OnDestroy)
#define ON_WM_SETFOCUS() AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, v_v, OnSetFocus)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, 0, 0, 0, v_v, OnClose)
#define ON_WM_QUERYENDSESSION() AFX_ENTRY(WM_QUERYENDSESSION, 0, 0, 0, b_v, OnQueryEndSession)
#define ON_WM_ENDSESSION() AFX_ENTRY(WM_ENDSESSION, 0, 0, 0, v_b, OnEndSession)
