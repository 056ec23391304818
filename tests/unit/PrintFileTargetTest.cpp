// Where Print to File proposes to write: a safe file name from the page's title, in the folder last
// chosen for a printed file in this run, else the Documents folder, else the home folder. Checked
// on the real GtkPrintSettings the print dialog is handed.
#include <glib/gstdio.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <memory>
#include <string>

#include "TempDir.h"
#include "dialogs/PrintFileTarget.h"

namespace {

TEST(PrintFileTarget, TheFileIsNamedAfterThePageAndSafeToCreate) {
  const std::string page = "file:///docs/library/index.html";
  const std::string ascii(300, 'x');
  std::string longTitle;
  for (int i = 0; i < 300; ++i) longTitle += "é";  // two bytes each
  struct Row {
    std::string title, uri, extension, name;
  } rows[] = {
      {"Input/Output — Python 3.11", page, "pdf", "Input_Output — Python 3.11.pdf"},
      {"A\x01 B\x7f\tC\nD", page, "pdf", "A_ B_ C D.pdf"},
      {"  Spaced out  ", page, "pdf", "Spaced out.pdf"},
      {"..hidden", page, "pdf", "hidden.pdf"},
      {". . .", page, "pdf", "index.pdf"},  // nothing left of the title: the page's file name
      {"", page, "pdf", "index.pdf"},
      {"", "file:///docs/caf%E9.htm", "pdf", "caf\uFFFD.pdf"},  // a file name that is not UTF-8
      {"", "file:///docs/.profile", "pdf", "profile.pdf"},
      {"", "https://example.org/guide/intro.html?x=1#part", "pdf", "intro.pdf"},
      {"", "file:///", "pdf", "page.pdf"},
      {"Report.PDF", page, "pdf", "Report.PDF"},
      {"Report", page, "ps", "Report.ps"},
      {"caf\xe9", page, "pdf", "caf\uFFFD.pdf"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(PrintFileTarget::FileName(row.title, row.uri, row.extension), row.name) << row.title << " " << row.uri;

  // A long title is cut between characters, within the system's 255 bytes for a name.
  const std::string cut = PrintFileTarget::FileName(longTitle, page, "pdf");
  EXPECT_LE(cut.size(), 255u);
  EXPECT_GE(cut.size(), 250u);
  EXPECT_TRUE(g_utf8_validate(cut.c_str(), cut.size(), nullptr)) << cut;
  EXPECT_TRUE(cut.ends_with("éé.pdf")) << cut;
  EXPECT_EQ(PrintFileTarget::FileName(ascii, page, "pdf").size(), 255u);
}

TEST(PrintFileTarget, TheDocumentsFolderWhenThereIsOneElseHome) {
  TempDir dir;
  const std::string documents = dir / "Documents";
  const std::string file = dir / "a file";
  g_mkdir(documents.c_str(), 0755);
  TempDir::Write(file, "");
  EXPECT_EQ(PrintFileTarget::DefaultFolder(documents, "/home/reader"), documents);
  for (const std::string& none : {std::string(), dir / "gone", file})
    EXPECT_EQ(PrintFileTarget::DefaultFolder(none, "/home/reader"), "/home/reader") << none;
}

Glib::RefPtr<Gtk::PrintSettings> Chosen(const std::string& printer, const std::string& uri) {
  auto settings = Gtk::PrintSettings::create();
  settings->set_printer(printer);
  settings->set(GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  return settings;
}

TEST(PrintFileTarget, TheDialogIsHandedTheFolderLastChosenForAFileWhileItExists) {
  Gtk::Main::init_gtkmm_internals();
  const std::string page = "file:///docs/index.html";
  const std::string defaultFolder =
      PrintFileTarget::DefaultFolder(Glib::get_user_special_dir(Glib::USER_DIRECTORY_DOCUMENTS), Glib::get_home_dir());
  auto chosen = std::make_unique<TempDir>();
  TempDir other;

  // A file chosen in some folder: the next proposal is there, named after its page.
  PrintFileTarget::Keep(Chosen(PrintFileTarget::FilePrinterName(), Glib::filename_to_uri(*chosen / "mine.pdf")));
  EXPECT_EQ(PrintFileTarget::Folder(), chosen->Path());
  auto settings = Gtk::PrintSettings::create();
  PrintFileTarget::Propose(settings, "Library #1: 50% done", page);
  EXPECT_EQ(settings->get(GTK_PRINT_SETTINGS_OUTPUT_URI), Glib::filename_to_uri(*chosen / "Library #1: 50% done.pdf"));
  EXPECT_EQ(settings->get(GTK_PRINT_SETTINGS_OUTPUT_DIR), chosen->Path());
  EXPECT_EQ(settings->get(GTK_PRINT_SETTINGS_OUTPUT_BASENAME), "Library #1: 50% done");

  // Another printer, or a file that is not local, chooses no folder.
  PrintFileTarget::Keep(Chosen("Office laser", Glib::filename_to_uri(other / "x.pdf")));
  PrintFileTarget::Keep(Chosen(PrintFileTarget::FilePrinterName(), "sftp://host/x.pdf"));
  EXPECT_EQ(PrintFileTarget::Folder(), chosen->Path());

  // The output format the settings name gives the extension; whatever file they held is replaced.
  settings = Chosen(PrintFileTarget::FilePrinterName(), Glib::filename_to_uri(other / "old.ps"));
  settings->set(GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "ps");
  PrintFileTarget::Propose(settings, "Page", page);
  EXPECT_EQ(settings->get(GTK_PRINT_SETTINGS_OUTPUT_URI), Glib::filename_to_uri(*chosen / "Page.ps"));

  // The chosen folder deleted: the default folder again.
  chosen.reset();
  EXPECT_EQ(PrintFileTarget::Folder(), defaultFolder);
  settings = Gtk::PrintSettings::create();
  PrintFileTarget::Propose(settings, "", page);
  EXPECT_EQ(settings->get(GTK_PRINT_SETTINGS_OUTPUT_URI), Glib::filename_to_uri(defaultFolder + "/index.pdf"));
}

}  // namespace
