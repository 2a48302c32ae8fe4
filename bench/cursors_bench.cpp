// Cursors: one drag step of a graphic cursor in a full-HD view, from the injected mouse move to
// the updated surface and its flush to the widget; the full repaint of the same view; and one
// drag step of a full-width zoom bar.
#include <QCoreApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "cursors/graphic_cursor.h"
#include "cursors/zoom_bar.h"
#include "axis/unit.h"
#include "axis/position.h"
#include "graphics/container.h"
#include "notify/event_service.h"

namespace {

using quarlen::bench::ImageBackground;

struct Scene {
  static constexpr int kWidth = 1920, kHeight = 1080;
  CAxe scan, index;
  CRuler xr, yr;
  CPosition pos;
  CWnd parent;
  CGOContainer container;
  ImageBackground background;
  CGCursor cursor;
  QWidget* widget = nullptr;

  Scene() {
    event_Init();
    scan.Create(L"Scan", std_distance, 0.0, 1920.0);
    index.Create(L"Index", std_distance, 0.0, 1080.0);
    xr.Create(L"Scan", &scan, 0.0, 0);
    yr.Create(L"Index", &index, 0.0, 0);
    pos.Create(L"cursor", &scan, 500.0, 0);
    quarlen::bench::OpenImageView(parent, container, background, &xr, &yr, kWidth, kHeight);
    cursor.Create(&pos);
    cursor.SetColor(RGB(255, 255, 0));
    container.AddDynamic(&cursor, 0);
    container.Redraw();
    widget = quarlen::bench::WidgetOf(container);
    QCoreApplication::processEvents();
  }
  ~Scene() {
    container.DestroyWindow();
    parent.DestroyWindow();
    QCoreApplication::processEvents();
    event_Terminate();
  }
  void Mouse(QEvent::Type type, int x, Qt::MouseButtons held) {
    quarlen::bench::SendMouse(widget, type, x, 540, held);
  }
};

// One step: injected move -> position written, strips invalidated, container update (double
// buffered), then the event loop flushes the changed part of the surface to the widget.
void BM_CursorDrag_1920x1080(benchmark::State& state) {
  Scene scene;
  if (scene.widget == nullptr) {
    state.SkipWithError("no widget");
    return;
  }
  const int p = scene.cursor.GetXScale()->PosToPixel(500.0);
  scene.Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton);
  QCoreApplication::processEvents();
  int x = p, dir = 1;
  for (auto _ : state) {
    x += dir;
    if (x > 1800 || x < 100) dir = -dir;
    scene.Mouse(QEvent::MouseMove, x, Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  scene.Mouse(QEvent::MouseButtonRelease, x, Qt::NoButton);
  if (!scene.cursor.IsCaptured() && scene.pos.GetValue() == 500.0) {
    state.SkipWithError("the drag did not reach the cursor");
  }
}
BENCHMARK(BM_CursorDrag_1920x1080)->Unit(benchmark::kMicrosecond);

// The same view repainted entirely, flushed likewise: the cost every step would have without
// strip invalidation.
void BM_FullRedraw_1920x1080(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.container.Redraw();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_FullRedraw_1920x1080)->Unit(benchmark::kMicrosecond);

// A 1920-pixel zoom bar over a 0..1920 mm axis with labels in millimetres. One step: injected
// move of the whole cursor by one pixel -> the bar invalidates itself -> WM_PAINT redraws the
// strip, cursor, ticks, labels and home frames -> the surface is flushed to the widget.
void BM_ZoomBarDrag_1920(benchmark::State& state) {
  event_Init();
  {
    CAxe scan;
    scan.Create(L"Scan", std_distance, 0.0, 1920.0);
    CRuler ruler;
    ruler.Create(L"Scan", &scan, 0.0, 0);
    ruler.Set(480.0, 960.0, 0);
    CUnit base;
    CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1.0, 0.0, &base);
    CWnd parent;
    parent.Create(nullptr, L"bench", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 1920, 40), nullptr, 0);
    CZoomBar bar;
    bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1920, 30), &parent, 1);
    bar.SetHorizontal(1);
    bar.SetCursorColor(RGB(0, 120, 215));
    bar.SetDisplayFormat(0.0, 1920.0, &mm);
    bar.SetRuler(&ruler);
    QWidget* widget = quarlen::bench::WidgetOf(bar);
    QCoreApplication::processEvents();
    auto mouse = [&](QEvent::Type type, int x, Qt::MouseButtons held) {
      quarlen::bench::SendMouse(widget, type, x, 15, held);
    };
    if (widget == nullptr) {
      state.SkipWithError("no widget");
    } else {
      mouse(QEvent::MouseButtonPress, 960, Qt::LeftButton);
      QCoreApplication::processEvents();
      int x = 960, dir = 1;
      for (auto _ : state) {
        x += dir;
        if (x > 1400 || x < 500) dir = -dir;
        mouse(QEvent::MouseMove, x, Qt::LeftButton);
        QCoreApplication::processEvents();
      }
      mouse(QEvent::MouseButtonRelease, x, Qt::NoButton);
      QCoreApplication::processEvents();
      if (ruler.GetStart() == 480.0) state.SkipWithError("the drag did not reach the bar");
    }
    bar.SetRuler(nullptr);
    bar.DestroyWindow();
    parent.DestroyWindow();
    QCoreApplication::processEvents();
  }
  event_Terminate();
}
BENCHMARK(BM_ZoomBarDrag_1920)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
