#include "app/forms/HelpForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <cstdlib>
#include <fstream>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class Host : public ListHost {
 public:
  fs::path ReportFolder() const override { return {}; }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
};

TEST(HelpForms, WindowAndTopicDialogShowTheirModels) {
  ResetHelpGlobals();
  ResetSearchDialog();
  test::Scripted p;
  fs::path folder = test::FreshFolder("helpforms");
  std::ofstream(folder / "T.HLP")
      << "*Zoom*\nThe magnifier shows the measuring box enlarged beside the image.\n"
         "RELATED TOPICS\nBlink\n*Blink*\nBlinking shows two images of one field in turn, "
         "so that what moved stands out.\n";
  std::ofstream(folder / "L.LST")
      << "\"Zoom\" \"T.HLP\"\n\"Tools\" \"begin\"\n\"Blink\" \"T.HLP\"\n";
  auto list = LoadHelpList(p, folder / "L.LST");
  ActiveHelpList = list.get();
  HelpFolder = folder;

  Host host;
  HelpLstDlgModel topics(p);
  HelpWinModel model(p, host, topics);
  model.ProgramFolder = [folder] { return folder; };
  THelpWin win(model);
  EXPECT_TRUE(win.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(win.Back1->isEnabled());

  HelpTopicToShow = list->Items[0];
  model.Show();
  EXPECT_TRUE(win.isVisible());
  EXPECT_EQ(win.windowTitle(), "Help - Zoom");
  ASSERT_EQ(win.ListBox1->count(), 5);
  EXPECT_EQ(win.ListBox1->item(1)->text().toStdString(),
            "  The magnifier shows the measuring box enlarged beside the image.  ");
  EXPECT_TRUE(win.ShowHelpTopics1->isEnabled());
  // The window fits its widest line.
  EXPECT_GE(win.ListBox1->viewport()->width(),
            win.ListBox1->fontMetrics().horizontalAdvance(win.ListBox1->item(1)->text()));

  // A double-click on the link opens the topic; Back returns.
  win.ListBox1->setCurrentRow(3);
  emit win.ListBox1->itemActivated(win.ListBox1->item(3));
  EXPECT_EQ(win.windowTitle(), "Help - Blink");
  EXPECT_TRUE(win.Back1->isEnabled());
  if (const char* out = std::getenv("HV_GRAB")) win.grab().save(QString(out) + "/helpwin.png");
  win.Back1->trigger();
  EXPECT_EQ(win.windowTitle(), "Help - Zoom");
  EXPECT_FALSE(win.Back1->isEnabled());

  win.CloseTopicWindow1->trigger();
  EXPECT_FALSE(win.isVisible());
  EXPECT_TRUE(model.History.empty());

  THelpLstDlg dlg(topics);
  dlg.FormActivate();
  EXPECT_EQ(dlg.windowTitle(), "Select Help Topic");
  ASSERT_EQ(dlg.HlpLstBox->count(), 4);
  EXPECT_EQ(dlg.HlpLstBox->item(2)->text().toStdString(), "-Tools-");
  // The last topic shown through the list (Back to Zoom) is selected.
  EXPECT_EQ(dlg.HlpLstBox->currentRow(), 0);
  ResetHelpGlobals();
}

// A new topic is read from its first line, whatever the old one was
// scrolled to.
TEST(HelpForms, ANewTopicOpensAtItsFirstLine) {
  ResetHelpGlobals();
  ResetSearchDialog();
  test::Scripted p;
  fs::path folder = test::FreshFolder("helpscroll");
  {
    std::ofstream f(folder / "T.HLP");
    for (const char* topic : {"Zoom", "Blink"}) {
      f << "*" << topic << "*\n";
      for (int i = 0; i < 80; ++i)
        f << topic << " line " << i << ", long enough to be wider than the narrowest window.\n";
      f << "RELATED TOPICS\n" << (topic[0] == 'Z' ? "Blink" : "Zoom") << "\n";
    }
  }
  std::ofstream(folder / "L.LST") << "\"Zoom\" \"T.HLP\"\n\"Blink\" \"T.HLP\"\n";
  auto list = LoadHelpList(p, folder / "L.LST");
  ActiveHelpList = list.get();
  HelpFolder = folder;
  Host host;
  HelpLstDlgModel topics(p);
  HelpWinModel model(p, host, topics);
  model.ProgramFolder = [folder] { return folder; };
  THelpWin win(model);
  auto settle = [] {
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
  };
  HelpTopicToShow = list->Items[0];
  model.Show();
  settle();
  QScrollBar* bar = win.ListBox1->verticalScrollBar();
  for (const char* next : {"Help - Blink", "Help - Zoom"}) {
    SCOPED_TRACE(next);
    win.ListBox1->scrollToBottom();
    settle();
    ASSERT_GT(bar->value(), 0);
    // The link at the bottom, double-clicked.
    int link = win.ListBox1->count() - 1;
    while (link > 0 && win.ListBox1->item(link)->text().trimmed() != QString(next).mid(7)) --link;
    win.ListBox1->setCurrentRow(link);
    emit win.ListBox1->itemActivated(win.ListBox1->item(link));
    settle();
    ASSERT_EQ(win.windowTitle().toStdString(), next);
    EXPECT_EQ(bar->value(), 0);
  }
  win.CloseTopicWindow1->trigger();
  ResetHelpGlobals();
}

}  // namespace
}  // namespace hv
