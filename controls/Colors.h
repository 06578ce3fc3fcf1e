#pragma once
// Colours of the indicator controls: 0x00BBGGRR for plain colours (red in
// the low byte), or a system-colour reference with the high byte 0xFF whose
// low byte names the system colour. Painting always works on resolved
// (plain) colours.
#include <array>
#include <cstdint>

namespace hv {

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clBtnHighlight = 0xFF000014;

constexpr bool IsSystemColor(TColor c) { return (c >> 24) == 0xFF; }

constexpr std::uint8_t RedOf(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return TColor{r} | (TColor{g} << 8) | (TColor{b} << 16);
}

// The plain colours that system-colour references stand for, indexed by the
// reference's low byte. The widgets fill it from their palette; the defaults
// are the usual light desktop colours.
class SystemColorTable {
 public:
  static constexpr std::size_t kCount = 31;
  SystemColorTable();
  void Set(std::size_t index, TColor plain);
  // A plain colour as it is (high byte cleared); a system reference as its
  // entry, black when the index is unknown.
  TColor Resolve(TColor c) const;

 private:
  std::array<TColor, kCount> colors_{};
};

// Each of the colour's red, green and blue bytes divided by n (integer
// division) for n >= 1, multiplied by -n for n < 1, clamped to 0..255. The
// colour's low three bytes are taken as they are, so callers pass a resolved
// colour. Computed in 64 bits, so no n overflows. DimColor(lime, 3) = 21,760,
// DimColor(red, 3) = 85, n = 0 gives black, n = -2 doubles up to 255.
TColor DimColor(TColor color, std::int32_t n);

}  // namespace hv
