#pragma once
// The instructor's "Software Options" dialog and its "File Name Options"
// sub-dialog, without their widgets. Both edit the settings object's own
// record through OptsToEdit, not the main window's working copy.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "app/InfoList.h"
#include "app/Options.h"
#include "platform/Platform.h"

namespace hv {

// The settings object being edited; null until a caller sets it.
extern OptsObj* OptsToEdit;

class TOptionsDlg : public DialogModel {
 public:
  // workingCopy: the main window's settings copy (its folders serve the
  // file-name dialog's browsing, its stations file the site dialog); may be
  // null. host: the site pick list's host.
  TOptionsDlg(Platform& platform, const OptsRec* workingCopy = nullptr, ListHost* host = nullptr)
      : platform_(platform), workingCopy_(workingCopy), host_(host) {}
  std::string_view dialogName() const override { return "TOptionsDlg"; }

  OptsRec SavedSettings;
  bool UserChanged = false, CameraChanged = false, SiteChanged = false;
  bool BoxChanged = false, DisplayChanged = false;

  // Controls; a radio group's -1 shows no choice (and OK then keeps the
  // field). Without options they stay empty.
  int FlTypeGrp = -1;
  bool FlTypeGrpEnabled = true;
  int TimeTypGrp = -1;
  bool TimeTypGrpEnabled = true;
  int SolutionGrp = -1;
  int CatlgGrp = -1;
  static constexpr bool CatlgGrpEnabled = false;
  int GSCGrp = -1;
  bool RdSkyBox = false, InvertBox = false, TestBox = false, AdminBox = false;
  std::string SizeEd, MagEd;
  std::string TblNumEd;  // at most 4 characters
  std::string PWEd;      // at most 16 characters, shown as "#"

  // Once, when the dialog is shown.
  void FormActivate();
  void FlTypeGrpClick(int index);
  // None: a number out of its hint's range was refused; the dialog stays open.
  ModalResult OKBtnClick();
  ModalResult CancelBtnClick();
  void FilesBtnClick();
  void SitePrmBtnClick();
  void BoxBtnClick();
  void ImagBtnClick();

 private:
  Platform& platform_;
  const OptsRec* workingCopy_;
  ListHost* host_;
  bool activated_ = false;
};

class TFileOptsDlg : public DialogModel {
 public:
  TFileOptsDlg(Platform& platform, const OptsRec* workingCopy = nullptr)
      : platform_(platform), workingCopy_(workingCopy) {}
  std::string_view dialogName() const override { return "TFileOptsDlg"; }

  // The three pages of PageControl1.
  enum Page { SysFiles1 = 0, StarCtlgs1 = 1, DataFiles1 = 2 };
  int ActivePage = SysFiles1;

  // System files (71 characters each).
  std::string LogoEd, TitleEd, AstrTtlEd, MnHlpEd, UsrHlpEd, RmdrEd, ToolHlpEd;
  // Other files, catalogs and data files (255 characters each).
  std::string LogFlEd, SpShtEd, GSCPath1Ed, GSCPath2Ed, USNOCatURLEd;
  std::string AstorbPathEd, MPCOrbPathEd, StnsFlEd, CamFlEd, SavOrbitEd;
  // Shown and written back unchanged.
  static constexpr bool AstrTtlEdEnabled = false, ToolHlpEdEnabled = false,
                        AstorbPathEdEnabled = false, MPCOrbPathEdEnabled = false,
                        CamFlEdEnabled = false, SavOrbitEdEnabled = false;

  void FormActivate();
  ModalResult OKBtnClick();
  void GSCPath1EdDblClick();
  void GSCPath2EdDblClick();
  void LogFlEdDblClick();
  void SpShtEdDblClick();
  void StnsFlEdDblClick();

 private:
  void BrowseFolder(std::string& edit, const std::string& other);
  void BrowseFile(std::string& edit, FileChooser request);
  Platform& platform_;
  const OptsRec* workingCopy_;
};

// A folder text with a closing separator when it is not empty: "\" for a
// text written with "\" only, else "/".
std::string FolderForm(std::string text);

// What the main window's options command runs: sets OptsToEdit, shows the
// options dialog over the settings object and reports what it changed.
struct OptionsDialogOutcome {
  ModalResult result = ModalResult::Cancel;
  bool userChanged = false, cameraChanged = false, siteChanged = false;
};
OptionsDialogOutcome RunOptionsDlg(Platform& platform, OptsObj& opts, const OptsRec* workingCopy,
                                   ListHost* host = nullptr);

}  // namespace hv
