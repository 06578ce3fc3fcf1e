#pragma once
// An image window's display settings and the measuring box of the centroid
// and photometry. The settings file stores both byte for byte.
#include <cstddef>
#include <cstdint>

#include "support/Codec.h"

namespace hv {

constexpr std::size_t DispParmsRecSize = 40;
constexpr std::size_t BoxParmsRecSize = 3;

struct DispParmsRec {
  std::int32_t Brightness = 0;   // -50..50, round(bar x 0.5)
  std::int32_t Contrast = 0;     // -50..50, round(bar x 0.5)
  std::int32_t LowIndex = 64;    // palette index where the grey ramp starts: 64 - Brightness
  std::int32_t HighIndex = 127;  // LowIndex + round(63 x Factor)
  long double Factor = 1.0L;     // 1.5^(-Contrast / 10)
  float BkgOffset = -0.25f;      // low end in standard deviations from the mean, -2.5..2.5
  float Range = 2.0f;            // displayed range in standard deviations, 1..6
  bool FlipX = false;
  bool FlipY = false;
  bool Invert = false;
  bool OrigOn = true;           // "Original Display" LED
  bool DefaultOn = true;        // "Default Settings" LED
  std::uint8_t FromHeader = 0;  // 0 statistical estimate, 1 header values

  bool operator==(const DispParmsRec&) const = default;
};

struct BoxParmsRec {
  std::int8_t HalfBox = 10;   // half width of the peak-search box
  std::int8_t Radius = 10;    // centroid radius, image pixels
  std::int8_t SkyBorder = 5;  // width of the sky border, image pixels

  bool operator==(const BoxParmsRec&) const = default;
};

void EncodeDispParmsRec(Encoder& e, const DispParmsRec& r);
void EncodeBoxParmsRec(Encoder& e, const BoxParmsRec& r);
// DecodeError when the bytes end early; the values are not checked here.
DispParmsRec DecodeDispParmsRec(Decoder& d);
BoxParmsRec DecodeBoxParmsRec(Decoder& d);

// The settings' defaults (what a default-constructed record holds).
DispParmsRec DefaultDispParms();
BoxParmsRec DefaultBoxParms();

// Whether values read from a file are safe to render with: brightness and
// contrast within +-50, the palette indices in 0..255 with the ramp's end
// above its start (by at most 500), a finite factor of 0.1..10, offset within +-2.5, range 1..6
// and a source of 0 or 1.
bool DispParmsValid(const DispParmsRec& r);
// Half width 1..10, centroid radius 1..half width, sky border 2..10.
bool BoxParmsValid(const BoxParmsRec& r);

}  // namespace hv
