#include "cursors/pick_position.h"

#include "cursor_fixture.h"
#include "notify/consumer_list.h"

using namespace curtest;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

TEST(PickPositionSnap, StepGrids) {
  struct Case {
    double in, out;
  } cases[] = {{14.9, 10.0}, {15.0, 20.0}, {-5.1, -10.0}, {0.0, 0.0}};
  CPickPosition pick;
  for (const Case& k : cases) EXPECT_DOUBLE_EQ(pick.NearestX(k.in), k.in);  // disabled
  pick.EnableStepX(1, 10.0, 0.0);
  for (const Case& k : cases) EXPECT_DOUBLE_EQ(pick.NearestX(k.in), k.out) << k.in;
  pick.EnableStepY(1, 0.5, 0.25);
  EXPECT_DOUBLE_EQ(pick.NearestY(0.9), 0.75);
  EXPECT_DOUBLE_EQ(pick.NearestY(1.0), 1.25);
  pick.EnableStepY(1, 0.0, 0.0);  // no grid: unchanged
  EXPECT_DOUBLE_EQ(pick.NearestY(1.3), 1.3);
}

class PickPositionTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    xPos.Create(L"x", &scanAxis, 0.0, 0);
    yPos.Create(L"y", &indexAxis, 0.0, 0);
    list.Register(nullptr, &Told, CConsumerList::priorityImmediate);
  }
  void TearDown() override {
    containers.clear();
    CursorTest::TearDown();
  }
  void Add(CPosition* first, CPosition* second, int index) {
    pick.Create(&config, &list, index, first, second);
    c->AddDynamic(&pick, CGOContainer::top);
    Deliver();
  }
  void Pick(POINT from, POINT to) {
    MousePress(Hwnd(), from);
    MouseMove(Hwnd(), to);
    MouseRelease(Hwnd(), to);
    Pump();
  }
  static void Told(void*, CObject*, unsigned long) { ++told; }

  static inline int told = 0;
  CPosition xPos, yPos;
  gview_graphicViewConfig config;
  CConsumerList list;
  CPickPosition pick;
};

TEST_F(PickPositionTest, PickSetsBothPositionsWithSnapping) {
  Add(&xPos, &yPos, 0);
  pick.EnableStepX(1, 10.0, 0.0);
  Pick({20, 20}, {43, 31});
  EXPECT_FALSE(pick.IsSwapped());
  EXPECT_DOUBLE_EQ(xPos.GetValue(), 40.0);
  EXPECT_DOUBLE_EQ(yPos.GetValue(), pick.GetYScale()->PixelToPos(31));
  c->Remove(&pick);
}

TEST_F(PickPositionTest, SwappedAxesFeedTheFirstPositionFromY) {
  Add(&yPos, &xPos, 0);  // the first position lies on the vertical ruler's axis
  EXPECT_TRUE(pick.IsSwapped());
  Pick({20, 20}, {43, 31});
  EXPECT_DOUBLE_EQ(yPos.GetValue(), pick.GetYScale()->PixelToPos(31));
  EXPECT_DOUBLE_EQ(xPos.GetValue(), pick.GetXScale()->PixelToPos(43));
  c->Remove(&pick);
}

TEST_F(PickPositionTest, MarkAndCounterChangeOnlyOnTheFirstPick) {
  struct Case {
    int index;
    std::int32_t gview_graphicViewConfig::*mark;
    std::int32_t gview_graphicViewConfig::*other;
  } cases[] = {{0, &gview_graphicViewConfig::picked2, &gview_graphicViewConfig::picked1},
               {3, &gview_graphicViewConfig::picked1, &gview_graphicViewConfig::picked2}};
  for (const Case& k : cases) {
    config = {};
    told = 0;
    Add(&xPos, &yPos, k.index);
    Pick({10, 10}, {20, 20});
    EXPECT_EQ(config.*k.mark, 1);
    EXPECT_EQ(config.*k.other, 0);
    EXPECT_EQ(config.changeCounter, 1);
    EXPECT_EQ(told, 1);
    Pick({30, 30}, {40, 40});
    EXPECT_EQ(config.changeCounter, 1);
    EXPECT_EQ(told, 1);
    EXPECT_DOUBLE_EQ(xPos.GetValue(), pick.GetXScale()->PixelToPos(40));
    config.*k.mark = 0;  // the application asks to hear of the next pick
    Pick({30, 30}, {40, 40});
    EXPECT_EQ(config.changeCounter, 2);
    EXPECT_EQ(told, 2);
    c->Remove(&pick);
  }
}

TEST_F(PickPositionTest, PositionsAreLoggedOnceAtTheEnd) {
  EventRecorder rec;
  rec.Listen(event_positionLog);
  Add(&xPos, &yPos, 0);
  MousePress(Hwnd(), {10, 10});
  MouseMove(Hwnd(), {20, 20});
  MouseMove(Hwnd(), {30, 25});
  Pump();
  EXPECT_TRUE(rec.seen.empty());
  MouseRelease(Hwnd(), {35, 25});
  Pump();
  EXPECT_EQ(rec.Count(event_positionLog, xPos.GetID()), 1);
  EXPECT_EQ(rec.Count(event_positionLog, yPos.GetID()), 1);
  EXPECT_DOUBLE_EQ(xPos.GetValue(), pick.GetXScale()->PixelToPos(35));
  c->Remove(&pick);
}

TEST_F(PickPositionTest, DisabledCaptureDoesNothing) {
  Add(&xPos, nullptr, 0);
  pick.EnableCapture(0);
  CPoint pt(50, 50);
  EXPECT_EQ(pick.OnBeginCapture(&pt, MK_LBUTTON), 0);
  EXPECT_DOUBLE_EQ(xPos.GetValue(), 0.0);
  EXPECT_EQ(config.changeCounter, 0);
  c->Remove(&pick);
}

}  // namespace
