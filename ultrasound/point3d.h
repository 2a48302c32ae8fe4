#pragma once
// A point (or vector) of three doubles with the arithmetic the ultrasound calculations use.
#include "platform/export.h"

class QUARLEN_API Point3d {
 public:
  Point3d() = default;
  Point3d(double x, double y, double z) : x(x), y(y), z(z) {}

  Point3d operator+(const Point3d& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Point3d operator-(const Point3d& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Point3d operator*(double k) const { return {x * k, y * k, z * k}; }
  // Dot product.
  double operator*(const Point3d& o) const { return x * o.x + y * o.y + z * o.z; }
  // Component-wise nearly equal (difference below 5e-08).
  bool operator==(const Point3d& o) const;

  // Euclidean length.
  double Length() const;
  // Scales the point to length 1. A zero-length point (or one whose length is not finite)
  // stays as it is, so no NaN appears out of a zero vector.
  void Normalize();
  // Rotates the point by `angle` radians, right-handed, about the line through `center`
  // parallel to the coordinate axis `axis` (0 = x, 1 = y, 2 = z). Another axis number leaves
  // the point unchanged.
  void Rotate(const Point3d& center, unsigned axis, double angle);
  // Sets the point from a radius, a polar angle theta measured from the z axis and an
  // azimuth phi measured in the x-y plane from the x axis (radians):
  // (r sin theta cos phi, r sin theta sin phi, r cos theta). z is therefore r cos theta.
  void SetSphericalCoordinates(double r, double theta, double phi);

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};
