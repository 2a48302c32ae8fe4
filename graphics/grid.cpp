#include "graphics/grid.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "platform/dc.h"

namespace quarlen::detail {

// Calls line(pixel) for every grid line v = first - step + k * (step / resolution) up to end.
// The positions are computed from the index, so rounding never accumulates and a step too small
// to advance a large value cannot stall the walk; the walk is bounded by the pixel extent
// (lines closer than a pixel apart would paint every column anyway).
template <class Line>
void ForEachGridLine(double first, double step, long resolution, double end, const CSC& scale,
                     std::int64_t extent, Line&& line) {
  if (resolution == 0) return;
  const double d = step / static_cast<double>(resolution);
  if (!(d > 0.0) || !std::isfinite(d) || !std::isfinite(first - step)) return;
  const double v0 = first - step;
  const std::int64_t limit = 4 * (std::llabs(extent) + std::llabs(scale.GetWndSize())) + 64;
  for (std::int64_t k = 0; k < limit; ++k) {
    const double v = v0 + static_cast<double>(k) * d;
    if (!(v <= end)) break;
    line(scale.PosToPixel(v));
  }
}

}  // namespace quarlen::detail

namespace {
using Guard = std::lock_guard<CCriticalSection>;
}

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
  if (dc == nullptr || clip == nullptr) return;
  Lock();
  CPen pen(m_lineType, 1, GetColor());
  CPen* old = dc->SelectObject(&pen);
  dc->SetBkMode(TRANSPARENT);
  const CRect c = *clip;
  if (m_xRuler != nullptr && GetXScale() != nullptr) {
    quarlen::detail::ForEachGridLine(m_xFirst, m_xStep, m_xResol, m_xRuler->GetEnd(), *GetXScale(),
                                     c.Width(), [&](LONG x) {
                                       if (c.left <= x && x < c.right) {
                                         dc->MoveTo(x, c.top);
                                         dc->LineTo(x, c.bottom);
                                       }
                                     });
  }
  if (m_yRuler != nullptr && GetYScale() != nullptr) {
    quarlen::detail::ForEachGridLine(m_yFirst, m_yStep, m_yResol, m_yRuler->GetEnd(), *GetYScale(),
                                     c.Height(), [&](LONG y) {
                                       if (c.top <= y && y < c.bottom) {
                                         dc->MoveTo(c.left, y);
                                         dc->LineTo(c.right, y);
                                       }
                                     });
  }
  if (old != nullptr) dc->SelectObject(old);
  Unlock();
}
