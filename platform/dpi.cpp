// Screen resolution of DCs and windows, and the scaling of 96-DPI lengths.
#include "platform/dpi.h"

#include <cstdint>
#include <limits>

#include "platform/dc.h"
#include "platform/detail/device_pixels.h"
#include "platform/detail/surface.h"
#include "platform/detail/window_registry.h"
#include "platform/numeric.h"

using namespace quarlen::detail;

int GetDeviceCaps(HDC hdc, int index) {
  const CDC* dc = CDC::FromHandle(hdc);
  return dc ? dc->GetDeviceCaps(index) : 0;
}

UINT GetDpiForWindow(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return 96;
  if (rec->surface) return static_cast<UINT>(rec->surface->dpi.load());
  // A host widget has no surface: asked on the GUI thread, its screen; else the screens'.
  const int dpi = OnGuiThread() && rec->widget ? DpiOfRatio(DeviceRatio(rec->widget)) : ScreenDpi();
  return static_cast<UINT>(dpi);
}

UINT GetDpiForSystem() { return static_cast<UINT>(ScreenDpi()); }

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t p = std::int64_t{number} * numerator;
  std::int64_t d = denominator;
  if (d < 0) p = -p, d = -d;
  const std::int64_t q = p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d);
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(q);
}

namespace quarlen {

int ScaleForDpi(int px, int dpi) {
  if (dpi <= 0 || dpi == 96) return px;
  // Rounded half away from zero, as MulDiv does; saturates instead of failing.
  const std::int64_t p = std::int64_t{px} * dpi;
  return SaturatingCast<int>(p >= 0 ? (p + 48) / 96 : -((-p + 48) / 96));
}

int ScaleForDpi(int px, HDC hdc) { return ScaleForDpi(px, ::GetDeviceCaps(hdc, LOGPIXELSY)); }

int ScaleForDpi(int px, HWND hWnd) {
  return ScaleForDpi(px, static_cast<int>(::GetDpiForWindow(hWnd)));
}

}  // namespace quarlen
