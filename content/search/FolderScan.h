// The pages of a folder tree as the search index sees them: every .html, .htm and .xhtml file in the
// folder and its subfolders, with its modification time and size. Hidden entries are left out and
// FIFOs, devices and sockets are never opened. Symbolic links are followed, and a file or folder
// reached twice (by device and inode) counts once, so a loop of links ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScannedPage {
  std::string path;        // relative to the folder, '/' between names
  std::int64_t mtime = 0;  // nanoseconds
  std::int64_t size = 0;
};

struct FolderScan {
  std::vector<ScannedPage> pages;  // in path order
  std::size_t unreadable = 0;      // subfolders that could not be listed

  static FolderScan Of(const std::string& folder);
  static bool IsPageName(const std::string& name);
};
