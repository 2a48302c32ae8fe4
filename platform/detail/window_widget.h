#pragma once
// The QWidget behind a window made by the layer: it shows the window's surface and turns Qt
// input into window messages; and Qt control widgets made the window of a CWnd. Internal.
#include <QWidget>

#include "platform/geometry.h"
#include "platform/types.h"

class CWnd;

namespace quarlen::detail {

// Makes `widget` the window of `wnd`: a child of `parent` with the given style, rectangle (parent
// client coordinates) and id. The window owns the widget (deleted when the window is
// destroyed). GUI thread only.
BOOL CreateWidgetWindow(CWnd* wnd, QWidget* widget, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, LPCWSTR text);

class WindowWidget : public QWidget {
 public:
  WindowWidget(HWND handle, QWidget* parent, bool topLevel);
  ~WindowWidget() override;
  HWND handle() const { return m_handle; }
  // Forgets the handle (the window was destroyed; the widget is about to be deleted).
  void Orphan() { m_handle = nullptr; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  HWND m_handle;
};

// Called by the widget when Qt resized it (layouts, the user) or moved it to another screen,
// with its logical size: updates the record, the surface (device pixels) and its DPI, and sends
// WM_SIZE when the client size really changed.
void ClientResized(HWND hWnd, QSize size);
// The window under the pointer changed or was left (Leave event): posts WM_MOUSELEAVE to an
// armed window that is no longer hovered.
void PointerLeft(HWND hWnd);
void TranslateKey(HWND hWnd, class QKeyEvent* event, bool down);
void FocusChanged(HWND hWnd, bool in);
// Forgets per-window input state (capture, hover, tracking) of a window being destroyed.
void ForgetInputState(HWND hWnd);

}  // namespace quarlen::detail
