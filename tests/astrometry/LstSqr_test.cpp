#include "astrometry/LstSqr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace hv {
namespace {

struct LsqCase {
  const char* name;
  int rows, unknowns;
  std::vector<long double> matrix;  // rows x (unknowns + 1)
  std::vector<long double> solution;
};

// Over-determined systems with dyadic (exactly representable) entries and
// their exact least-squares solutions, computed offline in rational
// arithmetic by tools/astrometry_cases.py lstsq (seed 20261210).
const LsqCase kCases[] = {
    {"random8x3",
     8,
     3,
     {
         20.875L, -11.5L,   11.875L,  -9.0625L, -18.25L,  37.875L, -31.25L,  -36.8125L,
         -10.5L,  -13.625L, -36.125L, 160.125L, -3.75L,   19.5L,   41.75L,   -183.4375L,
         31L,     34.75L,   41.875L,  107L,     -28.875L, 7.5L,    19.875L,  145.0625L,
         23.625L, -42.625L, 14.375L,  34.5L,    33.75L,   -42L,    -18.625L, 239.375L,
     },
     {1.5794083263649128334079109e+0L, -1.0776322549077019536366280e+0L,
      -1.3736633094384137925984594e+0L}},
    {"random15x4",
     15,
     4,
     {
         9.75L,      -36.5L,   -7L,       -0.875L,    -6.1875L,  -49.25L,    -0.5L,    22.625L,
         -0.75L,     -85.25L,  4.875L,    -14.5L,     2.875L,    -8.75L,     45.5625L, 1.5L,
         -45.625L,   -5.25L,   -1.875L,   54.5625L,   -21.375L,  -24.625L,   -35.125L, 10.25L,
         -112.9375L, -5.75L,   -37L,      -16.125L,   -31.375L,  198.75L,    6.125L,   -48L,
         0.375L,     10.375L,  -28.1875L, 2.625L,     9.125L,    -25L,       -27.25L,  -240.5L,
         -33.625L,   44.25L,   -31.625L,  13.125L,    -113.875L, -37.25L,    13.75L,   -35.375L,
         -8.25L,     -223.75L, 10.25L,    -42.875L,   14.625L,   -38.5L,     70.875L,  33.375L,
         -23.5L,     -6.25L,   21.125L,   -180.4375L, 44.25L,    7.25L,      -47.75L,  -18.875L,
         -174.5L,    -20.375L, 38.875L,   -32.25L,    13.5L,     -191.0625L, -31.875L, 16.625L,
         29.875L,    8.625L,   97.125L,
     },
     {1.5482327223470941560064739e-1L, -7.8501246295880658085831287e-1L,
      3.7568011983197920709748789e+0L, -1.3871939045856676342607842e+0L}},
    {"random30x6",
     30,
     6,
     {
         41.375L,    -25L,       -49.5L,    -20.625L,   34L,       39L,       -96.5L,    13.125L,
         -22.25L,    48.25L,     -2.875L,   -47.625L,   0.625L,    -102.5L,   1.375L,    20.375L,
         -8.75L,     -11.25L,    -46.5L,    -5.125L,    129.875L,  19.375L,   -12.375L,  -28.25L,
         -37.75L,    -29.25L,    12.125L,   -224L,      -36.25L,   -44.25L,   31L,       46.75L,
         31.625L,    0.25L,      163.125L,  -0.75L,     -40.25L,   -5L,       13.5L,     26.375L,
         15L,        -105.75L,   -1.5L,     -10.125L,   -7.125L,   -17.375L,  -40.75L,   46.125L,
         -151.8125L, -35.25L,    -35.25L,   19.625L,    -9.375L,   30L,       47.75L,    -42.4375L,
         -40.625L,   -14.25L,    7.125L,    -46.875L,   39.375L,   -1L,       244.9375L, 22.625L,
         1.375L,     23L,        47.375L,   21.125L,    4.375L,    110.8125L, 38.5L,     -40.75L,
         11L,        -31L,       23.125L,   16.75L,     -97.5L,    40.375L,   -37.75L,   -34.25L,
         29L,        -31.375L,   -26.5L,    -109.1875L, 42.375L,   6.875L,    22.125L,   9.125L,
         -41.25L,    -48.125L,   -238.25L,  -12.375L,   41.25L,    15.625L,   13.125L,   5.625L,
         -36.125L,   -239.375L,  -40.125L,  24.75L,     -33.5L,    -40.875L,  29.625L,   -41.375L,
         -228.0625L, 36.625L,    23L,       46.625L,    47.625L,   -30.375L,  -15.5L,    220.1875L,
         -38.5L,     -8.125L,    46L,       34L,        14.75L,    -2.25L,    -91.6875L, 13.75L,
         -14.875L,   -15.75L,    -15.375L,  6.5L,       12.125L,   92.75L,    18.75L,    35.5L,
         -27.375L,   -17L,       10.375L,   34.5L,      -219.625L, -6.25L,    -41.25L,   -31.25L,
         -16.625L,   -34.125L,   -10L,      -128L,      28.75L,    7.875L,    -11.25L,   -27.75L,
         45.25L,     48.125L,    114.5L,    40.875L,    9.625L,    -49.5L,    -5.375L,   -49.5L,
         -32.625L,   -67.4375L,  -48L,      44.375L,    -43.75L,   -36.125L,  -44.5L,    33.375L,
         -103.9375L, -16.25L,    28.25L,    -36.25L,    12.625L,   20L,       -11.5L,    194.0625L,
         25.75L,     20L,        -1L,       0.75L,      -39.5L,    32.875L,   10.125L,   5.625L,
         -40.25L,    -2L,        -37.375L,  32.75L,     26.25L,    32.125L,   -40.625L,  39.5L,
         -27.625L,   -45.75L,    -10.25L,   -23.25L,    -178.5L,   41.125L,   8L,        7L,
         -48.5L,     -40.75L,    -21.5L,    70.375L,    -46.25L,   30.375L,   11.25L,    -27L,
         18.5L,      -13.75L,    -74.3125L, -15.75L,    14.125L,   40.625L,   23.75L,    27.5L,
         31L,        -144.1875L,
     },
     {3.1516634197565993173880761e-1L, 3.9312883806268282895919128e-2L,
      5.7526125043496597261737722e-1L, 9.5350953007300535554344396e-1L,
      9.1575240028192366332005993e-1L, 2.1879148039066195840138243e-1L}},
    {"plate14x6",
     14,
     6,
     {
         110.484375L,
         453.6875L,
         50125.3798828125L,
         12206.797119140625L,
         205832.34765625L,
         1L,
         -0.000965044833719730377197265625L,
         473.25L,
         145.671875L,
         68939.21484375L,
         223965.5625L,
         21220.295166015625L,
         1L,
         -0.003106837160885334014892578125L,
         437.40625L,
         412.46875L,
         180416.4091796875L,
         191324.2275390625L,
         170130.4697265625L,
         1L,
         -0.000892563723027706146240234375L,
         311.8125L,
         451.296875L,
         140720.0068359375L,
         97227.03515625L,
         203668.869384765625L,
         1L,
         0.000797311775386333465576171875L,
         7.546875L,
         381L,
         2875.359375L,
         56.955322265625L,
         145161L,
         1L,
         -0.00222085230052471160888671875L,
         218.390625L,
         480.328125L,
         104899.159423828125L,
         47694.465087890625L,
         230715.107666015625L,
         1L,
         0.00330308638513088226318359375L,
         129.40625L,
         17.484375L,
         2262.58740234375L,
         16745.9775390625L,
         305.703369140625L,
         1L,
         0.00128508545458316802978515625L,
         126.171875L,
         505.53125L,
         63783.82568359375L,
         15919.342041015625L,
         255561.8447265625L,
         1L,
         0.00135307572782039642333984375L,
         497.9375L,
         213.765625L,
         106441.9208984375L,
         247941.75390625L,
         45695.742431640625L,
         1L,
         0.000122745521366596221923828125L,
         739.5L,
         169.328125L,
         125218.1484375L,
         546860.25L,
         28672.013916015625L,
         1L,
         -0.001535440795123577117919921875L,
         461L,
         99.265625L,
         45761.453125L,
         212521L,
         9853.664306640625L,
         1L,
         0.00273158214986324310302734375L,
         669.65625L,
         127.90625L,
         85653.2197265625L,
         448439.4931640625L,
         16360.0087890625L,
         1L,
         -0.001499063335359096527099609375L,
         620L,
         426.578125L,
         264478.4375L,
         384400L,
         181968.896728515625L,
         1L,
         -0.002494521439075469970703125L,
         14.984375L,
         369.71875L,
         5540.00439453125L,
         224.531494140625L,
         136691.9541015625L,
         1L,
         -0.0008790753781795501708984375L,
     },
     {1.6057066772482299544420657e-5L, -2.7294261881047345239063598e-5L,
      -1.7738021068884244286060910e-8L, -1.6681041147086022592999489e-8L,
      5.9015182161048352141468918e-8L, 1.3302927237559626383360762e-5L}},
};

void Load(LstSqrObj& lsq, const LsqCase& c) {
  lsq.SetSize(c.rows, c.unknowns);
  for (int i = 1; i <= c.rows; ++i)
    for (int j = 1; j <= c.unknowns + 1; ++j)
      lsq.At(i, j) = c.matrix[static_cast<std::size_t>((i - 1) * (c.unknowns + 1) + (j - 1))];
}

TEST(LstSqr, AgreesWithExactSolutions) {
  LstSqrObj lsq;
  for (const auto& c : kCases) {
    Load(lsq, c);
    EXPECT_EQ(lsq.MatrixSize, c.rows * 70) << c.name;
    ASSERT_TRUE(lsq.Solve()) << c.name;
    for (int j = 1; j <= c.unknowns; ++j) {
      const long double want = c.solution[static_cast<std::size_t>(j - 1)];
      const long double got = lsq.X[static_cast<std::size_t>(j)];
      EXPECT_LE(std::fabs(got - want), 1e-15L * std::fabs(want))
          << c.name << " x" << j << " want " << static_cast<double>(want) << " got "
          << static_cast<double>(got);
    }
  }
}

TEST(LstSqr, SquareSystemAndZeroLeadingCoefficient) {
  // The first row's leading zero takes the swap branch of the rotation.
  LstSqrObj lsq;
  lsq.SetSize(3, 3);
  const long double a[3][4] = {{0, 2, 1, 7}, {1, 1, 1, 6}, {3, 0, -1, 0}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) lsq.At(i + 1, j + 1) = a[i][j];
  ASSERT_TRUE(lsq.Solve());
  EXPECT_NEAR(static_cast<double>(lsq.X[1]), 1.0, 1e-17);
  EXPECT_NEAR(static_cast<double>(lsq.X[2]), 2.0, 1e-17);
  EXPECT_NEAR(static_cast<double>(lsq.X[3]), 3.0, 1e-17);
}

TEST(LstSqr, DegenerateDesignsFail) {
  struct Row {
    const char* name;
    std::vector<std::vector<long double>> rows;
  };
  const Row cases[] = {
      // Collinear stars: x, y on a line y = 2x + 1, columns x, y, 1.
      {"collinear", {{10, 21, 1, 0.1L}, {20, 41, 1, 0.2L}, {35, 71, 1, 0.3L}, {50, 101, 1, 0.4L}}},
      // The same point four times.
      {"one point", {{7, 9, 1, 1}, {7, 9, 1, 2}, {7, 9, 1, 3}, {7, 9, 1, 4}}},
      // A column of zeros.
      {"zero column", {{1, 0, 1}, {2, 0, 2}, {3, 0, 5}}},
      // Fewer equations than unknowns.
      {"too few rows", {{1, 2, 3, 4}, {5, 6, 7, 8}}},
  };
  for (const auto& c : cases) {
    LstSqrObj lsq;
    const int n = static_cast<int>(c.rows[0].size()) - 1;
    lsq.SetSize(static_cast<int>(c.rows.size()), n);
    for (std::size_t i = 0; i < c.rows.size(); ++i)
      for (std::size_t j = 0; j < c.rows[i].size(); ++j)
        lsq.At(static_cast<int>(i + 1), static_cast<int>(j + 1)) = c.rows[i][j];
    EXPECT_FALSE(lsq.Solve()) << c.name;
    for (int j = 1; j <= n; ++j) EXPECT_EQ(lsq.X[static_cast<std::size_t>(j)], 0.0L) << c.name;
  }
}

TEST(LstSqr, FreeAndResize) {
  LstSqrObj lsq;
  EXPECT_EQ(lsq.MatrixSize, 0);
  lsq.SetSize(4, 2);
  EXPECT_EQ(lsq.MatrixSize, 280);
  lsq.FreeMatrix();
  EXPECT_EQ(lsq.MatrixSize, 0);
  EXPECT_FALSE(lsq.Solve());
}

}  // namespace
}  // namespace hv
