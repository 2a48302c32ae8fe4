// Selection tool: which associated tool a drag goes to, how it joins and leaves the container.
#include "tests/graphics/graphics_fixture.h"

#include "graphics/tool_select.h"

namespace gfxtest {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class ToolSelectTest : public ContainerTest {
 protected:
  void SetUp() override {
    ContainerTest::SetUp();
    sel = std::make_unique<CGToolSelect>(c.get());
    c->AddTracking(sel.get());
    for (const char* name : {"left", "right", "shift", "ctrl", "middle", "ldbl", "rdbl", "combo",
                             "zero"}) {
      tools[name] = Make(name, CRect(0, 0, kW, kH), kRed);
    }
    TakeLog();
  }
  void TearDown() override {
    c.reset();
    sel.reset();
    ContainerTest::TearDown();
  }
  std::unique_ptr<CGToolSelect> sel;
  std::map<std::string, Box*> tools;
};

struct LookupCase {
  const char* name;
  std::vector<std::pair<UINT, const char*>> associations;
  unsigned flags;
  const char* expected;  // null: no tool takes the drag
};

class ToolLookup : public ToolSelectTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(ToolLookup, MasksAreTriedInOrderThenTheWholeWord) {
  for (const auto& [keys, tool] : GetParam().associations) {
    sel->AssociateTool(keys, tool != nullptr ? tools[tool] : nullptr);
  }
  CPoint pt(40, 30);
  const int r = sel->OnBeginCapture(&pt, GetParam().flags);
  if (GetParam().expected == nullptr) {
    EXPECT_EQ(r, 0);
    EXPECT_EQ(sel->GetActiveTool(), nullptr);
    EXPECT_TRUE(TakeLog().empty());
    return;
  }
  EXPECT_EQ(r, 1);
  EXPECT_EQ(sel->IsCaptured(), 1);
  EXPECT_EQ(sel->GetActiveTool(), tools[GetParam().expected]);
  EXPECT_EQ(TakeLog(), (Log{std::string(GetParam().expected) + ".begin(40,30," +
                            std::to_string(GetParam().flags) + ")"}));
  EXPECT_EQ(c->GetHighestObject(), tools[GetParam().expected]);
  sel->OnEndCapture(&pt, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToolLookup,
    ::testing::Values(
        LookupCase{"NoAssociation", {}, MK_LBUTTON, nullptr},
        LookupCase{"Left", {{MK_LBUTTON, "left"}}, MK_LBUTTON, "left"},
        LookupCase{"ShiftLeftGoesToLeft",
                   {{MK_LBUTTON, "left"}, {MK_SHIFT, "shift"}},
                   MK_LBUTTON | MK_SHIFT,
                   "left"},
        LookupCase{"ShiftWithoutLeftTool",
                   {{MK_RBUTTON, "right"}, {MK_SHIFT, "shift"}},
                   MK_LBUTTON | MK_SHIFT,
                   "shift"},
        LookupCase{"ComboOnlyThroughWholeWord",
                   {{MK_CONTROL | MK_LBUTTON, "combo"}},
                   MK_CONTROL | MK_LBUTTON,
                   "combo"},
        LookupCase{"SingleBitBeatsCombo",
                   {{MK_CONTROL | MK_LBUTTON, "combo"}, {MK_CONTROL, "ctrl"}},
                   MK_CONTROL | MK_LBUTTON,
                   "ctrl"},
        // Key 0 matches the first mask whose bit is absent: MK_RBUTTON here.
        LookupCase{"ZeroKeyAtFirstMissingBit",
                   {{0, "zero"}, {MK_SHIFT, "shift"}},
                   MK_LBUTTON | MK_SHIFT,
                   "zero"},
        LookupCase{"LeftDoubleClick", {{0x4000, "ldbl"}, {MK_RBUTTON, "right"}}, 0x4000, "ldbl"},
        LookupCase{"RightDoubleClick",
                   {{0x8000, "rdbl"}, {MK_MBUTTON, "middle"}},
                   0x8000 | MK_CONTROL,
                   "rdbl"},
        LookupCase{"MiddleBeforeDoubleClicks",
                   {{0x8000, "rdbl"}, {MK_MBUTTON, "middle"}},
                   0x8000 | MK_MBUTTON,
                   "middle"},
        LookupCase{"NullToolRefuses", {{MK_LBUTTON, nullptr}}, MK_LBUTTON, nullptr}),
    [](const auto& info) { return info.param.name; });

TEST_F(ToolSelectTest, DragThroughContainerAddsAndRemovesTool) {
  Box* left = tools["left"];
  const HICON zoom = reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_SIZEALL));
  left->SetCursor(zoom);
  sel->AssociateTool(MK_LBUTTON, left);
  const HICON arrow = reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(sel->GetCursor(nullptr), arrow);

  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 40, 30);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 50, 30);  // beyond the tool's pick precision
  EXPECT_EQ(c->IsInContainer(left), 1);
  EXPECT_EQ(sel->GetCursor(nullptr), zoom);
  EXPECT_TRUE(c->IsWindowEnabled());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 60, 30);
  Mouse(WM_LBUTTONUP, 0, 60, 30);
  EXPECT_EQ(TakeLog(), (Log{"left.begin(40,30,1)", "left.update(60,30,1)", "left.end(60,30,0)",
                            "left.destroyWnd"}));
  EXPECT_EQ(c->IsInContainer(left), 0);
  EXPECT_EQ(sel->GetActiveTool(), nullptr);
  EXPECT_EQ(sel->IsCaptured(), 0);
  EXPECT_EQ(sel->GetCursor(nullptr), arrow);
}

TEST_F(ToolSelectTest, PickPrecisionOfTheToolForTheExactKeys) {
  tools["left"]->SetPickPrecision(CSize(12, 3));
  sel->AssociateTool(MK_LBUTTON, tools["left"]);
  sel->AssociateTool(MK_SHIFT, nullptr);
  sel->SetPickPrecision(CSize(7, 7));
  EXPECT_EQ(sel->GetPickPrecision(MK_LBUTTON), CSize(12, 3));
  EXPECT_EQ(sel->GetPickPrecision(MK_LBUTTON | MK_CONTROL), CSize(7, 7));
  EXPECT_EQ(sel->GetPickPrecision(MK_SHIFT), CSize(7, 7));

  sel->SetPickPrecision(CSize(20, 20), MK_LBUTTON);
  EXPECT_EQ(tools["left"]->GetPickPrecision(), CSize(20, 20));
  sel->SetPickPrecision(CSize(30, 30), MK_SHIFT);  // null tool: nothing changes
  EXPECT_EQ(sel->GetPickPrecision(), CSize(7, 7));
  sel->SetPickPrecision(CSize(2, 2), MK_RBUTTON);  // no entry: the selection tool's own
  EXPECT_EQ(sel->GetPickPrecision(), CSize(2, 2));

  // The container asks with the move's keys: 12 pixels do not start a left drag yet.
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 40, 30);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 52, 30);
  EXPECT_TRUE(TakeLog().empty());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 61, 30);
  EXPECT_EQ(TakeLog(), (Log{"left.begin(40,30,1)"}));
  Mouse(WM_LBUTTONUP, 0, 61, 30);
}

TEST_F(ToolSelectTest, CaptureDisabledOrAlreadyCapturing) {
  sel->AssociateTool(MK_LBUTTON, tools["left"]);
  CPoint pt(1, 1);
  sel->EnableCapture(0);
  EXPECT_EQ(sel->OnBeginCapture(&pt, MK_LBUTTON), 0);
  sel->EnableCapture(1);
  EXPECT_EQ(sel->OnBeginCapture(&pt, MK_LBUTTON), 1);
  EXPECT_EQ(sel->OnBeginCapture(&pt, MK_RBUTTON), 1);  // changes nothing
  EXPECT_EQ(TakeLog(), (Log{"left.begin(1,1,1)"}));
  EXPECT_EQ(sel->OnUpdateCapture(&pt, 1), 1);
  sel->OnEndCapture(&pt, 0);
  EXPECT_EQ(sel->OnUpdateCapture(&pt, 1), 0);  // no active tool
  EXPECT_EQ(sel->IsOnTop(&pt), 1);
}

}  // namespace
}  // namespace gfxtest
