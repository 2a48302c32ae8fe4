// A cursor bound again and again to one of two positions (Create moves its subscription) while
// another thread changes both positions and runs the event service's passes, which deliver the
// changes to the same cursor. A pass holds the event lock and then takes the cursor's lock;
// re-binding must never hold the cursor's lock while it waits for the event lock. A deadlock is
// reported as a failure after a generous deadline instead of hanging the suite.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "axis/position.h"
#include "cursors/graphic_cursor.h"
#include "notify/event_service.h"
#include "notify/event_service_internal.h"

namespace {

constexpr int kRebinds = 20000;
// Deliveries the binder waits for, so the race is run however the two threads are scheduled.
constexpr int kMinDeliveries = 100;

// Counts the position-changed deliveries, so the test can tell that the race was run.
class CountingCursor : public CGCursor {
 public:
  std::atomic<int> deliveries{0};
  void OnEvent(unsigned id, WPARAM a, LPARAM b) override {
    if (id == event_positionChanged) ++deliveries;
    CGCursor::OnEvent(id, a, b);
  }
};

// Passes run by the test's own thread: no tick thread, no waiting for one.
class CursorRebindStress : public ::testing::Test {
 protected:
  void SetUp() override { quarlen::detail::event_InitManual(); }
  void TearDown() override { event_Terminate(); }
};

TEST_F(CursorRebindStress, CreateWhilePassesDeliverNeverDeadlocks) {
  CAxe axis;
  axis.Create(L"Scan", std_distance, 0.0, 100.0);
  CPosition a, b;
  a.Create(L"a", &axis, 10.0, 0);
  b.Create(L"b", &axis, 60.0, 0);
  CountingCursor cursor;
  cursor.Create(&a);

  std::mutex m;
  std::condition_variable cv;
  int finished = 0;
  std::atomic<bool> binding{true};
  std::atomic<int> rebinds{0};
  const auto done = [&] {
    {
      std::lock_guard lock(m);
      ++finished;
    }
    cv.notify_all();
  };

  std::thread passes([&] {
    for (int i = 0; binding.load(); ++i) {
      a.SetValue(10.0 + i % 40, 1);
      b.SetValue(60.0 + i % 40, 1);
      quarlen::detail::event_RunPass();
    }
    done();
  });
  std::thread binder([&] {
    // At least kRebinds re-bindings, and on until the passes have delivered to the cursor a
    // few times. Each round binds b, then a, so a is the last binding.
    while (rebinds.load() < kRebinds || cursor.deliveries.load() < kMinDeliveries) {
      cursor.Create(&b);
      cursor.Create(&a);
      rebinds += 2;
    }
    binding = false;
    done();
  });

  {
    std::unique_lock lock(m);
    // A deadline for a stuck pair of threads, not a timing device: the loop takes well under a
    // second. Threads that wait for each other cannot be joined, so the process ends here.
    if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return finished == 2; })) {
      std::fprintf(stderr, "deadlock: %d of %d re-bindings done, %d deliveries\n", rebinds.load(),
                   kRebinds, cursor.deliveries.load());
      std::fflush(stderr);
      std::_Exit(1);
    }
  }
  passes.join();
  binder.join();
  EXPECT_GE(rebinds.load(), kRebinds);
  EXPECT_GE(cursor.deliveries.load(), kMinDeliveries);
  // The last binding is the one in force: a change of b reaches the cursor, one of a does not.
  EXPECT_EQ(cursor.GetRefPosition(), &a);
  const int before = cursor.deliveries.load();
  b.SetValue(99.0, 1);
  quarlen::detail::event_RunPass();
  EXPECT_EQ(cursor.deliveries.load(), before);
  a.SetValue(98.0, 1);
  quarlen::detail::event_RunPass();
  EXPECT_EQ(cursor.deliveries.load(), before + 1);
}

}  // namespace
