// The search of a folder as the window drives it: its results pages and what they say.
#include <glibmm/init.h>
#include <gtest/gtest.h>

#include "../TempDir.h"
#include "content/search/FolderSearch.h"

namespace {

TEST(FolderSearch, DamagedIndexIsSaidOnceNotOnEveryResultsPage) {
  Glib::init();
  TempDir dir, cache;
  TempDir::Write(dir / "zoo.html", "<title>Zoo</title><h1 id=\"z\">Zebras</h1><p>Zebras roam.</p>");
  TempDir::Write(cache / "index.sqlite", std::string(8192, 'x'));
  FolderSearch search(
      dir.Path(), [](const std::string&) {}, [] {}, cache / "index.sqlite");
  auto page = [&](const std::string& typed) {
    return search.Page(ResultsPage::Address({search.FolderUri(), typed, 0}));
  };
  EXPECT_NE(page("zebra").find("damaged"), std::string::npos);
  EXPECT_EQ(page("zebras").find("damaged"), std::string::npos);
  EXPECT_EQ(page("zebra").find("damaged"), std::string::npos);
}

}  // namespace
