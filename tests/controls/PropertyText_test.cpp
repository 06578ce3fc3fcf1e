#include "controls/PropertyText.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(SplitNameValue, Table) {
  struct Row {
    const char* line;
    const char* name;
    const char* value;
  };
  const Row rows[] = {
      {"Active = 1", "Active", "1"}, {"  Hint=a = b ", "Hint", "a = b"},
      {"no separator", "", ""},      {"= value", "", "value"},
      {"Name =", "Name", ""},
  };
  for (const Row& r : rows) {
    std::string n = "x", v = "x";
    SplitNameValue(r.line, "=", n, v);
    EXPECT_EQ(n, r.name) << r.line;
    EXPECT_EQ(v, r.value) << r.line;
  }
}

TEST(FindNameValue, TakesTheFirstMatchWithoutRegardToCaseAndRemovesIt) {
  std::vector<std::string> lines{"File Type = TiLedRound", "ACTIVECOLOR = 255", "ActiveColor = 7",
                                 "Active = 1"};
  std::string v;
  ASSERT_TRUE(FindNameValue("ActiveColor", v, lines));
  EXPECT_EQ(v, "255");
  EXPECT_EQ(lines.size(), 3u);
  ASSERT_TRUE(FindNameValue("activecolor", v, lines));
  EXPECT_EQ(v, "7");
  EXPECT_FALSE(FindNameValue("Missing", v, lines));
  EXPECT_EQ(lines.size(), 2u);
}

TEST(SplitLines, CrLfAndLf) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace hv
