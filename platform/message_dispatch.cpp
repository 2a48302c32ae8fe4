// Message plumbing of the window layer: the handle registry, the GUI-thread dispatcher that
// carries messages and paint and flush requests from other threads, the thread message queues,
// and the send/post entry points.
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <unordered_map>

#include "platform/detail/device_pixels.h"
#include "platform/detail/window_registry.h"
#include "platform/detail/window_widget.h"
#include "platform/window.h"

namespace quarlen::detail {

namespace {

// ---- Handle registry --------------------------------------------------------------------

struct Registry {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;
  std::uintptr_t next = 0x10000;  // handles step by 4 and are never reused
};
Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: late calls from other threads are safe
  return *r;
}

HWND Register(const std::shared_ptr<WindowRecord>& rec) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.next += 4;
  rec->handle = reinterpret_cast<HWND>(r.next);
  r.windows.emplace(r.next, rec);
  return rec->handle;
}

void Unregister(HWND hWnd) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.windows.erase(reinterpret_cast<std::uintptr_t>(hWnd));
}

// ---- Dispatcher -------------------------------------------------------------------------

enum EventType : int {
  kPostedEvent = QEvent::User + 0x5100,
  kWakeEvent,
  kPaintEvent,
  kFlushEvent,
};

struct MessageEvent : QEvent {
  explicit MessageEvent(const MSG& m) : QEvent(static_cast<QEvent::Type>(kPostedEvent)), msg(m) {}
  MSG msg;
};
struct HandleEvent : QEvent {
  HandleEvent(EventType type, HWND h) : QEvent(static_cast<QEvent::Type>(type)), hwnd(h) {}
  HWND hwnd;
};

struct SendWait {
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  LRESULT result = 0;
};
struct SentMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  std::shared_ptr<SendWait> wait;  // null for SendNotifyMessageW
};

class Dispatcher;

struct DispatchState {
  std::mutex mutex;                  // guards everything below
  Dispatcher* dispatcher = nullptr;  // lives on the GUI thread
  QCoreApplication* app = nullptr;   // the application it was made for
  std::deque<SentMessage> sent;
  bool wakePending = false;
  std::condition_variable sentArrived;  // for WaitServicingSentMessages
  std::function<BOOL(MSG*)> threadHook;
  CWnd* mainWnd = nullptr;
};
DispatchState& state() {
  static DispatchState* s = new DispatchState;
  return *s;
}
std::atomic<DWORD> g_guiThreadId{0};
constexpr std::size_t kMaxQueuedSends = 100000;
std::atomic<HWND> g_mainWindow{nullptr};

// Events cross to the GUI thread through Qt's queue, whose locking lives in Qt and is not
// visible to race detectors. Every post and every delivery also touch this counter (post:
// acquire-release increment after the event is built; delivery: acquire load before it is
// read), which publishes the event explicitly and costs one uncontended atomic.
std::atomic<unsigned> g_handover{0};

void HandleThreadMessage(MSG msg) {
  std::function<BOOL(MSG*)> hook;
  {
    std::lock_guard lock(state().mutex);
    hook = state().threadHook;
  }
  if (hook && hook(&msg)) return;
  // The quit message ends the running event loops (QApplication::exec and any modal loop
  // inside it), as a message loop ends when it retrieves the quit message. With no loop
  // running there is nothing to end, and Qt's own quit flag is left alone so that later
  // modal loops still run.
  if (msg.message == WM_QUIT && QThread::currentThread()->loopLevel() > 0) {
    QCoreApplication::exit(static_cast<int>(msg.wParam));
  }
}

class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    g_handover.load(std::memory_order_acquire);
    switch (static_cast<int>(e->type())) {
      case kPostedEvent: {
        ServiceSentMessages();  // sent messages go before posted ones
        const MSG& m = static_cast<MessageEvent*>(e)->msg;
        if (m.hwnd) {
          DispatchToWindow(m.hwnd, m.message, m.wParam, m.lParam);
        } else {
          HandleThreadMessage(m);
        }
        return true;
      }
      case kWakeEvent: {
        std::lock_guard lock(state().mutex);
        state().wakePending = false;
      }
        ServiceSentMessages();
        return true;
      case kPaintEvent:
        PaintCycle(static_cast<HandleEvent*>(e)->hwnd);
        return true;
      case kFlushEvent: {
        auto rec = FindWindowRecord(static_cast<HandleEvent*>(e)->hwnd);
        if (!rec) return true;
        QRegion dirty;
        {
          std::lock_guard lock(rec->mutex);
          dirty.swap(rec->dirty);
          rec->flushPending = false;
        }
        if (rec->widget) rec->widget->update(LogicalCover(dirty, DeviceRatio(rec->widget)));
        return true;
      }
      default:
        return QObject::event(e);
    }
  }
};

// Answers every waiting sender with 0 (the application is going away).
void AbandonSent(std::deque<SentMessage>& sent) {
  for (auto& s : sent) {
    if (!s.wait) continue;
    std::lock_guard lock(s.wait->mutex);
    s.wait->done = true;
    s.wait->done_cv.notify_all();
  }
  sent.clear();
}

void ShutDownDispatcher() {
  std::deque<SentMessage> sent;
  Dispatcher* d = nullptr;
  {
    std::lock_guard lock(state().mutex);
    d = state().dispatcher;
    state().dispatcher = nullptr;
    state().app = nullptr;
    sent.swap(state().sent);
    state().wakePending = false;
  }
  AbandonSent(sent);
  delete d;
}

// Posts an event to the dispatcher (created on first use); false when there is no
// application. Caller holds no lock.
bool PostToDispatcher(QEvent* e, int priority = Qt::NormalEventPriority) {
  std::lock_guard lock(state().mutex);
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    delete e;
    return false;
  }
  if (!state().dispatcher || state().app != app) {
    auto* d = new Dispatcher;
    d->moveToThread(app->thread());
    state().dispatcher = d;
    state().app = app;
    qAddPostRoutine(&ShutDownDispatcher);
  }
  g_handover.fetch_add(1, std::memory_order_acq_rel);
  QCoreApplication::postEvent(state().dispatcher, e, priority);
  return true;
}

// The message being handled on the GUI thread, for CWnd::Default.
struct CurrentMessage {
  CWnd* wnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

LRESULT CallWindowProcOf(CWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CurrentMessage saved = t_current;
  t_current = {wnd, msg, wParam, lParam};
  LRESULT r = wnd->WindowProc(msg, wParam, lParam);
  t_current = saved;
  return r;
}

// ---- Thread message queues of threads other than the GUI thread ---------------------------

struct ThreadQueue {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<MSG> messages;
};
std::mutex g_queuesMutex;
std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>& queues() {
  static auto* q = new std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>;
  return *q;
}
struct QueueOwner {
  std::shared_ptr<ThreadQueue> queue;
  DWORD id = 0;
  ~QueueOwner() {
    if (!queue) return;
    std::lock_guard lock(g_queuesMutex);
    queues().erase(id);
  }
};
thread_local QueueOwner t_queue;

ThreadQueue& OwnQueue() {
  if (!t_queue.queue) {
    t_queue.queue = std::make_shared<ThreadQueue>();
    t_queue.id = GetCurrentThreadId();
    std::lock_guard lock(g_queuesMutex);
    queues()[t_queue.id] = t_queue.queue;
  }
  return *t_queue.queue;
}

void SetMainWindowHandle(HWND h) { g_mainWindow = h; }

}  // namespace

// ---- Registry access ---------------------------------------------------------------------

std::shared_ptr<WindowRecord> FindWindowRecord(HWND hWnd) {
  if (!hWnd) return nullptr;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto it = r.windows.find(reinterpret_cast<std::uintptr_t>(hWnd));
  return it == r.windows.end() ? nullptr : it->second;
}

std::vector<HWND> ChildWindows(HWND hWnd) {
  std::vector<HWND> out;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (auto& [h, rec] : r.windows) {
    if (rec->parent == hWnd && (rec->style.load() & WS_CHILD)) out.push_back(rec->handle);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Owned top-level windows (destroyed with their owner).
std::vector<HWND> OwnedWindows(HWND hWnd) {
  std::vector<HWND> out;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (auto& [h, rec] : r.windows) {
    if (rec->parent == hWnd && !(rec->style.load() & WS_CHILD)) out.push_back(rec->handle);
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool WindowWorkPending() {
  {
    std::lock_guard lock(state().mutex);
    if (!state().sent.empty()) return true;
  }
  std::vector<std::shared_ptr<WindowRecord>> all;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (auto& [h, rec] : r.windows) all.push_back(rec);
  }
  for (auto& rec : all) {
    std::lock_guard lock(rec->mutex);
    if (rec->paintPending || rec->flushPending) return true;
  }
  return false;
}

HWND HandleOfWidget(const QWidget* widget) {
  if (!widget) return nullptr;
  if (auto* w = dynamic_cast<const WindowWidget*>(widget)) return w->handle();
  QVariant v = widget->property("quarlen_hwnd");
  if (!v.isValid()) return nullptr;
  HWND h = reinterpret_cast<HWND>(v.value<quintptr>());
  return FindWindowRecord(h) ? h : nullptr;
}

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) return false;
  if (!g_guiThreadId.load(std::memory_order_relaxed)) g_guiThreadId = GetCurrentThreadId();
  return true;
}

LRESULT DispatchToWindow(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return 0;
  if (rec->wnd) return CallWindowProcOf(rec->wnd, msg, wParam, lParam);
  return DefaultWindowProc(hWnd, msg, wParam, lParam);
}

int ServiceSentMessages() {
  // Only the messages waiting now: senders that keep sending must not starve the event loop
  // (they post a new wake-up for what arrives meanwhile).
  std::deque<SentMessage> batch;
  {
    std::lock_guard lock(state().mutex);
    batch.swap(state().sent);
  }
  int handled = 0;
  for (SentMessage& s : batch) {
    LRESULT r = DispatchToWindow(s.hwnd, s.msg, s.wParam, s.lParam);
    ++handled;
    if (s.wait) {
      std::lock_guard lock(s.wait->mutex);
      s.wait->result = r;
      s.wait->done = true;
      s.wait->done_cv.notify_all();
    }
  }
  return handled;
}

void WaitServicingSentMessages(const std::function<bool()>& done) {
  for (;;) {
    ServiceSentMessages();
    if (done()) return;
    std::unique_lock lock(state().mutex);
    // The condition `done` is not signalled through this lock, so it is polled at a short
    // interval; sent messages wake the wait at once.
    state().sentArrived.wait_for(lock, std::chrono::milliseconds(2),
                                 [] { return !state().sent.empty(); });
  }
}

void ScheduleFlush(WindowRecord& rec, const QRegion& region) {
  if (OnGuiThread()) {
    if (rec.widget) rec.widget->update(LogicalCover(region, DeviceRatio(rec.widget)));
    return;
  }
  bool post = false;
  {
    std::lock_guard lock(rec.mutex);
    rec.dirty |= region;
    if (!rec.flushPending) post = rec.flushPending = true;
  }
  if (post && !PostToDispatcher(new HandleEvent(kFlushEvent, rec.handle))) {
    std::lock_guard lock(rec.mutex);
    rec.flushPending = false;
  }
}

void SchedulePaint(WindowRecord& rec) {
  if (!PostToDispatcher(new HandleEvent(kPaintEvent, rec.handle), Qt::LowEventPriority)) {
    std::lock_guard lock(rec.mutex);
    rec.paintPending = false;
  }
}

HWND MainWindowHandle() {
  HWND h = g_mainWindow.load();
  return FindWindowRecord(h) ? h : nullptr;
}

HWND RegisterWindow(const std::shared_ptr<WindowRecord>& rec) { return Register(rec); }

void UnregisterWindow(HWND hWnd) {
  Unregister(hWnd);
  HWND expected = hWnd;
  g_mainWindow.compare_exchange_strong(expected, nullptr);
}

bool CurrentMessageOf(const CWnd* wnd, UINT* msg, WPARAM* wParam, LPARAM* lParam) {
  if (!wnd || t_current.wnd != wnd) return false;
  *msg = t_current.msg, *wParam = t_current.wParam, *lParam = t_current.lParam;
  return true;
}

}  // namespace quarlen::detail

using namespace quarlen::detail;

// ---- Message delivery entry points ----------------------------------------------------------

BOOL IsWindow(HWND hWnd) { return FindWindowRecord(hWnd) ? TRUE : FALSE; }

LRESULT SendMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!FindWindowRecord(hWnd)) return 0;
  if (OnGuiThread()) return DispatchToWindow(hWnd, msg, wParam, lParam);
  auto wait = std::make_shared<SendWait>();
  bool wake = false;
  {
    std::lock_guard lock(state().mutex);
    if (!QCoreApplication::instance()) return 0;
    state().sent.push_back({hWnd, msg, wParam, lParam, wait});
    wake = !state().wakePending;
    state().wakePending = true;
    state().sentArrived.notify_all();
  }
  if (wake &&
      !PostToDispatcher(new QEvent(static_cast<QEvent::Type>(kWakeEvent)), Qt::HighEventPriority)) {
    return 0;
  }
  std::unique_lock lock(wait->mutex);
  wait->done_cv.wait(lock, [&] { return wait->done; });
  return wait->result;
}

BOOL SendNotifyMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!FindWindowRecord(hWnd)) return FALSE;
  if (OnGuiThread()) {
    DispatchToWindow(hWnd, msg, wParam, lParam);
    return TRUE;
  }
  bool wake = false;
  {
    std::lock_guard lock(state().mutex);
    // Like a full message queue: refuse rather than grow without bound.
    if (!QCoreApplication::instance() || state().sent.size() >= kMaxQueuedSends) return FALSE;
    state().sent.push_back({hWnd, msg, wParam, lParam, nullptr});
    wake = !state().wakePending;
    state().wakePending = true;
    state().sentArrived.notify_all();
  }
  if (wake &&
      !PostToDispatcher(new QEvent(static_cast<QEvent::Type>(kWakeEvent)), Qt::HighEventPriority)) {
    return FALSE;
  }
  return TRUE;
}

BOOL PostMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessageW(GetCurrentThreadId(), msg, wParam, lParam);
  if (!FindWindowRecord(hWnd)) return FALSE;
  MSG m{hWnd, msg, wParam, lParam, 0, {0, 0}};
  return PostToDispatcher(new MessageEvent(m)) ? TRUE : FALSE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId == 0) return FALSE;
  MSG m{nullptr, msg, wParam, lParam, 0, {0, 0}};
  if (threadId == g_guiThreadId.load()) return PostToDispatcher(new MessageEvent(m)) ? TRUE : FALSE;
  std::shared_ptr<ThreadQueue> q;
  {
    std::lock_guard lock(g_queuesMutex);
    auto it = queues().find(threadId);
    if (it == queues().end()) return FALSE;
    q = it->second;
  }
  std::lock_guard lock(q->mutex);
  q->messages.push_back(m);
  q->arrived.notify_all();
  return TRUE;
}

BOOL GetMessageW(LPMSG msg, HWND, UINT, UINT) {
  if (!msg || OnGuiThread()) return -1;
  ThreadQueue& q = OwnQueue();
  std::unique_lock lock(q.mutex);
  q.arrived.wait(lock, [&] { return !q.messages.empty(); });
  *msg = q.messages.front();
  q.messages.pop_front();
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND, UINT, UINT, UINT remove) {
  if (!msg || OnGuiThread()) return FALSE;
  ThreadQueue& q = OwnQueue();
  std::lock_guard lock(q.mutex);
  if (q.messages.empty()) return FALSE;
  *msg = q.messages.front();
  if (remove & PM_REMOVE) q.messages.pop_front();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

// ---- Application thread and main window ----------------------------------------------------

CWinThread* AfxGetThread() {
  if (!QCoreApplication::instance()) return nullptr;
  static CWinThread* thread = [] {
    auto* t = new CWinThread(nullptr, nullptr);  // stands for the GUI thread; never started
    return t;
  }();
  if (OnGuiThread())
    thread->m_nThreadID = GetCurrentThreadId();
  else if (!thread->m_nThreadID)
    thread->m_nThreadID = g_guiThreadId.load();
  return thread;
}

CWnd* AfxGetMainWnd() {
  std::lock_guard lock(state().mutex);
  CWnd* w = state().mainWnd;
  return w && FindWindowRecord(g_mainWindow.load()) ? w : nullptr;
}

void AfxSetMainWnd(CWnd* wnd) {
  std::lock_guard lock(state().mutex);
  state().mainWnd = wnd;
  SetMainWindowHandle(wnd ? wnd->m_hWnd : nullptr);
}

void quarlen::SetThreadMessageHook(std::function<BOOL(MSG*)> hook) {
  std::lock_guard lock(state().mutex);
  state().threadHook = std::move(hook);
}
