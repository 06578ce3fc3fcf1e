#include "astrometry/forms/CatalogForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

TEST(CatalogForms, PathDialogShowsItsModelAndStoresTheEntry) {
  test::Scripted p;
  TCatlgPathDlg model(p);
  model.Caption = "GSC Regions Table Not Found";
  model.What = "Guide Star Catalog Regions Table";
  model.PathTried = "/srv/catalog/";
  model.Drive = "/media/cdrom/";
  model.NotFound = true;
  TCatlgPathForm dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "GSC Regions Table Not Found");
  EXPECT_TRUE(dlg.DlgText->text().startsWith(
      "Unable to access Guide Star Catalog Regions Table at location \"/srv/catalog/\"."));
  EXPECT_EQ(dlg.DrvLbl->text(), "CD-ROM Drive");
  EXPECT_EQ(dlg.DrvEd->text(), "/media/cdrom/");
  dlg.DrvEd->setText("/media/cdrom1");
  dlg.OkBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(model.Drive, std::filesystem::path("/media/cdrom1/"));
}

TEST(CatalogForms, BrowseIsRetryThroughThePlatform) {
  RegisterCatalogForms();
  QtPlatform qt;
  test::Scripted p;
  TCatlgPathDlg model(p);
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = dynamic_cast<TCatlgPathForm*>(w); d && d->isVisible()) d->BrwsBtn->click();
  });
  EXPECT_EQ(qt.showDialog(model), ModalResult::Retry);
}

TEST(CatalogForms, InformationBoxFollowsItsModel) {
  InfoForm = std::make_unique<TInfoForm>();
  CreateCatalogForms();
  InfoForm->ShowText("Guide Star Catalog", "Loading GSC Regions File.");
  TInfoBox* box = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = dynamic_cast<TInfoBox*>(w)) box = b;
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->windowTitle(), "Guide Star Catalog");
  EXPECT_EQ(box->Label1->text(), "Loading GSC Regions File.");
  InfoForm->Hide();
  EXPECT_FALSE(box->isVisible());
  FreeCatalogForms();
  InfoForm.reset();
}

}  // namespace
}  // namespace hv
