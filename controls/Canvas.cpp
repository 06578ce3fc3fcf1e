#include "controls/Canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace hv {

Rect Rect::Inset(std::int32_t d) const {
  auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  };
  return Rect{clamp(std::int64_t{left} + d), clamp(std::int64_t{top} + d),
              clamp(std::int64_t{right} - d), clamp(std::int64_t{bottom} - d)};
}

double RayAngle(const Rect& box, Point p) {
  const double cx = (static_cast<double>(box.left) + box.right) / 2;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2;
  double a = std::atan2(-(p.y - cy), p.x - cx) * 180 / std::numbers::pi;
  return a < 0 ? a + 360 : a;
}

void EllipsePixels(const Rect& box, const Rect& clip, bool outline, double fromDeg, double spanDeg,
                   const std::function<void(std::int32_t, std::int32_t)>& put) {
  const double a = (static_cast<double>(box.right) - box.left) / 2;
  const double b = (static_cast<double>(box.bottom) - box.top) / 2;
  if (a <= 0 || b <= 0) return;
  const double cx = box.left + a, cy = box.top + b;
  const double ai = a - 1, bi = b - 1;  // the ellipse one pixel smaller
  const std::int64_t x0 = std::max<std::int64_t>(box.left, clip.left);
  const std::int64_t x1 = std::min<std::int64_t>(box.right, clip.right);
  const std::int64_t y0 = std::max<std::int64_t>(box.top, clip.top);
  const std::int64_t y1 = std::min<std::int64_t>(box.bottom, clip.bottom);
  const bool whole = spanDeg >= 360;
  for (std::int64_t y = y0; y < y1; ++y) {
    for (std::int64_t x = x0; x < x1; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if ((dx / a) * (dx / a) + (dy / b) * (dy / b) > 1) continue;
      if (outline) {
        if (ai > 0 && bi > 0 && (dx / ai) * (dx / ai) + (dy / bi) * (dy / bi) <= 1) continue;
        if (!whole) {
          double ang = std::atan2(-dy, dx) * 180 / std::numbers::pi;
          double rel = std::fmod(ang - fromDeg, 360.0);
          if (rel < 0) rel += 360;
          if (rel > spanDeg) continue;
        }
      }
      put(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    }
  }
}

}  // namespace hv
