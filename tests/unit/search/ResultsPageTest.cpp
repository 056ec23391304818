// The results page: its address round trip, and hits whose texts hold markup that stays text.
#include <gtest/gtest.h>

#include "content/search/ResultsPage.h"

namespace {

TEST(ResultsPage, AddressNamesFolderQueryAndPart) {
  const ResultsPage::Request cases[] = {
      {"file:///docs/", "socket timeout", 0},
      {"file:///a%20b/c/", "\"x & y\" 100% #1 ?q=&from=3", 50},
  };
  for (const ResultsPage::Request& request : cases) {
    SCOPED_TRACE(request.typed);
    const std::string address = ResultsPage::Address(request);
    EXPECT_EQ(address.rfind("generated:" + request.folderUri.substr(5) + "?search=", 0), 0u) << address;
    const auto parsed = ResultsPage::Parse(address);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->folderUri, request.folderUri);
    EXPECT_EQ(parsed->typed, request.typed);
    EXPECT_EQ(parsed->from, request.from);
  }
  EXPECT_FALSE(ResultsPage::Parse("generated:///docs/"));
  EXPECT_FALSE(ResultsPage::Parse("file:///docs/?search=x"));
}

TEST(ResultsPage, HitsLinkTheirSectionsAndMarkupStaysText) {
  SearchIndex::Results results;
  results.sections = 51;
  results.pages = 2;
  results.hits.push_back(
      {"dir/a b&c.html", "sec<1>", "Title <b>", "Heading \"x\"",
       std::string("before ") + SearchIndex::kMarkStart + "<match>" + SearchIndex::kMarkEnd + " after"});
  const std::string html = ResultsPage::Html({"file:///docs/", "<script>q", 0}, results, {2, 1, "", true});
  EXPECT_NE(html.find("<title>Search: &lt;script&gt;q</title>"), std::string::npos) << html;
  EXPECT_NE(html.find("51 sections in 2 pages match."), std::string::npos) << html;
  EXPECT_NE(html.find("<a href=\"dir/a%20b%26c.html#sec%3C1%3E\">Title &lt;b&gt; › Heading &quot;x&quot;</a>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("before <mark>&lt;match&gt;</mark> after"), std::string::npos) << html;
  EXPECT_NE(html.find("<small>dir/a b&amp;c.html</small>"), std::string::npos) << html;
  EXPECT_NE(html.find("&amp;from=1\">Next 50</a>"), std::string::npos) << html;
  EXPECT_NE(html.find("2 pages or folders could not be read. 1 page is too long"), std::string::npos) << html;
  EXPECT_EQ(html.find("<script>"), std::string::npos);

  const std::string none = ResultsPage::Html({"file:///docs/", "zzz", 0}, {}, {});
  EXPECT_NE(none.find("No pages match zzz."), std::string::npos) << none;
}

}  // namespace
