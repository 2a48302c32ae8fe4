// Window work until idle: rounds of the GUI thread's event loop, each ending behind a marker
// event of the lowest priority, until a round finds nothing but its marker to handle.
#include <QCoreApplication>
#include <QEvent>

#include "platform/detail/window_registry.h"
#include "platform/detail/window_work.h"

namespace quarlen::detail {
namespace {

constexpr int kMaxRounds = 1000;

// One round: the events queued when it begins, up to a marker posted behind them. Events that
// handling them posts are queued behind the marker (Qt appends what is posted while it sends
// posted events), so they belong to the next round. An application event filter sees every
// event delivered on the GUI thread, posted or sent, Qt's own (timers, screen updates, window
// system events) included.
class Round : public QObject {
 public:
  // Runs the round; true when it handled nothing but its marker.
  bool RunQuiet() {
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(this);
    QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority - 10);
    while (!m_reached) QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->removeEventFilter(this);
    return !m_handledOther;
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    m_reached = true;
    return true;
  }
  bool eventFilter(QObject* receiver, QEvent*) override {
    if (receiver != this) m_handledOther = true;
    return false;
  }

 private:
  bool m_reached = false;
  bool m_handledOther = false;
};

}  // namespace

bool ProcessWindowWork(std::chrono::steady_clock::time_point deadline) {
  if (!OnGuiThread()) return false;
  for (int round = 0; round < kMaxRounds; ++round) {
    Round r;
    // WindowWorkPending as well: a paint or a message another thread sent may be on its way
    // to the queue (its flag is set before the event that carries it is posted).
    if (r.RunQuiet() && !WindowWorkPending()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
  return false;
}

}  // namespace quarlen::detail
