// The window's process entry (the executable `folioscope-window`, which the launcher `folioscope`
// executes with its own command line): hands control, with the program's resources, to the
// framework, which drives the program's one application object (a global of the program's library,
// linked in whole).
#include <sys/prctl.h>

#include <string_view>

#include "app/CWinApp.h"
#include "resources/Resources.h"

int main(int argc, char** argv) {
  // The process keeps the name it was started by (the launcher's), for the tools that find a
  // program's processes by name (top, pkill -x, killall).
  if (argc > 0) {
    const std::string_view started = argv[0];
    const std::string name(started.substr(started.rfind('/') + 1));
    prctl(PR_SET_NAME, name.c_str());
  }
  return AfxWinMain(argc, argv, ProgramResources());
}
