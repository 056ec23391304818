// --help and --version: answered before anything else (no display, no settings) with the texts of
// the resource module's string table, on the standard output.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The exit status when the arguments (program name excluded) ask for help or the version, after
// printing it; nothing when they ask for neither.
std::optional<int> AfxAnswerInfoRequest(const std::vector<std::string>& args);
