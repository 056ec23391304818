// The keys, mouse buttons and wheel turns that the browser control acts on itself, before the page
// sees them: stepping through the history, reloading, finding text and zooming. The mapping needs no
// display; BrowserControl carries the actions out.
#pragma once

#include <gdk/gdk.h>

enum class BrowserAction {
  none,     // not the control's: the page gets the event
  swallow,  // the control's, with nothing to do yet (part of a wheel step)
  back,
  forward,
  reload,
  find,
  findNext,
  findPrevious,
  zoomIn,
  zoomOut,
  zoomReset,
  guide,  // the program's guide, as the application names it
  copy,   // the engine copies the page's selection; without one nothing happens
};

class BrowserBindings {
 public:
  // keyval is the key of the first keyboard group, so that Ctrl+F works with any layout.
  static BrowserAction ForKey(guint keyval, guint state);
  // Only a single press acts: GDK's extra double- and triple-click events step nothing.
  static BrowserAction ForButton(guint button, GdkEventType type);
  // Ctrl with the wheel zooms, one step per notch; smooth deltas add up to whole notches.
  BrowserAction ForScroll(GdkScrollDirection direction, double deltaY, guint state);

 private:
  double m_pendingDelta = 0;
};
