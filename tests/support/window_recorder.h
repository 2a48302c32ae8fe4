#pragma once
// A window that records the messages it receives, for order tests.
#include <thread>
#include <vector>

#include "platform/window.h"
#include "platform/window_dc.h"

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  std::thread::id thread;
};

class CRecorderWnd : public CWnd {
 public:
  std::vector<Received> log;
  // Messages worth looking at in order tests (the rest is still recorded in `log`).
  std::vector<UINT> Messages(std::initializer_list<UINT> only = {}) const {
    std::vector<UINT> out;
    for (const Received& r : log) {
      if (only.size() == 0 || std::find(only.begin(), only.end(), r.msg) != only.end())
        out.push_back(r.msg);
    }
    return out;
  }
  int Count(UINT msg) const {
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [&](const Received& r) { return r.msg == msg; }));
  }
  const Received* Last(UINT msg) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->msg == msg) return &*it;
    return nullptr;
  }
  BOOL CreateChild(CWnd* parent, RECT rc, DWORD extra = WS_VISIBLE, UINT id = 0) {
    return Create(nullptr, L"", WS_CHILD | extra, rc, parent, id);
  }
  BOOL CreateTop(RECT rc, DWORD extra = WS_VISIBLE) {
    return Create(nullptr, L"top", WS_OVERLAPPED | extra, rc, nullptr, 0);
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back({msg, wParam, lParam, std::this_thread::get_id()});
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};
