#pragma once
// "Round" in this program means nearest, halves to even; truncation is
// written as truncation where it is meant.
#include <cfenv>
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hv {

// std::rint under the default rounding mode rounds exactly as std::nearbyint
// (to nearest, halves to even); it differs only in raising the inexact
// flag, which nothing here reads, and compiles to one instruction where
// nearbyint is a library call (the catalog converter rounds millions).

// Nearest integral value, halves to even, in extended precision.
inline long double RoundHalfEven(long double x) { return std::rint(x); }

// The same rule in double precision, for per-pixel loops over values that
// are doubles already (extended precision gains them nothing). Below 2^51
// the sum with 1.5 x 2^52 rounds in the FPU's default mode, halves to even,
// without a library call; a zero comes out as +0.
inline double RoundDouble(double x) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 x 2^52
  if (std::fabs(x) < 2251799813685248.0) return (x + kShift) - kShift;
  return std::nearbyint(x);
}

// Nearest 32-bit integer of a double, halves to even, in one instruction
// where the processor has it. The caller keeps x within the 32-bit range
// (after rounding) and finite.
inline std::int32_t RoundDoubleToInt32(double x) {
#if defined(__SSE2__)
  return _mm_cvtsd_si32(_mm_set_sd(x));
#else
  return static_cast<std::int32_t>(RoundDouble(x));
#endif
}

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
