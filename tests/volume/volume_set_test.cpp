// The volume set: sharing by group id with reference counts, private ids, limits that pull
// rulers and cursors back inside, the cursor-set and ruler-set layouts, the naming functions,
// and the unit-set rows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "axis/ruler.h"
#include "axis/string_list.h"
#include "axis/unit.h"
#include "volume/unit_set.h"
#include "volume/cursor_ex.h"
#include "volume/cursor_set.h"
#include "volume/ruler_set.h"
#include "volume/volume_set.h"
#include "notify/consumer_list.h"
#include "platform/cstring.h"
#include "tests/support/event_recorder.h"

namespace {

using quarlen::test::EventRecorderTest;
using quarlen::test::RecordedEvent;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const vset_groupId kGroupA(1, 2, 3, 4, 5);
const vset_groupId kGroupAOther5(1, 2, 3, 4, 99);  // differs only in value 5
const vset_groupId kGroupB(1, 2, 3, 5, 5);
const vset_groupId kPrivate(6, 2, 3, 4, 5);

class VolumeSetTest : public EventRecorderTest {
 protected:
  VolumeSetTest() : m_set(unit_distance, L"SCAN", unit_distance, L"INDEX") {}
  CVolumeSet m_set;
};

// ---------------------------------------------------------------------------------------------
// Names

TEST(VolumeNamesTest, AxisCursorAndCursorStrings) {
  const std::pair<int, const wchar_t*> axes[] = {
      {0, L"Scan"}, {1, L"Index"}, {2, L"Ultrasound"}, {3, L"Amplitude"}, {4, L"Usr"},
      {5, L"Usr2"}, {6, L"???"},   {7, L"???"},        {-1, L"???"},
  };
  for (auto [axis, expected] : axes) {
    CString name;
    GetAxisName(static_cast<zel_enumAxis>(axis), &name);
    EXPECT_STREQ(name, expected) << axis;
  }
  const std::pair<int, const wchar_t*> types[] = {
      {0, L"Reference"}, {1, L"Measure"}, {2, L"Sel 1"}, {3, L"Sel 2"}, {-1, L"???"}, {4, L"???"},
  };
  for (auto [type, expected] : types) {
    CString name;
    GetCursorName(static_cast<quarlen_enumVolCursorType>(type), &name);
    EXPECT_STREQ(name, expected) << type;
  }
  CString s;
  GetCursorString(zel_index, quarlen_cursorSelection1, &s);
  EXPECT_STREQ(s, L"Index Sel 1");
  GetCursorString(static_cast<zel_enumAxis>(9), quarlen_cursorNone, &s);
  EXPECT_STREQ(s, L"??? ???");
  GetAxisName(zel_scan, nullptr);  // nothing to write to: nothing happens
  GetCursorString(zel_scan, quarlen_cursorReference, nullptr);
}

TEST(GroupIdTest, Matching) {
  EXPECT_TRUE(kGroupA.Matches(kGroupAOther5));
  EXPECT_FALSE(kGroupA.Matches(kGroupB));
  EXPECT_FALSE(kPrivate.Matches(kPrivate));
  const vset_groupId zero;
  EXPECT_EQ(zero.value1, 0u);
  EXPECT_EQ(zero.value5, 0u);
  vset_groupId copy;
  copy = kGroupA;
  EXPECT_EQ(copy.value5, 5u);
}

// ---------------------------------------------------------------------------------------------
// Construction, axes and limits

TEST_F(VolumeSetTest, AxesAndDefaults) {
  struct Case {
    int axis;
    const wchar_t* name;
    std_enumUnits units;
  };
  const Case cases[] = {{0, L"SCAN", std_distance}, {1, L"INDEX", std_distance},
                        {2, L"USOUND", std_none},   {3, L"AMPLITUDE", std_decibel},
                        {4, L"User", std_none},     {5, L"User2", std_none}};
  for (const Case& c : cases) {
    CAxe* axe = m_set.vol_GetAxis(static_cast<zel_enumAxis>(c.axis));
    ASSERT_NE(axe, nullptr);
    EXPECT_STREQ(axe->GetName(), c.name);
    EXPECT_EQ(axe->GetUnits(), c.units);
    EXPECT_EQ(axe->GetStart(), -1e30);
    EXPECT_EQ(axe->GetRange(), 2e30);
    EXPECT_EQ(axe->LimitsEnabled(), 1);
    EXPECT_EQ(m_set.vol_GetAxisEnum(axe), c.axis);
    CAxe copy(*axe);
    EXPECT_EQ(m_set.vol_GetAxisEnum(&copy), zel_noAxis) << "identity, not equality";
  }
  EXPECT_EQ(m_set.vol_GetAxis(static_cast<zel_enumAxis>(6)), nullptr);
  EXPECT_EQ(m_set.vol_GetAxisEnum(nullptr), zel_noAxis);
  EXPECT_STREQ(m_set.vol_GetAxisDistrib()->GetName(), L"Dist Axis");
  EXPECT_STREQ(m_set.vol_GetAxisSubChannel()->GetName(), L"subChan");
  EXPECT_EQ(m_set.vol_GetDocument(), nullptr);
  ASSERT_NE(m_set.vol_LimitsGetConsList(), nullptr);
  EXPECT_EQ(m_set.vol_LimitsGetConsList()->GetSource(), &m_set);

  double lo = 9, hi = 9;
  m_set.vol_GetLimits(zel_scan, &lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  m_set.vol_GetLimits(static_cast<zel_enumAxis>(9), &lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 0.0);
  m_set.vol_GetLimits(zel_scan, nullptr, nullptr);
}

TEST_F(VolumeSetTest, BaseUnitsOfThePublicUnitSet) {
  CUnitSet* pub = m_set.vol_GetPublicUnitSet();
  ASSERT_NE(pub, nullptr);
  // Distance gives four units on the scan and index axes, true depth on ultrasound, and one
  // unit of no quantity on the others.
  const int counts[] = {4, 4, 4, 1, 1, 1};
  for (int a = 0; a < zel_axisCount; ++a) {
    const auto axis = static_cast<zel_enumAxis>(a);
    EXPECT_EQ(pub->GetUnitCount(axis), counts[a]) << a;
    CUnit* base = m_set.vol_GetBaseUnit(axis);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base, pub->GetUnit(axis, 0));
    EXPECT_EQ(base->GetBaseUnit(), nullptr) << "the first unit is a base unit";
    if (counts[a] > 1) {
      EXPECT_EQ(pub->GetUnit(axis, 1)->GetBaseUnit(), base);
    }
  }
  unit_enumUnits quantity;
  m_set.vol_GetBaseUnit(zel_ultrasound)->GetUnitType(&quantity, nullptr);
  EXPECT_EQ(quantity, unit_trueDepth);
  EXPECT_EQ(m_set.vol_GetBaseUnit(static_cast<zel_enumAxis>(7)), nullptr);
}

struct LimitsRecorder : CObject {
  int calls = 0;
  static void Callback(void*, CObject* self, unsigned long) {
    ++static_cast<LimitsRecorder*>(self)->calls;
  }
};

TEST_F(VolumeSetTest, SetLimitsPullsRulersAndCursorsInsideAndNotifies) {
  LimitsRecorder recorder;
  m_set.vol_LimitsGetConsList()->Register(&recorder, &LimitsRecorder::Callback,
                                          CConsumerList::priorityImmediate);
  m_set.vol_SetLimits(zel_scan, 0.0, 100.0);
  EXPECT_EQ(recorder.calls, 1);
  EXPECT_EQ(m_set.vol_GetAxis(zel_scan)->GetStart(), 0.0);
  EXPECT_EQ(m_set.vol_GetAxis(zel_scan)->GetRange(), 100.0);

  CRulerEx* inside = m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupA, nullptr);
  CRulerEx* sticking = m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupB, nullptr);
  inside->Set(12.0, 5.0, 0);
  sticking->Set(15.0, 10.0, 0);
  CCursorEx* ref =
      m_set.vol_CreateCursor(zel_scan, quarlen_cursorReference, &kGroupA, nullptr, nullptr);
  CCursorEx* meas = m_set.vol_CreateCursor(zel_scan, quarlen_cursorMeasure, &kGroupA, ref, nullptr);
  CCursorEx* low =
      m_set.vol_CreateCursor(zel_scan, quarlen_cursorSelection1, &kGroupA, nullptr, nullptr);
  ref->SetValue(15.0, 0, 0);
  meas->SetValue(25.0, 0, 0);
  low->SetValue(5.0, 0, 0);
  low->SetLog(1);
  Drain();

  m_set.vol_SetLimits(zel_scan, 10.0, 20.0);
  EXPECT_EQ(recorder.calls, 2);
  EXPECT_EQ(inside->GetStart(), 12.0) << "inside: untouched";
  EXPECT_EQ(inside->GetRange(), 5.0);
  EXPECT_EQ(sticking->GetStart(), 10.0) << "sticking out: reset to the whole limits";
  EXPECT_EQ(sticking->GetEnd(), 20.0);
  EXPECT_EQ(ref->GetValue(), 15.0);
  EXPECT_EQ(meas->GetValue(), 20.0);
  EXPECT_EQ(low->GetValue(), 10.0);
  EXPECT_EQ(ref->GetLink(), meas) << "the partner stays linked";

  const auto events = Drain();
  auto count = [&](unsigned number, std::uintptr_t id) {
    int n = 0;
    for (const RecordedEvent& e : events) n += (e.number == number && e.wParam == id);
    return n;
  };
  EXPECT_EQ(count(1620, sticking->GetID()), 1)
      << "moving the start back to 10 already puts the end at 20";
  EXPECT_EQ(count(1620, inside->GetID()), 0);
  EXPECT_EQ(count(1619, meas->GetID()), 1);
  EXPECT_EQ(count(1619, ref->GetID()), 0) << "the partner does not move";
  EXPECT_EQ(count(1619, low->GetID()), 1);
  EXPECT_EQ(count(1623, low->GetID()), 1) << "logged because its log flag is set";

  // An invalid axis or non-finite limits change nothing but still notify.
  m_set.vol_SetLimits(static_cast<zel_enumAxis>(6), 1.0, 2.0);
  m_set.vol_SetLimits(zel_scan, kNaN, 2.0);
  EXPECT_EQ(recorder.calls, 4);
  double lo, hi;
  m_set.vol_GetLimits(zel_scan, &lo, &hi);
  EXPECT_EQ(lo, 10.0);
  EXPECT_EQ(hi, 20.0);
}

TEST_F(VolumeSetTest, SetRulerRangeKeepsInsideTheLimits) {
  m_set.vol_SetLimits(zel_index, 0.0, 50.0);
  CRulerEx* a = m_set.vol_CreateRuler(zel_index, 0.0, 0, &kGroupA, nullptr);
  CRulerEx* b = m_set.vol_CreateRuler(zel_index, 0.0, 0, &kGroupB, nullptr);
  m_set.vol_SetRulerRange(zel_index, -10.0, 30.0);
  for (CRulerEx* r : {a, b}) {
    EXPECT_EQ(r->GetStart(), 0.0);
    EXPECT_EQ(r->GetEnd(), 30.0);
  }
  m_set.vol_SetRulerRange(zel_index, 5.0, 80.0);
  EXPECT_EQ(a->GetStart(), 5.0);
  EXPECT_EQ(a->GetEnd(), 50.0);
  double lo, hi;
  m_set.vol_GetLimits(zel_index, &lo, &hi);
  EXPECT_EQ(hi, 50.0) << "the limits do not change";
  m_set.vol_SetRulerRange(static_cast<zel_enumAxis>(8), 0.0, 1.0);  // ignored
}

// ---------------------------------------------------------------------------------------------
// Rulers

TEST_F(VolumeSetTest, RulersAreSharedByGroupAndCounted) {
  int created = -1;
  CRulerEx* first = m_set.vol_CreateRuler(zel_scan, 1.5, 2, &kGroupA, &created);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(created, 1);
  EXPECT_STREQ(first->GetName(), L"Scan");
  EXPECT_EQ(first->GetAxe(), m_set.vol_GetAxis(zel_scan));
  EXPECT_EQ(first->GetDisplayOffset(), 1.5);
  EXPECT_EQ(first->GetCircularModulo(), 2);
  EXPECT_EQ(first->GetStart(), 0.0);
  EXPECT_EQ(first->GetEnd(), 1.0);
  vset_groupId id;
  zel_enumAxis axis;
  CVolumeSet* owner = nullptr;
  first->GetInfo(&id, &axis, &owner);
  EXPECT_EQ(id.value4, 4u);
  EXPECT_EQ(axis, zel_scan);
  EXPECT_EQ(owner, &m_set);

  CRulerEx* second = m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupAOther5, &created);
  EXPECT_EQ(second, first) << "value 5 is not compared";
  EXPECT_EQ(created, 0);
  EXPECT_EQ(first->GetRefCount(), 2);

  EXPECT_NE(m_set.vol_CreateRuler(zel_index, 0.0, 0, &kGroupA, nullptr), first)
      << "one list per axis";
  CRulerEx* other = m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupB, &created);
  EXPECT_NE(other, first);
  EXPECT_EQ(created, 1);

  m_set.vol_DeleteRuler(first);
  EXPECT_EQ(first->GetRefCount(), 1) << "still held once";
  EXPECT_EQ(m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupA, nullptr), first);
  m_set.vol_DeleteRuler(first);
  m_set.vol_DeleteRuler(first);  // the last holder: destroyed
  CRulerEx* fresh = m_set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupA, &created);
  EXPECT_EQ(created, 1) << "the group's ruler was destroyed";
  m_set.vol_DeleteRuler(fresh);
  m_set.vol_DeleteRuler(nullptr);
}

TEST_F(VolumeSetTest, PrivateAndMissingGroupIdsAlwaysCreate) {
  int created = 0;
  CRulerEx* a = m_set.vol_CreateRuler(zel_user, 0.0, 0, &kPrivate, &created);
  CRulerEx* b = m_set.vol_CreateRuler(zel_user, 0.0, 0, &kPrivate, &created);
  EXPECT_NE(a, b);
  EXPECT_EQ(created, 1);
  CRulerEx* c = m_set.vol_CreateRuler(zel_user, 0.0, 0, nullptr, &created);
  CRulerEx* d = m_set.vol_CreateRuler(zel_user, 0.0, 0, nullptr, &created);
  EXPECT_NE(c, d);
  CCursorEx* p =
      m_set.vol_CreateCursor(zel_user, quarlen_cursorReference, &kPrivate, nullptr, nullptr);
  CCursorEx* q =
      m_set.vol_CreateCursor(zel_user, quarlen_cursorReference, &kPrivate, nullptr, nullptr);
  EXPECT_NE(p, q);
  CUnitSet* u = m_set.vol_CreateUnitSet(&kPrivate, nullptr);
  EXPECT_NE(u, m_set.vol_CreateUnitSet(&kPrivate, nullptr));
  EXPECT_NE(u, m_set.vol_GetPublicUnitSet());
  // Everything still handed out is destroyed with the volume set (checked by the sanitizers).
}

TEST_F(VolumeSetTest, InvalidArgumentsGiveNull) {
  int created = 7;
  EXPECT_EQ(m_set.vol_CreateRuler(static_cast<zel_enumAxis>(6), 0, 0, &kGroupA, &created), nullptr);
  EXPECT_EQ(created, 0);
  EXPECT_EQ(m_set.vol_CreateRuler(zel_noAxis, 0, 0, &kGroupA, nullptr), nullptr);
  EXPECT_EQ(m_set.vol_CreateCursor(static_cast<zel_enumAxis>(-1), quarlen_cursorReference, &kGroupA,
                                   nullptr, nullptr),
            nullptr);
  EXPECT_EQ(m_set.vol_CreateCursor(zel_scan, quarlen_cursorNone, &kGroupA, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(m_set.vol_CreateCursor(zel_scan, static_cast<quarlen_enumVolCursorType>(4), &kGroupA,
                                   nullptr, nullptr),
            nullptr);
  EXPECT_EQ(m_set.GetCursor(zel_scan, quarlen_cursorReference, nullptr), nullptr);
  EXPECT_EQ(m_set.GetCursor(static_cast<zel_enumAxis>(6), quarlen_cursorReference, &kGroupA),
            nullptr);
}

TEST_F(VolumeSetTest, EmptyLimitsAreWidenedAroundTheNewRuler) {
  struct Case {
    double lower;
    double expectedUpper;
  };
  const Case cases[] = {
      {5.0, 5.5011},                  // 5.001 * 1.1
      {0.0, 0.0011},                  // 0.001 * 1.1
      {-2.0, -2.0 + 0.001 + 0.1999},  // grows upwards for negative limits too
      {-0.001, 0.0},                  // lower + 0.001 = 0: no widening room
  };
  for (const Case& c : cases) {
    CVolumeSet set(unit_distance, L"S", unit_distance, L"I");
    set.vol_SetLimits(zel_scan, c.lower, c.lower);
    CRulerEx* r = set.vol_CreateRuler(zel_scan, 0.0, 0, &kGroupA, nullptr);
    EXPECT_DOUBLE_EQ(r->GetStart(), c.lower) << c.lower;
    EXPECT_DOUBLE_EQ(r->GetEnd(), c.lower + 0.001) << c.lower;
    double lo, hi;
    set.vol_GetLimits(zel_scan, &lo, &hi);
    EXPECT_EQ(lo, c.lower);
    EXPECT_NEAR(hi, c.expectedUpper, 1e-12) << c.lower;
    EXPECT_GE(hi, r->GetEnd()) << "the ruler lies inside the widened limits";
    EXPECT_EQ(set.vol_GetAxis(zel_scan)->GetStart(), c.lower);
    EXPECT_NEAR(set.vol_GetAxis(zel_scan)->GetEnd(), hi, 1e-12);
  }
}

TEST_F(VolumeSetTest, GivingBackTwiceOrToTheWrongSetIsIgnored) {
  CVolumeSet other(unit_time, L"T", unit_time, L"U");
  CRulerEx* mine = m_set.vol_CreateRuler(zel_scan, 0, 0, &kGroupA, nullptr);
  CRulerEx* theirs = other.vol_CreateRuler(zel_scan, 0, 0, &kGroupA, nullptr);
  m_set.vol_DeleteRuler(theirs);
  m_set.vol_RemoveRuler(theirs);
  EXPECT_EQ(theirs->GetRefCount(), 1);
  EXPECT_EQ(other.vol_CreateRuler(zel_scan, 0, 0, &kGroupA, nullptr), theirs);

  // Removed (not deleted): the caller owns it; a second give-back is ignored.
  m_set.vol_RemoveRuler(mine);
  m_set.vol_RemoveRuler(mine);
  m_set.vol_DeleteRuler(mine);
  EXPECT_EQ(mine->GetRefCount(), 0);
  int created = 0;
  EXPECT_NE(m_set.vol_CreateRuler(zel_scan, 0, 0, &kGroupA, &created), mine);
  EXPECT_EQ(created, 1);
  delete mine;

  // Destroyed objects given back again are not touched (the sanitizers would tell).
  CCursorEx* c =
      m_set.vol_CreateCursor(zel_scan, quarlen_cursorReference, &kGroupA, nullptr, nullptr);
  m_set.vol_DeleteCursor(c);
  m_set.vol_DeleteCursor(c);
  CUnitSet* u = m_set.vol_CreateUnitSet(&kGroupA, nullptr);
  m_set.vol_DeleteUnitSet(u);
  m_set.vol_DeleteUnitSet(u);
  CCursorEx* theirCursor =
      other.vol_CreateCursor(zel_scan, quarlen_cursorReference, &kGroupA, nullptr, nullptr);
  m_set.vol_DeleteCursor(theirCursor);
  EXPECT_EQ(theirCursor->GetRefCount(), 1);
  m_set.vol_DeleteCursor(nullptr);
  m_set.vol_DeleteUnitSet(nullptr);

  // The public unit set lives as long as the volume set.
  m_set.vol_DeleteUnitSet(m_set.vol_GetPublicUnitSet());
  EXPECT_NE(m_set.vol_GetBaseUnit(zel_scan), nullptr);
  EXPECT_NE(m_set.vol_GetPublicUnitSet()->GetUnit(zel_scan, 0), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Cursors

TEST_F(VolumeSetTest, NewCursorsArePlacedByTypeLinkedAndAnnounced) {
  m_set.vol_SetLimits(zel_scan, 0.0, 80.0);
  Drain();
  const double expected[] = {10, 20, 30, 40};
  CCursorEx* cursors[4] = {};
  for (int t = 0; t < 4; ++t) {
    CCursorEx* link = (t == 1 || t == 3) ? cursors[t - 1] : nullptr;
    int created = 0;
    cursors[t] = m_set.vol_CreateCursor(zel_scan, static_cast<quarlen_enumVolCursorType>(t),
                                        &kGroupA, link, &created);
    ASSERT_NE(cursors[t], nullptr);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(cursors[t]->GetValue(), expected[t]) << t;
    EXPECT_EQ(cursors[t]->GetAxe(), m_set.vol_GetAxis(zel_scan));
    EXPECT_EQ(cursors[t]->GetConsList()->GetSource(), cursors[t]);
    vset_groupId id;
    zel_enumAxis axis;
    quarlen_enumVolCursorType type;
    CVolumeSet* owner;
    cursors[t]->GetInfo(&id, &axis, &type, &owner);
    EXPECT_EQ(axis, zel_scan);
    EXPECT_EQ(type, t);
    EXPECT_EQ(owner, &m_set);
    EXPECT_EQ(Drain(),
              (std::vector<RecordedEvent>{{1619, cursors[t]->GetID(), cursors[t]->GetID()}}));
  }
  EXPECT_STREQ(cursors[2]->GetName(), L"Scan Sel 1");
  EXPECT_EQ(cursors[0]->GetLink(), cursors[1]);
  EXPECT_EQ(cursors[3]->GetLink(), cursors[2]);
  EXPECT_EQ(m_set.GetCursor(zel_scan, quarlen_cursorMeasure, &kGroupAOther5), cursors[1]);

  int created = 1;
  EXPECT_EQ(m_set.vol_CreateCursor(zel_scan, quarlen_cursorMeasure, &kGroupA, nullptr, &created),
            cursors[1]);
  EXPECT_EQ(created, 0);
  EXPECT_EQ(cursors[1]->GetRefCount(), 2);
  EXPECT_TRUE(Drain().empty()) << "a shared cursor is not announced again";
}

TEST_F(VolumeSetTest, CursorSetLayoutAndLinks) {
  const vset_groupId a[4] = {{1, 0, 0, 0}, {1, 1, 0, 0}, {1, 2, 0, 0}, {1, 3, 0, 0}};
  const vset_groupId b[4] = {{2, 0, 0, 0}, {2, 1, 0, 0}, {2, 2, 0, 0}, {2, 3, 0, 0}};
  std::unique_ptr<CCursorSet> set(
      m_set.vol_CreateCursorSet(&a[0], &a[1], &a[2], &a[3], &b[0], &b[1], &b[2], &b[3]));
  ASSERT_NE(set, nullptr);
  const int groupOfAxis[6] = {0, 1, 2, 3, 1, 1};
  for (int ax = 0; ax < 6; ++ax) {
    const auto axis = static_cast<zel_enumAxis>(ax);
    for (int t = 0; t < 4; ++t) {
      CCursorEx* c = set->GetCursor(axis, static_cast<quarlen_enumVolCursorType>(t));
      ASSERT_NE(c, nullptr) << ax << "/" << t;
      vset_groupId id;
      zel_enumAxis cAxis;
      quarlen_enumVolCursorType cType;
      c->GetInfo(&id, &cAxis, &cType, nullptr);
      EXPECT_EQ(cAxis, ax);
      EXPECT_EQ(cType, t);
      const vset_groupId& expected = (t < 2 ? a : b)[groupOfAxis[ax]];
      EXPECT_TRUE(id.Matches(expected)) << ax << "/" << t;
    }
    CCursorEx* ref = set->GetCursor(axis, quarlen_cursorReference);
    CCursorEx* meas = set->GetCursor(axis, quarlen_cursorMeasure);
    CCursorEx* sel1 = set->GetCursor(axis, quarlen_cursorSelection1);
    CCursorEx* sel2 = set->GetCursor(axis, quarlen_cursorSelection2);
    EXPECT_EQ(ref->GetLink(), meas);
    EXPECT_EQ(meas->GetLink(), ref);
    EXPECT_EQ(sel1->GetLink(), sel2);
    EXPECT_EQ(sel2->GetLink(), sel1);
  }
  EXPECT_EQ(set->GetCursor(static_cast<zel_enumAxis>(6), quarlen_cursorReference), nullptr);

  // A second view of the same groups shares all 24 cursors.
  std::unique_ptr<CCursorSet> same(
      m_set.vol_CreateCursorSet(&a[0], &a[1], &a[2], &a[3], &b[0], &b[1], &b[2], &b[3]));
  CCursorEx* sharedRef = set->GetCursor(zel_scan, quarlen_cursorReference);
  EXPECT_EQ(same->GetCursor(zel_scan, quarlen_cursorReference), sharedRef);
  EXPECT_EQ(sharedRef->GetRefCount(), 2);
  m_set.vol_DeleteCursorSet(same.release());
  EXPECT_EQ(sharedRef->GetRefCount(), 1);
  EXPECT_EQ(sharedRef->GetLink(), set->GetCursor(zel_scan, quarlen_cursorMeasure));

  CStrList all, ofType, ofAxis, one;
  set->GetCursorList(&all, static_cast<zel_enumAxis>(9), quarlen_cursorNone);
  set->GetCursorList(&ofType, static_cast<zel_enumAxis>(9), quarlen_cursorSelection2);
  set->GetCursorList(&ofAxis, zel_ultrasound, static_cast<quarlen_enumVolCursorType>(7));
  set->GetCursorList(&one, zel_index, quarlen_cursorMeasure);
  set->GetCursorList(nullptr, zel_index, quarlen_cursorMeasure);
  EXPECT_EQ(all.GetSize(), 24);
  EXPECT_EQ(ofType.GetSize(), 6);
  EXPECT_EQ(ofAxis.GetSize(), 4);
  EXPECT_EQ(one.GetSize(), 1);
  CString name;
  EXPECT_EQ(all.GetFirst(name), set->GetCursor(zel_scan, quarlen_cursorReference));
  EXPECT_STREQ(name, L"Scan Reference");
  EXPECT_EQ(all.GetNext(name), set->GetCursor(zel_scan, quarlen_cursorMeasure));
  EXPECT_EQ(ofType.GetFirst(name), set->GetCursor(zel_scan, quarlen_cursorSelection2));
  EXPECT_EQ(ofType.GetNext(name), set->GetCursor(zel_index, quarlen_cursorSelection2));
  EXPECT_EQ(one.GetFirst(name), set->GetCursor(zel_index, quarlen_cursorMeasure));
  EXPECT_STREQ(name, L"Index Measure");

  m_set.vol_DeleteCursorSet(set.release());
  m_set.vol_DeleteCursorSet(nullptr);
  int created = 0;
  m_set.vol_CreateCursor(zel_scan, quarlen_cursorReference, &a[0], nullptr, &created);
  EXPECT_EQ(created, 1) << "the cursor set gave every cursor back";
}

TEST(CursorSetTest, DefaultIsEmpty) {
  CCursorSet set;
  CStrList list;
  set.GetCursorList(&list, static_cast<zel_enumAxis>(9), quarlen_cursorNone);
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(set.GetVolumeSet(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Ruler sets

TEST_F(VolumeSetTest, RulerSetTakesSixRulersAndGivesThemBack) {
  const vset_groupId g1(1, 1), g2(1, 2), g3(1, 3), g4(1, 4);
  const float offsets[2] = {2.5f, 3.5f};
  const int modulos[2] = {4, 5};
  std::unique_ptr<CRulerSet> set(m_set.vol_CreateRulerSet(&g1, &g2, &g3, &g4, offsets, modulos));
  ASSERT_NE(set, nullptr);
  struct Case {
    int axis;
    const vset_groupId* group;
    double offset;
    int modulo;
  };
  const Case cases[] = {{0, &g1, 2.5, 4}, {1, &g2, 3.5, 5}, {2, &g3, 0, 0},
                        {3, &g4, 0, 0},   {4, &g2, 0, 0},   {5, &g2, 0, 0}};
  for (const Case& c : cases) {
    CRulerEx* r = set->GetRuler(static_cast<zel_enumAxis>(c.axis));
    ASSERT_NE(r, nullptr);
    vset_groupId id;
    zel_enumAxis axis;
    r->GetInfo(&id, &axis, nullptr);
    EXPECT_EQ(axis, c.axis);
    EXPECT_TRUE(id.Matches(*c.group)) << c.axis;
    EXPECT_EQ(r->GetDisplayOffset(), c.offset) << c.axis;
    EXPECT_EQ(r->GetCircularModulo(), c.modulo) << c.axis;
  }
  EXPECT_EQ(set->GetRuler(static_cast<zel_enumAxis>(6)), nullptr);

  CStrList all, third;
  set->GetRulerList(&all, static_cast<zel_enumAxis>(9));
  set->GetRulerList(&third, zel_ultrasound);
  EXPECT_EQ(all.GetSize(), 6);
  ASSERT_EQ(third.GetSize(), 1);
  CString name;
  EXPECT_EQ(third.GetFirst(name), set->GetRuler(zel_ultrasound));
  EXPECT_STREQ(name, L"Ultrasound");
  EXPECT_EQ(all.GetFirst(name), set->GetRuler(zel_scan));
  EXPECT_STREQ(name, L"Scan");

  CRulerEx* scan = set->GetRuler(zel_scan);
  EXPECT_EQ(m_set.vol_CreateRuler(zel_scan, 0, 0, &g1, nullptr), scan);
  m_set.vol_DeleteRulerSet(set.release());
  EXPECT_EQ(scan->GetRefCount(), 1) << "the set gave its holding back";
  m_set.vol_DeleteRuler(scan);
}

TEST(RulerSetTest, DefaultAndNullArrays) {
  CRulerSet empty;
  EXPECT_EQ(empty.GetRuler(zel_scan), nullptr);
  CVolumeSet vs(unit_distance, L"S", unit_distance, L"I");
  const vset_groupId g(1);
  CRulerSet set(&g, &g, &g, &g, nullptr, nullptr, &vs);
  EXPECT_EQ(set.GetRuler(zel_scan)->GetDisplayOffset(), 0.0);
  EXPECT_EQ(set.GetRuler(zel_index)->GetCircularModulo(), 0);
  EXPECT_EQ(set.GetRuler(zel_user),
            set.GetRuler(zel_user2) == set.GetRuler(zel_user) ? nullptr : set.GetRuler(zel_user))
      << "one ruler per axis, even with the same group";
}

TEST(VolumeClassesTest, CreatableByClassName) {
  for (const char* name : {"CRulerSet", "CUnitSet", "CCursorSet"}) {
    std::unique_ptr<CObject> object(CRuntimeClass::CreateObject(name));
    ASSERT_NE(object, nullptr) << name;
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, name);
  }
}

// ---------------------------------------------------------------------------------------------
// Unit sets

TEST_F(VolumeSetTest, UnitSetsAreSharedByGroup) {
  int created = 0;
  CUnitSet* u = m_set.vol_CreateUnitSet(&kGroupA, &created);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(u->GetVolumeSet(), &m_set);
  EXPECT_EQ(m_set.vol_CreateUnitSet(&kGroupAOther5, &created), u);
  EXPECT_EQ(created, 0);
  EXPECT_EQ(u->GetRefCount(), 2);
  m_set.vol_DeleteUnitSet(u);
  EXPECT_EQ(m_set.vol_CreateUnitSet(&kGroupA, &created), u);
  m_set.vol_DeleteUnitSet(u);
  m_set.vol_DeleteUnitSet(u);
  EXPECT_NE(m_set.vol_CreateUnitSet(&kGroupA, &created), nullptr);
  EXPECT_EQ(created, 1);
}

TEST_F(VolumeSetTest, SubUnitRows) {
  struct Case {
    unit_enumUnits quantity;
    std::vector<unit_enumDataUnit> data;
    int returned;  // index of the returned unit, -1 for null
  };
  const Case cases[] = {
      {unit_none, {unit_dataNone}, 0},
      {unit_time, {unit_dataSecond, unit_dataMicrosecond}, 0},
      {unit_halfTime, {unit_dataSecond, unit_dataMicrosecond}, 0},
      {unit_distance, {unit_dataMeter, unit_dataMillimeter, unit_dataInch, unit_dataMils}, 0},
      {unit_trueDepth, {unit_dataMeter, unit_dataMillimeter, unit_dataInch, unit_dataMils}, 0},
      {unit_rotation, {unit_dataDegrees, unit_dataRadians}, 0},
      {unit_percent, {unit_dataPercent}, 0},
      {unit_decibel, {unit_dataDecibel}, 0},
      {unit_frequency, {}, -1},
      {unit_temperature, {}, -1},
      {unit_sample, {unit_dataSample}, 0},
      {unit_tofd, {unit_dataMeter, unit_dataMillimeter, unit_dataInch, unit_dataMils}, 0},
      {unit_voltage, {}, -1},
      {static_cast<unit_enumUnits>(99), {}, -1},
  };
  for (const Case& c : cases) {
    CUnitSet* set = m_set.vol_CreateUnitSet(&kPrivate, nullptr);
    CUnit* returned = set->AddSubUnit(zel_user, c.quantity, 2.0, 0.0, 0.0);
    ASSERT_EQ(set->GetUnitCount(zel_user), static_cast<int>(c.data.size())) << c.quantity;
    EXPECT_EQ(returned, c.returned < 0 ? nullptr : set->GetUnit(zel_user, c.returned));
    for (std::size_t i = 0; i < c.data.size(); ++i) {
      CUnit* unit = set->GetUnit(zel_user, static_cast<int>(i));
      unit_enumUnits quantity;
      unit_enumDataUnit data;
      unit->GetUnitType(&quantity, &data);
      EXPECT_EQ(quantity, c.quantity);
      EXPECT_EQ(data, c.data[i]);
      EXPECT_EQ(unit->GetBaseUnit(), m_set.vol_GetBaseUnit(zel_user))
          << "units of an ordinary set convert from the volume's base unit";
    }
    m_set.vol_DeleteUnitSet(set);
  }
  CUnitSet* set = m_set.vol_CreateUnitSet(&kPrivate, nullptr);
  EXPECT_EQ(set->AddSubUnit(static_cast<zel_enumAxis>(6), unit_distance, 1, 0, 0), nullptr);
  EXPECT_EQ(set->AddSubUnit(zel_scan, unit_distance, kNaN, 0, 0), nullptr);
  EXPECT_EQ(set->GetUnitCount(zel_scan), 0);
  EXPECT_EQ(set->GetUnit(zel_scan, 0), nullptr);
}

TEST(UnitSetTest, ConversionsOfTheRows) {
  // A public-style set: the first unit on an empty axis is the base of the following ones.
  CVolumeSet vs(unit_none, L"S", unit_none, L"I");
  CUnitSet* pub = vs.vol_GetPublicUnitSet();
  const vset_groupId g(1);
  CUnitSet* set = vs.vol_CreateUnitSet(&g, nullptr);

  // Fresh, unrelated axis units: a set without a volume set makes base units only.
  CUnitSet standalone;
  CUnit* metre = standalone.AddSubUnit(zel_scan, unit_distance, 1.0, 0.0, 0.0);
  EXPECT_EQ(metre->GetBaseUnit(), nullptr);
  EXPECT_EQ(standalone.GetUnit(zel_scan, 2)->GetBaseUnit(), nullptr);

  struct Case {
    unit_enumUnits quantity;
    int index;
    double a, b, r;
    double base, display;
  };
  const Case cases[] = {
      {unit_distance, 2, 1.0, 0.0, 0.0, 0.5, 19.685},              // inch
      {unit_distance, 1, 2.0, 1.0, 0.0, 0.5, 2000.0},              // millimetre, k·A and k·B
      {unit_time, 1, 1.0, 0.0, 0.0, 2e-6, 2.0},                    // microsecond
      {unit_rotation, 1, 1.0, 0.0, 0.0, 180.0, std::numbers::pi},  // radians
      {unit_decibel, 0, 1.0, 0.0, 10.0, -25.0, -25.0},             // linear; R only formats
      {unit_tofd, 0, 1.0, 0.0, 0.0, 0.25, 0.25},                   // TOFD metre: identity
      {unit_tofd, 1, 1.0, 0.0, 0.0, 0.25, 250.0},                  // TOFD millimetre: x 1000
      {unit_tofd, 3, 1.0, 0.0, 0.0, 0.01, 393.7},                  // TOFD mils
      {unit_tofd, 1, 1.0, 0.002, 0.0, 0.25, 252.0},                // B as offset: k·B + k·A·x
  };
  for (const Case& c : cases) {
    // Axis 4 of this volume set has a base unit of no quantity; the set's units convert
    // from it.
    set->AddSubUnit(zel_user, c.quantity, c.a, c.b, c.r);
    const int first =
        set->GetUnitCount(zel_user) - (c.quantity == unit_distance || c.quantity == unit_tofd ? 4
                                       : c.quantity == unit_decibel                           ? 1
                                                                                              : 2);
    CUnit* unit = set->GetUnit(zel_user, first + c.index);
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(unit->GetBaseUnit(), nullptr);
    EXPECT_NEAR(unit->ConvertFromBase(c.base), c.display, 1e-9 * std::fabs(c.display) + 1e-12)
        << c.quantity << "/" << c.index;
    EXPECT_NEAR(unit->ConvertToBase(c.display), c.base, 1e-9 * std::fabs(c.base) + 1e-12)
        << c.quantity << "/" << c.index;
    if (c.quantity == unit_tofd) {
      EXPECT_EQ(unit->GetConversionType(), unit_convTofd);
    }
  }
  EXPECT_EQ(pub->GetUnitCount(zel_user), 1);
}

TEST(UnitSetTest, PublicSetFirstUnitIsTheBase) {
  CVolumeSet vs(unit_none, L"S", unit_none, L"I");
  CUnitSet* pub = vs.vol_GetPublicUnitSet();
  // Axis 0 holds one unit of no quantity: the inch unit of a new distance row converts from it.
  CUnit* metre = pub->AddSubUnit(zel_scan, unit_distance, 1.0, 0.0, 0.0);
  EXPECT_EQ(metre->GetBaseUnit(), vs.vol_GetBaseUnit(zel_scan));
  EXPECT_NEAR(pub->GetUnit(zel_scan, 3)->ConvertFromBase(0.5), 19.685, 1e-9);
}

TEST_F(VolumeSetTest, AmplitudeUnits) {
  CUnitSet* set = m_set.vol_CreateUnitSet(&kPrivate, nullptr);
  auto typeOf = [&](int i) { return set->GetUnit(zel_amplitude, i)->GetConversionType(); };

  CUnit* percent = set->AddAmplitudeSubUnit(1);
  ASSERT_EQ(set->GetUnitCount(zel_amplitude), 2);
  EXPECT_EQ(percent, set->GetUnit(zel_amplitude, 0));
  EXPECT_EQ(typeOf(0), unit_convLinear);
  EXPECT_EQ(typeOf(1), unit_convPercentToDb);
  EXPECT_NEAR(set->GetUnit(zel_amplitude, 1)->ConvertFromBase(50.0), -6.0206, 1e-4);

  CUnit* decibel = set->ModifyAmplitudeSubUnit(0);
  ASSERT_EQ(set->GetUnitCount(zel_amplitude), 2) << "nothing added";
  EXPECT_EQ(decibel, set->GetUnit(zel_amplitude, 1));
  EXPECT_EQ(typeOf(0), unit_convLogToPercent);
  EXPECT_EQ(typeOf(1), unit_convDbLinear);
  EXPECT_EQ(set->ModifyAmplitudeSubUnit(1), percent);
  EXPECT_EQ(typeOf(0), unit_convLinear);
  EXPECT_EQ(typeOf(1), unit_convPercentToDb);

  CUnit* logDb = set->AddAmplitudeSubUnit(0);
  ASSERT_EQ(set->GetUnitCount(zel_amplitude), 4);
  EXPECT_EQ(logDb, set->GetUnit(zel_amplitude, 3));
  EXPECT_EQ(typeOf(2), unit_convLogToPercent);
  EXPECT_EQ(typeOf(3), unit_convDbLinear);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(set->GetUnit(zel_amplitude, i)->GetBaseUnit(), m_set.vol_GetBaseUnit(zel_amplitude));
  }

  CUnitSet* empty = m_set.vol_CreateUnitSet(&kPrivate, nullptr);
  CUnit* made = empty->ModifyAmplitudeSubUnit(1);
  ASSERT_EQ(empty->GetUnitCount(zel_amplitude), 2);
  unit_enumUnits q0, q1;
  empty->GetUnit(zel_amplitude, 0)->GetUnitType(&q0, nullptr);
  empty->GetUnit(zel_amplitude, 1)->GetUnitType(&q1, nullptr);
  EXPECT_EQ(q0, unit_percent) << "percent appended before decibel";
  EXPECT_EQ(q1, unit_decibel);
  EXPECT_EQ(made, empty->GetUnit(zel_amplitude, 0));
}

}  // namespace
