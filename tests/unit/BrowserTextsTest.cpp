// What the browser control says: addresses made readable and safe, the page for a local file that
// cannot be opened, and which locations the engine shows itself.
#include <glib.h>
#include <gtest/gtest.h>

#include "html/BrowserTexts.h"
#include "html/DesktopHandoff.h"

namespace {

TEST(BrowserTexts, AddressesAreDecodedOnlyIntoPrintableText) {
  struct Case {
    const char* uri;
    std::string shown;
  };
  const Case cases[] = {
      {"file:///tmp/a%20b/50%25%20%231%20%C3%BC.html", "file:///tmp/a b/50% #1 \u00fc.html"},
      {"file:///tmp/bytes%FF%FE.html", "file:///tmp/bytes%FF%FE.html"},  // not UTF-8: left escaped
      {"http://x/line%0Abreak", "http://x/line%0Abreak"},                // no control characters
      {"http://x/nul%00byte", "http://x/nul%00byte"},
      {"mailto:someone@example.com", "mailto:someone@example.com"},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uri ? c.uri : "(none)");
    EXPECT_EQ(BrowserTexts::Address(c.uri), c.shown);
  }
}

TEST(BrowserTexts, LongAddressesAreCutOnACharacterBoundary) {
  const std::string uri = "data:text/plain," + std::string(5000, 'a') + "%C3%BC";
  EXPECT_EQ(BrowserTexts::Address(uri.c_str()), "data:text/plain," + std::string(984, 'a') + "\u2026");
  std::string wide = "http://x/";
  for (int i = 0; i < 600; ++i) wide += "%C3%BC";  // two bytes a character once decoded
  const std::string shown = BrowserTexts::Address(wide.c_str());
  EXPECT_LE(shown.size(), 1000u + 3);
  EXPECT_TRUE(g_utf8_validate(shown.c_str(), -1, nullptr));
}

TEST(BrowserTexts, ErrorPageNamesThePathEscapedAndOffersAWayBack) {
  const std::string page = BrowserTexts::ErrorPage("/tmp/a <b> & \"c\"/page \xff.html", "there is no such file");
  EXPECT_NE(page.find("<code>/tmp/a &lt;b&gt; &amp; &quot;c&quot;/page \uFFFD.html</code>"), std::string::npos) << page;
  EXPECT_NE(page.find("there is no such file"), std::string::npos);
  EXPECT_NE(page.find("href=\"javascript:history.back()\""), std::string::npos);
  EXPECT_TRUE(g_utf8_validate(page.c_str(), -1, nullptr));
}

TEST(DesktopHandoff, TheEngineShowsItsOwnSchemesOnly) {
  for (const char* uri : {"file:///a.html", "HTTPS://example.com/", "http://x", "data:text/html,x", "about:blank",
                          "blob:file:///x", "javascript:void(0)"})
    EXPECT_TRUE(DesktopHandoff::EngineShows(uri)) << uri;
  for (const char* uri : {"mailto:a@b.c", "ftp://example.com/", "tel:123", "x-custom:thing", "no scheme", ""})
    EXPECT_FALSE(DesktopHandoff::EngineShows(uri)) << uri;
}

}  // namespace
