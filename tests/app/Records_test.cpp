#include "app/Records.h"

#include <gtest/gtest.h>

#include <string>

namespace hv {
namespace {

template <typename Rec, typename EncodeFn>
std::vector<std::uint8_t> Bytes(const Rec& r, EncodeFn encode) {
  Encoder e;
  encode(e, r);
  return e.take();
}

SiteRec SampleSite() {
  SiteRec s;
  s.Name = "Mount Teide";
  s.Code = "954";
  s.Telescope = "0.8-m reflector";
  s.LonDeg = "16";
  s.LonMin = "30";
  s.LonSec = "35.5";
  s.LatDeg = "28";
  s.LatMin = "18";
  s.LatSec = "";
  s.North = true;
  s.West = true;
  s.Longitude = -16.509861f;
  s.Latitude = 28.3f;
  s.Altitude = 2390.5f;
  s.TimeZone = 0.5f;
  return s;
}

TEST(Records, EncodedSizesAndFieldOffsets) {
  auto site = Bytes(SampleSite(), EncodeSiteRec);
  ASSERT_EQ(site.size(), SiteRecSize);
  EXPECT_EQ(site[0], 11);  // name length
  EXPECT_EQ(std::string(&site[42], &site[45]), "954");
  EXPECT_EQ(site[86], 2);   // LonDeg length
  EXPECT_EQ(site[152], 1);  // North
  EXPECT_EQ(site[153], 1);  // West
  Decoder tz{std::span(site).subspan(166)};
  EXPECT_EQ(tz.f32(), 0.5f);

  CamRec cam;
  cam.Name = "ST-7";
  cam.ImageWidth = 765;
  cam.Inverted = true;
  cam.Filter = 2;
  auto c = Bytes(cam, EncodeCamRec);
  ASSERT_EQ(c.size(), CamRecSize);
  Decoder w{std::span(c).subspan(49)};
  EXPECT_EQ(w.i32(), 765);
  EXPECT_EQ(c[65], 1);
  EXPECT_EQ(c[66], 2);

  UserRec user;
  user.Measurers = "M. Kovac";
  auto u = Bytes(user, EncodeUserRec);
  ASSERT_EQ(u.size(), UserRecSize);
  EXPECT_EQ(u[482], 8);
  EXPECT_EQ(u[483], 'M');
}

TEST(Records, RoundTripsAndLongTextsAreCut) {
  SiteRec site = SampleSite();
  auto bytes = Bytes(site, EncodeSiteRec);
  Decoder d(bytes);
  EXPECT_EQ(DecodeSiteRec(d), site);
  EXPECT_EQ(d.remaining(), 0u);

  CamRec cam{"SBIG ST-9", 20, 20.5f, 512, 512, 355.6f, 2845, true, 1};
  auto cb = Bytes(cam, EncodeCamRec);
  Decoder dc(cb);
  EXPECT_EQ(DecodeCamRec(dc), cam);

  UserRec user{"A", "B", "C", "D", "E", "F", std::string(255, 'o'), "m"};
  auto ub = Bytes(user, EncodeUserRec);
  Decoder du(ub);
  EXPECT_EQ(DecodeUserRec(du), user);

  // A 45-character name keeps its first 40 characters.
  site.Name = std::string(40, 'x') + "12345";
  auto cut = Bytes(site, EncodeSiteRec);
  ASSERT_EQ(cut.size(), SiteRecSize);
  Decoder dcut(cut);
  EXPECT_EQ(DecodeSiteRec(dcut).Name, std::string(40, 'x'));
}

TEST(Records, StoredLengthsAboveCapacityAreClamped) {
  auto bytes = Bytes(SampleSite(), EncodeSiteRec);
  bytes[41] = 200;  // code length, capacity 3
  Decoder d(bytes);
  SiteRec s = DecodeSiteRec(d);
  EXPECT_EQ(s.Code, "954");
  EXPECT_EQ(s.Telescope, "0.8-m reflector");  // the next field is where it belongs
}

TEST(Records, ShortBytesFailToDecode) {
  auto bytes = Bytes(CamRec{}, EncodeCamRec);
  bytes.pop_back();
  Decoder d(bytes);
  EXPECT_THROW(DecodeCamRec(d), DecodeError);
}

TEST(Records, SiteNumbersFollowTextsAndFlags) {
  struct Case {
    const char* name;
    const char *lonDeg, *lonMin, *lonSec;
    bool west;
    const char *latDeg, *latMin, *latSec;
    bool north;
    float lon, lat;
  } cases[] = {
      {"west, empty seconds", "12", "30", "", true, "45", "0", "0", true, -12.5f, 45.0f},
      {"east", "75", "30", "0", false, "0", "", "", true, 75.5f, 0.0f},
      {"south", "0", "0", "36", false, "33", "52", "4.2", false, 0.01f,
       static_cast<float>(-(33 + 52 / 60.0L + 4.2L / 3600))},
      {"all empty", "", "", "", true, "", "", "", false, -0.0f, -0.0f},
      {"blanks and sign", " 10 ", "+15", "1e1", false, "5.5", "", "", true,
       static_cast<float>(10 + 15 / 60.0L + 10 / 3600.0L), 5.5f},
  };
  for (const auto& c : cases) {
    SiteRec s;
    s.LonDeg = c.lonDeg;
    s.LonMin = c.lonMin;
    s.LonSec = c.lonSec;
    s.West = c.west;
    s.LatDeg = c.latDeg;
    s.LatMin = c.latMin;
    s.LatSec = c.latSec;
    s.North = c.north;
    ASSERT_TRUE(SiteNumbersFromTexts(s)) << c.name;
    EXPECT_FLOAT_EQ(s.Longitude, c.lon) << c.name;
    EXPECT_FLOAT_EQ(s.Latitude, c.lat) << c.name;
    EXPECT_TRUE(SiteNumbersAgree(s)) << c.name;
    s.West = !s.West;
    EXPECT_EQ(SiteNumbersAgree(s), s.Longitude == 0) << c.name;
  }
}

TEST(Records, NonNumericSiteTextsLeaveTheRecord) {
  for (const char* bad : {" ", "12a", "1,5", ".", "-", "inf", "nan", "1e", "0x10", "1 2"}) {
    SiteRec s = SampleSite();
    const SiteRec before = s;
    s.LatMin = bad;
    SiteRec expect = before;
    expect.LatMin = bad;
    EXPECT_FALSE(SiteNumbersFromTexts(s)) << bad;
    EXPECT_EQ(s, expect) << bad;
    EXPECT_FALSE(DegreesFromTexts("1", bad, "").has_value()) << bad;
  }
}

TEST(Records, Defaults) {
  SiteRec site = DefaultSite();
  EXPECT_FALSE(site.Name.empty());
  EXPECT_EQ(site.Code.size(), 3u);
  EXPECT_TRUE(SiteNumbersAgree(site));
  EXPECT_GE(site.Longitude, -180);
  EXPECT_LE(site.Longitude, 180);
  EXPECT_GE(site.Latitude, -90);
  EXPECT_LE(site.Latitude, 90);

  CamRec cam = DefaultCamera();
  EXPECT_EQ(cam, (CamRec{"", 0, 0, 0, 0, 0, 0, false, 8}));

  UserRec user{"A", "B", "C", "D", "E", "F", "obs", "meas"};
  ClearUserAddress(user);
  EXPECT_EQ(user, (UserRec{"", "", "", "", "", "", "obs", "meas"}));
}

}  // namespace
}  // namespace hv
