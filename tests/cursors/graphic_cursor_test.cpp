#include "cursors/graphic_cursor.h"

#include <climits>
#include <cmath>

#include "cursor_fixture.h"

using namespace curtest;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

class GraphicCursorTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    pos.Create(L"ref", &scanAxis, 30.0, 0);
    cursor.Create(&pos);
    cursor.SetColor(kRed);
    c->AddDynamic(&cursor, CGOContainer::top);
    Deliver();
  }
  void TearDown() override {
    containers.clear();  // the containers go before the cursor they show
    CursorTest::TearDown();
  }
  CPosition pos;
  CGCursor cursor;
};

TEST_F(GraphicCursorTest, DragRepaintsOnlyTheStripsAndWritesThePosition) {
  ASSERT_TRUE(cursor.IsFollowingX());
  EXPECT_EQ(ColumnsOf(c, 40, kRed), std::vector<int>{30});

  MousePress(Hwnd(), {31, 40});
  Pump();
  PaintSentinel(c);  // whatever is repainted from now on shows up
  MouseMove(Hwnd(), {60, 40}, 0);
  Pump();

  EXPECT_DOUBLE_EQ(pos.GetValue(), cursor.GetXScale()->PixelToPos(60));
  EXPECT_EQ(Pixel(c, 60, 40), kRed);
  EXPECT_EQ(Pixel(c, 30, 40), kWhite);
  // The two strips [30, 32) and [60, 62) were repainted, nothing else.
  for (int x = 0; x < kW; ++x) {
    const bool strip = (x >= 30 && x < 32) || (x >= 60 && x < 62);
    EXPECT_EQ(Pixel(c, x, 10) != kSentinel, strip) << "column " << x;
  }
  MouseRelease(Hwnd(), {60, 40});
  Pump();
  EXPECT_FALSE(cursor.IsCaptured());
  quarlen::test::SavePixelsIfFailed(Hwnd(), "drag");
}

TEST_F(GraphicCursorTest, SecondViewOfThePositionFollowsAfterTheTickPass) {
  CGOContainer* c2 = MakeContainer(150);
  CGCursor other;
  other.Create(&pos);
  other.SetColor(kBlue);
  c2->AddDynamic(&other, CGOContainer::top);
  Deliver();
  ASSERT_EQ(ColumnsOf(c2, 40, kBlue), std::vector<int>{30});

  MousePress(Hwnd(), {30, 40});
  MouseMove(Hwnd(), {75, 40});
  MouseRelease(Hwnd(), {75, 40});
  Pump();
  EXPECT_TRUE(quarlen::test::PumpUntil([&] { return Pixel(c2, 75, 40) == kBlue; }));
  EXPECT_EQ(ColumnsOf(c2, 40, kBlue), std::vector<int>{75});
  c2->Remove(&other);
}

TEST_F(GraphicCursorTest, ApplicationChangeMovesTheLine) {
  pos.SetValue(12.0, 1);
  EXPECT_TRUE(quarlen::test::PumpUntil([&] { return Pixel(c, 12, 5) == kRed; }));
  EXPECT_EQ(ColumnsOf(c, 5, kRed), std::vector<int>{12});
}

TEST_F(GraphicCursorTest, BrokenLineShowsTheAlternateColourAndShadow) {
  cursor.SetLineType(PS_DOT);
  cursor.SetAlternateColor(kGreen);
  cursor.EnableShadow(1, kBlue);
  Deliver();
  int red = 0, green = 0;
  for (int y = 0; y < kH; ++y) {
    red += Pixel(c, 30, y) == kRed;
    green += Pixel(c, 30, y) == kGreen;
    EXPECT_EQ(Pixel(c, 31, y), kBlue);
  }
  EXPECT_GT(red, 10);
  EXPECT_GT(green, 10);
  EXPECT_EQ(red + green, kH);
}

TEST_F(GraphicCursorTest, InvalidationRules) {
  c->Remove(&cursor);  // nothing collects the update region now
  cursor.AckNewData();
  cursor.InvalidateNewPos(CGCursor::kNoValue);
  EXPECT_FALSE(cursor.IsModified());
  cursor.InvalidateNewPos(30.0);  // the drawn value
  EXPECT_FALSE(cursor.IsModified());
  cursor.InvalidateNewPos(30.0 + 1e-9);  // nearly equal
  EXPECT_FALSE(cursor.IsModified());
  pos.SetValue(cursor.GetXScale()->PixelToPos(30), 0);
  c->AddDynamic(&cursor, CGOContainer::top);
  Deliver();
  c->Remove(&cursor);
  cursor.AckNewData();  // commits the value the cursor was re-created with
  cursor.AckNewData();
  ASSERT_FALSE(cursor.IsModified());
  cursor.InvalidateNewPixel(30);  // converts to the drawn value
  EXPECT_FALSE(cursor.IsModified());
  cursor.InvalidateNewPos(40.0);
  EXPECT_TRUE(cursor.IsModified());
}

TEST_F(GraphicCursorTest, HitTestUsesThePickPrecision) {
  struct Case {
    int dx;
    int hit;
  } cases[] = {{-6, 0}, {-5, 1}, {0, 1}, {5, 1}, {6, 0}};
  const int p = cursor.GetXScale()->PosToPixel(30.0);
  for (const Case& k : cases) {
    CPoint pt(p + k.dx, 10);
    EXPECT_EQ(cursor.IsOnTop(&pt), k.hit) << k.dx;
  }
  cursor.EnableCapture(0);
  CPoint pt(p, 10);
  EXPECT_EQ(cursor.IsOnTop(&pt), 0);
}

TEST_F(GraphicCursorTest, CaptureNeedsTheLeftButton) {
  CPoint pt(30, 10);
  EXPECT_EQ(cursor.OnBeginCapture(&pt, MK_RBUTTON), 0);
  EXPECT_EQ(cursor.OnBeginCapture(&pt, MK_LBUTTON), 1);
  cursor.OnEndCapture(&pt, 0);
  EXPECT_EQ(cursor.IsCaptured(), 0);
}

TEST_F(GraphicCursorTest, AxisWithOtherUnitsGivesAHorizontalLine) {
  CAxe other;
  other.Create(L"Scan", std_time, 0.0, 100.0);
  CPosition p2;
  p2.Create(L"t", &other, 20.0, 0);
  CGCursor h;
  h.Create(&p2);
  h.SetColor(kGreen);
  c->AddDynamic(&h, CGOContainer::top);
  Deliver();
  EXPECT_FALSE(h.IsFollowingX());
  const int row = h.GetYScale()->PosToPixel(20.0);
  EXPECT_EQ(Pixel(c, 5, row), kGreen);
  EXPECT_EQ(Pixel(c, 90, row), kGreen);
  EXPECT_EQ(Pixel(c, 5, row + 1), kWhite);
  c->Remove(&h);
}

TEST_F(GraphicCursorTest, DragFarOutsideWritesTheUnclippedValue) {
  CPoint pt(30, 10);
  ASSERT_TRUE(cursor.OnBeginCapture(&pt, MK_LBUTTON));
  for (int x : {INT_MAX, INT_MIN, -5000, 100000}) {
    CPoint far(x, 10);
    EXPECT_EQ(cursor.OnUpdateCapture(&far, MK_LBUTTON), 1);
    EXPECT_TRUE(std::isfinite(pos.GetValue()));
    EXPECT_DOUBLE_EQ(pos.GetValue(), cursor.GetXScale()->PixelToPos(x));
  }
  CPoint end(50, 10);
  cursor.OnEndCapture(&end, 0);
  Deliver();
  EXPECT_EQ(ColumnsOf(c, 40, kRed), std::vector<int>{50});
}

// Positions must outlive their cursors; a cursor destroyed first leaves the position usable and
// is never called again.
TEST_F(CursorTest, CursorDestroyedBeforeItsPosition) {
  CPosition p;
  p.Create(L"p", &scanAxis, 10.0, 0);
  {
    CGCursor shortLived;
    shortLived.Create(&p);
    c->AddDynamic(&shortLived, CGOContainer::top);
    p.SetValue(20.0, 1);  // a delivery is pending when the cursor goes
    c->Remove(&shortLived);
  }
  p.SetValue(25.0, 1);
  Deliver();
  EXPECT_DOUBLE_EQ(p.GetValue(), 25.0);
}

}  // namespace
