#include "astrometry/SlctRef.h"

#include <algorithm>

#include "astrometry/PlateSoln.h"

namespace hv {

namespace {

constexpr const char* kBreaks = "\r\n\r\n";
constexpr const char* kNoSelection = "No Selection Made!";

const char* ModelName(SolutionCode order) {
  switch (order) {
    case SolutionCode::Linear:
      return "linear";
    case SolutionCode::CrossTerm:
      return "cross-term";
    default:
      return "quadratic";
  }
}

int PositionRefs(RefStarList& refs) {
  int n = 0;
  for (const RefStarRec& r : refs) n += r.UsePos ? 1 : 0;
  return n;
}

}  // namespace

// ---------------------------------------------------------------- go-back dialog

void RefCnclModel::FormShow() {
  // How far back the student may go follows how far the measurement came.
  // Reading the sky (step 4) offers what step 3 offers and the sky read
  // again, which clears a misplaced area.
  int last = SlctRef, pre = SlctRef;
  switch (Step) {
    case 0:
      break;
    case 1:
    case 2:
      last = IdRef;
      pre = IdRef;
      break;
    case 3:
      last = IDUnkwn;
      pre = IDUnkwn;
      break;
    case 4:
      last = BkGrnd;
      pre = BkGrnd;
      break;
    default:
      last = BkGrnd;
      pre = AddRef;
      break;
  }
  for (int b = 0; b < RefRtrn; ++b) Enabled[static_cast<std::size_t>(b)] = b <= last;
  Enabled[RefRtrn] = true;
  Checked = pre;
}

void RefCnclModel::OKBtnClick() {
  // A disabled button cannot be checked.
  if (Checked >= 0 && Checked < Count && Enabled[static_cast<std::size_t>(Checked)])
    Choice = static_cast<std::uint8_t>(Checked);
}

// ---------------------------------------------------------------- guide

void SlctRefModel::FormCreate() {
  RefNum = 0;
  ShowMagnifier = true;
  CheckBox1 = true;
}

void SlctRefModel::FormShow() {
  if (GuideRefWindow* f = host_.ReferenceWindow()) f->CloseAllowed() = false;
  if (GuideImageWindow* w = host_.MeasuredWindow()) w->CloseAllowed() = false;
}

void SlctRefModel::Show() {
  FormShow();
  Visible = true;
  Notify();
}

void SlctRefModel::Close() {
  Visible = false;
  Notify();
}

void SlctRefModel::KeepWindowsOpen() {
  // Back before the solution, the measured windows stay with the guide
  // again: a window closed now would leave the guide without its image.
  // One closed after the solution comes back, since the guide's next
  // clicks go to it.
  if (GuideRefWindow* f = host_.ReferenceWindow()) f->CloseAllowed() = false;
  if (GuideImageWindow* w = host_.MeasuredWindow()) {
    w->CloseAllowed() = false;
    w->Show();
  }
}

std::string SlctRefModel::N() const {
  GuideImageWindow* w = host_.MeasuredWindow();
  return std::to_string(w ? w->ImageNumber() : 0);
}

std::string SlctRefModel::LocateRefText() const {
  return "Locate Reference Star #" + std::to_string(NextNumber) + " on the Image " + N() +
         " (right-hand) Display and press \"OK\".";
}

std::string SlctRefModel::LocateTargetText() const {
  return "Locate the Target Object on the Image " + N() + " (right-hand) Display and press \"OK\".";
}

void SlctRefModel::CheckBox1Click(bool checked) {
  CheckBox1 = checked;
  ShowMagnifier = checked;
  host_.ShowMagnifier(checked);
}

void SlctRefModel::SetMinRefs() {
  switch (host_.Settings().SolutionOrder) {
    case SolutionCode::Linear:
      MinRefs = 3;
      break;
    case SolutionCode::CrossTerm:
      MinRefs = 4;
      break;
    case SolutionCode::Quadratic:
      MinRefs = 6;
      break;
  }
}

void SlctRefModel::BeginSelection() {
  SetMinRefs();
  Caption = "Select Reference Stars";
  Label1 = std::string(kBreaks) + "Select at least " + std::to_string(MinRefs) +
           " (more, if possible) Reference Stars on the Reference (left-hand) Display." +
           "  Press \"OK\" when finished.";
  AllBtnVisible = false;
  Step = 0;
  RefNum = 0;
  // Whoever restarts the selection (a new measurement, Add/Remove, a change
  // of solution order), the student picks on the reference window next.
  if (GuideRefWindow* f = host_.ReferenceWindow()) f->SetPickMode(true);
  KeepWindowsOpen();
  if (GuideImageWindow* w = host_.MeasuredWindow()) w->Repaint();
  platform_.beep(Sound::Default);
  Notify();
}

void SlctRefModel::OkBtnClick() {
  GuideImageWindow* w = host_.MeasuredWindow();
  GuideRefWindow* f = host_.ReferenceWindow();
  if (!w) {
    // The image went (closed after its solution and cleared): nothing is
    // left to measure, so OK ends the measurement.
    CloseAll(false);
    return;
  }
  switch (Step) {
    case 0: {
      if (!f) return;
      const int n = PositionRefs(f->RefStars());
      const OptsRec& opts = host_.Settings();
      if (n < MinRefs) {
        ShowWarning(platform_, "Insufficient Reference Stars!",
                    "You must select at least " + std::to_string(MinRefs) +
                        " reference stars for a " + ModelName(opts.SolutionOrder) + " solution!");
        return;
      }
      if (n == MinRefs && !opts.NoConfirm && !host_.MoreRefsHintGiven()) {
        host_.MoreRefsHintGiven() = true;
        if (AskYesNo(platform_, "Select More Reference Stars?",
                     std::string("The accuracy of your solution will improve if you select more "
                                 "than the minimum number of reference stars.") +
                         kBreaks + "Continue Reference Star Selection?"))
          return;
      }
      f->SetPickMode(false);
      f->EnableAddRemove(true);
      w->RefList().Clear();
      w->MarkUnsolved();
      FirstNumber = 99;
      const auto& c = w->RefFitData();
      for (const RefStarRec& r : f->RefStars()) {
        FirstNumber = std::min(FirstNumber, r.Number);
        RefStarRec copy = r;
        if (w->RefsLocated()) {
          copy.ImageX = c[400] * r.FieldX + c[401] * r.FieldY + c[402];
          copy.ImageY = c[403] * r.FieldX + c[404] * r.FieldY + c[405];
        }
        copy.Located = false;
        w->RefList().GoLast();
        w->RefList().InsertAfter(copy);
      }
      if (w->RefsLocated() && w->TargetLocated()) {
        if (RecentroidRefs(*w)) SolveAndShow();
        return;
      }
      LocateRefs();
      return;
    }
    case 1:
      return;
    case 2: {
      const int count = w->RefList().Count();
      // Every reference located (also after a solution that failed): the
      // list holds no entry at this position, so accept what is there.
      if (RefNum > count) {
        AllBtnClick();
        return;
      }
      if (!w->RefMarked()) {
        ShowWarning(platform_, kNoSelection,
                    "Please locate reference star #" + std::to_string(NextNumber) +
                        " on the image " + N() + " (right-hand) display!");
        return;
      }
      if (RefNum >= 0 && RefNum < count) NextNumber = w->RefList().Item(RefNum)->Number;
      ++RefNum;
      w->Repaint();
      if (RefNum <= 3) {
        Label1 = std::string(kBreaks) + LocateRefText();
        platform_.beep(Sound::Default);
        w->RefMarked() = false;
        Notify();
        return;
      }
      AllBtnVisible = true;
      if (RefNum - 1 > count - 1) {
        AllBtnClick();
        return;
      }
      Label1 = std::string(
                   "Press \"Accept\" if projected identifications are acceptable (all images "
                   "should lie within the outer (dashed) Boxes).") +
               kBreaks + "Otherwise, " + LocateRefText();
      platform_.beep(Sound::Default);
      w->RefMarked() = false;
      Notify();
      return;
    }
    case 3: {
      if (!w->TargetLocated()) {
        ShowWarning(
            platform_, kNoSelection,
            "Please locate the target object on the image " + N() + " (right-hand) display!");
        return;
      }
      const bool clean = AskYesNo(
          platform_, "Target Sky OK?",
          "Is the sky border (between the dotted and solid lines) surrounding\r\nthe target "
          "object free of stars and other objects?");
      if (clean) {
        if (w->MeasureTarget(false)) {
          SolveAndShow();
          return;
        }
        AskForSky("Sky Border is Corrupted! - Read Sky Background", Sound::Hand);
        return;
      }
      if (w->SkyLocated()) {
        MeasureWithSky(*w);
        return;
      }
      AskForSky("Read Sky Background", Sound::Default);
      return;
    }
    case 4:
      if (w->SkyLocated()) {
        MeasureWithSky(*w);
        return;
      }
      ShowWarning(platform_, "Re-Select Background!",
                  "Please locate an area that is free of stars on the image  " + N() +
                      " (right-hand) display!");
      return;
    case 5: {
      // The solution shown may have lost its target since (a new box):
      // then there is nothing to record, and the student is told so.
      if (!Recordable(*w)) {
        AskToLocateTargetAgain(
            "The target is no longer located on the image, so this solution holds no "
            "measurement to record.");
        return;
      }
      w->EnableReportList();
      if (AskYesNo(platform_, "Add to Report?", "Record measurement on report list now?") &&
          !w->ReportList1Click()) {
        ShowWarning(platform_, "Measurement Not Recorded",
                    "The measurement could not be placed in the report list." +
                        std::string(kBreaks) + "Press \"OK\" to try again.");
        return;
      }
      Completed();
      return;
    }
    case 6:
      platform_.beep(Sound::Default);
      CloseAll(true);
      return;
    default:
      return;
  }
}

void SlctRefModel::MeasureWithSky(GuideImageWindow& w) {
  w.MeasureTarget(true);
  // A sky area that gives no measurement is read again, not asked about.
  if (w.TargetLocated() && !w.TargetMeasured()) {
    ReadSky();
    return;
  }
  SolveAndShow();
}

void SlctRefModel::AllBtnClick() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  AllBtnVisible = false;
  w->Target().Located = w->TargetLocated();
  if (!RecentroidRefs(*w)) return;
  if (w->TargetLocated() && w->TargetMeasured()) {
    SolveAndShow();
  } else if (w->TargetLocated()) {
    Step = 3;
    OkBtnClick();
  } else {
    Step = 3;
    Caption = "Locate Unknown";
    Label1 = std::string(kBreaks) + LocateTargetText();
    Notify();
  }
}

bool SlctRefModel::RecentroidRefs(GuideImageWindow& w) {
  w.CentroidRefStars();
  if (!w.RefsLocated()) {
    // A reference was lost on the way: handled as a Cancel at step 1.
    interruptedStep_ = Step;
    Step = 1;
    Notify();
    CnclBtnClick();
    return false;
  }
  RefNum = 99;
  platform_.beep(Sound::Default);
  w.Repaint();
  return true;
}

void SlctRefModel::LocateRefs() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  KeepWindowsOpen();
  Step = 2;
  Caption = "Locate Reference Stars";
  RefNum = 1;
  NextNumber = FirstNumber;
  w->MeasureMode() = true;
  w->RefMarked() = false;
  w->Target().Located = false;
  AllBtnVisible = false;
  Label1 = std::string(kBreaks) + LocateRefText();
  platform_.beep(Sound::Default);
  Notify();
}

void SlctRefModel::SolveAndShow() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  // Without a located target a solution would hold nothing to record:
  // the student locates it first.
  if (!w->TargetLocated()) {
    LocateUnknown();
    return;
  }
  w->MeasureMode() = false;
  w->CloseAllowed() = true;
  // A target located but not yet measured goes through the sky question
  // first; the solution needs its flux.
  if (w->TargetLocated() && !w->TargetMeasured()) {
    w->MeasureMode() = true;
    Step = 3;
    OkBtnClick();
    return;
  }
  // The magnitude and the positions come from one box: references
  // measured with another box than the target's (the box changed since)
  // are centroided and measured again where they lie, before the fit.
  if (w->RefsNeedMeasuring() && !RecentroidRefs(*w)) return;
  if (w->SolvePlate()) {
    Step = 5;
    Caption = "Solution OK?";
    Label1 = std::string(kBreaks) + "Press \"OK\" to Accept Solution.";
    platform_.beep(Sound::Default);
    Notify();
    return;
  }
  platform_.beep(Sound::Default);
  // The step goes on: its clicks count again and, with no solution yet,
  // the window stays open like the guide.
  w->MeasureMode() = true;
  w->CloseAllowed() = false;
  SolveFailed(*w);
}

void SlctRefModel::SolveFailed(GuideImageWindow& w) {
  // Say why, then offer the way back; a silent failure left the student
  // with nothing to click.
  const SolutionCode order = host_.Settings().SolutionOrder;
  const int need = ConstsPerAxisOf(order);
  const int have = PositionRefs(w.RefList());
  std::string text;
  if (have < need) {
    text = std::string("A ") + ModelName(order) + " solution needs at least " +
           std::to_string(need) + " position references; " + std::to_string(have) +
           (have == 1 ? " is" : " are") + " marked for position.";
  } else {
    text = std::string("The position references do not determine a ") + ModelName(order) +
           " solution (they lie too nearly on a line).";
  }
  ShowWarning(platform_, "Plate Solution Failed!",
              text + kBreaks + "Choose where to go back to in the next window.");
  Notify();
  CnclBtnClick();
}

void SlctRefModel::LocateUnknown() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  KeepWindowsOpen();
  w->TargetLocated() = false;
  w->ResetTarget();
  w->MeasureMode() = true;
  w->Repaint();
  Step = 3;
  Caption = "Locate Unknown";
  Label1 = std::string(kBreaks) + LocateTargetText();
  platform_.beep(Sound::Default);
  Notify();
}

void SlctRefModel::ReadSky() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  KeepWindowsOpen();
  w->MarkUnsolved();
  w->SkyLocated() = false;
  w->MeasureMode() = true;
  w->SkyBox().ImageX = w->SkyBox().ImageY = w->SkyBox().Flux = 0;
  w->Repaint();
  AskForSky("Read Sky Background", Sound::Default);
}

void SlctRefModel::AskForSky(const char* caption, Sound sound) {
  Caption = caption;
  Label1 = std::string(kBreaks) +
           "Locate an Area near the Target Object that is Free of Stars on the Image  " + N() +
           " (right-hand) Display!";
  platform_.beep(sound);
  Step = 4;
  Notify();
}

bool SlctRefModel::Recordable(GuideImageWindow& w) {
  return w.Solved() && w.TargetLocated() && w.TargetMeasured();
}

void SlctRefModel::AskToLocateTargetAgain(const std::string& why) {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (!w) return;
  if (Step == 5) w->CloseReport();
  ShowWarning(platform_, "Target Not Located!",
              why + kBreaks + "Locate the target object on the image " + N() +
                  " (right-hand) display again.");
  LocateUnknown();
}

void SlctRefModel::TargetLost() {
  // Before the sky step the guide asks for the target anyway; once the
  // measurement is completed the student has chosen.
  if (!Visible || (Step != 4 && Step != 5)) return;
  AskToLocateTargetAgain(
      "The measuring box has changed: the target must be located and measured again with the "
      "new box, and the reference stars are measured again with it before the next solution.");
}

void SlctRefModel::ResumeStep() {
  GuideRefWindow* f = host_.ReferenceWindow();
  const bool selecting = Step == 0 || (Step == 1 && interruptedStep_ == 0);
  if (selecting) {
    // The references are chosen on the reference window: it picks again
    // (the step's OK had switched that off before its failed solve).
    BeginSelection();
    if (f) f->EnableAddRemove(false);
    return;
  }
  // A reference lost while the references were accepted: they are
  // located again from the first (step 1 itself offers nothing to do).
  if (Step == 1) LocateRefs();
  // The go-back closed the solution that step 5 asks to accept.
  if (Step == 5) {
    if (GuideImageWindow* w = host_.MeasuredWindow()) w->ShowReport();
  }
}

void SlctRefModel::Completed() {
  Step = 6;
  Caption = "Measurement Completed";
  Label1 = std::string(kBreaks) + "Press \"OK\" To Close Windows and Return to Main Display.";
  platform_.beep(Sound::Default);
  Notify();
}

void SlctRefModel::CloseAll(bool reportFirst) {
  // The guide goes first: the measurement has ended when the windows
  // close, so the measured slot is freed with its window.
  Close();
  if (GuideImageWindow* w = host_.MeasuredWindow()) {
    if (reportFirst) w->CloseReport();
    w->CloseAllowed() = true;
    w->MeasureMode() = false;
    w->Close();
  }
  if (GuideRefWindow* f = host_.ReferenceWindow()) {
    f->CloseAllowed() = true;
    f->SetPickMode(false);
    f->Close();
  }
  host_.ShowMagnifier(false);
}

void SlctRefModel::CnclBtnClick() {
  GuideImageWindow* w = host_.MeasuredWindow();
  if (Step == 5 && w) w->CloseReport();
  platform_.beep(Sound::Exclamation);
  RefCncl.Step = Step;
  RefCncl.FormShow();
  const ModalResult result = platform_.showDialog(RefCncl);
  RefCncl.OKBtnClick();
  Notify();  // the OK button becomes the active control again
  if (result != ModalResult::OK) {
    // Abandoned: every window of the measurement goes.
    CloseAll(true);
    return;
  }
  GuideRefWindow* f = host_.ReferenceWindow();
  switch (RefCncl.Choice) {
    case RefCnclModel::SlctRef:
      if (f) f->ClearReselect1Click();
      break;
    case RefCnclModel::AddRef:
      if (f) f->AddRemove1Click();
      break;
    case RefCnclModel::IdRef:
      if (w) {
        w->MarkUnsolved();
        LocateRefs();
        w->Repaint();
      }
      break;
    case RefCnclModel::IDUnkwn:
      LocateUnknown();
      break;
    case RefCnclModel::BkGrnd:
      ReadSky();
      break;
    default:
      ResumeStep();
      break;
  }
}

}  // namespace hv
