// The inspection window's top view as a user sees it: its pixels follow the scan ruler column
// for column with the B-scan, the index cursor dragged on it chooses the B-scan's line, the
// gate slider's user changes reach it, and only what concerns it repaints it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "axis/scale_converter.h"
#include "demo/inspection_window.h"
#include "demo/tool_bar.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

[[maybe_unused]] auto* const kEvents =
    ::testing::AddGlobalTestEnvironment(new t::EventServiceEnvironment);

constexpr double kMm = 0.001;

COLORREF PaletteColour(int amplitude) {
  const std::uint32_t p = demo::Palette()[amplitude];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Width(CWnd& wnd) {
  CRect r;
  wnd.GetClientRect(&r);
  return r.Width();
}
int Height(CWnd& wnd) {
  CRect r;
  wnd.GetClientRect(&r);
  return r.Height();
}

// One window for the suite: building the volume is the costly part.
std::unique_ptr<demo::InspectionWindow> g_window;

demo::InspectionWindow& Window() { return *g_window; }
demo::TopView& Top() { return Window().Top(); }
const CSC& TopX() { return *Top().IndexCursor().GetXScale(); }
const CSC& TopY() { return *Top().IndexCursor().GetYScale(); }
const CSC& BScanX() { return *Window().DepthCursor().GetXScale(); }
const CSC& BScanY() { return *Window().DepthCursor().GetYScale(); }

// Press, five moves, release, then everything delivered and painted.
void Drag(CWnd& wnd, CPoint from, CPoint to) {
  const HWND h = wnd.GetSafeHwnd();
  t::MousePress(h, from);
  for (int i = 1; i <= 5; ++i)
    t::MouseMove(h, CPoint(from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5));
  t::MouseRelease(h, to);
  EXPECT_TRUE(t::SettleEvents());
}

// Drags the index cursor on the top view to a value (m).
void DragIndexTo(double index) {
  const int x = Width(Top().View()) * 3 / 4;  // clear of the value box
  Drag(Top().View(), CPoint(x, TopY().PosToPixel(Window().Index().GetValue())),
       CPoint(x, TopY().PosToPixel(index)));
}

// The pixel of the gate slider's track at a depth (m).
int GateX(double depth) {
  CDualSliderCtrl& gate = Window().Bar().Gate();
  CRect r;
  gate.GetClientRect(&r);
  const int track = r.Width() - gate.GetLeftMargin() - gate.GetRightMargin() - 1;
  return gate.GetLeftMargin() + int(std::lround(track * depth / demo::SyntheticVolume::kDepth));
}

// What the top view should show at one of its pixels: the palette colour of the gate's largest
// amplitude at the scan position and index the view's scales give that pixel.
COLORREF ExpectedTopPixel(int x, int y) {
  const int a = Top().Control().AmplitudeAt(TopX().PixelToPos(x), TopY().PixelToPos(y));
  return a < 0 ? RGB(0xC0, 0xC0, 0xC0) : PaletteColour(a);
}

class TopViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_window = std::make_unique<demo::InspectionWindow>(CSize(600, 300));
    g_window->Frame().ShowWindow(SW_SHOW);
    ASSERT_TRUE(t::SettleEvents());
  }
  static void TearDownTestSuite() { g_window.reset(); }

  // Every case starts from the whole axes, the index cursor at 50 mm and the gate 5..20 mm.
  void SetUp() override {
    demo::InspectionWindow& w = Window();
    w.ScanRuler().Set(0.0, demo::SyntheticVolume::kScanLength, 0);
    w.DepthRuler().Set(0.0, demo::SyntheticVolume::kDepth, 0);
    w.IndexRuler().Set(0.0, demo::SyntheticVolume::kIndexLength, 0);
    w.Index().SetValue(0.050, 0, 1);
    ASSERT_TRUE(t::SettleEvents());
  }
  void TearDown() override { t::SavePixelsIfFailed(Top().View().GetSafeHwnd(), "top-view"); }
};

struct ScanWindowCase {
  const char* name;
  double start, end;  // m
};

const ScanWindowCase kScanWindows[] = {
    {"WholeAxis", 0.0, 0.300},
    {"ZoomedOnTheHoles", 0.040, 0.190},
    {"NarrowWindowAtTheThroughHole", 0.190, 0.210},
};

// After a zoom of the scan ruler the control holds the ruler's window, each top view column
// shows the scan position the B-scan shows in the same column, and its pixels are the gate's
// amplitudes there.
TEST_F(TopViewTest, FollowsTheScanRulerWithTheBScan) {
  demo::InspectionWindow& w = Window();
  const HWND top = Top().View().GetSafeHwnd();
  const int width = Width(Top().View());
  ASSERT_EQ(width, Width(w.BScan()));
  for (const ScanWindowCase& c : kScanWindows) {
    SCOPED_TRACE(c.name);
    w.ScanRuler().Set(c.start, c.end - c.start, 0);  // start and range
    ASSERT_TRUE(t::SettleEvents());
    EXPECT_DOUBLE_EQ(Top().Control().GetHorizontalOffset(), 0.0);
    EXPECT_NEAR(Top().Control().GetHorizontalStart(), c.start, 1e-12);
    EXPECT_NEAR(Top().Control().GetHorizontalRange(), c.end - c.start, 1e-12);
    const int row = TopY().PosToPixel(0.025);  // index 25 mm, away from the cursor at 50 mm
    for (int x : {1, width / 4, width / 2, width * 3 / 4, width - 2}) {
      EXPECT_DOUBLE_EQ(TopX().PixelToPos(x), BScanX().PixelToPos(x)) << "column " << x;
      EXPECT_EQ(t::PixelAt(top, x, row), ExpectedTopPixel(x, row)) << "column " << x;
    }
  }
}

struct IndexCase {
  const char* name;
  double index;    // m: where the index cursor is dragged to
  bool firstHole;  // whether the B-scan line shows the first hole (index 5..35 mm)
};

const IndexCase kIndexCases[] = {
    {"IntoTheFirstHolesStretch", 0.030, true},
    {"PastTheFirstHolesEnd", 0.045, false},
    {"FirstLine", 0.000, false},
    {"BackIntoTheStretch", 0.010, true},
    {"LastLine", 0.060, false},
};

// The index cursor dragged on the top view snaps to a scan line; the B-scan repaints with that
// line's samples, where the first hole is or is not.
TEST_F(TopViewTest, IndexCursorChoosesTheBScanLine) {
  demo::InspectionWindow& w = Window();
  const demo::SyntheticBScan& data = w.BScanData();
  const HWND bscan = w.BScan().GetSafeHwnd();
  // A point on the first hole's echo clear of the cursors: 4 mm beside it along the scan, at
  // the echo's depth there.
  const int x = BScanX().PosToPixel(0.064);
  const int y = BScanY().PosToPixel(std::hypot(0.012, 0.004));
  for (const IndexCase& c : kIndexCases) {
    SCOPED_TRACE(c.name);
    DragIndexTo(c.index);
    EXPECT_NEAR(w.Index().GetValue(), c.index, 1e-9);
    EXPECT_EQ(data.Line(), std::lround(c.index / kMm));
    const int a = data.Sample(data.ScanIndex(BScanX().PixelToPos(x)),
                              data.DepthIndex(BScanY().PixelToPos(y)));
    EXPECT_EQ(t::PixelAt(bscan, x, y), PaletteColour(a));
    if (c.firstHole)
      EXPECT_GT(a, 60);
    else
      EXPECT_LT(a, 30);
  }
}

struct GateCase {
  const char* name;
  int thumb;            // 0: lower, 1: upper
  double to;            // m: where the thumb is dragged
  double lower, upper;  // the gate afterwards (m)
  bool secondHole;      // whether the top view shows the second hole (24 mm deep)
};

// From the gate 5..20 mm.
const GateCase kGateCases[] = {
    {"UpperThumbPastTheSecondHole", 1, 0.030, 0.005, 0.030, true},
    {"UpperThumbStillAbove", 1, 0.015, 0.005, 0.015, false},
    {"LowerThumbDeeper", 0, 0.012, 0.012, 0.020, false},
};

// A user change of the gate slider reaches the top view: the gate, its label and the pixels at
// the second hole follow.
TEST_F(TopViewTest, GateSliderChangesReachTheTopView) {
  demo::InspectionWindow& w = Window();
  CDualSliderCtrl& gate = w.Bar().Gate();
  const HWND top = Top().View().GetSafeHwnd();
  DragIndexTo(0.030);  // the second hole runs along 15..55 mm
  const int x = TopX().PosToPixel(0.130);
  const int y = TopY().PosToPixel(0.025);
  for (const GateCase& c : kGateCases) {
    SCOPED_TRACE(c.name);
    gate.SetSlidersPosition(0.005, 0.020);  // a setter: nothing is told
    ASSERT_TRUE(t::SettleEvents());
    const int row = gate.GetThumbRect(c.thumb).CenterPoint().y;
    Drag(gate, CPoint(gate.GetThumbRect(c.thumb).CenterPoint().x, row), CPoint(GateX(c.to), row));
    double lower = 0.0, upper = 0.0;
    Top().Control().GetGate(&lower, &upper);
    EXPECT_NEAR(lower, c.lower, 1e-9);
    EXPECT_NEAR(upper, c.upper, 1e-9);
    CString label;
    label.Format(L"Top view: largest echo\nin the gate %.2f .. %.2f mm", c.lower / kMm,
                 c.upper / kMm);
    EXPECT_EQ(Top().LabelText(), label);
    EXPECT_EQ(t::PixelAt(top, x, y), ExpectedTopPixel(x, y));
    const int a = Top().Control().AmplitudeAt(TopX().PixelToPos(x), TopY().PixelToPos(y));
    if (c.secondHole)
      EXPECT_GT(a, 100);
    else
      EXPECT_LT(a, 30);
  }
}

struct RepaintCase {
  const char* name;
  void (*act)();
  bool drawn;  // whether the top view is drawn again
};

const RepaintCase kRepaintCases[] = {
    {"ReferenceCursorDragInTheBScan",
     [] {
       demo::InspectionWindow& w = Window();
       const int row = Height(w.BScan()) * 3 / 4;
       const int x = BScanX().PosToPixel(w.Reference().GetValue());
       Drag(w.BScan(), CPoint(x, row), CPoint(x + 30, row));
     },
     false},
    {"DepthCursorDragInTheBScan",
     [] {
       demo::InspectionWindow& w = Window();
       const int x = Width(w.BScan()) * 9 / 10;
       const int y = BScanY().PosToPixel(w.Depth().GetValue());
       Drag(w.BScan(), CPoint(x, y), CPoint(x, y + 20));
     },
     false},
    {"ScanRulerZoom",
     [] {
       Window().ScanRuler().Set(0.050, 0.200, 0);
       EXPECT_TRUE(t::SettleEvents());
     },
     true},
    {"IndexCursorDrag", [] { DragIndexTo(0.020); }, true},
};

TEST_F(TopViewTest, RepaintsOnlyForWhatItShows) {
  for (const RepaintCase& c : kRepaintCases) {
    SCOPED_TRACE(c.name);
    const int before = Top().Control().DrawCount();
    c.act();
    EXPECT_EQ(Top().Control().DrawCount() > before, c.drawn);
  }
}

}  // namespace
