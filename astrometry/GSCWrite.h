#pragma once
// The writers of the converted catalog (region files of GSCBinRec records
// and "REGIONS.BIN") and the conversion of one region file of the catalog's
// own form into a converted one. The converter and the sample-catalog tool
// both write through these, so there is one writer.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "support/LinkList.h"

namespace hv {

// A catalog path given with "\" separators (a zone folder such as
// "GSC\N0730\") under a folder of this system.
std::filesystem::path GSCPathUnder(const std::filesystem::path& folder, std::string_view relative);

// The records of merged stars (RA in hours, in file order), reserved bytes
// zero, so that equal stars give equal bytes.
std::vector<std::uint8_t> EncodeGSCBinFile(std::span<const CatStarRec> stars);
// Written to a temporary file beside the target and renamed over it;
// FileError when that fails.
void WriteGSCBinFile(const std::filesystem::path& file, std::span<const CatStarRec> stars);

// Entry 0 first, as the table holds them; spare fields zero.
std::vector<std::uint8_t> EncodeRegionsBin(const LinkListObj<GSCRgnRec>& regions);
void WriteRegionsBin(const std::filesystem::path& file, const LinkListObj<GSCRgnRec>& regions);

// The converter's own merge buffers (the field list of the current
// measurement is never touched): the rows of one region and its merged
// stars, kept between regions to reuse their memory.
struct GSCMergeBuffers {
  std::vector<CatStarRec> rows;   // RA in degrees, file order
  std::vector<CatStarRec> stars;  // RA in hours, ascending
};

// Merges consecutive rows of one name and sorts the stars by RA; stars of
// equal RA keep their order (as the field list's ordered insertion of
// ascending input does).
void MergeGSCRows(std::span<const CatStarRec> rows, std::vector<CatStarRec>& stars);

// The rows of a region file of the catalog's own form (the whole file's
// bytes): from byte 8640 on, 45 bytes each, until a row whose ID is five
// blanks, a cut row or the end. Each row is parsed with its plain 5-character
// ID. Throws ConvertError naming the row (counted from 1) when a field is
// not a number.
void ReadGSCRegionRows(std::span<const std::uint8_t> file, std::vector<CatStarRec>& rows);

// Whether a region file of the catalog's own form may hold a star: false
// only when the file can be read and has no first row (too short, or the
// filler's blank ID at once). A restart cannot trust an empty output
// without this.
bool GSCRegionMayHoldStars(const std::filesystem::path& input);

// One region converted without any question: reads input, merges and writes
// output atomically. Throws FileError (input unreadable or output not
// written; path() names which) or ConvertError (a row); no output is left
// then.
void ConvertGSCRegionFile(const std::filesystem::path& input, const std::filesystem::path& output,
                          GSCMergeBuffers& buffers);

}  // namespace hv
