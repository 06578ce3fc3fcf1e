#include "astrometry/AstromList.h"

#include <gtest/gtest.h>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class Host : public ReportHost {
 public:
  bool saved = true;
  bool noConfirm = false;
  bool chart = false;
  int chartsOpened = 0;
  std::vector<HeaderRecord> headerEdits;
  // What the header dialog's OK does; empty: the dialog is cancelled.
  std::function<void(HeaderRecord)> onHeaderOK;

  std::filesystem::path ReportFolder() const override { return std::filesystem::current_path(); }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord which) override {
    headerEdits.push_back(which);
    if (!onHeaderOK) return false;
    onHeaderOK(which);
    return true;
  }
  bool ReportSaved() const override { return saved; }
  void SetReportSaved(bool s) override { saved = s; }
  void EnableReportMenu() override {}
  void SetViewPrintSaveEnabled(bool) override {}
  void SpreadsheetWritten(const std::filesystem::path&) override {}
  bool NoConfirm() const override { return noConfirm; }
  bool FinderChartAvailable() const override { return chart; }
  void OpenFinderChart() override { ++chartsOpened; }
};

ObsParmsRec Parms(const char* name, double time) {
  ObsParmsRec p;
  p.ObjName = name;
  p.Number = "00433";
  p.Designation = "A898 PA";
  p.ObsTime = time;
  return p;
}

RefStarRec Target(long double ra) {
  RefStarRec t;
  t.Status = RefStatus::Target;
  t.RA = ra;
  t.Dec = -0.5L;
  return t;
}

class ReportWindow : public ::testing::Test {
 protected:
  ReportWindow() {
    p.clock.year = 2005;
    p.clock.month = 3;
    p.clock.day = 5;
    obs.Site.Code = "645";
    obs.Site.Telescope = "0.4-m reflector";
    obs.User.ContactName = "Ann Lee";
    obs.User.Observers = "Ann Lee";
    obs.User.Measurers = "Bo Chen";
    obs.AddObservation(Target(13.1L), Parms("first", 38416.10));
    obs.AddObservation(Target(13.2L), Parms("second", 38416.20));
    obs.AddObservation(Target(13.3L), Parms("third", 38416.30));
    host.saved = true;
  }

  std::vector<std::string> Names() {
    std::vector<std::string> n;
    for (const ObsRec& r : obs.Observations) n.push_back(r.Parms.ObjName);
    return n;
  }
  // Every measurement line shows its own observation in the view shown.
  void ExpectLinesMatchObservations() {
    const std::vector<std::string>& lines = w.Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(w.FirstDataLine + obs.Observations.Count()));
    std::size_t i = static_cast<std::size_t>(w.FirstDataLine);
    for (const ObsRec& r : obs.Observations)
      EXPECT_EQ(lines[i++], w.MPCHeader ? MPCLine(r, obs.Site) : ExerciseLine(r))
          << r.Parms.ObjName;
  }
  int LineStarting(const char* key) {
    for (std::size_t i = 0; i < w.Lines().size(); ++i)
      if (w.Lines()[i].rfind(key, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  void ExpectEditor(std::string wantLine, std::string typed) {
    p.expectDialog("TEdit80Dlg", [wantLine, typed](DialogModel& m) {
      auto& e = static_cast<Edit80DlgModel&>(m);
      EXPECT_EQ(e.Caption, "Edit Text Line");
      EXPECT_EQ(e.Edit1, wantLine);
      e.Edit1 = typed;
      return ModalResult::OK;
    });
  }

  test::Scripted p;
  Host host;
  AstromObsObj obs{p, host};
  AstromListModel& w = *obs.ListForm;
};

TEST_F(ReportWindow, CreatedEmptyAndActivationShowsItsMenus) {
  EXPECT_EQ(w.FirstDataLine, -1);
  EXPECT_TRUE(w.CSVFileName.empty());
  EXPECT_TRUE(w.EditMenuVisible) << "also when first shown from a modal dialog";
  w.EditMenuVisible = false;
  w.UndoEnabled = true;
  w.FormActivate();
  EXPECT_TRUE(w.EditMenuVisible);
  EXPECT_TRUE(w.ChartMenuVisible);
  EXPECT_FALSE(w.CommaDelimitVisible);
  EXPECT_FALSE(w.UndoEnabled);
  // No reference-field window: the chart stays disabled and does nothing.
  EXPECT_FALSE(w.ChartEnabled);
  w.Plot1Click();
  EXPECT_EQ(host.chartsOpened, 0);
  host.chart = true;
  w.FormActivate();
  EXPECT_TRUE(w.ChartEnabled);
  w.Plot1Click();
  EXPECT_EQ(host.chartsOpened, 1);
}

TEST_F(ReportWindow, EditLineTextAndUndo) {
  obs.ShowExerciseReport();
  const std::string before = w.Lines()[4];
  const ObsRec record = *obs.Observations.Item(1);
  w.Selected = 4;
  p.expectMessage(ModalResult::Yes, "Edit Formatted Text?",
                  "Are You Sure You Want to Edit a Formatted Data Item?");
  ExpectEditor(before, "second, typed over");
  w.EditSelectedText1Click();
  EXPECT_EQ(w.Lines()[4], "second, typed over");
  EXPECT_EQ(w.UndoText, before);
  EXPECT_EQ(w.UndoIndex, 4);
  EXPECT_EQ(w.SelectedRecord, 4);
  EXPECT_TRUE(w.UndoEnabled);
  EXPECT_FALSE(host.saved);
  EXPECT_EQ(w.Caption, "Astrometric Results (Modified)");
  EXPECT_EQ(*obs.Observations.Item(1), record) << "only the shown line changes";

  // A second edit marks the caption once; Undo gives back the line as it
  // was before that edit.
  host.noConfirm = true;
  ExpectEditor("second, typed over", std::string(90, 'x'));
  w.EditSelectedText1Click();
  EXPECT_EQ(w.Lines()[4], std::string(80, 'x')) << "the editor holds 80 characters";
  EXPECT_EQ(w.Caption, "Astrometric Results (Modified)");
  w.UndoEditClick();
  EXPECT_EQ(w.Lines()[4], "second, typed over");
  EXPECT_FALSE(w.UndoEnabled);

  // The next rebuild shows the record's own values again.
  obs.ShowExerciseReport();
  EXPECT_EQ(w.Lines()[4], before);
  EXPECT_EQ(w.Caption, "Astrometric Results");

  // Cancelling the editor changes nothing.
  w.Selected = 4;
  p.expectDialog("TEdit80Dlg", [](DialogModel&) { return ModalResult::Cancel; });
  w.EditSelectedText1Click();
  EXPECT_EQ(w.Lines()[4], before);
  EXPECT_FALSE(w.UndoEnabled);
}

TEST_F(ReportWindow, QuestionsAskedUnlessNoConfirm) {
  struct Case {
    const char* name;
    bool noConfirm;
    bool deleting;
    ModalResult answer;  // None: no question expected
    bool changed;
  };
  const Case cases[] = {
      {"edit, Yes", false, false, ModalResult::Yes, true},
      {"edit, No", false, false, ModalResult::No, false},
      {"edit, NoConfirm", true, false, ModalResult::None, true},
      {"delete, Yes", false, true, ModalResult::Yes, true},
      {"delete, No", false, true, ModalResult::No, false},
      {"delete, NoConfirm", true, true, ModalResult::None, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    obs.ShowExerciseReport();
    const std::vector<std::string> lines = w.Lines();
    host.noConfirm = c.noConfirm;
    host.saved = true;
    w.Selected = 3;
    if (c.answer != ModalResult::None) {
      if (c.deleting)
        p.expectMessage(c.answer, "Verify Deletion",
                        "Are You Sure You Want to Delete this Formatted Data Item?");
      else
        p.expectMessage(c.answer, "Edit Formatted Text?");
    }
    if (c.changed && !c.deleting) ExpectEditor(lines[3], "edited");
    if (c.deleting)
      w.DeleteSelectedItem1Click();
    else
      w.EditSelectedText1Click();
    EXPECT_EQ(w.Lines() != lines, c.changed);
    EXPECT_EQ(host.saved, !c.changed);
    EXPECT_EQ(w.UndoEnabled, c.changed);
    EXPECT_EQ(obs.Observations.Count(), c.changed && c.deleting ? 2 : 3);
    if (c.changed) {
      w.UndoEditClick();
      EXPECT_EQ(w.Lines(), lines);
    }
    EXPECT_EQ(obs.Observations.Count(), 3);
    p.verify();
  }
  for (const Sound s : p.beeps()) EXPECT_EQ(s, Sound::Question);
}

TEST_F(ReportWindow, RefusalsChangeNothing) {
  struct Case {
    const char* name;
    bool mpc;
    int selected;
    void (AstromListModel::*command)();
    const char* caption;
    const char* text;
  };
  const Case cases[] = {
      {"edit, none selected", false, -1, &AstromListModel::EditSelectedText1Click, "No Selection!",
       "Select Text Line for Edit!"},
      {"delete, none selected", false, -1, &AstromListModel::DeleteSelectedItem1Click,
       "No Selection!", "Select Item for Deletion!"},
      {"parameters, none selected", false, -1, &AstromListModel::EditObsParameters, "No Selection!",
       "Select Text Line for Edit!"},
      {"edit, table title", false, 1, &AstromListModel::EditSelectedText1Click,
       "Select a List Item!", "Cannot Edit Selected Header Text!  "},
      {"edit, MPC header", true, 0, &AstromListModel::EditSelectedText1Click, "Select a List Item!",
       "Cannot Edit Selected Header Text!  "},
      {"delete, table title", false, 2, &AstromListModel::DeleteSelectedItem1Click,
       "Select a List Item!", "Cannot Delete Selected Header Text!  "},
      {"parameters, MPC header", true, 1, &AstromListModel::EditObsParameters,
       "Select a List Item!", "Cannot Edit Selected Header Text!  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.mpc ? obs.ShowMPCReport() : obs.ShowExerciseReport();
    const std::vector<std::string> lines = w.Lines();
    const std::string caption = w.Caption;
    w.Selected = c.selected;
    w.UndoEnabled = true;
    w.EditKind = 1;
    p.expectMessage(ModalResult::OK, c.caption, c.text);
    (w.*c.command)();
    EXPECT_EQ(p.messages().back().text, c.text);
    EXPECT_EQ(p.messages().back().sound, Sound::Exclamation);
    EXPECT_EQ(w.Lines(), lines);
    EXPECT_EQ(w.Caption, caption);
    EXPECT_FALSE(w.UndoEnabled) << "every line command starts by disabling Undo";
    EXPECT_EQ(w.EditKind, 0);
    EXPECT_TRUE(host.saved);
    EXPECT_EQ(obs.Observations.Count(), 3);
    p.verify();
  }
}

TEST_F(ReportWindow, DeleteObservationAndUndoInTimeOrder) {
  host.noConfirm = true;
  obs.ShowExerciseReport();
  const std::vector<std::string> lines = w.Lines();
  w.Selected = 4;  // the second observation
  w.DeleteSelectedItem1Click();
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "third"}));
  EXPECT_EQ(w.EditKind, 1);
  EXPECT_EQ(w.SelectedRecord, 1);
  EXPECT_EQ(w.UndoObs.Parms.ObjName, "second");
  EXPECT_EQ(w.Caption, "Astrometric Results (Edited)");
  EXPECT_FALSE(host.saved);
  ExpectLinesMatchObservations();
  EXPECT_EQ(CSVText(obs.Observations).find("second"), std::string::npos);

  w.UndoEditClick();
  EXPECT_EQ(w.Lines(), lines);
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second", "third"}));
  ExpectLinesMatchObservations();
  EXPECT_EQ(w.Caption, "Astrometric Results (Edited)") << "the mark stays until a rebuild";

  // The first observation comes back first.
  w.Selected = 3;
  w.DeleteSelectedItem1Click();
  w.UndoEditClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second", "third"}));
  ExpectLinesMatchObservations();
}

TEST_F(ReportWindow, UndoOfDeletionAmongEqualTimesKeepsLinesAndObservationsTogether) {
  // A fourth observation taken at the same time as the second.
  obs.AddObservation(Target(13.25L), Parms("twin", 38416.20));
  host.noConfirm = true;
  obs.ShowExerciseReport();
  const std::vector<std::string> names = Names();
  const std::vector<std::string> lines = w.Lines();
  w.Selected = 4;
  w.DeleteSelectedItem1Click();
  w.UndoEditClick();
  EXPECT_EQ(Names(), names);
  EXPECT_EQ(w.Lines(), lines);
  ExpectLinesMatchObservations();
}

TEST_F(ReportWindow, MinorPlanetCenterHeaderLinesMayBeDeleted) {
  host.noConfirm = true;
  obs.ShowMPCReport();
  const std::vector<std::string> lines = w.Lines();
  const int first = w.FirstDataLine;
  const int tel = LineStarting("TEL");
  ASSERT_EQ(tel, 1);

  // Deleting TEL and undoing it at once puts it back in its place.
  w.Selected = tel;
  w.DeleteSelectedItem1Click();
  EXPECT_EQ(w.FirstDataLine, first - 1);
  EXPECT_EQ(w.EditKind, 0);
  EXPECT_EQ(obs.Observations.Count(), 3);
  ExpectLinesMatchObservations();
  w.UndoEditClick();
  EXPECT_EQ(w.Lines(), lines);
  EXPECT_EQ(w.FirstDataLine, first);
  ExpectLinesMatchObservations();

  // Deleting TEL, then the first observation's line, removes the first
  // observation.
  w.Selected = tel;
  w.DeleteSelectedItem1Click();
  w.Selected = w.FirstDataLine;
  w.DeleteSelectedItem1Click();
  EXPECT_EQ(Names(), (std::vector<std::string>{"second", "third"}));
  ExpectLinesMatchObservations();
  w.UndoEditClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second", "third"}));
  ExpectLinesMatchObservations();
}

TEST_F(ReportWindow, ParametersEditFromTheMinorPlanetCenterViewShowsTheTable) {
  obs.ShowMPCReport();
  const ObsRec before = *obs.Observations.Item(2);
  w.Selected = w.FirstDataLine + 2;  // the third observation
  p.expectDialog("TObsParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    EXPECT_EQ(d.CaptionText, "Edit Parameters");
    d.FormActivate();
    d.NameText = "renamed";
    d.TimeText = "23:00:00";  // later than it was; the list is not re-sorted
    return d.OKBtnClick();
  });
  w.FormDblClick();
  EXPECT_FALSE(w.MPCHeader);
  EXPECT_EQ(w.Caption, "Astrometric Results");
  EXPECT_EQ(w.FirstDataLine, 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second", "renamed"}));
  ExpectLinesMatchObservations();
  EXPECT_EQ(w.Selected, 5) << "the edited observation's line is selected again";
  EXPECT_FALSE(host.saved);
  EXPECT_TRUE(w.UndoEnabled);
  EXPECT_EQ(w.UndoIndex, 5);
  EXPECT_EQ(w.UndoText, ExerciseLine(before));

  // Undo gives back the earlier line and the earlier parameters.
  w.UndoEditClick();
  EXPECT_EQ(*obs.Observations.Item(2), before);
  ExpectLinesMatchObservations();

  // A cancelled dialog changes nothing.
  w.Selected = 3;
  const std::vector<std::string> lines = w.Lines();
  p.expectDialog("TObsParmsDlg", [](DialogModel&) { return ModalResult::Cancel; });
  w.EditObservationParameters1Click();
  EXPECT_EQ(w.Lines(), lines);
  EXPECT_FALSE(w.UndoEnabled);
}

TEST_F(ReportWindow, DoubleClickOnHeaderLinesOpensTheirRecords) {
  obs.ShowMPCReport();
  using R = ListHost::HeaderRecord;
  struct Case {
    const char* key;
    std::vector<R> opened;
  };
  const Case cases[] = {
      {"COD", {R::Site}}, {"TEL", {R::Site}}, {"CON", {R::User}},
      {"OBS", {R::User}}, {"MEA", {R::User}}, {"NET", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    host.headerEdits.clear();
    w.Selected = LineStarting(c.key);
    ASSERT_GE(w.Selected, 0);
    w.FormDblClick();
    EXPECT_EQ(host.headerEdits, c.opened);
    EXPECT_TRUE(w.MPCHeader);
  }
  // The blank line before the measurements does nothing either.
  host.headerEdits.clear();
  w.Selected = w.FirstDataLine - 1;
  w.FormDblClick();
  EXPECT_TRUE(host.headerEdits.empty());

  // ACK renews the report's time.
  p.clock.hour = 11;
  w.Selected = LineStarting("ACK");
  w.FormDblClick();
  EXPECT_EQ(w.Lines()[static_cast<std::size_t>(LineStarting("ACK"))],
            "ACK Report Generated 2005/03/05 11:00:00");
  EXPECT_TRUE(host.headerEdits.empty());

  // The OBS line's user dialog: after its OK the window shows the table.
  host.onHeaderOK = [this](R) {
    UserRec u = obs.User;
    u.Observers = "Cy Dunn";
    obs.SetParms(&u, nullptr, nullptr, false);
  };
  w.Selected = LineStarting("OBS");
  w.FormDblClick();
  EXPECT_EQ(host.headerEdits, std::vector<R>{R::User});
  EXPECT_FALSE(w.MPCHeader);
  EXPECT_EQ(obs.User.Observers, "Cy Dunn");

  // Each of the table's three title lines opens the user dialog.
  for (int line = 0; line < 3; ++line) {
    host.headerEdits.clear();
    w.Selected = line;
    w.FormDblClick();
    EXPECT_EQ(host.headerEdits, std::vector<R>{R::User}) << line;
  }
  // A double-click beside the lines does nothing.
  host.headerEdits.clear();
  w.Selected = -1;
  w.FormDblClick();
  EXPECT_TRUE(host.headerEdits.empty());
}

TEST(LineEditor, RulersStandUnderTheirColumns) {
  const std::string digits = Edit80DlgModel::RulerDigits();
  const std::string tens = Edit80DlgModel::RulerTens();
  ASSERT_EQ(digits.size(), 80u);
  ASSERT_EQ(tens.size(), 80u);
  EXPECT_EQ(digits.substr(0, 20), "123456789 123456789 ");
  for (int col = 10; col <= 80; col += 10) {
    // Columns counted from 1: the tens number ends at its column, above
    // which the digits ruler has its blank.
    EXPECT_EQ(tens.substr(static_cast<std::size_t>(col - 2), 2), std::to_string(col)) << col;
    EXPECT_EQ(digits[static_cast<std::size_t>(col - 1)], ' ') << col;
  }
  EXPECT_EQ(tens.substr(0, 8), std::string(8, ' '));
}

}  // namespace
}  // namespace hv
