#pragma once
// The demo without a user: a short scripted interaction on the inspection window (mouse input
// injected as Qt events, so it takes the same path as a real pointer), with a screenshot and a
// plain-text line after each step; and the demo's timing measurements.
#include <QString>

namespace demo {

class InspectionWindow;

// Plays the script, writes <outDir>/NN-step.png; returns the process exit code.
int RunScript(InspectionWindow& window, const QString& outDir);
// Measures a cursor drag step, a full repaint and a zoom release; prints one line each.
int RunBenchmarks(InspectionWindow& window);
// Handles window work (messages, paints, screen flushes) until none is left; the event
// service is not waited for (quarlen::ProcessUntilIdle with no quiet pass).
void PumpUntilIdle();
// Handles everything pending: window messages, paints, screen flushes, and what the event
// service delivers, until a tick pass goes by with nothing to deliver
// (quarlen::ProcessUntilIdle with one quiet pass).
void Settle();

}  // namespace demo
