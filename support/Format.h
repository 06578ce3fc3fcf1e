#pragma once
// Text <-> number conversions and file I/O error texts. Nothing here depends on the C
// locale: the decimal separator is always ".".
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hv {

// The conversion error: a text that is not a number where one is wanted.
// Raised by StrToFloat and StrToInt.
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

// ---- Messages --------------------------------------------------------------

// The message for a file I/O result code, "IOResult = <code>" when unknown.
std::string IOErrorText(int code);

}  // namespace hv
