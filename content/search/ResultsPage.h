// The page of a search's results, generated at an address of its own below the folder's
// ("generated:///the/folder/?search=socket%20timeout", with "&from=50" for the next part), so that
// each search is a history entry and its links to the pages resolve against the folder. It says how
// many sections match in how many pages and lists each hit: page title › heading as the link to the
// section, a snippet with the matched words marked, and the page's path in small text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "content/search/SearchIndex.h"

namespace ResultsPage {

constexpr std::size_t kPerPage = 50;

struct Request {
  std::string folderUri;  // "file:///the/folder/"
  std::string typed;      // the query as typed
  std::size_t from = 0;   // the first hit shown
};

std::string Address(const Request& request);
// The request an address names, or nothing for other addresses.
std::optional<Request> Parse(const std::string& address);

// What the page says beside the hits: pages that could not be read or were cut, the index's notice,
// and whether indexing is still under way.
struct Footer {
  std::size_t unreadable = 0;
  std::size_t cut = 0;
  std::string notice;
  bool indexing = false;
};

std::string Html(const Request& request, const SearchIndex::Results& results, const Footer& footer);

}  // namespace ResultsPage
