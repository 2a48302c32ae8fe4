#include "graphics/points.h"

#include "platform/numeric.h"

stPoint& stPoint::operator=(const stPoint& o) {
  if (this != &o) {
    x = o.x;
    y = o.y;
  }
  return *this;
}

bool stPoint::operator==(const stPoint& o) const {
  return IsNearlyEqual(x, o.x) && IsNearlyEqual(y, o.y);
}

bool PointLessX(const stPoint& a, const stPoint& b) {
  return b.x > a.x && !IsNearlyEqual(a.x, b.x);
}

bool PointLessY(const stPoint& a, const stPoint& b) {
  return b.y > a.y && !IsNearlyEqual(a.y, b.y);
}
