// The search in a terminal: "folioscope --search QUERY [FOLDER]" (also -search and /search, as
// every flag) prints the best hits of the folder's index, one a line: the page's path relative to
// the folder with the section's anchor, a tab, and "Page title › Section heading". It needs no
// display, uses and refreshes the same index as the window, and shows its progress on standard
// error only when that is a terminal. Its status is grep's: 0 with hits, 1 with none, 2 on an error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace SearchCommand {

constexpr std::size_t kHits = 20;

// Whether the arguments (program name excluded) ask for a search.
bool IsAsked(const std::vector<std::string>& args);

// The status of the search the arguments (program name excluded) ask for; nothing when they ask
// for none, so that the window starts as before.
std::optional<int> RunIfAsked(const std::vector<std::string>& args);

}  // namespace SearchCommand
