#pragma once
// Application images by resource id: the application registers its bitmaps and icons (from
// image files, encoded image data in memory, or raw pixels) once at start-up, and the library
// loads them with the usual resource calls (LoadImage, LoadIcon, CreateMappedBitmap, ...).
// Bitmap ids and icon ids are separate name spaces, as resource types are. The instance
// handle of the loading calls is ignored: there is one registry per process. Thread-safe.
#include <cstddef>
#include <cstdint>

#include "platform/gdi.h"

enum : UINT { IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2 };
enum : UINT {
  LR_DEFAULTCOLOR = 0x0000,
  LR_MONOCHROME = 0x0001,
  LR_COPYRETURNORG = 0x0004,
  LR_COPYDELETEORG = 0x0008,
  LR_LOADFROMFILE = 0x0010,
  LR_LOADTRANSPARENT = 0x0020,
  LR_DEFAULTSIZE = 0x0040,
  LR_CREATEDIBSECTION = 0x2000,
  LR_SHARED = 0x8000,
};
enum : UINT { CMB_MASKED = 0x02 };

struct COLORMAP {
  COLORREF from;
  COLORREF to;
};
using LPCOLORMAP = COLORMAP*;

#ifndef MAKEINTRESOURCEW
#define MAKEINTRESOURCEW(i) \
  (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#endif
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)
#endif

namespace quarlen {
// Registers (or replaces) the bitmap with the given id. False when the image cannot be read.
QUARLEN_API bool RegisterBitmapResource(UINT id, const wchar_t* imageFile);
QUARLEN_API bool RegisterBitmapResource(UINT id, const void* encodedImage, std::size_t size);
// Raw pixels, rows top to bottom, each pixel 0xAARRGGBB (alpha ignored for bitmaps).
QUARLEN_API bool RegisterBitmapResource(UINT id, int width, int height,
                                        const std::uint32_t* pixels);
QUARLEN_API bool RegisterIconResource(UINT id, const wchar_t* imageFile);
QUARLEN_API bool RegisterIconResource(UINT id, const void* encodedImage, std::size_t size);
QUARLEN_API bool RegisterIconResource(UINT id, int width, int height, const std::uint32_t* pixels);
// Forgets a registered image (type IMAGE_BITMAP or IMAGE_ICON).
QUARLEN_API void UnregisterImageResource(UINT type, UINT id);
}  // namespace quarlen

// name: MAKEINTRESOURCEW(id), or a file path with LR_LOADFROMFILE. cx, cy: the wanted size
// (0 = the image's own size, or 32x32 for icons with LR_DEFAULTSIZE); the image is scaled.
// Returns an HBITMAP or HICON, null when there is no such image.
QUARLEN_API HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy,
                              UINT flags);
QUARLEN_API HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
QUARLEN_API HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// The bitmap with every pixel of a `from` colour replaced by its `to` colour. A null map
// uses the standard button map (black, grey, light grey, white -> the button text, shadow,
// face and highlight colours).
QUARLEN_API HBITMAP CreateMappedBitmap(HINSTANCE instance, INT_PTR idBitmap, UINT flags,
                                       LPCOLORMAP colorMap, int numMaps);
// A new image of size cx x cy (0 = the original's) with the original scaled into it.
QUARLEN_API HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);
QUARLEN_API BOOL DestroyIcon(HICON icon);

inline HANDLE LoadImage(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  return LoadImageW(instance, name, type, cx, cy, flags);
}
inline HICON LoadIcon(HINSTANCE instance, LPCWSTR name) { return LoadIconW(instance, name); }
