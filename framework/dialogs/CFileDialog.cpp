#include "dialogs/CFileDialog.h"

#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>
#include <sys/stat.h>

#include <cerrno>

#include "app/CWinApp.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "core/Trace.h"
#include "dialogs/MessageIcon.h"
#include "dialogs/RecentFilesGuard.h"
#include "doc/FileError.h"

namespace {

// The chooser accepts any typed name in its Open role; a name that names nothing is refused here,
// over the dialog, which stays open. Other failures (a loop, a forbidden folder) are left to the
// open itself, which reports them with their own cause.
bool RefuseMissingFile(Gtk::Window& dialog, const std::string& pathName) {
  struct stat st {};
  if (stat(pathName.c_str(), &st) == 0 || errno != ENOENT) return false;
  std::string text = FileError::FromErrno(ENOENT, pathName).GetErrorMessage();
  AfxTrace("Message box: %s\n", text.c_str());
  Gtk::MessageDialog box(dialog, text, false, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK, true);
  if (CWinApp* pApp = AfxGetApp()) box.set_title(pApp->m_pszAppName);
  AfxAddMessageIcon(box, Gtk::MESSAGE_WARNING);
  box.run();
  return true;
}

}  // namespace

CFileDialog::CFileDialog(bool bOpenFileDialog, std::string title, std::string fileName, Gtk::Window* pParent)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_strTitle(std::move(title)),
      m_strFileName(std::move(fileName)),
      m_pParent(pParent) {}

bool CFileDialog::DoModal() {
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

  std::string folder = Glib::get_current_dir();
  if (m_bOpenFileDialog) {
    dialog.set_current_folder(folder);
  } else {
    dialog.set_do_overwrite_confirmation(true);
    std::string name = m_strFileName;
    if (Glib::path_is_absolute(name)) {
      folder = Glib::path_get_dirname(name);
      name = Glib::path_get_basename(name);
    }
    // The name box holds text: a name that is not valid UTF-8 is proposed in its displayable form.
    dialog.set_current_folder(folder);
    dialog.set_current_name(Glib::filename_display_name(name));
  }

  RecentFilesGuard recent;
  while (dialog.run() == Gtk::RESPONSE_ACCEPT) {
    for (const Glib::ustring& uri : dialog.get_uris()) recent.KeepOut(uri);
    std::string chosen = dialog.get_filename();
    if (chosen.empty()) continue;
    if (m_bOpenFileDialog && RefuseMissingFile(dialog, chosen)) continue;
    m_strPathName = chosen;
    return true;
  }
  return false;
}
