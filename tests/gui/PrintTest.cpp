// Print: the page shown goes to the engine's print operation and the real GTK print dialog, which
// the tests answer on screen as a user would, choosing the file printer and a PDF file.
#include <gtk/gtkunixprint.h>
#include <gtkmm/window.h>

#include <functional>

#include "PageDriver.h"
#include "html/BrowserControl.h"

namespace {

using namespace page;

// The print dialog on the screen, or nullptr; there is never more than one.
GtkPrintUnixDialog* ShownDialog() {
  GtkPrintUnixDialog* dialog = nullptr;
  int shown = 0;
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item != nullptr; item = item->next)
    if (GTK_IS_PRINT_UNIX_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
      dialog = GTK_PRINT_UNIX_DIALOG(item->data);
      ++shown;
    }
  g_list_free(windows);
  EXPECT_LE(shown, 1);
  return dialog;
}

const char* FilePrinterName() { return g_dgettext("gtk30", "Print to File"); }

// The first tree view inside widget: the print dialog's list of printers.
GtkTreeView* PrinterList(GtkWidget* widget) {
  if (GTK_IS_TREE_VIEW(widget)) return GTK_TREE_VIEW(widget);
  GtkTreeView* found = nullptr;
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child != nullptr && found == nullptr; child = child->next)
      found = PrinterList(GTK_WIDGET(child->data));
    g_list_free(children);
  }
  return found;
}

// Chooses the file printer with a PDF at outputUri in the dialog, and the page set-up when one is given.
// The dialog takes a printer's options from new settings only when that printer becomes selected:
// a printer selected already is unselected first, as a click elsewhere in the list would.
void ChooseFilePrinter(GtkPrintUnixDialog* dialog, const std::string& outputUri, GtkPageSetup* page = nullptr) {
  if (gtk_print_unix_dialog_get_selected_printer(dialog) != nullptr)
    if (GtkTreeView* list = PrinterList(GTK_WIDGET(dialog)))
      gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(list));
  GtkPrintSettings* settings = gtk_print_settings_new();
  gtk_print_settings_set_printer(settings, FilePrinterName());
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, outputUri.c_str());
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_unix_dialog_set_settings(dialog, settings);
  g_object_unref(settings);
  if (page != nullptr) gtk_print_unix_dialog_set_page_setup(dialog, page);
}

bool FilePrinterSelected(GtkPrintUnixDialog* dialog) {
  GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog);
  return printer != nullptr && g_strcmp0(gtk_printer_get_name(printer), FilePrinterName()) == 0;
}

// A landscape page set-up, on the given paper or the default one; the caller unrefs it.
GtkPageSetup* LandscapePage(const char* paperName = nullptr) {
  GtkPageSetup* page = gtk_page_setup_new();
  if (paperName != nullptr) {
    GtkPaperSize* paper = gtk_paper_size_new(paperName);
    gtk_page_setup_set_paper_size(page, paper);
    gtk_paper_size_free(paper);
  }
  gtk_page_setup_set_orientation(page, GTK_PAGE_ORIENTATION_LANDSCAPE);
  return page;
}

// Answers the print dialog once it shows: the file printer, a PDF at outputUri, OK; or Cancel.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::string outputUri, bool print = true) : m_uri(std::move(outputUri)), m_print(print) {
    m_source = g_timeout_add(50, &DialogAnswer::Tick, this);
  }
  ~DialogAnswer() {
    if (m_source != 0) g_source_remove(m_source);
  }
  bool Seen() const { return m_seen; }
  int Count() const { return m_count; }  // dialogs answered

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<DialogAnswer*>(data);
    if (GtkPrintUnixDialog* dialog = ShownDialog()) self->Answer(dialog);
    return G_SOURCE_CONTINUE;
  }

  void Answer(GtkPrintUnixDialog* dialog) {
    m_seen = true;
    if (dialog != m_last) ++m_count;
    m_last = dialog;
    if (!m_print) {
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
      return;
    }
    if (!m_chosen) {
      ChooseFilePrinter(dialog, m_uri);
      m_chosen = true;
      return;
    }
    if (FilePrinterSelected(dialog)) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  }

  std::string m_uri;
  bool m_print;
  bool m_seen = false;
  bool m_chosen = false;
  int m_count = 0;
  GtkPrintUnixDialog* m_last = nullptr;
  guint m_source = 0;
};

// The standard output of a command run on pdf.
std::string Run(const char* tool, const std::string& pdf, const char* more = nullptr) {
  gchar* out = nullptr;
  const gchar* argv[] = {tool, pdf.c_str(), more, nullptr};
  g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out, nullptr,
               nullptr, nullptr);
  std::string text = out ? out : "";
  g_free(out);
  return text;
}

std::string PdfText(const std::string& pdf) { return Run("pdftotext", pdf, "-"); }
std::string PdfInfo(const std::string& pdf) { return Run("pdfinfo", pdf); }

class Printing : public testing::Test {
 protected:
  void SetUp() override {
    StartOnce();
    TempDir::Write(m_pages / "index.html", "<title>Printed</title><p>Words on the printed page");
    ASSERT_TRUE(OpenFolder(m_pages));
    ASSERT_TRUE(RunUntil([] { return Title() == "Printed"; })) << Title();  // it comes after the load
  }
  TempDir m_pages;
  TempDir m_out;
};

TEST_F(Printing, PrintSendsThePageShownToThePrinterChosenInTheDialog) {
  const std::string pdf = m_out / "page one.pdf";
  {
    DialogAnswer answer(Uri(pdf));
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(answer.Seen());
  }
  ASSERT_TRUE(RunUntil([&] { return TempDir::Read(pdf).ends_with("%%EOF\n"); })) << "no finished PDF";
  EXPECT_NE(PdfText(pdf).find("Words on the printed page"), std::string::npos) << PdfText(pdf);
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
}

TEST_F(Printing, CancellingTheDialogPrintsNothing) {
  const std::string pdf = m_out / "never.pdf";
  {
    DialogAnswer answer(Uri(pdf), false);
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(answer.Seen());
  }
  ASSERT_TRUE(CaughtUp());
  EXPECT_FALSE(g_file_test(pdf.c_str(), G_FILE_TEST_EXISTS));
  EXPECT_TRUE(RunUntil([] { return Message() == "Done"; }, 3000)) << Message();  // no printing text
}

TEST_F(Printing, APrintThatFailsSaysWhyInTheMessagePane) {
  {
    DialogAnswer answer(Uri(m_out / "no such folder/page.pdf"));
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(answer.Seen());
  }
  EXPECT_TRUE(RunUntil([] { return Message().rfind("Printing failed: ", 0) == 0; })) << Message();
}

TEST_F(Printing, APageMayAskToPrintOnlyAfterAClickOrAKeyAndOnlyOnce) {
  TempDir::Write(
      m_pages / "index.html",
      "<script>print(); print()</script>" +
          Blocks("Asks", {"button onclick=\"for (let i = 0; i < 50; i++) print(); document.title = 'Asked'\""}));
  DialogAnswer answer(Uri(m_out / "never.pdf"), false);
  Command(ID_FILE_NEW);
  ASSERT_TRUE(WaitFor(Uri(m_pages / "index.html")));
  EXPECT_TRUE(RunUntil([] { return Message().find("asked to print") != std::string::npos; })) << Message();
  ASSERT_TRUE(CaughtUp());  // the page's script has run to its end
  EXPECT_EQ(answer.Count(), 0) << "no dialog on load";

  Click(0);
  EXPECT_TRUE(RunUntil([] { return Title() == "Asked"; })) << Title();
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(answer.Count(), 1) << "one dialog for one click";
  EXPECT_EQ(MainFrame()->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
}

TEST(PrintingFromAPage, TheCloseBoxWorksWhileThePrintDialogIsUp) {
  BrowserEvents host;
  Gtk::Window window;
  window.set_default_size(600, 400);
  window.move(0, 0);
  auto* control = Gtk::make_managed<BrowserControl>(host, false);
  window.add(*control);
  window.show_all();
  window.present();
  int closeAsked = 0;
  window.signal_delete_event().connect([&](GdkEventAny*) {
    ++closeAsked;
    return true;  // kept, so that the test can see it was asked
  });
  TempDir pages;
  TempDir::Write(pages / "index.html", Blocks("Asks", {"button onclick=\"print()\""}));
  control->Navigate(Uri(pages / "index.html"));
  ASSERT_TRUE(RunUntil([&] { return ShowingTitle("Asks", control->GetWebView()); }));

  // The close box, pressed while the dialog is up, as the window manager delivers it.
  struct Press {
    GtkWidget* window;
    bool done = false;
  } press{GTK_WIDGET(window.gobj())};
  const guint source = g_timeout_add(
      50,
      +[](gpointer data) -> gboolean {
        auto* press = static_cast<Press*>(data);
        if (press->done || ShownDialog() == nullptr) return G_SOURCE_CONTINUE;
        GdkEvent* event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(press->window)));
        gdk_event_put(event);
        gdk_event_free(event);
        press->done = true;
        return G_SOURCE_CONTINUE;
      },
      &press);
  Click(0, control->GetWebView());
  EXPECT_TRUE(RunUntil([&] { return closeAsked == 1 && ShownDialog() == nullptr; })) << closeAsked;
  EXPECT_TRUE(press.done);
  g_source_remove(source);
}

// Runs step on the visible print dialog every 50 ms until it returns true. A dialog that step has
// not finished with after 30 s is cancelled, so that a test fails instead of waiting for ever.
class OnPrintDialog {
 public:
  explicit OnPrintDialog(std::function<bool(GtkPrintUnixDialog*)> step) : m_step(std::move(step)) {
    m_source = g_timeout_add(50, &OnPrintDialog::Tick, this);
  }
  ~OnPrintDialog() {
    if (m_source != 0) g_source_remove(m_source);
  }
  bool Done() const { return m_source == 0 && !m_late; }

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<OnPrintDialog*>(data);
    GtkPrintUnixDialog* dialog = ShownDialog();
    if (dialog == nullptr) return G_SOURCE_CONTINUE;
    self->m_late = g_get_monotonic_time() > self->m_deadline;
    if (self->m_late) {
      ADD_FAILURE() << "the print dialog was still up after 30 s: cancelled";
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    } else if (!self->m_step(dialog)) {
      return G_SOURCE_CONTINUE;
    }
    self->m_source = 0;
    return G_SOURCE_REMOVE;
  }
  std::function<bool(GtkPrintUnixDialog*)> m_step;
  guint m_source = 0;
  gint64 m_deadline = g_get_monotonic_time() + 30 * G_USEC_PER_SEC;
  bool m_late = false;
};

// Confirms the print dialog as it opens, once it shows the file printer (the one chosen before).
bool ConfirmFilePrinter(GtkPrintUnixDialog* dialog) {
  if (!FilePrinterSelected(dialog)) return false;
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  return true;
}

// Chooses the file printer with a PDF at outputUri in the print dialog, then confirms it.
std::function<bool(GtkPrintUnixDialog*)> PrintTo(const std::string& outputUri) {
  return [outputUri, chosen = false](GtkPrintUnixDialog* dialog) mutable {
    if (!chosen) {
      ChooseFilePrinter(dialog, outputUri);
      chosen = true;
      return false;
    }
    return ConfirmFilePrinter(dialog);
  };
}

bool Printed(const std::string& pdf) {
  return RunUntil([&] { return TempDir::Read(pdf).ends_with("%%EOF\n"); });
}

TEST_F(Printing, PrintStartsWithThePrinterAndPageSetUpChosenInPrintSetup) {
  const std::string pdf = m_out / "Printed.pdf";  // the page's title, in the folder chosen in Print Setup
  std::string confirm;
  {
    // Print Setup: the file printer with a PDF file, landscape, confirmed with its own button.
    bool chosen = false;
    OnPrintDialog setup([&](GtkPrintUnixDialog* dialog) {
      if (!chosen) {
        GtkPageSetup* page = LandscapePage();
        ChooseFilePrinter(dialog, Uri(m_out / "set up.pdf"), page);
        g_object_unref(page);
        chosen = true;
        return false;
      }
      if (!FilePrinterSelected(dialog)) return false;
      GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
      confirm = gtk_button_get_label(GTK_BUTTON(button));
      gtk_button_clicked(GTK_BUTTON(button));
      return true;
    });
    Command(ID_FILE_PRINT_SETUP);
    EXPECT_TRUE(setup.Done());
  }
  EXPECT_EQ(confirm, "_Apply");

  // Print starts with that printer, folder and page set-up: confirming at once prints there.
  GtkPageOrientation orientation = GTK_PAGE_ORIENTATION_PORTRAIT;
  {
    OnPrintDialog print([&](GtkPrintUnixDialog* dialog) {
      if (!FilePrinterSelected(dialog)) return false;
      orientation = gtk_page_setup_get_orientation(gtk_print_unix_dialog_get_page_setup(dialog));
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
      return true;
    });
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(print.Done());
  }
  EXPECT_EQ(orientation, GTK_PAGE_ORIENTATION_LANDSCAPE);
  ASSERT_TRUE(RunUntil([&] { return TempDir::Read(pdf).ends_with("%%EOF\n"); })) << "no finished PDF";
  // The file holds a landscape page (an A4 sheet on its side) with the page's text on it.
  EXPECT_NE(PdfInfo(pdf).find("842 x 595 pts"), std::string::npos) << PdfInfo(pdf);
  EXPECT_NE(PdfText(pdf).find("Words on the printed page"), std::string::npos) << "a blank page";
}

TEST_F(Printing, ALandscapePageChosenInThePrintDialogPrintsThePageOnItsSide) {
  const std::string pdf = m_out / "wide.pdf";
  {
    bool chosen = false;
    OnPrintDialog print([&](GtkPrintUnixDialog* dialog) {
      if (!chosen) {
        GtkPageSetup* page = LandscapePage(GTK_PAPER_NAME_LETTER);
        ChooseFilePrinter(dialog, Uri(pdf), page);
        g_object_unref(page);
        chosen = true;
        return false;
      }
      if (!FilePrinterSelected(dialog)) return false;
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
      return true;
    });
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(print.Done());
  }
  ASSERT_TRUE(RunUntil([&] { return TempDir::Read(pdf).ends_with("%%EOF\n"); })) << "no finished PDF";
  EXPECT_NE(PdfInfo(pdf).find("792 x 612 pts"), std::string::npos) << PdfInfo(pdf);  // a letter sheet on its side
  EXPECT_NE(PdfText(pdf).find("Words on the printed page"), std::string::npos) << "a blank page";
}

TEST_F(Printing, PrintToFileProposesThePagesTitleInTheFolderChosenLast) {
  TempDir elsewhere;
  TempDir::Write(m_pages / "second.html", "<title> .Second/page </title><p>The second page");
  {
    OnPrintDialog setup(PrintTo(Uri(m_out / "set up.pdf")));
    Command(ID_FILE_PRINT_SETUP);
    EXPECT_TRUE(setup.Done());
  }
  // Print Setup chose the folder: the page's title is the name.
  {
    OnPrintDialog print(ConfirmFilePrinter);
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(print.Done());
  }
  EXPECT_TRUE(Printed(m_out / "Printed.pdf")) << "nothing at the proposed place";

  // Another folder chosen in Print: it is the one proposed for the rest of the run, also for
  // another page, whose title is made fit for a file name.
  {
    OnPrintDialog print(PrintTo(Uri(elsewhere / "chosen.pdf")));
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(print.Done());
  }
  EXPECT_TRUE(Printed(elsewhere / "chosen.pdf"));
  View()->Navigate2(Uri(m_pages / "second.html"));
  ASSERT_TRUE(WaitFor(Uri(m_pages / "second.html")));
  ASSERT_TRUE(RunUntil([] { return Title() == ".Second/page"; })) << Title();
  {
    OnPrintDialog print(ConfirmFilePrinter);
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(print.Done());
  }
  const std::string pdf = elsewhere / "Second_page.pdf";
  EXPECT_TRUE(Printed(pdf)) << "nothing at the proposed place";
  EXPECT_NE(PdfText(pdf).find("The second page"), std::string::npos);
  EXPECT_FALSE(g_file_test((m_out / "Second_page.pdf").c_str(), G_FILE_TEST_EXISTS));
}

TEST(PrintingNothing, WithNoPageShownPrintAsksNothing) {
  BrowserEvents host;  // a host that takes no notice of any event
  Gtk::Window window;
  window.add(*Gtk::make_managed<BrowserControl>(host, false));
  window.show_all();
  TempDir out;
  DialogAnswer answer(Uri(out / "x.pdf"), false);
  static_cast<BrowserControl*>(window.get_child())->Print();
  ASSERT_TRUE(CaughtUp(static_cast<BrowserControl*>(window.get_child())->GetWebView()));
  EXPECT_FALSE(answer.Seen());
}

}  // namespace
