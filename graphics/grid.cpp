#include "graphics/grid.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "platform/dc.h"
#include "platform/numeric.h"

namespace {

using Guard = std::lock_guard<CCriticalSection>;
using quarlen::PixelWide;

// Calls line(pixel) for the grid lines v = first - step + k * (step / resolution), k >= 0,
// v <= end, that fall on a pixel in [lo, hi), each pixel once. The walk starts at the first
// line inside the clip (the index is computed from the position of the clip's edges, so a first
// tick far before the view costs nothing) and ends after the last one. Where lines lie closer
// than a pixel apart, it strides over as many lines as keep it within one pixel, so every
// column of the clip is still reached and the work is bounded by the clip's extent. The window
// assumes a scale that keeps positions in order, as every scale but a band exchange does.
template <class Line>
void ForEachGridLine(double first, double step, long resolution, double end, const CSC& scale,
                     LONG lo, LONG hi, Line&& line) {
  if (resolution == 0 || !(lo < hi)) return;
  const double d = step / static_cast<double>(resolution);
  const double v0 = first - step;
  if (!(d > 0.0) || !std::isfinite(d) || !std::isfinite(v0)) return;

  // The positions shown at the clip's edges (either order: the scale may be inverted), and the
  // index window of the lines between them, one line wider on each side for the rounding.
  const double a = scale.PixelToPos(lo);
  const double b = scale.PixelToPos(hi);
  const double posLo = std::min(a, b);
  const double posHi = std::min(std::max(a, b), end);
  if (!(posLo <= posHi)) return;  // NaN too
  const PixelWide kFirst = std::max<PixelWide>(
      0, quarlen::SaturatingTrunc<PixelWide>(std::floor((posLo - v0) / d) - 1.0));
  const PixelWide kLast = quarlen::SaturatingTrunc<PixelWide>(std::floor((posHi - v0) / d) + 1.0);
  if (kLast < kFirst) return;

  // Lines per pixel: stepping `stride` lines moves at most one pixel.
  const double pixelsPerLine = d * std::fabs(scale.GetWndSizeOnRulerRange());
  PixelWide stride = 1;
  if (pixelsPerLine > 0.0 && pixelsPerLine < 1.0) {
    stride = std::max<PixelWide>(1, quarlen::SaturatingTrunc<PixelWide>(1.0 / pixelsPerLine));
  }

  // Bounded by the clip whatever the scale does (a mapping that is not linear may revisit
  // pixels): a few visits per column.
  PixelWide visits = 4 * (PixelWide{hi} - lo) + 64;
  bool drawn = false;
  LONG last = 0;
  for (PixelWide k = kFirst; visits-- > 0;) {
    const double v = v0 + static_cast<double>(k) * d;
    if (!(v <= end)) break;
    const LONG x = scale.PosToPixel(v);
    if (lo <= x && x < hi && !(drawn && x == last)) {
      line(x);
      drawn = true;
      last = x;
    }
    if (k == kLast) break;
    k = kLast - k > stride ? k + stride : kLast;
  }
}

}  // namespace

IMPLEMENT_DYNAMIC(CGGrid, CGObject)

CGGrid::CGGrid() = default;
CGGrid::~CGGrid() = default;

void CGGrid::Serialize(CArchive&) {}

void CGGrid::SetXTickSpacing(double first, double step) {
  Lock();
  if (first != m_xFirst || step != m_xStep) {
    m_xFirst = first;
    m_xStep = step;
    Invalidate();
  }
  Unlock();
}

void CGGrid::SetYTickSpacing(double first, double step) {
  Lock();
  if (first != m_yFirst || step != m_yStep) {
    m_yFirst = first;
    m_yStep = step;
    Invalidate();
  }
  Unlock();
}

void CGGrid::GetTickSpacing(double* xFirst, double* xStep, double* yFirst, double* yStep) const {
  Lock();
  if (xFirst != nullptr) *xFirst = m_xFirst;
  if (xStep != nullptr) *xStep = m_xStep;
  if (yFirst != nullptr) *yFirst = m_yFirst;
  if (yStep != nullptr) *yStep = m_yStep;
  Unlock();
}

void CGGrid::SetXResol(long resolution) {
  m_xResol = resolution;
  InvalidateAll();
}

void CGGrid::SetYResol(long resolution) {
  m_yResol = resolution;
  InvalidateAll();
}

void CGGrid::SetResol(long resolution) {
  SetXResol(resolution);
  SetYResol(resolution);
}

void CGGrid::OnDraw(CDC* dc, CRect* clip) {
  if (!IsDrawEnable() || dc == nullptr || clip == nullptr) return;
  Lock();
  CPen pen(m_lineType, 1, GetColor());
  CPen* old = dc->SelectObject(&pen);
  dc->SetBkMode(TRANSPARENT);
  const CRect c = *clip;
  if (m_xRuler != nullptr && GetXScale() != nullptr) {
    ForEachGridLine(m_xFirst, m_xStep, m_xResol, m_xRuler->GetEnd(), *GetXScale(), c.left, c.right,
                    [&](LONG x) {
                      dc->MoveTo(x, c.top);
                      dc->LineTo(x, c.bottom);
                    });
  }
  if (m_yRuler != nullptr && GetYScale() != nullptr) {
    ForEachGridLine(m_yFirst, m_yStep, m_yResol, m_yRuler->GetEnd(), *GetYScale(), c.top, c.bottom,
                    [&](LONG y) {
                      dc->MoveTo(c.left, y);
                      dc->LineTo(c.right, y);
                    });
  }
  if (old != nullptr) dc->SelectObject(old);
  Unlock();
}
