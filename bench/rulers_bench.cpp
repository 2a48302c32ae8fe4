// Cost of changing a ruler: the lock, the clamping and the announcement of event 1620 to the
// event service.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "axis/ruler.h"
#include "axis/position.h"
#include "notify/event_service.h"

namespace {

void Ignore(void*, unsigned, std::uintptr_t, std::uintptr_t) {}

// CRuler::Set on a ruler inside enabled axis limits, watched by one registration in the
// library's own mode (delay, period 100), as a view watches its ruler. The tick thread runs
// and drains the queue meanwhile. Every call is an effective change, so every call sends.
void BM_RulerSet_OneDelayRegistration(benchmark::State& state) {
  event_Init();
  CAxe axe;
  axe.Create(L"Scan", std_distance, 0.0, 1000.0);
  CRuler ruler;
  ruler.Create(L"Scan", &axe, 0.0, 0);
  const unsigned key = event_RegisterClient(reinterpret_cast<std::uintptr_t>(&ruler), nullptr,
                                            &Ignore, event_kindCallback4);
  const unsigned id = event_RegisterEvent(event_rulerChanged, key, event_libraryControl, 0,
                                          ruler.GetID(), 0, event_any);
  double start = 10.0;
  const double range = 100.0;
  const int mode = 0;
  for (auto _ : state) {
    start = start == 10.0 ? 20.0 : 10.0;
    ruler.Set(start, range, mode);
  }
  benchmark::DoNotOptimize(ruler.GetStart());
  event_UnregisterEvent(event_rulerChanged, id);
  event_UnregisterClient(key);
  event_Terminate();
}
BENCHMARK(BM_RulerSet_OneDelayRegistration);

// The ruler's own share of the above: the same calls with the event service stopped, so that
// event_Send returns at once.
void BM_RulerSet_EventServiceStopped(benchmark::State& state) {
  CAxe axe;
  axe.Create(L"Scan", std_distance, 0.0, 1000.0);
  CRuler ruler;
  ruler.Create(L"Scan", &axe, 0.0, 0);
  double start = 10.0;
  const double range = 100.0;
  const int mode = 0;
  for (auto _ : state) {
    start = start == 10.0 ? 20.0 : 10.0;
    ruler.Set(start, range, mode);
  }
  benchmark::DoNotOptimize(ruler.GetStart());
}
BENCHMARK(BM_RulerSet_EventServiceStopped);

}  // namespace
