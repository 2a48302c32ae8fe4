// Painting: coalesced WM_PAINT, the paint DC's clip, erasing, UpdateWindow, RedrawWindow,
// WM_SETREDRAW, scrolling, composing in place with the screen held.
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

using quarlen::test::PixelAt;
using quarlen::test::PumpUntilIdle;
using quarlen::test::ScreenPixelAt;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints its whole client area red through CPaintDC and remembers rcPaint; erases in blue when
// asked to handle WM_ERASEBKGND itself.
class CPainterWnd : public CRecorderWnd {
 public:
  std::vector<CRect> painted;
  bool ownErase = false;
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    painted.push_back(CRect(dc.m_ps.rcPaint));
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, kRed);
  }
  afx_msg BOOL OnEraseBkgnd(CDC* dc) {
    if (!ownErase) return CWnd::OnEraseBkgnd(dc);
    CRect rc;
    GetClientRect(&rc);
    dc->FillSolidRect(&rc, kBlue);
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPainterWnd, CRecorderWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class Paint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.CreateTop({0, 0, 60, 40}));
    PumpUntilIdle();
    // Start from a white surface with nothing pending.
    CClientDC dc(&w);
    dc.FillSolidRect(0, 0, 60, 40, kWhite);
    w.log.clear();
    w.painted.clear();
  }
  void TearDown() override { quarlen::test::SavePixelsIfFailed(w.m_hWnd, "surface"); }
  CPainterWnd w;
};

TEST_F(Paint, InvalidationsCoalesceIntoOnePaintClippedToTheUpdateRegion) {
  CRect a(0, 0, 5, 5), b(20, 10, 30, 20);
  w.InvalidateRect(&a, FALSE);
  w.InvalidateRect(&b, FALSE);
  w.InvalidateRect(&a, FALSE);
  EXPECT_EQ(w.Count(WM_PAINT), 0);  // nothing before the queue runs
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 1);
  ASSERT_EQ(w.painted.size(), 1u);
  EXPECT_EQ(w.painted[0], CRect(0, 0, 30, 20));  // bounding box of the update region
  // The paint DC drew only inside the invalidated rectangles.
  EXPECT_EQ(PixelAt(w.m_hWnd, 4, 4), kRed);
  EXPECT_EQ(PixelAt(w.m_hWnd, 29, 19), kRed);
  EXPECT_EQ(PixelAt(w.m_hWnd, 10, 10), kWhite);
  EXPECT_EQ(PixelAt(w.m_hWnd, 30, 10), kWhite);
  CRect rest;
  EXPECT_FALSE(w.GetUpdateRect(&rest));  // validated
}

TEST_F(Paint, EraseFlagSendsEraseBackgroundBeforeTheHandlerDraws) {
  w.ownErase = true;
  CRect a(0, 0, 10, 10);
  w.InvalidateRect(&a, FALSE);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_ERASEBKGND), 0);
  w.InvalidateRect(&a, TRUE);
  PumpUntilIdle();
  EXPECT_EQ(w.Messages({WM_PAINT, WM_ERASEBKGND}),
            (std::vector<UINT>{WM_PAINT, WM_PAINT, WM_ERASEBKGND}));
}

TEST_F(Paint, DefaultEraseFillsTheBackgroundColourInsideTheRegion) {
  class CPlain : public CRecorderWnd {};
  CPlain plain;
  ASSERT_TRUE(plain.CreateTop({0, 0, 20, 20}));
  PumpUntilIdle();
  plain.SetBackgroundColor(RGB(1, 2, 3));
  CRect a(5, 5, 8, 8);
  plain.InvalidateRect(&a, TRUE);
  PumpUntilIdle();
  EXPECT_EQ(PixelAt(plain.m_hWnd, 5, 5), RGB(1, 2, 3));
  EXPECT_EQ(PixelAt(plain.m_hWnd, 8, 8), kWhite);
}

TEST_F(Paint, UpdateWindowPaintsNowAndOnlyWhenSomethingIsInvalid) {
  w.UpdateWindow();
  EXPECT_EQ(w.Count(WM_PAINT), 0);
  w.Invalidate(FALSE);
  w.UpdateWindow();
  EXPECT_EQ(w.Count(WM_PAINT), 1);
  PumpUntilIdle();  // the queued request finds nothing left to paint
  EXPECT_EQ(w.Count(WM_PAINT), 1);
}

TEST_F(Paint, RedrawWindowFlags) {
  w.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(w.Messages({WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  w.log.clear();
  CRect a(1, 1, 4, 4);
  w.RedrawWindow(&a, nullptr, RDW_INVALIDATE);
  EXPECT_EQ(w.Count(WM_PAINT), 0);
  w.RedrawWindow(&a, nullptr, RDW_VALIDATE);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 0);
}

TEST_F(Paint, SetRedrawFalseHoldsPaintsUntilTrue) {
  w.SendMessage(WM_SETREDRAW, FALSE, 0);
  EXPECT_FALSE(w.IsWindowVisible());
  w.Invalidate(FALSE);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 0);
  w.SendMessage(WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(w.IsWindowVisible());
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 1);
}

TEST_F(Paint, HiddenWindowPaintsWhenShown) {
  w.ShowWindow(SW_HIDE);
  w.Invalidate(FALSE);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 0);
  w.ShowWindow(SW_SHOW);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 1);
}

TEST_F(Paint, ScrollWindowExMovesPixelsAndInvalidatesTheUncoveredStrip) {
  {
    CClientDC dc(&w);
    dc.FillSolidRect(10, 0, 1, 40, kBlue);  // a vertical line at x = 10
  }
  CRect update;
  const int kind =
      w.ScrollWindowEx(-4, 0, nullptr, nullptr, nullptr, &update, SW_INVALIDATE | SW_ERASE);
  EXPECT_EQ(kind, 2);  // SIMPLEREGION
  EXPECT_EQ(update, CRect(56, 0, 60, 40));
  EXPECT_EQ(PixelAt(w.m_hWnd, 6, 20), kBlue);
  EXPECT_EQ(PixelAt(w.m_hWnd, 10, 20), kWhite);
  CRect pending;
  EXPECT_TRUE(w.GetUpdateRect(&pending));
  EXPECT_EQ(pending, CRect(56, 0, 60, 40));
  PumpUntilIdle();
  EXPECT_EQ(w.Messages({WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_EQ(w.painted.back(), CRect(56, 0, 60, 40));
}

TEST_F(Paint, WindowDcDrawsAnywhereInTheClientAreaAndValidatesNothing) {
  CDC* dc = w.GetDCEx(nullptr, DCX_CACHE);
  ASSERT_NE(dc, nullptr);
  dc->FillSolidRect(-10, -10, 1000, 1000, kBlue);
  EXPECT_EQ(w.ReleaseDC(dc), 1);
  EXPECT_EQ(PixelAt(w.m_hWnd, 0, 0), kBlue);
  EXPECT_EQ(PixelAt(w.m_hWnd, 59, 39), kBlue);
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 0);
}

TEST_F(Paint, ResizeKeepsOldPixelsAndInvalidatesTheNewArea) {
  {
    CClientDC dc(&w);
    dc.FillSolidRect(0, 0, 60, 40, kBlue);
  }
  w.MoveWindow(0, 0, 80, 40, FALSE);
  EXPECT_EQ(PixelAt(w.m_hWnd, 59, 39), kBlue);
  CRect pending;
  EXPECT_TRUE(w.GetUpdateRect(&pending));
  EXPECT_EQ(pending, CRect(60, 0, 80, 40));
}

TEST_F(Paint, ExposureWithoutContentBecomesAnInvalidation) {
  CRecorderWnd fresh;
  ASSERT_TRUE(fresh.CreateTop({0, 0, 20, 20}, 0));
  fresh.ShowWindow(SW_SHOW);
  PumpUntilIdle();
  EXPECT_EQ(fresh.Count(WM_PAINT), 1);
}

// ---- Composing in place ---------------------------------------------------------------------

struct ComposeCase {
  const char* name;
  // Draws red into (10, 10, 20, 20) of the window while a compose DC on it is open.
  std::function<void(CWnd& w, CDC& compose)> draw;
};

class ComposeDc : public Paint, public ::testing::WithParamInterface<ComposeCase> {};

// The window's pixels change at once; the screen shows them only when the compose DC ends,
// while what was drawn before it opened reaches the screen meanwhile.
TEST_P(ComposeDc, ScreenShowsTheComposedPictureOnlyWhenTheDcEnds) {
  PumpUntilIdle();
  ASSERT_EQ(ScreenPixelAt(w.m_hWnd, 15, 15), kWhite);
  {
    CClientDC before(&w);
    before.FillSolidRect(40, 30, 10, 5, kBlue);  // its flush is pending as the DC opens
  }
  {
    CComposeDC compose(&w);
    ASSERT_NE(compose.GetSafeHdc(), nullptr);
    GetParam().draw(w, compose);
    EXPECT_EQ(PixelAt(w.m_hWnd, 15, 15), kRed);  // the pixels as drawn
    // Even a full exposure leaves the composed area showing its previous picture.
    w.GetWidget()->update();
    PumpUntilIdle();
    EXPECT_EQ(ScreenPixelAt(w.m_hWnd, 15, 15), kWhite);
    EXPECT_EQ(ScreenPixelAt(w.m_hWnd, 45, 32), kBlue);
  }
  PumpUntilIdle();
  EXPECT_EQ(ScreenPixelAt(w.m_hWnd, 15, 15), kRed);
  EXPECT_EQ(ScreenPixelAt(w.m_hWnd, 25, 25), kWhite);
  EXPECT_EQ(w.Count(WM_PAINT), 0);  // composing invalidates nothing
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComposeDc,
    ::testing::Values(
        ComposeCase{"ThroughTheComposeDc",
                    [](CWnd&, CDC& dc) { dc.FillSolidRect(10, 10, 10, 10, kRed); }},
        ComposeCase{"ThroughAnotherWindowDc",
                    [](CWnd& w, CDC&) {
                      CClientDC other(&w);
                      other.FillSolidRect(10, 10, 10, 10, kRed);
                    }},
        ComposeCase{"FromAnotherThread",
                    [](CWnd& w, CDC&) {
                      const HWND h = w.m_hWnd;
                      std::thread painter([h] {
                        HDC dc = ::GetDC(h);
                        CDC::FromHandle(dc)->FillSolidRect(10, 10, 10, 10, kRed);
                        ::ReleaseDC(h, dc);
                      });
                      painter.join();
                    }},
        ComposeCase{"InANestedComposeDcThatEndsFirst",
                    [](CWnd& w, CDC&) {
                      CComposeDC inner(&w);
                      inner.FillSolidRect(10, 10, 10, 10, kRed);
                    }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
