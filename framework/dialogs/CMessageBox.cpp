#include "dialogs/CMessageBox.h"

#include <gtkmm/expander.h>
#include <gtkmm/label.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include "core/Trace.h"
#include "dialogs/MessageIcon.h"
#include "dialogs/MessageText.h"

namespace {

// A message box's labels wrap long words too, and a box whose text had to be shortened keeps all
// of it, selectable, under an expander. The view gets the text when it is first opened: laying out
// a huge text would hold up the box.
void ShowFullText(Gtk::MessageDialog& dialog, const std::string& shown, const std::string& text) {
  for (Gtk::Widget* child : dialog.get_message_area()->get_children())
    if (auto* label = dynamic_cast<Gtk::Label*>(child)) label->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
  if (shown == text) return;
  auto* view = Gtk::make_managed<Gtk::TextView>();
  view->set_editable(false);
  view->set_cursor_visible(false);
  view->set_wrap_mode(Gtk::WRAP_CHAR);
  auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
  scroller->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroller->set_size_request(-1, 120);
  scroller->add(*view);
  auto* expander = Gtk::make_managed<Gtk::Expander>("_Full text", true);
  expander->add(*scroller);
  expander->property_expanded().signal_changed().connect([view, text] {
    if (view->get_buffer()->size() == 0) view->get_buffer()->set_text(text);
  });
  dialog.get_message_area()->pack_end(*expander, Gtk::PACK_SHRINK);
  expander->show_all();
  // The keyboard starts on the first button, as in any message box, not on the expander.
  for (auto response : {Gtk::RESPONSE_OK, Gtk::RESPONSE_YES})
    if (Gtk::Widget* button = dialog.get_widget_for_response(response)) {
      button->grab_focus();
      break;
    }
}

}  // namespace

int CMessageBox::Show(const std::string& prompt, UINT nType, const std::string& caption, Gtk::Window* owner) {
  UINT icon = nType & MB_ICONMASK;
  if (icon == 0) icon = MB_ICONEXCLAMATION;
  Gtk::MessageType type = icon == MB_ICONSTOP          ? Gtk::MESSAGE_ERROR
                          : icon == MB_ICONQUESTION    ? Gtk::MESSAGE_QUESTION
                          : icon == MB_ICONINFORMATION ? Gtk::MESSAGE_INFO
                                                       : Gtk::MESSAGE_WARNING;
  const std::string text = Glib::ustring(prompt).make_valid();
  AfxTrace("Message box: %s\n", text.c_str());
  const std::string shown = MessageText::Shorten(prompt);
  Gtk::MessageDialog dialog(shown, false, type, Gtk::BUTTONS_NONE, true);
  AfxAddMessageIcon(dialog, type);
  dialog.set_title(caption);
  if (owner != nullptr) dialog.set_transient_for(*owner);
  switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL:
      dialog.add_button("OK", Gtk::RESPONSE_OK);
      dialog.add_button("Cancel", Gtk::RESPONSE_CANCEL);
      break;
    case MB_YESNOCANCEL:
      dialog.add_button("_Yes", Gtk::RESPONSE_YES);
      dialog.add_button("_No", Gtk::RESPONSE_NO);
      dialog.add_button("Cancel", Gtk::RESPONSE_CANCEL);
      break;
    case MB_YESNO:
      dialog.add_button("_Yes", Gtk::RESPONSE_YES);
      dialog.add_button("_No", Gtk::RESPONSE_NO);
      break;
    default:
      dialog.add_button("OK", Gtk::RESPONSE_OK);
      break;
  }
  ShowFullText(dialog, shown, text);
  switch (dialog.run()) {
    case Gtk::RESPONSE_OK:
      return IDOK;
    case Gtk::RESPONSE_YES:
      return IDYES;
    case Gtk::RESPONSE_NO:
      return IDNO;
    default:
      return (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  }
}
