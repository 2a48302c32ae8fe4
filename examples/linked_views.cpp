// Two linked views of one data volume: view B (scan x depth) and view A (amplitude x depth)
// share the depth ruler, the depth cursor and the display units through a volume set. A left
// drag on the data of view B zooms, through the selection tool, and the cursors stay draggable
// after the zoom; a zoom history of the volume set's group steps back, forward and home. It
// prints the rulers and the ruler views' tick layout after each step, so that a reader can
// check that both views follow.
//
// On a desktop it shows the window after the scripted steps, until the window is closed;
// without a display (or with --headless) it runs on Qt's offscreen platform and exits.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "cursors/numeric_cursor.h"
#include "cursors/zoom.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "graphics/ruler_views.h"
#include "graphics/tool_select.h"
#include "notify/event_service.h"
#include "notify/idle.h"
#include "platform/window.h"
#include "volume/cursor_ex.h"
#include "volume/unit_set.h"
#include "volume/zoom_history.h"
#include "volume/volume_set.h"

namespace {

double Mm(double metres) { return metres * 1000.0; }

// What the two views share, handed out by the volume set to one group of views.
struct Shared {
  CRulerEx* scan = nullptr;
  CRulerEx* depth = nullptr;
  CRulerEx* depthOfA = nullptr;  // asked for again by view A: the same ruler as depth
  CRulerEx* amplitude = nullptr;
  CCursorEx* reference = nullptr;   // on the scan axis
  CCursorEx* depthValue = nullptr;  // on the depth (ultrasound) axis
  CUnitSet* units = nullptr;
};

// The limits of the volume's axes (metres, percent) and what the views share, asked for with
// one group id.
Shared CreateShared(CVolumeSet& volume) {
  volume.vol_SetLimits(zel_scan, 0.0, 0.300);
  volume.vol_SetLimits(zel_ultrasound, 0.0, 0.050);
  volume.vol_SetLimits(zel_amplitude, 0.0, 100.0);
  const vset_groupId views(1);
  Shared s;
  s.scan = volume.vol_CreateRuler(zel_scan, 0.0, 0, &views, nullptr);
  s.depth = volume.vol_CreateRuler(zel_ultrasound, 0.0, 0, &views, nullptr);
  s.amplitude = volume.vol_CreateRuler(zel_amplitude, 0.0, 0, &views, nullptr);
  int created = 0;
  s.depthOfA = volume.vol_CreateRuler(zel_ultrasound, 0.0, 0, &views, &created);
  std::printf("depth ruler shared: %s (created %d, holders %d)\n",
              s.depthOfA == s.depth ? "yes" : "no", created, s.depth->GetRefCount());
  s.reference =
      volume.vol_CreateCursor(zel_scan, quarlen_cursorReference, &views, nullptr, nullptr);
  s.depthValue =
      volume.vol_CreateCursor(zel_ultrasound, quarlen_cursorReference, &views, nullptr, nullptr);
  s.reference->SetValue(0.100, 0, 1);
  s.depthValue->SetValue(0.020, 0, 1);
  s.units = volume.vol_CreateUnitSet(&views, nullptr);
  s.units->AddSubUnit(zel_scan, unit_distance, 1.0, 0.0, 0.0);         // m, mm, in, mils
  s.units->AddSubUnit(zel_ultrasound, unit_trueDepth, 1.0, 0.0, 0.0);  // m, mm, in, mils
  s.units->AddSubUnit(zel_amplitude, unit_percent, 1.0, 0.0, 0.0);     // %
  return s;
}

// Every holder gives back what it was handed, once; the last one back destroys it.
void ReleaseShared(CVolumeSet& volume, Shared& s) {
  volume.vol_DeleteCursor(s.reference);
  volume.vol_DeleteCursor(s.depthValue);
  for (CRulerEx* r : {s.scan, s.depth, s.depthOfA, s.amplitude}) volume.vol_DeleteRuler(r);
  volume.vol_DeleteUnitSet(s.units);
}

// Mouse input as the window system delivers it to a view: messages with view pixels.
void Mouse(CWnd& view, UINT message, UINT keys, CPoint pt) {
  view.SendMessage(message, keys, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}

// Press, four moves, release; then the events the drag caused reach every view.
void LeftDrag(CWnd& view, CPoint from, CPoint to) {
  Mouse(view, WM_LBUTTONDOWN, MK_LBUTTON, from);
  for (int i = 1; i <= 4; ++i) {
    Mouse(view, WM_MOUSEMOVE, MK_LBUTTON,
          CPoint(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4));
  }
  Mouse(view, WM_LBUTTONUP, 0, to);
  quarlen::ProcessUntilIdle();
}

// A ruler view's tick layout is in its display unit: millimetres here.
void PrintTicks(const char* name, CGRuler& rulerView) {
  double first = 0, step = 0;
  rulerView.GetTickPosition(&first, &step);
  std::printf("  %s: a tick every %g mm from %g mm\n", name, step, first);
}

// The two views with their ruler views, grid, cursors and zoom tool, and the scripted steps;
// then, on a desktop, the window until the user closes it.
void RunViews(CVolumeSet& volume, const Shared& s, bool headless) {
  CUnit* scanMm = s.units->GetUnit(zel_scan, 1);
  CUnit* depthMm = s.units->GetUnit(zel_ultrasound, 1);

  // View B (600 x 400) with a depth ruler view on its left and a scan ruler view below; view A
  // (200 x 400) on the right with a depth ruler view of its own and an amplitude ruler view.
  constexpr int kRulerW = 40, kRulerH = 28, kW = 600, kH = 400, kAW = 200;
  constexpr int kAX = kRulerW + kW + kRulerW;
  CFrameWnd frame;
  frame.Create(nullptr, L"Linked views", WS_OVERLAPPEDWINDOW, CRect(0, 0, kAX + kAW, kH + kRulerH),
               nullptr, 0);
  CGOContainer viewB, viewA;
  viewB.Create(&frame, 1, s.scan, s.depth, gocont_growRight, gocont_growDown);
  viewB.MoveWindow(kRulerW, 0, kW, kH);
  viewA.Create(&frame, 2, s.amplitude, s.depthOfA, gocont_growRight, gocont_growDown);
  viewA.MoveWindow(kAX, 0, kAW, kH);

  CGRulerHoriz scanView, amplitudeView;
  CGRulerVerti depthViewB, depthViewA;
  // Each ruler view takes the direction of its view's flag: rightwards, downwards.
  auto place = [&frame](CGRuler& v, CRuler* ruler, int grow, CUnit* unit, CRect r) {
    v.Create(&frame, ruler, grow, &r);
    v.SetPosition(&r);
    v.SetDisplayUnit(unit, 1);
  };
  place(scanView, s.scan, gruler_growRight, scanMm, CRect(kRulerW, kH, kRulerW + kW, kH + kRulerH));
  place(depthViewB, s.depth, gruler_growDown, depthMm, CRect(0, 0, kRulerW, kH));
  place(amplitudeView, s.amplitude, gruler_growRight, s.units->GetUnit(zel_amplitude, 0),
        CRect(kAX, kH, kAX + kAW, kH + kRulerH));
  place(depthViewA, s.depthOfA, gruler_growDown, depthMm, CRect(kRulerW + kW, 0, kAX, kH));

  CGGrid grid;
  grid.SetColor(RGB(170, 170, 170));
  viewB.Add(&grid, CGOContainer::top);
  scanView.SetGrid(&grid);
  depthViewB.SetGrid(&grid);
  viewB.SetGraphicalRuler(&scanView, &depthViewB);
  viewA.SetGraphicalRuler(&amplitudeView, &depthViewA);

  // The reference cursor in view B; the depth cursor in both views (one position, two cursors:
  // dragging either moves both). Values snap to whole millimetres.
  CGNumCursor referenceB, depthB, depthA;
  referenceB.Create(s.reference);
  referenceB.SetUnit(scanMm);
  referenceB.SetColor(RGB(220, 0, 0));
  depthB.Create(s.depthValue);
  depthA.Create(s.depthValue);
  for (CGNumCursor* c : {&depthB, &depthA}) {
    c->SetUnit(depthMm);
    c->SetColor(RGB(160, 0, 200));
  }
  for (CGNumCursor* c : {&referenceB, &depthB, &depthA}) c->EnableStep(1, 0.001, 0.0);
  viewB.AddDynamic(&referenceB, CGOContainer::top);
  viewB.AddDynamic(&depthB, CGOContainer::top);
  viewA.AddDynamic(&depthA, CGOContainer::top);

  // Tools share a view through the selection tool, the container's tracking object: it gets
  // the drags that no cursor takes and hands each to the tool of its mouse keys, which joins
  // the container for that drag only.
  CZoom zoom(nullptr, 1);
  zoom.SetMinZoom(8, 8);
  CGToolSelect tools(&viewB);
  tools.AssociateTool(MK_LBUTTON, &zoom);
  viewB.AddTracking(&tools);

  // A zoom history over every ruler of the views' group: one entry per user gesture (the zoom
  // band here), whatever number of rulers it changes; changes from code are not entries.
  CZoomHistory history;
  const vset_groupId views(1);
  history.SetGroup(&volume, views);

  viewB.ShowWindow(SW_SHOW);
  viewA.ShowWindow(SW_SHOW);
  frame.ShowWindow(SW_SHOW);
  quarlen::ProcessUntilIdle();

  auto report = [&](const char* step) {
    std::printf(
        "%s: scan %.1f..%.1f mm, depth %.1f..%.1f mm, reference %.1f mm, depth cursor %.1f mm\n",
        step, Mm(s.scan->GetStart()), Mm(s.scan->GetEnd()), Mm(s.depth->GetStart()),
        Mm(s.depth->GetEnd()), Mm(s.reference->GetValue()), Mm(s.depthValue->GetValue()));
    PrintTicks("view B depth ruler view", depthViewB);
    PrintTicks("view A depth ruler view", depthViewA);
  };
  report("start");

  // 1. A zoom with the mouse: a left drag on the data from (40 mm, 10 mm) to (160 mm, 30 mm).
  CSC* x = referenceB.GetXScale();
  CSC* y = depthB.GetYScale();
  LeftDrag(viewB, CPoint(x->PosToPixel(0.040), y->PosToPixel(0.010)),
           CPoint(x->PosToPixel(0.160), y->PosToPixel(0.030)));
  report("zoom");

  // 2. After the zoom, the reference cursor dragged 30 mm to the right: the press on its line
  // goes to the cursor, not to the zoom tool.
  const int row = y->PosToPixel(0.025);
  const double start = s.reference->GetValue();
  LeftDrag(viewB, CPoint(x->PosToPixel(start), row), CPoint(x->PosToPixel(start + 0.030), row));
  // 3. The depth cursor dragged in view A to 15 mm: one position, so view B shows it there too.
  CSC* yA = depthA.GetYScale();
  LeftDrag(viewA, CPoint(kAW / 2, yA->PosToPixel(s.depthValue->GetValue())),
           CPoint(kAW / 2, yA->PosToPixel(0.015)));
  report("drag cursors");

  // 4. The history: back to the windows before the zoom band (both rulers: one gesture, one
  // entry), forward to the zoom again, then home (the whole axes, as no home windows were
  // set), which Back undoes.
  auto step = [&](const char* name, BOOL done) {
    quarlen::ProcessUntilIdle();
    std::printf("history %s%s: %d back, %d forward\n", name, done ? "" : " (nothing to do)",
                history.GetBackCount(), history.GetForwardCount());
    report(name);
  };
  std::printf("history after the zoom and the cursor drags: %d back\n", history.GetBackCount());
  step("back", history.Back());
  step("forward", history.Forward());
  step("home", history.Home());
  step("back", history.Back());

  // 5. A zoom from code: every ruler of the depth axis shows 0 to 50 mm again.
  volume.vol_SetRulerRange(zel_ultrasound, 0.0, 0.050);
  quarlen::ProcessUntilIdle();
  report("depth home");

  if (!headless) {
    AfxSetMainWnd(&frame);  // closing the frame ends exec()
    QApplication::exec();
  }
  viewB.SetGraphicalRuler(nullptr, nullptr);
  viewA.SetGraphicalRuler(nullptr, nullptr);
  viewB.RemoveAll();
  viewA.RemoveAll();
  frame.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv) {
  const bool headless =
      (argc > 1 && !std::strcmp(argv[1], "--headless")) ||
      (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
  if (headless) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  event_Init();
  {
    CVolumeSet volume(unit_distance, L"Scan", unit_distance, L"Index");
    Shared shared = CreateShared(volume);
    RunViews(volume, shared, headless);  // the views are gone when it returns
    ReleaseShared(volume, shared);
  }
  event_Terminate();
  return 0;
}
