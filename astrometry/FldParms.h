#pragma once
// The catalog request of the run: field centre, size, limiting magnitude,
// colour band and the search box derived from them.
#include <array>
#include <cstdint>
#include <string_view>

#include "app/Options.h"

namespace hv {

// Colour band of the field, in the order of the dialog's radio items.
enum class ColorCode : std::uint8_t { Blue = 0, Visual = 1, Red = 2, J = 3, H = 4, K = 5 };
constexpr std::uint8_t ColorCodeCount = 6;
extern const std::array<std::string_view, ColorCodeCount> ColorCaptions;  // "&Blue" ...
// Band letter ("B", "V", "R", "J", "H", "K") and its PassbandCode.
extern const std::array<std::string_view, ColorCodeCount> ColorBands;
extern const std::array<std::uint8_t, ColorCodeCount> ColorPassbands;

struct FldParmsRec {
  double RAMin = 0;  // search box, hours 0..24; RAMin > RAMax when it straddles 0 h
  double RAMax = 0;
  double DecMin = 0;  // degrees
  double DecMax = 0;
  float MagLimit = 0;  // faintest magnitude the field filters accept (copy of FaintMag)
  long double RACenter = 0;   // hours
  long double DecCenter = 0;  // degrees
  float FieldSize = 0;        // side of the square field, arc minutes
  float Spare = 0;
  float FaintMag = 0;      // limiting magnitude as entered
  std::uint8_t Color = 2;  // ColorCode

  bool operator==(const FldParmsRec&) const = default;
};

// The first five fields of FldParmsRec taken together: what the region
// search, the field filters and the online selection receive.
struct FieldBoxRec {
  double RAMin = 0, RAMax = 0, DecMin = 0, DecMax = 0;
  float MagLimit = 0;
  bool operator==(const FieldBoxRec&) const = default;
};
inline FieldBoxRec FieldBoxOf(const FldParmsRec& r) {
  return {r.RAMin, r.RAMax, r.DecMin, r.DecMax, r.MagLimit};
}

// The one request of the run. Tests reset it with ResetFldParms.
extern FldParmsRec CurFldParms;

// Empties rec: box and centre 0, size and limits from the settings, Red.
void ResetFldParms(FldParmsRec& rec, const OptsRec& settings);
inline void ResetFldParms(const OptsRec& settings) { ResetFldParms(CurFldParms, settings); }

// Sets rec's search box (RAMin..DecMax) around the centre ra (hours),
// dec (degrees) from rec.FieldSize (arc minutes); MagLimit is left alone.
// Declination edges are centre -/+ half the side; the RA half width is
// half / (15 cos e) at the edge e nearer the pole. A box reaching past a
// pole becomes a cap: 90 - 3 half .. 90 (or -90 .. 3 half - 90) over all
// 24 h. RA edges are wrapped into 0..24, so a box across 0 h has
// RAMin > RAMax. A half width of 12 h or more (an edge on a pole) also
// covers all 24 h; a field size of 0 or below gives a box of zero size at
// the centre.
void ComputeSearchBox(FldParmsRec& rec, long double ra, long double dec);

}  // namespace hv
