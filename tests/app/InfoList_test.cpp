#include "app/InfoList.h"

#include <gtest/gtest.h>

#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class Host : public ListHost {
 public:
  fs::path folder;
  PrintHeader header;
  int headerEdits = 0;
  fs::path ReportFolder() const override { return folder; }
  PrintHeader ListPrintHeader() const override { return header; }
  bool EditReportHeader(HeaderRecord) override {
    ++headerEdits;
    return true;
  }
};

// Answers the search dialog as a student would: the text typed, the box,
// then one of the three buttons.
ScriptedPlatform::DialogAnswer Type(std::string text, bool caseBox, int button) {
  return [=](DialogModel& m) {
    auto& d = static_cast<SearchStrModel&>(m);
    d.FormActivate();
    d.EditText = text;
    d.CaseCheck = caseBox;
    return button == 0   ? d.SrchTopBtnClick()
           : button == 1 ? d.SrchNextBtnClick()
                         : d.SrchCancelBtnClick();
  };
}

class InfoListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSearchDialog();
    host.folder = test::FreshFolder("reports");
  }
  test::Scripted p;
  Host host;
};

TEST_F(InfoListTest, SizesToItsLines) {
  auto w = [](const std::string& s) { return 8 * static_cast<int>(s.size()); };
  auto h = [](const std::string&) { return 21; };
  struct Row {
    const char* name;
    std::size_t lines, chars;
    int width, height;
  } rows[] = {
      {"three of fifty", 3, 50, 430, 90},   // round(4.3 * 21)
      {"thirty scroll", 30, 10, 230, 468},  // round(22.3 * 21)
      {"narrow gets 230", 2, 5, 230, 69},   // round(3.3 * 21)
      {"empty list", 0, 0, 230, 6},         // no lines: h is its minimum 5, round(6.5)
      {"wide clamps", 1, 200, 1014, 48},    // screen 1024 - 10
  };
  for (const Row& r : rows) {
    std::vector<std::string> lines(r.lines, std::string(r.chars, 'x'));
    ListSize s = SizeForLines(lines, w, h, 1024);
    EXPECT_EQ(s.clientWidth, r.width) << r.name;
    EXPECT_EQ(s.clientHeight, r.height) << r.name;
  }
}

TEST_F(InfoListTest, SearchFindsPhrasesAcrossLinesAndWholeLines) {
  std::vector<std::string> lines = {"alpha",
                                    "  beta gamma",
                                    "delta",
                                    "epsilon",
                                    "   the sky",
                                    "background level",
                                    std::string(120, '-') + "needle"};
  struct Row {
    const char* name;
    int start;
    const char* pattern;
    int want;
  } rows[] = {
      {"phrase broken over lines 4 and 5", 0, "sky background", 4},
      {"pattern starting in the next line", 0, "background", 5},
      {"joining blank belongs to the next line", 0, " background", 5},
      {"leading blanks are dropped", 0, "beta", 1},
      {"beyond 80 characters", 0, "needle", 6},
      {"from the cursor skips earlier lines", 2, "beta", -1},
      {"start on the last line examines it alone", 6, "needle", 6},
      {"start beyond the end", 7, "alpha", -1},
  };
  for (const Row& r : rows)
    EXPECT_EQ(FindInLines(lines, r.start, r.pattern, true), r.want) << r.name;
}

TEST_F(InfoListTest, SearchCommandSelectsAndReportsMisses) {
  InfoListModel m(p, host);
  m.SetLines({"First Line", "second line", "THIRD"});
  p.expectDialog("TGetSrchStrDlg", Type("THIRD", false, 0));
  m.Search1Click();
  EXPECT_EQ(m.Selected, 2);
  // Case-independent: the stored text is lower-cased, and the next showing
  // of the dialog starts from it.
  EXPECT_EQ(GetSrchStrDlg.SearchText, "third");
  EXPECT_EQ(GetSrchStrDlg.Caption, "Find Text String");

  p.expectDialog("TGetSrchStrDlg", [](DialogModel& d) {
    auto& s = static_cast<SearchStrModel&>(d);
    s.FormActivate();
    EXPECT_EQ(s.EditText, "third");
    return s.SrchNextBtnClick();
  });
  p.expectMessage(ModalResult::OK, "String Not Found", "\"third\" Not Found.");
  m.Search1Click();
  EXPECT_EQ(m.Selected, 2);  // unchanged

  p.expectDialog("TGetSrchStrDlg", Type("line", true, 0));
  m.Search1Click();
  EXPECT_EQ(m.Selected, 1);  // "Line" in line 0 does not match in case

  p.expectDialog("TGetSrchStrDlg", Type("", false, 0));  // empty text cancels
  m.Search1Click();
  EXPECT_EQ(GetSrchStrDlg.SearchMode, 2);
  p.expectDialog("TGetSrchStrDlg", Type("first", false, 2));
  m.Search1Click();
  EXPECT_EQ(m.Selected, 1);

  m.FormActivate();  // activation forgets the search
  EXPECT_EQ(GetSrchStrDlg.SearchText, "");
  EXPECT_FALSE(GetSrchStrDlg.CaseSensitive);
}

TEST_F(InfoListTest, SaveWritesCrLfAndMarksSavedOnly) {
  InfoListModel m(p, host);
  m.SetLines({"one", "two", ""});
  m.SavedFileName = "img1.sln";
  m.SaveFilterIndex = 4;
  fs::path mixed = host.folder / "Mixed Case";
  fs::create_directories(mixed);
  p.expectSave(FileChoice{{mixed / "img1.sln"}, 4});
  p.expectMessage(ModalResult::OK, "Text File Written", "Report Text Written to IMG1.SLN.");
  m.SaveasText1Click();
  ASSERT_EQ(p.choosers().size(), 1u);
  EXPECT_EQ(p.choosers()[0].folder, host.folder);
  EXPECT_EQ(p.choosers()[0].fileName, "img1.sln");
  EXPECT_EQ(p.choosers()[0].filterIndex, 4);
  EXPECT_EQ(p.choosers()[0].caption, "Save Report in Text File");
  auto bytes = ReadWholeFile(mixed / "IMG1.SLN");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "one\r\ntwo\r\n\r\n");
  EXPECT_TRUE(m.Saved);
  EXPECT_FALSE(m.Printed);  // a save is not a print
  EXPECT_EQ(m.SavedFileName, "IMG1.SLN");
  EXPECT_EQ(m.SavedFolder, mixed);  // the folder as chosen

  // Again: the overwrite question; No asks for a name again; a cancel
  // leaves both marks alone.
  m.Printed = true;
  p.expectSave(FileChoice{{mixed / "IMG1.SLN"}, 4});
  p.expectMessage(ModalResult::No, "Replace Existing File?",
                  "IMG1.SLN Already Exists!\r\n\r\nDo You Want to Overwrite It?");
  p.expectSave(std::nullopt);
  m.SaveasText1Click();
  EXPECT_EQ(p.choosers().back().folder, mixed);
  EXPECT_TRUE(m.Printed);
  EXPECT_TRUE(m.Saved);
}

TEST_F(InfoListTest, EmptyListSavesAnEmptyFile) {
  InfoListModel m(p, host);
  p.expectSave(FileChoice{{host.folder / "x.txt"}, 1});
  p.expectMessage(ModalResult::OK, "Text File Written");
  m.SaveasText1Click();
  EXPECT_TRUE(ReadWholeFile(host.folder / "X.TXT").empty());
}

TEST_F(InfoListTest, UnwritableSaveRaises) {
  InfoListModel m(p, host);
  m.SetLines({"a"});
  p.expectSave(FileChoice{{host.folder / "no such folder" / "a.txt"}, 1});
  EXPECT_THROW(m.SaveasText1Click(), FileError);
  EXPECT_FALSE(m.Saved);
}

TEST_F(InfoListTest, UndoIsOneLevelAndDiesWithARefill) {
  InfoListModel m(p, host);
  m.SetLines({"a", "b", "c"});
  // Two edits of line 1: the undo holds the line before the second.
  m.MutableLines()[1] = "b1";
  m.UndoText = "b1";
  m.MutableLines()[1] = "b2";
  m.UndoIndex = 1;
  m.EditKind = 0;
  m.UndoEnabled = true;
  m.UndoEditClick();
  EXPECT_EQ(m.Lines(), (std::vector<std::string>{"a", "b1", "c"}));
  EXPECT_FALSE(m.UndoEnabled);

  m.MutableLines().erase(m.MutableLines().begin() + 2);
  m.UndoText = "c";
  m.UndoIndex = 2;
  m.EditKind = 1;
  m.UndoEnabled = true;
  m.UndoEditClick();
  EXPECT_EQ(m.Lines(), (std::vector<std::string>{"a", "b1", "c"}));

  m.UndoIndex = 2;
  m.EditKind = 0;
  m.UndoEnabled = true;
  m.SetLines({"only"});
  EXPECT_FALSE(m.UndoEnabled);
  m.UndoEditClick();
  EXPECT_EQ(m.Lines(), (std::vector<std::string>{"only"}));
}

std::vector<std::string> Texts(const ScriptedPrintJob::Page& page) {
  std::vector<std::string> out;
  for (const auto& op : page.ops) out.push_back(op);
  return out;
}

TEST_F(InfoListTest, PrintOutsideAnExerciseShowsTheDefaultUser) {
  InfoListModel m(p, host);
  m.Caption = "Solution";
  m.SetLines({"l1", "l2"});
  host.header.defaultUserName = "Dr. Default";
  p.clock = {2026, 3, 7, 9, 5, 3, 0, 0};
  m.UndoEnabled = true;
  m.Print1Click();
  EXPECT_EQ(p.printedTitle, "VESK CCD Astrometry Module");
  ASSERT_EQ(p.printedPages.size(), 1u);
  EXPECT_EQ(Texts(p.printedPages[0]),
            (std::vector<std::string>{"text 0 0 2026/03/07 09:05:03", "text 0 40 Dr. Default",
                                      "text 50 80 Solution", "text 50 120 l1", "text 50 140 l2"}));
  EXPECT_TRUE(m.Printed);
  EXPECT_FALSE(m.Saved);
  EXPECT_FALSE(m.UndoEnabled);
  EXPECT_EQ(p.busyDepth, 0);
}

TEST_F(InfoListTest, PrintInAnExerciseShowsTableAndNamesAndBreaksPages) {
  InfoListModel m(p, host);
  m.Caption = "Header";
  host.header.exerciseSession = true;
  host.header.names[0] = "Ann B. Cole";
  host.header.names[2] = "Kim West";
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i) lines.push_back("line " + std::to_string(i));
  m.SetLines(lines);
  m.Print1Click();
  EXPECT_EQ(p.printedTitle, "VESK Halvardin Exercise - Ann B. Cole");
  ASSERT_GE(p.printedPages.size(), 2u);
  const auto& first = p.printedPages[0].ops;
  EXPECT_EQ(first[0], "text 0 0 2000/01/01 00:00:00     Laboratory Table Number (Not Recorded)");
  EXPECT_EQ(first[1], "text 0 40 Ann B. Cole");
  EXPECT_EQ(first[2], "text 0 60 Kim West");
  EXPECT_EQ(first[3], "text 50 100 Header");
  EXPECT_EQ(first[4], "text 50 140 line 0");
  // Page height 3300, line height 20: the last line on page 1 ends at 3300.
  EXPECT_EQ(first.back(), "text 50 3280 line 157");
  EXPECT_EQ(p.printedPages[1].ops.front(), "text 50 20 line 158");

  host.header.tableNumber = "7";
  m.Print1Click();
  EXPECT_EQ(p.printedPages[0].ops[0], "text 0 0 2000/01/01 00:00:00     Laboratory Table Number 7");
}

TEST_F(InfoListTest, CancelledPrintChangesNothing) {
  InfoListModel m(p, host);
  p.printerAvailable = false;
  m.Print1Click();
  EXPECT_FALSE(m.Printed);
}

TEST_F(InfoListTest, RecordActionsAndHeaderEdits) {
  InfoListModel m(p, host);
  EXPECT_EQ(m.SelectedRecord, -1);
  m.Selected = 3;
  m.DeleteSelectedRecord1Click();
  EXPECT_EQ(m.SelectedRecord, 3);
  EXPECT_EQ(m.EditKind, 1);
  m.AccessSelectedRecord1Click();
  EXPECT_EQ(m.EditKind, 0);
  m.UndoEnabled = true;
  m.SitePop1Click();
  EXPECT_EQ(host.headerEdits, 1);
  EXPECT_FALSE(m.UndoEnabled);
}

}  // namespace
}  // namespace hv
