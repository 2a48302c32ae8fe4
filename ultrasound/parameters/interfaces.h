#pragma once
// Interfaces of the ultrasound parameter component: the channel, its focal laws, probes and
// beam settings, the specimen and its material, and the carried-only device parameters and
// calculator display settings.
//
// Every property is read by a get_ member that returns a status and writes the value through
// its out-parameter. Interface-valued properties hand out a new reference that the caller
// releases (a _com_ptr_t does it). The members of each interface stand in this order in its
// method table; implementations (see memory.h) derive from these interfaces.
#include "platform/types.h"
#include "ultrasound/parameters/com.h"

namespace UltrasoundTypes {
// Unit of the ultrasound axis of a channel. Values outside the list are possible and are
// treated by each conversion as "not a defined unit".
enum tagEUltrasoundUnitType : std::int32_t {
  eUltrasoundUnitTime = 0,       // microseconds
  eUltrasoundUnitSoundPath = 1,  // full sound path
  eUltrasoundUnitHalfPath = 2,   // half the sound path
  eUltrasoundUnitTrueDepth = 3,  // depth along the beam's projection
  eUltrasoundUnitTime2 = 4,      // a second time unit, converted exactly as eUltrasoundUnitTime
};

// Family of the acquisition board (decides the dynamic depth focusing registers).
enum tagEBoardType : std::int32_t {
  eBoardVarda = 1,
  eBoardVardaLT = 8,
};
}  // namespace UltrasoundTypes

namespace GeneralParameters {
// Unit system of the lengths the conversions produce: imperial gives inches, anything else
// millimetres.
enum tagEUnitSystem : std::int32_t {
  eUnitSystemMetric = 0,
  eUnitSystemImperial = 1,
};
}  // namespace GeneralParameters

namespace UltrasoundParameters {

// Refracted and skew angle of a beam, degrees.
struct QUARLEN_API IBeamAngles : IUnknown {
  static constexpr IID iid{0x0101, "IBeamAngles"};
  virtual HRESULT get_SkewAngle(double* out) = 0;
  virtual HRESULT get_RefractedAngle(double* out) = 0;
};
using IBeamAnglesPtr = _com_ptr_t<IBeamAngles>;

// Velocity (m/s, 0 when unset), start of the acquired range and additional delay (µs), and
// the wave mode that selects a specimen velocity.
struct QUARLEN_API IBeamSettings : IUnknown {
  static constexpr IID iid{0x0102, "IBeamSettings"};
  virtual HRESULT get_Velocity(double* out) = 0;
  virtual HRESULT get_Start(double* out) = 0;
  virtual HRESULT get_Delay(double* out) = 0;
  virtual HRESULT get_WaveMode(LONG* out) = 0;
};
using IBeamSettingsPtr = _com_ptr_t<IBeamSettings>;

// One focal law.
struct QUARLEN_API ILaw : IUnknown {
  static constexpr IID iid{0x0103, "ILaw"};
  virtual HRESULT get_Angles(IBeamAngles** out) = 0;
  virtual HRESULT get_BeamSettings(IBeamSettings** out) = 0;
};
using ILawPtr = _com_ptr_t<ILaw>;

// The focal laws of a channel; Item takes a 1-based index.
struct QUARLEN_API ILawList : IUnknown {
  static constexpr IID iid{0x0104, "ILawList"};
  virtual HRESULT get_CurrentLawIndex(LONG* out) = 0;
  virtual HRESULT get_Item(LONG index, ILaw** out) = 0;
};
using ILawListPtr = _com_ptr_t<ILawList>;

// A probe: its one-way wedge delay (µs) and its angles.
struct QUARLEN_API IProbe : IUnknown {
  static constexpr IID iid{0x0105, "IProbe"};
  virtual HRESULT get_Delay(double* out) = 0;
  virtual HRESULT get_Angles(IBeamAngles** out) = 0;
};
using IProbePtr = _com_ptr_t<IProbe>;

// One acquisition channel.
struct QUARLEN_API IChannel : IUnknown {
  static constexpr IID iid{0x0106, "IChannel"};
  virtual HRESULT get_LawList(ILawList** out) = 0;
  virtual HRESULT get_BeamSettings(IBeamSettings** out) = 0;
  virtual HRESULT get_UnitType(UltrasoundTypes::tagEUltrasoundUnitType* out) = 0;
  virtual HRESULT get_TransmitProbe(IProbe** out) = 0;
  virtual HRESULT get_ReceiveProbe(IProbe** out) = 0;
  virtual HRESULT get_SamplingFrequency(double* out) = 0;  // Hz
  // 0, 2 and 4: separate transmitting and receiving probes; other values: one probe.
  virtual HRESULT get_InspectionMode(LONG* out) = 0;
};
using IChannelPtr = _com_ptr_t<IChannel>;

// Parameters of the acquisition device; carried for callers only.
struct QUARLEN_API IDeviceParameters : IUnknown {
  static constexpr IID iid{0x0107, "IDeviceParameters"};
};
using IDeviceParametersPtr = _com_ptr_t<IDeviceParameters>;

}  // namespace UltrasoundParameters

namespace GeneralParameters {

// Sound velocities of a material (m/s), one per wave mode.
struct QUARLEN_API ISpecimenMaterial : IUnknown {
  static constexpr IID iid{0x0201, "ISpecimenMaterial"};
  virtual HRESULT get_VelocityMode2(double* out) = 0;
  virtual HRESULT get_VelocityMode0(double* out) = 0;
  virtual HRESULT get_VelocityMode1(double* out) = 0;
};
using ISpecimenMaterialPtr = _com_ptr_t<ISpecimenMaterial>;

// The inspected part.
struct QUARLEN_API ISpecimen : IUnknown {
  static constexpr IID iid{0x0202, "ISpecimen"};
  virtual HRESULT get_Material(ISpecimenMaterial** out) = 0;
};
using ISpecimenPtr = _com_ptr_t<ISpecimen>;

}  // namespace GeneralParameters

namespace CalculatorParameters {

// Display settings of the calculator; carried for callers only.
struct QUARLEN_API ICalculatorDisplaySettings : IUnknown {
  static constexpr IID iid{0x0301, "ICalculatorDisplaySettings"};
};
using ICalculatorDisplaySettingsPtr = _com_ptr_t<ICalculatorDisplaySettings>;

}  // namespace CalculatorParameters
