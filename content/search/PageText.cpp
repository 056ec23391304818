#include "content/search/PageText.h"

#include <fcntl.h>
#include <glib.h>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

// Elements whose start or end separates two blocks of text.
bool IsBlock(const char* name) {
  static constexpr std::array kBlocks = {"address", "article", "aside", "blockquote", "br",     "caption", "dd",
                                         "div",     "dl",      "dt",    "figcaption", "figure", "footer",  "form",
                                         "h1",      "h2",      "h3",    "h4",         "h5",     "h6",      "header",
                                         "hr",      "li",      "main",  "ol",         "p",      "pre",     "section",
                                         "table",   "td",      "th",    "tr",         "ul",     "title",   "body"};
  for (const char* block : kBlocks)
    if (std::strcmp(name, block) == 0) return true;
  return false;
}

bool IsHeading(const char* name) { return name[0] == 'h' && name[1] >= '1' && name[1] <= '6' && name[2] == '\0'; }

bool IsSkipped(const char* name) {
  return std::strcmp(name, "script") == 0 || std::strcmp(name, "style") == 0 || std::strcmp(name, "nav") == 0 ||
         std::strcmp(name, "noscript") == 0 || std::strcmp(name, "template") == 0;
}

const char* Attribute(const xmlChar** attributes, const char* wanted) {
  for (const xmlChar** a = attributes; a != nullptr && a[0] != nullptr; a += 2)
    if (g_ascii_strcasecmp(reinterpret_cast<const char*>(a[0]), wanted) == 0)
      return a[1] != nullptr ? reinterpret_cast<const char*>(a[1]) : "";
  return nullptr;
}

bool HasWord(const char* list, const char* word) {
  if (list == nullptr) return false;
  const std::size_t n = std::strlen(word);
  for (const char* p = list; (p = std::strstr(p, word)) != nullptr; p += n)
    if ((p == list || g_ascii_isspace(p[-1])) && (p[n] == '\0' || g_ascii_isspace(p[n]))) return true;
  return false;
}

// Collapses runs of white space to one space and drops it at both ends.
void AppendCollapsed(std::string& out, const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

class Extractor {
 public:
  explicit Extractor(PageText& page) : m_page(page) { m_page.sections.emplace_back(); }

  void Start(const char* name, const xmlChar** attributes) {
    const char* id = Attribute(attributes, "id");
    if (id == nullptr && std::strcmp(name, "a") == 0) id = Attribute(attributes, "name");
    const char* role = Attribute(attributes, "role");
    const bool skip = IsSkipped(name) ||
                      (role != nullptr && (HasWord(role, "navigation") || HasWord(role, "search"))) ||
                      (std::strcmp(name, "a") == 0 && HasWord(Attribute(attributes, "class"), "headerlink"));
    m_open.push_back({name, id != nullptr ? id : "", skip});
    if (skip) ++m_skipping;
    if (m_skipping > 0) return;
    if (std::strcmp(name, "title") == 0) m_inTitle = true;
    if (IsBlock(name)) EndBlock();
    const bool term = std::strcmp(name, "dt") == 0 && id != nullptr && *id != '\0';
    if (m_headingDepth == 0 && (IsHeading(name) || term)) {
      StartSection(id != nullptr ? id : "");
      m_headingDepth = m_open.size();
    } else if (m_headingDepth > 0 && id != nullptr && *id != '\0' && m_page.sections.back().anchor.empty()) {
      m_page.sections.back().anchor = id;  // an <a id> or <a name> inside the heading
    }
    if (id != nullptr && *id != '\0') m_lastId = id;
  }

  void End(const char* name) {
    // The parser closes elements left open; an end without a start is ignored.
    std::size_t at = m_open.size();
    while (at > 0 && m_open[at - 1].name != name) --at;
    if (at == 0) return;
    while (m_open.size() >= at) Close();
  }

  void Characters(const char* text, int length) {
    if (m_skipping > 0 || m_full) return;
    if (m_inTitle && m_headingDepth == 0) {
      AppendCollapsed(m_title, text, std::size_t(length));
      return;
    }
    std::string& target = m_headingDepth > 0 ? m_heading : m_block;
    AppendCollapsed(target, text, std::size_t(length));
    m_total += std::size_t(length);
    if (m_total > PageText::kMaxText) m_full = m_page.cut = true;
  }

  bool Full() const { return m_full; }

  void Finish() {
    while (!m_open.empty()) Close();
    EndBlock();
    EndHeading();
    m_page.title = Trimmed(m_title);
    for (PageSection& section : m_page.sections) {
      section.heading = Valid(section.heading);
      section.anchor = Valid(section.anchor);
      for (std::string& block : section.blocks) block = Valid(block);
    }
    m_page.title = Valid(m_page.title);
    // A page without headings still has its one section; an empty lead section goes.
    if (m_page.sections.size() > 1 && m_page.sections.front().blocks.empty())
      m_page.sections.erase(m_page.sections.begin());
  }

 private:
  struct Open {
    std::string name;
    std::string id;
    bool skip;
    bool named = false;  // a section whose id a heading in it already has
  };

  static std::string Valid(const std::string& text) {
    if (g_utf8_validate(text.data(), gssize(text.size()), nullptr)) return text;
    const std::unique_ptr<gchar, decltype(&g_free)> valid(g_utf8_make_valid(text.data(), gssize(text.size())), g_free);
    return valid.get();
  }

  void Close() {
    const Open open = std::move(m_open.back());
    m_open.pop_back();
    if (open.skip) {
      --m_skipping;
      return;
    }
    if (m_skipping > 0) return;
    if (open.name == "title") m_inTitle = false;
    if (m_headingDepth > m_open.size()) EndHeading();
    if (IsBlock(open.name.c_str())) EndBlock();
  }

  void StartSection(const std::string& id) {
    EndBlock();
    m_page.sections.push_back({"", id, {}});
    m_heading.clear();
    m_pendingFallback = id.empty();
    m_enclosing.clear();
    // The section the heading opens: its id, unless an earlier heading in it has it.
    for (auto open = m_open.rbegin(); open != m_open.rend(); ++open)
      if (open->name == "section") {
        if (!open->named && !open->id.empty()) m_enclosing = open->id;
        open->named = true;
        break;
      }
  }

  void EndHeading() {
    if (m_headingDepth == 0) return;
    m_headingDepth = 0;
    PageSection& section = m_page.sections.back();
    section.heading = Trimmed(m_heading);
    // Without an id of its own or of a link in it, a heading is found by the section it opens, else
    // by the nearest id before it.
    if (section.anchor.empty() && m_pendingFallback) section.anchor = m_enclosing.empty() ? m_lastId : m_enclosing;
    m_pendingFallback = false;
    m_heading.clear();
  }

  void EndBlock() {
    std::string block = Trimmed(std::move(m_block));
    m_block.clear();
    if (!block.empty()) m_page.sections.back().blocks.push_back(std::move(block));
  }

  PageText& m_page;
  std::vector<Open> m_open;
  std::size_t m_skipping = 0;
  std::size_t m_headingDepth = 0;  // depth of the heading being read, 0 outside one
  std::size_t m_total = 0;
  bool m_inTitle = false;
  bool m_full = false;
  bool m_pendingFallback = false;
  std::string m_title, m_heading, m_block, m_lastId, m_enclosing;
};

Extractor& Of(void* context) { return *static_cast<Extractor*>(static_cast<htmlParserCtxtPtr>(context)->_private); }

htmlSAXHandler Handler() {
  htmlSAXHandler sax{};
  sax.startElement = [](void* context, const xmlChar* name, const xmlChar** attributes) {
    Of(context).Start(reinterpret_cast<const char*>(name), attributes);
  };
  sax.endElement = [](void* context, const xmlChar* name) { Of(context).End(reinterpret_cast<const char*>(name)); };
  sax.characters = [](void* context, const xmlChar* text, int length) {
    Of(context).Characters(reinterpret_cast<const char*>(text), length);
  };
  sax.cdataBlock = sax.characters;
  return sax;
}

struct FreeContext {
  void operator()(htmlParserCtxtPtr context) const {
    if (context->myDoc != nullptr) xmlFreeDoc(context->myDoc);
    htmlFreeParserCtxt(context);
  }
};

// The encoding a page declares in its first bytes (meta charset or http-equiv), else UTF-8; ""
// when it starts with a byte-order mark, which the parser reads itself.
std::string DeclaredEncoding(const char* bytes, std::size_t size) {
  if (size >= 2 && ((bytes[0] == '\xEF' && bytes[1] == '\xBB') || (bytes[0] == '\xFE' && bytes[1] == '\xFF') ||
                    (bytes[0] == '\xFF' && bytes[1] == '\xFE')))
    return "";
  std::string head(bytes, std::min<std::size_t>(size, 4096));
  for (char& c : head) c = g_ascii_tolower(c);
  for (std::size_t at = head.find("charset"); at != std::string::npos; at = head.find("charset", at + 7)) {
    std::size_t p = at + 7;
    while (p < head.size() && (head[p] == ' ' || head[p] == '=' || head[p] == '"' || head[p] == '\'')) ++p;
    std::size_t end = p;
    while (end < head.size() &&
           (g_ascii_isalnum(head[end]) || head[end] == '-' || head[end] == '_' || head[end] == ':'))
      ++end;
    if (end > p) return head.substr(p, end - p);
  }
  return "utf-8";
}

// Feeds chunks from read until it returns none, or the page holds all the text it may.
template <typename Read>
void Parse(PageText& page, Read read) {
  static htmlSAXHandler sax = Handler();
  Extractor extractor(page);
  std::unique_ptr<htmlParserCtxt, FreeContext> context(
      htmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr, XML_CHAR_ENCODING_NONE));
  if (context == nullptr) return;
  context->_private = &extractor;
  htmlCtxtUseOptions(context.get(), HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                                        HTML_PARSE_COMPACT);
  std::array<char, 64 * 1024> chunk{};
  for (bool first = true;; first = false) {
    const std::size_t n = read(chunk.data(), chunk.size());
    if (first) {
      const std::string encoding = DeclaredEncoding(chunk.data(), n);
      xmlCharEncodingHandlerPtr handler = encoding.empty() ? nullptr : xmlFindCharEncodingHandler(encoding.c_str());
      if (encoding == "utf-8" || handler == nullptr) handler = xmlFindCharEncodingHandler("utf-8");
      if (!encoding.empty()) xmlSwitchToEncoding(context.get(), handler);
    }
    if (n == 0 || extractor.Full()) break;
    htmlParseChunk(context.get(), chunk.data(), int(n), 0);
    if (extractor.Full()) break;
  }
  if (!extractor.Full()) htmlParseChunk(context.get(), nullptr, 0, 1);
  extractor.Finish();
}

}  // namespace

void PageText::InitParser() { xmlInitParser(); }

PageText PageText::FromBytes(const std::string& html) {
  PageText page;
  std::size_t at = 0;
  Parse(page, [&](char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, html.size() - at);
    std::memcpy(buffer, html.data() + at, n);
    at += n;
    return n;
  });
  return page;
}

bool PageText::FromFile(const std::string& path, PageText& page, std::string& error) {
  // O_NONBLOCK: a FIFO put in the file's place while the folder was read cannot hang the reader.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "not a regular file";
    close(fd);
    return false;
  }
  bool failed = false;
  Parse(page, [&](char* buffer, std::size_t size) -> std::size_t {
    for (;;) {
      const ssize_t n = read(fd, buffer, size);
      if (n >= 0) return std::size_t(n);
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      failed = true;
      return 0;
    }
  });
  close(fd);
  return !failed;
}
