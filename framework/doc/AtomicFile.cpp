#include "doc/AtomicFile.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace {

mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

}  // namespace

namespace AtomicFile {

std::string FullPath(const std::string& pathName) {
  gchar* full = g_canonicalize_filename(pathName.c_str(), nullptr);
  std::string result = full;
  g_free(full);
  return result;
}

Result ReplaceWithEmpty(const std::string& pathName) {
  std::string target = pathName;
  struct stat st {};
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists) {
    if (char* resolved = realpath(target.c_str(), nullptr)) {
      target = resolved;
      free(resolved);
    }
    if (!S_ISREG(st.st_mode)) return {S_ISDIR(st.st_mode) ? EISDIR : EACCES, false};
  }
  gchar* dir = g_path_get_dirname(target.c_str());
  std::string temp = std::string(dir) + "/.folioscope-XXXXXX";
  g_free(dir);
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return {errno, false};
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  int err = 0;
  if (fchmod(fd, mode) != 0 || fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) unlink(temp.c_str());
  return {err, true};
}

}  // namespace AtomicFile
