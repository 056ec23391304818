// The search of a folder as the window drives it: its results pages and what they say.
#include <glibmm/init.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "../TempDir.h"
#include "content/search/FolderSearch.h"
#include "content/search/Sqlite.h"

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

// The niceness of each of this process's threads but the calling one.
std::vector<int> OtherThreadsNiceness() {
  std::vector<int> niceness;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    if (task.path().filename() == std::to_string(gettid())) continue;
    const std::string stat = TempDir::Read(task.path() / "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // from the third field, the state
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i) {
    }
    niceness.push_back(std::stoi(field));  // the 19th field
  }
  return niceness;
}

TEST(FolderSearch, IndexingThreadsGiveWayToTheWindow) {
  Glib::init();
  TempDir dir, cache;
  for (int i = 0; i < 20; ++i) TempDir::Write(dir / ("p" + std::to_string(i) + ".html"), "<p>Zebras roam.</p>");
  const std::string file = cache / "index.sqlite";
  FolderSearch search(
      dir.Path(), [](const std::string&) {}, [] {}, file);
  // Another writer holds the index: indexing waits for it.
  SqliteDatabase other(file);
  other.Execute("BEGIN IMMEDIATE");
  search.Refresh();
  const int window = getpriority(PRIO_PROCESS, gettid());
  std::vector<int> niceness;
  const gint64 end = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
  while (std::count(niceness.begin(), niceness.end(), std::min(19, window + 10)) == 0 && g_get_monotonic_time() < end) {
    g_usleep(10000);
    niceness = OtherThreadsNiceness();
  }
  other.Execute("ROLLBACK");
  EXPECT_GE(std::count(niceness.begin(), niceness.end(), std::min(19, window + 10)), 1)
      << "the indexing thread, nicer than the window";
  EXPECT_EQ(getpriority(PRIO_PROCESS, gettid()), window);
}

}  // namespace
