#include "bars/CToolBar.h"

#include <atkmm/object.h>
#include <gtkmm/box.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/image.h>
#include <gtkmm/separator.h>

#include "bars/ToolBarImages.h"
#include "core/CCmdUI.h"
#include "core/ResourceModule.h"
#include "window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

constexpr int kButtonMargin = 7;
constexpr int kGripWidth = 8;
constexpr const char* kAccessibleName = "Toolbar";

// A toolbar button as an element of the command route.
class CToolCmdUI : public CCmdUI {
 public:
  explicit CToolCmdUI(Gtk::Widget& button) : m_button(button) {}
  void Enable(BOOL bOn) override {
    CCmdUI::Enable(bOn);
    if (m_button.get_sensitive() != bool(bOn)) m_button.set_sensitive(bOn);
  }

 private:
  Gtk::Widget& m_button;
};

void InstallStyle() {
  static const Glib::RefPtr<Gtk::CssProvider> css = [] {
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(
        "button.afx-toolbutton { padding: 0; margin: 0; min-width: 0; min-height: 0; border-width: 1px; }"
        // Separators: a one-pixel line in a six-pixel gap.
        "separator.afx-toolbar { background-color: @borders; min-width: 1px; min-height: 1px; }"
        "separator.afx-toolbar.vertical { margin: 3px 3px 3px 2px; }"
        "separator.afx-toolbar.horizontal { margin: 2px 3px 3px 3px; }");
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return provider;
  }();
}

Gdk::RGBA ThemeColor(const Glib::RefPtr<Gtk::StyleContext>& style, const char* name, const char* fallback) {
  Gdk::RGBA color;
  if (!style->lookup_color(name, color)) color.set(fallback);
  return color;
}

}  // namespace

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

bool CToolBar::CreateEx(CWnd* pParentWnd, long, long dwStyle, UINT nID) {
  InstallStyle();
  m_dwStyle = dwStyle & ~(WS_CHILD | WS_VISIBLE);
  m_pOwnerFrame =
      dynamic_cast<CFrameWnd*>(pParentWnd) ? static_cast<CFrameWnd*>(pParentWnd) : pParentWnd->GetParentFrame();
  if (m_dwStyle & CBRS_FLYBY) m_pFlyBy = std::make_unique<FlyByPrompts>(*this);
  CREATESTRUCT cs;
  cs.style = dwStyle;
  cs.nID = nID;
  return CWnd::CreateEx(cs, pParentWnd);
}

std::unique_ptr<Gtk::Widget> CToolBar::CreateWidget(const CREATESTRUCT&) {
  auto background = std::make_unique<Gtk::EventBox>();
  m_pBox = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL);
  m_pGrip = Gtk::make_managed<Gtk::DrawingArea>();
  m_pGrip->signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cr) {
    auto style = m_pGrip->get_style_context();
    Gdk::RGBA shadow = ThemeColor(style, "borders", "#808080");
    cr->set_source_rgba(shadow.get_red(), shadow.get_green(), shadow.get_blue(), 1.0);
    int w = m_pGrip->get_allocated_width(), h = m_pGrip->get_allocated_height();
    bool horizontal = IsHorizontal();
    for (int i = 0; i < 2; ++i) {  // two ridges along the bar's leading edge
      if (horizontal)
        cr->rectangle(2 + 3 * i, 3, 1, h - 6);
      else
        cr->rectangle(3, 2 + 3 * i, w - 6, 1);
    }
    cr->fill();
    return true;
  });
  m_pFlow = Gtk::make_managed<CToolBarLayout>();
  m_pFlow->get_style_context()->add_class("afx-toolbar");
  m_pBox->pack_start(*m_pGrip, Gtk::PACK_SHRINK);
  m_pBox->pack_start(*m_pFlow, Gtk::PACK_EXPAND_WIDGET);
  background->add(*m_pBox);
  background->show_all();
  // Assistive technologies see a tool bar (a floating palette takes this name too).
  background->get_accessible()->set_role(Atk::ROLE_TOOL_BAR);
  background->get_accessible()->set_name(kAccessibleName);
  ConnectDragging(*background);
  if (m_pFlyBy) m_pFlyBy->WatchBackground(*background);
  background->signal_style_updated().connect([this] { LoadImages(); });
  background->property_scale_factor().signal_changed().connect([this] { LoadImages(); });
  return background;
}

std::string CToolBar::TooltipOf(UINT nID) {
  std::string tip;
  if (!AfxExtractSubString(tip, AfxLoadString(nID), 1)) return "";
  if (tip.size() > 79) tip.resize(79);
  return tip;
}

bool CToolBar::LoadToolBar(UINT nIDResource) {
  m_pResource = AfxFindToolBar(nIDResource);
  if (m_pResource == nullptr || m_pResource->version != 1) return false;
  int image = 0;
  for (UINT nID : m_pResource->items) {
    if (nID == ID_SEPARATOR) {
      auto* separator = Gtk::make_managed<Gtk::Separator>(Gtk::ORIENTATION_VERTICAL);
      separator->get_style_context()->add_class("afx-toolbar");
      m_items.push_back({nID, separator, -1, {}, {}, false});
      continue;
    }
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->get_style_context()->add_class("afx-toolbutton");
    button->set_relief(Gtk::RELIEF_NONE);
    button->set_can_focus(false);  // the page keeps the keyboard focus
    button->set_size_request(int(m_pResource->width) + kButtonMargin, int(m_pResource->height) + kButtonMargin);
    button->set_image(*Gtk::make_managed<Gtk::Image>());
    button->set_always_show_image(true);
    // Named by its tooltip and described by its prompt, as a screen reader announces it.
    std::string tip = TooltipOf(nID), prompt;
    if ((m_dwStyle & CBRS_TOOLTIPS) && !tip.empty()) button->set_tooltip_text(tip);
    AfxExtractSubString(prompt, AfxLoadString(nID), 0);
    button->get_accessible()->set_name(tip);
    button->get_accessible()->set_description(prompt);
    button->signal_clicked().connect([this, nID] {
      if (m_pOwnerFrame != nullptr) m_pOwnerFrame->SendMessage(WM_COMMAND, nID);
    });
    if (m_pFlyBy) m_pFlyBy->WatchButton(*button, nID);
    button->signal_state_flags_changed().connect(
        [this, index = m_items.size()](Gtk::StateFlags) { ShowDensePicture(m_items[index], false); });
    m_items.push_back({nID, button, image++, {}, {}, false});
  }
  for (const Item& item : m_items) m_pFlow->Add(*item.widget);
  LoadImages();
  Arrange();
  m_pFlow->show_all();
  return true;
}

void CToolBar::LoadImages() {
  if (m_pResource == nullptr) return;
  auto style = m_pWidget->get_style_context();
  ToolBarColors colors{ThemeColor(style, "theme_fg_color", "#000000"), ThemeColor(style, "borders", "#808080"),
                       ThemeColor(style, "theme_bg_color", "#c0c0c0"),
                       ThemeColor(style, "theme_base_color", "#ffffff")};
  // On a screen of twice the density the images drawn for it, at the same size on screen.
  const int scale = m_pResource->bitmap2x != nullptr && m_pWidget->get_scale_factor() >= 2 ? 2 : 1;
  auto images =
      CutToolBarImages(Gdk::Pixbuf::create_from_resource(scale == 2 ? m_pResource->bitmap2x : m_pResource->bitmap),
                       int(m_pResource->width) * scale, int(m_pResource->height) * scale, colors);
  auto dense = [scale](const Glib::RefPtr<Gdk::Pixbuf>& picture) {
    return Cairo::RefPtr<Cairo::Surface>(
        new Cairo::Surface(gdk_cairo_surface_create_from_pixbuf(picture->gobj(), scale, nullptr), true));
  };
  for (Item& item : m_items) {
    if (item.image < 0 || item.image >= int(images.size())) continue;
    item.dense.clear();
    item.denseDimmed.clear();
    if (scale == 1) {
      static_cast<Gtk::Image*>(static_cast<Gtk::Button*>(item.widget)->get_image())->set(images[item.image]);
      continue;
    }
    item.dense = dense(images[item.image]);
    item.denseDimmed = dense(DimToolBarImage(images[item.image]));
    ShowDensePicture(item, true);
  }
}

void CToolBar::ShowDensePicture(Item& item, bool force) {
  if (!item.dense) return;
  const bool dimmed = !item.widget->is_sensitive();
  if (!force && dimmed == item.dimmedShown) return;
  item.dimmedShown = dimmed;
  auto* image = static_cast<Gtk::Image*>(static_cast<Gtk::Button*>(item.widget)->get_image());
  gtk_image_set_from_surface(image->gobj(), (dimmed ? item.denseDimmed : item.dense)->cobj());
}

void CToolBar::SetBarStyle(long dwStyle) {
  CControlBar::SetBarStyle(dwStyle);
  Arrange();
}

void CToolBar::Arrange() {
  if (m_pFlow == nullptr) return;
  bool horizontal = IsHorizontal();
  auto orientation = horizontal ? Gtk::ORIENTATION_HORIZONTAL : Gtk::ORIENTATION_VERTICAL;
  m_pBox->set_orientation(orientation);
  m_pFlow->SetVertical(!horizontal);
  // Docked, the buttons stay in one line; floating, they re-flow into rows as the palette is resized.
  m_pFlow->SetWrap(IsFloating());
  for (const Item& item : m_items) {
    if (item.image >= 0) continue;
    auto* separator = static_cast<Gtk::Separator*>(item.widget);
    separator->set_orientation(horizontal ? Gtk::ORIENTATION_VERTICAL : Gtk::ORIENTATION_HORIZONTAL);
  }
  m_pGrip->set_size_request(horizontal ? kGripWidth : -1, horizontal ? -1 : kGripWidth);
  m_pGrip->set_visible((m_dwStyle & CBRS_GRIPPER) && !IsFloating());
}

int CToolBar::CalcRowWidth() const { return m_pFlow->RowWidth() + (m_pGrip->get_visible() ? kGripWidth : 0); }

Gtk::Button* CToolBar::GetButton(UINT nID) const {
  for (const Item& item : m_items)
    if (item.nID == nID && item.image >= 0) return static_cast<Gtk::Button*>(item.widget);
  return nullptr;
}

UINT CToolBar::CommandAt(double xRoot, double yRoot) const {
  for (const Item& item : m_items)
    if (item.image >= 0 && Contains(*item.widget, xRoot, yRoot)) return item.nID;
  return 0;
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* pTarget, bool bDisableIfNoHandler) {
  for (const Item& item : m_items) {
    if (item.image < 0) continue;
    CToolCmdUI state(*item.widget);
    state.m_nID = item.nID;
    state.DoUpdate(pTarget, bDisableIfNoHandler);
  }
}
