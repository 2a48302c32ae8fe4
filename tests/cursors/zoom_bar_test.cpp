// The zoom bar: geometry and pixels of the strip, cursor and home frames; drags, paging and
// double clicks through injected input; the limits dialog answered through the dialog hook; the
// ruler-change path and the registrations.
#include "cursors/zoom_bar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/unit.h"
#include "cursors/zoom_limit.h"
#include "platform/dialog.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = 0x7F7F7F;
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kSentinel = RGB(255, 0, 255);
constexpr int kLen = 200;    // pixels along the bar: two pixels per unit of the 0..100 axis
constexpr int kAcross = 30;  // pixels across

// Ruler windows as the sync observer of event 1620 saw them.
struct RulerWatch {
  CRuler* ruler = nullptr;
  unsigned client = 0;
  std::vector<std::pair<double, double>> seen;  // (start, range) at each change
  static void Callback(void* self, unsigned, std::uintptr_t, std::uintptr_t) {
    auto* w = static_cast<RulerWatch*>(self);
    w->seen.emplace_back(w->ruler->GetStart(), w->ruler->GetRange());
  }
  explicit RulerWatch(CRuler* r) : ruler(r) {
    client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr, &Callback,
                                  event_kindCallback4);
    event_RegisterEvent(event_rulerChanged, client, event_modeSync, 0, r->GetID(), 0, event_any);
  }
  ~RulerWatch() { event_UnregisterClient(client); }
};

class ZoomBarTest : public t::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    axis.Create(L"Scan", std_distance, 0.0, 100.0);
    ruler.Create(L"Scan", &axis, 0.0, 0);
    ruler.Set(25.0, 50.0, 0);
    frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 800, 300), nullptr, 0);
  }
  void TearDown() override {
    bars.clear();
    frame.reset();
    t::PumpUntilIdle();
    EventServiceFixture::TearDown();
  }

  CZoomBar* MakeBar(bool horizontal, bool inverted = false, CRuler* r = nullptr, int len = kLen) {
    auto bar = std::make_unique<CZoomBar>();
    const CRect place = horizontal ? CRect(0, 0, len, kAcross) : CRect(300, 0, 300 + kAcross, len);
    EXPECT_TRUE(bar->Create(nullptr, L"", WS_CHILD | WS_VISIBLE, place, frame.get(), 10));
    bar->SetBackgroundColor(kSentinel);
    bar->SetHorizontal(horizontal ? 1 : 0);
    bar->InvertDirection(inverted ? 1 : 0);
    bar->SetCursorColor(kBlue);
    bar->SetDisplayFormat(0.0, 100.0, &mm);
    bar->SetRuler(r != nullptr ? r : &ruler);
    bars.push_back(std::move(bar));
    t::PumpUntilIdle();
    return bars.back().get();
  }
  // Lets the event service deliver what was sent, then handles the messages.
  static void Deliver() {
    ASSERT_TRUE(t::WaitForTickPasses(2));
    t::PumpUntilIdle();
  }
  static int Count(CZoomBar* bar, COLORREF col, CRect area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        n += t::PixelAt(bar->GetSafeHwnd(), x, y) == col ? 1 : 0;
      }
    }
    return n;
  }
  static CRect Client(CZoomBar* bar) {
    CRect c;
    bar->GetClientRect(&c);
    return c;
  }
  // Press at `from`, move to `to`, release there (coordinates along the bar).
  static void Drag(CZoomBar* bar, bool horizontal, int from, int to) {
    const int mid = kAcross / 2;
    const HWND h = bar->GetSafeHwnd();
    auto at = [&](int v) { return horizontal ? CPoint(v, mid) : CPoint(mid, v); };
    t::MousePress(h, at(from));
    t::MouseMove(h, at(to));
    t::MouseRelease(h, at(to));
    t::PumpUntilIdle();
  }

  CUnit base;
  CUnit mm{unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &base};
  CAxe axis;
  CRuler ruler;
  std::unique_ptr<CFrameWnd> frame;
  std::vector<std::unique_ptr<CZoomBar>> bars;
};

// ---- Geometry and pixels ----

TEST_F(ZoomBarTest, CursorAndHomeRectanglesSitWhereTheRulerIs) {
  struct Case {
    const char* name;
    bool horizontal, inverted;
    double start, range;  // ruler window on the 0..100 axis
    CRect cursor;
  } cases[] = {
      {"horizontal", true, false, 25, 50, {50, 2, 151, 28}},
      {"horizontal inverted", true, true, 25, 50, {51, 2, 150, 28}},
      {"horizontal whole axis", true, false, 0, 100, {0, 2, 201, 28}},
      {"vertical", false, false, 10, 20, {2, 20, 28, 61}},
      {"vertical inverted", false, true, 10, 20, {2, 141, 28, 180}},
  };
  ruler.SetDrawTicksState(0);  // the strip holds the cursor and the frames only
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(k.start, k.range, 0);
    CZoomBar* bar = MakeBar(k.horizontal, k.inverted);
    bar->SetHome(12.5, 37.5);  // relative 0.125 to 0.375: pixels 25..76 (126..175 inverted)
    t::PumpUntilIdle();
    CRect cursor;
    bar->GetCursorRect(&cursor);
    EXPECT_EQ(cursor, k.cursor);

    // Three nested home frames at both ends, each one pixel further out, over the cursor.
    const int lo = k.inverted ? 126 : 25;
    const int hi = k.inverted ? 174 : 75;
    const std::vector<int> frames = {lo - 2, lo - 1, lo, hi, hi + 1, hi + 2};
    auto isFrame = [&](int v) {
      return std::find(frames.begin(), frames.end(), v) != frames.end();
    };
    const HWND h = bar->GetSafeHwnd();
    auto pixel = [&](int along, int across) {
      return k.horizontal ? t::PixelAt(h, along, across) : t::PixelAt(h, across, along);
    };
    for (int v : frames) EXPECT_EQ(pixel(v, 1), kGrey) << "frame at " << v;
    for (int v : {lo - 3, lo + 1, hi - 1, hi + 3}) EXPECT_EQ(pixel(v, 1), kWhite) << v;

    // The rounded cursor: filled inside (where no frame crosses it), outlined in grey, nothing
    // of it beyond its rectangle.
    const int from = k.horizontal ? k.cursor.left : k.cursor.top;
    const int to = k.horizontal ? k.cursor.right : k.cursor.bottom;
    for (int v = from + 4; v < to - 4; ++v) {
      for (int across = 6; across < kAcross - 6; ++across) {
        if (isFrame(v)) continue;
        ASSERT_EQ(pixel(v, across), kBlue) << v << "," << across;
      }
    }
    EXPECT_EQ(Count(bar, kBlue, Client(bar)), Count(bar, kBlue, k.cursor));
    EXPECT_EQ(pixel(from, kAcross / 2), kGrey);
    if (to - 1 < kLen) {
      EXPECT_EQ(pixel(to - 1, kAcross / 2), kGrey);
    }
    if (from > 0 && !isFrame(from - 1)) {
      EXPECT_EQ(pixel(from - 1, kAcross / 2), kWhite);
    }
    t::SavePixelsIfFailed(bar->GetSafeHwnd(), k.name);
    bars.clear();
  }
}

TEST_F(ZoomBarTest, DisabledBarShowsTheCursorUnfilled) {
  ruler.SetDrawTicksState(0);
  CZoomBar* bar = MakeBar(true);
  CRect inner(54, 6, 147, 24);
  EXPECT_EQ(Count(bar, kBlue, inner), inner.Width() * inner.Height());
  bar->EnableWindow(FALSE);
  t::PumpUntilIdle();
  EXPECT_EQ(Count(bar, kBlue, Client(bar)), 0);
  EXPECT_EQ(Count(bar, kWhite, inner), inner.Width() * inner.Height());
  EXPECT_EQ(t::PixelAt(bar->GetSafeHwnd(), 50, 15), kGrey);  // the outline stays
  bar->EnableWindow(TRUE);
  t::PumpUntilIdle();
  EXPECT_EQ(Count(bar, kBlue, inner), inner.Width() * inner.Height());
}

TEST_F(ZoomBarTest, WithoutDisplayUnitNothingIsDrawn) {
  CZoomBar* bar = MakeBar(true);
  bar->SetDisplayFormat(0.0, 100.0, nullptr);
  t::PumpUntilIdle();
  const CRect c = Client(bar);
  EXPECT_EQ(Count(bar, kSentinel, c), c.Width() * c.Height());  // only the erased background
}

TEST_F(ZoomBarTest, TicksAndLabelsFollowTheDisplayUnit) {
  // The same 0..100 mm axis on 700 pixels shown in millimetres, inches and metres: the labels
  // are the display unit's values, and each tick is drawn at its place on the strip.
  CUnit inch{unit_distance, unit_dataInch, unit_convLinear, 1.0 / 25.4, 0.0, &base};
  CUnit metre{unit_distance, unit_dataMeter, unit_convLinear, 0.001, 0.0, &base};
  struct Case {
    const char* name;
    CUnit* unit;
    bool inverted;
    std::vector<std::wstring> labels;
    LONG secondTickPixel;  // where the label after "0" stands
  } cases[] = {
      {"millimetre", &mm, false, {L"0", L"20", L"40", L"60", L"80", L"100"}, 140},
      {"millimetre inverted", &mm, true, {L"0", L"20", L"40", L"60", L"80", L"100"}, 560},
      {"inch", &inch, false, {L"0", L"1", L"2", L"3"}, 177},  // 25.4 mm = 177.8 pixels
      {"metre", &metre, false, {L"0", L"0.02", L"0.04", L"0.06", L"0.08", L"0.1"}, 140},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(90.0, 5.0, 0);  // keep the cursor away from most ticks
    CZoomBar* bar = MakeBar(true, k.inverted, nullptr, 700);
    bar->SetDisplayFormat(0.0, 100.0, k.unit);
    t::PumpUntilIdle();
    const quarlen::TickLayout layout = bar->GetTickLayout();
    std::vector<std::wstring> labels;
    std::vector<LONG> labelPixels;
    for (const quarlen::Tick& tick : layout.ticks) {
      if (tick.labelled) labels.emplace_back(tick.label.GetString());
      if (tick.labelled) labelPixels.push_back(tick.pixel);
      if (tick.pixel > 0 && tick.pixel < 700 && std::abs(tick.pixel - 640) > 30) {
        EXPECT_EQ(t::PixelAt(bar->GetSafeHwnd(), tick.pixel, 0), kGrey) << tick.pixel;
      }
    }
    EXPECT_EQ(labels, k.labels);
    ASSERT_GE(labelPixels.size(), 2u);
    EXPECT_EQ(labelPixels[1], k.secondTickPixel);
    EXPECT_GT(Count(bar, RGB(0, 0, 0), Client(bar)), 10);  // label text
    t::SavePixelsIfFailed(bar->GetSafeHwnd(), k.name);
    bars.clear();
  }
}

TEST_F(ZoomBarTest, TicksFollowTheRulersTickSwitch) {
  CZoomBar* bar = MakeBar(true);
  EXPECT_FALSE(bar->GetTickLayout().ticks.empty());
  ruler.SetDrawTicksState(0);
  EXPECT_TRUE(bar->GetTickLayout().ticks.empty());
  bar->SetDisplayFormat(0.0, 100.0, nullptr);
  ruler.SetDrawTicksState(1);
  EXPECT_TRUE(bar->GetTickLayout().ticks.empty());
}

TEST_F(ZoomBarTest, PrintDrawsAtTheOffset) {
  ruler.SetDrawTicksState(0);
  CZoomBar* bar = MakeBar(true);
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(300, 100, 1, 32, nullptr);
  memory.SelectObject(&bitmap);
  memory.FillSolidRect(0, 0, 300, 100, kSentinel);
  bar->Print(&memory, 50, 20);
  EXPECT_EQ(memory.GetPixel(50 + 100, 20 + 15), kBlue);  // cursor middle
  EXPECT_EQ(memory.GetPixel(50 + 10, 20 + 15), kWhite);  // strip
  EXPECT_EQ(memory.GetPixel(40, 15), kSentinel);         // left of the bar
  EXPECT_EQ(memory.GetViewportOrg(), CPoint(0, 0));
}

// ---- Drags ----

TEST_F(ZoomBarTest, DragsMoveTheCursorAndSetTheRulerAtRelease) {
  // Ruler 25..75 of 0..100 on 200 pixels: the cursor spans pixels 50..151 (51..150 inverted).
  struct Case {
    const char* name;
    bool horizontal, inverted;
    int from, to;
    double start, range;  // ruler window after the release
  } cases[] = {
      {"whole cursor", true, false, 100, 140, 45, 50},
      {"whole cursor far right", true, false, 100, 5000, 50, 50},
      {"whole cursor far left", true, false, 100, -5000, 0, 50},
      {"start edge", true, false, 52, 22, 10, 65},
      {"start edge to the left end", true, false, 52, -300, 0, 75},
      {"start edge past the end", true, false, 52, 400, 25, 50},
      {"end edge", true, false, 149, 181, 25, 66.5},
      {"end edge to zero length", true, false, 149, 48, 25, 50},
      {"end edge beyond the strip", true, false, 149, 5000, 25, 74.999},
      {"inverted: left edge is the end", true, true, 53, 33, 25, 59.5},
      {"inverted: right edge is the start", true, true, 148, 168, 15, 60},
      {"inverted whole cursor", true, true, 100, 60, 45, 50},
      {"vertical whole cursor", false, false, 100, 120, 35, 50},
      {"vertical end edge", false, false, 149, 169, 25, 60.5},
      {"vertical inverted start edge", false, true, 148, 168, 15, 60},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(25.0, 50.0, 0);
    CZoomBar* bar = MakeBar(k.horizontal, k.inverted);
    Drag(bar, k.horizontal, k.from, k.to);
    EXPECT_NEAR(ruler.GetStart(), k.start, 1e-6);
    EXPECT_NEAR(ruler.GetRange(), k.range, 1e-6);
    EXPECT_NEAR(bar->GetCursorStart(), k.start / 100.0, 1e-9);
    EXPECT_NEAR(bar->GetCursorRange(), k.range / 100.0, 1e-9);
    EXPECT_EQ(::GetCapture(), nullptr);
    bars.clear();
  }
}

TEST_F(ZoomBarTest, DragStepsLeaveTheSurfaceAsAFullRepaintDrawsIt) {
  // A drag repaints only what the cursor's ends swept; the result must not differ from a
  // repaint of the whole bar (ticks, labels and home frames included).
  struct Case {
    const char* name;
    bool horizontal, inverted;
    int from;
    std::vector<int> moves;
  } cases[] = {
      {"whole cursor", true, false, 100, {101, 103, 110, 90, 30, 180}},
      {"start edge", true, false, 51, {60, 20, 140, 2}},
      {"end edge inverted", true, true, 52, {70, 10, 120}},
      {"vertical end edge", false, false, 150, {160, 190, 60}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(25.0, 50.0, 0);
    CZoomBar* bar = MakeBar(k.horizontal, k.inverted);
    bar->SetHome(30.0, 45.0);
    t::PumpUntilIdle();
    const HWND h = bar->GetSafeHwnd();
    auto at = [&](int v) { return k.horizontal ? CPoint(v, 15) : CPoint(15, v); };
    t::MousePress(h, at(k.from));
    for (int v : k.moves) {
      t::MouseMove(h, at(v));
      t::PumpUntilIdle();
    }
    const QImage stepped = t::WindowPixels(h);
    bar->Invalidate(TRUE);
    t::PumpUntilIdle();
    const QImage full = t::WindowPixels(h);
    EXPECT_TRUE(stepped == full);
    if (stepped != full) t::SaveImage(stepped, (std::string(k.name) + " stepped").c_str());
    t::SavePixelsIfFailed(h, k.name);
    t::MouseRelease(h, at(k.moves.back()));
    t::PumpUntilIdle();
    bars.clear();
  }
}

TEST_F(ZoomBarTest, ReleaseSetsTheRulerTwiceThenNotifiesOnce) {
  CZoomBar* bar = MakeBar(true);
  int messages = 0;
  struct Counter : CObject {
    int* n;
  } counter;
  counter.n = &messages;
  bar->GetConsList()->Register(
      &counter, [](void*, CObject* o, unsigned long) { ++*static_cast<Counter*>(o)->n; },
      CConsumerList::priorityImmediate);
  RulerWatch watch(&ruler);
  const HWND h = bar->GetSafeHwnd();
  t::MousePress(h, CPoint(100, 15));
  t::MouseMove(h, CPoint(120, 15));
  t::MouseMove(h, CPoint(140, 15));
  EXPECT_EQ(messages, 2);           // the consumers follow the drag
  EXPECT_TRUE(watch.seen.empty());  // the ruler does not
  const int beforeRelease = messages;
  t::MouseRelease(h, CPoint(140, 15));
  t::PumpUntilIdle();
  EXPECT_EQ(messages - beforeRelease, 1);
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_DOUBLE_EQ(watch.seen[0].second, 99999999.999);  // the wide window first
  EXPECT_NEAR(watch.seen[1].first, 45.0, 1e-9);
  EXPECT_NEAR(watch.seen[1].second, 50.0, 1e-9);
}

TEST_F(ZoomBarTest, ShortRangeIsAppliedAsTheMinimum) {
  CZoomBar* bar = MakeBar(true);
  // Shrink the end edge to under one pixel's worth: 1e-10 of the axis.
  ruler.Set(25.0, 1e-8, 0);
  Deliver();
  EXPECT_NEAR(bar->GetCursorRange(), 1e-10, 1e-15);
  bar->OnMove(0.0);  // applies the cursor as it stands
  EXPECT_NEAR(ruler.GetRange(), 1e-7, 1e-12);
}

TEST_F(ZoomBarTest, RulerChangesMoveTheCursorUnlessTheBarIsDragging) {
  CZoomBar* bar = MakeBar(true);
  EXPECT_DOUBLE_EQ(bar->GetCursorStart(), 0.25);
  ruler.Set(10.0, 20.0, 0);  // another view zooms
  Deliver();
  EXPECT_NEAR(bar->GetCursorStart(), 0.10, 1e-12);
  EXPECT_NEAR(bar->GetCursorRange(), 0.20, 1e-12);

  const HWND h = bar->GetSafeHwnd();
  t::MousePress(h, CPoint(40, 15));  // inside the cursor (20..61): the bar captures
  ASSERT_EQ(::GetCapture(), h);
  ruler.Set(60.0, 30.0, 0);
  Deliver();
  EXPECT_NEAR(bar->GetCursorStart(), 0.10, 1e-12);  // the user's drag wins
  t::MouseRelease(h, CPoint(40, 15));
  t::PumpUntilIdle();
  EXPECT_NEAR(ruler.GetStart(), 10.0, 1e-9);
  EXPECT_NEAR(ruler.GetRange(), 20.0, 1e-9);
}

// ---- Paging, moving, double clicks ----

TEST_F(ZoomBarTest, ClickBesideTheCursorPagesByOneLengthWithinTheAxis) {
  struct Case {
    const char* name;
    bool inverted;
    double start;  // ruler window start; range 20
    int x;
    double expectStart;
  } cases[] = {
      {"page down", false, 50, 10, 30},
      {"page down clamps at the start", false, 10, 5, 0},
      {"page up", false, 20, 190, 40},
      {"page up clamps at the end", false, 70, 195, 80},
      {"inverted: right side pages down", true, 50, 195, 30},
      {"inverted: left side pages up", true, 70, 5, 80},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(k.start, 20.0, 0);
    CZoomBar* bar = MakeBar(true, k.inverted);
    t::Click(bar->GetSafeHwnd(), CPoint(k.x, 15));
    t::PumpUntilIdle();
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_NEAR(ruler.GetStart(), k.expectStart, 1e-9);
    EXPECT_NEAR(ruler.GetRange(), 20.0, 1e-9);
    Deliver();
    EXPECT_NEAR(bar->GetCursorStart(), k.expectStart / 100.0, 1e-12);
    bars.clear();
  }
}

TEST_F(ZoomBarTest, OnMoveShiftsTheCursorUnlessTheEndWouldReachOne) {
  struct Case {
    const char* name;
    double delta;
    double start;  // ruler start afterwards; range stays 50
  } cases[] = {
      {"forward", 0.1, 35},
      {"end exactly at one", 0.25, 25},
      {"beyond the end", 0.4, 25},
      {"backward below zero", -0.5, 0},
      {"not a number", std::numeric_limits<double>::quiet_NaN(), 25},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(25.0, 50.0, 0);
    CZoomBar* bar = MakeBar(true);
    RulerWatch watch(&ruler);
    bar->OnMove(k.delta);
    EXPECT_NEAR(ruler.GetStart(), k.start, 1e-9);
    EXPECT_NEAR(ruler.GetRange(), 50.0, 1e-9);
    if (k.start == 25) {
      EXPECT_TRUE(watch.seen.empty());
    }
    bars.clear();
  }
}

TEST_F(ZoomBarTest, DoubleClickGoesHomeInsideTheFrameAndToTheWholeAxisElsewhere) {
  CZoomBar* bar = MakeBar(true);
  bar->SetHome(40.0, 60.0);
  ruler.Set(0.0, 10.0, 0);
  Deliver();
  t::DoubleClick(bar->GetSafeHwnd(), CPoint(100, 15));  // inside the home frame (80..121)
  t::PumpUntilIdle();
  EXPECT_NEAR(ruler.GetStart(), 40.0, 1e-9);
  EXPECT_NEAR(ruler.GetRange(), 20.0, 1e-9);
  EXPECT_NEAR(bar->GetCursorStart(), 0.4, 1e-12);
  EXPECT_NEAR(bar->GetCursorRange(), 0.2, 1e-12);

  t::DoubleClick(bar->GetSafeHwnd(), CPoint(190, 15));
  t::PumpUntilIdle();
  EXPECT_NEAR(ruler.GetStart(), 0.0, 1e-9);
  EXPECT_NEAR(ruler.GetRange(), 100.0, 1e-9);
  EXPECT_DOUBLE_EQ(bar->GetCursorRange(), 1.0);
}

TEST_F(ZoomBarTest, DoubleClickWithoutHomeShowsTheWholeAxis) {
  // The home frame covers the whole strip until a home is set; a double click inside it must
  // not collapse the ruler to the empty home of ruler units 0..0.
  CZoomBar* bar = MakeBar(true);
  bar->SetHome(60.0, 50.0);  // end before start: ignored
  t::DoubleClick(bar->GetSafeHwnd(), CPoint(100, 15));
  t::PumpUntilIdle();
  EXPECT_NEAR(ruler.GetStart(), 0.0, 1e-9);
  EXPECT_NEAR(ruler.GetRange(), 100.0, 1e-9);
}

TEST_F(ZoomBarTest, ResizePointerOverTheCursorEnds) {
  struct Case {
    const char* name;
    bool horizontal;
    int at;
    bool resize;
  } cases[] = {
      {"start side", true, 52, true},
      {"end side", true, 147, true},
      {"inside", true, 100, false},
      {"outside", true, 20, false},
      {"vertical start side", false, 48, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    CZoomBar* bar = MakeBar(k.horizontal);
    const HWND h = bar->GetSafeHwnd();
    const HCURSOR resize = ::LoadCursorW(nullptr, k.horizontal ? IDC_SIZEWE : IDC_SIZENS);
    auto at = [&](int v) { return k.horizontal ? CPoint(v, 15) : CPoint(15, v); };
    // The pointer shape is chosen from the position of the previous move.
    t::MouseMove(h, at(k.at));
    t::MouseMove(h, at(k.at));
    EXPECT_EQ(::GetCursor() == resize, k.resize);
    bars.clear();
  }
}

// ---- The limits dialog ----

class ZoomLimitTest : public ZoomBarTest {
 protected:
  // Ctrl-clicks the bar at pt; the hook records the dialog and answers it.
  void CtrlClickAnswering(CZoomBar* bar, CPoint pt, const wchar_t* start, const wchar_t* end,
                          int key) {
    quarlen::SetModalDialogHook([&, start, end, key](CDialog* d) {
      ++shown;
      auto* dlg = dynamic_cast<CZoomLimit*>(d);
      ASSERT_NE(dlg, nullptr);
      d->GetDlgItemText(CZoomLimit::kStartEditId, seenStart);
      d->GetDlgItemText(CZoomLimit::kEndEditId, seenEnd);
      d->GetWindowRect(&placed);
      if (start != nullptr) d->SetDlgItemText(CZoomLimit::kStartEditId, start);
      if (end != nullptr) d->SetDlgItemText(CZoomLimit::kEndEditId, end);
      QWidget* edit = d->GetDlgItem(CZoomLimit::kStartEditId)->GetWidget();
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(edit, &press);
    });
    t::Click(bar->GetSafeHwnd(), pt, t::Button::Left, t::kControl);
    quarlen::SetModalDialogHook(nullptr);
    t::PumpUntilIdle();
  }
  int shown = 0;
  CString seenStart, seenEnd;
  CRect placed;
};

TEST_F(ZoomLimitTest, ShowsTheCursorEndsAtTheClickAndAppliesTheTypedNumbers) {
  CUnit metre{unit_distance, unit_dataMeter, unit_convLinear, 0.001, 0.0, &base};
  CUnit shifted{unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 10.0, &base};
  struct Case {
    const char* name;
    CUnit* unit;
    const wchar_t *start, *end;
    int key;
    double expectStart, expectRange;
  } cases[] = {
      {"typed in millimetres", &mm, L"10 mm", L"30 mm", Qt::Key_Return, 10, 20},
      {"typed in metres", &metre, L"0.015", L"0.04 m", Qt::Key_Return, 15, 25},
      // Display = base + 10: the range is the distance of the converted ends.
      {"unit with an offset", &shifted, L"20", L"40", Qt::Key_Return, 10, 20},
      {"text without a number reads 0", &mm, L"start", L"40", Qt::Key_Return, 0, 40},
      {"escape leaves the range", &mm, L"10", L"30", Qt::Key_Escape, 25, 50},
      {"not a number is ignored", &mm, L"nan", L"30", Qt::Key_Return, 25, 50},
      {"infinity is ignored", &mm, L"10", L"inf", Qt::Key_Return, 25, 50},
      {"end before start is ignored", &mm, L"50", L"40", Qt::Key_Return, 25, 50},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ruler.Set(25.0, 50.0, 0);
    CZoomBar* bar = MakeBar(true);
    bar->SetDisplayFormat(0.0, 100.0, k.unit);
    shown = 0;
    CtrlClickAnswering(bar, CPoint(20, 10), k.start, k.end, k.key);
    EXPECT_EQ(shown, 1);
    // The cursor's ends, 25 and 75 mm, as the display unit shows them.
    CString start, end;
    start.Format(L"%3.3f %s", k.unit->ConvertFromBase(25.0), k.unit->GetShortName());
    end.Format(L"%3.3f %s", k.unit->ConvertFromBase(75.0), k.unit->GetShortName());
    EXPECT_STREQ(seenStart.GetString(), start.GetString());
    EXPECT_STREQ(seenEnd.GetString(), end.GetString());
    if (k.unit == &mm) {
      EXPECT_STREQ(seenStart.GetString(), L"25.000 mm");
      EXPECT_STREQ(seenEnd.GetString(), L"75.000 mm");
    }
    CPoint expectAt(25, 10);  // 5 pixels right of the click, in screen coordinates
    bar->ClientToScreen(&expectAt);
    EXPECT_EQ(placed.TopLeft(), expectAt);
    EXPECT_EQ(placed.Width(), CZoomLimit::kWidth);
    EXPECT_EQ(placed.Height(), CZoomLimit::kHeight);
    EXPECT_NEAR(ruler.GetStart(), k.expectStart, 1e-9);
    EXPECT_NEAR(ruler.GetRange(), k.expectRange, 1e-9);
    bars.clear();
  }
}

TEST_F(ZoomLimitTest, VerticalBarPlacesTheDialogBelowTheClick) {
  CZoomBar* bar = MakeBar(false);
  CtrlClickAnswering(bar, CPoint(10, 30), nullptr, nullptr, Qt::Key_Escape);
  CPoint expectAt(10, 80);
  bar->ClientToScreen(&expectAt);
  EXPECT_EQ(placed.TopLeft(), expectAt);
}

TEST_F(ZoomLimitTest, CtrlDoubleClickShowsTheDialogOnce) {
  CZoomBar* bar = MakeBar(true);
  bar->SetHome(40.0, 60.0);
  quarlen::SetModalDialogHook([&](CDialog* d) {
    ++shown;
    d->SetDlgItemText(CZoomLimit::kStartEditId, L"12");
    d->SetDlgItemText(CZoomLimit::kEndEditId, L"18");
    d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  t::DoubleClick(bar->GetSafeHwnd(), CPoint(100, 15), t::Button::Left, t::kControl);
  quarlen::SetModalDialogHook(nullptr);
  t::PumpUntilIdle();
  EXPECT_EQ(shown, 1);
  // The typed range holds: the double click went neither home nor to the whole axis.
  EXPECT_NEAR(ruler.GetStart(), 12.0, 1e-9);
  EXPECT_NEAR(ruler.GetRange(), 6.0, 1e-9);
}

// ---- Registration, rulers and odd axes ----

TEST_F(ZoomBarTest, SecondRulerReplacesTheFirstRegistration) {
  CAxe axis2;
  axis2.Create(L"Index", std_distance, 0.0, 10.0);
  CRuler ruler2;
  ruler2.Create(L"Index", &axis2, 0.0, 0);
  CZoomBar* bar = MakeBar(true);
  bar->SetRuler(&ruler2);
  EXPECT_DOUBLE_EQ(bar->GetCursorStart(), 0.0);
  EXPECT_DOUBLE_EQ(bar->GetCursorRange(), 1.0);
  ruler.Set(0.0, 10.0, 0);  // the old ruler no longer moves the bar
  Deliver();
  EXPECT_DOUBLE_EQ(bar->GetCursorRange(), 1.0);
  ruler2.Set(5.0, 2.5, 0);
  Deliver();
  EXPECT_NEAR(bar->GetCursorStart(), 0.5, 1e-12);
  EXPECT_NEAR(bar->GetCursorRange(), 0.25, 1e-12);
  bar->SetRuler(nullptr);
}

TEST_F(ZoomBarTest, RulerDeletedAfterSetRulerNullLeavesTheBarWorking) {
  auto doomed = std::make_unique<CRuler>();
  doomed->Create(L"Scan", &axis, 0.0, 0);
  CZoomBar* bar = MakeBar(true, false, doomed.get());
  doomed->Set(10.0, 10.0, 0);  // a change is in flight when the ruler goes
  bar->SetRuler(nullptr);
  doomed.reset();
  Deliver();
  EXPECT_NEAR(bar->GetCursorStart(), 0.0, 1e-12);  // the cursor as the ruler left it
  bar->OnMove(0.1);                                // applies to no ruler
  t::Click(bar->GetSafeHwnd(), CPoint(190, 15));
  t::DoubleClick(bar->GetSafeHwnd(), CPoint(190, 15));
  Drag(bar, true, 100, 120);
  t::PumpUntilIdle();
  bars.clear();  // the destructor touches no ruler
}

TEST_F(ZoomBarTest, ZeroLengthAxisCountsAsOneUnit) {
  CAxe flat;
  flat.Create(L"Flat", std_distance, 5.0, 0.0);
  CRuler r;
  r.Create(L"Flat", &flat, 0.0, 0);
  CZoomBar* bar = MakeBar(true, false, &r);
  EXPECT_DOUBLE_EQ(bar->GetCursorStart(), 0.0);
  EXPECT_TRUE(std::isfinite(bar->GetCursorRange()));
  bar->SetHome(5.0, 5.5);
  EXPECT_DOUBLE_EQ(bar->GetHomeStart(), 0.0);
  EXPECT_DOUBLE_EQ(bar->GetHomeRange(), 0.5);
  CRect home;
  bar->GetHomeRect(&home);
  EXPECT_EQ(home.left, 0);
  EXPECT_EQ(home.right, 101);
  bar->SetRuler(nullptr);
}

TEST_F(ZoomBarTest, SameParametersCopyTheCursorToTheOtherRuler) {
  CAxe axis2;
  axis2.Create(L"Scan 2", std_distance, 0.0, 1000.0);
  CRuler ruler2;
  ruler2.Create(L"Scan 2", &axis2, 0.0, 0);
  ruler.Set(10.0, 30.0, 0);
  CZoomBar* first = MakeBar(true);
  CZoomBar* second = MakeBar(true, false, &ruler2);
  second->SetSameParameters(first);
  EXPECT_NEAR(ruler2.GetStart(), 100.0, 1e-9);
  EXPECT_NEAR(ruler2.GetRange(), 300.0, 1e-9);
  second->SetSameParameters(nullptr);  // ignored
  EXPECT_NEAR(ruler2.GetRange(), 300.0, 1e-9);
  second->SetRuler(nullptr);
}

TEST(ZoomBarDefaults, CursorCoversTheMiddleHalfBeforeAnyRuler) {
  CZoomBar bar;
  EXPECT_DOUBLE_EQ(bar.GetCursorStart(), 0.25);
  EXPECT_DOUBLE_EQ(bar.GetCursorRange(), 0.5);
  EXPECT_DOUBLE_EQ(bar.GetHomeStart(), 0.0);
  EXPECT_DOUBLE_EQ(bar.GetHomeRange(), 1.0);
  bar.SetHorizontal(1);
  EXPECT_EQ(bar.GetLabelWidth(), 96);  // no main window to measure on
  bar.SetHome(std::numeric_limits<double>::infinity(), 1.0);
  EXPECT_DOUBLE_EQ(bar.GetHomeRange(), 1.0);
}

}  // namespace
