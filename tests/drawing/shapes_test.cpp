// Which pixels fills, rectangles, lines, dashes, hatches and ellipses cover.
#include <gtest/gtest.h>

#include <climits>

#include "tests/support/canvas.h"
#include "platform/detail/raster.h"

using quarlen::test::Canvas;
using quarlen::test::RectPixels;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct FillCase {
  RECT rc;
  RECT expected;  // painted area, half-open; empty = nothing
};

class FillRectTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRectTest, CoversLeftTopButNotRightBottom) {
  const FillCase& c = GetParam();
  Canvas cv;
  CBrush red(kRed);
  cv.dc.FillRect(&c.rc, &red);
  EXPECT_EQ(cv.Pixels(kRed),
            RectPixels(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
}

INSTANTIATE_TEST_SUITE_P(
    Rects, FillRectTest,
    ::testing::Values(FillCase{{2, 3, 10, 7}, {2, 3, 10, 7}}, FillCase{{0, 0, 1, 1}, {0, 0, 1, 1}},
                      FillCase{{5, 5, 5, 9}, {0, 0, 0, 0}},     // zero width
                      FillCase{{10, 10, 2, 20}, {0, 0, 0, 0}},  // inverted: nothing
                      FillCase{{-5, -5, 3, 2}, {0, 0, 3, 2}},   // clipped at the surface
                      FillCase{{60, 60, INT_MAX, INT_MAX}, {60, 60, 64, 64}},
                      FillCase{{INT_MIN, INT_MIN, INT_MAX, 1}, {0, 0, 64, 1}}));

TEST(FillSolidRect, FillsHalfOpenAndSetsBackgroundColour) {
  Canvas cv;
  cv.dc.FillSolidRect(4, 4, 3, 2, kBlue);
  EXPECT_EQ(cv.Pixels(kBlue), RectPixels(4, 4, 7, 6));
  EXPECT_EQ(cv.dc.GetBkColor(), kBlue);
  cv.dc.FillSolidRect(20, 20, -3, 5, kRed);  // negative size: the rectangle is normalised
  EXPECT_EQ(cv.Pixels(kRed), RectPixels(17, 20, 20, 25));
}

TEST(FillRect, SystemColourIndexPlusOneIsABrush) {
  Canvas cv;
  RECT rc{1, 1, 3, 3};
  EXPECT_TRUE(cv.dc.FillRect(&rc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(cv.At(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(cv.At(3, 3), kWhite);
}

struct RectCase {
  int l, t, r, b;
  bool nullPen;
  RECT frame;     // outline box (frame on its edge pixels), empty for none
  RECT interior;  // brush area
};

class RectangleTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectangleTest, FrameOnEdgePixelsInteriorInside) {
  const RectCase& c = GetParam();
  Canvas cv;
  CBrush blue(kBlue);
  CPen red(PS_SOLID, 1, kRed);
  cv.dc.SelectObject(&blue);
  if (c.nullPen)
    cv.dc.SelectStockObject(NULL_PEN);
  else
    cv.dc.SelectObject(&red);
  cv.dc.Rectangle(c.l, c.t, c.r, c.b);
  std::set<std::pair<int, int>> frame;
  if (c.frame.right > c.frame.left) {
    auto all = RectPixels(c.frame.left, c.frame.top, c.frame.right, c.frame.bottom);
    auto inner =
        RectPixels(c.frame.left + 1, c.frame.top + 1, c.frame.right - 1, c.frame.bottom - 1);
    for (auto p : inner) all.erase(p);
    frame = all;
  }
  EXPECT_EQ(cv.Pixels(kRed), frame);
  EXPECT_EQ(cv.Pixels(kBlue),
            RectPixels(c.interior.left, c.interior.top, c.interior.right, c.interior.bottom));
}

INSTANTIATE_TEST_SUITE_P(
    Rects, RectangleTest,
    ::testing::Values(RectCase{2, 2, 8, 6, false, {2, 2, 8, 6}, {3, 3, 7, 5}},
                      RectCase{8, 6, 2, 2, false, {2, 2, 8, 6}, {3, 3, 7, 5}},  // normalised
                      RectCase{2, 2, 8, 6, true, {0, 0, 0, 0}, {2, 2, 7, 5}},   // 1 px smaller
                      RectCase{2, 2, 2, 6, false, {0, 0, 0, 0}, {0, 0, 0, 0}},  // empty
                      RectCase{2, 2, 4, 4, false, {2, 2, 4, 4}, {0, 0, 0, 0}}));

// Octants and special directions: the end point is never painted, the start always is, the
// pixel count is the longer axis, and the reverse line covers the same pixels shifted by its
// own end-point rule.
class LineTest : public ::testing::TestWithParam<std::pair<POINT, POINT>> {};

TEST_P(LineTest, EndPointExcludedAndReversible) {
  const auto [a, b] = GetParam();
  Canvas cv;
  cv.dc.MoveTo(a);
  EXPECT_TRUE(cv.dc.LineTo(b));
  EXPECT_EQ(cv.dc.GetCurrentPosition(), CPoint(b));
  const auto ink = cv.Pixels(0);
  const int major = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
  EXPECT_EQ(int(ink.size()), major);
  EXPECT_TRUE(ink.count({a.x, a.y}));
  EXPECT_FALSE(ink.count({b.x, b.y}));

  Canvas back;
  back.dc.MoveTo(b);
  back.dc.LineTo(a);
  auto forward = ink;
  forward.insert({b.x, b.y});
  auto reverse = back.Pixels(0);
  reverse.insert({a.x, a.y});
  EXPECT_EQ(forward, reverse);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LineTest,
    ::testing::Values(std::pair{POINT{5, 5}, POINT{40, 5}}, std::pair{POINT{40, 5}, POINT{5, 5}},
                      std::pair{POINT{5, 5}, POINT{5, 40}}, std::pair{POINT{5, 40}, POINT{5, 5}},
                      std::pair{POINT{5, 5}, POINT{40, 17}}, std::pair{POINT{5, 5}, POINT{17, 40}},
                      std::pair{POINT{40, 5}, POINT{5, 17}}, std::pair{POINT{40, 5}, POINT{28, 40}},
                      std::pair{POINT{40, 40}, POINT{5, 28}},
                      std::pair{POINT{40, 40}, POINT{28, 5}},
                      std::pair{POINT{5, 40}, POINT{40, 28}}, std::pair{POINT{5, 40}, POINT{17, 5}},
                      std::pair{POINT{5, 5}, POINT{25, 25}}, std::pair{POINT{25, 5}, POINT{5, 25}},
                      std::pair{POINT{5, 5}, POINT{11, 9}}, std::pair{POINT{11, 9}, POINT{5, 5}}));

TEST(LineTo, SamePointDrawsNothing) {
  Canvas cv;
  cv.dc.MoveTo(3, 3);
  cv.dc.LineTo(3, 3);
  EXPECT_TRUE(cv.Ink().empty());
}

TEST(LineTo, HugeCoordinatesAreClippedExactly) {
  Canvas cv;
  cv.dc.MoveTo(INT_MIN, 5);
  cv.dc.LineTo(INT_MAX, 5);
  EXPECT_EQ(cv.Pixels(0), RectPixels(0, 5, 64, 6));
  // A steep line far outside: same pixels as the walk over its whole length.
  Canvas steep;
  steep.dc.MoveTo(-1000000, -3000000);
  steep.dc.LineTo(1000000, 3000000);
  std::set<std::pair<int, int>> expected;
  for (auto p : quarlen::detail::LinePixels(-1000000, -3000000, 1000000, 3000000))
    if (p.x >= 0 && p.x < 64 && p.y >= 0 && p.y < 64) expected.insert({int(p.x), int(p.y)});
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(steep.Pixels(0), expected);
}

// ---- Dash patterns ----

struct DashCase {
  int style;
  std::vector<int> runs;  // on, off, on, off ... pixel counts of one period
};

class DashTest : public ::testing::TestWithParam<DashCase> {};

std::string Expected(const DashCase& c, int n, char off) {
  std::string s;
  for (int i = 0; (int)s.size() < n; i = (i + 1) % int(c.runs.size()))
    s.append(size_t(c.runs[size_t(i)]), i % 2 == 0 ? 'P' : off);
  s.resize(size_t(n));
  return s;
}

std::string Row(const Canvas& cv, int y, int n) {
  std::string s;
  for (int x = 0; x < n; ++x) {
    const COLORREF c = cv.At(x, y);
    s += c == kRed ? 'P' : c == kBlue ? 'B' : c == kWhite ? '.' : '?';
  }
  return s;
}

TEST_P(DashTest, OpaqueGapsGetTheBackgroundColour) {
  const DashCase& c = GetParam();
  Canvas cv(128, 8);
  CPen pen(c.style, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SetBkColor(kBlue);
  cv.dc.MoveTo(0, 2);
  cv.dc.LineTo(100, 2);
  EXPECT_EQ(Row(cv, 2, 100), Expected(c, 100, 'B'));
}

TEST_P(DashTest, TransparentGapsAreLeftAlone) {
  const DashCase& c = GetParam();
  Canvas cv(128, 8);
  CPen pen(c.style, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SetBkColor(kBlue);
  cv.dc.SetBkMode(TRANSPARENT);
  cv.dc.MoveTo(0, 2);
  cv.dc.LineTo(100, 2);
  EXPECT_EQ(Row(cv, 2, 100), Expected(c, 100, '.'));
}

TEST_P(DashTest, PolylineContinuesThePatternAcrossVertices) {
  const DashCase& c = GetParam();
  Canvas cv(128, 8);
  CPen pen(c.style, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SetBkColor(kBlue);
  // Three collinear segments: the pattern must read as one line of 100 pixels.
  const POINT pts[] = {{0, 2}, {13, 2}, {50, 2}, {100, 2}};
  cv.dc.Polyline(pts, 4);
  EXPECT_EQ(Row(cv, 2, 100), Expected(c, 100, 'B'));
}

TEST_P(DashTest, EachLineToStartsThePatternAgain) {
  const DashCase& c = GetParam();
  Canvas cv(128, 8);
  CPen pen(c.style, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SetBkColor(kBlue);
  cv.dc.MoveTo(0, 2);
  cv.dc.LineTo(13, 2);
  cv.dc.LineTo(60, 2);
  EXPECT_EQ(Row(cv, 2, 60), Expected(c, 13, 'B') + Expected(c, 47, 'B'));
}

INSTANTIATE_TEST_SUITE_P(Styles, DashTest,
                         ::testing::Values(DashCase{PS_SOLID, {100}}, DashCase{PS_DASH, {18, 6}},
                                           DashCase{PS_DOT, {3, 3}},
                                           DashCase{PS_DASHDOT, {9, 6, 3, 6}},
                                           DashCase{PS_DASHDOTDOT, {9, 3, 3, 3, 3, 3}}));

TEST(Pen, StyledPenWiderThanOnePixelIsSolid) {
  CPen pen(PS_DASH, 3, kRed);
  LOGPEN lp{};
  ASSERT_EQ(pen.GetObject(sizeof lp, &lp), int(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, UINT(PS_SOLID));
  EXPECT_EQ(lp.lopnWidth.x, 3);
}

TEST(Pen, InsideFrameKeepsWideStrokesInsideTheBox) {
  for (bool ellipse : {false, true}) {
    Canvas cv;
    CPen pen(PS_INSIDEFRAME, 5, kRed);
    cv.dc.SelectObject(&pen);
    if (ellipse)
      cv.dc.Ellipse(10, 10, 40, 30);
    else
      cv.dc.Rectangle(10, 10, 40, 30);
    const RECT box = cv.InkBox();
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.right, 40);
    EXPECT_LE(box.bottom, 30);
    EXPECT_TRUE(cv.Pixels(kRed).count({25, 11})) << ellipse;  // the stroke is wide
  }
  // One pixel wide, PS_INSIDEFRAME is PS_SOLID.
  Canvas a, b;
  CPen inside(PS_INSIDEFRAME, 1, kRed), solid(PS_SOLID, 1, kRed);
  a.dc.SelectObject(&inside);
  b.dc.SelectObject(&solid);
  a.dc.Rectangle(3, 3, 20, 15);
  b.dc.Rectangle(3, 3, 20, 15);
  EXPECT_EQ(a.Ink(), b.Ink());
}

TEST(Pen, NullPenDrawsNothing) {
  Canvas cv;
  cv.dc.SelectStockObject(NULL_PEN);
  cv.dc.MoveTo(0, 0);
  cv.dc.LineTo(30, 30);
  EXPECT_TRUE(cv.Ink().empty());
}

TEST(Pen, DashedVerticalLineCountsAlongTheMajorAxis) {
  Canvas cv(8, 64);
  CPen pen(PS_DOT, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.SetBkColor(kBlue);
  cv.dc.MoveTo(3, 0);
  cv.dc.LineTo(3, 12);
  std::string col;
  for (int y = 0; y < 12; ++y) col += cv.At(3, y) == kRed ? 'P' : 'B';
  EXPECT_EQ(col, "PPPBBBPPPBBB");
}

// ---- Hatch brushes ----

struct HatchCase {
  int style;
  unsigned char rows[8];
};

class HatchTest : public ::testing::TestWithParam<HatchCase> {};

TEST_P(HatchTest, TileAnchoredAtDeviceOriginWithOpaqueGaps) {
  const HatchCase& c = GetParam();
  Canvas cv(40, 40);
  CBrush brush(c.style, kRed);
  cv.dc.SetBkColor(kBlue);
  // Two separate fills and a viewport offset: the pattern still lines up in device space.
  cv.dc.SetViewportOrg(3, 5);
  RECT a{0, 0, 17, 30}, b{17, 0, 33, 30};
  cv.dc.FillRect(&a, &brush);
  cv.dc.FillRect(&b, &brush);
  for (int y = 5; y < 35; ++y)
    for (int x = 3; x < 36; ++x) {
      const bool bit = c.rows[y % 8] & (0x80 >> (x % 8));
      ASSERT_EQ(cv.At(x, y), bit ? kRed : kBlue) << x << "," << y;
    }
}

TEST_P(HatchTest, TransparentModeLeavesTheGaps) {
  const HatchCase& c = GetParam();
  Canvas cv(16, 16);
  CBrush brush(c.style, kRed);
  cv.dc.SetBkMode(TRANSPARENT);
  cv.dc.SetBrushOrg(2, 1);
  RECT r{0, 0, 16, 16};
  cv.dc.FillRect(&r, &brush);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool bit = c.rows[(y - 1 + 8) % 8] & (0x80 >> ((x - 2 + 8) % 8));
      ASSERT_EQ(cv.At(x, y), bit ? kRed : kWhite) << x << "," << y;
    }
}

// Fills of every start column and of lengths around the tile width: the tile stays anchored at
// the device origin and nothing beyond the rectangle is touched.
TEST_P(HatchTest, AnyStartAndLengthKeepTheTile) {
  const HatchCase& c = GetParam();
  for (const int mode : {OPAQUE, TRANSPARENT}) {
    for (int x0 = 0; x0 < 9; ++x0) {
      for (const int w : {1, 2, 7, 8, 9, 15, 16, 17, 31, 40}) {
        Canvas cv(64, 10);
        CBrush brush(c.style, kRed);
        cv.dc.SetBkColor(kBlue);
        cv.dc.SetBkMode(mode);
        RECT r{x0, 1, x0 + w, 9};
        cv.dc.FillRect(&r, &brush);
        for (int y = 0; y < 10; ++y) {
          for (int x = 0; x < 64; ++x) {
            COLORREF want = kWhite;
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
              const bool bit = c.rows[y % 8] & (0x80 >> (x % 8));
              want = bit ? kRed : (mode == OPAQUE ? kBlue : kWhite);
            }
            ASSERT_EQ(cv.At(x, y), want)
                << "mode " << mode << " x0 " << x0 << " w " << w << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, HatchTest,
    ::testing::Values(HatchCase{HS_HORIZONTAL, {0, 0, 0, 0xFF, 0, 0, 0, 0}},
                      HatchCase{HS_VERTICAL, {8, 8, 8, 8, 8, 8, 8, 8}},
                      HatchCase{HS_FDIAGONAL, {0x80, 0x40, 0x20, 0x10, 8, 4, 2, 1}},
                      HatchCase{HS_BDIAGONAL, {1, 2, 4, 8, 0x10, 0x20, 0x40, 0x80}},
                      HatchCase{HS_CROSS, {8, 8, 8, 0xFF, 8, 8, 8, 8}},
                      HatchCase{HS_DIAGCROSS, {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}}));

TEST(Hatch, RectangleWithNullPenFillsHatchOnePixelSmaller) {
  Canvas cv(32, 32);
  CBrush brush(HS_DIAGCROSS, kGreen);
  cv.dc.SelectObject(&brush);
  cv.dc.SelectStockObject(NULL_PEN);
  cv.dc.SetBkColor(0);
  cv.dc.SetBkMode(TRANSPARENT);
  cv.dc.Rectangle(0, 0, 17, 17);
  // Diagonal cross: pixel (0,0) is set, column 16 and row 16 are outside.
  EXPECT_EQ(cv.At(0, 0), kGreen);
  EXPECT_EQ(cv.At(15, 15), kGreen);
  EXPECT_EQ(cv.At(16, 16), kWhite);
  EXPECT_EQ(cv.At(1, 0), kWhite);  // gap left alone
}

// ---- Ellipses, rounded rectangles, arcs ----

struct BoxCase {
  int l, t, r, b;
};

class EllipseTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(EllipseTest, InscribedInTheHalfOpenBoxAndSymmetric) {
  const BoxCase& c = GetParam();
  Canvas cv;
  CPen pen(PS_SOLID, 1, kRed);
  CBrush brush(kBlue);
  cv.dc.SelectObject(&pen);
  cv.dc.SelectObject(&brush);
  cv.dc.Ellipse(c.l, c.t, c.r, c.b);
  const RECT box = cv.InkBox();
  EXPECT_EQ(box.left, c.l);
  EXPECT_EQ(box.top, c.t);
  EXPECT_EQ(box.right, c.r);
  EXPECT_EQ(box.bottom, c.b);
  for (auto [x, y] : cv.Ink()) {
    const COLORREF here = cv.At(x, y);
    EXPECT_EQ(cv.At(c.l + c.r - 1 - x, y), here) << x << "," << y;
    EXPECT_EQ(cv.At(x, c.t + c.b - 1 - y), here) << x << "," << y;
  }
  // The outline surrounds the interior: the centre is brush, the box corners untouched.
  if (c.r - c.l > 4 && c.b - c.t > 4) {
    EXPECT_EQ(cv.At((c.l + c.r) / 2, (c.t + c.b) / 2), kBlue);
  }
  EXPECT_EQ(cv.At(c.l, c.t), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Boxes, EllipseTest,
                         ::testing::Values(BoxCase{10, 10, 30, 30}, BoxCase{10, 10, 31, 31},
                                           BoxCase{5, 20, 55, 31}, BoxCase{20, 2, 27, 60},
                                           BoxCase{3, 3, 7, 6}));

TEST(Ellipse, EmptyBoxDrawsNothing) {
  Canvas cv;
  cv.dc.Ellipse(10, 10, 10, 30);
  cv.dc.Ellipse(10, 10, 30, 10);
  EXPECT_TRUE(cv.Ink().empty());
}

TEST(Ellipse, HugeEllipseDoesNotHang) {
  Canvas cv;
  CBrush brush(kBlue);
  cv.dc.SelectObject(&brush);
  cv.dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(cv.At(32, 32), kBlue);
}

TEST(RoundRect, SmallCornersAreAPlainRectangle) {
  Canvas a, b;
  a.dc.RoundRect(5, 5, 30, 20, 2, 2);
  b.dc.Rectangle(5, 5, 30, 20);
  EXPECT_EQ(a.Ink(), b.Ink());
}

TEST(RoundRect, CornersAreCutAndEdgesStraight) {
  Canvas cv;
  CPen pen(PS_SOLID, 1, kRed);
  cv.dc.SelectObject(&pen);
  cv.dc.RoundRect(5, 5, 45, 30, 10, 10);
  EXPECT_EQ(cv.InkBox(), (RECT{5, 5, 45, 30}));
  EXPECT_EQ(cv.At(5, 5), kWhite);    // corner cut
  EXPECT_EQ(cv.At(25, 5), kRed);     // top edge
  EXPECT_EQ(cv.At(25, 29), kRed);    // bottom edge
  EXPECT_EQ(cv.At(5, 17), kRed);     // left edge
  EXPECT_EQ(cv.At(44, 17), kRed);    // right edge
  EXPECT_EQ(cv.At(25, 17), kWhite);  // white brush inside
  // A RoundRect with the whole box as corner is the ellipse.
  Canvas e, r;
  e.dc.Ellipse(3, 3, 40, 25);
  r.dc.RoundRect(3, 3, 40, 25, 37, 22);
  EXPECT_EQ(e.Ink(), r.Ink());
}

TEST(RoundRect, ClippedDrawingMatchesTheUnclippedOneInsideTheClip) {
  // Clips that leave out one or both straight sides of a filled rounded rectangle: the part
  // inside the clip looks as it does without a clip (interior filled up to the hidden side).
  struct Case {
    const char* name;
    RECT clip;
  } cases[] = {
      {"left end only", {0, 0, 12, 40}},
      {"right end only", {50, 0, 64, 40}},
      {"middle band", {20, 0, 30, 40}},
      {"top rows", {0, 0, 64, 8}},
  };
  CBrush blue(kBlue);
  CPen pen(PS_SOLID, 1, kRed);
  Canvas whole;
  whole.dc.SelectObject(&pen);
  whole.dc.SelectObject(&blue);
  whole.dc.RoundRect(4, 4, 60, 30, 8, 8);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Canvas part;
    part.dc.SelectObject(&pen);
    part.dc.SelectObject(&blue);
    part.dc.IntersectClipRect(&k.clip);
    part.dc.RoundRect(4, 4, 60, 30, 8, 8);
    for (int y = k.clip.top; y < k.clip.bottom; ++y) {
      for (int x = k.clip.left; x < k.clip.right; ++x) {
        ASSERT_EQ(part.At(x, y), whole.At(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(Arc, CounterClockwiseUpperHalf) {
  Canvas cv;
  // From the right end of the horizontal diameter to the left end, counter-clockwise: the
  // upper half of the ellipse.
  cv.dc.Arc(10, 10, 51, 51, 60, 30, 0, 30);
  auto ink = cv.Ink();
  ASSERT_FALSE(ink.empty());
  for (auto [x, y] : ink) EXPECT_LE(y, 30) << x << "," << y;
  EXPECT_TRUE(ink.count({30, 10}));  // top of the ellipse
  cv.dc.SetArcDirection(AD_CLOCKWISE);
  Canvas lower;
  lower.dc.SetArcDirection(AD_CLOCKWISE);
  lower.dc.Arc(10, 10, 51, 51, 60, 30, 0, 30);
  for (auto [x, y] : lower.Ink()) EXPECT_GE(y, 30) << x << "," << y;
  EXPECT_TRUE(lower.Ink().count({30, 50}));
}

TEST(Arc, CoincidingRadialsDrawTheWholeEllipseWithoutFill) {
  Canvas arc, ell;
  arc.dc.Arc(10, 10, 40, 30, 50, 20, 50, 20);
  ell.dc.SelectStockObject(NULL_BRUSH);
  ell.dc.Ellipse(10, 10, 40, 30);
  EXPECT_EQ(arc.Ink(), ell.Ink());
}

}  // namespace
