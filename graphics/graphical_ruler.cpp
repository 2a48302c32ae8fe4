#include "graphics/graphical_ruler.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "notify/event_service.h"
#include "platform/dpi.h"
#include "platform/numeric.h"
#include "platform/window_dc.h"

namespace {

using Guard = std::lock_guard<CCriticalSection>;

// Truncates toward zero and keeps the result in [lo, hi] (NaN gives 0 before the clamp).
int TruncClamped(double v, int lo, int hi) {
  return std::clamp(quarlen::SaturatingTrunc<int>(v), lo, hi);
}

}  // namespace

IMPLEMENT_DYNAMIC(CGRuler, CWnd)

BEGIN_MESSAGE_MAP(CGRuler, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
END_MESSAGE_MAP()

CGRuler::CGRuler() {
  m_logFont.lfHeight = 14;
  m_logFont.lfWeight = FW_NORMAL;
  m_logFont.lfQuality = DRAFT_QUALITY;
  m_logFont.lfPitchAndFamily = FF_SWISS;
  // Ticks are read with the data limits of the view ignored: display positions map straight.
  m_scale.SetDataLimitsConsidered(0);
}

CGRuler::~CGRuler() {
  Shutdown();
  Guard lock(m_lock);
  m_font.DeleteObject();
  m_ruler = nullptr;
}

void CGRuler::Shutdown() {
  m_destroyed = 1;
  // Outside the view's lock: the delivery thread holds the event lock while it waits for it.
  if (const unsigned reg = m_eventRegistration.exchange(0)) {
    event_UnregisterEvent(event_rulerChanged, reg);
  }
  if (const unsigned client = m_eventClient.exchange(0)) event_UnregisterClient(client);
}

void CGRuler::MeasureFont(CDC* dc) {
  CDC memory;
  if (dc == nullptr || dc->GetSafeHdc() == nullptr) {
    memory.CreateCompatibleDC(nullptr);
    dc = &memory;
  }
  // The label font is sized for 96 DPI and follows the screen's resolution.
  LOGFONTW lf = m_logFont;
  lf.lfHeight = quarlen::ScaleForDpi(lf.lfHeight, dc->GetSafeHdc());
  m_font.DeleteObject();
  m_font.CreateFontIndirect(&lf);
  CFont* old = dc->SelectObject(&m_font);
  dc->GetTextMetrics(&m_textMetrics);
  if (old != nullptr) dc->SelectObject(old);
}

void CGRuler::Register(CRuler* ruler) {
  if (m_eventClient.load() == 0) {
    m_eventClient = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                         &CGRuler::EventCallback, event_kindCallback4);
  }
  const unsigned client = m_eventClient.load();
  if (ruler != nullptr && client != 0) {
    m_eventRegistration = event_RegisterEvent(event_rulerChanged, client, event_libraryControl, 0,
                                              ruler->GetID(), 0, event_any);
  }
}

void CGRuler::Create(CDC* dc, CRuler* ruler, int grow, CRect* rect) {
  {
    Guard lock(m_lock);
    m_ruler = ruler;
    m_inverted = grow == 0 ? 1 : 0;
    MeasureFont(dc);
  }
  if (rect != nullptr) SetPosition(rect);
  Register(ruler);
}

void CGRuler::Create(CWnd* parent, CRuler* ruler, int grow, CRect* rect) {
  {
    Guard lock(m_lock);
    m_ruler = ruler;
    m_parent = parent;
    m_parentHwnd = parent != nullptr ? parent->GetSafeHwnd() : nullptr;
    m_inverted = grow == 0 ? 1 : 0;
    CDC* dc = parent != nullptr && parent->GetSafeHwnd() != nullptr ? parent->GetDC() : nullptr;
    MeasureFont(dc);
    if (dc != nullptr) parent->ReleaseDC(dc);
  }
  // The window exists before the first change can be delivered.
  const CRect r = rect != nullptr ? *rect : CRect(0, 0, 0, 0);
  CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, parent, 0);
  Register(ruler);
}

void CGRuler::SetPosition(CRect* rect) {
  if (rect == nullptr) return;
  {
    Guard lock(m_lock);
    m_dimension = *rect;
  }
  if (GetSafeHwnd() != nullptr) {
    MoveWindow(rect->left, rect->top, rect->Width(), rect->Height(), TRUE);
  }
  if (m_eventClient.load() != 0) RefreshFromRuler();
}

const CRect* CGRuler::GetDimension() {
  Guard lock(m_lock);
  if (const HWND hwnd = GetSafeHwnd(); hwnd != nullptr && ::IsWindow(hwnd)) {
    ::GetClientRect(hwnd, &m_dimension);
  }
  return &m_dimension;
}

void CGRuler::SetRuler(CRuler* ruler) {
  if (const unsigned reg = m_eventRegistration.exchange(0)) {
    event_UnregisterEvent(event_rulerChanged, reg);
  }
  m_ruler = ruler;
  if (ruler != nullptr) {
    const unsigned client = m_eventClient.load();
    if (client != 0) {
      m_eventRegistration = event_RegisterEvent(event_rulerChanged, client, event_libraryControl, 0,
                                                ruler->GetID(), 0, event_any);
    }
    RulerChanged(ruler->GetStart(), ruler->GetRange(), ruler->GetDisplayOffset());
  } else {
    SetTickPosition(0.0, 100000.0);
  }
}

void CGRuler::SetDisplayUnit(CUnit* unit, int allowNegative) {
  {
    Guard lock(m_lock);
    m_displayUnit = unit;
    m_allowNegative = allowNegative;
  }
  if (m_eventClient.load() != 0) RefreshFromRuler();
}

void CGRuler::RefreshFromRuler() {
  if (CRuler* ruler = m_ruler.load()) {
    RulerChanged(ruler->GetStart(), ruler->GetRange(), ruler->GetDisplayOffset());
  }
}

void CGRuler::RulerChanged(double start, double range, double displayOffset) {
  if (IsDestroyed()) return;
  {
    Guard lock(m_lock);
    if (IsDestroyed()) return;
    m_scale.SetAttrib(start, range, m_inverted, displayOffset);
  }
  RecalcLayout();
}

void CGRuler::EventCallback(void* ruler, unsigned, std::uintptr_t, std::uintptr_t) {
  auto* view = static_cast<CGRuler*>(ruler);
  if (view == nullptr || view->IsDestroyed()) return;
  CRuler* r = view->m_ruler.load();
  if (r == nullptr || !r->ValidateState()) return;
  view->RulerChanged(r->GetStart(), r->GetRange(), r->GetDisplayOffset());
}

// ---- Conversions ----

LONG CGRuler::ConvertToPixel(double v) {
  const double base = m_displayUnit != nullptr ? m_displayUnit->ConvertToBase(v) : v;
  return m_scale.PosToPixel(base);
}

LONG CGRuler::ConvertDBToPixel(double v) {
  const double base = m_displayUnit != nullptr ? m_displayUnit->ConvertToBase(v) : v;
  return m_scale.PosToPixel(-base);
}

double CGRuler::ConvertFromPixel(double px) {
  return ConvertFromPixel(px, &m_scale, m_displayUnit);
}

LONG CGRuler::ConvertToPixel(double v, void* ruler) {
  return ruler != nullptr ? static_cast<CGRuler*>(ruler)->ConvertToPixel(v) : 0;
}

LONG CGRuler::ConvertDBToPixel(double v, void* ruler) {
  return ruler != nullptr ? static_cast<CGRuler*>(ruler)->ConvertDBToPixel(v) : 0;
}

double CGRuler::ConvertFromPixel(double px, CSC* scale, CUnit* unit) {
  if (scale == nullptr) return 0.0;
  const double pos = scale->PixelToPos(quarlen::SaturatingTrunc<LONG>(px + 0.5));
  return unit != nullptr ? unit->ConvertFromBase(pos) : pos;
}

void CGRuler::GetTickPosition(double* first, double* step) const {
  Guard lock(m_lock);
  if (first != nullptr) *first = m_firstTick;
  if (step != nullptr) *step = m_tickStep;
}

void CGRuler::SetTickPosition(double first, double step) {
  Guard lock(m_lock);
  m_firstTick = first;
  m_tickStep = step;
}

// ---- Painting ----

void CGRuler::OnPaint() {
  // The view paints its whole rectangle whenever the window system asks, so an exposure or an
  // invalidation never leaves it blank until the container repaints.
  CPaintDC dc(this);
  if (!IsDestroyed()) OnDraw(&dc);  // never into a view whose destruction has begun
}

BOOL CGRuler::OnEraseBkgnd(CDC*) { return TRUE; }

void CGRuler::OnSize(UINT, int, int) {
  // Resized by SetPosition, MoveWindow or the Qt layout the view sits in: the scale spans the
  // new length and the ticks are laid out again (before the view follows its ruler, during
  // Create, there is nothing to lay out), and the whole strip repaints, since every tick moved.
  if (IsDestroyed()) return;
  if (m_eventClient.load() != 0) RefreshFromRuler();
  Invalidate(FALSE);
}

// ---- Layout ----

void CGRuler::GetFormat(double value, double range, int* width, int* decimals) {
  // Bounded so that absurd inputs (0, NaN, 1e300) give absurd but finite widths.
  constexpr int kMaxDigits = 400;
  const int k = TruncClamped(std::log10(range) - 2.0, -kMaxDigits, kMaxDigits);
  const int dec = k < 0 ? std::min(-k, 20) : 0;
  const int a = TruncClamped(std::log10(std::fabs(value) + 1.0), 0, kMaxDigits) + 2;
  const int b = TruncClamped(std::log10(std::fabs(value + range) + 1.0), 0, kMaxDigits) + 2;
  int n = std::max(a, b);
  if (value < 0.0 || value + range < 0.0) ++n;
  if (decimals != nullptr) *decimals = dec;
  if (width != nullptr) *width = n + dec;
}

void CGRuler::GetDisplayFormat(double start, double range, LONG length, LONG spacing, CSC* scale,
                               CUnit* unit, double* first, double* step, double minStep) {
  double f = 0.0;
  double s = 1.0;
  if (!(range > 0.0)) range = 1.0;  // NaN too
  if (spacing >= length || scale == nullptr) {
    f = start;
    s = range;
  } else {
    const double o = scale->GetWndOffset();
    const double size = scale->GetWndSize();
    const double half = std::trunc(size / 2.0);
    auto v = [&](double px) { return ConvertFromPixel(px, scale, unit); };
    const double t = std::fabs(v(o + spacing) - v(o));
    const double u = std::fabs(v(o + half) - v(o + half + spacing));
    const double w = std::fabs(v(o + size) - v(o + size - spacing));
    double d = std::min({t, u, w});
    if (t / u > 2.0 || u / t > 2.0 || w / u > 2.0 || u / w > 2.0) d = 2.0 * d;
    if (std::fabs(0.05 * range) > std::fabs(d)) d = 0.05 * range;
    const double c = std::pow(10.0, std::floor(std::log10(d)));
    s = d < 2.0 * c ? 2.0 * c : d < 5.0 * c ? 5.0 * c : 10.0 * c;
    // An infinite step would make the first tick NaN: it counts as a failed layout too.
    if (!(s > 0.0) || !std::isfinite(s)) {
      ::MessageBeep(0xFFFFFFFF);
      f = 0.0;
      s = minStep > 1.0 ? minStep : 1.0;
    } else {
      f = std::ceil(start / s) * s;
      if (minStep > s) s = minStep;
    }
  }
  if (first != nullptr) *first = f;
  if (step != nullptr) *step = s;
}
