// Grid lines at the ruler ticks, subdivided by the resolutions, drawn into a memory bitmap.
#include <gtest/gtest.h>

#include <cctype>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "axis/ruler.h"
#include "graphics/grid.h"
#include "platform/archive.h"
#include "tests/ruler_views/ruler_canvas.h"

namespace {

using rulertest::Canvas;

std::vector<int> Every(int step, int from, int to) {
  std::vector<int> out;
  for (int x = from; x <= to; x += step) out.push_back(x);
  return out;
}

struct GridTest : ::testing::Test {
  CRuler xr, yr;
  CGGrid grid;
  Canvas c{101, 81};
  CRect clip{0, 0, 101, 81};

  void SetUp() override {
    xr.Set(0.0, 100.0, 0);  // one unit per pixel: 101 pixels show 0..100
    yr.Set(0.0, 80.0, 0);
    grid.SetRuler(&xr, 1, &yr, 1);
    CRect r(0, 0, 101, 81);
    grid.OnSize(&r);
    grid.SetColor(RGB(0, 128, 0));
  }
  void Draw() {
    c.dc.FillSolidRect(0, 0, c.w, c.h, rulertest::kWhite);
    grid.OnDraw(&c.dc, &clip);
  }
};

TEST_F(GridTest, NoLinesBeforeTheSpacingIsKnown) {
  Draw();
  EXPECT_TRUE(c.Blank());
}

TEST_F(GridTest, LinesAtTheTicksInTheObjectColour) {
  grid.SetXTickSpacing(0.0, 20.0);
  grid.SetYTickSpacing(0.0, 20.0);
  Draw();
  EXPECT_EQ(c.InkColumns(5), Every(20, 0, 100));
  EXPECT_EQ(c.InkRows(5), Every(20, 0, 80));
  EXPECT_EQ(c.dc.GetPixel(40, 33) & 0xFFFFFF, RGB(0, 128, 0));
}

TEST_F(GridTest, ResolutionTwoDrawsALineEveryHalfStep) {
  grid.SetXTickSpacing(10.0, 20.0);
  grid.SetYTickSpacing(10.0, 20.0);
  grid.SetResol(2);
  EXPECT_EQ(grid.GetXResol(), 2);
  EXPECT_EQ(grid.GetYResol(), 2);
  Draw();
  // From one step before the first tick: -10, 0, 10, ...
  EXPECT_EQ(c.InkColumns(5), Every(10, 0, 100));
  EXPECT_EQ(c.InkRows(5), Every(10, 0, 80));
}

TEST_F(GridTest, LinesOnlyInsideTheClip) {
  grid.SetXTickSpacing(0.0, 10.0);
  clip = CRect(25, 0, 60, 40);
  Draw();
  EXPECT_EQ(c.InkColumns(5), Every(10, 30, 50));
  EXPECT_TRUE(c.InkColumns(50).empty());
}

TEST_F(GridTest, SpacingChangesInvalidateOnlyWhenTheyDiffer) {
  grid.AckNewData();
  grid.SetXTickSpacing(0.0, 10.0);
  EXPECT_TRUE(grid.IsModified());
  grid.AckNewData();
  grid.SetXTickSpacing(0.0, 10.0);
  EXPECT_FALSE(grid.IsModified());
  double xf = -1, xs = -1, yf = -1, ys = -1;
  grid.GetTickSpacing(&xf, &xs, &yf, &ys);
  EXPECT_EQ(xf, 0.0);
  EXPECT_EQ(xs, 10.0);
  EXPECT_EQ(yf, 0.0);
  EXPECT_EQ(ys, 0.0);
}

TEST_F(GridTest, DottedLineType) {
  grid.SetLineType(PS_DOT);
  grid.SetXTickSpacing(0.0, 50.0);
  Draw();
  int ink = 0;
  for (int y = 0; y < 81; ++y) ink += c.Ink(50, y) ? 1 : 0;
  EXPECT_GT(ink, 20);
  EXPECT_LT(ink, 70);
}

TEST_F(GridTest, BadSpacingsTerminateWithoutHarm) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double cases[][2] = {{0.0, 1e-300}, {1e300, 1.0}, {-1e300, 1e-10}, {kNaN, 10.0},
                             {0.0, kNaN},   {0.0, kInf},  {-kInf, 10.0},   {0.0, -10.0}};
  for (const auto& s : cases) {
    grid.SetXTickSpacing(s[0], s[1]);
    grid.SetYTickSpacing(s[0], s[1]);
    Draw();
  }
  grid.SetXTickSpacing(0.0, 10.0);
  for (long resolution : {0L, -3L, 1L << 40}) {
    grid.SetXResol(resolution);
    Draw();
  }
  SUCCEED();
}

TEST_F(GridTest, DrawsNothingWhileDrawingIsDisabled) {
  grid.SetXTickSpacing(0.0, 20.0);
  grid.SetYTickSpacing(0.0, 20.0);
  grid.EnableDraw(0);
  Draw();
  EXPECT_TRUE(c.Blank());
  grid.EnableDraw(1);
  Draw();
  EXPECT_EQ(c.InkColumns(5), Every(20, 0, 100));
}

TEST_F(GridTest, DenseHorizontalLinesFillEveryRowOfTheClip) {
  grid.SetYTickSpacing(0.0, 0.001);
  clip = CRect(0, 10, 101, 81);
  Draw();
  EXPECT_EQ(c.InkRows(5), Every(1, 10, 80));
}

// Vertical lines of one grid over a ruler window, read back from the columns of row 5.
struct GridLineCase {
  const char* name;
  double rulerStart, rulerRange;
  int pixels;  // object width; the ruler window spans it
  int grow;    // 0: the scale is inverted
  double first, step;
  long resolution;
  CRect clip;
  std::vector<int> columns;
};

void PrintTo(const GridLineCase& g, std::ostream* os) { *os << g.name; }

std::vector<int> Columns(int from, int to) { return Every(1, from, to); }

const GridLineCase kGridLineCases[] = {
    // The first tick lies ten thousand steps before the ruler's start.
    {"first tick far before the view", 100000.0, 100.0, 1001, 1, 0.0, 10.0, 1,
     CRect(0, 0, 1001, 20), Every(100, 0, 1000)},
    // A thousand lines a pixel: every column of the clip carries one, up to its right edge.
    {"dense lines fill the clip", 0.0, 100.0, 101, 1, 0.0, 0.001, 1, CRect(0, 0, 101, 20),
     Columns(0, 100)},
    {"dense lines in a clip on the right", 0.0, 100.0, 101, 1, 0.0, 0.001, 1, CRect(60, 0, 101, 20),
     Columns(60, 100)},
    {"subdivided far before the view", 5000.0, 100.0, 101, 1, 0.0, 20.0, 4, CRect(0, 0, 101, 20),
     Every(5, 0, 100)},
    {"one step before the first tick", 0.0, 100.0, 101, 1, 30.0, 20.0, 1, CRect(0, 0, 101, 20),
     Every(20, 10, 90)},
    {"inverted scale", 0.0, 100.0, 101, 0, 5.0, 20.0, 1, CRect(0, 0, 101, 20), Every(20, 15, 95)},
    {"clip between two lines", 0.0, 100.0, 101, 1, 0.0, 50.0, 1, CRect(10, 0, 40, 20), {}},
    {"lines end at the ruler's end", 0.0, 100.0, 201, 1, 0.0, 25.0, 1, CRect(0, 0, 201, 20),
     Every(50, 0, 200)},
};

class GridLines : public ::testing::TestWithParam<GridLineCase> {};

TEST_P(GridLines, AtEveryLineInsideTheClip) {
  const GridLineCase& g = GetParam();
  CRuler xr, yr;
  xr.Set(g.rulerStart, g.rulerRange, 0);
  yr.Set(0.0, 20.0, 0);
  CGGrid grid;
  grid.SetRuler(&xr, g.grow, &yr, 1);
  CRect r(0, 0, g.pixels, 20);
  grid.OnSize(&r);
  grid.SetXResol(g.resolution);
  grid.SetXTickSpacing(g.first, g.step);
  Canvas c(g.pixels, 20);
  CRect clip = g.clip;
  grid.OnDraw(&c.dc, &clip);
  EXPECT_EQ(c.InkColumns(5), g.columns);
}

INSTANTIATE_TEST_SUITE_P(Table, GridLines, ::testing::ValuesIn(kGridLineCases),
                         [](const ::testing::TestParamInfo<GridLineCase>& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(GridSerialize, WritesAndReadsNothing) {
  CGGrid grid;
  grid.SetXTickSpacing(1.0, 2.0);
  std::vector<BYTE> bytes;
  {
    CArchive ar(bytes, CArchive::store);
    grid.Serialize(ar);
    ar.Close();
  }
  EXPECT_TRUE(bytes.empty());
  CArchive in(bytes, CArchive::load);
  grid.Serialize(in);
  double xf = -1, xs = -1;
  grid.GetTickSpacing(&xf, &xs, nullptr, nullptr);
  EXPECT_EQ(xf, 1.0);
  EXPECT_EQ(xs, 2.0);
}

}  // namespace
