#include "astrometry/RefFieldDlgs.h"

#include "astrometry/AstromObs.h"
#include "astrometry/RefField.h"
#include "support/Format.h"

namespace hv {

std::string_view CatalogName(std::uint8_t catalog) {
  switch (catalog) {
    case 1:
      return "NOMAD";
    case 2:
      return "USNO-B1.0";
    default:
      return "STSI Guide Star Catalog";
  }
}

// ---------------------------------------------------------------- Reference Star

void TRefInfoForm1::FormActivate() {
  const CatStarRec* s = RefInfoStar;
  if (!s) return;
  CatEd = CatalogName(s->Catalog);
  static const char* const bands[] = {"  Blue",   "  V-band", "  Red",  "  I-band", "  J-band",
                                      "  H-band", "  K-band", "  None", "Unknown"};
  ClrBndEd = bands[s->Band < 8 ? s->Band : 8];
  if (s->Catalog != 0) {
    EntryEd = PErEd = MagErEd = "NA";
  } else {
    EntryEd = std::to_string(s->Entries);
    PErEd = FormatFixed(1, s->PosErr) + "\"";
    MagErEd = FormatFixed(2, s->MagErr);
  }
  IdEd = " " + s->Name;
  RAEd = FormatRA(2, "h ", "m ", s->RA, "s");
  DecEd = FormatDMS(1, "\xB0 ", "' ", s->Dec, "\"");
  MagEd = FormatFixed(2, s->Mag);
  UsePosChk = s->UsePos;
  UseMagChk = s->UseMag;
  UsePosGreen = UsePosChk;
  UseMagGreen = UseMagChk;
  const bool star = s->Class == 0;
  Caption = star ? "Reference Star" : "Non-Stellar Object";
  IdFuchsia = !star;
  CnclEnabled = !ChartMode;
  ChecksVisible = !ChartMode;
  if (ChartMode) RmvEnabled = false;
}

void TRefInfoForm1::UsePosChkClick() { UsePosGreen = UsePosChk; }
void TRefInfoForm1::UseMagChkClick() { UseMagGreen = UseMagChk; }

ModalResult TRefInfoForm1::OkBtnClick() {
  if (ChartMode) return ModalResult::OK;
  platform_.beep(Sound::Default);
  if (RefInfoStar) {
    RefInfoStar->UsePos = UsePosChk;
    RefInfoStar->UseMag = UseMagChk;
  }
  return ModalResult::OK;
}

ModalResult TRefInfoForm1::CnclBtnClick() {
  platform_.beep(Sound::Exclamation);
  return ModalResult::Cancel;
}

ModalResult TRefInfoForm1::RmvBtnClick() {
  platform_.beep(Sound::Exclamation);
  return ModalResult::No;
}

// ---------------------------------------------------------------- display adjustment

void TGSCAdjstForm1::FormActivate() {
  InvrtCkBox = window_.Inverted;
  ZeroEdit = std::to_string(window_.ZeroPoint);
  OldZeroPoint = window_.ZeroPoint;
  OldInverted = window_.Inverted;
}

ModalResult TGSCAdjstForm1::OKBtnClick() {
  std::int32_t zero;
  try {
    zero = StrToInt(ZeroEdit);
  } catch (const ConvertError& e) {
    // Nothing is stored, so the flag and the picture stay in step.
    ShowError(platform_, "Halvardin", e.what());
    return ModalResult::None;
  }
  window_.Inverted = InvrtCkBox;
  window_.ZeroPoint = zero;
  return ModalResult::OK;
}

// ---------------------------------------------------------------- chart dialog

bool ChartPlotEph = false;
bool ChartPlotPos = false;
std::int32_t ChartObsIndex = -1;

void ResetChartOptions() {
  ChartPlotEph = ChartPlotPos = false;
  ChartObsIndex = -1;
}

void TChrtCntrlBox::Show() {
  Stage = 0;
  Result = ModalResult::None;
  Visible = true;
  FormShow();
}

void TChrtCntrlBox::FormShow() {
  if (Stage != 0) return;
  platform_.beep(Sound::Question);
  AstromObsObj* report = host_.ChartReport();
  PlotEphEnabled = false;
  PlotPosEnabled = report && !report->Observations.IsEmpty();
  PlotEphBox = ChartPlotEph;
  PlotPosBox = ChartPlotPos;
  MsgLbl = OptionsText;
  Caption = "Chart Options";
  Update();
}

void TChrtCntrlBox::OKBtnClick() {
  AstromObsObj* report = host_.ChartReport();
  if (Stage == 0) {
    ChartPlotEph = PlotEphBox;
    // Without measurements there is nothing to centre on or to mark.
    ChartPlotPos = PlotPosBox && PlotPosEnabled;
    PlotEphEnabled = PlotPosEnabled = false;
    if (ChartPlotPos && report && report->ListForm) {
      Stage = 2;
      AstromListModel& list = *report->ListForm;
      list.Visible = false;
      if (list.OnHide) list.OnHide();
      ChartObsIndex = -1;
      report->ShortFormat = 1;
      Visible = false;
      report->ShowMPCReport();
      Left = (host_.ChartScreenWidth() - Width) / 2;
      Top = 0;
      MsgLbl = CentreText;
      Caption = "Identify Chart Center";
      Visible = true;
      Update();
      return;
    }
    Finish();
    return;
  }
  if (Stage == 2 && report && report->ListForm) {
    AstromListModel& list = *report->ListForm;
    const int i = list.Selected, f = list.FirstDataLine;
    if (f < 0 || i < f) {
      platform_.beep(Sound::Exclamation);
      MsgLbl = NotRecordText;
      Caption = NotRecordCaption;
      ChartObsIndex = -1;
      Update();
      return;
    }
    ChartObsIndex = i - f;
    list.Visible = false;
    if (list.OnHide) list.OnHide();
  }
  Finish();
}

void TChrtCntrlBox::Finish() {
  Stage = 3;
  Visible = false;
  Update();
  host_.MakeChart();
  Result = ModalResult::OK;
}

void TChrtCntrlBox::CnclBtnClick() {
  if (Stage == 2) {
    if (AstromObsObj* report = host_.ChartReport(); report && report->ListForm) {
      report->ListForm->Visible = false;
      if (report->ListForm->OnHide) report->ListForm->OnHide();
    }
  }
  Visible = false;
  Result = ModalResult::Cancel;
  Update();
}

}  // namespace hv
