#include "images/DisplayParms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace hv {
namespace {

TEST(DisplayParms, DefaultBytes) {
  Encoder e;
  EncodeDispParmsRec(e, DefaultDispParms());
  const std::vector<std::uint8_t> want = {
      0,    0,    0,    0,    0, 0, 0, 0,    64,   0,    0, 0, 127, 0, 0, 0,  // four int32
      0,    0,    0,    0,    0, 0, 0, 0x80, 0xFF, 0x3F,                      // extended 1.0
      0x00, 0x00, 0x80, 0xBE,                                                 // single -0.25
      0x00, 0x00, 0x00, 0x40,                                                 // single 2.0
      0,    0,    0,    1,    1, 0};
  ASSERT_EQ(want.size(), DispParmsRecSize);
  EXPECT_EQ(e.data(), want);

  Encoder b;
  EncodeBoxParmsRec(b, DefaultBoxParms());
  EXPECT_EQ(b.data(), (std::vector<std::uint8_t>{10, 10, 5}));
  EXPECT_EQ(b.size(), BoxParmsRecSize);
}

TEST(DisplayParms, RoundTrip) {
  DispParmsRec r{-12,  40,    76,   90, 0.19753086419753086L, 1.75f, 5.5f, true, false,
                 true, false, true, 1};
  Encoder e;
  EncodeDispParmsRec(e, r);
  Decoder d(e.data());
  EXPECT_EQ(DecodeDispParmsRec(d), r);
  EXPECT_EQ(d.remaining(), 0u);

  BoxParmsRec box{-3, 7, 127};
  Encoder eb;
  EncodeBoxParmsRec(eb, box);
  Decoder db(eb.data());
  EXPECT_EQ(DecodeBoxParmsRec(db), box);
}

TEST(DisplayParms, RangeChecks) {
  EXPECT_TRUE(DispParmsValid(DefaultDispParms()));
  struct Case {
    const char* name;
    void (*change)(DispParmsRec&);
    bool valid;
  } cases[] = {
      {"brightness 50",
       [](DispParmsRec& r) {
         r.Brightness = 50;
         r.LowIndex = 14;
       },
       true},
      {"brightness 51", [](DispParmsRec& r) { r.Brightness = 51; }, false},
      {"contrast -50", [](DispParmsRec& r) { r.Contrast = -50; }, true},
      {"contrast -51", [](DispParmsRec& r) { r.Contrast = -51; }, false},
      {"factor zero", [](DispParmsRec& r) { r.Factor = 0; }, false},
      {"factor nan",
       [](DispParmsRec& r) { r.Factor = std::numeric_limits<long double>::quiet_NaN(); }, false},
      {"range zero", [](DispParmsRec& r) { r.Range = 0; }, false},
      {"range 6", [](DispParmsRec& r) { r.Range = 6; }, true},
      {"offset -2.5", [](DispParmsRec& r) { r.BkgOffset = -2.5f; }, true},
      {"offset 3", [](DispParmsRec& r) { r.BkgOffset = 3; }, false},
      {"empty ramp", [](DispParmsRec& r) { r.HighIndex = r.LowIndex; }, false},
      {"source 2", [](DispParmsRec& r) { r.FromHeader = 2; }, false},
  };
  for (const auto& c : cases) {
    DispParmsRec r;
    c.change(r);
    EXPECT_EQ(DispParmsValid(r), c.valid) << c.name;
  }

  struct BoxCase {
    BoxParmsRec box;
    bool valid;
  } boxes[] = {
      {{10, 10, 5}, true}, {{8, 1, 4}, true},    {{1, 1, 2}, true},  {{0, 0, 5}, false},
      {{11, 5, 5}, false}, {{5, 6, 5}, false},   {{5, 0, 5}, false}, {{5, 5, 1}, false},
      {{5, 5, 11}, false}, {{-1, -1, 5}, false},
  };
  for (const auto& c : boxes) {
    EXPECT_EQ(BoxParmsValid(c.box), c.valid)
        << int(c.box.HalfBox) << " " << int(c.box.Radius) << " " << int(c.box.SkyBorder);
  }
}

}  // namespace
}  // namespace hv
