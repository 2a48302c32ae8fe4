// The tick routines of the graphical rulers: the layout of LayoutTicks drawn by PaintTicks.
#include "graphics/graphical_ruler.h"
#include "graphics/tick_layout.h"

namespace {

void DrawTicks(CDC* dc, const CRect& rect, bool vertical, double start, double step, double end,
               CGRuler::ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
               LONG labelSpacing, int appendUnit, int allowNegative) {
  quarlen::TickRequest request;
  request.start = start;
  request.step = step;
  request.end = end;
  request.toPixel = [toPixel, context](double v) { return toPixel(v, context); };
  request.low = vertical ? rect.top : rect.left;
  request.high = vertical ? rect.bottom : rect.right;
  request.vertical = vertical;
  request.labelSpacing = labelSpacing;
  request.minorTicks = minorTicks != 0;
  request.unit = unit;
  request.appendUnit = appendUnit != 0;
  request.allowNegative = allowNegative != 0;
  quarlen::PaintTicks(dc, rect, vertical, quarlen::TickUnitOf(dc), quarlen::LayoutTicks(request));
}

}  // namespace

void CGRuler::HDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative) {
  if (dc == nullptr || rect == nullptr || toPixel == nullptr) return;
  DrawTicks(dc, *rect, false, start, step, end, toPixel, context, minorTicks, unit, labelSpacing,
            appendUnit, allowNegative);
}

void CGRuler::VDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative) {
  if (dc == nullptr || rect == nullptr || toPixel == nullptr) return;
  DrawTicks(dc, *rect, true, start, step, end, toPixel, context, minorTicks, unit, labelSpacing,
            appendUnit, allowNegative);
}
