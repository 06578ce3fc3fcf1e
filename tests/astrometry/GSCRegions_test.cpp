#include "astrometry/GSCRegions.h"

#include <gtest/gtest.h>

#include "astrometry/ObsParms.h"
#include "images/FITSWriter.h"
#include "support/Files.h"
#include "support/Format.h"
#include "tests/astrometry/GSCFixtures.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::RegionRow;
using test::WriteBytes;

FieldBoxRec Box(double raMin, double raMax, double decMin, double decMax) {
  FieldBoxRec b;
  b.RAMin = raMin;
  b.RAMax = raMax;
  b.DecMin = decMin;
  b.DecMax = decMax;
  b.MagLimit = 16;
  return b;
}

GSCRgnRec Region(double raLow, double raHigh, double decLow, double decHigh) {
  return {raLow, raHigh, decLow, decHigh, 0};
}

// A regions table of the given rows as the catalog ships it: an empty
// primary header, then an ASCII table extension.
std::vector<std::uint8_t> RegionsTable(const std::vector<std::string>& rows,
                                       std::int64_t width = 48) {
  FITSWriter w;
  w.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true).End();
  w.Str("XTENSION", "TABLE").Int("BITPIX", 8).Int("NAXIS", 2).Int("NAXIS1", width);
  w.Int("NAXIS2", static_cast<std::int64_t>(rows.size())).Int("PCOUNT", 0).Int("GCOUNT", 1);
  w.Int("TFIELDS", 12).Str("DATE-OBS", "1990-01-01").End();
  std::string data;
  for (const auto& r : rows) data += r;
  w.U8(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size())).Pad();
  return w.Take();
}

TEST(GSCRgnRec, EncodesToItsSize) {
  const GSCRgnRec r{1.5, 2.25, -7.5, 0, 42};
  Encoder e;
  EncodeGSCRgnRec(e, r);
  ASSERT_EQ(e.size(), GSCRgnRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeGSCRgnRec(d), r);
}

TEST(GSCRegionsTable, RowsGiveTheirBoxes) {
  struct Row {
    const char* name;
    std::string row;
    GSCRgnRec want;
  };
  const Row rows[] = {
      {"high RA 0 h is 24 h", RegionRow("23 30 00.00", "00 00 00.00", "+00 00.0", "+07 30.0"),
       Region(23.5, 24, 0, 7.5)},
      {"south edge first or second",
       RegionRow("01 00 00.00", "01 30 36.00", "+00 00.0", "-07 30.0"), Region(1, 1.51, -7.5, 0)},
      {"both south", RegionRow("00 00 00.00", "00 15 00.00", "-90 00.0", "-82 30.0"),
       Region(0, 0.25, -90, -82.5)},
  };
  for (const Row& r : rows) {
    const GSCRgnRec got = GSCRgnsTblObj::ParseRegionRow(r.row);
    EXPECT_NEAR(got.RALow, r.want.RALow, 1e-12) << r.name;
    EXPECT_NEAR(got.RAHigh, r.want.RAHigh, 1e-12) << r.name;
    EXPECT_NEAR(got.DecLow, r.want.DecLow, 1e-12) << r.name;
    EXPECT_NEAR(got.DecHigh, r.want.DecHigh, 1e-12) << r.name;
  }
  EXPECT_THROW(GSCRgnsTblObj::ParseRegionRow(
                   RegionRow("0x 00 00.00", "00 15 00.00", "-90 00.0", "-82 30.0")),
               ConvertError);
  EXPECT_THROW(GSCRgnsTblObj::ParseRegionRow("short"), ConvertError);
}

TEST(GSCRegionsTable, OverlapIsStrictAndWrapsAtZeroHours) {
  struct Row {
    const char* name;
    FieldBoxRec box;
    GSCRgnRec region;
    bool overlaps;
  };
  const FieldBoxRec wrapped = Box(23.9, 0.1, -1, 1);
  const Row rows[] = {
      {"wrapped, region after 0 h", wrapped, Region(0, 0.5, -5, 5), true},
      {"wrapped, region before 24 h", wrapped, Region(23.5, 24, -5, 5), true},
      {"wrapped, opposite region", wrapped, Region(12, 12.5, -5, 5), false},
      {"touching RA edges", Box(1, 2, -1, 1), Region(2, 3, -5, 5), false},
      {"inside", Box(1, 2, -1, 1), Region(1.5, 3, -5, 5), true},
      {"touching Dec edges", Box(1, 2, -1, 1), Region(1, 2, 1, 5), false},
      {"cap over all RA", Box(0, 24, 85, 90), Region(6, 7, 82.5, 90), true},
  };
  for (const Row& r : rows)
    EXPECT_EQ(GSCRgnsTblObj::RegionOverlaps(r.box, r.region), r.overlaps) << r.name;
}

TEST(GSCRegionsTable, BlocksOfRowsAndConvertedRecordsAreReadWithinTheirBytes) {
  // 70-byte rows: 41 in a block, the 20 bytes after them are skipped.
  std::string row = RegionRow("01 00 00.00", "02 00 00.00", "+10 00.0", "+17 30.0");
  row.resize(70, '|');
  std::string data;
  for (int i = 0; i < 41; ++i) data += row;
  data.resize(2880, '#');
  for (int i = 0; i < 3; ++i) data += row;
  const std::vector<std::uint8_t> bytes(data.begin(), data.end());
  auto all = GSCRgnsTblObj::RegionsFromBlocks(bytes, 70, 44, false);
  ASSERT_EQ(all.Count(), 42);  // entry 0 and 41 rows; the cut second block ends them
  EXPECT_EQ(*all.Item(0), GSCRgnRec{});
  EXPECT_NEAR(all.Item(41)->DecHigh, 17.5, 1e-12);
  EXPECT_THROW(GSCRgnsTblObj::RegionsFromBlocks(bytes, 70, 44, true), FileError);
  EXPECT_EQ(GSCRgnsTblObj::RegionsFromBlocks(bytes, 70, 3, false).Count(), 4);
  EXPECT_THROW(GSCRgnsTblObj::RegionsFromBlocks(bytes, 20, 3, false), ConvertError);

  Encoder e;
  for (const auto& r : {GSCRgnRec{}, Region(0, 1, 2, 3), Region(1, 2, 3, 4)}) EncodeGSCRgnRec(e, r);
  e.zeros(10);  // a cut last record
  const auto bin = GSCRgnsTblObj::RegionsFromBin(e.data());
  ASSERT_EQ(bin.Count(), 3);
}

class GSCTable : public ::testing::Test {
 protected:
  void SetUp() override {
    InfoForm = std::make_unique<TInfoForm>();
    InfoForm->Changed = [this] {
      if (InfoForm->Visible) shown.push_back(InfoForm->Text);
    };
    s.ProgramFolder = test::FreshFolder("prog") / "";
    s.WorkFolder = test::FreshFolder("work") / "";
  }
  void TearDown() override { InfoForm.reset(); }

  // Rows 1..n, region i at RA i-1 to i hours (n <= 24), Dec 0 to 7.5.
  static std::vector<std::string> Rows(int n) {
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) {
      auto two = [](int v) {
        const std::string t = std::to_string(v);
        return t.size() < 2 ? "0" + t : t;
      };
      out.push_back(
          RegionRow(two(i - 1) + " 00 00.00", two(i) + " 00 00.00", "+00 00.0", "+07 30.0"));
    }
    return out;
  }

  test::Scripted p;
  OptsRec s;
  std::vector<std::string> shown;
};

TEST_F(GSCTable, FoundInTheProgramFolderWithoutRegardToCaseAndLoadedOnce) {
  WriteBytes(s.ProgramFolder / "tables" / "Regions.tbl", RegionsTable(Rows(14)));
  s.GSCPath1 = (test::FreshFolder("cat") / "").string();
  ObsParmsRec obs;
  obs.ObjName = "(433) Eros";
  GSCRgnsTblObj t(p, s);
  t.LoadTable(true);
  ASSERT_TRUE(t.Loaded);
  EXPECT_EQ(t.Regions.Count(), 15);
  EXPECT_EQ(t.VolumePath, fs::path(s.GSCPath1));
  EXPECT_EQ(t.Context().currentObs, nullptr);  // the table's DATE-OBS goes nowhere
  EXPECT_EQ(shown, (std::vector<std::string>{"Loading GSC Regions File."}));
  EXPECT_FALSE(InfoForm->Visible);

  // 14 regions overlap a box over all RA: the last two each bring the box.
  p.expectMessage(ModalResult::OK, "Region Table Full!", "Field Contains Too Many Regions!");
  p.expectMessage(ModalResult::OK, "Region Table Full!", "Field Contains Too Many Regions!");
  std::array<std::int16_t, GSCMaxRegions> list{};
  std::int16_t count = 0;
  t.FindRegions(Box(0, 24, 1, 2), list, count);
  ASSERT_EQ(count, 12);
  EXPECT_EQ(list[0], 1);
  EXPECT_EQ(list[11], 12);

  // A table shorter than the catalog's is scanned to its end only.
  t.FindRegions(Box(2.5, 3.5, 1, 2), list, count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(list[0], 3);
  EXPECT_EQ(list[1], 4);

  fs::remove_all(s.ProgramFolder / "tables");
  t.LoadTable(true);  // in memory: no file, no prompt
  EXPECT_TRUE(t.Loaded);
}

TEST_F(GSCTable, TheHeaderListingLivesAsLongAsTheTable) {
  WriteBytes(s.ProgramFolder / "TABLES" / "REGIONS.TBL", RegionsTable(Rows(1)));
  fs::path listing;
  {
    GSCRgnsTblObj t(p, s);
    t.LoadTable(true);
    ASSERT_TRUE(t.Loaded);
    listing = t.HdrFileName;
    EXPECT_TRUE(fs::exists(listing));
  }
  EXPECT_FALSE(fs::exists(listing));
}

TEST_F(GSCTable, OnTheOpticalDriveTheDiscIsAskedFor) {
  const fs::path cdrom = test::FreshFolder("cdrom") / "";
  p.opticalDrives = {cdrom};
  const fs::path disc = test::FreshFolder("disc") / "";
  WriteBytes(disc / "TABLES" / "REGIONS.TBL", RegionsTable(Rows(3)));
  p.expectDialog("TCatlgPathDlg", [&](DialogModel& m) {
    auto& d = static_cast<TCatlgPathDlg&>(m);
    EXPECT_EQ(d.Caption, "GSC Regions Table");
    EXPECT_EQ(d.What, "Guide Star Catalog Volume I or II");
    EXPECT_EQ(d.Drive, cdrom);
    EXPECT_FALSE(d.NotFound);
    d.FormActivate();
    d.DrvEd = disc.string();
    return d.OkBtnClick();
  });
  GSCRgnsTblObj t(p, s);
  t.LoadTable(true);
  ASSERT_TRUE(t.Loaded);
  EXPECT_EQ(t.VolumePath, disc);
  EXPECT_EQ(t.TriedPath, cdrom);
  EXPECT_EQ(p.beeps().back(), Sound::Default);
}

TEST_F(GSCTable, TheCatalogLocationIsTriedThenTheStudentAsked) {
  const fs::path cat = test::FreshFolder("cat") / "";
  s.GSCPath1 = cat.string();
  GSCRgnsTblObj t(p, s);
  p.expectDialog("TCatlgPathDlg", [&](DialogModel& m) {
    auto& d = static_cast<TCatlgPathDlg&>(m);
    EXPECT_EQ(d.Caption, "GSC Regions Table Not Found");
    EXPECT_EQ(d.What, "Guide Star Catalog Regions Table");
    EXPECT_EQ(d.PathTried, cat);
    EXPECT_TRUE(d.NotFound);
    return ModalResult::Retry;
  });
  const fs::path other = test::FreshFolder("other") / "";
  WriteBytes(other / "TABLES" / "REGIONS.TBL", RegionsTable(Rows(2)));
  p.expectFolder(other / "tables");  // the TABLES folder itself
  t.LoadTable(true);
  ASSERT_TRUE(t.Loaded);
  EXPECT_EQ(t.VolumePath, other);
  EXPECT_EQ(t.Regions.Count(), 3);
}

TEST_F(GSCTable, CancelAndFaultyTablesLeaveItUnloaded) {
  // No location configured, no optical drive and no answer from start-up:
  // the drive is not asked for again, the program folder is the location
  // and the first failure prompts.
  p.expectDialog("TCatlgPathDlg", [&](DialogModel& m) {
    auto& d = static_cast<TCatlgPathDlg&>(m);
    EXPECT_EQ(d.PathTried, s.ProgramFolder);
    return ModalResult::Cancel;
  });
  GSCRgnsTblObj t(p, s);
  t.LoadTable(true);
  EXPECT_FALSE(t.Loaded);

  // Rows too narrow for the fields: refused, never read past a row.
  WriteBytes(s.ProgramFolder / "TABLES" / "REGIONS.TBL", RegionsTable({std::string(20, '1')}, 20));
  p.expectMessage(ModalResult::OK, "FITS File Error!", "Missing or Faulty");
  p.expectMessage(ModalResult::OK, "File Error!", "Unable to Load GSC Regions File.");
  t.LoadTable(true);
  EXPECT_FALSE(t.Loaded);
  EXPECT_FALSE(InfoForm->Visible);

  // A field that is no number reaches the caller; the table stays unloaded.
  std::string bad = RegionRow("0x 00 00.00", "01 00 00.00", "+00 00.0", "+07 30.0");
  WriteBytes(s.ProgramFolder / "TABLES" / "REGIONS.TBL", RegionsTable({bad}));
  EXPECT_THROW(t.LoadTable(true), ConvertError);
  EXPECT_FALSE(t.Loaded);
  EXPECT_FALSE(InfoForm->Visible);

  // A cut last block is an I/O error naming the file.
  auto cut = RegionsTable(Rows(3));
  cut.resize(cut.size() - 100);
  WriteBytes(s.ProgramFolder / "TABLES" / "REGIONS.TBL", cut);
  try {
    t.LoadTable(true);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.code(), 100);
    EXPECT_NE(std::string(e.what()).find("REGIONS.TBL"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(t.Loaded);
}

TEST_F(GSCTable, ConvertedTableIsTheFlatFile) {
  const fs::path cat = test::FreshFolder("conv") / "";
  s.GSCPath1 = cat.string();
  s.GSCFormat = GSCFormatCode::Converted;
  GSCRgnsTblObj t(p, s);
  p.expectMessage(ModalResult::OK, "Converted GSC Regions Error!",
                  "Unable to Open Converted GSC Regions Table!");
  t.LoadTable(true);
  EXPECT_FALSE(t.Loaded);

  Encoder e;
  for (const auto& r : {GSCRgnRec{}, Region(0, 1, 2, 3), Region(1, 2, 3, 4)}) EncodeGSCRgnRec(e, r);
  WriteBytes(cat / "tables" / "regions.bin", e.take());
  t.LoadTable(true);
  ASSERT_TRUE(t.Loaded);
  EXPECT_EQ(t.Regions.Count(), 3);
  EXPECT_EQ(*t.Regions.Item(2), Region(1, 2, 3, 4));
  EXPECT_EQ(shown, (std::vector<std::string>{"Loading GSC Regions Data."}));
}

TEST(GSCCatalogPath, BrowsedFoldersAndTheDriveEntry) {
  struct Row {
    const char* chosen;
    const char* name;
    const char* want;
  };
  const Row rows[] = {
      {"/media/CATALOG/TABLES/", "TABLES", "/media/CATALOG/"},
      {"/media/CATALOG/tables", "TABLES", "/media/CATALOG/"},
      {"/media/TABLES/X/", "TABLES", "/media/TABLES/X/"},
      {"/media/MYTABLES/", "TABLES", "/media/MYTABLES/"},
      {"/media/vol2/GSC/", "GSC", "/media/vol2/"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(StripCatalogSubfolder(r.chosen, r.name), fs::path(r.want)) << r.chosen;

  test::Scripted p;
  TCatlgPathDlg d(p);
  d.Drive = "/media/cdrom/";
  d.What = "Guide Star Catalog Volume I";
  d.NotFound = false;
  d.FormActivate();
  EXPECT_EQ(d.DrvEd, "/media/cdrom/");
  EXPECT_EQ(d.DlgText,
            "Please insert Guide Star Catalog Volume I in CDROM drive shown.  (Change drive letter "
            "if incorrect, or Press \"Browse\" to locate on Fixed Disk.)\r\n\r\n*** Allow CD Drive "
            "to Finish Loading Before Pressing \"OK\". ***");
  d.DrvEd = "/media/cdrom1";
  EXPECT_EQ(d.OkBtnClick(), ModalResult::OK);
  EXPECT_EQ(d.Drive, fs::path("/media/cdrom1/"));
  d.DrvEd.clear();
  d.OkBtnClick();
  EXPECT_EQ(d.Drive, fs::path("/media/cdrom1/"));

  OptsRec s;
  s.CDROMRoot = "/media/cdrom/";
  EXPECT_TRUE(IsDriveRoot(p, s, "/media/cdrom/"));
  EXPECT_FALSE(IsDriveRoot(p, s, "/media/cdrom/GSC/"));
}

}  // namespace
}  // namespace hv
