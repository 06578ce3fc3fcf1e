#include "app/Options.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "app/Folders.h"
#include "support/Files.h"
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

// The file built from the offset table alone, one field at a time, so that
// the codec is checked against the layout rather than against itself.
std::vector<std::uint8_t> TableFile(const OptsRec& r) {
  std::vector<std::uint8_t> f(OptsFileSize, 0);
  auto str = [&](std::size_t at, std::size_t size, const std::string& t) {
    ASSERT_LE(t.size(), size - 1);
    f[at] = static_cast<std::uint8_t>(t.size());
    std::copy(t.begin(), t.end(), f.begin() + at + 1);
  };
  auto rec = [&](std::size_t at, std::size_t size, auto encode, const auto& value) {
    Encoder e;
    encode(e, value);
    ASSERT_EQ(e.size(), size);
    std::copy(e.data().begin(), e.data().end(), f.begin() + at);
  };
  auto single = [&](std::size_t at, float v) {
    Encoder e;
    e.f32(v);
    std::copy(e.data().begin(), e.data().end(), f.begin() + at);
  };
  str(0, 72, r.FileVersion);
  str(72, 256, r.GSCPath1);
  str(328, 256, r.GSCPath2);
  str(584, 256, r.AstorbPath);
  str(840, 256, r.MPCOrbPath);
  str(1096, 72, r.LogoBitmap);
  str(1168, 72, r.ExerciseBitmap);
  str(1240, 72, r.AstromBitmap);
  str(1312, 72, r.GeneralHelpFile);
  str(1384, 72, r.HelpListFile);
  str(1456, 72, r.ToolsHelpListFile);
  str(1528, 72, r.UserHelpFile);
  str(1600, 72, r.ReminderFile);
  str(1672, 256, r.StationsFile);
  str(1928, 256, r.CameraFile);
  str(2184, 256, r.SaveOrbitsFile);
  str(2440, 256, r.SpreadsheetProgram);
  str(2696, 256, r.CatalogURL);
  str(2952, 256, r.LogFile);
  std::copy(r.Password.begin(), r.Password.end(), f.begin() + 3208);
  f[3224] = r.PasswordLen;
  std::copy(r.SecondCode.begin(), r.SecondCode.end(), f.begin() + 3225);
  f[3241] = r.SecondCodeLen;
  str(3242, 5, r.TableNumber);
  f[3247] = r.ExerciseMode;
  f[3248] = r.TestMode;
  f[3249] = r.NoConfirm;
  f[3250] = r.SpareFlag;
  f[3251] = r.ReadSky;
  f[3252] = r.InvertRefDisplay;
  f[3253] = static_cast<std::uint8_t>(r.GSCFormat);
  f[3254] = static_cast<std::uint8_t>(r.StarCatalog);
  f[3255] = static_cast<std::uint8_t>(r.SolutionOrder);
  f[3256] = static_cast<std::uint8_t>(r.ImageFileType);
  f[3257] = static_cast<std::uint8_t>(r.HeaderTime);
  rec(3258, 738, EncodeUserRec, r.DefaultUser);
  rec(3996, 67, EncodeCamRec, r.DefaultCamera);
  rec(4063, 170, EncodeSiteRec, r.DefaultSite);
  rec(4233, 40, EncodeDispParmsRec, r.DisplayDefaults);
  std::copy(r.Reserved.begin(), r.Reserved.end(), f.begin() + 4273);
  rec(4301, 3, EncodeBoxParmsRec, r.BoxParms);
  single(4304, r.MagLimit);
  single(4308, r.FieldSize);
  return f;
}

TEST(OptionsFile, DistinctFieldsRoundTripByteForByte) {
  const OptsRec r = DistinctRecord();
  const auto file = TableFile(r);
  Decoder d(file);
  OptsRec back = DecodeOptsFields(d);
  EXPECT_EQ(d.remaining(), 0u);
  EXPECT_EQ(back, r);
  auto again = Encode(back);
  ASSERT_EQ(again.size(), OptsFileSize);
  for (std::size_t i = 0; i < OptsFileSize; ++i) {
    if (again[i] != file[i]) {
      ADD_FAILURE() << "first difference at offset " << i << ": wanted " << int(file[i]) << ", got "
                    << int(again[i]);
      break;
    }
  }
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

TEST(OptionsFile, DefaultTextsAndFlagsAtTheirOffsets) {
  OptsRec r;
  SetOptsDefaults(r, 1);
  const auto b = Encode(r);
  ASSERT_EQ(b.size(), OptsFileSize);
  auto text = [&](std::size_t at) { return std::string(&b[at + 1], &b[at + 1] + b[at]); };
  const struct {
    std::size_t at;
    const char* want;
  } texts[] = {
      {72, ""},
      {328, ""},
      {584, ""},
      {840, ""},
      {1096, "VESKLOGO.BMP"},
      {1168, "ASTRMEX.BMP"},
      {1240, "ASTROMET.BMP"},
      {1312, "VESKHELP.HLP"},
      {1384, "ASTRMHLP.LST"},
      {1456, "TOOLSHLP.LST"},
      {1528, ""},
      {1600, "REMINDER.AST"},
      {1672, "ASTSITES.DAT"},
      {1928, "ASTCAMS.DAT"},
      {2184, "SAVORBS.DAT"},
      {2440, ""},
      {2952, "VESKLOG.LOG"},
      {3242, ""},
  };
  for (const auto& t : texts) EXPECT_EQ(text(t.at), t.want) << "offset " << t.at;
  const std::string url = text(2696);
  EXPECT_EQ(url.rfind("http://", 0), 0u) << url;
  EXPECT_TRUE(url.ends_with("/cgi-bin/vo_cone.cgi?")) << url;
  // TestMode, NoConfirm, SpareFlag, then the five codes: all 0.
  for (std::size_t at : {3248u, 3249u, 3250u, 3253u, 3254u, 3255u, 3256u, 3257u})
    EXPECT_EQ(b[at], 0) << "offset " << at;
  EXPECT_EQ(b[3996 + 66], 8);  // default camera's filter: unrecognised
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

namespace hv {
namespace {
namespace fs = std::filesystem;

std::vector<std::uint8_t> Slurp(const fs::path& p) { return ReadWholeFile(p); }

void Put(const fs::path& p, const std::vector<std::uint8_t>& bytes) { WriteFileAtomic(p, bytes); }

// A valid options file whose table number tells where it came from.
std::vector<std::uint8_t> FileFrom(const std::string& table, const std::string& version = "1.711") {
  OptsRec r;
  SetOptsDefaults(r, 1);
  r.FileVersion = version;
  r.TableNumber = table;
  return Encode(r);
}

// The settings object with its folders fixed as Init would, without Init.
struct Fixture {
  test::Scripted p;
  fs::path data = test::FreshFolder("data");
  fs::path program = test::FreshFolder("program");
  OptsObj opts{p};
  Fixture() {
    opts.Settings.ProgVersion = "1.711";
    opts.Settings.OptsFileName = "ASTXOPTS.INI";
    opts.Settings.BackupFileName = "ASTXOPTS.BAK";
  }
};

TEST(OptsObj, ReadOutcomesByVersionAndSize) {
  struct Case {
    const char* name;
    std::string version;
    long sizeChange;
    const char* caption;  // nullptr: loaded
    const char* text;
  };
  const char* obsolete =
      " is obsolete.\r\nProgram will continue with defaults or alternative file.";
  const std::string invalid =
      " is Invalid.\r\nProgram will continue with defaults or alternative file.\r\n\r\n";
  const std::string eof = invalid + "EOF!", notReached = invalid + "EOF Not Reached!";
  const Case cases[] = {
      {"same version", "1.711", 0, nullptr, ""},
      {"later build of 1.71", "1.719", 0, nullptr, ""},
      {"two decimals", "1.71", 0, nullptr, ""},
      {"1.70", "1.70", 0, "Version Error", obsolete},
      {"1.7", "1.7", 0, "Version Error", obsolete},
      {"2.711", "2.711", 0, "Version Error", obsolete},
      {"one byte short", "1.711", -1, "File Error", eof.c_str()},
      {"one byte long", "1.711", 1, "File Error", notReached.c_str()},
      {"version cut", "1.711", -4300, "File Error", eof.c_str()},
      {"empty", "1.711", -4312, "File Error", eof.c_str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    auto bytes = FileFrom("T7", c.version);
    bytes.resize(bytes.size() + c.sizeChange, 0xEE);
    fs::path path = f.data / "ASTXOPTS.INI";
    Put(path, bytes);
    f.opts.Settings.TableNumber = "OLD";
    f.opts.Settings.DefaultUser.Observers = "kept";
    if (c.caption)
      f.p.expectMessage(ModalResult::OK, c.caption, "Options File " + path.string() + c.text);
    bool ok = f.opts.ReadOptsFile(path);
    EXPECT_EQ(ok, c.caption == nullptr);
    if (ok) {
      EXPECT_EQ(f.opts.Settings.TableNumber, "T7");
      EXPECT_EQ(f.opts.Settings.ProgVersion, "1.711");  // not stored, kept
      EXPECT_TRUE(fs::exists(path));
    } else {
      // Nothing of the damaged file reaches the settings, and the file is gone.
      EXPECT_EQ(f.opts.Settings.TableNumber, "OLD");
      EXPECT_EQ(f.opts.Settings.DefaultUser.Observers, "kept");
      EXPECT_FALSE(fs::exists(path));
      ASSERT_EQ(f.p.messages().size(), 1u);
      EXPECT_EQ(f.p.messages()[0].icon, MsgIcon::Information);
      EXPECT_EQ(f.p.messages()[0].text, "Options File " + path.string() + c.text);
    }
  }
}

TEST(OptsObj, MissingOrUnreadableFileIsSilent) {
  Fixture f;
  EXPECT_FALSE(f.opts.ReadOptsFile(f.data / "ASTXOPTS.INI"));
  fs::create_directory(f.data / "ASTXOPTS.INI");  // a folder of that name
  EXPECT_FALSE(f.opts.ReadOptsFile(f.data / "ASTXOPTS.INI"));
  EXPECT_TRUE(fs::exists(f.data / "ASTXOPTS.INI"));
}

TEST(OptsObj, SaveKeepsTheOldFileAsBackup) {
  Fixture f;
  SetOptsDefaults(f.opts.Settings, 1);
  f.opts.Settings.TableNumber = "A";
  ASSERT_TRUE(f.opts.WriteOptsFile(f.data));
  EXPECT_FALSE(fs::exists(f.data / "ASTXOPTS.BAK"));  // nothing to back up yet
  const auto first = Slurp(f.data / "ASTXOPTS.INI");
  EXPECT_EQ(first, Encode(f.opts.Settings));

  f.opts.Settings.TableNumber = "B";
  ASSERT_TRUE(f.opts.WriteOptsFile(f.data));
  EXPECT_EQ(Slurp(f.data / "ASTXOPTS.BAK"), first);
  EXPECT_EQ(Slurp(f.data / "ASTXOPTS.INI"), Encode(f.opts.Settings));
  int n = 0;
  for (auto& e : fs::directory_iterator(f.data)) (void)e, ++n;
  EXPECT_EQ(n, 2);
}

// Adds bytes behind the fields, so a file-size limit can cut the write of
// the options file after its backup went through.
class LongerOpts : public OptsObj {
 public:
  using OptsObj::OptsObj;
  std::size_t extra = 0;

 protected:
  void WriteExtra(Encoder& e) override { e.zeros(extra); }
};

TEST(OptsObj, InterruptedSaveLeavesTheOldFileReadable) {
  test::Scripted p;
  fs::path data = test::FreshFolder("cut");
  LongerOpts opts(p);
  opts.Settings.ProgVersion = "1.711";
  opts.Settings.OptsFileName = "ASTXOPTS.INI";
  opts.Settings.BackupFileName = "ASTXOPTS.BAK";
  SetOptsDefaults(opts.Settings, 1);
  opts.Settings.TableNumber = "OLD";
  ASSERT_TRUE(opts.WriteOptsFile(data));

  opts.Settings.TableNumber = "NEW";
  opts.extra = 2000;
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 5000;  // room for the backup, not for the longer file
  p.expectMessage(ModalResult::OK, "Options File Error!",
                  "Unable to save Options!\r\n\r\nFileName: " + (data / "ASTXOPTS.INI").string() +
                      "\r\nDisk Full!");
  ::setrlimit(RLIMIT_FSIZE, &small);
  bool ok = opts.WriteOptsFile(data);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(ok);
  ASSERT_EQ(p.messages().size(), 1u);
  EXPECT_EQ(p.messages()[0].icon, MsgIcon::Error);

  OptsObj reader(p);
  reader.Settings.ProgVersion = "1.711";
  ASSERT_TRUE(reader.ReadOptsFile(data / "ASTXOPTS.INI"));
  EXPECT_EQ(reader.Settings.TableNumber, "OLD");
  int n = 0;
  for (auto& e : fs::directory_iterator(data)) (void)e, ++n;
  EXPECT_EQ(n, 2);  // the file and its backup, no temporary left
}

TEST(OptsObj, FailedBackupStopsTheSave) {
  Fixture f;
  SetOptsDefaults(f.opts.Settings, 1);
  f.opts.Settings.TableNumber = "OLD";
  ASSERT_TRUE(f.opts.WriteOptsFile(f.data));
  const auto before = Slurp(f.data / "ASTXOPTS.INI");
  fs::create_directory(f.data / "ASTXOPTS.BAK");
  fs::create_directory(f.data / "ASTXOPTS.BAK" / "inside");  // cannot be replaced by a file
  f.opts.Settings.TableNumber = "NEW";
  f.p.expectMessage(ModalResult::OK, "Options File Error!",
                    "FileName: " + (f.data / "ASTXOPTS.BAK").string() + "\r\n");
  EXPECT_FALSE(f.opts.WriteOptsFile(f.data));
  EXPECT_EQ(Slurp(f.data / "ASTXOPTS.INI"), before);
}

TEST(OptsObj, SaveIntoMissingFolderFails) {
  Fixture f;
  SetOptsDefaults(f.opts.Settings, 1);
  f.p.expectMessage(ModalResult::OK, "Options File Error!", "Unable to save Options!");
  EXPECT_FALSE(f.opts.WriteOptsFile(f.data / "gone" / ""));
}

// Init in a fresh current folder, with a program folder of its own.
struct InitFixture {
  test::Scripted p;
  fs::path cwd = test::FreshFolder("cwd");
  fs::path program = test::FreshFolder("prog");
  fs::path saved = fs::current_path();
  OptsObj opts{p};
  InitFixture() {
    fs::current_path(cwd);
    p.programPath = program / "halvardin";
    p.opticalDrives = {"/media/cdrom"};
  }
  ~InitFixture() { fs::current_path(saved); }
};

TEST(OptsObj, InitReadsDataFolderThenProgramFolderThenDefaults) {
  {
    InitFixture f;
    Put(f.cwd / "ASTXOPTS.INI", FileFrom("DATA"));
    Put(f.program / "ASTXOPTS.INI", FileFrom("PROG"));
    ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
    EXPECT_EQ(f.opts.Settings.TableNumber, "DATA");
    EXPECT_EQ(f.opts.Settings.DataFolder, WithSeparator(f.cwd));
    EXPECT_EQ(f.opts.Settings.ProgramFolder, WithSeparator(f.program));
    EXPECT_EQ(f.opts.Settings.CDROMRoot, fs::path("/media/cdrom/"));
    EXPECT_EQ(f.opts.Settings.ProgVersion, "1.711");
    EXPECT_EQ(f.opts.Settings.OptsFileName, "ASTXOPTS.INI");
    EXPECT_EQ(f.opts.Settings.BackupFileName, "ASTXOPTS.BAK");
    EXPECT_FALSE(f.opts.Settings.AdminMode);
    EXPECT_TRUE(f.opts.IsNT5);
  }
  {
    InitFixture f;
    Put(f.program / "ASTXOPTS.INI", FileFrom("PROG"));
    ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
    EXPECT_EQ(f.opts.Settings.TableNumber, "PROG");
  }
  {
    // An obsolete data-folder file is reported and deleted; the program
    // folder's file is used.
    InitFixture f;
    Put(f.cwd / "ASTXOPTS.INI", FileFrom("OLD", "1.60"));
    Put(f.program / "ASTXOPTS.INI", FileFrom("PROG"));
    f.p.expectMessage(ModalResult::OK, "Version Error");
    ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
    EXPECT_EQ(f.opts.Settings.TableNumber, "PROG");
    EXPECT_FALSE(fs::exists(f.cwd / "ASTXOPTS.INI"));
  }
  {
    // No file anywhere: defaults, and nothing is written.
    InitFixture f;
    f.p.clock.hour = 9;
    f.p.clock.millisecond = 5;
    ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
    OptsRec want;
    SetOptsDefaults(want, 0);
    EXPECT_EQ(f.opts.Settings.FileVersion, "1.711");
    EXPECT_EQ(f.opts.Settings.LogoBitmap, "VESKLOGO.BMP");
    EXPECT_EQ(f.opts.Settings.MagLimit, 20.0f);
    EXPECT_EQ(f.opts.Settings.DisplayDefaults, DefaultDispParms());
    EXPECT_EQ(DecodePassword(f.opts.Settings.Password, f.opts.Settings.PasswordLen), "QORV");
    EXPECT_GT(f.opts.Settings.SecondCodeLen, 0);
    EXPECT_TRUE(fs::is_empty(f.cwd));
    EXPECT_TRUE(fs::is_empty(f.program));
  }
}

TEST(OptsObj, InitAsksForTheDriveAndKeepsLongFolders) {
  InitFixture f;
  f.p.opticalDrives.clear();
  f.p.os.major = 4;  // before NT 5: no per-user folder rule
  // A data folder longer than any stored folder text stays whole.
  fs::path deep = f.cwd / std::string(120, 'd') / std::string(120, 'e');
  fs::create_directories(deep);
  fs::current_path(deep);
  f.p.expectInput(std::string("/mnt/gsc"));
  ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
  EXPECT_EQ(f.opts.Settings.DataFolder, WithSeparator(deep));
  EXPECT_GT(f.opts.Settings.DataFolder.string().size(), 240u);
  EXPECT_EQ(f.opts.Settings.CDROMRoot, fs::path("/mnt/gsc/"));
  EXPECT_FALSE(f.opts.IsNT5);
}

TEST(OptsObj, InitFindsTheCatalogBesideTheProgramWithoutAsking) {
  InitFixture f;
  f.p.opticalDrives.clear();
  fs::create_directories(f.program / "TABLES");
  Put(f.program / "TABLES" / "REGIONS.TBL", std::vector<std::uint8_t>{1});
  ASSERT_TRUE(f.opts.Init("ASTXOPTS.INI", "1.711"));
  EXPECT_EQ(f.opts.Settings.CDROMRoot, WithSeparator(f.program));
  EXPECT_TRUE(f.p.transcript().empty());
}

TEST(OptsObj, InitEndsWhenNoWritableFolderIsGiven) {
  InitFixture f;
  f.p.os.major = 5;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string keep = xdg ? xdg : "";
  // The current folder is removed under us and the fallback cannot be made.
  Put(f.cwd.parent_path() / "plainfile", {1});
  ::setenv("XDG_DATA_HOME", (f.cwd.parent_path() / "plainfile" / "x").c_str(), 1);
  fs::current_path(f.program);
  fs::remove(f.program);
  f.p.expectMessage(ModalResult::Cancel, "Write-Enabled Storage Required", "is write-protected!");
  EXPECT_FALSE(f.opts.Init("ASTXOPTS.INI", "1.711"));
  ::setenv("XDG_DATA_HOME", keep.c_str(), 1);
}

}  // namespace
}  // namespace hv
