// Browsing in the content view on the real engine: status texts in the message pane, Back and
// Forward (commands, keys and mouse buttons), new windows, links to missing files, paths with
// awkward characters, locations handed to the desktop, the engine's file-access limits, and pages
// that misbehave.
#include <gtkmm/clipboard.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/window.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "DesktopHandler.h"
#include "PageDriver.h"
#include "core/CCmdUI.h"
#include "html/BrowserControl.h"
#include "html/BrowserTexts.h"
#include "html/PageWatchdog.h"
#include "html/PathLink.h"

namespace {

using namespace page;

class Browsing : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
};

// The widgets the engine shows over its page: the dialogs a page opened.
int WidgetsOver(WebKitWebView* engine) {
  int count = 0;
  gtk_container_forall(
      GTK_CONTAINER(engine),
      +[](GtkWidget* child, gpointer n) { *static_cast<int*>(n) += gtk_widget_get_visible(child); }, &count);
  return count;
}

bool Enabled(UINT id) {
  CCmdUI state;
  state.m_nID = id;
  state.DoUpdate(MainFrame(), true);
  return state.m_bEnabled;
}

TEST_F(Browsing, LinkAddressShowsWhileThePointerIsOnTheLinkAndLoadTextsFollow) {
  TempDir dir;
  mkdir((dir / "sub dir").c_str(), 0700);
  const std::string odd = dir / "sub dir/50% #1 \u00fc.html";
  TempDir::Write(odd, "<title>Odd</title>");
  TempDir::Write(dir / "index.html", Blocks("Links", {"a href=\"sub%20dir/50%25%20%231%20%C3%BC.html\"", "p", "p"}));
  ASSERT_TRUE(OpenFolder(dir));

  PointAt(1);
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(Message(), "Done") << "moving over text that is no link keeps the text";
  PointAt(0);
  EXPECT_TRUE(RunUntil([&] { return Message() == "file://" + odd; })) << Message();
  PointAt(1);
  EXPECT_TRUE(RunUntil([] { return Message().empty(); })) << Message();

  Click(0);
  ASSERT_TRUE(WaitFor(Uri(odd)));
  EXPECT_TRUE(RunUntil([] { return Title() == "Odd"; })) << Title();
  EXPECT_TRUE(RunUntil([] { return Message() == "Done"; })) << Message();
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
}

// The mapped pop-up menu's item with this label, or nullptr.
Gtk::MenuItem* PopupItem(const std::string& label) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    auto* menu = dynamic_cast<Gtk::Menu*>(window->get_child());
    if (menu == nullptr || !menu->get_mapped()) continue;
    for (Gtk::Widget* child : menu->get_children())
      if (auto* item = dynamic_cast<Gtk::MenuItem*>(child); item != nullptr && item->get_label() == label) return item;
  }
  return nullptr;
}

TEST_F(Browsing, AFolderLinkInTheViewersOwnFormShowsAndCopiesTheFoldersFileAddress) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Links", {"a href=\"" + PathLink::To(dir.Path()) + "\"", "p"}));
  ASSERT_TRUE(OpenFolder(dir));
  const std::string address = Uri(dir.Path());
  PointAt(0);
  EXPECT_TRUE(RunUntil([&] { return Message() == address; })) << Message();

  Gtk::Clipboard::get()->set_text("before");
  EXPECT_TRUE(Xdo({"click", "3"}));
  Gtk::MenuItem* copy = nullptr;
  ASSERT_TRUE(RunUntil([&] { return (copy = PopupItem("Copy Link Loc_ation")) != nullptr; }));
  copy->activate();
  static_cast<Gtk::Menu*>(copy->get_parent())->popdown();
  std::string copied;
  EXPECT_TRUE(RunUntil([&] {
    Gtk::Clipboard::get()->request_text([&](const Glib::ustring& text) { copied = text; });
    return copied == address;
  })) << copied;
}

TEST_F(Browsing, BackAndForwardStepOncePerCommandKeyOrButtonAndAreSilentAtTheEnds) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("A", {"a href=\"b.html\"", "p"}));
  TempDir::Write(dir / "b.html", Blocks("B", {"a href=\"c.html\"", "p"}));
  TempDir::Write(dir / "c.html", Blocks("C", {"p", "p"}));
  const std::string a = Uri(dir / "index.html"), b = Uri(dir / "b.html"), c = Uri(dir / "c.html");
  ASSERT_TRUE(OpenFolder(dir));
  Click(0);
  ASSERT_TRUE(WaitFor(b));
  Click(0);
  ASSERT_TRUE(WaitFor(c));
  PointAt(1);

  auto button = [](const char* number, const char* presses) {
    return [=] { EXPECT_TRUE(Xdo({"click", "--repeat", presses, "--delay", "40", number})); };
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    std::string shows;
  };
  const Step steps[] = {
      {"Back", [] { Command(ID_BACK_BROWSER); }, b},
      {"Alt+Left", [] { Keys("alt+Left"); }, a},
      {"Forward", [] { Command(ID_FORWARD_BROWSER); }, b},
      {"mouse forward button", button("9", "1"), c},
      {"Forward with no later page", [] { Command(ID_FORWARD_BROWSER); }, c},
      {"two quick presses of the mouse back button", button("8", "2"), a},
      {"Alt+Right twice", [] { Keys("alt+Right alt+Right"); }, c},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_TRUE(WaitFor(step.shows)) << ShownUri();
    ASSERT_TRUE(CaughtUp());  // a second, unwanted step would have started
    EXPECT_EQ(ShownUri(), step.shows);
    EXPECT_TRUE(Enabled(ID_BACK_BROWSER));
    EXPECT_TRUE(Enabled(ID_FORWARD_BROWSER));
  }

  // The first page of the history: Back goes nowhere and says nothing.
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(Engine());
  GList* earlier = webkit_back_forward_list_get_back_list(history);
  WebKitBackForwardListItem* first = webkit_back_forward_list_get_nth_item(history, -int(g_list_length(earlier)));
  g_list_free(earlier);
  const std::string firstUri = webkit_back_forward_list_item_get_uri(first);
  webkit_web_view_go_to_back_forward_list_item(Engine(), first);
  ASSERT_TRUE(WaitFor(firstUri));
  ASSERT_TRUE(RunUntil([] { return Message() == "Done"; }));
  Command(ID_BACK_BROWSER);
  EXPECT_FALSE(webkit_web_view_is_loading(Engine()));
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(ShownUri(), firstUri);
  EXPECT_EQ(Message(), "Done");
  EXPECT_TRUE(Enabled(ID_BACK_BROWSER));
}

// Two quick steps back, the second to a place in the page that the first has just begun to show:
// the page shows whole and the pane says it is done.
TEST_F(Browsing, TwoQuickStepsIntoAPageStillLoadingShowItWhole) {
  TempDir dir;
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "<p>line " + std::to_string(i) + "</p>";
  TempDir::Write(dir / "index.html",
                 Blocks("Long", {"p"}) + "<div id=s style='top:200px'>" + lines + "<p>the last line</p></div>");
  TempDir::Write(dir / "b.html", Blocks("B", {"p"}));
  const std::string a = Uri(dir / "index.html"), b = Uri(dir / "b.html");
  ASSERT_TRUE(OpenFolder(dir));
  const auto go = [](const std::string& uri) {
    View()->GetControl()->Navigate(uri);
    return RunUntil([&] { return Showing(uri); });
  };
  const auto step = [](UINT command, const std::string& to) {
    Command(command);
    const bool shown = RunUntil([&] { return Showing(to); });
    if (!shown) ADD_FAILURE() << "step to " << to << ": " << ShownUri();
    return shown;
  };
  // Back from b to the long page's section, and Forward from b to it, each in two quick steps.
  struct Case {
    const char* what;
    std::function<bool()> setUp;  // leaves b shown, the long page and its section a step and two away
    UINT command;
    std::string last;
  };
  const Case cases[] = {
      {"back", [&] { return go(a + "#s") && go(b); }, ID_BACK_BROWSER, a},
      {"forward",
       [&] { return go(b) && go(a) && go(a + "#s") && step(ID_BACK_BROWSER, a) && step(ID_BACK_BROWSER, b); },
       ID_FORWARD_BROWSER, a + "#s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(c.setUp()) << ShownUri();
    // The second press comes as soon as the first step's page is committed, long before it has loaded.
    struct Pending {
      UINT command;
      bool sent = false;
    } pending{c.command};
    auto committed = +[](WebKitWebView*, WebKitLoadEvent event, Pending* p) {
      if (event == WEBKIT_LOAD_COMMITTED && !std::exchange(p->sent, true)) Command(p->command);
    };
    const gulong handler = g_signal_connect(Engine(), "load-changed", G_CALLBACK(committed), &pending);
    Command(c.command);
    EXPECT_TRUE(RunUntil([&] { return pending.sent && Showing(c.last); })) << ShownUri();
    g_signal_handler_disconnect(Engine(), handler);
    EXPECT_EQ(CountText("the last line"), 1u) << "the page stopped half loaded";
    EXPECT_TRUE(RunUntil([] { return Message() == "Done"; })) << Message();
  }
}

// Tab past the last link goes round to the first, Shift+Tab before the first to the last: there is
// no stop on the page itself, where nothing would show the focus. A page with nothing to focus
// takes Tab without going round for good.
TEST_F(Browsing, TabGoesRoundThePagesLinksWithoutAnInvisibleStop) {
  TempDir dir;
  // The page names its focused element in its title.
  const std::string focused =
      "<script>setInterval(() => { const e = document.activeElement;"
      " document.title = e.tagName === 'A' ? e.textContent : e.tagName }, 20)</script>";
  TempDir::Write(dir / "index.html", "<p><a href=a.html>a</a> <a href=b.html>b</a></p>" + focused);
  TempDir::Write(dir / "none.html", "<p>No links</p>" + focused);
  ASSERT_TRUE(OpenFolder(dir));
  struct Case {
    const char* key;
    const char* focused;
  };
  const Case cases[] = {{"Tab", "a"},       {"Tab", "b"},       {"Tab", "a"},      {"Tab", "b"},
                        {"shift+Tab", "a"}, {"shift+Tab", "b"}, {"shift+Tab", "a"}};
  for (const Case& c : cases) {
    Keys(c.key);
    EXPECT_TRUE(RunUntil([&] { return Title() == c.focused; }, 3000)) << c.key << ": " << Title();
    ASSERT_TRUE(CaughtUp());  // and it stays there
    EXPECT_EQ(Title(), c.focused) << c.key;
  }

  View()->Navigate2(dir / "none.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "none.html")));
  for (int i = 0; i < 3; ++i) Keys("Tab");
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(Title(), "BODY");
  // The keyboard still reaches the page.
  Keys("alt+Left");
  EXPECT_TRUE(WaitFor(Uri(dir / "index.html")));
}

// A link followed from the keyboard has the focus again when Back returns to its page, on a page of
// the folder and on the program's own folder page, so that Tab goes on to the next link.
TEST_F(Browsing, BackGivesTheFocusBackToTheLinkFollowed) {
  TempDir dir;
  mkdir((dir / "list").c_str(), 0700);
  for (const char* name : {"a.html", "b.html", "c.html"}) {
    TempDir::Write(dir / name, std::string("<title>") + name + "</title>");
    TempDir::Write(dir / ("list/" + std::string(name)), std::string("<title>") + name + "</title>");
  }
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  TempDir::Write(dir / "links.html", "<p><a href=a.html>a</a> <a href=b.html>b</a> <a href=c.html>c</a></p>");
  ASSERT_TRUE(OpenFolder(dir));
  const auto focused = [] {
    return Evaluated("(e => e.tagName === 'A' ? e.textContent : e.tagName)(document.activeElement)");
  };
  struct Case {
    const char* what;
    std::function<void()> show;
    const char* follow;
    std::string reaches;
    const char* next;
  };
  const Case cases[] = {
      {"a page", [&] { View()->Navigate2(dir / "links.html"); }, "b", Uri(dir / "b.html"), "c"},
      {"the folder page", [&] { View()->GetControl()->ShowFolder(dir / "list", 0); }, "b.html",
       Uri(dir / "list/b.html"), "c.html"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = ShownUri();
    c.show();
    ASSERT_TRUE(RunUntil([&] { return ShownUri() != before && !webkit_web_view_is_loading(Engine()); }));
    const std::string page = ShownUri();
    for (int tabs = 0; tabs < 6 && focused() != c.follow; ++tabs) {
      Keys("Tab");
      ASSERT_TRUE(CaughtUp());
    }
    ASSERT_EQ(focused(), c.follow);
    Keys("Return");
    ASSERT_TRUE(WaitFor(c.reaches)) << ShownUri();
    Command(ID_BACK_BROWSER);
    ASSERT_TRUE(WaitFor(page)) << ShownUri();
    EXPECT_TRUE(RunUntil([&] { return focused() == c.follow; }, 3000)) << focused();
    Keys("Tab");
    EXPECT_TRUE(RunUntil([&] { return focused() == c.next; }, 3000)) << focused();
  }
}

TEST_F(Browsing, NewWindowsOpenInTheSameView) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"a href=\"b.html\" target=\"_blank\"",
                                                      "a href=\"#\" onclick=\"window.open('b.html'); return false\"",
                                                      "a href=\"b.html\" target=\"elsewhere\""}));
  TempDir::Write(dir / "b.html", "<title>B</title>");
  ASSERT_TRUE(OpenFolder(dir));
  const auto windows = Gtk::Window::list_toplevels().size();
  for (int link : {0, 1, 2}) {
    SCOPED_TRACE(link);
    Click(link);
    EXPECT_TRUE(WaitFor(Uri(dir / "b.html")));
    EXPECT_EQ(Gtk::Window::list_toplevels().size(), windows);
    Command(ID_BACK_BROWSER);
    ASSERT_TRUE(WaitFor(Uri(dir / "index.html")));
  }
}

TEST_F(Browsing, LinkToAMissingFileShowsItsPathAndAWayBack) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"a href=\"gone/no%20such%20%3Cpage%3E.html#part\""}));
  ASSERT_TRUE(OpenFolder(dir));
  const std::string path = dir / "gone/no such <page>.html";
  const std::string text = "Cannot open " + path + ": there is no such file";

  Click(0);
  ASSERT_TRUE(RunUntil([] { return ShowingTitle("Cannot open page"); }));
  EXPECT_EQ(CountText(path), 1u);
  EXPECT_EQ(Message(), text);
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(Message(), text) << "the text stays";

  Keys("Tab Return");  // the page's way back
  EXPECT_TRUE(WaitFor(Uri(dir / "index.html")));
  EXPECT_TRUE(RunUntil([] { return Message() == "Done"; })) << Message();
}

TEST_F(Browsing, StartPagesInFoldersWithAwkwardNamesLoad) {
  TempDir parent;
  for (const char* name : {"with space", "hash#dir", "per%25cent", "per%cent", "\u00fcml\u00e4ut", "bytes \xff\xfe"}) {
    SCOPED_TRACE(name);
    const std::string folder = parent / name;
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    TempDir::Write(folder + "/index.html", "<title>Loaded</title>");
    ASSERT_EQ(chdir(folder.c_str()), 0);
    Command(ID_FILE_NEW);
    if (g_utf8_validate(name, -1, nullptr)) {
      EXPECT_TRUE(WaitFor(Uri(folder + "/index.html"))) << ShownUri();
      EXPECT_TRUE(RunUntil([] { return Title() == "Loaded"; })) << Title();
      EXPECT_TRUE(RunUntil([] { return Message() == "Done"; })) << Message();
    } else {  // the engine reads no such path; the page and the message pane say so
      EXPECT_TRUE(RunUntil([] { return ShowingTitle("Cannot open page"); }));
      EXPECT_EQ(CountText(BrowserTexts::Path(folder)), 1u);
      EXPECT_NE(Message().find("not valid UTF-8"), std::string::npos) << Message();
      ASSERT_TRUE(CaughtUp());
      EXPECT_NE(Message().find("not valid UTF-8"), std::string::npos) << Message();
    }
  }
}

TEST_F(Browsing, LocationsTheEngineCannotShowGoToTheDesktop) {
  DesktopHandler handler;
  TempDir dir;
  TempDir::Write(dir / "archive.zip", std::string("PK\x03\x04", 4) + "not much of an archive");
  TempDir::Write(dir / "index.html", Blocks("Start", {"a href=\"mailto:someone@example.com\"", "a href=\"archive.zip\"",
                                                      "a href=\"mailto:other@example.com\" target=\"_blank\"",
                                                      "a href=\"x-folioscope-nothing:thing\""}));
  ASSERT_TRUE(OpenFolder(dir));
  const std::string start = Uri(dir / "index.html");

  std::string caught;
  // A local file reaches the handler as a path.
  for (auto [link, uri] : {std::pair{0, std::string("mailto:someone@example.com")},
                           {1, dir / "archive.zip"},
                           {2, std::string("mailto:other@example.com")}}) {
    SCOPED_TRACE(uri);
    caught += uri + "\n";
    Click(link);
    EXPECT_TRUE(RunUntil([&] { return handler.Caught() == caught; })) << handler.Caught();
    EXPECT_NE(Message().find("in another application"), std::string::npos) << Message();
    EXPECT_EQ(ShownUri(), start);
    EXPECT_EQ(Title(), "Start");
  }

  Click(3);
  EXPECT_TRUE(RunUntil([] { return Message().rfind("Cannot open x-folioscope-nothing:thing: ", 0) == 0; }))
      << Message();
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(ShownUri(), start);
  EXPECT_EQ(Title(), "Start");

  // Pages that go there by themselves launch nothing; the refusal is said where the engine asks
  // (a window a page opens by itself the engine never asks for).
  struct ByItself {
    const char* what;
    std::string html;
    bool said;
  };
  const ByItself byThemselves[] = {
      {"refresh", "<meta http-equiv=refresh content=\"0;url=archive.zip\">", true},
      {"script", "<script>location = 'archive.zip'</script>", true},
      {"script's click", "<a id=a href=archive.zip>zip</a><script>document.getElementById('a').click()</script>", true},
      {"window", "<script>window.open('archive.zip')</script>", false},
      {"mail", "<script>location = 'mailto:someone@example.com'</script>", true},
      {"refresh to a mail address", "<meta http-equiv=refresh content=\"0;url=mailto:a@example.com\">", true},
  };
  int n = 0;
  for (const ByItself& row : byThemselves) {
    SCOPED_TRACE(row.what);
    // A page of its own name: the one before it said the same.
    const std::string page = dir / ("self" + std::to_string(++n) + ".html");
    TempDir::Write(page, "<title>Self</title>" + row.html);
    View()->Navigate2(page);
    ASSERT_TRUE(WaitFor(Uri(page)));
    if (row.said) {
      EXPECT_TRUE(RunUntil([] { return Message().find("without a click or a key") != std::string::npos; }))
          << Message();
    }
    ASSERT_TRUE(CaughtUp());
    EXPECT_EQ(handler.Caught(), caught);
    EXPECT_EQ(ShownUri(), Uri(page));
  }
}

TEST_F(Browsing, PagesFromFilesCannotReadOtherFiles) {
  TempDir dir;
  TempDir::Write(dir / "secret.txt", "secret");
  TempDir::Write(dir / "index.html",
                 "<title>Start</title><script>"
                 "function read(url) {"
                 "  try { const x = new XMLHttpRequest(); x.open('GET', url, false); x.send(); return x.responseText; }"
                 "  catch (e) { return 'blocked'; } }"
                 "document.title = [read('secret.txt'), read('" +
                     Uri(dir / "secret.txt") +
                     "'), read('file:///etc/passwd')].join(' ');"
                     "</script>");
  ASSERT_TRUE(OpenFolder(dir));
  EXPECT_TRUE(RunUntil([] { return Title() == "blocked blocked blocked"; })) << Title();
}

// A server on this machine that accepts connections and never answers.
class SilentServer {
 public:
  SilentServer() : m_service(g_socket_service_new()) {
    m_port = g_socket_listener_add_any_inet_port(G_SOCKET_LISTENER(m_service), nullptr, nullptr);
    g_signal_connect(m_service, "incoming",
                     G_CALLBACK(+[](GSocketService*, GSocketConnection* connection, GObject*,
                                    std::vector<GSocketConnection*>* held) {
                       held->push_back(G_SOCKET_CONNECTION(g_object_ref(connection)));
                       return TRUE;
                     }),
                     &m_held);
    g_socket_service_start(m_service);
  }
  ~SilentServer() {
    g_socket_service_stop(m_service);
    g_socket_listener_close(G_SOCKET_LISTENER(m_service));
    for (GSocketConnection* connection : m_held) g_object_unref(connection);
    g_object_unref(m_service);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/never"; }

 private:
  GSocketService* m_service;
  std::vector<GSocketConnection*> m_held;
  guint16 m_port = 0;
};

TEST_F(Browsing, MisbehavingPagesLeaveTheViewerResponsive) {
  SilentServer server;
  TempDir dir;
  mkfifo((dir / "fifo").c_str(), 0600);
  TempDir::Write(dir / "never.html", "<title>Never</title><img src=\"" + server.Url() + "\">");
  TempDir::Write(dir / "windows.html",
                 Blocks("Windows", {"button onclick=\"for (let i = 0; i < 100; i++) window.open('plain.html')\""}) +
                     "<script>for (let i = 0; i < 100; i++) window.open('plain.html')</script>");
  TempDir::Write(dir / "broken.html", "<title>Broken</title><img src=\"nothing.png\"><img src=\"data:image/png,xx\">");
  TempDir::Write(dir / "throws.html", "<title>Throws</title><script>throw new Error('boom')</script>");
  TempDir::Write(dir / "redirect.html",
                 "<title>Redirect</title><meta http-equiv=refresh content=\"0;url=redirect.html\">");
  TempDir::Write(dir / "fifolink.html",
                 Blocks("FIFO link", {"a href=\"fifo\"", "a href=\"fifo?x\"", "a href=\"file:///dev/zero?x#y\""}));
  TempDir::Write(dir / "plain.html", "<title>Plain</title>");
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));

  struct Case {
    const char* page;
    std::function<void()> then;
  };
  const Case cases[] = {
      {"never.html", [] { EXPECT_TRUE(webkit_web_view_is_loading(Engine())); }},
      {"windows.html", [] { Click(0); }},
      {"broken.html", [] {}},
      {"throws.html", [] {}},
      {"redirect.html", [] {}},
      {"fifolink.html",
       [&] {
         for (auto [link, path] : {std::pair{0, dir / "fifo"}, {1, dir / "fifo"}, {2, std::string("/dev/zero")}}) {
           Click(link);
           EXPECT_TRUE(RunUntil([&] { return Message() == "Cannot open " + path + ": it is not a regular file"; }))
               << Message();
           View()->Navigate2(dir / "fifolink.html");
           EXPECT_TRUE(RunUntil([] { return Message() == "Done"; })) << Message();
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    View()->Navigate2(dir / c.page);
    EXPECT_TRUE(RunUntil([&] { return ShownUri() == Uri(dir / c.page); }));
    Settle(1000);
    c.then();
    EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
    // Still answering: the next page loads as usual.
    View()->Navigate2(dir / "plain.html");
    EXPECT_TRUE(WaitFor(Uri(dir / "plain.html")));
    EXPECT_TRUE(RunUntil([] { return Title() == "Plain"; })) << Title();
  }
}

// Whether a process is there and not yet ended.
bool Running(pid_t pid) {
  const std::string stat = TempDir::Read("/proc/" + std::to_string(pid) + "/stat");  // pid (name) state
  const std::size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Pages whose process stops answering: Back and File New (File Open takes the same way) still take
// the view to the next page within a second or two, and the frame goes on answering.
TEST_F(Browsing, HungPagesNeverKeepTheView) {
  TempDir dir;
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  TempDir::Write(dir / "plain.html", "<title>Plain</title>");
  ASSERT_TRUE(OpenFolder(dir));
  const std::string back = "Back", fileNew = "File New";
  struct Case {
    const char* what;
    std::string html;
    bool click;  // a click in the page first
    const std::string& leave;
  };
  const Case cases[] = {
      {"endless script while parsing", "<script>for (;;);</script>", false, fileNew},
      {"endless script after the load", "<body onload=\"setTimeout(() => { for (;;); }, 100)\">", false, back},
      {"endless javascript: link", Blocks("", {"a href=\"javascript:for(;;);\""}), true, back},
      {"alert loop", "<script>for (;;) alert('again')</script>", false, back},
      {"confirm and prompt loop", "<script>for (;;) { confirm('sure?'); prompt('name?') }</script>", false, fileNew},
      {"beforeunload trap",
       Blocks("", {"p"}) +
           "<script>onbeforeunload = e => { e.preventDefault(); return e.returnValue = 'stay' }</script>",
       true, back},
      {"100,000-deep element tree",
       "<script>let e = document.body || document.documentElement; for (let i = 0; i < 100000; i++) "
       "e = e.appendChild(document.createElement('div')); document.title = 'Deep'</script>",
       false, back},
      {"200 MB document.write", "<script>document.write('<p>' + 'x'.repeat(200e6))</script>", false, fileNew},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    View()->Navigate2(dir / "plain.html");
    ASSERT_TRUE(WaitFor(Uri(dir / "plain.html")));
    TempDir::Write(dir / "hostile.html", "<title>Hostile</title>" + c.html);
    View()->Navigate2(dir / "hostile.html");
    EXPECT_TRUE(RunUntil([&] { return ShownUri() == Uri(dir / "hostile.html"); }));
    Settle(500);
    if (c.click) Click(0);
    Settle(300);

    // The view goes on its way to the next page, or the page's process is ended; a new page process
    // then takes a while to start on a busy machine.
    const std::vector<pid_t> before = PageProcesses();
    const gint64 start = g_get_monotonic_time();
    Command(&c.leave == &back ? UINT(ID_BACK_BROWSER) : UINT(ID_FILE_NEW));
    const std::string next = Uri(dir / (&c.leave == &back ? "plain.html" : "index.html"));
    EXPECT_TRUE(RunUntil([&] { return ShownUri() == next || !std::ranges::all_of(before, Running); }))
        << (g_get_monotonic_time() - start) / 1000 << " ms";
    EXPECT_TRUE(RunUntil([&] { return Showing(next); }, 6000))
        << ShownUri() << " after " << (g_get_monotonic_time() - start) / 1000 << " ms";
    if (!std::ranges::all_of(before, Running)) {
      EXPECT_TRUE(RunUntil([] { return Message() == BrowserTexts::EndedNotAnswering(); })) << Message();
    }
    EXPECT_TRUE(RunUntil([] { return Title() == "Plain" || Title() == "Start"; })) << Title();
    // Nothing of the ended page stays over the view (its dialog would take the pointer's events).
    EXPECT_EQ(WidgetsOver(Engine()), 0);
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
    EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
  }
}

// The page process gets longer to answer only while assistive technology can reach the program: its
// accessibility bridge on, and a bus named in the environment or announced on the root window (as
// the bus's launcher does).
TEST_F(Browsing, ThePageProcessGetsLongerToAnswerOnlyWhileOnAnAccessibilityBus) {
  GdkWindow* root = gdk_get_default_root_window();
  const GdkAtom announced = gdk_atom_intern_static_string("AT_SPI_BUS");
  const std::string address = "unix:path=/nonexistent/at-spi-bus";
  struct Row {
    const char* what;
    const char* bridgeOff;  // NO_AT_BRIDGE, or nullptr for none
    bool onRootWindow;
    bool inEnvironment;
    guint answerMs;
  };
  const Row rows[] = {
      {"no bus", nullptr, false, false, PageWatchdog::kAnswerMs},
      {"bus announced on the root window", nullptr, true, false, PageWatchdog::kAssistedAnswerMs},
      {"bus named in the environment", nullptr, false, true, PageWatchdog::kAssistedAnswerMs},
      {"bus there, bridge switched off", "1", true, true, PageWatchdog::kAnswerMs},
      {"bus there, bridge variable not 1", "0", true, false, PageWatchdog::kAssistedAnswerMs},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.onRootWindow)
      gdk_property_change(root, announced, gdk_atom_intern_static_string("STRING"), 8, GDK_PROP_MODE_REPLACE,
                          reinterpret_cast<const guchar*>(address.data()), int(address.size()));
    if (row.inEnvironment) setenv("AT_SPI_BUS_ADDRESS", address.c_str(), 1);
    if (row.bridgeOff != nullptr) {
      setenv("NO_AT_BRIDGE", row.bridgeOff, 1);
    } else {
      unsetenv("NO_AT_BRIDGE");
    }
    EXPECT_EQ(PageWatchdog::AnswerMs(), row.answerMs);
    gdk_property_delete(root, announced);
    unsetenv("AT_SPI_BUS_ADDRESS");
  }
  setenv("NO_AT_BRIDGE", "1", 1);  // as the tests run
}

// A page that takes more memory than the engine may give one page is ended and a page says so.
TEST_F(Browsing, APageThatTakesTooMuchMemoryIsEndedAndSaysSo) {
  TempDir dir;
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  TempDir::Write(dir / "greedy.html",
                 "<title>Greedy</title><script>const kept = []; "
                 "setInterval(() => kept.push('x'.repeat(256 << 20)), 10)"
                 "</script>");
  ASSERT_TRUE(OpenFolder(dir));
  View()->Navigate2(dir / "greedy.html");
  const Gtk::Label& stopped = View()->GetControl()->GetStoppedPage();
  EXPECT_TRUE(RunUntil([&] { return stopped.get_visible(); }, 120000));
  EXPECT_NE(stopped.get_text().find("Page too large"), std::string::npos) << stopped.get_text();
  EXPECT_NE(stopped.get_text().find(dir / "greedy.html"), std::string::npos) << stopped.get_text();
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(Engine())));
  EXPECT_EQ(Message(), "The page stopped: it needed more memory than the browser engine may use");
  Command(ID_BACK_BROWSER);
  EXPECT_TRUE(WaitFor(Uri(dir / "index.html")));
  EXPECT_TRUE(RunUntil([] { return Title() == "Start" && Message() == "Done"; })) << Message();
  EXPECT_FALSE(stopped.get_visible());
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(Engine())));
}

TEST_F(Browsing, DevicesAndFifosInAPageAreRefused) {
  TempDir dir;
  mkfifo((dir / "fifo").c_str(), 0600);
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  // A one-pixel image, to show that regular files still load.
  TempDir::Write(dir / "dot.gif", std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!"
                                              "\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01"
                                              "\x00\x00\x02\x02D\x01\x00;",
                                              43));
  TempDir::Write(dir / "devices.html",
                 "<title>Devices</title><script>let refused = 0, loaded = 0;"
                 "function tell() { document.title = refused + ' refused, ' + loaded + ' loaded' }</script>"
                 "<img src=\"file:///dev/zero\" onerror=\"refused++, tell()\">"
                 "<img src=\"file:///dev/zero?x\" onerror=\"refused++, tell()\">"
                 "<img src=\"fifo\" onerror=\"refused++, tell()\">"
                 "<link rel=stylesheet href=\"file:///dev/urandom\" onerror=\"refused++, tell()\">"
                 "<script async src=\"fifo?y\" onerror=\"refused++, tell()\"></script>"
                 "<iframe src=\"file:///dev/zero\"></iframe>"
                 "<img src=\"dot.gif\" onload=\"loaded++, tell()\">");
  ASSERT_TRUE(OpenFolder(dir));
  View()->Navigate2(dir / "devices.html");
  // Refused with the page sandbox on too, where the FIFO is hidden from the page process.
  EXPECT_TRUE(RunUntil([] { return Title() == "5 refused, 1 loaded"; })) << Title();
  View()->Navigate2(dir / "index.html");
  EXPECT_TRUE(RunUntil([] { return Title() == "Start"; })) << Title();
}

TEST_F(Browsing, AFiftyMegabytePageLoadsWhileTheViewerGoesOn) {
  TempDir dir;
  const std::string paragraph = "<p>" + std::string(1000, 'x') + "</p>\n";
  std::string big = "<title>Big</title>";
  while (big.size() < (50u << 20)) big += paragraph;
  TempDir::Write(dir / "big.html", big);
  TempDir::Write(dir / "plain.html", "<title>Plain</title>");
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));

  View()->Navigate2(dir / "big.html");
  EXPECT_TRUE(RunUntil([] { return Message().rfind("Loading ", 0) == 0; })) << Message();
  EXPECT_TRUE(RunUntil([] { return ShowingTitle("Big"); }, 180000));
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
  View()->Navigate2(dir / "plain.html");
  EXPECT_TRUE(RunUntil([&] { return ShownUri() == Uri(dir / "plain.html") && Title() == "Plain"; }, 60000));
}

TEST_F(Browsing, WhenThePageProcessDiesTheViewerSaysSoAndGoesOn) {
  TempDir dir;
  TempDir::Write(dir / "index.html", Blocks("Start", {"a href=\"b.html\""}));
  TempDir::Write(dir / "b.html", "<title>B</title>");
  ASSERT_TRUE(OpenFolder(dir));
  // Clicked once the page answers the pointer over its link (after heavier tests it may take a while).
  PointAt(0);
  ASSERT_TRUE(RunUntil([] { return Message().find("b.html") != std::string::npos; })) << Message();
  EXPECT_TRUE(Xdo({"click", "1"}));
  ASSERT_TRUE(WaitFor(Uri(dir / "b.html")));

  const std::vector<pid_t> pages = PageProcesses();
  ASSERT_FALSE(pages.empty());
  for (pid_t pid : pages) kill(pid, SIGKILL);
  EXPECT_TRUE(RunUntil([] { return Message() == "The page stopped: the browser engine ended unexpectedly"; }))
      << Message();
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
  Command(ID_BACK_BROWSER);
  EXPECT_TRUE(WaitFor(Uri(dir / "index.html")));
  EXPECT_TRUE(RunUntil([] { return Title() == "Start" && Message() == "Done"; })) << Message();
}

}  // namespace
