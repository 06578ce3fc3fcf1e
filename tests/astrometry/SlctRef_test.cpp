// The measurement guide and its go-back dialog against windows that only
// record what the guide does to them.
#include "astrometry/SlctRef.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class FakeImage : public GuideImageWindow {
 public:
  int ImageNumber() const override { return 2; }
  RefStarList& RefList() override { return refs; }
  const std::array<long double, 406>& RefFitData() const override { return fit; }
  bool& RefsLocated() override { return refsLocated; }
  bool& RefMarked() override { return refMarked; }
  bool& TargetLocated() override { return targetLocated; }
  bool TargetMeasured() const override { return measured; }
  RefStarRec& Target() override { return target; }
  bool& SkyLocated() override { return skyLocated; }
  RefStarRec& SkyBox() override { return sky; }
  bool& CloseAllowed() override { return closeAllowed; }
  bool& MeasureMode() override { return pick; }
  void MarkUnsolved() override { solved = false; }
  bool Solved() const override { return solved; }
  void CentroidRefStars() override {
    ++centroided;
    refsLocated = centroidOk;
    if (centroidOk) otherBox = false;
  }
  bool RefsNeedMeasuring() const override { return refsLocated && otherBox; }
  void ResetTarget() override {
    target = RefStarRec{};
    measured = false;
    solved = false;
    skyLocated = false;
  }
  bool MeasureTarget(bool useSky) override {
    measuredWithSky = useSky;
    measured = useSky ? skyGood : borderClean;
    return measured;
  }
  bool SolvePlate() override {
    ++solves;
    solved = solveOk;
    return solveOk;
  }
  void EnableReportList() override { reportEnabled = true; }
  bool ReportList1Click() override {
    ++recorded;
    return true;
  }
  void CloseReport() override { ++reportClosed; }
  void ShowReport() override { ++reportShown; }
  void Repaint() override {}
  void Show() override {
    ++shown;
    closed = false;
  }
  void Close() override {
    if (closeAllowed) closed = true;
  }

  // The student's click at the reference the guide asks for.
  void MarkCurrent(int refNum) {
    if (RefStarRec* r = refs.Item(refNum - 1)) r->Located = true;
    refMarked = true;
  }

  RefStarList refs;
  std::array<long double, 406> fit{};
  RefStarRec target, sky;
  bool refsLocated = false, refMarked = false, targetLocated = false, measured = false;
  bool skyLocated = false, closeAllowed = true, pick = false, solved = false;
  bool centroidOk = true, borderClean = true, skyGood = true, solveOk = true;
  bool measuredWithSky = false, reportEnabled = false, closed = false;
  // The references were measured with another box than the one in force.
  bool otherBox = false;
  int centroided = 0, solves = 0, recorded = 0, reportClosed = 0, shown = 0, reportShown = 0;
};

class FakeField : public GuideRefWindow {
 public:
  RefStarList& RefStars() override { return refs; }
  bool& CloseAllowed() override { return closeAllowed; }
  void SetPickMode(bool on) override { pick = on; }
  void EnableAddRemove(bool on) override { addRemove = on; }
  void ClearReselect1Click() override {
    refs.Clear();
    image->refs.Clear();
    guide->BeginSelection();
  }
  void AddRemove1Click() override { guide->BeginSelection(); }
  void Close() override {
    if (closeAllowed) closed = true;
  }

  RefStarList refs;
  bool closeAllowed = true, pick = false, addRemove = false, closed = false;
  SlctRefModel* guide = nullptr;
  FakeImage* image = nullptr;
};

class Rig : public GuideHost {
 public:
  explicit Rig(SolutionCode order, std::vector<int> numbers) : guide(platform, *this) {
    settings.SolutionOrder = order;
    field.guide = &guide;
    field.image = &image;
    for (int n : numbers) AddRef(n);
  }
  void AddRef(int number, bool usePos = true) {
    RefStarRec r;
    r.Number = number;
    r.Name = "HVS" + std::to_string(number);
    r.UsePos = usePos;
    r.UseMag = true;
    r.FieldX = 10.0L * number;
    r.FieldY = 5.0L * number;
    field.refs.GoLast();
    field.refs.InsertAfter(r);
  }
  const OptsRec& Settings() const override { return settings; }
  bool& MoreRefsHintGiven() override { return hintGiven; }
  GuideImageWindow* MeasuredWindow() override { return imageGone ? nullptr : &image; }
  GuideRefWindow* ReferenceWindow() override { return &field; }
  void ShowMagnifier(bool shown) override { magnifier = shown; }

  // The measure set-up's start.
  void Start() {
    guide.BeginSelection();
    guide.Show();
  }
  // Locates every reference in turn with OK after each.
  void LocateAll() {
    const int count = image.refs.Count();
    for (int i = 0; i < count && guide.Step == 2; ++i) {
      image.MarkCurrent(guide.RefNum);
      guide.OkBtnClick();
    }
  }
  // From the start to the solution shown (step 5): every reference
  // located, the target located and its sky accepted.
  void StartToSolution() {
    Start();
    guide.OkBtnClick();
    LocateAll();
    image.targetLocated = true;
    platform.expectMessage(ModalResult::Yes, "Target Sky OK?");
    guide.OkBtnClick();
  }
  // Answers the go-back dialog with the given button, or cancels it.
  void GoBack(int button, std::vector<bool> wantEnabled = {}, int wantPreselected = -1) {
    platform.expectDialog("TRefCnclForm1", [=](DialogModel& m) {
      auto& d = static_cast<RefCnclModel&>(m);
      if (!wantEnabled.empty()) {
        for (int b = 0; b < RefCnclModel::Count; ++b) {
          EXPECT_EQ(d.Enabled[b], wantEnabled[b]) << RefCnclModel::ButtonText[b];
        }
      }
      if (wantPreselected >= 0) {
        EXPECT_EQ(d.Checked, wantPreselected);
      }
      if (button < 0) return ModalResult::Cancel;
      d.Checked = button;
      return ModalResult::OK;
    });
  }

  test::Scripted platform;
  OptsRec settings;
  bool hintGiven = false, magnifier = true, imageGone = false;
  FakeImage image;
  FakeField field;
  SlctRefModel guide;
};

constexpr const char* kBreaks = "\r\n\r\n";

TEST(SlctRef, BeginSelectionAndMinimumReferencesPerOrder) {
  struct Row {
    const char* name;
    SolutionCode order;
    int minRefs;
    const char* model;
  };
  const Row rows[] = {{"linear", SolutionCode::Linear, 3, "linear"},
                      {"cross term", SolutionCode::CrossTerm, 4, "cross-term"},
                      {"quadratic", SolutionCode::Quadratic, 6, "quadratic"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // One short of the minimum: refused, step stays 0.
    std::vector<int> numbers;
    for (int i = 1; i < row.minRefs; ++i) numbers.push_back(i);
    Rig rig(row.order, numbers);
    rig.Start();
    EXPECT_EQ(rig.guide.MinRefs, row.minRefs);
    EXPECT_EQ(rig.guide.Caption, "Select Reference Stars");
    EXPECT_EQ(rig.guide.Label1, std::string(kBreaks) + "Select at least " +
                                    std::to_string(row.minRefs) +
                                    " (more, if possible) Reference Stars on the Reference "
                                    "(left-hand) Display.  Press \"OK\" when finished.");
    EXPECT_TRUE(rig.field.pick);
    EXPECT_FALSE(rig.image.closeAllowed);
    EXPECT_FALSE(rig.field.closeAllowed);
    rig.platform.expectMessage(ModalResult::OK, "Insufficient Reference Stars!",
                               "You must select at least " + std::to_string(row.minRefs) +
                                   " reference stars for a " + row.model + " solution!");
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.guide.Step, 0);
    // A reference not used for position does not count.
    rig.AddRef(50, false);
    rig.platform.expectMessage(ModalResult::OK, "Insufficient Reference Stars!");
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.guide.Step, 0);
    rig.platform.verify();
  }
}

TEST(SlctRef, MoreReferencesHintOnceThenLocateWithNumbersInListOrder) {
  Rig rig(SolutionCode::Linear, {4, 1, 3});
  rig.Start();
  rig.platform.expectMessage(ModalResult::Yes, "Select More Reference Stars?",
                             std::string("select more than the minimum number of reference "
                                         "stars.") +
                                 kBreaks + "Continue Reference Star Selection?");
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.Step, 0);
  EXPECT_TRUE(rig.hintGiven);
  rig.guide.OkBtnClick();  // not asked again
  EXPECT_EQ(rig.guide.Step, 2);
  EXPECT_EQ(rig.guide.Caption, "Locate Reference Stars");
  EXPECT_EQ(rig.guide.FirstNumber, 1);
  EXPECT_EQ(rig.guide.NextNumber, 1) << "the smallest number first";
  EXPECT_EQ(rig.image.refs.Count(), 3);
  EXPECT_FALSE(rig.field.pick);
  EXPECT_TRUE(rig.field.addRemove);
  EXPECT_TRUE(rig.image.pick);
  EXPECT_EQ(rig.guide.Label1, std::string(kBreaks) +
                                  "Locate Reference Star #1 on the Image 2 (right-hand) "
                                  "Display and press \"OK\".");
  // A premature OK names the reference asked for.
  rig.platform.expectMessage(ModalResult::OK, "No Selection Made!",
                             "Please locate reference star #1 on the image 2 (right-hand) "
                             "display!");
  rig.guide.OkBtnClick();
  rig.image.MarkCurrent(rig.guide.RefNum);
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.RefNum, 2);
  // The next is the list's second entry, number 1, although number 4 came first.
  EXPECT_EQ(rig.guide.NextNumber, 1);
  rig.platform.verify();
}

TEST(SlctRef, GapInNumbersAndPrematureOkNamesTheNextReference) {
  Rig rig(SolutionCode::Linear, {1, 3, 4, 5});
  rig.settings.NoConfirm = true;
  rig.Start();
  rig.guide.OkBtnClick();
  ASSERT_EQ(rig.guide.Step, 2);
  rig.image.MarkCurrent(1);
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.NextNumber, 3);
  EXPECT_FALSE(rig.image.refMarked);
  rig.platform.expectMessage(ModalResult::OK, "No Selection Made!", "reference star #3 on");
  rig.guide.OkBtnClick();
  rig.image.MarkCurrent(2);
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.NextNumber, 4);
  EXPECT_FALSE(rig.guide.AllBtnVisible);
  rig.image.MarkCurrent(3);
  rig.guide.OkBtnClick();
  // After the third: predictions shown, Accept offered.
  EXPECT_TRUE(rig.guide.AllBtnVisible);
  EXPECT_EQ(rig.guide.NextNumber, 5);
  EXPECT_EQ(rig.guide.Label1,
            std::string("Press \"Accept\" if projected identifications are acceptable (all "
                        "images should lie within the outer (dashed) Boxes).") +
                kBreaks +
                "Otherwise, Locate Reference Star #5 on the Image 2 (right-hand) Display and "
                "press \"OK\".");
  rig.guide.AllBtnClick();
  EXPECT_EQ(rig.image.centroided, 1);
  EXPECT_EQ(rig.guide.RefNum, 99);
  EXPECT_EQ(rig.guide.Step, 3);
  EXPECT_EQ(rig.guide.Caption, "Locate Unknown");
  EXPECT_FALSE(rig.guide.AllBtnVisible);
  rig.platform.verify();
}

TEST(SlctRef, LastReferenceLocatedAcceptsAtOnceWithoutReadingPastTheList) {
  Rig rig(SolutionCode::Linear, {7, 8, 9});
  rig.settings.NoConfirm = true;
  rig.Start();
  rig.guide.OkBtnClick();
  rig.LocateAll();
  EXPECT_EQ(rig.guide.NextNumber, 9) << "the last one read, not an entry past the list";
  EXPECT_EQ(rig.image.centroided, 1);
  EXPECT_EQ(rig.guide.Step, 3);
  EXPECT_EQ(rig.guide.RefNum, 99);
  rig.platform.verify();
}

// From the target on: the sky question, the sky step, the solution, the
// record and the end.
TEST(SlctRef, TargetSkyAndSolutionScenarios) {
  struct Row {
    const char* name;
    bool borderAnswer;  // the student's answer to "Target Sky OK?"
    bool borderClean;   // the window's own measurement of the border
    bool skyReadBefore;
    std::vector<std::string> captions;  // after the target OK, after any sky OK
    bool withSky;
  };
  const Row rows[] = {
      {"clean border", true, true, false, {"Solution OK?"}, false},
      {"border fails the window's test",
       true,
       false,
       false,
       {"Sky Border is Corrupted! - Read Sky Background", "Solution OK?"},
       true},
      {"student says the border is not clean",
       false,
       true,
       false,
       {"Read Sky Background", "Solution OK?"},
       true},
      {"sky read before: measured with it at once", false, true, true, {"Solution OK?"}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig(SolutionCode::Linear, {1, 2, 3});
    rig.settings.NoConfirm = true;
    rig.image.borderClean = row.borderClean;
    rig.Start();
    rig.guide.OkBtnClick();
    rig.LocateAll();
    ASSERT_EQ(rig.guide.Step, 3);
    rig.platform.expectMessage(ModalResult::OK, "No Selection Made!",
                               "Please locate the target object on the image 2 (right-hand) "
                               "display!");
    rig.guide.OkBtnClick();
    rig.image.targetLocated = true;
    rig.image.skyLocated = row.skyReadBefore;
    rig.platform.expectMessage(row.borderAnswer ? ModalResult::Yes : ModalResult::No,
                               "Target Sky OK?",
                               "Is the sky border (between the dotted and solid lines) "
                               "surrounding\r\nthe target object free of stars and other objects?");
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.guide.Caption, row.captions[0]);
    if (row.captions.size() > 1) {
      EXPECT_EQ(rig.guide.Step, 4);
      EXPECT_EQ(rig.guide.Label1, std::string(kBreaks) +
                                      "Locate an Area near the Target Object that is Free of "
                                      "Stars on the Image  2 (right-hand) Display!");
      rig.platform.expectMessage(ModalResult::OK, "Re-Select Background!",
                                 "Please locate an area that is free of stars on the image  2 "
                                 "(right-hand) display!");
      rig.guide.OkBtnClick();
      rig.image.skyLocated = true;
      rig.guide.OkBtnClick();
      EXPECT_EQ(rig.guide.Caption, row.captions[1]);
    }
    EXPECT_EQ(rig.image.measuredWithSky, row.withSky);
    EXPECT_EQ(rig.guide.Step, 5);
    EXPECT_EQ(rig.image.solves, 1);
    EXPECT_TRUE(rig.image.closeAllowed);
    EXPECT_FALSE(rig.image.pick);
    EXPECT_EQ(rig.guide.Label1, std::string(kBreaks) + "Press \"OK\" to Accept Solution.");

    rig.platform.expectMessage(ModalResult::Yes, "Add to Report?",
                               "Record measurement on report list now?");
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.platform.messages().back().sound, Sound::Question)
        << "like the guide's other questions";
    EXPECT_TRUE(rig.image.reportEnabled);
    EXPECT_EQ(rig.image.recorded, 1);
    EXPECT_EQ(rig.guide.Step, 6);
    EXPECT_EQ(rig.guide.Caption, "Measurement Completed");
    rig.guide.OkBtnClick();
    EXPECT_TRUE(rig.image.closed);
    EXPECT_TRUE(rig.field.closed);
    EXPECT_EQ(rig.image.reportClosed, 1);
    EXPECT_FALSE(rig.magnifier);
    EXPECT_FALSE(rig.guide.Visible);
    rig.platform.verify();
  }
}

TEST(SlctRef, TargetLocatedBeforeAcceptIsMeasuredBeforeTheSolution) {
  // The target was located before the references were accepted, and its
  // flux never measured: the guide asks about the sky instead of solving.
  Rig rig(SolutionCode::Linear, {1, 2, 3, 4});
  rig.settings.NoConfirm = true;
  rig.Start();
  rig.guide.OkBtnClick();
  rig.image.targetLocated = true;
  rig.image.MarkCurrent(1);
  rig.guide.OkBtnClick();
  rig.image.MarkCurrent(2);
  rig.guide.OkBtnClick();
  rig.image.MarkCurrent(3);
  rig.guide.OkBtnClick();
  rig.platform.expectMessage(ModalResult::Yes, "Target Sky OK?");
  rig.guide.AllBtnClick();
  EXPECT_TRUE(rig.image.target.Located);
  EXPECT_TRUE(rig.image.measured);
  EXPECT_EQ(rig.image.solves, 1);
  EXPECT_EQ(rig.guide.Step, 5);
  rig.platform.verify();
}

TEST(SlctRef, FailedSolutionSaysWhyAndOpensTheGoBackDialog) {
  Rig rig(SolutionCode::Quadratic, {1, 2, 3, 4, 5, 6});
  rig.settings.NoConfirm = true;
  rig.image.solveOk = false;
  rig.Start();
  rig.guide.OkBtnClick();
  rig.LocateAll();
  ASSERT_EQ(rig.guide.Step, 3);
  rig.image.targetLocated = true;
  // One reference lost its position use on the way.
  rig.image.refs.Item(0)->UsePos = false;
  rig.platform.expectMessage(ModalResult::Yes, "Target Sky OK?");
  rig.platform.expectMessage(ModalResult::OK, "Plate Solution Failed!",
                             "A quadratic solution needs at least 6 position references; 5 are "
                             "marked for position.");
  rig.GoBack(RefCnclModel::RefRtrn, {true, true, true, true, false, true}, RefCnclModel::IDUnkwn);
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.Step, 3) << "a failed solution leaves the step";
  EXPECT_TRUE(rig.image.pick) << "the target can be clicked again";
  EXPECT_FALSE(rig.image.closeAllowed) << "nothing solved: the window stays with the guide";
  EXPECT_EQ(rig.image.solves, 1);
  rig.platform.verify();
}

TEST(SlctRef, OkAfterAFailedSolutionAtTheReferenceStepAcceptsAgain) {
  Rig rig(SolutionCode::Linear, {1, 2, 3, 4});
  rig.settings.NoConfirm = true;
  rig.Start();
  rig.guide.OkBtnClick();
  rig.image.targetLocated = true;
  rig.image.measured = true;
  rig.image.solveOk = false;
  rig.platform.expectMessage(ModalResult::OK, "Plate Solution Failed!",
                             "do not determine a linear solution");
  rig.GoBack(RefCnclModel::RefRtrn);
  rig.LocateAll();  // the fourth OK accepts
  ASSERT_EQ(rig.guide.Step, 2);
  ASSERT_EQ(rig.guide.RefNum, 99);
  // OK now: every reference is located; no entry 98 is read.
  rig.image.solveOk = true;
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.Step, 5);
  rig.platform.verify();
}

TEST(SlctRef, FailedRecentroidingGoesToStepOneAndTheGoBackDialog) {
  Rig rig(SolutionCode::Linear, {1, 2, 3});
  rig.settings.NoConfirm = true;
  rig.image.centroidOk = false;
  rig.Start();
  rig.guide.OkBtnClick();
  rig.GoBack(RefCnclModel::IdRef, {true, true, true, false, false, true}, RefCnclModel::IdRef);
  rig.LocateAll();
  EXPECT_EQ(rig.guide.Step, 2) << "located again from the first";
  EXPECT_EQ(rig.guide.RefNum, 1);
  rig.platform.expectMessage(ModalResult::OK, "No Selection Made!", "reference star #1 on");
  rig.guide.OkBtnClick();  // step 2 with nothing marked
  rig.platform.verify();
}

// "Return to Current Step" after the dialog opened on a failure leaves the
// student something the guide's text asks for.
TEST(SlctRef, ReturnAfterAFailureGoesOnWhereTheStudentCanAct) {
  struct Row {
    const char* name;
    bool fromSelection;  // the re-solve of step 0, else Accept at step 2
    int step;
    std::string caption;
  };
  const Row rows[] = {
      {"re-solve at step 0", true, 0, "Select Reference Stars"},
      {"accept at step 2", false, 2, "Locate Reference Stars"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig(SolutionCode::Linear, {1, 2, 3, 4});
    rig.settings.NoConfirm = true;
    rig.Start();
    if (row.fromSelection) {
      rig.image.refsLocated = rig.image.targetLocated = rig.image.measured = true;
    } else {
      rig.guide.OkBtnClick();
      for (int i = 0; i < 3; ++i) {
        rig.image.MarkCurrent(rig.guide.RefNum);
        rig.guide.OkBtnClick();
      }
    }
    rig.image.centroidOk = false;
    rig.GoBack(RefCnclModel::RefRtrn, {true, true, true, false, false, true});
    if (row.fromSelection)
      rig.guide.OkBtnClick();
    else
      rig.guide.AllBtnClick();
    EXPECT_EQ(rig.guide.Step, row.step);
    EXPECT_EQ(rig.guide.Caption, row.caption);
    if (row.fromSelection) {
      EXPECT_TRUE(rig.field.pick) << "references can be picked again";
      EXPECT_FALSE(rig.field.addRemove) << "the popup item follows pick mode";
    } else {
      EXPECT_EQ(rig.guide.RefNum, 1);
      EXPECT_TRUE(rig.image.pick);
    }
    rig.platform.verify();
  }
}

TEST(SlctRef, ASolutionThatLostItsTargetIsNotRecordedInSilence) {
  struct Row {
    const char* name;
    bool toldAtOnce;  // the window reports the loss (a new box), else OK finds it
  };
  for (const Row& row : {Row{"new box reported", true}, Row{"found at OK", false}}) {
    SCOPED_TRACE(row.name);
    Rig rig(SolutionCode::Linear, {1, 2, 3});
    rig.settings.NoConfirm = true;
    rig.StartToSolution();
    ASSERT_EQ(rig.guide.Step, 5);
    rig.image.closeAllowed = true;
    rig.image.closed = true;  // the student closed the image after the solution
    rig.image.targetLocated = false;
    rig.platform.expectMessage(ModalResult::OK, "Target Not Located!",
                               "Locate the target object on the image 2 (right-hand) display "
                               "again.");
    if (row.toldAtOnce)
      rig.guide.TargetLost();
    else
      rig.guide.OkBtnClick();  // no "Add to Report?" is asked
    EXPECT_EQ(rig.guide.Step, 3);
    EXPECT_EQ(rig.guide.Caption, "Locate Unknown");
    EXPECT_EQ(rig.image.reportClosed, 1);
    EXPECT_EQ(rig.image.recorded, 0);
    EXPECT_FALSE(rig.image.closed) << "the image the guide asks about is shown again";
    EXPECT_FALSE(rig.image.closeAllowed);
    EXPECT_TRUE(rig.image.pick);
    // Located again: solved and recorded.
    rig.image.targetLocated = true;
    rig.platform.expectMessage(ModalResult::Yes, "Target Sky OK?");
    rig.guide.OkBtnClick();
    rig.platform.expectMessage(ModalResult::Yes, "Add to Report?");
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.image.recorded, 1);
    EXPECT_EQ(rig.guide.Step, 6);
    // Once completed, a loss is the student's business (nothing is asked).
    rig.guide.TargetLost();
    EXPECT_EQ(rig.guide.Step, 6);
    rig.platform.verify();
  }
}

// A solution without a located target would hold nothing to record: the
// solve step sends the student to the target instead of solving.
TEST(SlctRef, NoPlateIsSolvedWithoutALocatedTarget) {
  struct Row {
    const char* name;
    bool throughTheSky;  // OK on a sky area, else the solve step itself
  };
  for (const Row& row : {Row{"sky read after the target went", true}, Row{"solve step", false}}) {
    SCOPED_TRACE(row.name);
    Rig rig(SolutionCode::Linear, {1, 2, 3});
    rig.settings.NoConfirm = true;
    rig.StartToSolution();
    ASSERT_EQ(rig.guide.Step, 5);
    ASSERT_EQ(rig.image.solves, 1);
    if (row.throughTheSky) {
      rig.GoBack(RefCnclModel::BkGrnd);
      rig.guide.CnclBtnClick();
      ASSERT_EQ(rig.guide.Step, 4);
      rig.image.targetLocated = false;  // no word of it from the window
      rig.image.skyLocated = true;
      rig.guide.OkBtnClick();
    } else {
      rig.image.targetLocated = false;
      rig.guide.SolveAndShow();
    }
    EXPECT_EQ(rig.image.solves, 1) << "not solved again";
    EXPECT_FALSE(rig.image.solved);
    EXPECT_EQ(rig.guide.Step, 3);
    EXPECT_EQ(rig.guide.Caption, "Locate Unknown");
    EXPECT_TRUE(rig.image.pick) << "the target can be clicked";
    EXPECT_FALSE(rig.image.closeAllowed);
    rig.platform.verify();
  }
}

TEST(SlctRef, ChangingReferencesAfterEverythingWasLocatedSolvesAtOnce) {
  Rig rig(SolutionCode::Linear, {1, 2, 3, 4});
  rig.settings.NoConfirm = true;
  rig.Start();
  rig.image.refsLocated = true;
  rig.image.targetLocated = true;
  rig.image.measured = true;
  rig.image.fit = {};
  rig.image.fit[400] = 2;
  rig.image.fit[402] = 1;
  rig.image.fit[404] = 3;
  rig.image.fit[405] = -1;
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.image.refs.Item(3)->ImageX, 2 * 40.0L + 1) << "predicted from the fit";
  EXPECT_EQ(rig.image.refs.Item(3)->ImageY, 3 * 20.0L - 1);
  EXPECT_EQ(rig.image.centroided, 1);
  EXPECT_EQ(rig.guide.RefNum, 99);
  EXPECT_EQ(rig.guide.Step, 5);
}

// Every choice of the go-back dialog from the solution step.
TEST(SlctRef, GoBackChoicesFromTheSolution) {
  struct Row {
    const char* name;
    int button;
    int step;
    std::string caption;
  };
  const Row rows[] = {
      {"select again", RefCnclModel::SlctRef, 0, "Select Reference Stars"},
      {"add or delete", RefCnclModel::AddRef, 0, "Select Reference Stars"},
      {"locate references", RefCnclModel::IdRef, 2, "Locate Reference Stars"},
      {"locate unknown", RefCnclModel::IDUnkwn, 3, "Locate Unknown"},
      {"sky background", RefCnclModel::BkGrnd, 4, "Read Sky Background"},
      {"return", RefCnclModel::RefRtrn, 5, "Solution OK?"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig(SolutionCode::Linear, {1, 2, 3});
    rig.settings.NoConfirm = true;
    rig.StartToSolution();
    ASSERT_EQ(rig.guide.Step, 5);
    rig.GoBack(row.button, {true, true, true, true, true, true}, RefCnclModel::AddRef);
    rig.guide.CnclBtnClick();
    EXPECT_EQ(rig.image.reportClosed, 1) << "the report goes first";
    EXPECT_EQ(rig.guide.Step, row.step);
    EXPECT_EQ(rig.guide.Caption, row.caption);
    EXPECT_TRUE(rig.guide.Visible);
    EXPECT_EQ(rig.image.closeAllowed, row.step >= 5) << "closable again only with a solution";
    EXPECT_FALSE(rig.field.closeAllowed);
    switch (row.button) {
      case RefCnclModel::SlctRef:
        EXPECT_EQ(rig.field.refs.Count(), 0);
        EXPECT_TRUE(rig.field.pick);
        break;
      case RefCnclModel::AddRef:
        EXPECT_EQ(rig.field.refs.Count(), 3);
        EXPECT_TRUE(rig.field.pick);
        break;
      case RefCnclModel::IdRef:
        EXPECT_EQ(rig.guide.RefNum, 1);
        EXPECT_FALSE(rig.image.solved);
        break;
      case RefCnclModel::IDUnkwn:
        EXPECT_FALSE(rig.image.targetLocated);
        EXPECT_TRUE(rig.image.pick);
        break;
      case RefCnclModel::BkGrnd:
        EXPECT_FALSE(rig.image.skyLocated);
        EXPECT_FALSE(rig.image.solved);
        EXPECT_TRUE(rig.image.pick);
        break;
      case RefCnclModel::RefRtrn:
        EXPECT_EQ(rig.image.reportShown, 1) << "the solution to accept is on the screen again";
        break;
    }
    if (row.button != RefCnclModel::RefRtrn) {
      EXPECT_EQ(rig.image.reportShown, 0);
    }
    rig.platform.verify();
  }
}

// References measured with another box than the one in force (the box
// changed after they were accepted) are measured again before the fit, so
// the magnitude takes every flux from one box; one that is lost on the way
// leads to the go-back dialog, not to a solution.
TEST(SlctRef, ReferencesOfAnotherBoxAreMeasuredAgainBeforeTheSolve) {
  for (bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "a reference lost" : "all measured again");
    Rig rig(SolutionCode::Linear, {1, 2, 3});
    rig.settings.NoConfirm = true;
    rig.Start();
    rig.guide.OkBtnClick();
    rig.LocateAll();
    ASSERT_EQ(rig.guide.Step, 3);
    ASSERT_EQ(rig.image.centroided, 1);
    rig.image.otherBox = true;
    rig.image.centroidOk = !lost;
    rig.image.targetLocated = true;
    rig.platform.expectMessage(ModalResult::Yes, "Target Sky OK?");
    if (lost) rig.GoBack(RefCnclModel::IdRef);
    rig.guide.OkBtnClick();
    EXPECT_EQ(rig.image.centroided, 2);
    EXPECT_EQ(rig.image.solves, lost ? 0 : 1);
    EXPECT_EQ(rig.guide.Step, lost ? 2 : 5);
    rig.platform.verify();
  }
}

TEST(SlctRef, GoBackDialogEnablesByStep) {
  struct Row {
    std::uint8_t step;
    std::array<bool, 6> enabled;
    int preselected;
  };
  const Row rows[] = {
      {0, {true, false, false, false, false, true}, RefCnclModel::SlctRef},
      {1, {true, true, true, false, false, true}, RefCnclModel::IdRef},
      {2, {true, true, true, false, false, true}, RefCnclModel::IdRef},
      {3, {true, true, true, true, false, true}, RefCnclModel::IDUnkwn},
      {4, {true, true, true, true, true, true}, RefCnclModel::BkGrnd},
      {5, {true, true, true, true, true, true}, RefCnclModel::AddRef},
      {6, {true, true, true, true, true, true}, RefCnclModel::AddRef},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.step));
    RefCnclModel d;
    d.Step = row.step;
    d.FormShow();
    EXPECT_EQ(d.Enabled, row.enabled);
    EXPECT_EQ(d.Checked, row.preselected);
  }
  RefCnclModel d;
  d.Step = 0;
  d.FormShow();
  d.Choice = 5;
  d.Checked = RefCnclModel::BkGrnd;  // disabled at step 0
  d.OKBtnClick();
  EXPECT_EQ(d.Choice, 5);
  d.Checked = -1;
  d.OKBtnClick();
  EXPECT_EQ(d.Choice, 5) << "none checked leaves the choice";
}

TEST(SlctRef, CancelAtStepZeroAbandonsTheMeasurement) {
  Rig rig(SolutionCode::Linear, {1, 2, 3});
  rig.Start();
  rig.GoBack(-1, {true, false, false, false, false, true}, RefCnclModel::SlctRef);
  rig.guide.CnclBtnClick();
  EXPECT_TRUE(rig.image.closed);
  EXPECT_TRUE(rig.field.closed);
  EXPECT_TRUE(rig.image.closeAllowed);
  EXPECT_TRUE(rig.field.closeAllowed);
  EXPECT_FALSE(rig.magnifier);
  EXPECT_FALSE(rig.guide.Visible);
  EXPECT_EQ(rig.platform.beeps().front(), Sound::Default);
  EXPECT_EQ(rig.platform.beeps().back(), Sound::Exclamation);
  rig.platform.verify();
}

TEST(SlctRef, MagnifierBoxAndAGoneWindow) {
  Rig rig(SolutionCode::Linear, {1, 2, 3});
  rig.guide.CheckBox1Click(false);
  EXPECT_FALSE(rig.guide.ShowMagnifier);
  EXPECT_FALSE(rig.magnifier);
  rig.guide.CheckBox1Click(true);
  EXPECT_TRUE(rig.magnifier);
  // A window freed under the guide: Accept does nothing, OK ends the
  // measurement rather than leave a guide whose OK does nothing.
  rig.Start();
  rig.imageGone = true;
  rig.guide.AllBtnClick();
  EXPECT_TRUE(rig.guide.Visible);
  rig.guide.OkBtnClick();
  EXPECT_EQ(rig.guide.Step, 0);
  EXPECT_FALSE(rig.guide.Visible);
  EXPECT_TRUE(rig.field.closed);
  EXPECT_FALSE(rig.magnifier);
}

}  // namespace
}  // namespace hv
