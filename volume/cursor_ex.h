#pragma once
// The cursor a volume set hands out and shares by group id: a linkable position that also
// knows its volume set, group id, axis and cursor type, counts its holders, and carries a
// consumer list for the application's observers.
#include "axis/position.h"
#include "volume/volume_types.h"
#include "notify/consumer_list.h"
#include "platform/export.h"

class CVolumeSet;

class QUARLEN_API CCursorEx : public CPosLink {
 public:
  CCursorEx();
  ~CCursorEx() override;

  // Null arguments are skipped.
  void GetInfo(vset_groupId* id, zel_enumAxis* axis, quarlen_enumVolCursorType* type,
               CVolumeSet** set) const;
  // A null id leaves the group id as it is.
  void SetInfo(const vset_groupId* id, zel_enumAxis axis, quarlen_enumVolCursorType type,
               CVolumeSet* set);
  // Source: this cursor; message id 0.
  CConsumerList* GetConsList() { return &m_consumers; }

  int GetRefCount() const { return m_refCount; }

 private:
  friend class CVolumeSet;

  CVolumeSet* m_volumeSet = nullptr;
  int m_refCount = 1;
  vset_groupId m_groupId{vset_groupId::kPrivate};
  CConsumerList m_consumers;
  zel_enumAxis m_axis = zel_noAxis;
  quarlen_enumVolCursorType m_type = quarlen_cursorNone;
};
