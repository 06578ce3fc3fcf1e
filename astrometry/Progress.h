#pragma once
// The progress window of long work (TGaugeForm2) without its widgets: the
// total, the restart point, the elapsed and estimated times, the percentage
// and the cancel question. The form follows the model through Changed and
// lets queued events run through PumpEvents, once per update.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hv {

class TGaugeForm2 {
 public:
  explicit TGaugeForm2(Platform& platform) : platform_(platform) {}

  long double Total = 0;         // the count that means 100 percent
  long double RestartCount = 0;  // where the timed part of the run began
  long double StartTime = 0;     // days, on the platform's steady clock
  long double PriorElapsed = 0;  // days spent before the restart point
  long double Elapsed = 0;       // days since StartTime at the last update
  bool Running = false;          // cleared when the student cancels
  std::string CancelPrompt;

  // --- what the form shows ---
  std::string Caption;
  std::string DirName;
  std::string PrCntText = "0.000";
  std::string ElpsdText, EstTmText, CrntFlText;
  int Gauge = 0;  // 0 to 100
  bool Visible = false;
  bool OKBtnVisible = false;
  bool CnclBtnVisible = true;
  // While the work runs the window is application-modal: nothing else of
  // the program can be used, so nothing is freed or started under it.
  bool Modal() const { return Visible && Running; }

  std::function<void()> Changed;
  std::function<void()> PumpEvents;

  void StartProgress(std::string_view caption, std::string_view folder, long double total,
                     std::string_view prompt);
  void UpdateProgress(std::string_view folder, std::string_view file, long double x);
  // OK shown, Cancel hidden.
  void FinishProgress();
  void SetRestartPoint(long double x);
  // Closes the window.
  void OKBtnClick();
  // The cancel question; Yes stops the work and closes the window. The
  // window's close box asks it too while the work runs.
  void CnclBtnClick();
  void Close();

  // "h Hr mm.mm Min": whole hours (truncated), then the minutes left.
  static std::string HoursText(long double hours);

 private:
  long double Now() const;
  void Notify();

  Platform& platform_;
};

// The run's progress window, made at start-up with the catalog objects.
extern std::unique_ptr<TGaugeForm2> GaugeForm2;

}  // namespace hv
