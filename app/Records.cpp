#include "app/Records.h"

#include "support/Format.h"

namespace hv {

void EncodeSiteRec(Encoder& e, const SiteRec& r) {
  e.str(r.Name, SiteCap::Name);
  e.str(r.Code, SiteCap::Code);
  e.str(r.Telescope, SiteCap::Telescope);
  for (const std::string* t : {&r.LonDeg, &r.LonMin, &r.LonSec, &r.LatDeg, &r.LatMin, &r.LatSec})
    e.str(*t, SiteCap::Coord);
  e.boolean(r.North);
  e.boolean(r.West);
  e.f32(r.Longitude);
  e.f32(r.Latitude);
  e.f32(r.Altitude);
  e.f32(r.TimeZone);
}

SiteRec DecodeSiteRec(Decoder& d) {
  SiteRec r;
  r.Name = d.str(SiteCap::Name);
  r.Code = d.str(SiteCap::Code);
  r.Telescope = d.str(SiteCap::Telescope);
  for (std::string* t : {&r.LonDeg, &r.LonMin, &r.LonSec, &r.LatDeg, &r.LatMin, &r.LatSec})
    *t = d.str(SiteCap::Coord);
  r.North = d.boolean();
  r.West = d.boolean();
  r.Longitude = d.f32();
  r.Latitude = d.f32();
  r.Altitude = d.f32();
  r.TimeZone = d.f32();
  return r;
}

void EncodeCamRec(Encoder& e, const CamRec& r) {
  e.str(r.Name, CamCap::Name);
  e.f32(r.PixelWidth);
  e.f32(r.PixelHeight);
  e.i32(r.ImageWidth);
  e.i32(r.ImageHeight);
  e.f32(r.Aperture);
  e.f32(r.FocalLength);
  e.boolean(r.Inverted);
  e.u8(r.Filter);
}

CamRec DecodeCamRec(Decoder& d) {
  CamRec r;
  r.Name = d.str(CamCap::Name);
  r.PixelWidth = d.f32();
  r.PixelHeight = d.f32();
  r.ImageWidth = d.i32();
  r.ImageHeight = d.i32();
  r.Aperture = d.f32();
  r.FocalLength = d.f32();
  r.Inverted = d.boolean();
  r.Filter = d.u8();
  if (r.Filter > 8) r.Filter = 8;  // unrecognised
  return r;
}

void EncodeUserRec(Encoder& e, const UserRec& r) {
  e.str(r.ContactName, UserCap::ContactName);
  e.str(r.Institution, UserCap::Institution);
  e.str(r.Street, UserCap::Street);
  e.str(r.CityStateZip, UserCap::CityStateZip);
  e.str(r.Country, UserCap::Country);
  e.str(r.EMail, UserCap::EMail);
  e.str(r.Observers, UserCap::Observers);
  e.str(r.Measurers, UserCap::Measurers);
}

UserRec DecodeUserRec(Decoder& d) {
  UserRec r;
  r.ContactName = d.str(UserCap::ContactName);
  r.Institution = d.str(UserCap::Institution);
  r.Street = d.str(UserCap::Street);
  r.CityStateZip = d.str(UserCap::CityStateZip);
  r.Country = d.str(UserCap::Country);
  r.EMail = d.str(UserCap::EMail);
  r.Observers = d.str(UserCap::Observers);
  r.Measurers = d.str(UserCap::Measurers);
  return r;
}

SiteRec DefaultSite() {
  SiteRec s;
  s.Name = "Kervanholt Observatory";
  s.Code = "999";
  s.Telescope = "0.40-m f/8 Ritchey-Chretien";  // the report adds " + CCD"
  s.LonDeg = "12";
  s.LonMin = "30";
  s.LonSec = "0";
  s.West = false;
  s.LatDeg = "52";
  s.LatMin = "15";
  s.LatSec = "0";
  s.North = true;
  s.Altitude = 85;
  s.TimeZone = -1;  // local time is one hour ahead of UT
  SiteNumbersFromTexts(s);
  return s;
}

CamRec DefaultCamera() { return CamRec{}; }

void ClearUserAddress(UserRec& u) {
  u.ContactName.clear();
  u.Institution.clear();
  u.Street.clear();
  u.CityStateZip.clear();
  u.Country.clear();
  u.EMail.clear();
}

namespace {

// An empty text counts as 0; anything else goes through the program's number
// conversion.
std::optional<long double> CoordTextValue(std::string_view t) {
  if (t.empty()) return 0.0L;
  try {
    return StrToFloat(t);
  } catch (const ConvertError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<long double> DegreesFromTexts(std::string_view deg, std::string_view min,
                                            std::string_view sec) {
  auto d = CoordTextValue(deg), m = CoordTextValue(min), s = CoordTextValue(sec);
  if (!d || !m || !s) return std::nullopt;
  return *d + *m / 60.0L + *s / 3600.0L;
}

bool SiteNumbersFromTexts(SiteRec& site) {
  auto lon = DegreesFromTexts(site.LonDeg, site.LonMin, site.LonSec);
  auto lat = DegreesFromTexts(site.LatDeg, site.LatMin, site.LatSec);
  if (!lon || !lat) return false;
  site.Longitude = static_cast<float>(site.West ? -*lon : *lon);
  site.Latitude = static_cast<float>(site.North ? *lat : -*lat);
  return true;
}

bool SiteNumbersAgree(const SiteRec& site) {
  SiteRec copy = site;
  if (!SiteNumbersFromTexts(copy)) return false;
  return copy.Longitude == site.Longitude && copy.Latitude == site.Latitude;
}

}  // namespace hv
