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

  void EnableAllLaws(const bool& v) { allLaws_ = v; }
  const bool& IsAllLaws() const { return allLaws_; }
  void SetPulserVoltage(const LONG& v) { pulserVoltage_ = v; }
  const LONG& GetPulserVoltage() const { return pulserVoltage_; }
  // 1 (imperial) makes every length of the conversions inches; other values millimetres.
  void SetUnitSystem(const GeneralParameters::tagEUnitSystem& v) { unitSystem_ = v; }
  const GeneralParameters::tagEUnitSystem& GetUnitSystem() const { return unitSystem_; }

  void SetCalculatorDisplaySettings(const CalculatorParameters::ICalculatorDisplaySettingsPtr& p) {
    displaySettings_ = p;
  }
  const CalculatorParameters::ICalculatorDisplaySettingsPtr& GetCalculatorDisplaySettings() const {
    return displaySettings_;
  }
  void SetChannelObject(const UltrasoundParameters::IChannelPtr& p) { channel_ = p; }
  const UltrasoundParameters::IChannelPtr& GetChannelObject() const { return channel_; }
  void SetDeviceParameters(const UltrasoundParameters::IDeviceParametersPtr& p) {
    deviceParameters_ = p;
  }
  const UltrasoundParameters::IDeviceParametersPtr& GetDeviceParameters() const {
    return deviceParameters_;
  }
  // Source of the material velocity when a beam has none.
  void SetSpecimen(const GeneralParameters::ISpecimenPtr& p) { specimen_ = p; }
  const GeneralParameters::ISpecimenPtr& GetSpecimen() const { return specimen_; }

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
  const CDynamicDepthFocusing& GetDDFData() const { return ddf_; }

 private:
  bool allLaws_ = false;
  LONG pulserVoltage_ = 0;
  GeneralParameters::tagEUnitSystem unitSystem_ = GeneralParameters::eUnitSystemMetric;
  CDynamicDepthFocusing ddf_;
  IUnknown* calculator_ = nullptr;
  CalculatorParameters::ICalculatorDisplaySettingsPtr displaySettings_;
  UltrasoundParameters::IChannelPtr channel_;
  UltrasoundParameters::IDeviceParametersPtr deviceParameters_;
  GeneralParameters::ISpecimenPtr specimen_;
};
