#pragma once
// Numeric helpers shared by every layer: the tolerance rule that decides whether a value
// changed, and float-to-integer conversions that never invoke undefined behaviour.
#include <cmath>
#include <limits>
#include <type_traits>

#include "platform/export.h"

namespace quarlen {

// Two values closer than this are the same value for every comparison of the library.
inline constexpr double kNearlyEqualTolerance = 5e-08;

// True when both values are +infinity or |a - b| < 5e-08. NaN is never nearly equal to
// anything (itself included), and two -infinity values are not nearly equal either.
inline bool IsNearlyEqual(double a, double b) {
  if (a == std::numeric_limits<double>::infinity() && b == a) return true;
  return std::fabs(a - b) < kNearlyEqualTolerance;
}

// a >= b, or a nearly equal to b.
inline bool IsAtLeast(double a, double b) { return a >= b || IsNearlyEqual(a, b); }

// a < b and not nearly equal to it.
inline bool IsClearlyBelow(double a, double b) { return a < b && !IsNearlyEqual(a, b); }

// Converts v to the integer type T, truncating toward zero, with these results where a plain
// cast would be undefined: NaN gives 0; +infinity and values above the range give
// std::numeric_limits<T>::max(); -infinity and values below it give
// std::numeric_limits<T>::min() (0 for unsigned types).
template <class T, class F>
inline T SaturatingTrunc(F v) {
  static_assert(std::is_integral_v<T> && std::is_floating_point_v<F>);
  if (v != v) return T(0);
  // 2^digits is the first value above the range; it is exact in every floating type.
  const F upper = std::ldexp(F(1), std::numeric_limits<T>::digits);
  if (v >= upper) return std::numeric_limits<T>::max();
  if constexpr (std::is_signed_v<T>) {
    if (v < -upper) return std::numeric_limits<T>::min();
  } else {
    if (v <= F(-1)) return T(0);
  }
  return static_cast<T>(v);
}

// As SaturatingTrunc, after rounding half away from zero (std::round).
template <class T, class F>
inline T SaturatingRound(F v) {
  return SaturatingTrunc<T>(std::round(v));
}

}  // namespace quarlen

// The helpers are used unqualified throughout the library.
using quarlen::IsAtLeast;
using quarlen::IsClearlyBelow;
using quarlen::IsNearlyEqual;

// Exchanges the two bytes of value in place (0x1234 becomes 0x3412).
QUARLEN_API void SwapBytes(unsigned short& value);
