#include <gtest/gtest.h>

#include <cmath>

#include "ultrasound/point3d.h"

namespace {

constexpr double kPi = 3.141592653589793;

void ExpectNear(const Point3d& a, const Point3d& b) {
  EXPECT_NEAR(a.x, b.x, 1e-12);
  EXPECT_NEAR(a.y, b.y, 1e-12);
  EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST(Point3d, Arithmetic) {
  const Point3d a(1, 2, 3), b(4, -5, 6);
  ExpectNear(a + b, {5, -3, 9});
  ExpectNear(a - b, {-3, 7, -3});
  ExpectNear(a * 2.0, {2, 4, 6});
  EXPECT_DOUBLE_EQ(a * b, 4 - 10 + 18);
  EXPECT_DOUBLE_EQ(Point3d(3, 4, 12).Length(), 13.0);
  EXPECT_TRUE(Point3d(1, 1, 1) == Point3d(1 + 1e-9, 1, 1));
  EXPECT_FALSE(Point3d(1, 1, 1) == Point3d(1 + 1e-7, 1, 1));
}

TEST(Point3d, NormalizeGivesUnitLengthAndLeavesZeroAlone) {
  Point3d p(0, 3, 4);
  p.Normalize();
  ExpectNear(p, {0, 0.6, 0.8});
  Point3d zero;
  zero.Normalize();
  ExpectNear(zero, {0, 0, 0});
}

struct RotateCase {
  unsigned axis;
  Point3d start;
  Point3d expected;  // after +90° about the axis through (1, 1, 1)
};

TEST(Point3d, RotateIsRightHandedAboutAParallelAxis) {
  const RotateCase cases[] = {
      {0, {1, 2, 1}, {1, 1, 2}},  // y towards z
      {1, {1, 1, 2}, {2, 1, 1}},  // z towards x
      {2, {2, 1, 1}, {1, 2, 1}},  // x towards y
      {3, {5, 6, 7}, {5, 6, 7}},  // no such axis: unchanged
  };
  for (const RotateCase& c : cases) {
    Point3d p = c.start;
    p.Rotate({1, 1, 1}, c.axis, kPi / 2);
    ExpectNear(p, c.expected);
  }
}

TEST(Point3d, SphericalZIsCosTheta) {
  for (double theta : {0.0, 0.3, 1.0, kPi / 2, 2.5}) {
    for (double phi : {0.0, 0.7, kPi}) {
      Point3d p;
      p.SetSphericalCoordinates(2.0, theta, phi);
      EXPECT_NEAR(p.z, 2.0 * std::cos(theta), 1e-12);
      EXPECT_NEAR(p.Length(), 2.0, 1e-12);
    }
  }
}

}  // namespace
