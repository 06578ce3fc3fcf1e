#include "app/Help.h"
#include "app/Session.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/Format.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> Titles(const HelpList& l) {
  std::vector<std::string> out;
  for (const auto& e : l.Items) out.push_back(e.Title);
  return out;
}

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHelpGlobals();
    ResetSearchDialog();
    folder = test::FreshFolder("help");
  }
  void TearDown() override { ResetHelpGlobals(); }
  test::Scripted p;
  fs::path folder;
};

TEST_F(HelpTest, TopicListFileLayouts) {
  struct Row {
    const char* name;
    std::string file;
    std::vector<std::string> titles;
  };
  const std::string longTitle(70, 'T');
  const Row rows[] = {
      {"headings and separators",
       "\"Basics\" \"basics.hlp\"\r\n\"Tools\" \"begin\"\r\n\"Zoom\" \"zoom.hlp\"\r\n"
       "\"Tools\" \"end\"\r\n\"Reference\" \"ref.hlp\"\r\n",
       {"Basics", "", "-Tools-", "  Zoom", "", "Reference"}},
      {"apostrophes",
       "'Basics' 'basics.hlp'\n'Tools' 'BEGIN'\n'Zoom' 'zoom.hlp'\n'Tools' 'End'\n"
       "'Reference' 'ref.hlp'\n",
       {"Basics", "", "-Tools-", "  Zoom", "", "Reference"}},
      {"heading first, nested, no separator doubled at the end",
       "\"A\" \"begin\"\n\"B\" \"begin\"\n\"x\" \"x.hlp\"\n\"B\" \"end\"\n\"A\" \"end\"\n",
       {"-A-", "", "  -B-", "    x", ""}},
      {"long title cut to 65", "\"" + longTitle + "\" \"f.hlp\"\n", {std::string(65, 'T')}},
      {"81st character of a line ignored",
       "\"" + std::string(60, 'a') + "\"" + std::string(17, ' ') + "\"abcdef\"\n",
       {std::string(60, 'a')}},
      {"empty and blank lines add nothing", "\n\"A\" \"a.hlp\"\n   \n\r\n\"B\" \"b.hlp\"\n",
       {"A", "B"}},
      {"unmatched end keeps no indentation", "\"X\" \"end\"\n\"A\" \"a.hlp\"\n", {"A"}},
      {"no line end at the end", "\"A\" \"a.hlp\"", {"A"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Write(folder / "L.LST", r.file);
    auto list = LoadHelpList(p, folder / "L.LST");
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->Loaded);
    EXPECT_EQ(Titles(*list), r.titles);
  }
}

TEST_F(HelpTest, BadLinesGiveEntriesWithoutCrashAndNoFileNameIsKept) {
  // A missing closing quote runs to the end; a missing second field leaves
  // the file name empty; unquoted text takes its first letter as the quote.
  Write(folder / "L.LST", "\"Open title\n\"Only\"\nPlain words here\n\"A\" \"a.hlp\"\n");
  auto list = LoadHelpList(p, folder / "L.LST");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->Items.size(), 4u);
  EXPECT_EQ(list->Items[0].Title, "Open title");
  EXPECT_EQ(list->Items[0].FileName, "");
  EXPECT_EQ(list->Items[1].Title, "Only");
  EXPECT_EQ(list->Items[2].Title, "lain words here");
  EXPECT_EQ(list->Items[3].FileName, "a.hlp");
  EXPECT_EQ(list->Entry(3)->Title, "A");
  EXPECT_EQ(list->CurIndexCopy, 3);
  EXPECT_EQ(list->Entry(4), nullptr);
}

TEST_F(HelpTest, MissingListFileShowsBothMessagesAndGivesNone) {
  p.expectMessage(ModalResult::OK, "Help File Error", "NONE.LST is Invalid.\r\nProgram will");
  p.expectMessage(ModalResult::OK, "File Error", "Cannot Access Help List.\r\nFile Name: ");
  EXPECT_FALSE(LoadHelpList(p, folder / "NONE.LST"));
  EXPECT_EQ(p.messages()[0].icon, MsgIcon::Information);
  EXPECT_EQ(p.messages()[1].icon, MsgIcon::Warning);
  EXPECT_NE(p.messages()[1].text.find(IOErrorText(2)), std::string::npos);
}

TEST_F(HelpTest, FindTopicIndexTrimsAndIgnoresCase) {
  Write(folder / "L.LST", "\"Tools\" \"begin\"\n\"Zoom\" \"z.hlp\"\n\"zoom\" \"z2.hlp\"\n");
  auto list = LoadHelpList(p, folder / "L.LST");
  EXPECT_EQ(FindTopicIndex(list.get(), "  ZOOM  ", 0, false), 1);
  EXPECT_EQ(FindTopicIndex(list.get(), "zoom", 2, false), 2);
  EXPECT_EQ(FindTopicIndex(list.get(), "Zoom", 2, true), -1);
  EXPECT_EQ(FindTopicIndex(list.get(), "   ", 0, false), -1);
  EXPECT_EQ(FindTopicIndex(list.get(), "-tools-", 0, false), 0);
  EXPECT_EQ(FindTopicIndex(nullptr, "zoom", 0, false), -1);
}

TEST_F(HelpTest, TopicDialogChoosesTopicsRefusesHeadingsAndSeparators) {
  Write(folder / "L.LST", "\"Basics\" \"b.hlp\"\n\"Tools\" \"begin\"\n\"Zoom\" \"z.hlp\"\n");
  auto list = LoadHelpList(p, folder / "L.LST");
  HelpLstDlgModel dlg(p);
  p.expectMessage(ModalResult::OK, "Error", "No Help List to Display!");
  dlg.FormActivate();
  EXPECT_TRUE(dlg.Lines.empty());

  ActiveHelpList = list.get();
  list->Selected = 3;
  GetSrchStrDlg.SearchText = "old";
  GetSrchStrDlg.CaseSensitive = true;
  dlg.FormActivate();
  EXPECT_EQ(dlg.Lines, (std::vector<std::string>{"Basics", "", "-Tools-", "  Zoom"}));
  EXPECT_EQ(dlg.Selected, 3);
  EXPECT_EQ(dlg.TopIndex, 3);
  EXPECT_EQ(GetSrchStrDlg.SearchText, "");
  EXPECT_FALSE(GetSrchStrDlg.CaseSensitive);
  EXPECT_EQ(dlg.Size.clientWidth, 230);
  EXPECT_EQ(dlg.Size.clientHeight, 85);  // (4 + 1.3) x 16 = 84.8

  dlg.Selected = 1;
  EXPECT_EQ(dlg.Read1Click(), ModalResult::None);
  ASSERT_FALSE(p.beeps().empty());
  EXPECT_EQ(p.beeps().back(), Sound::Exclamation);
  dlg.Selected = 2;
  p.expectMessage(ModalResult::OK, "Topic Heading", "Select a Topic Under \"-Tools-\"");
  EXPECT_EQ(dlg.Read1Click(), ModalResult::None);
  dlg.Selected = 0;
  EXPECT_EQ(dlg.Read1Click(), ModalResult::OK);
  EXPECT_EQ(list->Selected, 0);

  // Find Topic: from the top, then from the selection on.
  auto answer = [](std::string text, bool fromTop) {
    return [text, fromTop](DialogModel& m) {
      auto& d = static_cast<SearchStrModel&>(m);
      EXPECT_EQ(d.Caption, "Find Help Topic");
      d.EditText = text;
      return fromTop ? d.SrchTopBtnClick() : d.SrchNextBtnClick();
    };
  };
  p.expectDialog("TGetSrchStrDlg", answer("zoom", true));
  dlg.Search1Click();
  EXPECT_EQ(dlg.Selected, 3);
  p.expectDialog("TGetSrchStrDlg", answer("zoom", false));
  p.expectMessage(ModalResult::OK, "String Not Found", "\"zoom\" Not Found.");
  dlg.Search1Click();
  EXPECT_EQ(dlg.Selected, 3);

  dlg.Selected = 2;
  EXPECT_EQ(dlg.Close1Click(), ModalResult::Cancel);
  EXPECT_EQ(list->Selected, 2);
}

// The list window's host for the print header.
class Host : public ListHost {
 public:
  fs::path ReportFolder() const override { return {}; }
  PrintHeader ListPrintHeader() const override { return head; }
  bool EditReportHeader(HeaderRecord) override { return false; }
  PrintHeader head;
};

class HelpWinTest : public HelpTest {
 protected:
  void SetUp() override {
    HelpTest::SetUp();
    Write(folder / "TOPICS.HLP",
          "*Zoom*\r\nZoom in on a star.\r\nThe sky\r\nbackground is dark.\r\n"
          "RELATED TOPICS\r\n   Blink\r\n*Blink*\r\nBlinking shows what moved between the two "
          "images of one field.\r\n\r\nRelated topics\r\nGrid\r\n*Grid*\r\nThe grid of the "
          "images; see the Zoom topic.\r\nZoom\r\n");
    Write(folder / "LIST.LST",
          "\"Zoom\" \"topics.hlp\"\n\"Blink\" \"TOPICS.HLP\"\n\"Grid\" \"TOPICS.HLP\"\n");
    list = LoadHelpList(p, folder / "LIST.LST");
    ActiveHelpList = list.get();
    HelpFolder = folder;
    win.ProgramFolder = [this] { return folder; };
    win.FormCreate(96);
  }
  void ShowTopic(int index) {
    HelpTopicToShow = list->Items[static_cast<std::size_t>(index)];
    win.Show();
  }
  std::vector<std::string> HistoryTitles() const {
    std::vector<std::string> out;
    for (const auto& e : win.History) out.push_back(e.Title);
    return out;
  }
  void DoubleClick(const std::string& lineText) {
    auto it = std::find(win.Lines.begin(), win.Lines.end(), lineText);
    ASSERT_NE(it, win.Lines.end()) << lineText;
    win.Selected = static_cast<int>(it - win.Lines.begin());
    win.ListBox1DblClick();
  }

  std::unique_ptr<HelpList> list;
  Host host;
  HelpLstDlgModel dlg{p};
  HelpWinModel win{p, host, dlg};
};

TEST_F(HelpWinTest, ShowsTheLinesBetweenTwoHeadersFramedAndSized) {
  EXPECT_EQ(win.ClientWidth, 480);
  ShowTopic(0);
  EXPECT_EQ(win.Caption, "Help - Zoom");
  EXPECT_EQ(win.Lines, (std::vector<std::string>{" ", "  Zoom in on a star.  ", "  The sky  ",
                                                 "  background is dark.  ",
                                                 "  RELATED TOPICS  ", "     Blink  ", " "}));
  EXPECT_EQ(win.RelatedIndex, 4);
  EXPECT_EQ(win.ClientWidth, 10 * 23 + 20);
  EXPECT_EQ(win.ClientHeight, 133);  // (7 + 1.3) x 16 = 132.8
  EXPECT_TRUE(win.TopicsEnabled);
  EXPECT_TRUE(win.Visible);
  EXPECT_FALSE(win.BackEnabled);
}

TEST_F(HelpWinTest, WholeFileTopicAndWrappedLongLines) {
  const std::string longLine =
      "This line of one hundred characters is wrapped at seventy-two so that no line runs off "
      "the window!!";
  ASSERT_EQ(longLine.size(), 99u);
  Write(folder / "ONE.HLP", "Plain help\n" + longLine + "x\n*end*\nnot shown\n");
  HelpTopicToShow = HelpTopicRec{"  Anything", "one.hlp"};
  win.Show();
  EXPECT_EQ(win.Caption, "Help - Anything");
  ASSERT_GE(win.Lines.size(), 5u);
  EXPECT_EQ(win.Lines[1], "  Plain help  ");
  for (std::size_t i = 2; i + 1 < win.Lines.size(); ++i)
    EXPECT_LE(win.Lines[i].size(), 72u + 4) << win.Lines[i];
  EXPECT_EQ(win.Lines.back(), " ");
  EXPECT_EQ(std::count(win.Lines.begin(), win.Lines.end(), "  not shown  "), 0);
}

TEST_F(HelpWinTest, ProblemsOfTheTopicGiveTheirMessages) {
  p.expectMessage(ModalResult::OK, "Error", "THelpWin Parameters Not Set!");
  win.Show();
  EXPECT_FALSE(win.FileOpen);

  p.expectMessage(ModalResult::OK, "Help Not Available", "Cannot Access Help File ");
  HelpTopicToShow = HelpTopicRec{"Gone", "GONE.HLP"};
  win.Show();
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Warning);

  p.expectMessage(ModalResult::OK, "Topic Not Found",
                  "Help Topic: Nothing\r\n\r\nHelp on this topic is not available at this time.");
  HelpTopicToShow = HelpTopicRec{"Nothing", "TOPICS.HLP"};
  win.Show();

  const int width = win.ClientWidth;
  Write(folder / "SHORT.HLP", "tiny\n");
  p.expectMessage(ModalResult::OK, "No Text for Topic", "Help Topic: Short");
  HelpTopicToShow = HelpTopicRec{"Short", "SHORT.HLP"};
  win.Show();
  EXPECT_EQ(win.ClientWidth, width);
}

TEST_F(HelpWinTest, RelatedTopicsLinksAndHistoryWithBack) {
  ShowTopic(0);
  // Above RELATED TOPICS nothing is a link.
  DoubleClick("  Zoom in on a star.  ");
  EXPECT_EQ(win.Caption, "Help - Zoom");
  DoubleClick("  RELATED TOPICS  ");
  EXPECT_EQ(win.Caption, "Help - Zoom");
  DoubleClick("     Blink  ");
  EXPECT_EQ(win.Caption, "Help - Blink");
  EXPECT_EQ(list->Selected, 1);
  EXPECT_EQ(HistoryTitles(), (std::vector<std::string>{"Zoom", "Blink"}));
  EXPECT_TRUE(win.BackEnabled);
  // "Related topics" in any case starts the links.
  DoubleClick("  Grid  ");
  EXPECT_EQ(win.Caption, "Help - Grid");
  EXPECT_EQ(win.RelatedIndex, -1);
  EXPECT_EQ(HistoryTitles(), (std::vector<std::string>{"Zoom", "Blink", "Grid"}));

  // Without a RELATED TOPICS line every line is a link; a blank one opens nothing.
  DoubleClick(" ");
  EXPECT_EQ(win.Caption, "Help - Grid");
  DoubleClick("  The grid of the images; see the Zoom topic.  ");
  EXPECT_EQ(win.Caption, "Help - Grid");

  win.Back1Click();
  EXPECT_EQ(win.Caption, "Help - Blink");
  EXPECT_EQ(HistoryTitles(), (std::vector<std::string>{"Zoom", "Blink"}));
  EXPECT_TRUE(win.BackEnabled);
  win.Back1Click();
  EXPECT_EQ(win.Caption, "Help - Zoom");
  EXPECT_EQ(HistoryTitles(), std::vector<std::string>{"Zoom"});
  EXPECT_FALSE(win.BackEnabled);

  // Closing empties the history; the next topic starts a new one.
  win.Close1Click();
  EXPECT_FALSE(win.Visible);
  EXPECT_TRUE(win.History.empty());
  ShowTopic(2);
  EXPECT_EQ(HistoryTitles(), std::vector<std::string>{"Grid"});
}

TEST_F(HelpWinTest, BackReturnsToATopicFromOutsideTheList) {
  Write(folder / "VESKHELP.HLP",
        "Using help, with enough words to be wider than the least width.\nRELATED TOPICS\nZoom\n");
  HelpTopicToShow = HelpTopicRec{"On Help", "VESKHELP.HLP"};
  win.Show();
  DoubleClick("  Zoom  ");
  EXPECT_EQ(win.Caption, "Help - Zoom");
  win.Back1Click();
  EXPECT_EQ(win.Caption, "Help - On Help");
  EXPECT_EQ(HistoryTitles(), std::vector<std::string>{"On Help"});
}

TEST_F(HelpWinTest, TopicsCommandShowsTheChosenTopic) {
  ShowTopic(0);
  p.expectDialog("THelpLstDlg", [](DialogModel& m) {
    auto& d = static_cast<HelpLstDlgModel&>(m);
    d.FormActivate();
    d.Selected = 2;
    return d.Read1Click();
  });
  win.Topics1Click();
  EXPECT_EQ(win.Caption, "Help - Grid");
  EXPECT_EQ(HistoryTitles(), (std::vector<std::string>{"Zoom", "Grid"}));
}

TEST_F(HelpWinTest, SearchFindsAPhraseBrokenOverTwoLines) {
  ShowTopic(0);
  auto answer = [](std::string text, bool fromTop) {
    return [text, fromTop](DialogModel& m) {
      auto& d = static_cast<SearchStrModel&>(m);
      EXPECT_EQ(d.Caption, "Find Help Item");
      d.EditText = text;
      return fromTop ? d.SrchTopBtnClick() : d.SrchNextBtnClick();
    };
  };
  p.expectDialog("TGetSrchStrDlg", answer("Sky Back", true));
  win.Find1Click();
  EXPECT_EQ(win.Selected, 2);  // "The sky", the first of the two
  p.expectDialog("TGetSrchStrDlg", answer("ground", false));
  win.Find1Click();
  EXPECT_EQ(win.Selected, 3);  // the match starts in the next line
  p.expectDialog("TGetSrchStrDlg", answer("Comet", true));
  p.expectMessage(ModalResult::OK, "String Not Found", "\"Comet\" Not Found.");
  win.Find1Click();
  EXPECT_EQ(win.Selected, 3);
  p.expectDialog("TGetSrchStrDlg", [](DialogModel& m) {
    return static_cast<SearchStrModel&>(m).SrchCancelBtnClick();
  });
  win.Find1Click();
  EXPECT_EQ(win.Selected, 3);
}

TEST_F(HelpWinTest, PrintLayout) {
  host.head.names[0] = "Ann Lee";
  host.head.names[2] = "Bo Chen";
  host.head.tableNumber = "";
  p.clock = ClockReading{2026, 3, 7, 9, 5, 3, 0, 0};
  ShowTopic(0);
  win.Print1Click();
  EXPECT_EQ(p.printedTitle, "VESK Halvardin Exercise - Ann Lee");
  EXPECT_EQ(p.busyDepth, 0);
  EXPECT_TRUE(win.Enabled);
  ASSERT_EQ(p.printedPages.size(), 1u);
  const std::vector<std::string> want = {
      "text 0 0 2026/03/07 09:05:03     Laboratory Table Number (Not Recorded)",
      "text 0 40 Ann Lee",
      "text 0 60 Bo Chen",
      "text 50 100 VESK Halvardin Exercise - Ann Lee",
      "text 50 140 Help - Zoom",
      "text 50 180  ",
      "text 50 200   Zoom in on a star.  ",
      "text 50 220   The sky  ",
      "text 50 240   background is dark.  ",
      "text 50 260   RELATED TOPICS  ",
      "text 50 280      Blink  ",
      "text 50 300  ",
  };
  EXPECT_EQ(p.printedPages[0].ops, want);

  // Cancelled print dialog: nothing printed.
  p.printedPages.clear();
  p.printerAvailable = false;
  win.Print1Click();
  EXPECT_TRUE(p.printedPages.empty());
}

TEST_F(HelpWinTest, ALongTopicPrintsOnFurtherPages) {
  std::string text = "*Long*\n";
  for (int i = 0; i < 200; ++i) text += "Line " + std::to_string(i) + " of a long help topic\n";
  Write(folder / "LONG.HLP", text);
  HelpTopicToShow = HelpTopicRec{"Long", "LONG.HLP"};
  win.Show();
  win.Print1Click();
  ASSERT_EQ(p.printedPages.size(), 2u);
  std::size_t printed = 0;
  for (const auto& page : p.printedPages)
    for (const auto& op : page.ops) {
      // Every line lies on its page.
      int y = std::stoi(op.substr(op.find(' ', 5) + 1));
      EXPECT_LE(y + 20, 3300) << op;
      ++printed;
    }
  EXPECT_EQ(printed, 4 + win.Lines.size());
}

TEST_F(HelpTest, ReminderAtExit) {
  Write(folder / "R.AST", "Before you leave:\r\n  save the report.\r\n");
  p.expectMessage(ModalResult::OK, "** Exercise Finished? **");
  EXPECT_EQ(ShowReminder(p, folder / "R.AST", "** Exercise Finished? **"), 1);
  const MessageRequest& m = p.messages().back();
  EXPECT_EQ(m.text,
            "Before you leave:\r\n  save the report.\r\n\r\n"
            "Select \"OK\" to Quit Exercise, \"Cancel\" to Continue.");
  EXPECT_EQ(m.icon, MsgIcon::Error);
  EXPECT_EQ(m.sound, Sound::Hand);
  EXPECT_EQ(m.buttons, Buttons::OKCancel);

  p.expectMessage(ModalResult::Cancel);
  EXPECT_EQ(ShowReminder(p, folder / "R.AST", "c"), 2);

  // 1100 characters: the first 1023 and no prompt; lines beyond 255 are cut.
  std::string big;
  for (int i = 0; i < 11; ++i) big += std::string(98, static_cast<char>('a' + i)) + "\r\n";
  Write(folder / "BIG.AST", big + std::string(300, 'z') + "\n");
  p.expectMessage(ModalResult::OK);
  ShowReminder(p, folder / "BIG.AST", "c");
  EXPECT_EQ(p.messages().back().text, big.substr(0, 1023));
  Write(folder / "LONGLINE.AST", std::string(300, 'z') + "\n");
  p.expectMessage(ModalResult::OK);
  ShowReminder(p, folder / "LONGLINE.AST", "c");
  EXPECT_EQ(p.messages().back().text.substr(0, 257), std::string(255, 'z') + "\r\n");

  p.expectMessage(ModalResult::OK, "File Error!", "Cannot Access Reminder File!\r\nFile Name: ");
  EXPECT_EQ(ShowReminder(p, folder / "NONE.AST", "c"), 3);
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);
}

TEST_F(HelpTest, MainWindowHelpCommandsWithTheShippedFiles) {
  const fs::path shipped = fs::path(HV_SOURCE_DIR) / "app" / "shipped" / "";
  BendulakSession s(p);
  s.Settings.ProgramFolder = shipped;
  s.Settings.GeneralHelpFile = "VESKHELP.HLP";
  s.Settings.HelpListFile = "ASTRMHLP.LST";
  s.SetHelpItems();
  ASSERT_TRUE(s.HelpTopics);
  EXPECT_EQ(ActiveHelpList, s.HelpTopics.get());
  EXPECT_TRUE(s.Menu.Usable("OnHelp1"));
  EXPECT_TRUE(s.Menu.Usable("Topics1"));
  EXPECT_FALSE(s.Menu.Usable("User1"));

  s.OnHelp1Click();
  EXPECT_EQ(s.HelpWin.Caption, "Help - On Help");
  EXPECT_GT(s.HelpWin.Lines.size(), 10u);
  EXPECT_EQ(s.HelpWin.Lines[1], "  USING HELP  ");

  // Every topic of the shipped list has its text.
  for (int i = 0; i < static_cast<int>(s.HelpTopics->Items.size()); ++i) {
    const HelpTopicRec e = s.HelpTopics->Items[static_cast<std::size_t>(i)];
    if (e.Title.empty() || e.FileName == "begin") continue;
    SCOPED_TRACE(e.Title);
    p.expectDialog("THelpLstDlg", [i](DialogModel& m) {
      auto& d = static_cast<HelpLstDlgModel&>(m);
      d.FormActivate();
      d.Selected = i;
      return d.Read1Click();
    });
    s.Topics1Click();
    EXPECT_EQ(s.HelpWin.Caption, "Help - " + e.Title.substr(e.Title.find_first_not_of(' ')));
    EXPECT_GT(s.HelpWin.Lines.size(), 3u);
  }
  EXPECT_EQ(s.HelpWin.History.size(), 9u);  // On Help and the eight topics

  // A new list replaces the old one and the help window follows it.
  s.Settings.HelpListFile = "NONE.LST";
  p.expectMessage(ModalResult::OK, "Help File Error");
  p.expectMessage(ModalResult::OK, "File Error");
  s.SetHelpItems();
  EXPECT_FALSE(s.HelpTopics);
  EXPECT_EQ(ActiveHelpList, nullptr);
}

}  // namespace
}  // namespace hv
