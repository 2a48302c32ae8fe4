#pragma once
// Handling the window work of the GUI thread until none is left: the window half of
// quarlen::ProcessUntilIdle (notify/idle.h), which the test helpers of window-only suites call
// directly. Internal.
#include <chrono>

namespace quarlen::detail {

// Handles, on the GUI thread, every pending event of that thread (posted and sent messages,
// paints, screen flushes, deferred deletions, Qt's own events) in rounds, each up to a marker
// posted behind what is queued, until a round handles nothing but its marker and leaves no
// window work pending (WindowWorkPending). Returns true then; false after 1000 rounds without
// that, once `deadline` has passed, or at once off the GUI thread.
bool ProcessWindowWork(std::chrono::steady_clock::time_point deadline);

}  // namespace quarlen::detail
