// Costs of the platform core that every layer pays often: formatting numbers for display,
// taking an uncontended lock, signalling an event, creating an object by class name.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/collections.h"
#include "platform/cstring.h"
#include "platform/sync.h"

namespace {

void BM_CStringFormat_Double(benchmark::State& state) {
  CString s;
  double v = 3.14159;
  for (auto _ : state) {
    s.Format(L"%-12.3f", v);
    benchmark::DoNotOptimize(s.GetString());
    v += 1.0;
  }
}
BENCHMARK(BM_CStringFormat_Double);

void BM_CStringFormat_LogLine(benchmark::State& state) {
  CString fmt;
  fmt.LoadString(2);
  CString s;
  for (auto _ : state) {
    s.Format(fmt, L"Reference", 2, 12.345, L"mm");
    benchmark::DoNotOptimize(s.GetString());
  }
}
BENCHMARK(BM_CStringFormat_LogLine);

void BM_CriticalSection_LockUnlock(benchmark::State& state) {
  CCriticalSection cs;
  for (auto _ : state) {
    cs.Lock();
    cs.Unlock();
  }
}
BENCHMARK(BM_CriticalSection_LockUnlock);

void BM_Event_SetWait_SameThread(benchmark::State& state) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  for (auto _ : state) {
    SetEvent(event);
    benchmark::DoNotOptimize(WaitForSingleObject(event, 0));
  }
  CloseHandle(event);
}
BENCHMARK(BM_Event_SetWait_SameThread);

void BM_RuntimeClass_FromName(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(CRuntimeClass::FromName(L"CObList"));
  }
}
BENCHMARK(BM_RuntimeClass_FromName);

void BM_CObList_AddTailRemoveHead(benchmark::State& state) {
  CObList list;
  CObject* dummy = nullptr;
  for (auto _ : state) {
    list.AddTail(dummy);
    benchmark::DoNotOptimize(list.RemoveHead());
  }
}
BENCHMARK(BM_CObList_AddTailRemoveHead);

}  // namespace
