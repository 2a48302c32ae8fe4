// CObject and the run-time class registry: class tests and creation by class name.
#include "platform/object.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/cstring.h"

namespace quarlen::detail {
namespace {

// Registered classes by name. Constructed on first use, i.e. during the first registration,
// so it outlives every registrar and unregistration at unload is safe.
struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, const CRuntimeClass*, std::less<>> classes;
};

ClassRegistry& Registry() {
  static ClassRegistry registry;
  return registry;
}

}  // namespace

RuntimeClassRegistrar::RuntimeClassRegistrar(const CRuntimeClass* cls) : m_class(cls) {
  if (!cls || !cls->m_lpszClassName) return;
  ClassRegistry& r = Registry();
  std::lock_guard lock(r.mutex);
  // The first class registered under a name keeps it.
  r.classes.emplace(cls->m_lpszClassName, cls);
}

RuntimeClassRegistrar::~RuntimeClassRegistrar() {
  if (!m_class || !m_class->m_lpszClassName) return;
  ClassRegistry& r = Registry();
  std::lock_guard lock(r.mutex);
  auto it = r.classes.find(std::string_view(m_class->m_lpszClassName));
  if (it != r.classes.end() && it->second == m_class) r.classes.erase(it);
}

}  // namespace quarlen::detail

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  if (!base) return FALSE;
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
    if (c == base) return TRUE;
  }
  return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
  if (!className) return nullptr;
  auto& r = quarlen::detail::Registry();
  std::lock_guard lock(r.mutex);
  auto it = r.classes.find(std::string_view(className));
  return it == r.classes.end() ? nullptr : it->second;
}

const CRuntimeClass* CRuntimeClass::FromName(const wchar_t* className) {
  if (!className) return nullptr;
  return FromName(quarlen::WideToUtf8(className).c_str());
}

CObject* CRuntimeClass::CreateObject(const char* className) {
  const CRuntimeClass* c = FromName(className);
  return c ? c->CreateObject() : nullptr;
}

CObject* CRuntimeClass::CreateObject(const wchar_t* className) {
  const CRuntimeClass* c = FromName(className);
  return c ? c->CreateObject() : nullptr;
}

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};

namespace {
const quarlen::detail::RuntimeClassRegistrar quarlen_registrar_CObject(&CObject::classCObject);
}  // namespace

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext&) const {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }
