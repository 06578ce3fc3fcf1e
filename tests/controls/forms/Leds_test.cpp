#include "controls/forms/Leds.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPicture>
#include <QPixmap>
#include <functional>
#include <stdexcept>
#include <vector>

#include "controls/forms/QtCanvas.h"

namespace hv {
namespace {

// Button face, shadow and highlight all distinct, and the highlight not
// white, so that the rim can be told from the white reflection.
constexpr TColor kFace = 0xC0C0C0, kShadow = 0x808080, kHighlight = 0xE0E0E0;

QPalette TestPalette() {
  QPalette p;
  p.setColor(QPalette::Button, ToQColor(kFace));
  p.setColor(QPalette::Dark, ToQColor(kShadow));
  p.setColor(QPalette::Light, ToQColor(kHighlight));
  return p;
}

QImage Grab(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }
TColor At(const QImage& img, int x, int y) { return FromQColor(QColor(img.pixel(x, y))); }

// Runs the event loop until done() or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms = 1000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

TEST(TiLedRound, TheDialogsFourLedsInBothStates) {
  struct Row {
    const char* name;
    int size;
    TColor activeColor, lit, unlit;
  };
  const Row rows[] = {
      {"XChange", 14, clRed, 0x0000FF, 0x000055},
      {"YChange", 15, clRed, 0x0000FF, 0x000055},
      {"OrigLED", 14, clLime, 0x00FF00, 0x005500},
      {"DfltLED", 15, clLime, 0x00FF00, 0x005500},
  };
  for (const Row& r : rows) {
    for (bool active : {false, true}) {
      TiLedRound led;
      led.setPalette(TestPalette());
      led.BeginLoad();
      led.ChangeBounds(0, 0, r.size, r.size);
      led.SetActiveColor(r.activeColor);
      led.EndLoad();
      led.SetActive(active);
      QImage img = Grab(led);
      ASSERT_EQ(img.size(), QSize(r.size, r.size)) << r.name;
      const int w = r.size, h = r.size;
      struct Sample {
        const char* what;
        int x, y;
        TColor want;
      };
      const Sample samples[] = {
          {"face, lower right of the centre", w / 2 + 2, h / 2 + 2, active ? r.lit : r.unlit},
          {"face, below the centre", w / 2, h / 2 + 3, active ? r.lit : r.unlit},
          {"rim left", 0, h / 2 - 1, kShadow},
          {"rim top", w / 2 - 1, 0, kShadow},
          {"inner rim upper left", 2, 3, kShadow},
          {"rim right", w - 1, h / 2 + 1, kHighlight},
          {"rim bottom", w / 2 + 1, h - 1, kHighlight},
          {"inner rim lower right", w - 3, h - 4, kHighlight},
          {"corner", 0, 0, kFace},
          {"corner", w - 1, h - 1, kFace},
          {"reflection", 4, 5, clWhite},
      };
      for (const Sample& s : samples)
        EXPECT_EQ(At(img, s.x, s.y), s.want)
            << r.name << (active ? " lit" : " unlit") << ", " << s.what << " at (" << s.x << ", "
            << s.y << ") got " << std::hex << At(img, s.x, s.y) << " wanted " << s.want;
    }
  }
}

TEST(TiLedRound, WithoutBevelTheBodyFillsTheSquareAndWithoutReflectionNoWhite) {
  TiLedRound led;
  led.setPalette(TestPalette());
  led.SetBevelStyle(ibsNone);
  led.SetShowReflection(false);
  led.SetActive(true);
  QImage img = Grab(led);  // 20 x 20
  EXPECT_EQ(At(img, 0, 10), clLime);
  EXPECT_EQ(At(img, 10, 19), clLime);
  EXPECT_EQ(At(img, 0, 0), kFace);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) ASSERT_NE(At(img, x, y), clWhite) << x << ", " << y;
}

TEST(TiLedRound, BorderUnderTheFace) {
  TiLedRound led;
  led.setPalette(TestPalette());
  led.SetBorderStyle(2);  // sunken: shadow at the upper left, highlight at the lower right
  QImage img = Grab(led);
  EXPECT_EQ(At(img, 0, 0), kShadow);
  EXPECT_EQ(At(img, 19, 19), kHighlight);
  led.SetBorderStyle(1);
  img = Grab(led);
  EXPECT_EQ(At(img, 1, 1), kHighlight) << "raised: inner ring highlight";
  EXPECT_EQ(At(img, 18, 18), kShadow) << "raised: inner ring shadow";
}

TEST(DrawTextRect, CalcRectMeasuresWithoutDrawing) {
  QImage img(100, 100, QImage::Format_RGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  p.setPen(Qt::white);
  QString text = "Invalid floating point operation";
  QRect oneLine(0, 0, 60, 10), wrapped(0, 0, 60, 10);
  const int h1 = DrawTextRect(p, text, oneLine, TextFlags::CalcRect | TextFlags::SingleLine);
  const int h2 = DrawTextRect(p, text, wrapped, TextFlags::CalcRect | TextFlags::WordBreak);
  EXPECT_GT(h1, 0);
  EXPECT_GT(h2, h1) << "word breaks take more lines";
  EXPECT_EQ(wrapped.height(), h2);
  p.end();
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(img.pixel(x, y), qRgb(0, 0, 0));

  QImage img2(60, 20, QImage::Format_RGB32);
  QPainter p2(&img2);
  QString longText = "Invalid floating point operation";
  QRect box(0, 0, 60, 20);
  DrawTextRect(p2, longText, box, TextFlags::EndEllipsis | TextFlags::ModifyString);
  EXPECT_TRUE(longText.endsWith(QChar(0x2026))) << longText.toStdString();
}

TEST(TiLedRound, RecordedDrawingPaintsTheSameFace) {
  // Records what the cached-background flag was while the face was painted.
  struct Probe : TiLedRound {
    std::vector<bool> cachedWhilePainting;
    void PaintTo(Canvas& canvas) override {
      cachedWhilePainting.push_back(CachedBackGround());
      TiLedRound::PaintTo(canvas);
    }
  } led;
  led.setPalette(TestPalette());
  led.SetActive(true);
  int afterPaint = 0;
  led.OnAfterPaint = [&](TiComponent&, QPainter&) { ++afterPaint; };
  QPicture picture;
  led.render(&picture);
  EXPECT_EQ(afterPaint, 0) << "painted directly, not through the buffer";
  EXPECT_EQ(led.cachedWhilePainting, std::vector<bool>{false});
  QImage img(20, 20, QImage::Format_RGB32);
  img.fill(Qt::black);
  {
    QPainter p(&img);
    picture.play(&p);
  }
  EXPECT_EQ(At(img, 12, 12), clLime);
  EXPECT_EQ(At(img, 0, 9), kShadow);
  EXPECT_TRUE(led.CachedBackGround()) << "restored after the recorded paint";
}

TEST(TiLedRound, TransparentShowsTheParentAroundTheBody) {
  QWidget parent;
  parent.resize(40, 40);
  QPalette pal = TestPalette();
  pal.setColor(QPalette::Window, QColor(0, 0, 200));
  parent.setPalette(pal);
  parent.setAutoFillBackground(true);
  auto* led = new TiLedRound(&parent);
  led->ChangeBounds(10, 10, 20, 20);
  led->SetTransparent(true);
  led->SetActive(true);
  QImage img = Grab(parent);
  EXPECT_EQ(At(img, 10, 10), MakeColor(0, 0, 200)) << "the LED's corner shows the parent";
  EXPECT_EQ(At(img, 22, 22), clLime);
}

// A face painter that fails.
class Failing : public TiCustomComponent {
 public:
  using TiCustomComponent::TiCustomComponent;
  void PaintTo(Canvas& canvas) override {
    canvas.FillRect({0, 0, width(), height()}, clRed);
    throw std::runtime_error("Invalid floating point operation");
  }
};

TEST(TiComponent, AFailingFacePainterShowsBlackWithTheMessageInWhite) {
  for (int run = 0; run < 2; ++run) {  // the next paint tries again
    Failing f;
    f.resize(200, 60);
    int afterPaint = 0;
    f.OnAfterPaint = [&](TiComponent&, QPainter&) { ++afterPaint; };
    QImage img = Grab(f);
    EXPECT_EQ(afterPaint, 1);
    int bright = 0, other = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        QColor c(img.pixel(x, y));
        if (c.lightness() > 200) ++bright;
        if (c.red() != c.green() || c.green() != c.blue()) ++other;  // no red left
      }
    EXPECT_GT(bright, 20) << "the message is drawn in white";
    EXPECT_EQ(other, 0);
    EXPECT_EQ(At(img, 199, 59), clBlack);
  }
  // A control without a face of its own shows the abstract-call error.
  TiLed plain;
  plain.resize(100, 30);
  QImage img = Grab(plain);
  EXPECT_EQ(At(img, 99, 29), clBlack);
  EXPECT_EQ(At(img, 0, 0), clBlack);
}

TEST(TiLed, ActiveFiresOncePerChangeAndAVetoLeavesTheState) {
  TiLedRound led;
  int changes = 0;
  std::vector<std::string> told, asked;
  bool allow = true;
  led.OnChange = [&](TiLed& sender) {
    EXPECT_EQ(&sender, &led);
    ++changes;
  };
  led.OnPropertyChanged = [&](TiComponent&, std::string_view name) { told.emplace_back(name); };
  led.OnRequestPropertyChange = [&](TiComponent&, std::string_view name, bool& allowed) {
    asked.emplace_back(name);
    allowed = allow;
  };
  led.SetActive(false);
  EXPECT_EQ(changes, 0);
  led.SetActive(true);
  led.SetActive(true);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(told, std::vector<std::string>{"Active"});
  EXPECT_EQ(asked, std::vector<std::string>{"Active"});
  allow = false;
  led.SetActive(false);
  EXPECT_TRUE(led.Active());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(told.size(), 1u);
}

TEST(TiLed, CreationDefaults) {
  TiLedRound led;
  EXPECT_EQ(led.size(), QSize(20, 20));
  EXPECT_FALSE(led.Active());
  EXPECT_EQ(led.BevelStyle(), ibsLowered);
  EXPECT_EQ(led.ActiveColor(), 65280u);
  EXPECT_TRUE(led.AutoInactiveColor());
  EXPECT_EQ(led.InactiveColor(), 21760u);
  EXPECT_TRUE(led.ShowReflection());
  EXPECT_EQ(led.BackGroundColor(), clBtnFace);
  EXPECT_FALSE(led.Transparent());
  EXPECT_FALSE(led.AutoFrameRate());
  EXPECT_EQ(led.UpdateFrameRate(), 60);
  EXPECT_TRUE(led.CachedBackGround());
  EXPECT_EQ(led.BorderStyle(), 0);
  EXPECT_TRUE(led.ErrorFont().bold());
  EXPECT_EQ(led.ErrorFontColor(), clRed);
}

TEST(TiLedRound, StaysSquareExceptWhileLoading) {
  TiLedRound led;
  led.ChangeBounds(0, 0, 14, 14);
  led.ChangeBounds(0, 0, 30, 14);
  EXPECT_EQ(led.size(), QSize(30, 30));
  led.ChangeBounds(0, 0, 14, 14);
  led.SetHeight(16);
  EXPECT_EQ(led.size(), QSize(16, 16));
  led.BeginLoad();
  led.ChangeBounds(0, 0, 14, 15);
  led.EndLoad();
  EXPECT_EQ(led.size(), QSize(14, 15));
  // Shown afterwards (its deferred resize arrives then), it keeps the form's size.
  QWidget form;
  auto* onForm = new TiLedRound(&form);
  onForm->BeginLoad();
  onForm->ChangeBounds(3, 4, 14, 15);
  onForm->EndLoad();
  form.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(onForm->geometry(), QRect(3, 4, 14, 15));
  EXPECT_EQ(Grab(*onForm).size(), QSize(14, 15));
  EXPECT_EQ(Grab(led).size(), QSize(14, 15));

  // A size given from outside is squared by the same rule once shown.
  led.ChangeBounds(0, 0, 14, 14);
  led.show();
  led.resize(30, 14);
  EXPECT_EQ(led.size(), QSize(30, 30));
}

TEST(TiComponent, AThrottledChangeIsShownLaterByTheTimer) {
  TiLedRound led;
  std::int64_t now = 5000;
  led.SetClock([&] { return now; });
  int paints = 0;
  led.OnAfterPaint = [&](TiComponent&, QPainter&) { ++paints; };
  led.show();
  ASSERT_TRUE(WaitFor([&] { return paints > 0; }));

  now += 100;
  led.SetAutoFrameRate(true);
  ASSERT_TRUE(WaitFor([&] { return !led.BackPending() && paints > 1; }));
  const int before = paints;
  now += 2;
  led.SetActive(true);  // within 1/60 s of the last repaint: held
  EXPECT_TRUE(led.BackPending());
  EXPECT_TRUE(led.ThrottleTimerActive());
  now += 20;  // the spacing passes; no further request comes
  ASSERT_TRUE(WaitFor([&] { return !led.BackPending(); })) << "the timer shows it";
  ASSERT_TRUE(WaitFor([&] { return paints > before; }));
  EXPECT_FALSE(led.ThrottleTimerActive());
}

TEST(TiComponent, BracketDefersToOneRepaint) {
  TiLedRound led;
  led.BeginUpdate();
  led.SetActive(true);
  led.SetActiveColor(clRed);
  EXPECT_TRUE(led.BackPending());
  led.EndUpdate();
  EXPECT_FALSE(led.BackPending());
  EXPECT_FALSE(led.Updating());
}

TEST(TiVCLComponent, TimerFirstDelayThenInterval) {
  TiLedRound led;
  int ticks = 0;
  led.OnTimer = [&](TiVCLComponent&) { ++ticks; };
  led.StartTimer(0, 0);
  EXPECT_FALSE(led.TimerRunning());
  led.StartTimer(5, 10);
  EXPECT_TRUE(led.TimerFirstShot());
  led.StartTimer(1, 1);  // ignored while running
  EXPECT_EQ(led.TimerInterval(), 10u);
  ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
  EXPECT_FALSE(led.TimerFirstShot());
  EXPECT_TRUE(led.TimerRunning());
  led.StopTimer();
  EXPECT_FALSE(led.TimerRunning());
}

}  // namespace
}  // namespace hv
