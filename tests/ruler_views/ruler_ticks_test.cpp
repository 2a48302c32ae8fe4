// Ticks and labels drawn by the tick routines into a memory bitmap, read back pixel by pixel.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "axis/unit.h"
#include "graphics/graphical_ruler.h"
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

}  // namespace
