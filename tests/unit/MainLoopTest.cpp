// The main loop's idle pass: one after each wake by real work, none while nothing happens.
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/MainLoop.h"

namespace {

TEST(MainLoop, AnIdlePassFollowsEachWakeAndAQuietLoopSleeps) {
  int ticks = 0;
  std::vector<int> seen;  // the ticks so far, at each idle pass
  MainLoop loop([&] { seen.push_back(ticks); });
  Glib::signal_timeout().connect([&] { return ++ticks < 3; }, 30);
  // A quarter of a second of quiet before the end: a loop that kept re-arming its pass would run
  // it thousands of times.
  Glib::signal_timeout().connect_once([&] { loop.Quit(); }, 350);
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_GE(seen.size(), 4u);
  EXPECT_LE(seen.size(), 6u);
  for (int tick = 0; tick <= 3; ++tick) EXPECT_NE(std::find(seen.begin(), seen.end(), tick), seen.end()) << tick;
}

TEST(MainLoop, AQuitBeforeTheLoopRunsEndsItAtOnce) {
  int passes = 0;
  MainLoop loop([&] { ++passes; });
  loop.Quit();
  loop.Run();
  EXPECT_EQ(passes, 0);
  EXPECT_FALSE(loop.IsRunningAtTop());
}

}  // namespace
