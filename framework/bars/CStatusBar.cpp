#include "bars/CStatusBar.h"

#include <atkmm/object.h>
#include <glibmm/ustring.h>
#include <gtkmm/box.h>
#include <gtkmm/separator.h>

#include "core/CCmdUI.h"
#include "core/ResourceModule.h"
#include "window/CFrameWnd.h"
#include "window/PrimaryMonitor.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {

std::string ValidUtf8(const std::string& text) { return Glib::ustring(text).make_valid().raw(); }

// An indicator pane's element: enabled shows the pane's text, disabled leaves it blank.
class CStatusCmdUI : public CCmdUI {
 public:
  CStatusCmdUI(CStatusBar& bar, int index, std::string text) : m_bar(bar), m_index(index), m_text(std::move(text)) {}
  void Enable(BOOL bOn) override {
    CCmdUI::Enable(bOn);
    m_bar.SetPaneText(m_index, bOn ? m_text : std::string());
  }
  void SetText(const std::string& text) override { m_bar.SetPaneText(m_index, text); }

 private:
  CStatusBar& m_bar;
  int m_index;
  std::string m_text;
};

}  // namespace

int CStatusBar::MessagePaneMinimumWidth() {
  constexpr int kPaneMargin = 4;
  return AfxPrimaryMonitorGeometry().width / 4 + kPaneMargin;
}

bool CStatusBar::Create(CWnd* pParentWnd, long dwStyle, UINT nID) {
  m_dwStyle = dwStyle & CBRS_ALIGN_ANY;
  m_pOwnerFrame = pParentWnd->GetParentFrame() ? pParentWnd->GetParentFrame() : dynamic_cast<CFrameWnd*>(pParentWnd);
  CREATESTRUCT cs;
  cs.style = dwStyle;
  cs.nID = nID;
  return CreateEx(cs, pParentWnd);
}

std::unique_ptr<Gtk::Widget> CStatusBar::CreateWidget(const CREATESTRUCT&) {
  auto box = std::make_unique<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 2);
  box->set_border_width(2);
  box->get_accessible()->set_role(Atk::ROLE_STATUSBAR);  // its panes are labels showing their texts
  return box;
}

bool CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  auto* box = static_cast<Gtk::Box*>(m_pWidget.get());
  for (int i = 0; i < nIDCount; ++i) {
    UINT nID = lpIDArray[i];
    auto* label = Gtk::make_managed<Gtk::Label>();
    label->set_xalign(0.0f);
    std::string text;
    if (nID == ID_SEPARATOR) {
      // The message pane stretches, but is never narrower than a quarter of the screen; in a
      // narrower window the panes to its right lie past the edge.
      label->set_ellipsize(Pango::ELLIPSIZE_END);
      label->set_size_request(MessagePaneMinimumWidth(), -1);
      box->pack_start(*label, Gtk::PACK_EXPAND_WIDGET);
    } else {
      const char* indicator = AfxFindString(nID);
      if (indicator == nullptr) return false;
      text = indicator;
      // As wide as its text plus a margin, whether the text shows or not.
      int width = 0, height = 0;
      label->create_pango_layout(text)->get_pixel_size(width, height);
      label->set_size_request(width + 6, -1);
      box->pack_start(*Gtk::make_managed<Gtk::Separator>(Gtk::ORIENTATION_VERTICAL), Gtk::PACK_SHRINK);
      box->pack_start(*label, Gtk::PACK_SHRINK);
      text.clear();
    }
    m_panes.push_back({nID, text, label});
  }
  box->show_all();
  return true;
}

void CStatusBar::SetPaneText(int nIndex, const std::string& text) {
  if (nIndex < 0 || nIndex >= int(m_panes.size())) return;
  Pane& pane = m_panes[nIndex];
  if (pane.text == text) return;  // an idle pass must change nothing when nothing changed
  pane.text = text;
  pane.label->set_text(ValidUtf8(text));
}

std::string CStatusBar::GetPaneText(int nIndex) const {
  return nIndex >= 0 && nIndex < int(m_panes.size()) ? m_panes[nIndex].text : std::string();
}

void CStatusBar::OnUpdateCmdUI(CCmdTarget* pTarget, bool) {
  for (int i = 0; i < int(m_panes.size()); ++i) {
    if (m_panes[i].nID == ID_SEPARATOR) continue;
    CStatusCmdUI state(*this, i, AfxLoadString(m_panes[i].nID));
    state.m_nID = m_panes[i].nID;
    state.DoUpdate(pTarget, false);
  }
}
