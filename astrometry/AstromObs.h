#pragma once
// The observation report: the session's accepted measurements in time order
// and its three outputs, the "Astrometric Results" table, the Minor Planet
// Center lines under their header, and the CSV export.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/InfoList.h"
#include "app/Records.h"
#include "astrometry/ObsParms.h"
#include "astrometry/RefStar.h"
#include "platform/Platform.h"
#include "support/LinkList.h"

namespace hv {

constexpr std::size_t ObsRecSize = 339;

// One report entry: the observation's parameters, then the measured target.
struct ObsRec {
  ObsParmsRec Parms;
  RefStarRec Target;

  bool operator==(const ObsRec&) const = default;
};

void EncodeObsRec(Encoder& e, const ObsRec& r);
ObsRec DecodeObsRec(Decoder& d);

// a's observation time is later than b's.
bool ObsTimeGreater(const ObsRec& a, const ObsRec& b);
// The two observation times are equal.
bool ObsTimeEqual(const ObsRec& a, const ObsRec& b);

// Report entries in ascending observation time.
class ObsRecList : public LinkListObj<ObsRec> {
 public:
  bool SameKey(const ObsRec& a, const ObsRec& b) const override { return ObsTimeEqual(a, b); }
  bool KeyGreater(const ObsRec& a, const ObsRec& b) const override { return ObsTimeGreater(a, b); }
};

// What the report needs of the main window that owns it.
class ReportHost : public ListHost {
 public:
  // TBendulak.ReportSaved: no unsaved changes.
  virtual bool ReportSaved() const = 0;
  virtual void SetReportSaved(bool saved) = 0;
  // The "&Report" menu and its "&View/Print/Save Text" item.
  virtual void EnableReportMenu() = 0;
  virtual void SetViewPrintSaveEnabled(bool enabled) = 0;
  // A CSV file was written (the "Access &Spreadsheet" item follows).
  virtual void SpreadsheetWritten(const std::filesystem::path& file) = 0;
  // OptsRec.NoConfirm of the settings copy.
  virtual bool NoConfirm() const = 0;
  // The finder chart of the report window's "&Chart" menu: the chart-centre
  // dialog plotting the measured positions and no ephemeris. It needs the
  // reference-field window; until a host has one the menu stays disabled.
  virtual bool FinderChartAvailable() const { return false; }
  virtual void OpenFinderChart() {}
};

class AstromObsObj;

// The report window's model (AstromListForm): a text-list window that shows
// one of the report's texts and lets the student correct it. Line i at or
// after FirstDataLine shows observation i - FirstDataLine of the report;
// every edit and deletion keeps that correspondence. The handlers are in
// astrometry/AstromList.cpp.
class AstromListModel : public InfoListModel {
 public:
  // Made by the report object, which owns it and outlives it.
  AstromListModel(Platform& platform, ReportHost& host, AstromObsObj& report);

  ObsRec UndoObs;                  // the observation whose line was deleted last
  std::int32_t FirstDataLine = -1;  // index of the first measurement line; -1 before any output
  bool MPCHeader = false;          // the Minor Planet Center header is shown
  std::string CSVFileName;         // last CSV file, without folder
  bool EditHeaderVisible = false;  // "Edit Header &Information" and its separator
  // Menu state the report window adds to the list window's.
  bool CommaDelimitVisible = true;
  bool ChartEnabled = false;  // the finder chart needs the reference-field window
  // Called when an output shows the window; the form connects it.
  std::function<void()> OnShow;
  void Show() {
    Visible = true;
    if (OnShow) OnShow();
  }
  // Called when the chart dialog hides the window; the form connects it.
  std::function<void()> OnHide;

  AstromObsObj& Report() { return report_; }

  void FormCreate() override;
  void FormActivate() override;
  void EditSelectedText1Click() override;
  void DeleteSelectedItem1Click() override;
  void UndoEditClick() override;
  void FormDblClick() override;
  void Plot1Click() override;
  void EditObsParameters() override;

 private:
  // The start the three line commands share; false (after the warning)
  // when no line is selected.
  bool StartLineCommand(const char* noSelectionText);
  // The observation a line shows, null for a header line.
  ObsRec* ObservationOfLine(int index);
  void MarkCaption(const char* mark);
  // The Edit and Chart menus shown, Comma Delimit hidden.
  void ShowReportMenus();

  ReportHost& reportHost_;
  AstromObsObj& report_;
  // What the one-level Undo gives back besides the line.
  enum class UndoAction { None, TextEdit, Deletion, ParmsEdit };
  UndoAction undoAction_ = UndoAction::None;
  ObsParmsRec undoParms_;  // the parameters before a parameters edit
  std::int32_t undoObsIndex_ = -1;
  bool undoHeaderLine_ = false;  // the deleted line was a header line
};

// ---- report texts ----

// The initials form of a comma-separated list of names:
// "john q public, MARY ANN JONES" gives "J. Q. Public, M. A. Jones".
std::string FormatNames(std::string_view names);
// Breaks a CON, OBS or MEA line into lines of at most 80 characters after
// the last comma at or before column 80, each continuation starting with
// the keyword and a blank; the blank after the comma is dropped. A line
// without such a comma breaks at its last blank, else hard at column 80.
std::vector<std::string> BreakHeaderLine(const std::string& line, std::string_view keyword);

// The three title lines of the table (80 columns each).
std::vector<std::string> ExerciseTitleLines();
// One table line, one Minor Planet Center line, one CSV line (no line end).
std::string ExerciseLine(const ObsRec& r);
std::string MPCLine(const ObsRec& r, const SiteRec& site);
std::string CSVLine(const ObsRec& r);
// The whole CSV file, lines ending in CR LF.
std::string CSVText(const ObsRecList& list);
// The header lines above the Minor Planet Center lines.
std::vector<std::string> MPCHeaderLines(const UserRec& user, const SiteRec& site,
                                        const ClockReading& now);
// The default report file name for a local date: "Mar5RPT.TXT".
std::string DefaultReportFileName(const ClockReading& today);

class AstromObsObj {
 public:
  // An empty report; the report window is created with it, hidden.
  AstromObsObj(Platform& platform, ReportHost& host);
  AstromObsObj(const AstromObsObj&) = delete;
  AstromObsObj& operator=(const AstromObsObj&) = delete;

  // Copies each given record (a null leaves the field); a camera clears
  // CamFromFile. With clear the measurements are emptied. The table is
  // rebuilt when the report window is visible.
  void SetParms(const UserRec* user, const CamRec* camera, const SiteRec* site, bool clear);
  // Inserts the measurement in time order.
  void AddObservation(const RefStarRec& target, const ObsParmsRec& parms);
  void ShowExerciseReport();
  void ShowMPCReport();
  // Asks for a file and writes the CSV export; true when a file was written.
  bool SaveSpreadsheet();
  // The Minor Planet Center header into the report window (clears it first).
  void AddShortHeader();
  // The initials form of a list of names (the free FormatNames).
  static std::string FormatNames(std::string_view names) { return hv::FormatNames(names); }

  UserRec User;
  CamRec Camera;
  SiteRec Site;
  std::uint8_t CamFromFile = 0;
  std::uint8_t ShortFormat = 0;
  std::unique_ptr<AstromListModel> ListForm;
  ObsRecList Observations;

 private:
  void EnsureDefaultFileName();
  Platform& platform_;
  ReportHost& host_;
};

}  // namespace hv
