#pragma once
// The demo's inspection window: a B-scan view with a scan ruler below it, a depth ruler on its
// left and a grid, linked reference/measure cursors on the scan axis, a depth cursor, the zoom
// tool (left drag on the data) and the pick tool (right drag) chosen through a tool selector;
// and beside it an A-scan view that shares the depth ruler and the cursors through the volume
// set and shows the echo at the reference cursor, with a distance-amplitude curve the user
// edits (left drag moves a point, Ctrl + right press duplicates one, Shift + right press deletes
// one) and its dB readout at the depth cursor. Zoom bars under the scan ruler and beside the
// depth ruler show and move the rulers' windows; a status line shows the zoom log. A zoom history
// over every ruler of the views' group takes both views (and the top view) back, forward and
// home together, from the tool bar's arrows and home button and from the keys Alt+Left,
// Alt+Right and Home.
//
// Everything the views share (rulers, cursors, display units) comes from one volume set with
// one group id, which is how an application keeps several views of the same data in step.
#include <memory>

#include "axis/ruler.h"
#include "volume/cursor_ex.h"
#include "cursors/adjustable_curve.h"
#include "cursors/numeric_cursor.h"
#include "cursors/pick_position.h"
#include "volume/volume_set.h"
#include "volume/zoom_history.h"
#include "cursors/zoom.h"
#include "demo/cscan_view.h"
#include "demo/dac_curve.h"
#include "demo/scan_views.h"
#include "demo/volume_data.h"
#include "demo/zoom_history_keys.h"
#include "demo/zoom_log.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "graphics/ruler_views.h"
#include "graphics/tool_select.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace demo {

class ToolBar;

class InspectionWindow {
 public:
  // bscanSize: the client size of the B-scan view in pixels.
  explicit InspectionWindow(CSize bscanSize);
  ~InspectionWindow();

  CWnd& Frame() { return m_frame; }
  CGOContainer& BScan() { return m_bscan; }
  CGOContainer& AScan() { return m_ascan; }
  CRulerEx& ScanRuler() { return *m_scanRuler; }
  CRulerEx& DepthRuler() { return *m_depthRuler; }
  CCursorEx& Reference() { return *m_reference; }
  CCursorEx& Measure() { return *m_measure; }
  CCursorEx& Depth() { return *m_depth; }
  CRulerEx& IndexRuler() { return *m_indexRuler; }
  CCursorEx& Index() { return *m_index; }
  // The top view under the B-scan, and the B-scan's data (its current scan line).
  TopView& Top() { return *m_topView; }
  const SyntheticBScan& BScanData() const { return m_data; }
  // The cursors drawn in the B-scan view (their scales map values to view pixels).
  StripNumCursor& ReferenceCursor() { return m_scanCursor; }
  StripNumCursor& DepthCursor() { return m_depthCursor; }
  const AScanTrace& Trace() const { return *m_trace; }
  // The distance-amplitude curve of the A-scan view and its readout.
  CAdjustableCurve& Dac() { return m_dac; }
  const DacReadout& Readout() const { return *m_readout; }
  StripNumCursor& MeasureCursor() { return m_measureCursor; }
  // The B-scan's tools and the tool bar that chooses among them.
  CGToolSelect& Tools() { return m_tools; }
  CZoom& ZoomTool() { return m_zoom; }
  CPickPosition& PickTool() { return m_pick; }
  ToolBar& Bar() { return *m_toolBar; }
  CZoomBar& ScanBar() { return m_scanBar; }
  CZoomBar& DepthBar() { return m_depthBar; }
  // Back, forward and home over the windows of every ruler the views share.
  CZoomHistory& History() { return m_history; }
  // The home range of the scan bar (metres).
  static constexpr double kScanHomeStart = 0.100, kScanHomeEnd = 0.200;
  // The top view's height in pixels, and the index cursor's first value (m).
  static constexpr Dip kTopViewHeight{160};
  static constexpr double kIndexStart = 0.020;
  // Millimetres of a value in base units (metres).
  static double Millimetres(double metres) { return metres * 1000.0; }

 private:
  void CreateModel();
  void CreateBScan(CSize size);
  void CreateAScan(CSize size);
  void CreateZoomBars(CSize size);
  void CreateTopView(CSize size);

  SyntheticVolume m_volumeData;
  SyntheticBScan m_data{m_volumeData};
  CVolumeSet m_volume{unit_distance, L"Scan", unit_distance, L"Index"};
  CZoomHistory m_history;  // over the views' group; its home is the whole axes
  CRulerEx* m_scanRuler = nullptr;
  CRulerEx* m_depthRuler = nullptr;
  CRulerEx* m_amplitudeRuler = nullptr;
  CRulerEx* m_indexRuler = nullptr;
  CCursorEx* m_index = nullptr;
  CCursorEx* m_reference = nullptr;
  CCursorEx* m_measure = nullptr;
  CCursorEx* m_depth = nullptr;
  CUnitSet* m_units = nullptr;

  CFrameWnd m_frame;
  // B-scan view.
  CGOContainer m_bscan;
  BScanImage m_image{m_data};
  CGGrid m_grid;
  CGRulerHoriz m_scanView;
  CGRulerVerti m_depthView;
  StripNumCursor m_scanCursor;     // reference, linked with the measure cursor
  StripNumCursor m_measureCursor;  // measure, linked with the reference cursor
  StripNumCursor m_depthCursor;
  CGToolSelect m_tools{&m_bscan};
  CZoom m_zoom{nullptr, 1};
  CPickPosition m_pick;
  gview_graphicViewConfig m_viewConfig;
  // A-scan view.
  CGOContainer m_ascan;
  std::unique_ptr<AScanTrace> m_trace;  // made once the reference cursor exists
  CGRulerHoriz m_amplitudeView;
  StripNumCursor m_ascanDepthCursor;
  CAdjustableCurve m_dac;
  std::unique_ptr<DacReadout> m_readout;  // made once the curve and cursors exist
  // Zoom bars, zoom log and status line.
  LoggedZoomBar m_scanBar;
  LoggedZoomBar m_depthBar;
  ZoomLog m_zoomLog;
  CStatic m_status;
  // Top view under the zoom bars (made once the B-scan and A-scan objects exist).
  std::unique_ptr<TopView> m_topView;
  // Tool bar under the views (made last, destroyed first), and the history's keys.
  std::unique_ptr<ToolBar> m_toolBar;
  std::unique_ptr<ZoomHistoryKeys> m_historyKeys;
};

}  // namespace demo
