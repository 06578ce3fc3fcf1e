#include "images/FITSHeader.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <vector>

#include "support/Codec.h"
#include "support/Format.h"

namespace hv {

const std::array<std::string_view, 26> FITSKeywords = {
    "SIMPLE",  "EXTEND",   "BITPIX",   "NAXIS",  "NAXIS1",   "NAXIS2", "NAXIS3", "BSCALE", "BZERO",
    "BLANK",   "XTENSION", "PCOUNT",   "GCOUNT", "TFIELDS",  "RA",     "DEC",    "OBJECT", "EPOCH",
    "EQUINOX", "OBSERVER", "DATE-OBS", "UT",     "TIME-OBS", "EXP",    "FILTER", "END"};

FITSKey MatchKeyword(std::string_view card) {
  const std::string_view key = TrimTrailingBlanks(card.substr(0, 8));
  if (key.empty()) return FITSKey::None;
  for (std::size_t i = 0; i < FITSKeywords.size(); ++i)
    if (key == FITSKeywords[i]) return static_cast<FITSKey>(i);
  // The exposure and time families are known by their first letters
  // (EXP_TIME, EXPOSURE, UT-START, UTSTART). A key naming the exposure's
  // end would shift the observation time the wrong way, and EXPSTART or
  // EXPEND hold times, not the exposure's length.
  auto has = [key](std::string_view part) { return key.find(part) != key.npos; };
  const bool endTime = has("END") || has("STOP");
  if (key.starts_with("EXP") && !endTime && !has("START")) return FITSKey::Exp;
  if (key.starts_with("UT") && !endTime) return FITSKey::UT;
  return FITSKey::None;
}

std::string CardText(std::string_view card) {
  std::string t(TrimTrailingBlanks(card.substr(0, 72)));
  for (char& c : t)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.empty()) t.push_back(' ');
  return t;
}

std::string CardValue(std::string_view text) {
  if (text.size() <= 10) return {};
  std::string_view rest = text.substr(10);
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  if (i < rest.size() && rest[i] == '\'') {
    // A string: leading blanks inside the quotes are dropped, trailing kept.
    ++i;
    while (i < rest.size() && rest[i] == ' ') ++i;
    std::string value;
    while (i < rest.size()) {
      if (rest[i] == '\'') {
        if (i + 1 < rest.size() && rest[i + 1] == '\'') {
          value += '\'';
          i += 2;
          continue;
        }
        break;
      }
      value += rest[i++];
    }
    return value;
  }
  const std::size_t start = i;
  while (i < rest.size() && rest[i] != ' ' && rest[i] != '/') ++i;
  return std::string(rest.substr(start, i - start));
}

std::optional<std::int32_t> ParseFITSInt(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::optional<long double> ParseFITSReal(std::string_view text) {
  text = TrimBlanks(text);
  std::string s;
  s.reserve(text.size());
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') s += '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
  if (i < text.size() && text[i] == '.') {
    s += text[i++];
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    s += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
    std::size_t expDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  long double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  // A card's real is a double; larger values would overflow the double
  // date-time and the readers' conversions.
  if (std::fabs(v) > static_cast<long double>(DBL_MAX)) return std::nullopt;
  return v;
}

namespace {

// Up to three fields split on colons (blanks around them ignored) or, when
// there is no colon, on runs of blanks.
std::optional<std::vector<std::string>> SexagesimalFields(std::string_view text) {
  text = TrimBlanks(text);
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  if (text.find(':') != std::string_view::npos) {
    std::size_t start = 0;
    while (true) {
      const std::size_t colon = text.find(':', start);
      const std::string_view f = TrimBlanks(
          text.substr(start, colon == std::string_view::npos ? text.npos : colon - start));
      if (f.empty() || f.find(' ') != std::string_view::npos) return std::nullopt;
      fields.emplace_back(f);
      if (colon == std::string_view::npos) break;
      start = colon + 1;
    }
  } else {
    std::size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && text[i] == ' ') ++i;
      const std::size_t start = i;
      while (i < text.size() && text[i] != ' ') ++i;
      if (i > start) fields.emplace_back(text.substr(start, i - start));
    }
  }
  if (fields.size() > 3) return std::nullopt;
  return fields;
}

struct Sexagesimal {
  long double first = 0, minutes = 0, seconds = 0;
  bool negative = false;
};

std::optional<Sexagesimal> ParseSexagesimal(std::string_view text) {
  const auto fields = SexagesimalFields(text);
  if (!fields) return std::nullopt;
  Sexagesimal s;
  long double* parts[3] = {&s.first, &s.minutes, &s.seconds};
  for (std::size_t i = 0; i < fields->size(); ++i) {
    const auto v = ParseFITSReal((*fields)[i]);
    if (!v) return std::nullopt;
    if (i > 0 && (*v < 0 || *v >= 60 || (*fields)[i][0] == '-' || (*fields)[i][0] == '+'))
      return std::nullopt;
    *parts[i] = *v;
  }
  s.negative = !fields->empty() && (*fields)[0][0] == '-';
  return s;
}

}  // namespace

std::optional<long double> ParseRA(std::string_view text) {
  const auto s = ParseSexagesimal(text);
  if (!s || s->negative) return std::nullopt;
  const long double h = s->first + s->minutes / 60.0L + s->seconds / 3600.0L;
  if (!(h >= 0 && h < 24)) return std::nullopt;
  return h;
}

std::optional<long double> ParseDec(std::string_view text) {
  const auto s = ParseSexagesimal(text);
  if (!s) return std::nullopt;
  const long double sign = s->negative ? -1.0L : 1.0L;
  const long double d = s->first + sign * s->minutes / 60.0L + sign * s->seconds / 3600.0L;
  if (!(d >= -90 && d <= 90)) return std::nullopt;
  return d;
}

void FITSHeaderRec::Encode(Encoder& e) const {
  e.boolean(Simple);
  e.boolean(Extend);
  for (std::int32_t v : {BitPix, NAxis, NAxis1, NAxis2, NAxis3}) e.i32(v);
  e.ext(BScale);
  e.ext(BZero);
  e.i32(Blank);
  e.str(XTension, 8);
  for (std::int32_t v : {PCount, GCount, TFields}) e.i32(v);
  e.ext(RA);
  e.ext(Dec);
  e.ext(Epoch);
  e.str(ObjName, 68);
  e.str(Observer, 68);
  e.ext(ExpTime);
  e.u8(Filter);
  e.f64(ObsTime);
}

void FITSHeaderParser::Reset() {
  rec_ = FITSHeaderRec{};
  date_.clear();
  time_.clear();
  timeObsSeconds_ = 0;
  hasDate_ = false;
  end_ = false;
  goOn_ = false;
}

void FITSHeaderParser::Numeric(FITSKey key, const std::string& value) {
  if (onError_) onError_(FITSKeywords[static_cast<std::size_t>(key)], value);
}

void FITSHeaderParser::Store(FITSKey key, const std::string& raw) {
  // Trailing blanks of a string are fill, except in XTENSION, which keeps
  // its eight characters.
  const std::string value = key == FITSKey::XTension ? raw : std::string(TrimTrailingBlanks(raw));
  auto integer = [&](std::int32_t& field) {
    if (auto v = ParseFITSInt(value))
      field = *v;
    else
      Numeric(key, value);
  };
  auto real = [&](long double& field) {
    if (auto v = ParseFITSReal(value))
      field = *v;
    else
      Numeric(key, value);
  };
  switch (key) {
    case FITSKey::Simple:
      rec_.Simple = !value.empty() && value[0] == 'T';
      break;
    case FITSKey::Extend:
      rec_.Extend = !value.empty() && value[0] == 'T';
      break;
    case FITSKey::BitPix:
      integer(rec_.BitPix);
      break;
    case FITSKey::NAxis:
      integer(rec_.NAxis);
      break;
    case FITSKey::NAxis1:
      integer(rec_.NAxis1);
      break;
    case FITSKey::NAxis2:
      integer(rec_.NAxis2);
      break;
    case FITSKey::NAxis3:
      integer(rec_.NAxis3);
      break;
    case FITSKey::Blank:
      integer(rec_.Blank);
      break;
    case FITSKey::PCount:
      integer(rec_.PCount);
      break;
    case FITSKey::GCount:
      integer(rec_.GCount);
      break;
    case FITSKey::TFields:
      integer(rec_.TFields);
      break;
    case FITSKey::BScale:
      real(rec_.BScale);
      break;
    case FITSKey::BZero:
      real(rec_.BZero);
      break;
    case FITSKey::Epoch:
    case FITSKey::Equinox:
      real(rec_.Epoch);
      break;
    case FITSKey::Exp:
      real(rec_.ExpTime);
      break;
    case FITSKey::XTension:
      rec_.XTension = value.substr(0, 8);
      break;
    case FITSKey::RA:
      if (auto v = ParseRA(value)) {
        rec_.RA = *v;
      } else {
        Numeric(key, value);
        rec_.RA = 0;
      }
      break;
    case FITSKey::Dec:
      if (auto v = ParseDec(value)) {
        rec_.Dec = *v;
      } else {
        Numeric(key, value);
        rec_.Dec = 0;
      }
      break;
    case FITSKey::Object:
      rec_.ObjName = UpperAscii(value).substr(0, 68);
      break;
    case FITSKey::Observer:
      rec_.Observer = value.substr(0, 68);
      break;
    case FITSKey::DateObs:
      date_ = value;
      hasDate_ = true;
      break;
    case FITSKey::UT:
      time_ = value;
      break;
    case FITSKey::TimeObs:
      if (value.find(':') != std::string::npos)
        time_ = value;
      else
        real(timeObsSeconds_);
      break;
    case FITSKey::Filter:
      rec_.Filter = FilterCode(value);
      break;
    case FITSKey::End:
      end_ = true;
      break;
    case FITSKey::None:
      break;
  }
}

FITSHeaderParser::BlockResult FITSHeaderParser::ParseBlock(
    std::span<const std::uint8_t, FITSBlockSize> block, std::string& listing) {
  bool endInBlock = false;
  for (std::size_t c = 0; c < FITSCardsPerBlock; ++c) {
    const std::string_view card(reinterpret_cast<const char*>(block.data()) + c * FITSCardSize,
                                FITSCardSize);
    const std::string text = CardText(card);
    listing += text;
    listing += '\n';
    // Cards after END are blank fill: listed, not read.
    if (endInBlock) continue;
    const FITSKey key = MatchKeyword(card);
    if (key != FITSKey::None) Store(key, CardValue(text));
    if (key == FITSKey::End) endInBlock = true;
    if (!rec_.Simple) return BlockResult::NotFITS;
  }
  if (!end_) return BlockResult::More;
  goOn_ = rec_.Extend && rec_.XTension.empty() && rec_.NAxis == 0;
  if (!goOn_) return BlockResult::Done;
  // An empty primary header announces extensions: the next header's
  // structure and scaling start afresh; the observation facts carry over.
  end_ = false;
  rec_.BitPix = 0;
  rec_.NAxis = rec_.NAxis1 = rec_.NAxis2 = rec_.NAxis3 = 0;
  rec_.BScale = 1.0L;
  rec_.BZero = 0.0L;
  rec_.Blank = 0;
  rec_.XTension.clear();
  rec_.PCount = rec_.GCount = rec_.TFields = 0;
  return BlockResult::More;
}

bool ValidDate(const CalendarDate& d) {
  if (d.Year < 1 || d.Year > 9999 || d.Month < 1 || d.Month > 12 || d.Day < 1) return false;
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int dim = kDays[d.Month - 1];
  const bool leap = (d.Year % 4 == 0 && d.Year % 100 != 0) || d.Year % 400 == 0;
  if (d.Month == 2 && leap) dim = 29;
  return d.Day <= dim;
}

namespace {

std::optional<int> DigitsValue(std::string_view s) {
  s = TrimBlanks(s);
  if (s.empty() || s.size() > 4) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// Three fields split on sep; the year field as given (its digit count).
std::optional<std::array<std::string_view, 3>> DateFields(std::string_view text, char sep) {
  std::array<std::string_view, 3> f;
  const std::size_t a = text.find(sep);
  if (a == text.npos) return std::nullopt;
  const std::size_t b = text.find(sep, a + 1);
  if (b == text.npos || text.find(sep, b + 1) != text.npos) return std::nullopt;
  f[0] = text.substr(0, a);
  f[1] = text.substr(a + 1, b - a - 1);
  f[2] = text.substr(b + 1);
  return f;
}

// A year field with the century a two-digit year implies.
std::optional<int> YearValue(std::string_view field) {
  field = TrimBlanks(field);
  const auto v = DigitsValue(field);
  if (!v) return std::nullopt;
  if (field.size() == 2) return *v < 80 ? 2000 + *v : 1900 + *v;
  if (field.size() == 4) return *v;
  return std::nullopt;
}

}  // namespace

std::optional<CalendarDate> ParseFITSDate(std::string_view dateText, std::string& timeText) {
  std::string_view text = TrimTrailingBlanks(dateText);
  const char sep = text.find('/') != text.npos ? '/' : '-';
  if (sep == '-') {
    const std::size_t t = text.find('T');
    if (t != text.npos) {
      std::string time(text.substr(t + 1));
      const std::size_t dot = time.find('.');
      if (dot != std::string::npos) time.erase(dot);
      timeText = time;
      text = text.substr(0, t);
    }
  }
  const auto f = DateFields(text, sep);
  if (!f) return std::nullopt;
  CalendarDate d;
  std::optional<int> y, m, day;
  if (text.size() <= 8 || (*f)[0].size() != 4) {
    day = DigitsValue((*f)[0]);
    m = DigitsValue((*f)[1]);
    y = YearValue((*f)[2]);
  } else {
    y = YearValue((*f)[0]);
    m = DigitsValue((*f)[1]);
    day = DigitsValue((*f)[2]);
  }
  if (!y || !m || !day) return std::nullopt;
  d.Year = *y;
  d.Month = *m;
  d.Day = *day;
  if (!ValidDate(d)) return std::nullopt;
  return d;
}

std::optional<CalendarDate> ParseSBIGDate(std::string_view dateText) {
  const auto f = DateFields(TrimBlanks(dateText), '/');
  if (!f) return std::nullopt;
  const auto m = DigitsValue((*f)[0]);
  const auto day = DigitsValue((*f)[1]);
  const auto y = YearValue((*f)[2]);
  if (!y || !m || !day) return std::nullopt;
  CalendarDate d{*y, *m, *day};
  if (!ValidDate(d)) return std::nullopt;
  return d;
}

}  // namespace hv
