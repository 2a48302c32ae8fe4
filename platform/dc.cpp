// CDC: state, targets and clipping, and the shape, fill and bitmap calls, which set up the
// pixel routines of detail/raster over the locked target image (wide pens are stroked by Qt).
#include "platform/dc.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <numbers>
#include <unordered_map>
#include <utility>

#include "platform/detail/dc_impl.h"
#include "platform/detail/device_pixels.h"
#include "platform/detail/raster.h"
#include "platform/detail/text.h"
#include "platform/dpi.h"
#include "platform/numeric.h"

namespace quarlen::detail {

// ---- Live DC handles ----
namespace {
struct DCTable {
  std::mutex lock;
  std::unordered_map<HDC, CDC*> live;
  std::uintptr_t next = 0x1000;
};
DCTable& dcTable() {
  static DCTable* t = new DCTable;
  return *t;
}
}  // namespace

HDC NewDCHandle(CDC* dc) {
  std::lock_guard g(dcTable().lock);
  HDC h = reinterpret_cast<HDC>(dcTable().next);
  dcTable().next += 16;
  dcTable().live[h] = dc;
  return h;
}

void ReleaseDCHandle(HDC h) {
  if (!h) return;
  std::lock_guard g(dcTable().lock);
  dcTable().live.erase(h);
}

CDC* LookupDC(HDC h) {
  if (!h) return nullptr;
  std::lock_guard g(dcTable().lock);
  auto it = dcTable().live.find(h);
  return it == dcTable().live.end() ? nullptr : it->second;
}

QString ToQString(const wchar_t* text, int count) {
  if (!text) return QString();
  size_t n = count < 0 ? std::wcslen(text) : size_t(count);
  return QString::fromWCharArray(text, qsizetype(std::min<size_t>(n, 1u << 24)));
}

// ---- State ----

void DCImpl::ResetState() {
  st = DCState{};
  auto sel = [](HGDIOBJ h, auto& data, HGDIOBJ& handle, GdiKind k) {
    using T = typename std::remove_reference_t<decltype(data)>::element_type;
    data = Lookup<T>(h, k);
    handle = h;
  };
  sel(GetStockObject(BLACK_PEN), st.pen, st.hPen, GdiKind::Pen);
  sel(GetStockObject(WHITE_BRUSH), st.brush, st.hBrush, GdiKind::Brush);
  sel(GetStockObject(SYSTEM_FONT), st.font, st.hFont, GdiKind::Font);
  if (memory) {
    st.bitmap = defaultBitmap;
    st.hBitmap = hDefaultBitmap;
  }
  saved.clear();
  clipValid = false;
}

std::shared_ptr<Surface> DCImpl::Target() const {
  if (memory) return st.bitmap ? st.bitmap->surface : nullptr;
  return attached ? window : nullptr;
}

bool DCImpl::Begin(Draw& d) {
  d.s = Target();
  if (!d.s) return false;
  d.lock = std::unique_lock(d.s->lock);
  QImage& img = d.s->image;
  if (img.isNull()) return false;
  if (img.format() != QImage::Format_RGB32) img = img.convertToFormat(QImage::Format_RGB32);
  UpdateClip(d.s.get());
  d.region = &effective;
  d.t.bits = reinterpret_cast<std::uint32_t*>(img.bits());
  d.t.stride = img.bytesPerLine() / 4;
  d.t.width = img.width();
  d.t.height = img.height();
  d.t.clip = rects.data();
  d.t.clipCount = int(rects.size());
  d.t.clipBounds = bounds;
  return !rects.empty();
}

void DCImpl::UpdateClip(const Surface* s) {
  const QSize size = s->image.size();
  if (clipValid && clipSurface == s && clipSize == size) return;
  QRegion r(QRect(QPoint(0, 0), size));
  if (!memory) r &= base;
  if (st.hasClip) r &= st.clip;
  effective = r;
  rects.assign(r.begin(), r.end());
  bounds = r.boundingRect();
  clipValid = true;
  clipSurface = s;
  clipSize = size;
}

Draw::~Draw() {
  if (s && !t.dirty.isEmpty()) ReportDrawn(*s, t.dirty & t.clipBounds);
}

void ReportDrawn(Surface& surface, const QRect& deviceRect) {
  if (deviceRect.isEmpty()) return;
  if (surface.composing > 0) {
    surface.composed |= deviceRect;
  } else if (surface.onDrawn) {
    surface.onDrawn(deviceRect);
  }
}

void BeginComposition(Surface& surface) {
  std::lock_guard lock(surface.lock);
  ++surface.composing;
}

void EndComposition(Surface& surface) {
  std::lock_guard lock(surface.lock);
  if (surface.composing == 0 || --surface.composing > 0) return;
  QRegion drawn;
  drawn.swap(surface.composed);
  if (!surface.onDrawn) return;
  for (const QRect& r : drawn) surface.onDrawn(r);
}

}  // namespace quarlen::detail

using namespace quarlen::detail;
using quarlen::ClampDrawingCoord;

namespace {

using quarlen::PixelWide;

constexpr int kMaxSaved = 4096;

bool BrushPaint(const DCImpl& d, const BrushData* b, Paint& p) {
  if (!b || b->style == BS_NULL) return false;
  p.color = Px(b->color);
  if (b->style == BS_HATCHED) {
    p.kind = Paint::Hatch;
    p.pattern = HatchRows(b->hatch);
    p.gap = Px(d.st.bk);
    p.opaqueGaps = d.st.bkMode == OPAQUE;
    p.originX = d.st.brushOrg.x();
    p.originY = d.st.brushOrg.y();
  } else {
    p.kind = Paint::Solid;
  }
  return true;
}

// The cosmetic pen of the DC, or false for a null pen.
bool CosmeticPen(const DCImpl& d, LinePen& lp) {
  const PenData* p = d.st.pen.get();
  if (!p || p->style == PS_NULL) return false;
  lp.color = Px(p->color);
  DashPattern(p->style, &lp.dashes, &lp.dashCount, &lp.period);
  lp.opaqueGaps = d.st.bkMode == OPAQUE;
  lp.gap = Px(d.st.bk);
  lp.mix = d.st.rop2;
  return true;
}

int PenWidth(const DCImpl& d) {
  const PenData* p = d.st.pen.get();
  if (!p || p->style == PS_NULL) return 0;
  return p->width;
}

QColor QColorOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Wide (geometric) pens are stroked by Qt: round caps and joins, aliased, in device space.
void StrokeWide(Draw& d, const DCImpl& impl, const QPainterPath& path, const QRect& bounds) {
  const int w = impl.st.pen->width;
  QPen pen(QColorOf(impl.st.pen->color), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  if (impl.st.rop2 == R2_COPYPEN) {
    QPainter p(&d.s->image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(*d.region);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    d.t.Touch(bounds.adjusted(-w, -w, w, w) & d.t.clipBounds);
    return;
  }
  // Another mix: the stroke is drawn into a mask first, so that every pixel of it is combined
  // with the destination exactly once.
  const QRect area = bounds.adjusted(-w, -w, w, w) & d.t.clipBounds;
  if (area.isEmpty()) return;
  QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(-area.x(), -area.y());
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  MixMask(d.t, mask, area.x(), area.y(), Px(impl.st.pen->color), impl.st.rop2);
}

// True when every segment of the device polyline is horizontal or vertical.
bool AxisAligned(const std::vector<P64>& pts) {
  for (size_t i = 0; i + 1 < pts.size(); ++i)
    if (pts[i].x != pts[i + 1].x && pts[i].y != pts[i + 1].y) return false;
  return true;
}

QRect QRectOf(PixelWide l, PixelWide t, PixelWide r, PixelWide b) {
  return QRect(ClampDrawingCoord(l), ClampDrawingCoord(t),
               ClampDrawingCoord(r) - ClampDrawingCoord(l),
               ClampDrawingCoord(b) - ClampDrawingCoord(t));
}

int Complexity(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

// ---- Construction, targets ----

CDC::CDC() : m_impl(std::make_unique<DCImpl>()) {
  m_impl->owner = this;
  m_impl->ResetState();
}

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hdc) { return LookupDC(hdc); }

void CDC::AttachSurface(std::shared_ptr<Surface> surface, const QRegion& baseClip) {
  DeleteDC();
  if (!surface) return;
  m_impl->window = std::move(surface);
  m_impl->base = baseClip;
  m_impl->attached = true;
  m_impl->ResetState();
  m_hDC = NewDCHandle(this);
}

void CDC::SetBaseClip(const QRegion& baseClip) {
  m_impl->base = baseClip;
  m_impl->clipValid = false;
}

void CDC::DetachSurface() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  const int dpi =
      dc && dc != this && dc->GetSafeHdc() ? dc->GetDeviceCaps(LOGPIXELSY) : ScreenDpi();
  DeleteDC();
  m_impl->memory = true;
  m_impl->dpi = dpi;
  // A fresh memory DC draws into a 1x1 monochrome bitmap until a real one is selected: one stock
  // bitmap that every memory DC shares, as on Windows, so making a memory DC allocates no pixels
  // (repaints make one per clip rectangle to copy from a kept image).
  static const auto stockDefault = [] {
    auto b = MakeBitmap(1, 1, true);
    b->stock = true;  // DeleteObject leaves it alone
    return std::pair{b, RegisterObject(b)};
  }();
  m_impl->defaultBitmap = stockDefault.first;
  m_impl->hDefaultBitmap = stockDefault.second;
  m_impl->ResetState();
  m_hDC = NewDCHandle(this);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC && !m_impl->attached && !m_impl->memory) return FALSE;
  ReleaseDCHandle(m_hDC);
  m_hDC = nullptr;
  m_impl->attached = false;
  m_impl->memory = false;
  m_impl->window.reset();
  m_impl->base = QRegion();
  m_impl->hDefaultBitmap = nullptr;
  m_impl->defaultBitmap.reset();
  m_impl->ResetState();
  return TRUE;
}

bool CDC::IsMemoryDC() const { return m_impl->memory; }

int CDC::GetDeviceCaps(int index) const {
  if (!m_hDC) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
      return m_impl->attached && m_impl->window ? m_impl->window->dpi.load() : m_impl->dpi;
    case HORZRES:
    case VERTRES: {
      auto s = m_impl->Target();
      if (!s) return 0;
      std::lock_guard g(s->lock);
      return index == HORZRES ? s->image.width() : s->image.height();
    }
    default:
      return 0;
  }
}

// ---- Objects ----

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
  auto data = LookupObject(object);
  if (!data) return nullptr;
  DCState& s = m_impl->st;
  HGDIOBJ old = nullptr;
  switch (data->kind) {
    case GdiKind::Pen:
      old = s.hPen;
      s.pen = std::static_pointer_cast<PenData>(data);
      s.hPen = object;
      break;
    case GdiKind::Brush:
      old = s.hBrush;
      s.brush = std::static_pointer_cast<BrushData>(data);
      s.hBrush = object;
      break;
    case GdiKind::Font:
      old = s.hFont;
      s.font = std::static_pointer_cast<FontData>(data);
      s.hFont = object;
      break;
    case GdiKind::Bitmap:
      if (!m_impl->memory) return nullptr;  // only memory DCs take bitmaps
      old = s.hBitmap;
      s.bitmap = std::static_pointer_cast<BitmapData>(data);
      s.hBitmap = object;
      m_impl->clipValid = false;
      break;
    case GdiKind::Region:
      // Selecting a region sets the clip; the result is the region type, not an object.
      ExtSelectClipRgn(static_cast<HRGN>(object), RGN_COPY);
      return nullptr;
    default:
      return nullptr;
  }
  return old;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen) return nullptr;
  return CPen::FromHandle(static_cast<HPEN>(SelectObject(pen->m_hObject)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush) return nullptr;
  return CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(brush->m_hObject)));
}
CFont* CDC::SelectObject(CFont* font) {
  if (!font) return nullptr;
  return CFont::FromHandle(static_cast<HFONT>(SelectObject(font->m_hObject)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!bitmap) return nullptr;
  return CBitmap::FromHandle(static_cast<HBITMAP>(SelectObject(bitmap->m_hObject)));
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!object) return nullptr;
  return CGdiObject::FromHandle(SelectObject(object->m_hObject));
}
int CDC::SelectObject(CRgn* region) { return SelectClipRgn(region); }

CGdiObject* CDC::SelectStockObject(int index) {
  HGDIOBJ h = GetStockObject(index);
  return h ? CGdiObject::FromHandle(SelectObject(h)) : nullptr;
}

CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(m_impl->st.hPen)); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(m_impl->st.hBrush));
}
CFont* CDC::GetCurrentFont() const {
  return CFont::FromHandle(static_cast<HFONT>(m_impl->st.hFont));
}
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(m_impl->st.hBitmap));
}

// ---- State ----

int CDC::SaveDC() {
  if (!m_hDC || m_impl->saved.size() >= kMaxSaved) return 0;
  m_impl->saved.push_back(m_impl->st);
  return int(m_impl->saved.size());
}

BOOL CDC::RestoreDC(int savedDC) {
  const int n = int(m_impl->saved.size());
  const int index = savedDC > 0 ? savedDC : n + savedDC + 1;  // -1: the most recent
  if (savedDC == 0 || index < 1 || index > n) return FALSE;
  m_impl->st = m_impl->saved[size_t(index - 1)];
  m_impl->saved.resize(size_t(index - 1));
  m_impl->clipValid = false;
  return TRUE;
}

COLORREF CDC::SetBkColor(COLORREF color) {
  return std::exchange(m_impl->st.bk, color & 0x00FFFFFFu);
}
COLORREF CDC::GetBkColor() const { return m_impl->st.bk; }
int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m_impl->st.bkMode, mode);
}
int CDC::GetBkMode() const { return m_impl->st.bkMode; }
COLORREF CDC::SetTextColor(COLORREF color) {
  return std::exchange(m_impl->st.text, color & 0x00FFFFFFu);
}
COLORREF CDC::GetTextColor() const { return m_impl->st.text; }
UINT CDC::SetTextAlign(UINT flags) { return std::exchange(m_impl->st.align, flags); }
UINT CDC::GetTextAlign() const { return m_impl->st.align; }
CPoint CDC::SetBrushOrg(int x, int y) {
  const QPoint old = m_impl->st.brushOrg;
  m_impl->st.brushOrg = QPoint(((x % 8) + 8) % 8, ((y % 8) + 8) % 8);
  return CPoint(old.x(), old.y());
}
CPoint CDC::SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }
CPoint CDC::GetBrushOrg() const { return CPoint(m_impl->st.brushOrg.x(), m_impl->st.brushOrg.y()); }
int CDC::SetArcDirection(int direction) {
  if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE) return 0;
  return std::exchange(m_impl->st.arcDir, direction);
}
int CDC::GetArcDirection() const { return m_impl->st.arcDir; }
int CDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(m_impl->st.rop2, mode);
}
int CDC::GetROP2() const { return m_impl->st.rop2; }
CPoint CDC::SetViewportOrg(int x, int y) {
  const CPoint old = m_impl->st.vpOrg;
  m_impl->st.vpOrg = CPoint(x, y);
  return old;
}
CPoint CDC::SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint old = m_impl->st.vpOrg;
  m_impl->st.vpOrg =
      CPoint(quarlen::detail::AddLong(old.x, dx), quarlen::detail::AddLong(old.y, dy));
  return old;
}
CPoint CDC::GetViewportOrg() const { return m_impl->st.vpOrg; }
CPoint CDC::SetWindowOrg(int x, int y) {
  const CPoint old = m_impl->st.winOrg;
  m_impl->st.winOrg = CPoint(x, y);
  return old;
}
CPoint CDC::SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
CPoint CDC::GetWindowOrg() const { return m_impl->st.winOrg; }

void CDC::LPtoDP(LPPOINT points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) {
    points[i].x = quarlen::detail::ClampLong(m_impl->DevX(points[i].x));
    points[i].y = quarlen::detail::ClampLong(m_impl->DevY(points[i].y));
  }
}
void CDC::LPtoDP(LPRECT rect) const {
  if (rect) LPtoDP(reinterpret_cast<LPPOINT>(rect), 2);
}
void CDC::DPtoLP(LPPOINT points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) {
    points[i].x = quarlen::detail::ClampLong(m_impl->LogX(points[i].x));
    points[i].y = quarlen::detail::ClampLong(m_impl->LogY(points[i].y));
  }
}
void CDC::DPtoLP(LPRECT rect) const {
  if (rect) DPtoLP(reinterpret_cast<LPPOINT>(rect), 2);
}
CPoint CDC::GetCurrentPosition() const { return m_impl->st.cp; }

// ---- Clipping ----

int CDC::SelectClipRgn(CRgn* region) {
  return ExtSelectClipRgn(region ? static_cast<HRGN>(region->m_hObject) : nullptr, RGN_COPY);
}
int CDC::SelectClipRgn(CRgn* region, int mode) {
  return ExtSelectClipRgn(region ? static_cast<HRGN>(region->m_hObject) : nullptr, mode);
}

int CDC::ExtSelectClipRgn(HRGN region, int mode) {
  DCState& s = m_impl->st;
  QRegion* r = RegionOf(region);
  if (!region) {
    if (mode != RGN_COPY) return ERROR;
    s.hasClip = false;
    s.clip = QRegion();
  } else {
    if (!r) return ERROR;
    // Without an application clip the current clip is the whole surface.
    const QRegion current = s.hasClip ? s.clip : m_impl->WholeSurface();
    switch (mode) {
      case RGN_AND:
        s.clip = current & *r;
        break;
      case RGN_OR:
        s.clip = current | *r;
        break;
      case RGN_XOR:
        s.clip = current ^ *r;
        break;
      case RGN_DIFF:
        s.clip = current - *r;
        break;
      case RGN_COPY:
        s.clip = *r;
        break;
      default:
        return ERROR;
    }
    s.hasClip = true;
  }
  m_impl->clipValid = false;
  return Complexity(m_impl->VisibleClip());
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  DCState& s = m_impl->st;
  const QRect r =
      QRectOf(m_impl->DevX(left), m_impl->DevY(top), m_impl->DevX(right), m_impl->DevY(bottom));
  s.clip = (s.hasClip ? s.clip : m_impl->WholeSurface()) & r.normalized();
  if (right <= left || bottom <= top) s.clip = QRegion();
  s.hasClip = true;
  m_impl->clipValid = false;
  return Complexity(m_impl->VisibleClip());
}
int CDC::IntersectClipRect(LPCRECT rc) {
  return rc ? IntersectClipRect(rc->left, rc->top, rc->right, rc->bottom) : ERROR;
}
int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  DCState& s = m_impl->st;
  const QRect r =
      QRectOf(m_impl->DevX(left), m_impl->DevY(top), m_impl->DevX(right), m_impl->DevY(bottom));
  s.clip = s.hasClip ? s.clip : m_impl->WholeSurface();
  if (right > left && bottom > top) s.clip -= r;
  s.hasClip = true;
  m_impl->clipValid = false;
  return Complexity(m_impl->VisibleClip());
}
int CDC::ExcludeClipRect(LPCRECT rc) {
  return rc ? ExcludeClipRect(rc->left, rc->top, rc->right, rc->bottom) : ERROR;
}

int CDC::GetClipBox(LPRECT rect) const {
  if (!rect) return ERROR;
  const QRegion v = m_impl->VisibleClip();
  const QRect b = v.isEmpty() ? QRect() : v.boundingRect();
  if (v.isEmpty()) {
    *rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  rect->left = quarlen::detail::ClampLong(m_impl->LogX(b.x()));
  rect->top = quarlen::detail::ClampLong(m_impl->LogY(b.y()));
  rect->right = quarlen::detail::ClampLong(m_impl->LogX(PixelWide(b.x()) + b.width()));
  rect->bottom = quarlen::detail::ClampLong(m_impl->LogY(PixelWide(b.y()) + b.height()));
  return Complexity(v);
}

BOOL CDC::PtVisible(int x, int y) const {
  const PixelWide dx = m_impl->DevX(x), dy = m_impl->DevY(y);
  if (std::abs(dx) > (1 << 30) || std::abs(dy) > (1 << 30)) return FALSE;
  return m_impl->VisibleClip().contains(QPoint(int(dx), int(dy))) ? TRUE : FALSE;
}

BOOL CDC::RectVisible(LPCRECT rc) const {
  if (!rc) return FALSE;
  const QRect r = QRectOf(m_impl->DevX(rc->left), m_impl->DevY(rc->top), m_impl->DevX(rc->right),
                          m_impl->DevY(rc->bottom));
  return m_impl->VisibleClip().intersects(r.normalized()) ? TRUE : FALSE;
}

// ---- Lines ----

CPoint CDC::MoveTo(int x, int y) {
  const CPoint old = m_impl->st.cp;
  m_impl->st.cp = CPoint(x, y);
  return old;
}
CPoint CDC::MoveTo(POINT p) { return MoveTo(p.x, p.y); }

BOOL CDC::LineTo(int x, int y) {
  const POINT pts[2] = {m_impl->st.cp, POINT{x, y}};
  m_impl->st.cp = CPoint(x, y);
  if (!m_hDC) return FALSE;
  m_impl->Polyline(pts, 2);
  return TRUE;
}
BOOL CDC::LineTo(POINT p) { return LineTo(p.x, p.y); }

BOOL CDC::Polyline(const POINT* points, int count) {
  if (!points || count < 2 || !m_hDC) return FALSE;
  m_impl->Polyline(points, count);
  return TRUE;
}

void DCImpl::Polyline(const POINT* pts, int count) {
  const int w = PenWidth(*this);
  if (w == 0) return;
  if (vector) {
    std::vector<QPointF> dev;
    for (int i = 0; i < count; ++i)
      dev.emplace_back(double(ClampDrawingCoord(DevX(pts[i].x))),
                       double(ClampDrawingCoord(DevY(pts[i].y))));
    VectorPolyline(*this, dev.data(), count);
  }
  Draw d;
  if (!Begin(d)) return;
  if (w > 1) {
    std::vector<P64> dev;
    for (int i = 0; i < count; ++i) dev.push_back({DevX(pts[i].x), DevY(pts[i].y)});
    if (AxisAligned(dev)) {
      DrawWideAxisPolyline(d.t, dev, w, Px(st.pen->color), st.rop2);
      return;
    }
    QPainterPath path;
    QRect bounds;
    for (int i = 0; i < count; ++i) {
      const QPoint p(ClampDrawingCoord(DevX(pts[i].x)), ClampDrawingCoord(DevY(pts[i].y)));
      if (i == 0)
        path.moveTo(p);
      else
        path.lineTo(p);
      bounds |= QRect(p, QSize(1, 1));
    }
    StrokeWide(d, *this, path, bounds);
    return;
  }
  LinePen lp;
  CosmeticPen(*this, lp);
  PixelWide phase = 0;  // the dash pattern runs on across the vertices of one polyline
  for (int i = 0; i + 1 < count; ++i)
    phase = DrawLine(d.t, DevX(pts[i].x), DevY(pts[i].y), DevX(pts[i + 1].x), DevY(pts[i + 1].y),
                     lp, phase);
}

// ---- Rectangles ----

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  if (!m_hDC) return FALSE;
  PixelWide l = m_impl->DevX(left), t = m_impl->DevY(top), r = m_impl->DevX(right),
            b = m_impl->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  if (m_impl->vector)
    VectorRect(*m_impl, double(ClampDrawingCoord(l)), double(ClampDrawingCoord(t)),
               double(ClampDrawingCoord(r)), double(ClampDrawingCoord(b)), m_impl->st.brush.get(),
               true);
  Draw d;
  if (!m_impl->Begin(d)) return TRUE;
  int pw = PenWidth(*m_impl);
  if (pw > 1 && m_impl->st.pen->style == PS_INSIDEFRAME) {
    l += pw / 2, t += pw / 2, r -= (pw - 1) / 2, b -= (pw - 1) / 2;
    if (r <= l || b <= t) return TRUE;
  }
  // Interior: the part the pen does not cover, half-open.
  Paint fill;
  if (BrushPaint(*m_impl, m_impl->st.brush.get(), fill)) {
    fill.mix = m_impl->st.rop2;
    FillArea(d.t, l + (pw + 1) / 2, t + (pw + 1) / 2, r - 1 - pw / 2, b - 1 - pw / 2, fill);
  }
  if (pw == 0) return TRUE;
  if (pw > 1) {  // round joins at the corners of the frame through the edge pixels
    const std::vector<P64> frame = {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}};
    DrawWideAxisPolyline(d.t, frame, pw, Px(m_impl->st.pen->color), m_impl->st.rop2);
    return TRUE;
  }
  LinePen lp;
  CosmeticPen(*m_impl, lp);
  if (!lp.period) {  // each frame pixel once (the sides leave the corners to the rows)
    Paint p;
    p.color = lp.color;
    p.mix = lp.mix;
    FillArea(d.t, l, t, r, t + 1, p);
    if (b - 1 > t) FillArea(d.t, l, b - 1, r, b, p);
    FillArea(d.t, l, t + 1, l + 1, b - 1, p);
    if (r - 1 > l) FillArea(d.t, r - 1, t + 1, r, b - 1, p);
    return TRUE;
  }
  // Styled frame: one closed figure, counter-clockwise on screen from the top-right corner.
  const PixelWide xs[5] = {r - 1, l, l, r - 1, r - 1}, ys[5] = {t, t, b - 1, b - 1, t};
  PixelWide phase = 0;
  for (int i = 0; i < 4; ++i) phase = DrawLine(d.t, xs[i], ys[i], xs[i + 1], ys[i + 1], lp, phase);
  return TRUE;
}
BOOL CDC::Rectangle(LPCRECT rc) {
  return rc ? Rectangle(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int width, int height) {
  if (!m_hDC) return FALSE;
  PixelWide l = m_impl->DevX(left), t = m_impl->DevY(top), r = m_impl->DevX(right),
            b = m_impl->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const PixelWide cw = std::min<PixelWide>(r - l, std::abs(PixelWide(width)));
  const PixelWide ch = std::min<PixelWide>(b - t, std::abs(PixelWide(height)));
  if (cw <= 2 || ch <= 2) return Rectangle(left, top, right, bottom);
  m_impl->Curve(l, t, r, b, cw, ch, nullptr);
  return TRUE;
}
BOOL CDC::RoundRect(LPCRECT rc, POINT corner) {
  return rc ? RoundRect(rc->left, rc->top, rc->right, rc->bottom, corner.x, corner.y) : FALSE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  if (!m_hDC) return FALSE;
  PixelWide l = m_impl->DevX(left), t = m_impl->DevY(top), r = m_impl->DevX(right),
            b = m_impl->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  m_impl->Curve(l, t, r, b, r - l, b - t, nullptr);
  return TRUE;
}
BOOL CDC::Ellipse(LPCRECT rc) {
  return rc ? Ellipse(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
              int yEnd) {
  if (!m_hDC) return FALSE;
  PixelWide l = m_impl->DevX(left), t = m_impl->DevY(top), r = m_impl->DevX(right),
            b = m_impl->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  ArcSpec arc;
  arc.a0 = PixelAngle(l, t, r, b, double(m_impl->DevX(xStart)), double(m_impl->DevY(yStart)));
  arc.a1 = PixelAngle(l, t, r, b, double(m_impl->DevX(xEnd)), double(m_impl->DevY(yEnd)));
  arc.clockwise = m_impl->st.arcDir == AD_CLOCKWISE;
  m_impl->Curve(l, t, r, b, r - l, b - t, &arc);
  return TRUE;
}
BOOL CDC::Arc(LPCRECT rc, POINT start, POINT end) {
  return rc ? Arc(rc->left, rc->top, rc->right, rc->bottom, start.x, start.y, end.x, end.y) : FALSE;
}

namespace quarlen::detail {

// Ellipse, rounded rectangle (corner cw x ch) or arc in the device box [l, r) x [t, b).
void DCImpl::Curve(PixelWide l, PixelWide t, PixelWide r, PixelWide b, PixelWide cw, PixelWide ch,
                   const ArcSpec* arc) {
  if (vector)
    VectorCurve(*this, double(ClampDrawingCoord(l)), double(ClampDrawingCoord(t)),
                double(ClampDrawingCoord(r)), double(ClampDrawingCoord(b)), double(cw), double(ch),
                arc != nullptr, arc ? arc->a0 : 0.0, arc ? arc->a1 : 0.0, arc && arc->clockwise);
  Draw d;
  if (!Begin(d)) return;
  const QRect shape = QRectOf(l, t, r, b);
  if (!shape.intersects(d.t.clipBounds.adjusted(-1, -1, 1, 1))) return;
  const int pw = PenWidth(*this);
  if (pw > 1 && !arc && st.pen->style == PS_INSIDEFRAME) {
    // The whole stroke inside the box: shrink it by the pen's half widths.
    l += pw / 2, t += pw / 2, r -= (pw - 1) / 2, b -= (pw - 1) / 2;
    if (r <= l || b <= t) return;
    cw = std::min(cw, r - l), ch = std::min(ch, b - t);
  }
  Paint fill;
  const bool filled = !arc && BrushPaint(*this, st.brush.get(), fill);
  fill.mix = st.rop2;
  if (cw > kMaxCurveSize || ch > kMaxCurveSize || pw > 1) {
    // Huge figures and wide pens: Qt's aliased rasteriser (not pixel-exact, but bounded).
    const QRectF box(double(l), double(t), double(r - l - 1), double(b - t - 1));
    auto shapeOn = [&](QPainter& p) {
      if (arc) {
        const double from = (arc->clockwise ? arc->a1 : arc->a0) * 180 / std::numbers::pi;
        double span =
            ((arc->clockwise ? arc->a0 : arc->a1) - (arc->clockwise ? arc->a1 : arc->a0)) * 180 /
            std::numbers::pi;
        if (span <= 0) span += 360;
        p.drawArc(box, int(from * 16), int(span * 16));
      } else if (cw == r - l && ch == b - t) {
        p.drawEllipse(box);
      } else {
        p.drawRoundedRect(box, double(cw) / 2, double(ch) / 2);
      }
    };
    const QPen qpen =
        pw > 0 ? QPen(QColorOf(st.pen->color), pw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
               : QPen(Qt::NoPen);
    const bool solidFill = filled && fill.kind == Paint::Solid;
    const QRect area = shape.adjusted(-pw, -pw, pw, pw) & d.t.clipBounds;
    if (st.rop2 == R2_COPYPEN) {
      QPainter p(&d.s->image);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setClipRegion(*d.region);
      p.setPen(qpen);
      p.setBrush(solidFill ? QBrush(QColor::fromRgb(fill.color)) : QBrush(Qt::NoBrush));
      shapeOn(p);
      d.t.Touch(area);
      return;
    }
    // Another mix: outline and interior go through masks, so that every pixel is combined
    // with the destination once (the interior where the outline does not cover it).
    if (area.isEmpty()) return;
    auto mask = [&](const QPen& maskPen, bool brush) {
      QImage m(area.size(), QImage::Format_ARGB32_Premultiplied);
      m.fill(Qt::transparent);
      QPainter p(&m);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.translate(-area.x(), -area.y());
      p.setPen(maskPen);
      p.setBrush(brush ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
      shapeOn(p);
      return m;
    };
    const QImage outline = pw > 0 ? mask(qpen, false) : QImage();
    if (solidFill) {
      QImage inside = mask(QPen(Qt::NoPen), true);
      if (!outline.isNull()) {
        QPainter p(&inside);
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.drawImage(0, 0, outline);
      }
      MixMask(d.t, inside, area.x(), area.y(), fill.color, st.rop2);
    }
    if (!outline.isNull()) MixMask(d.t, outline, area.x(), area.y(), Px(st.pen->color), st.rop2);
    return;
  }
  LinePen lp;
  const bool pen = CosmeticPen(*this, lp);
  DrawRoundRect(d.t, l, t, r, b, cw, ch, filled ? &fill : nullptr, pen && pw > 0 ? &lp : nullptr,
                arc);
}

}  // namespace quarlen::detail

// ---- Fills ----

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
  FillRect(rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
}

BOOL CDC::FillRect(LPCRECT rc, HBRUSH brush) {
  if (!rc || !m_hDC) return FALSE;
  // A small value is a system colour index plus one.
  std::shared_ptr<BrushData> b;
  const auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= 31)
    b = Lookup<BrushData>(GetSysColorBrush(int(value - 1)), GdiKind::Brush);
  else
    b = Lookup<BrushData>(brush, GdiKind::Brush);
  if (!b) return FALSE;
  if (rc->right <= rc->left || rc->bottom <= rc->top) return TRUE;
  if (m_impl->vector)
    VectorRect(*m_impl, double(ClampDrawingCoord(m_impl->DevX(rc->left))),
               double(ClampDrawingCoord(m_impl->DevY(rc->top))),
               double(ClampDrawingCoord(m_impl->DevX(rc->right))),
               double(ClampDrawingCoord(m_impl->DevY(rc->bottom))), b.get(), false);
  Draw d;
  Paint p;
  if (!m_impl->Begin(d) || !BrushPaint(*m_impl, b.get(), p)) return TRUE;
  FillArea(d.t, m_impl->DevX(rc->left), m_impl->DevY(rc->top), m_impl->DevX(rc->right),
           m_impl->DevY(rc->bottom), p);
  return TRUE;
}

void CDC::FillSolidRect(LPCRECT rc, COLORREF color) {
  // As the framework does it: the background colour becomes the fill colour, and the
  // rectangle is normalised (a negative width or height fills towards the origin).
  SetBkColor(color);
  if (!rc) return;
  PixelWide l = m_impl->DevX(rc->left), t = m_impl->DevY(rc->top), r = m_impl->DevX(rc->right),
            b = m_impl->DevY(rc->bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  if (m_impl->vector)
    VectorSolid(*m_impl, double(ClampDrawingCoord(l)), double(ClampDrawingCoord(t)),
                double(ClampDrawingCoord(r)), double(ClampDrawingCoord(b)), color);
  Draw d;
  if (!m_impl->Begin(d)) return;
  Paint p;
  p.color = Px(color);
  FillArea(d.t, l, t, r, b, p);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  const RECT rc{x, y, quarlen::detail::AddLong(x, cx), quarlen::detail::AddLong(y, cy)};
  FillSolidRect(&rc, color);
}

void CDC::FrameRect(LPCRECT rc, CBrush* brush) {
  if (!rc || !brush || rc->right <= rc->left || rc->bottom <= rc->top) return;
  auto b = Lookup<BrushData>(brush->m_hObject, GdiKind::Brush);
  Draw d;
  Paint p;
  if (!b || !m_impl->Begin(d) || !BrushPaint(*m_impl, b.get(), p)) return;
  const PixelWide l = m_impl->DevX(rc->left), t = m_impl->DevY(rc->top),
                  r = m_impl->DevX(rc->right), bt = m_impl->DevY(rc->bottom);
  FillArea(d.t, l, t, r, t + 1, p);
  FillArea(d.t, l, bt - 1, r, bt, p);
  FillArea(d.t, l, t + 1, l + 1, bt - 1, p);
  FillArea(d.t, r - 1, t + 1, r, bt - 1, p);
}

void CDC::InvertRect(LPCRECT rc) {
  if (!rc) return;
  // PatBlt with DSTINVERT: a rectangle given right to left or bottom to top is inverted over
  // the columns and rows PatBlt's negative sizes cover.
  PatBlt(rc->left, rc->top, quarlen::SaturatingCast<int>(quarlen::PixelWide{rc->right} - rc->left),
         quarlen::SaturatingCast<int>(quarlen::PixelWide{rc->bottom} - rc->top), DSTINVERT);
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  if (!m_hDC) return FALSE;
  const unsigned op = (rop >> 16) & 0xFFu;
  if (RopUsesSource(op)) return FALSE;  // PatBlt has no source
  // A negative width or height extends the rectangle backwards from the column or row after
  // (x, y): PatBlt(x, y, -3, h) covers x - 2 .. x.
  const PixelWide dx = m_impl->DevX(x), dy = m_impl->DevY(y);
  PixelWide l = dx, r = dx + width, t = dy, b = dy + height;
  if (width < 0) l = dx + width + 1, r = dx + 1;
  if (height < 0) t = dy + height + 1, b = dy + 1;
  Draw d;
  if (!m_impl->Begin(d)) return TRUE;
  Paint p;
  switch (op) {
    case PATCOPY >> 16:
      if (BrushPaint(*m_impl, m_impl->st.brush.get(), p)) FillArea(d.t, l, t, r, b, p);
      break;
    case BLACKNESS >> 16:
      p.color = 0xFF000000u, FillArea(d.t, l, t, r, b, p);
      break;
    case WHITENESS >> 16:
      p.color = 0xFFFFFFFFu, FillArea(d.t, l, t, r, b, p);
      break;
    case DSTINVERT >> 16:
      p.kind = Paint::Xor, FillArea(d.t, l, t, r, b, p);
      break;
    case 0xAA:  // the destination itself
      break;
    default:
      // A null brush leaves the destination alone, as PATCOPY with it does.
      if (BrushPaint(*m_impl, m_impl->st.brush.get(), p)) PatternArea(d.t, l, t, r, b, p, op);
      break;
  }
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  Draw d;
  if (!m_impl->Begin(d)) return CLR_INVALID;
  const PixelWide dx = m_impl->DevX(x), dy = m_impl->DevY(y);
  if (!d.t.Visible(dx, dy)) return CLR_INVALID;
  PutPixel(d.t, dx, dy, Px(color));
  return color & 0x00FFFFFFu;
}

COLORREF CDC::GetPixel(int x, int y) const {
  Draw d;
  if (!m_impl->Begin(d)) return CLR_INVALID;
  const PixelWide dx = m_impl->DevX(x), dy = m_impl->DevY(y);
  if (!d.t.Visible(dx, dy)) return CLR_INVALID;
  return ColorOfPixel(d.t.At(int(dx), int(dy)));
}

void CDC::Draw3dRect(LPCRECT rc, COLORREF topLeft, COLORREF bottomRight) {
  if (!rc) return;
  const int x = rc->left, y = rc->top, cx = rc->right - rc->left, cy = rc->bottom - rc->top;
  const COLORREF bk = GetBkColor();
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx, y, -1, cy, bottomRight);
  FillSolidRect(x, y + cy, cx, -1, bottomRight);
  SetBkColor(bk);
}

void CDC::DrawFocusRect(LPCRECT rc) {
  if (!rc || rc->right <= rc->left || rc->bottom <= rc->top) return;
  Draw d;
  if (!m_impl->Begin(d)) return;
  const PixelWide l = m_impl->DevX(rc->left), t = m_impl->DevY(rc->top),
                  r = m_impl->DevX(rc->right), b = m_impl->DevY(rc->bottom);
  InvertFocusFrame(d.t, l, t, r, b, m_impl->st.brushOrg.x(), m_impl->st.brushOrg.y());
}

// ---- Bitmaps ----

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
  if (!m_hDC) return FALSE;
  const unsigned op = (rop >> 16) & 0xFFu;
  if (!RopUsesSource(op)) return PatBlt(x, y, width, height, rop);
  if (!src || !src->m_hDC) return FALSE;
  if (width <= 0 || height <= 0) return TRUE;
  Paint pattern;
  if (RopUsesPattern(op) && !BrushPaint(*m_impl, m_impl->st.brush.get(), pattern)) return TRUE;
  auto dst = m_impl->Target();
  auto from = src->m_impl->Target();
  if (!dst || !from) return FALSE;
  // Both surfaces locked together (std::lock avoids lock-order deadlocks between threads
  // that copy in opposite directions); Begin below re-enters the destination lock.
  std::unique_lock<std::recursive_mutex> la(dst->lock, std::defer_lock);
  std::unique_lock<std::recursive_mutex> lb(from->lock, std::defer_lock);
  if (dst == from)
    la.lock();
  else
    std::lock(la, lb);
  Draw d;
  if (!m_impl->Begin(d)) return TRUE;
  const QImage& simg = from->image;
  if (simg.isNull()) return TRUE;
  const PixelWide dx = m_impl->DevX(x), dy = m_impl->DevY(y);
  const PixelWide sx = src->m_impl->DevX(xSrc), sy = src->m_impl->DevY(ySrc);
  // Only the destination's clip applies; source pixels outside the source image are skipped.
  const QRect want = QRectOf(dx, dy, dx + width, dy + height) &
                     QRectOf(dx - sx, dy - sy, dx - sx + simg.width(), dy - sy + simg.height());
  if (want.isEmpty()) return TRUE;
  QImage copy;
  const QImage* s = &simg;
  PixelWide ox = sx - dx, oy = sy - dy;  // source = destination + offset
  if (dst == from) {                     // overlapping copy within one surface
    copy = simg.copy(want.translated(int(ox), int(oy)));
    s = &copy;
    ox = -want.x(), oy = -want.y();
  }
  BlitSource bs;
  bs.image = s;
  bs.offsetX = ox, bs.offsetY = oy;
  bs.mono = src->m_impl->memory && src->m_impl->st.bitmap && src->m_impl->st.bitmap->monochrome;
  bs.monoTarget = m_impl->memory && m_impl->st.bitmap && m_impl->st.bitmap->monochrome;
  bs.textColor = Px(m_impl->st.text), bs.bkColor = Px(m_impl->st.bk);
  bs.sourceBk = Px(src->m_impl->st.bk);
  BlitArea(d.t, want, bs, RopUsesPattern(op) ? &pattern : nullptr, op);
  // A vector target gets the copied area as it came out, whatever the raster operation.
  if (m_impl->vector) VectorImage(*m_impl, QRectF(want), d.s->image, want);
  return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, DWORD rop) {
  if (width == srcWidth && height == srcHeight)
    return BitBlt(x, y, width, height, src, xSrc, ySrc, rop);
  if (!m_hDC || !src || !src->m_hDC || rop != SRCCOPY) return FALSE;
  if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return TRUE;
  auto from = src->m_impl->Target();
  if (!from) return FALSE;
  QImage part;
  {
    std::lock_guard g(from->lock);
    const PixelWide sx = src->m_impl->DevX(xSrc), sy = src->m_impl->DevY(ySrc);
    part = from->image.copy(QRectOf(sx, sy, sx + srcWidth, sy + srcHeight).normalized());
  }
  Draw d;
  if (!m_impl->Begin(d)) return TRUE;
  const QRect target =
      QRectOf(m_impl->DevX(x), m_impl->DevY(y), m_impl->DevX(x) + width, m_impl->DevY(y) + height);
  QPainter p(&d.s->image);
  p.setClipRegion(*d.region);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(target.normalized(), part.mirrored(width < 0, height < 0));
  d.t.Touch(target.normalized() & d.t.clipBounds);
  return TRUE;
}
