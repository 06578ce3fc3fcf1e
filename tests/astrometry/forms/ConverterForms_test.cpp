#include "astrometry/forms/ConverterForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>

#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

TEST(ConverterForms, DialogShowsItsModelBrowsesAndStaysOpenOnARefusal) {
  test::Scripted p;
  OptsRec s;
  s.ProgramFolder = "/prog/";
  TGSCCnvrtForm1 model(p, s);
  model.ConvInPath1 = "/cd/";
  model.ConvInPath2 = "/cd/";
  model.ConvOutPath = "/work/GSC_VESK/";
  TGSCCnvrtDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Convert GSC to VESK Format");
  EXPECT_EQ(dlg.InPath1Lbl->text(), "Input Path - Volume 1");
  EXPECT_EQ(dlg.OutPathLbl->text(), "Output Path:");
  EXPECT_EQ(dlg.InPath2Ed->toolTip(), "Double-click to browse.");
  EXPECT_EQ(dlg.RstrtCk->toolTip(), "Restart unfinished conversion?");
  EXPECT_EQ(dlg.OutPathEd->text(), "/work/GSC_VESK/");

  p.expectFolder(fs::path("/srv/gsc2"));
  dlg.InPath2Ed->DoubleClicked();
  EXPECT_EQ(dlg.InPath2Ed->text(), "/srv/gsc2/");

  dlg.OutPathEd->setText("/cd");
  p.expectMessage(ModalResult::OK, "Same Directory!");
  dlg.OKBtnClick();
  EXPECT_NE(dlg.result(), QDialog::Accepted);
  dlg.OutPathEd->setText("/out");
  dlg.RstrtCk->setChecked(true);
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(model.ConvOutPath, fs::path("/out/"));
  EXPECT_TRUE(model.ConvRestart);
}

TEST(ConverterForms, ProgressWindowIsModalWhileRunningAndItsCloseBoxAsks) {
  test::Scripted p;
  GaugeForm2 = std::make_unique<TGaugeForm2>(p);
  CreateConverterForms();
  TGaugeWindow* w = GaugeWindow();
  ASSERT_NE(w, nullptr);
  GaugeForm2->StartProgress("Converting GSC to VESK Format", "", 10, "Terminate?");
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(w->windowTitle(), "Converting GSC to VESK Format");
  EXPECT_TRUE(w->OKBtn->isHidden());
  GaugeForm2->UpdateProgress("/out/GSC/N0000/", "0005.BIN", 5);
  EXPECT_EQ(w->PrCntText->text(), "50.000");
  EXPECT_EQ(w->Gauge->value(), 50);
  EXPECT_EQ(w->CrntFlText->text(), "0005.BIN");
  EXPECT_EQ(w->CrntFlLbl->text(), "Currrent File:");

  // The close box while running is the Cancel button: No keeps it going.
  p.expectMessage(ModalResult::No, "Cancel Current Processing?", "Terminate?");
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(GaugeForm2->Running);

  // Finished: modeless, OK closes it.
  GaugeForm2->FinishProgress();
  GaugeForm2->Running = false;
  GaugeForm2->Changed();
  EXPECT_EQ(w->windowModality(), Qt::NonModal);
  EXPECT_FALSE(w->OKBtn->isHidden());
  EXPECT_TRUE(w->CnclBtn->isHidden());
  w->OKBtn->click();
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(GaugeForm2->Visible);

  // Cancel answered Yes stops the work and closes the window.
  GaugeForm2->StartProgress("Converting GSC to VESK Format", "", 10, "Terminate?");
  p.expectMessage(ModalResult::Yes, "Cancel Current Processing?");
  w->CnclBtn->click();
  EXPECT_FALSE(GaugeForm2->Running);
  EXPECT_FALSE(w->isVisible());
  FreeConverterForms();
  GaugeForm2.reset();
}

}  // namespace
}  // namespace hv
