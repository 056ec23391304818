#include "window/CAcceleratorTable.h"

#include <gdk/gdkkeysyms.h>

#include "core/CCmdUI.h"
#include "window/CFrameWnd.h"

guint CAcceleratorTable::KeyvalFromVirtualKey(UINT key) {
  if (key >= 'A' && key <= 'Z') return GDK_KEY_a + (key - 'A');
  if (key >= '0' && key <= '9') return GDK_KEY_0 + (key - '0');
  if (key >= 0x70 && key <= 0x87) return GDK_KEY_F1 + (key - 0x70);
  switch (key) {
    case VK_BACK:
      return GDK_KEY_BackSpace;
    case VK_INSERT:
      return GDK_KEY_Insert;
    case VK_DELETE:
      return GDK_KEY_Delete;
    default:
      return GDK_KEY_VoidSymbol;
  }
}

Gdk::ModifierType CAcceleratorTable::ModifiersFromFlags(UINT fVirt) {
  Gdk::ModifierType mods{};
  if (fVirt & FCONTROL) mods |= Gdk::CONTROL_MASK;
  if (fVirt & FSHIFT) mods |= Gdk::SHIFT_MASK;
  if (fVirt & FALT) mods |= Gdk::MOD1_MASK;
  return mods;
}

namespace {

struct Binding {
  CFrameWnd* pFrame;
  UINT cmd;
};

gboolean OnAccelerator(GtkAccelGroup*, GObject*, guint, GdkModifierType, gpointer data) {
  auto* binding = static_cast<Binding*>(data);
  CCmdUI state;
  state.m_nID = binding->cmd;
  state.DoUpdate(binding->pFrame, true);
  if (!state.m_bEnabled) return FALSE;  // the key goes on to the focused widget
  binding->pFrame->SendMessage(WM_COMMAND, binding->cmd);
  return TRUE;
}

}  // namespace

CAcceleratorTable::CAcceleratorTable(CFrameWnd& frame, const AcceleratorTableResource& resource)
    : m_group(Gtk::AccelGroup::create()) {
  for (const AcceleratorResource& entry : resource.entries) {
    GClosure* closure = g_cclosure_new(G_CALLBACK(OnAccelerator), new Binding{&frame, entry.cmd},
                                       [](gpointer data, GClosure*) { delete static_cast<Binding*>(data); });
    gtk_accel_group_connect(m_group->gobj(), KeyvalFromVirtualKey(entry.key),
                            GdkModifierType(ModifiersFromFlags(entry.fVirt)), GtkAccelFlags(0), closure);
  }
}
