#include "astrometry/forms/FldParmsForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class FldParmsForm : public ::testing::Test {
 protected:
  FldParmsForm() {
    settings.FieldSize = 15.0f;
    settings.MagLimit = 16.0f;
    ResetFldParms(settings);
    CurFldParms.RACenter = 10.5L;
    CurFldParms.DecCenter = -0.25L;
    CurFldParms.Color = 1;
  }
  ~FldParmsForm() override { ResetFldParms(OptsRec{}); }
  test::Scripted p;
  OptsRec settings;
};

TEST_F(FldParmsForm, ShowsTheModelAndStoresWhatWasTyped) {
  FldParmsDlgModel model(p, settings);
  int saves = 0;
  model.OptionsChanged = [&] { ++saves; };
  TFldParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Enter/Verify Field Parameters");
  EXPECT_EQ(dlg.RAHr->text(), "10");
  EXPECT_EQ(dlg.RAMin->text(), "30");
  EXPECT_EQ(dlg.RASec->text(), "0.00");
  EXPECT_EQ(dlg.DecDeg->text(), "-0");
  EXPECT_EQ(dlg.DecMin->text(), "15");
  EXPECT_EQ(dlg.SizEd->text(), "15.0");
  EXPECT_EQ(dlg.MagEd->text(), "16.0");
  EXPECT_FALSE(dlg.OnLnBox->isChecked());
  EXPECT_FALSE(dlg.ColorGrp->isEnabled());
  EXPECT_TRUE(dlg.ColorItems[2]->isChecked());
  EXPECT_EQ(dlg.ColorItems[3]->text(), "&J (IR)");

  dlg.OnLnBox->click();
  EXPECT_TRUE(dlg.ColorGrp->isEnabled());
  EXPECT_TRUE(dlg.ColorItems[1]->isChecked());

  // A bad RA keeps the dialog open.
  dlg.RAHr->setText("25");
  p.expectMessage(ModalResult::OK, "Input Error!", "Right Ascension is Invalid!");
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_TRUE(p.allAnswered());

  dlg.RAHr->setText("1");
  dlg.MagEd->setText("17");
  dlg.ColorItems[5]->click();
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(CurFldParms.RACenter, 1.5L);
  EXPECT_EQ(CurFldParms.Color, 5);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(settings.MagLimit, 17.0f);
  EXPECT_EQ(saves, 1);  // the new catalog and the new limit together
}

TEST_F(FldParmsForm, RegisteredAndEscapeGivesTheItemsBack) {
  RegisterFldParmsForm();
  QtPlatform qt;
  FldParmsDlgModel model(p, settings);
  bool region = true;
  FldParmsDlgModel::RefWindowItems items;
  items.SetRegionParametersEnabled = [&](bool e) { region = e; };
  model.RefWindow = items;
  const FldParmsRec before = CurFldParms;
  bool heldWhileOpen = false;
  QTimer::singleShot(0, [&] {
    heldWhileOpen = !region;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
  });
  EXPECT_EQ(qt.showDialog(model), ModalResult::Cancel);
  EXPECT_TRUE(heldWhileOpen);
  EXPECT_TRUE(region);
  EXPECT_EQ(CurFldParms, before);
}

}  // namespace
}  // namespace hv
