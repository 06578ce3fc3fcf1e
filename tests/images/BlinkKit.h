#pragma once
// A blink window over image windows loaded from FITS images made in the
// test: shifted copies of one star field with a moving target.
#include <array>
#include <memory>
#include <string>

#include "images/Blink.h"
#include "tests/images/ImageWindowKit.h"

namespace hv::test {

// One field of stars, every star moved by (dx, dy), and a target of its own.
inline StarGrid ShiftedField(int w, int h, long double dx, long double dy, long double tx,
                             long double ty, std::uint32_t seed) {
  StarGrid g(w, h, 1000);
  Normal rnd(seed);
  for (auto& v : g.v) v = static_cast<std::int32_t>(std::nearbyint(1000 + 10 * rnd()));
  const long double stars[][3] = {{100.3L, 80.6L, 150000},
                                  {300.2L, 200.4L, 120000},
                                  {60.7L, 240.2L, 90000},
                                  {330.5L, 50.1L, 100000}};
  for (const auto& s : stars) g.addStar(s[0] + dx, s[1] + dy, 1.8L, s[2]);
  g.addStar(tx, ty, 1.6L, 60000);
  return g;
}

class BlinkKit : public WindowKit {
 public:
  BlinkKit() {
    ResetBlinkDialogs();
    for (int n = 0; n <= MaxImageNo; ++n) ClearAlignment(n);
  }
  ~BlinkKit() override {
    blink.reset();
    ResetBlinkDialogs();
    for (int n = 0; n <= MaxImageNo; ++n) ClearAlignment(n);
  }

  TImageForm1& Attach(const StarGrid& g, int slot) {
    Load(g, slot, "img" + std::to_string(slot + 1) + ".fit");
    TImageForm1& w = Window(slot);
    w.AttachImage(slot);
    return w;
  }
  // Image k: the field moved by k * (6, -4), the target by k * (8, 3) more.
  void AttachField(int images) {
    for (int k = 0; k < images; ++k)
      Attach(ShiftedField(400, 300, 6.0L * k, -4.0L * k, 150.4L + 14 * k, 220.3L - 1 * k, 7 + k),
             k);
  }
  // The main window's Blink command: frames reset, images handed over.
  TBlinkForm1& Prepare(int images) {
    LastImageNo = static_cast<std::uint8_t>(images - 1);
    BlinkOptions.ResetFrames();
    if (!blink) blink = std::make_unique<TBlinkForm1>(platform, *this);
    std::array<TImageForm1*, 4> w{};
    for (int n = 0; n < 4; ++n) w[static_cast<std::size_t>(n)] = windows[n].get();
    EXPECT_TRUE(blink->SetImages(w));
    return *blink;
  }
  TBlinkForm1& Open(int images) {
    Prepare(images);
    blink->FormShow();
    return *blink;
  }
  void Click(int x, int y) {
    blink->FormMouseDown(MouseButton::Left, x, y);
    blink->FormMouseUp(MouseButton::Left, x, y);
  }
  TBlinkInitForm1& Dialog() { return blink->BlinkInitForm(); }

  bool* BlinkHintDue() override { return &blinkHint; }
  void BlinkWindowClosed() override { ++blinkClosed; }

  std::unique_ptr<TBlinkForm1> blink;
  bool blinkHint = true;
  int blinkClosed = 0;
};

}  // namespace hv::test
