// The double-precision rounding of the per-pixel loops agrees with the
// library's nearest-even rounding, halves and the ends of its fast range
// included.
#include "support/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace hv {
namespace {

TEST(Rounding, DoubleRoundingIsNearestEven) {
  const double two51 = 2251799813685248.0;
  const struct {
    const char* name;
    double in, want;
  } rows[] = {
      {"half down to even", 0.5, 0},
      {"half up to even", 1.5, 2},
      {"half to even 2", 2.5, 2},
      {"negative half", -2.5, -2},
      {"negative half up", -1.5, -2},
      {"below half", 0.49999999999999994, 0},
      {"last fast value", two51 - 0.5, two51},
      {"first slow value", two51 + 0.5, two51},
      {"huge", 1e300, 1e300},
      {"infinite", INFINITY, INFINITY},
  };
  for (const auto& r : rows) EXPECT_EQ(RoundDouble(r.in), r.want) << r.name;
  EXPECT_TRUE(std::isnan(RoundDouble(std::numeric_limits<double>::quiet_NaN())));
  std::mt19937 gen(51);
  std::uniform_real_distribution<double> any(-70000.0, 70000.0);
  for (int i = 0; i < 100000; ++i) {
    const double x = any(gen) / (i % 7 + 1);
    ASSERT_EQ(RoundDouble(x), std::nearbyint(x) + 0.0) << x;
  }
}

}  // namespace
}  // namespace hv
