#include "images/ImageDialogs.h"

#include "app/Options.h"
#include "images/Display.h"

namespace hv {

std::array<bool, 4> ImageShown{};
OptsRec* FileTypeOpts = nullptr;
std::unique_ptr<TBoxDlgForm1> BoxDlgForm1;
std::unique_ptr<TImgSlctForm1> ImgSlctForm1;

void TImgFileTypeDlg::FormActivate() {
  if (!FileTypeOpts) {
    ShowWarning(platform_, "Cannot Modify File Type!", "No Options Assigned!");
    return;
  }
  OldFileType = static_cast<std::uint8_t>(FileTypeOpts->ImageFileType);
  OldHeaderTime = static_cast<std::uint8_t>(FileTypeOpts->HeaderTime);
  FlTypeGrp = OldFileType;
  FlTypeGrpEnabled = false;  // the file type cannot be changed here
  if (FlTypeGrp == 1) {
    TimeTypGrp = -1;
    TimeTypGrpEnabled = false;
  } else {
    // A stored value without an item (3, the ST-4 convention) shows no
    // choice, and OK keeps it unless one is chosen.
    TimeTypGrp = OldHeaderTime <= 2 ? OldHeaderTime : -1;
    TimeTypGrpEnabled = true;
  }
}

void TImgFileTypeDlg::FlTypeGrpClick(int index) {
  FlTypeGrp = index;
  if (index == 1) {
    TimeTypGrp = -1;
    TimeTypGrpEnabled = false;
  } else {
    TimeTypGrp = 0;
    TimeTypGrpEnabled = true;
  }
}

ModalResult TImgFileTypeDlg::OKBtnClick() {
  if (!FileTypeOpts) return ModalResult::Cancel;
  const int type = std::clamp(FlTypeGrp, 0, 2);
  const int time = type == 1 ? 3 : TimeTypGrp >= 0 && TimeTypGrp <= 2 ? TimeTypGrp : OldHeaderTime;
  FileTypeOpts->ImageFileType = static_cast<ImageFileTypeCode>(type);
  FileTypeOpts->HeaderTime = static_cast<HeaderTimeCode>(time);
  if (type == OldFileType && time == OldHeaderTime) return ModalResult::Cancel;
  return ModalResult::OK;
}

void TImgSlctForm1::FormActivate() {
  ShownFlags = &ImageShown;
  Caption = "Display Image(s)";
  for (int n = 0; n < 4; ++n) {
    BoxEnabled[n] = Slots[n].exists && Slots[n].loaded;
    BoxChecked[n] = BoxEnabled[n];
  }
}

ModalResult TImgSlctForm1::OKBtnClick() {
  std::array<bool, 4>& flags = ShownFlags ? *ShownFlags : ImageShown;
  // A window already open and normal stays in the set.
  for (int n = 0; n < 4; ++n) flags[n] = BoxChecked[n] || (Slots[n].exists && Slots[n].shownNormal);
  return ModalResult::OK;
}

void CreateImageDialogs() {
  BoxDlgForm1 = std::make_unique<TBoxDlgForm1>();
  MagnRgnDlg = std::make_unique<TMagnRgnDlg>();
  CursorWindow = std::make_unique<TCursorWindow>();
  ImgSlctForm1 = std::make_unique<TImgSlctForm1>();
}

void FreeImageDialogs() {
  CursorWindow.reset();
  MagnRgnDlg.reset();
  BoxDlgForm1.reset();
  ImgSlctForm1.reset();
  BoxParms = DefaultBoxParms();
  ImageShown = {};
  FileTypeOpts = nullptr;
  DispParms = nullptr;
  DispParmsForImage = false;
  DispImageNo = 0;
}

}  // namespace hv
