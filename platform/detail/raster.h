#pragma once
// Exact pixel routines of the device contexts: spans and rectangles under a clip region,
// cosmetic lines with the end point excluded and dash patterns, the integer ellipse outline and
// the filled curves built on it, bitmap copies with their raster operations, and the focus frame.
// Everything works on device coordinates in PixelWide (64-bit) integers, so huge coordinates are
// clipped exactly instead of overflowing, and loops never run longer than the visible part.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

#include "platform/gdi.h"
#include "platform/numeric.h"

namespace quarlen::detail {

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

  bool Visible(PixelWide x, PixelWide y) const;
  std::uint32_t& At(int x, int y) { return bits[y * stride + x]; }
  void Touch(const QRect& r) { dirty |= r; }
};

// How an area is painted: a solid colour, an 8x8 hatch (rows of bits, 0x80 = leftmost pixel)
// anchored at the brush origin with the gaps either left alone or painted, or XOR. `mix` is the
// binary raster operation (R2_*) that combines the colour with the destination.
struct Paint {
  enum Kind { Solid, Hatch, Xor } kind = Solid;
  std::uint32_t color = 0xFF000000u;  // QImage RGB32 pixel
  std::uint32_t gap = 0xFFFFFFFFu;    // colour of the hatch gaps when opaque
  bool opaqueGaps = true;
  const unsigned char* pattern = nullptr;  // 8 rows
  int originX = 0, originY = 0;            // brush origin, device pixels
  int mix = R2_COPYPEN;

  // The colour of the pattern at device pixel (x, y); false for a transparent hatch gap.
  bool ColorAt(PixelWide x, PixelWide y, std::uint32_t* c) const;
};

// The binary raster operation `mix` (R2_BLACK .. R2_WHITE) of pen colour p and destination d.
// Bit (2 P + D) of mix - 1 is the result for pen bit P and destination bit D.
inline std::uint32_t MixPixel(int mix, std::uint32_t p, std::uint32_t d) {
  const unsigned table = unsigned(mix - 1);
  std::uint32_t r = 0;
  if (table & 1u) r |= ~p & ~d;
  if (table & 2u) r |= ~p & d;
  if (table & 4u) r |= p & ~d;
  if (table & 8u) r |= p & d;
  return (r & 0x00FFFFFFu) | 0xFF000000u;
}

// The ternary raster operation with index `op` (the third byte of the code) of pattern p,
// source s and destination d. Bit (4 P + 2 S + D) of op is the result for those bits.
inline std::uint32_t RopPixel(unsigned op, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (unsigned k = 0; k < 8; ++k)
    if (op & (1u << k)) r |= ((k & 4u) ? p : ~p) & ((k & 2u) ? s : ~s) & ((k & 1u) ? d : ~d);
  return (r & 0x00FFFFFFu) | 0xFF000000u;
}
// Whether the result of operation `op` depends on the source, on the pattern.
constexpr bool RopUsesSource(unsigned op) { return (((op >> 2) ^ op) & 0x33u) != 0; }
constexpr bool RopUsesPattern(unsigned op) { return (((op >> 4) ^ op) & 0x0Fu) != 0; }

// The 8x8 bit rows of the hatch styles HS_HORIZONTAL .. HS_DIAGCROSS.
const unsigned char* HatchRows(int style);

// Fills [x0, x1) x [y0, y1) (device) under the clip.
void FillArea(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
              const Paint& paint);
// Fills [x0, x1) on row y under the clip.
void FillSpan(PixelTarget& t, PixelWide y, PixelWide x0, PixelWide x1, const Paint& paint);
// One pixel under the clip, combined with the destination by `mix`.
void PutPixel(PixelTarget& t, PixelWide x, PixelWide y, std::uint32_t color, int mix = R2_COPYPEN);
// Combines [x0, x1) x [y0, y1) with the pattern by the ternary raster operation `op` (PatBlt);
// transparent hatch gaps are left alone.
void PatternArea(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
                 const Paint& pattern, unsigned op);

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
  int mix = R2_COPYPEN;  // binary raster operation of ink and gap pixels
};

// The dash pattern of a cosmetic pen style (PS_DASH .. PS_DASHDOTDOT); null for the others.
void DashPattern(int style, const int** dashes, int* count, int* period);

// Draws the line from (x0, y0) to (x1, y1), the end point excluded, with the line rules of the
// drawing interface (see DrawLine in raster.cpp). `phase` is the position in the dash pattern
// at the first pixel; returns the phase after the last pixel.
PixelWide DrawLine(PixelTarget& t, PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1,
                   const LinePen& pen, PixelWide phase);

struct P64 {
  PixelWide x, y;
  bool operator==(const P64&) const = default;
};

// Which pixels the line covers, in drawing order (for tests and for callers that need them).
std::vector<P64> LinePixels(PixelWide x0, PixelWide y0, PixelWide x1, PixelWide y1);

// The stroke of a wide solid pen (`width` > 1, round caps and joins) along the polyline `pts`,
// whose segments are all horizontal or vertical (a repeated point is a dot): every pixel of the
// union of the pen's discs along the segments once, combined with the destination by `mix`.
// The disc is the filled ellipse of a width x width box whose pixel (width / 2, width / 2) is the
// centre, so odd widths are symmetric about the line.
void DrawWideAxisPolyline(PixelTarget& t, const std::vector<P64>& pts, int width,
                          std::uint32_t color, int mix);
// Paints every pixel set in `mask` (ARGB, alpha > 0) at device offset (ox, oy) with `color`
// combined by `mix`, under the clip.
void MixMask(PixelTarget& t, const QImage& mask, int ox, int oy, std::uint32_t color, int mix);

// Outline pixels of the rounded rectangle [l, r) x [t, b) whose corners are quarter ellipses
// of size cw x ch (cw = r - l and ch = b - t give the ellipse), each once, ordered by their
// angle about the centre, counter-clockwise on screen from the positive x axis. Corner sizes
// must be at most kMaxCurveSize. Pixels of the straight edges outside `keep` are left out (so
// a huge rectangle costs only its visible part).
constexpr PixelWide kMaxCurveSize = 1 << 15;
std::vector<P64> RoundRectOutline(PixelWide l, PixelWide t, PixelWide r, PixelWide b, PixelWide cw,
                                  PixelWide ch, const QRect& keep);
// Angle of a pixel about the centre of [l, r) x [t, b), radians in [0, 2 pi), counter-clockwise
// on screen from the positive x axis.
double PixelAngle(PixelWide l, PixelWide t, PixelWide r, PixelWide b, double x, double y);

// The part of an ellipse an arc keeps: angles as PixelAngle gives them.
struct ArcSpec {
  double a0 = 0, a1 = 0;  // start and end angles, radians, counter-clockwise on screen
  bool clockwise = false;
  bool Contains(double angle) const;
};

// Ellipse (cw = r - l, ch = b - t), rounded rectangle or arc in the device box [l, r) x [t, b)
// with the cosmetic pen `pen` and the interior paint `fill` (null: hollow). Without a pen
// (null) the brush covers every row from its outermost outline pixel to the other: outline and
// interior of the same figure drawn with a pen. An arc draws the outline
// pixels whose angle it contains and is never filled. Corner sizes at most kMaxCurveSize.
void DrawRoundRect(PixelTarget& t, PixelWide l, PixelWide top, PixelWide r, PixelWide b,
                   PixelWide cw, PixelWide ch, const Paint* fill, const LinePen* pen,
                   const ArcSpec* arc);

// The source of a bitmap copy and how its pixels are converted before the raster operation.
struct BlitSource {
  const QImage* image = nullptr;       // RGB32
  PixelWide offsetX = 0, offsetY = 0;  // source pixel of destination pixel (x, y): (x + ox, y + oy)
  bool mono = false;                   // monochrome source: white becomes bkColor, black textColor
  bool monoTarget = false;  // monochrome destination: sourceBk becomes white, all else black
  std::uint32_t textColor = 0xFF000000u, bkColor = 0xFFFFFFFFu;  // of the destination DC
  std::uint32_t sourceBk = 0xFFFFFFFFu;                          // of the source DC
};

// Copies the source into `area` (device, inside the source image) of the target under the
// clip, combined with the pattern (null when `op` does not use one) and the destination by the
// ternary raster operation with index `op`.
void BlitArea(PixelTarget& t, const QRect& area, const BlitSource& src, const Paint* pattern,
              unsigned op);

// Inverts every other pixel of the frame of [l, r) x [t, b) (a checkerboard anchored at the
// brush origin (ox, oy)), each pixel once: the focus rectangle, which a second call removes.
void InvertFocusFrame(PixelTarget& t, PixelWide l, PixelWide top, PixelWide r, PixelWide b, int ox,
                      int oy);

}  // namespace quarlen::detail
