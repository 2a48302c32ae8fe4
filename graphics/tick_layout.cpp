// Tick layout of a ruler as a value, and its painter.
#include "graphics/tick_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "axis/unit.h"
#include "platform/dc.h"
#include "platform/numeric.h"

namespace quarlen {

namespace {

// Pixel arithmetic is done wide and narrowed once when handed to the DC, so mappings that
// saturate at the ends of the 32-bit range never overflow.
int ToInt(PixelWide v) { return SaturatingCast<int>(v); }

// A step this small or smaller gives no ticks.
constexpr double kSmallestStep = 1e-10;
// A step spanning this many pixels gets four minor ticks on either side of its half tick.
constexpr PixelWide kTenthsFrom = 21;
// Room kept for the ticks of one more step when checking the tick limit.
constexpr std::size_t kTicksPerStep = 10;

}  // namespace

TickLayout LayoutTicks(const TickRequest& rq) {
  TickLayout out;
  if (!rq.toPixel) return out;
  CUnit identity;  // formats the labels when no unit is given
  CUnit* unit = rq.unit != nullptr ? rq.unit : &identity;
  auto px = [&](double v) -> PixelWide { return rq.toPixel(v); };
  auto push = [&](TickKind kind, double value, PixelWide pixel) -> std::size_t {
    Tick t;
    t.kind = kind;
    t.value = value;
    t.pixel = static_cast<LONG>(pixel);  // a pixel the mapping gave: always in range
    out.ticks.push_back(std::move(t));
    return out.ticks.size() - 1;
  };

  const PixelWide lo = rq.low;
  const PixelWide hi = rq.high;
  const PixelWide signedExtent = hi - lo;
  const PixelWide mid = lo + signedExtent / 2;
  const PixelWide spacing = rq.labelSpacing;
  const bool vertical = rq.vertical;
  const double step = rq.step;
  const double end = rq.end;
  double start = rq.start;

  // Every walk is bounded by the pixel extent: a step that no longer advances the position,
  // or a position far outside the strip, ends the layout instead of hanging it.
  const PixelWide extent =
      std::min<PixelWide>(std::llabs(signedExtent), static_cast<PixelWide>(kMaxTicks));
  PixelWide budget = 64 * (extent + 64);

  if (!rq.allowNegative && start < 0.0) start = 0.0;
  PixelWide prev = px(start - step);
  const PixelWide nSteps = SaturatingTrunc<PixelWide>((end - start) / step);
  PixelWide count = 0;
  bool outside = false;
  bool unitPending = rq.appendUnit;
  CString text;

  while (start <= end && step > kSmallestStep && budget-- > 0 &&
         out.ticks.size() + kTicksPerStep <= kMaxTicks) {
    double factor = 1.0;
    double mult = 5.0;
    double cur = step;

    // Positions that fall on the same pixel are skipped, but never past end: the last value
    // within end keeps the tick (a skip beyond it would tick a value outside the range, up to
    // an infinite one).
    PixelWide p = px(start);
    PixelWide n = px(start + step);
    bool stalled = false;
    while (n == p && start + step <= end) {
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
        if (px(q) - p > signedExtent / 4 || q > end || std::llabs(n - p) >= spacing - 1) break;
      }
    }
    count += static_cast<PixelWide>(factor - 1.0);

    const std::size_t major = push(TickKind::major, start, p);
    out.ticks[major].step = cur;

    // The second tick in a row moving away from the strip ends the layout.
    if ((p > hi && n > p) || (p < lo && n < p)) {
      if (outside) break;
      outside = true;
    } else {
      outside = false;
    }

    // A value within half a step of zero is zero (no "-1.2e-17" labels).
    if (std::fabs(start) < 0.5 * std::fabs(step)) start = 0.0;
    out.ticks[major].value = start;

    const PixelWide neighbour = vertical ? (n < p ? n : prev) : (n > p ? n : prev);
    if (std::llabs(neighbour - p) >= spacing) {
      unit->dtoaCompact(start, text);
      bool withUnit = false;
      if (unitPending) {
        const bool place = vertical ? (count > 0 || (count < nSteps && p < mid))
                                    : (count == 1 || (count + 1 == nSteps && p < mid));
        if (place) {
          text += unit->GetShortName();
          unitPending = false;
          withUnit = true;
        }
      }
      if (!vertical || p - 2 >= 0) {
        out.ticks[major].labelled = true;
        out.ticks[major].label = text;
        if (withUnit) out.unitLabel = {true, major, static_cast<LONG>(p)};
      }
    }

    // A step whose end overflows the double range has no middle to subdivide (its half and
    // minor values would be infinite).
    if (rq.minorTicks && std::isfinite(start + cur)) {
      const PixelWide a = px(start);
      const PixelWide b = px(start + cur);
      const bool tenths = std::llabs(a - b) >= kTenthsFrom;
      const double tenth = 0.1 * cur;
      double m = 0.0;
      if (tenths) {
        for (int k = 1; k <= 4; ++k)
          push(TickKind::minor, start + k * tenth, px(start + k * tenth));
        m = start + 5.0 * tenth;
      } else {
        m = start + 0.4 * cur + 0.1 * cur;
      }
      const PixelWide x = px(m);
      const std::size_t half = push(TickKind::half, m, x);
      if (std::llabs(x - px(m + cur / 2.0)) >= 2 * spacing &&
          std::llabs(x - px(m - cur / 2.0)) >= 2 * spacing && m < end) {
        unit->dtoaCompact(m, text);
        out.ticks[half].labelled = true;
        out.ticks[half].label = text;
      }
      if (tenths) {
        for (int k = 1; k <= 4; ++k) push(TickKind::minor, m + k * tenth, px(m + k * tenth));
      }
    }

    ++count;
    prev = px(start);
    const double next = start + cur;
    if (!(next > start)) break;  // the step no longer advances at this magnitude
    start = next;
  }
  return out;
}

LONG TickUnitOf(CDC* dc) { return dc != nullptr ? dc->GetTextExtent(L"A", 1).cy / 3 : 0; }

void PaintTicks(CDC* dc, const CRect& rect, bool vertical, LONG tickUnit,
                const TickLayout& layout) {
  if (dc == nullptr) return;
  const PixelWide unit = tickUnit;
  // A tick across the strip: from the ruler's edge inwards over `length` pixels.
  auto tick = [&](PixelWide at, PixelWide length) {
    if (vertical) {
      dc->MoveTo(rect.right, ToInt(at));
      dc->LineTo(ToInt(PixelWide{rect.right} - length), ToInt(at));
    } else {
      dc->MoveTo(ToInt(at), rect.top);
      dc->LineTo(ToInt(at), ToInt(PixelWide{rect.top} + length));
    }
  };
  const int labelLeft = ToInt(PixelWide{rect.left} + 2);
  for (const Tick& t : layout.ticks) {
    const PixelWide at = t.pixel;
    switch (t.kind) {
      case TickKind::major:
        if (vertical) {
          dc->MoveTo(rect.right, ToInt(at));
          dc->LineTo(ToInt(PixelWide{rect.left} + unit + 1), ToInt(at));
          if (t.labelled) dc->TextOut(labelLeft, ToInt(at - 2), t.label);
        } else {
          dc->MoveTo(ToInt(at), rect.top);
          dc->LineTo(ToInt(at), ToInt(PixelWide{rect.bottom} - unit));
          if (t.labelled) dc->TextOut(ToInt(at + 1), ToInt(PixelWide{rect.bottom} - unit), t.label);
        }
        break;
      case TickKind::minor:
        tick(at, unit);
        break;
      case TickKind::half:
        tick(at, 2 * unit);
        if (t.labelled) {
          if (vertical) {
            dc->TextOut(labelLeft, ToInt(at - 1), t.label);
          } else {
            dc->TextOut(ToInt(at + 1), ToInt(PixelWide{rect.bottom} - 3), t.label);
          }
        }
        break;
    }
  }
}

}  // namespace quarlen
