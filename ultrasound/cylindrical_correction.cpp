#include "ultrasound/cylindrical_correction.h"

#include <algorithm>
#include <cmath>

#include "platform/numeric.h"

namespace quarlen::detail {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
// Marks a missing coordinate: the largest single-precision value.
constexpr double kMissing = 3.4028234663852886e38;
// Distance of an event that does not happen.
constexpr double kNoHit = 1.7976931348623157e308;
// Distances up to this are the point the ray starts from, not a hit ahead of it.
constexpr double kMinHitDistance = 1e-7;
// Above this many candidates in one pass the inverse search gives up (it would not finish in
// reasonable time, e.g. for a wall far thinner than the circumference).
constexpr double kMaxInverseCandidates = 1e8;

// Distance along the unit direction d from p to the circle of radius r in the y-z plane: the
// smaller of the two intersections that lies more than kMinHitDistance ahead, or kNoHit.
double CircleHit(double r, const Point3d& p, const Point3d& d) {
  double t1, t2;
  if (d.y != 0.0) {
    const double m = d.z / d.y;
    const double g = p.z - p.y * m;
    const double h = 2.0 * g * m;
    const double a = m * m + 1.0;
    const double disc2 = h * h - 4.0 * a * (g * g - r * r);
    if (!(disc2 >= 0.0)) return kNoHit;  // also NaN
    const double disc = std::sqrt(disc2);
    t1 = ((-h - disc) / (2.0 * a) - p.y) / d.y;
    t2 = ((disc - h) / (2.0 * a) - p.y) / d.y;
  } else if (d.z == 0.0) {
    return kNoHit;
  } else {
    const double q = r * r - p.y * p.y;
    if (!(q >= 0.0)) return kNoHit;
    const double z = std::sqrt(q);
    t1 = (-z - p.z) / d.z;
    t2 = (z - p.z) / d.z;
  }
  double best = kNoHit;
  if (t1 > kMinHitDistance) best = t1;
  if (t2 > kMinHitDistance && t2 < best) best = t2;
  return best;
}

// The nearer wall ahead of p along b, or kNoHit.
double WallHit(double rIn, double rOut, const Point3d& p, const Point3d& b) {
  return std::min(CircleHit(rIn, p, b), CircleHit(rOut, p, b));
}

// Direction b reflected at the wall point p (normal in the y-z plane).
Point3d Reflect(const Point3d& p, const Point3d& b) {
  Point3d n(0.0, p.y, p.z);
  n.Normalize();
  return b - n * (2.0 * (b * n));
}

// Unit beam direction at arc position s on the surface of radius r (pointing into the wall).
Point3d BeamDirection(double r, double theta, double phi, double s, bool od) {
  Point3d p(0.0, r, 0.0);
  Point3d q(0.0, od ? r - 1.0 : r + 1.0, 0.0);
  q.Rotate(p, 0, -theta);
  q.Rotate(p, 1, phi);
  const Point3d origin;
  q.Rotate(origin, 0, s / r);
  p.Rotate(origin, 0, s / r);
  return q - p;
}

Point3d OnCircle(double x, double r, double s) {
  return Point3d(x, r * std::cos(s / r), r * std::sin(s / r));
}

// Follows the ray from p along b for the path length l, reflecting at both walls.
Point3d Trace(Point3d p, Point3d b, double l, double rIn, double rOut) {
  double t = WallHit(rIn, rOut, p, b);
  for (unsigned reflections = 0; t != kNoHit && l > t; ++reflections) {
    p = p + b * t;
    l -= t;
    if (reflections == kMaxCylinderReflections) return p;
    b = Reflect(p, b);
    t = WallHit(rIn, rOut, p, b);
  }
  return p + b * l;
}

bool IsMissing(double v) { return v == kMissing || v == -kMissing; }

Point3d Correction3d(bool od, double radius, double thickness, double theta, double phi,
                     double scan, double index, double depth, int scanIsEntry) {
  if (IsMissing(scan) || IsMissing(index) || IsMissing(depth)) return Point3d();
  const double r = od ? radius : radius - thickness;
  Point3d t(0.0, od ? r - depth : r + depth, 0.0);
  t.Rotate(Point3d(0.0, r, 0.0), 1, phi);
  const double l = depth / std::cos(theta);
  Point3d s = t;
  if (!scanIsEntry) {
    // Back along the beam to the tangent plane y = r.
    const Point3d b0 = BeamDirection(r, theta, phi, 0.0, od);
    s = t - b0 * ((t.y - r) / b0.y);
  }
  const double arc = od ? s.z + scan : s.z - scan;
  const Point3d b = BeamDirection(r, theta, phi, arc, od);
  return Trace(OnCircle(s.x + index, r, arc), b, l, radius - thickness, radius);
}

// Next event of the polyline trace from p along b: a wall hit (the direction is then reflected)
// or the crossing of a plane x = xMin or x = xMax (the direction stays). On a tie the wall wins.
double NextEvent(const Point3d& p, const Point3d& b, double rIn, double rOut, double xMin,
                 double xMax, Point3d& next) {
  const double wall = WallHit(rIn, rOut, p, b);
  double t = wall;
  for (double plane : {xMin, xMax}) {
    if (std::fabs(p.x - plane) >= kMinHitDistance && std::fabs(b.x) >= kMinHitDistance) {
      const double k = (plane - p.x) / b.x;
      if (k > 0.0) t = std::min(t, (b * k).Length());
    }
  }
  next = (t == wall && wall != kNoHit) ? Reflect(p + b * t, b) : b;
  return t;
}

void Polyline(bool od, double radius, double thickness, double theta, double phi, double scan,
              double index, double path, double xMin, double xMax, unsigned count,
              std::vector<Point3d>& points, std::vector<unsigned>& indices) {
  const double r = od ? radius : radius - thickness;
  const double rIn = radius - thickness;
  const double arc = od ? scan : -scan;  // the entry point (0, r, 0) has z = 0
  Point3d b = BeamDirection(r, theta, phi, arc, od);
  const Point3d entry = OnCircle(index, r, arc);
  auto inRange = [&](const Point3d& p) { return IsAtLeast(p.x, xMin) && IsAtLeast(xMax, p.x); };
  // Index of the sample at `traveled`; never beyond the last one, count - 1.
  const unsigned last = count == 0 ? 0u : count - 1u;
  auto sampleIndex = [&](double traveled) {
    return std::min(last, SaturatingTrunc<unsigned>(std::floor(traveled / path * count)));
  };

  if (inRange(entry)) {
    points.push_back(entry);
    indices.push_back(0);
  }
  Point3d next;
  double t = NextEvent(entry, b, rIn, radius, xMin, xMax, next);
  double traveled = t;
  Point3d p = entry + b * t;
  // When the first event already lies beyond the path, the end point is interpolated from
  // the entry point.
  Point3d previous = entry;
  double previousTraveled = 0.0;
  // Reflections plus the two plane crossings (the x direction never changes).
  unsigned events = 0;
  while (IsAtLeast(path, traveled)) {
    if (++events > kMaxCylinderReflections + 2) return;  // cut: no end point
    if (inRange(p)) {
      points.push_back(p);
      indices.push_back(sampleIndex(traveled));
    }
    b = next;
    t = NextEvent(p, b, rIn, radius, xMin, xMax, next);
    previous = p;
    previousTraveled = traveled;
    traveled += t;
    p = p + b * t;
  }
  const double f = (path - previousTraveled) / (traveled - previousTraveled);
  const Point3d end = previous + (p - previous) * f;
  if (inRange(end)) {
    points.push_back(end);
    indices.push_back(last);
  }
}

// Angle of p in the y-z plane, in (-π, π]; 0 on the axis.
double ArcAngle(const Point3d& p) {
  if (p.y == 0.0) return p.z > 0.0 ? kHalfPi : p.z < 0.0 ? -kHalfPi : 0.0;
  double a = std::atan(p.z / p.y);
  if (p.y < 0.0) a += kPi;
  if (a > kPi) a -= kTwoPi;
  return a;
}

// s + t, or +infinity when the step no longer moves s (ends a sweep whatever its bound).
double Advance(double s, double t) {
  const double n = s + t;
  return n > s ? n : kNoHit * 2.0;
}

}  // namespace
}  // namespace quarlen::detail

using namespace quarlen::detail;

void BasicCylindricalCorrectionOD(double a, double b, double& outScan, double& outDepth,
                                  double& sign, double c, double d) {
  const double e = sign;
  const double r = d * 0.5;
  const double tanC = 1.0 / std::tan(kHalfPi - c * kDegToRad);
  const double h = a - e * b * tanC;
  outScan = h + e * r * (kHalfPi - std::atan((r - b) / std::fabs(a - h)));
  outDepth = r - std::sqrt((a - h) * (a - h) + (r - b) * (r - b));
}

void BasicCylindricalCorrectionID(double a, double b, double& outScan, double& outDepth,
                                  double& sign, double c, double d) {
  const double e = sign;
  const double r = d * 0.5;
  const double f = std::tan(c * kDegToRad) * e * b;
  const double h = a - f;
  outScan = h - r * std::atan(-f / (r + b));
  outDepth = std::sqrt((r + b) * (r + b) + f * f) - r;
}

int Inverse_Cylindrical_Correction(double x, double y, double& outAngle, double& outDepth,
                                   double theta, double phi, double dIn, double dOut, int inner) {
  const double r = inner ? dIn / 2.0 : dOut / 2.0;
  const double w = (dOut - dIn) / 2.0;
  const double c = kTwoPi * r;
  double t = std::min(0.02 * w, 0.02 * c);
  double e = phi > 1.5725416560468908 ? -1.0 : 1.0;
  const double angleDeg = theta * kRadToDeg;
  const double k = inner ? 2.0 : 1.1;

  double sLo = 0.0, sHi = c, qLo = 0.0, qHi = w;
  double u = dOut;
  double bestS = -1.0, bestQ = -1.0;
  bool found = false;
  while (t > 1e-9 && u >= 1e-7) {
    // Written so that a NaN count (an infinite wall over an infinite step) also stops.
    if (!((sHi - sLo) / t * ((qHi - qLo) / t) <= kMaxInverseCandidates)) return 0;
    for (double s = sLo; s < sHi; s = Advance(s, t)) {
      for (double q = qLo; q < qHi; q = Advance(q, t)) {
        double os, od;
        if (inner) {
          BasicCylindricalCorrectionID(s, q, os, od, e, angleDeg, dIn);
        } else {
          BasicCylindricalCorrectionOD(s, q, os, od, e, angleDeg, dOut);
        }
        const double err = (os - x) * (os - x) + (od - y) * (od - y);
        if (err < u) {
          u = err;
          bestS = s;
          bestQ = q;
          found = true;
        }
      }
    }
    sLo = bestS - k * t;
    sHi = bestS + k * t;
    qLo = bestQ - k * t;
    qHi = bestQ + k * t;
    t *= 0.1;
  }
  // Only a candidate that was actually evaluated counts (a tiny outer diameter would
  // otherwise pass the threshold without any).
  if (!found || !(u < 1e-7)) return 0;
  outAngle = (bestS - std::tan(angleDeg * kDegToRad) * bestQ * e) / r;
  outDepth = bestQ;
  return 1;
}

Point3d CalculateCylindricalCorrectionOD(double radius, double thickness, double refracted,
                                         double skew, double scan, double index, double depth,
                                         int scanIsEntry) {
  return Correction3d(true, radius, thickness, refracted, skew, scan, index, depth, scanIsEntry);
}

Point3d CalculateCylindricalCorrectionID(double radius, double thickness, double refracted,
                                         double skew, double scan, double index, double depth,
                                         int scanIsEntry) {
  return Correction3d(false, radius, thickness, refracted, skew, scan, index, depth, scanIsEntry);
}

void CalculateCylindricalCorrectionPointsID(const double& radius, const double& thickness,
                                            const double& refracted, const double& skew,
                                            const double& scan, const double& index,
                                            const double& path, const double& xMin,
                                            const double& xMax, unsigned count,
                                            std::vector<Point3d>& points,
                                            std::vector<unsigned>& indices) {
  Polyline(false, radius, thickness, refracted, skew, scan, index, path, xMin, xMax, count, points,
           indices);
}

void CalculateCylindricalCorrectionPointsOD(const double& radius, const double& thickness,
                                            const double& refracted, const double& skew,
                                            const double& scan, const double& index,
                                            const double& path, const double& xMin,
                                            const double& xMax, unsigned count,
                                            std::vector<Point3d>& points,
                                            std::vector<unsigned>& indices) {
  Polyline(true, radius, thickness, refracted, skew, scan, index, path, xMin, xMax, count, points,
           indices);
}

void Point3dToSDI_OD(Point3d p, double& scan, double& index, double& depth, double radius) {
  index = p.x;
  scan = ArcAngle(p) * radius;
  if (scan < 0.0) scan += kTwoPi * radius;
  depth = radius - std::sqrt(p.y * p.y + p.z * p.z);
}

void Point3dToSDI_ID(Point3d p, double& scan, double& index, double& depth, double radius) {
  index = p.x;
  scan = -(ArcAngle(p) * radius);
  if (scan < 0.0) scan += kTwoPi * radius;
  depth = std::sqrt(p.y * p.y + p.z * p.z) - radius;
}
