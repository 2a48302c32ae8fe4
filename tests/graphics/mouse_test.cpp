// Container mouse input: the capture state machine, modifier notices, the forwarded right
// press, pointer shapes and hover focus; removal and destruction during a drag.
#include "tests/graphics/graphics_fixture.h"

namespace gfxtest {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class MouseTest : public ContainerTest {
 protected:
  void SetUp() override {
    ContainerTest::SetUp();
    a = Make("a", CRect(10, 10, 30, 30), kRed);
    t = Make("t", CRect(0, 0, 0, 0), kBlue);
    t->hitEverywhere = 1;
    c->AddDynamic(a, 0);
    c->AddTracking(t);
    frame->Take();
    TakeLog();
  }
  bool Captured() const { return ::GetCapture() == c->m_hWnd; }
  bool Clipped() const {
    CRect r;
    ::GetClipCursor(&r);
    CRect client(0, 0, kW, kH);
    c->ClientToScreen(&client);
    return r == client;
  }
  Box* a = nullptr;
  Box* t = nullptr;
};

TEST_F(MouseTest, LeftDragOfAnObject) {
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  EXPECT_TRUE(Captured());
  EXPECT_TRUE(Clipped());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 16, 17);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 50, 60);
  Mouse(WM_LBUTTONUP, 0, 51, 61);
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "a.update(16,17,1)", "a.update(50,60,5)",
                            "a.end(51,61,0)"}));
  EXPECT_FALSE(Captured());
  CRect r;
  ::GetClipCursor(&r);
  EXPECT_FALSE(Clipped());
  EXPECT_TRUE(frame->Take().empty());
}

// The same protocol through real input translation (each event preceded by WM_SETCURSOR).
TEST_F(MouseTest, InjectedInputDrivesTheStateMachine) {
  using namespace quarlen::test;
  HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  a->SetCursor(reinterpret_cast<HICON>(hand));
  // WM_SETCURSOR comes before the move it belongs to and uses the last position the container
  // saw, so the shape follows from the second message over the object on.
  MouseMove(c->m_hWnd, {15, 15});
  MouseMove(c->m_hWnd, {16, 15});
  EXPECT_EQ(::GetCursor(), hand);
  MousePress(c->m_hWnd, {15, 15});
  EXPECT_TRUE(Captured());
  MouseMove(c->m_hWnd, {20, 22});
  MouseRelease(c->m_hWnd, {20, 22});
  EXPECT_FALSE(Captured());
  DoubleClick(c->m_hWnd, {60, 60});
  Pump();
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "a.update(20,22,1)", "a.end(20,22,0)",
                            "t.begin(60,60,16384)", "t.end(60,60,0)"}));
  MousePress(c->m_hWnd, {40, 40}, Button::Left, kShift);
  MouseRelease(c->m_hWnd, {40, 40}, Button::Left, kShift);
  Pump();
  EXPECT_EQ(frame->Take(), (std::vector<ParentMessage>{{1026, 32088, 0}, {1026, 0, 0}}));
}

TEST_F(MouseTest, ObjectTakenToTopOfDynamicLayer) {
  Box* b = Make("b", CRect(50, 50, 60, 60), kBlue);
  c->AddDynamic(b, 0);
  EXPECT_EQ(c->GetHighestObject(), b);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  EXPECT_EQ(c->GetHighestObject(), a);
  Mouse(WM_LBUTTONUP, 0, 15, 15);
}

struct PrecisionCase {
  const char* name;
  CSize precision;
  int dx, dy;
  bool starts;
};

class TrackingPickPrecision : public MouseTest,
                              public ::testing::WithParamInterface<PrecisionCase> {};

// A press on empty space hands the drag to the tracking object once the pointer has left the
// pick precision; the tracking object begins at the press point.
TEST_P(TrackingPickPrecision, StartsBeyondPrecision) {
  t->SetPickPrecision(GetParam().precision);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 60, 50);
  EXPECT_FALSE(Captured());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 60 + GetParam().dx, 50 + GetParam().dy);
  if (GetParam().starts) {
    EXPECT_EQ(TakeLog(), (Log{"t.begin(60,50,1)"}));
    EXPECT_TRUE(Captured());
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 70, 70);
    Mouse(WM_LBUTTONUP, 0, 70, 70);
    EXPECT_EQ(TakeLog(), (Log{"t.update(70,70,1)", "t.end(70,70,0)"}));
  } else {
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_FALSE(Captured());
    Mouse(WM_LBUTTONUP, 0, 60, 50);
  }
  EXPECT_FALSE(Captured());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrackingPickPrecision,
    ::testing::Values(PrecisionCase{"FiveDoesNotStart", CSize(5, 5), 5, -5, false},
                      PrecisionCase{"SixStartsX", CSize(5, 5), 6, 0, true},
                      PrecisionCase{"SixStartsY", CSize(5, 5), 0, -6, true},
                      PrecisionCase{"WiderPrecision", CSize(10, 2), 8, 2, false},
                      PrecisionCase{"NarrowY", CSize(10, 2), 0, 3, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(MouseTest, RefusedBeginFallsBackToTracking) {
  a->accept = 0;
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 25, 15);
  Mouse(WM_LBUTTONUP, 0, 25, 15);
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "t.begin(15,15,1)", "t.end(25,15,0)"}));
}

struct ModifierCase {
  const char* name;
  UINT flags;
  WPARAM notice;
};

class ModifierNotices : public MouseTest, public ::testing::WithParamInterface<ModifierCase> {};

TEST_P(ModifierNotices, SentToParentFrameAtPressAndRelease) {
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON | GetParam().flags, 15, 15);
  Mouse(WM_LBUTTONUP, GetParam().flags, 15, 15);
  std::vector<ParentMessage> expected;
  if (GetParam().notice != 0) expected = {{1026, GetParam().notice, 0}, {1026, 0, 0}};
  EXPECT_EQ(frame->Take(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ModifierNotices,
    ::testing::Values(ModifierCase{"ShiftControl", MK_SHIFT | MK_CONTROL, 32086},
                      ModifierCase{"Shift", MK_SHIFT, 32088},
                      ModifierCase{"Control", MK_CONTROL, 32168},
                      ModifierCase{"Plain", 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(MouseTest, AbandonedDragSkipsEndAndClosesNotice) {
  a->keepDragging = 0;
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 15, 15);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, 20, 20);
  EXPECT_FALSE(Captured());
  EXPECT_FALSE(Clipped());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, 25, 25);  // idle again: nothing happens
  Mouse(WM_LBUTTONUP, MK_CONTROL, 25, 25);
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "a.update(20,20,9)"}));
  EXPECT_EQ(frame->Take(), (std::vector<ParentMessage>{{1026, 32168, 0}, {1026, 0, 0}}));
}

struct PressCase {
  const char* name;
  UINT msg;
  UINT flags;
  int x, y;
  Log expected;
  bool forwarded;
};

class PressesStartingAtOnce : public MouseTest,
                              public ::testing::WithParamInterface<PressCase> {};

// Right presses and double-clicks start a capture at once; only a plain right press is
// forwarded to the owner.
TEST_P(PressesStartingAtOnce, BeginImmediately) {
  const PressCase& k = GetParam();
  Mouse(k.msg, k.flags, k.x, k.y);
  EXPECT_TRUE(Captured());
  EXPECT_EQ(TakeLog(), k.expected);
  std::vector<ParentMessage> fwd;
  if (k.forwarded) fwd = {{WM_RBUTTONDOWN, 2, At(k.x, k.y)}};
  EXPECT_EQ(frame->Take(), fwd);
  Mouse(WM_RBUTTONUP, 0, k.x, k.y);
  EXPECT_FALSE(Captured());
}

INSTANTIATE_TEST_SUITE_P(
    Table, PressesStartingAtOnce,
    ::testing::Values(
        PressCase{"RightOnObject", WM_RBUTTONDOWN, MK_RBUTTON, 15, 15, {"a.begin(15,15,2)"}, true},
        PressCase{"RightOnEmptySpace", WM_RBUTTONDOWN, MK_RBUTTON, 60, 60, {"t.begin(60,60,2)"},
                  true},
        PressCase{"ShiftRightNotForwarded", WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 15, 15,
                  {"a.begin(15,15,6)"}, false},
        PressCase{"LeftDoubleClick", WM_LBUTTONDBLCLK, MK_LBUTTON, 15, 15,
                  {"a.begin(15,15,16384)"}, false},
        PressCase{"RightDoubleClick", WM_RBUTTONDBLCLK, MK_RBUTTON | MK_CONTROL, 60, 60,
                  {"t.begin(60,60,32776)"}, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(MouseTest, DynamicPickDisabledNeitherPicksNorPresses) {
  c->EnableDynamicPick(0);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 40, 40);
  Mouse(WM_LBUTTONUP, 0, 40, 40);
  Mouse(WM_RBUTTONDOWN, MK_RBUTTON, 15, 15);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_FALSE(Captured());
  EXPECT_EQ(frame->Take().size(), 1u);  // the right press is still forwarded
}

TEST_F(MouseTest, PointerShapeFromObjectUnderPointer) {
  HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  HCURSOR size = ::LoadCursorW(nullptr, IDC_SIZEALL);
  a->SetCursor(reinterpret_cast<HICON>(hand));
  t->SetCursor(reinterpret_cast<HICON>(size));
  const WPARAM self = reinterpret_cast<WPARAM>(c->m_hWnd);
  Mouse(WM_MOUSEMOVE, 0, 15, 15);
  EXPECT_EQ(c->SendMessage(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(::GetCursor(), hand);
  Mouse(WM_MOUSEMOVE, 0, 60, 60);
  EXPECT_EQ(c->SendMessage(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(::GetCursor(), size);
  a->EnableCapture(0);
  t->EnableCapture(0);
  Mouse(WM_MOUSEMOVE, 0, 15, 15);
  c->SendMessage(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(::GetCursor(), hand);
}

class Consumer : public IObjectFocusedConsumer {
 public:
  std::vector<int> told;
  Box* resetOn = nullptr;
  void OnObjectFocused(int focused) override {
    told.push_back(focused);
    // What an application does: take the focus change into account and clear the mark.
    if (resetOn != nullptr) {
      resetOn->SetFocus(focused);
      resetOn->SetFocusedStateModified(0);
    }
  }
};

class HoverFocus : public MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    f = Make("f", CRect(50, 10, 70, 30), kBlue);
    f->EnableCapture(0);
    f->EnableFocusing(1);
    c->AddDynamic(f, 1);
    c->RegisterToFocusNotification(&consumer);
    consumer.resetOn = f;
  }
  void PointerAt(int x, int y) {
    Mouse(WM_MOUSEMOVE, 0, x, y);
    c->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(c->m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
  Box* f = nullptr;
  Consumer consumer;
};

TEST_F(HoverFocus, EnterAndLeaveNotifyConsumers) {
  PointerAt(5, 70);
  EXPECT_TRUE(consumer.told.empty());
  PointerAt(60, 20);
  EXPECT_EQ(consumer.told, (std::vector<int>{1}));
  EXPECT_EQ(f->IsFocused(), 1);
  PointerAt(62, 22);  // still inside: nothing new
  EXPECT_EQ(consumer.told, (std::vector<int>{1}));
  PointerAt(90, 70);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 0}));
  EXPECT_EQ(f->IsFocused(), 0);
  PointerAt(91, 71);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 0}));
}

TEST_F(HoverFocus, InvisibleObjectGainsNoFocus) {
  f->SetVisible(0);
  PointerAt(60, 20);
  EXPECT_TRUE(consumer.told.empty());
}

TEST_F(HoverFocus, KeepFocusStateSurvivesLeavingObjectAndWindow) {
  PointerAt(60, 20);
  f->SetObjectState(eObjectStateKeepFocus);
  PointerAt(90, 70);
  c->SendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(consumer.told, (std::vector<int>{1}));
  f->SetObjectState(eObjectStateNormal);
  c->SendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 0}));
  EXPECT_EQ(f->IsFocusedStateModified(), 0);  // the consumer cleared it
}

TEST_F(HoverFocus, DuplicateRegistrationNotifiesTwiceUntilUnregistered) {
  consumer.resetOn = nullptr;
  c->RegisterToFocusNotification(&consumer);
  PointerAt(60, 20);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 1}));
  c->UnregisterToFocusNotification(&consumer);
  c->SendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(f->IsFocusedStateModified(), 1);
  c->UnregisterToFocusNotification(&consumer);
  c->SendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(consumer.told, (std::vector<int>{1, 1, 0}));
}

TEST_F(MouseTest, RemovingCapturedObjectEndsDragWithoutCallingIt) {
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 15, 15);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 16, 16);
  frame->Take();
  c->Remove(a);
  objects.erase(objects.begin());  // the application deletes it
  EXPECT_FALSE(Captured());
  EXPECT_FALSE(Clipped());
  EXPECT_EQ(frame->Take(), (std::vector<ParentMessage>{{1026, 0, 0}}));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 17, 17);
  Mouse(WM_LBUTTONUP, 0, 17, 17);
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "a.update(16,16,1)", "a.destroyWnd"}));
}

TEST_F(MouseTest, RemovingTrackingObjectDuringItsDragEndsIt) {
  Mouse(WM_RBUTTONDOWN, MK_RBUTTON, 60, 60);
  c->Remove(t);
  EXPECT_FALSE(Captured());
  Mouse(WM_MOUSEMOVE, MK_RBUTTON, 61, 61);
  Mouse(WM_RBUTTONUP, 0, 61, 61);
  EXPECT_EQ(TakeLog(), (Log{"t.begin(60,60,2)"}));
}

TEST_F(MouseTest, DestroyingContainerDuringDragReleasesCapture) {
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  ASSERT_TRUE(Captured());
  c->DestroyWindow();
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(TakeLog(), (Log{"a.begin(15,15,1)", "a.destroyWnd", "t.destroyWnd"}));
}

}  // namespace
}  // namespace gfxtest
