// Tools and cursors sharing one view, driven by real mouse input through the container: which
// tool a drag reaches through the selection tool, and what the capture's move to the top of the
// dynamic layer does to an object that accepts every press.
#include "cursor_fixture.h"
#include "cursors/graphic_cursor.h"
#include "cursors/zoom.h"
#include "graphics/tool_select.h"

using namespace curtest;
using quarlen::test::Button;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

class SharedViewTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    position.Create(L"Reference", &scanAxis, 50.0, 0);
    cursor.Create(&position);
    cursor.SetColor(kRed);
    tools = std::make_unique<CGToolSelect>(c);
  }
  void TearDown() override {
    c->RemoveAll();
    CursorTest::TearDown();
  }
  // Press, three moves, release, with the same button and modifiers throughout; then the
  // rulers' and the position's events are delivered.
  void Drag(CPoint from, CPoint to, Button button = Button::Left, unsigned modifiers = 0) {
    MousePress(Hwnd(), from, button, modifiers);
    Pump();
    for (int i = 1; i <= 3; ++i) {
      MouseMove(Hwnd(), {from.x + (to.x - from.x) * i / 3, from.y + (to.y - from.y) * i / 3},
                modifiers);
      Pump();
    }
    MouseRelease(Hwnd(), to, button, modifiers);
    Deliver();
  }
  int CursorPixel() const { return cursor.GetXScale()->PosToPixel(position.GetValue()); }

  CPosition position;
  CGCursor cursor;
  // Tools live as long as the fixture: TearDown takes them out of the container.
  CZoom zoom{nullptr, 1};
  CZoom zoomX{&xr, 1};  // restricted to the horizontal ruler
  CZoom zoomY{&yr, 1};  // restricted to the vertical ruler
  std::unique_ptr<CGToolSelect> tools;
};

// How the zoom tool joins the view. Only the selection tool as the tracking object leaves the
// cursors reachable after a zoom: an object in the dynamic layer that takes every press moves to
// the top of the layer when it captures, above the cursors.
enum class Placement { kSelectionToolTracking, kSelectionToolDynamic, kZoomDynamic };

struct PlacementCase {
  const char* name;
  Placement placement;
  bool cursorDraggableAfterZoom;
};

class ToolPlacement : public SharedViewTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(ToolPlacement, DragOnTheCursorLineAfterTheFirstZoom) {
  zoom.SetMinZoom(4, 4);
  tools->AssociateTool(MK_LBUTTON, &zoom);
  switch (GetParam().placement) {
    case Placement::kSelectionToolTracking:
      c->AddTracking(tools.get());
      break;
    case Placement::kSelectionToolDynamic:
      c->AddDynamic(tools.get(), CGOContainer::bottom);
      break;
    case Placement::kZoomDynamic:
      c->AddDynamic(&zoom, CGOContainer::bottom);
      break;
  }
  c->AddDynamic(&cursor, CGOContainer::top);
  Deliver();

  // Before any zoom the cursor is on top and takes the press on its line.
  int x = CursorPixel();
  Drag({x, 40}, {x - 10, 40});
  EXPECT_DOUBLE_EQ(position.GetValue(), cursor.GetXScale()->PixelToPos(x - 10));
  EXPECT_DOUBLE_EQ(xr.GetRange(), 100.0);

  // A zoom on the data, away from the cursor line, in every placement.
  Drag({60, 10}, {95, 70});
  const double zoomedStart = xr.GetStart(), zoomedRange = xr.GetRange();
  ASSERT_LT(zoomedRange, 100.0);
  ASSERT_GT(zoomedStart, 50.0);

  // A press on the cursor line, dragged 20 pixels right and 30 down: the cursor or a zoom.
  position.SetValue(zoomedStart + zoomedRange / 2, 1);
  Deliver();
  const double before = position.GetValue();
  x = CursorPixel();
  const double dragged = cursor.GetXScale()->PixelToPos(x + 20);
  Drag({x, 20}, {x + 20, 50});
  if (GetParam().cursorDraggableAfterZoom) {
    EXPECT_DOUBLE_EQ(position.GetValue(), dragged);
    EXPECT_DOUBLE_EQ(xr.GetStart(), zoomedStart);
    EXPECT_DOUBLE_EQ(xr.GetRange(), zoomedRange);
  } else {
    EXPECT_DOUBLE_EQ(position.GetValue(), before);
    EXPECT_LT(xr.GetRange(), zoomedRange);  // the drag zoomed instead
  }
  EXPECT_EQ(c->IsInContainer(&zoom), GetParam().placement == Placement::kZoomDynamic ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ToolPlacement,
                         ::testing::Values(PlacementCase{"SelectionToolAsTrackingObject",
                                                         Placement::kSelectionToolTracking, true},
                                           PlacementCase{"SelectionToolInTheDynamicLayer",
                                                         Placement::kSelectionToolDynamic, false},
                                           PlacementCase{"ZoomInTheDynamicLayer",
                                                         Placement::kZoomDynamic, false}),
                         [](const auto& info) { return info.param.name; });

// Which tool a drag reaches through the selection tool as the tracking object. The two zoom
// tools tell them apart: zoomX changes only the horizontal ruler, zoomY only the vertical one.
struct KeyCase {
  const char* name;
  std::vector<std::pair<UINT, char>> associations;  // keys, 'x' or 'y' zoom
  Button button;
  unsigned modifiers;
  char expected;  // 'x', 'y', or 0: no tool, no zoom
};

class ToolKeys : public SharedViewTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ToolKeys, DragReachesTheToolOfItsKeys) {
  for (const auto& [keys, tool] : GetParam().associations) {
    tools->AssociateTool(keys, tool == 'x' ? &zoomX : &zoomY);
  }
  c->AddTracking(tools.get());
  c->AddDynamic(&cursor, CGOContainer::top);
  Deliver();

  Drag({10, 10}, {40, 40}, GetParam().button, GetParam().modifiers);
  const bool x = xr.GetRange() < 100.0, y = yr.GetRange() < 80.0;
  EXPECT_EQ(x, GetParam().expected == 'x');
  EXPECT_EQ(y, GetParam().expected == 'y');
  EXPECT_DOUBLE_EQ(position.GetValue(), 50.0);  // away from the line: the cursor stays
  EXPECT_EQ(tools->GetActiveTool(), nullptr);
  EXPECT_EQ(c->IsInContainer(&zoomX) + c->IsInContainer(&zoomY), 0);
}

using quarlen::test::kControl;
using quarlen::test::kShift;

INSTANTIATE_TEST_SUITE_P(
    Table, ToolKeys,
    ::testing::Values(
        KeyCase{"LeftDrag", {{MK_LBUTTON, 'x'}, {MK_RBUTTON, 'y'}}, Button::Left, 0, 'x'},
        KeyCase{"RightDrag", {{MK_LBUTTON, 'x'}, {MK_RBUTTON, 'y'}}, Button::Right, 0, 'y'},
        // The button's own association is found before any modifier's.
        KeyCase{"ShiftLeftStillTheLeftTool",
                {{MK_LBUTTON, 'x'}, {MK_SHIFT, 'y'}},
                Button::Left,
                kShift,
                'x'},
        KeyCase{"ShiftToolWithoutALeftTool",
                {{MK_RBUTTON, 'x'}, {MK_SHIFT, 'y'}},
                Button::Left,
                kShift,
                'y'},
        // A combination is reached as the whole key word, when no single key has a tool.
        KeyCase{"ControlLeftAsTheWholeWord",
                {{MK_LBUTTON | MK_CONTROL, 'x'}, {MK_RBUTTON, 'y'}},
                Button::Left,
                kControl,
                'x'},
        KeyCase{"PlainLeftWithOnlyACombination",
                {{MK_LBUTTON | MK_CONTROL, 'x'}, {MK_RBUTTON, 'y'}},
                Button::Left,
                0,
                0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
