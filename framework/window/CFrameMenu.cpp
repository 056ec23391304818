#include "window/CFrameMenu.h"

#include <gdkmm/device.h>
#include <gdkmm/display.h>
#include <gdkmm/seat.h>
#include <glibmm/main.h>
#include <gtkmm/accellabel.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include <algorithm>
#include <cmath>

#include "core/AfxRes.h"
#include "core/CCmdUI.h"
#include "window/CFrameWnd.h"
#include "window/MessagePrompts.h"

namespace {

// A menu item as a user-interface element of the command route. A check item's mark is cleared
// before each update; a plain item has none to set.
class CMenuCmdUI : public CCmdUI {
 public:
  explicit CMenuCmdUI(Gtk::MenuItem& item) : m_item(item), m_pCheck(dynamic_cast<Gtk::CheckMenuItem*>(&item)) {}
  void Enable(BOOL bOn) override {
    CCmdUI::Enable(bOn);
    if (m_item.get_sensitive() != bool(bOn)) m_item.set_sensitive(bOn);
  }
  void SetCheck(int nCheck) override {
    CCmdUI::SetCheck(nCheck);
    if (m_pCheck != nullptr && m_pCheck->get_active() != (nCheck != 0)) m_pCheck->set_active(nCheck != 0);
  }

 private:
  Gtk::MenuItem& m_item;
  Gtk::CheckMenuItem* m_pCheck;
};

// Asks a command's update handler without touching any widget whether it sets a check mark, and
// which.
class CStateProbe : public CCmdUI {
 public:
  void SetCheck(int nCheck) override {
    CCmdUI::SetCheck(nCheck);
    m_bChecks = true;
  }
  void SetText(const std::string&) override {}
  bool m_bChecks = false;
};

// "Ctrl+Shift+F6" → "<Control><Shift>F6", the form gtk_accelerator_parse reads.
std::string AcceleratorName(const std::string& keyText) {
  std::string name, part;
  size_t start = 0;
  while (true) {
    size_t plus = keyText.find('+', start);
    part = keyText.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (plus == std::string::npos) break;
    name += part == "Ctrl" ? "<Control>" : part == "Alt" ? "<Alt>" : "<" + part + ">";
    start = plus + 1;
  }
  return name + (part.size() == 1 ? std::string(1, g_ascii_tolower(part[0])) : part);
}

// Whether the pointer is over the widget as it is shown.
bool PointerOn(Gtk::Widget& widget) {
  if (!widget.get_mapped()) return false;
  int x = 0, y = 0;
  Gdk::ModifierType mask;
  widget.get_window()->get_device_position(widget.get_display()->get_default_seat()->get_pointer(), x, y, mask);
  Gtk::Allocation a = widget.get_allocation();
  if (widget.get_has_window()) {
    a.set_x(0);
    a.set_y(0);
  }
  return x >= a.get_x() && y >= a.get_y() && x < a.get_x() + a.get_width() && y < a.get_y() + a.get_height();
}

}  // namespace

std::pair<std::string, std::string> CFrameMenu::SplitLabel(const std::string& text) {
  size_t tab = text.find('\t');
  std::string label;
  for (size_t i = 0; i < text.size() && i < tab; ++i) {
    if (text[i] == '&' && i + 1 < tab && text[i + 1] == '&') {
      label += '&';
      ++i;
    } else if (text[i] == '&') {
      label += '_';
    } else if (text[i] == '_') {
      label += "__";
    } else {
      label += text[i];
    }
  }
  return {label, tab == std::string::npos ? "" : text.substr(tab + 1)};
}

CFrameMenu::CFrameMenu(CFrameWnd& frame, const MenuBarResource& resource) : m_frame(frame) {
  // A check mark shows only while an item is checked; otherwise its place stays empty.
  static const Glib::RefPtr<Gtk::CssProvider> css = [] {
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(
        "menuitem.afx-command check:not(:checked) { border-color: transparent; background: none;"
        " box-shadow: none; -gtk-icon-source: none; }");
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return provider;
  }();
  ProbeStates(resource.items);
  AddItems(m_menuBar, resource.items);
  // The menu has closed: the idle prompt returns at once.
  Keep(m_menuBar.signal_deactivate().connect([this] { m_frame.SetMessageText(AFX_IDS_IDLEMESSAGE); }));
  m_menuBar.show_all();
}

CFrameMenu::~CFrameMenu() {
  // The bar and its pop-ups may still emit (a menu open at the end closes as the bar goes); no
  // handler may reach this object or the frame by then.
  for (sigc::connection& connection : m_connections) connection.disconnect();
  m_pointerCheck.disconnect();
}

void CFrameMenu::ProbeStates(std::span<const MenuResource> items) {
  for (const MenuResource& r : items) {
    if (!r.popup.empty()) {
      ProbeStates(r.popup);
    } else if (r.text != nullptr && r.nID != 0) {
      CStateProbe probe;
      probe.m_nID = r.nID;
      probe.DoUpdate(&m_frame, false);
      if (probe.m_bChecks) m_checkMarks[r.nID] = probe.m_nCheck != 0;
    }
  }
}

void CFrameMenu::AddItems(Gtk::MenuShell& shell, std::span<const MenuResource> items) {
  for (const MenuResource& r : items) {
    if (r.text == nullptr) {
      auto* separator = Gtk::make_managed<Gtk::SeparatorMenuItem>();
      Keep(separator->signal_select().connect([this] { m_frame.SetMessageText(std::string()); }));
      shell.append(*separator);
      continue;
    }
    auto [label, keyText] = SplitLabel(r.text);
    if (!r.popup.empty()) {
      auto* item = Gtk::make_managed<Gtk::MenuItem>(label, true);
      auto* popup = Gtk::make_managed<Gtk::Menu>();
      AddItems(*popup, r.popup);
      item->set_submenu(*popup);
      // An assistive technology may choose an item of a pop-up that was never shown; GTK then
      // takes a grab on the pop-up's window, which must exist by then.
      gtk_widget_realize(GTK_WIDGET(popup->gobj()));
      Keep(popup->signal_show().connect([this, popup] {
        m_pointerSeen = PointerPosition(*popup);
        UpdatePopup(*popup);
      }));
      // Moving over a disabled item, a separator or off the menu highlights nothing in GTK; the
      // pane follows the pointer there. Enabled items set their prompt when highlighted. Only a
      // pointer that really moves counts: the crossings a menu's appearing makes under a resting
      // pointer would blank the prompt of the item the keyboard highlighted.
      Keep(popup->signal_event().connect(
          [this, popup](GdkEvent* e) {
            if (e->type == GDK_MOTION_NOTIFY) gdk_event_request_motions(&e->motion);
            bool pointer = e->type == GDK_MOTION_NOTIFY || e->type == GDK_ENTER_NOTIFY || e->type == GDK_LEAVE_NOTIFY;
            // (Crossings that arrive once the menu has closed change nothing.)
            if (pointer && popup->get_mapped() && PointerMoved(e) && !PointerOnEnabledItem(*popup))
              PromptUnderPointer(*popup);
            return false;
          },
          false));
      Keep(item->signal_select().connect([this] { m_frame.SetMessageText(std::string()); }));
      m_items.emplace_back(item, 0);
      shell.append(*item);
      continue;
    }
    // Only the items whose update handler marks them are check items, so that assistive
    // technologies announce the others as plain commands. A mark found when the menu was built
    // stands until the pop-up first opens.
    Gtk::MenuItem* item = nullptr;
    if (auto mark = m_checkMarks.find(r.nID); mark != m_checkMarks.end()) {
      auto* check = Gtk::make_managed<Gtk::CheckMenuItem>(label, true);
      check->set_active(mark->second);
      item = check;
    } else {
      item = Gtk::make_managed<Gtk::MenuItem>(label, true);
    }
    item->get_style_context()->add_class("afx-command");
    if (!keyText.empty()) {
      guint key = 0;
      GdkModifierType mods{};
      gtk_accelerator_parse(AcceleratorName(keyText).c_str(), &key, &mods);
      if (auto* accelLabel = dynamic_cast<Gtk::AccelLabel*>(item->get_child()))
        accelLabel->set_accel(key, Gdk::ModifierType(mods));
    }
    UINT nID = r.nID;
    Keep(item->signal_select().connect([this, nID] { m_frame.SetMessageText(nID); }));
    Keep(item->signal_deselect().connect([this, &shell] { PromptUnderPointer(shell); }));
    Keep(item->signal_activate().connect([this, nID] {
      if (!m_bUpdating) m_frame.SendMessage(WM_COMMAND, nID);
    }));
    m_items.emplace_back(item, nID);
    shell.append(*item);
  }
}

std::pair<int, int> CFrameMenu::PointerPosition(Gtk::Widget& widget) {
  int x = -1, y = -1;
  if (auto pointer = widget.get_display()->get_default_seat()->get_pointer()) pointer->get_position(x, y);
  return {x, y};
}

bool CFrameMenu::PointerMoved(const GdkEvent* event) {
  double x = 0, y = 0;
  if (!gdk_event_get_root_coords(event, &x, &y)) return true;
  const std::pair<int, int> now{int(std::lround(x)), int(std::lround(y))};
  const bool moved = now != m_pointerSeen;
  m_pointerSeen = now;
  return moved;
}

const std::pair<Gtk::MenuItem*, UINT>* CFrameMenu::ItemUnderPointer(Gtk::MenuShell& popup) const {
  for (Gtk::Widget* child : popup.get_children()) {
    if (!PointerOn(*child)) continue;
    auto found = std::find_if(m_items.begin(), m_items.end(), [child](const auto& p) { return p.first == child; });
    return found == m_items.end() ? nullptr : &*found;
  }
  return nullptr;
}

bool CFrameMenu::PointerOnEnabledItem(Gtk::MenuShell& popup) const {
  const auto* item = ItemUnderPointer(popup);
  return item != nullptr && item->first->is_sensitive();
}

void CFrameMenu::PromptUnderPointer(Gtk::MenuShell& popup) {
  // A disabled command item shows its prompt like an enabled one; a separator, a gap or a place
  // off the menu blanks the pane, as a highlighted pop-up item does.
  const auto* item = ItemUnderPointer(popup);
  bool disabled = item != nullptr && item->second != 0 && !item->first->is_sensitive();
  m_frame.SetMessageText(disabled ? AfxPromptOf(item->second) : std::string());
  // GTK may drop the pointer events that leave a disabled item; while one shows its prompt, the
  // pointer's position is checked again.
  m_pointerCheck.disconnect();
  if (disabled)
    m_pointerCheck = Glib::signal_timeout().connect(
        [this, &popup] {
          if (!popup.get_mapped() || PointerOnEnabledItem(popup)) return false;
          const auto* now = ItemUnderPointer(popup);
          bool same = now != nullptr && now->second != 0 && !now->first->is_sensitive() &&
                      AfxPromptOf(now->second) == m_frame.GetMessageText();
          if (!same) PromptUnderPointer(popup);  // which starts a new check when still needed
          return same;
        },
        kPointerCheckMs);
}

void CFrameMenu::UpdatePopup(Gtk::MenuShell& popup) {
  // Setting a check item's mark activates it; that is no command.
  m_bUpdating = true;
  for (Gtk::Widget* child : popup.get_children()) {
    auto* item = dynamic_cast<Gtk::MenuItem*>(child);
    if (item == nullptr) continue;
    auto found = std::find_if(m_items.begin(), m_items.end(), [item](const auto& p) { return p.first == item; });
    if (found == m_items.end() || found->second == 0) continue;
    CMenuCmdUI state(*item);
    state.m_nID = found->second;
    state.SetCheck(0);
    state.DoUpdate(&m_frame, true);
  }
  m_bUpdating = false;
}
