#include "html/EngineSandbox.h"

#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <glibmm/spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "core/Trace.h"

namespace {

// The engine runs these by their installed paths, not through PATH.
constexpr const char* kBubblewrap = "/usr/bin/bwrap";
constexpr const char* kDBusProxy = "/usr/bin/xdg-dbus-proxy";
// The engine's own switch; with it set the engine leaves the sandbox off whatever it is told.
constexpr const char* kEngineOff = "WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS";

struct Probe {
  std::optional<std::string> verdict;  // set once known
  GPid pid = 0;                        // the bubblewrap run, while it is out
  int errors = -1;                     // its error output
};

Probe& State() {
  static Probe probe;
  return probe;
}

bool IsProgram(const char* path) { return Glib::file_test(path, Glib::FILE_TEST_IS_EXECUTABLE); }

// The engine asks bubblewrap to bind places below the user's folders when they exist. Below a
// regular file such a place cannot even be looked for, and bubblewrap gives up, taking the program
// with it; a folder that is missing or read-only is no obstacle. "" when every folder is usable,
// else which is not.
std::string UnusableUserFolder() {
  const std::pair<const char*, std::string> folders[] = {
      {"XDG_CONFIG_HOME", g_get_user_config_dir()},
      {"XDG_CACHE_HOME", g_get_user_cache_dir()},
      {"XDG_DATA_HOME", g_get_user_data_dir()},
      {"XDG_RUNTIME_DIR", g_get_user_runtime_dir()},
      {"HOME", g_get_home_dir()},
  };
  for (const auto& [name, folder] : folders) {
    std::string existing = folder;  // the folder or its nearest ancestor that exists
    while (!Glib::file_test(existing, Glib::FILE_TEST_EXISTS) && existing != Glib::path_get_dirname(existing))
      existing = Glib::path_get_dirname(existing);
    if (!Glib::file_test(existing, Glib::FILE_TEST_IS_DIR))
      return "the user's folder " + folder + " (" + name + ") cannot be one: " + existing + " is not a folder";
  }
  return "";
}

// Why the sandbox cannot be tried at all, without running anything; "" when it can.
std::string Missing() {
  if (!Glib::getenv(kEngineOff).empty()) return std::string(kEngineOff) + " is set";
  if (!IsProgram(kBubblewrap)) return std::string(kBubblewrap) + " is not installed (package bubblewrap)";
  if (!IsProgram(kDBusProxy)) return std::string(kDBusProxy) + " is not installed (package xdg-dbus-proxy)";
  return UnusableUserFolder();
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[512];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0)
      text.append(buffer, std::size_t(n));
    else if (n == 0 || errno != EINTR)
      break;
  }
  return text;
}

// bwrap's complaint without its "bwrap: " prefix, first line only.
std::string Complaint(std::string text) {
  if (text.rfind("bwrap: ", 0) == 0) text.erase(0, 7);
  text = text.substr(0, text.find('\n'));
  return text.empty() ? "no reason given" : text;
}

}  // namespace

void EngineSandbox::StartProbe() {
  Probe& probe = State();
  if (probe.verdict || probe.pid != 0) return;
  const std::string missing = Missing();
  if (!missing.empty()) {
    probe.verdict = missing;
    return;
  }
  // The namespaces and mounts the engine asks bubblewrap for around a page process; a user
  // namespace comes with them whenever bubblewrap runs unprivileged.
  const std::vector<std::string> argv{kBubblewrap,
                                      "--ro-bind",
                                      "/",
                                      "/",
                                      "--proc",
                                      "/proc",
                                      "--dev",
                                      "/dev",
                                      "--unshare-pid",
                                      "--unshare-uts",
                                      "--unshare-net",
                                      "--die-with-parent",
                                      "true"};
  try {
    Glib::spawn_async_with_pipes("/", argv, Glib::SPAWN_DO_NOT_REAP_CHILD | Glib::SPAWN_STDOUT_TO_DEV_NULL,
                                 Glib::SlotSpawnChildSetup(), &probe.pid, nullptr, nullptr, &probe.errors);
  } catch (const Glib::Error& error) {
    probe.pid = 0;
    probe.verdict = "bubblewrap does not start: " + std::string(error.what());
  }
}

const std::string& EngineSandbox::Unavailable() {
  Probe& probe = State();
  StartProbe();
  if (!probe.verdict) {
    const std::string errors = ReadAll(probe.errors);
    close(probe.errors);
    int status = 0;
    while (waitpid(probe.pid, &status, 0) < 0 && errno == EINTR) {
    }
    Glib::spawn_close_pid(probe.pid);
    probe.pid = 0;
    probe.verdict =
        g_spawn_check_wait_status(status, nullptr) ? "" : "bubblewrap cannot make the namespaces: " + Complaint(errors);
  }
  return *probe.verdict;
}

bool EngineSandbox::Enable(WebKitWebContext* context) {
  const std::string& reason = Unavailable();
  if (!reason.empty()) {
    AfxTrace("Page sandbox off: %s", reason.c_str());
    return false;
  }
  webkit_web_context_set_sandbox_enabled(context, TRUE);
  return true;
}
