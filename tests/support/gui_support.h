#pragma once
// Helpers for tests of windows: pump messages until idle, inject mouse input through the same
// translation path as real Qt events, and read or save a window's pixels.
//
// A suite lists gui_support.cpp in its SUPPORT sources and links the qn_gui layer.
#include <QImage>
#include <functional>

#include "platform/geometry.h"
#include "platform/types.h"

namespace quarlen::test {

// Handles every pending event (posted and sent messages, paints, screen flushes, deferred
// deletions) until nothing is left: the window half of quarlen::ProcessUntilIdle (the same
// loop, without waiting for the event service). False when the window work did not end
// within 1000 rounds or 10 s. To let the event service deliver as well, use SettleEvents
// (event_wait.h).
bool PumpUntilIdle();
// Pumps (blocking in the event loop between events) until `done` returns true; false when
// `maxEvents` rounds passed without it.
bool PumpUntil(const std::function<bool()>& done, int maxRounds = 1000000);

// Mouse input in client coordinates of `hWnd`. The events are Qt mouse events delivered to the
// widget Qt would deliver them to (the window under the point, or the widget that holds Qt's
// implicit grab while a button is down), so they run through the real translation.
// Each press is 1000 ms after the previous one (no accidental double clicks) unless `DoubleClick`
// or AdvanceClock says otherwise.
enum class Button { Left, Right, Middle };
void MouseMove(HWND hWnd, POINT client, unsigned modifiers = 0);
void MousePress(HWND hWnd, POINT client, Button button = Button::Left, unsigned modifiers = 0);
void MouseRelease(HWND hWnd, POINT client, Button button = Button::Left, unsigned modifiers = 0);
void Click(HWND hWnd, POINT client, Button button = Button::Left, unsigned modifiers = 0);
// Two clicks 50 ms apart at the same place, with the modifiers held throughout.
void DoubleClick(HWND hWnd, POINT client, Button button = Button::Left, unsigned modifiers = 0);
// The pointer leaves the window's widget (Qt's Leave event).
void MouseLeaveWidget(HWND hWnd);
// Moves the injected-event clock on (milliseconds).
void AdvanceClock(unsigned ms);
// Modifier bits for the calls above.
constexpr unsigned kShift = 0x02000000;    // Qt::ShiftModifier
constexpr unsigned kControl = 0x04000000;  // Qt::ControlModifier

// A copy of the window's surface (what its DCs drew), or a null image.
QImage WindowPixels(HWND hWnd);
// COLORREF of one surface pixel (0xFFFFFFFF outside or for no window).
COLORREF PixelAt(HWND hWnd, int x, int y);
// COLORREF of what the screen shows at client pixel (x, y) of the window: read from the screen's
// copy of its top-level window (Qt's backing store as last flushed), not from the surface.
// 0xFFFFFFFF outside, for no window, or before the top-level window was first shown.
COLORREF ScreenPixelAt(HWND hWnd, int x, int y);
// Writes the image as <test output dir>/<suite>.<test>.<name>.png and returns the path.
// The directory is QUARLEN_TEST_OUTPUT if set, else "test_output" in the working directory.
std::string SaveImage(const QImage& image, const char* name);
// Saves the window's pixels when the current test has failed (call at the end of a test).
void SavePixelsIfFailed(HWND hWnd, const char* name);

}  // namespace quarlen::test
