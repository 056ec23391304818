#include "html/FolderPages.h"

#include <unistd.h>

namespace {

const FolderPages kIndexFiles;
const FolderPages* g_inUse = &kIndexFiles;

}  // namespace

FolderPage FolderPages::Find(const std::string& dir, std::size_t) const {
  return {dir.ends_with('/') ? dir + "index.html" : dir + "/index.html", "", dir};
}

bool FolderPages::Enter(const std::string& dir) const { return chdir(dir.c_str()) == 0; }

void FolderPages::Use(const FolderPages& pages) { g_inUse = &pages; }

const FolderPages& FolderPages::InUse() { return *g_inUse; }
