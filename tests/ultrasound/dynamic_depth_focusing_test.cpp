// Register values of the two dynamic depth focusing board families.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ultrasound/calculator_data.h"
#include "ultrasound/dynamic_depth_focusing.h"

namespace {

using D = CDynamicDepthFocusing;

struct DynInput {
  short mode;
  unsigned short factor;
  unsigned short clock;
  double delay;
  double start;
  double end;
};

struct DynOutput {
  bool ok;
  unsigned short startCounter;
  unsigned short pointCounter;
  unsigned short controlWord;
  double clockPeriod;
  double stepTime;
};

DynOutput Compute(D::DynFunc f, const DynInput& i) {
  DynOutput o{false, 0xAAAA, 0xAAAA, 0xAAAA, -1.0, -1.0};
  D::CCalcDynValueConstParameter in{i.mode, i.factor, i.clock, i.delay, i.start, i.end};
  D::CCalcDynValueReturnParameter out{o.startCounter, o.pointCounter, o.controlWord, o.clockPeriod,
                                      o.stepTime};
  D ddf;
  ddf.SetDynFunc(f);
  o.ok = ddf.CalcDynValue(in, out) == 1;
  return o;
}

void ExpectRejected(const DynOutput& o) {
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.startCounter, 0);
  EXPECT_EQ(o.pointCounter, 0);
  EXPECT_EQ(o.controlWord, 0);
  EXPECT_EQ(o.clockPeriod, 0.0);
  EXPECT_EQ(o.stepTime, 0.0);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(DdfFirstFamily, ClockOneFactorOne) {
  // delay 1 µs: s = (1000 - 600) * 0.04 = 16.
  const DynOutput o = Compute(&D::CalcDynValueVarda, {0, 1, 1, 1.0, 0.0, 1e-6});
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.controlWord, 0x8000 + 253);
  EXPECT_DOUBLE_EQ(o.stepTime, 6.75e-8);
  EXPECT_DOUBLE_EQ(o.clockPeriod, 2.5e-8);
  EXPECT_EQ(o.pointCounter, 65535 - 30);  // n = 1e-6 / 6.75e-8 * 2 + 1 = 30.6
  EXPECT_EQ(o.startCounter, 65519);
}

TEST(DdfFirstFamily, ClocksAndMode) {
  struct Case {
    short mode;
    unsigned short clock;
    unsigned short control;
    double period;
  } cases[] = {
      {0, 0, 0x8000 + 0x100 + 245, 12.5e-9}, {1, 1, 245, 25e-9}, {-3, 2, 0x200 + 245, 50e-9}};
  for (const Case& c : cases) {
    const DynOutput o = Compute(&D::CalcDynValueVarda, {c.mode, 5, c.clock, 1.0, 0.0, 1e-6});
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.controlWord, c.control);
    EXPECT_DOUBLE_EQ(o.clockPeriod, c.period);
  }
}

TEST(DdfFirstFamily, RejectedInputsClearEverything) {
  const DynInput cases[] = {
      {0, 128, 1, 1.0, 0.0, 1e-6},   // factor above 127
      {0, 0, 1, 1.0, 0.0, 1e-6},     // factor 0
      {0, 1, 3, 1.0, 0.0, 1e-6},     // clock 3
      {0, 1, 1, 1.0, 1e-6, 1e-6},    // end equal to start
      {0, 1, 1, 1.0, 0.0, 1.0},      // n above 65535
      {0, 1, 1, 1700.0, 0.0, 1e-6},  // s above 65535
      {0, 1, 1, 0.0, 0.0, 1e-6},     // s = -24: the counter would need 17 bits
      {0, 1, 1, 0.1, 0.0, 1e-6},     // s = -20
      {0, 1, 1, kNaN, 0.0, 1e-6},    // non-finite offset
      {0, 1, 1, 1.0, kNaN, 1e-6},    // non-finite times
      {0, 1, 1, 1.0, 0.0, kInf},
  };
  for (const DynInput& c : cases) ExpectRejected(Compute(&D::CalcDynValueVarda, c));
}

TEST(DdfFirstFamily, SmallestAcceptedOffsetGivesTheTopCounter) {
  // s = -0.4: 65535 - s + 0.5 = 65535.9 still fits.
  const DynOutput o = Compute(&D::CalcDynValueVarda, {0, 1, 1, 0.59, 0.0, 1e-6});
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.startCounter, 65535);
}

TEST(DdfSecondFamily, AcceptsAnEmptyRange) {
  const DynOutput o = Compute(&D::CalcDynValueTolvo, {0, 300, 2, 0.0, 0.0, 0.0});
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.pointCounter, 1);
  EXPECT_EQ(o.startCounter, 0);
  EXPECT_EQ(o.controlWord, 0x32C);  // 0x200 | 300: the bits overlap
  EXPECT_DOUBLE_EQ(o.clockPeriod, 2e-8);
  EXPECT_DOUBLE_EQ(o.stepTime, 3e-6);
}

TEST(DdfSecondFamily, Counters) {
  // factor 10: step 1e-7; n = 1.02e-6 / 1e-7 * 2 + 1 = 21.4; s = (2005 + 2000) * 0.1 = 400.5.
  const DynOutput o = Compute(&D::CalcDynValueTolvo, {1, 10, 15, 2.005, 1e-6, 2.02e-6});
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.pointCounter, 21);
  EXPECT_EQ(o.startCounter, 400);
  EXPECT_EQ(o.controlWord, 0x0F0A);
}

TEST(DdfSecondFamily, RejectedInputsClearEverything) {
  const DynInput cases[] = {
      {0, 10, 16, 0.0, 0.0, 1e-6},   // clock above 15
      {0, 0, 1, 0.0, 0.0, 1e-6},     // factor 0
      {0, 10, 1, 0.0, 2e-6, 1e-6},   // end before start
      {0, 1, 1, 0.0, 0.0, 1e-3},     // n above 65535
      {0, 10, 1, 700.0, 0.0, 1e-6},  // s above 65535
      {0, 10, 1, -1.0, 0.0, 1e-6},   // s = -100: negative counter
      {0, 10, 1, kNaN, 0.0, 1e-6},  {0, 10, 1, 0.0, 0.0, kNaN},
  };
  for (const DynInput& c : cases) ExpectRejected(Compute(&D::CalcDynValueTolvo, c));
}

TEST(DdfFamilies, NumberIncrement) {
  unsigned short b = 0x0001;
  D::CalcDynNumberIncrementVarda(0x12FE, b);
  EXPECT_EQ(b, 0xFFFF);
  b = 0x0001;
  D::CalcDynNumberIncrementVarda(0x0001, b);
  EXPECT_EQ(b, 0xFFFE);
  b = 0x0000;
  D::CalcDynNumberIncrementVarda(0x00FE, b);
  EXPECT_EQ(b, 0x0000);  // 0xFFFF + 1 wraps
  b = 0x1234;
  D::CalcDynNumberIncrementTolvo(0x00FE, b);
  EXPECT_EQ(b, 0x1234);
}

TEST(DdfFamilies, SlideDelayFactors) {
  EXPECT_EQ(D::CalcFirstSlideDelayFactorVarda(3), 8);
  EXPECT_EQ(D::CalcFirstSlideDelayFactorVarda(9), 9);
  EXPECT_EQ(D::CalcFirstSlideDelayFactorTolvo(3), 20);
  D ddf;
  ddf.SetMaximumDDFPoint(16384);
  const struct {
    LONG x;
    LONG expected;
  } cases[] = {{1, 1}, {16384, 1}, {16385, 2},
               {0, 1}, {32769, 3}, {std::numeric_limits<LONG>::min(), -131071}};
  for (const auto& c : cases) EXPECT_EQ(D::CalcSlideDelayFactorVarda(ddf, c.x), c.expected) << c.x;
  EXPECT_EQ(D::CalcSlideDelayFactorTolvo(ddf, 12345), 1);
  // No maximum point to divide by: one slide.
  EXPECT_EQ(D::CalcSlideDelayFactorVarda(D(), 100), 1);
}

TEST(DdfObject, DispatchesToItsFunctionsAndCopiesThem) {
  CCalculatorData data;
  data.SetDDFData(UltrasoundTypes::eBoardVarda);
  const D copy = data.GetDDFData();
  EXPECT_EQ(copy.CalcFirstSlideDelayFactor(3), 8);
  EXPECT_EQ(copy.CalcSlideDelayFactor(copy, 16385), 2);
  unsigned short b = 1;
  copy.CalcDynNumberIncrement(0x0001, b);
  EXPECT_EQ(b, 0xFFFE);
  D other;
  other = copy;
  EXPECT_EQ(other.CalcFirstSlideDelayFactor(9), 9);
}

TEST(DdfObject, WithoutFunctionsGivesNeutralResults) {
  const D ddf;
  EXPECT_EQ(ddf.CalcFirstSlideDelayFactor(3), 0);
  EXPECT_EQ(ddf.CalcSlideDelayFactor(ddf, 3), 0);
  unsigned short b = 7;
  ddf.CalcDynNumberIncrement(0xFE, b);
  EXPECT_EQ(b, 7);
  const DynOutput o = Compute(nullptr, {0, 1, 1, 1.0, 0.0, 1e-6});
  ExpectRejected(o);
}

}  // namespace
