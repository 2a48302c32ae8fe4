#pragma once
// The usual keys of a zoom history in the demo's window: Alt+Left goes back, Alt+Right forward,
// Home to the home view. The keys are heard wherever the focus is inside the window (the views,
// the zoom bars, the tool bar), not in other windows such as the zoom bar's limits dialog.
#include <QObject>
#include <Qt>

#include "platform/window.h"
#include "volume/zoom_history.h"

class QEvent;

namespace demo {

class ZoomHistoryKeys : public QObject {
 public:
  enum class Step { kNone, kBack, kForward, kHome };

  // Listens to the application's key presses for `window` (not owned; both must outlive this).
  ZoomHistoryKeys(CWnd& window, CZoomHistory& history);
  ~ZoomHistoryKeys() override;

  // The step a key press stands for.
  static Step StepOf(int key, Qt::KeyboardModifiers modifiers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CWnd& m_window;
  CZoomHistory& m_history;
};

}  // namespace demo
