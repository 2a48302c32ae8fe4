#pragma once
// A white surface with a DC attached, and pixel queries over it.
#include <QImage>
#include <memory>
#include <set>
#include <utility>

#include "platform/dc.h"
#include "platform/detail/surface.h"

namespace quarlen::test {

struct Canvas {
  std::shared_ptr<detail::Surface> surface;
  CDC dc;

  explicit Canvas(int w = 64, int h = 64) {
    surface = detail::MakeSurface(w, h, 0xFFFFFFFFu);
    dc.AttachSurface(surface, QRegion(0, 0, w, h));
  }
  COLORREF At(int x, int y) const {
    std::lock_guard g(surface->lock);
    return detail::ColorOfPixel(surface->image.pixel(x, y));
  }
  // Every pixel of the given colour.
  std::set<std::pair<int, int>> Pixels(COLORREF c) const {
    std::set<std::pair<int, int>> out;
    std::lock_guard g(surface->lock);
    const QImage& img = surface->image;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (detail::ColorOfPixel(img.pixel(x, y)) == c) out.insert({x, y});
    return out;
  }
  // Every pixel that is not white.
  std::set<std::pair<int, int>> Ink() const {
    std::set<std::pair<int, int>> out;
    std::lock_guard g(surface->lock);
    const QImage& img = surface->image;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if ((img.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) out.insert({x, y});
    return out;
  }
  // Bounding box [l, r) x [t, b) of the non-white pixels; empty when there are none.
  RECT InkBox() const {
    RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (auto [x, y] : Ink()) {
      r.left = std::min<LONG>(r.left, x);
      r.top = std::min<LONG>(r.top, y);
      r.right = std::max<LONG>(r.right, x + 1);
      r.bottom = std::max<LONG>(r.bottom, y + 1);
    }
    if (r.left > r.right) r = RECT{0, 0, 0, 0};
    return r;
  }
};

inline std::set<std::pair<int, int>> RectPixels(int l, int t, int r, int b) {
  std::set<std::pair<int, int>> out;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) out.insert({x, y});
  return out;
}

}  // namespace quarlen::test
