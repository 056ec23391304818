// The engine's page-process sandbox (bubblewrap): page processes run in their own mount, process
// and network namespaces and see the system's libraries, fonts and data read-only, not the user's
// files. Pages from disk still load, because the engine's network process reads them and hands
// them over. Where bubblewrap cannot start here (not installed, the kernel or a container refuses
// new namespaces, or a user folder such as $XDG_CONFIG_HOME names a regular file) the engine would
// abort the whole program at its first page, so the sandbox stays off and the trace says why, once.
#pragma once

#include <string>

typedef struct _WebKitWebContext WebKitWebContext;

class EngineSandbox {
 public:
  // Starts finding out whether bubblewrap works here, in the background, so that start-up need
  // not wait for it; Unavailable and Enable collect the answer.
  static void StartProbe();

  // "" when bubblewrap starts here with the namespaces the engine asks of it, else why it does
  // not. Decided once per process.
  static const std::string& Unavailable();

  // Turns the sandbox on for context when it can start here; must precede the context's first
  // page process. Returns whether it is on.
  static bool Enable(WebKitWebContext* context);
};
