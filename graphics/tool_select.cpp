#include "graphics/tool_select.h"

#include "graphics/container.h"

IMPLEMENT_DYNAMIC(CGToolSelect, CGODynamic)

namespace {

HICON ArrowPointer() { return reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_ARROW)); }

// The keys tried, in order; the whole word comes last.
constexpr unsigned kKeyMasks[] = {MK_LBUTTON,
                                  MK_RBUTTON,
                                  MK_SHIFT,
                                  MK_CONTROL,
                                  MK_MBUTTON,
                                  gobj_flagLeftDoubleClick,
                                  gobj_flagRightDoubleClick,
                                  0xFFFF};

}  // namespace

CGToolSelect::CGToolSelect(CGOContainer* container) : m_container(container) {
  SetCursor(ArrowPointer());
}

CGToolSelect::~CGToolSelect() = default;

void CGToolSelect::AssociateTool(UINT keys, CGODynamic* tool) {
  Lock();
  m_tools[static_cast<WORD>(keys & 0xFFFF)] = tool;
  Unlock();
}

CGODynamic* CGToolSelect::GetActiveTool() const {
  Lock();
  CGODynamic* t = m_activeTool;
  Unlock();
  return t;
}

void CGToolSelect::OnDraw(CDC*, CRect*) {}

int CGToolSelect::IsOnTop(CPoint*) const { return 1; }

CSize CGToolSelect::GetPickPrecision(unsigned flags) {
  Lock();
  auto it = m_tools.find(static_cast<WORD>(flags & 0xFFFF));
  CGODynamic* tool = it != m_tools.end() ? it->second : nullptr;
  const CSize s = tool != nullptr ? tool->GetPickPrecision() : GetPickPrecision();
  Unlock();
  return s;
}

void CGToolSelect::SetPickPrecision(CSize size, unsigned flags) {
  Lock();
  auto it = m_tools.find(static_cast<WORD>(flags & 0xFFFF));
  if (it == m_tools.end()) {
    SetPickPrecision(size);
  } else if (it->second != nullptr) {
    it->second->SetPickPrecision(size);
  }
  Unlock();
}

int CGToolSelect::OnBeginCapture(CPoint* pt, unsigned flags) {
  Lock();
  if (!IsCaptureEnabled()) {
    Unlock();
    return 0;
  }
  for (unsigned mask : kKeyMasks) {
    if (m_captureInProgress) break;
    auto it = m_tools.find(static_cast<WORD>(flags & mask));
    if (it == m_tools.end()) continue;
    // A null association ends the search without a drag: there is nothing to hand it to.
    if (it->second == nullptr) break;
    m_activeTool = it->second;
    m_captureInProgress = 1;

    // Freeze the container while the tool joins it on top of all dynamic objects: its
    // registration must not paint.
    const HWND wnd = m_container != nullptr ? m_container->GetSafeHwnd() : nullptr;
    BOOL wasEnabled = FALSE;
    if (wnd != nullptr) {
      ::SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
      wasEnabled = ::IsWindowEnabled(wnd);
      ::EnableWindow(wnd, FALSE);
    }
    if (m_container != nullptr) m_container->AddDynamic(m_activeTool, CGOContainer::top);
    m_activeTool->OnBeginCapture(pt, flags);
    if (wnd != nullptr) {
      ::EnableWindow(wnd, wasEnabled);
      ::SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
      ::InvalidateRect(wnd, nullptr, TRUE);
    }
    SetCursor(m_activeTool->GetCursor(pt));
  }
  const int captured = m_captureInProgress;
  Unlock();
  return captured;
}

int CGToolSelect::OnUpdateCapture(CPoint* pt, unsigned flags) {
  Lock();
  const int r = m_activeTool != nullptr ? m_activeTool->OnUpdateCapture(pt, flags) : 0;
  Unlock();
  return r;
}

void CGToolSelect::OnEndCapture(CPoint* pt, unsigned flags) {
  Lock();
  if (m_activeTool != nullptr) {
    m_activeTool->OnEndCapture(pt, flags);
    if (m_container != nullptr) m_container->Remove(m_activeTool);
    m_activeTool = nullptr;
  }
  SetCursor(ArrowPointer());
  m_captureInProgress = 0;
  Unlock();
}

HICON CGToolSelect::GetCursor(CPoint* pt) {
  Lock();
  HICON c = m_activeTool != nullptr ? m_activeTool->GetCursor(pt) : CGODynamic::GetCursor(pt);
  Unlock();
  return c;
}
