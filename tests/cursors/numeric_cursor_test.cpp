#include "cursors/numeric_cursor.h"

#include <limits>

#include "cursor_fixture.h"

using namespace curtest;
using quarlen::test::kControl;
using quarlen::test::kShift;
using quarlen::test::MouseMove;
using quarlen::test::MousePress;
using quarlen::test::MouseRelease;

namespace {

constexpr COLORREF kGrey = RGB(0x7F, 0x7F, 0x7F);  // default shadow colour: the box background

// A format holds at most one floating conversion; literal text without one is kept as it is.
// No format (null or empty) and the formats unsafe for one double give "%g".
TEST(NumericCursorFormat, AtMostOneFloatingConversionIsAccepted) {
  struct Case {
    const wchar_t* format;
    bool safe;
  } cases[] = {
      {L"%f", true},      {L"%.2f mm", true}, {L"%+08.3e", true}, {L"%lf", true},
      {L"%%%G%%", true},  {L"x=%g", true},    {L"plain", true},   {L"100%%", true},
      {L"%s", false},     {L"%n", false},     {L"%d", false},     {L"%f%f", false},
      {L"%*f", false},    {L"%.*f", false},   {L"%Lf", false},    {L"%999f", false},
      {L"%.100f", false}, {L"%", false},      {L"%g %", false},   {L"", false},
      {nullptr, false},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(CGNumCursor::IsSafeFormat(k.format), k.safe)
        << (k.format != nullptr ? std::wstring(k.format).size() : 0);
    CGNumCursor n;
    n.SetFormat(k.format);
    EXPECT_EQ(n.GetFormat(), k.safe ? std::wstring(k.format) : std::wstring(L"%g"));
  }
}

TEST(NumericCursorFormat, TextsFromFormatFactorAndOffset) {
  struct Case {
    const char* name;
    const wchar_t* format;  // null: never set
    double factor, offset, value;
    const wchar_t* text;
  } cases[] = {
      {"no format", nullptr, 1.0, 0.0, 2.5, L"2.5"},
      {"empty format", L"", 1.0, 0.0, -0.125, L"-0.125"},
      {"unsafe format", L"%s", 1.0, 0.0, 7.0, L"7"},
      {"rounded", L"%.1f", 1.0, 0.0, 2.25, L"2.2"},
      {"factor 0 means 1", L"%.1f", 0.0, 2.0, 5.0, L"3.0"},
      {"factor", L"%.1f", 10.0, 0.0, 5.0, L"0.5"},
      {"literal text", L"no value", 1.0, 0.0, 5.0, L"no value"},
      {"percent sign", L"%.0f%%", 1.0, 0.0, 42.0, L"42%"},
      {"12 characters: too long for the box", L"%.8f", 1.0, 0.0, 123.0, L" "},
      {"literal text too long for the box", L"far too long", 1.0, 0.0, 1.0, L" "},
      {"too long for any buffer", L"%99.99f", 1.0, 0.0, 1e300, L" "},
      {"infinity", L"%g", 1.0, 0.0, std::numeric_limits<double>::infinity(), L"inf"},
  };
  for (const Case& k : cases) {
    CGNumCursor n;
    if (k.format != nullptr) n.SetFormat(k.format);
    n.SetUnit(k.factor, k.offset);
    EXPECT_EQ(n.FormatValue(k.value), k.text) << k.name;
  }
}

TEST(NumericCursorSnap, NearestValue) {
  CGNumCursor n;
  EXPECT_DOUBLE_EQ(n.NearestValue(1.0), 1.0);  // step disabled
  n.EnableStep(1, 0.5, 0.1);
  EXPECT_DOUBLE_EQ(n.NearestValue(1.0), 1.1);
  EXPECT_DOUBLE_EQ(n.NearestValue(0.84), 0.6);
  n.EnableStep(1, 0.0, 0.0);  // no grid: unchanged
  EXPECT_DOUBLE_EQ(n.NearestValue(1.23), 1.23);
}

class NumericCursorTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    pos.Create(L"ref", &scanAxis, 20.0, 0);
    cursor.Create(&pos);
    cursor.SetColor(kRed);
    cursor.SetFormat(L"%.0f");
    c->AddDynamic(&cursor, CGOContainer::top);
    Deliver();
  }
  void TearDown() override {
    containers.clear();
    CursorTest::TearDown();
  }
  int PixelOf(double v) const { return cursor.GetXScale()->PosToPixel(v); }
  // Columns holding box background in the text rows.
  std::vector<int> BoxColumns() const {
    std::vector<int> cols;
    for (int x = 0; x < kW; ++x) {
      for (int y = 0; y < 16; ++y) {
        if (Pixel(c, x, y) == kGrey) {
          cols.push_back(x);
          break;
        }
      }
    }
    return cols;
  }
  CPosition pos;
  CGNumCursor cursor;
};

TEST_F(NumericCursorTest, BoxSitsOnTheSideWithMoreRoom) {
  struct Case {
    double value;
    bool right;
  } cases[] = {{20.0, true}, {80.0, false}};
  for (const Case& k : cases) {
    pos.SetValue(k.value, 1);
    Deliver();
    Deliver();
    const int p = PixelOf(k.value);
    ASSERT_EQ(Pixel(c, p, 40), kRed);
    const std::vector<int> cols = BoxColumns();
    ASSERT_FALSE(cols.empty()) << k.value;
    if (k.right) {
      EXPECT_EQ(cols.front(), p + 3);  // starts 3 pixels right of the line
    } else {
      EXPECT_EQ(cols.back(), p - 2);  // ends 1 pixel left of the line (right edge exclusive)
    }
  }
  quarlen::test::SavePixelsIfFailed(Hwnd(), "box");
}

TEST_F(NumericCursorTest, DragSnapsToTheStep) {
  cursor.EnableStep(1, 10.0, 0.0);
  MousePress(Hwnd(), {PixelOf(20.0), 40});
  MouseMove(Hwnd(), {PixelOf(43.0), 40});
  Pump();
  EXPECT_DOUBLE_EQ(pos.GetValue(), 40.0);
  MouseMove(Hwnd(), {PixelOf(46.0), 40});
  Pump();
  EXPECT_DOUBLE_EQ(pos.GetValue(), 50.0);
  MouseRelease(Hwnd(), {PixelOf(46.0), 40});
  Deliver();
  EXPECT_EQ(Pixel(c, PixelOf(50.0), 40), kRed);
}

TEST_F(NumericCursorTest, ReleaseLogsTheFinalValueOnce) {
  EventRecorder rec;
  rec.Listen(event_positionLog);
  rec.Listen(event_positionChanged);
  MousePress(Hwnd(), {PixelOf(20.0), 40});
  MouseMove(Hwnd(), {PixelOf(30.0), 40});
  MouseMove(Hwnd(), {PixelOf(35.0), 40});
  Pump();
  EXPECT_EQ(rec.Count(event_positionLog, pos.GetID()), 0);
  EXPECT_EQ(rec.Count(event_positionChanged, pos.GetID()), 2);
  MouseRelease(Hwnd(), {PixelOf(60.0), 40});
  Pump();
  EXPECT_EQ(rec.Count(event_positionLog, pos.GetID()), 1);
  EXPECT_NEAR(pos.GetValue(), 60.0, 1.0);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back().first, event_positionLog);  // logged after the last change
}

TEST_F(NumericCursorTest, ControlDragMovesOnlyTheBox) {
  cursor.SetFloatingLeftBox(1);
  MousePress(Hwnd(), {PixelOf(20.0), 10}, quarlen::test::Button::Left, kControl);
  MouseMove(Hwnd(), {PixelOf(20.0) + 15, 60}, kControl);
  MouseRelease(Hwnd(), {PixelOf(20.0) + 15, 60}, quarlen::test::Button::Left, kControl);
  Deliver();
  EXPECT_DOUBLE_EQ(pos.GetValue(), 20.0);
  EXPECT_DOUBLE_EQ(cursor.GetBoxPosition(), 60.0 / kH);
  // The box now ends at row 60 (bottom-aligned below the middle), nothing at the top.
  int top = 0, low = 0;
  for (int x = 0; x < kW; ++x) {
    top += Pixel(c, x, 5) == kGrey;
    low += Pixel(c, x, 55) == kGrey;
  }
  EXPECT_EQ(top, 0);
  EXPECT_GT(low, 0);
}

class LinkedCursorTest : public CursorTest {
 protected:
  void SetUp() override {
    CursorTest::SetUp();
    a.Create(L"ref", &scanAxis, 20.0, nullptr, 0);
    b.Create(L"measure", &scanAxis, 50.0, &a, 0);
    cursor.CreateLink(&a);
    c->AddDynamic(&cursor, CGOContainer::top);
    Deliver();
  }
  void TearDown() override {
    containers.clear();
    CursorTest::TearDown();
  }
  void Drag(double from, double to, unsigned mods) {
    CSC* s = cursor.GetXScale();
    MousePress(Hwnd(), {s->PosToPixel(from), 40}, quarlen::test::Button::Left, mods);
    MouseMove(Hwnd(), {s->PosToPixel(to), 40}, mods);
    MouseRelease(Hwnd(), {s->PosToPixel(to), 40}, quarlen::test::Button::Left, mods);
    Pump();
  }
  CPosLink a, b;
  CGNumCursor cursor;
};

TEST_F(LinkedCursorTest, ShiftControlMovesThePairAndStopsAtTheAxisEnd) {
  ASSERT_TRUE(cursor.IsLinkMode());
  cursor.EnableStep(1, 1.0, 0.0);
  Drag(20.0, 40.0, kShift | kControl);
  EXPECT_DOUBLE_EQ(a.GetValue(), 40.0);
  EXPECT_DOUBLE_EQ(b.GetValue(), 70.0);
  Drag(40.0, 90.0, kShift | kControl);  // the partner would leave the axis
  EXPECT_DOUBLE_EQ(b.GetValue(), 100.0);
  EXPECT_DOUBLE_EQ(a.GetValue(), 70.0);
  Drag(70.0, 0.0, kShift | kControl);
  EXPECT_DOUBLE_EQ(a.GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(b.GetValue(), 30.0);
}

TEST_F(LinkedCursorTest, PlainDragMovesOnlyTheReference) {
  cursor.EnableStep(1, 1.0, 0.0);
  Drag(20.0, 35.0, 0);
  EXPECT_DOUBLE_EQ(a.GetValue(), 35.0);
  EXPECT_DOUBLE_EQ(b.GetValue(), 50.0);
}

}  // namespace

// A cursor that announces its moves as line strips and value boxes only.
class LineAndBoxCursor : public CGNumCursor {
 public:
  void InvalidateNewPos(double value) override { InvalidateLineAndBox(value); }
};

// Moves repaint only the strips and boxes the cursor leaves and enters; whatever the move, the
// view must then look exactly as after a full repaint (no remains of the old line or box, no
// part of the new ones missing).
class LineAndBoxTest : public CursorTest {
 protected:
  void TearDown() override {
    containers.clear();
    CursorTest::TearDown();
  }
  void Check(LineAndBoxCursor& cursor, CPosition& pos, const std::vector<double>& values,
             const char* name) {
    c->AddDynamic(&cursor, CGOContainer::top);
    Deliver();
    for (const double v : values) {
      pos.SetValue(v, 1);
      Deliver();
      const QImage moved = quarlen::test::WindowPixels(Hwnd());
      c->Redraw();
      Pump();
      const QImage full = quarlen::test::WindowPixels(Hwnd());
      EXPECT_TRUE(moved == full) << name << " after the move to " << v;
      if (moved != full) {
        quarlen::test::SaveImage(moved, name);
        break;
      }
    }
    c->Remove(&cursor);
    Deliver();
  }
};

TEST_F(LineAndBoxTest, IncrementalMovesLookLikeAFullRepaint) {
  c->EnableDoubleBuffering(1);
  struct Case {
    const char* name;
    bool vertical;  // follows the scan axis (a vertical line)
    bool floating;
    double boxPosition;  // set by a Ctrl-drag when floating
    const wchar_t* format;
    std::vector<double> values;
  } cases[] = {
      {"small steps", true, false, 0.0, L"%.0f", {22, 24, 25, 30, 31}},
      {"across the middle", true, false, 0.0, L"%.0f", {45, 55, 70, 30}},
      {"growing text", true, false, 0.0, L"%.3f mm", {10, 12, 60, 61}},
      {"floating box low", true, true, 0.9, L"%.0f", {20, 28, 70}},
      {"horizontal line", false, false, 0.0, L"%.0f", {10, 14, 50, 60, 20}},
      {"horizontal floating", false, true, 0.8, L"%.1f", {12, 40, 41}},
  };
  for (const Case& k : cases) {
    CPosition pos;
    pos.Create(L"p", k.vertical ? &scanAxis : &indexAxis, 20.0, 0);
    LineAndBoxCursor cursor;
    cursor.Create(&pos);
    cursor.SetColor(kRed);
    cursor.EnableShadow(1, kGrey);
    cursor.SetFormat(k.format);
    if (k.floating) {
      cursor.SetFloatingLeftBox(1);
      c->AddDynamic(&cursor, CGOContainer::top);
      Deliver();
      // Ctrl-drag the box along the line to its place.
      const int along = static_cast<int>(k.boxPosition * (k.vertical ? kH : kW));
      const POINT at = k.vertical ? POINT{cursor.GetXScale()->PosToPixel(20.0), 2}
                                  : POINT{2, cursor.GetYScale()->PosToPixel(20.0)};
      const POINT to = k.vertical ? POINT{at.x, along} : POINT{along, at.y};
      MousePress(Hwnd(), at, quarlen::test::Button::Left, kControl);
      MouseMove(Hwnd(), to, kControl);
      MouseRelease(Hwnd(), to, quarlen::test::Button::Left, kControl);
      Deliver();
      c->Remove(&cursor);
      Deliver();
    }
    Check(cursor, pos, k.values, k.name);
  }
}

namespace {

// A dynamic object filling the whole view with one colour.
class Cover : public CGODynamic {
 public:
  explicit Cover(COLORREF color) { SetColor(color); }
  void OnDraw(CDC* dc, CRect* clip) override { dc->FillSolidRect(clip, GetColor()); }
};

// What repaints only the visible rectangle: the colours and the shadow invalidate it, and a
// move to the top or the bottom of the dynamic layer redraws it. Whatever the place of the line,
// the view must then look exactly as after a full repaint: the visible rectangle covers the
// value box on the side where it is drawn.
TEST_F(CursorTest, VisibleRectangleCoversTheValueBoxWhereverItIsDrawn) {
  enum Change { kColor, kShadow, kToBottom, kToTop };
  struct Case {
    const char* name;
    Change change;
  } changes[] = {
      {"SetColor", kColor},
      {"EnableShadow", kShadow},
      {"MoveToBottom under a cover", kToBottom},
      {"MoveToTop over a cover", kToTop},
  };
  struct Place {
    bool vertical;  // follows the scan axis (a vertical line)
    double value;
  } places[] = {{true, 5},  {true, 20},  {true, 45},  {true, 55},  {true, 70},  {true, 95},
                {false, 5}, {false, 20}, {false, 34}, {false, 38}, {false, 45}, {false, 75}};
  Cover cover(kBlue);
  for (const Case& k : changes) {
    for (const Place& at : places) {
      CPosition pos;
      pos.Create(L"p", at.vertical ? &scanAxis : &indexAxis, at.value, 0);
      CGNumCursor cursor;
      cursor.Create(&pos);
      cursor.SetColor(kRed);
      cursor.SetFormat(L"%.0f");
      const bool covered = k.change == kToBottom || k.change == kToTop;
      if (covered) c->AddDynamic(&cover, CGOContainer::top);
      c->AddDynamic(&cursor, k.change == kToTop ? CGOContainer::bottom : CGOContainer::top);
      Deliver();
      switch (k.change) {
        case kColor:
          cursor.SetColor(kGreen);
          break;
        case kShadow:
          cursor.EnableShadow(1, kBlue);
          break;
        case kToBottom:
          c->MoveToBottom(&cursor);
          break;
        case kToTop:
          c->MoveToTop(&cursor);
          break;
      }
      Deliver();
      const QImage changed = quarlen::test::WindowPixels(Hwnd());
      c->Redraw();
      Pump();
      const QImage full = quarlen::test::WindowPixels(Hwnd());
      EXPECT_TRUE(changed == full)
          << k.name << ", " << (at.vertical ? "vertical" : "horizontal") << " line at " << at.value;
      if (changed != full) quarlen::test::SaveImage(changed, k.name);
      c->Remove(&cursor);
      if (covered) c->Remove(&cover);
      Deliver();
    }
  }
}

}  // namespace
