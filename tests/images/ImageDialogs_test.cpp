#include "images/ImageDialogs.h"

#include <gtest/gtest.h>

#include "app/Options.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class ImageDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    BoxParms = BoxParmsRec{10, 10, 5};
    CreateImageDialogs();
  }
  void TearDown() override { FreeImageDialogs(); }
};

TEST_F(ImageDialogs, BoxDialogKeepsTheRegionInsideTheBox) {
  TBoxDlgForm1& d = *BoxDlgForm1;
  d.FormActivate();
  EXPECT_EQ(d.BoxWd, 20);
  EXPECT_EQ(d.ImgWd, 20);
  EXPECT_EQ(d.SkyWd, 5);
  d.ImgWdEdChange(6);
  d.BoxWdEdChange(4);
  EXPECT_EQ(d.ImgWd, 4) << "box 4 lowers the region 6";
  d.BoxWdEdChange(8);
  d.ImgWdEdChange(12);
  EXPECT_EQ(d.BoxWd, 12) << "region 12 raises the box 8";
  d.BoxWdEdChange(15);
  d.ImgWdEdChange(2);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(BoxParms.HalfBox, 7) << "an odd width is halved downward";
  d.FormActivate();
  EXPECT_EQ(d.BoxWd, 14);
}

TEST_F(ImageDialogs, BoxDefaultsStoreOnlyOnOk) {
  TBoxDlgForm1& d = *BoxDlgForm1;
  d.FormActivate();
  d.DfltBtnClick();
  EXPECT_EQ(d.BoxWd, 16);
  EXPECT_EQ(d.ImgWd, 2);
  EXPECT_EQ(d.SkyWd, 4);
  EXPECT_EQ(BoxParms, (BoxParmsRec{10, 10, 5})) << "cancel after defaults changes nothing";
  d.OKBtnClick();
  EXPECT_EQ(BoxParms, (BoxParmsRec{8, 1, 4}));
}

TEST_F(ImageDialogs, MagnifierRegionAndCrossHair) {
  ASSERT_EQ(MagnRgnDlg->RegionWidth, 30);
  TCursorWindow& c = *CursorWindow;
  ASSERT_EQ(c.DestRect, (IntRect{0, 0, 151, 151}));
  c.ShowRegion("", 200, 100);
  EXPECT_EQ(c.SourceRect, (IntRect{185, 85, 215, 115}));
  EXPECT_EQ(c.CrossX, 76);  // round(151 x 15 / 30) = round(75.5)
  EXPECT_EQ(c.CrossY, 76);
  EXPECT_EQ(c.Caption, "Cursor Region");
  // An odd width: the square has side 30 (h = 15), the cross is scaled by 31.
  MagnRgnDlg->FormActivate();
  MagnRgnDlg->BoxWdEdChange(31);
  MagnRgnDlg->OKBtnClick();
  c.ShowRegion("Reference #3", 200.25L, 100);
  EXPECT_EQ(c.SourceRect, (IntRect{185, 85, 215, 115}));
  EXPECT_EQ(c.CrossX, 74);  // round(151 x 15.25 / 31) = round(74.29)
  EXPECT_EQ(c.CrossY, 73);  // round(151 x 15 / 31) = round(73.06)
  EXPECT_EQ(c.Caption, "Reference #3");
  MagnRgnDlg->DfltBtnClick();
  EXPECT_EQ(MagnRgnDlg->Edit, 30);
}

TEST_F(ImageDialogs, MagnifierPopupOnlyAfterRightPress) {
  TCursorWindow& c = *CursorWindow;
  EXPECT_FALSE(c.FormMouseUp(true));
  c.FormMouseDown(true);
  EXPECT_TRUE(c.FormMouseUp(true));
  EXPECT_FALSE(c.RightDown);
  EXPECT_FALSE(c.HasRegion());
}

TEST_F(ImageDialogs, FileTypeDialog) {
  test::Scripted p;
  TImgFileTypeDlg d(p);
  OptsRec s;
  FileTypeOpts = &s;
  s.ImageFileType = ImageFileTypeCode::ST4;
  s.HeaderTime = HeaderTimeCode::Middle;
  d.FormActivate();
  EXPECT_EQ(d.FlTypeGrp, 1);
  EXPECT_FALSE(d.FlTypeGrpEnabled);
  EXPECT_EQ(d.TimeTypGrp, -1);
  EXPECT_FALSE(d.TimeTypGrpEnabled);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK) << "header time 1 became 3";
  EXPECT_EQ(s.HeaderTime, HeaderTimeCode::ST4);
  d.FormActivate();
  EXPECT_EQ(d.OKBtnClick(), ModalResult::Cancel) << "nothing changed";

  s.ImageFileType = ImageFileTypeCode::FITS;
  s.HeaderTime = HeaderTimeCode::Start;
  d.FormActivate();
  EXPECT_TRUE(d.TimeTypGrpEnabled);
  d.TimeTypGrpClick(2);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(s.HeaderTime, HeaderTimeCode::End);

  // The ST-4 convention stored with a FITS setting has no item: none is
  // shown, and OK keeps it.
  s.HeaderTime = HeaderTimeCode::ST4;
  d.FormActivate();
  EXPECT_EQ(d.TimeTypGrp, -1);
  EXPECT_TRUE(d.TimeTypGrpEnabled);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::Cancel);
  EXPECT_EQ(s.HeaderTime, HeaderTimeCode::ST4);
  d.FormActivate();
  d.TimeTypGrpClick(1);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(s.HeaderTime, HeaderTimeCode::Middle);

  FileTypeOpts = nullptr;
  p.expectMessage(ModalResult::OK, "Cannot Modify File Type!", "No Options Assigned!");
  d.FormActivate();
  EXPECT_EQ(d.OKBtnClick(), ModalResult::Cancel);
}

TEST_F(ImageDialogs, SelectionKeepsOpenWindows) {
  TImgSlctForm1& d = *ImgSlctForm1;
  d.Slots[0] = {true, true, true};
  d.Slots[1] = {true, false, false};
  d.FormActivate();
  EXPECT_EQ(d.BoxEnabled, (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(d.BoxChecked, (std::array<bool, 4>{true, false, false, false}));
  d.BoxChecked[0] = false;
  d.OKBtnClick();
  EXPECT_TRUE(ImageShown[0]) << "its window is open and normal";
  EXPECT_FALSE(ImageShown[1]);
  d.Slots[0].shownNormal = false;  // minimised
  d.OKBtnClick();
  EXPECT_FALSE(ImageShown[0]);
}

}  // namespace
}  // namespace hv
