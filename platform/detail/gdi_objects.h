#pragma once
// Internal representation of the graphic objects behind the handles, and the handle table.
// A handle is the address of its data object; the table maps live handles to shared
// ownership of the data, so a device context that keeps a shared_ptr keeps the object alive
// after DeleteObject.
#include <QFont>
#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/detail/surface.h"
#include "platform/gdi.h"

class CGdiObject;

namespace quarlen::detail {

enum class GdiKind { Pen, Brush, Font, Bitmap, Region, Icon };

struct GdiData {
  explicit GdiData(GdiKind k) : kind(k) {}
  virtual ~GdiData() = default;
  const GdiKind kind;
  bool stock = false;
};

struct PenData : GdiData {
  PenData() : GdiData(GdiKind::Pen) {}
  int style = PS_SOLID;  // PS_SOLID .. PS_INSIDEFRAME
  int width = 1;         // device pixels, >= 1
  COLORREF color = 0;
};

struct BrushData : GdiData {
  BrushData() : GdiData(GdiKind::Brush) {}
  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED
  int hatch = 0;
  COLORREF color = 0;
};

struct FontData : GdiData {
  FontData() : GdiData(GdiKind::Font) {}
  LOGFONTW logFont{};
  QFont font;  // the Qt font the logical font maps to; use FontFor() to draw or measure
  std::uint64_t id = 0;
  std::thread::id creator;  // the thread that may use `font` itself
  bool smoothing = true;
  int pixelSize = 12;  // em size of `font`, pixels
  int ascent = 0;      // pixels above the baseline
  int descent = 0;     // pixels below it
  TEXTMETRICW metrics{};
  double angle = 0;  // escapement, degrees counter-clockwise on screen
};

struct BitmapData : GdiData {
  BitmapData() : GdiData(GdiKind::Bitmap) {}
  std::shared_ptr<Surface> surface;
  bool monochrome = false;
};

struct RegionData : GdiData {
  RegionData() : GdiData(GdiKind::Region) {}
  QRegion region;
};

struct IconData : GdiData {
  IconData() : GdiData(GdiKind::Icon) {}
  QImage image;  // Format_ARGB32_Premultiplied
};

// Registers a new object; returns its handle.
HGDIOBJ RegisterObject(std::shared_ptr<GdiData> data);
// The data of a live handle, or null.
std::shared_ptr<GdiData> LookupObject(const void* handle);
template <class T>
std::shared_ptr<T> Lookup(const void* handle, GdiKind kind) {
  auto d = LookupObject(handle);
  if (!d || d->kind != kind) return nullptr;
  return std::static_pointer_cast<T>(d);
}
// Removes a handle from the table (stock objects stay). FALSE for unknown handles.
BOOL UnregisterObject(const void* handle);
// Records which wrapper owns a handle, and asks whether `object` owns it.
void SetOwner(const void* handle, CGdiObject* owner);
bool IsOwner(const void* handle, const CGdiObject* object);
// The wrapper object of a handle (its owner, or one kept with the handle); null if unknown.
CGdiObject* WrapperOf(const void* handle);

// Builds the font data (Qt font and metrics) of a logical font.
std::shared_ptr<FontData> MakeFont(const LOGFONTW& logFont);
// The Qt font of `f` for the calling thread (a private copy on threads other than its
// creator's, so that no QFont is shared between threads).
const QFont& FontFor(const FontData& f);
// Converts to QColor-compatible RGB32 pixel.
inline unsigned Px(COLORREF c) { return PixelOf(c); }

// A new bitmap of the given size, cleared to black (left unwritten when `cleared` is false, for
// a caller that writes every pixel before any use); null for sizes out of range.
std::shared_ptr<BitmapData> MakeBitmap(int width, int height, bool monochrome, bool cleared = true);
// Wraps an image as a new bitmap handle (converted to RGB32).
HBITMAP BitmapFromImage(const QImage& image);
// Wraps an image as a new icon handle (converted to ARGB32 premultiplied).
HICON IconFromImage(const QImage& image);

}  // namespace quarlen::detail
