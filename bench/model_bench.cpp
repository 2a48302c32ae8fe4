// Model benchmarks: scale conversions on a circular axis with a display offset, unit
// conversions of every type, and signalling a consumer list.
#include <benchmark/benchmark.h>

#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "notify/consumer_list.h"

namespace {

// A 0..360 rotation axis shown with a display offset of 90 over 1921 pixels.
CSC CircularScale() {
  CSC sc;
  sc.SetAttrib(1921, 0);
  sc.SetAttrib(0.0, 360.0, 0, 90.0);
  sc.SetDataLimits(0.0, 360.0);
  return sc;
}

void BM_CSC_PosToPixel_CircularOffset(benchmark::State& state) {
  const CSC sc = CircularScale();
  double pos = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sc.PosToPixel(pos));
    pos += 0.37;
    if (pos > 360.0) pos -= 360.0;
  }
}
BENCHMARK(BM_CSC_PosToPixel_CircularOffset);

void BM_CSC_PixelToPos_CircularOffset(benchmark::State& state) {
  const CSC sc = CircularScale();
  LONG pixel = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sc.PixelToPos(pixel));
    if (++pixel > 1920) pixel = 0;
  }
}
BENCHMARK(BM_CSC_PixelToPos_CircularOffset);

// Argument: the conversion type (-1 none, 0 linear, 1 TOFD, 2 dB-linear, 3 percent to dB,
// 4 logarithmic scale to percent).
void BM_CUnit_ConvertFromBase(benchmark::State& state) {
  CUnit base;
  const auto type = static_cast<unit_enumConversionType>(state.range(0));
  CUnit unit(unit_percent, unit_dataPercent, type, 2.0, 1.0, &base);
  if (type == unit_convTofd) unit.SetTOFDFactors(0.0, 1.0, 100.0, 0.5);
  double x = 1.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(unit.ConvertFromBase(x));
    x += 0.25;
    if (x > 100.0) x = 1.0;
  }
}
BENCHMARK(BM_CUnit_ConvertFromBase)->DenseRange(-1, 4)->ArgName("type");

void OnChange(void*, CObject* object, unsigned long) { benchmark::DoNotOptimize(object); }

struct Token : CObject {};

void BM_ConsumerList_SendMessage_10Immediate(benchmark::State& state) {
  CConsumerList list;
  Token tokens[10];
  for (Token& t : tokens) list.Register(&t, &OnChange, CConsumerList::priorityImmediate);
  for (auto _ : state) list.SendMessageW();
}
BENCHMARK(BM_ConsumerList_SendMessage_10Immediate);

}  // namespace
