#pragma once
// "Round" in this program means nearest, halves to even; truncation is
// written as truncation where it is meant.
#include <cfenv>
#include <cmath>
#include <cstdint>

namespace hv {

// std::rint under the default rounding mode rounds exactly as std::nearbyint
// (to nearest, halves to even); it differs only in raising the inexact
// flag, which nothing here reads, and compiles to one instruction where
// nearbyint is a library call (the catalog converter rounds millions).

// Nearest integral value, halves to even, in extended precision.
inline long double RoundHalfEven(long double x) { return std::rint(x); }

// The same rule in double precision, for per-pixel loops over values that
// are doubles already (extended precision gains them nothing).
inline double RoundDouble(double x) { return std::nearbyint(x); }

// Nearest 64-bit integer, halves to even. The caller keeps x within range.
inline std::int64_t RoundToInt64(long double x) { return static_cast<std::int64_t>(std::rint(x)); }

// Nearest 32-bit integer, halves to even, clamped to the int32 range so that
// an out-of-range value cannot invoke undefined behaviour. NaN gives 0.
inline std::int32_t RoundToInt32(long double x) {
  if (std::isnan(x)) return 0;
  long double r = std::rint(x);
  if (r >= 2147483647.0L) return INT32_MAX;
  if (r <= -2147483648.0L) return INT32_MIN;
  return static_cast<std::int32_t>(r);
}

}  // namespace hv
