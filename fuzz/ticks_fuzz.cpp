// Tick layout with extreme ranges, sizes and units: the layout of any request ends, holds a
// bounded number of ticks (at most kMaxTicks, and at most ten per walked step of a walk bounded
// by the extent), finite values (major ones within the range), labels only on labelled ticks,
// and a unit label that names one of its own ticks. The mapping is the one the ruler views use:
// display value through the unit to base, then through a scale converter to a pixel.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "graphics/tick_layout.h"

namespace {

double Value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return std::numeric_limits<double>::quiet_NaN();
    case 1:
      return in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
    case 2:
      return in.ConsumeBool() ? DBL_MAX : -DBL_MAX;
    case 3:
      return in.ConsumeBool() ? DBL_MIN : 1e-12;
    case 4:
      return in.ConsumeFloatingPoint<double>();
    case 5:
      return static_cast<double>(in.ConsumeIntegralInRange(-1000, 1000)) / 8.0;
    default:
      return in.ConsumeFloatingPointInRange(-1e4, 1e4);
  }
}

LONG Pixel(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return in.ConsumeIntegral<LONG>();
    case 1:
      return in.ConsumeBool() ? std::numeric_limits<LONG>::max() : std::numeric_limits<LONG>::min();
    default:
      return in.ConsumeIntegralInRange<LONG>(-50, 2000);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CUnit base(unit_distance, unit_dataMillimeter, unit_convNone, 1.0, 0.0, nullptr);
  const auto type = static_cast<unit_enumConversionType>(in.ConsumeIntegralInRange(-1, 4));
  const double a = Value(in), b = Value(in);
  CUnit unit(unit_distance, unit_dataInch, type, a, b, &base);
  unit.SetDisplayPrecision(in.ConsumeIntegralInRange(-3, 40));

  CSC scale;
  const double rulStart = Value(in), rulRange = Value(in), displayOffset = Value(in);
  scale.SetAttrib(rulStart, rulRange, in.ConsumeBool() ? 1 : 0, displayOffset);
  const LONG pixels = Pixel(in), offset = Pixel(in);
  scale.SetAttrib(pixels, offset);

  quarlen::TickRequest rq;
  rq.start = Value(in);
  rq.step = Value(in);
  rq.end = Value(in);
  rq.low = Pixel(in);
  rq.high = Pixel(in);
  rq.vertical = in.ConsumeBool();
  rq.labelSpacing = in.ConsumeBool() ? in.ConsumeIntegralInRange<LONG>(-5, 200) : Pixel(in);
  rq.minorTicks = in.ConsumeBool();
  rq.appendUnit = in.ConsumeBool();
  rq.allowNegative = in.ConsumeBool();
  const bool withUnit = in.ConsumeBool();
  rq.unit = withUnit ? &unit : nullptr;
  if (in.ConsumeBool()) {
    rq.toPixel = [&](double v) { return scale.PosToPixel(withUnit ? unit.ConvertToBase(v) : v); };
  } else if (in.ConsumeBool()) {
    const LONG constant = Pixel(in);
    rq.toPixel = [constant](double) { return constant; };
  }

  const double extent = std::fabs(static_cast<double>(rq.high) - static_cast<double>(rq.low));
  // A huge extent with a long walk lays out up to kMaxTicks labelled ticks, a tenth of a second
  // each run: such inputs are left to the unit tables, so the fuzzer explores the rest quickly.
  if (extent > 5000.0 && !((rq.end - rq.start) / rq.step <= 1e4)) return 0;

  const quarlen::TickLayout layout = quarlen::LayoutTicks(rq);
  const double walk = std::min(64.0 * (extent + 64.0), static_cast<double>(quarlen::kMaxTicks));
  if (layout.ticks.size() > quarlen::kMaxTicks || layout.ticks.size() > 10.0 * walk + 10.0) {
    std::abort();
  }
  for (const quarlen::Tick& t : layout.ticks) {
    // Values are finite (but for the one tick of an infinite start, which cannot advance) and
    // lie within [start, end]; a widened step may overflow to infinity, never to NaN.
    if ((!std::isfinite(t.value) && t.value != rq.start) || !(t.step >= 0.0)) std::abort();
    // (A value within half a step of zero is 0 exactly, which may lie outside a tiny range.)
    if (t.kind == quarlen::TickKind::major && t.value != 0.0 &&
        (t.value > rq.end || t.value < std::min(rq.start, 0.0))) {
      std::abort();
    }
    if (!t.labelled && !t.label.IsEmpty()) std::abort();
  }
  if (layout.unitLabel.placed) {
    if (layout.unitLabel.tick >= layout.ticks.size()) std::abort();
    const quarlen::Tick& t = layout.ticks[layout.unitLabel.tick];
    if (!t.labelled || t.pixel != layout.unitLabel.pixel) std::abort();
  }
  return 0;
}
