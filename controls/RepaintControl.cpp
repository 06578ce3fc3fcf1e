#include "controls/RepaintControl.h"

#include <utility>

namespace hv {

RepaintControl::RepaintControl(Clock clock, Hooks hooks)
    : clock_(std::move(clock)), hooks_(std::move(hooks)) {
  LastRepaint = clock_();
}

void RepaintControl::SetClock(Clock clock) {
  clock_ = std::move(clock);
  LastRepaint = clock_();
}

void RepaintControl::InvalidateBackGround() { Request(BackPending); }
void RepaintControl::InvalidateForeGround() { Request(FacePending); }

void RepaintControl::Request(bool& pending) {
  if (Updating) {
    pending = true;
  } else if (AutoFrameRate) {
    pending = true;
    ThrottledRepaint();
  } else {
    RepaintNow();
  }
}

void RepaintControl::RepaintNow() {
  FacePending = false;
  BackPending = false;
  LastRepaint = clock_();
  if (LaterRunning) {
    LaterRunning = false;
    if (hooks_.cancelLater) hooks_.cancelLater();
  }
  if (hooks_.invalidate) hooks_.invalidate();
}

std::int64_t RepaintControl::SpacingMs(std::int32_t rate) {
  // elapsed * rate > 1000 <=> elapsed > 1000 / rate; 64 bits keep any rate.
  return 1000 / static_cast<std::int64_t>(rate) + 1;
}

void RepaintControl::ThrottledRepaint() {
  // A rate below 1 puts no spacing between repaints.
  if (!AutoFrameRate || UpdateFrameRate <= 0) {
    RepaintNow();
    return;
  }
  std::int64_t elapsed = clock_() - LastRepaint;
  std::int64_t spacing = SpacingMs(UpdateFrameRate);
  if (elapsed >= spacing) {
    RepaintNow();
    return;
  }
  // Held back: show it when the spacing has passed.
  std::int64_t delay = spacing - (elapsed < 0 ? 0 : elapsed);
  LaterRunning = true;
  if (hooks_.later) hooks_.later(delay);
}

void RepaintControl::EndUpdate() {
  Updating = false;
  if (FacePending || BackPending) ThrottledRepaint();
}

void RepaintControl::SetAutoFrameRate(bool on) {
  if (on == AutoFrameRate) return;
  AutoFrameRate = on;
  if (on)
    InvalidateBackGround();
  else
    EndUpdate();
}

void RepaintControl::SetUpdateFrameRate(std::int32_t rate) {
  if (rate == UpdateFrameRate) return;
  UpdateFrameRate = rate;
  InvalidateBackGround();
}

void RepaintControl::LaterDue() {
  LaterRunning = false;
  // Inside an update bracket the bracket's end shows it.
  if (Updating) return;
  if (FacePending || BackPending) ThrottledRepaint();
}

}  // namespace hv
