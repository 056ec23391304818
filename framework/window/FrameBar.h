// What a frame asks of the bars along the edges of its client area (toolbars, the status bar,
// the dock areas). The bars themselves live in bars/ and build on windows; the frame knows them
// only through this.
#pragma once

#include <string>

#include "window/FrameLayout.h"

class FrameBar {
 public:
  virtual ~FrameBar() = default;
  // The edge of the frame's client area the bar lies along.
  virtual LayoutEdge GetFrameEdge() const = 0;
  // Shows the frame's message text; only a bar with a message pane does.
  virtual void ShowMessageText(const std::string& /*text*/) {}
};
