// End to end on a real X server: a child window paints, receives a click and a captured drag
// that the X server delivers (XTest), and the X window's pixels match the window's surface.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include "platform/window.h"
#include "platform/window_dc.h"
#include "tests/support/gui_support.h"
#include "xtest_input.h"

namespace t = quarlen::test;

namespace {

// Paints a fixed picture; on a press it captures the mouse, and marks where the drag ended.
class CCanvas : public CWnd {
 public:
  std::vector<UINT> got;
  CPoint downAt{-1, -1}, lastMove{-1, -1}, upAt{-1, -1};
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    dc.FillSolidRect(0, 0, 120, 80, RGB(20, 40, 200));
    dc.FillSolidRect(10, 10, 30, 20, RGB(230, 30, 30));
  }
  afx_msg void OnLButtonDown(UINT, CPoint p) {
    got.push_back(WM_LBUTTONDOWN);
    downAt = p;
    SetCapture();
  }
  afx_msg void OnMouseMove(UINT flags, CPoint p) {
    if (flags & MK_LBUTTON) lastMove = p;
  }
  afx_msg void OnLButtonUp(UINT, CPoint p) {
    got.push_back(WM_LBUTTONUP);
    upAt = p;
    ReleaseCapture();
    CClientDC dc(this);
    dc.FillSolidRect(100, 60, 10, 10, RGB(0, 180, 0));  // the drag's mark
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCanvas, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST(RealWindow, ChildPaintsTakesRealInputAndTheScreenMatchesTheSurface) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  namespace xtest = quarlen::test::xtest;
  ASSERT_TRUE(xtest::Open()) << "no X display or no XTest";

  CWnd top;
  ASSERT_TRUE(top.Create(nullptr, L"real window", WS_OVERLAPPED | WS_VISIBLE, {50, 50, 250, 200},
                         nullptr, 0));
  CCanvas canvas;
  ASSERT_TRUE(canvas.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, {20, 30, 140, 110}, &top, 1));
  QWindow* window = top.GetWidget()->windowHandle();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(t::PumpUntil([&] { return window->isExposed(); }));
  t::PumpUntilIdle();

  // A click.
  CPoint inside(15, 15);
  canvas.ClientToScreen(&inside);
  xtest::MoveTo(inside.x, inside.y);
  xtest::LeftButton(true);
  ASSERT_TRUE(t::PumpUntil([&] { return !canvas.got.empty(); }));
  EXPECT_EQ(canvas.downAt, CPoint(15, 15));
  EXPECT_EQ(GetCapture(), canvas.m_hWnd);

  // A drag with capture that leaves the child (and the top-level window).
  CPoint outside(200, -20);
  canvas.ClientToScreen(&outside);
  xtest::MoveTo(outside.x, outside.y);
  ASSERT_TRUE(t::PumpUntil([&] { return canvas.lastMove == CPoint(200, -20); }));
  xtest::LeftButton(false);
  ASSERT_TRUE(t::PumpUntil([&] { return canvas.got.size() == 2; }));
  EXPECT_EQ(canvas.upAt, CPoint(200, -20));
  EXPECT_EQ(GetCapture(), nullptr);
  t::PumpUntilIdle();

  // The X server shows what the surface holds.
  const QImage surface = t::WindowPixels(canvas.m_hWnd);
  QImage screen;
  ASSERT_TRUE(t::PumpUntil(
      [&] {
        screen = window->screen()
                     ->grabWindow(top.GetWidget()->winId())
                     .toImage()
                     .convertToFormat(QImage::Format_RGB32);
        return screen.pixel(20 + 105, 30 + 65) == surface.pixel(105, 65);
      },
      200));
  const QImage onScreen = screen.copy(20, 30, 120, 80);
  int differing = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) differing += onScreen.pixel(x, y) != surface.pixel(x, y);
  EXPECT_EQ(differing, 0);
  if (differing) {
    t::SaveImage(onScreen, "screen");
    t::SaveImage(surface, "surface");
  }
  EXPECT_EQ(surface.pixel(15, 15), 0xFFE61E1Eu);   // the red rectangle
  EXPECT_EQ(surface.pixel(105, 65), 0xFF00B400u);  // the drag's mark
  xtest::Close();
}

}  // namespace
