// The case table. Cases are grouped by primitive; the names say what is drawn.
#include "tools/gdi-reference/cases.h"

namespace quarlen::gdiref {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kYellow = RGB(255, 220, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
// A pen or pattern colour and destination colours whose bits differ in every channel, so each
// boolean operation gives its own colour.
constexpr COLORREF kPat = RGB(0xF0, 0x3C, 0x55);
constexpr COLORREF kDest[] = {RGB(0xAA, 0xC3, 0x96), RGB(0x12, 0x34, 0x56), RGB(0, 0, 0),
                              RGB(255, 255, 255)};

// Why a case may differ from the reference. Each is a primitive where the reference's pixels
// are its own rather than pinned to those of Windows, or where the library keeps a rule of its
// own.
constexpr const char* kCaveatTinyRect =
    "a 1 x 1 rectangle: the reference paints nothing, the library paints the one pixel its "
    "outline covers";
constexpr const char* kCaveatTinyEllipse =
    "ellipses two rows high: the reference paints only the top row, one pixel short of the "
    "box; the library fills what its outline covers, the whole box";
constexpr const char* kCaveatRoundRectPhase =
    "dash phase of a round rectangle: both run counter-clockwise, the reference from where "
    "the top-right corner meets the right side, the library from the middle of the right "
    "side, as for an ellipse";
constexpr const char* kCaveatArcEnds =
    "arc end points: which boundary pixel a radial through the start or end point selects "
    "is rounded differently (one or two pixels per end)";
constexpr const char* kCaveatWideDiagonal =
    "wide pens along a slope and their joins: the library strokes them as a round-capped, "
    "round-joined outline whose edge pixels differ from the reference's";
constexpr const char* kCaveatCheckedFace =
    "a checked push button: the reference dithers the face with the highlight colour, the "
    "library keeps the plain face colour";
constexpr const char* kCaveatFocusRect =
    "focus rectangles: both invert every other frame pixel on a checkerboard fixed to the "
    "device, the reference where x + y is odd, the library where it is even; the reference "
    "draws them with an alternating pen of its own, not with the checker brush";

// Vertical stripes of the destination colours, 4 pixels wide, over [0, w) x [0, h). As with
// every FillSolidRect, the last stripe's colour stays the background colour.
void Stripes(Painter& p, int w, int h) {
  for (int x = 0, k = 0; x < w; x += 4, ++k) p.FillSolidRect(x, 0, 4, h, kDest[k % 4]);
}

// One-pixel lines in every direction class: both horizontal and both vertical directions,
// 45 degrees, shallow and steep slopes, leftwards, and short segments. Fits 48 x 32.
void LineSet(Painter& p) {
  p.MoveTo(2, 2), p.LineTo(45, 2);
  p.MoveTo(45, 5), p.LineTo(2, 5);
  p.MoveTo(2, 8), p.LineTo(2, 30);
  p.MoveTo(5, 30), p.LineTo(5, 8);
  p.MoveTo(8, 8), p.LineTo(30, 30);
  p.MoveTo(8, 12), p.LineTo(46, 20);
  p.MoveTo(40, 8), p.LineTo(46, 30);
  p.MoveTo(46, 24), p.LineTo(10, 30);
  p.MoveTo(30, 10), p.LineTo(33, 11);
}

void StyledLines(Painter& p, int style, bool opaque) {
  p.SetBkMode(opaque ? OPAQUE : TRANSPARENT);
  p.SetBkColor(kYellow);
  p.Pen(style, 1, kBlue);
  LineSet(p);
}

// A star of 1-pixel lines from the centre of a 48 x 48 canvas, one per octant boundary and
// between.
void Star(Painter& p) {
  static const POINT ends[] = {{46, 24}, {46, 12}, {46, 1},  {36, 1},  {24, 1}, {12, 1},
                               {1, 1},   {1, 12},  {1, 24},  {1, 36},  {1, 46}, {12, 46},
                               {24, 46}, {36, 46}, {46, 46}, {46, 36}, {40, 3}, {3, 40}};
  for (const POINT& e : ends) p.MoveTo(24, 24), p.LineTo(e.x, e.y);
}

void PatternRop(Painter& p, DWORD rop) {
  Stripes(p, 24, 16);
  p.Brush(kPat);
  p.PatBlt(2, 2, 20, 12, rop);
}

void SourceRop(Painter& p, DWORD rop) {
  Stripes(p, 24, 16);
  p.Brush(kPat);
  p.BlitStripes(2, 2, 20, 12, rop);
}

void Rop2Lines(Painter& p, int first) {
  Stripes(p, 40, 36);
  for (int k = 0; k < 8; ++k) {
    p.SetROP2(first + k);
    p.Pen(PS_SOLID, 1, kPat);
    p.MoveTo(1, 2 + 4 * k), p.LineTo(39, 2 + 4 * k);
    p.MoveTo(2 + 4 * k, 1), p.LineTo(7 + 4 * k, 34);
  }
}

void Rop2Fills(Painter& p, int first) {
  Stripes(p, 40, 36);
  for (int k = 0; k < 8; ++k) {
    p.SetROP2(first + k);
    p.Pen(PS_SOLID, 1, kBlue);
    p.Brush(kPat);
    p.Rectangle(2 + (k % 4) * 9, 2 + (k / 4) * 17, 10 + (k % 4) * 9, 16 + (k / 4) * 17);
  }
}

void Hatch(Painter& p, int hatch) {
  // Opaque on the left, transparent over stripes on the right; FillRect and a shape fill.
  Stripes(p, 48, 24);
  p.SetBkColor(kYellow);
  p.HatchBrush(hatch, kBlue);
  p.FillRect(1, 1, 23, 12);
  p.NullPen();
  p.Rectangle(1, 13, 24, 24);
  p.SetBkMode(TRANSPARENT);
  p.FillRect(25, 1, 47, 12);
  p.Rectangle(25, 13, 48, 24);
}

void WideSegments(Painter& p, int width) {
  p.Pen(PS_SOLID, width, kBlue);
  p.MoveTo(8, 6), p.LineTo(40, 6);
  p.MoveTo(40, 16), p.LineTo(8, 16);
  p.MoveTo(6, 22), p.LineTo(6, 44);
  p.MoveTo(16, 44), p.LineTo(16, 24);
  p.MoveTo(30, 34), p.LineTo(30, 34);  // a dot
}

void NullPenCurve(Painter& p, int l, int t, int r, int b, int cw, int ch) {
  p.NullPen();
  p.Brush(kRed);
  if (cw)
    p.RoundRect(l, t, r, b, cw, ch);
  else
    p.Ellipse(l, t, r, b);
}

void OutlinedCurve(Painter& p, int l, int t, int r, int b, int cw, int ch) {
  p.Pen(PS_SOLID, 1, kBlue);
  p.Brush(kRed);
  if (cw)
    p.RoundRect(l, t, r, b, cw, ch);
  else
    p.Ellipse(l, t, r, b);
}

void FlatFrames(Painter& p, UINT extra) {
  p.DrawFrameControl(1, 1, 15, 11, DFC_BUTTON, DFCS_BUTTONPUSH | extra);
  p.DrawFrameControl(17, 1, 39, 11, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | extra);
  p.DrawFrameControl(1, 13, 15, 23, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED | extra);
  p.DrawFrameControl(17, 13, 21, 17, DFC_BUTTON, DFCS_BUTTONPUSH | extra);
}

// Table entries of the case families that differ by one argument.
// clang-format off
#define PATTERN_ROP_CASE(label, code) \
  {"patblt_" label, 24, 16, [](Painter& p) { PatternRop(p, code); }, 0, nullptr}
#define LINE_CASE(label, style, opaque) \
  {"line_" label, 48, 32, [](Painter& p) { StyledLines(p, style, opaque); }, 0, nullptr}
#define SOURCE_ROP_CASE(label, code) \
  {"bitblt_" label, 24, 16, [](Painter& p) { SourceRop(p, code); }, 0, nullptr}
#define HATCH_CASE(label, hatch) \
  {"hatch_" label, 48, 24, [](Painter& p) { Hatch(p, hatch); }, 0, nullptr}
// clang-format on

const Case kCases[] = {
    // ---- 1-pixel lines ----
    LINE_CASE("solid_opaque", PS_SOLID, true),
    LINE_CASE("solid_transparent", PS_SOLID, false),
    LINE_CASE("dash_opaque", PS_DASH, true),
    LINE_CASE("dash_transparent", PS_DASH, false),
    LINE_CASE("dot_opaque", PS_DOT, true),
    LINE_CASE("dot_transparent", PS_DOT, false),
    LINE_CASE("dashdot_opaque", PS_DASHDOT, true),
    LINE_CASE("dashdot_transparent", PS_DASHDOT, false),
    LINE_CASE("dashdotdot_opaque", PS_DASHDOTDOT, true),
    LINE_CASE("dashdotdot_transparent", PS_DASHDOTDOT, false),
    {"line_star", 48, 48, [](Painter& p) { Star(p); }, 0, nullptr},
    {"line_null_pen", 48, 32,
     [](Painter& p) {
       p.NullPen();
       LineSet(p);
     },
     0, nullptr},
    {"line_outside_canvas", 32, 32,
     [](Painter& p) {
       p.Pen(PS_DASH, 1, kBlue);
       p.MoveTo(-20, 5), p.LineTo(50, 5);
       p.MoveTo(5, -30), p.LineTo(5, 40);
       p.MoveTo(-10, -10), p.LineTo(40, 30);
       p.MoveTo(40, -5), p.LineTo(-8, 35);
     },
     0, nullptr},
    {"polyline_dash_continues", 48, 32,
     [](Painter& p) {
       static const POINT pts[] = {{2, 2}, {20, 2}, {20, 14}, {4, 28}, {44, 28}, {44, 4}, {30, 10}};
       p.Pen(PS_DASH, 1, kBlue);
       p.SetBkColor(kYellow);
       p.Polyline(pts, 7);
     },
     0, nullptr},
    {"polyline_dot_short_segments", 32, 16,
     [](Painter& p) {
       static const POINT pts[] = {{2, 2}, {3, 2},  {5, 2},  {5, 3},  {8, 3},  {8, 8},
                                   {9, 9}, {14, 9}, {15, 9}, {20, 9}, {20, 2}, {30, 12}};
       p.Pen(PS_DOT, 1, kBlue);
       p.SetBkMode(TRANSPARENT);
       p.Polyline(pts, 12);
     },
     0, nullptr},
    // ---- dashed lines under a clip ----
    {"clip_dash_lines", 48, 32,
     [](Painter& p) {
       p.IntersectClipRect(9, 4, 37, 27);
       StyledLines(p, PS_DASH, true);
     },
     0, nullptr},
    {"clip_dot_lines_excluded", 48, 32,
     [](Painter& p) {
       p.ExcludeClipRect(12, 6, 30, 22);
       StyledLines(p, PS_DOT, false);
     },
     0, nullptr},
    {"clip_dashdotdot_lines", 48, 32,
     [](Painter& p) {
       p.IntersectClipRect(3, 3, 44, 12);
       StyledLines(p, PS_DASHDOTDOT, true);
     },
     0, nullptr},
    // ---- rectangles ----
    {"rect_solid_filled", 40, 32,
     [](Painter& p) {
       p.Pen(PS_SOLID, 1, kBlue);
       p.Brush(kRed);
       p.Rectangle(2, 2, 20, 14);
       p.Rectangle(36, 30, 24, 18);  // given right to left and bottom to top
       p.Rectangle(8, 20, 10, 22);   // 2 x 2
       p.Rectangle(12, 20, 15, 23);  // 3 x 3
     },
     0, nullptr},
    {"rect_1x1", 8, 8,
     [](Painter& p) {
       p.Pen(PS_SOLID, 1, kBlue);
       p.Brush(kRed);
       p.Rectangle(3, 3, 4, 4);
     },
     1, kCaveatTinyRect},
    {"rect_null_pen", 40, 32,
     [](Painter& p) {
       p.NullPen();
       p.Brush(kRed);
       p.Rectangle(2, 2, 20, 14);
       p.Rectangle(24, 2, 25, 14);
       p.Rectangle(4, 20, 6, 22);
     },
     0, nullptr},
    {"rect_null_brush", 40, 32,
     [](Painter& p) {
       p.Pen(PS_SOLID, 1, kBlue);
       p.NullBrush();
       p.Rectangle(2, 2, 20, 14);
       p.Rectangle(24, 2, 38, 30);
     },
     0, nullptr},
    {"rect_dotted", 40, 32,
     [](Painter& p) {
       p.Pen(PS_DOT, 1, kBlue);
       p.NullBrush();
       p.SetBkMode(TRANSPARENT);
       p.Rectangle(2, 2, 12, 8);
       p.Rectangle(14, 2, 39, 31);
       p.Rectangle(2, 12, 9, 30);
     },
     0, nullptr},
    {"rect_dashed_opaque", 40, 32,
     [](Painter& p) {
       p.Pen(PS_DASH, 1, kBlue);
       p.SetBkColor(kYellow);
       p.Brush(kRed);
       p.Rectangle(2, 2, 38, 30);
     },
     0, nullptr},
    {"rect_hatched", 40, 32,
     [](Painter& p) {
       p.Pen(PS_SOLID, 1, kBlue);
       p.HatchBrush(HS_DIAGCROSS, kGreen);
       p.Rectangle(2, 2, 38, 30);
     },
     0, nullptr},
    {"rect_insideframe_3", 40, 32,
     [](Painter& p) {
       p.Pen(PS_INSIDEFRAME, 3, kBlue);
       p.Brush(kRed);
       p.Rectangle(2, 2, 38, 30);
     },
     0, nullptr},
    {"rect_wide_3", 40, 32,
     [](Painter& p) {
       p.Pen(PS_SOLID, 3, kBlue);
       p.NullBrush();
       p.Rectangle(6, 6, 34, 26);
     },
     0, nullptr},
    {"frame_invert_pixel", 40, 24,
     [](Painter& p) {
       Stripes(p, 40, 24);
       p.Brush(kRed);
       p.FrameRect(2, 2, 20, 12);
       p.FrameRect(30, 4, 31, 5);
       p.InvertRect(22, 2, 38, 12);
       p.InvertRect(10, 20, 4, 14);  // inverted coordinates
       p.SetPixel(1, 22, kBlue);
       p.SetPixel(39, 23, kBlue);
     },
     0, nullptr},
    // ---- filled curves with the null pen ----
    {"ellipse_null_pen_circle", 24, 24, [](Painter& p) { NullPenCurve(p, 1, 1, 12, 12, 0, 0); }, 0,
     nullptr},
    {"ellipse_null_pen_even", 24, 24, [](Painter& p) { NullPenCurve(p, 2, 2, 22, 22, 0, 0); }, 0,
     nullptr},
    {"ellipse_null_pen_flat", 40, 16, [](Painter& p) { NullPenCurve(p, 1, 3, 39, 11, 0, 0); }, 0,
     nullptr},
    {"ellipse_null_pen_tall", 16, 40, [](Painter& p) { NullPenCurve(p, 4, 1, 11, 38, 0, 0); }, 0,
     nullptr},
    {"ellipse_null_pen_tiny", 16, 16,
     [](Painter& p) {
       NullPenCurve(p, 1, 1, 4, 3, 0, 0);
       NullPenCurve(p, 6, 1, 8, 3, 0, 0);
       NullPenCurve(p, 1, 6, 5, 11, 0, 0);
     },
     7, kCaveatTinyEllipse},
    {"roundrect_null_pen", 32, 20, [](Painter& p) { NullPenCurve(p, 1, 1, 30, 18, 8, 6); }, 0,
     nullptr},
    {"roundrect_null_pen_flat", 40, 12, [](Painter& p) { NullPenCurve(p, 0, 2, 38, 10, 14, 6); }, 0,
     nullptr},
    // ---- outlined curves ----
    {"ellipse_outlined", 40, 32, [](Painter& p) { OutlinedCurve(p, 2, 2, 38, 30, 0, 0); }, 0,
     nullptr},
    {"ellipse_outlined_small", 16, 16, [](Painter& p) { OutlinedCurve(p, 1, 1, 12, 10, 0, 0); }, 0,
     nullptr},
    {"roundrect_outlined", 40, 32, [](Painter& p) { OutlinedCurve(p, 2, 2, 38, 30, 10, 8); }, 0,
     nullptr},
    {"ellipse_dotted", 40, 32,
     [](Painter& p) {
       p.Pen(PS_DOT, 1, kBlue);
       p.SetBkColor(kYellow);
       p.NullBrush();
       p.Ellipse(2, 2, 38, 30);
     },
     0, nullptr},
    {"roundrect_dashed", 40, 32,
     [](Painter& p) {
       p.Pen(PS_DASH, 1, kBlue);
       p.SetBkMode(TRANSPARENT);
       p.Brush(kRed);
       p.RoundRect(2, 2, 38, 30, 12, 10);
     },
     48, kCaveatRoundRectPhase},
    {"arc_quadrants", 40, 40,
     [](Painter& p) {
       p.Pen(PS_SOLID, 1, kBlue);
       p.Arc(2, 2, 38, 38, 38, 20, 20, 2);
       p.Arc(6, 6, 34, 34, 6, 20, 20, 34);
     },
     3, kCaveatArcEnds},
    // ---- pattern blits: the sixteen operations of pattern and destination ----
    PATTERN_ROP_CASE("BLACKNESS", BLACKNESS),
    PATTERN_ROP_CASE("DPon", 0x000500A9),
    PATTERN_ROP_CASE("DPna", 0x000A0329),
    PATTERN_ROP_CASE("Pn", 0x000F0001),
    PATTERN_ROP_CASE("PDna", 0x00500325),
    PATTERN_ROP_CASE("DSTINVERT", DSTINVERT),
    PATTERN_ROP_CASE("PATINVERT", PATINVERT),
    PATTERN_ROP_CASE("DPan", 0x005F00E9),
    PATTERN_ROP_CASE("DPa", 0x00A000C9),
    PATTERN_ROP_CASE("PDxn", 0x00A50065),
    PATTERN_ROP_CASE("D", 0x00AA0029),
    PATTERN_ROP_CASE("DPno", 0x00AF0229),
    PATTERN_ROP_CASE("PATCOPY", PATCOPY),
    PATTERN_ROP_CASE("PDno", 0x00F50225),
    PATTERN_ROP_CASE("DPo", 0x00FA0089),
    PATTERN_ROP_CASE("WHITENESS", WHITENESS),
    {"patblt_hatch_patinvert", 40, 24,
     [](Painter& p) {
       Stripes(p, 40, 24);
       p.SetBkColor(kYellow);
       p.HatchBrush(HS_CROSS, kBlue);
       p.PatBlt(2, 2, 36, 20, PATINVERT);
     },
     0, nullptr},
    {"patblt_negative_sizes", 40, 24,
     [](Painter& p) {
       p.Brush(kRed);
       p.PatBlt(10, 10, -6, 5, PATCOPY);
       p.PatBlt(14, 10, 5, -6, PATCOPY);
       p.PatBlt(30, 20, -8, -7, PATCOPY);
       p.PatBlt(36, 4, -1, -1, PATCOPY);
     },
     0, nullptr},
    // ---- blits with a source: the named operations, and masked brush painting ----
    SOURCE_ROP_CASE("SRCCOPY", SRCCOPY),
    SOURCE_ROP_CASE("SRCPAINT", SRCPAINT),
    SOURCE_ROP_CASE("SRCAND", SRCAND),
    SOURCE_ROP_CASE("SRCINVERT", SRCINVERT),
    SOURCE_ROP_CASE("SRCERASE", SRCERASE),
    SOURCE_ROP_CASE("NOTSRCCOPY", NOTSRCCOPY),
    SOURCE_ROP_CASE("NOTSRCERASE", NOTSRCERASE),
    SOURCE_ROP_CASE("MERGECOPY", MERGECOPY),
    SOURCE_ROP_CASE("MERGEPAINT", MERGEPAINT),
    SOURCE_ROP_CASE("PATPAINT", PATPAINT),
    SOURCE_ROP_CASE("PSDPxax", 0x00B8074A),
    SOURCE_ROP_CASE("DSPDxax", 0x00E20746),
    // ---- hatch brushes ----
    HATCH_CASE("horizontal", HS_HORIZONTAL),
    HATCH_CASE("vertical", HS_VERTICAL),
    HATCH_CASE("fdiagonal", HS_FDIAGONAL),
    HATCH_CASE("bdiagonal", HS_BDIAGONAL),
    HATCH_CASE("cross", HS_CROSS),
    HATCH_CASE("diagcross", HS_DIAGCROSS),
    {"hatch_brush_origin", 40, 20,
     [](Painter& p) {
       p.HatchBrush(HS_DIAGCROSS, kBlue);
       p.SetBrushOrg(3, 5);
       p.FillRect(1, 1, 39, 19);
     },
     0, nullptr},
    {"hatch_viewport_origin", 40, 24,
     [](Painter& p) {
       // The hatch stays aligned to the device while the drawing moves with the origin.
       p.SetViewportOrg(5, 3);
       p.HatchBrush(HS_CROSS, kBlue);
       p.Pen(PS_DOT, 1, kRed);
       p.Rectangle(-2, -1, 30, 18);
       p.MoveTo(0, 19), p.LineTo(33, 19);
       p.FillSolidRect(28, 2, 4, 4, kGreen);
     },
     0, nullptr},
    // ---- wide horizontal and vertical lines ----
    {"wide_2", 48, 48, [](Painter& p) { WideSegments(p, 2); }, 0, nullptr},
    {"wide_3", 48, 48, [](Painter& p) { WideSegments(p, 3); }, 0, nullptr},
    {"wide_4", 48, 48, [](Painter& p) { WideSegments(p, 4); }, 0, nullptr},
    {"wide_5", 48, 48, [](Painter& p) { WideSegments(p, 5); }, 0, nullptr},
    {"wide_7", 48, 48, [](Painter& p) { WideSegments(p, 7); }, 0, nullptr},
    {"wide_diagonal_5", 48, 48,
     [](Painter& p) {
       static const POINT pts[] = {{6, 6}, {40, 14}, {20, 40}, {8, 30}};
       p.Pen(PS_SOLID, 5, kBlue);
       p.Polyline(pts, 4);
     },
     70, kCaveatWideDiagonal},
    // ---- MFC-style fills and frames ----
    {"fillsolidrect_negative_sizes", 40, 24,
     [](Painter& p) {
       p.FillSolidRect(2, 2, 6, 4, kRed);
       p.FillSolidRect(20, 4, -5, 6, kBlue);
       p.FillSolidRect(24, 12, 6, -4, kGreen);
       p.FillSolidRect(14, 22, -8, -6, kGrey);
       p.FillSolidRect(36, 20, 0, 3, kRed);
     },
     0, nullptr},
    {"draw3drect", 40, 24,
     [](Painter& p) {
       p.Draw3dRect(2, 2, 12, 8, kRed, kBlue);
       p.Draw3dRect(18, 2, 2, 2, kRed, kBlue);
       p.Draw3dRect(24, 2, 1, 1, kRed, kBlue);
       p.Draw3dRect(2, 12, 36, 10, kGreen, kGrey);
     },
     0, nullptr},
    {"frame_control_push", 40, 24, [](Painter& p) { FlatFrames(p, 0); }, 30, kCaveatCheckedFace},
    {"frame_control_flat", 40, 24, [](Painter& p) { FlatFrames(p, DFCS_FLAT); }, 30,
     kCaveatCheckedFace},
    {"edge_styles", 48, 24,
     [](Painter& p) {
       p.DrawEdge(1, 1, 11, 11, EDGE_RAISED, BF_RECT);
       p.DrawEdge(13, 1, 23, 11, EDGE_SUNKEN, BF_RECT);
       p.DrawEdge(25, 1, 35, 11, EDGE_ETCHED, BF_RECT);
       p.DrawEdge(37, 1, 47, 11, EDGE_BUMP, BF_RECT);
       p.DrawEdge(1, 13, 11, 23, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
       p.DrawEdge(13, 13, 23, 23, EDGE_SUNKEN, BF_RECT | BF_FLAT);
       p.DrawEdge(25, 13, 35, 23, BDR_RAISEDOUTER, BF_LEFT | BF_BOTTOM);
     },
     0, nullptr},
    {"focus_rect", 40, 24,
     [](Painter& p) {
       Stripes(p, 40, 24);
       p.DrawFocusRect(2, 2, 20, 12);
       p.DrawFocusRect(23, 3, 37, 21);
     },
     112, kCaveatFocusRect},
    // ---- binary raster operations of pens and shape fills ----
    {"rop2_lines_1_8", 40, 36, [](Painter& p) { Rop2Lines(p, R2_BLACK); }, 0, nullptr},
    {"rop2_lines_9_16", 40, 36, [](Painter& p) { Rop2Lines(p, R2_MASKPEN); }, 0, nullptr},
    {"rop2_fills_1_8", 40, 36, [](Painter& p) { Rop2Fills(p, R2_BLACK); }, 0, nullptr},
    {"rop2_fills_9_16", 40, 36, [](Painter& p) { Rop2Fills(p, R2_MASKPEN); }, 0, nullptr},
    {"rop2_xor_rubber_band", 40, 32,
     [](Painter& p) {
       Stripes(p, 40, 32);
       p.SetROP2(R2_XORPEN);
       p.Pen(PS_DOT, 1, RGB(255, 255, 255));
       p.NullBrush();
       p.Rectangle(3, 3, 30, 20);
       p.Rectangle(3, 3, 30, 20);  // erased again
       p.Rectangle(6, 8, 36, 28);
       p.SetROP2(R2_NOT);
       p.MoveTo(1, 30), p.LineTo(38, 1);
     },
     0, nullptr},
};

#undef PATTERN_ROP_CASE
#undef LINE_CASE
#undef HATCH_CASE
#undef SOURCE_ROP_CASE

const SystemColour kSystemColours[] = {
    {COLOR_WINDOW, RGB(255, 255, 255)},       {COLOR_WINDOWFRAME, RGB(100, 100, 100)},
    {COLOR_WINDOWTEXT, RGB(0, 0, 0)},         {COLOR_BTNFACE, RGB(240, 240, 240)},
    {COLOR_BTNSHADOW, RGB(160, 160, 160)},    {COLOR_BTNTEXT, RGB(0, 0, 0)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(105, 105, 105)},
    {COLOR_3DLIGHT, RGB(227, 227, 227)},
};

}  // namespace

const Case* Cases() { return kCases; }
std::size_t CaseCount() { return sizeof kCases / sizeof kCases[0]; }
const SystemColour* SystemColours() { return kSystemColours; }
std::size_t SystemColourCount() { return sizeof kSystemColours / sizeof kSystemColours[0]; }

}  // namespace quarlen::gdiref
