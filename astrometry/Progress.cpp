#include "astrometry/Progress.h"

#include <cmath>

#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

std::unique_ptr<TGaugeForm2> GaugeForm2;

long double TGaugeForm2::Now() const {
  return static_cast<long double>(platform_.monotonicMs()) / 86400000.0L;
}

void TGaugeForm2::Notify() {
  if (Changed) Changed();
}

std::string TGaugeForm2::HoursText(long double hours) {
  if (!(hours >= 0)) hours = 0;  // also NaN
  // Rounded once to the hundredth of a minute shown, then split, so that
  // 1 h 59.999 min reads 2 Hr 0.00 Min, never 1 Hr 60.00 Min.
  const long double cmin = RoundHalfEven(hours * 6000);
  const long double whole = std::trunc(cmin / 6000);
  return std::to_string(static_cast<long long>(whole)) + " Hr " +
         FormatFixed(2, (cmin - whole * 6000) / 100) + " Min";
}

void TGaugeForm2::StartProgress(std::string_view caption, std::string_view folder,
                                long double total, std::string_view prompt) {
  RestartCount = 0;
  Caption = std::string(caption);
  DirName = std::string(folder);
  CancelPrompt = std::string(prompt);
  Gauge = 0;
  Total = total;
  Visible = true;
  StartTime = Now();
  PriorElapsed = 0;
  Elapsed = 0;
  PrCntText = "0.000";
  ElpsdText.clear();
  EstTmText.clear();
  CrntFlText.clear();
  OKBtnVisible = false;
  CnclBtnVisible = true;
  Running = true;
  Notify();
}

void TGaugeForm2::UpdateProgress(std::string_view folder, std::string_view file, long double x) {
  const long double p = Total > 0 ? x * 100 / Total : 0;
  DirName = std::string(folder);
  Gauge = RoundToInt32(p);
  PrCntText = FormatFixed(3, p);
  Elapsed = Now() - StartTime;
  ElpsdText = HoursText((Elapsed + PriorElapsed) * 24);
  // Extrapolated from the part done in this run; nothing to go on before
  // the first count after the restart point.
  if (x > RestartCount) {
    const long double e = ((Total - RestartCount) / (x - RestartCount) - 1) * Elapsed;
    EstTmText = HoursText(e * 24);
  } else {
    EstTmText.clear();
  }
  CrntFlText = std::string(file);
  Notify();
  if (PumpEvents) PumpEvents();
}

void TGaugeForm2::FinishProgress() {
  // The work is over: the window stops being modal, and its close box no
  // longer asks to cancel what has finished.
  Running = false;
  OKBtnVisible = true;
  CnclBtnVisible = false;
  Notify();
}

void TGaugeForm2::SetRestartPoint(long double x) {
  RestartCount = x;
  const long double now = Now();
  PriorElapsed = now - StartTime;
  StartTime = now;
}

void TGaugeForm2::OKBtnClick() { Close(); }

void TGaugeForm2::CnclBtnClick() {
  if (!Running) {
    Close();
    return;
  }
  if (!AskYesNo(platform_, "Cancel Current Processing?", CancelPrompt)) return;
  Running = false;
  FinishProgress();
  Close();
}

void TGaugeForm2::Close() {
  Visible = false;
  Running = false;
  Notify();
}

}  // namespace hv
