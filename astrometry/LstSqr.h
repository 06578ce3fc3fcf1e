#pragma once
// Small linear least squares (at most 6 unknowns) by Givens rotations on the
// design matrix itself, never the normal equations, in extended precision.
#include <array>
#include <cstdint>
#include <vector>

namespace hv {

class LstSqrObj {
 public:
  static constexpr int MaxUnknowns = 6;
  static constexpr int Columns = 7;  // coefficients 1..N, then the right-hand side

  LstSqrObj() = default;

  // Frees any previous matrix and allocates M rows of 7 values for N
  // unknowns (1 <= N <= 6). The caller then writes each row's N coefficients
  // and its right-hand side (column N+1) with At.
  void SetSize(int m, int n);
  void FreeMatrix();

  // Element of row i, column j, both counted from 1.
  long double& At(int i, int j) {
    return Matrix[static_cast<std::size_t>((i - 1) * Columns + (j - 1))];
  }
  long double At(int i, int j) const {
    return Matrix[static_cast<std::size_t>((i - 1) * Columns + (j - 1))];
  }

  // Minimises |A x - b| over the M rows with unit weights and leaves x in
  // X[1..N]. The matrix is destroyed: rows 1..N hold the triangular factor,
  // rows N+1..M the residual part. Returns false, with X zeroed, when there
  // are fewer rows than unknowns, a pivot of the triangular factor vanishes
  // against its column (degenerate geometry: collinear stars, a repeated
  // column) or the solution is not finite.
  bool Solve();

  std::int32_t Rows = 0;
  std::int32_t Unknowns = 0;
  std::vector<long double> Matrix;               // Rows x 7, row-major
  std::array<long double, MaxUnknowns + 1> X{};  // X[1..N]; X[0] unused
  std::int32_t MatrixSize = 0;                   // bytes as the record layout counts them (M x 70)
};

}  // namespace hv
