#pragma once
// CDC: a device context drawing into a window surface or a memory bitmap, with the pixel
// rules of the Windows drawing interface (half-open fills, line end points excluded, cosmetic
// dash patterns, opaque background filling the gaps of styled pens and hatches, brush origin
// in device pixels, text alignment and DrawText placement, rotated fonts).
//
// Coordinates are logical units of MM_TEXT: device = logical - window origin + viewport
// origin. Clip regions and the brush origin live in device coordinates. Every drawing call
// locks the target surface for its duration, so a DC may be used from any thread (one thread
// at a time per DC, as with GDI); the surface may be shared with other DCs on other threads.
//
// Bad input never crashes: empty or inverted rectangles draw what the rules say (usually
// nothing), huge coordinates are clipped exactly, null objects are ignored, calls on a DC
// without a target do nothing and return the neutral value.
#include <memory>

#include "platform/cstring.h"
#include "platform/gdi.h"

class QRegion;
namespace quarlen::detail {
struct Surface;
struct DCImpl;
}  // namespace quarlen::detail

// Text alignment.
enum : UINT {
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};
// ExtTextOut options.
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };
// DrawText formats.
enum : UINT {
  DT_TOP = 0x00000000,
  DT_LEFT = 0x00000000,
  DT_CENTER = 0x00000001,
  DT_RIGHT = 0x00000002,
  DT_VCENTER = 0x00000004,
  DT_BOTTOM = 0x00000008,
  DT_WORDBREAK = 0x00000010,
  DT_SINGLELINE = 0x00000020,
  DT_EXPANDTABS = 0x00000040,
  DT_TABSTOP = 0x00000080,
  DT_NOCLIP = 0x00000100,
  DT_EXTERNALLEADING = 0x00000200,
  DT_CALCRECT = 0x00000400,
  DT_NOPREFIX = 0x00000800,
  DT_END_ELLIPSIS = 0x00008000,
  DT_HIDEPREFIX = 0x00100000,
};
// DrawState types and states.
enum : UINT {
  DST_COMPLEX = 0x0000,
  DST_TEXT = 0x0001,
  DST_PREFIXTEXT = 0x0002,
  DST_ICON = 0x0003,
  DST_BITMAP = 0x0004,
  DSS_NORMAL = 0x0000,
  DSS_UNION = 0x0010,
  DSS_DISABLED = 0x0020,
  DSS_MONO = 0x0080,
  DSS_HIDEPREFIX = 0x0200,
  DSS_PREFIXONLY = 0x0400,
  DSS_RIGHT = 0x8000,
};
// DrawFrameControl.
enum : UINT {
  DFC_CAPTION = 1,
  DFC_MENU = 2,
  DFC_SCROLL = 3,
  DFC_BUTTON = 4,
  DFCS_BUTTONCHECK = 0x0000,
  DFCS_BUTTONPUSH = 0x0010,
  DFCS_INACTIVE = 0x0100,
  DFCS_PUSHED = 0x0200,
  DFCS_CHECKED = 0x0400,
  DFCS_TRANSPARENT = 0x0800,
  DFCS_HOT = 0x1000,
  DFCS_ADJUSTRECT = 0x2000,
  DFCS_FLAT = 0x4000,
  DFCS_MONO = 0x8000,
};
// DrawEdge.
enum : UINT {
  BDR_RAISEDOUTER = 0x0001,
  BDR_SUNKENOUTER = 0x0002,
  BDR_RAISEDINNER = 0x0004,
  BDR_SUNKENINNER = 0x0008,
  EDGE_RAISED = 0x0005,
  EDGE_SUNKEN = 0x000A,
  EDGE_ETCHED = 0x0006,
  EDGE_BUMP = 0x0009,
  BF_LEFT = 0x0001,
  BF_TOP = 0x0002,
  BF_RIGHT = 0x0004,
  BF_BOTTOM = 0x0008,
  BF_RECT = 0x000F,
  BF_MIDDLE = 0x0800,
  BF_SOFT = 0x1000,
  BF_ADJUST = 0x2000,
  BF_FLAT = 0x4000,
  BF_MONO = 0x8000,
};
// System colour indices.
enum : int {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_WINDOWTEXT = 8,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_3DFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_3DSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DHILIGHT = 20,
  COLOR_3DHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
};

// The fixed system colour table (the colours stay the same whatever the desktop theme is).
QUARLEN_API DWORD GetSysColor(int index);
// A stock brush of a system colour (never deleted).
QUARLEN_API HBRUSH GetSysColorBrush(int index);

using DRAWSTATEPROC = BOOL (*)(HDC hdc, LPARAM data, WPARAM wData, int cx, int cy);

class QUARLEN_API CDC {
 public:
  HDC m_hDC = nullptr;  // live while the DC has a target (attached surface or memory DC)

  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  // The CDC behind a live handle; null for null, released or unknown handles.
  static CDC* FromHandle(HDC hdc);

  // ---- Targets ----
  // Window layer: draw into `surface`, never outside `baseClip` (device coordinates).
  // Resets the DC state to the defaults. See platform/detail/surface.h.
  void AttachSurface(std::shared_ptr<quarlen::detail::Surface> surface, const QRegion& baseClip);
  // Changes the base clip of an attached DC (e.g. after the window was resized).
  void SetBaseClip(const QRegion& baseClip);
  // Stops drawing into the surface; m_hDC becomes null. Harmless when not attached.
  void DetachSurface();
  // Memory DC: draws into the bitmap selected with SelectObject (initially a 1x1 bitmap).
  // It reports the DPI of `dc` (of the screen for null) through GetDeviceCaps.
  BOOL CreateCompatibleDC(CDC* dc);
  // Ends a memory DC (or detaches a surface). Harmless twice.
  BOOL DeleteDC();
  bool IsMemoryDC() const;
  // GetDeviceCaps of this DC (platform/dpi.h).
  int GetDeviceCaps(int index) const;

  // ---- Objects ----
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  int SelectObject(CRgn* region);  // = SelectClipRgn
  // Handle form: returns the previous object of the same kind (null on failure).
  HGDIOBJ SelectObject(HGDIOBJ object);
  CGdiObject* SelectStockObject(int index);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // ---- State ----
  int SaveDC();
  BOOL RestoreDC(int savedDC);
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  UINT SetTextAlign(UINT flags);
  UINT GetTextAlign() const;
  CPoint SetBrushOrg(int x, int y);
  CPoint SetBrushOrg(POINT point);
  CPoint GetBrushOrg() const;
  int SetArcDirection(int direction);
  int GetArcDirection() const;
  // The binary raster operation (R2_BLACK .. R2_WHITE, default R2_COPYPEN) that combines pens
  // and the brush fills of shapes with the destination. FillRect, FillSolidRect, PatBlt, BitBlt
  // and text ignore it. SetROP2 returns the previous mode, or 0 (mode unchanged) for a value
  // outside 1..16.
  int SetROP2(int mode);
  int GetROP2() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point);
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const;
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point);
  CPoint GetWindowOrg() const;
  void LPtoDP(LPPOINT points, int count = 1) const;
  void LPtoDP(LPRECT rect) const;
  void DPtoLP(LPPOINT points, int count = 1) const;
  void DPtoLP(LPRECT rect) const;
  CPoint GetCurrentPosition() const;

  // ---- Clipping (results: ERROR 0, NULLREGION 1, SIMPLEREGION 2, COMPLEXREGION 3) ----
  int SelectClipRgn(CRgn* region);            // device units; null removes the clip
  int SelectClipRgn(CRgn* region, int mode);  // = ExtSelectClipRgn
  int ExtSelectClipRgn(HRGN region, int mode);
  int IntersectClipRect(int left, int top, int right, int bottom);  // logical units
  int IntersectClipRect(LPCRECT rect);
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(LPCRECT rect);
  int GetClipBox(LPRECT rect) const;  // logical units
  BOOL PtVisible(int x, int y) const;
  BOOL RectVisible(LPCRECT rect) const;

  // ---- Lines and shapes ----
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point);
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point);
  BOOL Polyline(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(LPCRECT rect);
  BOOL RoundRect(int left, int top, int right, int bottom, int width, int height);
  BOOL RoundRect(LPCRECT rect, POINT corner);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(LPCRECT rect);
  BOOL Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
  BOOL Arc(LPCRECT rect, POINT start, POINT end);
  void FillRect(LPCRECT rect, CBrush* brush);
  BOOL FillRect(LPCRECT rect, HBRUSH brush);  // brush may be COLOR_xxx + 1
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  void FrameRect(LPCRECT rect, CBrush* brush);
  void InvertRect(LPCRECT rect);
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  COLORREF SetPixel(int x, int y, COLORREF color);
  COLORREF GetPixel(int x, int y) const;
  void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
  void DrawFocusRect(LPCRECT rect);
  BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);

  // ---- Bitmaps ----
  BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, DWORD rop);

  // ---- Text ----
  BOOL TextOut(int x, int y, LPCWSTR text, int count);
  BOOL TextOut(int x, int y, const CString& text) {
    return TextOut(x, y, text.GetString(), text.GetLength());
  }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count,
                  const int* dx = nullptr);
  int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);
  int DrawText(const CString& text, LPRECT rect, UINT format) {
    return DrawText(text.GetString(), text.GetLength(), rect, format);
  }
  CSize GetTextExtent(LPCWSTR text, int count) const;
  CSize GetTextExtent(const CString& text) const {
    return GetTextExtent(text.GetString(), text.GetLength());
  }
  BOOL GetTextMetrics(LPTEXTMETRICW metrics) const;

  // ---- DrawState (x, y, cx, cy in device units; cx = cy = 0 means the image's size) ----
  BOOL DrawState(CPoint point, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);
  BOOL DrawState(CPoint point, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr);
  BOOL DrawState(CPoint point, CSize size, HICON icon, UINT flags, HBRUSH brush = nullptr);
  BOOL DrawState(CPoint point, CSize size, LPCWSTR text, UINT flags, BOOL prefixText = TRUE,
                 int textLength = 0, HBRUSH brush = nullptr);
  BOOL DrawIcon(int x, int y, HICON icon);

  // Internal: the implementation (used by the function-style interface and the theme code).
  quarlen::detail::DCImpl* Impl() const { return m_impl.get(); }

 private:
  std::unique_ptr<quarlen::detail::DCImpl> m_impl;
};

// ---- Function-style interface (HDC) ----
QUARLEN_API HDC CreateCompatibleDC(HDC hdc);
QUARLEN_API BOOL DeleteDC(HDC hdc);
QUARLEN_API HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
QUARLEN_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
QUARLEN_API int SaveDC(HDC hdc);
QUARLEN_API BOOL RestoreDC(HDC hdc, int savedDC);
QUARLEN_API COLORREF SetBkColor(HDC hdc, COLORREF color);
QUARLEN_API int SetBkMode(HDC hdc, int mode);
QUARLEN_API int SetROP2(HDC hdc, int mode);
QUARLEN_API int GetROP2(HDC hdc);
QUARLEN_API COLORREF SetTextColor(HDC hdc, COLORREF color);
QUARLEN_API UINT SetTextAlign(HDC hdc, UINT flags);
QUARLEN_API BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
QUARLEN_API BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
QUARLEN_API BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
QUARLEN_API int SelectClipRgn(HDC hdc, HRGN region);
QUARLEN_API int ExtSelectClipRgn(HDC hdc, HRGN region, int mode);
QUARLEN_API int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
QUARLEN_API int GetClipBox(HDC hdc, RECT* rect);
QUARLEN_API BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
QUARLEN_API BOOL LineTo(HDC hdc, int x, int y);
QUARLEN_API BOOL Polyline(HDC hdc, const POINT* points, int count);
QUARLEN_API BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
QUARLEN_API BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width,
                           int height);
QUARLEN_API BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
QUARLEN_API BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart,
                     int xEnd, int yEnd);
QUARLEN_API int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
QUARLEN_API int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
QUARLEN_API BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                        DWORD rop);
QUARLEN_API BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count);
QUARLEN_API int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format);
QUARLEN_API BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size);
QUARLEN_API BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics);
QUARLEN_API BOOL DrawFocusRect(HDC hdc, const RECT* rect);
QUARLEN_API BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state);
QUARLEN_API BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);
QUARLEN_API BOOL DrawStateW(HDC hdc, HBRUSH fore, DRAWSTATEPROC output, LPARAM data, WPARAM wData,
                            int x, int y, int cx, int cy, UINT flags);
QUARLEN_API BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
QUARLEN_API COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
QUARLEN_API COLORREF GetPixel(HDC hdc, int x, int y);
