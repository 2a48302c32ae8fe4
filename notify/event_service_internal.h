#pragma once
// Internal hooks of the event service for ProcessUntilIdle (notify/idle.cpp), the library's
// tests and benchmarks. Nothing here is exported from the shared library; test suites and
// benchmarks link the layer's objects and reach these directly.
#include <cstddef>
#include <cstdint>

namespace quarlen::detail {

// Number of tick passes completed since the process started (manual passes included). It
// never goes back, across event_Terminate and event_Init.
std::uint64_t event_PassCount();

// Blocks until n tick passes that began after this call have completed. Returns false when
// timeoutMs elapses first (a safety net for a stuck test, not a timing device), when the
// service is not running a tick thread, or at once when called from inside a delivery (the
// pass that runs the caller could never end).
bool event_WaitForPasses(unsigned n, unsigned timeoutMs = 10000);

// Starts the service like event_Init but without the tick thread: passes then happen only
// through event_RunPass. event_Terminate ends this state as usual. Does nothing when the
// service is already initialised.
void event_InitManual();

// Runs one complete tick pass (queue drain, timers, countdowns, main-thread post) in the
// calling thread, as the tick thread would. Does nothing when the service is not initialised.
void event_RunPass();

// Sets the candidate for the next client key (1 to 65535; other values are ignored).
void event_SetNextClientKey(unsigned key);

// Replaces the platform calls of window and thread-message deliveries (SendNotifyMessageW,
// PostThreadMessageW) so that tests can make them fail or succeed at will; the hook returns
// whether the delivery succeeded. Null restores the platform calls.
using EventMessageHook = bool (*)(unsigned kind, std::uintptr_t target, unsigned msg,
                                  std::uintptr_t wParam, std::uintptr_t lParam);
void event_SetMessageHook(EventMessageHook hook);

// Forgets that the service ever ran and that the not-started report was made, so that the next
// call that needs the service reports again, as in a fresh process.
void event_ResetDiagnostics();

// Number of messages waiting in the message queue.
std::size_t event_QueuedMessageCount();

// What ProcessUntilIdle (notify/idle.h) watches to tell a quiet pass from a busy one.
//
// Number of tick passes begun since the process started. The passes that begin after a call
// have all completed once event_PassCount() reaches the value read at the call plus their
// number.
std::uint64_t event_PassesBegun();
// Number of deliveries that succeeded so far (synchronous ones, tick passes and main-thread
// drains alike). It never goes back.
std::uint64_t event_DeliveryCount();
// True while the service holds something that a later pass or a drain will deliver: queued
// events, delayed deliveries counting down, entries of the main-thread queue. Retries of
// failed deliveries do not count (they may never succeed), nor do periodic timers (they never
// end). It never waits for the service's lock: while another thread holds it (a pass or a
// delivery running), the answer is true.
bool event_DeliveryPending();
// True while the tick thread runs (after event_Init, not after event_InitManual).
bool event_TickThreadRunning();
// True while the calling thread is inside a delivery (and holds the service's lock).
bool event_InsideDelivery();

}  // namespace quarlen::detail
