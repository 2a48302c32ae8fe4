// Graphic objects: the handle table, creation and deletion, stock objects, regions.
#include "platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/dc.h"
#include "platform/detail/gdi_objects.h"
#include "platform/numeric.h"

namespace quarlen::detail {
namespace {

struct Entry {
  std::shared_ptr<GdiData> data;
  CGdiObject* owner = nullptr;
  std::unique_ptr<CGdiObject> wrapper;  // created on demand by FromHandle, never owns
};

struct Table {
  std::mutex lock;
  std::unordered_map<const void*, Entry> entries;
};

Table& table() {
  static Table* t = new Table;  // never destroyed: handles may be released during exit
  return *t;
}

std::unique_ptr<CGdiObject> NewWrapper(GdiKind kind) {
  switch (kind) {
    case GdiKind::Pen:
      return std::make_unique<CPen>();
    case GdiKind::Brush:
      return std::make_unique<CBrush>();
    case GdiKind::Font:
      return std::make_unique<CFont>();
    case GdiKind::Bitmap:
      return std::make_unique<CBitmap>();
    case GdiKind::Region:
      return std::make_unique<CRgn>();
    case GdiKind::Icon:
      return std::make_unique<CGdiObject>();
  }
  return nullptr;
}

}  // namespace

HGDIOBJ RegisterObject(std::shared_ptr<GdiData> data) {
  if (!data) return nullptr;
  HGDIOBJ h = data.get();
  std::lock_guard g(table().lock);
  table().entries[h].data = std::move(data);
  return h;
}

std::shared_ptr<GdiData> LookupObject(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard g(table().lock);
  auto it = table().entries.find(handle);
  return it == table().entries.end() ? nullptr : it->second.data;
}

BOOL UnregisterObject(const void* handle) {
  if (!handle) return FALSE;
  std::unique_ptr<CGdiObject> wrapper;
  std::shared_ptr<GdiData> data;
  {
    std::lock_guard g(table().lock);
    auto it = table().entries.find(handle);
    if (it == table().entries.end()) return FALSE;
    if (it->second.data->stock) return TRUE;
    wrapper = std::move(it->second.wrapper);
    data = std::move(it->second.data);
    table().entries.erase(it);
  }
  if (wrapper) wrapper->m_hObject = nullptr;
  return TRUE;  // wrapper and data are released here, outside the lock
}

void SetOwner(const void* handle, CGdiObject* owner) {
  std::lock_guard g(table().lock);
  auto it = table().entries.find(handle);
  if (it != table().entries.end()) it->second.owner = owner;
}

bool IsOwner(const void* handle, const CGdiObject* object) {
  std::lock_guard g(table().lock);
  auto it = table().entries.find(handle);
  return it != table().entries.end() && it->second.owner == object && !it->second.data->stock;
}

CGdiObject* WrapperOf(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard g(table().lock);
  auto it = table().entries.find(handle);
  if (it == table().entries.end()) return nullptr;
  if (it->second.owner) return it->second.owner;
  if (!it->second.wrapper) {
    it->second.wrapper = NewWrapper(it->second.data->kind);
    it->second.wrapper->m_hObject = const_cast<void*>(handle);
  }
  return it->second.wrapper.get();
}

std::shared_ptr<BitmapData> MakeBitmap(int width, int height, bool monochrome, bool cleared) {
  // Bitmaps beyond 32768 pixels a side or 2^28 pixels are refused (CreateBitmap fails).
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768 ||
      static_cast<long long>(width) * height > (1LL << 28))
    return nullptr;
  auto b = std::make_shared<BitmapData>();
  if (cleared) {
    b->surface = MakeSurface(width, height, 0xFF000000u);
  } else {
    b->surface = std::make_shared<Surface>();
    b->surface->image = QImage(width, height, QImage::Format_RGB32);
  }
  if (b->surface->image.isNull()) return nullptr;
  b->monochrome = monochrome;
  return b;
}

HBITMAP BitmapFromImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  auto b = std::make_shared<BitmapData>();
  b->surface = std::make_shared<Surface>();
  b->surface->image = image.convertToFormat(QImage::Format_RGB32);
  return static_cast<HBITMAP>(RegisterObject(b));
}

HICON IconFromImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  auto i = std::make_shared<IconData>();
  i->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return static_cast<HICON>(RegisterObject(i));
}

std::shared_ptr<Surface> MakeSurface(int width, int height, unsigned fill) {
  auto s = std::make_shared<Surface>();
  if (width > 0 && height > 0) {
    s->image = QImage(width, height, QImage::Format_RGB32);
    s->image.fill(fill);
  }
  return s;
}

std::shared_ptr<Surface> SurfaceOfBitmap(HBITMAP hbm) {
  auto b = Lookup<BitmapData>(hbm, GdiKind::Bitmap);
  return b ? b->surface : nullptr;
}

QRegion* RegionOf(HRGN hrgn) {
  auto r = Lookup<RegionData>(hrgn, GdiKind::Region);
  return r ? &r->region : nullptr;  // the table keeps the data alive until DeleteObject
}

HRGN CreateRegionHandle(const QRegion& region) {
  auto r = std::make_shared<RegionData>();
  r->region = region;
  return static_cast<HRGN>(RegisterObject(r));
}

}  // namespace quarlen::detail

using namespace quarlen::detail;
using quarlen::ClampDrawingCoord;

namespace {

int Complexity(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Normalised half-open rectangle as a QRect; empty when degenerate. Coordinates are clamped
// so that the width stays representable.
QRect NormRect(long long l, long long t, long long r, long long b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const int cl = ClampDrawingCoord(l), ct = ClampDrawingCoord(t);
  return QRect(cl, ct, ClampDrawingCoord(r) - cl, ClampDrawingCoord(b) - ct);
}

struct StockTable {
  HGDIOBJ objects[20] = {};
  StockTable() {
    auto pen = [](COLORREF c, int style) {
      auto p = std::make_shared<PenData>();
      p->style = style;
      p->color = c;
      p->stock = true;
      return RegisterObject(p);
    };
    auto brush = [](COLORREF c, UINT style) {
      auto b = std::make_shared<BrushData>();
      b->style = style;
      b->color = c;
      b->stock = true;
      return RegisterObject(b);
    };
    auto font = [](LONG height, LONG weight, BYTE pitchFamily) {
      LOGFONTW lf{};
      lf.lfHeight = height;
      lf.lfWeight = weight;
      lf.lfPitchAndFamily = pitchFamily;
      auto f = MakeFont(lf);
      f->stock = true;
      return RegisterObject(f);
    };
    objects[WHITE_BRUSH] = brush(RGB(255, 255, 255), BS_SOLID);
    objects[LTGRAY_BRUSH] = brush(RGB(192, 192, 192), BS_SOLID);
    objects[GRAY_BRUSH] = brush(RGB(128, 128, 128), BS_SOLID);
    objects[DKGRAY_BRUSH] = brush(RGB(64, 64, 64), BS_SOLID);
    objects[BLACK_BRUSH] = brush(RGB(0, 0, 0), BS_SOLID);
    objects[NULL_BRUSH] = brush(0, BS_NULL);
    objects[WHITE_PEN] = pen(RGB(255, 255, 255), PS_SOLID);
    objects[BLACK_PEN] = pen(RGB(0, 0, 0), PS_SOLID);
    objects[NULL_PEN] = pen(0, PS_NULL);
    // Fonts: a 13-pixel cell sans-serif for the variable-pitch font (the usual look of the
    // classic small system font), fixed-pitch faces for the fixed fonts.
    objects[OEM_FIXED_FONT] = font(12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    objects[ANSI_FIXED_FONT] = font(12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    objects[ANSI_VAR_FONT] = font(13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    objects[SYSTEM_FONT] = font(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    objects[DEVICE_DEFAULT_FONT] = objects[SYSTEM_FONT];
    objects[SYSTEM_FIXED_FONT] = font(16, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    objects[DEFAULT_GUI_FONT] = font(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
  }
};

}  // namespace

HGDIOBJ GetStockObject(int index) {
  static StockTable* stock = new StockTable;
  if (index < 0 || index >= 20) return nullptr;
  return stock->objects[index];
}

BOOL DeleteObject(HGDIOBJ object) { return UnregisterObject(object); }

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  auto p = std::make_shared<PenData>();
  p->width = std::clamp(width, 1, 4096);  // width 0 means one pixel
  // Styled pens wider than one pixel become solid.
  p->style = (p->width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) ? PS_SOLID : style;
  p->color = color & 0x00FFFFFFu;
  return static_cast<HPEN>(RegisterObject(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_shared<BrushData>();
  b->color = color & 0x00FFFFFFu;
  return static_cast<HBRUSH>(RegisterObject(b));
}

HBRUSH CreateHatchBrush(int hatchStyle, COLORREF color) {
  if (hatchStyle < HS_HORIZONTAL || hatchStyle > HS_DIAGCROSS) return nullptr;
  auto b = std::make_shared<BrushData>();
  b->style = BS_HATCHED;
  b->hatch = hatchStyle;
  b->color = color & 0x00FFFFFFu;
  return static_cast<HBRUSH>(RegisterObject(b));
}

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
  if (!logFont) return nullptr;
  return static_cast<HFONT>(RegisterObject(MakeFont(*logFont)));
}

namespace {
// Copies `count` 32-bit pixels, rows of the image's width from the top, into `img`, as they are.
void CopyPixels(QImage& img, const void* bits, std::size_t count) {
  const auto* from = static_cast<const char*>(bits);
  const std::size_t rowBytes = std::size_t(img.width()) * 4;
  for (std::size_t y = 0, left = count * 4; left != 0; ++y) {
    const std::size_t n = std::min(rowBytes, left);
    std::memcpy(img.scanLine(int(y)), from + y * rowBytes, n);
    left -= n;
  }
}
}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  const bool given = bits != nullptr && bitsPerPixel == 32;  // every pixel is written below
  auto b = MakeBitmap(width, height, planes == 1 && bitsPerPixel == 1, !given);
  if (!b) return nullptr;
  if (given) CopyPixels(b->surface->image, bits, std::size_t(width) * height);
  return static_cast<HBITMAP>(RegisterObject(b));
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits) {
  auto b = Lookup<BitmapData>(bitmap, GdiKind::Bitmap);
  if (!b || b->monochrome || bits == nullptr) return 0;
  Surface& surface = *b->surface;
  std::lock_guard g(surface.lock);
  QImage& img = surface.image;
  const std::size_t pixels =
      std::min<std::size_t>(count / 4, std::size_t(img.width()) * img.height());  // whole ones
  if (pixels == 0) return 0;
  CopyPixels(img, bits, pixels);
  ReportDrawn(surface, QRect(0, 0, img.width(), int((pixels + img.width() - 1) / img.width())));
  return LONG(pixels * 4);
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return CreateRegionHandle(QRegion(NormRect(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return CreateRegionHandle(QRegion(NormRect(left, top, right, bottom), QRegion::Ellipse));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  QRegion* d = RegionOf(dest);
  QRegion* a = RegionOf(src1);
  if (!d || !a) return ERROR;
  QRegion* b = RegionOf(src2);
  if (mode != RGN_COPY && !b) return ERROR;
  switch (mode) {
    case RGN_AND:
      *d = *a & *b;
      break;
    case RGN_OR:
      *d = *a | *b;
      break;
    case RGN_XOR:
      *d = *a ^ *b;
      break;
    case RGN_DIFF:
      *d = *a - *b;
      break;
    case RGN_COPY:
      *d = *a;
      break;
    default:
      return ERROR;
  }
  return Complexity(*d);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  QRegion* r = RegionOf(rgn);
  if (!r) return FALSE;
  *r = QRegion(NormRect(left, top, right, bottom));
  return TRUE;
}

int GetRgnBox(HRGN rgn, RECT* rect) {
  QRegion* r = RegionOf(rgn);
  if (!r || !rect) return ERROR;
  QRect b = r->boundingRect();
  if (r->isEmpty()) b = QRect();
  rect->left = b.x();
  rect->top = b.y();
  rect->right = b.x() + b.width();
  rect->bottom = b.y() + b.height();
  return Complexity(*r);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  QRegion* r = RegionOf(rgn);
  return r && r->contains(QPoint(x, y)) ? TRUE : FALSE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  QRegion* r = RegionOf(rgn);
  if (!r) return ERROR;
  r->translate(dx, dy);
  return Complexity(*r);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  QRegion* ra = RegionOf(a);
  QRegion* rb = RegionOf(b);
  return ra && rb && *ra == *rb ? TRUE : FALSE;
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
  auto d = LookupObject(object);
  if (!d) return 0;
  auto copy = [&](const auto& rec) {
    if (!out) return int(sizeof(rec));
    if (size < int(sizeof(rec))) return 0;
    std::memcpy(out, &rec, sizeof(rec));
    return int(sizeof(rec));
  };
  switch (d->kind) {
    case GdiKind::Pen: {
      auto p = std::static_pointer_cast<PenData>(d);
      LOGPEN lp{UINT(p->style), POINT{p->width, 0}, p->color};
      return copy(lp);
    }
    case GdiKind::Brush: {
      auto b = std::static_pointer_cast<BrushData>(d);
      LOGBRUSH lb{b->style, b->color, ULONG_PTR(b->hatch)};
      return copy(lb);
    }
    case GdiKind::Font:
      return copy(std::static_pointer_cast<FontData>(d)->logFont);
    case GdiKind::Bitmap: {
      auto b = std::static_pointer_cast<BitmapData>(d);
      std::lock_guard g(b->surface->lock);
      BITMAP bm{0,
                b->surface->image.width(),
                b->surface->image.height(),
                b->surface->image.width() * 4,
                1,
                WORD(b->monochrome ? 1 : 32),
                nullptr};
      return copy(bm);
    }
    default:
      return 0;
  }
}

BOOL GdiFlush() { return TRUE; }

// ---- CGdiObject and friends ----

CGdiObject::~CGdiObject() {
  if (m_hObject && IsOwner(m_hObject, this)) UnregisterObject(m_hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (!object || !LookupObject(object)) return FALSE;
  m_hObject = object;
  SetOwner(object, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (h && IsOwner(h, this)) SetOwner(h, nullptr);
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  HGDIOBJ h = Detach();
  return UnregisterObject(h);
}

int CGdiObject::GetObject(int size, void* out) const { return GetObjectW(m_hObject, size, out); }

BOOL CGdiObject::CreateStockObject(int index) {
  HGDIOBJ h = GetStockObject(index);
  if (!h) return FALSE;
  m_hObject = h;  // stock objects are never owned
  return TRUE;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) { return WrapperOf(object); }

CPen::CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
BOOL CPen::CreatePen(int style, int width, COLORREF color) {
  return Attach(::CreatePen(style, width, color));
}
CPen* CPen::FromHandle(HPEN pen) {
  return Lookup<PenData>(pen, GdiKind::Pen) ? static_cast<CPen*>(WrapperOf(pen)) : nullptr;
}

CBrush::CBrush(COLORREF color) { CreateSolidBrush(color); }
CBrush::CBrush(int hatchStyle, COLORREF color) { CreateHatchBrush(hatchStyle, color); }
BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
BOOL CBrush::CreateHatchBrush(int hatchStyle, COLORREF color) {
  return Attach(::CreateHatchBrush(hatchStyle, color));
}
BOOL CBrush::CreateSysColorBrush(int index) {
  return Attach(::CreateSolidBrush(GetSysColor(index)));
}
CBrush* CBrush::FromHandle(HBRUSH brush) {
  return Lookup<BrushData>(brush, GdiKind::Brush) ? static_cast<CBrush*>(WrapperOf(brush))
                                                  : nullptr;
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont) {
  return Attach(::CreateFontIndirectW(logFont));
}
BOOL CFont::CreatePointFont(int pointSizeTenths, LPCWSTR faceName) {
  LOGFONTW lf{};
  lf.lfHeight = -((pointSizeTenths * 96 / 72 + 5) / 10);  // 96 pixels per inch
  if (faceName) {
    for (int i = 0; i < LF_FACESIZE - 1 && faceName[i]; ++i) lf.lfFaceName[i] = faceName[i];
  }
  return CreateFontIndirect(&lf);
}
int CFont::GetLogFont(LOGFONTW* out) const { return GetObjectW(m_hObject, sizeof(LOGFONTW), out); }
CFont* CFont::FromHandle(HFONT font) {
  return Lookup<FontData>(font, GdiKind::Font) ? static_cast<CFont*>(WrapperOf(font)) : nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->GetSafeHdc() : nullptr, width, height));
}
BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
  return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}
DWORD CBitmap::SetBitmapBits(DWORD count, const void* bits) {
  return DWORD(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits));
}
int CBitmap::GetBitmap(BITMAP* out) const { return GetObjectW(m_hObject, sizeof(BITMAP), out); }
CSize CBitmap::GetBitmapDimension() const {
  BITMAP bm{};
  if (!GetBitmap(&bm)) return CSize(0, 0);
  return CSize(bm.bmWidth, bm.bmHeight);
}
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
  return Lookup<BitmapData>(bitmap, GdiKind::Bitmap) ? static_cast<CBitmap*>(WrapperOf(bitmap))
                                                     : nullptr;
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  return Attach(::CreateRectRgn(left, top, right, bottom));
}
BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect) { return Attach(::CreateRectRgnIndirect(rect)); }
BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom) {
  return Attach(::CreateEllipticRgn(left, top, right, bottom));
}
int CRgn::CombineRgn(CRgn* src1, CRgn* src2, int mode) {
  return ::CombineRgn(*this, src1 ? HRGN(*src1) : nullptr, src2 ? HRGN(*src2) : nullptr, mode);
}
int CRgn::CopyRgn(CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
void CRgn::SetRectRgn(int left, int top, int right, int bottom) {
  ::SetRectRgn(*this, left, top, right, bottom);
}
void CRgn::SetRectRgn(LPCRECT rect) {
  if (rect) ::SetRectRgn(*this, rect->left, rect->top, rect->right, rect->bottom);
}
int CRgn::GetRgnBox(LPRECT rect) const { return ::GetRgnBox(*this, rect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
BOOL CRgn::PtInRegion(POINT point) const { return ::PtInRegion(*this, point.x, point.y); }
int CRgn::OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
BOOL CRgn::EqualRgn(CRgn* other) const { return other && ::EqualRgn(*this, *other); }
CRgn* CRgn::FromHandle(HRGN region) {
  return Lookup<RegionData>(region, GdiKind::Region) ? static_cast<CRgn*>(WrapperOf(region))
                                                     : nullptr;
}
