#include "content/search/FolderScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

using FileId = std::pair<dev_t, ino_t>;

// Each level keeps its folder open while it reads the next: the depth stays well below the limit on
// open files.
constexpr int kMaxDepth = 200;

class Walk {
 public:
  explicit Walk(FolderScan& scan) : m_scan(scan) {}

  void Folder(int fd, const std::string& prefix, int depth) {
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
      close(fd);
      ++m_scan.unreadable;
      return;
    }
    std::vector<std::string> subfolders;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.empty() || name[0] == '.') continue;  // hidden, "." and ".."
      if (entry->d_type != DT_DIR && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN && entry->d_type != DT_REG)
        continue;  // FIFOs, devices and sockets are never looked at
      struct stat st {};
      if (fstatat(dirfd(dir), name.c_str(), &st, 0) != 0) continue;  // a link to nothing, or gone
      if (S_ISDIR(st.st_mode)) {
        if (m_seen.insert({st.st_dev, st.st_ino}).second) subfolders.push_back(name);
      } else if (S_ISREG(st.st_mode) && FolderScan::IsPageName(name) && m_seen.insert({st.st_dev, st.st_ino}).second) {
        m_scan.pages.push_back({prefix + name, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                                std::int64_t(st.st_size)});
      }
    }
    for (const std::string& name : subfolders) {
      if (depth >= kMaxDepth) break;
      const int sub = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (sub < 0) {
        ++m_scan.unreadable;
        continue;
      }
      Folder(sub, prefix + name + "/", depth + 1);
    }
    closedir(dir);
  }

  std::set<FileId> m_seen;

 private:
  FolderScan& m_scan;
};

}  // namespace

bool FolderScan::IsPageName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const char* ending = name.c_str() + dot;
  return g_ascii_strcasecmp(ending, ".html") == 0 || g_ascii_strcasecmp(ending, ".htm") == 0 ||
         g_ascii_strcasecmp(ending, ".xhtml") == 0;
}

FolderScan FolderScan::Of(const std::string& folder) {
  FolderScan scan;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    ++scan.unreadable;
    return scan;
  }
  Walk walk(scan);
  struct stat st {};
  if (fstat(fd, &st) == 0) walk.m_seen.insert({st.st_dev, st.st_ino});
  walk.Folder(fd, "", 0);
  std::sort(scan.pages.begin(), scan.pages.end(),
            [](const ScannedPage& a, const ScannedPage& b) { return a.path < b.path; });
  return scan;
}
