// CWnd: window creation over Qt widgets, geometry, style and text, the message map walk, the
// default window procedure, destruction, and the handle-based window management calls.
#include "platform/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <algorithm>

#include "platform/detail/device_pixels.h"
#include "platform/detail/window_registry.h"
#include "platform/detail/window_widget.h"
#include "platform/dialog.h"
#include "platform/numeric.h"

namespace quarlen::detail {

namespace {

// Places a widget at a device rectangle of its parent's client area.
void PlaceWidget(QWidget* widget, int x, int y, int w, int h) {
  const qreal ratio = DeviceRatio(widget);
  widget->setGeometry(QRect(LogicalPoint(QPoint(x, y), ratio), LogicalSize(QSize(w, h), ratio)));
}

// Window sizes are limited so that a surface never needs more than 8192 x 8192 pixels.
int ClampExtent(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 8192)); }

void DestroyImpl(HWND hWnd, bool fromWidgetDestructor) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || rec->destroying) return;
  rec->destroying = true;
  // The application's main window going away ends the application's message loop.
  const bool mainWindow = MainWindowHandle() == hWnd;
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  ForgetInputState(hWnd);
  if (rec->widget && !rec->hostWidget && !fromWidgetDestructor) rec->widget->hide();
  DispatchToWindow(hWnd, WM_DESTROY, 0, 0);
  for (HWND owned : OwnedWindows(hWnd)) DestroyImpl(owned, false);
  for (HWND child : ChildWindows(hWnd)) DestroyImpl(child, fromWidgetDestructor);
  DispatchToWindow(hWnd, WM_NCDESTROY, 0, 0);
  UnregisterWindow(hWnd);
  CWnd* wnd = rec->wnd;
  rec->wnd = nullptr;
  if (wnd && wnd->m_hWnd == hWnd) wnd->m_hWnd = nullptr;
  if (QWidget* w = rec->widget) {
    if (rec->hostWidget) {
      w->setProperty("quarlen_hwnd", QVariant());
      if (rec->ownsWidget && !fromWidgetDestructor) w->deleteLater();
    } else {
      static_cast<WindowWidget*>(w)->Orphan();
      // Deleted later: the window may be destroyed from inside one of its own event handlers.
      if (!fromWidgetDestructor) w->deleteLater();
    }
  }
  rec->paintDc.reset();
  if (mainWindow) ::PostQuitMessage(0);
  if (wnd) wnd->PostNcDestroy();
}

}  // namespace

void DestroyWindowFromWidget(HWND hWnd) { DestroyImpl(hWnd, true); }

// ---- Default window procedure --------------------------------------------------------------

LRESULT DefaultWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      ::BeginPaint(hWnd, &ps);
      ::EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
      if (!dc) return 0;
      QSize size;
      {
        std::lock_guard lock(rec->mutex);
        size = rec->clientSize;
      }
      dc->FillSolidRect(0, 0, size.width(), size.height(), rec->background);
      return 1;
    }
    case WM_SETCURSOR: {
      // The parent decides first; then the class cursor (the arrow) is set in the client area.
      HWND parent = (rec->style.load() & WS_CHILD) ? rec->parent : nullptr;
      if (parent && DispatchToWindow(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (static_cast<SHORT>(LOWORD(static_cast<ULONG_PTR>(lParam))) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      return FALSE;
    }
    case WM_SETREDRAW: {
      bool on = wParam != 0;
      bool post = false;
      {
        std::lock_guard lock(rec->mutex);
        rec->redraw = on;
        if (on && !rec->update.isEmpty() && !rec->paintPending) post = rec->paintPending = true;
      }
      if (rec->widget && !rec->hostWidget) rec->widget->setUpdatesEnabled(on);
      if (post) SchedulePaint(*rec);
      return 0;
    }
    case WM_CLOSE:
      ::DestroyWindow(hWnd);
      return 0;
    case WM_CANCELMODE:
      if (::GetCapture() == hWnd) ::ReleaseCapture();
      return 0;
    case WM_MOUSEWHEEL:
      if ((rec->style.load() & WS_CHILD) && rec->parent)
        return DispatchToWindow(rec->parent, msg, wParam, lParam);
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_SETTEXT:
      rec->text = reinterpret_cast<LPCWSTR>(lParam);
      if (rec->widget && !(rec->style.load() & WS_CHILD))
        rec->widget->setWindowTitle(QString::fromWCharArray(rec->text.GetString()));
      return TRUE;
    case WM_GETTEXTLENGTH:
      return rec->text.GetLength();
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(lParam);
      if (!buf || wParam == 0) return 0;
      std::size_t n =
          std::min<std::size_t>(wParam - 1, static_cast<std::size_t>(rec->text.GetLength()));
      std::copy_n(rec->text.GetString(), n, buf);
      buf[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return 0;
  }
}

}  // namespace quarlen::detail

using namespace quarlen::detail;
using quarlen::ClampMessageCoord;

// ---- CWnd ----------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWnd, CObject)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && FindWindowRecord(m_hWnd)) {
    auto rec = FindWindowRecord(m_hWnd);
    if (OnGuiThread()) {
      HWND h = m_hWnd;
      // No PostNcDestroy from here: the object is already going away.
      rec->wnd = nullptr;
      m_hWnd = nullptr;
      ::DestroyWindow(h);
    } else {
      rec->wnd = nullptr;
    }
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  return rec ? rec->wnd : nullptr;
}

BOOL CWnd::Create(LPCWSTR, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
  return CreateWindowImpl(CS_DBLCLKS, windowName, style, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD, LPCWSTR, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param) {
  return CreateWindowImpl(CS_DBLCLKS, windowName, style, rect, parent, id, param);
}

BOOL CWnd::CreateWithClassStyle(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                                CWnd* parent, UINT id) {
  return CreateWindowImpl(classStyle, windowName, style, rect, parent, id, nullptr);
}

BOOL CWnd::CreateWindowImpl(UINT classStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                            CWnd* parent, UINT id, LPVOID param) {
  if (!OnGuiThread() || (m_hWnd && FindWindowRecord(m_hWnd))) return FALSE;
  HWND parentHandle = parent ? parent->m_hWnd : nullptr;
  auto parentRec = FindWindowRecord(parentHandle);
  const bool child = (style & WS_CHILD) != 0;
  if (child && (!parentRec || !parentRec->widget)) return FALSE;
  if (!parentRec) parentHandle = nullptr;

  const int x = ClampMessageCoord(rect.left), y = ClampMessageCoord(rect.top);
  const int w = ClampExtent(std::int64_t{rect.right} - rect.left);
  const int h = ClampExtent(std::int64_t{rect.bottom} - rect.top);

  auto rec = std::make_shared<WindowRecord>();
  rec->style = style;
  rec->classStyle = classStyle;
  rec->id = static_cast<int>(id);
  rec->parent = parentHandle;
  rec->text = windowName ? windowName : L"";
  rec->clientSize = QSize(w, h);
  rec->surface = MakeSurface(w, h, PixelOf(rec->background));
  HWND handle = RegisterWindow(rec);
  std::weak_ptr<WindowRecord> weak = rec;
  rec->surface->onDrawn = [weak](const QRect& r) {
    if (auto live = weak.lock()) ScheduleFlush(*live, QRegion(r));
  };

  QWidget* parentWidget = parentRec ? parentRec->widget.data() : nullptr;
  auto* widget = new WindowWidget(handle, parentWidget, !child);
  rec->surface->dpi = DpiOfRatio(DeviceRatio(widget));
  ScreenDpi();  // refreshes the value other threads read
  PlaceWidget(widget, x, y, w, h);
  if (!child) widget->setWindowTitle(QString::fromWCharArray(rec->text.GetString()));
  if (style & WS_DISABLED) widget->setEnabled(false);
  widget->hide();
  rec->widget = widget;
  rec->wnd = this;
  m_hWnd = handle;

  CREATESTRUCTW cs{param,
                   nullptr,
                   reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)),
                   parentHandle,
                   h,
                   w,
                   y,
                   x,
                   static_cast<LONG>(style),
                   windowName,
                   nullptr,
                   0};
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow();
    return FALSE;
  }
  if (!FindWindowRecord(handle)) return FALSE;  // destroyed while being created
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(w), static_cast<WORD>(h)));
  SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (style & WS_VISIBLE) {
    rec->style &= ~static_cast<DWORD>(WS_VISIBLE);
    ::ShowWindow(handle, SW_SHOW);
  }
  return FindWindowRecord(handle) ? TRUE : FALSE;
}

BOOL CWnd::AttachWidget(QWidget* widget) {
  if (!widget || !OnGuiThread() || m_hWnd || HandleOfWidget(widget)) return FALSE;
  auto rec = std::make_shared<WindowRecord>();
  rec->hostWidget = true;
  rec->widget = widget;
  for (QWidget* p = widget->parentWidget(); p; p = p->parentWidget()) {
    if (HWND ph = HandleOfWidget(p)) {
      rec->parent = ph;
      break;
    }
  }
  DWORD style = widget->isWindow() ? DWORD{0} : DWORD{WS_CHILD};
  if (widget->isVisible()) style |= WS_VISIBLE;
  if (!widget->isEnabled()) style |= WS_DISABLED;
  rec->style = style;
  rec->clientSize = DeviceSizeFor(widget->size(), QSize(), DeviceRatio(widget));
  HWND handle = RegisterWindow(rec);
  widget->setProperty("quarlen_hwnd",
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(handle)));
  QObject::connect(widget, &QObject::destroyed, [handle] { DestroyWindowFromWidget(handle); });
  rec->wnd = this;
  m_hWnd = handle;
  return TRUE;
}

BOOL quarlen::detail::CreateWidgetWindow(CWnd* wnd, QWidget* widget, DWORD style, const RECT& rect,
                                         CWnd* parent, UINT id, LPCWSTR text) {
  auto parentRec = FindWindowRecord(parent ? parent->m_hWnd : nullptr);
  if (!wnd || !widget || !OnGuiThread() || wnd->m_hWnd || !parentRec || !parentRec->widget) {
    delete widget;
    return FALSE;
  }
  auto rec = std::make_shared<WindowRecord>();
  rec->hostWidget = true;
  rec->ownsWidget = true;
  rec->widget = widget;
  rec->parent = parent->m_hWnd;
  rec->id = static_cast<int>(id);
  rec->style = style | WS_CHILD;
  rec->text = text ? text : L"";
  const int w = ClampExtent(std::int64_t{rect.right} - rect.left);
  const int h = ClampExtent(std::int64_t{rect.bottom} - rect.top);
  rec->clientSize = QSize(w, h);
  HWND handle = RegisterWindow(rec);
  widget->setParent(parentRec->widget);
  PlaceWidget(widget, ClampMessageCoord(rect.left), ClampMessageCoord(rect.top), w, h);
  widget->setEnabled(!(style & WS_DISABLED));
  widget->setVisible(style & WS_VISIBLE);
  widget->setProperty("quarlen_hwnd",
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(handle)));
  QObject::connect(widget, &QObject::destroyed, [handle] { DestroyWindowFromWidget(handle); });
  rec->wnd = wnd;
  wnd->m_hWnd = handle;
  if (text) wnd->SetWindowText(text);
  return TRUE;
}

QWidget* CWnd::GetWidget() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->widget.data() : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread() || (m_hWnd && m_hWnd != hWnd)) return FALSE;
  // A window has one object: attaching takes the handle over from the previous one.
  if (rec->wnd && rec->wnd != this) rec->wnd->m_hWnd = nullptr;
  rec->wnd = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (auto rec = FindWindowRecord(h); rec && rec->wnd == this) rec->wnd = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::DestroyWindow() { return ::DestroyWindow(m_hWnd); }
void CWnd::PostNcDestroy() {}
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect)
    ::MoveWindow(m_hWnd, rect->left, rect->top,
                 quarlen::detail::ClampLong(std::int64_t{rect->right} - rect->left),
                 quarlen::detail::ClampLong(std::int64_t{rect->bottom} - rect->top), repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  QWidget* w = rec->widget;
  if (!w) return FALSE;
  if (!(flags & (SWP_NOMOVE | SWP_NOSIZE)) ||
      (flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    const QPoint g = DevicePoint(QPointF(w->pos()), DeviceRatio(w));
    int nx = (flags & SWP_NOMOVE) ? g.x() : x, ny = (flags & SWP_NOMOVE) ? g.y() : y;
    int nw, nh;
    {
      std::lock_guard lock(rec->mutex);
      nw = (flags & SWP_NOSIZE) ? rec->clientSize.width() : cx;
      nh = (flags & SWP_NOSIZE) ? rec->clientSize.height() : cy;
    }
    ::MoveWindow(m_hWnd, nx, ny, nw, nh, !(flags & SWP_NOREDRAW));
  }
  if (!(flags & SWP_NOZORDER)) {
    HWND after = insertAfter ? insertAfter->m_hWnd : nullptr;
    if (insertAfter == nullptr || after == HWND_TOP || after == HWND_TOPMOST)
      w->raise();
    else if (after == HWND_BOTTOM)
      w->lower();
    else if (auto other = FindWindowRecord(after); other && other->widget)
      w->stackUnder(other->widget);
  }
  if (flags & SWP_SHOWWINDOW) ::ShowWindow(m_hWnd, SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ::ShowWindow(m_hWnd, SW_HIDE);
  return TRUE;
}

BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  ::GetClientRect(m_hWnd, rect);
  ClientToScreen(rect);
}
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
  if (!rect) return;
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
  if (!rect) return;
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const {
  if (m_owner && FindWindowRecord(m_owner)) return FromHandle(m_owner);
  return GetParent();
}
void CWnd::SetOwner(CWnd* owner) { m_owner = owner ? owner->m_hWnd : nullptr; }

CFrameWnd* CWnd::GetParentFrame() const {
  auto rec = FindWindowRecord(m_hWnd);
  for (HWND h = rec ? rec->parent : nullptr; h;) {
    auto r = FindWindowRecord(h);
    if (!r) break;
    if (r->wnd && r->wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      return static_cast<CFrameWnd*>(r->wnd);
    h = r->parent;
  }
  return nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
  auto rec = FindWindowRecord(m_hWnd);
  HWND top = m_hWnd;
  while (rec && (rec->style.load() & WS_CHILD) && rec->parent) {
    top = rec->parent;
    rec = FindWindowRecord(top);
  }
  return FromHandle(top);
}

int CWnd::GetDlgCtrlID() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->id : 0;
}
int CWnd::SetDlgCtrlID(int id) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec) return 0;
  int old = rec->id;
  rec->id = id;
  return old;
}
CWnd* CWnd::GetDlgItem(int id) const {
  for (HWND h : ChildWindows(m_hWnd)) {
    auto rec = FindWindowRecord(h);
    if (rec && rec->id == id) return rec->wnd;
  }
  return nullptr;
}

void CWnd::SetWindowText(LPCWSTR text) {
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}
void CWnd::GetWindowText(CString& text) const {
  auto* self = const_cast<CWnd*>(this);
  LRESULT n = self->SendMessage(WM_GETTEXTLENGTH);
  std::wstring buf(static_cast<std::size_t>(std::max<LRESULT>(n, 0)) + 1, L'\0');
  LRESULT got = self->SendMessage(WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, n)));
  text = CString(buf);
}
int CWnd::GetWindowTextLength() const {
  return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXTLENGTH));
}
DWORD CWnd::GetStyle() const {
  auto rec = FindWindowRecord(m_hWnd);
  return rec ? rec->style.load() : 0;
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  auto rec = FindWindowRecord(m_hWnd);
  if (!rec) return FALSE;
  DWORD old = rec->style.load();
  DWORD now = (old & ~remove) | add;
  rec->style = now;
  return old != now;
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}
BOOL CWnd::SendNotifyMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendNotifyMessageW(m_hWnd, msg, wParam, lParam);
}

void CWnd::SetBackgroundColor(COLORREF color) {
  if (auto rec = FindWindowRecord(m_hWnd)) rec->background = color;
}

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(msg, wParam, lParam, &result)) result = DefWindowProc(msg, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT dummy = 0;
  if (!result) result = &dummy;
  if (msg == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 1;
      return TRUE;
    }
    return FALSE;
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage == msg && e->pfn && e->pfn(this, wParam, lParam, result)) return TRUE;
    }
  }
  if (msg == WM_DRAWITEM) {
    // Reflect an owner-draw request to the control it is for.
    auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (CWnd* control = item ? FromHandle(item->hwndItem) : nullptr) {
      if (control->OnChildNotify(msg, wParam, lParam, result)) return TRUE;
    }
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  const UINT id = LOWORD(wParam), code = HIWORD(wParam);
  LRESULT r = 0;
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage == WM_COMMAND && e->nCode == code && id >= e->nID && id <= e->nLastID &&
          e->pfn && e->pfn(this, wParam, 0, &r)) {
        return TRUE;
      }
    }
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultWindowProc(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  if (!CurrentMessageOf(this, &msg, &wParam, &lParam)) return 0;
  return DefWindowProc(msg, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT item) {
  LRESULT r = 0;
  if (CWnd* control = item ? FromHandle(item->hwndItem) : nullptr)
    if (control->OnChildNotify(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(item), &r)) return;
  Default();
}

// ---- Handle-based window management ----------------------------------------------------------

BOOL DestroyWindow(HWND hWnd) {
  if (!FindWindowRecord(hWnd) || !OnGuiThread()) return FALSE;
  quarlen::detail::DestroyImpl(hWnd, false);
  return TRUE;
}

HWND GetParent(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return nullptr;
  DWORD style = rec->style.load();
  if ((style & WS_CHILD) || (style & WS_POPUP))
    return FindWindowRecord(rec->parent) ? rec->parent : nullptr;
  return nullptr;
}

BOOL IsWindowVisible(HWND hWnd) {
  for (auto rec = FindWindowRecord(hWnd); rec;) {
    if (!(rec->style.load() & WS_VISIBLE)) return FALSE;
    {
      std::lock_guard lock(rec->mutex);
      if (!rec->redraw) return FALSE;
    }
    if (!(rec->style.load() & WS_CHILD)) return TRUE;
    rec = FindWindowRecord(rec->parent);
  }
  return FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL enable) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  const bool wasDisabled = rec->style.load() & WS_DISABLED;
  if (!enable) DispatchToWindow(hWnd, WM_CANCELMODE, 0, 0);
  if (wasDisabled == !enable) return wasDisabled;
  if (enable)
    rec->style &= ~static_cast<DWORD>(WS_DISABLED);
  else
    rec->style |= WS_DISABLED;
  if (rec->widget) rec->widget->setEnabled(enable != 0);
  DispatchToWindow(hWnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  auto rec = FindWindowRecord(hWnd);
  return rec && !(rec->style.load() & WS_DISABLED);
}

BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread() || !rec->widget) return FALSE;
  x = ClampMessageCoord(x);
  y = ClampMessageCoord(y);
  const QSize size(ClampExtent(width), ClampExtent(height));
  QSize old;
  {
    std::lock_guard lock(rec->mutex);
    old = rec->clientSize;
  }
  const qreal ratio = DeviceRatio(rec->widget);
  const bool moved = rec->widget->pos() != LogicalPoint(QPoint(x, y), ratio);
  const bool sized = old != size;
  if (sized) ResizeSurface(*rec, size);  // before setGeometry: its resize event is then a no-op
  PlaceWidget(rec->widget, x, y, size.width(), size.height());
  if (moved)
    DispatchToWindow(hWnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (sized)
    DispatchToWindow(hWnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
  if (repaint && FindWindowRecord(hWnd)) {
    InvalidateRegion(hWnd, nullptr, true);
    ::UpdateWindow(hWnd);
  }
  return TRUE;
}

BOOL ShowWindow(HWND hWnd, int cmdShow) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !OnGuiThread()) return FALSE;
  const bool was = rec->style.load() & WS_VISIBLE;
  const bool show = cmdShow != SW_HIDE;
  if (was == show) return was;
  if (show)
    rec->style |= WS_VISIBLE;
  else
    rec->style &= ~static_cast<DWORD>(WS_VISIBLE);
  DispatchToWindow(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (rec->widget && !rec->hostWidget) rec->widget->setVisible(show);
  if (show) InvalidateRegion(hWnd, nullptr, true);
  return was;
}

BOOL GetClientRect(HWND hWnd, LPRECT rect) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !rect) return FALSE;
  QSize size;
  if (rec->hostWidget && OnGuiThread() && rec->widget) {
    {
      std::lock_guard lock(rec->mutex);
      size = rec->clientSize;
    }
    size = DeviceSizeFor(rec->widget->size(), size, DeviceRatio(rec->widget));
  } else {
    std::lock_guard lock(rec->mutex);
    size = rec->clientSize;
  }
  *rect = RECT{0, 0, size.width(), size.height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT point) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !point || !OnGuiThread() || !rec->widget) return FALSE;
  const QPoint g = ClientToScreenDevice(rec->widget, QPoint(point->x, point->y));
  *point = POINT{g.x(), g.y()};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT point) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec || !point || !OnGuiThread() || !rec->widget) return FALSE;
  const QPoint c = ScreenToClientDevice(rec->widget, QPoint(point->x, point->y));
  *point = POINT{c.x(), c.y()};
  return TRUE;
}
