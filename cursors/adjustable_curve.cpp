#include "cursors/adjustable_curve.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "axis/position.h"
#include "axis/scale_converter.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/dpi.h"
#include "platform/numeric.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CAdjustableCurve, CGODynamic)

using quarlen::ClampDrawingCoord;
using quarlen::PixelWide;

class CAdjustableCurve::Guard {
 public:
  explicit Guard(const CAdjustableCurve* c) : c_(c) { c_->Lock(); }
  ~Guard() { c_->Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  const CAdjustableCurve* c_;
};

namespace {

// A disc covers the pixels from its point's pixel - reach to + reach, both included; the reach is
// 3 pixels at 96 DPI and grows with the screen's resolution, so a disc keeps its size to the eye.
PixelWide DiscReach() { return quarlen::ScaleForDpi(3, static_cast<int>(GetDpiForSystem())); }

bool IsFinitePoint(const stPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

HICON SystemPointer(const wchar_t* id) {
  return reinterpret_cast<HICON>(::LoadCursorW(nullptr, id));
}

// The order the sorting options ask for, on exact values. Exact comparison is a strict weak
// ordering (the nearly-equal rule is not transitive, which a sort must not be given), and an
// array sorted by it never has a point clearly before one it follows.
enum class Order { none, byX, byY };

bool Before(Order order, const stPoint& a, const stPoint& b) {
  switch (order) {
    case Order::byX:
      return a.x < b.x;
    case Order::byY:
      // With both options the y order wins; among equal y values keep x ascending, which is
      // one of the orders sorting by x and then by y may give.
      return a.y < b.y || (a.y == b.y && a.x < b.x);
    case Order::none:
      break;
  }
  return false;
}

Order OrderOf(int byX, int byY) { return byY ? Order::byY : (byX ? Order::byX : Order::none); }

// The rectangle [l, r) x [t, b) in drawing coordinates.
CRect DrawingRect(PixelWide l, PixelWide t, PixelWide r, PixelWide b) {
  return CRect(ClampDrawingCoord(l), ClampDrawingCoord(t), ClampDrawingCoord(r),
               ClampDrawingCoord(b));
}

}  // namespace

CAdjustableCurve::CAdjustableCurve()
    : m_axis(std::make_unique<CAxe>()), m_trigger(std::make_unique<CPosition>()) {
  m_axis->Create(L"EventAxis", std_none);
  m_trigger->Create(L"AdjCurveTrigger", m_axis.get(), 1.0, 1);
  SetCursor(SystemPointer(IDC_ARROW));
}

// The members go in reverse order: the trigger, then its axis, then the points.
CAdjustableCurve::~CAdjustableCurve() = default;

std::uintptr_t CAdjustableCurve::GetID() const { return m_trigger->GetID(); }

std::vector<stPoint> CAdjustableCurve::GetPoints() const {
  Guard g(this);
  return m_points;
}

void CAdjustableCurve::SetPoints(std::vector<stPoint>& points) {
  Guard g(this);
  const bool dragging = m_dragged != kNone;
  const stPoint dragged = dragging ? m_points[static_cast<std::size_t>(m_dragged)] : stPoint();
  m_points.clear();
  m_points.reserve(points.size());
  for (const stPoint& p : points) {
    if (IsFinitePoint(p)) m_points.push_back(p);
  }
  if (dragging) {
    m_dragged = IndexOf(dragged);
    if (m_dragged == kNone) m_directionDecided = 0;
  }
  CGObject::Invalidate();
}

void CAdjustableCurve::AddPoints(stPoint& point) {
  if (!IsFinitePoint(point)) return;
  Guard g(this);
  const bool dragging = m_dragged != kNone;
  const stPoint dragged = dragging ? m_points[static_cast<std::size_t>(m_dragged)] : stPoint();
  m_points.push_back(point);
  std::stable_sort(m_points.begin(), m_points.end(),
                   [](const stPoint& a, const stPoint& b) { return Before(Order::byX, a, b); });
  if (dragging) m_dragged = IndexOf(dragged);
  CGObject::Invalidate();
}

void CAdjustableCurve::ClearPoints() {
  Guard g(this);
  m_points.clear();
  m_dragged = kNone;
  m_directionDecided = 0;
  CGObject::Invalidate();
}

void CAdjustableCurve::SetDirectionLocking(int lock) {
  Guard g(this);
  m_directionLocking = lock;
}

void CAdjustableCurve::SetSortingOptions(int byX, int byY) {
  Guard g(this);
  m_sortByX = byX;
  m_sortByY = byY;
}

CPoint CAdjustableCurve::PixelOf(const stPoint& p) const {
  return CPoint(GetXScale()->PosToPixel(p.x), GetYScale()->PosToPixel(p.y));
}

bool CAdjustableCurve::Near(const stPoint& p, const CPoint& pt) const {
  const CPoint px = PixelOf(p);
  const CSize pick = GetPickPrecision();
  const PixelWide dx = static_cast<PixelWide>(pt.x) - px.x;
  const PixelWide dy = static_cast<PixelWide>(pt.y) - px.y;
  return -pick.cx <= dx && dx <= pick.cx && -pick.cy <= dy && dy <= pick.cy;
}

int CAdjustableCurve::Compare(const stPoint& p, CPoint* pt) const {
  if (pt == nullptr) return 0;
  Guard g(this);
  return Near(p, *pt) ? 1 : 0;
}

std::ptrdiff_t CAdjustableCurve::IndexAt(const CPoint& pt) const {
  // The caller holds the lock for the whole scan, rather than Compare taking it per point: a
  // hit test of a long curve runs on every pointer move.
  for (std::size_t i = 0; i < m_points.size(); ++i) {
    if (Near(m_points[i], pt)) return static_cast<std::ptrdiff_t>(i);
  }
  return kNone;
}

std::ptrdiff_t CAdjustableCurve::IndexOf(const stPoint& p) const {
  const auto it = std::find(m_points.begin(), m_points.end(), p);
  return it == m_points.end() ? kNone : it - m_points.begin();
}

int CAdjustableCurve::FindPoint(CPoint* pt) const {
  if (pt == nullptr) return 0;
  Guard g(this);
  return IndexAt(*pt) != kNone ? 1 : 0;
}

stPoint* CAdjustableCurve::GetPoint(CPoint* pt) {
  if (pt == nullptr) return nullptr;
  Guard g(this);
  const std::ptrdiff_t i = IndexAt(*pt);
  return i == kNone ? nullptr : &m_points[static_cast<std::size_t>(i)];
}

void CAdjustableCurve::RemovePoint(stPoint& point) {
  Guard g(this);
  const std::ptrdiff_t i = IndexOf(point);
  if (i != kNone) {
    m_points.erase(m_points.begin() + i);
    if (m_dragged == i) {
      m_dragged = kNone;
      m_directionDecided = 0;
    } else if (m_dragged > i) {
      --m_dragged;
    }
  }
  CGObject::Invalidate();
}

int CAdjustableCurve::IsOnTop(CPoint* pt) const { return FindPoint(pt); }

int CAdjustableCurve::OnBeginCapture(CPoint* pt, unsigned flags) {
  if (pt == nullptr) return 1;
  Guard g(this);
  m_directionDecided = 0;
  const std::ptrdiff_t i = IndexAt(*pt);
  if (i == kNone) return 1;  // accepted, but nothing is dragged: the first move ends it
  if (flags & MK_CONTROL) {
    m_captureInProgress = 1;
    const stPoint copy = m_points[static_cast<std::size_t>(i)];
    // The copy is appended; with a sorting option on it goes next to its original instead,
    // which is where sorting puts a point equal to it.
    if (m_sortByX || m_sortByY) {
      m_points.insert(m_points.begin() + i + 1, copy);
    } else {
      m_points.push_back(copy);
    }
    m_dragged = IndexAt(*pt);  // the earlier of the two equal points
    CGObject::Invalidate();
    return 1;
  }
  if (flags & MK_SHIFT) {
    m_captureInProgress = 0;
    m_dragged = kNone;
    stPoint gone = m_points[static_cast<std::size_t>(i)];
    RemovePoint(gone);  // invalidates
    return 0;
  }
  m_captureInProgress = 1;
  m_dragged = i;
  return 1;
}

CRect CAdjustableCurve::SegmentsAround(std::ptrdiff_t i) const {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(m_points.size());
  PixelWide l = 0, t = 0, r = 0, b = 0;
  bool first = true;
  for (std::ptrdiff_t k = std::max<std::ptrdiff_t>(0, i - 1); k <= std::min(n - 1, i + 1); ++k) {
    const CPoint p = PixelOf(m_points[static_cast<std::size_t>(k)]);
    if (first) {
      l = r = p.x;
      t = b = p.y;
      first = false;
    } else {
      l = std::min<PixelWide>(l, p.x);
      r = std::max<PixelWide>(r, p.x);
      t = std::min<PixelWide>(t, p.y);
      b = std::max<PixelWide>(b, p.y);
    }
  }
  if (first) return CRect(0, 0, 0, 0);
  // Lines stay within the box of their ends; discs reach DiscReach() beyond their points.
  const PixelWide reach = DiscReach();
  return DrawingRect(l - reach, t - reach, r + reach + 1, b + reach + 1);
}

bool CAdjustableCurve::Reorder() {
  const Order order = OrderOf(m_sortByX, m_sortByY);
  if (order == Order::none) return true;
  const auto less = [order](const stPoint& a, const stPoint& b) { return Before(order, a, b); };
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(m_points.size());
  // Are the other points in order? Then only the dragged one has to find its place.
  std::ptrdiff_t prev = kNone;
  for (std::ptrdiff_t k = 0; k < n; ++k) {
    if (k == m_dragged) continue;
    if (prev != kNone &&
        less(m_points[static_cast<std::size_t>(k)], m_points[static_cast<std::size_t>(prev)])) {
      std::stable_sort(m_points.begin(), m_points.end(), less);
      return false;
    }
    prev = k;
  }
  std::ptrdiff_t i = m_dragged;
  while (i > 0 &&
         less(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i - 1)])) {
    std::swap(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i - 1)]);
    --i;
  }
  while (i + 1 < n &&
         less(m_points[static_cast<std::size_t>(i + 1)], m_points[static_cast<std::size_t>(i)])) {
    std::swap(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i + 1)]);
    ++i;
  }
  m_dragged = i;
  return true;
}

int CAdjustableCurve::OnUpdateCapture(CPoint* pt, unsigned) {
  Guard g(this);
  if (m_dragged == kNone) {
    // Nothing (any more) under the drag: the container abandons it, without OnEndCapture.
    m_captureInProgress = 0;
    return 0;
  }
  if (pt == nullptr) return 1;
  stPoint& p = m_points[static_cast<std::size_t>(m_dragged)];
  const CSize pick = GetPickPrecision();
  if (!m_directionDecided) {
    if (m_directionLocking) {
      const CPoint at = PixelOf(p);
      const PixelWide dx = std::abs(static_cast<PixelWide>(at.x) - pt->x);
      const PixelWide dy = std::abs(static_cast<PixelWide>(at.y) - pt->y);
      if (dx > pick.cx) {
        m_lockedDirection = 0;
      } else if (dy > pick.cy) {
        m_lockedDirection = 1;
      } else {
        return 1;  // still within the pick precision
      }
    }
    m_directionDecided = 1;
  }
  const bool moveX = !m_directionLocking || m_lockedDirection == 0;
  const bool moveY = !m_directionLocking || m_lockedDirection == 1;
  const double x = moveX ? GetXScale()->PixelToPos(pt->x) : p.x;
  const double y = moveY ? GetYScale()->PixelToPos(pt->y) : p.y;
  // A view of one pixel or less maps pixels to no value: the point stays where it is.
  if (!std::isfinite(x) || !std::isfinite(y)) return 1;
  const CRect before = SegmentsAround(m_dragged);
  p.x = x;
  p.y = y;
  const stPoint moved = p;
  const bool onlyItMoved = Reorder();
  m_dragged = IndexOf(moved);
  if (m_dragged == kNone) return 0;  // cannot happen: the moved point is in the array
  if (onlyItMoved) {
    const CRect after = SegmentsAround(m_dragged);
    CGObject::Invalidate(&before);
    CGObject::Invalidate(&after);
  } else {
    CGObject::Invalidate();
  }
  return 1;
}

void CAdjustableCurve::OnEndCapture(CPoint*, unsigned) {
  {
    Guard g(this);
    m_dragged = kNone;
    m_directionDecided = 0;
    m_captureInProgress = 0;
  }
  m_trigger->SetValue(-m_trigger->GetValue(), 1);
}

HICON CAdjustableCurve::GetCursor(CPoint* pt) {
  Guard g(this);
  if (m_directionDecided) {
    if (!m_directionLocking) return SystemPointer(IDC_SIZEALL);
    return SystemPointer(m_lockedDirection == 1 ? IDC_SIZENS : IDC_SIZEWE);
  }
  return SystemPointer(FindPoint(pt) ? IDC_SIZEALL : IDC_ARROW);
}

void CAdjustableCurve::OnDraw(CDC* dc, CRect* clip) {
  if (!IsDrawEnable() || dc == nullptr || clip == nullptr) return;
  const COLORREF color = GetColor();
  CPen pen;
  pen.CreatePen(PS_SOLID, 1, color);
  CBrush brush;
  brush.CreateSolidBrush(color);
  CPen* oldPen = dc->SelectObject(&pen);
  CBrush* oldBrush = dc->SelectObject(&brush);
  {
    Guard g(this);
    const PixelWide cl = clip->left, ct = clip->top, cr = clip->right, cb = clip->bottom;
    // Segments whose box misses the clip would paint nothing: they are skipped, and the pen
    // is moved to the next segment's start instead.
    bool penAtPrev = false;
    CPoint prev;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
      const CPoint p = PixelOf(m_points[i]);
      const CPoint q(ClampDrawingCoord(p.x), ClampDrawingCoord(p.y));
      if (i > 0) {
        const bool misses = std::max(prev.x, q.x) < cl || std::min(prev.x, q.x) >= cr ||
                            std::max(prev.y, q.y) < ct || std::min(prev.y, q.y) >= cb;
        if (!misses && prev != q) {
          if (!penAtPrev) dc->MoveTo(prev);
          dc->LineTo(q);
          penAtPrev = true;
        } else {
          penAtPrev = false;
        }
      }
      prev = q;
    }
    // Discs. Consecutive points on one pixel would paint the same disc again: drawn once.
    bool drawnAny = false;
    CPoint lastDisc;
    const PixelWide reach = DiscReach();
    for (const stPoint& s : m_points) {
      const CPoint p = PixelOf(s);
      if (drawnAny && p == lastDisc) continue;
      const CRect box = DrawingRect(
          static_cast<PixelWide>(p.x) - reach, static_cast<PixelWide>(p.y) - reach,
          static_cast<PixelWide>(p.x) + reach + 1, static_cast<PixelWide>(p.y) + reach + 1);
      CRect meet;
      if (meet.IntersectRect(&box, clip)) {
        dc->Ellipse(&box);
        lastDisc = p;
        drawnAny = true;
      }
    }
  }
  dc->SelectObject(oldBrush);
  dc->SelectObject(oldPen);
}
