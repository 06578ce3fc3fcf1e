// The SBIG and ST-4 readers on files built byte by byte.
#include "images/SBIGFile.h"

#include <gtest/gtest.h>

#include "images/ST4File.h"
#include "support/Codec.h"
#include "support/Files.h"
#include "support/Format.h"
#include "tests/images/ReaderTestKit.h"

namespace hv {
namespace {

using test::AllPixels;
using test::At;
using test::ReaderKit;

// A 2048-byte header of the given lines (line feed, carriage return after
// each, then the end mark), followed by data.
std::vector<std::uint8_t> SBIG(const std::vector<std::string>& lines,
                               const std::vector<std::uint8_t>& data, bool endMark = true) {
  std::vector<std::uint8_t> b;
  for (const auto& l : lines) {
    b.insert(b.end(), l.begin(), l.end());
    b.push_back(10);
    b.push_back(13);
  }
  if (endMark) b.push_back(26);
  b.resize(2048, 0);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

const std::vector<std::uint8_t> kCompressed4x2 = {0x07, 0x00, 0x64, 0x00, 0x05, 0xFB, 0x80,
                                                  0xC8, 0x00, 0x08, 0x00, 0x0A, 0x00, 0x14,
                                                  0x00, 0x1E, 0x00, 0x28, 0x00};

std::vector<std::string> Lines(std::string first, std::vector<std::string> more) {
  more.insert(more.begin(), std::move(first));
  return more;
}

TEST(SBIGFile, CompressedFileByteExact) {
  ReaderKit kit;
  const auto path = kit.Write(
      "st7.st7", SBIG(Lines("ST-7 Compressed Image",
                            {"Width = 4", "Height = 2", "Pedestal = 100", "Background = 100",
                             "Range = 500", "Date = 03/15/04", "Time = 03:20:00"}),
                      kCompressed4x2));
  SBIGFileObj sbig(kit.Context());
  ASSERT_TRUE(sbig.LoadFile(path));
  EXPECT_TRUE(sbig.Header.Compressed);
  EXPECT_EQ(sbig.Header.CameraIndex, 4);
  EXPECT_EQ(AllPixels(sbig), (std::vector<std::int32_t>{100, 105, 100, 200, 10, 20, 30, 40}));
  EXPECT_EQ(sbig.ImageInfo.Format, "SBIG - ST-7 Compressed Image");
  EXPECT_EQ(sbig.ImageInfo.PixelCount, 8);
  EXPECT_EQ(sbig.ImageInfo.RawMin, 10);
  EXPECT_EQ(sbig.ImageInfo.RawMax, 200);
  EXPECT_EQ(sbig.Histogram->BinWidth(), 256);
  EXPECT_EQ(sbig.HeaderLow, 100);
  EXPECT_EQ(sbig.HeaderHigh, 600);
  EXPECT_EQ(kit.camera.Name, "SBIG ST-7");
  EXPECT_EQ(kit.camera.ImageWidth, 4);
  EXPECT_EQ(kit.camera.ImageHeight, 2);
  EXPECT_TRUE(kit.camFromFile);
  EXPECT_EQ(sbig.DisplayName, "ST7.ST7");
  const auto listing = sbig.HeaderListLines();
  ASSERT_EQ(listing.size(), 3u + 8u);
  EXPECT_EQ(listing[1], "** SBIG Header Information **");
  EXPECT_EQ(listing[3], "ST-7 Compressed Image");
  EXPECT_EQ(listing[4], "Width = 4");
}

TEST(SBIGFile, CamerasWhoseNameDoesNotBeginWithST) {
  // The first line names the camera and its compression whatever its
  // first letters.
  struct Row {
    const char* title;
    const char* camera;
    std::vector<std::uint8_t> data;
  } rows[] = {
      {"STV Compressed Image", "SBIG STV", kCompressed4x2},
      {"PixCel255 Compressed Image", "SBIG PixCel255", kCompressed4x2},
      {"PixCel237 Image",
       "SBIG PixCel237",
       {100, 0, 105, 0, 100, 0, 200, 0, 10, 0, 20, 0, 30, 0, 40, 0}},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    SBIGFileObj sbig(kit.Context());
    ASSERT_TRUE(sbig.LoadFile(kit.Write(
        "cam.sbg",
        SBIG(Lines(r.title, {"Width = 4", "Height = 2", "Pedestal = 100", "Date = 01/01/00"}),
             r.data))))
        << r.title;
    EXPECT_EQ(AllPixels(sbig), (std::vector<std::int32_t>{100, 105, 100, 200, 10, 20, 30, 40}))
        << r.title;
    EXPECT_EQ(kit.camera.Name, r.camera);
    EXPECT_EQ(sbig.ImageInfo.Format, "SBIG - " + std::string(r.title).substr(0, 24));
  }
}

TEST(SBIGFile, CompressedRowsOfOtherLengthsFillOn) {
  // The values of a row are not counted against the width: the filling
  // goes on into the next row, and what lies past the last row is dropped,
  // without a question.
  struct Row {
    const char* name;
    std::vector<std::uint8_t> data;
    std::vector<std::int32_t> want;
  } rows[] = {
      {"short row, then a long one",
       {0x03, 0x00, 0x64, 0x00, 0x01, 0x07, 0x00, 0x0A, 0x00, 1, 1, 1, 1, 1},
       {100, 101, 10, 11, 12, 13, 14, 15}},
      {"long rows",
       {0x07, 0x00, 0x64, 0x00, 1, 1, 1, 1, 1, 0x07, 0x00, 0x0A, 0x00, 1, 1, 1, 1, 1},
       {100, 101, 102, 103, 104, 105, 10, 11}},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    SBIGFileObj sbig(kit.Context());
    ASSERT_TRUE(sbig.LoadFile(kit.Write(
        "fill.st7", SBIG(Lines("ST-7 Compressed Image",
                               {"Width = 4", "Height = 2", "Pedestal = 100", "Date = 01/01/00"}),
                         r.data))))
        << r.name;
    EXPECT_EQ(AllPixels(sbig), r.want) << r.name;
    EXPECT_EQ(sbig.Histogram->Count(), 8) << r.name;
  }
}

TEST(SBIGFile, PlainRowsCameraAndTimes) {
  struct Row {
    const char* name;
    HeaderTimeCode headerTime;
    const char* date;
    double want;
  } rows[] = {
      {"start", HeaderTimeCode::Start, "03/15/04", At(2004, 3, 15, 3, 20, 5)},
      {"middle", HeaderTimeCode::Middle, "03/15/04", At(2004, 3, 15, 3, 20, 0)},
      {"end", HeaderTimeCode::End, "03/15/04", At(2004, 3, 15, 3, 19, 55)},
      {"ST-4 setting", HeaderTimeCode::ST4, "03/15/04", At(2004, 3, 15, 3, 20, 0)},
      {"nineties", HeaderTimeCode::Middle, "03/15/95", At(1995, 3, 15, 3, 20, 0)},
      {"four-digit year", HeaderTimeCode::Middle, "3/5/2004", At(2004, 3, 5, 3, 20, 0)},
      {"four-digit year, two-digit day", HeaderTimeCode::Middle, "03/15/2004",
       At(2004, 3, 15, 3, 20, 0)},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    kit.settings.HeaderTime = r.headerTime;
    kit.obs.ObjName = "kept";
    const std::vector<std::uint8_t> px = {0x64, 0, 0x65, 0, 0xFF, 0xFF};
    const auto path = kit.Write(
        "p.st6",
        SBIG(Lines("ST-4X Image",
                   {"File_version = 3", "Width = 3", "Height = 1", "Exposure = 1000",
                    "Exposure_state = 7", std::string("Date = ") + r.date, "Time = 03:20:00",
                    "Aperture = 12.566", "Focal_length = 40", "X_pixel_size = 0.009",
                    "Y_pixel_size = 0.011", "Observer = C. Tombaugh", "Filter = Red",
                    "Note = a note", "Unknown_key = 5", "End"}),
             px));
    SBIGFileObj sbig(kit.Context());
    ASSERT_TRUE(sbig.LoadFile(path)) << r.name;
    EXPECT_EQ(AllPixels(sbig), (std::vector<std::int32_t>{0, 1, 65435})) << r.name;
    EXPECT_EQ(sbig.Header.Exposure, 1000);
    EXPECT_EQ(sbig.Header.ExposureState, 7);
    EXPECT_EQ(sbig.Header.Note, "a note");
    EXPECT_NEAR(kit.obs.ObsTime, r.want, 1e-9) << r.name;
    EXPECT_EQ(kit.obs.Observer, "C. Tombaugh");
    EXPECT_EQ(kit.obs.ObjName, "kept");
    EXPECT_EQ(kit.camera.Name, "SBIG ST-4X");
    EXPECT_NEAR(kit.camera.Aperture, 101.6, 0.01);
    EXPECT_NEAR(kit.camera.FocalLength, 1016, 1e-3);
    EXPECT_NEAR(kit.camera.PixelWidth, 9, 1e-4);
    EXPECT_NEAR(kit.camera.PixelHeight, 11, 1e-4);
    EXPECT_EQ(kit.camera.Filter, 2);
  }
}

TEST(SBIGFile, FormatRefusals) {
  const std::string notSBIG = "File is Not a Valid SBIG Format (ST-4X thru STV)!";
  const std::string badSize = "Image Size in SBIG Header is Missing or Faulty!";
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> messages;  // caption-free texts, in order
  };
  const Row rows[] = {
      {"ST-4 title", SBIG({"ST-4 Image", "Width = 1", "Height = 1"}, {1, 0}), {notSBIG}},
      {"no Image word",
       SBIG({"ST-7 Compressed", "Width = 1"}, {1, 0}),
       {"First Hdr Line: ST-7 Compressed\n"}},
      {"no end mark", SBIG({"ST-7 Image", "Width = 1", "Height = 1"}, {1, 0}, false), {notSBIG}},
      {"zero width",
       SBIG({"ST-7 Image", "Width = 0", "Height = 1", "Date = 1/1/01"}, {1, 0}),
       {badSize}},
      {"too wide",
       SBIG({"ST-7 Image", "Width = 16384", "Height = 1"}, {1, 0}),
       {"Keyword: DATE-OBS", badSize}},
      {"more pixels than a window shows",
       SBIG({"ST-7 Image", "Width = 16383", "Height = 65535", "Date = 1/1/01"}, {1, 0}),
       {badSize}},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    for (const auto& m : r.messages) kit.platform.expectMessage(ModalResult::OK, "", m);
    SBIGFileObj sbig(kit.Context());
    EXPECT_FALSE(sbig.LoadFile(kit.Write("bad.st7", r.bytes))) << r.name;
    EXPECT_FALSE(sbig.DataFile.IsOpen()) << r.name;
    EXPECT_FALSE(kit.camFromFile) << r.name;
    kit.platform.verify();
  }
}

TEST(SBIGFile, ConversionFailuresRaise) {
  ReaderKit kit;
  SBIGFileObj sbig(kit.Context());
  EXPECT_THROW(sbig.LoadFile(kit.Write("c.st7", SBIG({"ST-7 Image", "Width = four"}, {}))),
               ConvertError);
  EXPECT_THROW(sbig.LoadFile(kit.Write("d.st7", SBIG({"ST-7 Image", "Aperture = 1e300"}, {}))),
               ConvertError);
  // A time too large for a date-time is a faulty time, counted 0.
  kit.platform.expectMessage(ModalResult::OK, "Numeric Conversion Error", "Keyword: UT");
  ASSERT_TRUE(
      sbig.LoadFile(kit.Write("t.st7", SBIG({"ST-7 Image", "Width = 1", "Height = 1",
                                             "Pedestal = 100", "Date = 03/15/04", "Time = 1E4000"},
                                            {1, 0}))));
  EXPECT_EQ(kit.obs.ObsTime, At(2004, 3, 15, 0, 0, 0));
  std::vector<std::uint8_t> tiny(100, 'S');
  EXPECT_THROW(sbig.LoadFile(kit.Write("e.st7", tiny)), FileError);
  EXPECT_FALSE(sbig.DataFile.IsOpen());
  kit.platform.expectMessage(ModalResult::OK, "SBIG File Error", "Unable to Open SBIG File!");
  EXPECT_FALSE(sbig.LoadFile(kit.images / "missing.st7"));
}

TEST(SBIGFile, ReadingErrorsAsk) {
  const std::vector<std::string> head = {"ST-7 Compressed Image", "Width = 4", "Height = 2",
                                         "Pedestal = 100", "Date = 01/01/00"};
  struct Row {
    const char* name;
    std::vector<std::uint8_t> data;
    std::vector<std::int32_t> want;
  } rows[] = {
      {"count above twice the width",
       {0x09, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {0, 0, 0, 0, 0, 0, 0, 0}},
      {"count below 2", {0x01, 0x00, 7}, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"escape with nothing after",
       {0x04, 0x00, 0x64, 0x00, 0x01, 0x80},
       {100, 101, 0, 0, 0, 0, 0, 0}},
      {"file ends in a row", {0x07, 0x00, 0x64, 0x00}, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"second row missing",
       {0x07, 0x00, 0x64, 0x00, 0x05, 0xFB, 0x80, 0xC8, 0x00},
       {100, 105, 100, 200, 0, 0, 0, 0}},
  };
  for (const auto& r : rows) {
    for (ModalResult answer : {ModalResult::OK, ModalResult::Cancel}) {
      ReaderKit kit;
      kit.platform.expectMessage(answer, "File Errors Detected!", "ROW.ST7");
      SBIGFileObj sbig(kit.Context());
      EXPECT_EQ(sbig.LoadFile(kit.Write("row.st7", SBIG(head, r.data))), answer == ModalResult::OK)
          << r.name;
      EXPECT_EQ(AllPixels(sbig), r.want) << r.name;
      kit.platform.verify();
    }
  }
  // Plain rows that end early.
  ReaderKit kit;
  kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");
  SBIGFileObj sbig(kit.Context());
  ASSERT_TRUE(sbig.LoadFile(kit.Write("plain.st7", SBIG({"ST-7 Image", "Width = 2", "Height = 2",
                                                         "Pedestal = 100", "Date = 01/01/00"},
                                                        {5, 0, 6, 0, 7}))));
  EXPECT_EQ(AllPixels(sbig), (std::vector<std::int32_t>{5, 6, 0, 0}));
}

// A small file whose header claims a large image gets a table no larger than
// its data can fill: 2 bytes a plain value; a compressed row needs its length
// word and yields no more values than it has bytes.
TEST(SBIGFile, ClaimsBeyondTheFileMakeNoLargeTable) {
  struct Row {
    const char* name;
    const char* title;
    std::vector<std::uint8_t> data;
    std::uint32_t wantRows;
    std::vector<std::int32_t> firstValues;
  } rows[] = {
      {"plain, a row and a bit", "ST-7 Image", std::vector<std::uint8_t>(16100, 1), 2, {257, 257}},
      {"compressed, one short row",
       "ST-7 Compressed Image",
       {0x04, 0x00, 0x64, 0x00, 0x01, 0x02},
       1,
       {100, 101, 103}},
      {"compressed, 3000 rows of one value",
       "ST-7 Compressed Image",
       [] {
         std::vector<std::uint8_t> b;
         for (int i = 0; i < 3000; ++i) b.insert(b.end(), {0x02, 0x00, 0x05, 0x00});
         return b;
       }(),
       2,
       {5, 5, 5}},
  };
  for (const auto& r : rows) {
    ReaderKit kit;
    kit.platform.expectMessage(ModalResult::OK, "File Errors Detected!");
    SBIGFileObj sbig(kit.Context());
    ASSERT_TRUE(sbig.LoadFile(kit.Write("claim.st7", SBIG({r.title, "Width = 8000", "Height = 8000",
                                                           "Pedestal = 100", "Date = 01/01/00"},
                                                          r.data))))
        << r.name;
    EXPECT_EQ(sbig.Pixels->Rows(), r.wantRows) << r.name;
    EXPECT_EQ(sbig.ImageInfo.Height, static_cast<std::int32_t>(r.wantRows)) << r.name;
    const auto cells = sbig.Pixels->Cells();
    EXPECT_EQ(std::vector<std::int32_t>(cells.begin(), cells.begin() + r.firstValues.size()),
              r.firstValues)
        << r.name;
    kit.platform.verify();
  }
}

std::vector<std::uint8_t> ST4(std::uint8_t mark, std::string exposure = "       500") {
  std::vector<std::uint8_t> b(ST4FileObj::FileSize, ' ');
  for (std::size_t i = 0; i < ST4FileObj::TrailerOffset; ++i)
    b[i] = static_cast<std::uint8_t>(i % 251);
  auto put = [&](std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(),
              b.begin() + static_cast<std::ptrdiff_t>(ST4FileObj::TrailerOffset + at));
  };
  b[ST4FileObj::TrailerOffset] = mark;
  put(1, "M42 trapezium");
  put(79, exposure);
  put(89, "  12.5    ");
  put(99, "   3.1    ");
  put(109, "  1.0     ");
  return b;
}

TEST(ST4File, LoadsFromTheLayout) {
  ReaderKit kit;
  kit.obs.ObsTime = 77;
  kit.obs.Observer = "";
  const auto bytes = ST4('v');
  ASSERT_EQ(bytes.size(), 31872u);
  ST4FileObj st4(kit.Context());
  EXPECT_EQ(st4.FileKind, GraphicsFileObj::KindST4);
  ASSERT_TRUE(st4.LoadFile(kit.Write("orion.st4", bytes)));
  EXPECT_EQ(st4.ImageInfo.Width, 192);
  EXPECT_EQ(st4.ImageInfo.Height, 165);
  EXPECT_EQ(st4.ImageInfo.PixelCount, 31680);
  EXPECT_EQ(st4.ImageInfo.Format, "SBIG - ST-4");
  EXPECT_EQ(st4.Pixels->GetCell(0, 0), 0);
  EXPECT_EQ(st4.Pixels->GetCell(191, 164), static_cast<std::int32_t>(31679 % 251));
  EXPECT_EQ(st4.Histogram->BinWidth(), 1);
  EXPECT_EQ(st4.Histogram->Count(), 31680);
  EXPECT_EQ(st4.ImageInfo.RawMax, 250);
  EXPECT_EQ(st4.Header.Exposure, 500);
  EXPECT_FLOAT_EQ(st4.Header.FocalLength, 12.5f);
  EXPECT_EQ(st4.HeaderLow, -100);
  EXPECT_EQ(st4.HeaderHigh, -100);
  EXPECT_EQ(kit.camera.Name, "SBIG ST-4");
  EXPECT_NEAR(kit.camera.PixelWidth, 13.8, 1e-4);
  EXPECT_NEAR(kit.camera.PixelHeight, 16, 1e-4);
  EXPECT_NEAR(kit.camera.FocalLength, 317.5, 1e-3);
  EXPECT_EQ(kit.obs.ObsTime, 77);  // an ST-4 file leaves the observation alone
  const std::vector<std::string> listing = {(kit.images / "orion.st4").string(),
                                            "** ST-4 Header Information **",
                                            "",
                                            "Note = M42 trapezium",
                                            "Exposure = 500",
                                            "Focal_length = 12.5    ",
                                            "Aperture = 3.1    ",
                                            "Response_factor = 1.0     ",
                                            "Height = 165",
                                            "Width = 192",
                                            "X_pixel_size = 0.0138",
                                            "Y_pixel_size = 0.0160"};
  EXPECT_EQ(st4.HeaderListLines(), listing);
}

TEST(ST4File, Refusals) {
  ReaderKit kit;
  kit.platform.expectMessage(ModalResult::OK, "ST-4 File Error", "File is Not in ST-4 Format!");
  ST4FileObj st4(kit.Context());
  EXPECT_FALSE(st4.LoadFile(kit.Write("x.st4", ST4('w'))));
  EXPECT_THROW(st4.LoadFile(kit.Write("y.st4", ST4('v', "   fifty  "))), ConvertError);
  auto cut = ST4('v');
  cut.resize(31700);
  EXPECT_THROW(st4.LoadFile(kit.Write("z.st4", cut)), FileError);
  kit.platform.expectMessage(ModalResult::OK, "ST-4 File Error", "Unable to Open ST-4 File!");
  EXPECT_FALSE(st4.LoadFile(kit.images / "none.st4"));
}

TEST(SBIGFile, RecordSize) {
  Encoder e;
  SBIGHeaderRec{}.Encode(e);
  EXPECT_EQ(e.size(), SBIGHeaderRec::EncodedSize);
}

}  // namespace
}  // namespace hv
