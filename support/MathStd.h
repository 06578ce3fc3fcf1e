#pragma once
// 3-vectors of extended reals (x, y, z).
#include <array>

namespace hv {

using Vector3 = std::array<long double, 3>;

// a.x*b.x + a.y*b.y + a.z*b.z, summed in that order.
long double DotProduct(const Vector3& a, const Vector3& b);

// Euclidean length, the square root of DotProduct(v, v).
long double VectorLength(const Vector3& v);

}  // namespace hv
