// Exporting a full-HD view (a 1860 x 1050 container with a copied data image and a grid of
// one-pixel lines, a scan ruler view under it and a depth ruler view beside it: 1920 x 1080)
// to PNG, PDF and SVG files.
#include <benchmark/benchmark.h>

#include <QDir>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "bench/bench_support.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "graphics/view_export.h"
#include "notify/event_service.h"

namespace {

using quarlen::bench::ImageBackground;

// Dotted grid lines every 40 pixels, as a view's grid draws them.
class Lines : public CGObject {
 public:
  void OnDraw(CDC* dc, CRect* clip) override {
    CPen pen(PS_DOT, 1, RGB(128, 128, 128));
    CPen* old = dc->SelectObject(&pen);
    for (int x = 0; x < clip->right; x += 40) dc->MoveTo(x, clip->top), dc->LineTo(x, clip->bottom);
    for (int y = 0; y < clip->bottom; y += 40)
      dc->MoveTo(clip->left, y), dc->LineTo(clip->right, y);
    dc->SelectObject(old);
  }
};

struct View {
  CWnd parent;
  CRuler xr, yr;
  CUnit unit;
  CGOContainer container;
  CGRulerHoriz horiz;
  CGRulerVerti verti;
  ImageBackground background;
  Lines lines;

  View() {
    event_Init();
    xr.Set(0.0, 300.0, 0);
    yr.Set(0.0, 50.0, 0);
    parent.Create(nullptr, L"bench", WS_OVERLAPPED, CRect(0, 0, 1920, 1080), nullptr, 0);
    container.Create(&parent, 1, &xr, &yr, 1, 1);
    container.MoveWindow(60, 0, 1860, 1050);
    container.ShowWindow(SW_SHOW);
    CRect hr(60, 1050, 1920, 1080), vr(0, 0, 60, 1050);
    horiz.Create(&parent, &xr, 1, &hr);
    horiz.SetPosition(&hr);
    horiz.SetDisplayUnit(&unit, 1);
    verti.Create(&parent, &yr, 1, &vr);
    verti.SetPosition(&vr);
    verti.SetDisplayUnit(&unit, 1);
    container.SetGraphicalRuler(&horiz, &verti);
    CDC* dc = container.GetDC();
    background.Prepare(dc, 1860, 1050);
    container.ReleaseDC(dc);
    container.AddBackground(&background);
    container.Add(&lines, 0);
    container.SignalRulerChange();
  }
  ~View() {
    container.SetGraphicalRuler(nullptr, nullptr);
    container.DestroyWindow();
    horiz.DestroyWindow();
    verti.DestroyWindow();
    parent.DestroyWindow();
    event_Terminate();
  }
};

void Export(benchmark::State& state, const char* name) {
  View view;
  const CString path(QDir::temp().filePath(QString::fromLatin1(name)).toStdWString().c_str());
  for (auto _ : state) {
    if (!ExportView(&view.container, path, ExportOptions{}, nullptr)) state.SkipWithError("failed");
  }
}

void BM_Export_Png_1920x1080(benchmark::State& state) { Export(state, "quarlen_bench.png"); }
void BM_Export_Pdf_1920x1080(benchmark::State& state) { Export(state, "quarlen_bench.pdf"); }
void BM_Export_Svg_1920x1080(benchmark::State& state) { Export(state, "quarlen_bench.svg"); }
BENCHMARK(BM_Export_Png_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export_Pdf_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export_Svg_1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace
