#pragma once
// The library side of the reference comparison: draws a case with CDC, and compares and
// composes images of a case. Used by gdi-reference-compare and by the drawing tests, which
// compare against the committed reference images.
#include <QImage>
#include <QString>

#include "tools/gdi-reference/cases.h"

namespace quarlen::gdiref {

// The case drawn with a CDC on a white surface of the case's size (Format_RGB32).
QImage DrawWithCdc(const Case& c);

// Pixels whose colour differs (alpha ignored); every pixel when the sizes differ.
int DifferingPixels(const QImage& reference, const QImage& ours);

// Reference | ours | difference, each scaled by `zoom`. The difference shows matching pixels
// as a pale copy of the reference and differing ones in magenta.
QImage SideBySide(const QImage& reference, const QImage& ours, int zoom = 4);

// System colours of the table that the library's GetSysColor does not give, as
// "index:expected/actual" items; empty when the table holds.
QString SystemColourMismatches();

}  // namespace quarlen::gdiref
