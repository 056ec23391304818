// The keys, mouse buttons and wheel turns the browser control keeps for itself, and the zoom ladder.
#include <gtest/gtest.h>

#include "html/BrowserBindings.h"
#include "html/ZoomLevels.h"

namespace {

constexpr guint kCtrl = GDK_CONTROL_MASK, kShift = GDK_SHIFT_MASK, kAlt = GDK_MOD1_MASK;
constexpr guint kLocks = GDK_LOCK_MASK | GDK_MOD2_MASK;  // Caps Lock and Num Lock change nothing

TEST(BrowserBindings, Keys) {
  struct Case {
    guint keyval;
    guint state;
    BrowserAction action;
  };
  const Case cases[] = {
      {GDK_KEY_Left, kAlt, BrowserAction::back},
      {GDK_KEY_Right, kAlt | kLocks, BrowserAction::forward},
      {GDK_KEY_Left, 0, BrowserAction::none},  // the page scrolls
      {GDK_KEY_Left, kAlt | kShift, BrowserAction::none},
      {GDK_KEY_Back, 0, BrowserAction::back},
      {GDK_KEY_F1, 0, BrowserAction::guide},
      {GDK_KEY_F1, kCtrl, BrowserAction::none},
      {GDK_KEY_F5, 0, BrowserAction::reload},
      {GDK_KEY_F5, kCtrl | kAlt, BrowserAction::none},
      {GDK_KEY_f, kCtrl, BrowserAction::find},
      {GDK_KEY_F, kCtrl | GDK_LOCK_MASK, BrowserAction::find},
      {GDK_KEY_F, kCtrl | kShift, BrowserAction::none},
      {GDK_KEY_f, 0, BrowserAction::none},  // typing
      {GDK_KEY_F3, 0, BrowserAction::findNext},
      {GDK_KEY_F3, kShift, BrowserAction::findPrevious},
      {GDK_KEY_G, kCtrl | kShift, BrowserAction::findPrevious},
      {GDK_KEY_plus, kCtrl | kShift, BrowserAction::zoomIn},
      {GDK_KEY_equal, kCtrl, BrowserAction::zoomIn},
      {GDK_KEY_KP_Add, kCtrl | kLocks, BrowserAction::zoomIn},
      {GDK_KEY_minus, kCtrl, BrowserAction::zoomOut},
      {GDK_KEY_KP_Subtract, kCtrl, BrowserAction::zoomOut},
      {GDK_KEY_0, kCtrl, BrowserAction::zoomReset},
      {GDK_KEY_plus, 0, BrowserAction::none},
      {GDK_KEY_c, kCtrl, BrowserAction::copy},  // copies only a selection
      {GDK_KEY_Insert, kCtrl | kLocks, BrowserAction::copy},
      {GDK_KEY_Insert, kShift, BrowserAction::none},  // pasting is the page's
      {GDK_KEY_p, kCtrl, BrowserAction::none},        // printing is the frame's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(gdk_keyval_name(c.keyval)) + " state " + std::to_string(c.state));
    EXPECT_EQ(BrowserBindings::ForKey(c.keyval, c.state), c.action);
  }
}

TEST(BrowserBindings, MouseButtonsStepOncePerPress) {
  struct Case {
    guint button;
    GdkEventType type;
    BrowserAction action;
  };
  const Case cases[] = {
      {8, GDK_BUTTON_PRESS, BrowserAction::back},
      {9, GDK_BUTTON_PRESS, BrowserAction::forward},
      // The double-click event that follows a second quick press is no third press.
      {8, GDK_2BUTTON_PRESS, BrowserAction::swallow},
      {9, GDK_3BUTTON_PRESS, BrowserAction::swallow},
      {1, GDK_BUTTON_PRESS, BrowserAction::none},
      {3, GDK_2BUTTON_PRESS, BrowserAction::none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("button " + std::to_string(c.button) + " event " + std::to_string(c.type));
    EXPECT_EQ(BrowserBindings::ForButton(c.button, c.type), c.action);
  }
}

TEST(BrowserBindings, CtrlWheelZoomsOneStepPerNotch) {
  // Steps in order on one control: a touchpad's small deltas add up to a notch, and the page never
  // scrolls meanwhile.
  struct Step {
    GdkScrollDirection direction;
    double deltaY;
    guint state;
    BrowserAction action;
  };
  const Step steps[] = {
      {GDK_SCROLL_UP, 0, kCtrl, BrowserAction::zoomIn},
      {GDK_SCROLL_DOWN, 0, kCtrl | kLocks, BrowserAction::zoomOut},
      {GDK_SCROLL_UP, 0, 0, BrowserAction::none},
      {GDK_SCROLL_UP, 0, kCtrl | kShift, BrowserAction::none},
      {GDK_SCROLL_SMOOTH, -0.4, kCtrl, BrowserAction::swallow},
      {GDK_SCROLL_SMOOTH, -0.4, kCtrl, BrowserAction::swallow},
      {GDK_SCROLL_SMOOTH, -0.4, kCtrl, BrowserAction::zoomIn},
      {GDK_SCROLL_SMOOTH, 5.0, kCtrl, BrowserAction::zoomOut},
      {GDK_SCROLL_SMOOTH, 0.6, kCtrl, BrowserAction::swallow},
      {GDK_SCROLL_SMOOTH, 0.6, 0, BrowserAction::none},  // releasing Ctrl starts afresh
      {GDK_SCROLL_SMOOTH, 0.6, kCtrl, BrowserAction::swallow},
  };
  BrowserBindings bindings;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    EXPECT_EQ(bindings.ForScroll(steps[i].direction, steps[i].deltaY, steps[i].state), steps[i].action);
  }
}

TEST(ZoomLevels, StepAlongTheLadderAndStopAtItsEnds) {
  struct Case {
    double from, larger, smaller;
  };
  const Case cases[] = {
      {1.0, 1.1, 0.9},  {0.3, 0.5, 0.3},       {3.0, 3.0, 2.4},
      {1.15, 1.2, 1.1}, {1.1000001, 1.2, 1.0},  // a rung, give or take the engine's rounding
      {5.0, 5.0, 3.0},  {0.1, 0.3, 0.1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    EXPECT_DOUBLE_EQ(ZoomLevels::Larger(c.from), c.larger);
    EXPECT_DOUBLE_EQ(ZoomLevels::Smaller(c.from), c.smaller);
  }
}

}  // namespace
