#include "astrometry/forms/ObsParmsForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

TEST(ObsParmsForm, ShowsTheModelAndStoresWhatWasTyped) {
  test::Scripted p;
  ObsParmsRec rec;
  rec.ObjName = "Eros";
  rec.Number = "433";
  rec.ObsTime = 38416.1;
  rec.ObjType = 1;
  ObsParmsDlgModel model(p);
  model.FormCreate();
  model.ParmsRec = &rec;
  model.CaptionText = "Edit Parameters";
  TObsParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Observation Parameters - Edit Parameters");
  EXPECT_EQ(dlg.DateEd->text(), "2005-03-05");
  EXPECT_EQ(dlg.TimeEd->text(), "02:24:00");
  EXPECT_EQ(dlg.NameLbl->text(), "Obs. Name/ID");
  EXPECT_TRUE(dlg.CometBtn->isChecked());
  EXPECT_FALSE(dlg.NumEd->isEnabled());
  EXPECT_EQ(dlg.NumEd->text(), "433");
  EXPECT_FALSE(dlg.DiscvBox->isEnabled());
  EXPECT_TRUE(dlg.HlpBtn->isHidden());
  EXPECT_EQ(dlg.DateEd->maxLength(), 10);
  EXPECT_EQ(dlg.TimeEd->maxLength(), 8);

  dlg.TimeEd->setText("7:5");
  dlg.MinorPlanetBtn->setChecked(true);
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(ObsTimeText(rec.ObsTime), "07:05:00");
  EXPECT_EQ(rec.ObjType, 0);
  EXPECT_EQ(rec.Number, "00433");
}

TEST(ObsParmsForm, RegisteredWithThePlatform) {
  RegisterObsParmsForm();
  QtPlatform qt;
  test::Scripted p;
  ObsParmsRec rec;
  ObsParmsDlgModel model(p);
  model.ParmsRec = &rec;
  // Close the modal dialog as soon as it shows: a cancel.
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
  });
  EXPECT_EQ(qt.showDialog(model), ModalResult::Cancel);
  EXPECT_EQ(rec, ObsParmsRec{});
}

}  // namespace
}  // namespace hv
