#pragma once
// The drawing surface the indicator faces paint on. Boxes follow the
// desktop's convention: (left, top, right, bottom) with the right and bottom
// edges outside the box. Colours given here are resolved (plain).
#include <cstdint>
#include <string>

#include "controls/Colors.h"

namespace hv {

struct Point {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
  // Shrunk by d on every side, in 64 bits so that no size overflows.
  Rect Inset(std::int32_t d) const;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Fills the box, right and bottom edges excluded.
  virtual void FillRect(const Rect& box, TColor color) = 0;
  // The ellipse inscribed in the box, filled with brush and outlined with pen.
  virtual void Ellipse(const Rect& box, TColor brush, TColor pen) = 0;
  // The counter-clockwise arc of the ellipse inscribed in the box, from the
  // ray through start to the ray through end (seen from the box's centre).
  virtual void Arc(const Rect& box, Point start, Point end, TColor pen) = 0;
  // A two-pixel three-dimensional edge round the box.
  virtual void Edge(const Rect& box, bool raised) = 0;
  // Resolves a system-colour reference through the surface's palette.
  virtual TColor Resolve(TColor color) const = 0;
};

}  // namespace hv
