#include "support/Format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <limits>
#include <string>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

struct NumberCase {
  const char* name;
  int arg;  // decimals for FormatFixed, significant digits for FormatExp
  long double value;
  const char* want;
};

// Expected texts computed with exact decimal arithmetic by
// tools/format_cases.py (Python's decimal module), run once offline. The
// inputs are exact extended values written as hexadecimal literals; the
// name gives the decimal literal they are nearest to (x: as extended,
// d: as double).
// clang-format off
const NumberCase kFixedCases[] = {
    {"2.5 at 2 (x:2.5)", 2, 0xA000000000000000P-62L, "2.50"},
    {"2.5 at 0 rounds up (x:2.5)", 0, 0xA000000000000000P-62L, "3"},
    {"-2.5 at 0 rounds away (x:-2.5)", 0, -0xA000000000000000P-62L, "-3"},
    {"3.5 at 0 (x:3.5)", 0, 0xE000000000000000P-62L, "4"},
    {"0.04 at 1 (x:0.04)", 1, 0xA3D70A3D70A3D70AP-68L, "0.0"},
    {"-0.004 at 2 has no sign (x:-0.004)", 2, -0x83126E978D4FDF3BP-71L, "0.00"},
    {"0.0005 at 3 (x:0.0005)", 3, 0x83126E978D4FDF3BP-74L, "0.001"},
    {"extended 1.005 at 2 (x:1.005)", 2, 0x80A3D70A3D70A3D7P-63L, "1.01"},
    {"double 1.005 at 2 (d:1.005)", 2, 0x80A3D70A3D70A000P-63L, "1.00"},
    {"extended 2.675 at 2 (x:2.675)", 2, 0xAB33333333333333P-62L, "2.68"},
    {"double 2.675 at 2 (d:2.675)", 2, 0xAB33333333333000P-62L, "2.67"},
    {"extended 0.95 at 1 (x:0.95)", 1, 0xF333333333333333P-64L, "1.0"},
    {"double 0.95 at 1 (d:0.95)", 1, 0xF333333333333000P-64L, "0.9"},
    {"9.996 at 2 carries (x:9.996)", 2, 0x9FEF9DB22D0E5604P-60L, "10.00"},
    {"9.875 exact tie (x:9.875)", 2, 0x9E00000000000000P-60L, "9.88"},
    {"-9.875 exact tie (x:-9.875)", 2, -0x9E00000000000000P-60L, "-9.88"},
    {"0.125 exact tie (x:0.125)", 2, 0x8000000000000000P-66L, "0.13"},
    {"-0.125 exact tie (x:-0.125)", 2, -0x8000000000000000P-66L, "-0.13"},
    {"99.5 at 0 carries (x:99.5)", 0, 0xC700000000000000P-57L, "100"},
    {"999.9999 at 2 (x:999.9999)", 2, 0xF9FFFE5C91D14E3CP-54L, "1000.00"},
    {"zero at 2 (x:0)", 2, 0x0P0L, "0.00"},
    {"negative zero at 2 (x:-0)", 2, -0x0P0L, "0.00"},
    {"negative zero at 0 (x:-0)", 0, -0x0P0L, "0"},
    {"-0.4 at 0 (x:-0.4)", 0, -0xCCCCCCCCCCCCCCCDP-65L, "0"},
    {"-0.5 at 0 (x:-0.5)", 0, -0x8000000000000000P-64L, "-1"},
    {"1/3 asked for 20 gives 18 (x:0.33333333333333333333333)", 20, 0xAAAAAAAAAAAAAAABP-65L, "0.333333333333333333"},
    {"0.1 extended at 18 (x:0.1)", 18, 0xCCCCCCCCCCCCCCCDP-67L, "0.100000000000000000"},
    {"0.1 double at 18 (d:0.1)", 18, 0xCCCCCCCCCCCCD000P-67L, "0.100000000000000006"},
    {"digits past 18 print as zeros (x:1234567890.123456789012)", 18, 0x932C05A43F35BA6FP-33L, "1234567890.123456790000000000"},
    {"place before first digit (x:0.0004)", 3, 0xD1B71758E219652CP-75L, "0.000"},
    {"tiny at 2 (x:4e-10)", 2, 0xDBE6FECEBDEDD5BFP-95L, "0.00"},
    {"tiny negative at 2 (x:-4e-10)", 2, -0xDBE6FECEBDEDD5BFP-95L, "0.00"},
    {"5e-19 at 18 rounds to last place (x:5e-19)", 18, 0x9392EE8E921D5D07P-124L, "0.000000000000000001"},
    {"4.9e-19 at 18 (x:4.9e-19)", 18, 0x909F5A6CFFD5189CP-124L, "0.000000000000000000"},
    {"1e-300 at 18 (x:1e-300)", 18, 0xAB70FE17C79AC6CAP-1060L, "0.000000000000000000"},
    {"18 integer digits (x:123456789012345678)", 0, 0xDB4DA5D31879A700P-7L, "123456789012345678"},
    {"18 integer digits at 2 (x:123456789012345678)", 2, 0xDB4DA5D31879A700P-7L, "123456789012345678.00"},
    {"largest fixed (x:999999999999999999)", 0, 0xDE0B6B3A763FFFF0P-4L, "999999999999999999"},
    {"negative largest fixed (x:-999999999999999999)", 3, -0xDE0B6B3A763FFFF0P-4L, "-999999999999999999.000"},
    {"17 nines and a half (x:99999999999999999.5)", 0, 0xB1A2BC2EC4FFFFC0P-7L, "100000000000000000"},
    {"tie at 18th digit to even up (x:12345678901234567.75)", 2, 0xAF715175AD2E1F00P-10L, "12345678901234567.80"},
    {"tie at 18th digit to even down (x:12345678901234567.25)", 2, 0xAF715175AD2E1D00P-10L, "12345678901234567.20"},
    {"tie at 18th digit at 0 (x:12345678901234567.75)", 0, 0xAF715175AD2E1F00P-10L, "12345678901234568"},
    {"1e17 at 1 (x:1e17)", 1, 0xB1A2BC2EC5000000P-7L, "100000000000000000.0"},
    {"1e18 goes to exponent form (x:1e18)", 2, 0xDE0B6B3A76400000P-4L, "1E+18"},
    {"18 nines and a half round to 1e18 (x:999999999999999999.5)", 0, 0xDE0B6B3A763FFFF8P-4L, "1E+18"},
    {"-1.5e20 (x:-1.5e20)", 2, -0x821AB0D441498000P4L, "-1.5E+20"},
    {"24 digits (x:123456789012345678901234)", 0, 0xD124D8F8850364B5P13L, "1.23456789012345679E+23"},
    {"largest extended (x:1.18973149535723176502e4932)", 2, 0xFFFFFFFFFFFFFFFFP16320L, "1.18973149535723177E+4932"},
    {"infinity (inf)", 2, kInf, "INF"},
    {"minus infinity (-inf)", 2, -kInf, "-INF"},
    {"not a number (nan)", 2, kNaN, "NAN"},
    {"123.456 at 0 (x:123.456)", 0, 0xF6E978D4FDF3B646P-57L, "123"},
    {"-123.456 at 1 (x:-123.456)", 1, -0xF6E978D4FDF3B646P-57L, "-123.5"},
    {"0.45 extended at 1 (x:0.45)", 1, 0xE666666666666666P-65L, "0.5"},
    {"59.9999 at 3 (x:59.9999)", 3, 0xEFFFE5C91D14E3BDP-58L, "60.000"},
};
// clang-format on

// clang-format off
const NumberCase kExpCases[] = {
    {"solution report (x:1.2345678e-5)", 8, 0xCF20488386FA63C8P-80L, "1.2345678E-05"},
    {"solution report tie (x:1.23456785e-5)", 8, 0xCF20491043C66D38P-80L, "1.2345679E-05"},
    {"zero (x:0)", 8, 0x0P0L, "0.0000000E+00"},
    {"negative zero (x:-0)", 8, -0x0P0L, "0.0000000E+00"},
    {"carry into exponent (x:9.9999999999)", 3, 0x9FFFFFFFF920C80AP-60L, "1.00E+01"},
    {"extended -9.995 at 3 (x:-9.995)", 3, -0x9FEB851EB851EB85P-60L, "-1.00E+01"},
    {"double -9.995 at 3 (d:-9.995)", 3, -0x9FEB851EB851E800P-60L, "-9.99E+00"},
    {"1 digit taken as 2 (x:3.14159)", 1, 0xC90FCF80DC33721DP-62L, "3.1E+00"},
    {"25 digits taken as 18 (x:3.14159)", 25, 0xC90FCF80DC33721DP-62L, "3.14159000000000000E+00"},
    {"three-digit exponent (x:1e100)", 5, 0x924D692CA61BE758P269L, "1.0000E+100"},
    {"negative three-digit exponent (x:1.5e-300)", 5, 0x8094BE91D5B41518P-1059L, "1.5000E-300"},
    {"largest extended (x:1.18973149535723176502e4932)", 8, 0xFFFFFFFFFFFFFFFFP16320L, "1.1897315E+4932"},
    {"125 exact tie (x:125)", 2, 0xFA00000000000000P-57L, "1.3E+02"},
    {"-125 exact tie (x:-125)", 2, -0xFA00000000000000P-57L, "-1.3E+02"},
    {"12345 (x:12345)", 2, 0xC0E4000000000000P-50L, "1.2E+04"},
    {"0.1 double at 18 (d:0.1)", 18, 0xCCCCCCCCCCCCD000P-67L, "1.00000000000000006E-01"},
    {"0.1 extended at 18 (x:0.1)", 18, 0xCCCCCCCCCCCCCCCDP-67L, "1.00000000000000000E-01"},
    {"one (x:1)", 8, 0x8000000000000000P-63L, "1.0000000E+00"},
    {"-0.000123456 (x:-0.000123456)", 4, -0x8173F7B84CA6E678P-76L, "-1.235E-04"},
    {"tie at 18th digit (x:12345678901234567.75)", 18, 0xAF715175AD2E1F00P-10L, "1.23456789012345678E+16"},
    {"infinity (inf)", 8, kInf, "INF"},
    {"minus infinity (-inf)", 8, -kInf, "-INF"},
    {"not a number (nan)", 8, kNaN, "NAN"},
};
// clang-format on

TEST(FormatFixed, MatchesIndependentTable) {
  for (const auto& c : kFixedCases) {
    EXPECT_EQ(FormatFixed(c.arg, c.value), c.want) << c.name << " decimals " << c.arg;
  }
}

TEST(FormatExp, MatchesIndependentTable) {
  for (const auto& c : kExpCases) {
    EXPECT_EQ(FormatExp(c.arg, c.value), c.want) << c.name << " digits " << c.arg;
  }
}

TEST(FormatFixed, DecimalsOutsideTheByteRangeAreClamped) {
  EXPECT_EQ(FormatFixed(-3, 2.5L), "3");
  EXPECT_EQ(FormatFixed(255, 0.5L), "0.500000000000000000");
}

TEST(StrToFloat, AcceptsTheProgramsNumberSyntax) {
  struct Case {
    const char* text;
    long double want;
  } cases[] = {
      {"0", 0.0L},
      {"12", 12.0L},
      {"-12.5", -12.5L},
      {"+3.25", 3.25L},
      {"  7.5  ", 7.5L},
      {".5", 0.5L},
      {"5.", 5.0L},
      {"1e3", 1000.0L},
      {"1.5E-3", 1.5e-3L},
      {"-2.5e+2", -250.0L},
      {"0.1", 0.1L},
      {"1e-6000", 0.0L},
      {"123456789012345678901234567890", 123456789012345678901234567890.0L},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToFloat(c.text), c.want) << '"' << c.text << '"';
    EXPECT_TRUE(IsNumber(c.text)) << '"' << c.text << '"';
  }
}

TEST(StrToFloat, RefusesAnythingElse) {
  const char* bad[] = {"",    " ",      "+",   "-",     ".",   "e5",  "1e",  "1e+",
                       "1,5", "1.2.3",  "12a", "a12",   "1 2", "inf", "nan", "0x10",
                       "--1", "1e5000", "\t1", "1.5\n", "+-1", "1d5"};
  for (const char* t : bad) {
    EXPECT_FALSE(IsNumber(t)) << '"' << t << '"';
    EXPECT_THROW(StrToFloat(t), ConvertError) << '"' << t << '"';
  }
}

TEST(StrToInt, ConvertsThirtyTwoBitIntegers) {
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("+2147483647"), INT32_MAX);
  for (const char* t :
       {"", "2147483648", "-2147483649", "1.0", "1e3", "12x", "99999999999999999999"})
    EXPECT_THROW(StrToInt(t), ConvertError) << '"' << t << '"';
}

TEST(IOErrorText, KnownAndUnknownCodes) {
  struct Case {
    int code;
    const char* want;
  } cases[] = {{2, "File Not Found!"},
               {3, "Invalid File Name!"},
               {4, "Too Many Open Files!"},
               {5, "File Access Denied!"},
               {100, "EOF!"},
               {101, "Disk Full!"},
               {106, "Invalid Input!"},
               {0, "IOResult = 0"},
               {103, "IOResult = 103"},
               {-7, "IOResult = -7"}};
  for (const auto& c : cases) EXPECT_EQ(IOErrorText(c.code), c.want) << c.code;
}

// Switches the whole process to a comma-decimal locale, building one with
// localedef into the test's folder when none is installed.
bool UseCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_ALL, name)) return true;
  }
  auto dir = test::FreshFolder("locales");
  std::string cmd =
      "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return false;
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST(NumberText, IgnoresACommaDecimalLocale) {
  if (!UseCommaLocale()) GTEST_SKIP() << "no comma-decimal locale available or buildable";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(FormatFixed(3, -1234.5678L), "-1234.568");
  EXPECT_EQ(FormatExp(8, 1.2345678e-5L), "1.2345678E-05");
  EXPECT_EQ(StrToFloat("1234.5"), 1234.5L);
  EXPECT_EQ(StrToFloat(" -2.5e-1 "), -0.25L);
  EXPECT_FALSE(IsNumber("1234,5"));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace hv
