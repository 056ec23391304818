// The start page of a folder, and the generated page when there is none to show.
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "content/StartPage.h"
#include "html/PathLink.h"

namespace {

TEST(StartPage, FoundOrExplained) {
  struct Case {
    const char* name;
    std::function<void(const TempDir&)> make;
    std::string path;    // expected page file, relative; "" = generated page
    std::string saying;  // expected in the generated page; "" = no generated page
  };
  auto file = [](const char* name) { return [name](const TempDir& d) { TempDir::Write(d / name, "<p>x"); }; };
  const Case cases[] = {
      {"exact name", file("index.html"), "index.html", ""},
      {"other letter case, stored name kept", file("Index.HTML"), "Index.HTML", ""},
      {"exact name preferred",
       [](const TempDir& d) {
         TempDir::Write(d / "INDEX.HTML", "");
         TempDir::Write(d / "index.html", "");
       },
       "index.html", ""},
      {"none: the folder's pages are listed",
       [](const TempDir& d) {
         TempDir::Write(d / "a <b> & c.html", "");
         TempDir::Write(d / "notes.txt", "");
       },
       "", "There is no index.html"},
      {"a folder", [](const TempDir& d) { mkdir((d / "index.html").c_str(), 0700); }, "", "is a folder, not a page"},
      {"a FIFO", [](const TempDir& d) { mkfifo((d / "index.html").c_str(), 0600); }, "", "is not a regular file"},
      {"a dangling link", [](const TempDir& d) { symlink("gone.html", (d / "index.html").c_str()); }, "",
       "symbolic link to nothing"},
      {"a link loop", [](const TempDir& d) { symlink("index.html", (d / "index.html").c_str()); }, "",
       "cannot be opened"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    c.make(dir);
    const FolderPage page = StartPage().Find(dir.Path(), 0);
    EXPECT_EQ(page.path, c.path.empty() ? "" : dir / c.path);
    if (c.saying.empty()) {
      EXPECT_EQ(page.html, "");
    } else {
      EXPECT_NE(page.html.find(c.saying), std::string::npos) << page.html;
      EXPECT_EQ(page.baseDir, dir.Path());
    }
  }
}

TEST(StartPage, GeneratedListingEscapesNames) {
  TempDir dir;
  TempDir::Write(dir / "a <b> & \"c\".html", "");
  TempDir::Write(dir / "50% #1.htm", "");
  TempDir::Write(dir / "bad \xff.html", "");
  FolderPage page = StartPage().Find(dir.Path(), 0);
  EXPECT_NE(page.html.find("href=\"50%25%20%231.htm\">50% #1.htm</a>"), std::string::npos) << page.html;
  EXPECT_NE(page.html.find("a &lt;b&gt; &amp; &quot;c&quot;.html</a>"), std::string::npos);
  EXPECT_NE(page.html.find("href=\"" + PathLink::To(dir / "bad \xff.html") + "\""), std::string::npos) << page.html;
  EXPECT_EQ(page.html.find("<b>"), std::string::npos);
}

// Where each name lands in the page; npos when it is not there.
std::size_t At(const std::string& html, const std::string& text) { return html.find(">" + text + "</a>"); }

TEST(StartPage, ListingShowsParentFoldersThenPagesInNaturalOrderWithoutHiddenEntries) {
  const std::string html = StartPage::Listing("/data/docs", "There is no index.html in this folder.",
                                              {{"file10.html"},
                                               {"File2.html"},
                                               {"file1.html"},
                                               {"notes.txt"},
                                               {".hidden.html"},
                                               {"b"},
                                               {"Z dir", true},
                                               {"a dir", true},
                                               {"10 dir", true},
                                               {"9 dir", true},
                                               {".git", true},
                                               {"page.HTM"},
                                               {"x/y.html"},
                                               {""}});
  const std::vector<std::string> order = {"Parent folder", "9 dir/",     "10 dir/",     "a dir/",  "Z dir/",
                                          "file1.html",    "File2.html", "file10.html", "page.HTM"};
  std::size_t last = 0;
  for (const std::string& name : order) {
    SCOPED_TRACE(name);
    const std::size_t at = At(html, name);
    ASSERT_NE(at, std::string::npos) << html;
    EXPECT_GT(at, last);
    last = at;
  }
  for (const char* absent : {"notes.txt", ".hidden.html", ">b<", ".git", "y.html"})
    EXPECT_EQ(html.find(absent), std::string::npos) << absent;
  EXPECT_NE(html.find("<a href=\"" + PathLink::To("/data") + "\">Parent folder</a>"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"10%20dir/\">10 dir/</a>"), std::string::npos);
  EXPECT_NE(html.find("<title>docs</title>"), std::string::npos);
  EXPECT_NE(html.find("<h1>/data/docs</h1><p>There is no index.html in this folder.</p>"), std::string::npos);

  EXPECT_EQ(StartPage::Listing("/", "r", {{"usr", true}}).find("Parent folder"), std::string::npos);
  EXPECT_NE(StartPage::Listing("/empty", "r", {}).find("holds no pages and no folders"), std::string::npos);
}

TEST(StartPage, NamesWithMarkupAndBytesThatAreNotUtf8AreEscapedAndLinkedInFull) {
  const std::string hostile = "<script>alert(\"x\")&'\n.html";
  std::string html = StartPage::Listing("/d <i>", "<b>reason</b>", {{hostile}, {"\xfe dir", true}});
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_EQ(html.find("<i>"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_TRUE(g_utf8_validate(html.c_str(), -1, nullptr));
  EXPECT_NE(html.find("href=\"%3Cscript%3Ealert%28%22x%22%29%26%27%0A.html\""), std::string::npos) << html;
  const std::string link = PathLink::To("/d <i>/\xfe dir");
  EXPECT_NE(html.find("href=\"" + link + "\""), std::string::npos) << html;
  EXPECT_EQ(PathLink::PathOf(link.c_str()), "/d <i>/\xfe dir");
  EXPECT_EQ(PathLink::PathOf("file:///d/x"), "");

  // In a folder whose own path is not UTF-8 every link names its path in full, the parent's too.
  html = StartPage::Listing("/top/\xff", "r", {{"a.html"}});
  EXPECT_NE(html.find("href=\"" + PathLink::To("/top/\xff/a.html") + "\""), std::string::npos) << html;
  EXPECT_NE(html.find("href=\"" + PathLink::To("/top") + "\">Parent folder"), std::string::npos) << html;
}

TEST(StartPage, ALongListingComesInPartsLinkedToEachOther) {
  const std::size_t n = StartPage::kPerPage;
  std::vector<StartPage::Entry> entries;
  for (std::size_t i = 0; i < n; ++i) entries.push_back({"d" + std::to_string(i), true});
  for (std::size_t i = 0; i < n + 5; ++i) entries.push_back({"p" + std::to_string(i) + ".html"});
  const std::string first = StartPage::Listing("/big", "r", entries);
  EXPECT_NE(first.find(">d0/<"), std::string::npos);
  EXPECT_EQ(first.find(">p0.html<"), std::string::npos);
  EXPECT_NE(first.find("Entries 1 to " + std::to_string(n) + " of " + std::to_string(2 * n + 5)), std::string::npos);
  const std::string next = PathLink::To("/big", n);
  EXPECT_NE(first.find("href=\"" + next + "\">Next " + std::to_string(n) + "<"), std::string::npos) << next;
  EXPECT_EQ(first.find("Previous"), std::string::npos);

  std::size_t from = 0;
  EXPECT_EQ(PathLink::PathOf(next.c_str(), &from), "/big");
  EXPECT_EQ(from, n);
  const std::string last = StartPage::Listing("/big", "r", entries, 2 * n);
  EXPECT_NE(last.find(">p" + std::to_string(n + 4) + ".html<"), std::string::npos);
  EXPECT_EQ(last.find(">d0/<"), std::string::npos);
  EXPECT_NE(last.find("Previous " + std::to_string(n)), std::string::npos);
  EXPECT_EQ(last.find("Next"), std::string::npos);
  EXPECT_NE(StartPage::Listing("/big", "r", entries, 99 * n).find(">d0/<"), std::string::npos);  // past the end
}

TEST(StartPage, SubfoldersAndLinksToFoldersAreListedAsFolders) {
  TempDir dir;
  mkdir((dir / "sub").c_str(), 0700);
  symlink("sub", (dir / "link to sub").c_str());
  symlink("nowhere", (dir / "dangling.html").c_str());
  const FolderPage page = StartPage().Find(dir.Path() + "/", 0);
  EXPECT_EQ(page.baseDir, dir.Path());
  EXPECT_NE(page.html.find("href=\"sub/\""), std::string::npos) << page.html;
  EXPECT_NE(page.html.find("href=\"link%20to%20sub/\""), std::string::npos) << page.html;
  EXPECT_NE(page.html.find("href=\"dangling.html\""), std::string::npos) << page.html;
}

TEST(StartPage, AFolderThatCannotBeEnteredIsExplainedOnceAndTheCurrentFolderStays) {
  char* saved = getcwd(nullptr, 0);
  TempDir dir;
  TempDir::Write(dir / "not a folder", "");
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_FALSE(StartPage().Enter(dir / "not a folder"));
  FolderPage page = StartPage::FindInCurrentDirectory();
  EXPECT_TRUE(page.path.empty());
  EXPECT_NE(page.html.find("This folder cannot be opened: Not a directory."), std::string::npos) << page.html;
  EXPECT_NE(page.html.find("not a folder"), std::string::npos);
  page = StartPage::FindInCurrentDirectory();  // once: then the current folder again
  EXPECT_EQ(page.baseDir, dir.Path());

  EXPECT_NE(StartPage().Find(dir / "gone", 0).html.find("cannot be opened: No such file or directory"),
            std::string::npos);
  ASSERT_TRUE(StartPage().Enter(dir.Path()));
  ASSERT_EQ(chdir(saved), 0);
  free(saved);
}

TEST(StartPage, DeletedCurrentDirectoryIsExplained) {
  char* saved = getcwd(nullptr, 0);
  {
    TempDir dir;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    rmdir(dir.Path().c_str());
    const FolderPage page = StartPage::FindInCurrentDirectory();
    EXPECT_TRUE(page.path.empty());
    EXPECT_NE(page.html.find("cannot be read"), std::string::npos) << page.html;
  }
  ASSERT_EQ(chdir(saved), 0);
  free(saved);
}

}  // namespace
