#pragma once
// Plain point and line records of the graphic framework.
//
// stPoint holds two doubles and compares them with the library's nearly-equal rule;
// stPointInt holds two 32-bit integers and compares exactly. CLine keeps three integers for
// the application; the library gives them no meaning.
#include "platform/export.h"
#include "platform/types.h"

struct QUARLEN_API stPoint {
  double x = 0.0;
  double y = 0.0;

  stPoint() = default;
  stPoint(double px, double py) : x(px), y(py) {}
  stPoint(const stPoint& o) = default;
  stPoint& operator=(const stPoint& o);

  // True when both coordinates are nearly equal (difference below 5e-08, or both +infinity).
  bool operator==(const stPoint& o) const;
  bool operator!=(const stPoint& o) const { return !(*this == o); }
};

// Orderings for sorting and searching: a before b when b's coordinate is larger and the two
// are not nearly equal.
QUARLEN_API bool PointLessX(const stPoint& a, const stPoint& b);
QUARLEN_API bool PointLessY(const stPoint& a, const stPoint& b);

struct QUARLEN_API stPointInt {
  LONG x = 0;
  LONG y = 0;

  stPointInt() = default;
  stPointInt(LONG px, LONG py) : x(px), y(py) {}
  stPointInt(const stPointInt& o) = default;
  stPointInt& operator=(const stPointInt& o) = default;

  bool operator==(const stPointInt& o) const { return x == o.x && y == o.y; }
  bool operator!=(const stPointInt& o) const { return !(*this == o); }
};

class QUARLEN_API CLine {
 public:
  CLine(LONG a, LONG b, LONG c) : m_a(a), m_b(b), m_c(c) {}
  CLine(const CLine& o) = default;
  CLine& operator=(const CLine& o) = default;

  LONG GetA() const { return m_a; }
  LONG GetB() const { return m_b; }
  LONG GetC() const { return m_c; }

 private:
  LONG m_a;
  LONG m_b;
  LONG m_c;
};
