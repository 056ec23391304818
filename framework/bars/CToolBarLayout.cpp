#include "bars/CToolBarLayout.h"

#include <algorithm>

namespace {

void NaturalSize(const Gtk::Widget& w, int& width, int& height) {
  int minimum = 0;
  w.get_preferred_width(minimum, width);
  w.get_preferred_height(minimum, height);
}

}  // namespace

CToolBarLayout::CToolBarLayout() { set_has_window(false); }

void CToolBarLayout::Add(Gtk::Widget& child) {
  m_children.push_back(&child);
  child.set_parent(*this);
  queue_resize();
}

void CToolBarLayout::SetVertical(bool vertical) {
  m_bVertical = vertical;
  queue_resize();
}

void CToolBarLayout::SetWrap(bool wrap) {
  m_bWrap = wrap;
  queue_resize();
}

void CToolBarLayout::forall_vfunc(gboolean, GtkCallback callback, gpointer data) {
  std::vector<Gtk::Widget*> children = m_children;
  for (Gtk::Widget* child : children) callback(child->gobj(), data);
}

void CToolBarLayout::on_remove(Gtk::Widget* child) {
  auto it = std::find(m_children.begin(), m_children.end(), child);
  if (it == m_children.end()) return;
  child->unparent();
  m_children.erase(it);
  queue_resize();
}

Gtk::SizeRequestMode CToolBarLayout::get_request_mode_vfunc() const { return Gtk::SIZE_REQUEST_HEIGHT_FOR_WIDTH; }

int CToolBarLayout::RowWidth() const {
  int total = 0;
  for (Gtk::Widget* child : m_children) {
    if (!child->get_visible()) continue;
    int width = 0, height = 0;
    NaturalSize(*child, width, height);
    total += width;
  }
  return total;
}

void CToolBarLayout::get_preferred_width_vfunc(int& minimum, int& natural) const {
  int widest = 0;
  for (Gtk::Widget* child : m_children) {
    if (!child->get_visible()) continue;
    int width = 0, height = 0;
    NaturalSize(*child, width, height);
    widest = std::max(widest, width);
  }
  natural = m_bVertical ? widest : RowWidth();
  minimum = m_bVertical || m_bWrap ? widest : natural;
}

void CToolBarLayout::get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const {
  natural = Flow(width, nullptr);
  // A window takes its minimum height at its minimum width, where wrapped rows make a column; so
  // the minimum is one row, and a palette keeps whatever height it is given.
  minimum = m_bWrap ? Flow(RowWidth(), nullptr) : natural;
}

void CToolBarLayout::get_preferred_height_vfunc(int& minimum, int& natural) const {
  int width = 0, unused = 0;
  get_preferred_width_vfunc(unused, width);
  minimum = natural = Flow(width, nullptr);
}

void CToolBarLayout::get_preferred_width_for_height_vfunc(int, int& minimum, int& natural) const {
  get_preferred_width_vfunc(minimum, natural);
}

void CToolBarLayout::on_size_allocate(Gtk::Allocation& allocation) {
  set_allocation(allocation);
  Flow(allocation.get_width(), &allocation);
}

int CToolBarLayout::Flow(int available, const Gtk::Allocation* allocation) const {
  int x = 0, y = 0, lineThickness = 0;
  for (Gtk::Widget* child : m_children) {
    if (!child->get_visible()) continue;
    int width = 0, height = 0;
    NaturalSize(*child, width, height);
    if (m_bVertical) {
      if (allocation != nullptr)
        child->size_allocate(Gtk::Allocation(allocation->get_x(), allocation->get_y() + y, available, height));
      y += height;
      continue;
    }
    if (m_bWrap && x > 0 && x + width > available) {  // a new row
      x = 0;
      y += lineThickness;
      lineThickness = 0;
    }
    lineThickness = std::max(lineThickness, height);
    if (allocation != nullptr)
      child->size_allocate(Gtk::Allocation(allocation->get_x() + x, allocation->get_y() + y, width, height));
    x += width;
  }
  return m_bVertical ? y : y + lineThickness;
}
