#include "controls/Canvas.h"

#include <algorithm>
#include <limits>

namespace hv {

Rect Rect::Inset(std::int32_t d) const {
  auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  };
  return Rect{clamp(std::int64_t{left} + d), clamp(std::int64_t{top} + d),
              clamp(std::int64_t{right} - d), clamp(std::int64_t{bottom} - d)};
}

}  // namespace hv
