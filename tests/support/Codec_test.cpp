#include "support/Codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace hv {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
  std::vector<std::uint8_t> out;
  for (int b : v) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

TEST(Codec, ExtendedValuesAreByteExact) {
  struct Case {
    const char* name;
    long double value;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"one", 1.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
      {"minus two", -2.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0})},
      {"zero", 0.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
      {"minus zero", -0.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80})},
      {"ten", 10.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40})},
      {"one half", 0.5L, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F})},
      {"infinity", std::numeric_limits<long double>::infinity(),
       Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F})},
  };
  for (const auto& c : cases) {
    Encoder e;
    e.ext(c.value);
    EXPECT_EQ(e.data(), c.bytes) << c.name;
    Decoder d(c.bytes);
    long double back = d.ext();
    EXPECT_EQ(back, c.value) << c.name;
    EXPECT_EQ(std::signbit(back), std::signbit(c.value)) << c.name;
  }
}

TEST(Codec, ExtendedRoundTripKeepsEveryBit) {
  for (long double v : {3.14159265358979323846264338L, 1e-4000L, 1e4000L, -123456.789L,
                        std::numeric_limits<long double>::denorm_min(),
                        std::numeric_limits<long double>::min() / 3,
                        std::numeric_limits<long double>::max()}) {
    auto b = ExtendedToBytes(v);
    EXPECT_EQ(BytesToExtended(b.data()), v);
  }
  auto nan = ExtendedToBytes(std::numeric_limits<long double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(BytesToExtended(nan.data())));
}

TEST(Codec, ScalarsAndStringsAreLittleEndianAndPadded) {
  Encoder e;
  e.str("AB", 4);
  e.i16(-2);
  e.i32(0x01020304);
  e.f32(1.0f);
  e.f64(1.0);
  EXPECT_EQ(e.data(), Bytes({2, 'A', 'B', 0, 0, 0xFE, 0xFF, 4, 3, 2, 1, 0, 0, 0x80, 0x3F, 0, 0, 0,
                             0, 0, 0, 0xF0, 0x3F}));
  Decoder d(e.data());
  EXPECT_EQ(d.str(4), "AB");
  EXPECT_EQ(d.i16(), -2);
  EXPECT_EQ(d.i32(), 0x01020304);
  EXPECT_EQ(d.f32(), 1.0f);
  EXPECT_EQ(d.f64(), 1.0);
  EXPECT_EQ(d.remaining(), 0u);
}

TEST(Codec, TooLongTextsAreCutAndBadLengthBytesClamped) {
  Encoder e;
  e.str("ABCDEF", 3);
  EXPECT_EQ(e.data(), Bytes({3, 'A', 'B', 'C'}));
  auto stored = Bytes({200, 'x', 'y', 'z'});
  Decoder d(stored);
  EXPECT_EQ(d.str(3), "xyz");
}

TEST(Codec, ReadingPastTheEndThrows) {
  auto stored = Bytes({1, 2, 3});
  Decoder d(stored);
  EXPECT_THROW(d.i32(), DecodeError);
  Decoder s(stored);
  EXPECT_THROW(s.str(5), DecodeError);
}

}  // namespace
}  // namespace hv
