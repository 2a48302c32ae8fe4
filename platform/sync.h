#pragma once
// Locks, kernel events, waits and worker threads.
//
// Kernel objects (events and thread handles) live in a process-wide handle table. A handle is
// never reused, so a closed or unknown handle makes calls fail (FALSE, WAIT_FAILED) instead of
// reaching another object. A wait keeps its object alive even if the handle is closed during
// the wait.
#include <mutex>
#include <thread>

#include "platform/object.h"

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD CREATE_SUSPENDED = 0x00000004u;

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

// Recursive lock. Usable with std::lock_guard, std::unique_lock and std::scoped_lock.
class QUARLEN_API CCriticalSection {
 public:
  CCriticalSection() = default;
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  BOOL Lock() { return m_mutex.lock(), TRUE; }
  BOOL Unlock() { return m_mutex.unlock(), TRUE; }
  void lock() { m_mutex.lock(); }
  void unlock() { m_mutex.unlock(); }
  bool try_lock() { return m_mutex.try_lock(); }

 private:
  std::recursive_mutex m_mutex;
};

// Scoped holder of a critical section: unlocks on destruction if still locked.
class QUARLEN_API CSingleLock {
 public:
  explicit CSingleLock(CCriticalSection* cs, BOOL initialLock = FALSE) : m_cs(cs) {
    if (initialLock) Lock();
  }
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  // The timeout is accepted for compatibility; the lock is always waited for.
  BOOL Lock(DWORD timeout = INFINITE) {
    (void)timeout;
    if (!m_cs || m_locked) return m_locked;
    m_cs->Lock();
    return m_locked = TRUE;
  }
  BOOL Unlock() {
    if (!m_cs || !m_locked) return FALSE;
    m_cs->Unlock();
    m_locked = FALSE;
    return TRUE;
  }
  BOOL IsLocked() const { return m_locked; }

 private:
  CCriticalSection* m_cs;
  BOOL m_locked = FALSE;
};

// Suspends the calling thread for ms milliseconds (0 yields; INFINITE never returns).
QUARLEN_API void Sleep(DWORD ms);

// A stable, small, non-zero id of the calling thread (1 for the first thread that asks, ...).
// The ids of threads started by AfxBeginThread are fixed before they start.
QUARLEN_API DWORD GetCurrentThreadId();

// Kernel events. The security and name arguments are ignored (names are not shared). An
// auto-reset event releases one waiter and becomes non-signalled again.
QUARLEN_API HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState,
                                const wchar_t* name);
QUARLEN_API BOOL SetEvent(HANDLE event);
QUARLEN_API BOOL ResetEvent(HANDLE event);
// WAIT_OBJECT_0 when the object is (or becomes) signalled within ms, WAIT_TIMEOUT otherwise,
// WAIT_FAILED for a handle that does not name a live kernel object. A thread handle is
// signalled once its thread function has returned.
QUARLEN_API DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
// Closes any kernel-object handle. FALSE for an unknown handle.
QUARLEN_API BOOL CloseHandle(HANDLE handle);
// The thread's return value, or STILL_ACTIVE while it runs. FALSE for a handle that is not a
// thread handle.
QUARLEN_API BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Owner of a kernel event handle (MFC's CEvent).
class QUARLEN_API CEvent {
 public:
  explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE)
      : m_hObject(CreateEventW(nullptr, manualReset, initiallyOwn, nullptr)) {}
  ~CEvent() { CloseHandle(m_hObject); }
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;

  BOOL SetEvent() { return ::SetEvent(m_hObject); }
  BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
  // TRUE when signalled within the timeout.
  BOOL Lock(DWORD timeout = INFINITE) {
    return WaitForSingleObject(m_hObject, timeout) == WAIT_OBJECT_0;
  }
  operator HANDLE() const { return m_hObject; }

  HANDLE m_hObject;
};

using AFX_THREADPROC = UINT (*)(LPVOID);

// A worker thread started by AfxBeginThread.
//
// Ownership: by default (m_bAutoDelete FALSE) the caller owns the object and deletes it.
// m_hThread is signalled when the thread function returns and stays valid until the object is
// deleted, so WaitForSingleObject(m_hThread, ...) is a safe way to wait for the end. Deleting
// the object waits for the thread to end (unless the thread deletes its own object) and closes
// m_hThread; do not close m_hThread yourself. With m_bAutoDelete set to TRUE (set it before
// the thread can end, i.e. start it with CREATE_SUSPENDED and call ResumeThread afterwards),
// the object deletes itself when the thread function returns and must not be used afterwards.
class QUARLEN_API CWinThread : public CObject {
  DECLARE_DYNAMIC(CWinThread)

 public:
  // A thread object for proc(param), not started yet: call CreateThread.
  CWinThread(AFX_THREADPROC proc, LPVOID param);
  ~CWinThread() override;
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Creates the thread (suspended with CREATE_SUSPENDED). FALSE when there is no thread
  // function, the thread exists already or cannot be created. Stack size and security are
  // ignored.
  BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, void* security = nullptr);
  // Starts a thread created with CREATE_SUSPENDED. Returns the previous suspend count (1), or
  // 0 when the thread was already running.
  DWORD ResumeThread();
  // The priority is recorded only (threads run at the default priority).
  BOOL SetThreadPriority(int priority) { return m_nPriority = priority, TRUE; }
  int GetThreadPriority() const { return m_nPriority; }
  // Waits for the thread function to return (nothing when called from the thread itself).
  void Join();

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = FALSE;
  AFX_THREADPROC m_pfnThreadProc = nullptr;
  LPVOID m_pThreadParams = nullptr;

 private:
  void Run();

  std::mutex m_mutex;  // guards m_thread and m_suspended
  std::thread m_thread;
  bool m_created = false;
  bool m_suspended = false;
  int m_nPriority = THREAD_PRIORITY_NORMAL;
};

// Starts proc(param) on a new thread (suspended with CREATE_SUSPENDED). Stack size and
// security are ignored. Returns null when proc is null or the thread cannot be created.
QUARLEN_API CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param,
                                       int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                                       DWORD flags = 0, void* security = nullptr);
