#pragma once
// Screen resolution. The library works in device pixels, as code aware of each monitor's DPI
// does: client rectangles, window positions and sizes, and mouse positions in messages are
// device pixels, and a window's surface holds one pixel per screen pixel. On a screen with a
// device-pixel ratio above 1 (a high-DPI laptop screen, or a scale factor set for the desktop)
// the DPI is 96 times that ratio. Sizes meant for a person's eye or hand (font heights, pick
// distances, grab zones, marker sizes) are given for 96 DPI and scaled with ScaleForDpi;
// at 96 DPI they stay as they are.
#include "platform/export.h"
#include "platform/types.h"

// GetDeviceCaps indexes.
enum : int {
  HORZRES = 8,      // width of the target in pixels
  VERTRES = 10,     // height of the target in pixels
  LOGPIXELSX = 88,  // pixels per inch across
  LOGPIXELSY = 90,  // pixels per inch down
};

// What a DC's target offers: for LOGPIXELSX/LOGPIXELSY the DPI of the screen its window is on
// (a memory DC: of the DC it was made compatible with, or of the screen), for HORZRES/VERTRES
// its window's client size or selected bitmap's size. 0 for other indexes and bad handles.
QUARLEN_API int GetDeviceCaps(HDC hdc, int index);
// The DPI of the screen the window is on (96 at a device-pixel ratio of 1); 96 for a bad handle.
QUARLEN_API UINT GetDpiForWindow(HWND hWnd);
// The DPI of the application's screens, for what is sized without a window or DC at hand (the
// graphic objects inside a container). Any thread.
QUARLEN_API UINT GetDpiForSystem();
// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when denominator is 0 or the result does not fit.
QUARLEN_API int MulDiv(int number, int numerator, int denominator);

namespace quarlen {

// A length in pixels at 96 DPI, for the target of `hdc` or the window `hWnd`:
// MulDiv(px, dpi, 96). Unchanged at 96 DPI and for bad handles.
QUARLEN_API int ScaleForDpi(int px, HDC hdc);
QUARLEN_API int ScaleForDpi(int px, HWND hWnd);
// The same for a known DPI (96 when dpi is not positive).
QUARLEN_API int ScaleForDpi(int px, int dpi);

}  // namespace quarlen
