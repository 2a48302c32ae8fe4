// ProcessUntilIdle as an application sees it: after it returns true, what was sent before the
// call has been delivered and what the deliveries caused (messages, further events, paints)
// has been handled; it gives up at its bound when the work never ends, and never waits for
// what cannot happen.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "notify/event_service.h"
#include "notify/idle.h"
#include "platform/window.h"
#include "tests/support/event_recorder.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

using quarlen::ProcessUntilIdle;
using quarlen::test::Recorder;

constexpr UINT kChainMessage = WM_APP + 1;  // the window posts itself the next link
constexpr UINT kAnswered = WM_APP + 2;      // sent from the tick thread, answered with 42

// A top-level window that logs event numbers and paints, forwards an event to the service
// when told to, and posts itself a chain of messages.
class CIdleWnd : public CWnd {
 public:
  std::vector<UINT> events;  // event numbers received as messages
  int paints = 0;
  int chainLinks = 0;
  int answered = 0;
  UINT forwardAs = 0;  // when set, each event received is sent on as this event number
  BOOL CreateTop() { return Create(nullptr, L"idle", WS_OVERLAPPED, {0, 0, 40, 40}, nullptr, 0); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg >= event_first && msg <= event_last) {
      events.push_back(msg);
      if (forwardAs != 0) event_Send(forwardAs, w, l, event_flagObject);
      return 0;
    }
    if (msg == kChainMessage) {
      ++chainLinks;
      if (w > 0) PostMessageW(m_hWnd, kChainMessage, w - 1, 0);
      return 0;
    }
    if (msg == kAnswered) {
      ++answered;
      return 42;
    }
    if (msg == WM_PAINT) {
      ++paints;
      PAINTSTRUCT ps;
      ::BeginPaint(m_hWnd, &ps);
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

unsigned RegisterWindow(CIdleWnd& wnd, unsigned number, unsigned control) {
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(wnd.m_hWnd), nullptr,
                                            nullptr, event_kindWindow);
  event_RegisterEvent(number, key, control, 0, event_any, 0, event_any);
  return key;
}

// Tick-thread receivers that act on a window.
std::atomic<HWND> gTarget{nullptr};
std::atomic<LRESULT> gAnswer{0};
void InvalidateTarget(unsigned, std::uintptr_t, std::uintptr_t) {
  InvalidateRect(gTarget.load(), nullptr, FALSE);
}
void SendToTarget(unsigned, std::uintptr_t, std::uintptr_t) {
  gAnswer = SendMessageW(gTarget.load(), kAnswered, 0, 0);
}

unsigned RegisterCallback(event_Callback3 callback, unsigned number, unsigned control) {
  const unsigned key = event_RegisterClient(0, callback, nullptr, event_kindCallback3);
  event_RegisterEvent(number, key, control, 0, event_any, 0, event_any);
  return key;
}

constexpr unsigned kDelay100 = event_libraryControl;
constexpr unsigned kDelay500 = event_modeDelay | 500;          // five passes
constexpr unsigned kThrottle1000 = event_modeThrottle | 1000;  // ten passes

struct World {
  CIdleWnd a, b;
  std::vector<unsigned> keys;
};

struct SettleCase {
  std::string name;
  unsigned quietPasses;
  std::function<void(World&)> act;     // registrations and sends, before the call
  std::function<void(World&)> expect;  // what must have happened when it returns true
};

void PrintTo(const SettleCase& c, std::ostream* os) { *os << c.name; }

class Settles : public quarlen::test::EventServiceFixture,
                public ::testing::WithParamInterface<SettleCase> {};

TEST_P(Settles, EverythingSentBeforeTheCallIsHandled) {
  World world;
  ASSERT_TRUE(world.a.CreateTop());
  ASSERT_TRUE(world.b.CreateTop());
  world.a.ShowWindow(SW_SHOW);
  world.b.ShowWindow(SW_SHOW);
  ASSERT_TRUE(ProcessUntilIdle());
  world.a.paints = world.b.paints = 0;
  gTarget = world.b.m_hWnd;
  gAnswer = 0;

  GetParam().act(world);
  ASSERT_TRUE(ProcessUntilIdle(GetParam().quietPasses));
  GetParam().expect(world);
  EXPECT_FALSE(world.a.GetUpdateRect(nullptr)) << "a paint is left over";
  EXPECT_FALSE(world.b.GetUpdateRect(nullptr)) << "a paint is left over";

  for (unsigned key : world.keys) event_UnregisterClient(key);
  world.a.DestroyWindow();
  world.b.DestroyWindow();
}

const std::vector<UINT> kOne1619 = {event_positionChanged};

INSTANTIATE_TEST_SUITE_P(
    All, Settles,
    ::testing::Values(
        // Window work alone: a chain of posted messages, each posting the next, and a paint.
        SettleCase{"PostedChainAndPaintWithoutPasses", 0,
                   [](World& w) {
                     PostMessageW(w.a.m_hWnd, kChainMessage, 9, 0);
                     w.a.Invalidate(FALSE);
                   },
                   [](World& w) {
                     EXPECT_EQ(w.a.chainLinks, 10);
                     EXPECT_EQ(w.a.paints, 1);
                   }},
        // The library's registration: delivered in the next pass, as a message to the window.
        SettleCase{"DelayedDeliveryToAWindow", 1,
                   [](World& w) {
                     w.keys.push_back(RegisterWindow(w.a, event_positionChanged, kDelay100));
                     event_Send(event_positionChanged, 1, 1, event_flagObject);
                   },
                   [](World& w) { EXPECT_EQ(w.a.events, kOne1619); }},
        // A delivery whose handler sends the next event: that one needs another pass.
        SettleCase{"DeliveryThatSendsTheNextEvent", 1,
                   [](World& w) {
                     w.a.forwardAs = event_objectModified;
                     w.keys.push_back(RegisterWindow(w.a, event_positionChanged, kDelay100));
                     w.keys.push_back(RegisterWindow(w.b, event_objectModified, kDelay100));
                     event_Send(event_positionChanged, 1, 1, event_flagObject);
                   },
                   [](World& w) {
                     EXPECT_EQ(w.a.events, kOne1619);
                     EXPECT_EQ(w.b.events, std::vector<UINT>{event_objectModified});
                   }},
        // A delay of five passes is waited for: it counts as pending while it counts down.
        SettleCase{"DelayLongerThanAPass", 1,
                   [](World& w) {
                     w.keys.push_back(RegisterWindow(w.a, event_positionChanged, kDelay500));
                     event_Send(event_positionChanged, 1, 1, event_flagObject);
                   },
                   [](World& w) { EXPECT_EQ(w.a.events, kOne1619); }},
        // A throttle delivers the first event at once and the rest at the end of its period.
        SettleCase{"ThrottledBurst", 1,
                   [](World& w) {
                     w.keys.push_back(RegisterWindow(w.a, event_positionChanged, kThrottle1000));
                     for (int i = 0; i < 3; ++i)
                       event_Send(event_positionChanged, 1, 1, event_flagObject);
                   },
                   [](World& w) {
                     EXPECT_EQ(w.a.events,
                               (std::vector<UINT>{event_positionChanged, event_positionChanged}));
                   }},
        // A receiver on the tick thread invalidates a window: the paint is done.
        SettleCase{"TickThreadReceiverInvalidatesAWindow", 1,
                   [](World& w) {
                     w.keys.push_back(
                         RegisterCallback(&InvalidateTarget, event_rulerChanged, kDelay100));
                     event_Send(event_rulerChanged, 1, 1, event_flagRuler);
                   },
                   [](World& w) { EXPECT_EQ(w.b.paints, 1); }},
        // A receiver on the tick thread sends to a window and waits for the answer (the
        // window's handler does not use the service): the wait for the pass answers it
        // instead of blocking both threads until the bound.
        SettleCase{"TickThreadReceiverSendsToAWindow", 1,
                   [](World& w) {
                     w.keys.push_back(
                         RegisterCallback(&SendToTarget, event_rulerChanged, kDelay100));
                     event_Send(event_rulerChanged, 1, 1, event_flagRuler);
                   },
                   [](World& w) {
                     EXPECT_EQ(w.b.answered, 1);
                     EXPECT_EQ(gAnswer.load(), 42);
                   }},
        // A registration whose window is gone fails and is retried every pass; that retry
        // may never succeed and must not keep the call waiting until its bound.
        SettleCase{"RetryForAWindowThatIsGone", 1,
                   [](World& w) {
                     auto gone = std::make_unique<CIdleWnd>();
                     ASSERT_TRUE(gone->CreateTop());
                     w.keys.push_back(RegisterWindow(*gone, event_positionChanged, kDelay100));
                     gone->DestroyWindow();
                     event_Send(event_positionChanged, 1, 1, event_flagObject);
                   },
                   [](World&) {}}),
    [](const auto& info) { return info.param.name; });

class Bounds : public quarlen::test::EventServiceFixture {};

TEST_F(Bounds, ATimerFiringEveryPassKeepsItBusyUntilTheBound) {
  Recorder timer;
  ASSERT_NE(timer.Register(), 0u);
  event_RegisterEvent(event_timer, timer.key(), 0, 0, event_any, 0, event_any);  // every pass
  EXPECT_FALSE(ProcessUntilIdle(1, 300));
  EXPECT_GT(timer.Count(), 0u);
  event_UnregisterClient(timer.key());
  EXPECT_TRUE(ProcessUntilIdle(1));
}

TEST_F(Bounds, OffTheGuiThreadItDoesNothing) {
  CIdleWnd wnd;
  ASSERT_TRUE(wnd.CreateTop());
  wnd.ShowWindow(SW_SHOW);
  ASSERT_TRUE(ProcessUntilIdle());
  wnd.paints = 0;
  wnd.Invalidate(FALSE);
  bool result = true;
  std::thread([&] { result = ProcessUntilIdle(1, 1000); }).join();
  EXPECT_FALSE(result);
  EXPECT_EQ(wnd.paints, 0) << "window work handled off its thread";
  EXPECT_TRUE(ProcessUntilIdle(0));
  EXPECT_EQ(wnd.paints, 1);
  wnd.DestroyWindow();
}

TEST(IdleWithoutTheService, HandlesTheWindowWorkAndDoesNotWaitForPasses) {
  CIdleWnd wnd;
  ASSERT_TRUE(wnd.CreateTop());
  wnd.ShowWindow(SW_SHOW);
  PostMessageW(wnd.m_hWnd, kChainMessage, 2, 0);
  // No event_Init: no pass will ever come, so waiting for one could only end at the bound.
  EXPECT_TRUE(ProcessUntilIdle(3, 10000));
  EXPECT_EQ(wnd.chainLinks, 3);
  EXPECT_FALSE(wnd.GetUpdateRect(nullptr));
  wnd.DestroyWindow();
}

}  // namespace
