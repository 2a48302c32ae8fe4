#include "cursors/adjustable_curve.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "cursor_fixture.h"

using namespace curtest;
using quarlen::test::Button;
using quarlen::test::kControl;
using quarlen::test::kShift;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

// Opens the protected removal to the tests.
class TestCurve : public CAdjustableCurve {
 public:
  using CAdjustableCurve::RemovePoint;
};

std::vector<double> Xs(const std::vector<stPoint>& pts) {
  std::vector<double> out;
  for (const stPoint& p : pts) out.push_back(p.x);
  return out;
}

HICON Pointer(const wchar_t* id) { return reinterpret_cast<HICON>(::LoadCursorW(nullptr, id)); }

class CurveTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    events.Listen(event_positionChanged);
    curve = std::make_unique<TestCurve>();
    curve->SetColor(kRed);
    c->AddDynamic(curve.get(), CGOContainer::top);
    Deliver();
  }
  void TearDown() override {
    containers.clear();  // the containers go before the curve they show
    curve.reset();
    CursorTest::TearDown();
  }

  void Set(std::vector<stPoint> pts) {
    curve->SetPoints(pts);
    Deliver();
  }
  // The pixel of a value pair in the view.
  POINT Px(double x, double y) const {
    return {curve->GetXScale()->PosToPixel(x), curve->GetYScale()->PosToPixel(y)};
  }
  static POINT Off(POINT p, int dx, int dy) { return {p.x + dx, p.y + dy}; }
  double XAt(LONG px) const { return curve->GetXScale()->PixelToPos(px); }
  double YAt(LONG py) const { return curve->GetYScale()->PixelToPos(py); }
  int Toggles() const { return events.Count(event_positionChanged, curve->GetID()); }
  void Drag(POINT from, POINT to, Button b = Button::Left, unsigned mods = 0) {
    MousePress(Hwnd(), from, b, mods);
    MouseMove(Hwnd(), to);
    MouseRelease(Hwnd(), to, b);
    Pump();
  }

  EventRecorder events;
  std::unique_ptr<TestCurve> curve;
};

TEST_F(CurveTest, TriggerIsAnnouncedOnceAtConstruction) {
  EXPECT_EQ(Toggles(), 1);
  ASSERT_NE(curve->GetTrigger(), nullptr);
  EXPECT_DOUBLE_EQ(curve->GetTrigger()->GetValue(), 1.0);
  EXPECT_STREQ(curve->GetTrigger()->GetName(), L"AdjCurveTrigger");
  ASSERT_NE(curve->GetTrigger()->GetAxe(), nullptr);
  EXPECT_STREQ(curve->GetTrigger()->GetAxe()->GetName(), L"EventAxis");
  EXPECT_EQ(curve->GetID(), curve->GetTrigger()->GetID());
}

TEST_F(CurveTest, HitTestAtThePickPrecisionEdges) {
  Set({{50.0, 40.0}});
  const POINT p = Px(50.0, 40.0);
  struct Case {
    int dx, dy;
    bool hit;
  } cases[] = {{0, 0, true},   {5, 0, true},  {-5, 0, true}, {6, 0, false},  {-6, 0, false},
               {0, 5, true},   {0, -5, true}, {0, 6, false}, {0, -6, false}, {5, 5, true},
               {-5, -5, true}, {6, 5, false}, {5, -6, false}};
  for (const Case& k : cases) {
    CPoint at(Off(p, k.dx, k.dy));
    EXPECT_EQ(c->GetObjectOnTop(&at) == curve.get(), k.hit) << k.dx << "," << k.dy;
  }
  curve->SetPickPrecision(CSize(2, 8));
  CPoint wide(Off(p, 0, 8)), narrow(Off(p, 3, 0));
  EXPECT_EQ(c->GetObjectOnTop(&wide), curve.get());
  EXPECT_EQ(c->GetObjectOnTop(&narrow), nullptr);
}

TEST_F(CurveTest, LeftDragMovesThePointUnderThePress) {
  Set({{20.0, 20.0}, {50.0, 40.0}, {80.0, 20.0}});
  Drag(Off(Px(50.0, 40.0), 2, 1), {60, 30});
  const std::vector<stPoint> pts = curve->GetPoints();
  ASSERT_EQ(pts.size(), 3u);
  EXPECT_EQ(pts[1], stPoint(XAt(60), YAt(30)));
  EXPECT_EQ(pts[0], stPoint(20.0, 20.0));
  EXPECT_EQ(pts[2], stPoint(80.0, 20.0));
  EXPECT_FALSE(curve->IsCaptured());
}

TEST_F(CurveTest, ControlDuplicatesAndTheDragMovesOneOfTheTwo) {
  struct Case {
    const char* name;
    int sortByX;
    std::vector<double> expectedX;  // x of the points after the drag; -1 the dragged one
  } cases[] = {
      // Without sorting the copy is appended and stays; the earlier one is dragged.
      {"Unsorted", 0, {20.0, -1.0, 80.0, 50.0}},
      {"SortedByX", 1, {20.0, -1.0, 50.0, 80.0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    curve->SetSortingOptions(k.sortByX, 0);
    Set({{20.0, 20.0}, {50.0, 40.0}, {80.0, 20.0}});
    const POINT p = Px(50.0, 40.0);
    MousePress(Hwnd(), p, Button::Right, kControl);
    Pump();
    ASSERT_EQ(curve->GetPoints().size(), 4u);
    EXPECT_TRUE(curve->IsCaptured());
    MouseMove(Hwnd(), Px(45.0, 40.0));
    MouseRelease(Hwnd(), Px(45.0, 40.0), Button::Right);
    Pump();
    std::vector<double> expected = k.expectedX;
    for (double& x : expected) x = x < 0 ? XAt(Px(45.0, 40.0).x) : x;
    EXPECT_EQ(Xs(curve->GetPoints()), expected);
  }
}

TEST_F(CurveTest, ShiftDeletesAndStartsNoDrag) {
  Set({{20.0, 20.0}, {50.0, 40.0}, {80.0, 20.0}});
  const int before = Toggles();
  const POINT p = Px(50.0, 40.0);
  MousePress(Hwnd(), p, Button::Right, kShift);
  Pump();
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{20.0, 80.0}));
  EXPECT_FALSE(curve->IsCaptured());
  MouseMove(Hwnd(), Off(p, 10, 0));
  MouseRelease(Hwnd(), Off(p, 10, 0), Button::Right);
  Pump();
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{20.0, 80.0}));
  EXPECT_EQ(Toggles(), before);  // nothing was dragged, nothing to announce
  // Shift on empty space deletes nothing.
  MousePress(Hwnd(), Px(50.0, 70.0), Button::Right, kShift);
  MouseRelease(Hwnd(), Px(50.0, 70.0), Button::Right);
  Pump();
  EXPECT_EQ(curve->GetPoints().size(), 2u);
}

TEST_F(CurveTest, LockingDecidesBeyondThePickPrecision) {
  struct Case {
    const char* name;
    int dx, dy;          // first move, from the point's pixel
    bool decided;        // the first move chose a direction
    int dx2, dy2;        // second move
    double x, y;         // the point afterwards
    const wchar_t* ptr;  // pointer shape after the second move
  };
  const double x0 = 50.0, y0 = 40.0;
  const POINT p = Px(x0, y0);
  const Case cases[] = {
      {"FiveInXUndecided", 5, 0, false, 5, 5, x0, y0, IDC_SIZEALL},
      {"SixInXLocksX", 6, 0, true, 10, 12, XAt(p.x + 10), y0, IDC_SIZEWE},
      {"FiveInYUndecided", 0, 5, false, 3, 5, x0, y0, IDC_SIZEALL},
      {"SixInYLocksY", 0, -6, true, 12, -10, x0, YAt(p.y - 10), IDC_SIZENS},
      {"BothBeyondPrefersX", 6, 6, true, 9, 20, XAt(p.x + 9), y0, IDC_SIZEWE},
  };
  curve->SetDirectionLocking(1);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Set({{x0, y0}});
    MousePress(Hwnd(), p);
    MouseMove(Hwnd(), Off(p, k.dx, k.dy));
    Pump();
    const stPoint first = curve->GetPoints()[0];
    EXPECT_EQ(first == stPoint(x0, y0), !k.decided);
    MouseMove(Hwnd(), Off(p, k.dx2, k.dy2));
    Pump();
    EXPECT_EQ(curve->GetPoints()[0], stPoint(k.x, k.y));
    // Over the point the pointer shows the move shape until a direction is chosen.
    EXPECT_EQ(::GetCursor(), reinterpret_cast<HCURSOR>(Pointer(k.ptr)));
    MouseRelease(Hwnd(), Off(p, k.dx2, k.dy2));
    Pump();
  }
}

TEST_F(CurveTest, PointerShapes) {
  Set({{50.0, 40.0}});
  const POINT p = Px(50.0, 40.0);
  CPoint on(p), off(Off(p, 20, 0));
  EXPECT_EQ(curve->GetCursor(&on), Pointer(IDC_SIZEALL));
  EXPECT_EQ(curve->GetCursor(&off), Pointer(IDC_ARROW));
  MousePress(Hwnd(), p);
  MouseMove(Hwnd(), Off(p, 1, 0));  // no locking: decided at once
  Pump();
  EXPECT_EQ(curve->GetCursor(&off), Pointer(IDC_SIZEALL));
  MouseRelease(Hwnd(), Off(p, 1, 0));
  Pump();
  EXPECT_EQ(curve->GetCursor(&off), Pointer(IDC_ARROW));
}

TEST_F(CurveTest, SortingPastANeighbourKeepsDraggingTheSamePoint) {
  struct Case {
    const char* name;
    int byX, byY;
    std::vector<stPoint> start;
    stPoint grab;
    std::vector<stPoint> moves;  // values the pointer visits
    std::vector<stPoint> expected;
  } cases[] = {
      {"ByX",
       1,
       0,
       {{20, 40}, {40, 30}, {60, 50}},
       {20, 40},
       {{50, 40}, {70, 40}, {10, 20}, {65, 60}},
       {{40, 30}, {60, 50}, {65, 60}}},
      {"ByY",
       0,
       1,
       {{20, 10}, {40, 30}, {60, 50}},
       {20, 10},
       {{20, 40}, {30, 70}},
       {{40, 30}, {60, 50}, {30, 70}}},
      {"BothYWins",
       1,
       1,
       {{20, 10}, {40, 30}, {60, 50}},
       {60, 50},
       {{10, 20}, {5, 5}},
       {{5, 5}, {20, 10}, {40, 30}}},
      {"NoSortingKeepsTheOrder",
       0,
       0,
       {{20, 40}, {40, 30}, {60, 50}},
       {20, 40},
       {{70, 40}},
       {{70, 40}, {40, 30}, {60, 50}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    curve->SetSortingOptions(k.byX, k.byY);
    Set(k.start);
    MousePress(Hwnd(), Px(k.grab.x, k.grab.y));
    for (const stPoint& m : k.moves) MouseMove(Hwnd(), Px(m.x, m.y));
    const POINT last = Px(k.moves.back().x, k.moves.back().y);
    MouseRelease(Hwnd(), last);
    Pump();
    const std::vector<stPoint> got = curve->GetPoints();
    ASSERT_EQ(got.size(), k.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(Px(got[i].x, got[i].y).x, Px(k.expected[i].x, k.expected[i].y).x) << i;
      EXPECT_EQ(Px(got[i].x, got[i].y).y, Px(k.expected[i].x, k.expected[i].y).y) << i;
    }
  }
}

TEST_F(CurveTest, AddPointsSortsByXWhateverTheOptions) {
  curve->SetSortingOptions(0, 1);
  Set({{50.0, 1.0}, {10.0, 9.0}});  // SetPoints keeps the given order
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{50.0, 10.0}));
  stPoint p(30.0, 5.0);
  curve->AddPoints(p);
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{10.0, 30.0, 50.0}));
  stPoint bad(std::nan(""), 5.0);
  curve->AddPoints(bad);
  EXPECT_EQ(curve->GetPoints().size(), 3u);
  curve->ClearPoints();
  EXPECT_TRUE(curve->GetPoints().empty());
}

TEST_F(CurveTest, NonFinitePointsAreLeftOut) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  curve->SetSortingOptions(1, 0);
  Set({{60.0, 40.0}, {nan, 10.0}, {20.0, inf}, {-inf, 3.0}, {30.0, 30.0}, {80.0, nan}});
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{60.0, 30.0}));
  // The remaining points sort and draw as usual.
  Drag(Px(30.0, 30.0), Px(70.0, 30.0));
  EXPECT_EQ(Xs(curve->GetPoints()), (std::vector<double>{60.0, XAt(Px(70.0, 30.0).x)}));
  EXPECT_EQ(Pixel(c, Px(70.0, 30.0).x, Px(70.0, 30.0).y), kRed);
}

TEST_F(CurveTest, TriggerTogglesOncePerCaptureEnd) {
  Set({{50.0, 40.0}});
  const POINT p = Px(50.0, 40.0);
  const double values[] = {-1.0, 1.0, -1.0};
  int expected = Toggles();
  for (double v : values) {
    Drag(p, p);  // a release before any effective move still ends the capture
    ++expected;
    EXPECT_EQ(Toggles(), expected);
    EXPECT_DOUBLE_EQ(curve->GetTrigger()->GetValue(), v);
  }
  MousePress(Hwnd(), p);
  for (int i = 1; i <= 4; ++i) MouseMove(Hwnd(), Off(p, 0, i));
  Pump();
  EXPECT_EQ(Toggles(), expected);  // moves announce nothing
  MouseRelease(Hwnd(), Off(p, 0, 4));
  Pump();
  EXPECT_EQ(Toggles(), expected + 1);
}

TEST_F(CurveTest, AbandonedCaptureDoesNotToggle) {
  Set({{50.0, 40.0}});
  const int before = Toggles();
  // As the tracking object the curve is offered a right press on empty space: it accepts
  // without a point, and the first move ends the drag without OnEndCapture.
  c->AddTracking(curve.get());
  const POINT empty = Px(10.0, 10.0);
  MousePress(Hwnd(), empty, Button::Right);
  MouseMove(Hwnd(), Off(empty, 10, 10));
  MouseRelease(Hwnd(), Off(empty, 10, 10), Button::Right);
  Pump();
  EXPECT_EQ(Toggles(), before);
  EXPECT_DOUBLE_EQ(curve->GetTrigger()->GetValue(), 1.0);
  EXPECT_FALSE(curve->IsCaptured());
}

TEST_F(CurveTest, PointsReplacedDuringADrag) {
  struct Case {
    const char* name;
    std::vector<stPoint> replacement;
    bool goesOn;  // the drag keeps a point
  } cases[] = {
      {"HoldsTheDraggedPoint", {{10.0, 10.0}, {50.0, 40.0}, {90.0, 10.0}}, true},
      {"LacksIt", {{10.0, 10.0}, {90.0, 10.0}}, false},
      {"Empty", {}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Set({{50.0, 40.0}, {70.0, 20.0}});
    const int before = Toggles();
    const POINT p = Px(50.0, 40.0);
    MousePress(Hwnd(), p);
    Pump();
    std::vector<stPoint> pts = k.replacement;
    curve->SetPoints(pts);  // the old array is freed: the drag must not write into it
    MouseMove(Hwnd(), Px(40.0, 60.0));
    MouseMove(Hwnd(), Px(45.0, 50.0));
    MouseRelease(Hwnd(), Px(45.0, 50.0));
    Pump();
    std::vector<stPoint> expected = k.replacement;
    if (k.goesOn) expected[1] = stPoint(XAt(Px(45.0, 50.0).x), YAt(Px(45.0, 50.0).y));
    EXPECT_EQ(curve->GetPoints(), expected);
    EXPECT_EQ(Toggles(), before + (k.goesOn ? 1 : 0));
    EXPECT_FALSE(curve->IsCaptured());
  }
}

TEST_F(CurveTest, RemovalBeforeTheDraggedPointKeepsTheDrag) {
  Set({{20.0, 20.0}, {50.0, 40.0}, {80.0, 20.0}});
  MousePress(Hwnd(), Px(50.0, 40.0));
  Pump();
  stPoint first(20.0, 20.0);
  curve->RemovePoint(first);
  MouseMove(Hwnd(), Px(60.0, 30.0));
  MouseRelease(Hwnd(), Px(60.0, 30.0));
  Pump();
  const std::vector<stPoint> pts = curve->GetPoints();
  ASSERT_EQ(pts.size(), 2u);
  EXPECT_EQ(pts[0], stPoint(XAt(Px(60.0, 30.0).x), YAt(Px(60.0, 30.0).y)));
  EXPECT_EQ(pts[1], stPoint(80.0, 20.0));
}

TEST_F(CurveTest, PolylineAndDiscs) {
  Set({{20.0, 40.0}, {80.0, 40.0}});
  const POINT a = Px(20.0, 40.0), b = Px(80.0, 40.0);
  // The line between the discs, one pixel high.
  for (int x = a.x + 4; x < b.x - 3; ++x) {
    EXPECT_EQ(Pixel(c, x, a.y), kRed) << x;
    EXPECT_EQ(Pixel(c, x, a.y - 1), kWhite) << x;
    EXPECT_EQ(Pixel(c, x, a.y + 1), kWhite) << x;
  }
  // Discs of 7 x 7 centred on each point.
  for (const POINT p : {a, b}) {
    EXPECT_EQ(Pixel(c, p.x, p.y - 3), kRed);
    EXPECT_EQ(Pixel(c, p.x, p.y + 3), kRed);
    EXPECT_EQ(Pixel(c, p.x, p.y - 4), kWhite);
    EXPECT_EQ(Pixel(c, p.x, p.y + 4), kWhite);
    EXPECT_EQ(Pixel(c, p.x - 1, p.y - 2), kRed);
    EXPECT_EQ(Pixel(c, p.x + 2, p.y + 1), kRed);
  }
  EXPECT_EQ(Pixel(c, a.x - 3, a.y), kRed);
  EXPECT_EQ(Pixel(c, a.x - 4, a.y), kWhite);
  EXPECT_EQ(Pixel(c, b.x + 3, b.y), kRed);
  EXPECT_EQ(Pixel(c, b.x + 4, b.y), kWhite);
  // Nothing beyond the line's row and the discs.
  EXPECT_EQ(CountOf(c, kRed, CRect(0, 0, kW, a.y - 3)), 0);
  EXPECT_EQ(CountOf(c, kRed, CRect(0, a.y + 4, kW, kH)), 0);
  quarlen::test::SavePixelsIfFailed(Hwnd(), "polyline");
}

TEST_F(CurveTest, NoPointsDrawNothingOnePointOnlyItsDisc) {
  EXPECT_EQ(CountOf(c, kRed), 0);
  Set({{50.0, 40.0}});
  const POINT p = Px(50.0, 40.0);
  const CRect disc(p.x - 3, p.y - 3, p.x + 4, p.y + 4);
  const int inDisc = CountOf(c, kRed, disc);
  EXPECT_GE(inDisc, 29);  // a filled 7 x 7 disc: at least the inscribed cross and core
  EXPECT_EQ(CountOf(c, kRed), inDisc);
  EXPECT_EQ(Pixel(c, p.x, p.y), kRed);
  curve->ClearPoints();
  Deliver();
  EXPECT_EQ(CountOf(c, kRed), 0);
  curve->EnableDraw(0);
  Set({{50.0, 40.0}});
  EXPECT_EQ(CountOf(c, kRed), 0);
}

// The drag repaints only around the dragged point; what it leaves on the surface must equal a
// full repaint of the view.
TEST_F(CurveTest, DragRepaintEqualsAFullRepaint) {
  curve->SetSortingOptions(1, 0);
  std::vector<stPoint> pts;
  for (int i = 0; i < 9; ++i) pts.emplace_back(5.0 + 11.0 * i, (i % 2) ? 20.0 : 60.0);
  Set(pts);
  MousePress(Hwnd(), Px(27.0, 60.0));
  const POINT path[] = {{40, 10}, {55, 70}, {90, 40}, {3, 3}, {61, 33}};
  for (const POINT& m : path) MouseMove(Hwnd(), m);
  Pump();
  const QImage dragged = quarlen::test::WindowPixels(Hwnd());
  MouseRelease(Hwnd(), path[4]);
  c->Redraw();
  Pump();
  const QImage full = quarlen::test::WindowPixels(Hwnd());
  EXPECT_TRUE(dragged == full);
  if (dragged != full) quarlen::test::SaveImage(dragged, "dragged");
  quarlen::test::SavePixelsIfFailed(Hwnd(), "full");
}

TEST_F(CurveTest, HundredThousandPointsDraw) {
  std::vector<stPoint> pts;
  constexpr int kN = 100000;
  pts.reserve(kN);
  for (int i = 0; i < kN; ++i) pts.emplace_back(100.0 * i / kN, 40.0 + 30.0 * std::sin(i * 0.01));
  // A few far outside the view: their segments are clipped, not walked.
  pts.emplace_back(1e12, 1e12);
  pts.emplace_back(-1e12, 40.0);
  Set(pts);
  EXPECT_EQ(curve->GetPoints().size(), pts.size());
  EXPECT_GT(CountOf(c, kRed), 100);
  EXPECT_EQ(Pixel(c, Px(50.0, 40.0 + 30.0 * std::sin(50000 * 0.01)).x,
                  Px(50.0, 40.0 + 30.0 * std::sin(50000 * 0.01)).y),
            kRed);
}

}  // namespace
