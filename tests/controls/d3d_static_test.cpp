// 3D static control and its graphic object: defaults, the axis window copied from the rulers
// and scales, and drawing through a container.
#include <gtest/gtest.h>

#include <memory>

#include "axis/position.h"
#include "axis/ruler.h"
#include "controls/d3d_static.h"
#include "graphics/container.h"
#include "platform/dc.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

struct Window3 {
  double offset, start, range;
};

Window3 Horizontal(const CD3DStaticCtrl& c) {
  return {c.GetHorizontalOffset(), c.GetHorizontalStart(), c.GetHorizontalRange()};
}
Window3 Vertical(const CD3DStaticCtrl& c) {
  return {c.GetVerticalOffset(), c.GetVerticalStart(), c.GetVerticalRange()};
}

#define EXPECT_WINDOW(actual, o, s, r) \
  do {                                 \
    const Window3 w_ = (actual);       \
    EXPECT_DOUBLE_EQ(w_.offset, o);    \
    EXPECT_DOUBLE_EQ(w_.start, s);     \
    EXPECT_DOUBLE_EQ(w_.range, r);     \
  } while (0)

TEST(D3DStaticCtrl, NewControlShowsTheUnitWindowAtZero) {
  CD3DStaticCtrl control;
  EXPECT_WINDOW(Horizontal(control), 0.0, 0.0, 1.0);
  EXPECT_WINDOW(Vertical(control), 0.0, 0.0, 1.0);
}

// Rulers on axes that start at a given value, showing a given window.
struct ScalingCase {
  const char* name;
  bool xAxis, yAxis;  // whether each ruler is tied to an axis
  double xAxisStart, xStart, xRange, xDisplayOffset;
  double yAxisStart, yStart, yRange;
  Window3 horizontal, vertical;
};

class Scaling : public ::testing::TestWithParam<ScalingCase> {};

TEST_P(Scaling, CopiesTheAxisWindowOfRulersAndScales) {
  const ScalingCase& c = GetParam();
  CAxe xAxe, yAxe;
  xAxe.Create(L"scan", std_distance, c.xAxisStart, 1000.0);
  yAxe.Create(L"depth", std_distance, c.yAxisStart, 1000.0);
  CRuler xr, yr;
  xr.Create(L"scan", c.xAxis ? &xAxe : nullptr, 0.0, 0);
  yr.Create(L"depth", c.yAxis ? &yAxe : nullptr, 0.0, 0);
  xr.Set(c.xStart, c.xRange, 0);
  yr.Set(c.yStart, c.yRange, 0);
  if (c.xDisplayOffset != 0.0) xr.SetDisplayOffset(c.xDisplayOffset);

  CD3DStaticCtrl control;
  CD3DStaticObject object(&control);
  object.SetRuler(&xr, 1, &yr, 1);
  EXPECT_WINDOW(Horizontal(control), c.horizontal.offset, c.horizontal.start, c.horizontal.range);
  EXPECT_WINDOW(Vertical(control), c.vertical.offset, c.vertical.start, c.vertical.range);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Scaling,
    ::testing::Values(
        // Axis start 10, view 15 .. 35.
        ScalingCase{"WorkedExample", true, true, 10, 15, 20, 0, 0, 0, 50, {10, 5, 20}, {0, 0, 50}},
        ScalingCase{"VerticalToo", true, true, 0, 0, 1, 0, -5, 2, 8, {0, 0, 1}, {-5, 7, 8}},
        // The scale's ruler offset includes the display offset.
        ScalingCase{
            "DisplayOffsetIncluded", true, true, 10, 15, 20, 3, 0, 0, 5, {10, 8, 20}, {0, 0, 5}},
        // A ruler tied to no axis counts from 0.
        ScalingCase{
            "NoAxisStartsAtZero", false, true, 10, 15, 20, 0, 0, 0, 5, {0, 15, 20}, {0, 0, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(D3DStaticObject, WithoutRulersScalingLeavesTheControlAlone) {
  CD3DStaticCtrl control;
  control.SetHorizontalStart(4.0);
  CD3DStaticObject object(&control);
  CRect r(0, 0, 100, 50);
  object.OnSize(&r);  // rescales and calls OnScaling: nothing to copy yet
  object.OnScaling();
  EXPECT_WINDOW(Horizontal(control), 0.0, 4.0, 1.0);
  EXPECT_WINDOW(Vertical(control), 0.0, 0.0, 1.0);

  // Only a horizontal ruler: the vertical window stays.
  CAxe axe;
  axe.Create(L"scan", std_distance, 10.0, 100.0);
  CRuler xr;
  xr.Create(L"scan", &axe, 0.0, 0);
  xr.Set(15.0, 20.0, 0);
  object.SetRuler(&xr, 1, nullptr, 1);
  EXPECT_WINDOW(Horizontal(control), 10.0, 5.0, 20.0);
  EXPECT_WINDOW(Vertical(control), 0.0, 0.0, 1.0);
}

TEST(D3DStaticObject, WithoutAControlNothingHappens) {
  CD3DStaticObject object(nullptr);
  CRuler xr;
  xr.Set(1.0, 2.0, 0);
  object.SetRuler(&xr, 1, &xr, 1);
  object.OnDraw(nullptr, nullptr);
  EXPECT_EQ(object.GetControl(), nullptr);
}

// A control that paints its horizontal window: one column per visible unit from the left.
class CStripeCtrl : public CD3DStaticCtrl {
 public:
  int draws = 0;
  void OnDraw(CDC* dc) override {
    ++draws;
    if (dc == nullptr) return;
    const int width = static_cast<int>(GetHorizontalRange());
    dc->FillSolidRect(0, 0, width, 10, RGB(0, 0, 200));
  }
};

class D3DStaticInContainer : public t::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    axe.Create(L"scan", std_distance, 10.0, 100.0);
    xr.Create(L"scan", &axe, 0.0, 0);
    xr.Set(15.0, 20.0, 0);
    yr.Set(0.0, 80.0, 0);
    ASSERT_TRUE(
        frame.Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, {0, 0, 200, 150}, nullptr, 0));
    container = std::make_unique<CGOContainer>();
    ASSERT_TRUE(container->Create(&frame, 7, &xr, &yr, 1, 1));
    container->MoveWindow(0, 0, 100, 80);
    container->ShowWindow(SW_SHOW);
    Deliver();
  }
  void TearDown() override {
    container.reset();
    frame.DestroyWindow();
    t::PumpUntilIdle();
    EventServiceFixture::TearDown();
  }
  void Deliver() {
    ASSERT_TRUE(t::WaitForTickPasses(1));
    t::PumpUntilIdle();
    t::PumpUntilIdle();
  }
  COLORREF Pixel(int x, int y) {
    CDC* dc = container->GetDC();
    const COLORREF p = dc->GetPixel(x, y);
    container->ReleaseDC(dc);
    return p;
  }

  CAxe axe;
  CRuler xr, yr;
  CFrameWnd frame;
  CStripeCtrl control;
  std::unique_ptr<CGOContainer> container;
};

TEST_F(D3DStaticInContainer, FollowsTheRulerAndDrawsThroughTheControl) {
  CD3DStaticObject object(&control);
  container->Add(&object, 0);
  container->Redraw();
  Deliver();
  EXPECT_WINDOW(Horizontal(control), 10.0, 5.0, 20.0);
  EXPECT_WINDOW(Vertical(control), 0.0, 0.0, 80.0);
  EXPECT_GT(control.draws, 0);
  EXPECT_EQ(Pixel(19, 5), RGB(0, 0, 200));
  EXPECT_NE(Pixel(20, 5), RGB(0, 0, 200));

  // A zoom of the ruler reaches the control through the container's rescale.
  xr.Set(20.0, 40.0, 0);
  Deliver();
  EXPECT_WINDOW(Horizontal(control), 10.0, 10.0, 40.0);
  container->Redraw();
  Deliver();
  EXPECT_EQ(Pixel(39, 5), RGB(0, 0, 200));
  container->Remove(&object);
}

}  // namespace
