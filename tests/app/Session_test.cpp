#include "app/Session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/Folders.h"
#include "app/OptionsDlg.h"
#include "app/Password.h"
#include "app/SiteCamDlgs.h"
#include "app/Startup.h"
#include "astrometry/Baseline.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCCnvrt.h"
#include "astrometry/GSCRegions.h"
#include "images/BoxParmsDlg.h"
#include "support/Files.h"
#include "support/Format.h"
#include "tests/common/TestEnv.h"
#include "tools/ConeSearch.h"
#include "tools/ConeServe.h"
#include "tools/LoopbackServer.h"
#include "tools/SampleCatalog.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
  auto b = ReadWholeFile(p);
  return std::string(b.begin(), b.end());
}

// The image windows' host for windows made in a test.
struct WindowHost : ImageWindowHost {
  OptsRec settings;
  bool zoom = true;
  const OptsRec& Settings() const override { return settings; }
  OptsRec& MutableSettings() override { return settings; }
  void OptionsChanged() override {}
  GraphicsFileObj* ImageFile(int) override { return nullptr; }
  bool& ZoomHintDue() override { return zoom; }
};

ScriptedPlatform::DialogAnswer LoginAs(std::string name1, std::string table, ModalResult finished) {
  return [=](DialogModel& m) {
    auto& d = static_cast<LoginDlgModel&>(m);
    d.Stud[0] = name1;
    d.LabTbl = table;
    return d.OKBtnClick() ? ModalResult::OK : ModalResult::Cancel;
  };
}

// A program folder with the shipped files (or without them), the data
// folder as the current folder, and a catalog disc so no drive is asked for.
class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    fs::current_path(data);
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
    p.clock = {2026, 3, 7, 9, 5, 3, 0, 60};
    s = std::make_unique<BendulakSession>(p);
    s->Services.ReportCreated = [this](AstromObsObj&) { ++reportsMade; };
    Bendulak = s.get();
  }
  void TearDown() override {
    Bendulak = nullptr;
    LoginToFill = nullptr;
  }
  void Ship() {
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
  }
  StartupResources Resources() {
    StartupResources r;
    auto load = [](const char* what) {
      return [what](const fs::path& f) -> std::optional<std::string> {
        if (fs::is_regular_file(f)) return std::nullopt;
        return std::string("Cannot load the ") + what + " " + f.string();
      };
    };
    r.LoadTitlePicture = load("picture");
    r.LoadCursor = load("cursor");
    return r;
  }
  void Start(std::vector<std::string> args = {}) {
    StartupFacts f;
    f.arguments = std::move(args);
    f.currentFolder = data;
    FormCreate(*s, f, Resources());
  }
  fs::path Log() const { return data / "VESKLOG.LOG"; }

  test::Scripted p;
  fs::path prog, data;
  std::unique_ptr<BendulakSession> s;
  int reportsMade = 0;
  WindowHost windowHost;
};

const char* const LoginEntry = "Login: MORVETIK\r\nDate: 03-07-2026\r\nTime:  9:05:03.00\r\n";

TEST_F(SessionTest, PlainStartWithTheShippedFilesAsksNothingAndAwaitsTheLogin) {
  Ship();
  Start();
  EXPECT_EQ(p.transcript().size(), 0u);
  EXPECT_EQ(s->Settings.ProgramFolder, WithSeparator(prog));
  EXPECT_TRUE(s->Settings.ExerciseMode);
  EXPECT_FALSE(s->SessionStarted);
  EXPECT_EQ(s->Caption, "VESK Exercise - Halvardin");
  EXPECT_EQ(s->PaintMode, 0);
  EXPECT_EQ(s->Settings.StartImageFolder, s->Settings.ProgramFolder);
  EXPECT_EQ(BoxParms, s->Settings.BoxParms);
  ASSERT_TRUE(s->HelpTopics);
  EXPECT_EQ(s->HelpTopics->Items.front().Title, "Getting Started");
  EXPECT_FALSE(fs::exists(Log()));
  EXPECT_EQ(s->Menu.Snapshot(),
            "FileMI &File\n"
            "  Login1 &Login...\n"
            "  ImageFileType1 Set Image &File Type... [disabled]\n"
            "  Clear1 &Clear Images/Ref. Fields [disabled]\n"
            "    Object1 &Images and Reference Fields\n"
            "    FieldObservationSet1 &Reference Fields Only\n"
            "  Load1 L&oad Image Files [disabled]\n"
            "    MultipleLoad1 &Multiple Load\n"
            "    LoadImg1 Image &1\n"
            "    LoadImg2 Image &2 [disabled]\n"
            "    LoadImg3 Image &3 [disabled]\n"
            "    LoadImg4 Image &4 [disabled]\n"
            "  PrefSep - [hidden]\n"
            "  Preferences1 &Preferences... [disabled] [hidden]\n"
            "    Options1 &Options and Parameters...\n"
            "    SaveUpdates1 &Save Updates [disabled]\n"
            "    ConvertGSC1 Convert &GSC...\n"
            "  Exit1 &Exit\n"
            "ImageMI &Images [disabled]\n"
            "  ViewAdjust1 &View/Adjust...\n"
            "  Measure1 &Measure\n"
            "    MeasImg1 Image &1 [disabled]\n"
            "    MeasImg2 Image &2 [disabled]\n"
            "    MeasImg3 Image &3 [disabled]\n"
            "    MeasImg4 Image &4 [disabled]\n"
            "  Blink1 &Blink... [disabled]\n"
            "ReportMI &Report [disabled]\n"
            "  ViewEdit1 &View/Print/Save Text [disabled]\n"
            "    ExerciseFrmt1 &Exercise Format...\n"
            "    SpreadsheetFormat1 S&preadsheet Format (.CSV)...\n"
            "    FrmtSep - [hidden]\n"
            "    ShortFormat1 &Short Format... [hidden] [unavailable]\n"
            "    LongFormat1 &Long Format... [hidden] [unavailable]\n"
            "  Baseline1 Compute &Baseline...\n"
            "  SpreadSheet1 Access &Spreadsheet [disabled]\n"
            "HelpMi &Help\n"
            "  OnHelp1 On &Help\n"
            "  Topics1 &Topics...\n"
            "  User1 &User [disabled]\n"
            "  AboutThisExercise1 &About...\n");
}

TEST_F(SessionTest, EachMissingShippedFileGivesItsOwnMessageAndTheStartGoesOn) {
  p.expectMessage(ModalResult::OK, "Halvardin", "Cannot load the picture");
  p.expectMessage(ModalResult::OK, "Help File Error", "ASTRMHLP.LST is Invalid.");
  p.expectMessage(ModalResult::OK, "File Error", "Cannot Access Help List.");
  p.expectMessage(ModalResult::OK, "Halvardin", "Cannot load the cursor");
  Start({"NOMAD"});
  EXPECT_FALSE(s->HelpTopics);
  EXPECT_TRUE(s->SessionStarted);
  EXPECT_EQ(s->Caption, "VESK Exercise - Halvardin");
  EXPECT_EQ(s->LoginData.UserID, "ASTRM");
  EXPECT_EQ(ReadText(Log()).substr(0, std::strlen(LoginEntry)), LoginEntry);
}

// The instructor's options accept an empty logo name: it means no title
// picture and no message at start; a name that is missing is still reported.
TEST_F(SessionTest, AnEmptyLogoNameStartsWithoutAPictureOrAMessage) {
  Ship();
  struct Row {
    const char* name;
    const char* logo;
    const char* message;  // none when nullptr
  } rows[] = {
      {"empty name", "", nullptr},
      {"shipped name", "VESKLOGO.BMP", nullptr},
      {"missing file", "GONE.BMP", "Cannot load the picture"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s = std::make_unique<BendulakSession>(p);
    Bendulak = s.get();
    OptsObj o(p);
    ASSERT_TRUE(o.Init(OptionsFileName, ProgramVersion));
    o.Settings.LogoBitmap = row.logo;
    ASSERT_TRUE(o.WriteOptsFile(o.Settings.DataFolder));
    if (row.message) p.expectMessage(ModalResult::OK, "Halvardin", row.message);
    const std::size_t before = p.transcript().size();
    Start();
    EXPECT_EQ(s->Settings.LogoBitmap, row.logo);
    EXPECT_EQ(p.transcript().size(), before + (row.message ? 1u : 0u));
    EXPECT_TRUE(p.allAnswered());
  }
}

TEST_F(SessionTest, CommandLineVariants) {
  fs::path cwd = data;
  fs::create_directories(cwd / "Cat Dir");
  struct Row {
    const char* name;
    std::vector<std::string> args;
    bool test;
    std::string gsc;
    GSCFormatCode format;
    CatalogCode catalog;
    bool exercise;
    bool workHere;
  } rows[] = {
      {"drive letter path",
       {"d:\\gsc"},
       false,
       "D:\\GSC\\",
       GSCFormatCode::Quillan,
       CatalogCode::GSC,
       false,
       true},
      {"folder path keeps its case",
       {"/mnt/Gsc"},
       false,
       "/mnt/Gsc/",
       GSCFormatCode::Quillan,
       CatalogCode::GSC,
       false,
       true},
      {"relative folder",
       {"Cat", "Dir"},
       false,
       (cwd / "Cat Dir").string() + "/",
       GSCFormatCode::Quillan,
       CatalogCode::GSC,
       false,
       true},
      {"nomad", {"nomad"}, false, "", GSCFormatCode::Native, CatalogCode::NOMAD, false, true},
      {"usno lower case",
       {"usno-b1.0"},
       false,
       "",
       GSCFormatCode::Native,
       CatalogCode::USNOB1,
       false,
       true},
      {"nothing", {}, false, "", GSCFormatCode::Native, CatalogCode::GSC, true, false},
      {"nothing in test mode", {}, true, "", GSCFormatCode::Native, CatalogCode::GSC, false, false},
  };
  for (const Row& r : rows) {
    OptsRec o;
    o.TestMode = r.test;
    o.StartImageFolder = "/images/";
    o.WorkFolder = "/old/";
    fs::path imageFolder;
    ApplyCommandLine(r.args, cwd, o, imageFolder);
    EXPECT_EQ(o.GSCPath1, r.gsc) << r.name;
    EXPECT_EQ(o.GSCPath2, r.gsc) << r.name;
    EXPECT_EQ(o.GSCFormat, r.format) << r.name;
    EXPECT_EQ(o.StarCatalog, r.catalog) << r.name;
    EXPECT_EQ(o.ExerciseMode, r.exercise) << r.name;
    fs::path work = r.workHere ? fs::path(cwd.string() + "/") : fs::path();
    EXPECT_EQ(o.WorkFolder, work) << r.name;
    EXPECT_EQ(imageFolder, r.workHere ? work : fs::path("/images/")) << r.name;
  }
}

TEST_F(SessionTest, LoginStartsTheSessionAndLogsItLineByLine) {
  Ship();
  Start();
  p.expectDialog("TLoginDlg", LoginAs("Ann B. Cole", "12", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  CurFldParms.RACenter = 3;
  s->Login1Click();
  EXPECT_TRUE(s->SessionStarted);
  EXPECT_EQ(CurFldParms.RACenter, 0);  // every session starts with no field
  EXPECT_EQ(CurFldParms.MagLimit, s->Settings.MagLimit);
  EXPECT_EQ(s->PaintMode, 1);
  EXPECT_EQ(s->LoginData.UserID, "ACole");
  EXPECT_EQ(s->Settings.WorkFolder, s->Settings.DataFolder / "Users" / "ACole" / "");
  EXPECT_TRUE(fs::is_directory(s->Settings.WorkFolder));
  EXPECT_FALSE(s->Menu["Login1"].enabled);
  EXPECT_TRUE(s->Menu["ReportMI"].enabled);
  EXPECT_TRUE(s->Menu["Load1"].enabled);
  ASSERT_TRUE(s->Report);
  EXPECT_EQ(reportsMade, 1);
  EXPECT_EQ(s->Report->Camera, s->Settings.DefaultCamera);
  EXPECT_EQ(s->Report->Site, s->Settings.DefaultSite);
  EXPECT_EQ(s->ReportFolder(), s->Settings.DataFolder);
  const std::string entry =
      "Login: MORVETIK\r\nDate: 03-07-2026\r\nTime:  9:05:03.00\r\nName1: Ann B. Cole\r\n"
      "Name2: \r\nName3: \r\nName4: \r\nTable: 12\r\nEndLogin: MORVETIK\r\n";
  EXPECT_EQ(ReadText(Log()), entry);

  // The prints carry the table typed at login, not the settings' (empty).
  ASSERT_TRUE(s->Settings.TableNumber.empty());
  PrintHeader h = s->ListPrintHeader();
  EXPECT_TRUE(h.exerciseSession);
  EXPECT_EQ(h.names[0], "Ann B. Cole");
  EXPECT_EQ(h.tableNumber, "12");
  // A login without a table falls back to the settings' number.
  s->LoginData.TableNumber.clear();
  s->Settings.TableNumber = "3";
  EXPECT_EQ(s->ListPrintHeader().tableNumber, "3");
  s->LoginData.TableNumber = "12";

  // The exercise asks before it ends; 26 hours later the logout follows.
  p.expectMessage(ModalResult::No, "** Exercise Finished? **",
                  "Are You Sure You Want to Quit This Exercise?");
  EXPECT_FALSE(s->FormCloseQuery());
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **");
  EXPECT_TRUE(s->FormCloseQuery());
  EXPECT_TRUE(s->FormCloseQuery());  // confirmed: no second question
  p.monotonic = 26LL * 3600 * 1000;
  p.clock = {2026, 3, 8, 11, 5, 3, 0, 60};
  s->FormClose();
  EXPECT_EQ(
      ReadText(Log()),
      entry +
          "Logout: MORVETIK\r\nDate: 03-08-2026\r\nTime: 11:05:03.00\r\nName1: Ann B. Cole\r\n"
          "Name2: \r\nName3: \r\nName4: \r\nTable: 12\r\n"
          "Elapsed Time: 1Days,  2:00:00.00\r\nEndLogout: MORVETIK\r\n");
}

TEST_F(SessionTest, UnsafeUserIDsGetASafeFolderAndKeepTheirName) {
  Ship();
  Start();
  p.expectDialog("TLoginDlg", LoginAs("x ../..", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  s->Login1Click();
  EXPECT_EQ(s->LoginData.UserID, "x../..");
  fs::path users = s->Settings.DataFolder / "Users";
  EXPECT_EQ(s->Settings.WorkFolder, users / "x..%2F.%2E" / "");
  EXPECT_TRUE(fs::is_directory(users / "x..%2F.%2E"));
}

TEST_F(SessionTest, InstructorLoginRunsThePasswordAndOptionsDialogs) {
  Ship();
  Start();
  int asked = 0;
  s->Services.PasswordDialog = [&](const std::string& pw, const std::string&) {
    EXPECT_EQ(pw, "QORV");
    return ++asked < 2 ? ModalResult::No : ModalResult::OK;  // one wrong try
  };
  s->Services.OptionsDialog = [](OptsObj& o) {
    o.Settings.TableNumber = "42";
    return SessionServices::OptionsOutcome{ModalResult::OK};
  };
  p.expectDialog("TLoginDlg", LoginAs("instructor", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  p.expectMessage(ModalResult::Yes, "Retain Options Access?");
  s->Login1Click();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(s->Settings.TableNumber, "42");
  EXPECT_TRUE(fs::exists(s->Settings.DataFolder / "ASTXOPTS.INI"));
  EXPECT_TRUE(s->OptionsAccess);
  EXPECT_TRUE(s->Menu.Usable("Options1"));
  EXPECT_EQ(s->LoginData.UserID, "instruct");
  EXPECT_TRUE(fs::is_directory(s->Settings.DataFolder / "Users" / "instruct"));
}

TEST_F(SessionTest, InstructorLoginThroughThePasswordAndOptionsDialogModels) {
  Ship();
  Start();
  auto type = [](std::string entry) {
    return [entry](DialogModel& m) {
      auto& d = static_cast<TPasswordDlg&>(m);
      d.Password = entry;
      return d.OKBtnClick();
    };
  };
  p.expectDialog("TLoginDlg", LoginAs("Instructor", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  p.expectDialog("TPasswordDlg", type("qorv"));
  p.expectDialog("TPasswordDlg", type("QORV"));
  p.expectDialog("TOptionsDlg", [this](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    EXPECT_EQ(OptsToEdit, s->Opts.get());
    d.FormActivate();
    d.TblNumEd = "42";
    return d.OKBtnClick();
  });
  p.expectMessage(ModalResult::No, "Retain Options Access?");
  s->Login1Click();
  EXPECT_EQ(s->Settings.TableNumber, "42");
  EXPECT_FALSE(s->OptionsAccess);
  OptsObj back(p);
  back.Settings.ProgVersion = ProgramVersion;
  ASSERT_TRUE(back.ReadOptsFile(s->Settings.DataFolder / "ASTXOPTS.INI"));
  EXPECT_EQ(back.Settings.TableNumber, "42");
}

TEST_F(SessionTest, RefusedInstructorPasswordGivesNoOptionsAndTestModeAsksNoRetainQuestion) {
  Ship();
  Start();
  auto type = [](std::string entry) {
    return [entry](DialogModel& m) {
      auto& d = static_cast<TPasswordDlg&>(m);
      d.Password = entry;
      return d.OKBtnClick();
    };
  };
  p.expectDialog("TLoginDlg", LoginAs("Instructor", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  for (const char* wrong : {"a", "b", "c"}) p.expectDialog("TPasswordDlg", type(wrong));
  p.expectMessage(ModalResult::OK, "Options Access Denied!", "Too Many Invalid Passwords!");
  s->Login1Click();
  EXPECT_FALSE(s->OptionsAccess);
  EXPECT_FALSE(s->Menu.Usable("Options1"));

  s->Settings.TestMode = s->Opts->Settings.TestMode = true;
  p.expectDialog("TLoginDlg", LoginAs("Instructor", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  p.expectDialog("TPasswordDlg", type("QORV"));
  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    EXPECT_TRUE(d.TestBox);
    return d.CancelBtnClick();
  });
  s->Login1Click();  // no "Retain Options Access?" in test mode
  EXPECT_TRUE(s->OptionsAccess);
}

TEST_F(SessionTest, OptionsDialogOkSavesAndCancelRestores) {
  Ship();
  Start();
  s->OptionsAccess = true;
  OptsRec before = s->Opts->Settings;
  std::string workingTable = s->Settings.TableNumber;
  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    d.TblNumEd = "13";
    d.RdSkyBox = !d.RdSkyBox;
    return d.CancelBtnClick();
  });
  s->Preferences1Click();
  EXPECT_EQ(s->Opts->Settings, before);
  EXPECT_EQ(s->Settings.TableNumber, workingTable);
  EXPECT_FALSE(s->UpdatesPending);

  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    d.TblNumEd = "13";
    return d.OKBtnClick();
  });
  s->Preferences1Click();
  EXPECT_EQ(s->Settings.TableNumber, "13");
  EXPECT_EQ(s->Opts->Settings.TableNumber, "13");
  EXPECT_FALSE(s->UpdatesPending);  // written
  OptsObj back(p);
  back.Settings.ProgVersion = ProgramVersion;
  ASSERT_TRUE(back.ReadOptsFile(s->Settings.DataFolder / "ASTXOPTS.INI"));
  EXPECT_EQ(back.Settings.TableNumber, "13");
}

TEST_F(SessionTest, DefaultUserSessionExitsWithoutAQuestion) {
  Ship();
  Start({"NOMAD"});
  EXPECT_TRUE(s->FormCloseQuery());
  s->FormClose();
  std::string log = ReadText(Log());
  EXPECT_NE(log.find("Name1: Astrometry Module\r\n"), std::string::npos);
  EXPECT_NE(log.find("Elapsed Time:  0:00:00.00\r\nEndLogout: MORVETIK\r\n"), std::string::npos);
}

TEST_F(SessionTest, ReminderReplacesTheQuestionOnceImagesWereListed) {
  Ship();
  Start();
  p.expectDialog("TLoginDlg", LoginAs("Kim Westerhaven", "3", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  s->Login1Click();
  s->PaintMode = 2;
  p.expectMessage(ModalResult::Cancel, "** Exercise Finished? **", "The report is not kept");
  EXPECT_FALSE(s->FormCloseQuery());
  EXPECT_NE(p.messages().back().text.find("\r\nSelect \"OK\" to Quit Exercise, \"Cancel\" to "
                                          "Continue."),
            std::string::npos);
  // A reminder that cannot be read: its error, then the plain question.
  fs::remove(prog / "REMINDER.AST");
  p.expectMessage(ModalResult::OK, "File Error!", "Cannot Access Reminder File!");
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **", "Are You Sure");
  EXPECT_TRUE(s->FormCloseQuery());
}

TEST_F(SessionTest, ClearCommandsAndBusySlots) {
  Ship();
  Start({"NOMAD"});
  for (int slot : {0, 2}) {
    auto w = std::make_unique<TImageForm1>(p, windowHost);
    w->PlateSoln.Solved = true;
    w->RefsLocated = true;
    s->ImageWindows[static_cast<std::size_t>(slot)] = std::move(w);
  }
  s->Menu.Enable("Clear1", true);
  s->Menu.Check("LoadImg1", true);
  s->Menu.Check("MeasImg1", true);

  // Busy per slot: freeing one slot leaves the shared commands off while
  // another is still in use.
  s->SlotBusy(0, true);
  s->SlotBusy(2, true);
  s->SlotBusy(0, false);
  EXPECT_FALSE(s->Menu["Clear1"].enabled);
  EXPECT_FALSE(s->Menu["ImageFileType1"].enabled);
  EXPECT_TRUE(s->Menu["LoadImg1"].enabled);
  EXPECT_FALSE(s->Menu["LoadImg3"].enabled);
  s->SlotBusy(2, false);
  EXPECT_TRUE(s->Menu["Clear1"].enabled);
  EXPECT_FALSE(s->Menu["MultipleLoad1"].enabled);  // image 1 is loaded

  p.expectMessage(ModalResult::Yes, "Verify Clear", "Clear Field and Reference Star Parameters?");
  s->RefFieldStale = false;
  CurFldParms.RACenter = 5;
  s->Settings.FieldSize = 12;
  s->FieldObservationSet1Click();
  EXPECT_EQ(CurFldParms.RACenter, 0);
  EXPECT_EQ(CurFldParms.FieldSize, 12.0f);
  for (int slot : {0, 2}) {
    EXPECT_FALSE(s->ImageWindows[static_cast<std::size_t>(slot)]->PlateSoln.Solved);
    EXPECT_FALSE(s->ImageWindows[static_cast<std::size_t>(slot)]->RefsLocated);
  }
  EXPECT_TRUE(s->RefFieldStale);
  EXPECT_FALSE(s->Menu["MeasImg1"].checked);
  EXPECT_TRUE(s->ImageWindows[0]);

  p.expectMessage(ModalResult::No, "Verify Clear",
                  "Clear Current Images, Reference Fields and Parameters?");
  s->Object1Click();
  EXPECT_TRUE(s->ImageWindows[0]);
  p.expectMessage(ModalResult::Yes, "Verify Clear");
  s->Report->Camera.Name = "From an image";
  s->Report->Site.Name = "Kept";
  CurFldParms.DecCenter = 5;
  s->Object1Click();
  EXPECT_EQ(CurFldParms.DecCenter, 0);
  EXPECT_EQ(s->Report->Camera, s->Settings.DefaultCamera);  // camera only
  EXPECT_EQ(s->Report->Site.Name, "Kept");
  EXPECT_FALSE(s->ImageWindows[0]);
  EXPECT_FALSE(s->ImageWindows[2]);
  EXPECT_FALSE(s->Menu["Clear1"].enabled);
  EXPECT_FALSE(s->Menu["LoadImg1"].checked);
  EXPECT_TRUE(s->Menu["MultipleLoad1"].enabled);
  EXPECT_FALSE(s->Menu["LoadImg2"].enabled);

  s->Settings.NoConfirm = true;  // no question at all
  s->Object1Click();
  s->FieldObservationSet1Click();
}

TEST_F(SessionTest, SettingsChangesAreSavedAtOnceAndAFailedSaveStaysPending) {
  Ship();
  Start({"NOMAD"});
  s->Settings.TableNumber = "5";
  s->OptionsChanged();
  EXPECT_FALSE(s->UpdatesPending);
  EXPECT_FALSE(s->Menu["SaveUpdates1"].enabled);
  EXPECT_TRUE(fs::exists(data / "ASTXOPTS.INI"));
  EXPECT_EQ(s->Opts->Settings.TableNumber, "5");

  // Administrator: each change offers the all-users copy until Yes.
  s->Settings.AdminMode = true;
  p.expectMessage(
      ModalResult::No, "Use As Defaults for All Users?",
      "Save Updated Parameters in " + (s->Settings.ProgramFolder / "ASTXOPTS.INI").string());
  s->OptionsChanged();
  EXPECT_FALSE(fs::exists(prog / "ASTXOPTS.INI"));
  p.expectMessage(ModalResult::Yes, "Use As Defaults for All Users?");
  s->OptionsChanged();
  EXPECT_TRUE(fs::exists(prog / "ASTXOPTS.INI"));
  EXPECT_FALSE(s->OfferAllUsers);
  s->Settings.AdminMode = false;

  // The data folder disappears: the save fails and stays pending, so the
  // exit tries again.
  fs::path gone = s->Settings.DataFolder;
  s->Settings.DataFolder = data / "gone" / "";
  p.expectMessage(ModalResult::OK, "");
  s->OptionsChanged();
  EXPECT_TRUE(s->UpdatesPending);
  EXPECT_TRUE(s->Menu["SaveUpdates1"].enabled);
  s->Settings.DataFolder = gone;
  s->Settings.TableNumber = "6";
  EXPECT_TRUE(s->FormCloseQuery());
  EXPECT_FALSE(s->UpdatesPending);
  OptsObj check(p);
  check.Settings.ProgVersion = ProgramVersion;
  ASSERT_TRUE(check.ReadOptsFile(data / "ASTXOPTS.INI"));
  EXPECT_EQ(check.Settings.TableNumber, "6");
}

// The instructor ticks the online catalog once, with the size and limit
// the settings already hold: the choice outlives the next options dialog
// and is read back at the next start.
TEST_F(SessionTest, OnlineCatalogChoiceIsSavedAndOutlivesTheOptionsDialog) {
  Ship();
  Start();
  s->OptionsAccess = true;
  CreateCatalogObjects(p, s->Settings);
  ResetFldParms(s->Settings);
  std::vector<cone::Star> stars(1);
  stars[0] = {"n1", 6.0L, 0.0L, 12.0f, 11.5f, 11.0f};
  loopback::Server server(cone::ServeStars(stars), 1, std::chrono::seconds(10));
  s->Settings.CatalogURL = server.Url("/cone?");
  ASSERT_EQ(s->Settings.StarCatalog, CatalogCode::GSC);
  const float size = s->Settings.FieldSize, limit = s->Settings.MagLimit;
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    d.RAHrText = "6";
    d.OnLnChecked = true;
    d.OnLnBoxClick();
    return d.OKBtnClick();
  });
  EXPECT_TRUE(s->LoadReferenceField(45000.5));
  EXPECT_EQ(s->Settings.FieldSize, size);
  EXPECT_EQ(s->Settings.MagLimit, limit);
  EXPECT_EQ(s->Opts->Settings.StarCatalog, CatalogCode::NOMAD);
  EXPECT_FALSE(s->UpdatesPending);

  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  s->Preferences1Click();
  EXPECT_EQ(s->Settings.StarCatalog, CatalogCode::NOMAD);
  OptsObj back(p);
  back.Settings.ProgVersion = ProgramVersion;
  ASSERT_TRUE(back.ReadOptsFile(s->Settings.DataFolder / "ASTXOPTS.INI"));
  EXPECT_EQ(back.Settings.StarCatalog, CatalogCode::NOMAD);
  server.Stop();
  FreeCatalogObjects();
  ResetFldParms(OptsRec{});
}

// The administrator changes catalog and field size in one OK of the field
// dialog: the all-users question comes once (the scripted platform fails on
// a second), and Yes puts the whole change into the program folder.
TEST_F(SessionTest, OneFieldDialogOKChangingCatalogAndSizeAsksForAllUsersOnce) {
  Ship();
  Start();
  s->Settings.AdminMode = true;
  CreateCatalogObjects(p, s->Settings);
  ResetFldParms(s->Settings);
  std::vector<cone::Star> stars(1);
  stars[0] = {"n1", 6.0L, 0.0L, 12.0f, 11.5f, 11.0f};
  loopback::Server server(cone::ServeStars(stars), 1, std::chrono::seconds(10));
  s->Settings.CatalogURL = server.Url("/cone?");
  ASSERT_EQ(s->Settings.StarCatalog, CatalogCode::GSC);
  const float size = s->Settings.FieldSize + 5;
  p.expectDialog("TFldParmsDlg", [size](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    d.RAHrText = "6";
    d.OnLnChecked = true;
    d.OnLnBoxClick();
    d.SizText = FormatFixed(1, size);
    return d.OKBtnClick();
  });
  p.expectMessage(ModalResult::Yes, "Use As Defaults for All Users?");
  EXPECT_TRUE(s->LoadReferenceField(45000.5));
  EXPECT_FALSE(s->UpdatesPending);
  for (const fs::path& folder : {s->Settings.DataFolder, s->Settings.ProgramFolder}) {
    SCOPED_TRACE(folder.string());
    OptsObj back(p);
    back.Settings.ProgVersion = ProgramVersion;
    ASSERT_TRUE(back.ReadOptsFile(folder / "ASTXOPTS.INI"));
    EXPECT_EQ(back.Settings.StarCatalog, CatalogCode::NOMAD);
    EXPECT_EQ(back.Settings.FieldSize, size);
  }
  server.Stop();
  FreeCatalogObjects();
  ResetFldParms(OptsRec{});
}

TEST_F(SessionTest, SpreadsheetCommand) {
  Ship();
  Start();
  p.expectDialog("TLoginDlg", LoginAs("Ann B. Cole", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  s->Login1Click();
  EXPECT_FALSE(s->Menu["SpreadSheet1"].enabled);
  // The CSV export writes into the data folder: that enables the command.
  WriteFileAtomic(data / "MAR7RPT.csv", std::string_view("a,b\r\n"));
  s->UpdateSpreadsheetItem();
  EXPECT_TRUE(s->Menu["SpreadSheet1"].enabled);

  p.expectOpen(FileChoice{{data / "MAR7RPT.csv"}, 1});
  p.expectMessage(ModalResult::OK, "Cannot Run Spreadsheet!",
                  "Unable to obtain associated processor for \r\nMAR7RPT.csv\r\n\r\nCode = 31 - No "
                  "Association for Specified File Type");
  s->SpreadSheet1Click();
  EXPECT_EQ(p.choosers().back().caption, "Select data to pass to spreadsheet.");
  EXPECT_EQ(p.choosers().back().folder, s->Settings.DataFolder);

  p.executableForFiles = "/usr/bin/localc";
  p.expectOpen(FileChoice{{data / "MAR7RPT.csv"}, 1});
  s->SpreadSheet1Click();
  ASSERT_EQ(p.startedProcesses.size(), 1u);
  EXPECT_EQ(p.startedProcesses[0],
            "/usr/bin/localc " + (data / "MAR7RPT.csv").string() + " in " + (data / "").string());
  p.expectOpen(FileChoice{{data / "MAR7RPT.csv"}, 1});
  p.expectMessage(ModalResult::OK, "Module Already Loaded",
                  "The Spreadsheet Program is Already Running.");
  s->SpreadSheet1Click();
  EXPECT_EQ(p.startedProcesses.size(), 1u);

  // Closed meanwhile; a program from the settings gets the bare name.
  p.processStateAnswer = ProcessState::Exited;
  s->Settings.SpreadsheetProgram = "/opt/sheet";
  p.expectOpen(FileChoice{{data / "MAR7RPT.csv"}, 1});
  s->SpreadSheet1Click();
  EXPECT_EQ(p.startedProcesses.back(), "/opt/sheet MAR7RPT.csv in " + (data / "").string());

  p.processStarts = false;
  p.processStateAnswer = ProcessState::Exited;
  p.expectOpen(std::nullopt);
  p.expectMessage(ModalResult::OK, "Cannot Run Spreadsheet!",
                  "Unable to Execute /opt/sheet\r\n\r\nCode = 2 - File Not Found");
  s->SpreadSheet1Click();
  p.processStartError = 5;
  p.expectOpen(std::nullopt);
  p.expectMessage(ModalResult::OK, "Cannot Run Spreadsheet!",
                  "Unable to Execute /opt/sheet\r\n\r\nCode = 5 - Access Denied");
  s->SpreadSheet1Click();
}

TEST_F(SessionTest, OptionsCommandRestartsTheSession) {
  Ship();
  Start({"USNO-B1.0"});
  p.expectMessage(ModalResult::OK, "USER OPTIONS!", "INSTRUCTOR: Many features");
  s->Preferences1Click();

  s->OptionsAccess = true;
  int freed = 0;
  s->Services.FreeRefFieldWindow = [&] { ++freed; };
  s->Services.OptionsDialog = [](OptsObj&) {
    return SessionServices::OptionsOutcome{ModalResult::Cancel};
  };
  s->RefFieldStale = false;
  s->Preferences1Click();
  EXPECT_EQ(freed, 1);
  EXPECT_TRUE(s->RefFieldStale);
  EXPECT_EQ(reportsMade, 1);  // the report is made once and kept
  s->Report->Camera.Name = "Changed";
  s->Report->User.ContactName = "Kept";
  s->Services.OptionsDialog = [](OptsObj&) {
    SessionServices::OptionsOutcome o{ModalResult::OK};
    o.cameraChanged = true;
    return o;
  };
  s->Preferences1Click();
  EXPECT_EQ(s->Report->Camera, s->Settings.DefaultCamera);
  EXPECT_EQ(s->Report->User.ContactName, "Kept");
  // The confirmed options replaced the working copy: the command line's
  // choice of no login is gone, so the exit asks.
  EXPECT_TRUE(s->Settings.ExerciseMode);
  p.expectMessage(ModalResult::Yes, "** Exercise Finished? **");
  EXPECT_TRUE(s->FormCloseQuery());
  s->FormClose();
  std::string log = ReadText(Log());
  auto count = [&](const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("Login: MORVETIK\r\nDate"), 3u);
  EXPECT_EQ(count("Logout: MORVETIK\r\nDate"), 1u);
}

TEST_F(SessionTest, TestModeGivesOptionsAccessWithoutLogin) {
  Ship();
  Start();
  s->Settings.TestMode = true;
  s->Settings.ExerciseMode = false;
  s->StartSession();
  EXPECT_TRUE(s->OptionsAccess);
  EXPECT_TRUE(s->Menu["Preferences1"].visible);
  EXPECT_TRUE(s->Menu["PrefSep"].visible);
  EXPECT_TRUE(s->Menu.Usable("Options1"));
}

// The snapshot lines a command changed, as they read afterwards.
std::vector<std::string> Changed(const std::string& before, const std::string& after) {
  auto lines = [](const std::string& t) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (std::size_t nl; (nl = t.find('\n', at)) != std::string::npos; at = nl + 1)
      out.push_back(t.substr(at, nl - at));
    return out;
  };
  std::vector<std::string> a = lines(before), b = lines(after), out;
  for (std::size_t i = 0; i < b.size(); ++i)
    if (i >= a.size() || a[i] != b[i]) out.push_back(b[i]);
  return out;
}

TEST_F(SessionTest, MenuAfterEachCommand) {
  using Lines = std::vector<std::string>;
  Ship();
  Start();
  std::string last = s->Menu.Snapshot();
  auto step = [&] {
    std::string now = s->Menu.Snapshot();
    Lines d = Changed(last, now);
    last = now;
    return d;
  };

  p.expectDialog("TLoginDlg", LoginAs("Ann B. Cole", "12", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  s->Login1Click();
  EXPECT_EQ(step(),
            (Lines{"  Login1 &Login... [disabled]", "  ImageFileType1 Set Image &File Type...",
                   "  Load1 L&oad Image Files", "ReportMI &Report"}));

  // What a first load leaves.
  s->Menu.Enable("Clear1", true);
  s->Menu.Check("LoadImg1", true);
  s->Menu.Enable("MultipleLoad1", false);
  s->Menu.Enable("LoadImg2", true);
  step();
  s->SlotBusy(0, true);
  EXPECT_EQ(step(), (Lines{"  ImageFileType1 Set Image &File Type... [disabled]",
                           "  Clear1 &Clear Images/Ref. Fields [disabled]",
                           "    LoadImg1 Image &1 [disabled] [checked]"}));
  s->SlotBusy(0, false);
  EXPECT_EQ(step(),
            (Lines{"  ImageFileType1 Set Image &File Type...", "  Clear1 &Clear Images/Ref. Fields",
                   "    LoadImg1 Image &1 [checked]"}));

  p.expectMessage(ModalResult::Yes, "Verify Clear");
  s->Object1Click();
  EXPECT_EQ(step(), (Lines{"  Clear1 &Clear Images/Ref. Fields [disabled]",
                           "    MultipleLoad1 &Multiple Load", "    LoadImg1 Image &1",
                           "    LoadImg2 Image &2 [disabled]"}));

  p.expectMessage(ModalResult::Yes, "Verify Clear");
  s->FieldObservationSet1Click();
  EXPECT_EQ(step(), Lines{});

  fs::path folder = s->Settings.DataFolder;
  s->Settings.DataFolder = data / "gone" / "";
  p.expectMessage(ModalResult::OK, "");
  s->OptionsChanged();
  EXPECT_EQ(step(), (Lines{"    SaveUpdates1 &Save Updates"}));
  s->Settings.DataFolder = folder;
  s->SaveUpdates1Click();
  EXPECT_EQ(step(), (Lines{"    SaveUpdates1 &Save Updates [disabled]"}));

  WriteFileAtomic(s->Settings.WorkFolder / "R.CSV", std::string_view(""));
  s->UpdateSpreadsheetItem();
  EXPECT_EQ(step(), (Lines{"  SpreadSheet1 Access &Spreadsheet"}));
}

TEST_F(SessionTest, ReportOutputsReachTheReport) {
  Ship();
  Start({"NOMAD"});
  int shown = 0;
  s->Report->ListForm->OnShow = [&] { ++shown; };
  s->ExerciseFrmt1Click();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(s->Report->ListForm->Visible);
  EXPECT_FALSE(s->Report->ListForm->Lines().empty());
  // The report's list prints with the session's header and saves into
  // the data folder.
  EXPECT_EQ(s->Report->ListForm->SavedFolder, fs::path());
  p.expectSave(std::nullopt);
  s->Report->ListForm->SaveasText1Click();
  EXPECT_EQ(p.choosers().back().folder, s->Settings.DataFolder);
}

TEST_F(SessionTest, BaselineDialogIsMadeOnceAndKeptForTheRun) {
  Ship();
  Start({"NOMAD"});
  s->Settings.DefaultSite.Name = "Kept Site";
  std::vector<DialogModel*> shown;
  for (int i = 0; i < 2; ++i)
    p.expectDialog("TBaselineDlg", [&](DialogModel& m) {
      shown.push_back(&m);
      return ModalResult::Cancel;
    });
  s->Baseline1Click();
  EXPECT_EQ(s->PaintMode, 2);
  EXPECT_EQ(BaselineSite1.Name, "Kept Site");
  BaselineSite1.Name = "Typed";
  s->Baseline1Click();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(BaselineSite1.Name, "Typed");
  s->FormClose();
  EXPECT_FALSE(BaselineDlg);
  ResetBaselineState();
}

// The close frees what the dialogs bind (the baseline dialog, the report and
// its records): while one of them is shown, the close is refused.
TEST_F(SessionTest, NoCloseWhileAModalDialogIsShown) {
  Ship();
  Start({"NOMAD"});
  struct Case {
    const char* name;
    const char* dialog;
    std::function<void()> command;
  };
  const Case cases[] = {
      {"baseline", "TBaselineDlg", [&] { s->Baseline1Click(); }},
      {"help topics", "THelpLstDlg", [&] { s->Topics1Click(); }},
      {"report site", "TSiteParmsDlg", [&] { s->EditReportHeader(ListHost::HeaderRecord::Site); }},
      {"report camera", "TCamParmsDlg",
       [&] { s->EditReportHeader(ListHost::HeaderRecord::Camera); }},
      {"report user", "TUsrParmsDlg", [&] { s->EditReportHeader(ListHost::HeaderRecord::User); }},
  };
  for (const Case& c : cases) {
    bool asked = false;
    p.expectDialog(c.dialog, [&](DialogModel& m) {
      asked = true;
      EXPECT_FALSE(s->FormCloseQuery()) << c.name;
      EXPECT_FALSE(s->CloseConfirmed) << c.name;
      EXPECT_TRUE(s->Report) << c.name;
      if (std::string_view(c.dialog) == "TBaselineDlg") {
        EXPECT_EQ(BaselineDlg.get(), &m);
      }
      return ModalResult::Cancel;
    });
    c.command();
    EXPECT_TRUE(asked) << c.name;
  }
  // The dialog gone, the close goes ahead.
  EXPECT_TRUE(s->FormCloseQuery());
  s->FormClose();
  EXPECT_FALSE(BaselineDlg);
  p.verify();
  ResetBaselineState();
}

TEST_F(SessionTest, ConvertCommandConvertsAndSwitchesTheSettingsOnYes) {
  Ship();
  Start({"NOMAD"});
  // A small catalog of the own form: the table and regions 1 to 3.
  const fs::path vol = test::FreshFolder("gsc") / "";
  const fs::path out = test::FreshFolder("vesk") / "GSC_VESK" / "";
  const sample::Tiling t = sample::MakeTiling();
  fs::create_directories(vol / "TABLES");
  WriteFileAtomic(vol / "TABLES" / "REGIONS.TBL", sample::RegionsTableFile(t));
  fs::create_directories(vol / "GSC" / "N0000");
  for (std::int32_t r = 1; r <= 3; ++r)
    WriteFileAtomic(vol / "GSC" / "N0000" / GSCRegionFileName(r, ".GSC"),
                    sample::RegionFile(r, sample::SyntheticRegion(t.boxes[r], r, 5)));

  p.expectMessage(ModalResult::No, "Convert Guide Star Catalog?", "nearly 1 GByte");
  s->ConvertGSC1Click();
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);

  const auto convert = [&] {
    p.expectMessage(ModalResult::Yes, "Convert Guide Star Catalog?");
    p.expectDialog("TGSCCnvrtForm1", [&](DialogModel& m) {
      auto& d = static_cast<TGSCCnvrtForm1&>(m);
      d.FormActivate();
      d.FirstRegion = 1;
      d.LastRegion = 3;
      d.InPath1Ed = d.InPath2Ed = vol.string();
      d.OutPathEd = out.string();
      return d.OKBtnClick();
    });
  };
  // The converted copy is synced to the disc once, before success is
  // reported; when that fails there is an error and no switch.
  int syncs = 0, syncError = EIO;
  std::size_t syncedAt = 0;  // the transcript's length then
  SaveFaultScope watch([&](std::string_view call) {
    if (call != "syncfs") return 0;
    ++syncs;
    syncedAt = p.transcript().size();
    return syncError;
  });
  const OptsRec before = s->Settings;
  convert();
  p.expectMessage(ModalResult::OK, "GSC Conversion File Error!", "Folder: " + out.string());
  s->ConvertGSC1Click();
  EXPECT_EQ(syncs, 1);
  EXPECT_EQ(s->Settings.GSCPath1, before.GSCPath1);
  EXPECT_EQ(s->Settings.GSCFormat, before.GSCFormat);

  syncError = 0;
  convert();
  p.expectMessage(ModalResult::Yes, "GSC Successfully Converted",
                  "Do you want to change your setup to use the converted GSC file?");
  s->ConvertGSC1Click();
  EXPECT_EQ(syncs, 2);
  ASSERT_LT(syncedAt, p.transcript().size());
  EXPECT_NE(p.transcript()[syncedAt].find("[GSC Successfully Converted]"), std::string::npos)
      << p.transcript()[syncedAt];  // the first prompt after the sync
  EXPECT_TRUE(fs::exists(out / "GSC" / "N0000" / "0003.BIN"));
  EXPECT_TRUE(fs::exists(out / "TABLES" / "REGIONS.BIN"));
  EXPECT_EQ(s->Settings.GSCPath1, out.string());
  EXPECT_EQ(s->Settings.GSCPath2, out.string());
  EXPECT_EQ(s->Settings.GSCFormat, GSCFormatCode::Converted);
  EXPECT_EQ(s->Opts->Settings.GSCFormat, GSCFormatCode::Converted);  // saved at once
  EXPECT_FALSE(GSCCnvrtForm1);
}

TEST_F(SessionTest, ReportHeaderEditsBecomeTheDefaultsAndAreSaved) {
  Ship();
  Start({"NOMAD"});
  AstromListModel& list = *s->Report->ListForm;
  p.expectDialog("TSiteParmsDlg", [&](DialogModel& m) {
    auto& dlg = dynamic_cast<SiteParmsDlgModel&>(m);
    EXPECT_EQ(SiteToEdit, &s->Report->Site);
    dlg.FormActivate();
    dlg.ObsNmText = "Back Garden";
    dlg.LngDegText = "12";
    dlg.LngMinText = "30";
    dlg.WestChecked = true;
    return dlg.OKBtnClick();
  });
  list.UndoEnabled = true;
  list.SitePop1Click();
  EXPECT_FALSE(list.UndoEnabled);
  EXPECT_EQ(s->Report->Site.Name, "Back Garden");
  EXPECT_EQ(s->Report->Site.Longitude, -12.5f);
  EXPECT_EQ(s->Settings.DefaultSite, s->Report->Site);
  EXPECT_FALSE(s->UpdatesPending) << "the settings were saved at once";
  EXPECT_EQ(SiteToEdit, nullptr);

  // The camera a file filled is shown as the current one; Cancel changes
  // nothing.
  s->Report->CamFromFile = 1;
  s->Report->Camera.Name = "From File";
  const CamRec defaults = s->Settings.DefaultCamera;
  p.expectDialog("TCamParmsDlg", [&](DialogModel& m) {
    auto& dlg = dynamic_cast<CamParmsDlgModel&>(m);
    dlg.FormActivate();
    EXPECT_EQ(dlg.ShowIndex, 1);
    EXPECT_EQ(dlg.NameText, "From File");
    dlg.NameText = "Typed";
    return ModalResult::Cancel;
  });
  list.UndoEnabled = true;
  list.CamPop1Click();
  EXPECT_TRUE(list.UndoEnabled);
  EXPECT_EQ(s->Report->Camera.Name, "From File");
  EXPECT_EQ(s->Settings.DefaultCamera, defaults);

  p.expectDialog("TUsrParmsDlg", [&](DialogModel& m) {
    auto& dlg = dynamic_cast<UsrParmsDlgModel&>(m);
    dlg.FormActivate();
    dlg.NameText = "A. Student";
    return dlg.OKBtnClick();
  });
  list.UsrPop1Click();
  EXPECT_EQ(s->Settings.DefaultUser.ContactName, "A. Student");
}

TEST_F(SessionTest, UnwritableUserFolderEndsTheProgram) {
  Ship();
  Start();
  bool quit = false;
  s->Services.Quit = [&] { quit = true; };
  WriteFileAtomic(s->Settings.DataFolder / "Users", std::string_view("a file, not a folder"));
  p.expectDialog("TLoginDlg", LoginAs("Ann Cole", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  p.expectMessage(ModalResult::OK, "Write-Enabled Storage Required", "Application will terminate!");
  s->Login1Click();
  EXPECT_TRUE(quit);
  EXPECT_TRUE(s->QuitRequested);
}

// A folder that cannot even be looked at (here a link to itself) is no
// writable folder either: the same message, never an exception.
TEST_F(SessionTest, UserFolderThatCannotBeLookedAtEndsTheProgram) {
  Ship();
  Start();
  fs::create_directory_symlink("Users", s->Settings.DataFolder / "Users");
  p.expectDialog("TLoginDlg", LoginAs("Ann Cole", "", ModalResult::OK));
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  p.expectMessage(ModalResult::OK, "Write-Enabled Storage Required", "Application will terminate!");
  s->Login1Click();
  EXPECT_TRUE(s->QuitRequested);
  EXPECT_FALSE(s->SessionLog);
}

}  // namespace
}  // namespace hv
