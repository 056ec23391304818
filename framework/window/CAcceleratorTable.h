// A frame's keyboard shortcuts from an accelerator resource. A key runs its command before the
// focused widget (the page) sees it, unless the command is disabled: then the key goes on to the
// page, so that Ctrl+C still copies the page's selection while Edit > Copy is disabled.
#pragma once

#include <gtkmm/accelgroup.h>

#include "core/ResourceModule.h"

class CFrameWnd;

class CAcceleratorTable {
 public:
  CAcceleratorTable(CFrameWnd& frame, const AcceleratorTableResource& resource);
  Glib::RefPtr<Gtk::AccelGroup> GetGroup() const { return m_group; }

  // The GDK key for a virtual-key code, and the GDK modifiers for accelerator flags.
  static guint KeyvalFromVirtualKey(UINT key);
  static Gdk::ModifierType ModifiersFromFlags(UINT fVirt);

 private:
  Glib::RefPtr<Gtk::AccelGroup> m_group;
};
