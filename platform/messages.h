#pragma once
// Message delivery entry points that the non-GUI layers (the event service) call. They are
// implemented by the window layer; each is safe from any thread. A handle or thread id that
// does not name a live window or message-handling thread makes the call fail (FALSE / 0).
#include "platform/types.h"

QUARLEN_API BOOL IsWindow(HWND hWnd);
QUARLEN_API LRESULT SendMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
QUARLEN_API BOOL PostMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
QUARLEN_API BOOL SendNotifyMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
QUARLEN_API BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);

namespace quarlen::detail {
// Handle of the application's main window (the main window of the application thread), or
// null when there is none. Used by the event service to post its main-thread message.
QUARLEN_API HWND MainWindowHandle();
}  // namespace quarlen::detail
