#include "controls/Colors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace hv {
namespace {

TEST(DimColor, Table) {
  struct Row {
    const char* name;
    TColor color;
    std::int32_t n;
    TColor want;
  };
  const Row rows[] = {
      {"lime by 3", clLime, 3, 21760},
      {"red by 3", clRed, 3, 85},
      {"each byte divided", MakeColor(200, 100, 50), 3, MakeColor(66, 33, 16)},
      {"n = 1 keeps", 0x123456, 1, 0x123456},
      {"n = 0 gives black", 0xFFFFFF, 0, 0},
      {"n = -2 doubles up to 255", MakeColor(100, 200, 0), -2, MakeColor(200, 255, 0)},
      {"most negative n does not overflow", MakeColor(1, 0, 0),
       std::numeric_limits<std::int32_t>::min(), MakeColor(255, 0, 0)},
      {"largest n gives black", 0xFFFFFF, std::numeric_limits<std::int32_t>::max(), 0},
      {"high byte ignored", 0xFF0000FF, 3, 85},
  };
  for (const Row& r : rows)
    EXPECT_EQ(DimColor(r.color, r.n), r.want)
        << r.name << ": color " << std::hex << r.color << std::dec << " n " << r.n;
}

TEST(SystemColorTable, ResolvesReferencesAndKeepsPlainColours) {
  SystemColorTable t;
  t.Set(15, MakeColor(10, 20, 30));
  EXPECT_EQ(t.Resolve(clBtnFace), MakeColor(10, 20, 30));
  EXPECT_EQ(t.Resolve(clRed), clRed);
  EXPECT_EQ(t.Resolve(0x7F123456), 0x123456u) << "a high byte other than 0xFF is no reference";
  EXPECT_EQ(t.Resolve(0xFF0000FE), clBlack) << "unknown index";
  EXPECT_EQ(t.Resolve(0xFF00010F), clBlack) << "stray bits";
}

TEST(SystemColorTable, DimmingTheResolvedButtonFaceGivesADarkerGrey) {
  SystemColorTable t;
  t.Set(15, MakeColor(240, 240, 240));
  EXPECT_EQ(DimColor(t.Resolve(clBtnFace), 3), MakeColor(80, 80, 80));
}

}  // namespace
}  // namespace hv
