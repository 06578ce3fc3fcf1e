#include "support/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "support/Rounding.h"

namespace hv {

namespace {

constexpr int kSigDigits = 18;

// |value| reduced to 18 significant digits, nearest with halves to even
// (std::to_chars works from the exact binary value): value = 0.d1d2..d18
// times 10^(exp10 + 1), i.e. the first digit stands at the place 10^exp10.
struct Digits18 {
  std::string digits;  // exactly 18 characters '0'..'9', first nonzero
  int exp10 = 0;
};

Digits18 Reduce18(long double magnitude) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                           kSigDigits - 1);
  std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  Digits18 out;
  out.digits.reserve(kSigDigits);
  std::size_t i = 0;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] != '.') out.digits.push_back(text[i]);
  }
  int exp = 0;
  std::string_view e = text.substr(i + 1);
  if (!e.empty() && e.front() == '+') e.remove_prefix(1);
  std::from_chars(e.data(), e.data() + e.size(), exp);
  out.exp10 = exp;
  return out;
}

// Adds one unit in the last place of a digit string; true when the carry
// ran out of the front, leaving all zeros for the caller to complete.
bool IncrementDigits(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      return false;
    }
  }
  return true;
}

std::string ExponentText(int exp10) {
  std::string out = exp10 < 0 ? "E-" : "E+";
  std::string num = std::to_string(exp10 < 0 ? -exp10 : exp10);
  if (num.size() < 2) out.push_back('0');
  return out + num;
}

const char* NonFiniteText(long double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string FormatFixed(int decimals, long double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const int d = std::clamp(decimals, 0, kSigDigits);
  const bool negative = value < 0;

  // The rounded value times 10^d as a decimal integer.
  std::string scaled;
  if (value != 0) {
    Digits18 r = Reduce18(std::fabs(value));
    if (r.exp10 >= kSigDigits) {
      // Too large for the fixed form: shortest exponent text of the digits.
      std::string m = r.digits;
      while (m.size() > 1 && m.back() == '0') m.pop_back();
      std::string out = negative ? "-" : "";
      out += m.substr(0, 1);
      if (m.size() > 1) out += "." + m.substr(1);
      return out + ExponentText(r.exp10);
    }
    const int kept = r.exp10 + d + 1;  // digits at places 10^exp10 .. 10^-d
    if (kept >= kSigDigits) {
      scaled = r.digits + std::string(static_cast<std::size_t>(kept - kSigDigits), '0');
    } else if (kept >= 0) {
      scaled = r.digits.substr(0, static_cast<std::size_t>(kept));
      if (r.digits[static_cast<std::size_t>(kept)] >= '5') {
        if (IncrementDigits(scaled) || scaled.empty()) scaled.insert(scaled.begin(), '1');
      }
    }
  }
  const bool nonzero = scaled.find_first_not_of('0') != std::string::npos;
  if (scaled.size() < static_cast<std::size_t>(d) + 1) {
    scaled.insert(0, static_cast<std::size_t>(d) + 1 - scaled.size(), '0');
  } else {
    std::size_t lead = scaled.find_first_not_of('0');
    std::size_t maxStrip = scaled.size() - static_cast<std::size_t>(d) - 1;
    scaled.erase(0, std::min(lead, maxStrip));
  }
  std::string out = negative && nonzero ? "-" : "";
  const std::size_t intLen = scaled.size() - static_cast<std::size_t>(d);
  out.append(scaled, 0, intLen);
  if (d > 0) {
    out.push_back('.');
    out.append(scaled, intLen, std::string::npos);
  }
  return out;
}

std::string FormatExp(int digits, long double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const int n = std::clamp(digits, 2, kSigDigits);
  std::string m;
  int exp10 = 0;
  if (value == 0) {
    m.assign(static_cast<std::size_t>(n), '0');
  } else {
    Digits18 r = Reduce18(std::fabs(value));
    m = r.digits.substr(0, static_cast<std::size_t>(n));
    exp10 = r.exp10;
    if (n < kSigDigits && r.digits[static_cast<std::size_t>(n)] >= '5') {
      if (IncrementDigits(m)) {
        m.front() = '1';
        ++exp10;
      }
    }
  }
  std::string out = value < 0 ? "-" : "";
  out.push_back(m[0]);
  out.push_back('.');
  out.append(m, 1, std::string::npos);
  return out + ExponentText(exp10);
}

// ---- Text to number ----------------------------------------------------------

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void FloatError(std::string_view text) {
  throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

[[noreturn]] void IntError(std::string_view text) {
  throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace

long double StrToFloat(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t numStart = i;
  std::size_t intDigits = 0, fracDigits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++intDigits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++fracDigits;
  }
  if (intDigits + fracDigits == 0) FloatError(text);
  const std::size_t mantEnd = i;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) FloatError(text);
  }
  if (i != s.size()) FloatError(text);

  std::string_view body = s.substr(numStart);
  long double magnitude = 0;
  auto res = std::from_chars(body.data(), body.data() + body.size(), magnitude,
                             std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Tell overflow from underflow by the place of the first nonzero digit.
    std::string_view mant = s.substr(numStart, mantEnd - numStart);
    std::size_t first = mant.find_first_of("123456789");
    if (first == std::string_view::npos) {
      magnitude = 0;
    } else {
      std::size_t point = mant.find('.');
      if (point == std::string_view::npos) point = mant.size();
      long long place = first < point ? static_cast<long long>(point - first)
                                      : -static_cast<long long>(first - point) + 1;
      long long e = 0;
      if (mantEnd < s.size()) {
        std::string_view ex = s.substr(mantEnd + 1);
        bool eneg = false;
        if (ex.front() == '+' || ex.front() == '-') eneg = ex.front() == '-', ex.remove_prefix(1);
        for (char c : ex) e = std::min<long long>(e * 10 + (c - '0'), 1000000000LL);
        if (eneg) e = -e;
      }
      if (place + e > 0) FloatError(text);
      magnitude = 0;
    }
  } else if (res.ec != std::errc() || res.ptr != body.data() + body.size()) {
    FloatError(text);
  }
  return negative ? -magnitude : magnitude;
}

std::int32_t StrToInt(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !std::all_of(s.begin(), s.end(), IsDigit)) IntError(text);
  std::int64_t v = 0;
  for (char c : s) {
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) IntError(text);
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) IntError(text);
  return static_cast<std::int32_t>(v);
}

bool IsNumber(std::string_view text) {
  try {
    StrToFloat(text);
    return true;
  } catch (const ConvertError&) {
    return false;
  }
}

// ---- Messages ------------------------------------------------------------------

std::string IOErrorText(int code) {
  switch (code) {
    case 2:
      return "File Not Found!";
    case 3:
      return "Invalid File Name!";
    case 4:
      return "Too Many Open Files!";
    case 5:
      return "File Access Denied!";
    case 100:
      return "EOF!";
    case 101:
      return "Disk Full!";
    case 106:
      return "Invalid Input!";
    default:
      return "IOResult = " + std::to_string(code);
  }
}

}  // namespace hv
