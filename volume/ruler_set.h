#pragma once
// The six rulers of one view, one per axis, obtained from a volume set and given back to it
// when the ruler set is destroyed. Delete ruler sets before their volume set.
#include "volume/volume_types.h"
#include "platform/export.h"
#include "platform/object.h"

class CRulerEx;
class CStrList;
class CVolumeSet;

class QUARLEN_API CRulerSet : public CObject {
  DECLARE_DYNCREATE(CRulerSet)

 public:
  // No volume set and no rulers.
  CRulerSet();
  // Asks the volume set for the rulers: scan with (offsets[0], modulos[0], g1), index with
  // (offsets[1], modulos[1], g2), ultrasound with g3, amplitude with g4, both user axes with
  // g2 (display offset 0 and modulo 0 from the ultrasound axis on). Null arrays count as 0.
  CRulerSet(const vset_groupId* g1, const vset_groupId* g2, const vset_groupId* g3,
            const vset_groupId* g4, const float* offsets, const int* modulos, CVolumeSet* set);
  CRulerSet(const CRulerSet&) = delete;
  CRulerSet& operator=(const CRulerSet&) = delete;
  ~CRulerSet() override;

  // The ruler of an axis; null for an axis outside 0..5.
  CRulerEx* GetRuler(zel_enumAxis axis) const;
  // Appends (name, ruler) for the ruler of the axis, or for every ruler in axis order when the
  // axis is outside 0..5. Nothing when list is null.
  void GetRulerList(CStrList* list, zel_enumAxis axis) const;

  CVolumeSet* GetVolumeSet() const { return m_volumeSet; }

 private:
  CVolumeSet* m_volumeSet = nullptr;
  CRulerEx* m_rulers[zel_axisCount] = {};
};
