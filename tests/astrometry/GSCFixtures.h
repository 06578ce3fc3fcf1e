#pragma once
// Small Guide Star Catalog files made in the tests: rows of the catalog's
// own region files, converted records and regions-table rows.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "astrometry/GSCField.h"
#include "support/Codec.h"
#include "support/Format.h"

namespace hv::test {

// The text right-aligned in width columns (cut on the left when longer).
inline std::string Right(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(text.size() - width));
  return std::string(width - text.size(), ' ') + std::string(text);
}

// One 45-byte row of a catalog region file.
inline std::string GSCRow(std::string_view id, double raDeg, double decDeg, double posErr,
                          double mag, double magErr, int cls) {
  std::string row = Right(id, 5);
  row += Right(FormatFixed(5, raDeg), 9);
  row += Right(FormatFixed(5, decDeg), 9);
  row += Right(FormatFixed(1, posErr), 5);
  row += Right(FormatFixed(2, mag), 5);
  row += Right(FormatFixed(2, magErr), 4);
  row += "  ";
  row += static_cast<char>('0' + cls);
  row += "  001";
  return row;
}

// A region file: a blank header of three blocks, then the rows.
inline std::vector<std::uint8_t> GSCRegionFile(const std::vector<std::string>& rows) {
  std::string s(GSCRawHeaderSize, ' ');
  for (const auto& r : rows) s += r;
  return {s.begin(), s.end()};
}

inline std::vector<std::uint8_t> BinFile(const std::vector<GSCBinRec>& recs) {
  Encoder e;
  for (const auto& r : recs) EncodeGSCBinRec(e, r);
  return e.take();
}

inline GSCBinRec Bin(std::int32_t ra, std::int32_t dec, std::int16_t mag, std::string id,
                     std::uint8_t cls = 0, std::uint8_t entries = 1, std::int16_t posErr = 3,
                     std::int16_t magErr = 20) {
  GSCBinRec b;
  b.RA = ra;
  b.Dec = dec;
  b.Mag = mag;
  b.ID = std::move(id);
  b.Class = cls;
  b.Entries = entries;
  b.PosErr = posErr;
  b.MagErr = magErr;
  return b;
}

// A 48-byte regions-table row from its texts: RA edges "hh mm ss.ss", Dec
// edges "+dd mm.m".
inline std::string RegionRow(std::string_view raLow, std::string_view raHigh, std::string_view decA,
                             std::string_view decB) {
  std::string row(48, ' ');
  row.replace(0, 5, "00001");
  row.replace(7, raLow.size(), raLow);
  row.replace(19, raHigh.size(), raHigh);
  row.replace(31, decA.size(), decA);
  row.replace(40, decB.size(), decB);
  return row;
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace hv::test
