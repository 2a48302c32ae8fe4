// Locks, kernel events and their handle table, waits, and worker threads.
#include "platform/sync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <unordered_map>

namespace quarlen::detail {
namespace {

// A waitable kernel object: an event, or the end of a thread (a manual-reset event set when
// the thread function returns).
struct KernelObject {
  std::mutex mutex;
  std::condition_variable changed;
  bool signaled = false;
  bool manualReset = true;
  bool isThread = false;
  DWORD exitCode = STILL_ACTIVE;
};

class HandleTable {
 public:
  HANDLE Add(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(m_mutex);
    // Handles count up in steps of 4 from 4 and are never reused.
    m_next += 4;
    const auto handle = reinterpret_cast<HANDLE>(m_next);
    m_objects.emplace(handle, std::move(object));
    return handle;
  }
  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::lock_guard lock(m_mutex);
    const auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second;
  }
  bool Remove(HANDLE handle) {
    std::shared_ptr<KernelObject> removed;  // released after the table lock
    std::lock_guard lock(m_mutex);
    const auto it = m_objects.find(handle);
    if (it == m_objects.end()) return false;
    removed = std::move(it->second);
    m_objects.erase(it);
    return true;
  }

 private:
  std::mutex m_mutex;
  std::uintptr_t m_next = 0;
  std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> m_objects;
};

HandleTable& Handles() {
  static HandleTable* table = new HandleTable;  // never destroyed: used until the very end
  return *table;
}

void Signal(KernelObject& o) {
  {
    std::lock_guard lock(o.mutex);
    o.signaled = true;
  }
  o.changed.notify_all();
}

std::atomic<DWORD> g_lastThreadId{0};
thread_local DWORD t_threadId = 0;

DWORD NewThreadId() {
  DWORD id = ++g_lastThreadId;
  if (id == 0) id = ++g_lastThreadId;  // after 2^32 threads: skip 0
  return id;
}

}  // namespace
}  // namespace quarlen::detail

using quarlen::detail::Handles;
using quarlen::detail::KernelObject;

void Sleep(DWORD ms) {
  if (ms == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

DWORD GetCurrentThreadId() {
  if (quarlen::detail::t_threadId == 0)
    quarlen::detail::t_threadId = quarlen::detail::NewThreadId();
  return quarlen::detail::t_threadId;
}

HANDLE CreateEventW(void*, BOOL manualReset, BOOL initialState, const wchar_t*) {
  auto o = std::make_shared<KernelObject>();
  o->manualReset = manualReset != FALSE;
  o->signaled = initialState != FALSE;
  return Handles().Add(std::move(o));
}

BOOL SetEvent(HANDLE event) {
  const auto o = Handles().Find(event);
  if (!o || o->isThread) return FALSE;
  quarlen::detail::Signal(*o);
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  const auto o = Handles().Find(event);
  if (!o || o->isThread) return FALSE;
  std::lock_guard lock(o->mutex);
  o->signaled = false;
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
  const auto o = Handles().Find(handle);
  if (!o) return WAIT_FAILED;
  std::unique_lock lock(o->mutex);
  const auto ready = [&] { return o->signaled; };
  if (ms == INFINITE) {
    o->changed.wait(lock, ready);
  } else if (!o->changed.wait_for(lock, std::chrono::milliseconds(ms), ready)) {
    return WAIT_TIMEOUT;
  }
  if (!o->manualReset) o->signaled = false;
  return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle) { return Handles().Remove(handle); }

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  const auto o = Handles().Find(thread);
  if (!o || !o->isThread || !exitCode) return FALSE;
  std::lock_guard lock(o->mutex);
  *exitCode = o->exitCode;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Threads

IMPLEMENT_DYNAMIC(CWinThread, CObject)

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID param)
    : m_pfnThreadProc(proc), m_pThreadParams(param) {}

CWinThread::~CWinThread() {
  Join();
  {
    std::lock_guard lock(m_mutex);
    // Still suspended, or deleting itself from its own thread: nothing left to wait for.
    if (m_thread.joinable()) m_thread.detach();
  }
  if (m_hThread) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD flags, UINT, void*) {
  std::lock_guard lock(m_mutex);
  if (!m_pfnThreadProc || m_created) return FALSE;
  auto o = std::make_shared<KernelObject>();
  o->isThread = true;
  m_hThread = Handles().Add(std::move(o));
  m_nThreadID = quarlen::detail::NewThreadId();
  m_created = true;
  m_suspended = (flags & CREATE_SUSPENDED) != 0;
  if (m_suspended) return TRUE;
  try {
    m_thread = std::thread(&CWinThread::Run, this);
  } catch (const std::system_error&) {
    m_created = false;
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_nThreadID = 0;
    return FALSE;
  }
  return TRUE;
}

DWORD CWinThread::ResumeThread() {
  std::lock_guard lock(m_mutex);
  if (!m_suspended) return 0;
  m_suspended = false;
  m_thread = std::thread(&CWinThread::Run, this);
  return 1;
}

void CWinThread::Join() {
  // The thread function never takes this lock, so holding it while joining cannot deadlock.
  std::lock_guard lock(m_mutex);
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void CWinThread::Run() {
  quarlen::detail::t_threadId = m_nThreadID;
  const auto handle = Handles().Find(m_hThread);
  const UINT code = m_pfnThreadProc(m_pThreadParams);
  // The object may be deleted as soon as the handle is signalled: read the flag first.
  const bool autoDelete = m_bAutoDelete != FALSE;
  if (handle) {
    {
      std::lock_guard lock(handle->mutex);
      handle->exitCode = code;
    }
    quarlen::detail::Signal(*handle);
  }
  if (autoDelete) delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD flags, void* security) {
  if (!proc) return nullptr;
  auto* thread = new CWinThread(proc, param);
  thread->SetThreadPriority(priority);
  if (!thread->CreateThread(flags, stackSize, security)) {
    delete thread;
    return nullptr;
  }
  return thread;
}
