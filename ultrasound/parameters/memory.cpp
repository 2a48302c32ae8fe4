#include "ultrasound/parameters/memory.h"

#include <algorithm>

namespace quarlen::parameters {

void CParameterContext::FailReadNumber(unsigned n, HRESULT hr) {
  m_failAt = n == 0 ? 0 : m_reads + n;
  m_failWith = hr;
}

HRESULT CParameterContext::BeforeRead() {
  ++m_reads;
  return m_reads == m_failAt ? m_failWith : S_OK;
}

std::vector<ULONG> CParameterContext::ReferenceCounts() const {
  std::vector<ULONG> counts;
  counts.reserve(m_objects.size());
  for (const CMemoryObjectBase* o : m_objects) counts.push_back(o->RefCount());
  return counts;
}

void CParameterContext::Unregister(CMemoryObjectBase* object) {
  auto it = std::find(m_objects.begin(), m_objects.end(), object);
  if (it != m_objects.end()) m_objects.erase(it);
}

CMemoryObjectBase::CMemoryObjectBase(std::shared_ptr<CParameterContext> context)
    : m_context(std::move(context)) {
  if (m_context) m_context->Register(this);
}

CMemoryObjectBase::~CMemoryObjectBase() {
  if (m_context) m_context->Unregister(this);
}

ULONG CMemoryObjectBase::DoRelease() {
  const ULONG left = --m_refs;
  if (left == 0) delete this;
  return left;
}

HRESULT CMemoryObjectBase::Check(const char* name) {
  HRESULT hr = m_context ? m_context->BeforeRead() : S_OK;
  if (SUCCEEDED(hr) && !m_failing.empty() && m_failing == name) hr = m_failWith;
  return hr;
}

CMemoryLaw::CMemoryLaw(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {
  angles = MakeMemoryObject<CMemoryBeamAngles>(Context());
  beamSettings = MakeMemoryObject<CMemoryBeamSettings>(Context());
}

HRESULT CMemoryLawList::get_Item(LONG index, UltrasoundParameters::ILaw** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  HRESULT hr = Check("Item");
  if (FAILED(hr)) return hr;
  if (index < 1 || static_cast<std::size_t>(index) > laws.size()) return E_INVALIDARG;
  *out = laws[static_cast<std::size_t>(index) - 1].GetInterfacePtr();
  if (*out) (*out)->AddRef();
  return S_OK;
}

CMemoryProbe::CMemoryProbe(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {
  angles = MakeMemoryObject<CMemoryBeamAngles>(Context());
}

CMemoryChannel::CMemoryChannel(std::shared_ptr<CParameterContext> c) : CMemoryObject(std::move(c)) {
  lawList = MakeMemoryObject<CMemoryLawList>(Context());
  beamSettings = MakeMemoryObject<CMemoryBeamSettings>(Context());
  transmitProbe = MakeMemoryObject<CMemoryProbe>(Context());
  receiveProbe = MakeMemoryObject<CMemoryProbe>(Context());
}

CMemorySpecimen::CMemorySpecimen(std::shared_ptr<CParameterContext> c)
    : CMemoryObject(std::move(c)) {
  material = MakeMemoryObject<CMemorySpecimenMaterial>(Context());
}

namespace {
void Fill(CMemoryBeamAngles& a, const SBeamAngles& d) {
  a.refracted = d.refracted;
  a.skew = d.skew;
}
void Fill(CMemoryBeamSettings& b, const SBeamSettings& d) {
  b.velocity = d.velocity;
  b.start = d.start;
  b.delay = d.delay;
  b.waveMode = d.waveMode;
}
void Fill(CMemoryProbe& p, const SProbe& d) {
  p.delay = d.delay;
  Fill(*p.angles, d.angles);
}
}  // namespace

_com_ptr_t<CMemoryChannel> BuildChannel(const SChannel& d,
                                        std::shared_ptr<CParameterContext> context) {
  if (!context) context = std::make_shared<CParameterContext>();
  auto channel = MakeMemoryObject<CMemoryChannel>(context);
  channel->unitType = d.unitType;
  channel->samplingFrequency = d.samplingFrequency;
  channel->inspectionMode = d.inspectionMode;
  Fill(*channel->transmitProbe, d.transmit);
  Fill(*channel->receiveProbe, d.receive);
  Fill(*channel->beamSettings, d.beam);
  channel->lawList->currentLawIndex = d.currentLaw;
  for (const SLaw& l : d.laws) {
    auto law = MakeMemoryObject<CMemoryLaw>(context);
    Fill(*law->angles, l.angles);
    Fill(*law->beamSettings, l.beam);
    channel->lawList->laws.push_back(law);
  }
  return channel;
}

_com_ptr_t<CMemorySpecimen> BuildSpecimen(const SSpecimen& d,
                                          std::shared_ptr<CParameterContext> context) {
  if (!context) context = std::make_shared<CParameterContext>();
  auto specimen = MakeMemoryObject<CMemorySpecimen>(context);
  specimen->material->velocityMode0 = d.velocityMode0;
  specimen->material->velocityMode1 = d.velocityMode1;
  specimen->material->velocityMode2 = d.velocityMode2;
  return specimen;
}

}  // namespace quarlen::parameters
