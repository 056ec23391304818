#include "content/FOLIOSCPView.h"

#include <glib.h>

#include "content/StartPage.h"
#include "resources/Resource.h"

IMPLEMENT_DYNCREATE(CFOLIOSCPView, CHtmlView)

BEGIN_MESSAGE_MAP(CFOLIOSCPView, CHtmlView)
  ON_COMMAND(ID_BACK_BROWSER, OnBackBrowser)
  ON_COMMAND(ID_FORWARD_BROWSER, OnForwardBrowser)
END_MESSAGE_MAP()

CFOLIOSCPDoc* CFOLIOSCPView::GetDocument() const {
  g_assert(CView::GetDocument() == nullptr || CView::GetDocument()->IsKindOf(RUNTIME_CLASS(CFOLIOSCPDoc)));
  return static_cast<CFOLIOSCPDoc*>(CView::GetDocument());
}

void CFOLIOSCPView::OnInitialUpdate() {
  CHtmlView::OnInitialUpdate();
  // Looked up afresh each time, in the current directory of this moment.
  const FolderPage page = StartPage::FindInCurrentDirectory();
  if (!page.path.empty())
    Navigate2(page.path);
  else
    LoadHtml(page.html, page.baseDir);
}

void CFOLIOSCPView::OnBackBrowser() { GoBack(); }

void CFOLIOSCPView::OnForwardBrowser() { GoForward(); }
