#include "astrometry/PlateSoln.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace hv {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kH = kPi / 12;   // hours to radians
constexpr long double kD = kPi / 180;  // degrees to radians

struct GnomonicCase {
  const char* name;
  double ra, dec, ra0, dec0;  // star and tangent point, hours and degrees
  double xi, eta;             // eraTpxes, radians
  double invRA, invDec;       // eraTpsts of (xi, eta), hours and degrees
};

// Computed offline with ERFA 2.0 through pyerfa (Debian python3-erfa) by
// tools/astrometry_cases.py gnomonic: xi, eta = eraTpxes(star, centre);
// invRA, invDec = eraTpsts(xi, eta, centre), RA reduced into one turn.
const GnomonicCase kGnomonic[] = {
    {"midfield", 5.5911999999999997, 22.014500000000002, 5.5750000000000002, 22,
     0.0039319424181362816, 0.00025619816998396323, 5.5911999999999997, 22.014499999999995},
    {"across0h_west", 23.995000000000001, 1.25, 0.0040000000000000001, 1.2, -0.0023556390329129468,
     0.0008727253876273023, 23.995000000000001, 1.25},
    {"across0h_east", 0.0089999999999999993, -0.75, 23.998000000000001, -0.80000000000000004,
     0.0028795556014406826, 0.00087261057456495281, 0.0090000000000011373, -0.75000000000000022},
    {"nearNorthPole", 7.2000000000000002, 89.849999999999994, 1, 89.900000000000006,
     0.0026144165885246843, 0.001882347000401289, 7.2000000000000002, 89.849999999999994},
    {"nearSouthPole", 19, -89.700000000000003, 15.5, -89.799999999999997, 0.0041540054259996632,
     -0.0003031727906756069, 19, -89.700000000000003},
    {"southField", 12.250999999999999, -35.5, 12.24, -35.420000000000002, 0.0023444898819172449,
     -0.0013982246626688393, 12.250999999999999, -35.5},
    {"wideOffset", 3.1000000000000001, 45.899999999999999, 3, 45, 0.018222194049738964,
     0.015880579446210234, 3.1000000000000001, 45.900000000000006},
};

TEST(Gnomonic, AgreesWithErfa) {
  for (const auto& c : kGnomonic) {
    const long double dec0 = c.dec0 * kD;
    long double mxi, eta;
    ASSERT_TRUE(GnomonicForward(c.ra * kH, c.dec * kD, c.ra0 * kH, std::cos(dec0), std::sin(dec0),
                                mxi, eta))
        << c.name;
    // The first fitted axis carries the negated xi.
    EXPECT_NEAR(static_cast<double>(-mxi), c.xi, 1e-15) << c.name;
    EXPECT_NEAR(static_cast<double>(eta), c.eta, 1e-15) << c.name;

    long double ra, dec;
    GnomonicInverse(-static_cast<long double>(c.xi), c.eta, c.ra0 * kH, std::cos(dec0),
                    std::sin(dec0), ra, dec);
    long double raH = std::fmod(ra / kH + 48, 24);
    // 1e-9 arc seconds in RA (at the pole scaled by cos Dec) and Dec.
    EXPECT_NEAR(
        static_cast<double>(std::remainder(raH - c.invRA, 24.0L) * 54000 * std::cos(c.invDec * kD)),
        0.0, 1e-9)
        << c.name << " RA want " << c.invRA << " got " << static_cast<double>(raH);
    EXPECT_NEAR(static_cast<double>((dec / kD - c.invDec) * 3600), 0.0, 1e-9) << c.name;
  }
}

TEST(Gnomonic, FarSideHasNoImage) {
  long double mxi = 1, eta = 1;
  EXPECT_FALSE(GnomonicForward(12 * kH, 0, 0, 1, 0, mxi, eta));
  EXPECT_EQ(mxi, 0.0L);
  EXPECT_EQ(eta, 0.0L);
}

// A synthetic plate: -xi and eta as polynomials of the pixel position, the
// catalog positions made from them by the inverse projection.
struct TruePlate {
  long double ra0h, dec0d;
  long double a[6], b[6];  // terms x, y, xy, x^2, y^2, 1 for -xi and eta
  long double mxi(long double x, long double y) const {
    return a[0] * x + a[1] * y + a[2] * x * y + a[3] * x * x + a[4] * y * y + a[5];
  }
  long double eta(long double x, long double y) const {
    return b[0] * x + b[1] * y + b[2] * x * y + b[3] * x * x + b[4] * y * y + b[5];
  }
  void Sky(long double x, long double y, long double& raH, long double& decD) const {
    long double ra, dec;
    const long double d0 = dec0d * kD;
    GnomonicInverse(mxi(x, y), eta(x, y), ra0h * kH, std::cos(d0), std::sin(d0), ra, dec);
    raH = std::fmod(ra / kH + 48, 24);
    decD = dec / kD;
  }
  RefStarRec Star(int number, long double x, long double y) const {
    RefStarRec r;
    r.Number = number;
    r.ImageX = x;
    r.ImageY = y;
    Sky(x, y, r.CatRA, r.CatDec);
    r.UsePos = r.UseMag = true;
    return r;
  }
};

// About 1.6 arc seconds a pixel, turned by 0.3 radian.
constexpr long double kScale = 1.6L / 206264.8L;
TruePlate Linear(long double ra0h, long double dec0d) {
  const long double c = std::cos(0.3L) * kScale, s = std::sin(0.3L) * kScale;
  return {ra0h, dec0d, {-c, s, 0, 0, 0, 380 * c - 255 * s}, {s, c, 0, 0, 0, -380 * s - 255 * c}};
}

std::vector<RefStarRec> Field(const TruePlate& p, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<RefStarRec> out;
  for (int i = 0; i < count; ++i) {
    const long double x = 20 + (rng() % 72500) / 100.0L;
    const long double y = 15 + (rng() % 48000) / 100.0L;
    out.push_back(p.Star(i + 1, x, y));
  }
  return out;
}

long double ArcsecApart(long double ra1h, long double dec1d, long double ra2h, long double dec2d) {
  const long double dra = std::remainder(ra1h - ra2h, 24.0L) * 54000 * std::cos(dec1d * kD);
  const long double ddec = (dec1d - dec2d) * 3600;
  return std::sqrt(dra * dra + ddec * ddec);
}

TEST(PlateSoln, RecoversTheTargetForEachModel) {
  struct Row {
    const char* name;
    SolutionCode model;
    TruePlate plate;
  };
  TruePlate cross = Linear(5.575L, 22.0L);
  cross.a[2] = 3e-13L;
  cross.b[2] = -2e-13L;
  TruePlate quad = cross;
  quad.a[3] = 1.5e-12L;
  quad.a[4] = -0.7e-12L;
  quad.b[3] = 0.4e-12L;
  quad.b[4] = 2.1e-12L;
  const Row rows[] = {
      {"linear", SolutionCode::Linear, Linear(5.575L, 22.0L)},
      {"cross term", SolutionCode::CrossTerm, cross},
      {"quadratic", SolutionCode::Quadratic, quad},
      {"linear across 0h", SolutionCode::Linear, Linear(0.0015L, 1.2L)},
      {"quadratic near the pole", SolutionCode::Quadratic,
       [&] {
         TruePlate q = quad;
         q.ra0h = 7.0L;
         q.dec0d = 89.93L;
         return q;
       }()},
      {"linear near the south pole", SolutionCode::Linear, Linear(19.0L, -89.95L)},
  };
  for (const auto& row : rows) {
    PlateSolnObj ps;
    ps.SetCenter(row.plate.ra0h, row.plate.dec0d);
    for (const auto& s : Field(row.plate, 12, 7)) ps.AddRefStar(s);
    ASSERT_TRUE(ps.Solve(row.model)) << row.name;
    RefStarRec target;
    target.Status = RefStatus::Target;
    target.ImageX = 401.25L;
    target.ImageY = 117.75L;
    ps.CalcPosition(target);
    long double ra, dec;
    row.plate.Sky(target.ImageX, target.ImageY, ra, dec);
    EXPECT_LT(ArcsecApart(target.RA, target.Dec, ra, dec), 1e-6L)
        << row.name << " want " << static_cast<double>(ra) << " " << static_cast<double>(dec)
        << " got " << static_cast<double>(target.RA) << " " << static_cast<double>(target.Dec);
    EXPECT_GE(target.RA, 0.0L) << row.name;
    EXPECT_LT(target.RA, 24.0L) << row.name;
    EXPECT_EQ(target.ResidTotal, 0.0L) << row.name;  // no residual for the target
    EXPECT_EQ(ps.ResidCount, 0) << row.name;
  }
}

TEST(PlateSoln, StarCountsAgainstConstants) {
  const struct {
    SolutionCode model;
    int p;
  } models[] = {
      {SolutionCode::Linear, 3}, {SolutionCode::CrossTerm, 4}, {SolutionCode::Quadratic, 6}};
  TruePlate plate = Linear(10.0L, -30.0L);
  for (const auto& m : models) {
    // Fewer stars than constants: failure, the constants zeroed.
    PlateSolnObj ps;
    ps.SetCenter(plate.ra0h, plate.dec0d);
    auto stars = Field(plate, m.p, 11);
    for (int i = 0; i + 1 < m.p; ++i) ps.AddRefStar(stars[static_cast<std::size_t>(i)]);
    EXPECT_FALSE(ps.Solve(m.model)) << m.p;
    EXPECT_FALSE(ps.Solved);
    for (long double c : ps.GetQuadraticConsts()) EXPECT_EQ(c, 0.0L) << m.p;
    RefStarRec untouched = stars[0];
    ps.CalcPosition(untouched);
    EXPECT_EQ(untouched, stars[0]) << "unsolved leaves the record alone";

    // Exactly as many: an exact fit and zero statistics.
    ps.AddRefStar(stars.back());
    ASSERT_TRUE(ps.Solve(m.model)) << m.p;
    EXPECT_EQ(ps.ConstsPerAxis(), m.p);
    for (auto& s : stars) ps.CalcPosition(s);
    EXPECT_EQ(ps.ResidCount, m.p);
    long double mra, mdec, sigma;
    ps.GetStatistics(mra, mdec, sigma);
    EXPECT_EQ(mra, 0.0L);
    EXPECT_EQ(mdec, 0.0L);
    EXPECT_EQ(sigma, 0.0L);
  }
}

TEST(PlateSoln, ResidualsAndStatisticsWithNoise) {
  TruePlate plate = Linear(0.0008L, 1.0L);  // references on both sides of 0 h
  std::mt19937 rng(3);
  std::vector<RefStarRec> stars = Field(plate, 10, 5);
  bool west = false, east = false;
  for (auto& s : stars) {
    (s.CatRA > 12 ? west : east) = true;
    // Catalog errors of up to about half an arc second.
    s.CatDec += ((rng() % 1001) / 1000.0L - 0.5L) / 3600;
    s.CatRA += ((rng() % 1001) / 1000.0L - 0.5L) / 54000;
  }
  ASSERT_TRUE(west && east) << "the field straddles 0 h";
  PlateSolnObj ps;
  ps.SetCenter(plate.ra0h, plate.dec0d);
  for (const auto& s : stars) ps.AddRefStar(s);
  ASSERT_TRUE(ps.Solve(SolutionCode::Linear));
  long double sumRA = 0, sumDec = 0, sumSq = 0;
  for (auto& s : stars) {
    ps.CalcPosition(s);
    // Wrapped into +-12 h: well under an arc second, never a day.
    EXPECT_LT(std::fabs(s.ResidRA), 1.0L) << s.Number;
    EXPECT_LT(std::fabs(s.ResidDec), 1.0L) << s.Number;
    const long double want =
        std::remainder(s.CatRA - s.RA, 24.0L) * 54000 * std::cos(s.CatDec * kD);
    EXPECT_NEAR(static_cast<double>(s.ResidRA), static_cast<double>(want), 1e-12);
    EXPECT_NEAR(static_cast<double>(s.ResidTotal),
                static_cast<double>(std::hypot(s.ResidRA, s.ResidDec)), 1e-15);
    sumRA += std::fabs(s.ResidRA);
    sumDec += std::fabs(s.ResidDec);
    sumSq += s.ResidRA * s.ResidRA + s.ResidDec * s.ResidDec;
  }
  long double mra, mdec, sigma;
  ps.GetStatistics(mra, mdec, sigma);
  EXPECT_NEAR(static_cast<double>(mra), static_cast<double>(sumRA / 10), 1e-15);
  EXPECT_NEAR(static_cast<double>(mdec), static_cast<double>(sumDec / 10), 1e-15);
  // sqrt(sum / (2n (2n - 2p))) with n = 10, p = 3.
  EXPECT_NEAR(static_cast<double>(sigma), static_cast<double>(std::sqrt(sumSq / (20 * 14))), 1e-15);
  EXPECT_GT(sigma, 0.0L);

  // A star not used for position gets a position but keeps its residuals.
  RefStarRec off = stars[0];
  off.UsePos = false;
  off.ResidRA = off.ResidDec = off.ResidTotal = 42;
  off.RA = off.Dec = 0;
  ps.CalcPosition(off);
  EXPECT_NEAR(static_cast<double>(off.RA), static_cast<double>(stars[0].RA), 1e-15);
  EXPECT_EQ(off.ResidRA, 42.0L);
  EXPECT_EQ(off.ResidTotal, 42.0L);
  EXPECT_EQ(ps.ResidCount, 10);
}

TEST(PlateSoln, TargetWestOfZeroHoursStaysBelow24) {
  TruePlate plate = Linear(0.0002L, 0.5L);
  PlateSolnObj ps;
  ps.SetCenter(plate.ra0h, plate.dec0d);
  for (const auto& s : Field(plate, 6, 9)) ps.AddRefStar(s);
  ASSERT_TRUE(ps.Solve(SolutionCode::Linear));
  // Find a pixel whose true RA is just below 24 h.
  RefStarRec t;
  for (long double x = 0; x <= 765; x += 0.25L) {
    long double ra, dec;
    plate.Sky(x, 255, ra, dec);
    if (ra > 23.99999L && ra < 24) {
      t.ImageX = x;
      t.ImageY = 255;
      break;
    }
  }
  ASSERT_NE(t.ImageX, 0.0L);
  ps.CalcPosition(t);
  EXPECT_GT(t.RA, 23.99L);
  EXPECT_LT(t.RA, 24.0L);

  // A reference catalogued just after 0 h and measured just before 24 h is
  // 0.00002 h off, not a day.
  RefStarRec r = t;
  r.UsePos = true;
  r.CatDec = t.Dec;
  r.CatRA = t.RA + 0.00002L - 24;
  ASSERT_GT(r.CatRA, 0.0L);
  ps.CalcPosition(r);
  EXPECT_NEAR(static_cast<double>(r.ResidRA),
              static_cast<double>(0.00002L * 54000 * std::cos(r.CatDec * kD)), 1e-9);
  EXPECT_NEAR(static_cast<double>(r.ResidTotal), static_cast<double>(std::fabs(r.ResidRA)), 1e-9);
}

TEST(PlateSoln, ModelStaysWithTheSolution) {
  TruePlate plate = Linear(3.0L, 45.0L);
  plate.a[2] = 4e-13L;
  PlateSolnObj ps;
  ps.SetCenter(plate.ra0h, plate.dec0d);
  for (const auto& s : Field(plate, 8, 21)) ps.AddRefStar(s);
  ASSERT_TRUE(ps.Solve(SolutionCode::CrossTerm));
  EXPECT_EQ(ps.Model, SolutionCode::CrossTerm);
  EXPECT_EQ(ps.ConstsPerAxis(), 4);
  const auto all = ps.GetCrossTermConsts();
  const auto lin = ps.GetLinearConsts();
  // x, y and constant terms of each axis: entries 400, 401, 403 and 404, 405, 407.
  const std::size_t pick[] = {0, 1, 3, 4, 5, 7};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(lin[k], all[pick[k]]) << k;
  EXPECT_NEAR(static_cast<double>(all[2] / plate.a[2]), 1.0, 1e-6);

  ASSERT_TRUE(ps.Solve(SolutionCode::Quadratic));
  const auto q = ps.GetQuadraticConsts();
  const auto lq = ps.GetLinearConsts();
  const std::size_t pickq[] = {0, 1, 5, 6, 7, 11};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(lq[k], q[pickq[k]]) << k;

  // One model on its own: its constants and model, the solved flag untouched.
  ps.AddRefStar(Field(plate, 1, 4)[0]);
  ASSERT_FALSE(ps.Solved);
  ASSERT_TRUE(ps.SolveLinear());
  EXPECT_FALSE(ps.Solved);
  EXPECT_EQ(ps.ConstsPerAxis(), 3);
}

TEST(PlateSoln, DegenerateGeometryFails) {
  TruePlate plate = Linear(8.0L, 10.0L);
  PlateSolnObj ps;
  ps.SetCenter(plate.ra0h, plate.dec0d);
  for (int i = 0; i < 6; ++i) ps.AddRefStar(plate.Star(i + 1, 100 + 50 * i, 80 + 25 * i));
  EXPECT_FALSE(ps.Solve(SolutionCode::Linear));
  EXPECT_FALSE(ps.Solved);
  for (long double c : ps.GetLinearConsts()) EXPECT_EQ(c, 0.0L);
}

TEST(PlateSoln, AddRefStarSkipsNonReferencesAndStopsAt100) {
  TruePlate plate = Linear(8.0L, 10.0L);
  PlateSolnObj ps;
  ps.SetCenter(plate.ra0h, plate.dec0d);
  RefStarRec r = plate.Star(1, 10, 10);
  r.UsePos = false;
  ps.AddRefStar(r);
  EXPECT_EQ(ps.NumStars, 0);
  auto stars = Field(plate, 102, 1);
  for (const auto& s : stars) ps.AddRefStar(s);
  EXPECT_EQ(ps.NumStars, 100);
  EXPECT_EQ(ps.StarX(100), stars[99].ImageX);
  ASSERT_TRUE(ps.Solve(SolutionCode::Linear));
  ps.AddRefStar(stars[0]);
  EXPECT_FALSE(ps.Solved) << "adding a star unsolves";
  ps.SetCenter(plate.ra0h, plate.dec0d);
  EXPECT_EQ(ps.NumStars, 0);
}

}  // namespace
}  // namespace hv
