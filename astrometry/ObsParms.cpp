#include "astrometry/ObsParms.h"

#include <charconv>
#include <cmath>

#include "support/DateTime.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

void ClearObsParms(ObsParmsRec& rec) { rec = ObsParmsRec{}; }

void EncodeObsParmsRec(Encoder& e, const ObsParmsRec& r) {
  e.str(r.ObjName, ObsParmsCap::ObjName);
  e.str(r.Designation, ObsParmsCap::Designation);
  e.str(r.Number, ObsParmsCap::Number);
  e.str(r.Observer, ObsParmsCap::Observer);
  e.f64(r.ObsTime);
  e.u8(r.Discovery);
  e.u8(r.ObjType);
}

ObsParmsRec DecodeObsParmsRec(Decoder& d) {
  ObsParmsRec r;
  r.ObjName = d.str(ObsParmsCap::ObjName);
  r.Designation = d.str(ObsParmsCap::Designation);
  r.Number = d.str(ObsParmsCap::Number);
  r.Observer = d.str(ObsParmsCap::Observer);
  r.ObsTime = d.f64();
  r.Discovery = d.u8();
  r.ObjType = d.u8();
  return r;
}

namespace {
std::string Two(int v) { return ZeroPadded(v, 2); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool Digits(std::string_view s, std::int32_t& out) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  std::from_chars(s.data(), s.data() + s.size(), out);
  return true;
}
}  // namespace

CivilSecond SplitToSecond(double value) {
  DateTimeRec dt;
  dt.SetFromDateTime(RoundDateTime(value, 0));
  return {dt.Year,
          dt.Month,
          dt.Day,
          dt.LocalTime.Hour,
          dt.LocalTime.Minute,
          RoundToInt32(dt.LocalTime.Second)};
}

std::string ObsDateText(double value) {
  const CivilSecond c = SplitToSecond(value);
  return ZeroPadded(c.Year, 4) + "-" + Two(c.Month) + "-" + Two(c.Day);
}

std::string ObsTimeText(double value) {
  const CivilSecond c = SplitToSecond(value);
  return Two(c.Hour) + ":" + Two(c.Minute) + ":" + Two(c.Second);
}

std::string DateUTText(double value) {
  // Split once: a date and a time taken apart could straddle midnight.
  const CivilSecond c = SplitToSecond(value);
  const std::string_view month =
      c.Month >= 1 && c.Month <= 12 ? MonthNames[static_cast<std::size_t>(c.Month)] : "";
  return ZeroPadded(c.Year, 4) + " " + std::string(month) + " " + Two(c.Day) +
         ",  UT: " + Two(c.Hour) + ":" + Two(c.Minute) + ":" + Two(c.Second);
}

std::optional<std::int64_t> ParseObsDate(std::string_view text) {
  std::int32_t part[3];
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    std::size_t dash = i < 2 ? text.find('-', start) : text.size();
    if (dash == std::string_view::npos) return std::nullopt;
    std::string_view field = Trim(text.substr(start, dash - start));
    if (i == 0 && field.size() != 4) return std::nullopt;  // the hint asks for four digits
    if (!Digits(field, part[i])) return std::nullopt;
    start = dash + 1;
  }
  const std::optional<double> date = EncodeDate(part[0], part[1], part[2]);
  if (!date) return std::nullopt;
  return static_cast<std::int64_t>(*date);
}

void ObsParmsDlgModel::FormActivate() {
  if (Activating || ParmsRec == nullptr) return;
  Activating = true;
  const ObsParmsRec& r = *ParmsRec;
  Caption = "Observation Parameters - " + CaptionText;
  DateText = shownDate_ = ObsDateText(r.ObsTime);
  TimeText = shownTime_ = ObsTimeText(r.ObsTime);
  ObserverText = r.Observer;
  NameText = r.ObjName;
  DesigText = r.Designation;
  NumText = r.Number;
  DiscoveryEnabled = false;
  DiscoveryChecked = r.Discovery != 0;
  NumEnabled = DesigEnabled = ObserverEnabled = false;
  HelpVisible = false;
  ObjTypeIndex = r.ObjType <= 1 ? r.ObjType : 0;
  NameLabel = "Obs. Name/ID";
  Activating = false;
}

ModalResult ObsParmsDlgModel::OKBtnClick() {
  if (ParmsRec == nullptr) return ModalResult::Cancel;
  ObsParmsRec& r = *ParmsRec;
  double time = r.ObsTime;
  if (DateText != shownDate_ || TimeText != shownTime_) {
    const std::optional<std::int64_t> days = ParseObsDate(DateText);
    if (!days) {
      ShowError(platform_, "Halvardin", "'" + DateText + "' is not a valid date");
      return ModalResult::None;
    }
    long double fraction;
    try {
      fraction = ParseTimeOfDay(TimeText);
    } catch (const ConvertError&) {
      fraction = -1;
    }
    // A UT of 24 h or more (or "PM" after 12) would move the date silently.
    if (!(fraction >= 0 && fraction < 1)) {
      ShowError(platform_, "Halvardin", "'" + TimeText + "' is not a valid time");
      return ModalResult::None;
    }
    time = static_cast<double>(static_cast<long double>(*days) + fraction);
  }
  r.ObsTime = time;
  r.Observer = ObserverText.substr(0, ObsParmsCap::Observer);
  r.ObjName = NameText.substr(0, ObsParmsCap::ObjName);
  r.Designation = DesigText.substr(0, ObsParmsCap::Designation);
  r.Number = NumText.substr(0, ObsParmsCap::Number);
  if (!r.Number.empty()) r.Number.insert(0, ObsParmsCap::Number - r.Number.size(), '0');
  r.Discovery = DiscoveryChecked ? 1 : 0;
  r.ObjType = static_cast<std::uint8_t>(ObjTypeIndex == 1 ? 1 : 0);
  return ModalResult::OK;
}

}  // namespace hv
