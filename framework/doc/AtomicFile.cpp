#include "doc/AtomicFile.h"

#include <fcntl.h>
#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "core/Trace.h"

namespace {

mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

// Empties an existing file where it is: same inode, owner, permissions and links.
AtomicFile::Result TruncateInPlace(const std::string& target) {
  int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {errno, false};
  int err = fsync(fd) != 0 ? errno : 0;
  if (close(fd) != 0 && err == 0) err = errno;
  return {err, true};
}

}  // namespace

namespace AtomicFile {

std::string FullPath(const std::string& pathName) {
  gchar* full = g_canonicalize_filename(pathName.c_str(), nullptr);
  std::string result = full;
  g_free(full);
  return result;
}

bool IsReadOnly(const std::string& pathName, const struct stat& st) {
  return (st.st_mode & 0222) == 0 || access(pathName.c_str(), W_OK) != 0;
}

Result ReplaceWithEmpty(const std::string& pathName) {
  std::string target = pathName;
  struct stat st {};
  bool exists = false;
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      if (stat(target.c_str(), &st) != 0) return {errno, false};
      char* resolved = realpath(target.c_str(), nullptr);
      if (resolved == nullptr) return {errno, false};
      target = resolved;
      free(resolved);
    }
    exists = true;
    if (!S_ISREG(st.st_mode)) return {S_ISDIR(st.st_mode) ? EISDIR : EACCES, false};
    if (IsReadOnly(target, st)) return {EACCES, false};
  } else if (errno != ENOENT) {
    return {errno, false};
  }

  gchar* dir = g_path_get_dirname(target.c_str());
  std::string temp = std::string(dir) + "/.folioscope-XXXXXX";
  g_free(dir);
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    // A folder that takes no new entries may still hold a writable file.
    if (exists && (err == EACCES || err == EPERM)) return TruncateInPlace(target);
    return {err, false};
  }
  // The old owner where allowed: only root may give a file away.
  if (exists && fchown(fd, st.st_uid, st.st_gid) != 0) AfxTrace("Could not keep the owner of %s\n", target.c_str());
  int err = 0;
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (fchmod(fd, mode) != 0 || fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) unlink(temp.c_str());
  // A folder whose entries only their owners may replace (sticky) still lets a writable file be emptied.
  if (exists && (err == EACCES || err == EPERM)) return TruncateInPlace(target);
  return {err, true};
}

}  // namespace AtomicFile
