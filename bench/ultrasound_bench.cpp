// Throughput of the cylindrical corrections and of the time-axis factor against the in-memory
// parameter component.
#include <benchmark/benchmark.h>

#include <vector>

#include "ultrasound/conversion.h"
#include "ultrasound/cylindrical_correction.h"
#include "ultrasound/parameters/memory.h"

namespace {

constexpr double kDeg = 0.017453292519943295;

// A 45° beam on a 100 mm pipe with a 10 mm wall, to a depth of 15 mm: one reflection at the
// inner wall. Budget: at least 2 million points per second on one core.
void BM_CylindricalCorrectionOD_OneReflection(benchmark::State& state) {
  double scan = 0.0;
  for (auto _ : state) {
    const Point3d p =
        CalculateCylindricalCorrectionOD(100.0, 10.0, 45 * kDeg, 5 * kDeg, scan, 1.0, 15.0, 0);
    benchmark::DoNotOptimize(p);
    scan += 0.01;
    if (scan > 300.0) scan = 0.0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CylindricalCorrectionOD_OneReflection);

// The polyline of a 45° beam over an 85 mm path: entry, five reflections, end point.
// Budget: 2 us per beam.
void BM_CylindricalCorrectionPointsOD_FiveReflections(benchmark::State& state) {
  std::vector<Point3d> points;
  std::vector<unsigned> indices;
  points.reserve(16);
  indices.reserve(16);
  const double radius = 100.0, thickness = 10.0, theta = 45 * kDeg, phi = 0.0, scan = 12.0,
               index = 0.0, path = 85.0, xMin = -1.0, xMax = 1.0;
  for (auto _ : state) {
    points.clear();
    indices.clear();
    CalculateCylindricalCorrectionPointsOD(radius, thickness, theta, phi, scan, index, path, xMin,
                                           xMax, 1024, points, indices);
    benchmark::DoNotOptimize(points.data());
  }
  if (points.size() != 7) state.SkipWithError("expected 7 points");
}
BENCHMARK(BM_CylindricalCorrectionPointsOD_FiveReflections);

// The time-axis factor and offset of a focal law whose velocity comes from the specimen,
// against the in-memory component. Budget: 2 us per call.
void BM_GetTimeConvertFactor_MemoryComponent(benchmark::State& state) {
  quarlen::parameters::SChannel d;
  d.unitType = UltrasoundTypes::eUltrasoundUnitTrueDepth;
  d.transmit = {2.0, {10.0, 0.0}};
  d.beam = {5900.0, 10.0, 0.0, 0};
  d.laws.push_back({{35.0, 0.0}, {0.0, 12.0, 0.5, 0}});
  auto channel = quarlen::parameters::BuildChannel(d);
  CCalculatorData data;
  data.SetSpecimen(quarlen::parameters::BuildSpecimen({5920.0, 3250.0, 2900.0}));
  const UltrasoundParameters::IChannelPtr ch(channel);
  double factor = 0.0, offset = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetTimeConvertFactor(&data, ch, 0, &factor, &offset, true, 0));
    benchmark::DoNotOptimize(offset);
  }
}
BENCHMARK(BM_GetTimeConvertFactor_MemoryComponent);

}  // namespace
