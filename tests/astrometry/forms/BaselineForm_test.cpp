#include "astrometry/forms/BaselineForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/forms/InfoListForm.h"
#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class Host : public ReportHost {
 public:
  fs::path ReportFolder() const override { return fs::current_path(); }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
  bool ReportSaved() const override { return true; }
  void SetReportSaved(bool) override {}
  void EnableReportMenu() override {}
  void SetViewPrintSaveEnabled(bool) override {}
  void SpreadsheetWritten(const fs::path&) override {}
  bool NoConfirm() const override { return false; }
};

class BaselineForm : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetBaselineState();
    p.clock = {2004, 3, 5, 7, 5, 9, 0, 0};
  }
  void TearDown() override { ResetBaselineState(); }
  test::Scripted p;
  Host host;
  OptsRec settings;
  AstromObsObj report{p, host};
};

TEST_F(BaselineForm, ShowsTheModelAndStoresWhatWasTyped) {
  RefStarRec target;
  target.RA = 5.5L;
  ObsParmsRec parms;
  parms.ObsTime = 38416.25;
  report.AddObservation(target, parms);
  BaselineDlgModel model(p, host, settings, &report);
  TBaselineDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Compute Baseline Between Two Sites");
  EXPECT_EQ(dlg.YMDInEd1->text(), "2004-03-05");
  EXPECT_EQ(dlg.HMSInEd1->text(), "07:05:09");
  EXPECT_EQ(dlg.YMDInEd1->maxLength(), 10);
  EXPECT_EQ(dlg.HMSInEd1->maxLength(), 8);
  EXPECT_EQ(dlg.JDEd1->maxLength(), 15);
  EXPECT_EQ(dlg.YMDInEd1->toolTip(), "Use Full (4 digit) Year");
  EXPECT_TRUE(dlg.CalendarBtn->isChecked());
  EXPECT_FALSE(dlg.JDEd1->isEnabled());
  EXPECT_FALSE(dlg.OkBtn->isEnabled());
  EXPECT_TRUE(dlg.ObsBtn->isEnabled());
  EXPECT_EQ(dlg.DecDeg1->toolTip(), "89 - -89");

  // The mode switch keeps what was typed.
  dlg.RAHr1->setText("12");
  dlg.JulianBtn->click();
  EXPECT_TRUE(dlg.JDEd1->isEnabled());
  EXPECT_FALSE(dlg.YMDInEd1->isEnabled());
  EXPECT_EQ(dlg.RAHr1->text(), "12");
  dlg.CalendarBtn->click();

  dlg.RAMin1->setText("30");
  dlg.DecDeg1->setText("-0");
  dlg.DecMin1->setText("30");
  dlg.OkBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(BaselineRA, 12.5L);
  EXPECT_EQ(BaselineDec, -0.5L);
  ASSERT_TRUE(BaselineRptForm);
  EXPECT_EQ(BaselineRptForm->Lines()[9], "    RA:  12h 30m 00.00s ");

  // Out of range: the warning, the dialog stays.
  TBaselineDlg again(model);
  again.RAHr1->setText("25");
  p.expectMessage(ModalResult::OK, "Input Error!", "Error in Right Ascension Value");
  again.OkBtnClick();
  EXPECT_NE(again.result(), QDialog::Accepted);
  EXPECT_EQ(again.RAHr1->text(), "25");

  if (const char* out = std::getenv("HV_GRAB")) {
    dlg.show();
    QApplication::processEvents();
    dlg.grab().save(out);
  }
}

TEST_F(BaselineForm, PickerWaitsForALineInTheReportWindow) {
  RegisterBaselineForms();
  QtPlatform qt;
  for (double t : {38416.25, 38417.5}) {
    RefStarRec target;
    target.RA = t - 38410;
    ObsParmsRec parms;
    parms.ObsTime = t;
    report.AddObservation(target, parms);
  }
  ObsSlctModel picker(qt, report);
  // A title line first (refused, the picker stays), then the second
  // measurement.
  int step = 0;
  std::function<void()> act = [&] {
    TInfoListForm1* list = nullptr;
    TObsSlctForm* form = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* l = dynamic_cast<TInfoListForm1*>(w); l && l->isVisible()) list = l;
      if (auto* f = dynamic_cast<TObsSlctForm*>(w); f && f->isVisible()) form = f;
    }
    if (!list || !form) {
      QTimer::singleShot(10, act);
      return;
    }
    AstromListModel& m = *report.ListForm;
    if (step++ == 0) {
      EXPECT_EQ(list->ListBox1->currentRow(), m.FirstDataLine);
      EXPECT_EQ(list->windowModality(), Qt::ApplicationModal);
      list->ListBox1->setCurrentRow(0);
      form->OKBtn->click();
      EXPECT_EQ(form->windowTitle(), "Not an Observation Record!");
      EXPECT_TRUE(form->isVisible());
      if (const char* out = std::getenv("HV_GRAB_PICKER")) form->grab().save(out);
      QTimer::singleShot(0, act);
      return;
    }
    list->ListBox1->setCurrentRow(m.FirstDataLine + 1);
    form->OKBtn->click();
  };
  QTimer::singleShot(0, act);
  EXPECT_EQ(qt.showDialog(picker), ModalResult::OK);
  EXPECT_EQ(ObsSlctIndex, 1);
  EXPECT_FALSE(report.ListForm->Visible);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* l = dynamic_cast<TInfoListForm1*>(w)) {
      EXPECT_FALSE(l->isVisible());
    }
  }
}

}  // namespace
}  // namespace hv

namespace hv {
namespace {

TEST_F(BaselineForm, ClosingTheReportWindowCancelsThePicker) {
  RegisterBaselineForms();
  QtPlatform qt;
  RefStarRec target;
  ObsParmsRec parms;
  parms.ObsTime = 38416.25;
  report.AddObservation(target, parms);
  ObsSlctIndex = -1;
  ObsSlctModel picker(qt, report);
  std::function<void()> act = [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* l = dynamic_cast<TInfoListForm1*>(w); l && l->isVisible()) {
        l->close();
        return;
      }
    QTimer::singleShot(10, act);
  };
  QTimer::singleShot(0, act);
  EXPECT_EQ(qt.showDialog(picker), ModalResult::Cancel);
  EXPECT_EQ(ObsSlctIndex, -1);
}

}  // namespace
}  // namespace hv
