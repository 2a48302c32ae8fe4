#pragma once
// Internal text helpers shared by the device context and the theme code.
#include <QString>

namespace quarlen::detail {
struct FontData;
// Antialiasing of fonts whose quality leaves it to the system (DEFAULT/DRAFT/PROOF).
void SetFontSmoothing(bool on);
bool FontSmoothing();
// Advance width of s in the font, pixels.
int TextWidth(const FontData& font, const QString& s);
// A wide string (count < 0: up to the terminating zero) as a QString.
QString ToQString(const wchar_t* text, int count);
}  // namespace quarlen::detail
