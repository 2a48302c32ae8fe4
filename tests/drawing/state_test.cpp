// DC state: objects, SaveDC/RestoreDC, origins, clipping, memory DCs and BitBlt, robustness
// and drawing from several threads.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "tests/support/canvas.h"

using quarlen::test::Canvas;
using quarlen::test::RectPixels;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Fill(CDC& dc, int l, int t, int r, int b, COLORREF c) {
  CBrush brush(c);
  RECT rc{l, t, r, b};
  dc.FillRect(&rc, &brush);
}

TEST(Objects, SelectObjectReturnsThePreviousObject) {
  Canvas cv;
  CPen a(PS_SOLID, 1, kRed), b(PS_DOT, 1, kBlue);
  CPen* first = cv.dc.SelectObject(&a);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_EQ(cv.dc.SelectObject(&b), &a);
  EXPECT_EQ(cv.dc.SelectObject(first), &b);
  CGdiObject* oldBrush = cv.dc.SelectStockObject(NULL_BRUSH);
  ASSERT_NE(oldBrush, nullptr);
  EXPECT_EQ(oldBrush->m_hObject, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(cv.dc.SelectStockObject(BLACK_PEN)->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_EQ(cv.dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
}

TEST(Objects, StockObjectsSurviveDeletion) {
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  Canvas cv;
  cv.dc.MoveTo(0, 0);
  cv.dc.LineTo(5, 0);
  EXPECT_EQ(cv.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetStockObject(99), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(Objects, DeletingASelectedPenKeepsTheDCWorking) {
  Canvas cv;
  {
    CPen pen(PS_SOLID, 1, kRed);
    cv.dc.SelectObject(&pen);
  }  // deleted while selected
  cv.dc.MoveTo(0, 1);
  cv.dc.LineTo(4, 1);
  EXPECT_EQ(cv.At(0, 1), kRed);
  EXPECT_EQ(cv.dc.SelectStockObject(BLACK_PEN), nullptr);  // the old handle is gone
}

TEST(Objects, RegionsCombine) {
  CRgn a, b, c;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 5, 20, 20);
  c.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  RECT box;
  c.GetRgnBox(&box);
  EXPECT_EQ(box, (RECT{5, 5, 10, 10}));
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(c.CombineRgn(&a, &a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(c.CombineRgn(&a, nullptr, RGN_AND), ERROR);
  EXPECT_TRUE(a.PtInRegion(9, 9));
  EXPECT_FALSE(a.PtInRegion(10, 10));
}

TEST(State, DefaultsOfAFreshDC) {
  Canvas cv;
  EXPECT_EQ(cv.dc.GetBkColor(), kWhite);
  EXPECT_EQ(cv.dc.GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(cv.dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(cv.dc.GetTextAlign(), 0u);
  EXPECT_EQ(cv.dc.GetViewportOrg(), CPoint(0, 0));
  EXPECT_EQ(cv.dc.GetCurrentFont()->m_hObject, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(cv.dc.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(cv.dc.SetBkMode(7), 0);  // invalid mode refused
  EXPECT_EQ(cv.dc.GetBkMode(), TRANSPARENT);
}

TEST(State, SaveAndRestoreByIndexAndRelative) {
  Canvas cv;
  CPen red(PS_SOLID, 1, kRed);
  const int s1 = cv.dc.SaveDC();
  cv.dc.SetBkColor(kBlue);
  cv.dc.SelectObject(&red);
  cv.dc.SetViewportOrg(5, 5);
  const int s2 = cv.dc.SaveDC();
  cv.dc.SetBkColor(kRed);
  cv.dc.IntersectClipRect(0, 0, 1, 1);
  const int s3 = cv.dc.SaveDC();
  EXPECT_EQ(s1, 1);
  EXPECT_EQ(s2, 2);
  EXPECT_EQ(s3, 3);
  EXPECT_TRUE(cv.dc.RestoreDC(-1));  // the most recent: s3
  EXPECT_EQ(cv.dc.GetBkColor(), kRed);
  EXPECT_TRUE(cv.dc.RestoreDC(s2));  // state 2 and everything after it are popped
  EXPECT_EQ(cv.dc.GetBkColor(), kBlue);
  EXPECT_EQ(cv.dc.GetViewportOrg(), CPoint(5, 5));
  EXPECT_EQ(cv.dc.GetCurrentPen(), &red);
  RECT box;
  EXPECT_EQ(cv.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{-5, -5, 59, 59}));  // clip is gone again, box in logical units
  EXPECT_FALSE(cv.dc.RestoreDC(s2));       // already popped
  EXPECT_TRUE(cv.dc.RestoreDC(1));
  EXPECT_EQ(cv.dc.GetBkColor(), kWhite);
  EXPECT_FALSE(cv.dc.RestoreDC(-1));
  EXPECT_FALSE(cv.dc.RestoreDC(0));
}

TEST(State, ViewportOriginMovesDrawingButNotClipOrBrushOrigin) {
  Canvas cv;
  cv.dc.SetViewportOrg(10, 20);
  Fill(cv.dc, 0, 0, 3, 2, kRed);
  EXPECT_EQ(cv.Pixels(kRed), RectPixels(10, 20, 13, 22));
  // IntersectClipRect takes logical units; the clip then stays in device space.
  cv.dc.IntersectClipRect(0, 0, 5, 5);
  cv.dc.SetViewportOrg(0, 0);
  Fill(cv.dc, 0, 0, 64, 64, kBlue);
  EXPECT_EQ(cv.Pixels(kBlue), RectPixels(10, 20, 15, 25));
  EXPECT_EQ(cv.dc.SetWindowOrg(3, 0), CPoint(0, 0));
  EXPECT_EQ(cv.dc.GetWindowOrg(), CPoint(3, 0));
}

TEST(State, WindowOriginIsTheLogicalPointAtTheViewportOrigin) {
  Canvas cv;
  cv.dc.SetWindowOrg(10, 10);
  cv.dc.SetViewportOrg(2, 1);  // device = logical - window origin + viewport origin
  Fill(cv.dc, 10, 10, 12, 11, kRed);
  EXPECT_EQ(cv.Pixels(kRed), RectPixels(2, 1, 4, 2));
  POINT p{10, 10};
  cv.dc.LPtoDP(&p);
  EXPECT_EQ(p.x, 2);
  cv.dc.DPtoLP(&p);
  EXPECT_EQ(p.x, 10);
  EXPECT_TRUE(GdiFlush());
}

TEST(Clip, SelectClipRgnIsInDeviceUnitsAndNullRemovesIt) {
  Canvas cv;
  CRgn rgn;
  rgn.CreateRectRgn(5, 5, 10, 10);
  cv.dc.SetViewportOrg(100, 100);  // does not move the region
  EXPECT_EQ(cv.dc.SelectClipRgn(&rgn), SIMPLEREGION);
  cv.dc.SetViewportOrg(0, 0);
  Fill(cv.dc, 0, 0, 64, 64, kRed);
  EXPECT_EQ(cv.Pixels(kRed), RectPixels(5, 5, 10, 10));
  rgn.SetRectRgn(0, 0, 64, 64);  // the DC keeps its own copy
  Fill(cv.dc, 0, 0, 64, 64, kBlue);
  EXPECT_EQ(cv.Pixels(kBlue), RectPixels(5, 5, 10, 10));
  EXPECT_EQ(cv.dc.SelectClipRgn(nullptr), SIMPLEREGION);
  Fill(cv.dc, 0, 0, 64, 64, kRed);
  EXPECT_EQ(cv.Pixels(kRed).size(), 64u * 64u);
}

TEST(Clip, ExtSelectClipRgnAndIntersectClipRect) {
  Canvas cv;
  CRgn a, b;
  a.CreateRectRgn(0, 0, 20, 20);
  b.CreateRectRgn(10, 10, 40, 40);
  // Without a clip RGN_AND intersects with the whole surface.
  EXPECT_EQ(cv.dc.SelectClipRgn(&b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(cv.dc.SelectClipRgn(&a, RGN_AND), SIMPLEREGION);
  RECT box;
  cv.dc.GetClipBox(&box);
  EXPECT_EQ(box, (RECT{10, 10, 20, 20}));
  EXPECT_EQ(cv.dc.IntersectClipRect(15, 0, 30, 30), SIMPLEREGION);
  cv.dc.GetClipBox(&box);
  EXPECT_EQ(box, (RECT{15, 10, 20, 20}));
  EXPECT_EQ(cv.dc.IntersectClipRect(30, 30, 31, 31), NULLREGION);
  Fill(cv.dc, 0, 0, 64, 64, kRed);
  EXPECT_TRUE(cv.Pixels(kRed).empty());
  EXPECT_EQ(cv.dc.ExtSelectClipRgn(nullptr, RGN_AND), ERROR);
  EXPECT_EQ(cv.dc.ExtSelectClipRgn(nullptr, RGN_COPY), SIMPLEREGION);
}

TEST(Clip, BaseClipOfTheWindowLayerIsNeverExceeded) {
  auto surface = quarlen::detail::MakeSurface(32, 32);
  CDC dc;
  dc.AttachSurface(surface, QRegion(4, 4, 8, 8));
  CRgn all;
  all.CreateRectRgn(0, 0, 32, 32);
  dc.SelectClipRgn(&all);
  Fill(dc, 0, 0, 32, 32, kRed);
  int painted = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if ((surface->image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
        ++painted;
        EXPECT_TRUE(x >= 4 && x < 12 && y >= 4 && y < 12);
      }
  EXPECT_EQ(painted, 64);
  RECT box;
  dc.GetClipBox(&box);
  EXPECT_EQ(box, (RECT{4, 4, 12, 12}));
  dc.SetBaseClip(QRegion());  // nothing visible
  Fill(dc, 0, 0, 32, 32, kBlue);
  EXPECT_EQ(surface->image.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
}

TEST(Surface, OnDrawnReportsTheTouchedDeviceRectangle) {
  Canvas cv;
  std::vector<QRect> reports;
  cv.surface->onDrawn = [&](const QRect& r) { reports.push_back(r); };
  cv.dc.SetViewportOrg(2, 3);
  Fill(cv.dc, 0, 0, 5, 4, kRed);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], QRect(2, 3, 5, 4));
  RECT outside{100, 100, 200, 200};
  CBrush b(kRed);
  cv.dc.FillRect(&outside, &b);
  EXPECT_EQ(reports.size(), 1u);  // nothing touched, nothing reported
}

TEST(MemoryDC, BitBltCopiesIntoTheWindowSurfaceUnderTheDestinationClip) {
  Canvas cv;
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(&cv.dc));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(&cv.dc, 20, 10));
  CBitmap* old = mem.SelectObject(&bmp);
  ASSERT_NE(old, nullptr);  // the initial 1x1 bitmap
  EXPECT_EQ(old->GetBitmapDimension(), CSize(1, 1));
  Fill(mem, 0, 0, 20, 10, kBlue);
  Fill(mem, 5, 5, 6, 6, kRed);
  mem.SetPixel(0, 0, kRed);
  cv.dc.IntersectClipRect(0, 0, 30, 30);
  EXPECT_TRUE(cv.dc.BitBlt(25, 25, 20, 10, &mem, 0, 0, SRCCOPY));
  EXPECT_EQ(cv.At(25, 25), kRed);
  EXPECT_EQ(cv.At(30, 30), kWhite);  // mem (5, 5) lands outside the clip
  EXPECT_EQ(cv.At(29, 29), kBlue);
  EXPECT_EQ(cv.At(30, 29), kWhite);  // outside the clip
  EXPECT_EQ(cv.Pixels(kBlue).size() + cv.Pixels(kRed).size(), 25u);
  // The source's clip is ignored; source offsets are honoured.
  CRgn none;
  none.CreateRectRgn(0, 0, 0, 0);
  mem.SelectClipRgn(&none);
  Canvas two;
  two.dc.BitBlt(0, 0, 3, 3, &mem, 4, 4, SRCCOPY);
  EXPECT_EQ(two.At(1, 1), kRed);
  EXPECT_EQ(two.At(0, 0), kBlue);
  mem.SelectObject(old);
}

TEST(MemoryDC, BitBltWithinOneSurfaceHandlesOverlap) {
  Canvas cv(16, 4);
  for (int x = 0; x < 8; ++x) cv.dc.SetPixel(x, 0, RGB(x * 10, 0, 0));
  cv.dc.BitBlt(2, 0, 8, 1, &cv.dc, 0, 0, SRCCOPY);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(cv.At(x + 2, 0), RGB(x * 10, 0, 0));
}

TEST(MemoryDC, HandleFunctionsAndMonochromeConversion) {
  Canvas cv;
  HDC mem = CreateCompatibleDC(cv.dc.GetSafeHdc());
  ASSERT_NE(mem, nullptr);
  EXPECT_NE(CDC::FromHandle(mem), nullptr);
  // Compatible with the fresh memory DC: monochrome, drawn with text/bk colours.
  HBITMAP mono = CreateCompatibleBitmap(mem, 4, 4);
  BITMAP bm{};
  GetObjectW(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HGDIOBJ old = SelectObject(mem, mono);
  EXPECT_NE(old, nullptr);
  RECT all{0, 0, 4, 4};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(mem, 1, 1, 0);
  cv.dc.SetTextColor(kRed);
  cv.dc.SetBkColor(kBlue);
  BitBlt(cv.dc.GetSafeHdc(), 0, 0, 4, 4, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(cv.At(1, 1), kRed);   // 0 bits take the text colour
  EXPECT_EQ(cv.At(0, 0), kBlue);  // 1 bits the background colour
  SelectObject(mem, old);
  EXPECT_TRUE(DeleteObject(mono));
  EXPECT_TRUE(DeleteDC(mem));
  EXPECT_FALSE(DeleteDC(mem));  // released twice: refused, no crash
  EXPECT_EQ(CDC::FromHandle(mem), nullptr);
}

// Every fresh memory DC holds the same stock 1x1 monochrome bitmap; deleting it is refused
// quietly, and memory DCs made afterwards still start from it and still work.
TEST(MemoryDC, FreshDCsShareTheStockOneByOneMonochromeBitmap) {
  Canvas cv;
  CDC a, b;
  ASSERT_TRUE(a.CreateCompatibleDC(&cv.dc));
  ASSERT_TRUE(b.CreateCompatibleDC(&cv.dc));
  ASSERT_NE(a.GetCurrentBitmap(), nullptr);
  const HGDIOBJ first = a.GetCurrentBitmap()->m_hObject;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(b.GetCurrentBitmap()->m_hObject, first);
  BITMAP bm{};
  ASSERT_NE(GetObjectW(first, sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_TRUE(DeleteObject(first));  // a stock object: nothing happens
  EXPECT_TRUE(a.DeleteDC());
  EXPECT_TRUE(b.DeleteDC());

  CDC c;
  ASSERT_TRUE(c.CreateCompatibleDC(&cv.dc));
  EXPECT_EQ(c.GetCurrentBitmap()->m_hObject, first);
  CBitmap colour;
  ASSERT_TRUE(colour.CreateCompatibleBitmap(&cv.dc, 2, 2));
  CBitmap* old = c.SelectObject(&colour);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->m_hObject, first);
  c.SetPixel(1, 1, kRed);
  cv.dc.BitBlt(0, 0, 2, 2, &c, 0, 0, SRCCOPY);
  EXPECT_EQ(cv.At(1, 1), kRed);
  c.SelectObject(old);
}

TEST(Robustness, DCWithoutTargetAndDoubleRelease) {
  CDC dc;
  EXPECT_EQ(dc.GetSafeHdc(), nullptr);
  EXPECT_FALSE(dc.LineTo(5, 5));
  EXPECT_FALSE(dc.Rectangle(0, 0, 5, 5));
  RECT rc{0, 0, 5, 5};
  dc.FillSolidRect(&rc, kRed);
  dc.DrawFocusRect(&rc);
  EXPECT_EQ(dc.DrawText(L"x", -1, &rc, 0), 0);
  EXPECT_FALSE(dc.DeleteDC());
  Canvas cv;
  HDC h = cv.dc.GetSafeHdc();
  cv.dc.DetachSurface();
  cv.dc.DetachSurface();
  EXPECT_EQ(CDC::FromHandle(h), nullptr);
  EXPECT_FALSE(LineTo(h, 3, 3));
  EXPECT_FALSE(cv.dc.Polyline(nullptr, 3));
  cv.dc.FillRect(nullptr, static_cast<CBrush*>(nullptr));
  cv.dc.DrawFocusRect(nullptr);
  EXPECT_EQ(cv.dc.GetClipBox(nullptr), ERROR);
}

TEST(Robustness, SurfaceResizedUnderAnAttachedDC) {
  Canvas cv(64, 64);
  {
    std::lock_guard g(cv.surface->lock);
    cv.surface->image = QImage(8, 8, QImage::Format_RGB32);
    cv.surface->image.fill(0xFFFFFFFF);
  }
  Fill(cv.dc, 0, 0, 64, 64, kRed);
  EXPECT_EQ(cv.Pixels(kRed).size(), 64u);
  cv.dc.MoveTo(-5, 7);
  cv.dc.LineTo(100, 7);
  Fill(cv.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlue);
  EXPECT_EQ(cv.Pixels(kBlue).size(), 64u);
}

TEST(Threads, TwoThreadsDrawIntoOneSurface) {
  Canvas cv(64, 64);
  CDC other;
  other.AttachSurface(cv.surface, QRegion(0, 0, 64, 64));
  std::thread worker([&] {
    CPen pen(PS_DASH, 1, kRed);
    other.SelectObject(&pen);
    for (int i = 0; i < 200; ++i) {
      other.MoveTo(0, i % 64);
      other.LineTo(64, i % 64);
    }
    other.SelectStockObject(BLACK_PEN);
  });
  for (int i = 0; i < 200; ++i) Fill(cv.dc, 0, i % 64, 64, i % 64 + 1, kBlue);
  worker.join();
  EXPECT_FALSE(cv.Pixels(kRed).empty() && cv.Pixels(kBlue).empty());
}

}  // namespace
