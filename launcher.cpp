// The executable `folioscope`: answers --help, --version and the terminal's --search itself, without
// the window's libraries (so that their start is not the dynamic loader placing GTK and WebKitGTK),
// and for every other command line executes the window's own executable in this same process, with
// the very same arguments, the program name included.
#include <glib.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InfoRequest.h"
#include "content/search/SearchCommand.h"
#include "resources/Resources.h"

namespace {

sigset_t g_startMask;  // the signals held back when the process started

// The end of a session (SIGTERM, SIGHUP, SIGINT) may come while the program starts. From before any
// library initialises it is held back; the hold lasts through the exec, and the window lets it
// through once its own handlers are in place, so that one sent meanwhile ends the run as they do.
void HoldEndOfSession() {
  sigset_t ends;
  sigemptyset(&ends);
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaddset(&ends, signal);
  sigprocmask(SIG_BLOCK, &ends, &g_startMask);
}

[[gnu::used, gnu::section(".preinit_array")]] void (*const kHoldEndOfSession)() = HoldEndOfSession;

using GlibText = std::unique_ptr<gchar, decltype(&g_free)>;

bool InBuildTree(const std::string& folder) {
  const std::unique_ptr<char, decltype(&free)> build(realpath(FOLIOSCOPE_BUILD_DIR, nullptr), free);
  return build && folder == build.get();
}

// The window's executable: beside this one in the build tree, else where it is installed, found from
// this one's folder so that the installed tree may move.
std::string WindowExecutable(const std::string& self) {
  const GlibText folder(g_path_get_dirname(self.c_str()), g_free);
  const char* relative = InBuildTree(folder.get()) ? FOLIOSCOPE_WINDOW_BUILT : FOLIOSCOPE_WINDOW_INSTALLED;
  const GlibText window(g_canonicalize_filename(relative, folder.get()), g_free);
  return window.get();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "folioscope: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  static const CResourceModule strings{ProgramStrings()};
  AfxSetResourceModule(&strings);
  if (const std::optional<int> status = AfxAnswerInfoRequest(args)) return *status;
  if (SearchCommand::IsAsked(args)) {
    // A search ends on Ctrl+C, as grep does.
    sigprocmask(SIG_SETMASK, &g_startMask, nullptr);
    return *SearchCommand::RunIfAsked(args);
  }
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
  if (length < 0 || length == sizeof self)
    return Fail(std::string("cannot find the window's executable: /proc/self/exe: ") +
                std::strerror(length < 0 ? errno : ENAMETOOLONG));
  const std::string window = WindowExecutable(std::string(self, std::size_t(length)));
  execv(window.c_str(), argv);
  return Fail("cannot run the window's executable " + window + ": " + std::strerror(errno));
}
