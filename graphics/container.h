#pragma once
// CGOContainer: the child window in which graphic objects live.
//
// It holds a background object (or a plain background colour), an ordered list of static
// objects, an ordered list of dynamic objects and one tracking object. It gives every object its
// rulers, grow flags, rectangle and data limits; paints them in layers into the window; turns mouse input into the capture protocol of CGODynamic
// and into hover focus; and reacts to events 1618 (object changed) and 1620 (ruler changed),
// which the event service delivers to it as window messages of the same numbers.
//
// Layers, bottom to top: background object or colour; static objects from the last index to
// index 0; dynamic objects from the last index to index 0; the tracking object while it captures.
//
// Mouse: a left or right press goes to the first capture-enabled dynamic object, from the top,
// whose IsOnTop accepts the point and whose OnBeginCapture accepts the press (a left press is
// offered with MK_LBUTTON alone, a right press with the message's keys). That object moves to
// index 0, the top of the dynamic layer, so that the object being dragged is drawn above the
// others; it stays there after the drag. Hence an object that accepts every press (the
// selection tool, a zoom tool) must not live in the dynamic layer: after its first drag it
// covers every other dynamic object, the cursors too. Such an object belongs in the tracking
// slot (AddTracking): the tracking object gets the drags no dynamic object takes, a left drag
// once the pointer has moved beyond its pick precision (GetPickPrecision with the move's keys)
// and a right drag at the press, each with the keys held then (MK_SHIFT, MK_CONTROL included);
// it is not in the dynamic list, so it never comes above the dynamic objects. Several tools
// share a view through a CGToolSelect as the tracking object (graphics/tool_select.h).
//
// Double buffering composes every repaint (Update, Redraw) in the window's own pixels with the
// screen held (CComposeDC): the screen shows each repainted area only once all layers are drawn
// in it, and no off-screen bitmap is kept. Without it, the screen may show a repaint's layers
// as they are drawn (when another thread composes, or the paint event comes in between).
//
// The container never owns the objects. An object removed from it (or left behind when the
// window is destroyed) is never called again, so the application may delete it at once; a drag
// in progress ends when its object is removed or the window goes away. Deleting the container
// calls none of its objects (DestroyWindow first to have them told), so objects and container
// may be deleted in either order.
//
// Locking: one recursive lock guards the container; objects are called with it held, and take
// their own lock inside (container first, then object). Message 1127 is posted after the lock is
// released.
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/dynamic_object.h"
#include "graphics/focus.h"
#include "platform/gdi.h"
#include "platform/sync.h"
#include "platform/window.h"

class CGRulerHoriz;
class CGRulerVerti;
class CObList;
class CRuler;

// Grow flags of a container (Create, Attach), handed with the rulers to every object it holds
// (CGObject::SetRuler): the direction in which ruler values grow across the view. The vertical
// flag means the opposite of a vertical ruler view's grow flag with the same value (see
// gruler_enumGrow in graphics/graphical_ruler.h): a view whose depth grows downwards takes
// gocont_growDown here and gruler_growDown on its vertical ruler view.
enum gocont_enumGrow : int {
  gocont_growLeft = 0,   // x: values grow from right to left
  gocont_growRight = 1,  // x: values grow from left to right (the default)
  gocont_growDown = 0,   // y: values grow from top to bottom
  gocont_growUp = 1,     // y: values grow from bottom to top (the default)
};

// Argument of CGOContainer::Update(CGObject*, ...).
enum gocont_enumUpdate : int {
  gocont_updateAll = 0,
  gocont_updateBackground = 1,  // the background only
  gocont_updateObjects = 2,     // the objects only
};

// Messages the container sends to the application.
enum : UINT {
  gocont_msgModifierNotice = 1026,   // to the parent frame: wParam one of the three values below
  gocont_msgAllAcknowledged = 1127,  // posted to the parent after an update
};
enum : WPARAM {
  gocont_noticeShiftControl = 32086,
  gocont_noticeShift = 32088,
  gocont_noticeControl = 32168,
  gocont_noticeEnd = 0,
};

class QUARLEN_API CGOContainer : public CWnd, public IRegisterToFocusNotification {
 public:
  // Where Add and AddDynamic insert: 0 at index 0 (top of the layer), any other value at the end.
  enum position { top = 0, bottom = 1 };

  CGOContainer();
  ~CGOContainer() override;

  using CWnd::Attach;
  using CWnd::Create;
  // A hidden WS_CHILD window (0, 0, 1, 1) of parent, registered with the event service.
  // xGrow and yGrow: gocont_enumGrow values.
  int Create(CWnd* parent, UINT id, CRuler* x, CRuler* y, int xGrow, int yGrow);
  // Makes hwnd the container's window (unless it already is) and registers as Create does.
  int Attach(HWND hwnd, CRuler* x, CRuler* y, int xGrow, int yGrow);

  // Objects.
  void AddBackground(CGObject* obj);
  void SetBackgroundColor(COLORREF color);  // drops the background object
  void Add(CGObject* obj, int pos);
  void AddDynamic(CGODynamic* obj, int pos);
  // The one tracking object (replacing the previous one): see "Mouse" above.
  void AddTracking(CGODynamic* obj);
  void Remove(CGObject* obj);
  void RemoveAll();
  void MoveToTop(CGODynamic* obj);
  void MoveToBottom(CGODynamic* obj);
  CGODynamic* GetHighestObject() const;
  CGODynamic* GetLowestObject() const;
  // The first capture-enabled dynamic object, from the top, whose IsOnTop accepts pt.
  CGODynamic* GetObjectOnTop(CPoint* pt) const;
  int IsInContainer(CGObject* obj) const;
  void GetObjects(CObList* out) const;
  void GetDynamicObjects(CObList* out) const;
  int GetObjectQty() const;
  CGObject* GetBackground() const { return m_background; }
  CGODynamic* GetTracking() const { return m_tracking; }
  COLORREF GetBackgroundColor() const { return m_backgroundColor; }

  // Rulers, limits, geometry.
  void SetRuler(CRuler* x, CRuler* y);
  void GetRuler(CRuler** x, CRuler** y) const;
  void GetRulerGrow(int* xGrow, int* yGrow) const;
  void SetGraphicalRuler(CGRulerHoriz* horiz, CGRulerVerti* verti);
  CGRulerHoriz* GetHorizView() const { return m_horizView; }
  CGRulerVerti* GetVertiView() const { return m_vertiView; }
  void SignalRulerChange();
  virtual void SetDataLimits(double x1, double x2, double y1, double y2);
  double GetPixelWidth() const;
  double GetPixelHeight() const;
  std::uintptr_t GetID() const { return reinterpret_cast<std::uintptr_t>(this); }

  // Drawing and state.
  void EnableDraw(int enable);
  int IsDrawEnabled() const { return m_drawEnabled; }
  void EnableDoubleBuffering(int enable);
  int IsDoubleBufferingEnabled() const { return m_doubleBuffering; }
  void Redraw();
  // Collects the update regions of all objects and repaints them (the answer to 1618).
  void Update();
  // Repaints for one object: its single update rectangle, or the whole client area.
  void Update(CGObject* obj, gocont_enumUpdate which);
  // Paints the client area into dc with its viewport origin at (x, y).
  void Print(CDC* dc, int x, int y);
  // Scrolls the content by (b, a): the first argument is the vertical distance.
  void Scroll(LONG a, LONG b);
  void Lock() const { m_lock.Lock(); }
  void Unlock() const { m_lock.Unlock(); }

  // Mouse input.
  void EnableDynamicPick(int enable) { m_dynamicPick = enable; }
  void SetItemFocused(int focused) { m_itemFocused = focused; }

  // IRegisterToFocusNotification.
  void RegisterToFocusNotification(IObjectFocusedConsumer* consumer) override;
  void UnregisterToFocusNotification(IObjectFocusedConsumer* consumer) override;

 protected:
  void Redraw(CRect* r);
  void SelectCursor(HICON cursor);

  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnMouseMove(UINT flags, CPoint pt);
  afx_msg void OnLButtonDown(UINT flags, CPoint pt);
  afx_msg void OnLButtonUp(UINT flags, CPoint pt);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint pt);
  afx_msg void OnRButtonDown(UINT flags, CPoint pt);
  afx_msg void OnRButtonUp(UINT flags, CPoint pt);
  afx_msg void OnRButtonDblClk(UINT flags, CPoint pt);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGOChanged(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnRulerChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void RegisterEvents();
  void UnregisterEvents();
  void Register(CGObject* obj, int redraw);
  // The layered repaint of r into dc (paint handler, Print, Redraw).
  void Redraw(CDC* dc, CRect* r);
  // Background, static, dynamic and tracking layers of clip into dc.
  void DrawLayers(CDC* dc, CRect* clip, CBrush* brush);
  void DrawObjectLayers(CDC* dc, CRect* clip);
  void AcknowledgeIfModified(CGObject* obj);
  // Ends a drag without calling the captured object (it may be going away).
  void AbandonDrag();
  void SendModifierEnd();
  void NotifyObjectFocused(int focused);
  void BeginCaptureOf(CGODynamic* obj, CPoint pt);
  bool HasWindow() const;
  // A DC over the whole client area to repaint in: a compose DC with double buffering on, a
  // client DC otherwise; null without a window surface.
  std::unique_ptr<CDC> OpenWindowDC();

  int m_frameNotified = 0;
  CRuler* m_xRuler = nullptr;
  CRuler* m_yRuler = nullptr;
  CGRulerHoriz* m_horizView = nullptr;
  CGRulerVerti* m_vertiView = nullptr;
  int m_dynamicPick = 1;
  int m_buttonPressed = 0;
  CGODynamic* m_captured = nullptr;
  int m_drawEnabled = 1;
  int m_doubleBuffering = 0;
  CGObject* m_background = nullptr;
  CGODynamic* m_tracking = nullptr;
  std::vector<CGObject*> m_static;
  std::vector<CGODynamic*> m_dynamic;
  COLORREF m_backgroundColor = RGB(255, 255, 255);
  int m_xGrow = 1;
  int m_yGrow = 1;
  unsigned m_eventClient = 0;
  // Event-service registration ids (0 while not registered).
  unsigned m_objectModifiedReg = 0;
  unsigned m_rulerChangedRegX = 0;
  unsigned m_rulerChangedRegY = 0;
  CPoint m_buttonDown;
  CPoint m_lastPoint;
  mutable CCriticalSection m_lock;
  int m_ackCount = 0;
  int m_itemFocused = 0;
  double m_x1 = 0.0, m_x2 = 0.0, m_y1 = 0.0, m_y2 = 0.0;
  std::vector<IObjectFocusedConsumer*> m_focusConsumers;
};
