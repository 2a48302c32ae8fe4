// Dual slider: limits, grid, thumb modes, user changes through injected mouse input, listener
// notification and the painted track.
//
// Most tests use a slider 277 pixels wide with 10-pixel thumbs: the margins are 10 pixels, so
// the track spans 256 pixels and, with limits [0, 32], value v sits at pixel 10 + 8 v and pixel
// x reads as (x - 10) / 8, both exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/dual_slider.h"
#include "platform/window.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);

// Opens the protected grid rule for the value tests.
class CTestSlider : public CDualSliderCtrl {
 public:
  using CDualSliderCtrl::NearestValue;
};

// Records the order of its calls into a shared log; an action may run during a call.
class Listener : public IDualSlidersListener {
 public:
  Listener(std::vector<std::string>* log, std::string name) : m_log(log), m_name(std::move(name)) {}
  void OnDualSlidersChanged(HWND const& slider) override {
    m_log->push_back(m_name);
    handle = slider;
    if (action) action();
  }
  std::function<void()> action;
  HWND handle = nullptr;

 private:
  std::vector<std::string>* m_log;
  std::string m_name;
};

struct Range {
  double lower, upper;
};

class DualSlider : public ::testing::Test {
 protected:
  static constexpr int kWidth = 277;
  static constexpr int kHeight = 30;

  void SetUp() override {
    ASSERT_TRUE(parent.Create(nullptr, L"parent", WS_OVERLAPPED | WS_VISIBLE, {0, 0, 400, 100},
                              nullptr, 0));
    Make(slider, kWidth);
  }
  void TearDown() override {
    t::SavePixelsIfFailed(slider.m_hWnd, "slider");
    slider.DestroyWindow();
    parent.DestroyWindow();
  }
  void Make(CDualSliderCtrl& s, int width) {
    ASSERT_TRUE(s.Create({0, 0, width, kHeight}, &parent, 7, nullptr, 10));
    s.SetLimits(0.0, 32.0);
    s.SetFactors(1.0, 0.0);
    s.RegisterDualSlidersListener(&recorder);
    t::PumpUntilIdle();
  }
  void TwoThumbs(double lower, double upper) {
    slider.SetMode(CDualSliderCtrl::eRange);
    slider.SetSlidersPosition(lower, upper);
    log.clear();
  }
  Range Sliders() const {
    Range r{};
    slider.GetSlidersPosition(r.lower, r.upper);
    return r;
  }
  static int PixelOf(double v) { return 10 + static_cast<int>(8 * v); }
  void Drag(int fromX, int toX, unsigned modifiers = 0) {
    t::MouseMove(slider.m_hWnd, {fromX, 15});
    t::MousePress(slider.m_hWnd, {fromX, 15});
    t::MouseMove(slider.m_hWnd, {toX, 15}, modifiers);
    t::MouseRelease(slider.m_hWnd, {toX, 15}, t::Button::Left, modifiers);
    t::PumpUntilIdle();
  }

  CWnd parent;
  CTestSlider slider;
  std::vector<std::string> log;
  Listener recorder{&log, "recorder"};
};

#define EXPECT_RANGE(range, lo, hi) \
  do {                              \
    const Range r_ = (range);       \
    EXPECT_DOUBLE_EQ(r_.lower, lo); \
    EXPECT_DOUBLE_EQ(r_.upper, hi); \
  } while (0)

// ---- Values without the mouse ----

struct GridCase {
  const char* name;
  double step, origin, x, expected;
};

class Grid : public ::testing::TestWithParam<GridCase> {};

TEST_P(Grid, SnapsToTheNearestGridValue) {
  CTestSlider s;
  s.SetFactors(GetParam().step, GetParam().origin);
  EXPECT_DOUBLE_EQ(s.NearestValue(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Grid,
    ::testing::Values(GridCase{"HalfStepUp", 0.5, 0.0, 1.26, 1.5},
                      GridCase{"HalfStepDown", 0.5, 0.0, 1.24, 1.0},
                      GridCase{"MidpointRoundsUp", 1.0, 0.0, 2.5, 3.0},
                      GridCase{"NegativeMidpointRoundsUp", 1.0, 0.0, -2.5, -2.0},
                      GridCase{"ShiftedOrigin", 2.0, 0.5, 3.4, 2.5},
                      // No grid to snap to: the value is kept, never NaN.
                      GridCase{"ZeroStepKeepsTheValue", 0.0, 0.0, 1.26, 1.26},
                      // Non-finite factors are ignored: the default grid (step 1) stays.
                      GridCase{"NaNStepIgnored", NAN, 0.0, 1.26, 1.0},
                      GridCase{"InfiniteOriginIgnored", 1.0, INFINITY, 1.26, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DualSliderValues, DefaultsAndNoThumbAnswer) {
  CDualSliderCtrl s;
  double lo = 0, hi = 0;
  s.GetLimits(lo, hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  EXPECT_EQ(s.GetTabNumber(), 1);
  s.SetTabNumber(0);
  EXPECT_EQ(s.GetMinPos(), 3.4028234663852886e38);
  EXPECT_EQ(s.GetMaxPos(), 3.4028234663852886e38);
  s.GetSlidersPosition(lo, hi);
  EXPECT_EQ(lo, 3.4028234663852886e38);
  EXPECT_EQ(hi, 3.4028234663852886e38);
}

struct LimitsCase {
  const char* name;
  double min, max;
  double expectedMin, expectedMax;
};

class Limits : public ::testing::TestWithParam<LimitsCase> {};

TEST_P(Limits, StoreAndResetThePositions) {
  CDualSliderCtrl s;
  s.SetTabNumber(2);
  s.SetLimits(-3.0, 7.0);
  s.SetLimits(GetParam().min, GetParam().max);
  double lo = 0, hi = 0;
  s.GetLimits(lo, hi);
  EXPECT_EQ(lo, GetParam().expectedMin);
  EXPECT_EQ(hi, GetParam().expectedMax);
  s.GetSlidersPosition(lo, hi);
  EXPECT_EQ(lo, GetParam().expectedMin);
  EXPECT_EQ(hi, GetParam().expectedMax);
}

INSTANTIATE_TEST_SUITE_P(Table, Limits,
                         ::testing::Values(LimitsCase{"Plain", 2.0, 9.0, 2.0, 9.0},
                                           LimitsCase{"BothZeroGiveZeroToOne", 0.0, 0.0, 0.0, 1.0},
                                           LimitsCase{"EqualNonZeroKept", 5.0, 5.0, 5.0, 5.0},
                                           LimitsCase{"NaNIgnored", NAN, 4.0, -3.0, 7.0},
                                           LimitsCase{"InfinityIgnored", 0.0, INFINITY, -3.0, 7.0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TabCase {
  const char* name;
  double first;  // position of thumb 0 with one thumb, limits [0, 10]
  double lower, upper;
};

class OneToTwo : public ::testing::TestWithParam<TabCase> {};

TEST_P(OneToTwo, SecondThumbATenthOfTheRangeAway) {
  CDualSliderCtrl s;
  s.SetLimits(0.0, 10.0);
  s.SetSlidersPosition(GetParam().first, 0.0);
  s.SetTabNumber(2);
  double lo = 0, hi = 0;
  s.GetSlidersPosition(lo, hi);
  EXPECT_DOUBLE_EQ(lo, GetParam().lower);
  EXPECT_DOUBLE_EQ(hi, GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(Table, OneToTwo,
                         ::testing::Values(TabCase{"Above", 3.0, 3.0, 4.0},
                                           TabCase{"LoweredToMax", 9.5, 9.5, 10.0},
                                           TabCase{"BelowWhenAtMax", 10.0, 9.0, 10.0},
                                           TabCase{"AtMin", 0.0, 0.0, 1.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DualSliderValues, SetModeChoosesTheThumbCount) {
  CDualSliderCtrl s;
  s.SetMode(CDualSliderCtrl::eRange);
  EXPECT_EQ(s.GetTabNumber(), 2);
  s.SetMode(static_cast<CDualSliderCtrl::eSliderMode>(7));
  EXPECT_EQ(s.GetTabNumber(), 1);
  s.SetTabNumber(5);  // not a thumb count: ignored
  EXPECT_EQ(s.GetTabNumber(), 1);
}

TEST(DualSliderValues, BadPositionsNeverGiveNaN) {
  CDualSliderCtrl s;
  s.SetLimits(1.0, 3.0);
  s.SetTabNumber(2);
  s.SetSlidersPosition(NAN, INFINITY);
  double lo = 0, hi = 0;
  s.GetSlidersPosition(lo, hi);
  EXPECT_EQ(lo, 1.0);  // NaN counts as min
  EXPECT_EQ(hi, 3.0);
  s.SetSlidersPosition(-INFINITY, NAN);
  s.GetSlidersPosition(lo, hi);
  EXPECT_EQ(lo, 1.0);
  EXPECT_EQ(hi, 1.0);
}

// ---- Layout ----

TEST_F(DualSlider, ThumbsAreLaidOutInsideTheMargins) {
  TwoThumbs(8.0, 12.0);
  EXPECT_EQ(slider.GetLeftMargin(), 10);
  EXPECT_EQ(slider.GetRightMargin(), 10);
  EXPECT_EQ(slider.GetThumbRect(0), CRect(69, 0, 79, kHeight));
  EXPECT_EQ(slider.GetThumbRect(1), CRect(101, 0, 111, kHeight));
  slider.SetSlidersPosition(0.0, 32.0);
  EXPECT_EQ(slider.GetThumbRect(0), CRect(5, 0, 15, kHeight));
  EXPECT_EQ(slider.GetThumbRect(1), CRect(261, 0, 271, kHeight));
}

TEST_F(DualSlider, EqualLimitsPutTheThumbsAtTheLeftEnd) {
  slider.SetLimits(5.0, 5.0);
  slider.SetSlidersPosition(5.0, 5.0);
  EXPECT_EQ(slider.GetThumbRect(0), CRect(5, 0, 15, kHeight));
  // Dragging reads every point as the one value there is.
  Drag(10, 200);
  EXPECT_RANGE(Sliders(), 5.0, 5.0);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(DualSlider, ResizeLaysTheThumbsOutAgain) {
  slider.SetSlidersPosition(16.0, 0.0);
  slider.MoveWindow(0, 0, 149, kHeight);  // track of 128 pixels
  t::PumpUntilIdle();
  EXPECT_EQ(slider.GetThumbRect(0), CRect(69, 0, 79, kHeight));
}

// ---- Mouse ----

TEST_F(DualSlider, DraggingSnapsToTheGridAndNotifiesEveryMove) {
  slider.SetSlidersPosition(8.0, 0.0);
  log.clear();
  t::MouseMove(slider.m_hWnd, {PixelOf(8), 15});
  t::MousePress(slider.m_hWnd, {PixelOf(8), 15});
  t::MouseMove(slider.m_hWnd, {PixelOf(10) + 3, 15});  // 10.375 -> 10
  EXPECT_EQ(slider.GetMinPos(), 10.0);
  t::MouseMove(slider.m_hWnd, {PixelOf(10) + 5, 15});  // 10.625 -> 11
  EXPECT_EQ(slider.GetMinPos(), 11.0);
  t::MouseMove(slider.m_hWnd, {-50, 15});  // beyond the left end: min
  EXPECT_EQ(slider.GetMinPos(), 0.0);
  t::MouseMove(slider.m_hWnd, {390, 15});  // beyond the right end: max
  EXPECT_EQ(slider.GetMinPos(), 32.0);
  t::MouseRelease(slider.m_hWnd, {390, 15});
  t::PumpUntilIdle();
  EXPECT_EQ(log.size(), 4u);
  EXPECT_EQ(recorder.handle, slider.m_hWnd);
  // After the release, moves no longer drag.
  t::MouseMove(slider.m_hWnd, {PixelOf(3), 15});
  EXPECT_EQ(slider.GetMinPos(), 32.0);
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(DualSlider, ZeroGridStepDragsWithoutSnapping) {
  slider.SetFactors(0.0, 0.0);
  slider.SetSlidersPosition(8.0, 0.0);
  Drag(PixelOf(8), PixelOf(10) + 3);
  EXPECT_DOUBLE_EQ(slider.GetMinPos(), 10.375);
}

struct CtrlCase {
  const char* name;
  double min;
  double lower, upper;  // before
  double dragFrom, dragTo;
  double expectedLower, expectedUpper;
};

class CtrlPair : public DualSlider, public ::testing::WithParamInterface<CtrlCase> {};

TEST_P(CtrlPair, BothThumbsMoveAtTheirDistance) {
  const CtrlCase& c = GetParam();
  slider.SetLimits(c.min, 32.0);
  TwoThumbs(c.lower, c.upper);
  const auto pixel = [&](double v) {
    return 10 + static_cast<int>((v - c.min) / (32.0 - c.min) * 256.0);
  };
  Drag(pixel(c.dragFrom), pixel(c.dragTo) + 1, t::kControl);
  EXPECT_RANGE(Sliders(), c.expectedLower, c.expectedUpper);
  EXPECT_EQ(log.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CtrlPair,
    ::testing::Values(CtrlCase{"UpperDown", 0.0, 2.0, 5.0, 5.0, 4.0, 1.0, 4.0},
                      // The lower thumb would fall to 1, below min 1.5.
                      CtrlCase{"UpperDownStopsAtMin", 1.5, 2.0, 5.0, 5.0, 4.0, 1.5, 5.0},
                      CtrlCase{"LowerUp", 0.0, 20.0, 23.0, 20.0, 25.0, 25.0, 28.0},
                      // The upper thumb would rise to 33, above max 32.
                      CtrlCase{"LowerUpStopsAtMax", 0.0, 27.0, 30.0, 27.0, 30.0, 29.0, 32.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DualSlider, WithoutCtrlOnlyTheDraggedThumbMoves) {
  TwoThumbs(2.0, 5.0);
  Drag(PixelOf(5), PixelOf(9) + 1);
  EXPECT_RANGE(Sliders(), 2.0, 9.0);
}

struct StepCase {
  const char* name;
  bool twoThumbs;
  double lower, upper;
  int clickX;
  unsigned modifiers;
  double expectedLower, expectedUpper;
  size_t notifications;
};

class Stepping : public DualSlider, public ::testing::WithParamInterface<StepCase> {};

TEST_P(Stepping, ClickBesideTheThumbsStepsOneCompleteImage) {
  const StepCase& c = GetParam();
  if (c.twoThumbs)
    TwoThumbs(c.lower, c.upper);
  else
    slider.SetSlidersPosition(c.lower, 0.0);
  log.clear();
  t::Click(slider.m_hWnd, {c.clickX, 15}, t::Button::Left, c.modifiers);
  t::PumpUntilIdle();
  EXPECT_RANGE(Sliders(), c.expectedLower, c.expectedUpper);
  EXPECT_EQ(log.size(), c.notifications);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Stepping,
    ::testing::Values(
        StepCase{"OneThumbRight", false, 8.0, 8.0, 200, 0, 9.0, 9.0, 1},
        StepCase{"OneThumbLeft", false, 8.0, 8.0, 30, 0, 7.0, 7.0, 1},
        StepCase{"OneThumbLeftFromMax", false, 32.0, 32.0, 20, 0, 31.0, 31.0, 1},
        StepCase{"OneThumbRightAtMaxStays", false, 32.0, 32.0, 274, 0, 32.0, 32.0, 1},
        StepCase{"TwoThumbsNeedCtrl", true, 8.0, 12.0, 200, 0, 8.0, 12.0, 0},
        StepCase{"TwoThumbsCtrlRight", true, 8.0, 12.0, 200, t::kControl, 12.0, 16.0, 1},
        StepCase{"TwoThumbsCtrlLeft", true, 8.0, 12.0, 30, t::kControl, 4.0, 8.0, 1},
        StepCase{"TwoThumbsCtrlBetween", true, 8.0, 12.0, 90, t::kControl, 8.0, 12.0, 0},
        StepCase{"TwoThumbsCtrlRightAtMax", true, 28.0, 32.0, 272, t::kControl, 28.0, 32.0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct DoubleClickCase {
  const char* name;
  bool twoThumbs;
  double lower, upper;
  int x;
  double expectedLower, expectedUpper;
};

class DoubleClicks : public DualSlider, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClicks, JumpToTheEnds) {
  const DoubleClickCase& c = GetParam();
  if (c.twoThumbs)
    TwoThumbs(c.lower, c.upper);
  else
    slider.SetSlidersPosition(c.lower, 0.0);
  log.clear();
  t::DoubleClick(slider.m_hWnd, {c.x, 15});
  t::PumpUntilIdle();
  EXPECT_RANGE(Sliders(), c.expectedLower, c.expectedUpper);
  // The double-click always notifies (the first click of it may have stepped already).
  ASSERT_FALSE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, DoubleClicks,
    ::testing::Values(DoubleClickCase{"OneThumbRight", false, 8.0, 8.0, 200, 32.0, 32.0},
                      DoubleClickCase{"OneThumbLeft", false, 8.0, 8.0, 30, 0.0, 0.0},
                      DoubleClickCase{"TwoThumbsRightKeepsTheSpan", true, 8.0, 12.0, 200, 28.0,
                                      32.0},
                      DoubleClickCase{"TwoThumbsLeftKeepsTheSpan", true, 8.0, 12.0, 30, 0.0, 4.0},
                      DoubleClickCase{"BetweenSelectsEverything", true, 8.0, 12.0, 90, 0.0, 32.0},
                      DoubleClickCase{"OnAThumbChangesNothing", true, 8.0, 12.0, 74, 8.0, 12.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DualSlider, DoubleClickOnAThumbNotifiesOnce) {
  TwoThumbs(8.0, 12.0);
  t::DoubleClick(slider.m_hWnd, {PixelOf(8), 15});
  t::PumpUntilIdle();
  EXPECT_EQ(log.size(), 1u);
}

// ---- Listeners ----

TEST_F(DualSlider, ProgrammaticChangesDoNotNotify) {
  slider.SetSlidersPosition(3.0, 4.0);
  slider.SetLimits(0.0, 20.0);
  slider.SetTabNumber(2);
  slider.SetMode(CDualSliderCtrl::eSingleThumb);
  slider.SetFactors(0.5, 0.0);
  t::PumpUntilIdle();
  EXPECT_TRUE(log.empty());
}

TEST_F(DualSlider, ListenersInRegistrationOrderOnceEach) {
  slider.UnregisterDualSlidersListener(&recorder);
  Listener a(&log, "a"), b(&log, "b"), c(&log, "c");
  slider.RegisterDualSlidersListener(&a);
  slider.RegisterDualSlidersListener(&b);
  slider.RegisterDualSlidersListener(&a);  // kept once
  slider.RegisterDualSlidersListener(&c);
  slider.RegisterDualSlidersListener(nullptr);
  slider.NextCompleteImage();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
  log.clear();
  slider.UnregisterDualSlidersListener(&b);
  slider.UnregisterDualSlidersListener(&b);  // unknown now: ignored
  slider.NextCompleteImage();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));
}

TEST_F(DualSlider, ListenersMayUnregisterDuringANotification) {
  slider.UnregisterDualSlidersListener(&recorder);
  Listener a(&log, "a"), b(&log, "b"), c(&log, "c");
  a.action = [&] { slider.UnregisterDualSlidersListener(&a); };  // itself
  b.action = [&] { slider.UnregisterDualSlidersListener(&c); };  // one still to come
  slider.RegisterDualSlidersListener(&a);
  slider.RegisterDualSlidersListener(&b);
  slider.RegisterDualSlidersListener(&c);
  slider.NextCompleteImage();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  log.clear();
  slider.NextCompleteImage();
  EXPECT_EQ(log, (std::vector<std::string>{"b"}));
}

TEST_F(DualSlider, ListenerMayDestroyTheControlDuringANotification) {
  auto owned = std::make_unique<CDualSliderCtrl>();
  ASSERT_TRUE(owned->Create({0, 40, 277, 70}, &parent, 8, nullptr, 10));
  Listener a(&log, "a"), b(&log, "b");
  a.action = [&] { owned.reset(); };
  owned->RegisterDualSlidersListener(&a);
  owned->RegisterDualSlidersListener(&b);
  owned->NextCompleteImage();
  EXPECT_EQ(owned, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
}

// ---- Painting ----

struct PaintSpot {
  const char* name;
  int x, y;
  COLORREF enabled, disabled;
};

class Painting : public DualSlider, public ::testing::WithParamInterface<PaintSpot> {};

TEST_P(Painting, TrackAndThumbColours) {
  slider.SetBackColor(RGB(0, 0, 255));
  slider.SetCursorColor(RGB(200, 0, 0));
  slider.SetLineColor(RGB(0, 160, 0));
  slider.SetSlidersPosition(8.0, 0.0);
  t::PumpUntilIdle();
  EXPECT_EQ(t::PixelAt(slider.m_hWnd, GetParam().x, GetParam().y), GetParam().enabled);
  slider.EnableWindow(FALSE);
  t::PumpUntilIdle();
  EXPECT_EQ(t::PixelAt(slider.m_hWnd, GetParam().x, GetParam().y), GetParam().disabled);
  slider.EnableWindow(TRUE);
}

// Track from y = 5 to 25 (a sixth of the height off each side), thumb 0 at x = 69 .. 79.
INSTANTIATE_TEST_SUITE_P(
    Table, Painting,
    ::testing::Values(PaintSpot{"LeftMargin", 2, 15, kFace, kFace},
                      PaintSpot{"RightMargin", 272, 15, kFace, kFace},
                      PaintSpot{"AboveTheTrack", 150, 2, kFace, kFace},
                      PaintSpot{"TrackFill", 150, 15, RGB(0, 0, 255), RGB(200, 200, 200)},
                      PaintSpot{"TrackOutline", 150, 5, RGB(200, 0, 0), RGB(128, 128, 128)},
                      PaintSpot{"ThumbFill", 71, 15, RGB(200, 0, 0), RGB(128, 128, 128)},
                      // The line colour has no disabled variant.
                      PaintSpot{"ThumbLine", 74, 15, RGB(0, 160, 0), RGB(0, 160, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

struct NarrowCase {
  const char* name;
  int width;
  bool track;
  double dragged;  // value after dragging to the right edge
};

class Narrow : public DualSlider, public ::testing::WithParamInterface<NarrowCase> {};

TEST_P(Narrow, TooNarrowControlsPaintOnlyTheMargins) {
  CDualSliderCtrl narrow;
  narrow.SetLimits(0.0, 1.0);
  ASSERT_TRUE(narrow.Create({0, 40, GetParam().width, 40 + kHeight}, &parent, 9, nullptr, 10));
  t::PumpUntilIdle();
  // Thumb 0 sits at min (x = 5 .. 15) and is black when drawn; the margins are face.
  EXPECT_EQ(t::PixelAt(narrow.m_hWnd, 7, 15) == RGB(0, 0, 0), GetParam().track);
  if (!GetParam().track && GetParam().width > 10) {
    EXPECT_EQ(t::PixelAt(narrow.m_hWnd, 7, 15), kFace);
    EXPECT_EQ(t::PixelAt(narrow.m_hWnd, GetParam().width - 3, 15), kFace);
  }
  // A track of no width reads every point as min; one of a single pixel still works.
  const int press = std::min(10, GetParam().width - 1);
  t::MouseMove(narrow.m_hWnd, {press, 15});
  t::MousePress(narrow.m_hWnd, {press, 15});
  t::MouseMove(narrow.m_hWnd, {GetParam().width - 1, 15});
  t::MouseRelease(narrow.m_hWnd, {GetParam().width - 1, 15});
  EXPECT_EQ(narrow.GetMinPos(), GetParam().dragged);
  narrow.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Table, Narrow,
                         ::testing::Values(NarrowCase{"TwentyOne", 21, false, 0.0},
                                           NarrowCase{"TwentyTwo", 22, true, 1.0},
                                           NarrowCase{"Five", 5, false, 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
