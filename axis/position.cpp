#include "axis/position.h"

#include <cmath>
#include <cwchar>

#include "notify/event_service.h"

namespace quarlen::detail {
namespace {

// Both position events name the position in wParam and lParam.
void SendPositionEvent(unsigned number, const CPosition* position) {
  const std::uintptr_t id = position->GetID();
  event_Send(number, id, id, event_flagObject);
}

}  // namespace
}  // namespace quarlen::detail

// ---------------------------------------------------------------------------------------------
// CAxe

CAxe::CAxe() = default;

CAxe::CAxe(const CAxe& other) : CObject() { *this = other; }

CAxe& CAxe::operator=(const CAxe& other) {
  if (this == &other) return *this;
  m_start = other.m_start;
  m_range = other.m_range;
  m_units = other.m_units;
  m_limitsEnabled = other.m_limitsEnabled;
  std::wmemcpy(m_name, other.m_name, kMaxName + 1);
  return *this;
}

CAxe::~CAxe() = default;

void CAxe::CopyName(const wchar_t* name) {
  std::wmemset(m_name, 0, kMaxName + 1);
  if (name == nullptr) return;
  const std::size_t length = std::wcslen(name);
  std::wmemcpy(m_name, name, length < kMaxName ? length : kMaxName);
}

void CAxe::Create(const wchar_t* name, std_enumUnits units, double start, double range) {
  Create(name, units);
  SetStart(start);
  SetRange(range);
}

void CAxe::Create(const wchar_t* name, std_enumUnits units) {
  CopyName(name);
  m_units = units;
}

bool CAxe::operator==(const CAxe& other) const {
  return m_name[0] != 0 && other.m_name[0] != 0 && std::wcscmp(m_name, other.m_name) == 0 &&
         m_units == other.m_units;
}

void CAxe::SetStart(double start) {
  if (!std::isfinite(start)) return;
  m_start = start;
  m_limitsEnabled = 1;
}

void CAxe::SetRange(double range) {
  if (!std::isfinite(range)) return;
  m_range = range;
  m_limitsEnabled = 1;
}

void CAxe::SetEnd(double end) {
  if (!std::isfinite(end) || !std::isfinite(end - m_start)) return;
  m_range = end - m_start;
  m_limitsEnabled = 1;
}

int CAxe::IsValueInAxe(double x) const { return (x >= m_start && x - m_start <= m_range) ? 1 : 0; }

// ---------------------------------------------------------------------------------------------
// CPosition

IMPLEMENT_DYNAMIC(CPosition, CObject)

CPosition::CPosition() = default;

CPosition::~CPosition() = default;

void CPosition::Create(const wchar_t* name, CAxe* axis, double value, int notify) {
  m_name = name != nullptr ? name : L"";
  m_axis = axis;
  if (std::isfinite(value)) m_value = value;
  m_valid = true;
  if (notify) quarlen::detail::SendPositionEvent(event_positionChanged, this);
}

void CPosition::SetValue(double value, int notify) {
  if (!std::isfinite(value)) return;
  m_previousValue = m_value.load();
  if (m_valid && value == m_value) return;
  m_valid = true;
  m_value = value;
  if (notify) quarlen::detail::SendPositionEvent(event_positionChanged, this);
}

void CPosition::LogPosition() { quarlen::detail::SendPositionEvent(event_positionLog, this); }

// ---------------------------------------------------------------------------------------------
// CPosLink

CPosLink::CPosLink() = default;

CPosLink::~CPosLink() {
  if (m_link != nullptr && m_link->m_link == this) m_link->UnLink();
  m_link = nullptr;
}

void CPosLink::Create(const wchar_t* name, CAxe* axis, double value, CPosLink* partner,
                      int notify) {
  // A position is never its own partner: moving "both" would move it twice.
  if (partner != nullptr && partner != this) {
    // Undo the old pairings on both sides first, so that no position is left pointing at one
    // that has moved on (and that may be destroyed later).
    if (m_link != nullptr && m_link != partner && m_link->m_link == this) m_link->UnLink();
    CPosLink* former = partner->m_link;
    if (former != nullptr && former != this && former->m_link == partner) former->UnLink();
    partner->Link(this);
    Link(partner);
  }
  CPosition::Create(name, axis, value, notify);
}

void CPosLink::SetValue(double x, int propagate, int notify) {
  if (!std::isfinite(x)) return;
  CAxe* axis = GetAxe();
  if (!propagate || m_link == nullptr) {
    CPosition::SetValue(x, notify);
  } else {
    const double v = GetValue();
    const double p = m_link->GetValue();
    const double s = axis != nullptr ? axis->GetStart() : 0.0;
    const double r = axis != nullptr ? axis->GetRange() : 0.0;
    const double g = x - v + p;  // the partner's value after the same move
    if (axis == nullptr || (s <= g && g - s <= r)) {
      // Without an axis there is nothing to keep the partner inside.
      m_link->SetValue(g, 0, notify);
      CPosition::SetValue(x, notify);
    } else if (g < s) {
      m_link->SetValue(s, 0, notify);
      CPosition::SetValue(s + (v - p), notify);
    } else {
      m_link->SetValue(s + r, 0, notify);
      CPosition::SetValue((s + r) - (p - v), notify);
    }
  }
  if (m_log) LogPosition();
}
