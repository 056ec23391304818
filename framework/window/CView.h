// A view: the window inside a frame that shows a document. Commands offered to it go on to its
// document. The framework deletes the view once its window is gone.
#pragma once

#include "window/CWnd.h"

class CDocument;

class CView : public CWnd {
 public:
  DECLARE_DYNAMIC(CView)
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }

  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnDraw() {}
  // Gives the keyboard focus to the widget inside the view that should have it.
  virtual void GiveFocus();

  // View → document → template.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;

  int OnCreate(CREATESTRUCT* lpCreateStruct);
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  void OnNextPaneCmd() {}
  void OnUpdateNextPaneMenu(CCmdUI* pCmdUI);
  void OnUpdateSplitCmd(CCmdUI* pCmdUI);
  void OnSplitCmd() {}

 private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;

  DECLARE_MESSAGE_MAP()
};
