#include "astrometry/AstromMag.h"

#include <algorithm>
#include <cmath>

namespace hv {

bool AstromMagObj::CalcMagnitudes(RefStarRec& target, RefStarList& refs, std::uint8_t band) {
  Count = 0;
  SD = SE = Sum = SumSq = 0;
  long double mean = 0;
  target.Mag = 0;
  target.MagResid = 0;
  target.Band = band;
  // Every ratio would be non-positive and strip all references of their
  // fluxes; the caller asks for the target again instead.
  if (!(target.Flux > 0)) return false;

  for (RefStarRec& r : refs) {
    if (r.Flux == 0) continue;
    const long double ratio = target.Flux / r.Flux;
    if (ratio > 0) {
      const long double m = r.Mag - 2.5L * std::log10(ratio);
      r.MagResid = m;
      if (r.UseMag) {
        ++Count;
        Sum += m;
        SumSq += m * m;
      }
    } else {
      r.Flux = 0;
      r.MagResid = 0;
      r.UseMag = false;
      if (r.Status <= RefStatus::Neither) SetStatusFromFlags(r);
    }
  }

  if (Count > 0) {
    mean = Sum / Count;
    target.Mag = mean;
  }
  if (Count > 1) {
    // Equal estimates can leave a tiny negative difference of squares.
    const long double var = std::max((SumSq - Sum * Sum / Count) / (Count - 1), 0.0L);
    SD = std::sqrt(var);
    SE = SD / std::sqrt(static_cast<long double>(Count));
    target.MagResid = SE;
  }
  if (mean != 0) {
    for (RefStarRec& r : refs)
      if (r.Flux != 0) r.MagResid = mean - r.MagResid;
  }
  return Count > 0;
}

}  // namespace hv
