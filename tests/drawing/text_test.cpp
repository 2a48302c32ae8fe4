// Fonts and metrics, TextOut alignment and background, rotated text, DrawText placement,
// DrawState looks, focus rectangles and frame controls.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "tests/support/canvas.h"

using quarlen::test::Canvas;
using quarlen::test::RectPixels;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

LOGFONTW RulerFont(LONG height, LONG escapement = 0) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = FF_SWISS;
  lf.lfEscapement = escapement;
  lf.lfOrientation = escapement;
  return lf;
}

TEST(Fonts, CellHeightAndCharacterHeight) {
  Canvas cv;
  struct Case {
    LONG height;
  };
  for (LONG h : {14, 12, 20, -11, -16}) {
    CFont font;
    LOGFONTW lf = RulerFont(h);
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    cv.dc.SelectObject(&font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(cv.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << h;
    if (h > 0) {
      EXPECT_LE(tm.tmHeight, h) << "cell height never exceeds the request";
      EXPECT_GE(tm.tmHeight, h - 3) << h;
    } else {
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -h) << "em height";
    }
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set bit = variable pitch";
    cv.dc.SelectStockObject(SYSTEM_FONT);
  }
}

TEST(Fonts, LogFontRoundTripsAndStockVariableFont) {
  CFont font;
  LOGFONTW lf = RulerFont(12, 900);
  std::wcscpy(lf.lfFaceName, L"Arial");
  font.CreateFontIndirect(&lf);
  LOGFONTW back{};
  EXPECT_EQ(font.GetLogFont(&back), int(sizeof back));
  EXPECT_EQ(std::memcmp(&lf, &back, sizeof lf), 0);
  Canvas cv;
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(cv.dc.GetSafeHdc(), &tm));
  EXPECT_LE(tm.tmHeight, 13);
  EXPECT_GE(tm.tmHeight, 10);
}

TEST(Text, ExtentIsAdvanceWidthByCellHeight) {
  Canvas cv;
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  SIZE one{}, two{};
  ASSERT_TRUE(GetTextExtentPoint32W(cv.dc.GetSafeHdc(), L"A", 1, &one));
  ASSERT_TRUE(GetTextExtentPoint32W(cv.dc.GetSafeHdc(), L"AA", 2, &two));
  EXPECT_EQ(one.cy, tm.tmHeight);
  EXPECT_EQ(two.cx, 2 * one.cx);  // no kerning, integer advances
  SIZE none{};
  EXPECT_TRUE(GetTextExtentPoint32W(cv.dc.GetSafeHdc(), L"", 0, &none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32W(cv.dc.GetSafeHdc(), L"A", -1, &none));
}

TEST(Text, OpaqueBackgroundFillsTheCellBox) {
  Canvas cv(100, 40);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkColor(kBlue);
  cv.dc.SetTextColor(kRed);
  const CSize ext = cv.dc.GetTextExtent(L"Hello", 5);
  cv.dc.TextOut(10, 5, L"Hello", 5);
  EXPECT_EQ(cv.InkBox(), (RECT{10, 5, 10 + ext.cx, 5 + ext.cy}));
  EXPECT_EQ(cv.At(10, 5), kBlue);
  Canvas tr(100, 40);
  tr.dc.SelectStockObject(ANSI_VAR_FONT);
  tr.dc.SetBkMode(TRANSPARENT);
  tr.dc.TextOut(10, 5, L"Hello", 5);
  EXPECT_EQ(tr.At(10, 5), kWhite);
  EXPECT_FALSE(tr.Ink().empty());
}

struct AlignCase {
  UINT align;
  int dx;  // box left relative to x: 0, -cx, -cx/2 (as multiples: 0 = left, 2 = right, 1 = centre)
  int vy;  // 0 top, 1 bottom, 2 baseline
};

class TextAlignTest : public ::testing::TestWithParam<AlignCase> {};

TEST_P(TextAlignTest, ReferencePointOfTheTextBox) {
  const AlignCase& c = GetParam();
  Canvas cv(120, 60);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkColor(kBlue);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  const CSize ext = cv.dc.GetTextExtent(L"Wq", 2);
  EXPECT_EQ(cv.dc.SetTextAlign(c.align), 0u);
  cv.dc.TextOut(60, 30, L"Wq", 2);
  const int left = c.dx == 0 ? 60 : c.dx == 2 ? 60 - ext.cx : 60 - ext.cx / 2;
  const int top = c.vy == 0 ? 30 : c.vy == 1 ? 30 - tm.tmHeight : 30 - tm.tmAscent;
  EXPECT_EQ(cv.Pixels(kBlue).empty(), false);
  EXPECT_EQ(cv.InkBox(), (RECT{left, top, left + ext.cx, top + tm.tmHeight}));
}

INSTANTIATE_TEST_SUITE_P(Flags, TextAlignTest,
                         ::testing::Values(AlignCase{TA_LEFT | TA_TOP, 0, 0},
                                           AlignCase{TA_RIGHT | TA_TOP, 2, 0},
                                           AlignCase{TA_CENTER | TA_TOP, 1, 0},
                                           AlignCase{TA_LEFT | TA_BOTTOM, 0, 1},
                                           AlignCase{TA_LEFT | TA_BASELINE, 0, 2},
                                           AlignCase{TA_CENTER | TA_BASELINE, 1, 2}));

// Clipped text is the unclipped text cut by the clip: nothing of it is lost where the clip
// reaches only the edge of the text cell, and nothing is drawn where it does not reach it.
TEST(Text, ClippedTextIsTheUnclippedTextCut) {
  const UINT aligns[] = {TA_LEFT | TA_TOP, TA_RIGHT | TA_TOP, TA_CENTER | TA_BASELINE,
                         TA_LEFT | TA_BOTTOM};
  for (const UINT align : aligns) {
    for (const int bkMode : {TRANSPARENT, OPAQUE}) {
      Canvas whole(120, 60);
      whole.dc.SelectStockObject(ANSI_VAR_FONT);
      whole.dc.SetBkMode(bkMode);
      whole.dc.SetBkColor(kBlue);
      whole.dc.SetTextAlign(align);
      whole.dc.TextOut(60, 30, L"Wqj", 3);
      const RECT ink = whole.InkBox();
      // Clips at, one pixel inside and one pixel outside each edge of the ink.
      const RECT clips[] = {
          {ink.left, ink.top, ink.left + 1, ink.bottom},
          {ink.right - 1, ink.top, ink.right, ink.bottom},
          {ink.left, ink.top, ink.right, ink.top + 1},
          {ink.left, ink.bottom - 1, ink.right, ink.bottom},
          {0, 0, ink.left, 60},
          {ink.right, 0, 120, 60},
          {0, 0, 120, ink.top},
          {0, ink.bottom, 120, 60},
          {ink.left + 3, ink.top + 2, ink.right - 3, ink.bottom - 2},
      };
      for (const RECT& clip : clips) {
        Canvas part(120, 60);
        part.dc.SelectStockObject(ANSI_VAR_FONT);
        part.dc.SetBkMode(bkMode);
        part.dc.SetBkColor(kBlue);
        part.dc.SetTextAlign(align);
        part.dc.IntersectClipRect(&clip);
        part.dc.TextOut(60, 30, L"Wqj", 3);
        for (int y = 0; y < 60; ++y) {
          for (int x = 0; x < 120; ++x) {
            const bool inside =
                x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(part.At(x, y), inside ? whole.At(x, y) : kWhite)
                << "align " << align << " mode " << bkMode << " clip " << clip.left << ","
                << clip.top << "," << clip.right << "," << clip.bottom << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(Text, AnotherThreadDrawsTheSamePixels) {
  // Fonts made on this thread and used on another (as the tick thread does) give the same
  // metrics and glyphs.
  CFont font;
  LOGFONTW lf = RulerFont(14);
  font.CreateFontIndirect(&lf);
  auto draw = [&](Canvas& cv) {
    cv.dc.SelectObject(&font);
    cv.dc.SetTextAlign(TA_BASELINE);
    cv.dc.TextOut(4, 20, CString(L"Depth 12.5"));
    cv.dc.SelectStockObject(SYSTEM_FONT);
  };
  Canvas here(120, 30), there(120, 30);
  draw(here);
  CSize extThere;
  std::thread worker([&] {
    draw(there);
    there.dc.SelectObject(&font);
    extThere = there.dc.GetTextExtent(CString(L"Depth 12.5"));
    there.dc.SelectStockObject(SYSTEM_FONT);
  });
  worker.join();
  here.dc.SelectObject(&font);
  EXPECT_EQ(here.dc.GetTextExtent(CString(L"Depth 12.5")), extThere);
  here.dc.SelectStockObject(SYSTEM_FONT);
  EXPECT_FALSE(here.Ink().empty());
  EXPECT_EQ(here.Ink(), there.Ink());
}

TEST(Text, UpdateCPAdvancesTheCurrentPosition) {
  Canvas cv(100, 30);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetTextAlign(TA_UPDATECP);
  cv.dc.MoveTo(5, 5);
  const CSize ext = cv.dc.GetTextExtent(L"ab", 2);
  cv.dc.TextOut(50, 50, L"ab", 2);
  EXPECT_EQ(cv.dc.GetCurrentPosition(), CPoint(5 + ext.cx, 5));
}

TEST(Text, Escapement900ReadsBottomToTop) {
  CFont font;
  LOGFONTW lf = RulerFont(12, 900);
  font.CreateFontIndirect(&lf);
  auto draw = [&](const wchar_t* s) {
    auto cv = std::make_unique<Canvas>(60, 100);
    cv->dc.SelectObject(&font);
    cv->dc.SetBkMode(TRANSPARENT);
    cv->dc.TextOut(20, 80, s, int(std::wcslen(s)));
    return cv;
  };
  auto one = draw(L"M");
  auto four = draw(L"MMMM");
  const RECT a = one->InkBox(), b = four->InkBox();
  TEXTMETRICW tm{};
  four->dc.GetTextMetrics(&tm);
  const CSize ext = four->dc.GetTextExtent(L"MMMM", 4);
  // The text runs upwards from the reference point; the cell lies to its right (TA_TOP).
  EXPECT_GT(b.bottom - b.top, b.right - b.left);
  EXPECT_LE(b.bottom, 81);
  EXPECT_GE(b.top, 80 - ext.cx - 1);
  EXPECT_GE(b.left, 20);
  EXPECT_LE(b.right, 20 + tm.tmHeight + 1);
  // More characters extend the ink upwards, never downwards.
  EXPECT_LT(b.top, a.top - 2 * (a.bottom - a.top));
  EXPECT_NEAR(b.bottom, a.bottom, 1);
}

struct DrawTextCase {
  UINT format;
  int hx;  // 0 left, 1 centre, 2 right
  int vy;  // 0 top, 1 centre, 2 bottom
};

class DrawTextTest : public ::testing::TestWithParam<DrawTextCase> {};

TEST_P(DrawTextTest, SingleLinePlacement) {
  const DrawTextCase& c = GetParam();
  Canvas cv(160, 80);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkColor(kBlue);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  const CSize ext = cv.dc.GetTextExtent(L"Label", 5);
  RECT rc{10, 10, 151, 71};
  const int ret = cv.dc.DrawText(L"Label", -1, &rc, c.format | DT_SINGLELINE);
  const int x = c.hx == 0 ? 10 : c.hx == 2 ? 151 - ext.cx : (10 + 151 - ext.cx) / 2;
  const int y = c.vy == 0 ? 10 : c.vy == 2 ? 71 - tm.tmHeight : 10 + 61 / 2 - tm.tmHeight / 2;
  EXPECT_EQ(cv.InkBox(), (RECT{x, y, x + ext.cx, y + tm.tmHeight}));
  if (c.vy == 0)
    EXPECT_EQ(ret, tm.tmHeight);
  else
    EXPECT_EQ(ret, y + tm.tmHeight - 10);
}

INSTANTIATE_TEST_SUITE_P(Flags, DrawTextTest,
                         ::testing::Values(DrawTextCase{DT_LEFT | DT_TOP, 0, 0},
                                           DrawTextCase{DT_RIGHT, 2, 0},
                                           DrawTextCase{DT_CENTER, 1, 0},
                                           DrawTextCase{DT_BOTTOM, 0, 2},
                                           DrawTextCase{DT_RIGHT | DT_BOTTOM, 2, 2},
                                           DrawTextCase{DT_CENTER | DT_VCENTER, 1, 1}));

TEST(DrawText, VerticalFlagsNeedSingleLineAndOutputIsClipped) {
  Canvas cv(160, 80);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkColor(kBlue);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  RECT rc{10, 10, 100, 70};
  EXPECT_EQ(cv.dc.DrawText(L"a\nb", -1, &rc, DT_BOTTOM), 2 * tm.tmHeight);
  EXPECT_EQ(cv.InkBox().top, 10);  // DT_BOTTOM ignored without DT_SINGLELINE
  EXPECT_EQ(cv.InkBox().bottom, 10 + 2 * tm.tmHeight);
  Canvas clip(160, 80);
  clip.dc.SelectStockObject(ANSI_VAR_FONT);
  clip.dc.SetBkColor(kBlue);
  RECT small{10, 10, 14, 14};
  clip.dc.DrawText(L"Wide text", -1, &small, DT_SINGLELINE);
  EXPECT_EQ(clip.InkBox(), (RECT{10, 10, 14, 14}));
}

TEST(DrawText, WordBreakWrapsAndNoClipOverflows) {
  Canvas cv(160, 80);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkColor(kBlue);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  const int word = cv.dc.GetTextExtent(L"word", 4).cx;
  RECT rc{10, 10, 10 + word + 4, 70};
  EXPECT_EQ(cv.dc.DrawText(L"word word", -1, &rc, DT_WORDBREAK), 2 * tm.tmHeight);
  EXPECT_EQ(cv.InkBox(), (RECT{10, 10, 10 + word, 10 + 2 * tm.tmHeight}));
  Canvas over(160, 80);
  over.dc.SelectStockObject(ANSI_VAR_FONT);
  over.dc.SetBkColor(kBlue);
  RECT small{10, 10, 14, 14};
  over.dc.DrawText(L"Wide", -1, &small, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(over.InkBox(),
            (RECT{10, 10, 10 + over.dc.GetTextExtent(L"Wide", 4).cx, 10 + tm.tmHeight}));
}

TEST(Text, ExtTextOutOpaqueRectangleAndClipping) {
  Canvas cv(100, 40);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.SetBkMode(TRANSPARENT);
  cv.dc.SetBkColor(kBlue);
  RECT rc{5, 5, 30, 20};
  // ETO_OPAQUE fills the rectangle whatever the background mode; ETO_CLIPPED keeps the text
  // inside it.
  cv.dc.ExtTextOut(8, 8, ETO_OPAQUE | ETO_CLIPPED, &rc, L"WWWWWWWW", 8);
  EXPECT_EQ(cv.InkBox(), (RECT{5, 5, 30, 20}));
  EXPECT_EQ(cv.At(5, 5), kBlue);
  EXPECT_EQ(cv.At(29, 19), kBlue);
}

TEST(DrawText, CalcRectAndPrefix) {
  Canvas cv;
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  TEXTMETRICW tm{};
  cv.dc.GetTextMetrics(&tm);
  RECT rc{5, 5, 6, 6};
  EXPECT_EQ(cv.dc.DrawText(L"&Save", -1, &rc, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  EXPECT_TRUE(cv.Ink().empty());
  EXPECT_EQ(rc.right - rc.left, cv.dc.GetTextExtent(L"Save", 4).cx);  // '&' not counted
  EXPECT_EQ(rc.bottom - rc.top, tm.tmHeight);
  RECT rc2{5, 5, 6, 6};
  cv.dc.DrawText(L"&Save", -1, &rc2, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(rc2.right - rc2.left, cv.dc.GetTextExtent(L"&Save", 5).cx);
}

TEST(FocusRect, CheckerboardFrameRemovedBySecondCall) {
  Canvas cv(32, 32);
  RECT rc{2, 3, 12, 9};
  cv.dc.DrawFocusRect(&rc);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool frame =
          x >= 2 && x < 12 && y >= 3 && y < 9 && (x == 2 || x == 11 || y == 3 || y == 8);
      const bool on = frame && ((x + y) % 2 == 0);
      ASSERT_EQ(cv.At(x, y), on ? RGB(0, 0, 0) : kWhite) << x << "," << y;
    }
  DrawFocusRect(cv.dc.GetSafeHdc(), &rc);
  EXPECT_TRUE(cv.Ink().empty());
}

TEST(FrameControl, RaisedAndPushedPushButton) {
  struct Case {
    UINT state;
    int outerTL, outerBR, innerTL, innerBR;
  };
  for (const Case& c :
       {Case{0, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW},
        Case{DFCS_PUSHED, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DLIGHT}}) {
    Canvas cv(40, 30);
    RECT rc{2, 2, 32, 22};
    ASSERT_TRUE(cv.dc.DrawFrameControl(&rc, DFC_BUTTON, DFCS_BUTTONPUSH | c.state));
    EXPECT_EQ(cv.At(2, 2), GetSysColor(c.outerTL));
    EXPECT_EQ(cv.At(10, 2), GetSysColor(c.outerTL));
    EXPECT_EQ(cv.At(2, 10), GetSysColor(c.outerTL));
    EXPECT_EQ(cv.At(31, 21), GetSysColor(c.outerBR));
    EXPECT_EQ(cv.At(31, 2), GetSysColor(c.outerBR));  // the right edge owns its corners
    EXPECT_EQ(cv.At(2, 21), GetSysColor(c.outerBR));
    EXPECT_EQ(cv.At(3, 3), GetSysColor(c.innerTL));
    EXPECT_EQ(cv.At(30, 20), GetSysColor(c.innerBR));
    EXPECT_EQ(cv.At(15, 12), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(cv.At(32, 22), kWhite);
    if (c.state == 0) {
      EXPECT_EQ(cv.InkBox(), (RECT{2, 2, 32, 22}));
    }
  }
  RECT adj{0, 0, 10, 10};
  Canvas cv;
  cv.dc.DrawFrameControl(&adj, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(adj, (RECT{2, 2, 8, 8}));
}

TEST(DrawState, DisabledTextIsEmbossedInHighlightAndShadow) {
  Canvas cv(80, 30);
  cv.dc.FillSolidRect(0, 0, 80, 30, GetSysColor(COLOR_BTNFACE));
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  cv.dc.DrawState(CPoint(5, 5), CSize(0, 0), L"Text", DSS_DISABLED, TRUE, 0, nullptr);
  EXPECT_FALSE(cv.Pixels(GetSysColor(COLOR_3DSHADOW)).empty());
  EXPECT_FALSE(cv.Pixels(GetSysColor(COLOR_3DHILIGHT)).empty());
  // The highlight is the ink moved by (1, 1), the shadow (drawn last) the ink itself.
  auto shadow = cv.Pixels(GetSysColor(COLOR_3DSHADOW));
  auto hi = cv.Pixels(GetSysColor(COLOR_3DHILIGHT));
  for (auto [x, y] : hi) EXPECT_EQ(shadow.count({x - 1, y - 1}), 1u) << x << "," << y;
  Canvas normal(80, 30);
  normal.dc.SelectStockObject(ANSI_VAR_FONT);
  normal.dc.SetTextColor(kRed);
  normal.dc.DrawState(CPoint(5, 5), CSize(0, 0), L"Text", DSS_NORMAL, TRUE, 0, nullptr);
  EXPECT_FALSE(normal.Pixels(kRed).empty());
}

TEST(DrawState, MonoPaintsTheInkWithTheBrush) {
  Canvas cv(80, 30);
  cv.dc.SelectStockObject(ANSI_VAR_FONT);
  CBrush red(kRed);
  cv.dc.DrawState(CPoint(5, 5), CSize(0, 0), L"Ab", DSS_MONO, TRUE, 0, red);
  EXPECT_FALSE(cv.Pixels(kRed).empty());
  EXPECT_EQ(cv.Ink(), cv.Pixels(kRed));
}

TEST(DrawState, BitmapNormalCopiesAndDisabledUsesInk) {
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateBitmap(4, 4, 1, 32, nullptr));
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 4, 4, kWhite);
    mem.SetPixel(1, 1, kBlue);
    mem.SelectObject(old);
  }
  Canvas cv(20, 20);
  cv.dc.DrawState(CPoint(3, 3), CSize(4, 4), &bmp, DSS_NORMAL);
  EXPECT_EQ(cv.At(4, 4), kBlue);
  Canvas dis(20, 20);
  dis.dc.FillSolidRect(0, 0, 20, 20, GetSysColor(COLOR_BTNFACE));
  dis.dc.DrawState(CPoint(3, 3), CSize(4, 4), &bmp, DSS_DISABLED);
  EXPECT_EQ(dis.At(4, 4), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(dis.At(5, 5), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(dis.At(3, 3), GetSysColor(COLOR_BTNFACE));  // white = background, untouched
}

}  // namespace
