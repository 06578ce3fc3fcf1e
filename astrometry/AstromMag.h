#pragma once
// Differential photometry of the target against the reference stars.
#include <cstdint>

#include "astrometry/RefStar.h"

namespace hv {

class AstromMagObj {
 public:
  // Each reference with a flux gives a target magnitude
  // m = Mag - 2.5 log10(target flux / star flux); the target's magnitude is
  // their mean over the references flagged UseMag, its MagResid the standard
  // error of that mean (0 for one star), its Band the camera's filter
  // (PassbandCode). Each reference's MagResid becomes mean - m. A reference
  // whose flux ratio is not positive leaves the photometry (flux, residual
  // and UseMag cleared). The items of refs are updated in place; its cursor
  // is not moved.
  //
  // A target flux of 0 or below gives no magnitude: the target's Mag and
  // MagResid become 0 and every reference stays as it was. Returns whether
  // a magnitude was computed.
  bool CalcMagnitudes(RefStarRec& target, RefStarList& refs, std::uint8_t band);

  std::uint32_t Count = 0;
  long double SD = 0;
  long double SE = 0;
  long double Sum = 0;
  long double SumSq = 0;
};

}  // namespace hv
