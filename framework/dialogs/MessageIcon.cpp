#include "dialogs/MessageIcon.h"

#include <atkmm/object.h>
#include <gtkmm/box.h>
#include <gtkmm/image.h>

void AfxAddMessageIcon(Gtk::MessageDialog& dialog, Gtk::MessageType type) {
  struct Icon {
    const char* name;
    const char* description;
  };
  const Icon icon = type == Gtk::MESSAGE_ERROR      ? Icon{"dialog-error", "Error"}
                    : type == Gtk::MESSAGE_QUESTION ? Icon{"dialog-question", "Question"}
                    : type == Gtk::MESSAGE_INFO     ? Icon{"dialog-information", "Information"}
                                                    : Icon{"dialog-warning", "Warning"};
  // The text column sits in a row that GTK keeps for an image.
  auto* row = dynamic_cast<Gtk::Box*>(dialog.get_message_area()->get_parent());
  if (row == nullptr) return;
  auto* image = Gtk::make_managed<Gtk::Image>();
  image->set_from_icon_name(icon.name, Gtk::ICON_SIZE_DIALOG);
  image->set_valign(Gtk::ALIGN_START);
  image->get_accessible()->set_name(icon.description);
  row->pack_start(*image, Gtk::PACK_SHRINK);
  row->reorder_child(*image, 0);
  image->show();
}
