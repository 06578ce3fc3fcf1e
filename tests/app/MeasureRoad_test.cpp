// A student's whole road on the shipped sample images, through the session
// and the scripted platform: log in, load the four images, measure the
// asteroid on each of the four images, and read the report.
#include <gtest/gtest.h>

#include <charconv>

#include "app/Session.h"
#include "app/Startup.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCRegions.h"
#include "images/BoxParmsDlg.h"
#include "images/ImageDialogs.h"
#include "images/MagnifyDlg.h"
#include "support/Files.h"
#include "tests/app/SampleField.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::SampleStar;

std::string ReadTextOf(const fs::path& p) {
  auto b = ReadWholeFile(p);
  return std::string(b.begin(), b.end());
}

class MeasureRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    fs::current_path(data);
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
    p.clock = {2026, 3, 7, 9, 5, 3, 0, 60};
    test::ShipCatalog(prog);
    s = std::make_unique<BendulakSession>(p);
    Bendulak = s.get();
    s->Services.ShowGuide = [this] { ++guideShown; };
    StartupFacts f;
    f.currentFolder = data;
    FormCreate(*s, f, {});
    BoxParms = s->Settings.BoxParms;
    CreateImageDialogs();
    CreateCatalogObjects(p, s->Settings);
    stars = test::ReadSampleStars();
    truth = test::ReadTruth();
  }
  void TearDown() override {
    s.reset();
    FreeCatalogObjects();
    FreeImageDialogs();
    Bendulak = nullptr;
    LoginToFill = nullptr;
  }

  TImageForm1& Window(int slot) { return *s->ImageWindows[static_cast<std::size_t>(slot)]; }
  const FITSFileObj& File(int slot) {
    return static_cast<const FITSFileObj&>(*s->ImageFiles[static_cast<std::size_t>(slot)]);
  }
  void ClickOn(TImageForm1& w, int cx, int cy) {
    w.FormMouseDown(MouseButton::Left, cx, cy);
    w.FormMouseUp(MouseButton::Left, cx, cy);
  }
  void ClickAt(int slot, long double ra, long double dec) {
    long double x, y;
    test::OnImage(File(slot), ra, dec, x, y);
    int cx, cy;
    test::ClientOf(Window(slot), x, y, cx, cy);
    ClickOn(Window(slot), cx, cy);
  }

  // Measures the asteroid on one image as the guide leads; refs are picked
  // on the reference window when it has none yet.
  void Measure(int slot, const std::vector<SampleStar>& refs) {
    MeasureToSolution(slot, refs);
    if (HasFatalFailure()) return;
    RecordAndClose(slot);
  }

  // The measure command up to the solution shown (step 5).
  void MeasureToSolution(int slot, const std::vector<SampleStar>& refs) {
    SlctRefModel& g = s->SlctRefForm1;
    p.expectDialog("TObsParmsDlg", [&](DialogModel& m) {
      auto& d = static_cast<ObsParmsDlgModel&>(m);
      EXPECT_EQ(d.CaptionText, "Verify/Complete");
      d.FormActivate();
      d.NameText = "Sample Asteroid";
      return d.OKBtnClick();
    });
    if (s->RefFieldStale) test::ExpectFieldDialog(p);
    s->MeasImgClick(slot + 1);
    ASSERT_TRUE(s->Menu["MeasImg" + std::to_string(slot + 1)].checked);
    ASSERT_TRUE(g.Visible);
    ASSERT_EQ(g.Step, 0);
    ASSERT_TRUE(s->GSCForm1);
    TGSCForm1& field = *s->GSCForm1;
    EXPECT_TRUE(field.Visible);
    EXPECT_TRUE(field.MeasureMode) << "picking on the reference window";
    if (field.RefStars.IsEmpty()) {
      for (const SampleStar& r : refs) test::PickOnField(p, field, r);
    }
    ASSERT_EQ(field.RefStars.Count(), static_cast<int>(refs.size()));
    g.OkBtnClick();
    ASSERT_EQ(g.Step, 2);
    // Each reference where the guide asks for it, OK after each.
    for (int i = 0; i < static_cast<int>(refs.size()) && g.Step == 2; ++i) {
      const RefStarRec* r = Window(slot).RefList.Item(g.RefNum - 1);
      ASSERT_NE(r, nullptr);
      ASSERT_EQ(r->Number, g.NextNumber);
      ClickAt(slot, r->CatRA, r->CatDec);
      ASSERT_TRUE(Window(slot).RefMarked) << "reference " << r->Number;
      g.OkBtnClick();
    }
    ASSERT_EQ(g.Step, 3);
    LocateTarget(slot);
  }

  // Step 3 on: the target, its sky, up to the solution shown.
  void LocateTarget(int slot) {
    SlctRefModel& g = s->SlctRefForm1;
    ASSERT_EQ(g.Step, 3);
    const test::Truth& t = truth[static_cast<std::size_t>(truthOf[static_cast<std::size_t>(slot)])];
    ClickAt(slot, t.ra, t.dec);
    ASSERT_TRUE(Window(slot).TargetLocated);
    // The student looks at the border between the two boxes around the
    // target: a star in it (21 pixels reach its corners) spoils the sky.
    long double tx, ty;
    test::OnImage(File(slot), t.ra, t.dec, tx, ty);
    std::vector<SampleStar> others;
    for (const SampleStar& st : stars) {
      long double x, y;
      test::OnImage(File(slot), st.ra, st.dec, x, y);
      if (std::hypot(x - tx, y - ty) > 1) others.push_back(st);
    }
    const bool clean = !test::StarNear(others, File(slot), tx, ty, 22);
    p.expectMessage(clean ? ModalResult::Yes : ModalResult::No, "Target Sky OK?");
    g.OkBtnClick();
    if (g.Step == 4) {
      // A starless area near the target.
      long double sx = tx, sy = ty;
      for (int k = 1; k < 40; ++k) {
        const long double a = k * 0.7L, r = 25 + k;
        sx = tx + r * std::cos(a);
        sy = ty + r * std::sin(a);
        if (!test::StarNear(stars, File(slot), sx, sy, 22)) break;
      }
      skyRead = true;
      int cx, cy;
      test::ClientOf(Window(slot), sx, sy, cx, cy);
      ClickOn(Window(slot), cx, cy);
      ASSERT_TRUE(Window(slot).SkyLocated);
      g.OkBtnClick();
    }
    ASSERT_EQ(g.Step, 5) << g.Caption;
    EXPECT_EQ(Window(slot).ReportWin->Caption,
              "Image " + std::to_string(slot + 1) + " - Astrometric Solution");
  }

  // Step 5: the solution accepted and recorded, then the windows closed.
  void RecordAndClose(int slot) {
    SlctRefModel& g = s->SlctRefForm1;
    TGSCForm1& field = *s->GSCForm1;
    p.expectMessage(ModalResult::Yes, "Add to Report?");
    p.expectMessage(ModalResult::OK, "Measurement Recorded",
                    "Measured Position of Sample Asteroid Placed in Report List.");
    g.OkBtnClick();
    ASSERT_EQ(g.Step, 6);
    g.OkBtnClick();
    EXPECT_FALSE(g.Visible);
    EXPECT_FALSE(Window(slot).Visible);
    EXPECT_FALSE(field.Visible);
    EXPECT_FALSE(s->SlotIsBusy[static_cast<std::size_t>(slot)]);
    p.verify();
  }

  void LogInAndLoad(int images) {
    test::ExpectStudentLogin(p);
    s->Login1Click();
    for (int n = 1; n <= images; ++n) {
      p.expectOpen(FileChoice{{test::SamplesDir() / ("FIELD" + std::to_string(n) + ".FIT")}, 1});
      s->LoadImgClick(n);
    }
  }
  // The go-back dialog answered with one of its buttons.
  void ExpectGoBack(int button) {
    p.expectDialog("TRefCnclForm1", [button](DialogModel& m) {
      static_cast<RefCnclModel&>(m).Checked = button;
      return ModalResult::OK;
    });
  }
  // The box dialog confirmed, with a new box width when given.
  void ExpectBoxDialog(int boxWidth = 0) {
    p.expectDialog("TBoxDlgForm1", [boxWidth](DialogModel& m) {
      auto& d = static_cast<TBoxDlgForm1&>(m);
      d.FormActivate();
      if (boxWidth) d.BoxWdEdChange(boxWidth);
      return d.OKBtnClick();
    });
  }
  std::vector<SampleStar> Refs(std::size_t count = 4) {
    return test::GoodReferences(stars, File(0), count);
  }

  static fs::path SamplesDirBin() { return test::SamplesDir().parent_path() / "bin"; }

  test::Scripted p;
  fs::path prog, data;
  std::unique_ptr<BendulakSession> s;
  int guideShown = 0;
  bool skyRead = false;
  // The sample image each slot holds (its line of the truth file).
  std::array<int, 4> truthOf{0, 1, 2, 3};
  std::vector<SampleStar> stars;
  std::vector<test::Truth> truth;
};

TEST_F(MeasureRoad, StudentMeasuresAllFourImages) {
  ASSERT_EQ(truth.size(), 4u) << "the sample tool writes the truth file beside the images";
  // Log in.
  test::ExpectStudentLogin(p, "12");
  s->Login1Click();
  ASSERT_TRUE(s->SessionStarted);
  // Load the four images.
  for (int n = 1; n <= 4; ++n) {
    p.expectOpen(FileChoice{{test::SamplesDir() / ("FIELD" + std::to_string(n) + ".FIT")}, 1});
    s->LoadImgClick(n);
    ASSERT_TRUE(s->ImageWindows[static_cast<std::size_t>(n - 1)]->ImageLoaded) << n;
  }
  p.verify();

  const std::vector<SampleStar> refs = test::GoodReferences(stars, File(0), 7);
  ASSERT_EQ(refs.size(), 7u);
  Measure(0, refs);
  if (HasFatalFailure()) return;
  EXPECT_FALSE(s->RefFieldStale);

  // Images 2 to 4 reuse the field: no field dialog (the scripted platform
  // would fail on one), the references kept.
  for (int slot = 1; slot <= 3; ++slot) {
    Measure(slot, refs);
    if (HasFatalFailure()) return;
  }

  // The report: four lines in time order, each near the truth.
  ASSERT_EQ(s->Report->Observations.Count(), 4);
  int i = 0;
  long double worst = 0;
  for (const ObsRec& o : s->Report->Observations) {
    const test::Truth& t = truth[static_cast<std::size_t>(i++)];
    const long double err = test::Separation(o.Target.RA, o.Target.Dec, t.ra, t.dec);
    worst = std::max(worst, err);
    EXPECT_LT(err, 0.5L) << t.file << ": " << FormatFixed(3, err) << "\" from the truth";
    EXPECT_NEAR(static_cast<double>(o.Target.Mag), static_cast<double>(t.mag), 0.2) << t.file;
    std::cout << "[ measured ] " << t.file << " position error " << FormatFixed(3, err)
              << "\", magnitude " << FormatFixed(2, o.Target.Mag) << " (truth "
              << FormatFixed(2, t.mag) << ")\n";
  }
  EXPECT_TRUE(skyRead) << "a star lies in the target's sky border: the student reads the sky";
  std::cout << "[ measured ] worst position error " << FormatFixed(3, worst) << "\"\n";

  // The table, the Minor Planet Center lines and the CSV.
  s->ExerciseFrmt1Click();
  const auto& table = s->Report->ListForm->Lines();
  int dataLines = 0;
  for (const auto& l : table) dataLines += l.find("Sample Asteroid") != std::string::npos;
  EXPECT_EQ(dataLines, 4);
  const ObsRec& first = *s->Report->Observations.Item(0);
  const std::string mpc = MPCLine(first, s->Report->Site);
  EXPECT_EQ(mpc.size(), 80u);
  EXPECT_NE(mpc.find("2004 03 15.13"), std::string::npos) << mpc;
  EXPECT_NE(mpc.find("10 29 5"), std::string::npos) << mpc;
  EXPECT_NE(mpc.find("+12 01 1"), std::string::npos) << mpc;
  p.expectSave(FileChoice{{data / "ROAD.CSV"}, 1});
  p.expectMessage(ModalResult::OK, "Text File Written", "ROAD.CSV");
  s->SpreadsheetFormat1Click();
  const std::vector<std::uint8_t> bytes = ReadWholeFile(data / "ROAD.CSV");
  const std::string csv(bytes.begin(), bytes.end());
  EXPECT_NE(csv.find("Sample Asteroid"), std::string::npos) << csv;
}

TEST_F(MeasureRoad, OneMeasurementAtATime) {
  LogInAndLoad(2);
  p.expectDialog("TObsParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  test::ExpectFieldDialog(p);
  s->MeasImg1Click();
  ASSERT_TRUE(s->MeasurementUnderWay());
  p.expectMessage(ModalResult::OK, "Measurement in Progress",
                  "Finish the current measurement before making a chart.");
  s->OpenFinderChart();
  EXPECT_FALSE(s->ChrtCntrlBox) << "no chart meanwhile";
  EXPECT_FALSE(Window(0).CloseAllowed);
  p.expectMessage(ModalResult::OK, "Measurement in Progress", "Image 1 is being measured.");
  s->MeasImg2Click();
  EXPECT_FALSE(s->Menu["MeasImg2"].checked);
  EXPECT_FALSE(s->SlotIsBusy[1]) << "the refused image's slot stays free";
  // Nor a blink, whose close would free the measured slot.
  p.expectMessage(ModalResult::OK, "Measurement in Progress", "before blinking");
  s->Blink1Click();
  EXPECT_FALSE(s->BlinkForm1);
  // A new solution order restarts the selection with picking on.
  TGSCForm1& field = *s->GSCForm1;
  field.MeasureMode = false;
  s->SlctRefForm1.Step = 2;
  field.FullQuadratic1Click();
  EXPECT_EQ(s->SlctRefForm1.Step, 0);
  EXPECT_EQ(s->SlctRefForm1.MinRefs, 6);
  EXPECT_TRUE(field.MeasureMode);
  // The same image starts over at step 0.
  s->SlctRefForm1.Step = 2;
  p.expectDialog("TObsParmsDlg", [](DialogModel&) { return ModalResult::OK; });
  s->MeasImg1Click();
  EXPECT_EQ(s->SlctRefForm1.Step, 0);
  // Abandoned through the go-back dialog: every window closes, the slot is free.
  p.expectDialog("TRefCnclForm1", [](DialogModel&) { return ModalResult::Cancel; });
  s->SlctRefForm1.CnclBtnClick();
  EXPECT_FALSE(s->MeasurementUnderWay());
  EXPECT_FALSE(Window(0).Visible);
  EXPECT_FALSE(s->SlotIsBusy[0]);
  // A cancelled Verify/Complete of an image whose window is hidden leaves
  // its slot free, so it can be loaded and cleared again.
  p.expectDialog("TObsParmsDlg", [](DialogModel&) { return ModalResult::Cancel; });
  s->MeasImg2Click();
  EXPECT_FALSE(s->Menu["MeasImg2"].checked);
  EXPECT_FALSE(s->SlotIsBusy[1]);
  EXPECT_TRUE(s->Menu["Clear1"].enabled);
  p.verify();
}

// The exit ends a measurement under way: no question of the guide, its
// windows freed, the guide and the magnifier no longer shown.
TEST_F(MeasureRoad, ExitDuringAMeasurementEndsItWithoutTheGuidesQuestions) {
  int magnifierShown = 0;
  s->Services.ShowMagnifier = [&](bool shown) { magnifierShown += shown ? 1 : -1; };
  LogInAndLoad(1);
  p.expectDialog("TObsParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  test::ExpectFieldDialog(p);
  s->MeasImg1Click();
  ASSERT_TRUE(s->MeasurementUnderWay());
  ASSERT_EQ(magnifierShown, 1);
  ASSERT_TRUE(CursorWindow && CursorWindow->Visible);
  p.expectMessage(ModalResult::OK, "** Exercise Finished? **");
  ASSERT_TRUE(s->FormCloseQuery());
  s->FormClose();
  EXPECT_FALSE(s->MeasurementUnderWay());
  EXPECT_EQ(magnifierShown, 0);
  EXPECT_FALSE(CursorWindow->Visible);
  EXPECT_FALSE(s->GSCForm1);
  EXPECT_FALSE(s->ImageWindows[0]);
  EXPECT_NE(ReadTextOf(data / "VESKLOG.LOG").find("EndLogout: MORVETIK"), std::string::npos);
  p.verify();
}

// The box dialog at the solution: the same box keeps the measurement to
// record; a new one says so and leads back to the target.
TEST_F(MeasureRoad, TheBoxDialogAtTheSolutionNeverDropsTheMeasurement) {
  LogInAndLoad(2);
  SlctRefModel& g = s->SlctRefForm1;
  MeasureToSolution(0, Refs());
  if (HasFatalFailure()) return;
  ExpectBoxDialog();
  Window(0).BoxParameters1Click();
  EXPECT_TRUE(Window(0).TargetLocated) << "nothing changed";
  EXPECT_EQ(g.Step, 5);
  RecordAndClose(0);
  if (HasFatalFailure()) return;
  ASSERT_EQ(s->Report->Observations.Count(), 1);

  MeasureToSolution(1, Refs());
  if (HasFatalFailure()) return;
  const int box = s->Settings.BoxParms.HalfBox * 2;
  ExpectBoxDialog(box - 2);
  p.expectMessage(ModalResult::OK, "Target Not Located!",
                  "Locate the target object on the image 2 (right-hand) display again.");
  // The reference window's box command serves the measured image too.
  s->GSCForm1->BoxParameters1Click();
  EXPECT_EQ(g.Step, 3);
  EXPECT_EQ(g.Caption, "Locate Unknown");
  EXPECT_FALSE(Window(1).ReportWin->Visible) << "the solution without its target went";
  EXPECT_TRUE(Window(0).TargetLocated) << "image 1 is not the one measured";
  LocateTarget(1);
  if (HasFatalFailure()) return;
  RecordAndClose(1);
  EXPECT_EQ(s->Report->Observations.Count(), 2);
  p.verify();
}

// A box changed at the solution: the target is located again and every
// reference is measured again with the new box, so the new solution is the
// one a measurement with that box from the start gives.
TEST_F(MeasureRoad, ABoxChangedAtTheSolutionGivesTheResultOfThatBoxFromTheStart) {
  LogInAndLoad(1);
  // The same image in slot 2, to be measured with the new box from the start.
  p.expectOpen(FileChoice{{test::SamplesDir() / "FIELD1.FIT"}, 1});
  s->LoadImgClick(2);
  truthOf[1] = 0;
  SlctRefModel& g = s->SlctRefForm1;
  ASSERT_EQ(BoxParms, (BoxParmsRec{10, 10, 5})) << "measured with 20/20/5";
  MeasureToSolution(0, Refs());
  if (HasFatalFailure()) return;
  const long double oldMag = Window(0).Target.Mag;
  ExpectBoxDialog(12);
  p.expectMessage(ModalResult::OK, "Target Not Located!",
                  "the reference stars are measured again with it before the next solution.");
  Window(0).BoxParameters1Click();
  ASSERT_EQ(BoxParms, (BoxParmsRec{6, 6, 5})) << "12/12/5";
  ASSERT_EQ(g.Step, 3);
  LocateTarget(0);
  if (HasFatalFailure()) return;
  EXPECT_EQ(Window(0).RefsBox, BoxParms) << "the references follow the new box";
  RecordAndClose(0);
  if (HasFatalFailure()) return;

  MeasureToSolution(1, Refs());
  if (HasFatalFailure()) return;
  RecordAndClose(1);
  ASSERT_EQ(s->Report->Observations.Count(), 2);
  const RefStarRec& changed = s->Report->Observations.Item(0)->Target;
  const RefStarRec& fresh = s->Report->Observations.Item(1)->Target;
  std::cout << "[ measured ] magnitude " << FormatFixed(3, oldMag) << " with 20/20/5, "
            << FormatFixed(3, changed.Mag) << " after the change, " << FormatFixed(3, fresh.Mag)
            << " with 12/12/5 from the start\n";
  EXPECT_NEAR(static_cast<double>(changed.Mag), static_cast<double>(fresh.Mag), 1e-3);
  EXPECT_LT(test::Separation(changed.RA, changed.Dec, fresh.RA, fresh.Dec), 1e-3L);
  EXPECT_NEAR(static_cast<double>(changed.Flux), static_cast<double>(fresh.Flux), 1e-6);
  p.verify();
}

// A flip at the solution: the plate is fitted again to the mirrored
// positions, so the read-out and the report belong to the orientation on
// the screen, and the position recorded is the one solved before.
TEST_F(MeasureRoad, AFlipAtTheSolutionKeepsReadOutAndReportInOneOrientation) {
  LogInAndLoad(1);
  MeasureToSolution(0, Refs());
  if (HasFatalFailure()) return;
  TImageForm1& w = Window(0);
  const RefStarRec before = w.Target;
  const auto constsBefore = w.PlateSoln.GetLinearConsts();
  const int W = w.ImageWidth();
  p.expectDialog("TImgAdjstDlg", [](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    d.LftBtnClick();
    return d.OkBtn1Click();
  });
  w.AdjustImage1Click();
  ASSERT_TRUE(w.FlipX());
  ASSERT_TRUE(w.PlateSoln.Solved);
  EXPECT_NEAR(static_cast<double>(w.Target.ImageX), static_cast<double>(W - before.ImageX), 1e-9);
  EXPECT_LT(test::Separation(w.Target.RA, w.Target.Dec, before.RA, before.Dec), 1e-6L);
  const auto consts = w.PlateSoln.GetLinearConsts();
  EXPECT_NEAR(static_cast<double>(consts[0]), static_cast<double>(-constsBefore[0]),
              1e-9 * std::fabs(static_cast<double>(constsBefore[0])))
      << "x runs the other way";

  // The read-out where the target is drawn gives the target's place.
  const int cx = static_cast<int>(std::lround(w.SizeDlg.ImageToScreen(w.Target.ImageX)));
  const int cy = static_cast<int>(std::lround(w.SizeDlg.ImageToScreen(w.Target.ImageY)));
  ClickOn(w, cx, cy);
  ASSERT_TRUE(w.CursorCoordsShown);
  // Within the half pixel of the click and the read-out's last digit
  // (2" a pixel; 0.15 s of RA is 2.2" here).
  auto seconds = [](const std::string& t) {
    const std::size_t m = t.find("m "), e = t.find('s', m);
    double v = -1;
    if (m != std::string::npos && e != std::string::npos)
      std::from_chars(t.data() + m + 2, t.data() + e, v);
    return v;
  };
  const std::string wantRA = "RA: " + FormatRA(2, "h ", "m ", before.RA, "s ");
  EXPECT_EQ(w.CursorRAText.substr(0, 13), wantRA.substr(0, 13)) << w.CursorRAText;
  EXPECT_NEAR(seconds(w.CursorRAText), seconds(wantRA), 0.15) << w.CursorRAText;
  const std::string wantDec = "Dec: " + FormatDMS(0, "\xB0 ", "' ", before.Dec, "\" ");
  EXPECT_EQ(w.CursorDecText.substr(0, 14), wantDec.substr(0, 14)) << w.CursorDecText;
  // The report on the screen and the one shown again: one orientation.
  const std::string xLine = "   x = " + FormatFixed(4, w.Target.ImageX);
  const std::string aLine = "  a = " + FormatExp(8, consts[0]);
  for (int shown = 0; shown < 2; ++shown) {
    SCOPED_TRACE(shown ? "View/Print" : "after the flip");
    if (shown) w.ViewPrint1Click();
    const auto& lines = w.ReportWin->Lines();
    auto has = [&](const std::string& t) {
      return std::any_of(lines.begin(), lines.end(),
                         [&](const std::string& l) { return l.rfind(t, 0) == 0; });
    };
    EXPECT_TRUE(has(xLine)) << xLine;
    EXPECT_TRUE(has(aLine)) << aLine;
  }
  RecordAndClose(0);
  ASSERT_EQ(s->Report->Observations.Count(), 1);
  const RefStarRec& recorded = s->Report->Observations.Item(0)->Target;
  EXPECT_LT(test::Separation(recorded.RA, recorded.Dec, before.RA, before.Dec), 1e-6L);
  EXPECT_EQ(recorded.Mag, before.Mag);
  p.verify();
}

TEST_F(MeasureRoad, ReturnAfterAFailedReSolveAtStepZeroLetsTheStudentPick) {
  LogInAndLoad(1);
  SlctRefModel& g = s->SlctRefForm1;
  const std::vector<SampleStar> refs = Refs(6);
  ASSERT_EQ(refs.size(), 6u);
  MeasureToSolution(0, {refs.begin(), refs.begin() + 4});
  if (HasFatalFailure()) return;
  TGSCForm1& field = *s->GSCForm1;
  ExpectGoBack(RefCnclModel::AddRef);
  g.CnclBtnClick();
  ASSERT_EQ(g.Step, 0);
  // A fifth reference the image does not show (its pixels made flat sky),
  // so its re-centroiding fails.
  test::PickOnField(p, field, refs[4]);
  ASSERT_EQ(field.RefStars.Count(), 5);
  long double x, y;
  test::OnImage(File(0), refs[4].ra, refs[4].dec, x, y);
  IntArrayList& px = *s->ImageFiles[0]->Pixels;
  const int cx = static_cast<int>(x), cy = static_cast<int>(y);
  const std::int32_t sky =
      px.GetCell(static_cast<std::uint32_t>(cx - 15), static_cast<std::uint32_t>(cy - 15));
  for (int r = cy - 12; r <= cy + 12; ++r)
    for (int c = cx - 12; c <= cx + 12; ++c)
      px.SetCell(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r), sky);
  p.expectMessage(ModalResult::No, "Invalid Reference Star");
  ExpectGoBack(RefCnclModel::RefRtrn);
  g.OkBtnClick();
  EXPECT_EQ(g.Step, 0);
  EXPECT_EQ(g.Caption, "Select Reference Stars");
  EXPECT_TRUE(field.MeasureMode) << "the guide asks for references: picking is on";
  // The student takes that star off again and picks another.
  p.expectDialog("TRefInfoForm1",
                 [](DialogModel& m) { return static_cast<TRefInfoForm1&>(m).RmvBtnClick(); });
  const RefStarRec* gone = field.RefStars.Item(4);
  ASSERT_NE(gone, nullptr);
  const int gx = static_cast<int>(std::lround(field.SizeDlg.ImageToScreen(gone->FieldX)));
  const int gy = static_cast<int>(std::lround(field.SizeDlg.ImageToScreen(gone->FieldY)));
  field.FormMouseDown(MouseButton::Left, gx, gy);
  field.FormMouseUp(MouseButton::Left, gx, gy);
  ASSERT_EQ(field.RefStars.Count(), 4);
  test::PickOnField(p, field, refs[5]);
  ASSERT_EQ(field.RefStars.Count(), 5);
  g.OkBtnClick();
  EXPECT_EQ(g.Step, 2) << "the references are located again";
  p.verify();
}

TEST_F(MeasureRoad, AClosedImageComesBackWhenTheGuideGoesBackToIt) {
  LogInAndLoad(1);
  SlctRefModel& g = s->SlctRefForm1;
  MeasureToSolution(0, Refs());
  if (HasFatalFailure()) return;
  ASSERT_TRUE(Window(0).CloseAllowed) << "closable after its solution";
  Window(0).Close1Click();
  EXPECT_FALSE(Window(0).Visible);
  EXPECT_TRUE(s->SlotIsBusy[0]) << "still being measured";
  EXPECT_FALSE(s->Menu["LoadImg1"].enabled);
  ExpectGoBack(RefCnclModel::IDUnkwn);
  g.CnclBtnClick();
  EXPECT_EQ(g.Step, 3);
  EXPECT_TRUE(Window(0).Visible) << "the guide asks for a click on it";
  EXPECT_FALSE(Window(0).CloseAllowed);
  EXPECT_TRUE(s->SlotIsBusy[0]);
  EXPECT_FALSE(s->Menu["LoadImg1"].enabled);
  LocateTarget(0);
  if (HasFatalFailure()) return;
  RecordAndClose(0);
  EXPECT_TRUE(s->Menu["LoadImg1"].enabled) << "free once the measurement ended";
  p.verify();
}

TEST_F(MeasureRoad, TheMeasuredImageChosenAgainAndCancelledKeepsItsMark) {
  LogInAndLoad(1);
  p.expectDialog("TObsParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  test::ExpectFieldDialog(p);
  s->MeasImg1Click();
  ASSERT_TRUE(s->Menu["MeasImg1"].checked);
  p.expectDialog("TObsParmsDlg", [](DialogModel&) { return ModalResult::Cancel; });
  s->MeasImg1Click();
  EXPECT_TRUE(s->MeasurementUnderWay());
  EXPECT_TRUE(s->Menu["MeasImg1"].checked) << "its guide goes on";
  EXPECT_TRUE(s->SlotIsBusy[0]);
  EXPECT_FALSE(Window(0).Menus.ZoomItemsVisible) << "still being measured";
  p.verify();
}

TEST_F(MeasureRoad, AFailedCatalogReadEndsTheSetUpWithoutAGuide) {
  LogInAndLoad(1);
  // The region files are gone (the regions table is still there): the
  // catalog's location is asked for, and the student cancels.
  fs::remove_all(prog / "GSC");
  auto verify = [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  };
  p.expectDialog("TObsParmsDlg", verify);
  test::ExpectFieldDialog(p);
  p.expectDialog("TCatlgPathDlg", [](DialogModel&) { return ModalResult::Cancel; });
  p.expectMessage(ModalResult::OK, "Check Region Parameters",
                  "No Reference Stars Found in Region!");
  s->MeasImg1Click();
  EXPECT_FALSE(s->MeasurementUnderWay()) << "no guide on an empty field";
  EXPECT_FALSE(s->Menu["MeasImg1"].checked);
  EXPECT_FALSE(s->SlotIsBusy[0]);
  EXPECT_TRUE(s->Menu["LoadImg1"].enabled);
  EXPECT_FALSE(Window(0).Visible) << "the image window stays as it was";
  EXPECT_TRUE(Window(0).Menus.ZoomItemsVisible);
  p.verify();
  // The catalog back in place, the command works.
  fs::copy(SamplesDirBin() / "GSC", prog / "GSC", fs::copy_options::recursive);
  p.expectDialog("TObsParmsDlg", verify);
  test::ExpectFieldDialog(p);
  s->MeasImg1Click();
  EXPECT_TRUE(s->MeasurementUnderWay());
  EXPECT_TRUE(s->Menu["MeasImg1"].checked);
  EXPECT_FALSE(GSCField->Stars.IsEmpty());
  p.verify();
}

// After a go-back that discards the solution, the old report is not shown
// beside the lists that changed since; the next solution brings it back.
TEST_F(MeasureRoad, AGoBackWithdrawsTheSolutionResultsUntilTheNextSolve) {
  LogInAndLoad(1);
  SlctRefModel& g = s->SlctRefForm1;
  MeasureToSolution(0, Refs());
  if (HasFatalFailure()) return;
  TImageForm1& w = Window(0);
  EXPECT_TRUE(w.SolutionAvailable());
  ExpectGoBack(RefCnclModel::IdRef);
  g.CnclBtnClick();
  ASSERT_EQ(g.Step, 2);
  EXPECT_FALSE(w.SolutionAvailable());
  w.ReportWin->SetLines({});
  w.ViewPrint1Click();
  EXPECT_TRUE(w.ReportWin->Lines().empty()) << "the old constants are not shown";
  // Located again and solved: the results are back.
  for (int i = 0; i < 4 && g.Step == 2; ++i) {
    const RefStarRec* r = w.RefList.Item(g.RefNum - 1);
    ASSERT_NE(r, nullptr);
    ClickAt(0, r->CatRA, r->CatDec);
    g.OkBtnClick();
  }
  ASSERT_EQ(g.Step, 5) << g.Caption;
  EXPECT_TRUE(w.SolutionAvailable());
  w.ReportWin->SetLines({});
  w.ViewPrint1Click();
  EXPECT_FALSE(w.ReportWin->Lines().empty());
  EXPECT_TRUE(w.ReportOnTop);
  p.verify();
}

TEST_F(MeasureRoad, AChartsRegionParametersLeaveTheImageAlone) {
  LogInAndLoad(1);
  s->MeasuredSlot = 0;
  // A chart centred on 0 h, 0 deg, whose field is asked for again.
  TGSCForm1& chart = s->RefFieldWindow();
  chart.ChartMode = 1;
  s->RefFieldStale = true;
  CurFldParms.RACenter = CurFldParms.DecCenter = 0;
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    EXPECT_EQ(d.RAHrText, "0") << "not the image header's centre";
    EXPECT_EQ(d.ImageFilter, PassbandUnknown) << "no filter to match";
    return d.CancelBtnClick();
  });
  chart.Parameters1Click();
  p.verify();
}

TEST_F(MeasureRoad, AfterAFinderChartTheFieldIsBuiltAgain) {
  LogInAndLoad(1);
  // The reference window shows a chart, and the field was measured before.
  TGSCForm1& chart = s->RefFieldWindow();
  chart.ChartMode = 1;
  chart.RefStars.InsertAfter(RefStarRec{});
  s->RefFieldStale = false;
  CurFldParms.RACenter = 3;
  CurFldParms.DecCenter = 40;
  auto verify = [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  };
  p.expectDialog("TObsParmsDlg", verify);
  // The chart's centre is gone: the image header gives the field again.
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    EXPECT_EQ(d.RAHrText, "10");
    EXPECT_EQ(d.DecDegText, "12");
    return d.OKBtnClick();
  });
  s->MeasImg1Click();
  ASSERT_TRUE(s->GSCForm1);
  EXPECT_EQ(s->GSCForm1->ChartMode, 0);
  EXPECT_TRUE(s->GSCForm1->RefStars.IsEmpty()) << "the chart's list went with its window";
  EXPECT_TRUE(s->GSCForm1->MeasureMode);
  EXPECT_FALSE(s->RefFieldStale);
  p.verify();
}

}  // namespace
}  // namespace hv
