// Graphical rulers and grid: tick layout and drawing of full-HD rulers, grid repaint.
#include <benchmark/benchmark.h>

#include <cmath>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "graphics/graphical_ruler.h"
#include "graphics/grid.h"
#include "graphics/tick_layout.h"
#include "platform/dc.h"

namespace {

// A memory bitmap with the ruler font selected.
struct Surface {
  CDC dc;
  CBitmap bitmap;
  CFont font;
  Surface(int w, int h, LONG escapement) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, 0xFFFFFF);
    LOGFONTW lf{};
    lf.lfHeight = 14;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = FF_SWISS;
    lf.lfEscapement = escapement;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(escapement ? UINT{TA_TOP} : UINT{TA_BASELINE});
  }
};

// Display value -> pixel through a unit and a scale, as a ruler view maps its ticks.
struct Mapping {
  CSC scale;
  CUnit* unit;
  bool mirrored = false;
  static LONG ToPixel(double v, void* m) {
    auto* self = static_cast<Mapping*>(m);
    const double base = self->unit->ConvertToBase(v);
    return self->scale.PosToPixel(self->mirrored ? -base : base);
  }
};

int LabelWidth(CDC& dc, double first, double range, bool vertical) {
  int chars = 0, decimals = 0;
  CGRuler::GetFormat(first, range, &chars, &decimals);
  TEXTMETRICW tm{};
  dc.GetTextMetrics(&tm);
  return vertical ? tm.tmAveCharWidth * chars + 5 : (tm.tmAveCharWidth + 2) * chars + 5;
}

void BM_RulerTicks_Linear1920(benchmark::State& state) {
  Surface s(1920, 30, 0);
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &base);
  Mapping m{CSC(), &mm};
  m.scale.SetDataLimitsConsidered(0);
  m.scale.SetAttrib(0.0, 0.25, 0, 0.0);  // 0..250 mm
  m.scale.SetAttrib(1920, 0);
  CRect rect(0, 0, 1920, 30);
  const int spacing = LabelWidth(s.dc, 0.0, 250.0, false);
  for (auto _ : state) {
    double first = 0.0, step = 0.0;
    CGRuler::GetDisplayFormat(0.0, 250.0, 1920, spacing, &m.scale, &mm, &first, &step, 0.0);
    CGRuler::HDrawTicks(&s.dc, &rect, first - step, step, 250.0, &Mapping::ToPixel, &m, 1, &mm,
                        spacing, 1, 1);
  }
}
BENCHMARK(BM_RulerTicks_Linear1920)->Unit(benchmark::kMicrosecond);

// The same ruler's tick layout alone, without painting: what a ruler-like object pays to know
// where its ticks and labels go.
void BM_TickLayout_Linear1920(benchmark::State& state) {
  Surface s(1920, 30, 0);
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &base);
  Mapping m{CSC(), &mm};
  m.scale.SetDataLimitsConsidered(0);
  m.scale.SetAttrib(0.0, 0.25, 0, 0.0);  // 0..250 mm
  m.scale.SetAttrib(1920, 0);
  const int spacing = LabelWidth(s.dc, 0.0, 250.0, false);
  double first = 0.0, step = 0.0;
  CGRuler::GetDisplayFormat(0.0, 250.0, 1920, spacing, &m.scale, &mm, &first, &step, 0.0);
  quarlen::TickRequest request;
  request.start = first - step;
  request.step = step;
  request.end = 250.0;
  request.toPixel = [&m](double v) { return Mapping::ToPixel(v, &m); };
  request.high = 1920;
  request.labelSpacing = spacing;
  request.minorTicks = true;
  request.unit = &mm;
  request.appendUnit = true;
  for (auto _ : state) benchmark::DoNotOptimize(quarlen::LayoutTicks(request));
}
BENCHMARK(BM_TickLayout_Linear1920)->Unit(benchmark::kMicrosecond);

// A folded decibel axis (-100 % .. 100 % shown in dB) on a 1080-pixel vertical ruler: layout
// and both passes, as the vertical view draws it.
void BM_RulerTicks_Decibel1080(benchmark::State& state) {
  Surface s(30, 1080, 900);
  CUnit base;
  CUnit db(unit_decibel, unit_dataDecibel, unit_convPercentToDb, 1.0, 0.0, &base);
  Mapping m{CSC(), &db};
  m.scale.SetDataLimitsConsidered(0);
  m.scale.SetAttrib(-100.0, 200.0, 0, 0.0);
  m.scale.SetAttrib(1080, 0);
  CRect rect(0, 0, 30, 1080);
  const double z = std::fabs(db.ConvertFromBase(0.0));
  const double first = std::fabs(db.ConvertFromBase(-100.0));
  const double range = std::fabs(z - std::fabs(db.ConvertFromBase(100.0))) + std::fabs(z - first);
  const int spacing = LabelWidth(s.dc, first, range, true);
  const double end = db.ConvertFromBase(100.0);
  for (auto _ : state) {
    double tick = 0.0, step = 0.0;
    CGRuler::GetDisplayFormat(first, range, 1080, spacing, &m.scale, &db, &tick, &step, 0.0);
    tick = db.ConvertFromBase(0.0);
    m.mirrored = false;
    CGRuler::VDrawTicks(&s.dc, &rect, tick, step, end, &Mapping::ToPixel, &m, 1, &db, spacing, 1,
                        1);
    m.mirrored = true;
    CGRuler::VDrawTicks(&s.dc, &rect, tick, step, end, &Mapping::ToPixel, &m, 1, &db, spacing, 0,
                        1);
  }
}
BENCHMARK(BM_RulerTicks_Decibel1080)->Unit(benchmark::kMicrosecond);

void BM_GridDraw_1920x1080_20x12(benchmark::State& state) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(1920, 1080, 1, 32, nullptr);
  dc.SelectObject(&bitmap);
  CRuler xr, yr;
  xr.Set(0.0, 1920.0, 0);
  yr.Set(0.0, 1080.0, 0);
  CGGrid grid;
  grid.SetRuler(&xr, 1, &yr, 1);
  CRect r(0, 0, 1920, 1080);
  grid.OnSize(&r);
  grid.SetColor(RGB(128, 128, 128));
  grid.SetXTickSpacing(96.0, 96.0);  // lines from 0: 20 inside the width
  grid.SetYTickSpacing(90.0, 90.0);  // 12 inside the height
  for (auto _ : state) grid.OnDraw(&dc, &r);
}
BENCHMARK(BM_GridDraw_1920x1080_20x12)->Unit(benchmark::kMicrosecond);

// Lines a hundred to a pixel, their first tick far before the view: the walk covers the lines
// inside the clip only, a few visits per column.
void BM_GridDraw_1920x1080_Dense(benchmark::State& state) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(1920, 1080, 1, 32, nullptr);
  dc.SelectObject(&bitmap);
  CRuler xr, yr;
  xr.Set(1e6, 1920.0, 0);
  yr.Set(1e6, 1080.0, 0);
  CGGrid grid;
  grid.SetRuler(&xr, 1, &yr, 1);
  CRect r(0, 0, 1920, 1080);
  grid.OnSize(&r);
  grid.SetColor(RGB(128, 128, 128));
  grid.SetXTickSpacing(0.0, 0.01);
  grid.SetYTickSpacing(0.0, 0.01);
  for (auto _ : state) grid.OnDraw(&dc, &r);
}
BENCHMARK(BM_GridDraw_1920x1080_Dense)->Unit(benchmark::kMicrosecond);

}  // namespace
