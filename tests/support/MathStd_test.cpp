#include "support/MathStd.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(MathStd, DotProductAndLength) {
  EXPECT_EQ(DotProduct({1, 2, 3}, {4, -5, 6}), 12.0L);
  EXPECT_EQ(DotProduct({1, 0, 0}, {0, 1, 0}), 0.0L);
  EXPECT_EQ(VectorLength({3, 4, 12}), 13.0L);
  EXPECT_EQ(VectorLength({0, 0, 0}), 0.0L);
  EXPECT_EQ(VectorLength({-2, 0, 0}), 2.0L);
}

TEST(MathStd, SumsInExtendedPrecisionInOrder) {
  // 1 + 2^-60 survives in a 64-bit mantissa (it would vanish in double),
  // and the order x, y, z decides what is lost: (1e20 - 1e20) + 1 = 1.
  EXPECT_EQ(DotProduct({1, 0x1p-60L, 0}, {1, 1, 0}) - 1, 0x1p-60L);
  EXPECT_EQ(DotProduct({1e20L, -1e20L, 1}, {1, 1, 1}), 1.0L);
  EXPECT_EQ(DotProduct({1e20L, 1, -1e20L}, {1, 1, 1}), 0.0L);
}

}  // namespace
}  // namespace hv
