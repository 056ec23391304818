// The start page of a folder, and the generated page when there is none to show.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "html/StartPage.h"

namespace {

TEST(StartPage, FoundOrExplained) {
  struct Case {
    const char* name;
    std::function<void(const TempDir&)> make;
    std::string path;     // expected page file, relative; "" = generated page
    std::string saying;   // expected in the generated page
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
    StartPage page = StartPage::Find(dir.Path());
    EXPECT_EQ(page.path, c.path.empty() ? "" : dir / c.path);
    EXPECT_NE(page.html.find(c.saying), std::string::npos) << page.html;
    if (c.path.empty()) {
      EXPECT_EQ(page.baseDir, dir.Path());
    }
  }
}

TEST(StartPage, GeneratedListingEscapesNames) {
  TempDir dir;
  TempDir::Write(dir / "a <b> & \"c\".html", "");
  TempDir::Write(dir / "50% #1.htm", "");
  TempDir::Write(dir / "bad \xff.html", "");
  StartPage page = StartPage::Find(dir.Path());
  EXPECT_NE(page.html.find("href=\"50%25%20%231.htm\">50% #1.htm</a>"), std::string::npos) << page.html;
  EXPECT_NE(page.html.find("a &lt;b&gt; &amp; &quot;c&quot;.html</a>"), std::string::npos);
  EXPECT_NE(page.html.find("href=\"bad%20%FF.html\""), std::string::npos);
  EXPECT_EQ(page.html.find("<b>"), std::string::npos);
}

TEST(StartPage, DeletedCurrentDirectoryIsExplained) {
  char* saved = getcwd(nullptr, 0);
  {
    TempDir dir;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    rmdir(dir.Path().c_str());
    StartPage page = StartPage::FindInCurrentDirectory();
    EXPECT_TRUE(page.path.empty());
    EXPECT_NE(page.html.find("cannot be read"), std::string::npos) << page.html;
  }
  ASSERT_EQ(chdir(saved), 0);
  free(saved);
}

}  // namespace
