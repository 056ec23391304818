// The program run inside a driver's own process (the GUI tests, the window's stall bench): GTK
// started as the program's entry starts it, and the program's widgets found as a reader finds them.
#pragma once

#include <gdk/gdk.h>
#include <gtkmm/container.h>
#include <gtkmm/main.h>
#include <gtkmm/searchentry.h>

#include <functional>

#include "app/CWinApp.h"
#include "resources/Resources.h"

namespace in_process {

// Starts GTK on X11 with the program's resources and name, without assistive technology (the
// environment's folders are the caller's). False when there is no display.
inline bool StartGtk() {
  setenv("NO_AT_BRIDGE", "1", 1);
  AfxSetResourceModule(&ProgramResources());
  static char name[] = "folioscope";
  static char* args[] = {name};
  AfxGetApp()->SetArguments(1, args);
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(nullptr, nullptr)) return false;
  Gtk::Main::init_gtkmm_internals();
  return true;
}

// The search bar's entry under root, found by its accessible name; nullptr while there is none.
inline Gtk::SearchEntry* SearchEntry(Gtk::Widget& root) {
  Gtk::SearchEntry* found = nullptr;
  std::function<void(Gtk::Widget&)> walk = [&](Gtk::Widget& widget) {
    if (auto* entry = dynamic_cast<Gtk::SearchEntry*>(&widget);
        entry != nullptr && entry->get_accessible()->get_name() == "Search all pages")
      found = entry;
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget))
      for (Gtk::Widget* child : container->get_children()) walk(*child);
  };
  walk(root);
  return found;
}

}  // namespace in_process
