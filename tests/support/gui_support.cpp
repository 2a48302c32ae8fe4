// Test helpers for windows: pumping, injected mouse input, pixels.
#include "tests/support/gui_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>

#include "platform/detail/device_pixels.h"
#include "platform/detail/window_registry.h"
#include "platform/detail/window_work.h"

namespace quarlen::test {
namespace {

struct Injector {
  QPointer<QWidget> grab;  // Qt's implicit grab while a button is down
  Qt::MouseButtons buttons;
  quint64 clock = 1'000'000;
};
Injector& injector() {
  static Injector i;
  return i;
}

QWidget* WidgetOf(HWND hWnd) {
  auto rec = detail::FindWindowRecord(hWnd);
  return rec ? rec->widget.data() : nullptr;
}

Qt::MouseButton QtButton(Button b) {
  switch (b) {
    case Button::Right:
      return Qt::RightButton;
    case Button::Middle:
      return Qt::MiddleButton;
    default:
      return Qt::LeftButton;
  }
}

void Send(QEvent::Type type, HWND hWnd, POINT client, Qt::MouseButton button, unsigned mods) {
  Injector& in = injector();
  QWidget* w = WidgetOf(hWnd);
  if (!w) return;
  // Client coordinates are device pixels; Qt's events carry logical ones.
  const QPointF global =
      w->mapToGlobal(detail::LogicalPointF(QPoint(client.x, client.y), detail::DeviceRatio(w)));
  QWidget* target = in.grab;
  if (!target) {
    QWidget* top = w->window();
    const QPointF at = top->mapFromGlobal(global);
    target = top->childAt(
        QPoint(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))));
    if (!target) target = top;
  }
  if (type == QEvent::MouseButtonPress) in.buttons |= button;
  if (type == QEvent::MouseButtonRelease) in.buttons &= ~Qt::MouseButtons(button);
  QMouseEvent ev(type, target->mapFromGlobal(global), global, button, in.buttons,
                 Qt::KeyboardModifiers(mods));
  ev.setTimestamp(in.clock);
  QPointer<QWidget> guard = target;
  if (type == QEvent::MouseButtonPress && !in.grab) in.grab = target;
  QCoreApplication::sendEvent(target, &ev);
  if (in.buttons == Qt::NoButton) in.grab = nullptr;
}

}  // namespace

bool PumpUntilIdle() {
  return detail::ProcessWindowWork(std::chrono::steady_clock::now() + std::chrono::seconds(10));
}

bool PumpUntil(const std::function<bool()>& done, int maxRounds) {
  for (int i = 0; i < maxRounds; ++i) {
    if (done()) return true;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return done();
}

void MouseMove(HWND hWnd, POINT client, unsigned modifiers) {
  injector().clock += 10;
  Send(QEvent::MouseMove, hWnd, client, Qt::NoButton, modifiers);
}
void MousePress(HWND hWnd, POINT client, Button button, unsigned modifiers) {
  injector().clock += 1000;
  Send(QEvent::MouseButtonPress, hWnd, client, QtButton(button), modifiers);
}
void MouseRelease(HWND hWnd, POINT client, Button button, unsigned modifiers) {
  injector().clock += 10;
  Send(QEvent::MouseButtonRelease, hWnd, client, QtButton(button), modifiers);
}
void Click(HWND hWnd, POINT client, Button button, unsigned modifiers) {
  MousePress(hWnd, client, button, modifiers);
  MouseRelease(hWnd, client, button, modifiers);
}
void DoubleClick(HWND hWnd, POINT client, Button button, unsigned modifiers) {
  Click(hWnd, client, button, modifiers);
  injector().clock += 40;
  Send(QEvent::MouseButtonPress, hWnd, client, QtButton(button), modifiers);
  // Qt follows the second press with a double-click event of the same moment.
  Send(QEvent::MouseButtonDblClick, hWnd, client, QtButton(button), modifiers);
  MouseRelease(hWnd, client, button, modifiers);
}
void MouseLeaveWidget(HWND hWnd) {
  if (QWidget* w = WidgetOf(hWnd)) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w, &leave);
  }
}
void AdvanceClock(unsigned ms) { injector().clock += ms; }

QImage WindowPixels(HWND hWnd) {
  auto rec = detail::FindWindowRecord(hWnd);
  if (!rec || !rec->surface) return QImage();
  std::lock_guard lock(rec->surface->lock);
  return rec->surface->image.copy();
}

COLORREF PixelAt(HWND hWnd, int x, int y) {
  auto rec = detail::FindWindowRecord(hWnd);
  if (!rec || !rec->surface) return 0xFFFFFFFFu;
  std::lock_guard lock(rec->surface->lock);
  const QImage& img = rec->surface->image;
  if (!img.rect().contains(x, y)) return 0xFFFFFFFFu;
  return detail::ColorOfPixel(img.pixel(x, y));
}

COLORREF ScreenPixelAt(HWND hWnd, int x, int y) {
  QWidget* w = WidgetOf(hWnd);
  QWidget* top = w ? w->window() : nullptr;
  if (!top || !top->windowHandle() || !top->screen()) return 0xFFFFFFFFu;
  const qreal ratio = detail::DeviceRatio(top);
  const QPoint origin = detail::DevicePoint(QPointF(w->mapTo(top, QPoint(0, 0))), ratio);
  const QImage shown = top->screen()->grabWindow(top->winId()).toImage();
  const QPoint p = origin + QPoint(x, y);
  if (!shown.rect().contains(p)) return 0xFFFFFFFFu;
  return detail::ColorOfPixel(shown.pixel(p) | 0xFF000000u);
}

std::string SaveImage(const QImage& image, const char* name) {
  QString dir = qEnvironmentVariable("QUARLEN_TEST_OUTPUT", QStringLiteral("test_output"));
  QDir().mkpath(dir);
  QString file = QStringLiteral("image");
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    file = QString::fromUtf8(info->test_suite_name()) + '.' + QString::fromUtf8(info->name());
  file.replace('/', '_');
  const QString path = dir + '/' + file + '.' + QString::fromUtf8(name) + QStringLiteral(".png");
  image.save(path, "PNG");
  return path.toStdString();
}

void SavePixelsIfFailed(HWND hWnd, const char* name) {
  if (::testing::Test::HasFailure()) {
    const std::string path = SaveImage(WindowPixels(hWnd), name);
    std::fprintf(stderr, "window pixels saved to %s\n", path.c_str());
  }
}

}  // namespace quarlen::test
