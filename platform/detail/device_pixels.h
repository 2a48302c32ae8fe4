#pragma once
// Device pixels against Qt's logical pixels. The layer works in device pixels throughout (client
// rectangles, window positions and sizes, mouse positions in messages, screen coordinates), as
// code aware of each monitor's DPI does; Qt places widgets and reports input in logical pixels,
// which are device pixels divided by the screen's device-pixel ratio. These conversions are
// where the two meet. Internal; GUI thread unless stated (they read widget and screen state).
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

class QPainter;
class QWidget;

namespace quarlen::detail {

// Device pixels per logical pixel of the screen `widget` is on (of the application's screens
// when it has no window yet); 1 without a GUI application.
qreal DeviceRatio(const QWidget* widget);
// The DPI a ratio stands for: 96 at ratio 1.
int DpiOfRatio(qreal ratio);
// The DPI of the application's screens (what a DC without a window reports). Any thread: off
// the GUI thread, the last value seen on it (96 before that).
int ScreenDpi();

// Window geometry: device lengths and positions as logical ones, rounded.
QPoint LogicalPoint(QPoint device, qreal ratio);
QSize LogicalSize(QSize device, qreal ratio);
// The device size to keep when Qt reports the logical size `logical`: `current` when it is what
// `current` maps to (so odd device sizes survive the round trip), else `logical` times the
// ratio.
QSize DeviceSizeFor(QSize logical, QSize current, qreal ratio);

// The logical pixel a device pixel lies in (for finding the widget under it).
QPoint LogicalPixel(QPoint device, qreal ratio);
// Input: a logical position, possibly fractional, as the device pixel it falls on; a device
// position as the exact logical one.
QPoint DevicePoint(QPointF logical, qreal ratio);
QPointF LogicalPointF(QPoint device, qreal ratio);
// The logical area covering a device area (what Qt must repaint for it).
QRegion LogicalCover(const QRegion& device, qreal ratio);

// Screen coordinates in device pixels: a client point of `widget` to the screen and back.
QPoint ClientToScreenDevice(const QWidget* widget, QPoint client);
QPoint ScreenToClientDevice(const QWidget* widget, QPoint screen);

// Copies the part of a device-pixel surface under the logical rectangle `area` onto a painter of
// the widget, one surface pixel to one screen pixel (not scaled up from logical pixels).
void DrawSurfacePart(QPainter& painter, const QImage& surface, const QRect& area, qreal ratio);

}  // namespace quarlen::detail
