#include "platform/scripted/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/SystemFacts.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

struct NamedModel : DialogModel {
  std::string_view dialogName() const override { return "TLoginDlg"; }
  std::string name;
};

TEST(ScriptedPlatform, AnswersInOrderAndKeepsATranscript) {
  std::vector<std::string> failures;
  {
    ScriptedPlatform p([&](const std::string& f) { failures.push_back(f); });
    p.expectMessage(ModalResult::Yes, "Exit", "Really");
    p.expectDialog("TLoginDlg", [](DialogModel& m) {
      static_cast<NamedModel&>(m).name = "Ada";
      return ModalResult::OK;
    });
    EXPECT_TRUE(AskYesNo(p, "Exit Program", "Really exit?"));
    NamedModel m;
    EXPECT_EQ(p.showDialog(m), ModalResult::OK);
    EXPECT_EQ(m.name, "Ada");
    ASSERT_EQ(p.transcript().size(), 2u);
    EXPECT_EQ(p.transcript()[0], "message(question) [Exit Program] Really exit? -> Yes");
    EXPECT_EQ(p.transcript()[1], "dialog TLoginDlg -> OK");
  }
  EXPECT_TRUE(failures.empty());
}

TEST(ScriptedPlatform, UnexpectedPromptsAndLeftoversAreFailures) {
  std::vector<std::string> failures;
  {
    ScriptedPlatform p([&](const std::string& f) { failures.push_back(f); });
    EXPECT_EQ(ShowError(p, "File Error!", "File Not Found!"), ModalResult::Cancel);
    p.expectInput(std::string("D:"));
  }
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("unexpected message(hand) [File Error!]"), std::string::npos);
  EXPECT_NE(failures[1].find("never came"), std::string::npos);
}

TEST(ScriptedPlatform, PromptSoundsFollowTheirKind) {
  ScriptedPlatform p([](const std::string&) {});
  p.expectMessage(ModalResult::OK);
  p.expectMessage(ModalResult::OK);
  p.expectMessage(ModalResult::OK);
  ShowError(p, "a", "b");
  ShowWarning(p, "a", "b");
  ShowInfo(p, "a", "b");
  ASSERT_EQ(p.messages().size(), 3u);
  EXPECT_EQ(p.messages()[0].sound, Sound::Hand);
  EXPECT_EQ(p.messages()[1].sound, Sound::Exclamation);
  EXPECT_EQ(p.messages()[2].sound, Sound::Default);
}

TEST(SystemFacts, OpticalMountsComeFromIso9660AndUdfEntries) {
  auto roots = SystemFacts::OpticalMounts(
      "/dev/vda / ext4 rw 0 0\n"
      "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
      "/dev/sr1 /media/GSC\\040Vol\\0401 udf ro 0 0\n"
      "/dev/sdb1 /media/usb vfat rw 0 0\n"
      "/dev/sr2 /media/disc2 hfsplus ro 0 0\n");
  ASSERT_EQ(roots.size(), 3u);
  EXPECT_EQ(roots[2], "/media/disc2");
  EXPECT_EQ(roots[0], "/media/cdrom");
  EXPECT_EQ(roots[1], "/media/GSC Vol 1");
}

TEST(SystemFacts, AFailedStartGivesTheSystemsReason) {
  // Real starts of what cannot run: each failure has its own code.
  const auto folder =
      std::filesystem::temp_directory_path() / ("hv-spawn-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto text = folder / "notes.txt";
  { std::ofstream(text) << "not a program\n"; }
  std::filesystem::permissions(
      text, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  struct Row {
    const char* name;
    std::string program;
    std::filesystem::path workingFolder;
    int want;
  } rows[] = {
      {"no such program", (folder / "none").string(), {}, 2},
      {"not executable", text.string(), {}, 5},
      {"no such working folder", "/bin/true", folder / "gone", 267},
  };
  for (const Row& r : rows) {
    const ProcessStart start = SystemFacts::StartProcess(r.program, "x.csv", r.workingFolder);
    EXPECT_FALSE(start.process) << r.name;
    EXPECT_EQ(start.error, r.want) << r.name;
  }
  EXPECT_EQ(SystemFacts::SpawnErrorCode(EINTR), 31) << "4 would read as too many open files";
  EXPECT_EQ(SystemFacts::SpawnErrorCode(EROFS), EROFS);
}

}  // namespace
}  // namespace hv
