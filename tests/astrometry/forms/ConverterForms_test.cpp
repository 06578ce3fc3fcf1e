#include "astrometry/forms/ConverterForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>

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

  // A real double-click on each field browses from that field and fills
  // that field only; an emptied input field starts at the program folder.
  dlg.InPath1Ed->clear();
  struct Case {
    const char* name;
    TBrowseEdit* edit;
    const char* start;
    const char* chosen;
  };
  const Case cases[] = {
      {"volume 1", dlg.InPath1Ed, "/prog/", "/srv/gsc1"},
      {"volume 2", dlg.InPath2Ed, "/cd/", "/srv/gsc2"},
      {"output", dlg.OutPathEd, "/work/GSC_VESK/", "/srv/out"},
  };
  for (const Case& c : cases) {
    const QString others[] = {dlg.InPath1Ed->text(), dlg.InPath2Ed->text(), dlg.OutPathEd->text()};
    p.expectFolder(fs::path(c.chosen));
    const QPointF at(5, 5);
    QMouseEvent click(QEvent::MouseButtonDblClick, at, c.edit->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(c.edit, &click);
    ASSERT_FALSE(p.transcript().empty()) << c.name;
    EXPECT_NE(p.transcript().back().find(std::string("from ") + c.start), std::string::npos)
        << c.name << ": " << p.transcript().back();
    EXPECT_EQ(c.edit->text(), QString(c.chosen) + "/") << c.name;
    TBrowseEdit* all[] = {dlg.InPath1Ed, dlg.InPath2Ed, dlg.OutPathEd};
    for (int i = 0; i < 3; ++i) {
      if (all[i] != c.edit) {
        EXPECT_EQ(all[i]->text(), others[i]) << c.name;
      }
    }
  }
  EXPECT_TRUE(p.allAnswered());

  dlg.OutPathEd->setText("/srv/gsc1");
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
  // A folder long enough to wrap is shown whole.
  GaugeForm2->UpdateProgress(
      "/home/instructor/catalogs/converted/guide star catalog/a long folder name/GSC/N0000/",
      "0006.BIN", 6);
  QApplication::processEvents();
  EXPECT_GE(w->DirName->height(), w->DirName->heightForWidth(w->DirName->width()));
  EXPECT_GT(w->DirName->height(), w->PrCntText->height());

  // The close box while running is the Cancel button: No keeps it going.
  p.expectMessage(ModalResult::No, "Cancel Current Processing?", "Terminate?");
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(GaugeForm2->Running);

  // Finished: modeless, OK closes it.
  GaugeForm2->FinishProgress();
  EXPECT_FALSE(GaugeForm2->Running);
  EXPECT_EQ(w->windowModality(), Qt::NonModal);
  EXPECT_FALSE(w->OKBtn->isHidden());
  EXPECT_TRUE(w->CnclBtn->isHidden());
  EXPECT_TRUE(w->close());  // the close box asks nothing now
  EXPECT_FALSE(GaugeForm2->Visible);
  GaugeForm2->StartProgress("Converting GSC to VESK Format", "", 10, "Terminate?");
  GaugeForm2->FinishProgress();
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
