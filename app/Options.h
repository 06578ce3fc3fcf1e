#pragma once
// The settings record, its binary options file and the settings object that
// fixes the program's folders at start-up.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/Records.h"
#include "images/DisplayParms.h"
#include "platform/Platform.h"
#include "support/Codec.h"

namespace hv {

// Which reference catalog a query uses; 1 and 2 are online catalogs.
enum class CatalogCode : std::uint8_t { GSC = 0, NOMAD = 1, USNOB1 = 2 };
// How the Guide Star Catalog is stored: the catalog's own FITS tables, the
// converted format, or the converted format read for position, magnitude and
// identifier only.
enum class GSCFormatCode : std::uint8_t { Native = 0, Converted = 1, Quillan = 2 };
// Plate solution order: 3, 4 or 6 constants per axis.
enum class SolutionCode : std::uint8_t { Linear = 0, CrossTerm = 1, Quadratic = 2 };
enum class ImageFileTypeCode : std::uint8_t { FITS = 0, ST4 = 1, SBIG = 2 };
// What the time in an image header stands for.
enum class HeaderTimeCode : std::uint8_t { Start = 0, Middle = 1, End = 2, ST4 = 3 };

// Largest value of each set; a larger byte read from a file is clamped to it.
constexpr std::uint8_t CatalogCodeMax = 2, GSCFormatCodeMax = 2, SolutionCodeMax = 2,
                       ImageFileTypeCodeMax = 2, HeaderTimeCodeMax = 3;

// Encoded size of the options file: its stored fields, in record order.
constexpr std::size_t OptsFileSize = 4312;
// Capacities of the record's texts (string[N]).
namespace OptsCap {
constexpr std::size_t Name = 71, Path = 255, TableNumber = 4, Code = 16;
}

// All configuration of the program. Fields marked "not stored" live only in
// memory; the folders are whole paths ending with a separator.
struct OptsRec {
  std::string ProgVersion;                 // not stored: the version handed to Init ("1.711")
  std::string OptsFileName;                // not stored: "ASTXOPTS.INI"
  std::string BackupFileName;              // not stored: the options file name with ".BAK"
  std::string FileVersion;                 // version text of the options file; stored first
  std::filesystem::path ProgramFolder;     // not stored: shipped files
  std::filesystem::path DataFolder;        // not stored: options file, log, reports
  std::filesystem::path WorkFolder;        // not stored: per-user temporary files
  std::filesystem::path StartImageFolder;  // not stored: first folder of image open dialogs
  std::string GSCPath1;                    // Guide Star Catalog volume 1, or the converted catalog
  std::string GSCPath2;                    // Guide Star Catalog volume 2
  std::string AstorbPath;                  // edited only
  std::string MPCOrbPath;                  // edited only
  std::filesystem::path CDROMRoot;  // not stored: mount folder of the optical drive, or empty
  std::string LogoBitmap;
  std::string ExerciseBitmap;
  std::string AstromBitmap;
  std::string GeneralHelpFile;
  std::string HelpListFile;
  std::string ToolsHelpListFile;
  std::string UserHelpFile;
  std::string ReminderFile;
  std::string StationsFile;
  std::string CameraFile;
  std::string SaveOrbitsFile;
  std::string SpreadsheetProgram;  // empty: the program associated with CSV files
  std::string CatalogURL;          // prefix of the online catalog query
  std::string LogFile;
  std::array<std::uint8_t, OptsCap::Code> Password{};  // scrambled (EncodePassword)
  std::uint8_t PasswordLen = 0;
  std::array<std::uint8_t, OptsCap::Code> SecondCode{};
  std::uint8_t SecondCodeLen = 0;
  std::string TableNumber;
  bool ExerciseMode = false;
  bool AdminMode = false;  // not stored
  bool TestMode = false;
  bool NoConfirm = false;
  bool SpareFlag = false;
  bool ReadSky = false;
  bool InvertRefDisplay = false;
  GSCFormatCode GSCFormat = GSCFormatCode::Native;
  CatalogCode StarCatalog = CatalogCode::GSC;
  SolutionCode SolutionOrder = SolutionCode::Linear;
  ImageFileTypeCode ImageFileType = ImageFileTypeCode::FITS;
  HeaderTimeCode HeaderTime = HeaderTimeCode::Start;
  UserRec DefaultUser;
  CamRec DefaultCamera;
  SiteRec DefaultSite;
  DispParmsRec DisplayDefaults;
  std::array<std::uint8_t, 28> Reserved{};
  BoxParmsRec BoxParms;
  float MagLimit = 0;
  float FieldSize = 0;  // arc minutes

  bool operator==(const OptsRec&) const = default;
};

// The stored fields in file order. Decoding reads into a fresh record and
// returns it whole, or throws DecodeError; lengths and codes are clamped to
// their capacity, and display or box parameters out of range become that
// record's defaults. The not-stored fields of the result are empty.
void EncodeOptsFields(Encoder& e, const OptsRec& r);
OptsRec DecodeOptsFields(Decoder& d);

// Sets the stored fields to their defaults; the second instructor code is
// the decimal text of seed. Observers, measurers and Reserved stay.
void SetOptsDefaults(OptsRec& r, std::uint32_t seed);

// The instructor codes: length byte, then the text in groups of four
// characters, each group stored as its little-endian word complemented.
void EncodePassword(std::string_view text, std::array<std::uint8_t, 16>& code,
                    std::uint8_t& length);
std::string DecodePassword(const std::array<std::uint8_t, 16>& code, std::uint8_t length);

// Version texts match when they agree up to two characters after the first
// "." (the first two characters when there is no "."): 1.711, 1.71 and 1.719
// match 1.711; 1.7 and 2.711 do not.
bool SameVersion(std::string_view a, std::string_view b);

// The options file name with its extension replaced by ".BAK".
std::string BackupName(std::string_view optionsFileName);

// The default online catalog prefix.
extern const char* const DefaultCatalogURL;

// The settings object of the run. The main window creates one, calls Init
// once and keeps a working copy of Settings.
class OptsObj {
 public:
  explicit OptsObj(Platform& platform) : platform_(platform) {}
  virtual ~OptsObj() = default;
  OptsObj(const OptsObj&) = delete;
  OptsObj& operator=(const OptsObj&) = delete;

  OptsRec Settings;
  bool IsNT5 = false;

  // Fixes the folders and the optical drive, then loads the options file
  // from the data folder, else the program folder, else sets the defaults.
  // False when the user gave no writable data folder: the program ends.
  bool Init(std::string_view optionsFileName, std::string_view programVersion);
  // True when a complete file of the right version was read; a damaged or
  // obsolete file is reported and deleted, and Settings stays as it was.
  bool ReadOptsFile(const std::filesystem::path& path);
  // Copies the existing options file of folder to the backup name, then
  // replaces it atomically. A failure is shown and leaves the old file.
  bool WriteOptsFile(const std::filesystem::path& folder);
  void SetDefaults();

 protected:
  // Hooks for descendants: after the last field is read (before the end
  // test) and after it is written.
  virtual void ReadExtra(Decoder& d) {}
  virtual void WriteExtra(Encoder& e) {}

 private:
  Platform& platform_;
};

}  // namespace hv
