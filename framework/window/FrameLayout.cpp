#include "window/FrameLayout.h"

#include <algorithm>

std::vector<LayoutRect> LayOutFrame(LayoutRect client, const std::vector<LayoutItem>& items) {
  std::vector<LayoutRect> rects(items.size());
  LayoutRect rest = client;
  for (size_t i = 0; i < items.size(); ++i) {
    const LayoutItem& item = items[i];
    if (!item.visible || item.edge == LayoutEdge::fill) continue;
    bool horizontal = item.edge == LayoutEdge::top || item.edge == LayoutEdge::bottom;
    int thickness = std::clamp(item.thickness, 0, horizontal ? rest.height : rest.width);
    LayoutRect& r = rects[i];
    switch (item.edge) {
      case LayoutEdge::top:
        r = {rest.x, rest.y, rest.width, thickness};
        rest.y += thickness;
        rest.height -= thickness;
        break;
      case LayoutEdge::bottom:
        r = {rest.x, rest.y + rest.height - thickness, rest.width, thickness};
        rest.height -= thickness;
        break;
      case LayoutEdge::left:
        r = {rest.x, rest.y, thickness, rest.height};
        rest.x += thickness;
        rest.width -= thickness;
        break;
      case LayoutEdge::right:
        r = {rest.x + rest.width - thickness, rest.y, thickness, rest.height};
        rest.width -= thickness;
        break;
      case LayoutEdge::fill:
        break;
    }
  }
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].visible && items[i].edge == LayoutEdge::fill) rects[i] = rest;
  return rects;
}
