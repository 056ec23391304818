#include "html/EngineSandbox.h"

#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <glibmm/spawn.h>
#include <webkit2/webkit2.h>

#include <vector>

#include "core/Trace.h"

namespace {

// The engine runs these by their installed paths, not through PATH.
constexpr const char* kBubblewrap = "/usr/bin/bwrap";
constexpr const char* kDBusProxy = "/usr/bin/xdg-dbus-proxy";
// The engine's own switch; with it set the engine leaves the sandbox off whatever it is told.
constexpr const char* kEngineOff = "WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS";

bool IsProgram(const char* path) { return Glib::file_test(path, Glib::FILE_TEST_IS_EXECUTABLE); }

// bwrap's complaint without its "bwrap: " prefix and trailing newline.
std::string FirstLine(std::string text) {
  if (text.rfind("bwrap: ", 0) == 0) text.erase(0, 7);
  const auto end = text.find('\n');
  return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

std::string EngineSandbox::Unavailable() {
  if (!Glib::getenv(kEngineOff).empty()) return std::string(kEngineOff) + " is set";
  if (!IsProgram(kBubblewrap)) return std::string(kBubblewrap) + " is not installed (package bubblewrap)";
  if (!IsProgram(kDBusProxy)) return std::string(kDBusProxy) + " is not installed (package xdg-dbus-proxy)";
  // The namespaces the engine asks bubblewrap for a page process; a user namespace comes with
  // them whenever bubblewrap runs unprivileged.
  const std::vector<std::string> probe{
      kBubblewrap,     "--ro-bind",         "/",   "/", "--unshare-pid", "--unshare-uts",
      "--unshare-net", "--die-with-parent", "true"};
  std::string errors;
  int status = 0;
  try {
    Glib::spawn_sync("/", probe, Glib::SPAWN_STDOUT_TO_DEV_NULL, Glib::SlotSpawnChildSetup(), nullptr, &errors,
                     &status);
  } catch (const Glib::Error& error) {
    return "bubblewrap does not start: " + std::string(error.what());
  }
  if (g_spawn_check_wait_status(status, nullptr)) return "";
  return "bubblewrap cannot make the namespaces: " + (errors.empty() ? "no reason given" : FirstLine(errors));
}

bool EngineSandbox::Enable(WebKitWebContext* context) {
  const std::string reason = Unavailable();
  if (!reason.empty()) {
    AfxTrace("Page sandbox off: %s", reason.c_str());
    return false;
  }
  webkit_web_context_set_sandbox_enabled(context, TRUE);
  return true;
}
