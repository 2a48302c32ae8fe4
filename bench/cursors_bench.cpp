// Cursors: one drag step of a graphic cursor in a full-HD view, from the injected mouse move to
// the updated surface and its flush to the widget; and the full repaint of the same view.
#include <QCoreApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "cursors/graphic_cursor.h"
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
    parent.Create(nullptr, L"bench", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, kWidth, kHeight),
                  nullptr, 0);
    container.Create(&parent, 1, &xr, &yr, 1, 1);
    container.MoveWindow(0, 0, kWidth, kHeight);
    container.ShowWindow(SW_SHOW);
    container.EnableDoubleBuffering(1);
    CDC* dc = container.GetDC();
    background.Prepare(dc, kWidth, kHeight);
    container.ReleaseDC(dc);
    container.AddBackground(&background);
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

}  // namespace
