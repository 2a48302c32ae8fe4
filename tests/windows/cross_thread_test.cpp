// Messages, invalidation and drawing from other threads: handled on the GUI thread, never
// delivered to a window destroyed in between, and no deadlock for a blocking send.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/detail/window_registry.h"
#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

using quarlen::test::PumpUntil;
using quarlen::test::PumpUntilIdle;

namespace {

class CrossThread : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.CreateTop({0, 0, 40, 30}));
    PumpUntilIdle();
    w.log.clear();
  }
  CRecorderWnd w;
  const std::thread::id gui = std::this_thread::get_id();
};

TEST_F(CrossThread, NotifyAndPostFromAWorkerAreHandledOnTheGuiThreadInOrder) {
  std::thread t([h = w.m_hWnd] {
    EXPECT_TRUE(SendNotifyMessageW(h, 1617, 1, 0));
    EXPECT_TRUE(PostMessageW(h, 1618, 2, 0));
    EXPECT_TRUE(SendNotifyMessageW(h, 1619, 3, 0));
  });
  t.join();  // the notifications did not wait for the GUI thread
  EXPECT_TRUE(w.log.empty());
  ASSERT_TRUE(PumpUntil([&] { return w.log.size() == 3; }));
  // Sent (notify) messages go before posted ones, as in the window system.
  EXPECT_EQ(w.Messages(), (std::vector<UINT>{1617, 1619, 1618}));
  for (const Received& r : w.log) EXPECT_EQ(r.thread, gui);
}

TEST_F(CrossThread, MessagesForAWindowDestroyedInBetweenAreDropped) {
  HWND h = w.m_hWnd;
  std::thread t([h] {
    for (int i = 0; i < 100; ++i) {
      SendNotifyMessageW(h, 1617, i, 0);
      PostMessageW(h, 1618, i, 0);
    }
  });
  t.join();
  w.DestroyWindow();
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));
  PumpUntilIdle();
  EXPECT_EQ(w.Count(1617), 0);
  EXPECT_EQ(w.Count(1618), 0);
  // After its destruction the old handle is refused at once.
  std::thread t2([h] { EXPECT_FALSE(SendNotifyMessageW(h, 1617, 0, 0)); });
  t2.join();
}

TEST_F(CrossThread, ConcurrentSendersAndDestructionNeverCrash) {
  std::atomic<bool> stop{false};
  std::atomic<HWND> target{w.m_hWnd};
  std::vector<std::thread> senders;
  for (int i = 0; i < 3; ++i) {
    senders.emplace_back([&] {
      while (!stop) {
        HWND h = target.load();
        SendNotifyMessageW(h, 1620, 0, 0);
        InvalidateRect(h, nullptr, FALSE);
        RECT rc;
        GetClientRect(h, &rc);
      }
    });
  }
  for (int round = 0; round < 20; ++round) {
    QCoreApplication::processEvents();
    w.DestroyWindow();
    ASSERT_TRUE(w.CreateTop({0, 0, 20 + round, 20}));
    target = w.m_hWnd;
  }
  stop = true;
  for (auto& t : senders) t.join();
  PumpUntilIdle();
  for (const Received& r : w.log) EXPECT_EQ(r.thread, gui);
}

TEST_F(CrossThread, BlockingSendReturnsTheResultWhileTheGuiThreadWaitsForTheSender) {
  std::atomic<LRESULT> result{0};
  std::atomic<bool> done{false};
  std::thread t([&, h = w.m_hWnd] {
    result = SendMessageW(h, WM_NCHITTEST, 0, 0);
    done = true;
  });
  // The GUI thread waits for the worker; the rule: such waits service sent messages.
  quarlen::detail::WaitServicingSentMessages([&] { return done.load(); });
  t.join();
  EXPECT_EQ(result.load(), HTCLIENT);
  EXPECT_EQ(w.Count(WM_NCHITTEST), 1);
  EXPECT_EQ(w.log.back().thread, gui);
}

TEST_F(CrossThread, InvalidationFromAWorkerCoalescesIntoOnePaintOnTheGuiThread) {
  std::thread t([h = w.m_hWnd] {
    RECT a{0, 0, 5, 5}, b{10, 10, 20, 15};
    InvalidateRect(h, &a, FALSE);
    InvalidateRect(h, &b, FALSE);
  });
  t.join();
  PumpUntilIdle();
  EXPECT_EQ(w.Count(WM_PAINT), 1);
  EXPECT_EQ(w.Last(WM_PAINT)->thread, gui);
}

TEST_F(CrossThread, WorkerDrawsThroughAWindowDcIntoTheSurfaceOnly) {
  std::thread t([h = w.m_hWnd] {
    HDC hdc = GetDC(h);
    ASSERT_NE(hdc, nullptr);
    CDC::FromHandle(hdc)->FillSolidRect(2, 3, 4, 5, RGB(200, 10, 20));
    EXPECT_EQ(ReleaseDC(h, hdc), 1);
    EXPECT_EQ(ReleaseDC(h, hdc), 0);  // twice: refused
  });
  t.join();
  EXPECT_EQ(quarlen::test::PixelAt(w.m_hWnd, 2, 3), RGB(200, 10, 20));
  EXPECT_EQ(quarlen::test::PixelAt(w.m_hWnd, 5, 7), RGB(200, 10, 20));
  EXPECT_EQ(quarlen::test::PixelAt(w.m_hWnd, 6, 3), RGB(255, 255, 255));
  PumpUntilIdle();  // the flush to the screen happens on the GUI thread
  EXPECT_FALSE(quarlen::detail::WindowWorkPending());
}

}  // namespace
