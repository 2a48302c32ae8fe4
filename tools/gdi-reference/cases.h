#pragma once
// The drawing cases of the reference comparison: one table, drawn by two programs. One is a
// small Windows program that draws each case through the Windows drawing interface into a
// 32-bit DIB section; the other draws the same case with this library's CDC. Both see the
// cases only through Painter, so a case is exactly the same sequence of calls on both sides.
//
// Each case starts on a white canvas of its own size with the default state of a memory DC
// (black pen, white brush, opaque background in white, R2_COPYPEN, no clip). Objects a case
// creates live until the case ends.
//
// The header compiles against the Windows headers (_WIN32) or against this library's
// platform headers; it only needs the drawing types and constants both provide.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/dc.h"
#endif

#include <cstddef>

namespace quarlen::gdiref {

// The calls a case may make. Each mirrors the call of the same name on a device context;
// Pen, Brush, HatchBrush, NullPen and NullBrush create (or take the stock object) and select.
// FillSolidRect and Draw3dRect are the framework's: FillSolidRect leaves its colour as the
// background colour, Draw3dRect restores the background colour.
class Painter {
 public:
  virtual ~Painter() = default;
  virtual void Pen(int style, int width, COLORREF color) = 0;
  virtual void NullPen() = 0;
  virtual void Brush(COLORREF color) = 0;
  virtual void HatchBrush(int hatch, COLORREF color) = 0;
  virtual void NullBrush() = 0;
  virtual void SetBkMode(int mode) = 0;
  virtual void SetBkColor(COLORREF color) = 0;
  virtual void SetROP2(int mode) = 0;
  virtual void SetBrushOrg(int x, int y) = 0;
  virtual void SetViewportOrg(int x, int y) = 0;
  virtual void IntersectClipRect(int left, int top, int right, int bottom) = 0;
  virtual void ExcludeClipRect(int left, int top, int right, int bottom) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(const POINT* points, int count) = 0;
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  virtual void RoundRect(int left, int top, int right, int bottom, int width, int height) = 0;
  virtual void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                   int yEnd) = 0;
  // FillRect and FrameRect with the selected brush.
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  virtual void FrameRect(int left, int top, int right, int bottom) = 0;
  virtual void InvertRect(int left, int top, int right, int bottom) = 0;
  virtual void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) = 0;
  virtual void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) = 0;
  virtual void PatBlt(int x, int y, int width, int height, DWORD rop) = 0;
  // BitBlt from a 24 x 24 memory bitmap of horizontal stripes, 3 rows each, in the colours
  // of SourceStripe(), copied from its pixel (1, 1).
  virtual void BlitStripes(int x, int y, int width, int height, DWORD rop) = 0;
  virtual void SetPixel(int x, int y, COLORREF color) = 0;
  virtual void DrawFocusRect(int left, int top, int right, int bottom) = 0;
  virtual void DrawEdge(int left, int top, int right, int bottom, UINT edge, UINT flags) = 0;
  virtual void DrawFrameControl(int left, int top, int right, int bottom, UINT type,
                                UINT state) = 0;
};

struct Case {
  const char* name;  // also the image file name: <name>.png
  int width, height;
  void (*draw)(Painter& p);
  // Differing pixels accepted against the reference image, and why; 0 and null for a case
  // that must match pixel for pixel.
  int tolerance;
  const char* caveat;
};

// The colour of row y of the source bitmap of Painter::BlitStripes.
inline COLORREF SourceStripe(int y) {
  constexpr COLORREF kColours[] = {RGB(0xCC, 0x0F, 0x69), RGB(0x33, 0xF0, 0x96), RGB(0, 0, 0),
                                   RGB(255, 255, 255)};
  return kColours[(y / 3) % 4];
}
constexpr int kSourceSize = 24;

// Every case, in report order.
const Case* Cases();
std::size_t CaseCount();

// The system colours the frame and edge cases use. The Windows program installs them before
// drawing (its own defaults differ), so both sides paint frames in the same colours; the
// library side checks that its fixed table still holds these values.
struct SystemColour {
  int index;
  COLORREF color;
};
const SystemColour* SystemColours();
std::size_t SystemColourCount();

}  // namespace quarlen::gdiref
