// The demo's zoom history as its user drives it: the keys (Alt+Left, Alt+Right, Home) pressed in
// any of the window's views and the tool bar's arrows take every view back and forward
// together, the arrows are enabled only while there is somewhere to go, and keys pressed in
// another window leave the history alone.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <memory>

#include "axis/scale_converter.h"
#include "axis/zoom_gesture.h"
#include "demo/inspection_window.h"
#include "demo/tool_bar.h"
#include "demo/zoom_history_keys.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;
using Step = demo::ZoomHistoryKeys::Step;

namespace {

[[maybe_unused]] auto* const kEvents =
    ::testing::AddGlobalTestEnvironment(new t::EventServiceEnvironment);

TEST(ZoomHistoryKeys, KeysAndTheirSteps) {
  struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    Step step;
  } cases[] = {
      {"Alt+Left", Qt::Key_Left, Qt::AltModifier, Step::kBack},
      {"Alt+Right", Qt::Key_Right, Qt::AltModifier, Step::kForward},
      {"Home", Qt::Key_Home, Qt::NoModifier, Step::kHome},
      {"keypad Home", Qt::Key_Home, Qt::KeypadModifier, Step::kHome},
      {"Left alone", Qt::Key_Left, Qt::NoModifier, Step::kNone},
      {"Ctrl+Alt+Left", Qt::Key_Left, Qt::AltModifier | Qt::ControlModifier, Step::kNone},
      {"Alt+Home", Qt::Key_Home, Qt::AltModifier, Step::kNone},
      {"Alt+Up", Qt::Key_Up, Qt::AltModifier, Step::kNone},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(demo::ZoomHistoryKeys::StepOf(k.key, k.modifiers), k.step);
  }
}

class HistoryInTheWindowTest : public ::testing::Test {
 protected:
  using ToolBarTool = demo::ToolBar::Tool;

  static void SetUpTestSuite() {
    window = std::make_unique<demo::InspectionWindow>(CSize(400, 200));
    window->Frame().ShowWindow(SW_SHOW);
    ASSERT_TRUE(t::SettleEvents());
  }
  static void TearDownTestSuite() { window.reset(); }

  void SetUp() override {
    window->History().Home();
    window->History().Clear();
    ASSERT_TRUE(t::SettleEvents());
  }

  // What a zoom gesture would do: the scan ruler to [start, end] (metres).
  static void Zoom(double start, double end) {
    CZoomGesture gesture;
    window->ScanRuler().Set(start, end - start, 0);
  }
  static void Press(CWnd& in, int key, Qt::KeyboardModifiers m) {
    QKeyEvent press(QEvent::KeyPress, key, m);
    QCoreApplication::sendEvent(in.GetWidget(), &press);
    ASSERT_TRUE(t::SettleEvents());
  }
  static void ClickButton(ToolBarTool tool) {
    CWnd& button = window->Bar().Button(tool);
    CRect r;
    button.GetClientRect(&r);
    t::Click(button.GetSafeHwnd(), r.CenterPoint());
    ASSERT_TRUE(t::SettleEvents());
  }
  // The scan window as the B-scan's and the top view's objects map it (metres).
  static void ExpectScanShown(double start, double end) {
    for (const CSC* s :
         {window->DepthCursor().GetXScale(), window->Top().IndexCursor().GetXScale()}) {
      EXPECT_NEAR(s->GetRulOffset(), start, 1e-12);
      EXPECT_NEAR(s->GetRulOffset() + s->GetRulRange(), end, 1e-12);
    }
  }
  static bool Enabled(ToolBarTool tool) {
    return window->Bar().Button(tool).IsWindowEnabled() != 0;
  }

  static inline std::unique_ptr<demo::InspectionWindow> window;
};

TEST_F(HistoryInTheWindowTest, KeysInEveryViewAndTheArrowsStepThroughTheZooms) {
  Zoom(0.050, 0.150);
  Zoom(0.080, 0.120);
  ASSERT_TRUE(t::SettleEvents());
  EXPECT_TRUE(Enabled(demo::ToolBar::kBack));
  EXPECT_FALSE(Enabled(demo::ToolBar::kForward));
  struct Case {
    const char* name;
    CWnd* in;  // the view that has the key press, or null for a tool-bar click
    int key;   // or the button
    double start, end;
    bool back, forward;  // arrows enabled afterwards
  } cases[] = {
      {"Alt+Left in the B-scan", &window->BScan(), Qt::Key_Left, 0.050, 0.150, true, true},
      {"Alt+Left in the A-scan", &window->AScan(), Qt::Key_Left, 0.0, 0.300, false, true},
      {"Alt+Left with nothing behind", &window->BScan(), Qt::Key_Left, 0.0, 0.300, false, true},
      {"forward arrow", nullptr, demo::ToolBar::kForward, 0.050, 0.150, true, true},
      {"Alt+Right in the top view", &window->Top().View(), Qt::Key_Right, 0.080, 0.120, true,
       false},
      {"back arrow", nullptr, demo::ToolBar::kBack, 0.050, 0.150, true, true},
      {"Home in the scan bar", &window->ScanBar(), Qt::Key_Home, 0.0, 0.300, true, false},
      {"back from home", nullptr, demo::ToolBar::kBack, 0.050, 0.150, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    if (k.in != nullptr) {
      Press(*k.in, k.key, k.key == Qt::Key_Home ? Qt::NoModifier : Qt::AltModifier);
    } else {
      ClickButton(static_cast<ToolBarTool>(k.key));
    }
    EXPECT_NEAR(window->ScanRuler().GetStart(), k.start, 1e-12);
    EXPECT_NEAR(window->ScanRuler().GetEnd(), k.end, 1e-12);
    ExpectScanShown(k.start, k.end);
    EXPECT_EQ(Enabled(demo::ToolBar::kBack), k.back);
    EXPECT_EQ(Enabled(demo::ToolBar::kForward), k.forward);
  }
}

TEST_F(HistoryInTheWindowTest, KeysInAnotherWindowAreNotTheHistorys) {
  Zoom(0.050, 0.150);
  CFrameWnd other;
  other.Create(nullptr, L"other", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
  Press(other, Qt::Key_Left, Qt::AltModifier);
  Press(other, Qt::Key_Home, Qt::NoModifier);
  EXPECT_NEAR(window->ScanRuler().GetStart(), 0.050, 1e-12);
  EXPECT_EQ(window->History().GetBackCount(), 1);
  other.DestroyWindow();
}

TEST_F(HistoryInTheWindowTest, HomeButtonShowsEveryWholeAxisAsOneStep) {
  Zoom(0.050, 0.150);
  {
    CZoomGesture gesture;
    window->DepthRuler().Set(0.010, 0.010, 0);
    window->IndexRuler().Set(0.020, 0.020, 0);
  }
  ClickButton(demo::ToolBar::kHomeView);
  EXPECT_NEAR(window->ScanRuler().GetRange(), 0.300, 1e-12);
  EXPECT_NEAR(window->DepthRuler().GetEnd(), 0.050, 1e-12);
  EXPECT_NEAR(window->IndexRuler().GetStart(), 0.0, 1e-12);
  EXPECT_EQ(window->History().GetBackCount(), 3);
  ClickButton(demo::ToolBar::kBack);
  EXPECT_NEAR(window->DepthRuler().GetStart(), 0.010, 1e-12);
  EXPECT_NEAR(window->IndexRuler().GetStart(), 0.020, 1e-12);
  EXPECT_NEAR(window->ScanRuler().GetStart(), 0.050, 1e-12);
}

}  // namespace
