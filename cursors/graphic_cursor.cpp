#include "cursors/graphic_cursor.h"

#include <cstdint>
#include <utility>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/position.h"
#include "notify/event_service.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/numeric.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CGCursor, CGODynamic)

// Pixel sums saturate (SaturatingAdd): the pixels of far-away values sit at the ends of the LONG
// range, and a strip or a shadow line beside them must stay there instead of wrapping.
using quarlen::PixelWide;
using quarlen::SaturatingAdd;
using quarlen::SaturatingCast;

CGCursor::CGCursor() = default;

CGCursor::~CGCursor() { Unsubscribe(); }

// The event service is called without the object's lock: a pass holds the event lock while it
// delivers to OnEvent, which takes the object's lock, so waiting for the event lock while
// holding the object's lock could wait forever.
void CGCursor::Unsubscribe() {
  unsigned client, id;
  {
    Guard g(this);
    client = std::exchange(m_eventClient, 0u);
    id = std::exchange(m_eventId, 0u);
  }
  // After these return the tick thread no longer calls this cursor.
  if (id != 0) event_UnregisterEvent(event_positionChanged, id);
  if (client != 0) event_UnregisterClient(client);
}

void CGCursor::Create(CPosition* position) {
  if (position == nullptr) return;
  Unsubscribe();
  {
    Guard g(this);
    m_refPosition = position;
    m_drawnPosition = m_pendingPosition = position->GetValue();
  }
  // Outside the lock, as in Unsubscribe. A delivery may arrive as soon as the event is
  // registered; it finds the new position in place.
  const unsigned client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                               &CGObject::EventCallback, event_kindCallback4);
  const unsigned id = client != 0
                          ? event_RegisterEvent(event_positionChanged, client, event_libraryControl,
                                                0, position->GetID(), 0, event_any)
                          : 0u;
  Guard g(this);
  m_eventClient = client;
  m_eventId = id;
}

void CGCursor::EnableShadow(int enable, COLORREF color) {
  Guard g(this);
  m_shadowEnabled = enable;
  m_shadowColor = color;
  CGObject::Invalidate();
}

void CGCursor::SetAlternateColor(COLORREF color) {
  Guard g(this);
  m_alternateColor = color;
  CGObject::Invalidate();
}

void CGCursor::SetLineType(int type) {
  Guard g(this);
  m_lineType = type;
  CGObject::Invalidate();
}

CSC* CGCursor::DirectionScale() const { return m_followsX ? GetXScale() : GetYScale(); }

long CGCursor::DrawnPixel() const { return DirectionScale()->PosToPixel(m_drawnPosition); }

CRect CGCursor::Strip(long p, long width) const {
  CRect r = m_rect;
  const LONG lo = SaturatingCast<LONG>(p);
  const LONG hi = SaturatingAdd<LONG>(lo, width);
  if (m_followsX) {
    r.left = lo;
    r.right = hi;
  } else {
    r.top = lo;
    r.bottom = hi;
  }
  return r;
}

double CGCursor::GetCursorWidth() const {
  CSC* s = DirectionScale();
  return s->PixelToPos(SaturatingAdd<LONG>(s->PosToPixel(m_drawnPosition), 1)) - m_drawnPosition;
}

void CGCursor::GetVisibleRect(CRect* out) const {
  if (out == nullptr) return;
  Guard g(this);
  *out = Strip(DrawnPixel(), 2);
}

void CGCursor::SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) {
  {
    Guard g(this);
    const CAxe* axis = m_refPosition != nullptr ? m_refPosition->GetAxe() : nullptr;
    const CAxe* hAxis = x != nullptr ? x->GetAxe() : nullptr;
    m_followsX = (axis != nullptr && hAxis != nullptr && *axis == *hAxis) ? 1 : 0;
    SetCursor(
        reinterpret_cast<HICON>(::LoadCursorW(nullptr, m_followsX ? IDC_SIZEWE : IDC_SIZENS)));
    if (m_refPosition != nullptr) m_drawnPosition = m_refPosition->GetValue();
    CGObject::SetRuler(x, xGrow, y, yGrow);
  }
}

void CGCursor::AckNewData() {
  Guard g(this);
  m_drawnPosition = m_pendingPosition;
  CGObject::AckNewData();
  if (m_refPosition == nullptr) return;
  const double v = m_refPosition->GetValue();
  if (!IsNearlyEqual(m_drawnPosition, v)) {
    InvalidateNewPos(v);
    m_drawnPosition = m_refPosition->GetValue();
  }
}

void CGCursor::DrawLines(CDC* dc, const CRect& r, long p) {
  auto inside = [&](long q) {
    return m_followsX ? (r.left <= q && q < r.right) : (r.top <= q && q < r.bottom);
  };
  auto line = [&](long q) {
    if (m_followsX) {
      dc->MoveTo(static_cast<int>(q), r.top);
      dc->LineTo(static_cast<int>(q), r.bottom);
    } else {
      dc->MoveTo(r.left, static_cast<int>(q));
      dc->LineTo(r.right, static_cast<int>(q));
    }
  };
  if (inside(p)) {
    CPen pen;
    pen.CreatePen(m_lineType, 1, GetColor());
    dc->SetBkColor(m_alternateColor);
    dc->SetBkMode(OPAQUE);
    CPen* old = dc->SelectObject(&pen);
    line(p);
    dc->SelectObject(old);
  }
  if (m_shadowEnabled) {
    const long q = SaturatingAdd<LONG>(p, 1);
    if (inside(q)) {
      CPen pen;
      pen.CreatePen(PS_SOLID, 1, m_shadowColor);
      CPen* old = dc->SelectObject(&pen);
      line(q);
      dc->SelectObject(old);
    }
  }
}

void CGCursor::OnDraw(CDC* dc, CRect* clip) {
  if (!IsDrawEnable() || dc == nullptr || clip == nullptr) return;
  Guard g(this);
  DrawLines(dc, *clip, DrawnPixel());
}

void CGCursor::InvalidateNewPos(double value) {
  if (value == kNoValue) return;
  Guard g(this);
  const long w = m_shadowEnabled ? 3 : 2;
  if (IsNearlyEqual(m_drawnPosition, value)) return;
  m_pendingPosition = value;
  CSC* s = DirectionScale();
  const CRect oldStrip = Strip(s->PosToPixel(m_drawnPosition), w);
  const CRect newStrip = Strip(s->PosToPixel(m_pendingPosition), w);
  CGObject::Invalidate(&oldStrip);
  CGObject::Invalidate(&newStrip);
}

void CGCursor::InvalidateNewPixel(long pixel) {
  Guard g(this);
  const long w = m_shadowEnabled ? 3 : 2;
  CSC* s = DirectionScale();
  const long old = s->PosToPixel(m_drawnPosition);
  m_pendingPosition = s->PixelToPos(SaturatingCast<LONG>(pixel));
  if (IsNearlyEqual(m_drawnPosition, m_pendingPosition)) return;
  const CRect oldStrip = Strip(old, w);
  const CRect newStrip = Strip(pixel, w);
  CGObject::Invalidate(&oldStrip);
  CGObject::Invalidate(&newStrip);
}

void CGCursor::OnEvent(unsigned id, WPARAM a, LPARAM b) {
  if (id != event_positionChanged) {
    CGObject::OnEvent(id, a, b);
    return;
  }
  Guard g(this);
  if (m_refPosition == nullptr) return;
  const double v = m_refPosition->GetValue();
  if (!IsNearlyEqual(v, m_drawnPosition)) InvalidateNewPos(v);
}

void CGCursor::OnScaling() {
  Guard g(this);
  if (m_refPosition != nullptr) m_drawnPosition = m_refPosition->GetValue();
}

int CGCursor::IsOnTop(CPoint* pt) const {
  if (pt == nullptr) return 0;
  Guard g(this);
  if (!IsCaptureEnabled()) return 0;
  const PixelWide p = DrawnPixel();
  const CSize pick = GetPickPrecision();
  const PixelWide c = m_followsX ? pt->x : pt->y;
  const PixelWide d = m_followsX ? pick.cx : pick.cy;
  return (p - d <= c && c <= p + d) ? 1 : 0;
}

int CGCursor::OnBeginCapture(CPoint*, unsigned flags) {
  Guard g(this);
  if (flags & MK_LBUTTON) m_captureInProgress = 1;
  return m_captureInProgress;
}

// The position is written without the object's lock: SetValue sends event 1619, and the event
// service's tick thread holds the service lock while it calls OnEvent, which takes the object's
// lock. Holding the object's lock across the send would let the two threads wait for each other.
int CGCursor::UpdateFromPixel(CPoint* pt) {
  if (pt == nullptr) return 1;
  CPosition* position;
  long c;
  double v;
  {
    Guard g(this);
    position = m_refPosition;
    if (position == nullptr) return 1;
    c = Coordinate(*pt);
    v = DirectionScale()->PixelToPos(SaturatingCast<LONG>(c));
  }
  position->SetValue(v, 1);
  InvalidateNewPixel(c);
  return 1;
}

int CGCursor::OnUpdateCapture(CPoint* pt, unsigned) { return UpdateFromPixel(pt); }

void CGCursor::OnEndCapture(CPoint* pt, unsigned) {
  m_captureInProgress = 0;
  UpdateFromPixel(pt);
}
