// Generated pages in the view: each at its own address, so that Back returns to the one it left;
// the search bar and its results pages, on the real engine.
#include <glibmm/miscutils.h>
#include <gtkmm/searchentry.h>
#include <sys/stat.h>

#include <filesystem>

#include "InProcess.h"
#include "PageDriver.h"
#include "html/BrowserControl.h"

namespace {

using namespace page;

class GeneratedPagesInView : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
};

TEST_F(GeneratedPagesInView, BackFromTheNextPartOfALongListingShowsTheFirstPart) {
  TempDir dir;
  for (int i = 0; i < 1005; ++i) TempDir::Write(dir / ("p" + std::to_string(i) + ".html"), "");
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  Command(ID_FILE_NEW);
  const std::string first = "generated:" + Uri(dir.Path()).substr(5) + "/";
  ASSERT_TRUE(WaitFor(first)) << ShownUri();
  EXPECT_EQ(CountText("Entries 1 to 1000 of 1005"), 2u);

  View()->GetControl()->ShowFolder(dir.Path(), 1000);  // what the listing's "Next 5" link does
  ASSERT_TRUE(WaitFor(first + "?first=1000")) << ShownUri();
  EXPECT_EQ(CountText("Entries 1001 to 1005 of 1005"), 2u);

  Command(ID_BACK_BROWSER);
  ASSERT_TRUE(WaitFor(first)) << ShownUri();
  EXPECT_EQ(CountText("Entries 1 to 1000 of 1005"), 2u);
  Command(ID_FORWARD_BROWSER);
  ASSERT_TRUE(WaitFor(first + "?first=1000")) << ShownUri();
  EXPECT_EQ(CountText("Entries 1001 to 1005 of 1005"), 2u);
}

// The search bar's entry, found by its accessible name; nullptr while there is none.
Gtk::SearchEntry* SearchEntry() { return in_process::SearchEntry(*View()->GetControl()); }

// The text of the page's <mark> elements, one a line ("" when the script cannot run).
std::string MarkedText() {
  return Evaluated("[...document.querySelectorAll('mark')].map(m => m.textContent).join('\\n')");
}

bool BarShown() { return SearchEntry() != nullptr && SearchEntry()->get_parent()->is_visible(); }

TEST_F(GeneratedPagesInView, SearchBarShowsResultsThatLandOnTheirSection) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"p", "p"}));
  TempDir::Write(dir / "zoo.html",
                 "<title>Zoo</title><h1 id=\"top\">Zoo</h1><p>Animals.</p><h2 id=\"zebras\">Zebras</h2>"
                 "<p>Zebras roam the plains.</p>");
  TempDir::Write(dir / "other.html", "<title>Other</title><h1 id=\"o\">Other</h1><p>Nothing here.</p>");
  ASSERT_TRUE(OpenFolder(dir));
  const std::string index = Glib::build_filename(Glib::get_user_cache_dir(), "folioscope", "search");
  EXPECT_FALSE(std::filesystem::exists(index)) << "nothing on disk before the first search";

  Keys("ctrl+shift+f");
  ASSERT_TRUE(RunUntil([] { return BarShown() && SearchEntry()->has_focus(); }));
  EXPECT_TRUE(Xdo({"type", "--delay", "30", "zebra"}));
  ASSERT_TRUE(RunUntil([] { return ShowingTitle("Search: zebra"); }))
      << Title() << " " << ShownUri() << " " << Message();
  EXPECT_EQ(ShownUri().rfind("generated:", 0), 0u) << ShownUri();
  EXPECT_TRUE(RunUntil([] { return CountText("Zoo › Zebras") == 1; }));
  EXPECT_TRUE(std::filesystem::exists(index));

  // Enter goes into the results, to the first hit; Enter follows it, and it lands on its section.
  Keys("Return");
  ASSERT_TRUE(RunUntil([] { return gtk_widget_has_focus(GTK_WIDGET(Engine())); }));
  Keys("Return");
  ASSERT_TRUE(WaitFor(Uri(dir / "zoo.html") + "#zebras")) << ShownUri();
  // The words are marked where they stand, the section still in view.
  EXPECT_TRUE(RunUntil([] { return MarkedText() == "Zebras\nZebras"; })) << MarkedText();
  Command(ID_BACK_BROWSER);
  ASSERT_TRUE(RunUntil([] { return ShowingTitle("Search: zebra"); }))
      << Title() << " " << ShownUri() << " " << Message();

  // Esc closes the bar and gives the page the focus; nothing matching says so.
  SearchEntry()->grab_focus();
  SearchEntry()->set_text("unicorns");
  ASSERT_TRUE(RunUntil([] { return ShowingTitle("Search: unicorns"); })) << Title();
  EXPECT_EQ(CountText("No pages match unicorns"), 1u);
  SearchEntry()->grab_focus();
  Keys("Escape");
  ASSERT_TRUE(RunUntil([] { return !BarShown() && gtk_widget_has_focus(GTK_WIDGET(Engine())); }));
}

// The view's keys work in both bars where their entries leave them alone: Ctrl+Shift+F from the
// find bar, Ctrl+F and Alt+Left from the search bar.
TEST_F(GeneratedPagesInView, TheViewsKeysWorkInTheFindAndSearchBars) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"p"}));
  TempDir::Write(dir / "other.html", "<title>Other</title><p>Another page.</p>");
  ASSERT_TRUE(OpenFolder(dir));
  View()->Navigate2(dir / "other.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "other.html")));
  Gtk::Entry& find = View()->GetControl()->GetFindBar().GetEntry();
  Keys("ctrl+f");
  ASSERT_TRUE(RunUntil([&] { return find.has_focus(); }));
  Keys("ctrl+shift+f");
  EXPECT_TRUE(RunUntil([] { return BarShown() && SearchEntry()->has_focus(); })) << "from the find bar";
  Keys("ctrl+f");
  EXPECT_TRUE(RunUntil([&] { return find.has_focus(); })) << "from the search bar";
  SearchEntry()->grab_focus();
  Keys("alt+Left");
  EXPECT_TRUE(WaitFor(Uri(dir / "index.html"))) << ShownUri();
}

std::size_t BackLength() {
  GList* back = webkit_back_forward_list_get_back_list(webkit_web_view_get_back_forward_list(Engine()));
  const std::size_t length = g_list_length(back);
  g_list_free(back);
  return length;
}

// Each pause in typing makes a results page; only a new search after leaving the results adds an entry.
TEST_F(GeneratedPagesInView, OneHistoryEntryPerSearch) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"p"}));
  TempDir::Write(dir / "zoo.html",
                 "<title>Zoo</title><h1 id=\"top\">Zoo</h1><p>Animals.</p><h2 id=\"zebras\">Zebras</h2>"
                 "<p>Zebras roam the plains.</p>");
  ASSERT_TRUE(OpenFolder(dir));
  const std::size_t before = BackLength();
  Keys("ctrl+shift+f");
  ASSERT_TRUE(RunUntil([] { return BarShown(); }));
  for (const char* typed : {"zo", "zoo", "zebras"}) {
    SearchEntry()->set_text(typed);
    ASSERT_TRUE(RunUntil([&] { return ShowingTitle(std::string("Search: ") + typed); })) << Title();
  }
  EXPECT_EQ(BackLength(), before + 1);

  View()->GetControl()->Navigate(Uri(dir / "zoo.html") + "#zebras");
  ASSERT_TRUE(WaitFor(Uri(dir / "zoo.html") + "#zebras")) << ShownUri();
  SearchEntry()->set_text("animals");
  ASSERT_TRUE(RunUntil([] { return ShowingTitle("Search: animals"); })) << Title();
  EXPECT_EQ(BackLength(), before + 3);
  Command(ID_BACK_BROWSER);
  ASSERT_TRUE(WaitFor(Uri(dir / "zoo.html") + "#zebras")) << ShownUri();
  Command(ID_BACK_BROWSER);
  EXPECT_TRUE(RunUntil([] { return ShowingTitle("Search: zebras"); })) << Title();
}

}  // namespace
