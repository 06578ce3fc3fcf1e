#include "astrometry/PlateSoln.h"

#include <cmath>
#include <numbers>

namespace hv {
namespace {
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kHourToRad = 15.0L * kPi / 180.0L;
constexpr long double kDegToRad = kPi / 180.0L;
constexpr std::size_t kConsts = 400;

// Model terms at (x, y) in the column order of the work array.
int Terms(int p, long double x, long double y, long double* t) {
  t[0] = x;
  t[1] = y;
  if (p == 3) {
    t[2] = 1;
  } else if (p == 4) {
    t[2] = x * y;
    t[3] = 1;
  } else {
    t[2] = x * y;
    t[3] = x * x;
    t[4] = y * y;
    t[5] = 1;
  }
  return p;
}
}  // namespace

bool GnomonicForward(long double ra, long double dec, long double ra0, long double cosDec0,
                     long double sinDec0, long double& minusXi, long double& eta) {
  const long double cosDec = std::cos(dec), sinDec = std::sin(dec);
  const long double cosDa = std::cos(ra - ra0), sinDa = std::sin(ra - ra0);
  const long double h = cosDec0 * cosDec * cosDa + sinDec0 * sinDec;
  if (!(h > 0.0L)) {
    minusXi = eta = 0.0L;
    return false;
  }
  minusXi = -(cosDec * sinDa) / h;
  eta = (cosDec0 * sinDec - sinDec0 * cosDec * cosDa) / h;
  return true;
}

void GnomonicInverse(long double minusXi, long double eta, long double ra0, long double cosDec0,
                     long double sinDec0, long double& ra, long double& dec) {
  ra = ra0 + std::atan2(-minusXi, cosDec0 - eta * sinDec0);
  dec = std::asin((eta * cosDec0 + sinDec0) / std::sqrt(1.0L + minusXi * minusXi + eta * eta));
}

int ConstsPerAxisOf(SolutionCode model) {
  switch (model) {
    case SolutionCode::CrossTerm:
      return 4;
    case SolutionCode::Quadratic:
      return 6;
    default:
      return 3;
  }
}

PlateSolnObj::PlateSolnObj() : Work(WorkSize, 0.0L) {}

void PlateSolnObj::SetCenter(long double raHours, long double decDeg) {
  CenterRA = raHours * kHourToRad;
  CenterDec = decDeg * kDegToRad;
  CosDec0 = std::cos(CenterDec);
  SinDec0 = std::sin(CenterDec);
  NumStars = 0;
  Solved = false;
  SumAbsRA = SumAbsDec = SumSq = 0;
  ResidCount = 0;
}

void PlateSolnObj::AddRefStar(const RefStarRec& r) {
  Solved = false;
  if (NumStars + 1 > MaxStars || !r.UsePos) return;
  long double minusXi, eta;
  // A star a quarter turn or more from the field centre cannot be on the
  // image; projecting it would divide by zero or flip it through the plane.
  if (!GnomonicForward(r.CatRA * kHourToRad, r.CatDec * kDegToRad, CenterRA, CosDec0, SinDec0,
                       minusXi, eta))
    return;
  const int n = ++NumStars;
  Work[static_cast<std::size_t>(n - 1)] = r.ImageX;
  Work[static_cast<std::size_t>(n + 99)] = r.ImageY;
  Work[static_cast<std::size_t>(n + 199)] = minusXi;
  Work[static_cast<std::size_t>(n + 299)] = eta;
}

bool PlateSolnObj::SolveModel(int p) {
  const int n = NumStars;
  auto zero = [&] {
    for (int k = 0; k < 2 * p; ++k) Work[kConsts + static_cast<std::size_t>(k)] = 0.0L;
    return false;
  };
  if (n < p) return zero();
  long double t[6];
  for (int axis = 0; axis < 2; ++axis) {
    Lsq.SetSize(n, p);
    for (int i = 1; i <= n; ++i) {
      Terms(p, StarX(i), StarY(i), t);
      for (int j = 0; j < p; ++j) Lsq.At(i, j + 1) = t[j];
      Lsq.At(i, p + 1) = axis == 0 ? StarMinusXi(i) : StarEta(i);
    }
    if (!Lsq.Solve()) return zero();
    for (int j = 0; j < p; ++j)
      Work[kConsts + static_cast<std::size_t>(axis * p + j)] =
          Lsq.X[static_cast<std::size_t>(j + 1)];
  }
  return true;
}

bool PlateSolnObj::SolveLinear() {
  Model = SolutionCode::Linear;
  return SolveModel(3);
}

bool PlateSolnObj::SolveCrossTerm() {
  Model = SolutionCode::CrossTerm;
  return SolveModel(4);
}

bool PlateSolnObj::SolveQuadratic() {
  Model = SolutionCode::Quadratic;
  return SolveModel(6);
}

bool PlateSolnObj::Solve(SolutionCode model) {
  switch (model) {
    case SolutionCode::CrossTerm:
      Solved = SolveCrossTerm();
      break;
    case SolutionCode::Quadratic:
      Solved = SolveQuadratic();
      break;
    default:
      Solved = SolveLinear();
  }
  return Solved;
}

long double PlateSolnObj::Eval(int axis, long double x, long double y) const {
  const int p = ConstsPerAxis();
  long double t[6];
  Terms(p, x, y, t);
  long double sum = 0.0L;
  for (int j = 0; j < p; ++j) sum += Work[kConsts + static_cast<std::size_t>(axis * p + j)] * t[j];
  return sum;
}

void PlateSolnObj::CalcPosition(RefStarRec& r) {
  if (!Solved) return;
  const long double x = Eval(0, r.ImageX, r.ImageY);
  const long double y = Eval(1, r.ImageX, r.ImageY);
  long double ra, dec;
  GnomonicInverse(x, y, CenterRA, CosDec0, SinDec0, ra, dec);
  long double hours = std::fmod(ra / kHourToRad, 24.0L);
  if (hours < 0.0L) hours += 24.0L;
  if (hours >= 24.0L) hours = 0.0L;  // a tiny negative that rounded up to a full turn
  r.RA = hours;
  r.Dec = dec / kDegToRad;
  if (!r.UsePos) return;
  // The short way round: a star at 0h01m measured at 23h59m is 2 minutes off.
  const long double dRA = std::remainder(r.CatRA - r.RA, 24.0L);
  r.ResidRA = dRA * 15.0L * 3600.0L * std::cos(r.CatDec * kDegToRad);
  r.ResidDec = (r.CatDec - r.Dec) * 3600.0L;
  r.ResidTotal = std::sqrt(r.ResidRA * r.ResidRA + r.ResidDec * r.ResidDec);
  SumAbsRA += std::fabs(r.ResidRA);
  SumAbsDec += std::fabs(r.ResidDec);
  SumSq += r.ResidRA * r.ResidRA + r.ResidDec * r.ResidDec;
  ++ResidCount;
}

std::array<long double, 6> PlateSolnObj::GetLinearConsts() const {
  const int p = ConstsPerAxis();
  const auto c = [&](int k) { return Work[kConsts + static_cast<std::size_t>(k)]; };
  return {c(0), c(1), c(p - 1), c(p), c(p + 1), c(2 * p - 1)};
}

long double PlateSolnObj::ScaleArcsecPerPixel() const {
  const auto c = GetLinearConsts();  // a, b, c, d, e, f
  return std::sqrt(std::fabs(c[0] * c[4] - c[3] * c[1])) * ArcsecPerRadian;
}

std::array<long double, 8> PlateSolnObj::GetCrossTermConsts() const {
  std::array<long double, 8> out;
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = Work[kConsts + k];
  return out;
}

std::array<long double, 12> PlateSolnObj::GetQuadraticConsts() const {
  std::array<long double, 12> out;
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = Work[kConsts + k];
  return out;
}

void PlateSolnObj::GetStatistics(long double& meanRA, long double& meanDec,
                                 long double& sigma) const {
  meanRA = meanDec = sigma = 0.0L;
  const int p = ConstsPerAxis();
  if (p >= NumStars) return;
  if (ResidCount > 0) {
    meanRA = SumAbsRA / ResidCount;
    meanDec = SumAbsDec / ResidCount;
  }
  const std::int64_t n2 = 2 * static_cast<std::int64_t>(NumStars);
  const std::int64_t dof = n2 * (n2 - 2 * p);
  sigma = std::sqrt(SumSq / static_cast<long double>(dof));
}

}  // namespace hv
