#include "graphics/dynamic_object.h"

#include "platform/dpi.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CGODynamic, CGObject)

CGODynamic::CGODynamic() : m_cursor(reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_CROSS))) {}

CGODynamic::~CGODynamic() = default;

int CGODynamic::IsOnTop(CPoint*) const { return 0; }

int CGODynamic::GetCaptureRect(int which, CRect* out) {
  if (which != 0 || out == nullptr) return 0;
  GetVisibleRect(out);
  return 1;
}

void CGODynamic::Select(int select) {
  Lock();
  m_selected = select;
  Unlock();
}

void CGODynamic::EnableCapture(int enable) {
  Lock();
  m_captureEnabled = enable;
  Unlock();
}

void CGODynamic::EnableSelection(int enable) {
  Lock();
  m_selectEnabled = enable;
  Unlock();
}

void CGODynamic::EnableFocusing(int enable) {
  Lock();
  m_focusingEnabled = enable;
  Unlock();
}

void CGODynamic::SetPickPrecision(CSize size, unsigned) { SetPickPrecision(size); }

CSize CGODynamic::GetPickPrecision(unsigned) { return GetPickPrecision(); }

int CGODynamic::OnBeginCapture(CPoint*, unsigned) { return 0; }
int CGODynamic::OnUpdateCapture(CPoint*, unsigned) { return 0; }
void CGODynamic::OnEndCapture(CPoint*, unsigned) {}
HICON CGODynamic::GetCursor(CPoint*) { return m_cursor.load(); }

void CGODynamic::SetObjectState(EObjectState state) {
  m_objectState = state;
  CGObject::Invalidate();
}

void CGODynamic::SetFocus(int focused) {
  Lock();
  m_focused = focused;
  CGObject::Invalidate();
  Unlock();
}

void CGODynamic::SetFocusedStateModified(int modified) {
  Lock();
  m_focusedStateModified = modified;
  CGObject::Invalidate();
  Unlock();
}

void CGODynamic::SetPickPrecision(CSize size) {
  Lock();
  m_pickPrecision = size;
  m_pickPrecisionSet = true;
  Unlock();
}

CSize CGODynamic::GetPickPrecision() const {
  // Read under the lock: CSize is two words and may be written from another thread.
  Lock();
  CSize s = m_pickPrecision;
  const bool set = m_pickPrecisionSet;
  Unlock();
  // The library's own precision is meant for the hand: the same distance on any screen.
  if (!set) {
    const int dpi = static_cast<int>(GetDpiForSystem());
    s = CSize(quarlen::ScaleForDpi(s.cx, dpi), quarlen::ScaleForDpi(s.cy, dpi));
  }
  return s;
}
