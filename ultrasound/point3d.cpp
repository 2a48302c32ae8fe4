#include "ultrasound/point3d.h"

#include <cmath>

#include "platform/numeric.h"

bool Point3d::operator==(const Point3d& o) const {
  return IsNearlyEqual(x, o.x) && IsNearlyEqual(y, o.y) && IsNearlyEqual(z, o.z);
}

double Point3d::Length() const { return std::sqrt(x * x + y * y + z * z); }

void Point3d::Normalize() {
  const double len = Length();
  if (len > 0.0 && std::isfinite(len)) {
    x /= len;
    y /= len;
    z /= len;
  }
}

void Point3d::Rotate(const Point3d& center, unsigned axis, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const Point3d d = *this - center;
  Point3d r = d;
  switch (axis) {
    case 0:  // y towards z
      r.y = d.y * c - d.z * s;
      r.z = d.y * s + d.z * c;
      break;
    case 1:  // z towards x
      r.z = d.z * c - d.x * s;
      r.x = d.z * s + d.x * c;
      break;
    case 2:  // x towards y
      r.x = d.x * c - d.y * s;
      r.y = d.x * s + d.y * c;
      break;
    default:
      return;
  }
  *this = center + r;
}

void Point3d::SetSphericalCoordinates(double r, double theta, double phi) {
  const double st = std::sin(theta);
  x = r * st * std::cos(phi);
  y = r * st * std::sin(phi);
  z = r * std::cos(theta);
}
