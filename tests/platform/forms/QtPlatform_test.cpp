#include "platform/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <fstream>
#include <functional>

#include "platform/qt/WindowPlace.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

// The program asks its own overwrite question (after upper-casing the
// name), so the save dialog must not ask one of its own first.
TEST(QtPlatform, SaveDialogAsksNoOverwriteQuestionOfItsOwn) {
  fs::path folder = test::FreshFolder("save");
  fs::path existing = folder / "LIST.TXT";
  std::ofstream(existing) << "old";
  QtPlatform qp;
  bool dialogAsked = false;
  int ticks = 0;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* w = QApplication::activeModalWidget();
    if (++ticks > 250) {  // never hang the run: give up after 5 s
      if (auto* dlg = qobject_cast<QDialog*>(w)) dlg->reject();
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      dialogAsked = true;
      if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
    } else if (auto* d = qobject_cast<QFileDialog*>(w)) {
      // Typed into the name field, as a student would; tried again on the
      // next tick while the dialog is still reading its folder.
      if (auto* name = d->findChild<QLineEdit*>("fileNameEdit")) name->setText("LIST.TXT");
      QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    }
  });
  driver.start(20);
  FileChooser c;
  c.caption = "Save Report in Text File";
  c.folder = folder;
  c.filter = "Text Files (*.TXT) | *.TXT|All Files (*.*)|*.*";
  c.defaultExt = "TXT";
  std::optional<FileChoice> choice = qp.saveFile(c);
  EXPECT_FALSE(dialogAsked);
  ASSERT_TRUE(choice);
  ASSERT_EQ(choice->files.size(), 1u);
  EXPECT_EQ(choice->files[0], existing);
}

// Several files picked in any order come back last listed first, so the
// multiple load (which takes them from the end) gives image 1 the first
// file the student sees.
TEST(QtPlatform, SeveralChosenFilesComeBackLastListedFirst) {
  fs::path folder = test::FreshFolder("multi");
  for (const char* n : {"FIELD1.FIT", "field2.fit", "FIELD3.FIT", "FIELD4.FIT"})
    std::ofstream(folder / n) << "x";
  EXPECT_EQ(
      LastListedFirst({"/i/FIELD3.FIT", "/i/field1.fit", "/i/FIELD4.FIT", "/i/FIELD2.FIT"}),
      (std::vector<fs::path>{"/i/FIELD4.FIT", "/i/FIELD3.FIT", "/i/FIELD2.FIT", "/i/field1.fit"}));
  QtPlatform qp;
  int ticks = 0;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* w = QApplication::activeModalWidget();
    if (++ticks > 250) {  // never hang the run: give up after 5 s
      if (auto* dlg = qobject_cast<QDialog*>(w)) dlg->reject();
      return;
    }
    if (auto* d = qobject_cast<QFileDialog*>(w)) {
      if (auto* name = d->findChild<QLineEdit*>("fileNameEdit"))
        name->setText(R"("FIELD3.FIT" "FIELD4.FIT" "FIELD1.FIT" "field2.fit")");
      QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    }
  });
  driver.start(20);
  FileChooser c;
  c.caption = "Select (n <= 4) Image Files for Load";
  c.folder = folder;
  c.filter = "FITS Files (*.FIT)|*.FIT;*.fit|All Files (*.*)|*.*";
  c.multiple = true;
  std::optional<FileChoice> choice = qp.openFiles(c);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->files, (std::vector<fs::path>{folder / "FIELD4.FIT", folder / "FIELD3.FIT",
                                                  folder / "field2.fit", folder / "FIELD1.FIT"}));
}

// A message asked from a stay-on-top window belongs to that window, so it
// shows above it and not behind it with the main window.
TEST(QtPlatform, MessageBoxBelongsToTheActiveWindow) {
  QWidget main;
  QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
  QtPlatform qp;
  qp.setParentWindow(&main);
  main.show();
  onTop.show();
  onTop.activateWindow();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &onTop);
  QWidget* owner = nullptr;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    owner = box->parentWidget();
    box->done(QMessageBox::Ok);
  });
  MessageRequest r;
  r.caption = "String Not Found";
  r.text = "\"x\" Not Found.";
  qp.message(r);
  EXPECT_EQ(owner, &onTop);
}

// A caption longer than the message shows whole in the title bar.
TEST(QtPlatform, MessageBoxIsWideEnoughForItsCaption) {
  QtPlatform qp;
  struct Case {
    const char* name;
    const char* caption;
    const char* text;
  } cases[] = {
      {"long caption, short text", "Cannot Access Online Catalog!", "Server is not responding!"},
      {"short caption", "Confirm", "Write Current Site Data to File?"},
  };
  for (const Case& c : cases) {
    int width = 0, needed = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      width = box->width();
      needed = TitleFitWidth(box->windowTitle());
      box->done(QMessageBox::Ok);
    });
    MessageRequest r;
    r.caption = c.caption;
    r.text = c.text;
    qp.message(r);
    EXPECT_GE(width, needed) << c.name;
  }
}

// A form shown while a stay-on-top window is visible stays on top too, so
// that window cannot hide it; without one it keeps its ordinary place.
TEST(QtPlatform, FormOverAStayOnTopWindowStaysOnTop) {
  struct Probe : DialogModel {
    std::string_view dialogName() const override { return "OnTopProbe"; }
  };
  // The dialog opens a window of its own (as the site and camera dialogs
  // open their pick lists), which must not fall behind the dialog.
  bool onTop = false, listOnTop = false;
  auto stays = [](QWidget& w) {
    return w.windowHandle() && (w.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  };
  QtPlatform::registerForm("OnTopProbe", [&](DialogModel&, QWidget* parent) {
    QDialog d(parent);
    QWidget list(nullptr, Qt::Window);
    QTimer::singleShot(0, &d, [&] {
      onTop = stays(d);
      list.show();
      listOnTop = stays(list);
      d.accept();
    });
    d.exec();
    return ModalResult::OK;
  });
  QtPlatform qp;
  Probe probe;
  struct Case {
    const char* name;
    bool stayOnTopShown;
  } cases[] = {{"stay-on-top window shown", true}, {"none shown", false}};
  for (const Case& c : cases) {
    QWidget chart(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    if (c.stayOnTopShown) chart.show();
    onTop = listOnTop = !c.stayOnTopShown;
    qp.showDialog(probe);
    EXPECT_EQ(onTop, c.stayOnTopShown) << c.name;
    EXPECT_EQ(listOnTop, c.stayOnTopShown) << c.name;
  }
}

// A box or chooser asked from the main window while a stay-on-top window
// (the report list) shows must not open under it.
TEST(QtPlatform, ModalWindowsOpenAboveStayOnTopWindows) {
  QWidget main;
  QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
  QtPlatform qp;
  qp.setParentWindow(&main);
  onTop.show();
  main.show();
  main.activateWindow();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  struct Row {
    const char* name;
    std::function<void()> ask;
  };
  const fs::path folder = test::FreshFolder("ontop");
  FileChooser c;
  c.caption = "Save Report for Spreadsheet";
  c.folder = folder;
  c.filter = "Comma-Delimited Text (*.CSV)|*.CSV";
  MessageRequest m;
  m.caption = "Text File Written";
  m.text = "Report Text Written to X.TXT.";
  const Row rows[] = {{"save chooser", [&] { qp.saveFile(c); }},
                      {"open chooser", [&] { qp.openFiles(c); }},
                      {"message box", [&] { qp.message(m); }}};
  for (const Row& r : rows) {
    bool onTopToo = false, seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr) << r.name;
      seen = true;
      onTopToo = d->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      d->reject();
    });
    r.ask();
    EXPECT_TRUE(seen) << r.name;
    EXPECT_TRUE(onTopToo) << r.name;
  }
}

TEST(QtPlatform, FiltersBecomeQtNameFilters) {
  struct Row {
    const char* name;
    const char* windows;
    QStringList qt;
  };
  const Row rows[] = {
      {"blanks around the bar",
       "Text Files (*.TXT) | *.TXT|All Files (*.*)|*.*",
       {"Text Files (*.TXT)", "All Files (*)"}},
      {"several patterns", "FITS Files (*.FIT;*.FTS)|*.FIT;*.FTS", {"FITS Files (*.FIT *.FTS)"}},
      {"no pattern in the text", "Program Files|*.EXE", {"Program Files (*.EXE)"}},
  };
  for (const Row& r : rows) EXPECT_EQ(QtFilters(r.windows), r.qt) << r.name;
}

}  // namespace
}  // namespace hv
