// The frame's layout arithmetic: its client rectangle is handed out to its children in order, each
// bar taking a strip of its thickness along its own edge of what is left, across the whole
// remaining width or height; the view takes the rest. Hidden children take nothing.
#pragma once

#include <vector>

struct LayoutRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LayoutRect&) const = default;
};

enum class LayoutEdge { top, bottom, left, right, fill };

struct LayoutItem {
  LayoutEdge edge;
  bool visible;
  int thickness;  // height for top and bottom, width for left and right; unused for fill
};

// One rectangle per item, in the items' order; hidden items get an empty rectangle.
std::vector<LayoutRect> LayOutFrame(LayoutRect client, const std::vector<LayoutItem>& items);
