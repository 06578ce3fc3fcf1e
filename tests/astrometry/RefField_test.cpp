#include "astrometry/RefField.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/Options.h"
#include "astrometry/AstromObs.h"
#include "images/ImageDialogs.h"
#include "support/Rounding.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

using test::Scripted;

// ---------------------------------------------------------------- stamps

TEST(StarKernel, ValuesAlongAnAxisFromTheCentre) {
  const int want[] = {10000, 8411, 5006, 2107, 628, 132, 20, 2, 0, 0, 0};
  for (int d = 0; d <= 10; ++d) {
    SCOPED_TRACE("distance " + std::to_string(d));
    EXPECT_EQ(StarKernel[10][static_cast<std::size_t>(10 + d)], want[d]);
    EXPECT_EQ(StarKernel[static_cast<std::size_t>(10 - d)][10], want[d]);
  }
  EXPECT_EQ(StarKernel[0][0], 0);
}

TEST(StarStamps, CentresAndDrawnPixelsPerLevel) {
  const StampSetRec set = BuildStamps(7);
  EXPECT_EQ(set.ZeroPoint, 7);
  EXPECT_FALSE(set.Truncate);
  const int centres[] = {255, 255, 255, 255, 255, 255, 255, 255, 168, 101, 60};
  for (int level = 0; level < StampLevels; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const StampRec& s = set.Stamps[static_cast<std::size_t>(level)];
    EXPECT_EQ(s.Grey[10][10], centres[level]);
    EXPECT_EQ(s.Half, 11);
  }
  auto drawn = [&](int level) {
    int n = 0;
    for (auto& row : set.Stamps[static_cast<std::size_t>(level)].Grey)
      for (auto v : row) n += v >= 30;
    return n;
  };
  EXPECT_EQ(drawn(0), 101);
  EXPECT_EQ(drawn(10), 13);
}

TEST(StarStamps, LevelIsRoundedMagnitudeLessZeroPointClamped) {
  const StampSetRec set = BuildStamps(7);
  struct Row {
    const char* name;
    long double mag;
    int level;
  } rows[] = {{"faintest 16.4", 16.4L, 9},
              {"12.6 rounds up", 12.6L, 6},
              {"bright clamps", 6.2L, 0},
              {"faint clamps", 19.0L, 10},
              {"half to even", 12.5L, 5}};
  for (const Row& r : rows) EXPECT_EQ(StampLevel(set, r.mag), r.level) << r.name;
}

TEST(StarStamps, OverlapKeepsTheBrighterGreyAndACircleBlanksInside) {
  DisplayBitmap b;
  b.Width = b.Height = 40;
  b.RowBytes = PaddedRowBytes(40);
  b.Pixels.assign(static_cast<std::size_t>(b.RowBytes) * 40, 0);
  b.Colours = FieldPalette(false);
  const StampSetRec set = BuildStamps(0);
  DrawStamp(b, set.Stamps[0], 18, 20);
  DrawStamp(b, set.Stamps[9], 21, 20);  // fainter, 3 pixels to the right
  // Left of both centres the bright star wins; at the faint centre too.
  EXPECT_EQ(b.At(18, 20), 255);
  EXPECT_EQ(b.At(21, 20), std::max<int>(set.Stamps[0].Grey[13][10], 101));
  // A stamp near the edge is cut, not wrapped.
  DrawStamp(b, set.Stamps[0], 0, 0);
  EXPECT_EQ(b.At(0, 0), 255);
  DrawObjectCircle(b, 18, 20);
  EXPECT_EQ(b.At(18, 20), 0) << "inside the circle";
  EXPECT_EQ(b.At(24, 20), 255) << "its white rim";
}

// ---------------------------------------------------------------- projection

TEST(FieldProjection, Cases) {
  struct Row {
    const char* name;
    int w, h;
    long double ra0, dec0, size, ra, dec, x, y;
  } rows[] = {
      {"centre of a wide frame", 600, 400, 5.0L, 20.0L, 10.0L, 5.0L, 20.0L, 300, 200},
      {"0.1 deg north, 512 square, 15'", 512, 512, 3.0L, 0.0L, 15.0L, 3.0L, 0.1L, 256,
       256 - 204.8L},
      {"north on a 600 x 300 frame uses H", 600, 300, 3.0L, 0.0L, 15.0L, 3.0L, 0.1L, 300,
       150 - 120.0L},
      {"across 0 h lies west (right)", 512, 512, 0.5L, 0.0L, 15.0L * 60, 23.5L, 0.0L,
       256 + 512 * 900 / (15.0L * 60), 256},
      {"east is left, W scale", 600, 300, 6.0L, 0.0L, 15.0L, 6.001L, 0.0L,
       300 - 600 * 900 / 15.0L * 0.001L, 150},
      {"a field of size 0 puts all at the centre", 512, 300, 1.0L, 1.0L, 0.0L, 1.2L, 1.5L, 256,
       150},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const FieldProjRec p = InitProjection(r.w, r.h, r.ra0, r.dec0, r.size);
    EXPECT_NEAR(static_cast<double>(ProjectX(p, r.ra, r.dec)), static_cast<double>(r.x), 1e-6);
    EXPECT_NEAR(static_cast<double>(ProjectY(p, r.dec)), static_cast<double>(r.y), 1e-6);
  }
  const FieldProjRec p = InitProjection(1024, 512, 0, 0, 15);
  EXPECT_EQ(p.XScale, 1024 * 900 / 15.0L);
  EXPECT_EQ(p.YScale, 512 * 60 / 15.0L);
}

TEST(FieldProjection, CosineOfTheStarsOwnDeclination) {
  const FieldProjRec p = InitProjection(512, 512, 10, 60, 30);
  const long double x = ProjectX(p, 10 - 0.01L, 60.2L);
  EXPECT_NEAR(
      static_cast<double>(x - 256),
      static_cast<double>(std::cos(60.2L * 3.14159265358979323846L / 180) * p.XScale * 0.01L),
      1e-9);
}

// ---------------------------------------------------------------- the window

class RefKit : public ImageWindowHost, public RefFieldHost {
 public:
  RefKit() {
    settings.WorkFolder = test::FreshFolder("ref");
    BoxParms = settings.BoxParms;
    CreateImageDialogs();
    GSCField = std::make_unique<GSCFieldObj>(platform, settings);
    CurFldParms = FldParmsRec{};
    CurFldParms.RACenter = 6.0L;
    CurFldParms.DecCenter = 0.0L;
    CurFldParms.FieldSize = 15.0f;
    ResetChartOptions();
  }
  ~RefKit() override {
    window.reset();
    GSCField.reset();
    FreeImageDialogs();
  }

  // A star dx, dy field pixels from the centre of a 512 x 512 chart of
  // 15' (2048 pixels per degree, 30720 per hour at the equator).
  CatStarRec& Add(std::string name, long double dx, long double dy, float mag, int cls = 0) {
    CatStarRec s;
    s.Name = std::move(name);
    s.RA = CurFldParms.RACenter - dx / 30720.0L;
    s.Dec = CurFldParms.DecCenter - dy / 2048.0L;
    s.Mag = mag;
    s.Class = static_cast<std::uint8_t>(cls);
    s.UsePos = s.UseMag = true;
    CatStarRec* p = GSCField->Stars.InsertSorted(s);
    if (cls == 0) {
      ++GSCField->NumStars;
      GSCField->MinMag = std::min(GSCField->MinMag, mag);
      GSCField->MaxMag = std::max(GSCField->MaxMag, mag);
    }
    return *p;
  }

  TGSCForm1& Chart() {
    window = std::make_unique<TGSCForm1>(platform, *this, *this);
    window->ChartMode = 1;
    window->InitField();
    window->MeasureMode = true;
    return *window;
  }
  TGSCForm1& Measuring() {
    window = std::make_unique<TGSCForm1>(platform, *this, *this);
    window->ChartMode = 0;
    window->InitField();
    window->MeasureMode = true;
    return *window;
  }

  // The Reference Star dialog answers with the given button.
  void ExpectRefDialog(ModalResult button, std::function<void(TRefInfoForm1&)> edit = {}) {
    platform.expectDialog("TRefInfoForm1", [button, edit](DialogModel& m) {
      auto& d = static_cast<TRefInfoForm1&>(m);
      d.FormActivate();
      if (edit) edit(d);
      if (button == ModalResult::OK) return d.OkBtnClick();
      if (button == ModalResult::No) return d.RmvBtnClick();
      return d.CnclBtnClick();
    });
  }
  // Picks at field pixel (fx, fy) of a scale-1 window with a mouse click.
  void Click(int x, int y) {
    window->FormMouseDown(MouseButton::Left, x, y);
    window->FormMouseUp(MouseButton::Left, x, y);
  }

  // ImageWindowHost
  const OptsRec& Settings() const override { return settings; }
  OptsRec& MutableSettings() override { return settings; }
  void OptionsChanged() override {}
  GraphicsFileObj* ImageFile(int) override { return nullptr; }
  bool& ZoomHintDue() override { return zoomHint; }
  int ScreenWidth() const override { return screenWidth; }
  // RefFieldHost
  TImageForm1* MeasuredWindow() override { return measured; }
  bool LoadReferenceField(double t) override {
    ++loads;
    return loadResult;
  }
  void RestartGuide() override { ++guideRestarts; }
  void BeginGuideSelection() override { ++guideSelections; }
  AstromObsObj* Report() override { return report; }

  Scripted platform;
  OptsRec settings;
  bool zoomHint = true;
  int screenWidth = 1024;
  TImageForm1* measured = nullptr;
  AstromObsObj* report = nullptr;
  int loads = 0, guideRestarts = 0, guideSelections = 0;
  bool loadResult = true;
  std::unique_ptr<TGSCForm1> window;
};

TEST(RefWindow, ChartIsASquareOfHalfTheScreenInvertedWithStarsPlaced) {
  RefKit k;
  k.Add("bright", 0, -100, 10.0f);
  k.Add("faint", 50, 0, 16.4f);
  TGSCForm1& w = k.Chart();
  EXPECT_EQ(w.ClientWidth, 512);
  EXPECT_EQ(w.ClientHeight, 512);
  EXPECT_EQ(w.SizeDlg.Scale, 1.0L);
  EXPECT_TRUE(w.Inverted);
  EXPECT_EQ(w.ZeroPoint, 7) << "round(16.4 - 9)";
  const CatStarRec* bright = w.PickedStar;
  EXPECT_EQ(bright, nullptr);
  for (const CatStarRec& s : GSCField->Stars) {
    if (s.Name == "bright") {
      EXPECT_EQ(s.ScreenX, 256);
      EXPECT_EQ(s.ScreenY, 156);
      EXPECT_EQ(s.StampLevel, 3);
      // Black on white: the star's centre is dark.
      EXPECT_EQ(w.PictureRed(256, 156), 0);
    } else {
      EXPECT_EQ(s.ScreenX, 306);
      EXPECT_EQ(s.StampLevel, 9);
    }
  }
  EXPECT_EQ(w.PictureRed(10, 10), 255) << "inverted background";
  EXPECT_FALSE(w.RefMenus.PopupRefStarsEnabled);
  EXPECT_FALSE(w.RefMenus.MainRefStarsEnabled) << "the main menu follows the popup in chart mode";
}

TEST(RefWindow, EmptyFieldWarnsAndLeavesAnEmptyPicture) {
  RefKit k;
  // The query's magnitude range (an online query starts it at 25 .. -2).
  GSCField->MinMag = 25;
  GSCField->MaxMag = 16.4f;
  k.platform.expectMessage(ModalResult::OK, {}, TGSCForm1::NoStarsText);
  TGSCForm1& w = k.Chart();
  EXPECT_TRUE(k.platform.allAnswered());
  EXPECT_EQ(w.PictureRed(256, 256), 255);  // inverted black
  // The rest of the build still runs: projection, zero point, stamps.
  EXPECT_EQ(w.Proj.X0, 256);
  EXPECT_EQ(w.ZeroPoint, 7);
  EXPECT_EQ(w.Stamps.ZeroPoint, 7);
  EXPECT_EQ(w.InfoLines().back(), "Star Image Zero Point (Magnitude): 7");
}

TEST(RefWindow, PickingNearestStarWithinHundredPixels) {
  struct Row {
    const char* name;
    int x, y;
    const char* picked;  // nullptr: nothing
  } rows[] = {
      {"99 pixels from the only star", 256 + 99, 256, "A"},
      {"exactly 100 pixels", 256 + 100, 256, nullptr},
      {"equal distances: the first in the list", 256, 256 + 50, "A"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    RefKit k;
    k.Add("A", 0, 0, 12.0f);
    if (std::string(r.name).find("equal") != std::string::npos) k.Add("B", 0, 100, 12.0f);
    TGSCForm1& w = k.Measuring();
    if (r.picked) k.ExpectRefDialog(ModalResult::Cancel);
    k.Click(r.x, r.y);
    EXPECT_TRUE(k.platform.allAnswered());
    if (r.picked) {
      ASSERT_NE(w.PickedStar, nullptr);
      EXPECT_EQ(w.PickedStar->Name, r.picked);
    } else {
      EXPECT_EQ(w.PickedStar, nullptr);
    }
    EXPECT_EQ(w.RefCount(), 0) << "Cancel adds nothing";
  }
}

TEST(RefWindow, NoPickWithoutPickMode) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  TGSCForm1& w = k.Measuring();
  w.MeasureMode = false;
  k.Click(256, 256);
  EXPECT_EQ(w.PickedStar, nullptr);
}

TEST(RefWindow, AddUpdateRemoveKeepNumbersAndStatus) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  k.Add("B", 200, 0, 12.0f);
  TGSCForm1& w = k.Measuring();
  k.ExpectRefDialog(ModalResult::OK);
  k.Click(256, 256);
  k.ExpectRefDialog(ModalResult::OK, [](TRefInfoForm1& d) {
    EXPECT_FALSE(d.RmvEnabled);
    EXPECT_TRUE(d.CnclEnabled);
    EXPECT_EQ(d.Caption, "Reference Star");
    EXPECT_EQ(d.CatEd, "STSI Guide Star Catalog");
    d.UsePosChk = false;  // only the magnitude
    d.UsePosChkClick();
    EXPECT_FALSE(d.UsePosGreen);
  });
  k.Click(456, 256);
  ASSERT_EQ(w.RefCount(), 2);
  EXPECT_EQ(w.RefStars.Item(0)->Number, 1);
  EXPECT_EQ(w.RefStars.Item(1)->Number, 2);
  EXPECT_EQ(w.RefStars.Item(1)->Status, 1);
  // Picked again, the star remembers the choice and Remove is offered.
  k.ExpectRefDialog(ModalResult::No, [](TRefInfoForm1& d) {
    EXPECT_TRUE(d.RmvEnabled);
    EXPECT_FALSE(d.UsePosChk);
  });
  k.Click(456, 256);
  EXPECT_EQ(w.RefCount(), 1);
  k.ExpectRefDialog(ModalResult::OK);
  k.Click(456, 256);
  EXPECT_EQ(w.RefStars.Item(1)->Number, 3) << "numbers are never reused";
}

TEST(RefWindow, NonStellarObjectIsTakenAsTheStudentChose) {
  RefKit k;
  k.Add("galaxy", 0, 0, 11.0f, 3);
  k.Add("star", 300, 300, 12.0f);
  TGSCForm1& w = k.Measuring();
  for (const CatStarRec& s : GSCField->Stars)
    if (s.Name == "galaxy") {
      EXPECT_EQ(s.StampLevel, 99);
    }
  k.ExpectRefDialog(ModalResult::OK, [](TRefInfoForm1& d) {
    EXPECT_EQ(d.Caption, "Non-Stellar Object");
    EXPECT_TRUE(d.IdFuchsia);
    EXPECT_TRUE(d.ChecksVisible);
    d.UseMagChk = false;
  });
  k.Click(256, 256);
  ASSERT_EQ(w.RefCount(), 1);
  EXPECT_EQ(w.RefStars.Item(0)->Name, "galaxy");
  EXPECT_TRUE(w.RefStars.Item(0)->UsePos);
  EXPECT_FALSE(w.RefStars.Item(0)->UseMag);
}

TEST(RefWindow, TheHundredAndFirstReferenceIsRefused) {
  RefKit k;
  for (int i = 0; i < 101; ++i)
    k.Add("S" + std::to_string(i), (i % 11) * 40 - 200, (i / 11) * 40 - 200, 12.0f);
  TGSCForm1& w = k.Measuring();
  auto clickStar = [&](int i) { k.Click(256 + (i % 11) * 40 - 200, 256 + (i / 11) * 40 - 200); };
  for (int i = 0; i < 100; ++i) {
    k.ExpectRefDialog(ModalResult::OK);
    clickStar(i);
  }
  ASSERT_EQ(w.RefCount(), 100);
  k.ExpectRefDialog(ModalResult::OK);
  k.platform.expectMessage(ModalResult::OK, TGSCForm1::MaxRefCaption,
                           "A maximum of 100 active Reference Stars are allowed!");
  clickStar(100);
  EXPECT_EQ(w.RefCount(), 100);
  k.ExpectRefDialog(ModalResult::No);
  clickStar(0);
  k.ExpectRefDialog(ModalResult::OK);
  clickStar(100);
  EXPECT_EQ(w.RefCount(), 100);
  EXPECT_EQ(w.RefStars.Item(99)->Number, 101);
}

TEST(RefWindow, CountFollowsTheListWhenAReferenceIsDroppedElsewhere) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  TGSCForm1& w = k.Measuring();
  k.ExpectRefDialog(ModalResult::OK);
  k.Click(256, 256);
  ASSERT_EQ(w.RefCount(), 1);
  // What re-centroiding does to an unfound reference.
  ASSERT_TRUE(w.RefStars.Item(0));
  w.RefStars.DeleteCurrent();
  EXPECT_EQ(w.RefCount(), 0);
}

TEST(RefWindow, DisplayAdjustmentValidatesTheZeroPointFirst) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  TGSCForm1& w = k.Measuring();
  ASSERT_FALSE(w.Inverted);
  const int zero = w.ZeroPoint;
  const auto generation = w.Bitmap.Generation;
  // Not an integer: an error, the dialog stays, nothing stored.
  k.platform.expectDialog("TGSCAdjstForm1", [&](DialogModel& m) {
    auto& d = static_cast<TGSCAdjstForm1&>(m);
    d.FormActivate();
    d.InvrtCkBox = true;
    d.ZeroEdit = "7.5";
    k.platform.expectMessage(ModalResult::OK, {}, "'7.5' is not a valid integer value");
    EXPECT_EQ(d.OKBtnClick(), ModalResult::None);
    EXPECT_FALSE(w.Inverted);
    EXPECT_EQ(w.ZeroPoint, zero);
    return ModalResult::Cancel;
  });
  w.AdjustDisplay2Click();
  EXPECT_FALSE(w.Inverted);
  EXPECT_EQ(w.PictureRed(10, 10), 0);
  // Only the inversion: the same picture, inverted.
  k.platform.expectDialog("TGSCAdjstForm1", [](DialogModel& m) {
    auto& d = static_cast<TGSCAdjstForm1&>(m);
    d.FormActivate();
    d.InvrtCkBox = true;
    return d.OKBtnClick();
  });
  w.AdjustDisplay2Click();
  EXPECT_TRUE(w.Inverted);
  EXPECT_EQ(w.Bitmap.Generation, generation) << "not rebuilt";
  EXPECT_EQ(w.PictureRed(10, 10), 255);
  // A new zero point rebuilds (and keeps the inversion).
  k.platform.expectDialog("TGSCAdjstForm1", [](DialogModel& m) {
    auto& d = static_cast<TGSCAdjstForm1&>(m);
    d.FormActivate();
    d.ZeroEdit = "1";
    return d.OKBtnClick();
  });
  w.AdjustDisplay2Click();
  EXPECT_EQ(w.ZeroPoint, 1);
  EXPECT_NE(w.Bitmap.Generation, generation);
  EXPECT_EQ(w.PictureRed(10, 10), 255);
}

TEST(RefWindow, ResizeKeepsPictureMarksAndPicksInStep) {
  RefKit k;
  k.Add("A", 100, 50, 12.0f);
  TImageForm1 image(k.platform, k);
  image.SizeDlg.SetImageSize(765, 510, 1024);  // an image wider than half the screen
  k.measured = &image;
  TGSCForm1& w = k.Measuring();
  const CatStarRec& star = *GSCField->Stars.Item(0);
  const int pictureX = star.ScreenX, pictureY = star.ScreenY;
  k.platform.expectDialog("TImgSizeDlg", [](DialogModel& m) {
    auto& d = static_cast<TImgSizeDlg&>(m);
    d.FormActivate();
    d.WdthScrollChange(300);
    return d.OkBtn1Click();
  });
  w.ResizeWindow2Click();
  ASSERT_EQ(w.ClientWidth, 300);
  // Where the stretched picture shows the star.
  const long double k2 = 300.0L / w.Bitmap.Width;
  const long double shownX = pictureX * k2, shownY = pictureY * k2;
  EXPECT_NEAR(static_cast<double>(w.SizeDlg.ImageToScreen(star.FieldX)),
              static_cast<double>(shownX), 1.0);
  EXPECT_NEAR(static_cast<double>(w.SizeDlg.ImageToScreen(star.FieldY)),
              static_cast<double>(shownY), 1.0);
  // A click there picks it.
  k.ExpectRefDialog(ModalResult::Cancel);
  k.Click(RoundToInt32(shownX), RoundToInt32(shownY));
  ASSERT_NE(w.PickedStar, nullptr);
  EXPECT_EQ(w.PickedStar->Name, "A");
}

TEST(RefWindow, InformationListNamesTheFieldsCatalogAndAFixedFallbackName) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  k.Add("G", 30, 0, 13.0f, 3);
  TGSCForm1& w = k.Chart();
  k.settings.StarCatalog = CatalogCode::NOMAD;  // changed after the field was loaded
  const auto lines = w.InfoLines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Catalog - STSI Guide Star Catalog");
  EXPECT_EQ(lines[2], "Field Size: 15.0 Arc Minutes");
  EXPECT_EQ(lines[3], "Stars Found: 1");
  EXPECT_EQ(lines[4], "Magnitude of Brightest: 12.00,  Faintest: 12.00");
  EXPECT_EQ(lines[5], "Non-Stellar Objects: 1");
  EXPECT_EQ(lines[6], "Star Image Zero Point (Magnitude): 3");
  EXPECT_EQ(w.ColorSelText(), "");
}

TEST(RefWindow, CommandsOfTheMenus) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  TGSCForm1& w = k.Measuring();
  w.MeasureMode = false;
  w.FormShow();
  EXPECT_TRUE(w.RefMenus.PopupAddRemoveEnabled);
  w.AddRemove1Click();
  EXPECT_TRUE(w.PickMode());
  EXPECT_FALSE(w.RefMenus.PopupAddRemoveEnabled);
  EXPECT_EQ(k.guideRestarts, 1);
  w.FullQuadratic1Click();
  EXPECT_EQ(k.settings.SolutionOrder, SolutionCode::Quadratic);
  EXPECT_EQ(w.RefMenus.SolutionOrder, 2);
  EXPECT_EQ(k.guideSelections, 1);
  // Region parameters in chart mode: asked again, drawn again, no guide.
  TGSCForm1& c = k.Chart();
  c.Parameters1Click();
  EXPECT_EQ(k.loads, 1);
  EXPECT_EQ(k.guideRestarts, 1);
  EXPECT_TRUE(c.PickMode());
  // Closing does not touch an image slot.
  ImageShown[0] = true;
  c.FormClose();
  EXPECT_TRUE(ImageShown[0]);
  EXPECT_FALSE(c.Visible);
}

TEST(RefWindow, InformationListOfAChartHasAFixedName) {
  struct Lists : ListHost {
    std::filesystem::path ReportFolder() const override { return {}; }
    PrintHeader ListPrintHeader() const override { return {}; }
    bool EditReportHeader(HeaderRecord) override { return false; }
  };
  struct Kit : RefKit {
    Lists lists;
    int shown = 0;
    void ShowList(InfoListModel&) override { ++shown; }
    ListHost* ListWindowHost() override { return &lists; }
  } k;
  k.Add("A", 0, 0, 12.0f);
  TGSCForm1& w = k.Chart();
  w.Image21Click();
  ASSERT_TRUE(w.InfoList);
  EXPECT_EQ(w.InfoList->Caption, "Reference Field Image Data");
  EXPECT_EQ(w.InfoList->SavedFileName, TGSCForm1::DefaultInfoListName);
  EXPECT_EQ(w.InfoList->SaveFilterIndex, 5);
  EXPECT_EQ(w.InfoList->Lines().size(), 7u);
  EXPECT_EQ(k.shown, 1);
}

TEST(RefWindow, PrintAddsTheFieldLinesCompassLettersAndFrame) {
  RefKit k;
  k.Add("A", 0, 0, 12.0f);
  GSCField->Title = "STSI Guide Star Catalog";
  TGSCForm1& w = k.Chart();
  ASSERT_TRUE(w.PrintDocument());
  ASSERT_EQ(k.platform.printedPages.size(), 1u);
  const auto& ops = k.platform.printedPages[0].ops;
  auto has = [&](const std::string& part) {
    for (const auto& o : ops)
      if (o.find(part) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has("Reference Stars"));
  EXPECT_TRUE(has("Field Center - RA:   6h 00m 00.00s,   Dec:   0\xB0 00' 00.0\""));
  EXPECT_TRUE(has("Field Size: 15.0 Arc Minutes"));
  EXPECT_TRUE(has("Data Source: STSI Guide Star Catalog"));
  EXPECT_TRUE(has("Magnitude of Faintest Star:  12.0"));
  EXPECT_TRUE(has("font MS Sans Serif 14 bold"));
  EXPECT_TRUE(has("pen 2"));
  EXPECT_EQ(ops.back().rfind("font Courier 10", 0), 0u) << ops.back();
  int letters = 0;
  for (const auto& o : ops)
    if (o.size() >= 2 && (o.substr(o.size() - 2) == " N" || o.substr(o.size() - 2) == " E"))
      ++letters;
  EXPECT_EQ(letters, 2);
}

}  // namespace
}  // namespace hv
