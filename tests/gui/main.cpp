// Starts GTK the way the program's entry does, with settings and data folders of the test's own.
#include <gtest/gtest.h>

#include <cstdio>

#include "../unit/TempDir.h"
#include "InProcess.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no display
  TempDir config;
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  TempDir data;  // the engine's stores and the desktop's handler lists, away from the user's
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  TempDir cache;  // the search index among them
  setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
  if (!in_process::StartGtk()) {
    fprintf(stderr, "no display\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
