// Where a file dialog opens. A dialog never starts in a folder the user did not reach: when the
// folder it is to show is gone (deleted, or the current folder cannot be named because it was
// deleted or lies deeper than the system's path limit), it starts in the current folder, else in
// the home folder, and says why. A failed look-up of the current folder must not become the
// file-system root.
#pragma once

#include <string>

namespace DialogFolder {

struct Choice {
  std::string folder;  // where the dialog starts
  std::string reason;  // for the user, when it is not the folder asked for; else ""
};

// wanted: the folder the dialog is to show, "" for the current folder.
Choice Choose(const std::string& wanted);

}  // namespace DialogFolder
