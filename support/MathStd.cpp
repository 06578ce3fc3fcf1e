#include "support/MathStd.h"

#include <cmath>

namespace hv {

long double DotProduct(const Vector3& a, const Vector3& b) {
  long double sum = a[0] * b[0];
  sum += a[1] * b[1];
  sum += a[2] * b[2];
  return sum;
}

long double VectorLength(const Vector3& v) { return std::sqrt(DotProduct(v, v)); }

}  // namespace hv
