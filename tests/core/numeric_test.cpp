#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/numeric.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NearlyEqual, ToleranceRule) {
  struct Case {
    double a, b;
    bool nearly, atLeast, clearlyBelow;
  } cases[] = {
      {1.0, 1.0, true, true, false},           {1.0, 1.0 + 4.9e-8, true, true, false},
      {1.0, 1.0 + 5.1e-8, false, false, true}, {1.0 + 5.1e-8, 1.0, false, true, false},
      {0.0, -4e-8, true, true, false},         {kInf, kInf, true, true, false},
      {-kInf, -kInf, false, true, false},      {kInf, 1e308, false, true, false},
      {1e308, kInf, false, false, true},       {kNaN, kNaN, false, false, false},
      {kNaN, 1.0, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNearlyEqual(c.a, c.b), c.nearly) << c.a << " " << c.b;
    EXPECT_EQ(IsAtLeast(c.a, c.b), c.atLeast) << c.a << " " << c.b;
    EXPECT_EQ(IsClearlyBelow(c.a, c.b), c.clearlyBelow) << c.a << " " << c.b;
  }
}

TEST(Saturating, ToInt) {
  struct Case {
    double v;
    int trunc;
    int round;
  } cases[] = {
      {0.0, 0, 0},
      {2.5, 2, 3},
      {-2.5, -2, -3},
      {-0.4, 0, 0},
      {2147483647.9, 2147483647, 2147483647},
      {2147483648.0, 2147483647, 2147483647},
      {-2147483648.9, -2147483647 - 1, -2147483647 - 1},
      {-2147483649.0, -2147483647 - 1, -2147483647 - 1},
      {1e300, 2147483647, 2147483647},
      {-1e300, -2147483647 - 1, -2147483647 - 1},
      {kInf, 2147483647, 2147483647},
      {-kInf, -2147483647 - 1, -2147483647 - 1},
      {kNaN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(quarlen::SaturatingTrunc<int>(c.v), c.trunc) << c.v;
    EXPECT_EQ(quarlen::SaturatingRound<int>(c.v), c.round) << c.v;
  }
}

TEST(Saturating, OtherTypes) {
  EXPECT_EQ(quarlen::SaturatingTrunc<std::int64_t>(9.3e18),
            std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(quarlen::SaturatingTrunc<std::int64_t>(-9.3e18),
            std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(quarlen::SaturatingTrunc<std::int64_t>(-9223372036854775808.0),
            std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(quarlen::SaturatingTrunc<unsigned>(-1.0), 0u);
  EXPECT_EQ(quarlen::SaturatingTrunc<unsigned>(-0.9), 0u);
  EXPECT_EQ(quarlen::SaturatingTrunc<unsigned>(4294967296.0), 4294967295u);
  EXPECT_EQ(quarlen::SaturatingTrunc<std::uint8_t>(300.0), 255);
  EXPECT_EQ(quarlen::SaturatingTrunc<short>(-1e6f), -32768);
  EXPECT_EQ(quarlen::SaturatingRound<long>(kNaN), 0);
}

TEST(SwapBytesTest, ExchangesTheTwoBytes) {
  unsigned short v = 0x1234;
  SwapBytes(v);
  EXPECT_EQ(v, 0x3412);
  v = 0x00FF;
  SwapBytes(v);
  EXPECT_EQ(v, 0xFF00);
}

}  // namespace
