// Drawing rules an application ported onto the drawing layer relies on: negative fill and
// pattern sizes, reversed inverted rectangles, the ternary raster operations of PatBlt and BitBlt,
// the binary raster operations of pens and brushes, null-pen curves, the dash phase of a rectangle,
// flat frame controls and wide-pen caps.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "tests/support/canvas.h"
#include "platform/detail/raster.h"

using quarlen::test::Canvas;
using quarlen::test::RectPixels;

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Two colours whose bits differ in every channel pattern, so that each boolean operation of a
// pen or pattern P with a destination D gives a distinct, predictable colour.
constexpr COLORREF kP = RGB(0xF0, 0x3C, 0x55);
constexpr COLORREF kS = RGB(0xCC, 0x0F, 0x69);
constexpr COLORREF kD = RGB(0xAA, 0xC3, 0x96);

Pixels Union(Pixels a, const Pixels& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// ---- FillSolidRect and Draw3dRect with negative sizes ----------------------------------------

struct SolidCase {
  const char* name;
  friend void PrintTo(const SolidCase& c, std::ostream* os) { *os << c.name; }
  int x, y, cx, cy;
  RECT expected;  // half-open; empty = nothing
};

const SolidCase kSolidCases[] = {
    {"positive", 4, 4, 3, 2, {4, 4, 7, 6}},
    {"negative_width", 20, 20, -3, 5, {17, 20, 20, 25}},
    {"negative_height", 10, 10, 4, -2, {10, 8, 14, 10}},
    {"both_negative", 10, 10, -2, -2, {8, 8, 10, 10}},
    {"zero_width", 5, 5, 0, 4, {0, 0, 0, 0}},
};

class FillSolidRectSize : public ::testing::TestWithParam<SolidCase> {};

TEST_P(FillSolidRectSize, NormalisesTheRectangle) {
  const SolidCase& c = GetParam();
  Canvas cv;
  cv.dc.FillSolidRect(c.x, c.y, c.cx, c.cy, kRed);
  EXPECT_EQ(cv.Pixels(kRed),
            RectPixels(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
}

INSTANTIATE_TEST_SUITE_P(Sizes, FillSolidRectSize, ::testing::ValuesIn(kSolidCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Draw3dRect, DrawsAllFourSides) {
  Canvas cv;
  const RECT rc{2, 2, 10, 8};
  cv.dc.Draw3dRect(&rc, kRed, kBlue);
  // Top and left in the first colour, except the corners the bottom-right sides own.
  EXPECT_EQ(cv.Pixels(kRed), Union(RectPixels(2, 2, 9, 3), RectPixels(2, 2, 3, 7)));
  EXPECT_EQ(cv.Pixels(kBlue), Union(RectPixels(9, 2, 10, 8), RectPixels(2, 7, 10, 8)));
  EXPECT_EQ(cv.dc.GetBkColor(), kWhite);  // the background colour is restored
}

// ---- PatBlt rectangles -----------------------------------------------------------------------

struct PatBltCase {
  const char* name;
  friend void PrintTo(const PatBltCase& c, std::ostream* os) { *os << c.name; }
  int x, y, w, h;
  RECT expected;
};

const PatBltCase kPatBltCases[] = {
    {"positive", 10, 10, 3, 2, {10, 10, 13, 12}},
    {"negative_width", 10, 10, -3, 2, {8, 10, 11, 12}},
    {"negative_height", 10, 10, 3, -2, {10, 9, 13, 11}},
    {"both_negative", 10, 10, -3, -2, {8, 9, 11, 11}},
};

class PatBltSize : public ::testing::TestWithParam<PatBltCase> {};

TEST_P(PatBltSize, NegativeSizesCoverTheOriginColumnAndRow) {
  const PatBltCase& c = GetParam();
  Canvas cv;
  CBrush red(kRed);
  cv.dc.SelectObject(&red);
  EXPECT_TRUE(cv.dc.PatBlt(c.x, c.y, c.w, c.h, PATCOPY));
  EXPECT_EQ(cv.Pixels(kRed),
            RectPixels(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PatBltSize, ::testing::ValuesIn(kPatBltCases),
                         [](const auto& info) { return std::string(info.param.name); });

// InvertRect is PatBlt with DSTINVERT over the rectangle's width and height, so a rectangle
// given right to left or bottom to top inverts the columns and rows PatBlt's negative sizes
// cover.
struct InvertCase {
  const char* name;
  friend void PrintTo(const InvertCase& c, std::ostream* os) { *os << c.name; }
  RECT rc;
  RECT expected;
};

const InvertCase kInvertCases[] = {
    {"ordered", {4, 5, 9, 8}, {4, 5, 9, 8}},
    {"right_to_left", {10, 2, 4, 6}, {5, 2, 11, 6}},
    {"bottom_to_top", {2, 20, 6, 14}, {2, 15, 6, 21}},
    {"both_reversed", {10, 20, 4, 14}, {5, 15, 11, 21}},
    {"empty", {7, 7, 7, 12}, {0, 0, 0, 0}},
};

class InvertRectOrder : public ::testing::TestWithParam<InvertCase> {};

TEST_P(InvertRectOrder, InvertsWhatPatBltCovers) {
  const InvertCase& c = GetParam();
  Canvas cv(32, 32);
  cv.dc.InvertRect(&c.rc);
  EXPECT_EQ(cv.Pixels(RGB(0, 0, 0)),
            RectPixels(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
  cv.dc.InvertRect(&c.rc);  // twice restores
  EXPECT_TRUE(cv.Ink().empty());
}

INSTANTIATE_TEST_SUITE_P(Rectangles, InvertRectOrder, ::testing::ValuesIn(kInvertCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Ternary raster operations ---------------------------------------------------------------

// A raster operation and what it makes of pattern, source and destination bits. The operation
// index is the third byte of the code; the low word only encodes how to evaluate it.
struct Rop3Case {
  const char* name;
  friend void PrintTo(const Rop3Case& c, std::ostream* os) { *os << c.name; }
  DWORD rop;
  std::function<DWORD(DWORD p, DWORD s, DWORD d)> f;
};

COLORREF Apply(const Rop3Case& c, COLORREF p, COLORREF s, COLORREF d) {
  return c.f(p, s, d) & 0x00FFFFFFu;
}

// The sixteen operations of pattern and destination alone.
const Rop3Case kPatternRops[] = {
    {"BLACKNESS", BLACKNESS, [](DWORD, DWORD, DWORD) { return 0u; }},
    {"DPon", 0x000500A9, [](DWORD p, DWORD, DWORD d) { return ~(p | d); }},
    {"DPna", 0x000A0329, [](DWORD p, DWORD, DWORD d) { return ~p & d; }},
    {"Pn", 0x000F0001, [](DWORD p, DWORD, DWORD) { return ~p; }},
    {"PDna", 0x00500325, [](DWORD p, DWORD, DWORD d) { return p & ~d; }},
    {"DSTINVERT", DSTINVERT, [](DWORD, DWORD, DWORD d) { return ~d; }},
    {"PATINVERT", PATINVERT, [](DWORD p, DWORD, DWORD d) { return p ^ d; }},
    {"DPan", 0x005F00E9, [](DWORD p, DWORD, DWORD d) { return ~(p & d); }},
    {"DPa", 0x00A000C9, [](DWORD p, DWORD, DWORD d) { return p & d; }},
    {"PDxn", 0x00A50065, [](DWORD p, DWORD, DWORD d) { return ~(p ^ d); }},
    {"D", 0x00AA0029, [](DWORD, DWORD, DWORD d) { return d; }},
    {"DPno", 0x00AF0229, [](DWORD p, DWORD, DWORD d) { return ~p | d; }},
    {"PATCOPY", PATCOPY, [](DWORD p, DWORD, DWORD) { return p; }},
    {"PDno", 0x00F50225, [](DWORD p, DWORD, DWORD d) { return p | ~d; }},
    {"DPo", 0x00FA0089, [](DWORD p, DWORD, DWORD d) { return p | d; }},
    {"WHITENESS", WHITENESS, [](DWORD, DWORD, DWORD) { return 0xFFFFFFFFu; }},
};

class PatternRop : public ::testing::TestWithParam<Rop3Case> {};

TEST_P(PatternRop, PatBltCombinesBrushAndDestination) {
  const Rop3Case& c = GetParam();
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CBrush brush(kP);
  cv.dc.SelectObject(&brush);
  EXPECT_TRUE(cv.dc.PatBlt(2, 3, 5, 4, c.rop));
  const COLORREF result = Apply(c, kP, 0, kD);
  EXPECT_EQ(cv.Pixels(result), result == kD ? RectPixels(0, 0, 16, 16) : RectPixels(2, 3, 7, 7))
      << c.name;
  EXPECT_EQ(cv.At(1, 3), kD);
  EXPECT_EQ(cv.At(7, 3), kD);
}

TEST_P(PatternRop, BitBltWithoutSourceActsAsPatBlt) {
  const Rop3Case& c = GetParam();
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CBrush brush(kP);
  cv.dc.SelectObject(&brush);
  EXPECT_TRUE(cv.dc.BitBlt(4, 4, 3, 3, nullptr, 0, 0, c.rop));
  const COLORREF result = Apply(c, kP, 0, kD);
  EXPECT_EQ(cv.Pixels(result), result == kD ? RectPixels(0, 0, 16, 16) : RectPixels(4, 4, 7, 7))
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, PatternRop, ::testing::ValuesIn(kPatternRops),
                         [](const auto& info) { return std::string(info.param.name); });

// Operations with a source, as ported code uses them for masks and sprites.
const Rop3Case kSourceRops[] = {
    {"SRCCOPY", SRCCOPY, [](DWORD, DWORD s, DWORD) { return s; }},
    {"SRCAND", SRCAND, [](DWORD, DWORD s, DWORD d) { return s & d; }},
    {"SRCPAINT", SRCPAINT, [](DWORD, DWORD s, DWORD d) { return s | d; }},
    {"SRCINVERT", SRCINVERT, [](DWORD, DWORD s, DWORD d) { return s ^ d; }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](DWORD, DWORD s, DWORD) { return ~s; }},
    {"NOTSRCERASE", NOTSRCERASE, [](DWORD, DWORD s, DWORD d) { return ~(s | d); }},
    {"SRCERASE", SRCERASE, [](DWORD, DWORD s, DWORD d) { return s & ~d; }},
    {"MERGECOPY", MERGECOPY, [](DWORD p, DWORD s, DWORD) { return p & s; }},
    {"MERGEPAINT", MERGEPAINT, [](DWORD, DWORD s, DWORD d) { return ~s | d; }},
    {"PATPAINT", PATPAINT, [](DWORD p, DWORD s, DWORD d) { return p | ~s | d; }},
    // Pattern where the source is 0, destination where it is 1 (masked brush painting).
    {"PSDPxax", 0x00B8074A, [](DWORD p, DWORD s, DWORD d) { return (s & d) | (~s & p); }},
};

class SourceRop : public ::testing::TestWithParam<Rop3Case> {};

TEST_P(SourceRop, BitBltCombinesPatternSourceAndDestination) {
  const Rop3Case& c = GetParam();
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CBrush brush(kP);
  cv.dc.SelectObject(&brush);
  Canvas src(8, 8);
  src.dc.FillSolidRect(0, 0, 8, 8, kS);
  EXPECT_TRUE(cv.dc.BitBlt(3, 2, 4, 5, &src.dc, 1, 1, c.rop));
  EXPECT_EQ(cv.Pixels(Apply(c, kP, kS, kD)), RectPixels(3, 2, 7, 7)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Common, SourceRop, ::testing::ValuesIn(kSourceRops),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PatBlt, OperationsThatNeedASourceFail) {
  Canvas cv;
  EXPECT_FALSE(cv.dc.PatBlt(0, 0, 4, 4, SRCCOPY));
  EXPECT_FALSE(cv.dc.PatBlt(0, 0, 4, 4, SRCINVERT));
  EXPECT_TRUE(cv.Ink().empty());
}

TEST(PatBlt, PatInvertTwiceRestoresTheDestination) {
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CBrush brush(kP);
  cv.dc.SelectObject(&brush);
  cv.dc.PatBlt(1, 1, 9, 9, PATINVERT);
  cv.dc.PatBlt(1, 1, 9, 9, PATINVERT);
  EXPECT_EQ(cv.Pixels(kD), RectPixels(0, 0, 16, 16));
}

// ---- Binary raster operations of pens and brushes --------------------------------------------

struct Rop2Case {
  const char* name;
  friend void PrintTo(const Rop2Case& c, std::ostream* os) { *os << c.name; }
  int mode;
  std::function<DWORD(DWORD p, DWORD d)> f;
};

const Rop2Case kRop2Cases[] = {
    {"BLACK", R2_BLACK, [](DWORD, DWORD) { return 0u; }},
    {"NOTMERGEPEN", R2_NOTMERGEPEN, [](DWORD p, DWORD d) { return ~(p | d); }},
    {"MASKNOTPEN", R2_MASKNOTPEN, [](DWORD p, DWORD d) { return ~p & d; }},
    {"NOTCOPYPEN", R2_NOTCOPYPEN, [](DWORD p, DWORD) { return ~p; }},
    {"MASKPENNOT", R2_MASKPENNOT, [](DWORD p, DWORD d) { return p & ~d; }},
    {"NOT", R2_NOT, [](DWORD, DWORD d) { return ~d; }},
    {"XORPEN", R2_XORPEN, [](DWORD p, DWORD d) { return p ^ d; }},
    {"NOTMASKPEN", R2_NOTMASKPEN, [](DWORD p, DWORD d) { return ~(p & d); }},
    {"MASKPEN", R2_MASKPEN, [](DWORD p, DWORD d) { return p & d; }},
    {"NOTXORPEN", R2_NOTXORPEN, [](DWORD p, DWORD d) { return ~(p ^ d); }},
    {"NOP", R2_NOP, [](DWORD, DWORD d) { return d; }},
    {"MERGENOTPEN", R2_MERGENOTPEN, [](DWORD p, DWORD d) { return ~p | d; }},
    {"COPYPEN", R2_COPYPEN, [](DWORD p, DWORD) { return p; }},
    {"MERGEPENNOT", R2_MERGEPENNOT, [](DWORD p, DWORD d) { return p | ~d; }},
    {"MERGEPEN", R2_MERGEPEN, [](DWORD p, DWORD d) { return p | d; }},
    {"WHITE", R2_WHITE, [](DWORD, DWORD) { return 0xFFFFFFFFu; }},
};

COLORREF Mix(const Rop2Case& c, COLORREF p, COLORREF d) { return c.f(p, d) & 0x00FFFFFFu; }

class Rop2 : public ::testing::TestWithParam<Rop2Case> {};

TEST_P(Rop2, LinesCombinePenAndDestination) {
  const Rop2Case& c = GetParam();
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CPen pen(PS_SOLID, 1, kP);
  cv.dc.SelectObject(&pen);
  EXPECT_EQ(cv.dc.SetROP2(c.mode), R2_COPYPEN);
  EXPECT_EQ(cv.dc.GetROP2(), c.mode);
  cv.dc.MoveTo(2, 5);
  cv.dc.LineTo(12, 5);  // horizontal run
  cv.dc.MoveTo(3, 8);
  cv.dc.LineTo(9, 11);  // diagonal walk
  Pixels expected = RectPixels(2, 5, 12, 6);
  for (const auto& p : quarlen::detail::LinePixels(3, 8, 9, 11))
    expected.insert({int(p.x), int(p.y)});
  if (Mix(c, kP, kD) != kD) {
    EXPECT_EQ(cv.Pixels(Mix(c, kP, kD)), expected) << c.name;
  } else {
    EXPECT_EQ(cv.Pixels(kD), RectPixels(0, 0, 16, 16)) << c.name;
  }
}

TEST_P(Rop2, BrushFillsCombineBrushAndDestination) {
  const Rop2Case& c = GetParam();
  Canvas cv(16, 16);
  cv.dc.FillSolidRect(0, 0, 16, 16, kD);
  CBrush brush(kP);
  cv.dc.SelectObject(&brush);
  cv.dc.SelectStockObject(NULL_PEN);
  cv.dc.SetROP2(c.mode);
  cv.dc.Rectangle(2, 2, 8, 7);  // null pen: [2, 7) x [2, 6)
  if (Mix(c, kP, kD) != kD) {
    EXPECT_EQ(cv.Pixels(Mix(c, kP, kD)), RectPixels(2, 2, 7, 6)) << c.name;
  }
  // Fills through FillRect and PatBlt do not use the pen mix.
  const RECT rc{10, 10, 12, 12};
  cv.dc.FillRect(&rc, &brush);
  EXPECT_EQ(cv.At(10, 10), kP);
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, Rop2, ::testing::ValuesIn(kRop2Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Rop2State, InvalidModesAreRefusedAndSaveDcKeepsTheMode) {
  Canvas cv;
  EXPECT_EQ(cv.dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(cv.dc.SetROP2(0), 0);
  EXPECT_EQ(cv.dc.SetROP2(17), 0);
  EXPECT_EQ(cv.dc.GetROP2(), R2_COPYPEN);
  const int saved = cv.dc.SaveDC();
  cv.dc.SetROP2(R2_XORPEN);
  cv.dc.RestoreDC(saved);
  EXPECT_EQ(cv.dc.GetROP2(), R2_COPYPEN);
}

// A rubber band: the same figures drawn twice in XOR mode leave no trace, whatever the pen.
struct RubberBandCase {
  const char* name;
  friend void PrintTo(const RubberBandCase& c, std::ostream* os) { *os << c.name; }
  int style, width;
};

const RubberBandCase kRubberBandCases[] = {
    {"solid", PS_SOLID, 1},
    {"dotted", PS_DOT, 1},
    {"wide", PS_SOLID, 3},
};

class RubberBand : public ::testing::TestWithParam<RubberBandCase> {};

TEST_P(RubberBand, XorTwiceRestoresTheSurface) {
  const RubberBandCase& c = GetParam();
  Canvas cv(40, 40);
  cv.dc.FillSolidRect(0, 0, 40, 40, kD);
  CPen pen(c.style, c.width, kP);
  cv.dc.SelectObject(&pen);
  CBrush brush(kS);
  cv.dc.SelectObject(&brush);
  cv.dc.SetROP2(R2_XORPEN);
  for (int pass = 0; pass < 2; ++pass) {
    cv.dc.Rectangle(5, 5, 30, 25);
    cv.dc.Ellipse(8, 8, 27, 22);
    cv.dc.Arc(10, 10, 24, 20, 30, 15, 17, 0);
    cv.dc.MoveTo(8, 30);
    cv.dc.LineTo(30, 30);
    cv.dc.LineTo(30, 36);
    if (pass == 0) {
      EXPECT_LT(cv.Pixels(kD).size(), 1600u) << c.name;
    }
  }
  EXPECT_EQ(cv.Pixels(kD).size(), 1600u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Pens, RubberBand, ::testing::ValuesIn(kRubberBandCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Filled curves with the null pen ---------------------------------------------------------

struct CurveCase {
  const char* name;
  friend void PrintTo(const CurveCase& c, std::ostream* os) { *os << c.name; }
  int l, t, r, b;
  int cw, ch;  // 0: an ellipse
};

const CurveCase kCurveCases[] = {
    {"circle", 0, 0, 11, 11, 0, 0},
    {"even_circle", 2, 2, 12, 12, 0, 0},
    {"flat", 1, 3, 31, 9, 0, 0},
    {"tall", 4, 1, 9, 30, 0, 0},
    {"tiny", 5, 5, 8, 7, 0, 0},
    {"round_rect", 1, 1, 25, 15, 8, 6},
    {"round_rect_flat", 0, 2, 30, 8, 12, 4},
};

void DrawCurve(CDC& dc, const CurveCase& c) {
  if (c.cw)
    dc.RoundRect(c.l, c.t, c.r, c.b, c.cw, c.ch);
  else
    dc.Ellipse(c.l, c.t, c.r, c.b);
}

class NullPenCurve : public ::testing::TestWithParam<CurveCase> {};

// With the null pen the brush covers what outline and interior cover with a pen: every row
// from its outermost outline pixel to the other, the whole box.
TEST_P(NullPenCurve, FillCoversOutlineAndInterior) {
  const CurveCase& c = GetParam();
  Canvas outlined(40, 40), bare(40, 40);
  CPen pen(PS_SOLID, 1, kBlue);
  CBrush red(kRed);
  outlined.dc.SelectObject(&pen);
  outlined.dc.SelectObject(&red);
  DrawCurve(outlined.dc, c);
  bare.dc.SelectStockObject(NULL_PEN);
  bare.dc.SelectObject(&red);
  DrawCurve(bare.dc, c);
  EXPECT_EQ(bare.Pixels(kRed), outlined.Ink()) << c.name;
  EXPECT_EQ(bare.InkBox().left, c.l);
  EXPECT_EQ(bare.InkBox().right, c.r);
  EXPECT_EQ(bare.InkBox().top, c.t);
  EXPECT_EQ(bare.InkBox().bottom, c.b);
}

INSTANTIATE_TEST_SUITE_P(Boxes, NullPenCurve, ::testing::ValuesIn(kCurveCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Dash phase of a rectangle ---------------------------------------------------------------

// The frame of [l, r) x [t, b) in drawing order: from the top-right corner leftwards, down the
// left side, along the bottom and up the right side.
std::vector<std::pair<int, int>> FrameOrder(int l, int t, int r, int b) {
  std::vector<std::pair<int, int>> out;
  for (int x = r - 1; x > l; --x) out.push_back({x, t});
  for (int y = t; y < b - 1; ++y) out.push_back({l, y});
  for (int x = l; x < r - 1; ++x) out.push_back({x, b - 1});
  for (int y = b - 1; y > t; --y) out.push_back({r - 1, y});
  return out;
}

TEST(DottedRectangle, PatternStartsAtTheTopRightCornerGoingLeft) {
  Canvas cv;
  CPen dot(PS_DOT, 1, kRed);
  cv.dc.SelectObject(&dot);
  cv.dc.SelectStockObject(NULL_BRUSH);
  cv.dc.SetBkMode(TRANSPARENT);
  cv.dc.Rectangle(2, 2, 12, 8);
  Pixels expected;
  const auto order = FrameOrder(2, 2, 12, 8);
  for (size_t k = 0; k < order.size(); ++k)
    if (k % 6 < 3) expected.insert(order[k]);
  EXPECT_EQ(cv.Pixels(kRed), expected);
  // Spelled out for the top row: three on from the right corner, three off, three on.
  EXPECT_EQ(cv.At(11, 2), kRed);
  EXPECT_EQ(cv.At(9, 2), kRed);
  EXPECT_EQ(cv.At(8, 2), kWhite);
  EXPECT_EQ(cv.At(5, 2), kRed);
  EXPECT_EQ(cv.At(2, 2), kWhite);
}

// ---- Flat frame controls ---------------------------------------------------------------------

struct FlatCase {
  const char* name;
  friend void PrintTo(const FlatCase& c, std::ostream* os) { *os << c.name; }
  UINT state;
};

const FlatCase kFlatCases[] = {
    {"flat", DFCS_BUTTONPUSH | DFCS_FLAT},
    {"flat_pushed", DFCS_BUTTONPUSH | DFCS_FLAT | DFCS_PUSHED},
    {"flat_checked", DFCS_BUTTONPUSH | DFCS_FLAT | DFCS_CHECKED},
};

class FlatFrame : public ::testing::TestWithParam<FlatCase> {};

TEST_P(FlatFrame, OneRingInTheShadowColourAroundTheFace) {
  Canvas cv(20, 20);
  RECT rc{2, 3, 14, 11};
  EXPECT_TRUE(cv.dc.DrawFrameControl(&rc, DFC_BUTTON, GetParam().state));
  const Pixels ring = quarlen::test::RectPixels(2, 3, 14, 11);
  Pixels frame;
  for (auto p : ring)
    if (p.first == 2 || p.first == 13 || p.second == 3 || p.second == 10) frame.insert(p);
  EXPECT_EQ(cv.Pixels(GetSysColor(COLOR_BTNSHADOW)), frame) << GetParam().name;
  EXPECT_EQ(cv.Pixels(GetSysColor(COLOR_BTNFACE)), RectPixels(3, 4, 13, 10)) << GetParam().name;
  EXPECT_EQ(cv.InkBox().left, 2);
  EXPECT_EQ(cv.InkBox().bottom, 11);
}

INSTANTIATE_TEST_SUITE_P(States, FlatFrame, ::testing::ValuesIn(kFlatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrawEdge, FlatBorderUsesTheShadowColourOnAllSides) {
  Canvas cv(20, 20);
  RECT rc{0, 0, 10, 10};
  cv.dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT | BF_FLAT);
  for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}, {5, 0}, {0, 5}, {9, 5}, {5, 9}})
    EXPECT_EQ(cv.At(x, y), GetSysColor(COLOR_BTNSHADOW)) << x << "," << y;
  EXPECT_EQ(cv.At(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(cv.At(8, 8), GetSysColor(COLOR_BTNFACE));
}

// ---- Wide pens -------------------------------------------------------------------------------

struct WideCase {
  const char* name;
  friend void PrintTo(const WideCase& c, std::ostream* os) { *os << c.name; }
  int width;
  int x0, y0, x1, y1;
  RECT ink;  // bounding box of the stroke, half-open
};

const WideCase kWideCases[] = {
    {"horizontal_3", 3, 10, 10, 20, 10, {9, 9, 22, 12}},
    {"horizontal_3_leftwards", 3, 20, 10, 10, 10, {9, 9, 22, 12}},
    {"horizontal_5", 5, 10, 10, 20, 10, {8, 8, 23, 13}},
    {"vertical_3", 3, 15, 5, 15, 25, {14, 4, 17, 27}},
    {"vertical_7_upwards", 7, 15, 25, 15, 5, {12, 2, 19, 29}},
    {"horizontal_4", 4, 10, 10, 20, 10, {8, 8, 22, 12}},
    {"dot_5", 5, 12, 12, 12, 12, {10, 10, 15, 15}},
    {"dot_3", 3, 12, 12, 12, 12, {11, 11, 14, 14}},
};

class WidePen : public ::testing::TestWithParam<WideCase> {};

TEST_P(WidePen, RoundCapsCentredOnBothEnds) {
  const WideCase& c = GetParam();
  Canvas cv(40, 40);
  CPen pen(PS_SOLID, c.width, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.MoveTo(c.x0, c.y0);
  cv.dc.LineTo(c.x1, c.y1);
  const RECT box = cv.InkBox();
  EXPECT_EQ(box.left, c.ink.left) << c.name;
  EXPECT_EQ(box.top, c.ink.top) << c.name;
  EXPECT_EQ(box.right, c.ink.right) << c.name;
  EXPECT_EQ(box.bottom, c.ink.bottom) << c.name;
  const Pixels ink = cv.Ink();
  // The full width runs between the end points; odd widths are symmetric about the segment.
  const bool horizontal = c.y0 == c.y1;
  const int lo = horizontal ? std::min(c.x0, c.x1) : std::min(c.y0, c.y1);
  const int hi = horizontal ? std::max(c.x0, c.x1) : std::max(c.y0, c.y1);
  for (int a = lo; a <= hi; ++a)
    for (int k = -c.width / 2; k < c.width - c.width / 2; ++k) {
      const auto p = horizontal ? std::pair{a, c.y0 + k} : std::pair{c.x0 + k, a};
      EXPECT_TRUE(ink.count(p)) << c.name << " " << p.first << "," << p.second;
    }
  if (c.width % 2) {
    for (auto [x, y] : ink) {
      const int mx = horizontal ? (lo + hi) - x : 2 * c.x0 - x;
      const int my = horizontal ? 2 * c.y0 - y : (lo + hi) - y;
      EXPECT_TRUE(ink.count({mx, my})) << c.name << " " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Segments, WidePen, ::testing::ValuesIn(kWideCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WidePen, RectangleCornersAreRoundAndSidesExact) {
  Canvas cv(40, 40);
  CPen pen(PS_SOLID, 3, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SelectStockObject(NULL_BRUSH);
  cv.dc.Rectangle(10, 10, 30, 20);  // frame through the pixels 10..29 x 10..19
  const RECT box = cv.InkBox();
  EXPECT_EQ(box.left, 9);
  EXPECT_EQ(box.top, 9);
  EXPECT_EQ(box.right, 31);
  EXPECT_EQ(box.bottom, 21);
  EXPECT_EQ(cv.At(20, 9), kRed);
  EXPECT_EQ(cv.At(20, 11), kRed);
  EXPECT_EQ(cv.At(20, 12), kWhite);
  EXPECT_EQ(cv.At(9, 15), kRed);
  EXPECT_EQ(cv.At(12, 15), kWhite);
}

}  // namespace
