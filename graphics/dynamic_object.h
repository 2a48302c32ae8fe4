#pragma once
// CGODynamic: base of every graphic object that reacts to the mouse.
//
// Adds to CGObject the state the container needs to route mouse input (capture, selection and
// focusing enables, visibility, capture in progress, pick precision, pointer shape, an
// application-defined object state) and the capture protocol: a hit test (IsOnTop) and three
// notifications through which the container hands a drag to the object. The base class is never
// hit and refuses every capture; derived classes override these operations.
//
// Mouse flags words are the MK_* bits of the triggering message plus 0x4000 for a left and
// 0x8000 for a right double-click.
#include <atomic>

#include "graphics/graphic_object.h"

// Application-defined state of a dynamic object. The library distinguishes only
// eObjectStateKeepFocus: such an object keeps its hover focus when the pointer leaves it.
enum EObjectState : std::int32_t {
  eObjectStateNormal = 0,
  eObjectStateKeepFocus = 1,
};

// Bits the container adds to the mouse flags word.
enum : unsigned {
  gobj_flagLeftDoubleClick = 0x4000,
  gobj_flagRightDoubleClick = 0x8000,
};

class QUARLEN_API CGODynamic : public CGObject {
  DECLARE_DYNAMIC(CGODynamic)

 public:
  CGODynamic();
  ~CGODynamic() override;

  // Virtual operations appended to CGObject's, in this order.
  virtual int IsOnTop(CPoint* pt) const;
  // which != 0: returns 0, writes nothing; which == 0: writes GetVisibleRect, returns 1.
  virtual int GetCaptureRect(int which, CRect* out);
  virtual void Select(int select);
  virtual void EnableCapture(int enable);
  virtual void EnableSelection(int enable);
  virtual void EnableFocusing(int enable);
  // Base: flags ignored.
  virtual void SetPickPrecision(CSize size, unsigned flags);
  virtual CSize GetPickPrecision(unsigned flags);
  // Nonzero accepts the drag; the object then sets m_captureInProgress.
  virtual int OnBeginCapture(CPoint* pt, unsigned flags);
  // Nonzero continues the drag; 0 makes the container abandon it without OnEndCapture.
  virtual int OnUpdateCapture(CPoint* pt, unsigned flags);
  // The object clears m_captureInProgress.
  virtual void OnEndCapture(CPoint* pt, unsigned flags);
  virtual HICON GetCursor(CPoint* pt);

  // Non-virtual operations.
  void SetObjectState(EObjectState state);  // invalidates, also when unchanged
  EObjectState GetObjectState() const { return m_objectState.load(); }
  void SetVisible(int visible) { m_visible = visible; }
  int IsVisible() const { return m_visible.load(); }
  int IsSelected() const { return m_selected.load(); }
  int IsCaptureEnabled() const { return m_captureEnabled.load(); }
  int IsSelectEnabled() const { return m_selectEnabled.load(); }
  int IsFocusingEnabled() const { return m_focusingEnabled.load(); }
  int IsFocused() const { return m_focused.load(); }
  int IsFocusedStateModified() const { return m_focusedStateModified.load(); }
  int IsCaptured() const { return m_captureInProgress.load(); }
  void SetFocus(int focused);                  // invalidates, also when unchanged
  void SetFocusedStateModified(int modified);  // invalidates
  void SetPickPrecision(CSize size);
  CSize GetPickPrecision() const;
  void SetCursor(HICON cursor) { m_cursor = cursor; }

 protected:
  // Set by derived classes: 1 when they accept a capture, 0 when it ends.
  std::atomic<int> m_captureInProgress{0};

 private:
  std::atomic<EObjectState> m_objectState{eObjectStateNormal};
  std::atomic<int> m_selected{0};
  std::atomic<int> m_captureEnabled{1};
  std::atomic<int> m_selectEnabled{1};
  std::atomic<int> m_focusingEnabled{0};
  std::atomic<int> m_focused{0};
  std::atomic<int> m_focusedStateModified{0};
  std::atomic<int> m_visible{1};
  CSize m_pickPrecision{5, 5};  // as set; until then 5 pixels at 96 DPI, scaled
  bool m_pickPrecisionSet = false;
  std::atomic<HICON> m_cursor{nullptr};
};
