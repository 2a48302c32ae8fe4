// Grid lines at the ruler ticks, subdivided by the resolutions, drawn into a memory bitmap.
#include <gtest/gtest.h>

#include <limits>
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
