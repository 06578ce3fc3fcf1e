#include "astrometry/GSCField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "astrometry/GSCRegions.h"
#include "tests/astrometry/GSCFixtures.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::Bin;
using test::BinFile;
using test::GSCRegionFile;
using test::GSCRow;
using test::WriteBytes;

FieldBoxRec Box(double raMin, double raMax, double decMin, double decMax, float mag = 16) {
  FieldBoxRec b;
  b.RAMin = raMin;
  b.RAMax = raMax;
  b.DecMin = decMin;
  b.DecMax = decMax;
  b.MagLimit = mag;
  return b;
}

std::vector<std::string> Names(const CatStarList& l) {
  std::vector<std::string> out;
  for (const auto& s : l) out.push_back(s.Name);
  return out;
}

TEST(CatStarRec, EncodesToItsSize) {
  CatStarRec r;
  r.Catalog = 2;
  r.Name = "1234-0567890";
  r.RA = 12.3456789012345L;
  r.Dec = -45.678L;
  r.PMRA = 0.01f;
  r.PMDec = -0.02f;
  r.PosErr = 0.3f;
  r.UsePos = true;
  r.Mag = 13.5f;
  r.MagErr = 0.2f;
  r.UseMag = true;
  r.Band = 1;
  r.Class = 3;
  r.Entries = 4;
  r.FieldX = 100.25L;
  r.FieldY = -3.5L;
  r.ScreenX = 7;
  r.ScreenY = -8;
  r.StampLevel = 2;
  Encoder e;
  EncodeCatStarRec(e, r);
  ASSERT_EQ(e.size(), CatStarRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeCatStarRec(d), r);
  Decoder cut(std::span<const std::uint8_t>(e.data().data(), CatStarRecSize - 1));
  EXPECT_THROW(DecodeCatStarRec(cut), DecodeError);

  GSCBinRec b = Bin(123456789, -2500000, 12345, "01234", 3, 2, 5, 7);
  Encoder be;
  EncodeGSCBinRec(be, b);
  ASSERT_EQ(be.size(), GSCBinRecSize);
  Decoder bd(be.data());
  EXPECT_EQ(DecodeGSCBinRec(bd), b);
}

TEST(CatStarList, AscendingRAAndEqualRAsStay) {
  CatStarList l;
  for (auto [name, ra] : {std::pair{"c", 3.0L}, {"a", 1.0L}, {"b", 2.0L}, {"b2", 2.0L}}) {
    CatStarRec s;
    s.Name = name;
    s.RA = ra;
    l.InsertSorted(s);
  }
  ASSERT_EQ(l.Count(), 4);  // the same RA twice: both kept
  long double last = 0;
  for (const auto& s : l) {
    EXPECT_GE(s.RA, last) << s.Name;
    last = s.RA;
  }
  EXPECT_EQ(l.Item(0)->Name, "a");
  EXPECT_EQ(l.Item(3)->Name, "c");
}

// A query takes each region's stars in one sorted merge: ascending RA, and
// stars of equal RA in the order they came (region by region, file order
// within one), whatever order the files hold them in.
TEST(GSCField, RegionsMergeInRAOrderEqualRAsAsTheyCame) {
  std::mt19937 gen(3105);
  for (int trial = 0; trial < 20; ++trial) {
    test::Scripted platform;
    OptsRec settings;
    GSCFieldObj field(platform, settings);
    std::vector<std::pair<std::int32_t, std::string>> came;
    const FieldBoxRec box = Box(0, 24, -90, 90, 30);
    for (int region = 1; region <= 3; ++region) {
      std::vector<GSCBinRec> recs;
      const int n = static_cast<int>(gen() % 40);
      for (int i = 0; i < n; ++i) {
        // Few distinct RAs, so that equal ones meet within and across regions.
        const auto ra = static_cast<std::int32_t>(10000000 * (1 + gen() % 6));
        recs.push_back(Bin(ra, 1000000, 11000, std::to_string(10000 + i)));
      }
      if (trial % 2)
        std::stable_sort(recs.begin(), recs.end(), [](auto& a, auto& b) { return a.RA < b.RA; });
      field.TakeBinRecords(BinFile(recs), region, box, false);
      for (const auto& b : recs) came.emplace_back(b.RA, GSCRegionText(region) + "-" + b.ID);
      std::stable_sort(came.begin(), came.end(),
                       [](auto& a, auto& b) { return a.first < b.first; });
      std::vector<std::string> want;
      for (const auto& c : came) want.push_back(c.second);
      ASSERT_EQ(Names(field.Stars), want) << "trial " << trial << ", region " << region;
    }
  }
}

TEST(GSCLayout, ZonesFoldersAndFileNames) {
  struct Row {
    std::int32_t region;
    int zone;
    std::string_view folder;
  };
  const Row rows[] = {{1, 1, "GSC\\N0000\\"},     {593, 1, "GSC\\N0000\\"},
                      {594, 2, "GSC\\N0730\\"},   {4662, 12, "GSC\\N8230\\"},
                      {4663, 13, "GSC\\S0000\\"}, {5259, 13, "GSC\\S0000\\"},
                      {5260, 14, "GSC\\S0730\\"}, {9537, 24, "GSC\\S8230\\"}};
  for (const Row& r : rows) {
    const int k = GSCZoneOf(r.region);
    EXPECT_EQ(k, r.zone) << "region " << r.region;
    if (k > 0) {
      EXPECT_EQ(GSCZoneDirs[static_cast<std::size_t>(k - 1)], r.folder);
    }
  }
  EXPECT_EQ(GSCZoneOf(0), 0);
  EXPECT_EQ(GSCZoneOf(9538), 0);
  EXPECT_EQ(GSCRegionFileName(5, ".GSC"), "0005.GSC");
  EXPECT_EQ(GSCRegionFileName(9537, ".BIN"), "9537.BIN");
  EXPECT_EQ(GSCRegionText(5), "00005");
}

TEST(GSCField, RowsParseAndMergeWeightedByTheirErrors) {
  test::Scripted p;
  OptsRec s;
  GSCFieldObj f(p, s);
  const auto rows = GSCRegionFile({
      GSCRow("00012", 10.0, 5.0, 0.2, 12.0, 0.1, 0),
      GSCRow("00012", 10.0003, 5.0, 0.4, 12.5, 0.0, 0),
      GSCRow("00020", 10.001, 5.001, 0.3, 11.0, 0.2, 0),  // a galaxy seen on two plates
      GSCRow("00020", 10.001, 5.001, 0.3, 11.2, 0.2, 3),
      GSCRow("", 10.002, 5.0, 0.3, 11.0, 0.2, 0),       // filler: five blanks
      GSCRow("00030", 10.002, 5.0, 0.3, 17.0, 0.2, 0),  // too faint
  });
  f.TakeRawRows(std::span(rows).subspan(GSCRawHeaderSize), 5, Box(0.5, 1.0, 4, 6));
  ASSERT_EQ(f.RawRows.Count(), 4);
  const CatStarRec& first = *f.RawRows.begin();
  EXPECT_EQ(first.Name, "00005-00012");
  EXPECT_NEAR(static_cast<double>(first.RA), 10.0, 1e-12);  // degrees before the merge
  EXPECT_EQ(first.Band, 8);
  EXPECT_EQ(first.Entries, 1);
  EXPECT_TRUE(first.UsePos && first.UseMag);
  EXPECT_FLOAT_EQ(f.MinMag, 11.0f);
  EXPECT_FLOAT_EQ(f.MaxMag, 12.5f);

  f.MergeEntries();
  ASSERT_EQ(f.Stars.Count(), 2);
  const CatStarRec& star = *f.Stars.Item(0);
  EXPECT_EQ(star.Name, "00005-00012");
  EXPECT_NEAR(static_cast<double>(star.RA), 0.66667333, 1e-8);  // 10.0001 degrees in hours
  EXPECT_NEAR(star.PosErr, std::sqrt(2.0) / 7.5, 1e-6);
  EXPECT_NEAR(star.Mag, 12.25, 1e-6);
  EXPECT_NEAR(star.MagErr, std::sqrt(2.0) / 20, 1e-6);
  EXPECT_EQ(star.Entries, 2);
  const CatStarRec& galaxy = *f.Stars.Item(1);
  EXPECT_EQ(galaxy.Class, 3);
  EXPECT_EQ(f.NumStars, 1);
}

TEST(GSCField, DamagedRowsNeitherDivideByZeroNorReadPastTheRow) {
  test::Scripted p;
  OptsRec s;
  GSCFieldObj f(p, s);
  // Errors of opposite sign would make the weights add up to zero.
  auto rows = GSCRegionFile({GSCRow("00001", 10.0, 5.0, 0.5, 12.0, 0.1, 0),
                             GSCRow("00001", 10.0, 5.0, -0.5, 12.0, -0.1, 0)});
  rows.resize(rows.size() + 20, 'x');  // a cut last row is no row
  f.TakeRawRows(std::span(rows).subspan(GSCRawHeaderSize), 1, Box(0, 24, -90, 90));
  f.MergeEntries();
  ASSERT_EQ(f.Stars.Count(), 1);
  EXPECT_TRUE(std::isfinite(static_cast<double>(f.Stars.Item(0)->RA)));

  // A star row whose RA is no number is a conversion error.
  std::string bad = GSCRow("00002", 10.0, 5.0, 0.5, 12.0, 0.1, 0);
  bad.replace(5, 9, "   xx.yyy");
  const auto badRows = GSCRegionFile({bad});
  EXPECT_THROW(f.TakeRawRows(std::span(badRows).subspan(GSCRawHeaderSize), 1, Box(0, 24, -90, 90)),
               ConvertError);
}

TEST(GSCField, InFieldBoundsAreInclusiveAndWrapAtZeroHours) {
  struct Row {
    const char* name;
    long double ra, dec;
    float mag;
    bool in;
  };
  const FieldBoxRec wrapped = Box(23.9, 0.1, -1, 1, 14);
  const Row rows[] = {
      {"before 0 h", 23.95L, 0, 10, true},
      {"after 0 h", 0.05L, 0, 10, true},
      {"on the high edge", 0.1L, 0, 10, true},
      {"past the high edge", 0.2L, 0, 10, false},
      {"opposite side", 12.0L, 0, 10, false},
      {"magnitude at the limit", 0.0L, 0, 14, true},
      {"fainter than the limit", 0.0L, 0, 14.01f, false},
      {"on the Dec edge", 0.0L, 1, 10, true},
      {"past the Dec edge", 0.0L, 1.01L, 10, false},
  };
  for (const Row& r : rows) {
    CatStarRec s;
    s.RA = r.ra;
    s.Dec = r.dec;
    s.Mag = r.mag;
    EXPECT_EQ(GSCFieldObj::InField(s, wrapped), r.in) << r.name;
  }
  CatStarRec s;
  s.RA = 1.5L;
  EXPECT_TRUE(GSCFieldObj::InField(s, Box(1, 2, -1, 1)));
  EXPECT_FALSE(GSCFieldObj::InField(s, Box(2, 3, -1, 1)));
}

TEST(GSCField, NearestStarWithinOneHundredPixelsEarlierOnTies) {
  test::Scripted p;
  OptsRec s;
  GSCFieldObj f(p, s);
  CatStarRec* star = nullptr;
  EXPECT_EQ(f.NearestStar(0, 0, star), -1);
  auto add = [&](const char* name, long double ra, long double x, long double y) {
    CatStarRec c;
    c.Name = name;
    c.RA = ra;
    c.FieldX = x;
    c.FieldY = y;
    f.Stars.InsertSorted(c);
  };
  add("far", 1, 100, 0);
  EXPECT_EQ(f.NearestStar(0, 0, star), -1);  // exactly 100 pixels
  add("near", 2, 99.9L, 0);
  ASSERT_EQ(f.NearestStar(0, 0, star), 1);
  EXPECT_EQ(star->Name, "near");
  add("tie", 3, 0, 99.9L);
  EXPECT_EQ(f.NearestStar(0, 0, star), 1);
  EXPECT_EQ(star->Name, "near");
}

class GSCSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    InfoForm = std::make_unique<TInfoForm>();
    InfoForm->Changed = [this] {
      if (InfoForm->Visible) shown.push_back(InfoForm->Text);
    };
    s.ProgramFolder = WithSep(test::FreshFolder("prog"));
  }
  void TearDown() override {
    InfoForm.reset();
    GSCRgnsTbl.reset();
  }
  static fs::path WithSep(const fs::path& p) { return p / ""; }

  test::Scripted p;
  OptsRec s;
  std::vector<std::string> shown;
};

TEST_F(GSCSearch, ConvertedRegionsGiveTheFieldInRAOrder) {
  const fs::path cat = WithSep(test::FreshFolder("conv"));
  s.GSCPath1 = cat.string();
  s.GSCPath2 = cat.string();
  s.GSCFormat = GSCFormatCode::Converted;
  // Region 5 (zone 1) and region 5260 (zone 14, volume II), lower-case names.
  WriteBytes(cat / "gsc" / "n0000" / "0005.bin",
             BinFile({Bin(5000000, 1000000, 12345, "00002", 0, 3, 4, 15),
                      Bin(1000000, 1000000, 11000, "00001"),
                      Bin(1500000, 1000000, 11000, "00003", 3),  // non-stellar
                      Bin(1200000, 9000000, 11000, "00004"),     // outside in Dec
                      Bin(1200000, 1000000, 15500, "00005")}));  // too faint
  WriteBytes(cat / "gsc" / "S0730" / "5260.BIN", BinFile({Bin(3000000, -2500000, 9000, "00009")}));
  GSCFieldObj f(p, s);
  f.InitSearch();
  const std::array<std::int16_t, 2> list{5, 5260};
  ASSERT_TRUE(f.SearchRegions(Box(0.05, 0.6, -30, 30, 15), list, 2));
  EXPECT_EQ(Names(f.Stars),
            (std::vector<std::string>{"00005-00001", "00005-00003", "05260-00009", "00005-00002"}));
  const CatStarRec& a = *f.Stars.Item(3);
  EXPECT_NEAR(static_cast<double>(a.RA), 0.5, 1e-15);
  EXPECT_FLOAT_EQ(a.Mag, 12.345f);
  EXPECT_FLOAT_EQ(a.PosErr, 0.4f);
  EXPECT_FLOAT_EQ(a.MagErr, 0.15f);
  EXPECT_EQ(a.Entries, 3);
  EXPECT_EQ(a.Band, 8);
  EXPECT_NEAR(static_cast<double>(f.Stars.Item(2)->Dec), -25.0, 1e-15);
  EXPECT_EQ(f.NumStars, 3);
  EXPECT_FLOAT_EQ(f.MinMag, 9.0f);
  EXPECT_FLOAT_EQ(f.MaxMag, 12.345f);
  EXPECT_EQ(shown, (std::vector<std::string>{"Searching Selected GSC Regions."}));
  EXPECT_FALSE(InfoForm->Visible);

  // Read for position, magnitude and ID only: every object is a star.
  s.GSCFormat = GSCFormatCode::Quillan;
  f.InitSearch();
  ASSERT_TRUE(f.SearchRegions(Box(0.05, 0.6, -30, 30, 15), list, 2));
  EXPECT_EQ(f.Stars.Count(), 4);
  EXPECT_EQ(f.NumStars, 4);
  for (const auto& st : f.Stars) {
    EXPECT_EQ(st.Class, 0);
    EXPECT_EQ(st.Entries, 1);
    EXPECT_EQ(st.PosErr, 0);
    EXPECT_EQ(st.MagErr, 0);
  }
}

TEST_F(GSCSearch, AMissingConvertedFileEndsTheSearchKeepingWhatWasRead) {
  const fs::path cat = WithSep(test::FreshFolder("conv"));
  s.GSCPath1 = cat.string();  // no second location: volume II is there too
  s.GSCFormat = GSCFormatCode::Converted;
  WriteBytes(cat / "GSC" / "S0730" / "5260.BIN", BinFile({Bin(3000000, 0, 9000, "00009")}));
  GSCFieldObj f(p, s);
  f.InitSearch();
  p.expectMessage(ModalResult::OK, "Converted GSC File Error!",
                  "Unable to Open Converted GSC File!");
  const std::array<std::int16_t, 3> list{5260, 6, 7};
  EXPECT_TRUE(f.SearchRegions(Box(0, 1, -10, 10), list, 3));
  EXPECT_EQ(Names(f.Stars), (std::vector<std::string>{"05260-00009"}));
  EXPECT_NE(p.messages().back().text.find("0006.BIN"), std::string::npos);
  const std::string& box = p.messages().back().text;
  EXPECT_TRUE(box.starts_with("Unable to Open Converted GSC File!\r\n\r\nFile Name: ")) << box;
  EXPECT_NE(box.find("0006.BIN\r\nIOResult = 2"), std::string::npos) << box;

  s.GSCFormat = GSCFormatCode::Quillan;
  p.expectMessage(ModalResult::OK, "Quillan GSC File Error!", "Unable to Open Quillan GSC File!");
  const std::array<std::int16_t, 1> missing{6};
  EXPECT_FALSE(f.SearchRegions(Box(0, 1, -10, 10), missing, 1));
}

TEST_F(GSCSearch, CatalogFilesFoundInTheProgramFolderThenOnTheVolume) {
  const fs::path vol = WithSep(test::FreshFolder("vol1"));
  GSCRgnsTbl = std::make_unique<GSCRgnsTblObj>(p, s);
  GSCRgnsTbl->VolumePath = vol;
  WriteBytes(vol / "gsc" / "n0000" / "0001.gsc",
             GSCRegionFile({GSCRow("00001", 1.0, 1.0, 0.2, 10.0, 0.1, 0),
                            GSCRow("00001", 1.0002, 1.0, 0.2, 10.2, 0.1, 0)}));
  WriteBytes(s.ProgramFolder / "GSC" / "N0000" / "0002.GSC",
             GSCRegionFile({GSCRow("00007", 2.0, 1.0, 0.2, 11.0, 0.1, 0)}));
  GSCFieldObj f(p, s);
  f.InitSearch();
  EXPECT_EQ(f.Vol1Path, vol);
  EXPECT_EQ(f.Vol2Path, vol);
  EXPECT_EQ(f.Title, "STScI Guide Star Catalog");
  const std::array<std::int16_t, 2> list{2, 1};
  ASSERT_TRUE(f.SearchRegions(Box(0, 1, 0, 2), list, 2));
  EXPECT_EQ(Names(f.Stars), (std::vector<std::string>{"00001-00001", "00002-00007"}));
  EXPECT_EQ(f.Stars.Item(0)->Entries, 2);
  EXPECT_EQ(f.NumStars, 2);
  EXPECT_EQ(f.RawRows.Count(), 3);
}

TEST_F(GSCSearch, AMissingVolumeIsAskedForAndABrowsedGSCFolderMeansItsParent) {
  const fs::path vol2 = WithSep(test::FreshFolder("vol2"));
  WriteBytes(vol2 / "GSC" / "S0730" / "5260.GSC",
             GSCRegionFile({GSCRow("00003", 1.0, -8.0, 0.2, 10.0, 0.1, 0)}));
  GSCRgnsTbl = std::make_unique<GSCRgnsTblObj>(p, s);
  GSCRgnsTbl->VolumePath = WithSep(test::FreshFolder("vol1"));
  GSCFieldObj f(p, s);
  f.InitSearch();
  const std::array<std::int16_t, 1> list{5260};
  p.expectDialog("TCatlgPathDlg", [&](DialogModel& m) {
    auto& d = static_cast<TCatlgPathDlg&>(m);
    EXPECT_EQ(d.Caption, "GSC File Error!");
    EXPECT_EQ(d.What, "Guide Star Catalog Volume II");
    EXPECT_TRUE(d.NotFound);
    d.FormActivate();
    EXPECT_NE(d.DlgText.find("Unable to access Guide Star Catalog Volume II at location \"" +
                             GSCRgnsTbl->VolumePath.string() + "\"."),
              std::string::npos);
    return ModalResult::Retry;
  });
  p.expectFolder(vol2 / "GSC");
  ASSERT_TRUE(f.SearchRegions(Box(0, 1, -10, 10), list, 1));
  EXPECT_EQ(f.Vol2Path, vol2);
  EXPECT_EQ(Names(f.Stars), (std::vector<std::string>{"05260-00003"}));

  // Cancel at the prompt: the search ends with an empty field.
  const std::array<std::int16_t, 1> other{5261};
  p.expectDialog("TCatlgPathDlg", [](DialogModel&) { return ModalResult::Cancel; });
  EXPECT_FALSE(f.SearchRegions(Box(0, 1, -10, 10), other, 1));
  EXPECT_TRUE(f.Stars.IsEmpty());
  EXPECT_FALSE(InfoForm->Visible);
}

TEST_F(GSCSearch, SecondVolumeStartsAtTheVolumeOneLocationUnlessAnOnlineQueryCameFirst) {
  s.GSCPath2 = "/media/vol2/";
  GSCRgnsTbl = std::make_unique<GSCRgnsTblObj>(p, s);
  GSCRgnsTbl->VolumePath = "/media/vol1/";
  {
    GSCFieldObj f(p, s);
    f.InitSearch();
    EXPECT_EQ(f.Vol2Path, fs::path("/media/vol1/"));
  }
  s.StarCatalog = CatalogCode::NOMAD;
  GSCFieldObj f(p, s);
  f.InitSearch();
  EXPECT_EQ(f.Vol2Path, fs::path("/media/vol2/"));
  EXPECT_EQ(f.Title, "NOMAD");
  s.StarCatalog = CatalogCode::GSC;
  f.InitSearch();
  EXPECT_EQ(f.Vol2Path, fs::path("/media/vol2/"));  // kept for the run
}

}  // namespace
}  // namespace hv
