#pragma once
// The demo's tool bar, a strip under the views: picture push buttons for the zoom tool, the
// pick tool, the home view, back and forward through the zoom history (each enabled while there
// is somewhere to go) and the reference / measure cursors (on and off), a dual slider
// that selects a depth gate [lower, upper] snapped to the sample grid, and a status line.
//
// The button pictures are drawn by the demo and registered as the application's icons. The
// active tool's button shows the default-button frame; a left drag on the data runs it (the
// right drag always picks). The status line shows the string table's cursor texts when a
// cursor is switched on, and the gate after every change of the slider.
#include <memory>

#include "controls/dual_slider.h"
#include "controls/picture_button.h"
#include "demo/screen_pixels.h"
#include "platform/cstring.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace demo {

class InspectionWindow;

class ToolBar : public IDualSlidersListener {
 public:
  enum Tool {
    kZoomTool,
    kPickTool,
    kHomeView,
    kReferenceCursor,
    kMeasureCursor,
    kBack,
    kForward,
    kToolCount
  };
  static constexpr Dip kHeight{36};

  // Enlarges the window's frame by the bar's height and fills the new strip.
  explicit ToolBar(InspectionWindow& window);
  ~ToolBar() override;

  CPButton& Button(Tool tool) { return m_buttons[tool]; }
  CDualSliderCtrl& Gate() { return m_gate; }
  void GetGate(double& lower, double& upper) const { m_gate.GetSlidersPosition(lower, upper); }
  CString StatusText() const;

  void OnDualSlidersChanged(HWND const& slider) override;

 private:
  class Strip;
  void OnButton(int tool);
  void SetStatus(const CString& text);
  void SelectTool(Tool tool);
  void ShowCursor(Tool tool, bool on);
  // Enables the arrows as the zoom history allows.
  void UpdateHistoryButtons();

  InspectionWindow& m_window;
  std::unique_ptr<Strip> m_strip;
  CPButton m_buttons[kToolCount];
  bool m_cursorOn[kToolCount] = {};
  CDualSliderCtrl m_gate;
  CStatic m_gateLabel;
  CStatic m_status;
  POSITION m_historyConsumer = nullptr;
};

}  // namespace demo
