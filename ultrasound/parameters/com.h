#pragma once
// The reference-counting object model of the ultrasound parameter component: the root
// interface IUnknown, interface ids, the component error and the owning smart pointer.
//
// The component reports every property read with a status (HRESULT) and hands out interfaces
// with a reference already taken; callers give it back with Release. _com_ptr_t does that
// bookkeeping, and _com_issue_errorex turns a failure status into a _com_error exception.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/export.h"
#include "platform/types.h"

// Identity of an interface: a number unique among the component's interfaces, and its name
// (carried by _com_error so that a failure says which interface reported it).
struct IID {
  std::uint32_t value;
  const char* name;
};
constexpr bool operator==(const IID& a, const IID& b) { return a.value == b.value; }
using REFIID = const IID&;

// The id of interface I (every interface declares `static constexpr IID iid`).
template <class I>
constexpr const IID& __uuidof_t() {
  return I::iid;
}

// Root of every interface of the component.
struct QUARLEN_API IUnknown {
  static constexpr IID iid{0x0000, "IUnknown"};
  // Writes the object as interface `id` with a new reference to *out, or null and
  // E_NOINTERFACE when the object does not implement it.
  virtual HRESULT QueryInterface(REFIID id, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

// The component error: a failure status and the interface that reported it.
class QUARLEN_API _com_error : public std::runtime_error {
 public:
  _com_error(HRESULT hr, const IID& source);
  HRESULT Error() const { return m_hr; }
  const IID& Source() const { return m_source; }

 private:
  HRESULT m_hr;
  IID m_source;
};

// Throws _com_error(hr) for the interface `id` of `source` (which may be null).
[[noreturn]] QUARLEN_API void _com_issue_errorex(HRESULT hr, IUnknown* source, REFIID id);

// Owning pointer to an interface of the component.
//  - copying takes a reference (AddRef) on the target;
//  - assigning a different target takes a reference on the new one, then releases the old;
//  - assigning the pointer it already holds changes nothing;
//  - destroying or clearing it releases the target.
// operator-> on a null pointer raises _com_error(E_POINTER).
template <class I>
class _com_ptr_t {
 public:
  using Interface = I;

  _com_ptr_t() = default;
  _com_ptr_t(std::nullptr_t) {}
  // Takes a new reference on p (addRef true) or adopts the caller's reference (false).
  explicit _com_ptr_t(I* p, bool addRef = true) : m_p(p) {
    if (m_p && addRef) m_p->AddRef();
  }
  _com_ptr_t(const _com_ptr_t& o) : m_p(o.m_p) {
    if (m_p) m_p->AddRef();
  }
  _com_ptr_t(_com_ptr_t&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
  // From a pointer to a derived type (an implementation or a derived interface).
  template <class J>
  requires std::is_convertible_v<J*, I*> _com_ptr_t(const _com_ptr_t<J>& o)
      : m_p(o.GetInterfacePtr()) {
    if (m_p) m_p->AddRef();
  }
  ~_com_ptr_t() { Release(); }

  _com_ptr_t& operator=(const _com_ptr_t& o) { return Assign(o.m_p); }
  _com_ptr_t& operator=(_com_ptr_t&& o) noexcept {
    if (this != &o) {
      I* old = std::exchange(m_p, std::exchange(o.m_p, nullptr));
      if (old) old->Release();
    }
    return *this;
  }
  _com_ptr_t& operator=(std::nullptr_t) {
    Release();
    return *this;
  }
  template <class J>
  requires std::is_convertible_v<J*, I*> _com_ptr_t& operator=(const _com_ptr_t<J>& o) {
    return Assign(o.GetInterfacePtr());
  }

  // Adopts a reference the caller already owns.
  void Attach(I* p) {
    I* old = std::exchange(m_p, p);
    if (old) old->Release();
  }
  // Gives the held reference to the caller.
  I* Detach() { return std::exchange(m_p, nullptr); }
  // Clears the pointer first, then releases the target.
  void Release() {
    if (I* old = std::exchange(m_p, nullptr)) old->Release();
  }
  // Releases the target and returns the address for an out-parameter that will hold a new
  // reference.
  I** ReleaseAndGetAddressOf() {
    Release();
    return &m_p;
  }

  I* GetInterfacePtr() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  I* operator->() const {
    if (!m_p) _com_issue_errorex(E_POINTER, nullptr, __uuidof_t<I>());
    return m_p;
  }
  I& operator*() const { return *operator->(); }
  friend bool operator==(const _com_ptr_t& a, const _com_ptr_t& b) { return a.m_p == b.m_p; }
  friend bool operator==(const _com_ptr_t& a, std::nullptr_t) { return a.m_p == nullptr; }

 private:
  _com_ptr_t& Assign(I* p) {
    if (p != m_p) {
      if (p) p->AddRef();
      I* old = std::exchange(m_p, p);
      if (old) old->Release();
    }
    return *this;
  }

  I* m_p = nullptr;
};

using IUnknownPtr = _com_ptr_t<IUnknown>;
