// The grow flags of a container and of its vertical ruler view: with the named constants of the
// same direction on both, a depth cursor at 10 mm is drawn on the row of the view's "10" tick;
// the same number on both mirrors the view against its ruler strip.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/unit.h"
#include "cursors/graphic_cursor.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

constexpr int kWidth = 200, kHeight = 300, kRulerWidth = 34;
constexpr COLORREF kCursorColour = RGB(200, 0, 160);
constexpr double kMillimetre = 0.001;

struct GrowCase {
  const char* name;
  int containerGrow;
  int rulerGrow;
  double labelBesideCursor;  // the tick (display value, mm) whose row the cursor line is on
};

class GrowFlags : public quarlen::test::EventServiceFixture,
                  public ::testing::WithParamInterface<GrowCase> {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    metre.SetUnitType(unit_distance, unit_dataMeter);
    depthAxis.Create(L"Depth", std_distance, 0.0, 40 * kMillimetre);
    depth.Create(L"Depth", &depthAxis, 0.0, 0);
    depth.Set(0.0, 40 * kMillimetre, 0);
    scan.Set(0.0, 1.0, 0);
    frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE,
                  CRect(0, 0, kRulerWidth + kWidth + 20, kHeight + 20), nullptr, 0);
  }
  void TearDown() override {
    view.SetGraphicalRuler(nullptr, nullptr);
    view.RemoveAll();
    view.DestroyWindow();
    verti.DestroyWindow();
    frame.reset();
    ASSERT_TRUE(quarlen::test::SettleEvents());
    EventServiceFixture::TearDown();
  }

  // Rows of column x of the view that carry the cursor colour.
  std::vector<int> CursorRows(int x) {
    std::vector<int> rows;
    for (int y = 0; y < kHeight; ++y)
      if (quarlen::test::PixelAt(view.m_hWnd, x, y) == kCursorColour) rows.push_back(y);
    return rows;
  }

  CUnit metre;
  CUnit millimetre{unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &metre};
  CAxe depthAxis;
  CRuler depth, scan;
  CPosition position;
  std::unique_ptr<CFrameWnd> frame;
  CGOContainer view;
  CGRulerVerti verti;
  CGCursor cursor;
};

TEST_P(GrowFlags, DepthCursorLiesOnTheRowOfItsLabel) {
  const GrowCase& c = GetParam();
  ASSERT_TRUE(view.Create(frame.get(), 1, &scan, &depth, gocont_growRight, c.containerGrow));
  view.MoveWindow(kRulerWidth, 0, kWidth, kHeight);
  view.ShowWindow(SW_SHOW);
  CRect left(0, 0, kRulerWidth, kHeight);
  verti.Create(frame.get(), &depth, c.rulerGrow, &left);
  verti.SetPosition(&left);
  verti.SetDisplayUnit(&millimetre, 1);
  view.SetGraphicalRuler(nullptr, &verti);

  position.Create(L"Depth", &depthAxis, 10 * kMillimetre, 0);
  cursor.Create(&position);
  cursor.SetColor(kCursorColour);
  view.AddDynamic(&cursor, CGOContainer::top);
  ASSERT_TRUE(quarlen::test::SettleEvents());

  const LONG labelRow = verti.ConvertToPixel(c.labelBesideCursor);
  // The strip has a major tick there: it reaches half across the strip.
  EXPECT_EQ(quarlen::test::PixelAt(verti.m_hWnd, kRulerWidth / 2, labelRow), RGB(0, 0, 0));
  const std::vector<int> rows = CursorRows(kWidth / 2);
  ASSERT_FALSE(rows.empty()) << "no cursor line drawn";
  for (int row : rows) EXPECT_NEAR(row, labelRow, 1) << "cursor line far from its label";
  quarlen::test::SavePixelsIfFailed(view.m_hWnd, "view");
  quarlen::test::SavePixelsIfFailed(verti.m_hWnd, "ruler");
}

INSTANTIATE_TEST_SUITE_P(
    Table, GrowFlags,
    ::testing::Values(GrowCase{"BothGrowDown", gocont_growDown, gruler_growDown, 10.0},
                      GrowCase{"BothGrowUp", gocont_growUp, gruler_growUp, 10.0},
                      // The trap the constants name: 1 on both means up for the view and down
                      // for its ruler strip, so the cursor sits at the mirrored label.
                      GrowCase{"SameNumberOnBoth", 1, 1, 30.0}),
    [](const ::testing::TestParamInfo<GrowCase>& i) { return std::string(i.param.name); });

}  // namespace
