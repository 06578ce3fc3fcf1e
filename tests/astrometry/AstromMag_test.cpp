#include "astrometry/AstromMag.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hv {
namespace {

RefStarRec Ref(const char* name, long double mag, long double flux, bool useMag = true) {
  RefStarRec r;
  r.Name = name;
  r.Mag = mag;
  r.Flux = flux;
  r.UsePos = true;
  r.UseMag = useMag;
  SetStatusFromFlags(r);
  return r;
}

RefStarRec Target(long double flux) {
  RefStarRec t;
  t.Status = RefStatus::Target;
  t.Flux = flux;
  return t;
}

TEST(AstromMag, MeanErrorAndResiduals) {
  // Target flux 1000. Estimates: 12 - 2.5 log10(1000/4000) = 13.50515,
  // 13 - 2.5 log10(0.5) = 13.75257, 14 - 2.5 log10(4) = 12.49485.
  RefStarList refs;
  refs.AddOrUpdate(Ref("A", 12, 4000));
  refs.AddOrUpdate(Ref("B", 13, 2000));
  refs.AddOrUpdate(Ref("C", 14, 250));
  refs.AddOrUpdate(Ref("D", 11, 8000, false));  // not used, still gets a residual
  refs.AddOrUpdate(Ref("E", 10, 0));            // no flux: left alone
  refs.Item(4)->MagResid = 0.25L;
  RefStarRec t = Target(1000);
  AstromMagObj mag;
  ASSERT_TRUE(mag.CalcMagnitudes(t, refs, 2));

  const long double m[3] = {12 - 2.5L * std::log10(0.25L), 13 - 2.5L * std::log10(0.5L),
                            14 - 2.5L * std::log10(4.0L)};
  const long double mean = (m[0] + m[1] + m[2]) / 3;
  long double ss = 0;
  for (long double v : m) ss += (v - mean) * (v - mean);
  const long double sd = std::sqrt(ss / 2);
  EXPECT_EQ(mag.Count, 3u);
  EXPECT_NEAR(static_cast<double>(t.Mag), static_cast<double>(mean), 1e-15);
  EXPECT_NEAR(static_cast<double>(mag.SD), static_cast<double>(sd), 1e-14);
  EXPECT_NEAR(static_cast<double>(t.MagResid), static_cast<double>(sd / std::sqrt(3.0L)), 1e-14);
  EXPECT_EQ(t.Band, 2);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(static_cast<double>(refs.Item(i)->MagResid), static_cast<double>(mean - m[i]),
                1e-15)
        << i;
  const long double mD = 11 - 2.5L * std::log10(1000.0L / 8000);
  EXPECT_NEAR(static_cast<double>(refs.Item(3)->MagResid), static_cast<double>(mean - mD), 1e-15);
  EXPECT_EQ(refs.Item(4)->MagResid, 0.25L);
}

TEST(AstromMag, SingleStarAndEqualEstimates) {
  RefStarList one;
  one.AddOrUpdate(Ref("A", 12, 1000));
  RefStarRec t = Target(1000);
  AstromMagObj mag;
  ASSERT_TRUE(mag.CalcMagnitudes(t, one, 1));
  EXPECT_EQ(t.Mag, 12);
  EXPECT_EQ(t.MagResid, 0);

  // Equal estimates: in extended precision these six leave a negative
  // difference of squares, whose square root would be NaN.
  RefStarList same;
  for (const char* n : {"A", "B", "C", "D", "E", "F"}) same.AddOrUpdate(Ref(n, 15.55L, 777.7L));
  RefStarRec t2 = Target(1234.5L);
  const long double m = 15.55L - 2.5L * std::log10(1234.5L / 777.7L);
  long double s = 0, ss = 0;
  for (int i = 0; i < 6; ++i) s += m, ss += m * m;
  ASSERT_LT(ss - s * s / 6, 0.0L) << "the case no longer shows the fault";
  ASSERT_TRUE(mag.CalcMagnitudes(t2, same, 1));
  EXPECT_FALSE(std::isnan(mag.SD));
  EXPECT_EQ(mag.SD, 0);
  EXPECT_EQ(t2.MagResid, 0);
}

TEST(AstromMag, TargetWithoutFluxLeavesReferencesAlone) {
  for (long double flux : {0.0L, -25.0L}) {
    RefStarList refs;
    refs.AddOrUpdate(Ref("A", 12, 4000));
    refs.AddOrUpdate(Ref("B", 13, 2000));
    refs.Item(0)->MagResid = 0.1L;
    RefStarList before = refs;
    RefStarRec t = Target(flux);
    t.Mag = 15;
    t.MagResid = 0.2L;
    AstromMagObj mag;
    EXPECT_FALSE(mag.CalcMagnitudes(t, refs, 1));
    EXPECT_EQ(t.Mag, 0);
    EXPECT_EQ(t.MagResid, 0);
    EXPECT_EQ(mag.Count, 0u);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(*refs.Item(i), *before.Item(i)) << i;
  }
}

TEST(AstromMag, NegativeReferenceFluxLeavesThePhotometry) {
  RefStarList refs;
  refs.AddOrUpdate(Ref("A", 12, 1000));
  refs.AddOrUpdate(Ref("B", 13, -50));
  refs.Item(1)->MagResid = 0.4L;
  RefStarRec t = Target(1000);
  AstromMagObj mag;
  ASSERT_TRUE(mag.CalcMagnitudes(t, refs, 1));
  EXPECT_EQ(mag.Count, 1u);
  const RefStarRec& b = *refs.Item(1);
  EXPECT_EQ(b.Flux, 0);
  EXPECT_EQ(b.MagResid, 0);
  EXPECT_FALSE(b.UseMag);
  EXPECT_EQ(b.Status, 1) << "the status follows the cleared flag";
}

}  // namespace
}  // namespace hv
