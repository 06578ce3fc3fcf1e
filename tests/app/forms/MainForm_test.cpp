#include "app/forms/MainForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <cstdlib>

#include "app/forms/InfoListForm.h"
#include "app/forms/LoginForm.h"
#include "astrometry/OnlineCatalog.h"
#include "astrometry/forms/AstromListForm.h"
#include "tests/app/SampleField.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    fs::current_path(data);
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
  }
  void TearDown() override { LoginToFill = nullptr; }
  void Grab(QWidget& w, const char* name) {
    if (const char* out = std::getenv("HV_GRAB")) w.grab().save(QString(out) + "/" + name);
  }
  test::Scripted p;
  fs::path prog, data;
};

TEST_F(MainFormTest, StartsWithTheTitlePictureAndMirrorsTheMenu) {
  BendulakSession s(p);
  TBendulak w(s);
  StartupFacts f;
  f.currentFolder = data;
  w.FormCreate(f);
  EXPECT_EQ(p.transcript().size(), 0u);
  EXPECT_EQ(w.windowTitle(), "VESK Exercise - Halvardin");
  EXPECT_FALSE(w.titlePicture().isNull());
  EXPECT_EQ(w.titlePicture().width(), 634);
  EXPECT_TRUE(w.action("Login1")->isEnabled());
  EXPECT_FALSE(w.action("ImageFileType1")->isEnabled());
  EXPECT_FALSE(w.action("Preferences1")->isVisible());
  // The bold yellow font is the client area's; the menu bar keeps the system font.
  EXPECT_FALSE(w.menuBar()->font().bold());
  EXPECT_TRUE(w.font().bold());
  // The cursor came from the shipped file, hot spot at the cross.
  QCursor c = TBendulak::CrossHairCursor();
  EXPECT_FALSE(c.pixmap().isNull());
  EXPECT_EQ(c.hotSpot(), QPoint(15, 15));
  w.show();
  Grab(w, "main-title.png");

  test::ExpectStudentLogin(p);
  w.action("Login1")->trigger();
  EXPECT_EQ(w.windowTitle(), "VESK Exercise - Halvardin");
  EXPECT_FALSE(w.action("Login1")->isEnabled());
  EXPECT_TRUE(w.action("ReportMI")->isEnabled());
  w.grab();  // the first paint in this mode loads the exercise picture
  Grab(w, "main-exercise.png");
  EXPECT_TRUE(s.PictureLoaded);

  // The report's table shows in a list window (enabled here by hand: the
  // report has no measurement yet).
  s.Menu.Enable("ViewEdit1", true);
  w.Mirror();
  w.action("ExerciseFrmt1")->trigger();
  // Without Q_OBJECT every child main window (the help window too) passes
  // findChildren's cast, so the list windows are picked by their own type.
  std::vector<TInfoListForm1*> lists;
  for (QMainWindow* c : w.findChildren<QMainWindow*>())
    if (auto* l = dynamic_cast<TInfoListForm1*>(c)) lists.push_back(l);
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_TRUE(lists[0]->isVisible());
  EXPECT_GT(lists[0]->ListBox1->count(), 0);
  auto* report = dynamic_cast<AstromListForm*>(lists[0]);
  ASSERT_NE(report, nullptr) << "the report window edits its lines";
  EXPECT_TRUE(report->EditMenu->menuAction()->isVisible());
  EXPECT_TRUE(report->ChartMenu->menuAction()->isEnabled()) << "the finder chart";
  Grab(*lists[0], "report.png");
  lists[0]->Close1Click();

  // An online query made the online catalog: it goes when the window closes.
  B1Cat = std::make_unique<B1CatObj>(p, s.Settings);
  p.expectMessage(ModalResult::No, "** Exercise Finished? **");
  w.action("Exit1")->trigger();
  EXPECT_TRUE(w.isVisible());
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **");
  w.action("Exit1")->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(B1Cat);
  EXPECT_TRUE(fs::exists(data / "VESKLOG.LOG"));
}

// A modal window that Qt shows past the platform (an error box that a
// window's command shows through a platform of its own) binds what the close
// frees as much as the platform's dialogs do: the close waits for it.
TEST_F(MainFormTest, TheCloseWaitsForAModalWindowPastThePlatform) {
  BendulakSession s(p);
  TBendulak w(s);
  StartupFacts f;
  f.currentFolder = data;
  w.FormCreate(f);
  w.show();
  test::ExpectStudentLogin(p);
  w.action("Login1")->trigger();
  const std::size_t asked = p.transcript().size();
  {
    QDialog modal(&w);
    modal.setModal(true);
    modal.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &modal);
    ASSERT_FALSE(p.modalShown());
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
  }
  EXPECT_EQ(p.transcript().size(), asked) << "nothing asked under the modal window";
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **");
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
}

// Empty picture names in the instructor's options mean no picture: the
// window starts and enters the exercise on a blank client area, silently.
TEST_F(MainFormTest, EmptyPictureNamesShowNoPictureAndNoMessage) {
  {
    OptsObj o(p);
    ASSERT_TRUE(o.Init(OptionsFileName, ProgramVersion));
    o.Settings.LogoBitmap.clear();
    o.Settings.ExerciseBitmap.clear();
    ASSERT_TRUE(o.WriteOptsFile(o.Settings.DataFolder));
  }
  BendulakSession s(p);
  TBendulak w(s);
  StartupFacts f;
  f.currentFolder = data;
  w.FormCreate(f);
  EXPECT_EQ(p.transcript().size(), 0u);
  EXPECT_TRUE(w.titlePicture().isNull());
  w.show();
  test::ExpectStudentLogin(p);
  w.action("Login1")->trigger();
  w.grab();  // the first paint in exercise mode
  QApplication::processEvents();  // a load error would be shown from the event loop
  EXPECT_TRUE(p.allAnswered());
  EXPECT_TRUE(w.titlePicture().isNull());
  EXPECT_FALSE(s.PictureLoaded);
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **");
  w.action("Exit1")->trigger();
}

TEST_F(MainFormTest, LoginFormStoresTheNames) {
  LoginRec rec;
  LoginToFill = &rec;
  LoginDlgModel m(p);
  m.FormCreate("4");
  TLoginDlg dlg(m);
  EXPECT_EQ(dlg.windowTitle(), "Student Accounting");
  EXPECT_EQ(dlg.LabTbl->text(), "4");
  dlg.layout()->activate();
  EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());  // not resizable
  dlg.Stud[0]->setText("Kim Westerhaven");
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  for (QPushButton* b : dlg.findChildren<QPushButton*>())
    if (b->text() == "&OK") b->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(rec.UserID, "KWesterh");
  EXPECT_EQ(rec.TableNumber, "4");
  Grab(dlg, "login.png");
}

}  // namespace
}  // namespace hv
