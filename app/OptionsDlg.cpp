#include "app/OptionsDlg.h"

#include <cmath>
#include <limits>

#include "app/Password.h"
#include "app/SiteCamDlgs.h"
#include "images/BoxParmsDlg.h"
#include "images/Display.h"
#include "images/ImageDialogs.h"
#include "support/Format.h"

namespace hv {

OptsObj* OptsToEdit = nullptr;

namespace {
constexpr const char* NoOptionsCaption = "Cannot Modify Options!";
constexpr const char* NoOptionsText = "No Options Assigned!";

std::string Cut(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

// The edits' hint gives their range; a number beyond it (1e26 would show
// in exponent form) is refused. Texts that are no number stay unread.
bool InHintRange(const std::string& text, bool zeroAllowed) {
  if (!IsNumber(text)) return true;
  const long double v = StrToFloat(text);
  return v >= 0 && v <= 59.99L && (zeroAllowed || v != 0);
}

// A radio group's choice as a code of the set, or the old code when the
// group shows no valid choice.
template <class Code>
Code Chosen(int index, std::uint8_t max, Code old) {
  return index >= 0 && index <= max ? static_cast<Code>(index) : old;
}

// The number of an edit when it is one a single real holds; anything else
// leaves the field as it was.
void ReadSingle(const std::string& text, float& field) {
  if (!IsNumber(text)) return;
  long double v = StrToFloat(text);
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return;
  field = static_cast<float>(v);
}

// Cut to capacity, then given its closing separator within that capacity.
std::string StoredFolder(std::string_view text) {
  std::string s = Cut(text, OptsCap::Path);
  std::string f = FolderForm(s);
  if (f.size() > OptsCap::Path) f = FolderForm(s.substr(0, OptsCap::Path - 1));
  return f;
}
}  // namespace

std::string FolderForm(std::string s) {
  if (!s.empty() && s.back() != '/' && s.back() != '\\')
    s += s.find('\\') != std::string::npos && s.find('/') == std::string::npos ? '\\' : '/';
  return s;
}

// --- options dialog ---

void TOptionsDlg::FormActivate() {
  if (!OptsToEdit) {
    ShowWarning(platform_, NoOptionsCaption, NoOptionsText);
    return;
  }
  const OptsRec& r = OptsToEdit->Settings;
  FlTypeGrpClick(static_cast<int>(r.ImageFileType));
  FlTypeGrpEnabled = false;
  SolutionGrp = static_cast<int>(r.SolutionOrder);
  if (r.ImageFileType != ImageFileTypeCode::ST4)
    TimeTypGrp = r.HeaderTime == HeaderTimeCode::ST4 ? -1 : static_cast<int>(r.HeaderTime);
  SavedSettings = r;
  activated_ = true;
  RdSkyBox = r.ReadSky;
  InvertBox = r.InvertRefDisplay;
  TestBox = r.TestMode;
  AdminBox = r.AdminMode;
  CatlgGrp = static_cast<int>(r.StarCatalog);
  GSCGrp = static_cast<int>(r.GSCFormat);
  SizeEd = FormatFixed(1, r.FieldSize);
  MagEd = FormatFixed(1, r.MagLimit);
  TblNumEd = r.TableNumber;
  PWEd = DecodePassword(r.Password, r.PasswordLen);
  UserChanged = CameraChanged = SiteChanged = BoxChanged = DisplayChanged = false;
}

void TOptionsDlg::FlTypeGrpClick(int index) {
  FlTypeGrp = index;
  if (index == static_cast<int>(ImageFileTypeCode::ST4)) {
    TimeTypGrp = -1;
    TimeTypGrpEnabled = false;
  } else {
    TimeTypGrp = static_cast<int>(HeaderTimeCode::Start);
    TimeTypGrpEnabled = true;
  }
}

ModalResult TOptionsDlg::OKBtnClick() {
  if (!OptsToEdit) return ModalResult::OK;
  // Refused before anything is stored, so the dialog stays as it was.
  if (!InHintRange(SizeEd, false)) {
    ShowWarning(platform_, "Value Out of Range!",
                "Field Size Value is Out of Range (0.00-59.99, not 0)!");
    return ModalResult::None;
  }
  if (!InHintRange(MagEd, true)) {
    ShowWarning(platform_, "Value Out of Range!",
                "Magnitude Limit Value is Out of Range (0.00-59.99)!");
    return ModalResult::None;
  }
  OptsRec& r = OptsToEdit->Settings;
  r.ReadSky = RdSkyBox;
  r.InvertRefDisplay = InvertBox;
  r.AdminMode = AdminBox;
  r.TestMode = TestBox;
  r.GSCFormat = Chosen(GSCGrp, GSCFormatCodeMax, r.GSCFormat);
  r.StarCatalog = Chosen(CatlgGrp, CatalogCodeMax, r.StarCatalog);
  r.SolutionOrder = Chosen(SolutionGrp, SolutionCodeMax, r.SolutionOrder);
  r.ImageFileType = Chosen(FlTypeGrp, ImageFileTypeCodeMax, r.ImageFileType);
  if (r.ImageFileType == ImageFileTypeCode::ST4)
    r.HeaderTime = HeaderTimeCode::ST4;
  else
    r.HeaderTime = Chosen(TimeTypGrp, static_cast<std::uint8_t>(2), r.HeaderTime);
  ReadSingle(SizeEd, r.FieldSize);
  ReadSingle(MagEd, r.MagLimit);
  r.TableNumber = Cut(TblNumEd, OptsCap::TableNumber);

  std::string entered = Cut(PWEd, OptsCap::Code);
  if (entered != DecodePassword(r.Password, r.PasswordLen)) {
    TPasswordDlg1 confirm;
    NewPasswordText = &entered;
    platform_.showDialog(confirm);
    if (confirm.Confirmed) {
      EncodePassword(entered, r.Password, r.PasswordLen);
      ShowInfo(platform_, "Password Confirmed",
               "Password Change is Confirmed.\r\n\r\nYou Must Save " + r.OptsFileName +
                   " To Complete the Change.");
    } else {
      ShowError(platform_, "Password Not Changed!",
                "Password Change Not Confirmed!\r\n\r\nCurrent Password Will Be Retained.");
    }
    NewPasswordText = nullptr;
  }
  return ModalResult::OK;
}

ModalResult TOptionsDlg::CancelBtnClick() {
  // Only a copy taken at activation is put back.
  if (OptsToEdit && activated_) OptsToEdit->Settings = SavedSettings;
  return ModalResult::Cancel;
}

void TOptionsDlg::FilesBtnClick() {
  TFileOptsDlg files(platform_, workingCopy_);
  platform_.showDialog(files);
}

void TOptionsDlg::SitePrmBtnClick() {
  if (!OptsToEdit) return;
  OptsRec& r = OptsToEdit->Settings;
  SiteParmsDlgModel site(platform_, workingCopy_ ? *workingCopy_ : r, host_);
  SiteToEdit = &r.DefaultSite;
  SiteChanged = platform_.showDialog(site) == ModalResult::OK;
  SiteToEdit = nullptr;
}

void TOptionsDlg::BoxBtnClick() {
  if (!OptsToEdit) return;
  OptsRec& r = OptsToEdit->Settings;
  BoxParms = r.BoxParms;
  TBoxDlgForm1 local;
  TBoxDlgForm1& box = BoxDlgForm1 ? *BoxDlgForm1 : local;
  BoxChanged = platform_.showDialog(box) == ModalResult::OK;
  if (BoxChanged) r.BoxParms = BoxParms;
}

void TOptionsDlg::ImagBtnClick() {
  if (!OptsToEdit) return;
  OptsRec& r = OptsToEdit->Settings;
  // The display record of an image window is pointed at again afterwards.
  DispParmsRec* before = DispParms;
  bool beforeForImage = DispParmsForImage;
  DispParms = &r.DisplayDefaults;
  DispParmsForImage = false;
  {
    TImgAdjstDlg adjust(r, nullptr, nullptr);
    adjust.Caption = "Set Image Display Parameters";
    DisplayChanged = platform_.showDialog(adjust) == ModalResult::OK;
  }
  DispParms = before;
  DispParmsForImage = beforeForImage;
}

// --- file name options ---

void TFileOptsDlg::FormActivate() {
  if (!OptsToEdit) {
    ShowWarning(platform_, NoOptionsCaption, NoOptionsText);
    return;
  }
  const OptsRec& r = OptsToEdit->Settings;
  LogoEd = r.LogoBitmap;
  TitleEd = r.ExerciseBitmap;
  AstrTtlEd = r.AstromBitmap;
  MnHlpEd = r.HelpListFile;
  UsrHlpEd = r.UserHelpFile;
  RmdrEd = r.ReminderFile;
  ToolHlpEd = r.ToolsHelpListFile;
  LogFlEd = r.LogFile;
  SpShtEd = r.SpreadsheetProgram;
  GSCPath1Ed = r.GSCPath1;
  GSCPath2Ed = r.GSCPath2;
  USNOCatURLEd = r.CatalogURL;
  AstorbPathEd = r.AstorbPath;
  MPCOrbPathEd = r.MPCOrbPath;
  StnsFlEd = r.StationsFile;
  CamFlEd = r.CameraFile;
  SavOrbitEd = r.SaveOrbitsFile;
  ActivePage = SysFiles1;
}

ModalResult TFileOptsDlg::OKBtnClick() {
  if (!OptsToEdit) return ModalResult::OK;
  OptsRec& r = OptsToEdit->Settings;
  r.LogoBitmap = Cut(LogoEd, OptsCap::Name);
  r.ExerciseBitmap = Cut(TitleEd, OptsCap::Name);
  r.AstromBitmap = Cut(AstrTtlEd, OptsCap::Name);
  r.HelpListFile = Cut(MnHlpEd, OptsCap::Name);
  r.UserHelpFile = Cut(UsrHlpEd, OptsCap::Name);
  r.ReminderFile = Cut(RmdrEd, OptsCap::Name);
  r.ToolsHelpListFile = Cut(ToolHlpEd, OptsCap::Name);
  r.LogFile = Cut(LogFlEd, OptsCap::Path);
  r.SpreadsheetProgram = Cut(SpShtEd, OptsCap::Path);
  r.GSCPath1 = StoredFolder(GSCPath1Ed);
  r.GSCPath2 = StoredFolder(GSCPath2Ed);
  r.CatalogURL = Cut(USNOCatURLEd, OptsCap::Path);
  r.AstorbPath = StoredFolder(AstorbPathEd);
  r.MPCOrbPath = StoredFolder(MPCOrbPathEd);
  r.StationsFile = Cut(StnsFlEd, OptsCap::Path);
  r.CameraFile = Cut(CamFlEd, OptsCap::Path);
  r.SaveOrbitsFile = Cut(SavOrbitEd, OptsCap::Path);
  return ModalResult::OK;
}

void TFileOptsDlg::BrowseFolder(std::string& edit, const std::string& other) {
  FolderChooser request;
  if (!edit.empty())
    request.start = edit;
  else if (!other.empty())
    request.start = other;
  else if (workingCopy_)
    request.start = workingCopy_->ProgramFolder;
  else if (OptsToEdit)
    request.start = OptsToEdit->Settings.ProgramFolder;
  if (auto folder = platform_.chooseFolder(request)) edit = FolderForm(folder->string());
}

void TFileOptsDlg::BrowseFile(std::string& edit, FileChooser request) {
  if (auto choice = platform_.openFiles(request); choice && !choice->files.empty())
    edit = choice->files.front().string();
}

void TFileOptsDlg::GSCPath1EdDblClick() { BrowseFolder(GSCPath1Ed, GSCPath2Ed); }
void TFileOptsDlg::GSCPath2EdDblClick() { BrowseFolder(GSCPath2Ed, GSCPath1Ed); }

void TFileOptsDlg::LogFlEdDblClick() {
  FileChooser c;
  c.caption = "Locate Log File";
  c.filter = "Log Files (*.LOG)|*.LOG";
  c.fileName = "VESKLOG.LOG";
  c.defaultExt = "LOG";
  if (workingCopy_) c.folder = workingCopy_->WorkFolder;
  BrowseFile(LogFlEd, c);
}

void TFileOptsDlg::SpShtEdDblClick() {
  FileChooser c;
  c.caption = "Locate Spreadsheet Program";
  c.filter = "Program Files|*.EXE";
  c.fileName = "EXCEL.EXE";
  c.defaultExt = "exe";
  c.folder = "C:\\MSOffice";
  BrowseFile(SpShtEd, c);
}

void TFileOptsDlg::StnsFlEdDblClick() {
  FileChooser c;
  c.caption = "Locate Stations File";
  c.filter = "Data Files (*.DAT)|*.DAT";
  c.fileName = "ASTSITES.DAT";
  c.defaultExt = "DAT";
  if (workingCopy_) c.folder = workingCopy_->ProgramFolder;
  BrowseFile(StnsFlEd, c);
}

// --- the options command ---

OptionsDialogOutcome RunOptionsDlg(Platform& platform, OptsObj& opts, const OptsRec* workingCopy,
                                   ListHost* host) {
  OptsToEdit = &opts;
  TOptionsDlg dlg(platform, workingCopy, host);
  OptionsDialogOutcome out;
  out.result = platform.showDialog(dlg);
  // However the dialog closed without OK, the record is the one it found.
  if (out.result != ModalResult::OK) {
    dlg.CancelBtnClick();
    out.result = ModalResult::Cancel;
  }
  out.userChanged = dlg.UserChanged;
  out.cameraChanged = dlg.CameraChanged;
  out.siteChanged = dlg.SiteChanged;
  return out;
}

}  // namespace hv
