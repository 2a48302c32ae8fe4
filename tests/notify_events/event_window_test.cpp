// Window clients and the main-thread queue with real windows: event numbers arrive as window
// messages on the window's thread, and message 1616 tells the main window to drain the queue.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "notify/event_service.h"
#include "platform/window.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

using quarlen::test::PumpUntilIdle;
using quarlen::test::WaitForTickPasses;

struct Received {
  UINT msg;
  WPARAM w;
  LPARAM l;
  std::thread::id thread;
};

class CEventWnd : public CWnd {
 public:
  std::vector<Received> log;
  unsigned drained = 0;
  BOOL CreateTop() { return Create(nullptr, L"events", WS_OVERLAPPED, {0, 0, 40, 40}, nullptr, 0); }
  int Count(UINT msg) const {
    int n = 0;
    for (const Received& r : log) n += r.msg == msg;
    return n;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg >= event_mainThreadMessage && msg <= event_last) {
      log.push_back({msg, w, l, std::this_thread::get_id()});
      if (msg == event_mainThreadMessage) drained += event_DrainMainThreadQueue();
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

class EventWindows : public quarlen::test::EventServiceFixture {};

TEST_F(EventWindows, WindowClientGetsTheEventAsAMessageOnItsThread) {
  CEventWnd wnd;
  ASSERT_TRUE(wnd.CreateTop());
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(wnd.m_hWnd), nullptr,
                                            nullptr, event_kindWindow);
  event_RegisterEvent(event_positionChanged, key, event_libraryControl, 0, 0x77, 0, event_any);
  for (std::uintptr_t i = 1; i <= 5; ++i) event_Send(event_positionChanged, 0x77, i, 0x2000000);
  ASSERT_TRUE(WaitForTickPasses(1));
  PumpUntilIdle();
  ASSERT_EQ(wnd.Count(event_positionChanged), 1);
  EXPECT_EQ(wnd.log[0].w, 0x77u);
  EXPECT_EQ(wnd.log[0].l, 5);
  EXPECT_EQ(wnd.log[0].thread, std::this_thread::get_id());
  event_UnregisterClient(key);
  wnd.DestroyWindow();
}

TEST_F(EventWindows, DestroyedWindowIsHarmless) {
  CEventWnd wnd;
  ASSERT_TRUE(wnd.CreateTop());
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(wnd.m_hWnd), nullptr,
                                            nullptr, event_kindWindow);
  event_RegisterEvent(event_positionChanged, key, event_libraryControl, 0, event_any, 0, event_any);
  wnd.DestroyWindow();
  event_Send(event_positionChanged, 1, 1, 0x2000000);
  ASSERT_TRUE(WaitForTickPasses(3));  // refused every pass, kept for a retry
  PumpUntilIdle();
  EXPECT_TRUE(wnd.log.empty());
  event_UnregisterClient(key);
}

std::atomic<int> gMainThreadCalls{0};
void OnMainThread(unsigned, std::uintptr_t, std::uintptr_t) { ++gMainThreadCalls; }

TEST_F(EventWindows, MainWindowIsToldToDrainTheMainThreadQueue) {
  CEventWnd main;
  ASSERT_TRUE(main.CreateTop());
  AfxSetMainWnd(&main);
  gMainThreadCalls = 0;
  const unsigned key =
      event_RegisterClient(0, &OnMainThread, nullptr, event_kindMainThread | event_kindCallback3);
  event_RegisterEvent(event_objectModified, key, event_libraryControl, 0, event_any, 0, event_any);
  for (int round = 1; round <= 2; ++round) {
    event_Send(event_objectModified, 1, 1, 0x2000000);
    ASSERT_TRUE(WaitForTickPasses(2));
    PumpUntilIdle();
    // One 1616 per batch of entries; the drain in its handler delivers on this thread.
    EXPECT_EQ(main.Count(event_mainThreadMessage), round);
    EXPECT_EQ(gMainThreadCalls.load(), round);
    EXPECT_EQ(main.drained, static_cast<unsigned>(round));
  }
  AfxSetMainWnd(nullptr);
  event_UnregisterClient(key);
  main.DestroyWindow();
}

}  // namespace
