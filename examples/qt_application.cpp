// A view inside a Qt application: the library's frame window is the application's main window,
// Qt widgets live in it beside the library's windows, a Qt signal changes the model, and closing
// the main frame ends QApplication::exec as closing the last window of a plain Qt program does.
// A second window, a plain Qt widget with a layout, holds a whole view with its ruler views and
// a zoom bar (CGOViewFrame) that follows the layout when the window is resized.
//
// On a desktop it runs until the window is closed; without a display (or with --headless) it
// runs on Qt's offscreen platform, presses the button, resizes the Qt window and closes the frame
// itself.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/unit.h"
#include "cursors/view_frame.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "notify/event_service.h"
#include "notify/idle.h"
#include "platform/window.h"

int main(int argc, char** argv) {
  const bool headless =
      (argc > 1 && !std::strcmp(argv[1], "--headless")) ||
      (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
  if (headless) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // first: windows are widgets
  event_Init();                  // then the event service, before any ruler or view
  int rc = 0;
  {
    CAxe axis;
    axis.Create(L"Scan", std_distance, 0.0, 0.300);
    CRuler scan, level;
    scan.Create(L"Scan", &axis, 0.0, 0);
    scan.Set(0.100, 0.050, 0);  // a zoomed window: 100 to 150 mm
    CAxe levelAxis;
    levelAxis.Create(L"Level", std_percent, 0.0, 100.0);
    level.Create(L"Level", &levelAxis, 0.0, 0);
    CUnit metre(unit_distance, unit_dataMeter, unit_convLinear, 1.0, 0.0, nullptr);
    CUnit millimetre(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &metre);

    // The main frame, a view with a ruler view below it, and under them two Qt widgets made
    // children of the frame's widget.
    CFrameWnd frame;
    frame.Create(nullptr, L"Quarlen in a Qt application", WS_OVERLAPPEDWINDOW,
                 CRect(0, 0, 480, 330), nullptr, 0);
    AfxSetMainWnd(&frame);  // its destruction (also by the user's close) ends exec()
    CGOContainer view;
    view.Create(&frame, 1, &scan, &level, gocont_growRight, gocont_growDown);
    view.MoveWindow(0, 0, 480, 240);
    view.SetBackgroundColor(RGB(235, 240, 250));
    CRect below(0, 240, 480, 268);
    CGRulerHoriz scanView;
    scanView.Create(&frame, &scan, gruler_growRight, &below);
    scanView.SetPosition(&below);
    scanView.SetDisplayUnit(&millimetre, 1);
    view.SetGraphicalRuler(&scanView, nullptr);
    view.ShowWindow(SW_SHOW);

    // The frame's widget owns them (Qt deletes children with their parent), so they are made
    // with new and not used once the frame is gone.
    auto* home = new QPushButton(QStringLiteral("Whole axis"), frame.GetWidget());
    home->setGeometry(8, 274, 120, 28);
    auto* status = new QLabel(frame.GetWidget());
    status->setGeometry(140, 274, 330, 28);
    auto show = [&scan, status] {
      status->setText(QStringLiteral("scan %1 .. %2 mm")
                          .arg(scan.GetStart() * 1000.0, 0, 'f', 0)
                          .arg(scan.GetEnd() * 1000.0, 0, 'f', 0));
    };
    // Qt signals are handled on the GUI thread, like the library's window messages: a slot
    // may call the model and the views directly.
    QObject::connect(home, &QPushButton::clicked, [&scan, show] {
      scan.Set(0.0, 0.300, 0);
      show();
    });
    show();
    frame.ShowWindow(SW_SHOW);

    // A window of the application's own, a Qt widget with a layout, made a library window with
    // AttachWidget; a whole view (container, ruler views, a zoom bar) goes into the layout as
    // one widget and is laid out again whenever the layout resizes it.
    auto* panel = new QWidget;
    panel->setWindowTitle(QStringLiteral("A view frame in a Qt layout"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CWnd panelWnd;
    panelWnd.AttachWidget(panel);
    CGOViewFrame viewFrame;
    viewFrame.Create(&panelWnd, 1, CRect(0, 0, 100, 100), &scan, &level, gocont_growRight,
                     gocont_growDown, viewframe_horizZoomBar);
    viewFrame.SetDisplayUnits(&millimetre, nullptr);
    column->addWidget(viewFrame.GetWidget());
    auto* hint = new QLabel(QStringLiteral("Resize this window: the view follows."));
    hint->setFixedHeight(24);  // the view frame takes the rest of the window
    column->addWidget(hint);
    panel->resize(400, 300);
    panel->show();
    auto showFrame = [&viewFrame] {
      CRect data, labels;
      viewFrame.GetClientRect(&data);
      std::printf("view frame %d x %d: ", data.Width(), data.Height());
      viewFrame.GetContainer()->GetClientRect(&data);
      viewFrame.GetHorizView()->GetClientRect(&labels);
      std::printf("data %d x %d, scan ruler view %d x %d\n", data.Width(), data.Height(),
                  labels.Width(), labels.Height());
    };

    quarlen::ProcessUntilIdle();
    std::printf("before: %s\n", qPrintable(status->text()));
    showFrame();

    if (headless) {
      // What a user would do: press the button, resize the Qt window, close the main window.
      home->click();
      quarlen::ProcessUntilIdle();  // the ruler's change reaches the view and the ruler view
      double first = 0, step = 0;
      scanView.GetTickPosition(&first, &step);
      std::printf("after the button: %s, a tick every %g mm\n", qPrintable(status->text()),
                  step);  // in the ruler view's display unit
      // The Qt window made larger: its layout resizes the view frame, which lays its parts
      // out again.
      panel->resize(600, 400);
      quarlen::ProcessUntilIdle();
      showFrame();
      QTimer::singleShot(0, [&frame] { frame.SendMessage(WM_CLOSE, 0, 0); });
    }
    rc = QApplication::exec();
    std::printf("exec returned %d, main window %s\n", rc,
                AfxGetMainWnd() == nullptr ? "gone" : "still set");
    view.SetGraphicalRuler(nullptr, nullptr);
    view.RemoveAll();
    AfxSetMainWnd(nullptr);
    viewFrame.DestroyWindow();
    delete panel;  // the application's own widget: not a child of the main frame
  }
  event_Terminate();
  return rc;
}
