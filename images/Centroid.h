#pragma once
// Star measuring on an image's pixel table: the detection threshold, the
// peak search and iterated cubic-weight centroid, the sky ring statistics
// and the box flux. All positions here are image pixels (column x = 0..W-1,
// row y = 0..H-1); the image window converts display coordinates and flips
// before it calls these.
//
// The pixel table is read through its GetCell(column, row); any type with
// that member serves (the image's IntArrayList in the program).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "support/Rounding.h"

namespace hv {

// An axis-aligned box of pixels, inclusive bounds.
struct PixelBox {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const { return x1 < x0 || y1 < y0; }
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
  PixelBox clipped(int w, int h) const {
    return {std::max(x0, 0), std::max(y0, 0), std::min(x1, w - 1), std::min(y1, h - 1)};
  }
};

// (x, y) +- d clipped to the image, formed in 64 bits: a wild position (a
// prediction far off the image) gives an empty box, not an overflow.
inline PixelBox ClippedBoxAround(long long x, long long y, long long d, int w, int h) {
  auto lo = [](long long v, int n) { return static_cast<int>(std::clamp<long long>(v, 0, n)); };
  auto hi = [](long long v, int n) {
    return static_cast<int>(std::clamp<long long>(v, -1, n - 1LL));
  };
  return {lo(x - d, w), lo(y - d, h), hi(x + d, w), hi(y + d, h)};
}
// The peak box and the photometry box: (x, y) +- half, clipped.
inline PixelBox BoxAround(int x, int y, int half, int w, int h) {
  return ClippedBoxAround(x, y, half, w, h);
}
// The outer box of the sky ring, formed before clipping.
inline PixelBox OuterBoxAround(int x, int y, int half, int border, int w, int h) {
  return ClippedBoxAround(x, y, static_cast<long long>(half) + border, w, h);
}

struct SkyRing {
  bool ok = false;  // at least two ring pixels
  long n = 0;
  long double mean = 0;  // sum / n
  long double sd = 0;    // sample standard deviation, a negative variance held at 0
};

// Sky ring statistics at image pixel (x, y): the pixels of the outer box
// (half + border) outside the inner box (half), both clipped to the image.
// Fewer than two ring pixels (a box as large as the image, a point outside
// it) give ok = false and no division.
template <class Cells>
SkyRing RingStats(const Cells& px, int w, int h, int x, int y, int half, int border) {
  const PixelBox inner = BoxAround(x, y, half, w, h);
  const PixelBox outer = OuterBoxAround(x, y, half, border, w, h);
  long double sum = 0, sumSq = 0;
  long n = 0;
  for (int row = outer.y0; row <= outer.y1; ++row)
    for (int col = outer.x0; col <= outer.x1; ++col) {
      if (inner.contains(col, row)) continue;
      const long double v = px.GetCell(col, row);
      sum += v;
      sumSq += v * v;
      ++n;
    }
  SkyRing r;
  r.n = n;
  if (n < 2) return r;
  r.ok = true;
  r.mean = sum / n;
  const long double var = (sumSq - sum * sum / n) / (n - 1);
  r.sd = var > 0 ? std::sqrt(var) : 0.0L;
  return r;
}

struct BoxSum {
  bool ok = false;       // false: sky asked for and no ring pixel to scale it
  long double sum = 0;   // raw sum of the inner box
  long nb = 0, nr = 0;   // inner and ring pixel counts
  long double flux = 0;  // sum minus the scaled ring sum (or the raw sum)
};

// Box flux at image pixel (x, y): the inner box sum minus, when subtractSky,
// the ring sum scaled to the box's pixel count.
template <class Cells>
BoxSum BoxFluxAt(const Cells& px, int w, int h, int x, int y, int half, int border,
                 bool subtractSky) {
  const PixelBox inner = BoxAround(x, y, half, w, h);
  const PixelBox outer = OuterBoxAround(x, y, half, border, w, h);
  long double boxSum = 0, ringSum = 0;
  BoxSum r;
  for (int row = outer.y0; row <= outer.y1; ++row)
    for (int col = outer.x0; col <= outer.x1; ++col) {
      const long double v = px.GetCell(col, row);
      if (inner.contains(col, row)) {
        boxSum += v;
        ++r.nb;
      } else {
        ringSum += v;
        ++r.nr;
      }
    }
  r.sum = boxSum;
  if (!subtractSky) {
    r.ok = r.nb > 0;
    r.flux = boxSum;
    return r;
  }
  if (r.nr < 1 || r.nb < 1) return r;
  r.ok = true;
  r.flux = boxSum - r.nb * ringSum / r.nr;
  return r;
}

struct CentroidFit {
  bool ok = false;
  long double cx = 0, cy = 0;  // image pixels
  int iterations = 0;
};

// Peak search over the box (x0, y0) +- halfBox, then up to 10 iterations of
// the cubic-weight centroid over the pixels within radius of the current
// integer centre. threshold is the detection level T.
template <class Cells>
CentroidFit CentroidAt(const Cells& px, int w, int h, int x0, int y0, int halfBox, int radius,
                       long double threshold) {
  CentroidFit fit;
  const PixelBox box = BoxAround(x0, y0, halfBox, w, h);
  long double best = 0;
  int peakX = 0, peakY = 0;
  for (int row = box.y0; row <= box.y1; ++row)
    for (int col = box.x0; col <= box.x1; ++col) {
      const long double d = px.GetCell(col, row) - threshold;
      if (d > best) {  // the first of equal maxima wins
        best = d;
        peakX = col;
        peakY = row;
      }
    }
  if (!(best > 0)) return fit;

  int cpx = peakX, cpy = peakY;
  for (int iter = 1; iter <= 10; ++iter) {
    const PixelBox win = BoxAround(cpx, cpy, radius, w, h);
    long double sw = 0, swx = 0, swy = 0;
    for (int row = win.y0; row <= win.y1; ++row)
      for (int col = win.x0; col <= win.x1; ++col) {
        const long double dx = col - cpx, dy = row - cpy;
        if (RoundHalfEven(std::sqrt(dx * dx + dy * dy)) > radius) continue;
        const long double v = px.GetCell(col, row);
        if (!(v > threshold)) continue;
        const long double a = 1000.0L * (v - threshold);
        const long double wgt = a * a * a;
        sw += wgt;
        swx += wgt * col;
        swy += wgt * row;
      }
    if (sw <= 1e-5L) return fit;
    const long double cx = swx / sw, cy = swy / sw;
    fit.iterations = iter;
    const int rx = RoundToInt32(cx), ry = RoundToInt32(cy);
    if ((rx == cpx && ry == cpy) || iter == 10) {
      fit.ok = true;
      fit.cx = cx;
      fit.cy = cy;
      return fit;
    }
    cpx = rx;
    cpy = ry;
  }
  return fit;
}

}  // namespace hv
