#pragma once
// Graphic objects of the drawing interface: pens, brushes, fonts, bitmaps and regions, the
// stock objects, and the constants and records that go with them.
//
// Handles (HPEN, HBRUSH, HFONT, HBITMAP, HRGN, HICON) name shared, reference-counted objects:
// a device context keeps what is selected into it alive, so deleting a selected object never
// leaves the DC with a dangling pointer (the DC keeps drawing with it until something else is
// selected). Stock objects are never deleted; DeleteObject on them succeeds and does nothing.
// Invalid handles (null, deleted, of another kind) make calls fail with the neutral result.
#include <memory>

#include "platform/geometry.h"
#include "platform/types.h"

// Pen styles.
enum : int {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
  PS_STYLE_MASK = 0x0F,
};
// Brush styles and hatch styles.
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2 };
enum : int {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};
// Stock objects.
enum : int {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  HOLLOW_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
};
// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
// Region results of the region and clipping calls.
#ifndef QUARLEN_REGION_RESULTS
#define QUARLEN_REGION_RESULTS
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
#endif
// Region combination modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Ternary raster operations of BitBlt and PatBlt (the named ones; every code whose third byte
// is the operation's truth table over pattern, source and destination is accepted).
enum : DWORD {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,
  SRCAND = 0x008800C6,
  SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328,
  NOTSRCCOPY = 0x00330008,
  NOTSRCERASE = 0x001100A6,
  MERGECOPY = 0x00C000CA,
  MERGEPAINT = 0x00BB0226,
  PATCOPY = 0x00F00021,
  PATPAINT = 0x00FB0A09,
  PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009,
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};
// Binary raster operations of pens and shape fills (SetROP2).
enum : int {
  R2_BLACK = 1,
  R2_NOTMERGEPEN = 2,
  R2_MASKNOTPEN = 3,
  R2_NOTCOPYPEN = 4,
  R2_MASKPENNOT = 5,
  R2_NOT = 6,
  R2_XORPEN = 7,
  R2_NOTMASKPEN = 8,
  R2_MASKPEN = 9,
  R2_NOTXORPEN = 10,
  R2_NOP = 11,
  R2_MERGENOTPEN = 12,
  R2_COPYPEN = 13,
  R2_MERGEPENNOT = 14,
  R2_MERGEPEN = 15,
  R2_WHITE = 16,
};
// Arc direction.
enum : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
// Font weights, qualities, pitch and family, character sets.
enum : LONG {
  FW_DONTCARE = 0,
  FW_THIN = 100,
  FW_EXTRALIGHT = 200,
  FW_LIGHT = 300,
  FW_NORMAL = 400,
  FW_MEDIUM = 500,
  FW_SEMIBOLD = 600,
  FW_BOLD = 700,
  FW_EXTRABOLD = 800,
  FW_HEAVY = 900,
};
enum : BYTE {
  DEFAULT_QUALITY = 0,
  DRAFT_QUALITY = 1,
  PROOF_QUALITY = 2,
  NONANTIALIASED_QUALITY = 3,
  ANTIALIASED_QUALITY = 4,
  CLEARTYPE_QUALITY = 5,
};
enum : BYTE {
  DEFAULT_PITCH = 0,
  FIXED_PITCH = 1,
  VARIABLE_PITCH = 2,
  FF_DONTCARE = 0x00,
  FF_ROMAN = 0x10,
  FF_SWISS = 0x20,
  FF_MODERN = 0x30,
  FF_SCRIPT = 0x40,
  FF_DECORATIVE = 0x50,
};
enum : BYTE { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255 };
enum : BYTE { TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04 };
constexpr int LF_FACESIZE = 32;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

struct LOGFONTW {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
};
using LOGFONT = LOGFONTW;
using PLOGFONTW = LOGFONTW*;
using LPLOGFONTW = LOGFONTW*;

struct TEXTMETRICW {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICW;
using LPTEXTMETRICW = TEXTMETRICW*;

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
};
struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};

// ---- Function-style interface (handles) ----
QUARLEN_API HGDIOBJ GetStockObject(int index);
QUARLEN_API BOOL DeleteObject(HGDIOBJ object);
QUARLEN_API HPEN CreatePen(int style, int width, COLORREF color);
QUARLEN_API HBRUSH CreateSolidBrush(COLORREF color);
QUARLEN_API HBRUSH CreateHatchBrush(int hatchStyle, COLORREF color);
QUARLEN_API HFONT CreateFontIndirectW(const LOGFONTW* logFont);
QUARLEN_API HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                                 const void* bits);
// Replaces the pixels of a colour bitmap with `count` bytes of 32-bit pixels (0xFFRRGGBB, rows
// of bmWidthBytes, top row first, copied as they are, as CreateBitmap takes them), as far as
// the bitmap and whole pixels reach. Returns the bytes copied; 0 for a monochrome bitmap, null
// bits or an invalid handle.
QUARLEN_API LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits);
QUARLEN_API HRGN CreateRectRgn(int left, int top, int right, int bottom);
QUARLEN_API HRGN CreateRectRgnIndirect(const RECT* rect);
QUARLEN_API HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
QUARLEN_API int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
QUARLEN_API BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
QUARLEN_API int GetRgnBox(HRGN rgn, RECT* rect);
QUARLEN_API BOOL PtInRegion(HRGN rgn, int x, int y);
QUARLEN_API int OffsetRgn(HRGN rgn, int dx, int dy);
QUARLEN_API BOOL EqualRgn(HRGN a, HRGN b);
// GetObject for pens, brushes, fonts and bitmaps: fills the record, returns bytes written.
QUARLEN_API int GetObjectW(HGDIOBJ object, int size, void* out);
// Flushes pending drawing of the calling thread; drawing here is never batched, so this only
// reports success.
QUARLEN_API BOOL GdiFlush();

namespace quarlen {
// Greyscale antialiasing of text in fonts whose quality leaves it to the system
// (DEFAULT_QUALITY, DRAFT_QUALITY, PROOF_QUALITY); on by default. NONANTIALIASED_QUALITY and
// ANTIALIASED_QUALITY/CLEARTYPE_QUALITY fonts ignore it. Applies to fonts created afterwards.
QUARLEN_API void SetFontSmoothing(bool on);
}  // namespace quarlen

// ---- Object classes ----
class QUARLEN_API CGdiObject {
 public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  // Takes ownership of a handle (the object deletes it in DeleteObject / the destructor).
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  // Deletes the owned handle; FALSE when there is none.
  BOOL DeleteObject();
  int GetObject(int size, void* out) const;
  BOOL CreateStockObject(int index);
  // The wrapper of a handle: the object that owns it, or a wrapper kept with the handle that
  // stays valid until the handle is deleted. Null for null or unknown handles.
  static CGdiObject* FromHandle(HGDIOBJ object);
};

class QUARLEN_API CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color);
  BOOL CreatePen(int style, int width, COLORREF color);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  static CPen* FromHandle(HPEN pen);
};

class QUARLEN_API CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color);
  CBrush(int hatchStyle, COLORREF color);
  BOOL CreateSolidBrush(COLORREF color);
  BOOL CreateHatchBrush(int hatchStyle, COLORREF color);
  BOOL CreateSysColorBrush(int index);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  static CBrush* FromHandle(HBRUSH brush);
};

class QUARLEN_API CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirect(const LOGFONTW* logFont);
  BOOL CreatePointFont(int pointSizeTenths, LPCWSTR faceName);
  int GetLogFont(LOGFONTW* out) const;
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  static CFont* FromHandle(HFONT font);
};

class CDC;
class QUARLEN_API CBitmap : public CGdiObject {
 public:
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  // Keeps the bitmap and replaces its pixels: the cheap way to show a fresh rendering of the
  // same size (see ::SetBitmapBits).
  DWORD SetBitmapBits(DWORD count, const void* bits);
  int GetBitmap(BITMAP* out) const;
  CSize GetBitmapDimension() const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  static CBitmap* FromHandle(HBITMAP bitmap);
};

class QUARLEN_API CRgn : public CGdiObject {
 public:
  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  BOOL CreateRectRgnIndirect(LPCRECT rect);
  BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
  int CombineRgn(CRgn* src1, CRgn* src2, int mode);
  int CopyRgn(CRgn* src);
  void SetRectRgn(int left, int top, int right, int bottom);
  void SetRectRgn(LPCRECT rect);
  int GetRgnBox(LPRECT rect) const;
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT point) const;
  int OffsetRgn(int dx, int dy);
  BOOL EqualRgn(CRgn* other) const;
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  static CRgn* FromHandle(HRGN region);
};
