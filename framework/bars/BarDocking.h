// Moving a frame's control bars between its four dock areas (top, bottom, left, right) and
// floating palettes: by program, by a double click on a bar's background and by dragging it.
#pragma once

#include <gdkmm/rectangle.h>

class CControlBar;
class CDockBar;
class CFrameWnd;

namespace BarDocking {

// Within this distance of an edge of the client area, a dropped bar docks at that edge.
inline constexpr int kDockMargin = 32;

// Where a bar dropped at the screen point goes, for the client area at the screen rectangle: the
// alignment of the edge it lies within kDockMargin of (top and bottom before left and right), or 0
// (it floats) outside the area or away from its edges.
long DropEdge(const Gdk::Rectangle& clientArea, int x, int y);

// Creates the frame's dock areas for the alignments in dwDockStyle that it does not have yet.
void EnableDocking(CFrameWnd& frame, long dwDockStyle);
// The frame's dock area of the first alignment in dwAlign (top, bottom, left, right), or nullptr.
CDockBar* GetDockBar(const CFrameWnd& frame, long dwAlign);
// Docks the bar in the given area, or in the first area its docking style allows.
void DockControlBar(CFrameWnd& frame, CControlBar* pBar, CDockBar* pDockBar = nullptr);
// Floats the bar in a palette whose top-left corner is at the screen point.
void FloatControlBar(CFrameWnd& frame, CControlBar* pBar, int x, int y);
// Docks the bar dragged to the screen point at the edge there (see DropEdge) when its docking
// style allows that edge, or floats it there.
void DropControlBar(CFrameWnd& frame, CControlBar* pBar, int x, int y);
// Floats a docked bar where it is, or docks a floating one in its last dock area.
void ToggleFloating(CFrameWnd& frame, CControlBar* pBar);

}  // namespace BarDocking
