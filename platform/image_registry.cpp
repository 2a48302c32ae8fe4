// The image registry and the resource loading calls over it.
#include "platform/image_registry.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/dc.h"
#include "platform/detail/gdi_objects.h"
#include "platform/detail/text.h"

using namespace quarlen::detail;

namespace {

struct Registry {
  std::mutex lock;
  std::map<std::pair<UINT, UINT>, QImage> images;  // (type, id) -> image
};

Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

bool Store(UINT type, UINT id, QImage image) {
  if (image.isNull()) return false;
  image = image.convertToFormat(QImage::Format_ARGB32);
  std::lock_guard g(registry().lock);
  registry().images[{type, id}] = std::move(image);
  return true;
}

QImage FromFile(const wchar_t* path) { return path ? QImage(ToQString(path, -1)) : QImage(); }

QImage FromData(const void* data, std::size_t size) {
  if (!data || size == 0 || size > (std::size_t(1) << 30)) return QImage();
  return QImage::fromData(QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size)));
}

QImage FromPixels(int w, int h, const std::uint32_t* px) {
  if (!px || w <= 0 || h <= 0 || w > 32768 || h > 32768) return QImage();
  QImage img(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    std::memcpy(img.scanLine(y), px + std::size_t(y) * std::size_t(w), std::size_t(w) * 4);
  return img;
}

QImage Find(UINT type, LPCWSTR name, UINT flags) {
  if (!name) return QImage();
  if (!IS_INTRESOURCE(name)) {
    if (flags & LR_LOADFROMFILE) return FromFile(name);
    return QImage();  // named resources are not registered by name
  }
  const UINT id = UINT(reinterpret_cast<ULONG_PTR>(name));
  std::lock_guard g(registry().lock);
  auto it = registry().images.find({type, id});
  return it == registry().images.end() ? QImage() : it->second;
}

QImage Sized(const QImage& img, int cx, int cy, bool smooth) {
  if (cx <= 0) cx = img.width();
  if (cy <= 0) cy = img.height();
  if (cx > 32768 || cy > 32768) return QImage();
  if (img.size() == QSize(cx, cy)) return img;
  return img.scaled(cx, cy, Qt::IgnoreAspectRatio,
                    smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
}

HANDLE Make(UINT type, const QImage& img) {
  if (img.isNull()) return nullptr;
  if (type == IMAGE_BITMAP) return BitmapFromImage(img);
  if (type == IMAGE_ICON || type == IMAGE_CURSOR) return IconFromImage(img);
  return nullptr;
}

}  // namespace

namespace quarlen {
bool RegisterBitmapResource(UINT id, const wchar_t* file) {
  return Store(IMAGE_BITMAP, id, FromFile(file));
}
bool RegisterBitmapResource(UINT id, const void* data, std::size_t size) {
  return Store(IMAGE_BITMAP, id, FromData(data, size));
}
bool RegisterBitmapResource(UINT id, int w, int h, const std::uint32_t* px) {
  return Store(IMAGE_BITMAP, id, FromPixels(w, h, px));
}
bool RegisterIconResource(UINT id, const wchar_t* file) {
  return Store(IMAGE_ICON, id, FromFile(file));
}
bool RegisterIconResource(UINT id, const void* data, std::size_t size) {
  return Store(IMAGE_ICON, id, FromData(data, size));
}
bool RegisterIconResource(UINT id, int w, int h, const std::uint32_t* px) {
  return Store(IMAGE_ICON, id, FromPixels(w, h, px));
}
void UnregisterImageResource(UINT type, UINT id) {
  std::lock_guard g(registry().lock);
  registry().images.erase({type, id});
}
}  // namespace quarlen

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (type != IMAGE_BITMAP && type != IMAGE_ICON && type != IMAGE_CURSOR) return nullptr;
  const UINT lookup = type == IMAGE_CURSOR ? UINT(IMAGE_ICON) : type;
  QImage img = Find(lookup, name, flags);
  if (img.isNull()) return nullptr;
  if (type != IMAGE_BITMAP && (flags & LR_DEFAULTSIZE)) {
    if (cx == 0) cx = 32;
    if (cy == 0) cy = 32;
  }
  img = Sized(img, cx, cy, type != IMAGE_BITMAP);
  if (flags & LR_MONOCHROME)
    img = img.convertToFormat(QImage::Format_Mono).convertToFormat(QImage::Format_ARGB32);
  return Make(type, img);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP CreateMappedBitmap(HINSTANCE, INT_PTR idBitmap, UINT, LPCOLORMAP colorMap, int numMaps) {
  QImage img = Find(IMAGE_BITMAP, MAKEINTRESOURCEW(idBitmap), 0);
  if (img.isNull()) return nullptr;
  const COLORMAP standard[] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                               {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                               {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                               {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
  const COLORMAP* map = colorMap ? colorMap : standard;
  const int n = colorMap ? std::clamp(numMaps, 0, 1 << 16) : 4;
  img = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      const COLORREF c = ColorOfPixel(row[x]);
      for (int i = 0; i < n; ++i)
        if ((map[i].from & 0xFFFFFFu) == c) {
          row[x] = PixelOf(map[i].to & 0xFFFFFFu);
          break;
        }
    }
  }
  return BitmapFromImage(img);
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
  QImage src;
  if (type == IMAGE_BITMAP) {
    auto b = Lookup<BitmapData>(image, GdiKind::Bitmap);
    if (!b) return nullptr;
    std::lock_guard g(b->surface->lock);
    src = b->surface->image.copy();
  } else if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
    auto i = Lookup<IconData>(image, GdiKind::Icon);
    if (!i) return nullptr;
    src = i->image;
  } else {
    return nullptr;
  }
  const QImage sized = Sized(src, cx, cy, type != IMAGE_BITMAP);
  if ((flags & LR_COPYRETURNORG) && sized.size() == src.size()) return image;
  HANDLE copy = Make(type, sized);
  if (copy && (flags & LR_COPYDELETEORG)) DeleteObject(image);
  return copy;
}

BOOL DestroyIcon(HICON icon) {
  return Lookup<IconData>(icon, GdiKind::Icon) ? DeleteObject(icon) : FALSE;
}
