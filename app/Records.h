#pragma once
// Who observed, with what and from where: the site, camera and user records
// that the settings, the report and the list files carry. Texts are Latin-1;
// a text longer than its field is cut to the field's capacity when stored.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/Codec.h"

namespace hv {

// Encoded sizes of the packed records.
constexpr std::size_t SiteRecSize = 170;
constexpr std::size_t CamRecSize = 67;
constexpr std::size_t UserRecSize = 738;

// Field capacities (string[N]).
namespace SiteCap {
constexpr std::size_t Name = 40, Code = 3, Telescope = 40, Coord = 10;
}
namespace CamCap {
constexpr std::size_t Name = 40;
}
namespace UserCap {
constexpr std::size_t ContactName = 40, Institution = 40, Street = 40, CityStateZip = 40,
                      Country = 20, EMail = 40, Observers = 255, Measurers = 255;
}

// An observing site. The position is kept twice: as the texts the dialog
// shows (with the North and West flags) and as the signed decimal degrees
// that calculations use; every record the program makes keeps them in
// agreement (see SiteNumbersFromTexts).
struct SiteRec {
  std::string Name;  // the key of the stations file
  std::string Code;  // observatory code, "999" when the site has none
  std::string Telescope;
  std::string LonDeg, LonMin, LonSec;
  std::string LatDeg, LatMin, LatSec;
  bool North = true;
  bool West = false;
  float Longitude = 0;  // degrees, negative when West
  float Latitude = 0;   // degrees, negative when not North
  float Altitude = 0;   // metres above sea level
  float TimeZone = 0;   // hours, UT minus local time

  bool operator==(const SiteRec&) const = default;
};

// A camera on a telescope.
struct CamRec {
  std::string Name;       // the key of the camera file
  float PixelWidth = 0;   // microns
  float PixelHeight = 0;  // microns
  std::int32_t ImageWidth = 0;
  std::int32_t ImageHeight = 0;
  float Aperture = 0;     // mm
  float FocalLength = 0;  // mm
  bool Inverted = false;
  std::uint8_t Filter = 8;  // PassbandCode: 0 B .. 6 K, 7 none, 8 unrecognised

  bool operator==(const CamRec&) const = default;
};

// Contact and observer information that heads a report.
struct UserRec {
  std::string ContactName;
  std::string Institution;
  std::string Street;
  std::string CityStateZip;
  std::string Country;
  std::string EMail;
  std::string Observers;
  std::string Measurers;

  bool operator==(const UserRec&) const = default;
};

void EncodeSiteRec(Encoder& e, const SiteRec& r);
void EncodeCamRec(Encoder& e, const CamRec& r);
void EncodeUserRec(Encoder& e, const UserRec& r);
// Each reads exactly its record's size; DecodeError when the bytes end early.
// A camera filter above 8 reads as 8 (unrecognised).
SiteRec DecodeSiteRec(Decoder& d);
CamRec DecodeCamRec(Decoder& d);
UserRec DecodeUserRec(Decoder& d);

// The settings' default site (an observatory at Kervanholt); its numbers
// agree with its texts.
SiteRec DefaultSite();
// The settings' default camera: everything zero, no name, filter unrecognised.
CamRec DefaultCamera();
// Empties the six address texts; the observer and measurer lists stay.
void ClearUserAddress(UserRec& user);

// degrees + minutes/60 + seconds/3600 of three texts (StrToFloat, an empty
// text counting as 0); nothing when one of them is not a number. The caller checks the range
// (0..180, 0..90).
std::optional<long double> DegreesFromTexts(std::string_view deg, std::string_view min,
                                            std::string_view sec);

// Sets Longitude and Latitude from the six texts and the two flags
// (longitude negated when West, latitude negated when not North). False,
// with the record unchanged, when a text is not a number.
bool SiteNumbersFromTexts(SiteRec& site);

// True when the numbers are those the texts and flags give (as singles).
bool SiteNumbersAgree(const SiteRec& site);

}  // namespace hv
