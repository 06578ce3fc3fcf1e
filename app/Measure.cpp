// The measure commands of the main window's Images menu and the bindings
// between the measurement guide, the session and the image windows.
#include "app/Measure.h"

#include "app/Session.h"
#include "astrometry/FldParms.h"
#include "astrometry/RefField.h"
#include "images/ImageDialogs.h"
#include "images/MagnifyDlg.h"

namespace hv {

namespace {
std::size_t At(int slot) { return static_cast<std::size_t>(slot); }
}  // namespace

// ------------------------------------------------------------ adapters

void ImageGuideAdapter::MarkUnsolved() {
  w_.PlateSoln.Solved = false;
  w_.Changed();
}

void ImageGuideAdapter::ResetTarget() {
  w_.ResetTarget();
  // The plate is no longer solved: its menu items follow at once.
  w_.Changed();
}

void ImageGuideAdapter::EnableReportList() {
  w_.Menus.ReportListEnabled = true;
  w_.Changed();
}

void ImageGuideAdapter::Show() {
  // The measured slot stayed busy while its window was closed (a window
  // is closable after its solution); it only comes back into view.
  s_.SlotBusy(w_.ImageNo, true);
  if (w_.Visible && !w_.Minimized) return;
  w_.Minimized = false;
  if (s_.Services.ShowImageWindow)
    s_.Services.ShowImageWindow(w_.ImageNo, s_.ScreenWidth / 2 - 2, 0);
  else
    w_.FormShow();
  if (s_.Services.MenuChanged) s_.Services.MenuChanged();
}

void ImageGuideAdapter::CloseReport() {
  if (!w_.ReportWin) return;
  w_.ReportWin->Close1Click();
  if (s_.Services.ForgetList) s_.Services.ForgetList(*w_.ReportWin);
}

RefStarList& RefGuideAdapter::RefStars() { return w_.RefStars; }
bool& RefGuideAdapter::CloseAllowed() { return w_.CloseAllowed; }
void RefGuideAdapter::SetPickMode(bool on) {
  w_.MeasureMode = on;
  w_.Changed();
}
void RefGuideAdapter::EnableAddRemove(bool on) {
  w_.RefMenus.PopupAddRemoveEnabled = on;
  w_.Changed();
}
void RefGuideAdapter::ClearReselect1Click() { w_.ClearReselect1Click(); }
void RefGuideAdapter::AddRemove1Click() { w_.AddRemove1Click(); }
void RefGuideAdapter::Close() { w_.Close1Click(); }

const OptsRec& SessionGuideHost::Settings() const { return s_.Settings; }
bool& SessionGuideHost::MoreRefsHintGiven() { return s_.MoreRefsHintGiven; }

GuideImageWindow* SessionGuideHost::MeasuredWindow() {
  const int slot = s_.MeasuredSlot;
  TImageForm1* w = slot >= 0 && slot <= LastSlot ? s_.ImageWindows[At(slot)].get() : nullptr;
  if (!w) {
    image_.reset();
    return nullptr;
  }
  // One adapter per window; a new window in the slot gets a new one.
  if (!image_ || &image_->RefList() != &w->RefList)
    image_ = std::make_unique<ImageGuideAdapter>(s_, *w);
  return image_.get();
}

GuideRefWindow* SessionGuideHost::ReferenceWindow() {
  TGSCForm1* f = s_.GSCForm1.get();
  if (!f) {
    field_.reset();
    return nullptr;
  }
  if (!field_ || field_->Window() != f) field_ = std::make_unique<RefGuideAdapter>(*f);
  return field_.get();
}

void SessionGuideHost::ShowMagnifier(bool shown) {
  if (CursorWindow) {
    CursorWindow->Visible = shown;
    if (CursorWindow->Changed) CursorWindow->Changed();
  }
  if (s_.Services.ShowMagnifier) s_.Services.ShowMagnifier(shown);
}

// The image windows' side of the guide.
int SlotWindowHost::GuideStep() const { return s_.SlctRefForm1.Step; }
int SlotWindowHost::GuideRefNum() const { return s_.SlctRefForm1.RefNum; }
void SlotWindowHost::ShowGuide() {
  if (s_.Services.ShowGuide) s_.Services.ShowGuide();
}
bool SlotWindowHost::ReferenceFieldVisible() const { return s_.GSCForm1 && s_.GSCForm1->Visible; }

// The reference window's side of the guide: a restart only while a
// measurement runs (a chart has no guide).
void RefWindowHost::RestartGuide() {
  if (s_.MeasurementUnderWay()) {
    s_.SlctRefForm1.BeginSelection();
    s_.SlctRefForm1.Show();
  }
  if (s_.Services.RestartGuide) s_.Services.RestartGuide();
}
void RefWindowHost::BeginGuideSelection() {
  if (s_.MeasurementUnderWay()) s_.SlctRefForm1.BeginSelection();
  if (s_.Services.BeginGuideSelection) s_.Services.BeginGuideSelection();
}

// ------------------------------------------------------------ commands

void BendulakSession::MeasImgClick(int n) {
  const int slot = n - 1;
  if (slot < 0 || slot > LastSlot) return;
  TImageForm1* w = ImageWindows[At(slot)].get();
  if (!w || !w->ImageLoaded) return;
  // One measurement at a time: the guide and the reference window serve
  // one image; the same image starts over.
  if (MeasurementUnderWay() && MeasuredSlot != slot) {
    ShowWarning(platform_, "Measurement in Progress",
                "Image " + std::to_string(MeasuredSlot + 1) +
                    " is being measured.\n\nFinish or cancel that measurement before measuring "
                    "image " +
                    std::to_string(n) + ".");
    return;
  }
  const bool wasRunning = MeasurementUnderWay();
  MeasuredSlot = slot;
  SlotBusy(slot, true);
  w->ShowZoomMenus(false);
  const bool laidOut = MeasureSetup();
  // A cancelled start-over leaves the measurement that runs, and its mark.
  const bool running = MeasurementUnderWay() && wasRunning;
  Menu.Check("MeasImg" + std::to_string(n), laidOut || running);
  if (laidOut || running) return;
  // The image window stays as it was: its zoom items come back, and a
  // slot left busy behind a hidden window could never be freed (only
  // closing its window frees it).
  w->ShowZoomMenus(true);
  if (!w->Visible && SlotIsBusy[At(slot)]) SlotBusy(slot, false);
}

bool BendulakSession::MeasureSetup() {
  TImageForm1* w = ImageWindows[At(MeasuredSlot)].get();
  if (!w) return false;
  ObsParmsDlgModel dlg(platform_);
  dlg.ParmsRec = &w->ObsParms;
  dlg.CaptionText = "Verify/Complete";
  if (platform_.showDialog(dlg) != ModalResult::OK) return false;
  CurrentObs = w->ObsParms;
  FreeRefFieldWindowOfMode(1);
  return OpenMeasureWindows();
}

bool BendulakSession::OpenMeasureWindows() {
  const int slot = MeasuredSlot;
  TImageForm1* w = ImageWindows[At(slot)].get();
  if (!w) return false;
  const bool stale = RefFieldStale;
  bool ok = true;
  if (stale) {
    PresetFieldFromImage(CurFldParms, ImageFiles[At(slot)].get());
    ok = LoadReferenceField(w->ObsParms.ObsTime);
    // A failed query or unreadable region files leave the field without
    // a star: the guide would ask for references that are not there, so
    // the set-up ends here and the command can be chosen again.
    if (ok && (!GSCField || GSCField->Stars.IsEmpty())) ok = false;
  }
  if (!ok) {
    ShowWarning(platform_, "Check Region Parameters", "No Reference Stars Found in Region!");
    // A window the student is looking at keeps its slot busy.
    if (!w->Visible) SlotBusy(slot, false);
    return false;
  }
  w->InitDisplaySize();
  if (Services.ShowImageWindow)
    Services.ShowImageWindow(slot, ScreenWidth / 2 - 2, 0);
  else
    w->FormShow();
  TGSCForm1& field = RefFieldWindow();
  field.ChartMode = 0;
  if (stale) field.InitField();
  field.MeasureMode = true;
  ShowRefFieldWindow();
  SlctRefForm1.BeginSelection();
  SlctRefForm1.Show();
  if (Services.ShowGuide) Services.ShowGuide();
  if (CursorWindow) CursorWindow->SetSource(w);
  GuideHost.ShowMagnifier(SlctRefForm1.ShowMagnifier);
  FieldLaidOut();
  return true;
}

}  // namespace hv
