#include "app/Login.h"

#include <gtest/gtest.h>

#include "app/Launcher.h"
#include "app/SessionLog.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

TEST(LoginRec, EncodesTo178Bytes) {
  LoginRec r{"Ann B. Cole", "Kim", "", "", "12345", "ACole"};
  Encoder e;
  EncodeLoginRec(e, r);
  ASSERT_EQ(e.size(), LoginRecSize);
  Decoder d(e.data());
  LoginRec back = DecodeLoginRec(d);
  EXPECT_EQ(back.Name1, "Ann B. Cole");
  EXPECT_EQ(back.TableNumber, "1234");  // cut to its capacity
  EXPECT_EQ(back.UserID, "ACole");
  EXPECT_EQ(d.remaining(), 0u);
}

TEST(Login, UserIDsAndTheirFolders) {
  struct Row {
    const char* name;
    const char* id;
    const char* folder;
  } rows[] = {
      {"Ann B. Cole", "ACole", "ACole"},
      {"Kim Westerhaven", "KWesterh", "KWesterh"},
      {"TableSeven", "TableSev", "TableSev"},
      {"Instructor", "Instruct", "Instruct"},
      {"Ann ", "A", "A"},      // ending in a blank: the first character alone
      {"..", "..", "%2E%2E"},  // never the parent folder
      {".", ".", "%2E"},
      {"a/b", "a/b", "a%2Fb"},
      {"x ../..", "x../..", "x..%2F.%2E"},  // no climbing out, no trailing dot
      {"p q:r", "pq:r", "pq%3Ar"},
      {"50%", "50%", "50%25"},  // the escape itself, so names stay distinct
      {"", "", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DeriveUserID(r.name), r.id) << r.name;
    EXPECT_EQ(UserFolderName(r.id), r.folder) << r.name;
  }
  EXPECT_NE(UserFolderName("a%2Fb"), UserFolderName("a/b"));
}

class LoginDialog : public ::testing::Test {
 protected:
  void SetUp() override { LoginToFill = &rec; }
  void TearDown() override { LoginToFill = nullptr; }
  test::Scripted p;
  LoginRec rec{"old", "old", "old", "old", "9", "OLD"};
};

TEST_F(LoginDialog, FilledLoginAsksWhetherFinished) {
  LoginDlgModel m(p);
  m.FormCreate("7");
  EXPECT_EQ(rec.Name1, "");
  EXPECT_EQ(rec.TableNumber, "");
  EXPECT_EQ(m.LabTbl, "7");
  m.Stud[0] = "Kim Westerhaven";
  m.Stud[1] = std::string(50, 'z');
  p.expectMessage(ModalResult::No, "Login Completed?", "Have You Finished Logging In?");
  EXPECT_FALSE(m.OKBtnClick());
  p.expectMessage(ModalResult::Yes, "Login Completed?");
  EXPECT_TRUE(m.OKBtnClick());
  EXPECT_EQ(rec.UserID, "KWesterh");
  EXPECT_EQ(rec.Name2.size(), 40u);
  EXPECT_EQ(rec.TableNumber, "7");
}

TEST_F(LoginDialog, EmptyLoginIsRecordedAsSkipped) {
  LoginDlgModel m(p);
  m.FormCreate("");
  p.expectMessage(ModalResult::Cancel, "No Entry!", "You Didn't Enter Anything!");
  EXPECT_FALSE(m.OKBtnClick());
  p.expectMessage(ModalResult::OK, "No Entry!");
  EXPECT_TRUE(m.OKBtnClick());
  EXPECT_EQ(rec.Name1, "*** Student Did Not Log In Properly ***");
  EXPECT_EQ(rec.UserID, "NOLOG");
}

TEST_F(LoginDialog, NoRecordNoLogin) {
  LoginToFill = nullptr;
  LoginDlgModel m(p);
  p.expectMessage(ModalResult::OK, "Cannot Record Login!", "Login Record Not Assigned!");
  m.FormCreate("");
  EXPECT_FALSE(m.OKBtnClick());
}

std::string ReadText(const fs::path& p) {
  auto b = ReadWholeFile(p);
  return std::string(b.begin(), b.end());
}

TEST(SessionLog, LoginAndLogoutEntriesLineByLine) {
  test::Scripted p;
  fs::path log = test::FreshFolder("log") / "VESKLOG.LOG";
  WriteFileAtomic(log, std::string_view("earlier\r\n"));
  LoginRec r{"Ann B. Cole", std::string(45, 'n'), "", "", "12", "ACole"};
  p.clock = {2026, 3, 7, 9, 5, 3, 456, 60};
  p.monotonic = 1000;
  LogFileObj l(p);
  l.Init("MORVETIK", log, &r);
  l.WriteLogin();
  // 26 hours later; the wall clock was set back meanwhile, which does not
  // change the elapsed time.
  p.clock = {2026, 3, 7, 11, 0, 0, 0, 60};
  p.monotonic = 1000 + 26LL * 3600 * 1000 + 12340;
  l.WriteLogout();
  EXPECT_TRUE(l.LoginWritten);
  EXPECT_TRUE(l.LogoutWritten);
  std::string name2 = "Name2: " + std::string(40, 'n');  // 47 in all
  EXPECT_EQ(ReadText(log),
            "earlier\r\n"
            "Login: MORVETIK\r\nDate: 03-07-2026\r\nTime:  9:05:03.46\r\n"
            "Name1: Ann B. Cole\r\n" +
                name2 +
                "\r\nName3: \r\nName4: \r\nTable: 12\r\n"
                "EndLogin: MORVETIK\r\n"
                "Logout: MORVETIK\r\nDate: 03-07-2026\r\nTime: 11:00:00.00\r\n"
                "Name1: Ann B. Cole\r\n" +
                name2 +
                "\r\nName3: \r\nName4: \r\nTable: 12\r\n"
                "Elapsed Time: 1Days,  2:00:12.34\r\nEndLogout: MORVETIK\r\n");
}

TEST(SessionLog, ElapsedAndTimeLayouts) {
  struct Row {
    const char* name;
    std::int64_t ms;
    const char* want;
  } rows[] = {
      {"seconds", 5230, " 0:00:05.23"},
      {"rounding carries whole", 59999, " 0:01:00.00"},
      {"half to even", 5, " 0:00:00.00"},
      {"just under a day", 86399994, "23:59:59.99"},
      {"a day exactly", 86400000, "1Days,  0:00:00.00"},
      {"twelve days", 12LL * 86400000 + 3600000, "12Days,  1:00:00.00"},
  };
  for (const Row& r : rows) EXPECT_EQ(LogElapsed(r.ms), r.want) << r.name;
}

TEST(SessionLog, MissingFolderIsSilentAndNoLoginWritesNothing) {
  test::Scripted p;
  LoginRec r;
  LogFileObj l(p);
  l.Init("MORVETIK", test::FreshFolder("x") / "none" / "VESKLOG.LOG", &r);
  l.WriteLogin();
  EXPECT_FALSE(l.LoginWritten);
  EXPECT_EQ(l.IOError, 2);  // the folder is not there
  LogFileObj none(p);
  fs::path log = test::FreshFolder("y") / "L.LOG";
  none.Init("MORVETIK", log, nullptr);
  none.WriteLogin();
  EXPECT_FALSE(fs::exists(log));
}

TEST(Launcher, RemembersOneRunningProgram) {
  test::Scripted p;
  ExecMod32Obj e(p);
  e.Execute("/usr/bin/calc", "DATA.CSV", "/data/");
  EXPECT_TRUE(e.Launched);
  EXPECT_EQ(e.CommandLine, "\"/usr/bin/calc\" DATA.CSV");
  EXPECT_TRUE(e.IsRunning("/usr/bin/calc"));
  EXPECT_FALSE(e.IsRunning("/usr/bin/other"));  // forgets it
  e.Execute("/usr/bin/calc", "DATA.CSV", "/data/");
  e.Execute("/usr/bin/calc", "DATA.CSV", "/data/");  // still running: no second start
  ASSERT_EQ(p.startedProcesses.size(), 2u);
  EXPECT_EQ(p.startedProcesses[0], "/usr/bin/calc DATA.CSV in /data/");
  p.processStateAnswer = ProcessState::Exited;
  EXPECT_FALSE(e.IsRunning("/usr/bin/calc"));
  p.processStarts = false;
  e.Execute("/usr/bin/calc", "", "");
  EXPECT_FALSE(e.Launched);
  EXPECT_EQ(e.LastError, 2);
  p.processStartError = 5;  // the platform's reason comes through
  e.Execute("/usr/bin/calc", "", "");
  EXPECT_EQ(e.LastError, 5);
  EXPECT_EQ(ExecuteErrorSuffix(267), " - Directory Name is Invalid");
  EXPECT_EQ(AssociationErrorSuffix(31), " - No Association for Specified File Type");
}

}  // namespace
}  // namespace hv
