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
  // Every child takes the whole thickness of its row (or the whole width of the column), so a
  // separator's line spans the row of buttons it stands between.
  struct Place {
    Gtk::Widget* child;
    int x, y, width, height;
  };
  std::vector<Place> places;
  size_t rowStart = 0;
  int x = 0, y = 0, lineThickness = 0;
  auto endRow = [&] {
    for (size_t i = rowStart; i < places.size(); ++i) places[i].height = lineThickness;
    rowStart = places.size();
  };
  for (Gtk::Widget* child : m_children) {
    if (!child->get_visible()) continue;
    int width = 0, height = 0;
    NaturalSize(*child, width, height);
    if (m_bVertical) {
      places.push_back({child, 0, y, available, height});
      y += height;
      continue;
    }
    if (m_bWrap && x > 0 && x + width > available) {  // a new row
      endRow();
      x = 0;
      y += lineThickness;
      lineThickness = 0;
    }
    lineThickness = std::max(lineThickness, height);
    places.push_back({child, x, y, width, height});
    x += width;
  }
  if (!m_bVertical) endRow();
  if (allocation != nullptr)
    for (const Place& p : places)
      p.child->size_allocate(Gtk::Allocation(allocation->get_x() + p.x, allocation->get_y() + p.y, p.width, p.height));
  return m_bVertical ? y : y + lineThickness;
}
