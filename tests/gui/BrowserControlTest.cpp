// The browser control's own conveniences on the real engine: its events and the host's say over
// navigations, the find bar, zoom, reload, copying, where the focus goes and its size in the frame.
#include <gtkmm/clipboard.h>
#include <gtkmm/settings.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PageDriver.h"
#include "html/BrowserControl.h"

namespace {

using namespace page;

// A host that records the control's events and may refuse navigations and new windows.
class Recorder : public BrowserEvents {
 public:
  std::vector<std::string> events;
  std::string status;
  bool canGoBack = false;
  std::string refused;  // navigations to addresses containing this are cancelled
  bool refuseNewWindows = false;

  void OnStatusTextChange(const std::string& text) override { status = text; }
  void OnProgressChange(long progress, long progressMax) override {
    if (progress == progressMax) Add("Progress complete");
  }
  void OnCommandStateChange(long command, bool enable) override {
    if (command == CSC_NAVIGATEBACK) canGoBack = enable;
  }
  void OnDownloadBegin() override { Add("DownloadBegin"); }
  void OnDownloadComplete() override { Add("DownloadComplete"); }
  void OnTitleChange(const std::string& title) override { Add("TitleChange " + title); }
  void OnNavigateComplete2(const std::string& url) override { Add("NavigateComplete2 " + Name(url)); }
  void OnBeforeNavigate2(const std::string& url, const std::string&, bool* pbCancel) override {
    Add("BeforeNavigate2 " + Name(url));
    if (!refused.empty() && url.find(refused) != std::string::npos) *pbCancel = true;
  }
  void OnNewWindow2(bool* pbCancel) override {
    Add("NewWindow2");
    *pbCancel = refuseNewWindows;
  }
  void OnDocumentComplete(const std::string& url) override { Add("DocumentComplete " + Name(url)); }

  bool Saw(const std::vector<std::string>& inOrder) const {
    return std::search(events.begin(), events.end(), inOrder.begin(), inOrder.end(),
                       [](auto& a, auto& b) { return a == b; }) != events.end() ||
           Subsequence(inOrder);
  }

 private:
  void Add(const std::string& event) { events.push_back(event); }
  static std::string Name(const std::string& url) { return url.substr(url.rfind('/') + 1); }
  bool Subsequence(const std::vector<std::string>& wanted) const {
    auto it = events.begin();
    for (const std::string& w : wanted) {
      it = std::find(it, events.end(), w);
      if (it == events.end()) return false;
      ++it;
    }
    return true;
  }
};

// A browser control of its own in a window at the screen's top-left corner.
struct Hosted {
  Recorder host;
  Gtk::Window window;
  BrowserControl* control = Gtk::make_managed<BrowserControl>(host, true);

  Hosted() {
    window.set_default_size(600, 400);
    window.move(0, 0);
    window.add(*control);
    window.show_all();
    window.present();
  }
  WebKitWebView* Engine() const { return control->GetWebView(); }
  bool Shows(const std::string& uri) const { return Showing(uri, Engine()); }
};

TEST(BrowserControl, ReportsItsEventsAndLetsTheHostRefuseNavigations) {
  TempDir dir;
  TempDir::Write(dir / "a.html", Blocks("A", {"a href=\"b.html\" target=\"_blank\"", "a href=\"refused.html\""}));
  TempDir::Write(dir / "b.html", "<title>B</title>");
  TempDir::Write(dir / "refused.html", "<title>Refused</title>");
  Hosted hosted;
  hosted.control->Navigate(Uri(dir / "a.html"));
  ASSERT_TRUE(RunUntil([&] { return hosted.Shows(Uri(dir / "a.html")) && hosted.host.status == "Done"; }));
  EXPECT_TRUE(hosted.host.Saw({"BeforeNavigate2 a.html", "DownloadBegin", "NavigateComplete2 a.html",
                               "DocumentComplete a.html", "DownloadComplete"}));
  EXPECT_TRUE(RunUntil([&] { return hosted.host.Saw({"TitleChange A"}); }));  // the title may come late
  EXPECT_TRUE(hosted.host.Saw({"Progress complete"}));
  EXPECT_FALSE(hosted.host.canGoBack);

  hosted.host.events.clear();
  hosted.host.refuseNewWindows = true;
  Click(0, hosted.Engine());
  EXPECT_TRUE(RunUntil([&] { return hosted.host.Saw({"NewWindow2"}); })) << testing::PrintToString(hosted.host.events);
  hosted.host.refused = "refused";
  Click(1, hosted.Engine());
  EXPECT_TRUE(RunUntil([&] { return hosted.host.Saw({"BeforeNavigate2 refused.html"}); }));
  ASSERT_TRUE(CaughtUp(hosted.Engine()));
  EXPECT_TRUE(hosted.Shows(Uri(dir / "a.html")));
  EXPECT_FALSE(hosted.host.Saw({"DownloadBegin"}));

  hosted.host.refuseNewWindows = false;
  Click(0, hosted.Engine());
  EXPECT_TRUE(RunUntil([&] { return hosted.Shows(Uri(dir / "b.html")); }));
  EXPECT_TRUE(hosted.host.Saw({"NewWindow2", "BeforeNavigate2 b.html", "NavigateComplete2 b.html"}));
  EXPECT_TRUE(RunUntil([&] { return hosted.host.canGoBack; }));
}

class InTheView : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
  BrowserControl* Control() { return View()->GetControl(); }
  FindBar& Bar() { return Control()->GetFindBar(); }
  bool PageHasFocus() { return gtk_widget_has_focus(GTK_WIDGET(Engine())); }
};

TEST_F(InTheView, CtrlFFindsTextAndEscClosesTheBar) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Find", {"p", "p"}) +
                                         "<p style='margin-top:200px'>a needle, another "
                                         "Needle and a third NEEDLE</p>");
  ASSERT_TRUE(OpenFolder(dir));
  PointAt(1);
  EXPECT_FALSE(Bar().IsOpen());

  Keys("ctrl+f");
  ASSERT_TRUE(RunUntil([&] { return Bar().IsOpen() && Bar().GetEntry().has_focus(); }));
  EXPECT_TRUE(Xdo({"type", "needle"}));
  EXPECT_TRUE(RunUntil([&] { return Bar().GetMatchText() == "3 matches"; })) << Bar().GetMatchText();
  Keys("Return shift+Return F3");  // next, previous, next: the bar stays with its text
  ASSERT_TRUE(CaughtUp());
  EXPECT_TRUE(Bar().IsOpen());
  EXPECT_EQ(Bar().GetEntry().get_text(), "needle");

  Keys("ctrl+a");
  EXPECT_TRUE(Xdo({"type", "nothing like it"}));
  EXPECT_TRUE(RunUntil([&] { return Bar().GetMatchText() == "No matches"; })) << Bar().GetMatchText();

  // A screen reader names each part for what it does.
  std::vector<std::pair<std::string, std::string>> parts;
  for (Gtk::Widget* part : Bar().get_children())
    parts.emplace_back(atk_role_get_name(atk_object_get_role(part->get_accessible()->gobj())),
                       part->get_accessible()->get_name());
  EXPECT_EQ(parts, (std::vector<std::pair<std::string, std::string>>{{"text", "Find in page"},
                                                                     {"push button", "Previous match"},
                                                                     {"push button", "Next match"},
                                                                     {"label", "No matches"},
                                                                     {"push button", "Close the find bar"}}));

  Keys("Escape");
  EXPECT_TRUE(RunUntil([&] { return !Bar().IsOpen() && PageHasFocus(); }));
  Keys("ctrl+f");
  EXPECT_TRUE(RunUntil([&] { return Bar().IsOpen() && Bar().GetEntry().get_text() == "nothing like it"; }));
  Keys("Escape");
  EXPECT_TRUE(RunUntil([&] { return !Bar().IsOpen(); }));
}

TEST_F(InTheView, ClosingTheFindBarLeavesTheKeyboardAtTheMatchAndAnotherPageClearsTheCount) {
  TempDir dir;
  TempDir::Write(dir / "index.html",
                 "<title>Far</title><a href='top.html'>top</a><div style='height:3000px'></div>"
                 "<p>plain words, a quokka, another quokka</p><p><a href='gamma.html'>gamma</a> <a "
                 "href='alpha.html'>alpha wombat</a>");
  for (const char* name : {"top", "gamma", "alpha"}) TempDir::Write(dir / (name + std::string(".html")), name);
  ASSERT_TRUE(OpenFolder(dir));
  PointAt(1);
  const struct {
    const char* text;
    const char* keyAfterEsc;  // before Return
    const char* follows;
    const char* count;  // told apart from the last row's, which shows first
  } rows[] = {
      {"wombat", nullptr, "alpha.html", "1 match"},  // the link holding the match takes the focus
      {"quokka", "Tab", "gamma.html", "2 matches"},  // Tab moves on from the match's paragraph
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    Keys("ctrl+f ctrl+a");
    EXPECT_TRUE(Xdo({"type", row.text}));
    EXPECT_TRUE(RunUntil([&] { return Bar().GetMatchText() == row.count; })) << Bar().GetMatchText();
    Keys("Escape");
    ASSERT_TRUE(RunUntil([&] { return !Bar().IsOpen() && PageHasFocus(); }));
    // The first key after the bar has closed reaches the page, though Ctrl+F left the engine with
    // Control pressed and never let go.
    for (const char* key : {row.keyAfterEsc, "Return"}) {
      if (key == nullptr) continue;
      Keys(key);
      Settle(200);  // a reader's pace
    }
    EXPECT_TRUE(WaitFor(Uri(dir / row.follows))) << ShownUri();
    Command(ID_BACK_BROWSER);
    ASSERT_TRUE(WaitFor(Uri(dir / "index.html")));
  }

  // The count belongs to the page it was made on.
  Keys("ctrl+f");
  ASSERT_TRUE(RunUntil([&] { return Bar().GetMatchText() == "2 matches"; })) << Bar().GetMatchText();
  Keys("alt+Right");
  ASSERT_TRUE(WaitFor(Uri(dir / "gamma.html")));
  EXPECT_EQ(Bar().GetMatchText(), "");
  Keys("Escape");
}

// How many of the page's visible pixels have the colour, as the engine draws them.
int PixelsOf(const Gdk::RGBA& colour) {
  struct Shot {
    bool done = false;
    cairo_surface_t* surface = nullptr;
  } shot;
  webkit_web_view_get_snapshot(
      Engine(), WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_INCLUDE_SELECTION_HIGHLIGHTING, nullptr,
      +[](GObject* view, GAsyncResult* result, gpointer data) {
        auto* s = static_cast<Shot*>(data);
        s->surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
        s->done = true;
      },
      &shot);
  if (!RunUntil([&] { return shot.done; }) || shot.surface == nullptr) return -1;
  cairo_surface_flush(shot.surface);
  const int width = cairo_image_surface_get_width(shot.surface), height = cairo_image_surface_get_height(shot.surface);
  const int stride = cairo_image_surface_get_stride(shot.surface);
  const unsigned char* data = cairo_image_surface_get_data(shot.surface);
  const auto near = [](unsigned char byte, double part) { return std::abs(int(byte) - int(part * 255 + 0.5)) <= 8; };
  int count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* pixel = data + y * stride + x * 4;  // B, G, R, A
      count +=
          near(pixel[0], colour.get_blue()) && near(pixel[1], colour.get_green()) && near(pixel[2], colour.get_red());
    }
  cairo_surface_destroy(shot.surface);
  return count;
}

// The program's own pages (a folder's listing, a missing file's page, the guide) follow the theme
// into the dark, as pages that ask for it do.
TEST_F(InTheView, TheProgramsOwnPagesFollowADarkTheme) {
  TempDir dir;
  mkdir((dir / "folder").c_str(), 0700);
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));
  struct Case {
    const char* what;
    std::function<void()> show;
  };
  const Case cases[] = {
      {"folder page", [&] { View()->GetControl()->ShowFolder(dir / "folder", 0); }},
      {"missing file", [&] { View()->Navigate2(dir / "missing.html"); }},
      {"guide", [&] { View()->Navigate2(SOURCE_DIR "/guide/index.html"); }},
  };
  const Gdk::RGBA white("#ffffff");
  const Glib::RefPtr<Gtk::Settings> settings = Gtk::Settings::get_default();
  for (const bool dark : {false, true}) {
    settings->property_gtk_application_prefer_dark_theme() = dark;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (dark ? ", dark" : ", light"));
      const std::string before = ShownUri();
      c.show();
      ASSERT_TRUE(RunUntil([&] { return ShownUri() != before && !webkit_web_view_is_loading(Engine()); }));
      // Mostly white in the light, hardly any white in the dark.
      if (dark)
        EXPECT_TRUE(RunUntil([&] { return PixelsOf(white) < 10000; })) << PixelsOf(white);
      else
        EXPECT_TRUE(RunUntil([&] { return PixelsOf(white) > 500000; })) << PixelsOf(white);
    }
  }
  settings->property_gtk_application_prefer_dark_theme() = false;
}

// While the find bar has the keyboard, the match is drawn in the theme's selection colour, not in the
// faint one of a window part without the focus.
TEST_F(InTheView, TheMatchIsDrawnInTheThemesSelectionColourWhileFinding) {
  TempDir dir;
  TempDir::Write(dir / "index.html", "<p style='font-size:60px'>a platypus here</p>");
  ASSERT_TRUE(OpenFolder(dir));
  Gdk::RGBA selected;
  ASSERT_TRUE(Bar().GetEntry().get_style_context()->lookup_color("theme_selected_bg_color", selected));
  EXPECT_LT(PixelsOf(selected), 50);

  Keys("ctrl+f");
  ASSERT_TRUE(RunUntil([&] { return Bar().IsOpen() && Bar().GetEntry().has_focus(); }));
  EXPECT_TRUE(Xdo({"type", "platypus"}));
  ASSERT_TRUE(RunUntil([&] { return Bar().GetMatchText() == "1 match"; })) << Bar().GetMatchText();
  EXPECT_TRUE(RunUntil([&] { return PixelsOf(selected) > 2000; })) << PixelsOf(selected);
  Keys("Escape");
  ASSERT_TRUE(RunUntil([&] { return !Bar().IsOpen(); }));
}

TEST_F(InTheView, ZoomFollowsTheKeysAndTheWheelWithCtrl) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Zoom", {"p", "p"}));
  ASSERT_TRUE(OpenFolder(dir));
  PointAt(1);
  struct Step {
    const char* what;
    std::vector<std::string> xdo;
    double zoom;
  };
  const Step steps[] = {
      {"Ctrl+plus", {"key", "--clearmodifiers", "ctrl+plus"}, 1.1},
      {"Ctrl+equal", {"key", "--clearmodifiers", "ctrl+equal"}, 1.2},
      {"Ctrl+minus", {"key", "--clearmodifiers", "ctrl+minus"}, 1.1},
      {"Ctrl+0", {"key", "--clearmodifiers", "ctrl+0"}, 1.0},
      {"Ctrl+minus on the keypad", {"key", "--clearmodifiers", "ctrl+KP_Subtract"}, 0.9},
      {"Ctrl+wheel up twice", {"keydown", "ctrl", "click", "--repeat", "2", "4", "keyup", "ctrl"}, 1.1},
      {"Ctrl+wheel down", {"keydown", "ctrl", "click", "5", "keyup", "ctrl"}, 1.0},
      {"the wheel without Ctrl scrolls", {"click", "5"}, 1.0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_TRUE(Xdo(step.xdo));
    EXPECT_TRUE(RunUntil([&] { return std::abs(webkit_web_view_get_zoom_level(Engine()) - step.zoom) < 0.001; }))
        << webkit_web_view_get_zoom_level(Engine());
  }
  EXPECT_EQ(Message(), "Zoom 100%");
}

TEST_F(InTheView, F5ReloadsThePage) {
  TempDir dir;
  TempDir::Write(dir / "index.html",
                 "<script>document.title = 'Load ' + (sessionStorage.n = Number(sessionStorage.n || 0) + 1)</script>");
  ASSERT_TRUE(OpenFolder(dir));
  ASSERT_TRUE(RunUntil([] { return Title() == "Load 1"; })) << Title();
  Keys("F5");
  EXPECT_TRUE(RunUntil([] { return Title() == "Load 2"; })) << Title();
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(Title(), "Load 2") << "one reload per press";
}

TEST_F(InTheView, CopyKeysCopyTheSelectionAndLeaveTheClipboardAloneWithoutOne) {
  TempDir dir;
  // The page names each x pressed in its title (it handles keys in order, so once it has seen an
  // x pressed after a copy key, whatever that key made the engine do has been done), and the
  // length of its selection when that changes.
  TempDir::Write(
      dir / "index.html",
      "<title>Copy</title><p>words to copy<script>let n = 0;"
      "onkeydown = e => { if (e.key == 'x') document.title = 'x ' + ++n; };"
      "document.onselectionchange = () => { document.title = 'selected ' + getSelection().toString().length; };"
      "</script>");
  auto clipboard = [] {
    std::optional<std::string> text;
    Gtk::Clipboard::get()->request_text([&](const Glib::ustring& got) { text = got; });
    RunUntil([&] { return text.has_value(); });
    return text.value_or("(no answer)");
  };
  for (const char* copy : {"ctrl+c", "ctrl+Insert"}) {
    SCOPED_TRACE(copy);
    ASSERT_TRUE(OpenFolder(dir));  // nothing selected
    Gtk::Clipboard::get()->set_text("before");
    Keys(std::string(copy) + " x");
    ASSERT_TRUE(RunUntil([] { return Title() == "x 1"; })) << Title();
    EXPECT_EQ(clipboard(), "before");
    Keys("ctrl+a");
    ASSERT_TRUE(RunUntil([] { return Title() == "selected 13"; })) << Title();
    Keys(copy);
    EXPECT_TRUE(RunUntil([&] { return clipboard() == "words to copy"; })) << clipboard();
  }
}

TEST_F(InTheView, TheFocusGoesBackWhereItWasWhenTheFrameRegainsIt) {
  TempDir dir;
  TempDir::Write(dir / "index.html", "<title>Focus</title><p>text");
  ASSERT_TRUE(OpenFolder(dir));
  Gtk::Window other;
  auto awayAndBack = [&] {
    other.show();
    other.present();
    EXPECT_TRUE(RunUntil([&] { return other.has_toplevel_focus(); }));
    other.hide();
    MainFrame()->GetGtkWindow()->present();
    EXPECT_TRUE(RunUntil([&] { return MainFrame()->GetGtkWindow()->has_toplevel_focus(); }));
    ASSERT_TRUE(CaughtUp());
  };

  Control()->Perform(BrowserAction::find);
  ASSERT_TRUE(Bar().GetEntry().has_focus());
  awayAndBack();
  EXPECT_TRUE(Bar().GetEntry().has_focus()) << "the find bar's entry had it";

  Bar().Close();
  ASSERT_TRUE(PageHasFocus());
  awayAndBack();
  EXPECT_TRUE(PageHasFocus());
}

TEST_F(InTheView, TheControlCoversTheViewAfterEverySizeChange) {
  Gtk::Window* window = MainFrame()->GetGtkWindow();
  GtkWidget* control = GTK_WIDGET(Control()->gobj());
  for (auto [width, height] : {std::pair{900, 700}, {640, 480}, {1100, 900}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    window->resize(width, height);
    ASSERT_TRUE(RunUntil([&] { return window->get_width() == width && window->get_height() == height; }));
    GtkAllocation outer, inner;
    gtk_widget_get_allocation(control, &outer);
    gtk_widget_get_allocation(GTK_WIDGET(Engine()), &inner);
    const int left = inner.x - outer.x, top = inner.y - outer.y;
    const int right = outer.x + outer.width - inner.x - inner.width;
    const int bottom = outer.y + outer.height - inner.y - inner.height;
    EXPECT_EQ(left, right);
    EXPECT_EQ(top, bottom);
    EXPECT_LE(left, 2) << "no more than the sunken edge";
    EXPECT_LE(top, 2);
    EXPECT_GT(inner.width, width / 2);
  }
}

}  // namespace
