#include <gtest/gtest.h>

#include <climits>

#include "platform/geometry.h"

// Readable failure messages for rectangles.
void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct TwoRectCase {
  const char* name;
  RECT a;
  RECT b;
  BOOL result;
  RECT expected;
};

TEST(RectFunctions, IntersectRect) {
  const TwoRectCase cases[] = {
      {"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, TRUE, {5, 5, 10, 10}},
      {"contained", {0, 0, 10, 10}, {2, 3, 4, 5}, TRUE, {2, 3, 4, 5}},
      {"identical", {1, 2, 3, 4}, {1, 2, 3, 4}, TRUE, {1, 2, 3, 4}},
      {"disjoint", {0, 0, 10, 10}, {20, 20, 30, 30}, FALSE, {0, 0, 0, 0}},
      {"touching edge", {0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}},
      {"touching corner", {0, 0, 10, 10}, {10, 10, 20, 20}, FALSE, {0, 0, 0, 0}},
      {"first empty", {5, 5, 5, 20}, {0, 0, 10, 10}, FALSE, {0, 0, 0, 0}},
      {"inverted", {10, 10, 0, 0}, {0, 0, 10, 10}, FALSE, {0, 0, 0, 0}},
      {"negative coords", {-10, -10, -2, -2}, {-5, -20, 5, -4}, TRUE, {-5, -10, -2, -4}},
  };
  for (const auto& c : cases) {
    RECT out{99, 99, 99, 99};
    EXPECT_EQ(IntersectRect(&out, &c.a, &c.b), c.result) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
    // The destination may be one of the sources.
    RECT inPlace = c.a;
    IntersectRect(&inPlace, &inPlace, &c.b);
    EXPECT_EQ(inPlace, c.expected) << c.name;
  }
}

TEST(RectFunctions, UnionRect) {
  const TwoRectCase cases[] = {
      {"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, TRUE, {0, 0, 20, 20}},
      {"disjoint", {0, 0, 1, 1}, {10, 10, 11, 12}, TRUE, {0, 0, 11, 12}},
      {"first empty ignored", {-50, -50, -50, 100}, {1, 2, 3, 4}, TRUE, {1, 2, 3, 4}},
      {"second empty ignored", {1, 2, 3, 4}, {100, 100, 0, 0}, TRUE, {1, 2, 3, 4}},
      {"both empty", {0, 0, 0, 0}, {5, 5, 1, 1}, FALSE, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    RECT out{99, 99, 99, 99};
    EXPECT_EQ(UnionRect(&out, &c.a, &c.b), c.result) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(RectFunctions, SubtractRect) {
  const TwoRectCase cases[] = {
      {"cut left strip", {0, 0, 10, 10}, {-5, -5, 3, 15}, TRUE, {3, 0, 10, 10}},
      {"cut right strip", {0, 0, 10, 10}, {7, 0, 10, 10}, TRUE, {0, 0, 7, 10}},
      {"cut top strip", {0, 0, 10, 10}, {0, 0, 10, 4}, TRUE, {0, 4, 10, 10}},
      {"cut bottom strip", {0, 0, 10, 10}, {-1, 6, 11, 20}, TRUE, {0, 0, 10, 6}},
      {"hole in the middle", {0, 0, 10, 10}, {2, 2, 5, 5}, TRUE, {0, 0, 10, 10}},
      {"partial side", {0, 0, 10, 10}, {0, 0, 5, 5}, TRUE, {0, 0, 10, 10}},
      {"no overlap", {0, 0, 10, 10}, {20, 20, 30, 30}, TRUE, {0, 0, 10, 10}},
      {"covered", {0, 0, 10, 10}, {-1, -1, 11, 11}, FALSE, {0, 0, 0, 0}},
      {"empty source", {0, 0, 0, 10}, {20, 20, 30, 30}, FALSE, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    RECT out{99, 99, 99, 99};
    EXPECT_EQ(SubtractRect(&out, &c.a, &c.b), c.result) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(RectFunctions, PtInRectIsHalfOpen) {
  const RECT r{0, 0, 10, 5};
  struct Case {
    POINT p;
    BOOL in;
  } cases[] = {{{0, 0}, TRUE},   {{9, 4}, TRUE},   {{10, 0}, FALSE}, {{0, 5}, FALSE},
               {{-1, 2}, FALSE}, {{5, -1}, FALSE}, {{10, 5}, FALSE}};
  for (const auto& c : cases) {
    EXPECT_EQ(PtInRect(&r, c.p), c.in) << c.p.x << "," << c.p.y;
  }
  const RECT inverted{10, 5, 0, 0};
  EXPECT_FALSE(PtInRect(&inverted, POINT{5, 2}));
}

TEST(RectFunctions, EmptinessAndNullPointers) {
  const RECT cases[] = {{0, 0, 0, 0}, {5, 0, 5, 10}, {0, 5, 10, 5}, {10, 0, 0, 10}, {0, 10, 10, 0}};
  for (const auto& r : cases) EXPECT_TRUE(IsRectEmpty(&r));
  const RECT full{-3, -3, -2, -2};
  EXPECT_FALSE(IsRectEmpty(&full));
  EXPECT_TRUE(IsRectEmpty(nullptr));

  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(IntersectRect(nullptr, &r, &r));
  EXPECT_FALSE(UnionRect(&r, nullptr, &r));
  EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
  EXPECT_FALSE(EqualRect(&r, nullptr));
  EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
  EXPECT_EQ(r, (RECT{1, 2, 3, 4}));
}

TEST(RectFunctions, EqualRectComparesCoordinates) {
  const RECT a{0, 0, 0, 0};
  const RECT b{5, 5, 5, 5};
  EXPECT_FALSE(EqualRect(&a, &b));  // both empty, still different
  EXPECT_TRUE(EqualRect(&b, &b));
}

TEST(RectFunctions, OffsetAndInflate) {
  RECT r{0, 0, 10, 10};
  OffsetRect(&r, 5, -5);
  EXPECT_EQ(r, (RECT{5, -5, 15, 5}));
  InflateRect(&r, 2, -3);
  EXPECT_EQ(r, (RECT{3, -2, 17, 2}));
  RECT big{INT_MAX - 1, 0, INT_MAX, 1};
  OffsetRect(&big, 10, 0);  // saturates instead of overflowing
  EXPECT_EQ(big.right, INT_MAX);
}

TEST(CRectTest, Members) {
  CRect r(10, 20, 50, 80);
  EXPECT_EQ(r.Width(), 40);
  EXPECT_EQ(r.Height(), 60);
  EXPECT_EQ(r.Size(), CSize(40, 60));
  EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
  EXPECT_EQ(r.BottomRight(), CPoint(50, 80));
  EXPECT_EQ(r.CenterPoint(), CPoint(30, 50));
  EXPECT_FALSE(r.IsRectEmpty());
  EXPECT_FALSE(r.IsRectNull());
  EXPECT_TRUE(CRect().IsRectNull());
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(50, 20)));

  CRect inv(50, 80, 10, 20);
  EXPECT_EQ(inv.Width(), -40);
  EXPECT_TRUE(inv.IsRectEmpty());
  inv.NormalizeRect();
  EXPECT_EQ(inv, r);

  CRect d = r;
  d.DeflateRect(1, 2, 3, 4);
  EXPECT_EQ(d, CRect(11, 22, 47, 76));
  d.InflateRect(1, 2, 3, 4);
  EXPECT_EQ(d, r);
  d.DeflateRect(5, 5);
  EXPECT_EQ(d, CRect(15, 25, 45, 75));
  d.OffsetRect(CPoint(-15, -25));
  EXPECT_EQ(d, CRect(0, 0, 30, 50));
  d.SetRectEmpty();
  EXPECT_TRUE(d.IsRectNull());
  d.SetRect(1, 2, 3, 4);
  EXPECT_EQ(d, CRect(1, 2, 3, 4));
  d.MoveToXY(10, 10);
  EXPECT_EQ(d, CRect(10, 10, 12, 12));
  EXPECT_EQ(CRect(CPoint(1, 1), CSize(2, 3)), CRect(1, 1, 3, 4));
  EXPECT_EQ(CRect(static_cast<const RECT*>(nullptr)), CRect());
}

TEST(CRectTest, Operators) {
  const CRect a(0, 0, 10, 10);
  const CRect b(5, 5, 20, 20);
  EXPECT_EQ(a & b, CRect(5, 5, 10, 10));
  EXPECT_EQ(a | b, CRect(0, 0, 20, 20));
  EXPECT_EQ(a & CRect(30, 30, 40, 40), CRect(0, 0, 0, 0));
  EXPECT_EQ(a + CPoint(1, 2), CRect(1, 2, 11, 12));
  EXPECT_EQ(a - CSize(1, 2), CRect(-1, -2, 9, 8));
  CRect c = a;
  c += CRect(1, 1, 1, 1);  // as LPCRECT: inflates
  EXPECT_EQ(c, CRect(-1, -1, 11, 11));
  c -= CRect(1, 1, 1, 1);
  EXPECT_EQ(c, a);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a == CRect(0, 0, 10, 10));

  // Converts to RECT* for the free functions.
  CRect out;
  EXPECT_TRUE(IntersectRect(out, a, b));
  EXPECT_EQ(out, CRect(5, 5, 10, 10));
}

TEST(CPointTest, Arithmetic) {
  CPoint p(3, 4);
  p += CSize(1, 1);
  EXPECT_EQ(p, CPoint(4, 5));
  EXPECT_EQ(p - CPoint(1, 2), CSize(3, 3));
  EXPECT_EQ(-p, CPoint(-4, -5));
  EXPECT_EQ(CPoint(INT_MIN, 0) - CPoint(1, 0), CSize(INT_MIN, 0));  // saturates
  EXPECT_EQ(-CPoint(INT_MIN, 0), CPoint(INT_MAX, 0));
  p.Offset(-4, -5);
  EXPECT_EQ(p, CPoint(0, 0));
}

}  // namespace
