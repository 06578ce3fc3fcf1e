#include "support/Files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
