// The vector side of the device contexts: the nearest vector element of each drawing call,
// painted through the sink's QPainter (see platform/detail/vector_sink.h).
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "platform/detail/dc_impl.h"
#include "platform/detail/vector_sink.h"

namespace quarlen::detail {
namespace {

QColor ColorOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The painter, saved and clipped to what the DC's output may reach; null without a sink.
QPainter* Open(DCImpl& dc) {
  if (!dc.vector || !dc.vector->painter) return nullptr;
  QPainter* p = dc.vector->painter;
  p->save();
  p->setClipRegion(dc.VisibleClip());
  p->setRenderHint(QPainter::Antialiasing, false);
  return p;
}

// The current pen as a vector pen: a one-pixel pen is a cosmetic hairline (one device pixel
// of the export whatever its scale), a wider one keeps its width in view pixels.
QPen PenOf(const DCImpl& dc) {
  const PenData* d = dc.st.pen.get();
  if (!d || d->style == PS_NULL) return Qt::NoPen;
  QPen pen(ColorOf(d->color));
  pen.setCosmetic(d->width <= 1);
  pen.setWidthF(d->width <= 1 ? 0.0 : double(d->width));
  pen.setCapStyle(d->width <= 1 ? Qt::FlatCap : Qt::RoundCap);
  pen.setJoinStyle(d->width <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
  switch (d->style) {
    case PS_DASH:
      pen.setStyle(Qt::DashLine);
      break;
    case PS_DOT:
      pen.setStyle(Qt::DotLine);
      break;
    case PS_DASHDOT:
      pen.setStyle(Qt::DashDotLine);
      break;
    case PS_DASHDOTDOT:
      pen.setStyle(Qt::DashDotDotLine);
      break;
    default:
      break;
  }
  return pen;
}

Qt::BrushStyle HatchStyle(int hatch) {
  switch (hatch) {
    case HS_HORIZONTAL:
      return Qt::HorPattern;
    case HS_VERTICAL:
      return Qt::VerPattern;
    case HS_FDIAGONAL:
      return Qt::FDiagPattern;
    case HS_BDIAGONAL:
      return Qt::BDiagPattern;
    case HS_CROSS:
      return Qt::CrossPattern;
    default:
      return Qt::DiagCrossPattern;
  }
}

// Fills `path` with a brush: solid, or a hatch over the background colour when the DC's
// background mode is opaque.
void FillWith(QPainter* p, const DCImpl& dc, const QPainterPath& path, const BrushData* b) {
  if (!b || b->style == BS_NULL) return;
  if (b->style == BS_HATCHED) {
    if (dc.st.bkMode == OPAQUE) p->fillPath(path, ColorOf(dc.st.bk));
    QBrush hatch(ColorOf(b->color), HatchStyle(b->hatch));
    p->setBrushOrigin(QPointF(dc.st.brushOrg));
    p->fillPath(path, hatch);
    return;
  }
  p->fillPath(path, ColorOf(b->color));
}

}  // namespace

void VectorPolyline(DCImpl& dc, const QPointF* pts, int count) {
  QPainter* p = Open(dc);
  if (!p) return;
  const QPen pen = PenOf(dc);
  if (pen.style() != Qt::NoPen && count >= 2) {
    // Through the pixel centres: the raster line covers the pixels whose centres it passes.
    QPainterPath path(pts[0] + QPointF(0.5, 0.5));
    for (int i = 1; i < count; ++i) path.lineTo(pts[i] + QPointF(0.5, 0.5));
    p->strokePath(path, pen);
  }
  p->restore();
}

void VectorRect(DCImpl& dc, double l, double t, double r, double b, const BrushData* brush,
                bool framed) {
  QPainter* p = Open(dc);
  if (!p) return;
  const QPen pen = framed ? PenOf(dc) : QPen(Qt::NoPen);
  QPainterPath area;
  area.addRect(QRectF(l, t, r - l, b - t));
  FillWith(p, dc, area, brush);
  if (pen.style() != Qt::NoPen) {
    QPainterPath frame;
    frame.addRect(QRectF(l + 0.5, t + 0.5, r - l - 1, b - t - 1));
    p->strokePath(frame, pen);
  }
  p->restore();
}

void VectorSolid(DCImpl& dc, double l, double t, double r, double b, COLORREF color) {
  QPainter* p = Open(dc);
  if (!p) return;
  p->fillRect(QRectF(l, t, r - l, b - t), ColorOf(color));
  p->restore();
}

void VectorCurve(DCImpl& dc, double l, double t, double r, double b, double cw, double ch,
                 bool isArc, double a0, double a1, bool clockwise) {
  QPainter* p = Open(dc);
  if (!p) return;
  const QRectF box(l + 0.5, t + 0.5, r - l - 1, b - t - 1);
  QPainterPath path;
  if (isArc) {
    const double deg = 180.0 / std::numbers::pi;
    double sweep = (a1 - a0) * deg;
    if (clockwise) {
      if (sweep > 0) sweep -= 360.0;
    } else if (sweep < 0) {
      sweep += 360.0;
    }
    if (sweep == 0) sweep = clockwise ? -360.0 : 360.0;
    path.arcMoveTo(box, a0 * deg);
    path.arcTo(box, a0 * deg, sweep);
  } else if (cw >= r - l && ch >= b - t) {
    path.addEllipse(box);
  } else {
    path.addRoundedRect(box, cw / 2, ch / 2);
  }
  if (!isArc) FillWith(p, dc, path, dc.st.brush.get());
  const QPen pen = PenOf(dc);
  if (pen.style() != Qt::NoPen) p->strokePath(path, pen);
  p->restore();
}

void VectorText(DCImpl& dc, double x, double y, int x0, int base, const QRect& box,
                const QString& s, bool opaque, const QRect* clipRect, const QRect* opaqueRect) {
  const FontData* f = dc.st.font.get();
  if (!f) return;
  QPainter* p = Open(dc);
  if (!p) return;
  if (clipRect) p->setClipRect(*clipRect, Qt::IntersectClip);
  if (opaqueRect) p->fillRect(*opaqueRect, ColorOf(dc.st.bk));
  p->translate(x, y);
  if (f->angle != 0) p->rotate(-f->angle);
  if (opaque) p->fillRect(box, ColorOf(dc.st.bk));
  p->setPen(ColorOf(dc.st.text));
  p->setFont(FontFor(*f));
  p->drawText(QPointF(x0, base), s);
  p->restore();
}

void VectorImage(DCImpl& dc, const QRectF& dest, const QImage& image, const QRect& src) {
  QPainter* p = Open(dc);
  if (!p) return;
  p->drawImage(dest, image, src);
  p->restore();
}

}  // namespace quarlen::detail
