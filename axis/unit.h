#pragma once
// Units: conversion of values between an axis's base unit and a display unit, and their
// formatting as text.
#include "notify/consumer_list.h"
#include "platform/cstring.h"
#include "platform/export.h"
#include "platform/object.h"
#include "platform/types.h"

// Physical quantity of an axis.
enum unit_enumUnits : std::int32_t {
  unit_none = 0,
  unit_time = 1,
  unit_distance = 2,
  unit_rotation = 3,
  unit_percent = 4,
  unit_decibel = 5,
  unit_frequency = 6,
  unit_temperature = 7,
  unit_sample = 8,
  unit_halfTime = 9,
  unit_fullPath = 10,
  unit_halfPath = 11,
  unit_trueDepth = 12,
  unit_tofd = 13,
  unit_voltage = 14,
};

// A concrete unit.
enum unit_enumDataUnit : std::int32_t {
  unit_dataNone = 0,
  unit_dataSecond = 1,
  unit_dataMicrosecond = 2,
  unit_dataMeter = 3,
  unit_dataMillimeter = 4,
  unit_dataInch = 5,
  unit_dataMils = 6,
  unit_dataDegrees = 7,
  unit_dataRadians = 8,
  unit_dataSample = 9,
  unit_dataPercent = 10,
  unit_dataDecibel = 11,
  unit_dataHertz = 12,
  unit_dataMegahertz = 13,
  unit_dataVolt = 14,
  unit_dataUndefined = 15,
};

// How a display value is derived from a base value.
enum unit_enumConversionType : std::int32_t {
  unit_convNone = -1,
  unit_convLinear = 0,        // A*x + B
  unit_convTofd = 1,          // time-of-flight diffraction path (factors C, A, B, D)
  unit_convDbLinear = 2,      // A*x + B, formatted relative to the decibel reference
  unit_convPercentToDb = 3,   // linear percent of full scale -> dB relative to 100 %
  unit_convLogToPercent = 4,  // logarithmic 0..100 scale (0.8 dB per unit) -> linear percent
};

// A display unit holds a pointer to its base unit (not owned) and converts from and to it; a
// unit without base unit is a base unit and converts nothing. Every change of the settings is
// signalled through the unit's consumer list (some setters only on an effective change, as
// noted). Units carry no lock; they belong to the user-interface thread.
class QUARLEN_API CUnit : public CObject {
 public:
  CUnit();
  // Conversion of the given type; precision 1, format "%.1f", consumer-list source = this.
  CUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, unit_enumConversionType type, double a,
        double b, CUnit* base);
  // dB-linear conversion (type 2) with a decibel reference.
  CUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, double a, double b, double dbReference,
        CUnit* base);
  // Copies every setting; the copy gets a new, empty consumer list.
  CUnit(const CUnit& other);
  // Copies every setting (not the consumer list); signals nothing.
  CUnit& operator=(const CUnit& other);
  ~CUnit() override;

  // Settings. Each signals the consumer list, always unless noted.
  void CUpdateUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, unit_enumConversionType type,
                   double a, double b, CUnit* base);
  void CUpdateUnit(unit_enumUnits unit, unit_enumDataUnit dataUnit, double a, double b,
                   double dbReference, CUnit* base);
  // Signals only on change; the format becomes a left-aligned 12-character field with
  // precision decimals.
  void SetDisplayPrecision(int precision);
  // Stores the factors (in this argument order) and selects the TOFD conversion.
  void SetTOFDFactors(double c, double a, double b, double d);
  int GetTOFDFactors(double* c, double* a, double* b, double* d) const;
  // Signals only when a factor changes; the conversion type is kept.
  void SetLinearFactors(double a, double b);
  int GetLinearFactors(double* a, double* b) const;
  // The conversion type is kept.
  void SetDBFactors(double a, double b, double dbReference);
  void GetDBFactors(double* a, double* b, double* dbReference) const;
  // Signals only on change.
  void SetUnitType(unit_enumUnits unit, unit_enumDataUnit dataUnit);
  void GetUnitType(unit_enumUnits* unit, unit_enumDataUnit* dataUnit) const;
  // A printf-style format taking one double (conversions asking for other arguments print
  // nothing).
  void SetDisplayFormat(const wchar_t* format);
  void GetDisplayFormat(CString& format) const { format = m_format; }

  int GetDisplayPrecision() const { return m_precision; }
  unit_enumConversionType GetConversionType() const { return m_type; }
  CUnit* GetBaseUnit() const { return m_base; }
  CConsumerList* GetConsList() { return &m_consumers; }
  int IsLinear() const { return m_type == unit_convLinear || m_type == unit_convDbLinear ? 1 : 0; }
  void ValidateObjectState() const {}

  // Base value -> display value and back; identities without base unit.
  double ConvertFromBase(const double& x) const;
  double ConvertToBase(const double& y) const;
  // A value of unit other (sharing this unit's base) expressed in this unit.
  double ConvertFrom(double value, CUnit* other) const;

  // Formats value with the display format (dtoa) or "%-g" (dtoaCompact) into out, without
  // trailing blanks, and returns out's text. Type-2 values are shown as magnitude minus the
  // decibel reference; degrees wrap at 360 with a resolution of 0.001.
  const wchar_t* dtoa(double value, CString& out) const;
  const wchar_t* dtoaCompact(double value, CString& out) const;

  // Long and short name of the data unit.
  const wchar_t* GetName();
  const wchar_t* GetShortName();

  // Display name of a quantity (from the string table); empty for unknown values.
  static void enumGetString(unit_enumUnits unit, CString* name);
  static unit_enumDataUnit enumGetBaseUnit(unit_enumUnits unit);
  static void enumGetDataUnitName(unit_enumDataUnit dataUnit, CString* name);
  static void enumGetDataUnitShortName(unit_enumDataUnit dataUnit, CString* name);
  static int enumIsImperialUnit(unit_enumDataUnit dataUnit);
  static int enumIsCorrected(unit_enumUnits unit);

 private:
  const wchar_t* Format(const CString& format, double value, CString& out) const;
  void Signal() { m_consumers.SendMessageW(); }

  int m_precision = 0;
  double m_a = 1.0;
  double m_b = 0.0;
  double m_c = 0.0;
  double m_d = 0.0;
  double m_dbReference = 0.0;
  unit_enumConversionType m_type = unit_convNone;
  unit_enumUnits m_unit = unit_none;
  unit_enumDataUnit m_dataUnit = unit_dataNone;
  CString m_name;
  CString m_shortName;
  CString m_format;
  CConsumerList m_consumers;
  CUnit* m_base = nullptr;
};
