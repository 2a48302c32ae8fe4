// Cost of the event service for senders and for the tick pass.
//
// The service runs without its tick thread here (event_InitManual): the sender benchmarks
// measure event_Send alone and drain the queue outside the timed region; the pass benchmark
// times one pass over a prepared queue.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"

namespace {

using quarlen::detail::event_RunPass;

void Ignore(void*, unsigned, std::uintptr_t, std::uintptr_t) {}

// The service in manual mode with `count` delay registrations on `number`, each watching its
// own object (wParam 0 to count-1) from its own client.
class Service {
 public:
  Service(unsigned number, unsigned count) {
    quarlen::detail::event_InitManual();
    for (unsigned i = 0; i < count; ++i) {
      const unsigned key = event_RegisterClient(0, nullptr, &Ignore, event_kindCallback4);
      event_RegisterEvent(number, key, event_libraryControl, 0, i, 0, event_any);
    }
  }
  ~Service() { event_Terminate(); }
};

constexpr unsigned kDrainEvery = 4096;

void SendLoop(benchmark::State& state, unsigned objects) {
  std::uintptr_t i = 0;
  for (auto _ : state) {
    event_Send(event_positionChanged, i % objects, i, event_flagObject);
    if (++i % kDrainEvery == 0) {
      state.PauseTiming();
      event_RunPass();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EventSend_100DelayRegistrations(benchmark::State& state) {
  Service service(event_positionChanged, 100);
  SendLoop(state, 100);
}
BENCHMARK(BM_EventSend_100DelayRegistrations);

void BM_EventSend_NoRegistrations(benchmark::State& state) {
  Service service(event_positionChanged, 0);
  SendLoop(state, 100);
}
BENCHMARK(BM_EventSend_NoRegistrations);

void BM_EventSend_1000RegistrationsOnOtherNumbers(benchmark::State& state) {
  Service service(event_rulerChanged, 1000);
  SendLoop(state, 100);
}
BENCHMARK(BM_EventSend_1000RegistrationsOnOtherNumbers);

void BM_EventSend_1SyncRegistration(benchmark::State& state) {
  Service service(event_positionChanged, 0);
  const unsigned key = event_RegisterClient(0, nullptr, &Ignore, event_kindCallback4);
  event_RegisterEvent(event_positionChanged, key, event_modeSync, 0, event_any, 0, event_any);
  SendLoop(state, 100);
}
BENCHMARK(BM_EventSend_1SyncRegistration);

// One tick pass taking 10000 queued events to 100 delay registrations (100 events per
// registration, coalesced into one delivery each).
void BM_EventDeferredDispatch_10000Events_100Registrations(benchmark::State& state) {
  Service service(event_positionChanged, 100);
  for (auto _ : state) {
    state.PauseTiming();
    for (std::uintptr_t i = 0; i < 10000; ++i)
      event_Send(event_positionChanged, i % 100, i, event_flagObject);
    state.ResumeTiming();
    event_RunPass();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_EventDeferredDispatch_10000Events_100Registrations)->Unit(benchmark::kMillisecond);

}  // namespace
