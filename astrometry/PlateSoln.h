#pragma once
// The plate solution of one image: catalog positions of the references are
// projected onto the tangent plane about the field centre (gnomonic standard
// coordinates), one of three plate models is fitted from measured pixel
// positions to those coordinates, and measured positions are turned back
// into right ascension and declination with residuals against the catalog.
#include <array>
#include <cstdint>
#include <vector>

#include "app/Options.h"
#include "astrometry/LstSqr.h"
#include "astrometry/RefStar.h"

namespace hv {

constexpr long double ArcsecPerRadian = 206264.8L;

// Gnomonic projection of (ra, dec) about the tangent point (ra0, dec0), all
// in radians, given cos and sin of dec0. Gives the negated standard
// coordinate -xi and eta (radians on the tangent plane). False, with both
// left 0, for a point 90 degrees or more from the tangent point, which has no
// image on the plane. Reference: eraTpxes (ERFA), with xi negated.
bool GnomonicForward(long double ra, long double dec, long double ra0, long double cosDec0,
                     long double sinDec0, long double& minusXi, long double& eta);
// The inverse: from -xi and eta to ra (radians, ra0 plus the offset, not
// reduced into a turn) and dec (radians). Reference: eraTpsts (ERFA).
void GnomonicInverse(long double minusXi, long double eta, long double ra0, long double cosDec0,
                     long double sinDec0, long double& ra, long double& dec);

// Constants per axis of a model: 3, 4 or 6.
int ConstsPerAxisOf(SolutionCode model);

class PlateSolnObj {
 public:
  static constexpr int MaxStars = 100;
  static constexpr int WorkSize = 412;

  PlateSolnObj();

  // Tangent point (hours, degrees); empties the star set and the statistics.
  void SetCenter(long double raHours, long double decDeg);
  // Adds a position reference (UsePos); others, and stars past the 100th,
  // are ignored. Always leaves the solution unsolved.
  void AddRefStar(const RefStarRec& r);
  // Fits the model and keeps it with the solution, so that a later change
  // of the setting does not change how these constants are read. False with
  // the model's constants zeroed when there are fewer stars than constants
  // per axis or the star geometry is degenerate for the model.
  bool Solve(SolutionCode model);
  // The three models that Solve runs; each keeps its model with the
  // constants it writes but leaves Solved alone.
  bool SolveLinear();
  bool SolveCrossTerm();
  bool SolveQuadratic();
  // Nothing unless solved. RA (hours, in [0, 24)) and Dec (degrees) from
  // ImageX, ImageY; for a position reference also the residuals (arc
  // seconds, RA wrapped into +-12 h and times cos CatDec) and the sums.
  void CalcPosition(RefStarRec& r);

  // x term, y term and constant of the first axis, then of the second.
  std::array<long double, 6> GetLinearConsts() const;
  // Arc seconds per pixel of square pixels, from the linear terms (the
  // square root of their determinant holds for a rotated plate as well).
  long double ScaleArcsecPerPixel() const;
  // Work entries 400..407 and 400..411 in order.
  std::array<long double, 8> GetCrossTermConsts() const;
  std::array<long double, 12> GetQuadraticConsts() const;
  // Mean absolute residuals and sigma (arc seconds); zeros unless there are
  // more stars than constants per axis.
  void GetStatistics(long double& meanRA, long double& meanDec, long double& sigma) const;
  // Of the model the solution was last computed with.
  int ConstsPerAxis() const { return ConstsPerAxisOf(Model); }

  // Measured x of star n (1..100) and the others, as the work array holds them.
  long double StarX(int n) const { return Work[static_cast<std::size_t>(n - 1)]; }
  long double StarY(int n) const { return Work[static_cast<std::size_t>(n + 99)]; }
  long double StarMinusXi(int n) const { return Work[static_cast<std::size_t>(n + 199)]; }
  long double StarEta(int n) const { return Work[static_cast<std::size_t>(n + 299)]; }

  std::int32_t NumStars = 0;
  bool Solved = false;
  SolutionCode Model = SolutionCode::Linear;
  long double CenterRA = 0;   // radians
  long double CenterDec = 0;  // radians
  long double CosDec0 = 1, SinDec0 = 0;
  long double SumAbsRA = 0, SumAbsDec = 0, SumSq = 0;
  std::int32_t ResidCount = 0;
  std::vector<long double> Work;  // 412 entries, see StarX..StarEta; 400..411 the constants
  LstSqrObj Lsq;

 private:
  bool SolveModel(int p);
  long double Eval(int axis, long double x, long double y) const;
};

}  // namespace hv
