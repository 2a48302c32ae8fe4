#pragma once
// Internal text helpers shared by the device context and the theme code.
#include <QGlyphRun>
#include <QList>
#include <QString>

namespace quarlen::detail {
struct FontData;
// Antialiasing of fonts whose quality leaves it to the system (DEFAULT/DRAFT/PROOF).
void SetFontSmoothing(bool on);
bool FontSmoothing();
// Advance width of s in the font, pixels.
int TextWidth(const FontData& font, const QString& s);
// A string shaped in a font: its advance width and, for plain single-direction text in an
// undecorated font, the glyph runs that draw it with the baseline at y = 0 (empty when the
// text must go through the full text drawing instead). Shaping dominates the cost of short
// labels, so results are kept per thread, keyed by font and text; the reference stays valid
// until the next ShapeText call on the same thread.
struct ShapedText {
  int width = 0;
  bool runsUsable = false;
  QList<QGlyphRun> runs;
};
const ShapedText& ShapeText(const FontData& font, const QString& s);
// A wide string (count < 0: up to the terminating zero) as a QString.
QString ToQString(const wchar_t* text, int count);
}  // namespace quarlen::detail
