// Shared image helpers: passbands, palette, byte order, the image-facts
// record, SBIG row decoding and the display bitmap's bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "images/BMPFile.h"
#include "images/GraphicsFileRecs.h"
#include "images/SBIGRows.h"
#include "support/Codec.h"
#include "support/Histogram.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

TEST(ImageRecs, FilterCodes) {
  struct Row {
    const char* text;
    int want;
  } rows[] = {{"  clear ", 7}, {"V", 1},   {"Visual", 1}, {"none", 7}, {"Ha", 5},
              {"", 8},         {"   ", 8}, {"UV", 8},     {"X", 8},    {"RED", 2},
              {"H-ALPHA", 5},  {"b", 0},   {"Ic", 3},     {"K'", 6},   {"NONEXISTENT", 7}};
  for (const auto& r : rows) EXPECT_EQ(FilterCode(r.text), r.want) << "'" << r.text << "'";
  EXPECT_EQ(FilterNames[7], "NONE");
}

TEST(ImageRecs, GreyPalette) {
  std::array<std::uint8_t, 1024> pal{};
  BuildGreyPalette(64, 127, pal);
  for (int i : {0, 64}) EXPECT_EQ(pal[4 * i], 0) << i;
  EXPECT_EQ(pal[4 * 96], 182);
  EXPECT_EQ(pal[4 * 96 + 1], 182);
  EXPECT_EQ(pal[4 * 96 + 2], 182);
  EXPECT_EQ(pal[4 * 96 + 3], 0);
  for (int i : {127, 200, 255}) EXPECT_EQ(pal[4 * i], 255) << i;
}

TEST(ImageRecs, ByteOrder) {
  EXPECT_EQ(Swap16(0x1234), 0x3412);
  EXPECT_EQ(Swap32(0x12345678u), 0x78563412u);
  EXPECT_EQ(Swap64(0x0102030405060708ull), 0x0807060504030201ull);
}

TEST(ImageRecs, ImageInfoRoundTrip) {
  ImageInfoRec r;
  r.FileName = std::string(90, 'f');
  r.Format = "FITS (BITPIX = 16)";
  r.Width = 7;
  r.DisplayLow = -3;
  Encoder e;
  r.Encode(e);
  ASSERT_EQ(e.size(), ImageInfoRec::EncodedSize);
  Decoder d(e.data());
  const ImageInfoRec back = ImageInfoRec::Decode(d);
  EXPECT_EQ(back.FileName, std::string(80, 'f'));
  EXPECT_EQ(back.Format, r.Format);
  EXPECT_EQ(back.Width, 7);
  EXPECT_EQ(back.DisplayLow, -3);
}

TEST(ImageRecs, SBIGRows) {
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int width;
    bool ok;
    std::vector<std::int32_t> want;
  } rows[] = {
      {"deltas and escape", {100, 0, 5, 251, 128, 200, 0}, 4, true, {100, 105, 100, 200}},
      {"plain row", {10, 0, 20, 0, 30, 0, 40, 0}, 4, true, {10, 20, 30, 40}},
      {"plain value with 0x80 byte", {0x80, 0, 1, 0}, 2, true, {128, 1}},
      {"count below 2", {7}, 4, false, {}},
      {"empty row", {}, 4, false, {}},
      {"escape without value", {100, 0, 5, 128, 1}, 4, false, {100, 105}},
      {"count above twice the width", {1, 0, 1, 1, 1}, 2, false, {}},
      {"too few values", {100, 0, 1}, 4, true, {100, 101}},
      {"too many values", {100, 0, 1, 1, 1, 1}, 4, true, {100, 101, 102, 103, 104}},
  };
  for (const auto& r : rows) {
    std::vector<std::int32_t> got;
    EXPECT_EQ(DecodeSBIGRow(r.bytes, r.width, got), r.ok) << r.name;
    EXPECT_EQ(got, r.want) << r.name;
  }
}

TEST(ImageRecs, BlockOfPixelsCountsAsEachOne) {
  // The readers add whole blocks; the counts and sums must be those of
  // adding each value.
  std::vector<std::int32_t> v = {-5, 0, 1, 255, 256, 65535, 70000, INT32_MAX, 12345, -1};
  for (long double width : {1.0L, 256.0L, 100.0L}) {
    HistogramObj each(256, width), block(256, width);
    for (std::int32_t x : v) each.Add(x);
    block.AddValues(v);
    EXPECT_TRUE(std::equal(each.Counts().begin(), each.Counts().end(), block.Counts().begin()))
        << static_cast<double>(width);
    EXPECT_EQ(each.Count(), block.Count());
    EXPECT_EQ(each.Sum(), block.Sum());
    EXPECT_EQ(each.SumSq(), block.SumSq());
  }
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ImageRecs, BitmapIsByteExact) {
  test::Scripted platform;
  const auto work = test::FreshFolder("bmp");
  ImageInfoRec info;
  info.FileName = "/data/images/m31.fit";
  info.Width = 3;
  info.Height = 2;
  std::filesystem::path name;
  {
    BMPFileObj bmp(platform, work);
    ASSERT_TRUE(bmp.OpenFile(info));
    name = bmp.FileName;
    EXPECT_EQ(name.parent_path(), work);
    EXPECT_TRUE(name.filename().string().starts_with("m31-"));
    EXPECT_EQ(name.extension(), ".BMP");
    BuildGreyPalette(64, 127, bmp.Palette());
    ASSERT_TRUE(bmp.WriteInfo());
    const std::uint8_t row0[4] = {64, 96, 127, 0}, row1[4] = {127, 96, 64, 0};
    EXPECT_EQ(bmp.WriteRow(row0), 4u);
    EXPECT_FALSE(bmp.CloseFile());  // a row still missing: stays open
    EXPECT_EQ(bmp.WriteRow(row1), 4u);
    ASSERT_TRUE(bmp.CloseFile());

    std::vector<std::uint8_t> want = {'B', 'M', 0, 0, 0, 0, 0, 0,    0,    0,    0x36, 4, 0, 0, 40,
                                      0,   0,   0, 3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 8, 0};
    want.resize(46, 0);
    for (std::uint8_t b : {0, 1, 0, 0, 0, 0, 0, 0}) want.push_back(b);
    std::array<std::uint8_t, 1024> pal{};
    BuildGreyPalette(64, 127, pal);
    want.insert(want.end(), pal.begin(), pal.end());
    want.insert(want.end(), row0, row0 + 4);
    want.insert(want.end(), row1, row1 + 4);
    EXPECT_EQ(ReadBytes(name), want);

    // Brightness changes rewrite the palette in place.
    BuildGreyPalette(54, 117, bmp.Palette());
    ASSERT_TRUE(bmp.WritePalette());
    const auto after = ReadBytes(name);
    ASSERT_EQ(after.size(), want.size());
    EXPECT_EQ(after[54 + 4 * 54], 0);
    EXPECT_EQ(after[54 + 4 * 117], 255);
    EXPECT_EQ(std::vector<std::uint8_t>(after.end() - 8, after.end()),
              std::vector<std::uint8_t>(want.end() - 8, want.end()));
  }
  EXPECT_FALSE(std::filesystem::exists(name));  // deleted with its object
}

// A render that gives the file's bytes again leaves the file alone, and a
// palette change writes the palette's bytes only (a file's time set back
// shows whether it was written).
TEST(ImageRecs, BitmapFileIsWrittenOnlyWhereItChanges) {
  test::Scripted platform;
  const auto work = test::FreshFolder("bmp3");
  ImageInfoRec info;
  info.FileName = "m31.fit";
  info.Width = 4;
  info.Height = 2;
  BMPFileObj bmp(platform, work);
  auto render = [&](std::uint8_t first) {
    ASSERT_TRUE(bmp.OpenFile(info));
    BuildGreyPalette(64, 127, bmp.Palette());
    ASSERT_TRUE(bmp.WriteInfo());
    const std::uint8_t rows[8] = {first, 70, 80, 90, 100, 110, 120, 127};
    EXPECT_EQ(bmp.WriteRow(std::span<const std::uint8_t>(rows, 8)), 8u);
    ASSERT_TRUE(bmp.CloseFile());
  };
  const auto setBack = [&] {
    const timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, bmp.FileName.c_str(), old, 0), 0);
  };
  const auto written = [&] {
    struct stat st {};
    ::stat(bmp.FileName.c_str(), &st);
    return st.st_mtim.tv_sec != 1000;
  };
  render(64);
  setBack();
  render(64);
  EXPECT_FALSE(written()) << "the same render";
  BuildGreyPalette(64, 127, bmp.Palette());
  ASSERT_TRUE(bmp.WritePalette());
  EXPECT_FALSE(written()) << "the same palette";
  render(65);
  EXPECT_TRUE(written()) << "another render";
  const auto rendered = ReadBytes(bmp.FileName);

  // Only the palette's bytes change (a header byte damaged meanwhile stays).
  {
    std::fstream f(bmp.FileName, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(20);
    f.put(char(0x5A));
  }
  BuildGreyPalette(54, 117, bmp.Palette());
  ASSERT_TRUE(bmp.WritePalette());
  auto after = ReadBytes(bmp.FileName);
  ASSERT_EQ(after.size(), rendered.size());
  EXPECT_EQ(after[20], 0x5A);
  after[20] = rendered[20];
  for (std::size_t i = 0; i < after.size(); ++i)
    if (i < 54 || i >= 54 + 1024) {
      EXPECT_EQ(after[i], rendered[i]) << "byte " << i;
    }
  EXPECT_EQ(after[54 + 4 * 117], 255);
  // A render after it writes the whole file again.
  render(65);
  EXPECT_EQ(ReadBytes(bmp.FileName), rendered);
}

TEST(ImageRecs, TwoBitmapsOfOneNameStayApart) {
  test::Scripted platform;
  const auto work = test::FreshFolder("bmp2");
  ImageInfoRec a, b;
  a.FileName = "/one/m31.fit";
  b.FileName = "/two/m31.fit";
  a.Width = b.Width = 193;
  a.Height = b.Height = 1;
  BMPFileObj first(platform, work), second(platform, work);
  ASSERT_TRUE(first.OpenFile(a));
  ASSERT_TRUE(second.OpenFile(b));
  EXPECT_NE(first.FileName, second.FileName);
  EXPECT_EQ(first.RowBytes, 196);
}

TEST(ImageRecs, BitmapThatCannotBeCreated) {
  test::Scripted platform;
  platform.expectMessage(ModalResult::OK, "BMP File Error!", "Unable to Create BMP File!");
  BMPFileObj bmp(platform, "/no/such/folder");
  ImageInfoRec info;
  info.FileName = "m31.fit";
  info.Width = info.Height = 1;
  EXPECT_FALSE(bmp.OpenFile(info));
  EXPECT_FALSE(bmp.WriteInfo());
  const std::uint8_t row[4] = {};
  EXPECT_EQ(bmp.WriteRow(row), 0u);
  EXPECT_FALSE(bmp.CloseFile());
  EXPECT_FALSE(bmp.WritePalette());
}

}  // namespace
}  // namespace hv
