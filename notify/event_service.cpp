// The event service: client table, one registration table per event number, the message queue
// drained by the tick thread, timers, countdowns and the main-thread queue.
//
// What callers may rely on beyond the interface comments:
// - Every delivery happens with the event lock held: the immediate (synchronous) pass inside
//   event_Send, the tick thread for a whole pass, event_DrainMainThreadQueue while it drains.
//   Hence once event_UnregisterClient or event_UnregisterEvent has returned, the receiver is
//   never called again for it (queued main-thread entries of it are dropped as well). A
//   receiver may call the service again from inside a delivery (the lock is recursive),
//   including unregistering itself or others; the pass goes on with the registrations left.
// - event_Init / event_Terminate may be repeated (init, terminate, init, ...). event_Terminate
//   waits until the tick thread has ended and frees every table; events sent meanwhile or
//   afterwards are dropped. Called from inside a delivery, event_Init and event_Terminate do
//   nothing (terminating there would wait for the very pass that runs the caller).
// - event_RegisterClient returns 0 when the service is not initialised or all 65535 keys are
//   live. event_RegisterEvent returns 0 when the service is not initialised, the number lies
//   outside 1617 to 1632 or the key names no live client.
// - Synchronous registrations (control word exactly event_modeSync) are only ever called inside
//   event_Send. The tick thread never delivers them, timers on 1617 included: a synchronous
//   registration on 1617 is never delivered. A failed synchronous delivery is not kept.
// - Countdowns never wrap: subtracting a pass from a countdown below 100 gives 0, which counts
//   as expired. A period that is not a multiple of 100 therefore acts as the next multiple.
// - A failed immediate delivery of a deferred registration (urgent events, the category modes)
//   is retried: the parameters are stored and the registration armed with one pass, so the
//   next pass delivers the stored parameters, and every pass after until a delivery succeeds.
//   While such a retry is pending, new events for the registration are stored (coalesced).
// - Main-thread clients: entries wait in the main-thread queue until the host calls
//   event_DrainMainThreadQueue. The tick thread posts message 1616 to the application's main
//   window once when entries are waiting; after a drain it may post again. When no main
//   window exists, or the post fails, the post is tried again at the next pass.
#include "notify/event_service.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

#include "notify/event_service_internal.h"
#include "platform/messages.h"
#include "platform/sync.h"

namespace quarlen::detail {
namespace {

constexpr unsigned kTableCount = event_last - event_first + 1;
constexpr unsigned kArmed = 0x80000000u;
constexpr unsigned kStored = 0x40000000u;
constexpr unsigned kRetrying = 0x20000000u;  // the stored parameters failed to deliver before
constexpr unsigned kCountdownMask = 0x0000FFFFu;
constexpr unsigned kModeMask = 0x70000000u;
constexpr unsigned kUrgent = event_flagUrgent;
constexpr unsigned kEventFlagsMask = 0xFFFF0000u;
constexpr unsigned kOnePass = 100;
constexpr unsigned kMaxKey = 0xFFFF;
constexpr std::size_t kClientStep = 50;
constexpr std::size_t kRegistrationStep = 10;
constexpr std::size_t kMainQueueFirst = 10;
constexpr std::size_t kMainQueueStep = 50;
constexpr auto kTickInterval = std::chrono::milliseconds(25);
constexpr int kMaxDrainRounds = 16;
constexpr UINT kTickStackSize = 0x10000;
constexpr DWORD kStackSizeIsReservation = 0x10000;

struct Client {
  unsigned key = 0;  // 0: free slot
  std::uintptr_t target = 0;
  event_Callback3 callback3 = nullptr;
  event_Callback4 callback4 = nullptr;
  unsigned kind = 0;
};

struct Registration {
  unsigned id;
  unsigned clientIndex;
  unsigned state;  // countdown in the low 16 bits, kArmed, kStored, kRetrying
  unsigned control;
  std::uintptr_t storedW;
  std::uintptr_t wMask;
  std::uintptr_t wValue;
  std::uintptr_t storedL;
  std::uintptr_t lMask;
  std::uintptr_t lValue;
};

struct EventTable {
  bool dirty = false;
  unsigned syncCount = 0;          // lets event_Send skip the table when nothing is synchronous
  std::vector<Registration> regs;  // in registration order, hence sorted by id
};

struct MainThreadEntry {
  Client client;
  unsigned clientIndex = 0;
  unsigned registrationId = 0;
  unsigned msg = 0;
  std::uintptr_t w = 0;
  std::uintptr_t l = 0;
  bool inUse = false;
};

struct QueuedMessage {
  unsigned number;
  std::uintptr_t w;
  std::uintptr_t l;
  unsigned flags;
};

struct Service {
  // The event lock (recursive) guards everything down to the message queue.
  CCriticalSection eventLock;
  bool initialised = false;
  std::vector<Client> clients;
  unsigned liveClients = 0;
  std::array<EventTable, kTableCount> tables;
  std::vector<MainThreadEntry> mainQueue;
  bool armed = false;
  bool postNeeded = false;
  bool postAllowed = true;
  unsigned keyCounter = 1;
  unsigned nextRegistrationId = 1;  // process-wide, never reused

  // The queue lock guards the message queue; taken after the event lock, never before.
  std::mutex queueLock;
  std::deque<QueuedMessage> queue;
  bool accepting = false;

  // Serialises event_Init and event_Terminate.
  std::mutex lifeLock;
  CWinThread* tickThread = nullptr;  // owned; deleting it waits for the thread's end
  DWORD tickThreadId = 0;
  std::mutex wakeLock;
  std::condition_variable wake;
  bool terminateRequest = false;

  // Pass counting for event_WaitForPasses.
  std::mutex passLock;
  std::condition_variable passDone;
  std::uint64_t passesStarted = 0;
  std::uint64_t passesCompleted = 0;
  bool tickRunning = false;  // under passLock

  std::atomic<std::uint64_t> deliveries{0};  // successful ones, for event_DeliveryCount
};

// Never destroyed: a sender or the host may still call the service during static destruction.
Service& TheService() {
  static Service* service = new Service;
  return *service;
}

// Depth of calls out of the service (receivers) on this thread.
thread_local int tDeliveryDepth = 0;

struct CalloutScope {
  CalloutScope() { ++tDeliveryDepth; }
  ~CalloutScope() { --tDeliveryDepth; }
  CalloutScope(const CalloutScope&) = delete;
  CalloutScope& operator=(const CalloutScope&) = delete;
};

bool IsSync(unsigned control) { return control == event_modeSync; }
unsigned Mode(unsigned control) { return control & kModeMask; }
unsigned Period(unsigned control) { return control & event_periodMask; }
unsigned Countdown(unsigned state) { return state & kCountdownMask; }
unsigned WithCountdown(unsigned state, unsigned countdown) {
  return (state & ~kCountdownMask) | (countdown & kCountdownMask);
}
// One pass off a countdown; never below 0.
unsigned AfterOnePass(unsigned countdown) {
  return countdown > kOnePass ? countdown - kOnePass : 0;
}

bool Accepts(std::uintptr_t param, std::uintptr_t mask, std::uintptr_t value) {
  if (value == event_any) return true;
  return (mask != 0 ? (param & mask) : param) == value;
}

void Store(Registration& r, std::uintptr_t w, std::uintptr_t l) {
  if ((r.control & event_modeAccumulate) && (r.state & kStored)) {
    r.storedW |= w;
    r.storedL |= l;
  } else {
    r.storedW = w;
    r.storedL = l;
  }
  r.state |= kStored;
}

// The registration with that id, looked up again after a call out of the service (which may
// have added or removed registrations). `hint` is where it was.
Registration* Refind(EventTable& table, std::size_t hint, unsigned id) {
  auto& regs = table.regs;
  if (hint < regs.size() && regs[hint].id == id) return &regs[hint];
  auto it = std::lower_bound(regs.begin(), regs.end(), id,
                             [](const Registration& r, unsigned v) { return r.id < v; });
  return it != regs.end() && it->id == id ? &*it : nullptr;
}

// Index of the registration after the one with id `id` (visited at `index`).
std::size_t NextIndex(const EventTable& table, std::size_t index, unsigned id) {
  const auto& regs = table.regs;
  if (index < regs.size() && regs[index].id == id) return index + 1;
  auto it = std::upper_bound(regs.begin(), regs.end(), id,
                             [](unsigned v, const Registration& r) { return v < r.id; });
  return static_cast<std::size_t>(it - regs.begin());
}

void QueueForMainThread(Service& s, const Client& client, unsigned clientIndex, unsigned regId,
                        unsigned msg, std::uintptr_t w, std::uintptr_t l) {
  auto free = std::find_if(s.mainQueue.begin(), s.mainQueue.end(),
                           [](const MainThreadEntry& e) { return !e.inUse; });
  if (free == s.mainQueue.end()) {
    const std::size_t used = s.mainQueue.size();
    s.mainQueue.resize(used + kMainQueueStep);
    free = s.mainQueue.begin() + static_cast<std::ptrdiff_t>(used);
  }
  *free = MainThreadEntry{client, clientIndex, regId, msg, w, l, true};
  s.postNeeded = true;
}

// Kernel-event clients: the kernel event named by the handle is set.
void SignalKernelEvent(std::uintptr_t handle) { SetEvent(reinterpret_cast<HANDLE>(handle)); }

std::atomic<EventMessageHook> gMessageHook{nullptr};

// The call out to the receiver, by kind; true when the delivery counts as done.
bool CallReceiver(const Client& client, unsigned kind, unsigned msg, std::uintptr_t w,
                  std::uintptr_t l) {
  if (kind != event_kindKernelEvent && kind != event_kindCallback3 && kind != event_kindCallback4) {
    if (EventMessageHook hook = gMessageHook.load()) return hook(kind, client.target, msg, w, l);
  }
  switch (kind) {
    case event_kindThreadMessage:
      return PostThreadMessageW(static_cast<DWORD>(client.target), msg, w,
                                static_cast<LPARAM>(l)) != FALSE;
    case event_kindKernelEvent:
      SignalKernelEvent(client.target);
      return true;
    case event_kindCallback3:
      if (client.callback3) client.callback3(msg, w, l);
      return true;
    case event_kindCallback4:
      if (client.callback4) client.callback4(reinterpret_cast<void*>(client.target), msg, w, l);
      return true;
    default:
      return SendNotifyMessageW(reinterpret_cast<HWND>(client.target), msg, w,
                                static_cast<LPARAM>(l)) != FALSE;
  }
}

// Delivers by kind (main-thread bit already handled); true when the delivery counts as done.
// Done deliveries are counted for event_DeliveryCount.
bool DeliverByKind(const Client& client, unsigned kind, unsigned msg, std::uintptr_t w,
                   std::uintptr_t l) {
  CalloutScope callout;
  const bool done = CallReceiver(client, kind, msg, w, l);
  if (done) TheService().deliveries.fetch_add(1, std::memory_order_relaxed);
  return done;
}

bool Deliver(Service& s, unsigned clientIndex, unsigned regId, unsigned msg, std::uintptr_t w,
             std::uintptr_t l) {
  if (clientIndex >= s.clients.size() || s.clients[clientIndex].key == 0) return true;
  const Client client = s.clients[clientIndex];  // the call may change the table
  if (client.kind & event_kindMainThread) {
    QueueForMainThread(s, client, clientIndex, regId, msg, w, l);
    return true;
  }
  return DeliverByKind(client, client.kind, msg, w, l);
}

void MarkArmed(Service& s, EventTable& table) {
  table.dirty = true;
  s.armed = true;
}

// Keeps a failed immediate delivery for the next pass (see the notes at the top).
void KeepForRetry(Service& s, EventTable& table, Registration& r, std::uintptr_t w,
                  std::uintptr_t l) {
  if (IsSync(r.control)) return;
  Store(r, w, l);
  r.state = WithCountdown(r.state | kArmed | kRetrying, kOnePass);
  MarkArmed(s, table);
}

void DispatchOne(Service& s, EventTable& table, std::size_t index, unsigned number,
                 std::uintptr_t w, std::uintptr_t l, unsigned flags) {
  Registration* r = &table.regs[index];
  const unsigned id = r->id;
  const unsigned eventFlags = flags & kEventFlagsMask;

  if (eventFlags == kUrgent) {
    const bool done = Deliver(s, r->clientIndex, id, number, w, l);
    if (!done && (r = Refind(table, index, id))) KeepForRetry(s, table, *r, w, l);
    return;
  }
  if (r->state & kArmed) {
    Store(*r, w, l);
    MarkArmed(s, table);
    return;
  }
  const unsigned mode = Mode(r->control);
  if (mode == event_modeDelay || mode == event_modeThrottle) {
    r->state = WithCountdown(r->state | kArmed, Period(r->control));
    MarkArmed(s, table);
    if (mode == event_modeDelay) {
      Store(*r, w, l);
      return;
    }
    const bool done = Deliver(s, r->clientIndex, id, number, w, l);
    if (!done && (r = Refind(table, index, id))) {
      Store(*r, w, l);
      r->state |= kRetrying;
    }
    return;
  }
  const unsigned category = r->control & event_categoryMask;
  const bool wanted =
      category == 0 || ((category == event_flagCategory1 || category == event_flagObject ||
                         category == event_flagRuler) &&
                        (flags & category));
  if (!wanted) return;
  const bool done = Deliver(s, r->clientIndex, id, number, w, l);
  if (!done && (r = Refind(table, index, id))) KeepForRetry(s, table, *r, w, l);
}

void Dispatch(Service& s, bool immediate, unsigned number, std::uintptr_t w, std::uintptr_t l,
              unsigned flags) {
  const unsigned t = number - event_first;
  if (t >= kTableCount) return;
  EventTable& table = s.tables[t];
  if (immediate && table.syncCount == 0) return;
  const unsigned senderKey = flags & event_senderKeyMask;
  for (std::size_t i = 0; i < table.regs.size();) {
    const Registration& r = table.regs[i];
    const unsigned id = r.id;
    const bool skip = IsSync(r.control) != immediate || !Accepts(w, r.wMask, r.wValue) ||
                      !Accepts(l, r.lMask, r.lValue) ||
                      (senderKey != 0 && r.clientIndex < s.clients.size() &&
                       s.clients[r.clientIndex].key == senderKey);
    if (skip) {
      ++i;
      continue;
    }
    DispatchOne(s, table, i, number, w, l, flags);
    i = NextIndex(table, i, id);  // the delivery may have changed the table
  }
}

void RunTimers(Service& s) {
  EventTable& table = s.tables[0];
  for (std::size_t i = 0; i < table.regs.size();) {
    Registration* r = &table.regs[i];
    const unsigned id = r->id;
    if (!IsSync(r->control)) {
      const unsigned countdown = Countdown(r->state);
      if (countdown == 0) {
        Deliver(s, r->clientIndex, id, event_timer, r->storedW, r->storedL);
        if ((r = Refind(table, i, id))) r->state = WithCountdown(r->state, Period(r->control));
      } else {
        r->state = WithCountdown(r->state, AfterOnePass(countdown));
      }
    }
    i = NextIndex(table, i, id);
  }
}

// Delivers the stored parameters of an expired registration; true on success.
bool DeliverStored(Service& s, EventTable& table, std::size_t index, unsigned number) {
  const Registration& r = table.regs[index];
  return Deliver(s, r.clientIndex, r.id, number, r.storedW, r.storedL);
}

void RunCountdowns(Service& s) {
  if (!s.armed) return;
  for (unsigned t = 0; t < kTableCount; ++t) {
    EventTable& table = s.tables[t];
    if (!table.dirty) continue;
    const unsigned number = event_first + t;
    for (std::size_t i = 0; i < table.regs.size();) {
      Registration* r = &table.regs[i];
      const unsigned id = r->id;
      if (r->state & kArmed) {
        const unsigned countdown = AfterOnePass(Countdown(r->state));
        r->state = WithCountdown(r->state, countdown);
        if (countdown == 0) {
          if (Mode(r->control) == event_modeThrottle) {
            if (r->state & kStored) {
              const bool done = DeliverStored(s, table, i, number);
              if ((r = Refind(table, i, id))) {
                r->state = done ? r->state & ~(kStored | kRetrying) : r->state | kRetrying;
                r->state = WithCountdown(r->state, Period(r->control));
              }
            } else {
              r->state &= ~kArmed;
            }
          } else {
            // Delay mode, and retries of failed immediate deliveries.
            const bool done = !(r->state & kStored) || DeliverStored(s, table, i, number);
            if ((r = Refind(table, i, id))) {
              if (done)
                r->state &= ~(kArmed | kStored | kRetrying);
              else
                r->state = WithCountdown(r->state | kRetrying, kOnePass);
            }
          }
        }
      }
      i = NextIndex(table, i, id);
    }
  }
  // Busy while any registration still counts down.
  bool busy = false;
  for (EventTable& table : s.tables) {
    table.dirty = std::any_of(table.regs.begin(), table.regs.end(),
                              [](const Registration& r) { return r.state & kArmed; });
    busy = busy || table.dirty;
  }
  s.armed = busy;
}

void PostToMainThreadIfNeeded(Service& s) {
  if (!s.postNeeded || !s.postAllowed) return;
  HWND main = MainWindowHandle();
  if (main && PostMessageW(main, event_mainThreadMessage, 0, 0)) s.postAllowed = false;
}

// One pass of the tick thread; the event lock is held by the caller.
void RunPassLocked(Service& s) {
  if (!s.initialised) return;
  {
    std::lock_guard pass(s.passLock);
    ++s.passesStarted;
  }
  // Events that receivers send during the pass are taken in the same pass (a cursor's 1618
  // reaches its container together with the 1619 that moved it), but only for a bounded
  // number of rounds: a receiver that answers every delivery with a new event would otherwise
  // hold the pass, and the lock, forever. What is left waits for the next pass.
  std::deque<QueuedMessage> batch;
  for (int round = 0; round < kMaxDrainRounds; ++round) {
    {
      std::lock_guard queue(s.queueLock);
      if (s.queue.empty()) break;
      batch.swap(s.queue);
    }
    for (const QueuedMessage& m : batch) Dispatch(s, false, m.number, m.w, m.l, m.flags);
    batch.clear();
  }
  RunTimers(s);
  RunCountdowns(s);
  PostToMainThreadIfNeeded(s);
  {
    std::lock_guard pass(s.passLock);
    ++s.passesCompleted;
  }
  s.passDone.notify_all();
}

void ResetTables(Service& s) {
  s.clients.assign(kClientStep, Client{});
  s.clients.shrink_to_fit();
  s.liveClients = 0;
  for (EventTable& table : s.tables) {
    table = EventTable{};
    table.regs.reserve(kRegistrationStep);
  }
  s.mainQueue.assign(kMainQueueFirst, MainThreadEntry{});
  s.armed = false;
  s.postNeeded = false;
  s.postAllowed = true;
}

void FreeTables(Service& s) {
  s.clients = {};
  s.liveClients = 0;
  for (EventTable& table : s.tables) table = EventTable{};
  s.mainQueue = {};
  s.armed = false;
  s.postNeeded = false;
}

bool KeyInUse(const Service& s, unsigned key) {
  return std::any_of(s.clients.begin(), s.clients.end(),
                     [key](const Client& c) { return c.key == key; });
}

unsigned TakeKeyCandidate(Service& s) {
  const unsigned key = s.keyCounter;
  s.keyCounter = key >= kMaxKey ? 1 : key + 1;
  return key;
}

void RemoveMainThreadEntries(Service& s, unsigned clientIndex, unsigned regId) {
  for (MainThreadEntry& e : s.mainQueue) {
    if (e.inUse && (regId ? e.registrationId == regId : e.clientIndex == clientIndex))
      e.inUse = false;
  }
}

void RemoveRegistration(Service& s, EventTable& table, std::size_t index) {
  const Registration& r = table.regs[index];
  RemoveMainThreadEntries(s, 0, r.id);
  if (IsSync(r.control)) --table.syncCount;
  table.regs.erase(table.regs.begin() + static_cast<std::ptrdiff_t>(index));
}

// The not-started report: whether the service ever ran in this process, whether the report was
// made, and where it goes.
std::atomic<bool> gEverStarted{false};
std::atomic<bool> gNotStartedReported{false};
std::atomic<event_DiagnosticHook> gDiagnosticHook{nullptr};

// Called by the calls that need the service, outside every lock of it.
void ReportIfNeverStarted(const char* call) {
  if (gEverStarted.load(std::memory_order_acquire)) return;
  if (gNotStartedReported.exchange(true)) return;
  char text[400];
  std::snprintf(text, sizeof text,
                "quarlen: %s was called before event_Init(): the event service is not started, "
                "so nothing is registered or delivered (rulers, views and cursors do not follow "
                "changes). Call event_Init() once at start-up, after creating the QApplication "
                "and before creating rulers, positions, graphic objects or windows.",
                call);
  if (const event_DiagnosticHook hook = gDiagnosticHook.load()) {
    hook(text);
  } else {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
  }
}

void Initialise(bool withTickThread) {
  if (tDeliveryDepth > 0) return;
  Service& s = TheService();
  std::lock_guard life(s.lifeLock);
  {
    std::lock_guard lock(s.eventLock);
    if (s.initialised) return;
    ResetTables(s);
    s.initialised = true;
    gEverStarted.store(true, std::memory_order_release);
  }
  {
    std::lock_guard queue(s.queueLock);
    s.queue.clear();
    s.accepting = true;
  }
  if (withTickThread) {
    {
      std::lock_guard pass(s.passLock);
      s.tickRunning = true;
    }
    // The new thread waits on the wake lock until its id is known (event_Tick checks it).
    std::unique_lock wake(s.wakeLock);
    s.tickThread = AfxBeginThread(&event_Tick, nullptr, THREAD_PRIORITY_BELOW_NORMAL,
                                  kTickStackSize, kStackSizeIsReservation);
    s.tickThreadId = s.tickThread ? s.tickThread->m_nThreadID : 0;
    wake.unlock();
    if (!s.tickThread) {  // no thread, no service
      std::lock_guard lock(s.eventLock);
      FreeTables(s);
      s.initialised = false;
      std::lock_guard queue(s.queueLock);
      s.accepting = false;
      std::lock_guard pass(s.passLock);
      s.tickRunning = false;
    }
  }
}

}  // namespace

std::uint64_t event_PassCount() {
  Service& s = TheService();
  std::lock_guard pass(s.passLock);
  return s.passesCompleted;
}

bool event_WaitForPasses(unsigned n, unsigned timeoutMs) {
  // Inside a delivery the event lock is held: no pass could complete while we wait.
  if (tDeliveryDepth > 0) return false;
  Service& s = TheService();
  std::unique_lock pass(s.passLock);
  const std::uint64_t target = s.passesStarted + n;
  return s.passDone.wait_for(pass, std::chrono::milliseconds(timeoutMs), [&] {
    return s.passesCompleted >= target || !s.tickRunning;
  }) && s.passesCompleted >= target;
}

void event_InitManual() { Initialise(false); }

void event_RunPass() {
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  RunPassLocked(s);
}

void event_SetNextClientKey(unsigned key) {
  if (key == 0 || key > kMaxKey) return;
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  s.keyCounter = key;
}

void event_SetMessageHook(EventMessageHook hook) { gMessageHook.store(hook); }

void event_ResetDiagnostics() {
  gEverStarted = false;
  gNotStartedReported = false;
}

std::size_t event_QueuedMessageCount() {
  Service& s = TheService();
  std::lock_guard queue(s.queueLock);
  return s.queue.size();
}

std::uint64_t event_PassesBegun() {
  Service& s = TheService();
  std::lock_guard pass(s.passLock);
  return s.passesStarted;
}

std::uint64_t event_DeliveryCount() {
  return TheService().deliveries.load(std::memory_order_relaxed);
}

bool event_DeliveryPending() {
  Service& s = TheService();
  // Never waits for the lock: the caller (the GUI thread) may be what a receiver holding it
  // waits for. Held elsewhere means a pass or a delivery is running, which is work too.
  std::unique_lock lock(s.eventLock, std::try_to_lock);
  if (!lock.owns_lock()) return true;
  if (!s.initialised) return false;
  {
    std::lock_guard queue(s.queueLock);
    if (!s.queue.empty()) return true;
  }
  if (std::any_of(s.mainQueue.begin(), s.mainQueue.end(),
                  [](const MainThreadEntry& e) { return e.inUse; }))
    return true;
  if (!s.armed) return false;
  // An armed registration with stored parameters delivers them when its countdown ends; one
  // without (a throttle after its delivery) only waits to accept the next event. A retry of a
  // delivery that failed (a window gone, a thread without a queue) may never succeed, so it
  // does not count: it would keep every caller waiting.
  return std::any_of(s.tables.begin(), s.tables.end(), [](const EventTable& table) {
    return std::any_of(table.regs.begin(), table.regs.end(), [](const Registration& r) {
      return (r.state & (kArmed | kStored | kRetrying)) == (kArmed | kStored);
    });
  });
}

bool event_TickThreadRunning() {
  Service& s = TheService();
  std::lock_guard pass(s.passLock);
  return s.tickRunning;
}

bool event_InsideDelivery() { return tDeliveryDepth > 0; }

}  // namespace quarlen::detail

using namespace quarlen::detail;

void event_Init() { Initialise(true); }

void event_Terminate() {
  if (tDeliveryDepth > 0) return;
  Service& s = TheService();
  std::lock_guard life(s.lifeLock);
  {
    std::lock_guard lock(s.eventLock);
    if (!s.initialised) return;
  }
  {
    std::lock_guard wake(s.wakeLock);
    s.terminateRequest = true;
  }
  s.wake.notify_all();
  delete s.tickThread;  // waits for the thread to end
  s.tickThread = nullptr;
  {
    std::lock_guard lock(s.eventLock);
    FreeTables(s);
    s.initialised = false;
    std::lock_guard queue(s.queueLock);
    s.queue = {};
    s.accepting = false;
  }
  {
    std::lock_guard wake(s.wakeLock);
    s.terminateRequest = false;
    s.tickThreadId = 0;
  }
  {
    std::lock_guard pass(s.passLock);
    s.tickRunning = false;
  }
  s.passDone.notify_all();
}

unsigned event_RegisterClient(std::uintptr_t target, event_Callback3 callback3,
                              event_Callback4 callback4, unsigned kind) {
  ReportIfNeverStarted("event_RegisterClient");
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  if (!s.initialised || s.liveClients >= kMaxKey) return 0;
  unsigned key = TakeKeyCandidate(s);
  while (KeyInUse(s, key)) key = TakeKeyCandidate(s);
  auto slot =
      std::find_if(s.clients.begin(), s.clients.end(), [](const Client& c) { return c.key == 0; });
  if (slot == s.clients.end()) {
    const std::size_t used = s.clients.size();
    s.clients.resize(used + kClientStep);
    slot = s.clients.begin() + static_cast<std::ptrdiff_t>(used);
  }
  *slot = Client{key, target, callback3, callback4, kind};
  ++s.liveClients;
  return key;
}

void event_UnregisterClient(unsigned key) {
  if (key == 0) return;
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  if (!s.initialised) return;
  auto slot = std::find_if(s.clients.begin(), s.clients.end(),
                           [key](const Client& c) { return c.key == key; });
  if (slot == s.clients.end()) return;
  const auto index = static_cast<unsigned>(slot - s.clients.begin());
  for (EventTable& table : s.tables) {
    for (std::size_t i = table.regs.size(); i-- > 0;) {
      if (table.regs[i].clientIndex == index) RemoveRegistration(s, table, i);
    }
  }
  RemoveMainThreadEntries(s, index, 0);
  slot->key = 0;
  --s.liveClients;
}

unsigned event_RegisterEvent(unsigned number, unsigned key, unsigned control,
                             std::uintptr_t wParamMask, std::uintptr_t wParamValue,
                             std::uintptr_t lParamMask, std::uintptr_t lParamValue) {
  ReportIfNeverStarted("event_RegisterEvent");
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  const unsigned t = number - event_first;
  if (!s.initialised || t >= kTableCount || key == 0) return 0;
  auto slot = std::find_if(s.clients.begin(), s.clients.end(),
                           [key](const Client& c) { return c.key == key; });
  // Ids are never reused (a stale id must not remove a newer registration); after 2^32 - 1
  // registrations in one process nothing more is registered.
  if (slot == s.clients.end() || s.nextRegistrationId == 0) return 0;
  EventTable& table = s.tables[t];
  if (table.regs.size() == table.regs.capacity())
    table.regs.reserve(table.regs.capacity() + kRegistrationStep);
  const unsigned id = s.nextRegistrationId++;
  table.regs.push_back(Registration{id, static_cast<unsigned>(slot - s.clients.begin()), 0, control,
                                    0, wParamMask, wParamValue, 0, lParamMask, lParamValue});
  if (IsSync(control)) ++table.syncCount;
  return id;
}

void event_UnregisterEvent(unsigned number, unsigned id) {
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  const unsigned t = number - event_first;
  if (!s.initialised || t >= kTableCount) return;
  EventTable& table = s.tables[t];
  auto it = std::lower_bound(table.regs.begin(), table.regs.end(), id,
                             [](const Registration& r, unsigned v) { return r.id < v; });
  if (it != table.regs.end() && it->id == id)
    RemoveRegistration(s, table, static_cast<std::size_t>(it - table.regs.begin()));
}

void event_Send(unsigned number, std::uintptr_t wParam, std::uintptr_t lParam, unsigned flags) {
  ReportIfNeverStarted("event_Send");
  Service& s = TheService();
  {
    std::lock_guard lock(s.eventLock);
    if (!s.initialised) return;
    Dispatch(s, true, number, wParam, lParam, flags);
  }
  std::lock_guard queue(s.queueLock);
  if (s.accepting) s.queue.push_back(QueuedMessage{number, wParam, lParam, flags});
}

unsigned event_Tick(void*) {
  Service& s = TheService();
  {
    std::lock_guard wake(s.wakeLock);
    if (s.tickThreadId == 0 || s.tickThreadId != GetCurrentThreadId()) return 0;
  }
  for (;;) {
    {
      std::unique_lock wake(s.wakeLock);
      if (s.wake.wait_for(wake, kTickInterval, [&] { return s.terminateRequest; })) break;
    }
    std::lock_guard lock(s.eventLock);
    {
      std::lock_guard wake(s.wakeLock);
      if (s.terminateRequest) break;
    }
    RunPassLocked(s);
  }
  return 0;
}

void event_SetDiagnosticHook(event_DiagnosticHook hook) { gDiagnosticHook = hook; }

unsigned event_DrainMainThreadQueue() {
  Service& s = TheService();
  std::lock_guard lock(s.eventLock);
  if (!s.initialised) return 0;
  unsigned delivered = 0;
  for (std::size_t i = 0; i < s.mainQueue.size(); ++i) {
    if (!s.mainQueue[i].inUse) continue;
    const MainThreadEntry entry = s.mainQueue[i];
    s.mainQueue[i].inUse = false;
    DeliverByKind(entry.client, entry.client.kind & ~event_kindMainThread, entry.msg, entry.w,
                  entry.l);
    ++delivered;
  }
  s.postNeeded = std::any_of(s.mainQueue.begin(), s.mainQueue.end(),
                             [](const MainThreadEntry& e) { return e.inUse; });
  s.postAllowed = true;
  return delivered;
}
