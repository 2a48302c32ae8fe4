#include "volume/cursor_set.h"

#include "axis/string_list.h"
#include "volume/cursor_ex.h"
#include "volume/volume_set.h"

IMPLEMENT_DYNCREATE(CCursorSet, CObject)

CCursorSet::CCursorSet() = default;

CCursorSet::CCursorSet(const vset_groupId* a0, const vset_groupId* a1, const vset_groupId* a2,
                       const vset_groupId* a3, const vset_groupId* b0, const vset_groupId* b1,
                       const vset_groupId* b2, const vset_groupId* b3, CVolumeSet* set)
    : m_volumeSet(set) {
  if (set == nullptr) return;
  const vset_groupId* groupA[zel_axisCount] = {a0, a1, a2, a3, a1, a1};
  const vset_groupId* groupB[zel_axisCount] = {b0, b1, b2, b3, b1, b1};
  for (int a = 0; a < zel_axisCount; ++a) {
    const auto axis = static_cast<zel_enumAxis>(a);
    CCursorEx** cursors = m_cursors[a];
    cursors[quarlen_cursorReference] =
        set->vol_CreateCursor(axis, quarlen_cursorReference, groupA[a], nullptr, nullptr);
    cursors[quarlen_cursorMeasure] = set->vol_CreateCursor(
        axis, quarlen_cursorMeasure, groupA[a], cursors[quarlen_cursorReference], nullptr);
    cursors[quarlen_cursorSelection1] =
        set->vol_CreateCursor(axis, quarlen_cursorSelection1, groupB[a], nullptr, nullptr);
    cursors[quarlen_cursorSelection2] = set->vol_CreateCursor(
        axis, quarlen_cursorSelection2, groupB[a], cursors[quarlen_cursorSelection1], nullptr);
  }
}

CCursorSet::~CCursorSet() {
  if (m_volumeSet == nullptr) return;
  for (auto& cursors : m_cursors) {
    for (CCursorEx*& cursor : cursors) {
      if (cursor != nullptr) m_volumeSet->vol_DeleteCursor(cursor);
      cursor = nullptr;
    }
  }
}

CCursorEx* CCursorSet::GetCursor(zel_enumAxis axis, quarlen_enumVolCursorType type) const {
  if (!zel_IsValidAxis(axis) || !quarlen_IsValidCursorType(type)) return nullptr;
  return m_cursors[axis][type];
}

void CCursorSet::GetCursorList(CStrList* list, zel_enumAxis axis,
                               quarlen_enumVolCursorType type) const {
  if (list == nullptr) return;
  for (int a = 0; a < zel_axisCount; ++a) {
    if (zel_IsValidAxis(axis) && a != axis) continue;
    for (int t = 0; t < quarlen_cursorTypeCount; ++t) {
      if (quarlen_IsValidCursorType(type) && t != type) continue;
      CCursorEx* cursor = m_cursors[a][t];
      if (cursor != nullptr) list->Add(cursor->GetName(), cursor);
    }
  }
}
