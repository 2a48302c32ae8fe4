#include "cursors/pick_position.h"

#include <cmath>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/position.h"
#include "notify/consumer_list.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CPickPosition, CGODynamic)

class CPickPosition::Guard {
 public:
  explicit Guard(const CPickPosition* p) : m_pick(p) { m_pick->Lock(); }
  ~Guard() { m_pick->Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  const CPickPosition* m_pick;
};

namespace {

double SnapToGrid(int enabled, double step, double origin, double x) {
  // A zero or non-finite grid cannot snap: the value stays.
  if (!enabled || step == 0.0 || !std::isfinite(step) || !std::isfinite(origin)) return x;
  return std::floor((x - origin) / step + 0.5) * step + origin;
}

}  // namespace

CPickPosition::CPickPosition() {
  SetCursor(reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_ARROW)));
}

CPickPosition::~CPickPosition() = default;

int CPickPosition::Create(gview_graphicViewConfig* config, CConsumerList* list, int index,
                          CPosition* first, CPosition* second) {
  Guard g(this);
  m_config = config;
  m_consumers = list;
  m_index = index;
  m_first = first;
  m_second = second;
  return 1;
}

void CPickPosition::SetPositions(CPosition* first, CPosition* second) {
  Guard g(this);
  m_first = first;
  m_second = second;
}

void CPickPosition::GetPositions(CPosition** first, CPosition** second) const {
  Guard g(this);
  if (first != nullptr) *first = m_first;
  if (second != nullptr) *second = m_second;
}

void CPickPosition::EnableStepX(int enable, double step, double origin) {
  Guard g(this);
  m_stepXEnabled = enable;
  m_stepX = step;
  m_stepXOrigin = origin;
}

void CPickPosition::EnableStepY(int enable, double step, double origin) {
  Guard g(this);
  m_stepYEnabled = enable;
  m_stepY = step;
  m_stepYOrigin = origin;
}

double CPickPosition::NearestX(double x) const {
  return SnapToGrid(m_stepXEnabled, m_stepX, m_stepXOrigin, x);
}

double CPickPosition::NearestY(double y) const {
  return SnapToGrid(m_stepYEnabled, m_stepY, m_stepYOrigin, y);
}

void CPickPosition::SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) {
  {
    Guard g(this);
    const CAxe* hAxis = x != nullptr ? x->GetAxe() : nullptr;
    const CAxe* vAxis = y != nullptr ? y->GetAxe() : nullptr;
    const auto same = [](const CAxe* a, const CAxe* b) {
      return a != nullptr && b != nullptr && *a == *b;
    };
    if (m_first != nullptr) {
      m_swapped = same(m_first->GetAxe(), hAxis) ? 0 : 1;
    } else if (m_second != nullptr) {
      m_swapped = same(m_second->GetAxe(), vAxis) ? 0 : 1;
    }
  }
  CGObject::SetRuler(x, xGrow, y, yGrow);
}

void CPickPosition::OnDraw(CDC*, CRect*) {}

void CPickPosition::AckNewData() {}

int CPickPosition::IsOnTop(CPoint*) const { return 1; }

// The positions are written without the object's lock: they send events 1619 and 1623, and the
// event service calls objects back under its own lock.
int CPickPosition::OnUpdateCapture(CPoint* pt, unsigned) {
  if (pt == nullptr) return 1;
  CPosition* first;
  CPosition* second;
  double a;
  double b;
  bool log;
  {
    Guard g(this);
    const double px = GetXScale()->PixelToPos(pt->x);
    const double py = GetYScale()->PixelToPos(pt->y);
    a = NearestX(m_swapped ? py : px);
    b = NearestY(m_swapped ? px : py);
    first = m_first;
    second = m_second;
    log = m_log != 0;
  }
  if (first != nullptr) {
    first->SetValue(a, 1);
    if (log) first->LogPosition();
  }
  if (second != nullptr) {
    second->SetValue(b, 1);
    if (log) second->LogPosition();
  }
  return 1;
}

int CPickPosition::OnBeginCapture(CPoint* pt, unsigned flags) {
  if (!IsCaptureEnabled()) return m_captureInProgress;
  m_captureInProgress = 1;
  OnUpdateCapture(pt, flags);
  CConsumerList* tell = nullptr;
  {
    Guard g(this);
    if (m_config != nullptr) {
      std::int32_t& mark = m_index != 0 ? m_config->picked1 : m_config->picked2;
      if (mark == 0) {
        mark = 1;
        ++m_config->changeCounter;
        tell = m_consumers;
      }
    }
  }
  if (tell != nullptr) tell->SendMessageW();
  return m_captureInProgress;
}

void CPickPosition::OnEndCapture(CPoint* pt, unsigned) {
  {
    Guard g(this);
    m_log = 1;
  }
  OnUpdateCapture(pt, 0);
  Guard g(this);
  m_log = 0;
  m_captureInProgress = 0;
}
