#include "app/Folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

int Entries(const fs::path& dir) {
  int n = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++n;
  return n;
}

// Restores the current folder and XDG_DATA_HOME after a test that moves them.
struct KeepPlace {
  fs::path cwd = fs::current_path();
  std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  ~KeepPlace() {
    fs::current_path(cwd);
    ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  }
};

TEST(Folders, SeparatorIsAddedOnce) {
  EXPECT_EQ(WithSeparator("/a/b"), fs::path("/a/b/"));
  EXPECT_EQ(WithSeparator("/a/b/"), fs::path("/a/b/"));
  EXPECT_EQ(WithSeparator(""), fs::path(""));
}

TEST(Folders, WriteProbeLeavesNothingAndTouchesNoFile) {
  fs::path dir = test::FreshFolder("probe");
  WriteFileAtomic(dir / "Test.tmp", std::string_view("the user's own"));
  EXPECT_FALSE(PathWriteProtected(dir));
  EXPECT_FALSE(PathWriteProtected(WithSeparator(dir)));
  EXPECT_EQ(Entries(dir), 1);
  auto kept = ReadWholeFile(dir / "Test.tmp");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "the user's own");
  EXPECT_TRUE(PathWriteProtected(dir / "missing"));
  EXPECT_TRUE(PathWriteProtected(dir / "Test.tmp"));  // a file, not a folder
}

TEST(Folders, ProgramFolderHoldsTheShippedFiles) {
  test::Scripted p;
  fs::path root = test::FreshFolder("install");
  fs::create_directories(root / "bin");
  p.programPath = root / "bin" / "halvardin";
  // Nothing shipped anywhere: the program file's folder.
  EXPECT_EQ(FindProgramFolder(p), WithSeparator(root / "bin"));
  // Installed: the shared data folder beside it.
  fs::create_directories(root / "share" / "halvardin");
  WriteFileAtomic(root / "share" / "halvardin" / "astrmhlp.lst", std::string_view("x"));
  EXPECT_EQ(FindProgramFolder(p), WithSeparator(root / "share" / "halvardin"));
  // Shipped files beside the program win.
  WriteFileAtomic(root / "bin" / "VESKLOGO.BMP", std::string_view("x"));
  EXPECT_EQ(FindProgramFolder(p), WithSeparator(root / "bin"));
}

TEST(Folders, DataFolderRule) {
  KeepPlace keep;
  test::Scripted p;
  fs::path cwd = test::FreshFolder("cwd");
  fs::path gone = cwd / "gone";
  // Writable, or a system without the per-user rule: the current folder.
  EXPECT_EQ(FindDataFolder(p, cwd, true), WithSeparator(cwd));
  EXPECT_EQ(FindDataFolder(p, gone, false), WithSeparator(gone));

  // Not writable: the per-user folder, created and made current.
  fs::path xdg = test::FreshFolder("xdg");
  ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  fs::path fallback = WithSeparator(xdg / "VESK" / "Bendulak");
  EXPECT_EQ(FallbackDataFolder(p), fallback);
  EXPECT_EQ(FindDataFolder(p, gone, true), fallback);
  EXPECT_TRUE(fs::is_directory(fallback));
  EXPECT_EQ(WithSeparator(fs::current_path()), fallback);

  // The per-user folder cannot be made: the user is asked for one.
  fs::path file = test::FreshFolder("blocked") / "file";
  WriteFileAtomic(file, std::string_view("x"));
  ::setenv("XDG_DATA_HOME", file.c_str(), 1);
  p.expectMessage(ModalResult::OK, "Write-Enabled Storage Required",
                  "Path \"" + WithSeparator(gone).string() +
                      "\" is write-protected!\r\n\r\nYou must provide a path to write-enabled "
                      "storage.  If you are using removable storage,\r\nsuch as a USB device, "
                      "please mount it before continuing, then select it in the dialog that "
                      "follows.");
  p.expectFolder(fs::path("/media/usb"));
  EXPECT_EQ(FindDataFolder(p, gone, true), fs::path("/media/usb/"));
  ASSERT_FALSE(p.messages().empty());
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);
  EXPECT_EQ(p.messages().back().buttons, Buttons::OKCancel);

  p.expectMessage(ModalResult::OK, "Write-Enabled Storage Required");
  p.expectFolder(std::nullopt);
  EXPECT_FALSE(FindDataFolder(p, gone, true).has_value());
  p.expectMessage(ModalResult::Cancel, "Write-Enabled Storage Required");
  EXPECT_FALSE(FindDataFolder(p, gone, true).has_value());
}

TEST(Folders, UserNameFallback) {
  test::Scripted p;
  p.user = "ana";
  EXPECT_EQ(CurrentUserName(p), "ana");
  p.user = "";
  EXPECT_EQ(CurrentUserName(p), "VESK User");
}

TEST(Folders, OpticalDriveOrAskedFolder) {
  test::Scripted p;
  p.opticalDrives = {"/media/cdrom0", "/media/cdrom1"};
  EXPECT_EQ(FindCDROMDrive(p), fs::path("/media/cdrom0/"));

  p.opticalDrives.clear();
  p.expectInput(std::string("/mnt/gsc"));
  EXPECT_EQ(FindCDROMDrive(p), fs::path("/mnt/gsc/"));
  p.expectInput(std::string(""));
  EXPECT_EQ(FindCDROMDrive(p), fs::path());
  p.expectInput(std::nullopt);
  EXPECT_EQ(FindCDROMDrive(p), fs::path());
  p.expectInput(std::string(30, 'z'));
  EXPECT_EQ(FindCDROMDrive(p), fs::path(std::string(20, 'z') + "/"));
  ASSERT_EQ(p.transcript().size(), 4u);
  EXPECT_NE(p.transcript()[0].find("input [CDROM Drive?] Please Enter Drive Letter of CDROM:"),
            std::string::npos);
}

TEST(Folders, ACatalogOnDiskStandsForTheDriveWithoutAQuestion) {
  const fs::path program = test::FreshFolder("program") / "";
  const fs::path tables = test::FreshFolder("tables") / "";    // regions table only
  const fs::path regions = test::FreshFolder("regions") / "";  // region folders only
  const fs::path empty = test::FreshFolder("empty") / "";
  fs::create_directories(program / "tables");
  std::ofstream(program / "tables" / "Regions.Tbl") << "x";
  fs::create_directories(tables / "TABLES");
  std::ofstream(tables / "TABLES" / "REGIONS.TBL") << "x";
  fs::create_directories(regions / "gsc" / "N0000");
  EXPECT_TRUE(HoldsCatalogVolume(program));
  EXPECT_TRUE(HoldsCatalogVolume(tables));
  EXPECT_TRUE(HoldsCatalogVolume(regions));
  EXPECT_FALSE(HoldsCatalogVolume(empty));
  EXPECT_FALSE(HoldsCatalogVolume({}));

  test::Scripted p;
  struct Case {
    const char* name;
    std::vector<fs::path> drives, folders;
    fs::path want;
  };
  const Case cases[] = {
      {"a disc in a drive comes first", {"/media/cdrom0"}, {program}, "/media/cdrom0/"},
      {"the catalog beside the program", {}, {program}, program},
      {"the first folder that holds one", {}, {empty, regions, program}, regions},
  };
  for (const Case& c : cases) {
    p.opticalDrives = c.drives;
    EXPECT_EQ(FindCDROMDrive(p, c.folders), c.want) << c.name;
  }
  // Nothing found and no question allowed: empty, silently.
  p.opticalDrives.clear();
  EXPECT_EQ(FindCDROMDrive(p, {empty}, false), fs::path());
  EXPECT_TRUE(p.transcript().empty());
  // Only when nothing is found is the question asked.
  p.expectInput(std::string("/mnt/gsc"));
  EXPECT_EQ(FindCDROMDrive(p, {empty}), fs::path("/mnt/gsc/"));
}

}  // namespace
}  // namespace hv
