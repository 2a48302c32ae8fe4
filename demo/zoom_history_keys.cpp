#include "demo/zoom_history_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace demo {

ZoomHistoryKeys::ZoomHistoryKeys(CWnd& window, CZoomHistory& history)
    : m_window(window), m_history(history) {
  qApp->installEventFilter(this);
}

ZoomHistoryKeys::~ZoomHistoryKeys() { qApp->removeEventFilter(this); }

ZoomHistoryKeys::Step ZoomHistoryKeys::StepOf(int key, Qt::KeyboardModifiers modifiers) {
  // The keypad's keys count as the main ones.
  const Qt::KeyboardModifiers m = modifiers & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
  if (m == Qt::AltModifier && key == Qt::Key_Left) return Step::kBack;
  if (m == Qt::AltModifier && key == Qt::Key_Right) return Step::kForward;
  if (m == Qt::NoModifier && key == Qt::Key_Home) return Step::kHome;
  return Step::kNone;
}

bool ZoomHistoryKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  QWidget* frame = m_window.GetWidget();
  if (frame == nullptr || static_cast<QWidget*>(watched)->window() != frame) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (StepOf(key->key(), key->modifiers())) {
    case Step::kBack:
      m_history.Back();
      return true;
    case Step::kForward:
      m_history.Forward();
      return true;
    case Step::kHome:
      m_history.Home();
      return true;
    case Step::kNone:
      break;
  }
  return false;
}

}  // namespace demo
