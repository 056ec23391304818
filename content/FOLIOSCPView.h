// The content view: the engine shows the folder's start page at every initial update; Back and
// Forward step through its history; Print is the framework view's.
#pragma once

#include "content/FOLIOSCPDoc.h"
#include "html/CHtmlView.h"

class CFOLIOSCPView : public CHtmlView {
 public:
  DECLARE_DYNCREATE(CFOLIOSCPView)
  CFOLIOSCPView() = default;
  ~CFOLIOSCPView() override = default;

  CFOLIOSCPDoc* GetDocument() const;
  void OnInitialUpdate() override;
  void OnDraw() override {}  // the engine paints the page
  void AssertValid() const override { CHtmlView::AssertValid(); }
  void Dump() const override { CHtmlView::Dump(); }

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override { return CHtmlView::PreCreateWindow(cs); }
  void OnBackBrowser();
  void OnForwardBrowser();

  DECLARE_MESSAGE_MAP()
};
