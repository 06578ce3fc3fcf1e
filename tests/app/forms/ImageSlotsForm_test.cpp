#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <cstdlib>

#include "app/forms/InfoListForm.h"
#include "app/forms/MainForm.h"
#include "images/FITSWriter.h"
#include "images/ImageDialogs.h"
#include "images/forms/BlinkForms.h"
#include "images/forms/ImageForm.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

void WriteFits(const fs::path& path) {
  std::vector<std::int16_t> v(64 * 48);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::int16_t>(100 + (i * 37) % 50);
  v[20 * 64 + 30] = 3000;
  FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", 64).Int("NAXIS2", 48);
  f.End().I16(v).Pad();
  WriteFileAtomic(path, f.Bytes());
}

class ImageSlotsFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    images = test::FreshFolder("imgs");
    fs::current_path(data);
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
    for (const char* n : {"a.fit", "b.fit"}) WriteFits(images / n);
    RegisterAppForms();
  }
  void TearDown() override {
    FreeImageDialogs();
    LoginToFill = nullptr;
  }
  void Start(TBendulak& w) {
    StartupFacts f;
    f.arguments = {"NOMAD"};
    f.currentFolder = data;
    w.FormCreate(f);
    CreateImageDialogs();
  }
  void Grab(QWidget& w, const char* name) {
    if (const char* out = std::getenv("HV_GRAB")) w.grab().save(QString(out) + "/" + name);
  }
  test::Scripted p;
  fs::path prog, data, images;
};

TEST_F(ImageSlotsFormTest, LoadViewCloseAndClearThroughTheMenu) {
  BendulakSession s(p);
  TBendulak w(s);
  Start(w);
  w.show();

  p.expectOpen(FileChoice{{images / "a.fit", images / "b.fit"}, 1});
  w.action("MultipleLoad1")->trigger();
  ASSERT_NE(w.imageForm(0), nullptr);
  ASSERT_NE(w.imageForm(1), nullptr);
  EXPECT_EQ(w.imageForm(2), nullptr);
  EXPECT_FALSE(w.imageForm(0)->isVisible()) << "loaded windows stay hidden";
  EXPECT_TRUE(w.action("LoadImg1")->isChecked());
  EXPECT_FALSE(w.action("MultipleLoad1")->isEnabled());
  EXPECT_TRUE(w.action("ImageMI")->isEnabled());
  EXPECT_TRUE(w.action("ViewAdjust1")->isEnabled());
  EXPECT_TRUE(w.action("Blink1")->isEnabled()) << "two images can be blinked";
  Grab(w, "main-images.png");

  p.expectDialog("TImgSlctForm1", [](DialogModel& m) {
    auto& d = static_cast<TImgSlctForm1&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  w.action("ViewAdjust1")->trigger();
  TImageForm1Widget* f0 = w.imageForm(0);
  TImageForm1Widget* f1 = w.imageForm(1);
  EXPECT_TRUE(f0->isVisible());
  EXPECT_TRUE(f1->isVisible());
  EXPECT_EQ(f0->pos(), QPoint(0, 0));
  EXPECT_EQ(f1->pos(), QPoint(20, 20));
  EXPECT_EQ(f0->windowTitle(), "Image 1 - B.FIT");
  EXPECT_FALSE(w.action("LoadImg1")->isEnabled());
  EXPECT_FALSE(w.action("Clear1")->isEnabled());
  EXPECT_FALSE(w.action("ImageFileType1")->isEnabled());
  Grab(*f0, "image1.png");

  // The header listing opens in a list window the main window keeps.
  f0->Model().Header1Click();
  TInfoListForm1* list = w.listForm(*s.ImageFiles[0]->HdrListWin);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_GT(list->ListBox1->count(), 5);
  Grab(*list, "header.png");

  // Closing a window hides it and frees its slot in the main menu.
  f0->close();
  EXPECT_FALSE(f0->isVisible());
  EXPECT_TRUE(w.action("LoadImg1")->isEnabled());
  EXPECT_FALSE(w.action("Clear1")->isEnabled()) << "image 2 is still shown";
  f1->close();
  EXPECT_TRUE(w.action("Clear1")->isEnabled());

  // Blink: the blink window opens with its alignment dialog; closing it
  // gives the slots back.
  ResetBlinkDialogs();
  w.action("Blink1")->trigger();
  TBlinkForm1Widget* blink = nullptr;
  for (QWidget* t : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<TBlinkForm1Widget*>(t)) blink = b;
  ASSERT_NE(blink, nullptr);
  EXPECT_TRUE(blink->isVisible());
  EXPECT_EQ(blink->windowTitle(), "Blinking Images: Image 1 - B.FIT");
  ASSERT_NE(blink->InitDialog(), nullptr);
  EXPECT_TRUE(blink->InitDialog()->isVisible());
  EXPECT_FALSE(w.action("Clear1")->isEnabled());
  EXPECT_FALSE(w.action("LoadImg1")->isEnabled());
  Grab(*blink, "blink.png");
  blink->InitDialog()->Cancel()->click();
  blink->close();
  EXPECT_FALSE(blink->isVisible());
  EXPECT_TRUE(w.action("Clear1")->isEnabled());
  EXPECT_TRUE(w.action("LoadImg1")->isEnabled());

  // Clearing frees the forms with their windows.
  QPointer<TImageForm1Widget> g0 = f0;
  QPointer<TInfoListForm1> glist = list;
  p.expectMessage(ModalResult::Yes, "Verify Clear");
  w.action("Object1")->trigger();
  EXPECT_TRUE(g0.isNull());
  EXPECT_TRUE(glist.isNull());
  EXPECT_EQ(w.imageForm(1), nullptr);
  EXPECT_FALSE(w.action("LoadImg1")->isChecked());

  // Loaded again, the window goes before the session's images.
  p.expectOpen(FileChoice{{images / "a.fit"}, 1});
  w.action("LoadImg1")->trigger();
  ASSERT_NE(w.imageForm(0), nullptr);
  w.imageForm(0)->Model().Header1Click();
}

TEST_F(ImageSlotsFormTest, ImageOneIsTheFirstListedFileAndWindowsArePlacedByTheirFrames) {
  for (const char* n : {"c.fit", "d.fit"}) WriteFits(images / n);
  BendulakSession s(p);
  TBendulak w(s);
  Start(w);
  w.show();
  auto placed = [&](const std::string& caption) {
    for (auto it = p.placements.rbegin(); it != p.placements.rend(); ++it)
      if (it->caption == caption) return QPoint(it->left, it->top);
    return QPoint(-1, -1);
  };

  // Picked in any order, the files come from the platform last listed
  // first, and the multiple load takes them from the end.
  p.expectOpen(FileChoice{LastListedFirst({QString::fromStdString((images / "c.fit").string()),
                                           QString::fromStdString((images / "a.fit").string()),
                                           QString::fromStdString((images / "d.fit").string()),
                                           QString::fromStdString((images / "b.fit").string())}),
                          1});
  w.action("MultipleLoad1")->trigger();
  const char* want[] = {"A.FIT", "B.FIT", "C.FIT", "D.FIT"};
  for (int slot = 0; slot < 4; ++slot)
    EXPECT_EQ(s.ImageFiles[static_cast<std::size_t>(slot)]->DisplayName, want[slot]);

  // View/Adjust places each window's frame, title bar included, from (0, 0).
  p.expectDialog("TImgSlctForm1", [](DialogModel& m) {
    auto& d = static_cast<TImgSlctForm1&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  w.action("ViewAdjust1")->trigger();
  EXPECT_EQ(placed("Image 1 - A.FIT"), QPoint(0, 0));
  EXPECT_EQ(placed("Image 2 - B.FIT"), QPoint(20, 20));
  EXPECT_EQ(placed("Image 4 - D.FIT"), QPoint(60, 60));
  EXPECT_EQ(w.imageForm(0)->frameGeometry().topLeft(), QPoint(0, 0));
  for (int slot = 0; slot < 4; ++slot) w.imageForm(slot)->close();

  // The alignment dialog sits at the screen's bottom right by its frame,
  // wide enough for its whole caption.
  ResetBlinkDialogs();
  w.action("Blink1")->trigger();
  TBlinkForm1Widget* blink = nullptr;
  for (QWidget* t : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<TBlinkForm1Widget*>(t)) blink = b;
  ASSERT_NE(blink, nullptr);
  const QRect avail = blink->screen()->availableGeometry();
  EXPECT_EQ(placed(FromQ(blink->windowTitle())),
            avail.center() -
                QPoint(blink->frameGeometry().width() / 2, blink->frameGeometry().height() / 2))
      << "centred at its images' size";
  QDialog* init = blink->InitDialog();
  ASSERT_NE(init, nullptr);
  ASSERT_TRUE(init->isVisible());
  EXPECT_GE(init->width(), TitleFitWidth(init->windowTitle()));
  const QRect screen = init->screen()->geometry();
  const QRect frame = init->frameGeometry();
  EXPECT_EQ(placed(FromQ(init->windowTitle())),
            QPoint(screen.width() - frame.width() - 10, screen.height() - frame.height() - 30));
  blink->InitDialog()->Cancel()->click();
  blink->close();
}

}  // namespace
}  // namespace hv
