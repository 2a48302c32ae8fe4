#pragma once
// A receiver for event-service tests: a callback4 client whose target is the recorder.
#include <cstdint>
#include <mutex>
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
    key_ = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr, &Recorder::Call,
                                kind);
    return key_;
  }
  unsigned key() const { return key_; }

  std::vector<Delivery> Take() {
    std::lock_guard lock(mutex_);
    std::vector<Delivery> out;
    out.swap(deliveries_);
    return out;
  }
  std::vector<std::uintptr_t> TakeW() {
    std::vector<std::uintptr_t> out;
    for (const Delivery& d : Take()) out.push_back(d.w);
    return out;
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return deliveries_.size();
  }

  static void Call(void* target, unsigned msg, std::uintptr_t w, std::uintptr_t l) {
    auto* self = static_cast<Recorder*>(target);
    std::lock_guard lock(self->mutex_);
    self->deliveries_.push_back(
        Delivery{msg, w, l, std::this_thread::get_id(), quarlen::detail::event_PassCount()});
  }

 private:
  std::mutex mutex_;
  std::vector<Delivery> deliveries_;
  unsigned key_ = 0;
};

}  // namespace quarlen::test
