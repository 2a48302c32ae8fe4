// Graphic objects: flags, invalidation and event 1618, sizing and rescaling, the archive
// layout; dynamic objects: defaults and the base capture protocol.
#include <gtest/gtest.h>

#include <vector>

#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "graphics/dynamic_object.h"
#include "graphics/graphic_object.h"
#include "notify/event_service.h"
#include "platform/archive.h"
#include "platform/window.h"
#include "tests/support/event_wait.h"

namespace {

struct Sent {
  std::uintptr_t w, l;
  bool operator==(const Sent&) const = default;
};
std::vector<Sent> g_sent;

void Record(unsigned, std::uintptr_t w, std::uintptr_t l) { g_sent.push_back({w, l}); }

// Records every 1618 synchronously (inside event_Send).
class ObjectTest : public quarlen::test::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    g_sent.clear();
    client_ = event_RegisterClient(0, &Record, nullptr, event_kindCallback3);
    event_RegisterEvent(event_objectModified, client_, event_modeSync, 0, event_any, 0,
                        event_any);
  }
  void TearDown() override {
    event_UnregisterClient(client_);
    EventServiceFixture::TearDown();
  }
  unsigned client_ = 0;
};

class Probe : public CGODynamic {
 public:
  int scalings = 0;
  std::vector<unsigned> events;
  void OnScaling() override { ++scalings; }
  void OnEvent(unsigned id, WPARAM a, LPARAM b) override {
    events.push_back(id);
    CGODynamic::OnEvent(id, a, b);
  }
  CComplexRegion Region() {
    CComplexRegion r;
    GetUpdateRgn(&r);
    return r;
  }
  static event_Callback4 Callback() { return &CGObject::EventCallback; }
  void SetRect(const CRect& r) { m_rect = r; }
};

TEST_F(ObjectTest, FreshObjectDefaults) {
  Probe o;
  EXPECT_EQ(o.IsDrawEnable(), 1);
  EXPECT_EQ(o.IsBuildEnable(), 0);
  EXPECT_EQ(o.GetContainer(), 0u);
  EXPECT_EQ(o.GetColor(), 0u);
  CRect r;
  o.GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 1, 1));
  EXPECT_EQ(o.IsModified(), 0);
  double d = 7;
  EXPECT_EQ(o.GetImageRect(&d, &d, &d, &d), 0);
  EXPECT_EQ(d, 7);
  CRuler *x = reinterpret_cast<CRuler*>(1), *y = x;
  o.GetRuler(&x, &y);
  EXPECT_EQ(x, nullptr);
  EXPECT_EQ(y, nullptr);
  EXPECT_TRUE(g_sent.empty());
}

TEST_F(ObjectTest, InvalidateAddsAndSignalsOnlyNonEmptyRectangles) {
  Probe o;
  o.SetContainer(0x1234);
  const CRect empty(10, 10, 10, 50), inverted(20, 0, 10, 10), r(5, 5, 15, 15);
  o.Invalidate(&empty);
  o.Invalidate(&inverted);
  o.Invalidate(static_cast<const CRect*>(nullptr));
  EXPECT_EQ(o.IsModified(), 0);
  EXPECT_TRUE(g_sent.empty());

  o.Invalidate(&r);
  EXPECT_EQ(o.IsModified(), 1);
  ASSERT_EQ(g_sent, (std::vector<Sent>{{0x1234, reinterpret_cast<std::uintptr_t>(&o)}}));
  EXPECT_EQ(o.Region().BoundingRectangle(), r);

  // A region is added even when empty, and signalled anyway.
  CComplexRegion none;
  o.Invalidate(&none);
  EXPECT_EQ(g_sent.size(), 2u);

  // GetUpdateRgn leaves the object's region; AckNewData empties it.
  EXPECT_EQ(o.IsModified(), 1);
  o.AckNewData();
  EXPECT_EQ(o.IsModified(), 0);
}

TEST_F(ObjectTest, SetColorAndEnableDrawInvalidateOnlyOnChange) {
  Probe o;
  CRect rect(0, 0, 40, 30);
  o.OnSize(&rect);
  o.SetColor(0);
  o.EnableDraw(1);
  o.EnableBuild(1);
  EXPECT_TRUE(g_sent.empty());
  EXPECT_EQ(o.IsBuildEnable(), 1);

  o.SetColor(RGB(1, 2, 3));
  EXPECT_EQ(o.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(g_sent.size(), 1u);
  EXPECT_EQ(o.Region().BoundingRectangle(), rect);

  o.EnableDraw(0);
  EXPECT_EQ(o.IsDrawEnable(), 0);
  EXPECT_EQ(g_sent.size(), 2u);
  o.EnableDraw(0);
  EXPECT_EQ(g_sent.size(), 2u);
}

TEST_F(ObjectTest, OnSizeDiscardsPendingRegionAndRescales) {
  CRuler xr, yr;
  xr.Set(0.0, 100.0, 0);
  yr.Set(-50.0, 10.0, 0);
  Probe o;
  o.SetRuler(&xr, 1, &yr, 1);
  const CRect r(5, 5, 10, 10);
  o.Invalidate(&r);
  const int before = o.scalings;
  CRect size(10, 20, 110, 70);
  o.OnSize(&size);
  EXPECT_EQ(o.IsModified(), 0);
  EXPECT_EQ(o.scalings, before + 1);
  EXPECT_EQ(o.GetXScale()->GetWndOffset(), 10);
  EXPECT_EQ(o.GetXScale()->GetWndSize(), 99);
  EXPECT_EQ(o.GetYScale()->GetWndOffset(), 20);
  EXPECT_EQ(o.GetYScale()->GetWndSize(), 49);
  CRect visible;
  o.GetVisibleRect(&visible);
  EXPECT_EQ(visible, size);
  o.OnSize(nullptr);  // ignored
  o.PostNewDimension();
  EXPECT_EQ(o.scalings, before + 2);
}

struct GrowCase {
  int xGrow, yGrow;
  int xInverted, yInverted;
};

class ObjectGrow : public ObjectTest, public ::testing::WithParamInterface<GrowCase> {};

TEST_P(ObjectGrow, GrowFlagsChooseScaleDirection) {
  CRuler xr, yr;
  Probe o;
  o.SetRuler(&xr, GetParam().xGrow, &yr, GetParam().yGrow);
  EXPECT_EQ(o.GetXScale()->IsInverted() != 0, GetParam().xInverted != 0);
  EXPECT_EQ(o.GetYScale()->IsInverted() != 0, GetParam().yInverted != 0);
  CRuler *x = nullptr, *y = nullptr;
  o.GetRuler(&x, &y);
  EXPECT_EQ(x, &xr);
  EXPECT_EQ(y, &yr);
}

INSTANTIATE_TEST_SUITE_P(Table, ObjectGrow,
                         ::testing::Values(GrowCase{1, 1, 0, 1}, GrowCase{0, 0, 1, 0},
                                           GrowCase{1, 0, 0, 0}, GrowCase{0, 1, 1, 1}));

TEST_F(ObjectTest, RulerChangeRescalesOnlyWhenRulersMoved) {
  CRuler xr, yr;
  xr.Set(0.0, 100.0, 0);
  yr.Set(0.0, 50.0, 0);
  Probe o;
  o.SetRuler(&xr, 1, &yr, 1);
  const CRect r(1, 1, 2, 2);
  o.Invalidate(&r);
  const int before = o.scalings;

  o.OnEvent(event_positionChanged, 0, 0);
  o.OnEvent(event_rulerChanged, 0, 0);
  EXPECT_EQ(o.scalings, before);
  EXPECT_EQ(o.IsModified(), 1);

  xr.Set(10.0, 100.0, 0);
  o.OnEvent(event_rulerChanged, 0, 0);
  EXPECT_EQ(o.scalings, before + 1);
  EXPECT_EQ(o.IsModified(), 0);
  EXPECT_EQ(o.GetXScale()->GetRulOffset(), 10.0);

  yr.SetRange(20.0);
  o.OnEvent(event_rulerChanged, 0, 0);
  EXPECT_EQ(o.scalings, before + 2);
  EXPECT_EQ(o.GetYScale()->GetRulRange(), 20.0);

  // Without rulers there is nothing to compare: no crash, no rescale.
  Probe bare;
  bare.OnEvent(event_rulerChanged, 0, 0);
  EXPECT_EQ(bare.scalings, 0);
}

TEST_F(ObjectTest, EventCallbackForwardsToOnEvent) {
  Probe o;
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&o), nullptr,
                                            Probe::Callback(), event_kindCallback4);
  event_RegisterEvent(event_rulerChanged, key, event_modeSync, 0, event_any, 0, event_any);
  event_Send(event_rulerChanged, 1, 2, event_flagRuler);
  event_UnregisterClient(key);
  EXPECT_EQ(o.events, std::vector<unsigned>{event_rulerChanged});
}

// ---- Archive ----

TEST(ObjectArchive, StoresThirtyTwoLittleEndianBytesAndLoadsThemBack) {
  Probe a;
  a.EnableDraw(0);
  a.EnableBuild(1);
  a.SetContainer(0xA1B2C3D4u);
  a.SetColor(RGB(0x11, 0x22, 0x33));
  a.SetRect(CRect(-1, 2, 300, 0x01020304));
  std::vector<BYTE> bytes;
  {
    CArchive ar(bytes, CArchive::store);
    a.Serialize(ar);
  }
  const std::vector<BYTE> expected = {
      0, 0, 0, 0,                                   // draw enabled
      1, 0, 0, 0,                                   // build enabled
      0xD4, 0xC3, 0xB2, 0xA1,                       // container id
      0x11, 0x22, 0x33, 0,                          // colour 0x00BBGGRR
      0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0,           // left, top
      0x2C, 0x01, 0, 0, 0x04, 0x03, 0x02, 0x01};    // right, bottom
  EXPECT_EQ(bytes, expected);

  Probe b;
  {
    CArchive ar(bytes, CArchive::load);
    b.Serialize(ar);
  }
  EXPECT_EQ(b.IsDrawEnable(), 0);
  EXPECT_EQ(b.IsBuildEnable(), 1);
  EXPECT_EQ(b.GetContainer(), 0xA1B2C3D4u);
  EXPECT_EQ(b.GetColor(), RGB(0x11, 0x22, 0x33));
  CRect r;
  b.GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(-1, 2, 300, 0x01020304));
}

TEST(ObjectArchive, TruncatedInputThrowsEndOfFileAndKeepsWhatWasRead) {
  std::vector<BYTE> bytes = {0, 0, 0, 0, 1, 0, 0, 0, 0x44, 0x33};
  Probe o;
  CArchive ar(bytes, CArchive::load);
  try {
    o.Serialize(ar);
    FAIL() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
  EXPECT_EQ(o.IsDrawEnable(), 0);
  EXPECT_EQ(o.IsBuildEnable(), 1);
  EXPECT_EQ(o.GetContainer(), 0u);
  // The lock was released by the exception: the object is still usable.
  const CRect r(0, 0, 5, 5);
  o.Invalidate(&r);
  EXPECT_EQ(o.IsModified(), 1);
}

// ---- Dynamic objects ----

TEST_F(ObjectTest, FreshDynamicObjectDefaults) {
  Probe o;
  EXPECT_EQ(o.IsVisible(), 1);
  EXPECT_EQ(o.IsCaptureEnabled(), 1);
  EXPECT_EQ(o.IsSelectEnabled(), 1);
  EXPECT_EQ(o.IsFocusingEnabled(), 0);
  EXPECT_EQ(o.IsSelected(), 0);
  EXPECT_EQ(o.IsFocused(), 0);
  EXPECT_EQ(o.IsFocusedStateModified(), 0);
  EXPECT_EQ(o.IsCaptured(), 0);
  EXPECT_EQ(o.GetObjectState(), eObjectStateNormal);
  EXPECT_EQ(o.GetPickPrecision(), CSize(5, 5));
  CPoint p(3, 3);
  EXPECT_EQ(o.GetCursor(&p), reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_CROSS)));
  EXPECT_EQ(o.IsOnTop(&p), 0);
  EXPECT_EQ(o.OnBeginCapture(&p, MK_LBUTTON), 0);
  EXPECT_EQ(o.OnUpdateCapture(&p, MK_LBUTTON), 0);
  o.OnEndCapture(&p, 0);
  EXPECT_EQ(o.IsCaptured(), 0);
}

TEST_F(ObjectTest, DynamicSettersAndCaptureRect) {
  Probe o;
  CRect size(0, 0, 30, 20);
  o.OnSize(&size);
  o.Select(1);
  o.EnableCapture(0);
  o.EnableSelection(0);
  o.EnableFocusing(1);
  o.SetVisible(0);
  EXPECT_EQ(o.IsSelected(), 1);
  EXPECT_EQ(o.IsCaptureEnabled(), 0);
  EXPECT_EQ(o.IsSelectEnabled(), 0);
  EXPECT_EQ(o.IsFocusingEnabled(), 1);
  EXPECT_EQ(o.IsVisible(), 0);
  EXPECT_TRUE(g_sent.empty());  // none of these invalidates

  CRect r(1, 2, 3, 4);
  EXPECT_EQ(o.GetCaptureRect(1, &r), 0);
  EXPECT_EQ(r, CRect(1, 2, 3, 4));
  EXPECT_EQ(o.GetCaptureRect(0, &r), 1);
  EXPECT_EQ(r, size);

  for (unsigned flags : {0u, 1u, 0x4000u, 0xFFFFu}) {
    o.SetPickPrecision(CSize(static_cast<int>(flags % 7), 9), flags);
    EXPECT_EQ(o.GetPickPrecision(0x8000u), CSize(static_cast<int>(flags % 7), 9));
  }
  HICON custom = reinterpret_cast<HICON>(::LoadCursorW(nullptr, IDC_HAND));
  o.SetCursor(custom);
  EXPECT_EQ(o.GetCursor(nullptr), custom);
}

TEST_F(ObjectTest, StateAndFocusSettersInvalidateEvenWhenUnchanged) {
  Probe o;
  CRect size(0, 0, 30, 20);
  o.OnSize(&size);
  o.SetObjectState(eObjectStateNormal);
  EXPECT_EQ(g_sent.size(), 1u);
  o.SetFocus(0);
  EXPECT_EQ(g_sent.size(), 2u);
  o.SetFocusedStateModified(0);
  EXPECT_EQ(g_sent.size(), 3u);
  o.SetObjectState(eObjectStateKeepFocus);
  o.SetFocus(1);
  o.SetFocusedStateModified(1);
  EXPECT_EQ(g_sent.size(), 6u);
  EXPECT_EQ(o.GetObjectState(), eObjectStateKeepFocus);
  EXPECT_EQ(o.IsFocused(), 1);
  EXPECT_EQ(o.IsFocusedStateModified(), 1);
  EXPECT_EQ(o.Region().BoundingRectangle(), size);
}

}  // namespace
