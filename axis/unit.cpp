#include "axis/unit.h"

#include <cmath>
#include <cstdint>

#include "platform/numeric.h"

namespace {

constexpr wchar_t kCompactFormat[] = L"%-g";

struct DataUnitNames {
  const wchar_t* longName;
  const wchar_t* shortName;
};

// Names of the data units 0 to 15.
constexpr DataUnitNames kDataUnitNames[] = {
    {L"", L""},           {L"second", L"s"},      {L"microsecond", L"\u00B5s"},
    {L"meter", L"m"},     {L"millimeter", L"mm"}, {L"inch", L"in"},
    {L"mils", L"mils"},   {L"degrees", L"deg"},   {L"radians", L"rad"},
    {L"sample", L"smpl"}, {L"%", L"%"},           {L"decibel", L"dB"},
    {L"hertz", L"Hz"},    {L"megahertz", L"MHz"}, {L"volt", L"V"},
    {L"", L""},
};

// Base data unit of the quantities 0 to 14.
constexpr unit_enumDataUnit kBaseUnits[] = {
    unit_dataUndefined, unit_dataSecond,    unit_dataMeter,     unit_dataDegrees, unit_dataPercent,
    unit_dataDecibel,   unit_dataUndefined, unit_dataUndefined, unit_dataSample,  unit_dataSecond,
    unit_dataMeter,     unit_dataMeter,     unit_dataMeter,     unit_dataMeter,   unit_dataVolt,
};

// String-table id of the display name of quantity 0; the others follow in order.
constexpr UINT kFirstUnitNameId = 32;

// The decibel floor of the amplitude conversions.
constexpr double kDbFloor = -80.0;

// 0.8 dB per unit of the logarithmic amplitude scale, evaluated as a double product.
const double kLogScaleStep = -0.05 * 0.8;

double PercentToDb(double x) {
  if (quarlen::IsNearlyEqual(x, 0.0)) return kDbFloor;
  const double db = 20.0 * std::log10(std::fabs(x) * 0.01);
  return db < kDbFloor ? kDbFloor : db;
}

double DbToPercent(double y) { return 100.0 * std::pow(10.0, std::fabs(y) * -0.05); }

double LogScaleToPercent(double x) {
  return 100.0 * std::pow(10.0, (100.0 - std::fabs(x)) * kLogScaleStep);
}

double PercentToLogScale(double y) {
  if (y == 0.0) return 0.0;
  double r = 20.0 * std::log10(std::fabs(y) * 0.01);
  if (r < kDbFloor) r = kDbFloor;
  return r * 1.25 + 100.0;
}

bool IsDataUnitKnown(unit_enumDataUnit u) { return u >= 0 && u <= unit_dataUndefined; }

}  // namespace

CUnit::CUnit() = default;

CUnit::CUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, unit_enumConversionType type,
             double a, double b, CUnit* base)
    : m_precision(1),
      m_a(a),
      m_b(b),
      m_type(type),
      m_unit(unit),
      m_dataUnit(dataUnit),
      m_format(L"%.1f"),
      m_consumers(this, 0),
      m_base(base) {}

CUnit::CUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, double a, double b,
             double dbReference, CUnit* base)
    : m_precision(1),
      m_a(a),
      m_b(b),
      m_dbReference(dbReference),
      m_type(unit_convDbLinear),
      m_unit(unit),
      m_dataUnit(dataUnit),
      m_format(L"%.1f"),
      m_consumers(this, 0),
      m_base(base) {}

CUnit::CUnit(const CUnit& other)
    : CObject(),
      m_precision(other.m_precision),
      m_a(other.m_a),
      m_b(other.m_b),
      m_c(other.m_c),
      m_d(other.m_d),
      m_dbReference(other.m_dbReference),
      m_type(other.m_type),
      m_unit(other.m_unit),
      m_dataUnit(other.m_dataUnit),
      m_name(other.m_name),
      m_shortName(other.m_shortName),
      m_format(other.m_format),
      m_base(other.m_base) {}

CUnit& CUnit::operator=(const CUnit& other) {
  if (this == &other) return *this;
  m_precision = other.m_precision;
  m_a = other.m_a;
  m_b = other.m_b;
  m_c = other.m_c;
  m_d = other.m_d;
  m_dbReference = other.m_dbReference;
  m_type = other.m_type;
  m_unit = other.m_unit;
  m_dataUnit = other.m_dataUnit;
  m_name = other.m_name;
  m_shortName = other.m_shortName;
  m_format = other.m_format;
  m_base = other.m_base;
  return *this;
}

CUnit::~CUnit() = default;

void CUnit::CUpdateUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit,
                        unit_enumConversionType type, double a, double b, CUnit* base) {
  m_unit = unit;
  m_dataUnit = dataUnit;
  m_type = type;
  m_a = a;
  m_b = b;
  m_base = base;
  Signal();
}

void CUnit::CUpdateUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, double a, double b,
                        double dbReference, CUnit* base) {
  m_unit = unit;
  m_dataUnit = dataUnit;
  m_type = unit_convDbLinear;
  m_a = a;
  m_b = b;
  m_dbReference = dbReference;
  m_base = base;
  Signal();
}

void CUnit::SetDisplayPrecision(int precision) {
  if (precision == m_precision) return;
  m_precision = precision;
  m_format.Format(L"%%-12.%df", precision);
  Signal();
}

void CUnit::SetTOFDFactors(double c, double a, double b, double d) {
  m_c = c;
  m_a = a;
  m_b = b;
  m_d = d;
  m_type = unit_convTofd;
  Signal();
}

int CUnit::GetTOFDFactors(double* c, double* a, double* b, double* d) const {
  if (c) *c = m_c;
  if (a) *a = m_a;
  if (b) *b = m_b;
  if (d) *d = m_d;
  return 1;
}

void CUnit::SetLinearFactors(double a, double b) {
  if (a == m_a && b == m_b) return;
  m_a = a;
  m_b = b;
  Signal();
}

int CUnit::GetLinearFactors(double* a, double* b) const {
  if (a) *a = m_a;
  if (b) *b = m_b;
  return 1;
}

void CUnit::SetDBFactors(double a, double b, double dbReference) {
  m_a = a;
  m_b = b;
  m_dbReference = dbReference;
  Signal();
}

void CUnit::GetDBFactors(double* a, double* b, double* dbReference) const {
  if (a) *a = m_a;
  if (b) *b = m_b;
  if (dbReference) *dbReference = m_dbReference;
}

void CUnit::SetUnitType(unit_enumUnits unit, unit_enumDataUnit dataUnit) {
  if (unit == m_unit && dataUnit == m_dataUnit) return;
  m_unit = unit;
  m_dataUnit = dataUnit;
  Signal();
}

void CUnit::GetUnitType(unit_enumUnits* unit, unit_enumDataUnit* dataUnit) const {
  if (unit) *unit = m_unit;
  if (dataUnit) *dataUnit = m_dataUnit;
}

void CUnit::SetDisplayFormat(const wchar_t* format) {
  m_format = format != nullptr ? format : L"";
  Signal();
}

double CUnit::ConvertFromBase(const double& x) const {
  if (m_base == nullptr) return x;
  switch (m_type) {
    case unit_convTofd: {
      if (m_b < 0.0) return 0.0;
      const double h = m_a * x;
      const double d = h - m_d;
      const double r = std::sqrt(std::fabs(d * d - m_b));
      // The branch depends on the scaled value before the path offset is taken off.
      return 2.0 * std::sqrt(m_b) > 2.0 * std::fabs(h) ? m_c - r : m_c + r;
    }
    case unit_convPercentToDb:
      return PercentToDb(x);
    case unit_convLogToPercent:
      return LogScaleToPercent(x);
    default:
      return m_a * x + m_b;
  }
}

double CUnit::ConvertToBase(const double& y) const {
  if (m_base == nullptr) return y;
  switch (m_type) {
    case unit_convLinear:
    case unit_convDbLinear:
      return (y - m_b) / m_a;
    case unit_convTofd: {
      if (m_a == 0.0) return 0.0;
      const double e = y - m_c;
      const double s = e < 0.0 ? m_b - e * e : m_b + e * e;
      return (std::sqrt(std::fabs(s)) + m_d) / m_a;
    }
    case unit_convPercentToDb:
      return DbToPercent(y);
    case unit_convLogToPercent:
      return PercentToLogScale(y);
    default:
      return m_a == 0.0 ? 0.0 : (y - m_b) / m_a;
  }
}

double CUnit::ConvertFrom(double value, CUnit* other) const {
  if (other == nullptr || other == this) return value;
  return ConvertFromBase(other->ConvertToBase(value));
}

const wchar_t* CUnit::Format(const CString& format, double value, CString& out) const {
  if (m_type == unit_convDbLinear) value = std::fabs(value) - m_dbReference;
  if (m_dataUnit == unit_dataDegrees) {
    // Thousandths of a degree, wrapped at 360 with the sign of the value.
    const std::int32_t milli =
        quarlen::SaturatingTrunc<std::int32_t>(std::floor(value * 1000.0 + 0.5));
    value = (milli % 360000) * 0.001;
  }
  // The formatter reads only the one double it is given, whatever the format asks for.
  out.Format(format.GetString(), value);
  out.TrimRight();
  return out;
}

const wchar_t* CUnit::dtoa(double value, CString& out) const {
  return Format(m_format, value, out);
}

const wchar_t* CUnit::dtoaCompact(double value, CString& out) const {
  return Format(CString(kCompactFormat), value, out);
}

const wchar_t* CUnit::GetName() {
  enumGetDataUnitName(m_dataUnit, &m_name);
  return m_name;
}

const wchar_t* CUnit::GetShortName() {
  enumGetDataUnitShortName(m_dataUnit, &m_shortName);
  return m_shortName;
}

void CUnit::enumGetString(unit_enumUnits unit, CString* name) {
  if (name == nullptr) return;
  if (unit < unit_none || unit > unit_voltage) {
    name->Empty();
    return;
  }
  if (!name->LoadString(kFirstUnitNameId + static_cast<UINT>(unit))) name->Empty();
}

unit_enumDataUnit CUnit::enumGetBaseUnit(unit_enumUnits unit) {
  if (unit < unit_none || unit > unit_voltage) return unit_dataUndefined;
  return kBaseUnits[unit];
}

void CUnit::enumGetDataUnitName(unit_enumDataUnit dataUnit, CString* name) {
  if (name == nullptr) return;
  *name = IsDataUnitKnown(dataUnit) ? kDataUnitNames[dataUnit].longName : L"";
}

void CUnit::enumGetDataUnitShortName(unit_enumDataUnit dataUnit, CString* name) {
  if (name == nullptr) return;
  *name = IsDataUnitKnown(dataUnit) ? kDataUnitNames[dataUnit].shortName : L"";
}

int CUnit::enumIsImperialUnit(unit_enumDataUnit dataUnit) {
  switch (dataUnit) {
    case unit_dataSecond:
    case unit_dataMicrosecond:
    case unit_dataMeter:
    case unit_dataMillimeter:
    case unit_dataDegrees:
    case unit_dataRadians:
    case unit_dataSample:
    case unit_dataPercent:
    case unit_dataDecibel:
      return 0;
    default:
      return 1;
  }
}

int CUnit::enumIsCorrected(unit_enumUnits unit) { return unit == unit_trueDepth ? 1 : 0; }
