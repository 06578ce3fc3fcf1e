// The session's reference-field commands: the field query of the measure
// set-up, the region command and the chart; the reference-field window's
// life; the finder chart.
#include "app/Session.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/OnlineCatalog.h"

namespace hv {

// ---------------------------------------------------------------- window host

TImageForm1* RefWindowHost::MeasuredWindow() {
  if (s_.MeasuredSlot < 0 || s_.MeasuredSlot > LastSlot) return nullptr;
  return s_.ImageWindows[static_cast<std::size_t>(s_.MeasuredSlot)].get();
}
bool RefWindowHost::LoadReferenceField(double obsTime) { return s_.LoadReferenceField(obsTime); }
AstromObsObj* RefWindowHost::Report() { return s_.Report.get(); }
int RefWindowHost::ScreenHeight() const { return s_.ScreenHeight; }
void RefWindowHost::ShowList(InfoListModel& list) {
  if (s_.Services.ShowList) s_.Services.ShowList(list);
}
ListHost* RefWindowHost::ListWindowHost() { return &s_; }
void RefWindowHost::MakeChart() { s_.MakeChart(); }
int RefWindowHost::ChartScreenWidth() const { return s_.ScreenWidth; }

// ---------------------------------------------------------------- field loading

bool BendulakSession::LoadReferenceField(double obsTime) {
  FldParmsDlgModel dlg(platform_, Settings);
  dlg.OptionsChanged = [this] { OptionsChanged(); };
  // A chart's field (new, or asked again by its Region Parameters) has no
  // image behind it: no header centre, no filter to match.
  const bool chart = chartQuery_ || (GSCForm1 && GSCForm1->ChartMode == 1);
  if (!chart && MeasuredSlot >= 0 && MeasuredSlot <= LastSlot)
    dlg.MeasuredImage = ImageFiles[static_cast<std::size_t>(MeasuredSlot)].get();
  dlg.PresetFromImage = !chart && RefFieldStale;
  if (GSCForm1) {
    TGSCForm1* w = GSCForm1.get();
    FldParmsDlgModel::RefWindowItems items;
    items.SetRegionParametersEnabled = [w](bool on) {
      w->RefMenus.MainRegionEnabled = w->RefMenus.PopupRegionEnabled = on;
      w->Changed();
    };
    items.AddRemoveEnabled = [w] { return w->RefMenus.PopupAddRemoveEnabled; };
    items.SetAddRemoveEnabled = [w](bool on) {
      w->RefMenus.PopupAddRemoveEnabled = on;
      w->Changed();
    };
    dlg.RefWindow = items;
  }
  if (platform_.showDialog(dlg) != ModalResult::OK) return false;
  BusyCursor busy(platform_);
  switch (Settings.StarCatalog) {
    case CatalogCode::GSC:
      return LoadGSCField();
    case CatalogCode::NOMAD:
    case CatalogCode::USNOB1:
      return LoadOnlineField(obsTime);
    default:
      return false;
  }
}

bool BendulakSession::LoadGSCField() {
  if (!GSCRgnsTbl || !GSCField) return false;
  GSCRgnsTbl->LoadTable(true);
  if (!GSCRgnsTbl->Loaded) return false;
  std::array<std::int16_t, GSCMaxRegions> list{};
  std::int16_t count = 0;
  const FieldBoxRec box = FieldBoxOf(CurFldParms);
  GSCRgnsTbl->FindRegions(box, list, count);
  if (count <= 0) return false;
  GSCField->InitSearch();
  GSCField->SearchRegions(box, list, count);
  return true;
}

bool BendulakSession::LoadOnlineField(double obsTime) {
  // B1Cat is made on the first online query and lives to the end of the
  // run (freed with the other catalog objects). A failed query has reported
  // itself and leaves the field empty.
  return hv::LoadOnlineField(platform_, Settings, obsTime);
}

void BendulakSession::FieldLaidOut() { RefFieldStale = !GSCField || GSCField->Stars.IsEmpty(); }

// ---------------------------------------------------------------- window life

TGSCForm1& BendulakSession::RefFieldWindow() {
  if (!GSCForm1) {
    GSCForm1 = std::make_unique<TGSCForm1>(platform_, WindowHost, RefHost);
    if (Services.RefFieldWindowCreated) Services.RefFieldWindowCreated(*GSCForm1);
  }
  return *GSCForm1;
}

void BendulakSession::FreeRefFieldWindow() {
  if (!GSCForm1) return;
  if (GSCForm1->InfoList && Services.ForgetList) Services.ForgetList(*GSCForm1->InfoList);
  if (Services.RefFieldWindowFreed) Services.RefFieldWindowFreed();
  GSCForm1.reset();
}

void BendulakSession::FreeRefFieldWindowOfMode(std::uint8_t chartMode) {
  if (!GSCForm1 || GSCForm1->ChartMode != chartMode) return;
  FreeRefFieldWindow();
  hv::ResetFldParms(Settings);
  if (Services.ResetFldParms) Services.ResetFldParms();
  RefFieldStale = true;
}

void BendulakSession::ShowRefFieldWindow() {
  if (!GSCForm1) return;
  GSCForm1->FormShow();
  if (Services.ShowRefFieldWindow) Services.ShowRefFieldWindow();
}

// ---------------------------------------------------------------- chart

void BendulakSession::OpenFinderChart() {
  ChartPlotPos = true;
  ChartPlotEph = false;
  CreateChart1Click();
}

bool BendulakSession::RefuseChartWhileMeasuring() {
  if (!MeasurementUnderWay()) return false;
  // The chart would take the window the guide is measuring with.
  ShowWarning(platform_, "Measurement in Progress",
              "Finish the current measurement before making a chart.");
  return true;
}

void BendulakSession::CreateChart1Click() {
  if (RefuseChartWhileMeasuring()) return;
  if (PaintMode != 2) {
    PaintMode = 2;
    if (Services.Repaint) Services.Repaint();
  }
  FreeRefFieldWindowOfMode(0);
  if (!ChrtCntrlBox) ChrtCntrlBox = std::make_unique<TChrtCntrlBox>(platform_, RefHost);
  if (GSCForm1) {
    GSCForm1->Visible = false;
    if (Services.HideRefFieldWindow) Services.HideRefFieldWindow();
  }
  ChrtCntrlBox->Show();
  if (Services.ShowChartDialog) Services.ShowChartDialog(*ChrtCntrlBox);
}

void BendulakSession::MakeChart() {
  // The chart dialog is modeless: a measurement may have been set up while
  // it waited. A running one keeps its window; a finished one's goes.
  if (RefuseChartWhileMeasuring()) return;
  if (GSCForm1 && GSCForm1->ChartMode == 0) FreeRefFieldWindow();
  hv::ResetFldParms(Settings);
  if (Services.ResetFldParms) Services.ResetFldParms();
  double t = 0;
  if (ChartPlotPos) {
    // The report may have been edited while the dialog waited.
    const ObsRec* obs =
        Report && ChartObsIndex >= 0 ? Report->Observations.Item(ChartObsIndex) : nullptr;
    if (!obs) {
      ShowWarning(platform_, "Not a Measurement Record!",
                  "The chosen measurement is no longer in the report.");
      return;
    }
    CurFldParms.RACenter = obs->Target.RA;
    CurFldParms.DecCenter = obs->Target.Dec;
    t = obs->Parms.ObsTime;
  }
  chartQuery_ = true;
  bool ok;
  try {
    ok = LoadReferenceField(t);
  } catch (...) {
    chartQuery_ = false;
    throw;
  }
  chartQuery_ = false;
  RefFieldStale = true;
  if (!ok) return;
  TGSCForm1& w = RefFieldWindow();
  w.ChartMode = 1;
  w.ChartObsTime = t;
  w.InitField();
  w.MeasureMode = true;
  ShowRefFieldWindow();
}

}  // namespace hv
