// The index of a folder on real files: what is found and where it lands, ranking, freshness, the
// folder walk, and an index file that is missing, damaged, foreign or cannot be kept.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "../TempDir.h"
#include "content/search/SearchIndex.h"
#include "content/search/Sqlite.h"

namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body +
         "<footer><p>Copyright the documentation team, all rights reserved.</p></footer></body></html>";
}

// A small documentation folder: the same footer on every page.
void MakeDocs(const TempDir& dir) {
  TempDir::Write(dir / "index.html", Page("Contents", "<h1 id=\"top\">Contents</h1><p>Start here.</p>"));
  std::filesystem::create_directory(dir / "library");
  TempDir::Write(dir / "library/socket.html",
                 Page("socket — Low-level networking",
                      "<section id=\"socket\"><h1>socket</h1><p>Networking with sockets.</p>"
                      "<dl><dt id=\"socket.settimeout\">socket.settimeout(value)</dt>"
                      "<dd>Set a timeout on blocking socket operations.</dd></dl>"
                      "<h2 id=\"notes-on-socket-timeouts\">Notes on socket timeouts</h2>"
                      "<p>A socket object can be in blocking mode or with a timeout.</p></section>"));
  TempDir::Write(dir / "library/strings.html",
                 Page("Strings",
                      "<h1 id=\"strings\">Strings</h1><p>An f-string is a formatted string literal. "
                      "Use os.path.join to build paths. A naïve café.</p>"
                      "<h2 id=\"timeout\">timeout</h2><p>Unrelated word here.</p>"));
  TempDir::Write(dir / "tutorial.htm", Page("Tutorial", "<h1 id=\"t\">Tutorial</h1><p>Paths join here.</p>"));
}

struct Fixture {
  TempDir dir;
  TempDir cache;
  std::string File() const { return cache / "index.sqlite"; }
};

std::vector<std::string> Links(const SearchIndex::Results& results) {
  std::vector<std::string> links;
  for (const auto& hit : results.hits) links.push_back(hit.path + "#" + hit.anchor);
  return links;
}

std::vector<std::string> Find(SearchIndex& index, const std::string& typed) {
  return Links(index.Find(SearchQuery::Parse(typed), 0, 20));
}

TEST(SearchIndex, FindsSectionsAsAPersonAsks) {
  Fixture f;
  MakeDocs(f.dir);
  SearchIndex index(f.dir.Path(), f.File());
  const SearchIndex::Refreshed refreshed = index.Refresh();
  EXPECT_EQ(refreshed.pages, 4u);
  EXPECT_EQ(refreshed.read, 4u);
  EXPECT_TRUE(index.Notice().empty()) << index.Notice();

  using Links = std::vector<std::string>;
  struct Case {
    const char* typed;
    Links first;  // the first hits, in order
  };
  const Case cases[] = {
      {"socket.settimeout", {"library/socket.html#socket.settimeout"}},
      // A match in the heading weighs more than one in the body.
      {"timeouts blocking", {"library/socket.html#notes-on-socket-timeouts", "library/socket.html#socket.settimeout"}},
      {"\"formatted string\"", {"library/strings.html#strings"}},
      {"f-string", {"library/strings.html#strings"}},
      {"os.path.join", {"library/strings.html#strings"}},
      {"NAIVE cafe", {"library/strings.html#strings"}},
      {"netw*", {"library/socket.html#socket"}},
      // The heading that is the query itself comes first.
      {"timeout", {"library/strings.html#timeout"}},
      {"\"string literal\" -formatted (", {"library/strings.html#strings"}},
      // Repeated on every page: not searched.
      {"copyright", {}},
      {"nothingmatchesthis", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const Links found = Find(index, c.typed);
    ASSERT_GE(found.size(), c.first.size());
    EXPECT_EQ(Links(found.begin(), found.begin() + std::ptrdiff_t(c.first.size())), c.first);
    if (c.first.empty()) {
      EXPECT_TRUE(found.empty());
    }
  }

  const SearchIndex::Results socket = index.Find(SearchQuery::Parse("socket"), 0, 2);
  EXPECT_EQ(socket.pages, 1u);
  EXPECT_EQ(socket.sections, 3u);
  ASSERT_EQ(socket.hits.size(), 2u);
  EXPECT_EQ(socket.hits[0].title, "socket — Low-level networking");
  EXPECT_NE(socket.hits[0].snippet.find(std::string(1, SearchIndex::kMarkStart) + "sockets" + SearchIndex::kMarkEnd),
            std::string::npos)
      << socket.hits[0].snippet;
  EXPECT_EQ(index.Find(SearchQuery::Parse("socket"), 2, 20).hits.size(), 1u);
}

// The words around a section's first match, however long the section: the matched ones marked
// (a phrase as one), an ellipsis where the text goes on.
TEST(SearchIndex, SnippetIsTheWordsAroundTheFirstMatch) {
  Fixture f;
  std::string before, after;
  for (int i = 0; i < 100; ++i) before += "w" + std::to_string(i) + " ";
  for (int i = 0; i < 5000; ++i) after += " x" + std::to_string(i);
  TempDir::Write(f.dir / "long.html", Page("Long", "<h1 id=\"l\">Long</h1><p>" + before + "the zebra crossing, zebras" +
                                                       after + ".</p><h2 id=\"s\">Short</h2><p>“A zebra.”</p>"));
  SearchIndex index(f.dir.Path(), f.File());
  index.Refresh();
  auto snippets = [&](const std::string& typed) {
    std::vector<std::string> texts;
    for (const auto& hit : index.Find(SearchQuery::Parse(typed), 0, 20).hits) texts.push_back(hit.snippet);
    return texts;
  };
  const std::string open(1, SearchIndex::kMarkStart), close(1, SearchIndex::kMarkEnd);
  EXPECT_EQ(snippets("\"zebra crossing\""), std::vector<std::string>{"…w98 w99 the " + open + "zebra crossing" + close +
                                                                     ", zebras x0 x1 x2 x3 x4 x5…"});
  EXPECT_EQ(
      snippets("zebra"),
      (std::vector<std::string>{
          "“A " + open + "zebra" + close + ".”\nCopyright the documentation team, all rights reserved.",
          "…w98 w99 the " + open + "zebra" + close + " crossing, " + open + "zebras" + close + " x0 x1 x2 x3 x4 x5…"}));
}

TEST(SearchIndex, KeptFreshByTimeAndSize) {
  Fixture f;
  MakeDocs(f.dir);
  {
    SearchIndex index(f.dir.Path(), f.File());
    index.Refresh();
  }
  SearchIndex index(f.dir.Path(), f.File());
  EXPECT_EQ(index.Refresh().read, 0u);  // nothing changed: nothing read

  TempDir::Write(f.dir / "tutorial.htm", Page("Tutorial", "<h1 id=\"t2\">Tutorial</h1><p>Now about zebras.</p>"));
  std::filesystem::remove(f.dir / "library/strings.html");
  TempDir::Write(f.dir / "new.html", Page("New", "<h1 id=\"n\">New</h1><p>Giraffes too.</p>"));
  const SearchIndex::Refreshed refreshed = index.Refresh();
  EXPECT_EQ(refreshed.read, 2u);
  EXPECT_EQ(refreshed.pages, 4u);
  // What a refresh wrote is in the index's file, not left in its write-ahead log as well.
  EXPECT_EQ(std::filesystem::file_size(f.File() + "-wal"), 0u);
  EXPECT_EQ(Find(index, "zebras"), std::vector<std::string>{"tutorial.htm#t2"});
  EXPECT_TRUE(Find(index, "paths").empty());
  EXPECT_TRUE(Find(index, "f-string").empty());
  EXPECT_EQ(Find(index, "giraffes"), std::vector<std::string>{"new.html#n"});
}

TEST(SearchIndex, WalksTheTreeOnceSkippingWhatItMustNotOpen) {
  Fixture f;
  TempDir::Write(f.dir / "page.html", "<h1 id=\"a\">Alpha</h1><p>unique words</p>");
  std::filesystem::create_directory(f.dir / "sub");
  TempDir::Write(f.dir / "sub/deeper.xhtml", "<h1 id=\"d\">Deeper</h1><p>xhtml words</p>");
  std::filesystem::create_directory(f.dir / ".hidden");
  TempDir::Write(f.dir / ".hidden/secret.html", "<p>secret words</p>");
  TempDir::Write(f.dir / ".dot.html", "<p>secret words</p>");
  TempDir::Write(f.dir / "notes.txt", "secret words");
  ASSERT_EQ(mkfifo((f.dir / "fifo.html").c_str(), 0600), 0);
  symlink("page.html", (f.dir / "again.html").c_str());  // the same file twice
  symlink("..", (f.dir / "sub/up").c_str());             // a loop
  symlink("missing.html", (f.dir / "dangling.html").c_str());
  TempDir::Write(f.dir / "locked.html", "<p>locked words</p>");
  chmod((f.dir / "locked.html").c_str(), 0);

  SearchIndex index(f.dir.Path(), f.File());
  const SearchIndex::Refreshed refreshed = index.Refresh();
  const bool root = geteuid() == 0;  // root reads every file
  EXPECT_EQ(refreshed.pages, 3u);    // page.html, sub/deeper.xhtml, locked.html
  EXPECT_EQ(refreshed.unreadable, root ? 0u : 1u);
  EXPECT_EQ(Find(index, "unique").size(), 1u);
  EXPECT_EQ(Find(index, "xhtml"), std::vector<std::string>{"sub/deeper.xhtml#d"});
  EXPECT_TRUE(Find(index, "secret").empty());
}

TEST(SearchIndex, DamagedForeignOrNewerFilesAreReplaced) {
  struct Case {
    const char* name;
    std::function<void(const std::string& file)> spoil;
  };
  const Case cases[] = {
      {"not a database", [](const std::string& file) { TempDir::Write(file, std::string(8192, 'x')); }},
      {"another program's",
       [](const std::string& file) {
         std::filesystem::remove(file);
         SqliteDatabase(file).Execute("CREATE TABLE theirs(x); INSERT INTO theirs VALUES(1)");
       }},
      {"a newer schema",
       [](const std::string& file) {
         SqliteDatabase(file).Execute(("PRAGMA user_version=" + std::to_string(SearchIndex::kSchema + 1)).c_str());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    MakeDocs(f.dir);
    { SearchIndex(f.dir.Path(), f.File()).Refresh(); }
    c.spoil(f.File());
    SearchIndex index(f.dir.Path(), f.File());
    EXPECT_FALSE(index.Notice().empty());
    EXPECT_FALSE(index.InMemory());
    index.Refresh();
    EXPECT_EQ(Find(index, "zebra").size(), 0u);
    EXPECT_EQ(Find(index, "tutorial").size(), 1u);
  }
}

// The header and schema still read, so opening passes; the refresh finds the tables damaged and
// replaces the file while another thread keeps asking.
TEST(SearchIndex, DamagedFileFoundByARefreshIsReplacedWhileQueriesRun) {
  Fixture f;
  MakeDocs(f.dir);
  { SearchIndex(f.dir.Path(), f.File()).Refresh(); }
  {
    std::fstream file(f.File(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    ASSERT_GT(size, 4096);
    file.seekp(4096);
    file << std::string(std::size_t(size - 4096), 'x');
  }
  SearchIndex index(f.dir.Path(), f.File());
  ASSERT_TRUE(index.Notice().empty()) << index.Notice();
  std::atomic<bool> done{false};
  std::thread asker([&] {
    while (!done) try {
        index.Find(SearchQuery::Parse("socket"), 0, 20);
      } catch (const SqliteError&) {
        // the damaged file, until it is replaced
      }
  });
  const SearchIndex::Refreshed refreshed = index.Refresh();
  done = true;
  asker.join();
  EXPECT_EQ(refreshed.pages, 4u);
  EXPECT_NE(index.Notice().find("damaged"), std::string::npos) << index.Notice();
  EXPECT_EQ(Find(index, "tutorial"), std::vector<std::string>{"tutorial.htm#t"});
}

TEST(SearchIndex, InMemoryWhenNoFileCanBeKept) {
  Fixture f;
  MakeDocs(f.dir);
  TempDir::Write(f.cache / "file", "");
  SearchIndex index(f.dir.Path(), f.cache / "file/index.sqlite");  // a file where its folder should be
  EXPECT_TRUE(index.InMemory());
  EXPECT_NE(index.Notice().find("kept in memory"), std::string::npos) << index.Notice();
  index.Refresh();
  EXPECT_EQ(Find(index, "tutorial").size(), 1u);
}

TEST(SearchIndex, TwoIndexersAtOnceBothAnswer) {
  Fixture f;
  MakeDocs(f.dir);
  for (int i = 0; i < 300; ++i)
    TempDir::Write(f.dir / ("p" + std::to_string(i) + ".html"),
                   "<h1 id=\"h\">Page " + std::to_string(i) + "</h1><p>common text</p>");
  std::vector<std::size_t> found(2);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < 2; ++i)
    threads.emplace_back([&, i] {
      SearchIndex index(f.dir.Path(), f.File());
      index.Refresh();
      found[i] = index.Find(SearchQuery::Parse("common"), 0, 1000).hits.size();
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(found, (std::vector<std::size_t>{300, 300}));
}

TEST(SearchIndex, CancelledRefreshKeepsWhatItCommitted) {
  Fixture f;
  for (int i = 0; i < 450; ++i)
    TempDir::Write(f.dir / ("p" + std::to_string(i) + ".html"), "<h1 id=\"h\">Page</h1><p>common text</p>");
  SearchIndex index(f.dir.Path(), f.File());
  std::atomic<bool> cancel{false};
  std::size_t last = 0;
  const auto refreshed = index.Refresh(
      [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 450u);
        last = done;
        if (done == 250) cancel = true;
      },
      cancel);
  EXPECT_TRUE(refreshed.cancelled);
  EXPECT_EQ(last, 250u);
  EXPECT_EQ(refreshed.pages, 200u);  // the first batch
  EXPECT_EQ(index.Refresh().read, 250u);
}

}  // namespace
