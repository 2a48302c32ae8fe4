// Cylindrical corrections: closed-form 2D, 3D ray trace, beam polyline, inverse search and
// conversion of points back to scan/index/depth.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ultrasound/cylindrical_correction.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;
constexpr double kMissing = 3.4028234663852886e38;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kR = 100.0;  // outer radius
constexpr double kW = 10.0;   // wall

void ExpectNear(const Point3d& a, const Point3d& b, double tol = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

double Radius(const Point3d& p) { return std::sqrt(p.y * p.y + p.z * p.z); }

TEST(CylindricalCorrection3d, MissingValuesGiveTheOrigin) {
  const double m[] = {kMissing, -kMissing};
  for (double v : m) {
    for (int which = 0; which < 3; ++which) {
      const double scan = which == 0 ? v : 5.0, index = which == 1 ? v : 1.0,
                   depth = which == 2 ? v : 3.0;
      ExpectNear(CalculateCylindricalCorrectionOD(kR, kW, 0.3, 0.1, scan, index, depth, 0), {});
      ExpectNear(CalculateCylindricalCorrectionID(kR, kW, 0.3, 0.1, scan, index, depth, 1), {});
    }
  }
}

TEST(CylindricalCorrection3d, NormalBeamGoesStraightDown) {
  ExpectNear(CalculateCylindricalCorrectionOD(kR, kW, 0, 0, 0, 0, 4, 0), {0, kR - 4, 0});
  ExpectNear(CalculateCylindricalCorrectionID(kR, kW, 0, 0, 0, 0, 4, 0), {0, kR - kW + 4, 0});
}

TEST(CylindricalCorrection3d, PathLongerThanTheWallComesBackFromTheFarWall) {
  ExpectNear(CalculateCylindricalCorrectionOD(kR, kW, 0, 0, 0, 0, 1.5 * kW, 0),
             {0, kR - 0.5 * kW, 0});
  ExpectNear(CalculateCylindricalCorrectionID(kR, kW, 0, 0, 0, 0, 1.5 * kW, 0),
             {0, kR - 0.5 * kW, 0});
  // Two and a half walls: back at the middle after two reflections.
  ExpectNear(CalculateCylindricalCorrectionOD(kR, kW, 0, 0, 0, 0, 2.5 * kW, 0),
             {0, kR - 0.5 * kW, 0});
}

TEST(CylindricalCorrection3d, RoundTripForNormalBeams) {
  for (double scan : {0.0, 10.0, 150.0, 320.0, 560.0}) {  // within the inner circumference
    for (double index : {0.0, -5.0, 7.5}) {
      for (double depth : {0.0, 3.0, 9.5}) {
        for (int entry : {0, 1}) {
          double s, i, d;
          Point3dToSDI_OD(CalculateCylindricalCorrectionOD(kR, kW, 0, 0, scan, index, depth, entry),
                          s, i, d, kR);
          EXPECT_NEAR(s, scan, 1e-9);
          EXPECT_NEAR(i, index, 1e-12);
          EXPECT_NEAR(d, depth, 1e-9);
          Point3dToSDI_ID(CalculateCylindricalCorrectionID(kR, kW, 0, 0, scan, index, depth, entry),
                          s, i, d, kR - kW);
          EXPECT_NEAR(s, scan, 1e-9);
          EXPECT_NEAR(i, index, 1e-12);
          EXPECT_NEAR(d, depth, 1e-9);
        }
      }
    }
  }
}

TEST(CylindricalCorrection3d, LargePipeApproachesFlatGeometry) {
  const double r = 1e6;
  for (double theta : {20.0, 45.0, 60.0}) {
    double s, i, d;
    Point3dToSDI_OD(CalculateCylindricalCorrectionOD(r, 50, theta * kDeg, 0, 30, 2, 8, 0), s, i, d,
                    r);
    EXPECT_NEAR(s, 30, 1e-3) << theta;
    EXPECT_NEAR(i, 2, 1e-9);
    EXPECT_NEAR(d, 8, 1e-3);
    // From the entry point, the reflector lies d tan(theta) further along the scan.
    Point3dToSDI_OD(CalculateCylindricalCorrectionOD(r, 50, theta * kDeg, 0, 30, 2, 8, 1), s, i, d,
                    r);
    EXPECT_NEAR(s, 30 + 8 * std::tan(theta * kDeg), 1e-3) << theta;
  }
}

TEST(CylindricalCorrection3d, MirrorSymmetry) {
  for (double theta : {10.0, 30.0, 60.0}) {
    for (double depth : {3.0, 15.0, 40.0}) {  // the longer ones reflect
      for (bool od : {true, false}) {
        auto f = od ? &CalculateCylindricalCorrectionOD : &CalculateCylindricalCorrectionID;
        // Negating angle and scan mirrors the point in z.
        const Point3d a = f(kR, kW, theta * kDeg, 0, 12, 3, depth, 0);
        const Point3d b = f(kR, kW, -theta * kDeg, 0, -12, 3, depth, 0);
        ExpectNear(a, {b.x, b.y, -b.z}, 1e-9);
        // Negating skew and index mirrors it in x.
        const Point3d c = f(kR, kW, theta * kDeg, 20 * kDeg, 12, 3, depth, 1);
        const Point3d e = f(kR, kW, theta * kDeg, -20 * kDeg, 12, -3, depth, 1);
        ExpectNear(c, {-e.x, e.y, e.z}, 1e-9);
        // Every result stays within the wall.
        EXPECT_GE(Radius(a), kR - kW - 1e-9);
        EXPECT_LE(Radius(a), kR + 1e-9);
      }
    }
  }
}

TEST(CylindricalCorrection3d, OdAndIdAgreeOnTheDepthOfNormalBeams) {
  // From either surface, a normal beam ends at the same distance from that surface.
  for (double depth : {1.0, 4.0, 9.0}) {
    const Point3d od = CalculateCylindricalCorrectionOD(kR, kW, 0, 0, 25, 0, depth, 0);
    const Point3d id = CalculateCylindricalCorrectionID(kR, kW, 0, 0, 25, 0, depth, 0);
    EXPECT_NEAR(kR - Radius(od), depth, 1e-9);
    EXPECT_NEAR(Radius(id) - (kR - kW), depth, 1e-9);
    EXPECT_NEAR(kR - Radius(od), kW - (kR - Radius(id)), 1e-9 + std::fabs(kW - 2 * depth));
  }
}

struct Degenerate {
  const char* what;
  double radius, thickness, theta, phi, depth;
  int entry;
};

const Degenerate kDegenerate[] = {
    {"grazing 90", kR, kW, 90 * kDeg, 0, 5, 1},
    {"grazing 90, reflector", kR, kW, 90 * kDeg, 0, 5, 0},
    {"nearly grazing", kR, kW, 89.99999 * kDeg, 0, 5, 1},
    {"outwards: no wall", kR, kW, 120 * kDeg, 0, 5, 1},
    {"backwards", kR, kW, 180 * kDeg, 0, 5, 1},
    {"nan refracted", kR, kW, kNaN, 0, 5, 0},
    {"nan skew", kR, kW, 0.2, kNaN, 5, 0},
    {"zero wall", kR, 0, 0.3, 0, 5, 1},
    {"zero wall, reflector", kR, 0, 0.3, 0, 5, 0},
    {"negative wall", kR, -3, 0.3, 0, 5, 1},
    {"solid bar", kR, kR, 0.3, 0.2, 500, 1},
    {"zero radius", 0, 0, 0.3, 0, 5, 1},
    {"path 1e9", kR, kW, 0, 0, 1e9, 1},
    {"path 1e9 angled", kR, kW, 0.7, 0.3, 1e9, 1},
    {"path infinite", kR, kW, 0.5, 0, kInf, 1},
    {"path nan", kR, kW, 0.5, 0, kNaN, 1},
    {"huge radius", 1e300, 1e299, 0.5, 0, 1e300, 1},
};

TEST(CylindricalCorrection3d, DegenerateInputsTerminate) {
  for (const Degenerate& c : kDegenerate) {
    SCOPED_TRACE(c.what);
    (void)CalculateCylindricalCorrectionOD(c.radius, c.thickness, c.theta, c.phi, 1, 0, c.depth,
                                           c.entry);
    (void)CalculateCylindricalCorrectionID(c.radius, c.thickness, c.theta, c.phi, 1, 0, c.depth,
                                           c.entry);
  }
}

TEST(CylindricalCorrection3d, EndlessPathsStopOnAWall) {
  const Point3d p = CalculateCylindricalCorrectionOD(kR, kW, 0, 0, 0, 0, 1e9, 1);
  // After the last allowed reflection (at the outer wall) the beam stops at the inner wall.
  ExpectNear(p, {0, kR - kW, 0}, 1e-6);
  const Point3d q = CalculateCylindricalCorrectionOD(kR, kW, 0.7, 0.3, 0, 0, 1e9, 1);
  EXPECT_TRUE(std::isfinite(q.x));
  const double r = Radius(q);
  EXPECT_TRUE(std::fabs(r - kR) < 1e-6 || std::fabs(r - (kR - kW)) < 1e-6) << r;
}

TEST(CylindricalCorrection3d, RayMeetingNoWallGoesStraight) {
  // Pointing out of the part from the outer surface: no wall ahead.
  const Point3d p = CalculateCylindricalCorrectionOD(kR, kW, kPi, 0, 0, 0, -5, 1);
  ExpectNear(p, {0, kR + 5, 0}, 1e-9);
}

// --- Polyline ---

struct Polyline {
  std::vector<Point3d> points;
  std::vector<unsigned> indices;
};

Polyline Trace(bool od, double theta, double phi, double scan, double index, double path,
               double xMin, double xMax, unsigned count) {
  Polyline p;
  (od ? &CalculateCylindricalCorrectionPointsOD : &CalculateCylindricalCorrectionPointsID)(
      kR, kW, theta, phi, scan, index, path, xMin, xMax, count, p.points, p.indices);
  return p;
}

TEST(CylindricalPolyline, FiveReflections) {
  for (bool od : {true, false}) {
    SCOPED_TRACE(od ? "OD" : "ID");
    // Legs of about 15 mm (OD) and 13.5 mm (ID).
    const double path = od ? 85 : 75;
    const Polyline p = Trace(od, 45 * kDeg, 0, 0, 0, path, -1, 1, 200);
    ASSERT_EQ(p.points.size(), 7u);  // entry, 5 reflections, end
    ASSERT_EQ(p.indices.size(), 7u);
    EXPECT_EQ(p.indices.front(), 0u);
    EXPECT_EQ(p.indices.back(), 199u);
    double length = 0;
    for (std::size_t i = 1; i < p.points.size(); ++i) {
      EXPECT_LE(p.indices[i - 1], p.indices[i]);
      length += (p.points[i] - p.points[i - 1]).Length();
      const double r = Radius(p.points[i]);
      EXPECT_GE(r, kR - kW - 1e-9);
      EXPECT_LE(r, kR + 1e-9);
    }
    EXPECT_NEAR(length, path, 1e-9);
    // The entry point lies on the probe's surface.
    EXPECT_NEAR(Radius(p.points[0]), od ? kR : kR - kW, 1e-12);
  }
}

TEST(CylindricalPolyline, PathShorterThanTheFirstLeg) {
  const Polyline p = Trace(true, 30 * kDeg, 0, 0, 0, 4, -1, 1, 50);
  ASSERT_EQ(p.points.size(), 2u);
  EXPECT_EQ(p.indices[0], 0u);
  EXPECT_EQ(p.indices[1], 49u);
  EXPECT_NEAR((p.points[1] - p.points[0]).Length(), 4, 1e-12);
}

TEST(CylindricalPolyline, StartOutsideTheRangeIsNotRecorded) {
  const Polyline p = Trace(true, 45 * kDeg, 0, 0, 5, 85, -1, 1, 100);
  EXPECT_TRUE(p.points.empty());
}

TEST(CylindricalPolyline, PlaneCrossingEndsTheRecordedPart) {
  // Skew 90°: the beam runs along +x at sin(45°) per unit path; x = 3 is crossed after 4.24.
  const Polyline p = Trace(true, 45 * kDeg, 90 * kDeg, 0, 0, 40, -100, 3, 1000);
  ASSERT_EQ(p.points.size(), 2u);
  EXPECT_NEAR(p.points[1].x, 3, 1e-9);
  EXPECT_EQ(p.indices[1], static_cast<unsigned>(3 / std::sin(45 * kDeg) / 40 * 1000));
}

TEST(CylindricalPolyline, DegenerateInputsTerminate) {
  for (const Degenerate& c : kDegenerate) {
    SCOPED_TRACE(c.what);
    for (bool od : {true, false}) {
      std::vector<Point3d> points;
      std::vector<unsigned> indices;
      (od ? &CalculateCylindricalCorrectionPointsOD : &CalculateCylindricalCorrectionPointsID)(
          c.radius, c.thickness, c.theta, c.phi, 1.0, 0.0, c.depth, -kInf, kInf, 100, points,
          indices);
      EXPECT_EQ(points.size(), indices.size());
      EXPECT_LE(points.size(), kMaxCylinderReflections + 4);
      for (unsigned i : indices) EXPECT_LE(i, 99u);
    }
  }
  std::vector<Point3d> points;
  std::vector<unsigned> indices;
  // No samples at all: every index is 0 rather than a wrapped count - 1.
  CalculateCylindricalCorrectionPointsOD(kR, kW, 0.5, 0, 0, 0, 50, -1, 1, 0, points, indices);
  EXPECT_FALSE(indices.empty());
  for (unsigned i : indices) EXPECT_EQ(i, 0u);
}

// --- 2D correction and inverse search ---

TEST(BasicCylindricalCorrection, NormalBeamKeepsScanAndDepth) {
  const struct { double scan, depth; } cases[] = {{0, 0}, {10, 5}, {-20, 50}, {300, 99}};
  for (const auto& c : cases) {
    double outScan = 0, outDepth = 0, sign = 1;
    BasicCylindricalCorrectionOD(c.scan, c.depth, outScan, outDepth, sign, 0, 2 * kR);
    EXPECT_NEAR(outScan, c.scan, 1e-9);
    EXPECT_NEAR(outDepth, c.depth, 1e-9);
    BasicCylindricalCorrectionID(c.scan, c.depth, outScan, outDepth, sign, 0, 2 * kR);
    EXPECT_NEAR(outScan, c.scan, 1e-9);
    EXPECT_NEAR(outDepth, c.depth, 1e-9);
    EXPECT_EQ(sign, 1);
  }
}

TEST(BasicCylindricalCorrection, SignMirrorsTheEntry) {
  double s1, d1, s2, d2, plus = 1, minus = -1;
  BasicCylindricalCorrectionOD(40, 6, s1, d1, plus, 35, 2 * kR);
  BasicCylindricalCorrectionOD(-40, 6, s2, d2, minus, 35, 2 * kR);
  EXPECT_NEAR(s1, -s2, 1e-9);
  EXPECT_NEAR(d1, d2, 1e-9);
}

TEST(InverseCylindricalCorrection, FindsAKnownPoint) {
  const struct {
    int inner;
    double theta, scan, depth;
  } cases[] = {
      {0, 30 * kDeg, 50, 5}, {0, 0, 120, 2}, {1, 30 * kDeg, 50, 5}, {1, 45 * kDeg, 200, 7}};
  const double dIn = 2 * (kR - kW), dOut = 2 * kR;
  for (const auto& c : cases) {
    double x, y, sign = 1;
    if (c.inner) {
      BasicCylindricalCorrectionID(c.scan, c.depth, x, y, sign, c.theta / kDeg, dIn);
    } else {
      BasicCylindricalCorrectionOD(c.scan, c.depth, x, y, sign, c.theta / kDeg, dOut);
    }
    double angle = -7, depth = -7;
    ASSERT_EQ(Inverse_Cylindrical_Correction(x, y, angle, depth, c.theta, 0, dIn, dOut, c.inner),
              1);
    const double r = c.inner ? dIn / 2 : dOut / 2;
    EXPECT_NEAR(depth, c.depth, 1e-3);
    EXPECT_NEAR(angle, (c.scan - std::tan(c.theta) * c.depth) / r, 1e-5);
  }
}

TEST(InverseCylindricalCorrection, NotFoundLeavesOutputsUntouched) {
  const struct {
    double x, y, dIn, dOut;
  } cases[] = {
      {1e6, 5, 180, 200},       // far outside the part
      {5, 5, 0, 0},             // no part at all (a zero diameter is not a match)
      {5, 5, 200, 180},         // negative wall
      {kNaN, 5, 180, 200},      // nothing is close to NaN
      {5, 5, kInf, kInf},       // no finite grid
      {5, 5, 1e7, 1e7 + 1e-3},  // grid far too fine to search
  };
  for (const auto& c : cases) {
    double angle = -7, depth = -7;
    EXPECT_EQ(Inverse_Cylindrical_Correction(c.x, c.y, angle, depth, 0.3, 0, c.dIn, c.dOut, 0), 0);
    EXPECT_EQ(angle, -7);
    EXPECT_EQ(depth, -7);
  }
}

// --- Points back to scan/index/depth ---

TEST(PointToScanIndexDepth, OuterSurface) {
  const struct {
    Point3d p;
    double scan, depth;
  } cases[] = {
      {{3, 0, kR}, kR * kPi / 2, 0}, {{3, -kR, 0}, kPi * kR, 0}, {{3, 0, -kR}, 1.5 * kPi * kR, 0},
      {{3, kR - 4, 0}, 0, 4},        {{3, 0, 0}, 0, kR},  // on the axis: scan 0, no NaN
  };
  for (const auto& c : cases) {
    double s, i, d;
    Point3dToSDI_OD(c.p, s, i, d, kR);
    EXPECT_NEAR(s, c.scan, 1e-9);
    EXPECT_EQ(i, 3);
    EXPECT_NEAR(d, c.depth, 1e-9);
  }
}

TEST(PointToScanIndexDepth, InnerSurface) {
  const double r = kR - kW;
  const struct {
    Point3d p;
    double scan, depth;
  } cases[] = {
      {{1, 0, -r}, r * kPi / 2, 0},
      {{1, -r - 2, 0}, kPi * r, 2},
      {{1, 0, 0}, 0, -r},
  };
  for (const auto& c : cases) {
    double s, i, d;
    Point3dToSDI_ID(c.p, s, i, d, r);
    EXPECT_NEAR(s, c.scan, 1e-9);
    EXPECT_NEAR(d, c.depth, 1e-9);
  }
}

}  // namespace
