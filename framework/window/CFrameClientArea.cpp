#include "window/CFrameClientArea.h"

#include <algorithm>

CFrameClientArea::CFrameClientArea() : Glib::ObjectBase("CFrameClientArea") { set_has_window(false); }

void CFrameClientArea::Add(Gtk::Widget& child, LayoutEdge edge) {
  m_children.push_back({&child, edge});
  child.set_parent(*this);
  queue_resize();
}

void CFrameClientArea::forall_vfunc(gboolean, GtkCallback callback, gpointer data) {
  std::vector<Child> children = m_children;  // the callback may remove children
  for (const Child& c : children) callback(c.widget->gobj(), data);
}

void CFrameClientArea::on_remove(Gtk::Widget* child) {
  auto it = std::find_if(m_children.begin(), m_children.end(), [child](const Child& c) { return c.widget == child; });
  if (it == m_children.end()) return;
  bool wasVisible = child->get_visible();
  child->unparent();
  m_children.erase(it);
  if (wasVisible) queue_resize();
}

void CFrameClientArea::get_preferred_width_vfunc(int& minimum, int& natural) const {
  // The frame can be made narrower than its bars; what does not fit is cut off at the right.
  minimum = 1;
  natural = 1;
  for (const Child& c : m_children) {
    if (!c.widget->get_visible()) continue;
    int min = 0, nat = 0;
    c.widget->get_preferred_width(min, nat);
    natural = std::max(natural, nat);
  }
}

void CFrameClientArea::get_preferred_height_vfunc(int& minimum, int& natural) const {
  minimum = 1;
  natural = 1;
  for (const Child& c : m_children) {
    if (!c.widget->get_visible()) continue;
    int min = 0, nat = 0;
    c.widget->get_preferred_height(min, nat);
    natural += nat;
  }
}

void CFrameClientArea::on_size_allocate(Gtk::Allocation& allocation) {
  set_allocation(allocation);
  std::vector<LayoutItem> items;
  for (const Child& c : m_children) {
    int thickness = 0, min = 0;
    if (c.edge == LayoutEdge::top || c.edge == LayoutEdge::bottom)
      c.widget->get_preferred_height_for_width(allocation.get_width(), min, thickness);
    else if (c.edge != LayoutEdge::fill)
      c.widget->get_preferred_width(min, thickness);
    items.push_back({c.edge, c.widget->get_visible(), thickness});
  }
  const std::vector<LayoutRect> layout = LayOutFrame({0, 0, allocation.get_width(), allocation.get_height()}, items);
  for (size_t i = 0; i < m_children.size(); ++i) {
    if (!items[i].visible) continue;
    const LayoutRect& r = layout[i];
    // A child is never given less than its minimum width; the excess is clipped by the frame.
    int minWidth = 0, natWidth = 0;
    m_children[i].widget->get_preferred_width(minWidth, natWidth);
    Gtk::Allocation a(allocation.get_x() + r.x, allocation.get_y() + r.y, std::max(r.width, minWidth), r.height);
    m_children[i].widget->size_allocate(a);
  }
}
