#pragma once
// Test helpers for code that relies on the event service's tick thread. Header-only; a suite
// that includes it links the qn_notify layer (directly or through a layer built on it).
//
//   class MyTest : public quarlen::test::EventServiceFixture {};
//   TEST_F(MyTest, RulerChangeReachesTheView) {
//     ruler.Set(...);                               // sends event 1620
//     ASSERT_TRUE(quarlen::test::SettleEvents());   // delivered, and the view repainted
//     ...
//   }
//
// Never sleep in a test to let the tick thread work. SettleEvents is what an application calls
// (quarlen::ProcessUntilIdle): window work and tick passes until a pass goes by with nothing
// to deliver and no window work left. WaitForTickPasses waits for a given number of passes
// and handles nothing, for tests of what happens in between: one pass drains every event sent
// before the wait began, so a delay registration with period 100 (what the library registers
// with) has received its delivery after WaitForTickPasses(1); window clients get theirs as a
// message queued to the window's thread, handled by the next PumpUntilIdle.
#include <gtest/gtest.h>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"
#include "notify/idle.h"

namespace quarlen::test {

// Window work and event-service deliveries until idle, with `quietPasses` passes in a row
// that had nothing to do (quarlen::ProcessUntilIdle). False at its 10 s bound (then the test
// should fail).
inline bool SettleEvents(unsigned quietPasses = 1) {
  return quarlen::ProcessUntilIdle(quietPasses);
}

// Waits until n complete tick passes have begun after the call, on the same pass counter
// SettleEvents watches. False when the service runs no tick thread or nothing happened for
// 10 s (then the test should fail).
inline bool WaitForTickPasses(unsigned n = 1) { return quarlen::detail::event_WaitForPasses(n); }

// Starts the event service before each test and stops it after (waiting for the tick thread).
class EventServiceFixture : public ::testing::Test {
 protected:
  void SetUp() override { event_Init(); }
  void TearDown() override { event_Terminate(); }
};

// Starts the event service once for a whole suite executable:
//   ::testing::AddGlobalTestEnvironment(new quarlen::test::EventServiceEnvironment);
// or, without touching main, from a static initialiser in one test file:
//   static auto* env = ::testing::AddGlobalTestEnvironment(new EventServiceEnvironment);
class EventServiceEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { event_Init(); }
  void TearDown() override { event_Terminate(); }
};

}  // namespace quarlen::test
