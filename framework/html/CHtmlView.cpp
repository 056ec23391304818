#include "html/CHtmlView.h"

#include <glib.h>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "html/BrowserControl.h"
#include "html/FileUri.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
  ON_WM_DESTROY()
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
END_MESSAGE_MAP()

std::unique_ptr<Gtk::Widget> CHtmlView::CreateWidget(const CREATESTRUCT& cs) {
  BrowserEvents& events = *this;
  auto control = std::make_unique<BrowserControl>(events, cs.dwExStyle & WS_EX_CLIENTEDGE);
  if (CWinApp* pApp = AfxGetApp()) control->SetGuide(pApp->m_strHelpFilePath);
  m_pControl = control.get();  // the view's widget: it goes with the view's window
  return control;
}

void CHtmlView::OnDestroy() {
  // The control goes with the view's widget; no event may reach this object after it.
  if (m_pControl != nullptr) m_pControl->Detach();
  m_pControl = nullptr;
}

WebKitWebView* CHtmlView::GetBrowser() const { return m_pControl != nullptr ? m_pControl->GetWebView() : nullptr; }

void CHtmlView::GiveFocus() {
  if (m_pControl != nullptr) m_pControl->GiveFocus();
}

void CHtmlView::Navigate2(const std::string& url) {
  if (m_pControl == nullptr) return;
  if (!url.empty() && url.front() == '/') {
    if (const std::string uri = FileUri::FromPath(url); !uri.empty()) m_pControl->Navigate(uri);
  } else {
    m_pControl->Navigate(url);
  }
}

void CHtmlView::LoadHtml(const std::string& html, const std::string& baseDir) {
  if (m_pControl == nullptr) return;
  // The engine takes no base it cannot turn back into a path; such a page names its links in full.
  const bool usable = !baseDir.empty() && g_utf8_validate(baseDir.c_str(), -1, nullptr);
  m_pControl->LoadHtml(html, usable ? FileUri::FromPath(baseDir == "/" ? baseDir : baseDir + "/") : "");
}

void CHtmlView::GoBack() {
  if (m_pControl != nullptr) m_pControl->GoBack();
}

void CHtmlView::GoForward() {
  if (m_pControl != nullptr) m_pControl->GoForward();
}

void CHtmlView::OnFilePrint() {
  if (m_pControl != nullptr) m_pControl->Print();
}

void CHtmlView::OnStatusTextChange(const std::string& text) {
  if (CFrameWnd* pFrame = GetParentFrame()) pFrame->SetMessageText(text);
}
