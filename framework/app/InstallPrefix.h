// Where the running executable is installed: its own file, and the prefix it is installed under
// (the executable's folder lies a known path below it), from which the installed data is found
// wherever the installed tree has moved.
#pragma once

#include <string>

// The running executable's file; "" when it cannot be told.
std::string AfxExecutable();
// The prefix the running executable is installed under; "" when the executable cannot be told.
std::string AfxInstallPrefix();
