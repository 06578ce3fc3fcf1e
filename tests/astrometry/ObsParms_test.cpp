#include "astrometry/ObsParms.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

ObsParmsRec Sample() {
  ObsParmsRec r;
  r.ObjName = "(433) Eros";
  r.Designation = "A898 PA";
  r.Number = "00433";
  r.Observer = "J. Q. Public";
  r.ObsTime = 38416.1;  // 2005-03-05 02:24
  r.Discovery = 1;
  r.ObjType = 1;
  return r;
}

TEST(ObsParmsRec, EncodesToItsSizeAndClears) {
  const ObsParmsRec r = Sample();
  Encoder e;
  EncodeObsParmsRec(e, r);
  ASSERT_EQ(e.size(), ObsParmsRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeObsParmsRec(d), r);
  EXPECT_EQ(d.remaining(), 0u);

  ObsParmsRec c = r;
  ClearObsParms(c);
  EXPECT_EQ(c, ObsParmsRec{});
  EXPECT_TRUE(c.ObjName.empty() && c.Number.empty() && c.Observer.empty() && c.Designation.empty());
  EXPECT_EQ(c.ObsTime, 0.0);
  EXPECT_EQ(c.Discovery, 0);
  EXPECT_EQ(c.ObjType, 0);
}

TEST(ObsParmsRec, DateTextsRoundOnceToTheSecond) {
  struct Row {
    const char* name;
    double value;
    const char* date;
    const char* time;
    const char* report;  // as the reports show it
  };
  const Row rows[] = {
      {"cleared", 0.0, "1899-12-30", "00:00:00", "1899 December 30,  UT: 00:00:00"},
      {"5 March 2005 02:24", 38416.1, "2005-03-05", "02:24:00", "2005 March 05,  UT: 02:24:00"},
      {"2000-01-01 noon", 36526.5, "2000-01-01", "12:00:00", "2000 January 01,  UT: 12:00:00"},
      {"half a second before midnight", 38416.0 + 86399.5 / 86400, "2005-03-06", "00:00:00",
       "2005 March 06,  UT: 00:00:00"},
      {"leap day", 36585.75, "2000-02-29", "18:00:00", "2000 February 29,  UT: 18:00:00"},
      {"end of 2099", 73050.99998842592, "2099-12-31", "23:59:59",
       "2099 December 31,  UT: 23:59:59"},
      {"a year of three digits", -657434.0, "0100-01-01", "00:00:00",
       "0100 January 01,  UT: 00:00:00"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ObsDateText(r.value), r.date) << r.name;
    EXPECT_EQ(ObsTimeText(r.value), r.time) << r.name;
    EXPECT_EQ(DateUTText(r.value), r.report) << r.name;
  }
}

TEST(ObsParmsRec, ParsesDates) {
  EXPECT_EQ(ParseObsDate("1899-12-30"), 0);
  EXPECT_EQ(ParseObsDate("2005-03-05"), 38416);
  EXPECT_EQ(ParseObsDate(" 2000-2-29 "), 36585);
  EXPECT_EQ(ParseObsDate("2000-01-01"), 36526);
  for (const char* bad : {"", "2005/03/05", "05-03-2005", "05-3-5", "2005-13-01", "2005-02-29",
                          "2005-03", "2005-03-05-1", "abcd-ef-gh", "2005-00-10", "2005-04-31"})
    EXPECT_FALSE(ParseObsDate(bad).has_value()) << bad;
}

}  // namespace
}  // namespace hv

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

struct Dialog {
  test::Scripted p;
  ObsParmsRec rec;
  ObsParmsDlgModel dlg{p};
  explicit Dialog(const ObsParmsRec& r, const char* caption = "Verify/Complete") : rec(r) {
    dlg.FormCreate();
    dlg.ParmsRec = &rec;
    dlg.CaptionText = caption;
    dlg.FormActivate();
  }
};

TEST(ObsParmsDlg, ActivationShowsTheRecord) {
  Dialog d(Sample());
  EXPECT_EQ(d.dlg.Caption, "Observation Parameters - Verify/Complete");
  EXPECT_EQ(d.dlg.NameLabel, "Obs. Name/ID");
  EXPECT_EQ(d.dlg.DateText, "2005-03-05");
  EXPECT_EQ(d.dlg.TimeText, "02:24:00");
  EXPECT_EQ(d.dlg.NameText, "(433) Eros");
  EXPECT_EQ(d.dlg.NumText, "00433");
  EXPECT_EQ(d.dlg.DesigText, "A898 PA");
  EXPECT_EQ(d.dlg.ObserverText, "J. Q. Public");
  EXPECT_TRUE(d.dlg.DiscoveryChecked);
  EXPECT_EQ(d.dlg.ObjTypeIndex, 1);
  EXPECT_FALSE(d.dlg.NumEnabled || d.dlg.DesigEnabled || d.dlg.ObserverEnabled ||
               d.dlg.DiscoveryEnabled || d.dlg.HelpVisible);

  Dialog cleared(ObsParmsRec{});
  EXPECT_EQ(cleared.dlg.DateText, "1899-12-30");
  EXPECT_EQ(cleared.dlg.TimeText, "00:00:00");
  EXPECT_EQ(cleared.dlg.ObjTypeIndex, 0);
}

TEST(ObsParmsDlg, OKStoresEveryField) {
  Dialog d(ObsParmsRec{});
  d.dlg.DateText = "2005-03-05";
  d.dlg.TimeText = "7:5";
  d.dlg.NameText = std::string(80, 'n');
  d.dlg.NumText = "433";
  d.dlg.DesigText = "2005 EA1";
  d.dlg.ObserverText = "Observer";
  d.dlg.ObjTypeIndex = 1;
  d.dlg.DiscoveryChecked = true;
  ASSERT_EQ(d.dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(ObsDateText(d.rec.ObsTime), "2005-03-05");
  EXPECT_EQ(ObsTimeText(d.rec.ObsTime), "07:05:00");
  EXPECT_DOUBLE_EQ(d.rec.ObsTime, 38416.0 + (7 + 5 / 60.0) / 24);
  EXPECT_EQ(d.rec.ObjName, std::string(68, 'n'));
  EXPECT_EQ(d.rec.Number, "00433");
  EXPECT_EQ(d.rec.Designation, "2005 EA");
  EXPECT_EQ(d.rec.Observer, "Observer");
  EXPECT_EQ(d.rec.ObjType, 1);
  EXPECT_EQ(d.rec.Discovery, 1);

  // An empty number stays empty; a disabled one still comes back padded.
  Dialog e(ObsParmsRec{});
  ASSERT_EQ(e.dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(e.rec.Number, "");
  ObsParmsRec unpadded = Sample();
  unpadded.Number = "7";
  Dialog f(unpadded);
  ASSERT_EQ(f.dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(f.rec.Number, "00007");
}

TEST(ObsParmsDlg, UnchangedTextsKeepTheStoredTime) {
  ObsParmsRec r = Sample();
  r.ObsTime = 38416.1 + 0.5 / 86400;  // mid-exposure, x.5 s
  Dialog d(r);
  d.dlg.NameText = "Eros";
  ASSERT_EQ(d.dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(d.rec.ObsTime, r.ObsTime);
  EXPECT_EQ(d.rec.ObjName, "Eros");

  Dialog changed(r);
  changed.dlg.TimeText = "02:24:01";
  ASSERT_EQ(changed.dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_DOUBLE_EQ(changed.rec.ObsTime, 38416.0 + (2 + 24 / 60.0 + 1 / 3600.0) / 24);
}

TEST(ObsParmsDlg, BadInputKeepsTheDialogOpenAndTheRecordUntouched) {
  struct Row {
    const char* name;
    const char* date;
    const char* time;
    const char* message;
  };
  const Row rows[] = {
      {"empty time", "2005-03-05", "", "'' is not a valid time"},
      {"letters in the time", "2005-03-05", "ab:cd", "not a valid time"},
      {"a day past midnight", "2005-03-05", "25:00", "not a valid time"},
      {"empty date", "", "02:24:00", "'' is not a valid date"},
      {"wrong order", "05-03-2005", "02:24:00", "not a valid date"},
      {"wrong separator", "2005/03/05", "02:24:00", "not a valid date"},
      {"no such day", "2005-02-30", "02:24:00", "not a valid date"},
  };
  for (const auto& row : rows) {
    Dialog d(Sample());
    d.dlg.DateText = row.date;
    d.dlg.TimeText = row.time;
    d.dlg.NameText = "changed";
    d.p.expectMessage(ModalResult::OK, "Halvardin", row.message);
    EXPECT_EQ(d.dlg.OKBtnClick(), ModalResult::None) << row.name;
    EXPECT_EQ(d.rec, Sample()) << row.name << ": nothing written before every field converts";
    EXPECT_EQ(d.dlg.CancelBtnClick(), ModalResult::Cancel);
    EXPECT_EQ(d.rec, Sample()) << row.name;
  }
}

}  // namespace
}  // namespace hv
