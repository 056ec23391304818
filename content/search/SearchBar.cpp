#include "content/search/SearchBar.h"

#include <atkmm/object.h>

SearchBar::SearchBar(std::function<void(const std::string&)> search, std::function<void()> toPage,
                     std::function<void()> closed)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 6),
      m_search(std::move(search)),
      m_toPage(std::move(toPage)),
      m_closed(std::move(closed)) {
  set_border_width(3);
  m_entry.get_accessible()->set_name("Search all pages");
  m_entry.set_width_chars(30);
  m_close.set_image_from_icon_name("window-close-symbolic", Gtk::ICON_SIZE_MENU);
  m_close.set_relief(Gtk::RELIEF_NONE);
  m_close.set_tooltip_text("Close the search bar");
  m_close.get_accessible()->set_name("Close the search bar");
  pack_start(m_label, Gtk::PACK_SHRINK);
  pack_start(m_entry, Gtk::PACK_SHRINK);
  pack_end(m_close, Gtk::PACK_SHRINK);
  show_all_children();
  set_no_show_all(true);

  m_entry.signal_search_changed().connect([this] {
    if (!m_entry.get_text().empty()) m_search(m_entry.get_text());
  });
  m_entry.signal_activate().connect([this] { m_toPage(); });
  m_entry.signal_stop_search().connect([this] { Close(); });
  m_entry.signal_key_press_event().connect(
      [this](GdkEventKey* event) {
        if (event->keyval != GDK_KEY_Down && event->keyval != GDK_KEY_KP_Down) return false;
        m_toPage();
        return true;
      },
      false);
  m_close.signal_clicked().connect([this] { Close(); });
}

void SearchBar::Open() {
  show();
  m_entry.grab_focus();
}

void SearchBar::Close() {
  if (!get_visible()) return;
  hide();
  m_closed();
  m_toPage();
}
