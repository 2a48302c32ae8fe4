#pragma once
// Receivers of the event service for tests.
//
// Recorder: a callback4 client whose target is the recorder; it keeps every delivery with the
// thread it arrived on and the pass that made it.
//
// EventRecorderTest: a fixture recording the position and ruler events the model sends, through
// the event service itself. The service runs without a tick thread (event_InitManual); Drain()
// runs one pass in the test's own thread and returns what the registrations received, in order.
// The registrations use the category modes, so a position event arrives only when sent with the
// object flag and a ruler event only with the ruler flag, and every event is delivered on its own
// (no coalescing).
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"

namespace quarlen::test {

struct Delivery {
  unsigned msg;
  std::uintptr_t w;
  std::uintptr_t l;
  std::thread::id thread;
  std::uint64_t pass;  // completed passes when delivered
};

class Recorder {
 public:
  // Registers the recorder as a callback4 client; returns its key.
  unsigned Register(unsigned kind = event_kindCallback4) {
    m_key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr, &Recorder::Call,
                                 kind);
    return m_key;
  }
  unsigned key() const { return m_key; }

  std::vector<Delivery> Take() {
    std::lock_guard lock(m_mutex);
    std::vector<Delivery> out;
    out.swap(m_deliveries);
    return out;
  }
  std::vector<std::uintptr_t> TakeW() {
    std::vector<std::uintptr_t> out;
    for (const Delivery& d : Take()) out.push_back(d.w);
    return out;
  }
  std::size_t Count() {
    std::lock_guard lock(m_mutex);
    return m_deliveries.size();
  }

  static void Call(void* target, unsigned msg, std::uintptr_t w, std::uintptr_t l) {
    auto* self = static_cast<Recorder*>(target);
    std::lock_guard lock(self->m_mutex);
    self->m_deliveries.push_back(
        Delivery{msg, w, l, std::this_thread::get_id(), quarlen::detail::event_PassCount()});
  }

 private:
  std::mutex m_mutex;
  std::vector<Delivery> m_deliveries;
  unsigned m_key = 0;
};

struct RecordedEvent {
  unsigned number;
  std::uintptr_t wParam;
  std::uintptr_t lParam;
  bool operator==(const RecordedEvent&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RecordedEvent& e) {
  return os << "{" << e.number << ", " << std::hex << e.wParam << ", " << e.lParam << std::dec
            << "}";
}

class EventRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    quarlen::detail::event_InitManual();
    Events().clear();
    m_key = event_RegisterClient(0, &Record, nullptr, event_kindCallback3);
    ASSERT_NE(m_key, 0u);
    for (unsigned number : {unsigned(event_positionChanged), unsigned(event_positionLog)}) {
      ASSERT_NE(event_RegisterEvent(number, m_key, event_flagObject, 0, event_any, 0, event_any),
                0u);
    }
    ASSERT_NE(
        event_RegisterEvent(event_rulerChanged, m_key, event_flagRuler, 0, event_any, 0, event_any),
        0u);
  }

  void TearDown() override {
    event_UnregisterClient(m_key);
    event_Terminate();
  }

  // Delivers everything sent so far and returns it (and forgets it).
  static std::vector<RecordedEvent> Drain() {
    quarlen::detail::event_RunPass();
    std::lock_guard lock(Mutex());
    std::vector<RecordedEvent> out;
    out.swap(Events());
    return out;
  }

  template <class T>
  static std::uintptr_t Id(const T* p) {
    return reinterpret_cast<std::uintptr_t>(p);
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex m;
    return m;
  }
  static std::vector<RecordedEvent>& Events() {
    static std::vector<RecordedEvent> events;
    return events;
  }
  static void Record(unsigned msg, std::uintptr_t w, std::uintptr_t l) {
    std::lock_guard lock(Mutex());
    Events().push_back({msg, w, l});
  }

  unsigned m_key = 0;
};

}  // namespace quarlen::test
