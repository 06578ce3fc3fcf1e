#include "astrometry/OnlineCatalog.h"

#include <cfloat>
#include <cmath>
#include <numbers>
#include <vector>

#include "astrometry/GSCRegions.h"
#include "support/DateTime.h"
#include "support/Format.h"

namespace hv {

std::unique_ptr<B1CatObj> B1Cat;

const std::array<std::array<std::string_view, OnlineParmCount>, 2> OnlineColNames = {{
    {" id|", " RA|", " DEC|", " MuRA|", " MuDEC|", " B|", " V|", " R|", "", " J|", " H|", " K|"},
    {" id|", " RA|", " DEC|", " MuRA|", " MuDEC|", " B2|", "", " R2|", " I2|", "", "", ""},
}};

namespace {

constexpr const char* CRLF = "\r\n";
constexpr long double J2000 = 2451545.0L;
constexpr long double DaysPerYear = 365.25L;

std::string PositionFormatText() {
  return std::string("RA, Dec not in required format.") + CRLF + CRLF +
         "Read HELP before downloading!";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A column's text without blanks and tabs around it and without the bar
// that ends a column in the reply's table.
std::string_view TrimColumn(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  if (!s.empty() && s.back() == '|') s.remove_suffix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The next blank-separated token of s, consumed from its front.
std::string_view NextToken(std::string_view& s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  std::size_t n = 0;
  while (n < s.size() && !IsBlank(s[n])) ++n;
  std::string_view t = s.substr(0, n);
  s.remove_prefix(n);
  return t;
}

// "hh mm ss.s" (sign given apart) into hours or degrees.
long double FromSexagesimal(std::string_view text, std::int8_t sign) {
  DMSRec r{};
  r.Deg = StrToInt(NextToken(text));
  r.Min = StrToInt(NextToken(text));
  r.Sec = StrToFloat(text);
  r.Sign = sign;
  long double v = 0;
  FromDMS(r, v);
  return v;
}

// A number the star record keeps as a single; larger ones are not numbers
// a catalog gives.
float ToSingle(long double v) {
  if (!(std::fabs(v) <= FLT_MAX)) throw ConvertError("value out of range");
  return static_cast<float>(v);
}

std::size_t CatalogIndex(std::uint8_t catCode) { return catCode == 2 ? 1 : 0; }

}  // namespace

B1CatObj::B1CatObj(Platform& platform, const OptsRec& settings, std::unique_ptr<HttpClient> http)
    : HTTP(std::move(http)), platform_(platform), settings_(settings) {
  if (!HTTP) HTTP = std::make_unique<CurlHttpClient>();
}

long double B1CatObj::YearsSinceJ2000(double t) {
  // No date (a finder chart with a typed centre) means no motion, rather
  // than a century back to the date-time origin.
  if (t == 0) return 0;
  return (JulianDateEpoch + static_cast<long double>(t) - J2000) / DaysPerYear;
}

void B1CatObj::SetCatalog(CatalogCode catalog) {
  // Names not set here keep what an earlier request left.
  if (catalog == CatalogCode::USNOB1) {
    CatName = "USNO-B1";
    BandNames[0] = "B2";
    BandNames[2] = "R2";
    BandNames[3] = "I2";
    CatCode = 2;
  } else {
    CatName = "NOMAD";
    BandNames[0] = "B";
    BandNames[1] = "V";
    BandNames[2] = "R";
    BandNames[4] = "J";
    BandNames[5] = "H";
    BandNames[6] = "K";
    CatCode = 1;
  }
}

std::string B1CatObj::BuildURL() const {
  const FldParmsRec& f = CurFldParms;
  const std::size_t color = f.Color < ColorCodeCount ? f.Color : 2;
  std::string url = settings_.CatalogURL;
  url += "CAT=" + CatName;
  url += "&RA=" + FormatFixed(6, f.RACenter * 15.0L);
  url += "&DEC=" + FormatFixed(6, f.DecCenter);
  url += "&SR=" + FormatFixed(2, 1.5L * static_cast<long double>(f.FieldSize) / 60.0L);
  url += "&VERB=1";
  url += "&clr=" + BandNames[ColorPassbands[color]];
  url += "&bri=1.0";
  url += "&fai=" + FormatFixed(1, static_cast<long double>(f.FaintMag));
  url += "&cftype=ASCII&skey=RA&slf=hh.hhh/dd.ddd";
  return url;
}

bool B1CatObj::SameRequest() const {
  const FldParmsRec& n = CurFldParms;
  const FldParmsRec& c = CachedParms;
  if (Parsed.Count() == 0) return false;
  if (static_cast<std::uint8_t>(settings_.StarCatalog) != CatCode) return false;
  if (n.RAMin < c.RAMin || n.DecMin < c.DecMin || n.RAMax > c.RAMax || n.DecMax > c.DecMax)
    return false;
  if (std::fabs(n.RACenter - c.RACenter) * 15.0L > 0.0028L) return false;
  if (std::fabs(n.DecCenter - c.DecCenter) > 0.0028L) return false;
  if (n.FieldSize > c.FieldSize || n.FaintMag > c.FaintMag) return false;
  return n.Color == c.Color;
}

bool B1CatObj::RequestData(double t) {
  // The epoch belongs to this request even when the cache answers it.
  Years = YearsSinceJ2000(t);
  if (SameRequest()) return true;
  CachedParms = CurFldParms;
  Parsed.Clear();
  SetCatalog(settings_.StarCatalog);

  InfoShown info(InfoCaption, "Requesting " + CatName + " Data");
  const std::string url = BuildURL();
  if (!HTTP->Get(url, Reply)) {
    if (InfoForm) InfoForm->Hide();
    const std::string& status = HTTP->StatusLine();
    std::string text = std::string("USNO-VO \"Get\" request failed!") + CRLF + CRLF;
    text += status.empty() ? std::string("Server is not responding!") : "Response Code = " + status;
    Reply.clear();
    ShowError(platform_, AccessCaption, text);
    return false;
  }
  if (InfoForm)
    InfoForm->ShowText(InfoCaption, CatName + " Data Received." + CRLF + "Processing Catalog Data");
  const bool ok = ProcessReply();
  Reply.clear();
  Reply.shrink_to_fit();
  return ok;
}

bool B1CatObj::NextLine(std::string_view& line) {
  if (cursor_ >= Reply.size()) return false;
  const std::string_view rest = std::string_view(Reply).substr(cursor_);
  const std::size_t lf = rest.find('\n');
  line = rest.substr(0, lf);
  cursor_ = lf == std::string_view::npos ? Reply.size() : cursor_ + lf + 1;
  // A reply with CR LF line ends would otherwise keep a CR on every line.
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool B1CatObj::ProcessReply() {
  cursor_ = 0;
  std::string_view line;
  bool ended = false;
  while (NextLine(line)) {
    if (line.starts_with("END") || line.starts_with("#END")) {
      ended = true;
      break;
    }
  }
  std::string message;
  bool ok = false;
  if (!ended) {
    message = "Error in USNO File Header - \"END\" statement missing!";
  } else {
    std::string_view header;
    if (!NextLine(header)) header = {};
    ok = BuildParmTbl(header);
    if (ok) {
      std::string_view format;
      if (!NextLine(format)) format = {};
      const auto has = [&](std::string_view s) { return format.find(s) != std::string_view::npos; };
      const bool decimal = has("hh.hhh") && has("dd.ddd");
      Sexagesimal = !decimal && has("hh mm ss") && has("dd mm ss");
      ok = decimal || Sexagesimal;
    }
    if (!ok) message = PositionFormatText();
  }
  if (!ok) {
    ShowError(platform_, FileErrorCaption, message);
    return false;
  }
  return ParseBody();
}

bool B1CatObj::BuildParmTbl(std::string_view line) {
  if (line.find("RA") == std::string_view::npos) {
    ShowError(platform_, HeaderErrorCaption,
              std::string("Incorrect column header passed to BuildParmTbl!") + CRLF +
                  "\"RA\" not found in header." + CRLF + CRLF + "\"" + std::string(line) + "\"");
    return false;
  }
  const auto& names = OnlineColNames[CatalogIndex(CatCode)];
  for (std::size_t i = 0; i < OnlineParmCount; ++i) {
    std::string_view name = names[i];
    if (name.empty()) {
      Columns[i] = {};
      continue;
    }
    name = name.substr(0, OnlineColNameSearched);
    const std::size_t found = line.find(name);
    if (found == std::string_view::npos) {
      ShowError(platform_, HeaderErrorCaption,
                std::string("Required parameter missing in catalog data.") + CRLF + CRLF +
                    "Missing Parameter: " + std::string(name));
      return false;
    }
    // The column runs from just after the previous non-blank character
    // (the previous column's bar) through the end of the name.
    const std::size_t p = found + 1;
    std::size_t j = p;
    while (j > 0 && line[j - 1] == ' ') --j;
    Columns[i].Start = static_cast<std::int32_t>(j + 1);
    Columns[i].Length = static_cast<std::int32_t>(p + name.size() - (j + 1));
  }
  return true;
}

bool B1CatObj::ParseBody() {
  BadLines = 0;
  FirstBadLine.clear();
  std::vector<CatStarRec> stars;
  std::string_view line;
  while (NextLine(line)) {
    // Comments, empty lines and lines of nothing but blanks are passed over.
    if (line.starts_with("#") || TrimColumn(line).empty()) continue;
    CatStarRec star;
    if (ParseRecord(line, star)) stars.push_back(std::move(star));
  }
  Parsed.AddSorted(stars);
  if (BadLines > 0) {
    // One box for the reply, not one for each of possibly thousands of lines.
    std::string text = std::string("Record contains non-numeric data, B1 entry skipped!") + CRLF +
                       CRLF + FirstBadLine;
    if (BadLines > 1)
      text += std::string(CRLF) + CRLF + "Entries skipped: " + std::to_string(BadLines);
    ShowError(platform_, ConversionCaption, text);
  }
  return true;
}

std::string_view B1CatObj::ColumnText(std::string_view line, std::size_t i) const {
  const OnlineColumn& c = Columns[i];
  if (c.Start == 0 && c.Length == 0) return "0.0";
  const std::size_t from = static_cast<std::size_t>(c.Start - 1);
  if (c.Start < 1 || from >= line.size()) return {};
  return line.substr(from, static_cast<std::size_t>(c.Length));
}

bool B1CatObj::ParseRecord(std::string_view line, CatStarRec& star) {
  star = CatStarRec{};
  std::array<float, 7> mags{};
  try {
    for (std::size_t i = 0; i < OnlineParmCount; ++i) {
      const std::string_view text = TrimColumn(ColumnText(line, i));
      if (i == OnlineParm::Id) {
        star.Name = std::string(text.substr(0, CatStarCap::Name));
      } else if (i == OnlineParm::RA) {
        star.RA = Sexagesimal ? FromSexagesimal(text, 1) : StrToFloat(text);
      } else if (i == OnlineParm::Dec) {
        if (Sexagesimal) {
          const std::int8_t sign = text.find('-') != std::string_view::npos ? -1 : 1;
          std::string_view rest = text;
          while (!rest.empty() &&
                 (rest.front() == '+' || rest.front() == '-' || IsBlank(rest.front())))
            rest.remove_prefix(1);
          star.Dec = FromSexagesimal(rest, sign);
        } else {
          star.Dec = StrToFloat(text);
        }
      } else if (text.empty()) {
        // A blank motion or magnitude is missing, not a fault: both catalogs
        // leave bands empty where they have no measure.
        continue;
      } else if (i == OnlineParm::MuRA) {
        star.PMRA = ToSingle(StrToFloat(text) / 1000.0L);
      } else if (i == OnlineParm::MuDec) {
        star.PMDec = ToSingle(StrToFloat(text) / 1000.0L);
      } else {
        mags[i - OnlineParm::FirstMag] = ToSingle(StrToFloat(text));
      }
    }
  } catch (const ConvertError&) {
    if (BadLines++ == 0) FirstBadLine = std::string(line);
    return false;
  }
  // The catalog's own position, kept inside the sky's bounds.
  ApplyProperMotion(star, 0);
  if (star.Name.empty()) star.Name = NameFromPosition(star.RA, star.Dec);

  const std::size_t color = CachedParms.Color < ColorCodeCount ? CachedParms.Color : 2;
  star.Band = ColorPassbands[color];
  star.Mag = mags[star.Band];
  star.Catalog = CatCode;
  star.PosErr = 0;
  star.UsePos = true;
  star.MagErr = 0.2f;
  star.Class = 0;
  star.Entries = 1;
  star.FieldX = star.FieldY = 0;
  star.ScreenX = star.ScreenY = 0;
  const bool usable = star.Mag != 0 && star.Mag < 30;
  star.UseMag = usable;
  return usable;
}

void B1CatObj::ApplyProperMotion(CatStarRec& star, long double years) {
  if (years != 0) {
    // The catalogs give the RA motion as mu-alpha cos(delta): on the sky,
    // not in RA.
    const long double cosDec = std::cos(star.Dec * std::numbers::pi_v<long double> / 180.0L);
    if (cosDec >= MinCosDecForMotion) star.RA += years * star.PMRA / cosDec / 54000.0L;
    star.Dec += years * star.PMDec / 3600.0L;
  }
  if (std::isfinite(star.RA)) {
    star.RA = std::fmod(star.RA, 24.0L);
    if (star.RA < 0) star.RA += 24.0L;
    if (star.RA >= 24.0L) star.RA = 0;
  }
  if (star.Dec > 90) star.Dec = 90;
  if (star.Dec < -90) star.Dec = -90;
}

std::string B1CatObj::NameFromPosition(long double ra, long double dec) {
  DMSRec r{};
  ToDMSRounded(r, 2, ra);
  if (r.Deg >= 24) r.Deg -= 24;
  DMSRec d{};
  ToDMSRounded(d, 1, dec);
  const auto two = [](std::int32_t v) { return ZeroPadded(v, 2); };
  const auto secs = [](long double s, int decimals) {
    std::string t = FormatFixed(decimals, s);
    return t.size() < static_cast<std::size_t>(decimals + 3) ? "0" + t : t;
  };
  return two(r.Deg) + two(r.Min) + secs(r.Sec, 2) + (d.Sign < 0 ? "-" : "+") + two(d.Deg) +
         two(d.Min) + secs(d.Sec, 1);
}

bool B1CatObj::InField(const CatStarRec& star, const FieldBoxRec& box) {
  return GSCFieldObj::InField(star, box);
}

bool B1CatObj::SelectField(const FieldBoxRec& box) {
  InfoShown info(CatName + " Catalog", "Searching " + CatName + " Catalog Data");
  Selected.Clear();
  MinMag = 25;
  MaxMag = -2;
  std::vector<CatStarRec> stars;
  for (const CatStarRec& cached : Parsed) {
    CatStarRec star = cached;
    ApplyProperMotion(star, Years);
    if (!InField(star, box)) continue;
    if (star.Mag < MinMag) MinMag = star.Mag;
    if (star.Mag > MaxMag) MaxMag = star.Mag;
    stars.push_back(std::move(star));
  }
  // Proper motions may move stars past one another, and across 0 h.
  Selected.AddSorted(stars);
  return Selected.Count() > 0;
}

void B1CatObj::CopyToField() {
  if (!GSCField) return;
  std::vector<CatStarRec> stars(Selected.begin(), Selected.end());
  GSCField->Stars.AddSorted(stars);
  if (MinMag < GSCField->MinMag) GSCField->MinMag = MinMag;
  if (MaxMag > GSCField->MaxMag) GSCField->MaxMag = MaxMag;
  GSCField->NumStars += static_cast<std::int32_t>(Selected.Count());
}

bool LoadOnlineField(Platform& platform, const OptsRec& settings, double t) {
  if (GSCField) {
    GSCField->InitSearch();
    GSCField->MinMag = 25.0f;
    GSCField->MaxMag = -2.0f;
  }
  if (!B1Cat) B1Cat = std::make_unique<B1CatObj>(platform, settings);
  if (B1Cat->RequestData(t) && B1Cat->SelectField(FieldBoxOf(CurFldParms))) B1Cat->CopyToField();
  return true;
}

}  // namespace hv
