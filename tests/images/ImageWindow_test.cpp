#include "images/ImageWindow.h"

#include <gtest/gtest.h>

#include "images/GraphicsFile.h"
#include "support/Codec.h"
#include "support/Rounding.h"
#include "tests/images/ImageWindowKit.h"

namespace hv {
namespace {

using test::RecordingCanvas;
using test::StarGrid;
using test::WindowKit;

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

StarGrid Noisy(int w, int h, std::uint32_t seed) {
  StarGrid g(w, h, 1000);
  test::Normal rnd(seed);
  for (auto& v : g.v) v = static_cast<std::int32_t>(std::nearbyint(1000 + 10 * rnd()));
  return g;
}

TEST(ImageWindow, LoadRendersAndWritesTheBitmapFile) {
  WindowKit kit;
  StarGrid g = Noisy(193, 20, 5);
  g.addStar(100.3L, 9.6L, 1.5L, 40000);
  GraphicsFileObj& file = kit.Load(g);
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  ASSERT_TRUE(w.ImageLoaded);
  EXPECT_EQ(w.Caption, "Image 1 - M31.FIT");
  EXPECT_EQ(w.FieldCenter.ImageX, 96.5L);
  EXPECT_EQ(w.FieldCenter.Name, "Field Center");

  const DisplayRange want =
      StatisticalRange(file.Histogram->Mean(), file.Histogram->StdDev(), -0.25L, 2.0L);
  EXPECT_EQ(file.ImageInfo.DisplayLow, want.Low);
  EXPECT_EQ(file.ImageInfo.DisplayHigh, want.High);
  EXPECT_EQ(w.DisplayLow, want.Low);
  EXPECT_EQ(w.DisplaySpan, want.High - want.Low);
  EXPECT_EQ(w.ClientWidth, 193) << "narrower than half the screen: full size";
  EXPECT_EQ(w.Bitmap.RowBytes, 196);

  const std::vector<std::uint8_t> b = ReadWholeFile(file.BMPFile->FileName);
  ASSERT_EQ(b.size(), 1078u + 20u * 196u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 2), 0u);
  EXPECT_EQ(U32(b, 10), 1078u);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(U32(b, 18), 193u);
  EXPECT_EQ(static_cast<std::int32_t>(U32(b, 22)), -20) << "rows stored top row first";
  EXPECT_EQ(b[26] | (b[27] << 8), 1);
  EXPECT_EQ(b[28] | (b[29] << 8), 8);
  EXPECT_EQ(U32(b, 46), 256u);
  EXPECT_EQ(b[54 + 4 * 96], 182);
  EXPECT_EQ(b[54 + 4 * 96 + 3], 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 193; ++x)
      ASSERT_EQ(b[1078 + y * 196 + x], w.Bitmap.At(x, y)) << x << "," << y;
  EXPECT_EQ(w.Bitmap.At(100, 10), 127) << "the star is white";
}

TEST(ImageWindow, HotPixelsStayInThePixelStore) {
  WindowKit kit;
  StarGrid g(40, 30, 1000);
  g.at(0, 0) = 900000;
  g.at(20, 15) = 900000;
  g.at(21, 16) = 1040;  // one diagonal neighbour of (20, 15)
  kit.Load(g);
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.RenderImage(false);
  w.RenderImage(false);
  const IntArrayList& px = *kit.files[0]->Pixels;
  EXPECT_EQ(px.GetCell(0, 0), 900000);
  EXPECT_EQ(px.GetCell(20, 15), 900000);
  EXPECT_EQ(w.Bitmap.At(0, 0), w.PixelToIndex(1000));
  EXPECT_EQ(w.Bitmap.At(20, 15), w.PixelToIndex(1010));  // (1000 x 3 + 1040) / 4
}

TEST(ImageWindow, BrightnessSwapsOnlyTheColourTable) {
  WindowKit kit;
  kit.Load(Noisy(64, 64, 9));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  const auto generation = w.Bitmap.Generation;
  const auto pixels = w.Bitmap.Pixels;
  w.DispParms->Brightness = 10;
  w.RefreshPalette();
  EXPECT_EQ(w.Bitmap.Generation, generation);
  EXPECT_EQ(w.Bitmap.Pixels, pixels);
  EXPECT_EQ(w.DispParms->LowIndex, 54);
  EXPECT_EQ(w.DispParms->HighIndex, 117);
  EXPECT_EQ(w.Bitmap.Colours[54], 0xFF000000u);
  EXPECT_EQ(w.Bitmap.Colours[117], 0xFFFFFFFFu);
  const auto b = ReadWholeFile(kit.files[0]->BMPFile->FileName);
  EXPECT_EQ(b[54 + 4 * 117], 255) << "the file's palette is rewritten in place";
  EXPECT_EQ(b[54 + 4 * 54], 0);
  EXPECT_EQ(b[54 + 4 * 55], 32);  // round(sqrt(1/63) x 255)
  w.DispParms->Contrast = 400;    // out of range: held at 50
  w.RefreshPalette();
  EXPECT_EQ(w.DispParms->HighIndex - w.DispParms->LowIndex, 8);
}

TEST(ImageWindow, CentroidAtHalfScaleAndFlipped) {
  WindowKit kit;
  StarGrid g(1024, 200, 1000);
  g.addStar(600.3L, 100.7L, 1.5L, 60000);
  kit.Load(g);
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  ASSERT_EQ(w.SizeDlg.Scale, 0.5L);
  long double cx, cy;
  ASSERT_TRUE(w.FindCentroid(300, 50, w.SizeDlg, cx, cy));
  EXPECT_NEAR(double(cx), 300.15, 0.005);
  EXPECT_NEAR(double(cy), 50.35, 0.005);
  w.DispParms->FlipX = true;
  w.RenderImage(false);
  ASSERT_TRUE(w.FindCentroid(212, 50, w.SizeDlg, cx, cy));
  EXPECT_NEAR(double(cx), 211.85, 0.005) << "given back in display coordinates";
  EXPECT_FALSE(w.FindCentroid(20, 20, w.SizeDlg, cx, cy)) << "no star there";
  EXPECT_EQ(cx, 20);
}

// Five references whose image positions follow the field positions by an
// affine map.
struct RefField {
  long double fx, fy, ix, iy;
};
std::vector<RefField> Refs(bool collinear) {
  std::vector<RefField> r;
  const long double pts[5][2] = {{10, 12}, {150, 30}, {60, 140}, {120, 110}, {30, 80}};
  for (int i = 0; i < 5; ++i) {
    long double fx = pts[i][0], fy = pts[i][1];
    if (collinear && i < 3) fy = 2 * fx;
    r.push_back({fx, fy, 0.9L * fx - 0.1L * fy + 25.25L, 0.1L * fx + 0.9L * fy + 20.5L});
  }
  return r;
}

void MarkThree(WindowKit& kit, TImageForm1& w, const std::vector<RefField>& refs) {
  for (int i = 0; i < 5; ++i) {
    RefStarRec r;
    r.Number = i + 1;
    r.FieldX = refs[i].fx;
    r.FieldY = refs[i].fy;
    r.UsePos = true;
    w.RefList.InsertAfter(r);
  }
  w.MeasureMode = true;
  kit.guideStep = 2;
  for (int n = 1; n <= 3; ++n) {
    kit.guideRefNum = n;
    const int x = static_cast<int>(std::nearbyint(double(refs[n - 1].ix)));
    const int y = static_cast<int>(std::nearbyint(double(refs[n - 1].iy)));
    w.FormMouseDown(MouseButton::Left, x, y);
    w.FormMouseUp(MouseButton::Left, x, y);
  }
}

StarGrid FieldImage(const std::vector<RefField>& refs) {
  StarGrid g(256, 256, 500);
  for (const auto& r : refs) g.addStar(r.ix, r.iy, 1.4L, 30000);
  return g;
}

TEST(ImageWindow, MarkingThreeReferencesPredictsTheOthers) {
  WindowKit kit;
  kit.screenWidth = 2000;  // scale 1
  const auto refs = Refs(false);
  kit.Load(FieldImage(refs));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  MarkThree(kit, w, refs);
  EXPECT_EQ(kit.guideShown, 3);
  EXPECT_TRUE(w.RefMarked);
  int i = 0;
  for (const RefStarRec& r : w.RefList) {
    EXPECT_NEAR(double(r.ImageX), double(refs[i].ix), 0.02) << "reference " << i + 1;
    EXPECT_NEAR(double(r.ImageY), double(refs[i].iy), 0.02) << "reference " << i + 1;
    EXPECT_EQ(r.Located, i < 3);
    ++i;
  }
  EXPECT_NEAR(double(w.RefFitData[400]), 0.9, 1e-3);
  EXPECT_NEAR(double(w.RefFitData[405]), 20.5, 0.02);
}

TEST(ImageWindow, JustMarkedReferenceShowsUntilTheGuideMovesOnOrStartsAgain) {
  WindowKit kit;
  kit.screenWidth = 2000;
  const auto refs = Refs(false);
  kit.Load(FieldImage(refs));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  MarkThree(kit, w, refs);
  auto labels = [&w] {
    RecordingCanvas c;
    w.FormPaint(c);
    std::string got;
    for (const auto& o : c.ops)
      if (o.rfind("text ", 0) == 0 && o.find("1.00") == std::string::npos)
        got += o.substr(o.find(' ', 5) + 1) + ";";
    return got;
  };
  EXPECT_EQ(labels(), "1 lime;2 lime;3 yellow;");
  // The guide starts over: the references are to be located again, and the
  // third is not shown before its click.
  for (RefStarRec& r : w.RefList) r.Located = false;
  w.RefList.Item(0)->Located = w.RefList.Item(1)->Located = true;
  EXPECT_EQ(labels(), "1 lime;2 lime;");
}

TEST(ImageWindow, CollinearReferencesSkipThePrediction) {
  WindowKit kit;
  kit.screenWidth = 2000;
  const auto refs = Refs(true);
  kit.Load(FieldImage(refs));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  MarkThree(kit, w, refs);
  const RefStarRec* fourth = w.RefList.Item(3);
  EXPECT_EQ(fourth->ImageX, 0);
  EXPECT_EQ(fourth->ImageY, 0);
  EXPECT_TRUE(w.RefList.Item(2)->Located);
}

// The target on reference 4's star, then a sky area above it, as the guide's
// steps 3 and 4 take them.
void LocateTargetAndSky(WindowKit& kit, TImageForm1& w) {
  kit.guideStep = 3;
  w.FormMouseDown(MouseButton::Left, 120, 121);
  w.FormMouseUp(MouseButton::Left, 120, 121);
  ASSERT_TRUE(w.TargetLocated);
  kit.guideStep = 4;
  w.FormMouseDown(MouseButton::Left, 200, 30);
  w.FormMouseUp(MouseButton::Left, 200, 30);
  ASSERT_TRUE(w.SkyLocated);
}

TEST(ImageWindow, FlipChangeMirrorsEveryMeasuredPosition) {
  WindowKit kit;
  kit.screenWidth = 2000;
  const auto refs = Refs(false);
  kit.Load(FieldImage(refs));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  MarkThree(kit, w, refs);
  LocateTargetAndSky(kit, w);
  if (HasFatalFailure()) return;
  const long double skyFlux = w.SkyBox.Flux;
  ASSERT_TRUE(w.MeasureTarget(true));
  const long double targetFlux = w.Target.Flux;
  const long double tx = w.Target.ImageX;

  kit.platform.expectDialog("TImgAdjstDlg", [](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    d.LftBtnClick();
    d.DwnBtnClick();
    return d.OkBtn1Click();
  });
  w.AdjustImage1Click();
  ASSERT_TRUE(w.FlipX());
  ASSERT_TRUE(w.FlipY());
  EXPECT_EQ(w.Target.ImageX, 256 - tx);
  EXPECT_EQ(w.SkyBox.ImageX, 56);
  EXPECT_EQ(w.SkyBox.ImageY, 226);
  int i = 0;
  for (const RefStarRec& r : w.RefList) {
    EXPECT_NEAR(double(r.ImageX), double(256 - refs[i].ix), 0.02) << "reference " << i + 1;
    EXPECT_NEAR(double(r.ImageY), double(256 - refs[i].iy), 0.02) << "reference " << i + 1;
    ++i;
  }
  // The measurements made in the new orientation agree with the old ones.
  w.CentroidRefStars();
  EXPECT_TRUE(w.RefsLocated);
  i = 0;
  for (const RefStarRec& r : w.RefList) {
    EXPECT_NEAR(double(r.ImageX), double(256 - refs[i].ix), 0.02) << "re-centroided " << i + 1;
    ++i;
  }
  ASSERT_TRUE(w.MeasureTarget(true));
  EXPECT_EQ(w.Target.Flux, targetFlux);
  EXPECT_EQ(w.SkyBox.Flux, skyFlux);
  // A later mark predicts in the new orientation too.
  kit.guideStep = 2;
  kit.guideRefNum = 4;
  w.FormMouseDown(MouseButton::Left, 136, 135);
  w.FormMouseUp(MouseButton::Left, 136, 135);
  EXPECT_NEAR(double(w.RefList.Item(4)->ImageX), double(256 - refs[4].ix), 0.05);
}

// The target's box sum less the sky area's: both are taken with the box in
// force, also when the sky area was read with another one.
TEST(ImageWindow, ASkyAreaReadWithAnotherBoxIsReadAgainWithTheTargets) {
  WindowKit kit;
  kit.screenWidth = 2000;
  const auto refs = Refs(false);
  kit.Load(FieldImage(refs));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.MeasureMode = true;
  LocateTargetAndSky(kit, w);
  if (HasFatalFailure()) return;
  const long double oldSky = w.SkyBox.Flux;
  BoxParms = BoxParmsRec{6, 6, 5};
  ASSERT_TRUE(w.MeasureTarget(true));
  const int tx = RoundToInt32(w.Target.ImageX), ty = RoundToInt32(w.Target.ImageY);
  const long double box = *w.BoxFlux(tx, ty, w.SizeDlg, false);
  const long double sky = *w.BoxFlux(200, 30, w.SizeDlg, false);
  EXPECT_NE(sky, oldSky) << "a smaller box holds less sky";
  EXPECT_EQ(w.SkyBox.Flux, sky);
  EXPECT_EQ(w.Target.Flux, box - sky);
  EXPECT_EQ(w.SkyBoxBox, BoxParms);
}

TEST(ImageWindow, UnmeasurableRingFailsWithAMessage) {
  WindowKit kit;
  kit.Load(StarGrid(12, 12, 100));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.Target.ImageX = w.Target.ImageY = 6;
  kit.platform.expectMessage(ModalResult::OK, "Measurement Failed!", "Too few sky pixels");
  EXPECT_FALSE(w.MeasureTarget(false));
  EXPECT_FALSE(w.TargetMeasured);
  kit.settings.ReadSky = true;
  kit.platform.expectMessage(ModalResult::OK, "Measurement Failed!");
  long double cx, cy;
  EXPECT_FALSE(w.FindCentroid(6, 6, w.SizeDlg, cx, cy));
}

TEST(ImageWindow, ZeroFluxIsAMeasurement) {
  WindowKit kit;
  kit.Load(StarGrid(64, 64, 100));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.Target.ImageX = w.Target.ImageY = 32;
  EXPECT_TRUE(w.MeasureTarget(false));
  EXPECT_EQ(w.Target.Flux, 0);
  EXPECT_TRUE(w.TargetMeasured);
  w.ResetTarget();
  EXPECT_FALSE(w.TargetMeasured);
}

TEST(ImageWindow, FailedReferenceIsRemovedFromBothLists) {
  WindowKit kit;
  kit.screenWidth = 2000;
  StarGrid g(128, 128, 500);
  g.addStar(40.2L, 50.7L, 1.5L, 30000);
  kit.Load(g);
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  RefStarRec a, b;
  a.Number = 1;
  a.ImageX = 100;
  a.ImageY = 100;  // nothing there
  b.Number = 2;
  b.ImageX = 41;
  b.ImageY = 50;
  w.RefList.InsertAfter(a);
  w.RefList.InsertAfter(b);
  kit.platform.expectMessage(
      ModalResult::Yes, "Invalid Reference Star",
      "Unable to Determine Centroid for Reference Star #1!\n\nRemove Reference?");
  w.CentroidRefStars();
  EXPECT_TRUE(w.RefsLocated);
  ASSERT_EQ(w.RefList.Count(), 1);
  EXPECT_EQ(kit.removedFieldRefs, std::vector<int>{0});
  EXPECT_NEAR(double(w.RefList.Item(0)->ImageX), 40.2, 0.01);
  EXPECT_GT(w.RefList.Item(0)->Flux, 29000);
}

TEST(ImageWindow, ZoomGuardsAndFactor) {
  WindowKit kit;
  kit.Load(Noisy(512, 512, 3));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  ASSERT_EQ(w.ClientWidth, 512);
  kit.platform.expectMessage(ModalResult::OK, "", "Place the Cursor on the upper left corner");
  w.ZoomImage1Click();
  ASSERT_TRUE(w.ZoomMode);
  EXPECT_FALSE(kit.zoomHint);
  EXPECT_FALSE(w.Menus.ZoomEnabled);
  EXPECT_TRUE(w.Menus.UnZoomEnabled);
  RecordingCanvas empty;
  w.FormPaint(empty);  // before the first drag: no frame, no division
  EXPECT_FALSE(empty.Has("frame"));
  w.FormMouseUp(MouseButton::Left, 5, 5);
  w.FormDblClick();
  EXPECT_FALSE(w.Zoomed) << "no zoom into an empty rectangle";

  w.FormMouseDown(MouseButton::Right, 100, 100);
  RecordingCanvas point;
  w.FormPaint(point);
  EXPECT_FALSE(point.Has("frame"));
  w.FormMouseMove(300, 150);
  EXPECT_EQ(w.ZoomRect, (IntRect{100, 100, 300, 300}));
  RecordingCanvas square;
  w.FormPaint(square);
  EXPECT_TRUE(square.Has("text 100,87 2.56 lime"));
  EXPECT_TRUE(square.Has("frame 100,100,300,300 lime"));
  w.FormMouseUp(MouseButton::Right, 300, 150);
  w.FormMouseDown(MouseButton::Right, 0, 0);
  w.FormMouseMove(600, 10);
  RecordingCanvas big;
  w.FormPaint(big);
  EXPECT_TRUE(big.Has("text 0,-13 0.85 red"));
  w.FormMouseUp(MouseButton::Right, 600, 10);
  w.FormDblClick();
  EXPECT_FALSE(w.Zoomed) << "the right button was released last";
  w.FormMouseUp(MouseButton::Left, 5, 5);
  w.FormDblClick();
  EXPECT_TRUE(w.Zoomed);
  RecordingCanvas zoomed;
  w.FormPaint(zoomed);
  EXPECT_TRUE(zoomed.Has("bitmap 0,0,600,600 -> 0,0,512,512"));

  // A drag up and to the left beeps and brings the old rectangle back.
  w.FormDblClick();
  w.FormMouseDown(MouseButton::Right, 200, 200);
  w.FormMouseMove(150, 150);
  EXPECT_EQ(kit.platform.beeps().back(), Sound::Hand);
  w.FormMouseUp(MouseButton::Right, 150, 150);
  EXPECT_EQ(w.ZoomRect, (IntRect{0, 0, 600, 600}));
  w.UnZoomImage1Click();
  EXPECT_FALSE(w.ZoomMode);
}

TEST(ImageWindow, MarksArePaintedFromState) {
  WindowKit kit;
  kit.Load(Noisy(256, 256, 4));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.TargetLocated = true;
  w.Target.ImageX = 100;
  w.Target.ImageY = 100;
  w.Target.Located = true;
  RecordingCanvas c;
  w.FormPaint(c);
  EXPECT_TRUE(c.Has("frame 91,90,111,110 lime"));
  EXPECT_TRUE(c.Has("dotted 86,85,116,115 lime"));
  EXPECT_TRUE(c.Has("text 76,90 U lime"));
  EXPECT_EQ(CursorWindow->Caption, "Unknown");
  w.DispParms->Invert = true;
  RecordingCanvas inv;
  w.FormPaint(inv);
  EXPECT_TRUE(inv.Has("frame 91,90,111,110 blue"));
  EXPECT_TRUE(inv.Has("bitmap 0,0,256,256 -> 0,0,256,256 inverted"));
  // A plain click leaves the cross; the next press clears it.
  w.FormMouseDown(MouseButton::Left, 50, 60);
  w.FormMouseUp(MouseButton::Left, 50, 60);
  EXPECT_TRUE(w.MarkValid);
  RecordingCanvas cross;
  w.FormPaint(cross);
  EXPECT_TRUE(cross.Has("line 35,60 65,60 fuchsia"));
  w.FormMouseDown(MouseButton::Left, 10, 10);
  EXPECT_EQ(w.MarkX, -40);
  EXPECT_FALSE(w.CrossShown);
}

TEST(ImageWindow, PrintLayout) {
  WindowKit kit;
  kit.Load(Noisy(192, 128, 6));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  kit.platform.clock = {2024, 3, 5, 21, 4, 9};
  kit.printHeader.exerciseSession = true;
  kit.printHeader.names[0] = "Ada";
  kit.printHeader.names[2] = "Grace";
  ASSERT_TRUE(w.PrintDocument());
  EXPECT_EQ(kit.platform.printedTitle, "VESK Halvardin Exercise - Ada");
  ASSERT_EQ(kit.platform.printedPages.size(), 1u);
  const auto& ops = kit.platform.printedPages[0].ops;
  auto has = [&](const std::string& s) {
    for (const auto& o : ops)
      if (o.find(s) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has("2024/03/05 21:04:09     Laboratory Table Number (Not Recorded)"));
  EXPECT_TRUE(has("Ada"));
  EXPECT_TRUE(has("Grace"));
  EXPECT_TRUE(has("Image 1 - M31.FIT"));
  EXPECT_TRUE(has("Image Width: 192 Pixels,  Height: 128 Pixels"));
  // 192 x 128 at 300 dpi from 96: 600 x 400, centred on the 2400-wide page.
  EXPECT_EQ(w.PrintRect[0], 900);
  EXPECT_EQ(w.PrintRect[2], 600);
  EXPECT_EQ(w.PrintRect[3], 400);
  EXPECT_TRUE(has("image 192x128 at 900"));
  kit.printHeader.exerciseSession = false;
  EXPECT_EQ(w.PrintJobTitle(), "VESK CCD Astrometry Module");

  // A solved plate prints the field's scale and the target.
  w.PlateSoln.Solved = true;
  w.PlateSoln.Model = SolutionCode::Linear;
  w.PlateSoln.Work[400] = 1e-5L;
  w.PlateSoln.Work[404] = 1e-5L;
  w.FieldCenter.RA = 12.5L;
  w.FieldCenter.Dec = -5.25L;
  w.TargetLocated = true;
  w.Target.Mag = 14.237L;
  w.Target.MagResid = 0.03L;
  kit.platform.printedPages.clear();
  ASSERT_TRUE(w.PrintDocument());
  const auto& solved = kit.platform.printedPages[0].ops;
  auto hasSolved = [&](const std::string& s) {
    for (const auto& o : solved)
      if (o.find(s) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(hasSolved("Field - Scale: 2.0626 \"/pixel,  Width: 6.60',  Height: 4.40'"));
  EXPECT_TRUE(hasSolved("Field Center  - RA:"));
  EXPECT_TRUE(hasSolved("Target Magnitude: 14.24"));
}

TEST(ImageWindow, CloseNeedsPermission) {
  WindowKit kit;
  kit.Load(Noisy(32, 32, 1));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  w.FormShow();
  EXPECT_TRUE(ImageShown[0]);
  w.CloseAllowed = false;
  w.Close1Click();
  EXPECT_EQ(kit.platform.beeps().back(), Sound::Exclamation);
  EXPECT_TRUE(w.Visible);
  w.CloseAllowed = true;
  w.Close1Click();
  EXPECT_FALSE(w.Visible);
  EXPECT_FALSE(ImageShown[0]);
  EXPECT_EQ(kit.busySlots, std::vector<int>{-1});
}

}  // namespace
}  // namespace hv

namespace hv {
namespace {

TEST(ImageWindow, ColoursAreConvertedFromBlueGreenRed) {
  EXPECT_EQ(MarkColour::Red, 0xFF0000u);   // $0000FF
  EXPECT_EQ(MarkColour::Blue, 0x0000FFu);  // $FF0000
  EXPECT_EQ(MarkColour::Yellow, 0xFFFF00u);
  EXPECT_EQ(MarkColour::Aqua, 0x00FFFFu);
  EXPECT_EQ(MarkColour::Fuchsia, 0xFF00FFu);
}

TEST(ImageWindow, FlatAndOnePixelImagesRenderWithoutDividing) {
  for (int side : {1, 16}) {
    WindowKit kit;
    kit.Load(StarGrid(side, side, 500));
    TImageForm1& w = kit.Window();
    w.AttachImage(0);
    EXPECT_EQ(w.DisplaySpan, 0) << side;
    EXPECT_EQ(w.Bitmap.At(0, 0), 64) << side;
    RecordingCanvas c;
    w.FormPaint(c);
    EXPECT_TRUE(c.Has("text 0,0")) << side;
  }
}

TEST(ImageWindow, MagnifierTakesTheFlipsOfTheWindowItShows) {
  WindowKit kit;
  kit.Load(Noisy(64, 64, 2), 0);
  kit.Load(Noisy(64, 64, 3), 1);
  TImageForm1& shown = kit.Window(0);
  TImageForm1& other = kit.Window(1);
  shown.AttachImage(0);
  other.AttachImage(1);
  other.DispParms->FlipX = true;  // rendered last: the global record is this one
  other.RenderImage(false);
  CursorWindow->SetSource(&shown);
  CursorWindow->ShowRegion("", 20, 20);
  EXPECT_EQ(CursorWindow->CrossX, 76) << "the shown window is not flipped";
  shown.DispParms->FlipX = true;
  CursorWindow->ShowRegion("", 20, 20);
  EXPECT_EQ(CursorWindow->CrossX, 73);  // round(151 x 14.5 / 30), half a pixel left
  EXPECT_EQ(CursorWindow->CrossY, 76);
}

}  // namespace
}  // namespace hv

namespace hv {
namespace {

TEST(ImageWindow, AdjustLoopRendersAfterApplyAndCancelUndoes) {
  WindowKit kit;
  kit.Load(Noisy(64, 64, 8));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  const DispParmsRec atOpen = *w.DispParms;
  const auto generation = w.Bitmap.Generation;
  const auto colours = w.Bitmap.Colours;
  const std::int32_t low = kit.files[0]->ImageInfo.DisplayLow;
  kit.platform.expectDialog("TImgAdjstDlg", [&](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    EXPECT_TRUE(d.ImageMode);
    EXPECT_TRUE(d.SaveChkEnabled);
    EXPECT_FALSE(d.BkgrndGrpEnabled) << "FITS images take the statistical range";
    d.BriteScrollChange(40);
    EXPECT_NE(w.Bitmap.Colours, colours) << "the palette follows at once";
    EXPECT_EQ(w.Bitmap.Generation, generation) << "without a render";
    d.BkgrndScrollChange(4);
    EXPECT_TRUE(d.ApplyBtnEnabled);
    return d.ApplyBtnClick();
  });
  kit.platform.expectDialog("TImgAdjstDlg", [&](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    EXPECT_GT(w.Bitmap.Generation, generation) << "Apply rendered the new range";
    EXPECT_GT(kit.files[0]->ImageInfo.DisplayLow, low);
    EXPECT_FALSE(d.ApplyBtnEnabled);
    return d.CnclBtn1Click();
  });
  w.AdjustImage1Click();
  EXPECT_EQ(*w.DispParms, atOpen);
  EXPECT_EQ(kit.files[0]->ImageInfo.DisplayLow, low) << "cancel rendered the old range again";
  EXPECT_EQ(w.Bitmap.Colours, colours);
}

TEST(ImageWindow, AdjustOkCanSaveTheDefaults) {
  WindowKit kit;
  kit.Load(Noisy(32, 32, 8));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  kit.platform.expectDialog("TImgAdjstDlg", [&](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    d.CntrstScrollChange(-20);
    d.SaveChkClick(true);
    return d.OkBtn1Click();
  });
  w.AdjustImage1Click();
  EXPECT_EQ(kit.optionsChanged, 1);
  EXPECT_EQ(kit.settings.DisplayDefaults.Contrast, -10);
  EXPECT_TRUE(kit.settings.DisplayDefaults.DefaultOn);
}

TEST(ImageWindow, ReferencePredictedFarOffTheImageIsAskedAboutAndPainted) {
  // Nearly collinear marks can predict a position far outside the image.
  WindowKit kit;
  kit.settings.ReadSky = true;  // the threshold's ring is formed there too
  kit.Load(Noisy(128, 128, 9));
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  RefStarRec far;
  far.Number = 4;
  far.ImageX = 3e9L;
  far.ImageY = -3e9L;
  w.RefList.InsertAfter(far);
  // The ring there is empty: the measuring failure is told at each try.
  kit.platform.expectMessage(ModalResult::OK, "Measurement Failed!");
  long double cx = 0, cy = 0;
  EXPECT_FALSE(w.FindCentroid(INT32_MAX, INT32_MIN, w.SizeDlg, cx, cy));
  EXPECT_EQ(cx, INT32_MAX);
  kit.platform.expectMessage(ModalResult::OK, "Measurement Failed!");
  kit.platform.expectMessage(
      ModalResult::No, "Invalid Reference Star",
      "Unable to Determine Centroid for Reference Star #4!\n\nRemove Reference?");
  w.CentroidRefStars();
  EXPECT_FALSE(w.RefsLocated);
  kit.guideRefNum = 5;
  RecordingCanvas c;
  w.FormPaint(c);  // drawn off the client, without overflow
  EXPECT_TRUE(c.Has("frame 16777206,-16777226,16777226,-16777206"));
}

}  // namespace
}  // namespace hv
