#include "ultrasound/conversion.h"

#include <cmath>
#include <limits>

#include "ultrasound/point3d.h"

using namespace UltrasoundParameters;
using GeneralParameters::ISpecimenMaterialPtr;
using UltrasoundTypes::tagEUltrasoundUnitType;

namespace quarlen::detail {
namespace {

// Reads a scalar property of `object`; raises the component error on a failure status or a
// null object.
template <class I, class T>
T Read(I* object, HRESULT (I::*getter)(T*)) {
  if (!object) _com_issue_errorex(E_POINTER, nullptr, I::iid);
  T value{};
  const HRESULT hr = (object->*getter)(&value);
  if (FAILED(hr)) _com_issue_errorex(hr, object, I::iid);
  return value;
}
template <class I, class T>
T Read(const _com_ptr_t<I>& object, HRESULT (I::*getter)(T*)) {
  return Read(object.GetInterfacePtr(), getter);
}

// Reads an interface-valued property; a null result raises E_POINTER as well.
template <class I, class J>
_com_ptr_t<J> ReadInterface(const _com_ptr_t<I>& object, HRESULT (I::*getter)(J**)) {
  I* o = object.GetInterfacePtr();
  if (!o) _com_issue_errorex(E_POINTER, nullptr, I::iid);
  J* raw = nullptr;
  const HRESULT hr = (o->*getter)(&raw);
  _com_ptr_t<J> result(raw, false);  // adopt the reference before anything can throw
  if (FAILED(hr)) _com_issue_errorex(hr, o, I::iid);
  if (!result) _com_issue_errorex(E_POINTER, o, J::iid);
  return result;
}

// The law at the 0-based index `law` (the list is 1-based). The index arithmetic wraps
// instead of overflowing; the component refuses an index it does not have.
ILawPtr LawAt(const IChannelPtr& channel, LONG law) {
  ILawListPtr list = ReadInterface(channel, &IChannel::get_LawList);
  const LONG item = static_cast<LONG>(static_cast<ULONG>(law) + 1u);
  ILawList* o = list.GetInterfacePtr();
  ILaw* raw = nullptr;
  const HRESULT hr = list->get_Item(item, &raw);
  ILawPtr result(raw, false);
  if (FAILED(hr)) _com_issue_errorex(hr, o, ILawList::iid);
  if (!result) _com_issue_errorex(E_POINTER, o, ILaw::iid);
  return result;
}

LONG CurrentLaw(const IChannelPtr& channel) {
  return Read(ReadInterface(channel, &IChannel::get_LawList), &ILawList::get_CurrentLawIndex);
}

bool TwoProbeMode(LONG inspectionMode) {
  return inspectionMode == 0 || inspectionMode == 2 || inspectionMode == 4;
}

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kMmToInch = 0.03937007874015748;

bool Imperial(const CCalculatorData* data) {
  return data && data->GetUnitSystem() == GeneralParameters::eUnitSystemImperial;
}

// Component of the unit beam vector of (theta, phi) along the depth axis: cos theta.
double DepthProjection(double thetaDeg, double phiDeg) {
  Point3d p;
  p.SetSphericalCoordinates(1.0, thetaDeg * kDegToRad, phiDeg * kDegToRad);
  return p.z;
}

// Factor of a law object: channel velocity unless the law has its own, angles of the
// transmitting probe plus the law's.
double FactorForLawObject(const CCalculatorData* data, const IChannelPtr& channel,
                          const ILawPtr* law, LONG lawIndex, tagEUltrasoundUnitType unit) {
  IProbePtr probe = ReadInterface(channel, &IChannel::get_TransmitProbe);
  double v =
      Read(ReadInterface(channel, &IChannel::get_BeamSettings), &IBeamSettings::get_Velocity);
  const ILawPtr lawObject = law ? *law : LawAt(channel, lawIndex);
  const double lawVelocity =
      Read(ReadInterface(lawObject, &ILaw::get_BeamSettings), &IBeamSettings::get_Velocity);
  if (!IsNearlyEqual(lawVelocity, 0.0)) v = lawVelocity;
  IBeamAnglesPtr probeAngles = ReadInterface(probe, &IProbe::get_Angles);
  IBeamAnglesPtr lawAngles = ReadInterface(lawObject, &ILaw::get_Angles);
  const double phi =
      Read(probeAngles, &IBeamAngles::get_SkewAngle) + Read(lawAngles, &IBeamAngles::get_SkewAngle);
  const double theta = Read(probeAngles, &IBeamAngles::get_RefractedAngle) +
                       Read(lawAngles, &IBeamAngles::get_RefractedAngle);
  return GetTimeConvertFactorFromBaseUnit(data, channel, v, theta, phi, unit);
}

// Transmit delay, plus the receive delay (two probes) or doubled (one probe), plus the law's
// delay unless law is -1. µs.
double TotalDelay(const IChannelPtr& channel, LONG law) {
  double d = Read(ReadInterface(channel, &IChannel::get_TransmitProbe), &IProbe::get_Delay);
  if (TwoProbeMode(Read(channel, &IChannel::get_InspectionMode))) {
    d += Read(ReadInterface(channel, &IChannel::get_ReceiveProbe), &IProbe::get_Delay);
  } else {
    d *= 2.0;
  }
  if (law != -1) {
    d += Read(ReadInterface(LawAt(channel, law), &ILaw::get_BeamSettings),
              &IBeamSettings::get_Delay);
  }
  return d;
}

// Start of the acquired range of the law (or the channel) minus the total delay. µs.
double StartMinusDelay(const IChannelPtr& channel, LONG law) {
  IBeamSettingsPtr beam = law == -1 ? ReadInterface(channel, &IChannel::get_BeamSettings)
                                    : ReadInterface(LawAt(channel, law), &ILaw::get_BeamSettings);
  const double start = Read(beam, &IBeamSettings::get_Start);
  beam = nullptr;
  return start - TotalDelay(channel, law);
}

}  // namespace
}  // namespace quarlen::detail

using namespace quarlen::detail;

double GetAmplificationFactorForDb(double dB) { return std::pow(10.0, 0.05 * dB); }

LONG ConvertTimeToSampleQty(IChannelPtr channel, double seconds) {
  const double s = Read(channel, &IChannel::get_SamplingFrequency);
  const double samples = std::floor(s * seconds + 0.5);
  if (!std::isfinite(samples)) return std::numeric_limits<LONG>::min();
  return quarlen::SaturatingTrunc<LONG>(samples);
}

double ConvertSampleQtyToUnit(const CCalculatorData* data, IChannelPtr channel, LONG samples,
                              const tagEUltrasoundUnitType& unit) {
  const double f = GetCurrentTimeConvertFactorFromBaseUnit(data, channel, unit);
  return samples / Read(channel, &IChannel::get_SamplingFrequency) * f;
}

double GetCurrentTimeConvertFactorFromBaseUnit(const CCalculatorData* data, IChannelPtr channel) {
  return GetCurrentTimeConvertFactorFromBaseUnit(data, channel,
                                                 Read(channel, &IChannel::get_UnitType));
}

double GetCurrentTimeConvertFactorFromBaseUnit(const CCalculatorData* data, IChannelPtr channel,
                                               tagEUltrasoundUnitType unit) {
  return GetTimeConvertFactorFromBaseUnitForLaw(data, channel, CurrentLaw(channel), unit);
}

double GetTimeConvertFactorFromBaseUnitForLaw(const CCalculatorData* data, IChannelPtr channel,
                                              LONG law) {
  return GetTimeConvertFactorFromBaseUnitForLaw(data, channel, law,
                                                Read(channel, &IChannel::get_UnitType));
}

double GetTimeConvertFactorFromBaseUnitForLaw(const CCalculatorData* data, IChannelPtr channel,
                                              LONG law, tagEUltrasoundUnitType unit) {
  return FactorForLawObject(data, channel, nullptr, law, unit);
}

LONG GetSampleQtyFromRange(const CCalculatorData* data, IChannelPtr channel, ILawPtr law,
                           const double& range, const tagEUltrasoundUnitType& unit) {
  if (!law) _com_issue_errorex(E_POINTER, nullptr, ILaw::iid);
  const double f = FactorForLawObject(data, channel, &law, 0, unit);
  return ConvertTimeToSampleQty(channel, range / f);
}

double GetTimeConvertFactorFromBaseUnit(const CCalculatorData* data, IChannelPtr,
                                        const double& velocity, const double& refractedDeg,
                                        const double& skewDeg, const tagEUltrasoundUnitType& unit) {
  double k;
  switch (unit) {
    case UltrasoundTypes::eUltrasoundUnitTime:
    case UltrasoundTypes::eUltrasoundUnitTime2:
      return 1000000.0;
    case UltrasoundTypes::eUltrasoundUnitSoundPath:
      k = 1.0;
      break;
    case UltrasoundTypes::eUltrasoundUnitHalfPath:
      k = 0.5;
      break;
    case UltrasoundTypes::eUltrasoundUnitTrueDepth:
      k = 0.5 * DepthProjection(refractedDeg, skewDeg);
      break;
    default:
      return 1.0;
  }
  double f = velocity * k * 1000.0;
  if (Imperial(data)) f *= kMmToInch;
  return f;
}

LONG GetTimeConvertFactor(const CCalculatorData* data, IChannelPtr channel, int law, double* factor,
                          double* offset, bool keep, int forceTime) {
  double unusedFactor, unusedOffset;
  if (!factor) factor = &unusedFactor;
  if (!offset) offset = &unusedOffset;
  *factor = 1.0;
  *offset = 0.0;
  LONG status = 1;
  double f = 1.0;

  const tagEUltrasoundUnitType unit = Read(channel, &IChannel::get_UnitType);
  const bool imperial = Imperial(data);

  double theta, phi, v;
  if (law == -1) {
    IBeamAnglesPtr angles =
        ReadInterface(ReadInterface(channel, &IChannel::get_TransmitProbe), &IProbe::get_Angles);
    theta = Read(angles, &IBeamAngles::get_RefractedAngle);
    phi = Read(angles, &IBeamAngles::get_SkewAngle);
    v = Read(ReadInterface(channel, &IChannel::get_BeamSettings), &IBeamSettings::get_Velocity);
  } else {
    ILawPtr lawObject = LawAt(channel, law);
    v = Read(ReadInterface(lawObject, &ILaw::get_BeamSettings), &IBeamSettings::get_Velocity);
    IBeamAnglesPtr angles = ReadInterface(lawObject, &ILaw::get_Angles);
    theta = Read(angles, &IBeamAngles::get_RefractedAngle);
    phi = Read(angles, &IBeamAngles::get_SkewAngle);
  }

  if (v == 0.0) {
    // No beam velocity: the specimen's velocity for the channel's wave mode.
    const LONG waveMode =
        Read(ReadInterface(channel, &IChannel::get_BeamSettings), &IBeamSettings::get_WaveMode);
    if (waveMode >= 0 && waveMode <= 2) {
      const GeneralParameters::ISpecimenPtr specimen =
          data ? data->GetSpecimen() : GeneralParameters::ISpecimenPtr();
      if (!specimen) _com_issue_errorex(E_POINTER, nullptr, GeneralParameters::ISpecimen::iid);
      ISpecimenMaterialPtr material =
          ReadInterface(specimen, &GeneralParameters::ISpecimen::get_Material);
      using M = GeneralParameters::ISpecimenMaterial;
      v = Read(material, waveMode == 0   ? &M::get_VelocityMode0
                         : waveMode == 1 ? &M::get_VelocityMode1
                                         : &M::get_VelocityMode2);
    }
  }

  switch (unit) {
    case UltrasoundTypes::eUltrasoundUnitTime:
    case UltrasoundTypes::eUltrasoundUnitTime2:
      f = 1.0;
      break;
    case UltrasoundTypes::eUltrasoundUnitSoundPath:
      f = v * 0.001;
      break;
    case UltrasoundTypes::eUltrasoundUnitHalfPath:
      f = v * 0.0005;
      break;
    case UltrasoundTypes::eUltrasoundUnitTrueDepth:
      f = DepthProjection(theta, phi) * v * 0.0005;
      break;
    default:
      status = 0;
      break;
  }
  if (status == 1 && unit != UltrasoundTypes::eUltrasoundUnitTime &&
      unit != UltrasoundTypes::eUltrasoundUnitTime2 && imperial) {
    f *= kMmToInch;
  }
  if (forceTime != 0) f = 1.0;

  double o = status == 1 ? StartMinusDelay(channel, law) * f : 0.0;
  if (!keep) {
    o = -(TotalDelay(channel, law) * f);
    status = 1;
  }
  *offset = o;
  *factor = f;
  return status;
}

double GetWedgeDelay(const CCalculatorData*, IChannelPtr channel, LONG law) {
  if (law == -1) law = CurrentLaw(channel);
  double d = Read(ReadInterface(channel, &IChannel::get_TransmitProbe), &IProbe::get_Delay);
  if (TwoProbeMode(Read(channel, &IChannel::get_InspectionMode))) {
    d += Read(ReadInterface(channel, &IChannel::get_ReceiveProbe), &IProbe::get_Delay);
  }
  return d + Read(ReadInterface(LawAt(channel, law), &ILaw::get_BeamSettings),
                  &IBeamSettings::get_Delay);
}

double GetDigDelay(const CCalculatorData* data, IChannelPtr channel, LONG law) {
  if (law == -1) law = CurrentLaw(channel);
  double f = 1.0, o = 0.0;
  GetTimeConvertFactor(data, channel, law, &f, &o, true, 0);
  return o / f;
}
