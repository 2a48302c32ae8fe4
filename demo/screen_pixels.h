#pragma once
// The demo's own fixed sizes (layout, its text box) are written in pixels at 96 DPI. The library
// works in device pixels, so on a high-DPI screen an application scales such sizes with the
// screen's DPI, as it would on any DPI-aware desktop; at 96 DPI they stay as written.
#include "platform/dpi.h"

namespace demo {

// A length at 96 DPI as device pixels of the application's screens.
inline int Px(int at96) { return quarlen::ScaleForDpi(at96, static_cast<int>(GetDpiForSystem())); }

// A named length at 96 DPI that reads as device pixels wherever an int is expected.
struct Dip {
  int at96;
  operator int() const { return Px(at96); }
};

}  // namespace demo
