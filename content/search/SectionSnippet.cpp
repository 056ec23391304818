#include "content/search/SectionSnippet.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The tokens of a window of the column, by their bytes in its text.
struct Reading {
  int first = 0, end = 0;  // the tokens shown, by index
  int index = 0;
  bool more = false;  // the text goes on after them
  std::vector<std::pair<int, int>> tokens;
};

int Token(void* context, int flags, const char*, int, int start, int end) {
  Reading& reading = *static_cast<Reading*>(context);
  if ((flags & FTS5_TOKEN_COLOCATED) != 0) return SQLITE_OK;
  if (reading.index >= reading.end) {
    reading.more = true;
    return SQLITE_DONE;  // read no further
  }
  if (reading.index >= reading.first) reading.tokens.emplace_back(start, end);
  ++reading.index;
  return SQLITE_OK;
}

std::string Text(sqlite3_value* value) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return text != nullptr ? std::string(text, std::size_t(sqlite3_value_bytes(value))) : "";
}

void Snippet(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* result, int count, sqlite3_value** args) {
  if (count != 5) {
    sqlite3_result_error(result, "section_snippet takes a column, two marks, an ellipsis and a length", -1);
    return;
  }
  const int column = sqlite3_value_int(args[0]);
  const std::string open = Text(args[1]), close = Text(args[2]), ellipsis = Text(args[3]);
  const int words = std::max(1, sqlite3_value_int(args[4]));

  // The matched tokens of the column, and the first of them.
  int instances = 0;
  if (const int code = api->xInstCount(fts, &instances); code != SQLITE_OK)
    return sqlite3_result_error_code(result, code);
  std::set<int> matched;
  int firstMatch = -1;
  for (int i = 0; i < instances; ++i) {
    int phrase = 0, in = 0, offset = 0;
    if (api->xInst(fts, i, &phrase, &in, &offset) != SQLITE_OK || in != column) continue;
    for (int k = 0; k < api->xPhraseSize(fts, phrase); ++k) matched.insert(offset + k);
    if (firstMatch < 0 || offset < firstMatch) firstMatch = offset;
  }
  const char* text = nullptr;
  int length = 0;
  if (const int code = api->xColumnText(fts, column, &text, &length); code != SQLITE_OK)
    return sqlite3_result_error_code(result, code);
  if (text == nullptr) {  // an empty column
    text = "";
    length = 0;
  }

  // A quarter of the words before the first match, the rest from it on.
  Reading reading;
  reading.first = firstMatch < 0 ? 0 : std::max(0, firstMatch - words / 4);
  reading.end = reading.first + words;
  if (const int code = api->xTokenize(fts, text, length, &reading, Token); code != SQLITE_OK && code != SQLITE_DONE)
    return sqlite3_result_error_code(result, code);

  std::string snippet;
  if (reading.first > 0 && !reading.tokens.empty()) snippet += ellipsis;
  bool marking = false;
  // From the column's start when it is shown from its first word.
  int at = reading.tokens.empty() || reading.first == 0 ? 0 : reading.tokens.front().first;
  for (std::size_t i = 0; i < reading.tokens.size(); ++i) {
    const auto [start, end] = reading.tokens[i];
    const bool mark = matched.count(reading.first + int(i)) > 0;
    if (mark != marking && !mark) snippet += close;
    snippet.append(text + at, std::size_t(start - at));  // what lies between two tokens
    if (mark != marking && mark) snippet += open;
    marking = mark;
    snippet.append(text + start, std::size_t(end - start));
    at = end;
  }
  if (marking) snippet += close;
  if (reading.more)
    snippet += ellipsis;
  else
    snippet.append(text + at, std::size_t(length - at));  // to the column's end
  sqlite3_result_text(result, snippet.data(), int(snippet.size()), SQLITE_TRANSIENT);
}

}  // namespace

void SectionSnippet::Register(SqliteDatabase& db) {
  fts5_api* api = nullptr;
  SqliteStatement find = db.Prepare("SELECT fts5(?1)");
  db.Check(sqlite3_bind_pointer(find.Handle(), 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr));
  find.Step();
  if (api == nullptr) throw SqliteError(SQLITE_ERROR, "SQLite has no FTS5");
  db.Check(api->xCreateFunction(api, "section_snippet", nullptr, Snippet, nullptr));
}
