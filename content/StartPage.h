// Finding the page a folder starts with: the entry named exactly "index.html", else one whose name
// differs only in letter case; when there is none, or it cannot be shown, a generated page that
// says so and links the folder's parent, its subfolders and its HTML files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "html/FolderPages.h"

class StartPage final : public FolderPages {
 public:
  // An entry of a folder as the generated page sees it; name may hold any bytes.
  struct Entry {
    std::string name;
    bool folder = false;
  };

  // first: where a long listing goes on (see Listing).
  FolderPage Find(const std::string& dir, std::size_t first) const override;
  // When dir cannot be entered, the current directory stays and the next FindInCurrentDirectory
  // (once) shows a page saying why.
  bool Enter(const std::string& dir) const override;

  // Looks in the process's current directory, as it is at the moment of the call.
  static FolderPage FindInCurrentDirectory();

  // The generated page of dir: the folder's name, why it stands in (plain text), a link to the
  // parent folder (none at the root), then the subfolders and the .html/.htm files of entries,
  // each sorted as a file manager sorts (numbers by value, letter case aside). Hidden entries are
  // left out; every name is escaped. A long listing shows kPerPage entries from first on, with
  // links to the entries before and after. Needs no file system.
  static constexpr std::size_t kPerPage = 1000;
  static std::string Listing(const std::string& dir, const std::string& reason, std::vector<Entry> entries,
                             std::size_t first = 0);
};
