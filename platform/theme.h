#pragma once
// Visual styles: the themed push-button look drawn by the Qt style of the application, with a
// switch to force the classic (unthemed) look. Also the small dynamic-library interface the
// theme check goes through ("uxtheme.dll" with IsAppThemed/IsThemeActive, "comctl32.dll" with
// DllGetVersion), answered by the library itself.
#include "platform/dc.h"

using HTHEME = struct HTHEME__*;

// Button parts and push-button states.
enum : int { BP_PUSHBUTTON = 1 };
enum : int { PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5 };
// DrawThemeText flags2.
enum : DWORD { DTT_GRAYED = 0x1 };

namespace quarlen {
// Forces the classic look (no theme data, frame controls) when on; off by default.
QUARLEN_API void SetClassicLook(bool on);
QUARLEN_API bool IsClassicLook();
}  // namespace quarlen

// Theme data of a window class list ("Button"); null when the classic look is on or the
// class has no themed look here.
QUARLEN_API HTHEME OpenThemeData(HWND window, LPCWSTR classList);
QUARLEN_API HRESULT CloseThemeData(HTHEME theme);
QUARLEN_API HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state,
                                        const RECT* rect, const RECT* clip);
QUARLEN_API HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state,
                                                  const RECT* bounds, RECT* content);
// Text in the theme's text colour for the state (DT_* formats as DrawText), transparent.
QUARLEN_API HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text,
                                  int count, DWORD textFlags, DWORD textFlags2, const RECT* rect);
QUARLEN_API BOOL IsAppThemed();
QUARLEN_API BOOL IsThemeActive();

// ---- Dynamic libraries of the theme check ----
using FARPROC = LRESULT (*)();
struct DLLVERSIONINFO {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};
using DLLGETVERSIONPROC = HRESULT (*)(DLLVERSIONINFO*);
struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
using LPOSVERSIONINFOW = OSVERSIONINFOW*;
// "uxtheme.dll" and "comctl32.dll" (any case, with or without path) load; others fail (null).
QUARLEN_API HMODULE LoadLibraryW(LPCWSTR name);
// Exports: uxtheme.dll IsAppThemed, IsThemeActive (BOOL (*)()); comctl32.dll DllGetVersion
// (reports 6.0). Null for anything else.
QUARLEN_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
QUARLEN_API BOOL FreeLibrary(HMODULE module);
// Reports version 6.1 (the themed desktop generation).
QUARLEN_API BOOL GetVersionExW(LPOSVERSIONINFOW info);
