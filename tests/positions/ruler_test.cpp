// Rulers: the clamping of the window to the axis limits, the coupling of display offset and
// circular modulo, comparison and assignment, and event 1620 after each effective change.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>

#include "axis/ruler.h"
#include "axis/position.h"
#include "platform/object.h"
#include "tests/support/event_recorder.h"

namespace {

using quarlen::test::EventRecorderTest;
using quarlen::test::RecordedEvent;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class RulerTest : public EventRecorderTest {
 protected:
  // A ruler on an axis from 0 to 100 (limits enabled), its window moved to start 10 with the
  // range 100 it took from the axis; the events of the set-up are drained.
  void MakeRuler(CRuler& ruler, CAxe& axe) {
    axe.Create(L"Scan", std_distance, 0.0, 100.0);
    ruler.Create(L"Scan", &axe, 0.0, 0);
    ruler.SetStart(10.0);
    ASSERT_EQ(ruler.GetRange(), 100.0);
    Drain();
  }
  std::vector<RecordedEvent> Changed(const CRuler& r) { return {{1620, r.GetID(), Id(&r)}}; }
};

TEST_F(RulerTest, CreateTakesTheAxisAndAlwaysAnnounces) {
  CAxe axe;
  axe.Create(L"Scan", std_distance, -5.0, 20.0);
  CRuler ruler;
  EXPECT_EQ(ruler.GetName(), nullptr);
  ruler.Create(L"Scan", &axe, 2.5, 3);
  EXPECT_STREQ(ruler.GetName(), L"Scan");
  EXPECT_EQ(ruler.GetAxe(), &axe);
  EXPECT_EQ(ruler.GetStart(), -5.0);
  EXPECT_EQ(ruler.GetRange(), 20.0);
  EXPECT_EQ(ruler.GetEnd(), 15.0);
  double lo = 0, hi = 0;
  ruler.GetLimits(lo, hi);
  EXPECT_EQ(lo, -5.0);
  EXPECT_EQ(hi, 15.0);
  EXPECT_EQ(ruler.GetDisplayOffset(), 2.5);
  EXPECT_EQ(ruler.GetCircularModulo(), 3);
  EXPECT_EQ(ruler.GetDrawTicksState(), 1);
  EXPECT_EQ(Drain(), Changed(ruler));

  CRuler noAxis;
  noAxis.Create(nullptr, nullptr, 0.0, 0);
  EXPECT_EQ(noAxis.GetName(), nullptr);
  EXPECT_EQ(Drain(), Changed(noAxis)) << "sent even when nothing changed";
}

TEST_F(RulerTest, WindowSettersClampToEnabledAxisLimits) {
  struct Case {
    const char* what;
    std::function<void(CRuler&)> change;
    double start, range;
  };
  const Case cases[] = {
      {"SetRange(200)", [](CRuler& r) { r.SetRange(200.0); }, 10, 90},
      {"SetRange(50)", [](CRuler& r) { r.SetRange(50.0); }, 10, 50},
      {"SetEnd(150)", [](CRuler& r) { r.SetEnd(150.0); }, 10, 90},
      {"SetEnd(-5)", [](CRuler& r) { r.SetEnd(-5.0); }, 10, -10},
      {"SetEnd(60)", [](CRuler& r) { r.SetEnd(60.0); }, 10, 50},
      {"SetStart(150)", [](CRuler& r) { r.SetStart(150.0); }, 100, 100},
      {"SetStart(-20)", [](CRuler& r) { r.SetStart(-20.0); }, 0, 100},
      {"SetStart(30)", [](CRuler& r) { r.SetStart(30.0); }, 30, 100},
      {"Set(-10, 200, 0)", [](CRuler& r) { r.Set(-10.0, 200.0, 0); }, 0, 110},
      {"Set(20, 50, 0)", [](CRuler& r) { r.Set(20.0, 50.0, 0); }, 20, 50},
      {"Set(50, 80, 0)", [](CRuler& r) { r.Set(50.0, 80.0, 0); }, 50, 50},
      {"Set(10, 20, 0) start unchanged", [](CRuler& r) { r.Set(10.0, 20.0, 0); }, 10, 20},
  };
  for (const Case& c : cases) {
    CAxe axe;
    CRuler ruler;
    MakeRuler(ruler, axe);
    c.change(ruler);
    EXPECT_DOUBLE_EQ(ruler.GetStart(), c.start) << c.what;
    EXPECT_DOUBLE_EQ(ruler.GetRange(), c.range) << c.what;
    EXPECT_EQ(Drain(), Changed(ruler)) << c.what;
  }
}

TEST_F(RulerTest, WindowSettersDoNotClampWithoutEnabledLimits) {
  struct Case {
    const char* what;
    std::function<void(CRuler&)> change;
    double start, range;
  };
  const Case cases[] = {
      {"SetStart(-20)", [](CRuler& r) { r.SetStart(-20.0); }, -20, 0},
      {"SetRange(200)", [](CRuler& r) { r.SetRange(200.0); }, 0, 200},
      {"SetEnd(150)", [](CRuler& r) { r.SetEnd(150.0); }, 0, 150},
      {"Set(-10, 200, 0)", [](CRuler& r) { r.Set(-10.0, 200.0, 0); }, -10, 200},
  };
  for (bool withAxis : {true, false}) {
    for (const Case& c : cases) {
      CAxe axe;  // limits never given
      CRuler ruler;
      ruler.Create(L"R", withAxis ? &axe : nullptr, 0.0, 0);
      Drain();
      c.change(ruler);
      EXPECT_EQ(ruler.GetStart(), c.start) << c.what << " axis " << withAxis;
      EXPECT_EQ(ruler.GetRange(), c.range) << c.what << " axis " << withAxis;
      EXPECT_EQ(Drain(), Changed(ruler)) << c.what;
    }
  }
}

TEST_F(RulerTest, SetLimitsOverridesUntilTheNextRefresh) {
  CAxe axe;
  CRuler ruler;
  MakeRuler(ruler, axe);
  ruler.SetLimits(20.0, 40.0);
  EXPECT_TRUE(Drain().empty()) << "limits alone announce nothing";
  double lo, hi;
  ruler.GetLimits(lo, hi);
  EXPECT_EQ(lo, 20.0);
  EXPECT_EQ(hi, 40.0);
  ruler.SetStart(5.0);  // refreshes from the axis (0..100) first
  EXPECT_EQ(ruler.GetStart(), 5.0);
  ruler.GetLimits(lo, hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 100.0);
}

TEST_F(RulerTest, SetWithLimitsModeOneWritesTheLimitsIntoTheAxis) {
  CAxe axe;
  CRuler ruler;
  MakeRuler(ruler, axe);
  ruler.SetLimits(5.0, 50.0);
  ruler.Set(0.0, 100.0, 1);
  EXPECT_EQ(axe.GetStart(), 5.0);
  EXPECT_EQ(axe.GetRange(), 45.0);
  EXPECT_EQ(ruler.GetStart(), 5.0);
  EXPECT_EQ(ruler.GetRange(), 50.0) << "measured from the requested start";
  EXPECT_EQ(Drain(), Changed(ruler));

  // Mode 1 also enables the limits of an axis that had none.
  CAxe free;
  CRuler other;
  other.Create(L"R", &free, 0.0, 0);
  other.SetLimits(0.0, 10.0);
  other.Set(2.0, 20.0, 1);
  EXPECT_EQ(free.LimitsEnabled(), 1);
  EXPECT_EQ(other.GetRange(), 8.0);
}

TEST_F(RulerTest, NearlyEqualAndInvalidValuesChangeAndAnnounceNothing) {
  struct Case {
    const char* what;
    std::function<void(CRuler&)> change;
  };
  const Case cases[] = {
      {"SetStart(+1e-8)", [](CRuler& r) { r.SetStart(10.0 + 1e-8); }},
      {"SetRange(-1e-8)", [](CRuler& r) { r.SetRange(100.0 - 1e-8); }},
      {"SetEnd(+4e-8)", [](CRuler& r) { r.SetEnd(110.0 + 4e-8); }},
      {"Set(nearly)", [](CRuler& r) { r.Set(10.0 + 1e-8, 100.0 - 1e-8, 0); }},
      {"SetDisplayOffset(1e-9)", [](CRuler& r) { r.SetDisplayOffset(1e-9); }},
      {"SetCircularModulo(same)", [](CRuler& r) { r.SetCircularModulo(0); }},
      {"SetStart(NaN)", [](CRuler& r) { r.SetStart(kNaN); }},
      {"SetRange(inf)", [](CRuler& r) { r.SetRange(kInf); }},
      {"SetEnd(-inf)", [](CRuler& r) { r.SetEnd(-kInf); }},
      {"Set(NaN, 1)", [](CRuler& r) { r.Set(kNaN, 1.0, 0); }},
      {"Set(1, inf)", [](CRuler& r) { r.Set(1.0, kInf, 0); }},
      {"SetDisplayOffset(NaN)", [](CRuler& r) { r.SetDisplayOffset(kNaN); }},
      // Clamped back onto the current value: nothing changed, nothing to announce.
      {"SetStart(-1) at the lower limit",
       [](CRuler& r) {
         r.SetStart(0.0);
         Drain();
         r.SetStart(-1.0);
       }},
  };
  for (const Case& c : cases) {
    CAxe axe;
    CRuler ruler;
    MakeRuler(ruler, axe);
    const double start = ruler.GetStart();
    c.change(ruler);
    if (std::string(c.what).find("lower limit") == std::string::npos) {
      EXPECT_EQ(ruler.GetStart(), start) << c.what;
      EXPECT_EQ(ruler.GetRange(), 100.0) << c.what;
    }
    EXPECT_EQ(ruler.GetDisplayOffset(), 0.0) << c.what;
    EXPECT_TRUE(Drain().empty()) << c.what;
  }
}

TEST_F(RulerTest, DisplayOffsetAndCircularModuloAreCoupled) {
  CRuler ruler;
  ruler.Create(L"R", nullptr, 5.0, 0);
  Drain();
  ruler.SetDisplayOffset(0.0);
  EXPECT_EQ(ruler.GetCircularModulo(), 1);
  EXPECT_EQ(Drain(), Changed(ruler));
  ruler.SetCircularModulo(0);
  EXPECT_EQ(ruler.GetDisplayOffset(), 0.0);
  EXPECT_EQ(Drain(), Changed(ruler));

  ruler.SetDisplayOffset(7.0);
  EXPECT_EQ(ruler.GetCircularModulo(), 0) << "a non-zero offset leaves the modulo";
  ruler.SetCircularModulo(4);
  EXPECT_EQ(ruler.GetDisplayOffset(), 7.0);
  ruler.SetCircularModulo(0);
  EXPECT_EQ(ruler.GetDisplayOffset(), 0.0);
  EXPECT_EQ(Drain().size(), 3u);
}

TEST_F(RulerTest, Equality) {
  struct Case {
    const char* what;
    std::function<void(CRuler&)> change;
    bool equal;
  };
  const Case cases[] = {
      {"same", [](CRuler&) {}, true},
      {"limit maximum +1e-10", [](CRuler& r) { r.SetLimits(0.0, 100.0 + 1e-10); }, true},
      {"display offset +1e-10", [](CRuler& r) { r.Create(L"Scan", r.GetAxe(), 1.0 + 1e-10, 1); },
       false},
      {"range", [](CRuler& r) { r.SetRange(5.0); }, false},
      {"limits", [](CRuler& r) { r.SetLimits(0.0, 90.0); }, false},
      {"modulo", [](CRuler& r) { r.SetCircularModulo(2); }, false},
      {"draw ticks", [](CRuler& r) { r.SetDrawTicksState(0); }, false},
      {"name", [](CRuler& r) { r.Create(L"Other", r.GetAxe(), 1.0, 1); }, false},
      {"no name", [](CRuler& r) { r.Create(nullptr, r.GetAxe(), 1.0, 1); }, false},
  };
  for (const Case& c : cases) {
    CAxe axe;
    axe.Create(L"Scan", std_none, 0.0, 100.0);
    CRuler a, b;
    a.Create(L"Scan", &axe, 1.0, 1);
    b.Create(L"Scan", &axe, 1.0, 1);
    c.change(b);
    EXPECT_EQ(a == b, c.equal) << c.what;
    EXPECT_EQ(b == a, c.equal) << c.what;
  }
  // Starts 1e-10 apart are the same start.
  CAxe axe, shifted;
  axe.Create(L"Scan", std_none, 0.0, 100.0);
  shifted.Create(L"Scan", std_none, 1e-10, 100.0);
  CRuler a, b;
  a.Create(L"Scan", &axe, 1.0, 1);
  b.Create(L"Scan", &shifted, 1.0, 1);
  ASSERT_NE(a.GetStart(), b.GetStart());
  EXPECT_TRUE(a == b);

  CRuler unnamedA, unnamedB;
  EXPECT_TRUE(unnamedA == unnamedB) << "two missing names are equal";
  EXPECT_TRUE(unnamedA == unnamedA);
}

TEST_F(RulerTest, AssignmentCopiesAllButTheIdentityAndAnnouncesNothing) {
  CAxe axe;
  axe.Create(L"Scan", std_none, 0.0, 100.0);
  CRuler a, b;
  a.Create(L"Scan", &axe, 3.0, 2);
  a.SetStart(10.0);
  a.SetLimits(1.0, 2.0);
  a.SetDrawTicksState(0);
  Drain();
  b = a;
  EXPECT_TRUE(Drain().empty());
  EXPECT_TRUE(a == b);
  EXPECT_NE(a.GetID(), b.GetID());
  EXPECT_EQ(b.GetAxe(), &axe);
  EXPECT_STREQ(b.GetName(), L"Scan");
  EXPECT_NE(b.GetName(), a.GetName()) << "an own copy of the name";
  b = b;
  EXPECT_TRUE(a == b);
}

// Comparison and assignment in opposite directions on two threads must not deadlock.
TEST_F(RulerTest, CrossedComparisonAndAssignmentOnTwoThreads) {
  CRuler a, b;
  a.Create(L"A", nullptr, 0.0, 0);
  b.Create(L"B", nullptr, 0.0, 0);
  constexpr int kRounds = 20000;
  std::atomic<int> equalSeen{0};
  auto work = [&](CRuler& x, CRuler& y) {
    for (int i = 0; i < kRounds; ++i) {
      if (x == y) equalSeen.fetch_add(1, std::memory_order_relaxed);
      if (i % 8 == 0) x = y;
      x.SetStart(static_cast<double>(i % 50));
    }
  };
  std::thread t1(work, std::ref(a), std::ref(b));
  std::thread t2(work, std::ref(b), std::ref(a));
  t1.join();
  t2.join();
  EXPECT_GE(equalSeen.load(), 0);
  Drain();
}

TEST(RulerClassTest, CreatableByClassName) {
  for (const char* name : {"CRuler", "CRulerEx"}) {
    std::unique_ptr<CObject> object(CRuntimeClass::CreateObject(name));
    ASSERT_NE(object, nullptr) << name;
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CRuler))) << name;
  }
  std::unique_ptr<CObject> ex(CRuntimeClass::CreateObject(L"CRulerEx"));
  ASSERT_NE(ex, nullptr);
  EXPECT_TRUE(ex->IsKindOf(RUNTIME_CLASS(CRulerEx)));
  EXPECT_FALSE(CRuler().IsKindOf(RUNTIME_CLASS(CRulerEx)));
}

TEST(RulerExTest, InfoDefaultsAndCopies) {
  CRulerEx r;
  vset_groupId id(1, 2, 3, 4, 5);
  zel_enumAxis axis = zel_scan;
  CVolumeSet* set = reinterpret_cast<CVolumeSet*>(&id);
  r.GetInfo(&id, &axis, &set);
  EXPECT_EQ(id.value1, 6u);
  EXPECT_EQ(id.value2, 0u);
  EXPECT_EQ(axis, zel_noAxis);
  EXPECT_EQ(set, nullptr);
  EXPECT_EQ(r.GetRefCount(), 1);
  r.GetInfo(nullptr, nullptr, nullptr);  // null outputs are skipped

  const vset_groupId mine(3, 1, 1, 1, 9);
  r.SetInfo(&mine, zel_index, nullptr);
  CRulerEx copy;
  copy = r;
  copy.GetInfo(&id, &axis, nullptr);
  EXPECT_EQ(id.value1, 3u);
  EXPECT_EQ(id.value5, 9u);
  EXPECT_EQ(axis, zel_index);
}

}  // namespace
