#include "app/Options.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

std::vector<std::uint8_t> Encode(const OptsRec& r) {
  Encoder e;
  EncodeOptsFields(e, r);
  return e.take();
}

float SingleAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  Decoder d{std::span(b).subspan(at, 4)};
  return d.f32();
}

// Every stored field with a value of its own, so that a field written or
// read at the wrong place shows.
OptsRec DistinctRecord() {
  OptsRec r;
  r.FileVersion = "1.719";
  r.GSCPath1 = "/cat/gsc1/";
  r.GSCPath2 = "/cat/gsc2/";
  r.AstorbPath = "/orbits/astorb/";
  r.MPCOrbPath = std::string(255, 'm');
  r.LogoBitmap = "LOGO.BMP";
  r.ExerciseBitmap = "EX.BMP";
  r.AstromBitmap = "AST.BMP";
  r.GeneralHelpFile = "GEN.HLP";
  r.HelpListFile = "LIST.LST";
  r.ToolsHelpListFile = "TOOLS.LST";
  r.UserHelpFile = "USER.TXT";
  r.ReminderFile = std::string(71, 'r');
  r.StationsFile = "/lab/ASTSITES.DAT";
  r.CameraFile = "/lab/ASTCAMS.DAT";
  r.SaveOrbitsFile = "ORBS.DAT";
  r.SpreadsheetProgram = "/usr/bin/gnumeric";
  r.CatalogURL = "http://cone.test/cgi-bin/vo_cone.cgi?";
  r.LogFile = "LAB.LOG";
  EncodePassword("Orion", r.Password, r.PasswordLen);
  EncodePassword("1234567890123456", r.SecondCode, r.SecondCodeLen);
  r.TableNumber = "T12";
  r.ExerciseMode = false;
  r.TestMode = true;
  r.NoConfirm = true;
  r.SpareFlag = false;
  r.ReadSky = true;
  r.InvertRefDisplay = false;
  r.GSCFormat = GSCFormatCode::Quillan;
  r.StarCatalog = CatalogCode::USNOB1;
  r.SolutionOrder = SolutionCode::CrossTerm;
  r.ImageFileType = ImageFileTypeCode::SBIG;
  r.HeaderTime = HeaderTimeCode::ST4;
  r.DefaultUser = {"Ana", "Uni", "Street 1", "City 9", "Country", "a@b.c", "Ana, Bo", "Cy"};
  r.DefaultCamera = {"ST-8", 9, 9.5f, 1530, 1020, 250, 2000, true, 3};
  r.DefaultSite = DefaultSite();
  r.DefaultSite.Name = "Elsewhere";
  r.DisplayDefaults = {5, -10, 59, 153, 1.5L, 0.5f, 3.0f, true, true, false, false, true, 1};
  for (std::size_t i = 0; i < r.Reserved.size(); ++i)
    r.Reserved[i] = static_cast<std::uint8_t>(200 + i);
  r.BoxParms = {8, 1, 4};
  r.MagLimit = 17.5f;
  r.FieldSize = 22.25f;
  return r;
}

TEST(OptionsFile, DistinctFieldsRoundTripByteForByte) {
  const OptsRec r = DistinctRecord();
  auto bytes = Encode(r);
  ASSERT_EQ(bytes.size(), OptsFileSize);
  Decoder d(bytes);
  OptsRec back = DecodeOptsFields(d);
  EXPECT_EQ(d.remaining(), 0u);
  EXPECT_EQ(back, r);
  EXPECT_EQ(Encode(back), bytes);
  // A few fields where the table puts them.
  EXPECT_EQ(bytes[3224], 5);  // PasswordLen
  EXPECT_EQ(bytes[3241], 16);
  EXPECT_EQ(bytes[3242], 3);  // TableNumber
  EXPECT_EQ(bytes[3253], 2);  // GSCFormat
  EXPECT_EQ(bytes[3257], 3);  // HeaderTime
  EXPECT_EQ(bytes[3996], 4);  // camera name length
  EXPECT_EQ(bytes[4063], 9);  // site name length
  EXPECT_EQ(bytes[4273], 200);
  EXPECT_EQ(bytes[4301], 8);
  EXPECT_EQ(SingleAt(bytes, 4304), 17.5f);
  EXPECT_EQ(SingleAt(bytes, 4308), 22.25f);
}

TEST(OptionsFile, DefaultBytes) {
  OptsRec r;
  SetOptsDefaults(r, 4711);
  auto b = Encode(r);
  ASSERT_EQ(b.size(), OptsFileSize);
  EXPECT_EQ(std::string(&b[1], &b[1] + b[0]), "1.711");
  // Display defaults: extended 1.0 after the four integers.
  const std::vector<std::uint8_t> one = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 4233 + 16, b.begin() + 4233 + 26), one);
  EXPECT_EQ(b[4233 + 8], 64);
  EXPECT_EQ(b[4233 + 12], 127);
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 4301, b.begin() + 4304),
            (std::vector<std::uint8_t>{0x0A, 0x0A, 0x05}));
  EXPECT_EQ(SingleAt(b, 4304), 20.0f);
  EXPECT_EQ(SingleAt(b, 4308), 15.0f);
  EXPECT_EQ(b[3247], 1);  // ExerciseMode
  EXPECT_EQ(b[3251], 1);  // ReadSky
  EXPECT_EQ(b[3252], 1);  // InvertRefDisplay
  EXPECT_EQ(DecodePassword(r.Password, r.PasswordLen), "QORV");
  EXPECT_EQ(DecodePassword(r.SecondCode, r.SecondCodeLen), "4711");
  EXPECT_EQ(r.DefaultCamera.Filter, 8);
  EXPECT_TRUE(SiteNumbersAgree(r.DefaultSite));
}

TEST(OptionsFile, DefaultsKeepObserversAndReserved) {
  OptsRec r;
  r.DefaultUser = {"A", "B", "C", "D", "E", "F", "obs", "meas"};
  r.Reserved[3] = 9;
  SetOptsDefaults(r, 1);
  EXPECT_EQ(r.DefaultUser, (UserRec{"", "", "", "", "", "", "obs", "meas"}));
  EXPECT_EQ(r.Reserved[3], 9);
}

TEST(OptionsFile, ValuesFromTheFileAreClampedOrReset) {
  auto bytes = Encode(DistinctRecord());
  bytes[3224] = 40;   // PasswordLen
  bytes[3241] = 17;   // SecondCodeLen
  bytes[3242] = 255;  // TableNumber length
  bytes[3253] = 7;    // GSCFormat
  bytes[3254] = 3;
  bytes[3255] = 200;
  bytes[3256] = 9;
  bytes[3257] = 4;
  bytes[4062] = 99;  // camera filter
  bytes[4233] = 51;  // brightness
  bytes[4301] = 11;  // half box
  Decoder d(bytes);
  OptsRec r = DecodeOptsFields(d);
  EXPECT_EQ(r.PasswordLen, 16);
  EXPECT_EQ(r.SecondCodeLen, 16);
  EXPECT_EQ(r.TableNumber.size(), 4u);
  EXPECT_EQ(r.GSCFormat, GSCFormatCode::Quillan);
  EXPECT_EQ(r.StarCatalog, CatalogCode::USNOB1);
  EXPECT_EQ(r.SolutionOrder, SolutionCode::Quadratic);
  EXPECT_EQ(r.ImageFileType, ImageFileTypeCode::SBIG);
  EXPECT_EQ(r.HeaderTime, HeaderTimeCode::ST4);
  EXPECT_EQ(r.DefaultCamera.Filter, 8);
  EXPECT_EQ(r.DisplayDefaults, DefaultDispParms());
  EXPECT_EQ(r.BoxParms, DefaultBoxParms());
  EXPECT_EQ(r.MagLimit, 17.5f);  // nothing shifted
}

TEST(Passwords, ScramblingComplementsEachCharacter) {
  std::array<std::uint8_t, 16> code{};
  code.fill(0x55);
  std::uint8_t len = 99;
  EncodePassword("Vesta", code, len);
  EXPECT_EQ(len, 5);
  const std::uint8_t want[8] = {0xA9, 0x9A, 0x8C, 0x8B, 0x9E, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(code[i], want[i]) << i;
  EXPECT_EQ(code[8], 0x55);  // two words, nothing behind them
  EXPECT_EQ(DecodePassword(code, len), "Vesta");

  code.fill(0x55);
  EncodePassword("", code, len);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(code[0], 0x55);
  EXPECT_EQ(DecodePassword(code, len), "");

  EncodePassword("abcdefghijklmnopqrst", code, len);
  EXPECT_EQ(len, 16);
  EXPECT_EQ(DecodePassword(code, len), "abcdefghijklmnop");
}

TEST(Versions, ComparisonRule) {
  struct Case {
    const char *a, *b;
    bool same;
  } cases[] = {
      {"1.711", "1.711", true}, {"1.711", "1.71", true},  {"1.711", "1.719", true},
      {"1.711", "1.7", false},  {"1.711", "1.70", false}, {"1.711", "2.711", false},
      {"1.711", "1.71x", true}, {"1.711", "", false},     {"17", "17", true},
      {"17", "1", false},       {"170", "17x", true},     {"1.711", "1.711 beta", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameVersion(c.a, c.b), c.same) << c.a << " vs " << c.b;
    EXPECT_EQ(SameVersion(c.b, c.a), c.same) << c.b << " vs " << c.a;
  }
}

TEST(Versions, BackupNames) {
  EXPECT_EQ(BackupName("ASTXOPTS.INI"), "ASTXOPTS.BAK");
  EXPECT_EQ(BackupName("OPTIONS"), "OPTIONS.BAK");
  EXPECT_EQ(BackupName("A.I"), "A.BAK");
}

}  // namespace
}  // namespace hv
