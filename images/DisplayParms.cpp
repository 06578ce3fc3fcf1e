#include "images/DisplayParms.h"

#include <cmath>

namespace hv {

void EncodeDispParmsRec(Encoder& e, const DispParmsRec& r) {
  e.i32(r.Brightness);
  e.i32(r.Contrast);
  e.i32(r.LowIndex);
  e.i32(r.HighIndex);
  e.ext(r.Factor);
  e.f32(r.BkgOffset);
  e.f32(r.Range);
  e.boolean(r.FlipX);
  e.boolean(r.FlipY);
  e.boolean(r.Invert);
  e.boolean(r.OrigOn);
  e.boolean(r.DefaultOn);
  e.u8(r.FromHeader);
}

DispParmsRec DecodeDispParmsRec(Decoder& d) {
  DispParmsRec r;
  r.Brightness = d.i32();
  r.Contrast = d.i32();
  r.LowIndex = d.i32();
  r.HighIndex = d.i32();
  r.Factor = d.ext();
  r.BkgOffset = d.f32();
  r.Range = d.f32();
  r.FlipX = d.boolean();
  r.FlipY = d.boolean();
  r.Invert = d.boolean();
  r.OrigOn = d.boolean();
  r.DefaultOn = d.boolean();
  r.FromHeader = d.u8();
  return r;
}

void EncodeBoxParmsRec(Encoder& e, const BoxParmsRec& r) {
  e.i8(r.HalfBox);
  e.i8(r.Radius);
  e.i8(r.SkyBorder);
}

BoxParmsRec DecodeBoxParmsRec(Decoder& d) {
  BoxParmsRec r;
  r.HalfBox = d.i8();
  r.Radius = d.i8();
  r.SkyBorder = d.i8();
  return r;
}

DispParmsRec DefaultDispParms() { return DispParmsRec{}; }
BoxParmsRec DefaultBoxParms() { return BoxParmsRec{}; }

bool DispParmsValid(const DispParmsRec& r) {
  auto within = [](long double v, long double lo, long double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
  };
  // The factor of contrast +-50 is 1.5^-+5 (0.13..7.6); a little slack for
  // values a future dialog might compute differently.
  return r.Brightness >= -50 && r.Brightness <= 50 && r.Contrast >= -50 && r.Contrast <= 50 &&
         r.LowIndex >= 0 && r.LowIndex <= 255 && r.HighIndex > r.LowIndex &&
         r.HighIndex <= r.LowIndex + 500 && within(r.Factor, 0.1L, 10.0L) &&
         within(r.BkgOffset, -2.5L, 2.5L) && within(r.Range, 1.0L, 6.0L) && r.FromHeader <= 1;
}

bool BoxParmsValid(const BoxParmsRec& r) {
  return r.HalfBox >= 1 && r.HalfBox <= 10 && r.Radius >= 1 && r.Radius <= r.HalfBox &&
         r.SkyBorder >= 2 && r.SkyBorder <= 10;
}

}  // namespace hv
