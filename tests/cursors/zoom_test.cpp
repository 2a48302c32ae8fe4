#include "cursors/zoom.h"

#include "cursor_fixture.h"
#include "cursors/graphic_cursor.h"

using namespace curtest;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

constexpr COLORREF kHatchRed = RGB(255, 0, 0);
constexpr COLORREF kHatchGreen = RGB(0, 255, 0);

class ZoomTest : public CursorTest {
 protected:
  void AddZoom(CRuler* restricting = nullptr, int partial = 1) {
    zoom = std::make_unique<CZoom>(restricting, partial);
    c->AddDynamic(zoom.get(), CGOContainer::top);
    Deliver();
  }
  void TearDown() override {
    containers.clear();
    zoom.reset();
    CursorTest::TearDown();
  }
  // Drives a drag through the zoom's capture operations as the container does.
  void Drag(CPoint from, CPoint to) {
    ASSERT_TRUE(zoom->OnBeginCapture(&from, MK_LBUTTON));
    zoom->OnUpdateCapture(&to, MK_LBUTTON);
    zoom->OnEndCapture(&to, 0);
  }
  double X(int px) const { return zoom->GetXScale()->PixelToPos(px); }
  double Y(int py) const { return zoom->GetYScale()->PixelToPos(py); }

  std::unique_ptr<CZoom> zoom;
};

TEST_F(ZoomTest, DirectionFollowsTheBandShape) {
  struct Case {
    CPoint to;
    bool zoomsX, zoomsY;
  } cases[] = {
      {{50, 12}, true, false},  // flat: X only
      {{12, 60}, false, true},  // tall: Y only
      {{30, 50}, true, true},   // 20 x 40, ratio exactly 1:2: both
      {{31, 50}, true, true},   // 21 x 40: both
      {{29, 50}, false, true},  // 19 x 40, ratio below 1:2: Y only
      {{50, 50}, true, true},   // square: both
  };
  AddZoom();
  for (const Case& k : cases) {
    xr.Set(0.0, 100.0, 0);
    yr.Set(0.0, 80.0, 0);
    Deliver();
    const CPoint from(10, 10);
    const double x0 = X(10), x1 = X(k.to.x), y0 = Y(10), y1 = Y(k.to.y);
    Drag(from, k.to);
    if (k.zoomsX) {
      EXPECT_DOUBLE_EQ(xr.GetStart(), std::min(x0, x1)) << k.to.x << "," << k.to.y;
      EXPECT_DOUBLE_EQ(xr.GetRange(), std::fabs(x1 - x0));
    } else {
      EXPECT_DOUBLE_EQ(xr.GetRange(), 100.0) << k.to.x << "," << k.to.y;
    }
    if (k.zoomsY) {
      EXPECT_DOUBLE_EQ(yr.GetStart(), std::min(y0, y1)) << k.to.x << "," << k.to.y;
      EXPECT_DOUBLE_EQ(yr.GetRange(), std::fabs(y1 - y0));
    } else {
      EXPECT_DOUBLE_EQ(yr.GetRange(), 80.0) << k.to.x << "," << k.to.y;
    }
  }
}

TEST_F(ZoomTest, DirectionIsFixedOnceTheMinimumIsReached) {
  AddZoom();
  CPoint from(10, 10), flat(40, 11), tall(41, 70);
  ASSERT_TRUE(zoom->OnBeginCapture(&from, MK_LBUTTON));
  zoom->OnUpdateCapture(&flat, MK_LBUTTON);
  EXPECT_EQ(zoom->GetOrient(), CZoom::horizontal);
  zoom->OnUpdateCapture(&tall, MK_LBUTTON);  // would be both, but the direction stays
  EXPECT_EQ(zoom->GetOrient(), CZoom::horizontal);
  zoom->OnEndCapture(&tall, 0);
  EXPECT_DOUBLE_EQ(yr.GetRange(), 80.0);
  EXPECT_NE(xr.GetRange(), 100.0);
}

TEST_F(ZoomTest, RestrictingRulerFixesTheDirection) {
  AddZoom(&yr);
  EXPECT_EQ(zoom->GetOrientMode(), 1);
  Drag({10, 10}, {60, 12});  // flat band, but only Y may zoom
  EXPECT_DOUBLE_EQ(xr.GetRange(), 100.0);
  EXPECT_NEAR(yr.GetRange(), Y(10) - Y(12) > 0 ? Y(10) - Y(12) : Y(12) - Y(10), 1e-9);
}

TEST_F(ZoomTest, ReleaseConditions) {
  struct Case {
    CPoint from, to;
    bool zooms;
  } cases[] = {
      {{10, 10}, {60, 12}, true},
      {{60, 12}, {10, 10}, true},    // right to left zooms the same span
      {{10, 10}, {99, 12}, true},    // last column of the view
      {{10, 10}, {100, 12}, false},  // released on the window edge (outside)
      {{10, 10}, {-1, 12}, false},
      {{-5, 10}, {60, 12}, false},  // band reaching outside
  };
  AddZoom();
  for (const Case& k : cases) {
    xr.Set(0.0, 100.0, 0);
    Deliver();
    Drag(k.from, k.to);
    EXPECT_EQ(xr.GetRange() != 100.0, k.zooms) << k.to.x;
    if (k.zooms) {
      EXPECT_DOUBLE_EQ(xr.GetStart(), std::min(X(k.from.x), X(k.to.x)));
    }
  }
}

TEST_F(ZoomTest, MinimumRangeOfAmplitudeRulers) {
  CAxe amp;
  amp.Create(L"Amplitude", std_percent, 0.0, 0.08);
  CRuler ampRuler;
  ampRuler.Create(L"Amplitude", &amp, 0.0, 0);
  c->SetRuler(&xr, &ampRuler);
  AddZoom();
  // A 40 x 40 band: both directions; 40 rows of the amplitude ruler are 0.04 < 0.05.
  Drag({10, 10}, {50, 50});
  EXPECT_DOUBLE_EQ(ampRuler.GetRange(), 0.08);
  EXPECT_NE(xr.GetRange(), 100.0);
  // A tiny X span on a plain ruler is refused too.
  xr.Set(0.0, 1.5e-5, 0);  // 50 columns are 7.6e-6 < 1e-5
  Deliver();
  const double before = xr.GetStart();
  Drag({10, 10}, {60, 12});
  EXPECT_DOUBLE_EQ(xr.GetStart(), before);
  c->SetRuler(&xr, &yr);
}

TEST_F(ZoomTest, BandIsRedUntilTheMinimumThenGreen) {
  AddZoom();
  zoom->SetMinZoom(30, 30);
  MousePress(Hwnd(), {10, 10});
  MouseMove(Hwnd(), {25, 25});
  Pump();
  EXPECT_FALSE(zoom->IsExceeded());
  EXPECT_GT(CountOf(c, kHatchRed, CRect(10, 10, 26, 26)), 10);
  EXPECT_EQ(CountOf(c, kHatchGreen), 0);
  EXPECT_EQ(CountOf(c, kHatchRed, CRect(30, 30, 100, 80)), 0);
  MouseMove(Hwnd(), {50, 45});
  Pump();
  EXPECT_TRUE(zoom->IsExceeded());
  EXPECT_EQ(CountOf(c, kHatchRed), 0);
  EXPECT_GT(CountOf(c, kHatchGreen, CRect(10, 10, 51, 46)), 30);
  EXPECT_EQ(CountOf(c, kHatchGreen, CRect(52, 0, 100, 80)), 0);
  quarlen::test::SavePixelsIfFailed(Hwnd(), "band");
  MouseRelease(Hwnd(), {50, 45});
  Pump();
  // The band is gone once released.
  EXPECT_EQ(CountOf(c, kHatchGreen), 0);
}

TEST_F(ZoomTest, HorizontalBandSpansTheFullHeightAndLeavesNoTrace) {
  AddZoom(&xr);
  MousePress(Hwnd(), {10, 30});
  MouseMove(Hwnd(), {40, 32});
  MouseMove(Hwnd(), {60, 33});
  MouseMove(Hwnd(), {50, 33});  // shrinking: the strip it leaves is repainted
  Pump();
  EXPECT_GT(CountOf(c, kHatchGreen, CRect(0, 0, 100, 5)), 0);
  EXPECT_GT(CountOf(c, kHatchGreen, CRect(0, 75, 100, 80)), 0);
  EXPECT_EQ(CountOf(c, kHatchGreen, CRect(51, 0, 100, 80)), 0);
  MouseRelease(Hwnd(), {120, 33});  // outside: no zoom
  Pump();
  EXPECT_EQ(CountOf(c, kHatchGreen), 0);
  EXPECT_DOUBLE_EQ(xr.GetRange(), 100.0);
}

TEST_F(ZoomTest, RulerChangeReachesTheContainer) {
  CPosition pos;
  pos.Create(L"p", &scanAxis, 30.0, 0);
  CGCursor cursor;
  cursor.Create(&pos);
  cursor.SetColor(kBlue);
  c->AddDynamic(&cursor, CGOContainer::bottom);
  AddZoom(&xr);
  const int before = cursor.GetXScale()->PosToPixel(30.0);
  ASSERT_EQ(Pixel(c, before, 40), kBlue);
  MousePress(Hwnd(), {20, 40});
  MouseMove(Hwnd(), {70, 40});
  MouseRelease(Hwnd(), {70, 40});
  Pump();
  ASSERT_NE(xr.GetRange(), 100.0);
  Deliver();
  Deliver();
  const int after = cursor.GetXScale()->PosToPixel(30.0);
  EXPECT_NE(after, before);
  EXPECT_EQ(Pixel(c, after, 40), kBlue);
  EXPECT_NE(Pixel(c, before, 40), kBlue);
  c->Remove(&cursor);
}

TEST_F(ZoomTest, PointerShapes) {
  AddZoom();
  CPoint in(5, 5), out(100, 5);
  EXPECT_EQ(zoom->GetCursor(&in), reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_ARROW)));
  EXPECT_EQ(zoom->GetCursor(&out), reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_NO)));
}

}  // namespace
