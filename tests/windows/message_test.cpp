// Message maps, Default(), same-thread sending and posting, thread messages.
#include <gtest/gtest.h>

#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

using quarlen::test::PumpUntilIdle;

namespace {

class CBaseView : public CWnd {
 public:
  std::vector<std::string> calls;
  afx_msg LRESULT OnRuler(WPARAM w, LPARAM l) {
    calls.push_back("base 1620 " + std::to_string(w) + "," + std::to_string(l));
    return 42;
  }
  afx_msg void OnLButtonDown(UINT flags, CPoint p) {
    calls.push_back("base down " + std::to_string(flags) + " " + std::to_string(p.x) + "," +
                    std::to_string(p.y));
  }
  afx_msg void OnOk() { calls.push_back("command 1"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseView, CWnd)
ON_MESSAGE(1620, &CBaseView::OnRuler)
ON_WM_LBUTTONDOWN()
ON_COMMAND(IDOK, &CBaseView::OnOk)
END_MESSAGE_MAP()

class CDerivedView : public CBaseView {
 public:
  afx_msg void OnLButtonDown(UINT flags, CPoint p) {
    calls.push_back("derived down");
    CBaseView::OnLButtonDown(flags, p);
  }
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg) {
    calls.push_back("setcursor " + std::to_string(hit) + " " + std::to_string(msg));
    return CWnd::OnSetCursor(wnd, hit, msg);  // Default(): parent, then the class cursor
  }
  afx_msg LRESULT OnEvent(WPARAM, LPARAM) { return Default(); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedView, CBaseView)
ON_WM_LBUTTONDOWN()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_NCHITTEST, &CDerivedView::OnEvent)
END_MESSAGE_MAP()

TEST(MessageMap, RoutesToNamedHandlersThroughBaseMaps) {
  CDerivedView v;
  ASSERT_TRUE(v.Create(nullptr, L"", WS_OVERLAPPED, {0, 0, 50, 50}, nullptr, 0));
  EXPECT_EQ(v.SendMessage(1620, 7, -3), 42);  // found in the base class's map
  v.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-4), 9));
  v.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  v.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // unhandled: default
  EXPECT_EQ(v.calls, (std::vector<std::string>{"base 1620 7,-3", "derived down", "base down 1 -4,9",
                                               "command 1"}));
  // Default() inside a handler runs the default procedure of the message being handled.
  EXPECT_EQ(v.SendMessage(WM_NCHITTEST), HTCLIENT);
  // Unmapped messages reach the default procedure too.
  EXPECT_EQ(v.SendMessage(WM_USER + 99), 0);
}

TEST(MessageMap, SetCursorDefaultAsksTheParentFirst) {
  CDerivedView parent, child;
  ASSERT_TRUE(parent.Create(nullptr, L"", WS_OVERLAPPED | WS_VISIBLE, {0, 0, 50, 50}, nullptr, 0));
  ASSERT_TRUE(child.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, &parent, 1));
  child.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(child.m_hWnd),
                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(child.calls, (std::vector<std::string>{"setcursor 1 512"}));
  EXPECT_EQ(parent.calls, (std::vector<std::string>{"setcursor 1 512"}));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST(Messages, SendIsDirectAndPostIsQueuedInOrder) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));
  PumpUntilIdle();
  w.log.clear();
  ASSERT_TRUE(PostMessageW(w.m_hWnd, WM_USER + 1, 1, 0));
  ASSERT_TRUE(PostMessageW(w.m_hWnd, WM_USER + 2, 2, 0));
  SendMessageW(w.m_hWnd, WM_USER + 3, 3, 0);
  ASSERT_TRUE(SendNotifyMessageW(w.m_hWnd, WM_USER + 4, 4, 0));  // same thread: direct
  EXPECT_EQ(w.Messages(), (std::vector<UINT>{WM_USER + 3, WM_USER + 4}));
  PumpUntilIdle();
  EXPECT_EQ(w.Messages(), (std::vector<UINT>{WM_USER + 3, WM_USER + 4, WM_USER + 1, WM_USER + 2}));
}

TEST(Messages, PostedMessageForAWindowDestroyedMeanwhileIsDropped) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));
  HWND h = w.m_hWnd;
  ASSERT_TRUE(PostMessageW(h, WM_USER + 1, 0, 0));
  w.DestroyWindow();
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));  // the same object lives on with a new window
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(w.Count(WM_USER + 1), 0);
}

TEST(Messages, RegisteredNumbersArePlainNumbers) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateTop({0, 0, 10, 10}));
  for (UINT msg : {1616u, 1617u, 1620u, 1632u, 1026u, 1127u, 0x0401u}) {
    w.log.clear();
    ASSERT_TRUE(PostMessageW(w.m_hWnd, msg, 5, 6));
    PumpUntilIdle();
    ASSERT_EQ(w.Count(msg), 1) << msg;
    EXPECT_EQ(w.Last(msg)->wParam, 5u);
    EXPECT_EQ(w.Last(msg)->lParam, 6);
  }
}

TEST(ThreadMessages, GuiThreadMessagesGoToTheHook) {
  std::vector<UINT> seen;
  quarlen::SetThreadMessageHook([&](MSG* m) {
    seen.push_back(m->message);
    EXPECT_EQ(m->hwnd, nullptr);
    return TRUE;
  });
  const DWORD gui = AfxGetThread()->m_nThreadID;
  std::thread t([&] { EXPECT_TRUE(PostThreadMessageW(gui, 1617, 1, 2)); });
  t.join();
  EXPECT_TRUE(PostMessageW(nullptr, 1618, 0, 0));  // null window: the calling thread
  quarlen::test::PumpUntil([&] { return seen.size() == 2; });
  EXPECT_EQ(seen, (std::vector<UINT>{1617, 1618}));
  quarlen::SetThreadMessageHook(nullptr);
}

TEST(ThreadMessages, WorkerQueueExistsAfterItsFirstQueueCall) {
  EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, 1617, 0, 0));  // no such thread
  std::atomic<DWORD> id{0};
  std::vector<UINT> got;
  std::thread worker([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
    id = GetCurrentThreadId();
    id.notify_all();
    while (GetMessageW(&m, nullptr, 0, 0) > 0) got.push_back(m.message);
  });
  id.wait(0);
  EXPECT_TRUE(PostThreadMessageW(id, 1619, 0, 0));
  EXPECT_TRUE(PostThreadMessageW(id, 1623, 0, 0));
  EXPECT_TRUE(PostThreadMessageW(id, WM_QUIT, 0, 0));
  worker.join();
  EXPECT_EQ(got, (std::vector<UINT>{1619, 1623}));
  EXPECT_FALSE(PostThreadMessageW(id, 1617, 0, 0));  // the thread and its queue are gone
}

}  // namespace
