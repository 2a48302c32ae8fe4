// Cylindrical correction traces: any geometry and point gives finite results or the documented
// failure (the (0, 0, 0) of a missing coordinate, the 0 of an inverse search that finds
// nothing), traces end, and a polyline's indices stay below the sample count. For a sound
// geometry (a wall thinner than the radius, angles short of grazing, coordinates of a part)
// every result is finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "ultrasound/cylindrical_correction.h"

namespace {

double Value(FuzzedDataProvider& in, double low, double high) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return std::numeric_limits<double>::quiet_NaN();
    case 1:
      return in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
    case 2:
      return in.ConsumeBool() ? FLT_MAX : -FLT_MAX;
    case 3:
      return in.ConsumeFloatingPoint<double>();
    case 4:
      return 0.0;
    default:
      return in.ConsumeFloatingPointInRange(low, high);
  }
}

bool Finite(const Point3d& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const double radius = Value(in, 1.0, 1000.0);
  const double thickness = Value(in, 0.1, 200.0);
  const double refracted = Value(in, -1.5, 1.5);
  const double skew = Value(in, -3.2, 3.2);
  const double scan = Value(in, -2000.0, 2000.0);
  const double index = Value(in, -500.0, 500.0);
  const double depth = Value(in, -10.0, 2000.0);
  const int scanIsEntry = in.ConsumeBool() ? 1 : 0;
  const bool sound = radius >= 1.0 && radius <= 1000.0 && thickness >= 0.1 &&
                     thickness < 0.9 * radius && std::fabs(refracted) <= 1.4 &&
                     std::fabs(skew) <= 3.2 && std::fabs(scan) <= 2000.0 &&
                     std::fabs(index) <= 500.0 && depth >= -10.0 && depth <= 2000.0;

  for (const bool od : {true, false}) {
    const Point3d p = od ? CalculateCylindricalCorrectionOD(radius, thickness, refracted, skew,
                                                            scan, index, depth, scanIsEntry)
                         : CalculateCylindricalCorrectionID(radius, thickness, refracted, skew,
                                                            scan, index, depth, scanIsEntry);
    if (sound && !Finite(p)) std::abort();
    double s = 0.0, x = 0.0, d = 0.0;
    const double surface = od ? radius : radius - thickness;
    (od ? Point3dToSDI_OD : Point3dToSDI_ID)(p, s, x, d, surface);
    if (sound && !(std::isfinite(s) && std::isfinite(x) && std::isfinite(d))) std::abort();

    std::vector<Point3d> points;
    std::vector<unsigned> indices;
    const unsigned count = in.ConsumeIntegralInRange<unsigned>(0, 4096);
    const double xMin = Value(in, -1000.0, 0.0), xMax = Value(in, 0.0, 1000.0);
    (od ? CalculateCylindricalCorrectionPointsOD : CalculateCylindricalCorrectionPointsID)(
        radius, thickness, refracted, skew, scan, index, depth, xMin, xMax, count, points, indices);
    if (points.size() != indices.size() || points.size() > kMaxCylinderReflections + 8) {
      std::abort();
    }
    for (std::size_t i = 0; i < indices.size(); ++i) {
      if (count == 0 ? indices[i] != 0 : indices[i] >= count) std::abort();
      if (sound && !Finite(points[i])) std::abort();
    }

    double bs = 0.0, bd = 0.0, sign = in.ConsumeBool() ? 1.0 : -1.0;
    const double angleDeg = refracted * 57.29577951308232;
    (od ? BasicCylindricalCorrectionOD : BasicCylindricalCorrectionID)(scan, depth, bs, bd, sign,
                                                                       angleDeg, 2.0 * radius);
    if (sound && !(std::isfinite(bs) && std::isfinite(bd))) std::abort();
  }

  // The inverse search, on geometries whose first pass stays small (it walks the whole wall).
  const double dOut = 2.0 * radius, dIn = 2.0 * (radius - thickness);
  const double ratio = std::fabs(radius / thickness);
  if (in.ConsumeBool() && (!std::isfinite(ratio) || (ratio >= 0.2 && ratio <= 2.0))) {
    double angle = -7.0, outDepth = -7.0;
    const int found = Inverse_Cylindrical_Correction(scan, depth, angle, outDepth, refracted, skew,
                                                     dIn, dOut, in.ConsumeBool() ? 1 : 0);
    if (found != 0 && found != 1) std::abort();
    if (found == 1 && !(std::isfinite(angle) && std::isfinite(outDepth))) std::abort();
    if (found == 0 && (angle != -7.0 || outDepth != -7.0)) std::abort();
  }
  return 0;
}
