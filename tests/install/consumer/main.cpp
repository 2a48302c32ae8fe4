// A minimal application on the installed library: a data view with a scan and a depth ruler and
// one cursor on a position. It opens a window on a desktop; without a display it runs on Qt's
// offscreen platform, moves the cursor once and exits.
#include <QApplication>
#include <cstdio>

#include "axis/position.h"
#include "axis/ruler.h"
#include "cursors/graphic_cursor.h"
#include "graphics/container.h"
#include "notify/event_service.h"
#include "notify/idle.h"
#include "platform/window.h"

int main(int argc, char** argv) {
  const bool headless = qEnvironmentVariableIsEmpty("DISPLAY");
  if (headless) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  event_Init();  // delivers the change events that keep views in step
  {
    // The model: two axes in metres and the visible window on each (a ruler).
    CAxe scan, depth;
    scan.Create(L"Scan", std_distance, 0.0, 0.300);
    depth.Create(L"Depth", std_distance, 0.0, 0.050);
    CRuler x, y;
    x.Create(L"Scan", &scan, 0.0, 0);
    y.Create(L"Depth", &depth, 0.0, 0);

    // The view: a container window showing graphic objects over the two rulers.
    CFrameWnd frame;
    frame.Create(nullptr, L"Quarlen application", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 400),
                 nullptr, 0);
    AfxSetMainWnd(&frame);  // closing the main frame ends app.exec()
    CGOContainer view;
    view.Create(&frame, 1, &x, &y, gocont_growRight, gocont_growDown);
    view.MoveWindow(0, 0, 640, 400);
    view.EnableDoubleBuffering(1);

    // A cursor on a position: drag it, or set the position and every cursor on it follows.
    CPosition reference;
    reference.Create(L"Reference", &scan, 0.100, 0);
    CGCursor cursor;
    cursor.Create(&reference);
    cursor.SetColor(RGB(220, 0, 0));
    view.AddDynamic(&cursor, CGOContainer::top);
    view.ShowWindow(SW_SHOW);
    frame.ShowWindow(SW_SHOW);

    reference.SetValue(0.150, 1);
    // Lets the event service tell the cursor and the view, and the view repaint.
    const bool idle = quarlen::ProcessUntilIdle();
    std::printf("reference at %.0f mm%s\n", reference.GetValue() * 1000.0,
                idle ? ", view up to date" : "");
    if (!headless) app.exec();
    view.RemoveAll();
    AfxSetMainWnd(nullptr);
  }
  event_Terminate();
  return 0;
}
