#include "images/SBIGRows.h"

namespace hv {

bool DecodeSBIGRow(std::span<const std::uint8_t> row, int width, std::vector<std::int32_t>& out) {
  const std::size_t n = row.size();
  const std::size_t plain = 2 * static_cast<std::size_t>(width > 0 ? width : 0);
  auto u16 = [&](std::size_t i) {
    return static_cast<std::int32_t>(row[i] | (static_cast<unsigned>(row[i + 1]) << 8));
  };
  if (n == plain) {
    for (std::size_t i = 0; i + 1 < n; i += 2) out.push_back(u16(i));
    return width > 0;
  }
  if (n > plain || n < 2) return false;
  std::int32_t v = u16(0);
  out.push_back(v);
  std::size_t i = 2;
  while (i < n) {
    const std::uint8_t b = row[i++];
    if (b == 0x80) {
      if (i + 2 > n) return false;
      v = u16(i);
      i += 2;
    } else {
      // Differences stay small, so v cannot leave the 32-bit range within
      // one row of at most 65535 values.
      v += static_cast<std::int8_t>(b);
    }
    out.push_back(v);
  }
  return true;
}

}  // namespace hv
