// What a person types into a search, read as a query for the index's full-text table. Words are
// ANDed; "a phrase" is kept together; a trailing * (or, while typing, the last word) matches as a
// prefix. A word written with inner hyphens, dots or underscores (f-string, os.path.join) matches
// as written: its parts, next to each other. Everything else (operators, parentheses, colons, a
// lone *, a leading -) is read as a plain word or left out: nothing typed is ever an error.
#pragma once

#include <string>
#include <vector>

struct SearchQuery {
  struct Term {
    std::vector<std::string> words;  // one word, or the words of a phrase or a dotted name
    bool prefix = false;             // the last word matches as a prefix
  };
  std::vector<Term> terms;

  // typing: the last word is still being typed (no space after it), so it matches as a prefix.
  static SearchQuery Parse(const std::string& typed, bool typing = false);
  bool Empty() const { return terms.empty(); }
  // The FTS5 expression: each term a quoted string, the terms ANDed; "" for an empty query.
  std::string Expression() const;
  // The words, letter case kept, for highlighting on the page and in the results' title.
  std::vector<std::string> Words() const;
  // The query as it reads normalised: the terms' words, lower case, one space apart.
  std::string Normalised() const;
};
