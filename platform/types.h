#pragma once
// The scalar types, handles and macros of the window-system interface, with the widths the
// library relies on. Handles, message parameters and results are pointer-sized; LONG, DWORD
// and friends keep their 32-bit width.
#include <cstddef>
#include <cstdint>

#include "platform/export.h"

using BOOL = int;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;
using WCHAR = wchar_t;
using TCHAR = wchar_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPTSTR = wchar_t*;
using LPCTSTR = const wchar_t*;
using LPSTR = char*;
using LPCSTR = const char*;
using COLORREF = std::uint32_t;

#ifndef _T
#define _T(x) L##x
#endif

// Opaque handle types: distinct pointer types so that they cannot be mixed up silently.
#define QUARLEN_DECLARE_HANDLE(name) \
  struct name##__;                   \
  using name = name##__*
QUARLEN_DECLARE_HANDLE(HWND);
QUARLEN_DECLARE_HANDLE(HDC);
QUARLEN_DECLARE_HANDLE(HBITMAP);
QUARLEN_DECLARE_HANDLE(HICON);
QUARLEN_DECLARE_HANDLE(HCURSOR);
QUARLEN_DECLARE_HANDLE(HBRUSH);
QUARLEN_DECLARE_HANDLE(HPEN);
QUARLEN_DECLARE_HANDLE(HFONT);
QUARLEN_DECLARE_HANDLE(HRGN);
QUARLEN_DECLARE_HANDLE(HINSTANCE);
QUARLEN_DECLARE_HANDLE(HMENU);
using HGDIOBJ = void*;
using HANDLE = void*;
using HMODULE = HINSTANCE;

// Position handle of the MFC-style lists.
struct __POSITION {};
using POSITION = __POSITION*;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(std::uintptr_t v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) {
  return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16);
}
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return MAKELONG(lo, hi); }
// Packs two 16-bit values (typically signed client coordinates) as LPARAM.
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
  return static_cast<LPARAM>(MAKELONG(lo, hi));
}
// Signed coordinates out of a mouse message's LPARAM.
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(l))); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
