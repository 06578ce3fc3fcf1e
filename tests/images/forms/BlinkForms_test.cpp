#include "images/forms/BlinkForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>

#include "images/forms/ImageDialogForms.h"
#include "platform/qt/QtPlatform.h"
#include "tests/images/BlinkKit.h"

namespace hv {
namespace {

using test::BlinkKit;

void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton b, int x, int y) {
  const QPointF p(x, y);
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
  QMouseEvent e(type, p, w->mapToGlobal(p), b, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
void Click(QWidget* w, int x, int y) {
  Mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, x, y);
  Mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, x, y);
}
void Grab(const QImage& img, const char* name) {
  if (const char* out = std::getenv("HV_GRAB")) img.save(QString(out) + "/" + name);
}

// The window as a student meets it: shown, aligned by clicks in its client
// area and the dialog's Continue, blinked on its timer, stopped.
TEST(BlinkForms, AlignThroughTheDialogAndBlinkOnTheTimer) {
  BlinkKit kit;
  // HV_BLINK_SAMPLES: a folder with the shipped FIELD1.FIT and FIELD2.FIT,
  // for a look at real-looking frames; the stars are then not clicked.
  const char* samples = std::getenv("HV_BLINK_SAMPLES");
  if (samples) {
    for (int k = 0; k < 2; ++k) {
      auto file = std::make_unique<FITSFileObj>(ReaderContext(kit.platform, kit.settings));
      ASSERT_TRUE(file->LoadFile(std::filesystem::path(samples) /
                                 ("FIELD" + std::to_string(k + 1) + ".FIT")));
      kit.files[k] = std::move(file);
      kit.Window(k).AttachImage(k);
    }
  } else {
    kit.AttachField(2);
  }
  kit.Prepare(2);
  TBlinkForm1Widget form(*kit.blink);
  form.show();
  QApplication::processEvents();
  TBlinkInitForm1Widget* dlg = form.InitDialog();
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->Message()->text(), "Select a star for field alignment.");
  EXPECT_FALSE(form.Action("Blink1")->isEnabled());
  EXPECT_FALSE(form.Action("Adjust1")->isEnabled());
  EXPECT_EQ(form.Client()->size(), QSize(kit.blink->ClientWidth, kit.blink->ClientHeight));

  if (samples) {
    Grab(form.GrabClient(), "blink-samples.png");
    Grab(form.grab().toImage(), "blink-samples-window.png");
    dlg->Cancel()->click();
    EXPECT_FALSE(dlg->isVisible());
    return;
  }
  Click(form.Client(), 101, 82);
  dlg->Continue()->click();
  EXPECT_EQ(dlg->Message()->text(), "Select another star for field alignment.");
  Click(form.Client(), 299, 199);
  dlg->Continue()->click();
  Click(form.Client(), 107, 77);
  dlg->Continue()->click();
  Grab(form.GrabClient(), "blink-second-star.png");
  dlg->Continue()->click();  // the predicted second star
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_NEAR(AlignOffsets[1].DX, -6.0L, 0.1L);
  ASSERT_TRUE(form.Action("Blink1")->isEnabled());
  Grab(form.grab().toImage(), "blink-aligned-window.png");

  form.Action("Blink1")->trigger();
  EXPECT_TRUE(form.BlinkTimer().isActive());
  EXPECT_EQ(form.BlinkTimer().interval(), 500);
  EXPECT_TRUE(form.Action("Stop1")->isEnabled());
  EXPECT_FALSE(form.Action("Target1")->isEnabled());
  // One tick of the real timer shows the second frame.
  QElapsedTimer clock;
  clock.start();
  while (form.windowTitle().left(24) != "Blinking Images: Image 2" && clock.elapsed() < 3000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(form.windowTitle().left(24), "Blinking Images: Image 2");
  const QImage shifted = form.GrabClient();
  Grab(shifted, "blink-frame2.png");
  // Image 2 is drawn 6 pixels left and 4 down: its star 1 (at 106, 77 of
  // its own) stands where image 1 has it, near (100, 81).
  const QRgb star = shifted.pixel(100, 81) & 0xFFFFFFu;
  const QRgb sky = shifted.pixel(200, 120) & 0xFFFFFFu;
  EXPECT_GT(qGray(star), qGray(sky) + 40);
  // Not image 1's pixels drawn at image 2's offset (a scaled copy of one
  // bitmap taken for another's).
  const QRgb stale = shifted.pixel(94, 85) & 0xFFFFFFu;
  EXPECT_LT(qGray(stale), qGray(sky) + 40);
  form.Action("Stop1")->trigger();
  EXPECT_FALSE(form.BlinkTimer().isActive());
  EXPECT_TRUE(form.Action("Blink1")->isEnabled());

  // Closing frees the slots.
  form.close();
  QApplication::processEvents();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(kit.busySlots, (std::vector<int>{-1, -2}));
}

TEST(BlinkForms, SmallDialogsAreRegistered) {
  RegisterBlinkForms();
  QtPlatform qt;
  TBlnkTmrDlg d;
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dlg = qobject_cast<QDialog*>(w); dlg && dlg->isVisible()) {
        EXPECT_EQ(dlg->windowTitle(), "Set Blink Interval");
        auto* ro = dlg->findChild<QLabel*>("ScrlRdOut");
        ASSERT_NE(ro, nullptr);
        EXPECT_EQ(ro->text(), "500");
        dlg->accept();
      }
  });
  EXPECT_EQ(qt.showDialog(d), ModalResult::OK);
}

}  // namespace
}  // namespace hv
