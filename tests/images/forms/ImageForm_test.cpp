#include "images/forms/ImageForm.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include "controls/forms/Leds.h"
#include "images/ImageDialogs.h"
#include "images/forms/CursorWindowForm.h"
#include "images/forms/ImageDialogForms.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"
#include "support/Files.h"
#include "tests/images/ImageWindowKit.h"

namespace hv {
namespace {

using test::StarGrid;
using test::WindowKit;

void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton b, int x, int y) {
  const QPointF p(x, y);
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
  QMouseEvent e(type, p, w->mapToGlobal(p), b, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

QRgb Pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

// A field of a few stars on a noisy sky.
StarGrid Field() {
  StarGrid g(512, 384, 1000);
  test::Normal rnd(11);
  for (auto& v : g.v) v = static_cast<std::int32_t>(std::nearbyint(1000 + 15 * rnd()));
  g.addStar(120.4L, 100.2L, 2.0L, 120000);
  g.addStar(300.7L, 250.5L, 1.6L, 80000);
  g.addStar(420.1L, 60.8L, 2.4L, 200000);
  return g;
}

class ImageFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kit.Load(Field());
    window = std::make_unique<TImageForm1>(qt, kit);
    window->AttachImage(0);
    form = std::make_unique<TImageForm1Widget>(*window);
    form->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    form.reset();
    window.reset();
  }
  QImage Grab() { return form->GrabClient(); }
  void Save(const QImage& img, const char* name) {
    img.save(QString::fromStdString((kit.folder / name).string()));
    if (const char* dir = std::getenv("HV_SHOTS"))
      img.save(QString::fromStdString((std::filesystem::path(dir) / name).string()));
  }

  WindowKit kit;
  QtPlatform qt;
  std::unique_ptr<TImageForm1> window;
  std::unique_ptr<TImageForm1Widget> form;
};

TEST_F(ImageFormTest, PaintsTheImageAndItsMarks) {
  ASSERT_EQ(form->Client()->size(), QSize(512, 384));
  EXPECT_EQ(form->windowTitle(), "Image 1 - M31.FIT");
  QImage img = Grab();
  Save(img, "window.png");
  EXPECT_EQ(Pixel(img, 120, 100), 0xFFFFFFu) << "a star is white";
  EXPECT_LT(qGray(img.pixel(200, 300)), 200) << "the sky is grey";

  window->TargetLocated = true;
  window->Target.ImageX = 300.7L;
  window->Target.ImageY = 250.5L;
  window->Repaint();
  img = Grab();
  Save(img, "marked.png");
  // The box of half width 10 around (302, 250): its left and top edges are lime.
  EXPECT_EQ(Pixel(img, 292, 250), 0x00FF00u);
  EXPECT_EQ(Pixel(img, 302, 240), 0x00FF00u);
  // The printed copy keeps the grey levels and the mark colours.
  IndexedImage printed;
  ASSERT_TRUE(form->ClientImage(printed));
  auto at = [&](int x, int y) { return printed.colours[printed.pixels[y * 512 + x]] & 0xFFFFFFu; };
  EXPECT_EQ(at(292, 250), 0x00FF00u);
  EXPECT_EQ(at(120, 100), 0xFFFFFFu);
  EXPECT_NEAR(qGray(at(200, 300)), qGray(img.pixel(200, 300)), 1);

  // Brightness only swaps the colour table: the sky gets lighter at once.
  const int before = qGray(Grab().pixel(200, 300));
  window->DispParms->Brightness = 30;
  window->RefreshPalette();
  EXPECT_GT(qGray(Grab().pixel(200, 300)), before);
}

TEST_F(ImageFormTest, ZoomDragAndDoubleClick) {
  kit.zoomHint = false;
  window->ZoomImage1Click();
  QWidget* c = form->Client();
  Mouse(c, QEvent::MouseButtonPress, Qt::RightButton, 100, 80);
  Mouse(c, QEvent::MouseMove, Qt::RightButton, 200, 100);
  Mouse(c, QEvent::MouseButtonRelease, Qt::RightButton, 200, 100);
  EXPECT_EQ(window->ZoomRect, (IntRect{100, 80, 200, 180}));
  QImage img = Grab();
  Save(img, "zoomframe.png");
  EXPECT_EQ(Pixel(img, 100, 130), 0x00FF00u) << "the zoom frame";
  Mouse(c, QEvent::MouseButtonPress, Qt::LeftButton, 150, 150);
  Mouse(c, QEvent::MouseButtonRelease, Qt::LeftButton, 150, 150);
  {
    const QPointF p(150, 150);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, p, c->mapToGlobal(p), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(c, &dbl);
  }
  Mouse(c, QEvent::MouseButtonRelease, Qt::LeftButton, 150, 150);
  ASSERT_TRUE(window->Zoomed);
  QApplication::processEvents();
  EXPECT_EQ(c->size(), QSize(512, 512)) << "the zoomed view is square";
  img = Grab();
  Save(img, "zoomed.png");
  // The star at (120.4, 100.2) lies 20.4, 20.2 into the rectangle, factor 5.12.
  EXPECT_EQ(Pixel(img, 106, 106), 0xFFFFFFu);
  EXPECT_EQ(window->FactorText, "5.12");
}

TEST_F(ImageFormTest, PrintsToPdf) {
  const auto pdf = kit.folder / "image.pdf";
  ASSERT_TRUE(window->PrintDocument(pdf));
  const auto bytes = ReadWholeFile(pdf);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
  EXPECT_GT(window->PrintRect[2], 512) << "printer dots exceed screen pixels";
}

TEST_F(ImageFormTest, MagnifierShowsTheMeasuredWindow) {
  TCursorWindowWidget mag(*CursorWindow, qt);
  CursorWindow->SetSource(window.get());
  mag.show();
  CursorWindow->ShowRegion("", 120, 100);
  QImage img = mag.grab().toImage();
  Save(img, "magnifier.png");
  EXPECT_EQ(mag.windowTitle(), "Cursor Region");
  // The star fills the middle; the inverting cross turns it black.
  EXPECT_EQ(Pixel(img, 75 + 10, 75 + 10), 0xFFFFFFu);
  EXPECT_EQ(Pixel(img, CursorWindow->CrossX + 5, CursorWindow->CrossY), 0x000000u);
  form.reset();
  window.reset();  // a freed window is no longer shown
  EXPECT_EQ(CursorWindow->Source(), nullptr);
}

TEST_F(ImageFormTest, SizeDialogFormIsWired) {
  RegisterImageForms();
  QTimer::singleShot(0, [] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    auto* bar = d->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 100);
    EXPECT_EQ(bar->maximum(), 512);
    bar->setValue(256);
    for (auto* b : d->findChildren<QAbstractButton*>())
      if (b->text() == "&OK") b->click();
  });
  window->ResizeWindow1Click();
  EXPECT_EQ(window->ClientWidth, 256);
  EXPECT_EQ(window->ClientHeight, 192);
  QApplication::processEvents();
  EXPECT_EQ(form->Client()->size(), QSize(256, 192));
}

TEST_F(ImageFormTest, AdjustDialogFlipsWithApplyAndShowsItsLeds) {
  RegisterImageForms();
  const auto generation = window->Bitmap.Generation;
  int shown = 0;
  std::function<void()> answer = [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    ++shown;
    EXPECT_EQ(d->windowTitle(), "Adjust Image 1 Display Parameters");
    auto leds = d->findChildren<TiLedRound*>();
    ASSERT_EQ(leds.size(), 4);
    // Left-right, up-down, original, default: the form's load-time sizes.
    const int sizes[] = {14, 15, 14, 15};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(leds[i]->size(), QSize(sizes[i], sizes[i])) << i;
    auto click = [d](const QString& text) {
      for (auto* b : d->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isEnabled()) {
          b->click();
          return true;
        }
      return false;
    };
    if (shown == 1) {
      EXPECT_TRUE(click("<->"));
      Save(d->grab().toImage(), "adjust.png");
      EXPECT_TRUE(click("&Apply Changes"));
      QTimer::singleShot(0, answer);  // shown again after Apply
    } else {
      EXPECT_FALSE(click("<->")) << "already reversed";
      EXPECT_TRUE(click("&OK"));
    }
  };
  QTimer::singleShot(0, answer);
  window->AdjustImage1Click();
  EXPECT_EQ(shown, 2);
  EXPECT_TRUE(window->FlipX());
  EXPECT_GT(window->Bitmap.Generation, generation) << "the flip rendered again";
  QApplication::processEvents();
  const QImage img = Grab();
  Save(img, "flipped.png");
  EXPECT_EQ(Pixel(img, 511 - 120, 100), 0xFFFFFFu) << "the star moved to the mirrored column";
}

TEST_F(ImageFormTest, AdjustDialogCancelAfterApplyRendersTheOldOrientation) {
  RegisterImageForms();
  int shown = 0;
  std::function<void()> answer = [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    ++shown;
    auto click = [d](const QString& text) {
      for (auto* b : d->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isEnabled()) {
          b->click();
          return true;
        }
      return false;
    };
    if (shown == 1) {
      EXPECT_TRUE(click("<->"));
      EXPECT_TRUE(click("&Apply Changes"));
      QTimer::singleShot(0, answer);
    } else {
      EXPECT_TRUE(click("&Cancel"));
    }
  };
  QTimer::singleShot(0, answer);
  window->AdjustImage1Click();
  EXPECT_EQ(shown, 2);
  EXPECT_FALSE(window->FlipX()) << "Cancel restores the record as it was at opening";
  QApplication::processEvents();
  const QImage img = Grab();
  EXPECT_EQ(Pixel(img, 120, 100), 0xFFFFFFu) << "the display is rendered unflipped again";
  EXPECT_NE(Pixel(img, 511 - 120, 100), 0xFFFFFFu);
}

TEST_F(ImageFormTest, MenuBarIsReadable) {
  auto* bar = form->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  const QImage img = bar->grab().toImage();
  ASSERT_FALSE(img.isNull());
  // The item captions stand out from the bar's own colour.
  const int background = qGray(img.pixel(img.width() - 2, img.height() / 2));
  int contrasting = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width() / 4; ++x)
      if (std::abs(qGray(img.pixel(x, y)) - background) > 100) ++contrasting;
  EXPECT_GT(contrasting, 20) << "menu captions drawn in the bar's background colour";
}

TEST(ImageDialogForms, TitleBarShowsTheWholeCaption) {
  // The selection dialog holds four short check boxes: its own width
  // would cut "Display Image(s)" short.
  RegisterImageForms();
  QtPlatform qt;
  TImgSlctForm1 select;
  int width = 0, fit = 0;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    width = d->width();
    fit = TitleFitWidth(d->windowTitle());
    d->close();
  });
  qt.showDialog(select);
  EXPECT_GE(width, fit);
}

}  // namespace
}  // namespace hv
