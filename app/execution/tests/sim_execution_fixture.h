#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/execution/apple_script_runner.h"
#include "app/execution/capture_file.h"
#include "app/execution/execution_context.h"
#include "app/execution/previous_app_tracker.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "base/uuid.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"
#include "tools/inputaim/sim/inputaim_in_process.h"

namespace orvex::execution_test {

inline std::filesystem::path sourceDirectory() {
    if (const char* source = std::getenv("ORVEX_SOURCE_DIR")) {
        return source;
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

// One status line assignment as the user sees it.
struct Status {
    std::string message;
    bool isError = false;
    bool operator==(const Status&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Status& status) {
    return out << (status.isError ? "[error] " : "") << status.message;
}

// The world of a preset run on the simulated desktop and virtual time: every service of the
// execution context, with the real script runner and interpreter, the real input finder
// (in-process) and the real locale files. Work is called straight from the test body: it is
// on the main thread, so each sleep on the virtual clock lets the main queue's work and
// timers run at their own moment. The status line and the main-window requests are
// recorded.
class SimExecutionFixture : public ::testing::Test {
  protected:
    explicit SimExecutionFixture(const std::string& sandboxPrefix)
        : sandbox_(std::filesystem::temp_directory_path() / (sandboxPrefix + newUuid())),
          queue_(clock_),
          sim_(SimDesktop::create(clock_, queue_)),
          scripting_(sim_),
          settings_((std::filesystem::create_directories(sandbox_), sandbox_ / "settings.json")),
          appState_(settings_, queue_, {}),
          i18n_(settings_, LocalizationOptions{sourceDirectory() / "app/i18n/resources/locales",
                                               [] { return std::vector<std::string>{"en"}; },
                                               {}}),
          notifications_(queue_) {
        desktop_ = sim_->desktop();
        scripts_ = std::make_unique<AppleScriptRunner>(scripting_.host(), *desktop_.keyboard,
                                                       clock_, tasks_);
        registerInputaimInProcess(*sim_);
        appState_.addObserver(
            {{}, [this](StateField field) {
                 if (field == StateField::statusIsError) {
                     statuses_.push_back({appState_.statusMessage(), appState_.statusIsError()});
                 }
             }});
        notifications_.addObserver(notifications::showMainWindow,
                                   [this](const AppNotification&) { ++showMainWindowCount_; });
    }

    ~SimExecutionFixture() override {
        context_.reset();
        tracker_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(sandbox_, ignored);
    }

    // Applies a scenario, then builds the tracker and the context on it (the tracker reads
    // the own application and the browsers at creation), and starts the journal and the
    // sleeps afresh.
    void buildOn(const std::string& scenario) {
        auto error = applyScenarioText(*sim_, scenario, sandbox_);
        ASSERT_FALSE(error) << *error;
        tracker_ = PreviousAppTracker::create(desktop_, queue_, clock_, *scripts_, config_);
        context_ = std::make_unique<ExecutionContext>(
            ExecutionContext{desktop_, clock_, queue_, appState_, i18n_, notifications_, *scripts_,
                             *tracker_, config_, captureDirectories_});
        journalStart_ = sim_->journal().size();
        clock_.clearSleeps();
    }

    // Journal entries since the start, optionally of one kind.
    std::vector<Json> events(const std::string& kind = {}) const {
        std::vector<Json> all = sim_->journal();
        std::vector<Json> result;
        for (std::size_t i = journalStart_; i < all.size(); ++i) {
            if (kind.empty() || all[i].at("event") == kind) {
                result.push_back(all[i]);
            }
        }
        return result;
    }
    std::vector<Status> statuses() {
        queue_.runUntilIdle();
        return statuses_;
    }
    std::string text(const char* key, const TextParams& params = {}) const {
        return i18n_.text(key, params);
    }
    int showMainWindowCount() {
        queue_.runUntilIdle();
        return showMainWindowCount_;
    }

    std::filesystem::path sandbox_;
    VirtualClock clock_;
    ManualMainQueue queue_;
    std::shared_ptr<SimDesktop> sim_;
    SimScripting scripting_;
    ManualTaskRunner tasks_;
    Desktop desktop_;
    std::unique_ptr<AppleScriptRunner> scripts_;
    SettingsManager settings_;
    AppState appState_;
    LocalizationManager i18n_;
    NotificationCenter notifications_;
    ExecutionConfig config_;
    CaptureDirectories captureDirectories_;
    std::shared_ptr<PreviousAppTracker> tracker_;
    std::unique_ptr<ExecutionContext> context_;
    std::size_t journalStart_ = 0;
    std::vector<Status> statuses_;
    int showMainWindowCount_ = 0;
};

}  // namespace orvex::execution_test
