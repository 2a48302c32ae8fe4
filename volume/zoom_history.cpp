#include "volume/zoom_history.h"

#include <algorithm>
#include <utility>

#include "axis/position.h"
#include "axis/ruler.h"
#include "platform/numeric.h"
#include "volume/volume_set.h"

IMPLEMENT_DYNAMIC(CZoomHistory, CObject)

namespace {

template <typename T>
bool Holds(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

CZoomHistory::CZoomHistory() : m_owner(std::this_thread::get_id()), m_consumers(this, 0) {
  CZoomGesture::RegisterObserver(this);
}

CZoomHistory::~CZoomHistory() { CZoomGesture::UnregisterObserver(this); }

// ---- The rulers ----

void CZoomHistory::AddRuler(CRuler* ruler) {
  if (ruler == nullptr || Holds(m_rulers, ruler)) return;
  m_rulers.push_back(ruler);
}

void CZoomHistory::RemoveRuler(CRuler* ruler) {
  const auto at = std::find(m_rulers.begin(), m_rulers.end(), ruler);
  if (at == m_rulers.end()) return;
  m_rulers.erase(at);
  if (Holds(Rulers(), ruler)) return;  // still one of the group's
  const Availability before = Available();
  const auto strip = [ruler](Entry& e) {
    e.erase(
        std::remove_if(e.begin(), e.end(), [ruler](const Window& w) { return w.ruler == ruler; }),
        e.end());
  };
  for (std::deque<Entry>* list : {&m_back, &m_forward}) {
    for (Entry& e : *list) strip(e);
    list->erase(
        std::remove_if(list->begin(), list->end(), [](const Entry& e) { return e.empty(); }),
        list->end());
  }
  strip(m_home);
  strip(m_gestureStart);
  NotifyIfChanged(before);
}

void CZoomHistory::SetGroup(CVolumeSet* set, const vset_groupId& id) {
  m_groupSet = set;
  m_groupId = id;
}

std::vector<CRuler*> CZoomHistory::Rulers() const {
  std::vector<CRuler*> rulers = m_rulers;
  if (m_groupSet == nullptr || m_groupId.IsPrivate()) return rulers;
  for (int axis = 0; axis < zel_axisCount; ++axis) {
    for (CRulerEx* r : m_groupSet->m_rulers[axis]) {
      vset_groupId id;
      r->GetInfo(&id, nullptr, nullptr);
      if (id.Matches(m_groupId) && !Holds(rulers, static_cast<CRuler*>(r))) rulers.push_back(r);
    }
  }
  return rulers;
}

CZoomHistory::Entry CZoomHistory::Current() const {
  Entry entry;
  for (CRuler* r : Rulers()) {
    Window w{r, 0.0, 0.0};
    r->GetWindow(w.start, w.range);
    entry.push_back(w);
  }
  return entry;
}

// The recorded home of each ruler, else its whole axis: the axis descriptor's range while its
// limits are enabled, otherwise the ruler's own limits.
CZoomHistory::Entry CZoomHistory::HomeWindows() const {
  Entry entry;
  for (CRuler* r : Rulers()) {
    const auto home =
        std::find_if(m_home.begin(), m_home.end(), [r](const Window& w) { return w.ruler == r; });
    if (home != m_home.end()) {
      entry.push_back(*home);
      continue;
    }
    Window w{r, 0.0, 0.0};
    const CAxe* axe = r->GetAxe();
    if (axe != nullptr && axe->LimitsEnabled() == 1) {
      w.start = axe->GetStart();
      w.range = axe->GetRange();
    } else {
      double lo = 0.0, hi = 0.0;
      r->GetLimits(lo, hi);
      w.start = lo;
      w.range = hi - lo;
    }
    entry.push_back(w);
  }
  return entry;
}

// The windows of `before` whose ruler shows another window (not nearly equal) in `after`;
// rulers missing from either are left out.
CZoomHistory::Entry CZoomHistory::Changed(const Entry& before, const Entry& after) {
  Entry changed;
  for (const Window& b : before) {
    const auto a = std::find_if(after.begin(), after.end(),
                                [&b](const Window& w) { return w.ruler == b.ruler; });
    if (a == after.end()) continue;
    if (!IsNearlyEqual(a->start, b.start) || !IsNearlyEqual(a->range, b.range)) {
      changed.push_back(b);
    }
  }
  return changed;
}

CZoomHistory::Entry CZoomHistory::CurrentOf(const Entry& entry) const {
  const std::vector<CRuler*> rulers = Rulers();
  Entry current;
  for (const Window& w : entry) {
    if (!Holds(rulers, w.ruler)) continue;
    Window now{w.ruler, 0.0, 0.0};
    w.ruler->GetWindow(now.start, now.range);
    current.push_back(now);
  }
  return current;
}

void CZoomHistory::Apply(const Entry& entry) {
  const std::vector<CRuler*> rulers = Rulers();
  for (const Window& w : entry) {
    if (Holds(rulers, w.ruler)) w.ruler->Set(w.start, w.range, 0);
  }
  // A step taken inside a gesture is not that gesture's change.
  if (m_inGesture) m_gestureStart = Current();
}

// ---- Recording ----

void CZoomHistory::OnZoomGestureBegin() {
  if (!OnOwnerThread()) return;
  m_inGesture = true;
  m_gestureStart = Current();
}

void CZoomHistory::OnZoomGestureEnd() {
  if (!OnOwnerThread() || !m_inGesture) return;
  m_inGesture = false;
  Entry changed = Changed(m_gestureStart, Current());
  m_gestureStart.clear();
  if (!changed.empty()) Record(std::move(changed));
}

void CZoomHistory::Record(Entry entry) {
  const Availability before = Available();
  m_forward.clear();
  m_back.push_back(std::move(entry));
  Trim();
  NotifyIfChanged(before);
}

void CZoomHistory::Trim() {
  while (m_back.size() + m_forward.size() > static_cast<std::size_t>(m_maxLength)) {
    if (!m_back.empty()) {
      m_back.pop_front();
    } else {
      m_forward.pop_front();
    }
  }
}

void CZoomHistory::NotifyIfChanged(Availability before) {
  if (!(Available() == before)) m_consumers.SendMessageW();
}

// ---- Steps ----

BOOL CZoomHistory::Back() { return Step(m_back, m_forward); }

BOOL CZoomHistory::Forward() { return Step(m_forward, m_back); }

BOOL CZoomHistory::Step(std::deque<Entry>& from, std::deque<Entry>& to) {
  if (from.empty()) return FALSE;
  const Availability before = Available();
  Entry target = std::move(from.back());
  from.pop_back();
  to.push_back(CurrentOf(target));
  Apply(target);
  NotifyIfChanged(before);
  return TRUE;
}

BOOL CZoomHistory::Home() {
  const Entry target = HomeWindows();
  if (Changed(Current(), target).empty()) return FALSE;
  // Recorded like any gesture, by the gesture's end (also in the other histories of the
  // thread that hold these rulers).
  CZoomGesture gesture;
  const std::vector<CRuler*> rulers = Rulers();
  for (const Window& w : target) {
    if (Holds(rulers, w.ruler)) w.ruler->Set(w.start, w.range, 0);
  }
  return TRUE;
}

void CZoomHistory::SetHome() { m_home = Current(); }

void CZoomHistory::Clear() {
  const Availability before = Available();
  m_back.clear();
  m_forward.clear();
  NotifyIfChanged(before);
}

void CZoomHistory::SetMaxLength(int length) {
  if (length < 1) return;
  const Availability before = Available();
  m_maxLength = length;
  Trim();
  NotifyIfChanged(before);
}
