// Behaviour of the event service as its clients see it: which deliveries arrive, when (in
// tick passes), with which parameters, on which thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"
#include "platform/sync.h"
#include "tests/support/event_recorder.h"
#include "tests/support/event_wait.h"

namespace {

using quarlen::detail::event_RunPass;
using quarlen::test::Delivery;
using quarlen::test::EventServiceFixture;
using quarlen::test::Recorder;
using quarlen::test::WaitForTickPasses;
using W = std::vector<std::uintptr_t>;

constexpr unsigned kDelay100 = event_libraryControl;

// The service without its tick thread: the test runs every pass itself, so counts per pass are
// exact.
class ManualPasses : public ::testing::Test {
 protected:
  void SetUp() override { quarlen::detail::event_InitManual(); }
  void TearDown() override {
    quarlen::detail::event_SetMessageHook(nullptr);
    event_Terminate();
  }
};

// --- Modes, pass by pass ---------------------------------------------------------------

struct PassStep {
  W send;       // wParams sent (event 1619, flag word 0x2000000) before the pass
  W delivered;  // wParams delivered during the pass, in order
};
struct ModeCase {
  std::string name;
  unsigned control;
  std::vector<PassStep> passes;
};

class EventModes : public ManualPasses, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(EventModes, DeliversPassByPass) {
  const ModeCase& c = GetParam();
  Recorder rec;
  ASSERT_NE(rec.Register(), 0u);
  ASSERT_NE(
      event_RegisterEvent(event_positionChanged, rec.key(), c.control, 0, event_any, 0, event_any),
      0u);
  for (std::size_t p = 0; p < c.passes.size(); ++p) {
    for (std::uintptr_t w : c.passes[p].send) event_Send(event_positionChanged, w, w, 0x2000000);
    EXPECT_TRUE(rec.TakeW().empty()) << "delivered inside event_Send, before pass " << p + 1;
    event_RunPass();
    EXPECT_EQ(rec.TakeW(), c.passes[p].delivered) << "pass " << p + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, EventModes,
    ::testing::Values(
        // A burst within one pass reaches a delay registration once, with the latest values.
        ModeCase{"Delay100", 0x40000064, {{{1, 2, 3}, {3}}, {{}, {}}, {{4}, {4}}}},
        ModeCase{"Delay200", 0x400000C8, {{{1}, {}}, {{2}, {2}}, {{}, {}}}},
        // Periods between multiples of 100 round up: 150 behaves as 200.
        ModeCase{"Delay150", 0x40000096, {{{1}, {}}, {{}, {1}}, {{}, {}}}},
        ModeCase{"Delay0", 0x40000000, {{{1, 2}, {2}}, {{}, {}}}},
        ModeCase{"DelayAccumulate", 0x40800064, {{{0x1, 0x2}, {0x3}}, {{0x4}, {0x4}}}},
        ModeCase{"DelayReplaceWithoutAccumulate", 0x40000064, {{{0x1, 0x2}, {0x2}}}},
        // Throttle: first at once, the rest of the quiet period coalesced at its end, then
        // quiet again until a new event comes.
        ModeCase{"Throttle300",
                 0x2000012C,
                 {{{1}, {1}}, {{2, 3}, {}}, {{}, {3}}, {{}, {}}, {{}, {}}, {{}, {}}, {{4}, {4}}}},
        // With a quiet period of one pass, what came after the first event still goes out at
        // the end of the same pass.
        ModeCase{"Throttle100", 0x20000064, {{{1, 2}, {1, 2}}, {{3}, {3}}, {{}, {}}, {{4}, {4}}}},
        // Category modes deliver every accepted event, one by one, in the tick pass.
        ModeCase{"CategoryAll", 0x00000000, {{{1, 2}, {1, 2}}, {{}, {}}}},
        ModeCase{"CategoryObject", 0x02000000, {{{5}, {5}}}},
        ModeCase{"CategoryRulerIgnoresPositions", 0x04000000, {{{5}, {}}}},
        ModeCase{"CategoryUnknownAcceptsNothing", 0x03000000, {{{5}, {}}}}),
    [](const auto& info) { return info.param.name; });

TEST_F(ManualPasses, AccumulateOrsBothParameters) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_rulerChanged, rec.key(), 0x40800064, 0, event_any, 0, event_any);
  event_Send(event_rulerChanged, 0x1, 0x10, 0x4000000);
  event_Send(event_rulerChanged, 0x2, 0x20, 0x4000000);
  event_RunPass();
  const auto got = rec.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].w, 0x3u);
  EXPECT_EQ(got[0].l, 0x30u);
  EXPECT_EQ(got[0].msg, unsigned{event_rulerChanged});
}

TEST_F(ManualPasses, TenRulerChangesGiveOneDeliveryPerRegistrationWithTheLatestValues) {
  constexpr std::uintptr_t kRuler = 0x1234, kOtherRuler = 0x999;
  Recorder views[3], other;
  for (Recorder& v : views) {
    v.Register();
    event_RegisterEvent(event_rulerChanged, v.key(), kDelay100, 0, kRuler, 0, event_any);
  }
  other.Register();
  event_RegisterEvent(event_rulerChanged, other.key(), kDelay100, 0, kOtherRuler, 0, event_any);
  for (std::uintptr_t i = 1; i <= 10; ++i) event_Send(event_rulerChanged, kRuler, i, 0x4000000);
  event_RunPass();
  for (Recorder& v : views) {
    const auto got = v.Take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].w, kRuler);
    EXPECT_EQ(got[0].l, 10u);
  }
  EXPECT_EQ(other.Count(), 0u);
  event_RunPass();
  for (Recorder& v : views) EXPECT_EQ(v.Count(), 0u);
}

// --- Synchronous registrations ----------------------------------------------------------

class EventService : public EventServiceFixture {};

TEST_F(EventService, SyncIsCalledInsideSendAndNeverByTheTickThread) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_objectModified, rec.key(), event_modeSync, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 7, 8, 0x2000000);
  auto got = rec.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].thread, std::this_thread::get_id());
  EXPECT_EQ(got[0].w, 7u);
  EXPECT_EQ(got[0].l, 8u);
  ASSERT_TRUE(WaitForTickPasses(2));
  EXPECT_EQ(rec.Count(), 0u);
}

TEST_F(EventService, DeferredDeliveriesRunOnTheTickThread) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_objectModified, rec.key(), kDelay100, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 2, 0x2000000);
  EXPECT_EQ(rec.Count(), 0u);
  ASSERT_TRUE(WaitForTickPasses(1));
  const auto got = rec.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_NE(got[0].thread, std::this_thread::get_id());
  EXPECT_EQ(got[0].l, 2u);
}

TEST_F(ManualPasses, SyncTimerIsNeverDelivered) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_timer, rec.key(), event_modeSync, 0, event_any, 0, event_any);
  for (int i = 0; i < 5; ++i) event_RunPass();
  EXPECT_EQ(rec.Count(), 0u);
}

// --- Filters, categories, sender key ---------------------------------------------------

struct FilterCase {
  std::string name;
  std::uintptr_t wMask, wValue, lMask, lValue;
  std::uintptr_t w, l;
  bool accepted;
};

class EventFilters : public EventServiceFixture,
                     public ::testing::WithParamInterface<FilterCase> {};

TEST_P(EventFilters, AcceptOrReject) {
  const FilterCase& c = GetParam();
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_positionChanged, rec.key(), event_modeSync, c.wMask, c.wValue, c.lMask,
                      c.lValue);
  event_Send(event_positionChanged, c.w, c.l, 0x2000000);
  EXPECT_EQ(rec.Count(), c.accepted ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    All, EventFilters,
    ::testing::Values(FilterCase{"AnyAny", 0, event_any, 0, event_any, 0xDEAD, 0xBEEF, true},
                      FilterCase{"MaskedMatch", 0xFF, 0x12, 0, event_any, 0x312, 0, true},
                      FilterCase{"MaskedMismatch", 0xFF, 0x12, 0, event_any, 0x313, 0, false},
                      FilterCase{"ExactMatch", 0, 0x55, 0, event_any, 0x55, 1, true},
                      FilterCase{"ExactMismatch", 0, 0x55, 0, event_any, 0x56, 1, false},
                      FilterCase{"LParamMatch", 0, event_any, 0xF0, 0x30, 9, 0x135, true},
                      FilterCase{"LParamMismatch", 0, event_any, 0xF0, 0x30, 9, 0x145, false},
                      FilterCase{"BothMustMatch", 0, 1, 0, 2, 1, 3, false}),
    [](const auto& info) { return info.param.name; });

struct CategoryCase {
  std::string name;
  unsigned category;
  unsigned flags;
  bool accepted;
};

class EventCategories : public ManualPasses, public ::testing::WithParamInterface<CategoryCase> {};

TEST_P(EventCategories, AcceptOrReject) {
  const CategoryCase& c = GetParam();
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_rulerChanged, rec.key(), c.category, 0, event_any, 0, event_any);
  event_Send(event_rulerChanged, 1, 1, c.flags);
  event_RunPass();
  EXPECT_EQ(rec.Count(), c.accepted ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    All, EventCategories,
    ::testing::Values(CategoryCase{"RulerGetsRulerEvents", 0x4000000, 0x4000000, true},
                      CategoryCase{"RulerIgnoresPositionEvents", 0x4000000, 0x2000000, false},
                      CategoryCase{"ObjectGetsObjectEvents", 0x2000000, 0x2000000, true},
                      CategoryCase{"Category1", 0x1000000, 0x1000000, true},
                      CategoryCase{"Category1IgnoresUnflagged", 0x1000000, 0, false},
                      CategoryCase{"ZeroGetsEverything", 0, 0, true},
                      CategoryCase{"ZeroGetsFlagged", 0, 0x4000000, true},
                      CategoryCase{"MixedCategoryGetsNothing", 0x6000000, 0x6000000, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(EventService, SenderKeyExcludesOnlyThatClient) {
  Recorder a, b;
  a.Register();
  b.Register();
  for (Recorder* r : {&a, &b})
    event_RegisterEvent(event_rulerChanged, r->key(), event_modeSync, 0, event_any, 0, event_any);
  event_Send(event_rulerChanged, 1, 1, 0x4000000 | a.key());
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(b.Count(), 1u);
}

TEST_F(ManualPasses, UrgentEventBypassesTheDelay) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_positionChanged, rec.key(), 0x400001F4, 0, event_any, 0, event_any);
  event_Send(event_positionChanged, 5, 5, event_flagUrgent);
  event_RunPass();
  EXPECT_EQ(rec.TakeW(), W{5});
}

TEST_F(EventService, KernelEventClientIsSetByTheTickThread) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(event), nullptr,
                                            nullptr, event_kindKernelEvent);
  event_RegisterEvent(event_positionLog, key, kDelay100, 0, event_any, 0, event_any);
  ASSERT_TRUE(WaitForTickPasses(1));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  event_Send(event_positionLog, 1, 1, 0x2000000);
  ASSERT_TRUE(WaitForTickPasses(1));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  event_UnregisterClient(key);
  CloseHandle(event);
}

// --- Timers ------------------------------------------------------------------------------

struct TimerCase {
  std::string name;
  unsigned control;
  std::vector<int> firedAt;  // passes 1 to 12
};

class Timers : public ManualPasses, public ::testing::WithParamInterface<TimerCase> {};

// A timer fires at the first pass after it is registered, then whenever its countdown (reduced
// by 100 each pass, never below 0) has run out.
TEST_P(Timers, FireAtTheirPasses) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_timer, rec.key(), GetParam().control, 0, event_any, 0, event_any);
  std::vector<int> firedAt;
  for (int pass = 1; pass <= 12; ++pass) {
    event_RunPass();
    for (const Delivery& d : rec.Take()) {
      EXPECT_EQ(d.msg, unsigned{event_timer});
      firedAt.push_back(pass);
    }
  }
  EXPECT_EQ(firedAt, GetParam().firedAt);
}

INSTANTIATE_TEST_SUITE_P(
    All, Timers,
    ::testing::Values(TimerCase{"Period300", 300, {1, 5, 9}},
                      TimerCase{"Period250ActsAs300", 250, {1, 5, 9}},
                      TimerCase{"Period100", 100, {1, 3, 5, 7, 9, 11}},
                      TimerCase{"Period0", 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                      TimerCase{"DelayControlWord", event_libraryControl, {1, 3, 5, 7, 9, 11}}),
    [](const auto& info) { return info.param.name; });

TEST_F(EventService, TimerOnTheTickThreadKeepsItsRhythm) {
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_timer, rec.key(), 300, 0, event_any, 0, event_any);
  ASSERT_TRUE(WaitForTickPasses(10));
  const auto got = rec.Take();
  ASSERT_GE(got.size(), 2u);
  for (std::size_t i = 1; i < got.size(); ++i) EXPECT_EQ(got[i].pass - got[i - 1].pass, 4u);
}

// --- Clients and registrations ----------------------------------------------------------

TEST_F(EventService, ClientKeysWrapAfter65535AndSkipLiveKeys) {
  quarlen::detail::event_SetNextClientKey(65534);
  Recorder a, b, c, d;
  EXPECT_EQ(a.Register(), 65534u);
  EXPECT_EQ(b.Register(), 65535u);
  EXPECT_EQ(c.Register(), 1u);
  quarlen::detail::event_SetNextClientKey(65534);
  EXPECT_EQ(d.Register(), 2u);
}

TEST_F(EventService, RegisterEventRejectsBadArguments) {
  Recorder rec;
  rec.Register();
  EXPECT_EQ(event_RegisterEvent(1616, rec.key(), kDelay100, 0, event_any, 0, event_any), 0u);
  EXPECT_EQ(event_RegisterEvent(1633, rec.key(), kDelay100, 0, event_any, 0, event_any), 0u);
  EXPECT_EQ(event_RegisterEvent(event_timer, 0, kDelay100, 0, event_any, 0, event_any), 0u);
  EXPECT_EQ(event_RegisterEvent(event_timer, rec.key() + 1, kDelay100, 0, event_any, 0, event_any),
            0u);
  const unsigned first = event_RegisterEvent(event_last, rec.key(), 0, 0, event_any, 0, 0);
  const unsigned second = event_RegisterEvent(event_first, rec.key(), 0, 0, event_any, 0, 0);
  EXPECT_NE(first, 0u);
  EXPECT_GT(second, first);
}

TEST(EventServiceStopped, CallsBeforeInitDoNothing) {
  EXPECT_EQ(event_RegisterClient(0, nullptr, nullptr, event_kindCallback4), 0u);
  EXPECT_EQ(event_RegisterEvent(event_timer, 1, kDelay100, 0, event_any, 0, event_any), 0u);
  event_Send(event_timer, 1, 2, 0);
  event_UnregisterClient(1);
  event_UnregisterEvent(event_timer, 1);
  EXPECT_EQ(event_DrainMainThreadQueue(), 0u);
  EXPECT_EQ(quarlen::detail::event_QueuedMessageCount(), 0u);
  EXPECT_EQ(event_Tick(nullptr), 0u);
}

TEST_F(ManualPasses, UnregisteringUnknownIdsChangesNothing) {
  Recorder rec;
  rec.Register();
  const unsigned id =
      event_RegisterEvent(event_positionChanged, rec.key(), 0, 0, event_any, 0, event_any);
  event_UnregisterEvent(event_positionChanged, id + 100);
  event_UnregisterEvent(event_rulerChanged, id);
  event_UnregisterEvent(5000, id);
  event_UnregisterClient(0);
  event_UnregisterClient(rec.key() + 1);
  event_Send(event_positionChanged, 1, 1, 0);
  event_RunPass();
  EXPECT_EQ(rec.TakeW(), W{1});
  event_UnregisterEvent(event_positionChanged, id);
  event_Send(event_positionChanged, 1, 1, 0);
  event_RunPass();
  EXPECT_EQ(rec.Count(), 0u);
}

TEST_F(ManualPasses, UnregisterEventKeepsTheOrderOfTheOthers) {
  Recorder rec;
  rec.Register();
  unsigned ids[4];
  for (std::uintptr_t i = 0; i < 4; ++i)
    ids[i] = event_RegisterEvent(event_positionChanged, rec.key(), 0, 0, event_any, 0, event_any);
  event_UnregisterEvent(event_positionChanged, ids[1]);
  event_Send(event_positionChanged, 1, 1, 0);
  event_RunPass();
  EXPECT_EQ(rec.Count(), 3u);
}

TEST_F(ManualPasses, ClientTableGrowsPastItsFirstFiftySlots) {
  std::vector<Recorder> recs(120);
  for (Recorder& r : recs) {
    ASSERT_NE(r.Register(), 0u);
    event_RegisterEvent(event_positionChanged, r.key(), kDelay100, 0, event_any, 0, event_any);
  }
  event_Send(event_positionChanged, 3, 4, 0);
  event_RunPass();
  for (Recorder& r : recs) EXPECT_EQ(r.Count(), 1u);
}

// --- Life cycle ------------------------------------------------------------------------

TEST(EventServiceLifeCycle, TerminateTwiceAndRestart) {
  for (int round = 0; round < 3; ++round) {
    event_Init();
    event_Init();  // no effect
    Recorder rec;
    ASSERT_NE(rec.Register(), 0u);
    event_RegisterEvent(event_objectModified, rec.key(), kDelay100, 0, event_any, 0, event_any);
    event_Send(event_objectModified, round, round, 0);
    ASSERT_TRUE(WaitForTickPasses(1)) << "round " << round;
    EXPECT_EQ(rec.TakeW(), W{static_cast<std::uintptr_t>(round)});
    event_Terminate();
    event_Terminate();  // returns at once
    EXPECT_EQ(event_RegisterClient(0, nullptr, &Recorder::Call, event_kindCallback4), 0u);
    event_Send(event_objectModified, 1, 1, 0);  // dropped
    EXPECT_FALSE(WaitForTickPasses(1));
  }
}

TEST(EventServiceLifeCycle, TerminateWhileSendersRun) {
  event_Init();
  Recorder rec;
  rec.Register();
  event_RegisterEvent(event_objectModified, rec.key(), kDelay100, 0, event_any, 0, event_any);
  std::atomic<bool> stop{false};
  std::vector<std::thread> senders;
  for (int t = 0; t < 2; ++t) {
    senders.emplace_back([&] {
      for (std::uintptr_t i = 0; !stop.load(); ++i) event_Send(event_objectModified, i, i, 0);
    });
  }
  ASSERT_TRUE(WaitForTickPasses(2));
  event_Terminate();
  stop = true;
  for (std::thread& t : senders) t.join();
  EXPECT_GT(rec.Count(), 0u);
  EXPECT_EQ(quarlen::detail::event_QueuedMessageCount(), 0u);
}

std::atomic<bool> gWaitInsideDelivery{true};
void StopFromInside(void*, unsigned, std::uintptr_t, std::uintptr_t) {
  event_Terminate();  // ignored: the pass running this receiver could never end
  event_Init();
  gWaitInsideDelivery = WaitForTickPasses(1);  // refused for the same reason
}

TEST_F(EventService, TerminateFromInsideADeliveryIsIgnored) {
  const unsigned key = event_RegisterClient(0, nullptr, &StopFromInside, event_kindCallback4);
  event_RegisterEvent(event_objectModified, key, kDelay100, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, 0);
  ASSERT_TRUE(WaitForTickPasses(2));
  EXPECT_FALSE(gWaitInsideDelivery.load());
  Recorder rec;
  EXPECT_NE(rec.Register(), 0u);  // still running
}

// --- Unregistering while deliveries run -----------------------------------------------

struct BlockingReceiver {
  std::promise<void> firstCall;
  std::atomic<bool> firstCallSeen{false};
  std::atomic<bool> release{false};
  std::atomic<bool> unregistered{false};
  std::atomic<int> callsAfterUnregister{0};
  std::atomic<int> calls{0};

  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* self = static_cast<BlockingReceiver*>(target);
    if (self->unregistered.load()) ++self->callsAfterUnregister;
    ++self->calls;
    if (!self->firstCallSeen.exchange(true)) {
      self->firstCall.set_value();
      while (!self->release.load()) std::this_thread::yield();
    }
  }
};

TEST_F(EventService, ReceiverIsNeverCalledAfterUnregisterClientReturns) {
  BlockingReceiver rx;
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&rx), nullptr,
                                            &BlockingReceiver::Call, event_kindCallback4);
  // A timer every pass and several registrations for the same events: the pass that is
  // running when unregistering starts has more deliveries for this client after the first.
  event_RegisterEvent(event_timer, key, 0, 0, event_any, 0, event_any);
  for (int i = 0; i < 3; ++i)
    event_RegisterEvent(event_objectModified, key, kDelay100, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, 0);
  rx.firstCall.get_future().wait();  // the tick thread is inside the receiver, lock held
  std::thread unregister([&] {
    event_UnregisterClient(key);
    rx.unregistered = true;
  });
  rx.release = true;
  unregister.join();
  ASSERT_TRUE(WaitForTickPasses(3));
  EXPECT_EQ(rx.callsAfterUnregister.load(), 0);
  EXPECT_GE(rx.calls.load(), 1);
}

TEST_F(EventService, ReceiverIsNeverCalledAfterUnregisterEventReturns) {
  BlockingReceiver rx;
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&rx), nullptr,
                                            &BlockingReceiver::Call, event_kindCallback4);
  const unsigned timer = event_RegisterEvent(event_timer, key, 0, 0, event_any, 0, event_any);
  rx.firstCall.get_future().wait();
  std::thread unregister([&] {
    event_UnregisterEvent(event_timer, timer);
    rx.unregistered = true;
  });
  rx.release = true;
  unregister.join();
  ASSERT_TRUE(WaitForTickPasses(3));
  EXPECT_EQ(rx.callsAfterUnregister.load(), 0);
}

struct SelfRemover {
  unsigned key = 0;
  int calls = 0;
  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* self = static_cast<SelfRemover*>(target);
    ++self->calls;
    event_UnregisterClient(self->key);
  }
};

TEST_F(ManualPasses, ReceiverUnregisteringItselfGetsNothingMoreInThatPass) {
  SelfRemover self;
  Recorder after;
  self.key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&self), nullptr,
                                  &SelfRemover::Call, event_kindCallback4);
  for (int i = 0; i < 3; ++i)
    event_RegisterEvent(event_objectModified, self.key, kDelay100, 0, event_any, 0, event_any);
  after.Register();
  event_RegisterEvent(event_objectModified, after.key(), kDelay100, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, 0);
  event_RunPass();
  EXPECT_EQ(self.calls, 1);
  EXPECT_EQ(after.Count(), 1u);  // the pass went on with the registrations left
}

struct Grower {
  unsigned number = event_objectModified;
  Recorder* late = nullptr;
  bool done = false;
  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* self = static_cast<Grower*>(target);
    if (self->done) return;
    self->done = true;
    for (int i = 0; i < 25; ++i)  // the table grows (and moves) under the running pass
      event_RegisterEvent(self->number, self->late->key(), 0, 0, event_any, 0, event_any);
  }
};

TEST_F(ManualPasses, RegistrationsAddedDuringAPassAreSafeAndServed) {
  Grower grower;
  Recorder late;
  late.Register();
  grower.late = &late;
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&grower), nullptr,
                                            &Grower::Call, event_kindCallback4);
  event_RegisterEvent(event_objectModified, key, 0, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, 0);
  event_RunPass();
  late.Take();
  event_Send(event_objectModified, 2, 2, 0);
  event_RunPass();
  EXPECT_EQ(late.Count(), 25u);
}

struct Echo {
  int calls = 0;
  static void Call(void* target, unsigned msg, std::uintptr_t w, std::uintptr_t l) {
    ++static_cast<Echo*>(target)->calls;
    event_Send(msg, w + 1, l, 0);  // answers every delivery with a new event
  }
};

TEST_F(ManualPasses, ReceiverFeedbackLoopCannotHoldAPassForever) {
  Echo echo;
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&echo), nullptr,
                                            &Echo::Call, event_kindCallback4);
  event_RegisterEvent(event_objectModified, key, 0, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 0, 0, 0);
  event_RunPass();  // returns
  const int firstPass = echo.calls;
  EXPECT_GT(firstPass, 1);    // answers were taken in the same pass...
  EXPECT_LT(firstPass, 100);  // ...for a bounded number of rounds
  event_RunPass();
  EXPECT_GT(echo.calls, firstPass);  // and the chain goes on in the next pass
  event_UnregisterClient(key);
  event_RunPass();
  EXPECT_EQ(quarlen::detail::event_QueuedMessageCount(), 0u);
}

// --- Failed deliveries ------------------------------------------------------------------

// A window that refuses messages until told otherwise.
std::atomic<bool> gWindowAccepts{false};
std::atomic<int> gWindowMessages{0};
std::atomic<std::uintptr_t> gWindowLastW{0};
bool FakeWindow(unsigned kind, std::uintptr_t, unsigned, std::uintptr_t w, std::uintptr_t) {
  if (kind != event_kindWindow || !gWindowAccepts.load()) return false;
  ++gWindowMessages;
  gWindowLastW = w;
  return true;
}

struct RetryCase {
  std::string name;
  unsigned control;
  unsigned flags;
};

class FailedDeliveries : public ManualPasses, public ::testing::WithParamInterface<RetryCase> {};

// Every deferred mode keeps a delivery the window refused and retries it each pass until the
// window takes it; newer events meanwhile replace the kept parameters.
TEST_P(FailedDeliveries, AreRetriedEveryPassUntilTheyGetThrough) {
  const RetryCase& c = GetParam();
  gWindowAccepts = false;
  gWindowMessages = 0;
  quarlen::detail::event_SetMessageHook(&FakeWindow);
  const unsigned key = event_RegisterClient(0x42, nullptr, nullptr, event_kindWindow);
  event_RegisterEvent(event_objectModified, key, c.control, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, c.flags);
  event_RunPass();
  event_RunPass();
  EXPECT_EQ(gWindowMessages.load(), 0);
  event_Send(event_objectModified, 2, 2, c.flags & ~event_flagUrgent);
  event_RunPass();
  gWindowAccepts = true;
  event_RunPass();
  EXPECT_EQ(gWindowMessages.load(), 1);
  EXPECT_EQ(gWindowLastW.load(), 2u);
  event_RunPass();
  event_RunPass();
  EXPECT_EQ(gWindowMessages.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(All, FailedDeliveries,
                         ::testing::Values(RetryCase{"Delay", kDelay100, 0x2000000},
                                           RetryCase{"Category", 0x2000000, 0x2000000},
                                           RetryCase{"UrgentOnDelay", kDelay100, event_flagUrgent},
                                           RetryCase{"UrgentOnCategory", 0, event_flagUrgent}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ManualPasses, FailedSyncDeliveryIsNotRetriedByTheTickThread) {
  gWindowAccepts = false;
  gWindowMessages = 0;
  quarlen::detail::event_SetMessageHook(&FakeWindow);
  const unsigned key = event_RegisterClient(0x42, nullptr, nullptr, event_kindWindow);
  event_RegisterEvent(event_objectModified, key, event_modeSync, 0, event_any, 0, event_any);
  event_Send(event_objectModified, 1, 1, 0);
  gWindowAccepts = true;
  event_RunPass();
  event_RunPass();
  EXPECT_EQ(gWindowMessages.load(), 0);
  event_Send(event_objectModified, 2, 2, 0);
  EXPECT_EQ(gWindowMessages.load(), 1);
}

// --- Main-thread queue -----------------------------------------------------------------

std::atomic<int> gMainCalls{0};
std::thread::id gMainThread;
std::uintptr_t gMainLastW = 0;
void MainThreadCallback(unsigned msg, std::uintptr_t w, std::uintptr_t) {
  EXPECT_EQ(msg, unsigned{event_positionChanged});
  ++gMainCalls;
  gMainThread = std::this_thread::get_id();
  gMainLastW = w;
}

TEST_F(ManualPasses, MainThreadClientsAreServedByTheDrainInTheCallingThread) {
  gMainCalls = 0;
  const unsigned key = event_RegisterClient(0, &MainThreadCallback, nullptr,
                                            event_kindMainThread | event_kindCallback3);
  event_RegisterEvent(event_positionChanged, key, kDelay100, 0, event_any, 0, event_any);
  event_Send(event_positionChanged, 9, 9, 0);
  event_RunPass();
  EXPECT_EQ(gMainCalls.load(), 0);
  EXPECT_EQ(event_DrainMainThreadQueue(), 1u);
  EXPECT_EQ(gMainCalls.load(), 1);
  EXPECT_EQ(gMainThread, std::this_thread::get_id());
  EXPECT_EQ(gMainLastW, 9u);
  EXPECT_EQ(event_DrainMainThreadQueue(), 0u);
}

TEST_F(ManualPasses, MainThreadEntriesOfAnUnregisteredClientAreDropped) {
  gMainCalls = 0;
  const unsigned key = event_RegisterClient(0, &MainThreadCallback, nullptr,
                                            event_kindMainThread | event_kindCallback3);
  event_RegisterEvent(event_positionChanged, key, kDelay100, 0, event_any, 0, event_any);
  event_Send(event_positionChanged, 9, 9, 0);
  event_RunPass();
  event_UnregisterClient(key);
  EXPECT_EQ(event_DrainMainThreadQueue(), 0u);
  EXPECT_EQ(gMainCalls.load(), 0);
}

TEST_F(ManualPasses, MainThreadQueueGrowsWithoutLosingEntries) {
  gMainCalls = 0;
  const unsigned key = event_RegisterClient(0, &MainThreadCallback, nullptr,
                                            event_kindMainThread | event_kindCallback3);
  event_RegisterEvent(event_positionChanged, key, 0, 0, event_any, 0, event_any);
  for (std::uintptr_t i = 0; i < 75; ++i) event_Send(event_positionChanged, i, i, 0);
  event_RunPass();
  EXPECT_EQ(event_DrainMainThreadQueue(), 75u);
  EXPECT_EQ(gMainCalls.load(), 75);
  EXPECT_EQ(gMainLastW, 74u);
}

}  // namespace
