// Adjustable curve: one drag step of a point of a 1,000-point curve in a full-HD view, from the
// injected mouse move to the updated surface and its flush to the widget; and the full repaint
// of a 100,000-point curve.
#include <QCoreApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/bench_support.h"
#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "cursors/adjustable_curve.h"
#include "graphics/container.h"
#include "notify/event_service.h"

namespace {

using quarlen::bench::ImageBackground;

struct Scene {
  static constexpr int kWidth = 1920, kHeight = 1080;
  // First member: the event service must run before the curve announces its trigger.
  static int Start() {
    event_Init();
    return 0;
  }
  int started = Start();
  CAxe depth, amplitude;
  CRuler xr, yr;
  CWnd parent;
  CGOContainer container;
  ImageBackground background;
  CAdjustableCurve curve;
  QWidget* widget = nullptr;

  explicit Scene(int points) {
    depth.Create(L"Depth", std_distance, 0.0, 1920.0);
    amplitude.Create(L"Amplitude", std_percent, 0.0, 1080.0);
    xr.Create(L"Depth", &depth, 0.0, 0);
    yr.Create(L"Amplitude", &amplitude, 0.0, 0);
    quarlen::bench::OpenImageView(parent, container, background, &xr, &yr, kWidth, kHeight);
    std::vector<stPoint> pts;
    pts.reserve(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
      const double x = 1920.0 * (i + 0.5) / points;
      pts.emplace_back(x, 540.0 + 400.0 * std::sin(x / 150.0));
    }
    curve.SetPoints(pts);
    curve.SetSortingOptions(1, 0);
    curve.SetColor(RGB(255, 255, 0));
    container.AddDynamic(&curve, 0);
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
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButtons held) {
    quarlen::bench::SendMouse(widget, type, p.x(), p.y(), held);
  }
};

// One step: injected move -> point moved and kept in order among its neighbours, the segments
// around it invalidated, container update (double buffered), flush to the widget. The point
// travels 60 pixels to and fro, passing about 30 neighbours each way.
void BM_CurveDrag_1000Points_1920x1080(benchmark::State& state) {
  Scene scene(1000);
  if (scene.widget == nullptr) {
    state.SkipWithError("no widget");
    return;
  }
  const stPoint start = scene.curve.GetPoints()[500];
  const QPoint grab(scene.curve.GetXScale()->PosToPixel(start.x),
                    scene.curve.GetYScale()->PosToPixel(start.y));
  scene.Mouse(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  QCoreApplication::processEvents();
  int dx = 0, dir = 1;
  for (auto _ : state) {
    dx += dir;
    if (dx > 60 || dx < 0) dir = -dir;
    scene.Mouse(QEvent::MouseMove, grab + QPoint(dx, dx / 2), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  scene.Mouse(QEvent::MouseButtonRelease, grab, Qt::NoButton);
  QCoreApplication::processEvents();
  if (scene.curve.GetTrigger()->GetValue() != -1.0) {
    state.SkipWithError("the drag did not reach the curve");
  }
}
BENCHMARK(BM_CurveDrag_1000Points_1920x1080)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Full repaint of a 100,000-point curve over the same view.
void BM_CurveRedraw_100000Points_1920x1080(benchmark::State& state) {
  Scene scene(100000);
  for (auto _ : state) {
    scene.container.Redraw();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_CurveRedraw_100000Points_1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace
