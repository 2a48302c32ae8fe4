// Soak of the change notification under load: 1, 2, 4 and 8 sender threads each change their
// own ruler (event 1620) and position (event 1619) as fast as they can, while the main thread
// keeps a container window that follows two of the rulers repainting and the tick thread
// delivers. Every sender has four receivers (synchronous and coalesced, for either event), and
// a churn thread keeps registering and unregistering further receivers.
//
// Checked: once the senders stop and the service has drained, the last value every receiver
// saw is the last value its sender set; no callback arrives after its unregister returned; and
// the run made at least the asked number of deliveries. Environment (defaults in brackets):
// QUARLEN_SOAK_SECONDS [0.5] seconds per configuration at least, QUARLEN_SOAK_DELIVERIES
// [20000] deliveries per configuration at least. Each configuration prints its figures.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "axis/position.h"
#include "axis/ruler.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "notify/event_service.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double EnvNumber(const char* name, double fallback) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::strtod(v, nullptr) : fallback;
}

std::atomic<std::uint64_t> g_deliveries{0};
std::atomic<std::uint64_t> g_late{0};  // callbacks after their unregister returned

// A receiver of one sender's ruler or position: remembers the value it read at its last delivery.
struct Receiver {
  enum Kind { kRuler, kPosition } kind;
  const void* source = nullptr;
  std::atomic<double> last{-1.0};
  unsigned key = 0;

  static void Call(void* target, unsigned msg, std::uintptr_t, std::uintptr_t l) {
    auto* self = static_cast<Receiver*>(target);
    if (msg == event_rulerChanged) {
      self->last = reinterpret_cast<const CRuler*>(l)->GetStart();
    } else {
      self->last = reinterpret_cast<const CPosition*>(l)->GetValue();
    }
    g_deliveries.fetch_add(1, std::memory_order_relaxed);
  }
  void Register(unsigned control) {
    key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr, &Receiver::Call,
                               event_kindCallback4);
    const std::uintptr_t id = reinterpret_cast<std::uintptr_t>(source);
    event_RegisterEvent(kind == kRuler ? event_rulerChanged : event_positionChanged, key, control,
                        0, id, 0, event_any);
  }
};

// A receiver that comes and goes; a call while it is not registered is late.
struct Transient {
  std::atomic<bool> registered{false};
  static void Call(void* target, unsigned, std::uintptr_t, std::uintptr_t) {
    if (!static_cast<Transient*>(target)->registered.load()) g_late.fetch_add(1);
    g_deliveries.fetch_add(1, std::memory_order_relaxed);
  }
};

struct Sender {
  CRuler ruler;
  CPosition position;
  double lastStart = 0.0;
  double lastValue = 0.0;
};

class Soak : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { event_Init(); }
  void TearDown() override { event_Terminate(); }
};

TEST_P(Soak, LastValuesArriveAndNothingAfterUnregister) {
  const int threads = GetParam();
  const double seconds = EnvNumber("QUARLEN_SOAK_SECONDS", 0.5);
  const auto minDeliveries = static_cast<std::uint64_t>(EnvNumber("QUARLEN_SOAK_DELIVERIES", 2e4));
  g_deliveries = 0;
  g_late = 0;

  std::vector<std::unique_ptr<Sender>> senders;
  for (int i = 0; i < threads; ++i) {
    senders.push_back(std::make_unique<Sender>());
    senders.back()->ruler.Set(0.0, 100.0, 0);
    senders.back()->position.Create(L"p", nullptr, 0.0, 0);
  }
  // Four receivers per sender: ruler and position, synchronous and coalesced.
  std::vector<std::unique_ptr<Receiver>> receivers;
  std::vector<const Sender*> owner;
  for (const auto& s : senders) {
    for (const unsigned control : {unsigned{event_modeSync}, unsigned{event_libraryControl}}) {
      for (const Receiver::Kind kind : {Receiver::kRuler, Receiver::kPosition}) {
        auto r = std::make_unique<Receiver>();
        r->kind = kind;
        r->source = kind == Receiver::kRuler ? static_cast<const void*>(&s->ruler)
                                             : static_cast<const void*>(&s->position);
        r->Register(control);
        receivers.push_back(std::move(r));
        owner.push_back(s.get());
      }
    }
  }

  // The view: a container with a grid, following the first and the last sender's rulers.
  CFrameWnd frame;
  frame.Create(nullptr, L"soak", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 160, 120), nullptr, 0);
  CGOContainer container;
  ASSERT_TRUE(container.Create(&frame, 1, &senders.front()->ruler, &senders.back()->ruler, 1, 1));
  container.MoveWindow(0, 0, 120, 90);
  container.ShowWindow(SW_SHOW);
  CGGrid grid;
  grid.SetXTickSpacing(0.0, 10.0);
  grid.SetYTickSpacing(0.0, 10.0);
  container.Add(&grid, CGOContainer::top);

  std::atomic<bool> stop{false};
  std::vector<std::thread> workers;
  for (int i = 0; i < threads; ++i) {
    workers.emplace_back([&, s = senders[static_cast<std::size_t>(i)].get()] {
      double v = 0.0;
      while (!stop.load(std::memory_order_relaxed)) {
        v += 1.0;
        s->ruler.Set(v, 100.0, 0);
        s->position.SetValue(v, 1);
      }
      s->lastStart = v;
      s->lastValue = v;
    });
  }
  // Churn: receivers of the first ruler registered and unregistered over and over.
  workers.emplace_back([&] {
    Transient t[4];
    const std::uintptr_t id = senders.front()->ruler.GetID();
    while (!stop.load(std::memory_order_relaxed)) {
      for (Transient& x : t) {
        const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&x), nullptr,
                                                  &Transient::Call, event_kindCallback4);
        x.registered = true;
        event_RegisterEvent(event_rulerChanged, key,
                            &x == &t[0] ? event_modeSync : event_libraryControl, 0, id, 0,
                            event_any);
        event_UnregisterClient(key);
        x.registered = false;
      }
    }
  });

  // The main thread handles the container's messages and repaints until the run is long enough.
  const auto begin = Clock::now();
  const auto limit =
      begin + std::chrono::duration<double>(std::max(10.0 * seconds, seconds + 600.0));
  std::uint64_t repaints = 0;
  for (;;) {
    const auto now = Clock::now();
    const bool longEnough = now - begin >= std::chrono::duration<double>(seconds) &&
                            g_deliveries.load() >= minDeliveries;
    if (longEnough || now >= limit) break;
    quarlen::test::PumpUntilIdle();
    container.Redraw();
    ++repaints;
  }
  stop = true;
  for (std::thread& w : workers) w.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();

  // Drain: everything sent has been delivered after two passes.
  ASSERT_TRUE(quarlen::test::WaitForTickPasses(2));
  quarlen::test::PumpUntilIdle();
  const std::uint64_t deliveries = g_deliveries.load();
  std::printf("soak: %d sender thread(s): %llu deliveries in %.1f s, %llu repaints, %llu late\n",
              threads, static_cast<unsigned long long>(deliveries), elapsed,
              static_cast<unsigned long long>(repaints),
              static_cast<unsigned long long>(g_late.load()));
  EXPECT_EQ(g_late.load(), 0u);
  EXPECT_GE(deliveries, minDeliveries);
  for (std::size_t i = 0; i < receivers.size(); ++i) {
    const Receiver& r = *receivers[i];
    const double sent = r.kind == Receiver::kRuler ? owner[i]->lastStart : owner[i]->lastValue;
    EXPECT_EQ(r.last.load(), sent) << "receiver " << i << " of sender " << (i / 4)
                                   << (r.kind == Receiver::kRuler ? " (ruler)" : " (position)");
  }
  for (const auto& r : receivers) event_UnregisterClient(r->key);
  container.RemoveAll();
  container.DestroyWindow();
  frame.DestroyWindow();
  quarlen::test::PumpUntilIdle();
}

INSTANTIATE_TEST_SUITE_P(Senders, Soak, ::testing::Values(1, 2, 4, 8),
                         [](const auto& info) { return std::to_string(info.param) + "Threads"; });

}  // namespace
