// The GTK container of a frame's client area: it places the frame's bars and its view with
// LayOutFrame, in the order they were added, again on every size change and whenever a child is
// shown, hidden, added or removed.
#pragma once

#include <gtkmm/container.h>

#include <vector>

#include "window/FrameLayout.h"

class CFrameClientArea : public Gtk::Container {
 public:
  CFrameClientArea();
  void Add(Gtk::Widget& child, LayoutEdge edge);

 protected:
  void forall_vfunc(gboolean includeInternals, GtkCallback callback, gpointer data) override;
  void on_remove(Gtk::Widget* child) override;
  GType child_type_vfunc() const override { return Gtk::Widget::get_type(); }
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  void on_size_allocate(Gtk::Allocation& allocation) override;

 private:
  struct Child {
    Gtk::Widget* widget;
    LayoutEdge edge;
  };
  std::vector<Child> m_children;
};
