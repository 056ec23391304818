#include "html/FindBar.h"

#include <webkit2/webkit2.h>

#include "html/BrowserTexts.h"

namespace {

constexpr guint kOptions = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;

// Takes the keyboard to the current match (the page's selection): to the link or other focusable
// element that holds it, else to the element around it, made a focus target until it loses the
// focus, so that Enter follows a link found and Tab moves on from the match, not from the top.
constexpr char kFocusMatch[] = R"js((() => {
  const selection = getSelection();
  if (!selection.rangeCount) return;
  const node = selection.getRangeAt(0).startContainer;
  const element = node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement;
  if (!element) return;
  const focusable = element.closest('a[href], area[href], button, input, select, textarea, summary, [tabindex]');
  if (focusable) {
    focusable.focus({preventScroll: true});
    if (document.activeElement === focusable) return;
  }
  if (element.hasAttribute('tabindex')) return;
  element.setAttribute('tabindex', '-1');
  element.style.outline = 'none';
  element.addEventListener('blur', () => {
    element.removeAttribute('tabindex');
    element.style.removeProperty('outline');
  }, {once: true});
  element.focus({preventScroll: true});
})())js";

// A picture button, named for what it does (its icon's name would be read out otherwise).
void Decorate(Gtk::Button& button, const char* icon, const char* name, const char* tooltip) {
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_BUTTON);
  button.set_relief(Gtk::RELIEF_NONE);
  button.set_tooltip_text(tooltip);
  button.set_can_focus(false);
  button.get_accessible()->set_name(name);
}

}  // namespace

FindBar::FindBar(WebKitWebView* webView)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 4),
      m_webView(webView),
      m_finder(GObjectRef(webkit_web_view_get_find_controller(webView))) {
  set_border_width(3);
  m_entry.set_placeholder_text("Find in page");
  m_entry.get_accessible()->set_name("Find in page");
  m_entry.set_width_chars(30);
  Decorate(m_previous, "go-up-symbolic", "Previous match", "Previous match (Shift+Enter)");
  Decorate(m_next, "go-down-symbolic", "Next match", "Next match (Enter)");
  Decorate(m_close, "window-close-symbolic", "Close the find bar", "Close the find bar (Esc)");
  pack_start(m_entry, Gtk::PACK_SHRINK);
  pack_start(m_previous, Gtk::PACK_SHRINK);
  pack_start(m_next, Gtk::PACK_SHRINK);
  pack_start(m_matches, Gtk::PACK_SHRINK, 6);
  pack_end(m_close, Gtk::PACK_SHRINK);
  show_all_children();
  set_no_show_all(true);  // hidden until Ctrl+F, whatever shows the window

  m_entry.signal_search_changed().connect([this] { Search(); });
  m_entry.signal_activate().connect([this] { Next(); });
  m_entry.signal_next_match().connect([this] { Next(); });
  m_entry.signal_previous_match().connect([this] { Previous(); });
  m_entry.signal_stop_search().connect([this] { Close(); });
  m_entry.signal_key_press_event().connect(
      [this](GdkEventKey* event) {
        const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
        if (!enter || !(event->state & GDK_SHIFT_MASK)) return false;
        Previous();
        return true;
      },
      false);
  m_previous.signal_clicked().connect([this] { Previous(); });
  m_next.signal_clicked().connect([this] { Next(); });
  m_close.signal_clicked().connect([this] { Close(); });
  g_signal_connect(m_finder.get(), "counted-matches", G_CALLBACK(OnCounted), this);
  g_signal_connect(m_finder.get(), "failed-to-find-text", G_CALLBACK(OnFailed), this);
  g_signal_connect(m_webView, "load-changed", G_CALLBACK(OnLoadChanged), this);
}

void FindBar::StyleSheetUnref::operator()(WebKitUserStyleSheet* sheet) const { webkit_user_style_sheet_unref(sheet); }

FindBar::~FindBar() {
  g_signal_handlers_disconnect_by_data(m_finder.get(), this);
  g_signal_handlers_disconnect_by_data(m_webView, this);
}

void FindBar::Open() {
  show();
  ShowMatchesClearly(true);
  m_entry.grab_focus();  // selects the entry's text
  Search();
}

void FindBar::Close() {
  if (!IsOpen()) return;
  // The script reaches the page before the find ends, while the match is still the selection.
  webkit_web_view_evaluate_javascript(m_webView, kFocusMatch, -1, "find", nullptr, nullptr, nullptr, nullptr);
  webkit_find_controller_search_finish(m_finder.get());
  ShowMatchesClearly(false);
  hide();
  gtk_widget_grab_focus(GTK_WIDGET(m_webView));
}

// While the focus is in the bar the page's selection, the current match, would be drawn in the
// faint colour of a selection in a window part without the focus: it is drawn in the theme's
// selection colours instead until the bar closes.
void FindBar::ShowMatchesClearly(bool clearly) {
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_webView);
  if (m_selectionStyle != nullptr) webkit_user_content_manager_remove_style_sheet(content, m_selectionStyle.get());
  m_selectionStyle.reset();
  if (!clearly) return;
  auto style = m_entry.get_style_context();
  Gdk::RGBA background("#3584e4"), text("#ffffff");
  style->lookup_color("theme_selected_bg_color", background);
  style->lookup_color("theme_selected_fg_color", text);
  const std::string css = "::selection { background-color: " + background.to_string() +
                          " !important; color: " + text.to_string() + " !important; }";
  m_selectionStyle.reset(webkit_user_style_sheet_new(css.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                     WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr));
  webkit_user_content_manager_add_style_sheet(content, m_selectionStyle.get());
}

void FindBar::OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, FindBar* self) {
  if (loadEvent != WEBKIT_LOAD_COMMITTED) return;
  // The count was the last page's.
  self->m_matches.set_text("");
  self->m_entry.get_style_context()->remove_class("error");
}

void FindBar::Next() {
  if (m_entry.get_text().empty()) return;
  webkit_find_controller_search_next(m_finder.get());
}

void FindBar::Previous() {
  if (m_entry.get_text().empty()) return;
  webkit_find_controller_search_previous(m_finder.get());
}

void FindBar::Search() {
  const std::string text = m_entry.get_text();
  m_entry.get_style_context()->remove_class("error");
  if (text.empty()) {
    webkit_find_controller_search_finish(m_finder.get());
    m_matches.set_text("");
    return;
  }
  webkit_find_controller_search(m_finder.get(), text.c_str(), kOptions, G_MAXUINT);
  webkit_find_controller_count_matches(m_finder.get(), text.c_str(), kOptions, G_MAXUINT);
}

void FindBar::OnCounted(WebKitFindController*, guint count, FindBar* self) {
  self->m_matches.set_text(BrowserTexts::Matches(count));
}

void FindBar::OnFailed(WebKitFindController*, FindBar* self) {
  self->m_matches.set_text(BrowserTexts::Matches(0));
  self->m_entry.get_style_context()->add_class("error");
}
