#pragma once
// The reference-field window's dialogs without their widgets: the Reference
// Star dialog (TRefInfoForm1), the display adjustment (TGSCAdjstForm1) and
// the chart dialog (TChrtCntrlBox) with the chart options.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "astrometry/GSCField.h"
#include "platform/Platform.h"

namespace hv {

class AstromObsObj;
class TGSCForm1;

// The catalog star the Reference Star dialog shows and edits (null: none).
extern CatStarRec* RefInfoStar;

// Catalog names by CatStarRec.Catalog / OptsRec.StarCatalog (0, 1, 2).
std::string_view CatalogName(std::uint8_t catalog);

class TRefInfoForm1 : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TRefInfoForm1"; }
  static constexpr int Height = 310;

  // --- what the form shows ---
  std::string Caption = "Reference Star";
  std::string CatEd, IdEd, EntryEd, RAEd, DecEd, PErEd, MagErEd, MagEd, ClrBndEd;
  bool IdFuchsia = false;  // a non-stellar object's identifier
  bool UsePosChk = false, UseMagChk = false;
  bool UsePosGreen = false, UseMagGreen = false;
  bool ChecksVisible = true;
  bool CnclEnabled = true, RmvEnabled = false;
  int Left = 30, Top = 0;
  bool ChartMode = false;

  // Fills the fields from RefInfoStar.
  void FormActivate();
  void UsePosChkClick();
  void UseMagChkClick();
  // OK stores the two boxes in RefInfoStar (measurement mode).
  ModalResult OkBtnClick();
  ModalResult CnclBtnClick();
  ModalResult RmvBtnClick();

  explicit TRefInfoForm1(Platform& platform) : platform_(platform) {}

 private:
  Platform& platform_;
};

// "Adjust Reference Display": the zero point and the inversion of the
// window it edits.
class TGSCAdjstForm1 : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TGSCAdjstForm1"; }
  static constexpr const char* Caption = "Adjust Reference Display";

  TGSCAdjstForm1(Platform& platform, TGSCForm1& window) : platform_(platform), window_(window) {}

  std::string ZeroEdit;
  bool InvrtCkBox = false;
  std::int32_t OldZeroPoint = 0;
  bool OldInverted = false;

  void FormActivate();
  // The zero point is checked first: a text that is no integer keeps the
  // dialog open and stores nothing (ModalResult::None).
  ModalResult OKBtnClick();

 private:
  Platform& platform_;
  TGSCForm1& window_;
};

// The chart options of the run (both false at program start) and the
// report measurement chosen as the chart's centre (-1 none).
extern bool ChartPlotEph;
extern bool ChartPlotPos;
extern std::int32_t ChartObsIndex;
void ResetChartOptions();

// What the chart dialog asks of the main window.
class ChartHost {
 public:
  virtual ~ChartHost() = default;
  virtual AstromObsObj* ChartReport() = 0;
  // The chart's field query and window set-up.
  virtual void MakeChart() = 0;
  virtual int ChartScreenWidth() const { return 1024; }
};

class TChrtCntrlBox {
 public:
  static constexpr const char* OptionsText = "Select options for chart.  Press \"OK\" when ready.";
  static constexpr const char* CentreText =
      "Select a Measurement Record for center of chart field.  Press \"OK\" when ready.";
  static constexpr const char* NotRecordText = "Select a Measurement Record and Press \"OK\"!";
  static constexpr const char* NotRecordCaption = "Not a Measurement Record!";
  static constexpr int Width = 380, Height = 150;

  TChrtCntrlBox(Platform& platform, ChartHost& host) : platform_(platform), host_(host) {}

  // 0 options, 2 choosing the centre, 3 done.
  std::uint8_t Stage = 0;
  std::string Caption = "Chart Options";
  std::string MsgLbl;
  bool PlotEphBox = false, PlotPosBox = false;
  bool PlotEphEnabled = false, PlotPosEnabled = false;
  bool Visible = false;
  int Left = 0, Top = 0;
  ModalResult Result = ModalResult::None;
  // The form shows the fields again.
  std::function<void()> Changed;

  // The chart command: stage 0, shown.
  void Show();
  void FormShow();
  void OKBtnClick();
  void CnclBtnClick();

 private:
  void Finish();
  void Update() {
    if (Changed) Changed();
  }
  Platform& platform_;
  ChartHost& host_;
};

}  // namespace hv
