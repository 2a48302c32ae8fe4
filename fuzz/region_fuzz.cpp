// Regions against a pixel oracle: after a sequence of rectangle additions the region holds at
// most four rectangles, covers every pixel of every added rectangle, and covers no pixel outside
// the bounding box of the added rectangles. Coordinates come from a small grid or from the whole
// int range; the check runs cell by cell over the grid of every coordinate in play (each cell
// lies wholly inside or outside every rectangle, so this is the pixel check, compressed).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/complex_region.h"

namespace {

bool Covers(const CRect& r, LONG x, LONG y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

bool NonEmpty(const CRect& r) { return r.left < r.right && r.top < r.bottom; }

LONG Coordinate(FuzzedDataProvider& in, bool wide) {
  if (!wide) return in.ConsumeIntegralInRange<LONG>(-2, 40);
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeBool() ? INT_MAX : INT_MIN;
    case 1:
      return in.ConsumeIntegralInRange<LONG>(-40, 40);
    default:
      return in.ConsumeIntegral<LONG>();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool wide = in.ConsumeBool();
  CComplexRegion region;
  std::vector<CRect> added;  // the non-empty ones
  CRect bounds(0, 0, 0, 0);
  while (in.remaining_bytes() > 0 && added.size() < 64) {
    CRect r;
    r.left = Coordinate(in, wide);
    r.top = Coordinate(in, wide);
    r.right = Coordinate(in, wide);
    r.bottom = Coordinate(in, wide);
    if (in.ConsumeBool()) {  // mostly well-ordered rectangles, sometimes as given
      if (r.left > r.right) std::swap(r.left, r.right);
      if (r.top > r.bottom) std::swap(r.top, r.bottom);
    }
    region += r;
    if (NonEmpty(r)) {
      if (added.empty()) {
        bounds = r;
      } else {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
      }
      added.push_back(r);
    }
    if (region.RectQuantity() < 0 || region.RectQuantity() > CComplexRegion::kCapacity) {
      std::abort();
    }
  }

  std::vector<CRect> stored;
  for (CRect* r = region.GetFirstRectangle(); r != nullptr; r = region.GetNextRectangle()) {
    stored.push_back(*r);
  }
  if (static_cast<int>(stored.size()) != region.RectQuantity()) std::abort();

  // Cells of the grid spanned by every coordinate in play; each cell is covered by a rectangle
  // either wholly or not at all, so its lower corner stands for it.
  std::vector<LONG> xs, ys;
  for (const auto* list : {&added, &stored}) {
    for (const CRect& r : *list) {
      xs.insert(xs.end(), {r.left, r.right});
      ys.insert(ys.end(), {r.top, r.bottom});
    }
  }
  xs.insert(xs.end(), {bounds.left, bounds.right});
  ys.insert(ys.end(), {bounds.top, bounds.bottom});
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
      const LONG x = xs[i], y = ys[j];
      const bool inAdded =
          std::any_of(added.begin(), added.end(), [&](const CRect& r) { return Covers(r, x, y); });
      const bool inStored = std::any_of(stored.begin(), stored.end(),
                                        [&](const CRect& r) { return Covers(r, x, y); });
      if (inAdded && !inStored) std::abort();
      if (inStored && !Covers(bounds, x, y)) std::abort();
    }
  }
  // A query never reports an overlap the region cannot have.
  for (const CRect& r : added) {
    if (!region.Intersect(&r)) std::abort();
  }
  return 0;
}
