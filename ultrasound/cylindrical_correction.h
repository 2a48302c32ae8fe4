#pragma once
// Mapping of positions measured as if the part were flat (scan along the surface, index,
// depth or sound path) onto a cylinder inspected from its outer (OD) or inner (ID) surface,
// and back.
//
// Geometry: the cylinder axis is the x axis, the cross-section the y-z plane; the point at arc
// length s on the circle of radius R is (0, R cos(s/R), R sin(s/R)) and the beam enters at
// (0, R, 0) for s = 0. Lengths are in one unit of the caller's choice.
//
// The ray traces reflect the beam at both walls. They always end: a trace makes at most
// kMaxCylinderReflections reflections (a beam that would need more ends at the wall where the
// next one would happen), and a ray that meets no wall goes its remaining path in one straight
// step.
#include <vector>

#include "platform/export.h"
#include "ultrasound/point3d.h"

inline constexpr unsigned kMaxCylinderReflections = 1000;

// Closed-form 2D correction from the outer surface: (scan, depth) of a flat view to
// (outScan, outDepth) on a pipe of the given outer diameter. sign is ±1 (read only), angleDeg
// the refracted angle in degrees.
QUARLEN_API void BasicCylindricalCorrectionOD(double scan, double depth, double& outScan,
                                              double& outDepth, double& sign, double angleDeg,
                                              double diameter);
// The same from the inner surface; diameter is the inner diameter.
QUARLEN_API void BasicCylindricalCorrectionID(double scan, double depth, double& outScan,
                                              double& outDepth, double& sign, double angleDeg,
                                              double diameter);

// Searches the flat (scan, depth) whose 2D correction is (scan, depth) given here, on a grid
// that is refined tenfold per pass. Returns 1 and writes the angular position of the beam entry
// (radians) and the depth when a candidate comes closer than 1e-7 (squared distance); else 0
// with both outputs untouched. Angles in radians. Non-finite or empty geometry finds nothing,
// and so does one whose first pass would need more than 1e8 candidates (a wall far thinner
// than the circumference), which could not be searched in reasonable time.
QUARLEN_API int Inverse_Cylindrical_Correction(double scan, double depth, double& outAngle,
                                               double& outDepth, double refractedRad,
                                               double skewRad, double innerDiameter,
                                               double outerDiameter, int inner);

// 3D ray trace of the beam through the wall: the point reached by the beam after the sound
// path that corresponds to `depth` (depth / cos refracted). radius is the outer radius,
// thickness the wall, angles in radians. scanIsEntry non-zero: scan is the arc position of
// the entry point; 0: scan is the flat position of the reflector. A coordinate at ±FLT_MAX
// (a missing value) gives (0, 0, 0).
QUARLEN_API Point3d CalculateCylindricalCorrectionOD(double radius, double thickness,
                                                     double refracted, double skew, double scan,
                                                     double index, double depth, int scanIsEntry);
QUARLEN_API Point3d CalculateCylindricalCorrectionID(double radius, double thickness,
                                                     double refracted, double skew, double scan,
                                                     double index, double depth, int scanIsEntry);

// The polyline of the beam over the sound path `path`: appends to `points` the entry point,
// every wall reflection and crossing of the planes x = xMin and x = xMax, and the end point,
// each when its x lies within [xMin, xMax]; `indices` gets the matching sample index
// floor(traveled / path × count), at most count - 1 (0 for the entry point, count - 1 for the
// end point; with count 0 every index is 0). Both vectors are appended to, not cleared.
QUARLEN_API void CalculateCylindricalCorrectionPointsID(
    const double& radius, const double& thickness, const double& refracted, const double& skew,
    const double& scan, const double& index, const double& path, const double& xMin,
    const double& xMax, unsigned count, std::vector<Point3d>& points,
    std::vector<unsigned>& indices);
QUARLEN_API void CalculateCylindricalCorrectionPointsOD(
    const double& radius, const double& thickness, const double& refracted, const double& skew,
    const double& scan, const double& index, const double& path, const double& xMin,
    const double& xMax, unsigned count, std::vector<Point3d>& points,
    std::vector<unsigned>& indices);

// Scan (arc length on the circle of `radius`, in [0, 2πR)), index (x) and depth below the
// surface of a point. A point on the cylinder axis has scan 0.
QUARLEN_API void Point3dToSDI_ID(Point3d p, double& scan, double& index, double& depth,
                                 double radius);
QUARLEN_API void Point3dToSDI_OD(Point3d p, double& scan, double& index, double& depth,
                                 double radius);
