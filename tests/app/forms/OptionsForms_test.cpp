#include "app/forms/OptionsForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QTimer>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

// Saves what the form looks like, for a look by eye (HV_GRAB_DIR).
void Grab(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("HV_GRAB_DIR")) {
    w.adjustSize();
    w.grab().save(QString(dir) + "/" + name + ".png");
  }
}

class OptionsForms : public ::testing::Test {
 protected:
  void SetUp() override {
    SetOptsDefaults(opts.Settings, 48213);
    opts.Settings.OptsFileName = "ASTXOPTS.INI";
    EncodePassword("Secret", opts.Settings.Password, opts.Settings.PasswordLen);
    opts.Settings.FieldSize = 15;
    opts.Settings.MagLimit = 17.5f;
    opts.Settings.HeaderTime = HeaderTimeCode::Middle;
    opts.Settings.TableNumber = "7";
    OptsToEdit = &opts;
  }
  void TearDown() override { OptsToEdit = nullptr; }
  test::Scripted p;
  OptsObj opts{p};
};

TEST_F(OptionsForms, OptionsFormShowsAndStoresTheRecord) {
  TOptionsDlg model(p);
  TOptionsDlgForm f(model);
  Grab(f, "SoftwareOptions");
  EXPECT_EQ(f.windowTitle(), "Software Options");
  EXPECT_FALSE(f.FlTypeGrp->isEnabled());
  EXPECT_EQ(f.FlTypeGrp->ItemIndex(), 0);
  EXPECT_TRUE(f.TimeTypGrp->isEnabled());
  EXPECT_EQ(f.TimeTypGrp->ItemIndex(), 1);
  EXPECT_FALSE(f.CatlgGrp->isEnabled());
  EXPECT_EQ(f.SizeEd->text(), "15.0");
  EXPECT_EQ(f.MagEd->text(), "17.5");
  EXPECT_EQ(f.TblNumEd->maxLength(), 4);
  EXPECT_EQ(f.PWEd->maxLength(), 16);
  EXPECT_EQ(f.PWEd->echoMode(), QLineEdit::Password);
  EXPECT_EQ(f.PWEd->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, f.PWEd),
            '#');
  EXPECT_EQ(f.PWEd->text(), "Secret");
  EXPECT_EQ(f.BoxBtn->text(), "\"&Box\"");
  EXPECT_EQ(f.AdminBox->text(), "\"Administrator\"");

  f.SolutionGrp->SetItemIndex(2);
  f.TestBox->setChecked(true);
  f.SizeEd->setText("30");
  f.OKBtnClick();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(opts.Settings.SolutionOrder, SolutionCode::Quadratic);
  EXPECT_TRUE(opts.Settings.TestMode);
  EXPECT_EQ(opts.Settings.FieldSize, 30.0f);
  EXPECT_EQ(opts.Settings.HeaderTime, HeaderTimeCode::Middle);
}

TEST_F(OptionsForms, TheSizeIsInArcMinutesAndAnOutOfRangeSizeKeepsTheFormOpen) {
  TOptionsDlg model(p);
  TOptionsDlgForm f(model);
  bool minutes = false;
  for (QLabel* l : f.findChildren<QLabel*>()) {
    EXPECT_NE(l->text(), "Size (Arc Secs)");
    minutes = minutes || l->text() == "Size (Arc Mins)";
  }
  EXPECT_TRUE(minutes);
  f.SizeEd->setText("1e26");
  p.expectMessage(ModalResult::OK, "Value Out of Range!", "Field Size");
  f.OKBtnClick();
  EXPECT_NE(f.result(), QDialog::Accepted);
  EXPECT_EQ(opts.Settings.FieldSize, 15.0f);
  f.SizeEd->setText("20");
  f.OKBtnClick();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(opts.Settings.FieldSize, 20.0f);
}

TEST_F(OptionsForms, ClosingTheOptionsFormPutsTheRecordBack) {
  OptsRec before = opts.Settings;
  TOptionsDlg model(p);
  TOptionsDlgForm f(model);
  f.TblNumEd->setText("99");
  f.OKBtnClick();  // the record changed ...
  EXPECT_EQ(opts.Settings.TableNumber, "99");
  f.reject();  // ... and the close box puts it back
  EXPECT_EQ(opts.Settings, before);
}

TEST_F(OptionsForms, St4ShowsNoHeaderTime) {
  opts.Settings.ImageFileType = ImageFileTypeCode::ST4;
  TOptionsDlg model(p);
  TOptionsDlgForm f(model);
  EXPECT_EQ(f.FlTypeGrp->ItemIndex(), 1);
  EXPECT_EQ(f.TimeTypGrp->ItemIndex(), -1);
  EXPECT_FALSE(f.TimeTypGrp->isEnabled());
}

TEST_F(OptionsForms, FileOptionsFormShowsItsPagesAndBrowses) {
  opts.Settings.GSCPath1 = "/media/gsc/";
  TFileOptsDlg model(p);
  TFileOptsDlgForm f(model);
  f.PageControl1->setCurrentIndex(1);
  Grab(f, "FileNameOptions-Catalogs");
  f.PageControl1->setCurrentIndex(2);
  Grab(f, "FileNameOptions-Data");
  f.PageControl1->setCurrentIndex(0);
  Grab(f, "FileNameOptions-System");
  EXPECT_EQ(f.windowTitle(), "File Name Options");
  EXPECT_EQ(f.PageControl1->count(), 3);
  EXPECT_EQ(f.PageControl1->tabText(0), "System Files");
  EXPECT_EQ(f.PageControl1->tabText(1), "Star Catalogs");
  EXPECT_EQ(f.PageControl1->tabText(2), "Data Files");
  EXPECT_EQ(f.LogFlEd->text(), "VESKLOG.LOG");
  EXPECT_EQ(f.GSCPath1Ed->text(), "/media/gsc/");
  EXPECT_FALSE(f.AstrTtlEd->isEnabled());
  EXPECT_FALSE(f.CamFlEd->isEnabled());
  EXPECT_EQ(f.LogoEd->maxLength(), 71);
  EXPECT_EQ(f.StnsFlEd->maxLength(), 255);

  p.expectFolder(std::filesystem::path("/media/disc2"));
  f.Browse(f.GSCPath2Ed);
  EXPECT_EQ(f.GSCPath2Ed->text(), "/media/disc2/");
  f.Browse(f.CamFlEd);  // a disabled edit is not browsed
  f.GSCPath1Ed->setText("/mnt/cat");
  f.OKBtnClick();
  EXPECT_EQ(opts.Settings.GSCPath1, "/mnt/cat/");
  EXPECT_EQ(opts.Settings.GSCPath2, "/media/disc2/");
}

TEST_F(OptionsForms, PasswordFormsMaskTheirEntries) {
  TPasswordDlg model(p);
  model.Init("Secret", "48213");
  TPasswordDlgForm f(model);
  Grab(f, "PasswordRequired");
  EXPECT_EQ(f.windowTitle(), "Password Required");
  EXPECT_EQ(
      f.Password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, f.Password),
      '*');
  f.Password->setText("48213");
  f.OKBtnClick();
  EXPECT_EQ(f.Result, ModalResult::Yes);

  std::string text = "New";
  NewPasswordText = &text;
  TPasswordDlg1 confirm;
  TPasswordDlg1Form c(confirm);
  Grab(c, "ConfirmPasswordChange");
  EXPECT_EQ(c.windowTitle(), "Confirm Password Change");
  // Both small dialogs show their whole caption in the title bar.
  for (QDialog* d : {static_cast<QDialog*>(&f), static_cast<QDialog*>(&c)})
    EXPECT_GE(d->sizeHint().width(), TitleFitWidth(d->windowTitle()))
        << d->windowTitle().toStdString();
  c.Password->setText("New");
  c.OKBtnClick();
  EXPECT_TRUE(confirm.Confirmed);
  NewPasswordText = nullptr;
}

// What is typed is what is stored and compared: accented letters up to the
// edit's limit of 16 change and confirm; letters the file cannot keep (no
// Latin-1 byte) are refused as they are typed, in all three password edits.
TEST_F(OptionsForms, PasswordEditsTypeWhatIsStored) {
  TOptionsDlg model(p);
  TOptionsDlgForm f(model);
  f.PWEd->clear();
  const QString accented = QString::fromUtf8(
      "\u00e9\u00e8\u00ea\u00eb\u00e0\u00e2\u00e4\u00f6"
      "\u00fc\u00e7\u00f1\u00e5\u00f8\u00e6\u00df\u00ee");
  f.PWEd->insert(accented + QString::fromUtf8("\u00ef"));
  EXPECT_EQ(f.PWEd->text(), accented) << "the 17th is cut by the edit";
  f.PWEd->insert(QString::fromUtf8("\u0416"));
  EXPECT_EQ(f.PWEd->text(), accented);
  p.expectDialog("TPasswordDlg1", [&](DialogModel& m) {
    TPasswordDlg1Form c(static_cast<TPasswordDlg1&>(m));
    c.Password->insert(QString::fromUtf8("\u0416\u0436"));
    EXPECT_TRUE(c.Password->text().isEmpty());
    c.Password->insert(accented);
    c.OKBtnClick();
    return ModalResult::OK;
  });
  p.expectMessage(ModalResult::OK, "Password Confirmed");
  f.OKBtnClick();
  EXPECT_EQ(DecodePassword(opts.Settings.Password, opts.Settings.PasswordLen), FromQ(accented));
  EXPECT_EQ(opts.Settings.PasswordLen, 16);
  // The login's prompt takes the same text.
  TPasswordDlg login(p);
  login.Init(FromQ(accented), "48213");
  TPasswordDlgForm l(login);
  l.Password->insert(QString::fromUtf8("\u0416"));
  l.Password->insert(accented);
  l.OKBtnClick();
  EXPECT_EQ(l.Result, ModalResult::OK);
  p.verify();
}

TEST_F(OptionsForms, RegisteredWithThePlatform) {
  RegisterOptionsForms();
  QtPlatform qt;
  TPasswordDlg model(qt);
  model.Init("Secret", "");
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* f = dynamic_cast<TPasswordDlgForm*>(w); f && f->isVisible()) {
        f->Password->setText("Secret");
        f->OKBtnClick();
      }
  });
  EXPECT_EQ(qt.showDialog(model), ModalResult::OK);

  OptsRec before = opts.Settings;
  TOptionsDlg options(qt);
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* f = dynamic_cast<TOptionsDlgForm*>(w); f && f->isVisible()) {
        f->TblNumEd->setText("55");
        f->reject();
      }
  });
  EXPECT_EQ(qt.showDialog(options), ModalResult::Cancel);
  EXPECT_EQ(opts.Settings, before);
}

}  // namespace
}  // namespace hv
