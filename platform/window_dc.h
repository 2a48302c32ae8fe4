#pragma once
// Device contexts bound to a window: the paint DC of WM_PAINT and the client/window DCs.
#include "platform/dc.h"
#include "platform/winuser.h"

class CWnd;

// BeginPaint/EndPaint in a scope: clipped to the update region, which it validates; sends
// WM_ERASEBKGND first when the region was invalidated with erase.
class QUARLEN_API CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 protected:
  HWND m_hWnd = nullptr;
};

// GetDC/ReleaseDC in a scope: the whole client area, validates nothing.
class QUARLEN_API CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd = nullptr;
};

// A client DC for composing a picture in place, in the window's own pixels: while it exists,
// whatever is drawn into the window (through it or any other DC, from any thread) changes the
// window's pixels at once (GetPixel and BitBlt from the window read them) but not the screen,
// which keeps showing the previous picture there; when it is destroyed everything drawn
// meanwhile reaches the screen together. Compose DCs nest: the outermost one releases. This is
// double buffering without an off-screen bitmap: one full-size image and one copy fewer.
class QUARLEN_API CComposeDC : public CClientDC {
 public:
  explicit CComposeDC(CWnd* wnd);
  ~CComposeDC() override;
};

// The window has no non-client area here, so the window DC covers the client area.
class QUARLEN_API CWindowDC : public CClientDC {
 public:
  explicit CWindowDC(CWnd* wnd) : CClientDC(wnd) {}
};
