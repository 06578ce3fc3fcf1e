#include "controls/Colors.h"

#include <algorithm>

namespace hv {

SystemColorTable::SystemColorTable() {
  colors_.fill(MakeColor(240, 240, 240));
  colors_[1] = MakeColor(0, 0, 0);         // desktop
  colors_[5] = MakeColor(255, 255, 255);   // window
  colors_[6] = MakeColor(100, 100, 100);   // window frame
  colors_[7] = MakeColor(0, 0, 0);         // menu text
  colors_[8] = MakeColor(0, 0, 0);         // window text
  colors_[9] = MakeColor(0, 0, 0);         // caption text
  colors_[13] = MakeColor(0, 120, 215);    // highlight
  colors_[14] = MakeColor(255, 255, 255);  // highlight text
  colors_[15] = MakeColor(240, 240, 240);  // button face
  colors_[16] = MakeColor(160, 160, 160);  // button shadow
  colors_[17] = MakeColor(109, 109, 109);  // grey text
  colors_[18] = MakeColor(0, 0, 0);        // button text
  colors_[20] = MakeColor(255, 255, 255);  // button highlight
  colors_[21] = MakeColor(105, 105, 105);  // 3-D dark shadow
  colors_[22] = MakeColor(227, 227, 227);  // 3-D light
  colors_[23] = MakeColor(0, 0, 0);        // tool-tip text
  colors_[24] = MakeColor(255, 255, 225);  // tool-tip background
}

void SystemColorTable::Set(std::size_t index, TColor plain) {
  if (index < kCount) colors_[index] = plain & 0xFFFFFF;
}

TColor SystemColorTable::Resolve(TColor c) const {
  if (!IsSystemColor(c)) return c & 0xFFFFFF;
  std::size_t index = c & 0xFF;
  // A reference with other bits set between the high and the low byte is no
  // system colour either.
  if ((c & 0x00FFFF00) != 0 || index >= kCount) return clBlack;
  return colors_[index];
}

TColor DimColor(TColor color, std::int32_t n) {
  auto dim = [n](std::int64_t part) -> std::int64_t {
    std::int64_t v = n >= 1 ? part / n : part * -static_cast<std::int64_t>(n);
    return std::clamp<std::int64_t>(v, 0, 255);
  };
  std::int64_t r = dim(RedOf(color)), g = dim(GreenOf(color)), b = dim(BlueOf(color));
  return static_cast<TColor>(r + g * 256 + b * 65536);
}

}  // namespace hv
