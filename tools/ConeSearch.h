#pragma once
// Cone-search replies computed from a star list (data/sample_stars.txt), in
// the layout of the online service's ASCII tables for NOMAD and USNO-B1.0:
// header lines, "#END", the column header line, the position-format line,
// then one line per star in ascending RA. The cone-search tool serves them,
// and the tests use them as canned replies.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Format.h"
#include "tools/StarList.h"

namespace hv::cone {

struct Star {
  std::string id;
  long double ra = 0;   // hours, J2000
  long double dec = 0;  // degrees
  std::optional<float> b, v, r;
  float muRA = 0, muDec = 0;  // milli-arc-seconds per year; mu-alpha cos(delta)
};

// The sample star list; empty when it cannot be read.
inline std::vector<Star> ReadStars(const std::filesystem::path& file) {
  std::vector<sample::ListedStar> listed;
  std::vector<Star> stars;
  if (!sample::ReadStarList(file, listed)) return stars;
  for (const sample::ListedStar& l : listed) {
    Star s;
    s.id = l.id;
    s.ra = l.ra;
    s.dec = l.dec;
    s.b = static_cast<float>(l.b);
    s.v = static_cast<float>(l.v);
    s.r = static_cast<float>(l.r);
    stars.push_back(s);
  }
  return stars;
}

struct Query {
  std::string cat = "NOMAD";
  long double ra = 0, dec = 0;  // degrees
  long double radius = 0;       // degrees
  std::string band;
  long double bright = -99, faint = 99;
};

// The query keys of a request target ("/path?CAT=NOMAD&RA=...").
inline std::optional<Query> ParseQuery(std::string_view target) {
  const std::size_t q = target.find('?');
  if (q == std::string_view::npos) return std::nullopt;
  std::map<std::string, std::string> keys;
  std::string_view rest = target.substr(q + 1);
  while (!rest.empty()) {
    const std::size_t amp = std::min(rest.find('&'), rest.size());
    const std::string_view kv = rest.substr(0, amp);
    const std::size_t eq = kv.find('=');
    if (eq != std::string_view::npos) keys[std::string(kv.substr(0, eq))] = kv.substr(eq + 1);
    rest.remove_prefix(std::min(amp + 1, rest.size()));
  }
  Query out;
  try {
    if (keys.count("CAT")) out.cat = keys["CAT"];
    out.ra = StrToFloat(keys.at("RA"));
    out.dec = StrToFloat(keys.at("DEC"));
    out.radius = StrToFloat(keys.at("SR"));
    if (keys.count("clr")) out.band = keys["clr"];
    if (keys.count("bri") && !keys["bri"].empty()) out.bright = StrToFloat(keys["bri"]);
    if (keys.count("fai") && !keys["fai"].empty()) out.faint = StrToFloat(keys["fai"]);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return out;
}

// How a reply is laid out.
struct Layout {
  bool sexagesimal = false;  // "hh mm ss" / "dd mm ss" positions
  bool bars = true;          // "|" under the header's bars (else blanks)
  bool crlf = false;         // CR LF line ends
};

namespace detail {

// A column: its header name (leading blank, no bar) and width with the bar.
struct Column {
  std::string name;
  std::size_t width;
};

inline std::string Pad(std::string_view s, std::size_t width) {
  return s.size() >= width ? std::string(s) : std::string(width - s.size(), ' ') + std::string(s);
}

inline std::string Mag(const std::optional<float>& m) {
  return m ? FormatFixed(2, *m) : std::string();
}

inline std::string Sexa(long double v, bool sign, int decimals) {
  DMSRec r{};
  ToDMSRounded(r, decimals, std::fabs(v));
  const auto two = [](int x) { return ZeroPadded(x, 2); };
  std::string sec = FormatFixed(decimals, r.Sec);
  if (r.Sec < 10) sec = "0" + sec;
  std::string s = sign ? (v < 0 ? "-" : "+") : "";
  return s + two(r.Deg) + " " + two(r.Min) + " " + sec;
}

inline long double Separation(long double ra1, long double dec1, long double ra2,
                              long double dec2) {  // degrees in, degrees out
  constexpr long double k = std::numbers::pi_v<long double> / 180.0L;
  const long double c = std::sin(dec1 * k) * std::sin(dec2 * k) +
                        std::cos(dec1 * k) * std::cos(dec2 * k) * std::cos((ra1 - ra2) * k);
  return std::acos(std::clamp(c, -1.0L, 1.0L)) / k;
}

}  // namespace detail

// The stars of the cone, brighter than the faint limit in the asked band,
// in ascending RA.
inline std::vector<Star> Select(const std::vector<Star>& stars, const Query& q) {
  std::vector<Star> out;
  for (const Star& s : stars) {
    if (detail::Separation(s.ra * 15.0L, s.dec, q.ra, q.dec) > q.radius) continue;
    std::optional<float> m;
    if (q.band == "B" || q.band == "B2") m = s.b;
    if (q.band == "V") m = s.v;
    if (q.band == "R" || q.band == "R2") m = s.r;
    if (m && (*m > q.faint || *m < q.bright)) continue;
    out.push_back(s);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Star& a, const Star& b) { return a.ra < b.ra; });
  return out;
}

// The reply to q from the star list.
inline std::string Reply(const std::vector<Star>& stars, const Query& q,
                         const Layout& layout = {}) {
  using detail::Column;
  const bool usno = q.cat.starts_with("USNO");
  const std::size_t posWidth = layout.sexagesimal ? 14 : 12;
  std::vector<Column> cols = {
      {" id", 14}, {" RA", posWidth}, {" DEC", posWidth}, {" MuRA", 7}, {" MuDEC", 7}};
  const std::vector<std::string> bands =
      usno ? std::vector<std::string>{" B2", " R2", " I2"}
           : std::vector<std::string>{" B", " V", " R", " J", " H", " K"};
  for (const auto& b : bands) cols.push_back({b, 8});

  const std::string eol = layout.crlf ? "\r\n" : "\n";
  const std::vector<Star> chosen = Select(stars, q);
  std::string out;
  out += "#  USNO-NVO cone search on the loopback interface" + eol;
  out += "#  Catalog " + q.cat + ", " + std::to_string(chosen.size()) + " objects" + eol;
  out += "#  Centre " + FormatFixed(6, q.ra) + " " + FormatFixed(6, q.dec) + ", radius " +
         FormatFixed(4, q.radius) + " degrees" + eol;
  out += "#END" + eol;
  std::string header;
  for (const Column& c : cols) header += detail::Pad(c.name, c.width - 1) + "|";
  out += header + eol;
  out += (layout.sexagesimal ? "  RA: hh mm ss.sss   DEC: dd mm ss.ss" : "  hh.hhh/dd.ddd") + eol;

  const char bar = layout.bars ? '|' : ' ';
  for (const Star& s : chosen) {
    std::vector<std::string> v;
    v.push_back(s.id);
    v.push_back(layout.sexagesimal ? detail::Sexa(s.ra, false, 3) : FormatFixed(7, s.ra));
    v.push_back(layout.sexagesimal ? detail::Sexa(s.dec, true, 2)
                                   : (s.dec < 0 ? "" : "+") + FormatFixed(6, s.dec));
    v.push_back(FormatFixed(0, s.muRA));
    v.push_back(FormatFixed(0, s.muDec));
    if (usno) {
      v.insert(v.end(), {detail::Mag(s.b), detail::Mag(s.r), std::string()});
    } else {
      v.insert(v.end(), {detail::Mag(s.b), detail::Mag(s.v), detail::Mag(s.r), std::string(),
                         std::string(), std::string()});
    }
    std::string line;
    for (std::size_t i = 0; i < cols.size(); ++i)
      line += detail::Pad(v[i], cols[i].width - 1) + bar;
    out += line + eol;
  }
  return out;
}

}  // namespace hv::cone
