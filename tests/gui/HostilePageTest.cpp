// Pages that try to act without the reader: hand files to the desktop through the program's own
// link form, start downloads, keep Back, reload or another page from leaving them. A page may do
// none of it; what the reader asks for still happens, on the real engine.
#include <gtkmm/button.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/window.h>
#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <utility>

#include "DesktopHandler.h"
#include "PageDriver.h"
#include "content/StartPage.h"
#include "html/BrowserControl.h"
#include "html/PathLink.h"

namespace {

using namespace page;

class HostilePages : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
};

constexpr char kRefused[] = "without a click or a key";

TEST_F(HostilePages, OnlyAClickOnAGeneratedPageFollowsTheProgramsOwnPathLinks) {
  DesktopHandler handler;
  TempDir dir;
  const std::string zip = dir / "bundle.zip";
  TempDir::Write(zip, std::string("PK\x03\x04", 4) + "archive");
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));
  const std::string link = PathLink::To(zip), folder = PathLink::To("/usr/");
  const std::pair<const char*, std::string> pages[] = {
      {"script", "<script>location = '" + link + "'</script>"},
      {"refresh", "<meta http-equiv=refresh content=\"0;url=" + link + "\">"},
      {"script-made frame", "<script>const f = document.createElement('iframe'); f.src = '" + link +
                                "'; document.documentElement.appendChild(f)</script>"},
      {"frame of a folder", "<iframe src=\"" + folder + "\"></iframe>"},
      {"a click on a page that is not generated", Blocks("", {"a href=\"" + link + "\""})},
  };
  int n = 0;
  for (const auto& [what, html] : pages) {
    SCOPED_TRACE(what);
    // A page of its own name: the one before it is loaded and said the same.
    const std::string page = dir / ("self" + std::to_string(++n) + ".html");
    TempDir::Write(page, "<title>Self</title>" + html);
    View()->Navigate2(page);
    ASSERT_TRUE(WaitFor(Uri(page)));
    if (std::string(what).starts_with("a click")) Click(0);
    EXPECT_TRUE(RunUntil([] { return Message().find(kRefused) != std::string::npos; })) << Message();
    ASSERT_TRUE(CaughtUp());
    EXPECT_EQ(handler.Caught(), "");
    EXPECT_EQ(ShownUri(), Uri(page));
  }
}

// Answers, from a timer that also runs inside a dialog's own loop, the dialogs that show: each step
// takes the first visible dialog it wants and answers it.
class DialogAnswers {
 public:
  using Step = std::function<bool(Gtk::Dialog&)>;
  explicit DialogAnswers(std::vector<Step> steps) : m_steps(std::move(steps)) {
    m_source = g_timeout_source_new(50);
    g_source_set_can_recurse(m_source, TRUE);
    g_source_set_callback(m_source, &DialogAnswers::Tick, this, nullptr);
    g_source_attach(m_source, nullptr);
  }
  ~DialogAnswers() {
    g_source_destroy(m_source);
    g_source_unref(m_source);
  }
  bool Done() const { return m_next == m_steps.size(); }

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<DialogAnswers*>(data);
    if (self->Done()) return G_SOURCE_CONTINUE;
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window); dialog && dialog->get_visible() && dialog->get_realized())
        if (self->m_steps[self->m_next](*dialog)) {
          ++self->m_next;
          break;
        }
    return G_SOURCE_CONTINUE;
  }
  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  GSource* m_source;
};

void Respond(Gtk::Dialog& dialog, int response) {
  if (auto* button = dynamic_cast<Gtk::Button*>(dialog.get_widget_for_response(response))) button->clicked();
}

GtkWidget* ChooserWidget(GtkWidget* widget) {
  if (GTK_IS_FILE_CHOOSER_WIDGET(widget)) return widget;
  GtkWidget* found = nullptr;
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child && !found; child = child->next) found = ChooserWidget(GTK_WIDGET(child->data));
    g_list_free(children);
  }
  return found;
}

// The save dialog once it has settled: seen gets the folder and name it proposes; with a path, it is
// typed and accepted, without one the dialog is cancelled.
DialogAnswers::Step SaveAs(const std::string& path, std::pair<std::string, std::string>* seen = nullptr) {
  return [=](Gtk::Dialog& dialog) {
    auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(&dialog);
    if (!chooser || chooser->get_current_folder().empty() ||
        gdk_window_get_cursor(chooser->get_window()->gobj()) != nullptr)
      return false;
    if (seen) *seen = {chooser->get_current_folder(), chooser->get_current_name()};
    if (path.empty()) {
      Respond(dialog, Gtk::RESPONSE_CANCEL);
    } else {
      g_signal_emit_by_name(ChooserWidget(GTK_WIDGET(chooser->gobj())), "location-popup", path.c_str());
      Respond(dialog, Gtk::RESPONSE_ACCEPT);
    }
    return true;
  };
}

// The question before a file is replaced, answered with response.
DialogAnswers::Step ReplaceQuestion(int response, bool* seen) {
  return [=](Gtk::Dialog& dialog) {
    if (dynamic_cast<Gtk::FileChooserDialog*>(&dialog) != nullptr) return false;
    *seen = true;
    dialog.response(response);
    return true;
  };
}

// Whether any file in folder has a name that begins with prefix.
bool AnyFile(const std::string& folder, const std::string& prefix) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  bool found = false;
  while (const char* name = dir ? g_dir_read_name(dir) : nullptr)
    found = found || g_str_has_prefix(name, prefix.c_str());
  if (dir) g_dir_close(dir);
  return found;
}

TEST_F(HostilePages, APageStartsNoDownloadAndTheReadersGoThroughTheSaveDialog) {
  TempDir dir, saved;
  const std::string home = g_get_home_dir();
  const char* special = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  const std::string downloads = special && g_file_test(special, G_FILE_TEST_IS_DIR) ? special : home;
  const std::string prefix = "folioscope-victim-" + std::to_string(getpid());
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));

  auto download = [&](const std::string& href, const std::string& name) {
    return "const a = document.createElement('a'); a.href = " + href + "; a.download = '" + prefix + name +
           "'; document.documentElement.appendChild(a); a.click();";
  };
  const std::pair<const char*, std::string> scripts[] = {
      {"blob", download("URL.createObjectURL(new Blob(['owned']))", ".txt")},
      {"data", download("'data:application/octet-stream,owned'", ".sh")},
      {"blobs in a loop", "let n = 0; setInterval(() => { if (n++ < 5) { " +
                              download("URL.createObjectURL(new Blob(['again']))", ".loop") + " } }, 100);"},
  };
  int n = 0;
  for (const auto& [what, script] : scripts) {
    SCOPED_TRACE(what);
    const std::string page = dir / ("self" + std::to_string(++n) + ".html");
    TempDir::Write(page, "<title>Self</title><script>" + script + "</script>");
    View()->Navigate2(page);
    EXPECT_TRUE(RunUntil([&] { return ShownUri() == Uri(page) && Message().rfind("Not saving ", 0) == 0; }))
        << Message();
    EXPECT_NE(Message().find(kRefused), std::string::npos) << Message();
    Settle(800);
    EXPECT_FALSE(AnyFile(home, prefix));
    EXPECT_FALSE(AnyFile(downloads, prefix));
  }

  // The reader's click on a download link (the engine honours the attribute for the page's own blob:
  // addresses): the save dialog proposes the link's name where downloads go.
  TempDir::Write(
      dir / "links.html",
      Blocks("Links", {"a id=d download=\"c10.html\""}) +
          "<script style=\"display:none\">d.href = URL.createObjectURL(new Blob(['<title>C10</title>']))</script>");
  View()->Navigate2(dir / "links.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "links.html")));
  const std::string target = saved / "c10.html";
  std::pair<std::string, std::string> seen;
  {
    DialogAnswers answers({SaveAs(target, &seen)});
    Click(0);
    EXPECT_TRUE(RunUntil([&] { return Message() == "Saved as " + target; })) << Message();
    EXPECT_TRUE(answers.Done());
  }
  EXPECT_EQ(seen, std::pair(downloads, std::string("c10.html")));
  EXPECT_EQ(TempDir::Read(target), "<title>C10</title>");

  // A file that is there is replaced only after the question; declining it keeps the file.
  TempDir::Write(target, "mine");
  bool asked = false;
  {
    DialogAnswers answers({SaveAs(target), ReplaceQuestion(Gtk::RESPONSE_CANCEL, &asked), SaveAs("")});
    Click(0);
    EXPECT_TRUE(RunUntil([&] { return Message() == "Not saved: c10.html"; })) << Message();
    EXPECT_TRUE(answers.Done());
  }
  EXPECT_TRUE(asked);
  EXPECT_EQ(TempDir::Read(target), "mine");
}

// A folder with a start page, a plain page to come back to and an archive the engine cannot show,
// shown from its start.
bool OpenTrapFolder(const TempDir& dir) {
  TempDir::Write(dir / "bundle.zip", std::string("PK\x03\x04", 4) + "archive");
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  TempDir::Write(dir / "plain.html", "<title>Plain</title>");
  return OpenFolder(dir);
}

// Shows plain.html, then trap.html holding html, and leaves it by leave: the view must reach next.
// A trapped view never leaves; the time a step takes is the bench's business, so the bound is loose
// enough for a busy machine.
void LeaveTrap(const TempDir& dir, const std::string& html, const std::function<void()>& leave,
               const std::string& next) {
  View()->Navigate2(dir / "plain.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "plain.html")));
  TempDir::Write(dir / "trap.html", "<title>Trap</title>" + html);
  View()->Navigate2(dir / "trap.html");
  ASSERT_TRUE(RunUntil([&] { return ShownUri().starts_with(Uri(dir / "trap.html")); }));
  Settle(500);
  const gint64 start = g_get_monotonic_time();
  leave();
  EXPECT_TRUE(RunUntil([&] { return ShownUri() == next; }, 5000))
      << ShownUri() << " after " << (g_get_monotonic_time() - start) / 1000 << " ms";
  EXPECT_TRUE(WaitFor(next));
}

// A step the reader asks for leaves within a second, however the page tries to stay.
TEST_F(HostilePages, NoPageKeepsTheReaderFromLeaving) {
  DesktopHandler handler;
  TempDir dir;
  ASSERT_TRUE(OpenTrapFolder(dir));
  const std::string start = Uri(dir / "index.html"), plain = Uri(dir / "plain.html");
  struct Case {
    const char* what;
    std::string html;
    std::function<void()> leave;
    std::string next;
  };
  const std::string retry = "<script>setInterval(() => location = 'bundle.zip', 5)</script>";
  const std::string mail = "<script>setInterval(() => location = 'mailto:a@example.com', 5)</script>";
  const std::string popstate =
      "<script>let n = 0; history.pushState({}, '', '#trap');"
      " onpopstate = () => history.pushState({}, '', '#trap' + ++n)</script>";
  const Case cases[] = {
      {"refused location every 5 ms, File New", retry, [] { Command(ID_FILE_NEW); }, start},
      {"mail address every 5 ms, Alt+Left", mail, [] { Keys("alt+Left"); }, plain},
      {"new state on every Back", popstate, [] { Command(ID_BACK_BROWSER); }, plain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LeaveTrap(dir, c.html, c.leave, c.next);
  }
  EXPECT_EQ(handler.Caught(), "");

  // F5 reloads such a page within a second, as it does any page.
  TempDir::Write(dir / "trap.html", "<title>Trap</title>" + retry);
  View()->Navigate2(dir / "trap.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "trap.html")));
  Settle(500);
  bool committed = false;
  const gulong watch = g_signal_connect(
      Engine(), "load-changed",
      G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent e, bool* c) { *c = *c || e == WEBKIT_LOAD_COMMITTED; }),
      &committed);
  Keys("F5");
  const gint64 pressed = g_get_monotonic_time();
  EXPECT_TRUE(RunUntil([&] { return committed; }, 5000)) << (g_get_monotonic_time() - pressed) / 1000 << " ms";
  EXPECT_TRUE(RunUntil([&] { return ShownUri() == Uri(dir / "trap.html") && Title() == "Trap"; })) << ShownUri();
  g_signal_handler_disconnect(Engine(), watch);
}

// Back from a page that sets a refused file location every 5 ms: the engine moves its history entry
// before the page before is loaded, and the page's next retry must not stop that load.
TEST_F(HostilePages, BackLeavesAPageThatRetriesARefusedFileLocation) {
  DesktopHandler handler;
  TempDir dir;
  ASSERT_TRUE(OpenTrapFolder(dir));
  LeaveTrap(
      dir, "<script>setInterval(() => location = 'bundle.zip', 5)</script>", [] { Command(ID_BACK_BROWSER); },
      Uri(dir / "plain.html"));
  // The history is as it was: the start before, the page left after.
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(Engine());
  ASSERT_NE(webkit_back_forward_list_get_back_item(history), nullptr);
  EXPECT_EQ(webkit_back_forward_list_item_get_uri(webkit_back_forward_list_get_back_item(history)),
            Uri(dir / "index.html"));
  ASSERT_NE(webkit_back_forward_list_get_forward_item(history), nullptr);
  EXPECT_EQ(webkit_back_forward_list_item_get_uri(webkit_back_forward_list_get_forward_item(history)),
            Uri(dir / "trap.html"));
  EXPECT_EQ(handler.Caught(), "");
}

// A script's top-level data: address is blocked by the engine; the status says so rather than
// waiting for a page that never comes.
TEST_F(HostilePages, ABlockedDataAddressLeavesNoPageOpening) {
  TempDir dir;
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));
  TempDir::Write(dir / "data.html",
                 "<title>Data</title><script>setTimeout(() => location = 'data:text/html,<p>x', 200)</script>");
  View()->Navigate2(dir / "data.html");
  ASSERT_TRUE(WaitFor(Uri(dir / "data.html")));
  EXPECT_TRUE(RunUntil([] { return Message().rfind("Cannot open data:", 0) == 0; })) << Message();
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(ShownUri(), Uri(dir / "data.html"));
  EXPECT_NE(Message(), "Opening page...");
}

// The program's folder pages, made slowly (as for a huge folder) and counted.
class SlowFolderPages : public FolderPages {
 public:
  FolderPage Find(const std::string& dir, std::size_t first) const override {
    ++m_made;
    g_usleep(700 * 1000);
    return StartPage().Find(dir, first);
  }
  int Made() const { return m_made; }

 private:
  mutable std::atomic<int> m_made = 0;
};

// A folder's page takes its time to make, and a page asks for it every millisecond: the window
// goes on answering, the page is made once, and it shows.
TEST_F(HostilePages, AFolderPageIsMadeWithoutHoldingUpTheWindow) {
  TempDir dir;
  mkdir((dir / "big").c_str(), 0700);
  TempDir::Write(dir / "index.html", "<title>Start</title>");
  ASSERT_TRUE(OpenFolder(dir));
  static const StartPage program;
  static SlowFolderPages slow;
  FolderPages::Use(slow);
  gint64 longest = 0, last = g_get_monotonic_time();
  const gint64 end = last + 300 * 1000;
  while (g_get_monotonic_time() < end) {
    View()->GetControl()->ShowFolder(dir / "big", 0);
    g_main_context_iteration(nullptr, FALSE);
    const gint64 now = g_get_monotonic_time();
    longest = std::max(longest, now - last);
    last = now;
    g_usleep(1000);
  }
  EXPECT_LT(longest, 500 * 1000) << "the window was held up";  // a listing made on the main loop takes 700 ms
  EXPECT_TRUE(RunUntil([&] { return ShowingTitle("big"); })) << Title();
  EXPECT_EQ(slow.Made(), 1);
  FolderPages::Use(program);
}

}  // namespace
