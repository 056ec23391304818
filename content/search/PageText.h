// The searchable text of one HTML page, read with libxml2's HTML parser in streaming (SAX) mode:
// the page's title and one section per heading (h1-h6) or definition term with an id, each with its
// anchor and its body as blocks of text (one per paragraph, list item, cell ...). Text of script,
// style, nav and role=navigation|search elements is left out. The page is read in chunks, so memory
// stays bounded; past kMaxText bytes of text the rest is left out and the page counts as cut.
// The encoding is the page's own (byte-order mark, meta charset), else UTF-8 with invalid bytes
// replaced; every text is valid UTF-8. Safe to use on several threads at once (InitParser first).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PageSection {
  std::string heading;  // "" for the text before the page's first heading
  std::string anchor;   // the fragment that shows the section; "" for the top of the page
  std::vector<std::string> blocks;
};

struct PageText {
  std::string title;
  std::vector<PageSection> sections;
  bool cut = false;  // longer than kMaxText: only its first part is here

  static constexpr std::size_t kMaxText = 8 << 20;

  // Reads the file at path; false (with error set) when it cannot be read.
  static bool FromFile(const std::string& path, PageText& page, std::string& error);
  static PageText FromBytes(const std::string& html);
  // Prepares libxml2 for use on several threads; call once on the main thread.
  static void InitParser();
};
