#include "support/DateTime.h"

#include <cmath>
#include <numbers>

#include "platform/Platform.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

namespace {

constexpr std::int64_t MsPerDay = 86'400'000;
// Days from 1970-01-01 to 1899-12-30.
constexpr std::int64_t DaysBefore1970 = 25'569;
// Beyond about 2.7 million years the calendar year leaves int32; values are
// held inside this many days so no conversion below overflows.
constexpr long double MaxDays = 1.0e9L;

long double ClampDays(long double v) {
  if (std::isnan(v)) return 0;
  if (v > MaxDays) return MaxDays;
  if (v < -MaxDays) return -MaxDays;
  return v;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant,
// "chrono-Compatible Low-Level Date Algorithms").
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

// A date-time value as whole milliseconds, rounded once.
std::int64_t ToMs(long double value) { return RoundToInt64(ClampDays(value) * MsPerDay); }

void SetDate(std::int64_t ms, DateTimeRec& rec) {
  std::int64_t y;
  int m, d;
  CivilFromDays(FloorDiv(ms, MsPerDay) - DaysBefore1970, y, m, d);
  rec.Year = static_cast<std::int32_t>(y);
  rec.Month = static_cast<std::uint8_t>(m);
  rec.Day = static_cast<std::uint8_t>(d);
}

void SetTime(std::int64_t ms, TimeOfDayRec& t) {
  std::int64_t of_day = ms - FloorDiv(ms, MsPerDay) * MsPerDay;  // 0 .. MsPerDay - 1
  t.Hour = static_cast<std::uint8_t>(of_day / 3'600'000);
  t.Minute = static_cast<std::uint8_t>(of_day / 60'000 % 60);
  t.Second = static_cast<float>(static_cast<double>(of_day % 60'000) / 1000.0);
}

}  // namespace

// ---- Calendar ---------------------------------------------------------------

bool IsValidDate(std::int32_t year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<double> EncodeDate(std::int32_t year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, month, day) + DaysBefore1970);
}

double EncodeTime(int hour, int minute, long double second) {
  return static_cast<double>((hour * 3600.0L + minute * 60.0L + second) / 86400.0L);
}

void DecodeDate(double value, std::int32_t& year, int& month, int& day) {
  std::int64_t y;
  CivilFromDays(static_cast<std::int64_t>(std::floor(ClampDays(value))) - DaysBefore1970, y, month,
                day);
  year = static_cast<std::int32_t>(y);
}

double RoundDateTime(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 3) decimals = 3;
  // Whole milliseconds first, the resolution values are decoded at: a time
  // stored as x.5 s is then a true half and goes to the even second, which
  // the double's last bit would otherwise decide.
  static constexpr std::int64_t kStep[] = {1000, 100, 10, 1};  // ms per unit
  const std::int64_t step = kStep[decimals];
  const std::int64_t ms = ToMs(value);
  std::int64_t q = FloorDiv(ms, step);
  const std::int64_t r = ms - q * step;
  if (2 * r > step || (2 * r == step && q % 2 != 0)) ++q;
  return static_cast<double>(static_cast<long double>(q * step) / MsPerDay);
}

// ---- Time of day --------------------------------------------------------------

void TimeOfDayRec::SetFromDateTime(double value) {
  Value = value;
  SetTime(ToMs(value), *this);
}

void TimeOfDayRec::SplitDays(std::int32_t& days, long double value) {
  long double x = ClampDays(value) + 1.1574074e-9L;  // 0.0001 s
  long double whole = std::floor(x);
  days = static_cast<std::int32_t>(whole);
  long double h = (x - whole) * 24;
  Hour = static_cast<std::uint8_t>(std::trunc(h));
  long double m = (h - std::trunc(h)) * 60;
  Minute = static_cast<std::uint8_t>(std::trunc(m));
  Second = static_cast<float>((m - std::trunc(m)) * 60);
}

std::string TimeOfDayRec::Format(int decimals, std::string_view sep1, std::string_view sep2,
                                 std::string_view sep3) const {
  long double hours = Hour + Minute / 60.0L + static_cast<long double>(Second) / 3600;
  // The degree field is four wide with a blank for the sign; hours drop the
  // first two, leaving two.
  return FormatDMS(decimals, sep1, sep2, hours, sep3).substr(2);
}

// ---- Date and time --------------------------------------------------------------

void DateTimeRec::SetZoneHours(Platform& platform, float hours) {
  ZoneOffset = static_cast<long double>(hours) / 24;
  SetFromClock(platform);
}

void DateTimeRec::SetFromClock(Platform& platform) {
  ClockReading c = platform.now();
  std::optional<double> date = EncodeDate(c.year, c.month, c.day);
  double value =
      date.value_or(0) + EncodeTime(c.hour, c.minute, c.second + c.millisecond / 1000.0L);
  SetFromDateTime(value);
}

void DateTimeRec::SetFromDateTime(double value) {
  Local = value;
  // Date and local time of day from the same rounded value.
  std::int64_t ms = ToMs(value);
  SetDate(ms, *this);
  LocalTime.Value = value;
  SetTime(ms, LocalTime);
  UT.SetFromDateTime(static_cast<double>(ZoneOffset + value));
}

long double DateTimeRec::JulianDate() const {
  return ZoneOffset + static_cast<long double>(Local) + JulianDateEpoch;
}

void DateTimeRec::SetFromJD(long double jd) {
  SetFromDateTime(static_cast<double>(jd - ZoneOffset - JulianDateEpoch));
}

std::string DateTimeRec::FormatMonthDayYear() const {
  std::string_view name = Month >= 1 && Month <= 12 ? MonthNames[Month] : std::string_view();
  return std::string(name) + " " + std::to_string(Day) + ", " + std::to_string(Year);
}

std::string DateTimeRec::FormatMMDDYYYY() const {
  return ZeroPadded(Month, 2) + "-" + ZeroPadded(Day, 2) + "-" + std::to_string(Year);
}

std::string DateTimeRec::FormatJD(int decimals) const {
  return FormatFixed(decimals, JulianDate());
}

// ---- Nutation, obliquity and sidereal time --------------------------------------

namespace {
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kJ2000 = 2451545.0L;

// The two arguments of the nutation series, radians.
void NutationArgs(long double jd, long double& omega, long double& two_l) {
  long double t = (jd - kJ2000) / 3652500.0L;  // 10,000 Julian years
  omega = (0.36L * t - 3375.7L) * t + 2.18L;
  two_l = (0.1L * t + 125666.39L) * t + 3.51L;
}
}  // namespace

long double NutationLongitude(long double jd) {
  long double omega, two_l;
  NutationArgs(jd, omega, two_l);
  return (-834 * std::sin(omega) - 64 * std::sin(two_l)) * 1.0e-7L;
}

long double NutationObliquity(long double jd) {
  long double omega, two_l;
  NutationArgs(jd, omega, two_l);
  return (446 * std::cos(omega) + 28 * std::cos(two_l)) * 1.0e-7L;
}

long double MeanObliquity(long double jd) {
  long double u = (jd - kJ2000) / 365250.0L;  // Julian millennia
  long double p = 0.000000712L;
  for (long double c : {-0.00003905L, -0.0024967L, -0.005138L, 1.99925L, -0.0155L, -468.093L})
    p = p * u + c;
  p *= u;
  long double degrees = 23.43929111L + p / 3600;
  return degrees * kPi / 180;
}

long double SiderealTime(std::uint8_t apparent, long double jd) {
  long double d = jd - kJ2000;
  long double t = d / 36525.0L;
  long double theta =
      280.46061837L + 360.98564736629L * d + t * t * (0.000387933L - t / 38710000.0L);
  long double turns = theta / 360;
  theta = (turns - std::trunc(turns)) * 2 * kPi;
  if (theta < 0) theta += 2 * kPi;
  if (apparent == 1)
    theta += NutationLongitude(jd) * std::cos(MeanObliquity(jd) + NutationObliquity(jd));
  return theta;
}

}  // namespace hv
