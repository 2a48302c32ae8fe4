// Stand-in for the window layer until it exists: no handle is live, so every delivery fails.
#include "platform/messages.h"

BOOL IsWindow(HWND) { return FALSE; }
LRESULT SendMessageW(HWND, UINT, WPARAM, LPARAM) { return 0; }
BOOL PostMessageW(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
BOOL SendNotifyMessageW(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
BOOL PostThreadMessageW(DWORD, UINT, WPARAM, LPARAM) { return FALSE; }
namespace quarlen::detail {
HWND MainWindowHandle() { return nullptr; }
}  // namespace quarlen::detail
