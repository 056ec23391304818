// The Open and Save As dialogs: the GTK file chooser with one "All Files" filter, starting in the
// current directory (or where DialogFolder says when that is gone). The Open dialog confirms only
// a file that exists; the Save As dialog proposes a name, keeps its bytes, adds no extension and
// asks before it replaces a file. Neither changes the process's current directory.
#pragma once

#include <string>

namespace Gtk {
class Window;
}

class CFileDialog {
 public:
  // fileName: the proposed name of a Save As dialog, a full path or a name in the current directory.
  CFileDialog(bool bOpenFileDialog, std::string title, std::string fileName, Gtk::Window* pParent);

  // Runs the dialog; true when a name was confirmed, false when the dialog was cancelled.
  bool DoModal();
  // The confirmed name, a full path.
  const std::string& GetPathName() const { return m_strPathName; }

 private:
  bool m_bOpenFileDialog;
  std::string m_strTitle;
  std::string m_strFileName;
  Gtk::Window* m_pParent;
  std::string m_strPathName;
};
