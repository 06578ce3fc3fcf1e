// The finder chart of the sample field, made as a student makes it: the
// report window's Chart command, the chart dialog, the field dialog, with
// the catalog that ships beside the program.
#include "astrometry/forms/RefFieldForms.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenu>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/forms/InfoListForm.h"
#include "app/forms/LoginForm.h"
#include "app/forms/MainForm.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/forms/AstromListForm.h"
#include "images/ImageDialogs.h"
#include "platform/qt/QtPlatform.h"
#include "support/Rounding.h"
#include "tests/app/SampleField.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

struct ListStar {
  std::string id;
  double ra = 0, dec = 0, v = 0;
};

// The star list the sample images and the catalog are made from.
std::vector<ListStar> SampleStars() {
  std::ifstream in(fs::path(HV_SOURCE_DIR) / "data" / "sample_stars.txt");
  std::vector<ListStar> out;
  std::string line, id, ra, dec, b, v, r;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    ls >> id >> ra >> dec >> b >> v >> r;
    ListStar s;
    s.id = id;
    std::from_chars(ra.data(), ra.data() + ra.size(), s.ra);
    std::from_chars(dec.data() + (dec[0] == '+'), dec.data() + dec.size(), s.dec);
    std::from_chars(v.data(), v.data() + v.size(), s.v);
    out.push_back(s);
  }
  return out;
}

template <class T>
T* Child(QWidget& w) {
  // The forms have no Q_OBJECT of their own: picked by their type.
  for (QWidget* c : w.findChildren<QWidget*>())
    if (auto* t = dynamic_cast<T*>(c)) return t;
  return nullptr;
}

class FinderChart : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    fs::current_path(data);
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
    // The shipped catalog beside the program; no optical drive at all.
    const fs::path bin = fs::path(HV_BINARY_DIR) / "bin";
    fs::copy(bin / "TABLES", prog / "TABLES", fs::copy_options::recursive);
    fs::copy(bin / "GSC", prog / "GSC", fs::copy_options::recursive);
    p.programPath = prog / "halvardin";
  }
  void TearDown() override { LoginToFill = nullptr; }
  void Grab(QWidget& w, const char* name) {
    if (const char* out = std::getenv("HV_GRAB")) w.grab().save(QString(out) + "/" + name);
  }
  test::Scripted p;
  fs::path prog, data;
};

TEST_F(FinderChart, OfTheSampleFieldFromTheReportWindow) {
  BendulakSession s(p);
  TBendulak w(s);
  StartupFacts f;
  f.currentFolder = data;
  w.FormCreate(f);
  // As the program makes them after the main window.
  CreateImageDialogs();
  CreateCatalogObjects(p, s.Settings);
  struct Free {
    ~Free() {
      FreeCatalogObjects();
      FreeImageDialogs();
    }
  } freeAtEnd;
  test::ExpectStudentLogin(p);
  w.action("Login1")->trigger();

  // One measurement at the sample field's centre.
  RefStarRec target;
  target.RA = 10.5L;
  target.Dec = 12.0L;
  ObsParmsRec parms;
  parms.ObsTime = 40544.25;
  s.Report->AddObservation(target, parms);
  s.Menu.Enable("ViewEdit1", true);
  w.Mirror();
  w.action("ExerciseFrmt1")->trigger();
  auto* report = Child<AstromListForm>(w);
  ASSERT_NE(report, nullptr);
  ASSERT_TRUE(report->ChartMenu->menuAction()->isEnabled());
  // The empty Chart menu closes before the dialog opens, so the dialog's
  // first click is not spent on closing it.
  report->ChartMenu->popup(report->mapToGlobal(QPoint(0, 0)));
  QCoreApplication::processEvents();
  EXPECT_FALSE(report->ChartMenu->isVisible());

  auto* chart = Child<TChrtCntrlBoxForm>(w);
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->isVisible());
  EXPECT_TRUE(chart->PlotPosBox->isChecked());
  EXPECT_TRUE(chart->PlotPosBox->isEnabled());
  EXPECT_FALSE(chart->PlotEphBox->isEnabled());
  Grab(*chart, "chart-options.png");
  chart->OKBtn->click();
  EXPECT_EQ(chart->windowTitle(), "Identify Chart Center");
  AstromListModel& list = *s.Report->ListForm;
  ASSERT_GE(list.FirstDataLine, 0);
  list.Selected = list.FirstDataLine;
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    EXPECT_EQ(d.RAHrText, "10");
    EXPECT_EQ(d.RAMinText, "30");
    EXPECT_EQ(d.DecDegText, "12");
    d.SizText = "30";
    return d.OKBtnClick();
  });
  chart->OKBtn->click();
  EXPECT_TRUE(p.allAnswered()) << "no question about drives";
  EXPECT_FALSE(chart->isVisible());

  auto* form = Child<TGSCForm1Widget>(w);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  ASSERT_TRUE(s.GSCForm1);
  TGSCForm1& win = *s.GSCForm1;
  ASSERT_EQ(win.ClientWidth, 512);
  Grab(*form, "finder-chart.png");

  // Where the list puts each star on a 512-pixel chart of 30' about the
  // centre, computed here from the list itself.
  auto at = [](double ra, double dec) {
    const double x = std::cos(dec * M_PI / 180) * (512 * 900 / 30.0) * (10.5 - ra) + 256;
    const double y = (12.0 - dec) * (512 * 60 / 30.0) + 256;
    return std::pair<int, int>{RoundToInt32(x), RoundToInt32(y)};
  };
  auto inside = [](std::pair<int, int> p) {
    return p.first >= 0 && p.first < 512 && p.second >= 0 && p.second < 512;
  };
  // The blended star is a catalog entry of its own, not one of the list.
  const auto blended = at(10.501, 12.085);
  auto nearBlended = [&](int x, int y) {
    return std::abs(x - blended.first) <= 1 && std::abs(y - blended.second) <= 1;
  };
  int wanted = 0;
  const ListStar* brightest = nullptr;
  // Kept: brightest points into it after the loop.
  const auto stars = SampleStars();
  for (const ListStar& st : stars) {
    const auto pos = at(st.ra, st.dec);
    if (!inside(pos) || st.v > s.Settings.MagLimit || nearBlended(pos.first, pos.second)) continue;
    ++wanted;
    if (!brightest || st.v < brightest->v) brightest = &st;
  }
  int drawn = 0;
  const CatStarRec* bright = nullptr;
  for (const CatStarRec& c : GSCField->Stars) {
    if (c.Class != 0 || !inside({c.ScreenX, c.ScreenY}) || nearBlended(c.ScreenX, c.ScreenY))
      continue;
    ++drawn;
    if (!bright || c.Mag < bright->Mag) bright = &c;
  }
  EXPECT_GT(wanted, 10);
  EXPECT_EQ(drawn, wanted);
  ASSERT_TRUE(brightest && bright);
  const auto want = at(brightest->ra, brightest->dec);
  EXPECT_NEAR(bright->ScreenX, want.first, 1);
  EXPECT_NEAR(bright->ScreenY, want.second, 1);
  // Black on white: the brightest star's centre is black, the sky white.
  EXPECT_EQ(win.PictureRed(bright->ScreenX, bright->ScreenY), 0);
  EXPECT_EQ(win.PictureRed(2, 2), 255);
  // The measurement's cross at the centre.
  EXPECT_EQ(win.Bitmap.At(251, 251), CrossIndex);
}

TEST_F(FinderChart, MeasurementWindowMarksItsReferencesInTheirColours) {
  BendulakSession s(p);
  TBendulak w(s);
  StartupFacts f;
  f.currentFolder = data;
  w.FormCreate(f);
  CreateImageDialogs();
  CreateCatalogObjects(p, s.Settings);
  struct Free {
    ~Free() {
      FreeCatalogObjects();
      FreeImageDialogs();
    }
  } freeAtEnd;
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    d.RAHrText = "10";
    d.RAMinText = "30";
    d.RASecText = "0";
    d.DecDegText = "12";
    d.DecMinText = d.DecSecText = "0";
    d.SizText = "30";
    d.MagText = "20";
    return d.OKBtnClick();
  });
  ASSERT_TRUE(s.LoadReferenceField(0));
  TGSCForm1& win = s.RefFieldWindow();
  win.ChartMode = 0;
  win.InitField();
  win.MeasureMode = true;
  s.ShowRefFieldWindow();
  auto* form = Child<TGSCForm1Widget>(w);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(
      form->windowTitle().startsWith("Reference Stars  -  RA:   10:30:00.0,   Dec:   12:00:00"));
  EXPECT_TRUE(form->ReferenceStars1->menuAction()->isEnabled());
  EXPECT_TRUE(form->Linear1->isChecked());

  // The two brightest stars: one for position and magnitude, one for
  // neither.
  std::vector<const CatStarRec*> stars;
  for (const CatStarRec& c : GSCField->Stars)
    if (c.Class == 0 && c.ScreenX > 30 && c.ScreenX < 480 && c.ScreenY > 30 && c.ScreenY < 480)
      stars.push_back(&c);
  std::sort(stars.begin(), stars.end(), [](auto* a, auto* b) { return a->Mag < b->Mag; });
  ASSERT_GE(stars.size(), 2u);
  auto pick = [&](const CatStarRec& c, bool use) {
    p.expectDialog("TRefInfoForm1", [use](DialogModel& m) {
      auto& d = static_cast<TRefInfoForm1&>(m);
      d.FormActivate();
      d.UsePosChk = d.UseMagChk = use;
      return d.OkBtnClick();
    });
    win.FormMouseDown(MouseButton::Left, c.ScreenX, c.ScreenY);
    win.FormMouseUp(MouseButton::Left, c.ScreenX, c.ScreenY);
  };
  pick(*stars[0], true);
  pick(*stars[1], false);
  ASSERT_EQ(win.RefCount(), 2);
  const QImage img = form->GrabClient().convertToFormat(QImage::Format_RGB32);
  Grab(*form, "reference-stars.png");
  // Each mark's box edge, HalfBox pixels left of the star, in its colour.
  auto colourAt = [&](const CatStarRec& c) {
    return img.pixel(c.ScreenX - BoxParms.HalfBox, c.ScreenY) & 0xFFFFFFu;
  };
  const bool inverted = s.Settings.InvertRefDisplay;
  ASSERT_EQ(win.Inverted, inverted);
  EXPECT_EQ(colourAt(*stars[0]), inverted ? MarkColour::Blue : MarkColour::Lime);
  EXPECT_EQ(colourAt(*stars[1]), MarkColour::Red);
  // The red frame only on the white-on-black display.
  EXPECT_EQ(img.pixel(4, 200) & 0xFFFFFFu, inverted ? 0xFFFFFFu : MarkColour::Red);

  // The display toggled: the other colours and the other background.
  win.Inverted = !inverted;
  win.ApplyDisplayAdjustment(win.ZeroPoint, inverted);
  const QImage other = form->GrabClient().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(other.pixel(stars[0]->ScreenX - BoxParms.HalfBox, stars[0]->ScreenY) & 0xFFFFFFu,
            inverted ? MarkColour::Lime : MarkColour::Blue);
  EXPECT_EQ(other.pixel(4, 200) & 0xFFFFFFu, inverted ? MarkColour::Red : 0xFFFFFFu);
  int skyX = 20, skyY = 300;
  while (win.Bitmap.At(skyX, skyY) != 0) ++skyX;
  EXPECT_EQ(other.pixel(skyX, skyY) & 0xFFFFFFu, inverted ? 0u : 0xFFFFFFu) << "the sky";
}

TEST(RefFieldDialogs, ReferenceStarAndDisplayFormsShowTheirModels) {
  test::Scripted p;
  CatStarRec star;
  star.Name = "02345-00012";
  star.RA = 10.5L;
  star.Dec = -12.25L;
  star.Mag = 13.456f;
  star.MagErr = 0.21f;
  star.PosErr = 0.35f;
  star.Entries = 2;
  star.Band = 8;
  star.UsePos = true;
  RefInfoStar = &star;
  TRefInfoForm1 model(p);
  model.RmvEnabled = true;
  TRefInfoForm1Dlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Reference Star");
  EXPECT_EQ(dlg.IdEd->text(), " 02345-00012");
  EXPECT_EQ(dlg.RAEd->text(), "  10h 30m 00.00s");
  EXPECT_EQ(dlg.MagEd->text(), "13.46");
  EXPECT_EQ(dlg.PErEd->text(), "0.3\"");
  EXPECT_EQ(dlg.ClrBndEd->text(), "Unknown");
  EXPECT_TRUE(dlg.UsePosChk->isChecked());
  EXPECT_FALSE(dlg.UseMagChk->isChecked());
  EXPECT_TRUE(dlg.RmvBtn->isEnabled());
  if (const char* out = std::getenv("HV_GRAB")) dlg.grab().save(QString(out) + "/ref-star.png");
  dlg.UseMagChk->click();
  dlg.OkBtn->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(star.UseMag) << "the star keeps the choice";
  RefInfoStar = nullptr;
}

TEST(RefFieldPrint, PrinterFontAndPenChangeWithinAPage) {
  const fs::path pdf = test::FreshFolder("print") / "chart.pdf";
  QtPlatform qp;
  PrintRequest r;
  r.jobTitle = "chart";
  r.pdfFile = pdf;
  std::unique_ptr<PrintJob> job = qp.beginPrint(r);
  ASSERT_TRUE(job);
  const int courier = job->textWidth("N");
  job->setFont(PrintFont{"MS Sans Serif", 14, true, true});
  EXPECT_GT(job->textHeight("N"), 0);
  EXPECT_NE(job->textWidth("N"), courier) << "the letters' own font";
  job->drawText(100, 100, "N");
  job->setPenWidth(2);
  job->drawLine(100, 200, 400, 200);
  job->setFont(PrintFont{});
  EXPECT_EQ(job->textWidth("N"), courier);
  ASSERT_TRUE(job->finish());
  std::ifstream in(pdf, std::ios::binary);
  std::string head(4, ' ');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "%PDF");
}

}  // namespace
}  // namespace hv
