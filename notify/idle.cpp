// ProcessUntilIdle: the window work of the GUI thread, then tick passes of the event service
// until enough of them in a row had nothing to deliver.
#include "notify/idle.h"

#include <chrono>
#include <cstdint>

#include "notify/event_service_internal.h"
#include "platform/detail/window_registry.h"
#include "platform/detail/window_work.h"

namespace quarlen {
namespace {

using Clock = std::chrono::steady_clock;

enum class PassWait { Completed, ServiceStopped, TimedOut };

// Waits for one complete tick pass that begins after the call, handling the messages other
// threads send to windows meanwhile.
PassWait WaitForOnePass(Clock::time_point deadline) {
  const std::uint64_t target = detail::event_PassesBegun() + 1;
  PassWait result = PassWait::Completed;
  detail::WaitServicingSentMessages([&] {
    if (detail::event_PassCount() >= target) return true;
    if (!detail::event_TickThreadRunning()) {
      result = PassWait::ServiceStopped;
      return true;
    }
    if (Clock::now() >= deadline) {
      result = PassWait::TimedOut;
      return true;
    }
    return false;
  });
  return result;
}

}  // namespace

bool ProcessUntilIdle(unsigned quietPasses, unsigned timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!detail::ProcessWindowWork(deadline)) return false;
  if (quietPasses == 0 || !detail::event_TickThreadRunning()) return true;
  if (detail::event_InsideDelivery()) return false;
  for (unsigned quiet = 0; quiet < quietPasses;) {
    // A delivery anywhere between here and the end of the pass makes the pass a busy one,
    // also one made by the pass that was already running.
    const std::uint64_t deliveries = detail::event_DeliveryCount();
    switch (WaitForOnePass(deadline)) {
      case PassWait::TimedOut:
        return false;
      case PassWait::ServiceStopped:  // nothing delivers any more
        return detail::ProcessWindowWork(deadline);
      case PassWait::Completed:
        break;
    }
    const bool quietPass = detail::event_DeliveryCount() == deliveries &&
                           !detail::WindowWorkPending() && !detail::event_DeliveryPending();
    if (!detail::ProcessWindowWork(deadline)) return false;
    quiet = quietPass ? quiet + 1 : 0;
  }
  return true;
}

}  // namespace quarlen
