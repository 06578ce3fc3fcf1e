#include "app/ListFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "app/Folders.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

SiteRec Site(const std::string& name, const std::string& code = "999") {
  SiteRec s = DefaultSite();
  s.Name = name;
  s.Code = code;
  return s;
}

CamRec Cam(const std::string& name, std::int32_t width = 512) {
  CamRec c;
  c.Name = name;
  c.ImageWidth = width;
  return c;
}

std::vector<std::uint8_t> SiteFile(const std::vector<SiteRec>& sites) {
  Encoder e;
  for (const auto& s : sites) EncodeSiteRec(e, s);
  return e.take();
}

struct Fixture {
  test::Scripted p;
  fs::path program = test::FreshFolder("program");
  OptsRec settings;
  Fixture() {
    SetOptsDefaults(settings, 1);
    settings.ProgramFolder = WithSeparator(program);
  }
  fs::path Stations() const { return program / "ASTSITES.DAT"; }
};

std::vector<std::string> Codes(const SiteRecList& list) {
  std::vector<std::string> out;
  for (const auto& s : list) out.push_back(s.Code);
  return out;
}

TEST(ListFiles, NameOrder) {
  struct Case {
    const char *a, *b;
    bool greater, equal;
  } cases[] = {
      {"Abc", "abc", false, false},  // upper case first
      {"abc", "Abc", true, false},
      {"Zulu", "alpha", false, false},       // any upper-case start before any lower-case one
      {"Kerv", "Kervanholt", false, false},  // a beginning orders first
      {" Kerv", "Kerv", false, false},       // a leading blank orders first
      {"Kerv ", "Kerv", true, false},        // trailing blanks count
      {"Same", "Same", false, true},
      {"\xE9t\xE9", "zeta", true, false},  // Latin-1 bytes are unsigned
      {"", "A", false, false},
  };
  for (const auto& c : cases) {
    SiteRec a = Site(c.a), b = Site(c.b);
    EXPECT_EQ(SiteNameGreater(a, b), c.greater) << '"' << c.a << "\" > \"" << c.b << '"';
    EXPECT_EQ(SiteNameEqual(a, b), c.equal) << '"' << c.a << "\" == \"" << c.b << '"';
    EXPECT_EQ(CamNameGreater(Cam(c.a), Cam(c.b)), c.greater) << c.a;
    EXPECT_EQ(CamNameEqual(Cam(c.a), Cam(c.b)), c.equal) << c.a;
  }
}

TEST(ListFiles, FileNamesResolve) {
  EXPECT_EQ(ListFilePath("ASTSITES.DAT", "/opt/hv/"), fs::path("/opt/hv/ASTSITES.DAT"));
  EXPECT_EQ(ListFilePath("/lab/shared/ASTSITES.DAT", "/opt/hv/"),
            fs::path("/lab/shared/ASTSITES.DAT"));

  // A bare name is read from the program folder, whatever the current folder.
  Fixture f;
  WriteFileAtomic(f.Stations(), SiteFile({Site("Prog")}));
  WriteFileAtomic("ASTSITES.DAT", SiteFile({Site("Cwd")}));
  SiteListFile list(f.p);
  list.Load(f.settings);
  EXPECT_EQ(list.FileName, f.Stations());
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Prog"}));

  fs::path elsewhere = test::FreshFolder("elsewhere") / "MYSITES.DAT";
  WriteFileAtomic(elsewhere, SiteFile({Site("Other")}));
  f.settings.StationsFile = elsewhere.string();
  list.Load(f.settings);
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Other"}));
}

TEST(ListFiles, MissingAndEmptyFilesGiveEmptyLists) {
  Fixture f;
  SiteListFile sites(f.p);
  sites.Load(f.settings);
  EXPECT_TRUE(sites.Sites.IsEmpty());
  WriteFileAtomic(f.Stations(), std::string_view());
  sites.Load(f.settings);
  EXPECT_TRUE(sites.Sites.IsEmpty());
  EXPECT_FALSE(sites.ReadFailed());
  // The first save creates the file.
  CamListFile cams(f.p);
  cams.Load(f.settings);
  cams.Cameras.InsertSorted(Cam("ST-7"));
  ASSERT_TRUE(cams.WriteCamFile());
  EXPECT_EQ(fs::file_size(f.program / "ASTCAMS.DAT"), CamRecSize);
  EXPECT_TRUE(f.p.messages().empty());
}

TEST(ListFiles, KeepsNameOrderThroughChangesAndRoundTrip) {
  Fixture f;
  // Out of order on disk, with two records of one name.
  WriteFileAtomic(f.Stations(),
                  SiteFile({Site("Tautenburg", "033"), Site("Klet", "046"), Site("Ondrejov", "557"),
                            Site("Klet", "246"), Site("Asiago", "098")}));
  SiteListFile list(f.p);
  list.Load(f.settings);
  EXPECT_EQ(list.Names(),
            (std::vector<std::string>{"Asiago", "Klet", "Klet", "Ondrejov", "Tautenburg"}));

  // Save under a new name, replace one found by name, delete a line.
  list.Sites.InsertSorted(Site("Bergisch Gladbach", "I32"));
  ASSERT_NE(list.Find(Site("Ondrejov")), nullptr);
  list.Sites.Replace(Site("Ondrejov", "558"));
  EXPECT_EQ(list.Find(Site("Nowhere")), nullptr);
  EXPECT_EQ(list.Sites.CurIndex(), list.Sites.LastIndex());  // the search ended on the last item
  list.Sites.Item(0);
  list.Sites.DeleteCurrent();  // Asiago
  // A second record under an existing name, kept beside it.
  list.Find(Site("Tautenburg"));
  list.Sites.InsertSorted(Site("Tautenburg", "034"));
  ASSERT_TRUE(list.WriteSiteFile());

  const std::vector<std::string> names = {"Bergisch Gladbach", "Klet",       "Klet",
                                          "Ondrejov",          "Tautenburg", "Tautenburg"};
  EXPECT_EQ(list.Names(), names);
  EXPECT_EQ(fs::file_size(f.Stations()), names.size() * SiteRecSize);

  SiteListFile again(f.p);
  again.Load(f.settings);
  EXPECT_EQ(again.Names(), names);
  auto codes = Codes(again.Sites);
  EXPECT_EQ(codes[3], "558");
  EXPECT_EQ(std::vector<std::string>(codes.begin() + 4, codes.end()),
            (std::vector<std::string>{"033", "034"}));
  std::vector<std::string> kletCodes(codes.begin() + 1, codes.begin() + 3);
  std::sort(kletCodes.begin(), kletCodes.end());
  EXPECT_EQ(kletCodes, (std::vector<std::string>{"046", "246"}));
  // Whole records survive, not only names.
  again.Sites.Item(0);
  EXPECT_EQ(*again.Sites.CurrentItem(), Site("Bergisch Gladbach", "I32"));
}

TEST(ListFiles, CutFileIsReportedAndNeverRewritten) {
  Fixture f;
  auto bytes = SiteFile({Site("Kervanholt")});
  bytes.push_back(0);  // 171 bytes
  WriteFileAtomic(f.Stations(), bytes);
  SiteListFile list(f.p);
  f.p.expectMessage(ModalResult::OK, "Station File Error", "Error Occurred Reading Station File!");
  EXPECT_THROW(list.Load(f.settings), FileError);
  EXPECT_TRUE(list.ReadFailed());
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Kervanholt"}));
  ASSERT_EQ(f.p.messages().size(), 1u);
  EXPECT_EQ(f.p.messages()[0].icon, MsgIcon::Error);

  list.Sites.InsertSorted(Site("New"));
  f.p.expectMessage(ModalResult::OK, "Station File Error", "is not rewritten");
  EXPECT_FALSE(list.WriteSiteFile());
  EXPECT_EQ(ReadWholeFile(f.Stations()), bytes);
  ASSERT_EQ(f.p.messages().size(), 2u);
  EXPECT_EQ(f.p.messages()[1].icon, MsgIcon::Warning);
  EXPECT_EQ(f.p.messages()[1].sound, Sound::Exclamation);
  EXPECT_EQ(f.p.messages()[0].sound, Sound::Hand);  // the read error itself

  // The camera file says so in its own words.
  WriteFileAtomic(f.program / "ASTCAMS.DAT", std::vector<std::uint8_t>(CamRecSize + 5, 0));
  CamListFile cams(f.p);
  f.p.expectMessage(ModalResult::OK, "Camera File Error", "Error Occurred Reading Camera File!");
  EXPECT_THROW(cams.Load(f.settings), FileError);
  EXPECT_EQ(cams.Cameras.Count(), 1);
}

TEST(ListFiles, CameraFileRoundTrip) {
  Fixture f;
  CamListFile cams(f.p);
  cams.Load(f.settings);
  for (const char* n : {"ST-9", "ST-10XME", "Apogee", "st-7"}) cams.Cameras.InsertSorted(Cam(n));
  ASSERT_TRUE(cams.WriteCamFile());
  CamListFile again(f.p);
  again.Load(f.settings);
  EXPECT_EQ(again.Names(), (std::vector<std::string>{"Apogee", "ST-10XME", "ST-9", "st-7"}));
  CamRec* found = again.Find(Cam("ST-9"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, Cam("ST-9"));
  EXPECT_EQ(again.Cameras.CurIndex(), 2);
}

// A save that fails (a missing folder, a full disk) says so with the file's
// name and the I/O error's text, and leaves the old file whole.
TEST(ListFiles, WriteFailureIsShownWithTheFileName) {
  const struct {
    const char* name;
    bool cameras;
    bool missingFolder;
    const char* caption;
    const char* text;
  } rows[] = {
      {"stations, disk full", false, false, "Station File Error", "Disk Full!"},
      {"cameras, disk full", true, false, "Camera File Error", "Disk Full!"},
      {"cameras, no such folder", true, true, "Camera File Error", ""},
  };
  for (const auto& r : rows) {
    Fixture f;
    const fs::path file = r.missingFolder ? f.program / "no" / "such" / "ASTCAMS.DAT"
                          : r.cameras     ? f.program / "ASTCAMS.DAT"
                                          : f.Stations();
    (r.cameras ? f.settings.CameraFile : f.settings.StationsFile) = file.string();
    if (!r.missingFolder) WriteFileAtomic(file, std::string_view());
    const std::string kind = r.cameras ? "Camera" : "Station";
    f.p.expectMessage(
        ModalResult::OK, r.caption,
        "Unable to save " + kind + " File!\r\n\r\nFileName: " + file.string() + "\r\n" + r.text);
    bool written = true;
    {
      SaveFaultScope full(
          [&](std::string_view call) { return !r.missingFolder && call == "write" ? ENOSPC : 0; });
      if (r.cameras) {
        CamListFile cams(f.p);
        cams.Load(f.settings);
        cams.Cameras.InsertSorted(Cam("ST-7"));
        written = cams.WriteCamFile();
      } else {
        SiteListFile sites(f.p);
        sites.Load(f.settings);
        sites.Sites.InsertSorted(Site("Home"));
        written = sites.WriteSiteFile();
      }
    }
    EXPECT_FALSE(written) << r.name;
    f.p.verify();
    if (!r.missingFolder) {
      EXPECT_EQ(fs::file_size(file), 0u) << r.name;
    }
  }
}

}  // namespace
}  // namespace hv
