// Painting: update regions, the coalesced WM_PAINT cycle, paint/window DCs over the window
// surface, scrolling and redraw control.
#include <QPainter>
#include <algorithm>
#include <unordered_map>

#include "platform/detail/device_pixels.h"
#include "platform/detail/window_registry.h"
#include "platform/numeric.h"
#include "platform/window.h"
#include "platform/window_dc.h"

namespace quarlen::detail {
namespace {

// RECT to QRect with coordinates in the drawing range, so that widths never overflow. (Every
// caller intersects the result with the client area.)
QRect ToQRect(const RECT& r) {
  auto c = [](LONG v) { return ClampDrawingCoord(v); };
  const int l = c(r.left), t = c(r.top), rr = c(r.right), b = c(r.bottom);
  if (rr <= l || b <= t) return QRect();
  return QRect(l, t, rr - l, b - t);
}

RECT ToRECT(const QRect& r) {
  if (r.isEmpty()) return RECT{0, 0, 0, 0};
  return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

int Complexity(const QRegion& r) { return r.isEmpty() ? 1 : (r.rectCount() == 1 ? 2 : 3); }

QSize ClientSizeOf(WindowRecord& rec) {
  std::lock_guard lock(rec.mutex);
  return rec.clientSize;
}

// Window DCs handed out by GetDC/GetDCEx until ReleaseDC.
std::mutex g_dcMutex;
std::unordered_map<CDC*, std::unique_ptr<CDC>>& windowDcs() {
  static auto* m = new std::unordered_map<CDC*, std::unique_ptr<CDC>>;
  return *m;
}

bool BeginPaintOn(HWND hWnd, CDC& dc, PAINTSTRUCT* ps) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !rec->surface || !OnGuiThread()) return false;
  QRegion region;
  bool erase = false;
  {
    std::lock_guard lock(rec->mutex);
    region.swap(rec->update);
    erase = rec->erase;
    rec->erase = false;
  }
  ++rec->paintsBegun;
  dc.AttachSurface(rec->surface, region);
  ps->hdc = dc.GetSafeHdc();
  ps->rcPaint = ToRECT(region.boundingRect());
  ps->fErase = FALSE;
  if (erase) {
    LRESULT erased =
        DispatchToWindow(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    ps->fErase = erased ? FALSE : TRUE;
  }
  return true;
}

void EndPaintOn(HWND hWnd, CDC& dc) {
  dc.DetachSurface();
  if (auto rec = FindWindowRecord(hWnd)) {
    std::lock_guard lock(rec->mutex);
    rec->hasContent = true;
  }
}

}  // namespace

bool InvalidateRegion(HWND hWnd, const QRegion* region, bool erase) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return false;
  if (!rec->surface) {  // a host widget paints itself
    if (OnGuiThread() && rec->widget) rec->widget->update();
    return true;
  }
  bool post = false;
  {
    std::lock_guard lock(rec->mutex);
    const QRect client(QPoint(0, 0), rec->clientSize);
    QRegion add = region ? (*region & client) : QRegion(client);
    if (add.isEmpty()) return true;
    rec->update |= add;
    rec->erase = rec->erase || erase;
    if (!rec->paintPending && rec->redraw) post = rec->paintPending = true;
  }
  if (post) SchedulePaint(*rec);
  return true;
}

void ResizeSurface(WindowRecord& rec, QSize size) {
  QSize old;
  {
    std::lock_guard lock(rec.mutex);
    if (rec.clientSize == size) return;
    old = rec.clientSize;
    rec.clientSize = size;
    rec.update &= QRect(QPoint(0, 0), size);
  }
  if (rec.surface) {
    std::lock_guard lock(rec.surface->lock);
    QImage image(size, QImage::Format_RGB32);
    image.fill(PixelOf(rec.background));
    const QImage& before = rec.surface->image;
    const int w = std::min(before.width(), size.width()),
              h = std::min(before.height(), size.height());
    for (int y = 0; y < h; ++y)
      std::copy_n(reinterpret_cast<const QRgb*>(before.constScanLine(y)), w,
                  reinterpret_cast<QRgb*>(image.scanLine(y)));
    rec.surface->image = std::move(image);
  }
  const QRegion exposed = QRegion(QRect(QPoint(0, 0), size)) - QRegion(QRect(QPoint(0, 0), old));
  if (!exposed.isEmpty()) InvalidateRegion(rec.handle, &exposed, true);
}

void PaintCycle(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return;
  {
    std::lock_guard lock(rec->mutex);
    rec->paintPending = false;
    if (rec->update.isEmpty() || !rec->redraw) return;
  }
  // A hidden window keeps its update region until it is shown.
  if (!(rec->style.load() & WS_VISIBLE)) return;
  const int begun = rec->paintsBegun;
  DispatchToWindow(hWnd, WM_PAINT, 0, 0);
  if (rec->paintsBegun == begun && FindWindowRecord(hWnd)) {
    // The handler painted without BeginPaint; validate as the default procedure would instead
    // of sending WM_PAINT again and again.
    std::lock_guard lock(rec->mutex);
    rec->update = QRegion();
    rec->erase = false;
  }
}

void PaintNow(HWND hWnd) { PaintCycle(hWnd); }

}  // namespace quarlen::detail

using namespace quarlen::detail;
using quarlen::ClampDrawingCoord;
using quarlen::ClampMessageCoord;

// ---- Paint DCs -------------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
  if (!BeginPaintOn(m_hWnd, *this, &m_ps)) m_hWnd = nullptr;
}
CPaintDC::~CPaintDC() {
  if (m_hWnd) EndPaintOn(m_hWnd, *this);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec || !rec->surface) {
    m_hWnd = nullptr;
    return;
  }
  AttachSurface(rec->surface, QRegion(QRect(QPoint(0, 0), ClientSizeOf(*rec))));
}
CClientDC::~CClientDC() { DetachSurface(); }

CComposeDC::CComposeDC(CWnd* wnd) : CClientDC(wnd) {
  if (auto s = SurfaceOf(GetSafeHdc())) BeginComposition(*s);
}
CComposeDC::~CComposeDC() {
  if (auto s = SurfaceOf(GetSafeHdc())) EndComposition(*s);
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT paint) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !paint || !OnGuiThread()) return nullptr;
  if (!rec->paintDc) rec->paintDc = std::make_unique<CDC>();
  if (!BeginPaintOn(hWnd, *rec->paintDc, paint)) return nullptr;
  return paint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT*) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !rec->paintDc || !OnGuiThread()) return FALSE;
  EndPaintOn(hWnd, *rec->paintDc);
  return TRUE;
}

HDC GetDCEx(HWND hWnd, HRGN clip, DWORD flags) {
  std::shared_ptr<Surface> surface;
  QRegion base;
  if (!hWnd) {
    // The screen DC: usable for measuring text; drawing through it shows nothing.
    static std::shared_ptr<Surface> scratch = MakeSurface(1, 1);
    scratch->dpi = ScreenDpi();
    surface = scratch;
  } else {
    auto rec = FindWindowRecord(hWnd);
    if (!rec || !rec->surface) return nullptr;
    surface = rec->surface;
    base = QRect(QPoint(0, 0), ClientSizeOf(*rec));
    if (QRegion* r = clip ? RegionOf(clip) : nullptr) {
      if (flags & DCX_INTERSECTRGN) base &= *r;
      if (flags & DCX_EXCLUDERGN) base -= *r;
    }
  }
  auto dc = std::make_unique<CDC>();
  dc->AttachSurface(surface, base);
  HDC hdc = dc->GetSafeHdc();
  std::lock_guard lock(g_dcMutex);
  windowDcs().emplace(dc.get(), std::move(dc));
  return hdc;
}

HDC GetDC(HWND hWnd) { return GetDCEx(hWnd, nullptr, DCX_CACHE); }

int ReleaseDC(HWND, HDC hdc) {
  std::unique_ptr<CDC> dc;
  {
    std::lock_guard lock(g_dcMutex);
    auto it = windowDcs().find(CDC::FromHandle(hdc));
    if (!hdc || it == windowDcs().end()) return 0;
    dc = std::move(it->second);
    windowDcs().erase(it);
  }
  dc->DetachSurface();
  return 1;
}

BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase) {
  if (!rect) return InvalidateRegion(hWnd, nullptr, erase) ? TRUE : FALSE;
  const QRegion r(ToQRect(*rect));
  return InvalidateRegion(hWnd, &r, erase) ? TRUE : FALSE;
}

BOOL InvalidateRgn(HWND hWnd, HRGN region, BOOL erase) {
  if (!region) return InvalidateRegion(hWnd, nullptr, erase) ? TRUE : FALSE;
  QRegion* r = RegionOf(region);
  if (!r) return FALSE;
  const QRegion copy = *r;
  return InvalidateRegion(hWnd, &copy, erase) ? TRUE : FALSE;
}

BOOL ValidateRect(HWND hWnd, const RECT* rect) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return FALSE;
  std::lock_guard lock(rec->mutex);
  if (rect)
    rec->update -= ToQRect(*rect);
  else
    rec->update = QRegion();
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  if (!FindWindowRecord(hWnd) || !OnGuiThread()) return FALSE;
  PaintCycle(hWnd);
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* rect, HRGN region, UINT flags) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return FALSE;
  QRegion area;
  const bool all = !rect && !region;
  if (QRegion* r = region ? RegionOf(region) : nullptr)
    area = *r;
  else if (rect)
    area = ToQRect(*rect);
  if (flags & RDW_INVALIDATE) InvalidateRegion(hWnd, all ? nullptr : &area, flags & RDW_ERASE);
  if (flags & RDW_VALIDATE) {
    std::lock_guard lock(rec->mutex);
    if (all)
      rec->update = QRegion();
    else
      rec->update -= area;
  }
  if ((flags & RDW_ALLCHILDREN) && OnGuiThread()) {
    for (HWND child : ChildWindows(hWnd)) RedrawWindow(child, nullptr, nullptr, flags);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(hWnd);
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT rect, BOOL) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return FALSE;
  std::lock_guard lock(rec->mutex);
  if (rect) *rect = ToRECT(rec->update.boundingRect());
  return rec->update.isEmpty() ? FALSE : TRUE;
}

int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !rec->surface) return 0;
  dx = ClampMessageCoord(dx);
  dy = ClampMessageCoord(dy);
  const QRect client(QPoint(0, 0), ClientSizeOf(*rec));
  const QRect source = scroll ? (ToQRect(*scroll) & client) : client;
  const QRect limit = clip ? (ToQRect(*clip) & client) : client;
  const QRect target = source.translated(dx, dy) & limit;
  if (!target.isEmpty()) {
    std::lock_guard lock(rec->surface->lock);
    QImage& image = rec->surface->image;
    const QImage moved = image.copy(source);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRect(target);
    p.drawImage(source.topLeft() + QPoint(dx, dy), moved);
  }
  {
    // A pending update inside the scrolled area moves with the pixels.
    std::lock_guard lock(rec->mutex);
    const QRegion inside = rec->update & source;
    rec->update = (rec->update - inside) | (inside.translated(dx, dy) & limit);
  }
  const QRegion uncovered = QRegion(source & limit) - QRegion(target);
  if (flags & SW_INVALIDATE) InvalidateRegion(hWnd, &uncovered, flags & SW_ERASE);
  if (QRegion* r = update ? RegionOf(update) : nullptr) *r = uncovered;
  if (updateRect) *updateRect = ToRECT(uncovered.boundingRect());
  if ((flags & SW_SCROLLCHILDREN) && OnGuiThread()) {
    for (HWND child : ChildWindows(hWnd)) {
      auto c = FindWindowRecord(child);
      if (!c || !c->widget) continue;
      const QRect g(DevicePoint(QPointF(c->widget->pos()), DeviceRatio(c->widget)),
                    ClientSizeOf(*c));
      if (scroll && !source.intersects(g)) continue;
      MoveWindow(child, g.x() + dx, g.y() + dy, g.width(), g.height(), FALSE);
    }
  }
  if (!target.isEmpty()) ScheduleFlush(*rec, QRegion(target));
  return Complexity(uncovered);
}

// ---- CWnd painting members -------------------------------------------------------------------

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::InvalidateRgn(CRgn* region, BOOL erase) {
  ::InvalidateRgn(m_hWnd, region ? static_cast<HRGN>(*region) : nullptr, erase);
}
void CWnd::ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, CRgn* region, UINT flags) {
  return ::RedrawWindow(m_hWnd, rect, region ? static_cast<HRGN>(*region) : nullptr, flags);
}
BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL erase) { return ::GetUpdateRect(m_hWnd, rect, erase); }
int CWnd::GetUpdateRgn(CRgn* region, BOOL) {
  auto rec = FindWindowRecord(m_hWnd);
  QRegion* out = region ? RegionOf(static_cast<HRGN>(*region)) : nullptr;
  if (!rec || !out) return 0;
  std::lock_guard lock(rec->mutex);
  *out = rec->update;
  return Complexity(*out);
}
int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT scroll, LPCRECT clip, CRgn* update,
                         LPRECT updateRect, UINT flags) {
  return ::ScrollWindowEx(m_hWnd, dx, dy, scroll, clip,
                          update ? static_cast<HRGN>(*update) : nullptr, updateRect, flags);
}
void CWnd::SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, redraw, 0); }

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetDCEx(CRgn* clip, DWORD flags) {
  return CDC::FromHandle(::GetDCEx(m_hWnd, clip ? static_cast<HRGN>(*clip) : nullptr, flags));
}
int CWnd::ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->GetSafeHdc()) : 0; }
CDC* CWnd::BeginPaint(LPPAINTSTRUCT paint) { return CDC::FromHandle(::BeginPaint(m_hWnd, paint)); }
void CWnd::EndPaint(LPPAINTSTRUCT paint) { ::EndPaint(m_hWnd, paint); }
