// The bar under the page that searches every page of the folder: an entry named "Search all pages"
// whose text is searched as the user types (after the entry's short pause), Enter or Down to go
// into the results, and Esc or the close button to hide it and give the page the focus.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/searchentry.h>

#include <functional>
#include <string>

class SearchBar : public Gtk::Box {
 public:
  // search: told the text to search for; toPage: asked to give the page the focus; closed: told
  // when the bar closes.
  SearchBar(std::function<void(const std::string&)> search, std::function<void()> toPage, std::function<void()> closed);

  // Shows the bar with the focus in its entry, its text selected.
  void Open();
  void Close();
  Gtk::SearchEntry& GetEntry() { return m_entry; }

 private:
  std::function<void(const std::string&)> m_search;
  std::function<void()> m_toPage;
  std::function<void()> m_closed;
  Gtk::Label m_label{"Search all pages:"};
  Gtk::SearchEntry m_entry;
  Gtk::Button m_close;
};
