// CPoint, CSize, CRect and the RECT helpers, with saturating arithmetic.
#include "platform/geometry.h"

#include <algorithm>

using quarlen::detail::AddLong;

namespace quarlen::detail {
namespace {
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
}  // namespace
}  // namespace quarlen::detail

using quarlen::detail::Empty;

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom) {
  if (!rc) return FALSE;
  *rc = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* rc) { return SetRect(rc, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* rc) { return !rc || Empty(*rc); }

BOOL PtInRect(const RECT* rc, POINT pt) {
  return rc && pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b; }

BOOL OffsetRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  *rc = RECT{AddLong(rc->left, dx), AddLong(rc->top, dy), AddLong(rc->right, dx),
             AddLong(rc->bottom, dy)};
  return TRUE;
}

BOOL InflateRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  *rc = RECT{AddLong(rc->left, -std::int64_t{dx}), AddLong(rc->top, -std::int64_t{dy}),
             AddLong(rc->right, dx), AddLong(rc->bottom, dy)};
  return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
               std::min(a->bottom, b->bottom)};
  if (Empty(*a) || Empty(*b) || Empty(r)) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const bool aEmpty = Empty(*a);
  const bool bEmpty = Empty(*b);
  if (aEmpty && bEmpty) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (aEmpty) {
    *dst = *b;
  } else if (bEmpty) {
    *dst = *a;
  } else {
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r = *a;
  RECT overlap;
  if (Empty(r)) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (IntersectRect(&overlap, a, b)) {
    if (overlap == r) {
      *dst = RECT{0, 0, 0, 0};
      return FALSE;
    }
    // Only a cut across the full width or height leaves a rectangle.
    if (overlap.top == r.top && overlap.bottom == r.bottom) {
      if (overlap.left == r.left) {
        r.left = overlap.right;
      } else if (overlap.right == r.right) {
        r.right = overlap.left;
      }
    } else if (overlap.left == r.left && overlap.right == r.right) {
      if (overlap.top == r.top) {
        r.top = overlap.bottom;
      } else if (overlap.bottom == r.bottom) {
        r.bottom = overlap.top;
      }
    }
  }
  *dst = r;
  return TRUE;
}
