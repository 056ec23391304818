#include "bars/CDockBar.h"

#include <gtkmm/box.h>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

bool CDockBar::Create(CWnd* pParentWnd, long dwAlign, UINT nID) {
  m_dwStyle = dwAlign;
  m_pOwnerFrame = pParentWnd->GetParentFrame();
  CREATESTRUCT cs;
  cs.style = WS_CHILD;  // shown once a bar docks here
  cs.nID = nID;
  return CreateEx(cs, pParentWnd);
}

std::unique_ptr<Gtk::Widget> CDockBar::CreateWidget(const CREATESTRUCT&) {
  bool horizontal = m_dwStyle & CBRS_ORIENT_HORZ;
  return std::make_unique<Gtk::Box>(horizontal ? Gtk::ORIENTATION_HORIZONTAL : Gtk::ORIENTATION_VERTICAL);
}

void CDockBar::AttachChild(CWnd* pChild) {
  static_cast<Gtk::Box*>(m_pWidget.get())->pack_start(*pChild->GetWidget(), Gtk::PACK_SHRINK);
  UpdateVisibility();
}

void CDockBar::DetachChild(CWnd* pChild) {
  static_cast<Gtk::Box*>(m_pWidget.get())->remove(*pChild->GetWidget());
  UpdateVisibility();
}

void CDockBar::UpdateVisibility() {
  bool any = false;
  for (CWnd* pChild : GetChildren()) any = any || pChild->IsWindowVisible();
  if (m_pWidget->get_visible() != any) m_pWidget->set_visible(any);
}
