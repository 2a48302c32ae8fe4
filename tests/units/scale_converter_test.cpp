// Scale converters: positions, samples and pixels, the display-offset exchange, rounding to
// display steps, and saturation of integer results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"

namespace {

constexpr LONG kLongMax = std::numeric_limits<std::int32_t>::max();
constexpr LONG kLongMin = std::numeric_limits<std::int32_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Ruler 0..100 over 101 pixels starting at pixel 10.
CSC Window(int inverted = 0) {
  CSC sc;
  sc.SetAttrib(101, 10);
  sc.SetAttrib(0.0, 100.0, inverted, 0.0);
  return sc;
}

struct PixelCase {
  const char* name;
  int inverted;
  double pos;
  LONG pixel;
};

class ScalePosToPixel : public ::testing::TestWithParam<PixelCase> {};

TEST_P(ScalePosToPixel, MapsAndRoundsHalfUp) {
  EXPECT_EQ(Window(GetParam().inverted).PosToPixel(GetParam().pos), GetParam().pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScalePosToPixel,
    ::testing::Values(PixelCase{"Start", 0, 0.0, 10}, PixelCase{"End", 0, 100.0, 110},
                      PixelCase{"Middle", 0, 50.0, 60}, PixelCase{"HalfUp", 0, 49.5, 60},
                      PixelCase{"BelowHalf", 0, 49.4, 59}, PixelCase{"InvertedStart", 1, 0.0, 110},
                      PixelCase{"InvertedEnd", 1, 100.0, 10},
                      PixelCase{"HalfBelowFirstPixel", 0, -10.5, 0},
                      PixelCase{"MoreThanHalfBelow", 0, -10.6, -1},
                      PixelCase{"HugeSaturatesHigh", 0, 1e300, kLongMax},
                      PixelCase{"HugeSaturatesLow", 0, -1e300, kLongMin},
                      PixelCase{"InfinitySaturates", 0, kInf, kLongMax},
                      PixelCase{"NaNGivesZero", 0, kNaN, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Scale, PixelToPos) {
  EXPECT_DOUBLE_EQ(Window().PixelToPos(60), 50.0);
  EXPECT_DOUBLE_EQ(Window().PixelToPos(10), 0.0);
  EXPECT_DOUBLE_EQ(Window().PixelToPos(110), 100.0);
  EXPECT_DOUBLE_EQ(Window(1).PixelToPos(10), 100.0);
  EXPECT_DOUBLE_EQ(Window(1).PixelToPos(110), 0.0);
  // Extreme pixels and offsets do not overflow the integer arithmetic.
  CSC sc;
  sc.SetAttrib(2, kLongMax);
  sc.SetAttrib(0.0, 1.0, 1, 0.0);
  EXPECT_DOUBLE_EQ(sc.PixelToPos(kLongMin), 4294967296.0);
}

TEST(Scale, ZeroWindowSaturatesSampleResults) {
  CSC sc;
  sc.SetAttrib(1, 0);  // one pixel: window size 0
  sc.SetAttrib(0.0, 100.0, 0, 0.0);
  go_sample samples{1.0, 0.0, 0, 0};
  sc.SetAttrib(&samples);
  EXPECT_EQ(sc.GetWndSize(), 0);
  EXPECT_TRUE(std::isnan(sc.PixelToPos(0)));
  EXPECT_EQ(sc.PixelToSample(0), 0);
  EXPECT_EQ(sc.PixelToSample(5), kLongMax);
  EXPECT_EQ(sc.PixelToSample(-5), kLongMin);
  EXPECT_EQ(sc.PixelPerSample(), 0.0);
  EXPECT_EQ(sc.SamplePerPixel(), 100.0);
  EXPECT_EQ(sc.PosToPixel(50.0), 0);  // pixels per position 0
}

TEST(Scale, ZeroRangeUsesWindowSizeAsPixelsPerPosition) {
  CSC sc;
  sc.SetAttrib(101, 10);
  sc.SetAttrib(5.0, 0.0, 0, 0.0);
  EXPECT_EQ(sc.GetWndSizeOnRulerRange(), 100.0);
  sc.SetAttrib(51, 0);
  EXPECT_EQ(sc.GetWndSizeOnRulerRange(), 50.0);
  EXPECT_EQ(sc.PosToPixel(6.0), 50);
}

TEST(Scale, ResizeKeepsTheRulerWindow) {
  CSC sc = Window();
  sc.SetAttrib(201, 0);
  EXPECT_EQ(sc.GetWndSize(), 200);
  EXPECT_EQ(sc.GetWndOffset(), 0);
  EXPECT_EQ(sc.PosToPixel(100.0), 200);
  sc.SetAttrib(-5, 3);
  EXPECT_EQ(sc.GetWndSize(), 0);
  EXPECT_EQ(sc.PosToPixelQty(10.0), 3);
}

TEST(Scale, PosToPixelQty) {
  CSC sc;
  sc.SetAttrib(201, 0);
  sc.SetAttrib(0.0, 100.0, 0, 0.0);
  EXPECT_EQ(sc.PosToPixelQty(10.0), 20);
  EXPECT_EQ(sc.PosToPixelQty(0.25), 1);
  EXPECT_EQ(sc.PosToPixelQty(1e300), kLongMax);
}

struct SampleCase {
  const char* name;
  double resolution, offset;
  double pos;
  LONG sample;
};

class ScalePosToSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(ScalePosToSample, RoundsByTruncationAfterHalf) {
  CSC sc;
  go_sample samples{GetParam().resolution, GetParam().offset, 0, 0};
  sc.SetAttrib(&samples);
  EXPECT_EQ(sc.PosToSample(GetParam().pos), GetParam().sample);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScalePosToSample,
    ::testing::Values(SampleCase{"Nearest", 1.0, 0.0, 2.6, 3},
                      SampleCase{"NegativeTruncatesTowardZero", 1.0, 0.0, -0.7, 0},
                      SampleCase{"NegativeFar", 1.0, 0.0, -1.7, -1},
                      SampleCase{"WithOffset", 0.5, 10.0, 12.0, 4},
                      SampleCase{"ZeroResolutionSaturates", 0.0, 0.0, 3.0, kLongMax},
                      SampleCase{"ZeroResolutionBelow", 0.0, 0.0, -3.0, kLongMin},
                      SampleCase{"ZeroResolutionAtOffsetIsNaN", 0.0, 1.0, 1.0, 0},
                      SampleCase{"HugeSaturates", 1e-300, 0.0, 1e10, kLongMax}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Scale, SampleConversions) {
  CSC sc = Window();
  go_sample samples{0.5, 10.0, 0, 0};
  sc.SetAttrib(&samples);
  EXPECT_EQ(sc.SampleToPos(LONG{4}), 12.0);
  EXPECT_EQ(sc.SampleToPos(4.5), 12.25);
  EXPECT_EQ(sc.PosToSampleD(11.25), 2.5);
  EXPECT_EQ(sc.SampleToPixel(LONG{80}), 60);
  EXPECT_EQ(sc.SampleToPixel(80.0), 60);
  EXPECT_EQ(sc.PixelToSample(60), 80);
  EXPECT_EQ(sc.PixelToSampleD(61), 82.0);
  EXPECT_EQ(sc.PixelPerSample(), 0.5);
  EXPECT_EQ(sc.SamplePerPixel(), 2.0);
  EXPECT_EQ(sc.IsLinear(), 1);
  go_sample nonLinear{0.5, 10.0, 0, 1};
  sc.SetAttrib(&nonLinear);
  EXPECT_EQ(sc.IsLinear(), 0);
  sc.SetAttrib(static_cast<go_sample*>(nullptr));
  EXPECT_EQ(sc.GetSampleResol(), 0.5);
}

TEST(Scale, SamplePerPixelWithZeroResolution) {
  CSC sc = Window();
  EXPECT_EQ(sc.SamplePerPixel(), std::numeric_limits<double>::max());
  sc.SetAttrib(0.0, -100.0, 0, 0.0);
  EXPECT_EQ(sc.SamplePerPixel(), -std::numeric_limits<double>::max());
}

// Display-offset cases: {offset, data min, data max, real, display}.
struct OffsetCase {
  const char* name;
  double offset, lo, hi;
  double real, display;
};

class ScaleDisplayOffset : public ::testing::TestWithParam<OffsetCase> {
 protected:
  CSC Make() const {
    CSC sc;
    sc.SetAttrib(101, 0);
    sc.SetAttrib(0.0, 360.0, 0, GetParam().offset);
    sc.SetDataLimits(GetParam().lo, GetParam().hi);
    return sc;
  }
};

TEST_P(ScaleDisplayOffset, RealToDisplay) {
  EXPECT_DOUBLE_EQ(Make().RealToDisplayPos(GetParam().real), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    RealToDisplay, ScaleDisplayOffset,
    ::testing::Values(OffsetCase{"StaticOffset", 10, 0, 0, 5, 15},
                      OffsetCase{"LowBandMovesUp", 90, 0, 360, 45, 405},
                      OffsetCase{"LowBandStart", 90, 0, 360, 0, 360},
                      OffsetCase{"OutsideBands", 90, 0, 360, 200, 200},
                      OffsetCase{"LowBandEndExcluded", 90, 0, 360, 90, 90},
                      OffsetCase{"HighBandMovesDown", 90, 0, 360, 400, 40},
                      OffsetCase{"NegativeHighBand", -90, 0, 360, 300, -60},
                      OffsetCase{"NegativeLowBand", -90, 0, 360, -60, 300},
                      OffsetCase{"NegativeHighEndExcluded", -90, 0, 360, 360, 360},
                      OffsetCase{"NearlyZeroOffsetInactive", 1e-9, 0, 360, 45, 45}),
    [](const auto& info) { return std::string(info.param.name); });

struct DisplayCase {
  const char* name;
  double offset, lo, hi;
  double display, real;
};

class ScaleDisplayToReal : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(ScaleDisplayToReal, DisplayToReal) {
  CSC sc;
  sc.SetAttrib(0.0, 360.0, 0, GetParam().offset);
  sc.SetDataLimits(GetParam().lo, GetParam().hi);
  EXPECT_DOUBLE_EQ(sc.DisplayToRealPos(GetParam().display), GetParam().real);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleDisplayToReal,
                         ::testing::Values(DisplayCase{"StaticOffset", 10, 0, 0, 15, 5},
                                           DisplayCase{"HighBand", 90, 0, 360, 400, 40},
                                           DisplayCase{"HighBandEndExcluded", 90, 0, 360, 450, 450},
                                           DisplayCase{"BandStartWithinTolerance", 90, 0, 360,
                                                       360 - 1e-8, (360 - 1e-8) - 360},
                                           DisplayCase{"NegativeLowBand", -90, 0, 360, -60, 300},
                                           DisplayCase{"NegativeStatic", -10, 0, 0, 15, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scale, OffsetNeedsBothConsideredFlags) {
  CSC sc;
  sc.SetAttrib(0.0, 360.0, 0, 10.0);
  EXPECT_EQ(sc.HasStaticDisplayOffset(), 1);
  sc.SetDataLimitsConsidered(0);
  EXPECT_EQ(sc.HasStaticDisplayOffset(), 0);
  EXPECT_EQ(sc.RealToDisplayPos(5.0), 5.0);
  sc.SetDataLimitsConsidered(1);
  sc.SetDataLimits(0.0, 360.0);
  EXPECT_EQ(sc.HasStaticDisplayOffset(), 0);
  sc.SetDisplayOffsetConsidered(0);
  EXPECT_EQ(sc.RealToDisplayPos(5.0), 5.0);
  // Not considered at set-up: neither the ruler offset nor the display offset take it.
  sc.SetAttrib(0.0, 360.0, 0, 10.0);
  EXPECT_EQ(sc.GetRulOffset(), 0.0);
  EXPECT_EQ(sc.GetDisplayOffset(), 0.0);
}

TEST(Scale, DisplayOffsetShiftsTheWindow) {
  CSC sc;
  sc.SetAttrib(361, 0);
  sc.SetAttrib(0.0, 360.0, 0, 90.0);
  sc.SetDataLimits(0.0, 360.0);
  EXPECT_EQ(sc.GetRulOffset(), 90.0);
  // Real 45 is shown at display 405, 315 pixels from display 90.
  EXPECT_EQ(sc.PosToPixel(45.0), 315);
  EXPECT_DOUBLE_EQ(sc.PixelToPos(315), 45.0);
  EXPECT_EQ(sc.PosToPixel(200.0), 110);
  EXPECT_DOUBLE_EQ(sc.PixelToPos(110), 200.0);
}

TEST(Scale, SetUpFromRuler) {
  CRuler ruler;
  ruler.Create(L"scan", nullptr, 5.0, 1);
  ruler.Set(10.0, 100.0, 0);
  go_sample samples{0.5, 1.0, 0, 0};
  CSC sc(&ruler, &samples, 101, 10, 1, 1, 1);
  EXPECT_EQ(sc.GetRulOffset(), 15.0);
  EXPECT_EQ(sc.GetRulRange(), 100.0);
  EXPECT_EQ(sc.GetDisplayOffset(), 5.0);
  EXPECT_EQ(sc.GetWndSize(), 100);
  EXPECT_EQ(sc.GetWndOffset(), 10);
  EXPECT_EQ(sc.IsInverted(), 1);
  EXPECT_EQ(sc.GetSampleResol(), 0.5);
  EXPECT_EQ(sc.GetSampleOffset(), 1.0);
  EXPECT_EQ(sc.HasStaticDisplayOffset(), 1);

  CSC plain(&ruler, nullptr, 101, 0, 0, 0, 1);
  EXPECT_EQ(plain.GetRulOffset(), 10.0);
  EXPECT_EQ(plain.GetDisplayOffset(), 0.0);
  plain.SetAttrib(static_cast<CRuler*>(nullptr), 1);
  EXPECT_EQ(plain.IsInverted(), 1);
  EXPECT_EQ(plain.GetRulOffset(), 10.0);
}

TEST(Scale, Comparison) {
  CSC a = Window();
  CSC b = Window();
  EXPECT_TRUE(a == b);
  b.Invert(1);  // not compared
  b.SetDataLimits(1.0, 2.0);
  EXPECT_TRUE(a == b);
  b.SetAttrib(0.0, 100.0 + 1e-12, 0, 0.0);
  EXPECT_FALSE(a == b);
  CSC c = Window();
  c.SetAttrib(102, 10);
  EXPECT_FALSE(a == c);
}

struct StepsCase {
  const char* name;
  double offset, lo, hi;
  bool quarters;  // display unit of 4 steps per base unit, else no unit
  double pos;
  LONG steps;
};

class ScaleToSampleSteps : public ::testing::TestWithParam<StepsCase> {};

TEST_P(ScaleToSampleSteps, RoundsToDisplaySteps) {
  const StepsCase& c = GetParam();
  CUnit base;
  CUnit quarters(unit_distance, unit_dataMillimeter, unit_convLinear, 4.0, 0.0, &base);
  CSC sc;
  sc.SetAttrib(0.0, 360.0, 0, c.offset);
  sc.SetDataLimits(c.lo, c.hi);
  EXPECT_EQ(sc.ToSampleSteps(c.pos, c.quarters ? &quarters : nullptr), c.steps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleToSampleSteps,
    ::testing::Values(StepsCase{"NoOffset", 0, 0, 0, true, 3.075, 12},
                      StepsCase{"NoOffsetHalfUp", 0, 0, 0, true, 3.125, 13},
                      StepsCase{"NegativeHalfUp", 0, 0, 0, true, -3.125, -12},
                      StepsCase{"InsideExchangedBand", 90, 0, 360, false, 400.4, 400},
                      StepsCase{"AcrossBandEnd", 90, 0, 360, false, 449.7, 90},
                      StepsCase{"StaticOffset", 10, 0, 0, false, 14.6, 15},
                      StepsCase{"HugeSaturates", 0, 0, 0, true, 1e300, kLongMax},
                      StepsCase{"NaNGivesZero", 0, 0, 0, false, kNaN, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
