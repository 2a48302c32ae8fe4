// Windows: the handle registry, the GUI-thread dispatcher that carries messages from other
// threads, message delivery, and CWnd's window management.
#include "platform/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <unordered_map>

#include "platform/detail/window_registry.h"
#include "platform/dialog.h"
#include "platform/detail/window_widget.h"

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
  if (hook) hook(&msg);
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
        if (rec->widget) rec->widget->update(dirty);
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

int ClampCoord(LONG v) { return std::clamp<LONG>(v, -32768, 32767); }
// Window sizes are limited so that a surface never needs more than 8192 x 8192 pixels.
int ClampExtent(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 8192)); }

void DestroyImpl(HWND hWnd, bool fromWidgetDestructor);

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
static std::vector<HWND> OwnedWindows(HWND hWnd) {
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
    if (rec.widget) rec.widget->update(region);
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

void SetMainWindowHandle(HWND h) { g_mainWindow = h; }

HWND MainWindowHandle() {
  HWND h = g_mainWindow.load();
  return FindWindowRecord(h) ? h : nullptr;
}

namespace {

void DestroyImpl(HWND hWnd, bool fromWidgetDestructor) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || rec->destroying) return;
  rec->destroying = true;
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  ForgetInputState(hWnd);
  if (rec->widget && !rec->hostWidget && !fromWidgetDestructor) rec->widget->hide();
  DispatchToWindow(hWnd, WM_DESTROY, 0, 0);
  for (HWND owned : OwnedWindows(hWnd)) DestroyImpl(owned, false);
  for (HWND child : ChildWindows(hWnd)) DestroyImpl(child, fromWidgetDestructor);
  DispatchToWindow(hWnd, WM_NCDESTROY, 0, 0);
  Unregister(hWnd);
  if (g_mainWindow.load() == hWnd) g_mainWindow = nullptr;
  CWnd* wnd = rec->wnd;
  rec->wnd = nullptr;
  if (wnd && wnd->m_hWnd == hWnd) wnd->m_hWnd = nullptr;
  if (QWidget* w = rec->widget) {
    if (rec->hostWidget) {
      w->setProperty("quarlen_hwnd", QVariant());
      if (rec->ownsWidget && !fromWidgetDestructor) w->deleteLater();
    } else {
      static_cast<WindowWidget*>(w)->Orphan();
      // Deleted later: the window may be destroyed from inside one of its own event handlers.
      if (!fromWidgetDestructor) w->deleteLater();
    }
  }
  rec->paintDc.reset();
  if (wnd) wnd->PostNcDestroy();
}

}  // namespace

void DestroyWindowFromWidget(HWND hWnd) { DestroyImpl(hWnd, true); }

// ---- Default window procedure --------------------------------------------------------------

LRESULT DefaultWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      ::BeginPaint(hWnd, &ps);
      ::EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
      if (!dc) return 0;
      QSize size;
      {
        std::lock_guard lock(rec->mutex);
        size = rec->clientSize;
      }
      dc->FillSolidRect(0, 0, size.width(), size.height(), rec->background);
      return 1;
    }
    case WM_SETCURSOR: {
      // The parent decides first; then the class cursor (the arrow) is set in the client area.
      HWND parent = (rec->style.load() & WS_CHILD) ? rec->parent : nullptr;
      if (parent && DispatchToWindow(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (static_cast<SHORT>(LOWORD(static_cast<ULONG_PTR>(lParam))) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      return FALSE;
    }
    case WM_SETREDRAW: {
      bool on = wParam != 0;
      bool post = false;
      {
        std::lock_guard lock(rec->mutex);
        rec->redraw = on;
        if (on && !rec->update.isEmpty() && !rec->paintPending) post = rec->paintPending = true;
      }
      if (rec->widget && !rec->hostWidget) rec->widget->setUpdatesEnabled(on);
      if (post) SchedulePaint(*rec);
      return 0;
    }
    case WM_CLOSE:
      ::DestroyWindow(hWnd);
      return 0;
    case WM_CANCELMODE:
      if (::GetCapture() == hWnd) ::ReleaseCapture();
      return 0;
    case WM_MOUSEWHEEL:
      if ((rec->style.load() & WS_CHILD) && rec->parent)
        return DispatchToWindow(rec->parent, msg, wParam, lParam);
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_SETTEXT:
      rec->text = reinterpret_cast<LPCWSTR>(lParam);
      if (rec->widget && !(rec->style.load() & WS_CHILD))
        rec->widget->setWindowTitle(QString::fromWCharArray(rec->text.GetString()));
      return TRUE;
    case WM_GETTEXTLENGTH:
      return rec->text.GetLength();
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(lParam);
      if (!buf || wParam == 0) return 0;
      std::size_t n =
          std::min<std::size_t>(wParam - 1, static_cast<std::size_t>(rec->text.GetLength()));
      std::copy_n(rec->text.GetString(), n, buf);
      buf[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return 0;
  }
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

// ---- CWnd ----------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWnd, CObject)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && FindWindowRecord(m_hWnd)) {
    auto rec = FindWindowRecord(m_hWnd);
    if (OnGuiThread()) {
      HWND h = m_hWnd;
      // No PostNcDestroy from here: the object is already going away.
      rec->wnd = nullptr;
      m_hWnd = nullptr;
      ::DestroyWindow(h);
    } else {
      rec->wnd = nullptr;
    }
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  return rec ? rec->wnd : nullptr;
}

BOOL CWnd::Create(LPCWSTR, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
  return CreateWindowImpl(CS_DBLCLKS, windowName, style, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD, LPCWSTR, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param) {
  return CreateWindowImpl(CS_DBLCLKS, windowName, style, rect, parent, id, param);
}

BOOL CWnd::CreateWithClassStyle(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                                CWnd* parent, UINT id) {
  return CreateWindowImpl(classStyle, windowName, style, rect, parent, id, nullptr);
}

BOOL CWnd::CreateWindowImpl(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                            CWnd* parent, UINT id, LPVOID param) {
  if (!OnGuiThread() || (m_hWnd && FindWindowRecord(m_hWnd))) return FALSE;
  HWND parentHandle = parent ? parent->m_hWnd : nullptr;
  auto parentRec = FindWindowRecord(parentHandle);
  const bool child = (style & WS_CHILD) != 0;
  if (child && (!parentRec || !parentRec->widget)) return FALSE;
  if (!parentRec) parentHandle = nullptr;

  const int x = ClampCoord(rect.left), y = ClampCoord(rect.top);
  const int w = ClampExtent(std::int64_t{rect.right} - rect.left);
  const int h = ClampExtent(std::int64_t{rect.bottom} - rect.top);

  auto rec = std::make_shared<WindowRecord>();
  rec->style = style;
  rec->classStyle = classStyle;
  rec->id = static_cast<int>(id);
  rec->parent = parentHandle;
  rec->text = windowName ? windowName : L"";
  rec->clientSize = QSize(w, h);
  rec->surface = MakeSurface(w, h, PixelOf(rec->background));
  HWND handle = Register(rec);
  std::weak_ptr<WindowRecord> weak = rec;
  rec->surface->onDrawn = [weak](const QRect& r) {
    if (auto live = weak.lock()) ScheduleFlush(*live, QRegion(r));
  };

  QWidget* parentWidget = parentRec ? parentRec->widget.data() : nullptr;
  auto* widget = new WindowWidget(handle, parentWidget, !child);
  widget->setGeometry(x, y, w, h);
  if (!child) widget->setWindowTitle(QString::fromWCharArray(rec->text.GetString()));
  if (style & WS_DISABLED) widget->setEnabled(false);
  widget->hide();
  rec->widget = widget;
  rec->wnd = this;
  m_hWnd = handle;

  CREATESTRUCTW cs{param,
                   nullptr,
                   reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)),
                   parentHandle,
                   h,
                   w,
                   y,
                   x,
                   static_cast<LONG>(style),
                   windowName,
                   nullptr,
                   0};
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow();
    return FALSE;
  }
  if (!FindWindowRecord(handle)) return FALSE;  // destroyed while being created
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(w), static_cast<WORD>(h)));
  SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (style & WS_VISIBLE) {
    rec->style &= ~static_cast<DWORD>(WS_VISIBLE);
    ::ShowWindow(handle, SW_SHOW);
  }
  return FindWindowRecord(handle) ? TRUE : FALSE;
}

BOOL CWnd::AttachWidget(QWidget* widget) {
  if (!widget || !OnGuiThread() || m_hWnd || HandleOfWidget(widget)) return FALSE;
  auto rec = std::make_shared<WindowRecord>();
  rec->hostWidget = true;
  rec->widget = widget;
  for (QWidget* p = widget->parentWidget(); p; p = p->parentWidget()) {
    if (HWND ph = HandleOfWidget(p)) {
      rec->parent = ph;
      break;
    }
  }
  DWORD style = widget->isWindow() ? DWORD{0} : DWORD{WS_CHILD};
  if (widget->isVisible()) style |= WS_VISIBLE;
  if (!widget->isEnabled()) style |= WS_DISABLED;
  rec->style = style;
  rec->clientSize = widget->size();
  HWND handle = Register(rec);
  widget->setProperty("quarlen_hwnd",
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(handle)));
  QObject::connect(widget, &QObject::destroyed, [handle] { DestroyWindowFromWidget(handle); });
  rec->wnd = this;
  m_hWnd = handle;
  return TRUE;
}

BOOL quarlen::detail::CreateWidgetWindow(CWnd* wnd, QWidget* widget, DWORD style, const RECT& rect,
                                         CWnd* parent, UINT id, LPCWSTR text) {
  auto parentRec = FindWindowRecord(parent ? parent->m_hWnd : nullptr);
  if (!wnd || !widget || !OnGuiThread() || wnd->m_hWnd || !parentRec || !parentRec->widget) {
    delete widget;
    return FALSE;
  }
  auto rec = std::make_shared<WindowRecord>();
  rec->hostWidget = true;
  rec->ownsWidget = true;
  rec->widget = widget;
  rec->parent = parent->m_hWnd;
  rec->id = static_cast<int>(id);
  rec->style = style | WS_CHILD;
  rec->text = text ? text : L"";
  const int w = ClampExtent(std::int64_t{rect.right} - rect.left);
  const int h = ClampExtent(std::int64_t{rect.bottom} - rect.top);
  rec->clientSize = QSize(w, h);
  HWND handle = Register(rec);
  widget->setParent(parentRec->widget);
  widget->setGeometry(ClampCoord(rect.left), ClampCoord(rect.top), w, h);
  widget->setEnabled(!(style & WS_DISABLED));
  widget->setVisible(style & WS_VISIBLE);
  widget->setProperty("quarlen_hwnd",
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(handle)));
  QObject::connect(widget, &QObject::destroyed, [handle] { DestroyWindowFromWidget(handle); });
  rec->wnd = wnd;
  wnd->m_hWnd = handle;
  if (text) wnd->SetWindowText(text);
  return TRUE;
}

QWidget* CWnd::GetWidget() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->widget.data() : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread() || (m_hWnd && m_hWnd != hWnd)) return FALSE;
  // A window has one object: attaching takes the handle over from the previous one.
  if (rec->wnd && rec->wnd != this) rec->wnd->m_hWnd = nullptr;
  rec->wnd = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (auto rec = FindWindowRecord(h); rec && rec->wnd == this) rec->wnd = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::DestroyWindow() { return ::DestroyWindow(m_hWnd); }
void CWnd::PostNcDestroy() {}
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect)
    ::MoveWindow(m_hWnd, rect->left, rect->top,
                 quarlen::detail::ClampLong(std::int64_t{rect->right} - rect->left),
                 quarlen::detail::ClampLong(std::int64_t{rect->bottom} - rect->top), repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  QWidget* w = rec->widget;
  if (!w) return FALSE;
  if (!(flags & (SWP_NOMOVE | SWP_NOSIZE)) ||
      (flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    QRect g = w->geometry();
    int nx = (flags & SWP_NOMOVE) ? g.x() : x, ny = (flags & SWP_NOMOVE) ? g.y() : y;
    int nw, nh;
    {
      std::lock_guard lock(rec->mutex);
      nw = (flags & SWP_NOSIZE) ? rec->clientSize.width() : cx;
      nh = (flags & SWP_NOSIZE) ? rec->clientSize.height() : cy;
    }
    ::MoveWindow(m_hWnd, nx, ny, nw, nh, !(flags & SWP_NOREDRAW));
  }
  if (!(flags & SWP_NOZORDER)) {
    HWND after = insertAfter ? insertAfter->m_hWnd : nullptr;
    if (insertAfter == nullptr || after == HWND_TOP || after == HWND_TOPMOST)
      w->raise();
    else if (after == HWND_BOTTOM)
      w->lower();
    else if (auto other = FindWindowRecord(after); other && other->widget)
      w->stackUnder(other->widget);
  }
  if (flags & SWP_SHOWWINDOW) ::ShowWindow(m_hWnd, SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ::ShowWindow(m_hWnd, SW_HIDE);
  return TRUE;
}

BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  ::GetClientRect(m_hWnd, rect);
  ClientToScreen(rect);
}
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
  if (!rect) return;
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
  if (!rect) return;
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const {
  if (m_owner && FindWindowRecord(m_owner)) return FromHandle(m_owner);
  return GetParent();
}
void CWnd::SetOwner(CWnd* owner) { m_owner = owner ? owner->m_hWnd : nullptr; }

CFrameWnd* CWnd::GetParentFrame() const {
  auto rec = FindWindowRecord(m_hWnd);
  for (HWND h = rec ? rec->parent : nullptr; h;) {
    auto r = FindWindowRecord(h);
    if (!r) break;
    if (r->wnd && r->wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      return static_cast<CFrameWnd*>(r->wnd);
    h = r->parent;
  }
  return nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
  auto rec = FindWindowRecord(m_hWnd);
  HWND top = m_hWnd;
  while (rec && (rec->style.load() & WS_CHILD) && rec->parent) {
    top = rec->parent;
    rec = FindWindowRecord(top);
  }
  return FromHandle(top);
}

int CWnd::GetDlgCtrlID() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->id : 0;
}
int CWnd::SetDlgCtrlID(int id) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec) return 0;
  int old = rec->id;
  rec->id = id;
  return old;
}
CWnd* CWnd::GetDlgItem(int id) const {
  for (HWND h : ChildWindows(m_hWnd)) {
    auto rec = FindWindowRecord(h);
    if (rec && rec->id == id) return rec->wnd;
  }
  return nullptr;
}

void CWnd::SetWindowText(LPCWSTR text) {
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}
void CWnd::GetWindowText(CString& text) const {
  auto* self = const_cast<CWnd*>(this);
  LRESULT n = self->SendMessage(WM_GETTEXTLENGTH);
  std::wstring buf(static_cast<std::size_t>(std::max<LRESULT>(n, 0)) + 1, L'\0');
  LRESULT got = self->SendMessage(WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, n)));
  text = CString(buf);
}
int CWnd::GetWindowTextLength() const {
  return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXTLENGTH));
}
DWORD CWnd::GetStyle() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->style.load() : 0;
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec) return FALSE;
  DWORD old = rec->style.load();
  DWORD now = (old & ~remove) | add;
  rec->style = now;
  return old != now;
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}
BOOL CWnd::SendNotifyMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendNotifyMessageW(m_hWnd, msg, wParam, lParam);
}

void CWnd::SetBackgroundColor(COLORREF color) {
  if (auto rec = FindWindowRecord(m_hWnd)) rec->background = color;
}

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(msg, wParam, lParam, &result)) result = DefWindowProc(msg, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT dummy = 0;
  if (!result) result = &dummy;
  if (msg == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 1;
      return TRUE;
    }
    return FALSE;
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage == msg && e->pfn && e->pfn(this, wParam, lParam, result)) return TRUE;
    }
  }
  if (msg == WM_DRAWITEM) {
    // Reflect an owner-draw request to the control it is for.
    auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (CWnd* control = item ? FromHandle(item->hwndItem) : nullptr) {
      if (control->OnChildNotify(msg, wParam, lParam, result)) return TRUE;
    }
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  const UINT id = LOWORD(wParam), code = HIWORD(wParam);
  LRESULT r = 0;
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage == WM_COMMAND && e->nCode == code && id >= e->nID && id <= e->nLastID &&
          e->pfn && e->pfn(this, wParam, 0, &r)) {
        return TRUE;
      }
    }
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultWindowProc(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (t_current.wnd != this) return 0;
  return DefWindowProc(t_current.msg, t_current.wParam, t_current.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT item) {
  LRESULT r = 0;
  if (CWnd* control = item ? FromHandle(item->hwndItem) : nullptr)
    if (control->OnChildNotify(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(item), &r)) return;
  Default();
}

// ---- Handle-based window management ----------------------------------------------------------

BOOL DestroyWindow(HWND hWnd) {
  if (!FindWindowRecord(hWnd) || !OnGuiThread()) return FALSE;
  quarlen::detail::DestroyImpl(hWnd, false);
  return TRUE;
}

HWND GetParent(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return nullptr;
  DWORD style = rec->style.load();
  if ((style & WS_CHILD) || (style & WS_POPUP))
    return FindWindowRecord(rec->parent) ? rec->parent : nullptr;
  return nullptr;
}

BOOL IsWindowVisible(HWND hWnd) {
  for (auto rec = FindWindowRecord(hWnd); rec;) {
    if (!(rec->style.load() & WS_VISIBLE)) return FALSE;
    {
      std::lock_guard lock(rec->mutex);
      if (!rec->redraw) return FALSE;
    }
    if (!(rec->style.load() & WS_CHILD)) return TRUE;
    rec = FindWindowRecord(rec->parent);
  }
  return FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL enable) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  const bool wasDisabled = rec->style.load() & WS_DISABLED;
  if (!enable) DispatchToWindow(hWnd, WM_CANCELMODE, 0, 0);
  if (wasDisabled == !enable) return wasDisabled;
  if (enable)
    rec->style &= ~static_cast<DWORD>(WS_DISABLED);
  else
    rec->style |= WS_DISABLED;
  if (rec->widget) rec->widget->setEnabled(enable != 0);
  DispatchToWindow(hWnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  return rec && !(rec->style.load() & WS_DISABLED);
}

BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread() || !rec->widget) return FALSE;
  x = ClampCoord(x);
  y = ClampCoord(y);
  const QSize size(ClampExtent(width), ClampExtent(height));
  QSize old;
  {
    std::lock_guard lock(rec->mutex);
    old = rec->clientSize;
  }
  const bool moved = rec->widget->pos() != QPoint(x, y);
  const bool sized = old != size;
  if (sized) ResizeSurface(*rec, size);  // before setGeometry: its resize event is then a no-op
  rec->widget->setGeometry(x, y, size.width(), size.height());
  if (moved)
    DispatchToWindow(hWnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (sized)
    DispatchToWindow(hWnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
  if (repaint && FindWindowRecord(hWnd)) {
    InvalidateRegion(hWnd, nullptr, true);
    ::UpdateWindow(hWnd);
  }
  return TRUE;
}

BOOL ShowWindow(HWND hWnd, int cmdShow) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  const bool was = rec->style.load() & WS_VISIBLE;
  const bool show = cmdShow != SW_HIDE;
  if (was == show) return was;
  if (show)
    rec->style |= WS_VISIBLE;
  else
    rec->style &= ~static_cast<DWORD>(WS_VISIBLE);
  DispatchToWindow(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (rec->widget && !rec->hostWidget) rec->widget->setVisible(show);
  if (show) InvalidateRegion(hWnd, nullptr, true);
  return was;
}

BOOL GetClientRect(HWND hWnd, LPRECT rect) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !rect) return FALSE;
  QSize size;
  if (rec->hostWidget && OnGuiThread() && rec->widget) {
    size = rec->widget->size();
  } else {
    std::lock_guard lock(rec->mutex);
    size = rec->clientSize;
  }
  *rect = RECT{0, 0, size.width(), size.height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT point) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !point || !OnGuiThread() || !rec->widget) return FALSE;
  QPoint g = rec->widget->mapToGlobal(QPoint(point->x, point->y));
  *point = POINT{g.x(), g.y()};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT point) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !point || !OnGuiThread() || !rec->widget) return FALSE;
  QPoint c = rec->widget->mapFromGlobal(QPoint(point->x, point->y));
  *point = POINT{c.x(), c.y()};
  return TRUE;
}
