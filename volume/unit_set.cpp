#include "volume/unit_set.h"

#include <cmath>

#include "volume/volume_set.h"

namespace quarlen::detail {
namespace {

// Scale factors of the distance family: metre, millimetre, inch, mils.
struct DistanceUnit {
  unit_enumDataUnit data;
  double k;
};
constexpr DistanceUnit kDistanceUnits[] = {
    {unit_dataMeter, 1.0},
    {unit_dataMillimeter, 1000.0},
    {unit_dataInch, 39.37},
    {unit_dataMils, 39370.0},
};
constexpr double kRadiansPerDegree = 0.017453292519943295;

}  // namespace
}  // namespace quarlen::detail

IMPLEMENT_DYNCREATE(CUnitSet, CObject)

CUnitSet::CUnitSet() = default;

CUnitSet::CUnitSet(const vset_groupId* id, CVolumeSet* set, CUnitSet* /*unused*/)
    : m_volumeSet(set) {
  if (id != nullptr) m_groupId = *id;
}

CUnitSet::~CUnitSet() {
  // Head first, as they were added.
  for (auto& list : m_units) {
    for (auto& unit : list) unit.reset();
    list.clear();
  }
}

CUnit* CUnitSet::BaseFor(int axis, const CUnit* self) const {
  CUnit* base = m_volumeSet != nullptr
                    ? m_volumeSet->vol_GetBaseUnit(static_cast<zel_enumAxis>(axis))
                    : nullptr;
  return base == self ? nullptr : base;
}

CUnit* CUnitSet::Append(int axis, std::unique_ptr<CUnit> unit) {
  m_units[axis].push_back(std::move(unit));
  return m_units[axis].back().get();
}

CUnit* CUnitSet::AddSubUnit(zel_enumAxis axis, unit_enumUnits quantity, double a, double b,
                            double r) {
  using quarlen::detail::kDistanceUnits;
  if (!zel_IsValidAxis(axis)) return nullptr;
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(r)) return nullptr;
  const int ax = axis;
  // Each unit is created after the previous one was appended: on an empty axis of the public
  // unit set the first one is the base unit and the others convert from it.
  auto linear = [&](unit_enumDataUnit data, double k) {
    return Append(
        ax, std::make_unique<CUnit>(quantity, data, unit_convLinear, k * a, k * b, BaseFor(ax)));
  };
  switch (quantity) {
    case unit_none:
      return linear(unit_dataNone, 1.0);
    case unit_time:
    case unit_halfTime: {
      CUnit* second = linear(unit_dataSecond, 1.0);
      linear(unit_dataMicrosecond, 1000000.0);
      return second;
    }
    case unit_distance:
    case unit_fullPath:
    case unit_halfPath:
    case unit_trueDepth: {
      CUnit* metre = nullptr;
      for (const auto& d : kDistanceUnits) {
        CUnit* unit = linear(d.data, d.k);
        if (metre == nullptr) metre = unit;
      }
      return metre;
    }
    case unit_rotation: {
      CUnit* degrees = linear(unit_dataDegrees, 1.0);
      linear(unit_dataRadians, quarlen::detail::kRadiansPerDegree);
      return degrees;
    }
    case unit_percent:
      return linear(unit_dataPercent, 1.0);
    case unit_decibel:
      return Append(ax,
                    std::make_unique<CUnit>(unit_decibel, unit_dataDecibel, a, b, r, BaseFor(ax)));
    case unit_sample:
      return linear(unit_dataSample, 1.0);
    case unit_tofd: {
      // TOFD conversion with no half-separation and no path offset: from base x it gives
      // k B + |k A x|, the distance conversion for the usual non-negative paths, and back.
      CUnit* metre = nullptr;
      for (const auto& d : kDistanceUnits) {
        CUnit* unit = Append(ax, std::make_unique<CUnit>(unit_tofd, d.data, unit_convTofd, d.k * a,
                                                         0.0, BaseFor(ax)));
        unit->SetTOFDFactors(d.k * b, d.k * a, 0.0, 0.0);
        if (metre == nullptr) metre = unit;
      }
      return metre;
    }
    default:  // frequency, temperature, voltage, unknown
      return nullptr;
  }
}

CUnit* CUnitSet::AddAmplitudeSubUnit(int linear) {
  const int ax = zel_amplitude;
  CUnit* percent =
      Append(ax, std::make_unique<CUnit>(unit_percent, unit_dataPercent,
                                         linear ? unit_convLinear : unit_convLogToPercent, 1.0, 0.0,
                                         BaseFor(ax)));
  CUnit* decibel =
      linear ? Append(ax, std::make_unique<CUnit>(unit_decibel, unit_dataDecibel,
                                                  unit_convPercentToDb, 1.0, 0.0, BaseFor(ax)))
             : Append(ax, std::make_unique<CUnit>(unit_decibel, unit_dataDecibel, 1.0, 0.0, 0.0,
                                                  BaseFor(ax)));
  return linear ? percent : decibel;
}

CUnit* CUnitSet::ModifyAmplitudeSubUnit(int linear) {
  const int ax = zel_amplitude;
  CUnit* percent = nullptr;
  CUnit* decibel = nullptr;
  for (const auto& unit : m_units[ax]) {
    unit_enumUnits quantity = unit_none;
    unit->GetUnitType(&quantity, nullptr);
    if (quantity == unit_percent) percent = unit.get();
    if (quantity == unit_decibel) decibel = unit.get();
  }
  if (percent == nullptr) {
    percent = Append(ax, std::make_unique<CUnit>(unit_percent, unit_dataPercent, unit_convLinear,
                                                 1.0, 0.0, BaseFor(ax)));
  }
  if (decibel == nullptr) {
    decibel = Append(ax, std::make_unique<CUnit>(unit_decibel, unit_dataDecibel,
                                                 unit_convPercentToDb, 1.0, 0.0, BaseFor(ax)));
  }
  if (linear) {
    percent->CUpdateUnit(unit_percent, unit_dataPercent, unit_convLinear, 1.0, 0.0,
                         BaseFor(ax, percent));
    decibel->CUpdateUnit(unit_decibel, unit_dataDecibel, unit_convPercentToDb, 1.0, 0.0,
                         BaseFor(ax, decibel));
    return percent;
  }
  percent->CUpdateUnit(unit_percent, unit_dataPercent, unit_convLogToPercent, 1.0, 0.0,
                       BaseFor(ax, percent));
  decibel->CUpdateUnit(unit_decibel, unit_dataDecibel, 1.0, 0.0, 0.0, BaseFor(ax, decibel));
  return decibel;
}

int CUnitSet::GetUnitCount(zel_enumAxis axis) const {
  return zel_IsValidAxis(axis) ? static_cast<int>(m_units[axis].size()) : 0;
}

CUnit* CUnitSet::GetUnit(zel_enumAxis axis, int index) const {
  if (!zel_IsValidAxis(axis) || index < 0 || index >= static_cast<int>(m_units[axis].size())) {
    return nullptr;
  }
  return m_units[axis][index].get();
}
