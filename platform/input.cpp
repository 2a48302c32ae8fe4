// Input: the widget behind each window, the translation of Qt mouse and keyboard events into
// window messages, capture, pointer shapes and clipping, mouse-leave tracking, focus and the
// keyboard state.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <algorithm>

#include "platform/detail/device_pixels.h"
#include "platform/detail/window_registry.h"
#include "platform/detail/window_widget.h"
#include "platform/numeric.h"
#include "platform/window.h"

namespace quarlen::detail {
namespace {

// What the layer remembers about the mouse and keyboard (GUI thread only).
struct InputState {
  HWND capture = nullptr;
  HWND hover = nullptr;  // window the pointer is over (the captor while captured)
  HWND focus = nullptr;
  bool clipActive = false;
  QRect clip;
  HCURSOR cursor = nullptr;
  Qt::KeyboardModifiers modifiers;
  Qt::MouseButtons buttons;
  bool havePointer = false;
  QPoint pointer;  // last reported screen position
  // Double-click detection: the last press.
  bool havePress = false;
  HWND pressWnd = nullptr;
  Qt::MouseButton pressButton = Qt::NoButton;
  quint64 pressTime = 0;
  QPoint pressPos;
  bool pressWasDouble = false;
  UINT doubleClickTime = 500;
};
InputState& input() {
  static InputState s;
  return s;
}

struct CursorEntry {
  WORD id;
  Qt::CursorShape shape;
};
const CursorEntry kCursors[] = {
    {32512, Qt::ArrowCursor},     {32513, Qt::IBeamCursor},     {32514, Qt::WaitCursor},
    {32515, Qt::CrossCursor},     {32516, Qt::UpArrowCursor},   {32642, Qt::SizeFDiagCursor},
    {32643, Qt::SizeBDiagCursor}, {32644, Qt::SizeHorCursor},   {32645, Qt::SizeVerCursor},
    {32646, Qt::SizeAllCursor},   {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor},
    {32650, Qt::BusyCursor},      {32651, Qt::WhatsThisCursor},
};

Qt::CursorShape ShapeOf(HCURSOR c) {
  for (const CursorEntry& e : kCursors)
    if (reinterpret_cast<HCURSOR>(const_cast<CursorEntry*>(&e)) == c) return e.shape;
  return Qt::BlankCursor;
}

bool Offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

QWidget* WidgetOf(HWND h) {
  auto rec = FindWindowRecord(h);
  return rec ? rec->widget.data() : nullptr;
}

void ApplyCursor() {
  InputState& s = input();
  QWidget* w = WidgetOf(s.capture ? s.capture : s.hover);
  if (!w) return;
  const Qt::CursorShape shape = s.cursor ? ShapeOf(s.cursor) : Qt::BlankCursor;
  // Pointer shapes are set on every mouse move; Qt redoes its cursor work even when nothing
  // changes, so an unchanged shape is left alone.
  if (w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == shape) return;
  w->setCursor(QCursor(shape));
}

// The deepest layer window under a screen point (device pixels), looked up in the top-level
// window of `from`.
HWND WindowAt(QWidget* from, QPoint global) {
  QWidget* top = from->window();
  const QPoint p = LogicalPixel(ScreenToClientDevice(top, global), DeviceRatio(top));
  if (!top->rect().contains(p)) return nullptr;
  QWidget* w = top->childAt(p);
  if (!w) w = top;
  for (; w; w = w->parentWidget()) {
    if (auto* ww = dynamic_cast<WindowWidget*>(w); ww && ww->handle()) return ww->handle();
  }
  return nullptr;
}

void SetHover(HWND h) {
  InputState& s = input();
  if (s.hover == h) return;
  HWND old = s.hover;
  s.hover = h;
  if (auto rec = FindWindowRecord(old); rec && rec->trackLeave) {
    rec->trackLeave = false;
    PostMessageW(old, WM_MOUSELEAVE, 0, 0);
  }
}

WPARAM KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  WPARAM mk = 0;
  if (buttons & Qt::LeftButton) mk |= MK_LBUTTON;
  if (buttons & Qt::RightButton) mk |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) mk |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) mk |= MK_SHIFT;
  if (mods & Qt::ControlModifier) mk |= MK_CONTROL;
  return mk;
}

LPARAM PointParam(QPoint p) {
  return MAKELPARAM(static_cast<WORD>(ClampMessageCoord(p.x())),
                    static_cast<WORD>(ClampMessageCoord(p.y())));
}

// First message of a button (DOWN); UP is +1 and DBLCLK +2.
UINT ButtonBase(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return WM_LBUTTONDOWN;
    case Qt::RightButton:
      return WM_RBUTTONDOWN;
    case Qt::MiddleButton:
      return WM_MBUTTONDOWN;
    default:
      return 0;
  }
}

void SendSetCursor(HWND target, UINT trigger) {
  DispatchToWindow(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                   MAKELPARAM(static_cast<WORD>(HTCLIENT), static_cast<WORD>(trigger)));
}

int VirtualKeyOf(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Tab:
      return VK_TAB;
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Down:
      return VK_DOWN;
    default:
      return 0;
  }
}

}  // namespace

void TranslateMouseEvent(QWidget* widget, QMouseEvent* e) {
  InputState& s = input();
  // Screen positions are device pixels, as client positions are.
  const qreal ratio = DeviceRatio(widget);
  QPoint global = DevicePoint(e->globalPosition(), ratio);
  if (s.clipActive && !s.clip.isEmpty()) {
    const QPoint clamped(std::clamp(global.x(), s.clip.left(), s.clip.right()),
                         std::clamp(global.y(), s.clip.top(), s.clip.bottom()));
    if (clamped != global && !Offscreen()) QCursor::setPos(LogicalPointF(clamped, ratio).toPoint());
    global = clamped;
  }
  s.pointer = global;
  s.havePointer = true;
  s.modifiers = e->modifiers();
  s.buttons = e->buttons();

  if (s.capture && !FindWindowRecord(s.capture)) s.capture = nullptr;
  const HWND under = WindowAt(widget, global);
  const HWND target = s.capture ? s.capture : under;
  SetHover(target);
  auto rec = FindWindowRecord(target);
  if (!rec || !rec->widget) return;
  if (!s.capture && (rec->style.load() & WS_DISABLED)) return;
  const LPARAM lp = PointParam(ScreenToClientDevice(rec->widget, global));
  const WPARAM mk = KeyFlags(e->buttons(), e->modifiers());

  switch (e->type()) {
    case QEvent::MouseMove:
      if (!s.capture) SendSetCursor(target, WM_MOUSEMOVE);
      DispatchToWindow(target, WM_MOUSEMOVE, mk, lp);
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const UINT base = ButtonBase(e->button());
      if (!base) return;
      // Qt may deliver a double-click event right after the press it belongs to; the press
      // was already handled.
      if (e->type() == QEvent::MouseButtonDblClick && s.havePress && s.pressWnd == target &&
          s.pressButton == e->button() && s.pressTime == e->timestamp() && s.pressPos == global)
        return;
      // The double-click zone is 2 pixels each way at 96 DPI.
      const QPoint d = LogicalPoint(global - s.pressPos, ratio);
      const bool dbl = (rec->classStyle & CS_DBLCLKS) && s.havePress && s.pressWnd == target &&
                       s.pressButton == e->button() && !s.pressWasDouble &&
                       e->timestamp() >= s.pressTime &&
                       e->timestamp() - s.pressTime <= s.doubleClickTime && std::abs(d.x()) <= 2 &&
                       std::abs(d.y()) <= 2;
      s.havePress = true;
      s.pressWnd = target;
      s.pressButton = e->button();
      s.pressTime = e->timestamp();
      s.pressPos = global;
      s.pressWasDouble = dbl;
      if (!s.capture) SendSetCursor(target, base);
      if (FindWindowRecord(target)) DispatchToWindow(target, dbl ? base + 2 : base, mk, lp);
      break;
    }
    case QEvent::MouseButtonRelease: {
      const UINT base = ButtonBase(e->button());
      if (base) DispatchToWindow(target, base + 1, mk, lp);
      break;
    }
    default:
      break;
  }
}

void PointerLeft(HWND hWnd) {
  InputState& s = input();
  if (!s.capture && s.hover == hWnd) SetHover(nullptr);
}

namespace {

// Enter and Escape in a dialog become its OK and Cancel commands, as the dialog manager does.
bool DialogKey(HWND hWnd, QKeyEvent* e) {
  const int key = e->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
  auto rec = FindWindowRecord(hWnd);
  while (rec && (rec->style.load() & WS_CHILD) && rec->parent) rec = FindWindowRecord(rec->parent);
  if (!rec || !rec->dialogKeys) return false;
  const int id = key == Qt::Key_Escape ? IDCANCEL : IDOK;
  for (HWND child : ChildWindows(rec->handle)) {
    auto c = FindWindowRecord(child);
    if (c && c->id == id && (c->style.load() & WS_DISABLED)) {
      MessageBeep(0);
      return true;
    }
  }
  DispatchToWindow(rec->handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
  return true;
}

}  // namespace

void TranslateKey(HWND hWnd, QKeyEvent* e, bool down) {
  InputState& s = input();
  s.modifiers = e->modifiers();
  if (down && DialogKey(hWnd, e)) return;
  const int vk = VirtualKeyOf(e->key());
  if (!vk) return;
  HWND target = s.focus && FindWindowRecord(s.focus) ? s.focus : hWnd;
  DispatchToWindow(target, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk),
                   e->isAutoRepeat() ? 0x40000001 : 1);
}

void FocusChanged(HWND hWnd, bool in) {
  InputState& s = input();
  if (in && s.focus != hWnd) {
    SetFocus(hWnd);
  } else if (!in && s.focus == hWnd && !HandleOfWidget(QApplication::focusWidget())) {
    s.focus = nullptr;
    DispatchToWindow(hWnd, WM_KILLFOCUS, 0, 0);
  }
}

void ForgetInputState(HWND hWnd) {
  InputState& s = input();
  if (s.hover == hWnd) s.hover = nullptr;
  if (s.focus == hWnd) s.focus = nullptr;
  if (s.pressWnd == hWnd) s.havePress = false;
}

void ClientResized(HWND hWnd, QSize size) {
  auto rec = FindWindowRecord(hWnd);
  if (!rec) return;
  const qreal ratio = DeviceRatio(rec->widget);
  if (rec->surface && rec->surface->dpi.exchange(DpiOfRatio(ratio)) != DpiOfRatio(ratio)) {
    // Another screen: what was drawn for the old resolution is drawn again.
    InvalidateRegion(hWnd, nullptr, true);
  }
  {
    std::lock_guard lock(rec->mutex);
    size = DeviceSizeFor(size, rec->clientSize, ratio);
    if (rec->clientSize == size) return;
  }
  ResizeSurface(*rec, size);
  DispatchToWindow(hWnd, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
}

// ---- The widget ---------------------------------------------------------------------------

WindowWidget::WindowWidget(HWND handle, QWidget* parent, bool topLevel)
    : QWidget(parent, topLevel ? Qt::Window : Qt::Widget), m_handle(handle) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

WindowWidget::~WindowWidget() {
  if (m_handle) DestroyWindowFromWidget(m_handle);
}

void WindowWidget::paintEvent(QPaintEvent* event) {
  auto rec = FindWindowRecord(m_handle);
  if (!rec || !rec->surface) return;
  bool needContent = false;
  {
    std::lock_guard lock(rec->mutex);
    needContent = !rec->hasContent && rec->update.isEmpty();
  }
  {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    std::lock_guard lock(rec->surface->lock);
    const qreal ratio = devicePixelRatio();
    // Mid-composition (on another thread) the composed area keeps its previous picture; it is
    // flushed again when the composition ends.
    const QRegion shown = rec->surface->composing > 0
                              ? event->region() - LogicalCover(rec->surface->composed, ratio)
                              : event->region();
    for (const QRect& r : shown) {
      p.setClipRect(r);
      DrawSurfacePart(p, rec->surface->image, r, ratio);
    }
  }
  // Exposed before anything was painted: ask the window to paint.
  if (needContent) InvalidateRegion(m_handle, nullptr, true);
}

void WindowWidget::resizeEvent(QResizeEvent*) {
  if (m_handle) ClientResized(m_handle, size());
}
bool WindowWidget::event(QEvent* e) {
  // Moved to a screen of another device-pixel ratio: the same logical size is another device
  // size.
  if (e->type() == QEvent::ScreenChangeInternal && m_handle) ClientResized(m_handle, size());
  return QWidget::event(e);
}
void WindowWidget::mousePressEvent(QMouseEvent* e) {
  if (m_handle) TranslateMouseEvent(this, e);
}
void WindowWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (m_handle) TranslateMouseEvent(this, e);
}
void WindowWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (m_handle) TranslateMouseEvent(this, e);
}
void WindowWidget::mouseMoveEvent(QMouseEvent* e) {
  if (m_handle) TranslateMouseEvent(this, e);
}
void WindowWidget::wheelEvent(QWheelEvent* e) {
  if (!m_handle) return;
  InputState& s = input();
  s.modifiers = e->modifiers();
  const WPARAM mk = KeyFlags(e->buttons(), e->modifiers());
  const int delta = SaturatingCast<std::int16_t>(e->angleDelta().y());
  const QPoint g = DevicePoint(e->globalPosition(), devicePixelRatio());
  DispatchToWindow(m_handle, WM_MOUSEWHEEL,
                   MAKEWPARAM(static_cast<WORD>(mk), static_cast<WORD>(delta)), PointParam(g));
}
void WindowWidget::leaveEvent(QEvent*) {
  if (m_handle) PointerLeft(m_handle);
}
void WindowWidget::keyPressEvent(QKeyEvent* e) {
  if (m_handle) TranslateKey(m_handle, e, true);
}
void WindowWidget::keyReleaseEvent(QKeyEvent* e) {
  if (m_handle) TranslateKey(m_handle, e, false);
}
void WindowWidget::focusInEvent(QFocusEvent*) {
  if (m_handle) FocusChanged(m_handle, true);
}
void WindowWidget::focusOutEvent(QFocusEvent*) {
  if (m_handle) FocusChanged(m_handle, false);
}
void WindowWidget::closeEvent(QCloseEvent* e) {
  e->ignore();  // WM_CLOSE decides (its default destroys the window)
  if (m_handle) DispatchToWindow(m_handle, WM_CLOSE, 0, 0);
}

}  // namespace quarlen::detail

using namespace quarlen::detail;
using quarlen::ClampMessageCoord;
using quarlen::SaturatingCast;

// ---- Capture ----------------------------------------------------------------------------------

HWND SetCapture(HWND hWnd) {
  InputState& s = input();
  auto rec = FindWindowRecord(hWnd);
  if (!OnGuiThread()) return nullptr;
  HWND old = FindWindowRecord(s.capture) ? s.capture : nullptr;
  if (!rec) return old;
  if (old == hWnd) return old;
  if (QWidget* w = WidgetOf(old)) w->releaseMouse();
  s.capture = hWnd;
  if (rec->widget && rec->widget->isVisible() && !Offscreen()) rec->widget->grabMouse();
  if (old) DispatchToWindow(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return old;
}

BOOL ReleaseCapture() {
  InputState& s = input();
  if (!OnGuiThread()) return FALSE;
  HWND old = s.capture;
  s.capture = nullptr;
  if (!FindWindowRecord(old)) return TRUE;
  if (QWidget* w = WidgetOf(old)) w->releaseMouse();
  DispatchToWindow(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  if (!OnGuiThread()) return nullptr;
  HWND h = input().capture;
  return FindWindowRecord(h) ? h : nullptr;
}

// ---- Pointer ----------------------------------------------------------------------------------

BOOL ClipCursor(const RECT* rect) {
  if (!OnGuiThread()) return FALSE;
  InputState& s = input();
  if (!rect) {
    s.clipActive = false;
    return TRUE;
  }
  const LONG l = rect->left, t = rect->top;
  const LONG r = std::max(rect->right, l + 1), b = std::max(rect->bottom, t + 1);
  s.clip = QRect(QPoint(l, t), QPoint(r - 1, b - 1));
  s.clipActive = true;
  if (!Offscreen()) {
    const qreal ratio = DeviceRatio(nullptr);
    const QPoint p = DevicePoint(QPointF(QCursor::pos()), ratio);
    const QPoint c(std::clamp(p.x(), s.clip.left(), s.clip.right()),
                   std::clamp(p.y(), s.clip.top(), s.clip.bottom()));
    if (c != p) QCursor::setPos(LogicalPointF(c, ratio).toPoint());
  }
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (!rect || !OnGuiThread()) return FALSE;
  const InputState& s = input();
  if (!s.clipActive) return FALSE;
  *rect = RECT{s.clip.left(), s.clip.top(), s.clip.right() + 1, s.clip.bottom() + 1};
  return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (instance) return nullptr;  // the application's own cursors are not supported
  const auto id = reinterpret_cast<std::uintptr_t>(name);
  for (const CursorEntry& e : kCursors)
    if (e.id == id) return reinterpret_cast<HCURSOR>(const_cast<CursorEntry*>(&e));
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  InputState& s = input();
  if (!OnGuiThread()) return s.cursor;
  HCURSOR old = s.cursor;
  s.cursor = cursor;
  ApplyCursor();
  return old;
}

HCURSOR GetCursor() { return OnGuiThread() ? input().cursor : nullptr; }

BOOL GetCursorPos(LPPOINT point) {
  if (!point || !OnGuiThread()) return FALSE;
  const InputState& s = input();
  const QPoint p = (s.havePointer || Offscreen())
                       ? s.pointer
                       : DevicePoint(QPointF(QCursor::pos()), DeviceRatio(nullptr));
  *point = POINT{p.x(), p.y()};
  return TRUE;
}

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT track) {
  if (!track || !OnGuiThread()) return FALSE;
  auto rec = FindWindowRecord(track->hwndTrack);
  if (!rec) return FALSE;
  if (!(track->dwFlags & TME_LEAVE)) return TRUE;
  if (track->dwFlags & TME_CANCEL) {
    rec->trackLeave = false;
  } else if (input().hover == track->hwndTrack) {
    rec->trackLeave = true;
  } else {
    // Not over the window: the leave has already happened.
    PostMessageW(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
  }
  return TRUE;
}
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track) { return _TrackMouseEvent(track); }

BOOL SetDoubleClickTime(UINT ms) {
  if (!OnGuiThread()) return FALSE;
  const UINT t = ms == 0 ? 500 : std::min<UINT>(ms, 5000);
  input().doubleClickTime = t;
  QGuiApplication::styleHints()->setMouseDoubleClickInterval(static_cast<int>(t));
  return TRUE;
}
UINT GetDoubleClickTime() { return input().doubleClickTime; }

BOOL SetForegroundWindow(HWND hWnd) {
  QWidget* w = OnGuiThread() ? WidgetOf(hWnd) : nullptr;
  if (!w) return FALSE;
  w->window()->raise();
  w->window()->activateWindow();
  return TRUE;
}

HWND GetFocus() {
  if (!OnGuiThread()) return nullptr;
  HWND h = input().focus;
  return FindWindowRecord(h) ? h : nullptr;
}

HWND SetFocus(HWND hWnd) {
  if (!OnGuiThread()) return nullptr;
  InputState& s = input();
  HWND old = FindWindowRecord(s.focus) ? s.focus : nullptr;
  if (!FindWindowRecord(hWnd) || old == hWnd) return old;
  s.focus = hWnd;
  if (old) DispatchToWindow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  DispatchToWindow(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  if (QWidget* w = WidgetOf(hWnd)) w->setFocus(Qt::OtherFocusReason);
  return old;
}

BOOL MessageBeep(UINT) {
  if (OnGuiThread()) QApplication::beep();
  return TRUE;
}

SHORT GetKeyState(int virtualKey) {
  if (!OnGuiThread()) return 0;
  const InputState& s = input();
  const Qt::KeyboardModifiers mods = s.modifiers;
  bool down = false;
  switch (virtualKey) {
    case VK_SHIFT:
      down = mods & Qt::ShiftModifier;
      break;
    case VK_CONTROL:
      down = mods & Qt::ControlModifier;
      break;
    case VK_MENU:
      down = mods & Qt::AltModifier;
      break;
    case VK_LBUTTON:
      down = s.buttons & Qt::LeftButton;
      break;
    case VK_RBUTTON:
      down = s.buttons & Qt::RightButton;
      break;
    case VK_MBUTTON:
      down = s.buttons & Qt::MiddleButton;
      break;
    default:
      break;
  }
  return down ? static_cast<SHORT>(0x8000) : 0;
}
