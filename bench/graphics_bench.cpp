// Graphic object framework: the container's update cycle during a cursor drag, and the update
// region's merge rule.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "graphics/complex_region.h"
#include "graphics/container.h"
#include "notify/event_service.h"

namespace {

using quarlen::bench::ImageBackground;

// Grid lines every 50 pixels, drawn only where they cross the clip.
class Grid : public CGObject {
 public:
  void OnDraw(CDC* dc, CRect* clip) override {
    CRect r;
    GetVisibleRect(&r);
    for (int x = r.left - r.left % 50; x < clip->right; x += 50) {
      if (x >= clip->left) dc->FillSolidRect(x, clip->top, 1, clip->Height(), RGB(80, 80, 80));
    }
    for (int y = r.top - r.top % 50; y < clip->bottom; y += 50) {
      if (y >= clip->top) dc->FillSolidRect(clip->left, y, clip->Width(), 1, RGB(80, 80, 80));
    }
  }
};

// A filled box, or a vertical line the drag moves one pixel at a time.
class Box : public CGODynamic {
 public:
  explicit Box(CRect r) : m_box(r) {}
  void OnDraw(CDC* dc, CRect* clip) override {
    CRect x;
    if (::IntersectRect(&x, &m_box, clip)) dc->FillSolidRect(&x, GetColor());
  }
  void MoveBy(int dx) {
    CRect old = m_box;
    m_box.OffsetRect(dx, 0);
    Invalidate(&old);
    Invalidate(&m_box);
  }

 private:
  CRect m_box;
};

struct Scene {
  static constexpr int kWidth = 1920, kHeight = 1080;
  CWnd parent;
  CGOContainer container;
  ImageBackground background;
  Grid grid;
  Box boxes[4] = {Box({100, 100, 300, 200}), Box({600, 500, 700, 900}), Box({1200, 50, 1250, 1000}),
                  Box({1500, 700, 1900, 720})};
  Box cursor{CRect(500, 0, 502, kHeight)};

  Scene() {
    event_Init();
    quarlen::bench::OpenImageView(parent, container, background, nullptr, nullptr, kWidth, kHeight,
                                  WS_OVERLAPPED);
    container.Add(&grid, 0);
    for (Box& b : boxes) container.AddDynamic(&b, 0);
    cursor.SetColor(RGB(255, 255, 0));
    container.AddDynamic(&cursor, 0);
    container.Update();
  }
  ~Scene() {
    container.DestroyWindow();
    parent.DestroyWindow();
    event_Terminate();
  }
};

void BM_ContainerUpdate_CursorDrag_1920x1080(benchmark::State& state) {
  Scene scene;
  int dir = 1;
  int steps = 0;
  for (auto _ : state) {
    if (++steps % 1000 == 0) dir = -dir;
    scene.cursor.MoveBy(dir);
    scene.container.Update();
  }
}
BENCHMARK(BM_ContainerUpdate_CursorDrag_1920x1080)->Unit(benchmark::kMicrosecond);

// The same container repainted entirely: what every step would cost without the update regions.
void BM_ContainerRedraw_Full_1920x1080(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.container.Redraw();
}
BENCHMARK(BM_ContainerRedraw_Full_1920x1080)->Unit(benchmark::kMicrosecond);

void BM_ComplexRegion_AddToFull(benchmark::State& state) {
  CComplexRegion full;
  full += CRect(0, 0, 10, 10);
  full += CRect(100, 0, 110, 10);
  full += CRect(200, 0, 210, 10);
  full += CRect(300, 0, 310, 10);
  const CRect add(500, 500, 501, 501);
  CComplexRegion r;
  for (auto _ : state) {
    r = full;  // a plain copy of five words
    r += add;
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ComplexRegion_AddToFull);

}  // namespace
