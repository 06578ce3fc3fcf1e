#include "astrometry/GSCWrite.h"

#include <algorithm>

#include "support/Codec.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

std::vector<std::uint8_t> EncodeGSCBinFile(std::span<const CatStarRec> stars) {
  Encoder e;
  for (const CatStarRec& s : stars) {
    GSCBinRec b = GSCBinRecOf(s);
    b.Reserved = 0;
    b.Zero = 0;
    EncodeGSCBinRec(e, b);
  }
  return e.take();
}

void WriteGSCBinFile(const fs::path& file, std::span<const CatStarRec> stars) {
  WriteFileAtomic(file, EncodeGSCBinFile(stars));
}

std::vector<std::uint8_t> EncodeRegionsBin(const LinkListObj<GSCRgnRec>& regions) {
  Encoder e;
  for (GSCRgnRec r : regions) {
    r.Spare = 0;
    EncodeGSCRgnRec(e, r);
  }
  return e.take();
}

void WriteRegionsBin(const fs::path& file, const LinkListObj<GSCRgnRec>& regions) {
  WriteFileAtomic(file, EncodeRegionsBin(regions));
}

void MergeGSCRows(std::span<const CatStarRec> rows, std::vector<CatStarRec>& stars) {
  stars.clear();
  std::size_t i = 0;
  while (i < rows.size()) {
    GSCEntryMerge merge;
    const std::string& name = rows[i].Name;
    std::size_t j = i;
    for (; j < rows.size() && rows[j].Name == name; ++j) merge.Add(rows[j]);
    stars.push_back(merge.Star());
    i = j;
  }
  // Rows come close to RA order, but a sort keeps the cost n log n whatever
  // their order.
  std::stable_sort(stars.begin(), stars.end(),
                   [](const CatStarRec& a, const CatStarRec& b) { return a.RA < b.RA; });
}

void ReadGSCRegionRows(std::span<const std::uint8_t> file, std::vector<CatStarRec>& rows) {
  rows.clear();
  if (file.size() <= GSCRawHeaderSize) return;
  std::size_t number = 0;
  for (std::size_t at = GSCRawHeaderSize; file.size() - at >= GSCRawRowSize; at += GSCRawRowSize) {
    ++number;
    const std::string_view row(reinterpret_cast<const char*>(file.data() + at), GSCRawRowSize);
    // The filler after the last star.
    if (row.substr(0, 5).find_first_not_of(' ') == std::string_view::npos) break;
    CatStarRec star;
    try {
      GSCFieldObj::ParseGSCRow(row, star);
    } catch (const ConvertError&) {
      throw ConvertError("row " + std::to_string(number));
    }
    rows.push_back(std::move(star));
  }
}

void ConvertGSCRegionFile(const fs::path& input, const fs::path& output, GSCMergeBuffers& buffers) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(input);
  ReadGSCRegionRows(bytes, buffers.rows);
  MergeGSCRows(buffers.rows, buffers.stars);
  WriteGSCBinFile(output, buffers.stars);
}

}  // namespace hv
