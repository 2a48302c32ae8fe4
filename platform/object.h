#pragma once
// The root class CObject and run-time class information: the class of an object, whether it
// derives from another class, and creation by class name.
//
// Every class that uses IMPLEMENT_DYNAMIC, IMPLEMENT_DYNCREATE or IMPLEMENT_SERIAL is entered
// in one process-wide registry when its translation unit is initialised (library load, or
// program start for an executable that links the object files), and removed again when it is
// unloaded. CRuntimeClass::FromName finds any registered class; CreateObject by name succeeds
// only for creatable classes (DYNCREATE / SERIAL).
#include <new>

#include "platform/types.h"

class CObject;
class CArchive;
class CDumpContext;

struct QUARLEN_API CRuntimeClass {
  const char* m_lpszClassName;        // the class name exactly as written in the macro
  int m_nObjectSize;                  // sizeof the class
  UINT m_wSchema;                     // schema of a serialisable class, 0xFFFF otherwise
  CObject* (*m_pfnCreateObject)();    // null unless the class is creatable
  const CRuntimeClass* m_pBaseClass;  // null for CObject

  // A new object of this class (default constructor), or null when the class is not
  // creatable or memory is short.
  CObject* CreateObject() const;
  // TRUE when this class is base or derives from it (directly or not); FALSE for null.
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;

  // The registered class of that name, or null. Names compare exactly (case-sensitive);
  // wide names are compared after conversion to UTF-8. Null names give null.
  static const CRuntimeClass* FromName(const char* className);
  static const CRuntimeClass* FromName(const wchar_t* className);
  // FromName(name)->CreateObject(), or null when unknown or not creatable.
  static CObject* CreateObject(const char* className);
  static CObject* CreateObject(const wchar_t* className);
};

class QUARLEN_API CObject {
 public:
  static const CRuntimeClass classCObject;

  // Virtual slots in this order: GetRuntimeClass, destructor, Serialize, AssertValid, Dump.
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  // The base stores and loads nothing.
  virtual void Serialize(CArchive& ar);
  // Diagnostic hooks; the base does nothing.
  virtual void AssertValid() const;
  virtual void Dump(CDumpContext& dc) const;

  // TRUE when the object's class is pClass or derives from it.
  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  // TRUE when the class was declared with DECLARE_SERIAL (schema other than 0xFFFF).
  BOOL IsSerializable() const;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

namespace quarlen::detail {
// Enters a class in the registry for the lifetime of this object (emitted by IMPLEMENT_*).
class QUARLEN_API RuntimeClassRegistrar {
 public:
  explicit RuntimeClassRegistrar(const CRuntimeClass* cls);
  ~RuntimeClassRegistrar();
  RuntimeClassRegistrar(const RuntimeClassRegistrar&) = delete;
  RuntimeClassRegistrar& operator=(const RuntimeClassRegistrar&) = delete;

 private:
  const CRuntimeClass* m_class;
};
}  // namespace quarlen::detail

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// In the class body (public section is restored to whatever follows by the caller).
#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

// In one .cpp file, at namespace scope.
#define QUARLEN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)              \
  const CRuntimeClass class_name::class##class_name = {                                          \
      #class_name, static_cast<int>(sizeof(class_name)), schema, create,                         \
      RUNTIME_CLASS(base_class_name)};                                                           \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
  namespace {                                                                                    \
  const quarlen::detail::RuntimeClassRegistrar quarlen_registrar_##class_name(                   \
      RUNTIME_CLASS(class_name));                                                                \
  }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  QUARLEN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                        \
  CObject* class_name::CreateObject() { return new (std::nothrow) class_name; } \
  QUARLEN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, &class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                   \
  CObject* class_name::CreateObject() { return new (std::nothrow) class_name; } \
  QUARLEN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, &class_name::CreateObject)
