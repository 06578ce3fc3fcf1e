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

// A help file and its topic list in a fresh folder, and the help window
// that shows them.
struct HelpRig {
  HelpRig(const char* name, const std::string& helpText, const std::string& listText)
      : folder(test::FreshFolder(name)) {
    std::ofstream(folder / "T.HLP") << helpText;
    std::ofstream(folder / "L.LST") << listText;
    list = LoadHelpList(p, folder / "L.LST");
    ActiveHelpList = list.get();
    HelpFolder = folder;
    model.ProgramFolder = [f = folder] { return f; };
  }
  ~HelpRig() { ResetHelpGlobals(); }

  // The help and search globals start afresh before anything reads them.
  struct Fresh {
    Fresh() {
      ResetHelpGlobals();
      ResetSearchDialog();
    }
  } fresh;
  test::Scripted p;
  fs::path folder;
  std::unique_ptr<HelpList> list;
  Host host;
  HelpLstDlgModel topics{p};
  HelpWinModel model{p, host, topics};
  THelpWin win{model};
};

TEST(HelpForms, WindowAndTopicDialogShowTheirModels) {
  HelpRig rig("helpforms",
              "*Zoom*\nThe magnifier shows the measuring box enlarged beside the image.\n"
              "RELATED TOPICS\nBlink\n*Blink*\nBlinking shows two images of one field in turn, "
              "so that what moved stands out.\n",
              "\"Zoom\" \"T.HLP\"\n\"Tools\" \"begin\"\n\"Blink\" \"T.HLP\"\n");
  auto& [fresh, p, folder, list, host, topics, model, win] = rig;
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
  std::string text;
  for (const char* topic : {"Zoom", "Blink"}) {
    text += std::string("*") + topic + "*\n";
    for (int i = 0; i < 80; ++i)
      text += std::string(topic) + " line " + std::to_string(i) +
              ", long enough to be wider than the narrowest window.\n";
    text += std::string("RELATED TOPICS\n") + (topic[0] == 'Z' ? "Blink" : "Zoom") + "\n";
  }
  HelpRig rig("helpscroll", text, "\"Zoom\" \"T.HLP\"\n\"Blink\" \"T.HLP\"\n");
  auto& [fresh, p, folder, list, host, topics, model, win] = rig;
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
}

}  // namespace
}  // namespace hv
