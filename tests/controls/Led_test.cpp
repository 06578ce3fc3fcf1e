#include "controls/Led.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hv {
namespace {

struct FakeHost : LedHost {
  bool allow = true;
  std::vector<std::string> asked;
  int repaints = 0, changes = 0;
  bool RequestPropertyChange(std::string_view name) override {
    asked.emplace_back(name);
    return allow;
  }
  void RepaintAll() override { ++repaints; }
  void NotifyChange() override { ++changes; }
};

// Records what the face draws, with fixed system colours.
struct RecordingCanvas : Canvas {
  struct Op {
    std::string what;
    Rect box;
    Point start, end;
    TColor color;
  };
  std::vector<Op> ops;
  SystemColorTable sys;
  RecordingCanvas() {
    sys.Set(15, 0xC0C0C0);
    sys.Set(16, 0x808080);
    sys.Set(20, 0xFFFFFF);
  }
  void FillRect(const Rect& b, TColor c) override { ops.push_back({"fill", b, {}, {}, c}); }
  void Ellipse(const Rect& b, TColor brush, TColor pen) override {
    EXPECT_EQ(brush, pen);
    ops.push_back({"ellipse", b, {}, {}, brush});
  }
  void Arc(const Rect& b, Point s, Point e, TColor pen) override {
    ops.push_back({"arc", b, s, e, pen});
  }
  void Edge(const Rect& b, bool raised) override { ops.push_back({"edge", b, {}, {}, raised}); }
  TColor Resolve(TColor c) const override { return sys.Resolve(c); }
  int Count(const std::string& what, TColor c) const {
    int n = 0;
    for (const Op& o : ops) n += o.what == what && o.color == c;
    return n;
  }
};

TEST(LedActive, FiresOncePerChangeAndNotForTheSameValue) {
  FakeHost host;
  LedModel led(host);
  led.SetActive(false);
  EXPECT_EQ(host.repaints + host.changes, 0);
  EXPECT_TRUE(host.asked.empty()) << "an equal value asks nothing";

  led.SetActive(true);
  EXPECT_TRUE(led.Active());
  EXPECT_EQ(host.repaints, 1);
  EXPECT_EQ(host.changes, 1);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0], "Active");

  led.SetActive(true);
  EXPECT_EQ(host.changes, 1);
  led.SetActive(false);
  EXPECT_EQ(host.changes, 2);
}

TEST(LedActive, AVetoedChangeLeavesTheStateAndShowsNothing) {
  FakeHost host;
  LedModel led(host);
  host.allow = false;
  led.SetActive(true);
  EXPECT_FALSE(led.Active());
  EXPECT_EQ(host.repaints, 0);
  EXPECT_EQ(host.changes, 0);
  EXPECT_EQ(host.asked.size(), 1u);
}

TEST(LedProperties, ChangedValuesRepaintWithoutEvents) {
  FakeHost host;
  LedModel led(host);
  led.SetActiveColor(clLime);  // the default
  led.SetBevelStyle(ibsLowered);
  led.SetAutoInactiveColor(true);
  led.SetInactiveColor(21760);
  led.SetShowReflection(true);
  EXPECT_EQ(host.repaints, 0);
  led.SetActiveColor(clRed);
  led.SetBevelStyle(ibsRaised);
  led.SetAutoInactiveColor(false);
  led.SetInactiveColor(1);
  led.SetShowReflection(false);
  EXPECT_EQ(host.repaints, 5);
  EXPECT_EQ(host.changes, 0);
  EXPECT_TRUE(host.asked.empty());
}

TEST(LedBodyColor, Table) {
  RecordingCanvas canvas;
  struct Row {
    const char* name;
    bool active;
    TColor activeColor;
    bool autoInactive;
    TColor inactiveColor;
    TColor want;
  };
  const Row rows[] = {
      {"lit red", true, clRed, true, 21760, clRed},
      {"unlit red, automatic", false, clRed, true, 21760, 0x000055},
      {"unlit lime, automatic", false, clLime, true, 1, 0x005500},
      {"unlit red, own colour", false, clRed, false, 21760, 21760},
      {"lit button face", true, clBtnFace, true, 0, 0xC0C0C0},
      {"unlit button face dims the resolved grey", false, clBtnFace, true, 0, 0x404040},
      {"unlit, own colour a system colour", false, clRed, false, clBtnShadow, 0x808080},
  };
  for (const Row& r : rows) {
    FakeHost host;
    LedModel led(host);
    led.SetActive(r.active);
    led.SetActiveColor(r.activeColor);
    led.SetAutoInactiveColor(r.autoInactive);
    led.SetInactiveColor(r.inactiveColor);
    EXPECT_EQ(led.BodyColor(canvas), r.want) << r.name;
  }
}

TEST(LedRoundFace, LoweredBodyHighlightAndRim) {
  FakeHost host;
  LedModel led(host);
  led.SetActiveColor(clRed);
  RecordingCanvas c;
  PaintLedRoundFace(c, 14, 14, led);
  ASSERT_EQ(c.ops.size(), 7u);
  EXPECT_EQ(c.ops[0].what, "ellipse");
  EXPECT_EQ(c.ops[0].box, (Rect{2, 2, 12, 12}));
  EXPECT_EQ(c.ops[0].color, 0x000055u);
  // The highlight: q = 3, from the top middle to the left middle.
  EXPECT_EQ(c.ops[1].box, (Rect{3, 3, 11, 11}));
  EXPECT_EQ(c.ops[2].box, (Rect{4, 4, 10, 10}));
  for (int i : {1, 2}) {
    EXPECT_EQ(c.ops[i].color, clWhite);
    EXPECT_EQ(c.ops[i].start, (Point{7, 0}));
    EXPECT_EQ(c.ops[i].end, (Point{0, 7}));
  }
  // Lowered: shadow on the upper-left half, highlight on the lower-right.
  EXPECT_EQ(c.ops[3].box, (Rect{0, 0, 14, 14}));
  EXPECT_EQ(c.ops[3].start, (Point{14, 0}));
  EXPECT_EQ(c.ops[3].end, (Point{0, 14}));
  EXPECT_EQ(c.ops[4].box, (Rect{1, 1, 13, 13}));
  EXPECT_EQ(c.ops[4].start, (Point{13, 1}));
  EXPECT_EQ(c.ops[4].end, (Point{1, 13}));
  EXPECT_EQ(c.ops[3].color, 0x808080u);
  EXPECT_EQ(c.ops[4].color, 0x808080u);
  EXPECT_EQ(c.ops[5].start, (Point{0, 14}));
  EXPECT_EQ(c.ops[5].end, (Point{14, 0}));
  EXPECT_EQ(c.ops[6].start, (Point{1, 13}));
  EXPECT_EQ(c.ops[6].end, (Point{13, 1}));
  EXPECT_EQ(c.ops[5].color, 0xFFFFFFu);
  EXPECT_EQ(c.ops[6].color, 0xFFFFFFu);
}

TEST(LedRoundFace, RaisedSwapsTheRimColours) {
  FakeHost host;
  LedModel led(host);
  led.SetBevelStyle(ibsRaised);
  RecordingCanvas c;
  PaintLedRoundFace(c, 20, 20, led);
  ASSERT_EQ(c.ops.size(), 7u);
  EXPECT_EQ(c.ops[3].color, 0xFFFFFFu);
  EXPECT_EQ(c.ops[5].color, 0x808080u);
}

TEST(LedRoundFace, NoBevelFillsTheSquareWithoutRimAndNoReflectionNoWhite) {
  FakeHost host;
  LedModel led(host);
  led.SetBevelStyle(ibsNone);
  led.SetShowReflection(false);
  led.SetActive(true);
  RecordingCanvas c;
  PaintLedRoundFace(c, 15, 15, led);
  ASSERT_EQ(c.ops.size(), 1u);
  EXPECT_EQ(c.ops[0].box, (Rect{0, 0, 15, 15}));
  EXPECT_EQ(c.ops[0].color, clLime);

  // A bevel value outside the set draws neither body nor rim.
  led.SetBevelStyle(static_cast<TiBevelStyle>(7));
  led.SetShowReflection(true);
  c.ops.clear();
  PaintLedRoundFace(c, 15, 15, led);
  EXPECT_EQ(c.ops.size(), 2u);
  EXPECT_EQ(c.Count("arc", clWhite), 2);
}

TEST(LedRoundBounds, Table) {
  struct Row {
    const char* name;
    bool loading;
    Size current, wanted, got;
  };
  const Row rows[] = {
      {"new width 30", false, {14, 14}, {30, 14}, {30, 30}},
      {"new height 16", false, {14, 14}, {14, 16}, {16, 16}},
      {"both new: width wins", false, {14, 14}, {20, 25}, {20, 20}},
      {"unchanged", false, {14, 14}, {14, 14}, {14, 14}},
      {"loading keeps 14 x 15", true, {20, 20}, {14, 15}, {14, 15}},
  };
  for (const Row& r : rows) {
    Size got = LedRoundBounds(r.loading, r.current, r.wanted);
    EXPECT_EQ(got, r.got) << r.name << ": got " << got.width << " x " << got.height;
  }
}

TEST(RectInset, DoesNotOverflow) {
  Rect r{INT32_MIN + 1, 0, INT32_MAX - 1, 10};
  Rect s = r.Inset(-5);
  EXPECT_EQ(s.left, INT32_MIN);
  EXPECT_EQ(s.right, INT32_MAX);
}

}  // namespace
}  // namespace hv
