// A page's searchable text: sections and their anchors, what is left out, encodings, size bounds.
#include <gtest/gtest.h>

#include <string>

#include "../TempDir.h"
#include "content/search/PageText.h"

namespace {

std::string Body(const PageSection& section) {
  std::string body;
  for (const std::string& block : section.blocks) body += (body.empty() ? "" : "|") + block;
  return body;
}

TEST(PageText, OneSectionPerHeadingWithItsAnchor) {
  const PageText page = PageText::FromBytes(R"(<!DOCTYPE html><html><head><title> The  socket
      module </title><style>h1 { color: red }</style><script>var hidden = "script";</script></head><body>
    <nav>Contents Index</nav><div role="navigation">Previous topic</div><form role="search">Quick search</form>
    <p>Before any heading.</p>
    <section id="socket-module"><h1>socket <em>module</em><a class="headerlink" href="#socket-module">¶</a></h1>
      <p>Low-level   networking.</p><p>Second block</p>
      <h2 id="timeouts">Timeouts</h2><p>Set a timeout.</p>
      <h3>Named <a name="named-anchor">inside</a></h3><p>Named body</p>
      <div id="preceding"></div><h4>No id at all</h4><p>Falls back</p>
      <dl><dt id="socket.settimeout">socket.settimeout(value)</dt><dd>Sets the timeout.</dd>
          <dt>plain term</dt><dd>stays in the definition above</dd></dl>
    </section></body></html>)");
  EXPECT_EQ(page.title, "The socket module");
  struct Expected {
    const char* heading;
    const char* anchor;
    const char* body;
  };
  const Expected expected[] = {
      {"", "", "Before any heading."},
      {"socket module", "socket-module", "Low-level networking.|Second block"},
      {"Timeouts", "timeouts", "Set a timeout."},
      {"Named inside", "named-anchor", "Named body"},
      {"No id at all", "preceding", "Falls back"},
      {"socket.settimeout(value)", "socket.settimeout", "Sets the timeout.|plain term|stays in the definition above"},
  };
  ASSERT_EQ(page.sections.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].heading);
    EXPECT_EQ(page.sections[i].heading, expected[i].heading);
    EXPECT_EQ(page.sections[i].anchor, expected[i].anchor);
    EXPECT_EQ(Body(page.sections[i]), expected[i].body);
  }
  EXPECT_FALSE(page.cut);
}

TEST(PageText, DecodedByItsCharsetAlwaysValidUtf8) {
  struct Case {
    const char* name;
    std::string html;
    std::string text;
  };
  const Case cases[] = {
      {"meta charset", "<html><head><meta charset=\"iso-8859-1\"><title>x</title></head><body><p>na\xEFve</p>",
       "na\xC3\xAFve"},
      {"http-equiv",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"></head>"
       "<body><p>\x93quoted\x94</p>",
       "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"utf-8 as it is", "<p>na\xC3\xAFve</p>", "na\xC3\xAFve"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PageText page = PageText::FromBytes(c.html);
    ASSERT_FALSE(page.sections.empty());
    EXPECT_EQ(Body(page.sections.back()), c.text);
  }
  // Bytes that are no UTF-8 in a page that says it is: whatever they become, the text is valid.
  const PageText broken = PageText::FromBytes("<meta charset=utf-8><h1 id=\"a\xFF\">b\xC3(</h1><p>ok \xFE\xFF end</p>");
  for (const PageSection& section : broken.sections)
    for (const std::string* text : {&section.heading, &section.anchor, &section.blocks.front()})
      EXPECT_TRUE(g_utf8_validate(text->data(), gssize(text->size()), nullptr)) << *text;
}

TEST(PageText, LongPageKeepsItsFirstPartOnly) {
  TempDir dir;
  std::string html = "<title>Long</title><h1 id=\"top\">Start</h1>";
  const std::string paragraph = "<p>" + std::string(1000, 'w') + "</p>\n";
  while (html.size() < PageText::kMaxText + (2 << 20)) html += paragraph;
  TempDir::Write(dir / "long.html", html + "<h2 id=\"end\">Unreached</h2>");
  PageText page;
  std::string error;
  ASSERT_TRUE(PageText::FromFile(dir / "long.html", page, error)) << error;
  EXPECT_TRUE(page.cut);
  ASSERT_EQ(page.sections.size(), 1u);
  std::size_t text = 0;
  for (const std::string& block : page.sections[0].blocks) text += block.size();
  EXPECT_LE(text, PageText::kMaxText + paragraph.size());

  EXPECT_FALSE(PageText::FromFile(dir / "missing.html", page, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
