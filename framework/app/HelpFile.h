// Where the program's guide is: a folder of HTML pages installed under
// <prefix>/<datadir>/doc/<program>/guide, the prefix being the one the executable is installed under;
// when the executable runs from its build tree, the guide folder of its source tree.
#pragma once

#include <string>

// The guide's index.html for the executable named exeName, or "" when there is none.
std::string AfxFindHelpFile(const std::string& exeName);
