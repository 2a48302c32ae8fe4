// Axis descriptors, positions and linked pairs: values, partners, and the events 1619/1623.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "axis/position.h"
#include "tests/support/event_recorder.h"

namespace {

using quarlen::test::EventRecorderTest;
using quarlen::test::RecordedEvent;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(AxeTest, DefaultsAndCreate) {
  CAxe axe;
  EXPECT_EQ(axe.GetStart(), 0.0);
  EXPECT_EQ(axe.GetRange(), 0.0);
  EXPECT_EQ(axe.LimitsEnabled(), 0);
  EXPECT_STREQ(axe.GetName(), L"");

  axe.Create(L"Scan", std_distance);
  EXPECT_EQ(axe.LimitsEnabled(), 0) << "name and units only";
  EXPECT_STREQ(axe.GetName(), L"Scan");
  EXPECT_EQ(axe.GetUnits(), std_distance);

  axe.Create(L"Scan", std_distance, -5.0, 20.0);
  EXPECT_EQ(axe.LimitsEnabled(), 1);
  EXPECT_EQ(axe.GetEnd(), 15.0);
  axe.SetEnd(30.0);
  EXPECT_EQ(axe.GetRange(), 35.0);

  CAxe copy(axe);
  EXPECT_STREQ(copy.GetName(), L"Scan");
  EXPECT_EQ(copy.GetStart(), -5.0);
  EXPECT_EQ(copy.GetRange(), 35.0);
  EXPECT_EQ(copy.LimitsEnabled(), 1);
}

TEST(AxeTest, EachSetterEnablesTheLimits) {
  for (int which = 0; which < 3; ++which) {
    CAxe axe;
    if (which == 0) axe.SetStart(1.0);
    if (which == 1) axe.SetRange(1.0);
    if (which == 2) axe.SetEnd(1.0);
    EXPECT_EQ(axe.LimitsEnabled(), 1) << which;
  }
}

TEST(AxeTest, LongNamesAreTruncatedTo31Characters) {
  CAxe axe;
  const std::wstring longName(40, L'x');
  axe.Create(longName.c_str(), std_none);
  EXPECT_EQ(std::wstring(axe.GetName()), std::wstring(31, L'x'));
  axe.Create(nullptr, std_none);
  EXPECT_STREQ(axe.GetName(), L"");
}

TEST(AxeTest, NonFiniteValuesAreIgnored) {
  CAxe axe;
  axe.Create(L"A", std_none, 1.0, 2.0);
  axe.SetStart(kNaN);
  axe.SetRange(kInf);
  axe.SetEnd(-kInf);
  EXPECT_EQ(axe.GetStart(), 1.0);
  EXPECT_EQ(axe.GetRange(), 2.0);
}

TEST(AxeTest, Equality) {
  struct Case {
    const wchar_t* nameA;
    std_enumUnits unitsA;
    const wchar_t* nameB;
    std_enumUnits unitsB;
    bool equal;
  };
  const Case cases[] = {
      {L"Scan", std_distance, L"Scan", std_distance, true},
      {L"Scan", std_distance, L"Scan", std_time, false},
      {L"Scan", std_distance, L"scan", std_distance, false},
      {L"", std_none, L"", std_none, false},
      {L"Scan", std_none, L"", std_none, false},
  };
  for (const Case& c : cases) {
    CAxe a, b;
    a.Create(c.nameA, c.unitsA, 0.0, 1.0);
    b.Create(c.nameB, c.unitsB, 5.0, 7.0);  // start and range are not compared
    EXPECT_EQ(a == b, c.equal) << "'" << (c.nameA ? "a" : "") << "' units " << c.unitsA;
  }
}

TEST(AxeTest, IsValueInAxeIncludesBothEnds) {
  CAxe axe;
  axe.Create(L"A", std_none, 10.0, 5.0);
  const std::pair<double, int> cases[] = {{9.999, 0}, {10.0, 1},   {12.0, 1},
                                          {15.0, 1},  {15.001, 0}, {kNaN, 0}};
  for (auto [x, in] : cases) EXPECT_EQ(axe.IsValueInAxe(x), in) << x;
}

class PositionTest : public EventRecorderTest {};

TEST_F(PositionTest, FirstValueValidatesAndAnnouncesEvenWhenEqual) {
  CPosition p;
  EXPECT_EQ(p.IsValid(), 0);
  p.SetValue(0.0, 1);
  EXPECT_EQ(p.IsValid(), 1);
  EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1619, p.GetID(), p.GetID()}}));

  p.SetValue(5.0, 1);
  p.SetValue(5.0, 1);  // unchanged: no event, but the previous value follows
  EXPECT_EQ(p.GetPreviousValue(), 5.0);
  EXPECT_EQ(Drain().size(), 1u);

  p.SetValue(7.0, 0);  // no notify
  EXPECT_EQ(p.GetValue(), 7.0);
  EXPECT_EQ(p.GetPreviousValue(), 5.0);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(PositionTest, CreateAnnouncesOnlyWithNotify) {
  CAxe axe;
  CPosition p;
  p.SetValue(3.0, 0);
  p.Create(L"Ref", &axe, 4.0, 0);
  EXPECT_TRUE(Drain().empty());
  EXPECT_STREQ(p.GetName(), L"Ref");
  EXPECT_EQ(p.GetAxe(), &axe);
  EXPECT_EQ(p.GetValue(), 4.0);
  EXPECT_EQ(p.GetPreviousValue(), 0.0) << "Create leaves the previous value alone";

  p.Create(nullptr, &axe, 6.0, 1);
  EXPECT_STREQ(p.GetName(), L"");
  EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1619, p.GetID(), p.GetID()}}));
}

TEST_F(PositionTest, LogPositionSends1623) {
  CPosition p;
  p.LogPosition();
  EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1623, p.GetID(), p.GetID()}}));
}

TEST_F(PositionTest, NonFiniteValuesAreIgnored) {
  CPosition p;
  p.SetValue(2.0, 1);
  Drain();
  for (double x : {kNaN, kInf, -kInf}) p.SetValue(x, 1);
  EXPECT_EQ(p.GetValue(), 2.0);
  EXPECT_TRUE(Drain().empty());
}

class PosLinkTest : public EventRecorderTest {
 protected:
  PosLinkTest() { m_axe.Create(L"Scan", std_distance, 0.0, 100.0); }
  CAxe m_axe;
};

TEST_F(PosLinkTest, PairMovesRigidlyAndPartnerStaysInsideTheAxis) {
  struct Case {
    double self, partner, x;
    double expectSelf, expectPartner;
  };
  const Case cases[] = {
      {10, 30, 20, 20, 40},    // inside
      {10, 30, 90, 80, 100},   // partner stops at the end
      {30, 10, -30, 20, 0},    // partner stops at the start
      {10, 30, 80, 80, 100},   // partner exactly at the end is inside
      {30, 10, 20, 20, 0},     // partner exactly at the start is inside
      {50, 60, 150, 90, 100},  // this position itself is not held inside
  };
  for (const Case& c : cases) {
    CPosLink self, partner;
    partner.Create(L"P", &m_axe, c.partner, nullptr, 0);
    self.Create(L"S", &m_axe, c.self, &partner, 0);
    self.SetValue(c.x, 1, 1);
    EXPECT_DOUBLE_EQ(self.GetValue(), c.expectSelf) << c.x;
    EXPECT_DOUBLE_EQ(partner.GetValue(), c.expectPartner) << c.x;
    // The partner is moved first.
    EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1619, partner.GetID(), partner.GetID()},
                                                   {1619, self.GetID(), self.GetID()}}));
  }
}

TEST_F(PosLinkTest, WithoutPropagateOnlyThisPositionMoves) {
  CPosLink self, partner;
  self.Create(L"S", &m_axe, 10, &partner, 0);
  partner.SetValue(30, 0, 0);
  self.SetValue(200, 0, 1);
  EXPECT_EQ(self.GetValue(), 200);
  EXPECT_EQ(partner.GetValue(), 30);
  EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(PosLinkTest, LogFlagsLogAfterEachMove) {
  CPosLink self, partner;
  self.Create(L"S", &m_axe, 10, &partner, 0);
  partner.SetValue(30, 0, 0);
  self.SetLog(1);
  partner.SetLog(1);
  self.SetValue(20, 1, 0);
  // The partner logs its own move, then this position logs.
  EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1623, partner.GetID(), partner.GetID()},
                                                 {1623, self.GetID(), self.GetID()}}));
}

TEST_F(PosLinkTest, CreateLinksBothWays) {
  CPosLink a, b;
  b.Create(L"B", &m_axe, 1, &a, 1);
  EXPECT_EQ(a.GetLink(), &b);
  EXPECT_EQ(b.GetLink(), &a);
  EXPECT_EQ(Drain(), (std::vector<RecordedEvent>{{1619, b.GetID(), b.GetID()}}));
}

TEST_F(PosLinkTest, DestroyingOneOfAPairLeavesTheOtherAlone) {
  CPosLink a;
  {
    CPosLink b;
    b.Create(L"B", &m_axe, 10, &a, 0);
    a.SetValue(30, 0, 0);
  }
  EXPECT_EQ(a.GetLink(), nullptr);
  a.SetValue(50, 1, 0);  // moves alone
  EXPECT_EQ(a.GetValue(), 50);
}

TEST_F(PosLinkTest, RelinkingUndoesTheFormerPairings) {
  auto a = std::make_unique<CPosLink>();
  auto b = std::make_unique<CPosLink>();
  auto c = std::make_unique<CPosLink>();
  a->Create(L"A", &m_axe, 1, b.get(), 0);  // a <-> b
  c->Create(L"C", &m_axe, 2, b.get(), 0);  // c <-> b: a must forget b
  EXPECT_EQ(a->GetLink(), nullptr);
  EXPECT_EQ(b->GetLink(), c.get());
  EXPECT_EQ(c->GetLink(), b.get());

  c->Create(L"C", &m_axe, 2, a.get(), 0);  // c <-> a: b must forget c
  EXPECT_EQ(b->GetLink(), nullptr);
  EXPECT_EQ(a->GetLink(), c.get());

  // Destroying in any order leaves nothing dangling (checked by the sanitizers).
  c.reset();
  EXPECT_EQ(a->GetLink(), nullptr);
  b->SetValue(40, 1, 1);
  a->SetValue(40, 1, 1);
  EXPECT_EQ(a->GetValue(), 40);
}

TEST_F(PosLinkTest, APositionIsNotItsOwnPartner) {
  CPosLink a;
  a.Create(L"A", &m_axe, 1, &a, 0);
  EXPECT_EQ(a.GetLink(), nullptr);
}

TEST_F(PosLinkTest, PairWithoutAxisMovesFreely) {
  CPosLink a, b;
  a.Create(L"A", nullptr, 10, &b, 0);
  b.SetValue(30, 0, 0);
  a.SetValue(-100, 1, 0);
  EXPECT_EQ(a.GetValue(), -100);
  EXPECT_EQ(b.GetValue(), -80);
}

}  // namespace
