// Card-level FITS parsing: keywords, values, numbers, angles and dates.
#include "images/FITSHeader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "images/FITSWriter.h"
#include "support/Codec.h"

namespace hv {
namespace {

std::string Card(std::string text) {
  text.resize(80, ' ');
  return text;
}

TEST(FITSHeader, WholeKeywordsAndAliases) {
  struct Row {
    const char* name;
    const char* card;
    FITSKey want;
  } rows[] = {
      {"naxis", "NAXIS   =                    2", FITSKey::NAxis},
      {"naxis1", "NAXIS1  =                  512", FITSKey::NAxis1},
      {"naxis4 is not naxis", "NAXIS4  =                    1", FITSKey::None},
      {"endtime is not end", "ENDTIME = '03:20:00'", FITSKey::None},
      {"end", "END", FITSKey::End},
      {"radesys is not ra", "RADESYS = 'FK5     '", FITSKey::None},
      {"ra", "RA      = '12:30:00'", FITSKey::RA},
      {"filter2 is not filter", "FILTER2 = 'R       '", FITSKey::None},
      {"exptime", "EXPTIME =                 60.0", FITSKey::Exp},
      {"exposure", "EXPOSURE=                 60.0", FITSKey::Exp},
      {"exp", "EXP     =                 60.0", FITSKey::Exp},
      {"expstart is not exp", "EXPSTART=                 60.0", FITSKey::None},
      {"exp_time", "EXP_TIME=                 60.0", FITSKey::Exp},
      {"expend is no length", "EXPEND  =              50000.1", FITSKey::None},
      {"utstart", "UTSTART = '03:20:00'", FITSKey::UT},
      {"ut-start", "UT-START= '03:20:00'", FITSKey::UT},
      {"utc", "UTC     = '03:20:00'", FITSKey::UT},
      {"ut-end is an end", "UT-END  = '03:21:00'", FITSKey::None},
      {"utstop is an end", "UTSTOP  = '03:21:00'", FITSKey::None},
      {"date-obs", "DATE-OBS= '2004-03-15'", FITSKey::DateObs},
      {"blank card", "", FITSKey::None},
      {"comment", "COMMENT RA = 12", FITSKey::None},
  };
  for (const auto& r : rows)
    EXPECT_EQ(MatchKeyword(Card(r.card)), r.want) << r.name << ": " << r.card;
}

TEST(FITSHeader, CardTextAndValues) {
  EXPECT_EQ(CardText(Card("")), " ");
  EXPECT_EQ(CardText(Card("SIMPLE  =                    T")), "SIMPLE  =                    T");
  // Columns 73 to 80 are not part of the text.
  EXPECT_EQ(CardText(std::string(72, 'A') + "BBBBBBBB"), std::string(72, 'A'));
  EXPECT_EQ(CardText(Card("OBJECT  = 'a\nb'")), "OBJECT  = 'a b'");

  struct Row {
    const char* name;
    const char* text;
    const char* want;
  } rows[] = {
      {"string keeps trailing blanks", "XTENSION= 'TABLE   '", "TABLE   "},
      {"string drops leading blanks", "OBJECT  = '  M31'", "M31"},
      {"doubled quote", "OBSERVER= 'O''Brien' / who", "O'Brien"},
      {"unterminated string", "OBJECT  = 'M31", "M31"},
      {"free-format string", "OBJECT  =     'M31' / late quote", "M31"},
      {"number", "BITPIX  =                   16 / bits", "16"},
      {"number before slash", "BZERO   = 32768/offset", "32768"},
      {"no value", "NAXIS   =", ""},
      {"short card", "END", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(CardValue(r.text), r.want) << r.name;
}

TEST(FITSHeader, Numbers) {
  EXPECT_EQ(ParseFITSInt("16"), 16);
  EXPECT_EQ(ParseFITSInt("-32"), -32);
  EXPECT_EQ(ParseFITSInt("+8"), 8);
  EXPECT_EQ(ParseFITSInt("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseFITSInt("2147483648"));
  EXPECT_FALSE(ParseFITSInt("99999999999999999999"));
  EXPECT_FALSE(ParseFITSInt("16."));
  EXPECT_FALSE(ParseFITSInt(""));
  EXPECT_FALSE(ParseFITSInt("-"));

  struct Row {
    const char* text;
    std::optional<long double> want;
  } rows[] = {
      {"1.0", 1.0L}, {"32768", 32768.0L}, {"-1.5E2", -150.0L}, {"2.5D-1", 0.25L}, {".5", 0.5L},
      {"5.", 5.0L},  {"nan", {}},         {"inf", {}},         {"1E9999", {}},    {"1,5", {}},
      {"", {}},      {"E5", {}},          {"1E", {}},          {"0x10", {}},
      {"1E400", {}},  // beyond a double
  };
  for (const auto& r : rows) {
    const auto got = ParseFITSReal(r.text);
    ASSERT_EQ(got.has_value(), r.want.has_value()) << r.text;
    if (got) EXPECT_EQ(*got, *r.want) << r.text;
  }
}

TEST(FITSHeader, RightAscensionAndDeclination) {
  struct Row {
    const char* name;
    const char* text;
    std::optional<long double> ra, dec;
  } rows[] = {
      {"colons", "12:30:00", 12.5L, 12.5L},
      {"blanks", "12 30 00", 12.5L, 12.5L},
      {"blanks around colons", "12 : 30 : 36", 12.51L, 12.51L},
      {"two fields", "12:30", 12.5L, 12.5L},
      {"decimal", "12.5", 12.5L, 12.5L},
      {"empty", "", 0.0L, 0.0L},
      {"negative zero degrees", "-00:30:00", {}, -0.5L},
      {"negative", "-12 30 00", {}, -12.5L},
      {"plus", "+12:30", 12.5L, 12.5L},
      {"hours too large", "24:00:00", {}, 24.0L},
      {"degrees as RA", "187.5", {}, {}},
      {"minutes 60", "12:60:00", {}, {}},
      {"negative minutes", "12:-30:00", {}, {}},
      {"four fields", "1:2:3:4", {}, {}},
      {"empty field", "12::30", {}, {}},
      {"text", "FK5", {}, {}},
      {"dec beyond pole", "+90:00:01", {}, {}},
  };
  const long double tol = 1e-15L;
  for (const auto& r : rows) {
    const auto ra = ParseRA(r.text);
    ASSERT_EQ(ra.has_value(), r.ra.has_value()) << r.name << " RA '" << r.text << "'";
    if (ra) EXPECT_NEAR(static_cast<double>(*ra), static_cast<double>(*r.ra), tol) << r.name;
    const auto dec = ParseDec(r.text);
    ASSERT_EQ(dec.has_value(), r.dec.has_value()) << r.name << " DEC '" << r.text << "'";
    if (dec) EXPECT_NEAR(static_cast<double>(*dec), static_cast<double>(*r.dec), tol) << r.name;
  }
}

TEST(FITSHeader, Dates) {
  struct Row {
    const char* name;
    const char* date;
    std::optional<CalendarDate> want;
    const char* time;  // time text afterwards (starts as "UT")
  } rows[] = {
      {"day first, 20xx", "15/03/04", CalendarDate{2004, 3, 15}, "UT"},
      {"day first, 19xx", "15/03/85", CalendarDate{1985, 3, 15}, "UT"},
      {"day first, 79 is 2079", "15/03/79", CalendarDate{2079, 3, 15}, "UT"},
      {"iso with time", "2004-03-15T03:20:10.5", CalendarDate{2004, 3, 15}, "03:20:10"},
      {"iso date", "2004-03-15", CalendarDate{2004, 3, 15}, "UT"},
      {"slashes, year first", "2004/03/15", CalendarDate{2004, 3, 15}, "UT"},
      {"long day first", "15/03/2004", CalendarDate{2004, 3, 15}, "UT"},
      {"trailing blanks", "2004-03-15   ", CalendarDate{2004, 3, 15}, "UT"},
      {"no such day", "2003-02-29", std::nullopt, "UT"},
      {"leap day", "2004-02-29", CalendarDate{2004, 2, 29}, "UT"},
      {"month 13", "15/13/04", std::nullopt, "UT"},
      {"text", "yesterday", std::nullopt, "UT"},
      {"two fields", "2004-03", std::nullopt, "UT"},
      {"empty", "", std::nullopt, "UT"},
  };
  for (const auto& r : rows) {
    std::string time = "UT";
    const auto got = ParseFITSDate(r.date, time);
    ASSERT_EQ(got.has_value(), r.want.has_value()) << r.name;
    if (got) {
      EXPECT_EQ(got->Year, r.want->Year) << r.name;
      EXPECT_EQ(got->Month, r.want->Month) << r.name;
      EXPECT_EQ(got->Day, r.want->Day) << r.name;
    }
    EXPECT_EQ(time, r.time) << r.name;
  }
  const auto sbig = ParseSBIGDate("03/15/04");
  ASSERT_TRUE(sbig);
  EXPECT_EQ(sbig->Year, 2004);
  EXPECT_EQ(sbig->Month, 3);
  EXPECT_EQ(sbig->Day, 15);
  EXPECT_EQ(ParseSBIGDate("03/15/95")->Year, 1995);
  EXPECT_EQ(ParseSBIGDate("03/15/2004")->Year, 2004);  // no century put before it
  EXPECT_FALSE(ParseSBIGDate("2004-03-15"));
  EXPECT_FALSE(ParseSBIGDate("15/03/04"));
}

// Header blocks through the parser, as the reader feeds them.
struct Parsed {
  std::vector<std::pair<std::string, std::string>> errors;
  std::string listing;
  std::vector<FITSHeaderParser::BlockResult> results;
  FITSHeaderParser parser{[this](std::string_view k, std::string_view v) {
    errors.emplace_back(std::string(k), std::string(v));
  }};
  explicit Parsed(const std::vector<std::uint8_t>& bytes) {
    parser.Reset();
    for (std::size_t at = 0; at + FITSBlockSize <= bytes.size(); at += FITSBlockSize) {
      results.push_back(parser.ParseBlock(
          std::span<const std::uint8_t, FITSBlockSize>(bytes.data() + at, FITSBlockSize), listing));
      if (results.back() != FITSHeaderParser::BlockResult::More) break;
    }
  }
};

TEST(FITSHeader, ParserReadsAKnownHeader) {
  FITSWriter w;
  w.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 3).Int("NAXIS1", 4).Int("NAXIS2", 3);
  w.Int("NAXIS3", 2).Int("NAXIS4", 9).Real("BSCALE", 2.0).Real("BZERO", 32768);
  w.Str("RA", "12 30 00").Str("RADESYS", "FK5").Str("DEC", "-00:30:00").Str("OBJECT", "m31");
  w.Str("OBSERVER", "O'Brien").Real("EXPTIME", 60).Str("FILTER", "V").Str("FILTER2", "B");
  w.Real("EPOCH", 1950).Real("EQUINOX", 2000).Str("DATE-OBS", "2004-03-15").Str("UTSTART", "03:20");
  w.Str("ENDTIME", "03:21").Value("BLANK", "abc").End();
  Parsed p(w.Bytes());
  ASSERT_EQ(p.results.size(), 1u);
  EXPECT_EQ(p.results[0], FITSHeaderParser::BlockResult::Done);
  const FITSHeaderRec& h = p.parser.Header();
  EXPECT_TRUE(h.Simple);
  EXPECT_EQ(h.BitPix, 16);
  EXPECT_EQ(h.NAxis, 3);
  EXPECT_EQ(h.NAxis1, 4);
  EXPECT_EQ(h.NAxis2, 3);
  EXPECT_EQ(h.NAxis3, 2);
  EXPECT_EQ(h.BScale, 2.0L);
  EXPECT_EQ(h.BZero, 32768.0L);
  EXPECT_NEAR(static_cast<double>(h.RA), 12.5, 1e-15);
  EXPECT_NEAR(static_cast<double>(h.Dec), -0.5, 1e-15);
  EXPECT_EQ(h.ObjName, "M31");
  EXPECT_EQ(h.Observer, "O'Brien");
  EXPECT_EQ(h.ExpTime, 60.0L);
  EXPECT_EQ(h.Filter, 1);
  EXPECT_EQ(h.Epoch, 2000.0L);
  EXPECT_TRUE(p.parser.HasDateObs());
  EXPECT_EQ(p.parser.DateText(), "2004-03-15");
  EXPECT_EQ(p.parser.TimeText(), "03:20");
  ASSERT_EQ(p.errors.size(), 1u);
  EXPECT_EQ(p.errors[0].first, "BLANK");
  EXPECT_EQ(p.errors[0].second, "abc");
  // Every card is listed, the blank ones after END too.
  EXPECT_EQ(std::count(p.listing.begin(), p.listing.end(), '\n'), 36);
  EXPECT_TRUE(p.listing.starts_with("SIMPLE  =                    T\nBITPIX  ="));
  EXPECT_NE(p.listing.find("\nEND\n \n"), std::string::npos);
  EXPECT_TRUE(p.listing.ends_with(" \n \n"));
}

TEST(FITSHeader, ParserRefusesWhatIsNotFITS) {
  FITSWriter notSimple;
  notSimple.Int("BITPIX", 16).End();
  EXPECT_EQ(Parsed(notSimple.Bytes()).results.back(), FITSHeaderParser::BlockResult::NotFITS);
  FITSWriter simpleF;
  simpleF.Logical("SIMPLE", false).End();
  Parsed p(simpleF.Bytes());
  EXPECT_EQ(p.results.back(), FITSHeaderParser::BlockResult::NotFITS);
  EXPECT_EQ(std::count(p.listing.begin(), p.listing.end(), '\n'), 1);
}

TEST(FITSHeader, ExtensionStartsAfresh) {
  FITSWriter w;
  w.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  w.Real("BSCALE", 3).Real("BZERO", 10).Str("OBJECT", "Ceres").End();
  w.Str("XTENSION", "IMAGE").Int("BITPIX", -32).Int("NAXIS", 2).Int("NAXIS1", 5).Int("NAXIS2", 6);
  w.End();
  Parsed p(w.Bytes());
  ASSERT_EQ(p.results.size(), 2u);
  EXPECT_EQ(p.results[0], FITSHeaderParser::BlockResult::More);
  EXPECT_EQ(p.results[1], FITSHeaderParser::BlockResult::Done);
  const FITSHeaderRec& h = p.parser.Header();
  EXPECT_EQ(h.XTension, "IMAGE   ");
  EXPECT_EQ(h.BitPix, -32);
  EXPECT_EQ(h.BScale, 1.0L);
  EXPECT_EQ(h.BZero, 0.0L);
  EXPECT_EQ(h.NAxis1, 5);
  EXPECT_EQ(h.ObjName, "CERES");  // the observation facts carry over
  EXPECT_FALSE(p.parser.GoOn());
}

TEST(FITSHeader, RecordSizes) {
  Encoder e;
  FITSHeaderRec{}.Encode(e);
  EXPECT_EQ(e.size(), FITSHeaderRec::EncodedSize);
}

}  // namespace
}  // namespace hv
