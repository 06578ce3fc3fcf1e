// The session's field loading, the reference-field window's life and the
// finder chart, on a small converted catalog made in the test.
#include <gtest/gtest.h>

#include "app/Session.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/OnlineCatalog.h"
#include "images/ImageDialogs.h"
#include "support/Files.h"
#include "tests/astrometry/GSCFixtures.h"
#include "tests/common/TestEnv.h"
#include "tools/ConeSearch.h"
#include "tools/ConeServe.h"
#include "tools/LoopbackServer.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class RefFieldSession : public ::testing::Test {
 protected:
  void SetUp() override {
    s = std::make_unique<BendulakSession>(p);
    Bendulak = s.get();
    s->Settings.WorkFolder = test::FreshFolder("work");
    s->Settings.FieldSize = 15;
    s->Settings.MagLimit = 16;
    s->Settings.GSCFormat = GSCFormatCode::Converted;
    const fs::path cat = test::FreshFolder("cat") / "";
    s->Settings.GSCPath1 = s->Settings.GSCPath2 = cat.string();
    s->Report = std::make_unique<AstromObsObj>(p, *s);
    CreateImageDialogs();
    CreateCatalogObjects(p, s->Settings);
    ResetFldParms(s->Settings);
    ResetChartOptions();
    // One region around 6 h, 0 deg in zone 1, with three stars, one object
    // and a star too faint for the field.
    GSCRgnsTbl->Loaded = true;
    GSCRgnsTbl->Regions.InsertAfter(GSCRgnRec{});
    GSCRgnsTbl->Regions.InsertAfter(GSCRgnRec{5.5, 6.5, -2, 2, 0});
    test::WriteBytes(cat / "GSC" / "N0000" / "0001.BIN",
                     test::BinFile({test::Bin(59990000, 2000, 12000, "00001"),
                                    test::Bin(60000000, 0, 9500, "00002"),
                                    test::Bin(60010000, -3000, 14000, "00003"),
                                    test::Bin(60005000, 5000, 13000, "00004", 3),
                                    test::Bin(60002000, 1000, 17500, "00005")}));
  }
  void TearDown() override {
    s.reset();
    FreeCatalogObjects();
    FreeImageDialogs();
    Bendulak = nullptr;
  }

  // The field dialog answered with a centre and size (OK), or cancelled.
  void ExpectField(std::string size = "15", bool ok = true, std::string ra = "6") {
    p.expectDialog("TFldParmsDlg", [=](DialogModel& m) {
      auto& d = static_cast<FldParmsDlgModel&>(m);
      d.FormActivate();
      if (!ok) return d.CancelBtnClick();
      d.RAHrText = ra;
      d.RAMinText = d.RASecText = "0";
      d.DecDegText = d.DecMinText = d.DecSecText = "0";
      d.SizText = size;
      d.MagText = "16";
      d.OnLnChecked = false;
      return d.OKBtnClick();
    });
  }
  void AddObservation(long double ra, long double dec, double t) {
    RefStarRec target;
    target.RA = ra;
    target.Dec = dec;
    ObsParmsRec parms;
    parms.ObsTime = t;
    s->Report->AddObservation(target, parms);
  }

  test::Scripted p;
  std::unique_ptr<BendulakSession> s;
};

TEST_F(RefFieldSession, FieldFromTheCatalogOrNothing) {
  ExpectField();
  ASSERT_TRUE(s->LoadReferenceField(0));
  EXPECT_EQ(GSCField->NumStars, 3);
  EXPECT_EQ(GSCField->Stars.Count(), 4);
  EXPECT_EQ(p.busyDepth, 0);

  ExpectField("15", false);
  EXPECT_FALSE(s->LoadReferenceField(0));

  // A field without size: the dialog's own box, and it stays open.
  p.expectDialog("TFldParmsDlg", [this](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    d.SizText = "0";
    p.expectMessage(ModalResult::OK, FldParmsDlgModel::InputErrorCaption,
                    FldParmsDlgModel::NumericInvalidText);
    EXPECT_EQ(d.OKBtnClick(), ModalResult::None);
    return d.CancelBtnClick();
  });
  EXPECT_FALSE(s->LoadReferenceField(0));

  // No region overlaps a field at 12 h.
  ExpectField("15", true, "12");
  EXPECT_FALSE(s->LoadReferenceField(0));
}

TEST_F(RefFieldSession, AnEmptyFieldIsNotReused) {
  s->RefFieldStale = true;
  ExpectField("0.01", true, "7");  // no star in a region-less corner
  s->LoadReferenceField(0);
  s->FieldLaidOut();
  EXPECT_TRUE(s->RefFieldStale);
  ExpectField();
  ASSERT_TRUE(s->LoadReferenceField(0));
  s->FieldLaidOut();
  EXPECT_FALSE(s->RefFieldStale);
}

TEST_F(RefFieldSession, OnlineFieldFromTheCatalogServiceOrItsMessage) {
  s->Settings.StarCatalog = CatalogCode::NOMAD;
  const auto online = [this](std::string size) {
    p.expectDialog("TFldParmsDlg", [size](DialogModel& m) {
      auto& d = static_cast<FldParmsDlgModel&>(m);
      d.FormActivate();
      EXPECT_TRUE(d.OnLnChecked);
      d.RAHrText = "6";
      d.SizText = size;
      d.MagText = "16";
      return d.OKBtnClick();
    });
  };
  std::vector<cone::Star> stars(3);
  stars[0] = {"n1", 6.0L, 0.0L, 12.0f, 11.5f, 11.0f};
  stars[1] = {"n2", 6.001L, 0.01L, 16.0f, 15.8f, 15.5f};
  stars[2] = {"faint", 6.0005L, -0.01L, 18.0f, 17.8f, 17.5f};
  loopback::Server server(cone::ServeStars(stars), 1, std::chrono::seconds(10));
  s->Settings.CatalogURL = server.Url("/cone?");

  online("15");
  ASSERT_TRUE(s->LoadReferenceField(45000.5));
  std::vector<std::string> names;
  for (const CatStarRec& star : GSCField->Stars) names.push_back(star.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"n1", "n2"}));
  EXPECT_EQ(GSCField->Title, "NOMAD");
  EXPECT_EQ(GSCField->MinMag, 11.0f);
  EXPECT_EQ(GSCField->MaxMag, 15.5f);
  EXPECT_EQ(p.busyDepth, 0);

  // A narrower field of the same centre is answered from the cache.
  online("10");
  ASSERT_TRUE(s->LoadReferenceField(45000.5));
  EXPECT_EQ(GSCField->Stars.Count(), 2);
  server.Stop();
  ASSERT_EQ(server.RequestLines().size(), 1u);
  EXPECT_TRUE(server.RequestLines()[0].starts_with(
      "GET /cone?CAT=NOMAD&RA=90.000000&DEC=0.000000&SR=0.38&VERB=1&clr=R&bri=1.0&fai=16.0"));

  // A wider one asks again, and the service is gone: its message and an
  // empty field (with which the measure set-up ends).
  online("20");
  p.expectMessage(ModalResult::OK, "Cannot Access Online Catalog!", "Server is not responding!");
  EXPECT_TRUE(s->LoadReferenceField(45000.5));
  EXPECT_TRUE(GSCField->Stars.IsEmpty());
  EXPECT_EQ(GSCField->MinMag, 25.0f);
  EXPECT_TRUE(B1Cat);
}

TEST_F(RefFieldSession, FinderChartCentredOnAMeasurementWithCrosses) {
  AddObservation(6.0L, 0.0L, 45000.25);
  AddObservation(6.0005L, 0.01L, 45000.30);
  s->OpenFinderChart();
  TChrtCntrlBox& box = *s->ChrtCntrlBox;
  EXPECT_EQ(box.Stage, 0);
  EXPECT_TRUE(box.PlotPosEnabled);
  EXPECT_TRUE(box.PlotPosBox);
  EXPECT_FALSE(box.PlotEphEnabled);
  EXPECT_EQ(box.MsgLbl, TChrtCntrlBox::OptionsText);
  box.OKBtnClick();
  EXPECT_EQ(box.Stage, 2);
  EXPECT_EQ(box.Caption, "Identify Chart Center");
  AstromListModel& list = *s->Report->ListForm;
  EXPECT_TRUE(list.Visible);
  EXPECT_EQ(s->Report->ShortFormat, 1);
  // A header line is no measurement.
  list.Selected = 0;
  box.OKBtnClick();
  EXPECT_EQ(box.Stage, 2);
  EXPECT_EQ(box.Caption, TChrtCntrlBox::NotRecordCaption);
  EXPECT_EQ(ChartObsIndex, -1);
  // The first measurement: the field dialog opens on its position.
  list.Selected = list.FirstDataLine;
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    EXPECT_EQ(d.RAHrText, "6");
    return d.OKBtnClick();
  });
  box.OKBtnClick();
  EXPECT_EQ(box.Stage, 3);
  EXPECT_FALSE(list.Visible);
  ASSERT_TRUE(s->GSCForm1);
  TGSCForm1& w = *s->GSCForm1;
  EXPECT_EQ(w.ChartMode, 1);
  EXPECT_TRUE(w.PickMode());
  EXPECT_TRUE(w.Visible);
  EXPECT_TRUE(s->RefFieldStale);
  // Crosses at both measurements, drawn in their own colour.
  int crossPixels = 0;
  for (int y = 0; y < w.Bitmap.Height; ++y)
    for (int x = 0; x < w.Bitmap.Width; ++x) crossPixels += w.Bitmap.At(x, y) == CrossIndex;
  EXPECT_GT(crossPixels, 24);
  EXPECT_EQ(w.Bitmap.At(251, 251), CrossIndex) << "the cross at the centre, beside its star";
}

TEST_F(RefFieldSession, ChartStages) {
  struct Row {
    const char* name;
    bool observations, plotPos;
    int selectedOffset;  // from the first data line; -99 none
    int stage;           // after the second OK (or the first when it finishes)
    bool chart;
  } rows[] = {
      {"no measurements: the centre from the dialog", false, true, -99, 3, true},
      {"positions unchecked: at once", true, false, -99, 3, true},
      {"header line chosen: waits", true, true, -1, 2, false},
      {"measurement chosen: done", true, true, 0, 3, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    if (r.observations) AddObservation(6.0L, 0.0L, 45000.25);
    s->OpenFinderChart();
    TChrtCntrlBox& box = *s->ChrtCntrlBox;
    box.PlotPosBox = r.plotPos;
    if (r.chart) ExpectField();
    box.OKBtnClick();
    if (box.Stage == 2) {
      AstromListModel& list = *s->Report->ListForm;
      list.Selected = list.FirstDataLine + r.selectedOffset;
      box.OKBtnClick();
    }
    EXPECT_EQ(box.Stage, r.stage);
    EXPECT_EQ(s->GSCForm1 != nullptr, r.chart);
    EXPECT_TRUE(p.allAnswered());
    TearDown();
  }
  SetUp();
}

TEST_F(RefFieldSession, ChartCentreDialogSitsAboveTheReportWhichLeavesTheTop) {
  struct Row {
    const char* name;
    int reportTop;
    int wantTop;
  } rows[] = {
      {"room above the report", 400, 400 - 150},
      {"no room: the screen's top", 100, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    AddObservation(6.0L, 0.0L, 45000.25);
    s->OpenFinderChart();
    TChrtCntrlBox& box = *s->ChrtCntrlBox;
    AstromListModel& list = *s->Report->ListForm;
    list.Top = r.reportTop;  // as the form placed it
    box.OKBtnClick();
    ASSERT_EQ(box.Stage, 2);
    EXPECT_EQ(box.Top, r.wantTop);
    EXPECT_EQ(box.Left, (s->ScreenWidth - TChrtCntrlBox::Width) / 2);
    EXPECT_FALSE(list.StayOnTop) << "the dialog stays above the report";
    list.Selected = list.FirstDataLine;
    ExpectField();
    box.OKBtnClick();
    EXPECT_TRUE(list.StayOnTop);
    TearDown();
  }
  SetUp();
  // Cancelled while choosing, the report gets its style back too.
  AddObservation(6.0L, 0.0L, 45000.25);
  s->OpenFinderChart();
  s->ChrtCntrlBox->OKBtnClick();
  s->ChrtCntrlBox->CnclBtnClick();
  EXPECT_TRUE(s->Report->ListForm->StayOnTop);
  EXPECT_FALSE(s->Report->ListForm->Visible);
}

TEST_F(RefFieldSession, ChartChecksTheMeasurementStillExists) {
  AddObservation(6.0L, 0.0L, 45000.25);
  s->OpenFinderChart();
  TChrtCntrlBox& box = *s->ChrtCntrlBox;
  box.OKBtnClick();
  AstromListModel& list = *s->Report->ListForm;
  list.Selected = list.FirstDataLine;
  // The report was edited meanwhile.
  s->Report->Observations.Clear();
  p.expectMessage(ModalResult::OK, "Not a Measurement Record!");
  box.OKBtnClick();
  EXPECT_FALSE(s->GSCForm1);
}

TEST_F(RefFieldSession, ChartIsRefusedWhileMeasuringAndFreesAMeasurementWindow) {
  s->SlctRefForm1.Visible = true;
  p.expectMessage(ModalResult::OK, "Measurement in Progress");
  s->OpenFinderChart();
  EXPECT_FALSE(s->ChrtCntrlBox);

  s->SlctRefForm1.Visible = false;
  s->RefFieldWindow().ChartMode = 0;
  s->RefFieldStale = false;
  s->OpenFinderChart();
  EXPECT_FALSE(s->GSCForm1) << "the measurement's window went";
  EXPECT_TRUE(s->RefFieldStale);
  EXPECT_EQ(s->PaintMode, 2);
  s->ChrtCntrlBox->CnclBtnClick();
  EXPECT_FALSE(s->ChrtCntrlBox->Visible);
}

TEST_F(RefFieldSession, AMeasurementSetUpWhileTheChartDialogWaitsKeepsItsWindow) {
  s->OpenFinderChart();
  TChrtCntrlBox& box = *s->ChrtCntrlBox;
  box.PlotPosBox = false;
  // A measurement began meanwhile: its window is not turned into a chart.
  TGSCForm1& measuring = s->RefFieldWindow();
  measuring.ChartMode = 0;
  s->SlctRefForm1.Visible = true;
  p.expectMessage(ModalResult::OK, "Measurement in Progress");
  box.OKBtnClick();
  ASSERT_TRUE(s->GSCForm1);
  EXPECT_EQ(s->GSCForm1->ChartMode, 0);
  // Finished, its window is freed for the chart, as by the chart command.
  s->SlctRefForm1.Visible = false;
  s->OpenFinderChart();
  s->RefFieldWindow().ChartMode = 0;
  int freed = 0;
  s->Services.RefFieldWindowFreed = [&] { ++freed; };
  s->ChrtCntrlBox->PlotPosBox = false;
  ExpectField();
  s->ChrtCntrlBox->OKBtnClick();
  EXPECT_EQ(freed, 1);
  ASSERT_TRUE(s->GSCForm1);
  EXPECT_EQ(s->GSCForm1->ChartMode, 1);
  EXPECT_TRUE(p.allAnswered());
}

TEST_F(RefFieldSession, RegionParametersOfAMeasurementStartTheSelectionAgain) {
  ExpectField();
  ASSERT_TRUE(s->LoadReferenceField(0));
  int restarts = 0;
  s->Services.RestartGuide = [&] { ++restarts; };
  TGSCForm1& w = s->RefFieldWindow();
  w.ChartMode = 0;
  w.InitField();
  ExpectField("20");
  w.Parameters1Click();
  EXPECT_EQ(CurFldParms.FieldSize, 20.0f);
  EXPECT_TRUE(w.PickMode());
  EXPECT_EQ(restarts, 1);
  EXPECT_TRUE(w.RefMenus.MainRegionEnabled) << "the dialog gives the item back";
}

TEST_F(RefFieldSession, TheWindowGoesWithTheClearAndAtTheEnd) {
  int formsFreed = 0;
  s->Services.RefFieldWindowFreed = [&] { ++formsFreed; };
  s->RefFieldWindow();
  s->ClearAll();
  EXPECT_FALSE(s->GSCForm1);
  EXPECT_TRUE(s->RefFieldStale);
  s->RefFieldWindow();
  s->FormClose();
  EXPECT_FALSE(s->GSCForm1);
  EXPECT_EQ(formsFreed, 2);
}

}  // namespace
}  // namespace hv
