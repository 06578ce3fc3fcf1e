#pragma once
// The main window's state without its widgets: the settings and their
// saving, the login and the session log, the report, the four image slots,
// the flags, and every main-menu command as an operation. The Qt window
// TBendulak shows this object and mirrors its menu model.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Help.h"
#include "app/ImageSlots.h"
#include "app/InfoList.h"
#include "app/Launcher.h"
#include "app/Login.h"
#include "app/Measure.h"
#include "app/Menu.h"
#include "app/Options.h"
#include "app/SessionLog.h"
#include "astrometry/AstromObs.h"
#include "astrometry/ObsParms.h"
#include "astrometry/RefField.h"
#include "astrometry/RefFieldDlgs.h"
#include "images/Blink.h"
#include "images/GraphicsFile.h"
#include "images/ImageWindow.h"
#include "platform/Platform.h"

namespace hv {

constexpr int LastSlot = 3;
constexpr const char* ApplicationTitle = "Halvardin";
constexpr const char* ProgramVersion = "1.711";
constexpr const char* SessionCaption = "VESK Exercise - Halvardin";

// What the session asks of the windows and objects that other parts own.
// Each is optional: an empty one is skipped.
struct SessionServices {
  std::function<void()> Repaint;
  std::function<void()> Quit;  // the program ends after the current command
  // The report object was made (at the first session start); the window
  // connects its list window here.
  std::function<void(AstromObsObj&)> ReportCreated;
  // The instructor path (password and options dialogs); when empty, the
  // session shows its own dialog models through the platform.
  std::function<ModalResult(const std::string& password, const std::string& secondCode)>
      PasswordDialog;
  struct OptionsOutcome {
    ModalResult result = ModalResult::Cancel;
    bool userChanged = false, cameraChanged = false, siteChanged = false;
  };
  std::function<OptionsOutcome(OptsObj&)> OptionsDialog;
  std::function<void()> ResetFldParms;
  std::function<void()> FreeRefFieldWindow;
  std::function<void()> ForgetBlinkRegion;
  std::function<void(int slot)> ClearAlignment;
  std::function<void()> FreeCatalogs;
  std::function<void()> FreeBaseline;
  // The image slots' windows: a slot's window was made (its form is made
  // here), is about to be freed (its form goes first), or is to be placed
  // at (x, y), restored, shown and brought to the front.
  std::function<void(int slot, TImageForm1&)> ImageWindowCreated;
  std::function<void(int slot)> ImageWindowFreed;
  std::function<void(int slot, int x, int y)> ShowImageWindow;
  // The blink window was made (its form is made here), or is to be shown.
  std::function<void(TBlinkForm1&)> BlinkWindowCreated;
  std::function<void()> ShowBlinkWindow;
  // The menu model changed outside a main-menu command (an image window
  // closed); the window mirrors it again.
  std::function<void()> MenuChanged;
  // The header listing and image-information windows of the slots' files.
  std::function<void(InfoListModel&)> ShowList;
  std::function<void(InfoListModel&)> ForgetList;
  // An image window's solution report: on top or not, at (20, 20) beside
  // the reference-field window or centred.
  std::function<void(InfoListModel&, bool stayOnTop, bool besideField)> ShowSolutionReport;
  // The guide's form (placed below the reference window and shown, or
  // brought to the front) and the magnifier's.
  std::function<void()> ShowGuide;
  std::function<void(bool shown)> ShowMagnifier;
  // The reference-field window: its form is made here, goes first when the
  // window is freed, and shows it (placed at the top left of the screen).
  std::function<void(TGSCForm1&)> RefFieldWindowCreated;
  std::function<void()> RefFieldWindowFreed;
  std::function<void()> ShowRefFieldWindow;
  std::function<void()> HideRefFieldWindow;
  // The chart dialog, shown modeless (its form is made at the first call).
  std::function<void(TChrtCntrlBox&)> ShowChartDialog;
  // The measurement guide: closed, restarted at its selection and shown;
  // or only restarted at its selection (a new solution order).
  std::function<void()> RestartGuide;
  std::function<void()> BeginGuideSelection;
};

class BendulakSession;

// What the reference-field window and the chart dialog ask of the session.
class RefWindowHost : public RefFieldHost, public ChartHost {
 public:
  explicit RefWindowHost(BendulakSession& session) : s_(session) {}
  TImageForm1* MeasuredWindow() override;
  bool LoadReferenceField(double obsTime) override;
  void RestartGuide() override;
  void BeginGuideSelection() override;
  AstromObsObj* Report() override;
  int ScreenHeight() const override;
  void ShowList(InfoListModel& list) override;
  ListHost* ListWindowHost() override;
  AstromObsObj* ChartReport() override { return Report(); }
  void MakeChart() override;
  int ChartScreenWidth() const override;

 private:
  BendulakSession& s_;
};

class BendulakSession : public ReportHost {
  // First, so that the members made with it see it.
  Platform& platform_;

 public:
  BendulakSession(Platform& platform, SessionServices services = {});
  ~BendulakSession() override;

  Platform& platform() { return platform_; }
  SessionServices Services;

  // --- state ---
  std::string Caption = SessionCaption;
  bool PictureLoaded = false;
  std::uint8_t PaintMode = 0;  // 0 title, 1 exercise picture, 2 image list
  bool CloseConfirmed = false;
  bool RefFieldStale = true;
  bool UpdatesPending = false;
  bool OfferAllUsers = false;
  std::unique_ptr<ExecMod32Obj> Launcher;
  LoginRec LoginData;
  std::unique_ptr<LogFileObj> SessionLog;
  std::unique_ptr<OptsObj> Opts;
  OptsRec Settings;
  ObsParmsRec CurrentObs;
  int MeasuredSlot = 0;
  std::unique_ptr<AstromObsObj> Report;
  bool ReportSaved_ = true;
  bool SessionStarted = false;
  bool OptionsAccess = false;
  bool MoreRefsHintGiven = false;
  bool ZoomHintDue = true;
  bool BlinkHintDue = true;
  // The exercise help topics (null: none loaded); ActiveHelpList follows
  // every replacement, so it never names a freed list.
  std::unique_ptr<HelpList> HelpTopics;
  // The topic the help commands hand to the help window.
  HelpTopicRec HelpRequest;
  // The topic dialog and the help window, made with the session and kept
  // for the whole run.
  HelpLstDlgModel HelpLstDlg{platform_};
  HelpWinModel HelpWin{platform_, *this, HelpLstDlg};
  std::filesystem::path ImageFolder;
  std::string ImageFileName;
  std::filesystem::path ReportFolder_;
  int ScreenWidth = 1024;
  // Set by a reader whose file gave the report's camera record its facts.
  bool CamFromFile = false;
  // The image windows' host; made before the windows and freed after them.
  SlotWindowHost WindowHost{*this};
  // Windows before files: a window refers to its slot's file.
  std::array<std::unique_ptr<GraphicsFileObj>, LastSlot + 1> ImageFiles;
  std::array<std::unique_ptr<TImageForm1>, LastSlot + 1> ImageWindows;
  // A slot is busy while its window is shown or measured or it is blinked;
  // each slot keeps its own flag, so freeing one never frees another.
  std::array<bool, LastSlot + 1> SlotIsBusy{};
  // The blink window, made by the first Blink command and kept; it refers
  // to the slots' windows, so it goes before them.
  std::unique_ptr<TBlinkForm1> BlinkForm1;
  // The reference-field window (null: none) and its host; the host is made
  // before the window and freed after it.
  RefWindowHost RefHost{*this};
  std::unique_ptr<TGSCForm1> GSCForm1;
  // The chart dialog, made by the first chart command and kept.
  std::unique_ptr<TChrtCntrlBox> ChrtCntrlBox;
  int ScreenHeight = 768;
  // Set when the program must end (screen too small, no writable folder).
  bool QuitRequested = false;

  MenuModel Menu;

  // --- settings saving ---
  void OptionsChanged();
  void SaveUpdates1Click();
  void ClearPending();
  void OfferAllUserDefaults();

  // --- session ---
  void StartSession();
  void Login1Click();
  void Preferences1Click();
  void Object1Click();
  void ClearAll();
  void FieldObservationSet1Click();
  // True when the window may close.
  bool FormCloseQuery();
  void FormClose();
  // The spreadsheet command of the report menu.
  void SpreadSheet1Click();
  void AboutThisExercise1Click();
  // The help menu.
  void OnHelp1Click();
  void User1Click();
  void Topics1Click();
  // "Compute &Baseline...": the baseline dialog, made at the first use and
  // kept for the run, shown modally.
  void Baseline1Click();
  // Frees the baseline dialog and its report window (at exit).
  void FreeBaseline();
  // "Convert &GSC...": the question, the converter's dialog, the
  // conversion with its progress window, and the offer to switch the
  // settings to the converted copy.
  void ConvertGSC1Click();
  // The report menu's two outputs.
  void ExerciseFrmt1Click();
  void SpreadsheetFormat1Click();
  // Marks a slot busy or free and sets the slot's load item and the
  // shared commands; those are enabled only while no slot is busy.
  void SlotBusy(int slot, bool busy);
  bool AnySlotBusy() const;

  // --- measurement ---
  // The guide, made with the session and kept for the run.
  SessionGuideHost GuideHost{*this};
  SlctRefModel SlctRefForm1{platform_, GuideHost};
  // "Image &1" to "Image &4" of the measure menu (n from 1 to 4).
  void MeasImgClick(int n);
  void MeasImg1Click() { MeasImgClick(1); }
  void MeasImg2Click() { MeasImgClick(2); }
  void MeasImg3Click() { MeasImgClick(3); }
  void MeasImg4Click() { MeasImgClick(4); }
  bool MeasureSetup();
  bool OpenMeasureWindows();
  // The guide is shown: a measurement is under way.
  bool MeasurementUnderWay() const { return SlctRefForm1.Visible; }

  // --- image slots ---
  // Chooses one file and loads it into the slot; true when it was loaded.
  bool LoadImage(int slot);
  // "Image &1" to "Image &4" of the load menu (n from 1 to 4).
  void LoadImgClick(int n);
  void LoadImg1Click() { LoadImgClick(1); }
  void LoadImg2Click() { LoadImgClick(2); }
  void LoadImg3Click() { LoadImgClick(3); }
  void LoadImg4Click() { LoadImgClick(4); }
  void MultipleLoad1Click();
  void ViewAdjust1Click();
  // "&Blink...": the loaded images from slot 0 up, in the blink window.
  void Blink1Click();
  void ImageFileType1Click();
  // The submenu headers do nothing.
  void ImageMIClick() {}
  void Clear1Click() {}
  void Load1Click() {}
  // The reader context of the slots' files: the current observation, the
  // report's camera, the list windows.
  ReaderContext SlotReaderContext();
  // Enables OnHelp1, Topics1, User1 by the help file settings and loads
  // the topic list.
  void SetHelpItems();
  // Enables "Access Spreadsheet" when a CSV file lies in the per-user or
  // the data folder.
  void UpdateSpreadsheetItem();

  // --- reference field and chart ---
  // The field-parameter dialog, then the catalog query of the chosen
  // catalog into GSCField (observation time in days since 1899-12-30).
  bool LoadReferenceField(double obsTime);
  bool LoadGSCField();
  bool LoadOnlineField(double obsTime);
  // The reference-field window, made when missing (its form with it).
  TGSCForm1& RefFieldWindow();
  void FreeRefFieldWindow();
  // Frees the window when it was laid out for the other use (ChartMode 0
  // measurement, 1 chart): its field and field parameters start afresh.
  void FreeRefFieldWindowOfMode(std::uint8_t chartMode);
  // Places the window at the top left of the screen and shows it.
  void ShowRefFieldWindow();
  // The field was laid out for a measurement: it is reused from now on,
  // unless it holds no star (then the next measure command asks again).
  void FieldLaidOut();
  // The report window's chart command.
  void CreateChart1Click();
  void MakeChart();

  // ListHost
  std::filesystem::path ReportFolder() const override { return ReportFolder_; }
  PrintHeader ListPrintHeader() const override;
  // The user, camera or site dialog over the report's record; after OK the
  // report is rebuilt and the record becomes the settings' default.
  bool EditReportHeader(HeaderRecord which) override;
  // ReportHost
  bool ReportSaved() const override { return ReportSaved_; }
  void SetReportSaved(bool saved) override { ReportSaved_ = saved; }
  void EnableReportMenu() override { Menu.Enable("ReportMI", true); }
  void SetViewPrintSaveEnabled(bool enabled) override { Menu.Enable("ViewEdit1", enabled); }
  void SpreadsheetWritten(const std::filesystem::path&) override { UpdateSpreadsheetItem(); }
  bool NoConfirm() const override { return Settings.NoConfirm; }
  bool FinderChartAvailable() const override { return true; }
  void OpenFinderChart() override;

  // The filters of the main window's file dialogs.
  static const char* const OpenDialogFilter;
  static const char* const SpreadsheetFilter;

 private:
  void BuildMenu();
  // Records the folder and name of a chosen image; a new folder marks the
  // settings changed (upper-cased comparison when ignoreCase).
  void NoteImageFile(const std::filesystem::path& file, bool ignoreCase);
  // Loads the file with the setting's reader into the slot; the slot keeps
  // what it had when that fails.
  bool LoadIntoSlot(int slot, const std::filesystem::path& file);
  // The menu changes after a successful load into the slot.
  void SlotLoaded(int slot);
  void FreeSlot(int slot);
  void RunOptionsDialog(bool afterInstructorLogin);
  // Set while the chart asks for its field: no image supplies a filter.
  bool chartQuery_ = false;
  // The box that refuses a chart while a measurement runs; true when shown.
  bool RefuseChartWhileMeasuring();
};

// The one session of the run, for the parts that reach the main window's
// state; the program and the tests set it.
extern BendulakSession* Bendulak;

}  // namespace hv
