#pragma once

#include "app/execution/execution_config.h"
#include "desktop/desktop.h"

namespace orvex {

class AppState;
class AppleScriptRunner;
class CaptureDirectories;
class Clock;
class LocalizationManager;
class MainQueue;
class NotificationCenter;
class PreviousAppTracker;
class RunOutcome;

// Everything one preset run works with, handed to every unit of the run. It only refers:
// the application (or a test fixture) owns each service and outlives every run.
struct ExecutionContext {
    Desktop& desktop;
    Clock& clock;
    MainQueue& mainQueue;
    AppState& appState;
    LocalizationManager& i18n;
    NotificationCenter& notifications;
    AppleScriptRunner& scripts;
    PreviousAppTracker& tracker;
    const ExecutionConfig& config;
    CaptureDirectories& captureDirectories;
    // Set on the copy a run works with, so the run's status lines are told to its caller.
    RunOutcome* outcome = nullptr;
};

}  // namespace orvex
