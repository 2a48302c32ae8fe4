#pragma once
// Pieces the benchmarks of the graphic layers share: a full-window background that copies a
// prepared image, as a B-scan view does, and mouse input injected through the platform's
// translation path.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include "graphics/container.h"
#include "graphics/graphic_object.h"
#include "platform/dc.h"
#include "platform/detail/window_registry.h"
#include "platform/gdi.h"
#include "platform/window.h"

namespace quarlen::bench {

// Copies the part of a prepared colour pattern that the clip asks for.
class ImageBackground : public CGObject {
 public:
  void Prepare(CDC* like, int cx, int cy) {
    m_dc.CreateCompatibleDC(like);
    m_bitmap.CreateCompatibleBitmap(like, cx, cy);
    m_dc.SelectObject(&m_bitmap);
    for (int y = 0; y < cy; y += 8) {
      for (int x = 0; x < cx; x += 8) {
        m_dc.FillSolidRect(x, y, 8, 8, RGB((x * 7) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF));
      }
    }
  }
  void OnDraw(CDC* dc, CRect* clip) override {
    dc->BitBlt(clip->left, clip->top, clip->Width(), clip->Height(), &m_dc, clip->left, clip->top,
               SRCCOPY);
  }

 private:
  CDC m_dc;
  CBitmap m_bitmap;
};

// Opens `parent` as a top-level window of width x height and fills it with `container` (over
// the rulers x and y, either may be null), double buffered, on `background` prepared at that
// size.
inline void OpenImageView(CWnd& parent, CGOContainer& container, ImageBackground& background,
                          CRuler* x, CRuler* y, int width, int height,
                          DWORD parentStyle = WS_OVERLAPPED | WS_VISIBLE) {
  parent.Create(nullptr, L"bench", parentStyle, CRect(0, 0, width, height), nullptr, 0);
  container.Create(&parent, 1, x, y, 1, 1);
  container.MoveWindow(0, 0, width, height);
  container.ShowWindow(SW_SHOW);
  container.EnableDoubleBuffering(1);
  CDC* dc = container.GetDC();
  background.Prepare(dc, width, height);
  container.ReleaseDC(dc);
  container.AddBackground(&background);
}

// The Qt widget behind a window, for injecting input; null when the window has none.
inline QWidget* WidgetOf(const CWnd& wnd) {
  auto rec = quarlen::detail::FindWindowRecord(wnd.GetSafeHwnd());
  return rec ? rec->widget.data() : nullptr;
}

// Sends one mouse event at (x, y) of widget, as the windowing system would deliver it.
inline void SendMouse(QWidget* widget, QEvent::Type type, int x, int y, Qt::MouseButtons held,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const QPointF p(x, y);
  QMouseEvent ev(type, p, widget->mapToGlobal(p),
                 type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, modifiers);
  QCoreApplication::sendEvent(widget, &ev);
}

}  // namespace quarlen::bench
