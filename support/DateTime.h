#pragma once
// Dates, times of day and Julian dates; nutation, obliquity and sidereal
// time.
//
// Date-time values are the program's date-time numbers: a double counting
// days from 30 December 1899, 0 h, whose fraction is the time of day. The
// value is continuous: -0.25 is 29 December 1899, 18 h (days split with
// floor), so Julian dates follow by one addition for every date.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hv {

class Platform;

// The Julian date of the date-time value 0 (30 December 1899, 0 h).
inline constexpr long double JulianDateEpoch = 2415018.5L;

// English month names, indexed by month 1..12 (index 0 is empty).
inline constexpr std::array<std::string_view, 13> MonthNames = {
    "",     "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};

// ---- Calendar <-> date-time values (proleptic Gregorian calendar) ----------

bool IsValidDate(std::int32_t year, int month, int day);
// The date-time value of a date at 0 h; nullopt for an impossible date.
std::optional<double> EncodeDate(std::int32_t year, int month, int day);
// A time of day as a fraction of a day (seconds may carry a fraction).
// Values are not range-checked: 24:00 gives 1.
double EncodeTime(int hour, int minute, long double second);
// The date of a date-time value (its day found with floor, no rounding).
void DecodeDate(double value, std::int32_t& year, int& month, int& day);

// A date-time value rounded to the nearest 10^-decimals second (decimals
// 0..3; halves to even). Times that are printed are rounded with this once,
// to the resolution of the output, before the date and the time of day are
// split off, so that a day never ends with "24:00:00" or "60" seconds.
double RoundDateTime(double value, int decimals);

// ---- Time of day ------------------------------------------------------------

struct TimeOfDayRec {
  std::uint8_t Hour = 0;    // 0..23
  std::uint8_t Minute = 0;  // 0..59
  float Second = 0;         // seconds including the milliseconds
  double Value = 0;         // the value the record was made from (not set by SplitDays)

  // The time of day of a date-time value, rounded to the nearest
  // millisecond first: a value a fraction of a millisecond before midnight
  // is 0:00:00.000 of the next day, never 24:00:00.
  void SetFromDateTime(double value);

  // An elapsed time in days split into whole days and a time of day; a tenth
  // of a millisecond is added first so that a whole number of seconds does
  // not show as 59.999. Days are found with floor.
  void SplitDays(std::int32_t& days, long double value);

  // Hours, sep1, minutes, sep2, seconds with the given decimals, sep3. The
  // hour field is two characters wide (a blank before a single digit, no
  // leading zero). Seconds that round to 60 carry into the minutes and the
  // hours, so a time not rounded with RoundDateTime beforehand can show 24.
  std::string Format(int decimals, std::string_view sep1, std::string_view sep2,
                     std::string_view sep3) const;
};

// ---- Date and time ----------------------------------------------------------

struct DateTimeRec {
  std::int32_t Year = 1899;  // calendar date of the local date-time
  std::uint8_t Month = 12;
  std::uint8_t Day = 30;
  double Local = 0;            // the local date-time value
  TimeOfDayRec UT;             // time of day of Local + ZoneOffset
  TimeOfDayRec LocalTime;      // time of day of Local
  long double ZoneOffset = 0;  // days; universal time = local time + offset

  // ZoneOffset = hours / 24, then SetFromClock.
  void SetZoneHours(Platform& platform, float hours);
  // The record from the platform clock's local date and time.
  void SetFromClock(Platform& platform);
  // Local = value; the calendar fields follow the local date (rounded to the
  // millisecond together with the time of day), also when the universal time
  // of day lies on another day.
  void SetFromDateTime(double value);
  // ZoneOffset + Local + JulianDateEpoch, in extended precision.
  long double JulianDate() const;
  // SetFromDateTime(jd - ZoneOffset - JulianDateEpoch).
  void SetFromJD(long double jd);

  // "March 5, 2004"
  std::string FormatMonthDayYear() const;
  // "03-05-2004"
  std::string FormatMMDDYYYY() const;
  // The Julian date as FormatFixed with the given decimals.
  std::string FormatJD(int decimals) const;
};

// ---- Nutation, obliquity and sidereal time ----------------------------------
// Each takes a Julian date and answers radians.

// Nutation in longitude and in obliquity from the two largest terms of the
// IAU 1980 series (the Moon's node and twice the Sun's mean longitude);
// within about 0.8" and 0.3" of the full series (Meeus, Astronomical
// Algorithms, ch. 22, low-accuracy form).
long double NutationLongitude(long double jd);
long double NutationObliquity(long double jd);

// Mean obliquity of the ecliptic, Laskar's polynomial in Julian millennia
// from J2000.0 (Meeus, ch. 22, eq. 22.3).
long double MeanObliquity(long double jd);

// Greenwich sidereal time at a UT Julian date: mean (IAU 1982, Meeus
// eq. 12.4), in [0, 2 pi), or apparent when `apparent` is 1, when the
// equation of the equinoxes is added without bringing the sum back into
// [0, 2 pi). Any other flag value gives the mean time.
long double SiderealTime(std::uint8_t apparent, long double jd);

}  // namespace hv
