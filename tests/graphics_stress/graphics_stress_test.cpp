// Tick thread and GUI thread on the same objects: the tick thread moves and recolours objects
// from their event callbacks (object lock, then event 1618), while the GUI thread repaints,
// resizes, rescales, drags and hovers (container lock, then object locks). Neither may wait for
// the other forever, no update may be lost, and ThreadSanitizer must stay quiet.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "axis/ruler.h"
#include "graphics/container.h"
#include "notify/event_service.h"
#include "notify/event_service_internal.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

constexpr unsigned kTickEvent = 1621;  // free for the application

// A box that the tick thread moves. Everything it draws or hit-tests is read under its lock.
class Ticker : public CGODynamic {
 public:
  explicit Ticker(int i) : m_box(10 + 20 * i, 10, 25 + 20 * i, 25), m_index(i) {
    SetColor(RGB(40 * i, 200, 255 - 30 * i));
    EnableFocusing(1);
    m_client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                    &CGObject::EventCallback, event_kindCallback4);
    event_RegisterEvent(kTickEvent, m_client, event_libraryControl, 0, event_any, 0, event_any);
  }
  ~Ticker() override { Unregister(); }
  void Unregister() {
    if (m_client != 0) event_UnregisterClient(m_client);
    m_client = 0;
  }
  std::atomic<int> ticks{0};

  void OnEvent(unsigned id, WPARAM a, LPARAM b) override {
    if (id != kTickEvent) {
      CGODynamic::OnEvent(id, a, b);
      return;
    }
    Lock();  // invalidations inside send their 1618 when this lock is released
    const CRect old = m_box;
    const int step = (a % 7) - 3;
    m_box.OffsetRect(step, (m_index % 2) ? 1 : -1);
    if (m_box.top < 0 || m_box.bottom > 140) m_box.OffsetRect(0, m_box.top < 0 ? 60 : -60);
    if (m_box.left < 0 || m_box.right > 190) m_box.OffsetRect(m_box.left < 0 ? 80 : -80, 0);
    Invalidate(&old);
    Invalidate(&m_box);
    SetColor(GetColor() ^ 0x000F0F);
    SetFocus(!IsFocused());
    Unlock();
    ++ticks;
  }
  void OnDraw(CDC* dc, CRect* clip) override {
    Lock();
    CRect x;
    if (::IntersectRect(&x, &m_box, clip)) dc->FillSolidRect(&x, GetColor());
    Unlock();
  }
  int IsOnTop(CPoint* pt) const override {
    Lock();
    const int on = m_box.PtInRect(*pt);
    Unlock();
    return on;
  }
  int OnBeginCapture(CPoint*, unsigned) override {
    m_captureInProgress = 1;
    return 1;
  }
  int OnUpdateCapture(CPoint* pt, unsigned) override {
    Lock();
    const CRect old = m_box;
    m_box.OffsetRect(pt->x % 3 - 1, 0);
    Invalidate(&old);
    Invalidate(&m_box);
    Unlock();
    return 1;
  }
  void OnEndCapture(CPoint*, unsigned) override { m_captureInProgress = 0; }

 private:
  CRect m_box;
  int m_index;
  unsigned m_client = 0;
};

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class GraphicsStress : public quarlen::test::EventServiceFixture {};

TEST_F(GraphicsStress, TickCallbacksAndContainerHandlersNeverDeadlockOrLoseUpdates) {
  CRuler xr, yr;
  xr.Set(0.0, 100.0, 0);
  yr.Set(0.0, 100.0, 0);
  CFrameWnd frame;
  frame.Create(nullptr, L"stress", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0);
  std::vector<std::unique_ptr<Ticker>> tickers;
  for (int i = 0; i < 6; ++i) tickers.push_back(std::make_unique<Ticker>(i));
  Ticker extra(6);
  extra.Unregister();
  {
    CGOContainer c;
    ASSERT_TRUE(c.Create(&frame, 1, &xr, &yr, 1, 1));
    // Never shown: the windows draw into their surfaces all the same, and the screen copy
    // (Qt's own paint path, not under test here) stays out of the picture.
    c.MoveWindow(0, 0, 200, 150);
    c.EnableDoubleBuffering(1);
    for (auto& t : tickers) c.AddDynamic(t.get(), 1);
    const HWND w = c.m_hWnd;

    const std::uint64_t start = quarlen::detail::event_PassCount();
    int iteration = 0;
    while (quarlen::detail::event_PassCount() < start + 40 || iteration < 200) {
      ++iteration;
      event_Send(kTickEvent, static_cast<std::uintptr_t>(iteration), 0, 0);
      switch (iteration % 10) {
        case 0:
          c.Redraw();
          break;
        case 1:
          c.MoveWindow(0, 0, 180 + iteration % 40, 140 + iteration % 10);
          break;
        case 2:
          xr.Set(static_cast<double>(iteration % 13), 100.0, 0);
          c.SignalRulerChange();
          break;
        case 3:
          ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, At(15 + iteration % 100, 17));
          ::SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, At(25 + iteration % 100, 17));
          ::SendMessageW(w, WM_LBUTTONUP, 0, At(25 + iteration % 100, 17));
          break;
        case 4:
          ::SendMessageW(w, WM_MOUSEMOVE, 0, At(iteration % 190, iteration % 140));
          ::SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
          break;
        case 5:
          c.EnableDoubleBuffering(iteration % 20 < 10);
          break;
        case 6:
          c.AddDynamic(&extra, 0);
          break;
        case 7:
          c.Remove(&extra);
          break;
        case 8:
          c.Update();
          break;
        default:
          break;
      }
      quarlen::test::PumpUntilIdle();
    }
    c.Remove(&extra);

    // Quiet: no more tick callbacks; whatever they changed is still owed to the screen.
    for (auto& t : tickers) t->Unregister();
    ASSERT_TRUE(quarlen::test::SettleEvents());
    c.Update();
    const QImage incremental = quarlen::test::WindowPixels(w);
    c.Redraw();
    const QImage full = quarlen::test::WindowPixels(w);
    EXPECT_TRUE(incremental == full) << "an update was lost";
    for (auto& t : tickers) {
      EXPECT_GT(t->ticks.load(), 0);
      EXPECT_EQ(t->IsModified(), 0);
    }
    if (incremental != full) quarlen::test::SaveImage(incremental, "incremental");
  }
  frame.DestroyWindow();
}

}  // namespace
