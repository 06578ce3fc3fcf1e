#pragma once
// The pieces of a synthetic Guide Star Catalog: a tiling of the sky into the
// catalog's 9537 regions (each declination zone cut into bands, each band
// into equal slices of right ascension, numbered from the equator outward
// and by ascending RA), the regions table as a FITS ASCII table, and region
// files of 45-byte rows. The sample-catalog tool and the converter's
// benchmark share them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "images/FITSWriter.h"
#include "support/Format.h"

namespace hv::sample {

constexpr std::size_t kTableRowWidth = 48;
constexpr long double kZoneHeight = 7.5L;  // degrees

inline std::string Right(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(text.size() - width));
  return std::string(width - text.size(), ' ') + std::string(text);
}

// "hh mm ss.ss" of an RA edge given in hundredths of a second of time; 24 h
// is written as 00 00 00.00, as the catalog's table does.
inline std::string RAEdgeText(std::int64_t cs) {
  cs %= 8640000;
  const std::int64_t h = cs / 360000, m = cs / 6000 % 60, s = cs % 6000;
  return ZeroPadded(h, 2) + " " + ZeroPadded(m, 2) + " " + ZeroPadded(s / 100, 2) + "." +
         ZeroPadded(s % 100, 2);
}

// "+dd mm.m" of a Dec edge given in tenths of an arc minute.
inline std::string DecEdgeText(std::int64_t tenths) {
  const char sign = tenths < 0 ? '-' : '+';
  const std::int64_t a = tenths < 0 ? -tenths : tenths;
  return std::string(1, sign) + ZeroPadded(a / 600, 2) + " " + ZeroPadded(a % 600 / 10, 2) + "." +
         ZeroPadded(a % 10, 1);
}

// The tiling: the table's rows (entry r is region r; entry 0 unused) and the
// boxes the readers make of them.
struct Tiling {
  std::vector<std::string> rows;
  std::vector<GSCRgnRec> boxes;
  // First and last region of each band of each zone, for finding a star's
  // region quickly.
  struct Band {
    int zone;
    std::int32_t first, last;
    double decLow, decHigh;
  };
  std::vector<Band> bands;

  // The region holding the position (RA hours, Dec degrees); 0 when none.
  std::int32_t RegionOf(long double ra, long double dec) const {
    for (const Band& b : bands) {
      if (dec < b.decLow || dec > b.decHigh) continue;
      for (std::int32_t r = b.first; r <= b.last; ++r) {
        const GSCRgnRec& g = boxes[static_cast<std::size_t>(r)];
        if (ra >= g.RALow && ra < g.RAHigh) return r;
      }
    }
    return 0;
  }
};

inline Tiling MakeTiling() {
  Tiling t;
  t.rows.resize(GSCRegionCount + 1);
  t.boxes.resize(GSCRegionCount + 1);
  for (int k = 1; k <= 24; ++k) {
    const std::int32_t first = GSCZoneBounds[static_cast<std::size_t>(k - 1)] + 1;
    const std::int32_t last = GSCZoneBounds[static_cast<std::size_t>(k)];
    const std::int32_t n = last - first + 1;
    const bool south = k > 12;
    const int j = south ? k - 13 : k - 1;  // zones from the equator
    const long double mid = (j + 0.5L) * kZoneHeight * 3.14159265358979323846L / 180;
    // Bands chosen so that regions come out roughly square.
    const long double ideal = std::sqrt(n * kZoneHeight / (360 * std::cos(mid)));
    const int d = std::clamp(static_cast<int>(std::nearbyint(ideal)), 1, 6);
    std::int32_t r = first;
    for (int band = 0; band < d; ++band) {
      const std::int32_t m = n / d + (band < n % d ? 1 : 0);
      // Edges in tenths of an arc minute, the nearer to the equator first.
      const std::int64_t e0 = j * 4500 + 4500LL * band / d;
      const std::int64_t e1 = j * 4500 + 4500LL * (band + 1) / d;
      const std::string dec0 = DecEdgeText(south ? -e0 : e0);
      const std::string dec1 = DecEdgeText(south ? -e1 : e1);
      Tiling::Band b{k, r, r + m - 1, 0, 0};
      for (std::int32_t i = 0; i < m; ++i, ++r) {
        std::string row(kTableRowWidth, ' ');
        row.replace(0, 5, ZeroPadded(r, 5));
        row.replace(7, 11, RAEdgeText((8640000LL * i + m / 2) / m));
        row.replace(19, 11, RAEdgeText((8640000LL * (i + 1) + m / 2) / m));
        row.replace(31, 8, dec0);
        row.replace(40, 8, dec1);
        t.boxes[static_cast<std::size_t>(r)] = GSCRgnsTblObj::ParseRegionRow(row);
        t.rows[static_cast<std::size_t>(r)] = std::move(row);
      }
      b.decLow = t.boxes[static_cast<std::size_t>(b.first)].DecLow;
      b.decHigh = t.boxes[static_cast<std::size_t>(b.first)].DecHigh;
      t.bands.push_back(b);
    }
  }
  return t;
}

// The regions table file: an empty primary header, then the ASCII table.
inline std::vector<std::uint8_t> RegionsTableFile(const Tiling& t) {
  FITSWriter w;
  w.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  w.Str("DATE-OBS", "2026-01-01").End();
  w.Str("XTENSION", "TABLE").Int("BITPIX", 8).Int("NAXIS", 2);
  w.Int("NAXIS1", static_cast<std::int64_t>(kTableRowWidth)).Int("NAXIS2", GSCRegionCount);
  w.Int("PCOUNT", 0).Int("GCOUNT", 1).Int("TFIELDS", 5);
  const char* names[] = {"REG_NO", "RA_LOW", "RA_HIGH", "DEC_A", "DEC_B"};
  const int cols[] = {1, 8, 20, 32, 41};
  const char* forms[] = {"I5", "A11", "A11", "A8", "A8"};
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i + 1);
    w.Str("TTYPE" + n, names[i]).Int("TBCOL" + n, cols[i]).Str("TFORM" + n, forms[i]);
  }
  w.Str("EXTNAME", "REGIONS").Str("DATE-OBS", "2026-01-01").End();
  std::string data;
  for (std::int32_t r = 1; r <= GSCRegionCount; ++r) data += t.rows[static_cast<std::size_t>(r)];
  data.resize((data.size() + 2879) / 2880 * 2880, ' ');
  w.U8(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
  return w.Take();
}

// One entry of a region file.
struct Entry {
  std::string id;  // up to 5 characters
  long double raDeg = 0, dec = 0;
  long double posErr = 0.3L, mag = 15, magErr = 0.2L;
  int cls = 0;
};

// A 45-byte row.
inline std::string RowText(const Entry& e) {
  std::string row = Right(e.id, 5);
  row += Right(FormatFixed(5, e.raDeg), 9);
  row += Right(FormatFixed(5, e.dec), 9);
  row += Right(FormatFixed(1, e.posErr), 5);
  row += Right(FormatFixed(2, e.mag), 5);
  row += Right(FormatFixed(2, e.magErr), 4);
  row += " 1";  // band of the magnitude
  row += static_cast<char>('0' + e.cls);
  row += "A0SYF";  // plate and multiple flag, not read
  return row;
}

// A region file: primary header, the table's header (the two fill the three
// blocks the readers skip), the rows, and blank-ID rows to the block's end.
inline std::vector<std::uint8_t> RegionFile(std::int32_t r, const std::vector<Entry>& entries) {
  FITSWriter w;
  w.Logical("SIMPLE", true).Int("BITPIX", 8).Int("NAXIS", 0).Logical("EXTEND", true);
  w.Str("DATE-OBS", "2026-01-01").End();
  w.Str("XTENSION", "TABLE").Int("BITPIX", 8).Int("NAXIS", 2);
  w.Int("NAXIS1", static_cast<std::int64_t>(GSCRawRowSize));
  w.Int("NAXIS2", static_cast<std::int64_t>(entries.size()));
  w.Int("PCOUNT", 0).Int("GCOUNT", 1).Int("TFIELDS", 10);
  const char* names[] = {"GSC_ID",  "RA_DEG",   "DEC_DEG", "POS_ERR",  "MAG",
                         "MAG_ERR", "MAG_BAND", "CLASS",   "PLATE_ID", "MULTIPLE"};
  const int cols[] = {1, 6, 15, 24, 29, 34, 38, 40, 41, 45};
  const char* forms[] = {"I5", "F9.5", "F9.5", "F5.1", "F5.2", "F4.2", "I2", "I1", "A4", "A1"};
  const char* units[] = {"", "DEGREES", "DEGREES", "ARCSEC", "MAG", "MAG", "", "", "", ""};
  for (int i = 0; i < 10; ++i) {
    const std::string n = std::to_string(i + 1);
    w.Str("TTYPE" + n, names[i]).Int("TBCOL" + n, cols[i]).Str("TFORM" + n, forms[i]);
    w.Str("TUNIT" + n, units[i]);
  }
  w.Str("EXTNAME", GSCRegionFileName(r, ".GSC")).End();
  std::vector<std::uint8_t> bytes = w.Take();
  bytes.resize(GSCRawHeaderSize, ' ');
  std::string data;
  for (const Entry& e : entries) data += RowText(e);
  data.resize((data.size() + 2879) / 2880 * 2880, ' ');
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// Uniform deviates of our own, so every standard library gives the same
// catalog.
class Uniform {
 public:
  explicit Uniform(std::uint32_t seed) : gen_(seed) {}
  long double operator()() { return (static_cast<long double>(gen_()) + 0.5L) / 4294967296.0L; }

 private:
  std::mt19937 gen_;
};

// A region of a whole synthetic catalog: about `stars` objects spread over
// the region's box (in the order of their IDs, so not in RA order), one in
// eight entered twice and one in forty thrice, one in fifty non-stellar.
inline std::vector<Entry> SyntheticRegion(const GSCRgnRec& box, std::int32_t r, int stars) {
  Uniform u(static_cast<std::uint32_t>(r) * 2654435761u + 12345u);
  std::vector<Entry> out;
  out.reserve(static_cast<std::size_t>(stars) * 5 / 4);
  for (int i = 1; i <= stars; ++i) {
    Entry e;
    e.id = ZeroPadded(i, 5);
    e.raDeg = (box.RALow + u() * (box.RAHigh - box.RALow)) * 15;
    e.dec = box.DecLow + u() * (box.DecHigh - box.DecLow);
    e.mag = 9 + 7 * std::cbrt(u());
    e.posErr = 0.2L + 0.05L * (e.mag - 9);
    e.magErr = 0.1L + 0.03L * (e.mag - 9);
    e.cls = u() < 0.02L ? 3 : 0;
    const long double k = u();
    const int copies = k < 0.025L ? 3 : k < 0.125L ? 2 : 1;
    for (int c = 0; c < copies; ++c) {
      Entry x = e;
      x.raDeg += (c - (copies - 1) / 2.0L) * 0.00014L;
      out.push_back(x);
    }
  }
  return out;
}

}  // namespace hv::sample
