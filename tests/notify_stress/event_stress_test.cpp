// The event service under load: several threads send while others register and unregister.
// Run under ThreadSanitizer by `./run test --sanitize`.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

#include "notify/event_service.h"
#include "tests/support/event_wait.h"

namespace {

constexpr int kSenders = 4;
constexpr std::uintptr_t kEventsPerSender = 100000;
constexpr int kWatchersPerSender = 2;

// Watches the events of one sender with a delay registration.
struct Watcher {
  std::atomic<std::uintptr_t> last{0};
  std::atomic<int> deliveries{0};
  std::atomic<int> outOfOrder{0};
  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t l) {
    auto* self = static_cast<Watcher*>(target);
    if (l < self->last.load()) ++self->outOfOrder;
    self->last = l;
    ++self->deliveries;
  }
};

// A short-lived client of the churn thread; it must never hear anything once unregistered.
struct Transient {
  std::atomic<bool> gone{false};
  std::atomic<int> callsAfterGone{0};
  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* self = static_cast<Transient*>(target);
    if (self->gone.load()) ++self->callsAfterGone;
  }
};

std::atomic<int> gSyncCalls{0};
void SyncCall(unsigned, std::uintptr_t, std::uintptr_t) { ++gSyncCalls; }

TEST(EventStress, SendersRegistrationsAndUnregistrationsAtOnce) {
  quarlen::test::EventServiceEnvironment service;
  service.SetUp();

  Watcher watchers[kSenders][kWatchersPerSender];
  for (int s = 0; s < kSenders; ++s) {
    for (Watcher& w : watchers[s]) {
      const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&w), nullptr,
                                                &Watcher::Call, event_kindCallback4);
      ASSERT_NE(key, 0u);
      ASSERT_NE(event_RegisterEvent(event_positionChanged, key, event_libraryControl, 0,
                                    static_cast<std::uintptr_t>(s + 1), 0, event_any),
                0u);
    }
  }
  const unsigned syncKey = event_RegisterClient(0, &SyncCall, nullptr, event_kindCallback3);
  event_RegisterEvent(event_positionChanged, syncKey, event_modeSync, 0, 1, 0, event_any);

  std::atomic<int> sendersDone{0};
  std::deque<Transient> transients;  // stable addresses
  int churnRounds = 0;
  std::thread churn([&] {
    while (sendersDone.load() < kSenders) {
      Transient& t = transients.emplace_back();
      const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&t), nullptr,
                                                &Transient::Call, event_kindCallback4);
      event_RegisterEvent(event_positionChanged, key, event_libraryControl, 0, event_any, 0,
                          event_any);
      event_RegisterEvent(event_positionChanged, key, 0x2000000, 0, event_any, 0, event_any);
      event_RegisterEvent(event_timer, key, 0, 0, event_any, 0, event_any);
      const unsigned extra =
          event_RegisterEvent(event_objectModified, key, 0x20000064, 0, event_any, 0, event_any);
      event_UnregisterEvent(event_objectModified, extra);
      if (churnRounds % 8 == 0) quarlen::test::WaitForTickPasses(1);
      event_UnregisterClient(key);
      t.gone = true;
      ++churnRounds;
    }
  });

  std::vector<std::thread> senders;
  for (int s = 0; s < kSenders; ++s) {
    senders.emplace_back([s, &sendersDone] {
      for (std::uintptr_t i = 1; i <= kEventsPerSender; ++i)
        event_Send(event_positionChanged, static_cast<std::uintptr_t>(s + 1), i, 0x2000000);
      ++sendersDone;
    });
  }
  for (std::thread& t : senders) t.join();
  churn.join();
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(2));

  for (int s = 0; s < kSenders; ++s) {
    for (Watcher& w : watchers[s]) {
      EXPECT_EQ(w.last.load(), kEventsPerSender) << "sender " << s;
      EXPECT_GE(w.deliveries.load(), 1);
      EXPECT_EQ(w.outOfOrder.load(), 0);
    }
  }
  EXPECT_EQ(gSyncCalls.load(), static_cast<int>(kEventsPerSender));
  int late = 0;
  for (const Transient& t : transients) late += t.callsAfterGone.load();
  EXPECT_EQ(late, 0);
  EXPECT_GT(churnRounds, 0);
  service.TearDown();
}

}  // namespace
