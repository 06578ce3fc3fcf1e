#include "support/Files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  auto b = ReadWholeFile(p);
  return std::string(b.begin(), b.end());
}

TEST(Files, AtomicWriteReplacesAndLeavesNoTemporary) {
  fs::path dir = test::FreshFolder("atomic");
  fs::path f = dir / "ASTXOPTS.INI";
  WriteFileAtomic(f, std::string_view("old"));
  WriteFileAtomic(f, std::string_view("new contents"));
  EXPECT_EQ(Slurp(f), "new contents");
  int n = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++n;
  EXPECT_EQ(n, 1);
}

TEST(Files, FailedWriteKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::path dir = test::FreshFolder("readonly");
  fs::path f = dir / "keep.dat";
  WriteFileAtomic(f, std::string_view("precious"));
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  try {
    WriteFileAtomic(f, std::string_view("lost"));
    ADD_FAILURE() << "write into a read-only folder succeeded";
  } catch (const FileError& e) {
    EXPECT_EQ(e.code(), 5);
  }
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_EQ(Slurp(f), "precious");
}

TEST(Files, WriteCutShortKeepsTheOldFileAndLeavesNoTemporary) {
  fs::path dir = test::FreshFolder("short");
  fs::path f = dir / "ASTSITES.DAT";
  WriteFileAtomic(f, std::string_view("old"));
  // A file-size limit makes the write fail part way, as a full disk would.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 8;
  ::setrlimit(RLIMIT_FSIZE, &small);
  int code = 0;
  try {
    WriteFileAtomic(f, std::string_view("a much longer new content"));
  } catch (const FileError& e) {
    code = e.code();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(code, 101);
  EXPECT_EQ(Slurp(f), "old");
  int n = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++n;
  EXPECT_EQ(n, 1);
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A save cut at each of its system calls in turn: the file holds the old
// content or the new one, whole, and no temporary is left behind.
TEST(Files, SaveCutAtAnySystemCallLeavesAWholeFileAndNoTemporary) {
  const fs::path dir = test::FreshFolder("cut");
  const fs::path f = dir / "ASTSITES.DAT";
  const std::string before(5000, 'o'), after(70000, 'n');
  std::vector<std::string> calls;
  for (int cut = 1;; ++cut) {
    WriteFileAtomic(f, before);
    ::chmod(f.c_str(), 0640);
    int n = 0;
    std::string cutAt;
    bool failed = false;
    {
      SaveFaultScope fault([&](std::string_view call) {
        if (++n != cut) return 0;
        cutAt = call;
        return EIO;
      });
      try {
        WriteFileAtomic(f, after);
      } catch (const FileError&) {
        failed = true;
      }
    }
    if (cutAt.empty()) break;  // the save went through: every call was cut once
    calls.push_back(cutAt);
    EXPECT_TRUE(failed) << cutAt;
    const std::string now = Slurp(f);
    EXPECT_TRUE(now == before || now == after) << cutAt << ": " << now.size() << " bytes";
    EXPECT_EQ(Names(dir), std::vector<std::string>{"ASTSITES.DAT"}) << cutAt;
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << cutAt;
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"open", "fchmod", "write", "fsync", "close", "rename",
                                             "open folder", "fsync folder"}));
  EXPECT_EQ(Slurp(f), after);
}

// One sync for a whole tree: the folder opened when the writing starts is
// opened again at the sync when that failed; a failed sync names the folder.
TEST(Files, FileSystemSyncReportsWhatKeptTheDataOffTheDisc) {
  const fs::path dir = test::FreshFolder("sync");
  WriteFileAtomic(dir / "written.BIN", std::string_view("data"));
  using Calls = std::vector<std::string>;
  struct Case {
    const char* name;
    fs::path folder;
    std::string failing;  // the call made to fail, once
    int err;
    int code;  // of the FileError; 0: none
    Calls calls;
  };
  const Case cases[] = {
      {"synced", dir, "", 0, 0, {"open file system", "syncfs"}},
      {"opened again at the sync",
       dir,
       "open file system",
       EMFILE,
       0,
       {"open file system", "open file system", "syncfs"}},
      {"write-back failed", dir, "syncfs", EIO, 1000 + EIO, {"open file system", "syncfs"}},
      {"disc full at write-back", dir, "syncfs", ENOSPC, 101, {"open file system", "syncfs"}},
      {"no such folder", dir / "gone", "", 0, 2, {"open file system", "open file system"}},
  };
  for (const Case& c : cases) {
    Calls calls;
    int code = 0;
    fs::path named;
    {
      bool failed = false;
      SaveFaultScope fault([&](std::string_view call) {
        calls.emplace_back(call);
        if (failed || call != c.failing) return 0;
        failed = true;
        return c.err;
      });
      FileSystemSync onDisc(c.folder);
      try {
        onDisc.Sync();
      } catch (const FileError& e) {
        code = e.code();
        named = e.path();
      }
    }
    EXPECT_EQ(code, c.code) << c.name;
    if (c.code != 0) {
      EXPECT_EQ(named, c.folder) << c.name;
    }
    EXPECT_EQ(calls, c.calls) << c.name;
  }
}

// A save through a symbolic link (or a chain of them, relative or not)
// replaces the linked file and keeps the links; a replaced file keeps its
// mode, a new one gets the umask's.
TEST(Files, SavesWriteThroughLinksAndKeepTheMode) {
  const fs::path dir = test::FreshFolder("links");
  fs::create_directories(dir / "shared");
  fs::create_directories(dir / "user");
  const fs::path real = dir / "shared" / "ASTSITES.DAT";
  WriteFileAtomic(real, std::string_view("old"));
  ::chmod(real.c_str(), 0664);
  fs::create_symlink("../shared/ASTSITES.DAT", dir / "user" / "relative.dat");
  fs::create_symlink(dir / "user" / "relative.dat", dir / "absolute.dat");

  for (const fs::path& through : {dir / "user" / "relative.dat", dir / "absolute.dat"}) {
    WriteFileAtomic(through, "via " + through.filename().string());
    EXPECT_TRUE(fs::is_symlink(through)) << through;
    EXPECT_EQ(Slurp(real), "via " + through.filename().string());
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0664u) << through;
  }
  EXPECT_EQ(Names(dir / "shared"), std::vector<std::string>{"ASTSITES.DAT"});
  EXPECT_EQ(Names(dir / "user"), std::vector<std::string>{"relative.dat"});

  const mode_t mask = ::umask(027);
  WriteFileAtomic(dir / "new.dat", std::string_view("n"));
  ::umask(mask);
  struct stat st {};
  ::stat((dir / "new.dat").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Temporaries that killed saves left are removed by the file's next save;
// another file's, a live process's and names the program does not make stay.
TEST(Files, StaleTemporariesOfAFileGoAtItsNextSave) {
  const fs::path dir = test::FreshFolder("stale");
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string d = std::to_string(dead), live = std::to_string(::getppid());
  const std::vector<std::string> gone = {".ASTSITES.DAT.tmp-" + d + "-1a2b3c-0",
                                         ".ASTSITES.DAT.tmp-" + d + "-ff-17"};
  const std::vector<std::string> kept = {
      ".ASTCAMS.DAT.tmp-" + d + "-1a2b3c-0",   // another file's
      ".ASTSITES.DAT.tmp-" + live + "-1-0",    // a live process's
      ".ASTSITES.DAT.tmp-" + d + "-1-0.keep",  // not our name
      ".ASTSITES.DAT.tmp-notes",
      "ASTSITES.DAT.tmp-" + d + "-1-0",
  };
  for (const auto& n : gone) WriteFileAtomic(dir / n, std::string_view("x"));
  for (const auto& n : kept) WriteFileAtomic(dir / n, std::string_view("x"));
  WriteFileAtomic(dir / "ASTSITES.DAT", std::string_view("sites"));
  std::vector<std::string> want = kept;
  want.push_back("ASTSITES.DAT");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(Names(dir), want);
}

TEST(Files, FailedWriteIntoMissingFolderReportsPathNotFound) {
  fs::path f = test::FreshFolder("gone") / "no" / "such" / "file.dat";
  try {
    WriteFileAtomic(f, std::string_view("x"));
    ADD_FAILURE() << "write succeeded";
  } catch (const FileError& e) {
    EXPECT_EQ(e.code(), 2);
  }
}

TEST(Files, UniqueFilesNeverCollide) {
  fs::path dir = test::FreshFolder("unique");
  fs::path a = CreateUniqueFile(dir, "M31", ".HDR");
  fs::path b = CreateUniqueFile(dir, "M31", ".HDR");
  EXPECT_NE(a, b);
  EXPECT_TRUE(fs::exists(a));
  EXPECT_TRUE(fs::exists(b));
  EXPECT_EQ(a.extension(), ".HDR");
}

TEST(Files, ShippedFilesAreFoundWithoutRegardToCase) {
  fs::path dir = test::FreshFolder("case");
  WriteFileAtomic(dir / "xpxhair.cur", std::string_view("c"));
  EXPECT_EQ(FindCaseInsensitive(dir, "XPXHAIR.CUR"), dir / "xpxhair.cur");
  EXPECT_EQ(FindCaseInsensitive(dir, "MISSING.BMP"), dir / "MISSING.BMP");
}

}  // namespace
}  // namespace hv
