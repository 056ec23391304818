// A message box: the text (shortened to fit the screen, the whole of it under an expander), the
// icon its type asks for (a warning when none), and the buttons of its type.
#pragma once

#include <gtkmm/window.h>

#include <string>

#include "core/Afx.h"

class CMessageBox {
 public:
  // Shows the box over owner (may be nullptr) until it is answered; IDOK, IDYES, IDNO or IDCANCEL,
  // the box closed counting as its cancelling answer.
  static int Show(const std::string& prompt, UINT nType, const std::string& caption, Gtk::Window* owner);
};
