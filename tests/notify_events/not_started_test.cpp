// Calls that need the event service before it was ever started: the first one reports it once,
// naming itself and event_Init(), to the diagnostic hook or to standard error; calls made while
// the service runs or after it stopped report nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "notify/event_service.h"
#include "notify/event_service_internal.h"

namespace {

std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}
void Collect(const char* message) { Reports().emplace_back(message); }

void Callback(unsigned, std::uintptr_t, std::uintptr_t) {}

void Send() { event_Send(event_rulerChanged, 1, 2, 0); }
void RegisterClient() { event_RegisterClient(0, &Callback, nullptr, event_kindCallback3); }
void RegisterEvent() {
  event_RegisterEvent(event_rulerChanged, 1, event_libraryControl, 0, event_any, 0, event_any);
}
void Unregister() {
  event_UnregisterEvent(event_rulerChanged, 1);
  event_UnregisterClient(1);
}
void StartAndStop() {
  event_Init();
  event_Terminate();
}

struct NotStartedCase {
  const char* name;
  std::vector<std::function<void()>> calls;
  std::vector<std::string> expected;  // the call each report names, in order
};

class NotStarted : public ::testing::TestWithParam<NotStartedCase> {
 protected:
  void SetUp() override {
    quarlen::detail::event_ResetDiagnostics();
    Reports().clear();
    event_SetDiagnosticHook(&Collect);
  }
  void TearDown() override {
    event_SetDiagnosticHook(nullptr);
    quarlen::detail::event_ResetDiagnostics();
  }
};

TEST_P(NotStarted, ReportsTheFirstCallOnce) {
  for (const auto& call : GetParam().calls) call();
  ASSERT_EQ(Reports().size(), GetParam().expected.size());
  for (std::size_t i = 0; i < Reports().size(); ++i) {
    const std::string& r = Reports()[i];
    EXPECT_EQ(r.rfind(GetParam().expected[i] + " was called before event_Init()", 0), 0u)
        << "report " << i << ": " << r;
    EXPECT_NE(r.find("Call event_Init() once"), std::string::npos) << r;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NotStarted,
    ::testing::Values(
        NotStartedCase{"RepeatedSendsReportOnce", {Send, Send, Send}, {"quarlen: event_Send"}},
        NotStartedCase{"ARegistrationReportsOnceForAllCalls",
                       {RegisterClient, RegisterEvent, Send, RegisterClient},
                       {"quarlen: event_RegisterClient"}},
        NotStartedCase{"UnregisteringIsNotReported", {Unregister, Unregister}, {}},
        NotStartedCase{"CallsAfterTheServiceStoppedAreNotReported",
                       {StartAndStop, Send, RegisterClient, RegisterEvent},
                       {}},
        NotStartedCase{"CallsWhileItRunsAreNotReported",
                       {[] {
                         event_Init();
                         Send();
                         RegisterClient();
                         event_Terminate();
                       }},
                       {}}),
    [](const ::testing::TestParamInfo<NotStartedCase>& i) { return std::string(i.param.name); });

TEST(NotStartedDefault, WritesOneLineToStandardError) {
  quarlen::detail::event_ResetDiagnostics();
  event_SetDiagnosticHook(nullptr);
  ::testing::internal::CaptureStderr();
  Send();
  RegisterClient();
  const std::string err = ::testing::internal::GetCapturedStderr();
  quarlen::detail::event_ResetDiagnostics();
  EXPECT_EQ(err.rfind("quarlen: event_Send was called before event_Init()", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
