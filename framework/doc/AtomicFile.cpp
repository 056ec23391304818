#include "doc/AtomicFile.h"

#include <fcntl.h>
#include <glib.h>
#include <glibmm/miscutils.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

std::string& TemporaryPrefix() {
  static std::string prefix = ".tmp-";
  return prefix;
}

constexpr size_t kUniqueLength = 6;

bool IsOwnTemporaryName(const std::string& name) {
  const std::string& prefix = TemporaryPrefix();
  if (name.size() != prefix.size() + kUniqueLength || name.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(name.begin() + long(prefix.size()), name.end(), [](char c) { return g_ascii_isalnum(c); });
}

std::string UniqueName(const std::string& dir) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = dir + "/" + TemporaryPrefix();
  for (size_t i = 0; i < kUniqueLength; ++i) name += kChars[g_random_int_range(0, int(sizeof kChars) - 1)];
  return name;
}

// Removes the temporaries an interrupted write of this program left in dir: its own names, regular
// files of this user that no writer holds locked (every writer locks its temporary while it lives).
void ClearStaleTemporaries(const std::string& dir) {
  GDir* folder = g_dir_open(dir.c_str(), 0, nullptr);
  if (folder == nullptr) return;
  while (const char* name = g_dir_read_name(folder)) {
    if (!IsOwnTemporaryName(name)) continue;
    std::string path = dir + "/" + name;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {
    }, now{};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        lstat(path.c_str(), &now) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev) {
      AfxTrace("Removing %s, left by an interrupted write\n", path.c_str());
      unlink(path.c_str());
    }
    close(fd);
  }
  g_dir_close(folder);
}

// A new file in dir, locked for as long as it is open. Unnamed where the file system allows
// (name stays empty), so that nothing is left if the process dies before the file is complete;
// otherwise named with the program's prefix.
int OpenTemporary(const std::string& dir, std::string& name) {
  name.clear();
  int fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    flock(fd, LOCK_EX);
    return fd;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = UniqueName(dir);
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    // A cleaner may have taken the name between its creation and the lock: then start over.
    struct stat mine {
    }, now{};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &mine) == 0 && lstat(name.c_str(), &now) == 0 &&
        mine.st_ino == now.st_ino && mine.st_dev == now.st_dev)
      return fd;
    close(fd);
  }
  errno = EEXIST;
  return -1;
}

// Gives the unnamed file of fd a name with the program's prefix in dir.
int LinkIn(int fd, const std::string& dir, std::string& name) {
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = UniqueName(dir);
    if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno == ENOENT && linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    if (errno != EEXIST) break;
  }
  int err = errno;
  name.clear();
  return err;
}

// Gives the file of fd the extended attributes of the file at from: its access-control list
// (system.posix_acl_access) and the user's own attributes among them. An attribute this process
// may not set (another user's security label) or the file system does not take is left out.
void CopyExtendedAttributes(const std::string& from, int fd) {
  ssize_t size = listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::string names(size_t(size), '\0');
  size = listxattr(from.c_str(), names.data(), names.size());
  if (size <= 0) return;
  names.resize(size_t(size));
  // Each name ends with a zero byte, and the string has one more after the last.
  for (const char* name = names.c_str(); name < names.c_str() + names.size(); name += strlen(name) + 1) {
    std::string value;
    ssize_t length = getxattr(from.c_str(), name, nullptr, 0);
    if (length > 0) {
      value.resize(size_t(length));
      length = getxattr(from.c_str(), name, value.data(), value.size());
    }
    if (length < 0 || fsetxattr(fd, name, value.data(), size_t(length), 0) != 0)
      AfxTrace("Could not keep the attribute %s of %s\n", name, from.c_str());
  }
}

bool WriteAll(int fd, const std::string& contents) {
  for (size_t done = 0; done < contents.size();) {
    ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

namespace AtomicFile {

void SetTemporaryPrefix(const std::string& prefix) { TemporaryPrefix() = prefix; }

Result ReplaceContents(const std::string& target, const std::string& contents, mode_t mode, const struct stat* owner) {
  const std::string dir = Glib::path_get_dirname(target);
  ClearStaleTemporaries(dir);

  std::string temp;
  int fd = OpenTemporary(dir, temp);
  if (fd < 0) return {errno, false};
  // The old owner where allowed: only root may give a file away.
  if (owner != nullptr && fchown(fd, owner->st_uid, owner->st_gid) != 0)
    AfxTrace("Could not keep the owner of %s\n", target.c_str());
  int err = 0;
  if (!WriteAll(fd, contents) || fchmod(fd, mode) != 0) err = errno;
  // After the mode: an access-control list sets the group bits of the mode in its turn.
  if (err == 0 && owner != nullptr) CopyExtendedAttributes(target, fd);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (err == 0 && temp.empty()) err = LinkIn(fd, dir, temp);
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0 && !temp.empty()) unlink(temp.c_str());
  if (err == 0) {
    // The rename itself on disk, too.
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      fsync(dirFd);
      close(dirFd);
    }
  }
  if (close(fd) != 0 && err == 0) err = errno;  // closing releases the temporary's lock
  return {err, true};
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

  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  Result result = ReplaceContents(target, "", mode, exists ? &st : nullptr);
  // A folder that takes no new entries (no permission, or a volume without free inodes or over
  // its quota), or whose entries only their owners may replace (sticky), may still hold a writable
  // file: that is emptied where it is, which needs no new inode or block.
  if (exists && (result.error == EACCES || result.error == EPERM || result.error == ENOSPC || result.error == EDQUOT))
    return TruncateInPlace(target);
  return result;
}

}  // namespace AtomicFile
