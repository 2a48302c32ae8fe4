#include "volume/cursor_ex.h"

CCursorEx::CCursorEx() : m_consumers(this, 0) {}

CCursorEx::~CCursorEx() = default;

void CCursorEx::GetInfo(vset_groupId* id, zel_enumAxis* axis, quarlen_enumVolCursorType* type,
                        CVolumeSet** set) const {
  if (id != nullptr) *id = m_groupId;
  if (axis != nullptr) *axis = m_axis;
  if (type != nullptr) *type = m_type;
  if (set != nullptr) *set = m_volumeSet;
}

void CCursorEx::SetInfo(const vset_groupId* id, zel_enumAxis axis, quarlen_enumVolCursorType type,
                        CVolumeSet* set) {
  if (id != nullptr) m_groupId = *id;
  m_axis = axis;
  m_type = type;
  m_volumeSet = set;
}
