// The zoom history: gesture marks and their nesting; sequences of real gestures (zoom bands in a
// view, zoom-bar pages, drags, double clicks and typed ranges, all through injected input) with
// back, forward, home and a length bound, checked on the rulers' windows as both linked views
// show them; one entry per gesture while the event service delivers late; rulers leaving.
#include "volume/zoom_history.h"

#include <QCoreApplication>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "axis/zoom_gesture.h"
#include "cursors/zoom.h"
#include "cursors/zoom_bar.h"
#include "cursors/zoom_limit.h"
#include "graphics/container.h"
#include "graphics/graphic_object.h"
#include "platform/dialog.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"
#include "volume/volume_set.h"

namespace t = quarlen::test;

namespace {

// ---- Gesture marks ----

struct GestureLog : IZoomGestureObserver {
  std::atomic<int> begins{0}, ends{0};
  std::thread::id lastThread;
  void OnZoomGestureBegin() override {
    ++begins;
    lastThread = std::this_thread::get_id();
  }
  void OnZoomGestureEnd() override { ++ends; }
};

TEST(ZoomGesture, OuterMarksOfAThreadBeginAndEndOneGesture) {
  struct Case {
    const char* name;
    void (*run)();
    int gestures;
  } cases[] = {
      {"one mark", [] { CZoomGesture g; }, 1},
      {"nested marks",
       [] {
         CZoomGesture outer;
         { CZoomGesture inner; }
         CZoomGesture second;
       },
       1},
      {"two marks in a row",
       [] {
         { CZoomGesture a; }
         { CZoomGesture b; }
       },
       2},
      {"no mark", [] {}, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    GestureLog log;
    CZoomGesture::RegisterObserver(&log);
    CZoomGesture::RegisterObserver(&log);  // once only
    k.run();
    CZoomGesture::UnregisterObserver(&log);
    EXPECT_EQ(log.begins, k.gestures);
    EXPECT_EQ(log.ends, k.gestures);
    EXPECT_FALSE(CZoomGesture::InProgress());
  }
}

TEST(ZoomGesture, EachThreadHasItsOwnGestureAndObserversHearItThere) {
  GestureLog log;
  CZoomGesture::RegisterObserver(&log);
  {
    CZoomGesture here;
    EXPECT_TRUE(CZoomGesture::InProgress());
    std::thread other([&] {
      EXPECT_FALSE(CZoomGesture::InProgress());  // not nested into this thread's gesture
      CZoomGesture there;
    });
    const std::thread::id otherId = other.get_id();
    other.join();
    EXPECT_EQ(log.lastThread, otherId);
  }
  CZoomGesture::UnregisterObserver(&log);
  EXPECT_EQ(log.begins, 2);
  EXPECT_EQ(log.ends, 2);
}

// An observer that leaves during its own call is not called again; the others still are.
struct LeavingObserver : IZoomGestureObserver {
  int calls = 0;
  void OnZoomGestureBegin() override {
    ++calls;
    CZoomGesture::UnregisterObserver(this);
  }
  void OnZoomGestureEnd() override { ++calls; }
};

TEST(ZoomGesture, ObserverMayUnregisterDuringItsCall) {
  LeavingObserver leaving;
  GestureLog log;
  CZoomGesture::RegisterObserver(&leaving);
  CZoomGesture::RegisterObserver(&log);
  { CZoomGesture g; }
  CZoomGesture::UnregisterObserver(&log);
  EXPECT_EQ(leaving.calls, 1);
  EXPECT_EQ(log.begins, 1);
  EXPECT_EQ(log.ends, 1);
}

// ---- Two views linked through a volume-set group ----

// The windows of the view's rulers as its objects map them (the scales the container rescales
// on every ruler change).
struct ViewWindow {
  double xStart, xEnd, yStart, yEnd;
};

enum class Do {
  BandX,           // a flat zoom band in the B-scan view: scan only
  BandY,           // a tall band: depth only
  BandXY,          // a square band: both rulers
  BarPage,         // a click right of the scan bar's cursor
  BarDrag,         // the scan bar's cursor dragged 20 pixels to the right
  BarDoubleClick,  // a double click on the scan bar's cursor (the whole axis)
  BarTyped,        // 10 .. 40 typed into the scan bar's limits dialog
  Back,
  Forward,
  Home,
  Keep2,  // SetMaxLength(2)
};

class ZoomHistoryTest : public t::EventServiceFixture {
 protected:
  // The scales span one pixel less than the window: one pixel per unit at the start.
  static constexpr int kW = 101, kH = 81;
  static constexpr int kBarLength = 200, kBarAcross = 30;

  void SetUp() override {
    EventServiceFixture::SetUp();
    volume = std::make_unique<CVolumeSet>(unit_distance, L"Scan", unit_distance, L"Index");
    volume->vol_SetLimits(zel_scan, 0.0, 100.0);
    volume->vol_SetLimits(zel_ultrasound, 0.0, 80.0);
    volume->vol_SetLimits(zel_amplitude, 0.0, 100.0);
    // Each view asks for its own rulers with the group id; the depth ruler is one, shared.
    scan = volume->vol_CreateRuler(zel_scan, 0.0, 0, &kGroup, nullptr);
    depth = volume->vol_CreateRuler(zel_ultrasound, 0.0, 0, &kGroup, nullptr);
    amplitude = volume->vol_CreateRuler(zel_amplitude, 0.0, 0, &kGroup, nullptr);
    int created = -1;
    ascanDepth = volume->vol_CreateRuler(zel_ultrasound, 0.0, 0, &kGroup, &created);
    ASSERT_EQ(created, 0);

    frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 400, 200), nullptr, 0);
    bscan = MakeView(0, scan, depth, &bscanProbe);
    ascan = MakeView(120, amplitude, ascanDepth, &ascanProbe);
    zoom = std::make_unique<CZoom>(nullptr, 1);
    bscan->AddDynamic(zoom.get(), CGOContainer::top);

    bar = std::make_unique<CZoomBar>();
    ASSERT_TRUE(bar->Create(nullptr, L"", WS_CHILD | WS_VISIBLE,
                            CRect(0, 100, kBarLength, 100 + kBarAcross), frame.get(), 20));
    bar->SetHorizontal(1);
    bar->SetDisplayFormat(0.0, 100.0, &unit);
    bar->SetRuler(scan);

    history.SetGroup(volume.get(), kGroup);
    history.SetHome();  // the whole axes
    history.GetConsList()->Register(nullptr, &Availability, CConsumerList::priorityImmediate);
    Settle();
  }

  void TearDown() override {
    bar.reset();
    bscan->RemoveAll();
    ascan->RemoveAll();
    views.clear();
    zoom.reset();
    frame.reset();
    t::PumpUntilIdle();
    history.SetGroup(nullptr, kGroup);
    for (CRulerEx* r : {scan, depth, amplitude, ascanDepth}) volume->vol_DeleteRuler(r);
    volume.reset();
    EventServiceFixture::TearDown();
  }

  CGOContainer* MakeView(int left, CRuler* x, CRuler* y, CGObject* probe) {
    auto view = std::make_unique<CGOContainer>();
    // yGrow 0: depth grows downwards, pixel row 0 is the window's start.
    EXPECT_TRUE(view->Create(frame.get(), 10 + static_cast<UINT>(views.size()), x, y, 1, 0));
    view->MoveWindow(left, 0, kW, kH);
    view->ShowWindow(SW_SHOW);
    view->Add(probe, CGOContainer::top);
    views.push_back(std::move(view));
    return views.back().get();
  }

  static void Settle() { ASSERT_TRUE(t::SettleEvents()); }

  static ViewWindow Shown(const CGObject& probe) {
    const CSC* x = probe.GetXScale();
    const CSC* y = probe.GetYScale();
    return {x->GetRulOffset(), x->GetRulOffset() + x->GetRulRange(), y->GetRulOffset(),
            y->GetRulOffset() + y->GetRulRange()};
  }

  void Band(CPoint from, CPoint to) {
    const HWND h = bscan->GetSafeHwnd();
    t::MousePress(h, from);
    t::MouseMove(h, to);
    t::MouseRelease(h, to);
  }

  void Run(Do step) {
    const HWND h = bar->GetSafeHwnd();
    const int mid = kBarAcross / 2;
    switch (step) {
      case Do::BandX:
        Band({20, 30}, {70, 34});
        break;
      case Do::BandY:
        Band({50, 10}, {53, 50});
        break;
      case Do::BandXY:
        Band({20, 20}, {60, 60});
        break;
      case Do::BarPage:
        t::Click(h, {180, mid});
        break;
      case Do::BarDrag:
        t::MousePress(h, {90, mid});
        t::MouseMove(h, {110, mid});
        t::MouseRelease(h, {110, mid});
        break;
      case Do::BarDoubleClick:
        t::DoubleClick(h, {90, mid});
        break;
      case Do::BarTyped:
        quarlen::SetModalDialogHook([](CDialog* d) {
          d->SetDlgItemText(CZoomLimit::kStartEditId, L"10");
          d->SetDlgItemText(CZoomLimit::kEndEditId, L"40");
          d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        t::Click(h, {10, mid}, t::Button::Left, t::kControl);
        quarlen::SetModalDialogHook(nullptr);
        break;
      case Do::Back:
        history.Back();
        break;
      case Do::Forward:
        history.Forward();
        break;
      case Do::Home:
        history.Home();
        break;
      case Do::Keep2:
        history.SetMaxLength(2);
        break;
    }
    t::PumpUntilIdle();
  }

  static void Availability(void* source, CObject*, unsigned long) {
    auto* h = static_cast<CZoomHistory*>(source);
    notices.push_back({h->CanBack() != 0, h->CanForward() != 0});
  }

  static inline const vset_groupId kGroup{1};
  static inline std::vector<std::pair<bool, bool>> notices;

  CUnit baseUnit;
  CUnit unit{unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &baseUnit};
  std::unique_ptr<CVolumeSet> volume;
  CRulerEx* scan = nullptr;
  CRulerEx* depth = nullptr;
  CRulerEx* amplitude = nullptr;
  CRulerEx* ascanDepth = nullptr;
  std::unique_ptr<CFrameWnd> frame;
  std::vector<std::unique_ptr<CGOContainer>> views;
  CGOContainer* bscan = nullptr;
  CGOContainer* ascan = nullptr;
  CGObject bscanProbe, ascanProbe;
  std::unique_ptr<CZoom> zoom;
  std::unique_ptr<CZoomBar> bar;
  CZoomHistory history;
};

TEST_F(ZoomHistoryTest, GestureSequencesMoveBothLinkedViews) {
  struct Range {
    double start, end;
  };
  struct Counts {
    int back, forward;
    int notices;  // availability changes told to the consumers
  };
  struct Case {
    const char* name;
    std::vector<Do> steps;
    Range scan, depth;
    Counts counts;
  } cases[] = {
      {"one band", {Do::BandX}, {20, 70}, {0, 80}, {1, 0, 1}},
      {"two bands", {Do::BandX, Do::BandX}, {30, 55}, {0, 80}, {2, 0, 1}},
      {"back", {Do::BandX, Do::BandX, Do::Back}, {20, 70}, {0, 80}, {1, 1, 2}},
      {"back to the start",
       {Do::BandX, Do::BandX, Do::Back, Do::Back},
       {0, 100},
       {0, 80},
       {0, 2, 3}},
      {"forward again",
       {Do::BandX, Do::BandX, Do::Back, Do::Back, Do::Forward},
       {20, 70},
       {0, 80},
       {1, 1, 4}},
      {"a new gesture drops the forward entries",
       {Do::BandX, Do::BandX, Do::Back, Do::Back, Do::BandY, Do::Forward},
       {0, 100},
       {10, 50},
       {1, 0, 4}},
      {"a band in both directions is one entry", {Do::BandXY}, {20, 60}, {20, 60}, {1, 0, 1}},
      {"one back undoes both directions", {Do::BandXY, Do::Back}, {0, 100}, {0, 80}, {0, 1, 2}},
      {"home", {Do::BandX, Do::BandY, Do::Home}, {0, 100}, {0, 80}, {3, 0, 1}},
      {"back after home returns",
       {Do::BandX, Do::BandY, Do::Home, Do::Back},
       {20, 70},
       {10, 50},
       {2, 1, 2}},
      {"home at home records nothing", {Do::Home}, {0, 100}, {0, 80}, {0, 0, 0}},
      // Entries (0..100), (20..70), (30..55) with depth 0..80: the first is dropped.
      {"length bound drops the oldest",
       {Do::Keep2, Do::BandX, Do::BandX, Do::BandY, Do::Back, Do::Back, Do::Back},
       {20, 70},
       {0, 80},
       {0, 2, 3}},
      {"zoom bar page", {Do::BandX, Do::BarPage}, {50, 100}, {0, 80}, {2, 0, 1}},
      {"back from a page", {Do::BandX, Do::BarPage, Do::Back}, {20, 70}, {0, 80}, {1, 1, 2}},
      // The release sets the ruler twice (the whole range first): one entry, the window before.
      {"zoom bar drag", {Do::BandX, Do::BarDrag}, {30, 80}, {0, 80}, {2, 0, 1}},
      {"back from a drag", {Do::BandX, Do::BarDrag, Do::Back}, {20, 70}, {0, 80}, {1, 1, 2}},
      // The double click's first click grabs and releases the cursor in place: no entry.
      {"double click", {Do::BandX, Do::BarDoubleClick}, {0, 100}, {0, 80}, {2, 0, 1}},
      {"back from a double click",
       {Do::BandX, Do::BarDoubleClick, Do::Back},
       {20, 70},
       {0, 80},
       {1, 1, 2}},
      {"typed range", {Do::BandX, Do::BarTyped}, {10, 40}, {0, 80}, {2, 0, 1}},
      {"back from a typed range",
       {Do::BandX, Do::BarTyped, Do::Back},
       {20, 70},
       {0, 80},
       {1, 1, 2}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    scan->Set(0.0, 100.0, 0);
    depth->Set(0.0, 80.0, 0);
    history.SetMaxLength(CZoomHistory::kDefaultMaxLength);
    history.Clear();
    Settle();
    notices.clear();
    for (Do step : k.steps) {
      Run(step);
      Settle();  // the views (and the zoom tool's scales) follow before the next step
    }
    EXPECT_NEAR(scan->GetStart(), k.scan.start, 1e-9);
    EXPECT_NEAR(scan->GetEnd(), k.scan.end, 1e-9);
    EXPECT_NEAR(depth->GetStart(), k.depth.start, 1e-9);
    EXPECT_NEAR(depth->GetEnd(), k.depth.end, 1e-9);
    const ViewWindow b = Shown(bscanProbe), a = Shown(ascanProbe);
    EXPECT_NEAR(b.xStart, k.scan.start, 1e-9);
    EXPECT_NEAR(b.xEnd, k.scan.end, 1e-9);
    EXPECT_NEAR(b.yStart, k.depth.start, 1e-9);
    EXPECT_NEAR(b.yEnd, k.depth.end, 1e-9);
    EXPECT_NEAR(a.yStart, k.depth.start, 1e-9) << "the A-scan shares the depth ruler";
    EXPECT_NEAR(a.yEnd, k.depth.end, 1e-9);
    EXPECT_NEAR(a.xStart, 0.0, 1e-9);
    EXPECT_NEAR(a.xEnd, 100.0, 1e-9);
    EXPECT_EQ(history.GetBackCount(), k.counts.back);
    EXPECT_EQ(history.GetForwardCount(), k.counts.forward);
    EXPECT_EQ(static_cast<int>(notices.size()), k.counts.notices);
    if (!notices.empty()) {
      EXPECT_EQ(notices.back().first, k.counts.back > 0);
      EXPECT_EQ(notices.back().second, k.counts.forward > 0);
    }
  }
}

// Deliveries of the event service come a pass or more after the change, coalesced: gestures
// made one after the other without waiting for them, and the deliveries arriving afterwards,
// still give one entry per gesture, and going back restores each gesture's starting window.
TEST_F(ZoomHistoryTest, OneEntryPerGestureWhileTheServiceDeliversLate) {
  scan->Set(20.0, 50.0, 0);
  Settle();
  // Pages read the bar's own cursor, so they need no delivery in between.
  for (int i = 0; i < 3; ++i) {
    t::Click(bar->GetSafeHwnd(), {i % 2 == 0 ? 180 : 5, kBarAcross / 2});
    t::PumpUntilIdle();  // window work only: the tick thread delivers whenever it comes
  }
  // 20..70 -> 50..100 -> 0..50 -> 50..100.
  EXPECT_EQ(history.GetBackCount(), 3);
  Settle();
  Settle();
  EXPECT_EQ(history.GetBackCount(), 3) << "late deliveries made entries";
  const double expected[][2] = {{0, 50}, {50, 100}, {20, 70}};
  for (const auto& w : expected) {
    ASSERT_TRUE(history.Back());
    EXPECT_NEAR(scan->GetStart(), w[0], 1e-9);
    EXPECT_NEAR(scan->GetEnd(), w[1], 1e-9);
  }
  Settle();
  EXPECT_EQ(history.GetBackCount(), 0);
  EXPECT_EQ(history.GetForwardCount(), 3);
  const ViewWindow b = Shown(bscanProbe);
  EXPECT_NEAR(b.xStart, 20.0, 1e-9);
  EXPECT_NEAR(b.xEnd, 70.0, 1e-9);
}

// A follow-up change made inside the gesture (here by a synchronous receiver of the scan
// ruler's change, called on the gesture's thread while the bar sets the ruler) joins the
// gesture's entry; a change that a late delivery makes on the tick thread is no gesture of the
// history's thread and makes none.
struct Follower {
  CRuler* ruler = nullptr;
  double start = 0.0, range = 0.0;
  unsigned client = 0;
  static void OnRulerChanged(void* self, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* f = static_cast<Follower*>(self);
    f->ruler->Set(f->start, f->range, 0);
  }
  bool Listen(const CRuler* to, unsigned mode) {
    client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                  &Follower::OnRulerChanged, event_kindCallback4);
    return event_RegisterEvent(event_rulerChanged, client, mode, 0, to->GetID(), 0, event_any) != 0;
  }
  void Stop() { event_UnregisterClient(client); }
};

TEST_F(ZoomHistoryTest, FollowUpChangesJoinTheGestureAndLateOnesMakeNoEntry) {
  scan->Set(20.0, 50.0, 0);
  Settle();
  Follower follower{depth, 5.0, 10.0};
  ASSERT_TRUE(follower.Listen(scan, event_modeSync));
  Follower late{amplitude, 10.0, 20.0};
  ASSERT_TRUE(late.Listen(scan, event_modeDelay | 100));

  Run(Do::BarDrag);  // scan 30..80, and the follower sets depth 5..15 at the release
  Settle();
  EXPECT_NEAR(scan->GetStart(), 30.0, 1e-9);
  EXPECT_NEAR(depth->GetStart(), 5.0, 1e-9);
  EXPECT_NEAR(amplitude->GetStart(), 10.0, 1e-9);  // the late follower ran
  EXPECT_EQ(history.GetBackCount(), 1);

  follower.Stop();
  late.Stop();
  ASSERT_TRUE(history.Back());
  Settle();
  EXPECT_NEAR(scan->GetStart(), 20.0, 1e-9);
  EXPECT_NEAR(scan->GetEnd(), 70.0, 1e-9);
  EXPECT_NEAR(depth->GetStart(), 0.0, 1e-9);
  EXPECT_NEAR(depth->GetEnd(), 80.0, 1e-9);
  const ViewWindow a = Shown(ascanProbe);
  EXPECT_NEAR(a.yEnd, 80.0, 1e-9);
  EXPECT_EQ(history.GetBackCount(), 0);
  EXPECT_EQ(history.GetForwardCount(), 1);
}

TEST_F(ZoomHistoryTest, StepsInsideAnotherGestureRecordNothingMore) {
  Run(Do::BandX);
  Settle();
  {
    CZoomGesture outer;  // e.g. an application's command that also goes back
    ASSERT_TRUE(history.Back());
  }
  EXPECT_EQ(history.GetBackCount(), 0);
  EXPECT_EQ(history.GetForwardCount(), 1);
  EXPECT_NEAR(scan->GetStart(), 0.0, 1e-9);
}

TEST_F(ZoomHistoryTest, RulersOutsideTheGroupAreRecordedOnceAddedAndForgottenOnceRemoved) {
  CAxe axis;
  axis.Create(L"Extra", std_distance, 0.0, 10.0);
  CRuler extra;
  extra.Create(L"Extra", &axis, 0.0, 0);
  struct Case {
    const char* name;
    bool add, remove;
    int back;
  } cases[] = {
      {"not added", false, false, 0},
      {"added", true, false, 1},
      {"added, then removed", true, true, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    extra.Set(0.0, 10.0, 0);
    history.Clear();
    if (k.add) history.AddRuler(&extra);
    {
      CZoomGesture g;
      extra.Set(2.0, 3.0, 0);
    }
    if (k.remove) history.RemoveRuler(&extra);
    EXPECT_EQ(history.GetBackCount(), k.back);
    EXPECT_EQ(history.Back() != 0, k.back > 0);
    if (k.add && !k.remove) {
      EXPECT_NEAR(extra.GetStart(), 0.0, 1e-9);
    }
    history.RemoveRuler(&extra);
  }
}

TEST_F(ZoomHistoryTest, HomeWithoutARecordedHomeShowsTheWholeAxes) {
  CZoomHistory fresh;
  fresh.SetGroup(volume.get(), kGroup);
  scan->Set(30.0, 10.0, 0);
  depth->Set(5.0, 5.0, 0);
  ASSERT_TRUE(fresh.Home());
  EXPECT_NEAR(scan->GetStart(), 0.0, 1e-9);
  EXPECT_NEAR(scan->GetEnd(), 100.0, 1e-9);
  EXPECT_NEAR(depth->GetEnd(), 80.0, 1e-9);
  EXPECT_EQ(fresh.GetBackCount(), 1);
  ASSERT_TRUE(fresh.Back());
  EXPECT_NEAR(scan->GetStart(), 30.0, 1e-9);
  EXPECT_NEAR(depth->GetStart(), 5.0, 1e-9);
  fresh.SetGroup(nullptr, kGroup);
}

}  // namespace
