// Window management: handles, creation and destruction messages, geometry, enabling, parents.
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/detail/window_registry.h"
#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

using quarlen::test::PumpUntilIdle;

namespace {

TEST(Window, CreateSendsCreateSizeMoveAndShows) {
  CRecorderWnd top;
  ASSERT_TRUE(top.CreateTop({10, 20, 210, 170}));
  EXPECT_TRUE(IsWindow(top.m_hWnd));
  EXPECT_EQ(top.Messages({WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}),
            (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
  EXPECT_EQ(top.Last(WM_SIZE)->lParam, MAKELPARAM(200, 150));
  CRect rc;
  top.GetClientRect(&rc);
  EXPECT_EQ(rc, CRect(0, 0, 200, 150));
  EXPECT_TRUE(top.IsWindowVisible());
}

TEST(Window, HiddenUntilShown) {
  CRecorderWnd top;
  ASSERT_TRUE(top.CreateTop({0, 0, 50, 50}, 0));
  EXPECT_FALSE(top.IsWindowVisible());
  EXPECT_FALSE(top.ShowWindow(SW_SHOW));  // previously hidden
  EXPECT_TRUE(top.IsWindowVisible());
  EXPECT_TRUE(top.ShowWindow(SW_HIDE));
  EXPECT_FALSE(top.IsWindowVisible());
}

TEST(Window, DestroySendsDestroyToParentThenChildrenAndKillsHandles) {
  CRecorderWnd top, child;
  ASSERT_TRUE(top.CreateTop({0, 0, 100, 100}));
  ASSERT_TRUE(child.CreateChild(&top, {5, 5, 50, 50}));
  std::vector<std::pair<HWND, UINT>> order;
  HWND topHandle = top.m_hWnd, childHandle = child.m_hWnd;
  top.log.clear();
  child.log.clear();
  ASSERT_TRUE(top.DestroyWindow());
  EXPECT_EQ(top.Messages({WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(child.Messages({WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(topHandle));
  EXPECT_FALSE(IsWindow(childHandle));
  EXPECT_EQ(top.m_hWnd, nullptr);
  EXPECT_EQ(child.m_hWnd, nullptr);
  PumpUntilIdle();  // deferred widget deletion must not touch the dead windows

  // A new window never gets a dead handle back.
  CRecorderWnd again;
  ASSERT_TRUE(again.CreateTop({0, 0, 10, 10}));
  EXPECT_NE(again.m_hWnd, topHandle);
  EXPECT_NE(again.m_hWnd, childHandle);
  EXPECT_FALSE(IsWindow(topHandle));
}

TEST(Window, CallsOnDeadOrNullHandlesFailQuietly) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));
  HWND dead = w.m_hWnd;
  w.DestroyWindow();
  RECT rc{1, 2, 3, 4};
  POINT pt{1, 1};
  for (HWND h : {dead, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x1234)}) {
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(SendMessageW(h, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(h, WM_USER, 0, 0) && h != nullptr);
    EXPECT_FALSE(SendNotifyMessageW(h, WM_USER, 0, 0));
    EXPECT_FALSE(GetClientRect(h, &rc));
    EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
    EXPECT_FALSE(ClientToScreen(h, &pt));
    EXPECT_FALSE(MoveWindow(h, 0, 0, 5, 5, TRUE));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(GetDC(h) == nullptr, h != nullptr);
  }
  PumpUntilIdle();
}

TEST(Window, ChildNeedsALiveParent) {
  CRecorderWnd child;
  EXPECT_FALSE(child.CreateChild(nullptr, {0, 0, 10, 10}));
  EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST(Window, HugeRectanglesSaturate) {
  CRecorderWnd top;
  ASSERT_TRUE(top.CreateTop({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0));
  CRect rc;
  top.GetClientRect(&rc);
  EXPECT_EQ(rc, CRect(0, 0, 8192, 8192));
  top.MoveWindow(0, 0, -50, -7);  // negative sizes become empty
  top.GetClientRect(&rc);
  EXPECT_EQ(rc, CRect(0, 0, 0, 0));
}

TEST(Window, MoveWindowSendsMoveThenSizeAndRepositionsChild) {
  CRecorderWnd top, child;
  ASSERT_TRUE(top.CreateTop({100, 100, 400, 400}));
  ASSERT_TRUE(child.CreateChild(&top, {0, 0, 10, 10}));
  child.log.clear();
  child.MoveWindow(30, 40, 60, 70, FALSE);
  EXPECT_EQ(child.Messages({WM_MOVE, WM_SIZE, WM_PAINT}), (std::vector<UINT>{WM_MOVE, WM_SIZE}));
  EXPECT_EQ(child.Last(WM_MOVE)->lParam, MAKELPARAM(30, 40));
  EXPECT_EQ(child.Last(WM_SIZE)->lParam, MAKELPARAM(60, 70));
  CPoint p(1, 2);
  child.ClientToScreen(&p);
  CPoint q(1, 2);
  top.ClientToScreen(&q);
  EXPECT_EQ(p, CPoint(q.x + 30, q.y + 40));
  child.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(1, 2));

  child.log.clear();
  child.MoveWindow(30, 40, 60, 70, TRUE);  // same place and size: repaint only
  EXPECT_EQ(child.Messages({WM_MOVE, WM_SIZE, WM_PAINT}), (std::vector<UINT>{WM_PAINT}));
}

TEST(Window, EnableWindowReturnsPreviousDisabledStateAndSendsEnable) {
  CRecorderWnd top, child;
  ASSERT_TRUE(top.CreateTop({0, 0, 100, 100}, WS_VISIBLE | WS_DISABLED));
  ASSERT_TRUE(child.CreateChild(&top, {0, 0, 10, 10}));
  EXPECT_FALSE(top.IsWindowEnabled());
  top.log.clear();
  EXPECT_TRUE(top.EnableWindow(TRUE));  // was disabled
  EXPECT_EQ(top.Messages({WM_ENABLE}), (std::vector<UINT>{WM_ENABLE}));
  EXPECT_EQ(top.Last(WM_ENABLE)->wParam, static_cast<WPARAM>(TRUE));
  EXPECT_FALSE(top.EnableWindow(TRUE));  // no change, no message
  EXPECT_EQ(top.Count(WM_ENABLE), 1);
  EXPECT_FALSE(top.EnableWindow(FALSE));
  EXPECT_EQ(top.Messages({WM_CANCELMODE, WM_ENABLE}),
            (std::vector<UINT>{WM_ENABLE, WM_CANCELMODE, WM_ENABLE}));
  // The child keeps its own state and gets no WM_ENABLE.
  EXPECT_TRUE(child.IsWindowEnabled());
  EXPECT_EQ(child.Count(WM_ENABLE), 0);
}

class CTestFrame : public CFrameWnd {};

TEST(Window, ParentOwnerFrameIdAndText) {
  CTestFrame frame;
  ASSERT_TRUE(frame.Create(nullptr, L"frame", WS_OVERLAPPED, {0, 0, 300, 300}, nullptr, 0));
  CRecorderWnd mid, leaf, other;
  ASSERT_TRUE(mid.CreateChild(&frame, {0, 0, 200, 200}, WS_VISIBLE, 7));
  ASSERT_TRUE(leaf.CreateChild(&mid, {0, 0, 20, 20}, WS_VISIBLE, 1670));
  ASSERT_TRUE(other.CreateTop({0, 0, 10, 10}));
  EXPECT_EQ(leaf.GetParent(), &mid);
  EXPECT_EQ(leaf.GetOwner(), &mid);
  leaf.SetOwner(&other);
  EXPECT_EQ(leaf.GetOwner(), &other);
  EXPECT_EQ(leaf.GetParentFrame(), &frame);
  EXPECT_EQ(frame.GetParentFrame(), nullptr);
  EXPECT_EQ(leaf.GetDlgCtrlID(), 1670);
  EXPECT_EQ(mid.GetDlgItem(1670), &leaf);
  EXPECT_EQ(mid.GetDlgItem(99), nullptr);
  EXPECT_EQ(frame.GetParent(), nullptr);  // overlapped top-level: no parent
  leaf.SetWindowText(L"起始:");
  CString text;
  leaf.GetWindowText(text);
  EXPECT_STREQ(text.GetString(), L"起始:");
  EXPECT_EQ(leaf.GetWindowTextLength(), 3);
}

TEST(Window, AttachDetachAndFromHandle) {
  CRecorderWnd a;
  ASSERT_TRUE(a.CreateTop({0, 0, 10, 10}));
  HWND h = a.m_hWnd;
  EXPECT_EQ(CWnd::FromHandle(h), &a);
  CRecorderWnd b;
  ASSERT_TRUE(b.Attach(h));
  EXPECT_EQ(CWnd::FromHandle(h), &b);
  EXPECT_EQ(a.m_hWnd, nullptr);
  b.log.clear();
  SendMessageW(h, WM_USER + 5, 0, 0);
  EXPECT_EQ(b.Count(WM_USER + 5), 1);
  EXPECT_EQ(b.Detach(), h);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(CWnd::FromHandle(h), nullptr);
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, 0), HTCLIENT);  // default procedure only
  EXPECT_TRUE(DestroyWindow(h));
}

TEST(Window, MainWindowIsSettableAndReadableFromOtherThreads) {
  CRecorderWnd main;
  ASSERT_TRUE(main.CreateTop({0, 0, 10, 10}));
  AfxSetMainWnd(&main);
  EXPECT_EQ(AfxGetMainWnd(), &main);
  HWND seen = nullptr;
  std::thread t([&] { seen = quarlen::detail::MainWindowHandle(); });
  t.join();
  EXPECT_EQ(seen, main.m_hWnd);
  ASSERT_NE(AfxGetThread(), nullptr);
  EXPECT_EQ(AfxGetThread()->m_nThreadID, GetCurrentThreadId());
  main.DestroyWindow();
  EXPECT_EQ(quarlen::detail::MainWindowHandle(), nullptr);
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  AfxSetMainWnd(nullptr);
}

// How a window goes away, and whether the application's event loop ends with it. Each case runs
// QApplication::exec; once the close has been handled, a queued call ends the loop with code 7
// unless the quit message came first (code 0). A guard ends it with 99 should neither come.
struct MainCloseCase {
  const char* name;
  bool main;  // the closed window is the application's main window
  void (*close)(CRecorderWnd& w);
  int exitCode;
};

const MainCloseCase kMainCloseCases[] = {
    {"the user closes the main window", true,
     [](CRecorderWnd& w) { quarlen::detail::FindWindowRecord(w.m_hWnd)->widget->close(); }, 0},
    {"WM_CLOSE to the main window", true, [](CRecorderWnd& w) { w.SendMessage(WM_CLOSE, 0, 0); },
     0},
    {"DestroyWindow of the main window", true, [](CRecorderWnd& w) { w.DestroyWindow(); }, 0},
    {"the user closes another top-level window", false,
     [](CRecorderWnd& w) { quarlen::detail::FindWindowRecord(w.m_hWnd)->widget->close(); }, 7},
};

TEST(Window, ClosingTheMainWindowEndsTheEventLoop) {
  for (const MainCloseCase& tc : kMainCloseCases) {
    SCOPED_TRACE(tc.name);
    CRecorderWnd main, other;
    ASSERT_TRUE(main.CreateTop({0, 0, 100, 80}));
    ASSERT_TRUE(other.CreateTop({0, 0, 100, 80}));
    AfxSetMainWnd(&main);
    CRecorderWnd& closed = tc.main ? main : other;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    // Sees the quit message go by (and leaves it to the loop), so that the fallback below does
    // not overwrite the exit code of a loop already told to end in the same round.
    bool quitSeen = false;
    quarlen::SetThreadMessageHook([&](MSG* m) -> BOOL {
      if (m->message == WM_QUIT) quitSeen = true;
      return FALSE;
    });
    QTimer::singleShot(0, [&] {
      tc.close(closed);
      QMetaObject::invokeMethod(
          QCoreApplication::instance(),
          [&] {
            if (!quitSeen) QCoreApplication::exit(7);
          },
          Qt::QueuedConnection);
    });
    EXPECT_EQ(QCoreApplication::exec(), tc.exitCode);
    quarlen::SetThreadMessageHook({});
    EXPECT_FALSE(IsWindow(closed.m_hWnd));
    EXPECT_EQ(AfxGetMainWnd(), tc.main ? nullptr : &main);
    AfxSetMainWnd(nullptr);
    main.DestroyWindow();
    other.DestroyWindow();
    quarlen::test::PumpUntilIdle();
  }
}

TEST(Window, HostWidgetBecomesAFrameAndViewsGoIntoItsLayout) {
  auto* host = new QWidget;
  auto* layout = new QHBoxLayout(host);
  host->resize(300, 200);
  CTestFrame frame;
  ASSERT_TRUE(frame.AttachWidget(host));
  CRecorderWnd view;
  ASSERT_TRUE(view.CreateChild(&frame, {0, 0, 10, 10}));
  layout->addWidget(view.GetWidget());
  host->show();
  PumpUntilIdle();
  CRect rc;
  view.GetClientRect(&rc);
  EXPECT_GT(rc.Width(), 100);  // the layout sized the view
  EXPECT_EQ(view.Last(WM_SIZE)->lParam,
            MAKELPARAM(static_cast<WORD>(rc.Width()), static_cast<WORD>(rc.Height())));
  EXPECT_EQ(view.GetParentFrame(), &frame);
  // Messages to the host's handle reach the frame object.
  EXPECT_EQ(SendMessageW(frame.m_hWnd, WM_NCHITTEST, 0, 0), HTCLIENT);
  HWND viewHandle = view.m_hWnd, frameHandle = frame.m_hWnd;
  delete host;  // the host owns its widgets: both windows die with it
  EXPECT_FALSE(IsWindow(viewHandle));
  EXPECT_FALSE(IsWindow(frameHandle));
  EXPECT_EQ(view.Count(WM_DESTROY), 1);
  PumpUntilIdle();
}

}  // namespace
