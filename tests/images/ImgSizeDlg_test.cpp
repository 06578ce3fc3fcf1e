#include "images/ImgSizeDlg.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(ImgSizeDlg, CreationIsHalfTheScreen) {
  TImgSizeDlg d(1024);
  EXPECT_EQ(d.MaxWidth, 504);
  EXPECT_EQ(d.DispWidth, 504);
  EXPECT_EQ(d.DispHeight, 504);
  EXPECT_EQ(d.Scale, 1.0L);
  EXPECT_EQ(d.Aspect, 1.0L);
}

TEST(ImgSizeDlg, DisplaySizeFromTheImage) {
  TImgSizeDlg d(1024);
  d.SetImageSize(1000, 800, 1024);
  EXPECT_EQ(d.DispWidth, 504);
  EXPECT_EQ(d.DispHeight, 403);  // round(504 x 0.8) = round(403.2)
  EXPECT_EQ(d.Scale, 0.504L);
  EXPECT_EQ(d.DefaultWidth, 504);
  d.SetImageSize(192, 165, 1024);
  EXPECT_EQ(d.DispWidth, 192);
  EXPECT_EQ(d.Scale, 1.0L);
}

TEST(ImgSizeDlg, NarrowImageRangeAndOk) {
  TImgSizeDlg d(1024);
  d.SetImageSize(192, 165, 1024);
  d.FormActivate();
  EXPECT_EQ(d.ScrollMin, 100);
  EXPECT_EQ(d.ScrollMax, 192);
  EXPECT_EQ(d.WdthRO, "192");
  d.WdthScrollChange(150);
  EXPECT_EQ(d.WdthRO, "150");
  EXPECT_EQ(d.OkBtn1Click(), ModalResult::OK);
  EXPECT_EQ(d.DispWidth, 150);
  EXPECT_EQ(d.DispHeight, 129);  // round(150 x 0.859375) = round(128.90625)
  EXPECT_EQ(d.Scale, 150.0L / 192.0L);
  d.FormActivate();
  d.WdthScrollChange(170);
  d.DfltBtn1Click();
  EXPECT_EQ(d.ScrollPos, 192);
  EXPECT_EQ(d.WdthRO, "192");
}

TEST(ImgSizeDlg, ImageNarrowerThan100HasANonEmptyRange) {
  TImgSizeDlg d(1024);
  d.SetImageSize(64, 48, 1024);
  d.FormActivate();
  EXPECT_EQ(d.ScrollMin, 64);
  EXPECT_EQ(d.ScrollMax, 64);
  d.WdthScrollChange(300);  // out of range is held in range
  EXPECT_EQ(d.ScrollPos, 64);
  d.OkBtn1Click();
  EXPECT_EQ(d.DispWidth, 64);
  EXPECT_EQ(d.DispHeight, 48);
}

// Display pixels, image pixels and display-oriented image units, each flip.
TEST(ImgSizeDlg, CoordinateRules) {
  struct Row {
    const char* name;
    int width;
    int dispWidth;
    bool flip;
    long double display;   // client pixel
    long double oriented;  // display / scale
    long double image;     // column of the pixel table
  };
  const Row rows[] = {
      {"scale 1, no flip", 512, 512, false, 100, 100, 100},
      {"scale 1, flipped", 512, 512, true, 100, 100, 412},
      {"scale 0.5, no flip", 1024, 512, false, 100, 200, 200},
      {"scale 0.5, flipped", 1024, 512, true, 100, 200, 824},
      {"scale 0.5, flipped at 0", 1024, 512, true, 0, 0, 1024},
      {"scale 0.75, no flip", 400, 300, false, 30, 40, 40},
      {"scale 0.75, flipped", 400, 300, true, 30, 40, 360},
      {"scale 0.75, flipped, half pixel", 400, 300, true, 22.5L, 30, 370},
  };
  for (const Row& r : rows) {
    TImgSizeDlg d(2 * r.dispWidth + 16);
    d.SetImageSize(r.width, r.width, 100000);
    d.FormActivate();
    d.WdthScrollChange(r.dispWidth);
    d.OkBtn1Click();
    const long double oriented = d.ScreenToImage(r.display);
    const long double image = MirrorAxis(oriented, r.width, r.flip);
    EXPECT_EQ(oriented, r.oriented) << r.name;
    EXPECT_EQ(image, r.image) << r.name;
    EXPECT_EQ(d.ImageToScreen(MirrorAxis(image, r.width, r.flip)), r.display) << r.name;
  }
}

}  // namespace
}  // namespace hv
