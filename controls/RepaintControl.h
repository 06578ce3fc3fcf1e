#pragma once
// Repaint requests of an indicator control: an update bracket that defers
// them, and an optional frame-rate throttle. The control supplies a clock
// that does not jump (milliseconds), the repaint itself, and a single-shot
// timer through which a request held back by the throttle is shown once the
// spacing has passed, so that no change stays unshown.
#include <cstdint>
#include <functional>

namespace hv {

class RepaintControl {
 public:
  using Clock = std::function<std::int64_t()>;
  struct Hooks {
    std::function<void()> invalidate;                 // repaint the whole control
    std::function<void(std::int64_t delayMs)> later;  // (re)start the single-shot timer
    std::function<void()> cancelLater;                // stop it
  };

  // LastRepaint starts at the creation time.
  RepaintControl(Clock clock, Hooks hooks);

  // A clock of another origin; the last repaint counts from its present.
  void SetClock(Clock clock);

  // Background and face; the controls here repaint both alike, the flags
  // only say what was asked for.
  void InvalidateBackGround();
  void InvalidateForeGround();
  void BeginUpdate() { Updating = true; }
  // Not counted: the first EndUpdate ends the bracket.
  void EndUpdate();
  void SetAutoFrameRate(bool on);
  void SetUpdateFrameRate(std::int32_t rate);
  // The single-shot timer fired.
  void LaterDue();

  bool Updating = false;
  bool FacePending = false;
  bool BackPending = false;
  std::int64_t LastRepaint = 0;  // clock milliseconds of the last repaint passed on
  std::int32_t UpdateFrameRate = 60;
  bool AutoFrameRate = false;
  bool LaterRunning = false;

  // Milliseconds after LastRepaint at which a throttled request may pass:
  // the first whole millisecond strictly later than 1000 / rate.
  static std::int64_t SpacingMs(std::int32_t rate);

 private:
  void Request(bool& pending);
  void RepaintNow();
  void ThrottledRepaint();

  Clock clock_;
  Hooks hooks_;
};

}  // namespace hv
