#include "astrometry/LstSqr.h"

#include <cmath>
#include <stdexcept>

namespace hv {

void LstSqrObj::SetSize(int m, int n) {
  FreeMatrix();
  if (m < 0 || n < 1 || n > MaxUnknowns) throw std::invalid_argument("LstSqrObj::SetSize");
  Rows = m;
  Unknowns = n;
  Matrix.assign(static_cast<std::size_t>(m) * Columns, 0.0L);
  MatrixSize = m * Columns * 10;
}

void LstSqrObj::FreeMatrix() {
  Matrix.clear();
  Matrix.shrink_to_fit();
  MatrixSize = 0;
}

bool LstSqrObj::Solve() {
  const int m = Rows;
  const int n = Unknowns;
  X.fill(0.0L);
  if (n < 1 || m < n || Matrix.size() < static_cast<std::size_t>(m) * Columns) return false;

  // Column norms of the design matrix, the scale against which a pivot
  // counts as zero. A rank-deficient design leaves rounding noise of about
  // eps x norm on the diagonal instead of an exact zero.
  std::array<long double, MaxUnknowns + 1> norm{};
  for (int j = 1; j <= n; ++j) {
    long double s = 0.0L;
    for (int i = 1; i <= m; ++i) s += At(i, j) * At(i, j);
    norm[j] = std::sqrt(s);
    if (!std::isfinite(norm[j])) return false;
  }

  for (int j = 1; j <= n; ++j) {
    for (int i = j + 1; i <= m; ++i) {
      const long double b = At(i, j);
      if (b == 0.0L) continue;
      const long double a = At(j, j);
      long double c, s;
      if (std::fabs(a) < std::fabs(b) * 1e-10L) {
        c = 0.0L;
        s = 1.0L;
        At(j, j) = -b;
      } else {
        long double r = std::sqrt(a * a + b * b);
        if (a < 0.0L) r = -r;
        c = a / r;
        s = -b / r;
        At(j, j) = r;
      }
      At(i, j) = 0.0L;
      for (int k = j + 1; k <= n + 1; ++k) {
        const long double t = c * At(j, k) - s * At(i, k);
        At(i, k) = s * At(j, k) + c * At(i, k);
        At(j, k) = t;
      }
    }
  }

  constexpr long double kRelativeZero = 1e-14L;
  for (int i = n; i >= 1; --i) {
    const long double pivot = At(i, i);
    if (pivot == 0.0L || std::fabs(pivot) <= norm[i] * kRelativeZero) {
      X.fill(0.0L);
      return false;
    }
    long double sum = At(i, n + 1);
    for (int k = i + 1; k <= n; ++k) sum -= At(i, k) * X[k];
    X[i] = sum / pivot;
    if (!std::isfinite(X[i])) {
      X.fill(0.0L);
      return false;
    }
  }
  return true;
}

}  // namespace hv
