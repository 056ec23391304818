// Keeps the names confirmed in the program's file dialogs out of the desktop's recently-used list.
// The GTK file chooser adds every confirmed name to that list, and no setting stops it short of
// disabling the list, which empties the user's whole list on the next write. So the names the
// chooser adds, and only those the list did not hold before, are taken out again before the list
// is written.
#pragma once

#include <set>
#include <string>

class RecentFilesGuard {
 public:
  // Notes which names the list holds now.
  RecentFilesGuard();
  // The dialog confirmed this name: unless the list held it before, it is taken out when it comes in.
  void KeepOut(const std::string& uri);

 private:
  std::set<std::string> m_before;
};
