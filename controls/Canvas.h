#pragma once
// The drawing surface the indicator faces paint on. Boxes follow the
// desktop's convention: (left, top, right, bottom) with the right and bottom
// edges outside the box. Colours given here are resolved (plain).
#include <cstdint>
#include <functional>
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

// The pixels of the ellipse inscribed in box, within clip: with outline off
// every pixel whose centre lies inside the ellipse; with outline on the
// one-pixel ring inside it (inside the ellipse, not inside the ellipse one
// pixel smaller), keeping only the pixels whose centres lie on the
// counter-clockwise arc from fromDeg through spanDeg degrees (0 at three
// o'clock, counter-clockwise on screen). A rasteriser of our own, so that a
// face looks the same on every painter.
void EllipsePixels(const Rect& box, const Rect& clip, bool outline, double fromDeg, double spanDeg,
                   const std::function<void(std::int32_t x, std::int32_t y)>& put);

// The direction from the box's centre to p, in degrees in [0, 360).
double RayAngle(const Rect& box, Point p);

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
