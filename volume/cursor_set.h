#pragma once
// The 24 cursors of one view: for each of the six axes a reference cursor, a measure cursor
// linked to it, and a pair of selection cursors linked together, obtained from a volume set
// and given back to it when the cursor set is destroyed. Delete cursor sets before their
// volume set.
#include "volume/volume_types.h"
#include "platform/export.h"
#include "platform/object.h"

class CCursorEx;
class CStrList;
class CVolumeSet;

class QUARLEN_API CCursorSet : public CObject {
  DECLARE_DYNCREATE(CCursorSet)

 public:
  // No volume set and no cursors.
  CCursorSet();
  // For axes 0 to 3: reference and measure with the group a<axis>, selection 1 and 2 with
  // b<axis>; axes 4 and 5 use a1 and b1 (those of the index axis).
  CCursorSet(const vset_groupId* a0, const vset_groupId* a1, const vset_groupId* a2,
             const vset_groupId* a3, const vset_groupId* b0, const vset_groupId* b1,
             const vset_groupId* b2, const vset_groupId* b3, CVolumeSet* set);
  CCursorSet(const CCursorSet&) = delete;
  CCursorSet& operator=(const CCursorSet&) = delete;
  ~CCursorSet() override;

  // The cursor of an axis and type; null when either is out of range.
  CCursorEx* GetCursor(zel_enumAxis axis, quarlen_enumVolCursorType type) const;
  // Appends (name, cursor) pairs: an axis outside 0..5 stands for every axis and a type
  // outside 0..3 for every type, in axis-then-type order. Nothing when list is null.
  void GetCursorList(CStrList* list, zel_enumAxis axis, quarlen_enumVolCursorType type) const;

  CVolumeSet* GetVolumeSet() const { return m_volumeSet; }

 private:
  CVolumeSet* m_volumeSet = nullptr;
  CCursorEx* m_cursors[zel_axisCount][quarlen_cursorTypeCount] = {};
};
