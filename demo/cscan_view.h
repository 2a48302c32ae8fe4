#pragma once
// The demo's top view (C-scan): for every scan position and index of the synthetic volume, the
// largest amplitude inside a depth gate, drawn by the application in a 3D static control.
//
// The control (TopViewControl) is a hidden child window of a container (CGOContainer) over its
// whole client area; a CD3DStaticObject ties it into the container as the background. When the
// scan or index ruler changes, the container rescales the object, which copies the visible axis
// window into the control; when the container paints, the control draws the top view into the
// container's DC from that window. So a zoom of the scan ruler moves the top view together with
// the B-scan, and nothing else repaints it: the top view holds no scan cursor, and a drag of a
// B-scan cursor leaves it alone.
//
// The index cursor lies across the top view; the B-scan (and the A-scan with its readout) show
// the scan line it selects. The gate comes from the tool bar's dual slider.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/d3d_static.h"
#include "controls/dual_slider.h"
#include "cursors/zoom.h"
#include "demo/scan_views.h"
#include "demo/screen_pixels.h"
#include "demo/synthetic_data.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "graphics/tool_select.h"
#include "platform/dialog.h"
#include "platform/gdi.h"

class CCursorEx;
class CRulerEx;
class CUnit;

namespace demo {

class TopViewControl : public CD3DStaticCtrl {
 public:
  explicit TopViewControl(const SyntheticVolume& volume);
  ~TopViewControl() override;

  // The depth gate [lower, upper] (m): recomputes the amplitudes the view shows. An empty gate
  // (lower above upper, beside the data, NaN) shows zeros. GUI thread, like OnDraw.
  void SetGate(double lower, double upper);
  void GetGate(double* lower, double* upper) const;
  // The top view's amplitude (0..255) at a scan position and index (m); -1 outside the data.
  // GUI thread.
  int AmplitudeAt(double scan, double index) const;
  // How many times the view has been drawn.
  int DrawCount() const { return m_draws.load(); }

  // Draws the top view over the control's client area, placed at the DC's origin (the control
  // lies over its container's client area): column x shows the scan position
  // offset + start + x * range / width, and likewise for the rows and the index (from the
  // bottom when vertically inverted); each pixel is the palette colour of the nearest sample.
  void OnDraw(CDC* dc) override;

 private:
  // What the kept image was rendered for: size, axis windows, orientation and gate.
  struct View {
    int width, height;
    double left, hRange, top, vRange;
    int inverted;
    unsigned gate;
    bool operator==(const View&) const = default;
  };
  void Render(const View& view);

  const SyntheticVolume& m_volume;
  double m_lower = 0.0, m_upper = 0.0;
  std::vector<std::uint8_t> m_top;  // line-major amplitudes of the gate
  unsigned m_gateSerial = 0;        // counts the gate changes
  std::unique_ptr<CBitmap> m_image;
  View m_view{};
  std::atomic<int> m_draws{0};
};

// The top view with its rulers and index cursor, placed under the B-scan at the same horizontal
// extent so that the scan positions of both views line up.
class TopView : public IDualSlidersListener {
 public:
  struct Setup {
    CWnd* parent;
    CRect area;      // the view's rectangle in the parent (rulers go left of and below it)
    CRulerEx* scan;  // shared with the B-scan
    CRulerEx* index;
    CCursorEx* indexCursor;
    CUnit* scanUnit;  // display units of the ruler views and the cursor
    CUnit* indexUnit;
    SyntheticBScan* bscan;  // its line follows the index cursor
    // Called (on any thread) after the B-scan's line changed, to repaint what shows it.
    std::function<void()> onLineChanged;
  };
  static constexpr Dip kRulerHeight{28};
  static constexpr Dip kRulerWidth{34};
  static constexpr Dip kLabelWidth{240};

  explicit TopView(const Setup& setup);
  ~TopView() override;
  TopView(const TopView&) = delete;
  TopView& operator=(const TopView&) = delete;

  CGOContainer& View() { return m_view; }
  TopViewControl& Control() { return m_control; }
  StripNumCursor& IndexCursor() { return m_indexCursor; }
  CGRulerHoriz& ScanRulerView() { return m_scanView; }
  CGRulerVerti& IndexRulerView() { return m_indexView; }
  // The gate label's text.
  CString LabelText() const;

  // Shows the gate of `gate` and follows its user changes from now on; null lets go of it.
  void FollowGate(CDualSliderCtrl* gate);
  void OnDualSlidersChanged(HWND const& slider) override;

 private:
  static void OnPositionEvent(void* self, unsigned id, std::uintptr_t a, std::uintptr_t b);
  void FollowIndex();
  void ShowGate(double lower, double upper);

  Setup m_setup;
  CGOContainer m_view;
  TopViewControl m_control;
  CD3DStaticObject m_object{&m_control};
  CGRulerHoriz m_scanView;
  CGRulerVerti m_indexView;
  StripNumCursor m_indexCursor;
  CGToolSelect m_tools{&m_view};
  CZoom m_zoom{nullptr, 1};
  CStatic m_label;
  CDualSliderCtrl* m_gate = nullptr;
  unsigned m_client = 0;
};

}  // namespace demo
