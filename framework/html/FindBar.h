// The bar under the page that finds text in it through the engine's find controller: typing
// searches (case-insensitive, wrapping around), Enter and F3 go to the next match, Shift+Enter and
// Shift+F3 to the previous one, and Esc or the close button hide the bar and give the page the focus.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/searchentry.h>

#include <memory>
#include <string>

#include "core/GObjectPtr.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitFindController WebKitFindController;

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
  static void OnCounted(WebKitFindController*, guint count, FindBar* self);
  static void OnFailed(WebKitFindController*, FindBar* self);

  WebKitWebView* m_webView;
  GObjectPtr<WebKitFindController> m_finder;  // the engine's, held while the bar lives
  Gtk::SearchEntry m_entry;
  Gtk::Button m_previous;
  Gtk::Button m_next;
  Gtk::Label m_matches;
  Gtk::Button m_close;
};
