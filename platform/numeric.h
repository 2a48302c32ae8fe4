#pragma once
// Numeric helpers shared by every layer: the tolerance rule that decides whether a value
// changed, float-to-integer conversions that never invoke undefined behaviour, and the
// saturating integer helpers that pixel arithmetic narrows through.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

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

// Pixel arithmetic that may leave the 32-bit range (a mapping saturated at INT_MAX plus an
// offset, a right edge computed from a huge width) is done in this type and narrowed once.
using PixelWide = std::int64_t;

// v narrowed to the integer type T, saturating at T's limits instead of wrapping.
template <class T, class U>
constexpr T SaturatingCast(U v) {
  static_assert(std::is_integral_v<T> && std::is_integral_v<U>);
  if (std::cmp_less(v, std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (std::cmp_greater(v, std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(v);
}

// a + b computed wide and narrowed to T with saturation.
template <class T = std::int32_t>
constexpr T SaturatingAdd(PixelWide a, PixelWide b) {
  return SaturatingCast<T>(a + b);
}

// The coordinate range of the drawing layer. Every coordinate handed to the raster code lies
// in [-2^29, 2^29], so the sum or difference of two coordinates (a right edge from a left edge
// and a width, a rectangle's width) still fits a 32-bit int; Qt's own geometry has the same
// headroom requirement.
inline constexpr PixelWide kDrawingCoordLimit = PixelWide{1} << 29;

// v clamped into [-kDrawingCoordLimit, kDrawingCoordLimit].
constexpr int ClampDrawingCoord(PixelWide v) {
  return static_cast<int>(std::clamp(v, -kDrawingCoordLimit, kDrawingCoordLimit));
}

// v clamped into the 16-bit signed range that window-message coordinates travel in.
constexpr int ClampMessageCoord(PixelWide v) {
  return static_cast<int>(std::clamp<PixelWide>(v, -32768, 32767));
}

}  // namespace quarlen

// The helpers are used unqualified throughout the library.
using quarlen::IsAtLeast;
using quarlen::IsClearlyBelow;
using quarlen::IsNearlyEqual;

// Exchanges the two bytes of value in place (0x1234 becomes 0x3412).
QUARLEN_API void SwapBytes(unsigned short& value);
