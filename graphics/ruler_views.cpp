#include "graphics/ruler_views.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "graphics/grid.h"
#include "graphics/tick_layout.h"
#include "platform/numeric.h"

namespace {

using quarlen::PixelWide;

// Labels are never estimated wider than this (absurd character counts stay finite pixels).
constexpr PixelWide kMaxLabelWidth = PixelWide{1} << 20;

bool IsDecibel(const CUnit* u) {
  const auto t = u->GetConversionType();
  return t == unit_convPercentToDb || t == unit_convLogToPercent;
}

// One pass of ticks over the view's rectangle r, with minor ticks, from start in steps of step
// up to end; `mirrored` maps through the mirrored half of a folded decibel axis.
void DrawViewTicks(CDC* dc, const CRect& r, bool vertical, CGRuler& view, CUnit* unit, double start,
                   double step, double end, bool mirrored, bool appendUnit, int labelWidth,
                   int allowNegative) {
  quarlen::TickRequest request;
  request.start = start;
  request.step = step;
  request.end = end;
  if (mirrored) {
    request.toPixel = [&view](double v) { return view.ConvertDBToPixel(v); };
  } else {
    request.toPixel = [&view](double v) { return view.ConvertToPixel(v); };
  }
  request.low = vertical ? r.top : r.left;
  request.high = vertical ? r.bottom : r.right;
  request.vertical = vertical;
  request.labelSpacing = labelWidth;
  request.minorTicks = true;
  request.unit = unit;
  request.appendUnit = appendUnit;
  request.allowNegative = allowNegative != 0;
  quarlen::PaintTicks(dc, r, vertical, quarlen::TickUnitOf(dc), quarlen::LayoutTicks(request));
}

}  // namespace

namespace quarlen::detail {

// The work both views share; a friend of CGRuler so that the views stay thin.
struct RulerViewAccess {
  using Guard = std::lock_guard<CCriticalSection>;

  struct GridSpacing {
    bool valid = false;
    double first = 0.0;
    double step = 0.0;
  };

  // Whether a ruler change is to be followed: a display unit is needed, and a ruler window
  // needs a live parent. A windowless ruler keeps its layout up to date too.
  static bool CanFollow(CGRuler& v) {
    {
      Guard lock(v.m_lock);
      if (v.m_displayUnit == nullptr) return false;
    }
    if (v.GetSafeHwnd() == nullptr) return true;
    return ::IsWindow(v.GetParentHwnd()) != FALSE;
  }

  static void Follow(CGRuler& v, double start, double range, double displayOffset) {
    v.CGRuler::RulerChanged(start, range, displayOffset);
    // The view repaints itself (its paint handler draws the whole strip). Its dimension is its
    // client rectangle, which names no place in the parent's coordinates, and invalidating the
    // parent would not repaint the child window anyway.
    if (const HWND hwnd = v.GetSafeHwnd()) ::InvalidateRect(hwnd, nullptr, FALSE);
  }

  // Label range, label width, scale extent and tick layout; the grid spacing in base units.
  static GridSpacing Layout(CGRuler& v, bool vertical) {
    Guard lock(v.m_lock);
    CRuler* ruler = v.m_ruler.load();
    CUnit* u = v.m_displayUnit;
    if (ruler == nullptr || u == nullptr || v.IsDestroyed()) return {};
    const double off = ruler->GetDisplayOffset();
    const double s = ruler->GetStart() + off;
    const double e = ruler->GetEnd() + off;
    const bool folded = IsDecibel(u) && s < 0.0;

    double first = 0.0;
    double range = 0.0;
    if (folded) {
      first = std::fabs(u->ConvertFromBase(s));
      const double z = std::fabs(u->ConvertFromBase(0.0));
      range = std::fabs(z - std::fabs(u->ConvertFromBase(e))) + std::fabs(z - first);
    } else if (vertical && (s > 1e40 || s < -1e40)) {
      first = 0.0;
      range = 1e-6;
    } else {
      first = u->ConvertFromBase(s);
      range = std::fabs(u->ConvertFromBase(e) - first);
    }

    int chars = 0;
    int decimals = 0;
    CGRuler::GetFormat(first, range, &chars, &decimals);
    const PixelWide ave = v.m_textMetrics.tmAveCharWidth;
    const PixelWide width = vertical ? ave * chars + 5 : (ave + 2) * chars + 5;
    v.m_labelWidth = static_cast<int>(std::min<PixelWide>(width, kMaxLabelWidth));

    const CRect d = *v.GetDimension();
    const LONG size = vertical ? d.bottom - d.top : d.right - d.left;
    v.m_scale.SetAttrib(size, vertical ? d.top : d.left);

    double firstTick = first;
    double tickStep = range;
    if (v.m_labelWidth < size) {
      CGRuler::GetDisplayFormat(first, range, size, v.m_labelWidth, &v.m_scale, u, &firstTick,
                                &tickStep, vertical ? 0.0 : v.m_minStep);
      if (folded) firstTick = u->ConvertFromBase(0.0);
    }
    v.m_firstTick = firstTick;
    v.m_tickStep = tickStep;

    // The step as the base-unit distance between two ticks (not the image of the step
    // alone), so that the grid follows the ticks for units with an offset too.
    const double baseFirst = u->ConvertToBase(firstTick);
    return {true, baseFirst, baseFirst - u->ConvertToBase(firstTick - tickStep)};
  }

  // Paints the view into its own window, or into `target` (client coordinates, e.g. an
  // export page whose viewport origin puts the view where it lies).
  static void Draw(CGRuler& v, bool vertical, CDC* target = nullptr) {
    Guard lock(v.m_lock);
    const HWND hwnd = v.GetSafeHwnd();
    if (hwnd == nullptr || !::IsWindow(hwnd)) return;  // a windowless ruler never draws
    const CRect r = *v.GetDimension();
    if (r.right - r.left < 2 || r.bottom - r.top < 2) return;
    CDC* dc = target != nullptr ? target : v.GetDC();
    if (dc == nullptr) return;
    const int saved = target != nullptr ? dc->SaveDC() : 0;

    // Pattern: the colour with red, green and blue each halved.
    const COLORREF fill = v.m_pattern ? (v.m_color >> 1) & 0x7F7F7F : v.m_color;
    CBrush brush(fill);
    dc->SelectObject(&brush);
    dc->SetBkColor(0xFFFFFF);
    dc->SetBkMode(OPAQUE);
    dc->Rectangle(&r);

    dc->SetTextColor(v.m_textColor);
    dc->SetBkMode(TRANSPARENT);
    CGdiObject* oldPen = dc->SelectStockObject(BLACK_PEN);
    dc->SetTextAlign(vertical ? UINT{TA_TOP | TA_LEFT} : UINT{TA_BASELINE});
    CFont* oldFont = dc->SelectObject(&v.m_font);
    CRect device = r;  // clip regions are in device coordinates
    dc->LPtoDP(&device);
    const HRGN clip = ::CreateRectRgn(device.left, device.top, device.right, device.bottom);
    dc->ExtSelectClipRgn(clip, RGN_AND);
    CPen pen(PS_SOLID, 1, v.m_tickColor);
    dc->SelectObject(&pen);

    CRuler* ruler = v.m_ruler.load();
    CUnit* u = v.m_displayUnit;
    if (ruler != nullptr && u != nullptr) {
      const double off = ruler->GetDisplayOffset();
      const double s = ruler->GetStart() + off;
      const double e = ruler->GetEnd() + off;
      const double end = u->ConvertFromBase(e);
      const double first = v.m_firstTick;
      const double step = v.m_tickStep;
      if (IsDecibel(u) && s < 0.0 && e > 0.0) {
        // A folded decibel axis: the positive half, then its mirror without the unit name.
        DrawViewTicks(dc, r, vertical, v, u, first, step, end, false, true, v.m_labelWidth,
                      v.m_allowNegative);
        DrawViewTicks(dc, r, vertical, v, u, first, step, end, true, false, v.m_labelWidth,
                      v.m_allowNegative);
      } else {
        DrawViewTicks(dc, r, vertical, v, u, first - step, step, end, false, true, v.m_labelWidth,
                      v.m_allowNegative);
      }
    }

    dc->SelectStockObject(WHITE_BRUSH);
    dc->SelectClipRgn(nullptr);
    ::DeleteObject(clip);
    if (oldFont != nullptr) dc->SelectObject(oldFont);
    if (oldPen != nullptr) dc->SelectObject(oldPen);
    if (target != nullptr)
      dc->RestoreDC(saved);
    else
      v.ReleaseDC(dc);
  }

  static void SetGridSpacing(CGGrid* grid, bool vertical, const GridSpacing& g) {
    if (grid == nullptr || !g.valid) return;
    if (vertical) {
      grid->SetYTickSpacing(g.first, g.step);
    } else {
      grid->SetXTickSpacing(g.first, g.step);
    }
  }
};

}  // namespace quarlen::detail

using quarlen::detail::RulerViewAccess;

IMPLEMENT_DYNAMIC(CGRulerHoriz, CGRuler)
IMPLEMENT_DYNAMIC(CGRulerVerti, CGRuler)

// ---- Horizontal view ----

CGRulerHoriz::CGRulerHoriz(int fontDelta) { m_logFont.lfHeight += fontDelta; }

CGRulerHoriz::~CGRulerHoriz() { Shutdown(); }

void CGRulerHoriz::SetPosition(CRect* rect) {
  if (rect == nullptr) return;
  const LONG minimum = m_textMetrics.tmHeight + 4;
  if (rect->bottom - rect->top < minimum) rect->top = rect->bottom - minimum;
  CGRuler::SetPosition(rect);
}

void CGRulerHoriz::RulerChanged(double start, double range, double displayOffset) {
  if (!RulerViewAccess::CanFollow(*this)) return;
  RulerViewAccess::Follow(*this, start, range, displayOffset);
}

void CGRulerHoriz::RecalcLayout() {
  // The grid is told after the view's lock is released.
  RulerViewAccess::SetGridSpacing(GetGrid(), false, RulerViewAccess::Layout(*this, false));
}

void CGRulerHoriz::SetGrid(CGGrid* grid) {
  m_grid = grid;
  // The layout may have been computed before the grid was known, and nothing later need come
  // to compute it again.
  RecalcLayout();
}

void CGRulerHoriz::OnDraw(CDC*) { RulerViewAccess::Draw(*this, false); }

void CGRulerHoriz::Print(CDC* dc, int x, int y) {
  if (dc == nullptr) return;
  const CPoint old = dc->SetViewportOrg(x, y);
  RulerViewAccess::Draw(*this, false, dc);
  dc->SetViewportOrg(old);
}

// ---- Vertical view ----

CGRulerVerti::CGRulerVerti(int fontDelta) {
  m_logFont.lfHeight += fontDelta;
  m_logFont.lfEscapement = 900;
}

CGRulerVerti::~CGRulerVerti() { Shutdown(); }

void CGRulerVerti::SetPosition(CRect* rect) {
  if (rect == nullptr) return;
  const LONG minimum = m_textMetrics.tmHeight + 5;
  if (rect->right - rect->left < minimum) rect->right = rect->left + minimum;
  CGRuler::SetPosition(rect);
}

void CGRulerVerti::RulerChanged(double start, double range, double displayOffset) {
  // Also refuses NaN windows.
  if (!(start <= 1e9 && start >= -1e9 && range <= 1e9 && range >= -1e9)) return;
  if (!RulerViewAccess::CanFollow(*this)) return;
  RulerViewAccess::Follow(*this, start, range, displayOffset);
}

void CGRulerVerti::RecalcLayout() {
  RulerViewAccess::SetGridSpacing(GetGrid(), true, RulerViewAccess::Layout(*this, true));
}

void CGRulerVerti::SetGrid(CGGrid* grid) {
  m_grid = grid;
  RecalcLayout();
}

void CGRulerVerti::OnDraw(CDC*) { RulerViewAccess::Draw(*this, true); }

void CGRulerVerti::Print(CDC* dc, int x, int y) {
  if (dc == nullptr) return;
  const CPoint old = dc->SetViewportOrg(x, y);
  RulerViewAccess::Draw(*this, true, dc);
  dc->SetViewportOrg(old);
}
