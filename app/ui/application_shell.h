#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/commands/command_processor.h"
#include "app/commands/command_queue_service.h"
#include "app/execution/capture_file.h"
#include "app/execution/execution_config.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/main_queue.h"
#include "base/task_runner.h"
#include "desktop/desktop.h"

namespace orvex {

class AppleScriptRunner;
class PresetExecutor;
class PreviousAppTracker;
class ShortcutManager;
struct ExecutionContext;

// What the shell is built on. Everything referred to outlives the shell.
struct ShellEnvironment {
    MainQueue& mainQueue;
    Clock& clock;
    TaskRunner& tasks;
    AppPaths paths;
    std::filesystem::path localeDirectory;
    // None: no desktop session. Presets then fail with "status.noDesktopSession", hot keys are
    // off, and every command still works.
    Desktop* desktop = nullptr;
    // "--test-preset": run this preset once, five seconds after start-up.
    std::optional<std::string> testPreset;
    // The execution constants, with what the desktop backend adds to them.
    ExecutionConfig execution{};
    // The desktop is X11 through XWayland on a Wayland session: said at start-up and in
    // "app.status", since shortcuts and keystrokes then miss Wayland-native applications.
    bool x11OnWayland = false;
    // Makes the tray item and the main window: called by start() once the tracker exists,
    // before the observers, hot keys and commands. Empty when Orvex runs without windows.
    std::function<void()> createWindows = {};
};

// The composition root of Orvex without windows: creates the long-lived services in their
// order (localization, state, tracker, executor, hot keys, command queue), registers the
// application-notification observers, and runs the start-up sequence. Main thread only.
class ApplicationShell {
  public:
    static constexpr std::chrono::seconds kTestPresetDelay{5};
    static constexpr std::chrono::seconds kTestPresetHideDelay{1};
    static constexpr std::chrono::seconds kTutorialDelay{1};
    static constexpr std::chrono::seconds kTrustPollInterval{2};

    // Creates the localization manager (resolving and loading the language) and the
    // application state (loading the presets).
    explicit ApplicationShell(ShellEnvironment environment);
    ~ApplicationShell();
    ApplicationShell(const ApplicationShell&) = delete;
    ApplicationShell& operator=(const ApplicationShell&) = delete;

    // The launch sequence; call once.
    void start();
    // Stops taking commands (the directory watch ends). Runs already started finish.
    void stopCommands();
    // Preset runs started and not finished yet.
    int activeRuns() const { return activeRuns_.load(); }

    // Runs one preset on a task; `done` (optional) hears how the run ended.
    void runPreset(PresetData preset,
                   std::function<void(std::optional<std::string> error)> done = {});
    void registerHotKeys();

    SettingsManager& settings() { return settings_; }
    LocalizationManager& i18n() { return *i18n_; }
    AppState& state() { return *state_; }
    NotificationCenter& notifications() { return notifications_; }
    CommandQueueService* commandQueue() { return commandQueue_.get(); }
    ShortcutManager* shortcuts() { return shortcuts_.get(); }
    // None without a desktop.
    PreviousAppTracker* tracker() { return tracker_.get(); }
    bool hasDesktop() const { return environment_.desktop != nullptr; }
    Desktop* desktop() { return environment_.desktop; }
    MainQueue& mainQueue() { return environment_.mainQueue; }
    const AppPaths& paths() const { return environment_.paths; }

  private:
    void scheduleTestPreset();
    void registerObservers();
    void offerTutorial();
    void requireAccessibilityTrust();

    ShellEnvironment environment_;
    SettingsManager settings_;
    std::unique_ptr<LocalizationManager> i18n_;
    std::unique_ptr<AppState> state_;
    NotificationCenter notifications_;
    ExecutionConfig config_;
    CaptureDirectories captureDirectories_;
    std::unique_ptr<AppleScriptRunner> scripts_;
    std::shared_ptr<PreviousAppTracker> tracker_;
    std::unique_ptr<ExecutionContext> context_;
    std::unique_ptr<PresetExecutor> executor_;
    std::unique_ptr<ShortcutManager> shortcuts_;
    std::unique_ptr<CommandProcessor> processor_;
    std::shared_ptr<CommandQueueService> commandQueue_;
    std::optional<std::uint64_t> wakeSubscription_;
    std::vector<TimerRef> timers_;  // the delayed start-up steps, dropped with the shell
    TimerRef trustPoll_;
    std::atomic<int> activeRuns_{0};
    bool started_ = false;
};

}  // namespace orvex
