#include "astrometry/AstromObs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class Host : public ReportHost {
 public:
  fs::path folder = fs::current_path();
  bool saved = true;
  bool reportMenu = false;
  bool viewPrintSave = false;
  bool noConfirm = false;
  std::vector<fs::path> written;

  fs::path ReportFolder() const override { return folder; }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
  bool ReportSaved() const override { return saved; }
  void SetReportSaved(bool s) override { saved = s; }
  void EnableReportMenu() override { reportMenu = true; }
  void SetViewPrintSaveEnabled(bool e) override { viewPrintSave = e; }
  void SpreadsheetWritten(const fs::path& f) override { written.push_back(f); }
  bool NoConfirm() const override { return noConfirm; }
};

// 5 March 2005 02:24:00 UT, (433) Eros at 13h 15m 24.41s, -0d 30' 00.0".
ObsRec Eros() {
  ObsRec r;
  r.Parms.ObjName = "(433) Eros";
  r.Parms.Number = "00433";
  r.Parms.Designation = "A898 PA";
  r.Parms.Discovery = 1;
  r.Parms.ObsTime = 38416.1;
  r.Target.Status = RefStatus::Target;
  r.Target.RA = 13.25678L;
  r.Target.Dec = -0.5L;
  r.Target.Mag = 9.46L;
  r.Target.MagResid = 0.03L;
  r.Target.Band = 1;
  return r;
}

SiteRec Site(const char* code) {
  SiteRec s;
  s.Code = code;
  return s;
}

std::string Pad(int v, std::size_t width) {
  std::string s = std::to_string(v);
  return std::string(width > s.size() ? width - s.size() : 0, '0') + s;
}

// Columns counted from 1, as the Minor Planet Center lays them out.
std::string Cols(const std::string& line, std::size_t first, std::size_t last) {
  return line.substr(first - 1, last - first + 1);
}

TEST(ObsRec, EncodesToItsSize) {
  const ObsRec r = Eros();
  Encoder e;
  EncodeObsRec(e, r);
  ASSERT_EQ(e.size(), ObsRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeObsRec(d), r);
}

TEST(ReportLines, MinorPlanetCenterColumns) {
  const std::string line = MPCLine(Eros(), Site("645"));
  ASSERT_EQ(line.size(), 80u);
  EXPECT_EQ(line,
            "00433A898 PA* C2005 03 05.10000 13 15 24.41 -00 30 00.0          09.5 V      645");
  EXPECT_EQ(Cols(line, 1, 5), "00433");
  EXPECT_EQ(Cols(line, 6, 12), "A898 PA");
  EXPECT_EQ(Cols(line, 13, 13), "*");
  EXPECT_EQ(Cols(line, 15, 15), "C");
  EXPECT_EQ(Cols(line, 16, 31), "2005 03 05.10000");
  EXPECT_EQ(Cols(line, 33, 43), "13 15 24.41");
  EXPECT_EQ(Cols(line, 45, 55), "-00 30 00.0");
  EXPECT_EQ(Cols(line, 66, 69), "09.5");
  EXPECT_EQ(Cols(line, 71, 71), "V");
  EXPECT_EQ(Cols(line, 78, 80), "645");

  // No magnitude: blank magnitude and band; codes padded or missing.
  ObsRec r = Eros();
  r.Target.Mag = 0;
  r.Parms.Discovery = 0;
  r.Parms.Number = "";
  r.Parms.Designation = "K05E01A";
  const std::string two = MPCLine(r, Site("45"));
  EXPECT_EQ(Cols(two, 1, 5), "     ");
  EXPECT_EQ(Cols(two, 6, 12), "K05E01A");
  EXPECT_EQ(Cols(two, 13, 13), " ");
  EXPECT_EQ(Cols(two, 66, 71), "      ");
  EXPECT_EQ(Cols(two, 78, 80), "045");
  EXPECT_EQ(Cols(MPCLine(r, Site("")), 78, 80), "XXX");
  // A band without a letter (none, unrecognised) leaves column 71 blank.
  r.Target.Mag = 14.04L;
  r.Target.Band = 7;
  EXPECT_EQ(Cols(MPCLine(r, Site("645")), 66, 71), "14.0  ");
}

TEST(ReportLines, ExerciseTable) {
  const std::vector<std::string> titles = ExerciseTitleLines();
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0], std::string(80, ' '));
  EXPECT_EQ(titles[1],
            "                     Obs Date    Obs UT    Right Ascn.  Declination  App.       ");
  EXPECT_EQ(titles[2],
            "Object Name          Yr   M  D   H  M  S   Hr Mn Sec     \xB0  '  \"     Mag        ");
  const std::string line = ExerciseLine(Eros());
  EXPECT_EQ(line,
            "(433) Eros           2005 03 05  02 24 00  13 15 24.41  -00 30 00.0  09.46      ");
  ObsRec r = Eros();
  r.Target.MagResid = 0.08L;
  EXPECT_EQ(Cols(ExerciseLine(r), 70, 74), "09.5 ");
  r.Target.Mag = 0;
  EXPECT_EQ(Cols(ExerciseLine(r), 70, 74), "     ");
  r.Parms.ObjName = std::string(68, 'N');
  EXPECT_EQ(Cols(ExerciseLine(r), 1, 22), std::string(21, 'N') + "2");
}

TEST(ReportLines, RoundingNeverShows60Or24Or32) {
  struct Row {
    const char* name;
    double time;
    long double ra, dec;
    const char* mpcDate;    // columns 16-31
    const char* mpcRA;      // 33-43
    const char* mpcDec;     // 45-55
    const char* tableTime;  // 22-41
    const char* csvDateTime;
  };
  const Row rows[] = {
      {"seconds round up into the next day", 38416.0 + 86399.7 / 86400, 23.99999999L, 89.99999999L,
       "2005 03 06.00000", "00 00 00.00", "+90 00 00.0", "2005 03 06  00 00 00",
       "03-06-2005, 0:00:00 "},
      {"end of the month", 38442.0 + 86399.9 / 86400, 5.99999999L, -10.999999999L,
       "2005 04 01.00000", "06 00 00.00", "-11 00 00.0", "2005 04 01  00 00 00",
       "04-01-2005, 0:00:00 "},
      {"59.7 seconds", 38416.0 + 3599.7 / 86400, 1.0L + 59.996L / 3600, 0.0L, "2005 03 05.04166",
       "01 01 00.00", "+00 00 00.0", "2005 03 05  01 00 00", "03-05-2005, 1:00:00 "},
      // South of the equator keeps its sign when the arc seconds round to 0.
      {"just south of the equator", 38416.0 + 3599.7 / 86400, 1.0L + 59.996L / 3600, -0.00001L,
       "2005 03 05.04166", "01 01 00.00", "-00 00 00.0", "2005 03 05  01 00 00",
       "03-05-2005, 1:00:00 "},
  };
  for (const auto& row : rows) {
    ObsRec r = Eros();
    r.Parms.ObsTime = row.time;
    r.Target.RA = row.ra;
    r.Target.Dec = row.dec;
    const std::string mpc = MPCLine(r, Site("645"));
    EXPECT_EQ(Cols(mpc, 16, 31), row.mpcDate) << row.name;
    EXPECT_EQ(Cols(mpc, 33, 43), row.mpcRA) << row.name;
    EXPECT_EQ(Cols(mpc, 45, 55), row.mpcDec) << row.name;
    const std::string table = ExerciseLine(r);
    EXPECT_EQ(Cols(table, 22, 41), row.tableTime) << row.name;
    EXPECT_EQ(Cols(table, 44, 54), row.mpcRA) << row.name;
    EXPECT_EQ(Cols(table, 57, 67), row.mpcDec) << row.name;
    EXPECT_EQ(CSVLine(r).substr(11, 20), row.csvDateTime) << row.name;
  }
  ObsRec r = Eros();
  r.Target.RA = 23.9999999L;
  EXPECT_EQ(CSVLine(r), "(433) Eros,03-05-2005, 2:24:00 ,3434.600000,0.000000,-0.50000,9.5");
}

TEST(ReportLines, HalfSecondsRoundToEven) {
  // Mid-exposure times are often x.5 s: a true half, whatever the double's
  // last bit, goes to the even second in the table and the CSV.
  for (const double day : {38416.0, 2.0, 73050.0}) {
    for (int s = 8640; s < 8640 + 240; ++s) {
      ObsRec r = Eros();
      r.Parms.ObsTime = day + (s + 0.5) / 86400;
      const int want = s % 2 == 0 ? s : s + 1;
      const std::string sec = Pad(want % 60, 2);
      EXPECT_EQ(Cols(ExerciseLine(r), 37, 41), Pad(want / 60 % 60, 2) + " " + sec)
          << day << " + " << s << ".5 s";
      EXPECT_EQ(CSVLine(r).substr(28, 3), sec + " ") << day << " + " << s << ".5 s";
    }
  }
  // The Minor Planet Center's 0.00001 day is 864 ms: halves at 432 ms.
  ObsRec r = Eros();
  r.Parms.ObsTime = 38416.1 + 0.432 / 86400;
  EXPECT_EQ(Cols(MPCLine(r, Site("645")), 16, 31), "2005 03 05.10000");
  r.Parms.ObsTime = 38416.1 + 1.296 / 86400;
  EXPECT_EQ(Cols(MPCLine(r, Site("645")), 16, 31), "2005 03 05.10002");
}

TEST(ReportLines, CSVLinesAndQuoting) {
  EXPECT_EQ(CSVLine(Eros()), "(433) Eros,03-05-2005, 2:24:00 ,3434.600000,13.256780,-0.50000,9.5");
  ObsRec r = Eros();
  r.Parms.ObjName = "Eros, \"the lover\"";
  r.Target.Mag = 0;
  r.Parms.ObsTime = 38416.5 + 0.25 / 24;
  EXPECT_EQ(CSVLine(r),
            "\"Eros, \"\"the lover\"\"\",03-05-2005,12:15:00 ,3435.010417,13.256780,-0.50000,");
}

TEST(ReportLines, FormatNames) {
  struct Row {
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"john q public, MARY ANN JONES", "J. Q. Public, M. A. Jones"},
      {"j.r. smith", "J. R. Smith"},
      {"Smith, John", "Smith, John"},
      {"   ", ""},
      {"", ""},
      {"  ada   LOVELACE  ", "A. Lovelace"},
      {"o'brien", "O'brien"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormatNames(r.in), r.out) << r.in;
  EXPECT_EQ(AstromObsObj::FormatNames("j.r. smith"), "J. R. Smith");
}

TEST(ReportLines, HeaderLineBreaking) {
  // 120 characters of observers in initials form.
  std::string obs = "OBS ";
  for (int i = 0; obs.size() < 120; ++i)
    obs += (i ? ", " : "") + std::string("A. B. Observer") + char('a' + i);
  const auto lines = BreakHeaderLine(obs, "OBS");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_LE(lines[0].size(), 80u);
  EXPECT_EQ(lines[0].back(), ',');
  EXPECT_EQ(lines[1].substr(0, 4), "OBS ");
  EXPECT_EQ(lines[0] + " " + lines[1].substr(4), obs)
      << "nothing but the blank after the comma goes";

  // A bare comma keeps the letter after it.
  std::string bare = "MEA " + std::string(70, 'x') + ",yz," + std::string(20, 'w');
  const auto b = BreakHeaderLine(bare, "MEA");
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0] + b[1].substr(4), bare);

  // No comma at all: breaks between words, or hard at 80; never loops.
  std::string words = "CON " + std::string(50, 'a') + " " + std::string(50, 'b');
  const auto w = BreakHeaderLine(words, "CON");
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0], "CON " + std::string(50, 'a'));
  EXPECT_EQ(w[1], "CON " + std::string(50, 'b'));
  std::string word = "CON " + std::string(200, 'z');
  const auto h = BreakHeaderLine(word, "CON");
  ASSERT_EQ(h.size(), 3u);
  for (const auto& l : h) EXPECT_LE(l.size(), 80u);
  EXPECT_EQ(h[0] + h[1].substr(4) + h[2].substr(4), word);
}

TEST(ReportLines, MPCHeader) {
  UserRec u;
  u.ContactName = "john q public";
  u.Institution = "Kervanholt Observatory";
  u.Street = "1 Hill Road";
  u.CityStateZip = "Kervanholt 4711";
  u.Country = "Arvenland";
  u.EMail = "jqp@example.org";
  u.Observers = "mary ann jones, j.r. smith";
  u.Measurers = "Smith, John";
  SiteRec s = Site("645");
  s.Telescope = "0.4-m f/8 reflector";
  ClockReading now;
  now.year = 2005, now.month = 3, now.day = 5, now.hour = 14, now.minute = 7, now.second = 9;
  const std::vector<std::string> want = {
      "COD 645",
      "TEL 0.4-m f/8 reflector + CCD",
      "CON J. Q. Public, Kervanholt Observatory, 1 Hill Road, Kervanholt 4711, Arvenland",
      "CON [jqp@example.org]",
      "OBS M. A. Jones, J. R. Smith",
      "MEA Smith, John",
      "NET",
      "ACK Report Generated 2005/03/05 14:07:09",
  };
  // The CON line is 81 characters, so it breaks after its last comma.
  std::vector<std::string> got = MPCHeaderLines(u, s, now);
  std::vector<std::string> expect = want;
  expect[2] = "CON J. Q. Public, Kervanholt Observatory, 1 Hill Road, Kervanholt 4711,";
  expect.insert(expect.begin() + 3, "CON Arvenland");
  EXPECT_EQ(got, expect);

  // The default site names the telescope only; the line adds the CCD once.
  const std::vector<std::string> fromDefault = MPCHeaderLines(u, DefaultSite(), now);
  ASSERT_GE(fromDefault.size(), 2u);
  EXPECT_EQ(fromDefault[1], "TEL 0.40-m f/8 Ritchey-Chretien + CCD");

  UserRec empty;
  EXPECT_EQ(MPCHeaderLines(empty, Site(""), now),
            (std::vector<std::string>{"COD XXX", "OBS *NO OBSERVERS LISTED - EDIT USER PARAMETERS*",
                                      "NET", "ACK Report Generated 2005/03/05 14:07:09"}));
}

TEST(ReportLines, DefaultFileName) {
  ClockReading c;
  c.month = 3;
  c.day = 5;
  EXPECT_EQ(DefaultReportFileName(c), "Mar5RPT.TXT");
  c.month = 12;
  c.day = 31;
  EXPECT_EQ(DefaultReportFileName(c), "Dec31RPT.TXT");
}

class Report : public ::testing::Test {
 protected:
  Report() : obs(p, host) {
    p.clock.year = 2005;
    p.clock.month = 3;
    p.clock.day = 5;
    obs.Site = Site("645");
  }
  test::Scripted p;
  Host host;
  AstromObsObj obs;
};

TEST_F(Report, KeepsTimeOrderInAllOutputs) {
  ObsRec late = Eros(), early = Eros(), mid = Eros();
  late.Parms.ObsTime = 38416.2;
  late.Parms.ObjName = "late";
  early.Parms.ObsTime = 38416.05;
  early.Parms.ObjName = "early";
  mid.Parms.ObjName = "mid";
  obs.AddObservation(late.Target, late.Parms);
  EXPECT_TRUE(host.reportMenu);
  EXPECT_TRUE(host.viewPrintSave);
  EXPECT_FALSE(host.saved);
  obs.AddObservation(early.Target, early.Parms);
  obs.AddObservation(mid.Target, mid.Parms);

  obs.ShowExerciseReport();
  const AstromListModel& w = *obs.ListForm;
  EXPECT_TRUE(w.Visible);
  EXPECT_EQ(w.Caption, "Astrometric Results");
  EXPECT_EQ(w.SavedFileName, "Mar5RPT.TXT");
  ASSERT_EQ(w.Lines().size(), 6u);
  EXPECT_EQ(w.FirstDataLine, 3);
  EXPECT_EQ(w.Lines()[3].substr(0, 5), "early");
  EXPECT_EQ(w.Lines()[4].substr(0, 3), "mid");
  EXPECT_EQ(w.Lines()[5].substr(0, 4), "late");

  obs.ShowMPCReport();
  EXPECT_TRUE(w.MPCHeader);
  EXPECT_TRUE(w.EditHeaderVisible);
  EXPECT_EQ(w.Caption, "Formatted Astrometric Results -  (Modified)");
  const int first = w.FirstDataLine;
  ASSERT_EQ(w.Lines().size(), static_cast<std::size_t>(first + 3));
  EXPECT_EQ(w.Lines()[static_cast<std::size_t>(first - 1)], std::string(80, ' '));
  EXPECT_EQ(Cols(w.Lines()[static_cast<std::size_t>(first)], 16, 31), "2005 03 05.05000");
  EXPECT_EQ(Cols(w.Lines()[static_cast<std::size_t>(first + 2)], 16, 31), "2005 03 05.20000");

  const std::string csv = CSVText(obs.Observations);
  EXPECT_LT(csv.find("\r\nearly,"), csv.find("\r\nmid,"));
  EXPECT_LT(csv.find("\r\nmid,"), csv.find("\r\nlate,"));

  // Clearing empties the report and rebuilds the visible table.
  obs.SetParms(nullptr, nullptr, nullptr, true);
  EXPECT_EQ(obs.Observations.Count(), 0);
  EXPECT_TRUE(host.saved);
  EXPECT_FALSE(host.viewPrintSave);
  EXPECT_EQ(w.Lines().size(), 3u);
  EXPECT_FALSE(w.MPCHeader);
}

TEST_F(Report, SetParmsCopiesOnlyWhatIsGiven) {
  obs.CamFromFile = 1;
  UserRec u;
  u.Observers = "a b";
  CamRec c;
  c.Name = "ST-7";
  obs.AddObservation(Eros().Target, Eros().Parms);
  obs.SetParms(&u, nullptr, nullptr, false);
  EXPECT_EQ(obs.User, u);
  EXPECT_EQ(obs.CamFromFile, 1);
  EXPECT_EQ(obs.Site.Code, "645");
  obs.SetParms(nullptr, &c, nullptr, false);
  EXPECT_EQ(obs.Camera.Name, "ST-7");
  EXPECT_EQ(obs.CamFromFile, 0);
  EXPECT_EQ(obs.Observations.Count(), 1);
  EXPECT_FALSE(obs.ListForm->Visible) << "a hidden window stays hidden";
}

TEST_F(Report, GoldenMinorPlanetCenterReport) {
  obs.User.Observers = "john q public, MARY ANN JONES";
  obs.Site.Telescope = "0.4-m reflector";
  p.clock.hour = 9;
  p.clock.minute = 30;
  ObsRec second = Eros();
  second.Parms.ObsTime = 38416.1 + 1.0 / 24;
  second.Target.RA = 13.2555L;
  second.Target.Dec = -0.49L;
  second.Target.Mag = 0;
  obs.AddObservation(second.Target, second.Parms);
  obs.AddObservation(Eros().Target, Eros().Parms);
  host.saved = true;
  obs.ShowMPCReport();
  const std::vector<std::string> want = {
      "COD 645",
      "TEL 0.4-m reflector + CCD",
      "OBS J. Q. Public, M. A. Jones",
      "NET",
      "ACK Report Generated 2005/03/05 09:30:00",
      std::string(80, ' '),
      "00433A898 PA* C2005 03 05.10000 13 15 24.41 -00 30 00.0          09.5 V      645",
      "00433A898 PA* C2005 03 05.14167 13 15 19.80 -00 29 24.0                      645",
  };
  EXPECT_EQ(obs.ListForm->Lines(), want);
  EXPECT_EQ(obs.ListForm->FirstDataLine, 6);
  EXPECT_EQ(obs.ListForm->Caption, "Formatted Astrometric Results - ");
}

std::string ReadText(const fs::path& f) {
  std::ifstream in(f, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

FileChoice Pick(const fs::path& f) { return FileChoice{{f}, 1}; }

TEST_F(Report, CSVExportWritesTheExample) {
  const fs::path folder = test::FreshFolder("reports");
  host.folder = folder;
  obs.AddObservation(Eros().Target, Eros().Parms);
  p.expectSave(Pick(folder / "mar5rpt.csv"));
  p.expectMessage(ModalResult::OK, "Text File Written",
                  "Report Written to MAR5RPT.CSV for Spreadsheet Input.");
  ASSERT_TRUE(obs.SaveSpreadsheet());
  ASSERT_EQ(p.choosers().size(), 1u);
  const FileChooser& c = p.choosers()[0];
  EXPECT_EQ(c.caption, "Save Report for Spreadsheet");
  EXPECT_EQ(c.fileName, "Mar5RPT.CSV");
  EXPECT_EQ(c.folder, folder);
  EXPECT_EQ(c.filter, "Comma-Delimited Text  (*.CSV) |*.CSV");

  const fs::path written = folder / "MAR5RPT.CSV";
  ASSERT_TRUE(fs::exists(written)) << "the folder keeps its case, the name is upper-cased";
  EXPECT_EQ(ReadText(written),
            "Astrometric Results\r\n"
            "\r\n"
            "Object Name,Date,Time,Julian Date*,Right Ascension(hrs),Declination(deg),Magnitude\r\n"
            "(433) Eros,03-05-2005, 2:24:00 ,3434.600000,13.256780,-0.50000,9.5\r\n"
            "\r\n"
            ",,,* minus 2450000.0\r\n");
  EXPECT_EQ(obs.ListForm->CSVFileName, "MAR5RPT.CSV");
  EXPECT_EQ(obs.ListForm->SavedFolder, folder);
  EXPECT_TRUE(obs.ListForm->Printed);
  EXPECT_EQ(host.written, std::vector<fs::path>{written});
}

TEST_F(Report, EmptyReportAndOverwriteQuestion) {
  const fs::path folder = test::FreshFolder("csv");
  WriteFileAtomic(folder / "OLD.CSV", std::string_view("old"));
  obs.ListForm->CSVFileName = "OLD.CSV";
  obs.ListForm->SavedFolder = folder;
  // No brings the dialog back; Cancel there writes nothing.
  p.expectSave(Pick(folder / "old.csv"));
  p.expectMessage(ModalResult::No, "Replace Existing File?",
                  "OLD.CSV Already Exists!\n\nDo You Want to Overwrite It?");
  p.expectSave(std::nullopt);
  EXPECT_FALSE(obs.SaveSpreadsheet());
  EXPECT_EQ(ReadText(folder / "OLD.CSV"), "old");
  EXPECT_EQ(obs.ListForm->CSVFileName, "OLD.CSV");
  EXPECT_TRUE(host.written.empty());

  // Yes overwrites; an empty report still has its title and closing lines.
  p.expectSave(Pick(folder / "OLD.CSV"));
  p.expectMessage(ModalResult::Yes, "Replace Existing File?");
  p.expectMessage(ModalResult::OK, "Text File Written");
  ASSERT_TRUE(obs.SaveSpreadsheet());
  EXPECT_EQ(ReadText(folder / "OLD.CSV"),
            "Astrometric Results\r\n\r\n"
            "Object Name,Date,Time,Julian Date*,Right Ascension(hrs),Declination(deg),Magnitude\r\n"
            "\r\n,,,* minus 2450000.0\r\n");
}

TEST_F(Report, FailedWriteShowsTheErrorAndCountsNothing) {
  const fs::path missing = test::FreshFolder("gone") / "no" / "such";
  host.noConfirm = true;
  p.expectSave(Pick(missing / "x.csv"));
  p.expectMessage(ModalResult::OK, "File Error!", "X.CSV");
  EXPECT_FALSE(obs.SaveSpreadsheet());
  EXPECT_FALSE(obs.ListForm->Printed);
  EXPECT_TRUE(host.written.empty());
  EXPECT_FALSE(fs::exists(missing / "X.CSV"));
}

TEST_F(Report, NoConfirmAsksNothing) {
  const fs::path folder = test::FreshFolder("quiet");
  WriteFileAtomic(folder / "R.CSV", std::string_view("old"));
  host.noConfirm = true;
  p.expectSave(Pick(folder / "r.csv"));
  ASSERT_TRUE(obs.SaveSpreadsheet());
  EXPECT_NE(ReadText(folder / "R.CSV"), "old");
}

}  // namespace
}  // namespace hv
