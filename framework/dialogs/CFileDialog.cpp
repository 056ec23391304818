#include "dialogs/CFileDialog.h"

#include <gio/gio.h>
#include <giomm/file.h>
#include <glib.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/label.h>
#include <gtkmm/messagedialog.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "core/Trace.h"
#include "dialogs/CMessageBox.h"
#include "dialogs/DialogFolder.h"
#include "dialogs/MessageIcon.h"
#include "dialogs/MessageText.h"
#include "dialogs/RecentFilesGuard.h"
#include "doc/FileError.h"

namespace {

// GTK's own wording for the replace question, in the desktop's language.
const char* GtkText(const char* text) { return g_dgettext("gtk30", text); }

std::string Printf(const char* format, const std::string& arg) {
  const std::unique_ptr<gchar, decltype(&g_free)> text(g_strdup_printf(format, arg.c_str()), g_free);
  return text.get();
}

// The chooser accepts any typed name in its Open role; a name that names nothing is refused here,
// over the dialog, which stays open. Other failures (a loop, a forbidden folder) are left to the
// open itself, which reports them with their own cause.
bool RefuseMissingFile(Gtk::Window& dialog, const std::string& pathName) {
  struct stat st {};
  if (stat(pathName.c_str(), &st) == 0 || errno != ENOENT) return false;
  CWinApp* pApp = AfxGetApp();
  CMessageBox::Show(FileError::FromErrno(ENOENT, pathName).GetErrorMessage(), MB_OK | MB_ICONEXCLAMATION,
                    pApp != nullptr ? pApp->m_pszAppName : "", &dialog);
  return true;
}

// Asks, over the dialog, before an existing file is replaced; true to replace it. Save writes an
// empty file, so Replace is the default answer only for a file that is empty already: for one that
// holds data (or is no regular file) Enter keeps it.
bool ConfirmReplace(Gtk::Window& dialog, const std::string& pathName) {
  struct stat st {};
  if (stat(pathName.c_str(), &st) != 0) return true;
  const bool holdsData = !S_ISREG(st.st_mode) || st.st_size != 0;
  const std::string question = Printf(GtkText("A file named “%s” already exists.  Do you want to replace it?"),
                                      MessageText::Shorten(Glib::filename_display_basename(pathName)));
  const std::string detail =
      Printf(GtkText("The file already exists in “%s”.  Replacing it will overwrite its contents."),
             MessageText::Shorten(Glib::filename_display_basename(Glib::path_get_dirname(pathName))));
  AfxTrace("Replace question (default %s): %s\n", holdsData ? "Cancel" : "Replace", question.c_str());
  Gtk::MessageDialog box(dialog, question, false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_NONE, true);
  box.set_secondary_text(detail);
  AfxAddMessageIcon(box, Gtk::MESSAGE_QUESTION);
  box.add_button(GtkText("_Cancel"), Gtk::RESPONSE_CANCEL);
  box.add_button(GtkText("_Replace"), Gtk::RESPONSE_ACCEPT);
  box.set_default_response(holdsData ? Gtk::RESPONSE_CANCEL : Gtk::RESPONSE_ACCEPT);
  if (Gtk::Widget* button = box.get_widget_for_response(holdsData ? Gtk::RESPONSE_CANCEL : Gtk::RESPONSE_ACCEPT))
    button->grab_focus();
  const bool replace = box.run() == Gtk::RESPONSE_ACCEPT;
  AfxTrace("Replace question answered: %s\n", replace ? "Replace" : "Cancel");
  return replace;
}

// The name the chooser lists a file under, "" when there is none. For a name that is not valid
// UTF-8 it is not the name's shown form: GIO adds a note to it (" (invalid encoding)").
std::string ListedName(const std::string& pathName) {
  try {
    return Gio::File::create_for_path(pathName)->query_info(G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME)->get_display_name();
  } catch (const Glib::Error&) {
    return "";
  }
}

// True when a and b name the same folder.
bool SameFolder(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

CFileDialog::CFileDialog(bool bOpenFileDialog, std::string title, std::string fileName, Gtk::Window* pParent)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_strTitle(std::move(title)),
      m_strFileName(std::move(fileName)),
      m_pParent(pParent) {}

bool CFileDialog::DoModal() {
  // The proposed name's folder, or the current folder; a folder that is gone is never replaced by
  // the file-system root, and the user reads why the dialog shows another one.
  std::string name = m_strFileName;
  std::string wanted;
  if (!m_bOpenFileDialog && Glib::path_is_absolute(name)) {
    wanted = Glib::path_get_dirname(name);
    name = Glib::path_get_basename(name);
  }
  const DialogFolder::Choice start = DialogFolder::Choose(wanted);
  // The name box holds text: a name that is not valid UTF-8 shows in its displayable form, and
  // confirming that unchanged form in the proposed folder means the proposed name, byte for byte.
  // So does confirming the name the chooser lists the proposed file under: once the folder has
  // loaded, the name box's completion offers it for the shown form, and Return takes it.
  const std::string shownName = Glib::filename_display_name(name);
  auto meant = [&](const std::string& chosen) {
    if (shownName == name || !SameFolder(Glib::path_get_dirname(chosen), start.folder)) return chosen;
    const std::string chosenName = Glib::path_get_basename(chosen);
    if (chosenName != shownName && chosenName != ListedName(Glib::build_filename(start.folder, name))) return chosen;
    return Glib::build_filename(Glib::path_get_dirname(chosen), name);
  };
  bool askedToReplace = false;

  Gtk::FileChooserDialog dialog(m_strTitle,
                                m_bOpenFileDialog ? Gtk::FILE_CHOOSER_ACTION_OPEN : Gtk::FILE_CHOOSER_ACTION_SAVE);
  if (m_pParent != nullptr) dialog.set_transient_for(*m_pParent);
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button(m_bOpenFileDialog ? "_Open" : "_Save", Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  // "*" rather than "*.*": most names here have no dot, and every file is to be offered.
  auto filter = Gtk::FileFilter::create();
  filter->set_name(AfxLoadString(AFX_IDS_ALLFILTER));
  filter->add_pattern("*");
  dialog.add_filter(filter);
  dialog.set_current_folder(start.folder);
  if (!start.reason.empty()) {
    AfxTrace("File dialog: %s\n", start.reason.c_str());
    auto* reason = Gtk::make_managed<Gtk::Label>(start.reason);
    reason->set_line_wrap(true);
    reason->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
    reason->set_xalign(0);
    dialog.set_extra_widget(*reason);
    reason->show();
  }
  if (!m_bOpenFileDialog) {
    dialog.set_current_name(shownName);
    // The chooser asks before it confirms an existing name, with the question below.
    dialog.set_do_overwrite_confirmation(true);
    dialog.signal_confirm_overwrite().connect(
        [&] {
          askedToReplace = true;
          return ConfirmReplace(dialog, meant(dialog.get_filename())) ? Gtk::FILE_CHOOSER_CONFIRMATION_ACCEPT_FILENAME
                                                                      : Gtk::FILE_CHOOSER_CONFIRMATION_SELECT_AGAIN;
        },
        false);
  }

  RecentFilesGuard recent;
  for (;;) {
    askedToReplace = false;
    if (dialog.run() != Gtk::RESPONSE_ACCEPT) return false;
    for (const Glib::ustring& uri : dialog.get_uris()) recent.KeepOut(uri);
    const std::string chosen = dialog.get_filename();
    if (chosen.empty()) continue;
    if (m_bOpenFileDialog && RefuseMissingFile(dialog, chosen)) continue;
    // The chooser asked only about names it sees exist; the proposed name's own bytes it never saw.
    const std::string pathName = meant(chosen);
    if (!m_bOpenFileDialog && !askedToReplace && pathName != chosen && !ConfirmReplace(dialog, pathName)) continue;
    AfxTrace("File dialog confirmed %s\n", Glib::filename_display_name(chosen).c_str());
    m_strPathName = pathName;
    return true;
  }
}
