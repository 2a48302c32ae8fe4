// Mouse input: message order, coordinates and flags, double clicks, capture, leave tracking,
// pointer shapes, clipping, key state.
#include <QWidget>
#include <gtest/gtest.h>

#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

std::vector<UINT> MouseMessages(const CRecorderWnd& w) {
  return w.Messages({WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                     WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_CAPTURECHANGED,
                     WM_MOUSELEAVE});
}

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(top.CreateTop({100, 100, 300, 200}));
    ASSERT_TRUE(left.CreateChild(&top, {0, 0, 100, 100}));
    ASSERT_TRUE(right.CreateChild(&top, {100, 0, 200, 100}));
    t::PumpUntilIdle();
    Clear();
  }
  void TearDown() override {
    ReleaseCapture();
    ClipCursor(nullptr);
    SetDoubleClickTime(0);
  }
  void Clear() {
    top.log.clear();
    left.log.clear();
    right.log.clear();
  }
  CRecorderWnd top, left, right;
};

TEST_F(Input, MoveIsPrecededBySetCursorWithHitTestAndTrigger) {
  t::MouseMove(left.m_hWnd, {10, 20});
  EXPECT_EQ(MouseMessages(left), (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE}));
  const Received* sc = left.Last(WM_SETCURSOR);
  EXPECT_EQ(sc->wParam, reinterpret_cast<WPARAM>(left.m_hWnd));
  EXPECT_EQ(sc->lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(left.Last(WM_MOUSEMOVE)->lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(left.Last(WM_MOUSEMOVE)->wParam, 0u);
  // The parent hears WM_SETCURSOR through the default procedure, but no mouse message.
  EXPECT_EQ(MouseMessages(top), (std::vector<UINT>{WM_SETCURSOR}));
}

TEST_F(Input, ButtonSequencesAndFlags) {
  struct Case {
    t::Button button;
    unsigned modifiers;
    UINT down;
    WPARAM downFlags;
  };
  const Case cases[] = {
      {t::Button::Left, 0, WM_LBUTTONDOWN, MK_LBUTTON},
      {t::Button::Right, 0, WM_RBUTTONDOWN, MK_RBUTTON},
      {t::Button::Left, t::kShift, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT},
      {t::Button::Left, t::kControl, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL},
      {t::Button::Left, t::kShift | t::kControl, WM_LBUTTONDOWN,
       MK_LBUTTON | MK_SHIFT | MK_CONTROL},
  };
  for (const Case& c : cases) {
    Clear();
    t::MousePress(right.m_hWnd, {5, 6}, c.button, c.modifiers);
    EXPECT_EQ(GetKeyState(VK_SHIFT) < 0, (c.modifiers & t::kShift) != 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) < 0, (c.modifiers & t::kControl) != 0);
    t::MouseRelease(right.m_hWnd, {5, 6}, c.button, c.modifiers);
    EXPECT_EQ(right.Messages({WM_SETCURSOR, c.down, c.down + 1}),
              (std::vector<UINT>{WM_SETCURSOR, c.down, c.down + 1}));
    EXPECT_EQ(right.Last(WM_SETCURSOR)->lParam, MAKELPARAM(HTCLIENT, c.down));
    EXPECT_EQ(right.Last(c.down)->wParam, c.downFlags);
    EXPECT_EQ(right.Last(c.down + 1)->wParam, c.downFlags & ~(MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(right.Last(c.down)->lParam, MAKELPARAM(5, 6));
  }
  t::Click(right.m_hWnd, {5, 6});  // leaves the modifier state released
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(Input, DoubleClickReplacesTheSecondDown) {
  t::DoubleClick(left.m_hWnd, {7, 7});
  EXPECT_EQ(left.Messages({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  // The next double click is recognised again.
  left.log.clear();
  t::DoubleClick(left.m_hWnd, {7, 7});
  EXPECT_EQ(left.Count(WM_LBUTTONDBLCLK), 1);

  // Too slow for the double-click time: two presses.
  left.log.clear();
  SetDoubleClickTime(20);
  t::DoubleClick(left.m_hWnd, {7, 7});
  EXPECT_EQ(left.Count(WM_LBUTTONDBLCLK), 0);
  EXPECT_EQ(left.Count(WM_LBUTTONDOWN), 2);
}

TEST_F(Input, WindowWithoutDoubleClickStyleGetsTwoPresses) {
  CRecorderWnd plain;
  ASSERT_TRUE(plain.CreateWithClassStyle(0, L"", WS_CHILD | WS_VISIBLE, {0, 50, 50, 100}, &top, 0));
  t::DoubleClick(plain.m_hWnd, {3, 3}, t::Button::Right);
  EXPECT_EQ(plain.Messages({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK}),
            (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
}

TEST_F(Input, WithoutCaptureADragEndsInTheWindowUnderThePointer) {
  t::MousePress(left.m_hWnd, {50, 50});
  t::MouseMove(left.m_hWnd, {150, 50});  // over `right` now
  t::MouseRelease(left.m_hWnd, {150, 50});
  EXPECT_EQ(left.Count(WM_LBUTTONUP), 0);
  EXPECT_EQ(right.Messages({WM_MOUSEMOVE, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP}));
  EXPECT_EQ(right.Last(WM_LBUTTONUP)->lParam, MAKELPARAM(50, 50));
}

TEST_F(Input, CaptureRoutesEverythingToTheCaptorWithoutSetCursor) {
  t::MousePress(left.m_hWnd, {50, 50});
  EXPECT_EQ(left.SetCapture(), nullptr);
  EXPECT_EQ(GetCapture(), left.m_hWnd);
  Clear();
  t::MouseMove(left.m_hWnd, {150, 50});
  t::MouseMove(left.m_hWnd, {-500, -20});  // outside the top-level window
  t::MouseRelease(left.m_hWnd, {150, 60});
  EXPECT_EQ(MouseMessages(left), (std::vector<UINT>{WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP}));
  EXPECT_TRUE(MouseMessages(right).empty());
  EXPECT_EQ(left.log[1].lParam, MAKELPARAM(static_cast<WORD>(-500), static_cast<WORD>(-20)));
  EXPECT_EQ(left.Last(WM_LBUTTONUP)->lParam, MAKELPARAM(150, 60));

  // Capture moves to another window: the loser hears who took it.
  right.SetCapture();
  EXPECT_EQ(left.Last(WM_CAPTURECHANGED)->lParam, reinterpret_cast<LPARAM>(right.m_hWnd));
  ReleaseCapture();
  EXPECT_EQ(right.Last(WM_CAPTURECHANGED)->lParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  // Destroying the captor releases the capture.
  left.SetCapture();
  left.DestroyWindow();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, TrackMouseEventGivesOneLeave) {
  t::MouseMove(left.m_hWnd, {10, 10});
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, left.m_hWnd, 0};
  ASSERT_TRUE(_TrackMouseEvent(&tme));
  t::MouseMove(left.m_hWnd, {20, 10});
  t::PumpUntilIdle();
  EXPECT_EQ(left.Count(WM_MOUSELEAVE), 0);
  t::MouseMove(left.m_hWnd, {150, 10});     // onto the sibling
  EXPECT_EQ(left.Count(WM_MOUSELEAVE), 0);  // posted, not sent
  t::PumpUntilIdle();
  EXPECT_EQ(left.Count(WM_MOUSELEAVE), 1);
  t::MouseMove(left.m_hWnd, {10, 10});
  t::MouseMove(left.m_hWnd, {150, 10});
  t::PumpUntilIdle();
  EXPECT_EQ(left.Count(WM_MOUSELEAVE), 1);  // one request, one message

  // Leaving through Qt's Leave event, and a request while not over the window.
  t::MouseMove(right.m_hWnd, {10, 10});
  TRACKMOUSEEVENT tr{sizeof(TRACKMOUSEEVENT), TME_LEAVE, right.m_hWnd, 0};
  _TrackMouseEvent(&tr);
  t::MouseLeaveWidget(right.m_hWnd);
  t::PumpUntilIdle();
  EXPECT_EQ(right.Count(WM_MOUSELEAVE), 1);
  ASSERT_TRUE(_TrackMouseEvent(&tme));
  t::PumpUntilIdle();
  EXPECT_EQ(left.Count(WM_MOUSELEAVE), 2);
}

TEST_F(Input, CursorsMapToQtShapes) {
  struct Case {
    LPCWSTR id;
    Qt::CursorShape shape;
  };
  const Case cases[] = {{IDC_ARROW, Qt::ArrowCursor},     {IDC_CROSS, Qt::CrossCursor},
                        {IDC_SIZEWE, Qt::SizeHorCursor},  {IDC_SIZENS, Qt::SizeVerCursor},
                        {IDC_SIZEALL, Qt::SizeAllCursor}, {IDC_NO, Qt::ForbiddenCursor}};
  t::MouseMove(left.m_hWnd, {10, 10});
  for (const Case& c : cases) {
    HCURSOR cur = LoadCursorW(nullptr, c.id);
    ASSERT_NE(cur, nullptr);
    SetCursor(cur);
    EXPECT_EQ(GetCursor(), cur);
    EXPECT_EQ(left.GetWidget()->cursor().shape(), c.shape);
  }
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
  SetCursor(nullptr);
  EXPECT_EQ(left.GetWidget()->cursor().shape(), Qt::BlankCursor);
}

TEST_F(Input, ClipCursorClampsReportedPositions) {
  left.SetCapture();
  CRect clip(0, 0, 50, 50);
  left.ClientToScreen(&clip);
  ClipCursor(&clip);
  t::MouseMove(left.m_hWnd, {80, -30});
  EXPECT_EQ(left.Last(WM_MOUSEMOVE)->lParam, MAKELPARAM(49, 0));
  ClipCursor(nullptr);
  t::MouseMove(left.m_hWnd, {80, -30});
  EXPECT_EQ(left.Last(WM_MOUSEMOVE)->lParam, MAKELPARAM(80, static_cast<WORD>(-30)));
}

TEST_F(Input, DisabledWindowGetsNoMouseInput) {
  left.EnableWindow(FALSE);
  Clear();
  t::Click(left.m_hWnd, {10, 10});
  EXPECT_TRUE(MouseMessages(left).empty());
}

}  // namespace
