#include "astrometry/FldParms.h"

#include <cmath>
#include <numbers>

namespace hv {

const std::array<std::string_view, ColorCodeCount> ColorCaptions = {
    "&Blue", "&Visual", "&Red", "&J (IR)", "&H (IR)", "&K (IR)"};
const std::array<std::string_view, ColorCodeCount> ColorBands = {"B", "V", "R", "J", "H", "K"};
const std::array<std::uint8_t, ColorCodeCount> ColorPassbands = {0, 1, 2, 4, 5, 6};

FldParmsRec CurFldParms;

void ResetFldParms(FldParmsRec& rec, const OptsRec& settings) {
  rec.RAMin = rec.RAMax = rec.DecMin = rec.DecMax = 0;
  rec.MagLimit = settings.MagLimit;
  rec.RACenter = rec.DecCenter = 0;
  rec.FieldSize = settings.FieldSize;
  rec.Spare = 0;
  rec.FaintMag = settings.MagLimit;
  rec.Color = static_cast<std::uint8_t>(ColorCode::Red);
}

void ComputeSearchBox(FldParmsRec& rec, long double ra, long double dec) {
  long double half = static_cast<long double>(rec.FieldSize) / 120.0L;
  // A non-positive size would turn the box inside out.
  if (!(half > 0)) half = 0;
  const long double decMin = dec - half, decMax = dec + half;
  rec.DecMin = static_cast<double>(decMin);
  rec.DecMax = static_cast<double>(decMax);
  const long double e = rec.DecMin > 0 ? decMax : decMin;
  const long double c = std::cos(e * std::numbers::pi_v<long double> / 180.0L);
  const long double w = half == 0 ? 0.0L : half / (15.0L * c);
  if (rec.DecMax > 90) {
    rec.DecMax = 90;
    rec.DecMin = static_cast<double>(90.0L - 3.0L * half);
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else if (rec.DecMin < -90) {
    rec.DecMin = -90;
    rec.DecMax = static_cast<double>(3.0L * half - 90.0L);
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else if (!(w >= 0 && w < 12)) {
    // An edge on (or rounding onto) a pole: cos e is 0 or nearly so and
    // the half width reaches round the whole circle.
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else {
    long double lo = ra - w, hi = ra + w;
    if (lo < 0) lo += 24;
    if (hi > 24) hi -= 24;
    rec.RAMin = static_cast<double>(lo);
    rec.RAMax = static_cast<double>(hi);
  }
}

}  // namespace hv
