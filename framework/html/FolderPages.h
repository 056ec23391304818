// What a folder shows as when the view is asked for one: from the command line, a link or the
// history. The program supplies the lookup; without one, a folder shows its index.html.
#pragma once

#include <cstddef>
#include <string>

struct FolderPage {
  std::string path;     // the file to show; empty when a generated page stands in
  std::string html;     // the generated page
  std::string baseDir;  // the folder the generated page's links are relative to
};

class FolderPages {
 public:
  virtual ~FolderPages() = default;

  // The page dir shows; first: where a long listing goes on.
  virtual FolderPage Find(const std::string& dir, std::size_t first) const;
  // Makes dir the process's current directory; false when it cannot be entered.
  virtual bool Enter(const std::string& dir) const;

  // The lookup every view uses from now on; pages must outlive every view.
  static void Use(const FolderPages& pages);
  static const FolderPages& InUse();
};
