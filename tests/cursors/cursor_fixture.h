#pragma once
// Scaffolding of the cursor tests: a frame holding one or two containers over a 100 x 80 pixel
// view of the axes "Scan" (0..100, distance) and "Index" (0..80, distance), so that one pixel is
// one unit; message pumping, tick-pass waits and surface pixels.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/position.h"
#include "graphics/container.h"
#include "notify/event_service.h"
#include "platform/window.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace curtest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kSentinel = RGB(255, 0, 255);

inline void Pump() { quarlen::test::PumpUntilIdle(); }

// Events 1619 and 1623 as a synchronous client sees them.
struct EventRecorder {
  std::vector<std::pair<unsigned, std::uintptr_t>> seen;
  unsigned client = 0;
  std::vector<unsigned> ids;
  static void Callback(void* self, unsigned msg, std::uintptr_t w, std::uintptr_t) {
    static_cast<EventRecorder*>(self)->seen.emplace_back(msg, w);
  }
  void Listen(unsigned number) {
    if (client == 0) {
      client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr, &Callback,
                                    event_kindCallback4);
    }
    ids.push_back(event_RegisterEvent(number, client, event_modeSync, 0, event_any, 0, event_any));
  }
  int Count(unsigned number, std::uintptr_t w) const {
    int n = 0;
    for (const auto& [m, p] : seen) n += (m == number && p == w) ? 1 : 0;
    return n;
  }
  ~EventRecorder() {
    if (client != 0) event_UnregisterClient(client);
  }
};

class CursorTest : public quarlen::test::EventServiceFixture {
 protected:
  static constexpr int kW = 100, kH = 80;

  void SetUp() override {
    EventServiceFixture::SetUp();
    scanAxis.Create(L"Scan", std_distance, 0.0, 100.0);
    indexAxis.Create(L"Index", std_distance, 0.0, 80.0);
    xr.Create(L"Scan", &scanAxis, 0.0, 0);
    yr.Create(L"Index", &indexAxis, 0.0, 0);
    frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0);
    c = MakeContainer(0);
  }
  void TearDown() override {
    containers.clear();
    frame.reset();
    Pump();
    EventServiceFixture::TearDown();
  }

  CGOContainer* MakeContainer(int left) {
    auto cont = std::make_unique<CGOContainer>();
    EXPECT_TRUE(
        cont->Create(frame.get(), 7 + static_cast<UINT>(containers.size()), &xr, &yr, 1, 1));
    cont->SetBackgroundColor(kWhite);
    cont->MoveWindow(left, 0, kW, kH);
    cont->ShowWindow(SW_SHOW);
    containers.push_back(std::move(cont));
    Deliver();
    return containers.back().get();
  }

  // Lets the tick thread deliver what was sent so far, and handles what the deliveries cause.
  void Deliver() { ASSERT_TRUE(quarlen::test::SettleEvents()); }

  static COLORREF Pixel(CGOContainer* cont, int x, int y) {
    return quarlen::test::PixelAt(cont->GetSafeHwnd(), x, y);
  }
  static void PaintSentinel(CGOContainer* cont) {
    CDC* dc = cont->GetDC();
    dc->FillSolidRect(0, 0, kW, kH, kSentinel);
    cont->ReleaseDC(dc);
  }
  // Columns (x) of the view whose pixel at row y has colour col.
  static std::vector<int> ColumnsOf(CGOContainer* cont, int y, COLORREF col) {
    std::vector<int> out;
    for (int x = 0; x < kW; ++x) {
      if (Pixel(cont, x, y) == col) out.push_back(x);
    }
    return out;
  }
  // Count of pixels of colour col in the view.
  static int CountOf(CGOContainer* cont, COLORREF col, CRect area = CRect(0, 0, kW, kH)) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) n += Pixel(cont, x, y) == col ? 1 : 0;
    }
    return n;
  }
  HWND Hwnd(CGOContainer* cont = nullptr) const {
    return (cont != nullptr ? cont : c)->GetSafeHwnd();
  }

  CAxe scanAxis, indexAxis;
  CRuler xr, yr;
  std::unique_ptr<CFrameWnd> frame;
  std::vector<std::unique_ptr<CGOContainer>> containers;
  CGOContainer* c = nullptr;
};

}  // namespace curtest
