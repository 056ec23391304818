#include "window/PrimaryMonitor.h"

namespace {

GdkMonitor* PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return nullptr;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

}  // namespace

GdkRectangle AfxPrimaryMonitorGeometry() {
  GdkRectangle area{0, 0, 1024, 768};
  if (GdkMonitor* monitor = PrimaryMonitor()) gdk_monitor_get_geometry(monitor, &area);
  return area;
}

GdkRectangle AfxPrimaryMonitorWorkArea() {
  GdkRectangle area{0, 0, 1024, 768};
  if (GdkMonitor* monitor = PrimaryMonitor()) gdk_monitor_get_workarea(monitor, &area);
  return area;
}
