// Unit and scale conversions: no undefined behaviour for any factors or values, and round trips
// within tolerance where the conversion is invertible (a linear unit with a usable factor; a
// scale converter whose window maps whole pixels onto distinct positions).
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "platform/cstring.h"

namespace {

double Value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
      return std::numeric_limits<double>::quiet_NaN();
    case 1:
      return in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
    case 2:
      return in.ConsumeBool() ? DBL_MAX : DBL_MIN;
    case 3:
      return in.ConsumeFloatingPoint<double>();
    default:
      return in.ConsumeFloatingPointInRange(-1e6, 1e6);
  }
}

bool Near(double a, double b, double scale) {
  return std::fabs(a - b) <= 1e-6 * std::max({1.0, std::fabs(a), std::fabs(b), scale});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CUnit base(unit_distance, unit_dataMillimeter, unit_convNone, 1.0, 0.0, nullptr);
  const auto type = static_cast<unit_enumConversionType>(in.ConsumeIntegralInRange(-1, 4));
  const double a = Value(in), b = Value(in);
  CUnit unit(static_cast<unit_enumUnits>(in.ConsumeIntegralInRange(0, 14)),
             static_cast<unit_enumDataUnit>(in.ConsumeIntegralInRange(0, 15)), type, a, b, &base);
  if (type == unit_convTofd) unit.SetTOFDFactors(Value(in), a, b, Value(in));
  unit.SetDisplayPrecision(in.ConsumeIntegralInRange(-5, 60));
  CUnit other(unit_distance, unit_dataMeter, unit_convLinear, 0.001, 0.0, &base);

  CSC scale;
  const double start = Value(in), range = Value(in);
  const bool shifted = in.ConsumeBool();
  scale.SetAttrib(start, range, in.ConsumeBool() ? 1 : 0, shifted ? Value(in) : 0.0);
  const LONG pixels =
      in.ConsumeBool() ? in.ConsumeIntegral<LONG>() : in.ConsumeIntegralInRange<LONG>(-2, 4000);
  const LONG offset =
      in.ConsumeBool() ? in.ConsumeIntegral<LONG>() : in.ConsumeIntegralInRange<LONG>(-100, 100);
  scale.SetAttrib(pixels, offset);
  go_sample samples{Value(in), Value(in), 0, 0};
  scale.SetAttrib(&samples);

  CString text;
  while (in.remaining_bytes() > 0) {
    const double x = Value(in);
    const LONG p = in.ConsumeIntegral<LONG>();

    const double y = unit.ConvertFromBase(x);
    const double back = unit.ConvertToBase(y);
    unit.ConvertFrom(x, &other);
    unit.dtoa(x, text);
    unit.dtoaCompact(y, text);
    const bool linear = type == unit_convLinear || type == unit_convDbLinear;
    if (linear && std::isfinite(a) && std::isfinite(b) && std::isfinite(x) && std::isfinite(y) &&
        std::fabs(a) >= 1e-6 && std::fabs(a) <= 1e6 && std::fabs(x) <= 1e9 && std::fabs(b) <= 1e9 &&
        !Near(back, x, std::fabs(b / a))) {
      std::abort();
    }

    const LONG px = scale.PosToPixel(x);
    const double pos = scale.PixelToPos(p);
    scale.PosToPixelQty(x);
    scale.PosToSample(x);
    scale.PixelToSample(p);
    scale.PixelPerSample();
    scale.SamplePerPixel();
    scale.ToSampleSteps(x, &unit);
    scale.DisplayToRealPos(scale.RealToDisplayPos(x));
    // Pixel -> position -> pixel is exact while a pixel spans a usable, finite position step.
    const double perPixel = pixels > 1 ? range / (pixels - 1) : 0.0;
    if (pixels > 1 && pixels < 100000 && std::isfinite(start) && std::isfinite(range) &&
        std::fabs(range) > 1e-6 && std::fabs(range) < 1e9 && std::fabs(start) < 1e9 &&
        std::fabs(perPixel) > 1e-6 && !shifted && p >= offset &&
        std::int64_t{p} < std::int64_t{offset} + pixels && scale.PosToPixel(pos) != p) {
      std::abort();
    }
    (void)px;
  }
  return 0;
}
