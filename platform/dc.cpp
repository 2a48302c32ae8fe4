// CDC: state, targets, clipping, shapes, bitmaps and text over a locked QImage.
#include "platform/dc.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>
#include <numbers>
#include <unordered_map>

#include "platform/detail/dc_impl.h"
#include "platform/detail/raster.h"
#include "platform/detail/text.h"

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
  if (s && !t.dirty.isEmpty() && s->onDrawn) s->onDrawn(t.dirty & t.clipBounds);
}

}  // namespace quarlen::detail

using namespace quarlen::detail;

namespace {

using quarlen::detail::i64;

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
  QPainter p(&d.s->image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setClipRegion(*d.region);
  QPen pen(QColorOf(impl.st.pen->color), impl.st.pen->width, Qt::SolidLine, Qt::RoundCap,
           Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  const int w = impl.st.pen->width;
  d.t.Touch(bounds.adjusted(-w, -w, w, w) & d.t.clipBounds);
}

int ClampInt(i64 v) { return int(std::clamp<i64>(v, -(i64(1) << 29), i64(1) << 29)); }

QRect QRectOf(i64 l, i64 t, i64 r, i64 b) {
  return QRect(ClampInt(l), ClampInt(t), ClampInt(r) - ClampInt(l), ClampInt(b) - ClampInt(t));
}

int Complexity(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

// ---- Construction, targets ----

CDC::CDC() : d_(std::make_unique<DCImpl>()) {
  d_->owner = this;
  d_->ResetState();
}

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hdc) { return LookupDC(hdc); }

void CDC::AttachSurface(std::shared_ptr<Surface> surface, const QRegion& baseClip) {
  DeleteDC();
  if (!surface) return;
  d_->window = std::move(surface);
  d_->base = baseClip;
  d_->attached = true;
  d_->ResetState();
  m_hDC = NewDCHandle(this);
}

void CDC::SetBaseClip(const QRegion& baseClip) {
  d_->base = baseClip;
  d_->clipValid = false;
}

void CDC::DetachSurface() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(CDC*) {
  DeleteDC();
  d_->memory = true;
  // A fresh memory DC draws into a 1x1 monochrome bitmap until a real one is selected.
  d_->defaultBitmap = MakeBitmap(1, 1, true);
  d_->hDefaultBitmap = RegisterObject(d_->defaultBitmap);
  d_->ResetState();
  m_hDC = NewDCHandle(this);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC && !d_->attached && !d_->memory) return FALSE;
  ReleaseDCHandle(m_hDC);
  m_hDC = nullptr;
  d_->attached = false;
  d_->memory = false;
  d_->window.reset();
  d_->base = QRegion();
  if (d_->hDefaultBitmap) UnregisterObject(d_->hDefaultBitmap);
  d_->hDefaultBitmap = nullptr;
  d_->defaultBitmap.reset();
  d_->ResetState();
  return TRUE;
}

bool CDC::IsMemoryDC() const { return d_->memory; }

// ---- Objects ----

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
  auto data = LookupObject(object);
  if (!data) return nullptr;
  DCState& s = d_->st;
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
      if (!d_->memory) return nullptr;  // only memory DCs take bitmaps
      old = s.hBitmap;
      s.bitmap = std::static_pointer_cast<BitmapData>(data);
      s.hBitmap = object;
      d_->clipValid = false;
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

CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(d_->st.hPen)); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(d_->st.hBrush));
}
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(d_->st.hFont)); }
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(d_->st.hBitmap));
}

// ---- State ----

int CDC::SaveDC() {
  if (!m_hDC || d_->saved.size() >= kMaxSaved) return 0;
  d_->saved.push_back(d_->st);
  return int(d_->saved.size());
}

BOOL CDC::RestoreDC(int savedDC) {
  const int n = int(d_->saved.size());
  const int index = savedDC > 0 ? savedDC : n + savedDC + 1;  // -1: the most recent
  if (savedDC == 0 || index < 1 || index > n) return FALSE;
  d_->st = d_->saved[size_t(index - 1)];
  d_->saved.resize(size_t(index - 1));
  d_->clipValid = false;
  return TRUE;
}

COLORREF CDC::SetBkColor(COLORREF color) { return std::exchange(d_->st.bk, color & 0x00FFFFFFu); }
COLORREF CDC::GetBkColor() const { return d_->st.bk; }
int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(d_->st.bkMode, mode);
}
int CDC::GetBkMode() const { return d_->st.bkMode; }
COLORREF CDC::SetTextColor(COLORREF color) {
  return std::exchange(d_->st.text, color & 0x00FFFFFFu);
}
COLORREF CDC::GetTextColor() const { return d_->st.text; }
UINT CDC::SetTextAlign(UINT flags) { return std::exchange(d_->st.align, flags); }
UINT CDC::GetTextAlign() const { return d_->st.align; }
CPoint CDC::SetBrushOrg(int x, int y) {
  const QPoint old = d_->st.brushOrg;
  d_->st.brushOrg = QPoint(((x % 8) + 8) % 8, ((y % 8) + 8) % 8);
  return CPoint(old.x(), old.y());
}
CPoint CDC::SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }
CPoint CDC::GetBrushOrg() const { return CPoint(d_->st.brushOrg.x(), d_->st.brushOrg.y()); }
int CDC::SetArcDirection(int direction) {
  if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE) return 0;
  return std::exchange(d_->st.arcDir, direction);
}
int CDC::GetArcDirection() const { return d_->st.arcDir; }
CPoint CDC::SetViewportOrg(int x, int y) {
  const CPoint old = d_->st.vpOrg;
  d_->st.vpOrg = CPoint(x, y);
  return old;
}
CPoint CDC::SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint old = d_->st.vpOrg;
  d_->st.vpOrg = CPoint(quarlen::detail::AddLong(old.x, dx), quarlen::detail::AddLong(old.y, dy));
  return old;
}
CPoint CDC::GetViewportOrg() const { return d_->st.vpOrg; }
CPoint CDC::SetWindowOrg(int x, int y) {
  const CPoint old = d_->st.winOrg;
  d_->st.winOrg = CPoint(x, y);
  return old;
}
CPoint CDC::SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
CPoint CDC::GetWindowOrg() const { return d_->st.winOrg; }

void CDC::LPtoDP(LPPOINT points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) {
    points[i].x = quarlen::detail::ClampLong(d_->DevX(points[i].x));
    points[i].y = quarlen::detail::ClampLong(d_->DevY(points[i].y));
  }
}
void CDC::LPtoDP(LPRECT rect) const {
  if (rect) LPtoDP(reinterpret_cast<LPPOINT>(rect), 2);
}
void CDC::DPtoLP(LPPOINT points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) {
    points[i].x = quarlen::detail::ClampLong(d_->LogX(points[i].x));
    points[i].y = quarlen::detail::ClampLong(d_->LogY(points[i].y));
  }
}
void CDC::DPtoLP(LPRECT rect) const {
  if (rect) DPtoLP(reinterpret_cast<LPPOINT>(rect), 2);
}
CPoint CDC::GetCurrentPosition() const { return d_->st.cp; }

// ---- Clipping ----

int CDC::SelectClipRgn(CRgn* region) {
  return ExtSelectClipRgn(region ? static_cast<HRGN>(region->m_hObject) : nullptr, RGN_COPY);
}
int CDC::SelectClipRgn(CRgn* region, int mode) {
  return ExtSelectClipRgn(region ? static_cast<HRGN>(region->m_hObject) : nullptr, mode);
}

int CDC::ExtSelectClipRgn(HRGN region, int mode) {
  DCState& s = d_->st;
  QRegion* r = RegionOf(region);
  if (!region) {
    if (mode != RGN_COPY) return ERROR;
    s.hasClip = false;
    s.clip = QRegion();
  } else {
    if (!r) return ERROR;
    // Without an application clip the current clip is the whole surface.
    const QRegion current = s.hasClip ? s.clip : d_->WholeSurface();
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
  d_->clipValid = false;
  return Complexity(d_->VisibleClip());
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  DCState& s = d_->st;
  const QRect r = QRectOf(d_->DevX(left), d_->DevY(top), d_->DevX(right), d_->DevY(bottom));
  s.clip = (s.hasClip ? s.clip : d_->WholeSurface()) & r.normalized();
  if (right <= left || bottom <= top) s.clip = QRegion();
  s.hasClip = true;
  d_->clipValid = false;
  return Complexity(d_->VisibleClip());
}
int CDC::IntersectClipRect(LPCRECT rc) {
  return rc ? IntersectClipRect(rc->left, rc->top, rc->right, rc->bottom) : ERROR;
}
int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  DCState& s = d_->st;
  const QRect r = QRectOf(d_->DevX(left), d_->DevY(top), d_->DevX(right), d_->DevY(bottom));
  s.clip = s.hasClip ? s.clip : d_->WholeSurface();
  if (right > left && bottom > top) s.clip -= r;
  s.hasClip = true;
  d_->clipValid = false;
  return Complexity(d_->VisibleClip());
}
int CDC::ExcludeClipRect(LPCRECT rc) {
  return rc ? ExcludeClipRect(rc->left, rc->top, rc->right, rc->bottom) : ERROR;
}

int CDC::GetClipBox(LPRECT rect) const {
  if (!rect) return ERROR;
  const QRegion v = d_->VisibleClip();
  const QRect b = v.isEmpty() ? QRect() : v.boundingRect();
  if (v.isEmpty()) {
    *rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  rect->left = quarlen::detail::ClampLong(d_->LogX(b.x()));
  rect->top = quarlen::detail::ClampLong(d_->LogY(b.y()));
  rect->right = quarlen::detail::ClampLong(d_->LogX(i64(b.x()) + b.width()));
  rect->bottom = quarlen::detail::ClampLong(d_->LogY(i64(b.y()) + b.height()));
  return Complexity(v);
}

BOOL CDC::PtVisible(int x, int y) const {
  const i64 dx = d_->DevX(x), dy = d_->DevY(y);
  if (std::abs(dx) > (1 << 30) || std::abs(dy) > (1 << 30)) return FALSE;
  return d_->VisibleClip().contains(QPoint(int(dx), int(dy))) ? TRUE : FALSE;
}

BOOL CDC::RectVisible(LPCRECT rc) const {
  if (!rc) return FALSE;
  const QRect r =
      QRectOf(d_->DevX(rc->left), d_->DevY(rc->top), d_->DevX(rc->right), d_->DevY(rc->bottom));
  return d_->VisibleClip().intersects(r.normalized()) ? TRUE : FALSE;
}

// ---- Lines ----

CPoint CDC::MoveTo(int x, int y) {
  const CPoint old = d_->st.cp;
  d_->st.cp = CPoint(x, y);
  return old;
}
CPoint CDC::MoveTo(POINT p) { return MoveTo(p.x, p.y); }

BOOL CDC::LineTo(int x, int y) {
  const POINT pts[2] = {d_->st.cp, POINT{x, y}};
  d_->st.cp = CPoint(x, y);
  if (!m_hDC) return FALSE;
  d_->Polyline(pts, 2);
  return TRUE;
}
BOOL CDC::LineTo(POINT p) { return LineTo(p.x, p.y); }

BOOL CDC::Polyline(const POINT* points, int count) {
  if (!points || count < 2 || !m_hDC) return FALSE;
  d_->Polyline(points, count);
  return TRUE;
}

void DCImpl::Polyline(const POINT* pts, int count) {
  const int w = PenWidth(*this);
  if (w == 0) return;
  Draw d;
  if (!Begin(d)) return;
  if (w > 1) {
    QPainterPath path;
    QRect bounds;
    for (int i = 0; i < count; ++i) {
      const QPoint p(ClampInt(DevX(pts[i].x)), ClampInt(DevY(pts[i].y)));
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
  i64 phase = 0;  // the dash pattern runs on across the vertices of one polyline
  for (int i = 0; i + 1 < count; ++i)
    phase = DrawLine(d.t, DevX(pts[i].x), DevY(pts[i].y), DevX(pts[i + 1].x), DevY(pts[i + 1].y),
                     lp, phase);
}

// ---- Rectangles ----

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  if (!m_hDC) return FALSE;
  i64 l = d_->DevX(left), t = d_->DevY(top), r = d_->DevX(right), b = d_->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  Draw d;
  if (!d_->Begin(d)) return TRUE;
  int pw = PenWidth(*d_);
  if (pw > 1 && d_->st.pen->style == PS_INSIDEFRAME) {
    l += pw / 2, t += pw / 2, r -= (pw - 1) / 2, b -= (pw - 1) / 2;
    if (r <= l || b <= t) return TRUE;
  }
  // Interior: the part the pen does not cover, half-open.
  Paint fill;
  if (BrushPaint(*d_, d_->st.brush.get(), fill))
    FillArea(d.t, l + (pw + 1) / 2, t + (pw + 1) / 2, r - 1 - pw / 2, b - 1 - pw / 2, fill);
  if (pw == 0) return TRUE;
  if (pw > 1) {
    QPainterPath path;
    path.addRect(QRectF(QRectOf(l, t, r - 1, b - 1)));
    StrokeWide(d, *d_, path, QRectOf(l, t, r, b));
    return TRUE;
  }
  LinePen lp;
  CosmeticPen(*d_, lp);
  if (!lp.period) {
    Paint p;
    p.color = lp.color;
    FillArea(d.t, l, t, r, t + 1, p);
    FillArea(d.t, l, b - 1, r, b, p);
    FillArea(d.t, l, t, l + 1, b, p);
    FillArea(d.t, r - 1, t, r, b, p);
    return TRUE;
  }
  // Styled frame: one closed figure, counter-clockwise on screen from the top-left corner.
  const i64 xs[5] = {l, l, r - 1, r - 1, l}, ys[5] = {t, b - 1, b - 1, t, t};
  i64 phase = 0;
  for (int i = 0; i < 4; ++i) phase = DrawLine(d.t, xs[i], ys[i], xs[i + 1], ys[i + 1], lp, phase);
  return TRUE;
}
BOOL CDC::Rectangle(LPCRECT rc) {
  return rc ? Rectangle(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int width, int height) {
  if (!m_hDC) return FALSE;
  i64 l = d_->DevX(left), t = d_->DevY(top), r = d_->DevX(right), b = d_->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const i64 cw = std::min<i64>(r - l, std::abs(i64(width)));
  const i64 ch = std::min<i64>(b - t, std::abs(i64(height)));
  if (cw <= 2 || ch <= 2) return Rectangle(left, top, right, bottom);
  d_->Curve(l, t, r, b, cw, ch, nullptr);
  return TRUE;
}
BOOL CDC::RoundRect(LPCRECT rc, POINT corner) {
  return rc ? RoundRect(rc->left, rc->top, rc->right, rc->bottom, corner.x, corner.y) : FALSE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  if (!m_hDC) return FALSE;
  i64 l = d_->DevX(left), t = d_->DevY(top), r = d_->DevX(right), b = d_->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  d_->Curve(l, t, r, b, r - l, b - t, nullptr);
  return TRUE;
}
BOOL CDC::Ellipse(LPCRECT rc) {
  return rc ? Ellipse(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
              int yEnd) {
  if (!m_hDC) return FALSE;
  i64 l = d_->DevX(left), t = d_->DevY(top), r = d_->DevX(right), b = d_->DevY(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return TRUE;
  ArcSpec arc;
  arc.a0 = PixelAngle(l, t, r, b, double(d_->DevX(xStart)), double(d_->DevY(yStart)));
  arc.a1 = PixelAngle(l, t, r, b, double(d_->DevX(xEnd)), double(d_->DevY(yEnd)));
  arc.clockwise = d_->st.arcDir == AD_CLOCKWISE;
  d_->Curve(l, t, r, b, r - l, b - t, &arc);
  return TRUE;
}
BOOL CDC::Arc(LPCRECT rc, POINT start, POINT end) {
  return rc ? Arc(rc->left, rc->top, rc->right, rc->bottom, start.x, start.y, end.x, end.y) : FALSE;
}

namespace quarlen::detail {

bool ArcSpec::Contains(double a) const {
  constexpr double twoPi = 2 * std::numbers::pi;
  const double from = clockwise ? a1 : a0, to = clockwise ? a0 : a1;
  double sweep = std::fmod(to - from + twoPi, twoPi);
  if (sweep < 1e-12) sweep = twoPi;  // coinciding radials: the whole ellipse
  const double off = std::fmod(a - from + twoPi, twoPi);
  return off <= sweep + 1e-12;
}

// Ellipse, rounded rectangle (corner cw x ch) or arc in the device box [l, r) x [t, b).
void DCImpl::Curve(i64 l, i64 t, i64 r, i64 b, i64 cw, i64 ch, const ArcSpec* arc) {
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
  if (cw > kMaxCurveSize || ch > kMaxCurveSize || pw > 1) {
    // Huge figures and wide pens: Qt's aliased rasteriser (not pixel-exact, but bounded).
    QPainter p(&d.s->image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(*d.region);
    if (pw > 0)
      p.setPen(QPen(QColorOf(st.pen->color), pw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
      p.setPen(Qt::NoPen);
    p.setBrush(filled && fill.kind == Paint::Solid ? QBrush(QColor::fromRgb(fill.color))
                                                   : QBrush(Qt::NoBrush));
    const QRectF box(double(l), double(t), double(r - l - 1), double(b - t - 1));
    if (arc) {
      const double from = (arc->clockwise ? arc->a1 : arc->a0) * 180 / std::numbers::pi;
      double span = ((arc->clockwise ? arc->a0 : arc->a1) - (arc->clockwise ? arc->a1 : arc->a0)) *
                    180 / std::numbers::pi;
      if (span <= 0) span += 360;
      p.drawArc(box, int(from * 16), int(span * 16));
    } else if (cw == r - l && ch == b - t) {
      p.drawEllipse(box);
    } else {
      p.drawRoundedRect(box, double(cw) / 2, double(ch) / 2);
    }
    d.t.Touch(shape.adjusted(-pw, -pw, pw, pw) & d.t.clipBounds);
    return;
  }
  const QRect keep = d.t.clipBounds.adjusted(-1, -1, 1, 1);
  const bool nullPen = pw == 0;
  // With a null pen the figure is one pixel smaller and the brush covers it completely.
  const i64 rr = nullPen ? r - 1 : r, bb = nullPen ? b - 1 : b;
  if (rr <= l || bb <= t) return;
  std::vector<P64> outline =
      RoundRectOutline(l, t, rr, bb, std::min(cw, rr - l), std::min(ch, bb - t), keep);
  if (filled) {
    // Per row: the outline pixels left and right of the centre bound the interior.
    const double cx = (double(l) + double(rr) - 1) / 2;
    std::map<i64, std::pair<i64, i64>> rows;  // y -> (right-most left pixel, left-most right)
    // Rows strictly between the topmost and bottommost outline pixel of the left (right)
    // column lie on the straight left (right) edge.
    i64 leftLo = INT64_MAX, leftHi = INT64_MIN, rightLo = INT64_MAX, rightHi = INT64_MIN;
    for (const P64& p : outline) {
      if (p.x == l) leftLo = std::min(leftLo, p.y), leftHi = std::max(leftHi, p.y);
      if (p.x == rr - 1) rightLo = std::min(rightLo, p.y), rightHi = std::max(rightHi, p.y);
      auto [it, fresh] = rows.try_emplace(p.y, INT64_MIN, INT64_MAX);
      if (double(p.x) <= cx)
        it->second.first = std::max(it->second.first, p.x);
      else
        it->second.second = std::min(it->second.second, p.x);
    }
    const i64 y0 = std::max<i64>(t, d.t.clipBounds.top());
    const i64 y1 = std::min<i64>(bb - 1, d.t.clipBounds.bottom());
    for (i64 y = y0; y <= y1; ++y) {
      i64 a = l, z = rr - 1;  // rows without outline pixels lie on the straight edges
      auto it = rows.find(y);
      if (it != rows.end()) {
        // A straight edge is traced only near the clip, so a row may lack the pixel of a side
        // edge the clip left out: that side is then the edge itself.
        i64 left = it->second.first, right = it->second.second;
        if (left == INT64_MIN && y > leftLo && y < leftHi) left = l;
        if (right == INT64_MAX && y > rightLo && y < rightHi) right = rr - 1;
        if (left == INT64_MIN || right == INT64_MAX) continue;
        a = left, z = right;
      }
      if (nullPen)
        FillSpan(d.t, y, a, z + 1, fill);  // outline pixels included
      else
        FillSpan(d.t, y, a + 1, z, fill);
    }
  }
  if (nullPen) return;
  LinePen lp;
  CosmeticPen(*this, lp);
  bool on[64];
  if (lp.period) {
    int pos = 0;
    for (int i = 0; i < lp.dashCount; ++i)
      for (int n = 0; n < lp.dashes[i]; ++n) on[pos++] = (i % 2) == 0;
  }
  i64 k = 0;
  for (const P64& p : outline) {
    if (arc && !arc->Contains(PixelAngle(l, t, r, b, double(p.x), double(p.y)))) continue;
    const bool ink = !lp.period || on[k % lp.period];
    ++k;
    if (ink)
      PutPixel(d.t, p.x, p.y, lp.color);
    else if (lp.opaqueGaps)
      PutPixel(d.t, p.x, p.y, lp.gap);
  }
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
  Draw d;
  Paint p;
  if (!d_->Begin(d) || !BrushPaint(*d_, b.get(), p)) return TRUE;
  FillArea(d.t, d_->DevX(rc->left), d_->DevY(rc->top), d_->DevX(rc->right), d_->DevY(rc->bottom),
           p);
  return TRUE;
}

void CDC::FillSolidRect(LPCRECT rc, COLORREF color) {
  // As the framework does it: the background colour becomes the fill colour.
  SetBkColor(color);
  if (!rc || rc->right <= rc->left || rc->bottom <= rc->top) return;
  Draw d;
  if (!d_->Begin(d)) return;
  Paint p;
  p.color = Px(color);
  FillArea(d.t, d_->DevX(rc->left), d_->DevY(rc->top), d_->DevX(rc->right), d_->DevY(rc->bottom),
           p);
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
  if (!b || !d_->Begin(d) || !BrushPaint(*d_, b.get(), p)) return;
  const i64 l = d_->DevX(rc->left), t = d_->DevY(rc->top), r = d_->DevX(rc->right),
            bt = d_->DevY(rc->bottom);
  FillArea(d.t, l, t, r, t + 1, p);
  FillArea(d.t, l, bt - 1, r, bt, p);
  FillArea(d.t, l, t + 1, l + 1, bt - 1, p);
  FillArea(d.t, r - 1, t + 1, r, bt - 1, p);
}

void CDC::InvertRect(LPCRECT rc) {
  if (!rc || rc->right <= rc->left || rc->bottom <= rc->top) return;
  Draw d;
  if (!d_->Begin(d)) return;
  Paint p;
  p.kind = Paint::Xor;
  FillArea(d.t, d_->DevX(rc->left), d_->DevY(rc->top), d_->DevX(rc->right), d_->DevY(rc->bottom),
           p);
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  if (!m_hDC) return FALSE;
  i64 l = d_->DevX(x), t = d_->DevY(y), r = l + width, b = t + height;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  Draw d;
  if (!d_->Begin(d)) return TRUE;
  Paint p;
  switch (rop) {
    case PATCOPY:
      if (BrushPaint(*d_, d_->st.brush.get(), p)) FillArea(d.t, l, t, r, b, p);
      break;
    case BLACKNESS:
      p.color = 0xFF000000u, FillArea(d.t, l, t, r, b, p);
      break;
    case WHITENESS:
      p.color = 0xFFFFFFFFu, FillArea(d.t, l, t, r, b, p);
      break;
    case DSTINVERT:
      p.kind = Paint::Xor, FillArea(d.t, l, t, r, b, p);
      break;
    default:
      return FALSE;
  }
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  Draw d;
  if (!d_->Begin(d)) return CLR_INVALID;
  const i64 dx = d_->DevX(x), dy = d_->DevY(y);
  if (!d.t.Visible(dx, dy)) return CLR_INVALID;
  PutPixel(d.t, dx, dy, Px(color));
  return color & 0x00FFFFFFu;
}

COLORREF CDC::GetPixel(int x, int y) const {
  Draw d;
  if (!d_->Begin(d)) return CLR_INVALID;
  const i64 dx = d_->DevX(x), dy = d_->DevY(y);
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
  if (!d_->Begin(d)) return;
  const i64 l = d_->DevX(rc->left), t = d_->DevY(rc->top), r = d_->DevX(rc->right),
            b = d_->DevY(rc->bottom);
  const int ox = d_->st.brushOrg.x(), oy = d_->st.brushOrg.y();
  // Every frame pixel once (XOR twice would cancel), inverted on a checkerboard.
  auto dot = [&](i64 x, i64 y) {
    if (((x - ox + y - oy) & 1) != 0 || !d.t.Visible(x, y)) return;
    d.t.At(int(x), int(y)) ^= 0x00FFFFFFu;
    d.t.Touch(QRect(int(x), int(y), 1, 1));
  };
  const i64 x0 = std::max<i64>(l, d.t.clipBounds.left() - 1);
  const i64 x1 = std::min<i64>(r, i64(d.t.clipBounds.right()) + 2);
  const i64 y0 = std::max<i64>(t + 1, d.t.clipBounds.top() - 1);
  const i64 y1 = std::min<i64>(b - 1, i64(d.t.clipBounds.bottom()) + 2);
  for (i64 x = x0; x < x1; ++x) {
    dot(x, t);
    if (b - 1 > t) dot(x, b - 1);
  }
  for (i64 y = y0; y < y1; ++y) {
    dot(l, y);
    if (r - 1 > l) dot(r - 1, y);
  }
}

// ---- Bitmaps ----

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
  if (!m_hDC) return FALSE;
  if (rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT)
    return PatBlt(x, y, width, height, rop);
  if (!src || !src->m_hDC) return FALSE;
  if (rop != SRCCOPY && rop != SRCAND && rop != SRCPAINT && rop != SRCINVERT) return FALSE;
  if (width <= 0 || height <= 0) return TRUE;
  auto dst = d_->Target();
  auto from = src->d_->Target();
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
  if (!d_->Begin(d)) return TRUE;
  const QImage& simg = from->image;
  if (simg.isNull()) return TRUE;
  const i64 dx = d_->DevX(x), dy = d_->DevY(y);
  const i64 sx = src->d_->DevX(xSrc), sy = src->d_->DevY(ySrc);
  // Only the destination's clip applies; source pixels outside the source image are skipped.
  const QRect want = QRectOf(dx, dy, dx + width, dy + height) &
                     QRectOf(dx - sx, dy - sy, dx - sx + simg.width(), dy - sy + simg.height());
  if (want.isEmpty()) return TRUE;
  QImage copy;
  const QImage* s = &simg;
  i64 ox = sx - dx, oy = sy - dy;  // source = destination + offset
  if (dst == from) {               // overlapping copy within one surface
    copy = simg.copy(want.translated(int(ox), int(oy)));
    s = &copy;
    ox = -want.x(), oy = -want.y();
  }
  const bool monoSrc = src->d_->memory && src->d_->st.bitmap && src->d_->st.bitmap->monochrome;
  const bool monoDst = d_->memory && d_->st.bitmap && d_->st.bitmap->monochrome;
  const std::uint32_t fg = Px(d_->st.text), bg = Px(d_->st.bk);
  const std::uint32_t srcBk = Px(src->d_->st.bk);
  for (int i = 0; i < d.t.clipCount; ++i) {
    const QRect r = want & d.t.clip[i];
    if (r.isEmpty()) continue;
    for (int yy = r.top(); yy <= r.bottom(); ++yy) {
      const std::uint32_t* sp =
          reinterpret_cast<const std::uint32_t*>(s->constScanLine(int(yy + oy))) + (r.left() + ox);
      std::uint32_t* dp = &d.t.At(r.left(), yy);
      const int n = r.width();
      if (rop == SRCCOPY && !monoSrc && !monoDst) {
        std::memcpy(dp, sp, size_t(n) * 4);
        continue;
      }
      for (int k = 0; k < n; ++k) {
        std::uint32_t v = sp[k] | 0xFF000000u;
        if (monoSrc) v = ((v & 0xFFFFFFu) == 0xFFFFFFu) ? bg : fg;
        if (monoDst) v = (v == (srcBk | 0xFF000000u)) ? 0xFFFFFFFFu : 0xFF000000u;
        switch (rop) {
          case SRCAND:
            dp[k] &= v;
            break;
          case SRCPAINT:
            dp[k] |= v;
            break;
          case SRCINVERT:
            dp[k] = (dp[k] ^ v) | 0xFF000000u;
            break;
          default:
            dp[k] = v;
            break;
        }
      }
    }
    d.t.Touch(r);
  }
  return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, DWORD rop) {
  if (width == srcWidth && height == srcHeight)
    return BitBlt(x, y, width, height, src, xSrc, ySrc, rop);
  if (!m_hDC || !src || !src->m_hDC || rop != SRCCOPY) return FALSE;
  if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return TRUE;
  auto from = src->d_->Target();
  if (!from) return FALSE;
  QImage part;
  {
    std::lock_guard g(from->lock);
    const i64 sx = src->d_->DevX(xSrc), sy = src->d_->DevY(ySrc);
    part = from->image.copy(QRectOf(sx, sy, sx + srcWidth, sy + srcHeight).normalized());
  }
  Draw d;
  if (!d_->Begin(d)) return TRUE;
  const QRect target = QRectOf(d_->DevX(x), d_->DevY(y), d_->DevX(x) + width, d_->DevY(y) + height);
  QPainter p(&d.s->image);
  p.setClipRegion(*d.region);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(target.normalized(), part.mirrored(width < 0, height < 0));
  d.t.Touch(target.normalized() & d.t.clipBounds);
  return TRUE;
}
