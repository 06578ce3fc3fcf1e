#include "app/forms/SiteCamForms.h"

#include <gtest/gtest.h>

#include <QMenuBar>
#include <QTimer>
#include <cstdlib>

#include "app/Folders.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

void Grab(QWidget& w, const char* name) {
  if (const char* out = std::getenv("HV_GRAB")) {
    w.adjustSize();
    w.grab().save(QString(out) + "/" + name);
  }
}

struct SiteCamForms : ::testing::Test {
  test::Scripted p;
  fs::path program = test::FreshFolder("program");
  OptsRec settings;
  SiteRec site = DefaultSite();
  CamRec cam = DefaultCamera();
  UserRec user;
  SiteCamForms() {
    SetOptsDefaults(settings, 1);
    settings.ProgramFolder = WithSeparator(program);
    SiteToEdit = &site;
    CameraToEdit = &cam;
    UserToEdit = &user;
  }
  ~SiteCamForms() override { ResetRecordsToEdit(); }
};

TEST_F(SiteCamForms, SiteDialogShowsTheRecordAndStaysOpenOnARefusedEntry) {
  site.Name = "Back Garden";
  site.LonDeg = "75";
  site.LonMin = "30";
  site.LonSec = "";
  site.West = true;
  site.Altitude = 1234.56f;
  ASSERT_TRUE(SiteNumbersFromTexts(site));
  SiteParmsDlgModel model(p, settings);
  TSiteParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Observatory (Site) Information");
  EXPECT_EQ(dlg.LngDegEd->text(), "75");
  EXPECT_EQ(dlg.LngDegEd->maxLength(), 10);
  EXPECT_EQ(dlg.LngSecEd->toolTip(), "0.0 - 59.99");
  EXPECT_EQ(dlg.ObsCdEd->toolTip(), "3-Digit Observatory Code (or \"999\")");
  EXPECT_TRUE(dlg.WestBtn->isChecked());
  EXPECT_FALSE(dlg.EastBtn->isChecked());
  EXPECT_EQ(dlg.HtEd->text(), "1234.6");
  EXPECT_TRUE(dlg.FileBtn->isDefault());
  EXPECT_FALSE(dlg.OKBtn->isDefault());
  EXPECT_EQ(dlg.PopupMenu1->actions().size(), 3);
  dlg.show();
  Grab(dlg, "sitedlg.png");

  const SiteRec before = site;
  dlg.ZnEd->setText("");
  p.expectMessage(ModalResult::OK, "Numeric Conversion Error!",
                  "Input String Contains Non-Numeric Characters!");
  dlg.OKBtn->click();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(site, before);

  dlg.ZnEd->setText("-1");
  dlg.EastBtn->setChecked(true);
  dlg.OKBtn->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(site.Longitude, 75.5f);
  EXPECT_EQ(site.TimeZone, -1.0f);
}

TEST_F(SiteCamForms, BaselineUseDisablesItsFieldsAndSave) {
  SiteParmsDlgModel model(p, settings);
  model.SetBaselineUse(1);
  TSiteParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Baseline Parameters - Site1");
  EXPECT_FALSE(dlg.HtEd->isEnabled());
  EXPECT_FALSE(dlg.ZnLbl->isEnabled());
  EXPECT_FALSE(dlg.SaveSite1->isEnabled());
  EXPECT_TRUE(dlg.FindSite1->isEnabled());
}

TEST_F(SiteCamForms, PickListIsAModalNormalWindowWhoseAccessFillsTheDialog) {
  Encoder e;
  for (const char* name : {"Zulu", "Alpha"}) {
    SiteRec s = DefaultSite();
    s.Name = name;
    s.Code = name == std::string("Alpha") ? "A01" : "Z01";
    EncodeSiteRec(e, s);
  }
  WriteFileAtomic(program / "ASTSITES.DAT", e.take());
  SiteParmsDlgModel dialog(p, settings);
  SiteListModel model(p, NoListHost(), settings, &dialog);
  SiteListForm form(model);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
  EXPECT_TRUE(form.ActionMenu->menuAction()->isVisible());
  EXPECT_FALSE(form.EditMenu->menuAction()->isVisible());
  bool ran = false;
  QTimer::singleShot(0, &form, [&] {
    ran = true;
    EXPECT_EQ(form.windowTitle(), "Select a Site");
    ASSERT_EQ(form.ListBox1->count(), 2);
    EXPECT_EQ(form.ListBox1->item(0)->text(), "Alpha");
    Grab(form, "sitelist.png");
    form.ListBox1->setCurrentRow(0);
    form.AccessSelectedRecord1->trigger();
  });
  form.Exec();  // returns when the access hides the list
  EXPECT_TRUE(ran);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(dialog.ObsNmText, "Alpha");
  EXPECT_EQ(dialog.ObsCdText, "A01");
}

TEST_F(SiteCamForms, CameraDialogSwitchesBetweenDefaultAndCurrent) {
  cam.Name = "ST-7";
  cam.PixelWidth = 9;
  cam.ImageWidth = 765;
  cam.Filter = 2;
  CamParmsDlgModel model(p, settings, nullptr);
  TCamParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Camera Parameters");
  EXPECT_EQ(dlg.NameEd->text(), "ST-7");
  EXPECT_EQ(dlg.WdthEd->text(), "9.0");
  EXPECT_EQ(dlg.WdPixEd->text(), "765");
  EXPECT_EQ(dlg.MagButtons->checkedId(), 2);
  EXPECT_EQ(dlg.ShowButtons->checkedId(), 0);
  EXPECT_EQ(dlg.MagButtons->button(8)->text(), "Un&Kwn");
  dlg.show();
  Grab(dlg, "camdlg.png");
  // "C&urrent" without a report goes back to the default.
  dlg.ShowButtons->button(1)->click();
  EXPECT_EQ(dlg.ShowButtons->checkedId(), 0);
  // Save leaves a bad number to the application's error box; the dialog
  // stays and nothing is written.
  dlg.AptrEd->setText("x");
  p.expectMessage(ModalResult::Yes, "Confirm", "Write Current Camera Data to File?");
  p.expectMessage(ModalResult::OK, "Halvardin", "'x' is not a valid floating point value");
  dlg.SaveCam1->trigger();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(fs::exists(program / "ASTCAMS.DAT"));
  EXPECT_EQ(dlg.AptrEd->text(), "x") << "what was typed stays";
  dlg.AptrEd->setText("200");
  dlg.HtPixEd->setText("510");
  dlg.MagButtons->button(7)->click();
  dlg.OKBtn->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(cam.ImageHeight, 510);
  EXPECT_EQ(cam.Filter, 7);
}

TEST_F(SiteCamForms, UserDialogTextsAndCapacities) {
  user.ContactName = "A. Student";
  UsrParmsDlgModel model;
  TUsrParmsDlg dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "User Information");
  EXPECT_EQ(dlg.NameEd->text(), "A. Student");
  EXPECT_EQ(dlg.CntryEd->maxLength(), 20);
  EXPECT_EQ(dlg.ObsEd->maxLength(), 255);
  dlg.show();
  Grab(dlg, "usrdlg.png");
  dlg.EMailEd->setText("student@example.org");
  dlg.OKBtn->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(user.EMail, "student@example.org");
}

}  // namespace
}  // namespace hv
