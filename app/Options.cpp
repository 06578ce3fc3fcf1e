#include "app/Options.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

#include "app/Folders.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

const char* const DefaultCatalogURL = "http://www.nofs.navy.mil/cgi-bin/vo_cone.cgi?";

namespace {

template <typename Code>
Code ClampedCode(Decoder& d, std::uint8_t max) {
  return static_cast<Code>(std::min(d.u8(), max));
}

void EncodeCode(Encoder& e, const std::array<std::uint8_t, 16>& code) { e.bytes(code); }

std::array<std::uint8_t, 16> DecodeCode(Decoder& d) {
  std::array<std::uint8_t, 16> out{};
  auto b = d.bytes(out.size());
  std::copy(b.begin(), b.end(), out.begin());
  return out;
}

}  // namespace

void EncodeOptsFields(Encoder& e, const OptsRec& r) {
  using namespace OptsCap;
  e.str(r.FileVersion, Name);
  for (const std::string* t : {&r.GSCPath1, &r.GSCPath2, &r.AstorbPath, &r.MPCOrbPath})
    e.str(*t, Path);
  for (const std::string* t :
       {&r.LogoBitmap, &r.ExerciseBitmap, &r.AstromBitmap, &r.GeneralHelpFile, &r.HelpListFile,
        &r.ToolsHelpListFile, &r.UserHelpFile, &r.ReminderFile})
    e.str(*t, Name);
  for (const std::string* t : {&r.StationsFile, &r.CameraFile, &r.SaveOrbitsFile,
                               &r.SpreadsheetProgram, &r.CatalogURL, &r.LogFile})
    e.str(*t, Path);
  EncodeCode(e, r.Password);
  e.u8(r.PasswordLen);
  EncodeCode(e, r.SecondCode);
  e.u8(r.SecondCodeLen);
  e.str(r.TableNumber, TableNumber);
  e.boolean(r.ExerciseMode);
  e.boolean(r.TestMode);
  e.boolean(r.NoConfirm);
  e.boolean(r.SpareFlag);
  e.boolean(r.ReadSky);
  e.boolean(r.InvertRefDisplay);
  e.u8(static_cast<std::uint8_t>(r.GSCFormat));
  e.u8(static_cast<std::uint8_t>(r.StarCatalog));
  e.u8(static_cast<std::uint8_t>(r.SolutionOrder));
  e.u8(static_cast<std::uint8_t>(r.ImageFileType));
  e.u8(static_cast<std::uint8_t>(r.HeaderTime));
  EncodeUserRec(e, r.DefaultUser);
  EncodeCamRec(e, r.DefaultCamera);
  EncodeSiteRec(e, r.DefaultSite);
  EncodeDispParmsRec(e, r.DisplayDefaults);
  e.bytes(r.Reserved);
  EncodeBoxParmsRec(e, r.BoxParms);
  e.f32(r.MagLimit);
  e.f32(r.FieldSize);
}

OptsRec DecodeOptsFields(Decoder& d) {
  using namespace OptsCap;
  OptsRec r;
  r.FileVersion = d.str(Name);
  for (std::string* t : {&r.GSCPath1, &r.GSCPath2, &r.AstorbPath, &r.MPCOrbPath}) *t = d.str(Path);
  for (std::string* t : {&r.LogoBitmap, &r.ExerciseBitmap, &r.AstromBitmap, &r.GeneralHelpFile,
                         &r.HelpListFile, &r.ToolsHelpListFile, &r.UserHelpFile, &r.ReminderFile})
    *t = d.str(Name);
  for (std::string* t : {&r.StationsFile, &r.CameraFile, &r.SaveOrbitsFile, &r.SpreadsheetProgram,
                         &r.CatalogURL, &r.LogFile})
    *t = d.str(Path);
  r.Password = DecodeCode(d);
  r.PasswordLen = std::min<std::uint8_t>(d.u8(), Code);
  r.SecondCode = DecodeCode(d);
  r.SecondCodeLen = std::min<std::uint8_t>(d.u8(), Code);
  r.TableNumber = d.str(TableNumber);
  r.ExerciseMode = d.boolean();
  r.TestMode = d.boolean();
  r.NoConfirm = d.boolean();
  r.SpareFlag = d.boolean();
  r.ReadSky = d.boolean();
  r.InvertRefDisplay = d.boolean();
  r.GSCFormat = ClampedCode<GSCFormatCode>(d, GSCFormatCodeMax);
  r.StarCatalog = ClampedCode<CatalogCode>(d, CatalogCodeMax);
  r.SolutionOrder = ClampedCode<SolutionCode>(d, SolutionCodeMax);
  r.ImageFileType = ClampedCode<ImageFileTypeCode>(d, ImageFileTypeCodeMax);
  r.HeaderTime = ClampedCode<HeaderTimeCode>(d, HeaderTimeCodeMax);
  r.DefaultUser = DecodeUserRec(d);
  r.DefaultCamera = DecodeCamRec(d);
  r.DefaultSite = DecodeSiteRec(d);
  r.DisplayDefaults = DecodeDispParmsRec(d);
  if (!DispParmsValid(r.DisplayDefaults)) r.DisplayDefaults = DefaultDispParms();
  auto reserved = d.bytes(r.Reserved.size());
  std::copy(reserved.begin(), reserved.end(), r.Reserved.begin());
  r.BoxParms = DecodeBoxParmsRec(d);
  if (!BoxParmsValid(r.BoxParms)) r.BoxParms = DefaultBoxParms();
  r.MagLimit = d.f32();
  r.FieldSize = d.f32();
  return r;
}

void SetOptsDefaults(OptsRec& r, std::uint32_t seed) {
  r.FileVersion = "1.711";
  r.StartImageFolder.clear();
  r.GSCPath1.clear();
  r.GSCPath2.clear();
  r.AstorbPath.clear();
  r.MPCOrbPath.clear();
  r.LogoBitmap = "VESKLOGO.BMP";
  r.ExerciseBitmap = "ASTRMEX.BMP";
  r.AstromBitmap = "ASTROMET.BMP";
  r.GeneralHelpFile = "VESKHELP.HLP";
  r.HelpListFile = "ASTRMHLP.LST";
  r.ToolsHelpListFile = "TOOLSHLP.LST";
  r.UserHelpFile.clear();
  r.ReminderFile = "REMINDER.AST";
  r.StationsFile = "ASTSITES.DAT";
  r.CameraFile = "ASTCAMS.DAT";
  r.SaveOrbitsFile = "SAVORBS.DAT";
  r.SpreadsheetProgram.clear();
  r.CatalogURL = DefaultCatalogURL;
  r.LogFile = "VESKLOG.LOG";
  r.TableNumber.clear();
  r.MagLimit = 20.0f;
  r.FieldSize = 15.0f;
  EncodePassword("QORV", r.Password, r.PasswordLen);
  char digits[16];
  auto res = std::to_chars(digits, digits + sizeof digits, seed);
  EncodePassword(std::string_view(digits, static_cast<std::size_t>(res.ptr - digits)), r.SecondCode,
                 r.SecondCodeLen);
  r.SpareFlag = r.TestMode = r.NoConfirm = false;
  r.ReadSky = r.InvertRefDisplay = r.ExerciseMode = true;
  r.GSCFormat = GSCFormatCode::Native;
  r.StarCatalog = CatalogCode::GSC;
  r.SolutionOrder = SolutionCode::Linear;
  r.ImageFileType = ImageFileTypeCode::FITS;
  r.HeaderTime = HeaderTimeCode::Start;
  ClearUserAddress(r.DefaultUser);
  r.DefaultCamera = DefaultCamera();
  r.DefaultSite = DefaultSite();
  r.DisplayDefaults = DefaultDispParms();
  r.BoxParms = DefaultBoxParms();
}

void EncodePassword(std::string_view text, std::array<std::uint8_t, 16>& code,
                    std::uint8_t& length) {
  const std::size_t n = std::min<std::size_t>(text.size(), code.size());
  length = static_cast<std::uint8_t>(n);
  const std::size_t words = (n + 3) / 4;
  for (std::size_t i = 0; i < words * 4; ++i) {
    const std::uint8_t c = i < n ? static_cast<std::uint8_t>(text[i]) : 0;
    code[i] = static_cast<std::uint8_t>(~c);  // complementing a word complements its bytes
  }
}

std::string DecodePassword(const std::array<std::uint8_t, 16>& code, std::uint8_t length) {
  const std::size_t n = std::min<std::size_t>(length, code.size());
  std::string out(n, '\0');
  for (std::size_t i = 0; i < n; ++i)
    out[i] = static_cast<char>(static_cast<std::uint8_t>(~code[i]));
  return out;
}

bool SameVersion(std::string_view a, std::string_view b) {
  auto cut = [](std::string_view v) {
    v = v.substr(0, 71);
    std::size_t dot = v.find('.');
    std::size_t keep = dot == std::string_view::npos ? 2 : dot + 3;
    return v.substr(0, std::min(keep, v.size()));
  };
  return cut(a) == cut(b);
}

std::string BackupName(std::string_view name) {
  std::string out(name);
  if (std::size_t dot = out.find('.'); dot != std::string::npos) out.erase(dot, 4);
  return out + ".BAK";
}

// ---- OptsObj ----------------------------------------------------------------

namespace {

namespace fs = std::filesystem;

constexpr std::size_t VersionFieldSize = OptsCap::Name + 1;

// The fields that live only in memory survive a load.
void KeepUnstored(const OptsRec& from, OptsRec& to) {
  to.ProgVersion = from.ProgVersion;
  to.OptsFileName = from.OptsFileName;
  to.BackupFileName = from.BackupFileName;
  to.ProgramFolder = from.ProgramFolder;
  to.DataFolder = from.DataFolder;
  to.WorkFolder = from.WorkFolder;
  to.StartImageFolder = from.StartImageFolder;
  to.CDROMRoot = from.CDROMRoot;
  to.AdminMode = from.AdminMode;
}

// A file that is missing or may not be read is silently not loaded.
bool Openable(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) && ::access(path.c_str(), R_OK) == 0;
}

}  // namespace

bool OptsObj::Init(std::string_view optionsFileName, std::string_view programVersion) {
  Settings.ProgVersion = std::string(programVersion);
  Settings.OptsFileName = std::string(optionsFileName);
  Settings.BackupFileName = BackupName(optionsFileName);

  fs::path program = FindProgramFolder(platform_);
  std::error_code ec;
  fs::path current = fs::current_path(ec);
  const OsFacts os = platform_.osFacts();
  IsNT5 = os.windowsNT && os.major >= 5;
  auto data = FindDataFolder(platform_, ec ? fs::path(".") : current, IsNT5);
  if (!data) return false;

  Settings.ProgramFolder = program;
  Settings.DataFolder = *data;
  Settings.CDROMRoot = FindCDROMDrive(platform_, {program});

  bool ok = ReadOptsFile(Settings.DataFolder / Settings.OptsFileName);
  if (!ok && Settings.DataFolder.string() != Settings.ProgramFolder.string())
    ok = ReadOptsFile(Settings.ProgramFolder / Settings.OptsFileName);
  if (!ok) SetDefaults();
  Settings.AdminMode = false;
  return true;
}

bool OptsObj::ReadOptsFile(const fs::path& path) {
  auto fail = [&](std::string_view caption, const std::string& text) {
    std::error_code ec;
    fs::remove(path, ec);
    ShowInfo(platform_, caption, text);
    return false;
  };
  const std::string invalid = "Options File " + path.string() + " is Invalid.\r\n" +
                              "Program will continue with defaults or alternative file.\r\n\r\n";
  std::vector<std::uint8_t> bytes;
  if (!Openable(path)) return false;
  try {
    bytes = ReadWholeFile(path);
  } catch (const FileError& e) {
    return fail("File Error", invalid + IOErrorText(e.code()));
  }

  if (bytes.size() < VersionFieldSize) return fail("File Error", invalid + IOErrorText(100));
  Decoder head{std::span(bytes).first(VersionFieldSize)};
  if (!SameVersion(Settings.ProgVersion, head.str(OptsCap::Name))) {
    return fail("Version Error", "Options File " + path.string() + " is obsolete.\r\n" +
                                     "Program will continue with defaults or alternative file.");
  }

  // Decoded into a fresh record, committed only when the whole file was right.
  OptsRec loaded;
  try {
    Decoder d(bytes);
    loaded = DecodeOptsFields(d);
    ReadExtra(d);
    if (d.remaining() != 0) return fail("File Error", invalid + "EOF Not Reached!");
  } catch (const DecodeError&) {
    return fail("File Error", invalid + IOErrorText(100));
  }
  KeepUnstored(Settings, loaded);
  Settings = std::move(loaded);
  return true;
}

bool OptsObj::WriteOptsFile(const fs::path& folder) {
  const fs::path path = folder / Settings.OptsFileName;
  const fs::path backup = folder / Settings.BackupFileName;
  auto fail = [&](const fs::path& failed, int code) {
    ShowError(
        platform_, "Options File Error!",
        "Unable to save Options!\r\n\r\nFileName: " + failed.string() + "\r\n" + IOErrorText(code));
    return false;
  };
  std::error_code ec;
  if (fs::exists(path, ec)) {
    try {
      CopyFileAtomic(path, backup);
    } catch (const FileError& e) {
      return fail(backup, e.code());
    }
  }
  Encoder e;
  EncodeOptsFields(e, Settings);
  WriteExtra(e);
  try {
    WriteFileAtomic(path, e.data());
  } catch (const FileError& err) {
    return fail(path, err.code());
  }
  return true;
}

void OptsObj::SetDefaults() {
  // The second code comes from the clock, like a generator seeded from it.
  const ClockReading c = platform_.now();
  const std::uint64_t ms =
      ((static_cast<std::uint64_t>(c.hour) * 60 + c.minute) * 60 + c.second) * 1000 +
      static_cast<std::uint64_t>(c.millisecond);
  const auto seed =
      static_cast<std::uint32_t>(ms + static_cast<std::uint64_t>(c.day) * 86400000ULL +
                                 static_cast<std::uint64_t>(platform_.monotonicMs()));
  SetOptsDefaults(Settings, seed);
}

}  // namespace hv
