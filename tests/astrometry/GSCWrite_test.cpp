#include "astrometry/GSCWrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "support/Files.h"
#include "tests/astrometry/GSCFixtures.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::GSCRegionFile;
using test::GSCRow;
using test::WriteBytes;

CatStarRec Row(std::string name, long double raDeg, float posErr = 0.3f) {
  CatStarRec r;
  r.Name = std::move(name);
  r.RA = raDeg;
  r.Dec = 10;
  r.PosErr = posErr;
  r.Mag = 12;
  r.MagErr = 0.1f;
  r.Entries = 1;
  return r;
}

// RA in hours the short way from want, so 23.99999 h and 0 h are close.
double HoursApart(long double got, double want) {
  double d = std::fmod(static_cast<double>(got) - want + 36.0, 24.0) - 12.0;
  return std::fabs(d);
}

TEST(GSCEntryMerge, AveragesRAAboutTheFirstEntry) {
  struct Case {
    const char* name;
    std::vector<std::pair<long double, float>> entries;  // RA degrees, position error
    double wantHours;
  };
  const Case cases[] = {
      {"one entry", {{10.0L, 0.3f}}, 10.0 / 15},
      {"weighted", {{10.0L, 0.2f}, {10.0003L, 0.4f}}, 10.0001 / 15},
      {"across 0 h, first below", {{359.9999L, 0.3f}, {0.0001L, 0.3f}}, 0.0},
      {"across 0 h, first above", {{0.0001L, 0.3f}, {359.9999L, 0.3f}}, 0.0},
      {"across 0 h, weighted", {{359.9998L, 0.2f}, {0.0004L, 0.4f}}, 0.0},
      {"three across 0 h", {{359.9999L, 0.3f}, {0.0L, 0.3f}, {0.0004L, 0.3f}}, 0.0001 / 15},
      {"near 24 h stays below 24", {{359.9990L, 0.3f}, {359.9994L, 0.3f}}, 359.9992 / 15},
  };
  for (const Case& c : cases) {
    GSCEntryMerge m;
    for (auto [ra, err] : c.entries) m.Add(Row("00001", ra, err));
    const CatStarRec s = m.Star();
    EXPECT_LT(HoursApart(s.RA, c.wantHours), 1e-10) << c.name << ": got " << double(s.RA);
    EXPECT_GE(s.RA, 0) << c.name;
    EXPECT_LT(s.RA, 24) << c.name;
    EXPECT_EQ(s.Entries, c.entries.size()) << c.name;
  }
}

TEST(GSCEntryMerge, FieldListAndConverterMergeAlike) {
  test::Scripted p;
  OptsRec s;
  GSCFieldObj f(p, s);
  const auto rows = GSCRegionFile({
      GSCRow("00007", 359.9999, 1.0, 0.3, 12.0, 0.1, 0),
      GSCRow("00007", 0.0001, 1.0, 0.3, 12.2, 0.1, 0),
      GSCRow("00003", 0.0002, 1.0, 0.3, 13.0, 0.1, 0),
  });
  FieldBoxRec box;
  box.RAMin = 23.9;
  box.RAMax = 0.1;
  box.DecMin = 0;
  box.DecMax = 2;
  box.MagLimit = 20;
  f.TakeRawRows(std::span(rows).subspan(GSCRawHeaderSize), 1, box);
  f.MergeEntries();
  ASSERT_EQ(f.Stars.Count(), 2);
  EXPECT_LT(HoursApart(f.Stars.Item(0)->RA, 0.0), 1e-10);
  EXPECT_EQ(f.Stars.Item(0)->Name, "00001-00007");

  std::vector<CatStarRec> raw;
  ReadGSCRegionRows(rows, raw);
  std::vector<CatStarRec> merged;
  MergeGSCRows(raw, merged);
  ASSERT_EQ(merged.size(), 2u);
  EXPECT_EQ(merged[0].Name, "00007");
  // The converted record of a star at 0 h reads 0 h, not 12 h.
  const GSCBinRec b = GSCBinRecOf(merged[0]);
  EXPECT_TRUE(b.RA == 0 || b.RA == 240000000) << b.RA;
}

TEST(GSCRowColumns, ReadExactlyAsTheNumberParser) {
  // The row readers take a quicker road for plain decimals; every value
  // must come out bit for bit as the program's number parser gives it.
  std::mt19937 gen(11);
  std::vector<std::string> texts = {"  0.00000", "359.99999", "-89.99999", " +1.50000",
                                    "   12.",    "     .5",   " 1.5E2",    "000000001"};
  for (int i = 0; i < 20000; ++i) {
    const int decimals = static_cast<int>(gen() % 9);
    std::string t =
        FormatFixed(decimals, (static_cast<long double>(gen()) / 4294967296.0L - 0.5L) * 720.0L);
    texts.push_back(test::Right(t, 9));
  }
  for (const std::string& t : texts) {
    std::string row = GSCRow("00001", 1, 1, 0.3, 12, 0.1, 0);
    row.replace(5, 9, test::Right(t, 9));
    const long double want = StrToFloat(t);
    const long double got = GSCFieldObj::RowRA(row);
    ASSERT_EQ(std::memcmp(&got, &want, 10), 0) << "'" << t << "'";
  }
  for (const char* bad : {"    12.3x", "   1..2  ", "      -  ", "         ", " 1 2     "}) {
    std::string row = GSCRow("00001", 1, 1, 0.3, 12, 0.1, 0);
    row.replace(5, 9, bad);
    EXPECT_THROW(GSCFieldObj::RowRA(row), ConvertError) << "'" << bad << "'";
  }
}

TEST(GSCWrite, SmallRegionGivesTheRecordsWorkedOutByHand) {
  const fs::path dir = test::FreshFolder("golden");
  // Stars of one, two and three entries, one non-stellar object, then the
  // blank-ID filler to the end of the block; rows not in RA order.
  WriteBytes(dir / "0001.GSC", GSCRegionFile({
                                   GSCRow("00001", 150.00000, 12.00000, 0.3, 14.00, 0.20, 0),
                                   GSCRow("00002", 148.49990, 11.99990, 0.4, 15.00, 0.10, 0),
                                   GSCRow("00002", 148.50010, 12.00010, 0.4, 15.20, 0.10, 0),
                                   GSCRow("00003", 151.19980, 11.49990, 0.5, 13.00, 0.10, 0),
                                   GSCRow("00003", 151.20000, 11.50000, 0.5, 13.10, 0.10, 0),
                                   GSCRow("00003", 151.20020, 11.50010, 0.5, 13.20, 0.10, 0),
                                   GSCRow("00004", 149.25000, 12.25000, 1.0, 16.50, 0.30, 3),
                                   GSCRow("", 0, 0, 0, 0, 0, 0),
                                   GSCRow("", 0, 0, 0, 0, 0, 0),
                               }));
  GSCMergeBuffers buffers;
  ConvertGSCRegionFile(dir / "0001.GSC", dir / "0001.BIN", buffers);
  const std::vector<std::uint8_t> bytes = ReadWholeFile(dir / "0001.BIN");
  ASSERT_EQ(bytes.size(), 4 * GSCBinRecSize);

  // The first record byte by byte: star 00002 at 9.9 h, +12 degrees.
  const std::uint8_t first[GSCBinRecSize] = {
      0xc0, 0x9e, 0xe6, 0x05,           // RA 99000000 (9.9 h)
      0x80, 0x4f, 0x12, 0x00,           // Dec 1200000 (12 degrees)
      0x00, 0x00, 0x00, 0x00,           // reserved
      0xfc, 0x3a,                       // magnitude 15100
      0x03, 0x00,                       // position error sqrt(2)/5 = 0.28 -> 3
      0x07, 0x00,                       // magnitude error sqrt(2)/20 = 0.071 -> 7
      0x02, 0x00,                       // two entries
      0x00,                             // class
      0x05, '0',  '0',  '0',  '0', '2'  // ID
  };
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), bytes.begin()));

  struct Want {
    std::int32_t ra, dec;
    std::int16_t mag, posErr, magErr;
    std::uint8_t entries, cls;
    const char* id;
  };
  const Want want[] = {
      {99000000, 1200000, 15100, 3, 7, 2, 0, "00002"},    // 9.9 h
      {99500000, 1225000, 16500, 10, 30, 1, 3, "00004"},  // 9.95 h, non-stellar
      {100000000, 1200000, 14000, 3, 20, 1, 0, "00001"},  // 10 h
      {100800000, 1150000, 13100, 3, 6, 3, 0, "00003"},   // sqrt(3)/6 = 0.29, sqrt(3)/30 = 0.058
  };
  Decoder d(bytes);
  for (const Want& w : want) {
    const GSCBinRec b = DecodeGSCBinRec(d);
    EXPECT_EQ(b.RA, w.ra) << w.id;
    EXPECT_EQ(b.Dec, w.dec) << w.id;
    EXPECT_EQ(b.Reserved, 0) << w.id;
    EXPECT_EQ(b.Mag, w.mag) << w.id;
    EXPECT_EQ(b.PosErr, w.posErr) << w.id;
    EXPECT_EQ(b.MagErr, w.magErr) << w.id;
    EXPECT_EQ(b.Entries, w.entries) << w.id;
    EXPECT_EQ(b.Zero, 0) << w.id;
    EXPECT_EQ(b.Class, w.cls) << w.id;
    EXPECT_EQ(b.ID, w.id);
  }
}

TEST(GSCWrite, FaultyInputsLeaveNoOutput) {
  const fs::path dir = test::FreshFolder("faulty");
  GSCMergeBuffers buffers;
  // No star rows at all (a header only, or filler first): an empty file.
  WriteBytes(dir / "a.GSC", GSCRegionFile({GSCRow("", 1, 1, 1, 1, 1, 0),
                                           GSCRow("00001", 10, 1, 0.3, 12, 0.1, 0)}));
  ConvertGSCRegionFile(dir / "a.GSC", dir / "a.BIN", buffers);
  EXPECT_EQ(fs::file_size(dir / "a.BIN"), 0u);

  // A row that does not convert: no output, and the old one stays.
  std::string bad = GSCRow("00002", 10.0, 5.0, 0.5, 12.0, 0.1, 0);
  bad.replace(14, 9, "  xx.yyyy");
  WriteBytes(dir / "b.GSC", GSCRegionFile({GSCRow("00001", 10, 1, 0.3, 12, 0.1, 0), bad}));
  try {
    ConvertGSCRegionFile(dir / "b.GSC", dir / "b.BIN", buffers);
    FAIL() << "no error";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "row 2");
  }
  EXPECT_FALSE(fs::exists(dir / "b.BIN"));
  EXPECT_THROW(ConvertGSCRegionFile(dir / "none.GSC", dir / "c.BIN", buffers), FileError);
  EXPECT_FALSE(fs::exists(dir / "c.BIN"));
  // The folder holds nothing but the inputs and the one good output.
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 3);
}

TEST(GSCWrite, SortIsStableAndHandlesAnyRowOrder) {
  std::vector<CatStarRec> rows;
  for (int i = 0; i < 50; ++i) rows.push_back(Row("a" + std::to_string(i), (i * 37 % 50) * 0.1L));
  rows.push_back(Row("tie1", 1.5L));
  rows.push_back(Row("tie2", 1.5L));
  std::vector<CatStarRec> stars;
  MergeGSCRows(rows, stars);
  ASSERT_EQ(stars.size(), 52u);
  for (std::size_t i = 1; i < stars.size(); ++i) EXPECT_LE(stars[i - 1].RA, stars[i].RA);
  const auto at = [&](const char* n) {
    return std::find_if(stars.begin(), stars.end(), [&](auto& s) { return s.Name == n; });
  };
  EXPECT_LT(at("tie1"), at("tie2"));
}

TEST(GSCWrite, RegionsTableSpareFieldsAreZero) {
  LinkListObj<GSCRgnRec> regions;
  regions.InsertAfter(GSCRgnRec{});
  regions.InsertAfter(GSCRgnRec{0, 0.5, 0, 7.5, 1234});
  const auto bytes = EncodeRegionsBin(regions);
  ASSERT_EQ(bytes.size(), 2 * GSCRgnRecSize);
  Decoder d(bytes);
  DecodeGSCRgnRec(d);
  const GSCRgnRec r = DecodeGSCRgnRec(d);
  EXPECT_EQ(r.Spare, 0);
  EXPECT_EQ(r.RAHigh, 0.5);
}

}  // namespace
}  // namespace hv
