#pragma once
// The online catalog query: a cone search of the NOMAD or USNO-B1.0 catalog
// over HTTP, the reply's header and table read into catalog stars, kept as a
// cache for later requests inside the same field, and the stars of the
// search box copied into the common field-star list.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/Options.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCField.h"
#include "astrometry/HttpClient.h"
#include "platform/Platform.h"

namespace hv {

// The parameters of a reply line: identifier, RA, Dec, the two proper
// motions and the B, V, R, I, J, H, K magnitudes.
constexpr std::size_t OnlineParmCount = 12;
namespace OnlineParm {
constexpr std::size_t Id = 0, RA = 1, Dec = 2, MuRA = 3, MuDec = 4, FirstMag = 5;
}
// Each catalog's column names (a blank, the name and "|"), NOMAD first; an
// empty name is a column the catalog lacks. At most the first 6 characters
// are searched for.
extern const std::array<std::array<std::string_view, OnlineParmCount>, 2> OnlineColNames;
constexpr std::size_t OnlineColNameSearched = 6;

// Where a parameter sits in the reply's lines: start counted from 1 and
// length; 0, 0 for a parameter the catalog lacks.
struct OnlineColumn {
  std::int32_t Start = 0;
  std::int32_t Length = 0;
  bool operator==(const OnlineColumn&) const = default;
};

// Below this cos(Dec) a proper motion in RA is not applied: near the pole
// the division would throw the star around the sky.
constexpr long double MinCosDecForMotion = 1.0e-6L;

class B1CatObj {
 public:
  // settings: the run's working copy (catalog choice, address prefix). An
  // empty http gives the libcurl client with its default time-outs.
  B1CatObj(Platform& platform, const OptsRec& settings, std::unique_ptr<HttpClient> http = {});
  B1CatObj(const B1CatObj&) = delete;
  B1CatObj& operator=(const B1CatObj&) = delete;

  long double Years = 0;  // from J2000.0 to the observation; 0 without one
  float MinMag = 25;      // of the last selection
  float MaxMag = -2;
  CatStarList Selected;  // the last selection, at the observation's epoch
  std::unique_ptr<HttpClient> HTTP;
  std::string Reply;  // the reply text while it is read
  bool Sexagesimal = false;
  FldParmsRec CachedParms;
  // The usable stars of the last reply at the catalog's own epoch (J2000.0)
  // with their proper motions: the cache. The observation's epoch is
  // applied when a field is selected, so one cache serves any date.
  CatStarList Parsed;
  std::array<OnlineColumn, OnlineParmCount> Columns{};
  std::string CatName;                   // "NOMAD" or "USNO-B1"
  std::array<std::string, 7> BandNames;  // B, V, R, I, J, H, K
  std::uint8_t CatCode = 0;              // CatalogCode of the cached reply

  // Lines of the last reply that were not numbers where numbers belong.
  std::int32_t BadLines = 0;
  std::string FirstBadLine;

  static constexpr const char* InfoCaption = "USNO-NVO Web Service";
  static constexpr const char* AccessCaption = "Cannot Access Online Catalog!";
  static constexpr const char* FileErrorCaption = "USNO File Error!";
  static constexpr const char* HeaderErrorCaption = "Catalog Data File Processing Error!";
  static constexpr const char* ConversionCaption = "B1 Data Conversion Error!";

  // Fetches and reads the reply for CurFldParms, or lets the cache answer.
  // t: the observation's date-time (days from 1899-12-30), 0 for none.
  bool RequestData(double t);
  // The cached stars inside the box, at the observation's epoch, into
  // Selected; true when any.
  bool SelectField(const FieldBoxRec& box);
  // Adds the selection to GSCField.
  void CopyToField();

  std::string BuildURL() const;
  // May the cache answer CurFldParms?
  bool SameRequest() const;
  // Catalog name, band names and code for a catalog choice.
  void SetCatalog(CatalogCode catalog);
  // The reply after its GET: header, column header, position format, then
  // the table. Boxes for what is wrong; true when the table was read.
  bool ProcessReply();
  bool BuildParmTbl(std::string_view line);
  bool ParseBody();
  // One data line into star, at the catalog's epoch. True when usable; a
  // line that is not numbers where numbers belong counts in BadLines.
  bool ParseRecord(std::string_view line, CatStarRec& star);
  static bool InField(const CatStarRec& star, const FieldBoxRec& box);

  // The star moved by its proper motion over years, RA wrapped into
  // [0, 24) hours and Dec kept within the poles.
  static void ApplyProperMotion(CatStarRec& star, long double years);
  // Years from J2000.0 to the date-time t; 0 when t is 0 (no date).
  static long double YearsSinceJ2000(double t);
  // A name for a star that comes without one: its position, hhmmss.ss
  // followed by the signed ddmmss.s.
  static std::string NameFromPosition(long double ra, long double dec);

 private:
  // The next line of Reply from the cursor, without its line feed and a
  // carriage return before it; false when the reply is used up.
  bool NextLine(std::string_view& line);
  std::string_view ColumnText(std::string_view line, std::size_t i) const;

  Platform& platform_;
  const OptsRec& settings_;
  std::size_t cursor_ = 0;
};

// The run's online catalog, made on the first online query and freed with
// the other catalog objects at exit.
extern std::unique_ptr<B1CatObj> B1Cat;

// The main window's online path: the field-star list emptied and filled
// from the online catalog for CurFldParms at the observation time t (0 for
// none). True in every case: a failed query has reported itself and leaves
// the list empty.
bool LoadOnlineField(Platform& platform, const OptsRec& settings, double t);

}  // namespace hv
