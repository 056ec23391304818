// A section's snippet as the results show it: a few words of one column around its first match, the
// matched words between two marks, an ellipsis where the text goes on before or after. FTS5's own
// snippet() reads the whole column to score every window of it; this one reads the column only as
// far as the words it shows, so a hit in a long section costs no more than one in a short section.
#pragma once

#include "content/search/Sqlite.h"

struct SectionSnippet {
  // Makes section_snippet(table, column, open, close, ellipsis, words) an FTS5 function of db.
  static void Register(SqliteDatabase& db);
};
