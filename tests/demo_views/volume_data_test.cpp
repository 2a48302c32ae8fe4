// The demo's synthetic volume: the gate's samples, the top view of a gate against every sample
// it covers, where the reflectors answer along the index axis, and the top view control's
// answers to bad gates and positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "demo/cscan_view.h"
#include "demo/volume_data.h"

namespace {

using demo::SyntheticVolume;

const SyntheticVolume& Volume() {
  static const SyntheticVolume volume;
  return volume;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct GateCase {
  const char* name;
  double lower, upper;  // m
  bool inside;
  int first, last;  // depth samples (0.05 mm each), when inside
};

const GateCase kGateCases[] = {
    {"EndsOnTheGrid", 0.005, 0.020, true, 100, 400},
    {"EndsBetweenSamplesTakeTheSamplesInside", 0.00502, 0.02004, true, 101, 400},
    {"OneSample", 0.010, 0.010, true, 200, 200},
    {"AboveTheSurfaceClampsToTheFirstSample", -0.010, 0.001, true, 0, 20},
    {"BelowTheDataClampsToTheLastSample", 0.045, 1.0, true, 900, 1000},
    {"InfiniteEndsCoverTheData", -kInf, kInf, true, 0, 1000},
    {"LowerAboveUpperIsEmpty", 0.020, 0.005, false, 0, 0},
    {"BetweenTwoSamplesIsEmpty", 0.01001, 0.01004, false, 0, 0},
    {"BesideTheDataIsEmpty", 0.060, 0.070, false, 0, 0},
    {"NaNLowerIsEmpty", kNaN, 0.020, false, 0, 0},
    {"NaNUpperIsEmpty", 0.005, kNaN, false, 0, 0},
};

TEST(SyntheticVolumeGate, SamplesOfTheGate) {
  for (const GateCase& c : kGateCases) {
    SCOPED_TRACE(c.name);
    int first = -7, last = -7;
    EXPECT_EQ(Volume().GateSamples(c.lower, c.upper, &first, &last), c.inside);
    if (c.inside) {
      EXPECT_EQ(first, c.first);
      EXPECT_EQ(last, c.last);
    } else {
      EXPECT_EQ(first, -7);  // nothing written
      EXPECT_EQ(last, -7);
    }
  }
}

// The top view of each gate holds, at every scan position and line, the largest sample of the
// gate's depths; an empty gate holds zeros.
TEST(SyntheticVolumeGate, TopViewIsTheLargestSampleInTheGate) {
  const SyntheticVolume& v = Volume();
  for (const GateCase& c : kGateCases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> top = v.GateMaximum(c.lower, c.upper);
    ASSERT_EQ(top.size(), std::size_t(v.LineCount()) * v.ScanCount());
    // Every 7th scan position of every 5th line: all the reflectors and plain plate between.
    for (int line = 0; line < v.LineCount(); line += 5) {
      for (int s = 0; s < v.ScanCount(); s += 7) {
        int expected = 0;
        for (int d = c.first; c.inside && d <= c.last; ++d)
          expected = std::max<int>(expected, v.Sample(s, line, d));
        ASSERT_EQ(top[std::size_t(line) * v.ScanCount() + s], expected)
            << "scan sample " << s << ", line " << line;
      }
    }
  }
}

struct ReflectorCase {
  const char* name;
  double scan, index, depth;  // m: the top of the reflector's echo on a scan line
  bool seen;
};

// Each reflector runs along its own stretch of the index axis (the probe sees it up to 4 mm
// beyond its ends, fading): holes at 60 mm (index 5..35 mm, 12 mm deep), 130 mm (15..55 mm,
// 24 mm), 200 mm (right through, 33 mm) and a crack tip at 250 mm (20..45 mm, 28 mm).
const ReflectorCase kReflectorCases[] = {
    {"FirstHoleAlongItsStretch", 0.060, 0.020, 0.012, true},
    {"FirstHoleNearItsEnd", 0.060, 0.035, 0.012, true},
    {"FirstHoleBeforeItsStart", 0.060, 0.000, 0.012, false},
    {"FirstHolePastItsEnd", 0.060, 0.040, 0.012, false},
    {"SecondHoleAlongItsStretch", 0.130, 0.030, 0.024, true},
    {"SecondHoleBeforeItsStart", 0.130, 0.010, 0.024, false},
    {"ThroughHoleOnTheFirstLine", 0.200, 0.000, 0.033, true},
    {"ThroughHoleOnTheLastLine", 0.200, 0.060, 0.033, true},
    {"CrackAlongItsStretch", 0.250, 0.030, 0.028, true},
    {"CrackPastItsEnd", 0.250, 0.052, 0.028, false},
};

TEST(SyntheticVolumeReflectors, EchoOnlyWhereTheReflectorRuns) {
  const SyntheticVolume& v = Volume();
  for (const ReflectorCase& c : kReflectorCases) {
    SCOPED_TRACE(c.name);
    const int s = v.ScanIndex(c.scan), line = v.LineIndex(c.index);
    ASSERT_GE(s, 0);
    ASSERT_GE(line, 0);
    // The strongest sample within a millimetre of the echo's depth.
    int peak = 0;
    for (int d = v.DepthIndex(c.depth - 0.001); d <= v.DepthIndex(c.depth + 0.001); ++d)
      peak = std::max<int>(peak, v.Sample(s, line, d));
    if (c.seen)
      EXPECT_GT(peak, 100);
    else
      EXPECT_LT(peak, 30);  // grain only
  }
}

struct NearestCase {
  const char* name;
  double value;
  int scan, line, depth;
};

const NearestCase kNearestCases[] = {
    {"Origin", 0.0, 0, 0, 0},
    {"HalfAStepBelowTheOrigin", -0.00002, 0, 0, 0},
    {"BelowTheData", -0.01, -1, -1, -1},
    {"NaN", kNaN, -1, -1, -1},
    {"TenMillimetres", 0.010, 20, 10, 200},
    {"SixtyMillimetresIsTheLastLineAndBelowTheDepth", 0.060, 120, 60, -1},
    {"BeyondTheScan", 0.301, -1, -1, -1},
};

TEST(SyntheticVolume, NearestSamplesAndOutside) {
  for (const NearestCase& c : kNearestCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Volume().ScanIndex(c.value), c.scan);
    EXPECT_EQ(Volume().LineIndex(c.value), c.line);
    EXPECT_EQ(Volume().DepthIndex(c.value), c.depth);
  }
}

// Bad gates and positions give neutral answers: zeros for an empty gate, -1 beside the data,
// and a control without a window draws nothing.
TEST(TopViewControl, BadGatesAndPositionsAreNeutral) {
  demo::TopViewControl control(Volume());
  control.SetGate(0.005, 0.030);
  EXPECT_GT(control.AmplitudeAt(0.130, 0.030), 100);  // the second hole
  EXPECT_EQ(control.AmplitudeAt(-0.01, 0.030), -1);
  EXPECT_EQ(control.AmplitudeAt(0.130, kNaN), -1);
  EXPECT_EQ(control.AmplitudeAt(0.130, 0.070), -1);
  const double emptyGates[][2] = {{kNaN, 0.030}, {0.005, kNaN}, {0.060, 0.070}, {0.030, 0.005}};
  for (const auto& gate : emptyGates) {
    control.SetGate(gate[0], gate[1]);
    EXPECT_EQ(control.AmplitudeAt(0.130, 0.030), 0) << gate[0] << " .. " << gate[1];
  }
  control.OnDraw(nullptr);
  EXPECT_EQ(control.DrawCount(), 0);
}

}  // namespace
