#pragma once
// Text <-> number conversions, file I/O error texts, field tokenizers,
// sexagesimal splitting and a word wrap. Nothing here depends on the C
// locale: the decimal separator is always ".".
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hv {

// The conversion error: a text that is not a number where one is wanted.
// Raised by StrToFloat, StrToInt, the Next* tokenizers and ParseTimeOfDay.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---- Number to text ------------------------------------------------------

// Fixed-point text with exactly `decimals` digits after the point (0 gives
// no point; above 18 counts as 18). The value is first reduced to 18
// significant digits (nearest, halves to even), then rounded at the last
// kept decimal half away from zero. A value that rounds to zero shows no
// minus sign. Magnitudes of 10^18 and more (after the 18-digit reduction)
// are written in exponent form: up to 18 significant digits with trailing
// zeros dropped, e.g. "1E+18", "-2.5E+20". INF, -INF and NAN as such.
std::string FormatFixed(int decimals, long double value);

// A whole number with "0" in front up to width characters (dates, region
// numbers, catalog IDs: numbers that are not negative).
std::string ZeroPadded(std::int64_t value, std::size_t width);

// Exponent form with `digits` significant digits (limited to 2..18), e.g.
// FormatExp(8, 1.23456784e-5) == "1.2345678E-05"; the exponent has a sign
// and at least two digits. Rounding as in FormatFixed. Zero (either sign)
// prints as "0.0000000E+00".
std::string FormatExp(int digits, long double value);

// ---- Text to number ------------------------------------------------------

// The program's real-number conversion: optional leading and trailing
// blanks, an optional sign, digits with an optional point and fraction (at
// least one digit in all), an optional exponent (E or e, optional sign,
// digits). Anything else, the empty text and values too large for an
// extended real included, raises ConvertError. Values too small become 0.
long double StrToFloat(std::string_view text);

// A 32-bit integer: optional blanks around an optional sign and decimal
// digits; out-of-range values raise ConvertError like bad texts do.
std::int32_t StrToInt(std::string_view text);

// True when StrToFloat accepts the text.
bool IsNumber(std::string_view text);

// A clock time "h:m:s" (minutes and seconds optional, a trailing "PM"
// adds 12 hours to times below 12 h) as a fraction of a day. The hour is
// not limited. A field that is not a number raises ConvertError. The last
// number may be followed by one blank and "PM" ("12:30 PM", "2:05:10 PM").
long double ParseTimeOfDay(std::string_view timeText);

// ---- Messages --------------------------------------------------------------

// The message for a file I/O result code, "IOResult = <code>" when unknown.
std::string IOErrorText(int code);

// Makes the text end in a NUL character (appending one to the text itself
// when its last character is not NUL) and returns its first character.
// An empty text is left as it is and gives an empty NUL-terminated text.
const char* NulTerminated(std::string& text);

// The text with a-z upper-cased and every other byte kept (record texts are
// single-byte; file names are upper-cased this way where a text says so).
std::string UpperAscii(std::string_view text);
// The text with A-Z lower-cased and every other byte kept.
std::string LowerAscii(std::string_view text);

// ---- Tokenizers (each removes what it consumed from the front of text) ----

// Everything before the first delimiter (the whole text when there is
// none); the field and the delimiter are removed. Leading blanks stay.
void NextField(std::string& text, char delimiter, std::string& field);

// Skips blanks and delimiters; the next character is the quote, and the
// field runs to the next occurrence of that character (or to the end). The
// field, its closing quote and one character after it are removed.
void NextQuoted(std::string& text, char delimiter, std::string& field);

// Skip blanks and delimiters, then convert everything up to the next
// delimiter. Only a successful conversion removes the field and its
// delimiter; a failure raises ConvertError with the skipped part removed.
long double NextFloat(std::string& text, char delimiter);
std::int32_t NextInt(std::string& text, char delimiter);

// ---- Sexagesimal -------------------------------------------------------------

// An angle (degrees) or time (hours) split into parts; the sign apart, so
// that values between -1 and 0 keep their minus sign.
struct DMSRec {
  std::int32_t Deg;  // whole degrees or hours, never negative
  std::int32_t Min;  // 0..59 (60 only transiently inside ToDMSRounded)
  long double Sec;   // 0 <= Sec < 60
  std::int8_t Sign;  // -1, 0 or 1
};

// Truncating split of value; Deg is the absolute whole part.
void ToDMS(DMSRec& rec, long double value);
// As ToDMS, then carries into minutes and degrees when the seconds round
// (halves to even) to 60 at `decimals` places (0..18). No wrap of degrees.
void ToDMSRounded(DMSRec& rec, int decimals, long double value);
// (Deg + Min/60 + Sec/3600) * Sign.
void FromDMS(const DMSRec& rec, long double& value);

// Sign and degrees in a field of 4 (" -45", "   5"), sep1, two-digit
// minutes, sep2, seconds with `decimals` decimals and two integer digits,
// sep3. Degrees of 360 and more after rounding wrap below 360. Hours are
// formatted with it too (callers of right ascensions use FormatRA).
std::string FormatDMS(int decimals, std::string_view sep1, std::string_view sep2, long double value,
                      std::string_view sep3);

// Sign and degrees as in FormatDMS, sep1, decimal minutes with two integer
// digits, sep2.
std::string FormatDM(int decimals, std::string_view sep1, std::string_view sep2, long double value);

// A right ascension in hours laid out as FormatDMS does, brought into
// [0, 24) first and wrapped at 24 h after rounding, so 23:59:59.96 at one
// decimal gives "   0:00:00.0" and never "  24:00:00.0".
std::string FormatRA(int decimals, std::string_view sep1, std::string_view sep2, long double hours,
                     std::string_view sep3);

// ---- Word wrap -----------------------------------------------------------------

// State of one word wrap, owned by the caller: WrapInit, then WrapNext until
// Done is set (the call that sets it still returns a line), then WrapDone.
struct WrapRec {
  bool Done = false;
  std::string Text;  // what is left of the wrap's own copy of the text
  std::string Line;  // the line last handed out
  std::uint16_t BreakPos = 0;
  std::uint16_t TextLen = 0;  // length at the start, at most 65535
  std::uint16_t Width = 0;
};

// A width of 0 is taken as 1 so that every call makes progress.
void WrapInit(WrapRec& rec, std::string_view text, std::uint16_t width);
// The next line of at most Width characters, broken at the last blank that
// fits or cut hard when there is none. Valid until the next call.
const char* WrapNext(WrapRec& rec);
void WrapDone(WrapRec& rec);

}  // namespace hv
