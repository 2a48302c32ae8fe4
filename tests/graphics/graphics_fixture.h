#pragma once
// Shared scaffolding of the container tests: a frame with a container child, recording test
// objects, pixel access and message pumping.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "graphics/container.h"
#include "notify/event_service.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace gfxtest {

// Handles queued window work (posted and sent messages, paints) until none is left.
inline void Pump() { quarlen::test::PumpUntilIdle(); }

// Lets the event service deliver what was sent so far, and handles what the deliveries cause.
inline void Deliver() { ASSERT_TRUE(quarlen::test::SettleEvents()); }

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSentinel = RGB(255, 0, 255);

// Every call a test object receives, as text, in order.
using Log = std::vector<std::string>;

// A dynamic object that fills its box with its colour and records the capture protocol.
class Box : public CGODynamic {
 public:
  Box(std::string name, CRect box, COLORREF color, Log* log)
      : name_(std::move(name)), box_(box), log_(log) {
    SetColor(color);
  }
  int accept = 1;       // answer of OnBeginCapture
  int keepDragging = 1; // answer of OnUpdateCapture
  int hitEverywhere = 0;

  CRect GetBox() const { return box_; }
  void MoveTo(const CRect& r) {
    const CRect old = box_;
    box_ = r;
    Invalidate(&old);
    Invalidate(&box_);
  }
  void OnDraw(CDC* dc, CRect* clip) override {
    if (!IsDrawEnable()) return;
    CRect x;
    if (::IntersectRect(&x, &box_, clip)) dc->FillSolidRect(&x, GetColor());
  }
  int IsOnTop(CPoint* pt) const override { return hitEverywhere || box_.PtInRect(*pt); }
  int OnBeginCapture(CPoint* pt, unsigned flags) override {
    Record("begin", *pt, flags);
    if (accept) m_captureInProgress = 1;
    return accept;
  }
  int OnUpdateCapture(CPoint* pt, unsigned flags) override {
    Record("update", *pt, flags);
    return keepDragging;
  }
  void OnEndCapture(CPoint* pt, unsigned flags) override {
    Record("end", *pt, flags);
    m_captureInProgress = 0;
  }
  void OnDestroyWnd(CDC*) override {
    if (log_) log_->push_back(name_ + ".destroyWnd");
  }
  void Record(const char* what, CPoint pt, unsigned flags) {
    if (log_) {
      log_->push_back(name_ + "." + what + "(" + std::to_string(pt.x) + "," +
                      std::to_string(pt.y) + "," + std::to_string(flags) + ")");
    }
  }

 private:
  std::string name_;
  CRect box_;
  Log* log_;
};

struct ParentMessage {
  UINT msg;
  WPARAM w;
  LPARAM l;
  bool operator==(const ParentMessage&) const = default;
};

// The container's parent: a frame that records what the container sends it.
class Frame : public CFrameWnd {
 public:
  std::vector<ParentMessage> received;
  LRESULT OnNotice(WPARAM w, LPARAM l) { return Keep(1026, w, l); }
  LRESULT OnAllAcknowledged(WPARAM w, LPARAM l) { return Keep(1127, w, l); }
  LRESULT OnRightPress(WPARAM w, LPARAM l) { return Keep(WM_RBUTTONDOWN, w, l); }
  std::vector<ParentMessage> Take() { return std::exchange(received, {}); }

 private:
  LRESULT Keep(UINT m, WPARAM w, LPARAM l) {
    received.push_back({m, w, l});
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

class ContainerTest : public quarlen::test::EventServiceFixture {
 protected:
  static constexpr int kW = 100, kH = 80;

  void SetUp() override {
    EventServiceFixture::SetUp();
    xr.Set(0.0, 100.0, 0);
    yr.Set(0.0, 80.0, 0);
    frame = std::make_unique<Frame>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 200, 150),
                  nullptr, 0);
    c = std::make_unique<CGOContainer>();
    ASSERT_TRUE(c->Create(frame.get(), 7, &xr, &yr, 1, 1));
    c->MoveWindow(0, 0, kW, kH);
    c->ShowWindow(SW_SHOW);
    Deliver();  // the rulers' set-up events reach the container now, not during the test
  }
  void TearDown() override {
    c.reset();
    frame.reset();
    Pump();
    EventServiceFixture::TearDown();
  }

  Box* Make(const std::string& name, CRect box, COLORREF color) {
    objects.push_back(std::make_unique<Box>(name, box, color, &log));
    return objects.back().get();
  }
  COLORREF Pixel(int x, int y) {
    CDC* dc = c->GetDC();
    const COLORREF p = dc->GetPixel(x, y);
    c->ReleaseDC(dc);
    return p;
  }
  std::vector<COLORREF> Pixels() {
    std::vector<COLORREF> out;
    CDC* dc = c->GetDC();
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) out.push_back(dc->GetPixel(x, y));
    }
    c->ReleaseDC(dc);
    return out;
  }
  void PaintSentinel() {
    CDC* dc = c->GetDC();
    dc->FillSolidRect(0, 0, kW, kH, kSentinel);
    c->ReleaseDC(dc);
  }
  LRESULT Mouse(UINT msg, UINT flags, int x, int y) {
    return c->SendMessage(msg, flags, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

  CRuler xr, yr;
  Log log;
  std::deque<std::unique_ptr<Box>> objects;
  std::unique_ptr<Frame> frame;
  std::unique_ptr<CGOContainer> c;
};

}  // namespace gfxtest
