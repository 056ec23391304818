// The GTK container of a toolbar's buttons: one row (or one column when the bar is vertical), or,
// when wrapping is on, rows that break where the width runs out, so that a floating toolbar
// re-flows its buttons as its palette is resized.
#pragma once

#include <gtkmm/container.h>

#include <vector>

class CToolBarLayout : public Gtk::Container {
 public:
  CToolBarLayout();
  void Add(Gtk::Widget& child);
  void SetVertical(bool vertical);
  void SetWrap(bool wrap);
  // The width all children need in one row.
  int RowWidth() const;

 protected:
  void forall_vfunc(gboolean includeInternals, GtkCallback callback, gpointer data) override;
  void on_remove(Gtk::Widget* child) override;
  GType child_type_vfunc() const override { return Gtk::Widget::get_type(); }
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  void get_preferred_width_for_height_vfunc(int height, int& minimum, int& natural) const override;
  void on_size_allocate(Gtk::Allocation& allocation) override;

 private:
  // Places the children within the width (allocating them when allocation is given); returns the
  // height used.
  int Flow(int width, const Gtk::Allocation* allocation) const;

  std::vector<Gtk::Widget*> m_children;
  bool m_bVertical = false;
  bool m_bWrap = false;
};
