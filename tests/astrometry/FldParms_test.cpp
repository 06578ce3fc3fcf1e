#include "astrometry/FldParms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace hv {
namespace {

TEST(FldParmsRec, ResetTakesSizeAndLimitFromTheSettings) {
  OptsRec o;
  o.MagLimit = 16.5f;
  o.FieldSize = 12.0f;
  FldParmsRec r;
  r.RAMin = 1, r.RAMax = 2, r.DecMin = 3, r.DecMax = 4, r.MagLimit = 5;
  r.RACenter = 6, r.DecCenter = 7, r.FieldSize = 8, r.Spare = 9, r.FaintMag = 10, r.Color = 0;
  ResetFldParms(r, o);
  FldParmsRec want;
  want.MagLimit = want.FaintMag = 16.5f;
  want.FieldSize = 12.0f;
  want.Color = 2;
  EXPECT_EQ(r, want);

  CurFldParms.RACenter = 3;
  ResetFldParms(o);
  EXPECT_EQ(CurFldParms, want);
}

TEST(FldParmsRec, ColorTableMatchesPassbands) {
  EXPECT_EQ(ColorCaptions[3], "&J (IR)");
  EXPECT_EQ(ColorBands[5], "K");
  EXPECT_EQ(ColorPassbands[static_cast<int>(ColorCode::J)], 4);
  EXPECT_EQ(ColorPassbands[static_cast<int>(ColorCode::Red)], 2);
}

TEST(SearchBox, Cases) {
  const long double deg = std::numbers::pi_v<long double> / 180.0L;
  struct Row {
    const char* name;
    float size;
    long double ra, dec;
    double raMin, raMax, decMin, decMax;
  };
  const double w60 = static_cast<double>(0.125L / (15.0L * std::cos(60.125L * deg)));
  const double wS = static_cast<double>(0.125L / (15.0L * std::cos(-30.125L * deg)));
  // A 0.3-arc-minute field at the equator: half 0.0025 degrees, 0.000166.. h.
  const double wEq = static_cast<double>(0.0025L / (15.0L * std::cos(-0.0025L * deg)));
  const Row rows[] = {
      {"north, edge nearer the pole", 15, 10, 60, 10 - w60, 10 + w60, 59.875, 60.125},
      {"south, edge nearer the pole", 15, 5, -30, 5 - wS, 5 + wS, -30.125, -29.875},
      {"across 0 h from below", 0.3f, 0.0001L, 0, 0.0001 - wEq + 24, 0.0001 + wEq, -0.0025, 0.0025},
      {"across 0 h from above", 0.3f, 23.9999L, 0, 23.9999 - wEq, 23.9999 + wEq - 24, -0.0025,
       0.0025},
      {"north cap", 15, 0, 89.95L, 0, 24, 89.625, 90},
      {"south cap", 15, 7, -89.95L, 0, 24, -90, -89.625},
      {"edge exactly on the pole", 15, 3, 89.875L, 0, 24, 89.75, 90},
      {"zero size", 0, 6, 10, 6, 6, 10, 10},
      {"negative size", -5, 6, 10, 6, 6, 10, 10},
  };
  for (const Row& row : rows) {
    FldParmsRec r;
    r.FieldSize = row.size;
    r.MagLimit = 14.5f;
    ComputeSearchBox(r, row.ra, row.dec);
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(r.RAMin, row.raMin, 1e-9);
    EXPECT_NEAR(r.RAMax, row.raMax, 1e-9);
    EXPECT_NEAR(r.DecMin, row.decMin, 1e-9);
    EXPECT_NEAR(r.DecMax, row.decMax, 1e-9);
    EXPECT_EQ(r.MagLimit, 14.5f);
  }
  // The worked figure: 15' at +60 is about 0.01673 h either side.
  EXPECT_NEAR(w60, 0.01673, 5e-6);
}

TEST(SearchBox, WrapsAHalfWidthOfAHundredthHour) {
  // Centre 0.005 h with a half width of 0.01 h: the field size that gives
  // w = 0.01 h at the equator's edge declination.
  FldParmsRec r;
  const long double deg = std::numbers::pi_v<long double> / 180.0L;
  // half = 0.15 cos(half) degrees; two fixed-point steps are plenty.
  long double half = 0.15L;
  for (int i = 0; i < 5; ++i) half = 0.15L * std::cos(-half * deg);
  r.FieldSize = static_cast<float>(half * 120);
  ComputeSearchBox(r, 0.005L, 0);
  EXPECT_NEAR(r.RAMin, 23.995, 1e-6);
  EXPECT_NEAR(r.RAMax, 0.015, 1e-6);
  EXPECT_GT(r.RAMin, r.RAMax);
}

}  // namespace
}  // namespace hv
