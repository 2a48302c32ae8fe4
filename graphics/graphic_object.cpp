#include "graphics/graphic_object.h"

#include <limits>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "notify/event_service.h"
#include "platform/archive.h"

namespace quarlen::detail {
namespace {

// Extent of [lo, hi) as a 32-bit value; rectangles with extreme corners saturate.
LONG Extent(LONG lo, LONG hi) {
  const std::int64_t d = static_cast<std::int64_t>(hi) - lo;
  if (d > std::numeric_limits<LONG>::max()) return std::numeric_limits<LONG>::max();
  if (d < std::numeric_limits<LONG>::min()) return std::numeric_limits<LONG>::min();
  return static_cast<LONG>(d);
}

}  // namespace
}  // namespace quarlen::detail

IMPLEMENT_DYNAMIC(CGObject, CObject)

CGObject::CGObject() : m_xScale(std::make_unique<CSC>()), m_yScale(std::make_unique<CSC>()) {}

CGObject::~CGObject() = default;

void CGObject::Lock() const {
  m_lock.Lock();
  ++m_lockDepth;
}

void CGObject::Unlock() const {
  bool send = false;
  if (--m_lockDepth == 0 && m_signalPending) {
    m_signalPending = false;
    send = true;
  }
  m_lock.Unlock();
  if (send) const_cast<CGObject*>(this)->SendModified();
}

void CGObject::SignalModified() {
  Lock();
  m_signalPending = true;
  Unlock();
}

void CGObject::SendModified() {
  event_Send(event_objectModified, m_container.load(), reinterpret_cast<std::uintptr_t>(this),
             event_flagObject);
}

void CGObject::EventCallback(void* object, unsigned id, std::uintptr_t a, std::uintptr_t b) {
  if (object == nullptr) return;
  static_cast<CGObject*>(object)->OnEvent(id, static_cast<WPARAM>(a), static_cast<LPARAM>(b));
}

void CGObject::Serialize(CArchive& ar) {
  // The lock is held throughout, and released when a truncated archive throws.
  struct Scope {
    const CGObject* o;
    explicit Scope(const CGObject* p) : o(p) { o->Lock(); }
    ~Scope() { o->Unlock(); }
  } scope(this);

  if (ar.IsStoring()) {
    ar << static_cast<std::int32_t>(m_drawEnabled.load());
    ar << static_cast<std::int32_t>(m_buildEnabled.load());
    // The archive keeps 32 bits of the container id; a loaded object gets its real container
    // id again when it is added to a container.
    ar << static_cast<std::uint32_t>(m_container.load());
    ar << static_cast<std::uint32_t>(m_color.load());
    ar << static_cast<std::int32_t>(m_rect.left) << static_cast<std::int32_t>(m_rect.top)
       << static_cast<std::int32_t>(m_rect.right) << static_cast<std::int32_t>(m_rect.bottom);
    return;
  }
  std::int32_t i = 0;
  std::uint32_t u = 0;
  ar >> i;
  m_drawEnabled = i;
  ar >> i;
  m_buildEnabled = i;
  ar >> u;
  m_container = u;
  ar >> u;
  m_color = u;
  ar >> i;
  m_rect.left = i;
  ar >> i;
  m_rect.top = i;
  ar >> i;
  m_rect.right = i;
  ar >> i;
  m_rect.bottom = i;
}

void CGObject::EnableDraw(int enable) {
  Lock();
  if (enable != m_drawEnabled.load()) Invalidate();
  m_drawEnabled = enable;
  Unlock();
}

void CGObject::EnableBuild(int enable) {
  Lock();
  m_buildEnabled = enable;
  Unlock();
}

void CGObject::SetColor(COLORREF color) {
  Lock();
  if (color != m_color.load()) {
    Invalidate();
    m_color = color;
  }
  Unlock();
}

void CGObject::SetContainer(std::uintptr_t container) {
  Lock();
  m_container = container;
  Unlock();
}

int CGObject::GetImageRect(double*, double*, double*, double*) const { return 0; }

void CGObject::GetVisibleRect(CRect* out) const {
  if (out == nullptr) return;
  Lock();
  *out = m_rect;
  Unlock();
}

void CGObject::SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) {
  Lock();
  m_yGrow = yGrow;
  m_xGrow = xGrow;
  m_xRuler = x;
  m_yRuler = y;
  m_xScale->SetAttrib(x, xGrow == 0 ? 1 : 0);
  m_yScale->SetAttrib(y, yGrow != 0 ? 1 : 0);
  OnScaling();
  Unlock();
}

CSC* CGObject::GetXScale() const { return m_xScale.get(); }
CSC* CGObject::GetYScale() const { return m_yScale.get(); }

void CGObject::AckNewData() {
  Lock();
  m_updateRgn.Empty();
  Unlock();
}

void CGObject::OnDraw(CDC*, CRect*) {}
void CGObject::OnInit(CDC*) {}
void CGObject::OnDestroyWnd(CDC*) {}
void CGObject::SetTemporaryDC(CDC*) {}
void CGObject::OnScaling() {}

void CGObject::OnSize(CRect* rect) {
  if (rect == nullptr) return;
  using quarlen::detail::Extent;
  Lock();
  m_rect = *rect;
  m_updateRgn.Empty();
  m_xScale->SetAttrib(Extent(rect->left, rect->right), static_cast<LONG>(rect->left));
  m_yScale->SetAttrib(Extent(rect->top, rect->bottom), static_cast<LONG>(rect->top));
  OnScaling();
  Unlock();
}

void CGObject::OnEvent(unsigned id, WPARAM, LPARAM) {
  if (id != event_rulerChanged) return;
  // The lock keeps the rescale consistent with invalidations made on the event service's
  // thread by derived objects.
  Lock();
  bool same = true;
  if (m_xRuler != nullptr) {
    same = same && m_xScale->GetRulOffset() == m_xRuler->GetStart() &&
           m_xScale->GetRulRange() == m_xRuler->GetRange();
  }
  if (m_yRuler != nullptr) {
    same = same && m_yScale->GetRulOffset() == m_yRuler->GetStart() &&
           m_yScale->GetRulRange() == m_yRuler->GetRange();
  }
  if (m_xRuler != nullptr) {
    same = same && m_xScale->GetDisplayOffset() == m_xRuler->GetDisplayOffset();
  }
  if (m_yRuler != nullptr) {
    same = same && m_yScale->GetDisplayOffset() == m_yRuler->GetDisplayOffset();
  }
  if (!same) {
    m_updateRgn.Empty();
    m_xScale->SetAttrib(m_xRuler, m_xGrow == 0 ? 1 : 0);
    m_yScale->SetAttrib(m_yRuler, m_yGrow != 0 ? 1 : 0);
    OnScaling();
  }
  Unlock();
}

void CGObject::SetDataLimits(double x1, double x2, double y1, double y2) {
  Lock();
  m_xScale->SetDataLimits(x1, x2);
  m_yScale->SetDataLimits(y1, y2);
  Unlock();
}

void CGObject::GetRuler(CRuler** x, CRuler** y) const {
  Lock();
  if (x != nullptr) *x = m_xRuler;
  if (y != nullptr) *y = m_yRuler;
  Unlock();
}

void CGObject::Invalidate() {
  CRect r;
  GetVisibleRect(&r);
  Invalidate(&r);
}

void CGObject::InvalidateAll() {
  Lock();
  const CRect r = m_rect;
  Unlock();
  Invalidate(&r);
}

void CGObject::Invalidate(const CRect* r) {
  if (r == nullptr || ::IsRectEmpty(r)) return;
  Lock();
  m_updateRgn += *r;
  SignalModified();
  Unlock();
}

void CGObject::Invalidate(const CComplexRegion* rgn) {
  Lock();
  if (rgn != nullptr) m_updateRgn += *rgn;
  SignalModified();
  Unlock();
}

void CGObject::PostNewDimension() {
  Lock();
  CRect r = m_rect;
  Unlock();
  OnSize(&r);
}

void CGObject::GetUpdateRgn(CComplexRegion* out) {
  if (out == nullptr) return;
  Lock();
  *out += m_updateRgn;
  Unlock();
}

int CGObject::IsModified() const {
  Lock();
  const int modified = m_updateRgn.IsEmpty() ? 0 : 1;
  Unlock();
  return modified;
}

double CGObject::XPosPerSample() const {
  Lock();
  const double v = m_xScale->GetSampleResol();
  Unlock();
  return v;
}

double CGObject::YPosPerSample() const {
  Lock();
  const double v = m_yScale->GetSampleResol();
  Unlock();
  return v;
}
