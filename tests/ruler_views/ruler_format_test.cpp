// Label size estimates and the choice of tick step and first tick.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "graphics/graphical_ruler.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct FormatCase {
  double value, range;
  int width, decimals;
};

class GetFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GetFormatTest, WidthAndDecimals) {
  const FormatCase& c = GetParam();
  int width = -1, decimals = -1;
  CGRuler::GetFormat(c.value, c.range, &width, &decimals);
  EXPECT_EQ(width, c.width);
  EXPECT_EQ(decimals, c.decimals);
}

INSTANTIATE_TEST_SUITE_P(Table, GetFormatTest,
                         ::testing::Values(FormatCase{0.0, 100.0, 4, 0},      // "100"
                                           FormatCase{0.0, 0.5, 4, 2},        // "0.25"
                                           FormatCase{-5.0, 10.0, 4, 1},      // sign counted
                                           FormatCase{-100.0, 50.0, 5, 0},    // "-100"
                                           FormatCase{-80.0, 80.0, 4, 0},     // decibels up to 0
                                           FormatCase{1000.0, 9000.0, 6, 0},  // "10000"
                                           FormatCase{0.001, 0.002, 6, 4},
                                           // Degenerate ranges stay bounded instead of overflowing.
                                           FormatCase{0.0, 0.0, 22, 20},
                                           FormatCase{0.0, -1.0, 3, 0}, FormatCase{0.0, kNaN, 2, 0},
                                           FormatCase{kNaN, kNaN, 2, 0},
                                           FormatCase{1e300, 1e300, 302, 0},
                                           FormatCase{0.0, kInf, 402, 0}));

// A linear scale over `pixels` pixels showing [start, start + range) of the base unit.
CSC Scale(double start, double range, LONG pixels, int inverted = 0, double displayOffset = 0.0) {
  CSC s;
  s.SetDataLimitsConsidered(0);
  s.SetAttrib(start, range, inverted, displayOffset);
  s.SetAttrib(pixels, 0);
  return s;
}

struct DisplayCase {
  const char* name;
  double start, range;
  LONG length, spacing;
  double scaleStart, scaleRange;
  int inverted;
  double displayOffset;
  int unitKind;  // 0 base, 1 millimetres of metres, 2 percent -> dB, 3 log scale -> percent
  double minStep;
  double first, step;
};

class GetDisplayFormatTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(GetDisplayFormatTest, StepAndFirstTick) {
  const DisplayCase& c = GetParam();
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &base);
  CUnit db(unit_decibel, unit_dataDecibel, unit_convPercentToDb, 1.0, 0.0, &base);
  CUnit log(unit_percent, unit_dataPercent, unit_convLogToPercent, 1.0, 0.0, &base);
  CUnit* units[] = {&base, &mm, &db, &log};
  CSC scale = Scale(c.scaleStart, c.scaleRange, c.length, c.inverted, c.displayOffset);
  double first = -1.0, step = -1.0;
  CGRuler::GetDisplayFormat(c.start, c.range, c.length, c.spacing, &scale, units[c.unitKind],
                            &first, &step, c.minStep);
  EXPECT_DOUBLE_EQ(step, c.step) << c.name;
  EXPECT_DOUBLE_EQ(first, c.first) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetDisplayFormatTest,
    ::testing::Values(
        // About 8 units per 40 pixels: c = 1, the step is 10.
        DisplayCase{"linear", 0.0, 100.0, 500, 40, 0.0, 100.0, 0, 0.0, 0, 0.0, 0.0, 10.0},
        DisplayCase{"first tick above start", 3.0, 100.0, 500, 40, 3.0, 100.0, 0, 0.0, 0, 0.0, 10.0,
                    10.0},
        DisplayCase{"negative start", -47.0, 100.0, 500, 40, -47.0, 100.0, 0, 0.0, 0, 0.0, -40.0,
                    10.0},
        DisplayCase{"inverted", 0.0, 100.0, 500, 40, 0.0, 100.0, 1, 0.0, 0, 0.0, 0.0, 10.0},
        DisplayCase{"display offset", 50.0, 100.0, 500, 40, 0.0, 100.0, 0, 50.0, 0, 0.0, 50.0,
                    10.0},
        // Millimetres of a metre axis: 0.1 m on 500 pixels is 100 mm.
        DisplayCase{"unit", 0.0, 100.0, 500, 40, 0.0, 0.1, 0, 0.0, 1, 0.0, 0.0, 10.0},
        DisplayCase{"small range", 0.0, 0.01, 500, 40, 0.0, 0.01, 0, 0.0, 0, 0.0, 0.0, 0.001},
        DisplayCase{"5 c", 0.0, 1000.0, 500, 100, 0.0, 1000.0, 0, 0.0, 0, 0.0, 0.0, 500.0},
        DisplayCase{"minimum step", 0.0, 100.0, 500, 40, 0.0, 100.0, 0, 0.0, 0, 25.0, 0.0, 25.0},
        // Percent 1..100 shown in dB (-40..0): the densest end decides, doubled because the
        // spans differ by more than 2, then raised to 5 % of the range: d = 2, step 5.
        DisplayCase{"decibel", -40.0, 40.0, 500, 40, 1.0, 99.0, 0, 0.0, 2, 0.0, -40.0, 5.0},
        // Log scale 0..100 shown in percent (0.01..100): 5 % of the range (4.9995) decides.
        DisplayCase{"logarithmic", 0.01, 99.99, 500, 40, 0.0, 100.0, 0, 0.0, 3, 0.0, 5.0, 5.0},
        // Labels wider than the ruler: one tick at start, the whole range.
        DisplayCase{"spacing >= length", 7.0, 30.0, 100, 100, 0.0, 30.0, 0, 0.0, 0, 0.0, 7.0, 30.0},
        DisplayCase{"spacing >= length, empty range", 7.0, 0.0, 100, 200, 0.0, 30.0, 0, 0.0, 0, 0.0,
                    7.0, 1.0},
        // A scale whose pixels all show one value: 5 % of the range decides.
        DisplayCase{"degenerate scale", 0.0, 100.0, 500, 40, 0.0, 0.0, 0, 0.0, 0, 0.0, 0.0, 10.0},
        // No usable step: first 0, step 1 (or the minimum step above 1).
        // A range that is not a number counts as 1.
        DisplayCase{"NaN range", 0.0, kNaN, 500, 40, 0.0, 100.0, 0, 0.0, 0, 0.0, 0.0, 10.0},
        DisplayCase{"infinite range", 0.0, kInf, 500, 40, 0.0, 100.0, 0, 0.0, 0, 0.0, 0.0, 1.0},
        DisplayCase{"infinite range, minimum step", 0.0, kInf, 500, 40, 0.0, 100.0, 0, 0.0, 0, 3.0,
                    0.0, 3.0}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(GetDisplayFormatTest, UnitReturningNaNGivesTheNeutralLayout) {
  CUnit base;
  CUnit broken(unit_distance, unit_dataMillimeter, unit_convLinear, kNaN, 0.0, &base);
  CSC scale = Scale(0.0, 100.0, 500);
  double first = -1.0, step = -1.0;
  CGRuler::GetDisplayFormat(0.0, kNaN, 500, 40, &scale, &broken, &first, &step, 0.0);
  EXPECT_EQ(first, 0.0);
  EXPECT_EQ(step, 1.0);
}

TEST(GetDisplayFormatTest, OnePixelRulerTerminatesWithAFiniteLayout) {
  CSC scale = Scale(0.0, 100.0, 1);
  double first = -1.0, step = -1.0;
  CGRuler::GetDisplayFormat(0.0, 100.0, 1, 0, &scale, nullptr, &first, &step, 0.0);
  EXPECT_TRUE(std::isfinite(first));
  EXPECT_GT(step, 0.0);
}

}  // namespace
