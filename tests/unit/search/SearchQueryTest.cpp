// What a typed query asks the index: every input is a query, never an error.
#include <gtest/gtest.h>

#include "content/search/SearchQuery.h"

namespace {

TEST(SearchQuery, TypedTextBecomesAnExpression) {
  struct Case {
    const char* typed;
    bool typing;
    const char* expression;
  };
  const Case cases[] = {
      {"socket timeout", false, R"("socket" AND "timeout")"},
      {"socket timeo", true, R"("socket" AND "timeo"*)"},
      {"socket timeout ", true, R"("socket" AND "timeout")"},
      {"\"a phrase\" word", false, R"("a phrase" AND "word")"},
      {"time*", false, R"("time"*)"},
      {"f-string os.path.join __init__", false, R"("f string" AND "os path join" AND "init")"},
      {"\"unbalanced quote", false, R"("unbalanced quote")"},
      {"\"unbalanced quo", true, R"("unbalanced quo"*)"},
      {"NOT a OR b AND (c) NEAR", false, R"("NOT" AND "a" AND "OR" AND "b" AND "AND" AND "c" AND "NEAR")"},
      {"title:socket -x ^y", false, R"("title socket" AND "x" AND "y")"},
      {"* \"\" () : -", false, ""},
      {"", true, ""},
      {"Naïve \xFF", false, "\"Naïve\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(SearchQuery::Parse(c.typed, c.typing).Expression(), c.expression);
  }
  EXPECT_EQ(SearchQuery::Parse("Socket.SetTimeout() now").Normalised(), "socket settimeout now");
}

}  // namespace
