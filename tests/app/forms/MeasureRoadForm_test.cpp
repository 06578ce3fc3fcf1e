// The real windows on the road of image 1: the main window's measure
// command, the image window, the guide and its go-back dialog, the
// magnifier and the solution report, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QRadioButton>
#include <cstdlib>

#include "app/forms/InfoListForm.h"
#include "app/forms/MainForm.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/forms/SlctRefForm.h"
#include "images/ImageDialogs.h"
#include "images/forms/ImageForm.h"
#include "platform/qt/QtPlatform.h"
#include "tests/app/SampleField.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

void Grab(QWidget& w, const std::string& name) {
  if (const char* out = std::getenv("HV_GRAB")) w.grab().save(QString(out) + "/" + ToQ(name));
}

// An item of the image window's menus, by its caption.
QAction* ImageItem(QWidget& imageForm, const QString& caption) {
  for (QAction* a : imageForm.findChildren<QAction*>())
    if (a->text() == caption) return a;
  return nullptr;
}

TEST(MeasureRoadForm, ImageOneThroughTheRealWindows) {
  const fs::path prog = test::FreshFolder("prog"), data = test::FreshFolder("data");
  fs::current_path(data);
  for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
    fs::copy_file(e.path(), prog / e.path().filename());
  test::Scripted p;
  p.programPath = prog / "halvardin";
  p.opticalDrives = {test::FreshFolder("disc")};
  test::ShipCatalog(prog);
  BendulakSession s(p);
  Bendulak = &s;
  {
    TBendulak w(s);
    w.PlacedReferenceWindow = [] { return QRect(0, 0, 500, 520); };
    StartupFacts f;
    f.currentFolder = data;
    w.FormCreate(f);
    CreateImageDialogs();
    CreateCatalogObjects(p, s.Settings);
    w.show();
    test::ExpectStudentLogin(p);
    w.action("Login1")->trigger();
    p.expectOpen(FileChoice{{test::SamplesDir() / "FIELD1.FIT"}, 1});
    w.action("LoadImg1")->trigger();
    ASSERT_TRUE(w.action("MeasImg1")->isEnabled());

    p.expectDialog("TObsParmsDlg", [](DialogModel& m) {
      auto& d = static_cast<ObsParmsDlgModel&>(m);
      d.FormActivate();
      d.NameText = "Sample Asteroid";
      return d.OKBtnClick();
    });
    test::ExpectFieldDialog(p);
    w.action("MeasImg1")->trigger();
    EXPECT_TRUE(w.action("MeasImg1")->isChecked());
    TSlctRefForm1* guide = w.guideForm();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->windowTitle(), "Select Reference Stars");
    EXPECT_TRUE(guide->Label1->text().contains("Select at least 3 (more, if possible)"));
    EXPECT_FALSE(guide->AllBtn->isVisibleTo(guide));
    EXPECT_EQ(guide->frameGeometry().topLeft(),
              QPoint(500 - guide->frameGeometry().width() / 2, 520));
    TImageForm1Widget* imageForm = w.imageForm(0);
    ASSERT_NE(imageForm, nullptr);
    EXPECT_TRUE(imageForm->isVisible());

    TImageForm1& img = *s.ImageWindows[0];
    const auto& file = static_cast<const FITSFileObj&>(*s.ImageFiles[0]);
    const auto stars = test::ReadSampleStars();
    const auto refs = test::GoodReferences(stars, file, 6);
    ASSERT_EQ(refs.size(), 6u);
    ASSERT_TRUE(s.GSCForm1);
    for (const auto& r : refs) test::PickOnField(p, *s.GSCForm1, r);
    guide->OKBtn->click();
    EXPECT_EQ(guide->windowTitle(), "Locate Reference Stars");
    auto click = [&](long double ra, long double dec) {
      long double x, y;
      test::OnImage(file, ra, dec, x, y);
      int cx, cy;
      test::ClientOf(img, x, y, cx, cy);
      img.FormMouseDown(MouseButton::Left, cx, cy);
      img.FormMouseUp(MouseButton::Left, cx, cy);
    };
    for (int i = 0; i < 3; ++i) {
      const RefStarRec* r = img.RefList.Item(s.SlctRefForm1.RefNum - 1);
      click(r->CatRA, r->CatDec);
      guide->OKBtn->click();
    }
    EXPECT_TRUE(guide->AllBtn->isVisibleTo(guide)) << "Accept after the third";
    Grab(*imageForm, "road-predicted.png");
    guide->AllBtn->click();
    EXPECT_EQ(guide->windowTitle(), "Locate Unknown");
    const auto truth = test::ReadTruth();
    click(truth[0].ra, truth[0].dec);
    p.expectMessage(ModalResult::No, "Target Sky OK?");
    guide->OKBtn->click();
    ASSERT_EQ(guide->windowTitle(), "Read Sky Background");
    long double tx, ty;
    test::OnImage(file, truth[0].ra, truth[0].dec, tx, ty);
    int cx, cy;
    test::ClientOf(img, tx - 30, ty + 30, cx, cy);
    img.FormMouseDown(MouseButton::Left, cx, cy);
    img.FormMouseUp(MouseButton::Left, cx, cy);
    guide->OKBtn->click();
    ASSERT_EQ(guide->windowTitle(), "Solution OK?");
    // The submenu as the student sees it follows the solution, not only its
    // command: enabled by a solve, disabled by a go-back that discards it.
    QAction* solutionResults = ImageItem(*imageForm, "&Solution Results...");
    ASSERT_NE(solutionResults, nullptr);
    EXPECT_TRUE(solutionResults->isEnabled());
    TInfoListForm1* report = w.listForm(*img.ReportWin);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->windowTitle(), "Image 1 - Astrometric Solution");
    EXPECT_EQ(report->pos(), QPoint(20, 20));
    // The read-out under the cursor, now that the plate is solved.
    img.ShowCursorCoords(200, 200);
    EXPECT_TRUE(img.CursorRAText.rfind("RA:   10h 30m 07", 0) == 0) << img.CursorRAText;
    // "View/Print..." brings the report back in its normal state, on top.
    report->setWindowState(Qt::WindowMinimized);
    img.ViewPrint1Click();
    EXPECT_FALSE(report->isMinimized());
    EXPECT_TRUE(report->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    Grab(*imageForm, "road-solved.png");
    Grab(*guide, "road-guide.png");
    Grab(*report, "road-report.png");

    // The go-back dialog from the solution, answered with "Return".
    p.expectDialog("TRefCnclForm1", [](DialogModel& m) {
      auto& d = static_cast<RefCnclModel&>(m);
      TRefCnclForm1 form(d);
      EXPECT_EQ(form.windowTitle(), "\"Cancel\" Options");
      EXPECT_TRUE(form.Buttons[RefCnclModel::AddRef]->isChecked());
      EXPECT_TRUE(form.Buttons[RefCnclModel::BkGrnd]->isEnabled());
      form.Buttons[RefCnclModel::RefRtrn]->setChecked(true);
      form.OKBtnClick(true);
      return ModalResult::OK;
    });
    guide->CnclBtn->click();
    EXPECT_EQ(s.SlctRefForm1.RefCncl.Choice, RefCnclModel::RefRtrn);
    EXPECT_EQ(guide->windowTitle(), "Solution OK?");
    EXPECT_TRUE(solutionResults->isEnabled()) << "a return keeps the solution";

    // Not recorded now: the item stays for later, until the student goes
    // back to the target, which leaves nothing solved to record.
    p.expectMessage(ModalResult::No, "Add to Report?");
    guide->OKBtn->click();
    EXPECT_EQ(guide->windowTitle(), "Measurement Completed");
    QAction* addToReport = ImageItem(*imageForm, "&Add to Report List...");
    ASSERT_NE(addToReport, nullptr);
    EXPECT_TRUE(addToReport->isEnabled());
    p.expectDialog("TRefCnclForm1", [](DialogModel& m) {
      auto& d = static_cast<RefCnclModel&>(m);
      d.Checked = RefCnclModel::IDUnkwn;
      d.OKBtnClick();
      return ModalResult::OK;
    });
    guide->CnclBtn->click();
    EXPECT_EQ(guide->windowTitle(), "Locate Unknown");
    EXPECT_FALSE(addToReport->isEnabled());
    EXPECT_FALSE(solutionResults->isEnabled()) << "the go-back discarded the solution";
    click(truth[0].ra, truth[0].dec);
    p.expectMessage(ModalResult::Yes, "Target Sky OK?");
    guide->OKBtn->click();
    ASSERT_EQ(guide->windowTitle(), "Solution OK?");
    EXPECT_TRUE(solutionResults->isEnabled()) << "the next solve brings it back";

    p.expectMessage(ModalResult::Yes, "Add to Report?");
    p.expectMessage(ModalResult::OK, "Measurement Recorded");
    guide->OKBtn->click();
    EXPECT_EQ(guide->windowTitle(), "Measurement Completed");
    EXPECT_FALSE(addToReport->isEnabled()) << "one solution is added once";
    guide->OKBtn->click();
    EXPECT_FALSE(guide->isVisible());
    EXPECT_FALSE(imageForm->isVisible());
    ASSERT_EQ(s.Report->Observations.Count(), 1);
    const ObsRec& o = *s.Report->Observations.Item(0);
    EXPECT_LT(test::Separation(o.Target.RA, o.Target.Dec, truth[0].ra, truth[0].dec), 0.5L);
    p.verify();
  }
  FreeCatalogObjects();
  FreeImageDialogs();
  Bendulak = nullptr;
  LoginToFill = nullptr;
}

}  // namespace
}  // namespace hv
