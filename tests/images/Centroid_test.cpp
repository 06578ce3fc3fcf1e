#include "images/Centroid.h"

#include <gtest/gtest.h>

#include "tests/images/StarField.h"

namespace hv {
namespace {

using test::StarGrid;

// The settings' default box: half box 10, radius 10, sky border 5.
constexpr int kHalf = 10, kRadius = 10, kBorder = 5;

long double RingThreshold(const StarGrid& g, int x, int y) {
  const SkyRing ring = RingStats(g, g.W, g.H, x, y, kHalf, kBorder);
  EXPECT_TRUE(ring.ok);
  return ring.mean + 3 * ring.sd;
}

TEST(Centroid, NoiseFreeStarsWithinOneHundredthPixel) {
  test::Normal rnd(20240611);
  for (long double sigma : {1.0L, 1.3L, 1.7L, 2.0L, 2.5L, 3.0L}) {
    for (int k = 0; k < 20; ++k) {
      const long double cx = 40 + rnd.uniform(), cy = 41 + rnd.uniform();
      StarGrid g(81, 81, 1000);
      const long double peak = 20000;
      g.addStar(cx, cy, sigma, peak * 2 * 3.14159265358979L * sigma * sigma);
      const int x0 = 40 + (k % 5) - 2, y0 = 41 - (k % 3) + 1;  // a click near the star
      const CentroidFit f =
          CentroidAt(g, g.W, g.H, x0, y0, kHalf, kRadius, RingThreshold(g, x0, y0));
      ASSERT_TRUE(f.ok) << "sigma " << double(sigma);
      EXPECT_NEAR(double(f.cx), double(cx), 0.01)
          << "sigma " << double(sigma) << " centre x " << double(cx);
      EXPECT_NEAR(double(f.cy), double(cy), 0.01)
          << "sigma " << double(sigma) << " centre y " << double(cy);
    }
  }
}

TEST(Centroid, NoisyStarsRmsWithinFiveHundredthsPixel) {
  test::Normal rnd(7);
  for (long double sigma : {1.0L, 1.5L, 2.0L}) {
    long double sumSq = 0;
    const int stars = 100;
    for (int k = 0; k < stars; ++k) {
      const long double cx = 30 + rnd.uniform(), cy = 30 + rnd.uniform();
      StarGrid g(61, 61, 500);
      const long double flux =
          350 / (test::PixelShare(0, 0, sigma) * test::PixelShare(0, 0, sigma));
      g.addStar(cx, cy, sigma, flux, &rnd, 10.0);
      const CentroidFit f =
          CentroidAt(g, g.W, g.H, 30, 30, kHalf, kRadius, RingThreshold(g, 30, 30));
      ASSERT_TRUE(f.ok);
      sumSq += (f.cx - cx) * (f.cx - cx) + (f.cy - cy) * (f.cy - cy);
    }
    const double rms = std::sqrt(double(sumSq / (2 * stars)));
    EXPECT_LE(rms, 0.05) << "sigma " << double(sigma);
  }
}

TEST(Centroid, BoxFluxMatchesTheAnalyticFluxInTheBox) {
  test::Normal rnd(99);
  for (long double sigma : {0.8L, 1.0L, 1.5L, 2.0L, 2.5L}) {
    const long double cx = 40 + rnd.uniform() - 0.5L, cy = 40 + rnd.uniform() - 0.5L;
    StarGrid g(81, 81, 1200);
    const long double flux = 500000;
    g.addStar(cx, cy, sigma, flux);
    const BoxSum b = BoxFluxAt(g, g.W, g.H, 40, 40, kHalf, kBorder, true);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.nb, 21 * 21);
    EXPECT_EQ(b.nr, 31 * 31 - 21 * 21);
    const long double inBox =
        flux * test::AxisShare(30, 50, cx, sigma) * test::AxisShare(30, 50, cy, sigma);
    EXPECT_NEAR(double(b.flux), double(inBox), 0.001 * double(inBox)) << "sigma " << double(sigma);
    const BoxSum raw = BoxFluxAt(g, g.W, g.H, 40, 40, kHalf, kBorder, false);
    EXPECT_EQ(raw.flux, raw.sum);
  }
}

TEST(Centroid, PeakSearchTakesTheFirstOfEqualMaxima) {
  StarGrid g(20, 20, 0);
  g.at(12, 5) = 100;  // same value, later row
  g.at(8, 4) = 100;   // upper row: met first
  g.at(6, 4) = 100;   // same row, left column: met first of all
  const CentroidFit f = CentroidAt(g, g.W, g.H, 10, 10, 8, 0, 10);
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.cx, 6);
  EXPECT_EQ(f.cy, 4);
}

TEST(Centroid, NothingAboveThresholdFails) {
  StarGrid g(20, 20, 50);
  EXPECT_FALSE(CentroidAt(g, g.W, g.H, 10, 10, 5, 3, 50).ok);  // equal is not above
  EXPECT_FALSE(CentroidAt(g, g.W, g.H, 40, 40, 5, 3, 0).ok);   // box wholly outside
}

TEST(Centroid, StarAtTheBorderIsClippedAndPulledInwards) {
  StarGrid g(40, 40, 100);
  g.addStar(0.2L, 20.0L, 1.5L, 200000);
  const CentroidFit f = CentroidAt(g, g.W, g.H, 1, 20, kHalf, kRadius, 200);
  ASSERT_TRUE(f.ok);
  EXPECT_GT(f.cx, 0.2L);
  EXPECT_LT(f.cx, 1.5L);
  EXPECT_NEAR(double(f.cy), 20.0, 0.01);
}

TEST(Centroid, SkyRingNeedsTwoPixels) {
  StarGrid g(10, 10, 7);
  EXPECT_FALSE(RingStats(g, 10, 10, 5, 5, 10, 3).ok);   // box covers the image
  EXPECT_FALSE(RingStats(g, 10, 10, 50, 50, 2, 3).ok);  // point far outside
  const SkyRing flat = RingStats(g, 10, 10, 5, 5, 1, 1);
  ASSERT_TRUE(flat.ok);
  EXPECT_EQ(flat.n, 16);
  EXPECT_EQ(flat.mean, 7);
  EXPECT_EQ(flat.sd, 0);  // rounding cannot push the variance below 0
  const BoxSum b = BoxFluxAt(g, 10, 10, 5, 5, 10, 3, true);
  EXPECT_FALSE(b.ok);
}

TEST(Centroid, SkyBoxNearTheEdgeIsClipped) {
  StarGrid g(30, 30, 2);
  const BoxSum b = BoxFluxAt(g, 30, 30, 1, 1, 3, 2, false);
  EXPECT_EQ(b.nb, 5 * 5);
  EXPECT_EQ(b.flux, 50);
}

}  // namespace
}  // namespace hv
