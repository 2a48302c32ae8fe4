// Ticks and labels drawn by the tick routines into a memory bitmap, read back pixel by pixel,
// and the tick layout itself as tables of expected ticks.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "axis/unit.h"
#include "graphics/graphical_ruler.h"
#include "graphics/tick_layout.h"
#include "tests/ruler_views/ruler_canvas.h"

namespace {

using rulertest::Canvas;
using rulertest::LabelIs;
using rulertest::Linear;
using rulertest::LinearPx;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<int> Multiples(int step, int from, int to) {
  std::vector<int> out;
  for (int x = from; x <= to; x += step) out.push_back(x);
  return out;
}

struct HorizontalTicks : ::testing::Test {
  Canvas c{560, 30};
  CRect rect{0, 0, 501, 30};
  Linear map{5.0, 0.0};  // value v at pixel 5 v
  CUnit base;
  CUnit mm{unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &base};

  void Draw(double start, double step, double end, LONG spacing, int minor = 0, int append = 0,
            int allowNegative = 1) {
    CGRuler::HDrawTicks(&c.dc, &rect, start, step, end, &LinearPx, &map, minor, &mm, spacing,
                        append, allowNegative);
  }
  int Baseline() const { return rect.bottom - c.TickUnit(); }
};

TEST_F(HorizontalTicks, MajorTicksAndLabelsAtEveryStep) {
  Draw(0.0, 10.0, 100.0, 30);
  EXPECT_EQ(c.InkColumns(0), Multiples(50, 0, 500));
  for (int k = 0; k < 10; ++k) {
    const std::wstring text = std::to_wstring(10 * k);
    EXPECT_TRUE(LabelIs(c, 50 * k + 1, Baseline(), text.c_str())) << "label " << k;
  }
}

TEST_F(HorizontalTicks, UnitNameOnOneLabelOnly) {
  Draw(0.0, 10.0, 100.0, 30, 0, 1);
  EXPECT_TRUE(LabelIs(c, 1, Baseline(), L"0"));
  EXPECT_TRUE(LabelIs(c, 51, Baseline(), L"10mm"));
  for (int k = 2; k < 10; ++k) {
    const std::wstring text = std::to_wstring(10 * k);
    EXPECT_TRUE(LabelIs(c, 50 * k + 1, Baseline(), text.c_str())) << "label " << k;
  }
}

TEST_F(HorizontalTicks, ValueNearZeroIsLabelledZero) {
  map = Linear{500.0, 200.0};
  Draw(-0.3, 0.1, 0.3, 30);  // -0.3 + 3 * 0.1 is 5.55e-17, not 0
  EXPECT_TRUE(LabelIs(c, 201, Baseline(), L"0"));
}

TEST_F(HorizontalTicks, NegativeValuesSkippedUnlessAllowed) {
  map = Linear{5.0, 50.0};
  Draw(-5.0, 10.0, 60.0, 30, 0, 0, 0);
  EXPECT_EQ(c.InkColumns(0), Multiples(50, 50, 350));
  c.dc.FillSolidRect(0, 0, c.w, c.h, rulertest::kWhite);
  Draw(-5.0, 10.0, 60.0, 30, 0, 0, 1);
  EXPECT_EQ(c.InkColumns(0), Multiples(50, 25, 325));
}

TEST_F(HorizontalTicks, CollidingLabelsEnlargeTheSpacing) {
  // One unit is 5 pixels, labels need 30: the ticks go to every 10 units.
  Draw(0.0, 1.0, 100.0, 30);
  EXPECT_EQ(c.InkColumns(0), Multiples(50, 0, 500));
  EXPECT_TRUE(LabelIs(c, 51, Baseline(), L"10"));
}

TEST_F(HorizontalTicks, StopsAfterTheSecondTickOutsideTheRectangle) {
  rect = CRect(0, 0, 100, 30);
  Draw(0.0, 10.0, 100.0, 30);
  EXPECT_EQ(c.InkColumns(0), Multiples(50, 0, 200));
}

TEST_F(HorizontalTicks, MinorHalfTicksAndHalfLabels) {
  Draw(0.0, 10.0, 20.0, 10, 1);
  const int tu = c.TickUnit();
  ASSERT_GT(tu, 1);
  // Minor ticks every 5 pixels, one tick unit long; the half tick twice as long.
  EXPECT_EQ(c.InkColumns(0), Multiples(5, 0, 145));
  std::vector<int> longer = c.InkColumns(tu + 1);
  EXPECT_EQ(longer, (std::vector<int>{0, 25, 50, 75, 100, 125}));
  EXPECT_TRUE(LabelIs(c, 26, rect.bottom - 3, L"5"));
  EXPECT_TRUE(LabelIs(c, 76, rect.bottom - 3, L"15"));
}

TEST_F(HorizontalTicks, NoHalfLabelsWhereTheyWouldCollide) {
  Canvas alone(560, 30);
  Draw(0.0, 10.0, 20.0, 30, 1);
  // Half labels need twice the label spacing on both sides: 25 < 60, none drawn.
  CGRuler::HDrawTicks(&alone.dc, &rect, 0.0, 10.0, 20.0, &LinearPx, &map, 0, &mm, 30, 0, 1);
  for (int y = rect.bottom - 12; y < rect.bottom; ++y) {
    for (int x = 20; x < 45; ++x) EXPECT_EQ(c.Ink(x, y), alone.Ink(x, y)) << x << "," << y;
  }
}

struct BadInput {
  const char* name;
  double start, step, end;
  int nanMapping;
  int width;
  bool drawsNothing;
};

class TickBadInput : public ::testing::TestWithParam<BadInput> {};

// Every one of these terminates promptly (the walk is bounded by the pixel extent), and the
// ones without a drawable step leave the bitmap untouched.
TEST_P(TickBadInput, TerminatesAndDrawsNothingHarmful) {
  const BadInput& b = GetParam();
  CUnit base;
  Linear map{5.0, 0.0};
  for (int vertical = 0; vertical < 2; ++vertical) {
    Canvas c(64, 64);
    CRect rect(0, 0, b.width, b.width);
    auto fn = b.nanMapping ? &rulertest::NanPx : &LinearPx;
    if (vertical) {
      CGRuler::VDrawTicks(&c.dc, &rect, b.start, b.step, b.end, fn, &map, 1, &base, 30, 1, 1);
    } else {
      CGRuler::HDrawTicks(&c.dc, &rect, b.start, b.step, b.end, fn, &map, 1, &base, 30, 1, 1);
    }
    if (b.drawsNothing) {
      EXPECT_TRUE(c.Blank()) << b.name << (vertical ? " vertical" : "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TickBadInput,
    ::testing::Values(BadInput{"tiny step", 0.0, 1e-10, 100.0, 0, 60, true},
                      BadInput{"zero step", 0.0, 0.0, 100.0, 0, 60, true},
                      BadInput{"negative step", 0.0, -10.0, 100.0, 0, 60, true},
                      BadInput{"end below start", 50.0, 10.0, 10.0, 0, 60, true},
                      BadInput{"NaN start", kNaN, 10.0, 100.0, 0, 60, true},
                      BadInput{"NaN step", 0.0, kNaN, 100.0, 0, 60, true},
                      BadInput{"NaN end", 0.0, 10.0, kNaN, 0, 60, true},
                      BadInput{"stagnating step", 1e300, 1.0, 2e300, 0, 60, false},
                      BadInput{"huge range", -1e300, 1e290, 1e300, 0, 60, false},
                      BadInput{"infinite end", 0.0, 1.0, kInf, 0, 60, false},
                      BadInput{"infinite step", 0.0, kInf, 100.0, 0, 60, false},
                      BadInput{"infinite range", -kInf, 1.0, kInf, 0, 60, false},
                      BadInput{"NaN mapping", 0.0, 1e-9, 1e300, 1, 60, false},
                      BadInput{"one pixel", 0.0, 1e-6, 1e6, 0, 1, false},
                      BadInput{"empty rectangle", 0.0, 1.0, 1e9, 0, 0, false}),
    [](const ::testing::TestParamInfo<BadInput>& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(TickRoutines, NullArgumentsAreIgnored) {
  Canvas c(20, 20);
  CRect rect(0, 0, 20, 20);
  Linear map;
  CGRuler::HDrawTicks(nullptr, &rect, 0, 1, 10, &LinearPx, &map, 1, nullptr, 5, 1, 1);
  CGRuler::HDrawTicks(&c.dc, nullptr, 0, 1, 10, &LinearPx, &map, 1, nullptr, 5, 1, 1);
  CGRuler::VDrawTicks(&c.dc, &rect, 0, 1, 10, nullptr, &map, 1, nullptr, 5, 1, 1);
  EXPECT_TRUE(c.Blank());
  // Without a unit the labels are plain numbers.
  CGRuler::HDrawTicks(&c.dc, &rect, 0, 1, 10, &LinearPx, &map, 0, nullptr, 5, 1, 1);
  EXPECT_FALSE(c.Blank());
}

TEST(VerticalTicks, RowsAndRotatedLabels) {
  constexpr LONG kUp = 900;
  Canvas c(40, 520, kUp, TA_TOP | TA_LEFT);
  CRect rect(0, 0, 40, 501);
  Linear map{-5.0, 500.0};  // values grow upwards
  CUnit base;
  CGRuler::VDrawTicks(&c.dc, &rect, 0.0, 10.0, 100.0, &LinearPx, &map, 0, &base, 30, 0, 1);
  const int tu = c.TickUnit();
  // Major ticks run from the right edge to left + tick unit + 1.
  EXPECT_EQ(c.InkRows(39), Multiples(50, 0, 500));
  EXPECT_FALSE(c.Ink(tu + 1, 250));
  EXPECT_TRUE(c.Ink(tu + 2, 250));
  // Labels at (left + 2, p - 2), running upwards from there.
  for (int k = 0; k < 10; ++k) {
    const std::wstring text = std::to_wstring(10 * k);
    EXPECT_TRUE(LabelIs(c, 2, 500 - 50 * k - 2, text.c_str(), kUp)) << "label " << k;
  }
}

TEST(VerticalTicks, UnitNameOnceAndNoLabelAboveTheTop) {
  constexpr LONG kUp = 900;
  Canvas c(40, 520, kUp, TA_TOP | TA_LEFT);
  CRect rect(0, 0, 40, 501);
  Linear map{-5.0, 500.0};
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &base);
  CGRuler::VDrawTicks(&c.dc, &rect, 0.0, 10.0, 100.0, &LinearPx, &map, 0, &mm, 30, 1, 1);
  EXPECT_TRUE(LabelIs(c, 2, 498, L"0", kUp));
  EXPECT_TRUE(LabelIs(c, 2, 448, L"10mm", kUp));
  EXPECT_TRUE(LabelIs(c, 2, 398, L"20", kUp));
}

// ---- The layout as a value ----

using quarlen::LayoutTicks;
using quarlen::TickKind;
using quarlen::TickLayout;
using quarlen::TickRequest;

// A tick as one short text: kind, value@pixel, the distance to the next major tick, the label.
// "M 10@50 +10 '10'" is a major tick; "m 2@10" a minor tick; "h 5@25 '5'" a half tick.
std::string Describe(const quarlen::Tick& t) {
  char buf[96];
  const char kind = t.kind == TickKind::major ? 'M' : t.kind == TickKind::minor ? 'm' : 'h';
  int n = std::snprintf(buf, sizeof buf, "%c %g@%d", kind, t.value, static_cast<int>(t.pixel));
  if (t.kind == TickKind::major) n += std::snprintf(buf + n, sizeof buf - n, " +%g", t.step);
  std::string out(buf);
  if (t.labelled) {
    out += " '";
    for (int i = 0; i < t.label.GetLength(); ++i) out += static_cast<char>(t.label[i]);
    out += "'";
  }
  return out;
}

std::vector<std::string> Describe(const TickLayout& layout) {
  std::vector<std::string> out;
  for (const quarlen::Tick& t : layout.ticks) out.push_back(Describe(t));
  return out;
}

struct LayoutCase {
  const char* name;
  double start, step, end;
  Linear map;
  LONG low, high;
  bool vertical;
  LONG spacing;
  bool minor, appendUnit, allowNegative;
  std::vector<std::string> ticks;
  int unitTick;  // index of the tick whose label names the unit; -1 for none
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

const LayoutCase kLayoutCases[] = {
    {"a label at every step",
     0.0,
     10.0,
     30.0,
     {5.0, 0.0},
     0,
     501,
     false,
     30,
     false,
     false,
     true,
     {"M 0@0 +10 '0'", "M 10@50 +10 '10'", "M 20@100 +10 '20'", "M 30@150 +10 '30'"},
     -1},
    {"unit name on the second label",
     0.0,
     10.0,
     30.0,
     {5.0, 0.0},
     0,
     501,
     false,
     30,
     false,
     true,
     true,
     {"M 0@0 +10 '0'", "M 10@50 +10 '10mm'", "M 20@100 +10 '20'", "M 30@150 +10 '30'"},
     1},
    // One unit is 5 pixels and labels need 30: 5 steps still collide, 10 do not. Near the end
    // the widening stops at 5 steps (10 would pass it), and those ticks go unlabelled.
    {"colliding labels widen the spacing",
     0.0,
     1.0,
     25.0,
     {5.0, 0.0},
     0,
     501,
     false,
     30,
     false,
     false,
     true,
     {"M 0@0 +10 '0'", "M 10@50 +10 '10'", "M 20@100 +5", "M 25@125 +5"},
     -1},
    {"widening stops at the end",
     0.0,
     1.0,
     7.0,
     {5.0, 0.0},
     0,
     501,
     false,
     30,
     false,
     false,
     true,
     {"M 0@0 +5", "M 5@25 +5"},
     -1},
    // The widening also stops once the next candidate lies beyond a quarter of the extent.
    {"widening stops at a quarter of the extent",
     0.0,
     1.0,
     100.0,
     {5.0, 0.0},
     0,
     160,
     false,
     30,
     false,
     false,
     true,
     {"M 0@0 +5", "M 5@25 +5", "M 10@50 +5", "M 15@75 +5", "M 20@100 +5", "M 25@125 +5",
      "M 30@150 +5", "M 35@175 +5", "M 40@200 +5"},
     -1},
    // -0.3 + 3 * 0.1 is 5.55e-17, not 0.
    {"a value near zero is zero",
     -0.3,
     0.1,
     0.1,
     {500.0, 200.0},
     0,
     501,
     false,
     30,
     false,
     false,
     true,
     {"M -0.3@50 +0.1 '-0.3'", "M -0.2@100 +0.1 '-0.2'", "M -0.1@150 +0.1 '-0.1'",
      "M 0@200 +0.1 '0'", "M 0.1@250 +0.1 '0.1'"},
     -1},
    {"negative start raised to zero",
     -5.0,
     10.0,
     20.0,
     {5.0, 50.0},
     0,
     501,
     false,
     30,
     false,
     false,
     false,
     {"M 0@50 +10 '0'", "M 10@100 +10 '10'", "M 20@150 +10 '20'"},
     -1},
    {"negative start kept when allowed",
     -5.0,
     10.0,
     20.0,
     {5.0, 50.0},
     0,
     501,
     false,
     30,
     false,
     false,
     true,
     {"M -5@25 +10 '-5'", "M 5@75 +10 '5'", "M 15@125 +10 '15'"},
     -1},
    {"second tick outside ends the layout",
     0.0,
     10.0,
     100.0,
     {5.0, 0.0},
     0,
     100,
     false,
     30,
     false,
     false,
     true,
     {"M 0@0 +10 '0'", "M 10@50 +10 '10'", "M 20@100 +10 '20'", "M 30@150 +10 '30'",
      "M 40@200 +10"},
     -1},
    // A step of 50 pixels: four minor ticks either side of the half tick, which is labelled.
    {"minor and half ticks",
     0.0,
     10.0,
     10.0,
     {5.0, 0.0},
     0,
     501,
     false,
     10,
     true,
     false,
     true,
     {"M 0@0 +10 '0'", "m 1@5",   "m 2@10",  "m 3@15",           "m 4@20",  "h 5@25 '5'", "m 6@30",
      "m 7@35",        "m 8@40",  "m 9@45",  "M 10@50 +10 '10'", "m 11@55", "m 12@60",    "m 13@65",
      "m 14@70",       "h 15@75", "m 16@80", "m 17@85",          "m 18@90", "m 19@95"},
     -1},
    // A step of 20 pixels: no minor ticks, and no half label (it needs 2 * 10 on both sides).
    {"half ticks only on short steps",
     0.0,
     10.0,
     10.0,
     {2.0, 0.0},
     0,
     501,
     false,
     10,
     true,
     false,
     true,
     {"M 0@0 +10 '0'", "h 5@10", "M 10@20 +10 '10'", "h 15@30"},
     -1},
    // Values grow upwards; labels look down to the next tick.
    {"vertical",
     0.0,
     10.0,
     20.0,
     {-5.0, 500.0},
     0,
     501,
     true,
     30,
     false,
     true,
     true,
     {"M 0@500 +10 '0'", "M 10@450 +10 '10mm'", "M 20@400 +10 '20'"},
     1},
    // Below the middle the unit name waits for the second label; above it, the first takes it.
    {"vertical unit name above the middle",
     80.0,
     10.0,
     100.0,
     {-5.0, 500.0},
     0,
     501,
     true,
     30,
     false,
     true,
     true,
     {"M 80@100 +10 '80mm'", "M 90@50 +10 '90'", "M 100@0 +10"},
     0},
    // The label at row 1 would start above row 0: it is left out, and the unit name with it.
    {"vertical label above the top",
     90.0,
     10.0,
     200.0,
     {-5.0, 451.0},
     0,
     501,
     true,
     30,
     false,
     true,
     true,
     {"M 90@1 +10", "M 100@-49 +10", "M 110@-99 +10"},
     -1},
};

class TickLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TickLayoutTable, GivesTheExpectedTicks) {
  const LayoutCase& c = GetParam();
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &base);
  Linear map = c.map;
  TickRequest rq;
  rq.start = c.start;
  rq.step = c.step;
  rq.end = c.end;
  rq.toPixel = [&map](double v) { return LinearPx(v, &map); };
  rq.low = c.low;
  rq.high = c.high;
  rq.vertical = c.vertical;
  rq.labelSpacing = c.spacing;
  rq.minorTicks = c.minor;
  rq.unit = &mm;
  rq.appendUnit = c.appendUnit;
  rq.allowNegative = c.allowNegative;
  const TickLayout layout = LayoutTicks(rq);
  EXPECT_EQ(Describe(layout), c.ticks);
  EXPECT_EQ(layout.unitLabel.placed, c.unitTick >= 0);
  if (c.unitTick >= 0) {
    EXPECT_EQ(layout.unitLabel.tick, static_cast<std::size_t>(c.unitTick));
    ASSERT_LT(layout.unitLabel.tick, layout.ticks.size());
    EXPECT_EQ(layout.unitLabel.pixel, layout.ticks[layout.unitLabel.tick].pixel);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, TickLayoutTable, ::testing::ValuesIn(kLayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

// Inputs the layout must survive: each terminates, holds at most kMaxTicks ticks, and the ones
// without a usable step or range hold none.
enum class Mapping { linear, nan, constant };

struct EndlessCase {
  const char* name;
  double start, step, end;
  Mapping mapping;
  LONG low, high;
  bool empty;
};

void PrintTo(const EndlessCase& c, std::ostream* os) { *os << c.name; }

constexpr LONG kMinLong = std::numeric_limits<LONG>::min();
constexpr LONG kMaxLong = std::numeric_limits<LONG>::max();

const EndlessCase kEndlessCases[] = {
    {"tiny step", 0.0, 1e-10, 100.0, Mapping::linear, 0, 60, true},
    {"zero step", 0.0, 0.0, 100.0, Mapping::linear, 0, 60, true},
    {"negative step", 0.0, -10.0, 100.0, Mapping::linear, 0, 60, true},
    {"end below start", 50.0, 10.0, 10.0, Mapping::linear, 0, 60, true},
    {"NaN start", kNaN, 10.0, 100.0, Mapping::linear, 0, 60, true},
    {"NaN step", 0.0, kNaN, 100.0, Mapping::linear, 0, 60, true},
    {"NaN end", 0.0, 10.0, kNaN, Mapping::linear, 0, 60, true},
    {"stagnating step", 1e300, 1.0, 2e300, Mapping::linear, 0, 60, false},
    {"huge range", -1e300, 1e290, 1e300, Mapping::linear, 0, 60, false},
    {"infinite end", 0.0, 1.0, kInf, Mapping::linear, 0, 60, false},
    {"infinite step", 0.0, kInf, 100.0, Mapping::linear, 0, 60, false},
    {"infinite range", -kInf, 1.0, kInf, Mapping::linear, 0, 60, false},
    {"NaN mapping", 0.0, 1e-9, 1e300, Mapping::nan, 0, 60, false},
    {"constant mapping", 0.0, 1.0, 1e300, Mapping::constant, 0, 60, false},
    {"one pixel", 0.0, 1e-6, 1e6, Mapping::linear, 0, 1, false},
    {"empty extent", 0.0, 1.0, 1e9, Mapping::linear, 0, 0, false},
    {"reversed extent", 0.0, 1.0, 1e9, Mapping::linear, 60, 0, false},
    {"full extent, dense ticks", 0.0, 1.0, 1e12, Mapping::linear, kMinLong, kMaxLong, false},
    {"full extent, constant mapping", 0.0, 1.0, 1e300, Mapping::constant, kMinLong, kMaxLong,
     false},
};

class TickLayoutEndless : public ::testing::TestWithParam<EndlessCase> {};

TEST_P(TickLayoutEndless, TerminatesWithBoundedTicks) {
  const EndlessCase& c = GetParam();
  CUnit base;
  Linear map{5.0, 0.0};
  for (const bool vertical : {false, true}) {
    TickRequest rq;
    rq.start = c.start;
    rq.step = c.step;
    rq.end = c.end;
    switch (c.mapping) {
      case Mapping::linear:
        rq.toPixel = [&map](double v) { return LinearPx(v, &map); };
        break;
      case Mapping::nan:
        rq.toPixel = [](double v) { return rulertest::NanPx(v, nullptr); };
        break;
      case Mapping::constant:
        rq.toPixel = [](double) { return LONG{7}; };
        break;
    }
    rq.low = c.low;
    rq.high = c.high;
    rq.vertical = vertical;
    rq.labelSpacing = 30;
    rq.minorTicks = true;
    rq.unit = &base;
    rq.appendUnit = true;
    const TickLayout layout = LayoutTicks(rq);
    EXPECT_LE(layout.ticks.size(), quarlen::kMaxTicks) << (vertical ? "vertical" : "horizontal");
    if (c.empty) {
      EXPECT_TRUE(layout.ticks.empty()) << (vertical ? "vertical" : "horizontal");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, TickLayoutEndless, ::testing::ValuesIn(kEndlessCases),
                         [](const ::testing::TestParamInfo<EndlessCase>& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(TickLayout, WithoutAMappingIsEmpty) {
  TickRequest rq;
  rq.step = 1.0;
  rq.end = 10.0;
  rq.high = 100;
  EXPECT_TRUE(LayoutTicks(rq).ticks.empty());
}

TEST(TickLayout, WithoutAUnitLabelsArePlainNumbers) {
  Linear map{5.0, 0.0};
  TickRequest rq;
  rq.step = 10.0;
  rq.end = 10.0;
  rq.toPixel = [&map](double v) { return LinearPx(v, &map); };
  rq.high = 501;
  rq.labelSpacing = 30;
  rq.appendUnit = true;
  const TickLayout layout = LayoutTicks(rq);
  EXPECT_EQ(Describe(layout), (std::vector<std::string>{"M 0@0 +10 '0'", "M 10@50 +10 '10'"}));
}

}  // namespace
