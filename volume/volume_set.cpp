#include "volume/volume_set.h"

#include <algorithm>
#include <cmath>

#include "axis/ruler.h"
#include "volume/unit_set.h"
#include "volume/cursor_ex.h"
#include "volume/cursor_set.h"
#include "volume/ruler_set.h"
#include "notify/consumer_list.h"
#include "platform/cstring.h"

namespace quarlen::detail {
namespace {

constexpr double kAxisStart = -1e30;
constexpr double kAxisRange = 2e30;

// Takes the first element equal to item out of list; false when it is not there.
template <class T>
bool Erase(std::vector<T*>& list, const T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace
}  // namespace quarlen::detail

// ---------------------------------------------------------------------------------------------
// Names

void GetAxisName(zel_enumAxis axis, CString* name) {
  if (name == nullptr) return;
  switch (axis) {
    case zel_scan:
      *name = L"Scan";
      break;
    case zel_index:
      *name = L"Index";
      break;
    case zel_ultrasound:
      *name = L"Ultrasound";
      break;
    case zel_amplitude:
      *name = L"Amplitude";
      break;
    case zel_user:
      *name = L"Usr";
      break;
    case zel_user2:
      *name = L"Usr2";
      break;
    default:
      *name = L"???";
      break;
  }
}

void GetCursorName(quarlen_enumVolCursorType type, CString* name) {
  if (name == nullptr) return;
  switch (type) {
    case quarlen_cursorReference:
      *name = L"Reference";
      break;
    case quarlen_cursorMeasure:
      *name = L"Measure";
      break;
    case quarlen_cursorSelection1:
      *name = L"Sel 1";
      break;
    case quarlen_cursorSelection2:
      *name = L"Sel 2";
      break;
    default:
      *name = L"???";
      break;
  }
}

void GetCursorString(zel_enumAxis axis, quarlen_enumVolCursorType type, CString* name) {
  if (name == nullptr) return;
  CString axisName, cursorName;
  GetAxisName(axis, &axisName);
  GetCursorName(type, &cursorName);
  *name = axisName + L" " + cursorName;
}

// ---------------------------------------------------------------------------------------------
// Construction and destruction

CVolumeSet::CVolumeSet(unit_enumUnits scanUnits, const wchar_t* scanName, unit_enumUnits indexUnits,
                       const wchar_t* indexName) {
  using quarlen::detail::kAxisRange;
  using quarlen::detail::kAxisStart;
  struct AxisDef {
    const wchar_t* name;
    std_enumUnits units;
  };
  const AxisDef defs[zel_axisCount] = {
      {scanName, static_cast<std_enumUnits>(scanUnits)},
      {indexName, static_cast<std_enumUnits>(indexUnits)},
      {L"USOUND", std_none},
      {L"AMPLITUDE", std_decibel},
      {L"User", std_none},
      {L"User2", std_none},
  };
  for (int a = 0; a < zel_axisCount; ++a) {
    m_axes[a] = std::make_unique<CAxe>();
    m_axes[a]->Create(defs[a].name, defs[a].units, kAxisStart, kAxisRange);
  }
  m_distributionAxis.Create(L"Dist Axis", std_none, kAxisStart, kAxisRange);
  m_subChannelAxis.Create(L"subChan", std_none, kAxisStart, kAxisRange);

  const vset_groupId privateId(vset_groupId::kPrivate);
  m_publicUnitSet = vol_CreateUnitSet(&privateId, nullptr);
  const unit_enumUnits quantities[zel_axisCount] = {scanUnits, indexUnits, unit_trueDepth,
                                                    unit_none, unit_none,  unit_none};
  for (int a = 0; a < zel_axisCount; ++a) {
    m_publicUnitSet->AddSubUnit(static_cast<zel_enumAxis>(a), quantities[a], 1.0, 0.0, 0.0);
  }
  m_limitsConsumers = std::make_unique<CConsumerList>(this, 0);
}

CVolumeSet::~CVolumeSet() {
  DeleteRulerListContents();
  DeleteCursorListContents();
  DeleteUnitListContents();
  m_limitsConsumers.reset();
}

void CVolumeSet::DeleteRulerListContents() {
  for (auto& list : m_rulers) {
    std::vector<CRulerEx*> rulers;
    rulers.swap(list);
    for (CRulerEx* ruler : rulers) delete ruler;
  }
}

void CVolumeSet::DeleteCursorListContents() {
  for (auto& lists : m_cursors) {
    for (auto& list : lists) {
      std::vector<CCursorEx*> cursors;
      cursors.swap(list);
      for (CCursorEx* cursor : cursors) delete cursor;  // unlinks its partner
    }
  }
}

void CVolumeSet::DeleteUnitListContents() {
  std::vector<CUnitSet*> sets;
  sets.swap(m_unitSets);
  // The public set last: the units of the others convert from its units.
  for (CUnitSet* set : sets) {
    if (set != m_publicUnitSet) delete set;
  }
  delete m_publicUnitSet;
  m_publicUnitSet = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Axes and limits

CAxe* CVolumeSet::vol_GetAxis(zel_enumAxis axis) {
  return zel_IsValidAxis(axis) ? m_axes[axis].get() : nullptr;
}

zel_enumAxis CVolumeSet::vol_GetAxisEnum(const CAxe* axe) const {
  for (int a = 0; a < zel_axisCount; ++a) {
    if (axe != nullptr && m_axes[a].get() == axe) return static_cast<zel_enumAxis>(a);
  }
  return zel_noAxis;
}

CUnit* CVolumeSet::vol_GetBaseUnit(zel_enumAxis axis) const {
  if (m_publicUnitSet == nullptr) return nullptr;
  return m_publicUnitSet->GetUnit(axis, 0);
}

void CVolumeSet::vol_GetLimits(zel_enumAxis axis, double* lower, double* upper) const {
  if (lower != nullptr) *lower = 0.0;
  if (upper != nullptr) *upper = 0.0;
  if (!zel_IsValidAxis(axis)) return;
  if (lower != nullptr) *lower = m_limits[axis].lower;
  if (upper != nullptr) *upper = m_limits[axis].upper;
}

void CVolumeSet::vol_SetLimits(zel_enumAxis axis, double lower, double upper) {
  if (zel_IsValidAxis(axis) && std::isfinite(lower) && std::isfinite(upper) &&
      std::isfinite(upper - lower)) {
    m_limits[axis] = {lower, upper};
    m_axes[axis]->SetStart(lower);
    m_axes[axis]->SetRange(upper - lower);
    RulersAdjust(axis);
    CursorsAdjust(axis);
  }
  m_limitsConsumers->SendMessageW();
}

void CVolumeSet::RulersAdjust(zel_enumAxis axis) {
  const Limits limits = m_limits[axis];
  // A ruler's setters send events but never call back into the volume set, so the list does
  // not change under the walk.
  for (CRulerEx* ruler : m_rulers[axis]) {
    if (limits.lower > ruler->GetStart() || ruler->GetEnd() > limits.upper) {
      ruler->SetStart(limits.lower);
      ruler->SetEnd(limits.upper);
    }
  }
}

void CVolumeSet::CursorsAdjust(zel_enumAxis axis) {
  const Limits limits = m_limits[axis];
  for (auto& list : m_cursors[axis]) {
    for (CCursorEx* cursor : list) {
      const double v = cursor->GetValue();
      // The plain position setter: the partner stays where it is.
      if (v < limits.lower) {
        cursor->CPosition::SetValue(limits.lower, 1);
        if (cursor->GetLog()) cursor->LogPosition();
      }
      if (v > limits.upper) {
        cursor->CPosition::SetValue(limits.upper, 1);
        if (cursor->GetLog()) cursor->LogPosition();
      }
    }
  }
}

void CVolumeSet::vol_SetRulerRange(zel_enumAxis axis, double start, double end) {
  if (!zel_IsValidAxis(axis)) return;
  const Limits limits = m_limits[axis];
  for (CRulerEx* ruler : m_rulers[axis]) {
    ruler->SetStart(std::max(start, limits.lower));
    ruler->SetEnd(std::min(end, limits.upper));
  }
}

// ---------------------------------------------------------------------------------------------
// Rulers

CRulerEx* CVolumeSet::GetRuler(zel_enumAxis axis, const vset_groupId* id) const {
  if (!zel_IsValidAxis(axis) || id == nullptr) return nullptr;
  for (CRulerEx* ruler : m_rulers[axis]) {
    if (ruler->m_groupId.Matches(*id)) return ruler;
  }
  return nullptr;
}

CRulerEx* CVolumeSet::vol_CreateRuler(zel_enumAxis axis, double displayOffset, int circularModulo,
                                      const vset_groupId* id, int* created) {
  if (created != nullptr) *created = 0;
  if (!zel_IsValidAxis(axis)) return nullptr;
  if (CRulerEx* shared = GetRuler(axis, id)) {
    ++shared->m_refCount;
    return shared;
  }
  if (created != nullptr) *created = 1;

  CString name;
  GetAxisName(axis, &name);
  double lower = 0.0, upper = 0.0;
  vol_GetLimits(axis, &lower, &upper);
  double end = upper;
  if (lower >= upper) {
    // Empty limits: open a small window and widen the limits by a tenth around it. The
    // widening is measured from the magnitude, so it also grows upwards for negative limits.
    end = lower + 0.001;
    m_limits[axis].upper = end + 0.1 * std::fabs(end);
    m_axes[axis]->SetStart(lower);
    m_axes[axis]->SetRange(m_limits[axis].upper - lower);
  }
  auto* ruler = new CRulerEx;
  ruler->Create(name, m_axes[axis].get(), displayOffset, circularModulo);
  ruler->SetStart(lower);
  ruler->SetEnd(end);
  const vset_groupId privateId(vset_groupId::kPrivate);
  ruler->SetInfo(id != nullptr ? id : &privateId, axis, this);
  m_rulers[axis].push_back(ruler);
  return ruler;
}

bool CVolumeSet::ReleaseRuler(CRulerEx* ruler) {
  if (ruler == nullptr) return false;
  // Found by address before anything is read from it: a ruler already destroyed, or one of
  // another volume set, is simply not there.
  for (auto& list : m_rulers) {
    if (!quarlen::detail::Contains(list, ruler)) continue;
    if (--ruler->m_refCount > 0) return false;
    quarlen::detail::Erase(list, ruler);
    return true;
  }
  return false;
}

void CVolumeSet::vol_RemoveRuler(CRulerEx* ruler) { ReleaseRuler(ruler); }

void CVolumeSet::vol_DeleteRuler(CRulerEx* ruler) {
  if (ReleaseRuler(ruler)) delete ruler;
}

CRulerSet* CVolumeSet::vol_CreateRulerSet(const vset_groupId* g1, const vset_groupId* g2,
                                          const vset_groupId* g3, const vset_groupId* g4,
                                          const float* offsets, const int* modulos) {
  return new CRulerSet(g1, g2, g3, g4, offsets, modulos, this);
}

void CVolumeSet::vol_DeleteRulerSet(CRulerSet* set) { delete set; }

// ---------------------------------------------------------------------------------------------
// Cursors

CCursorEx* CVolumeSet::GetCursor(zel_enumAxis axis, quarlen_enumVolCursorType type,
                                 const vset_groupId* id) const {
  if (!zel_IsValidAxis(axis) || !quarlen_IsValidCursorType(type) || id == nullptr) {
    return nullptr;
  }
  for (CCursorEx* cursor : m_cursors[axis][type]) {
    if (cursor->m_groupId.Matches(*id)) return cursor;
  }
  return nullptr;
}

CCursorEx* CVolumeSet::vol_CreateCursor(zel_enumAxis axis, quarlen_enumVolCursorType type,
                                        const vset_groupId* id, CCursorEx* link, int* created) {
  if (created != nullptr) *created = 0;
  if (!zel_IsValidAxis(axis) || !quarlen_IsValidCursorType(type)) return nullptr;
  if (CCursorEx* shared = GetCursor(axis, type, id)) {
    ++shared->m_refCount;
    return shared;
  }
  if (created != nullptr) *created = 1;

  CString name;
  GetCursorString(axis, type, &name);
  const Limits limits = m_limits[axis];
  auto* cursor = new CCursorEx;
  const double value = limits.lower + (limits.upper - limits.lower) * (type + 1) * 0.125;
  cursor->CPosLink::Create(name, m_axes[axis].get(), value, link, 1);
  const vset_groupId privateId(vset_groupId::kPrivate);
  cursor->SetInfo(id != nullptr ? id : &privateId, axis, type, this);
  m_cursors[axis][type].push_back(cursor);
  return cursor;
}

void CVolumeSet::vol_DeleteCursor(CCursorEx* cursor) {
  if (cursor == nullptr) return;
  for (auto& lists : m_cursors) {
    for (auto& list : lists) {
      if (!quarlen::detail::Contains(list, cursor)) continue;
      if (--cursor->m_refCount > 0) return;
      quarlen::detail::Erase(list, cursor);
      delete cursor;
      return;
    }
  }
}

CCursorSet* CVolumeSet::vol_CreateCursorSet(const vset_groupId* a0, const vset_groupId* a1,
                                            const vset_groupId* a2, const vset_groupId* a3,
                                            const vset_groupId* b0, const vset_groupId* b1,
                                            const vset_groupId* b2, const vset_groupId* b3) {
  return new CCursorSet(a0, a1, a2, a3, b0, b1, b2, b3, this);
}

void CVolumeSet::vol_DeleteCursorSet(CCursorSet* set) { delete set; }

// ---------------------------------------------------------------------------------------------
// Unit sets

CUnitSet* CVolumeSet::GetUnitSet(const vset_groupId* id) const {
  if (id == nullptr) return nullptr;
  for (CUnitSet* set : m_unitSets) {
    if (set->m_groupId.Matches(*id)) return set;
  }
  return nullptr;
}

CUnitSet* CVolumeSet::vol_CreateUnitSet(const vset_groupId* id, int* created) {
  if (created != nullptr) *created = 0;
  if (CUnitSet* shared = GetUnitSet(id)) {
    ++shared->m_refCount;
    return shared;
  }
  if (created != nullptr) *created = 1;
  const vset_groupId privateId(vset_groupId::kPrivate);
  auto* set = new CUnitSet(id != nullptr ? id : &privateId, this, m_publicUnitSet);
  m_unitSets.push_back(set);
  return set;
}

void CVolumeSet::vol_DeleteUnitSet(CUnitSet* set) {
  if (set == nullptr || set == m_publicUnitSet) return;
  if (!quarlen::detail::Contains(m_unitSets, set)) return;
  if (--set->m_refCount > 0) return;
  quarlen::detail::Erase(m_unitSets, set);
  delete set;
}
