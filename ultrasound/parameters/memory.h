#pragma once
// An in-memory implementation of the parameter component: a channel with its probes, focal
// laws and beam settings, a specimen with its material, and the carried-only objects. Tests,
// benchmarks, the demo and quarlen-calc fill it in code (or from a description, see
// BuildChannel) instead of talking to an acquisition system.
//
// Every object counts its references and can be told to fail property reads, so that callers
// can check their error paths: CParameterContext, shared by the objects of one channel, fails
// the n-th read from now on and lists the reference counts of all its live objects.
#include <memory>
#include <string>
#include <vector>

#include "platform/export.h"
#include "ultrasound/parameters/interfaces.h"

namespace quarlen::parameters {

class CMemoryObjectBase;

// Fault injection and reference bookkeeping shared by the objects of one component.
class QUARLEN_API CParameterContext {
 public:
  CParameterContext() = default;
  CParameterContext(const CParameterContext&) = delete;
  CParameterContext& operator=(const CParameterContext&) = delete;

  // Makes the n-th property read from now on (1 = the next one) return `hr`; 0 disables.
  void FailReadNumber(unsigned n, HRESULT hr = E_FAIL);
  // Number of property reads since the context was made (or since ResetReadCount).
  unsigned ReadCount() const { return m_reads; }
  void ResetReadCount() { m_reads = 0; }

  // Reference counts of every live object of this context, in creation order.
  std::vector<ULONG> ReferenceCounts() const;
  std::size_t LiveObjects() const { return m_objects.size(); }

  // Called by the objects. BeforeRead counts the read and returns the status it must give.
  HRESULT BeforeRead();
  void Register(CMemoryObjectBase* object) { m_objects.push_back(object); }
  void Unregister(CMemoryObjectBase* object);

 private:
  unsigned m_reads = 0;
  unsigned m_failAt = 0;  // absolute read number that fails; 0 for none
  HRESULT m_failWith = E_FAIL;
  std::vector<CMemoryObjectBase*> m_objects;
};

// Reference counting and fault checks of every in-memory object.
class QUARLEN_API CMemoryObjectBase {
 public:
  ULONG RefCount() const { return m_refs; }
  // Makes every read of the property `name` (as in get_<name>) of this object return `hr`;
  // an empty name clears it.
  void FailProperty(std::string name, HRESULT hr = E_FAIL) {
    m_failing = std::move(name);
    m_failWith = hr;
  }
  const std::shared_ptr<CParameterContext>& Context() const { return m_context; }

 protected:
  explicit CMemoryObjectBase(std::shared_ptr<CParameterContext> context);
  virtual ~CMemoryObjectBase();
  CMemoryObjectBase(const CMemoryObjectBase&) = delete;
  CMemoryObjectBase& operator=(const CMemoryObjectBase&) = delete;

  ULONG DoAddRef() { return ++m_refs; }
  ULONG DoRelease();
  // Status of a read of property `name`.
  HRESULT Check(const char* name);
  // The common body of a scalar read.
  template <class T>
  HRESULT Get(const char* name, T* out, const T& value) {
    if (!out) return E_POINTER;
    HRESULT hr = Check(name);
    if (FAILED(hr)) return hr;
    *out = value;
    return S_OK;
  }
  // The common body of an interface read: a new reference to `value` (possibly null).
  template <class I, class P>
  HRESULT GetInterface(const char* name, I** out, const P& value) {
    if (!out) return E_POINTER;
    *out = nullptr;
    HRESULT hr = Check(name);
    if (FAILED(hr)) return hr;
    *out = value.GetInterfacePtr();
    if (*out) (*out)->AddRef();
    return S_OK;
  }

 private:
  ULONG m_refs = 0;
  std::shared_ptr<CParameterContext> m_context;
  std::string m_failing;
  HRESULT m_failWith = E_FAIL;
};

// IUnknown of an object implementing interface I.
template <class I>
class CMemoryObject : public I, public CMemoryObjectBase {
 public:
  HRESULT QueryInterface(REFIID id, void** out) override {
    if (!out) return E_POINTER;
    if (id == I::iid || id == IUnknown::iid) {
      *out = static_cast<I*>(this);
      DoAddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return DoAddRef(); }
  ULONG Release() override { return DoRelease(); }

 protected:
  explicit CMemoryObject(std::shared_ptr<CParameterContext> context)
      : CMemoryObjectBase(std::move(context)) {}
};

// Creates an object of class T with the given context; the pointer holds the one reference.
template <class T>
_com_ptr_t<T> MakeMemoryObject(std::shared_ptr<CParameterContext> context = nullptr) {
  return _com_ptr_t<T>(new T(std::move(context)));
}

class QUARLEN_API CMemoryBeamAngles final
    : public CMemoryObject<UltrasoundParameters::IBeamAngles> {
 public:
  explicit CMemoryBeamAngles(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {}
  HRESULT get_SkewAngle(double* out) override { return Get("SkewAngle", out, skew); }
  HRESULT get_RefractedAngle(double* out) override { return Get("RefractedAngle", out, refracted); }
  double skew = 0.0;
  double refracted = 0.0;
};

class QUARLEN_API CMemoryBeamSettings final
    : public CMemoryObject<UltrasoundParameters::IBeamSettings> {
 public:
  explicit CMemoryBeamSettings(std::shared_ptr<CParameterContext> c)
      : CMemoryObject(std::move(c)) {}
  HRESULT get_Velocity(double* out) override { return Get("Velocity", out, velocity); }
  HRESULT get_Start(double* out) override { return Get("Start", out, start); }
  HRESULT get_Delay(double* out) override { return Get("Delay", out, delay); }
  HRESULT get_WaveMode(LONG* out) override { return Get("WaveMode", out, waveMode); }
  double velocity = 0.0;  // m/s
  double start = 0.0;     // µs
  double delay = 0.0;     // µs
  LONG waveMode = 0;
};

class QUARLEN_API CMemoryLaw final : public CMemoryObject<UltrasoundParameters::ILaw> {
 public:
  explicit CMemoryLaw(std::shared_ptr<CParameterContext> c);
  HRESULT get_Angles(UltrasoundParameters::IBeamAngles** out) override {
    return GetInterface("Angles", out, angles);
  }
  HRESULT get_BeamSettings(UltrasoundParameters::IBeamSettings** out) override {
    return GetInterface("BeamSettings", out, beamSettings);
  }
  _com_ptr_t<CMemoryBeamAngles> angles;
  _com_ptr_t<CMemoryBeamSettings> beamSettings;
};

class QUARLEN_API CMemoryLawList final : public CMemoryObject<UltrasoundParameters::ILawList> {
 public:
  explicit CMemoryLawList(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {}
  HRESULT get_CurrentLawIndex(LONG* out) override {
    return Get("CurrentLawIndex", out, currentLawIndex);
  }
  // 1-based; an index outside the list gives E_INVALIDARG.
  HRESULT get_Item(LONG index, UltrasoundParameters::ILaw** out) override;
  LONG currentLawIndex = 0;
  std::vector<_com_ptr_t<CMemoryLaw>> laws;
};

class QUARLEN_API CMemoryProbe final : public CMemoryObject<UltrasoundParameters::IProbe> {
 public:
  explicit CMemoryProbe(std::shared_ptr<CParameterContext> c);
  HRESULT get_Delay(double* out) override { return Get("Delay", out, delay); }
  HRESULT get_Angles(UltrasoundParameters::IBeamAngles** out) override {
    return GetInterface("Angles", out, angles);
  }
  double delay = 0.0;  // µs, one way
  _com_ptr_t<CMemoryBeamAngles> angles;
};

class QUARLEN_API CMemoryChannel final : public CMemoryObject<UltrasoundParameters::IChannel> {
 public:
  // Makes a channel with an empty law list, beam settings and two probes, all in context c.
  explicit CMemoryChannel(std::shared_ptr<CParameterContext> c);
  HRESULT get_LawList(UltrasoundParameters::ILawList** out) override {
    return GetInterface("LawList", out, lawList);
  }
  HRESULT get_BeamSettings(UltrasoundParameters::IBeamSettings** out) override {
    return GetInterface("BeamSettings", out, beamSettings);
  }
  HRESULT get_UnitType(UltrasoundTypes::tagEUltrasoundUnitType* out) override {
    return Get("UnitType", out, unitType);
  }
  HRESULT get_TransmitProbe(UltrasoundParameters::IProbe** out) override {
    return GetInterface("TransmitProbe", out, transmitProbe);
  }
  HRESULT get_ReceiveProbe(UltrasoundParameters::IProbe** out) override {
    return GetInterface("ReceiveProbe", out, receiveProbe);
  }
  HRESULT get_SamplingFrequency(double* out) override {
    return Get("SamplingFrequency", out, samplingFrequency);
  }
  HRESULT get_InspectionMode(LONG* out) override {
    return Get("InspectionMode", out, inspectionMode);
  }
  _com_ptr_t<CMemoryLawList> lawList;
  _com_ptr_t<CMemoryBeamSettings> beamSettings;
  UltrasoundTypes::tagEUltrasoundUnitType unitType = UltrasoundTypes::eUltrasoundUnitTime;
  _com_ptr_t<CMemoryProbe> transmitProbe;
  _com_ptr_t<CMemoryProbe> receiveProbe;
  double samplingFrequency = 100e6;  // Hz
  LONG inspectionMode = 1;           // one probe transmits and receives
};

class QUARLEN_API CMemorySpecimenMaterial final
    : public CMemoryObject<GeneralParameters::ISpecimenMaterial> {
 public:
  explicit CMemorySpecimenMaterial(std::shared_ptr<CParameterContext> c)
      : CMemoryObject(std::move(c)) {}
  HRESULT get_VelocityMode2(double* out) override {
    return Get("VelocityMode2", out, velocityMode2);
  }
  HRESULT get_VelocityMode0(double* out) override {
    return Get("VelocityMode0", out, velocityMode0);
  }
  HRESULT get_VelocityMode1(double* out) override {
    return Get("VelocityMode1", out, velocityMode1);
  }
  double velocityMode0 = 0.0;  // m/s
  double velocityMode1 = 0.0;
  double velocityMode2 = 0.0;
};

class QUARLEN_API CMemorySpecimen final : public CMemoryObject<GeneralParameters::ISpecimen> {
 public:
  explicit CMemorySpecimen(std::shared_ptr<CParameterContext> c);
  HRESULT get_Material(GeneralParameters::ISpecimenMaterial** out) override {
    return GetInterface("Material", out, material);
  }
  _com_ptr_t<CMemorySpecimenMaterial> material;
};

class QUARLEN_API CMemoryDeviceParameters final
    : public CMemoryObject<UltrasoundParameters::IDeviceParameters> {
 public:
  explicit CMemoryDeviceParameters(std::shared_ptr<CParameterContext> c)
      : CMemoryObject(std::move(c)) {}
};

class QUARLEN_API CMemoryCalculatorDisplaySettings final
    : public CMemoryObject<CalculatorParameters::ICalculatorDisplaySettings> {
 public:
  explicit CMemoryCalculatorDisplaySettings(std::shared_ptr<CParameterContext> c)
      : CMemoryObject(std::move(c)) {}
};

// A plain object with no interface beyond IUnknown (stands for the calculator).
class QUARLEN_API CMemoryUnknown final : public CMemoryObject<IUnknown> {
 public:
  explicit CMemoryUnknown(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {}
};

// A channel as plain values, to build an in-memory channel from.
struct SBeamAngles {
  double refracted = 0.0;  // degrees
  double skew = 0.0;       // degrees
};
struct SBeamSettings {
  double velocity = 0.0;  // m/s, 0 for "not set"
  double start = 0.0;     // µs
  double delay = 0.0;     // µs
  LONG waveMode = 0;
};
struct SProbe {
  double delay = 0.0;  // µs
  SBeamAngles angles;
};
struct SLaw {
  SBeamAngles angles;
  SBeamSettings beam;
};
struct SChannel {
  UltrasoundTypes::tagEUltrasoundUnitType unitType = UltrasoundTypes::eUltrasoundUnitTime;
  double samplingFrequency = 100e6;  // Hz
  LONG inspectionMode = 1;
  SProbe transmit;
  SProbe receive;
  SBeamSettings beam;
  std::vector<SLaw> laws;
  LONG currentLaw = 0;  // 0-based
};
struct SSpecimen {
  double velocityMode0 = 0.0;  // m/s
  double velocityMode1 = 0.0;
  double velocityMode2 = 0.0;
};

// Builds the objects of a channel (or a specimen) in `context` (a new one when null).
QUARLEN_API _com_ptr_t<CMemoryChannel> BuildChannel(
    const SChannel& description, std::shared_ptr<CParameterContext> context = nullptr);
QUARLEN_API _com_ptr_t<CMemorySpecimen> BuildSpecimen(
    const SSpecimen& description, std::shared_ptr<CParameterContext> context = nullptr);

}  // namespace quarlen::parameters
