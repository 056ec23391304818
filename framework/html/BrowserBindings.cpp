#include "html/BrowserBindings.h"

#include <cmath>

namespace {

constexpr guint kModifiers = GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK | GDK_META_MASK;

struct KeyBinding {
  guint keyval;
  guint modifiers;  // exactly these, besides Shift when ignoresShift
  bool ignoresShift;
  BrowserAction action;
};

// Zoom keys ignore Shift: on many layouts "+" is itself a shifted key.
constexpr KeyBinding kKeys[] = {
    {GDK_KEY_Left, GDK_MOD1_MASK, false, BrowserAction::back},
    {GDK_KEY_KP_Left, GDK_MOD1_MASK, false, BrowserAction::back},
    {GDK_KEY_Back, 0, false, BrowserAction::back},
    {GDK_KEY_Right, GDK_MOD1_MASK, false, BrowserAction::forward},
    {GDK_KEY_KP_Right, GDK_MOD1_MASK, false, BrowserAction::forward},
    {GDK_KEY_Forward, 0, false, BrowserAction::forward},
    {GDK_KEY_F1, 0, false, BrowserAction::guide},
    {GDK_KEY_Help, 0, false, BrowserAction::guide},
    {GDK_KEY_F5, 0, false, BrowserAction::reload},
    {GDK_KEY_c, GDK_CONTROL_MASK, false, BrowserAction::copy},
    {GDK_KEY_Insert, GDK_CONTROL_MASK, false, BrowserAction::copy},
    {GDK_KEY_KP_Insert, GDK_CONTROL_MASK, false, BrowserAction::copy},
    {GDK_KEY_Reload, 0, false, BrowserAction::reload},
    {GDK_KEY_f, GDK_CONTROL_MASK, false, BrowserAction::find},
    {GDK_KEY_F3, 0, false, BrowserAction::findNext},
    {GDK_KEY_F3, GDK_SHIFT_MASK, false, BrowserAction::findPrevious},
    {GDK_KEY_g, GDK_CONTROL_MASK, false, BrowserAction::findNext},
    {GDK_KEY_g, GDK_CONTROL_MASK | GDK_SHIFT_MASK, false, BrowserAction::findPrevious},
    {GDK_KEY_plus, GDK_CONTROL_MASK, true, BrowserAction::zoomIn},
    {GDK_KEY_equal, GDK_CONTROL_MASK, true, BrowserAction::zoomIn},
    {GDK_KEY_KP_Add, GDK_CONTROL_MASK, true, BrowserAction::zoomIn},
    {GDK_KEY_ZoomIn, 0, true, BrowserAction::zoomIn},
    {GDK_KEY_minus, GDK_CONTROL_MASK, true, BrowserAction::zoomOut},
    {GDK_KEY_KP_Subtract, GDK_CONTROL_MASK, true, BrowserAction::zoomOut},
    {GDK_KEY_ZoomOut, 0, true, BrowserAction::zoomOut},
    {GDK_KEY_0, GDK_CONTROL_MASK, false, BrowserAction::zoomReset},
    {GDK_KEY_KP_0, GDK_CONTROL_MASK, false, BrowserAction::zoomReset},
};

}  // namespace

BrowserAction BrowserBindings::ForKey(guint keyval, guint state) {
  keyval = gdk_keyval_to_lower(keyval);
  const guint modifiers = state & kModifiers;
  for (const KeyBinding& binding : kKeys) {
    const guint compared = binding.ignoresShift ? modifiers & ~guint(GDK_SHIFT_MASK) : modifiers;
    if (binding.keyval == keyval && binding.modifiers == compared) return binding.action;
  }
  return BrowserAction::none;
}

BrowserAction BrowserBindings::ForButton(guint button, GdkEventType type) {
  if (type != GDK_BUTTON_PRESS) return button == 8 || button == 9 ? BrowserAction::swallow : BrowserAction::none;
  if (button == 8) return BrowserAction::back;
  if (button == 9) return BrowserAction::forward;
  return BrowserAction::none;
}

BrowserAction BrowserBindings::ForScroll(GdkScrollDirection direction, double deltaY, guint state) {
  if ((state & kModifiers) != GDK_CONTROL_MASK) {
    m_pendingDelta = 0;
    return BrowserAction::none;
  }
  if (direction == GDK_SCROLL_UP) return BrowserAction::zoomIn;
  if (direction == GDK_SCROLL_DOWN) return BrowserAction::zoomOut;
  if (direction != GDK_SCROLL_SMOOTH) return BrowserAction::swallow;
  m_pendingDelta += deltaY;
  if (std::fabs(m_pendingDelta) < 1) return BrowserAction::swallow;
  const bool in = m_pendingDelta < 0;
  m_pendingDelta = 0;  // one step per event at most, however fast the wheel turned
  return in ? BrowserAction::zoomIn : BrowserAction::zoomOut;
}
