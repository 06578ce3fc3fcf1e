#pragma once
// The image-file-type dialog, the image-selection dialog with the shown-image
// flags, and the run-long instances of the small image dialogs.
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "images/BoxParmsDlg.h"
#include "images/MagnifyDlg.h"
#include "platform/Platform.h"

namespace hv {

struct OptsRec;

// Which image windows the main window's View/Adjust command shows.
extern std::array<bool, 4> ImageShown;

// The settings record the file-type dialog edits (the main window's working
// copy), set by the caller before the dialog is shown.
extern OptsRec* FileTypeOpts;

class TImgFileTypeDlg : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TImgFileTypeDlg"; }
  explicit TImgFileTypeDlg(Platform& platform) : platform_(platform) {}

  std::string Caption = "Select Image File Type";
  int FlTypeGrp = 0;  // 0 FITS, 1 ST-4, 2 other SBIG
  bool FlTypeGrpEnabled = false;
  int TimeTypGrp = 0;  // -1: no choice
  bool TimeTypGrpEnabled = true;
  std::uint8_t OldFileType = 0, OldHeaderTime = 0;

  void FormActivate();
  void FlTypeGrpClick(int index);
  void TimeTypGrpClick(int index) { TimeTypGrp = index; }
  // OK, or Cancel when nothing changed, so the caller saves only a change.
  ModalResult OKBtnClick();

 private:
  Platform& platform_;
};

// What the selection dialog needs to know of each slot's window.
struct ImageSlotFacts {
  bool exists = false;
  bool loaded = false;       // TImageForm1.ImageLoaded
  bool shownNormal = false;  // visible, neither minimised nor maximised
};

class TImgSlctForm1 : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TImgSlctForm1"; }

  std::string Caption = "Display Image(s)";
  std::array<ImageSlotFacts, 4> Slots{};  // set by the caller before showing
  std::array<bool, 4> BoxEnabled{}, BoxChecked{};
  std::array<bool, 4>* ShownFlags = nullptr;

  void FormActivate();
  ModalResult OKBtnClick();
};

// The dialogs that live for the whole run.
extern std::unique_ptr<TBoxDlgForm1> BoxDlgForm1;
extern std::unique_ptr<TImgSlctForm1> ImgSlctForm1;

// Creates the box dialog, the magnifier, the magnify-region dialog and the
// image-selection dialog; call after BoxParms holds the settings' box.
void CreateImageDialogs();
// Frees them and resets BoxParms, ImageShown and the display-record globals
// (for tests and the program's end).
void FreeImageDialogs();

}  // namespace hv
