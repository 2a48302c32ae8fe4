#include "graphics/container.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "axis/ruler.h"
#include "graphics/ruler_views.h"
#include "notify/event_service.h"
#include "platform/collections.h"
#include "platform/window_dc.h"

namespace {

using Guard = std::lock_guard<CCriticalSection>;

// |a - b| > limit without overflow.
bool Beyond(LONG a, LONG b, LONG limit) {
  return std::llabs(static_cast<long long>(a) - b) > static_cast<long long>(limit);
}

}  // namespace

BEGIN_MESSAGE_MAP(CGOContainer, CWnd)
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_MESSAGE(WM_MOUSELEAVE, &CGOContainer::OnMouseLeave)
  ON_MESSAGE(event_objectModified, &CGOContainer::OnGOChanged)
  ON_MESSAGE(event_rulerChanged, &CGOContainer::OnRulerChanged)
END_MESSAGE_MAP()

CGOContainer::CGOContainer() = default;

CGOContainer::~CGOContainer() {
  // The objects may be gone already (the container never owns them, and the application
  // deletes them in any order): forget them without a call, so that the window's destruction
  // below detaches nothing. Only an explicit DestroyWindow tells them (OnDestroyWnd).
  {
    Guard lock(m_lock);
    m_static.clear();
    m_dynamic.clear();
    m_background = nullptr;
    m_tracking = nullptr;
  }
  // Destroy the window while this object is still a container, so that OnDestroy runs: it
  // ends a drag in progress and leaves the event service.
  if (m_hWnd != nullptr) DestroyWindow();
  UnregisterEvents();
}

bool CGOContainer::HasWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

// ---- Creation and event registration ----

int CGOContainer::Create(CWnd* parent, UINT id, CRuler* x, CRuler* y, int xGrow, int yGrow) {
  const BOOL ok = CWnd::Create(nullptr, L"", WS_CHILD, CRect(0, 0, 1, 1), parent, id);
  Guard lock(m_lock);
  m_xRuler = x;
  m_yRuler = y;
  m_xGrow = xGrow;
  m_yGrow = yGrow;
  if (ok) RegisterEvents();
  return ok;
}

int CGOContainer::Attach(HWND hwnd, CRuler* x, CRuler* y, int xGrow, int yGrow) {
  if (hwnd != m_hWnd) CWnd::Attach(hwnd);
  Guard lock(m_lock);
  m_xRuler = x;
  m_yRuler = y;
  m_xGrow = xGrow;
  m_yGrow = yGrow;
  RegisterEvents();
  return 1;
}

void CGOContainer::RegisterEvents() {
  UnregisterEvents();  // a second Create/Attach must not leave the first registrations behind
  m_eventClient = event_RegisterClient(reinterpret_cast<std::uintptr_t>(m_hWnd), nullptr,
                                       nullptr, event_kindWindow);
  if (m_eventClient == 0) return;
  m_objectModifiedReg =
      event_RegisterEvent(event_objectModified, m_eventClient, event_libraryControl, 0, GetID(),
                          0, event_any);
  if (m_xRuler != nullptr) {
    m_rulerChangedRegX = event_RegisterEvent(event_rulerChanged, m_eventClient, event_libraryControl, 0,
                                     m_xRuler->GetID(), 0, event_any);
  }
  if (m_yRuler != nullptr) {
    m_rulerChangedRegY = event_RegisterEvent(event_rulerChanged, m_eventClient, event_libraryControl, 0,
                                     m_yRuler->GetID(), 0, event_any);
  }
}

void CGOContainer::UnregisterEvents() {
  if (m_eventClient == 0) return;
  if (m_rulerChangedRegY != 0) event_UnregisterEvent(event_rulerChanged, m_rulerChangedRegY);
  if (m_rulerChangedRegX != 0) event_UnregisterEvent(event_rulerChanged, m_rulerChangedRegX);
  if (m_objectModifiedReg != 0) event_UnregisterEvent(event_objectModified, m_objectModifiedReg);
  event_UnregisterClient(m_eventClient);
  m_eventClient = m_objectModifiedReg = m_rulerChangedRegX = m_rulerChangedRegY = 0;
}

// ---- Objects ----

void CGOContainer::Register(CGObject* obj, int redraw) {
  CRect client(0, 0, 0, 0);
  if (HasWindow()) GetClientRect(&client);
  const int build = obj->IsBuildEnable();
  obj->EnableBuild(0);
  obj->SetContainer(GetID());
  obj->SetRuler(m_xRuler, m_xGrow, m_yRuler, m_yGrow);
  obj->OnSize(&client);
  obj->EnableBuild(build);
  obj->SetDataLimits(m_x1, m_x2, m_y1, m_y2);
  if (HasWindow()) {
    if (CDC* dc = GetDC()) {
      obj->OnInit(dc);
      ReleaseDC(dc);
    }
  }
  CRect visible;
  obj->GetVisibleRect(&visible);
  if (redraw) Redraw(&visible);
}

void CGOContainer::AddBackground(CGObject* obj) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  m_backgroundColor = 0;
  m_background = obj;
  Register(obj, 1);
}

void CGOContainer::SetBackgroundColor(COLORREF color) {
  Guard lock(m_lock);
  m_backgroundColor = color;
  m_background = nullptr;
  if (HasWindow() && m_xRuler != nullptr) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CGOContainer::Add(CGObject* obj, int pos) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  if (pos == top) {
    m_static.insert(m_static.begin(), obj);
  } else {
    m_static.push_back(obj);
  }
  Register(obj, 1);
}

void CGOContainer::AddDynamic(CGODynamic* obj, int pos) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  if (pos == top) {
    m_dynamic.insert(m_dynamic.begin(), obj);
  } else {
    m_dynamic.push_back(obj);
  }
  Register(obj, 1);
}

void CGOContainer::AddTracking(CGODynamic* obj) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  if (m_tracking != nullptr && m_captured == m_tracking) AbandonDrag();
  m_tracking = obj;
  Register(obj, 0);
}

void CGOContainer::Remove(CGObject* obj) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  // A drag held by the object ends here, without calling the object again.
  if (m_captured != nullptr && static_cast<CGObject*>(m_captured) == obj) AbandonDrag();
  CDC* dc = HasWindow() ? GetDC() : nullptr;

  auto s = std::find(m_static.begin(), m_static.end(), obj);
  auto d = std::find(m_dynamic.begin(), m_dynamic.end(), obj);
  if (s != m_static.end() || d != m_dynamic.end()) {
    obj->SetContainer(0);
    if (dc != nullptr) obj->OnDestroyWnd(dc);
    // Searched again: OnDestroyWnd may not change the lists, but the lists are ours to trust.
    s = std::find(m_static.begin(), m_static.end(), obj);
    if (s != m_static.end()) {
      m_static.erase(s);
    } else {
      d = std::find(m_dynamic.begin(), m_dynamic.end(), obj);
      if (d != m_dynamic.end()) m_dynamic.erase(d);
    }
    Redraw();
  } else if (obj == m_background) {
    m_background = nullptr;
    Redraw();
  } else if (obj == m_tracking) {
    m_tracking = nullptr;
  } else {
    Redraw();
  }
  if (dc != nullptr) ReleaseDC(dc);
}

void CGOContainer::RemoveAll() {
  Guard lock(m_lock);
  if (m_buttonPressed || m_captured != nullptr) AbandonDrag();
  if (HasWindow()) {
    if (CDC* dc = GetDC()) {
      if (m_background != nullptr) m_background->OnDestroyWnd(dc);
      for (CGObject* o : std::vector<CGObject*>(m_static)) o->OnDestroyWnd(dc);
      for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) o->OnDestroyWnd(dc);
      if (m_tracking != nullptr) m_tracking->OnDestroyWnd(dc);
      ReleaseDC(dc);
    }
  }
  m_static.clear();
  m_dynamic.clear();
  m_background = nullptr;
  m_tracking = nullptr;
}

void CGOContainer::MoveToTop(CGODynamic* obj) {
  Guard lock(m_lock);
  auto it = std::find(m_dynamic.begin(), m_dynamic.end(), obj);
  if (it == m_dynamic.end() || it == m_dynamic.begin()) return;
  m_dynamic.erase(it);
  m_dynamic.insert(m_dynamic.begin(), obj);
  CRect r;
  obj->GetVisibleRect(&r);
  Redraw(&r);
}

void CGOContainer::MoveToBottom(CGODynamic* obj) {
  Guard lock(m_lock);
  auto it = std::find(m_dynamic.begin(), m_dynamic.end(), obj);
  if (it == m_dynamic.end()) return;
  m_dynamic.erase(it);
  m_dynamic.push_back(obj);
  CRect r;
  obj->GetVisibleRect(&r);
  Redraw(&r);
}

CGODynamic* CGOContainer::GetHighestObject() const {
  Guard lock(m_lock);
  return m_dynamic.empty() ? nullptr : m_dynamic.front();
}

CGODynamic* CGOContainer::GetLowestObject() const {
  Guard lock(m_lock);
  return m_dynamic.empty() ? nullptr : m_dynamic.back();
}

CGODynamic* CGOContainer::GetObjectOnTop(CPoint* pt) const {
  if (pt == nullptr) return nullptr;
  Guard lock(m_lock);
  for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) {
    if (o->IsCaptureEnabled() && o->IsOnTop(pt)) return o;
  }
  return nullptr;
}

int CGOContainer::IsInContainer(CGObject* obj) const {
  Guard lock(m_lock);
  if (obj == nullptr) return 0;
  if (std::find(m_static.begin(), m_static.end(), obj) != m_static.end()) return 1;
  if (std::find(m_dynamic.begin(), m_dynamic.end(), obj) != m_dynamic.end()) return 1;
  return (obj == m_background || obj == m_tracking) ? 1 : 0;
}

void CGOContainer::GetObjects(CObList* out) const {
  if (out == nullptr) return;
  Guard lock(m_lock);
  for (CGObject* o : m_static) out->AddTail(o);
}

void CGOContainer::GetDynamicObjects(CObList* out) const {
  if (out == nullptr) return;
  Guard lock(m_lock);
  for (CGODynamic* o : m_dynamic) out->AddTail(o);
}

int CGOContainer::GetObjectQty() const {
  Guard lock(m_lock);
  return static_cast<int>(m_static.size() + m_dynamic.size()) + (m_background ? 1 : 0) +
         (m_tracking ? 1 : 0);
}

// ---- Rulers, limits, geometry ----

void CGOContainer::SetRuler(CRuler* x, CRuler* y) {
  Guard lock(m_lock);
  const bool changed = x != m_xRuler || y != m_yRuler;
  m_xRuler = x;
  m_yRuler = y;
  // Follow the new rulers' changes from now on.
  if (changed && m_eventClient != 0) {
    if (m_rulerChangedRegY != 0) event_UnregisterEvent(event_rulerChanged, m_rulerChangedRegY);
    if (m_rulerChangedRegX != 0) event_UnregisterEvent(event_rulerChanged, m_rulerChangedRegX);
    m_rulerChangedRegX = m_rulerChangedRegY = 0;
    if (x != nullptr) {
      m_rulerChangedRegX = event_RegisterEvent(event_rulerChanged, m_eventClient, event_libraryControl, 0,
                                       x->GetID(), 0, event_any);
    }
    if (y != nullptr) {
      m_rulerChangedRegY = event_RegisterEvent(event_rulerChanged, m_eventClient, event_libraryControl, 0,
                                       y->GetID(), 0, event_any);
    }
  }
  auto apply = [&](CGObject* o) {
    o->SetRuler(x, m_xGrow, y, m_yGrow);
    AcknowledgeIfModified(o);
  };
  if (m_background != nullptr) apply(m_background);
  for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) apply(o);
  for (CGObject* o : std::vector<CGObject*>(m_static)) apply(o);
  Redraw();
}

void CGOContainer::GetRuler(CRuler** x, CRuler** y) const {
  if (x != nullptr) *x = m_xRuler;
  if (y != nullptr) *y = m_yRuler;
}

void CGOContainer::GetRulerGrow(int* xGrow, int* yGrow) const {
  if (xGrow != nullptr) *xGrow = m_xGrow;
  if (yGrow != nullptr) *yGrow = m_yGrow;
}

void CGOContainer::SetGraphicalRuler(CGRulerHoriz* horiz, CGRulerVerti* verti) {
  m_horizView = horiz;
  m_vertiView = verti;
}

void CGOContainer::SignalRulerChange() {
  OnRulerChanged(m_xRuler != nullptr ? m_xRuler->GetID() : 0,
                 reinterpret_cast<LPARAM>(m_xRuler));
}

void CGOContainer::SetDataLimits(double x1, double x2, double y1, double y2) {
  Guard lock(m_lock);
  m_x1 = x1;
  m_x2 = x2;
  m_y1 = y1;
  m_y2 = y2;
  const std::vector<CGObject*> statics(m_static);
  const std::vector<CGODynamic*> dynamics(m_dynamic);
  for (auto it = statics.rbegin(); it != statics.rend(); ++it) {
    (*it)->SetDataLimits(x1, x2, y1, y2);
  }
  for (auto it = dynamics.rbegin(); it != dynamics.rend(); ++it) {
    (*it)->SetDataLimits(x1, x2, y1, y2);
  }
}

double CGOContainer::GetPixelWidth() const {
  CRect c(0, 0, 0, 0);
  if (HasWindow()) GetClientRect(&c);
  if (m_xRuler == nullptr || c.Width() <= 0) return 0.0;
  return m_xRuler->GetRange() / c.Width();
}

double CGOContainer::GetPixelHeight() const {
  CRect c(0, 0, 0, 0);
  if (HasWindow()) GetClientRect(&c);
  if (m_yRuler == nullptr || c.Height() <= 0) return 0.0;
  return m_yRuler->GetRange() / c.Height();
}

// ---- Drawing ----

void CGOContainer::EnableDraw(int enable) {
  Guard lock(m_lock);
  const bool turningOn = enable && !m_drawEnabled;
  m_drawEnabled = enable;
  if (turningOn) Redraw();
}

void CGOContainer::EnableDoubleBuffering(int enable) {
  Guard lock(m_lock);
  m_doubleBuffering = enable;
}

std::unique_ptr<CDC> CGOContainer::OpenWindowDC() {
  std::unique_ptr<CDC> dc;
  if (m_doubleBuffering)
    dc = std::make_unique<CComposeDC>(this);
  else
    dc = std::make_unique<CClientDC>(this);
  if (dc->GetSafeHdc() == nullptr) dc.reset();
  return dc;
}

void CGOContainer::Redraw() {
  if (!HasWindow()) return;
  CRect c;
  GetClientRect(&c);
  Redraw(&c);
}

void CGOContainer::Redraw(CRect* r) {
  Guard lock(m_lock);
  if (!HasWindow()) return;
  if (auto dc = OpenWindowDC()) Redraw(dc.get(), r);
}

void CGOContainer::DrawObjectLayers(CDC* dc, CRect* clip) {
  const std::vector<CGObject*> statics(m_static);
  const std::vector<CGODynamic*> dynamics(m_dynamic);
  for (auto it = statics.rbegin(); it != statics.rend(); ++it) (*it)->OnDraw(dc, clip);
  for (auto it = dynamics.rbegin(); it != dynamics.rend(); ++it) (*it)->OnDraw(dc, clip);
  if (m_tracking != nullptr && m_tracking->IsCaptured()) m_tracking->OnDraw(dc, clip);
}

void CGOContainer::DrawLayers(CDC* dc, CRect* clip, CBrush* brush) {
  // Objects are asked to draw within clip; the DC enforces it, so that an object drawing more
  // than asked cannot cover the layers above it outside the repainted area.
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(clip);
  if (m_background != nullptr) {
    m_background->OnDraw(dc, clip);
  } else if (brush != nullptr) {
    dc->FillRect(clip, brush);
  } else {
    CBrush fill(m_backgroundColor);
    dc->FillRect(clip, &fill);
  }
  DrawObjectLayers(dc, clip);
  dc->RestoreDC(saved);
}

void CGOContainer::Redraw(CDC* dc, CRect* r) {
  if (!m_drawEnabled || !HasWindow() || dc == nullptr || r == nullptr) return;
  if (r->Width() == 0 || r->Height() == 0) return;
  CRect c;
  GetClientRect(&c);
  if (c.Width() < 2 || c.Height() < 2) return;

  Guard lock(m_lock);
  if (!IsWindowEnabled()) return;  // a disabled container draws nothing, not even its views
  DrawLayers(dc, r, nullptr);

  CWnd* parent = GetParent();
  CDC* parentDC = parent != nullptr ? parent->GetDC() : nullptr;
  if (parentDC != nullptr) {
    if (m_vertiView != nullptr) m_vertiView->OnDraw(parentDC);
    if (m_horizView != nullptr) m_horizView->OnDraw(parentDC);
    parent->ReleaseDC(parentDC);
  }
}

void CGOContainer::AcknowledgeIfModified(CGObject* obj) {
  obj->Lock();
  if (obj->IsModified()) {
    obj->AckNewData();
    ++m_ackCount;
  }
  obj->Unlock();
}

void CGOContainer::Update() {
  Guard lock(m_lock);
  if (!HasWindow()) return;
  CComplexRegion rgn;
  CRect c;
  GetClientRect(&c);

  auto collect = [&](CGObject* o) {
    // Read and acknowledged under the object's lock: an invalidation from another thread
    // lands either in this collection or in the next one, never in between.
    o->Lock();
    if (o->IsModified()) {
      o->GetUpdateRgn(&rgn);
      o->AckNewData();
      ++m_ackCount;
    }
    o->Unlock();
  };
  if (m_background != nullptr) collect(m_background);
  if (m_tracking != nullptr) collect(m_tracking);
  for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) collect(o);
  for (CGObject* o : std::vector<CGObject*>(m_static)) collect(o);
  if (rgn.IsEmpty()) return;

  auto target = OpenWindowDC();
  if (!target) return;
  CBrush brush(m_backgroundColor);
  ::GdiFlush();
  for (CRect* g = rgn.GetFirstRectangle(); g != nullptr; g = rgn.GetNextRectangle()) {
    CRect clip;
    if (!::IntersectRect(&clip, g, &c)) continue;  // nothing of it is visible
    DrawLayers(target.get(), &clip, &brush);
  }
  ::GdiFlush();
}

void CGOContainer::Update(CGObject* obj, gocont_enumUpdate which) {
  if (obj == nullptr) return;
  Guard lock(m_lock);
  if (!HasWindow()) return;
  CRect area;
  obj->Lock();
  CComplexRegion rgn;
  obj->GetUpdateRgn(&rgn);
  if (rgn.RectQuantity() == 1) {
    area = *rgn.GetFirstRectangle();
    obj->AckNewData();
    ++m_ackCount;
  } else {
    GetClientRect(&area);
  }
  obj->Unlock();

  auto dc = OpenWindowDC();
  if (!dc) return;
  CDC* target = dc.get();
  ::GdiFlush();
  const int saved = target->SaveDC();
  target->IntersectClipRect(&area);
  if (which != gocont_updateObjects) {
    if (m_background != nullptr) {
      m_background->OnDraw(target, &area);
    } else {
      CBrush brush(m_backgroundColor);
      target->FillRect(&area, &brush);
    }
  }
  if (which != gocont_updateBackground) DrawObjectLayers(target, &area);
  target->RestoreDC(saved);
  ::GdiFlush();
}

void CGOContainer::Print(CDC* dc, int x, int y) {
  if (dc == nullptr || !HasWindow()) return;
  CRect r;
  GetClientRect(&r);
  dc->SetViewportOrg(x, y);
  dc->IntersectClipRect(&r);
  Redraw(dc, &r);
  dc->SetViewportOrg(0, 0);
}

void CGOContainer::Scroll(LONG a, LONG b) {
  Guard lock(m_lock);
  if (!HasWindow()) return;
  ::ScrollWindowEx(m_hWnd, b, a, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

// ---- Message handlers ----

void CGOContainer::OnDestroy() {
  {
    Guard lock(m_lock);
    if (m_buttonPressed || m_captured != nullptr) {
      ::ReleaseCapture();
      ::ClipCursor(nullptr);
    }
    m_buttonPressed = 0;
    m_captured = nullptr;
    m_frameNotified = 0;
    UnregisterEvents();
    RemoveAll();
  }
  CWnd::OnDestroy();
}

void CGOContainer::OnSize(UINT, int cx, int cy) {
  if (cx < 2 || cy < 2) return;
  Guard lock(m_lock);
  m_ackCount = 0;
  CDC* d = GetDC();
  CRect r(0, 0, cx, cy);
  auto resize = [&](CGObject* o, bool temporaryDC) {
    if (temporaryDC && d != nullptr) o->SetTemporaryDC(d);
    o->OnSize(&r);
    AcknowledgeIfModified(o);
  };
  if (m_background != nullptr) resize(m_background, true);
  if (m_tracking != nullptr) resize(m_tracking, false);
  for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) resize(o, true);
  for (CGObject* o : std::vector<CGObject*>(m_static)) resize(o, true);
  if (d != nullptr) ReleaseDC(d);
  // Every object now maps its rulers onto the new rectangle, so nothing on the surface is where
  // it belongs any more, not only the area a larger window uncovers.
  InvalidateRect(nullptr, FALSE);
}

void CGOContainer::OnPaint() {
  Guard lock(m_lock);
  PAINTSTRUCT ps{};
  CDC* dc = BeginPaint(&ps);
  if (dc == nullptr) return;
  CRect clip;
  dc->GetClipBox(&clip);
  Redraw(dc, &clip);
  EndPaint(&ps);
}

BOOL CGOContainer::OnEraseBkgnd(CDC*) { return FALSE; }

LRESULT CGOContainer::OnGOChanged(WPARAM, LPARAM) {
  if (!HasWindow()) return 0;
  Update();
  if (m_ackCount == GetObjectQty()) {
    if (CWnd* parent = GetParent()) parent->PostMessage(gocont_msgAllAcknowledged, 0, 0);
  }
  return 0;
}

LRESULT CGOContainer::OnRulerChanged(WPARAM wParam, LPARAM lParam) {
  if (m_xRuler == nullptr || m_yRuler == nullptr || !HasWindow()) return 0;
  {
    Guard lock(m_lock);
    const std::vector<CGODynamic*> dynamics(m_dynamic);
    const std::vector<CGObject*> statics(m_static);
    auto forEach = [&](auto&& fn) {
      if (m_background != nullptr) fn(m_background);
      if (m_tracking != nullptr) fn(m_tracking);
      for (CGODynamic* o : dynamics) fn(o);
      for (CGObject* o : statics) fn(o);
    };
    forEach([&](CGObject* o) { o->OnEvent(event_rulerChanged, wParam, lParam); });
    ::Sleep(0);
    forEach([&](CGObject* o) { AcknowledgeIfModified(o); });

    // Through the base: RulerChanged is the views' protected override, open to the container.
    if (m_vertiView != nullptr) {
      static_cast<CGRuler*>(m_vertiView)
          ->RulerChanged(m_yRuler->GetStart(), m_yRuler->GetRange(), m_yRuler->GetDisplayOffset());
    }
    if (m_horizView != nullptr) {
      static_cast<CGRuler*>(m_horizView)
          ->RulerChanged(m_xRuler->GetStart(), m_xRuler->GetRange(), m_xRuler->GetDisplayOffset());
    }
    Redraw();
  }
  return 0;
}

// ---- Mouse input ----

void CGOContainer::SelectCursor(HICON cursor) { ::SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

void CGOContainer::SendModifierEnd() {
  if (!m_frameNotified) return;
  m_frameNotified = 0;
  if (CWnd* frame = GetParentFrame()) frame->SendMessage(gocont_msgModifierNotice, 0, 0);
}

void CGOContainer::AbandonDrag() {
  if (m_buttonPressed || m_captured != nullptr) {
    ::ReleaseCapture();
    ::ClipCursor(nullptr);
  }
  m_buttonPressed = 0;
  m_captured = nullptr;
  SendModifierEnd();
}

void CGOContainer::BeginCaptureOf(CGODynamic* obj, CPoint pt) {
  SetCapture();
  SelectCursor(obj->GetCursor(&pt));
  CRect r;
  GetClientRect(&r);
  ClientToScreen(&r);
  ::ClipCursor(&r);
}

void CGOContainer::OnLButtonDown(UINT flags, CPoint pt) {
  m_buttonDown = pt;
  WPARAM notice = 0;
  if ((flags & MK_SHIFT) && (flags & MK_CONTROL)) {
    notice = gocont_noticeShiftControl;
  } else if (flags & MK_SHIFT) {
    notice = gocont_noticeShift;
  } else if (flags & MK_CONTROL) {
    notice = gocont_noticeControl;
  }
  if (notice != 0) {
    if (CWnd* frame = GetParentFrame()) frame->SendMessage(gocont_msgModifierNotice, notice, 0);
    m_frameNotified = 1;
  }

  Guard lock(m_lock);
  if ((m_captured == nullptr || !m_buttonPressed) && m_dynamicPick) {
    CPoint p = pt;
    CGODynamic* c = GetObjectOnTop(&p);
    if (c != nullptr && !c->OnBeginCapture(&p, MK_LBUTTON)) c = nullptr;
    m_captured = c;
    if (c != nullptr) {
      MoveToTop(c);
      BeginCaptureOf(c, pt);
    }
    m_buttonPressed = 1;
  }
}

void CGOContainer::OnMouseMove(UINT flags, CPoint pt) {
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 1};
  ::_TrackMouseEvent(&tme);

  Guard lock(m_lock);
  m_lastPoint = pt;
  bool moved = false;
  if (m_tracking != nullptr && m_buttonPressed) {
    const CSize s = m_tracking->GetPickPrecision(flags);
    moved = Beyond(pt.x, m_buttonDown.x, s.cx) || Beyond(pt.y, m_buttonDown.y, s.cy);
  }
  if (!m_buttonPressed) return;

  if (m_captured == nullptr) {
    CPoint down = m_buttonDown;
    if (moved && m_tracking != nullptr && m_tracking->OnBeginCapture(&down, flags)) {
      m_captured = m_tracking;
    }
    if (m_captured != nullptr) BeginCaptureOf(m_captured, pt);
    return;
  }
  CPoint p = pt;
  if (m_captured->OnUpdateCapture(&p, flags)) {
    Update();
    // The object may have been removed meanwhile; then the drag is over.
    if (m_captured != nullptr) {
      CPoint last = m_lastPoint;
      SelectCursor(m_captured->GetCursor(&last));
    }
  } else {
    AbandonDrag();
    Update();
  }
}

void CGOContainer::OnLButtonUp(UINT flags, CPoint pt) {
  Guard lock(m_lock);
  if (m_buttonPressed) {
    ::ReleaseCapture();
    ::ClipCursor(nullptr);
    if (CGODynamic* c = m_captured) {
      CPoint p = pt;
      c->OnEndCapture(&p, flags);
      m_captured = nullptr;
    }
    m_buttonPressed = 0;
    Update();
  }
  SendModifierEnd();
}

void CGOContainer::OnRButtonUp(UINT flags, CPoint pt) { OnLButtonUp(flags, pt); }

void CGOContainer::OnRButtonDown(UINT flags, CPoint pt) {
  if (flags == MK_RBUTTON) {
    CWnd* owner = GetOwner();
    if (owner == nullptr) owner = GetParent();
    if (owner != nullptr) {
      owner->SendMessage(WM_RBUTTONDOWN, 2,
                         MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
    }
  }

  Guard lock(m_lock);
  if (!((m_captured == nullptr || !m_buttonPressed) && m_dynamicPick)) return;
  CPoint p = pt;
  CGODynamic* c = GetObjectOnTop(&p);
  if (c != nullptr && (p = pt, c->OnBeginCapture(&p, flags))) {
    m_captured = c;
    MoveToTop(c);
  } else {
    p = pt;
    m_captured = (m_tracking != nullptr && m_tracking->OnBeginCapture(&p, flags)) ? m_tracking
                                                                                   : nullptr;
    if (m_captured == nullptr) return;
  }
  BeginCaptureOf(m_captured, pt);
  m_buttonPressed = 1;
}

void CGOContainer::OnLButtonDblClk(UINT flags, CPoint pt) {
  OnRButtonDown((flags & ~static_cast<UINT>(MK_LBUTTON)) | gobj_flagLeftDoubleClick, pt);
}

void CGOContainer::OnRButtonDblClk(UINT flags, CPoint pt) {
  OnRButtonDown((flags & ~static_cast<UINT>(MK_RBUTTON)) | gobj_flagRightDoubleClick, pt);
}

// ---- Pointer shape and hover focus ----

BOOL CGOContainer::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  Guard lock(m_lock);
  if (hitTest != HTCLIENT) return CWnd::OnSetCursor(wnd, hitTest, message);
  BOOL result = FALSE;
  CPoint l = m_lastPoint;
  for (CGODynamic* o : std::vector<CGODynamic*>(m_dynamic)) {
    if (o->IsCaptureEnabled() && o->IsOnTop(&l)) {
      SelectCursor(o->GetCursor(&l));
      return TRUE;
    }
    if (!o->IsFocusingEnabled()) continue;
    const int on = o->IsOnTop(&l);
    if (!m_itemFocused && on && o->IsVisible()) {
      m_itemFocused = 1;
      o->SetFocusedStateModified(1);
      NotifyObjectFocused(1);
      return result;
    }
    if ((o->IsFocused() || o->IsFocusedStateModified()) && (!on || !o->IsVisible()) &&
        o->GetObjectState() != eObjectStateKeepFocus) {
      m_itemFocused = 0;
      o->SetFocusedStateModified(1);
      NotifyObjectFocused(0);
    }
    result = TRUE;
  }
  if (m_tracking != nullptr && m_tracking->IsCaptureEnabled() && m_tracking->IsOnTop(&l)) {
    SelectCursor(m_tracking->GetCursor(&l));
    return TRUE;
  }
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

LRESULT CGOContainer::OnMouseLeave(WPARAM, LPARAM) {
  // The lists are read under the lock; the consumers are told after it is released.
  bool leave = false;
  {
    Guard lock(m_lock);
    for (CGODynamic* o : m_dynamic) {
      if (o->IsFocusingEnabled() && (o->IsFocused() || o->IsFocusedStateModified()) &&
          o->GetObjectState() != eObjectStateKeepFocus) {
        m_itemFocused = 0;
        o->SetFocusedStateModified(1);
        leave = true;
        break;
      }
    }
  }
  if (leave) NotifyObjectFocused(0);
  return 0;
}

void CGOContainer::RegisterToFocusNotification(IObjectFocusedConsumer* consumer) {
  if (consumer == nullptr) return;
  Guard lock(m_lock);
  m_focusConsumers.push_back(consumer);
}

void CGOContainer::UnregisterToFocusNotification(IObjectFocusedConsumer* consumer) {
  Guard lock(m_lock);
  auto it = std::find(m_focusConsumers.begin(), m_focusConsumers.end(), consumer);
  if (it != m_focusConsumers.end()) m_focusConsumers.erase(it);
}

void CGOContainer::NotifyObjectFocused(int focused) {
  std::vector<IObjectFocusedConsumer*> consumers;
  {
    Guard lock(m_lock);
    consumers = m_focusConsumers;
  }
  for (IObjectFocusedConsumer* c : consumers) c->OnObjectFocused(focused);
}
