#pragma once
// Exact pixel routines of the device contexts: spans and rectangles under a clip region,
// cosmetic lines with the end point excluded and dash patterns, the integer ellipse outline and
// the filled curves built on it, bitmap copies with their raster operations, and the focus frame.
// Everything works on device coordinates in 64-bit integers, so huge coordinates are clipped
// exactly instead of overflowing, and loops never run longer than the visible part.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

namespace quarlen::detail {

using i64 = std::int64_t;

// A locked image plus the clip rectangles (device coordinates, disjoint) to draw under. Every
// routine grows `dirty` by what it may have changed.
struct PixelTarget {
  std::uint32_t* bits = nullptr;
  qsizetype stride = 0;  // in pixels
  int width = 0, height = 0;
  const QRect* clip = nullptr;
  int clipCount = 0;
  QRect clipBounds;  // bounding rectangle of the clip rectangles
  QRect dirty;

  bool Visible(i64 x, i64 y) const;
  std::uint32_t& At(int x, int y) { return bits[y * stride + x]; }
  void Touch(const QRect& r) { dirty |= r; }
};

// How an area is painted: a solid colour, an 8x8 hatch (rows of bits, 0x80 = leftmost pixel)
// anchored at the brush origin with the gaps either left alone or painted, or XOR.
struct Paint {
  enum Kind { Solid, Hatch, Xor } kind = Solid;
  std::uint32_t color = 0xFF000000u;  // QImage RGB32 pixel
  std::uint32_t gap = 0xFFFFFFFFu;    // colour of the hatch gaps when opaque
  bool opaqueGaps = true;
  const unsigned char* pattern = nullptr;  // 8 rows
  int originX = 0, originY = 0;            // brush origin, device pixels
};

// The 8x8 bit rows of the hatch styles HS_HORIZONTAL .. HS_DIAGCROSS.
const unsigned char* HatchRows(int style);

// Fills [x0, x1) x [y0, y1) (device) under the clip.
void FillArea(PixelTarget& t, i64 x0, i64 y0, i64 x1, i64 y1, const Paint& paint);
// Fills [x0, x1) on row y under the clip.
void FillSpan(PixelTarget& t, i64 y, i64 x0, i64 x1, const Paint& paint);
// One pixel under the clip.
void PutPixel(PixelTarget& t, i64 x, i64 y, std::uint32_t color);

// A cosmetic (one pixel wide) pen: colour, dash pattern (alternating on/off lengths, starting
// with "on"; empty = solid) and what the off pixels get.
struct LinePen {
  std::uint32_t color = 0xFF000000u;
  const int* dashes = nullptr;
  int dashCount = 0;
  int period = 0;  // sum of the dash lengths
  bool opaqueGaps = true;
  std::uint32_t gap = 0xFFFFFFFFu;
  bool xorMode = false;  // invert the destination instead of painting (focus rectangles)
};

// The dash pattern of a cosmetic pen style (PS_DASH .. PS_DASHDOTDOT); null for the others.
void DashPattern(int style, const int** dashes, int* count, int* period);

// Draws the line from (x0, y0) to (x1, y1), the end point excluded, with the line rules of the
// drawing interface (see DrawLine in raster.cpp). `phase` is the position in the dash pattern
// at the first pixel; returns the phase after the last pixel.
i64 DrawLine(PixelTarget& t, i64 x0, i64 y0, i64 x1, i64 y1, const LinePen& pen, i64 phase);

struct P64 {
  i64 x, y;
  bool operator==(const P64&) const = default;
};

// Which pixels the line covers, in drawing order (for tests and for callers that need them).
std::vector<P64> LinePixels(i64 x0, i64 y0, i64 x1, i64 y1);

// Outline pixels of the rounded rectangle [l, r) x [t, b) whose corners are quarter ellipses
// of size cw x ch (cw = r - l and ch = b - t give the ellipse), each once, ordered by their
// angle about the centre, counter-clockwise on screen from the positive x axis. Corner sizes
// must be at most kMaxCurveSize. Pixels of the straight edges outside `keep` are left out (so
// a huge rectangle costs only its visible part).
constexpr i64 kMaxCurveSize = 1 << 15;
std::vector<P64> RoundRectOutline(i64 l, i64 t, i64 r, i64 b, i64 cw, i64 ch, const QRect& keep);
// Angle of a pixel about the centre of [l, r) x [t, b), radians in [0, 2 pi), counter-clockwise
// on screen from the positive x axis.
double PixelAngle(i64 l, i64 t, i64 r, i64 b, double x, double y);

// The part of an ellipse an arc keeps: angles as PixelAngle gives them.
struct ArcSpec {
  double a0 = 0, a1 = 0;  // start and end angles, radians, counter-clockwise on screen
  bool clockwise = false;
  bool Contains(double angle) const;
};

// Ellipse (cw = r - l, ch = b - t), rounded rectangle or arc in the device box [l, r) x [t, b)
// with the cosmetic pen `pen` (null: no outline; the figure is then one pixel smaller and the
// brush covers it whole) and the interior paint `fill` (null: hollow). An arc draws the outline
// pixels whose angle it contains and is never filled. Corner sizes at most kMaxCurveSize.
void DrawRoundRect(PixelTarget& t, i64 l, i64 top, i64 r, i64 b, i64 cw, i64 ch, const Paint* fill,
                   const LinePen* pen, const ArcSpec* arc);

// The source of a bitmap copy and how its pixels are converted before the raster operation.
struct BlitSource {
  const QImage* image = nullptr;  // RGB32
  i64 offsetX = 0, offsetY = 0;   // source pixel of destination pixel (x, y): (x + ox, y + oy)
  bool mono = false;              // monochrome source: white becomes bkColor, black textColor
  bool monoTarget = false;        // monochrome destination: sourceBk becomes white, all else black
  std::uint32_t textColor = 0xFF000000u, bkColor = 0xFFFFFFFFu;  // of the destination DC
  std::uint32_t sourceBk = 0xFFFFFFFFu;                          // of the source DC
};

// Copies the source into `area` (device, inside the source image) of the target under the
// clip, combined with the destination by the raster operation `rop` (SRCCOPY, SRCAND, SRCPAINT
// or SRCINVERT).
void BlitArea(PixelTarget& t, const QRect& area, const BlitSource& src, std::uint32_t rop);

// Inverts every other pixel of the frame of [l, r) x [t, b) (a checkerboard anchored at the
// brush origin (ox, oy)), each pixel once: the focus rectangle, which a second call removes.
void InvertFocusFrame(PixelTarget& t, i64 l, i64 top, i64 r, i64 b, int ox, int oy);

}  // namespace quarlen::detail
