#pragma once
// A unit set: for one group of views, the display units available on each of the six axes of
// a volume set, in the order they were added. Every unit it creates converts from the volume
// set's base unit of its axis (the first unit of that axis in the volume set's public unit
// set), read at the moment the unit is created; without a volume set, or before that axis has
// a unit, new units are base units themselves.
//
// The set owns its units; they live until the set is destroyed. A unit set belongs to the
// user-interface thread (no lock).
#include <memory>
#include <vector>

#include "axis/unit.h"
#include "volume/volume_types.h"
#include "platform/export.h"
#include "platform/object.h"

class CVolumeSet;

class QUARLEN_API CUnitSet : public CObject {
  DECLARE_DYNCREATE(CUnitSet)

 public:
  CUnitSet();
  // Copies the group id (null: all zero) and stores the volume set; the third argument is not
  // used.
  CUnitSet(const vset_groupId* id, CVolumeSet* set, CUnitSet* unused);
  CUnitSet(const CUnitSet&) = delete;
  CUnitSet& operator=(const CUnitSet&) = delete;
  ~CUnitSet() override;

  // Appends the family of units of a physical quantity to an axis and returns its main unit:
  //   none, sample, percent: one unit, linear (A, B), returned;
  //   time, time/2: second (A, B) and microsecond (10^6 A, 10^6 B); the second is returned;
  //   distance, full path, half path, true depth: metre, millimetre, inch and mils, linear with
  //     the factors scaled by 1, 1000, 39.37 and 39370; the metre unit is returned;
  //   rotation: degrees (A, B) and radians (pi/180 A, pi/180 B); degrees returned;
  //   decibel: one unit, linear relative to the decibel reference R, returned;
  //   TOFD: metre, millimetre, inch and mils with the TOFD conversion, initialised to scale by
  //     k A (k as for distance) with B as result offset and no half-separation, which keeps
  //     them converting distances until the application sets real TOFD factors; metre returned.
  // Frequency, temperature, voltage, other quantities, axes outside 0..5 and non-finite
  // factors add nothing and give null.
  CUnit* AddSubUnit(zel_enumAxis axis, unit_enumUnits quantity, double a, double b, double r);
  // Appends a percent and a decibel unit to the amplitude axis: for a linear amplitude scale
  // (linear != 0) linear percent and percent-to-decibel, returning the percent unit; for a
  // logarithmic one, log-scale-to-percent and linear decibel, returning the decibel unit.
  CUnit* AddAmplitudeSubUnit(int linear);
  // Switches the last percent and the last decibel unit of the amplitude axis (creating those
  // missing, percent first) to the linear or logarithmic amplitude scale, as above; each update
  // signals the unit's consumers.
  CUnit* ModifyAmplitudeSubUnit(int linear);

  // The units of an axis in the order added; 0 / null for an axis outside 0..5 or an index
  // out of range.
  int GetUnitCount(zel_enumAxis axis) const;
  CUnit* GetUnit(zel_enumAxis axis, int index) const;

  const vset_groupId& GetGroupId() const { return m_groupId; }
  int GetRefCount() const { return m_refCount; }
  CVolumeSet* GetVolumeSet() const { return m_volumeSet; }

 private:
  friend class CVolumeSet;

  // The base unit new units of that axis convert from (never the unit itself).
  CUnit* BaseFor(int axis, const CUnit* self = nullptr) const;
  CUnit* Append(int axis, std::unique_ptr<CUnit> unit);

  vset_groupId m_groupId;
  int m_refCount = 1;
  CVolumeSet* m_volumeSet = nullptr;
  std::vector<std::unique_ptr<CUnit>> m_units[zel_axisCount];
};
