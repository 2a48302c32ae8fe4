#pragma once
// Processing the work that waits for the GUI thread until the application is idle: what an
// application calls before it reads what its views show (after changing a model, after
// injecting input, in a scripted run or a test), instead of guessing how long to let the
// event loop run.
#include "platform/export.h"

namespace quarlen {

// Handles, on the GUI thread, the window work that is waiting (posted and sent messages,
// paints, screen flushes, deferred deletions) and what the event service delivers meanwhile,
// until the application is idle. It stops when both hold:
//
//  - window work: a round of the event loop (everything queued when it began) handled no
//    event, and no message, paint or screen flush is pending for any window;
//  - event service (only when quietPasses > 0 and the service runs its tick thread, that is
//    after event_Init): `quietPasses` complete tick passes in a row delivered nothing to any
//    receiver, and after each of them no window work was pending and nothing was left for a
//    later pass (queued events, delayed deliveries counting down, entries of the main-thread
//    queue; the retry of a failed delivery does not hold it, as it may never succeed).
//    Between passes it handles the messages other threads send, so a receiver that sends to
//    a window cannot stall it, and after each pass the window work.
//
// After it returns true, every event sent before the call has been delivered, and what the
// deliveries caused through windows and the service has been handled too. One quiet pass is
// enough for that; more only add margin. With quietPasses 0 only the window work is handled.
//
// Returns false when timeoutMs elapses first (work that never ends: a timer registration that
// fires at every pass, a window that invalidates itself in every paint, a sender that never
// stops), at once off the GUI thread, and, when quietPasses > 0 and the tick thread runs, at
// once from inside a delivery of the event service (the pass it waits for could not run). A
// tick pass comes every 25 ms, so a call with nothing to do returns after about quietPasses
// passes.
QUARLEN_API bool ProcessUntilIdle(unsigned quietPasses = 1, unsigned timeoutMs = 10000);

}  // namespace quarlen
