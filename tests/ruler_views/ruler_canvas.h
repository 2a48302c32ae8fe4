#pragma once
// The shared test canvas with the ruler font, and the pixel checks the tick tests share: which
// columns (or rows) carry ink, and whether a label reads as a given text.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/numeric.h"
#include "tests/support/canvas.h"

namespace rulertest {

constexpr COLORREF kWhite = 0xFFFFFF;

inline LOGFONTW RulerFont(LONG escapement = 0) {
  LOGFONTW lf{};
  lf.lfHeight = 14;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  lf.lfPitchAndFamily = FF_SWISS;
  lf.lfEscapement = escapement;
  lf.lfOrientation = escapement;
  return lf;
}

// The shared white canvas with the ruler font selected, transparent text in the given
// alignment and a black pen, plus row and column ink queries.
struct Canvas : quarlen::test::Canvas {
  int w, h;
  CFont font;

  Canvas(int width, int height, LONG escapement = 0, UINT align = TA_BASELINE)
      : quarlen::test::Canvas(width, height), w(width), h(height) {
    const LOGFONTW lf = RulerFont(escapement);
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(align);
    dc.SelectStockObject(BLACK_PEN);
  }
  using quarlen::test::Canvas::Ink;
  bool Ink(int x, int y) const { return (At(x, y) & 0xFFFFFF) != kWhite; }
  bool Blank() const { return Ink().empty(); }
  // Columns with ink in row y.
  std::vector<int> InkColumns(int y) const {
    std::vector<int> out;
    for (int x = 0; x < w; ++x)
      if (Ink(x, y)) out.push_back(x);
    return out;
  }
  std::vector<int> InkRows(int x) const {
    std::vector<int> out;
    for (int y = 0; y < h; ++y)
      if (Ink(x, y)) out.push_back(y);
    return out;
  }
  int TickUnit() const { return dc.GetTextExtent(L"A", 1).cy / 3; }
};

// True when `text` drawn alone at (x, y) with the canvas's font and alignment gives exactly the
// pixels the canvas holds in the text's ink box (and the text leaves ink at all).
inline ::testing::AssertionResult LabelIs(const Canvas& c, int x, int y, const wchar_t* text,
                                          LONG escapement = 0) {
  Canvas ref(c.w, c.h, escapement, c.dc.GetTextAlign());
  ref.dc.TextOut(x, y, text, static_cast<int>(wcslen(text)));
  int l = c.w, t = c.h, r = -1, b = -1;
  for (int yy = 0; yy < c.h; ++yy)
    for (int xx = 0; xx < c.w; ++xx)
      if (ref.Ink(xx, yy)) {
        l = std::min(l, xx), t = std::min(t, yy), r = std::max(r, xx), b = std::max(b, yy);
      }
  if (r < 0) return ::testing::AssertionFailure() << "the reference text leaves no ink";
  for (int yy = t; yy <= b; ++yy)
    for (int xx = l; xx <= r; ++xx)
      if (ref.Ink(xx, yy) != c.Ink(xx, yy))
        return ::testing::AssertionFailure() << "pixel (" << xx << ", " << yy << ") differs";
  return ::testing::AssertionSuccess();
}

// Position-to-pixel mapping px = offset + scale * v (rounded, saturating).
struct Linear {
  double scale = 1.0;
  double offset = 0.0;
};
inline LONG LinearPx(double v, void* context) {
  const auto* m = static_cast<const Linear*>(context);
  return quarlen::SaturatingTrunc<LONG>(std::floor(m->offset + m->scale * v + 0.5));
}
inline LONG NanPx(double, void*) { return quarlen::SaturatingTrunc<LONG>(std::nan("")); }

}  // namespace rulertest
