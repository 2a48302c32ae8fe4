// Exact pixel routines of the drawing layer: clipped spans and fills, lines with the end point
// excluded and dash patterns, integer ellipse and rounded-rectangle outlines and their interiors,
// the bitmap copy with its raster operations, and the focus frame.
#include "platform/detail/raster.h"

#include "platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <map>
#include <numbers>

namespace quarlen::detail {

bool PixelTarget::Visible(PixelWide x, PixelWide y) const {
  if (x < clipBounds.left() || x > clipBounds.right() || y < clipBounds.top() ||
      y > clipBounds.bottom())
    return false;
  if (clipCount == 1) return true;
  for (int i = 0; i < clipCount; ++i) {
    const QRect& c = clip[i];
    if (x >= c.left() && x <= c.right() && y >= c.top() && y <= c.bottom()) return true;
  }
  return false;
}

const unsigned char* HatchRows(int style) {
  static const unsigned char rows[6][8] = {
      {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
      {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
      {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
      {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
      {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
      {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
  };
  if (style < 0 || style > 5) return rows[0];
  return rows[style];
}

bool Paint::ColorAt(PixelWide x, PixelWide y, std::uint32_t* c) const {
  if (kind != Hatch || !pattern) {
    *c = color;
    return true;
  }
  if (pattern[(y - originY) & 7] & (0x80u >> ((x - originX) & 7))) {
    *c = color;
    return true;
  }
  *c = gap;
  return opaqueGaps;
}

namespace {

// Paints [x0, x1) of row y, already clipped and inside the image.
void PaintRow(PixelTarget& t, int y, int x0, int x1, const Paint& p) {
  std::uint32_t* row = t.bits + y * t.stride;
  if (p.mix != R2_COPYPEN && p.kind != Paint::Xor) {
    for (int x = x0; x < x1; ++x) {
      std::uint32_t c;
      if (p.ColorAt(x, y, &c)) row[x] = MixPixel(p.mix, c, row[x]);
    }
    return;
  }
  switch (p.kind) {
    case Paint::Solid:
      std::fill(row + x0, row + x1, p.color);
      break;
    case Paint::Xor:
      for (int x = x0; x < x1; ++x) row[x] ^= 0x00FFFFFFu;
      break;
    case Paint::Hatch: {
      // Pattern row and column of a pixel: its offset from the brush origin, modulo 8.
      const unsigned bits = p.pattern[(PixelWide(y) - p.originY) & 7];
      const int first = int((PixelWide(x0) - p.originX) & 7);  // pattern column of x0
      if (p.opaqueGaps) {
        // Eight pixels from x0 on, then the row doubles what it already holds.
        const int n = x1 - x0;
        for (int k = 0; k < std::min(n, 8); ++k)
          row[x0 + k] = (bits & (0x80u >> ((first + k) & 7))) ? p.color : p.gap;
        for (int done = 8; done < n; done *= 2)
          std::copy_n(row + x0, std::min(done, n - done), row + x0 + done);
        break;
      }
      // Transparent gaps: only the pattern's set columns are written, every 8th pixel.
      for (int col = 0; col < 8; ++col) {
        if (!(bits & (0x80u >> col))) continue;
        for (int x = x0 + ((col - first) & 7); x < x1; x += 8) row[x] = p.color;
      }
      break;
    }
  }
}

// [x0, x1) x [y0, y1) cut to one clip rectangle; false when nothing of it is left.
bool ClipArea(const QRect& c, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1, PixelWide* l,
              PixelWide* t, PixelWide* r, PixelWide* b) {
  *l = std::max<PixelWide>(x0, c.left());
  *r = std::min<PixelWide>(x1, PixelWide(c.right()) + 1);
  *t = std::max<PixelWide>(y0, c.top());
  *b = std::min<PixelWide>(y1, PixelWide(c.bottom()) + 1);
  return *l < *r && *t < *b;
}

}  // namespace

void FillArea(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
              const Paint& paint) {
  if (x1 <= x0 || y1 <= y0 || !t.bits) return;
  for (int i = 0; i < t.clipCount; ++i) {
    PixelWide l, tp, r, b;
    if (!ClipArea(t.clip[i], x0, y0, x1, y1, &l, &tp, &r, &b)) continue;
    for (PixelWide y = tp; y < b; ++y) PaintRow(t, int(y), int(l), int(r), paint);
    t.Touch(QRect(int(l), int(tp), int(r - l), int(b - tp)));
  }
}

void FillSpan(PixelTarget& t, PixelWide y, PixelWide x0, PixelWide x1, const Paint& paint) {
  FillArea(t, x0, y, x1, y + 1, paint);
}

void PutPixel(PixelTarget& t, PixelWide x, PixelWide y, std::uint32_t color, int mix) {
  if (!t.bits || !t.Visible(x, y)) return;
  std::uint32_t& px = t.At(int(x), int(y));
  px = mix == R2_COPYPEN ? color : MixPixel(mix, color, px);
  t.Touch(QRect(int(x), int(y), 1, 1));
}

void PatternArea(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
                 const Paint& pattern, unsigned op) {
  if (x1 <= x0 || y1 <= y0 || !t.bits) return;
  for (int i = 0; i < t.clipCount; ++i) {
    PixelWide l, tp, r, b;
    if (!ClipArea(t.clip[i], x0, y0, x1, y1, &l, &tp, &r, &b)) continue;
    for (PixelWide y = tp; y < b; ++y) {
      std::uint32_t* row = t.bits + y * t.stride;
      for (PixelWide x = l; x < r; ++x) {
        std::uint32_t p;
        if (pattern.ColorAt(x, y, &p)) row[x] = RopPixel(op, p, 0, row[x]);
      }
    }
    t.Touch(QRect(int(l), int(tp), int(r - l), int(b - tp)));
  }
}

void DashPattern(int style, const int** dashes, int* count, int* period) {
  static const int dash[] = {18, 6};
  static const int dot[] = {3, 3};
  static const int dashDot[] = {9, 6, 3, 6};
  static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
  *dashes = nullptr;
  *count = 0;
  *period = 0;
  switch (style) {
    case 1:
      *dashes = dash, *count = 2;
      break;
    case 2:
      *dashes = dot, *count = 2;
      break;
    case 3:
      *dashes = dashDot, *count = 4;
      break;
    case 4:
      *dashes = dashDotDot, *count = 6;
      break;
    default:
      return;
  }
  for (int i = 0; i < *count; ++i) *period += (*dashes)[i];
}

namespace {

// The line walk shared by DrawLine and LinePixels. The pixel rules:
//  - the major axis is x when |dx| > |dy|, else y; the line has `major` pixels (the end point
//    is dropped), pixel k is at major offset k;
//  - the minor offset of pixel k is floor((2 m k + M + bias - 1) / 2M) (m = minor length,
//    M = major length), which is what the incremental Bresenham walk with the error term
//    2m - M produces; `bias` is 1 in the octants where the walk runs "backwards" so that a
//    line and its reverse choose the same pixels on ties.
// The walk starts at the first pixel whose major coordinate is inside [lo, hi] and stops after
// the last, so a line of any length costs only its visible part.
struct Walk {
  PixelWide x0, y0, sx, sy, M, m;
  bool xMajor;
  int bias;

  Walk(PixelWide ax, PixelWide ay, PixelWide bx, PixelWide by) : x0(ax), y0(ay) {
    const PixelWide dx = bx - ax, dy = by - ay;
    sx = dx < 0 ? -1 : 1;
    sy = dy < 0 ? -1 : 1;
    const PixelWide adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    xMajor = adx > ady;
    M = xMajor ? adx : ady;
    m = xMajor ? ady : adx;
    // Octants (y down, clockwise from +x): 3 = dx<=0,dy>0,dy>=-dx; 5 = dx<0,dy<=0,-dx>-dy;
    // 6 = dx<0,dy<=0,-dy>=-dx; 8 = dx>0,dy<=0,dx>-dy.
    const bool o3 = dx <= 0 && dy > 0 && dy >= -dx;
    const bool o5 = dx < 0 && dy <= 0 && -dx > -dy;
    const bool o6 = dx < 0 && dy <= 0 && -dy >= -dx;
    const bool o8 = dx > 0 && dy <= 0 && dx > -dy;
    bias = (o3 || o5 || o6 || o8) ? 1 : 0;
  }

  template <class F>
  void Run(PixelWide lo, PixelWide hi, F&& plot) const {
    if (M == 0) return;
    const PixelWide a0 = xMajor ? x0 : y0;
    const PixelWide sa = xMajor ? sx : sy;
    PixelWide kmin, kmax;
    if (sa > 0) {
      kmin = lo - a0;
      kmax = hi - a0;
    } else {
      kmin = a0 - hi;
      kmax = a0 - lo;
    }
    kmin = std::max<PixelWide>(kmin, 0);
    kmax = std::min<PixelWide>(kmax, M - 1);
    if (kmin > kmax) return;
    using i128 = __int128;
    const i128 twoM = i128(2) * M;
    PixelWide j = PixelWide((i128(2) * m * kmin + M + bias - 1) / twoM);
    PixelWide err = PixelWide(i128(2) * m * (kmin + 1) - M - twoM * j);
    const PixelWide sb = xMajor ? sy : sx;
    PixelWide a = a0 + sa * kmin;
    PixelWide b = (xMajor ? y0 : x0) + sb * j;
    for (PixelWide k = kmin; k <= kmax; ++k) {
      if (xMajor)
        plot(k, a, b);
      else
        plot(k, b, a);
      if (err + bias > 0) {
        b += sb;
        err += 2 * m - 2 * M;
      } else {
        err += 2 * m;
      }
      a += sa;
    }
  }
};

// The new value of a destination pixel d under the pen's ink, and under its gap colour.
std::uint32_t InkOf(const LinePen& pen, std::uint32_t d) {
  if (pen.xorMode) return d ^ 0x00FFFFFFu;
  return pen.mix == R2_COPYPEN ? pen.color : MixPixel(pen.mix, pen.color, d);
}
std::uint32_t GapOf(const LinePen& pen, std::uint32_t d) {
  return pen.mix == R2_COPYPEN ? pen.gap : MixPixel(pen.mix, pen.gap, d);
}

// A solid line along an axis (w.m == 0): the pixels form one row or column, so they are
// written as one run per clip rectangle instead of testing the clip at every pixel. Covers the
// same pixels as the walk.
void DrawAxisLine(PixelTarget& t, const Walk& w, const LinePen& pen) {
  const PixelWide first = w.xMajor ? w.x0 : w.y0;
  const PixelWide s = w.xMajor ? w.sx : w.sy;
  const PixelWide lo = s > 0 ? first : first - w.M + 1, hi = s > 0 ? first + w.M - 1 : first;
  const PixelWide fixed = w.xMajor ? w.y0 : w.x0;
  for (int i = 0; i < t.clipCount; ++i) {
    const QRect& c = t.clip[i];
    const PixelWide cLo = w.xMajor ? c.left() : c.top(), cHi = w.xMajor ? c.right() : c.bottom();
    const PixelWide fLo = w.xMajor ? c.top() : c.left(), fHi = w.xMajor ? c.bottom() : c.right();
    if (fixed < fLo || fixed > fHi) continue;
    const int a = int(std::max(lo, cLo)), b = int(std::min(hi, cHi));
    if (a > b) continue;
    if (w.xMajor) {
      std::uint32_t* row = &t.At(a, int(fixed));
      for (int x = a; x <= b; ++x, ++row) *row = InkOf(pen, *row);
      t.Touch(QRect(a, int(fixed), b - a + 1, 1));
    } else {
      std::uint32_t* px = &t.At(int(fixed), a);
      for (int y = a; y <= b; ++y, px += t.stride) *px = InkOf(pen, *px);
      t.Touch(QRect(int(fixed), a, 1, b - a + 1));
    }
  }
}

}  // namespace

PixelWide DrawLine(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
                   const LinePen& pen, PixelWide phase) {
  Walk w(x0, y0, x1, y1);
  if (w.M == 0 || !t.bits || t.clipBounds.isEmpty()) return phase + w.M;
  bool on[64];
  const int period = pen.period > 0 && pen.period <= 64 ? pen.period : 0;
  if (period) {
    int pos = 0;
    for (int i = 0; i < pen.dashCount; ++i)
      for (int n = 0; n < pen.dashes[i]; ++n) on[pos++] = (i % 2) == 0;
  }
  if (w.m == 0 && !period) {  // solid horizontal or vertical: spans per clip rectangle
    DrawAxisLine(t, w, pen);
    return phase + w.M;
  }
  const PixelWide base = period ? ((phase % period) + period) % period : 0;
  const PixelWide lo = w.xMajor ? t.clipBounds.left() : t.clipBounds.top();
  const PixelWide hi = w.xMajor ? t.clipBounds.right() : t.clipBounds.bottom();
  PixelWide minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  w.Run(lo, hi, [&](PixelWide k, PixelWide x, PixelWide y) {
    if (!t.Visible(x, y)) return;
    std::uint32_t& px = t.At(int(x), int(y));
    if (!period || on[(base + k) % period]) {
      px = InkOf(pen, px);
    } else if (pen.opaqueGaps) {
      px = GapOf(pen, px);
    } else {
      return;
    }
    minX = std::min(minX, x), maxX = std::max(maxX, x);
    minY = std::min(minY, y), maxY = std::max(maxY, y);
  });
  if (minX <= maxX)
    t.Touch(QRect(int(minX), int(minY), int(maxX - minX + 1), int(maxY - minY + 1)));
  return period ? (base + w.M) % period : phase + w.M;
}

std::vector<P64> LinePixels(PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1) {
  std::vector<P64> out;
  Walk w(x0, y0, x1, y1);
  w.Run(INT64_MIN / 4, INT64_MAX / 4, [&](PixelWide, PixelWide x, PixelWide y) {
    out.push_back({x, y});
  });
  return out;
}

double PixelAngle(PixelWide l, PixelWide t, PixelWide r, PixelWide b, double x, double y) {
  const double cx = (double(l) + double(r) - 1) / 2, cy = (double(t) + double(b) - 1) / 2;
  double a = std::atan2(-(y - cy), x - cx);
  if (a < 0) a += 2 * std::numbers::pi;
  return a;
}

namespace {

// Outline of the ellipse inscribed in the pixel box [x0, x1] x [y0, y1] (inclusive), as an
// integer error walk over the first quadrant mirrored into the other three.
template <class F>
void EllipseBox(PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1, F&& plot) {
  PixelWide a = x1 - x0, b = y1 - y0, b1 = b & 1;
  PixelWide dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
  PixelWide err = dx + dy + b1 * a * a, e2;
  y0 += (b + 1) / 2;
  y1 = y0 - b1;
  a *= 8 * a;
  b1 = 8 * b * b;
  do {
    plot(x1, y0);
    plot(x0, y0);
    plot(x0, y1);
    plot(x1, y1);
    e2 = 2 * err;
    if (e2 <= dy) {
      y0++;
      y1--;
      err += dy += a;
    }
    if (e2 >= dx || 2 * err > dy) {
      x0++;
      x1--;
      err += dx += b1;
    }
  } while (x0 <= x1);
  while (y0 - y1 < b) {  // flat ellipses: finish the tips
    plot(x0 - 1, y0);
    plot(x1 + 1, y0++);
    plot(x0 - 1, y1);
    plot(x1 + 1, y1--);
  }
}

}  // namespace

std::vector<P64> RoundRectOutline(PixelWide l, PixelWide t, PixelWide r, PixelWide b, PixelWide cw,
                                  PixelWide ch, const QRect& keep) {
  std::vector<P64> pts;
  if (r <= l || b <= t || cw <= 0 || ch <= 0 || cw > kMaxCurveSize || ch > kMaxCurveSize)
    return pts;
  cw = std::min(cw, r - l);
  ch = std::min(ch, b - t);
  // Local corner-ellipse pixels mapped to the corners: the left half of the ellipse goes to
  // the left corners, the right half to the right ones (a centre column/row to both).
  auto mapAxis = [](PixelWide v, PixelWide size, PixelWide lo, PixelWide hi, PixelWide out[2]) {
    const PixelWide twice = 2 * v;
    if (twice < size - 1) return out[0] = lo + v, 1;
    if (twice > size - 1) return out[0] = hi - size + v, 1;
    out[0] = lo + v;
    out[1] = hi - size + v;
    return out[0] == out[1] ? 1 : 2;
  };
  EllipseBox(0, 0, cw - 1, ch - 1, [&](PixelWide x, PixelWide y) {
    PixelWide xs[2], ys[2];
    const int nx = mapAxis(x, cw, l, r, xs), ny = mapAxis(y, ch, t, b, ys);
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) pts.push_back({xs[i], ys[j]});
  });
  // Straight edges between the corners.
  auto runX = [&](PixelWide y) {
    PixelWide lo = INT64_MAX, hi = INT64_MIN;
    for (const P64& p : pts)
      if (p.y == y) lo = std::min(lo, p.x), hi = std::max(hi, p.x);
    if (lo > hi || y < keep.top() || y > keep.bottom()) return;
    lo = std::max<PixelWide>(lo + 1, keep.left());
    hi = std::min<PixelWide>(hi, PixelWide(keep.right()) + 1);
    for (PixelWide x = lo; x < hi; ++x) pts.push_back({x, y});
  };
  auto runY = [&](PixelWide x) {
    PixelWide lo = INT64_MAX, hi = INT64_MIN;
    for (const P64& p : pts)
      if (p.x == x) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
    if (lo > hi || x < keep.left() || x > keep.right()) return;
    lo = std::max<PixelWide>(lo + 1, keep.top());
    hi = std::min<PixelWide>(hi, PixelWide(keep.bottom()) + 1);
    for (PixelWide y = lo; y < hi; ++y) pts.push_back({x, y});
  };
  if (r - l > cw) runX(t), runX(b - 1);
  if (b - t > ch) runY(l), runY(r - 1);
  std::sort(pts.begin(), pts.end(),
            [](const P64& a, const P64& c) { return a.y != c.y ? a.y < c.y : a.x < c.x; });
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
  std::vector<std::pair<double, P64>> byAngle;
  byAngle.reserve(pts.size());
  for (const P64& p : pts) byAngle.push_back({PixelAngle(l, t, r, b, double(p.x), double(p.y)), p});
  std::stable_sort(byAngle.begin(), byAngle.end(),
                   [](const auto& a, const auto& c) { return a.first < c.first; });
  for (size_t i = 0; i < pts.size(); ++i) pts[i] = byAngle[i].second;
  return pts;
}

bool ArcSpec::Contains(double a) const {
  constexpr double twoPi = 2 * std::numbers::pi;
  const double from = clockwise ? a1 : a0, to = clockwise ? a0 : a1;
  double sweep = std::fmod(to - from + twoPi, twoPi);
  if (sweep < 1e-12) sweep = twoPi;  // coinciding radials: the whole ellipse
  const double off = std::fmod(a - from + twoPi, twoPi);
  return off <= sweep + 1e-12;
}

void DrawRoundRect(PixelTarget& tg, PixelWide l, PixelWide t, PixelWide r, PixelWide b,
                   PixelWide cw, PixelWide ch, const Paint* fill, const LinePen* pen,
                   const ArcSpec* arc) {
  if (!tg.bits || r <= l || b <= t) return;
  const QRect keep = tg.clipBounds.adjusted(-1, -1, 1, 1);
  std::vector<P64> outline =
      RoundRectOutline(l, t, r, b, std::min(cw, r - l), std::min(ch, b - t), keep);
  if (fill) {
    // Per row: with a pen, the outline pixels left and right of the centre nearest to it bound
    // the interior; without one, the outermost outline pixels bound the fill.
    struct Row {
      PixelWide innerLeft = INT64_MIN, innerRight = INT64_MAX;
      PixelWide outerLeft = INT64_MAX, outerRight = INT64_MIN;
    };
    const double cx = (double(l) + double(r) - 1) / 2;
    std::map<PixelWide, Row> rows;
    // Rows strictly between the topmost and bottommost outline pixel of the left (right) column
    // lie on the straight left (right) edge. A straight edge is traced only near the clip, so
    // such a row may lack the pixel of an edge the clip left out: its bound is the edge itself.
    PixelWide leftLo = INT64_MAX, leftHi = INT64_MIN, rightLo = INT64_MAX, rightHi = INT64_MIN;
    for (const P64& p : outline) {
      if (p.x == l) leftLo = std::min(leftLo, p.y), leftHi = std::max(leftHi, p.y);
      if (p.x == r - 1) rightLo = std::min(rightLo, p.y), rightHi = std::max(rightHi, p.y);
    }
    for (const P64& p : outline) {
      Row& row = rows[p.y];
      if (double(p.x) <= cx)
        row.innerLeft = std::max(row.innerLeft, p.x);
      else
        row.innerRight = std::min(row.innerRight, p.x);
      row.outerLeft = std::min(row.outerLeft, p.x);
      row.outerRight = std::max(row.outerRight, p.x);
    }
    const PixelWide y0 = std::max<PixelWide>(t, tg.clipBounds.top());
    const PixelWide y1 = std::min<PixelWide>(b - 1, tg.clipBounds.bottom());
    for (PixelWide y = y0; y <= y1; ++y) {
      auto it = rows.find(y);
      if (it == rows.end()) {  // rows without outline pixels lie on the straight edges
        if (pen)
          FillSpan(tg, y, l + 1, r - 1, *fill);
        else
          FillSpan(tg, y, l, r, *fill);
        continue;
      }
      Row row = it->second;
      if (y > leftLo && y < leftHi) row.innerLeft = row.outerLeft = l;
      if (y > rightLo && y < rightHi) row.innerRight = row.outerRight = r - 1;
      if (!pen) {
        FillSpan(tg, y, row.outerLeft, row.outerRight + 1, *fill);
      } else if (row.innerLeft != INT64_MIN && row.innerRight != INT64_MAX) {
        FillSpan(tg, y, row.innerLeft + 1, row.innerRight, *fill);
      }
    }
  }
  if (!pen) return;
  const LinePen& lp = *pen;
  bool on[64];
  if (lp.period) {
    int pos = 0;
    for (int i = 0; i < lp.dashCount; ++i)
      for (int n = 0; n < lp.dashes[i]; ++n) on[pos++] = (i % 2) == 0;
  }
  PixelWide k = 0;
  for (const P64& p : outline) {
    if (arc && !arc->Contains(PixelAngle(l, t, r, b, double(p.x), double(p.y)))) continue;
    const bool ink = !lp.period || on[k % lp.period];
    ++k;
    if (ink)
      PutPixel(tg, p.x, p.y, lp.color, lp.mix);
    else if (lp.opaqueGaps)
      PutPixel(tg, p.x, p.y, lp.gap, lp.mix);
  }
}

void BlitArea(PixelTarget& t, const QRect& want, const BlitSource& src, const Paint* pattern,
              unsigned op) {
  if (!t.bits || !src.image) return;
  const QImage* s = src.image;
  const PixelWide ox = src.offsetX, oy = src.offsetY;
  const std::uint32_t fg = src.textColor, bg = src.bkColor, srcBk = src.sourceBk;
  const bool plainCopy = op == (SRCCOPY >> 16) && !src.mono && !src.monoTarget;
  for (int i = 0; i < t.clipCount; ++i) {
    const QRect r = want & t.clip[i];
    if (r.isEmpty()) continue;
    for (int yy = r.top(); yy <= r.bottom(); ++yy) {
      const std::uint32_t* sp =
          reinterpret_cast<const std::uint32_t*>(s->constScanLine(int(yy + oy))) + (r.left() + ox);
      std::uint32_t* dp = &t.At(r.left(), yy);
      const int n = r.width();
      if (plainCopy) {
        std::memcpy(dp, sp, size_t(n) * 4);
        continue;
      }
      for (int k = 0; k < n; ++k) {
        std::uint32_t v = sp[k] | 0xFF000000u;
        if (src.mono) v = ((v & 0xFFFFFFu) == 0xFFFFFFu) ? bg : fg;
        if (src.monoTarget) v = (v == (srcBk | 0xFF000000u)) ? 0xFFFFFFFFu : 0xFF000000u;
        switch (op) {  // the common source operations without the truth-table walk
          case SRCAND >> 16:
            dp[k] &= v;
            continue;
          case SRCPAINT >> 16:
            dp[k] |= v;
            continue;
          case SRCINVERT >> 16:
            dp[k] = (dp[k] ^ v) | 0xFF000000u;
            continue;
          default:
            break;
        }
        std::uint32_t p = 0;
        if (pattern && !pattern->ColorAt(r.left() + k, yy, &p)) continue;
        dp[k] = RopPixel(op, p, v, dp[k]);
      }
    }
    t.Touch(r);
  }
}

void InvertFocusFrame(PixelTarget& tg, PixelWide l, PixelWide t, PixelWide r, PixelWide b, int ox,
                      int oy) {
  if (!tg.bits) return;
  // Every frame pixel once (XOR twice would cancel), inverted on a checkerboard.
  auto dot = [&](PixelWide x, PixelWide y) {
    if (((x - ox + y - oy) & 1) != 0 || !tg.Visible(x, y)) return;
    tg.At(int(x), int(y)) ^= 0x00FFFFFFu;
    tg.Touch(QRect(int(x), int(y), 1, 1));
  };
  const PixelWide x0 = std::max<PixelWide>(l, tg.clipBounds.left() - 1);
  const PixelWide x1 = std::min<PixelWide>(r, PixelWide(tg.clipBounds.right()) + 2);
  const PixelWide y0 = std::max<PixelWide>(t + 1, tg.clipBounds.top() - 1);
  const PixelWide y1 = std::min<PixelWide>(b - 1, PixelWide(tg.clipBounds.bottom()) + 2);
  for (PixelWide x = x0; x < x1; ++x) {
    dot(x, t);
    if (b - 1 > t) dot(x, b - 1);
  }
  for (PixelWide y = y0; y < y1; ++y) {
    dot(l, y);
    if (r - 1 > l) dot(r - 1, y);
  }
}

void DrawWideAxisPolyline(PixelTarget& t, const std::vector<P64>& pts, int width,
                          std::uint32_t color, int mix) {
  if (!t.bits || pts.empty() || width < 1 || t.clipBounds.isEmpty()) return;
  const PixelWide w = width, half = w / 2;
  // Row spans of the disc, relative to the left edge of its width x width box.
  std::vector<PixelWide> discLo(size_t(w), INT64_MAX), discHi(size_t(w), INT64_MIN);
  EllipseBox(0, 0, w - 1, w - 1, [&](PixelWide x, PixelWide y) {
    if (y < 0 || y >= w) return;
    discLo[size_t(y)] = std::min(discLo[size_t(y)], x);
    discHi[size_t(y)] = std::max(discHi[size_t(y)], x + 1);
  });
  // Spans of the stroke per row (only the rows inside the clip), merged before painting so
  // that every pixel is combined with the destination once.
  const PixelWide clipTop = t.clipBounds.top(), clipBottom = t.clipBounds.bottom();
  std::map<PixelWide, std::vector<std::pair<PixelWide, PixelWide>>> spans;
  auto add = [&](PixelWide y, PixelWide x0, PixelWide x1) {
    if (y >= clipTop && y <= clipBottom && x0 < x1) spans[y].push_back({x0, x1});
  };
  for (size_t i = 0; i < pts.size(); ++i) {
    const P64 a = pts[i], b = i + 1 < pts.size() ? pts[i + 1] : pts[i];
    const PixelWide x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const PixelWide y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    if (y0 == y1) {  // horizontal (or a dot): the disc rows slid from x0 to x1
      for (PixelWide dy = 0; dy < w; ++dy)
        add(y0 - half + dy, x0 - half + discLo[size_t(dy)], x1 - half + discHi[size_t(dy)]);
      continue;
    }
    // Vertical: each row takes the widest disc row of the centres it lies within.
    const PixelWide first = std::max(y0 - half, clipTop),
                    last = std::min(y1 - half + w - 1, clipBottom);
    for (PixelWide y = first; y <= last; ++y) {
      const PixelWide dyLo = std::max<PixelWide>(0, y - y1 + half),
                      dyHi = std::min<PixelWide>(w - 1, y - y0 + half);
      PixelWide lo = INT64_MAX, hi = INT64_MIN;
      for (PixelWide dy = dyLo; dy <= dyHi; ++dy)
        lo = std::min(lo, discLo[size_t(dy)]), hi = std::max(hi, discHi[size_t(dy)]);
      if (lo < hi) add(y, x0 - half + lo, x0 - half + hi);
    }
  }
  Paint p;
  p.color = color;
  p.mix = mix;
  for (auto& [y, list] : spans) {
    std::sort(list.begin(), list.end());
    PixelWide lo = list[0].first, hi = list[0].second;
    for (size_t i = 1; i <= list.size(); ++i) {
      if (i < list.size() && list[i].first <= hi) {
        hi = std::max(hi, list[i].second);
        continue;
      }
      FillSpan(t, y, lo, hi, p);
      if (i < list.size()) lo = list[i].first, hi = list[i].second;
    }
  }
}

void MixMask(PixelTarget& t, const QImage& mask, int ox, int oy, std::uint32_t color, int mix) {
  if (!t.bits || mask.isNull()) return;
  const QRect area = QRect(ox, oy, mask.width(), mask.height());
  for (int i = 0; i < t.clipCount; ++i) {
    const QRect r = area & t.clip[i];
    if (r.isEmpty()) continue;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y - oy));
      std::uint32_t* row = t.bits + y * t.stride;
      for (int x = r.left(); x <= r.right(); ++x)
        if (qAlpha(m[x - ox]) != 0) row[x] = MixPixel(mix, color, row[x]);
    }
    t.Touch(r);
  }
}

}  // namespace quarlen::detail
