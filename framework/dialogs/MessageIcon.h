// The icon of a message box: GTK 3 message dialogs draw none of their own any more, so the theme's
// warning, error, question or information icon is put beside the text.
#pragma once

#include <gtkmm/messagedialog.h>

void AfxAddMessageIcon(Gtk::MessageDialog& dialog, Gtk::MessageType type);
