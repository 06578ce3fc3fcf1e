#include "app/SiteCamDlgs.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "app/Session.h"
#include "astrometry/AstromObs.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

SiteRec* SiteToEdit = nullptr;
CamRec* CameraToEdit = nullptr;
UserRec* UserToEdit = nullptr;

void ResetRecordsToEdit() {
  SiteToEdit = nullptr;
  CameraToEdit = nullptr;
  UserToEdit = nullptr;
}

namespace {

class NullListHost : public ListHost {
 public:
  std::filesystem::path ReportFolder() const override { return {}; }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
};

std::string Cut(std::string_view text, std::size_t capacity) {
  return std::string(text.substr(0, capacity));
}

void NumericError(Platform& p) { ShowWarning(p, NumericErrorCaption, NumericErrorText); }

// A number a single-precision field can hold; ConvertError otherwise (a
// value beyond the field's range would be stored as infinity).
float SingleValue(std::string_view text) {
  const long double v = StrToFloat(text);
  if (std::fabs(v) > static_cast<long double>(std::numeric_limits<float>::max()))
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return static_cast<float>(v);
}

constexpr const char* NoSelectionCaption = "No Selection!";

// The application's error box for a failure passed on from a list file.
void ShowPassedOn(Platform& p, const std::exception& e) {
  ShowError(p, ApplicationTitle, e.what());
}

// Loads the list file, passing a read failure to the application's error
// box once its own message has been shown; the list then shows no lines.
template <class File>
std::vector<std::string> LoadNames(Platform& p, File& file, const OptsRec& settings) {
  try {
    file.Load(settings);
  } catch (const FileError& e) {
    ShowPassedOn(p, e);
    return {};
  }
  return file.Names();
}

}  // namespace

ListHost& NoListHost() {
  static NullListHost host;
  return host;
}

// ---- pick lists ------------------------------------------------------------

SiteListModel::SiteListModel(Platform& platform, ListHost& host, const OptsRec& settings,
                             SiteParmsDlgModel* opener)
    : PickListModel(platform, host), File(platform), settings_(settings), opener_(opener) {
  FormCreate();
}

void SiteListModel::FormCreate() {
  InfoListModel::FormCreate();
  Caption = "Select a Site";
  ActionMenuVisible = true;
  SetLines(LoadNames(platform_, File, settings_));
}

void SiteListModel::Close1Click() {
  Sites().Clear();
  InfoListModel::Close1Click();
}

void SiteListModel::AccessSelectedRecord1Click() {
  InfoListModel::AccessSelectedRecord1Click();
  const SiteRec* site = HasLine(SelectedRecord) ? Sites().Item(SelectedRecord) : nullptr;
  if (site == nullptr) {
    ShowWarning(platform_, NoSelectionCaption, "Select a Record to Access!");
    return;
  }
  const SiteRec chosen = *site;
  Close1Click();
  if (opener_) opener_->ShowSite(chosen);
}

void SiteListModel::DeleteSelectedRecord1Click() {
  InfoListModel::DeleteSelectedRecord1Click();
  const SiteRec* site = HasLine(SelectedRecord) ? Sites().Item(SelectedRecord) : nullptr;
  if (site == nullptr) {
    ShowWarning(platform_, NoSelectionCaption, "Select a Record to Delete!");
    return;
  }
  if (!AskYesNo(platform_, "Are You Sure?", "Delete Record for Site \"" + site->Name + "\"?"))
    return;
  Sites().Item(SelectedRecord);
  Sites().DeleteCurrent();
  MutableLines().erase(MutableLines().begin() + SelectedRecord);
  Selected = -1;
  WriteSiteFile();
}

CamListModel::CamListModel(Platform& platform, ListHost& host, const OptsRec& settings,
                           CamParmsDlgModel* opener)
    : PickListModel(platform, host), File(platform), settings_(settings), opener_(opener) {
  FormCreate();
}

void CamListModel::FormCreate() {
  InfoListModel::FormCreate();
  Caption = "Select a Camera";
  ActionMenuVisible = true;
  SetLines(LoadNames(platform_, File, settings_));
}

void CamListModel::Close1Click() {
  Cameras().Clear();
  InfoListModel::Close1Click();
}

void CamListModel::AccessSelectedRecord1Click() {
  InfoListModel::AccessSelectedRecord1Click();
  const CamRec* cam = HasLine(SelectedRecord) ? Cameras().Item(SelectedRecord) : nullptr;
  if (cam == nullptr) {
    ShowWarning(platform_, NoSelectionCaption, "Select a Record to Access!");
    return;
  }
  const CamRec chosen = *cam;
  Close1Click();
  if (opener_) opener_->ShowCamera(chosen);
}

void CamListModel::DeleteSelectedRecord1Click() {
  InfoListModel::DeleteSelectedRecord1Click();
  const CamRec* cam = HasLine(SelectedRecord) ? Cameras().Item(SelectedRecord) : nullptr;
  if (cam == nullptr) {
    ShowWarning(platform_, NoSelectionCaption, "Select a Record to Delete!");
    return;
  }
  if (!AskYesNo(platform_, "Are You Sure?", "Delete Camera Record \"" + cam->Name + "\"?")) return;
  Cameras().Item(SelectedRecord);
  Cameras().DeleteCurrent();
  MutableLines().erase(MutableLines().begin() + SelectedRecord);
  Selected = -1;
  WriteCamFile();
}

namespace {

// The Save commands' shared part: the record into the list in name order,
// asking about one of the same name; the file is rewritten unless cancelled.
template <class PickList, class File, class Rec>
void SaveIntoList(Platform& p, PickList& list, File& file, const Rec& rec, bool (File::*write)()) {
  Rec* found = file.Find(rec);
  if (found) {
    MessageRequest r;
    r.caption = "Duplicate Record Found";
    r.text = "A Record for \"" + rec.Name + "\" Already Exists.\r\n\r\nReplace It?";
    r.icon = MsgIcon::Question;
    r.buttons = Buttons::YesNoCancel;
    r.sound = Sound::Question;
    const ModalResult answer = p.message(r);
    if (answer == ModalResult::Yes) {
      *found = rec;
    } else if (answer == ModalResult::No) {
      list.InsertSorted(rec);
    } else {
      return;  // nothing written
    }
  } else {
    list.InsertSorted(rec);
  }
  (file.*write)();
}

}  // namespace

// ---- site dialog -------------------------------------------------------------

SiteParmsDlgModel::SiteParmsDlgModel(Platform& platform, const OptsRec& settings, ListHost* host)
    : platform_(platform), settings_(settings), host_(host ? *host : NoListHost()) {}

SiteParmsDlgModel::~SiteParmsDlgModel() = default;

void SiteParmsDlgModel::SetBaselineUse(int siteNumber) {
  char digit[12];
  auto r = std::to_chars(digit, digit + sizeof digit, siteNumber);
  Caption = "Baseline Parameters - Site" + std::string(digit, r.ptr);
  ObsCdEnabled = ScopeEnabled = HtEnabled = ZnEnabled = false;
  SaveSiteEnabled = false;
}

void SiteParmsDlgModel::FormActivate() {
  if (SiteToEdit) ShowSite(*SiteToEdit);
}

void SiteParmsDlgModel::ShowSite(const SiteRec& site) {
  LngDegText = site.LonDeg;
  LngMinText = site.LonMin;
  LngSecText = site.LonSec;
  WestChecked = site.West;
  LatDegText = site.LatDeg;
  LatMinText = site.LatMin;
  LatSecText = site.LatSec;
  NorthChecked = site.North;
  ObsNmText = site.Name;
  ObsCdText = site.Code;
  ScopeText = site.Telescope;
  HtText = FormatFixed(1, site.Altitude);
  ZnText = FormatFixed(1, site.TimeZone);
}

bool SiteParmsDlgModel::Collect(SiteRec& out) {
  try {
    out.LonDeg = Cut(LngDegText, SiteCap::Coord);
    out.LonMin = Cut(LngMinText, SiteCap::Coord);
    out.LonSec = Cut(LngSecText, SiteCap::Coord);
    auto lon = DegreesFromTexts(out.LonDeg, out.LonMin, out.LonSec);
    if (!lon) throw ConvertError("longitude");
    if (!(*lon >= 0 && *lon <= 180)) {
      ShowWarning(platform_, "Value Out of Range!", "Longitude Value is Out of Range (0-180)!");
      return false;
    }
    out.West = WestChecked;
    out.Longitude = static_cast<float>(WestChecked ? -*lon : *lon);

    out.LatDeg = Cut(LatDegText, SiteCap::Coord);
    out.LatMin = Cut(LatMinText, SiteCap::Coord);
    out.LatSec = Cut(LatSecText, SiteCap::Coord);
    auto lat = DegreesFromTexts(out.LatDeg, out.LatMin, out.LatSec);
    if (!lat) throw ConvertError("latitude");
    if (!(*lat >= 0 && *lat <= 90)) {
      ShowWarning(platform_, "Value Out of Range!", "Latitude Value is Out of Range (0-90)!");
      return false;
    }
    out.North = NorthChecked;
    out.Latitude = static_cast<float>(NorthChecked ? *lat : -*lat);

    out.Altitude = SingleValue(HtText);
    out.TimeZone = SingleValue(ZnText);
  } catch (const ConvertError&) {
    NumericError(platform_);
    return false;
  }
  out.Name = Cut(ObsNmText, SiteCap::Name);
  out.Code = Cut(ObsCdText, SiteCap::Code);
  out.Telescope = Cut(ScopeText, SiteCap::Telescope);
  return true;
}

ModalResult SiteParmsDlgModel::OKBtnClick() {
  SiteRec site = SiteToEdit ? *SiteToEdit : SiteRec{};
  if (!Collect(site)) return ModalResult::None;
  if (SiteToEdit) *SiteToEdit = site;
  return ModalResult::OK;
}

void SiteParmsDlgModel::FindSite1Click() {
  pickList_ = std::make_unique<SiteListModel>(platform_, host_, settings_, this);
  platform_.showDialog(*pickList_);
  pickList_->Close1Click();
  pickList_.reset();
}

void SiteParmsDlgModel::SaveSite1Click() {
  if (!SaveSiteEnabled) return;
  if (!AskYesNo(platform_, "Confirm", "Write Current Site Data to File?")) return;
  if (OKBtnClick() != ModalResult::OK) return;
  const SiteRec site = SiteToEdit ? *SiteToEdit : SiteRec{};
  pickList_ = std::make_unique<SiteListModel>(platform_, host_, settings_, this);
  struct Done {
    std::unique_ptr<SiteListModel>& p;
    ~Done() {
      p->Close1Click();
      p.reset();
    }
  } done{pickList_};
  SaveIntoList(platform_, pickList_->Sites(), pickList_->File, site, &SiteListFile::WriteSiteFile);
}

// ---- camera dialog -----------------------------------------------------------

CamParmsDlgModel::CamParmsDlgModel(Platform& platform, const OptsRec& settings,
                                   const AstromObsObj* report, ListHost* host)
    : platform_(platform),
      settings_(settings),
      report_(report),
      host_(host ? *host : NoListHost()) {}

CamParmsDlgModel::~CamParmsDlgModel() = default;

void CamParmsDlgModel::FormActivate() {
  if (report_ && report_->CamFromFile) {
    ShowCamera(report_->Camera);
    ShowIndex = 1;
  } else {
    if (CameraToEdit) ShowCamera(*CameraToEdit);
    ShowIndex = 0;
  }
}

void CamParmsDlgModel::ShowGrpClick() {
  if (ShowIndex == 1 && report_) {
    ShowCamera(report_->Camera);
  } else {
    if (CameraToEdit) ShowCamera(*CameraToEdit);
    ShowIndex = 0;
  }
}

void CamParmsDlgModel::ShowCamera(const CamRec& camera) {
  auto whole = [](std::int32_t v) {
    char b[16];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
  };
  NameText = camera.Name;
  WdthText = FormatFixed(1, camera.PixelWidth);
  HtText = FormatFixed(1, camera.PixelHeight);
  WdPixText = whole(camera.ImageWidth);
  HtPixText = whole(camera.ImageHeight);
  AptrText = FormatFixed(1, camera.Aperture);
  FLText = FormatFixed(1, camera.FocalLength);
  InvertChecked = camera.Inverted;
  // A code the filter group has no item for shows as unrecognised.
  MagIndex = camera.Filter <= 8 ? camera.Filter : 8;
}

CamRec CamParmsDlgModel::Collect() const {
  CamRec cam = CameraToEdit ? *CameraToEdit : CamRec{};
  cam.Name = Cut(NameText, CamCap::Name);
  cam.PixelWidth = SingleValue(WdthText);
  cam.PixelHeight = SingleValue(HtText);
  cam.ImageWidth = StrToInt(WdPixText);
  cam.ImageHeight = StrToInt(HtPixText);
  cam.Aperture = SingleValue(AptrText);
  cam.FocalLength = SingleValue(FLText);
  cam.Inverted = InvertChecked;
  cam.Filter = static_cast<std::uint8_t>(MagIndex >= 0 && MagIndex <= 8 ? MagIndex : 8);
  return cam;
}

ModalResult CamParmsDlgModel::OKBtnClick() {
  if (ShowIndex == 1) {
    MessageRequest r;
    r.caption = "Verify Default Change";
    r.text = "Are You Sure You Want to Replace the Default Camera Parameters with These?";
    r.icon = MsgIcon::Error;
    r.buttons = Buttons::YesNo;
    r.sound = Sound::Hand;
    if (platform_.message(r) != ModalResult::Yes) return ModalResult::None;
  }
  CamRec cam;
  try {
    cam = Collect();
  } catch (const ConvertError&) {
    NumericError(platform_);
    return ModalResult::None;
  }
  if (CameraToEdit) *CameraToEdit = cam;
  return ModalResult::OK;
}

void CamParmsDlgModel::FindCam1Click() {
  pickList_ = std::make_unique<CamListModel>(platform_, host_, settings_, this);
  platform_.showDialog(*pickList_);
  pickList_->Close1Click();
  pickList_.reset();
}

void CamParmsDlgModel::SaveCam1Click() {
  if (!AskYesNo(platform_, "Confirm", "Write Current Camera Data to File?")) return;
  const CamRec cam = Collect();  // a failed conversion goes to the error handler
  if (CameraToEdit) *CameraToEdit = cam;
  pickList_ = std::make_unique<CamListModel>(platform_, host_, settings_, this);
  struct Done {
    std::unique_ptr<CamListModel>& p;
    ~Done() {
      p->Close1Click();
      p.reset();
    }
  } done{pickList_};
  SaveIntoList(platform_, pickList_->Cameras(), pickList_->File, cam, &CamListFile::WriteCamFile);
}

// ---- user dialog ---------------------------------------------------------------

void UsrParmsDlgModel::FormActivate() {
  if (!UserToEdit) return;
  const UserRec& u = *UserToEdit;
  NameText = u.ContactName;
  InstText = u.Institution;
  StreetText = u.Street;
  CityText = u.CityStateZip;
  CntryText = u.Country;
  EMailText = u.EMail;
  ObsText = u.Observers;
  MeasText = u.Measurers;
}

ModalResult UsrParmsDlgModel::OKBtnClick() {
  if (UserToEdit) {
    UserRec& u = *UserToEdit;
    u.ContactName = Cut(NameText, UserCap::ContactName);
    u.Institution = Cut(InstText, UserCap::Institution);
    u.Street = Cut(StreetText, UserCap::Street);
    u.CityStateZip = Cut(CityText, UserCap::CityStateZip);
    u.Country = Cut(CntryText, UserCap::Country);
    u.EMail = Cut(EMailText, UserCap::EMail);
    u.Observers = Cut(ObsText, UserCap::Observers);
    u.Measurers = Cut(MeasText, UserCap::Measurers);
  }
  return ModalResult::OK;
}

}  // namespace hv
