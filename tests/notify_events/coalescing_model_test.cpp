// The event service's coalescing against a model: seeded random sequences of sends (two event
// numbers, filtered and unfiltered registrations, sender keys that exclude their own client),
// registrations, unregistrations of events and of clients, and tick passes run by the test.
// Per pass a delay registration receives one delivery when anything it accepts was sent since
// the last pass, with the parameters of the newest such send, and nothing once it has been
// unregistered. A failure names the seed and the step; set QUARLEN_MODEL_SEED to run another
// family of sequences.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"
#include "tests/support/event_recorder.h"

namespace {

using quarlen::test::Recorder;

constexpr int kSequences = 2000;
constexpr int kStepsPerSequence = 60;
constexpr unsigned kEvents[] = {event_positionChanged, event_rulerChanged};

// One client with one registration, as the model sees it.
struct Receiver {
  std::unique_ptr<Recorder> recorder;
  unsigned number = 0;
  unsigned id = 0;
  bool filtered = false;  // accepts only wParam == value
  std::uintptr_t value = 0;
  bool live = false;
  bool clientLive = false;
  // The newest accepted send since the last pass.
  std::optional<std::pair<std::uintptr_t, std::uintptr_t>> pending;
};

unsigned BaseSeed() {
  const char* env = std::getenv("QUARLEN_MODEL_SEED");
  return env != nullptr ? static_cast<unsigned>(std::strtoul(env, nullptr, 0)) : 20261209u;
}

class CoalescingModel : public ::testing::Test {
 protected:
  void SetUp() override { quarlen::detail::event_InitManual(); }
  void TearDown() override { event_Terminate(); }
};

TEST_F(CoalescingModel, OneDeliveryPerPassWithTheNewestParameters) {
  const unsigned base = BaseSeed();
  std::uintptr_t serial = 0;   // lParam of every send: tells sends apart
  std::size_t deliveries = 0;  // checked, so that the model cannot pass vacuously
  for (int sequence = 0; sequence < kSequences; ++sequence) {
    const unsigned seed = base + static_cast<unsigned>(sequence);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<Receiver> receivers;

    auto add = [&] {
      Receiver r;
      r.recorder = std::make_unique<Recorder>();
      if (r.recorder->Register() == 0) return;
      r.clientLive = true;
      r.number = kEvents[pick(2)];
      r.filtered = pick(3) == 0;
      r.value = static_cast<std::uintptr_t>(pick(4));
      const unsigned control = pick(2) ? event_libraryControl : event_modeDelay;
      r.id = event_RegisterEvent(r.number, r.recorder->key(), control, 0,
                                 r.filtered ? r.value : event_any, 0, event_any);
      r.live = r.id != 0;
      receivers.push_back(std::move(r));
    };
    for (int i = 0, n = 1 + pick(5); i < n; ++i) add();

    for (int step = 0; step < kStepsPerSequence; ++step) {
      const std::string where = "seed " + std::to_string(seed) +
                                " (QUARLEN_MODEL_SEED=" + std::to_string(seed) +
                                ", sequence 0), step " + std::to_string(step);
      const int op = pick(10);
      if (op < 5) {  // a send
        const unsigned number = kEvents[pick(2)];
        const std::uintptr_t w = static_cast<std::uintptr_t>(pick(4));
        const std::uintptr_t l = ++serial;
        // Now and then a sender that is itself one of the receivers: it hears nothing back.
        unsigned sender = 0;
        if (!receivers.empty() && pick(5) == 0) {
          const Receiver& r =
              receivers[static_cast<std::size_t>(pick(static_cast<int>(receivers.size())))];
          if (r.clientLive) sender = r.recorder->key();
        }
        const unsigned flags =
            (number == event_rulerChanged ? event_flagRuler : event_flagObject) | sender;
        event_Send(number, w, l, flags);
        for (Receiver& r : receivers) {
          if (r.live && r.number == number && (!r.filtered || r.value == w) &&
              (sender == 0 || r.recorder->key() != sender)) {
            r.pending = {w, l};
          }
        }
      } else if (op < 8) {  // a pass, checked against the model
        quarlen::detail::event_RunPass();
        for (std::size_t i = 0; i < receivers.size(); ++i) {
          Receiver& r = receivers[i];
          const auto got = r.recorder->Take();
          if (r.pending) {
            ASSERT_EQ(got.size(), 1u) << where << ", receiver " << i;
            EXPECT_EQ(got[0].msg, r.number) << where << ", receiver " << i;
            EXPECT_EQ(got[0].w, r.pending->first) << where << ", receiver " << i;
            ASSERT_EQ(got[0].l, r.pending->second) << where << ", receiver " << i;
            ++deliveries;
          } else {
            ASSERT_TRUE(got.empty()) << where << ", receiver " << i << " got l=" << got[0].l;
          }
          r.pending.reset();
        }
        // Registrations made between passes see only what is sent after them.
        if (pick(4) == 0) add();
      } else if (op == 8) {  // the registration goes
        if (receivers.empty()) continue;
        Receiver& r = receivers[static_cast<std::size_t>(pick(static_cast<int>(receivers.size())))];
        if (r.live) event_UnregisterEvent(r.number, r.id);
        r.live = false;
        r.pending.reset();
      } else {  // the whole client goes
        if (receivers.empty()) continue;
        Receiver& r = receivers[static_cast<std::size_t>(pick(static_cast<int>(receivers.size())))];
        if (r.clientLive) event_UnregisterClient(r.recorder->key());
        r.clientLive = false;
        r.live = false;
        r.pending.reset();
      }
    }
    for (Receiver& r : receivers) {
      if (r.clientLive) event_UnregisterClient(r.recorder->key());
    }
    quarlen::detail::event_RunPass();
    for (std::size_t i = 0; i < receivers.size(); ++i) {
      ASSERT_TRUE(receivers[i].recorder->Take().empty())
          << "seed " << seed << ": receiver " << i << " called after its client went";
    }
  }
  EXPECT_GT(deliveries, std::size_t{10} * kSequences);
}

}  // namespace
