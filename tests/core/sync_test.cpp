#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/sync.h"

namespace {

TEST(CCriticalSectionTest, IsRecursiveAndWorksWithStdGuards) {
  CCriticalSection cs;
  EXPECT_TRUE(cs.Lock());
  EXPECT_TRUE(cs.Lock());
  {
    std::lock_guard guard(cs);
    std::scoped_lock scoped(cs);
  }
  bool otherThreadGotIt = true;
  std::thread([&] { otherThreadGotIt = cs.try_lock(); }).join();
  EXPECT_FALSE(otherThreadGotIt);
  cs.Unlock();
  cs.Unlock();
  std::thread([&] {
    otherThreadGotIt = cs.try_lock();
    if (otherThreadGotIt) cs.unlock();
  }).join();
  EXPECT_TRUE(otherThreadGotIt);
}

TEST(CSingleLockTest, UnlocksOnDestruction) {
  CCriticalSection cs;
  {
    CSingleLock lock(&cs, TRUE);
    EXPECT_TRUE(lock.IsLocked());
  }
  bool free = false;
  std::thread([&] {
    free = cs.try_lock();
    if (free) cs.unlock();
  }).join();
  EXPECT_TRUE(free);
}

TEST(KernelEvents, StatesAndTimeouts) {
  HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);  // stays signalled
  EXPECT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);  // initially set
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);   // consumed by the wait

  EXPECT_TRUE(CloseHandle(manual));
  EXPECT_TRUE(CloseHandle(automatic));
  EXPECT_FALSE(CloseHandle(manual));
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(manual));
  EXPECT_FALSE(SetEvent(nullptr));
  // A new handle never takes an old value.
  HANDLE fresh = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(fresh, manual);
  EXPECT_NE(fresh, automatic);
  CloseHandle(fresh);
}

struct PingPong {
  HANDLE ping;
  HANDLE pong;
  std::atomic<int> rounds{0};
  DWORD workerId = 0;
};

UINT PingPongProc(LPVOID param) {
  auto* p = static_cast<PingPong*>(param);
  p->workerId = GetCurrentThreadId();
  for (int k = 0; k < 100; ++k) {
    if (WaitForSingleObject(p->ping, INFINITE) != WAIT_OBJECT_0) return 1;
    ++p->rounds;
    SetEvent(p->pong);
  }
  return 7;
}

TEST(WorkerThread, EventRoundTripAndJoin) {
  PingPong data;
  data.ping = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  data.pong = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  CWinThread* thread = AfxBeginThread(PingPongProc, &data, THREAD_PRIORITY_ABOVE_NORMAL);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(thread->m_nThreadID, 0u);
  EXPECT_NE(thread->m_nThreadID, GetCurrentThreadId());
  EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_ABOVE_NORMAL);
  for (int k = 0; k < 100; ++k) {
    SetEvent(data.ping);
    ASSERT_EQ(WaitForSingleObject(data.pong, INFINITE), WAIT_OBJECT_0);
  }
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(data.rounds, 100);
  EXPECT_EQ(data.workerId, thread->m_nThreadID);  // the id is fixed before the thread starts
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
  EXPECT_EQ(code, 7u);
  const HANDLE handle = thread->m_hThread;
  delete thread;  // closes the handle
  EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
  CloseHandle(data.ping);
  CloseHandle(data.pong);
}

UINT WaitForEvent(LPVOID param) {
  WaitForSingleObject(static_cast<HANDLE>(param), INFINITE);
  return 0;
}

TEST(WorkerThread, DeleteWaitsForTheThread) {
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CWinThread* thread = AfxBeginThread(WaitForEvent, go);
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 0), WAIT_TIMEOUT);
  SetEvent(go);
  delete thread;  // joins
  CloseHandle(go);
}

std::atomic<int> g_ran{0};
UINT CountAndSignal(LPVOID param) {
  ++g_ran;
  SetEvent(static_cast<HANDLE>(param));
  return 0;
}

TEST(WorkerThread, SuspendedAndAutoDelete) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CWinThread* thread = AfxBeginThread(CountAndSignal, done, 0, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(g_ran, 0);
  thread->m_bAutoDelete = TRUE;
  EXPECT_EQ(thread->ResumeThread(), 1u);
  EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(g_ran, 1);
  CloseHandle(done);
  // The object deletes itself; the sanitizer builds check that nothing leaks.
}

TEST(WorkerThread, RejectsNullProcedure) { EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr); }

TEST(ThreadIds, StableSmallAndDistinct) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  DWORD other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, mine);
  EXPECT_LT(other, 100000u);
}

TEST(CEventTest, WrapsAHandle) {
  CEvent event(FALSE, TRUE);
  EXPECT_FALSE(event.Lock(0));
  event.SetEvent();
  EXPECT_TRUE(event.Lock(0));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
}

}  // namespace
