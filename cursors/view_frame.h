#pragma once
// CGOViewFrame: a data view with its rulers as one window. It holds a container (CGOContainer),
// the horizontal ruler view under it, the vertical ruler view left of it and, when asked, a zoom
// bar under the horizontal ruler view and one left of the vertical ruler view:
//
//   +-----+--------+---------------------------+
//   | bar | ruler  |        container          |
//   |     |  view  |                           |
//   +-----+--------+---------------------------+
//                  |   horizontal ruler view   |
//                  +---------------------------+
//                  |      horizontal bar       |
//                  +---------------------------+
//
// The ruler views and bars keep their thickness (kRulerHeight, kRulerWidth, kBarThickness, at
// 96 DPI and scaled for the screen) and the container takes the rest. The frame lays its parts
// out again whenever its own size changes (MoveWindow, or the Qt layout its widget sits in), so
// an application embeds a whole view by creating the frame as a child of its window and adding
// GetWidget() to a layout.
//
// Grow flags: the frame takes the container's (gocont_enumGrow) and gives each ruler view the
// flag of the same direction (gruler_enumGrow), so values are always drawn beside their labels.
//
// The parts are members of the frame: the application configures them through the accessors
// (objects into the container, colours, the bars' home ranges) and never destroys them. The
// rulers and units are not owned; they must outlive the frame (or the frame's window).
// Objects added to the container follow the container's rules. All calls belong to the thread
// that created the window.
#include "cursors/zoom_bar.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "platform/window.h"

class CRuler;
class CUnit;

// Parts of a CGOViewFrame beside its container and ruler views (flags of Create).
enum viewframe_enumParts : UINT {
  viewframe_noZoomBar = 0,
  viewframe_horizZoomBar = 0x1,  // a zoom bar under the horizontal ruler view
  viewframe_vertiZoomBar = 0x2,  // a zoom bar left of the vertical ruler view
  viewframe_zoomBars = 0x3,
};

class QUARLEN_API CGOViewFrame : public CWnd {
  DECLARE_DYNAMIC(CGOViewFrame)

 public:
  // Thickness of the strips, in pixels at 96 DPI.
  static constexpr int kRulerHeight = 28;   // horizontal ruler view
  static constexpr int kRulerWidth = 34;    // vertical ruler view
  static constexpr int kBarThickness = 18;  // zoom bars

  // Control ids of the parts (children of the frame).
  enum : UINT {
    idContainer = 1,
    idHorizView = 2,
    idVertiView = 3,
    idHorizBar = 4,
    idVertiBar = 5,
  };

  // Where the parts go in a client area; a rectangle is empty for a part the frame lacks.
  struct Layout {
    CRect container;
    CRect horizView;
    CRect vertiView;
    CRect horizBar;
    CRect vertiBar;
  };

  CGOViewFrame();
  ~CGOViewFrame() override;

  using CWnd::Create;
  // Creates the frame as a visible child of parent at rect (parent client coordinates) with its
  // parts: the container over the rulers x and y with the grow flags xGrow and yGrow, the two
  // ruler views showing x and y, and the zoom bars `parts` asks for (bound to x and y). FALSE
  // when a window could not be created (then nothing is left behind).
  BOOL Create(CWnd* parent, UINT id, const CRect& rect, CRuler* x, CRuler* y,
              int xGrow = gocont_growRight, int yGrow = gocont_growUp,
              UINT parts = viewframe_zoomBars);

  // Display units of the labels (not owned): the ruler views' and the zoom bars'. Null for
  // none (a part without display unit draws no ticks).
  void SetDisplayUnits(CUnit* x, CUnit* y);

  CGOContainer* GetContainer() { return &m_container; }
  CGRulerHoriz* GetHorizView() { return &m_horizView; }
  CGRulerVerti* GetVertiView() { return &m_vertiView; }
  // Null when the frame has no such bar.
  CZoomBar* GetHorizBar() { return (m_parts & viewframe_horizZoomBar) ? &m_horizBar : nullptr; }
  CZoomBar* GetVertiBar() { return (m_parts & viewframe_vertiZoomBar) ? &m_vertiBar : nullptr; }

  // The layout of the frame's parts for a client area of cx x cy pixels.
  Layout GetLayout(int cx, int cy) const;
  // Moves every part to its place for the current client area.
  void RecalcLayout();

 protected:
  afx_msg void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

 private:
  UINT m_parts = viewframe_noZoomBar;
  bool m_created = false;
  CGOContainer m_container;
  CGRulerHoriz m_horizView;
  CGRulerVerti m_vertiView;
  CZoomBar m_horizBar;
  CZoomBar m_vertiBar;
};
