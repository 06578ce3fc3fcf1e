#include "images/Display.h"

#include <gtest/gtest.h>

#include "app/Options.h"
#include "support/IntArrayList.h"

namespace hv {
namespace {

TEST(Display, RangeAndMappingOfTheDefaultRecord) {
  const DisplayRange r = StatisticalRange(1000, 100, -0.25L, 2.0L);
  EXPECT_EQ(r.Low, 975);
  EXPECT_EQ(r.High, 1175);
  const long double span = r.High - r.Low;
  struct Row {
    const char* name;
    long double v;
    int want;
  } rows[] = {{"low end", 975, 64}, {"high end", 1175, 127}, {"31.5 to even", 1075, 96},
              {"below", -5000, 64}, {"above", 1e9L, 127},    {"one step", 978, 65}};
  for (const Row& row : rows)
    EXPECT_EQ(MapPixelToIndex(row.v, r.Low, span, 64, 127), row.want) << row.name;
}

TEST(Display, ZeroSpanDoesNotDivide) {
  EXPECT_EQ(MapPixelToIndex(100, 100, 0, 64, 127), 64);
  EXPECT_EQ(MapPixelToIndex(99, 100, 0, 64, 127), 64);
  EXPECT_EQ(MapPixelToIndex(101, 100, 0, 64, 127), 127);
  EXPECT_EQ(MapPixelToIndex(101, 100, -3, 64, 127), 127);
}

TEST(Display, PaletteIndexesFromBrightnessAndContrast) {
  struct Row {
    const char* name;
    int brightness, contrast;
    int lo, hi;
  } rows[] = {{"neutral", 0, 0, 64, 127},
              {"brightness 10", 10, 0, 54, 117},
              {"contrast 50", 0, 50, 64, 72},
              {"contrast -50", 0, -50, 64, 542},
              {"brightness clamped", 90, 0, 14, 77},
              {"contrast clamped", 0, 500, 64, 72},
              {"contrast clamped low", 0, -99, 64, 542}};
  for (const Row& r : rows) {
    const PaletteIndexes p = PaletteFromBrightness(r.brightness, r.contrast);
    EXPECT_EQ(p.LowIndex, r.lo) << r.name;
    EXPECT_EQ(p.HighIndex, r.hi) << r.name;
    EXPECT_GE(p.HighIndex - p.LowIndex, 8) << r.name;
  }
}

TEST(Display, GreyColoursAreTheSquareRootRamp) {
  const auto c = GreyColours(64, 127);
  EXPECT_EQ(c[0], 0xFF000000u);
  EXPECT_EQ(c[64], 0xFF000000u);
  EXPECT_EQ(c[96], 0xFFB6B6B6u);  // round(sqrt(32/63) x 255) = 182
  EXPECT_EQ(c[127], 0xFFFFFFFFu);
  EXPECT_EQ(c[255], 0xFFFFFFFFu);
}

// A 5 x 4 table whose value at (x, y) is 10 x y + x, with hot pixels.
IntArrayList Ramp() {
  IntArrayList t(5, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) t.SetCell(x, y, 10 * y + x);
  return t;
}

TEST(Display, HotPixelsAreReplacedInTheDisplayOnly) {
  IntArrayList t = Ramp();
  t.SetCell(0, 0, 5000);  // corner: one diagonal neighbour (1, 1) = 11
  t.SetCell(2, 1, 5000);  // middle: (1,0) 1, (3,0) 3, (1,2) 21, (3,2) 23 -> 12
  t.SetCell(4, 2, 5000);  // right edge: (3,1) 13, (3,3) 33 -> 23
  t.SetCell(1, 3, 5000);  // bottom edge: (0,2) 20, (2,2) 22 -> 21
  const IntArrayList loaded = t;
  struct Row {
    const char* name;
    int x, y, want;
  } rows[] = {{"corner", 0, 0, 11},
              {"middle", 2, 1, 12},
              {"right edge", 4, 2, 23},
              {"bottom edge", 1, 3, 21},
              {"plain pixel", 3, 3, 33}};
  for (const Row& r : rows) EXPECT_EQ(DisplayedValue(t, 5, 4, r.x, r.y, 40), r.want) << r.name;
  EXPECT_EQ(DisplayedValue(t, 5, 4, 0, 0, 0), 5000) << "no replacement for a display high of 0";
  EXPECT_EQ(DisplayedValue(t, 5, 4, 0, 0, -10), 5000);

  RenderInput in;
  in.Low = 0;
  in.Span = 63;  // index = 64 + value for values 0..63
  in.DisplayHigh = 40;
  DisplayBitmap bm;
  RenderPixels(t, 5, 4, in, bm);
  RenderPixels(t, 5, 4, in, bm);  // a second render sees the same store
  EXPECT_EQ(bm.RowBytes, 8);
  EXPECT_EQ(bm.At(0, 0), 64 + 11);
  EXPECT_EQ(bm.At(2, 1), 64 + 12);
  EXPECT_EQ(bm.At(4, 2), 64 + 23);
  EXPECT_EQ(bm.At(1, 3), 64 + 21);
  in.FlipX = in.FlipY = true;
  RenderPixels(t, 5, 4, in, bm);
  EXPECT_EQ(bm.At(4, 3), 64 + 11) << "flipped: the corner moves with its replacement";
  EXPECT_EQ(bm.At(2, 2), 64 + 12);
  EXPECT_EQ(bm.At(0, 1), 64 + 23);
  EXPECT_TRUE(std::equal(t.Cells().begin(), t.Cells().end(), loaded.Cells().begin()))
      << "the pixel store keeps the loaded values";
}

TEST(Display, FlipsRenderTheLastColumnOrRowFirst) {
  const IntArrayList t = Ramp();
  RenderInput in;
  in.Low = 0;
  in.Span = 63;
  DisplayBitmap bm;
  in.FlipX = true;
  RenderPixels(t, 5, 4, in, bm);
  EXPECT_EQ(bm.At(0, 0), 64 + 4);
  EXPECT_EQ(bm.At(4, 3), 64 + 30);
  in.FlipX = false;
  in.FlipY = true;
  RenderPixels(t, 5, 4, in, bm);
  EXPECT_EQ(bm.At(0, 0), 64 + 30);
  EXPECT_EQ(bm.At(4, 3), 64 + 4);
}

TEST(Display, TableRenderAgreesWithTheMapping) {
  IntArrayList t(193, 3);
  for (int x = 0; x < 193; ++x)
    for (int y = 0; y < 3; ++y) t.SetCell(x, y, x * 37 * (y + 1) * (y == 2 ? 9000 : 1) - 900);
  for (long double span : {0.0L, 1.0L, 200.0L, 12345.0L, 0.5L, 1e7L, 333.3L}) {
    RenderInput in;
    in.Low = span == 333.3L ? -17.5L : 17;
    in.Span = span;
    DisplayBitmap bm;
    RenderPixels(t, 193, 3, in, bm);
    ASSERT_EQ(bm.RowBytes, 196);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 193; ++x)
        ASSERT_EQ(bm.At(x, y), MapPixelToIndex(t.GetCell(x, y), in.Low, span, 64, 127))
            << "span " << double(span) << " at " << x << "," << y;
  }
}

TEST(Display, StretchTakesNearestSourcePixels) {
  DisplayBitmap bm;
  bm.Width = 4;
  bm.Height = 2;
  bm.RowBytes = 4;
  bm.Pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  const auto half = StretchIndexes(bm, 0, 0, 4, 2, 2, 1);
  EXPECT_EQ(half[0], 6);  // destination centres map to source column 1, row 1
  EXPECT_EQ(half[1], 8);
  const auto twice = StretchIndexes(bm, 0, 0, 4, 2, 8, 4);
  EXPECT_EQ(twice[0], 1);
  EXPECT_EQ(twice[7], 4);
  EXPECT_EQ(twice[3 * 8 + 7], 8);
  const auto outside = StretchIndexes(bm, 3, 1, 2, 2, 2, 2);  // reaches past the bitmap
  EXPECT_EQ(outside[0], 8);
  EXPECT_EQ(outside[1], 0);
  EXPECT_EQ(outside[4], 0);
}

// The adjustment dialog edits the record at DispParms.
class AdjustDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    record = DefaultDispParms();
    DispParms = &record;
    DispParmsForImage = false;
  }
  void TearDown() override { DispParms = nullptr; }
  OptsRec settings;
  DispParmsRec record;
  int saves = 0;
};

TEST_F(AdjustDialog, BarsAndReadOuts) {
  TImgAdjstDlg d(settings, nullptr, [this] { ++saves; });
  d.FormActivate();
  EXPECT_EQ(d.BkgrndBar, -1);
  EXPECT_EQ(d.ImageBar, 4);
  EXPECT_EQ(d.BkgrndRO, "-0.25");
  EXPECT_EQ(d.ImagRO, "2.00");
  EXPECT_TRUE(d.SaveChk);
  EXPECT_FALSE(d.SaveChkEnabled);
  d.BriteScrollChange(3);
  EXPECT_EQ(d.BriteRO, "0.3");
  EXPECT_EQ(record.Brightness, 2) << "1.5 rounds to even";
  EXPECT_EQ(record.LowIndex, 62);
  d.FormActivate();
  EXPECT_EQ(d.BriteBar, 4);
  d.CntrstScrollChange(100);
  EXPECT_EQ(record.HighIndex, record.LowIndex + 8);
  EXPECT_FALSE(d.OrigLED);
  EXPECT_EQ(d.OkBtn1Click(), ModalResult::OK);
  EXPECT_EQ(saves, 0) << "the defaults' own dialog does not save";
}

TEST_F(AdjustDialog, CancelRestoresTheRecord) {
  TImgAdjstDlg d(settings, nullptr, {});
  d.FormActivate();
  d.LftBtnClick();
  d.ImageScrollChange(8);
  EXPECT_TRUE(record.FlipX);
  EXPECT_EQ(d.CnclBtn1Click(), ModalResult::Cancel);
  EXPECT_TRUE(d.OrientChanged);
  EXPECT_TRUE(d.RangeChanged);
  EXPECT_EQ(record, DefaultDispParms());
}

TEST_F(AdjustDialog, OriginalAndDefaultButtons) {
  settings.ImageFileType = ImageFileTypeCode::SBIG;
  settings.DisplayDefaults.Range = 3.0f;
  TImgAdjstDlg d(settings, nullptr, {});
  d.FormActivate();
  d.BriteScrollChange(40);
  d.OrigBtn1Click();
  EXPECT_EQ(d.BriteBar, 0);
  EXPECT_EQ(d.BkgrndGrp, 1) << "SBIG images take the header range";
  EXPECT_TRUE(d.OrigLED);
  EXPECT_FALSE(d.DfltLED);
  d.DfltBtn1Click();
  EXPECT_EQ(record.Range, 3.0f);
  EXPECT_EQ(record.FromHeader, 1);
  EXPECT_EQ(d.ImageBar, 8);
  EXPECT_TRUE(d.DfltLED);
}

}  // namespace
}  // namespace hv
