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

// A value box as a cursor draws it on every repaint: a font made from its description, then
// one line of text. Argument 0: the text is inside the clip; 1: the clip is a strip beside it
// (a thin line strip of the same view being repainted).
void BM_DrawText_FreshFontValueBox(benchmark::State& state) {
  Target t;
  const bool clippedAway = state.range(0) == 1;
  LOGFONTW lf{};
  lf.lfHeight = 14;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = FF_SWISS;
  const CRect strip = clippedAway ? CRect(900, 20, 902, kH) : CRect(0, 0, kW, kH);
  t.dc.IntersectClipRect(&strip);
  t.dc.SetBkMode(OPAQUE);
  for (auto _ : state) {
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* old = t.dc.SelectObject(&font);
    CRect box(903, 0, kW, kH);
    benchmark::DoNotOptimize(t.dc.DrawText(L"123.5 mm", -1, &box, DT_SINGLELINE));
    t.dc.SelectObject(old);
  }
}
BENCHMARK(BM_DrawText_FreshFontValueBox)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The zoom tool's rubber band: a diagonal-cross hatched rectangle of 1000 × 650 pixels without a
// pen. Argument 0: transparent gaps (the band), 1: opaque gaps.
void BM_Rectangle_DiagCrossHatch_1000x650(benchmark::State& state) {
  Target t;
  CBrush brush(HS_DIAGCROSS, RGB(200, 0, 0));
  t.dc.SelectStockObject(NULL_PEN);
  t.dc.SelectObject(&brush);
  t.dc.SetBkMode(state.range(0) == 0 ? TRANSPARENT : OPAQUE);
  for (auto _ : state) t.dc.Rectangle(300, 200, 1301, 851);
}
BENCHMARK(BM_Rectangle_DiagCrossHatch_1000x650)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
