#include "demo/zoom_log.h"

#include "notify/event_service.h"
#include "platform/numeric.h"

namespace demo {

BEGIN_MESSAGE_MAP(ZoomLog, CWnd)
ON_MESSAGE(event_rulerChanged, &ZoomLog::OnRulerChanged)
END_MESSAGE_MAP()

ZoomLog::~ZoomLog() { Detach(); }

void ZoomLog::Create(CWnd* parent, CRuler* scan, CUnit* scanUnit, CRuler* depth, CUnit* depthUnit,
                     Sink sink) {
  CWnd::Create(nullptr, L"", WS_CHILD, CRect(0, 0, 0, 0), parent, 0);
  m_scan = scan;
  m_depth = depth;
  m_scanUnit = scanUnit;
  m_depthUnit = depthUnit;
  m_sink = std::move(sink);
  m_scanSeen = Read(scan);
  m_depthSeen = Read(depth);
  m_client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(m_hWnd), nullptr, nullptr,
                                  event_kindWindow);
  if (m_client != 0) {
    m_scanReg = event_RegisterEvent(event_rulerChanged, m_client, event_libraryControl, 0,
                                    scan->GetID(), 0, event_any);
    m_depthReg = event_RegisterEvent(event_rulerChanged, m_client, event_libraryControl, 0,
                                     depth->GetID(), 0, event_any);
  }
}

void ZoomLog::Detach() {
  if (m_scanReg != 0) event_UnregisterEvent(event_rulerChanged, m_scanReg);
  if (m_depthReg != 0) event_UnregisterEvent(event_rulerChanged, m_depthReg);
  if (m_client != 0) event_UnregisterClient(m_client);
  m_client = m_scanReg = m_depthReg = 0;
  m_scan = m_depth = nullptr;
}

bool ZoomLog::Moved(const Window& a, const Window& b) {
  return !quarlen::IsNearlyEqual(a.start, b.start) || !quarlen::IsNearlyEqual(a.end, b.end);
}

void ZoomLog::Check(const CRuler* bar) {
  if (m_scan == nullptr || m_depth == nullptr) return;
  const Window scan = Read(m_scan), depth = Read(m_depth);
  const bool scanMoved = Moved(scan, m_scanSeen), depthMoved = Moved(depth, m_depthSeen);
  m_scanSeen = scan;
  m_depthSeen = depth;
  if (!scanMoved && !depthMoved) return;
  const int sp = m_scanUnit->GetDisplayPrecision(), dp = m_depthUnit->GetDisplayPrecision();
  const double left = m_scanUnit->ConvertFromBase(scan.start);
  const double right = m_scanUnit->ConvertFromBase(scan.end);
  const double top = m_depthUnit->ConvertFromBase(depth.start);
  const double bottom = m_depthUnit->ConvertFromBase(depth.end);
  const wchar_t* su = m_scanUnit->GetShortName();
  const wchar_t* du = m_depthUnit->GetShortName();
  CString line;
  if (bar == m_scan || bar == m_depth) {
    const bool isScan = bar == m_scan;
    line.Format(1u, bar->GetName(), isScan ? sp : dp, isScan ? left : top, isScan ? su : du,
                isScan ? sp : dp, isScan ? right : bottom, isScan ? su : du);
  } else if (scanMoved && depthMoved) {
    line.Format(8u, dp, top, du, dp, bottom, du, sp, left, su, sp, right, su);
  } else if (scanMoved) {
    line.Format(3u, m_scan->GetName(), sp, left, su, sp, right, su);
  } else {
    line.Format(5u, m_depth->GetName(), dp, top, du, dp, bottom, du);
  }
  if (m_sink) m_sink(line);
}

LRESULT ZoomLog::OnRulerChanged(WPARAM, LPARAM) {
  Check(nullptr);
  return 1;
}

LRESULT LoggedZoomBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CZoomBar::WindowProc(msg, wParam, lParam);
  const bool press = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK;
  if (press && m_log != nullptr) m_log->Check(GetRuler());
  return result;
}

}  // namespace demo
