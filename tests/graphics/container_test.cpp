// Container window: layers, incremental repaint, double buffering, acknowledgements and 1127,
// resize, scroll, print, removal and destruction.
#include "tests/graphics/graphics_fixture.h"

#include "platform/collections.h"

namespace gfxtest {

BEGIN_MESSAGE_MAP(Frame, CFrameWnd)
  ON_MESSAGE(1026, &Frame::OnNotice)
  ON_MESSAGE(1127, &Frame::OnAllAcknowledged)
  ON_MESSAGE(WM_RBUTTONDOWN, &Frame::OnRightPress)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kGrey = RGB(128, 128, 128), kYellow = RGB(255, 255, 0);

TEST_F(ContainerTest, EmptyContainerFillsWithWhite) {
  PaintSentinel();
  c->Redraw();
  EXPECT_EQ(Pixel(0, 0), kWhite);
  EXPECT_EQ(Pixel(kW - 1, kH - 1), kWhite);
  EXPECT_EQ(c->GetObjectQty(), 0);
  EXPECT_EQ(c->GetID(), reinterpret_cast<std::uintptr_t>(c.get()));
}

TEST_F(ContainerTest, LayersFromBackgroundToTracking) {
  Box* bg = Make("bg", CRect(0, 0, kW, kH), kGrey);
  Box* o = Make("o", CRect(10, 10, 40, 40), kRed);
  Box* p = Make("p", CRect(30, 10, 60, 40), kGreen);   // Add(p, 0) after o: p on top
  Box* q = Make("q", CRect(0, 0, 35, 15), kBlue);      // Add(q, 1): bottom of the static layer
  Box* d = Make("d", CRect(50, 30, 70, 50), kYellow);  // dynamic: above every static object
  Box* t = Make("t", CRect(0, 60, 100, 80), kRed);     // tracking: only while capturing

  c->AddBackground(bg);
  EXPECT_EQ(c->GetBackgroundColor(), 0u);
  c->Add(o, 0);
  c->Add(p, 0);
  c->Add(q, 1);
  c->AddDynamic(d, 0);
  c->AddTracking(t);
  EXPECT_EQ(c->GetObjectQty(), 6);
  EXPECT_EQ(bg->GetContainer(), c->GetID());
  CObList statics;
  c->GetObjects(&statics);
  ASSERT_EQ(statics.GetCount(), 3);
  EXPECT_EQ(statics.GetHead(), p);
  EXPECT_EQ(statics.GetTail(), q);

  c->Redraw();
  struct Expect {
    int x, y;
    COLORREF color;
  };
  for (const Expect& e : {Expect{5, 5, kBlue}, Expect{12, 12, kRed}, Expect{32, 12, kGreen},
                          Expect{35, 20, kGreen}, Expect{55, 35, kYellow}, Expect{5, 50, kGrey},
                          Expect{5, 70, kGrey}, Expect{90, 5, kGrey}}) {
    EXPECT_EQ(Pixel(e.x, e.y), e.color) << e.x << "," << e.y;
  }
  CPoint pt;
  t->OnBeginCapture(&pt, 0);  // sets its capture-in-progress flag
  c->Redraw();
  EXPECT_EQ(Pixel(5, 70), kRed);
  t->OnEndCapture(&pt, 0);
  c->Redraw();
  EXPECT_EQ(Pixel(5, 70), kGrey);
}

TEST_F(ContainerTest, BackgroundColourReplacesBackgroundObject) {
  Box* bg = Make("bg", CRect(0, 0, kW, kH), kGrey);
  c->AddBackground(bg);
  c->SetBackgroundColor(kBlue);
  EXPECT_EQ(c->GetBackground(), nullptr);
  EXPECT_EQ(c->GetBackgroundColor(), kBlue);
  Pump();  // the invalidation paints
  EXPECT_EQ(Pixel(50, 50), kBlue);
}

struct RepaintCase {
  const char* name;
  int doubleBuffering;
};

class IncrementalRepaint : public ContainerTest,
                           public ::testing::WithParamInterface<RepaintCase> {};

// Only the rectangles that objects put into their update regions change on the surface.
TEST_P(IncrementalRepaint, OnlyCollectedRectanglesChange) {
  c->EnableDoubleBuffering(GetParam().doubleBuffering);
  Box* a = Make("a", CRect(10, 10, 20, 20), kRed);
  Box* s = Make("s", CRect(0, 30, 100, 35), kGreen);
  c->AddDynamic(a, 0);
  c->Add(s, 0);
  c->Redraw();
  c->Update();
  PaintSentinel();

  a->MoveTo(CRect(60, 50, 70, 60));  // invalidates the old and the new box
  c->Update();
  CDC* dc = c->GetDC();
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const bool oldBox = x >= 10 && x < 20 && y >= 10 && y < 20;
      const bool newBox = x >= 60 && x < 70 && y >= 50 && y < 60;
      const COLORREF expected = newBox ? kRed : oldBox ? kWhite : kSentinel;
      ASSERT_EQ(dc->GetPixel(x, y), expected) << x << "," << y;
    }
  }
  c->ReleaseDC(dc);
  EXPECT_EQ(a->IsModified(), 0);  // acknowledged
}

INSTANTIATE_TEST_SUITE_P(Table, IncrementalRepaint,
                         ::testing::Values(RepaintCase{"Direct", 0}, RepaintCase{"Buffered", 1}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ContainerTest, ObjectChangeReachesContainerThroughEventService) {
  Box* a = Make("a", CRect(10, 10, 20, 20), kRed);
  c->AddDynamic(a, 0);
  Pump();
  PaintSentinel();
  a->MoveTo(CRect(30, 30, 40, 40));
  Deliver();
  EXPECT_EQ(Pixel(35, 35), kRed);
  EXPECT_EQ(Pixel(15, 15), kWhite);
  EXPECT_EQ(Pixel(50, 50), kSentinel);
}

TEST_F(ContainerTest, DoubleBufferingPaintsTheSameImage) {
  auto scene = [&](int buffered) {
    c->RemoveAll();
    objects.clear();
    c->EnableDoubleBuffering(buffered);
    Box* bg = Make("bg", CRect(0, 0, kW, kH), kGrey);
    Box* s = Make("s", CRect(5, 5, 50, 50), kGreen);
    Box* d = Make("d", CRect(20, 20, 80, 30), kBlue);
    c->AddBackground(bg);
    c->Add(s, 0);
    c->AddDynamic(d, 0);
    c->Redraw();
    d->MoveTo(CRect(25, 40, 95, 75));
    s->SetColor(kYellow);
    c->Update();
    return Pixels();
  };
  const std::vector<COLORREF> direct = scene(0);
  const std::vector<COLORREF> buffered = scene(1);
  EXPECT_EQ(direct, buffered);
  EXPECT_EQ(direct[45 * kW + 50], kBlue);
  c->EnableDoubleBuffering(0);
  EXPECT_EQ(c->IsDoubleBufferingEnabled(), 0);
}

// A static object that, as it is drawn, lets the window work run and notes what the screen
// shows meanwhile at a point of the repainted area (where a dynamic object lies on top).
class ScreenProbe : public CGObject {
 public:
  ScreenProbe(HWND window, CPoint at) : window_(window), at_(at) {}
  std::vector<COLORREF> seen;
  void OnDraw(CDC*, CRect* clip) override {
    if (!clip->PtInRect(at_)) return;
    quarlen::test::PumpUntilIdle();
    seen.push_back(quarlen::test::ScreenPixelAt(window_, at_.x, at_.y));
  }

 private:
  HWND window_;
  CPoint at_;
};

struct MidRepaintCase {
  const char* name;
  int doubleBuffering;
  COLORREF shownMidRepaint;  // at the probe, while the layers below the top one are drawn
};

class ScreenDuringRepaint : public ContainerTest,
                            public ::testing::WithParamInterface<MidRepaintCase> {};

// Double buffered, the screen goes from the old picture to the new one; drawn directly, it may
// show a repaint half done (here the background without the object above it).
TEST_P(ScreenDuringRepaint, ShowsAHalfDoneRepaintOnlyWithoutDoubleBuffering) {
  c->EnableDoubleBuffering(GetParam().doubleBuffering);
  Box* bg = Make("bg", CRect(0, 0, kW, kH), kGrey);
  Box* top = Make("top", CRect(10, 10, 30, 30), kRed);
  ScreenProbe probe(c->m_hWnd, CPoint(20, 20));
  c->AddBackground(bg);
  c->Add(&probe, 0);
  c->AddDynamic(top, 0);
  Deliver();
  c->Redraw();
  Pump();
  ASSERT_EQ(quarlen::test::ScreenPixelAt(c->m_hWnd, 20, 20), kRed);
  probe.seen.clear();

  top->SetColor(kBlue);
  top->MoveTo(CRect(10, 10, 30, 30));  // invalidates its box
  c->Update();
  EXPECT_EQ(probe.seen, std::vector<COLORREF>{GetParam().shownMidRepaint});
  Pump();
  EXPECT_EQ(quarlen::test::ScreenPixelAt(c->m_hWnd, 20, 20), kBlue);
  EXPECT_EQ(Pixel(20, 20), kBlue);
  c->Remove(&probe);
}

INSTANTIATE_TEST_SUITE_P(Table, ScreenDuringRepaint,
                         ::testing::Values(MidRepaintCase{"Direct", 0, kGrey},
                                           MidRepaintCase{"DoubleBuffered", 1, kRed}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ContainerTest, SingleObjectUpdateDrawsChosenLayers) {
  Box* bg = Make("bg", CRect(0, 0, kW, kH), kGrey);
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddBackground(bg);
  c->AddDynamic(a, 0);
  c->Redraw();
  struct Case {
    gocont_enumUpdate which;
    COLORREF inside, outsideInArea;
  };
  for (const Case& k : {Case{gocont_updateBackground, kGrey, kGrey},
                        Case{gocont_updateObjects, kRed, kSentinel},
                        Case{gocont_updateAll, kRed, kGrey}}) {
    PaintSentinel();
    const CRect area(5, 5, 40, 40);
    a->Invalidate(&area);
    c->Update(a, k.which);
    EXPECT_EQ(Pixel(20, 20), k.inside) << k.which;
    EXPECT_EQ(Pixel(7, 7), k.outsideInArea) << k.which;
    EXPECT_EQ(Pixel(60, 60), kSentinel) << k.which;
    EXPECT_EQ(a->IsModified(), 0);
  }
}

TEST_F(ContainerTest, AllAcknowledgedIsPostedAfterResizeWhenEveryObjectWasCollected) {
  Box* a = Make("a", CRect(10, 10, 20, 20), kRed);
  Box* b = Make("b", CRect(30, 10, 40, 20), kGreen);
  Box* s = Make("s", CRect(50, 10, 60, 20), kBlue);
  c->AddDynamic(a, 0);
  c->AddDynamic(b, 0);
  c->Add(s, 0);
  Deliver();
  c->MoveWindow(0, 0, 90, 70);  // resize: the count starts again
  Pump();
  frame->Take();

  a->MoveTo(CRect(11, 11, 21, 21));
  b->MoveTo(CRect(31, 11, 41, 21));
  Deliver();
  EXPECT_TRUE(frame->Take().empty());  // two of three

  s->MoveTo(CRect(51, 11, 61, 21));
  Deliver();
  EXPECT_EQ(frame->Take(), (std::vector<ParentMessage>{{1127, 0, 0}}));

  a->MoveTo(CRect(12, 12, 22, 22));
  Deliver();
  EXPECT_TRUE(frame->Take().empty());  // four acknowledgements now
}

TEST_F(ContainerTest, ResizeGivesEveryObjectTheClientRectangle) {
  Box* a = Make("a", CRect(10, 10, 20, 20), kRed);
  Box* t = Make("t", CRect(0, 0, 1, 1), kRed);
  c->AddDynamic(a, 0);
  c->AddTracking(t);
  CRect r;
  a->GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(0, 0, kW, kH));
  c->MoveWindow(0, 0, 120, 60);
  Pump();
  a->GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 120, 60));
  t->GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 120, 60));
  EXPECT_EQ(a->GetXScale()->GetWndSize(), 119);
  // Below 2 x 2 nothing changes.
  c->MoveWindow(0, 0, 1, 60);
  Pump();
  a->GetVisibleRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 120, 60));
}

TEST_F(ContainerTest, RulerChangeRescalesObjectsAndRepaints) {
  Box* a = Make("a", CRect(10, 10, 20, 20), kRed);
  c->AddDynamic(a, 0);
  EXPECT_EQ(a->GetXScale()->GetRulRange(), 100.0);
  xr.Set(0.0, 50.0, 0);
  Deliver();
  EXPECT_EQ(a->GetXScale()->GetRulRange(), 50.0);
  EXPECT_DOUBLE_EQ(c->GetPixelWidth(), 0.5);
  EXPECT_DOUBLE_EQ(c->GetPixelHeight(), 1.0);

  // SetRuler hands the new rulers over and follows their changes from then on.
  CRuler other;
  other.Set(0.0, 10.0, 0);
  c->SetRuler(&other, &yr);
  EXPECT_EQ(a->GetXScale()->GetRulRange(), 10.0);
  other.Set(0.0, 20.0, 0);
  Deliver();
  EXPECT_EQ(a->GetXScale()->GetRulRange(), 20.0);
  c->SetRuler(&xr, &yr);
}

TEST_F(ContainerTest, MoveToTopAndBottomReorderDynamicLayer) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  Box* b = Make("b", CRect(20, 20, 40, 40), kBlue);
  c->AddDynamic(a, 1);
  c->AddDynamic(b, 1);
  EXPECT_EQ(c->GetHighestObject(), a);
  EXPECT_EQ(c->GetLowestObject(), b);
  c->MoveToTop(b);
  EXPECT_EQ(Pixel(25, 25), kBlue);
  c->MoveToBottom(b);
  EXPECT_EQ(c->GetHighestObject(), a);
  EXPECT_EQ(Pixel(25, 25), kRed);
  CPoint p(25, 25);
  EXPECT_EQ(c->GetObjectOnTop(&p), a);
  a->EnableCapture(0);
  EXPECT_EQ(c->GetObjectOnTop(&p), b);  // capture-disabled objects are never picked
  CPoint far(90, 5);
  EXPECT_EQ(c->GetObjectOnTop(&far), nullptr);
}

TEST_F(ContainerTest, RemoveDetachesAndRepaints) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  Box* s = Make("s", CRect(50, 10, 70, 30), kGreen);
  c->AddDynamic(a, 0);
  c->Add(s, 0);
  EXPECT_EQ(c->IsInContainer(a), 1);
  c->Remove(a);
  EXPECT_EQ(c->IsInContainer(a), 0);
  EXPECT_EQ(a->GetContainer(), 0u);
  EXPECT_EQ(TakeLog(), (Log{"a.destroyWnd"}));
  EXPECT_EQ(Pixel(20, 20), kWhite);
  EXPECT_EQ(Pixel(60, 20), kGreen);
  c->RemoveAll();
  EXPECT_EQ(TakeLog(), (Log{"s.destroyWnd"}));
  EXPECT_EQ(c->GetObjectQty(), 0);
}

TEST_F(ContainerTest, ObjectDeletedAfterRemovalIsNeverCalledAgain) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddDynamic(a, 0);
  const CRect r(0, 0, 50, 50);
  a->Invalidate(&r);  // a 1618 for the container is under way
  c->Remove(a);
  objects.clear();  // the application deletes it
  Deliver();
  xr.Set(5.0, 20.0, 0);
  Deliver();
  c->Redraw();
  c->Update();
  Mouse(WM_MOUSEMOVE, 0, 20, 20);
  c->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(c->m_hWnd), MAKELPARAM(HTCLIENT, 0));
  SUCCEED();  // AddressSanitizer reports any call into the deleted object
}

TEST_F(ContainerTest, MessagesAfterDestructionDoNothing) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddDynamic(a, 0);
  const HWND old = c->m_hWnd;
  c->DestroyWindow();
  EXPECT_EQ(a->GetContainer(), c->GetID());  // detached without SetContainer(0)
  EXPECT_EQ(c->GetObjectQty(), 0);
  EXPECT_EQ(TakeLog(), (Log{"a.destroyWnd"}));
  ::PostMessageW(old, 1618, c->GetID(), 0);
  ::SendMessageW(old, 1620, xr.GetID(), 0);
  a->MoveTo(CRect(0, 0, 5, 5));
  xr.Set(1.0, 10.0, 0);
  Deliver();
  c->Update();
  c->SignalRulerChange();
  c->Redraw();
  EXPECT_TRUE(TakeLog().empty());
}

// Deleting a container whose window still exists calls none of its objects, so the application
// may delete the objects and the container in either order (AddressSanitizer reports a call
// into a deleted object); only an explicit DestroyWindow tells them (test above).
TEST_F(ContainerTest, DeletingTheContainerTouchesNoObjectInEitherOrder) {
  struct Case {
    const char* name;
    bool objectsFirst;
    bool dragging;  // a drag of the dynamic object is in progress at the deletion
  } cases[] = {
      {"container, then objects", false, false},
      {"objects, then container", true, false},
      {"objects, then container, during a drag", true, true},
  };
  for (const Case& k : cases) {
    auto cont = std::make_unique<CGOContainer>();
    ASSERT_TRUE(cont->Create(frame.get(), 8, &xr, &yr, 1, 1));
    cont->MoveWindow(0, 0, kW, kH);
    cont->ShowWindow(SW_SHOW);
    std::vector<std::unique_ptr<Box>> held;
    for (const char* name : {"bg", "s", "d", "t"})
      held.push_back(std::make_unique<Box>(name, CRect(10, 10, 30, 30), kRed, &log));
    cont->AddBackground(held[0].get());
    cont->Add(held[1].get(), 0);
    cont->AddDynamic(held[2].get(), 0);
    cont->AddTracking(held[3].get());
    if (k.dragging) {
      cont->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
      cont->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 20));
    }
    const CRect r(0, 0, 50, 50);
    held[2]->Invalidate(&r);  // a 1618 for the container is under way
    const HWND hwnd = cont->m_hWnd;
    TakeLog();

    if (k.objectsFirst) held.clear();
    cont.reset();
    held.clear();
    EXPECT_FALSE(::IsWindow(hwnd)) << k.name;
    EXPECT_EQ(TakeLog(), Log{}) << k.name;
    Deliver();  // the object's change announcement finds no container
  }
}

TEST_F(ContainerTest, DrawDisabledOrWindowDisabledPaintsNothing) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddDynamic(a, 0);
  PaintSentinel();
  c->EnableDraw(0);
  EXPECT_EQ(c->IsDrawEnabled(), 0);
  c->Redraw();
  EXPECT_EQ(Pixel(20, 20), kSentinel);
  c->EnableDraw(1);  // turning on repaints
  EXPECT_EQ(Pixel(20, 20), kRed);
  PaintSentinel();
  c->EnableWindow(FALSE);
  c->Redraw();
  EXPECT_EQ(Pixel(20, 20), kSentinel);
  c->EnableWindow(TRUE);
}

TEST_F(ContainerTest, ScrollMovesContentByVerticalFirstArgument) {
  c->Redraw();
  CDC* dc = c->GetDC();
  dc->FillSolidRect(40, 20, 5, 1, kRed);
  c->ReleaseDC(dc);
  c->Scroll(10, 0);
  EXPECT_EQ(Pixel(42, 30), kRed);
  EXPECT_NE(Pixel(42, 20), kRed);
}

TEST_F(ContainerTest, PrintPaintsLayersAtOffset) {
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddDynamic(a, 0);
  CDC* wdc = c->GetDC();
  CDC mem;
  mem.CreateCompatibleDC(wdc);
  CBitmap bm;
  bm.CreateCompatibleBitmap(wdc, 200, 200);
  mem.SelectObject(&bm);
  c->ReleaseDC(wdc);
  mem.FillSolidRect(0, 0, 200, 200, kSentinel);
  c->Print(&mem, 50, 60);
  mem.SelectClipRgn(nullptr);  // Print leaves the client clip on the DC
  EXPECT_EQ(mem.GetPixel(50 + 20, 60 + 20), kRed);
  EXPECT_EQ(mem.GetPixel(50 + 5, 60 + 5), kWhite);
  EXPECT_EQ(mem.GetPixel(20, 20), kSentinel);
  EXPECT_EQ(mem.GetPixel(50 + kW + 5, 60 + 5), kSentinel);
  EXPECT_EQ(mem.GetViewportOrg(), CPoint(0, 0));
}

TEST_F(ContainerTest, DataLimitsAndRulersReachObjectsAddedLater) {
  c->SetDataLimits(1.0, 2.0, 3.0, 4.0);
  Box* a = Make("a", CRect(10, 10, 30, 30), kRed);
  c->AddDynamic(a, 0);
  CRuler *x = nullptr, *y = nullptr;
  a->GetRuler(&x, &y);
  EXPECT_EQ(x, &xr);
  EXPECT_EQ(y, &yr);
  EXPECT_TRUE(a->GetYScale()->IsInverted());  // Y grows upwards
  int gx = 0, gy = 0;
  c->GetRulerGrow(&gx, &gy);
  EXPECT_EQ(gx, 1);
  EXPECT_EQ(gy, 1);
}

}  // namespace
}  // namespace gfxtest
