#pragma once
// The stars of the current catalog field, kept in ascending right ascension,
// and the readers of the Guide Star Catalog's region files: the catalog's
// own FITS ASCII tables, the converted files of 27-byte records, and the
// same converted files read for position, magnitude and identifier only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Options.h"
#include "astrometry/FldParms.h"
#include "images/GraphicsFile.h"
#include "platform/Platform.h"
#include "support/Codec.h"
#include "support/LinkList.h"

namespace hv {

// ---- one catalog star --------------------------------------------------------

constexpr std::size_t CatStarRecSize = 97;
namespace CatStarCap {
constexpr std::size_t Name = 18;
}

struct CatStarRec {
  std::uint8_t Catalog = 0;  // CatalogCode
  std::string Name;          // GSC: region (5 digits) + "-" + star ID; online: the catalog's
  long double RA = 0;        // hours (degrees in GSCFieldObj::RawRows)
  long double Dec = 0;       // degrees
  float PMRA = 0;            // arc seconds per year (online only)
  float PMDec = 0;
  float PosErr = 0;  // arc seconds
  bool UsePos = false;
  float Mag = 0;
  float MagErr = 0;
  bool UseMag = false;
  std::uint8_t Band = 0;               // PassbandCode; 8 for the Guide Star Catalog
  std::uint8_t Class = 0;              // 0 star, else a non-stellar object
  std::uint8_t Entries = 0;            // catalog entries merged into this star
  long double FieldX = 0, FieldY = 0;  // reference-field picture
  std::int32_t ScreenX = 0, ScreenY = 0;
  std::int32_t StampLevel = 0;

  bool operator==(const CatStarRec&) const = default;
};

void EncodeCatStarRec(Encoder& e, const CatStarRec& r);
// Reads exactly CatStarRecSize bytes; DecodeError when they end early.
CatStarRec DecodeCatStarRec(Decoder& d);

// a's RA is greater than b's.
bool CatStarRAGreater(const CatStarRec& a, const CatStarRec& b);

// Stars in ascending RA; equal RAs never replace one another.
class CatStarList : public LinkListObj<CatStarRec> {
 public:
  bool SameKey(const CatStarRec& a, const CatStarRec& b) const override { return NoKeyMatch(a, b); }
  bool KeyGreater(const CatStarRec& a, const CatStarRec& b) const override {
    return CatStarRAGreater(a, b);
  }
  // Adds a query's stars in one sort and one merge walk, leaving batch
  // empty: stars of equal RA stay in the order they came, after the listed
  // ones. (Inserting one at a time walks the list for each star, about the
  // square of the field's stars when they come out of RA order.)
  void AddSorted(std::vector<CatStarRec>& batch);
};

// ---- catalog layout ----------------------------------------------------------

// The last region of each of the 24 declination zones, after a leading 0.
extern const std::array<std::int32_t, 25> GSCZoneBounds;
// The folder of each zone below a catalog location; zones 1 to 13 are on
// volume I, 14 to 24 on volume II.
extern const std::array<std::string_view, 24> GSCZoneDirs;
constexpr int GSCLastZoneOfVol1 = 13;

// The zone (1 to 24) of region r; 0 for a number outside 1..9537.
int GSCZoneOf(std::int32_t r);
// "0005" + ext (".GSC" or ".BIN").
std::string GSCRegionFileName(std::int32_t r, std::string_view ext);
// The region number with "0" in front up to 5 characters, as star names
// begin.
std::string GSCRegionText(std::int32_t r);

// The catalog's own region files: a FITS header of three blocks, then rows.
constexpr std::size_t GSCRawHeaderSize = 8640;
constexpr std::size_t GSCRawRowSize = 45;

// A converted region file's record.
constexpr std::size_t GSCBinRecSize = 27;
namespace GSCBinCap {
constexpr std::size_t ID = 5;
}
struct GSCBinRec {
  std::int32_t RA = 0;   // hours x 10^7
  std::int32_t Dec = 0;  // degrees x 10^5
  std::int32_t Reserved = 0;
  std::int16_t Mag = 0;     // x 1000
  std::int16_t PosErr = 0;  // arc seconds x 10
  std::int16_t MagErr = 0;  // x 100
  std::uint8_t Entries = 0;
  std::uint8_t Zero = 0;
  std::uint8_t Class = 0;
  std::string ID;  // string[5]

  bool operator==(const GSCBinRec&) const = default;
};
void EncodeGSCBinRec(Encoder& e, const GSCBinRec& r);
GSCBinRec DecodeGSCBinRec(Decoder& d);
// The record of a merged star (RA in hours), each field rounded and kept
// within its integer's range; the ID is the star name after its "-".
GSCBinRec GSCBinRecOf(const CatStarRec& star);

// ---- merging a star's entries ------------------------------------------------------

// The catalog lists a star once per plate; GSCEntryMerge makes one star of
// the rows of one name (RA in degrees): position and magnitude weighted by
// the inverse errors (10 where an error is 0), errors sqrt(n)/sum of the
// weights, the largest class, name and flags from the last row. RA is
// averaged as differences from the first row, so entries on both sides of
// 0 h give a position near 0 h. The star's RA is in hours.
class GSCEntryMerge {
 public:
  void Add(const CatStarRec& row);
  std::int32_t Count() const { return n_; }
  CatStarRec Star() const;

 private:
  long double refRA_ = 0;  // degrees, the first row's
  long double w_ = 0, wdRA_ = 0, wDec_ = 0, v_ = 0, vMag_ = 0;
  std::uint8_t class_ = 0;
  std::int32_t n_ = 0;
  CatStarRec last_;
};

// ---- the field ------------------------------------------------------------------

class GSCFieldObj {
 public:
  // settings: the working copy of the run (catalog, format, locations).
  GSCFieldObj(Platform& platform, const OptsRec& settings);
  GSCFieldObj(const GSCFieldObj&) = delete;
  GSCFieldObj& operator=(const GSCFieldObj&) = delete;

  CatStarList Stars;
  float MinMag = 25;          // brightest class-0 magnitude
  float MaxMag = -2;          // faintest
  std::int32_t NumStars = 0;  // class-0 stars of the last query
  std::string Title;
  std::filesystem::path Vol1Path;
  std::filesystem::path Vol2Path;
  LinkListObj<CatStarRec> RawRows;  // unmerged rows of the catalog's own files, RA in degrees
  BinaryFile RegionFile;

  // Starts a query of any catalog.
  void InitSearch();
  // Fills Stars from the listed regions in the configured form; true when
  // the field list is not empty.
  bool SearchRegions(const FieldBoxRec& box, std::span<const std::int16_t> list,
                     std::int16_t count);
  // Opens the catalog's own file of region r, asking for the volume when
  // needed, positioned at its first row.
  bool OpenRegionFile(std::int16_t r);

  // A 45-byte row of the catalog's own files. The row conversions throw
  // ConvertError for a text that is not a number.
  static long double RowRA(std::string_view row);  // degrees
  static long double RowDec(std::string_view row);
  static long double RowMag(std::string_view row);
  static bool RowInField(std::string_view row, const FieldBoxRec& box);
  static void ParseGSCRow(std::string_view row, CatStarRec& star);
  // Rows (the bytes after the header) of region r: those in the box go to
  // RawRows, updating the magnitude range. A cut last row is left out.
  void TakeRawRows(std::span<const std::uint8_t> rows, std::int32_t r, const FieldBoxRec& box);
  // Merges consecutive RawRows of one name into Stars.
  void MergeEntries();

  void ReadToolkitRegion(const FieldBoxRec& box, std::span<const std::int16_t> list,
                         std::int16_t count);
  void ReadQuillanRegion(const FieldBoxRec& box, std::span<const std::int16_t> list,
                         std::int16_t count);
  // The records of one converted region file; a cut last record is left out.
  void TakeBinRecords(std::span<const std::uint8_t> data, std::int32_t r, const FieldBoxRec& box,
                      bool quillan);

  static bool InField(const CatStarRec& star, const FieldBoxRec& box);
  // The star nearest (x, y) in field pixels, closer than 100: its index in
  // Stars, with star pointing at it; -1 when none.
  std::int32_t NearestStar(std::int32_t x, std::int32_t y, CatStarRec*& star);

 private:
  void ReadConverted(const FieldBoxRec& box, std::span<const std::int16_t> list, std::int16_t count,
                     bool quillan);
  void CountStar(const CatStarRec& star);

  Platform& platform_;
  const OptsRec& settings_;
};

// The run's field, created at start-up and freed by the main window.
extern std::unique_ptr<GSCFieldObj> GSCField;

}  // namespace hv
