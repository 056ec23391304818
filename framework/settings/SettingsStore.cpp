#include "settings/SettingsStore.h"

#include <fcntl.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <utility>

#include "core/Trace.h"
#include "doc/AtomicFile.h"

namespace {

enum class Stored { absent, text, unusable, tooLarge };

// The whole file at path; false when it cannot be read.
bool Contents(const std::string& path, std::string& text) {
  try {
    text = Glib::file_get_contents(path);
    return true;
  } catch (const Glib::Error&) {
    return false;
  }
}

// The store's text, "" when it does not exist. A store larger than limit is not read.
Stored ReadText(const std::string& path, std::string& text, std::size_t limit) {
  text.clear();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? Stored::absent : Stored::unusable;
  if (!S_ISREG(st.st_mode)) return Stored::unusable;
  if (std::size_t(st.st_size) > limit) return Stored::tooLarge;
  if (!Contents(path, text)) return Stored::unusable;
  return text.size() > limit ? Stored::tooLarge : Stored::text;
}

// The file a write to path goes to: path itself, or the file its symbolic links lead to, which may
// not exist yet when its folder does. Empty when there is none (a loop, a link into no folder).
std::string WriteTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0)
      return errno == ENOENT && Glib::file_test(Glib::path_get_dirname(current), Glib::FILE_TEST_IS_DIR) ? current : "";
    if (!S_ISLNK(st.st_mode)) return current;
    const std::unique_ptr<gchar, decltype(&g_free)> link(g_file_read_link(current.c_str(), nullptr), g_free);
    if (!link) return "";
    current = Glib::path_is_absolute(link.get()) ? link.get() : Glib::path_get_dirname(current) + "/" + link.get();
  }
  return "";
}

// The state of the store a waiting process watches: a holder at work replaces the file.
std::pair<ino_t, gint64> Progress(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {0, 0};
  return {st.st_ino, gint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// True when the process holding the lock on the file of lockFd is running or waiting for the disk
// (as a writer in the middle of its work is), rather than stopped or asleep.
bool HolderAtWork(int lockFd) {
  struct stat st {};
  std::string locks;
  if (fstat(lockFd, &st) != 0 || !Contents("/proc/locks", locks)) return false;
  std::istringstream lines(locks);
  std::ostringstream suffix;
  suffix << ':' << st.st_ino;
  const std::string inode = suffix.str();
  long holder = 0;
  // "1: FLOCK  ADVISORY  WRITE 1493 00:1a:4522 0 EOF"; waiting requests carry "->" after the number.
  for (std::string line; holder == 0 && std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string number, type, kind, mode, device;
    long pid = 0;
    if (fields >> number >> type >> kind >> mode >> pid >> device && type == "FLOCK" && device.size() > inode.size() &&
        device.compare(device.size() - inode.size(), inode.size(), inode) == 0)
      holder = pid;
  }
  if (holder <= 0) return false;
  std::string stat;
  if (!Contents("/proc/" + std::to_string(holder) + "/stat", stat)) return false;
  // "pid (name) S ...": the state follows the name, which may itself hold ") ".
  auto end = stat.rfind(") ");
  return end != std::string::npos && end + 2 < stat.size() && (stat[end + 2] == 'R' || stat[end + 2] == 'D');
}

// The lock all instances take around a change of the store. A stopped or stuck holder must not
// keep this process from starting or ending: the wait ends once the holder has neither changed the
// store nor been at work for `wait`, and after ten times that in any case.
class FileLock {
 public:
  FileLock(const std::string& path, const std::string& store, std::chrono::milliseconds wait)
      // Never through a symbolic link: a link planted in the lock's place must not make this
      // process create or lock a file elsewhere.
      : m_fd(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600)) {
    if (m_fd < 0) {
      m_error = errno;
      return;
    }
    const gint64 start = g_get_monotonic_time(), patience = gint64(wait.count()) * 1000;
    gint64 calm = start;
    auto seen = Progress(store);
    while (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      const gint64 now = g_get_monotonic_time();
      if (error == EWOULDBLOCK) {
        if (auto state = Progress(store); state != seen || HolderAtWork(m_fd)) {
          seen = state;
          calm = now;
        }
        m_busy = now - calm >= patience || now - start >= 10 * patience;
      }
      if ((error != EWOULDBLOCK && error != EINTR) || m_busy) {
        close(m_fd);
        m_fd = -1;
        return;
      }
      g_usleep(5000);
    }
  }
  ~FileLock() {
    if (m_fd >= 0) close(m_fd);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return m_fd >= 0; }
  bool Busy() const { return m_busy; }
  // errno of the open that failed, 0 when it did not.
  int OpenError() const { return m_error; }

 private:
  int m_fd;
  int m_error = 0;
  bool m_busy = false;
};

}  // namespace

std::string SettingsStore::DefaultPath(const std::string& program) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = config != nullptr && config[0] == '/' ? config : std::string(g_get_home_dir()) + "/.config";
  return base + "/" + program + "/registry.reg";
}

void SettingsStore::StopWriting(const std::string& reason) {
  if (m_readOnly) return;
  m_readOnly = true;
  AfxTrace("Settings store %s %s; it is read but not written during this run.\n", m_path.c_str(), reason.c_str());
}

bool SettingsStore::Read(RegistryText& text) const {
  std::string contents;
  Stored stored = ReadText(m_path, contents, kMaxReadSize);
  if ((stored != Stored::text && stored != Stored::absent) || !text.Parse(contents)) {
    text.Parse("");
    return false;
  }
  return true;
}

bool SettingsStore::Update(const std::function<void(RegistryText&)>& change) {
  if (m_readOnly) return false;
  g_mkdir_with_parents(Glib::path_get_dirname(m_path).c_str(), 0700);
  FileLock lock(m_path + ".lock", m_path, kLockWait);
  if (!lock.Held()) {
    StopWriting(lock.Busy()                 ? "is locked by another process"
                : lock.OpenError() == ELOOP ? "has a symbolic link as its lock file, which is not followed"
                                            : "cannot be locked");
    return false;
  }

  std::string contents;
  RegistryText text(m_header);
  switch (ReadText(m_path, contents, kMaxWriteSize)) {
    case Stored::absent:
    case Stored::text:
      if (text.Parse(contents)) break;
      [[fallthrough]];
    case Stored::unusable:
      AfxTrace("Settings store %s cannot be used; it is left as it is.\n", m_path.c_str());
      return false;
    case Stored::tooLarge:
      StopWriting("is larger than " + std::to_string(kMaxWriteSize) + " bytes");
      return false;
  }
  std::string before = text.Serialize();
  change(text);
  std::string after = text.Serialize();
  if (after == before) return true;
  if (after.size() > kMaxWriteSize) {
    StopWriting("would grow past " + std::to_string(kMaxWriteSize) + " bytes");
    return false;
  }

  // Through symbolic links to their target, keeping the file's permissions and owner.
  std::string target = WriteTarget(m_path);
  if (target.empty()) {
    StopWriting("is a symbolic link that leads nowhere it can be written");
    return false;
  }
  struct stat st {};
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && AtomicFile::IsReadOnly(target, st)) {
    StopWriting("is read-only");
    return false;
  }
  AtomicFile::Result result =
      AtomicFile::ReplaceContents(target, after, exists ? (st.st_mode & 07777) : 0600, exists ? &st : nullptr);
  if (result.error != 0) {
    AfxTrace("Cannot write the settings store %s: %s\n", target.c_str(), g_strerror(result.error));
    return false;
  }
  return true;
}
