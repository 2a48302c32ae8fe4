#pragma once
// Internal contract between the drawing half (CDC and the GDI objects) and the window half
// (windows, paint/client DCs, invalidation) of the platform layer. Not installed for
// applications to use; it may include Qt.
//
// A Surface is something a device context draws into: the client area of a window or the
// pixels of a memory bitmap (CBitmap). It is a plain QImage plus the lock that guards it.
//
// Rules both halves keep:
//  - `image` is Format_RGB32. Device pixel (x, y) is image pixel (x, y); for a window surface
//    device (0, 0) is the top-left of the client area.
//  - Every read or write of `image` (including resizing it, copying it to the screen, reading
//    it in a test) happens with `lock` held. Drawing calls lock it for their whole duration,
//    from any thread (the event service's tick thread paints through window DCs). Only
//    QImage/QPainter-on-QImage is used under the lock, never QWidget or QPixmap.
//  - `onDrawn`, if set, is called by every drawing call that touched pixels, with the lock
//    still held, with the device rectangle (already clipped to the image and the DC's clip)
//    that it may have changed. The window layer uses it to schedule a flush to the screen
//    (it must not block on the GUI thread; e.g. accumulate a dirty region and post an update).
//    Drawing calls report through ReportDrawn, which holds the report back while a composition
//    is open (below).
//  - Compositions: between BeginComposition and EndComposition the pixels change as each call
//    draws, but what was drawn is collected in `composed` instead of being reported, and the
//    window's paint event leaves that area showing its previous picture; the last
//    EndComposition reports all of it at once. So the screen never shows a half-composed
//    picture, while every read of the surface sees the pixels as they are.
//  - Resizing: the window layer replaces `image` (under the lock). A DC attached to the
//    surface always clips to the current image rectangle, so a DC that outlives a resize
//    stays safe; its base clip is not changed by the resize.
//
// Attaching a DC (declared in platform/dc.h):
//   CDC dc;
//   dc.AttachSurface(surface, baseClip);   // baseClip: device coordinates; client rectangle
//                                          // for GetDC, update region for BeginPaint. An empty
//                                          // QRegion means "nothing visible" (all output
//                                          // clipped away), not "unclipped".
//   ... drawing; dc.GetSafeHdc() is a live HDC, CDC::FromHandle(hdc) finds the CDC ...
//   dc.DetachSurface();                    // resets the DC state to the defaults; the HDC
//                                          // stops being valid. Calling it twice is harmless.
// AttachSurface on an attached DC first detaches it. AttachSurface also resets all DC state
// (pen, brush, font, colours, modes, origins, application clip, saved states) to the
// display DC defaults, as a freshly obtained common DC has.
//
// Regions: HRGN/CRgn are QRegions internally. RegionOf() gives the window layer access to
// them (InvalidateRgn, GetUpdateRgn, ...), CreateRegionHandle() wraps a QRegion into a new
// HRGN that the caller owns (DeleteObject frees it).
#include <QImage>
#include <QRect>
#include <QRegion>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/types.h"

namespace quarlen::detail {

struct Surface {
  QImage image;               // Format_RGB32
  std::recursive_mutex lock;  // guards image (and the call of onDrawn)
  std::function<void(const QRect& deviceRect)> onDrawn;
  // DPI of the screen a window surface is shown on (96 x its device-pixel ratio); set by the
  // window layer, read by GetDeviceCaps from any thread. 96 for bitmaps.
  std::atomic<int> dpi{96};
  int composing = 0;  // open compositions (guarded by lock)
  QRegion composed;   // drawn while composing, not reported yet (guarded by lock)
};

// Reports a drawn device rectangle through onDrawn, or collects it while a composition is
// open. Call with the lock held.
void ReportDrawn(Surface& surface, const QRect& deviceRect);
// Opens and closes a composition on the surface (any thread; they take the lock). Closing the
// last open one reports what was drawn meanwhile, one rectangle at a time.
void BeginComposition(Surface& surface);
void EndComposition(Surface& surface);

// Convenience: a surface of the given size, filled with `fill` (0xAARRGGBB as QImage uses).
std::shared_ptr<Surface> MakeSurface(int width, int height, unsigned fill = 0xFFFFFFFFu);

// The surface a DC draws into right now (a window surface or the selected bitmap's), or null.
std::shared_ptr<Surface> SurfaceOf(HDC hdc);

// The surface holding a bitmap's pixels, or null for an invalid handle.
std::shared_ptr<Surface> SurfaceOfBitmap(HBITMAP hbm);

// The region behind a region handle, or null for an invalid handle. The pointer stays valid
// until the region is deleted; access it from one thread at a time (as GDI requires).
QRegion* RegionOf(HRGN hrgn);

// A new region handle holding `region`; free it with DeleteObject.
HRGN CreateRegionHandle(const QRegion& region);

// COLORREF (0x00BBGGRR) to the QImage pixel value of Format_RGB32 (0xFFRRGGBB) and back.
constexpr unsigned PixelOf(COLORREF c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorOfPixel(unsigned p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

}  // namespace quarlen::detail
