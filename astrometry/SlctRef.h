#pragma once
// The measurement guide (TSlctRefForm1) and its go-back dialog
// (TRefCnclForm1) without widgets. The guide leads the student through the
// measurement of one image: choose references on the reference-field
// window, locate them on the image, locate the target, read a sky area when
// the target's border is not clean, accept the solution and record it. The
// two windows it drives are reached through the small interfaces below, so
// the guide runs against the real windows and against test doubles alike.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/Options.h"
#include "astrometry/RefStar.h"
#include "platform/Platform.h"

namespace hv {

// What the guide reads and drives on the measured image window.
class GuideImageWindow {
 public:
  virtual ~GuideImageWindow() = default;
  virtual int ImageNumber() const = 0;  // N: the slot + 1
  virtual RefStarList& RefList() = 0;
  // The three-star fit of the marked references (entries 400..405).
  virtual const std::array<long double, 406>& RefFitData() const = 0;
  virtual bool& RefsLocated() = 0;
  virtual bool& RefMarked() = 0;
  virtual bool& TargetLocated() = 0;
  // The target's flux was measured (flux 0 is a value like any other).
  virtual bool TargetMeasured() const = 0;
  virtual RefStarRec& Target() = 0;
  virtual bool& SkyLocated() = 0;
  virtual RefStarRec& SkyBox() = 0;
  virtual bool& CloseAllowed() = 0;
  virtual bool& MeasureMode() = 0;
  virtual void MarkUnsolved() = 0;
  virtual bool Solved() const = 0;
  virtual void CentroidRefStars() = 0;
  // The references were measured with another measuring box than the one
  // in force now.
  virtual bool RefsNeedMeasuring() const = 0;
  virtual void ResetTarget() = 0;
  virtual bool MeasureTarget(bool useSkyBox) = 0;
  virtual bool SolvePlate() = 0;
  virtual void EnableReportList() = 0;
  // True when the measurement went into the report.
  virtual bool ReportList1Click() = 0;
  virtual void CloseReport() = 0;
  // Shows the solution report again, written from the window's records.
  virtual void ShowReport() = 0;
  virtual void Repaint() = 0;
  // Shows the window again when it was closed (its slot busy again).
  virtual void Show() = 0;
  virtual void Close() = 0;
};

// What the guide reads and drives on the reference-field window.
class GuideRefWindow {
 public:
  virtual ~GuideRefWindow() = default;
  virtual RefStarList& RefStars() = 0;
  virtual bool& CloseAllowed() = 0;
  // Clicks pick catalog stars as references.
  virtual void SetPickMode(bool on) = 0;
  virtual void EnableAddRemove(bool on) = 0;
  // "&Clear/Reselect" and "&Add/Remove...": each begins the selection anew
  // (the first with both reference lists emptied).
  virtual void ClearReselect1Click() = 0;
  virtual void AddRemove1Click() = 0;
  virtual void Close() = 0;
};

// What the guide needs of the session.
class GuideHost {
 public:
  virtual ~GuideHost() = default;
  virtual const OptsRec& Settings() const = 0;
  virtual bool& MoreRefsHintGiven() = 0;
  // Null when the window is gone.
  virtual GuideImageWindow* MeasuredWindow() = 0;
  virtual GuideRefWindow* ReferenceWindow() = 0;
  virtual void ShowMagnifier(bool shown) = 0;
};

// The go-back dialog's rules.
class RefCnclModel : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TRefCnclForm1"; }

  enum Button { SlctRef = 0, AddRef, IdRef, IDUnkwn, BkGrnd, RefRtrn, Count };
  static constexpr std::array<const char*, Count> ButtonText = {
      "&Select Reference Stars", "&Add/Delete Reference Stars", "&Locate Reference Stars",
      "Locate &Unknown",         "Identify Sky &Background",    "&Return to Current Step"};
  static constexpr const char* Caption = "\"Cancel\" Options";
  static constexpr const char* GroupCaption = "Select Desired Action";

  // The guide's step, set before the dialog is shown.
  std::uint8_t Step = 0;
  std::array<bool, Count> Enabled{};
  // The checked button (-1: none); the form stores the student's choice here.
  int Checked = -1;
  // The action chosen: 0..5 as the buttons.
  std::uint8_t Choice = 5;

  // Enables and preselects by step.
  void FormShow();
  // On OK and on Cancel: Choice := the checked button, none leaves it.
  void OKBtnClick();
};

// The guide's rules.
class SlctRefModel {
 public:
  SlctRefModel(Platform& platform, GuideHost& host) : platform_(platform), host_(host) {
    FormCreate();
  }

  // --- state ---
  std::int32_t FirstNumber = 99;
  std::uint8_t Step = 0;
  std::int32_t RefNum = 0;
  std::int32_t NextNumber = 0;
  std::int32_t MinRefs = 3;
  bool ShowMagnifier = true;

  // --- what the form shows ---
  static constexpr const char* FormCaption = "Select Reference Stars";
  std::string Caption = FormCaption;
  std::string Label1;
  bool AllBtnVisible = false;
  bool CheckBox1 = true;
  bool Visible = false;
  // The form shows the model again (caption, text, buttons, visibility).
  std::function<void()> Changed;

  RefCnclModel RefCncl;

  // --- handlers ---
  void FormCreate();
  void FormShow();
  void Show();  // FormShow and visible
  void Close();
  void BeginSelection();
  void OkBtnClick();
  void AllBtnClick();
  void CnclBtnClick();
  void CheckBox1Click(bool checked);

  // --- step routines ---
  void SetMinRefs();
  void LocateRefs();
  // Centroids every reference again; true when all are still located (the
  // guide then goes on), false when one was lost and the guide went back.
  bool RecentroidRefs(GuideImageWindow& w);
  void SolveAndShow();
  void LocateUnknown();
  void ReadSky();
  void Completed();
  // The measured window's target lost its location (a new measuring box)
  // while the guide counted on it: the student is told and locates the
  // target again; the references follow the new box at the next solve.
  void TargetLost();

 private:
  void Notify() {
    if (Changed) Changed();
  }
  std::string N() const;
  // The instructions to locate the next reference and the target.
  std::string LocateRefText() const;
  std::string LocateTargetText() const;
  void KeepWindowsOpen();
  // Closes every window of the measurement.
  void CloseAll(bool reportFirst);
  void SolveFailed(GuideImageWindow& w);
  void MeasureWithSky(GuideImageWindow& w);
  // Step 4: the student is asked to mark an area of clear sky.
  void AskForSky(const char* caption, Sound sound);
  // A located, measured target on a solved plate: something to record.
  static bool Recordable(GuideImageWindow& w);
  void AskToLocateTargetAgain(const std::string& why);
  // "&Return to Current Step" after the dialog opened on a failure: the
  // guide goes on where the student can act.
  void ResumeStep();
  // The step a failed re-centroiding interrupted (step 1 stands for it).
  std::uint8_t interruptedStep_ = 0;

  Platform& platform_;
  GuideHost& host_;
};

}  // namespace hv
