#include "demo/tool_bar.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <vector>

#include "demo/inspection_window.h"
#include "platform/image_registry.h"

namespace demo {
namespace {

constexpr Dip kIconSize{20};
constexpr UINT kFirstIconId = 7001;  // one icon per tool, in the order of ToolBar::Tool
constexpr UINT kFirstButtonId = 300;
constexpr Dip kButtonWidth{104};
constexpr Dip kArrowWidth{40};  // the history's arrows: a picture, no caption
constexpr Dip kButtonHeight{28};
constexpr Dip kGateWidth{271};  // a 250-pixel track between the slider's margins

// The view whose cursors the status texts name.
constexpr const wchar_t* kViewName = L"B-scan";

const wchar_t* const kCaptions[ToolBar::kToolCount] = {L"Zoom",    L"Pick", L"Home", L"Reference",
                                                       L"Measure", L"",     L""};

// The buttons from left to right: the arrows beside the home button.
const ToolBar::Tool kOrder[ToolBar::kToolCount] = {
    ToolBar::kZoomTool, ToolBar::kPickTool,        ToolBar::kHomeView,     ToolBar::kBack,
    ToolBar::kForward,  ToolBar::kReferenceCursor, ToolBar::kMeasureCursor};

// A small canvas for the button pictures, 0xAARRGGBB, transparent to begin with.
class Icon {
 public:
  Icon() : m_pixels(kIconSize * kIconSize, 0u) {}
  void Set(int x, int y, std::uint32_t argb) {
    if (x >= 0 && y >= 0 && x < kIconSize && y < kIconSize) m_pixels[y * kIconSize + x] = argb;
  }
  void Rect(int x0, int y0, int x1, int y1, std::uint32_t argb) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Set(x, y, argb);
  }
  void Ring(double cx, double cy, double r, double width, std::uint32_t argb) {
    for (int y = 0; y < kIconSize; ++y)
      for (int x = 0; x < kIconSize; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (std::fabs(d - r) <= width / 2) Set(x, y, argb);
      }
  }
  bool Register(UINT id) const {
    return quarlen::RegisterIconResource(id, kIconSize, kIconSize, m_pixels.data());
  }

 private:
  std::vector<std::uint32_t> m_pixels;
};

constexpr std::uint32_t kInk = 0xFF202020u;
constexpr std::uint32_t kGlass = 0xFF3070C0u;
constexpr std::uint32_t kRedInk = 0xFFDC0000u;    // the reference cursor's colour
constexpr std::uint32_t kGreenInk = 0xFF009600u;  // the measure cursor's colour

void RegisterIcons() {
  Icon zoom;  // a magnifying glass
  zoom.Ring(8, 8, 5.5, 2.0, kGlass);
  for (int i = 0; i < 6; ++i) zoom.Rect(12 + i, 12 + i, 14 + i, 14 + i, kInk);
  zoom.Register(kFirstIconId + ToolBar::kZoomTool);

  Icon pick;  // cross hairs
  pick.Rect(9, 1, 11, 19, kInk);
  pick.Rect(1, 9, 19, 11, kInk);
  pick.Ring(10, 10, 5, 1.4, kRedInk);
  pick.Register(kFirstIconId + ToolBar::kPickTool);

  Icon home;  // a house
  for (int y = 2; y < 10; ++y) home.Rect(10 - (y - 1), y, 10 + (y - 1), y + 1, kInk);
  home.Rect(4, 10, 16, 18, kInk);
  home.Rect(8, 13, 12, 18, 0xFFF0F0F0u);
  home.Register(kFirstIconId + ToolBar::kHomeView);

  Icon reference;  // a vertical cursor line with its value box
  reference.Rect(9, 1, 11, 19, kRedInk);
  reference.Rect(4, 3, 16, 8, kRedInk);
  reference.Register(kFirstIconId + ToolBar::kReferenceCursor);

  Icon measure;
  measure.Rect(9, 1, 11, 19, kGreenInk);
  measure.Rect(4, 12, 16, 17, kGreenInk);
  measure.Register(kFirstIconId + ToolBar::kMeasureCursor);

  // Arrows: a head of three columns narrowing to the tip, and a shaft.
  Icon back, forward;
  for (int i = 0; i < 7; ++i) {
    back.Rect(3 + i, 9 - i, 4 + i, 11 + i, kInk);
    forward.Rect(16 - i, 9 - i, 17 - i, 11 + i, kInk);
  }
  back.Rect(9, 8, 17, 12, kInk);
  forward.Rect(3, 8, 11, 12, kInk);
  back.Register(kFirstIconId + ToolBar::kBack);
  forward.Register(kFirstIconId + ToolBar::kForward);
}

}  // namespace

// The bar's window: the buttons' parent, which hears their clicks, and the zoom history's
// consumer.
class ToolBar::Strip : public CWnd {
 public:
  explicit Strip(ToolBar& bar) : m_bar(bar) {}
  static void OnHistoryChanged(void*, CObject* strip, unsigned long) {
    static_cast<Strip*>(strip)->m_bar.UpdateHistoryButtons();
  }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id >= int(kFirstButtonId) &&
        id < int(kFirstButtonId) + kToolCount) {
      m_bar.OnButton(id - int(kFirstButtonId));
      return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
  }

 private:
  ToolBar& m_bar;
};

ToolBar::ToolBar(InspectionWindow& window) : m_window(window), m_strip(new Strip(*this)) {
  RegisterIcons();
  CWnd& frame = window.Frame();
  CRect client, outer;
  frame.GetClientRect(&client);
  frame.GetWindowRect(&outer);
  frame.MoveWindow(outer.left, outer.top, client.Width(), client.Height() + kHeight);

  m_strip->Create(nullptr, L"", WS_CHILD | WS_VISIBLE,
                  CRect(0, client.Height(), client.Width(), client.Height() + kHeight), &frame, 0);
  m_strip->SetBackgroundColor(GetSysColor(COLOR_BTNFACE));

  const int top = (kHeight - kButtonHeight) / 2;
  int x = Px(4);
  for (Tool i : kOrder) {
    CPButton& b = m_buttons[i];
    const int width = i == kBack || i == kForward ? kArrowWidth : kButtonWidth;
    b.Create(kCaptions[i], WS_VISIBLE | BS_OWNERDRAW, CRect(x, top, x + width, top + kButtonHeight),
             m_strip.get(), kFirstButtonId + i);
    b.SetIcon(kFirstIconId + i, kIconSize, kIconSize);
    x += width + Px(4);
  }
  m_buttons[kReferenceCursor].SetColorTab(RGB(220, 0, 0));
  m_buttons[kMeasureCursor].SetColorTab(RGB(0, 150, 0));
  m_cursorOn[kReferenceCursor] = m_cursorOn[kMeasureCursor] = true;
  SelectTool(kZoomTool);

  x += Px(8);
  m_gateLabel.Create(L"Gate", WS_CHILD | WS_VISIBLE | SS_RIGHT,
                     CRect(x, Px(10), x + Px(40), Px(28)), m_strip.get());
  x += Px(44);
  // The gate lies on the depth axis and snaps to the depth samples.
  m_gate.Create(CRect(x, top, x + kGateWidth, top + kButtonHeight), m_strip.get(), 400, nullptr, 8);
  m_gate.SetLimits(0.0, SyntheticBScan::kDepth);
  m_gate.SetFactors(SyntheticBScan::kDepthStep, 0.0);
  m_gate.SetMode(CDualSliderCtrl::eRange);
  m_gate.SetCursorColor(RGB(40, 90, 170));
  m_gate.SetBackColor(RGB(255, 255, 255));
  m_gate.SetSlidersPosition(0.005, 0.020);
  m_gate.RegisterDualSlidersListener(this);
  x += kGateWidth + Px(12);

  m_status.Create(L"", WS_CHILD | WS_VISIBLE, CRect(x, Px(10), client.Width() - Px(4), Px(28)),
                  m_strip.get());
  OnDualSlidersChanged(m_gate.m_hWnd);

  m_historyConsumer = window.History().GetConsList()->Register(
      m_strip.get(), &Strip::OnHistoryChanged, CConsumerList::priorityImmediate);
  UpdateHistoryButtons();
}

ToolBar::~ToolBar() {
  m_window.History().GetConsList()->Unregister(m_historyConsumer);
  m_gate.UnregisterDualSlidersListener(this);
  m_strip->DestroyWindow();
  for (int i = 0; i < kToolCount; ++i)
    quarlen::UnregisterImageResource(IMAGE_ICON, kFirstIconId + i);
}

CString ToolBar::StatusText() const {
  CString text;
  m_status.GetWindowText(text);
  return text;
}

void ToolBar::SetStatus(const CString& text) { m_status.SetWindowText(text.GetString()); }

void ToolBar::OnDualSlidersChanged(HWND const&) {
  double lower = 0.0, upper = 0.0;
  GetGate(lower, upper);
  CString text;
  text.Format(L"Gate %.2f .. %.2f mm", InspectionWindow::Millimetres(lower),
              InspectionWindow::Millimetres(upper));
  SetStatus(text);
}

void ToolBar::SelectTool(Tool tool) {
  // A left drag on the data runs the selected tool; the right drag keeps picking.
  m_window.Tools().AssociateTool(MK_LBUTTON, tool == kPickTool
                                                 ? static_cast<CGODynamic*>(&m_window.PickTool())
                                                 : &m_window.ZoomTool());
  m_buttons[kZoomTool].SetDefaultButton(tool == kZoomTool);
  m_buttons[kPickTool].SetDefaultButton(tool == kPickTool);
}

void ToolBar::ShowCursor(Tool tool, bool on) {
  m_cursorOn[tool] = on;
  CGNumCursor& cursor = tool == kReferenceCursor
                            ? static_cast<CGNumCursor&>(m_window.ReferenceCursor())
                            : m_window.MeasureCursor();
  cursor.EnableDraw(on ? 1 : 0);
  cursor.EnableCapture(on ? 1 : 0);
  m_window.BScan().Redraw();
  m_buttons[tool].SetTextColor(on ? 0 : RGB(128, 128, 128));
  if (on) {
    CString text;
    text.Format(tool == kReferenceCursor ? 9u : 10u, kViewName);
    SetStatus(text);
  } else {
    SetStatus(CString());
  }
}

void ToolBar::UpdateHistoryButtons() {
  m_buttons[kBack].EnableWindow(m_window.History().CanBack());
  m_buttons[kForward].EnableWindow(m_window.History().CanForward());
}

void ToolBar::OnButton(int tool) {
  switch (tool) {
    case kZoomTool:
    case kPickTool:
      SelectTool(static_cast<Tool>(tool));
      break;
    case kHomeView:
      // Every ruler of the views to its whole axis, as one step of the history.
      m_window.History().Home();
      break;
    case kBack:
      m_window.History().Back();
      break;
    case kForward:
      m_window.History().Forward();
      break;
    case kReferenceCursor:
    case kMeasureCursor:
      ShowCursor(static_cast<Tool>(tool), !m_cursorOn[tool]);
      break;
    default:
      break;
  }
}

}  // namespace demo
