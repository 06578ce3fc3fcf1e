#include "app/Session.h"

#include <fstream>

#include "app/OptionsDlg.h"
#include "app/Password.h"
#include "app/SiteCamDlgs.h"
#include "astrometry/Baseline.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCCnvrt.h"
#include "astrometry/Progress.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

BendulakSession* Bendulak = nullptr;

const char* const BendulakSession::OpenDialogFilter =
    "FITS Files (*.FIT, *.FTS)|*.FIT; *.FTS|ST-4 Files|*.ST4|SBIG Files (ST4X thru STV)|*.ST*|"
    "All Files (*.*)|*.*";
const char* const BendulakSession::SpreadsheetFilter =
    "Comma-Separated Values (*.CSV)|*.CSV|Excel Spreadsheets (*.XLS)|*.XLS|All Files (*.*)|*.*";

namespace {
std::string Slot(const char* stem, int slot) { return stem + std::to_string(slot + 1); }
const std::string CrLf = "\r\n";
}  // namespace

BendulakSession::BendulakSession(Platform& platform, SessionServices services)
    : platform_(platform), Services(std::move(services)) {
  BuildMenu();
  HelpWin.ProgramFolder = [this] { return Settings.ProgramFolder; };
  HelpWin.FormCreate(96);
  // The alignment tables and the blink region are this program's own.
  if (!Services.ClearAlignment)
    Services.ClearAlignment = [](int slot) { hv::ClearAlignment(slot); };
  if (!Services.FreeRefFieldWindow) Services.FreeRefFieldWindow = [this] { FreeRefFieldWindow(); };
  if (!Services.ForgetBlinkRegion)
    Services.ForgetBlinkRegion = [this] {
      if (BlinkForm1) BlinkForm1->ForgetRegion();
    };
}

BendulakSession::~BendulakSession() {
  FreeBaseline();
  // The reference-field window reads the measured slot's window.
  FreeRefFieldWindow();
  // The slot windows tell the blink window when they go: it goes first, and
  // they go while its pointer is still there to be asked.
  BlinkForm1.reset();
  for (auto& w : ImageWindows) w.reset();
  if (ActiveHelpList == HelpTopics.get()) ActiveHelpList = nullptr;
}

void BendulakSession::BuildMenu() {
  MenuModel& m = Menu;
  m.Add("FileMI", "&File");
  m.Add("Login1", "&Login...", "FileMI");
  m.Add("ImageFileType1", "Set Image &File Type...", "FileMI", false);
  m.Add("Clear1", "&Clear Images/Ref. Fields", "FileMI", false);
  m.Add("Object1", "&Images and Reference Fields", "Clear1");
  m.Add("FieldObservationSet1", "&Reference Fields Only", "Clear1");
  m.Add("Load1", "L&oad Image Files", "FileMI", false);
  m.Add("MultipleLoad1", "&Multiple Load", "Load1");
  for (int s = 0; s <= LastSlot; ++s)
    m.Add(Slot("LoadImg", s), "Image &" + std::to_string(s + 1), "Load1", s == 0);
  m.Add("PrefSep", "-", "FileMI", true, false);
  m.Add("Preferences1", "&Preferences...", "FileMI", false, false);
  m.Add("Options1", "&Options and Parameters...", "Preferences1");
  m.Add("SaveUpdates1", "&Save Updates", "Preferences1", false);
  m.Add("ConvertGSC1", "Convert &GSC...", "Preferences1");
  m.Add("Exit1", "&Exit", "FileMI");
  m.Add("ImageMI", "&Images", {}, false);
  m.Add("ViewAdjust1", "&View/Adjust...", "ImageMI");
  m.Add("Measure1", "&Measure", "ImageMI");
  for (int s = 0; s <= LastSlot; ++s)
    m.Add(Slot("MeasImg", s), "Image &" + std::to_string(s + 1), "Measure1", false);
  m.Add("Blink1", "&Blink...", "ImageMI", false);
  m.Add("ReportMI", "&Report", {}, false);
  m.Add("ViewEdit1", "&View/Print/Save Text", "ReportMI", false);
  m.Add("ExerciseFrmt1", "&Exercise Format...", "ViewEdit1");
  m.Add("SpreadsheetFormat1", "S&preadsheet Format (.CSV)...", "ViewEdit1");
  // The other two formats of the report stay hidden.
  m.Add("FrmtSep", "-", "ViewEdit1", true, false);
  m.Add("ShortFormat1", "&Short Format...", "ViewEdit1", true, false);
  m.Add("LongFormat1", "&Long Format...", "ViewEdit1", true, false);
  m.Add("Baseline1", "Compute &Baseline...", "ReportMI");
  m.Add("SpreadSheet1", "Access &Spreadsheet", "ReportMI", false);
  m.Add("HelpMi", "&Help");
  m.Add("OnHelp1", "On &Help", "HelpMi");
  m.Add("Topics1", "&Topics...", "HelpMi");
  m.Add("User1", "&User", "HelpMi");
  m.Add("AboutThisExercise1", "&About...", "HelpMi");

  for (int s = 0; s <= LastSlot; ++s) {
    m[Slot("LoadImg", s)].checkable = true;
    m[Slot("MeasImg", s)].checkable = true;
  }
  // Commands whose code is not in this build yet.
  for (const char* name :
       {"ShortFormat1", "LongFormat1"})
    m[name].available = false;
}

// --- settings saving ---

void BendulakSession::OptionsChanged() {
  UpdatesPending = true;
  OfferAllUsers = Settings.AdminMode;
  Menu.Enable("SaveUpdates1", true);
  SaveUpdates1Click();
}

void BendulakSession::SaveUpdates1Click() {
  if (!Opts) return;
  bool written;
  {
    BusyCursor busy(platform_);
    Opts->Settings = Settings;
    written = Opts->WriteOptsFile(Settings.DataFolder);
  }
  // A failed write stays pending, so the exit tries again.
  if (written) ClearPending();
  if (OfferAllUsers) OfferAllUserDefaults();
}

void BendulakSession::ClearPending() {
  UpdatesPending = false;
  Menu.Enable("SaveUpdates1", false);
}

void BendulakSession::OfferAllUserDefaults() {
  if (!OfferAllUsers || !Opts) return;
  bool yes = Settings.NoConfirm ||
             AskYesNo(platform_, "Use As Defaults for All Users?",
                      "Save Updated Parameters in " +
                          (Settings.ProgramFolder / Settings.OptsFileName).string() + "?");
  if (!yes) return;
  BusyCursor busy(platform_);
  Opts->Settings = Settings;
  if (!Opts->WriteOptsFile(Settings.ProgramFolder)) {
    Settings.AdminMode = false;
    Opts->Settings.AdminMode = false;
  }
  OfferAllUsers = false;
}

// --- session ---

void BendulakSession::StartSession() {
  Menu.Enable("Login1", false);
  if (!SessionStarted) {
    LoginData = LoginRec{};
    LoginData.Name1 = "Astrometry Module";
    LoginData.UserID = "ASTRM";
    PaintMode = 1;
    SessionStarted = true;
    LoginToFill = &LoginData;
    if (Services.Repaint) Services.Repaint();
  }
  if (Settings.WorkFolder.empty()) {
    // The ID stays as typed for the log; only its folder name is made safe.
    fs::path folder = Settings.DataFolder / "Users" / UserFolderName(LoginData.UserID) / "";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
      ShowError(platform_, "Write-Enabled Storage Required",
                "Unable to create directory \"" + folder.string() + "\"" + CrLf + CrLf +
                    "Application will terminate!");
      QuitRequested = true;
      if (Services.Quit) Services.Quit();
      return;
    }
    Settings.WorkFolder = folder;
  }
  ReportFolder_ = Settings.DataFolder;
  if (!Report) {
    Report = std::make_unique<AstromObsObj>(platform_, *this);
    Report->SetParms(&Settings.DefaultUser, &Settings.DefaultCamera, &Settings.DefaultSite, true);
    if (Services.ReportCreated) Services.ReportCreated(*Report);
  }
  if (Settings.TestMode) {
    OptionsAccess = true;
    Menu.Enable("Preferences1", true);
    Menu.Show("Preferences1", true);
    Menu.Show("PrefSep", true);
  }
  Caption = SessionCaption;
  UpdateSpreadsheetItem();
  Menu.Enable("ReportMI", true);
  Menu.Enable("ViewEdit1", false);
  Menu.Enable("Load1", true);
  Menu.Enable("ImageFileType1", true);
  hv::ResetFldParms(Settings);
  if (Services.ResetFldParms) Services.ResetFldParms();
  RefFieldStale = true;
  for (int s = 0; s <= LastSlot; ++s) Menu.Check(Slot("MeasImg", s), false);

  fs::path logPath = Settings.LogFile;
  if (!logPath.has_parent_path()) logPath = Settings.DataFolder / logPath;
  SessionLog = std::make_unique<LogFileObj>(platform_);
  SessionLog->Init("MORVETIK", logPath, &LoginData);
  SessionLog->WriteLogin();
}

void BendulakSession::UpdateSpreadsheetItem() {
  auto hasCsv = [](const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    for (const auto& e : fs::directory_iterator(folder, ec))
      if (e.is_regular_file(ec) && UpperAscii(e.path().extension().string()) == ".CSV") return true;
    return false;
  };
  // The CSV export saves into the data folder; the per-user folder may hold one too.
  Menu.Enable("SpreadSheet1", hasCsv(Settings.WorkFolder) || hasCsv(Settings.DataFolder));
}

void BendulakSession::SetHelpItems() {
  Menu.Enable("OnHelp1", !Settings.GeneralHelpFile.empty());
  Menu.Enable("Topics1", !Settings.HelpListFile.empty());
  Menu.Enable("User1", !Settings.UserHelpFile.empty());
  if (!Settings.HelpListFile.empty()) {
    if (ActiveHelpList == HelpTopics.get()) ActiveHelpList = nullptr;
    HelpTopics =
        LoadHelpList(platform_, FindCaseInsensitive(Settings.ProgramFolder, Settings.HelpListFile));
    // The help window's links and its topic list follow the new list.
    ActiveHelpList = HelpTopics.get();
  }
}

void BendulakSession::OnHelp1Click() {
  if (Settings.GeneralHelpFile.empty()) return;
  HelpRequest = {"On Help", Settings.GeneralHelpFile};
  HelpTopicToShow = HelpRequest;
  HelpFolder = Settings.ProgramFolder;
  HelpWin.ScreenWidth = ScreenWidth;
  // A topic asked for from the main window always joins the history.
  HelpWin.AddToHistory = true;
  HelpWin.Show();
}

void BendulakSession::User1Click() {
  if (Settings.UserHelpFile.empty()) return;
  HelpRequest = {"User Help", Settings.UserHelpFile};
  HelpTopicToShow = HelpRequest;
  HelpFolder = Settings.ProgramFolder;
  HelpWin.ScreenWidth = ScreenWidth;
  // A topic asked for from the main window always joins the history.
  HelpWin.AddToHistory = true;
  HelpWin.Show();
}

void BendulakSession::Topics1Click() {
  ActiveHelpList = HelpTopics.get();
  HelpLstDlg.ScreenWidth = ScreenWidth;
  if (platform_.showDialog(HelpLstDlg) != ModalResult::OK || !ActiveHelpList) return;
  const HelpTopicRec* e = ActiveHelpList->Entry(ActiveHelpList->Selected);
  if (!e) return;
  HelpTopicToShow = *e;
  HelpFolder = Settings.ProgramFolder;
  HelpWin.ScreenWidth = ScreenWidth;
  // A topic asked for from the main window always joins the history.
  HelpWin.AddToHistory = true;
  HelpWin.Show();
}

void BendulakSession::Login1Click() {
  LoginToFill = &LoginData;
  LoginDlgModel dlg(platform_);
  dlg.FormCreate(Settings.TableNumber);
  platform_.showDialog(dlg);
  if (UpperAscii(LoginData.Name1) == "INSTRUCTOR") {
    std::string password = DecodePassword(Settings.Password, Settings.PasswordLen);
    std::string second = DecodePassword(Settings.SecondCode, Settings.SecondCodeLen);
    ModalResult r;
    if (Services.PasswordDialog) {
      do {
        r = Services.PasswordDialog(password, second);
      } while (r == ModalResult::No);
    } else {
      r = AskInstructorPassword(platform_, password, second);
    }
    if (r == ModalResult::OK || r == ModalResult::Yes) RunOptionsDialog(true);
  }
  BusyCursor busy(platform_);
  PaintMode = 1;
  SessionStarted = true;
  StartSession();
  if (Services.Repaint) Services.Repaint();
}

void BendulakSession::RunOptionsDialog(bool afterInstructorLogin) {
  SessionServices::OptionsOutcome out;
  if (Opts && Services.OptionsDialog) {
    out = Services.OptionsDialog(*Opts);
  } else if (Opts) {
    OptionsDialogOutcome o = RunOptionsDlg(platform_, *Opts, &Settings, this);
    out.result = o.result;
    out.userChanged = o.userChanged;
    out.cameraChanged = o.cameraChanged;
    out.siteChanged = o.siteChanged;
  }
  if (out.result == ModalResult::OK) {
    Settings = Opts->Settings;
    OptionsChanged();
    if (!afterInstructorLogin && Report &&
        (out.userChanged || out.cameraChanged || out.siteChanged))
      Report->SetParms(out.userChanged ? &Settings.DefaultUser : nullptr,
                       out.cameraChanged ? &Settings.DefaultCamera : nullptr,
                       out.siteChanged ? &Settings.DefaultSite : nullptr, false);
  }
  if (afterInstructorLogin) {
    SetHelpItems();
    if (!Settings.TestMode) {
      OptionsAccess = AskYesNo(platform_, "Retain Options Access?",
                               "Do you want to retain access to the Options dialog" + CrLf +
                                   "(via \"File\"->\"Preferences\" from the Main Menu) for" + CrLf +
                                   "the remainder of this session?");
      if (OptionsAccess) {
        Menu.Enable("Preferences1", true);
        Menu.Show("Preferences1", true);
        Menu.Show("PrefSep", true);
      }
    }
  } else if (out.result == ModalResult::OK) {
    SetHelpItems();
    Caption = SessionCaption;
    if (Services.Repaint) Services.Repaint();
  }
}

void BendulakSession::Preferences1Click() {
  if (!OptionsAccess) {
    ShowWarning(platform_, "USER OPTIONS!",
                "INSTRUCTOR: Many features of this software are controlled by" + CrLf +
                    "option switches and parameters that enable you to tailor the" + CrLf +
                    "exercise to your own needs and preferences." + CrLf + CrLf +
                    "See the technical documentation for details and instructions!");
    return;
  }
  RunOptionsDialog(false);
  if (Services.FreeRefFieldWindow) Services.FreeRefFieldWindow();
  // After OK and Cancel alike: the report stays, the field becomes stale,
  // and the log gets a new login entry.
  StartSession();
}

void BendulakSession::Object1Click() {
  if (!Settings.NoConfirm && !AskYesNo(platform_, "Verify Clear",
                                       "Clear Current Images, Reference Fields and Parameters?"))
    return;
  ClearAll();
}

void BendulakSession::ClearAll() {
  for (int s = 0; s <= LastSlot; ++s) {
    FreeSlot(s);
    SlotIsBusy[static_cast<std::size_t>(s)] = false;
    if (Services.ClearAlignment) Services.ClearAlignment(s);
  }
  hv::ResetFldParms(Settings);
  if (Services.ResetFldParms) Services.ResetFldParms();
  if (Services.FreeRefFieldWindow) Services.FreeRefFieldWindow();
  RefFieldStale = true;
  if (Services.ForgetBlinkRegion) Services.ForgetBlinkRegion();
  if (Report) Report->SetParms(nullptr, &Settings.DefaultCamera, nullptr, false);
  ClearObsParms(CurrentObs);
  Menu.Enable("Clear1", false);
  Menu.Enable("MultipleLoad1", true);
  Menu.Enable("LoadImg1", true);
  for (int s = 0; s <= LastSlot; ++s) {
    if (s > 0) Menu.Enable(Slot("LoadImg", s), false);
    Menu.Enable(Slot("MeasImg", s), false);
    Menu.Check(Slot("LoadImg", s), false);
    Menu.Check(Slot("MeasImg", s), false);
  }
  Menu.Enable("Blink1", false);
  Menu.Enable("ImageMI", false);
  MoreRefsHintGiven = false;
  if (Services.Repaint) Services.Repaint();
}

void BendulakSession::FieldObservationSet1Click() {
  if (!Settings.NoConfirm &&
      !AskYesNo(platform_, "Verify Clear", "Clear Field and Reference Star Parameters?"))
    return;
  hv::ResetFldParms(Settings);
  if (Services.ResetFldParms) Services.ResetFldParms();
  RefFieldStale = true;
  for (int s = 0; s <= LastSlot; ++s) {
    Menu.Check(Slot("MeasImg", s), false);
    if (auto& w = ImageWindows[static_cast<std::size_t>(s)]) {
      w->PlateSoln.Solved = false;
      w->RefsLocated = false;
    }
  }
}

bool BendulakSession::AnySlotBusy() const {
  for (bool b : SlotIsBusy)
    if (b) return true;
  return false;
}

void BendulakSession::SlotBusy(int slot, bool busy) {
  if (slot < 0 || slot > LastSlot) return;
  SlotIsBusy[static_cast<std::size_t>(slot)] = busy;
  Menu.Enable(Slot("LoadImg", slot), !busy);
  const bool any = AnySlotBusy();
  Menu.Enable("MultipleLoad1", !any && !Menu["LoadImg1"].checked);
  Menu.Enable("ImageFileType1", !any);
  Menu.Enable("Clear1", !any);
  Menu.Enable("Preferences1", !any && OptionsAccess);
}

bool BendulakSession::FormCloseQuery() {
  // The close frees what a shown dialog binds: it waits for the dialog.
  if (platform_.modalShown()) return false;
  bool allowed = CloseConfirmed || (!Settings.ExerciseMode && LoginData.UserID == "ASTRM");
  if (!allowed) {
    int shown = 3;
    if (PaintMode == 2 && !Settings.ReminderFile.empty())
      shown = ShowReminder(platform_,
                           FindCaseInsensitive(Settings.ProgramFolder, Settings.ReminderFile),
                           "** Exercise Finished? **", Buttons::OKCancel, MsgIcon::Error);
    if (shown == 3) {
      MessageRequest q;
      q.caption = "** Exercise Finished? **";
      q.text = "Are You Sure You Want to Quit This Exercise?";
      q.icon = MsgIcon::Error;
      q.buttons = Buttons::YesNo;
      q.sound = Sound::Hand;
      allowed = platform_.message(q) == ModalResult::Yes;
    } else {
      allowed = shown == 1;
    }
  }
  CloseConfirmed = allowed;
  if (allowed) {
    if (UpdatesPending) {
      SaveUpdates1Click();
      UpdatesPending = false;
      OfferAllUsers = false;
    }
    if (OfferAllUsers) OfferAllUserDefaults();
  }
  return allowed;
}

void BendulakSession::FormClose() {
  // A measurement under way ends here without the guide's questions: its
  // windows are freed below, so the guide and the magnifier go first.
  if (SlctRefForm1.Visible) {
    GuideHost.ShowMagnifier(false);
    SlctRefForm1.Close();
  }
  // So does the blink window, which shows the slots' windows.
  if (BlinkForm1 && BlinkForm1->Visible) BlinkForm1->FormClose();
  FreeRefFieldWindow();
  for (int s = 0; s <= LastSlot; ++s) FreeSlot(s);
  if (Services.FreeCatalogs) Services.FreeCatalogs();
  if (SessionLog) {
    SessionLog->WriteLogout();
    SessionLog.reset();
  }
  Opts.reset();
  Report.reset();
  if (Services.FreeBaseline) Services.FreeBaseline();
  FreeBaseline();
}

void BendulakSession::Baseline1Click() {
  if (PaintMode != 2) {
    PaintMode = 2;
    if (Services.Repaint) Services.Repaint();
  }
  if (!BaselineDlg) {
    BaselineServices sv;
    // The main window may connect its list windows after this.
    sv.ShowList = [this](InfoListModel& m) {
      if (Services.ShowList) Services.ShowList(m);
    };
    BaselineDlg = std::make_unique<BaselineDlgModel>(platform_, *this, Settings, Report.get(), sv);
  }
  BaselineDlg->Report = Report.get();
  platform_.showDialog(*BaselineDlg);
}

void BendulakSession::ConvertGSC1Click() {
  MessageRequest ask;
  ask.caption = "Convert Guide Star Catalog?";
  ask.text =
      "This process will convert the Guide Star Catalog to a smaller and faster format on your "
      "hard disk.  Before starting, take note of the following:\r\n\r\n(1) Although smaller "
      "than the CD-ROM version, the converted GSC will still require nearly 1 GByte of hard disk "
      "space.  Do not run the conversion if you don't have that much available.\r\n\r\n(2) "
      "The conversion will take about 5 hours.  About 55% of the way through you will be "
      "prompted to mount the 2nd CD-ROM.\r\n\r\n(3) You can terminate the conversion before "
      "it finishes and restart it later.  It will find the point where it stopped and continue "
      "from there.\r\n\r\nContinue with conversion?";
  ask.icon = MsgIcon::Error;
  ask.buttons = Buttons::YesNo;
  ask.sound = Sound::Question;
  if (platform_.message(ask) != ModalResult::Yes) return;

  GSCCnvrtForm1 = std::make_unique<TGSCCnvrtForm1>(platform_, Settings);
  GSCCnvrtForm1->FormCreate();
  // The dialog goes however the command ends.
  struct Free {
    ~Free() { GSCCnvrtForm1.reset(); }
  } free;
  if (platform_.showDialog(*GSCCnvrtForm1) != ModalResult::OK) return;
  TGaugeForm2 local(platform_);
  TGaugeForm2& gauge = GaugeForm2 ? *GaugeForm2 : local;
  if (!GSCCnvrtForm1->ConvertCatalog(gauge)) return;
  if (AskYesNo(platform_, "GSC Successfully Converted",
               "Do you want to change your setup to use the converted GSC file?")) {
    Settings.GSCPath1 = Settings.GSCPath2 = GSCCnvrtForm1->ConvOutPath.string();
    Settings.GSCFormat = GSCFormatCode::Converted;
    OptionsChanged();
  }
}

void BendulakSession::FreeBaseline() {
  // The report window's form goes before its model.
  if (BaselineRptForm && Services.ForgetList) Services.ForgetList(*BaselineRptForm);
  BaselineRptForm.reset();
  BaselineDlg.reset();
}

void BendulakSession::SpreadSheet1Click() {
  FileChooser c;
  c.caption = "Select data to pass to spreadsheet.";
  c.folder = ReportFolder_;
  c.filter = SpreadsheetFilter;
  c.defaultExt = "CSV";
  fs::path folder;
  std::string file;
  if (auto choice = platform_.openFiles(c); choice && !choice->files.empty()) {
    folder = choice->files.front().parent_path() / "";
    file = choice->files.front().filename().string();
  }
  if (!Launcher) Launcher = std::make_unique<ExecMod32Obj>(platform_);
  std::string module = Settings.SpreadsheetProgram;
  std::string parameter = file;
  if (module.empty()) {
    std::optional<std::string> found;
    int code = 2;
    std::error_code ec;
    if (!file.empty() && fs::is_regular_file(folder / file, ec)) {
      found = platform_.findExecutableFor(folder / file);
      code = 31;
    }
    if (!found) {
      ShowWarning(platform_, "Cannot Run Spreadsheet!",
                  "Unable to obtain associated processor for " + CrLf + file + CrLf + CrLf +
                      "Code = " + std::to_string(code) + AssociationErrorSuffix(code));
      return;
    }
    module = *found;
    parameter = (folder / file).string();
  }
  if (Launcher->IsRunning(module)) {
    platform_.beep(Sound::Default);
    ShowInfo(platform_, "Module Already Loaded",
             "The Spreadsheet Program is Already Running." + CrLf + CrLf +
                 "Use Alt-Tab to Scan Current Modules.");
    return;
  }
  Launcher->Execute(module, parameter, folder);
  if (!Launcher->Launched) {
    int code = Launcher->LastError;
    ShowWarning(platform_, "Cannot Run Spreadsheet!",
                "Unable to Execute " + module + CrLf + CrLf + "Code = " + std::to_string(code) +
                    ExecuteErrorSuffix(code));
  }
}

void BendulakSession::ExerciseFrmt1Click() {
  if (Report) Report->ShowExerciseReport();
}

void BendulakSession::SpreadsheetFormat1Click() {
  if (Report) Report->SaveSpreadsheet();
  UpdateSpreadsheetItem();
}

void BendulakSession::AboutThisExercise1Click() {
  ShowInfo(platform_, "About This Exercise",
           std::string(ApplicationTitle) + CrLf + "Version " + ProgramVersion + CrLf + CrLf +
               "A teaching exercise in asteroid astrometry.");
}

PrintHeader BendulakSession::ListPrintHeader() const {
  PrintHeader h;
  h.exerciseSession = Settings.ExerciseMode && LoginData.UserID != "ASTRM";
  h.names[0] = LoginData.Name1;
  h.names[1] = LoginData.Name2;
  h.names[2] = LoginData.Name3;
  h.names[3] = LoginData.Name4;
  // The table typed at login is the one the students sit at; the settings'
  // number (often left empty) only stands in when the login has none.
  h.tableNumber = LoginData.TableNumber.empty() ? Settings.TableNumber : LoginData.TableNumber;
  h.defaultUserName = Settings.DefaultUser.ContactName;
  return h;
}

bool BendulakSession::EditReportHeader(HeaderRecord which) {
  if (!Report) return false;
  AstromObsObj& report = *Report;
  ModalResult result = ModalResult::Cancel;
  switch (which) {
    case HeaderRecord::User: {
      UsrParmsDlgModel dlg;
      UserToEdit = &report.User;
      result = platform_.showDialog(dlg);
      UserToEdit = nullptr;
      if (result == ModalResult::OK) Settings.DefaultUser = report.User;
      break;
    }
    case HeaderRecord::Camera: {
      CamParmsDlgModel dlg(platform_, Settings, &report, this);
      CameraToEdit = &report.Camera;
      result = platform_.showDialog(dlg);
      CameraToEdit = nullptr;
      if (result == ModalResult::OK) Settings.DefaultCamera = report.Camera;
      break;
    }
    case HeaderRecord::Site: {
      SiteParmsDlgModel dlg(platform_, Settings, this);
      SiteToEdit = &report.Site;
      result = platform_.showDialog(dlg);
      SiteToEdit = nullptr;
      if (result == ModalResult::OK) Settings.DefaultSite = report.Site;
      break;
    }
  }
  if (result != ModalResult::OK) return false;
  report.SetParms(nullptr, nullptr, nullptr, false);
  OptionsChanged();
  return true;
}

}  // namespace hv
