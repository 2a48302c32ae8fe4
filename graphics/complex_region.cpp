#include "graphics/complex_region.h"

#include <algorithm>
#include <cstdint>

namespace quarlen::detail {
namespace {

// The rectangle rules of IntersectRect and UnionRect, inline: the merge runs for every
// invalidation, and a full region needs a dozen of these tests per addition.
bool IsEmptyRect(const CRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Area in unsigned 64 bits: both extents of a non-empty rectangle are below 2^32, so their
// product fits (in a signed 64-bit value it would not); an empty or inverted one has area 0.
std::uint64_t Area(const CRect& r) {
  if (IsEmptyRect(r)) return 0;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(r.right) - r.left) *
         static_cast<std::uint64_t>(static_cast<std::int64_t>(r.bottom) - r.top);
}

bool Overlap(const CRect& a, const CRect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

CRect Union(const CRect& a, const CRect& b) {
  if (IsEmptyRect(a)) return IsEmptyRect(b) ? CRect(0, 0, 0, 0) : b;
  if (IsEmptyRect(b)) return a;
  return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom));
}

}  // namespace
}  // namespace quarlen::detail

using quarlen::detail::Area;
using quarlen::detail::Overlap;
using quarlen::detail::Union;

CComplexRegion::CComplexRegion(const CRect& r) : m_count(1) { m_rects[0] = r; }

CComplexRegion::CComplexRegion(const CComplexRegion& o) : CObject(), m_count(o.m_count) {
  for (int i = 0; i < m_count; ++i) m_rects[i] = o.m_rects[i];
}

CComplexRegion& CComplexRegion::operator=(const CComplexRegion& o) {
  if (this == &o) return *this;
  m_count = o.m_count;
  m_cursor = o.m_cursor;
  for (int i = 0; i < m_count; ++i) m_rects[i] = o.m_rects[i];
  return *this;
}

CComplexRegion& CComplexRegion::operator+=(const CRect& r) {
  if (r.right == r.left || r.bottom == r.top) return *this;

  // One pass: every stored rectangle that overlaps the growing rectangle is absorbed into it;
  // the others keep their order.
  CRect n = r;
  CRect kept[kCapacity];
  int keptCount = 0;
  for (int i = 0; i < m_count; ++i) {
    if (Overlap(n, m_rects[i])) {
      n = Union(n, m_rects[i]);
    } else {
      kept[keptCount++] = m_rects[i];
    }
  }
  if (keptCount < kCapacity) {
    for (int i = 0; i < keptCount; ++i) m_rects[i] = kept[i];
    m_rects[keptCount] = n;
    m_count = keptCount + 1;
    return *this;
  }

  // Full and disjoint: grow the smallest rectangle by the partner (another stored rectangle
  // or the new one) whose bounding box with it has the least area; the new one wins ties.
  int s = 0;
  for (int i = 1; i < kCapacity; ++i) {
    if (Area(m_rects[i]) < Area(m_rects[s])) s = i;
  }
  std::uint64_t best = Area(Union(m_rects[s], n));
  int partner = -1;
  for (int j = 0; j < kCapacity; ++j) {
    if (j == s) continue;
    const std::uint64_t a = Area(Union(m_rects[s], m_rects[j]));
    if (a < best) {
      best = a;
      partner = j;
    }
  }
  if (partner < 0) {
    m_rects[s] = Union(m_rects[s], n);
  } else {
    m_rects[s] = Union(m_rects[s], m_rects[partner]);
    m_rects[partner] = n;
  }
  return *this;
}

CComplexRegion& CComplexRegion::operator+=(const CComplexRegion& o) {
  // Copy first: adding a region to itself must walk the rectangles as they were.
  const CComplexRegion src(o);
  for (int i = 0; i < src.m_count; ++i) *this += src.m_rects[i];
  return *this;
}

int CComplexRegion::Intersect(const CRect* r) const {
  if (r == nullptr) return 0;
  for (int i = 0; i < m_count; ++i) {
    if (Overlap(*r, m_rects[i])) return 1;
  }
  return 0;
}

CRect CComplexRegion::BoundingRectangle() const {
  if (m_count == 0) return CRect(0, 0, 0, 0);
  CRect b = m_rects[0];
  for (int i = 1; i < m_count; ++i) b = Union(b, m_rects[i]);
  return b;
}

CRect* CComplexRegion::GetFirstRectangle() {
  if (m_count == 0) return nullptr;
  m_cursor = 0;
  return &m_rects[0];
}

CRect* CComplexRegion::GetNextRectangle() {
  ++m_cursor;
  if (m_cursor >= 0 && m_cursor < m_count) return &m_rects[m_cursor];
  m_cursor = -1;
  return nullptr;
}
