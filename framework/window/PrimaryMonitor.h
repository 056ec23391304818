// The primary monitor's geometry and work area (the area a maximized window gets), falling back
// to the first monitor when none is marked primary.
#pragma once

#include <gdk/gdk.h>

GdkRectangle AfxPrimaryMonitorGeometry();
GdkRectangle AfxPrimaryMonitorWorkArea();
