// Window-layer benchmarks: cross-thread message latency and same-thread dispatch.
#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

class CLatencyWnd : public CWnd {
 public:
  std::atomic<std::int64_t> receivedAt{0};
  afx_msg LRESULT OnEvent(WPARAM, LPARAM) {
    receivedAt = NowNs();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLatencyWnd, CWnd)
ON_MESSAGE(1617, &CLatencyWnd::OnEvent)
END_MESSAGE_MAP()

// Time from SendNotifyMessageW on a worker thread to the start of the handler on the GUI
// thread, which waits in its event loop. The median of the iterations is reported as
// median_us.
void BM_SendNotifyMessage_CrossThreadLatency(benchmark::State& state) {
  CLatencyWnd wnd;
  wnd.Create(nullptr, L"", WS_OVERLAPPED, RECT{0, 0, 10, 10}, nullptr, 0);
  const HWND h = wnd.m_hWnd;
  std::atomic<int> go{0};
  std::atomic<std::int64_t> sentAt{0};
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    int seen = 0;
    for (;;) {
      go.wait(seen);
      if (stop) return;
      seen = go.load();
      sentAt = NowNs();
      SendNotifyMessageW(h, 1617, 0, 0);
    }
  });
  std::vector<double> samples;
  for (auto _ : state) {
    wnd.receivedAt = 0;
    go.fetch_add(1);
    go.notify_one();
    while (wnd.receivedAt.load() == 0)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = (wnd.receivedAt.load() - sentAt.load()) * 1e-9;
    state.SetIterationTime(seconds);
    samples.push_back(seconds * 1e6);
  }
  stop = true;
  go.fetch_add(1);
  go.notify_one();
  worker.join();
  if (!samples.empty()) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
  }
  wnd.DestroyWindow();
}
BENCHMARK(BM_SendNotifyMessage_CrossThreadLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A message sent on the GUI thread through the message map.
void BM_SendMessage_SameThreadMessageMap(benchmark::State& state) {
  CLatencyWnd wnd;
  wnd.Create(nullptr, L"", WS_OVERLAPPED, RECT{0, 0, 10, 10}, nullptr, 0);
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(wnd.m_hWnd, 1617, 0, 0));
  wnd.DestroyWindow();
}
BENCHMARK(BM_SendMessage_SameThreadMessageMap);

}  // namespace
