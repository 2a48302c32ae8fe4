#pragma once
// Windows: CWnd and its frame, the application thread object, and the window-system calls
// that work on handles (painting, capture, pointer shapes, mouse tracking, keyboard state).
//
// Every window belongs to the GUI thread, which handles its messages. A window is a QWidget
// whose client area is a surface (an image) that device contexts draw into; Qt's paint event
// only copies that image to the screen. Calls documented as thread-safe (IsWindow,
// InvalidateRect, GetClientRect, PostMessageW, SendNotifyMessageW, PostThreadMessageW,
// SendMessageW) may come from any thread; everything else belongs to the GUI thread.
//
// Handles are never reused: a handle of a destroyed window stays invalid for good, so a
// message addressed to it is dropped and a call that takes it fails quietly.
#include <functional>

#include "platform/cstring.h"
#include "platform/dc.h"
#include "platform/geometry.h"
#include "platform/message_map.h"
#include "platform/messages.h"
#include "platform/object.h"
#include "platform/sync.h"
#include "platform/types.h"
#include "platform/winuser.h"

class QWidget;
class CFrameWnd;
class CRgn;

struct CREATESTRUCTW {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTW;
using LPCREATESTRUCT = CREATESTRUCTW*;

class QUARLEN_API CWnd : public CObject {
  DECLARE_DYNAMIC(CWnd)

 public:
  CWnd();
  // Destroys the window if it still exists (without calling PostNcDestroy).
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return GetSafeHwnd(); }

  // The CWnd attached to a live handle, or null.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd) { return FromHandle(hWnd); }

  // Creates the window: a child of `parent` when `style` has WS_CHILD (rect in the parent's
  // client coordinates), otherwise a top-level window (rect in screen coordinates; `parent`
  // becomes its owner). WS_VISIBLE shows it after WM_CREATE, WS_DISABLED creates it disabled.
  // The class name is accepted and ignored; every window double-clicks (CS_DBLCLKS) unless
  // created through CreateEx with a class style without it.
  virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id, void* context = nullptr);
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id, LPVOID param = nullptr);
  // Same with an explicit class style (CS_DBLCLKS decides whether double clicks are reported).
  BOOL CreateWithClassStyle(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                            CWnd* parent, UINT id);

  // Gives an existing host QWidget a handle and makes this object its window: messages sent
  // to the handle reach this object's message map, and windows created with this object as
  // parent become child widgets of it. The host keeps owning and painting the widget; when
  // the widget is deleted the handle dies. This is how an application's own Qt main window
  // becomes a frame, and how views go into Qt layouts (create them as children, then add
  // GetWidget() to a layout).
  BOOL AttachWidget(QWidget* widget);
  // The widget behind the window (null when there is none).
  QWidget* GetWidget() const;

  BOOL Attach(HWND hWnd);
  HWND Detach();

  // Sends WM_DESTROY and WM_NCDESTROY, releases capture and tracking, invalidates the handle
  // and deletes the widget. Children are destroyed first. Returns FALSE for no window.
  virtual BOOL DestroyWindow();

  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  BOOL ShowWindow(int cmdShow);
  BOOL IsWindowVisible() const;
  // Returns nonzero when the window was disabled before the call.
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;

  void GetClientRect(LPRECT rect) const;
  void GetWindowRect(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;

  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  void SetOwner(CWnd* owner);
  // The nearest ancestor that is a CFrameWnd, or null.
  CFrameWnd* GetParentFrame() const;
  CWnd* GetTopLevelParent() const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int id);
  CWnd* GetDlgItem(int id) const;

  void SetWindowText(LPCWSTR text);
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const;
  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL SendNotifyMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // Painting (see the free functions of the same names).
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void InvalidateRgn(CRgn* region, BOOL erase = TRUE);
  void ValidateRect(LPCRECT rect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT rect = nullptr, CRgn* region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE);
  int GetUpdateRgn(CRgn* region, BOOL erase = FALSE);
  int ScrollWindowEx(int dx, int dy, LPCRECT scroll, LPCRECT clip, CRgn* update, LPRECT updateRect,
                     UINT flags);
  void SetRedraw(BOOL redraw = TRUE);

  // Window DCs: drawing through them goes to the surface at once and reaches the screen at the
  // next flush. Release each with ReleaseDC. Safe from any thread (only the surface is touched).
  CDC* GetDC();
  CDC* GetDCEx(CRgn* clip, DWORD flags);
  int ReleaseDC(CDC* dc);
  // Paint DC for WM_PAINT: clipped to the update region, which it validates.
  CDC* BeginPaint(LPPAINTSTRUCT paint);
  void EndPaint(LPPAINTSTRUCT paint);

  // Fill colour of the default WM_ERASEBKGND (the class background brush); white by default.
  void SetBackgroundColor(COLORREF color);

  CWnd* SetCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  static CWnd* GetFocus();
  BOOL SetForegroundWindow();

  // Message processing. WindowProc runs OnWndMsg (the message maps) and falls back to
  // DefWindowProc. Default() runs DefWindowProc with the message being handled.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default();
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Called after WM_NCDESTROY; windows that delete themselves override it.
  virtual void PostNcDestroy();
  // A message a parent reflects to this control (WM_DRAWITEM of an owner-drawn button);
  // returns TRUE when the control handled it.
  virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // Default handlers: each runs Default().
  afx_msg int OnCreate(LPCREATESTRUCT create);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnEnable(BOOL enable);
  afx_msg void OnShowWindow(BOOL show, UINT status);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnSetFocus(CWnd* old);
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnRButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnMButtonDown(UINT flags, CPoint point);
  afx_msg void OnMButtonUp(UINT flags, CPoint point);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnCaptureChanged(CWnd* wnd);
  afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

 private:
  friend struct CWndAccess;
  BOOL CreateWindowImpl(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, LPVOID param);
  HWND m_owner = nullptr;
};

// A window that frames views; GetParentFrame stops at the first one.
class QUARLEN_API CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)
};

// The GUI thread's thread object (its m_nThreadID is the id PostThreadMessageW takes), or
// null before a QApplication exists.
QUARLEN_API CWinThread* AfxGetThread();
// The application's main window: set by the host, null when there is none. When the main window
// is destroyed (also when the user closes it: WM_CLOSE destroys a window by default) the quit
// message is posted, and QApplication::exec returns once it is handled (exit code 0), as a plain
// Qt program ends when its last window closes. A thread message hook may consume WM_QUIT. The
// handle is also read by the event service's tick thread (through
// quarlen::detail::MainWindowHandle), so setting it is safe while that thread runs.
QUARLEN_API CWnd* AfxGetMainWnd();
QUARLEN_API void AfxSetMainWnd(CWnd* wnd);

namespace quarlen {
// Sees every thread message posted to the GUI thread (PostThreadMessageW with its id, or
// PostMessageW with a null window); returning TRUE consumes it. Thread messages nobody consumes
// are dropped, as a modal loop drops them. An empty hook removes it.
QUARLEN_API void SetThreadMessageHook(std::function<BOOL(MSG*)> hook);
}  // namespace quarlen

// Handle-based calls.
QUARLEN_API BOOL DestroyWindow(HWND hWnd);
QUARLEN_API HWND GetParent(HWND hWnd);
QUARLEN_API BOOL IsWindowVisible(HWND hWnd);
QUARLEN_API BOOL EnableWindow(HWND hWnd, BOOL enable);
QUARLEN_API BOOL IsWindowEnabled(HWND hWnd);
QUARLEN_API BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint);
QUARLEN_API BOOL ShowWindow(HWND hWnd, int cmdShow);
// Thread-safe.
QUARLEN_API BOOL GetClientRect(HWND hWnd, LPRECT rect);
QUARLEN_API BOOL ClientToScreen(HWND hWnd, LPPOINT point);
QUARLEN_API BOOL ScreenToClient(HWND hWnd, LPPOINT point);

// Painting. InvalidateRect is thread-safe: it adds to the update region under a lock and
// schedules one WM_PAINT on the GUI thread (all invalidations until then coalesce into it).
QUARLEN_API BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase);
QUARLEN_API BOOL InvalidateRgn(HWND hWnd, HRGN region, BOOL erase);
QUARLEN_API BOOL ValidateRect(HWND hWnd, const RECT* rect);
QUARLEN_API BOOL UpdateWindow(HWND hWnd);
QUARLEN_API BOOL RedrawWindow(HWND hWnd, const RECT* rect, HRGN region, UINT flags);
QUARLEN_API BOOL GetUpdateRect(HWND hWnd, LPRECT rect, BOOL erase);
QUARLEN_API int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* scroll, const RECT* clip,
                               HRGN update, LPRECT updateRect, UINT flags);
QUARLEN_API HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT paint);
QUARLEN_API BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* paint);
QUARLEN_API HDC GetDC(HWND hWnd);
QUARLEN_API HDC GetDCEx(HWND hWnd, HRGN clip, DWORD flags);
QUARLEN_API int ReleaseDC(HWND hWnd, HDC hdc);

// Mouse and keyboard.
QUARLEN_API HWND SetCapture(HWND hWnd);
QUARLEN_API BOOL ReleaseCapture();
QUARLEN_API HWND GetCapture();
QUARLEN_API BOOL ClipCursor(const RECT* rect);
QUARLEN_API BOOL GetClipCursor(LPRECT rect);
QUARLEN_API HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
QUARLEN_API HCURSOR SetCursor(HCURSOR cursor);
QUARLEN_API HCURSOR GetCursor();
QUARLEN_API BOOL GetCursorPos(LPPOINT point);
QUARLEN_API BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT track);
QUARLEN_API BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
QUARLEN_API BOOL SetDoubleClickTime(UINT ms);
QUARLEN_API UINT GetDoubleClickTime();
QUARLEN_API BOOL SetForegroundWindow(HWND hWnd);
QUARLEN_API HWND GetFocus();
QUARLEN_API HWND SetFocus(HWND hWnd);
QUARLEN_API BOOL MessageBeep(UINT type);
// High bit set (negative) while the key is down.
QUARLEN_API SHORT GetKeyState(int virtualKey);

// Thread message queues of threads other than the GUI thread: a thread gets a queue with its
// first PeekMessageW/GetMessageW call; PostThreadMessageW to it fails before that.
QUARLEN_API BOOL GetMessageW(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax);
QUARLEN_API BOOL PeekMessageW(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT remove);
QUARLEN_API void PostQuitMessage(int exitCode);
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
