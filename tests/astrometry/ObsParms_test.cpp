#include "astrometry/ObsParms.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

ObsParmsRec Sample() {
  ObsParmsRec r;
  r.ObjName = "(433) Eros";
  r.Designation = "A898 PA";
  r.Number = "00433";
  r.Observer = "J. Q. Public";
  r.ObsTime = 38416.1;  // 2005-03-05 02:24
  r.Discovery = 1;
  r.ObjType = 1;
  return r;
}

TEST(ObsParmsRec, EncodesToItsSizeAndClears) {
  const ObsParmsRec r = Sample();
  Encoder e;
  EncodeObsParmsRec(e, r);
  ASSERT_EQ(e.size(), ObsParmsRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeObsParmsRec(d), r);
  EXPECT_EQ(d.remaining(), 0u);

  ObsParmsRec c = r;
  ClearObsParms(c);
  EXPECT_EQ(c, ObsParmsRec{});
  EXPECT_TRUE(c.ObjName.empty() && c.Number.empty() && c.Observer.empty() && c.Designation.empty());
  EXPECT_EQ(c.ObsTime, 0.0);
  EXPECT_EQ(c.Discovery, 0);
  EXPECT_EQ(c.ObjType, 0);
}

TEST(ObsParmsRec, DateTextsRoundOnceToTheSecond) {
  struct Row {
    const char* name;
    double value;
    const char* date;
    const char* time;
  };
  const Row rows[] = {
      {"cleared", 0.0, "1899-12-30", "00:00:00"},
      {"5 March 2005 02:24", 38416.1, "2005-03-05", "02:24:00"},
      {"2000-01-01 noon", 36526.5, "2000-01-01", "12:00:00"},
      {"half a second before midnight", 38416.0 + 86399.5 / 86400, "2005-03-06", "00:00:00"},
      {"leap day", 36585.75, "2000-02-29", "18:00:00"},
      {"end of 2099", 73050.99998842592, "2099-12-31", "23:59:59"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ObsDateText(r.value), r.date) << r.name;
    EXPECT_EQ(ObsTimeText(r.value), r.time) << r.name;
  }
}

TEST(ObsParmsRec, ParsesDates) {
  EXPECT_EQ(ParseObsDate("1899-12-30"), 0);
  EXPECT_EQ(ParseObsDate("2005-03-05"), 38416);
  EXPECT_EQ(ParseObsDate(" 2000-2-29 "), 36585);
  EXPECT_EQ(DaysFromCivil(2000, 1, 1), 36526);
  for (const char* bad : {"", "2005/03/05", "05-03-2005", "05-3-5", "2005-13-01", "2005-02-29",
                          "2005-03", "2005-03-05-1", "abcd-ef-gh", "2005-00-10", "2005-04-31"})
    EXPECT_FALSE(ParseObsDate(bad).has_value()) << bad;
}

}  // namespace
}  // namespace hv
