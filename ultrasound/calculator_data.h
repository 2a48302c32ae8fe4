#pragma once
// The input record of the ultrasound conversions: unit system, specimen, channel and the
// dynamic depth focusing configuration of the board, plus values carried for callers.
//
// The interface pointers belong to the parameter component; the record only holds and
// reference-counts them (the calculator pointer is not even counted).
#include "platform/export.h"
#include "platform/types.h"
#include "ultrasound/dynamic_depth_focusing.h"
#include "ultrasound/parameters/interfaces.h"

class QUARLEN_API CCalculatorData {
 public:
  CCalculatorData() = default;
  // Copies every value; the four interface pointers take a reference each.
  CCalculatorData(const CCalculatorData& o);
  // Same members; a pointer equal to the one held changes nothing, so assigning the object
  // to itself leaves every reference count as it was.
  CCalculatorData& operator=(const CCalculatorData& o);
  // Releases the specimen, device parameters and channel object, forgets the calculator
  // (without releasing it) and releases the display settings.
  ~CCalculatorData();

  void EnableAllLaws(const bool& v) { m_allLaws = v; }
  const bool& IsAllLaws() const { return m_allLaws; }
  void SetPulserVoltage(const LONG& v) { m_pulserVoltage = v; }
  const LONG& GetPulserVoltage() const { return m_pulserVoltage; }
  // 1 (imperial) makes every length of the conversions inches; other values millimetres.
  void SetUnitSystem(const GeneralParameters::tagEUnitSystem& v) { m_unitSystem = v; }
  const GeneralParameters::tagEUnitSystem& GetUnitSystem() const { return m_unitSystem; }

  void SetCalculatorDisplaySettings(const CalculatorParameters::ICalculatorDisplaySettingsPtr& p) {
    m_displaySettings = p;
  }
  const CalculatorParameters::ICalculatorDisplaySettingsPtr& GetCalculatorDisplaySettings() const {
    return m_displaySettings;
  }
  void SetChannelObject(const UltrasoundParameters::IChannelPtr& p) { m_channel = p; }
  const UltrasoundParameters::IChannelPtr& GetChannelObject() const { return m_channel; }
  void SetDeviceParameters(const UltrasoundParameters::IDeviceParametersPtr& p) {
    m_deviceParameters = p;
  }
  const UltrasoundParameters::IDeviceParametersPtr& GetDeviceParameters() const {
    return m_deviceParameters;
  }
  // Source of the material velocity when a beam has none.
  void SetSpecimen(const GeneralParameters::ISpecimenPtr& p) { m_specimen = p; }
  const GeneralParameters::ISpecimenPtr& GetSpecimen() const { return m_specimen; }

  // Stores the calculator without taking a reference; null is refused (false) and leaves the
  // stored pointer as it was.
  bool InitCalculator(IUnknown* calculator);
  // Writes the stored calculator (possibly null), without a reference for the caller.
  void GetCalculator(IUnknown** out) const;
  // Attenuation is not kept here: always -1.
  int GetAttenuation(unsigned int index) const;

  // Installs the DDF family of board type 1 or 8 with its constants (keeping the slide step
  // and the first-slide delay factor); other board types leave the record unchanged.
  void SetDDFData(const UltrasoundTypes::tagEBoardType& board);
  const CDynamicDepthFocusing& GetDDFData() const { return m_ddf; }

 private:
  bool m_allLaws = false;
  LONG m_pulserVoltage = 0;
  GeneralParameters::tagEUnitSystem m_unitSystem = GeneralParameters::eUnitSystemMetric;
  CDynamicDepthFocusing m_ddf;
  IUnknown* m_calculator = nullptr;
  CalculatorParameters::ICalculatorDisplaySettingsPtr m_displaySettings;
  UltrasoundParameters::IChannelPtr m_channel;
  UltrasoundParameters::IDeviceParametersPtr m_deviceParameters;
  GeneralParameters::ISpecimenPtr m_specimen;
};
