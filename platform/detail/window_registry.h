#pragma once
// Internal state of the window layer: the handle registry, the per-window record, and the
// dispatcher that carries messages from other threads to the GUI thread. Not installed; tests
// and the test helpers use it.
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/cstring.h"
#include "platform/detail/surface.h"
#include "platform/types.h"

class CWnd;
class CDC;

namespace quarlen::detail {

// Everything the layer knows about one window. Fields marked "GUI" are only touched on the
// GUI thread; the others are guarded by `mutex` (or atomic).
struct WindowRecord {
  HWND handle = nullptr;
  CWnd* wnd = nullptr;             // GUI: the attached object, or null
  QPointer<QWidget> widget;        // GUI
  bool hostWidget = false;         // GUI: wraps a widget the host owns and paints
  bool ownsWidget = false;         // GUI: a control widget the layer made; deleted with the window
  bool dialogKeys = false;         // GUI: Enter/Escape become WM_COMMAND IDOK/IDCANCEL
  HWND parent = nullptr;           // GUI: parent (child windows) or owner (top-level)
  UINT classStyle = 0;             // GUI
  int id = 0;                      // GUI: control id
  CString text;                    // GUI
  COLORREF background = 0xFFFFFF;  // GUI
  bool destroying = false;         // GUI
  bool trackLeave = false;         // GUI: WM_MOUSELEAVE armed
  int paintsBegun = 0;             // GUI: BeginPaint calls (to see whether WM_PAINT validated)
  std::unique_ptr<CDC> paintDc;    // GUI: DC handed out by the free BeginPaint
  std::shared_ptr<Surface> surface;  // immutable after creation; null for host widgets

  std::atomic<DWORD> style{0};

  std::mutex mutex;  // guards the fields below
  QSize clientSize;
  QRegion update;             // pending update region (client coordinates)
  bool erase = false;         // the update region must be erased at BeginPaint
  bool paintPending = false;  // a paint request is queued to the dispatcher
  bool redraw = true;         // WM_SETREDRAW state
  bool hasContent = false;    // a paint completed since creation
  QRegion dirty;              // surface area not yet copied to the screen
  bool flushPending = false;
};

// Live record of a handle, or null (any thread).
std::shared_ptr<WindowRecord> FindWindowRecord(HWND hWnd);
// Handles of the live child windows of hWnd, in creation order (GUI thread).
std::vector<HWND> ChildWindows(HWND hWnd);
// The handle of a widget made by the layer or attached with CWnd::AttachWidget, or null.
HWND HandleOfWidget(const QWidget* widget);

// True on the GUI thread (the thread of the QApplication).
bool OnGuiThread();

// Runs the message through the window's procedure on the GUI thread (the handle is
// validated; a dead handle gives 0).
LRESULT DispatchToWindow(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Handles the messages other threads sent (SendMessageW / SendNotifyMessageW) and that are
// waiting; returns how many. GUI thread only.
int ServiceSentMessages();

// Waits on the GUI thread until `done` returns true, handling sent messages meanwhile. This is
// the rule that keeps a cross-thread SendMessageW from deadlocking: a GUI-thread wait that may
// depend on a thread which sends to a window must wait through this function (or run the Qt
// event loop), because a sender waits until the window's thread handles its message.
void WaitServicingSentMessages(const std::function<bool()>& done);

// True while a paint, a screen flush or a sent message is still queued for some window.
bool WindowWorkPending();

// The paint cycle of one window, run now if its update region is not empty (UpdateWindow).
void PaintNow(HWND hWnd);

// Translates one Qt mouse event received by `widget` (a layer widget) into window messages.
// Real events and injected test events go through here alike.
void TranslateMouseEvent(QWidget* widget, class QMouseEvent* event);

// Internal steps shared by the sources of the window layer.
LRESULT DefaultWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Adds to the update region (all of the client area for null) and schedules WM_PAINT.
bool InvalidateRegion(HWND hWnd, const QRegion* region, bool erase);
void ResizeSurface(WindowRecord& rec, QSize size);
void PaintCycle(HWND hWnd);
void ScheduleFlush(WindowRecord& rec, const QRegion& region);
void SchedulePaint(WindowRecord& rec);
void DestroyWindowFromWidget(HWND hWnd);
// Handle registry steps of window creation and destruction: a new handle for the record, and
// the handle's removal (which also forgets it as the main window).
HWND RegisterWindow(const std::shared_ptr<WindowRecord>& rec);
void UnregisterWindow(HWND hWnd);
// Owned top-level windows of hWnd (destroyed with their owner), in creation order.
std::vector<HWND> OwnedWindows(HWND hWnd);
// The message the calling thread is handling for `wnd` right now (for CWnd::Default); false
// when it handles none for that window.
bool CurrentMessageOf(const CWnd* wnd, UINT* msg, WPARAM* wParam, LPARAM* lParam);

}  // namespace quarlen::detail
