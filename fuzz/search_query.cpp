// The search query language: whatever is typed parses, and the expression it makes is one the
// full-text index accepts (SQLite FTS5 parses it without an error) and finds with.
#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/search/SearchQuery.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

sqlite3* Index() {
  static sqlite3* db = [] {
    sqlite3* made = nullptr;
    Check(sqlite3_open(":memory:", &made) == SQLITE_OK);
    Check(sqlite3_exec(made,
                       "CREATE VIRTUAL TABLE t USING fts5(a, tokenize='porter unicode61 remove_diacritics 2');"
                       "INSERT INTO t VALUES('some text to match against');",
                       nullptr, nullptr, nullptr) == SQLITE_OK);
    return made;
  }();
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(reinterpret_cast<const char*>(data), size);
  for (bool typing : {false, true}) {
    const SearchQuery query = SearchQuery::Parse(typed, typing);
    const std::string expression = query.Expression();
    Check(query.Empty() == expression.empty());
    if (expression.empty()) continue;
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v2(Index(), "SELECT count(*) FROM t WHERE t MATCH ?", -1, &statement, nullptr) == SQLITE_OK);
    sqlite3_bind_text(statement, 1, expression.data(), int(expression.size()), SQLITE_TRANSIENT);
    const int code = sqlite3_step(statement);
    sqlite3_finalize(statement);
    Check(code == SQLITE_ROW);
  }
  return 0;
}
