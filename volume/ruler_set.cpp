#include "volume/ruler_set.h"

#include "axis/ruler.h"
#include "axis/string_list.h"
#include "volume/volume_set.h"

IMPLEMENT_DYNCREATE(CRulerSet, CObject)

CRulerSet::CRulerSet() = default;

CRulerSet::CRulerSet(const vset_groupId* g1, const vset_groupId* g2, const vset_groupId* g3,
                     const vset_groupId* g4, const float* offsets, const int* modulos,
                     CVolumeSet* set)
    : m_volumeSet(set) {
  if (set == nullptr) return;
  auto offset = [&](int i) { return offsets != nullptr ? static_cast<double>(offsets[i]) : 0.0; };
  auto modulo = [&](int i) { return modulos != nullptr ? modulos[i] : 0; };
  m_rulers[zel_scan] = set->vol_CreateRuler(zel_scan, offset(0), modulo(0), g1, nullptr);
  m_rulers[zel_index] = set->vol_CreateRuler(zel_index, offset(1), modulo(1), g2, nullptr);
  m_rulers[zel_ultrasound] = set->vol_CreateRuler(zel_ultrasound, 0.0, 0, g3, nullptr);
  m_rulers[zel_amplitude] = set->vol_CreateRuler(zel_amplitude, 0.0, 0, g4, nullptr);
  m_rulers[zel_user] = set->vol_CreateRuler(zel_user, 0.0, 0, g2, nullptr);
  m_rulers[zel_user2] = set->vol_CreateRuler(zel_user2, 0.0, 0, g2, nullptr);
}

CRulerSet::~CRulerSet() {
  if (m_volumeSet == nullptr) return;
  for (CRulerEx*& ruler : m_rulers) {
    if (ruler != nullptr) m_volumeSet->vol_DeleteRuler(ruler);
    ruler = nullptr;
  }
}

CRulerEx* CRulerSet::GetRuler(zel_enumAxis axis) const {
  return zel_IsValidAxis(axis) ? m_rulers[axis] : nullptr;
}

void CRulerSet::GetRulerList(CStrList* list, zel_enumAxis axis) const {
  if (list == nullptr) return;
  for (int a = 0; a < zel_axisCount; ++a) {
    if (zel_IsValidAxis(axis) && a != axis) continue;
    CRulerEx* ruler = m_rulers[a];
    if (ruler == nullptr) continue;
    const wchar_t* name = ruler->GetName();
    list->Add(name != nullptr ? name : L"", ruler);
  }
}
