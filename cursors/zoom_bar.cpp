#include "cursors/zoom_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/unit.h"
#include "axis/zoom_gesture.h"
#include "cursors/zoom_limit.h"
#include "graphics/graphical_ruler.h"
#include "graphics/tick_layout.h"
#include "notify/event_service.h"
#include "platform/dpi.h"
#include "platform/numeric.h"
#include "platform/window_dc.h"

namespace {

// Half-width of the grab zones over the cursor's ends, in pixels at 96 DPI; on the bar's screen
// it is scaled to the same size for the hand.
constexpr int kGrabZone = 6;
int GrabZone(HWND bar) { return quarlen::ScaleForDpi(kGrabZone, bar); }
// The wide window set first when a drag is applied; it lets the second Set reach any place.
constexpr double kWideStart = -99999999.999;
constexpr double kWideRange = 99999999.999;
// Shortest range a drag may give the ruler.
constexpr double kMinRange = 1e-7;
// Highest relative start a move may give the cursor.
constexpr double kMaxStart = 0.99999;
// How far the drawing of a cursor end reaches from its side: the rounded corner and the outline.
constexpr int kCornerReach = 6;

int Along(bool horizontal, CPoint pt) { return horizontal ? pt.x : pt.y; }

int Offset(LONG base, LONG delta) {
  return quarlen::ClampDrawingCoord(quarlen::PixelWide{base} + delta);
}

// Reads the leading number of a typed text; a text without one reads 0.
double LeadingNumber(const CString& text) { return std::wcstod(text.GetString(), nullptr); }

}  // namespace

IMPLEMENT_DYNAMIC(CZoomBar, CWnd)

BEGIN_MESSAGE_MAP(CZoomBar, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDBLCLK()
ON_WM_SETCURSOR()
ON_WM_ENABLE()
ON_WM_SIZE()
ON_MESSAGE(event_rulerChanged, &CZoomBar::OnRulerChange)
END_MESSAGE_MAP()

CZoomBar::CZoomBar() : m_consumers(this, 0) {
  m_sizeWE = ::LoadCursorW(nullptr, IDC_SIZEWE);
  m_sizeNS = ::LoadCursorW(nullptr, IDC_SIZENS);
  m_scale.SetDataLimitsConsidered(0);
}

CZoomBar::~CZoomBar() {
  // Only the registrations are ended here: the ruler may already be gone (see the header).
  Unregister();
  m_ruler = nullptr;
  if (m_hWnd != nullptr && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_hWnd != nullptr) DestroyWindow();
  delete m_labelFont;
  m_labelFont = nullptr;
}

void CZoomBar::Unregister() {
  if (m_eventId != 0) event_UnregisterEvent(event_rulerChanged, m_eventId);
  if (m_eventClient != 0) event_UnregisterClient(m_eventClient);
  m_eventId = 0;
  m_eventClient = 0;
}

// ---- Set-up ----

void CZoomBar::SetHorizontal(int horizontal) {
  LOGFONTW lf{};
  lf.lfHeight = quarlen::ScaleForDpi(horizontal != 0 ? 14 : 12, m_hWnd);
  lf.lfEscapement = horizontal != 0 ? 0 : 900;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = FF_SWISS;
  auto* font = new CFont;
  font->CreateFontIndirect(&lf);
  delete m_labelFont;
  m_labelFont = font;

  m_labelWidth = quarlen::ScaleForDpi(96, m_hWnd);
  if (CWnd* main = AfxGetMainWnd(); main != nullptr && main->GetSafeHwnd() != nullptr) {
    if (CDC* dc = main->GetDC()) {
      CFont* old = dc->SelectObject(m_labelFont);
      TEXTMETRICW tm{};
      if (dc->GetTextMetrics(&tm)) m_labelWidth = 12 * tm.tmAveCharWidth;
      if (old != nullptr) dc->SelectObject(old);
      main->ReleaseDC(dc);
    }
  }
  m_horizontal = horizontal != 0 ? 1 : 0;
}

void CZoomBar::SetRuler(CRuler* ruler) {
  Unregister();
  m_ruler = ruler;
  if (ruler == nullptr) return;
  // Deliveries are window messages, so there is nothing to register before the window exists.
  if (m_hWnd != nullptr) {
    m_eventClient = event_RegisterClient(reinterpret_cast<std::uintptr_t>(m_hWnd), nullptr, nullptr,
                                         event_kindWindow);
    if (m_eventClient != 0) {
      m_eventId = event_RegisterEvent(event_rulerChanged, m_eventClient, event_libraryControl, 0,
                                      ruler->GetID(), 0, event_any);
    }
  }
  OnRulerChange(ruler->GetID(), 0);
}

void CZoomBar::SetDisplayFormat(double minimum, double maximum, CUnit* unit) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
  m_displayUnit = unit;
  m_displayMin = minimum;
  m_displayMax = maximum;
  if (m_ruler != nullptr) {
    OnRulerChange(m_ruler->GetID(), 0);
  } else {
    Redraw();
  }
}

void CZoomBar::SetCursorColor(COLORREF color) {
  m_cursorColor = color;
  Redraw();
}

void CZoomBar::SetHome(double start, double end) {
  if (!std::isfinite(start) || !std::isfinite(end) || !(end > start)) return;
  m_homeStart = start;
  m_homeRange = end - start;
  const Axis axis = GetAxis();
  m_homeStartRel = (start - axis.start) / axis.length;
  m_homeRangeRel = (end - start) / axis.length;
  Redraw();
}

void CZoomBar::SetSameParameters(const CZoomBar* other) {
  if (other == nullptr) return;
  m_cursorStart = other->m_cursorStart;
  m_cursorRange = other->m_cursorRange;
  ApplyToRuler();
}

void CZoomBar::OnMove(const double& delta) {
  const double d = delta;
  if (!std::isfinite(d)) return;
  double s = m_cursorStart + d;
  if (!quarlen::IsClearlyBelow(s + m_cursorRange, 1.0)) return;
  s = std::clamp(s, 0.0, kMaxStart);
  m_cursorStart = s;
  if (m_cursorStart + m_cursorRange > 1.0) m_cursorRange = 1.0 - m_cursorStart;
  ApplyToRuler();
}

// ---- Geometry ----

CZoomBar::Axis CZoomBar::GetAxis() const {
  double a = m_displayMin;
  double e = m_displayMax;
  if (m_ruler != nullptr) {
    if (const CAxe* axe = m_ruler->GetAxe()) {
      a = axe->GetStart();
      e = axe->GetEnd();
    } else {
      m_ruler->GetLimits(a, e);
    }
  }
  if (!std::isfinite(a)) a = 0.0;
  double length = e - a;
  if (length == 0.0 || !std::isfinite(length)) length = 1.0;
  return {a, length};
}

int CZoomBar::Length() const {
  if (m_hWnd == nullptr) return 0;
  CRect c;
  GetClientRect(&c);
  return m_horizontal != 0 ? c.Width() : c.Height();
}

LONG CZoomBar::PosToPixel(double relative) const {
  const double r = m_inverted != 0 ? 1.0 - relative : relative;
  return quarlen::SaturatingTrunc<LONG>(Length() * r);
}

LONG CZoomBar::ConvertBaseToPixel(double displayValue) const {
  if (m_displayUnit == nullptr) return 0;
  const double b = m_displayUnit->ConvertToBase(displayValue);
  const double offset = m_ruler != nullptr ? m_ruler->GetDisplayOffset() : 0.0;
  return PosToPixel((b - (m_displayMin + offset)) / (m_displayMax - m_displayMin));
}

LONG CZoomBar::ConvertToPixel(double displayValue, void* bar) {
  return bar != nullptr ? static_cast<const CZoomBar*>(bar)->ConvertBaseToPixel(displayValue) : 0;
}

void CZoomBar::GetCursorRect(CRect* rect) const {
  if (rect == nullptr) return;
  CRect c(0, 0, 0, 0);
  if (m_hWnd != nullptr) GetClientRect(&c);
  const LONG from = PosToPixel(m_cursorStart);
  const LONG to = quarlen::SaturatingAdd<LONG>(PosToPixel(m_cursorStart + m_cursorRange), 1);
  if (m_horizontal != 0) {
    *rect = CRect(Offset(c.left, from), c.top + 2, Offset(c.left, to), c.bottom - 2);
  } else {
    *rect = CRect(c.left + 2, Offset(c.top, from), c.right - 2, Offset(c.top, to));
  }
  rect->NormalizeRect();
}

void CZoomBar::GetHomeRect(CRect* rect) const {
  if (rect == nullptr) return;
  CRect c(0, 0, 0, 0);
  if (m_hWnd != nullptr) GetClientRect(&c);
  const LONG from = PosToPixel(m_homeStartRel);
  const LONG to = quarlen::SaturatingAdd<LONG>(PosToPixel(m_homeStartRel + m_homeRangeRel), 1);
  if (m_horizontal != 0) {
    *rect = CRect(Offset(c.left, from), c.top - 1, Offset(c.left, to), c.bottom + 1);
  } else {
    *rect = CRect(c.left - 1, Offset(c.top, from), c.right + 1, Offset(c.top, to));
  }
  rect->NormalizeRect();
}

// ---- Ruler ----

LRESULT CZoomBar::OnRulerChange(WPARAM rulerId, LPARAM) {
  if (m_ruler == nullptr || rulerId != m_ruler->GetID()) return 1;
  const Axis axis = GetAxis();
  m_displayMin = axis.start;
  m_displayMax = axis.start + axis.length;
  if (m_hWnd == nullptr || ::GetCapture() != m_hWnd) {
    const double start = m_ruler->GetStart();
    const double end = m_ruler->GetEnd();
    m_cursorStart = (start - axis.start) / axis.length;
    m_cursorRange = (end - start) / axis.length;
  }
  Redraw();
  return 1;
}

void CZoomBar::ApplyToRuler() {
  if (m_ruler != nullptr) {
    m_ruler->Set(kWideStart, kWideRange, 1);
    const Axis axis = GetAxis();
    const double start = axis.start + m_cursorStart * axis.length;
    const double end = axis.start + (m_cursorStart + m_cursorRange) * axis.length;
    const double range = std::max(end - start, kMinRange);
    m_ruler->Set(start, range, 1);
  }
  Redraw();
  m_consumers.SendMessageW();
}

void CZoomBar::OnSize(UINT, int, int) {
  // The strip stands for the whole axis at any length: every tick and the cursor moved.
  Redraw();
}

void CZoomBar::Redraw() {
  if (m_hWnd != nullptr) InvalidateRect(nullptr, TRUE);
}

void CZoomBar::RedrawCursorChange(const CRect& before) {
  if (m_hWnd == nullptr) return;
  // Between its two ends the cursor looks the same wherever it is, so only the stretch each end
  // swept (with its rounded corner) is repainted, each stretch at once on its own: the drawing
  // of the rounded outline costs what the clip's bounding box spans, and a repaint of the whole
  // bar would cost a drag step several times as much.
  CRect client;
  GetClientRect(&client);
  CRect after;
  GetCursorRect(&after);
  const bool horizontal = m_horizontal != 0;
  auto strip = [&](LONG a, LONG b) {
    const int from = Offset(std::min(a, b), -kCornerReach);
    const int to = Offset(std::max(a, b), kCornerReach);
    const CRect r = horizontal ? CRect(from, client.top, to, client.bottom)
                               : CRect(client.left, from, client.right, to);
    InvalidateRect(&r, TRUE);
    UpdateWindow();
  };
  strip(horizontal ? before.left : before.top, horizontal ? after.left : after.top);
  strip(horizontal ? before.right : before.bottom, horizontal ? after.right : after.bottom);
}

// ---- Drawing ----

void CZoomBar::OnPaint() {
  CPaintDC dc(this);
  DrawBase(&dc);
}

void CZoomBar::Print(CDC* dc, int x, int y) {
  if (dc == nullptr) return;
  dc->SetViewportOrg(x, y);
  DrawBase(dc);
  dc->SetViewportOrg(0, 0);
}

void CZoomBar::DrawBase(CDC* dc) {
  if (dc == nullptr || m_displayUnit == nullptr || m_hWnd == nullptr) return;
  CRect c;
  GetClientRect(&c);

  CFont* oldFont = m_labelFont != nullptr ? dc->SelectObject(m_labelFont) : nullptr;
  dc->SetTextAlign(m_horizontal != 0 ? UINT{TA_BASELINE} : 0u);
  dc->SetTextColor(0);
  dc->SetBkMode(TRANSPARENT);

  CBrush white(RGB(255, 255, 255));
  dc->FillRect(&c, &white);

  CPen outline(PS_SOLID, 1, m_outlineColor);
  CPen* oldPen = dc->SelectObject(&outline);
  const bool disabled = (GetStyle() & WS_DISABLED) != 0;
  CBrush cursorBrush(disabled ? RGB(255, 255, 255) : m_cursorColor);
  CBrush* oldBrush = dc->SelectObject(&cursorBrush);
  CRect cursor;
  GetCursorRect(&cursor);
  dc->RoundRect(&cursor, CPoint(8, 8));

  quarlen::PaintTicks(dc, c, m_horizontal == 0, quarlen::TickUnitOf(dc), GetTickLayout());

  dc->SelectStockObject(NULL_BRUSH);
  CRect home;
  GetHomeRect(&home);
  for (int grow = 0; grow <= 2; ++grow) {
    CRect frame = home;
    if (m_horizontal != 0) {
      frame.left = Offset(frame.left, -grow);
      frame.right = Offset(frame.right, grow);
    } else {
      frame.top = Offset(frame.top, -grow);
      frame.bottom = Offset(frame.bottom, grow);
    }
    dc->Rectangle(&frame);
  }

  if (oldBrush != nullptr) dc->SelectObject(oldBrush);
  if (oldPen != nullptr) dc->SelectObject(oldPen);
  if (oldFont != nullptr) dc->SelectObject(oldFont);
}

quarlen::TickLayout CZoomBar::GetTickLayout() {
  CUnit* unit = m_displayUnit;
  if (unit == nullptr || m_hWnd == nullptr) return {};
  CRect client;
  GetClientRect(&client);
  const double offset = m_ruler != nullptr ? m_ruler->GetDisplayOffset() : 0.0;
  const double lo = unit->ConvertFromBase(offset + m_displayMin);
  const double mid = unit->ConvertFromBase(offset + 1e-10);
  const double hi = unit->ConvertFromBase(offset + m_displayMax);
  const double span = std::fabs(hi - mid) + std::fabs(mid - lo);
  const bool horizontal = m_horizontal != 0;
  const LONG length = horizontal ? client.Width() : client.Height();
  const int inverted = !horizontal != (m_inverted != 0) ? 1 : 0;
  m_scale.SetAttrib(m_displayMin, m_displayMax - m_displayMin, inverted, offset);
  m_scale.SetAttrib(length, 0);

  double first = lo;
  double step = span;
  CGRuler::GetDisplayFormat(lo, span, length, m_labelWidth, &m_scale, unit, &first, &step, 0.0);
  if (m_ruler != nullptr && m_ruler->GetDrawTicksState() == 0) return {};

  unit_enumUnits kind = unit_none;
  unit_enumDataUnit dataUnit{};
  unit->GetUnitType(&kind, &dataUnit);
  quarlen::TickRequest request;
  request.start = first;
  request.step = step;
  request.end = hi;
  request.toPixel = [this](double v) { return ConvertBaseToPixel(v); };
  request.low = horizontal ? client.left : client.top;
  request.high = horizontal ? client.right : client.bottom;
  request.vertical = !horizontal;
  request.labelSpacing = quarlen::SaturatingTrunc<LONG>(step) / 3;
  request.minorTicks = false;
  request.unit = unit;
  request.appendUnit = false;
  request.allowNegative = kind != unit_tofd;
  return quarlen::LayoutTicks(request);
}

// ---- Mouse ----

void CZoomBar::ShowLimits(CPoint client) {
  CUnit* unit = m_displayUnit;
  if (unit == nullptr) return;
  const double span = m_displayMax - m_displayMin;
  CZoomLimit dialog(this);
  dialog.m_strStart.Format(L"%3.3f %s", unit->ConvertFromBase(m_displayMin + m_cursorStart * span),
                           unit->GetShortName());
  dialog.m_strEnd.Format(
      L"%3.3f %s", unit->ConvertFromBase(m_displayMin + (m_cursorStart + m_cursorRange) * span),
      unit->GetShortName());
  CPoint at = m_horizontal != 0 ? CPoint(client.x + 5, client.y) : CPoint(client.x, client.y + 50);
  ClientToScreen(&at);
  // Escape leaves the range alone: the texts were rounded for display, so reading them back
  // would move the ruler although the user cancelled.
  if (dialog.DoModal(CRect(at, at)) != IDOK) return;
  const double startBase = unit->ConvertToBase(LeadingNumber(dialog.m_strStart));
  const double endBase = unit->ConvertToBase(LeadingNumber(dialog.m_strEnd));
  // The range is the distance of the two converted ends, which also holds for units with an
  // offset from their base.
  const double range = endBase - startBase;
  if (!std::isfinite(startBase) || !std::isfinite(range) || !(range > 0.0)) return;
  if (m_ruler != nullptr) {
    CZoomGesture gesture;
    m_ruler->Set(startBase, range, 0);
  }
}

void CZoomBar::OnLButtonDown(UINT flags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if ((flags & MK_CONTROL) != 0 && client.PtInRect(point)) {
    ShowLimits(point);
    return;
  }
  const bool horizontal = m_horizontal != 0;
  const bool inverted = m_inverted != 0;
  CRect r;
  GetCursorRect(&r);
  const int at = Along(horizontal, point);
  const int lo = horizontal ? r.left : r.top;
  const int hi = horizontal ? r.right : r.bottom;
  const int grabToLo = quarlen::SaturatingAdd<int>(at, -quarlen::PixelWide{lo});
  const int grabToHi = quarlen::SaturatingAdd<int>(at, -quarlen::PixelWide{hi});
  int grab = 0;
  if (std::abs(quarlen::PixelWide{grabToLo}) < GrabZone(m_hWnd)) {
    (inverted ? m_dragEnd : m_dragStart) = 1;
    grab = grabToLo;
  } else if (std::abs(quarlen::PixelWide{grabToHi}) < GrabZone(m_hWnd)) {
    (inverted ? m_dragStart : m_dragEnd) = 1;
    grab = grabToHi;
  } else if ((!inverted && at < lo) || (inverted && at > hi)) {
    // Page towards relative 0.
    m_cursorStart = std::max(m_cursorStart - m_cursorRange, 0.0);
    const double span = m_displayMax - m_displayMin;
    if (m_ruler != nullptr) {
      CZoomGesture gesture;
      m_ruler->Set(m_displayMin + m_cursorStart * span, m_cursorRange * span, 0);
    }
    Redraw();
    return;
  } else if (at < lo || at > hi) {
    // Page towards relative 1.
    m_cursorStart += m_cursorRange;
    if (m_cursorStart + m_cursorRange > 1.0) m_cursorStart = 1.0 - m_cursorRange;
    const double span = m_displayMax - m_displayMin;
    if (m_ruler != nullptr) {
      CZoomGesture gesture;
      m_ruler->Set(m_displayMin + m_cursorStart * span, m_cursorRange * span, 0);
    }
    Redraw();
    return;
  } else {
    m_dragCursor = 1;
    grab = inverted ? grabToHi : grabToLo;
  }
  m_grabOffset = horizontal ? CPoint(grab, 0) : CPoint(0, grab);
  SetCapture();
  Redraw();
  CWnd::OnLButtonDown(flags, point);
}

void CZoomBar::OnMouseMove(UINT flags, CPoint point) {
  m_lastMouseX = point.x;
  m_lastMouseY = point.y;
  const int length = Length();
  if (Dragging() && length > 0) {
    const bool horizontal = m_horizontal != 0;
    const double grab = horizontal ? m_grabOffset.x : m_grabOffset.y;
    CRect before;
    GetCursorRect(&before);
    double b = (Along(horizontal, point) - grab) / length;
    if (m_inverted != 0) b = 1.0 - b;
    if (b > 1.0) b = kMaxStart;
    if (b < 0.0) b = 0.0;

    if (m_dragCursor) {
      if (b + m_cursorRange > 1.0) b = 1.0 - m_cursorRange;
      if (!quarlen::IsNearlyEqual(b, m_cursorStart)) {
        m_cursorStart = b;
        RedrawCursorChange(before);
      }
    } else if (m_dragStart) {
      const double c = m_cursorStart - b + m_cursorRange;  // the end stays put
      const double d = std::min(c, 1.0);
      if (d <= 0.0) return;
      if (!quarlen::IsNearlyEqual(d, m_cursorRange)) {
        m_cursorRange = d;
        m_cursorStart = c > 1.0 ? 0.0 : b;
        RedrawCursorChange(before);
      }
    } else {
      b -= m_cursorStart;
      if (b > 1.0 || b <= 0.0) return;
      if (!quarlen::IsNearlyEqual(b, m_cursorRange)) {
        m_cursorRange = b;
        RedrawCursorChange(before);
      }
    }
    m_consumers.SendMessageW();
  }
  if (m_cursorStart + m_cursorRange > 1.0) m_cursorRange = 1.0 - m_cursorStart;
  CWnd::OnMouseMove(flags, point);
}

void CZoomBar::OnLButtonUp(UINT flags, CPoint point) {
  if (Dragging()) {
    ::ReleaseCapture();
    m_dragCursor = m_dragStart = m_dragEnd = 0;
    // The two settings of the ruler (and whatever the bar's consumers change in answer) are
    // one gesture: a history records the window before the drag once.
    CZoomGesture gesture;
    ApplyToRuler();
  }
  CWnd::OnLButtonUp(flags, point);
}

void CZoomBar::OnLButtonDblClk(UINT flags, CPoint point) {
  // With Ctrl, the press that began the double click has shown the limits dialog already.
  if (m_ruler == nullptr || (flags & MK_CONTROL) != 0) return;
  CRect home;
  GetHomeRect(&home);
  CZoomGesture gesture;
  if (home.PtInRect(point)) {
    m_cursorStart = m_homeStartRel;
    m_cursorRange = m_homeRangeRel;
    if (m_homeRange > 0.0) {
      m_ruler->Set(m_homeStart, m_homeRange, 0);
    } else {
      // No home was given: the home frame stands for the whole axis, and so does the range set.
      const Axis axis = GetAxis();
      m_ruler->Set(axis.start + m_homeStartRel * axis.length, m_homeRangeRel * axis.length, 0);
    }
  } else {
    m_cursorStart = 0.0;
    m_cursorRange = 1.0;
    m_ruler->Set(m_displayMin, m_displayMax - m_displayMin, 0);
  }
  Redraw();
  CWnd::OnLButtonDblClk(flags, point);
}

BOOL CZoomBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (hitTest == HTCLIENT) {
    const bool horizontal = m_horizontal != 0;
    CRect r;
    GetCursorRect(&r);
    const quarlen::PixelWide at = horizontal ? m_lastMouseX : m_lastMouseY;
    const quarlen::PixelWide lo = horizontal ? r.left : r.top;
    const quarlen::PixelWide hi = horizontal ? r.right : r.bottom;
    if (std::abs(at - lo) < GrabZone(m_hWnd) || std::abs(at - hi) < GrabZone(m_hWnd)) {
      ::SetCursor(horizontal ? m_sizeWE : m_sizeNS);
      return 1;
    }
  }
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CZoomBar::OnEnable(BOOL enable) {
  CWnd::OnEnable(enable);
  Redraw();
}
