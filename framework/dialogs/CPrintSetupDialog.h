// Print Setup: the GTK print dialog in its set-up role, with the page set-up inside it and a confirm
// button that says it only keeps the choice.
#pragma once

#include <gtkmm/pagesetup.h>
#include <gtkmm/printsettings.h>
#include <gtkmm/window.h>

#include <string>

class CPrintSetupDialog {
 public:
  // Shows the dialog over owner (may be nullptr), starting from settings and pageSetup (either may
  // be empty). When confirmed, both are replaced by the chosen ones and true is returned.
  static bool Run(const std::string& title, Gtk::Window* owner, Glib::RefPtr<Gtk::PrintSettings>& settings,
                  Glib::RefPtr<Gtk::PageSetup>& pageSetup);
};
