// What a message box shows of a text: short texts as they are; huge names with their start and end.
#include <glib.h>
#include <gtest/gtest.h>

#include "dialogs/MessageText.h"

namespace {

TEST(MessageText, ShortensLongWordsAndLongTextsInTheMiddle) {
  const std::string longPath = "/home/" + std::string(200, 'a') + "/end.html";
  const std::string manyFolders = [] {
    std::string s;
    for (int i = 0; i < 50000; ++i) s += "a/";
    return s + "x.html";
  }();
  const std::string manyWords = [] {
    std::string s;
    for (int i = 0; i < 20000; ++i) s += "word ";
    return s + "end.";
  }();
  struct Case {
    const char* name;
    std::string prompt;
    std::string start, end;  // what the shown text begins and ends with
  };
  const Case cases[] = {
      {"a short text stays", "Cannot open /tmp/a b.html.", "Cannot open /tmp/a b.html.", "Cannot open /tmp/a b.html."},
      {"a long path keeps its start and end", "Cannot open " + longPath + " now.", "Cannot open /home/aaa",
       "aaa/end.html now."},
      {"100,000 characters of short folders", manyFolders + " contains an invalid path.", "a/a/a/",
       "/x.html contains an invalid path."},
      {"100,000 characters of short words", manyWords, "word word", "word end."},
      {"invalid UTF-8 is made valid", "name \xff\xfe.html", "name ", ".html"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string shown = MessageText::Shorten(c.prompt);
    EXPECT_TRUE(g_utf8_validate(shown.data(), gssize(shown.size()), nullptr));
    EXPECT_LE(g_utf8_strlen(shown.c_str(), -1), glong(MessageText::kMaxShown + 1));
    EXPECT_EQ(shown.rfind(c.start, 0), 0u) << shown.substr(0, 80);
    ASSERT_GE(shown.size(), c.end.size());
    EXPECT_EQ(shown.substr(shown.size() - c.end.size()), c.end);
    if (c.prompt.size() > MessageText::kMaxWord) {
      EXPECT_NE(shown.find("\u2026"), std::string::npos);
    }
  }
}

}  // namespace
