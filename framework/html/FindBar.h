// The bar under the page that finds text in it through the engine's find controller: typing
// searches (case-insensitive, wrapping around), Enter and F3 go to the next match, Shift+Enter and
// Shift+F3 to the previous one, and Esc or the close button hide the bar and give the page the focus,
// at the match. While the bar is open the current match shows in the theme's selection colours and
// every other match is marked; the count is cleared when another page comes.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/searchentry.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "core/GObjectPtr.h"

class FindBar : public Gtk::Box {
 public:
  explicit FindBar(WebKitWebView* webView);
  ~FindBar() override;

  // Shows the bar with the focus in its entry, the text there selected and searched again.
  void Open();
  void Close();
  void Next();
  void Previous();
  bool IsOpen() const { return get_visible(); }
  Gtk::SearchEntry& GetEntry() { return m_entry; }
  std::string GetMatchText() const { return m_matches.get_text(); }

 private:
  void Search();
  void ShowMatchesClearly(bool clearly);
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, FindBar* self);
  static void OnCounted(WebKitFindController*, guint count, FindBar* self);
  static void OnFailed(WebKitFindController*, FindBar* self);

  WebKitWebView* m_webView;
  GObjectPtr<WebKitFindController> m_finder;  // the engine's, held while the bar lives
  struct StyleSheetUnref {
    void operator()(WebKitUserStyleSheet* sheet) const;
  };
  std::unique_ptr<WebKitUserStyleSheet, StyleSheetUnref> m_selectionStyle;  // in the page while the bar is open
  Gtk::SearchEntry m_entry;
  Gtk::Button m_previous;
  Gtk::Button m_next;
  Gtk::Label m_matches;
  Gtk::Button m_close;
};
