// One data view with a ruler view below it and one on its left, a grid and two numeric cursors,
// written to a PNG file. It runs on Qt's offscreen platform (no window appears) and prints what
// a reader can check: the tick spacing the ruler views chose, the page size and the colour of
// the pixels under each cursor line in the written image.
//
//   view_with_rulers [FILE.png]      (default: quarlen-view.png)
#include <QApplication>
#include <QImage>
#include <cstdio>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "cursors/numeric_cursor.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "graphics/ruler_views.h"
#include "graphics/view_export.h"
#include "notify/event_service.h"
#include "notify/idle.h"
#include "platform/window.h"

namespace {

constexpr COLORREF kScanColour = RGB(220, 0, 0);
constexpr COLORREF kDepthColour = RGB(0, 0, 200);

const char* Matches(QRgb pixel, COLORREF colour) {
  return qRed(pixel) == GetRValue(colour) && qGreen(pixel) == GetGValue(colour) &&
                 qBlue(pixel) == GetBValue(colour)
             ? "cursor colour"
             : "another colour";
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const CString path(argc > 1 ? CString(QString::fromLocal8Bit(argv[1]).toStdWString().c_str())
                              : CString(L"quarlen-view.png"));
  event_Init();  // before any ruler, position, object or container
  int rc = 0;
  {
    // The model, in base units: a 300 mm scan axis and a 50 mm depth axis, in metres.
    CAxe scanAxis, depthAxis;
    scanAxis.Create(L"Scan", std_distance, 0.0, 0.300);
    depthAxis.Create(L"Depth", std_distance, 0.0, 0.050);
    CRuler scan, depth;
    scan.Create(L"Scan", &scanAxis, 0.0, 0);
    depth.Create(L"Depth", &depthAxis, 0.0, 0);
    CPosition scanCursorValue, depthCursorValue;
    scanCursorValue.Create(L"Reference", &scanAxis, 0.120, 0);
    depthCursorValue.Create(L"Depth", &depthAxis, 0.020, 0);
    // The display unit of both ruler views and cursors: millimetres of the metre.
    CUnit metre(unit_distance, unit_dataMeter, unit_convLinear, 1.0, 0.0, nullptr);
    CUnit millimetre(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &metre);

    // The windows: a frame holding the view (640 x 400) with the depth ruler view on its left
    // and the scan ruler view below it.
    constexpr int kLeft = 40, kWidth = 640, kHeight = 400, kRuler = 28;
    CFrameWnd frame;
    frame.Create(nullptr, L"View with rulers", WS_OVERLAPPEDWINDOW,
                 CRect(0, 0, kLeft + kWidth, kHeight + kRuler), nullptr, 0);
    CGOContainer view;
    // Grow flags: scan values grow to the right, depth values downwards.
    view.Create(&frame, 1, &scan, &depth, gocont_growRight, gocont_growDown);
    view.MoveWindow(kLeft, 0, kWidth, kHeight);
    view.EnableDoubleBuffering(1);

    CRect below(kLeft, kHeight, kLeft + kWidth, kHeight + kRuler);
    CGRulerHoriz scanView;
    scanView.Create(&frame, &scan, gruler_growRight, &below);
    scanView.SetPosition(&below);
    scanView.SetDisplayUnit(&millimetre, 1);
    CRect left(0, 0, kLeft, kHeight);
    CGRulerVerti depthView;
    // The ruler view's flag of the same direction: its gruler_growDown is the number 1 where
    // the container's gocont_growDown is 0, so name the direction rather than the number.
    depthView.Create(&frame, &depth, gruler_growDown, &left);
    depthView.SetPosition(&left);
    depthView.SetDisplayUnit(&millimetre, 1);

    // The grid draws a line at every tick of the two ruler views.
    CGGrid grid;
    grid.SetColor(RGB(170, 170, 170));
    view.Add(&grid, CGOContainer::top);
    scanView.SetGrid(&grid);
    depthView.SetGrid(&grid);
    view.SetGraphicalRuler(&scanView, &depthView);

    // Two numeric cursors: a vertical line on the scan position, a horizontal one on the depth.
    CGNumCursor scanCursor, depthCursor;
    scanCursor.Create(&scanCursorValue);
    scanCursor.SetUnit(&millimetre);
    scanCursor.SetColor(kScanColour);
    depthCursor.Create(&depthCursorValue);
    depthCursor.SetUnit(&millimetre);
    depthCursor.SetColor(kDepthColour);
    view.AddDynamic(&scanCursor, CGOContainer::top);
    view.AddDynamic(&depthCursor, CGOContainer::top);
    view.ShowWindow(SW_SHOW);
    frame.ShowWindow(SW_SHOW);

    // Lets the rulers' events reach the ruler views, the grid and the cursors, and the view
    // repaint, before anything is read or written.
    if (!quarlen::ProcessUntilIdle()) std::printf("the view did not settle\n");
    // A ruler view gives its tick layout in its display unit (here millimetres); the grid
    // got the same spacing in base units (metres).
    double first = 0, step = 0, gridFirst = 0, gridStep = 0, unused = 0;
    scanView.GetTickPosition(&first, &step);
    grid.GetTickSpacing(&gridFirst, &gridStep, &unused, &unused);
    std::printf("scan ruler view: a tick every %g mm from %g mm, grid lines every %g m\n", step,
                first, gridStep);
    depthView.GetTickPosition(&first, &step);
    grid.GetTickSpacing(&unused, &unused, &gridFirst, &gridStep);
    std::printf("depth ruler view: a tick every %g mm from %g mm, grid lines every %g m\n", step,
                first, gridStep);

    // The file: PNG, PDF or SVG by its extension.
    ExportOptions options;  // scale 1: one image pixel per view pixel
    CString error;
    if (ExportView(&view, path, options, &error)) {
      // The page holds the view and its ruler views as they lie in the frame.
      const CRect page = ExportViewBounds(&view, options);
      const QImage image(QString::fromWCharArray(path.GetString()));
      std::printf("exported %ls: %d x %d pixels (page %d x %d)\n", path.GetString(), image.width(),
                  image.height(), page.Width(), page.Height());
      // The pixels under the cursor lines, from the cursors' own scales (view pixels).
      const int x =
          kLeft - page.left + scanCursor.GetXScale()->PosToPixel(scanCursorValue.GetValue());
      const int y = -page.top + depthCursor.GetYScale()->PosToPixel(depthCursorValue.GetValue());
      std::printf("scan cursor at %.0f mm: column %d is drawn in the %s\n",
                  scanCursorValue.GetValue() * 1000, x,
                  Matches(image.pixel(x, kHeight / 4), kScanColour));
      std::printf("depth cursor at %.0f mm: row %d is drawn in the %s\n",
                  depthCursorValue.GetValue() * 1000, y,
                  Matches(image.pixel(kLeft - page.left + kWidth * 3 / 4, y), kDepthColour));
    } else {
      std::printf("export failed: %ls\n", error.GetString());
      rc = 1;
    }

    view.SetGraphicalRuler(nullptr, nullptr);
    view.RemoveAll();
    frame.DestroyWindow();
  }
  event_Terminate();
  return rc;
}
