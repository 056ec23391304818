#include "settings/SettingsStore.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/Trace.h"

namespace {

constexpr gsize kMaxStoreSize = 1 << 20;  // a settings text is small; anything larger is not ours

// The store's text, "" when it does not exist; false when it exists but cannot be used.
bool ReadText(const std::string& path, std::string& text) {
  text.clear();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode) || gsize(st.st_size) > kMaxStoreSize) return false;
  gchar* contents = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr)) return false;
  text.assign(contents, length);
  g_free(contents);
  return true;
}

class FileLock {
 public:
  explicit FileLock(const std::string& path) : m_fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
      close(m_fd);
      m_fd = -1;
    }
  }
  ~FileLock() {
    if (m_fd >= 0) close(m_fd);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd;
};

}  // namespace

std::string SettingsStore::DefaultPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = config != nullptr && config[0] == '/' ? config : std::string(g_get_home_dir()) + "/.config";
  return base + "/folioscope/registry.reg";
}

bool SettingsStore::Read(RegistryText& text) const {
  std::string contents;
  if (!ReadText(m_path, contents) || !text.Parse(contents)) {
    text.Parse("");
    return false;
  }
  return true;
}

bool SettingsStore::Update(const std::function<void(RegistryText&)>& change) {
  gchar* dir = g_path_get_dirname(m_path.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
  FileLock lock(m_path + ".lock");
  if (!lock.Held()) return false;

  std::string contents;
  RegistryText text;
  if (!ReadText(m_path, contents) || !text.Parse(contents)) {
    AfxTrace("Settings store %s cannot be used; it is left as it is.\n", m_path.c_str());
    return false;
  }
  std::string before = text.Serialize();
  change(text);
  std::string after = text.Serialize();
  if (after == before) return true;

  // Through a symbolic link to its target, keeping the file's permissions.
  std::string target = m_path;
  if (char* resolved = realpath(m_path.c_str(), nullptr)) {
    target = resolved;
    free(resolved);
  }
  struct stat st {};
  int mode = stat(target.c_str(), &st) == 0 ? int(st.st_mode & 0777) : 0600;
  GError* error = nullptr;
  if (!g_file_set_contents_full(target.c_str(), after.data(), gssize(after.size()), G_FILE_SET_CONTENTS_CONSISTENT,
                                mode, &error)) {
    AfxTrace("Cannot write the settings store: %s\n", error->message);
    g_error_free(error);
    return false;
  }
  return true;
}
