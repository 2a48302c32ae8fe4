#pragma once
// The cursor types of a volume set's axes. The axes themselves and the group id are shared with
// the rulers (axis/axis_types.h).
#include <cstdint>

#include "axis/axis_types.h"

// The four cursors of an axis; measure follows reference and selection 2 follows selection 1.
enum quarlen_enumVolCursorType : std::int32_t {
  quarlen_cursorNone = -1,
  quarlen_cursorReference = 0,
  quarlen_cursorMeasure = 1,
  quarlen_cursorSelection1 = 2,
  quarlen_cursorSelection2 = 3,
};
constexpr int quarlen_cursorTypeCount = 4;
constexpr bool quarlen_IsValidCursorType(int type) {
  return type >= 0 && type < quarlen_cursorTypeCount;
}
