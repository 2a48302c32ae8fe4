// Device-context primitives on full-HD surfaces: copying a memory bitmap to a window surface,
// filling a thin strip, drawing a long dashed line.
#include <benchmark/benchmark.h>

#include "platform/dc.h"
#include "platform/detail/surface.h"

namespace {

constexpr int kW = 1920, kH = 1080;

// A window-like surface with an attached DC whose surface reports its drawn rectangles.
struct Target {
  std::shared_ptr<quarlen::detail::Surface> surface = quarlen::detail::MakeSurface(kW, kH);
  CDC dc;
  int reports = 0;
  Target() {
    surface->onDrawn = [this](const QRect&) { ++reports; };
    dc.AttachSurface(surface, QRegion(0, 0, kW, kH));
  }
};

void BM_BitBlt_1920x1080_MemoryToSurface(benchmark::State& state) {
  Target t;
  CDC mem;
  mem.CreateCompatibleDC(&t.dc);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&t.dc, kW, kH);
  CBitmap* old = mem.SelectObject(&bmp);
  mem.FillSolidRect(0, 0, kW, kH, RGB(10, 20, 30));
  for (auto _ : state) t.dc.BitBlt(0, 0, kW, kH, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  state.SetBytesProcessed(state.iterations() * int64_t(kW) * kH * 4);
}
BENCHMARK(BM_BitBlt_1920x1080_MemoryToSurface)->Unit(benchmark::kMicrosecond);

void BM_FillRect_2x1080Strip(benchmark::State& state) {
  Target t;
  CBrush brush(RGB(200, 0, 0));
  const RECT rc{900, 0, 902, kH};
  for (auto _ : state) t.dc.FillRect(&rc, &brush);
}
BENCHMARK(BM_FillRect_2x1080Strip)->Unit(benchmark::kMicrosecond);

void BM_LineTo_1080DashedLine(benchmark::State& state) {
  Target t;
  CPen pen(PS_DASH, 1, RGB(0, 0, 200));
  t.dc.SelectObject(&pen);
  t.dc.SetBkColor(RGB(255, 255, 255));
  for (auto _ : state) {
    t.dc.MoveTo(960, 0);
    t.dc.LineTo(960, kH);
  }
  t.dc.SelectStockObject(BLACK_PEN);
}
BENCHMARK(BM_LineTo_1080DashedLine)->Unit(benchmark::kMicrosecond);

}  // namespace
