#pragma once
// The container window keeps the graphical ruler views beside it (CGRulerHoriz, CGRulerVerti)
// in step with its rulers. It knows them only by pointer: the ruler-view code installs these
// hooks, and the container calls through them. Without installed hooks the views are skipped.
#include "platform/export.h"

class CDC;
class CGRulerHoriz;
class CGRulerVerti;

namespace quarlen::detail {

struct RulerViewHooks {
  // The view draws itself into its own window; dc is a DC of the container's parent.
  void (*drawHoriz)(CGRulerHoriz* view, CDC* parentDC) = nullptr;
  void (*drawVerti)(CGRulerVerti* view, CDC* parentDC) = nullptr;
  // The ruler of the view now shows [start, start + range) with the given display offset.
  void (*changedHoriz)(CGRulerHoriz* view, double start, double range,
                       double displayOffset) = nullptr;
  void (*changedVerti)(CGRulerVerti* view, double start, double range,
                       double displayOffset) = nullptr;
};

// The process-wide hooks; set them once at start-up (before containers are used).
QUARLEN_API RulerViewHooks& GetRulerViewHooks();

}  // namespace quarlen::detail
