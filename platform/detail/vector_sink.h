#pragma once
// The vector side of a device context. While a DC has a sink, every line, rectangle, fill,
// curve, text run and bitmap copy it draws into its pixels is also sent to the sink's painter
// (a PDF or SVG writer) as the nearest vector element: fills of [l, r) x [t, b) as rectangles,
// cosmetic pens as hairlines one device pixel wide through the pixel centres, text as text,
// bitmap copies as images. Everything is in device coordinates under the DC's clip; the painter
// carries the export's scale.
#include <QPainter>
#include <QString>

#include "platform/numeric.h"

namespace quarlen::detail {

struct DCImpl;
struct BrushData;

struct VectorSink {
  QPainter* painter = nullptr;
};

// A polyline of device points with the DC's current pen.
void VectorPolyline(DCImpl& dc, const QPointF* pts, int count);
// The device rectangle [l, r) x [t, b) filled with `brush` (null: none) and framed with the
// current pen when `framed`.
void VectorRect(DCImpl& dc, double l, double t, double r, double b, const BrushData* brush,
                bool framed);
// A solid fill of [l, r) x [t, b).
void VectorSolid(DCImpl& dc, double l, double t, double r, double b, COLORREF color);
// An ellipse, rounded rectangle (corner size cw x ch) or arc (angles in radians,
// counter-clockwise on screen) in the device box [l, r) x [t, b) with pen and brush.
void VectorCurve(DCImpl& dc, double l, double t, double r, double b, double cw, double ch,
                 bool isArc, double a0, double a1, bool clockwise);
// A text run (see DCImpl::TextRun): device reference point, cell offsets.
void VectorText(DCImpl& dc, double x, double y, int x0, int base, const QRect& box,
                const QString& s, bool opaque, const QRect* clipRect, const QRect* opaqueRect);
// Part `src` of image placed at device rectangle `dest`.
void VectorImage(DCImpl& dc, const QRectF& dest, const QImage& image, const QRect& src);

}  // namespace quarlen::detail
