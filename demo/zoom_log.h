#pragma once
// The demo's zoom log: after each zoom, one line formatted with the library's zoom texts of the
// string table, handed to a sink (the status line and the standard output).
//
//   - a zoom bar moved its ruler:               text 1 (axis, start, end);
//   - the scan ruler alone changed otherwise:   text 3 (axis, left, right);
//   - the depth ruler alone changed otherwise:  text 5 (axis, top, bottom);
//   - both changed (a zoom band in both axes):  text 8 (top, bottom, left, right).
//
// The log compares the rulers with what it saw last. A zoom bar tells it at once (the bar has set
// its ruler by the time its mouse message returns); every other change reaches it as the rulers'
// change event, delivered to its own (hidden) window by the event service.
#include <functional>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "cursors/zoom_bar.h"
#include "platform/window.h"

namespace demo {

class ZoomLog : public CWnd {
 public:
  using Sink = std::function<void(const CString& line)>;

  ZoomLog() = default;
  ~ZoomLog() override;

  // The rulers and display units watched (not owned). Call Detach before the rulers go.
  void Create(CWnd* parent, CRuler* scan, CUnit* scanUnit, CRuler* depth, CUnit* depthUnit,
              Sink sink);
  void Detach();
  // Writes a line if the rulers moved since the last look; bar: the ruler of the zoom bar that
  // moved it, or null.
  void Check(const CRuler* bar);

 protected:
  afx_msg LRESULT OnRulerChanged(WPARAM rulerId, LPARAM unused);
  DECLARE_MESSAGE_MAP()

 private:
  struct Window {
    double start = 0.0, end = 0.0;
  };
  static Window Read(const CRuler* r) { return {r->GetStart(), r->GetEnd()}; }
  static bool Moved(const Window& a, const Window& b);

  CRuler* m_scan = nullptr;
  CRuler* m_depth = nullptr;
  CUnit* m_scanUnit = nullptr;
  CUnit* m_depthUnit = nullptr;
  Window m_scanSeen, m_depthSeen;
  Sink m_sink;
  unsigned m_client = 0;
  unsigned m_scanReg = 0;
  unsigned m_depthReg = 0;
};

// A zoom bar that tells the zoom log after each mouse action.
class LoggedZoomBar : public CZoomBar {
 public:
  void SetLog(ZoomLog* log) { m_log = log; }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  ZoomLog* m_log = nullptr;
};

}  // namespace demo
