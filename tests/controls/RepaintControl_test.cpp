#include "controls/RepaintControl.h"

#include <gtest/gtest.h>

#include <optional>

namespace hv {
namespace {

// A control's side of the repaint requests, with a fake clock and a fake
// single-shot timer.
struct FakeControl {
  std::int64_t now = 1000;
  int repaints = 0;
  std::optional<std::int64_t> timerDue;  // clock time at which the timer fires
  RepaintControl rc{[this] { return now; },
                    {[this] { ++repaints; }, [this](std::int64_t d) { timerDue = now + d; },
                     [this] { timerDue.reset(); }}};

  // Advances the clock, firing the timer when it is due.
  void Advance(std::int64_t ms) {
    std::int64_t target = now + ms;
    while (timerDue && *timerDue <= target) {
      now = *timerDue;
      timerDue.reset();
      rc.LaterDue();
    }
    now = target;
  }
  // Well after creation, so that switching the throttle on repaints.
  void ThrottleOn() {
    now += 100;
    rc.SetAutoFrameRate(true);
  }
};

TEST(RepaintControl, WithoutTheThrottleEveryRequestRepaintsAtOnce) {
  FakeControl c;
  c.rc.InvalidateBackGround();
  c.rc.InvalidateForeGround();
  EXPECT_EQ(c.repaints, 2);
  EXPECT_FALSE(c.rc.BackPending || c.rc.FacePending);
  EXPECT_EQ(c.rc.LastRepaint, 1000);
}

TEST(RepaintControl, BracketRepaintsOnceAtItsEnd) {
  FakeControl c;
  c.rc.BeginUpdate();
  c.rc.InvalidateBackGround();
  c.rc.InvalidateForeGround();
  c.rc.InvalidateBackGround();
  EXPECT_EQ(c.repaints, 0);
  EXPECT_TRUE(c.rc.BackPending && c.rc.FacePending);
  c.rc.EndUpdate();
  EXPECT_EQ(c.repaints, 1);
  EXPECT_FALSE(c.rc.Updating);
  EXPECT_FALSE(c.rc.BackPending || c.rc.FacePending);

  // Not counted: one EndUpdate ends two BeginUpdates; with nothing pending
  // it does not repaint.
  c.rc.BeginUpdate();
  c.rc.BeginUpdate();
  c.rc.EndUpdate();
  EXPECT_EQ(c.repaints, 1);
  c.rc.InvalidateForeGround();
  EXPECT_EQ(c.repaints, 2);
}

TEST(RepaintControl, ThrottleAt60HoldsTheSecondChangeAndShowsItLater) {
  FakeControl c;
  c.ThrottleOn();  // switching on requests a repaint
  EXPECT_EQ(c.repaints, 1);
  c.Advance(5);
  c.rc.InvalidateBackGround();  // within 1/60 s: held
  EXPECT_EQ(c.repaints, 1);
  EXPECT_TRUE(c.rc.BackPending);
  ASSERT_TRUE(c.timerDue.has_value());
  EXPECT_EQ(*c.timerDue, c.rc.LastRepaint + 17) << "first whole ms past 1000/60";

  c.Advance(11);  // 16 ms after the repaint: still not strictly later than 1/60 s
  EXPECT_EQ(c.repaints, 1);
  c.Advance(1);  // the single-shot timer shows it
  EXPECT_EQ(c.repaints, 2);
  EXPECT_FALSE(c.rc.BackPending);
  EXPECT_FALSE(c.timerDue.has_value());
}

TEST(RepaintControl, ALaterRequestPastTheSpacingRepaintsAndStopsTheTimer) {
  FakeControl c;
  c.ThrottleOn();
  c.now += 2;
  c.rc.InvalidateForeGround();
  ASSERT_TRUE(c.timerDue.has_value());
  c.now += 20;  // the clock moves without the timer having fired yet
  c.rc.InvalidateForeGround();
  EXPECT_EQ(c.repaints, 2);
  EXPECT_FALSE(c.timerDue.has_value());
}

TEST(RepaintControl, TimerInsideABracketLeavesItToEndUpdate) {
  FakeControl c;
  c.ThrottleOn();
  c.now += 1;
  c.rc.InvalidateBackGround();  // held, timer runs
  c.rc.BeginUpdate();
  c.Advance(50);  // timer fires inside the bracket: nothing
  EXPECT_EQ(c.repaints, 1);
  EXPECT_TRUE(c.rc.BackPending);
  c.rc.EndUpdate();  // past the spacing
  EXPECT_EQ(c.repaints, 2);
}

TEST(RepaintControl, EndUpdateWithinTheSpacingDefersToTheTimer) {
  FakeControl c;
  c.ThrottleOn();
  c.rc.BeginUpdate();
  c.rc.InvalidateBackGround();
  c.now += 3;
  c.rc.EndUpdate();
  EXPECT_EQ(c.repaints, 1);
  c.Advance(20);
  EXPECT_EQ(c.repaints, 2);
}

TEST(RepaintControl, SwitchingTheThrottleOffShowsWhatIsPendingAndEndsTheBracket) {
  FakeControl c;
  c.ThrottleOn();
  c.rc.BeginUpdate();
  c.rc.InvalidateBackGround();
  c.rc.SetAutoFrameRate(false);
  EXPECT_FALSE(c.rc.Updating);
  EXPECT_EQ(c.repaints, 2);
  c.rc.SetAutoFrameRate(false);  // unchanged: nothing
  EXPECT_EQ(c.repaints, 2);
}

TEST(RepaintControl, RatesWithoutOverflowAndWithoutSpacing) {
  struct Row {
    const char* name;
    std::int32_t rate;
    std::int64_t spacing;
  };
  const Row rows[] = {{"60", 60, 17},    {"1000", 1000, 2}, {"3", 3, 334},
                      {"2000", 2000, 1}, {"1", 1, 1001},    {"int32 max", 2147483647, 1}};
  for (const Row& r : rows) EXPECT_EQ(RepaintControl::SpacingMs(r.rate), r.spacing) << r.name;

  // 50,000 frames a second would overflow a 32-bit rate times 86,400.
  FakeControl c;
  c.ThrottleOn();
  c.rc.SetUpdateFrameRate(50000);  // within the same millisecond: held
  c.rc.InvalidateBackGround();
  EXPECT_EQ(c.repaints, 1);
  c.now += 1;
  c.rc.InvalidateBackGround();
  EXPECT_EQ(c.repaints, 2);

  // A rate of 0 or below throttles nothing.
  c.rc.SetUpdateFrameRate(0);
  c.rc.InvalidateBackGround();
  c.rc.InvalidateBackGround();
  EXPECT_EQ(c.repaints, 5);
  c.rc.SetUpdateFrameRate(-5);
  c.rc.InvalidateBackGround();
  EXPECT_EQ(c.repaints, 7);
}

TEST(RepaintControl, SettingAnUnchangedRateRequestsNoRepaint) {
  FakeControl c;
  c.rc.SetUpdateFrameRate(60);
  EXPECT_EQ(c.repaints, 0);
  c.rc.SetUpdateFrameRate(30);
  EXPECT_EQ(c.repaints, 1);
}

}  // namespace
}  // namespace hv
