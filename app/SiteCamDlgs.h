#pragma once
// The site, camera and user dialogs and the two pick lists of the stations
// and camera files, without their widgets. A caller points SiteToEdit,
// CameraToEdit or UserToEdit at the record to edit, shows the dialog's model
// through the platform and reads the modal result: OK means the record was
// rewritten from the dialog.
#include <memory>
#include <string>
#include <string_view>

#include "app/InfoList.h"
#include "app/ListFiles.h"
#include "app/Options.h"
#include "app/Records.h"
#include "platform/Platform.h"

namespace hv {

class AstromObsObj;

// The records the next dialog edits; the caller sets them just before it
// shows the dialog. Tests reset them with ResetRecordsToEdit.
extern SiteRec* SiteToEdit;
extern CamRec* CameraToEdit;
extern UserRec* UserToEdit;
void ResetRecordsToEdit();

class SiteParmsDlgModel;
class CamParmsDlgModel;

// The pick lists' common part: a line index is a record index.
class PickListModel : public InfoListModel, public DialogModel {
 public:
  using InfoListModel::InfoListModel;

 protected:
  bool HasLine(std::int32_t i) const {
    return i >= 0 && static_cast<std::size_t>(i) < Lines().size();
  }
};

// A pick list's host when its opener has none: no report folder, a print
// header without an exercise session.
ListHost& NoListHost();

// The site pick list (a text-list window with its Action menu): the stored
// sites by name. Made for the site dialog's Find (shown) or Save (only to
// hold the file while a record is saved into it).
class SiteListModel : public PickListModel {
 public:
  // Reads the stations file named by the settings. A failed read has shown
  // its messages by then; the list shows no lines.
  SiteListModel(Platform& platform, ListHost& host, const OptsRec& settings,
                SiteParmsDlgModel* opener);
  std::string_view dialogName() const override { return "SiteListForm"; }

  SiteListFile File;  // FileName and Sites
  SiteRecList& Sites() { return File.Sites; }
  bool WriteSiteFile() { return File.WriteSiteFile(); }

  void Close1Click() override;
  void FormCreate() override;
  // The selected line's site into the opener's controls; the list closes.
  void AccessSelectedRecord1Click() override;
  // After the confirmation the site leaves the list and the file at once.
  void DeleteSelectedRecord1Click() override;
  void FormDblClick() override { AccessSelectedRecord1Click(); }

 private:
  const OptsRec& settings_;
  SiteParmsDlgModel* opener_;
};

class CamListModel : public PickListModel {
 public:
  CamListModel(Platform& platform, ListHost& host, const OptsRec& settings,
               CamParmsDlgModel* opener);
  std::string_view dialogName() const override { return "CamListForm"; }

  CamListFile File;  // FileName and Cameras
  CamRecList& Cameras() { return File.Cameras; }
  bool WriteCamFile() { return File.WriteCamFile(); }

  void Close1Click() override;
  void FormCreate() override;
  void AccessSelectedRecord1Click() override;
  void DeleteSelectedRecord1Click() override;
  void FormDblClick() override { AccessSelectedRecord1Click(); }

 private:
  const OptsRec& settings_;
  CamParmsDlgModel* opener_;
};

// The texts of the number-conversion failure the dialogs' OK show.
constexpr const char* NumericErrorCaption = "Numeric Conversion Error!";
constexpr const char* NumericErrorText = "Input String Contains Non-Numeric Characters!";

// "Observatory (Site) Information" (TSiteParmsDlg) over SiteToEdit.
class SiteParmsDlgModel : public DialogModel {
 public:
  // settings: the main window's settings copy, whose stations file name the
  // pick list reads each time it is made.
  SiteParmsDlgModel(Platform& platform, const OptsRec& settings, ListHost* host = nullptr);
  ~SiteParmsDlgModel() override;
  std::string_view dialogName() const override { return "TSiteParmsDlg"; }
  Platform& platform() { return platform_; }

  // --- what the form shows and types back ---
  std::string Caption = "Observatory (Site) Information";
  std::string LngDegText, LngMinText, LngSecText;
  bool WestChecked = false;  // else East
  std::string LatDegText, LatMinText, LatSecText;
  bool NorthChecked = true;  // else South
  std::string ObsNmText, ObsCdText, ScopeText, HtText, ZnText;
  // The baseline disables the code, telescope, altitude and zone and the
  // Save command; disabled fields still show the record and OK stores them.
  bool ObsCdEnabled = true, ScopeEnabled = true, HtEnabled = true, ZnEnabled = true;
  bool SaveSiteEnabled = true;

  static constexpr int CoordMaxLength = 10;
  static constexpr const char* LngDegHint = "0 - 180";
  static constexpr const char* LatDegHint = "0 - 90";
  static constexpr const char* MinHint = "0 - 59";
  static constexpr const char* SecHint = "0.0 - 59.99";
  static constexpr const char* ObsCdHint = "3-Digit Observatory Code (or \"999\")";
  static constexpr const char* HtHint = "Station altitude above sea level in meters.";
  static constexpr const char* ZnHint = "UT minus Local (Zone) Time in Hours";

  // Disables what the parallax baseline does not use; the caption names
  // the baseline's site (1 or 2).
  void SetBaselineUse(int siteNumber);

  // Runs once when the dialog is shown: the controls from SiteToEdit.
  void FormActivate();
  void ShowSite(const SiteRec& site);
  // Checks every text and only then writes the whole record; a refused
  // entry is shown and keeps the dialog open (ModalResult::None) with the
  // record untouched.
  ModalResult OKBtnClick();
  ModalResult CnclBtnClick() { return ModalResult::Cancel; }
  // The pick list, shown modally; its Access fills the controls.
  void FindSite1Click();
  // After the confirmation, the OK's checks and storing, then the record
  // into the stations file (asking about a stored site of the same name).
  void SaveSite1Click();

 private:
  // The controls as a record over the one in `base`; false after a refused
  // text has been shown.
  bool Collect(SiteRec& out);
  Platform& platform_;
  const OptsRec& settings_;
  ListHost& host_;
  std::unique_ptr<SiteListModel> pickList_;  // while Find or Save runs
};

// "Camera Parameters" (TCamParmsDlg) over CameraToEdit.
class CamParmsDlgModel : public DialogModel {
 public:
  // report: the report object when there is one (its camera is the
  // "Current" record).
  CamParmsDlgModel(Platform& platform, const OptsRec& settings, const AstromObsObj* report,
                   ListHost* host = nullptr);
  ~CamParmsDlgModel() override;
  std::string_view dialogName() const override { return "TCamParmsDlg"; }
  Platform& platform() { return platform_; }

  std::string Caption = "Camera Parameters";
  std::string NameText, WdthText, HtText, WdPixText, HtPixText, AptrText, FLText;
  bool InvertChecked = false;
  int MagIndex = 8;   // PassbandCode, items "&B" .. "Un&Kwn"
  int ShowIndex = 0;  // 0 "&Default", 1 "C&urrent"

  static constexpr const char* MagItems[9] = {"&B", "&V", "&R",    "&I",    "&J",
                                              "&H", "&K", "&None", "Un&Kwn"};
  static constexpr const char* ShowItems[2] = {"&Default", "C&urrent"};
  static constexpr const char* WdthHint = "Pixel Width in Microns (1.0E-6m)";
  static constexpr const char* HtHint = "Pixel Height in Microns (1.0E-6m)";
  static constexpr const char* WdPixHint = "Image Width in Pixels";
  static constexpr const char* HtPixHint = "Image Height in Pixels";
  static constexpr const char* AptrHint = "Telescope Aperture diameter in mm.";
  static constexpr const char* FLHint = "Telescope Focal Length in mm.";
  static constexpr const char* InvertHint = "Check if Image is Upside-Down.";
  static constexpr const char* MagHint = "Color Band of Images";

  // The report's camera when a file filled it ("C&urrent"), else the
  // record of CameraToEdit ("&Default").
  void FormActivate();
  // After the form stored ShowIndex: shows the chosen record.
  void ShowGrpClick();
  void ShowCamera(const CamRec& camera);
  // "C&urrent" asks before replacing the default; every text is checked
  // before the record is written, a refused one keeps the dialog open.
  ModalResult OKBtnClick();
  ModalResult CnclBtnClick() { return ModalResult::Cancel; }
  void FindCam1Click();
  // Like the site's Save, except that a text that is not a number throws
  // ConvertError (for the application's error handler), nothing stored and
  // nothing written.
  void SaveCam1Click();

 private:
  // Throws ConvertError on a text that is not a number.
  CamRec Collect() const;
  Platform& platform_;
  const OptsRec& settings_;
  const AstromObsObj* report_;
  ListHost& host_;
  std::unique_ptr<CamListModel> pickList_;
};

// "User Information" (TUsrParmsDlg) over UserToEdit.
class UsrParmsDlgModel : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TUsrParmsDlg"; }

  std::string Caption = "User Information";
  std::string NameText, InstText, StreetText, CityText, CntryText, EMailText, ObsText, MeasText;
  static constexpr const char* ObsHint = "List all observers, including Contact if applicable.";
  static constexpr const char* MeasHint = "If different from Observers";

  void FormActivate();
  // The eight texts into UserToEdit, each cut to its field.
  ModalResult OKBtnClick();
  ModalResult CancelBtnClick() { return ModalResult::Cancel; }
};

}  // namespace hv
