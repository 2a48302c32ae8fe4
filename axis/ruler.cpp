#include "axis/ruler.h"

#include <cmath>
#include <cwchar>

#include "axis/position.h"
#include "notify/event_service.h"
#include "platform/numeric.h"

class CRuler::Guard {
 public:
  explicit Guard(const CRuler& ruler) : m_ruler(ruler) { m_ruler.Lock(); }
  ~Guard() { m_ruler.Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  const CRuler& m_ruler;
};

// ---------------------------------------------------------------------------------------------
// CRuler

IMPLEMENT_DYNCREATE(CRuler, CObject)

CRuler::CRuler() = default;

CRuler::~CRuler() = default;

bool CRuler::ValidateState() const { return true; }

void CRuler::Lock() const {
  ValidateState();
  m_lock.lock();
}

void CRuler::Unlock() const {
  ValidateState();
  m_lock.unlock();
}

void CRuler::SendChanged() const {
  event_Send(event_rulerChanged, GetID(), reinterpret_cast<std::uintptr_t>(this), event_flagRuler);
}

void CRuler::CopyName(const wchar_t* name) {
  if (name == nullptr) {
    m_name.reset();
  } else {
    m_name.emplace(name);
  }
}

bool CRuler::AxisLimitsEnabled() const { return m_axe != nullptr && m_axe->LimitsEnabled() == 1; }

void CRuler::RefreshLimitsFromAxis() {
  m_numbers.limitMin = m_axe->GetStart();
  m_numbers.limitMax = m_axe->GetStart() + m_axe->GetRange();
}

void CRuler::Create(const wchar_t* name, CAxe* axe, double displayOffset, int circularModulo) {
  {
    Guard guard(*this);
    CopyName(name);
    m_axe = axe;
    Numbers& n = m_numbers;
    if (axe != nullptr) {
      n.start = axe->GetStart();
      n.range = axe->GetRange();
    }
    n.limitMin = n.start;
    n.limitMax = n.start + n.range;
    n.displayOffset = std::isfinite(displayOffset) ? displayOffset : 0.0;
    n.circularModulo = circularModulo;
  }
  SendChanged();
}

void CRuler::SetStart(const double& start) {
  const double x = start;  // the reference may name one of our own fields
  if (!std::isfinite(x)) return;
  bool changed = false;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (IsNearlyEqual(x, n.start)) return;
    const Numbers before = n;
    n.start = x;
    if (AxisLimitsEnabled()) {
      RefreshLimitsFromAxis();
      if (x < n.limitMin) n.start = n.limitMin;
      if (x > n.limitMax) n.start = n.limitMax;
    }
    changed = !(before == n);
  }
  if (changed) SendChanged();
}

void CRuler::SetRange(const double& range) {
  const double r = range;
  if (!std::isfinite(r)) return;
  bool changed = false;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (IsNearlyEqual(r, n.range)) return;
    const Numbers before = n;
    n.range = r;
    if (AxisLimitsEnabled()) {
      RefreshLimitsFromAxis();
      if (n.start + r > n.limitMax) n.range = n.limitMax - n.start;
    }
    changed = !(before == n);
  }
  if (changed) SendChanged();
}

void CRuler::SetEnd(const double& end) {
  const double e = end;
  if (!std::isfinite(e)) return;
  bool changed = false;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (IsNearlyEqual(e, n.start + n.range)) return;
    const Numbers before = n;
    double v = e;
    if (AxisLimitsEnabled()) {
      RefreshLimitsFromAxis();
      if (e < n.limitMin) v = n.limitMin;
      if (e > n.limitMax) v = n.limitMax;
    }
    n.range = v - n.start;
    changed = !(before == n);
  }
  if (changed) SendChanged();
}

void CRuler::Set(const double& start, const double& range, const int& limitsMode) {
  const double s = start;
  const double r = range;
  const int mode = limitsMode;
  if (!std::isfinite(s) || !std::isfinite(r)) return;
  bool changed = false;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (IsNearlyEqual(s, n.start) && IsNearlyEqual(r, n.range)) return;
    const Numbers before = n;
    n.start = s;
    n.range = r;
    bool clamp = false;
    if (m_axe != nullptr) {
      if (mode == 1) {
        // The ruler's limits become the axis's limits.
        m_axe->SetStart(n.limitMin);
        m_axe->SetRange(n.limitMax - m_axe->GetStart());
        clamp = true;
      } else if (AxisLimitsEnabled()) {
        RefreshLimitsFromAxis();
        clamp = true;
      }
    }
    if (clamp) {
      if (s < n.limitMin) n.start = n.limitMin;
      // Measured from the requested start, also when the start was raised just above.
      if (s + r > n.limitMax) n.range = n.limitMax - s;
    }
    changed = !(before == n);
  }
  if (changed) SendChanged();
}

void CRuler::SetDisplayOffset(const double& offset) {
  const double d = offset;
  if (!std::isfinite(d)) return;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (IsNearlyEqual(d, n.displayOffset)) return;
    n.displayOffset = d;
    if (IsNearlyEqual(d, 0.0)) n.circularModulo = 1;
  }
  SendChanged();
}

void CRuler::SetCircularModulo(const int& modulo) {
  const int m = modulo;
  {
    Guard guard(*this);
    Numbers& n = m_numbers;
    if (m == n.circularModulo) return;
    n.circularModulo = m;
    if (m == 0) n.displayOffset = 0.0;
  }
  SendChanged();
}

void CRuler::SetLimits(const double& min, const double& max) {
  const double lo = min;
  const double hi = max;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  Guard guard(*this);
  m_numbers.limitMin = lo;
  m_numbers.limitMax = hi;
}

void CRuler::GetLimits(double& min, double& max) const {
  Guard guard(*this);
  min = m_numbers.limitMin;
  max = m_numbers.limitMax;
}

double CRuler::GetStart() const {
  Guard guard(*this);
  return m_numbers.start;
}

double CRuler::GetRange() const {
  Guard guard(*this);
  return m_numbers.range;
}

double CRuler::GetEnd() const {
  Guard guard(*this);
  return m_numbers.start + m_numbers.range;
}

void CRuler::GetWindow(double& start, double& range) const {
  Guard guard(*this);
  start = m_numbers.start;
  range = m_numbers.range;
}

double CRuler::GetDisplayOffset() const {
  Guard guard(*this);
  return m_numbers.displayOffset;
}

int CRuler::GetCircularModulo() const {
  Guard guard(*this);
  return m_numbers.circularModulo;
}

int CRuler::GetDrawTicksState() const {
  Guard guard(*this);
  return m_numbers.drawTicks;
}

void CRuler::SetDrawTicksState(const int& state) {
  Guard guard(*this);
  m_numbers.drawTicks = state;
}

const wchar_t* CRuler::GetName() const {
  Guard guard(*this);
  return m_name ? m_name->c_str() : nullptr;
}

CAxe* CRuler::GetAxe() const {
  Guard guard(*this);
  return m_axe;
}

CRuler::State CRuler::Snapshot() const {
  Guard guard(*this);
  return State{m_numbers, m_name, m_axe};
}

bool CRuler::operator==(const CRuler& other) const {
  if (this == &other) return true;
  // Never hold both locks: read the other ruler first, then compare under our own lock.
  const State o = other.Snapshot();
  Guard guard(*this);
  const Numbers& n = m_numbers;
  return n.drawTicks == o.numbers.drawTicks && n.circularModulo == o.numbers.circularModulo &&
         IsNearlyEqual(n.start, o.numbers.start) && IsNearlyEqual(n.range, o.numbers.range) &&
         IsNearlyEqual(n.limitMin, o.numbers.limitMin) &&
         IsNearlyEqual(n.limitMax, o.numbers.limitMax) &&
         n.displayOffset == o.numbers.displayOffset && m_name == o.name;
}

CRuler& CRuler::operator=(const CRuler& other) {
  if (this == &other) return *this;
  State o = other.Snapshot();
  Guard guard(*this);
  m_numbers = o.numbers;
  m_name = std::move(o.name);
  m_axe = o.axe;
  return *this;
}

// ---------------------------------------------------------------------------------------------
// CRulerEx

IMPLEMENT_DYNCREATE(CRulerEx, CRuler)

CRulerEx::CRulerEx() = default;

CRulerEx::~CRulerEx() = default;

void CRulerEx::GetInfo(vset_groupId* id, zel_enumAxis* axis, CVolumeSet** set) const {
  if (id != nullptr) *id = m_groupId;
  if (axis != nullptr) *axis = m_axis;
  if (set != nullptr) *set = m_volumeSet;
}

void CRulerEx::SetInfo(const vset_groupId* id, zel_enumAxis axis, CVolumeSet* set) {
  if (id != nullptr) m_groupId = *id;
  m_axis = axis;
  m_volumeSet = set;
}

CRulerEx& CRulerEx::operator=(const CRulerEx& other) {
  if (this == &other) return *this;
  CRuler::operator=(other);
  m_volumeSet = other.m_volumeSet;
  m_refCount = other.m_refCount;
  m_groupId = other.m_groupId;
  m_axis = other.m_axis;
  return *this;
}
