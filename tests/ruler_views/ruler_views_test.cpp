// The ruler views in real windows: minimum sizes, layout, painting (background, ticks, rotated
// labels, folded decibel axes) and the container's ruler-change handling.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "graphics/ruler_views.h"
#include "platform/detail/window_registry.h"
#include "tests/support/event_wait.h"

namespace {

void Pump() {
  for (int i = 0; i < 1000; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    quarlen::detail::ServiceSentMessages();
    if (!quarlen::detail::WindowWorkPending()) return;
  }
}

COLORREF PixelOf(CWnd& w, int x, int y) {
  CDC* dc = w.GetDC();
  const COLORREF c = dc->GetPixel(x, y) & 0xFFFFFF;
  w.ReleaseDC(dc);
  return c;
}

// The vertical view with its ruler-change handler opened to the tests.
class OpenVerti : public CGRulerVerti {
 public:
  using CGRulerVerti::RulerChanged;
};

class RulerViewTest : public quarlen::test::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    xr.Set(0.0, 100.0, 0);
    yr.Set(0.0, 80.0, 0);
    frame = std::make_unique<CWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 700, 560), nullptr, 0);
    Pump();
  }
  void TearDown() override {
    horiz.reset();
    verti.reset();
    frame.reset();
    Pump();
    EventServiceFixture::TearDown();
  }
  CGRulerHoriz* MakeHoriz(CRect r, CUnit* unit, int fontDelta = 0) {
    horiz = std::make_unique<CGRulerHoriz>(fontDelta);
    horiz->Create(frame.get(), &xr, 1, &r);
    horiz->SetPosition(&r);
    horiz->SetDisplayUnit(unit, 1);
    return horiz.get();
  }
  CGRulerVerti* MakeVerti(CRect r, CUnit* unit, int grow = 1) {
    verti = std::make_unique<OpenVerti>();
    verti->Create(frame.get(), &yr, grow, &r);
    verti->SetPosition(&r);
    verti->SetDisplayUnit(unit, 1);
    return verti.get();
  }
  // Columns of row y of the view that carry the colour c.
  static std::vector<int> Columns(CWnd& w, int y, COLORREF c) {
    CRect r;
    w.GetClientRect(&r);
    std::vector<int> out;
    CDC* dc = w.GetDC();
    for (int x = 0; x < r.right; ++x)
      if ((dc->GetPixel(x, y) & 0xFFFFFF) == c) out.push_back(x);
    w.ReleaseDC(dc);
    return out;
  }
  static std::vector<COLORREF> Image(CWnd& w) {
    CRect r;
    w.GetClientRect(&r);
    std::vector<COLORREF> out;
    CDC* dc = w.GetDC();
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) out.push_back(dc->GetPixel(x, y) & 0xFFFFFF);
    w.ReleaseDC(dc);
    return out;
  }

  CRuler xr, yr;
  CUnit base;
  std::unique_ptr<CWnd> frame;
  std::unique_ptr<CGRulerHoriz> horiz;
  std::unique_ptr<OpenVerti> verti;
};

TEST_F(RulerViewTest, HorizontalViewGrowsUpwardsToTheTextHeight) {
  CRect r(0, 100, 300, 105);
  MakeHoriz(r, &base);
  EXPECT_EQ(horiz->GetTextMetrics().tmHeight, 14);
  CRect moved(0, 100, 300, 105);
  horiz->SetPosition(&moved);
  EXPECT_EQ(moved, CRect(0, 87, 300, 105));  // 14 + 4 pixels high, bottom kept
  EXPECT_EQ(*horiz->GetDimension(), CRect(0, 0, 300, 18));
  CRect tall(0, 0, 300, 40);
  horiz->SetPosition(&tall);
  EXPECT_EQ(tall, CRect(0, 0, 300, 40));
}

TEST_F(RulerViewTest, VerticalViewWidensToTheTextHeight) {
  MakeVerti(CRect(0, 0, 40, 200), &base);
  const int minimum = verti->GetTextMetrics().tmHeight + 5;
  EXPECT_LT(minimum, 20);  // a 12-pixel font
  CRect thin(10, 0, 13, 200);
  verti->SetPosition(&thin);
  EXPECT_EQ(thin, CRect(10, 0, 10 + minimum, 200));  // left kept
  EXPECT_EQ(*verti->GetDimension(), CRect(0, 0, minimum, 200));
}

TEST_F(RulerViewTest, LayoutFollowsRulerAndUnit) {
  MakeHoriz(CRect(0, 0, 500, 30), &base);
  double first = -1, step = -1;
  horiz->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(first, 0.0);
  EXPECT_DOUBLE_EQ(step, 10.0);

  CUnit tenths(unit_distance, unit_dataMillimeter, unit_convLinear, 10.0, 0.0, &base);
  horiz->SetDisplayUnit(&tenths, 1);  // labels 0..1000
  horiz->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(step, 100.0);

  xr.Set(33.0, 100.0, 0);
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(2));  // the view follows its ruler's event
  horiz->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(first, 400.0);
}

TEST_F(RulerViewTest, LabelsWiderThanTheRulerGiveOneTick) {
  MakeHoriz(CRect(0, 0, 30, 30), &base);
  double first = -1, step = -1;
  horiz->GetTickPosition(&first, &step);
  EXPECT_GE(horiz->GetLabelWidth(), 30);
  EXPECT_DOUBLE_EQ(first, 0.0);
  EXPECT_DOUBLE_EQ(step, 100.0);
}

TEST_F(RulerViewTest, HorizontalPaintsBackgroundBorderAndTicks) {
  MakeHoriz(CRect(0, 0, 500, 30), &base);
  horiz->SetColor(RGB(200, 200, 200));
  horiz->SetTickColor(RGB(255, 0, 0));
  horiz->OnDraw(nullptr);
  EXPECT_EQ(PixelOf(*horiz, 27, 29), 0u);  // the border, in the window DC's default pen
  EXPECT_EQ(PixelOf(*horiz, 27, 20), RGB(200, 200, 200));
  // Major ticks every 10 units (4.99 pixels a unit), from one step before the first tick.
  const int tu = horiz->GetTextMetrics().tmHeight / 3;
  std::vector<int> expected;
  for (int k = 0; k <= 10; ++k) expected.push_back(static_cast<int>(k * 49.9 + 0.5));
  std::vector<int> ticks = Columns(*horiz, 2 * tu + 1, RGB(255, 0, 0));
  EXPECT_EQ(ticks, expected);

  horiz->SetPattern(1);  // the colour halved
  horiz->OnDraw(nullptr);
  EXPECT_EQ(PixelOf(*horiz, 27, 20), RGB(100, 100, 100));
}

TEST_F(RulerViewTest, VerticalPaintsRotatedLabels) {
  MakeVerti(CRect(0, 0, 40, 401), &base, 0);  // grow 0: values grow upwards
  verti->SetTickColor(RGB(0, 0, 255));
  verti->OnDraw(nullptr);
  double first = -1, step = -1;
  verti->GetTickPosition(&first, &step);
  ASSERT_TRUE(step == 5.0 || step == 10.0) << step;
  // Tick rows (5 pixels a unit, upwards) from the right edge to the labels.
  std::vector<int> rows, expected;
  for (int y = 0; y < 401; ++y)
    if (PixelOf(*verti, 20, y) == RGB(0, 0, 255)) rows.push_back(y);
  for (double v = 80.0; v >= 0.0; v -= step) expected.push_back(static_cast<int>(400 - 5 * v));
  EXPECT_EQ(rows, expected);
  // The label of the tick at row 200 (value 40) is rotated: tall and narrow, above the row.
  int top = 401, bottom = -1, left = 40, right = -1;
  for (int y = 150; y < 200; ++y)
    for (int x = 1; x < 20; ++x)
      if (PixelOf(*verti, x, y) == 0) {
        top = std::min(top, y), bottom = std::max(bottom, y);
        left = std::min(left, x), right = std::max(right, x);
      }
  ASSERT_GE(bottom, 0);
  EXPECT_LE(bottom, 198);
  EXPECT_GE(left, 2);
  EXPECT_GT(bottom - top, right - left);
}

TEST_F(RulerViewTest, FoldedDecibelAxisIsDrawnTwiceWithOneUnitName) {
  yr.Set(-100.0, 200.0, 0);  // -100 % .. 100 %, folded at 0
  CUnit db(unit_decibel, unit_dataDecibel, unit_convPercentToDb, 1.0, 0.0, &base);
  CUnit nameless(unit_decibel, unit_dataNone, unit_convPercentToDb, 1.0, 0.0, &base);
  MakeVerti(CRect(0, 0, 40, 400), &db);
  verti->SetTickColor(RGB(0, 0, 255));
  verti->OnDraw(nullptr);
  const std::vector<COLORREF> named = Image(*verti);
  // The tick rows of the mirrored half mirror those of the normal half.
  std::set<int> rows;
  for (int y = 0; y < 400; ++y)
    if (PixelOf(*verti, 20, y) == RGB(0, 0, 255)) rows.insert(y);
  ASSERT_GE(rows.size(), 4u);
  EXPECT_LT(*rows.begin(), 199);  // both halves carry ticks
  EXPECT_GT(*rows.rbegin(), 200);
  for (int y : rows) {
    const bool mirrored = rows.count(399 - y) || rows.count(398 - y) || rows.count(400 - y);
    EXPECT_TRUE(mirrored) << "tick row " << y;
  }
  // Without a unit name only one label changes: the one the name was appended to.
  verti->SetDisplayUnit(&nameless, 1);
  verti->OnDraw(nullptr);
  const std::vector<COLORREF> plain = Image(*verti);
  int top = 400, bottom = -1;
  for (int i = 0; i < static_cast<int>(named.size()); ++i)
    if (named[i] != plain[i]) top = std::min(top, i / 40), bottom = std::max(bottom, i / 40);
  ASSERT_GE(bottom, 0) << "the unit name was never drawn";
  EXPECT_LT(bottom - top, 40);
}

TEST_F(RulerViewTest, VerticalIgnoresWindowsBeyondOneBillion) {
  MakeVerti(CRect(0, 0, 40, 400), &base);
  MakeHoriz(CRect(0, 0, 500, 30), &base);
  horiz->SetRuler(&yr);
  double first = -1, step = -1;
  verti->GetTickPosition(&first, &step);
  yr.Set(2e9, 100.0, 0);
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(2));
  verti->RulerChanged(2e9, 100.0, 0.0);
  double vFirst = -1, vStep = -1, hFirst = -1, hStep = -1;
  verti->GetTickPosition(&vFirst, &vStep);
  horiz->GetTickPosition(&hFirst, &hStep);
  EXPECT_EQ(vFirst, first);
  EXPECT_EQ(vStep, step);
  EXPECT_GE(hFirst, 2e9);  // the horizontal view has no such limit
}

TEST_F(RulerViewTest, ViewsTellTheirGridTheTickSpacing) {
  CGGrid grid;
  CUnit offsetUnit(unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 5.0, &base);
  MakeHoriz(CRect(0, 0, 500, 30), &base);
  MakeVerti(CRect(0, 0, 40, 401), &offsetUnit);
  horiz->SetGrid(&grid);
  verti->SetGrid(&grid);
  horiz->RecalcLayout();
  verti->RecalcLayout();
  double xf = -1, xs = -1, yf = -1, ys = -1;
  grid.GetTickSpacing(&xf, &xs, &yf, &ys);
  EXPECT_DOUBLE_EQ(xf, 0.0);
  EXPECT_DOUBLE_EQ(xs, 10.0);
  // Labels 5..85 (base + 5): the grid gets the first tick in base units, and the step as the
  // distance between two ticks (the offset does not shift it).
  double first = -1, step = -1;
  verti->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(yf, first - 5.0);
  EXPECT_DOUBLE_EQ(ys, step);
}

// A grid attached to views that have laid out their ticks already draws its lines: the views
// hand their spacing over when the grid is attached, whether or not a ruler change is still on
// its way. Each order is repeated, as the order of a late delivery against the attachment is
// left to the tick thread when nothing is settled in between.
struct LateGridCase {
  const char* name;
  bool settleBeforeAttach;  // every ruler event delivered before the grid is attached
  bool gridInContainerFirst;
  int rounds;
};

const LateGridCase kLateGridCases[] = {
    {"attached while ruler events may still be on their way", false, false, 100},
    {"attached after every ruler event was delivered", true, false, 20},
    {"in the container before the views know it", true, true, 20},
};

TEST_F(RulerViewTest, GridAttachedAfterTheViewsLaidOutDrawsItsLines) {
  const COLORREF green = RGB(0, 160, 0);
  for (const LateGridCase& tc : kLateGridCases) {
    for (int round = 0; round < tc.rounds; ++round) {
      SCOPED_TRACE(::testing::Message() << tc.name << ", round " << round);
      CGOContainer c;
      ASSERT_TRUE(c.Create(frame.get(), 7, &xr, &yr, 1, 1));
      c.MoveWindow(50, 0, 500, 400);
      c.ShowWindow(SW_SHOW);
      MakeHoriz(CRect(50, 400, 550, 430), &base);
      MakeVerti(CRect(0, 0, 40, 400), &base);
      CGGrid grid;
      grid.SetColor(green);
      if (tc.gridInContainerFirst) c.Add(&grid, CGOContainer::top);
      if (tc.settleBeforeAttach) {
        ASSERT_TRUE(quarlen::test::SettleEvents());
      }
      horiz->SetGrid(&grid);
      verti->SetGrid(&grid);
      if (!tc.gridInContainerFirst) c.Add(&grid, CGOContainer::top);
      c.SetGraphicalRuler(horiz.get(), verti.get());
      ASSERT_TRUE(quarlen::test::SettleEvents());
      // 0..100 over 500 pixels and 0..80 over 400, ticks every 10: a line every 50 pixels.
      EXPECT_GE(Columns(c, 203, green).size(), 9u);
      int rows = 0;
      for (int y = 0; y < 400; ++y) rows += PixelOf(c, 23, y) == green ? 1 : 0;
      EXPECT_GE(rows, 7);
      const bool failed = ::testing::Test::HasFailure();
      c.SetGraphicalRuler(nullptr, nullptr);
      c.RemoveAll();
      c.DestroyWindow();
      horiz.reset();
      verti.reset();
      if (failed) return;
    }
  }
}

TEST_F(RulerViewTest, ContainerRulerChangeUpdatesAndRepaintsTheViews) {
  CGOContainer c;
  ASSERT_TRUE(c.Create(frame.get(), 7, &xr, &yr, 1, 1));
  c.MoveWindow(50, 0, 500, 400);
  c.ShowWindow(SW_SHOW);
  MakeHoriz(CRect(50, 400, 550, 430), &base);
  MakeVerti(CRect(0, 0, 40, 400), &base);
  c.SetGraphicalRuler(horiz.get(), verti.get());
  Pump();
  for (CWnd* w : {static_cast<CWnd*>(horiz.get()), static_cast<CWnd*>(verti.get())}) {
    CDC* dc = w->GetDC();
    dc->FillSolidRect(0, 0, 500, 500, RGB(255, 0, 255));
    w->ReleaseDC(dc);
  }
  xr.Set(0.0, 1000.0, 0);
  c.SignalRulerChange();
  double first = -1, step = -1;
  horiz->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(step, 100.0);
  EXPECT_EQ(PixelOf(*horiz, 27, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(*verti, 20, 27), 0xFFFFFFu);
  c.SetGraphicalRuler(nullptr, nullptr);
  c.DestroyWindow();
}

// A view away from its parent's origin: a change of its ruler repaints the view's own window.
TEST_F(RulerViewTest, RulerChangeRepaintsTheView) {
  MakeHoriz(CRect(120, 300, 420, 330), &base);
  Pump();
  CDC* dc = horiz->GetDC();
  dc->FillSolidRect(0, 0, 300, 30, RGB(255, 0, 255));
  horiz->ReleaseDC(dc);
  xr.Set(0.0, 1000.0, 0);
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(2));
  Pump();
  double first = -1, step = -1;
  horiz->GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(step, 200.0);  // the layout followed
  EXPECT_EQ(PixelOf(*horiz, 27, 20), 0xFFFFFFu);
}

TEST_F(RulerViewTest, PaintMessageRedrawsTheView) {
  MakeHoriz(CRect(0, 0, 300, 30), &base);
  Pump();
  CDC* dc = horiz->GetDC();
  dc->FillSolidRect(0, 0, 300, 30, RGB(255, 0, 255));
  horiz->ReleaseDC(dc);
  horiz->InvalidateRect(nullptr, FALSE);
  horiz->UpdateWindow();
  EXPECT_EQ(PixelOf(*horiz, 27, 20), 0xFFFFFFu);
}

TEST_F(RulerViewTest, WindowlessRulerKeepsItsLayoutAndNeverDraws) {
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CGRulerHoriz h;
  CRect r(10, 0, 510, 30);
  h.Create(&mem, &xr, 1, &r);
  h.SetDisplayUnit(&base, 1);
  double first = -1, step = -1;
  h.GetTickPosition(&first, &step);
  EXPECT_DOUBLE_EQ(step, 10.0);
  EXPECT_EQ(h.ConvertToPixel(0.0), 10);  // the rectangle's left edge
  h.OnDraw(&mem);
  h.SetRuler(nullptr);
  h.GetTickPosition(&first, &step);
  EXPECT_EQ(first, 0.0);
  EXPECT_EQ(step, 100000.0);
}

TEST_F(RulerViewTest, DestroyingAViewWhileItsRulerChanges) {
  for (int i = 0; i < 20; ++i) {
    MakeHoriz(CRect(0, 0, 300, 30), &base);
    xr.Set(i, 50.0 + i, 0);
    horiz.reset();
  }
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(1));
}

}  // namespace
