#include "dialogs/CPrintSetupDialog.h"

#include <gtkmm/button.h>
#include <gtkmm/printunixdialog.h>

#include <memory>

#include "dialogs/PrintFileTarget.h"

bool CPrintSetupDialog::Run(const std::string& title, Gtk::Window* owner, Glib::RefPtr<Gtk::PrintSettings>& settings,
                            Glib::RefPtr<Gtk::PageSetup>& pageSetup) {
  auto dialog = owner != nullptr ? std::make_unique<Gtk::PrintUnixDialog>(*owner, title)
                                 : std::make_unique<Gtk::PrintUnixDialog>(title);
  if (settings) dialog->set_settings(settings);
  // The dialog's own confirm button says "Print"; here it only keeps the choice for Print.
  if (auto* confirm = dynamic_cast<Gtk::Button*>(dialog->get_widget_for_response(Gtk::RESPONSE_OK)))
    confirm->set_label("_Apply");
  if (pageSetup) dialog->set_page_setup(pageSetup);
  dialog->set_embed_page_setup(true);
  const bool confirmed = dialog->run() == Gtk::RESPONSE_OK;
  if (confirmed) {
    settings = dialog->get_settings();
    pageSetup = dialog->get_page_setup();
    PrintFileTarget::Keep(settings);
  }
  return confirmed;
}
