// Where a dragged bar lands: the edge of the client area it is dropped near, or a palette.
#include <gtest/gtest.h>

#include "bars/BarDocking.h"
#include "bars/CControlBar.h"

namespace {

TEST(BarDocking, DropEdgeIsTheEdgeWithinTheMarginOrFloating) {
  // A client area at (100,50) on the screen, 400 by 300: right and bottom ends are exclusive.
  const Gdk::Rectangle client(100, 50, 400, 300);
  constexpr int m = BarDocking::kDockMargin;
  constexpr long floats = 0;
  struct Case {
    const char* name;
    int x, y;
    long edge;
  };
  const Case cases[] = {
      {"top-left corner pixel", 100, 50, CBRS_ALIGN_TOP},
      {"last pixel of the top strip", 300, 50 + m - 1, CBRS_ALIGN_TOP},
      {"first pixel below the top strip, mid-width", 300, 50 + m, floats},
      {"bottom strip", 300, 350 - m, CBRS_ALIGN_BOTTOM},
      {"last row of the area", 300, 349, CBRS_ALIGN_BOTTOM},
      {"left strip", 100 + m - 1, 200, CBRS_ALIGN_LEFT},
      {"right strip", 500 - m, 200, CBRS_ALIGN_RIGHT},
      {"last column of the area", 499, 200, CBRS_ALIGN_RIGHT},
      {"middle of the area", 300, 200, floats},
      {"top wins over left in the corner", 101, 51, CBRS_ALIGN_TOP},
      {"bottom wins over right in the corner", 498, 348, CBRS_ALIGN_BOTTOM},
      {"left of the area", 99, 200, floats},
      {"above the area", 300, 49, floats},
      {"right end is outside", 500, 200, floats},
      {"bottom end is outside", 300, 350, floats},
      {"far away on another monitor", 2000, 2000, floats},
  };
  for (const Case& c : cases) EXPECT_EQ(BarDocking::DropEdge(client, c.x, c.y), c.edge) << c.name;
}

TEST(BarDocking, OverlappingStripsGoToTopThenLeft) {
  // In an area thinner than two margins the strips overlap: top before bottom, left before right.
  EXPECT_EQ(BarDocking::DropEdge(Gdk::Rectangle(0, 0, 400, 40), 200, 20), CBRS_ALIGN_TOP);
  EXPECT_EQ(BarDocking::DropEdge(Gdk::Rectangle(0, 0, 400, 40), 200, 39), CBRS_ALIGN_BOTTOM);
  EXPECT_EQ(BarDocking::DropEdge(Gdk::Rectangle(0, 0, 40, 400), 20, 200), CBRS_ALIGN_LEFT);
  EXPECT_EQ(BarDocking::DropEdge(Gdk::Rectangle(0, 0, 40, 400), 39, 200), CBRS_ALIGN_RIGHT);
  EXPECT_EQ(BarDocking::DropEdge(Gdk::Rectangle(0, 0, 0, 0), 0, 0), 0);
}

}  // namespace
