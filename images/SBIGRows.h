#pragma once
// The row coding of SBIG compressed image files.
#include <cstdint>
#include <span>
#include <vector>

namespace hv {

// Decodes one compressed row of byte count row.size() into raw values
// (before the pedestal is applied). A count of exactly 2 x width is a plain
// row of little-endian values; otherwise the first two bytes are an absolute
// value, then each byte is a signed difference, except 0x80, which is
// followed by a new absolute value. Returns false for a faulty row: a count
// above 2 x width or below 2, or an escape without its two bytes. The values
// decoded are appended either way; their number is not compared with the
// width (the caller's row-by-row filling simply goes on).
bool DecodeSBIGRow(std::span<const std::uint8_t> row, int width, std::vector<std::int32_t>& out);

}  // namespace hv
