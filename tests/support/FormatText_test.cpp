#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/Format.h"

namespace hv {
namespace {

TEST(ParseTimeOfDay, ClockTexts) {
  struct Case {
    const char* text;
    long double hours;
  } cases[] = {
      {"10:30:00", 10.5L},
      {"10:30", 10.5L},
      {"10", 10.0L},
      {"1:02:03", 1 + 2 / 60.0L + 3 / 3600.0L},
      {"23:59:59.5", 23 + 59 / 60.0L + 59.5L / 3600},
      {"10::30", 10.5L},  // an empty field is skipped, not read as 0
      {"25:00:00", 25.0L},
      {"10:30:00 PM", 22.5L},
      {"10:30 PM", 22.5L},
      {"10 PM", 22.0L},
      {"12:30 PM", 12.5L},  // half past noon, not half past midnight
      {"12:30:00 PM", 12.5L},
      {"13:15:00 PM", 13.25L},
      {"10:30:00  PM", 10.5L},  // two blanks: no afternoon
      {"10:30:00 pm", 10.5L},   // case-sensitive
      {"10:30:00 PM ", 10.5L},  // nothing may follow PM
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(ParseTimeOfDay(c.text) * 24, c.hours, 1e-15L) << '"' << c.text << '"';
  }
}

TEST(ParseTimeOfDay, BadFieldsRaiseTheConversionError) {
  for (const char* t : {"", "PM", "ab:30", "10:xx", "10:30:00PM", "10:30:1x PM", "10:30  PM"}) {
    EXPECT_THROW(ParseTimeOfDay(t), ConvertError) << '"' << t << '"';
  }
}

TEST(Tokenizers, NextFieldTakesEverythingBeforeTheDelimiter) {
  std::string text = " a ,b,,c";
  std::string f;
  std::vector<std::string> got;
  for (int i = 0; i < 5; ++i) {
    NextField(text, ',', f);
    got.push_back(f);
  }
  EXPECT_EQ(got, (std::vector<std::string>{" a ", "b", "", "c", ""}));
  EXPECT_EQ(text, "");

  text = ",x";
  NextField(text, ',', f);
  EXPECT_EQ(f, "");
  EXPECT_EQ(text, "x");
}

TEST(Tokenizers, NextQuotedUsesTheFirstCharacterAsTheQuote) {
  struct Case {
    const char* name;
    const char* text;
    const char* field;
    const char* rest;
  } cases[] = {
      {"double quotes", "  ,\"Hello, world\",next", "Hello, world", "next"},
      {"any character quotes", "xabcxy,z", "abc", ",z"},
      {"missing closing quote", "'abc def", "abc def", ""},
      {"nothing but delimiters", "  ,, ", "", ""},
      {"quotes are not doubled", "\"a\"\"b\"", "a", "b\""},
      {"closing quote at the end", "'ab'", "ab", ""},
  };
  for (const auto& c : cases) {
    std::string text = c.text, field = "old";
    NextQuoted(text, ',', field);
    EXPECT_EQ(field, c.field) << c.name;
    EXPECT_EQ(text, c.rest) << c.name;
  }
}

TEST(Tokenizers, NextFloatAndNextIntConsumeOnlyOnSuccess) {
  std::string text = " ,12.5, -3e2 ,7";
  EXPECT_EQ(NextFloat(text, ','), 12.5L);
  EXPECT_EQ(NextFloat(text, ','), -300.0L);
  EXPECT_EQ(NextInt(text, ','), 7);
  EXPECT_EQ(text, "");

  text = "  ,abc,1";
  EXPECT_THROW(NextFloat(text, ','), ConvertError);
  EXPECT_EQ(text, "abc,1");  // skipped part gone, field kept

  text = "  ,";
  EXPECT_THROW(NextFloat(text, ','), ConvertError);
  EXPECT_EQ(text, "");

  text = "1.5;2";
  EXPECT_THROW(NextInt(text, ';'), ConvertError);
  EXPECT_EQ(text, "1.5;2");
  text = "-8;2147483648";
  EXPECT_EQ(NextInt(text, ';'), -8);
  EXPECT_THROW(NextInt(text, ';'), ConvertError);
}

TEST(NulTerminated, AppendsOneNulToTheTextItself) {
  std::string text = "Disk Full!";
  const char* p = NulTerminated(text);
  EXPECT_STREQ(p, "Disk Full!");
  EXPECT_EQ(text.size(), 11u);
  NulTerminated(text);
  EXPECT_EQ(text.size(), 11u);  // already ends in NUL

  std::string empty;
  EXPECT_STREQ(NulTerminated(empty), "");
  EXPECT_EQ(empty.size(), 0u);
}

TEST(DMS, SplitKeepsTheSignApart) {
  DMSRec r;
  ToDMS(r, -0.5L);
  EXPECT_EQ(r.Sign, -1);
  EXPECT_EQ(r.Deg, 0);
  EXPECT_EQ(r.Min, 30);
  EXPECT_NEAR(r.Sec, 0, 1e-15L);
  ToDMS(r, 0);
  EXPECT_EQ(r.Sign, 0);
  ToDMS(r, 12.5125L);
  EXPECT_EQ(r.Sign, 1);
  EXPECT_EQ(r.Deg, 12);
  EXPECT_EQ(r.Min, 30);
  EXPECT_NEAR(r.Sec, 45, 1e-12L);
  ToDMS(r, std::nextafter(1.0L, 0.0L));  // a hair below 1: no 60 minutes
  EXPECT_LT(r.Min, 60);
  EXPECT_LT(r.Sec, 60);

  for (long double v : {-123.456789L, -0.01L, 0.0L, 45.999999L, 359.5L}) {
    long double back = 99;
    ToDMS(r, v);
    FromDMS(r, back);
    EXPECT_NEAR(back, v, 1e-15L) << static_cast<double>(v);
  }
}

TEST(DMS, RoundedSplitCarriesButDoesNotWrap) {
  DMSRec r;
  ToDMSRounded(r, 1, 359.99999999L);
  EXPECT_EQ(r.Deg, 360);
  EXPECT_EQ(r.Min, 0);
  EXPECT_EQ(r.Sec, 0);
  ToDMSRounded(r, 1, 12.9999999L);
  EXPECT_EQ(r.Deg, 13);
  ToDMSRounded(r, 4, 12.9999999L);  // 59.99964 s stays at 4 decimals
  EXPECT_EQ(r.Deg, 12);
  EXPECT_EQ(r.Min, 59);
}

TEST(FormatDMS, Layouts) {
  struct Case {
    const char* name;
    int decimals;
    const char *sep1, *sep2;
    long double value;
    const char* sep3;
    const char* want;
  } cases[] = {
      {"carry into degrees", 1, ":", ":", 12.9999999L, "", "  13:00:00.0"},
      {"carry wraps at 360", 1, ":", ":", 359.99999999L, "", "   0:00:00.0"},
      {"minus sign below one degree", 0, " ", " ", -0.5L, "", "  -0 30 00"},
      {"one digit", 0, ":", ":", 5, "", "   5:00:00"},
      {"negative two digits", 0, ":", ":", -45, "", " -45:00:00"},
      {"three digits", 0, ":", ":", 359, "", " 359:00:00"},
      {"separators", 2, "d", "m", 12.5125L, "s", "  12d30m45.00s"},
      {"seconds below ten", 2, ":", ":", 1.0001L, "", "   1:00:00.36"},
      {"negative with decimals", 3, ":", ":", -12.3456789L, "", " -12:20:44.444"},
      {"seconds round to ten", 1, ":", ":", 9.96L / 3600, "", "   0:00:10.0"},
      {"decimals above 18", 25, ":", ":", 0.5L, "", "   0:30:00.000000000000000000"},
      {"hours are not wrapped at 24", 1, ":", ":", 23.99999999L, "", "  24:00:00.0"},
      // The seconds text rounds 59.9499999999999999997 half away from zero
      // to 60.0 while the carry test rounds 599.499.. to 599: carried anyway.
      {"text rounding reaches 60", 1, ":", ":", 0x8.86b67fe2df75a52p-9L, "", "   0:01:00.0"},
      {"text rounding reaches 60, negative", 1, ":", ":", -0x8.86b67fe2df75a52p-9L, "",
       "  -0:01:00.0"},
      // Likewise 9.9499999999999999998 s shows as 10.0, not 010.0.
      {"text rounding reaches 10", 1, ":", ":", 0xb.5225c6336d7447ap-12L, "", "   0:00:10.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDMS(c.decimals, c.sep1, c.sep2, c.value, c.sep3), c.want) << c.name;
  }
}

TEST(FormatDM, Layouts) {
  struct Case {
    const char* name;
    int decimals;
    long double value;
    const char* want;
  } cases[] = {
      {"minutes round up to 60", 1, 10.99999L, "  11:00.0"},
      {"carry wraps at 360", 1, 359.9999999L, "   0:00.0"},
      {"minus sign below one degree", 2, -0.5L, "  -0:30.00"},
      {"one-digit minutes", 0, 5.1L, "   5:06"},
      {"decimal minutes", 1, -45.2555L, " -45:15.3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDM(c.decimals, ":", "", c.value), c.want) << c.name;
  }
  EXPECT_EQ(FormatDM(1, "d", "m", 45.25L), "  45d15.0m");
}

TEST(FormatRA, WrapsAtTwentyFourHoursAfterRounding) {
  struct Case {
    const char* name;
    int decimals;
    long double hours;
    const char* want;
  } cases[] = {
      {"rounds up to 24 h", 1, 23.99999999L, "   0:00:00.0"},
      {"rounds up to 24 h at 0 decimals", 0, 23.9999L, "   0:00:00"},
      {"ordinary", 2, 12.5125L, "  12:30:45.00"},
      {"exactly 24", 0, 24, "   0:00:00"},
      {"negative brought into range", 0, -1, "  23:00:00"},
      {"above a day", 0, 36.25L, "  12:15:00"},
      {"stays below 24", 3, 23.99999L, "  23:59:59.964"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatRA(c.decimals, ":", ":", c.hours, ""), c.want) << c.name;
  }
}

std::vector<std::string> WrapAll(const std::string& text, std::uint16_t width) {
  WrapRec rec;
  WrapInit(rec, text, width);
  std::vector<std::string> lines;
  // Every call removes at least one character, so this bound is generous.
  for (std::size_t i = 0; i <= text.size() + 1; ++i) {
    lines.emplace_back(WrapNext(rec));
    if (rec.Done) break;
  }
  EXPECT_TRUE(rec.Done) << "wrap of \"" << text << "\" at " << width << " did not finish";
  WrapDone(rec);
  return lines;
}

TEST(WordWrap, Lines) {
  using L = std::vector<std::string>;
  struct Case {
    const char* name;
    const char* text;
    std::uint16_t width;
    L want;
  } cases[] = {
      {"break at a blank", "aaaa bbbb cccc", 10, L{"aaaa bbbb", "cccc"}},
      {"fits", "aaaa", 10, L{"aaaa"}},
      {"empty text", "", 10, L{""}},
      {"blank at the width, then only blanks", "aaaa bbbb    ", 9, L{"aaaa bbbb", ""}},
      {"blank run skipped after the width", "aaaa bbbb   cc", 9, L{"aaaa bbbb", "cc"}},
      {"blank before the width keeps the run", "ab  cdefgh", 6, L{"ab ", "cdefgh"}},
      {"long word cut hard", "abcdefghij", 4, L{"abcd", "efgh", "ij"}},
      {"width 0 taken as 1", "ab c", 0, L{"a", "b", "c"}},
      {"width 1 with blanks", "a  b", 1, L{"a", "b"}},
      {"blank at index 0 gives an empty line", " b", 1, L{"", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapAll(c.text, c.width), c.want) << c.name;
}

TEST(WordWrap, RecordsItsSetUp) {
  WrapRec rec;
  WrapInit(rec, "one two three", 0);
  EXPECT_EQ(rec.TextLen, 13);
  EXPECT_EQ(rec.Width, 1);
  EXPECT_FALSE(rec.Done);
  EXPECT_STREQ(WrapNext(rec), "o");
  EXPECT_EQ(rec.Text, "ne two three");
  WrapDone(rec);
}

TEST(WordWrap, RandomTextsKeepEveryWordWithinTheWidth) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int words = static_cast<int>(rng() % 20);
    for (int w = 0; w < words; ++w) {
      text.append(rng() % 3 == 0 ? 2 : 1, ' ');
      text.append(rng() % 14, static_cast<char>('a' + rng() % 26));
    }
    const auto width = static_cast<std::uint16_t>(1 + rng() % 12);
    std::string joined, original;
    for (const auto& line : WrapAll(text, width)) {
      EXPECT_LE(line.size(), width) << '"' << text << "\" at " << width;
      joined += line;
    }
    for (char ch : text) {
      if (ch != ' ') original += ch;
    }
    std::erase(joined, ' ');
    EXPECT_EQ(joined, original) << '"' << text << "\" at " << width;
  }
}

}  // namespace
}  // namespace hv
