#include "demo/inspection_window.h"

#include <QString>
#include <cstdio>

#include "demo/screen_pixels.h"
#include "demo/tool_bar.h"
#include "volume/unit_set.h"

namespace demo {
namespace {

// The group id shared by both views: same id, same rulers, cursors and units.
const vset_groupId kViews(1);

// Layout, at 96 DPI.
constexpr Dip kRulerHeight{28};  // scan and amplitude ruler views
constexpr Dip kRulerWidth{34};   // depth ruler view
constexpr Dip kAScanWidth{240};
constexpr Dip kGap{8};
constexpr Dip kBarThickness{18};  // zoom bars
constexpr Dip kStatusHeight{20};
constexpr Dip kLeft{kBarThickness.at96 + kRulerWidth.at96};  // the B-scan view's left edge
constexpr double kMillimetre = 0.001;                        // base unit: the metre

constexpr COLORREF kReferenceColour = RGB(220, 0, 0);
constexpr COLORREF kMeasureColour = RGB(0, 150, 0);
constexpr COLORREF kDepthColour = RGB(160, 0, 200);
constexpr COLORREF kDacColour = RGB(230, 120, 0);

void SetUpCursor(CGNumCursor& cursor, CUnit* unit, COLORREF colour) {
  cursor.SetUnit(unit);
  cursor.SetColor(colour);
  cursor.EnableStep(1, kMillimetre, 0.0);  // values snap to whole millimetres
}

}  // namespace

InspectionWindow::InspectionWindow(CSize bscanSize) {
  CreateModel();
  m_history.SetGroup(&m_volume, kViews);
  const CRect frame(0, 0, kLeft + bscanSize.cx + kGap + kAScanWidth,
                    bscanSize.cy + kRulerHeight + kBarThickness + kStatusHeight);
  m_frame.Create(nullptr, L"Quarlen demo - inspection view", WS_OVERLAPPEDWINDOW, frame, nullptr,
                 0);
  CreateBScan(bscanSize);
  CreateAScan(bscanSize);
  CreateZoomBars(bscanSize);
  CreateTopView(bscanSize);
  m_toolBar = std::make_unique<ToolBar>(*this);
  m_topView->FollowGate(&m_toolBar->Gate());
  m_historyKeys = std::make_unique<ZoomHistoryKeys>(m_frame, m_history);
}

InspectionWindow::~InspectionWindow() {
  m_historyKeys.reset();
  m_topView.reset();  // lets go of the gate, the index cursor and the shared rulers
  m_toolBar.reset();
  // Views first (they refer to the rulers and cursors), then what the volume set handed out.
  // The zoom bars and the log let go of their rulers before the rulers are deleted.
  m_scanBar.SetRuler(nullptr);
  m_depthBar.SetRuler(nullptr);
  m_zoomLog.Detach();
  m_bscan.SetGraphicalRuler(nullptr, nullptr);
  m_ascan.SetGraphicalRuler(nullptr, nullptr);
  m_bscan.RemoveAll();
  m_ascan.RemoveAll();
  m_trace.reset();
  m_readout.reset();
  m_frame.DestroyWindow();
  m_history.SetGroup(nullptr, kViews);
  m_volume.vol_DeleteCursor(m_measure);
  m_volume.vol_DeleteCursor(m_reference);
  m_volume.vol_DeleteCursor(m_depth);
  m_volume.vol_DeleteCursor(m_index);
  m_volume.vol_DeleteRuler(m_indexRuler);
  m_volume.vol_DeleteRuler(m_scanRuler);
  m_volume.vol_DeleteRuler(m_depthRuler);
  m_volume.vol_DeleteRuler(m_amplitudeRuler);
}

// The data volume: axis limits (metres), the rulers and cursors of the views' group, and the
// group's display units (millimetres, percent).
void InspectionWindow::CreateModel() {
  m_volume.vol_SetLimits(zel_scan, 0.0, SyntheticBScan::kScanLength);
  m_volume.vol_SetLimits(zel_index, 0.0, SyntheticVolume::kIndexLength);
  m_volume.vol_SetLimits(zel_ultrasound, 0.0, SyntheticBScan::kDepth);
  m_volume.vol_SetLimits(zel_amplitude, 0.0, 100.0);
  m_scanRuler = m_volume.vol_CreateRuler(zel_scan, 0.0, 0, &kViews, nullptr);
  m_depthRuler = m_volume.vol_CreateRuler(zel_ultrasound, 0.0, 0, &kViews, nullptr);
  m_amplitudeRuler = m_volume.vol_CreateRuler(zel_amplitude, 0.0, 0, &kViews, nullptr);
  m_indexRuler = m_volume.vol_CreateRuler(zel_index, 0.0, 0, &kViews, nullptr);

  m_reference =
      m_volume.vol_CreateCursor(zel_scan, quarlen_cursorReference, &kViews, nullptr, nullptr);
  m_measure =
      m_volume.vol_CreateCursor(zel_scan, quarlen_cursorMeasure, &kViews, m_reference, nullptr);
  m_depth =
      m_volume.vol_CreateCursor(zel_ultrasound, quarlen_cursorReference, &kViews, nullptr, nullptr);
  m_reference->SetValue(60 * kMillimetre, 0, 1);
  m_measure->SetValue(130 * kMillimetre, 0, 1);
  m_index =
      m_volume.vol_CreateCursor(zel_index, quarlen_cursorReference, &kViews, nullptr, nullptr);
  m_depth->SetValue(12 * kMillimetre, 0, 1);
  m_index->SetValue(kIndexStart, 0, 1);

  m_units = m_volume.vol_CreateUnitSet(&kViews, nullptr);
  m_units->AddSubUnit(zel_scan, unit_distance, 1.0, 0.0, 0.0);  // m, mm, in, mils
  m_units->AddSubUnit(zel_index, unit_distance, 1.0, 0.0, 0.0);
  m_units->AddSubUnit(zel_ultrasound, unit_trueDepth, 1.0, 0.0, 0.0);
  m_units->AddSubUnit(zel_amplitude, unit_percent, 1.0, 0.0, 0.0);
}

void InspectionWindow::CreateBScan(CSize size) {
  CUnit* scanMm = m_units->GetUnit(zel_scan, 1);
  CUnit* depthMm = m_units->GetUnit(zel_ultrasound, 1);

  // Depth grows downwards, in the view and on the depth ruler view alike.
  m_bscan.Create(&m_frame, 100, m_scanRuler, m_depthRuler, gocont_growRight, gocont_growDown);
  m_bscan.MoveWindow(kLeft, 0, size.cx, size.cy);
  m_bscan.EnableDoubleBuffering(1);
  m_bscan.AddBackground(&m_image);

  CRect below(kLeft, size.cy, kLeft + size.cx, size.cy + kRulerHeight);
  m_scanView.Create(&m_frame, m_scanRuler, gruler_growRight, &below);
  m_scanView.SetPosition(&below);
  m_scanView.SetDisplayUnit(scanMm, 1);
  CRect left(kBarThickness, 0, kLeft, size.cy);
  m_depthView.Create(&m_frame, m_depthRuler, gruler_growDown, &left);
  m_depthView.SetPosition(&left);
  m_depthView.SetDisplayUnit(depthMm, 1);

  m_grid.SetColor(RGB(150, 150, 150));
  m_grid.SetLineType(PS_DOT);  // thin dotted lines keep the data readable
  m_bscan.Add(&m_grid, CGOContainer::top);
  m_scanView.SetGrid(&m_grid);
  m_depthView.SetGrid(&m_grid);
  m_bscan.SetGraphicalRuler(&m_scanView, &m_depthView);

  // Cursors take the presses on their lines; every other drag goes to the tool selector, the
  // view's tracking object: left drag zooms, right drag picks (reference and depth cursor jump
  // to the pointer). As a tracking object it stays below the cursors after a drag; an object
  // of the dynamic layer would move to the top when it captures and take every later press.
  m_scanCursor.CreateLink(m_reference);
  SetUpCursor(m_scanCursor, scanMm, kReferenceColour);
  m_measureCursor.CreateLink(m_measure);
  SetUpCursor(m_measureCursor, scanMm, kMeasureColour);
  m_depthCursor.Create(m_depth);
  SetUpCursor(m_depthCursor, depthMm, kDepthColour);
  m_zoom.SetMinZoom(8, 8);
  m_pick.Create(&m_viewConfig, nullptr, 1, m_reference, m_depth);
  m_pick.EnableStepX(1, kMillimetre, 0.0);
  m_pick.EnableStepY(1, kMillimetre, 0.0);
  m_tools.AssociateTool(MK_LBUTTON, &m_zoom);
  m_tools.AssociateTool(MK_RBUTTON, &m_pick);
  m_bscan.AddTracking(&m_tools);
  m_bscan.AddDynamic(&m_depthCursor, CGOContainer::top);
  m_bscan.AddDynamic(&m_measureCursor, CGOContainer::top);
  m_bscan.AddDynamic(&m_scanCursor, CGOContainer::top);
  m_bscan.ShowWindow(SW_SHOW);
}

void InspectionWindow::CreateAScan(CSize size) {
  const int left = kLeft + size.cx + kGap;
  m_ascan.Create(&m_frame, 101, m_amplitudeRuler, m_depthRuler, gocont_growRight, gocont_growDown);
  m_ascan.MoveWindow(left, 0, kAScanWidth, size.cy);
  m_ascan.EnableDoubleBuffering(1);
  m_trace = std::make_unique<AScanTrace>(m_data, m_reference);
  m_ascan.AddBackground(m_trace.get());

  CRect below(left, size.cy, left + kAScanWidth, size.cy + kRulerHeight);
  m_amplitudeView.Create(&m_frame, m_amplitudeRuler, gruler_growRight, &below);
  m_amplitudeView.SetPosition(&below);
  m_amplitudeView.SetDisplayUnit(m_units->GetUnit(zel_amplitude, 0), 1);
  m_ascan.SetGraphicalRuler(&m_amplitudeView, nullptr);

  // The same depth cursor as in the B-scan: dragging either moves both.
  m_ascanDepthCursor.Create(m_depth);
  SetUpCursor(m_ascanDepthCursor, m_units->GetUnit(zel_ultrasound, 1), kDepthColour);
  m_ascan.AddDynamic(&m_ascanDepthCursor, CGOContainer::top);

  // The distance-amplitude curve: points stay in depth order, and a drag moves either the
  // amplitude or the depth of a point, whichever the pointer leaves the point along first.
  std::vector<stPoint> dac = ReferenceDacPoints();
  m_dac.SetPoints(dac);
  m_dac.SetSortingOptions(0, 1);
  m_dac.SetDirectionLocking(1);
  m_dac.SetColor(kDacColour);
  m_ascan.AddDynamic(&m_dac, CGOContainer::top);
  m_readout = std::make_unique<DacReadout>(m_data, m_dac, m_reference, m_depth);
  m_ascan.Add(m_readout.get(), CGOContainer::top);
  m_ascan.ShowWindow(SW_SHOW);
}

// A horizontal bar under the scan ruler view and a vertical one beside the depth ruler view,
// bound to the same rulers (so the A-scan view's depth follows the depth bar too), labelled in
// the views' display units; the zoom log writes to the status line and the standard output.
void InspectionWindow::CreateZoomBars(CSize size) {
  CUnit* scanMm = m_units->GetUnit(zel_scan, 1);
  CUnit* depthMm = m_units->GetUnit(zel_ultrasound, 1);
  const int barTop = size.cy + kRulerHeight;
  m_scanBar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE,
                   CRect(kLeft, barTop, kLeft + size.cx, barTop + kBarThickness), &m_frame, 110);
  m_scanBar.SetHorizontal(1);
  m_scanBar.SetCursorColor(RGB(120, 170, 230));
  m_scanBar.SetDisplayFormat(0.0, SyntheticBScan::kScanLength, scanMm);
  m_scanBar.SetRuler(m_scanRuler);
  m_scanBar.SetHome(kScanHomeStart, kScanHomeEnd);

  m_depthBar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, kBarThickness, size.cy),
                    &m_frame, 111);
  m_depthBar.SetHorizontal(0);
  m_depthBar.SetCursorColor(RGB(120, 170, 230));
  m_depthBar.SetDisplayFormat(0.0, SyntheticBScan::kDepth, depthMm);
  m_depthBar.SetRuler(m_depthRuler);

  CRect client;
  m_frame.GetClientRect(&client);
  m_status.Create(L"", WS_CHILD | WS_VISIBLE,
                  CRect(Px(4), barTop + kBarThickness, client.right, client.bottom), &m_frame);
  m_zoomLog.Create(&m_frame, m_scanRuler, scanMm, m_depthRuler, depthMm,
                   [this](const CString& line) {
                     m_status.SetWindowText(line);
                     std::printf("zoom log: %s\n",
                                 QString::fromWCharArray(line.GetString()).toUtf8().constData());
                   });
  m_scanBar.SetLog(&m_zoomLog);
  m_depthBar.SetLog(&m_zoomLog);
}

// The top view under everything made so far: the frame grows by its height, its index ruler
// and its own scan ruler view. It spans the B-scan's columns, so both views show the same scan
// positions at the same x, whatever the scan ruler's zoom.
void InspectionWindow::CreateTopView(CSize size) {
  CRect client, outer;
  m_frame.GetClientRect(&client);
  m_frame.GetWindowRect(&outer);
  const int top = client.Height() + kGap;
  m_frame.MoveWindow(outer.left, outer.top, client.Width(),
                     top + kTopViewHeight + TopView::kRulerHeight);
  TopView::Setup setup{};
  setup.parent = &m_frame;
  setup.area = CRect(kLeft, top, kLeft + size.cx, top + kTopViewHeight);
  setup.scan = m_scanRuler;
  setup.index = m_indexRuler;
  setup.indexCursor = m_index;
  setup.scanUnit = m_units->GetUnit(zel_scan, 1);
  setup.indexUnit = m_units->GetUnit(zel_index, 1);
  setup.bscan = &m_data;
  // A new scan line: the B-scan image, the A-scan trace and the readout show it.
  setup.onLineChanged = [this] {
    m_image.InvalidateAll();
    m_trace->InvalidateAll();
    m_readout->Refresh();
  };
  m_topView = std::make_unique<TopView>(setup);
}

}  // namespace demo
