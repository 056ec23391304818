// Finding the page a folder starts with: the entry named exactly "index.html", else one whose name
// differs only in letter case; when there is none, or it cannot be shown, a generated page that
// says so and links the folder's HTML files.
#pragma once

#include <string>

struct StartPage {
  std::string path;     // the file to show; empty when a generated page stands in
  std::string html;     // the generated page
  std::string baseDir;  // the folder the generated page's links are relative to

  // Looks in the process's current directory, as it is at the moment of the call.
  static StartPage FindInCurrentDirectory();
  static StartPage Find(const std::string& dir);
};
