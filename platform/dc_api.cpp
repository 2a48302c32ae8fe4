// The handle-based drawing functions: each finds the CDC of the handle and forwards. An
// unknown or released handle makes them fail with the neutral result.
#include "platform/dc.h"
#include "platform/detail/dc_impl.h"

using namespace quarlen::detail;

namespace {

// DCs made by CreateCompatibleDC(HDC) belong to their handle; DeleteDC frees them.
struct OwnedDC : CDC {};

}  // namespace

namespace quarlen::detail {
std::shared_ptr<Surface> SurfaceOf(HDC hdc) {
  CDC* dc = CDC::FromHandle(hdc);
  return dc ? dc->Impl()->Target() : nullptr;
}
}  // namespace quarlen::detail

HDC CreateCompatibleDC(HDC hdc) {
  auto* dc = new OwnedDC;
  dc->CreateCompatibleDC(CDC::FromHandle(hdc));
  return dc->GetSafeHdc();
}

BOOL DeleteDC(HDC hdc) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc) return FALSE;
  if (auto* owned = dynamic_cast<OwnedDC*>(dc)) {
    delete owned;
    return TRUE;
  }
  return dc->DeleteDC();
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  // Compatible with a fresh memory DC (still holding its 1x1 monochrome bitmap) means
  // monochrome; with a window, a colour bitmap.
  CDC* dc = CDC::FromHandle(hdc);
  bool mono = false;
  if (dc && dc->IsMemoryDC()) {
    auto& st = dc->Impl()->st;
    mono = st.bitmap && st.bitmap->monochrome;
  }
  if (width == 0 || height == 0) width = height = 1;  // a zero size gives a 1x1 bitmap
  auto b = MakeBitmap(width, height, mono);
  return b ? static_cast<HBITMAP>(RegisterObject(b)) : nullptr;
}

#define QN_DC(h, fail)          \
  CDC* dc = CDC::FromHandle(h); \
  if (!dc) return fail

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  QN_DC(hdc, nullptr);
  if (auto r = Lookup<RegionData>(object, GdiKind::Region))
    return reinterpret_cast<HGDIOBJ>(
        static_cast<std::intptr_t>(dc->ExtSelectClipRgn(static_cast<HRGN>(object), RGN_COPY)));
  return dc->SelectObject(object);
}
int SaveDC(HDC hdc) {
  QN_DC(hdc, 0);
  return dc->SaveDC();
}
BOOL RestoreDC(HDC hdc, int savedDC) {
  QN_DC(hdc, FALSE);
  return dc->RestoreDC(savedDC);
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  QN_DC(hdc, CLR_INVALID);
  return dc->SetBkColor(color);
}
int SetBkMode(HDC hdc, int mode) {
  QN_DC(hdc, 0);
  return dc->SetBkMode(mode);
}
int SetROP2(HDC hdc, int mode) {
  QN_DC(hdc, 0);
  return dc->SetROP2(mode);
}
int GetROP2(HDC hdc) {
  QN_DC(hdc, 0);
  return dc->GetROP2();
}
COLORREF SetTextColor(HDC hdc, COLORREF color) {
  QN_DC(hdc, CLR_INVALID);
  return dc->SetTextColor(color);
}
UINT SetTextAlign(HDC hdc, UINT flags) {
  QN_DC(hdc, GDI_ERROR);
  return dc->SetTextAlign(flags);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
  QN_DC(hdc, FALSE);
  const CPoint o = dc->SetBrushOrg(x, y);
  if (old) *old = o;
  return TRUE;
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
  QN_DC(hdc, FALSE);
  const CPoint o = dc->SetViewportOrg(x, y);
  if (old) *old = o;
  return TRUE;
}
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
  QN_DC(hdc, FALSE);
  const CPoint o = dc->SetWindowOrg(x, y);
  if (old) *old = o;
  return TRUE;
}
int SelectClipRgn(HDC hdc, HRGN region) {
  QN_DC(hdc, ERROR);
  return dc->ExtSelectClipRgn(region, RGN_COPY);
}
int ExtSelectClipRgn(HDC hdc, HRGN region, int mode) {
  QN_DC(hdc, ERROR);
  return dc->ExtSelectClipRgn(region, mode);
}
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  QN_DC(hdc, ERROR);
  return dc->IntersectClipRect(left, top, right, bottom);
}
int GetClipBox(HDC hdc, RECT* rect) {
  QN_DC(hdc, ERROR);
  return dc->GetClipBox(rect);
}
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  QN_DC(hdc, FALSE);
  const CPoint o = dc->MoveTo(x, y);
  if (old) *old = o;
  return TRUE;
}
BOOL LineTo(HDC hdc, int x, int y) {
  QN_DC(hdc, FALSE);
  return dc->LineTo(x, y);
}
BOOL Polyline(HDC hdc, const POINT* points, int count) {
  QN_DC(hdc, FALSE);
  return dc->Polyline(points, count);
}
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  QN_DC(hdc, FALSE);
  return dc->Rectangle(left, top, right, bottom);
}
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  QN_DC(hdc, FALSE);
  return dc->RoundRect(left, top, right, bottom, width, height);
}
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  QN_DC(hdc, FALSE);
  return dc->Ellipse(left, top, right, bottom);
}
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
  QN_DC(hdc, FALSE);
  return dc->Arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  QN_DC(hdc, 0);
  return dc->FillRect(rect, brush);
}
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  QN_DC(hdc, 0);
  CBrush* b = CBrush::FromHandle(brush);
  if (!b || !rect) return 0;
  dc->FrameRect(rect, b);
  return 1;
}
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  QN_DC(dest, FALSE);
  return dc->BitBlt(x, y, width, height, CDC::FromHandle(src), xSrc, ySrc, rop);
}
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  QN_DC(hdc, FALSE);
  return dc->TextOut(x, y, text, count);
}
int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  QN_DC(hdc, 0);
  return dc->DrawText(text, count, rect, format);
}
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
  QN_DC(hdc, FALSE);
  if (!size || count < 0 || (!text && count > 0)) return FALSE;
  *size = dc->GetTextExtent(text ? text : L"", count);
  return TRUE;
}
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
  QN_DC(hdc, FALSE);
  return dc->GetTextMetrics(metrics);
}
BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  QN_DC(hdc, FALSE);
  if (!rect) return FALSE;
  dc->DrawFocusRect(rect);
  return TRUE;
}
BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
  QN_DC(hdc, FALSE);
  return dc->DrawFrameControl(rect, type, state);
}
BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
  QN_DC(hdc, FALSE);
  return dc->DrawEdge(rect, edge, flags);
}
BOOL DrawStateW(HDC hdc, HBRUSH fore, DRAWSTATEPROC output, LPARAM data, WPARAM wData, int x, int y,
                int cx, int cy, UINT flags) {
  QN_DC(hdc, FALSE);
  const CPoint pt(x, y);
  const CSize size(cx, cy);
  switch (flags & 0x000F) {
    case DST_TEXT:
    case DST_PREFIXTEXT:
      return dc->DrawState(pt, size, reinterpret_cast<LPCWSTR>(data), flags & ~UINT(0x000F),
                           (flags & 0x000F) == DST_PREFIXTEXT, int(wData), fore);
    case DST_ICON:
      return dc->DrawState(pt, size, reinterpret_cast<HICON>(data), flags, fore);
    case DST_BITMAP:
      return dc->DrawState(pt, size, reinterpret_cast<HBITMAP>(data), flags, fore);
    case DST_COMPLEX:
      return output ? output(hdc, data, wData, cx, cy) : FALSE;
    default:
      return FALSE;
  }
}
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  QN_DC(hdc, FALSE);
  return dc->DrawIcon(x, y, icon);
}
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  QN_DC(hdc, CLR_INVALID);
  return dc->SetPixel(x, y, color);
}
COLORREF GetPixel(HDC hdc, int x, int y) {
  QN_DC(hdc, CLR_INVALID);
  return dc->GetPixel(x, y);
}
