// The tick routines of the graphical rulers: major ticks with labels, spacing enlarged locally
// where labels would collide, minor ticks, half ticks and half labels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "axis/unit.h"
#include "graphics/graphical_ruler.h"
#include "platform/numeric.h"

namespace quarlen::detail {

// Pixel arithmetic is done in 64 bits and clamped when handed to the DC, so mappings that
// saturate at the ends of the 32-bit range never overflow.
using Px = std::int64_t;

inline int ToInt(Px v) {
  return static_cast<int>(
      std::clamp<Px>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The geometry that differs between the horizontal and the vertical routine.
struct TickAxis {
  bool vertical;
  const CRect& r;

  Px Extent() const { return vertical ? Px{r.bottom} - r.top : Px{r.right} - r.left; }
  Px Mid() const { return vertical ? r.top + Extent() / 2 : r.left + Extent() / 2; }
  bool Outside(Px p, Px n) const {
    const Px lo = vertical ? r.top : r.left;
    const Px hi = vertical ? r.bottom : r.right;
    return (p > hi && n > p) || (p < lo && n < p);
  }
  // A tick across the strip: from the ruler's edge inwards over `length` pixels.
  void Tick(CDC* dc, Px at, Px length) const {
    if (vertical) {
      dc->MoveTo(r.right, ToInt(at));
      dc->LineTo(ToInt(Px{r.right} - length), ToInt(at));
    } else {
      dc->MoveTo(ToInt(at), r.top);
      dc->LineTo(ToInt(at), ToInt(Px{r.top} + length));
    }
  }
  void MajorTick(CDC* dc, Px at, Px tickUnit) const {
    if (vertical) {
      dc->MoveTo(r.right, ToInt(at));
      dc->LineTo(ToInt(Px{r.left} + tickUnit + 1), ToInt(at));
    } else {
      dc->MoveTo(ToInt(at), r.top);
      dc->LineTo(ToInt(at), ToInt(Px{r.bottom} - tickUnit));
    }
  }
};

void DrawTicks(const TickAxis& axis, CDC* dc, double start, double step, double end,
               CGRuler::ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
               LONG labelSpacing, int appendUnit, int allowNegative) {
  CUnit identity;  // formats the labels when no unit is given
  if (unit == nullptr) unit = &identity;
  const CRect& rect = axis.r;
  const Px tickUnit = dc->GetTextExtent(L"A", 1).cy / 3;
  const Px mid = axis.Mid();
  const Px spacing = labelSpacing;
  auto px = [&](double v) -> Px { return toPixel(v, context); };

  // Every routine walk is bounded by the pixel extent: a step that no longer advances the
  // position, or a position far outside the strip, ends the drawing instead of hanging it.
  const Px extent = std::llabs(axis.Extent());
  Px budget = 64 * (extent + 64);

  if (!allowNegative && start < 0.0) start = 0.0;
  Px prev = px(start - step);
  const double stepsD = (end - start) / step;
  const Px nSteps = quarlen::SaturatingTrunc<Px>(stepsD);
  Px count = 0;
  bool outside = false;
  bool unitPending = appendUnit != 0;
  CString text;

  while (start <= end && step > 1e-10 && budget-- > 0) {
    double factor = 1.0;
    double mult = 5.0;
    double cur = step;

    // Positions that fall on the same pixel are skipped.
    Px p = px(start);
    Px n = px(start + step);
    bool stalled = false;
    while (n == p && start <= end) {
      const double next = start + step;
      if (next == start || budget-- <= 0) {
        stalled = true;
        break;
      }
      start = next;
      p = px(start);
      n = px(start + step);
      ++count;
    }
    if (stalled) break;

    // Where labels would collide, try 5, 10, 25 and 50 steps.
    if (std::llabs(n - p) < spacing - 1) {
      while (factor < 50.0) {
        factor *= mult;
        mult = mult == 2.0 ? 2.5 : 2.0;
        cur = factor * step;
        n = px(start + cur);
        const double q = start + factor * mult * step;
        if (px(q) - p > axis.Extent() / 4 || q > end || std::llabs(n - p) >= spacing - 1) break;
      }
    }
    count += static_cast<Px>(factor - 1.0);

    axis.MajorTick(dc, p, tickUnit);

    if (axis.Outside(p, n)) {
      if (outside) break;  // the second tick in a row moving away from the strip
      outside = true;
    } else {
      outside = false;
    }

    // A value within half a step of zero is zero (no "-1.2e-17" labels).
    if (std::fabs(start) < 0.5 * std::fabs(step)) start = 0.0;

    const Px neighbour = axis.vertical ? (n < p ? n : prev) : (n > p ? n : prev);
    if (std::llabs(neighbour - p) >= spacing) {
      unit->dtoaCompact(start, text);
      if (unitPending) {
        const bool place = axis.vertical ? (count > 0 || (count < nSteps && p < mid))
                                         : (count == 1 || (count + 1 == nSteps && p < mid));
        if (place) {
          text += unit->GetShortName();
          unitPending = false;
        }
      }
      if (axis.vertical) {
        if (p - 2 >= 0) dc->TextOut(rect.left + 2, ToInt(p - 2), text, text.GetLength());
      } else {
        dc->TextOut(ToInt(p + 1), ToInt(Px{rect.bottom} - tickUnit), text, text.GetLength());
      }
    }

    if (minorTicks) {
      const Px a = px(start);
      const Px b = px(start + cur);
      const bool tenths = std::llabs(a - b) >= 21;
      const double tenth = 0.1 * cur;
      double m = 0.0;
      if (tenths) {
        for (int k = 1; k <= 4; ++k) axis.Tick(dc, px(start + k * tenth), tickUnit);
        m = start + 5.0 * tenth;
      } else {
        m = start + 0.4 * cur + 0.1 * cur;
      }
      const Px x = px(m);
      axis.Tick(dc, x, 2 * tickUnit);
      if (std::llabs(x - px(m + cur / 2.0)) >= 2 * spacing &&
          std::llabs(x - px(m - cur / 2.0)) >= 2 * spacing && m < end) {
        unit->dtoaCompact(m, text);
        if (axis.vertical) {
          dc->TextOut(rect.left + 2, ToInt(x - 1), text, text.GetLength());
        } else {
          dc->TextOut(ToInt(x + 1), rect.bottom - 3, text, text.GetLength());
        }
      }
      if (tenths) {
        for (int k = 1; k <= 4; ++k) axis.Tick(dc, px(m + k * tenth), tickUnit);
      }
    }

    ++count;
    prev = px(start);
    const double next = start + cur;
    if (!(next > start)) break;  // the step no longer advances at this magnitude
    start = next;
  }
}

}  // namespace quarlen::detail

void CGRuler::HDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative) {
  if (dc == nullptr || rect == nullptr || toPixel == nullptr) return;
  quarlen::detail::DrawTicks({false, *rect}, dc, start, step, end, toPixel, context, minorTicks,
                             unit, labelSpacing, appendUnit, allowNegative);
}

void CGRuler::VDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative) {
  if (dc == nullptr || rect == nullptr || toPixel == nullptr) return;
  quarlen::detail::DrawTicks({true, *rect}, dc, start, step, end, toPixel, context, minorTicks,
                             unit, labelSpacing, appendUnit, allowNegative);
}
