// The FITS reader on files made by the FITS writer: pixel formats, scaling,
// extensions, refusals, observation times, listings and the table hook.
#include "images/FITSFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "images/Centroid.h"
#include "images/FITSWriter.h"
#include "support/Files.h"
#include "tests/images/ReaderTestKit.h"
#include "tests/images/StarField.h"

namespace hv {
namespace {

using test::AllPixels;
using test::At;
using test::ReaderKit;

FITSWriter ImageHeader(int bitPix, int w, int h) {
  FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", bitPix).Int("NAXIS", 2).Int("NAXIS1", w).Int("NAXIS2", h);
  return f;
}

TEST(FITSFile, PixelFormatsAndScaling) {
  struct Row {
    const char* name;
    int bitPix;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> extraCards;  // key=value texts
    std::vector<std::int32_t> want;
    long double binWidth;
  };
  auto i16 = [](std::vector<std::int16_t> v) { return FITSWriter().I16(v).Take(); };
  auto i32 = [](std::vector<std::int32_t> v) { return FITSWriter().I32(v).Take(); };
  auto f32 = [](std::vector<float> v) { return FITSWriter().F32(v).Take(); };
  auto f64 = [](std::vector<double> v) { return FITSWriter().F64(v).Take(); };
  const Row rows[] = {
      {"8-bit", 8, {0, 1, 200, 255}, {}, {0, 1, 200, 255}, 1},
      {"8-bit scaled", 8, {0, 1, 2, 3}, {"BSCALE=0.5", "BZERO=10"}, {10, 10, 11, 12}, 1},
      {"16-bit", 16, i16({-32768, -1, 0, 32767}), {}, {-32768, -1, 0, 32767}, 256},
      {"16-bit unsigned by BZERO",
       16,
       i16({-32768, 0, 1, 32767}),
       {"BZERO=32768"},
       {0, 32768, 32769, 65535},
       256},
      {"16-bit halves to even", 16, i16({1, 3, 5, -1}), {"BSCALE=0.5"}, {0, 2, 2, 0}, 256},
      {"32-bit", 32, i32({INT32_MIN, -7, 7, INT32_MAX}), {}, {INT32_MIN, -7, 7, INT32_MAX}, 256},
      {"32-bit scaled", 32, i32({1, 2, 3, 4}), {"BSCALE=1.5", "BZERO=-0.5"}, {1, 2, 4, 6}, 256},
      {"single, BZERO applied, halves to even",
       -32,
       f32({0.5f, 1.5f, 2.5f, 5000.5f}),
       {"BZERO=100"},
       {100, 102, 102, 5100},
       256},
      {"double scaled",
       -64,
       f64({1, 2, 3, 10000}),
       {"BSCALE=0.5", "BZERO=-1"},
       {0, 0, 0, 4999},
       256},
      {"double", -64, f64({1e6, -3.49, 65535.5, 2.4999}), {}, {1000000, -3, 65536, 2}, 256},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    FITSWriter f = ImageHeader(r.bitPix, 2, 2);
    for (const auto& c : r.extraCards) {
      const auto eq = c.find('=');
      f.Value(c.substr(0, eq), c.substr(eq + 1));
    }
    f.End().U8(r.bytes).Pad();
    const auto path = kit.Write("img.fit", f.Bytes());
    FITSFileObj fits(kit.Context());
    ASSERT_TRUE(fits.LoadFile(path)) << r.name;
    EXPECT_EQ(AllPixels(fits), r.want) << r.name;
    EXPECT_EQ(fits.ImageInfo.Format, "FITS (BITPIX = " + std::to_string(r.bitPix) + ")");
    EXPECT_EQ(fits.ImageInfo.Width, 2);
    EXPECT_EQ(fits.ImageInfo.PixelCount, 4);
    EXPECT_EQ(fits.ImageInfo.RawMin, *std::min_element(r.want.begin(), r.want.end())) << r.name;
    EXPECT_EQ(fits.ImageInfo.RawMax, std::max(0, *std::max_element(r.want.begin(), r.want.end())))
        << r.name;
    EXPECT_EQ(fits.Histogram->BinWidth(), r.binWidth) << r.name;
    EXPECT_EQ(fits.Histogram->Count(), 4) << r.name;
    EXPECT_TRUE(kit.camFromFile);
    EXPECT_EQ(kit.camera.ImageWidth, 2);
  }
}

TEST(FITSFile, AllNegativeKeepsRawMaxZero) {
  ReaderKit kit;
  std::vector<std::int16_t> v = {-5, -6, -7, -8};
  const auto path = kit.Write("neg.fit", ImageHeader(16, 2, 2).End().I16(v).Pad().Take());
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(path));
  EXPECT_EQ(fits.ImageInfo.RawMax, 0);
  EXPECT_EQ(fits.ImageInfo.RawMin, -8);
  EXPECT_EQ(fits.Histogram->Counts()[0], 4);
}

TEST(FITSFile, ImageBehindAnEmptyPrimaryAndCubes) {
  ReaderKit kit;
  FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  f.Real("BZERO", 1000).Str("OBJECT", "Vesta").End();
  f.Str("XTENSION", "IMAGE").Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", 3).Int("NAXIS2", 1);
  f.Int("PCOUNT", 0).Int("GCOUNT", 1).End();
  std::vector<std::int16_t> v = {1, 2, 3};
  f.I16(v).Pad();
  FITSFileObj ext(kit.Context());
  ASSERT_TRUE(ext.LoadFile(kit.Write("ext.fit", f.Bytes())));
  EXPECT_EQ(AllPixels(ext), (std::vector<std::int32_t>{1, 2, 3}));  // no BZERO from the primary
  EXPECT_EQ(ext.Header.XTension, "IMAGE   ");

  FITSWriter cube;
  cube.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 3).Int("NAXIS1", 2).Int("NAXIS2", 2);
  cube.Int("NAXIS3", 2).End();
  std::vector<std::uint8_t> planes = {1, 2, 3, 4, 9, 9, 9, 9};
  cube.U8(planes).Pad();
  FITSFileObj c(kit.Context());
  ASSERT_TRUE(c.LoadFile(kit.Write("cube.fit", cube.Bytes())));
  EXPECT_EQ(AllPixels(c), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(c.Histogram->Count(), 4);
}

TEST(FITSFile, Refusals) {
  const std::string missing = "Required FITS Keyword Data is Missing or Faulty!";
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string message;
  };
  auto header = [](std::vector<std::pair<std::string, std::string>> cards, bool end = true) {
    FITSWriter f;
    for (const auto& [k, v] : cards) f.Value(k, v);
    if (end) f.End();
    std::vector<std::uint8_t> data(64, 1);
    return f.U8(data).Pad().Take();
  };
  FITSWriter emptyPrimary;
  emptyPrimary.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  emptyPrimary.End();
  FITSWriter asciiTable;
  asciiTable.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true).End();
  asciiTable.Str("XTENSION", "TABLE").Int("BITPIX", 8).Int("NAXIS", 2).Int("NAXIS1", 48);
  asciiTable.Int("NAXIS2", 3).Int("TFIELDS", 1).End();
  std::vector<std::uint8_t> rowsOfTable(144, '1');
  asciiTable.U8(rowsOfTable).Pad();
  auto binTable = [](bool compressed) {
    FITSWriter f;
    f.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true).End();
    f.Str("XTENSION", "BINTABLE").Int("BITPIX", 8).Int("NAXIS", 2).Int("NAXIS1", 8);
    f.Int("NAXIS2", 4).Int("PCOUNT", 0).Int("GCOUNT", 1).Int("TFIELDS", 1);
    if (compressed) f.Logical("ZIMAGE", true).Str("ZCMPTYPE", "RICE_1").Int("ZBITPIX", 16);
    std::vector<std::uint8_t> rows(32, 7);
    return f.End().U8(rows).Pad().Take();
  };
  const std::string binary =
      "File Holds a Binary Table, Not an Image (Compressed Images are Not Read)!";
  FITSWriter endTime;  // "ENDTIME" must not end the header
  endTime.Logical("SIMPLE", true).Int("BITPIX", 8).Str("ENDTIME", "03:00").Int("NAXIS", 2);
  endTime.Int("NAXIS1", 2).Int("NAXIS2", 0).End();

  const Row rows[] = {
      {"first card not SIMPLE", header({{"BITPIX", "8"}, {"SIMPLE", "T"}}),
       "File is Not FITS Format!"},
      {"SIMPLE F", header({{"SIMPLE", "F"}}), "File is Not FITS Format!"},
      {"NAXIS 0", header({{"SIMPLE", "T"}, {"BITPIX", "8"}, {"NAXIS", "0"}}), missing},
      {"NAXIS 1", header({{"SIMPLE", "T"}, {"BITPIX", "8"}, {"NAXIS", "1"}, {"NAXIS1", "8"}}),
       missing},
      {"NAXIS4 is not NAXIS",
       header({{"SIMPLE", "T"},
               {"BITPIX", "8"},
               {"NAXIS", "2"},
               {"NAXIS1", "4"},
               {"NAXIS2", "4"},
               {"NAXIS4", "0"},
               {"NAXIS", "1"}}),
       missing},
      {"zero axis",
       header({{"SIMPLE", "T"}, {"BITPIX", "8"}, {"NAXIS", "2"}, {"NAXIS1", "0"}, {"NAXIS2", "4"}}),
       missing},
      {"negative axis",
       header(
           {{"SIMPLE", "T"}, {"BITPIX", "8"}, {"NAXIS", "2"}, {"NAXIS1", "-4"}, {"NAXIS2", "4"}}),
       missing},
      {"axis too wide",
       header({{"SIMPLE", "T"},
               {"BITPIX", "8"},
               {"NAXIS", "2"},
               {"NAXIS1", "16384"},
               {"NAXIS2", "1"}}),
       missing},
      {"axis too long",
       header({{"SIMPLE", "T"},
               {"BITPIX", "8"},
               {"NAXIS", "2"},
               {"NAXIS1", "1"},
               {"NAXIS2", "65536"}}),
       missing},
      {"cube without planes",
       header({{"SIMPLE", "T"},
               {"BITPIX", "8"},
               {"NAXIS", "3"},
               {"NAXIS1", "2"},
               {"NAXIS2", "2"},
               {"NAXIS3", "0"}}),
       missing},
      {"BITPIX 12",
       header(
           {{"SIMPLE", "T"}, {"BITPIX", "12"}, {"NAXIS", "2"}, {"NAXIS1", "2"}, {"NAXIS2", "2"}}),
       missing},
      {"no END",
       header({{"SIMPLE", "T"}, {"BITPIX", "8"}, {"NAXIS", "2"}, {"NAXIS1", "2"}, {"NAXIS2", "2"}},
              false),
       missing},
      {"ends after an empty primary", emptyPrimary.Take(), missing},
      {"ENDTIME", endTime.Take(), missing},
      {"ASCII table", asciiTable.Take(), "File Holds an ASCII Table, Not an Image!"},
      {"binary table", binTable(false), binary},
      {"tile-compressed image", binTable(true), binary},
      {"more pixels than a window shows",
       header({{"SIMPLE", "T"},
               {"BITPIX", "16"},
               {"NAXIS", "2"},
               {"NAXIS1", "16383"},
               {"NAXIS2", "65535"}}),
       missing},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    kit.platform.expectMessage(ModalResult::OK, "FITS File Error!", r.message);
    FITSFileObj fits(kit.Context());
    EXPECT_FALSE(fits.LoadFile(kit.Write("bad.fit", r.bytes))) << r.name;
    EXPECT_FALSE(fits.DataFile.IsOpen()) << r.name;
    EXPECT_FALSE(kit.camFromFile) << r.name;
    kit.platform.verify();
  }
}

TEST(FITSFile, OpenFailureAndNumericMessages) {
  ReaderKit kit;
  kit.platform.expectMessage(ModalResult::OK, "FITS File Error!", "Unable to Open FITS File!");
  FITSFileObj fits(kit.Context());
  EXPECT_FALSE(fits.LoadFile(kit.images / "none.fit"));
  EXPECT_NE(kit.platform.messages().back().text.find("IOResult = 2"), std::string::npos);

  FITSWriter f = ImageHeader(8, 1, 1);
  f.Str("RA", "FK5").Value("EXPTIME", "sixty").End();
  std::vector<std::uint8_t> one = {7};
  f.U8(one).Pad();
  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error",
                             "Keyword field contains non-numeric data.\n\nKeyword: RA\nData: FK5");
  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error",
                             "Keyword: EXP\nData: sixty");
  ASSERT_TRUE(fits.LoadFile(kit.Write("num.fit", f.Bytes())));
  EXPECT_EQ(fits.Header.RA, 0.0L);
  EXPECT_EQ(fits.Header.ExpTime, 0.0L);
}

TEST(FITSFile, ListingThatCannotBeMade) {
  ReaderKit kit;
  std::vector<std::uint8_t> one = {1};
  const auto path = kit.Write("m.fit", ImageHeader(8, 1, 1).End().U8(one).Pad().Take());
  kit.settings.WorkFolder = kit.work / "gone";
  kit.platform.expectMessage(ModalResult::OK, "File Error!", "Unable to Open Temporary File!");
  FITSFileObj fits(kit.Context());
  EXPECT_FALSE(fits.LoadFile(path));
  EXPECT_FALSE(fits.HasData);
  EXPECT_FALSE(fits.DataFile.IsOpen());
}

TEST(FITSFile, BadValuesAreZeroAndAskedAboutOnce) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> v = {1, nan, 3e9f, 4, inf, 6};
  for (ModalResult answer : {ModalResult::OK, ModalResult::Cancel}) {
    ReaderKit kit;
    const auto path = kit.Write("nan.fit", ImageHeader(-32, 3, 2).End().F32(v).Pad().Take());
    kit.platform.expectMessage(answer, "File Errors Detected!",
                               "Errors were detected while loading and processing NAN.FIT.  ");
    FITSFileObj fits(kit.Context());
    EXPECT_EQ(fits.LoadFile(path), answer == ModalResult::OK);
    // 3e9 is beyond 32 bits: the finite values are mapped onto 16 bits.
    EXPECT_EQ(AllPixels(fits), (std::vector<std::int32_t>{0, 0, 65535, 0, 0, 0}));
    EXPECT_EQ(kit.camFromFile, answer == ModalResult::OK);
  }
  // 8-bit scaled past the 32-bit range.
  ReaderKit kit;
  std::vector<std::uint8_t> b = {1, 255};
  const auto path =
      kit.Write("big.fit", ImageHeader(8, 2, 1).Value("BSCALE", "1E10").End().U8(b).Pad().Take());
  kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(path));
  EXPECT_EQ(AllPixels(fits), (std::vector<std::int32_t>{0, 0}));
}

// One star field stored as 16-bit integers and as floats normalised to 0..1
// (as calibration tools write them): the floats are mapped linearly onto 16
// bits, and centroids and magnitude differences come out the same.
TEST(FITSFile, NormalisedFloatsMeasureLikeTheirIntegerTwin) {
  test::Normal noise(2101);
  test::StarGrid g(96, 80, 1200);
  const struct {
    long double x, y, sigma, flux;
  } stars[] = {
      {30.3L, 25.7L, 1.6L, 4.0e5L}, {65.8L, 50.2L, 2.1L, 1.5e5L}, {20.5L, 60.4L, 1.3L, 6e4L}};
  for (const auto& s : stars) g.addStar(s.x, s.y, s.sigma, s.flux);
  for (auto& v : g.v) v += static_cast<std::int32_t>(std::nearbyint(8 * noise()));

  std::vector<std::int16_t> ints;
  std::vector<float> floats;
  for (std::int32_t v : g.v) {
    ints.push_back(static_cast<std::int16_t>(v - 32768));
    floats.push_back(static_cast<float>(v / 65535.0));
  }
  ReaderKit kit;
  FITSFileObj asInts(kit.Context()), asFloats(kit.Context());
  ASSERT_TRUE(asInts.LoadFile(kit.Write(
      "int.fit", ImageHeader(16, g.W, g.H).Real("BZERO", 32768).End().I16(ints).Pad().Take())));
  ASSERT_TRUE(asFloats.LoadFile(
      kit.Write("float.fit", ImageHeader(-32, g.W, g.H).End().F32(floats).Pad().Take())));
  EXPECT_EQ(asFloats.ImageInfo.RawMin, 0);
  EXPECT_EQ(asFloats.ImageInfo.RawMax, 65535);
  EXPECT_TRUE(asInts.ValueNote.empty());
  const auto lines = asFloats.ImageDataLines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_TRUE(lines[7].starts_with("Floating-Point Values ")) << lines[7];
  EXPECT_TRUE(lines[7].ends_with(" Mapped Linearly onto 0 to 65535")) << lines[7];

  auto measure = [&](const IntArrayList& px, int x, int y, long double& cx, long double& cy) {
    const SkyRing ring = RingStats(px, g.W, g.H, x, y, 10, 5);
    const CentroidFit f = CentroidAt(px, g.W, g.H, x, y, 10, 10, ring.mean + 3 * ring.sd);
    EXPECT_TRUE(f.ok);
    cx = f.cx, cy = f.cy;
    return BoxFluxAt(px, g.W, g.H, x, y, 10, 5, true).flux;
  };
  long double intFlux[3], floatFlux[3];
  for (int i = 0; i < 3; ++i) {
    const int x = static_cast<int>(stars[i].x), y = static_cast<int>(stars[i].y);
    long double ix, iy, fx, fy;
    intFlux[i] = measure(*asInts.Pixels, x, y, ix, iy);
    floatFlux[i] = measure(*asFloats.Pixels, x, y, fx, fy);
    EXPECT_NEAR(double(fx), double(ix), 0.005) << "star " << i;
    EXPECT_NEAR(double(fy), double(iy), 0.005) << "star " << i;
  }
  for (int i = 1; i < 3; ++i) {
    const double intMag = -2.5 * std::log10(double(intFlux[i] / intFlux[0]));
    const double floatMag = -2.5 * std::log10(double(floatFlux[i] / floatFlux[0]));
    EXPECT_NEAR(floatMag, intMag, 0.002) << "star " << i;
  }
}

TEST(FITSFile, FileEndingEarly) {
  ReaderKit kit;
  std::vector<std::int16_t> v = {1, 2, 3, 4, 5};  // 5 of 6 values, the last cut in half
  auto bytes = ImageHeader(16, 3, 2).End().I16(v).Take();
  bytes.push_back(0);
  kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(kit.Write("short.fit", bytes)));
  EXPECT_EQ(AllPixels(fits), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(fits.Histogram->Count(), 5);
}

// A small file whose header claims a large image gets a table no larger
// than its data (the question still offers what is there); a claim within a
// few megabytes of the data keeps the header's size.
TEST(FITSFile, ClaimsBeyondTheFileMakeNoLargeTable) {
  struct Row {
    const char* name;
    int bitPix, width, height;
    std::size_t dataBytes;
    std::uint32_t wantRows;
  } rows[] = {
      {"8000 x 8000 in 3 KB, 16-bit", 16, 8000, 8000, 3000, 1},
      {"8192 x 8192 in 64 KB, double", -64, 8192, 8192, 65536, 1},
      {"8000 x 8000 in 5 KB, single", -32, 8000, 8000, 5000, 1},
      {"4000 x 4000 with 10 rows, 32-bit", 32, 4000, 4000, 4000 * 4 * 10, 10},
      {"a row of data, no data at all", 8, 6000, 6000, 0, 1},
      {"512 x 512 half there", 16, 512, 512, 512 * 256 * 2, 512},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    auto f = ImageHeader(r.bitPix, r.width, r.height).End();
    std::vector<std::uint8_t> data(r.dataBytes, 0x11);
    f.U8(data);
    kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");
    FITSFileObj fits(kit.Context());
    ASSERT_TRUE(fits.LoadFile(kit.Write("claim.fit", f.Bytes()))) << r.name;
    EXPECT_EQ(fits.Pixels->Rows(), r.wantRows) << r.name;
    EXPECT_EQ(fits.Pixels->Columns(), static_cast<std::uint32_t>(r.width)) << r.name;
    EXPECT_EQ(fits.ImageInfo.Height, static_cast<std::int32_t>(r.wantRows)) << r.name;
    EXPECT_EQ(fits.ImageInfo.PixelCount, r.width * static_cast<std::int32_t>(r.wantRows)) << r.name;
    kit.platform.verify();
  }
}

TEST(FITSFile, ImageDataOfAFileWithoutPixelsShowsZeroRange) {
  ReaderKit kit;
  FITSFileObj fits(kit.Context());
  kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");  // keep what was read
  ASSERT_TRUE(fits.LoadFile(kit.Write("nodata.fit", ImageHeader(16, 3, 2).End().Take())));
  EXPECT_EQ(fits.ImageDataLines().at(3), "Raw Pixel Values - Minimum: 0.0;   Maximum: 0.0");
}

TEST(FITSFile, ShortHeaderBlocks) {
  // Shorter than one block: a FITS file cut inside its header raises the
  // I/O error; anything whose first card is not SIMPLE is no FITS file.
  std::vector<std::uint8_t> one = {1};
  auto cut = ImageHeader(8, 1, 1).End().U8(one).Pad().Take();
  cut.resize(2000);
  auto firstCardOnly = cut;
  firstCardOnly.resize(40);
  const std::string text = "These are notes, not an image; 54 bytes long, really.\n";
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool notFits;
  } rows[] = {
      {"empty file", {}, true},
      {"short text file", std::vector<std::uint8_t>(text.begin(), text.end()), true},
      {"block cut short", cut, false},
      {"cut inside the first card", firstCardOnly, false},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    FITSFileObj fits(kit.Context());
    if (r.notFits) {
      kit.platform.expectMessage(ModalResult::OK, "FITS File Error!", "File is Not FITS Format!");
      EXPECT_FALSE(fits.LoadFile(kit.Write("cut.fit", r.bytes))) << r.name;
    } else {
      EXPECT_THROW(fits.LoadFile(kit.Write("cut.fit", r.bytes)), FileError) << r.name;
    }
    EXPECT_FALSE(fits.DataFile.IsOpen()) << r.name;
    kit.platform.verify();
  }
}

TEST(FITSFile, ObservationTimes) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, std::string>> cards;  // string cards
    HeaderTimeCode headerTime;
    double want;
  } rows[] = {
      {"start",
       {{"DATE-OBS", "2004/03/15"}, {"UT", "03:20:00"}},
       HeaderTimeCode::Start,
       At(2004, 3, 15, 3, 20, 30)},
      {"middle",
       {{"DATE-OBS", "2004/03/15"}, {"UT", "03:20:00"}},
       HeaderTimeCode::Middle,
       At(2004, 3, 15, 3, 20, 0)},
      {"end",
       {{"DATE-OBS", "2004/03/15"}, {"UT", "03:20:00"}},
       HeaderTimeCode::End,
       At(2004, 3, 15, 3, 19, 30)},
      {"iso time wins over UT",
       {{"DATE-OBS", "2004-03-15T03:20:10.5"}, {"UT", "05:00:00"}},
       HeaderTimeCode::Middle,
       At(2004, 3, 15, 3, 20, 10)},
      {"UTSTART",
       {{"DATE-OBS", "15/03/04"}, {"UTSTART", "03:20:10"}},
       HeaderTimeCode::Middle,
       At(2004, 3, 15, 3, 20, 10)},
      {"TIME-OBS text",
       {{"DATE-OBS", "15/03/85"}, {"TIME-OBS", "01:00:00"}},
       HeaderTimeCode::Middle,
       At(1985, 3, 15, 1, 0, 0)},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    kit.settings.HeaderTime = r.headerTime;
    FITSWriter f = ImageHeader(8, 1, 1);
    f.Real("EXPTIME", 60);
    for (const auto& [k, v] : r.cards) f.Str(k, v);
    std::vector<std::uint8_t> one = {1};
    f.End().U8(one).Pad();
    FITSFileObj fits(kit.Context());
    ASSERT_TRUE(fits.LoadFile(kit.Write("t.fit", f.Bytes()))) << r.name;
    EXPECT_NEAR(kit.obs.ObsTime, r.want, 1e-9) << r.name;  // about 0.1 ms
  }
  // TIME-OBS as seconds of the day.
  ReaderKit kit;
  kit.settings.HeaderTime = HeaderTimeCode::Middle;
  std::vector<std::uint8_t> one = {1};
  FITSWriter f = ImageHeader(8, 1, 1);
  f.Str("DATE-OBS", "2004-03-15").Real("TIME-OBS", 3600).End().U8(one).Pad();
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(kit.Write("s.fit", f.Bytes())));
  EXPECT_NEAR(kit.obs.ObsTime, At(2004, 3, 15, 1, 0, 0), 1e-9);
}

TEST(FITSFile, ExposureAndTimeFamiliesCorrectTheObservationTime) {
  // Keywords of the two families beyond the table's own, with an end time
  // that must not be read as the time of the observation.
  ReaderKit kit;
  kit.settings.HeaderTime = HeaderTimeCode::Start;
  std::vector<std::uint8_t> one = {1};
  FITSWriter f = ImageHeader(8, 1, 1);
  f.Str("DATE-OBS", "2004-03-15").Str("UT-START", "03:20:00").Real("EXP_TIME", 60);
  f.Str("UT-END", "03:21:00").End().U8(one).Pad();
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(kit.Write("f.fit", f.Bytes())));
  EXPECT_EQ(fits.Header.ExpTime, 60.0L);
  EXPECT_NEAR(kit.obs.ObsTime, At(2004, 3, 15, 3, 20, 30), 1e-9);
}

TEST(FITSFile, TimesTooLargeForADateTime) {
  // An exposure or time beyond a double's range is a faulty value, not an
  // overflowing date-time.
  ReaderKit kit;
  kit.settings.HeaderTime = HeaderTimeCode::Start;
  std::vector<std::uint8_t> one = {1};
  FITSWriter f = ImageHeader(8, 1, 1);
  f.Str("DATE-OBS", "2004-03-15").Str("UT", "1E4000").Value("EXPTIME", "1E400");
  f.End().U8(one).Pad();
  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error",
                             "Keyword: EXP\nData: 1E400");
  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error",
                             "Keyword: UT\nData: 1E4000");
  FITSFileObj fits(kit.Context());
  ASSERT_TRUE(fits.LoadFile(kit.Write("huge.fit", f.Bytes())));
  EXPECT_EQ(kit.obs.ObsTime, At(2004, 3, 15, 0, 0, 0));
}

TEST(FITSFile, ObservationFactsOnlyFillWhatIsEmpty) {
  ReaderKit kit;
  kit.obs.Observer = "Already Here";
  std::vector<std::uint8_t> one = {1};
  FITSWriter f = ImageHeader(8, 1, 1);
  f.Str("OBJECT", "ceres").Str("OBSERVER", "Piazzi").Str("FILTER", "R").End().U8(one).Pad();
  FITSFileObj noDate(kit.Context());
  ASSERT_TRUE(noDate.LoadFile(kit.Write("a.fit", f.Bytes())));
  EXPECT_EQ(kit.obs.ObjName, "");  // without DATE-OBS nothing is passed on
  EXPECT_EQ(kit.camera.Filter, 2);

  FITSWriter g = ImageHeader(8, 1, 1);
  g.Str("OBJECT", "ceres").Str("OBSERVER", "Piazzi").Str("DATE-OBS", "2001-01-01");
  g.Str("FILTER", "UV").End().U8(one).Pad();
  FITSFileObj dated(kit.Context());
  ASSERT_TRUE(dated.LoadFile(kit.Write("b.fit", g.Bytes())));
  EXPECT_EQ(kit.obs.ObjName, "CERES");
  EXPECT_EQ(kit.obs.Observer, "Already Here");
  EXPECT_EQ(kit.obs.ObsTime, At(2001, 1, 1, 0, 0, 0));
  EXPECT_EQ(kit.camera.Filter, 2);  // an unrecognised filter leaves the camera's

  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error", "Keyword: DATE-OBS");
  FITSWriter h = ImageHeader(8, 1, 1);
  h.Str("DATE-OBS", "2003-02-29").End().U8(one).Pad();
  FITSFileObj badDate(kit.Context());
  ASSERT_TRUE(badDate.LoadFile(kit.Write("c.fit", h.Bytes())));
}

TEST(FITSFile, ListingsAndNames) {
  ReaderKit kit;
  const auto other = test::FreshFolder("other");
  std::vector<std::uint8_t> px = {1, 2};
  const auto bytes = ImageHeader(8, 2, 1).Str("OBJECT", "M31").End().U8(px).Pad().Take();
  const auto first = kit.Write("m31.fit", bytes);
  const auto second = kit.Write("m31.fit", bytes, other);

  auto a = std::make_unique<FITSFileObj>(kit.Context());
  FITSFileObj b(kit.Context());
  ASSERT_TRUE(a->LoadFile(first));
  ASSERT_TRUE(b.LoadFile(second));
  EXPECT_EQ(a->DisplayName, "M31.FIT");
  EXPECT_NE(a->HdrFileName, b.HdrFileName);  // same name, different folders: two listings
  EXPECT_EQ(a->HdrFileName.parent_path(), kit.work);
  EXPECT_TRUE(a->HdrFileName.filename().string().starts_with("M31-"));
  EXPECT_EQ(a->HdrFileName.extension(), ".HDR");

  const auto lines = a->HeaderListLines();
  ASSERT_GE(lines.size(), 3u + 36u);
  EXPECT_EQ(lines[0], first.string());
  EXPECT_EQ(lines[1], "** FITS Header Information **");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "SIMPLE  =                    T");

  a->ShowHeaderList("Image 1 - ");
  a->ShowImageData("Image 1 - ");
  a->ShowHeaderList("Image 1 - ");
  ASSERT_TRUE(a->HdrListWin && a->InfoListWin);
  EXPECT_EQ(a->HdrListWin->Caption, "Image 1 - M31.FIT");
  EXPECT_EQ(a->HdrListWin->SavedFileName, "M31.HDR");
  EXPECT_EQ(a->HdrListWin->SaveFilterIndex, 2);
  EXPECT_EQ(a->HdrListWin->Lines(), lines);
  EXPECT_EQ(a->InfoListWin->Caption, "Image 1 - Image Data");
  EXPECT_EQ(a->InfoListWin->SavedFileName, "M31.IMG");
  EXPECT_EQ(a->InfoListWin->SaveFilterIndex, 3);
  const std::vector<std::string> info = {"File Name: " + first.string(),
                                         "File Type: FITS (BITPIX = 8)",
                                         "Width: 2 Pixels;  Height: 1 Pixels;  Total: 2 Pixels",
                                         "Raw Pixel Values - Minimum: 1.0;   Maximum: 2.0",
                                         "Maximum Bin: 0;  Count: 0",
                                         "First Zero Bin: 0",
                                         "Adjusted Image Range - Low: 0.0;  High: 0.0"};
  EXPECT_EQ(a->InfoListWin->Lines(), info);
  EXPECT_EQ(kit.shown.size(), 3u);

  // Reloading into the same object drops the old listing and windows.
  const auto oldListing = a->HdrFileName;
  ASSERT_TRUE(a->LoadFile(first));
  EXPECT_FALSE(std::filesystem::exists(oldListing));
  EXPECT_TRUE(std::filesystem::exists(a->HdrFileName));
  EXPECT_FALSE(a->HdrListWin);
  EXPECT_FALSE(a->InfoListWin);
  EXPECT_EQ(kit.forgotten.size(), 2u);
  // Freeing one image leaves the other's listing alone.
  const auto kept = b.HdrFileName;
  a.reset();
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_EQ(kit.WorkFiles().size(), 1u);
}

TEST(FITSFile, DisplayNames) {
  struct Row {
    const char* file;
    const char* base;
    const char* display;
  } rows[] = {{"/a/m31.fit", "M31", "M31.FIT"},
              {"/a/M31.FITS", "M31S", "M31S.FIT"},
              {"/a/noext", "NOEXT", "NOEXT"},
              {"/a/x.fts", "X", "X.FTS"}};
  for (const auto& r : rows) {
    std::string base, display;
    GraphicsFileObj::NameParts(r.file, base, display);
    EXPECT_EQ(base, r.base) << r.file;
    EXPECT_EQ(display, r.display) << r.file;
  }
}

// The regions table's use: a table read through the header code.
class TableReader : public FITSFileObj {
 public:
  using FITSFileObj::FITSFileObj;
  std::vector<std::string> rows;
  bool ReadTable() override {
    DataFile.ReadExact(CardBlock.data(), FITSBlockSize);
    for (int i = 0; i < Header.NAxis2; ++i)
      rows.emplace_back(reinterpret_cast<const char*>(CardBlock.data()) + i * Header.NAxis1,
                        static_cast<std::size_t>(Header.NAxis1));
    DataFile.Close();
    return true;
  }
};

TEST(FITSFile, TableOverrideLeavesObservationAlone) {
  ReaderKit kit;
  kit.obs.ObsTime = 123.0;
  FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  f.Str("DATE-OBS", "1990-01-01").Str("OBJECT", "GSC").End();
  f.Str("XTENSION", "TABLE").Int("BITPIX", 8).Int("NAXIS", 2).Int("NAXIS1", 4).Int("NAXIS2", 2);
  f.Int("TFIELDS", 1).End();
  std::vector<std::uint8_t> data = {'0', '0', '0', '1', '0', '0', '0', '2'};
  f.U8(data).Pad();
  TableReader table(kit.Context());
  ASSERT_TRUE(table.LoadFile(kit.Write("REGIONS.TBL", f.Bytes())));
  EXPECT_EQ(table.rows, (std::vector<std::string>{"0001", "0002"}));
  EXPECT_EQ(kit.obs.ObsTime, 123.0);
  EXPECT_EQ(kit.obs.ObjName, "");
  EXPECT_FALSE(kit.camFromFile);
  EXPECT_FALSE(table.Pixels);
}

}  // namespace
}  // namespace hv
