// Conversions between the layer's device pixels and Qt's logical pixels.
#include "platform/detail/device_pixels.h"

#include <QGuiApplication>
#include <QPainter>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <cmath>

namespace quarlen::detail {
namespace {

std::atomic<int> g_screenDpi{96};

int Round(qreal v) { return static_cast<int>(std::lround(v)); }

}  // namespace

qreal DeviceRatio(const QWidget* widget) {
  if (widget) return widget->devicePixelRatio();
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  return app ? app->devicePixelRatio() : 1.0;
}

int DpiOfRatio(qreal ratio) { return ratio > 0 ? Round(96 * ratio) : 96; }

int ScreenDpi() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app && QThread::currentThread() == app->thread())
    g_screenDpi.store(DpiOfRatio(DeviceRatio(nullptr)), std::memory_order_relaxed);
  return g_screenDpi.load(std::memory_order_relaxed);
}

QPoint LogicalPoint(QPoint device, qreal ratio) {
  if (ratio == 1) return device;
  return QPoint(Round(device.x() / ratio), Round(device.y() / ratio));
}

QSize LogicalSize(QSize device, qreal ratio) {
  if (ratio == 1) return device;
  return QSize(Round(device.width() / ratio), Round(device.height() / ratio));
}

QSize DeviceSizeFor(QSize logical, QSize current, qreal ratio) {
  if (LogicalSize(current, ratio) == logical) return current;
  return QSize(Round(logical.width() * ratio), Round(logical.height() * ratio));
}

QPoint LogicalPixel(QPoint device, qreal ratio) {
  if (ratio == 1) return device;
  return QPoint(static_cast<int>(std::floor(device.x() / ratio + 1e-9)),
                static_cast<int>(std::floor(device.y() / ratio + 1e-9)));
}

QPoint DevicePoint(QPointF logical, qreal ratio) {
  return QPoint(static_cast<int>(std::floor(logical.x() * ratio + 1e-6)),
                static_cast<int>(std::floor(logical.y() * ratio + 1e-6)));
}

QPointF LogicalPointF(QPoint device, qreal ratio) { return QPointF(device) / ratio; }

QRegion LogicalCover(const QRegion& device, qreal ratio) {
  if (ratio == 1) return device;
  QRegion out;
  for (const QRect& r : device) {
    const int l = static_cast<int>(std::floor(r.x() / ratio));
    const int t = static_cast<int>(std::floor(r.y() / ratio));
    const int rr = static_cast<int>(std::ceil((r.x() + r.width()) / ratio));
    const int b = static_cast<int>(std::ceil((r.y() + r.height()) / ratio));
    out |= QRect(l, t, rr - l, b - t);
  }
  return out;
}

QPoint ClientToScreenDevice(const QWidget* widget, QPoint client) {
  const qreal ratio = DeviceRatio(widget);
  if (ratio == 1) return widget->mapToGlobal(client);
  return DevicePoint(QPointF(widget->mapToGlobal(QPoint(0, 0))), ratio) + client;
}

QPoint ScreenToClientDevice(const QWidget* widget, QPoint screen) {
  const qreal ratio = DeviceRatio(widget);
  if (ratio == 1) return widget->mapFromGlobal(screen);
  return screen - DevicePoint(QPointF(widget->mapToGlobal(QPoint(0, 0))), ratio);
}

void DrawSurfacePart(QPainter& painter, const QImage& surface, const QRect& area, qreal ratio) {
  if (ratio == 1) {
    painter.drawImage(area.topLeft(), surface, area);
    return;
  }
  // The device pixels under the logical area, drawn back onto exactly that area: the painter's
  // device transform scales by the ratio, so each surface pixel lands on one screen pixel.
  const int l = static_cast<int>(std::floor(area.x() * ratio));
  const int t = static_cast<int>(std::floor(area.y() * ratio));
  const int r = static_cast<int>(std::ceil((area.x() + area.width()) * ratio));
  const int b = static_cast<int>(std::ceil((area.y() + area.height()) * ratio));
  const QRectF source(l, t, r - l, b - t);
  painter.drawImage(QRectF(source.topLeft() / ratio, source.size() / ratio), surface, source);
}

}  // namespace quarlen::detail
