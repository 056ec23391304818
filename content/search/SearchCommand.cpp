#include "content/search/SearchCommand.h"

#include <glib.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/CCommandLineInfo.h"
#include "content/search/PageText.h"
#include "content/search/SearchIndex.h"

namespace {

bool IsSearchFlag(const std::string& arg) {
  std::string name;
  return CCommandLineInfo::IsFlag(arg, name) &&
         (g_ascii_strcasecmp(name.c_str(), "search") == 0 || g_ascii_strcasecmp(name.c_str(), "-search") == 0);
}

// Where the arguments ask for a search: the place of the first --search, unless help or version
// comes first, as everywhere on the line.
std::optional<std::size_t> SearchFlag(const std::vector<std::string>& args) {
  CCommandLineInfo info;
  info.ParseArguments(args);
  if (info.m_nInfoRequest != CCommandLineInfo::NoInfo) return std::nullopt;
  for (std::size_t i = 0; i < args.size(); ++i)
    if (IsSearchFlag(args[i])) return i;
  return std::nullopt;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "folioscope: %s\n", message.c_str());
  return 2;
}

int Search(const std::string& typed, const std::string& given) {
  char* resolved = realpath(given.c_str(), nullptr);
  if (resolved == nullptr) return Fail(given + ": " + std::strerror(errno));
  const std::string folder = resolved;
  free(resolved);
  if (!g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) return Fail(given + ": not a folder");

  PageText::InitParser();
  SearchIndex index(folder);
  const bool terminal = isatty(STDERR_FILENO) != 0;
  std::atomic<bool> never{false};
  const SearchIndex::Refreshed refreshed = index.Refresh(
      [terminal](std::size_t done, std::size_t total) {
        if (terminal && (done % 10 == 0 || done == total))
          std::fprintf(stderr, "\rIndexing %zu of %zu pages…", done, total);
      },
      never);
  if (terminal && refreshed.read > 0) std::fputs("\r\033[K", stderr);
  if (!index.Notice().empty()) std::fprintf(stderr, "folioscope: %s\n", index.Notice().c_str());

  const SearchIndex::Results results = index.Find(SearchQuery::Parse(typed), 0, SearchCommand::kHits);
  for (const SearchIndex::Hit& hit : results.hits) {
    std::string line = hit.path;
    if (!hit.anchor.empty()) line += "#" + hit.anchor;
    line += "\t" + hit.title;
    if (!hit.heading.empty() && hit.heading != hit.title) {
      if (!hit.title.empty()) line += " › ";
      line += hit.heading;
    }
    std::printf("%s\n", line.c_str());
  }
  if (std::fflush(stdout) != 0) return Fail(std::string("standard output: ") + std::strerror(errno));
  return results.hits.empty() ? 1 : 0;
}

}  // namespace

bool SearchCommand::IsAsked(const std::vector<std::string>& args) { return SearchFlag(args).has_value(); }

std::optional<int> SearchCommand::RunIfAsked(const std::vector<std::string>& args) {
  const std::optional<std::size_t> flag = SearchFlag(args);
  if (!flag) return std::nullopt;
  const std::size_t i = *flag;
  if (i + 1 >= args.size()) return Fail("--search needs a QUERY (folioscope --search QUERY [FOLDER])");
  if (i + 3 < args.size()) return Fail("--search takes a QUERY and at most one FOLDER");
  try {
    return Search(args[i + 1], i + 2 < args.size() ? args[i + 2] : ".");
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
