#pragma once
// CComplexRegion: the update region of graphic objects and of the container's paint cycle.
//
// A region is a union of at most four rectangles. An added rectangle walks the stored ones
// once, in order, absorbing each that overlaps it as it has grown so far (their bounding box
// replaces them); one passed before the growth reached it is not looked at again, so stored
// rectangles can overlap. When a fifth disjoint rectangle arrives, the stored rectangle of
// least area (the first on a tie) is merged with the partner -- the new rectangle or another
// stored one -- whose bounding box with it has the least area; the new rectangle wins ties and
// otherwise takes the freed place. The union of the stored rectangles always covers everything
// that was added, and may cover more.
#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/object.h"

class QUARLEN_API CComplexRegion : public CObject {
 public:
  static constexpr int kCapacity = 4;

  CComplexRegion() = default;
  // One rectangle, stored as given (even when empty).
  explicit CComplexRegion(const CRect& r);
  // Copies the rectangles; the enumeration cursor starts afresh.
  CComplexRegion(const CComplexRegion& o);
  // Copies the rectangles and the enumeration cursor.
  CComplexRegion& operator=(const CComplexRegion& o);

  // Adds r. A rectangle of zero width or height changes nothing.
  CComplexRegion& operator+=(const CRect& r);
  // Adds o's rectangles one by one, in o's order.
  CComplexRegion& operator+=(const CComplexRegion& o);

  // 1 if r overlaps (non-empty intersection) any rectangle of the region, else 0.
  int Intersect(const CRect* r) const;
  // The union of all rectangles; (0, 0, 0, 0) for an empty region.
  CRect BoundingRectangle() const;

  bool IsEmpty() const { return m_count == 0; }
  // Forgets the rectangles (the storage is not cleared).
  void Empty() { m_count = 0; }
  int RectQuantity() const { return m_count; }

  // Enumeration: GetFirstRectangle restarts, GetNextRectangle advances; both return null at the
  // end, after which the cursor is -1 again. A first GetNextRectangle also yields the first one.
  CRect* GetFirstRectangle();
  CRect* GetNextRectangle();

 private:
  int m_count = 0;
  int m_cursor = -1;
  CRect m_rects[kCapacity];
};
