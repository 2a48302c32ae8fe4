#pragma once
// Points, sizes and rectangles with Win32 semantics: a rectangle covers [left, right) x
// [top, bottom) and is empty when right <= left or bottom <= top. Coordinate arithmetic
// saturates at the limits of LONG instead of overflowing.
#include <cstdint>
#include <utility>

#include "platform/types.h"

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

namespace quarlen::detail {
// a + b (or any 64-bit result) clamped to the range of LONG.
constexpr LONG ClampLong(std::int64_t v) {
  return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : static_cast<LONG>(v));
}
constexpr LONG AddLong(LONG a, std::int64_t b) { return ClampLong(std::int64_t{a} + b); }
}  // namespace quarlen::detail

constexpr bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
// Same as EqualRect: the four coordinates are compared.
constexpr bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The free rectangle functions. A null pointer argument makes them fail (FALSE) and write
// nothing.
QUARLEN_API BOOL SetRect(RECT* rc, int left, int top, int right, int bottom);
QUARLEN_API BOOL SetRectEmpty(RECT* rc);
QUARLEN_API BOOL CopyRect(RECT* dst, const RECT* src);
// TRUE when right <= left or bottom <= top (and for a null pointer).
QUARLEN_API BOOL IsRectEmpty(const RECT* rc);
// Half-open: TRUE for left <= x < right and top <= y < bottom.
QUARLEN_API BOOL PtInRect(const RECT* rc, POINT pt);
// Compares the four coordinates (two empty rectangles at different places differ).
QUARLEN_API BOOL EqualRect(const RECT* a, const RECT* b);
QUARLEN_API BOOL OffsetRect(RECT* rc, int dx, int dy);
// Moves left/top by -dx/-dy and right/bottom by +dx/+dy (negative values shrink).
QUARLEN_API BOOL InflateRect(RECT* rc, int dx, int dy);
// The overlap of a and b. When they do not overlap (or one is empty), dst becomes
// (0, 0, 0, 0) and the result is FALSE. dst may be a or b.
QUARLEN_API BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
// The smallest rectangle holding a and b; an empty rectangle does not count. Both empty:
// dst becomes (0, 0, 0, 0) and the result is FALSE. dst may be a or b.
QUARLEN_API BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
// a minus b, when that is a rectangle: b must cover a completely along one side, else dst is
// a unchanged. FALSE (and dst all zero) when the result is empty. dst may be a or b.
QUARLEN_API BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);

class CSize;

class CPoint : public POINT {
 public:
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(int x0, int y0) : POINT{x0, y0} {}
  constexpr CPoint(POINT p) : POINT(p) {}
  constexpr explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}

  void Offset(int dx, int dy) { OffsetBy(dx, dy); }
  void Offset(POINT p) { OffsetBy(p.x, p.y); }
  void Offset(SIZE s) { OffsetBy(s.cx, s.cy); }
  void SetPoint(int x0, int y0) {
    x = x0;
    y = y0;
  }

  CPoint& operator+=(SIZE s) { return OffsetBy(s.cx, s.cy), *this; }
  CPoint& operator-=(SIZE s) { return OffsetBy(-std::int64_t{s.cx}, -std::int64_t{s.cy}), *this; }
  CPoint& operator+=(POINT p) { return OffsetBy(p.x, p.y), *this; }
  CPoint& operator-=(POINT p) { return OffsetBy(-std::int64_t{p.x}, -std::int64_t{p.y}), *this; }
  CPoint operator+(SIZE s) const { return CPoint(*this) += s; }
  CPoint operator-(SIZE s) const { return CPoint(*this) -= s; }
  CPoint operator+(POINT p) const { return CPoint(*this) += p; }
  inline CSize operator-(POINT p) const;
  CPoint operator-() const {
    return CPoint(quarlen::detail::ClampLong(-std::int64_t{x}),
                  quarlen::detail::ClampLong(-std::int64_t{y}));
  }

 private:
  void OffsetBy(std::int64_t dx, std::int64_t dy) {
    x = quarlen::detail::AddLong(x, dx);
    y = quarlen::detail::AddLong(y, dy);
  }
};

class CSize : public SIZE {
 public:
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
  constexpr CSize(SIZE s) : SIZE(s) {}
  constexpr explicit CSize(POINT p) : SIZE{p.x, p.y} {}

  CSize& operator+=(SIZE s) {
    cx = quarlen::detail::AddLong(cx, s.cx);
    cy = quarlen::detail::AddLong(cy, s.cy);
    return *this;
  }
  CSize& operator-=(SIZE s) {
    cx = quarlen::detail::AddLong(cx, -std::int64_t{s.cx});
    cy = quarlen::detail::AddLong(cy, -std::int64_t{s.cy});
    return *this;
  }
  CSize operator+(SIZE s) const { return CSize(*this) += s; }
  CSize operator-(SIZE s) const { return CSize(*this) -= s; }
  CSize operator-() const { return CSize(0, 0) -= *this; }
};

inline CSize CPoint::operator-(POINT p) const {
  return CSize(quarlen::detail::ClampLong(std::int64_t{x} - p.x),
               quarlen::detail::ClampLong(std::int64_t{y} - p.y));
}

class CRect : public RECT {
 public:
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}
  // A null pointer gives the empty rectangle (0, 0, 0, 0).
  constexpr CRect(const RECT* r) : RECT(r ? *r : RECT{0, 0, 0, 0}) {}
  CRect(POINT topLeft, SIZE size)
      : RECT{topLeft.x, topLeft.y, quarlen::detail::AddLong(topLeft.x, size.cx),
             quarlen::detail::AddLong(topLeft.y, size.cy)} {}
  constexpr CRect(POINT topLeft, POINT bottomRight)
      : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  // Width and height are right - left and bottom - top (negative for an inverted rectangle).
  int Width() const { return quarlen::detail::ClampLong(std::int64_t{right} - left); }
  int Height() const { return quarlen::detail::ClampLong(std::int64_t{bottom} - top); }
  CSize Size() const { return CSize(Width(), Height()); }
  // The corners are returned by value (not as references into the rectangle).
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const {
    return CPoint(static_cast<LONG>((std::int64_t{left} + right) / 2),
                  static_cast<LONG>((std::int64_t{top} + bottom) / 2));
  }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  // TRUE when all four coordinates are 0.
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRect(POINT topLeft, POINT bottomRight) { *this = CRect(topLeft, bottomRight); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(const RECT* src) { ::CopyRect(this, src); }
  BOOL EqualRect(const RECT* r) const { return ::EqualRect(this, r); }

  void OffsetRect(int dx, int dy) { Move(dx, dy); }
  void OffsetRect(POINT p) { Move(p.x, p.y); }
  void OffsetRect(SIZE s) { Move(s.cx, s.cy); }
  void MoveToX(int x) { *this = CRect(CPoint(x, top), Size()); }
  void MoveToY(int y) { *this = CRect(CPoint(left, y), Size()); }
  void MoveToXY(int x, int y) { *this = CRect(CPoint(x, y), Size()); }
  void MoveToXY(POINT p) { MoveToXY(p.x, p.y); }

  // Moves each side outward (negative values move it inward).
  void InflateRect(int dx, int dy) { Grow(dx, dy, dx, dy); }
  void InflateRect(SIZE s) { Grow(s.cx, s.cy, s.cx, s.cy); }
  // Moves each side outward by the matching member of r (nothing for a null pointer).
  void InflateRect(const RECT* r) {
    if (r) Grow(r->left, r->top, r->right, r->bottom);
  }
  void InflateRect(int l, int t, int r, int b) { Grow(l, t, r, b); }
  // Moves each side inward.
  void DeflateRect(int dx, int dy) {
    Grow(-std::int64_t{dx}, -std::int64_t{dy}, -std::int64_t{dx}, -std::int64_t{dy});
  }
  void DeflateRect(SIZE s) { DeflateRect(s.cx, s.cy); }
  void DeflateRect(const RECT* r) {
    if (r) DeflateRect(r->left, r->top, r->right, r->bottom);
  }
  void DeflateRect(int l, int t, int r, int b) {
    Grow(-std::int64_t{l}, -std::int64_t{t}, -std::int64_t{r}, -std::int64_t{b});
  }
  // Swaps left/right and top/bottom where needed so that width and height are not negative.
  void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(const RECT* a, const RECT* b) { return ::SubtractRect(this, a, b); }

  operator RECT*() { return this; }
  operator const RECT*() const { return this; }

  CRect& operator=(const RECT& r) {
    RECT::operator=(r);
    return *this;
  }
  CRect& operator+=(POINT p) { return OffsetRect(p), *this; }
  CRect& operator+=(SIZE s) { return OffsetRect(s), *this; }
  CRect& operator+=(const RECT* r) { return InflateRect(r), *this; }
  CRect& operator-=(POINT p) { return Move(-std::int64_t{p.x}, -std::int64_t{p.y}), *this; }
  CRect& operator-=(SIZE s) { return Move(-std::int64_t{s.cx}, -std::int64_t{s.cy}), *this; }
  CRect& operator-=(const RECT* r) { return DeflateRect(r), *this; }
  CRect& operator&=(const RECT& r) { return IntersectRect(this, &r), *this; }
  CRect& operator|=(const RECT& r) { return UnionRect(this, &r), *this; }
  CRect operator+(POINT p) const { return CRect(*this) += p; }
  CRect operator+(SIZE s) const { return CRect(*this) += s; }
  CRect operator-(POINT p) const { return CRect(*this) -= p; }
  CRect operator-(SIZE s) const { return CRect(*this) -= s; }
  CRect operator&(const RECT& r) const { return CRect(*this) &= r; }
  CRect operator|(const RECT& r) const { return CRect(*this) |= r; }

 private:
  void Move(std::int64_t dx, std::int64_t dy) { Grow(-dx, -dy, dx, dy); }
  void Grow(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    left = quarlen::detail::AddLong(left, -l);
    top = quarlen::detail::AddLong(top, -t);
    right = quarlen::detail::AddLong(right, r);
    bottom = quarlen::detail::AddLong(bottom, b);
  }
};
