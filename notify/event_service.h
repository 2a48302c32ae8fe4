#pragma once
// The process-wide event service: a publish/subscribe hub with its own tick thread.
//
// Senders announce numbered events (1617 to 1632) with two pointer-sized parameters and a
// flag word; clients register how they are reached (window message, thread message, kernel
// event or callback) and which events they want with which timing (synchronous, delayed and
// coalesced, throttled, by category). The host calls event_Init before anything uses the
// service and event_Terminate at shutdown.
//
// Every function may be called from any thread. Deferred deliveries run on the tick thread
// with the service's lock held, so a receiver is never called after event_UnregisterClient or
// event_UnregisterEvent has returned, and a receiver may call the service again (but must not
// wait for another thread that uses it). event_Terminate waits for the tick thread to end; the
// service can be started again afterwards.
#include <cstdint>

#include "platform/export.h"

// Callback forms of the callback clients.
using event_Callback3 = void (*)(unsigned msg, std::uintptr_t wParam, std::uintptr_t lParam);
using event_Callback4 = void (*)(void* target, unsigned msg, std::uintptr_t wParam,
                                 std::uintptr_t lParam);

QUARLEN_C_API void event_Init();
QUARLEN_C_API void event_Terminate();
// Returns the new client's key (1 to 65535), 0 when nothing was registered.
QUARLEN_C_API unsigned event_RegisterClient(std::uintptr_t target, event_Callback3 callback3,
                                            event_Callback4 callback4, unsigned kind);
QUARLEN_C_API void event_UnregisterClient(unsigned key);
// Returns the registration id, 0 when nothing was registered.
QUARLEN_C_API unsigned event_RegisterEvent(unsigned number, unsigned key, unsigned control,
                                           std::uintptr_t wParamMask, std::uintptr_t wParamValue,
                                           std::uintptr_t lParamMask, std::uintptr_t lParamValue);
QUARLEN_C_API void event_UnregisterEvent(unsigned number, unsigned id);
QUARLEN_C_API void event_Send(unsigned number, std::uintptr_t wParam, std::uintptr_t lParam,
                              unsigned flags);
// Body of the tick thread; not called directly (a call from any other thread returns 0 at once).
QUARLEN_C_API unsigned event_Tick(void* unused);
// Delivers, in the calling thread, every entry waiting in the main-thread queue (deliveries to
// clients whose kind has event_kindMainThread), by the client's kind without that bit, in the
// order they were queued. Returns the number of entries taken out. Afterwards the tick thread
// may post message 1616 again when new entries arrive. The host calls it on its main thread,
// typically when it receives 1616.
QUARLEN_C_API unsigned event_DrainMainThreadQueue();

// Diagnostics. Forgetting event_Init leaves every view still and every cursor alone without an
// error: a call that needs the service (event_Send, event_RegisterClient, event_RegisterEvent)
// made before the service was first started does nothing, as the service's calls always do
// while it is not running. The first such call of the process also reports it, once: a message
// naming the call and event_Init() goes to the diagnostic hook, or to standard error when no
// hook is set. Calls after event_Terminate are not reported (shutdown may run in any order).
// The hook is called on the thread of the offending call, with no lock of the service held; a
// null hook restores standard error.
using event_DiagnosticHook = void (*)(const char* message);
QUARLEN_C_API void event_SetDiagnosticHook(event_DiagnosticHook hook);

// Event numbers.
enum : unsigned {
  event_mainThreadMessage = 1616,  // posted to the main window, not an event
  event_first = 1617,
  event_timer = 1617,
  event_objectModified = 1618,
  event_positionChanged = 1619,
  event_rulerChanged = 1620,
  event_positionLog = 1623,
  event_last = 1632,
};

// Client kinds.
enum : unsigned {
  event_kindWindow = 0x10000000,
  event_kindThreadMessage = 0x20000000,
  event_kindKernelEvent = 0x30000000,
  event_kindCallback3 = 0x40000000,
  event_kindCallback4 = 0x80000000,
  event_kindMainThread = 0x08000000,  // tested as a bit
};

// Registration control words and flag-word bits.
enum : unsigned {
  event_modeSync = 0x80000000,      // exactly this value
  event_modeDelay = 0x40000000,     // bits 28 to 30
  event_modeThrottle = 0x20000000,  // bits 28 to 30
  event_modeAccumulate = 0x00800000,
  event_categoryMask = 0x0F000000,
  event_periodMask = 0x0000FFFF,
  event_flagCategory1 = 0x01000000,
  event_flagObject = 0x02000000,  // object and position events
  event_flagRuler = 0x04000000,   // ruler events
  event_flagUrgent = 0x08000000,
  event_senderKeyMask = 0x0000FFFF,
  event_libraryControl = 0x40000064,  // delay mode, period 100: what the library registers with
};

// Filter value that accepts any parameter.
constexpr std::uintptr_t event_any = 0x80000000u;
