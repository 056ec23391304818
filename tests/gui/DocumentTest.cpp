// File New, Open, Save and Save As in the running program: the real GTK file chooser and message
// boxes, answered by finding them on screen; real files in temporary folders; the engine's page
// showing whether the view's initial update ran.
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>
#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <algorithm>

#include "PageDriver.h"
#include "doc/CDocument.h"

namespace {

using page::CurrentDir;
using page::Engine;
using page::Uri;
using page::View;

// Answers, from the main loop, the dialogs a command shows while it waits in them. A step returns
// its dialog and its action once that dialog is showing. A dialog no step expects, or a step whose
// dialog never comes, is cancelled so that the command returns, and noted in Problems().
class DialogScript {
 public:
  struct Found {
    Gtk::Dialog* dialog = nullptr;
    std::function<void()> act;
  };
  using Step = std::function<Found()>;
  explicit DialogScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
    m_source = g_timeout_source_new(50);
    g_source_set_can_recurse(m_source, TRUE);  // a step's action may itself wait in a dialog
    g_source_set_callback(m_source, &DialogScript::Tick, this, nullptr);
    g_source_attach(m_source, nullptr);
    m_deadline = g_get_monotonic_time() + 20 * G_USEC_PER_SEC;
  }
  ~DialogScript() {
    g_source_destroy(m_source);
    g_source_unref(m_source);
  }
  std::string Problems() const {
    return m_next < m_steps.size() ? m_problems + "step " + std::to_string(m_next) + " not reached; " : m_problems;
  }

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<DialogScript*>(data);
    if (self->m_next < self->m_steps.size()) {
      if (Found found = self->m_steps[self->m_next](); found.dialog) {
        ++self->m_next;
        self->m_deadline = g_get_monotonic_time() + 20 * G_USEC_PER_SEC;
        self->m_answered.push_back(found.dialog->gobj());
        found.act();
      } else if (g_get_monotonic_time() > self->m_deadline) {
        self->m_problems += "step " + std::to_string(self->m_next) + " found no dialog; ";
        self->m_next = self->m_steps.size() + 1;
        self->CancelAll();
      }
    } else {
      // An answered dialog may take a moment to go (the chooser checks a name before it ends).
      self->CancelAll(g_get_monotonic_time() > self->m_deadline);
    }
    return G_SOURCE_CONTINUE;
  }
  void CancelAll(bool answeredToo = true) {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window); dialog && dialog->get_visible()) {
        if (!answeredToo && std::count(m_answered.begin(), m_answered.end(), dialog->gobj())) continue;
        m_problems += "unexpected dialog \"" + dialog->get_title() + "\"; ";
        dialog->response(Gtk::RESPONSE_CANCEL);
      }
  }

  std::vector<Step> m_steps;
  size_t m_next = 0;
  std::string m_problems;
  std::vector<GtkDialog*> m_answered;
  GSource* m_source;
  gint64 m_deadline;
};

template <class Dialog>
Dialog* Showing(const std::string& title) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (auto* dialog = dynamic_cast<Dialog*>(window); dialog && dialog->get_visible() && dialog->get_title() == title)
      return dialog;
  return nullptr;
}

// A chooser showing, once it has settled: it reads its folder in the background, with a busy
// cursor, and a name typed before that is done may be lost.
Gtk::FileChooserDialog* ShowingChooser(const std::string& title) {
  auto* chooser = Showing<Gtk::FileChooserDialog>(title);
  if (!chooser || chooser->get_current_folder().empty() || !chooser->get_realized()) return nullptr;
  return gdk_window_get_cursor(chooser->get_window()->gobj()) == nullptr ? chooser : nullptr;
}

void Click(Gtk::Dialog* dialog, int response) {
  if (auto* button = dynamic_cast<Gtk::Button*>(dialog->get_widget_for_response(response))) button->clicked();
}

struct ChooserSeen {
  Gtk::FileChooserAction action{};
  std::vector<std::string> filters;
  std::string folder, name;
  bool asksBeforeReplacing = false;
};

ChooserSeen See(Gtk::FileChooserDialog* chooser) {
  ChooserSeen seen{
      chooser->get_action(), {}, chooser->get_current_folder(), "", chooser->get_do_overwrite_confirmation()};
  for (const auto& filter : chooser->list_filters()) seen.filters.push_back(filter->get_name());
  if (seen.action == Gtk::FILE_CHOOSER_ACTION_SAVE) seen.name = chooser->get_current_name();
  return seen;
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

// Types text into the chooser's name box (GTK's own typing action) and presses its accept button;
// with no text, accepts the name it proposes.
DialogScript::Step Type(const std::string& title, const std::string& text, ChooserSeen* seen = nullptr) {
  return [=]() -> DialogScript::Found {
    auto* chooser = ShowingChooser(title);
    if (!chooser) return {};
    return {chooser, [=] {
              if (seen) *seen = See(chooser);
              if (!text.empty())
                g_signal_emit_by_name(ChooserWidget(GTK_WIDGET(chooser->gobj())), "location-popup", text.c_str());
              Click(chooser, Gtk::RESPONSE_ACCEPT);
            }};
  };
}

DialogScript::Step Cancel(const std::string& title) {
  return [=]() -> DialogScript::Found {
    auto* chooser = ShowingChooser(title);
    if (!chooser) return {};
    return {chooser, [=] { Click(chooser, Gtk::RESPONSE_CANCEL); }};
  };
}

struct BoxSeen {
  std::string text;
  Gtk::MessageType type{};
  bool waitCursor = false;  // the main window showed a busy cursor behind the box
};

bool MainWindowHasCursor() {
  return gdk_window_get_cursor(gtk_widget_get_window(GTK_WIDGET(MainFrame()->GetGtkWindow()->gobj()))) != nullptr;
}

// Answers the message box with the title (the program's boxes are titled "FOLIOSCP"; the
// chooser's replace question has none).
DialogScript::Step Answer(const std::string& title, int response, BoxSeen* seen = nullptr) {
  return [=]() -> DialogScript::Found {
    auto* box = Showing<Gtk::MessageDialog>(title);
    if (!box) return {};
    return {
        box, [=] {
          if (seen)
            *seen = {box->property_text().get_value(), box->property_message_type().get_value(), MainWindowHasCursor()};
          box->response(response);
        }};
  };
}

std::string Command(UINT command, std::vector<DialogScript::Step> steps = {}) {
  DialogScript script(std::move(steps));
  MainFrame()->SendMessage(WM_COMMAND, command);
  return script.Problems();
}

CDocument* Doc() { return MainFrame()->GetActiveDocument(); }
// Waits until the engine shows the file at path, completely loaded.
bool Shows(const std::string& path) { return page::WaitFor(Uri(path)); }

// Leaves the start page for another, so that a return to the start page shows.
bool LeaveStartPage(const TempDir& dir) {
  TempDir::Write(dir / "elsewhere.html", "<title>Elsewhere</title>");
  View()->Navigate2(dir / "elsewhere.html");  // as the view itself goes, not as a page's own load
  return Shows(dir / "elsewhere.html");
}

std::string StartPage() { return CurrentDir() + "/index.html"; }

class Document : public testing::Test {
 protected:
  void SetUp() override {
    StartOnce();
    ASSERT_EQ(Command(ID_FILE_NEW), "");
    m_startDir = CurrentDir();
  }
  void TearDown() override { EXPECT_EQ(CurrentDir(), m_startDir) << "no dialog changes the folder"; }
  std::string m_startDir;
};

TEST_F(Document, OpenTakesTheNameReadsNothingAndReturnsToTheStartPage) {
  TempDir dir;
  TempDir::Write(dir / "notes #1.txt", "notes");
  ASSERT_EQ(symlink("notes #1.txt", (dir / "link").c_str()), 0);
  ASSERT_TRUE(LeaveStartPage(dir));

  ChooserSeen seen;
  EXPECT_EQ(Command(ID_FILE_OPEN, {Type("Open", dir / "notes #1.txt", &seen)}), "");
  EXPECT_EQ(seen.action, Gtk::FILE_CHOOSER_ACTION_OPEN);
  EXPECT_EQ(seen.filters, std::vector<std::string>{"All Files (*.*)"});
  EXPECT_EQ(seen.folder, m_startDir);
  EXPECT_EQ(Doc()->GetPathName(), dir / "notes #1.txt");
  EXPECT_EQ(Doc()->GetTitle(), "notes #1.txt");
  EXPECT_TRUE(Shows(StartPage()));
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
  EXPECT_EQ(TempDir::Read(dir / "notes #1.txt"), "notes");

  // The same file again, here through a link: nothing reloaded, the view keeps its page.
  ASSERT_TRUE(LeaveStartPage(dir));
  EXPECT_EQ(Command(ID_FILE_OPEN, {Type("Open", dir / "link")}), "");
  EXPECT_EQ(Doc()->GetPathName(), dir / "notes #1.txt");
  RunUntil([] { return false; }, 300);
  EXPECT_TRUE(Shows(dir / "elsewhere.html"));

  // A name that names nothing is refused over the dialog, which stays; then Cancel changes nothing.
  BoxSeen missing;
  EXPECT_EQ(Command(ID_FILE_OPEN,
                    {Type("Open", dir / "missing"), Answer("FOLIOSCP", Gtk::RESPONSE_OK, &missing), Cancel("Open")}),
            "");
  EXPECT_EQ(missing.text, dir / "missing was not found.");
  EXPECT_EQ(Doc()->GetPathName(), dir / "notes #1.txt");
  EXPECT_TRUE(Shows(dir / "elsewhere.html"));

  // File New forgets the name and shows the start page again.
  EXPECT_EQ(Command(ID_FILE_NEW), "");
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Doc()->GetTitle(), "FOLIOSCOPE");
  EXPECT_TRUE(Shows(StartPage()));
}

TEST_F(Document, FailedOpenShowsTheCauseAndChangesNothing) {
  TempDir dir;
  ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
  ASSERT_TRUE(LeaveStartPage(dir));
  BoxSeen box;
  EXPECT_EQ(Command(ID_FILE_OPEN, {Type("Open", dir / "loop"), Answer("FOLIOSCP", Gtk::RESPONSE_OK, &box)}), "");
  EXPECT_EQ(box.text, dir / "loop contains an invalid path.");
  EXPECT_EQ(box.type, Gtk::MESSAGE_WARNING);
  EXPECT_TRUE(box.waitCursor);
  EXPECT_FALSE(MainWindowHasCursor());
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Doc()->GetTitle(), "FOLIOSCOPE");
  EXPECT_FALSE(Doc()->IsModified());
  RunUntil([] { return false; }, 300);
  EXPECT_TRUE(Shows(dir / "elsewhere.html"));
}

TEST_F(Document, SaveAsProposesANameAsksBeforeReplacingAndWritesAnEmptyFile) {
  TempDir dir;
  TempDir::Write(dir / "data.txt", "pages of data");

  // Untitled: Save goes on as Save As, proposing the title in the current folder.
  ChooserSeen seen;
  const std::string typed = dir / "typed #1 %20";
  EXPECT_EQ(Command(ID_FILE_SAVE, {Type("Save As", typed, &seen)}), "");
  EXPECT_EQ(seen.action, Gtk::FILE_CHOOSER_ACTION_SAVE);
  EXPECT_EQ(seen.name, "FOLIOSCOPE");
  EXPECT_EQ(seen.folder, m_startDir);
  EXPECT_EQ(seen.filters, std::vector<std::string>{"All Files (*.*)"});
  EXPECT_TRUE(seen.asksBeforeReplacing);
  struct stat st {};
  ASSERT_EQ(stat(typed.c_str(), &st), 0) << "named exactly as typed, no extension added";
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(Doc()->GetPathName(), typed);
  EXPECT_EQ(Doc()->GetTitle(), "typed #1 %20");

  // A second Save writes the file again without a dialog.
  EXPECT_EQ(Command(ID_FILE_SAVE), "");

  // Replacing a file is asked first; declining returns to the chooser.
  EXPECT_EQ(Command(ID_FILE_SAVE_AS,
                    {Type("Save As", dir / "data.txt"), Answer("", Gtk::RESPONSE_CANCEL), Cancel("Save As")}),
            "");
  EXPECT_EQ(TempDir::Read(dir / "data.txt"), "pages of data");
  EXPECT_EQ(Doc()->GetPathName(), typed);

  // Save after opening a file that holds data: the Save As dialog proposes its full path, and
  // only the confirmed replacement empties it.
  EXPECT_EQ(Command(ID_FILE_OPEN, {Type("Open", dir / "data.txt")}), "");
  EXPECT_EQ(Command(ID_FILE_SAVE, {Type("Save As", "", &seen), Answer("", Gtk::RESPONSE_ACCEPT)}), "");
  EXPECT_EQ(seen.folder, dir.Path());
  EXPECT_EQ(seen.name, "data.txt");
  EXPECT_EQ(TempDir::Read(dir / "data.txt"), "");
  EXPECT_EQ(Doc()->GetPathName(), dir / "data.txt");
}

TEST_F(Document, FailedSaveShowsTheCauseAndChangesNothing) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
  BoxSeen box;
  EXPECT_EQ(Command(ID_FILE_SAVE_AS, {Type("Save As", dir / "fifo"), Answer("", Gtk::RESPONSE_ACCEPT),
                                      Answer("FOLIOSCP", Gtk::RESPONSE_OK, &box)}),
            "");
  EXPECT_EQ(box.text, "Access to " + (dir / "fifo") + " was denied.");
  EXPECT_EQ(box.type, Gtk::MESSAGE_WARNING);
  EXPECT_TRUE(box.waitCursor);
  EXPECT_FALSE(MainWindowHasCursor());
  struct stat st {};
  ASSERT_EQ(lstat((dir / "fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Doc()->GetTitle(), "FOLIOSCOPE");
}

// Last: it ends the program.
TEST_F(Document, EndingAsksNoQuestionAfterAnyCommands) {
  TempDir dir;
  TempDir::Write(dir / "data.txt", "pages of data");
  EXPECT_EQ(Command(ID_FILE_OPEN, {Type("Open", dir / "data.txt")}), "");
  EXPECT_EQ(Command(ID_FILE_SAVE, {Cancel("Save As")}), "");
  DialogScript none({});
  EXPECT_TRUE(MainFrame()->SendMessage(WM_QUERYENDSESSION));
  MainFrame()->SendMessage(WM_CLOSE);
  EXPECT_EQ(none.Problems(), "");
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
  EXPECT_EQ(TempDir::Read(dir / "data.txt"), "pages of data");
}

}  // namespace
