// Key events the view makes up and gives its engine itself: marked as sent (send_event), so that
// nothing takes them for the reader's input.
#pragma once

#include <gtk/gtk.h>

namespace MadeKey {

// Gives widget a press and then a release of the key: keyval with the hardware key and group that
// make it, state as held with it, and whether it is a modifier key.
void PressAndRelease(GtkWidget* widget, guint keyval, guint16 keycode, guint8 group, guint state, bool modifier);
// The same for keyval, not a modifier, as the keyboard's first key for it makes it.
void PressAndRelease(GtkWidget* widget, guint keyval, guint state);

}  // namespace MadeKey
