#include "controls/dual_slider.h"

#include <algorithm>
#include <cmath>

#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/numeric.h"
#include "platform/window_dc.h"

namespace {

using quarlen::ClampDrawingCoord;
using quarlen::PixelWide;
using quarlen::SaturatingTrunc;

constexpr int kMinMargin = 10;
constexpr UINT kCtrl = MK_CONTROL;
constexpr COLORREF kDisabledBack = RGB(200, 200, 200);
constexpr COLORREF kDisabledThumb = RGB(128, 128, 128);

bool PointInRect(const CRect& r, CPoint p) { return r.PtInRect(p) != FALSE; }

}  // namespace

IMPLEMENT_DYNAMIC(CDualSliderCtrl, CWnd)

BEGIN_MESSAGE_MAP(CDualSliderCtrl, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SIZE()
ON_WM_LBUTTONDBLCLK()
ON_WM_ENABLE()
END_MESSAGE_MAP()

CDualSliderCtrl::CDualSliderCtrl(int value) : m_value(value) {}

CDualSliderCtrl::~CDualSliderCtrl() {
  *m_alive = false;
  m_thumbRect[0].SetRectEmpty();
  m_thumbRect[1].SetRectEmpty();
  if (m_hWnd != nullptr && ::GetCapture() == m_hWnd) ReleaseCapture();
  if (m_hWnd != nullptr) DestroyWindow();
  m_listeners.clear();
}

BOOL CDualSliderCtrl::Create(const RECT& rect, CWnd* parent, UINT id, CFont* font,
                             unsigned thumbWidth, int) {
  m_font = font != nullptr ? static_cast<HFONT>(font->m_hObject) : nullptr;
  m_thumbWidth = thumbWidth;
  m_horizontal = true;
  const BOOL created = CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, parent, id);
  SetDoubleClickTime(200);
  SetTabNumber(m_tabNumber);
  m_arrowCursor = LoadCursorW(nullptr, IDC_ARROW);
  m_sizeCursor = LoadCursorW(nullptr, IDC_SIZEWE);
  return created;
}

// ---- Values ----

double CDualSliderCtrl::NearestValue(double x) const {
  // A zero step has no grid to snap to.
  if (m_gridStep == 0.0) return x;
  return m_gridOrigin + m_gridStep * std::floor((x - m_gridOrigin) / m_gridStep + 0.5);
}

double CDualSliderCtrl::Clamped(double v) const {
  if (std::isnan(v)) return m_min;
  return std::min(std::max(v, m_min), m_max);
}

void CDualSliderCtrl::SetLimits(double min, double max) {
  if (!std::isfinite(min) || !std::isfinite(max)) return;
  m_min = min;
  m_max = max;
  if (min == 0.0 && max == 0.0) m_max = 1.0;
  m_position[0] = m_min;
  m_position[1] = m_max;
  RecalcOffsets();
}

void CDualSliderCtrl::GetLimits(double& min, double& max) const {
  min = m_min;
  max = m_max;
}

void CDualSliderCtrl::SetFactors(double step, double origin) {
  if (!std::isfinite(step) || !std::isfinite(origin)) return;
  m_gridStep = step;
  m_gridOrigin = origin;
}

void CDualSliderCtrl::GetFactors(double& step, double& origin) const {
  step = m_gridStep;
  origin = m_gridOrigin;
}

void CDualSliderCtrl::SetSlidersPosition(double const& a, double const& b) {
  // Copies first: the references may name this control's own positions.
  const double first = a;
  const double second = b;
  m_position[0] = first;
  m_position[1] = second;
  RecalcSliderRect(first, second);
  if (m_hWnd != nullptr) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CDualSliderCtrl::GetSlidersPosition(double& lower, double& upper) const {
  lower = GetMinPos();
  upper = GetMaxPos();
}

double CDualSliderCtrl::GetMinPos() const {
  switch (m_tabNumber) {
    case 1:
      return m_position[0];
    case 2:
      return std::min(m_position[0], m_position[1]);
    default:
      return kNoPosition;
  }
}

double CDualSliderCtrl::GetMaxPos() const {
  switch (m_tabNumber) {
    case 1:
      return m_position[0];
    case 2:
      return std::max(m_position[0], m_position[1]);
    default:
      return kNoPosition;
  }
}

bool CDualSliderCtrl::IsShown(int thumb) const {
  return thumb == 0 ? m_tabNumber >= 1 : m_tabNumber >= 2;
}

int CDualSliderCtrl::LargerThumb() const { return m_position[1] >= m_position[0] ? 1 : 0; }

int CDualSliderCtrl::ThumbWidth() const {
  return ClampDrawingCoord(static_cast<PixelWide>(m_thumbWidth));
}

void CDualSliderCtrl::SetTabNumber(int n) {
  if (n < 0 || n > 2) return;
  if (m_tabNumber == 1 && n == 2) {
    const double tenth = 0.1 * (m_max - m_min);
    double second = std::min(m_position[0] + tenth, m_max);
    if (second == m_position[0]) second = m_position[0] - tenth;
    m_position[1] = std::max(second, m_min);
  }
  m_tabNumber = n;
  m_leftMargin = 0;
  m_rightMargin = 0;
  RecalcSliderRect(GetMinPos(), GetMaxPos());
}

void CDualSliderCtrl::SetMode(eSliderMode mode) {
  m_mode = mode;
  SetTabNumber(mode == eRange ? 2 : 1);
  if (m_hWnd != nullptr) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CDualSliderCtrl::SetLineColor(COLORREF color) {
  m_lineColor = color;
  if (m_hWnd != nullptr) Invalidate(TRUE);
}

void CDualSliderCtrl::SetCursorColor(COLORREF color) {
  m_cursorColor = color;
  if (m_hWnd != nullptr) Invalidate(TRUE);
}

void CDualSliderCtrl::SetBackColor(COLORREF color) {
  m_backColor = color;
  if (m_hWnd != nullptr) Invalidate(TRUE);
}

// ---- Layout ----

CRect CDualSliderCtrl::GetThumbRect(int thumb) const {
  return thumb == 0 || thumb == 1 ? m_thumbRect[thumb] : CRect();
}

void CDualSliderCtrl::RecalcOffsets() {
  CRect client;
  if (m_hWnd != nullptr) GetClientRect(&client);
  const int w = ThumbWidth();
  if (m_leftMargin < kMinMargin) {
    m_leftMargin = kMinMargin;
    const CRect strip(kMinMargin, client.top, kMinMargin + w, client.bottom);
    if (m_hWnd != nullptr) InvalidateRect(&strip, TRUE);
  }
  if (m_rightMargin < kMinMargin) {
    m_rightMargin = kMinMargin;
    const CRect strip(ClampDrawingCoord(PixelWide{client.right} - kMinMargin - w), client.top,
                      client.right - kMinMargin, client.bottom);
    if (m_hWnd != nullptr) InvalidateRect(&strip, TRUE);
  }
}

void CDualSliderCtrl::RecalcSliderRect(double a, double b, int) {
  m_position[0] = Clamped(a);
  m_position[1] = Clamped(b);
  RecalcOffsets();
  CRect client;
  if (m_hWnd != nullptr) GetClientRect(&client);
  const PixelWide left = PixelWide{client.left} + m_leftMargin;
  const PixelWide right = PixelWide{client.right} - m_rightMargin;
  const PixelWide span = right - left - 1;
  const int w = ThumbWidth();
  const double range = m_max - m_min;
  for (int i = 0; i < 2; ++i) {
    if (!IsShown(i)) {
      // A hidden thumb cannot be hit.
      m_thumbRect[i].SetRectEmpty();
      continue;
    }
    // Equal limits (or a track of no width) put the thumb at the left end.
    const double h = range > 0.0 ? (m_position[i] - m_min) / range : 0.0;
    const PixelWide x =
        PixelWide{SaturatingTrunc<int>(h * static_cast<double>(span))} + m_leftMargin;
    m_thumbRect[i] = CRect(ClampDrawingCoord(x - w / 2), client.top,
                           ClampDrawingCoord(x + (w - w / 2)), client.bottom);
  }
  if (m_hWnd != nullptr) Invalidate(TRUE);
}

bool CDualSliderCtrl::IsOnTop(CPoint point) const {
  return PointInRect(m_thumbRect[0], point) || PointInRect(m_thumbRect[1], point);
}

// ---- Changes by the user ----

void CDualSliderCtrl::UpdateSliderPosition(double v) {
  const int d = m_draggedThumb;
  if (d != 0 && d != 1) return;
  const double old0 = m_position[0];
  const double old1 = m_position[1];
  m_position[d] = Clamped(v);
  if ((m_lastFlags & kCtrl) && m_tabNumber == 2) {
    const int other = 1 - d;
    const double m = std::fabs(old1 - old0);
    // Which thumb is the larger one is decided before the move, so that a thumb dragged past
    // its partner pushes the partner along instead of swapping roles with it.
    if ((d == 1 ? old1 >= old0 : old0 > old1)) {
      // d is the larger thumb: the smaller follows below it.
      m_position[other] = NearestValue(m_position[d] - m);
      if (m_position[other] < m_min) {
        m_position[other] = m_min;
        m_position[d] = NearestValue(m_min + m);
      }
    } else {
      m_position[other] = NearestValue(m_position[d] + m);
      if (m_position[other] > m_max) {
        m_position[other] = m_max;
        m_position[d] = NearestValue(m_max - m);
      }
    }
  }
  RecalcSliderRect(m_position[0], m_position[1]);
  NotifyDualSlidersListeners();
}

void CDualSliderCtrl::NextCompleteImage() {
  double v;
  if (m_tabNumber == 1) {
    m_draggedThumb = 0;
    v = m_position[0] + m_gridStep;
  } else if (m_tabNumber == 2) {
    m_draggedThumb = LargerThumb();
    v = m_position[m_draggedThumb] + (GetMaxPos() - GetMinPos());
  } else {
    return;
  }
  const std::shared_ptr<bool> alive = m_alive;
  UpdateSliderPosition(NearestValue(v));
  if (*alive) m_draggedThumb = -1;  // a listener may have destroyed the control
}

void CDualSliderCtrl::PreviousCompleteImage() {
  double v;
  if (m_tabNumber == 1) {
    m_draggedThumb = 0;
    v = m_position[0] - m_gridStep;
  } else if (m_tabNumber == 2) {
    m_draggedThumb = 1 - LargerThumb();
    v = m_position[m_draggedThumb] - (GetMaxPos() - GetMinPos());
  } else {
    return;
  }
  const std::shared_ptr<bool> alive = m_alive;
  UpdateSliderPosition(NearestValue(v));
  if (*alive) m_draggedThumb = -1;  // a listener may have destroyed the control
}

void CDualSliderCtrl::RegisterDualSlidersListener(IDualSlidersListener* listener) {
  if (listener == nullptr) return;
  if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end()) return;
  m_listeners.push_back(listener);
}

void CDualSliderCtrl::UnregisterDualSlidersListener(IDualSlidersListener* listener) {
  auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
  if (it != m_listeners.end()) m_listeners.erase(it);
}

void CDualSliderCtrl::NotifyDualSlidersListeners() {
  // The list may change under the calls (a listener unregisters itself or another one, or the
  // control is destroyed): work from a copy and skip whoever left meanwhile.
  const std::vector<IDualSlidersListener*> pass = m_listeners;
  const std::shared_ptr<bool> alive = m_alive;
  const HWND handle = m_hWnd;
  for (IDualSlidersListener* listener : pass) {
    if (!*alive) return;
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end()) continue;
    const HWND copy = handle;
    listener->OnDualSlidersChanged(copy);
  }
}

// ---- Messages ----

void CDualSliderCtrl::OnLButtonDown(UINT flags, CPoint point) {
  m_lastFlags = flags;
  m_lastX = point.x;
  m_lastY = point.y;
  if (PointInRect(m_thumbRect[0], point))
    m_draggedThumb = 0;
  else if (PointInRect(m_thumbRect[1], point))
    m_draggedThumb = 1;
  else
    m_draggedThumb = -1;

  if (m_draggedThumb != -1) {
    if (::GetCapture() == m_hWnd) ReleaseCapture();
    if (CWnd* parent = GetParent()) parent->SetForegroundWindow();
    Default();
    CWnd::SetCapture();
    ::SetCursor(m_sizeCursor);
    return;
  }
  if (m_tabNumber == 1) {
    if (point.x >= m_thumbRect[0].right)
      NextCompleteImage();
    else
      PreviousCompleteImage();
  } else if (m_tabNumber == 2 && (flags & kCtrl)) {
    const int larger = LargerThumb();
    if (point.x >= m_thumbRect[larger].right)
      NextCompleteImage();
    else if (point.x < m_thumbRect[1 - larger].left)
      PreviousCompleteImage();
  }
}

void CDualSliderCtrl::OnMouseMove(UINT flags, CPoint point) {
  if (IsOnTop(point))
    ::SetCursor(m_sizeCursor);
  else if (m_draggedThumb == -1)
    ::SetCursor(m_arrowCursor);
  if (::GetCapture() != m_hWnd || m_draggedThumb == -1) return;
  m_lastFlags = flags;
  m_lastX = point.x;
  m_lastY = point.y;
  CRect client;
  GetClientRect(&client);
  const double track = (static_cast<double>(client.right) - m_rightMargin - 1) -
                       (static_cast<double>(client.left) + m_leftMargin);
  // A track of no width maps every point to min.
  const double h = track > 0.0 ? (static_cast<double>(point.x) - m_leftMargin) / track : 0.0;
  const double v = Clamped(NearestValue(h * (m_max - m_min) + m_min));
  UpdateSliderPosition(v);
}

void CDualSliderCtrl::OnLButtonUp(UINT, CPoint) {
  if (::GetCapture() == m_hWnd && m_draggedThumb != -1) {
    ::SetCursor(m_arrowCursor);
    ReleaseCapture();
    m_draggedThumb = -1;
  }
  Default();
}

void CDualSliderCtrl::OnLButtonDblClk(UINT, CPoint point) {
  if (m_tabNumber == 1) {
    if (point.x >= m_thumbRect[0].right)
      RecalcSliderRect(m_max, m_position[1]);
    else if (point.x < m_thumbRect[0].left)
      RecalcSliderRect(m_min, m_position[1]);
  } else if (m_tabNumber == 2) {
    const int larger = LargerThumb();
    const CRect& upper = m_thumbRect[larger];
    const CRect& lower = m_thumbRect[1 - larger];
    const double span = GetMaxPos() - GetMinPos();
    if (point.x >= upper.right)
      RecalcSliderRect(m_max - span, m_max);
    else if (point.x < lower.left)
      RecalcSliderRect(m_min, m_min + span);
    else if (point.x >= lower.right && point.x < upper.left)
      RecalcSliderRect(m_min, m_max);
  }
  const std::shared_ptr<bool> alive = m_alive;
  NotifyDualSlidersListeners();
  if (*alive) Default();  // a listener may have destroyed the control
}

void CDualSliderCtrl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  RecalcSliderRect(m_position[0], m_position[1]);
}

void CDualSliderCtrl::OnEnable(BOOL enable) {
  m_enabled = enable;
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CDualSliderCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);

  HGDIOBJ oldFont = dc.SelectObject(m_font != nullptr ? static_cast<HGDIOBJ>(m_font)
                                                      : GetStockObject(ANSI_VAR_FONT));
  if (oldFont == nullptr) dc.SelectStockObject(ANSI_VAR_FONT);  // the font was deleted
  RecalcOffsets();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  dc.SetBkMode(TRANSPARENT);

  const int lm = m_leftMargin;
  const int rm = m_rightMargin;
  dc.FillSolidRect(client.left, client.top, lm, client.Height(), face);
  dc.FillSolidRect(ClampDrawingCoord(PixelWide{client.right} - rm), client.top, rm, client.Height(),
                   face);

  const CRect leftEnd(client.left + 2, client.top,
                      ClampDrawingCoord(PixelWide{client.left} + lm + 2), client.bottom);
  const CRect rightEnd(ClampDrawingCoord(PixelWide{client.right} - rm), client.top,
                       client.right - 2, client.bottom);
  CRect overlap;
  if (overlap.IntersectRect(&leftEnd, &rightEnd)) {
    // Too narrow for a track.
    if (oldFont != nullptr) dc.SelectObject(oldFont);
    return;
  }

  CRect track = client;
  track.left += lm;
  track.right -= rm;
  const bool enabled = m_enabled != FALSE;
  CBrush backBrush(enabled ? m_backColor : kDisabledBack);
  CBrush thumbBrush(enabled ? m_cursorColor : kDisabledThumb);
  CPen thumbPen(PS_SOLID, 1, enabled ? m_cursorColor : kDisabledThumb);
  CPen linePen(PS_SOLID, 1, m_lineColor);
  CBrush* oldBrush = dc.SelectObject(&backBrush);
  CPen* oldPen = dc.SelectObject(&thumbPen);

  const int w = ThumbWidth();
  const int a = track.Height() / 6;
  const int across = ClampDrawingCoord(PixelWide{track.right} + w - track.left);
  const int x0 = ClampDrawingCoord(PixelWide{track.left} - w / 2);
  dc.FillSolidRect(x0, track.top, across, a, face);
  dc.FillSolidRect(x0, track.bottom - a, across, 3, face);
  dc.FillSolidRect(x0, track.top, w, track.Height(), face);
  dc.FillSolidRect(ClampDrawingCoord(PixelWide{track.right} - w), track.top, w, track.Height(),
                   face);

  track.top += a;
  track.bottom -= a;
  const int h = track.Height();
  dc.RoundRect(&track, CPoint(h, h));

  dc.SelectObject(&thumbBrush);
  for (int i = 0; i < 2; ++i)
    if (IsShown(i)) dc.RoundRect(&m_thumbRect[i], CPoint(w, w / 4));

  dc.SelectObject(&linePen);
  for (int i = 0; i < 2; ++i) {
    if (!IsShown(i)) continue;
    const CRect& r = m_thumbRect[i];
    const int x = ClampDrawingCoord(PixelWide{r.left} + w / 2);
    dc.MoveTo(x, r.top);
    dc.LineTo(x, r.bottom);
  }

  if (oldPen != nullptr) dc.SelectObject(oldPen);
  if (oldBrush != nullptr) dc.SelectObject(oldBrush);
  if (oldFont != nullptr) dc.SelectObject(oldFont);
}
