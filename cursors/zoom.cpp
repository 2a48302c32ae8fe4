#include "cursors/zoom.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <utility>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/zoom_gesture.h"
#include "platform/dc.h"
#include "platform/numeric.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CZoom, CGODynamic)

using quarlen::PixelWide;
using quarlen::SaturatingAdd;

class CZoom::Guard {
 public:
  explicit Guard(const CZoom* z) : m_zoom(z) { m_zoom->Lock(); }
  ~Guard() { m_zoom->Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  const CZoom* m_zoom;
};

namespace {

// The band's corners are both painted (its fill covers left..right and top..bottom inclusive),
// so the rectangle to repaint is the normalised band grown by one pixel to the right and down.
CRect PaintedArea(CRect r) {
  r.NormalizeRect();
  r.right = SaturatingAdd<LONG>(r.right, 1);
  r.bottom = SaturatingAdd<LONG>(r.bottom, 1);
  return r;
}

// Smallest span a zoom may give a ruler (base units).
double MinimumRange(const CRuler* ruler) {
  const wchar_t* name = ruler != nullptr ? ruler->GetName() : nullptr;
  return name != nullptr && std::wcscmp(name, L"Amplitude") == 0 ? 0.05 : 1e-5;
}

}  // namespace

CZoom::CZoom(CRuler* restrictingRuler, const int& partialInvalidation)
    : m_restrictingRuler(restrictingRuler),
      m_insideCursor(reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_ARROW))),
      m_outsideCursor(reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_NO))),
      m_partialInvalidation(partialInvalidation) {
  m_validBrush.CreateHatchBrush(HS_DIAGCROSS, RGB(0, 255, 0));
  m_invalidBrush.CreateHatchBrush(HS_DIAGCROSS, RGB(255, 0, 0));
  SetPickPrecision(CSize(0, 0));
  GetXScale()->SetDisplayOffsetConsidered(0);
  GetYScale()->SetDisplayOffsetConsidered(0);
}

CZoom::~CZoom() = default;

void CZoom::SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) {
  CGObject::SetRuler(x, xGrow, y, yGrow);
  m_orientMode = m_restrictingRuler == nullptr ? 2 : (m_restrictingRuler == x ? 0 : 1);
}

int CZoom::IsOnTop(CPoint*) const { return 1; }

HICON CZoom::GetCursor(CPoint* pt) {
  return pt != nullptr && m_rect.PtInRect(*pt) ? m_insideCursor : m_outsideCursor;
}

int CZoom::ExceedMinZoom(const CRect& r) const {
  const PixelWide w = std::llabs(PixelWide{r.right} - r.left);
  const PixelWide h = std::llabs(PixelWide{r.bottom} - r.top);
  return (w >= m_minZoom.cx || h >= m_minZoom.cy) ? 1 : 0;
}

CZoom::ORIENT CZoom::GetZoomOrient(CRect r) const {
  switch (m_orientMode) {
    case 0:
      return horizontal;
    case 1:
      return vertical;
    case 2:
      break;
    default:
      return both;
  }
  const double w = std::fabs(static_cast<double>(r.right) - r.left);
  const double h = std::fabs(static_cast<double>(r.bottom) - r.top);
  if (w > h) return h / w < 0.5 ? horizontal : both;
  if (w < h) return w / h < 0.5 ? vertical : both;
  return both;
}

void CZoom::Invalidate(CRect r) {
  if (m_orient == horizontal) {
    r.top = m_rect.top;
    r.bottom = m_rect.bottom;
  } else if (m_orient == vertical) {
    r.left = m_rect.left;
    r.right = m_rect.right;
  }
  const CRect area = PaintedArea(r);
  CGObject::Invalidate(&area);
}

int CZoom::OnBeginCapture(CPoint* pt, unsigned) {
  Guard g(this);
  if (IsCaptureEnabled() && pt != nullptr) {
    m_captureInProgress = 1;
    m_band = CRect(pt->x, pt->y, pt->x, pt->y);
    m_orient = GetZoomOrient(m_band);
    m_exceeded = 0;
    Invalidate(m_band);
  }
  return m_captureInProgress;
}

int CZoom::OnUpdateCapture(CPoint* pt, unsigned) {
  if (pt == nullptr) return 1;
  Guard g(this);
  const CRect old = m_band;
  m_band.right = pt->x;
  m_band.bottom = pt->y;
  const int wasExceeded = m_exceeded;
  const ORIENT wasOrient = m_orient;
  if (!m_exceeded) {
    m_exceeded = ExceedMinZoom(m_band);
    m_orient = GetZoomOrient(m_band);
    ::ClipCursor(nullptr);
  }
  if (!m_partialInvalidation) {
    CGObject::Invalidate(&m_rect);
    return 1;
  }
  const bool same = m_exceeded == wasExceeded && m_orient == wasOrient;
  if (same && (m_exceeded || GetZoomOrient(old) == m_orient)) {
    if (m_orient == horizontal) {
      const CRect r = PaintedArea(
          CRect(old.right, m_rect.top, m_band.right, SaturatingAdd<LONG>(m_rect.bottom, -1)));
      CGObject::Invalidate(&r);
    } else if (m_orient == vertical) {
      const CRect r = PaintedArea(
          CRect(m_rect.left, old.bottom, SaturatingAdd<LONG>(m_rect.right, -1), m_band.bottom));
      CGObject::Invalidate(&r);
    } else {
      Invalidate(old);
      Invalidate(m_band);
    }
    return 1;
  }
  if (same) {
    Invalidate(old);
    Invalidate(m_band);
    return 1;
  }
  // The band changed colour or direction: erase it as it was drawn, then draw it anew.
  if (wasOrient == horizontal || wasOrient == vertical) {
    CRect r = old;
    if (wasOrient == horizontal) {
      r.top = m_rect.top;
      r.bottom = SaturatingAdd<LONG>(m_rect.bottom, -1);
    } else {
      r.left = m_rect.left;
      r.right = SaturatingAdd<LONG>(m_rect.right, -1);
    }
    const CRect area = PaintedArea(r);
    CGObject::Invalidate(&area);
  } else {
    Invalidate(old);
  }
  Invalidate(m_band);
  return 1;
}

void CZoom::OnDraw(CDC* dc, CRect* clip) {
  if (dc == nullptr || clip == nullptr) return;
  Guard g(this);
  if (!m_captureInProgress) return;
  CRect b = m_band;
  b.NormalizeRect();
  if (m_orient == horizontal) {
    b.top = 0;
    b.bottom = m_rect.bottom;
  } else if (m_orient == vertical) {
    b.left = 0;
    b.right = m_rect.right;
  }
  CRect x;
  if (b.IsRectEmpty() || !::IntersectRect(&x, &b, clip)) return;
  CGdiObject* oldPen = dc->SelectStockObject(NULL_PEN);
  dc->SetBkColor(RGB(0, 0, 0));
  CBrush* oldBrush = dc->SelectObject(m_exceeded ? &m_validBrush : &m_invalidBrush);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->Rectangle(x.left, x.top, SaturatingAdd<int>(x.right, 1), SaturatingAdd<int>(x.bottom, 1));
  dc->SetBkMode(oldMode);
  if (oldPen != nullptr) dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}

void CZoom::OnEndCapture(CPoint* pt, unsigned) {
  CRuler* xr = nullptr;
  CRuler* yr = nullptr;
  GetRuler(&xr, &yr);
  struct Change {
    CRuler* ruler = nullptr;
    double start = 0.0, range = 0.0;
    int mode = 1;
  } changes[2];
  {
    Guard g(this);
    m_captureInProgress = 0;
    Invalidate(m_band);
    if (pt == nullptr) return;
    m_band.right = pt->x;
    m_band.bottom = pt->y;
    if (!m_exceeded) {
      m_exceeded = ExceedMinZoom(m_band);
      m_orient = GetZoomOrient(m_band);
    }
    if (!m_exceeded || !m_rect.PtInRect(*pt)) return;
    m_band.NormalizeRect();
    CRect u;
    ::UnionRect(&u, &m_band, &m_rect);
    if (!::EqualRect(&u, &m_rect)) return;
    const auto span = [](CSC* s, LONG a, LONG b) {
      double p0 = s->PixelToPos(a), p1 = s->PixelToPos(b);
      if (p0 > p1) std::swap(p0, p1);
      return std::pair{p0, p1};
    };
    const bool zoomX = m_orient != vertical;
    const bool zoomY = m_orient != horizontal;
    if (zoomX && xr != nullptr) {
      const auto [x0, x1] = span(GetXScale(), m_band.left, m_band.right);
      if (x1 - x0 > MinimumRange(xr)) changes[0] = {xr, x0, x1 - x0, m_orient == both ? 0 : 1};
    }
    if (zoomY && yr != nullptr) {
      const auto [y0, y1] = span(GetYScale(), m_band.top, m_band.bottom);
      if (y1 - y0 > MinimumRange(yr)) changes[1] = {yr, y0, y1 - y0, 1};
    }
  }
  // The rulers announce their change (event 1620) once the object's lock is released, so that
  // the event service never waits for this object while a delivery waits for the service.
  // Both rulers of a band are one gesture (one entry of a zoom history).
  CZoomGesture gesture;
  for (const Change& c : changes) {
    if (c.ruler != nullptr) c.ruler->Set(c.start, c.range, c.mode);
  }
}
