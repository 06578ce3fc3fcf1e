#include "support/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

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

std::string ZeroPadded(std::int64_t value, std::size_t width) {
  std::string s = std::to_string(value);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
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

long double ParseTimeOfDay(std::string_view timeText) {
  std::string text(timeText);
  // One blank and "PM" after the last number marks an afternoon time; it
  // counts only when everything before it was read as the time.
  bool pm = false;
  const std::size_t n = text.size();
  if (n >= 4 && text.compare(n - 3, 3, " PM") == 0 && text[n - 4] != ' ') {
    pm = true;
    text.erase(n - 3);
  }
  const long double hours = NextFloat(text, ':');
  long double minutes = 0, seconds = 0;
  if (!text.empty()) minutes = NextFloat(text, ':');
  if (!text.empty()) seconds = NextFloat(text, ' ');
  long double h = hours + (minutes + seconds / 60) / 60;
  if (pm ? text.empty() : text == "PM") {
    // 12:30 PM is half past noon: only morning hours move on by 12.
    if (h < 12) h += 12;
  }
  return h / 24;
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

std::string UpperAscii(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string LowerAscii(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

const char* NulTerminated(std::string& text) {
  if (!text.empty() && text.back() != '\0') text.push_back('\0');
  return text.c_str();
}

// ---- Tokenizers ----------------------------------------------------------------

namespace {

void SkipBlanksAndDelimiters(std::string& text, char delimiter) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == delimiter)) ++i;
  text.erase(0, i);
}

// The field up to the next delimiter, and how much to remove with it.
std::pair<std::string_view, std::size_t> FieldToDelimiter(const std::string& text, char delimiter) {
  std::size_t pos = text.find(delimiter);
  if (pos == std::string::npos) return {text, text.size()};
  return {std::string_view(text).substr(0, pos), pos + 1};
}

}  // namespace

void NextField(std::string& text, char delimiter, std::string& field) {
  auto [f, used] = FieldToDelimiter(text, delimiter);
  field = std::string(f);
  text.erase(0, used);
}

void NextQuoted(std::string& text, char delimiter, std::string& field) {
  SkipBlanksAndDelimiters(text, delimiter);
  if (text.empty()) {
    field.clear();
    return;
  }
  const char quote = text.front();
  std::size_t close = text.find(quote, 1);
  if (close == std::string::npos) {
    field = text.substr(1);
    text.clear();
    return;
  }
  field = text.substr(1, close - 1);
  text.erase(0, std::min(close + 2, text.size()));
}

long double NextFloat(std::string& text, char delimiter) {
  SkipBlanksAndDelimiters(text, delimiter);
  auto [f, used] = FieldToDelimiter(text, delimiter);
  long double v = StrToFloat(f);
  text.erase(0, used);
  return v;
}

std::int32_t NextInt(std::string& text, char delimiter) {
  SkipBlanksAndDelimiters(text, delimiter);
  auto [f, used] = FieldToDelimiter(text, delimiter);
  std::int32_t v = StrToInt(f);
  text.erase(0, used);
  return v;
}

// ---- Sexagesimal -----------------------------------------------------------------

namespace {

std::int32_t WholeToInt32(long double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0L) return INT32_MAX;
  return static_cast<std::int32_t>(x);
}

long double PowerOfTen(int decimals) {
  long double s = 1;
  for (int i = 0; i < decimals; ++i) s *= 10;
  return s;
}

// Whole units of a FormatFixed text (which is never negative here).
long double WholeOfText(const std::string& text) {
  long double v = 0;
  for (char c : text) {
    if (c == '.') break;
    if (IsDigit(c)) v = v * 10 + (c - '0');
  }
  return v;
}

std::string DegreeField(const DMSRec& rec) {
  std::string f = (rec.Sign < 0 ? "-" : " ") + std::to_string(rec.Deg);
  f.resize(std::min<std::size_t>(f.size(), 4));
  return std::string(4 - f.size(), ' ') + f;
}

std::string TwoDigitText(int decimals, long double value) {
  std::string t = FormatFixed(decimals, value);
  return WholeOfText(t) < 10 ? "0" + t : t;
}

// FormatDMS and FormatRA: `wrap` is the full circle (360 or 24).
std::string FormatSexagesimal(int decimals, std::string_view sep1, std::string_view sep2,
                              long double value, std::string_view sep3, std::int32_t wrap) {
  const int d = std::clamp(decimals, 0, kSigDigits);
  DMSRec r;
  ToDMSRounded(r, d, value);
  // The seconds text rounds half away from zero while the carry test above
  // rounds halves to even; when the text still reaches 60 the carry is
  // made here, so "60" seconds never show.
  if (WholeOfText(FormatFixed(d, r.Sec)) >= 60) {
    r.Sec = 0;
    if (++r.Min >= 60) {
      r.Min = 0;
      if (r.Deg < INT32_MAX) ++r.Deg;
    }
  }
  r.Deg %= wrap;
  std::string out = DegreeField(r);
  out += sep1;
  if (r.Min < 10) out += '0';
  out += std::to_string(r.Min);
  out += sep2;
  out += TwoDigitText(d, r.Sec);
  out += sep3;
  return out;
}

}  // namespace

void ToDMS(DMSRec& rec, long double value) {
  rec.Sign = value > 0 ? 1 : (value < 0 ? -1 : 0);
  const long double a = std::isfinite(value) ? std::fabs(value) : 0;
  const long double whole = std::trunc(a);
  rec.Deg = WholeToInt32(whole);
  const long double m = (a - whole) * 60;
  const long double wholeMin = std::trunc(m);
  rec.Min = static_cast<std::int32_t>(wholeMin);
  rec.Sec = (m - wholeMin) * 60;
  // A fraction a hair below one can round up to a full 60 in the products.
  if (rec.Sec >= 60) {
    rec.Sec = 0;
    ++rec.Min;
  }
  if (rec.Min >= 60) {
    rec.Min = 0;
    if (rec.Deg < INT32_MAX) ++rec.Deg;
  }
}

void ToDMSRounded(DMSRec& rec, int decimals, long double value) {
  ToDMS(rec, value);
  const long double s = PowerOfTen(std::clamp(decimals, 0, kSigDigits));
  if (RoundHalfEven(s * rec.Sec) == 60 * s) {
    rec.Sec = 0;
    ++rec.Min;
    if (rec.Min >= 60) {
      rec.Min = 0;
      if (rec.Deg < INT32_MAX) ++rec.Deg;
    }
  }
}

void FromDMS(const DMSRec& rec, long double& value) {
  value = (std::fabs(static_cast<long double>(rec.Deg)) + rec.Min / 60.0L + rec.Sec / 3600.0L) *
          rec.Sign;
}

std::string FormatDMS(int decimals, std::string_view sep1, std::string_view sep2, long double value,
                      std::string_view sep3) {
  return FormatSexagesimal(decimals, sep1, sep2, value, sep3, 360);
}

std::string FormatDM(int decimals, std::string_view sep1, std::string_view sep2,
                     long double value) {
  const int d = std::clamp(decimals, 0, kSigDigits);
  DMSRec r;
  ToDMS(r, value);
  long double minutes = r.Min + r.Sec / 60;
  const long double s = PowerOfTen(d);
  // As in FormatDMS, the text's own rounding decides the carry as well.
  if (RoundHalfEven(s * minutes) == 60 * s || WholeOfText(FormatFixed(d, minutes)) >= 60) {
    minutes = 0;
    if (r.Deg < INT32_MAX) ++r.Deg;
  }
  r.Deg %= 360;
  return DegreeField(r) + std::string(sep1) + TwoDigitText(d, minutes) + std::string(sep2);
}

std::string FormatRA(int decimals, std::string_view sep1, std::string_view sep2, long double hours,
                     std::string_view sep3) {
  long double h = std::isfinite(hours) ? std::fmod(hours, 24.0L) : 0;
  if (h < 0) h += 24;
  if (h >= 24) h = 0;  // a tiny negative hour
  return FormatSexagesimal(decimals, sep1, sep2, h, sep3, 24);
}

// ---- Word wrap -----------------------------------------------------------------

void WrapInit(WrapRec& rec, std::string_view text, std::uint16_t width) {
  rec.TextLen = static_cast<std::uint16_t>(std::min<std::size_t>(text.size(), UINT16_MAX));
  rec.Text.assign(text);
  rec.Width = width < 1 ? 1 : width;
  rec.Line.clear();
  rec.Line.reserve(rec.Width + 1u);
  rec.BreakPos = 0;
  rec.Done = false;
}

const char* WrapNext(WrapRec& rec) {
  const std::size_t width = rec.Width < 1 ? 1 : rec.Width;
  std::string& text = rec.Text;
  if (text.size() <= width) {
    rec.Line = text;
    text.clear();
    rec.Done = true;
    return rec.Line.c_str();
  }
  std::size_t blank = text.rfind(' ', width);
  if (blank == std::string::npos) {
    // No blank within the width: cut the word hard.
    rec.Line = text.substr(0, width);
    text.erase(0, width);
    rec.BreakPos = static_cast<std::uint16_t>(width);
    return rec.Line.c_str();
  }
  rec.Line = text.substr(0, blank);
  std::size_t resume = blank + 1;
  if (blank == width) {
    while (resume < text.size() && text[resume] == ' ') ++resume;
  }
  text.erase(0, resume);
  rec.BreakPos = static_cast<std::uint16_t>(blank);
  return rec.Line.c_str();
}

void WrapDone(WrapRec& rec) {
  std::string().swap(rec.Text);
  std::string().swap(rec.Line);
}

}  // namespace hv
