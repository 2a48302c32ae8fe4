#pragma once
// Message maps: a per-class table that routes window messages to named handler functions.
//
//   class CMyView : public CWnd {
//     ...
//     afx_msg void OnPaint();
//     afx_msg LRESULT OnRulerChanged(WPARAM, LPARAM);
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyView, CWnd)
//     ON_WM_PAINT()
//     ON_MESSAGE(1620, &CMyView::OnRulerChanged)
//   END_MESSAGE_MAP()
//
// Each entry holds a small thunk (a captureless lambda) that unpacks wParam/lParam and calls
// the handler of the class the map belongs to. CWnd::OnWndMsg searches the class's map, then its
// base classes' maps; a message no map handles goes to DefWindowProc. A handler that wants the
// default processing calls Default() (or the base class's handler, which does the same).
#include "platform/types.h"

class CWnd;

#ifndef afx_msg
#define afx_msg
#endif

// Calls the handler; returns false when the entry declines the message (it then keeps
// searching). The thunk stores the handler's result in *result.
using AFX_PMSG_THUNK = bool (*)(CWnd* wnd, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // 0 ends the table
  UINT nCode;     // WM_COMMAND: notification code (HIWORD of wParam)
  UINT nID;       // WM_COMMAND: first control id
  UINT nLastID;   // WM_COMMAND: last control id
  AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                             \
 protected:                                               \
  static const AFX_MSGMAP* GetThisMessageMap();           \
  const AFX_MSGMAP* GetMessageMap() const override;       \
                                                          \
 public:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }     \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                     \
    using ThisClass = theClass;                                                         \
    using TheBaseClass = baseClass;                                                     \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                              \
  {0, 0, 0, 0, nullptr}                                                                 \
  }                                                                                     \
  ;                                                                                     \
  static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};         \
  return &map;                                                                          \
  }

// Builds one entry whose thunk runs `body` with `self` (the window as ThisClass*), `wParam`,
// `lParam` and `result` in scope.
#define QUARLEN_MSG_ENTRY(msg, code, id, lastId, body)                                 \
  {msg, code, id, lastId,                                                               \
   [](CWnd* wnd_, WPARAM wParam, LPARAM lParam, LRESULT* result) -> bool {              \
     [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(wnd_);                  \
     (void)wParam;                                                                      \
     (void)lParam;                                                                      \
     (void)result;                                                                      \
     body;                                                                              \
     return true;                                                                       \
   }},

#define QUARLEN_POINT_OF(l) CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l))

// Any message number, including the registered application messages: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(msg, memberFxn) \
  QUARLEN_MSG_ENTRY(msg, 0, 0, 0, *result = (self->*(memberFxn))(wParam, lParam))
#define ON_REGISTERED_MESSAGE(msg, memberFxn) ON_MESSAGE(msg, memberFxn)

// WM_COMMAND from a control or menu id: void fn().
#define ON_COMMAND(id, memberFxn) QUARLEN_MSG_ENTRY(WM_COMMAND, 0, id, id, (self->*(memberFxn))())
#define ON_CONTROL(code, id, memberFxn) \
  QUARLEN_MSG_ENTRY(WM_COMMAND, code, id, id, (self->*(memberFxn))())
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

#define ON_WM_CREATE() \
  QUARLEN_MSG_ENTRY(WM_CREATE, 0, 0, 0, *result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() QUARLEN_MSG_ENTRY(WM_DESTROY, 0, 0, 0, self->OnDestroy())
#define ON_WM_CLOSE() QUARLEN_MSG_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose())
#define ON_WM_PAINT() QUARLEN_MSG_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint())
#define ON_WM_ERASEBKGND() \
  QUARLEN_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, *result = self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
#define ON_WM_SIZE() \
  QUARLEN_MSG_ENTRY(WM_SIZE, 0, 0, 0, self->OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_MOVE() \
  QUARLEN_MSG_ENTRY(WM_MOVE, 0, 0, 0, self->OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_ENABLE() QUARLEN_MSG_ENTRY(WM_ENABLE, 0, 0, 0, self->OnEnable(static_cast<BOOL>(wParam)))
#define ON_WM_SHOWWINDOW() \
  QUARLEN_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_TIMER() QUARLEN_MSG_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_SETFOCUS() \
  QUARLEN_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KILLFOCUS() \
  QUARLEN_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KEYDOWN()                                                                         \
  QUARLEN_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0,                                                        \
                    self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<ULONG_PTR>(lParam)), \
                                    HIWORD(static_cast<ULONG_PTR>(lParam))))
#define ON_WM_KEYUP()                                                                           \
  QUARLEN_MSG_ENTRY(WM_KEYUP, 0, 0, 0,                                                          \
                    self->OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<ULONG_PTR>(lParam)), \
                                  HIWORD(static_cast<ULONG_PTR>(lParam))))
#define ON_WM_SETCURSOR()                                                                  \
  QUARLEN_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                 \
                    *result = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                static_cast<SHORT>(LOWORD(static_cast<ULONG_PTR>(lParam))), \
                                                HIWORD(static_cast<ULONG_PTR>(lParam))))
#define QUARLEN_MOUSE_ENTRY(msg, fn) \
  QUARLEN_MSG_ENTRY(msg, 0, 0, 0, self->fn(static_cast<UINT>(wParam), QUARLEN_POINT_OF(lParam)))
#define ON_WM_MOUSEMOVE() QUARLEN_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() QUARLEN_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() QUARLEN_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QUARLEN_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QUARLEN_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() QUARLEN_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QUARLEN_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QUARLEN_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() QUARLEN_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL()                                                                \
  QUARLEN_MSG_ENTRY(WM_MOUSEWHEEL, 0, 0, 0,                                               \
                    *result = self->OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), \
                                                 QUARLEN_POINT_OF(lParam)))
#define ON_WM_MOUSELEAVE() QUARLEN_MSG_ENTRY(WM_MOUSELEAVE, 0, 0, 0, self->OnMouseLeave())
#define ON_WM_CAPTURECHANGED() \
  QUARLEN_MSG_ENTRY(WM_CAPTURECHANGED, 0, 0, 0, self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))
#define ON_WM_DRAWITEM() \
  QUARLEN_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0, self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
