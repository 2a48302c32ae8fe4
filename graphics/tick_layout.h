#pragma once
// Tick layout of a ruler: where the ticks and labels of one axis go, computed as a value, and
// the short painter that draws such a layout the way the graphical rulers show it.
//
// LayoutTicks(request) walks the display values start, start + step, ... up to end, maps each
// through request.toPixel and returns the ticks in the order a painter draws them:
//   - a major tick at every walked value; values that land on the pixel of the value before
//     are skipped, and where two steps lie closer than labelSpacing - 1 pixels the distance to
//     the next major tick is widened to 5, 10, 25 or 50 steps (recomputed at every tick; the
//     widening stops early once the next candidate lies beyond a quarter of the extent or
//     beyond end). Tick::step holds the distance used;
//   - a major label (CUnit::dtoaCompact of the value) where the tick's neighbour lies at least
//     labelSpacing pixels away; the unit's short name is appended to at most one label of the
//     layout (TickLayout::unitLabel says which one);
//   - with minorTicks: a half tick in the middle of each step, four minor ticks before and four
//     after it when the step spans 21 pixels or more, and a half label where both neighbouring
//     half positions lie at least twice labelSpacing away.
// A major tick value within half a step of zero is 0.0 exactly (no "-1.2e-17" labels). With
// allowNegative false a negative start is raised to 0. Walking stops after the second major
// tick in a row that lies outside [low, high] moving away from it. A vertical ruler's major
// label is left out where its anchor (pixel - 2) would lie above row 0; a unit name given to
// such a label is shown nowhere.
//
// Callers may rely on:
//   - Purity: the result depends only on the request (the mapping and the unit are called, not
//     changed); nothing is drawn and nothing is kept between calls.
//   - Termination for any input: NaN or infinite values, zero, negative or tiny steps (a step of
//     1e-10 or less gives no tick), steps that no longer advance the value at its magnitude,
//     huge ranges, mappings that give NaN-derived or constant pixels, and empty or one-pixel
//     extents. The walk is bounded by 64 * (extent + 64) steps (extent = |high - low|, counted
//     as at most kMaxTicks), and a layout holds at most kMaxTicks ticks.
//   - An empty layout for a null mapping, end below start, or a NaN start, step or end.
//
// PaintTicks draws a layout with the DC's current pen, font, text colour and alignment, across
// rect (ticks run in from the top edge of a horizontal ruler, in from the right edge of a
// vertical one). tickUnit is the height of "A" in the DC's font divided by 3. Horizontal: major
// ticks from top to bottom - tickUnit, labels at (pixel + 1, bottom - tickUnit), minor ticks
// tickUnit long, half ticks 2 * tickUnit long, half labels at (pixel + 1, bottom - 3). Vertical:
// major ticks from right to left + tickUnit + 1, labels at (left + 2, pixel - 2), minor and half
// ticks leftwards from right, half labels at (left + 2, pixel - 1). Coordinates saturate at the
// int range instead of wrapping.
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/cstring.h"
#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/types.h"

class CDC;
class CUnit;

namespace quarlen {

enum class TickKind { major, minor, half };

struct Tick {
  TickKind kind = TickKind::major;
  double value = 0.0;  // display value
  LONG pixel = 0;      // along the ruler, as the mapping gave it
  // Major ticks: the value distance to the next major tick (the step, widened where labels
  // would collide). 0 for minor and half ticks.
  double step = 0.0;
  bool labelled = false;
  CString label;  // the text drawn beside the tick; empty unless labelled
};

// The label that carries the unit's short name, if any.
struct UnitLabel {
  bool placed = false;
  std::size_t tick = 0;  // index into TickLayout::ticks
  LONG pixel = 0;        // that tick's pixel
};

struct TickLayout {
  std::vector<Tick> ticks;  // in drawing order
  UnitLabel unitLabel;
};

struct TickRequest {
  // Display values: the first tick, the distance between ticks, the last value ticked.
  double start = 0.0;
  double step = 0.0;
  double end = 0.0;
  // Display value -> pixel along the ruler (x of a horizontal ruler, y of a vertical one).
  std::function<LONG(double)> toPixel;
  // The ruler's extent along its axis: left and right, or top and bottom.
  LONG low = 0;
  LONG high = 0;
  bool vertical = false;
  // Minimum distance in pixels between two labels.
  LONG labelSpacing = 0;
  bool minorTicks = false;
  // Formats the labels and names the unit; null formats plain numbers with no unit name.
  CUnit* unit = nullptr;
  bool appendUnit = false;
  bool allowNegative = true;
};

// Upper bound of the ticks in one layout.
inline constexpr std::size_t kMaxTicks = std::size_t{1} << 18;

QUARLEN_API TickLayout LayoutTicks(const TickRequest& request);

// tickUnit: see above; TickUnitOf gives it for the DC's current font.
QUARLEN_API void PaintTicks(CDC* dc, const CRect& rect, bool vertical, LONG tickUnit,
                            const TickLayout& layout);
QUARLEN_API LONG TickUnitOf(CDC* dc);

}  // namespace quarlen
