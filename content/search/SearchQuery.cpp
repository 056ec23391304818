#include "content/search/SearchQuery.h"

#include <glib.h>

#include <memory>

namespace {

// The words of text: runs of letters, digits and marks (what the index's tokenizer keeps).
std::vector<std::string> WordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char* p = text.c_str(); *p != '\0'; p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    const GUnicodeType type = g_unichar_type(c);
    const bool part = g_unichar_isalnum(c) || type == G_UNICODE_SPACING_MARK || type == G_UNICODE_ENCLOSING_MARK ||
                      type == G_UNICODE_NON_SPACING_MARK || type == G_UNICODE_PRIVATE_USE;
    if (part) {
      word.append(p, std::size_t(g_utf8_next_char(p) - p));
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

std::string Quoted(const std::string& word) {
  std::string quoted = "\"";
  for (char c : word) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Valid(const std::string& text) {
  const std::unique_ptr<gchar, decltype(&g_free)> valid(g_utf8_make_valid(text.data(), gssize(text.size())), g_free);
  return valid.get();
}

}  // namespace

SearchQuery SearchQuery::Parse(const std::string& typedText, bool typing) {
  const std::string text = Valid(typedText);
  SearchQuery query;
  auto add = [&](const std::string& piece, bool prefix) {
    Term term{WordsOf(piece), prefix};
    if (!term.words.empty()) query.terms.push_back(std::move(term));
  };
  std::size_t at = 0;
  while (at < text.size()) {
    if (g_ascii_isspace(text[at])) {
      ++at;
      continue;
    }
    if (text[at] == '"') {
      const std::size_t close = text.find('"', at + 1);
      const std::size_t end = close == std::string::npos ? text.size() : close;
      const bool prefix = close != std::string::npos && close + 1 < text.size() && text[close + 1] == '*';
      add(text.substr(at + 1, end - at - 1), prefix || (typing && close == std::string::npos));
      at = close == std::string::npos ? end : close + 1;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && !g_ascii_isspace(text[end]) && text[end] != '"') ++end;
    const std::string piece = text.substr(at, end - at);
    const bool starred = piece.back() == '*';
    add(piece, starred || (typing && end == text.size()));
    at = end;
  }
  return query;
}

std::string SearchQuery::Expression() const {
  std::string expression;
  for (const Term& term : terms) {
    if (!expression.empty()) expression += " AND ";
    std::string joined;
    for (const std::string& word : term.words) {
      if (!joined.empty()) joined += ' ';
      joined += word;
    }
    expression += Quoted(joined);
    if (term.prefix) expression += '*';
  }
  return expression;
}

std::vector<std::string> SearchQuery::Words() const {
  std::vector<std::string> words;
  for (const Term& term : terms) words.insert(words.end(), term.words.begin(), term.words.end());
  return words;
}

std::string SearchQuery::Normalised() const {
  std::string normalised;
  for (const std::string& word : Words()) {
    const std::unique_ptr<gchar, decltype(&g_free)> lower(g_utf8_strdown(word.c_str(), -1), g_free);
    if (!normalised.empty()) normalised += ' ';
    normalised += lower.get();
  }
  return normalised;
}
