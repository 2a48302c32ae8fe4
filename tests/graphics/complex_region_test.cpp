// Update regions: union rules, the merge of a fifth rectangle, enumeration; point records.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "graphics/complex_region.h"
#include "graphics/points.h"

namespace {

std::vector<CRect> Rects(CComplexRegion& rgn) {
  std::vector<CRect> out;
  for (CRect* r = rgn.GetFirstRectangle(); r != nullptr; r = rgn.GetNextRectangle()) {
    out.push_back(*r);
  }
  return out;
}

CComplexRegion Build(const std::vector<CRect>& adds) {
  CComplexRegion rgn;
  for (const CRect& r : adds) rgn += r;
  return rgn;
}

struct AddCase {
  const char* name;
  std::vector<CRect> adds;
  std::vector<CRect> expected;
};

class ComplexRegionAdd : public ::testing::TestWithParam<AddCase> {};

TEST_P(ComplexRegionAdd, GivesExpectedRectangles) {
  CComplexRegion rgn = Build(GetParam().adds);
  EXPECT_EQ(rgn.RectQuantity(), static_cast<int>(GetParam().expected.size()));
  EXPECT_EQ(Rects(rgn), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComplexRegionAdd,
    ::testing::Values(
        AddCase{"ZeroWidthIgnored", {{10, 10, 10, 50}}, {}},
        AddCase{"ZeroHeightIgnored", {{0, 0, 5, 5}, {10, 10, 50, 10}}, {{0, 0, 5, 5}}},
        AddCase{"OverlapGivesBoundingBox", {{0, 0, 10, 10}, {5, 5, 20, 30}}, {{0, 0, 20, 30}}},
        AddCase{"SharedEdgeStaysSeparate",
                {{0, 0, 10, 10}, {10, 0, 20, 10}},
                {{0, 0, 10, 10}, {10, 0, 20, 10}}},
        // The grown rectangle goes last; untouched ones keep their order.
        AddCase{"AbsorbsSeveralAndAppends",
                {{0, 0, 10, 10}, {100, 0, 110, 10}, {200, 0, 210, 10}, {5, 5, 105, 8}},
                {{200, 0, 210, 10}, {0, 0, 110, 10}}},
        // Single pass: the first rectangle does not overlap the addition as given and is not
        // looked at again after the addition grew over it (the two then overlap).
        AddCase{"SinglePassDoesNotRevisit",
                {{0, 20, 10, 30}, {20, 0, 30, 30}, {5, 5, 25, 10}},
                {{0, 20, 10, 30}, {5, 0, 30, 30}}},
        // Fifth far rectangle: the smallest stored one (index 1, 1x1) merges with its nearest
        // stored partner (index 0), and the new rectangle takes the partner's place.
        AddCase{"FifthMergesSmallestWithStoredPartner",
                {{0, 0, 10, 10}, {11, 0, 12, 1}, {100, 100, 110, 110}, {200, 200, 210, 210},
                 {500, 500, 510, 510}},
                {{500, 500, 510, 510}, {0, 0, 12, 10}, {100, 100, 110, 110},
                 {200, 200, 210, 210}}},
        // Fifth rectangle nearest to the smallest one: absorbed into it.
        AddCase{"FifthAbsorbedIntoSmallest",
                {{0, 0, 10, 10}, {300, 300, 301, 301}, {100, 100, 110, 110},
                 {200, 200, 210, 210}, {302, 300, 303, 301}},
                {{0, 0, 10, 10}, {300, 300, 303, 301}, {100, 100, 110, 110},
                 {200, 200, 210, 210}}},
        // Equal bounding areas: the new rectangle wins (the comparison is strict).
        AddCase{"TieGoesToNewRectangle",
                {{0, 0, 1, 1}, {100, 0, 110, 10}, {2, 0, 3, 1}, {200, 0, 210, 10},
                 {0, 2, 1, 3}},
                {{0, 0, 1, 3}, {100, 0, 110, 10}, {2, 0, 3, 1}, {200, 0, 210, 10}}},
        // Equal smallest areas: the lower index is the one that grows.
        AddCase{"SmallestTieLowerIndex",
                {{0, 0, 2, 2}, {50, 0, 52, 2}, {100, 0, 102, 2}, {150, 0, 152, 2},
                 {4, 0, 6, 2}},
                {{0, 0, 6, 2}, {50, 0, 52, 2}, {100, 0, 102, 2}, {150, 0, 152, 2}}}),
    [](const auto& info) { return info.param.name; });

TEST(ComplexRegion, NeverHoldsMoreThanFourAndCoversEverythingAdded) {
  CComplexRegion rgn;
  std::vector<CRect> added;
  for (int i = 0; i < 40; ++i) {
    const CRect r((i * 37) % 500, (i * 53) % 400, (i * 37) % 500 + 3 + i % 7,
                  (i * 53) % 400 + 2 + i % 5);
    rgn += r;
    added.push_back(r);
    ASSERT_LE(rgn.RectQuantity(), 4);
    for (const CRect& old : added) {
      for (int y = old.top; y < old.bottom; ++y) {
        for (int x = old.left; x < old.right; ++x) {
          const CRect px(x, y, x + 1, y + 1);
          ASSERT_EQ(rgn.Intersect(&px), 1) << "pixel " << x << "," << y << " lost";
        }
      }
    }
  }
}

TEST(ComplexRegion, ExtremeCoordinatesDoNotOverflowTheAreaComparison) {
  constexpr LONG kMin = std::numeric_limits<LONG>::min();
  constexpr LONG kMax = std::numeric_limits<LONG>::max();
  CComplexRegion rgn = Build({{kMin, kMin, kMin + 10, kMin + 10},
                              {0, 0, 1, 1},
                              {kMax - 10, kMax - 10, kMax, kMax},
                              {kMin, kMax - 10, kMin + 10, kMax},
                              {3, 0, 4, 1}});
  EXPECT_EQ(rgn.RectQuantity(), 4);
  EXPECT_EQ(Rects(rgn)[1], CRect(0, 0, 4, 1));
}

TEST(ComplexRegion, ConstructorsCopyAndEnumeration) {
  const CComplexRegion empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.BoundingRectangle(), CRect(0, 0, 0, 0));

  CComplexRegion one(CRect(5, 5, 5, 9));  // stored unchanged although empty
  EXPECT_EQ(one.RectQuantity(), 1);
  EXPECT_EQ(*one.GetFirstRectangle(), CRect(5, 5, 5, 9));

  CComplexRegion rgn = Build({{0, 0, 10, 10}, {20, 0, 30, 10}, {40, 0, 50, 10}});
  // A fresh cursor is -1, so GetNextRectangle starts with the first rectangle.
  EXPECT_EQ(*rgn.GetNextRectangle(), CRect(0, 0, 10, 10));
  EXPECT_EQ(*rgn.GetNextRectangle(), CRect(20, 0, 30, 10));

  CComplexRegion assigned;
  assigned = rgn;  // copies the cursor too
  EXPECT_EQ(*assigned.GetNextRectangle(), CRect(40, 0, 50, 10));
  CComplexRegion copied(rgn);  // the copy starts afresh
  EXPECT_EQ(*copied.GetNextRectangle(), CRect(0, 0, 10, 10));

  EXPECT_EQ(*rgn.GetNextRectangle(), CRect(40, 0, 50, 10));
  EXPECT_EQ(rgn.GetNextRectangle(), nullptr);
  EXPECT_EQ(*rgn.GetNextRectangle(), CRect(0, 0, 10, 10));  // cursor was back at -1

  EXPECT_EQ(rgn.BoundingRectangle(), CRect(0, 0, 50, 10));
  const CRect hit(45, 5, 46, 6), edge(10, 0, 20, 10), miss(0, 10, 50, 20);
  EXPECT_EQ(rgn.Intersect(&hit), 1);
  EXPECT_EQ(rgn.Intersect(&edge), 0);
  EXPECT_EQ(rgn.Intersect(&miss), 0);
  EXPECT_EQ(rgn.Intersect(nullptr), 0);

  rgn.Empty();
  EXPECT_TRUE(rgn.IsEmpty());
  EXPECT_EQ(rgn.GetFirstRectangle(), nullptr);
}

TEST(ComplexRegion, AddRegionAddsInOrderAndToleratesSelf) {
  CComplexRegion a = Build({{0, 0, 10, 10}});
  const CComplexRegion b = Build({{100, 0, 110, 10}, {5, 5, 20, 20}});
  a += b;
  EXPECT_EQ(Rects(a), (std::vector<CRect>{{100, 0, 110, 10}, {0, 0, 20, 20}}));
  a += a;
  EXPECT_EQ(Rects(a), (std::vector<CRect>{{100, 0, 110, 10}, {0, 0, 20, 20}}));
}

struct PointCase {
  stPoint a, b;
  bool equal;
};

class StPointEquality : public ::testing::TestWithParam<PointCase> {};

TEST_P(StPointEquality, UsesNearlyEqualRule) {
  EXPECT_EQ(GetParam().a == GetParam().b, GetParam().equal);
  EXPECT_EQ(GetParam().a != GetParam().b, !GetParam().equal);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Table, StPointEquality,
                         ::testing::Values(PointCase{{1.0, 2.0}, {1.00000001, 2.0}, true},
                                           PointCase{{1.0, 2.0}, {1.0000001, 2.0}, false},
                                           PointCase{{1.0, 2.0}, {1.0, 2.0000001}, false},
                                           PointCase{{kInf, 0.0}, {kInf, 0.0}, true},
                                           PointCase{{-kInf, 0.0}, {-kInf, 0.0}, false},
                                           PointCase{{kNaN, 0.0}, {kNaN, 0.0}, false}));

TEST(StPoint, OrderingsIgnoreNearlyEqualValues) {
  EXPECT_TRUE(PointLessX({1.0, 9.0}, {2.0, 0.0}));
  EXPECT_FALSE(PointLessX({2.0, 0.0}, {1.0, 9.0}));
  EXPECT_FALSE(PointLessX({1.0, 0.0}, {1.00000001, 0.0}));
  EXPECT_TRUE(PointLessY({9.0, 1.0}, {0.0, 2.0}));
  EXPECT_FALSE(PointLessY({0.0, 1.0}, {0.0, 1.00000001}));

  stPoint p(3.0, 4.0);
  p = p;  // self-assignment keeps the point
  EXPECT_EQ(p.x, 3.0);
  EXPECT_EQ(stPoint().x, 0.0);
}

TEST(StPointInt, ComparesExactly) {
  EXPECT_EQ(stPointInt(1, 2), stPointInt(1, 2));
  EXPECT_NE(stPointInt(1, 2), stPointInt(1, 3));
  EXPECT_EQ(stPointInt(), stPointInt(0, 0));
  const CLine line(1, 2, 3);
  CLine other(0, 0, 0);
  other = line;
  EXPECT_EQ(other.GetA(), 1);
  EXPECT_EQ(other.GetB(), 2);
  EXPECT_EQ(other.GetC(), 3);
}

}  // namespace
