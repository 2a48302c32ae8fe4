// CDC text: TextOut and ExtTextOut, DrawText (tab expansion, line breaking, line placement),
// DrawState, edges and frame controls, system colours.
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "platform/dc.h"
#include "platform/detail/dc_impl.h"
#include "platform/detail/text.h"
#include "platform/numeric.h"

using namespace quarlen::detail;
using quarlen::ClampDrawingCoord;
using quarlen::kDrawingCoordLimit;
using quarlen::PixelWide;

namespace {

QColor QColorOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Removes the '&' prefix marks: "&&" prints '&', "&x" underlines x. Returns the index of the
// underlined character in the result, or -1.
QString StripPrefix(const QString& s, int* underline) {
  QString out;
  *underline = -1;
  for (int i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
      ++i;
      if (s[i] != QLatin1Char('&')) *underline = int(out.size());
    } else if (s[i] == QLatin1Char('&')) {
      continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace

namespace quarlen::detail {

int DCImpl::TextRun(PixelWide x, PixelWide y, const QString& s, UINT align, bool opaque,
                    const QRect* clipRect, const QRect* opaqueRect, int underline) {
  const FontData* f = st.font.get();
  if (!f) return 0;
  const ShapedText& shaped = ShapeText(*f, s);
  const int cx = shaped.width;
  // The cell relative to the reference point (x, y), by the alignment.
  int x0 = 0;
  switch (align & 6) {
    case TA_RIGHT:
      x0 = -cx;
      break;
    case TA_CENTER:
      x0 = -cx / 2;
      break;
    default:
      break;
  }
  int base = f->ascent;  // TA_TOP
  switch (align & 24) {
    case TA_BOTTOM:
      base = -f->descent;
      break;
    case TA_BASELINE:
      base = 0;
      break;
    default:
      break;
  }
  const QRect box(x0, base - f->ascent, cx, f->ascent + f->descent);
  if (vector)
    VectorText(*this, double(ClampDrawingCoord(x)), double(ClampDrawingCoord(y)), x0, base, box, s,
               opaque, clipRect, opaqueRect);
  Draw d;
  if (!Begin(d)) return cx;
  if (f->angle == 0 && !opaqueRect) {
    // Level text touches at most its cell and a glyph overhang beside it: when that lies
    // outside the clip, nothing is drawn (the common case when a view repaints thin strips).
    QRect reach = QRect(ClampDrawingCoord(x + box.left()), ClampDrawingCoord(y + box.top()),
                        box.width(), box.height())
                      .adjusted(-2, -2, 2, 2);
    if (clipRect) reach &= *clipRect;
    if (reach.isEmpty() || !d.region->intersects(reach)) return cx;
  }
  QRegion clip = *d.region;
  if (clipRect) clip &= *clipRect;
  if (clip.isEmpty()) return cx;
  QPainter p(&d.s->image);
  p.setClipRegion(clip);
  if (opaqueRect) {
    p.fillRect(*opaqueRect, QColorOf(st.bk));
    d.t.Touch(*opaqueRect & d.t.clipBounds);
  }
  p.translate(double(ClampDrawingCoord(x)), double(ClampDrawingCoord(y)));
  if (f->angle != 0) p.rotate(-f->angle);
  if (opaque) p.fillRect(box, QColorOf(st.bk));
  p.setPen(QColorOf(st.text));
  if (shaped.runsUsable) {  // already shaped: draw the cached glyphs
    for (const QGlyphRun& run : shaped.runs) p.drawGlyphRun(QPointF(x0, base), run);
  } else {
    p.setFont(FontFor(*f));
    p.drawText(QPoint(x0, base), s);
  }
  if (underline >= 0 && underline < s.size()) {
    QFontMetrics fm(FontFor(*f));
    const int ux = x0 + fm.horizontalAdvance(s.left(underline));
    const int uw = fm.horizontalAdvance(s.mid(underline, 1));
    p.fillRect(QRect(ux, base + 1, uw, 1), QColorOf(st.text));
  }
  d.t.Touch(p.transform().mapRect(box.adjusted(-2, -2, 2, 2)) & d.t.clipBounds);
  return cx;
}

}  // namespace quarlen::detail

BOOL CDC::TextOut(int x, int y, LPCWSTR text, int count) {
  if (!m_hDC || (!text && count > 0) || count < 0) return FALSE;
  const QString s = ToQString(text, count);
  DCImpl& d = *Impl();
  const bool updateCP = (d.st.align & TA_UPDATECP) != 0;
  const PixelWide lx = updateCP ? d.st.cp.x : x, ly = updateCP ? d.st.cp.y : y;
  const int cx =
      d.TextRun(d.DevX(lx), d.DevY(ly), s, d.st.align, d.st.bkMode == OPAQUE, nullptr, nullptr, -1);
  if (updateCP) d.st.cp.x = quarlen::detail::AddLong(d.st.cp.x, cx);
  return TRUE;
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count,
                     const int*) {
  if (!m_hDC) return FALSE;
  DCImpl& d = *Impl();
  QRect r;
  if (rect) {
    r = QRect(ClampDrawingCoord(d.DevX(rect->left)), ClampDrawingCoord(d.DevY(rect->top)),
              ClampDrawingCoord(PixelWide(rect->right) - rect->left),
              ClampDrawingCoord(PixelWide(rect->bottom) - rect->top));
  }
  const bool opaqueRect = rect && (options & ETO_OPAQUE) && r.width() > 0 && r.height() > 0;
  const bool clipped = rect && (options & ETO_CLIPPED);
  const QRect none;
  d.TextRun(d.DevX(x), d.DevY(y), ToQString(text, text ? int(std::min<UINT>(count, 1u << 24)) : 0),
            d.st.align, d.st.bkMode == OPAQUE, clipped ? &r : nullptr, opaqueRect ? &r : nullptr,
            -1);
  return TRUE;
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const {
  const FontData* f = Impl()->st.font.get();
  if (!f || !text || count < 0) return CSize(0, 0);
  return CSize(TextWidth(*f, ToQString(text, count)), f->metrics.tmHeight);
}

BOOL CDC::GetTextMetrics(LPTEXTMETRICW metrics) const {
  const FontData* f = Impl()->st.font.get();
  if (!metrics || !f || !m_hDC) return FALSE;
  *metrics = f->metrics;
  return TRUE;
}

namespace {

// Widths of the DrawText rectangle are taken in [0, 2 * kDrawingCoordLimit].
int DrawingExtent(PixelWide v) { return int(std::clamp<PixelWide>(v, 0, 2 * kDrawingCoordLimit)); }

// DT_EXPANDTABS: every tab becomes the spaces that reach the next multiple of `stop` pixels,
// measured from the start of its line.
QString ExpandTabs(const QString& text, const QFontMetrics& fm, int stop) {
  QString out;
  for (QChar c : text) {
    if (c == QLatin1Char('\t')) {
      const int w = fm.horizontalAdvance(out.mid(out.lastIndexOf(QLatin1Char('\n')) + 1));
      const int target = (w / stop + 1) * stop;
      do out += QLatin1Char(' ');
      while (fm.horizontalAdvance(out.mid(out.lastIndexOf(QLatin1Char('\n')) + 1)) < target);
    } else {
      out += c;
    }
  }
  return out;
}

// Lines: one for DT_SINGLELINE (line breaks dropped), else split at CR, LF, CR/LF and, with
// DT_WORDBREAK, wrapped at spaces to `width` (a word wider than it keeps a line of its own).
QStringList BreakLines(QString text, UINT format, const QFontMetrics& fm, int width) {
  QStringList lines;
  if (format & DT_SINGLELINE) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    lines << text;
    return lines;
  }
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
  for (const QString& para : text.split(QLatin1Char('\n'))) {
    if (!(format & DT_WORDBREAK)) {
      lines << para;
      continue;
    }
    QString cur;
    for (const QString& word : para.split(QLatin1Char(' '))) {
      const QString tryLine = cur.isEmpty() ? word : cur + QLatin1Char(' ') + word;
      int u;
      if (!cur.isEmpty() && fm.horizontalAdvance(StripPrefix(tryLine, &u)) > width) {
        lines << cur;
        cur = word;
      } else {
        cur = tryLine;
      }
    }
    lines << cur;
  }
  return lines;
}

// One line as drawn: its text with the prefix marks resolved, the underlined character and
// its advance width.
struct TextLine {
  QString text;
  int underline = -1;
  int width = 0;
};

// Resolves the prefix marks (unless DT_NOPREFIX; DT_HIDEPREFIX drops the underline) and, with
// DT_END_ELLIPSIS, shortens a line wider than `width` to end in "...".
std::vector<TextLine> FitLines(const QStringList& lines, UINT format, const QFontMetrics& fm,
                               const FontData& f, int width) {
  std::vector<TextLine> out;
  for (const QString& l : lines) {
    TextLine ln{l, -1, 0};
    if (!(format & DT_NOPREFIX)) ln.text = StripPrefix(l, &ln.underline);
    if (format & DT_HIDEPREFIX) ln.underline = -1;
    if ((format & DT_END_ELLIPSIS) && fm.horizontalAdvance(ln.text) > width) {
      const QString dots = QStringLiteral("...");
      while (!ln.text.isEmpty() && fm.horizontalAdvance(ln.text + dots) > width) ln.text.chop(1);
      ln.text += dots;
    }
    ln.width = TextWidth(f, ln.text);
    out.push_back(ln);
  }
  return out;
}

// Top of the first line: the rectangle's top, or for a single line centred (DT_VCENTER) or
// bottom-aligned (DT_BOTTOM) in it.
PixelWide FirstLineTop(const RECT& rc, UINT format, int lineHeight) {
  if (!(format & DT_SINGLELINE)) return rc.top;
  if (format & DT_VCENTER) return rc.top + (PixelWide(rc.bottom) - rc.top) / 2 - lineHeight / 2;
  if (format & DT_BOTTOM) return PixelWide(rc.bottom) - lineHeight;
  return rc.top;
}

// Left edge of a line of the given width: left-aligned, centred (DT_CENTER) or right-aligned
// (DT_RIGHT) in the rectangle.
PixelWide LineLeft(const RECT& rc, UINT format, int width) {
  if (format & DT_CENTER) return (PixelWide(rc.left) + rc.right - width) / 2;
  if (format & DT_RIGHT) return PixelWide(rc.right) - width;
  return rc.left;
}

}  // namespace

int CDC::DrawText(LPCWSTR text, int count, LPRECT rc, UINT format) {
  if (!rc || !text || count < -1 || !m_hDC) return 0;
  DCImpl& d = *Impl();
  const FontData* f = d.st.font.get();
  if (!f) return 0;
  QString all = ToQString(text, count);
  const int lineHeight =
      f->metrics.tmHeight + ((format & DT_EXTERNALLEADING) ? f->metrics.tmExternalLeading : 0);
  const int rcWidth = DrawingExtent(PixelWide(rc->right) - rc->left);
  QFontMetrics fm(FontFor(*f));
  if (format & DT_EXPANDTABS) all = ExpandTabs(all, fm, std::max(1, 8 * f->metrics.tmAveCharWidth));
  const std::vector<TextLine> lines =
      FitLines(BreakLines(all, format, fm, rcWidth), format, fm, *f, rcWidth);
  int widest = 0;
  for (const TextLine& ln : lines) widest = std::max(widest, ln.width);
  const int total = lineHeight * int(lines.size());
  if (format & DT_CALCRECT) {
    rc->right = quarlen::detail::AddLong(rc->left, widest);
    rc->bottom = quarlen::detail::AddLong(rc->top, total);
    return total;
  }
  const PixelWide firstY = FirstLineTop(*rc, format, lineHeight);
  const QRect clip(ClampDrawingCoord(d.DevX(rc->left)), ClampDrawingCoord(d.DevY(rc->top)), rcWidth,
                   DrawingExtent(PixelWide(rc->bottom) - rc->top));
  PixelWide y = firstY;
  for (const TextLine& ln : lines) {
    d.TextRun(d.DevX(LineLeft(*rc, format, ln.width)), d.DevY(y), ln.text, TA_LEFT | TA_TOP,
              d.st.bkMode == OPAQUE, (format & DT_NOCLIP) ? nullptr : &clip, nullptr, ln.underline);
    y += lineHeight;
  }
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
    return int(firstY + lineHeight - rc->top);
  return total;
}

// ---- DrawState ----

namespace {

// Paints the pixels of `mask` (alpha >= 128) at device (x, y) in one colour, under the clip.
void PaintMask(Draw& d, const QImage& mask, PixelWide x, PixelWide y, std::uint32_t color) {
  for (int my = 0; my < mask.height(); ++my) {
    const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
    for (int mx = 0; mx < mask.width(); ++mx)
      if (qAlpha(row[mx]) >= 128) PutPixel(d.t, x + mx, y + my, color);
  }
}

// The "ink" of an image for the disabled and mono looks: opaque pixels that are not white
// (white is what a colour-to-monochrome conversion turns into background).
QImage InkOf(const QImage& img) {
  QImage src = img.convertToFormat(QImage::Format_ARGB32);
  QImage mask(src.size(), QImage::Format_ARGB32);
  mask.fill(0);
  for (int y = 0; y < src.height(); ++y) {
    const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    QRgb* m = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < src.width(); ++x)
      if (qAlpha(s[x]) >= 128 && (s[x] & 0xFFFFFFu) != 0xFFFFFFu) m[x] = 0xFF000000u;
  }
  return mask;
}

}  // namespace

namespace quarlen::detail {

// Shared by the DrawState overloads. `image` is the picture (icon: ARGB with alpha; bitmap:
// opaque; text: glyph alpha on transparent); device position and size.
static BOOL DrawStateImage(DCImpl& impl, const QImage& image, bool isText, PixelWide x, PixelWide y,
                           UINT flags, HBRUSH brush) {
  if (image.isNull()) return TRUE;
  Draw d;
  if (!impl.Begin(d)) return TRUE;
  if (flags & (DSS_DISABLED | DSS_MONO)) {
    const QImage ink = isText ? image : InkOf(image);
    if (flags & DSS_DISABLED) {
      PaintMask(d, ink, x + 1, y + 1, Px(GetSysColor(COLOR_3DHILIGHT)));
      PaintMask(d, ink, x, y, Px(GetSysColor(COLOR_3DSHADOW)));
    } else {
      auto b = Lookup<BrushData>(brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(BLACK_BRUSH),
                                 GdiKind::Brush);
      PaintMask(d, ink, x, y, Px(b ? b->color : 0));
    }
    return TRUE;
  }
  if (isText) {
    PaintMask(d, image, x, y, Px(impl.st.text));
    return TRUE;
  }
  QPainter p(&d.s->image);
  p.setClipRegion(*d.region);
  const QRect r(ClampDrawingCoord(x), ClampDrawingCoord(y), image.width(), image.height());
  p.drawImage(r.topLeft(), image);
  d.t.Touch(r & d.t.clipBounds);
  return TRUE;
}

}  // namespace quarlen::detail

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush) {
  auto s = SurfaceOfBitmap(bitmap);
  if (!m_hDC || !s) return FALSE;
  QImage img;
  {
    std::lock_guard g(s->lock);
    img = s->image.copy();
  }
  if (size.cx > 0 && size.cy > 0 && img.size() != QSize(size.cx, size.cy))
    img = img.copy(0, 0, size.cx, size.cy);  // the drawing interface crops, it never scales
  return DrawStateImage(*Impl(), img, false, pt.x, pt.y, flags, brush);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush) {
  return bitmap ? DrawState(pt, size, static_cast<HBITMAP>(bitmap->m_hObject), flags,
                            brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr)
                : FALSE;
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON icon, UINT flags, HBRUSH brush) {
  auto i = Lookup<IconData>(icon, GdiKind::Icon);
  if (!m_hDC || !i) return FALSE;
  QImage img = i->image;
  if (size.cx > 0 && size.cy > 0 && img.size() != QSize(size.cx, size.cy))
    img = img.scaled(size.cx, size.cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return DrawStateImage(*Impl(), img, false, pt.x, pt.y, flags, brush);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCWSTR text, UINT flags, BOOL prefixText,
                    int textLength, HBRUSH brush) {
  if (!m_hDC || !text) return FALSE;
  const FontData* f = Impl()->st.font.get();
  if (!f) return FALSE;
  int underline = -1;
  QString s = ToQString(text, textLength > 0 ? textLength : -1);
  if (prefixText) s = StripPrefix(s, &underline);
  if (flags & DSS_HIDEPREFIX) underline = -1;
  const int w = size.cx > 0 ? size.cx : TextWidth(*f, s);
  const int h = size.cy > 0 ? size.cy : f->metrics.tmHeight;
  if (w <= 0 || h <= 0 || w > 1 << 15 || h > 1 << 15) return TRUE;
  // Glyph coverage as alpha; the text is drawn in the DC's text colour (normal) or as ink.
  QImage glyphs(w, h, QImage::Format_ARGB32_Premultiplied);
  glyphs.fill(0);
  {
    QPainter p(&glyphs);
    p.setFont(FontFor(*f));
    p.setPen(Qt::black);
    p.drawText(QPoint(0, f->ascent), s);
    if (underline >= 0 && underline < s.size()) {
      QFontMetrics fm(FontFor(*f));
      p.fillRect(QRect(fm.horizontalAdvance(s.left(underline)), f->ascent + 1,
                       fm.horizontalAdvance(s.mid(underline, 1)), 1),
                 Qt::black);
    }
  }
  return DrawStateImage(*Impl(), glyphs, true, pt.x, pt.y, flags, brush);
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  DCImpl& d = *Impl();
  return DrawState(CPoint(ClampDrawingCoord(d.DevX(x)), ClampDrawingCoord(d.DevY(y))), CSize(0, 0),
                   icon, DST_ICON | DSS_NORMAL, nullptr);
}

// ---- Edges and frame controls ----

DWORD GetSysColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR:
      return RGB(200, 200, 200);
    case COLOR_BACKGROUND:
      return RGB(0, 0, 0);
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME:
      return RGB(100, 100, 100);
    case COLOR_WINDOWTEXT:
      return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
      return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_BTNFACE:
      return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
      return RGB(160, 160, 160);
    case COLOR_GRAYTEXT:
      return RGB(109, 109, 109);
    case COLOR_BTNTEXT:
      return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT:
      return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW:
      return RGB(105, 105, 105);
    case COLOR_3DLIGHT:
      return RGB(227, 227, 227);
    case COLOR_INFOTEXT:
      return RGB(0, 0, 0);
    case COLOR_INFOBK:
      return RGB(255, 255, 225);
    default:
      return 0;
  }
}

HBRUSH GetSysColorBrush(int index) {
  static HBRUSH* brushes = [] {
    auto* b = new HBRUSH[31];
    for (int i = 0; i < 31; ++i) {
      auto data = std::make_shared<BrushData>();
      data->color = GetSysColor(i);
      data->stock = true;
      b[i] = static_cast<HBRUSH>(RegisterObject(data));
    }
    return b;
  }();
  return index >= 0 && index < 31 ? brushes[index] : nullptr;
}

BOOL CDC::DrawEdge(LPRECT rc, UINT edge, UINT flags) {
  if (!rc || !m_hDC) return FALSE;
  // Colours of the outer and inner rings, top-left and bottom-right. Soft edges swap the
  // top-left colours of the two rings (push buttons use them).
  const bool soft = (flags & BF_SOFT) != 0;
  int outerTL = -1, outerBR = -1, innerTL = -1, innerBR = -1;
  if (edge & BDR_RAISEDOUTER)
    outerTL = soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, outerBR = COLOR_3DDKSHADOW;
  else if (edge & BDR_SUNKENOUTER)
    outerTL = soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, outerBR = COLOR_BTNHIGHLIGHT;
  if (edge & BDR_RAISEDINNER)
    innerTL = soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, innerBR = COLOR_BTNSHADOW;
  else if (edge & BDR_SUNKENINNER)
    innerTL = soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, innerBR = COLOR_3DLIGHT;
  if (flags & BF_MONO) {
    if (outerTL >= 0) outerTL = outerBR = COLOR_WINDOWFRAME;
    if (innerTL >= 0) innerTL = innerBR = COLOR_WINDOWFRAME;
  } else if (flags & BF_FLAT) {  // flat: a shadow-coloured ring, the inner ring in the face colour
    if (outerTL >= 0) outerTL = outerBR = COLOR_BTNSHADOW;
    if (innerTL >= 0) innerTL = innerBR = COLOR_BTNFACE;
  }
  DCImpl& d = *Impl();
  Draw dr;
  const bool can = d.Begin(dr);
  PixelWide l = d.DevX(rc->left), t = d.DevY(rc->top), r = d.DevX(rc->right),
            b = d.DevY(rc->bottom);
  // One ring: the top and left lines in tl, the bottom and right lines (which own the
  // top-right and bottom-left corners) in br.
  auto ring = [&](int tl, int br) {
    if (tl < 0 || r <= l || b <= t) return;
    Paint p;
    p.color = Px(GetSysColor(tl));
    if (can && (flags & BF_TOP)) FillArea(dr.t, l, t, r - 1, t + 1, p);
    if (can && (flags & BF_LEFT)) FillArea(dr.t, l, t, l + 1, b - 1, p);
    p.color = Px(GetSysColor(br));
    if (can && (flags & BF_BOTTOM)) FillArea(dr.t, l, b - 1, r, b, p);
    if (can && (flags & BF_RIGHT)) FillArea(dr.t, r - 1, t, r, b, p);
    if (flags & BF_LEFT) ++l;
    if (flags & BF_TOP) ++t;
    if (flags & BF_RIGHT) --r;
    if (flags & BF_BOTTOM) --b;
  };
  ring(outerTL, outerBR);
  ring(innerTL, innerBR);
  if ((flags & BF_MIDDLE) && can && r > l && b > t) {
    Paint p;
    p.color = Px(GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    FillArea(dr.t, l, t, r, b, p);
  }
  if (flags & BF_ADJUST) {
    rc->left = quarlen::detail::ClampLong(d.LogX(l));
    rc->top = quarlen::detail::ClampLong(d.LogY(t));
    rc->right = quarlen::detail::ClampLong(d.LogX(r));
    rc->bottom = quarlen::detail::ClampLong(d.LogY(b));
  }
  return TRUE;
}

BOOL CDC::DrawFrameControl(LPRECT rc, UINT type, UINT state) {
  if (!rc || !m_hDC) return FALSE;
  if (type != DFC_BUTTON) {
    // Captions, menus and scroll bars: a raised frame is what callers see here.
    RECT r = *rc;
    return DrawEdge(&r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
  }
  const bool sunken = (state & (DFCS_PUSHED | DFCS_CHECKED | DFCS_FLAT)) != 0;
  RECT r = *rc;
  DrawEdge(&r, sunken ? EDGE_SUNKEN : EDGE_RAISED,
           BF_RECT | BF_SOFT | BF_MIDDLE | ((state & DFCS_MONO) ? UINT(BF_MONO) : 0u) |
               ((state & DFCS_FLAT) ? UINT(BF_FLAT) : 0u));
  if (state & DFCS_ADJUSTRECT) {
    rc->left += 2, rc->top += 2, rc->right -= 2, rc->bottom -= 2;
  }
  return TRUE;
}
